// 4:2:2 to 4:2:0 conversion with rotation, from interleaved (Cb, Y0, Cr, Y1)
// or planar 4:2:2, into three planes.
//
// Kernels: one per source form and rotation (0 none, 1 a quarter turn
// counter-clockwise, 2 a quarter turn clockwise, 3 a half turn). They
// convert a w x h luma region, w and h even and at least 2: luma sample
// (r, x) goes to the rotated position of a w x h picture, the chroma sample
// (i, c) of 4:2:0, (C(2i, c) + C(2i + 1, c) + 1) >> 1, to the rotated
// position of the w/2 x h/2 chroma picture:
//   0: (r, x)   1: (w - 1 - x, r)   2: (x, h - 1 - r)   3: (h - 1 - r, w - 1 - x)
// in (row, column) of the destination plane. They read the 2w bytes
// (interleaved) or w luma and w/2 chroma samples (planar) of each of h rows,
// and write exactly the destination planes' samples.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/dispatch.h"

namespace kvn {

// Source planes Y, Cb, Cr (interleaved: p[0] and step[0] only).
struct Cc422Src {
  const uint8_t* p[3];
  ptrdiff_t step[3];
};
// Destination planes Y, Cb, Cr.
struct Cc422Dst {
  uint8_t* p[3];
  ptrdiff_t step[3];
};

using Cc422Fn = void (*)(const Cc422Src& src, int w, int h, const Cc422Dst& dst);

constexpr int kCc422Rotations = 4;

struct Cc422RotateKernels {
  Cc422Fn c2p3[kCc422Rotations];
  Cc422Fn p3[kCc422Rotations];
};

// The per-sample helpers below live in the namespace of the including file's
// instruction set (kvn::scalar for the reference), so that a copy built for a
// SIMD level is never merged into the reference.
#if defined(KVN_ISA)
#define KVN_CC422_NS KVN_ISA
#else
#define KVN_CC422_NS scalar
#endif
namespace KVN_CC422_NS {

// The destination address of (r, x) of a w x h picture, by rotation.
template <int Rot>
inline uint8_t* rotated(uint8_t* p, ptrdiff_t step, int w, int h, int r, int x) {
  if constexpr (Rot == 0) return p + r * step + x;
  if constexpr (Rot == 1) return p + ptrdiff_t(w - 1 - x) * step + r;
  if constexpr (Rot == 2) return p + x * step + (h - 1 - r);
  if constexpr (Rot == 3) return p + ptrdiff_t(h - 1 - r) * step + (w - 1 - x);
}

// Converts the rows r0 .. r1 - 1 and luma columns x0 .. x1 - 1 (all even) of
// a w x h region sample by sample (the reference, and the SIMD kernels' edges).
template <int Rot, bool Planar>
inline void cc422_rect(const Cc422Src& s, int w, int h, const Cc422Dst& d, int r0, int r1, int x0, int x1) {
  for (int r = r0; r < r1; r += 2) {
    const uint8_t* t = s.p[0] + r * s.step[0];
    for (int x = x0; x < x1; x += 2) {
      int y[4], cb[2], cr[2];
      for (int k = 0; k < 2; ++k) {
        if constexpr (Planar) {
          const uint8_t* yr = s.p[0] + (r + k) * s.step[0];
          y[2 * k] = yr[x];
          y[2 * k + 1] = yr[x + 1];
          cb[k] = s.p[1][(r + k) * s.step[1] + x / 2];
          cr[k] = s.p[2][(r + k) * s.step[2] + x / 2];
        } else {
          const uint8_t* g = t + k * s.step[0] + 2 * x;
          cb[k] = g[0];
          y[2 * k] = g[1];
          cr[k] = g[2];
          y[2 * k + 1] = g[3];
        }
      }
      for (int k = 0; k < 4; ++k) *rotated<Rot>(d.p[0], d.step[0], w, h, r + (k >> 1), x + (k & 1)) = uint8_t(y[k]);
      *rotated<Rot>(d.p[1], d.step[1], w / 2, h / 2, r / 2, x / 2) = uint8_t((cb[0] + cb[1] + 1) >> 1);
      *rotated<Rot>(d.p[2], d.step[2], w / 2, h / 2, r / 2, x / 2) = uint8_t((cr[0] + cr[1] + 1) >> 1);
    }
  }
}

}  // namespace KVN_CC422_NS

// The scalar table kCc422RotateKernelsC, the table of each level
// cc422_rotate_kernels(isa), the chosen one cc422_rotate_kernels() and the
// SIMD steps cc422_rotate_init_<level>: see KVN_DECLARE_FAMILY
// (core/dispatch.h).
KVN_DECLARE_FAMILY(cc422_rotate, Cc422RotateKernels);

}  // namespace kvn
