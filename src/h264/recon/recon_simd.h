// SIMD residual of 4x4 and 8x8 blocks, written once over a lane class V of
// 16-bit lanes (derived from Lanes128 or Lanes256, simd/lanes.h): V128 (8
// lanes) holds a row of two horizontally adjacent 4x4 blocks or of one 8x8
// block; a 256-bit class (16 lanes) holds the same twice, one in each 128-bit
// half (two pairs of 4x4 blocks, or two adjacent 8x8 blocks), and every
// operation used works within the halves. Every step does exactly the
// operations of the scalar reference (recon_c.cpp) in the same order:
// dequantisation, DC replacement, the inverse transform of H.264 8.5.12.2 /
// 8.5.13.2 with saturating 16-bit additions (rows, then columns), the
// rounding, >> 6, saturating addition to the prediction and clamping.
//
// V adds to its lane class: kHalves, load (8 lanes per half from two
// addresses), set_pair, dc_blend (lane 0 of each half), add_row (8 samples
// per half at two addresses), add_row16 (16 consecutive samples; V128: 8).
#pragma once

#ifndef KVN_ISA
#error "KVN_ISA names the instruction set of the including file (sse2 .. avx512); kvn_kernel_sources defines it"
#endif

#include <emmintrin.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

#include "h264/transform/h264_arith.h"
#include "h264/transform/h264_simd.h"
#include "h264/recon/recon.h"
#include "simd/lanes.h"
#include "simd/loads.h"
#include "simd/transpose.h"

