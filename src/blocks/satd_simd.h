// The 16-bit Hadamard butterflies of the SIMD kernels of the Hadamard costs,
// written once for every vector width and instruction set.
//
// Differences are held in signed 16-bit lanes, one row of up to 8 samples a
// 128-bit lane, and every butterfly is a 16-bit add or subtract: 8-bit input
// keeps each intermediate within 32 * 255 in magnitude, so nothing wraps. The
// rows are transposed as the transform proceeds (interleaving by 16, 32 and
// then 64 bits brings the partners of the next butterfly into the same lanes;
// the stages of a Hadamard transform commute, so their order is free), and the
// last butterfly is folded into a maximum: |a + b| + |a - b| = 2 max(|a|, |b|),
// so each lane gathers max(|a|, |b|) and the total is doubled at the end.
//
// Every function is a member of a class template whose parameter is defined in
// the kernel file, so that what is made of it stays local to that file.
#pragma once

#ifndef KVN_ISA
#error "KVN_ISA names the instruction set of the including file (sse2 .. avx512); kvn_kernel_sources defines it"
#endif

#include <emmintrin.h>

#include <cstddef>
#include <cstdint>

#include "kvncore.h"
#include "simd/lanes.h"
#include "simd/loads.h"
#include "simd/reduce.h"

namespace kvn {
namespace KVN_ISA {
namespace satd {

// L: a lane class (simd/lanes.h) with abs_max(a, b) = max(|a|, |b|) of
// 16-bit lanes.
template <class L>
struct Hadamard {
  using V = typename L::V;

  // (a, b) <- (a + b, a - b).
  static void butterfly(V& a, V& b) {
    const V s = L::add16(a, b);
    b = L::sub16(a, b);
    a = s;
  }

  // One 4x4 block a 128-bit lane, held as [row 0 | row 1] and [row 2 | row 3]:
  // per 16-bit lane, half its cost.
  static V block4x4(V r01, V r23) {
    butterfly(r01, r23);  // [0+2 | 1+3], [0-2 | 1-3]
    V a = L::unpacklo64(r01, r23), b = L::unpackhi64(r01, r23);
    butterfly(a, b);  // the vertical transform: four rows as [p | q], [r | s]
    const V lo = L::unpacklo16(a, b), hi = L::unpackhi16(a, b);
    V c01 = L::unpacklo32(lo, hi), c23 = L::unpackhi32(lo, hi);  // [col 0 | col 1], [col 2 | col 3]
    butterfly(c01, c23);
    return L::abs_max(L::unpacklo64(c01, c23), L::unpackhi64(c01, c23));
  }

  // Two 4x4 blocks side by side a 128-bit lane (16-bit lanes 0-3 and 4-7 of
  // rows r0..r3): per 16-bit lane, half their cost.
  static V pairs4x4(V r0, V r1, V r2, V r3) {
    butterfly(r0, r1);
    butterfly(r2, r3);
    V a = L::unpacklo16(r0, r1), b = L::unpackhi16(r0, r1);  // left, right block
    V c = L::unpacklo16(r2, r3), d = L::unpackhi16(r2, r3);
    butterfly(a, c);  // the vertical transform, rows interleaved
    butterfly(b, d);
    V l01 = L::unpacklo32(a, c), l23 = L::unpackhi32(a, c);  // [col 0 | col 1], [col 2 | col 3]
    V r01 = L::unpacklo32(b, d), r23 = L::unpackhi32(b, d);
    butterfly(l01, l23);
    butterfly(r01, r23);
    return L::add16(L::abs_max(L::unpacklo64(l01, l23), L::unpackhi64(l01, l23)),
                    L::abs_max(L::unpacklo64(r01, r23), L::unpackhi64(r01, r23)));
  }

  // The horizontal 8-point transforms of two rows p and q a 128-bit lane,
  // after the vertical one: per 16-bit lane, half the cost of their 16
  // coefficients.
  static V horizontal8(V p, V q) {
    V a = L::unpacklo16(p, q), b = L::unpackhi16(p, q);
    butterfly(a, b);  // columns j and j + 4
    V c = L::unpacklo32(a, b), d = L::unpackhi32(a, b);
    butterfly(c, d);                                              // j and j + 2
    return L::abs_max(L::unpacklo64(c, d), L::unpackhi64(c, d));  // j and j + 1
  }
};

// 128-bit registers, given abs_max from A.
template <class A>
struct Xmm16 : Lanes128 {
  static V abs_max(V a, V b) { return A::abs_max(a, b); }
};

// The kernels whose rows fit 128 bits (widths 4 and 8), on 128-bit registers.
template <class A>
struct SatdXmm {
  using L = Xmm16<A>;
  using H = Hadamard<L>;
  using V = __m128i;

