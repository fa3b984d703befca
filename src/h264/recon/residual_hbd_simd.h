// SIMD building blocks of the 32-bit residual kernels (SSE4.1 and up): the
// inverse 4- and 8-point butterflies of H.264 8.5.12.2 / 8.5.13.2 written once
// over a lane class (Lanes128, Lanes256: simd/lanes.h), and the 4-lane (one
// 4x4 block row, half an 8x8 row) loads, dequantisation, transforms and
// clamped additions. Every operation wraps in 32 bits like the scalar
// reference (residual_hbd_c.cpp), so the order of the additions does not
// matter.
#pragma once

#ifndef KVN_ISA
#error "KVN_ISA names the instruction set of the including file (sse2 .. avx512); kvn_kernel_sources defines it"
#endif

#include <smmintrin.h>

#include <cstddef>
#include <cstdint>

#include "h264/recon/residual_hbd.h"
#include "simd/lanes.h"
#include "simd/loads.h"
#include "simd/transpose.h"

namespace kvn {
namespace KVN_ISA {
namespace r32 {

// Inverse 4-point butterfly over lanes: x[k] holds input k of every lane.
template <class L, class T = typename L::V>
inline void inv4(T* x) {
  const T e0 = L::add32(x[0], x[2]), e1 = L::sub32(x[0], x[2]);
  const T e2 = L::sub32(L::srai32(x[1], 1), x[3]), e3 = L::add32(x[1], L::srai32(x[3], 1));
  x[0] = L::add32(e0, e3);
  x[1] = L::add32(e1, e2);
  x[2] = L::sub32(e1, e2);
  x[3] = L::sub32(e0, e3);
}

// Inverse 8-point butterfly over lanes.
template <class L, class T = typename L::V>
inline void inv8(T* d) {
  const T a0 = L::add32(d[0], d[4]), a4 = L::sub32(d[0], d[4]);
  const T a2 = L::sub32(L::srai32(d[2], 1), d[6]), a6 = L::add32(d[2], L::srai32(d[6], 1));
  const T b0 = L::add32(a0, a6), b2 = L::add32(a4, a2), b4 = L::sub32(a4, a2), b6 = L::sub32(a0, a6);
  const T a1 = L::sub32(L::sub32(L::sub32(d[5], d[3]), d[7]), L::srai32(d[7], 1));
  const T a3 = L::sub32(L::sub32(L::add32(d[1], d[7]), d[3]), L::srai32(d[3], 1));
  const T a5 = L::add32(L::add32(L::sub32(d[7], d[1]), d[5]), L::srai32(d[5], 1));
  const T a7 = L::add32(L::add32(L::add32(d[3], d[5]), d[1]), L::srai32(d[1], 1));
  const T b1 = L::add32(a1, L::srai32(a7, 2)), b7 = L::sub32(a7, L::srai32(a1, 2));
  const T b3 = L::add32(a3, L::srai32(a5, 2)), b5 = L::sub32(L::srai32(a3, 2), a5);
  d[0] = L::add32(b0, b7);
  d[1] = L::add32(b2, b5);
  d[2] = L::add32(b4, b3);
  d[3] = L::add32(b6, b1);
  d[4] = L::sub32(b6, b1);
  d[5] = L::sub32(b4, b3);
  d[6] = L::sub32(b2, b5);
  d[7] = L::sub32(b0, b7);
}

// ---- 4 lanes ----------------------------------------------------------------

// 4 coefficients as int32.
inline __m128i load_coef4(const int32_t* p) { return load<16>(p); }
inline __m128i load_coef4(const int16_t* p) { return _mm_cvtepi16_epi32(load<8>(p)); }

// 4 samples as int32, and back (the values already in 0..max).
inline __m128i load_samples4(const uint16_t* p) { return _mm_cvtepu16_epi32(load<8>(p)); }
inline __m128i load_samples4(const uint8_t* p) { return _mm_cvtepu8_epi32(load<4>(p)); }
inline void store_samples4(uint16_t* p, __m128i v) { store<8>(p, _mm_packus_epi32(v, v)); }
inline void store_samples4(uint8_t* p, __m128i v) {
  const __m128i w = _mm_packus_epi32(v, v);
  store<4>(p, _mm_packus_epi16(w, w));
}

// The residual limited to 65536, above which every sum clamps to max anyway,
// so that adding a 16-bit sample cannot wrap.
inline __m128i limit(__m128i r) { return _mm_min_epi32(r, _mm_set1_epi32(65536)); }

// clamp(sample + r) to 0..max for 4 samples at p.
template <class S>
inline void add_clamp4(S* p, __m128i r, __m128i maxv) {
  const __m128i s = _mm_add_epi32(load_samples4(p), limit(r));
  store_samples4(p, _mm_min_epi32(_mm_max_epi32(s, _mm_setzero_si128()), maxv));
}

// (c * mul + add) >> shift for 4 coefficients.
struct DequantLanes {
  __m128i add, shift;
  explicit DequantLanes(int32_t a, int32_t s) : add(_mm_set1_epi32(a)), shift(_mm_cvtsi32_si128(s)) {}
  __m128i operator()(__m128i c, const int32_t* mul) const {
    return _mm_sra_epi32(_mm_add_epi32(_mm_mullo_epi32(c, load<16>(mul)), add), shift);
  }
};

// (v + 32) >> 6 in 32 bits, broadcast.
inline __m128i dc_residual(int32_t v) { return _mm_set1_epi32(int32_t(uint32_t(v) + 32u) >> 6); }

// One 4x4 block: dequantised coefficients (DC replaced when given), rows then
// columns, (x + 32) >> 6; r[i] is residual row i.
template <class C>
inline void residual4x4(const C* c, const int32_t* dc, const DequantHbd4x4& q, const DequantLanes& dq, __m128i* r) {
  for (int i = 0; i < 4; ++i) r[i] = dq(load_coef4(c + 4 * i), q.mul + 4 * i);
  if (dc) r[0] = _mm_insert_epi32(r[0], *dc, 0);
  transpose4x4_32<Lanes128>(r[0], r[1], r[2], r[3]);
  inv4<Lanes128>(r);
  transpose4x4_32<Lanes128>(r[0], r[1], r[2], r[3]);
  r[0] = _mm_add_epi32(r[0], _mm_set1_epi32(32));
  inv4<Lanes128>(r);
  for (int i = 0; i < 4; ++i) r[i] = _mm_srai_epi32(r[i], 6);
}

// Block i of a row kernel, one at a time.
template <class S, class C>
inline void block4x4(S* b, std::ptrdiff_t step, const C* c, const int32_t* dc, const DequantHbd4x4& q,
                     const DequantLanes& dq, __m128i maxv) {
  if (c) {
    __m128i r[4];
    residual4x4(c, dc, q, dq, r);
    for (int y = 0; y < 4; ++y) add_clamp4(b + y * step, r[y], maxv);
  } else {
    const __m128i r = dc_residual(*dc);
    for (int y = 0; y < 4; ++y) add_clamp4(b + y * step, r, maxv);
  }
}

// ---- 8x8 blocks as two halves of 4 lanes --------------------------------------

// Rows of an 8x8 block: x[2 i] holds columns 0..3 of row i, x[2 i + 1]
// columns 4..7. Transposed in place (four 4x4 transposes).
inline void transpose8x8_halves(__m128i* x) {
  for (int bi = 0; bi < 2; ++bi)
    for (int bj = 0; bj < 2; ++bj) {
      const int r0 = 4 * bi;
      transpose4x4_32<Lanes128>(x[2 * r0 + bj], x[2 * (r0 + 1) + bj], x[2 * (r0 + 2) + bj], x[2 * (r0 + 3) + bj]);
    }
  // Swap the off-diagonal 4x4 blocks.
  for (int k = 0; k < 4; ++k) {
    const __m128i t = x[2 * k + 1];
    x[2 * k + 1] = x[2 * (4 + k)];
    x[2 * (4 + k)] = t;
  }
}

// The 8-point butterfly on both halves: x[2 k + h] is input k of half h.
inline void inv8_halves(__m128i* x) {
  for (int h = 0; h < 2; ++h) {
    __m128i d[8];
    for (int k = 0; k < 8; ++k) d[k] = x[2 * k + h];
    inv8<Lanes128>(d);
    for (int k = 0; k < 8; ++k) x[2 * k + h] = d[k];
  }
}

}  // namespace r32
}  // namespace KVN_ISA
}  // namespace kvn
