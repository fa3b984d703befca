// SSE4.1 kernels of the MPEG-2 inverse quantisers: four coefficients a step in
// 32-bit lanes (pmulld), exact for every 16-bit level, weight and scale. The
// products are kept within 32 bits by bounding W * Q where the saturation
// makes larger values equivalent: for L != 0, |W * Q| >= 21846 already gives
// |F| >= 2048 in the non-intra formula, |W * Q| >= 32768 in the intra one.
#include <smmintrin.h>

#include "mpeg2/quant_mpeg2.h"
#include "simd/loads.h"

namespace kvn {
namespace KVN_ISA {
namespace {

using V = __m128i;

// Truncating division by 2^S of signed 32-bit lanes.
template <int S>
inline V div_trunc(V x) {
  return _mm_srai_epi32(_mm_add_epi32(x, _mm_srli_epi32(_mm_srai_epi32(x, 31), 32 - S)), S);
}

template <bool Intra>
inline V dequant4(V l, V w, V q) {
  constexpr int32_t kBound = Intra ? 32768 : 21846;
  V m = _mm_mullo_epi32(w, q);
  m = _mm_max_epi32(_mm_min_epi32(m, _mm_set1_epi32(kBound)), _mm_set1_epi32(-kBound));
  if constexpr (Intra) {
    return div_trunc<4>(_mm_mullo_epi32(l, m));
  } else {
    const V twice = _mm_add_epi32(_mm_add_epi32(l, l), _mm_sign_epi32(_mm_set1_epi32(1), l));
    return div_trunc<5>(_mm_mullo_epi32(twice, m));
  }
}

template <bool Intra>
void inv(int16_t* block, int32_t q, const uint16_t* weights) {
  const V qv = _mm_set1_epi32(q < -32768 ? -32768 : q > 32768 ? 32768 : q);
  const V lo = _mm_set1_epi16(-2048), hi = _mm_set1_epi16(2047);
  const int16_t dc = block[0];
  V parity = _mm_setzero_si128();
  for (int r = 0; r < 8; ++r) {
    const V l = load<16>(block + 8 * r), w = load<16>(weights + 8 * r);
    const V f0 = dequant4<Intra>(_mm_cvtepi16_epi32(l), _mm_cvtepu16_epi32(w), qv);
    const V f1 =
        dequant4<Intra>(_mm_cvtepi16_epi32(_mm_srli_si128(l, 8)), _mm_cvtepu16_epi32(_mm_srli_si128(w, 8)), qv);
    V f = _mm_max_epi16(_mm_min_epi16(_mm_packs_epi32(f0, f1), hi), lo);
    if (Intra && r == 0) f = _mm_insert_epi16(f, dc, 0);
    parity = _mm_xor_si128(parity, f);
    store<16>(block + 8 * r, f);
  }
  parity = _mm_xor_si128(parity, _mm_srli_si128(parity, 8));
  parity = _mm_xor_si128(parity, _mm_srli_si128(parity, 4));
  parity = _mm_xor_si128(parity, _mm_srli_si128(parity, 2));
  if ((_mm_cvtsi128_si32(parity) & 1) == 0) block[63] = int16_t(block[63] ^ 1);
}

}  // namespace
}  // namespace KVN_ISA

constexpr void quant_mpeg2_init_sse41(QuantMpeg2Kernels& k) {
  k.inv = KVN_ISA::inv<false>;
  k.inv_intra = KVN_ISA::inv<true>;
}

KVN_LEVEL_KERNELS(quant_mpeg2, QuantMpeg2Kernels);

}  // namespace kvn
