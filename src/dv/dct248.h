// DV transform family: the 2-4-8 DCT of IEC 61834 (inverse and forward) and
// the DV100 dequantisation with weighting.
//
// 2-4-8 DCT. A block of 8 frame lines holds two fields (even and odd lines).
// The forward transform takes the sum and the difference of each pair of
// lines (2z, 2z + 1), a 4-point DCT of each over z and an 8-point DCT over x:
//   C(u, h)     = c4(u) c8(h) / sqrt2 * sum_z sum_x (P(2z, x) + P(2z + 1, x)) cos(u (2z + 1) pi / 8) cos(h (2x + 1) pi
//   / 16) C(u + 4, h) = the same over P(2z, x) - P(2z + 1, x),
// u = 0..3, h = 0..7, c8(0) = 1 / (2 sqrt2), c8(h) = 1/2, c4(0) = 1/2,
// c4(u) = 1 / sqrt2. The transform is orthonormal, so a flat block of value p
// has C(0, 0) = 8p, as in the library's 8x8 inverse DCT; the inverse is its
// transpose. Coefficient 8r + h: row r (0..3 sum field, 4..7 difference
// field), horizontal frequency h.
//
// Both directions are two integer matrix passes, each output
//   sat16((sum of 8 products of 16-bit values and 16-bit constants + round) >> shift),
// the products and sums taken in 32 bits and wrapping (exact for every input
// a DV decoder or encoder produces; the wrapped value is the defined result
// for any other), so every kernel gives the same bits. Constants are the
// matrix entries x 32768 rounded:
//   kRow[x][h] = c8(h) cos(h (2x + 1) pi / 16)
//   kCol[y][r] = c4(u) cos(u (2z + 1) pi / 8) / sqrt2 with z = y / 2,
//                u = r mod 4, negated when r >= 4 and y is odd.
// Inverse: pass 1 over each row r, t[r][x] = sum_h C[r][h] kRow[x][h],
// round 1 << 10, shift 11 (4 fraction bits); pass 2 over each column,
// P[y][x] = sum_r t[r][x] kCol[y][r], round 1 << 18, shift 19.
// Forward: pass 1 over each column, t[r][x] = sum_y P[y][x] kCol[y][r],
// round 1 << 10, shift 11; pass 2 over each row, C[r][h] = sum_x t[r][x]
// kRow[x][h], round 1 << 18, shift 19.
//
// DV100 weighting (one block, raster order): v' = sat16(((v >> 3) * D[i] *
// W[i] + 32768) >> 16), with (v >> 3) * D[i] formed exactly in 32 bits and
// the product with W[i] in 64 bits.
//
// Kernels read and write the dense 64-value block in place; nothing is assumed
// about alignment.
#pragma once

#include <cstdint>

#include "core/dispatch.h"
#include "kvncore.h"

namespace kvn {

namespace dct248 {

inline constexpr int16_t kRow[8][8] = {
    {11585, 16069, 15137, 13623, 11585, 9102, 6270, 3196},
    {11585, 13623, 6270, -3196, -11585, -16069, -15137, -9102},
    {11585, 9102, -6270, -16069, -11585, 3196, 15137, 13623},
    {11585, 3196, -15137, -9102, 11585, 13623, -6270, -16069},
    {11585, -3196, -15137, 9102, 11585, -13623, -6270, 16069},
    {11585, -9102, -6270, 16069, -11585, -3196, 15137, -13623},
    {11585, -13623, 6270, 3196, -11585, 16069, -15137, 9102},
    {11585, -16069, 15137, -13623, 11585, -9102, 6270, -3196},
};
inline constexpr int16_t kCol[8][8] = {
    {11585, 15137, 11585, 6270, 11585, 15137, 11585, 6270},
    {11585, 15137, 11585, 6270, -11585, -15137, -11585, -6270},
    {11585, 6270, -11585, -15137, 11585, 6270, -11585, -15137},
    {11585, 6270, -11585, -15137, -11585, -6270, 11585, 15137},
    {11585, -6270, -11585, 15137, 11585, -6270, -11585, 15137},
    {11585, -6270, -11585, 15137, -11585, 6270, 11585, -15137},
    {11585, -15137, 11585, -6270, 11585, -15137, 11585, -6270},
    {11585, -15137, 11585, -6270, -11585, 15137, -11585, 6270},
};
inline constexpr int kShift1 = 11, kShift2 = 19;

}  // namespace dct248

using Dct248Fn = void (*)(int16_t* block);
using Dv100WeightFn = void (*)(int16_t* block, const uint16_t* deq, const int16_t* weight);

struct Dct248Kernels {
  Dct248Fn inv;
  Dct248Fn fwd;
  Dv100WeightFn dv100_weight;
};

// The scalar table kDct248KernelsC, the table of each level
// dct248_kernels(isa), the chosen one dct248_kernels() and the SIMD steps
// dct248_init_<level>: see KVN_DECLARE_FAMILY (core/dispatch.h).
KVN_DECLARE_FAMILY(dct248, Dct248Kernels);

}  // namespace kvn
