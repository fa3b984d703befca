// Row loops of the SIMD luma interpolation kernels, shared by every
// instruction-set level and both sample types. Each loop is written once in
// terms of an engine E, a class of one level, width and sample type that
// holds the constants of a call and provides:
//
//   using T;                          sample type
//   using Pix;                        one block row of predicted samples
//   Pix load(const T* p);             W samples at p
//   void store(T* p, Pix);
//   Pix avg(Pix, Pix);                (a + b + 1) >> 1
//   using HRaw;                       unrounded horizontal 6-tap sums of a row
//   HRaw h_raw(const T* p);           columns 0 .. W-1 (reads p[-2] .. p[W+2])
//   using Row, Pair, VRaw;            vertical filter: a row as the filter
//   Row row(const T* p);              takes it, two rows paired, the
//   Pair pair(Row a, Row b);          unrounded sums
//   VRaw vtap(Pair p01, Pair p23, Pair p45);   sum over rows 0 .. 5
//   Pix half(HRaw), half(VRaw);       (x + 16) >> 5, clamped
//   Pix centre(HRaw r0, ..., HRaw r5);         6-tap over six rows of
//                                               horizontal sums, (x + 512) >> 10,
//                                               clamped
//
// The centre sample j uses the horizontal sums of rows -2 .. 3 (the same
// value as from the vertical sums, H.264 8.4.2.2.1); the quarter samples are
// averages of the half and integer samples as the standard pairs them.
// Fractions F = 4 * dy + dx.
//
// The loops live in the namespace of the including file's instruction set
// (KVN_INTERP_SIMD_NS), so that none compiled for a higher level is merged
// into a caller of a lower one.
#pragma once

#include <cstddef>
#include <cstdint>

#include "h264/inter/interp_luma.h"

#ifndef KVN_INTERP_SIMD_NS
#error "define KVN_INTERP_SIMD_NS (the namespace of the instruction set) before including interp_luma_simd.h"
#endif

