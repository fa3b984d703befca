// SSE2 half-sample predictions of 8 or 16 bytes a row, exact in bytes
// (ISO/IEC 14496-2 7.6.2): the row loads, the two- and four-sample averages
// and the row-by-row predictors, for every SSE2 kernel that predicts from a
// reference at a half-sample position. Include only from SSE2 files.
#pragma once

#include <emmintrin.h>

#include <cstddef>
#include <cstdint>

namespace kvn {
namespace sse2 {

using std::ptrdiff_t;

template <int W>
inline __m128i load(const uint8_t* p) {
  static_assert(W == 8 || W == 16, "row width");
  if constexpr (W == 16)
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  else
    return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p));
}

template <int W>
inline void store(uint8_t* p, __m128i v) {
  if constexpr (W == 16)
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
  else
    _mm_storel_epi64(reinterpret_cast<__m128i*>(p), v);
}

inline __m128i load16s(const int16_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }

inline const int16_t* next_row(const int16_t* p, ptrdiff_t step) {
  return reinterpret_cast<const int16_t*>(reinterpret_cast<const uint8_t*>(p) + step);
}

// (a + b + 1 - Round) >> 1 per byte.
template <int Round>
inline __m128i avg2(__m128i a, __m128i b) {
  const __m128i up = _mm_avg_epu8(a, b);
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
  __m128i h, m;

  static Quad row(__m128i a, __m128i b) {
    const __m128i one = _mm_set1_epi8(1);
    const __m128i p = _mm_and_si128(_mm_xor_si128(a, b), one);
    const __m128i up = _mm_avg_epu8(a, b);
    if constexpr (Round == 0) return {up, p};
    return {_mm_sub_epi8(up, p), _mm_xor_si128(p, one)};
  }

  static __m128i average(const Quad& t, const Quad& u) {
    const __m128i m = Round == 0 ? _mm_or_si128(t.m, u.m) : _mm_and_si128(t.m, u.m);
    return _mm_sub_epi8(_mm_avg_epu8(t.h, u.h), _mm_and_si128(m, _mm_xor_si128(t.h, u.h)));
  }
};

// Rows of a half-sample prediction (block_pred.h), top to bottom; the row
// above is kept for the vertical codes, so each reference row is read once.
template <int W, int Code, int Round, int Dx>
class Predictor {
 public:
  Predictor(const uint8_t* ref, ptrdiff_t step) : r_(ref), s_(step) {
    if constexpr (Code == 2) prev_ = load<W>(advance());
    if constexpr (Code == 3) quad_ = quad(advance());
  }

  __m128i next() {
    const uint8_t* r = advance();
    if constexpr (Code == 0) return load<W>(r);
    if constexpr (Code == 1) return avg2<Round>(load<W>(r), load<W>(r + Dx));
    if constexpr (Code == 2) {
      const __m128i cur = load<W>(r);
      const __m128i out = avg2<Round>(prev_, cur);
      prev_ = cur;
      return out;
    }
    if constexpr (Code == 3) {
      const Quad<Round> cur = quad(r);
      const __m128i out = Quad<Round>::average(quad_, cur);
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
  static Quad<Round> quad(const uint8_t* r) { return Quad<Round>::row(load<W>(r), load<W>(r + Dx)); }

  const uint8_t* r_;
  ptrdiff_t s_;
  __m128i prev_;
  Quad<Round> quad_;
};

// The average (rounded up) of a forward and a backward prediction.
template <int W, int CodeF, int CodeB, int Round, int Dx>
class BiPredictor {
 public:
  BiPredictor(const uint8_t* rf, ptrdiff_t fs, const uint8_t* rb, ptrdiff_t bs) : f_(rf, fs), b_(rb, bs) {}
  __m128i next() { return _mm_avg_epu8(f_.next(), b_.next()); }

 private:
  Predictor<W, CodeF, Round, Dx> f_;
  Predictor<W, CodeB, Round, Dx> b_;
};

}  // namespace sse2
}  // namespace kvn
