// The 8-point passes of the MPEG-1/2 DCT family (dct_mpeg2.h) over 16-bit
// lanes, for any lane class (simd/lanes.h): each lane is one of the
// independent 8-point transforms of a pass, the eight inputs are eight
// registers. Products and sums are 32-bit (pmaddwd on pairs of inputs), with
// the even and odd halves of the basis shared between outputs n and 7 - n:
//   inverse: y[n] = E[n] + O[n], y[7 - n] = E[n] - O[n], E from the even and O
//   from the odd frequencies;
//   forward: even frequencies from x[n] + x[7 - n], odd ones from
//   x[n] - x[7 - n] (16-bit sums, exact for the forward DCT's inputs).
// Sums wrap in 32 bits exactly as the scalar reference's do.
//
// pmaddwd takes 16-bit constants. A basis constant beyond them (the transposed
// inverse DCT's 36409..64276) is split into its low word w (signed) and a
// carry c (+-1): x * v = x * w + ((x * c) << 16). The carries only add to the
// upper half of each 32-bit sum, so they are added, in 16-bit wrapping lanes,
// to the sum's upper half once the products are shifted down by 16; a pass
// with a larger shift then shifts the 16-bit result by the rest (an exact
// identity of the wrapped 32-bit value).
#pragma once

#ifndef KVN_ISA
#error "KVN_ISA names the instruction set of the including file (sse2 .. avx512); kvn_kernel_sources defines it"
#endif

#include <immintrin.h>

#include <cstdint>

#include "mpeg2/dct_mpeg2.h"
#include "simd/lanes.h"

