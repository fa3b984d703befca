// AVX2 kernel of Variance16x16: one row of 16 samples widened to 16-bit lanes
// a register; the sum accumulates in 16-bit lanes (at most 16 * 255), the
// squares in pairs into 32-bit lanes (pmaddwd), two rows at a time.
#include <immintrin.h>

#include <cstddef>

#include "simd/loads.h"
#include "variance.h"

namespace kvn {
namespace KVN_ISA {
namespace {

KvnResult variance16x16(const uint8_t* src, int32_t step, int32_t* var) {
  __m256i s = _mm256_setzero_si256(), q = _mm256_setzero_si256();
#pragma GCC unroll 2  // unrolled in full, the additions get regrouped and the registers spill
  for (int y = 0; y < 16; y += 2, src += 2 * std::ptrdiff_t(step)) {
    const __m256i a = load_widen(src), b = load_widen(src + step);
    s = _mm256_add_epi16(s, _mm256_add_epi16(a, b));
    q = _mm256_add_epi32(q, _mm256_add_epi32(_mm256_madd_epi16(a, a), _mm256_madd_epi16(b, b)));
  }
  // [q01 q23 -s01 -s23 | q45 q67 -s45 -s67] (pmaddwd by -1, all ones, needs
  // no load), then both halves and both pairs.
  const __m256i t = _mm256_hadd_epi32(q, _mm256_madd_epi16(s, _mm256_cmpeq_epi16(s, s)));
  __m128i u = _mm_add_epi32(_mm256_castsi256_si128(t), _mm256_extracti128_si256(t, 1));
  u = _mm_add_epi32(u, _mm_shuffle_epi32(u, _MM_SHUFFLE(2, 3, 0, 1)));
  *var = variance_from_sums(uint32_t(_mm_cvtsi128_si32(u)), 0u - uint32_t(_mm_extract_epi32(u, 2)));
  return KVN_STS_OK;
}

}  // namespace
}  // namespace KVN_ISA

constexpr void variance_init_avx2(VarianceKernels& k) { k.variance16x16 = KVN_ISA::variance16x16; }

KVN_LEVEL_KERNELS(variance, VarianceKernels);

}  // namespace kvn
