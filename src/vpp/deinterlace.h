// Edge-directed deinterlacing: one missing-field row from the present lines
// above (a) and below (b) it.
//
// The row kernel writes width samples of d: d[0] and d[width - 1] are the
// samples of `same` (the present row of the same index); every other sample x
// is the rounded average along the direction of least difference:
//   d1 = |a[x-1] - b[x+1]|, d2 = |a[x+1] - b[x-1]|, d3 = |a[x] - b[x]|;
//   d1 < d2:  d1 < d3 ? avg(a[x-1], b[x+1]) : avg(a[x], b[x]);
//   else:     d2 < d3 ? avg(a[x+1], b[x-1]) : avg(a[x], b[x]);
// avg(p, q) = (p + q + 1) >> 1. Ties go to the vertical, and between the two
// diagonals to (a[x+1], b[x-1]). Note that the chosen diagonal always has
// the difference min(d1, d2). It reads a and b at 0..width-1 only when
// width >= 3 (nothing of them otherwise) and `same` at 0 and width - 1.
#pragma once

#include <cstdint>

#include "core/dispatch.h"

namespace kvn {

using DeinterlaceRowFn = void (*)(const uint8_t* a, const uint8_t* b, const uint8_t* same, uint8_t* d, int width);

struct DeinterlaceKernels {
  DeinterlaceRowFn edge_row;
};

namespace deinterlace {

constexpr int absdiff(int p, int q) { return p > q ? p - q : q - p; }
constexpr uint8_t avg(int p, int q) { return uint8_t((p + q + 1) >> 1); }

// One interpolated sample at column x (1 <= x <= width - 2).
inline uint8_t edge_sample(const uint8_t* a, const uint8_t* b, int x) {
  const int d1 = absdiff(a[x - 1], b[x + 1]), d2 = absdiff(a[x + 1], b[x - 1]), d3 = absdiff(a[x], b[x]);
  if (d1 < d2) return d1 < d3 ? avg(a[x - 1], b[x + 1]) : avg(a[x], b[x]);
  return d2 < d3 ? avg(a[x + 1], b[x - 1]) : avg(a[x], b[x]);
}

}  // namespace deinterlace

// The scalar table kDeinterlaceKernelsC, the table of each level
// deinterlace_kernels(isa), the chosen one deinterlace_kernels() and the SIMD
// steps deinterlace_init_<level>: see KVN_DECLARE_FAMILY (core/dispatch.h).
KVN_DECLARE_FAMILY(deinterlace, DeinterlaceKernels);

}  // namespace kvn
