// H.264 chroma sample interpolation (H.264 8.4.2.2.2), the rounded average of
// two prediction blocks and the border expansion of a reference plane.
//
// Chroma kernels: one per width (2, 4, 6, 8 samples; index width / 2 - 1) and
// kind (index (dy != 0) << 1 | (dx != 0)): 0 copy, 1 horizontal, 2 vertical,
// 3 both. They read exactly the needed region: width (+1 column for dx) x
// height (+1 row for dy) samples of each channel, starting at src; they write
// width x height samples of each channel. height is even, 2..16. Steps are
// signed, in bytes for 8-bit kernels and in samples for 16-bit ones.
//  - c1:   one plane in, one plane out;
//  - c2c2: interleaved pairs in (B is the next sample of the same channel, two
//          bytes on), interleaved pairs out; width counts pairs;
//  - c2p2: interleaved pairs in, the two channels out to two planes;
//  - c16:  one plane of 16-bit samples; exact for every 16-bit value (the
//          weighted sums stay below 2^22), so no bit depth is involved.
// The one-direction kinds compute ((8 - f) P + f Q + 4) >> 3, which equals the
// two-dimensional formula with the other fraction 0.
//
// Averaging kernels: one per width 2..16 (index width - 2), height 1 and up;
// dst may be one of the sources (each row is read before it is written).
//
// Border expansion: see expand_plane below; the plane is checked by the entry
// (|step| >= width + 2 border, border >= 1, height even).
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/dispatch.h"

namespace kvn {

using ChromaFn = void (*)(const uint8_t* src, ptrdiff_t srcStep, uint8_t* dst, ptrdiff_t dstStep, int dx, int dy,
                          int height);
using ChromaP2Fn = void (*)(const uint8_t* src, ptrdiff_t srcStep, uint8_t* dstU, uint8_t* dstV, ptrdiff_t dstStep,
                            int dx, int dy, int height);
using Chroma16Fn = void (*)(const uint16_t* src, ptrdiff_t srcStep, uint16_t* dst, ptrdiff_t dstStep, int dx, int dy,
                            int height);
using AverageFn = void (*)(const uint8_t* a, ptrdiff_t aStep, const uint8_t* b, ptrdiff_t bStep, uint8_t* dst,
                           ptrdiff_t dstStep, int height);
using ExpandFn = void (*)(uint8_t* plane, int32_t width, int32_t height, ptrdiff_t step, int32_t border,
                          int32_t fieldMode);

constexpr int kChromaWidths = 4;    // 2, 4, 6, 8
constexpr int kChromaKinds = 4;     // copy, horizontal, vertical, both
constexpr int kAverageWidths = 15;  // 2 .. 16

constexpr int chroma_width_index(int width) { return width / 2 - 1; }
constexpr int chroma_kind(int dx, int dy) { return (dy != 0) << 1 | (dx != 0); }

struct InterpChromaKernels {
  ChromaFn c1[kChromaWidths][kChromaKinds];
  ChromaFn c2c2[kChromaWidths][kChromaKinds];
  ChromaP2Fn c2p2[kChromaWidths][kChromaKinds];
  Chroma16Fn c16[kChromaWidths][kChromaKinds];
  AverageFn average[kAverageWidths];
  ExpandFn expand;
};

// ---- arithmetic shared by every kernel ----

// H.264 (8-270): A at the integer position, B right of it, C below, D below-right.
constexpr int chroma_2d(int a, int b, int c, int d, int dx, int dy) {
  return ((8 - dx) * (8 - dy) * a + dx * (8 - dy) * b + (8 - dx) * dy * c + dx * dy * d + 32) >> 6;
}
// One direction: P at the integer position, Q one sample on.
constexpr int chroma_1d(int p, int q, int f) { return ((8 - f) * p + f * q + 4) >> 3; }

constexpr int average2(int a, int b) { return (a + b + 1) >> 1; }

// Border expansion of a plane at `plane` (its top-left picture sample), in
// frame mode (0) or for the field of even (1) or odd (2) rows: the field's last
// row is copied into the field rows below the picture, then every field row
// from the first to the last of those gets its left border from its first
// sample and its right border from its last, and finally the expanded first
// field row (width + 2 border samples) is copied into the field rows above the
// picture. A field has height / 2 rows two picture rows apart and takes
// (border + 1) / 2 rows on one side and border / 2 on the other (the even field
// more below, the odd field more above), so the two fields together expand
// exactly the rows of the frame.
//
// Ops provides copy(dst, src, n) (rows that never overlap) and
// sides(row, width, border).
template <class Ops>
inline void expand_plane(uint8_t* plane, int32_t width, int32_t height, ptrdiff_t step, int32_t border,
                         int32_t fieldMode) {
  const bool frame = fieldMode == 0;
  const ptrdiff_t fs = frame ? step : 2 * step;
  const ptrdiff_t rows = frame ? height : height / 2;
  const ptrdiff_t wide = (ptrdiff_t(border) + 1) >> 1, narrow = border >> 1;
  const ptrdiff_t below = frame ? border : fieldMode == 1 ? wide : narrow;
  const ptrdiff_t above = frame ? border : fieldMode == 1 ? narrow : wide;
  uint8_t* const first = plane + (fieldMode == 2 ? step : 0);
  const uint8_t* const last = first + (rows - 1) * fs;
  for (ptrdiff_t i = 1; i <= below; ++i) Ops::copy(first + (rows - 1 + i) * fs, last, width);
  for (ptrdiff_t r = 0; r < rows + below; ++r) Ops::sides(first + r * fs, width, border);
  const ptrdiff_t full = ptrdiff_t(width) + 2 * ptrdiff_t(border);
  for (ptrdiff_t i = 1; i <= above; ++i) Ops::copy(first - i * fs - border, first - border, full);
}

// ---- tables ----

// The scalar table kInterpChromaKernelsC, the table of each level
// interp_chroma_kernels(isa), the chosen one interp_chroma_kernels() and the
// SIMD steps interp_chroma_init_<level>: see KVN_DECLARE_FAMILY
// (core/dispatch.h).
KVN_DECLARE_FAMILY(interp_chroma, InterpChromaKernels);

}  // namespace kvn
