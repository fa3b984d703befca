// MPEG-1/2 8x8 DCT family: the transposed-input inverse DCT with its sparse
// paths (one and two interleaved channels, 8-bit and 16-bit samples), the
// natural-order inverse DCT behind the inverse-or-set function, and the
// forward DCT of two interleaved channels.
//
// All three transforms are separable matrix products in integer arithmetic,
// one 8-point pass over each dimension:
//   y[n] = sum over k of x[k] * B(k, n),  then (y + round) >> shift,
// with B(k, n) = T[m] carrying the sign of cos(k (2n + 1) pi / 16), where m is
// that angle folded into 1..7 (frequency 0 takes T[4], the weight of cos(pi/4)).
// Sums are 32-bit and wrap (they are exact for every input the passes are
// meant for; the wrapped value is the defined result for any other), so that
// every kernel gives the same bits on every input.
//
// Transposed inverse DCT (coefficient 8i + j: horizontal frequency i, vertical
// frequency j), T = cos(m pi / 16) * 65536 truncated (c4 = 46340):
//   pass 1, for each j, over i: t[j][c] = (sum + 32768) >> 16;
//   pass 2, for each column c, over j: sample (sum + 163840) >> 18,
//   then clamped (0..255 for bytes, -256..255 for 16-bit samples).
//   The 4x4-corner path reads coefficients 8i + j with i, j < 4 only and is the
//   full transform with every other coefficient taken as 0. The DC path: every
//   sample coefficient 0 / 8 (truncated towards zero), clamped.
//
// Natural-order inverse DCT (coefficient 8v + u: vertical frequency v,
// horizontal u), orthonormal scaling (ISO/IEC 13818-2 Annex A), meeting the
// IEEE 1180 accuracy limits:
//   pass 1, rows, T = round(32768 cos): g = sat16((sum + 2048) >> 12), the
//   row transform with 4 fraction bits (saturated, so that coefficient blocks
//   far outside any reconstructible range still give clamped samples);
//   pass 2, columns, T = round(8192 cos): (sum + 131072) >> 18, clamped.
//
// Forward DCT (ISO/IEC 13818-2 Annex A scaling, natural-order output,
// coefficient 8v + u), T = round(32768 cos) in both passes:
//   pass 1, columns: (sum + 2048) >> 12 (4 fraction bits, |value| <= 11540);
//   pass 2, rows: (sum + 524288) >> 20. Exact in 32 bits for 8-bit samples.
//
// Kernels read the 64 coefficients (corner path: the 16 of the corner) and
// write the 8 rows of 8 samples (two channels: 16 interleaved samples, channel
// 0 first) at `step` bytes, rows in increasing order, each written whole;
// nothing is assumed about alignment.
#pragma once

#include <array>
#include <cstdint>

#include "core/dispatch.h"
#include "kvncore.h"

namespace kvn {

namespace dct_mpeg2 {

// T[m], m = 1..7 (T[0] unused).
constexpr int32_t kAan[8] = {0, 64276, 60547, 54491, 46340, 36409, 25079, 12785};
constexpr int32_t kCos15[8] = {0, 32138, 30274, 27246, 23170, 18205, 12540, 6393};  // round(32768 cos)
constexpr int32_t kCos13[8] = {0, 8035, 7568, 6811, 5793, 4551, 3135, 1598};        // round(8192 cos)

// B(k, n) of the table T.
constexpr int32_t basis(const int32_t* t, int k, int n) {
  if (k == 0) return t[4];
  int a = (k * (2 * n + 1)) % 32;
  if (a > 16) a = 32 - a;
  return a < 8 ? t[a] : -t[16 - a];
}

// One pass: table, rounding term, shift. Every pass result is saturated to 16
// bits; only the first pass of the natural-order inverse DCT can need it (the
// others fit 16 bits by construction).
struct Pass {
  const int32_t* table;
  int32_t round;
  int shift;
};
constexpr Pass kAanPass1 = {kAan, 32768, 16};
constexpr Pass kAanPass2 = {kAan, 163840, 18};
constexpr Pass kNaturalPass1 = {kCos15, 2048, 12};
constexpr Pass kNaturalPass2 = {kCos13, 131072, 18};
constexpr Pass kFwdPass1 = {kCos15, 2048, 12};
constexpr Pass kFwdPass2 = {kCos15, 524288, 20};

}  // namespace dct_mpeg2

// Paths of the transposed inverse DCT, chosen from the caller's count by the
// entries: above 9 full, 1..9 corner, 0 DC; a negative count is DC for byte
// output and zero (every sample 0) for 16-bit output.
enum AanPath { kAanFull, kAanCorner, kAanDc, kAanZero };
constexpr int kAanPaths8u = 3, kAanPaths16s = 4;

using Aan8uFn = void (*)(const int16_t* coef, uint8_t* dst, int32_t step);
using Aan16sFn = void (*)(const int16_t* coef, int16_t* dst, int32_t step);
using Aan8uP2Fn = void (*)(const int16_t* coef0, const int16_t* coef1, uint8_t* dst, int32_t step);
using Aan16sP2Fn = void (*)(const int16_t* coef0, const int16_t* coef1, int16_t* dst, int32_t step);
// Inverse-or-set of two channels; the slot is the flags' low two bits (1:
// channel 1 set from its DC, 2: channel 0): a set channel takes
// clamp(coefficient 0 >> 3, 0, 255) everywhere, the other the natural-order
// inverse DCT clamped to 0..255.
using OrSetFn = void (*)(const int16_t* coef0, const int16_t* coef1, uint8_t* dst, int32_t step);
// The natural-order inverse DCT alone: a dense 8x8 block, clamped to -256..255.
using NaturalFn = void (*)(const int16_t* coef, int16_t* dst);
// Forward DCT of 8 rows of 16 interleaved bytes into two dense blocks.
using FwdC2P2Fn = void (*)(const uint8_t* src, int32_t step, int16_t* dst0, int16_t* dst1);

struct DctMpeg2Kernels {
  std::array<Aan8uFn, kAanPaths8u> inv8u;
  std::array<Aan16sFn, kAanPaths16s> inv16s;
  std::array<Aan8uP2Fn, kAanPaths8u * kAanPaths8u> inv8u_p2;      // [path0 * 3 + path1]
  std::array<Aan16sP2Fn, kAanPaths16s * kAanPaths16s> inv16s_p2;  // [path0 * 4 + path1]
  std::array<OrSetFn, 4> or_set;
  NaturalFn natural;
  FwdC2P2Fn fwd_c2p2;
};

// The scalar table kDctMpeg2KernelsC, the table of each level
// dct_mpeg2_kernels(isa), the chosen one dct_mpeg2_kernels() and the SIMD
// steps dct_mpeg2_init_<level>: see KVN_DECLARE_FAMILY (core/dispatch.h).
KVN_DECLARE_FAMILY(dct_mpeg2, DctMpeg2Kernels);

}  // namespace kvn
