// The VC-1 loop filter on packed lines, shared by the SIMD kernels.
//
// A lane-ops class O (16-bit lanes, lane i = line i of the edge from the
// vector's first line on, which is the first line of a segment) gives:
//   V, zero(), set1(int), add, sub, min, max, slli<n>, srai<n>, abs,
//   lt(a, b) (all-ones where a < b), and_, andnot(m, a), xor_,
//   third(m): every lane takes the lane 4k + 2 of its group of four,
//   none(m): true when no lane is set.
// Every intermediate fits in 16 bits (samples 0..255), so the formulas of
// deblock_vc1.h are computed exactly as written.
#pragma once

#ifndef KVN_ISA
#error "KVN_ISA names the instruction set of the including file (sse2 .. avx512); kvn_kernel_sources defines it"
#endif

#include <cstdint>

#include "vc1/deblock_vc1.h"

namespace kvn {
namespace KVN_ISA {
namespace deblock_vc1 {

// PQUANT as a lane: |a0| is at most 223, so every larger value acts alike.
inline int pquant_lane(uint32_t pquant) { return pquant < 256 ? int(pquant) : 256; }

// Filters the lines of p[0..7] = P1..P8 (lanes: lines); `on` marks the lanes
// of segments switched on. Returns false, leaving p as it was, when no line
// changes; otherwise p[3], p[4] hold P4, P5 after filtering.
template <class O>
inline bool filter(typename O::V (&p)[8], typename O::V pq, typename O::V on) {
  using V = typename O::V;
  const V zero = O::zero(), four = O::set1(4);
  const auto five = [](V x) { return O::add(x, O::template slli<2>(x)); };
  const auto across = [&](V a, V b, V c, V d) {  // (2 (a - d) - 5 (b - c) + 4) >> 3
    return O::template srai<3>(O::add(O::sub(O::template slli<1>(O::sub(a, d)), five(O::sub(b, c))), four));
  };
  const V u = O::sub(p[3], p[4]);  // P4 - P5
  const V a0 = across(p[2], p[3], p[4], p[5]);
  const V abs0 = O::abs(a0);
  const V a3 = O::min(O::abs(across(p[0], p[1], p[2], p[3])), O::abs(across(p[4], p[5], p[6], p[7])));
  const V clip = O::template srai<1>(O::abs(u));  // |clip|
  V m = O::and_(O::and_(O::lt(abs0, pq), O::lt(a3, abs0)), O::lt(zero, clip));
  m = O::and_(O::and_(m, O::third(m)), on);
  // d = -sign(a0) (5 (|a0| - a3) >> 3) must share the sign of clip = sign(P4 - P5).
  m = O::and_(m, O::lt(O::xor_(a0, u), zero));
  if (O::none(m)) return false;
  const V amount = O::and_(O::min(O::template srai<3>(five(O::sub(abs0, a3))), clip), m);
  const V sgn = O::template srai<15>(u);
  const V d = O::sub(O::xor_(amount, sgn), sgn);  // sign(P4 - P5) * amount
  p[3] = O::sub(p[3], d);
  p[4] = O::add(p[4], d);
  return true;
}

}  // namespace deblock_vc1
}  // namespace KVN_ISA
}  // namespace kvn
