// Horizontal sums of a register's lanes.
#pragma once

#ifndef KVN_ISA
#error "KVN_ISA names the instruction set of the including file (sse2 .. avx512); kvn_kernel_sources defines it"
#endif

#include <immintrin.h>

#include <cstdint>

namespace kvn {
namespace KVN_ISA {

// The four 32-bit lanes, modulo 2^32.
inline uint32_t hsum32(__m128i v) {
  v = _mm_add_epi32(v, _mm_shuffle_epi32(v, _MM_SHUFFLE(1, 0, 3, 2)));
  v = _mm_add_epi32(v, _mm_shuffle_epi32(v, _MM_SHUFFLE(2, 3, 0, 1)));
  return uint32_t(_mm_cvtsi128_si32(v));
}

// The low 32 bits of the two 64-bit halves, modulo 2^32: the total of psadbw.
// The halves are added in general registers, which measured faster in the
// SAD kernels than adding them in the vector register first.
inline uint32_t hsum64(__m128i v) {
  return uint32_t(_mm_cvtsi128_si32(v)) + uint32_t(_mm_cvtsi128_si32(_mm_srli_si128(v, 8)));
}

#if defined(__AVX2__)
inline uint32_t hsum32(__m256i v) {
  return hsum32(_mm_add_epi32(_mm256_castsi256_si128(v), _mm256_extracti128_si256(v, 1)));
}

inline uint32_t hsum64(__m256i v) {
  return hsum64(_mm_add_epi64(_mm256_castsi256_si128(v), _mm256_extracti128_si256(v, 1)));
}
#endif
#if defined(__AVX512F__)
inline uint32_t hsum32(__m512i v) {
  return hsum32(_mm256_add_epi32(_mm512_castsi512_si256(v), _mm512_extracti64x4_epi64(v, 1)));
}
#endif

}  // namespace KVN_ISA
}  // namespace kvn
