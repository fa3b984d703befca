// Saturating packs of a whole 256-bit register into 128 bits, lanes kept in
// order (the 256-bit pack instructions interleave the two halves).
#pragma once

#ifndef KVN_ISA
#error "KVN_ISA names the instruction set of the including file (sse2 .. avx512); kvn_kernel_sources defines it"
#endif

#include <immintrin.h>

namespace kvn {
namespace KVN_ISA {

#if defined(__AVX2__)
// 16 int16 lanes to 16 unsigned bytes.
inline __m128i pack_u8(__m256i v) {
  return _mm_packus_epi16(_mm256_castsi256_si128(v), _mm256_extracti128_si256(v, 1));
}

// 8 int32 lanes to 8 unsigned 16-bit values.
inline __m128i pack_u16(__m256i v) {
  return _mm_packus_epi32(_mm256_castsi256_si128(v), _mm256_extracti128_si256(v, 1));
}

// Two registers of 16 int16 lanes to 32 unsigned bytes: a in the low half.
inline __m256i pack_u8(__m256i a, __m256i b) { return _mm256_permute4x64_epi64(_mm256_packus_epi16(a, b), 0xd8); }
#endif

}  // namespace KVN_ISA
}  // namespace kvn
