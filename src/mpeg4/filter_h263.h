// H.263 edge filters of 8-bit pictures, in place: the deblocking filter
// (ITU-T H.263 Annex J) and the block boundary filter (Annex Q). A kernel
// filters one whole edge; p points at the first sample after it (the row
// below a horizontal edge, the column right of a vertical one), step is the
// row step in bytes, any value (negative, odd; where a step makes the four
// lines overlap, which samples win is left to the kernel).
//
// Per position along the edge, A and B are the two samples before the edge
// (A farther), C and D the two after it (D farther); every result comes from
// the unfiltered samples, divisions truncate towards zero, clamp is 0..255.
//   deblock (strength S):
//     d  = (A - 4B + 4C - D) / 8
//     d1 = sign(d) * max(0, |d| - max(0, 2 (|d| - S)))
//     B' = clamp(B + d1), C' = clamp(C - d1)
//     d2 = clamp((A - D) / 4, -(|d1| >> 1), |d1| >> 1)
//     A' = clamp(A - d2), D' = clamp(D + d2)
//   With S >= 159 (|d| never exceeds 159) d1 = d: the unlimited filter of
//   the 16x16 entries, which pass S = 255.
//   boundary: B' = (3B + C + 2) >> 2, C' = (B + 3C + 2) >> 2; A and D stay.
// A kernel reads and writes only the four samples of each position.
#pragma once

#include <cstdint>

#include "core/dispatch.h"

namespace kvn {

using EdgeDeblockFn = void (*)(uint8_t* p, int32_t step, int32_t strength);
using EdgeBoundaryFn = void (*)(uint8_t* p, int32_t step);

// Index of the deblocking slots: edge length 8 or 16.
enum EdgeLength : int { kEdge8, kEdge16, kEdgeLengths };

struct FilterH263Kernels {
  EdgeDeblockFn deblock_hor[kEdgeLengths], deblock_ver[kEdgeLengths];
  EdgeBoundaryFn boundary_hor, boundary_ver;
};

namespace filter_h263 {

// STRENGTH of ITU-T H.263 Table J.2 for QUANT 1..31 (index QUANT - 1).
inline constexpr uint8_t kStrength[31] = {1, 1, 2, 2, 3, 3, 4,  4,  4,  5,  5,  6,  6,  7,  7, 7,
                                          8, 8, 8, 9, 9, 9, 10, 10, 10, 11, 11, 11, 12, 12, 12};
inline constexpr int32_t kUnlimited = 255;

}  // namespace filter_h263

KVN_DECLARE_FAMILY(filter_h263, FilterH263Kernels);

}  // namespace kvn