namespace kvn {
namespace KVN_INTERP_SIMD_NS {
namespace interp_luma {

using std::ptrdiff_t;

// pshufb masks gathering, for 8 outputs x, the byte pairs (x - 2 + 2k,
// x - 1 + 2k) of pair k = 0, 1, 2 of the 8-bit horizontal filter, where
// column c sits in byte c + lo of the register for c <= split, else in byte
// c + hi.
struct MaskBytes {
  int8_t b[3][16];
};
constexpr MaskBytes pair_mask_bytes(int lo, int split, int hi) {
  MaskBytes m{};
  for (int k = 0; k < 3; ++k)
    for (int i = 0; i < 16; ++i) {
      const int col = i / 2 - 2 + 2 * k + (i & 1);
      m.b[k][i] = int8_t(col <= split ? col + lo : col + hi);
    }
  return m;
}
// Bytes -2 .. 5 of the row in bytes 0 .. 7 and bytes 3 .. 10 in 8 .. 15.
constexpr MaskBytes kSplitMasks = pair_mask_bytes(2, 5, 5);
// Columns 0 .. 7 from a load at column -2; columns 8 .. 15 from one at 3.
constexpr MaskBytes kLowMasks = pair_mask_bytes(2, 99, 0);
constexpr MaskBytes kHighMasks = pair_mask_bytes(8 - 3, 99, 0);

// (0, 0): the block itself, four rows at a time (heights are multiples of 4).
template <class E>
void copy_rows(const E& e, const typename E::T* s, ptrdiff_t ss, typename E::T* d, ptrdiff_t ds, int height) {
  for (int y = 0; y < height; y += 4, s += 4 * ss, d += 4 * ds) {
    const typename E::Pix r0 = e.load(s), r1 = e.load(s + ss), r2 = e.load(s + 2 * ss), r3 = e.load(s + 3 * ss);
    e.store(d, r0);
    e.store(d + ds, r1);
    e.store(d + 2 * ds, r2);
    e.store(d + 3 * ds, r3);
  }
}

// (1, 0), (2, 0), (3, 0): b, averaged with G or H.
template <class E, int DX>
void hor(const E& e, const typename E::T* s, ptrdiff_t ss, typename E::T* d, ptrdiff_t ds, int height) {
  for (int y = 0; y < height; ++y, s += ss, d += ds) {
    typename E::Pix b = e.half(e.h_raw(s));
    if constexpr (DX == 1) b = e.avg(b, e.load(s));
    if constexpr (DX == 3) b = e.avg(b, e.load(s + 1));
    e.store(d, b);
  }
}

// Vertical half samples of one column offset, row after row: the pairs of
// rows (y-2, y-1) .. (y+1, y+2) and row y+2, carried from row to row in
// locals of the row loop (which the compiler keeps in registers).
template <class E>
struct VerWindow {
  typename E::Row last;
  typename E::Pair p0, p1, p2, p3;
};
template <class E>
inline VerWindow<E> ver_start(const E& e, const typename E::T* s, ptrdiff_t ss) {
  const typename E::Row r0 = e.row(s - 2 * ss), r1 = e.row(s - ss), r2 = e.row(s), r3 = e.row(s + ss),
                        r4 = e.row(s + 2 * ss);
  return {r4, e.pair(r0, r1), e.pair(r1, r2), e.pair(r2, r3), e.pair(r3, r4)};
}
// The half sample of row y, reading row y+3 at `next`; moves the window on.
template <class E>
inline typename E::Pix ver_next(const E& e, const typename E::T* next, typename E::Row& last, typename E::Pair& p0,
                                typename E::Pair& p1, typename E::Pair& p2, typename E::Pair& p3) {
  const typename E::Row r = e.row(next);
  const typename E::Pair p4 = e.pair(last, r);
  const typename E::Pix h = e.half(e.vtap(p0, p2, p4));
  p0 = p1;
  p1 = p2;
  p2 = p3;
  p3 = p4;
  last = r;
  return h;
}

// (0, 1), (0, 2), (0, 3): h, averaged with G or M.
template <class E, int DY>
void ver(const E& e, const typename E::T* s, ptrdiff_t ss, typename E::T* d, ptrdiff_t ds, int height) {
  auto [last, p0, p1, p2, p3] = ver_start(e, s, ss);
  for (int y = 0; y < height; ++y, s += ss, d += ds) {
    typename E::Pix h = ver_next(e, s + 3 * ss, last, p0, p1, p2, p3);
    if constexpr (DY == 1) h = e.avg(h, e.load(s));
    if constexpr (DY == 3) h = e.avg(h, e.load(s + ss));
    e.store(d, h);
  }
}

// (1, 1), (3, 1), (1, 3), (3, 3): e, g, p, r, the average of the horizontal
// half sample of row RY (b or s) and the vertical one of column CX (h or m).
template <class E, int CX, int RY>
void diag(const E& e, const typename E::T* s, ptrdiff_t ss, typename E::T* d, ptrdiff_t ds, int height) {
  auto [last, p0, p1, p2, p3] = ver_start(e, s + CX, ss);
  for (int y = 0; y < height; ++y, s += ss, d += ds)
    e.store(d, e.avg(e.half(e.h_raw(s + RY * ss)), ver_next(e, s + CX + 3 * ss, last, p0, p1, p2, p3)));
}

// (2, 2): j; (2, 1), (2, 3): f, q with b or s; (1, 2), (3, 2): i, k with h or
// m, which go to the destination first (so that the vertical filter does not
// take registers from the window of horizontal sums) and are averaged with j
// there. The window holds the horizontal sums of rows y-2 .. y+3.
template <class E, int F>
void centre(const E& e, const typename E::T* s, ptrdiff_t ss, typename E::T* d, ptrdiff_t ds, int height) {
  using HRaw = typename E::HRaw;
  if constexpr (F == 9 || F == 11) ver<E, 2>(e, s + (F == 11 ? 1 : 0), ss, d, ds, height);
  HRaw w0 = e.h_raw(s - 2 * ss), w1 = e.h_raw(s - ss), w2 = e.h_raw(s), w3 = e.h_raw(s + ss), w4 = e.h_raw(s + 2 * ss);
  s += 3 * ss;
  for (int y = 0; y < height; ++y, s += ss, d += ds) {
    const HRaw w5 = e.h_raw(s);
    typename E::Pix j = e.centre(w0, w1, w2, w3, w4, w5);
    if constexpr (F == 6) j = e.avg(j, e.half(w2));
    if constexpr (F == 14) j = e.avg(j, e.half(w3));
    if constexpr (F == 9 || F == 11) j = e.avg(j, e.load(d));
    e.store(d, j);
    w0 = w1;
    w1 = w2;
    w2 = w3;
    w3 = w4;
    w4 = w5;
  }
}

// The kernel of fraction F.
template <class E, int F>
void kernel(const E& e, const typename E::T* s, ptrdiff_t ss, typename E::T* d, ptrdiff_t ds, int height) {
  constexpr int dx = F & 3, dy = F >> 2;
  if constexpr (F == 0)
    copy_rows(e, s, ss, d, ds, height);
  else if constexpr (dy == 0)
    hor<E, dx>(e, s, ss, d, ds, height);
  else if constexpr (dx == 0)
    ver<E, dy>(e, s, ss, d, ds, height);
  else if constexpr (dx == 2 || dy == 2)
    centre<E, F>(e, s, ss, d, ds, height);
  else
    diag<E, dx == 3 ? 1 : 0, dy == 3 ? 1 : 0>(e, s, ss, d, ds, height);
}

// Table rows of an 8-bit engine (no sample range) and of a 16-bit engine
// (constructed with the largest sample value).
template <class E>
struct Kernels8 {
  template <int F>
  static constexpr ::kvn::Luma8Fn fn() {
    return [](const uint8_t* s, ptrdiff_t ss, uint8_t* d, ptrdiff_t ds, int h) { kernel<E, F>(E(), s, ss, d, ds, h); };
  }
};
template <class E>
struct Kernels16 {
  template <int F>
  static constexpr ::kvn::Luma16Fn fn() {
    return [](const uint16_t* s, ptrdiff_t ss, uint16_t* d, ptrdiff_t ds, int h, int32_t maxValue) {
      kernel<E, F>(E(maxValue), s, ss, d, ds, h);
    };
  }
};
// Two column strips: an engine of the first 8 columns, then one of the rest
// (width 12: 8 + 4; width 16: 8 + 8 where one engine of 16 would run out of
// registers).
template <class E8, class E2>
struct Kernels8Split {
  template <int F>
  static constexpr ::kvn::Luma8Fn fn() {
    return [](const uint8_t* s, ptrdiff_t ss, uint8_t* d, ptrdiff_t ds, int h) {
      kernel<E8, F>(E8(), s, ss, d, ds, h);
      kernel<E2, F>(E2(), s + 8, ss, d + 8, ds, h);
    };
  }
};
template <class E8, class E2>
struct Kernels16Split {
  template <int F>
  static constexpr ::kvn::Luma16Fn fn() {
    return [](const uint16_t* s, ptrdiff_t ss, uint16_t* d, ptrdiff_t ds, int h, int32_t maxValue) {
      kernel<E8, F>(E8(maxValue), s, ss, d, ds, h);
      kernel<E2, F>(E2(maxValue), s + 8, ss, d + 8, ds, h);
    };
  }
};

}  // namespace interp_luma
}  // namespace KVN_INTERP_SIMD_NS
}  // namespace kvn
