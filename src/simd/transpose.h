// Transposes of small blocks held a row per register. L is a lane class
// (lanes.h, or one derived from it): with Lanes256 each 128-bit half holds a
// block of its own and is transposed apart from the other.
#pragma once

#ifndef KVN_ISA
#error "KVN_ISA names the instruction set of the including file (sse2 .. avx512); kvn_kernel_sources defines it"
#endif

#include <immintrin.h>

#include "simd/lanes.h"

namespace kvn {
namespace KVN_ISA {

// Rows of 4 int32 to columns, and back.
template <class L, class V = typename L::V>
inline void transpose4x4_32(V& a, V& b, V& c, V& d) {
  const V ab0 = L::unpacklo32(a, b), ab1 = L::unpackhi32(a, b);
  const V cd0 = L::unpacklo32(c, d), cd1 = L::unpackhi32(c, d);
  a = L::unpacklo64(ab0, cd0);
  b = L::unpackhi64(ab0, cd0);
  c = L::unpacklo64(ab1, cd1);
  d = L::unpackhi64(ab1, cd1);
}

// r[0..7]: 8 rows of 8 int16 in, 8 columns out.
template <class L, class V = typename L::V>
[[gnu::always_inline]] inline void transpose8x8_16(V* r) {
  const V a0 = L::unpacklo16(r[0], r[1]), a1 = L::unpackhi16(r[0], r[1]);
  const V a2 = L::unpacklo16(r[2], r[3]), a3 = L::unpackhi16(r[2], r[3]);
  const V a4 = L::unpacklo16(r[4], r[5]), a5 = L::unpackhi16(r[4], r[5]);
  const V a6 = L::unpacklo16(r[6], r[7]), a7 = L::unpackhi16(r[6], r[7]);
  const V b0 = L::unpacklo32(a0, a2), b1 = L::unpackhi32(a0, a2);
  const V b2 = L::unpacklo32(a1, a3), b3 = L::unpackhi32(a1, a3);
  const V b4 = L::unpacklo32(a4, a6), b5 = L::unpackhi32(a4, a6);
  const V b6 = L::unpacklo32(a5, a7), b7 = L::unpackhi32(a5, a7);
  r[0] = L::unpacklo64(b0, b4);
  r[1] = L::unpackhi64(b0, b4);
  r[2] = L::unpacklo64(b1, b5);
  r[3] = L::unpackhi64(b1, b5);
  r[4] = L::unpacklo64(b2, b6);
  r[5] = L::unpackhi64(b2, b6);
  r[6] = L::unpacklo64(b3, b7);
  r[7] = L::unpackhi64(b3, b7);
}

// r[0..7]: 8 rows of 8 bytes (the low halves) in, 8 columns out.
inline void transpose8x8_8(__m128i* r) {
  const __m128i a0 = _mm_unpacklo_epi8(r[0], r[1]), a1 = _mm_unpacklo_epi8(r[2], r[3]);
  const __m128i a2 = _mm_unpacklo_epi8(r[4], r[5]), a3 = _mm_unpacklo_epi8(r[6], r[7]);
  const __m128i b0 = _mm_unpacklo_epi16(a0, a1), b1 = _mm_unpackhi_epi16(a0, a1);
  const __m128i b2 = _mm_unpacklo_epi16(a2, a3), b3 = _mm_unpackhi_epi16(a2, a3);
  const __m128i c[4] = {_mm_unpacklo_epi32(b0, b2), _mm_unpackhi_epi32(b0, b2), _mm_unpacklo_epi32(b1, b3),
                        _mm_unpackhi_epi32(b1, b3)};
  for (int k = 0; k < 4; ++k) {
    r[2 * k] = c[k];
    r[2 * k + 1] = _mm_unpackhi_epi64(c[k], c[k]);
  }
}

}  // namespace KVN_ISA
}  // namespace kvn
