// The 16-bit Hadamard butterflies of the SIMD kernels of the Hadamard costs,
// written once for every vector width and instruction set. Include only from
// the SIMD kernel files (satd_sse2.cpp, satd_avx2.cpp).
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
// the kernel file of one instruction set, so that each set gets its own copy,
// compiled with its own flags.
#pragma once

#include <emmintrin.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "kvncore.h"

namespace kvn {

// L: the vector type V and, per 128-bit lane, add and sub (16-bit), the
// interleaves lo16/hi16, lo32/hi32, lo64/hi64, and abs_max(a, b) = max(|a|, |b|).
template <class L>
struct Hadamard {
  using V = typename L::V;

  // (a, b) <- (a + b, a - b).
  static void butterfly(V& a, V& b) {
    const V s = L::add(a, b);
    b = L::sub(a, b);
    a = s;
  }

  // One 4x4 block a 128-bit lane, held as [row 0 | row 1] and [row 2 | row 3]:
  // per 16-bit lane, half its cost.
  static V block4x4(V r01, V r23) {
    butterfly(r01, r23);  // [0+2 | 1+3], [0-2 | 1-3]
    V a = L::lo64(r01, r23), b = L::hi64(r01, r23);
    butterfly(a, b);  // the vertical transform: four rows as [p | q], [r | s]
    const V lo = L::lo16(a, b), hi = L::hi16(a, b);
    V c01 = L::lo32(lo, hi), c23 = L::hi32(lo, hi);  // [col 0 | col 1], [col 2 | col 3]
    butterfly(c01, c23);
    return L::abs_max(L::lo64(c01, c23), L::hi64(c01, c23));
  }

  // Two 4x4 blocks side by side a 128-bit lane (16-bit lanes 0-3 and 4-7 of
  // rows r0..r3): per 16-bit lane, half their cost.
  static V pairs4x4(V r0, V r1, V r2, V r3) {
    butterfly(r0, r1);
    butterfly(r2, r3);
    V a = L::lo16(r0, r1), b = L::hi16(r0, r1);  // left, right block
    V c = L::lo16(r2, r3), d = L::hi16(r2, r3);
    butterfly(a, c);  // the vertical transform, rows interleaved
    butterfly(b, d);
    V l01 = L::lo32(a, c), l23 = L::hi32(a, c);  // [col 0 | col 1], [col 2 | col 3]
    V r01 = L::lo32(b, d), r23 = L::hi32(b, d);
    butterfly(l01, l23);
    butterfly(r01, r23);
    return L::add(L::abs_max(L::lo64(l01, l23), L::hi64(l01, l23)), L::abs_max(L::lo64(r01, r23), L::hi64(r01, r23)));
  }

  // The horizontal 8-point transforms of two rows p and q a 128-bit lane,
  // after the vertical one: per 16-bit lane, half the cost of their 16
  // coefficients.
  static V horizontal8(V p, V q) {
    V a = L::lo16(p, q), b = L::hi16(p, q);
    butterfly(a, b);  // columns j and j + 4
    V c = L::lo32(a, b), d = L::hi32(a, b);
    butterfly(c, d);                                  // j and j + 2
    return L::abs_max(L::lo64(c, d), L::hi64(c, d));  // j and j + 1
  }
};

// The operations of Hadamard but abs_max, for the vector type Vec whose
// intrinsics begin with Prefix (_mm, _mm256).
#define KVN_HADAMARD_LANES(Vec, Prefix)                             \
  using V = Vec;                                                    \
  static V add(V a, V b) { return Prefix##_add_epi16(a, b); }       \
  static V sub(V a, V b) { return Prefix##_sub_epi16(a, b); }       \
  static V lo16(V a, V b) { return Prefix##_unpacklo_epi16(a, b); } \
  static V hi16(V a, V b) { return Prefix##_unpackhi_epi16(a, b); } \
  static V lo32(V a, V b) { return Prefix##_unpacklo_epi32(a, b); } \
  static V hi32(V a, V b) { return Prefix##_unpackhi_epi32(a, b); } \
  static V lo64(V a, V b) { return Prefix##_unpacklo_epi64(a, b); } \
  static V hi64(V a, V b) { return Prefix##_unpackhi_epi64(a, b); }

// 128-bit registers, given abs_max from A.
template <class A>
struct Xmm16 {
  KVN_HADAMARD_LANES(__m128i, _mm)
  static V abs_max(V a, V b) { return A::abs_max(a, b); }
};

// The kernels whose rows fit 128 bits (widths 4 and 8), on 128-bit registers.
template <class A>
struct SatdXmm {
  using L = Xmm16<A>;
  using H = Hadamard<L>;
  using V = __m128i;

  static V load4(const uint8_t* p) {
    int32_t v;
    std::memcpy(&v, p, 4);
    return _mm_cvtsi32_si128(v);
  }
  static V widen(V v) { return _mm_unpacklo_epi8(v, _mm_setzero_si128()); }

  // Twice the sum of the 16-bit lanes (each at most 32767), from the sums of
  // their pairs negated (pmaddwd with -1, all ones, made without a load).
  static uint32_t doubled_sum(V v) { return doubled_from_negated(_mm_madd_epi16(v, _mm_cmpeq_epi16(v, v))); }
  static uint32_t doubled_from_negated(V s) { return 0u - 2u * sum32(s); }

  // Sum of the 32-bit lanes, modulo 2^32.
  static uint32_t sum32(V s) {
    s = _mm_add_epi32(s, _mm_shuffle_epi32(s, _MM_SHUFFLE(1, 0, 3, 2)));
    s = _mm_add_epi32(s, _mm_shuffle_epi32(s, _MM_SHUFFLE(2, 3, 0, 1)));
    return uint32_t(_mm_cvtsi128_si32(s));
  }

  // Differences of 8 samples of one row; of two rows of 4 as [a | b].
  static V diff8(const uint8_t* s, const uint8_t* r) {
    return _mm_sub_epi16(widen(_mm_loadl_epi64(reinterpret_cast<const V*>(s))),
                         widen(_mm_loadl_epi64(reinterpret_cast<const V*>(r))));
  }
  static V diff4x2(const uint8_t* sa, const uint8_t* sb, const uint8_t* ra, const uint8_t* rb) {
    return _mm_sub_epi16(widen(_mm_unpacklo_epi32(load4(sa), load4(sb))),
                         widen(_mm_unpacklo_epi32(load4(ra), load4(rb))));
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

}  // namespace kvn
