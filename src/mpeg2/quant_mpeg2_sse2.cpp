// SSE2 kernels of the MPEG-2 forward quantisers, eight coefficients a step:
// single-precision products in the reference's order (multiplications only,
// so no contraction can change them), the reciprocal quantiser in unsigned
// 16-bit lanes.
#include <emmintrin.h>

#include "mpeg2/quant_mpeg2.h"
#include "simd/loads.h"

namespace kvn {
namespace KVN_ISA {
namespace {

using V = __m128i;

// Lanes that are zero, as a mask of 16 bits (two per lane).
inline uint32_t zero_mask(V l) { return uint32_t(_mm_movemask_epi8(_mm_cmpeq_epi16(l, _mm_setzero_si128()))); }
inline int32_t nonzero(uint32_t zeroMask) { return (16 - __builtin_popcount(zeroMask)) >> 1; }

inline V levels4(V c32, __m128 scale, const float* recip) {
  __m128 x = _mm_mul_ps(_mm_mul_ps(_mm_cvtepi32_ps(c32), scale), _mm_loadu_ps(recip));
  const __m128 ordered = _mm_cmpord_ps(x, x);
  x = _mm_min_ps(_mm_max_ps(x, _mm_set1_ps(-2047.0f)), _mm_set1_ps(2047.0f));
  return _mm_cvttps_epi32(_mm_and_ps(x, ordered));
}

template <int First>
int32_t quant_float(int16_t* block, float scale, const float* recip) {
  const __m128 s = _mm_set1_ps(scale);
  const int16_t dc = block[0];
  int32_t n = 0;
  for (int r = 0; r < 8; ++r) {
    const V c = load<16>(block + 8 * r);
    const V lo = _mm_srai_epi32(_mm_unpacklo_epi16(c, c), 16), hi = _mm_srai_epi32(_mm_unpackhi_epi16(c, c), 16);
    const V l = _mm_packs_epi32(levels4(lo, s, recip + 8 * r), levels4(hi, s, recip + 8 * r + 4));
    store<16>(block + 8 * r, l);
    n += nonzero(zero_mask(l) | (r == 0 && First ? 3u : 0u));
  }
  if (First) block[0] = dc;
  return n;
}

int32_t quant_recip(int16_t* block, uint32_t r) {
  const V mul = _mm_set1_epi16(int16_t(uint16_t(r))), top = _mm_set1_epi16(2047);
  int32_t n = 0;
  for (int i = 0; i < 8; ++i) {
    const V c = load<16>(block + 8 * i), sign = _mm_srai_epi16(c, 15);
    const V mag = _mm_sub_epi16(_mm_xor_si128(c, sign), sign);  // |c|, 32768 included (unsigned)
    V l = r > 65535 ? mag : _mm_mulhi_epu16(mag, mul);
    l = _mm_sub_epi16(l, _mm_subs_epu16(l, top));  // unsigned min with 2047
    l = _mm_sub_epi16(_mm_xor_si128(l, sign), sign);
    store<16>(block + 8 * i, l);
    n += nonzero(zero_mask(l));
  }
  return n;
}

int32_t count(const int16_t* block) {
  int32_t n = 0;
  for (int i = 0; i < 8; ++i) n += nonzero(zero_mask(load<16>(block + 8 * i)));
  return n;
}

}  // namespace
}  // namespace KVN_ISA

constexpr void quant_mpeg2_init_sse2(QuantMpeg2Kernels& k) {
  k.quant_float = KVN_ISA::quant_float<0>;
  k.quant_float_intra = KVN_ISA::quant_float<1>;
  k.quant_recip = KVN_ISA::quant_recip;
  k.count = KVN_ISA::count;
}

KVN_LEVEL_KERNELS(quant_mpeg2, QuantMpeg2Kernels);

}  // namespace kvn
