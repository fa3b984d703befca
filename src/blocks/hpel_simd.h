// Half-sample predictions (ISO/IEC 14496-2 7.6.2) for every SIMD kernel that
// predicts from a reference at a half-sample position: the row-by-row
// predictors, written once over a lane class L that holds a row of
// predicted samples and forms the averages:
//   Bytes<W> (SSE2 instructions): rows of W = 4, 8 or 16 bytes, exact in
//     bytes;
//   Words (AVX2): rows of 16 samples in 16-bit lanes.
// L provides V, row(p) (the row at p), avg2<Round>(a, b) = (a + b + 1 -
// Round) >> 1, Quad<Round> (what a row keeps for the four-sample average:
// row(a, b) of its two samples, average(t, u) of two rows) and up(a, b)
// = (a + b + 1) >> 1.
#pragma once

#ifndef KVN_ISA
#error "KVN_ISA names the instruction set of the including file (sse2 .. avx512); kvn_kernel_sources defines it"
#endif

#include <immintrin.h>

#include <cstddef>
#include <cstdint>

#include "simd/loads.h"

namespace kvn {
namespace KVN_ISA {
namespace hpel {

using std::ptrdiff_t;

inline const int16_t* next_row(const int16_t* p, ptrdiff_t step) {
  return reinterpret_cast<const int16_t*>(reinterpret_cast<const uint8_t*>(p) + step);
}

// Rows of W bytes, averaged in bytes.
template <int W>
struct Bytes {
  using V = __m128i;

  static V row(const uint8_t* p) { return load<W>(p); }

  template <int Round>
  static V avg2(V a, V b) {
    const V up = _mm_avg_epu8(a, b);
    if constexpr (Round == 0) return up;
    return _mm_sub_epi8(up, _mm_and_si128(_mm_xor_si128(a, b), _mm_set1_epi8(1)));
  }

  // One row's share of the four-sample average of (a, b) over (c, d): with
  // p = (a ^ b) & 1 and h = pavgb(a, b),
  //   rounding 0: (s + 2) >> 2 = pavgb(h1, h2) - ((p1 | p2) & (h1 ^ h2) & 1);
  //   rounding 1: with l = h - p (the average rounded down) and q = p ^ 1,
  //               (s + 1) >> 2 = pavgb(l1, l2) - (q1 & q2 & (l1 ^ l2)).
  // (Both follow from pavgb(h1, h2) = (s + p1 + p2 + 2) >> 2 and were checked
  // for all 2^32 inputs.) The mask m holds p or q, already reduced to bit 0.
  template <int Round>
  struct Quad {
    V h, m;

    static Quad row(V a, V b) {
      const V one = _mm_set1_epi8(1);
      const V p = _mm_and_si128(_mm_xor_si128(a, b), one);
      const V up = _mm_avg_epu8(a, b);
      if constexpr (Round == 0) return {up, p};
      return {_mm_sub_epi8(up, p), _mm_xor_si128(p, one)};
    }

    static V average(const Quad& t, const Quad& u) {
      const V m = Round == 0 ? _mm_or_si128(t.m, u.m) : _mm_and_si128(t.m, u.m);
      return _mm_sub_epi8(_mm_avg_epu8(t.h, u.h), _mm_and_si128(m, _mm_xor_si128(t.h, u.h)));
    }
  };

  static V up(V a, V b) { return _mm_avg_epu8(a, b); }
};

#if defined(__AVX2__)
// Rows of 16 samples in 16-bit lanes: the four-sample average is a plain sum
// with one rounding step. A row keeps its horizontal pair sum s = s1 (s2 the
// next row's): (s + 2) >> 2 is mulhrs(s, 2^13) (which computes
// ((s * 2^13 >> 14) + 1) >> 1), and (s + 1) >> 2 is pavgw(s1, s2) >> 1.
struct Words {
  using V = __m256i;

  static V row(const uint8_t* p) { return load_widen(p); }

  template <int Round>
  static V avg2(V a, V b) {
    if constexpr (Round == 0) return _mm256_avg_epu16(a, b);
    return _mm256_srli_epi16(_mm256_add_epi16(a, b), 1);
  }

  template <int Round>
  struct Quad {
    V s;

    static Quad row(V a, V b) { return {_mm256_add_epi16(a, b)}; }
    static V average(const Quad& t, const Quad& u) {
      if constexpr (Round == 0) return _mm256_mulhrs_epi16(_mm256_add_epi16(t.s, u.s), _mm256_set1_epi16(1 << 13));
      return _mm256_srli_epi16(_mm256_avg_epu16(t.s, u.s), 1);
    }
  };

  static V up(V a, V b) { return _mm256_avg_epu16(a, b); }
};
#endif

// Rows of a half-sample prediction (block_pred.h), top to bottom; the row
// above is kept for the vertical codes, so each reference row is read once.
template <class L, int Code, int Round, int Dx>
class Predictor {
  using V = typename L::V;
  using Quad = typename L::template Quad<Round>;

 public:
  Predictor(const uint8_t* ref, ptrdiff_t step) : r_(ref), s_(step) {
    if constexpr (Code == 2) prev_ = L::row(advance());
    if constexpr (Code == 3) quad_ = quad(advance());
  }

  V next() {
    const uint8_t* r = advance();
    if constexpr (Code == 0) return L::row(r);
    if constexpr (Code == 1) return L::template avg2<Round>(L::row(r), L::row(r + Dx));
    if constexpr (Code == 2) {
      const V cur = L::row(r);
      const V out = L::template avg2<Round>(prev_, cur);
      prev_ = cur;
      return out;
    }
    if constexpr (Code == 3) {
      const Quad cur = quad(r);
      const V out = Quad::average(quad_, cur);
      quad_ = cur;
      return out;
    }
  }

 private:
  const uint8_t* advance() {
    const uint8_t* r = r_;
    r_ += s_;
    return r;
  }
  static Quad quad(const uint8_t* r) { return Quad::row(L::row(r), L::row(r + Dx)); }

  const uint8_t* r_;
  ptrdiff_t s_;
  V prev_;
  Quad quad_;
};

// The average (rounded up) of a forward and a backward prediction.
template <class L, int CodeF, int CodeB, int Round, int Dx>
class BiPredictor {
 public:
  BiPredictor(const uint8_t* rf, ptrdiff_t fs, const uint8_t* rb, ptrdiff_t bs) : f_(rf, fs), b_(rb, bs) {}
  typename L::V next() { return L::up(f_.next(), b_.next()); }

 private:
  Predictor<L, CodeF, Round, Dx> f_;
  Predictor<L, CodeB, Round, Dx> b_;
};

}  // namespace hpel
}  // namespace KVN_ISA
}  // namespace kvn
