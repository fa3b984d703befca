// SSE2 kernels of the AVS 8x8 inter block reconstruction: the block in eight
// registers of 16-bit lanes; dequantisation with exact 32-bit products
// (mullo/mulhi, the unsigned scale's top bit added back), then the 8-point
// passes of mpeg2/dct_mpeg2_simd.h, whose basis fold is the AVS matrix with
// T = {10, 10, 9, 8, 6, 4, 2}: one transpose before the row pass, one between
// the passes.
#include <emmintrin.h>

#include <cstddef>

#include "avs/recon_avs.h"
#include "mpeg2/dct_mpeg2_simd.h"
#include "simd/loads.h"
#include "simd/transpose.h"
#include "tables/avs_tables.h"

namespace kvn {
namespace KVN_ISA {
namespace {

using L = Lanes128;
using V = __m128i;

constexpr dct_mpeg2::Pass kRows = {avs::kAvsTransformT, 4, 3};
constexpr dct_mpeg2::Pass kColumns = {avs::kAvsTransformT, 64, 7};

constexpr bool same_basis() {
  for (int k = 0; k < 8; ++k)
    for (int n = 0; n < 8; ++n)
      if (dct_mpeg2::basis(avs::kAvsTransformT, k, n) != avs::transform_basis(k, n)) return false;
  return true;
}
static_assert(same_basis());

struct Dequant {
  V scale, topBit, round;
  __m128i shift;
  Dequant(int32_t s, int32_t sh)
      : scale(_mm_set1_epi16(int16_t(s))),
        topBit(_mm_set1_epi16(s >= 32768 ? -1 : 0)),
        round(_mm_set1_epi32(1 << (sh - 1))),
        shift(_mm_cvtsi32_si128(sh)) {}
  // int16((c * scale + round) >> shift) of 8 lanes.
  V operator()(V c) const {
    const V lo = _mm_mullo_epi16(c, scale);
    const V hi = _mm_add_epi16(_mm_mulhi_epi16(c, scale), _mm_and_si128(c, topBit));
    V p0 = _mm_sra_epi32(_mm_add_epi32(_mm_unpacklo_epi16(lo, hi), round), shift);
    V p1 = _mm_sra_epi32(_mm_add_epi32(_mm_unpackhi_epi16(lo, hi), round), shift);
    p0 = _mm_srai_epi32(_mm_slli_epi32(p0, 16), 16);
    p1 = _mm_srai_epi32(_mm_slli_epi32(p1, 16), 16);
    return _mm_packs_epi32(p0, p1);
  }
};

inline void add_rows(const V* r, uint8_t* dst, int32_t step) {
  const V zero = _mm_setzero_si128();
  for (int y = 0; y < 8; ++y) {
    uint8_t* row = dst + std::ptrdiff_t(y) * step;
    const V p = _mm_unpacklo_epi8(load<8>(row), zero);
    store<8>(row, _mm_packus_epi16(_mm_adds_epi16(p, r[y]), zero));
  }
}

template <int Path>
void block(const int16_t* coef, uint8_t* dst, int32_t step, int32_t scale, int32_t shift) {
  const Dequant dq(scale, shift);
  V r[8];
  if constexpr (Path == kAvsDc) {
    const int32_t d = int16_t((int32_t(coef[0]) * scale + (1 << (shift - 1))) >> shift);
    const V v = _mm_set1_epi16(int16_t((8 * d + 64) >> 7));  // the row pass gives (8d + 4) >> 3 = d
    for (int y = 0; y < 8; ++y) r[y] = v;
  } else {
    constexpr int K = Path == kAvsFull ? 8 : 4;
    V x[8], h[8];
    for (int v = 0; v < 8; ++v)
      x[v] = v < K ? dq(K == 8 ? load<16>(coef + 8 * v) : load<8>(coef + 8 * v)) : _mm_setzero_si128();
    transpose8x8_16<L>(x);  // x[u]: horizontal frequency u, lanes v
    dct_mpeg2_simd::inverse_pass<L, kRows, K, K == 4>(x, h);
    transpose8x8_16<L>(h);  // h[v]: row v, lanes x (corner: rows 4..7 unused)
    dct_mpeg2_simd::inverse_pass<L, kColumns, K>(h, r);
  }
  add_rows(r, dst, step);
}

}  // namespace
}  // namespace KVN_ISA

constexpr void recon_avs_init_sse2(ReconAvsKernels& k) {
  using namespace KVN_ISA;
  k.block = {block<kAvsFull>, block<kAvsCorner>, block<kAvsDc>};
}

KVN_LEVEL_KERNELS(recon_avs, ReconAvsKernels);

}  // namespace kvn
