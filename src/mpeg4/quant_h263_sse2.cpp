// SSE2 kernels of the uniform quantisers, eight coefficients a step in
// unsigned 16-bit lanes: magnitudes (32768 included), saturating sums,
// pmulhuw for the reciprocal, the unsigned minimum as a - (a -sat b). The
// inverse quantiser forms mul * |L| in 32 bits (pmullw, pmulhuw): a non-zero
// high half saturates the magnitude, which the clamp then takes to its bound.
// Positions after the last index keep their values (a blend on the last
// group, no access to the groups after it).
#include <emmintrin.h>

#include "mpeg4/quant_h263.h"
#include "simd/loads.h"

namespace kvn {
namespace KVN_ISA {
namespace {

using V = __m128i;

inline V min_u16(V a, V b) { return _mm_sub_epi16(a, _mm_subs_epu16(a, b)); }
inline V apply_sign(V m, V sign) { return _mm_sub_epi16(_mm_xor_si128(m, sign), sign); }
inline int32_t nonzero(V l) {
  return 8 - (__builtin_popcount(uint32_t(_mm_movemask_epi8(_mm_cmpeq_epi16(l, _mm_setzero_si128())))) >> 1);
}

int32_t quant(int16_t* block, const UniformQuant& q) {
  const V add = _mm_set1_epi16(int16_t(q.add)), sub = _mm_set1_epi16(int16_t(q.sub));
  const V cap = _mm_set1_epi16(int16_t(q.cap)), r = _mm_set1_epi16(int16_t(q.recip));
  const V limit = _mm_set1_epi16(int16_t(q.limit < 65535 ? q.limit : 65535));
  int32_t n = 0;
  for (int i = 0; i < 64; i += 8) {
    const V c = load<16>(block + i), sign = _mm_srai_epi16(c, 15);
    V m = apply_sign(c, sign);  // |c| as unsigned
    m = min_u16(_mm_subs_epu16(_mm_adds_epu16(m, add), sub), cap);
    const V l = apply_sign(min_u16(_mm_mulhi_epu16(m, r), limit), sign);
    store<16>(block + i, l);
    n += nonzero(l);
  }
  return n;
}

void inv(int16_t* block, int32_t last, int32_t mul, int32_t odd, int32_t lo, int32_t hi) {
  const V vmul = _mm_set1_epi16(int16_t(mul)), vodd = _mm_set1_epi16(int16_t(odd));
  const V posLim = _mm_set1_epi16(int16_t(hi)), negLim = _mm_set1_epi16(int16_t(-lo));  // -lo <= 32768
  const V vlast = _mm_set1_epi16(int16_t(last)), zero = _mm_setzero_si128();
  V index = _mm_setr_epi16(0, 1, 2, 3, 4, 5, 6, 7);
  for (int i = 0; i <= last; i += 8) {
    const V l = load<16>(block + i), sign = _mm_srai_epi16(l, 15);
    const V a = apply_sign(l, sign);
    const V wide = _mm_cmpeq_epi16(_mm_mulhi_epu16(a, vmul), zero);  // product below 65536
    const V m = _mm_or_si128(_mm_adds_epu16(_mm_mullo_epi16(a, vmul), vodd),
                             _mm_andnot_si128(wide, _mm_cmpeq_epi16(zero, zero)));
    const V lim = _mm_or_si128(_mm_and_si128(sign, negLim), _mm_andnot_si128(sign, posLim));
    const V f = _mm_andnot_si128(_mm_cmpeq_epi16(l, zero), apply_sign(min_u16(m, lim), sign));
    const V keep = _mm_cmpgt_epi16(index, vlast);
    store<16>(block + i, _mm_or_si128(_mm_and_si128(keep, l), _mm_andnot_si128(keep, f)));
    index = _mm_add_epi16(index, _mm_set1_epi16(8));
  }
}

}  // namespace
}  // namespace KVN_ISA

constexpr void quant_h263_init_sse2(QuantH263Kernels& k) {
  k.quant = KVN_ISA::quant;
  k.inv = KVN_ISA::inv;
}

KVN_LEVEL_KERNELS(quant_h263, QuantH263Kernels);

}  // namespace kvn
