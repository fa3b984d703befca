// Uniform quantisers of 8x8 blocks (raster order, in place): H.263
// (ITU-T H.263 6.2, Annex I advanced intra, Annex T modified quantisation)
// and the uniform rules of MPEG-4 (ISO/IEC 14496-2 7.4.4.1, quantisation
// method 1), which the MPEG-4 entries run through the same kernels.
//
// Forward, `quant` over all 64 positions, with the parameters of a
// UniformQuant record:
//   m = min(max(|c| + add - sub, 0), cap), level = sign(c) * min((m * recip) >> 16, limit)
// where the sum is formed exactly (add < 32768, cap and recip <= 65535), and
// the count of non-zero levels is returned. The uses:
//   inter (H.263, MPEG-4 method 1):   sub = floor(QP / 2)
//   intra AC (H.263 without Annex I, MPEG-4 method 1 with 8 bits or less): no add, no sub
//   intra with Annex I:               add = floor(3QP / 4), cap 32767 (the sum saturates)
// with recip = R_QP = floor(65536 / 2QP) + 1 (QP 1: |c| >> 1 for every
// 16-bit c), cap 32768 unless stated, and limit 127 for H.263 below QP 8
// without Annex T, 65535 (no limit) otherwise.
//
// Inverse, `inv` over positions 0..last (0 <= last <= 63; the positions
// after it keep their values, though a kernel may rewrite them as they are
// up to the end of the last one's group of 8 or 16):
//   F = clamp(sign(L) * (mul * |L| + odd), lo, hi), and 0 stays 0
// with the product and sum formed exactly (mul, odd <= 65535), -32768 <= lo
// <= 0 <= hi <= 32767. The uses: mul = 2QP, odd = QP - (1 if QP even) for
// H.263 inter and intra AC and MPEG-4 method 1 (lo, hi = -2048, 2047 for
// H.263 without Annex T, the reconstruction range of the bits per pixel for
// MPEG-4); mul = 2QP, odd = 0 for H.263 Annex I. Where H.263 leaves the
// range open (Annex T, Annex I, large levels at a large QP) the exact value
// is saturated to 16 bits, -32768..32767; so is the INTRADC's 8 L0, which the
// entry forms itself.
#pragma once

#include <cstdint>

#include "core/dispatch.h"

namespace kvn {

struct UniformQuant {
  uint32_t add, sub, cap, recip, limit;
};

using UniformQuantFn = int32_t (*)(int16_t* block, const UniformQuant& q);
using UniformInvFn = void (*)(int16_t* block, int32_t last, int32_t mul, int32_t odd, int32_t lo, int32_t hi);

struct QuantH263Kernels {
  UniformQuantFn quant;
  UniformInvFn inv;
};

namespace quant_h263 {

// R_QP = floor(65536 / 2QP) + 1, QP >= 1.
constexpr uint32_t recip(int32_t qp) { return uint32_t(65536 / (2 * qp) + 1); }

// QP - 1 for an even QP, QP for an odd one.
constexpr int32_t odd_term(int32_t qp) { return qp - ((qp & 1) ^ 1); }

}  // namespace quant_h263

KVN_DECLARE_FAMILY(quant_h263, QuantH263Kernels);

}  // namespace kvn
