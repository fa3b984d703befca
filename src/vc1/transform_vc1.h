// VC-1 forward and inverse transforms of 4x4, 4x8, 8x4 and 8x8 blocks of
// signed 16-bit values (width x height; rows at a step in bytes, any value,
// any alignment).
//
// Inverse (SMPTE 421M 8.1.2.1), matrices vc1::kInv4 and vc1::kInv8: first each
// row (length = width), then each column (length = height); output sample n
// of a stage is the sum over k of input k times entry (k, n), in 32 bits;
//   row stage:    (sum + 4) >> 3,
//   column stage: (sum + 64) >> 7, and (sum + 65) >> 7 for the lower four
//                 outputs of an 8-point column,
// each result saturated to 16 bits.
//
// Forward (encoder side), bases vc1::kFwd4 and vc1::kFwd8: first each row,
// then each column; output k of a stage is the dot product of basis row k and
// the input, accumulated in 32 bits with wrap-around, plus the stage's
// rounding term, shifted right arithmetically and saturated to 16 bits
// (vc1::kFwdRow4 ... kFwdCol8). Output rows are vertical frequencies.
//
// Contracts: a kernel reads the whole source block (inverse: the rows and
// columns of its region only) before it writes the destination, so source
// and destination may be the same block. Each destination row is written
// whole, nothing else is.
#pragma once

#include <array>
#include <cstdint>

#include "core/dispatch.h"
#include "kvncore.h"

namespace kvn {

// Block shapes, width x height: the index of every table below.
enum Vc1Shape { kVc1_4x4, kVc1_4x8, kVc1_8x4, kVc1_8x8, kVc1Shapes };
constexpr int vc1_width(int shape) { return shape == kVc1_4x4 || shape == kVc1_4x8 ? 4 : 8; }
constexpr int vc1_height(int shape) { return shape == kVc1_4x4 || shape == kVc1_8x4 ? 4 : 8; }

using Vc1FwdFn = void (*)(const int16_t* src, int32_t srcStep, int16_t* dst, int32_t dstStep);
// The inverse transform of the top-left w x h coefficients (1 <= w <= width,
// 1 <= h <= height), every other coefficient taken as zero and not read.
using Vc1InvFn = void (*)(const int16_t* src, int32_t srcStep, int16_t* dst, int32_t dstStep, int32_t w, int32_t h);
// The inverse transform of the DC coefficient alone (the only one read).
using Vc1InvDcFn = void (*)(const int16_t* src, int16_t* dst, int32_t dstStep);

struct TransformVc1Kernels {
  std::array<Vc1FwdFn, kVc1Shapes> fwd;
  std::array<Vc1InvFn, kVc1Shapes> inv;
  std::array<Vc1InvFn, kVc1Shapes> inv_quarter;  // w <= width / 2, h <= height / 2
  std::array<Vc1InvDcFn, kVc1Shapes> inv_dc;
};

// The scalar table kTransformVc1KernelsC, the table of each level
// transform_vc1_kernels(isa), the chosen one transform_vc1_kernels() and the
// SIMD steps transform_vc1_init_<level>: see KVN_DECLARE_FAMILY (core/dispatch.h).
KVN_DECLARE_FAMILY(transform_vc1, TransformVc1Kernels);

}  // namespace kvn
