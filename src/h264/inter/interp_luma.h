// H.264 luma sample interpolation (H.264 8.4.2.2.1): kernel types, tables and
// the scalar arithmetic every kernel follows.
//
// Kernel contracts (the entries have checked pointers, fractions and sizes):
//  - `src` is the reference sample at the block's integer position, `dst` the
//    block's top-left sample; steps are signed distances in elements of the
//    sample type (bytes for 8-bit, samples for 16-bit) and may be odd;
//  - a kernel reads only the needed region: columns -2 .. width + 2 when the
//    horizontal fraction is nonzero (else 0 .. width - 1), rows -2 .. height + 2
//    when the vertical fraction is nonzero (else 0 .. height - 1);
//  - tables hold one kernel per width (4, 8, 12, 16) and fraction 4 * dy + dx;
//    heights are multiples of 4 up to 16;
//  - 16-bit kernels clamp to 0 .. maxValue and are exact for every 16-bit
//    input (the filter sums are formed in 32 bits), 8-bit ones to 0 .. 255.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>

#include "core/dispatch.h"

namespace kvn {

using std::ptrdiff_t;

using Luma8Fn = void (*)(const uint8_t* src, ptrdiff_t srcStep, uint8_t* dst, ptrdiff_t dstStep, int height);
using Luma16Fn = void (*)(const uint16_t* src, ptrdiff_t srcStep, uint16_t* dst, ptrdiff_t dstStep, int height,
                          int32_t maxValue);

// Widths of the tables, index width / 4 - 1.
constexpr int kLumaWidths[4] = {4, 8, 12, 16};
constexpr int luma_width_index(int width) { return width / 4 - 1; }

struct InterpLumaKernels {
  Luma8Fn luma8[4][16];
  Luma16Fn luma16[4][16];
};

// Fills the 16 fraction slots of a table row with Make::fn<F>().
template <class Make, class Fn, std::size_t... F>
constexpr void fill_fractions(Fn (&row)[16], std::index_sequence<F...>) {
  ((row[F] = Make::template fn<int(F)>()), ...);
}
template <class Make, class Fn>
constexpr void fill_fractions(Fn (&row)[16]) {
  fill_fractions<Make>(row, std::make_index_sequence<16>());
}

namespace h264 {

// The 6-tap filter (1, -5, 20, 20, -5, 1) over six samples, unrounded.
constexpr int32_t tap6(int32_t a, int32_t b, int32_t c, int32_t d, int32_t e, int32_t f) {
  return a + f - 5 * (b + e) + 20 * (c + d);
}

// The filter over p[-2 s] .. p[3 s].
template <class T>
inline int32_t tap6_at(const T* p, ptrdiff_t s) {
  return tap6(p[-2 * s], p[-s], p[0], p[s], p[2 * s], p[3 * s]);
}

constexpr int32_t clip_sample(int32_t v, int32_t maxValue) { return v < 0 ? 0 : v > maxValue ? maxValue : v; }

// Half sample from a one-dimensional sum (b1, h1): (x + 16) >> 5, clamped.
constexpr int32_t round_half(int32_t x1, int32_t maxValue) { return clip_sample((x1 + 16) >> 5, maxValue); }

// Centre sample from the two-dimensional sum j1: (j1 + 512) >> 10, clamped.
constexpr int32_t round_centre(int32_t j1, int32_t maxValue) { return clip_sample((j1 + 512) >> 10, maxValue); }

// Quarter samples: the average of two neighbours, rounding up.
constexpr int32_t avg_up(int32_t a, int32_t b) { return (a + b + 1) >> 1; }

// The prediction sample at fraction (dx, dy) of the integer sample p[0]
// (H.264 8.4.2.2.1, Figure 8-4 and equations 8-250 .. 8-261). G, H, M are
// the integer samples at (0, 0), (1, 0), (0, 1); b, s the horizontal half
// samples of rows 0 and 1; h, m the vertical half samples of columns 0 and 1;
// j the centre, formed from the unrounded horizontal sums of rows -2 .. 3.
template <class T>
inline int32_t luma_sample(const T* p, ptrdiff_t step, int dx, int dy, int32_t maxValue) {
  const auto full = [&](int x, int y) { return int32_t(p[y * step + x]); };
  const auto hor = [&](int y) { return round_half(tap6_at(p + y * step, 1), maxValue); };
  const auto ver = [&](int x) { return round_half(tap6_at(p + x, step), maxValue); };
  const auto centre = [&] {
    int32_t t[6];
    for (int k = 0; k < 6; ++k) t[k] = tap6_at(p + (k - 2) * step, 1);
    return round_centre(tap6(t[0], t[1], t[2], t[3], t[4], t[5]), maxValue);
  };
  switch (4 * dy + dx) {
    case 0: return full(0, 0);                   // G
    case 1: return avg_up(full(0, 0), hor(0));   // a
    case 2: return hor(0);                       // b
    case 3: return avg_up(full(1, 0), hor(0));   // c
    case 4: return avg_up(full(0, 0), ver(0));   // d
    case 5: return avg_up(hor(0), ver(0));       // e
    case 6: return avg_up(hor(0), centre());     // f
    case 7: return avg_up(hor(0), ver(1));       // g
    case 8: return ver(0);                       // h
    case 9: return avg_up(ver(0), centre());     // i
    case 10: return centre();                    // j
    case 11: return avg_up(centre(), ver(1));    // k
    case 12: return avg_up(full(0, 1), ver(0));  // n
    case 13: return avg_up(ver(0), hor(1));      // p
    case 14: return avg_up(centre(), hor(1));    // q
    default: return avg_up(ver(1), hor(1));      // r
  }
}

}  // namespace h264

// The scalar table kInterpLumaKernelsC, the table of each level
// interp_luma_kernels(isa), the chosen one interp_luma_kernels() and the SIMD
// steps interp_luma_init_<level>: see KVN_DECLARE_FAMILY (core/dispatch.h).
KVN_DECLARE_FAMILY(interp_luma, InterpLumaKernels);

}  // namespace kvn
