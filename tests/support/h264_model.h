// H.264 decoding steps written from the clauses in exact (64-bit) arithmetic,
// independently of the library, for the tests that model its results: intra
// prediction (8.3) and the 8x8 inverse transform (8.5.13.2).
#pragma once

#include <cstdint>

namespace kvntest {

// The references of an N x N block: p[x, -1] for x = -1 .. 2N - 1 and
// p[-1, y] for y = 0 .. N - 1; t, l: the top and left ones are available.
struct IntraRefs {
  int64_t top[17], left[8];  // top[x + 1] is p[x, -1]
  bool t, l;
  int64_t p(int x, int y) const { return y < 0 ? top[x + 1] : left[y]; }
};

// 8.3.1.2 (4x4): unavailable samples are `half`, a missing top-right repeats
// p[3, -1]. at(x, y) reads the picture relative to the block's first sample;
// only available neighbours are read.
template <class At>
IntraRefs intra_refs4(const At& at, bool t, bool l, bool tl, bool tr, int64_t half) {
  IntraRefs r{{}, {}, t, l};
  r.top[0] = tl ? at(-1, -1) : half;
  for (int x = 0; x < 8; ++x) r.top[x + 1] = x < 4 ? (t ? at(x, -1) : half) : tr ? at(x, -1) : r.top[4];
  for (int y = 0; y < 4; ++y) r.left[y] = l ? at(-1, y) : half;
  return r;
}

// 8.3.2.2.1 (8x8): the references as read (a missing top-right repeating
// p[7, -1]), then filtered.
template <class At>
IntraRefs intra_refs8(const At& at, bool t, bool l, bool tl, bool tr, int64_t half) {
  int64_t p[16], q[8];
  for (int x = 0; x < 16; ++x) p[x] = t ? at(x < 8 || tr ? x : 7, -1) : half;
  for (int y = 0; y < 8; ++y) q[y] = l ? at(-1, y) : half;
  const int64_t c = tl ? at(-1, -1) : half;
  IntraRefs r{{}, {}, t, l};
  for (int x = 0; x < 16; ++x)
    r.top[x + 1] = !t        ? half
                   : x == 0  ? (tl ? (c + 2 * p[0] + p[1] + 2) >> 2 : (3 * p[0] + p[1] + 2) >> 2)
                   : x == 15 ? (p[14] + 3 * p[15] + 2) >> 2
                             : (p[x - 1] + 2 * p[x] + p[x + 1] + 2) >> 2;
  for (int y = 0; y < 8; ++y)
    r.left[y] = !l       ? half
                : y == 0 ? (tl ? (c + 2 * q[0] + q[1] + 2) >> 2 : (3 * q[0] + q[1] + 2) >> 2)
                : y == 7 ? (q[6] + 3 * q[7] + 2) >> 2
                         : (q[y - 1] + 2 * q[y] + q[y + 1] + 2) >> 2;
  r.top[0] = !tl      ? half
             : t && l ? (p[0] + 2 * c + q[0] + 2) >> 2
             : t      ? (3 * c + p[0] + 2) >> 2
             : l      ? (3 * c + q[0] + 2) >> 2
                      : c;
  return r;
}

// Sample (x, y) of an N x N block (N = 4 or 8) predicted in `mode` 0 .. 8
// from its references: 8.3.1.2.1 - 8.3.1.2.9 and 8.3.2.2.2 - 8.3.2.2.10.
inline int64_t intra_nxn(const IntraRefs& r, int n, int mode, int64_t half, int x, int y) {
  auto p = [&](int px, int py) { return r.p(px, py); };
  switch (mode) {
    case 0: return p(x, -1);
    case 1: return p(-1, y);
    case 2: {
      int64_t st = 0, sl = 0;
      for (int i = 0; i < n; ++i) st += p(i, -1), sl += p(-1, i);
      const int k = n == 4 ? 2 : 3;
      if (r.t && r.l) return (st + sl + n) >> (k + 1);
      if (r.t) return (st + n / 2) >> k;
      if (r.l) return (sl + n / 2) >> k;
      return half;
    }
    case 3:
      if (x == n - 1 && y == n - 1) return (p(2 * n - 2, -1) + 3 * p(2 * n - 1, -1) + 2) >> 2;
      return (p(x + y, -1) + 2 * p(x + y + 1, -1) + p(x + y + 2, -1) + 2) >> 2;
    case 4:
      if (x > y) return (p(x - y - 2, -1) + 2 * p(x - y - 1, -1) + p(x - y, -1) + 2) >> 2;
      if (x < y) return (p(-1, y - x - 2) + 2 * p(-1, y - x - 1) + p(-1, y - x) + 2) >> 2;
      return (p(0, -1) + 2 * p(-1, -1) + p(-1, 0) + 2) >> 2;
    case 5: {
      const int z = 2 * x - y;
      if (z >= 0 && z % 2 == 0) return (p(x - (y >> 1) - 1, -1) + p(x - (y >> 1), -1) + 1) >> 1;
      if (z >= 0) return (p(x - (y >> 1) - 2, -1) + 2 * p(x - (y >> 1) - 1, -1) + p(x - (y >> 1), -1) + 2) >> 2;
      if (z == -1) return (p(-1, 0) + 2 * p(-1, -1) + p(0, -1) + 2) >> 2;
      return (p(-1, y - 2 * x - 1) + 2 * p(-1, y - 2 * x - 2) + p(-1, y - 2 * x - 3) + 2) >> 2;
    }
    case 6: {
      const int z = 2 * y - x;
      if (z >= 0 && z % 2 == 0) return (p(-1, y - (x >> 1) - 1) + p(-1, y - (x >> 1)) + 1) >> 1;
      if (z >= 0) return (p(-1, y - (x >> 1) - 2) + 2 * p(-1, y - (x >> 1) - 1) + p(-1, y - (x >> 1)) + 2) >> 2;
      if (z == -1) return (p(-1, 0) + 2 * p(-1, -1) + p(0, -1) + 2) >> 2;
      return (p(x - 2 * y - 1, -1) + 2 * p(x - 2 * y - 2, -1) + p(x - 2 * y - 3, -1) + 2) >> 2;
    }
    case 7:
      if (y % 2 == 0) return (p(x + (y >> 1), -1) + p(x + (y >> 1) + 1, -1) + 1) >> 1;
      return (p(x + (y >> 1), -1) + 2 * p(x + (y >> 1) + 1, -1) + p(x + (y >> 1) + 2, -1) + 2) >> 2;
    default: {
      const int z = x + 2 * y;
      if (z > 2 * n - 3) return p(-1, n - 1);
      if (z == 2 * n - 3) return (p(-1, n - 2) + 3 * p(-1, n - 1) + 2) >> 2;
      if (z % 2 == 0) return (p(-1, y + (x >> 1)) + p(-1, y + (x >> 1) + 1) + 1) >> 1;
      return (p(-1, y + (x >> 1)) + 2 * p(-1, y + (x >> 1) + 1) + p(-1, y + (x >> 1) + 2) + 2) >> 2;
    }
  }
}

// Sample (x, y) of a 16x16 luma (8.3.3) or W x H chroma block (8.3.4: W = 8,
// H = 8 or 16) predicted in `mode` of the 16x16 numbering (0 vertical,
// 1 horizontal, 2 DC, 3 plane); at(x, y) reads the neighbours relative to the
// block's first sample, those available only. leftLow: the left neighbours of
// rows H/2 .. H-1 are available (chroma DC; else as l).
template <class At>
int64_t intra_mb(const At& p, int w, int h, int mode, bool t, bool l, bool leftLow, int64_t half, int64_t max, int x,
                 int y) {
  if (mode == 0) return p(x, -1);
  if (mode == 1) return p(-1, y);
  if (mode == 3) {
    const int xcf = w == 16 ? 4 : 0, ycf = h == 16 ? 4 : 0;
    int64_t gh = 0, gv = 0;
    for (int i = 0; i <= 3 + xcf; ++i) gh += (i + 1) * (p(4 + xcf + i, -1) - p(2 + xcf - i, -1));
    for (int i = 0; i <= 3 + ycf; ++i) gv += (i + 1) * (p(-1, 4 + ycf + i) - p(-1, 2 + ycf - i));
    const int64_t a = 16 * (p(-1, h - 1) + p(w - 1, -1));
    const int64_t b = ((w == 16 ? 5 : 34) * gh + 32) >> 6, c = ((h == 16 ? 5 : 34) * gv + 32) >> 6;
    const int64_t v = (a + b * (x - 3 - xcf) + c * (y - 3 - ycf) + 16) >> 5;
    return v < 0 ? 0 : v > max ? max : v;
  }
  if (w == 16) {  // 8.3.3.3
    int64_t st = 0, sl = 0;
    for (int i = 0; i < 16; ++i) st += t ? p(i, -1) : 0, sl += l ? p(-1, i) : 0;
    return t && l ? (st + sl + 16) >> 5 : t ? (st + 8) >> 4 : l ? (sl + 8) >> 4 : half;
  }
  // 8.3.4.1 - 8.3.4.3 for the 4x4 block at (xo, yo).
  const int xo = x & ~3, yo = y & ~3;
  const bool lb = yo < h / 2 ? l : leftLow;
  int64_t st = 0, sl = 0;
  for (int i = 0; i < 4; ++i) st += t ? p(xo + i, -1) : 0, sl += lb ? p(-1, yo + i) : 0;
  const int64_t both = (st + sl + 4) >> 3, top = (st + 2) >> 2, left = (sl + 2) >> 2;
  if ((xo == 0 && yo == 0) || (xo > 0 && yo > 0)) return t && lb ? both : t ? top : lb ? left : half;
  if (xo > 0) return t ? top : lb ? left : half;
  return lb ? left : t ? top : half;
}

// 8.5.13.2: the 8x8 residual r of the scaled coefficients d (both in raster
// order), each sample (x + 32) >> 6.
inline void idct8(const int64_t* d, int64_t* r) {
  auto pass = [](int64_t* x, int s) {  // one 8-point transform of x[0], x[s], ..., x[7s]
    int64_t e[8], f[8];
    const auto d = [&](int k) { return x[k * s]; };
    e[0] = d(0) + d(4);
    e[1] = -d(3) + d(5) - d(7) - (d(7) >> 1);
    e[2] = d(0) - d(4);
    e[3] = d(1) + d(7) - d(3) - (d(3) >> 1);
    e[4] = (d(2) >> 1) - d(6);
    e[5] = -d(1) + d(7) + d(5) + (d(5) >> 1);
    e[6] = d(2) + (d(6) >> 1);
    e[7] = d(3) + d(5) + d(1) + (d(1) >> 1);
    f[0] = e[0] + e[6], f[1] = e[1] + (e[7] >> 2), f[2] = e[2] + e[4], f[3] = e[3] + (e[5] >> 2);
    f[4] = e[2] - e[4], f[5] = (e[3] >> 2) - e[5], f[6] = e[0] - e[6], f[7] = e[7] - (e[1] >> 2);
    const int64_t o[8] = {f[0] + f[7], f[2] + f[5], f[4] + f[3], f[6] + f[1],
                          f[6] - f[1], f[4] - f[3], f[2] - f[5], f[0] - f[7]};
    for (int k = 0; k < 8; ++k) x[k * s] = o[k];
  };
  for (int p = 0; p < 64; ++p) r[p] = d[p];
  for (int i = 0; i < 8; ++i) pass(r + 8 * i, 1);
  for (int j = 0; j < 8; ++j) pass(r + j, 8);
  for (int p = 0; p < 64; ++p) r[p] = (r[p] + 32) >> 6;
}

}  // namespace kvntest
