// DV dequantisers of one 8x8 block in raster order, in place; the tables are
// in raster order too. Exact formulas (every kernel gives these bits):
//  - inv: v = int16(((v * t) >> 16) << 2), the product in 32 bits, the shift
//    arithmetic, the result truncated to 16 bits;
//  - weight_inv: v = (int16((v >> 3) * q) * w) >> 16, q unsigned, the first
//    product taken modulo 2^16 as a signed 16-bit value, the shifts
//    arithmetic (the result always fits 16 bits).
#pragma once

#include <cstdint>

#include "core/dispatch.h"

namespace kvn {

using DvQuantInvFn = void (*)(int16_t* block, const int16_t* table);
using DvQuantWeightInvFn = void (*)(int16_t* block, const uint16_t* table, const int16_t* weights);

struct DvQuantKernels {
  DvQuantInvFn inv;
  DvQuantWeightInvFn weight_inv;
};

KVN_DECLARE_FAMILY(dv_quant, DvQuantKernels);

}  // namespace kvn
