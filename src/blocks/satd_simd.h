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

#include <immintrin.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "kvncore.h"
#include "satd.h"
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

#if defined(__SSE4_1__)
// ---- 8-bit rows through pmaddubsw ------------------------------------------------
//
// pmaddubsw multiplies unsigned bytes by signed bytes and adds the two products
// of each byte pair into a 16-bit lane. Against the pairs (+1, +1) it gives
// x0 + x1, against (+1, -1) x0 - x1: the first horizontal butterfly (columns 0
// with 1 and 2 with 3 of each 4-sample row) together with the widening. Done on
// source and reference apart, the difference of the results is that butterfly
// of d: (s0 + s1) - (r0 + r1) = d0 + d1.
//
// Its pairs are the adjacent 16-bit lanes a_2j = c0 + c1 and a_2j+1 = c2 + c3
// (and the same of c0 - c1, c2 - c3) of each 4-sample row, the two halves of a
// 32-bit lane. Registers hold the four rows of the 4x4 blocks they cover at the
// same positions, so the vertical transform is four butterflies of whole
// registers; the remaining horizontal butterfly is folded into the maximum
// within each 32-bit lane (satd_simd.h top: |a + b| + |a - b| = 2 max(|a|, |b|)).

// L: a lane class with maddubs, abs16, max16, srli32.
template <class L>
struct Pairs {
  using V = typename L::V;

  static void butterfly(V& a, V& b) { Hadamard<L>::butterfly(a, b); }

  // Per 32-bit lane [a | b]: max(|a|, |b|) in the low 16 bits (the high 16
  // bits keep |b|, which the final sum masks off).
  static V fold(V v) {
    v = L::abs16(v);
    return L::max16(v, L::srli32(v, 16));
  }

  // Rows 0-3 of 4x4 blocks after the first butterfly: the vertical transform,
  // then the fold. Each low 16-bit lane gets half the cost of the coefficients
  // it covers, at most 8 * 255 (four rows of two-sample sums).
  static V rows4(V r0, V r1, V r2, V r3) {
    butterfly(r0, r1);
    butterfly(r2, r3);
    butterfly(r0, r2);
    butterfly(r1, r3);
    return L::add16(L::add16(fold(r0), fold(r1)), L::add16(fold(r2), fold(r3)));
  }
};

// 128-bit registers with the SSSE3 operations Pairs needs.
struct XmmPairs : Lanes128 {
  static V abs16(V a) { return _mm_abs_epi16(a); }
  static V max16(V a, V b) { return _mm_max_epi16(a, b); }
  static V srli32(V a, int n) { return _mm_srli_epi32(a, n); }
};

// Twice the sum of the low 16 bits of the 32-bit lanes.
inline uint32_t doubled_low_sum(__m128i v) { return 2 * hsum32(_mm_and_si128(v, _mm_set1_epi32(0xffff))); }

// [a b a b] of the 4 bytes at a and at b: pinsrd puts b next to a, pshufd
// repeats the pair. (Two vpbroadcastd loads blended measured slower.)
struct Dup4x2 {
  static __m128i dup4x2(const uint8_t* a, const uint8_t* b) {
    int32_t v;
    std::memcpy(&v, b, 4);
    return _mm_shuffle_epi32(_mm_insert_epi32(load<4>(a), v, 1), _MM_SHUFFLE(1, 0, 1, 0));
  }
};

// The kernels of rows of 4 and 8 samples, and of 16 samples on 128-bit
// registers. D provides dup4x2(a, b): the 4 bytes at a and at b as
// [a b a b].
template <class D = Dup4x2>
struct PairsXmm {
  using L = XmmPairs;
  using P = Pairs<L>;
  using V = __m128i;

  // Against [x0 .. x7 | x0 .. x7]: [x0 + x1, x2 + x3, x4 + x5, x6 + x7 |
  // x0 - x1, .., x6 - x7].
  static V sum_diff8() { return _mm_setr_epi8(1, 1, 1, 1, 1, 1, 1, 1, 1, -1, 1, -1, 1, -1, 1, -1); }

  // 8 bytes in both halves (movddup loads and duplicates at once).
  static V dup8(const uint8_t* p) { return _mm_castpd_si128(_mm_movedup_pd(_mm_castsi128_pd(load<8>(p)))); }

  static V pair_diff(V s, V r, V k) { return _mm_sub_epi16(_mm_maddubs_epi16(s, k), _mm_maddubs_epi16(r, k)); }

  // A row of 8 as [sums | differences] of its pairs.
  static V row8(const uint8_t* s, const uint8_t* r, V k) { return pair_diff(dup8(s), dup8(r), k); }

  // Rows a and b of 4 as [a sums, b sums | a differences, b differences].
  static V rows4x2(const uint8_t* sa, const uint8_t* sb, const uint8_t* ra, const uint8_t* rb, V k) {
    return pair_diff(D::dup4x2(sa, sb), D::dup4x2(ra, rb), k);
  }

  static KvnResult satd4x4(const uint8_t* src, int32_t ss, const uint8_t* ref, int32_t rs, uint32_t* cost) {
    const std::ptrdiff_t s = ss, r = rs;
    const V k = sum_diff8();
    V x01 = rows4x2(src, src + s, ref, ref + r, k);
    V x23 = rows4x2(src + 2 * s, src + 3 * s, ref + 2 * r, ref + 3 * r, k);
    P::butterfly(x01, x23);  // rows 0 and 2, 1 and 3
    // Rows 0 and 1 (2 and 3) are neighbouring 32-bit lanes: shufps brings
    // them into the same lanes of two registers for the last vertical butterfly.
    const __m128 a = _mm_castsi128_ps(x01), b = _mm_castsi128_ps(x23);
    V p = _mm_castps_si128(_mm_shuffle_ps(a, b, _MM_SHUFFLE(2, 0, 2, 0)));
    V q = _mm_castps_si128(_mm_shuffle_ps(a, b, _MM_SHUFFLE(3, 1, 3, 1)));
    P::butterfly(p, q);
    *cost = doubled_low_sum(_mm_add_epi16(P::fold(p), P::fold(q)));
    return KVN_STS_OK;
  }

