// Lane classes of the edge filters: 8-bit samples widened to 16-bit lanes,
// with the arithmetic, comparisons and masks that the deblocking filters are
// written in (templates over the class, so that one filter body serves every
// width). Lanes16x8 holds eight samples in an __m128i, Lanes16x16 sixteen in
// an __m256i (AVX2 only). A family derives from one and adds its loads,
// stores and lane expansions.
#pragma once

#ifndef KVN_ISA
#error "KVN_ISA names the instruction set of the including file (sse2 .. avx512); kvn_kernel_sources defines it"
#endif

#include <immintrin.h>

#include <cstdint>

namespace kvn {
namespace KVN_ISA {

struct Lanes16x8 {
  using V = __m128i;
  static constexpr int kLanes = 8;
  static V zero() { return _mm_setzero_si128(); }
  static V set1(int x) { return _mm_set1_epi16(int16_t(x)); }
  static V add(V a, V b) { return _mm_add_epi16(a, b); }
  static V sub(V a, V b) { return _mm_sub_epi16(a, b); }
  static V min(V a, V b) { return _mm_min_epi16(a, b); }
  static V max(V a, V b) { return _mm_max_epi16(a, b); }
  static V abs(V a) { return _mm_max_epi16(a, _mm_sub_epi16(zero(), a)); }
  template <int N>
  static V slli(V a) {
    return _mm_slli_epi16(a, N);
  }
  template <int N>
  static V srai(V a) {
    return _mm_srai_epi16(a, N);
  }
  static V lt(V a, V b) { return _mm_cmplt_epi16(a, b); }
  static V and_(V a, V b) { return _mm_and_si128(a, b); }
  static V xor_(V a, V b) { return _mm_xor_si128(a, b); }
  static V andnot(V m, V a) { return _mm_andnot_si128(m, a); }
  static V sel(V m, V a, V b) { return _mm_or_si128(_mm_and_si128(m, a), _mm_andnot_si128(m, b)); }
  static bool any(V m) { return _mm_movemask_epi8(m) != 0; }
  static bool none(V m) { return _mm_movemask_epi8(m) == 0; }
};

#if defined(__AVX2__)
struct Lanes16x16 {
  using V = __m256i;
  static constexpr int kLanes = 16;
  static V zero() { return _mm256_setzero_si256(); }
  static V set1(int x) { return _mm256_set1_epi16(int16_t(x)); }
  static V add(V a, V b) { return _mm256_add_epi16(a, b); }
  static V sub(V a, V b) { return _mm256_sub_epi16(a, b); }
  static V min(V a, V b) { return _mm256_min_epi16(a, b); }
  static V max(V a, V b) { return _mm256_max_epi16(a, b); }
  static V abs(V a) { return _mm256_abs_epi16(a); }
  template <int N>
  static V slli(V a) {
    return _mm256_slli_epi16(a, N);
  }
  template <int N>
  static V srai(V a) {
    return _mm256_srai_epi16(a, N);
  }
  static V lt(V a, V b) { return _mm256_cmpgt_epi16(b, a); }
  static V and_(V a, V b) { return _mm256_and_si256(a, b); }
  static V xor_(V a, V b) { return _mm256_xor_si256(a, b); }
  static V andnot(V m, V a) { return _mm256_andnot_si256(m, a); }
  static V sel(V m, V a, V b) { return _mm256_blendv_epi8(b, a, m); }
  static bool any(V m) { return !_mm256_testz_si256(m, m); }
  static bool none(V m) { return _mm256_testz_si256(m, m) != 0; }
};
#endif

}  // namespace KVN_ISA
}  // namespace kvn
