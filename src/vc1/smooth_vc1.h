// VC-1 overlap smoothing (SMPTE 421M 8.5, the conditional overlap transform)
// of one macroblock edge: 16-bit reconstructed intra samples in, clamped
// 8-bit samples out.
//
// Across the edge x0, x1 are the last two samples before it and x2, x3 the
// first two after it, along one row (vertical edge) or column (horizontal
// edge). With r the rounding value of that row or column:
//   y0 = (7x0 + x3 + r) >> 3
//   y1 = (-x0 + 7x1 + x2 + x3 + (7 - r)) >> 3
//   y2 = (x0 + x1 + 7x2 - x3 + r) >> 3
//   y3 = (x0 + 7x3 + (7 - r)) >> 3
// in 16-bit arithmetic that saturates at every step: 7x is 7 times x clamped
// to -32768..32767, and the terms are added (or subtracted) one at a time
// from left to right, each partial result clamped to -32768..32767
// (-x0 is 0 - x0, clamped); >> 3 is arithmetic. For the values a decoder
// meets (far inside the 16-bit range) this is the exact sum.
// r is 4 on the even and 3 on the odd rows (vertical edges: rows of the
// destination) or columns (horizontal edges), counted from the edge's first.
//
// The destination receives y0..y3 clamped to 0..255 at the two positions
// before and the two after the edge; the vertical-edge kernels also store
// y0..y3 unclamped back into the 16-bit sources (x0, x1 into the left block,
// x2, x3 into the right one), where the later horizontal smoothing reads them.
//
// Luma vertical edges (16 destination rows) take a source row layout, the
// two low bits of the caller's field-neighbour mode: bit 0 set, the right
// source holds its first field in rows 0..7 and its second field in rows
// 8..15 (destination row 2k pairs with its row k, row 2k + 1 with row 8 + k);
// bit 1 set, the left source does; both clear, destination row i pairs with
// row i of both sources. `halves` says which 8-row halves of the destination
// are filtered (bit 0 rows 0..7, bit 1 rows 8..15); luma horizontal edges
// (16 columns) take the same for columns 0..7 and 8..15.
//
// Memory: a kernel reads x0..x3 and writes the destination's four samples of
// each filtered row or column (P2C2R: the two interleaved samples of each of
// the four positions) and, on vertical edges, x0..x3 of the sources. Rows or
// columns of a half not filtered are neither read nor written. Steps are in
// bytes, any value (odd ones too; the 16-bit samples need no alignment).
#pragma once

#include <cstdint>

#include "core/dispatch.h"

namespace kvn {

using SmoothLumaVerFn = void (*)(int16_t* left, int32_t leftStep, int16_t* right, int32_t rightStep, uint8_t* dst,
                                 int32_t dstStep, uint32_t halves);
using SmoothLumaHorFn = void (*)(const int16_t* upper, int32_t upperStep, const int16_t* lower, int32_t lowerStep,
                                 uint8_t* dst, int32_t dstStep, uint32_t halves);
using SmoothChromaVerFn = void (*)(int16_t* left, int32_t leftStep, int16_t* right, int32_t rightStep, uint8_t* dst,
                                   int32_t dstStep);
using SmoothChromaHorFn = void (*)(const int16_t* upper, int32_t upperStep, const int16_t* lower, int32_t lowerStep,
                                   uint8_t* dst, int32_t dstStep);
// Two planes into one interleaved destination: plane 0 to the even bytes,
// plane 1 to the odd ones; both planes use the same r on the same row.
using SmoothP2VerFn = void (*)(int16_t* left0, int32_t leftStep0, int16_t* right0, int32_t rightStep0, int16_t* left1,
                               int32_t leftStep1, int16_t* right1, int32_t rightStep1, uint8_t* dst, int32_t dstStep);
using SmoothP2HorFn = void (*)(const int16_t* upper0, int32_t upperStep0, const int16_t* lower0, int32_t lowerStep0,
                               const int16_t* upper1, int32_t upperStep1, const int16_t* lower1, int32_t lowerStep1,
                               uint8_t* dst, int32_t dstStep);

// Source row layouts of the luma vertical edge (index of luma_ver).
enum SmoothLayout : int { kFrameRows = 0, kRightFieldRows = 1, kLeftFieldRows = 2, kBothFieldRows = 3, kLayouts = 4 };

struct SmoothVc1Kernels {
  SmoothLumaVerFn luma_ver[kLayouts];
  SmoothLumaHorFn luma_hor;
  SmoothChromaVerFn chroma_ver;
  SmoothChromaHorFn chroma_hor;
  SmoothP2VerFn chroma_ver_p2;
  SmoothP2HorFn chroma_hor_p2;
};

namespace smooth_vc1 {

// The source row that destination row i (0..15) pairs with.
constexpr int frame_row(int i) { return i; }
constexpr int field_row(int i) { return (i & 1) * 8 + (i >> 1); }
template <int Layout>
constexpr int left_row(int i) {
  return Layout & kLeftFieldRows ? field_row(i) : i;
}
template <int Layout>
constexpr int right_row(int i) {
  return Layout & kRightFieldRows ? field_row(i) : i;
}

}  // namespace smooth_vc1

// The scalar table kSmoothVc1KernelsC, the table of each level
// smooth_vc1_kernels(isa), the chosen one smooth_vc1_kernels() and the SIMD
// steps smooth_vc1_init_<level>: see KVN_DECLARE_FAMILY (core/dispatch.h).
KVN_DECLARE_FAMILY(smooth_vc1, SmoothVc1Kernels);

}  // namespace kvn
