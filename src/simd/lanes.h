// Integer lane operations of one vector width, as static members of a class:
// Lanes128 on __m128i, Lanes256 on __m256i (AVX2 only) and Lanes512 on
// __m512i (AVX-512 BW only; the unpacks and packs of both work within each
// 128-bit lane, as the instructions do). Code written once
// for several widths takes such a class as a template parameter (the lane
// class), or a class derived from one that adds what its family needs.
// Shared templates that make whole kernels are instantiated with a class of
// the kernel file's anonymous namespace (derived from a shared one if need
// be), so that the kernels stay local to the file and are inlined as local
// code is.
//
// Names: the operation, then the lane width in bits (u: unsigned lanes);
// and_, xor_ bitwise; shifts by a count known at the call (n) or held in a
// register (count). Operations beyond SSE2 exist only where the file is
// compiled for them.
#pragma once

#ifndef KVN_ISA
#error "KVN_ISA names the instruction set of the including file (sse2 .. avx512); kvn_kernel_sources defines it"
#endif

#include <immintrin.h>

#include <cstdint>

namespace kvn {
namespace KVN_ISA {

struct Lanes128 {
  using V = __m128i;
  static constexpr int kBytes = 16;

  static V zero() { return _mm_setzero_si128(); }
  static V set1_16(int x) { return _mm_set1_epi16(int16_t(x)); }
  static V set1_32(int32_t x) { return _mm_set1_epi32(x); }
  static V and_(V a, V b) { return _mm_and_si128(a, b); }
  static V xor_(V a, V b) { return _mm_xor_si128(a, b); }
  static V add16(V a, V b) { return _mm_add_epi16(a, b); }
  static V sub16(V a, V b) { return _mm_sub_epi16(a, b); }
  static V adds16(V a, V b) { return _mm_adds_epi16(a, b); }
  static V subs16(V a, V b) { return _mm_subs_epi16(a, b); }
  static V add32(V a, V b) { return _mm_add_epi32(a, b); }
  static V sub32(V a, V b) { return _mm_sub_epi32(a, b); }
  static V mullo16(V a, V b) { return _mm_mullo_epi16(a, b); }
  static V mulhi16(V a, V b) { return _mm_mulhi_epi16(a, b); }
  static V mulhi_u16(V a, V b) { return _mm_mulhi_epu16(a, b); }
  static V madd16(V a, V b) { return _mm_madd_epi16(a, b); }
  static V avg_u16(V a, V b) { return _mm_avg_epu16(a, b); }
  static V srai16(V a, int n) { return _mm_srai_epi16(a, n); }
  static V srai32(V a, int n) { return _mm_srai_epi32(a, n); }
  static V slli32(V a, int n) { return _mm_slli_epi32(a, n); }
  static V sra32(V a, __m128i count) { return _mm_sra_epi32(a, count); }
  static V unpacklo8(V a, V b) { return _mm_unpacklo_epi8(a, b); }
  static V unpackhi8(V a, V b) { return _mm_unpackhi_epi8(a, b); }
  static V unpacklo16(V a, V b) { return _mm_unpacklo_epi16(a, b); }
  static V unpackhi16(V a, V b) { return _mm_unpackhi_epi16(a, b); }
  static V unpacklo32(V a, V b) { return _mm_unpacklo_epi32(a, b); }
  static V unpackhi32(V a, V b) { return _mm_unpackhi_epi32(a, b); }
  static V unpacklo64(V a, V b) { return _mm_unpacklo_epi64(a, b); }
  static V unpackhi64(V a, V b) { return _mm_unpackhi_epi64(a, b); }
  static V packs32(V a, V b) { return _mm_packs_epi32(a, b); }
  static V packus16(V a, V b) { return _mm_packus_epi16(a, b); }
#if defined(__SSSE3__)
  static V maddubs(V a, V b) { return _mm_maddubs_epi16(a, b); }
  static V mulhrs16(V a, V b) { return _mm_mulhrs_epi16(a, b); }
#endif
#if defined(__SSE4_1__)
  static V packus32(V a, V b) { return _mm_packus_epi32(a, b); }
  static V min_u16(V a, V b) { return _mm_min_epu16(a, b); }
#endif
};

#if defined(__AVX2__)
struct Lanes256 {
  using V = __m256i;
  static constexpr int kBytes = 32;

