// H.264 forward 4x4 transforms and quantisers: kernel types and tables.
//
// Contracts shared by every kernel here (the entries have checked the
// pointers and ranges named in the header):
//  - blocks are 16 values in raster order; nothing is assumed about alignment;
//  - qp is within the member's range; scale levels may be null where the
//    member allows it (then the multipliers Q(qp % 6, class) are used);
//  - levels are sign(c) * ((|c| * M + f) >> s) with M the multiplier of the
//    position, s = 15 + qp / 6 (11 + qp / 6 with scale levels), f = 2^s / 3
//    for intra blocks and 2^s / 6 for inter blocks;
//  - counts: the number of nonzero levels, and the largest scan-table entry
//    among them (0 when there is none).
#pragma once

#include <cstdint>

#include "core/dispatch.h"
#include "kvncore.h"

namespace kvn {

// Plain forward core transforms: 16-bit saturating at every step, or 32-bit.
using Fwd4x4_16sFn = void (*)(const int16_t* src, int16_t* dst);
using Fwd4x4_32sFn = void (*)(const int32_t* src, int32_t* dst);
// Forward core transform of a 4x4 block of 8-bit samples at srcStep bytes.
using FwdPredFn = void (*)(const uint8_t* src, int32_t srcStep, int16_t* dst);

// Transform (exact, stored as its low 16 bits) and quantise; the level is the
// low 16 bits of the exact one. The count is negated when level 0 is nonzero.
using TqFwd16sFn = void (*)(const int16_t* src, int16_t* dst, int32_t qp, int32_t* num, int32_t intra,
                            const int16_t* scan, int32_t* last, const int16_t* scale);
// Transform (32-bit) and quantise, exact (qp 0..87); count as above.
using TqFwd16s32sFn = void (*)(const int16_t* src, int32_t* dst, int32_t qp, int32_t* num, int32_t intra,
                               const int16_t* scan, int32_t* last, const int16_t* scale);

// Quantise only; the count is never negated. Levels saturate to the level type.
using Quant16sFn = void (*)(const int16_t* src, int16_t* dst, int32_t* num, int32_t* last, const int16_t* scale,
                            const int16_t* scan, int32_t qp, int32_t intra);
using Quant16s32sFn = void (*)(const int16_t* src, int32_t* dst, int32_t* num, int32_t* last, const int32_t* scale,
                               const int16_t* scan, int32_t qp, int32_t intra);
using Quant32sFn = void (*)(const int32_t* src, int32_t* dst, int32_t* num, int32_t* last, const int32_t* scale,
                            const int16_t* scan, int32_t qp, int32_t intra);

// In place: 16-bit wrapping transform (written to the block), then levels
// saturated to 16 bits, written half by half (8 levels each); a half holding a
// level of magnitude above 2063 is not written and the kernel returns
// KVN_STS_LEVEL_RANGE without writing the counts. Otherwise the count is
// negated when level 0 is nonzero and the last position masked with 127.
using TqLegacyFn = KvnResult (*)(int16_t* block, int32_t qp, int8_t* num, uint8_t intra, const int16_t* scan,
                                 uint8_t* last);

// Scale levels from a scaling list for m = qp % 6 (0..5): inverse v * w and
// forward floor(Q / w); a weight of 0 gives inverse 0 and forward Q.
using GenScaleFn = void (*)(const uint8_t* list, int16_t* inv, int16_t* fwd, int32_t m);

struct Quant4x4Kernels {
  Fwd4x4_16sFn fwd16s;
  Fwd4x4_32sFn fwd32s;
  FwdPredFn fwd_pred;
  TqFwd16sFn tq16s;
  TqFwd16s32sFn tq16s32s;
  Quant16sFn quant16s;
  Quant16s32sFn quant16s32s;
  Quant32sFn quant32s;
  TqLegacyFn tq_legacy;
  GenScaleFn gen_scale;
};

// The level limit of the legacy forward quantisers (baseline CAVLC).
constexpr int kLegacyLevelLimit = 2063;

// The scalar table kQuant4x4KernelsC, the table of each level
// quant4x4_kernels(isa), the chosen one quant4x4_kernels() and the SIMD steps
// quant4x4_init_<level>: see KVN_DECLARE_FAMILY (core/dispatch.h).
KVN_DECLARE_FAMILY(quant4x4, Quant4x4Kernels);

}  // namespace kvn
