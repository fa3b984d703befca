// AVX2 half-sample predictions of 16 samples a row in 16-bit lanes, for
// every AVX2 kernel that predicts from a reference at a half-sample position.
// Include only from AVX2 files.
#pragma once

#include <immintrin.h>

#include <cstddef>
#include <cstdint>

namespace kvn {
namespace avx2 {

using std::ptrdiff_t;

// 16 bytes at p, zero-extended to 16-bit lanes.
inline __m256i widen(const uint8_t* p) {
  return _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
}

inline __m128i load128(const void* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }

inline const int16_t* next_row(const int16_t* p, ptrdiff_t step) {
  return reinterpret_cast<const int16_t*>(reinterpret_cast<const uint8_t*>(p) + step);
}

// Rows r0 and r1 of 16-bit samples, saturated to bytes: r0 in the low half.
inline __m256i pack_rows(__m256i r0, __m256i r1) { return _mm256_permute4x64_epi64(_mm256_packus_epi16(r0, r1), 0xd8); }

inline __m256i load_rows(const uint8_t* d0, const uint8_t* d1) {
  return _mm256_inserti128_si256(_mm256_castsi128_si256(load128(d0)), load128(d1), 1);
}

inline void store_rows(uint8_t* d0, uint8_t* d1, __m256i v) {
  _mm_storeu_si128(reinterpret_cast<__m128i*>(d0), _mm256_castsi256_si128(v));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(d1), _mm256_extracti128_si256(v, 1));
}

// (a + b + 1 - Round) >> 1 per 16-bit lane.
template <int Round>
inline __m256i avg2(__m256i a, __m256i b) {
  if constexpr (Round == 0) return _mm256_avg_epu16(a, b);
  return _mm256_srli_epi16(_mm256_add_epi16(a, b), 1);
}

// Rows of a 16-sample half-sample prediction (block_pred.h) in 16-bit lanes.
// The vertical codes keep the row above (code 3: its horizontal pair sum).
// The four-sample sum s = s1 + s2 is rounded in two operations: (s + 2) >> 2
// is mulhrs(s, 2^13) (which computes ((s * 2^13 >> 14) + 1) >> 1), and
// (s + 1) >> 2 is pavgw(s1, s2) >> 1.
template <int Code, int Round, int Dx>
class Predictor {
 public:
  Predictor(const uint8_t* ref, ptrdiff_t step) : r_(ref), s_(step) {
    if constexpr (Code == 2) prev_ = widen(advance());
    if constexpr (Code == 3) prev_ = pair_sum(advance());
  }

  __m256i next() {
    const uint8_t* r = advance();
    if constexpr (Code == 0) return widen(r);
    if constexpr (Code == 1) return avg2<Round>(widen(r), widen(r + Dx));
    if constexpr (Code == 2) {
      const __m256i cur = widen(r);
      const __m256i out = avg2<Round>(prev_, cur);
      prev_ = cur;
      return out;
    }
    if constexpr (Code == 3) {
      const __m256i cur = pair_sum(r);
      const __m256i out = Round == 0 ? _mm256_mulhrs_epi16(_mm256_add_epi16(prev_, cur), _mm256_set1_epi16(1 << 13))
                                     : _mm256_srli_epi16(_mm256_avg_epu16(prev_, cur), 1);
      prev_ = cur;
      return out;
    }
  }

 private:
  const uint8_t* advance() {
    const uint8_t* r = r_;
    r_ += s_;
    return r;
  }
  static __m256i pair_sum(const uint8_t* r) { return _mm256_add_epi16(widen(r), widen(r + Dx)); }

  const uint8_t* r_;
  ptrdiff_t s_;
  __m256i prev_;
};

// The average (rounded up) of a forward and a backward prediction.
template <int CodeF, int CodeB, int Round, int Dx>
class BiPredictor {
 public:
  BiPredictor(const uint8_t* rf, ptrdiff_t fs, const uint8_t* rb, ptrdiff_t bs) : f_(rf, fs), b_(rb, bs) {}
  __m256i next() { return _mm256_avg_epu16(f_.next(), b_.next()); }

 private:
  Predictor<CodeF, Round, Dx> f_;
  Predictor<CodeB, Round, Dx> b_;
};

}  // namespace avx2
}  // namespace kvn
