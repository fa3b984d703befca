// Sums of absolute differences: kernel types and tables.
//
// Contracts shared by every kernel here:
//  - steps are signed byte distances, also for 16-bit samples; nothing is
//    assumed about the alignment of pointers or steps;
//  - a half-sample kernel reads one more row (vertical), one more sample per
//    row (horizontal), or both (centre) of the reference, nothing else;
//  - a kernel writes its outputs and nothing else.
//
// Reference interpolation mode: the entries use (mode >> 2) & 3 as the slot
// of the four kernels of a size, so that every mode value selects one of them
// (values outside 0..15 are the caller's error, but stay memory-safe):
//   slot 0 full sample, 1 vertical half, 2 horizontal half, 3 centre
// (kModeCode of block_pred.h maps a slot to its half-sample code).
//
// 16-bit samples (16u): the averages are formed in unsigned 16-bit arithmetic
// whose sums saturate at 65535, in this order:
//   vertical, horizontal: (sat(a + b) +sat 1) >> 1
//   centre:               (sat(sat(a + b) + sat(c + d)) +sat 2) >> 2,
//                         a, b the samples of row y, c, d those of row y + 1;
// each |s - p| (exact, 0..65535) is added to the 32-bit total as a signed
// 16-bit value, so a difference above 32767 counts negative. Both are exact
// for samples up to 16383 (14 bits); SIMD kernels follow them on all inputs.
#pragma once

#include <array>
#include <cstdint>
#include <type_traits>
#include <utility>

#include "block_pred.h"
#include "core/dispatch.h"

namespace kvn {

// One SAD of a block of 8-bit samples.
using SadFn = uint32_t (*)(const uint8_t* src, int32_t srcStep, const uint8_t* ref, int32_t refStep);
// One SAD of a block of 16-bit samples (the 32-bit total, possibly "negative").
using Sad16uFn = uint32_t (*)(const uint16_t* src, int32_t srcStep, const uint16_t* ref, int32_t refStep);
// Two SADs of an 8x8 block of interleaved pairs: even bytes to sad[0], odd to sad[1].
using SadC2Fn = void (*)(const uint8_t* src, int32_t srcStep, const uint8_t* ref, int32_t refStep, uint32_t sad[2]);
// SADs of candidates ref + i, i = 0 .. n - 1, n a positive multiple of 8; the
// reference rows are read for n + width - 1 bytes.
using SadXnFn = void (*)(const uint8_t* src, int32_t srcStep, const uint8_t* ref, int32_t refStep, uint16_t* sads,
                         int32_t n);
// Sub-block SADs of a 16x16 block, raster order of the sub-blocks.
using SadBlocksFn = void (*)(const uint8_t* src, int32_t srcStep, const uint8_t* ref, int32_t refStep, uint16_t* sads);
// The same for 16-bit samples; rows are (step >> 1) samples apart.
using SadBlocks16uFn = void (*)(const uint16_t* src, int32_t srcStep, const uint16_t* ref, int32_t refStep,
                                uint32_t* sads);
// Frame and field activity of a 16x16 block: out[0] frame, out[1] field.
using FrameFieldFn = void (*)(const uint8_t* src, int32_t step, uint32_t out[2]);
// The 16-bit form, modulo 65536.
using FrameField16sFn = void (*)(const int16_t* src, int32_t step, uint32_t out[2]);
// diff = src1 - src2 (8x8, diffStep in bytes); returns the SAD.
using SubSadFn = uint32_t (*)(const uint8_t* src1, int32_t step1, const uint8_t* src2, int32_t step2, int16_t* diff,
                              int32_t diffStep);

// Sizes, in table order.
enum SadModeSize { kSad16x16, kSad16x8, kSad8x8, kSadModeSizes };         // 8u, with a mode
enum SadFullSize { kSad4x4, kSad8x4, kSad4x8, kSad8x16, kSadFullSizes };  // 8u, full sample only
enum Sad16uSize { kSad16u16x16, kSad16u8x8, kSad16u4x4, kSad16uSizes };
enum SadXnSize { kXn16x16, kXn8x8, kXn4x4, kXn2x2, kXnSizes };

struct SadKernels {
  std::array<SadFn, 4> sad[kSadModeSizes];  // by mode slot
  SadFn sad_full[kSadFullSizes];
  std::array<SadC2Fn, 4> sad8x8_c2;              // by mode slot
  std::array<Sad16uFn, 4> sad16u[kSad16uSizes];  // by mode slot
  SadXnFn xn[kXnSizes];
  SadBlocksFn blocks8x8, blocks4x4;
  SadBlocks16uFn blocks8x8_16u, blocks4x4_16u;
  FrameFieldFn frame_field;
  FrameField16sFn frame_field16s;
  SubSadFn sub_sad8x8;
};

// The four mode slots of a size: {f(code 0), f(code 2), f(code 1), f(code 3)},
// f called with std::integral_constant<int, code>.
template <class F, std::size_t... I>
constexpr auto mode_table(F f, std::index_sequence<I...>) {
  return std::array{f(std::integral_constant<int, kModeCode[I]>())...};
}
template <class F>
constexpr auto mode_table(F f) {
  return mode_table(f, std::make_index_sequence<4>());
}

// The scalar table kSadKernelsC, the table of each level sad_kernels(isa), the
// chosen one sad_kernels() and the SIMD steps sad_init_<level>: see
// KVN_DECLARE_FAMILY (core/dispatch.h).
KVN_DECLARE_FAMILY(sad, SadKernels);

}  // namespace kvn
