// H.264 8x8 transform family (High profile): forward transforms, quantisers,
// inverse quantisers, inverse transform with prediction add, scale tables.
//
// Contracts shared by the kernels (the entries have checked the pointers and
// the ranges of q6 and m):
//  - blocks are 64 values in raster order, dense; nothing is assumed about
//    alignment; source and destination may be the same block;
//  - forward transform: H.264's 8-point forward butterfly, rows then columns;
//  - quantisers: s = q6 + 12, f = (intra ? 682 : 342) << (q6 + 1),
//    level = sign(c) * ((|c| * F(p) + f) >> s); counts as in the 4x4 family,
//    the count negated when the DC level is nonzero;
//  - inverse quantisers: H.264 8.5.12.1 with LevelScale8x8 = inv;
//  - inverse transform: H.264 8.5.13.2, (x + 32) >> 6, prediction added and
//    the sum clamped to the sample range.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/dispatch.h"
#include "kvncore.h"

namespace kvn {

// Forward transform: 16-bit wrapping at every step, or 32-bit.
using Fwd8x8_16sFn = void (*)(const int16_t* src, int16_t* dst);
using Fwd8x8_32sFn = void (*)(const int16_t* src, int32_t* dst);
// 16s: |c| saturated to 32767, 32-bit product and sum, level saturated to 16
// bits (q6 0..8). 32s: 64-bit product and sum, level saturated to 32 bits
// (q6 0..14).
using Quant8x8_16sFn = void (*)(const int16_t* src, int16_t* dst, int32_t q6, int32_t intra, const int16_t* scan,
                                const int16_t* scale, int32_t* num, int32_t* last);
using Quant8x8_32sFn = void (*)(const int32_t* src, int32_t* dst, int32_t q6, int32_t intra, const int16_t* scan,
                                const int16_t* scale, int32_t* num, int32_t* last);
// In place; 16s saturates the exact result to 16 bits, 32s wraps in 32 bits.
using Dequant8x8_16sFn = void (*)(int16_t* block, int32_t q6, const int16_t* inv);
using Dequant8x8_32sFn = void (*)(int32_t* block, int32_t q6, const int16_t* inv);
// 8-bit: 16-bit saturating intermediates, clamp to 0..255.
using InvAdd8uFn = void (*)(const uint8_t* pred, int32_t predStep, const int16_t* src, uint8_t* dst, int32_t dstStep);
// Up to 16 bits: 32-bit wrapping intermediates, clamp to 0..maxValue. Steps
// in bytes, wide enough for the byte steps of 16-bit planes whose steps count
// samples.
using InvAdd16uFn = void (*)(const uint16_t* pred, std::ptrdiff_t predStep, const int32_t* src, uint16_t* dst,
                             std::ptrdiff_t dstStep, int32_t maxValue);
// Scale tables for m (0..5) from 8 rows of weights at `step` bytes.
using GenScale8x8Fn = void (*)(const uint8_t* list, int32_t step, int16_t* inv, int16_t* fwd, int32_t m);

struct Transform8x8Kernels {
  Fwd8x8_16sFn fwd16s;
  Fwd8x8_32sFn fwd32s;
  Quant8x8_16sFn quant16s;
  Quant8x8_32sFn quant32s;
  Dequant8x8_16sFn dequant16s;
  Dequant8x8_32sFn dequant32s;
  InvAdd8uFn inv_add8u;
  InvAdd16uFn inv_add16u;
  GenScale8x8Fn gen_scale;
};

// The scalar table kTransform8x8KernelsC, the table of each level
// transform8x8_kernels(isa), the chosen one transform8x8_kernels() and the SIMD
// steps transform8x8_init_<level>: see KVN_DECLARE_FAMILY (core/dispatch.h).
KVN_DECLARE_FAMILY(transform8x8, Transform8x8Kernels);

}  // namespace kvn
