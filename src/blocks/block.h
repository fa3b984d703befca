// Block copy, averaging and motion compensation: kernel types and tables.
//
// Contracts shared by every kernel here:
//  - steps are signed byte distances; nothing is assumed about alignment;
//  - half-sample predictions read one column more (horizontal) and/or one row
//    more (vertical) of the reference than the block has, nothing else;
//  - a kernel writes its destination block and nothing else.
// Kernel tables are indexed as the entries compute:
//  - HP / InterpolateAverage / Add8x8HP: 2 * (code & 3) + (rounding & 1)
//  - MC of width >= 8:             (mode & 12) / 2 + (rounding & 1)
//  - MC B of width >= 8:           (modeF & 12) / 2 + 2 * (modeB & 12) + (rounding & 1)
//  - MC of width 2, 4:             (mode & 12) / 4, rounding passed to the kernel
//  - MC B of width 2, 4:           (modeF & 12) / 4 + (modeB & 12), rounding passed
#pragma once

#include <array>
#include <cstdint>

#include "core/dispatch.h"

namespace kvn {

using CopyFn = void (*)(const uint8_t* src, int32_t srcStep, uint8_t* dst, int32_t dstStep);
using Avg2Fn = void (*)(const uint8_t* src1, int32_t step1, const uint8_t* src2, int32_t step2, uint8_t* dst,
                        int32_t dstStep);
using AddFn = void (*)(const int16_t* res, int32_t resStep, uint8_t* srcDst, int32_t step);
using AddHpFn = void (*)(const int16_t* res, int32_t resStep, const uint8_t* ref, int32_t refStep, uint8_t* dst,
                         int32_t dstStep);
using AddCFn = void (*)(int16_t value, uint8_t* srcDst, int32_t step);
// rounding is used only by the widths 2 and 4 (the others have it in their index).
using McFn = void (*)(const uint8_t* ref, int32_t refStep, const int16_t* res, int32_t resStep, uint8_t* dst,
                      int32_t dstStep, int32_t rounding);
using McBFn = void (*)(const uint8_t* refF, int32_t refFStep, const uint8_t* refB, int32_t refBStep, const int16_t* res,
                       int32_t resStep, uint8_t* dst, int32_t dstStep, int32_t rounding);
using McP2Fn = void (*)(const uint8_t* ref, int32_t refStep, const int16_t* resU, const int16_t* resV, int32_t resStep,
                        uint8_t* dst, int32_t dstStep);
using McP2BFn = void (*)(const uint8_t* refF, int32_t refFStep, const uint8_t* refB, int32_t refBStep,
                         const int16_t* resU, const int16_t* resV, int32_t resStep, uint8_t* dst, int32_t dstStep);
using CountZerosFn = uint32_t (*)(const int16_t* coeffs);

// Block sizes of the families, in table order.
enum HpSize { kHp8x4, kHp8x8, kHp16x8, kHp16x16, kHpSizes };
enum McSize {
  kMc16x16,
  kMc16x8,
  kMc8x16,
  kMc8x8,
  kMc8x4,  // rounding in the index
  kMc4x8,
  kMc4x4,
  kMc4x2,
  kMc2x4,
  kMc2x2,  // rounding passed to the kernel
  kMc16x8UV,
  kMc16x4,  // interleaved chroma, 16 bytes wide
  kMcSizes
};
enum P2Size { kP2_8x8, kP2_8x4, kP2Sizes };

inline bool mc_small(int size) { return size >= kMc4x8 && size <= kMc2x2; }

struct BlockKernels {
  CopyFn copy8x8, copy16x16;
  std::array<CopyFn, 8> copy_hp[kHpSizes];
  Avg2Fn avg_ir8x8, avg_ir16x16;  // in-place form: called with src2 == dst
  Avg2Fn avg8x8, avg16x16;
  std::array<CopyFn, 8> interp_avg[kHpSizes];
  AddFn add8x8;
  std::array<AddHpFn, 8> add8x8_hp;
  AddCFn addc8x8;
  std::array<McFn, 8> mc[kMcSizes];      // widths 2 and 4 use the first 4
  std::array<McBFn, 32> mc_b[kMcSizes];  // widths 2 and 4 use the first 16
  std::array<McP2Fn, 8> mc_p2[kP2Sizes];
  std::array<McP2BFn, 32> mc_p2b[kP2Sizes];
  CountZerosFn count_zeros8x8;
};

// The scalar table kBlockKernelsC, the table of each level block_kernels(isa),
// the chosen one block_kernels() and the SIMD steps block_init_<level>: see
// KVN_DECLARE_FAMILY (core/dispatch.h).
KVN_DECLARE_FAMILY(block, BlockKernels);

}  // namespace kvn
