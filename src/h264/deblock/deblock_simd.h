// The packed deblocking filter shared by the SIMD kernels.
//
// Lanes are lines across an edge. A lane-ops class O gives the arithmetic on
// one vector of O::kLanes lanes wide enough for every intermediate (16-bit
// lanes for 8-bit samples, 32-bit lanes for 16-bit samples, so every formula
// is computed exactly as written):
//   V, kLanes, zero(), set1(int), add, sub, min, max, abs, slli<n>, srai<n>,
//   lt(a, b) (all-ones where a < b), and_, andnot(m, a) (a where m is
//   clear), sel(m, a, b) (a where m is set, else b), any(m);
//   load(const S*), store(S*, V): kLanes samples to / from lanes;
//   expand<Shift>(const T* seg): lane i takes seg[i >> Shift].
//
// Vertical edges go through a transposed copy of the macroblock (columns as
// rows), so that they use the same row driver as horizontal edges.
#pragma once

#ifndef KVN_ISA
#error "KVN_ISA names the instruction set of the including file (sse2 .. avx512); kvn_kernel_sources defines it"
#endif

#include <emmintrin.h>

#include <cstddef>
#include <cstdint>

#include "h264/deblock/deblock.h"
#include "simd/lanes.h"
#include "simd/loads.h"
#include "simd/transpose.h"

