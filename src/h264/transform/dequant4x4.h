// H.264 inverse 4x4 paths (H.264 8.5.12, 8.6.1): plain inverse transforms,
// dequantisation with the standard's rounding shifts or in the pre-shifted
// form, addition to a prediction, and the SP/SI reconstruction. Kernel types
// and tables.
//
// Contracts shared by every kernel here (the entries have checked pointers
// and ranges): blocks are 16 values in raster order unless a step is given;
// steps are signed byte distances; nothing is assumed about alignment; a null
// dc pointer means "no DC value given"; ac is the caller's AC flag (bit 0).
// Prediction rows are read before the destination row at the same index is
// written, so pred and dst may be the same block.
#pragma once

#include <cstdint>

#include "core/dispatch.h"

namespace kvn {

// Plain inverse core transforms with (x + 32) >> 6: 16-bit saturating at every
// addition, or wrapping 32-bit.
using Inv4x4_16sFn = void (*)(const int16_t* src, int16_t* dst);
using Inv4x4_32sFn = void (*)(const int32_t* src, int32_t* dst);

// d = (c * LS) << (qp/6 - 4) for qp >= 24, else (c * LS + 2^(3 - qp/6)) >>
// (4 - qp/6), LS = scale[p] or 16 v(qp % 6, class(p)); 16-bit: saturated to
// 16 bits, inverse transform saturating, clamp to 0..255; 32-bit: the same
// wrapping in 32 bits, sum with the prediction saturated to 16 bits and
// clamped to 0..2^bitDepth - 1. Without AC the DC alone (c0 dequantised
// exactly when dc is null) gives (dc + 32) >> 6, added to every sample.
using InvAddPred16sFn = void (*)(const uint8_t* pred, int32_t predStep, int16_t* coef, const int16_t* dc, uint8_t* dst,
                                 int32_t dstStep, int32_t qp, int32_t ac, const int16_t* scale);
using InvAddPred32sFn = void (*)(const uint16_t* pred, int32_t predStep, int32_t* coef, const int32_t* dc,
                                 uint16_t* dst, int32_t dstStep, int32_t qp, int32_t ac, int32_t bitDepth,
                                 const int16_t* scale);

// Pre-shifted form: d = low 16 bits of c * (v(qp % 6, class) << qp / 6); the
// inverse transform saturates every 16-bit addition; without AC the residual
// is (dc + 32) >> 6 everywhere (16-bit saturating addition).
using DequantResidualFn = void (*)(int16_t* block, int32_t step, const int16_t* dc, int32_t ac, int32_t qp);
// The same added to the prediction; coef may be null when dc is given and
// ac is clear.
using DequantAddFn = void (*)(const uint8_t* pred, int16_t* coef, const int16_t* dc, uint8_t* dst, int32_t predStep,
                              int32_t dstStep, int32_t qp, int32_t ac);

// SP/SI reconstruction: qp, qs in 0..51.
using SispResidualFn = void (*)(int16_t* levels, const int16_t* pred, const int16_t* dc, int32_t ac, int32_t qp,
                                int32_t qs, int32_t switching);

struct Dequant4x4Kernels {
  Inv4x4_16sFn inv16s;
  Inv4x4_32sFn inv32s;
  InvAddPred16sFn inv_add16s;
  InvAddPred32sFn inv_add32s;
  DequantResidualFn dequant_residual;
  DequantAddFn dequant_add;
  SispResidualFn sisp_residual;
};

// The scalar table kDequant4x4KernelsC, the table of each level
// dequant4x4_kernels(isa), the chosen one dequant4x4_kernels() and the SIMD
// steps dequant4x4_init_<level>: see KVN_DECLARE_FAMILY (core/dispatch.h).
KVN_DECLARE_FAMILY(dequant4x4, Dequant4x4Kernels);

}  // namespace kvn
