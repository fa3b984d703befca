// H.264 intra prediction for any bit depth (H.264 8.3): 4x4 and 8x8 luma
// (8x8 with the reference sample filtering of 8.3.2.2.1), 16x16 luma, chroma
// of 4:2:0 (8x8) and 4:2:2 (8x16) on 16-bit samples, and 4:2:2 chroma on
// 8-bit samples. Kernel types and tables.
//
// Kernel contracts (the callers have checked the mode and, where the mode
// needs them, that its neighbours are available):
//  - `block` addresses the top-left sample, `step` counts samples; the
//    memory of a neighbour whose availability bit is clear is never read;
//  - unavailable samples are taken as 2^(bitDepth - 1) (the 128 of 8-bit
//    video); a missing top-right repeats the last top sample (4x4: p[3, -1],
//    8x8: p[7, -1], before filtering); plane results are clamped to
//    0..2^bitDepth - 1;
//  - 8x8: the filtered references follow 8.3.2.2.1 for the samples that are
//    available (the filter's ends depend on which neighbours are), the
//    unavailable ones stand at 2^(bitDepth - 1) after filtering;
//  - chroma DC works per 4x4 block with the rules of 8.3.4.1-8.3.4.3; the
//    left neighbours of the upper half (rows 0..H/2-1) are available with
//    kAvailLeft, those of the lower half with kAvailLeftLower, so that the
//    two halves of a macroblock may differ (field / frame neighbour pairs).
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/dispatch.h"
#include "h264/intra/intra.h"

namespace kvn {

// Left neighbours of the lower half of a chroma block.
constexpr int32_t kAvailLeftLower = 128;

using IntraHbdFn = void (*)(uint16_t* block, std::ptrdiff_t step, int32_t avail, int32_t bitDepth);
using Intra8Fn = void (*)(uint8_t* block, std::ptrdiff_t step, int32_t avail);

struct IntraHbdKernels {
  IntraHbdFn pred4x4[9];     // H.264 Intra4x4PredMode order
  IntraHbdFn pred8x8[9];     // Intra8x8PredMode order
  IntraHbdFn pred16x16[4];   // vertical, horizontal, DC, plane
  IntraHbdFn chroma8x8[4];   // DC, horizontal, vertical, plane
  IntraHbdFn chroma8x16[4];  // the same for 4:2:2
  Intra8Fn chroma8x16_8u[4];
};

// The scalar table kIntraHbdKernelsC, the table of each level
// intra_hbd_kernels(isa), the chosen one intra_hbd_kernels() and the SIMD steps
// intra_hbd_init_<level>: see KVN_DECLARE_FAMILY (core/dispatch.h).
KVN_DECLARE_FAMILY(intra_hbd, IntraHbdKernels);

}  // namespace kvn
