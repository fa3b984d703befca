// H.264 residual reconstruction in 32-bit arithmetic, for high bit depth
// (16-bit samples) and the 8-bit 4:2:2 chroma of the High profiles: 4x4 and
// 8x8 blocks dequantised with a LevelScale table (H.264 8.5.12.1), inverse
// transformed (8.5.12.2, 8.5.13.2), added to the prediction in place and
// clamped to the sample range. Kernel types and tables.
//
// Contracts shared by the kernels:
//  - every operation wraps in 32 bits (defined for any coefficient); for the
//    values of a conforming stream nothing wraps and the results are the
//    standard's;
//  - the sum of prediction and residual is clamped exactly to 0..max (the
//    prediction samples may hold any value of their type);
//  - dst addresses the top-left sample, `step` counts samples; nothing is
//    assumed about alignment.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/dispatch.h"

namespace kvn {

// Dequantisation of one 4x4 (K = 4, N = 16) or 8x8 (K = 6, N = 64) block:
// d = (c * LS) << (q6 - K) from q6 = K on, else (c * LS + 2^(K - 1 - q6)) >>
// (K - q6). `ls` and `qp` are the values of the formula; `mul`, `add` and
// `shift` fold them into d = (c * mul + add) >> shift, which is the same
// modulo 2^32 since (c * LS) << k = c * (LS << k) there.
template <int N, int K>
struct DequantHbd {
  const int16_t* ls;
  int32_t qp;
  int32_t add, shift;
  alignas(32) int32_t mul[N];

  DequantHbd(const int16_t* table, int32_t q) : ls(table), qp(q) {
    const int q6 = q / 6;
    const int left = q6 >= K ? q6 - K : 0;
    shift = q6 >= K ? 0 : K - q6;
    add = q6 >= K ? 0 : 1 << (K - 1 - q6);
    for (int p = 0; p < N; ++p) mul[p] = int32_t(uint32_t(int32_t(table[p])) << left);
  }
};
using DequantHbd4x4 = DequantHbd<16, 4>;
using DequantHbd8x8 = DequantHbd<64, 6>;

// A row of n (1..4) horizontally adjacent 4x4 blocks, block i at dst + 4 i.
// Block i with coef[i]: its 16 coefficients dequantised (position 0 then
// replaced by dc[i] when dc is given), inverse transformed with (x + 32) >> 6
// and added; without coef[i] but with dc: (dc[i] + 32) >> 6 added to its 16
// samples; with neither the block is not touched. Sums clamped to 0..max
// (0..255 for 8-bit samples).
using Row4x4_16uFn = void (*)(uint16_t* dst, std::ptrdiff_t step, const int32_t* const* coef, const int32_t* dc, int n,
                              const DequantHbd4x4& q, int32_t max);
using Row4x4_8uFn = void (*)(uint8_t* dst, std::ptrdiff_t step, const int16_t* const* coef, const int32_t* dc, int n,
                             const DequantHbd4x4& q);
// One 8x8 block: 64 coefficients dequantised, inverse transformed with
// (x + 32) >> 6, added and clamped to 0..max.
using Block8x8_16uFn = void (*)(uint16_t* dst, std::ptrdiff_t step, const int32_t* coef, const DequantHbd8x8& q,
                                int32_t max);

struct ResidualHbdKernels {
  Row4x4_16uFn row4x4_16u;
  Row4x4_8uFn row4x4_8u;
  Block8x8_16uFn block8x8_16u;
};

// The scalar table kResidualHbdKernelsC, the table of each level
// residual_hbd_kernels(isa), the chosen one residual_hbd_kernels() and the SIMD
// steps residual_hbd_init_<level>: see KVN_DECLARE_FAMILY (core/dispatch.h).
KVN_DECLARE_FAMILY(residual_hbd, ResidualHbdKernels);

}  // namespace kvn
