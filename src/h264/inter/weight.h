// H.264 weighted sample prediction (clause 8.4.2.3): kernel types, tables and
// the parameter arithmetic shared by the entries, the reference and the SIMD
// kernels.
//
// Every form is one formula per sample:
//   d = clamp(((x1 * w1 + x2 * w2 + R) >> shift) + offset, 0, max),
//   R = 2^(shift - 1) for shift >= 1, else 0,
// one-list weighting without the x2 term. With x1 * w1 alone and shift = logWD
// it is 8.4.2.3.2 for one list; with shift = logWD + 1 and offset =
// (o1 + o2 + 1) >> 1 for two lists; implicit weights are logWD = 5 with zero
// offsets. Interleaved chroma runs the planar 8-bit kernels on rows of
// 2 * width bytes: sample i of a row belongs to channel i & 1, and the
// parameters carry one weight and offset per channel (both equal for planar
// data).
//
// Kernels come in two kinds:
//  - exact kernels take any parameters and compute with 64-bit
//    intermediates (the scalar reference is one at every level);
//  - fast kernels use 16-bit (8-bit samples) or 32-bit (16-bit samples)
//    lanes and are called only with parameters for which fits8_one (one
//    list, 8-bit), fits8 (two lists, 8-bit) or fits16 (planar) hold; there
//    their results equal the exact ones. Every H.264 parameter set (weights
//    -128..127, implicit weights -64..128, logWD 0..7, offsets scaled to the
//    bit depth) qualifies, after reduce_weights for the 8-bit ones.
// Sizes: the fast kernels by row width in bytes (8-bit: 2..32) or samples
// (16-bit: 2..16) and height (2..16), powers of two, the average16 kernels
// by width (any of 2..16); the `any` and exact kernels take any width and
// height >= 1. Steps are signed (bytes for 8-bit, samples for 16-bit data)
// and may be negative or smaller than a row; rows are written in order, top
// row first.
#pragma once

#include <cstdint>

#include "core/dispatch.h"
#include "kvnvc.h"

