// AVX2 kernels of the H.264 8x8 transform family: the 16-bit quantiser (that
// of h264_simd.h on 256-bit lanes) and inverse quantiser sixteen coefficients
// (two rows) at a time, the counts of the quantiser taken from the masks of
// all 64 levels at once.
#include <immintrin.h>

#include "h264/transform/h264_simd.h"
#include "h264/transform/transform8x8.h"
#include "simd/lanes.h"
#include "simd/loads.h"

namespace kvn {
namespace KVN_ISA {
namespace {

// |c| is saturated to 32767 first (c = -32768 is taken as -32767). The count
// is the number of nonzero levels, the last position the largest scan entry
// among them (0 when there is none), the count negated when the DC level is
// nonzero.
void quant16s(const int16_t* src, int16_t* dst, int32_t q6, int32_t intra, const int16_t* scan, const int16_t* scale,
              int32_t* num, int32_t* last) {
  const __m256i f = _mm256_set1_epi32((intra ? 682 : 342) << (q6 + 1));
  const __m128i sh = _mm_cvtsi32_si128(q6 + 12);
  const __m256i lowest = _mm256_set1_epi16(-32767), zero = _mm256_setzero_si256(), low = _mm256_set1_epi16(-32768);
  __m256i top = low;
  uint32_t count = 0, dc = 0;
  for (int r = 0; r < 64; r += 16) {
    const __m256i c = _mm256_max_epi16(load<32>(src + r), lowest);
    const __m256i l = h264::quant_sat<Lanes256>(c, load<32>(scale + r), f, sh);
    store<32>(dst + r, l);
    const __m256i z = _mm256_cmpeq_epi16(l, zero);
    const uint32_t nz = ~uint32_t(_mm256_movemask_epi8(z));
    if (r == 0) dc = nz & 3u;
    count += uint32_t(__builtin_popcount(nz));
    top = _mm256_max_epi16(top, _mm256_blendv_epi8(load<32>(scan + r), low, z));
  }
  count >>= 1;
  __m128i t = _mm_max_epi16(_mm256_castsi256_si128(top), _mm256_extracti128_si256(top, 1));
  t = _mm_max_epi16(t, _mm_shuffle_epi32(t, _MM_SHUFFLE(1, 0, 3, 2)));
  t = _mm_max_epi16(t, _mm_shuffle_epi32(t, _MM_SHUFFLE(2, 3, 0, 1)));
  t = _mm_max_epi16(t, _mm_shufflelo_epi16(t, _MM_SHUFFLE(2, 3, 0, 1)));
  *last = count ? int16_t(_mm_cvtsi128_si32(t)) : 0;
  *num = dc ? -int32_t(count) : int32_t(count);
}

// Exact 32-bit products c * L; below q6 = 6 rounded and shifted, from 6 on
// saturated to 16 bits and doubled (saturating) q6 - 6 times, which equals
// saturating the exact product shifted left.
void dequant16s(int16_t* block, int32_t q6, const int16_t* inv) {
  const int right = q6 < 6 ? 6 - q6 : 0;
  const __m256i rnd = _mm256_set1_epi32(q6 < 6 ? 1 << (5 - q6) : 0);
  const __m128i sh = _mm_cvtsi32_si128(right);
  for (int r = 0; r < 64; r += 16) {
    const __m256i c = load<32>(block + r), l = load<32>(inv + r);
    const __m256i pl = _mm256_mullo_epi16(c, l), ph = _mm256_mulhi_epi16(c, l);
    const __m256i lo = _mm256_sra_epi32(_mm256_add_epi32(_mm256_unpacklo_epi16(pl, ph), rnd), sh);
    const __m256i hi = _mm256_sra_epi32(_mm256_add_epi32(_mm256_unpackhi_epi16(pl, ph), rnd), sh);
    __m256i v = _mm256_packs_epi32(lo, hi);
    for (int k = 6; k < q6; ++k) v = _mm256_adds_epi16(v, v);
    store<32>(block + r, v);
  }
}

}  // namespace
}  // namespace KVN_ISA

constexpr void transform8x8_init_avx2(Transform8x8Kernels& k) {
  k.quant16s = KVN_ISA::quant16s;
  k.dequant16s = KVN_ISA::dequant16s;
}

KVN_LEVEL_KERNELS(transform8x8, Transform8x8Kernels);

}  // namespace kvn
