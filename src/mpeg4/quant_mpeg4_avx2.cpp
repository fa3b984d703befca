// AVX2 kernels of the MPEG-4 matrix quantisers: the arithmetic of the SSE2
// forward kernel (quant_mpeg4_sse2.cpp) and of the SSE4.1 inverse kernels
// (quant_mpeg4_sse41.cpp) on sixteen coefficients a step; the 32-bit
// products are unpacked and packed within each 128-bit half, which keeps the
// coefficients' order.
#include <immintrin.h>

#include "mpeg4/quant_h263.h"
#include "mpeg4/quant_mpeg4.h"
#include "simd/loads.h"

namespace kvn {
namespace KVN_ISA {
namespace {

using V = __m256i;

inline V apply_sign(V m, V sign) { return _mm256_sub_epi16(_mm256_xor_si256(m, sign), sign); }
inline V load16(const void* p) { return _mm256_loadu_si256(static_cast<const V*>(p)); }
inline void store16(void* p, V v) { _mm256_storeu_si256(static_cast<V*>(p), v); }
inline V lane0() { return _mm256_setr_epi16(-1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0); }

int32_t quant_matrix(int16_t* block, const KvnQuantState_MPEG4& s, int32_t qp, int32_t first, uint32_t add) {
  const V r = _mm256_set1_epi16(int16_t(quant_h263::recip(qp))), vadd = _mm256_set1_epi16(int16_t(add));
  const V top = _mm256_set1_epi16(4095), limit = _mm256_set1_epi16(2047), zero = _mm256_setzero_si256();
  const V skip0 = first ? lane0() : zero;
  uint32_t zeros = 0;
  for (int i = 0; i < 64; i += 16) {
    const V c = load16(block + i), sign = _mm256_srai_epi16(c, 15);
    const V a = apply_sign(c, sign);
    const V big = _mm256_xor_si256(_mm256_cmpeq_epi16(_mm256_subs_epu16(a, top), zero), _mm256_cmpeq_epi16(zero, zero));
    const V t = _mm256_or_si256(_mm256_adds_epu16(_mm256_slli_epi16(a, 4), load16(s.weights + i)), big);
    const V k = _mm256_adds_epu16(_mm256_mulhi_epu16(t, load16(s.scale.reciprocals + i)), vadd);
    V l = apply_sign(_mm256_min_epu16(_mm256_mulhi_epu16(k, r), limit), sign);
    V z = _mm256_cmpeq_epi16(l, zero);
    if (i == 0) {
      l = _mm256_blendv_epi8(l, c, skip0);
      z = _mm256_or_si256(z, skip0);
    }
    store16(block + i, l);
    zeros += uint32_t(__builtin_popcount(uint32_t(_mm256_movemask_epi8(z))));
  }
  return 64 - int32_t(zeros >> 1);
}

template <bool Intra>
int32_t inv_matrix(int16_t* block, int32_t last, const uint16_t* w, int32_t qp, int32_t lo, int32_t hi) {
  constexpr int kShift = Intra ? 3 : 4;
  const V bound = _mm256_set1_epi32(1 << (Intra ? 18 : 19)), vqp = _mm256_set1_epi32(qp);
  const V top = _mm256_set1_epi32(32768);
  const V posLim = _mm256_set1_epi16(int16_t(hi)), negLim = _mm256_set1_epi16(int16_t(-lo));
  const V vlast = _mm256_set1_epi16(int16_t(last)), zero = _mm256_setzero_si256();
  V index = _mm256_setr_epi16(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15), parity = zero;
  for (int i = 0; i <= last; i += 16) {
    const V l = load16(block + i), sign = _mm256_srai_epi16(l, 15), wt = load16(w + i);
    const V a = apply_sign(l, sign);
    const V plo = _mm256_mullo_epi16(a, wt), phi = _mm256_mulhi_epu16(a, wt);
    V x0 = _mm256_unpacklo_epi16(plo, phi), x1 = _mm256_unpackhi_epi16(plo, phi);  // |L| W
    if (!Intra) {
      // (2|L| + 1) W
      x0 = _mm256_add_epi32(_mm256_add_epi32(x0, x0), _mm256_unpacklo_epi16(wt, zero));
      x1 = _mm256_add_epi32(_mm256_add_epi32(x1, x1), _mm256_unpackhi_epi16(wt, zero));
    }
    x0 = _mm256_srli_epi32(_mm256_mullo_epi32(_mm256_min_epu32(x0, bound), vqp), kShift);
    x1 = _mm256_srli_epi32(_mm256_mullo_epi32(_mm256_min_epu32(x1, bound), vqp), kShift);
    const V m = _mm256_packus_epi32(_mm256_min_epu32(x0, top), _mm256_min_epu32(x1, top));
    const V lim = _mm256_blendv_epi8(posLim, negLim, sign);
    const V f = _mm256_andnot_si256(_mm256_cmpeq_epi16(l, zero), apply_sign(_mm256_min_epu16(m, lim), sign));
    V keep = _mm256_cmpgt_epi16(index, vlast);
    if (Intra && i == 0) keep = _mm256_or_si256(keep, lane0());
    store16(block + i, _mm256_blendv_epi8(f, l, keep));
    parity = _mm256_xor_si256(parity, _mm256_andnot_si256(keep, f));
    index = _mm256_add_epi16(index, _mm256_set1_epi16(16));
  }
  return __builtin_popcount(uint32_t(_mm256_movemask_epi8(_mm256_slli_epi16(parity, 15)))) & 1;
}

}  // namespace
}  // namespace KVN_ISA

constexpr void quant_mpeg4_init_avx2(QuantMpeg4Kernels& k) {
  k.quant_matrix = KVN_ISA::quant_matrix;
  k.inv_inter = KVN_ISA::inv_matrix<false>;
  k.inv_intra = KVN_ISA::inv_matrix<true>;
}

KVN_LEVEL_KERNELS(quant_mpeg4, QuantMpeg4Kernels);

}  // namespace kvn
