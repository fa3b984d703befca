// AVX2 kernels of the squared-error costs: 16x16 in every mode (predictions in
// 16-bit lanes, hpel_simd.h, one row a register) and the full-sample 8x8 (two
// rows a register). s - p is formed in 16-bit lanes and squared and summed in
// pairs by pmaddwd into 32-bit lanes.
#include <immintrin.h>

#include <cstddef>

#include "hpel_simd.h"
#include "simd/loads.h"
#include "simd/reduce.h"
#include "ssd.h"

namespace kvn {
namespace KVN_ISA {
namespace {

using namespace hpel;

inline __m256i square_diff(__m256i s, __m256i p) {
  const __m256i d = _mm256_sub_epi16(s, p);
  return _mm256_madd_epi16(d, d);
}

template <class Pred>
KvnResult ssd16_rows(const uint8_t* src, int32_t ss, Pred pred, uint32_t* out) {
  __m256i sum = _mm256_setzero_si256();
#pragma GCC unroll 2  // unrolled in full, the additions get regrouped and the registers spill
  for (int y = 0; y < 16; y += 2, src += 2 * std::ptrdiff_t(ss)) {
    const __m256i a = square_diff(load_widen(src), pred.next());
    sum = _mm256_add_epi32(sum, _mm256_add_epi32(a, square_diff(load_widen(src + ss), pred.next())));
  }
  *out = hsum32(sum);
  return KVN_STS_OK;
}

template <int Code>
KvnResult ssd16(const uint8_t* src, int32_t ss, const uint8_t* ref, int32_t rs, uint32_t* out) {
  return ssd16_rows(src, ss, Predictor<Words, Code, 0, 1>(ref, rs), out);
}

template <int Code1, int Code2>
KvnResult ssd_b16x16(const uint8_t* src, int32_t ss, const uint8_t* r1, int32_t s1, const uint8_t* r2, int32_t s2,
                     uint32_t* out) {
  return ssd16_rows(src, ss, BiPredictor<Words, Code1, Code2, 0, 1>(r1, s1, r2, s2), out);
}

// Two rows of 8 bytes, widened: [a | b].
inline __m256i widen8x2(const uint8_t* a, const uint8_t* b) { return _mm256_cvtepu8_epi16(load8x2(a, b)); }

KvnResult ssd8x8(const uint8_t* src, int32_t ss, const uint8_t* ref, int32_t rs, uint32_t* out) {
  __m256i sum = _mm256_setzero_si256();
  for (int y = 0; y < 8; y += 2, src += 2 * std::ptrdiff_t(ss), ref += 2 * std::ptrdiff_t(rs))
    sum = _mm256_add_epi32(sum, square_diff(widen8x2(src, src + ss), widen8x2(ref, ref + rs)));
  *out = hsum32(sum);
  return KVN_STS_OK;
}

// 16x16 only.
struct Kernels {
  template <int N, int Code>
  static constexpr SsdFn one = ssd16<Code>;
  template <int Code1, int Code2>
  static constexpr SsdBFn two = ssd_b16x16<Code1, Code2>;
};

}  // namespace
}  // namespace KVN_ISA

constexpr void ssd_init_avx2(SsdKernels& k) {
  using namespace KVN_ISA;
  k.ssd[kSsd8x8][0] = ssd8x8;
  k.ssd[kSsd16x16] = make_table<SsdSlots<Kernels, 16>, 4>();
  k.ssd_b16x16 = make_table<SsdBSlots<Kernels>, 16>();
}

KVN_LEVEL_KERNELS(ssd, SsdKernels);

}  // namespace kvn
