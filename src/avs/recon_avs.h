// AVS video inter reconstruction of one 8x8 block (GB/T 20090.2 9.8, 9.9):
// dequantisation, the 8x8 inverse integer transform, addition to the
// prediction in place and clamping.
//
//   c' = int16((c * scale + 2^(shift - 1)) >> shift)   (kAvsDequantScale/Shift by QP)
//   rows:    h[v][x] = sat16((sum over u of c'[v][u] B(u, x) + 4) >> 3)
//   columns: r[y][x] = sat16((sum over v of h[v][x] B(v, y) + 64) >> 7)
//   dst[y][x] = clamp(dst[y][x] + r[y][x], 0, 255)
// with B the basis of tables/avs_tables.h. Products and sums fit 32 bits for
// every 16-bit input.
//
// Paths, chosen from the caller's coefficient count (the entries): the DC
// path reads coefficient 0 only, the corner path the top-left 4x4 (where the
// first ten zigzag positions lie), the full path all 64; each is the full
// transform with the coefficients it does not read taken as 0. Kernels read
// the 8 prediction rows at `step` bytes (any value, rows handled in
// increasing order, each read then written whole); nothing is assumed about
// alignment.
#pragma once

#include <array>
#include <cstdint>

#include "core/dispatch.h"

namespace kvn {

enum AvsReconPath { kAvsFull, kAvsCorner, kAvsDc, kAvsPaths };

// Count 1: DC; 2..10: corner; anything else (0 included): full.
constexpr int avs_recon_path(uint32_t count) {
  return count == 1 ? kAvsDc : count >= 2 && count <= 10 ? kAvsCorner : kAvsFull;
}

// scale, shift: kAvsDequantScale[QP], kAvsDequantShift[QP].
using AvsBlockReconFn = void (*)(const int16_t* coef, uint8_t* dst, int32_t step, int32_t scale, int32_t shift);

struct ReconAvsKernels {
  std::array<AvsBlockReconFn, kAvsPaths> block;
};

// The scalar table kReconAvsKernelsC, the table of each level
// recon_avs_kernels(isa), the chosen one recon_avs_kernels() and the SIMD
// steps recon_avs_init_<level>: see KVN_DECLARE_FAMILY (core/dispatch.h).
KVN_DECLARE_FAMILY(recon_avs, ReconAvsKernels);

}  // namespace kvn
