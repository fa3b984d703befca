// AVX2 DV dequantisers, sixteen values a step (as the SSE2 ones).
#include <immintrin.h>

#include "dv/dv_quant.h"
#include "simd/loads.h"

namespace kvn {
namespace KVN_ISA {
namespace {

void inv(int16_t* block, const int16_t* table) {
  for (int i = 0; i < 64; i += 16)
    store<32>(block + i, _mm256_slli_epi16(_mm256_mulhi_epi16(load<32>(block + i), load<32>(table + i)), 2));
}

void weight_inv(int16_t* block, const uint16_t* table, const int16_t* weights) {
  for (int i = 0; i < 64; i += 16) {
    const __m256i s = _mm256_mullo_epi16(_mm256_srai_epi16(load<32>(block + i), 3), load<32>(table + i));
    store<32>(block + i, _mm256_mulhi_epi16(s, load<32>(weights + i)));
  }
}

}  // namespace
}  // namespace KVN_ISA

constexpr void dv_quant_init_avx2(DvQuantKernels& k) {
  k.inv = KVN_ISA::inv;
  k.weight_inv = KVN_ISA::weight_inv;
}

KVN_LEVEL_KERNELS(dv_quant, DvQuantKernels);

}  // namespace kvn