  // 4 wide, 8 high: rows k and k + 4 share a register, so the upper block
  // takes the first and third 32-bit lanes, the lower one the others.
  static KvnResult satd4x8(const uint8_t* src, int32_t ss, const uint8_t* ref, int32_t rs, uint32_t* cost) {
    const std::ptrdiff_t s4 = 4 * std::ptrdiff_t(ss), r4 = 4 * std::ptrdiff_t(rs);
    const V k = sum_diff8();
    V x[4];
    for (int y = 0; y < 4; ++y, src += ss, ref += rs) x[y] = rows4x2(src, src + s4, ref, ref + r4, k);
    *cost = doubled_low_sum(P::rows4(x[0], x[1], x[2], x[3]));
    return KVN_STS_OK;
  }

  // 8 wide: strips of 8 x 4, a row a register.
  template <int Height>
  static KvnResult satd8(const uint8_t* src, int32_t ss, const uint8_t* ref, int32_t rs, uint32_t* cost) {
    const V k = sum_diff8();
    V sum = _mm_setzero_si128();
    for (int y = 0; y < Height; y += 4) {
      V x[4];
      for (int i = 0; i < 4; ++i, src += ss, ref += rs) x[i] = row8(src, ref, k);
      sum = _mm_add_epi16(sum, P::rows4(x[0], x[1], x[2], x[3]));
    }
    *cost = doubled_low_sum(sum);
    return KVN_STS_OK;
  }

  // 16 wide: a row as the sums (against (+1, +1)) and the differences
  // (against (+1, -1)) of its 8 pairs, summed apart (each sum takes at most
  // 16 folds of 8 * 255).
  template <int Height>
  static KvnResult satd16(const uint8_t* src, int32_t ss, const uint8_t* ref, int32_t rs, uint32_t* cost) {
    const V plus = _mm_set1_epi8(1), minus = _mm_set1_epi16(-255);  // -255: the bytes +1, -1
    V sums = _mm_setzero_si128(), diffs = sums;
    for (int y = 0; y < Height; y += 4) {
      V a[4], b[4];
      for (int i = 0; i < 4; ++i, src += ss, ref += rs) {
        const V s = load<16>(src), r = load<16>(ref);
        a[i] = pair_diff(s, r, plus);
        b[i] = pair_diff(s, r, minus);
      }
      sums = _mm_add_epi16(sums, P::rows4(a[0], a[1], a[2], a[3]));
      diffs = _mm_add_epi16(diffs, P::rows4(b[0], b[1], b[2], b[3]));
    }
    const V mask = _mm_set1_epi32(0xffff);
    *cost = 2 * hsum32(_mm_add_epi32(_mm_and_si128(sums, mask), _mm_and_si128(diffs, mask)));
    return KVN_STS_OK;
  }

  // 8x8 Hadamard: a row a register as [a0 a1 a2 a3 | b0 b1 b2 b3] (a_j, b_j the
  // sum and difference of columns 2j and 2j + 1); the vertical transform on
  // whole registers; then for each two rows, shufps pairs a0 a1 with a2 a3 (b
  // likewise) across two registers for the butterfly of columns j and j + 2
  // (in pair terms), and the fold does the one of pairs 0 and 1. Each 16-bit
  // lane sums half the magnitudes of 16 coefficients, at most 4 times the root
  // of their energy, 4 * 8 * 8 * 255 / 2 = 32640: exact.
  static KvnResult sat8x8d(const uint8_t* src, int32_t ss, const uint8_t* ref, int32_t rs, uint32_t* cost) {
    const V k = sum_diff8();
    V x[8];
    for (int y = 0; y < 8; ++y, src += ss, ref += rs) x[y] = row8(src, ref, k);
    for (int d = 1; d < 8; d *= 2)
      for (int i = 0; i < 8; ++i)
        if (!(i & d)) P::butterfly(x[i], x[i + d]);
    V sum = _mm_setzero_si128();
    for (int i = 0; i < 8; i += 2) {
      const __m128 a = _mm_castsi128_ps(x[i]), b = _mm_castsi128_ps(x[i + 1]);
      V p = _mm_castps_si128(_mm_shuffle_ps(a, b, _MM_SHUFFLE(2, 0, 2, 0)));
      V q = _mm_castps_si128(_mm_shuffle_ps(a, b, _MM_SHUFFLE(3, 1, 3, 1)));
      P::butterfly(p, q);
      sum = _mm_add_epi16(sum, _mm_add_epi16(P::fold(p), P::fold(q)));
    }
    *cost = doubled_low_sum(sum);
    return KVN_STS_OK;
  }
};
#endif

// The slots of rows of 4 and 8 samples and of SAT8x8D from a kernel class X
// (SatdXmm or PairsXmm); a level puts its wider kernels in afterwards.
template <class X>
constexpr void put_narrow(SatdKernels& k) {
  k.satd[kSatd4x4] = X::satd4x4;
  k.satd[kSatd4x8] = X::satd4x8;
  k.satd[kSatd8x4] = X::template satd8<4>;
  k.satd[kSatd8x8] = X::template satd8<8>;
  k.satd[kSatd8x16] = X::template satd8<16>;
  k.sat8x8d = X::sat8x8d;
}

}  // namespace satd
}  // namespace KVN_ISA
}  // namespace kvn
