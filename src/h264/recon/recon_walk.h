// The macroblock walk shared by the 8-bit (recon_mb.cpp) and high-bit-depth
// (recon_hbd_mb.cpp) reconstruction: which blocks of a coded-block mask take
// coefficients from the packed stream, and in which order; intra 4x4 and 8x8
// luma block by block, each block predicted before its residual is added;
// lossless (transform bypass) blocks.
//
// The per-block work of the intra walk is an ops class of the bit depth:
//
//   struct Ops {
//     using Sample = ...;          // uint8_t or uint16_t
//     using Coef = ...;            // int16_t or int32_t, the stream's type
//     static constexpr int kSize;  // 4 or 8: the blocks the ops work on
//     // Intra prediction of one block with mode 0..8, availability kNb*.
//     void predict(Sample* dst, std::ptrdiff_t step, int mode, int32_t avail) const;
//     // The residual of one coded block (kSize^2 coefficients) added.
//     void residual(Sample* dst, std::ptrdiff_t step, const Coef* coef) const;
//   };
#pragma once

#include <cstddef>
#include <cstdint>

#include "h264/intra/intra.h"
#include "h264/recon/recon_layout.h"
#include "h264/transform/h264_arith.h"
#include "kvnvc.h"

namespace kvn {
namespace h264 {

// Blocks 0..count-1 of a mask: block b is coded when bit firstBit + b is set,
// and then takes the next n coefficients of the stream (the coded blocks lie
// there in block order). coef[slot(b)] receives block b's coefficients, or
// null. Returns the stream past the coded blocks.
template <class C, class Slot>
inline C* take_coded(C* stream, uint32_t mask, int firstBit, int count, int n, const C** coef, Slot slot) {
  for (int b = 0; b < count; ++b) {
    const bool coded = has_bit(mask, 1u << (firstBit + b));
    coef[slot(b)] = coded ? stream : nullptr;
    if (coded) stream += n;
  }
  return stream;
}

template <class C>
inline C* take_coded(C* stream, uint32_t mask, int firstBit, int count, int n, const C** coef) {
  return take_coded(stream, mask, firstBit, count, n, coef, [](int b) { return b; });
}

// A lossless n x n block: the coefficients are the residual (coef may be
// null), *dc when given stands at position 0; sums clamped to 0..max.
template <class S, class C, class D>
inline void add_lossless(S* b, std::ptrdiff_t step, int n, const C* coef, const D* dc, int32_t max) {
  for (int y = 0; y < n; ++y)
    for (int x = 0; x < n; ++x) {
      int64_t r = coef ? coef[n * y + x] : 0;
      if (dc && x == 0 && y == 0) r = *dc;
      b[y * step + x] = S(clamp64(b[y * step + x] + r, 0, max));
    }
}

// Intra luma blocks 0..count-1 of Ops::kSize (4x4: 16, or 8 for a Half;
// 8x8: 4, or 2), in luma4x4BlkIdx / luma8x8BlkIdx order: block b predicted
// with modes[b] from the neighbours the edge flags leave it, then, when mask
// bit firstBit + b is set, its residual, the next kSize^2 coefficients of the
// stream. Returns KVN_STS_OUT_OF_RANGE at the first mode above 8 (the blocks
// before it done), else, for 4x4, KVN_STS_WRN_SUBSTITUTE when a prediction
// read a substitute for a neighbour (H.264 8.3.1.2). The stream pointer moves
// past the coefficients taken, also when the walk stops.
template <class Ops, class Mode>
KvnResult luma_intra(const Ops& ops, typename Ops::Coef** stream, typename Ops::Sample* mb, std::ptrdiff_t step,
                     const Mode* modes, int count, uint32_t mask, int firstBit, uint32_t edges) {
  constexpr int N = Ops::kSize;
  static_assert(N == 4 || N == 8, "intra luma blocks are 4x4 or 8x8");
  typename Ops::Coef* s = *stream;
  KvnResult status = KVN_STS_OK;
  for (int b = 0; b < count; ++b) {
    const uint32_t mode = uint32_t(modes[b]);
    if (mode > 8) {
      status = KVN_STS_OUT_OF_RANGE;
      break;
    }
    typename Ops::Sample* dst = mb + (N == 4 ? luma4x4_offset(b, step) : luma8x8_offset(b, step));
    const int32_t avail = N == 4 ? intra4x4_avail(b, edges) : intra8x8_avail(b, edges);
    ops.predict(dst, step, int(mode), avail);
    if (N == 4 && intra4x4_substituted(int(mode), avail)) status = KVN_STS_WRN_SUBSTITUTE;
    if (!has_bit(mask, 1u << (firstBit + b))) continue;
    ops.residual(dst, step, s);
    s += N * N;
  }
  *stream = s;
  return status;
}

}  // namespace h264
}  // namespace kvn
