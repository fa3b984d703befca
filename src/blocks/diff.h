// Block differences (residual formation): kernel types and tables.
//
// Contracts shared by every kernel here:
//  - steps are signed byte distances, also for 16-bit samples, and may take
//    any value (odd ones included); nothing is assumed about alignment;
//  - a difference is source - prediction, stored as a signed 16-bit value
//    (for 16-bit samples: modulo 65536);
//  - predictions at half-sample positions are those of the block layer
//    (block_pred.h) and read one column more (mode 8, 12) and/or one row more
//    (mode 4, 12) of the reference than the block has, nothing else; the
//    two-reference forms average the two predictions rounding up;
//  - interleaved (Cb, Cr) sources and references hold the two channels byte
//    by byte; a sample's horizontal neighbour is two bytes further on;
//  - the outputs of the SumsDiff kernels have no step: sums in raster order
//    of the 4x4 blocks, differences 4x4 block after 4x4 block in that order,
//    each block row by row;
//  - a kernel writes its outputs and nothing else.
// Kernel tables are indexed as the entries compute:
//  - GetDiff, GetDiff C2P2:       (mode & 12) / 2 + (rounding & 1)
//  - their two-reference forms:   (modeF & 12) / 2 + 2 * (modeB & 12) + (rounding & 1)
//  - GetDiff, outer index:        1 when the prediction is to be written too
//  - SumsDiff:                    1 when the differences are wanted
//  - SumsDiff C2P2:               (Cb differences wanted) + 2 * (Cr differences wanted)
// Sub 8x8 and 16x16 are the GetDiff kernels of mode 0 without prediction
// output, Sub 4x4 is diff4x4.
#pragma once

#include <array>
#include <cstdint>

#include "core/dispatch.h"

namespace kvn {

// src - pred, 4x4 (prediction given as it stands).
using DiffFn = void (*)(const uint8_t* src, int32_t srcStep, const uint8_t* pred, int32_t predStep, int16_t* diff,
                        int32_t diffStep);
// src - p, p the prediction of ref; kernels with a prediction output also
// write p to out (others ignore out and outStep).
using GetDiffFn = void (*)(const uint8_t* src, int32_t srcStep, const uint8_t* ref, int32_t refStep, int16_t* diff,
                           int32_t diffStep, int16_t* out, int32_t outStep);
using GetDiffBFn = void (*)(const uint8_t* src, int32_t srcStep, const uint8_t* refF, int32_t refFStep,
                            const uint8_t* refB, int32_t refBStep, int16_t* diff, int32_t diffStep);
// Interleaved source and reference, one difference plane per channel.
using GetDiffP2Fn = void (*)(const uint8_t* src, int32_t srcStep, const uint8_t* ref, int32_t refStep, int16_t* diffU,
                             int32_t diffUStep, int16_t* diffV, int32_t diffVStep);
using GetDiffP2BFn = void (*)(const uint8_t* src, int32_t srcStep, const uint8_t* refF, int32_t refFStep,
                              const uint8_t* refB, int32_t refBStep, int16_t* diffU, int32_t diffUStep, int16_t* diffV,
                              int32_t diffVStep);
using Sub16uFn = void (*)(const uint16_t* src1, int32_t src1Step, const uint16_t* src2, int32_t src2Step, int16_t* diff,
                          int32_t diffStep);
// diff is ignored by the kernels that write no differences.
using SumsDiff8uFn = void (*)(const uint8_t* src, int32_t srcStep, const uint8_t* pred, int32_t predStep, int16_t* sums,
                              int16_t* diff);
using SumsDiff16uFn = void (*)(const uint16_t* src, int32_t srcStep, const uint16_t* pred, int32_t predStep,
                               int32_t* sums, int16_t* diff);
using SumsDiffP2Fn = void (*)(const uint8_t* src, int32_t srcStep, const uint8_t* predU, int32_t predUStep,
                              const uint8_t* predV, int32_t predVStep, int16_t* sumsU, int16_t* diffU, int16_t* sumsV,
                              int16_t* diffV);

// Byte views of 16-bit rows, which are stepped by byte distances.
inline uint8_t* byte_ptr(int16_t* p) { return reinterpret_cast<uint8_t*>(p); }
inline const uint8_t* byte_ptr(const uint16_t* p) { return reinterpret_cast<const uint8_t*>(p); }

// Block sizes, in table order.
enum DiffSize { kDiff8x4, kDiff8x8, kDiff8x16, kDiff16x8, kDiff16x16, kDiffSizes };
enum DiffP2Size { kDiffP2_8x4, kDiffP2_8x8, kDiffP2Sizes };
enum SumsSize { kSums8x8, kSums16x16, kSumsSizes };

inline int diff_index(int32_t mode, int32_t rounding) { return (mode & 12) / 2 + (rounding & 1); }
inline int diff_b_index(int32_t modeF, int32_t modeB, int32_t rounding) {
  return (modeF & 12) / 2 + 2 * (modeB & 12) + (rounding & 1);
}

struct DiffKernels {
  DiffFn diff4x4;
  std::array<GetDiffFn, 8> get_diff[kDiffSizes][2];  // [size][prediction written]
  std::array<GetDiffBFn, 32> get_diff_b[kDiffSizes];
  std::array<GetDiffP2Fn, 8> get_diff_p2[kDiffP2Sizes];
  std::array<GetDiffP2BFn, 32> get_diff_p2b[kDiffP2Sizes];
  Sub16uFn sub16u4x4, sub16u8x8;
  SumsDiff8uFn sums_diff[kSumsSizes][2];  // [size][differences written]
  SumsDiff16uFn sums_diff16u[kSumsSizes][2];
  SumsDiffP2Fn sums_diff_p2[4];
};

// The scalar table kDiffKernelsC, the table of each level diff_kernels(isa),
// the chosen one diff_kernels() and the SIMD steps diff_init_<level>: see
// KVN_DECLARE_FAMILY (core/dispatch.h).
KVN_DECLARE_FAMILY(diff, DiffKernels);

}  // namespace kvn
