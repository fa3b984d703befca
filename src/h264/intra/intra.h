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

// Parameters of plane prediction (H.264 8.3.3.4, 8.3.4.4) of an N x N block
// (16 luma, 8 chroma): pred(x, y) = clip((a + b (x - N/2 + 1) + c (y - N/2 + 1)
// + 16) >> 5), b = (5 H + 32) >> 6 for 16x16 and (34 H + 32) >> 6 for chroma.
struct PlaneParams {
  int a, b, c;
};

template <int N>
inline PlaneParams plane_params(const uint8_t* p, std::ptrdiff_t s) {
  constexpr int h = N / 2;
  int H = 0, V = 0;
  for (int i = 0; i < h; ++i) {
    H += (i + 1) * (p[-s + h + i] - p[-s + h - 2 - i]);
    V += (i + 1) * (p[(h + i) * s - 1] - p[(h - 2 - i) * s - 1]);
  }
  const int a = 16 * (p[(N - 1) * s - 1] + p[-s + N - 1]);
  if (N == 16) return {a, (5 * H + 32) >> 6, (5 * V + 32) >> 6};
  return {a, (17 * H + 16) >> 5, (17 * V + 16) >> 5};
}

// The scalar table kIntraKernelsC, the table of each level intra_kernels(isa),
// the chosen one intra_kernels() and the SIMD steps intra_init_<level>: see
// KVN_DECLARE_FAMILY (core/dispatch.h).
KVN_DECLARE_FAMILY(intra, IntraKernels);

}  // namespace kvn
