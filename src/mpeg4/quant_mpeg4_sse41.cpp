// SSE4.1 kernels of the MPEG-4 method 2 inverse quantisers: eight levels a
// step, |L| * W formed in 32 bits (pmullw, pmulhuw), then the products with
// QP in 32-bit lanes (pmulld). They stay within 32 bits by bounding the
// factor before QP where the clamp makes larger values equivalent: a
// magnitude (2|L| + 1) W of 2^19 or more (inter), |L| W of 2^18 or more
// (intra), already reconstructs beyond 32768 at QP 1. The results are packed
// back to unsigned 16 bits, clamped by sign, signed; positions outside
// first..last keep their values, and the parity of the values written is
// accumulated as an XOR.
#include <smmintrin.h>

#include "mpeg4/quant_mpeg4.h"
#include "simd/loads.h"

namespace kvn {
namespace KVN_ISA {
namespace {

using V = __m128i;

inline V apply_sign(V m, V sign) { return _mm_sub_epi16(_mm_xor_si128(m, sign), sign); }

template <bool Intra>
int32_t inv_matrix(int16_t* block, int32_t last, const uint16_t* w, int32_t qp, int32_t lo, int32_t hi) {
  constexpr int kShift = Intra ? 3 : 4;
  const V bound = _mm_set1_epi32(1 << (Intra ? 18 : 19)), vqp = _mm_set1_epi32(qp), top = _mm_set1_epi32(32768);
  const V posLim = _mm_set1_epi16(int16_t(hi)), negLim = _mm_set1_epi16(int16_t(-lo));
  const V vlast = _mm_set1_epi16(int16_t(last)), zero = _mm_setzero_si128();
  V index = _mm_setr_epi16(0, 1, 2, 3, 4, 5, 6, 7), parity = zero;
  for (int i = 0; i <= last; i += 8) {
    const V l = load<16>(block + i), sign = _mm_srai_epi16(l, 15), wt = load<16>(w + i);
    const V a = apply_sign(l, sign);
    const V plo = _mm_mullo_epi16(a, wt), phi = _mm_mulhi_epu16(a, wt);
    V x0 = _mm_unpacklo_epi16(plo, phi), x1 = _mm_unpackhi_epi16(plo, phi);  // |L| W
    if (!Intra) {
      // (2|L| + 1) W
      x0 = _mm_add_epi32(_mm_add_epi32(x0, x0), _mm_unpacklo_epi16(wt, zero));
      x1 = _mm_add_epi32(_mm_add_epi32(x1, x1), _mm_unpackhi_epi16(wt, zero));
    }
    x0 = _mm_srli_epi32(_mm_mullo_epi32(_mm_min_epu32(x0, bound), vqp), kShift);
    x1 = _mm_srli_epi32(_mm_mullo_epi32(_mm_min_epu32(x1, bound), vqp), kShift);
    const V m = _mm_packus_epi32(_mm_min_epu32(x0, top), _mm_min_epu32(x1, top));
    const V lim = _mm_blendv_epi8(posLim, negLim, sign);
    const V f = _mm_andnot_si128(_mm_cmpeq_epi16(l, zero), apply_sign(_mm_min_epu16(m, lim), sign));
    V keep = _mm_cmpgt_epi16(index, vlast);
    if (Intra && i == 0) keep = _mm_or_si128(keep, _mm_setr_epi16(-1, 0, 0, 0, 0, 0, 0, 0));
    store<16>(block + i, _mm_blendv_epi8(f, l, keep));
    parity = _mm_xor_si128(parity, _mm_andnot_si128(keep, f));
    index = _mm_add_epi16(index, _mm_set1_epi16(8));
  }
  return __builtin_popcount(uint32_t(_mm_movemask_epi8(_mm_slli_epi16(parity, 15)))) & 1;
}

}  // namespace
}  // namespace KVN_ISA

constexpr void quant_mpeg4_init_sse41(QuantMpeg4Kernels& k) {
  k.inv_inter = KVN_ISA::inv_matrix<false>;
  k.inv_intra = KVN_ISA::inv_matrix<true>;
}

KVN_LEVEL_KERNELS(quant_mpeg4, QuantMpeg4Kernels);

}  // namespace kvn
