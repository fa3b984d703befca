// Scalar DV dequantisers, straight from the formulas of dv_quant.h.
#include "dv/dv_quant.h"

namespace kvn {
namespace {

void inv(int16_t* block, const int16_t* table) {
  for (int k = 0; k < 64; ++k) block[k] = int16_t(uint32_t((int32_t(block[k]) * table[k]) >> 16) << 2);
}

void weight_inv(int16_t* block, const uint16_t* table, const int16_t* weights) {
  for (int k = 0; k < 64; ++k) {
    const int16_t scaled = int16_t(uint16_t(uint32_t(block[k] >> 3) * table[k]));
    block[k] = int16_t((int32_t(scaled) * weights[k]) >> 16);
  }
}

}  // namespace

constexpr DvQuantKernels kDvQuantKernelsC = {inv, weight_inv};

}  // namespace kvn