namespace kvn {

struct WeightArgs {
  int32_t w1[2], w2[2];  // weights per channel (even, odd samples); w2 = 0 for one list
  int64_t offset[2];     // added after the shift
  int32_t shift;         // 0..kMaxWeightShift
  int32_t max_value;     // largest result: 255, or 2^bitDepth - 1
};

// |x1 * w1 + x2 * w2| < 2^48 for 16-bit samples and 32-bit weights, so a
// shift beyond 50 gives the same (zero) quotient as 50 with its rounding.
constexpr int32_t kMaxWeightShift = 50;
constexpr int32_t weight_shift(uint64_t s) { return s > uint64_t(kMaxWeightShift) ? kMaxWeightShift : int32_t(s); }
constexpr int64_t weight_round(int32_t shift) { return shift ? int64_t(1) << (shift - 1) : 0; }

// The formula on one sample's weighted sum.
inline int64_t weigh(int64_t sum, int32_t shift, int64_t offset, int32_t maxValue) {
  const int64_t v = ((sum + weight_round(shift)) >> shift) + offset;
  return v < 0 ? 0 : v > maxValue ? maxValue : v;
}

// The rounded average of two 16-bit samples, clamped.
inline uint16_t average16(uint16_t a, uint16_t b, int32_t maxValue) {
  const int32_t v = (int32_t(a) + b + 1) >> 1;
  return uint16_t(v > maxValue ? maxValue : v);
}

inline WeightArgs uni_args(uint32_t log2Wd, int32_t w, int64_t o, int32_t maxValue) {
  return {{w, w}, {0, 0}, {o, o}, weight_shift(log2Wd), maxValue};
}
// Two lists: shift logWD + 1, offset (o1 + o2 + 1) >> 1 per channel.
inline WeightArgs bi_args(uint32_t log2Wd, const int32_t (&w1)[2], const int32_t (&o1)[2], const int32_t (&w2)[2],
                          const int32_t (&o2)[2], int32_t maxValue) {
  return {{w1[0], w1[1]},
          {w2[0], w2[1]},
          {(int64_t(o1[0]) + o2[0] + 1) >> 1, (int64_t(o1[1]) + o2[1] + 1) >> 1},
          weight_shift(uint64_t(log2Wd) + 1),
          maxValue};
}
inline WeightArgs bi_args(uint32_t log2Wd, int32_t w1, int32_t o1, int32_t w2, int32_t o2, int32_t maxValue) {
  return bi_args(log2Wd, {w1, w1}, {o1, o1}, {w2, w2}, {o2, o2}, maxValue);
}
// Any shift with its own rounding, one offset (the general weighted average).
inline WeightArgs shift_args(uint32_t shift, int32_t w1, int32_t w2, int32_t o) {
  return {{w1, w1}, {w2, w2}, {o, o}, weight_shift(shift), 255};
}

// Removes common factors of 2 from the weights and the shift; the result of
// the formula does not change (floor((2S + 2^(s-1)) / 2^s) =
// floor((S + 2^(s-2)) / 2^(s-1)), and (2S + 1) >> 1 = S). Implicit weights
// such as 128 / -64 then fit signed bytes. reduction() gives the number of
// factors for the weights' OR.
inline int32_t reduction(int32_t weightBits, int32_t shift) {
  const int32_t k = __builtin_ctz(uint32_t(weightBits) | 0x80000000u);
  return k < shift ? k : shift;
}
inline void reduce_weights(WeightArgs& a) {
  const int32_t k = reduction(a.w1[0] | a.w1[1] | a.w2[0] | a.w2[1], a.shift);
  a.w1[0] >>= k, a.w1[1] >>= k, a.w2[0] >>= k, a.w2[1] >>= k;
  a.shift -= k;
}

// Parameters of the fast 8-bit kernels: weights that are signed bytes, sums
// x1 * w1 + x2 * w2 that fit 16 bits for every pair of samples (the sum of
// the positive and of the negative weights within +-128), a shift of at most
// 15 and 16-bit offsets.
inline bool fits8_channel(int64_t w1, int64_t w2, int64_t offset) {
  return w1 >= -128 && w1 <= 127 && w2 >= -128 && w2 <= 127 && (w1 > 0 ? w1 : 0) + (w2 > 0 ? w2 : 0) <= 128 &&
         (w1 < 0 ? w1 : 0) + (w2 < 0 ? w2 : 0) >= -128 && offset >= -32768 && offset <= 32767;
}
inline bool fits8(const WeightArgs& a) {
  return a.shift <= 15 && fits8_channel(a.w1[0], a.w2[0], a.offset[0]) && fits8_channel(a.w1[1], a.w2[1], a.offset[1]);
}

// Parameters of the fast one-list 8-bit kernels: weights and offsets that are
// signed bytes and a shift of at most 7.
inline bool signed_byte(int64_t v) { return v >= -128 && v <= 127; }
inline bool fits8_one(const WeightArgs& a) {
  return a.shift <= 7 && signed_byte(a.w1[0]) && signed_byte(a.w1[1]) && signed_byte(a.offset[0]) &&
         signed_byte(a.offset[1]);
}

// Parameters of the fast 16-bit kernels: 16-bit weights (not -32768), every
// x1 * w1 + x2 * w2 + R below 2^30 in magnitude for samples up to 65535, a
// shift of at most 30 and offsets below 2^30 in magnitude, so that no 32-bit
// lane overflows.
inline bool fits16(const WeightArgs& a) {
  constexpr int64_t kLimit = (int64_t(1) << 30) - 1;
  for (int c = 0; c < 2; ++c) {
    const int64_t w1 = a.w1[c], w2 = a.w2[c];
    if (w1 < -32767 || w1 > 32767 || w2 < -32767 || w2 > 32767) return false;
    const int64_t pos = 65535 * ((w1 > 0 ? w1 : 0) + (w2 > 0 ? w2 : 0)) + weight_round(a.shift);
    const int64_t neg = 65535 * ((w1 < 0 ? w1 : 0) + (w2 < 0 ? w2 : 0));
    if (pos > kLimit || neg < -kLimit || a.offset[c] < -kLimit || a.offset[c] > kLimit) return false;
  }
  return a.shift <= 30;
}

// 2, 4, 8, 16, 32 -> 0..4; the caller has checked the value is one of them.
inline int size_index(int32_t n) { return __builtin_ctz(uint32_t(n)) - 1; }

// Parameters of the fast kernels, packed the way their lanes use them and
// passed in registers (a record built just before the call would have to be
// read back through memory).
//  8-bit one list (fits8_one): weights = bytes (w, o) of channel 0, then of
//    channel 1.
//  8-bit two lists (fits8): weights = bytes (w1, w2) of channel 0, then of
//    channel 1; offsets = 16-bit offsets of channel 0 | channel 1 << 16.
//  16-bit (fits16, planar): weights = 16-bit w1 | w2 << 16; add =
//    32768 * (w1 + w2) + R (mod 2^32); offset; shiftMax = shift | max << 8.
inline uint32_t byte_pair(int64_t lo, int64_t hi) { return uint32_t(uint8_t(lo)) | uint32_t(uint8_t(hi)) << 8; }
// Planar parameters: channel 1 as channel 0.
inline uint32_t both_channels(uint32_t channel0) { return channel0 | channel0 << 16; }
inline uint32_t pack8_one(const WeightArgs& a) {
  return byte_pair(a.w1[0], a.offset[0]) | byte_pair(a.w1[1], a.offset[1]) << 16;
}
inline uint32_t pack8_weights(const WeightArgs& a) {
  return byte_pair(a.w1[0], a.w2[0]) | byte_pair(a.w1[1], a.w2[1]) << 16;
}
inline uint32_t pack8_offsets(const WeightArgs& a) {
  return uint32_t(uint16_t(a.offset[0])) | uint32_t(uint16_t(a.offset[1])) << 16;
}
struct Packed16 {
  uint32_t weights;
  int32_t add, offset, shiftMax;
};
inline Packed16 pack16(const WeightArgs& a) {
  return {uint32_t(uint16_t(a.w1[0])) | uint32_t(uint16_t(a.w2[0])) << 16,
          int32_t(uint32_t(uint64_t(32768 * (int64_t(a.w1[0]) + a.w2[0]) + weight_round(a.shift)))),
          int32_t(a.offset[0]), a.shift | a.max_value << 8};
}

// The parameters back from their packed forms (the reference kernels).
inline WeightArgs unpack8_one(uint32_t weights, int32_t shift) {
  const int8_t w0 = int8_t(weights), o0 = int8_t(weights >> 8), w1 = int8_t(weights >> 16), o1 = int8_t(weights >> 24);
  return {{w0, w1}, {0, 0}, {o0, o1}, shift, 255};
}
inline WeightArgs unpack8(uint32_t weights, uint32_t offsets, int32_t shift) {
  return {{int8_t(weights), int8_t(weights >> 16)},
          {int8_t(weights >> 8), int8_t(weights >> 24)},
          {int16_t(offsets), int16_t(offsets >> 16)},
          shift,
          255};
}
inline WeightArgs unpack16(uint32_t weights, int32_t offset, int32_t shiftMax) {
  const int16_t w1 = int16_t(weights), w2 = int16_t(weights >> 16);
  return {{w1, w1}, {w2, w2}, {offset, offset}, shiftMax & 0xff, shiftMax >> 8};
}

// Fast kernels (the block size is the slot's).
using WeightUni8Fn = void (*)(uint8_t* p, int32_t step, uint32_t weights, int32_t shift);
using WeightBi8Fn = void (*)(const uint8_t* s1, int32_t step1, const uint8_t* s2, int32_t step2, uint8_t* d,
                             int32_t stepD, uint32_t weights, uint32_t offsets, int32_t shift);
using WeightUni16Fn = void (*)(uint16_t* p, int32_t step, uint32_t weights, int32_t add, int32_t offset,
                               int32_t shiftMax);
using WeightBi16Fn = void (*)(const KvnBidirRecord16u& r, uint32_t weights, int32_t add, int32_t offset,
                              int32_t shiftMax);
// (x1 + x2 + 1) >> 1, clamped to maxValue; the height is the record's.
using Average16Fn = void (*)(const KvnBidirRecord16u& r, int32_t maxValue);
// Any size (fast: fits8; exact: any parameters).
using WeightUni8AnyFn = void (*)(uint8_t* p, int32_t step, int32_t width, int32_t height, const WeightArgs& a);
using WeightBi8AnyFn = void (*)(const uint8_t* s1, int32_t step1, const uint8_t* s2, int32_t step2, uint8_t* d,
                                int32_t stepD, int32_t width, int32_t height, const WeightArgs& a);
using WeightUni16AnyFn = void (*)(uint16_t* p, int32_t step, int32_t width, int32_t height, const WeightArgs& a);
using WeightBi16AnyFn = void (*)(const KvnBidirRecord16u& r, const WeightArgs& a);

struct WeightKernels {
  WeightUni8Fn uni8[5][4];    // [size_index(width in bytes)][size_index(height)], fits8_one
  WeightBi8Fn bi8[5][4];      // fits8
  WeightBi8AnyFn bi8_any;     // fits8, any width and height >= 1
  WeightUni16Fn uni16[4][4];  // [size_index(width)][size_index(height)], fits16
  WeightBi16Fn bi16[4][4];
  Average16Fn average16[15];  // [width - 2]
  // Exact kernels, any size and parameters.
  WeightUni8AnyFn uni8_exact;
  WeightBi8AnyFn bi8_exact;
  WeightUni16AnyFn uni16_exact;
  WeightBi16AnyFn bi16_exact;
};

// The scalar table kWeightKernelsC, the table of each level
// weight_kernels(isa), the chosen one weight_kernels() and the SIMD steps
// weight_init_<level>: see KVN_DECLARE_FAMILY (core/dispatch.h).
KVN_DECLARE_FAMILY(weight, WeightKernels);

}  // namespace kvn
