// Row loops of the SIMD luma interpolation kernels, shared by every
// instruction-set level and both sample types, and the arithmetic their
// engines share across vector widths. Each loop is written once in terms of
// an engine E, a class of one level, width and sample type that holds the
// constants of a call and provides:
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
// 8-bit: the 6-tap filter as three pmaddubsw on byte pairs (1, -5), (20, 20),
// (-5, 1): horizontally the pairs are gathered by pshufb, vertically by
// interleaving two rows. Sums lie in -2550 .. 10710 and are rounded with
// pmulhrsw ((x * 1024 + 2^14) >> 15 = (x + 16) >> 5). The centre filters the
// six rows of unrounded horizontal sums in 16 bits, exactly:
//   A = r0 + r5, B = r1 + r4, C = r2 + r3, S = A - 5B + 20C,
//   floor(S / 16) = floor((floor((A - B) / 4) + (C - B)) / 4) + C,
// and (S + 512) >> 10 = (floor(S / 16) + 32) >> 6. The inner sum
// floor((A - B) / 4) + (C - B) can leave the 16-bit range, and is added with
// saturation: with every row sum in -2550 .. 10710 it passes 32767 only when
// C - B > 26137, so C > 21037 and the result, saturated or not, is above
// 255; it passes -32768 only when C < -4718, and the result is below 0
// either way. Both clamps then give the exact sample, one add cheaper than
// halving without overflow.
//
// 16-bit: pmaddwd on sample pairs biased by -32768 (so every 16-bit sample
// is a signed 16-bit value; the filter's taps sum to 32, the bias to
// -2^20 per sum), all sums in 32 bits. Horizontal sums come as the even and
// the odd columns, which the centre keeps apart until its results are packed.
#pragma once

#ifndef KVN_ISA
#error "KVN_ISA names the instruction set of the including file (sse2 .. avx512); kvn_kernel_sources defines it"
#endif

#include <smmintrin.h>

#include <cstddef>
#include <cstdint>

#include "h264/inter/interp_luma.h"
#include "simd/lanes.h"
#include "simd/loads.h"

namespace kvn {
namespace KVN_ISA {
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

// ---- engine arithmetic, written once over a lane class L (simd/lanes.h)

// The 8-bit filter on byte pairs, its rounding and the centre (16-bit lanes;
// see the head of the file).
template <class L>
struct Taps8 {
  using V = typename L::V;
  const V c01 = L::set1_16(int16_t(0xfb01));  // bytes (1, -5)
  const V c23 = L::set1_16(0x1414);           // (20, 20)
  const V c45 = L::set1_16(0x01fb);           // (-5, 1)

  // Sum of the three pairs.
  V sum(V p01, V p23, V p45) const {
    return L::add16(L::add16(L::maddubs(p01, c01), L::maddubs(p23, c23)), L::maddubs(p45, c45));
  }
  // (x + 16) >> 5.
  static V round_half(V x) { return L::mulhrs16(x, L::set1_16(1024)); }
  // The centre from six rows of horizontal sums, rounded, not yet clamped.
  static V centre(V r0, V r1, V r2, V r3, V r4, V r5) {
    const V a = L::add16(r0, r5), b = L::add16(r1, r4), c = L::add16(r2, r3);
    const V y = L::srai16(L::sub16(a, b), 2);
    const V t = L::adds16(y, L::sub16(c, b));  // saturates only where the sample clamps (above)
    const V x = L::add16(L::srai16(t, 2), c);
    return L::mulhrs16(x, L::set1_16(512));  // (x + 32) >> 6
  }
};

// The 16-bit engine of W samples a row in one register of L (W = 4 on 128
// bits uses its low half). Horizontal sums: the even columns from pairs
// starting at columns -2, 0, 2, the odd ones from -1, 1, 3. Vertical sums:
// the low and high halves of two interleaved rows.
template <class L, int W>
struct Engine16 {
  using V = typename L::V;
  static constexpr bool kHalf = 2 * W < L::kBytes;
  static_assert(2 * W == L::kBytes || (kHalf && 4 * W == L::kBytes), "a row fills a register or its low half");
  using T = uint16_t;
  using Pix = V;
  struct HRaw {
    V even, odd;
  };
  struct VRaw {
    V lo, hi;
  };
  using Row = V;
  using Pair = VRaw;

