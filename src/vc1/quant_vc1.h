// VC-1 quantisers (encoder side) and inverse quantisers (decoder side) of
// blocks of signed 16-bit coefficients (rows at a step in bytes, any value,
// any alignment), with the double quantiser Q = 2 MQUANT + HALFQP.
//
// Forward (2 <= Q <= 62, checked by the entries), divisions truncating:
//  - uniform: level = trunc(c / Q);
//  - non-uniform: c' = c - sign(c) (Q >> 1) in 16 bits, level = trunc(c' / Q).
//  Intra: the 8x8 block except position (0,0), which is left as it is.
//  Inter: the top-left w x h region (w, h in {4, 8}); nothing else is touched.
// Inverse (SMPTE 421M 8.1.3.8; any Q), modulo 2^16:
//  - uniform: value = level Q;
//  - non-uniform: value = level Q + sign(level) (Q >> 1).
//  Intra: positions other than (0,0) of the 8x8 block; (0,0) copied. Inter:
//  the top-left w x h region. Nothing outside is written. The kernels return
//  the nonzero region of what they wrote (DC included): width 1 + the last
//  column, height 1 + the last row holding a nonzero value; 0 x 0 when all
//  are zero.
//
// Every kernel reads each source row before it writes the destination row,
// so source and destination may be the same block.
#pragma once

#include <array>
#include <cstdint>

#include "core/dispatch.h"
#include "kvncore.h"

namespace kvn {

enum Vc1QuantMode { kVc1Uniform, kVc1Nonuniform, kVc1QuantModes };

using Vc1QuantIntraFn = void (*)(int16_t* block, int32_t step, int32_t q);
using Vc1QuantInterFn = void (*)(int16_t* block, int32_t step, int32_t q, int32_t w, int32_t h);
using Vc1QuantInvIntraFn = KvnSize (*)(const int16_t* src, int32_t srcStep, int16_t* dst, int32_t dstStep, int32_t q);
using Vc1QuantInvInterFn = KvnSize (*)(const int16_t* src, int32_t srcStep, int16_t* dst, int32_t dstStep, int32_t q,
                                       int32_t w, int32_t h);

struct QuantVc1Kernels {
  std::array<Vc1QuantIntraFn, kVc1QuantModes> intra;
  std::array<Vc1QuantInterFn, kVc1QuantModes> inter;
  std::array<Vc1QuantInvIntraFn, kVc1QuantModes> inv_intra;
  std::array<Vc1QuantInvInterFn, kVc1QuantModes> inv_inter;
};

// The scalar table kQuantVc1KernelsC, the table of each level
// quant_vc1_kernels(isa), the chosen one quant_vc1_kernels() and the SIMD
// steps quant_vc1_init_<level>: see KVN_DECLARE_FAMILY (core/dispatch.h).
KVN_DECLARE_FAMILY(quant_vc1, QuantVc1Kernels);

}  // namespace kvn
