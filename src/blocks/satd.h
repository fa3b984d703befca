// Hadamard-domain costs of a block difference d = source - reference: kernel
// types and tables.
//
// SATD: the block is cut into 4x4 blocks; each is transformed by the
// unnormalised 4x4 Hadamard transform on rows and columns (entries +-1), and
// the cost is the sum of the absolute values of all coefficients. SAT8x8D: the
// same with one unnormalised 8x8 Hadamard transform of the whole 8x8 block.
// Nothing is scaled or halved; every cost is exact (8-bit samples: at most
// 16 * 255 per coefficient; 16-bit samples: exact in 32-bit arithmetic for every
// input, at most 64 * 64 * 65535 < 2^31 in total).
//
// Kernels read exactly the block of each input, take signed byte steps (also
// for 16-bit samples, where the steps need not be even) and assume nothing
// about alignment. They store the cost through their last argument and return
// KVN_STS_OK, so that each entry ends in a tail call.
#pragma once

#include <cstdint>

#include "core/dispatch.h"
#include "kvncore.h"

namespace kvn {

using SatdFn = KvnResult (*)(const uint8_t* src, int32_t srcStep, const uint8_t* ref, int32_t refStep, uint32_t* cost);
using Satd16Fn = KvnResult (*)(const uint16_t* src, int32_t srcStep, const uint16_t* ref, int32_t refStep,
                               uint32_t* cost);

// Block sizes (width x height) of the 4x4-based costs, in table order.
enum SatdSize { kSatd4x4, kSatd4x8, kSatd8x4, kSatd8x8, kSatd8x16, kSatd16x8, kSatd16x16, kSatdSizes };

struct SatdKernels {
  SatdFn satd[kSatdSizes];
  SatdFn sat8x8d;
  Satd16Fn sat8x8d_16u;
};

// The scalar table kSatdKernelsC, the table of each level satd_kernels(isa),
// the chosen one satd_kernels() and the SIMD steps satd_init_<level>: see
// KVN_DECLARE_FAMILY (core/dispatch.h).
KVN_DECLARE_FAMILY(satd, SatdKernels);

}  // namespace kvn
