// SIMD building blocks of the 32-bit residual kernels (SSE4.1 and up): the
// inverse 4- and 8-point butterflies of H.264 8.5.12.2 / 8.5.13.2 written once
// over a lane type, and the 4-lane (one 4x4 block row, half an 8x8 row) loads,
// dequantisation, transforms and clamped additions. Every operation wraps in
// 32 bits like the scalar reference (residual_hbd_c.cpp), so the order of the
// additions does not matter.
//
// Included by files compiled for SSE4.1 or higher, inside the namespace of
// their instruction set (KVN_H264_SIMD_NS).
#pragma once

#include <smmintrin.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "h264/transform/h264_sse2.h"
#include "h264/recon/residual_hbd.h"

namespace kvn {
namespace KVN_H264_SIMD_NS {
namespace r32 {

// 4 int32 lanes.
struct V128 {
  using T = __m128i;
  static T add(T a, T b) { return _mm_add_epi32(a, b); }
  static T sub(T a, T b) { return _mm_sub_epi32(a, b); }
  template <int n>
  static T sra(T a) {
    return _mm_srai_epi32(a, n);
  }
};

// Inverse 4-point butterfly over lanes: x[k] holds input k of every lane.
template <class V, class T = typename V::T>
inline void inv4(T* x) {
  const T e0 = V::add(x[0], x[2]), e1 = V::sub(x[0], x[2]);
  const T e2 = V::sub(V::template sra<1>(x[1]), x[3]), e3 = V::add(x[1], V::template sra<1>(x[3]));
  x[0] = V::add(e0, e3);
  x[1] = V::add(e1, e2);
  x[2] = V::sub(e1, e2);
  x[3] = V::sub(e0, e3);
}

// Inverse 8-point butterfly over lanes.
template <class V, class T = typename V::T>
inline void inv8(T* d) {
  const T a0 = V::add(d[0], d[4]), a4 = V::sub(d[0], d[4]);
  const T a2 = V::sub(V::template sra<1>(d[2]), d[6]), a6 = V::add(d[2], V::template sra<1>(d[6]));
  const T b0 = V::add(a0, a6), b2 = V::add(a4, a2), b4 = V::sub(a4, a2), b6 = V::sub(a0, a6);
  const T a1 = V::sub(V::sub(V::sub(d[5], d[3]), d[7]), V::template sra<1>(d[7]));
  const T a3 = V::sub(V::sub(V::add(d[1], d[7]), d[3]), V::template sra<1>(d[3]));
  const T a5 = V::add(V::add(V::sub(d[7], d[1]), d[5]), V::template sra<1>(d[5]));
  const T a7 = V::add(V::add(V::add(d[3], d[5]), d[1]), V::template sra<1>(d[1]));
  const T b1 = V::add(a1, V::template sra<2>(a7)), b7 = V::sub(a7, V::template sra<2>(a1));
  const T b3 = V::add(a3, V::template sra<2>(a5)), b5 = V::sub(V::template sra<2>(a3), a5);
  d[0] = V::add(b0, b7);
  d[1] = V::add(b2, b5);
  d[2] = V::add(b4, b3);
  d[3] = V::add(b6, b1);
  d[4] = V::sub(b6, b1);
  d[5] = V::sub(b4, b3);
  d[6] = V::sub(b2, b5);
  d[7] = V::sub(b0, b7);
}

// ---- 4 lanes ----------------------------------------------------------------

// 4 coefficients as int32.
inline __m128i load_coef4(const int32_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
inline __m128i load_coef4(const int16_t* p) { return _mm_cvtepi16_epi32(h264::load4x16(p)); }

// 4 samples as int32, and back (the values already in 0..max).
inline __m128i load_samples4(const uint16_t* p) { return _mm_cvtepu16_epi32(h264::load4x16(p)); }
inline __m128i load_samples4(const uint8_t* p) { return _mm_cvtepu8_epi32(h264::load4x8(p)); }
inline void store_samples4(uint16_t* p, __m128i v) { h264::store4x16(p, _mm_packus_epi32(v, v)); }
inline void store_samples4(uint8_t* p, __m128i v) {
  const __m128i w = _mm_packus_epi32(v, v);
  h264::store4x8(p, _mm_packus_epi16(w, w));
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
    const __m128i m = _mm_loadu_si128(reinterpret_cast<const __m128i*>(mul));
    return _mm_sra_epi32(_mm_add_epi32(_mm_mullo_epi32(c, m), add), shift);
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
  h264::transpose4x4_32(r[0], r[1], r[2], r[3]);
  inv4<V128>(r);
  h264::transpose4x4_32(r[0], r[1], r[2], r[3]);
  r[0] = _mm_add_epi32(r[0], _mm_set1_epi32(32));
  inv4<V128>(r);
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
      h264::transpose4x4_32(x[2 * r0 + bj], x[2 * (r0 + 1) + bj], x[2 * (r0 + 2) + bj], x[2 * (r0 + 3) + bj]);
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
    inv8<V128>(d);
    for (int k = 0; k < 8; ++k) x[2 * k + h] = d[k];
  }
}

}  // namespace r32
}  // namespace KVN_H264_SIMD_NS
}  // namespace kvn
