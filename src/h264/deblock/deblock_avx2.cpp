// AVX2 kernels of the H.264 deblocking filter: 8-bit luma with the 16 lines
// of an edge in the 16-bit lanes of one register, and every high-bit-depth
// member (except MBAFF) with 8 lines in 32-bit lanes, exact for any 16-bit
// sample, alpha, beta and tc0. Vertical edges go through a transposed copy.
#include <immintrin.h>

#include <cstddef>

#include "h264/deblock/deblock.h"
#include "h264/deblock/deblock_luma8.h"
#include "h264/deblock/deblock_simd.h"
#include "simd/filter_lanes.h"
#include "simd/loads.h"
#include "simd/pack.h"

namespace kvn {
namespace KVN_ISA {
namespace {

using namespace deblock;
using std::ptrdiff_t;

// Operations shared by the two lane widths.
struct Common {
  using V = __m256i;
  static V zero() { return _mm256_setzero_si256(); }
  static V and_(V a, V b) { return _mm256_and_si256(a, b); }
  static V andnot(V m, V a) { return _mm256_andnot_si256(m, a); }
  static V sel(V m, V a, V b) { return _mm256_blendv_epi8(b, a, m); }
  static bool any(V m) { return !_mm256_testz_si256(m, m); }
};

// Sixteen 8-bit samples in 16-bit lanes.
struct W16 : Lanes16x16 {
  static V load(const uint8_t* p) { return load_widen(p); }
  static void store(uint8_t* p, V v) { KVN_ISA::store<16>(p, pack_u8(v)); }
  // Luma segments of 4 lines: lane i = seg[i >> 2].
  template <int Shift>
  static V expand(const uint8_t* seg) {
    static_assert(Shift == 2, "16 lanes hold four segments of 4 lines");
    __m128i b = KVN_ISA::load<4>(seg);
    b = _mm_unpacklo_epi8(b, b);
    return _mm256_cvtepu8_epi16(_mm_unpacklo_epi16(b, b));
  }
};

// Eight 16-bit samples in 32-bit lanes.
struct D8 : Common {
  static constexpr int kLanes = 8;
  static V set1(int x) { return _mm256_set1_epi32(x); }
  static V add(V a, V b) { return _mm256_add_epi32(a, b); }
  static V sub(V a, V b) { return _mm256_sub_epi32(a, b); }
  static V min(V a, V b) { return _mm256_min_epi32(a, b); }
  static V max(V a, V b) { return _mm256_max_epi32(a, b); }
  static V abs(V a) { return _mm256_abs_epi32(a); }
  template <int N>
  static V slli(V a) {
    return _mm256_slli_epi32(a, N);
  }
  template <int N>
  static V srai(V a) {
    return _mm256_srai_epi32(a, N);
  }
  static V lt(V a, V b) { return _mm256_cmpgt_epi32(b, a); }
  static V load(const uint16_t* p) { return _mm256_cvtepu16_epi32(KVN_ISA::load<16>(p)); }
  // Every result lies in 0..65535, so the saturating pack is exact.
  static void store(uint16_t* p, V v) { KVN_ISA::store<16>(p, pack_u16(v)); }
  // Lane i = seg[i >> Shift] for Shift 1 or 2, reading only the entries used.
  template <int Shift, class T>
  static V expand(const T* seg) {
    static_assert(Shift == 1 || Shift == 2, "8 lanes hold segments of 2 or 4 lines");
    uint64_t x = 0;
    for (int i = 0; i < (8 >> Shift); ++i) x |= uint64_t(seg[i]) << (8 * sizeof(T) * i);
    __m128i w = _mm_cvtsi64_si128(int64_t(x));
    if (sizeof(T) == 1) w = _mm_unpacklo_epi8(w, _mm_setzero_si128());
    w = _mm_unpacklo_epi16(w, w);
    if (Shift == 2) w = _mm_unpacklo_epi32(w, w);
    return _mm256_cvtepu16_epi32(w);
  }
};

template <bool Luma, const EdgeShape& Sh>
void edges16_hor(uint16_t* p, int32_t step, const uint16_t* alpha, const uint16_t* beta, const uint16_t* tc0,
                 const uint8_t* bs, int32_t maxv) {
  filter_rows<D8, Luma, Sh>(p, step, alpha, beta, tc0, bs, maxv);
}

template <bool Luma, const EdgeShape& Sh, int Cols>
void edges16_ver(uint16_t* p, int32_t step, const uint16_t* alpha, const uint16_t* beta, const uint16_t* tc0,
                 const uint8_t* bs, int32_t maxv) {
  constexpr int kMargin = Luma ? 4 : 2;
  alignas(32) uint8_t copy[(Cols + kMargin < 8 ? 8 : Cols + kMargin) * Sh.lines * 2];
  via_columns<2>(p, ptrdiff_t(step) * 2, !edge_off(bs), kMargin, Cols, Sh.lines, copy, Sh.lines * 2,
                 [&](uint16_t* c, ptrdiff_t cs) { filter_rows<D8, Luma, Sh>(c, cs, alpha, beta, tc0, bs, maxv); });
}

}  // namespace
}  // namespace KVN_ISA

constexpr void deblock_init_avx2(DeblockKernels& k) {
  using namespace KVN_ISA;
  k.luma_hor = luma_hor_bytes<W16>;
  k.luma_ver = luma_ver_bytes<W16>;
  k.luma16_hor = edges16_hor<true, kLumaShape>;
  k.luma16_ver = edges16_ver<true, kLumaShape, 16>;
  k.chroma16_hor = edges16_hor<false, kChromaShape>;
  k.chroma16_ver = edges16_ver<false, kChromaShape, 6>;
  k.chroma422_16_hor = edges16_hor<false, kChroma422HorShape>;
  k.chroma422_16_ver = edges16_ver<false, kChroma422VerShape, 6>;
}

KVN_LEVEL_KERNELS(deblock, DeblockKernels);

}  // namespace kvn
