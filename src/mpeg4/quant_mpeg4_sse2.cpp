// SSE2 kernel of the MPEG-4 matrix quantiser (8 bits per pixel or less),
// eight coefficients a step in unsigned 16-bit lanes: 16|c| + floor(W/2)
// saturated at 65535 (a magnitude above 4095 saturates it whatever the
// weight), pmulhuw by the weight's and the quantiser's reciprocals.
#include <emmintrin.h>

#include "mpeg4/quant_h263.h"
#include "mpeg4/quant_mpeg4.h"
#include "simd/loads.h"

namespace kvn {
namespace KVN_ISA {
namespace {

using V = __m128i;

inline V min_u16(V a, V b) { return _mm_sub_epi16(a, _mm_subs_epu16(a, b)); }
inline V apply_sign(V m, V sign) { return _mm_sub_epi16(_mm_xor_si128(m, sign), sign); }

int32_t quant_matrix(int16_t* block, const KvnQuantState_MPEG4& s, int32_t qp, int32_t first, uint32_t add) {
  const V r = _mm_set1_epi16(int16_t(quant_h263::recip(qp))), vadd = _mm_set1_epi16(int16_t(add));
  const V top = _mm_set1_epi16(4095), limit = _mm_set1_epi16(2047), zero = _mm_setzero_si128();
  // Lanes counted and written: all but position 0 when first is 1.
  const V skip0 = first ? _mm_setr_epi16(-1, 0, 0, 0, 0, 0, 0, 0) : zero;
  uint32_t zeros = 0;
  for (int i = 0; i < 64; i += 8) {
    const V c = load<16>(block + i), sign = _mm_srai_epi16(c, 15);
    const V a = apply_sign(c, sign);
    const V big = _mm_xor_si128(_mm_cmpeq_epi16(_mm_subs_epu16(a, top), zero), _mm_cmpeq_epi16(zero, zero));
    const V t = _mm_or_si128(_mm_adds_epu16(_mm_slli_epi16(a, 4), load<16>(s.weights + i)), big);
    const V k = _mm_adds_epu16(_mm_mulhi_epu16(t, load<16>(s.scale.reciprocals + i)), vadd);
    V l = apply_sign(min_u16(_mm_mulhi_epu16(k, r), limit), sign);
    if (i == 0) l = _mm_or_si128(_mm_and_si128(skip0, c), _mm_andnot_si128(skip0, l));
    store<16>(block + i, l);
    const V z = _mm_cmpeq_epi16(l, zero);
    zeros += uint32_t(__builtin_popcount(uint32_t(_mm_movemask_epi8(i == 0 ? _mm_or_si128(z, skip0) : z))));
  }
  return 64 - int32_t(zeros >> 1);
}

}  // namespace
}  // namespace KVN_ISA

constexpr void quant_mpeg4_init_sse2(QuantMpeg4Kernels& k) { k.quant_matrix = KVN_ISA::quant_matrix; }

KVN_LEVEL_KERNELS(quant_mpeg4, QuantMpeg4Kernels);

}  // namespace kvn