  static V widen(V v) { return _mm_unpacklo_epi8(v, _mm_setzero_si128()); }

  // Twice the sum of the 16-bit lanes (each at most 32767), from the sums of
  // their pairs negated (pmaddwd with -1, all ones, made without a load).
  static uint32_t doubled_sum(V v) { return doubled_from_negated(_mm_madd_epi16(v, _mm_cmpeq_epi16(v, v))); }
  static uint32_t doubled_from_negated(V s) { return 0u - 2u * hsum32(s); }

  // Differences of 8 samples of one row; of two rows of 4 as [a | b].
  static V diff8(const uint8_t* s, const uint8_t* r) { return _mm_sub_epi16(widen(load<8>(s)), widen(load<8>(r))); }
  static V diff4x2(const uint8_t* sa, const uint8_t* sb, const uint8_t* ra, const uint8_t* rb) {
    return _mm_sub_epi16(widen(_mm_unpacklo_epi32(load<4>(sa), load<4>(sb))),
                         widen(_mm_unpacklo_epi32(load<4>(ra), load<4>(rb))));
  }

  static KvnResult satd4x4(const uint8_t* src, int32_t ss, const uint8_t* ref, int32_t rs, uint32_t* cost) {
    const std::ptrdiff_t s = ss, r = rs;  // row offsets of any step
    const V r01 = diff4x2(src, src + s, ref, ref + r);
    const V r23 = diff4x2(src + 2 * s, src + 3 * s, ref + 2 * r, ref + 3 * r);
    *cost = doubled_sum(H::block4x4(r01, r23));
    return KVN_STS_OK;
  }

  // 4 wide, 8 high: the upper block in lanes 0-3, the lower one in lanes 4-7.
  static KvnResult satd4x8(const uint8_t* src, int32_t ss, const uint8_t* ref, int32_t rs, uint32_t* cost) {
    const std::ptrdiff_t s4 = 4 * std::ptrdiff_t(ss), r4 = 4 * std::ptrdiff_t(rs);
    V r[4];
    for (int y = 0; y < 4; ++y, src += ss, ref += rs) r[y] = diff4x2(src, src + s4, ref, ref + r4);
    *cost = doubled_sum(H::pairs4x4(r[0], r[1], r[2], r[3]));
    return KVN_STS_OK;
  }

  // 8 wide: strips of 8 x 4.
  template <int Height>
  static KvnResult satd8(const uint8_t* src, int32_t ss, const uint8_t* ref, int32_t rs, uint32_t* cost) {
    V sum = _mm_setzero_si128();
    for (int y = 0; y < Height; y += 4) {
      V r[4];
      for (int i = 0; i < 4; ++i, src += ss, ref += rs) r[i] = diff8(src, ref);
      sum = _mm_add_epi16(sum, H::pairs4x4(r[0], r[1], r[2], r[3]));
    }
    *cost = doubled_sum(sum);
    return KVN_STS_OK;
  }

  static KvnResult sat8x8d(const uint8_t* src, int32_t ss, const uint8_t* ref, int32_t rs, uint32_t* cost) {
    V r[8];
    for (int y = 0; y < 8; ++y, src += ss, ref += rs) r[y] = diff8(src, ref);
    for (int d = 1; d < 8; d *= 2)
      for (int i = 0; i < 8; ++i)
        if (!(i & d)) H::butterfly(r[i], r[i + d]);
    V sum = H::horizontal8(r[0], r[1]);
    for (int i = 2; i < 8; i += 2) sum = _mm_add_epi16(sum, H::horizontal8(r[i], r[i + 1]));
    *cost = doubled_sum(sum);
    return KVN_STS_OK;
  }
};

}  // namespace satd
}  // namespace KVN_ISA
}  // namespace kvn
