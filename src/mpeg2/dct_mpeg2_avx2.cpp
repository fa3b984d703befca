// AVX2 kernels of the MPEG-1/2 DCT family: the two-channel transforms with
// both blocks in one set of registers (the first block in the lower 128-bit
// halves, the second in the upper ones), where both take the full transform:
// the transposed inverse DCT of two full blocks, inverse-or-set with neither
// channel set, and the forward DCT. Every other pair of paths keeps the SSE2
// kernels.
#include <immintrin.h>

#include <cstddef>

#include "mpeg2/dct_mpeg2.h"
#include "mpeg2/dct_mpeg2_simd.h"
#include "simd/loads.h"
#include "simd/transpose.h"

namespace kvn {
namespace KVN_ISA {
namespace {

using namespace dct_mpeg2;
using namespace dct_mpeg2_simd;
using L = Lanes256;
using V = __m256i;

inline V join(__m128i lo, __m128i hi) { return _mm256_inserti128_si256(_mm256_castsi128_si256(lo), hi, 1); }
inline __m128i low(V v) { return _mm256_castsi256_si128(v); }
inline __m128i high(V v) { return _mm256_extracti128_si256(v, 1); }

inline uint8_t* row8(uint8_t* dst, int32_t step, int r) { return dst + std::ptrdiff_t(r) * step; }

// Rows r of both blocks' samples (before clamping) in o[r].
inline void aan_rows2(const int16_t* coef0, const int16_t* coef1, V* o) {
  V x[8], t[8];
  for (int i = 0; i < 8; ++i) x[i] = join(load<16>(coef0 + 8 * i), load<16>(coef1 + 8 * i));
  inverse_pass<L, kAanPass1, 8>(x, t);
  transpose8x8_16<L>(t);
  inverse_pass<L, kAanPass2, 8>(t, o);
}

inline void natural_rows2(const int16_t* coef0, const int16_t* coef1, V* o) {
  V x[8], g[8];
  for (int v = 0; v < 8; ++v) x[v] = join(load<16>(coef0 + 8 * v), load<16>(coef1 + 8 * v));
  transpose8x8_16<L>(x);
  inverse_pass<L, kNaturalPass1, 8>(x, g);
  transpose8x8_16<L>(g);
  inverse_pass<L, kNaturalPass2, 8>(g, o);
}

// Both blocks' rows as bytes, interleaved (the first block at even bytes).
inline void store_c2_8u(uint8_t* dst, int32_t step, const V* o) {
  for (int r = 0; r < 8; ++r) {
    const V p = _mm256_packus_epi16(o[r], o[r]);
    store<16>(row8(dst, step, r), _mm_unpacklo_epi8(low(p), high(p)));
  }
}

void inv8u_p2_full(const int16_t* coef0, const int16_t* coef1, uint8_t* dst, int32_t step) {
  V o[8];
  aan_rows2(coef0, coef1, o);
  store_c2_8u(dst, step, o);
}

void inv16s_p2_full(const int16_t* coef0, const int16_t* coef1, int16_t* dst, int32_t step) {
  V o[8];
  aan_rows2(coef0, coef1, o);
  const V top = _mm256_set1_epi16(255), bottom = _mm256_set1_epi16(-256);
  for (int r = 0; r < 8; ++r) {
    const V c = _mm256_max_epi16(_mm256_min_epi16(o[r], top), bottom);
    uint8_t* d = row8(reinterpret_cast<uint8_t*>(dst), step, r);
    store<16>(d, _mm_unpacklo_epi16(low(c), high(c)));
    store<16>(d + 16, _mm_unpackhi_epi16(low(c), high(c)));
  }
}

void or_set_none(const int16_t* coef0, const int16_t* coef1, uint8_t* dst, int32_t step) {
  V o[8];
  natural_rows2(coef0, coef1, o);
  store_c2_8u(dst, step, o);
}

void fwd_c2p2(const uint8_t* src, int32_t step, int16_t* dst0, int16_t* dst1) {
  const __m128i mask = _mm_set1_epi16(0x00ff);
  V p[8], g[8], f[8];
  for (int r = 0; r < 8; ++r) {
    const __m128i row = load<16>(src + std::ptrdiff_t(r) * step);
    p[r] = join(_mm_and_si128(row, mask), _mm_srli_epi16(row, 8));
  }
  forward_pass<L, kFwdPass1>(p, g);
  transpose8x8_16<L>(g);
  forward_pass<L, kFwdPass2>(g, f);
  transpose8x8_16<L>(f);
  for (int v = 0; v < 8; ++v) {
    store<16>(dst0 + 8 * v, low(f[v]));
    store<16>(dst1 + 8 * v, high(f[v]));
  }
}

}  // namespace
}  // namespace KVN_ISA

constexpr void dct_mpeg2_init_avx2(DctMpeg2Kernels& k) {
  k.inv8u_p2[kAanFull * kAanPaths8u + kAanFull] = KVN_ISA::inv8u_p2_full;
  k.inv16s_p2[kAanFull * kAanPaths16s + kAanFull] = KVN_ISA::inv16s_p2_full;
  k.or_set[0] = KVN_ISA::or_set_none;
  k.fwd_c2p2 = KVN_ISA::fwd_c2p2;
}

KVN_LEVEL_KERNELS(dct_mpeg2, DctMpeg2Kernels);

}  // namespace kvn
