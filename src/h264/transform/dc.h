// H.264 DC transforms: the luma DC 4x4 Hadamard of Intra16x16 macroblocks
// (H.264 8.5.10), the chroma DC 2x2 (4:2:0) and 2x4 (4:2:2) transforms
// (8.5.11), forward with quantisation and inverse with dequantisation, the
// pre-shifted legacy forms and the SP/SI chroma DC path (8.6.2). Kernel types
// and tables.
//
// Contracts shared by every kernel here (the entries have checked pointers
// and ranges):
//  - DC blocks hold 16 (luma), 4 (2x2) or 8 (2x4: 4 rows of 2) values in
//    raster order; nothing is assumed about alignment;
//  - forward kernels: with the transform flag set the transform of the DC
//    block goes to the transformed block, else the transformed block is
//    read as given; levels then replace the DC values. The multiplier is
//    Q(m, E) or scale[0]; s = 16 + qp / 6 (12 + qp / 6 with scale levels);
//  - 2x4 kernels work with qp + 3 for the shift, m and LS.
#pragma once

#include <cstdint>

#include "core/dispatch.h"
#include "kvncore.h"

namespace kvn {

// Luma DC forward: Hadamard in 32 bits, halved (16-bit: saturated to 16 bits
// when stored), f = 2^s / 3 (682 * 2^(s - 11) with scale levels); levels
// saturate to their type; the count is negated when tr[0] is nonzero.
using FwdLumaDc16sFn = void (*)(int16_t* dc, int16_t* tr, int32_t qp, int32_t* num, int32_t transform,
                                const int16_t* scan, int32_t* last, const int16_t* scale);
using FwdLumaDc32sFn = void (*)(int32_t* dc, int32_t* tr, int32_t qp, int32_t* num, int32_t transform,
                                const int16_t* scan, int32_t* last, const int16_t* scale);
// Legacy luma DC forward: Hadamard wrapping in 16 bits, f = 2^s / 3, levels
// limited to 2063 half by half (see TqLegacyFn in quant4x4.h); the count is
// negated when level 0 is nonzero, the last position masked with 127.
using FwdLumaDcLegacyFn = KvnResult (*)(int16_t* dc, int16_t* tr, int32_t qp, int8_t* num, uint8_t transform,
                                        const int16_t* scan, uint8_t* last);
// Chroma DC forward: f = 2^s / 3 or 2^s / 6 (2x2), 682 or 342 * 2^(s - 11)
// (2x4) for intra / inter. 16-bit: transform saturated to 16 bits (2x4: also
// each 2-point row result), count negated when level 0 is zero; 32-bit:
// wrapping transform, count negated when level 0 is nonzero.
using FwdChromaDc16sFn = void (*)(int16_t* dc, int16_t* tr, int32_t qp, int32_t* num, int32_t intra, int32_t transform,
                                  const int16_t* scale);
using FwdChromaDc32sFn = void (*)(int32_t* dc, int32_t* tr, int32_t qp, int32_t* num, int32_t intra, int32_t transform,
                                  const int16_t* scale);
// Legacy chroma DC 2x2 forward: as the 16-bit one, count negated when level 0
// is nonzero; writes everything, then reports a level above 2063.
using FwdChromaDcLegacyFn = KvnResult (*)(int16_t* dc, int16_t* tr, int32_t qp, int8_t* num, uint8_t intra,
                                          uint8_t transform);

// Inverse DC transform and dequantisation in place, LS = scale[0] or
// 16 v(m, E); 16-bit saturating, 32-bit wrapping.
using InvDc16sFn = void (*)(int16_t* dc, int32_t qp, const int16_t* scale);
using InvDc32sFn = void (*)(int32_t* dc, int32_t qp, const int16_t* scale);
// Legacy pre-shifted DC dequantisation in place; results stored as their low
// 16 bits.
using DequantDcFn = void (*)(int16_t* dc, int32_t qp);
// SP/SI chroma DC; qp, qs in 0..51.
using SispChromaDcFn = void (*)(int16_t* levels, const int16_t* pred, int32_t qp, int32_t qs, int32_t switching);

struct DcKernels {
  FwdLumaDc16sFn fwd_luma16s;
  FwdLumaDc32sFn fwd_luma32s;
  FwdLumaDcLegacyFn fwd_luma_legacy;
  FwdChromaDc16sFn fwd_2x2_16s, fwd_2x4_16s;
  FwdChromaDc32sFn fwd_2x2_32s, fwd_2x4_32s;
  FwdChromaDcLegacyFn fwd_chroma_legacy;
  InvDc16sFn inv_luma16s, inv_2x2_16s, inv_2x4_16s;
  InvDc32sFn inv_luma32s, inv_2x2_32s, inv_2x4_32s;
  DequantDcFn dequant_luma, dequant_chroma;
  SispChromaDcFn sisp_chroma;
};

// The scalar table kDcKernelsC, the table of each level dc_kernels(isa), the
// chosen one dc_kernels() and the SIMD steps dc_init_<level>: see
// KVN_DECLARE_FAMILY (core/dispatch.h).
KVN_DECLARE_FAMILY(dc, DcKernels);

}  // namespace kvn
