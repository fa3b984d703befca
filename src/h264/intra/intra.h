// H.264 8-bit intra prediction family (H.264 8.3): 4x4 luma (9 modes),
// 16x16 luma (4 modes), 8x8 chroma for 4:2:0 (4 modes).
//
// Kernel contracts (the entries have checked the pointer, the step, the mode
// and, for 16x16 and chroma, that the mode's neighbours are available):
//  - `block` addresses the top-left sample, `step` bytes between rows (row
//    offsets in std::ptrdiff_t: any 32-bit step, times the rows, is exact);
//  - `avail` holds the availability bits (kAvail*); the memory of a neighbour
//    whose bit is clear is never read;
//  - 4x4 kernels substitute 128 for unavailable neighbours (a missing
//    top-right repeats p[3, -1]); the warning is decided by the entry.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/dispatch.h"
#include "kvncore.h"

namespace kvn {

constexpr int32_t kAvailTop = 1, kAvailLeft = 2, kAvailTopLeft = 32, kAvailTopRight = 64;

using IntraFn = void (*)(uint8_t* block, std::ptrdiff_t step, int32_t avail);

struct IntraKernels {
  IntraFn pred4x4[9];
  IntraFn pred16x16[4];  // vertical, horizontal, DC, plane
  IntraFn chroma8x8[4];  // DC, horizontal, vertical, plane
};

// Parameters of plane prediction (H.264 8.3.3.4, 8.3.4.4) of a W x H block
// (16x16 luma, 8x8 and 8x16 chroma): pred(x, y) = clip((a + b (x - W/2 + 1) +
// c (y - H/2 + 1) + 16) >> 5); along a 16-sample side the gradient scales as
// (5 G + 32) >> 6, along an 8-sample one as (34 G + 32) >> 6.
struct PlaneParams {
  int a, b, c;
};

template <int W, int H = W, class S>
inline PlaneParams plane_params(const S* p, std::ptrdiff_t s) {
  int gh = 0, gv = 0;
  for (int i = 0; i < W / 2; ++i) gh += (i + 1) * (p[-s + W / 2 + i] - p[-s + W / 2 - 2 - i]);
  for (int i = 0; i < H / 2; ++i) gv += (i + 1) * (p[(H / 2 + i) * s - 1] - p[(H / 2 - 2 - i) * s - 1]);
  const int a = 16 * (p[(H - 1) * s - 1] + p[-s + W - 1]);
  return {a, ((W == 16 ? 5 : 34) * gh + 32) >> 6, ((H == 16 ? 5 : 34) * gv + 32) >> 6};
}

// The neighbours each 4x4 mode reads (H.264 8.3.1.2): vertical, diagonal
// down-left and vertical-left the top, horizontal and horizontal-up the left,
// the other diagonals top, left and top-left; DC adapts.
constexpr int32_t kIntra4x4Reads[9] = {kAvailTop,
                                       kAvailLeft,
                                       0,
                                       kAvailTop,
                                       kAvailTop | kAvailLeft | kAvailTopLeft,
                                       kAvailTop | kAvailLeft | kAvailTopLeft,
                                       kAvailTop | kAvailLeft | kAvailTopLeft,
                                       kAvailTop,
                                       kAvailLeft};

// Whether a 4x4 prediction in `mode` used a substitute for a neighbour.
inline bool intra4x4_substituted(int mode, int32_t avail) {
  return (avail & kIntra4x4Reads[mode]) != kIntra4x4Reads[mode];
}

// The scalar table kIntraKernelsC, the table of each level intra_kernels(isa),
// the chosen one intra_kernels() and the SIMD steps intra_init_<level>: see
// KVN_DECLARE_FAMILY (core/dispatch.h).
KVN_DECLARE_FAMILY(intra, IntraKernels);

}  // namespace kvn