namespace kvn {
namespace KVN_ISA {
namespace dct_mpeg2_simd {

using dct_mpeg2::basis;
using dct_mpeg2::Pass;

// v modulo 65536 as a signed word, and what is left over in units of 65536.
constexpr int32_t low_word(int32_t v) { return int32_t(int16_t(uint16_t(uint32_t(v) & 0xffffu))); }
constexpr int32_t carry(int32_t v) { return (v - low_word(v)) / 65536; }

constexpr bool has_carries(const Pass& p) {
  for (int m = 1; m < 8; ++m)
    if (carry(p.table[m]) != 0) return true;
  return false;
}

// The 32-bit lanes of {a, b} pairs for pmaddwd on unpacked (xa, xb) words.
template <class L>
inline typename L::V pair(int32_t a, int32_t b) {
  return L::set1_32(int32_t(uint32_t(uint16_t(a)) | (uint32_t(uint16_t(b)) << 16)));
}

template <class L>
inline typename L::V carry_add(typename L::V acc, typename L::V x, int32_t c) {
  return c > 0 ? L::add16(acc, x) : c < 0 ? L::sub16(acc, x) : acc;
}

// Inverse orientation over the first K inputs (8, or 4 with x[4..7] taken as
// 0): y[n] = sat16((sum over k of x[k] B(k, n) + round) >> shift). LowOnly:
// only the lower four lanes of each 128-bit half are computed (the upper ones
// then repeat them).
template <class L, const Pass& P, int K, bool LowOnly = false>
inline void inverse_pass(const typename L::V* x, typename L::V* y) {
  using V = typename L::V;
  static_assert(K == 8 || K == 4, "8 inputs, or the first 4");
  constexpr bool kCarries = has_carries(P);
  constexpr int kShift = kCarries ? 16 : P.shift;
  constexpr int kE = K == 8 ? 4 : 2;  // partner of input 0 in the even pairs
  const V rnd = L::set1_32(P.round);
  V lo[8], hi[8];
  for (int half = 0; half < (LowOnly ? 1 : 2); ++half) {
    V* r = half ? hi : lo;
    const auto unpack = [half](V a, V b) { return half ? L::unpackhi16(a, b) : L::unpacklo16(a, b); };
    const V e0 = unpack(x[0], x[kE]), o0 = unpack(x[1], x[3]);
    V e1 = e0, o1 = o0;
    if constexpr (K == 8) {
      e1 = unpack(x[2], x[6]);
      o1 = unpack(x[5], x[7]);
    }
#pragma GCC unroll 4
    for (int n = 0; n < 4; ++n) {
      V e = L::add32(L::madd16(e0, pair<L>(basis(P.table, 0, n), basis(P.table, kE, n))), rnd);
      V o = L::madd16(o0, pair<L>(basis(P.table, 1, n), basis(P.table, 3, n)));
      if constexpr (K == 8) {
        e = L::add32(e, L::madd16(e1, pair<L>(basis(P.table, 2, n), basis(P.table, 6, n))));
        o = L::add32(o, L::madd16(o1, pair<L>(basis(P.table, 5, n), basis(P.table, 7, n))));
      }
      r[n] = L::srai32(L::add32(e, o), kShift);
      r[7 - n] = L::srai32(L::sub32(e, o), kShift);
    }
  }
#pragma GCC unroll 8
  for (int n = 0; n < 8; ++n) y[n] = L::packs32(lo[n], LowOnly ? lo[n] : hi[n]);
  if constexpr (kCarries) {
#pragma GCC unroll 4
    for (int n = 0; n < 4; ++n) {
      V ce = L::zero(), co = L::zero();
#pragma GCC unroll 8
      for (int k = 0; k < K; k += 2) ce = carry_add<L>(ce, x[k], carry(basis(P.table, k, n)));
#pragma GCC unroll 8
      for (int k = 1; k < K; k += 2) co = carry_add<L>(co, x[k], carry(basis(P.table, k, n)));
      y[n] = L::add16(y[n], L::add16(ce, co));
      y[7 - n] = L::add16(y[7 - n], L::sub16(ce, co));
      if constexpr (P.shift > 16) {
        y[n] = L::srai16(y[n], P.shift - 16);
        y[7 - n] = L::srai16(y[7 - n], P.shift - 16);
      }
    }
  }
}

// Forward orientation: y[k] = sat16((sum over n of x[n] B(k, n) + round) >>
// shift); x[n] + x[7 - n] and x[n] - x[7 - n] must fit 16 bits, and the
// table needs no carries.
template <class L, const Pass& P>
inline void forward_pass(const typename L::V* x, typename L::V* y) {
  using V = typename L::V;
  static_assert(!has_carries(P), "16-bit constants");
  const V rnd = L::set1_32(P.round);
  V s[4], d[4];
  for (int n = 0; n < 4; ++n) {
    s[n] = L::add16(x[n], x[7 - n]);
    d[n] = L::sub16(x[n], x[7 - n]);
  }
  V lo[8], hi[8];
  for (int half = 0; half < 2; ++half) {
    V* r = half ? hi : lo;
    const auto unpack = [half](V a, V b) { return half ? L::unpackhi16(a, b) : L::unpacklo16(a, b); };
    const V s01 = unpack(s[0], s[1]), s23 = unpack(s[2], s[3]);
    const V d01 = unpack(d[0], d[1]), d23 = unpack(d[2], d[3]);
#pragma GCC unroll 8
    for (int k = 0; k < 8; ++k) {
      const V a = k & 1 ? d01 : s01, b = k & 1 ? d23 : s23;
      const V sum = L::add32(L::madd16(a, pair<L>(basis(P.table, k, 0), basis(P.table, k, 1))),
                             L::madd16(b, pair<L>(basis(P.table, k, 2), basis(P.table, k, 3))));
      r[k] = L::srai32(L::add32(sum, rnd), P.shift);
    }
  }
#pragma GCC unroll 8
  for (int k = 0; k < 8; ++k) y[k] = L::packs32(lo[k], hi[k]);
}

}  // namespace dct_mpeg2_simd
}  // namespace KVN_ISA
}  // namespace kvn
