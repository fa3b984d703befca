// SSE2 DV dequantisers, eight values a step (a 64-value block gains nothing
// from wider vectors): the signed high half of the
// 16 x 16-bit product is exactly the arithmetic shift by 16.
#include <emmintrin.h>

#include "dv/dv_quant.h"
#include "simd/loads.h"

namespace kvn {
namespace KVN_ISA {
namespace {

void inv(int16_t* block, const int16_t* table) {
  for (int i = 0; i < 64; i += 8) {
    const __m128i v = load<16>(block + i), t = load<16>(table + i);
    store<16>(block + i, _mm_slli_epi16(_mm_mulhi_epi16(v, t), 2));
  }
}

void weight_inv(int16_t* block, const uint16_t* table, const int16_t* weights) {
  for (int i = 0; i < 64; i += 8) {
    const __m128i v = _mm_srai_epi16(load<16>(block + i), 3);
    const __m128i s = _mm_mullo_epi16(v, load<16>(table + i));
    store<16>(block + i, _mm_mulhi_epi16(s, load<16>(weights + i)));
  }
}

}  // namespace
}  // namespace KVN_ISA

constexpr void dv_quant_init_sse2(DvQuantKernels& k) {
  k.inv = KVN_ISA::inv;
  k.weight_inv = KVN_ISA::weight_inv;
}

KVN_LEVEL_KERNELS(dv_quant, DvQuantKernels);

}  // namespace kvn