namespace kvn {
namespace KVN_ISA {
namespace recon {

// 8 lanes: one pair of blocks.
struct V128 : Lanes128 {
  static constexpr int kHalves = 1;
  static V load(const int16_t* p, const int16_t*) { return KVN_ISA::load<16>(p); }
  static V set_pair(int16_t a, int16_t b) { return _mm_setr_epi16(a, a, a, a, b, b, b, b); }
  static V dc_blend(V x, int16_t d0, int16_t) { return _mm_insert_epi16(x, d0, 0); }
  // p[0..7] = clamp(p + r), 16-bit saturating sum.
  static void add_row(uint8_t* p, uint8_t*, V r) {
    const V w = _mm_unpacklo_epi8(KVN_ISA::load<8>(p), _mm_setzero_si128());
    store<8>(p, _mm_packus_epi16(_mm_adds_epi16(w, r), w));
  }
  static void add_row16(uint8_t* p, V r) { add_row(p, nullptr, r); }
  static void store_halves(uint8_t* p, uint8_t*, V x) { KVN_ISA::store<16>(p, x); }
};

// d of 8 lanes per half, the kind of rule a template argument (so that a
// kernel's loops are straight-line code): pre-shifted (low 16 bits of
// c * mul) or the standard rule (exact 32-bit product, rounded shift right,
// or saturated and doubled with saturation `left` times, which equals
// saturating the product shifted left).
enum DqKind { kPreshifted, kShiftRight, kShiftLeft };

template <class V, int Kind>
struct DqOp {
  using T = typename V::V;
  static constexpr int kKind = Kind;
  const int16_t* mul;
  T round;
  __m128i count;
  int left;
  explicit DqOp(const Dequant& dq)
      : mul(dq.mul), round(V::set1_32(dq.round)), count(_mm_cvtsi32_si128(-dq.left)), left(dq.left) {}
  [[gnu::always_inline]] T operator()(T c, T m) const {
    if (Kind == kPreshifted) return V::mullo16(c, m);
    const T pl = V::mullo16(c, m), ph = V::mulhi16(c, m);
    const T lo = V::unpacklo16(pl, ph), hi = V::unpackhi16(pl, ph);
    if (Kind == kShiftLeft) {
      T d = V::packs32(lo, hi);
      for (int k = 0; k < left; ++k) d = V::adds16(d, d);
      return d;
    }
    return V::packs32(V::sra32(V::add32(lo, round), count), V::sra32(V::add32(hi, round), count));
  }
};

// Calls f(DqOp<V, kind>) with the kind of dq.
template <class V, class F>
inline void with_dequant(const Dequant& dq, F f) {
  if (dq.preshifted)
    f(DqOp<V, kPreshifted>(dq));
  else if (dq.left < 0)
    f(DqOp<V, kShiftRight>(dq));
  else
    f(DqOp<V, kShiftLeft>(dq));
}

// Rows r[0..3] (block A lanes 0..3, block B lanes 4..7 of each half) to
// columns, or back: the transpose of each 4x4 block.
template <class V>
inline void transpose(typename V::V* r) {
  using T = typename V::V;
  const T t0 = V::unpacklo16(r[0], r[1]), t1 = V::unpackhi16(r[0], r[1]);
  const T t2 = V::unpacklo16(r[2], r[3]), t3 = V::unpackhi16(r[2], r[3]);
  const T u0 = V::unpacklo32(t0, t2), u1 = V::unpackhi32(t0, t2);
  const T u2 = V::unpacklo32(t1, t3), u3 = V::unpackhi32(t1, t3);
  r[0] = V::unpacklo64(u0, u2);
  r[1] = V::unpackhi64(u0, u2);
  r[2] = V::unpacklo64(u1, u3);
  r[3] = V::unpackhi64(u1, u3);
}

// The inverse core butterfly across x[0..3], saturating; with Round 32 is
// added to e0 and e1.
template <class V, bool Round>
inline void inv4(typename V::V* x) {
  using T = typename V::V;
  T e0 = V::adds16(x[0], x[2]), e1 = V::subs16(x[0], x[2]);
  if (Round) {
    const T k32 = V::set1_16(32);
    e0 = V::adds16(e0, k32);
    e1 = V::adds16(e1, k32);
  }
  const T e2 = V::subs16(V::srai16(x[1], 1), x[3]), e3 = V::adds16(x[1], V::srai16(x[3], 1));
  x[0] = V::adds16(e0, e3);
  x[1] = V::adds16(e1, e2);
  x[2] = V::subs16(e1, e2);
  x[3] = V::subs16(e0, e3);
}

// Residual rows of the blocks: a[h], b[h] are the left and right block of
// half h (never null; a block without coefficients points to zeros), dc the
// DC of each (a0, b0, a1, b1) or null.
template <class V, class Op>
inline void residual(const int16_t* const* a, const int16_t* const* b, const int16_t* dc, const Op& dq,
                     typename V::V* r) {
  using T = typename V::V;
  const T mlo = V::load(dq.mul, dq.mul), mhi = V::load(dq.mul + 8, dq.mul + 8);
  T alo = dq(V::load(a[0], a[V::kHalves - 1]), mlo);
  T blo = dq(V::load(b[0], b[V::kHalves - 1]), mlo);
  const T ahi = dq(V::load(a[0] + 8, a[V::kHalves - 1] + 8), mhi);
  const T bhi = dq(V::load(b[0] + 8, b[V::kHalves - 1] + 8), mhi);
  if (dc) {
    alo = V::dc_blend(alo, dc[0], dc[2]);
    blo = V::dc_blend(blo, dc[1], dc[3]);
  }
  r[0] = V::unpacklo64(alo, blo);
  r[1] = V::unpackhi64(alo, blo);
  r[2] = V::unpacklo64(ahi, bhi);
  r[3] = V::unpackhi64(ahi, bhi);
  transpose<V>(r);
  inv4<V, false>(r);
  transpose<V>(r);
  inv4<V, true>(r);
  for (int i = 0; i < 4; ++i) r[i] = V::srai16(r[i], 6);
}

// Adds residual rows to the 8-sample-wide pairs at dst[h] and clamps.
template <class V>
inline void add_rows(uint8_t* const* dst, int32_t step, const typename V::V* r) {
  for (int i = 0; i < 4; ++i) {
    const std::ptrdiff_t o = std::ptrdiff_t(i) * step;
    V::add_row(dst[0] + o, dst[V::kHalves - 1] + o, r[i]);
  }
}

// ---- 8x8 blocks (H.264 8.5.13): a register holds a row of one block, or of
// two horizontally adjacent blocks (one in each half) ----------------------

// The inverse 8-point butterfly across d[0..7], saturating, in the order of
// the scalar reference.
template <class V>
[[gnu::always_inline]] inline void inv8(typename V::V* d) {
  using T = typename V::V;
  const T a0 = V::adds16(d[0], d[4]), a4 = V::subs16(d[0], d[4]);
  const T a2 = V::subs16(V::srai16(d[2], 1), d[6]), a6 = V::adds16(d[2], V::srai16(d[6], 1));
  const T b0 = V::adds16(a0, a6), b2 = V::adds16(a4, a2), b4 = V::subs16(a4, a2), b6 = V::subs16(a0, a6);
  const T a1 = V::subs16(V::subs16(V::subs16(d[5], d[3]), d[7]), V::srai16(d[7], 1));
  const T a3 = V::subs16(V::subs16(V::adds16(d[1], d[7]), d[3]), V::srai16(d[3], 1));
  const T a5 = V::adds16(V::adds16(V::subs16(d[7], d[1]), d[5]), V::srai16(d[5], 1));
  const T a7 = V::adds16(V::adds16(V::adds16(d[3], d[5]), d[1]), V::srai16(d[1], 1));
  const T b1 = V::adds16(a1, V::srai16(a7, 2)), b7 = V::subs16(a7, V::srai16(a1, 2));
  const T b3 = V::adds16(a3, V::srai16(a5, 2)), b5 = V::subs16(V::srai16(a3, 2), a5);
  d[0] = V::adds16(b0, b7);
  d[1] = V::adds16(b2, b5);
  d[2] = V::adds16(b4, b3);
  d[3] = V::adds16(b6, b1);
  d[4] = V::subs16(b6, b1);
  d[5] = V::subs16(b4, b3);
  d[6] = V::subs16(b2, b5);
  d[7] = V::subs16(b0, b7);
}

// Dequantise, transform (rows, then columns), (x + 32) >> 6 with a
// saturating addition, add to the prediction at dst (V256: dst and dst + 8,
// the blocks a and b) and clamp.
template <class V, class Op>
[[gnu::always_inline]] inline void block8x8(uint8_t* dst, int32_t step, const int16_t* a, const int16_t* b,
                                            const Op& dq) {
  typename V::V r[8];
#pragma GCC unroll 8
  for (int i = 0; i < 8; ++i) r[i] = dq(V::load(a + 8 * i, b + 8 * i), V::load(dq.mul + 8 * i, dq.mul + 8 * i));
  transpose8x8_16<V>(r);
  inv8<V>(r);
  transpose8x8_16<V>(r);
  inv8<V>(r);
  const typename V::V k32 = V::set1_16(32);
#pragma GCC unroll 8
  for (int i = 0; i < 8; ++i) V::add_row16(dst + std::ptrdiff_t(i) * step, V::srai16(V::adds16(r[i], k32), 6));
}

// The Residual8x8Fn contract: neighbours 0, 1 and 2, 3 together when W
// takes two blocks and both are coded, else one at a time with N.
template <class W, class N>
inline void residual8x8(uint8_t* mb, int32_t step, const int16_t* const* coef, const Dequant& dq) {
  with_dequant<W>(dq, [&](const auto& wide) {
    const DqOp<N, std::decay_t<decltype(wide)>::kKind> narrow(dq);
    for (int row = 0; row < 2; ++row) {
      const int16_t *a = coef[2 * row], *b = coef[2 * row + 1];
      uint8_t* dst = mb + std::ptrdiff_t(8 * row) * step;
      if (W::kHalves == 2 && a && b) {
        block8x8<W>(dst, step, a, b, wide);
        continue;
      }
      if (a) block8x8<N>(dst, step, a, a, narrow);
      if (b) block8x8<N>(dst + 8, step, b, b, narrow);
    }
  });
}

// The residual of two halves' blocks added to the picture.
struct Unit {
  uint8_t* dst;  // top-left sample of the left block
  const int16_t *a, *b;
  int16_t dca, dcb;
};

alignas(16) constexpr int16_t kZeroBlock[16] = {};

template <class V, class Op>
inline void run(const Unit& u0, const Unit& u1, bool hasDc, const Op& dq, int32_t step) {
  const int16_t* const a[2] = {u0.a, u1.a};
  const int16_t* const b[2] = {u0.b, u1.b};
  const int16_t dc[4] = {u0.dca, u0.dcb, u1.dca, u1.dcb};
  typename V::V r[4];
  residual<V>(a, b, hasDc ? dc : nullptr, dq, r);
  uint8_t* const dst[2] = {u0.dst, u1.dst};
  add_rows<V>(dst, step, r);
}

// Both blocks of a pair without coefficients: (dc + 32) >> 6 added to each,
// the value the transform gives for a block holding only its DC.
template <class N>
inline void dc_pair(uint8_t* dst, int32_t step, int16_t dca, int16_t dcb) {
  const int16_t ra = int16_t(::kvn::h264::Sat16::add(dca, 32) >> 6),
                rb = int16_t(::kvn::h264::Sat16::add(dcb, 32) >> 6);
  const typename N::V r = N::set_pair(ra, rb);
  for (int i = 0; i < 4; ++i) N::add_row(dst + std::ptrdiff_t(i) * step, nullptr, r);
}

// The Residual4x4Fn contract: pairs (2j, 2j + 1) with coefficients are
// collected and done W::kHalves pairs at a time (the last one alone with N
// when W takes two), pairs holding only DCs are done as DC additions.
template <class W, class N>
inline void residual4x4(uint8_t* mb, int32_t step, int32_t count, const int16_t* const* coef, const int16_t* dc,
                        const Dequant& dq) {
  Unit full[8];
  int n = 0;
  for (int j = 0; j < count / 2; ++j) {
    const int ka = 2 * j, kb = 2 * j + 1;
    const int16_t da = dc ? dc[ka] : 0, db = dc ? dc[kb] : 0;
    uint8_t* const dst = mb + ::kvn::h264::luma4x4_offset(ka, step);
    if (coef[ka] || coef[kb])
      full[n++] = {dst, coef[ka] ? coef[ka] : kZeroBlock, coef[kb] ? coef[kb] : kZeroBlock, da, db};
    else if (da || db)
      dc_pair<N>(dst, step, da, db);
  }
  if (n == 0) return;
  with_dequant<W>(dq, [&](const auto& wide) {
    const DqOp<N, std::decay_t<decltype(wide)>::kKind> narrow(dq);
    int i = 0;
    if (W::kHalves == 2)
      for (; i + 1 < n; i += 2) run<W>(full[i], full[i + 1], dc != nullptr, wide, step);
    for (; i < n; ++i) run<N>(full[i], full[i], dc != nullptr, narrow, step);
  });
}

// ---- Intra 4x4 luma: prediction and residual of a block kept in registers --

// The residual of one 4x4 block: coefficients c dequantised by op (the
// multipliers of rows 0-1 in mlo, of rows 2-3 in mhi), inverse transformed.
template <class Op>
[[gnu::always_inline]] inline h264::Block residual_block(const int16_t* c, const Op& op, __m128i mlo, __m128i mhi) {
  h264::Block r{op(KVN_ISA::load<16>(c), mlo), op(KVN_ISA::load<16>(c + 8), mhi)};
  h264::inv4x4_sat(r);
  return r;
}

// The Intra4x4Fn contract over a predictor: predict(dst, step, mode, avail)
// returns the block's 16 predicted samples in raster order. The residual is
// added to the prediction in the register and each block is written once;
// the dequantisation rule is chosen once for the macroblock.
template <class Predict>
inline void intra4x4(uint8_t* mb, int32_t step, int32_t count, const int32_t* modes, uint32_t edges,
                     const int16_t* const* coef, const Dequant& dq, Predict predict) {
  with_dequant<V128>(dq, [&](const auto& op) {
    const __m128i mlo = KVN_ISA::load<16>(dq.mul), mhi = KVN_ISA::load<16>(dq.mul + 8), zero = _mm_setzero_si128();
    for (int b = 0; b < count; ++b) {
      uint8_t* const dst = mb + ::kvn::h264::luma4x4_offset(b, step);
      __m128i rec = predict(dst, std::ptrdiff_t(step), modes[b], ::kvn::h264::intra4x4_avail(b, edges));
      if (const int16_t* c = coef[b]) {
        const h264::Block r = residual_block(c, op, mlo, mhi);
        rec = _mm_packus_epi16(_mm_adds_epi16(_mm_unpacklo_epi8(rec, zero), r.lo),
                               _mm_adds_epi16(_mm_unpackhi_epi8(rec, zero), r.hi));
      }
      KVN_ISA::store4x4(dst, step, rec);
    }
  });
}

}  // namespace recon
}  // namespace KVN_ISA
}  // namespace kvn
