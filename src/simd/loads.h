// Loads and stores of 2 to 32 bytes at any address. A load of N < 16 bytes
// fills the low N bytes of a register and zeroes the others; a store of N
// bytes writes the low N bytes. Two and four bytes go through a general
// register (memcpy, one mov), eight through movq; 32 bytes need AVX2.
#pragma once

#ifndef KVN_ISA
#error "KVN_ISA names the instruction set of the including file (sse2 .. avx512); kvn_kernel_sources defines it"
#endif

#include <immintrin.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace kvn {
namespace KVN_ISA {

template <int N>
inline auto load(const void* p) {
  static_assert(N == 2 || N == 4 || N == 8 || N == 16 || N == 32, "load of 2, 4, 8, 16 or 32 bytes");
  if constexpr (N == 2) {
    uint16_t v;
    std::memcpy(&v, p, 2);
    return _mm_cvtsi32_si128(v);
  } else if constexpr (N == 4) {
    int32_t v;
    std::memcpy(&v, p, 4);
    return _mm_cvtsi32_si128(v);
  } else if constexpr (N == 8) {
    return _mm_loadl_epi64(static_cast<const __m128i*>(p));
  } else if constexpr (N == 16) {
    return _mm_loadu_si128(static_cast<const __m128i*>(p));
  } else {
#if defined(__AVX2__)
    return _mm256_loadu_si256(static_cast<const __m256i*>(p));
#else
    static_assert(N != 32, "32-byte loads need AVX2");
#endif
  }
}

template <int N>
inline void store(void* p, __m128i v) {
  static_assert(N == 2 || N == 4 || N == 8 || N == 16, "store of 2, 4, 8 or 16 bytes");
  if constexpr (N == 2) {
    const uint16_t x = uint16_t(_mm_cvtsi128_si32(v));
    std::memcpy(p, &x, 2);
  } else if constexpr (N == 4) {
    const int32_t x = _mm_cvtsi128_si32(v);
    std::memcpy(p, &x, 4);
  } else if constexpr (N == 8) {
    _mm_storel_epi64(static_cast<__m128i*>(p), v);
  } else {
    _mm_storeu_si128(static_cast<__m128i*>(p), v);
  }
}

// The four 32-bit lanes of v to p, p + step, p + 2 step and p + 3 step (a
// 4x4 block of bytes in raster order), a row per store.
inline void store4x4(uint8_t* p, std::ptrdiff_t step, __m128i v) {
  const uint64_t lo = uint64_t(_mm_cvtsi128_si64(v)), hi = uint64_t(_mm_cvtsi128_si64(_mm_unpackhi_epi64(v, v)));
  const uint32_t rows[4] = {uint32_t(lo), uint32_t(lo >> 32), uint32_t(hi), uint32_t(hi >> 32)};
  for (int y = 0; y < 4; ++y) std::memcpy(p + y * step, &rows[y], 4);
}

// N bytes of v from byte Offset on.
template <int N, int Offset>
inline void store_from(void* p, __m128i v) {
  static_assert(N + Offset <= 16, "bytes of one register");
  if constexpr (Offset == 0)
    store<N>(p, v);
  else if constexpr (N == 8 && Offset == 8)
    _mm_storeh_pi(static_cast<__m64*>(p), _mm_castsi128_ps(v));
  else
    store<N>(p, _mm_srli_si128(v, Offset));
}

// 8 bytes at lo in the low half, 8 bytes at hi in the high half (movq, movhps).
inline __m128i load8x2(const void* lo, const void* hi) {
  return _mm_castpd_si128(_mm_loadh_pd(_mm_castsi128_pd(load<8>(lo)), static_cast<const double*>(hi)));
}

inline void store8x2(void* lo, void* hi, __m128i v) {
  store<8>(lo, v);
  store_from<8, 8>(hi, v);
}

#if defined(__AVX2__)
template <int N>
inline void store(void* p, __m256i v) {
  static_assert(N == 32, "store of 32 bytes");
  _mm256_storeu_si256(static_cast<__m256i*>(p), v);
}

// 16 bytes at lo in the low 128-bit half, 16 bytes at hi in the high half.
inline __m256i load16x2(const void* lo, const void* hi) {
  return _mm256_inserti128_si256(_mm256_castsi128_si256(load<16>(lo)), load<16>(hi), 1);
}

inline void store16x2(void* lo, void* hi, __m256i v) {
  store<16>(lo, _mm256_castsi256_si128(v));
  store<16>(hi, _mm256_extracti128_si256(v, 1));
}

// The 4 bytes at p in each 32-bit lane, broadcast by the load unit
// (vbroadcastss takes no ALU operation; the builtin loads from any address,
// so no float is read through a misaligned pointer).
inline __m128i load_bcast4(const void* p) { return _mm_castps_si128(_mm_broadcast_ss(static_cast<const float*>(p))); }

// 16 bytes at p zero-extended to the 16-bit lanes of a 256-bit register.
inline __m256i load_widen(const void* p) { return _mm256_cvtepu8_epi16(load<16>(p)); }
#endif

}  // namespace KVN_ISA
}  // namespace kvn