  const V bias = L::set1_16(int16_t(0x8000));
  const V c01 = L::set1_32(int32_t(0xfffb0001u));  // (1, -5)
  const V c23 = L::set1_32(0x00140014);            // (20, 20)
  const V c45 = L::set1_32(0x0001fffb);            // (-5, 1)
  // Rounding constants with the bias put back: 32 * 32768 per one-dimensional
  // sum, 32 * that per centre sum.
  const V half_round = L::set1_32((1 << 20) + 16);
  const V centre_round = L::set1_32((1 << 25) + 512);
  const V max;

  explicit Engine16(int32_t maxValue) : max(L::set1_16(int16_t(maxValue))) {}

  Pix load(const T* p) const { return KVN_ISA::load<2 * W>(p); }
  void store(T* p, Pix v) const { KVN_ISA::store<2 * W>(p, v); }
  Pix avg(Pix a, Pix b) const { return L::avg_u16(a, b); }
  V biased(const T* p) const { return L::xor_(load(p), bias); }
  V sum(V p01, V p23, V p45) const {
    return L::add32(L::add32(L::madd16(p01, c01), L::madd16(p23, c23)), L::madd16(p45, c45));
  }
  // Clamped samples from 32-bit results in column order.
  Pix pack(V lo, V hi) const { return L::min_u16(L::packus32(lo, hi), max); }

  HRaw h_raw(const T* p) const {
    return {sum(biased(p - 2), biased(p), biased(p + 2)), sum(biased(p - 1), biased(p + 1), biased(p + 3))};
  }
  Pix half(const HRaw& x) const {
    const V e = L::srai32(L::add32(x.even, half_round), 5);
    const V o = L::srai32(L::add32(x.odd, half_round), 5);
    return pack(L::unpacklo32(e, o), L::unpackhi32(e, o));
  }
  Row row(const T* p) const { return biased(p); }
  Pair pair(Row a, Row b) const {
    if constexpr (kHalf) return {L::unpacklo16(a, b), L::zero()};
    return {L::unpacklo16(a, b), L::unpackhi16(a, b)};
  }
  VRaw vtap(const Pair& p01, const Pair& p23, const Pair& p45) const {
    if constexpr (kHalf) return {sum(p01.lo, p23.lo, p45.lo), L::zero()};
    return {sum(p01.lo, p23.lo, p45.lo), sum(p01.hi, p23.hi, p45.hi)};
  }
  Pix half(const VRaw& x) const {
    return pack(L::srai32(L::add32(x.lo, half_round), 5), L::srai32(L::add32(x.hi, half_round), 5));
  }
  // A - 5B + 20C = A + 5 (4C - B); within 32 bits for every 16-bit sample.
  V centre_of(V r0, V r1, V r2, V r3, V r4, V r5) const {
    const V a = L::add32(r0, r5), b = L::add32(r1, r4), c = L::add32(r2, r3);
    const V t = L::sub32(L::slli32(c, 2), b);
    const V s = L::add32(a, L::add32(L::slli32(t, 2), t));
    return L::srai32(L::add32(s, centre_round), 10);
  }
  Pix centre(const HRaw& r0, const HRaw& r1, const HRaw& r2, const HRaw& r3, const HRaw& r4, const HRaw& r5) const {
    const V e = centre_of(r0.even, r1.even, r2.even, r3.even, r4.even, r5.even);
    const V o = centre_of(r0.odd, r1.odd, r2.odd, r3.odd, r4.odd, r5.odd);
    return pack(L::unpacklo32(e, o), L::unpackhi32(e, o));
  }
};

// ---- row loops

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
}  // namespace KVN_ISA
}  // namespace kvn
