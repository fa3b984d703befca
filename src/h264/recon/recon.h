// H.264 8-bit macroblock reconstruction: kernel types and table.
//
// The entries (recon_*_api.cpp) check the arguments and walk the packed
// coefficient stream (recon_mb.h); the kernels here do the per-block work:
// dequantisation, inverse transform (H.264 8.5.12), addition to the
// prediction in the picture and clamping, and the intra 8x8 predictor with
// reference filtering (H.264 8.3.2).
//
// Contracts shared by the kernels:
//  - samples are 8-bit, `step` is the signed byte distance between rows;
//  - coefficient blocks are 16 values in raster order and are only read;
//  - the prediction is in place: each block is read, then written.
#pragma once

#include <cstdint>

#include "core/dispatch.h"
#include "h264/intra/intra.h"
#include "h264/recon/recon_layout.h"

namespace kvn {

static_assert(h264::kNbTop == kAvailTop && h264::kNbLeft == kAvailLeft && h264::kNbTopLeft == kAvailTopLeft &&
                  h264::kNbTopRight == kAvailTopRight,
              "the layout's availability bits are those of the intra predictors");

// How coefficients become the inverse transform's input d:
//  - standard rule (H.264 8.5.12.1): d = sat16((c * mul + round) >> -left)
//    when left < 0, else sat16((c * mul) << left); for 4x4 blocks
//    left = qp / 6 - 4, round = 2^(3 - qp / 6) below qp 24, mul =
//    LevelScale4x4; for 8x8 blocks left = qp / 6 - 6, round = 2^(5 - qp / 6)
//    below qp 36, mul = LevelScale8x8;
//  - pre-shifted (4x4 only): d = low 16 bits of c * mul,
//    mul = v(qp % 6, class) << qp / 6.
// A block with a separate DC (Intra16x16, chroma) takes that value as d[0].
struct Dequant {
  const int16_t* mul;  // 16 or 64 multipliers, raster order
  int32_t left, round;
  bool preshifted;
};

Dequant dequant4_standard(int32_t qp, const int16_t* levelScale);
Dequant dequant4_preshifted(int32_t qp);
Dequant dequant8_standard(int32_t qp, const int16_t* levelScale);

// Residual of up to 16 4x4 blocks at the luma4x4BlkIdx positions (k < 4:
// the chroma positions) added to the picture at `mb`: block k is coded when
// coef[k] is not null; dc (block order, may be null) replaces d[0] of the
// coded blocks, and an uncoded block with a nonzero DC receives
// (dc + 32) >> 6 on every sample. Blocks 2j and 2j + 1 are neighbours and
// may be done together.
using Residual4x4Fn = void (*)(uint8_t* mb, int32_t step, int32_t count, const int16_t* const* coef, const int16_t* dc,
                               const Dequant& dq);
// One coded 4x4 block without a separate DC.
using Block4x4Fn = void (*)(uint8_t* dst, int32_t step, const int16_t* coef, const Dequant& dq);
// One coded 8x8 block, dq from dequant8_standard: inverse 8x8 transform
// (H.264 8.5.13) with 16-bit saturating intermediates, (x + 32) >> 6 added.
using Block8x8Fn = void (*)(uint8_t* dst, int32_t step, const int16_t* coef, const Dequant& dq);
// The 8x8 blocks of a luma macroblock (coef[b] null: uncoded); blocks 0, 1
// and 2, 3 are neighbours and may be done together.
using Residual8x8Fn = void (*)(uint8_t* mb, int32_t step, const int16_t* const* coef, const Dequant& dq);
// Interleaved chroma rows (Cb even bytes, Cr odd) to two 8x8 blocks at
// 16 bytes a row, and back.
using SplitC2Fn = void (*)(const uint8_t* cbcr, int32_t step, uint8_t* cb, uint8_t* cr);
using MergeC2Fn = void (*)(const uint8_t* cb, const uint8_t* cr, uint8_t* cbcr, int32_t step);

// Intra 4x4 luma blocks 0..count-1 (16, or 8 for a Half) in luma4x4BlkIdx
// order at `mb`: block b predicted with modes[b] (0..8, checked by the
// caller) from the neighbours the edge flags leave it (intra4x4_avail), then,
// when coef[b] is not null, its residual (dq from dequant4_standard or
// dequant4_preshifted) added; an uncoded block keeps the prediction.
using Intra4x4Fn = void (*)(uint8_t* mb, int32_t step, int32_t count, const int32_t* modes, uint32_t edges,
                            const int16_t* const* coef, const Dequant& dq);

struct ReconKernels {
  Residual4x4Fn residual4x4;
  Block4x4Fn block4x4;
  Block8x8Fn block8x8;
  Residual8x8Fn residual8x8;
  IntraFn pred8x8[9];  // intra 8x8 with reference filtering, availability as IntraFn
  Intra4x4Fn intra4x4;
  SplitC2Fn split_c2;
  MergeC2Fn merge_c2;
};

// The scalar table kReconKernelsC, the table of each level recon_kernels(isa),
// the chosen one recon_kernels() and the SIMD steps recon_init_<level>: see
// KVN_DECLARE_FAMILY (core/dispatch.h).
KVN_DECLARE_FAMILY(recon, ReconKernels);

}  // namespace kvn
