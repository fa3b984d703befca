// H.264 CAVLC encoding analysis (clause 9.2 seen from the encoder): the
// syntax element values of one residual block, for the caller's bit writer.
// Kernel types and table.
//
// Coefficients are visited in reverse scan order. Outputs: TrailingOnes
// (0..3), their signs (1 = negative, the first met in the most significant of
// the TrailingOnes bits), TotalCoeff, total_zeros (zeros below the highest
// frequency nonzero coefficient; the positions scanned for an all-zero block),
// levels[TotalCoeff - TrailingOnes] (the other nonzero values, highest
// frequency first) and runs[TotalCoeff - 1] (run_before of each coefficient
// but the last). The other entries of the arrays (16 for 4x4 blocks) keep
// their values: SIMD kernels may store them back unchanged; nothing is
// stored for an all-zero block.
#pragma once

#include <cstdint>

#include "core/dispatch.h"

namespace kvn {

// Scalar outputs of an analysis.
struct CavlcCounts {
  uint8_t* trailingOnes;
  uint8_t* signs;
  uint8_t* totalCoeff;
  uint8_t* totalZeros;
};

// 4x4 blocks: scan indices end down to start (0 <= start <= end <= 15) of
// coef[scan[k]]. False, with nothing written, when a scan entry in
// start..end lies outside 0..15.
using Encode4x4_16sFn = bool (*)(const int16_t* coef, int start, const int32_t* scan, int end, const CavlcCounts& out,
                                 int16_t* levels, uint8_t* runs);
using Encode4x4_32sFn = bool (*)(const int32_t* coef, int start, const int32_t* scan, int end, const CavlcCounts& out,
                                 int32_t* levels, uint8_t* runs);
// Chroma DC: 2x2 visited at raster 3 2 1 0, 2x4 at 7 5 3 6 4 1 2 0.
using EncodeDc16sFn = void (*)(const int16_t* coef, const CavlcCounts& out, int16_t* levels, uint8_t* runs);
using EncodeDc32sFn = void (*)(const int32_t* coef, const CavlcCounts& out, int32_t* levels, uint8_t* runs);

struct CavlcEncodeKernels {
  Encode4x4_16sFn block16s;
  Encode4x4_32sFn block32s;
  EncodeDc16sFn dc2x2_16s;
  EncodeDc32sFn dc2x2_32s;
  EncodeDc16sFn dc2x4_16s;
  EncodeDc32sFn dc2x4_32s;
};

// The scalar table kCavlcEncodeKernelsC, the table of each level
// cavlc_encode_kernels(isa), the chosen one cavlc_encode_kernels() and the SIMD
// steps cavlc_encode_init_<level>: see KVN_DECLARE_FAMILY (core/dispatch.h).
KVN_DECLARE_FAMILY(cavlc_encode, CavlcEncodeKernels);

}  // namespace kvn
