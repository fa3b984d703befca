// Intra 8x8 luma prediction with reference sample filtering (H.264 8.3.2),
// written once for every sample type: T is the sample type (uint8_t or
// uint16_t), `pitch` counts samples, `mid` is 1 << (bitDepth - 1).
//
// Availability bits are those of recon_layout.h (kNbTop, kNbLeft, kNbTopLeft,
// kNbTopRight); the memory of a neighbour whose bit is clear is never read.
// Neighbour gathering (8.3.2.2): a missing top-right repeats p[7, -1];
// missing top, left or top-left samples (which a conforming mode never uses,
// DC excepted, which adapts) are taken as `mid`. Filtering (8.3.2.2.1) is
// applied to the samples that are available, with the standard's rules for
// the ends of each line.
#pragma once

#include <cstdint>

#include "h264/recon/recon_layout.h"

namespace kvn {
namespace h264 {

// Filtered references p': top[0..15] = p'[x, -1], left[0..7] = p'[-1, y],
// tl = p'[-1, -1].
struct Intra8x8Refs {
  int32_t top[16], left[8], tl;
};

template <class T>
inline Intra8x8Refs intra8x8_refs(const T* b, intptr_t pitch, int32_t avail, int32_t mid) {
  const bool t = avail & kNbTop, l = avail & kNbLeft, tl = avail & kNbTopLeft, tr = avail & kNbTopRight;
  int32_t p[16], q[8], c = mid;  // unfiltered top (with top-right), left, top-left
  for (int i = 0; i < 16; ++i) p[i] = mid;
  for (int i = 0; i < 8; ++i) q[i] = mid;
  if (t) {
    for (int x = 0; x < 8; ++x) p[x] = b[x - pitch];
    for (int x = 8; x < 16; ++x) p[x] = tr ? int32_t(b[x - pitch]) : p[7];
  }
  if (l)
    for (int y = 0; y < 8; ++y) q[y] = b[y * pitch - 1];
  if (tl) c = b[-pitch - 1];

  Intra8x8Refs r;
  for (int i = 0; i < 16; ++i) r.top[i] = p[i];
  for (int i = 0; i < 8; ++i) r.left[i] = q[i];
  r.tl = c;
  if (t) {
    r.top[0] = tl ? (c + 2 * p[0] + p[1] + 2) >> 2 : (3 * p[0] + p[1] + 2) >> 2;
    for (int x = 1; x < 15; ++x) r.top[x] = (p[x - 1] + 2 * p[x] + p[x + 1] + 2) >> 2;
    r.top[15] = (p[14] + 3 * p[15] + 2) >> 2;
  }
  if (tl) {
    if (t && l)
      r.tl = (p[0] + 2 * c + q[0] + 2) >> 2;
    else if (t)
      r.tl = (3 * c + p[0] + 2) >> 2;
    else if (l)
      r.tl = (3 * c + q[0] + 2) >> 2;
  }
  if (l) {
    r.left[0] = tl ? (c + 2 * q[0] + q[1] + 2) >> 2 : (3 * q[0] + q[1] + 2) >> 2;
    for (int y = 1; y < 7; ++y) r.left[y] = (q[y - 1] + 2 * q[y] + q[y + 1] + 2) >> 2;
    r.left[7] = (q[6] + 3 * q[7] + 2) >> 2;
  }
  return r;
}

// One line through the references: e[0..7] = p'[-1, 7..0], e[8] = p'[-1, -1],
// e[9..24] = p'[0..15, -1], so that left(y) = e[7 - y] (y = -1..7) and
// top(x) = e[9 + x] (x = -1..15).
struct Intra8x8Line {
  int32_t e[25];
  explicit Intra8x8Line(const Intra8x8Refs& r) {
    for (int y = 0; y < 8; ++y) e[7 - y] = r.left[y];
    e[8] = r.tl;
    for (int x = 0; x < 16; ++x) e[9 + x] = r.top[x];
  }
  int32_t top(int x) const { return e[9 + x]; }
  int32_t left(int y) const { return e[7 - y]; }
};

inline int32_t f2(int32_t a, int32_t b) { return (a + b + 1) >> 1; }
inline int32_t f3(int32_t a, int32_t b, int32_t c) { return (a + 2 * b + c + 2) >> 2; }

// pred(x, y) of mode 0..8 (H.264 8.3.2.2.2 - 8.3.2.2.10).
inline int32_t intra8x8_sample(const Intra8x8Line& n, int mode, int x, int y, int32_t dc) {
  switch (mode) {
    case 0:  // vertical
      return n.top(x);
    case 1:  // horizontal
      return n.left(y);
    case 2:  // DC
      return dc;
    case 3:  // diagonal down-left
      return x == 7 && y == 7 ? (n.top(14) + 3 * n.top(15) + 2) >> 2
                              : f3(n.top(x + y), n.top(x + y + 1), n.top(x + y + 2));
    case 4: {  // diagonal down-right: the line runs left(7) .. tl .. top(15)
      const int k = 8 + x - y;
      return f3(n.e[k - 1], n.e[k], n.e[k + 1]);
    }
    case 5: {  // vertical-right
      const int z = 2 * x - y, c = x - (y >> 1);
      if (z >= 0 && !(z & 1)) return f2(n.top(c - 1), n.top(c));
      if (z >= 0) return f3(n.top(c - 2), n.top(c - 1), n.top(c));
      if (z == -1) return f3(n.left(0), n.left(-1), n.top(0));
      return f3(n.left(y - 2 * x - 1), n.left(y - 2 * x - 2), n.left(y - 2 * x - 3));
    }
    case 6: {  // horizontal-down
      const int z = 2 * y - x, r = y - (x >> 1);
      if (z >= 0 && !(z & 1)) return f2(n.left(r - 1), n.left(r));
      if (z >= 0) return f3(n.left(r - 2), n.left(r - 1), n.left(r));
      if (z == -1) return f3(n.left(0), n.left(-1), n.top(0));
      return f3(n.top(x - 2 * y - 1), n.top(x - 2 * y - 2), n.top(x - 2 * y - 3));
    }
    case 7: {  // vertical-left
      const int c = x + (y >> 1);
      return (y & 1) ? f3(n.top(c), n.top(c + 1), n.top(c + 2)) : f2(n.top(c), n.top(c + 1));
    }
    default: {  // 8, horizontal-up
      const int z = x + 2 * y, r = y + (x >> 1);
      if (z > 13) return n.left(7);
      if (z == 13) return (n.left(6) + 3 * n.left(7) + 2) >> 2;
      if (z & 1) return f3(n.left(r), n.left(r + 1), n.left(r + 2));
      return f2(n.left(r), n.left(r + 1));
    }
  }
}

// DC of the filtered references (8.3.2.2.4), adapting to availability.
inline int32_t intra8x8_dc(const Intra8x8Refs& r, int32_t avail, int32_t mid) {
  int32_t st = 0, sl = 0;
  for (int i = 0; i < 8; ++i) st += r.top[i], sl += r.left[i];
  const bool t = avail & kNbTop, l = avail & kNbLeft;
  return t && l ? (st + sl + 8) >> 4 : t ? (st + 4) >> 3 : l ? (sl + 4) >> 3 : mid;
}

// Predicts the 8x8 block at b in place with mode 0..8.
template <class T>
inline void intra8x8_predict(T* b, intptr_t pitch, int mode, int32_t avail, int32_t mid) {
  const Intra8x8Refs r = intra8x8_refs(b, pitch, avail, mid);
  const Intra8x8Line n(r);
  const int32_t dc = mode == 2 ? intra8x8_dc(r, avail, mid) : 0;
  T out[64];
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) out[8 * y + x] = T(intra8x8_sample(n, mode, x, y, dc));
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) b[y * pitch + x] = out[8 * y + x];
}

}  // namespace h264
}  // namespace kvn
