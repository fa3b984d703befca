// The scalar intra predictors of H.264 (8.3.1.2, 8.3.2.2, 8.3.3, 8.3.4),
// written once over the sample type S (uint8_t or uint16_t) and the bit
// depth: the reference kernels of the 8-bit family (intra_c.cpp, bit depth
// 8), of the high-bit-depth family (intra_hbd_c.cpp) and the 8x8 predictor of
// the 8-bit reconstruction (recon_intra8x8.h).
//
// Conventions (the kernel contracts of intra.h and intra_hbd.h):
//  - `b` addresses the top-left sample, `s` counts samples between rows; the
//    memory of a neighbour whose availability bit is clear is never read;
//  - unavailable samples stand at `half` = 2^(bitDepth - 1) (128 for 8-bit
//    video), plane results are clamped to 0..2^bitDepth - 1;
//  - every reference sample is read before the first sample of the block is
//    written (horizontal prediction: see hor()).
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "h264/intra/intra.h"

namespace kvn {
namespace intra {

inline int32_t f2(int32_t a, int32_t b) { return (a + b + 1) >> 1; }
inline int32_t f3(int32_t a, int32_t b, int32_t c) { return (a + 2 * b + c + 2) >> 2; }

// Stores an N x N block formed in `out`, a row at a time.
template <int N, class S>
inline void store(S* b, std::ptrdiff_t s, const S* out) {
  for (int y = 0; y < N; ++y) std::memcpy(b + y * s, out + N * y, N * sizeof(S));
}

// ---- N x N luma blocks: 4x4 and 8x8 -------------------------------------------

// The reference samples of an N x N block in one line: e[0..N-1] =
// p[-1, N-1..0], e[N] = p[-1, -1], e[N+1..3N] = p[0..2N-1, -1]; so top(x) =
// p[x, -1] for x = -1..2N-1 and left(y) = p[-1, y] for y = -1..N-1.
template <int N>
struct Edge {
  int32_t e[3 * N + 1];
  int32_t top(int x) const { return e[N + 1 + x]; }
  int32_t left(int y) const { return e[N - 1 - y]; }
  int32_t& t(int x) { return e[N + 1 + x]; }
  int32_t& l(int y) { return e[N - 1 - y]; }
};

// 4x4 (8.3.1.2): unavailable samples are `half`; a missing top-right repeats
// p[3, -1] (`half` too when the top is missing).
template <class S>
inline Edge<4> edge4x4(const S* b, std::ptrdiff_t s, int32_t avail, int32_t half) {
  Edge<4> e;
  for (int32_t& v : e.e) v = half;
  if (avail & kAvailTop)
    for (int x = 0; x < 4; ++x) e.t(x) = b[x - s];
  for (int x = 4; x < 8; ++x) e.t(x) = (avail & kAvailTopRight) ? int32_t(b[x - s]) : e.top(3);
  if (avail & kAvailLeft)
    for (int y = 0; y < 4; ++y) e.l(y) = b[y * s - 1];
  if (avail & kAvailTopLeft) e.t(-1) = b[-s - 1];
  return e;
}

// 8x8 (8.3.2.2): the references gathered (a missing top-right repeats
// p[7, -1]; other missing samples are `half`, which a conforming mode never
// reads, DC excepted, which adapts), then filtered (8.3.2.2.1) where they are
// available, with the rules for the ends of each line.
template <class S>
[[gnu::always_inline]] inline Edge<8> edge8x8(const S* b, std::ptrdiff_t s, int32_t avail, int32_t half) {
  const bool t = avail & kAvailTop, l = avail & kAvailLeft, tl = avail & kAvailTopLeft;
  const bool tr = avail & kAvailTopRight;
  int32_t p[16], q[8], c = half;  // unfiltered top (with top-right), left, top-left
  for (int32_t& v : p) v = half;
  for (int32_t& v : q) v = half;
  if (t) {
    for (int x = 0; x < 8; ++x) p[x] = b[x - s];
    for (int x = 8; x < 16; ++x) p[x] = tr ? int32_t(b[x - s]) : p[7];
  }
  if (l)
    for (int y = 0; y < 8; ++y) q[y] = b[y * s - 1];
  if (tl) c = b[-s - 1];

  Edge<8> e;
  for (int x = 0; x < 16; ++x) e.t(x) = p[x];
  for (int y = 0; y < 8; ++y) e.l(y) = q[y];
  e.t(-1) = c;
  if (t) {
    e.t(0) = tl ? f3(c, p[0], p[1]) : (3 * p[0] + p[1] + 2) >> 2;
    for (int x = 1; x < 15; ++x) e.t(x) = f3(p[x - 1], p[x], p[x + 1]);
    e.t(15) = (p[14] + 3 * p[15] + 2) >> 2;
  }
  if (tl) {
    if (t && l)
      e.t(-1) = f3(p[0], c, q[0]);
    else if (t)
      e.t(-1) = (3 * c + p[0] + 2) >> 2;
    else if (l)
      e.t(-1) = (3 * c + q[0] + 2) >> 2;
  }
  if (l) {
    e.l(0) = tl ? f3(c, q[0], q[1]) : (3 * q[0] + q[1] + 2) >> 2;
    for (int y = 1; y < 7; ++y) e.l(y) = f3(q[y - 1], q[y], q[y + 1]);
    e.l(7) = (q[6] + 3 * q[7] + 2) >> 2;
  }
  return e;
}

// DC (8.3.1.2.3, 8.3.2.2.4): the mean of the top and left references that
// are available, else `half`.
template <int N>
inline int32_t dc_nxn(const Edge<N>& e, int32_t avail, int32_t half) {
  constexpr int lg = N == 4 ? 2 : 3;
  int32_t st = 0, sl = 0;
  for (int i = 0; i < N; ++i) st += e.top(i), sl += e.left(i);
  const bool t = avail & kAvailTop, l = avail & kAvailLeft;
  return t && l ? (st + sl + N) >> (lg + 1) : t ? (st + N / 2) >> lg : l ? (sl + N / 2) >> lg : half;
}

// pred(x, y) of the directional modes (8.3.1.2.1 - 8.3.1.2.9, 8.3.2.2.2 -
// 8.3.2.2.10; not DC) over the references of an N x N block.
template <int N, int Mode>
inline int32_t directional(const Edge<N>& e, int x, int y) {
  switch (Mode) {
    case 0:  // vertical
      return e.top(x);
    case 1:  // horizontal
      return e.left(y);
    case 3:  // diagonal down-left
      return x == N - 1 && y == N - 1 ? (e.top(2 * N - 2) + 3 * e.top(2 * N - 1) + 2) >> 2
                                      : f3(e.top(x + y), e.top(x + y + 1), e.top(x + y + 2));
    case 4: {  // diagonal down-right: the line runs left(N-1) .. top(-1) .. top(2N-1)
      const int k = N + x - y;
      return f3(e.e[k - 1], e.e[k], e.e[k + 1]);
    }
    case 5: {  // vertical-right
      const int z = 2 * x - y, c = x - (y >> 1);
      if (z >= 0 && !(z & 1)) return f2(e.top(c - 1), e.top(c));
      if (z >= 0) return f3(e.top(c - 2), e.top(c - 1), e.top(c));
      if (z == -1) return f3(e.left(0), e.left(-1), e.top(0));
      return f3(e.left(y - 2 * x - 1), e.left(y - 2 * x - 2), e.left(y - 2 * x - 3));
    }
    case 6: {  // horizontal-down
      const int z = 2 * y - x, r = y - (x >> 1);
      if (z >= 0 && !(z & 1)) return f2(e.left(r - 1), e.left(r));
      if (z >= 0) return f3(e.left(r - 2), e.left(r - 1), e.left(r));
      if (z == -1) return f3(e.left(0), e.left(-1), e.top(0));
      return f3(e.top(x - 2 * y - 1), e.top(x - 2 * y - 2), e.top(x - 2 * y - 3));
    }
    case 7: {  // vertical-left
      const int c = x + (y >> 1);
      return (y & 1) ? f3(e.top(c), e.top(c + 1), e.top(c + 2)) : f2(e.top(c), e.top(c + 1));
    }
    default: {  // 8, horizontal-up
      const int z = x + 2 * y, r = y + (x >> 1);
      if (z > 2 * N - 3) return e.left(N - 1);
      if (z == 2 * N - 3) return (e.left(N - 2) + 3 * e.left(N - 1) + 2) >> 2;
      return (z & 1) ? f3(e.left(r), e.left(r + 1), e.left(r + 2)) : f2(e.left(r), e.left(r + 1));
    }
  }
}

// The N x N block of mode 0..8 from its references.
template <int N, int Mode, class S>
inline void predict_nxn(S* b, std::ptrdiff_t s, const Edge<N>& e, int32_t avail, int32_t half) {
  S out[N * N];
  if (Mode == 2) {
    const S dc = S(dc_nxn(e, avail, half));
    for (S& v : out) v = dc;
  } else {
    for (int y = 0; y < N; ++y)
      for (int x = 0; x < N; ++x) out[N * y + x] = S(directional<N, Mode>(e, x, y));
  }
  store<N>(b, s, out);
}

// 4x4 luma, mode 0..8 (Intra4x4PredMode).
template <int Mode, class S>
inline void pred4x4(S* b, std::ptrdiff_t s, int32_t avail, int32_t bitDepth) {
  const int32_t half = 1 << (bitDepth - 1);
  predict_nxn<4, Mode>(b, s, edge4x4(b, s, avail, half), avail, half);
}

// 8x8 luma with filtered references, mode 0..8 (Intra8x8PredMode); `half` =
// 2^(bitDepth - 1).
template <int Mode, class S>
inline void predict8x8(S* b, std::ptrdiff_t s, int32_t avail, int32_t half) {
  predict_nxn<8, Mode>(b, s, edge8x8(b, s, avail, half), avail, half);
}
template <int Mode, class S>
inline void pred8x8(S* b, std::ptrdiff_t s, int32_t avail, int32_t bitDepth) {
  predict8x8<Mode>(b, s, avail, 1 << (bitDepth - 1));
}

// ---- W x H blocks: 16x16 luma, 8x8 and 8x16 chroma ------------------------------

template <int W, int H, class S>
inline void fill_rows(S* b, std::ptrdiff_t s, const S* row) {
  for (int y = 0; y < H; ++y) std::memcpy(b + y * s, row, W * sizeof(S));
}

// Vertical (8.3.3.1, 8.3.4.3).
template <int W, int H, class S>
inline void ver(S* b, std::ptrdiff_t s) {
  S row[W];
  std::memcpy(row, b - s, W * sizeof(S));
  fill_rows<W, H>(b, s, row);
}

// Horizontal (8.3.3.2, 8.3.4.2).
// The left column is read before the first store: with a step equal to the
// width, the left neighbour of a row is the last sample of the row above.
template <int W, int H, class S>
inline void hor(S* b, std::ptrdiff_t s) {
  S left[H];
  for (int y = 0; y < H; ++y) left[y] = b[y * s - 1];
  for (int y = 0; y < H; ++y) std::fill_n(b + y * s, W, left[y]);
}

// Sum of n top samples from column x0, or of n left samples from row y0.
template <class S>
inline int32_t sum_top(const S* b, std::ptrdiff_t s, int x0, int n) {
  int32_t t = 0;
  for (int i = 0; i < n; ++i) t += b[x0 + i - s];
  return t;
}
template <class S>
inline int32_t sum_left(const S* b, std::ptrdiff_t s, int y0, int n) {
  int32_t t = 0;
  for (int i = 0; i < n; ++i) t += b[(y0 + i) * s - 1];
  return t;
}

// 16x16 DC (8.3.3.3).
template <class S>
inline void dc16x16(S* b, std::ptrdiff_t s, int32_t avail, int32_t half) {
  const bool t = avail & kAvailTop, l = avail & kAvailLeft;
  const int32_t dc = t && l ? (sum_top(b, s, 0, 16) + sum_left(b, s, 0, 16) + 16) >> 5
                     : t    ? (sum_top(b, s, 0, 16) + 8) >> 4
                     : l    ? (sum_left(b, s, 0, 16) + 8) >> 4
                            : half;
  S row[16];
  for (S& v : row) v = S(dc);
  fill_rows<16, 16>(b, s, row);
}

// Chroma DC per 4x4 block of an 8 x H block (8.3.4.1 - 8.3.4.3): the blocks
// on the diagonal of each 2x2 group use both sides; the others of the top row
// prefer their top, those of the left column their left. The left neighbours
// of rows 0..H/2-1 are available with kAvailLeft, those of the lower half
// with `lowerLeft` (kAvailLeftLower of intra_hbd.h, or kAvailLeft for one
// left edge).
template <int H, class S>
inline void chroma_dc(S* b, std::ptrdiff_t s, int32_t avail, int32_t half, int32_t lowerLeft) {
  const bool t = avail & kAvailTop;
  S rows[H / 4][8];
  for (int by = 0; by < H / 4; ++by) {
    const bool l = avail & (4 * by < H / 2 ? kAvailLeft : lowerLeft);
    for (int bx = 0; bx < 2; ++bx) {
      const int32_t st = t ? sum_top(b, s, 4 * bx, 4) : 0, sl = l ? sum_left(b, s, 4 * by, 4) : 0;
      const int32_t both = (st + sl + 4) >> 3, top = (st + 2) >> 2, left = (sl + 2) >> 2;
      int32_t v;
      if ((bx == 0) == (by == 0))
        v = t && l ? both : t ? top : l ? left : half;
      else if (by == 0)
        v = t ? top : l ? left : half;
      else
        v = l ? left : t ? top : half;
      for (int x = 0; x < 4; ++x) rows[by][4 * bx + x] = S(v);
    }
  }
  for (int y = 0; y < H; ++y) std::memcpy(b + y * s, rows[y >> 2], sizeof rows[0]);
}

// Plane (8.3.3.4, 8.3.4.4) of a W x H block, results clamped to 0..max.
template <int W, int H, class S>
inline void plane(S* b, std::ptrdiff_t s, int32_t max) {
  const PlaneParams q = plane_params<W, H>(b, s);
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) {
      const int32_t v = (q.a + q.b * (x - (W / 2 - 1)) + q.c * (y - (H / 2 - 1)) + 16) >> 5;
      b[y * s + x] = S(v < 0 ? 0 : v > max ? max : v);
    }
}

// 16x16 luma, mode 0..3: vertical, horizontal, DC, plane.
template <int Mode, class S>
inline void pred16x16(S* b, std::ptrdiff_t s, int32_t avail, int32_t bitDepth) {
  if (Mode == 0) ver<16, 16>(b, s);
  if (Mode == 1) hor<16, 16>(b, s);
  if (Mode == 2) dc16x16(b, s, avail, 1 << (bitDepth - 1));
  if (Mode == 3) plane<16, 16>(b, s, (1 << bitDepth) - 1);
}

// 8 x H chroma, mode 0..3: DC, horizontal, vertical, plane.
template <int H, int Mode, class S>
inline void pred_chroma(S* b, std::ptrdiff_t s, int32_t avail, int32_t bitDepth, int32_t lowerLeft) {
  if (Mode == 0) chroma_dc<H>(b, s, avail, 1 << (bitDepth - 1), lowerLeft);
  if (Mode == 1) hor<8, H>(b, s);
  if (Mode == 2) ver<8, H>(b, s);
  if (Mode == 3) plane<8, H>(b, s, (1 << bitDepth) - 1);
}

}  // namespace intra
}  // namespace kvn