namespace kvn {
namespace KVN_ISA {
namespace deblock {

enum class EdgeKind { kNormal, kStrong, kMixed };

// How the nonzero bS of an edge split between the normal and strong filters.
inline EdgeKind edge_kind(const uint8_t* bs) {
  bool normal = false, strong = false;
  for (int i = 0; i < 4; ++i) {
    normal |= bs[i] != 0 && bs[i] < 4;
    strong |= bs[i] >= 4;
  }
  return !strong ? EdgeKind::kNormal : !normal ? EdgeKind::kStrong : EdgeKind::kMixed;
}

// Thresholds of one edge as lanes.
template <class O>
struct EdgeLimits {
  typename O::V alpha, beta, alpha2, maxv;  // alpha2 = (alpha >> 2) + 2
};

template <class O>
EdgeLimits<O> edge_limits(int alpha, int beta, int maxv) {
  return {O::set1(alpha), O::set1(beta), O::set1((alpha >> 2) + 2), O::set1(maxv)};
}

// Filters the lines held in v[0..7] = p3, p2, p1, p0, q0, q1, q2, q3 (chroma:
// only v[2..5] are used) with per-lane bS and tc0 (H.264 8.7.2.3, 8.7.2.4).
template <class O, bool Luma, EdgeKind K>
inline void filter_lanes(typename O::V (&v)[8], typename O::V bs, typename O::V tc0, const EdgeLimits<O>& lim) {
  using V = typename O::V;
  const V zero = O::zero();
  const V p2 = v[1], p1 = v[2], p0 = v[3], q0 = v[4], q1 = v[5], q2 = v[6];
  const V ad = O::abs(O::sub(p0, q0));
  V m = O::and_(O::lt(ad, lim.alpha), O::lt(zero, bs));
  m = O::and_(m, O::and_(O::lt(O::abs(O::sub(p1, p0)), lim.beta), O::lt(O::abs(O::sub(q1, q0)), lim.beta)));
  if (!O::any(m)) return;
  V ap = zero, aq = zero;
  if (Luma) {
    ap = O::lt(O::abs(O::sub(p2, p0)), lim.beta);
    aq = O::lt(O::abs(O::sub(q2, q0)), lim.beta);
  }
  const V strong = O::lt(O::set1(3), bs);
  V np2 = p2, np1 = p1, np0 = p0, nq0 = q0, nq1 = q1, nq2 = q2;
  if (K != EdgeKind::kStrong) {
    const V mn = K == EdgeKind::kMixed ? O::andnot(strong, m) : m;
    const V tc = Luma ? O::sub(O::sub(tc0, ap), aq) : O::add(tc0, O::set1(1));
    V d = O::add(O::add(O::template slli<2>(O::sub(q0, p0)), O::sub(p1, q1)), O::set1(4));
    d = O::min(O::max(O::template srai<3>(d), O::sub(zero, tc)), tc);
    np0 = O::sel(mn, O::min(O::max(O::add(p0, d), zero), lim.maxv), p0);
    nq0 = O::sel(mn, O::min(O::max(O::sub(q0, d), zero), lim.maxv), q0);
    if (Luma) {
      const V avg = O::template srai<1>(O::add(O::add(p0, q0), O::set1(1)));
      const V ntc0 = O::sub(zero, tc0);
      const V dp = O::template srai<1>(O::sub(O::add(p2, avg), O::add(p1, p1)));
      const V dq = O::template srai<1>(O::sub(O::add(q2, avg), O::add(q1, q1)));
      np1 = O::sel(O::and_(mn, ap), O::add(p1, O::min(O::max(dp, ntc0), tc0)), p1);
      nq1 = O::sel(O::and_(mn, aq), O::add(q1, O::min(O::max(dq, ntc0), tc0)), q1);
    }
  }
  if (K != EdgeKind::kNormal) {
    const V ms = K == EdgeKind::kMixed ? O::and_(strong, m) : m;
    const V two = O::set1(2);
    // (2p1 + p0 + q1 + 2) >> 2 and its mirror: the chroma filter, and the
    // luma one where the strong condition fails.
    const V wp0 = O::template srai<2>(O::add(O::add(O::add(p1, p1), O::add(p0, q1)), two));
    const V wq0 = O::template srai<2>(O::add(O::add(O::add(q1, q1), O::add(q0, p1)), two));
    if (Luma) {
      const V four = O::set1(4), s = O::add(p0, q0);
      const V small = O::lt(ad, lim.alpha2);
      const V ps = O::and_(ms, O::and_(ap, small)), qs = O::and_(ms, O::and_(aq, small));
      const V sp0 = O::template srai<3>(O::add(O::add(O::add(p2, q1), O::template slli<1>(O::add(p1, s))), four));
      const V sq0 = O::template srai<3>(O::add(O::add(O::add(q2, p1), O::template slli<1>(O::add(q1, s))), four));
      const V sp1 = O::template srai<2>(O::add(O::add(p2, p1), O::add(s, two)));
      const V sq1 = O::template srai<2>(O::add(O::add(q2, q1), O::add(s, two)));
      const V sp2 =
          O::template srai<3>(O::add(O::add(O::template slli<1>(O::add(v[0], p2)), O::add(p2, p1)), O::add(s, four)));
      const V sq2 =
          O::template srai<3>(O::add(O::add(O::template slli<1>(O::add(v[7], q2)), O::add(q2, q1)), O::add(s, four)));
      np0 = O::sel(ms, O::sel(ps, sp0, wp0), np0);
      nq0 = O::sel(ms, O::sel(qs, sq0, wq0), nq0);
      np1 = O::sel(ps, sp1, np1);
      nq1 = O::sel(qs, sq1, nq1);
      np2 = O::sel(ps, sp2, p2);
      nq2 = O::sel(qs, sq2, q2);
    } else {
      np0 = O::sel(ms, wp0, np0);
      nq0 = O::sel(ms, wq0, nq0);
    }
  }
  v[1] = np2, v[2] = np1, v[3] = np0, v[4] = nq0, v[5] = nq1, v[6] = nq2;
}

// One edge whose q0 row starts at `row` (rows `step` samples apart): the
// lines are the Sh.lines samples of each row, in chunks of O::kLanes.
template <class O, bool Luma, const EdgeShape& Sh, EdgeKind K, class S, class T>
inline void filter_edge_rows(S* row, std::ptrdiff_t step, const T* tc0, const uint8_t* bs, const EdgeLimits<O>& lim) {
  constexpr int kSegs = O::kLanes >> Sh.seg_shift;  // segments per chunk
  // p3, q3 are read and p2, q2 written by the strong luma filter only.
  constexpr int kFirst = Luma && K != EdgeKind::kNormal ? 0 : Luma ? 1 : 2, kEnd = 8 - kFirst;
  constexpr int kStoreFirst = Luma && K != EdgeKind::kNormal ? 1 : Luma ? 2 : 3, kStoreEnd = 8 - kStoreFirst;
  for (int c = 0; c < Sh.lines / O::kLanes; ++c) {
    S* s = row + c * O::kLanes;
    typename O::V v[8];
    for (int k = kFirst; k < kEnd; ++k) v[k] = O::load(s + (k - 4) * step);
    filter_lanes<O, Luma, K>(v, O::template expand<Sh.seg_shift>(bs + c * kSegs),
                             O::template expand<Sh.seg_shift>(tc0 + c * kSegs), lim);
    for (int k = kStoreFirst; k < kStoreEnd; ++k) O::store(s + (k - 4) * step, v[k]);
  }
}

// All edges of a shape across rows: edge e's q0 row is row 4e.
template <class O, bool Luma, const EdgeShape& Sh, class S, class A>
inline void filter_rows(S* p, std::ptrdiff_t step, const A* alpha, const A* beta, const A* tc0, const uint8_t* bs,
                        int maxv) {
  for (int e = 0; e < Sh.edges; ++e) {
    const uint8_t* ebs = bs + Sh.bs_mul * e;
    if (edge_off(ebs)) continue;
    const auto lim = edge_limits<O>(alpha[e != 0], beta[e != 0], maxv);
    S* row = p + 4 * e * step;
    const A* etc = tc0 + Sh.tc_mul * e;
    switch (edge_kind(ebs)) {
      case EdgeKind::kNormal: filter_edge_rows<O, Luma, Sh, EdgeKind::kNormal>(row, step, etc, ebs, lim); break;
      case EdgeKind::kStrong: filter_edge_rows<O, Luma, Sh, EdgeKind::kStrong>(row, step, etc, ebs, lim); break;
      default: filter_edge_rows<O, Luma, Sh, EdgeKind::kMixed>(row, step, etc, ebs, lim); break;
    }
  }
}

// ---- transposition (8x8 blocks of 1- or 2-byte elements) --------------------

// Moves `rows` rows (a multiple of 8) x `cols` columns (at least 8, starting
// at column x0) between the picture and a transposed copy: column x of the
// picture is row x - x0 of the copy, tstep bytes apart. Columns are taken in
// windows of 8, the last one moved back to end at the last column (so only
// the given columns are touched; overlapping columns carry the same values).
template <int E, bool ToCopy>
inline void transpose_block(uint8_t* pic, std::ptrdiff_t step, int x0, int cols, int rows, uint8_t* copy, int tstep) {
  for (int y = 0; y < rows; y += 8)
    for (int w = 0;; w += 8) {
      const int x = w < cols - 8 ? w : cols - 8;
      uint8_t* pic_at = pic + y * step + (x0 + x) * E;
      uint8_t* copy_at = copy + x * tstep + y * E;
      __m128i r[8];
      for (int i = 0; i < 8; ++i) r[i] = ToCopy ? load<8 * E>(pic_at + i * step) : load<8 * E>(copy_at + i * tstep);
      if constexpr (E == 1)
        transpose8x8_8(r);
      else
        transpose8x8_16<Lanes128>(r);
      for (int i = 0; i < 8; ++i)
        ToCopy ? store<8 * E>(copy_at + i * tstep, r[i]) : store<8 * E>(pic_at + i * step, r[i]);
      if (x == cols - 8) break;
    }
}

// Vertical edges: columns x0 .. cols - 1 of the macroblock (x0 = -margin when
// edge 0 is filtered, else 0; at least 8 columns, all inside the macroblock)
// are transposed into `copy`, filtered there as horizontal edges by
// `filter(copyAtColumn0, copyStep)`, and transposed back.
template <int E, class S, class Filter>
inline void via_columns(S* p, std::ptrdiff_t stepBytes, bool left, int margin, int cols, int rows, uint8_t* copy,
                        int tstep, Filter filter) {
  uint8_t* pic = reinterpret_cast<uint8_t*>(p);
  const int x0 = left ? -margin : 0, n = cols - x0 < 8 ? 8 : cols - x0;
  transpose_block<E, true>(pic, stepBytes, x0, n, rows, copy, tstep);
  filter(reinterpret_cast<S*>(copy - x0 * tstep), tstep / int(sizeof(S)));
  transpose_block<E, false>(pic, stepBytes, x0, n, rows, copy, tstep);
}

}  // namespace deblock
}  // namespace KVN_ISA
}  // namespace kvn
