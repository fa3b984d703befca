// AVX2 kernels of the uniform quantisers: the SSE2 kernels' arithmetic
// (quant_h263_sse2.cpp) on sixteen coefficients a step.
#include <immintrin.h>

#include "mpeg4/quant_h263.h"
#include "simd/loads.h"

namespace kvn {
namespace KVN_ISA {
namespace {

using V = __m256i;

inline V apply_sign(V m, V sign) { return _mm256_sub_epi16(_mm256_xor_si256(m, sign), sign); }
inline int32_t zeros(V l) {
  return __builtin_popcount(uint32_t(_mm256_movemask_epi8(_mm256_cmpeq_epi16(l, _mm256_setzero_si256())))) >> 1;
}
inline V load16(const int16_t* p) { return _mm256_loadu_si256(reinterpret_cast<const V*>(p)); }
inline void store16(int16_t* p, V v) { _mm256_storeu_si256(reinterpret_cast<V*>(p), v); }

int32_t quant(int16_t* block, const UniformQuant& q) {
  const V add = _mm256_set1_epi16(int16_t(q.add)), sub = _mm256_set1_epi16(int16_t(q.sub));
  const V cap = _mm256_set1_epi16(int16_t(q.cap)), r = _mm256_set1_epi16(int16_t(q.recip));
  const V limit = _mm256_set1_epi16(int16_t(q.limit < 65535 ? q.limit : 65535));
  int32_t z = 0;
  for (int i = 0; i < 64; i += 16) {
    const V c = load16(block + i), sign = _mm256_srai_epi16(c, 15);
    const V m = _mm256_min_epu16(_mm256_subs_epu16(_mm256_adds_epu16(apply_sign(c, sign), add), sub), cap);
    const V l = apply_sign(_mm256_min_epu16(_mm256_mulhi_epu16(m, r), limit), sign);
    store16(block + i, l);
    z += zeros(l);
  }
  return 64 - z;
}

void inv(int16_t* block, int32_t last, int32_t mul, int32_t odd, int32_t lo, int32_t hi) {
  const V vmul = _mm256_set1_epi16(int16_t(mul)), vodd = _mm256_set1_epi16(int16_t(odd));
  const V posLim = _mm256_set1_epi16(int16_t(hi)), negLim = _mm256_set1_epi16(int16_t(-lo));
  const V vlast = _mm256_set1_epi16(int16_t(last)), zero = _mm256_setzero_si256();
  V index = _mm256_setr_epi16(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
  for (int i = 0; i <= last; i += 16) {
    const V l = load16(block + i), sign = _mm256_srai_epi16(l, 15);
    const V a = apply_sign(l, sign);
    const V wide = _mm256_cmpeq_epi16(_mm256_mulhi_epu16(a, vmul), zero);  // product below 65536
    const V m = _mm256_or_si256(_mm256_adds_epu16(_mm256_mullo_epi16(a, vmul), vodd),
                                _mm256_xor_si256(wide, _mm256_cmpeq_epi16(zero, zero)));
    const V lim = _mm256_blendv_epi8(posLim, negLim, sign);
    const V f = _mm256_andnot_si256(_mm256_cmpeq_epi16(l, zero), apply_sign(_mm256_min_epu16(m, lim), sign));
    store16(block + i, _mm256_blendv_epi8(f, l, _mm256_cmpgt_epi16(index, vlast)));
    index = _mm256_add_epi16(index, _mm256_set1_epi16(16));
  }
}

}  // namespace
}  // namespace KVN_ISA

constexpr void quant_h263_init_avx2(QuantH263Kernels& k) {
  k.quant = KVN_ISA::quant;
  k.inv = KVN_ISA::inv;
}

KVN_LEVEL_KERNELS(quant_h263, QuantH263Kernels);

}  // namespace kvn
