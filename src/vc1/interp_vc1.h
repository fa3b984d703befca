// VC-1 quarter-sample interpolation (SMPTE 421M 8.3.6.5: bicubic and
// bilinear) and range reduction mapping (SMPTE 421M 8.1.1.3 / 7.1.1.15).
//
// Bicubic kernels: one per block size (8x8, 16x8, 16x16; index
// bicubic_size_index) and kind (index (dy != 0) << 1 | (dx != 0)): 0 copy,
// 1 horizontal, 2 vertical, 3 both. dx, dy are 0..3 (the entries mask them),
// nonzero where the kind says so; r is the rounding control bit (0 or 1).
// Taps by fraction f (bicubic_taps): 1/4 (-4, 53, 18, -3), 1/2 (-1, 9, 9, -1),
// 3/4 (-3, 18, 53, -4) on the samples at -1, 0, +1, +2 along the direction.
//  - vertical only:   (sum + 2^(n-1) - 1 + r) >> n, clamped to 0..255;
//  - horizontal only: (sum + 2^(n-1) - r) >> n, clamped;
//    with n = 6 for the quarter filters, 4 for the half filter;
//  - both: the vertical filter at every column the horizontal filter reads,
//    (sum + (1 << (s - 1)) - 1 + r) >> s with s = n(dy) + n(dx) - 7, kept in
//    16 bits (it always fits), then the horizontal filter on those values,
//    (sum + 64 - r) >> 7, clamped.
// Reads: the block, plus one column left and two right when dx != 0, one row
// above and two below when dy != 0; nothing else.
//
// Bilinear kernels: one per block size (one channel: 16x16, 8x8, 8x4, 4x4;
// two interleaved channels: 8x8, 8x4, 4x4, width in samples of one channel)
// and kind, as above. With a, b, c, d at (x, y), (x+1, y), (x, y+1),
// (x+1, y+1) (b and d two bytes on for interleaved chroma):
//   ((4-dx)(4-dy) a + dx (4-dy) b + (4-dx) dy c + dx dy d + 8 - r) >> 4,
// r the lowest bit of the rounding control. Reads one more column (sample
// pair) when dx != 0 and one more row when dy != 0.
//
// Range map: every sample y of a width x height region becomes
// clamp((((y - 128) (R + 9) + 4) >> 3) + 128) to 0..255 (R 0..7, arithmetic
// shift); width, height >= 1. The destination may be the source.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/dispatch.h"

namespace kvn {

using Vc1InterpFn = void (*)(const uint8_t* src, ptrdiff_t srcStep, uint8_t* dst, ptrdiff_t dstStep, int dx, int dy,
                             int r);
using Vc1RangeMapFn = void (*)(const uint8_t* src, ptrdiff_t srcStep, uint8_t* dst, ptrdiff_t dstStep, int width,
                               int height, int range);

constexpr int kVc1BicubicSizes = 3;     // 8x8, 16x8, 16x16
constexpr int kVc1BilinearC1Sizes = 4;  // 16x16, 8x8, 8x4, 4x4
constexpr int kVc1BilinearC2Sizes = 3;  // 8x8, 8x4, 4x4
constexpr int kVc1Kinds = 4;            // copy, horizontal, vertical, both

constexpr int kVc1BicubicW[kVc1BicubicSizes] = {8, 16, 16};
constexpr int kVc1BicubicH[kVc1BicubicSizes] = {8, 8, 16};
constexpr int kVc1BilinearW[kVc1BilinearC1Sizes] = {16, 8, 8, 4};
constexpr int kVc1BilinearH[kVc1BilinearC1Sizes] = {16, 8, 4, 4};

// Index of a size in the tables above, -1 for any other size. The two-channel
// table is the one-channel table without its first entry.
constexpr int bicubic_size_index(int w, int h) {
  return w == 8 && h == 8 ? 0 : w == 16 && h == 8 ? 1 : w == 16 && h == 16 ? 2 : -1;
}
constexpr int bilinear_size_index(int w, int h) {
  return w == 16 && h == 16 ? 0 : w == 8 && h == 8 ? 1 : w == 8 && h == 4 ? 2 : w == 4 && h == 4 ? 3 : -1;
}
constexpr int vc1_kind(int dx, int dy) { return (dy != 0) << 1 | (dx != 0); }

struct InterpVc1Kernels {
  Vc1InterpFn bicubic[kVc1BicubicSizes][kVc1Kinds];
  Vc1InterpFn bilinear_c1[kVc1BilinearC1Sizes][kVc1Kinds];
  Vc1InterpFn bilinear_c2[kVc1BilinearC2Sizes][kVc1Kinds];
  Vc1RangeMapFn range_map;
};

// ---- arithmetic shared by every kernel ----

struct BicubicTaps {
  int t0, t1, t2, t3, shift;
};
// By fraction 1..3 (index 0 unused: the identity).
constexpr BicubicTaps kBicubicTaps[4] = {{0, 64, 0, 0, 6}, {-4, 53, 18, -3, 6}, {-1, 9, 9, -1, 4}, {-3, 18, 53, -4, 6}};

constexpr int bicubic_sum(const BicubicTaps& t, int m1, int p0, int p1, int p2) {
  return t.t0 * m1 + t.t1 * p0 + t.t2 * p1 + t.t3 * p2;
}
// The intermediate shift of the two-dimensional filter: 5, 3 or 1.
constexpr int bicubic_mid_shift(int dx, int dy) { return kBicubicTaps[dy].shift + kBicubicTaps[dx].shift - 7; }

constexpr uint8_t clamp255(int v) { return uint8_t(v < 0 ? 0 : v > 255 ? 255 : v); }

constexpr uint8_t range_map_sample(int y, int range) { return clamp255((((y - 128) * (range + 9) + 4) >> 3) + 128); }

// The scalar table kInterpVc1KernelsC, the table of each level
// interp_vc1_kernels(isa), the chosen one interp_vc1_kernels() and the SIMD
// steps interp_vc1_init_<level>: see KVN_DECLARE_FAMILY (core/dispatch.h).
KVN_DECLARE_FAMILY(interp_vc1, InterpVc1Kernels);

}  // namespace kvn