  static V zero() { return _mm256_setzero_si256(); }
  static V set1_16(int x) { return _mm256_set1_epi16(int16_t(x)); }
  static V set1_32(int32_t x) { return _mm256_set1_epi32(x); }
  static V and_(V a, V b) { return _mm256_and_si256(a, b); }
  static V xor_(V a, V b) { return _mm256_xor_si256(a, b); }
  static V add16(V a, V b) { return _mm256_add_epi16(a, b); }
  static V sub16(V a, V b) { return _mm256_sub_epi16(a, b); }
  static V adds16(V a, V b) { return _mm256_adds_epi16(a, b); }
  static V subs16(V a, V b) { return _mm256_subs_epi16(a, b); }
  static V add32(V a, V b) { return _mm256_add_epi32(a, b); }
  static V sub32(V a, V b) { return _mm256_sub_epi32(a, b); }
  static V mullo16(V a, V b) { return _mm256_mullo_epi16(a, b); }
  static V mulhi16(V a, V b) { return _mm256_mulhi_epi16(a, b); }
  static V mulhi_u16(V a, V b) { return _mm256_mulhi_epu16(a, b); }
  static V madd16(V a, V b) { return _mm256_madd_epi16(a, b); }
  static V avg_u16(V a, V b) { return _mm256_avg_epu16(a, b); }
  static V srai16(V a, int n) { return _mm256_srai_epi16(a, n); }
  static V srai32(V a, int n) { return _mm256_srai_epi32(a, n); }
  static V slli32(V a, int n) { return _mm256_slli_epi32(a, n); }
  static V sra32(V a, __m128i count) { return _mm256_sra_epi32(a, count); }
  static V unpacklo8(V a, V b) { return _mm256_unpacklo_epi8(a, b); }
  static V unpackhi8(V a, V b) { return _mm256_unpackhi_epi8(a, b); }
  static V unpacklo16(V a, V b) { return _mm256_unpacklo_epi16(a, b); }
  static V unpackhi16(V a, V b) { return _mm256_unpackhi_epi16(a, b); }
  static V unpacklo32(V a, V b) { return _mm256_unpacklo_epi32(a, b); }
  static V unpackhi32(V a, V b) { return _mm256_unpackhi_epi32(a, b); }
  static V unpacklo64(V a, V b) { return _mm256_unpacklo_epi64(a, b); }
  static V unpackhi64(V a, V b) { return _mm256_unpackhi_epi64(a, b); }
  static V packs32(V a, V b) { return _mm256_packs_epi32(a, b); }
  static V packus16(V a, V b) { return _mm256_packus_epi16(a, b); }
  static V maddubs(V a, V b) { return _mm256_maddubs_epi16(a, b); }
  static V mulhrs16(V a, V b) { return _mm256_mulhrs_epi16(a, b); }
  static V packus32(V a, V b) { return _mm256_packus_epi32(a, b); }
  static V min_u16(V a, V b) { return _mm256_min_epu16(a, b); }
};
#endif

#if defined(__AVX512BW__)
struct Lanes512 {
  using V = __m512i;
  static constexpr int kBytes = 64;

  static V zero() { return _mm512_setzero_si512(); }
  static V set1_16(int x) { return _mm512_set1_epi16(int16_t(x)); }
  static V set1_32(int32_t x) { return _mm512_set1_epi32(x); }
  static V and_(V a, V b) { return _mm512_and_si512(a, b); }
  static V xor_(V a, V b) { return _mm512_xor_si512(a, b); }
  static V add16(V a, V b) { return _mm512_add_epi16(a, b); }
  static V sub16(V a, V b) { return _mm512_sub_epi16(a, b); }
  static V adds16(V a, V b) { return _mm512_adds_epi16(a, b); }
  static V subs16(V a, V b) { return _mm512_subs_epi16(a, b); }
  static V add32(V a, V b) { return _mm512_add_epi32(a, b); }
  static V sub32(V a, V b) { return _mm512_sub_epi32(a, b); }
  static V madd16(V a, V b) { return _mm512_madd_epi16(a, b); }
  static V srai16(V a, int n) { return _mm512_srai_epi16(a, n); }
  static V srai32(V a, int n) { return _mm512_srai_epi32(a, n); }
  static V unpacklo16(V a, V b) { return _mm512_unpacklo_epi16(a, b); }
  static V unpackhi16(V a, V b) { return _mm512_unpackhi_epi16(a, b); }
  static V unpacklo32(V a, V b) { return _mm512_unpacklo_epi32(a, b); }
  static V unpackhi32(V a, V b) { return _mm512_unpackhi_epi32(a, b); }
  static V unpacklo64(V a, V b) { return _mm512_unpacklo_epi64(a, b); }
  static V unpackhi64(V a, V b) { return _mm512_unpackhi_epi64(a, b); }
  static V packs32(V a, V b) { return _mm512_packs_epi32(a, b); }
  static V packus16(V a, V b) { return _mm512_packus_epi16(a, b); }
  static V maddubs(V a, V b) { return _mm512_maddubs_epi16(a, b); }
  static V mulhrs16(V a, V b) { return _mm512_mulhrs_epi16(a, b); }
};
#endif

}  // namespace KVN_ISA
}  // namespace kvn
