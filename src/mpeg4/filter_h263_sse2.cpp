// SSE2 kernels of the H.263 edge filters: one whole edge per call in 16-bit
// lanes, eight positions a step. Horizontal edges load the four rows A..D
// across the edge; vertical edges load the four samples of each of 8 rows,
// transpose them to four vectors of 8 positions, filter, transpose back and
// store each row's four bytes. The boundary filter touches B and C only
// (two bytes a row on vertical edges, gathered with pinsrw).
#include <emmintrin.h>

#include <cstddef>
#include <cstring>

#include "mpeg4/filter_h263.h"
#include "simd/loads.h"

namespace kvn {
namespace KVN_ISA {
namespace {

using V = __m128i;

// Truncating division of signed 16-bit lanes by 2^S.
template <int S>
inline V div_trunc(V x) {
  return _mm_srai_epi16(_mm_add_epi16(x, _mm_and_si128(_mm_srai_epi16(x, 15), _mm_set1_epi16((1 << S) - 1))), S);
}

// The deblocking filter of 8 positions, samples in 16-bit lanes; s2 = 2 S.
inline void deblock8(V& a, V& b, V& c, V& d, V s2) {
  const V x = _mm_add_epi16(_mm_sub_epi16(a, d), _mm_slli_epi16(_mm_sub_epi16(c, b), 2));
  const V sign = _mm_srai_epi16(x, 15);
  const V dd = div_trunc<3>(x);
  const V ad = _mm_sub_epi16(_mm_xor_si128(dd, sign), sign);
  const V m1 = _mm_subs_epu16(ad, _mm_subs_epu16(_mm_add_epi16(ad, ad), s2));
  const V d1 = _mm_sub_epi16(_mm_xor_si128(m1, sign), sign);
  const V lim = _mm_srli_epi16(m1, 1);
  V d2 = div_trunc<2>(_mm_sub_epi16(a, d));
  d2 = _mm_max_epi16(_mm_min_epi16(d2, lim), _mm_sub_epi16(_mm_setzero_si128(), lim));
  b = _mm_add_epi16(b, d1);
  c = _mm_sub_epi16(c, d1);
  a = _mm_sub_epi16(a, d2);
  d = _mm_add_epi16(d, d2);
}

inline V widen_lo(V x) { return _mm_unpacklo_epi8(x, _mm_setzero_si128()); }
inline V widen_hi(V x) { return _mm_unpackhi_epi8(x, _mm_setzero_si128()); }

template <int N>
void deblock_hor(uint8_t* p, int32_t step, int32_t strength) {
  const ptrdiff_t s = step;
  const V s2 = _mm_set1_epi16(int16_t(2 * strength));
  if constexpr (N == 8) {
    V a = widen_lo(load<8>(p - 2 * s)), b = widen_lo(load<8>(p - s)), c = widen_lo(load<8>(p)),
      d = widen_lo(load<8>(p + s));
    deblock8(a, b, c, d, s2);
    store<8>(p - 2 * s, _mm_packus_epi16(a, a));
    store<8>(p - s, _mm_packus_epi16(b, b));
    store<8>(p, _mm_packus_epi16(c, c));
    store<8>(p + s, _mm_packus_epi16(d, d));
  } else {
    const V ra = load<16>(p - 2 * s), rb = load<16>(p - s), rc = load<16>(p), rd = load<16>(p + s);
    V a0 = widen_lo(ra), b0 = widen_lo(rb), c0 = widen_lo(rc), d0 = widen_lo(rd);
    V a1 = widen_hi(ra), b1 = widen_hi(rb), c1 = widen_hi(rc), d1 = widen_hi(rd);
    deblock8(a0, b0, c0, d0, s2);
    deblock8(a1, b1, c1, d1, s2);
    store<16>(p - 2 * s, _mm_packus_epi16(a0, a1));
    store<16>(p - s, _mm_packus_epi16(b0, b1));
    store<16>(p, _mm_packus_epi16(c0, c1));
    store<16>(p + s, _mm_packus_epi16(d0, d1));
  }
}

// Eight rows of a vertical edge: columns -2..1 of each row.
inline void deblock_ver8(uint8_t* p, ptrdiff_t s, V s2) {
  uint8_t* q = p - 2;
  const V t01 = _mm_unpacklo_epi8(load<4>(q), load<4>(q + s));
  const V t23 = _mm_unpacklo_epi8(load<4>(q + 2 * s), load<4>(q + 3 * s));
  const V t45 = _mm_unpacklo_epi8(load<4>(q + 4 * s), load<4>(q + 5 * s));
  const V t67 = _mm_unpacklo_epi8(load<4>(q + 6 * s), load<4>(q + 7 * s));
  const V u0 = _mm_unpacklo_epi16(t01, t23), u1 = _mm_unpacklo_epi16(t45, t67);
  const V ab = _mm_unpacklo_epi32(u0, u1), cd = _mm_unpackhi_epi32(u0, u1);  // A0..7 B0..7, C0..7 D0..7
  V a = widen_lo(ab), b = widen_hi(ab), c = widen_lo(cd), d = widen_hi(cd);
  deblock8(a, b, c, d, s2);
  const V ab2 = _mm_packus_epi16(a, b), cd2 = _mm_packus_epi16(c, d);
  const V w0 = _mm_unpacklo_epi8(ab2, _mm_srli_si128(ab2, 8));  // A0 B0 A1 B1 ..
  const V w1 = _mm_unpacklo_epi8(cd2, _mm_srli_si128(cd2, 8));  // C0 D0 C1 D1 ..
  V rows = _mm_unpacklo_epi16(w0, w1);
  for (int i = 0; i < 4; ++i, rows = _mm_srli_si128(rows, 4)) store<4>(q + i * s, rows);
  rows = _mm_unpackhi_epi16(w0, w1);
  for (int i = 4; i < 8; ++i, rows = _mm_srli_si128(rows, 4)) store<4>(q + i * s, rows);
}

template <int N>
void deblock_ver(uint8_t* p, int32_t step, int32_t strength) {
  const V s2 = _mm_set1_epi16(int16_t(2 * strength));
  for (int i = 0; i < N; i += 8) deblock_ver8(p + ptrdiff_t(i) * step, step, s2);
}

inline int load2(const uint8_t* p) {
  uint16_t v;
  std::memcpy(&v, p, 2);
  return v;
}
inline void store2(uint8_t* p, int v) {
  const uint16_t x = uint16_t(v);
  std::memcpy(p, &x, 2);
}

inline V boundary_b(V b, V c) {  // (3B + C + 2) >> 2
  return _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(_mm_add_epi16(b, b), _mm_add_epi16(b, c)), _mm_set1_epi16(2)), 2);
}

void boundary_hor(uint8_t* p, int32_t step) {
  const ptrdiff_t s = step;
  const V rb = load<16>(p - s), rc = load<16>(p);
  const V b0 = widen_lo(rb), b1 = widen_hi(rb), c0 = widen_lo(rc), c1 = widen_hi(rc);
  store<16>(p - s, _mm_packus_epi16(boundary_b(b0, c0), boundary_b(b1, c1)));
  store<16>(p, _mm_packus_epi16(boundary_b(c0, b0), boundary_b(c1, b1)));
}

void boundary_ver(uint8_t* p, int32_t step) {
  const ptrdiff_t s = step;
  const V mask = _mm_set1_epi16(0xff);
  uint8_t* q = p - 1;
  for (int h = 0; h < 16; h += 8, q += 8 * s) {
    V v = _mm_setzero_si128();  // B C of each row in one 16-bit lane
    v = _mm_insert_epi16(v, load2(q), 0);
    v = _mm_insert_epi16(v, load2(q + s), 1);
    v = _mm_insert_epi16(v, load2(q + 2 * s), 2);
    v = _mm_insert_epi16(v, load2(q + 3 * s), 3);
    v = _mm_insert_epi16(v, load2(q + 4 * s), 4);
    v = _mm_insert_epi16(v, load2(q + 5 * s), 5);
    v = _mm_insert_epi16(v, load2(q + 6 * s), 6);
    v = _mm_insert_epi16(v, load2(q + 7 * s), 7);
    const V b = _mm_and_si128(v, mask), c = _mm_srli_epi16(v, 8);
    const V out = _mm_or_si128(boundary_b(b, c), _mm_slli_epi16(boundary_b(c, b), 8));
    store2(q, _mm_extract_epi16(out, 0));
    store2(q + s, _mm_extract_epi16(out, 1));
    store2(q + 2 * s, _mm_extract_epi16(out, 2));
    store2(q + 3 * s, _mm_extract_epi16(out, 3));
    store2(q + 4 * s, _mm_extract_epi16(out, 4));
    store2(q + 5 * s, _mm_extract_epi16(out, 5));
    store2(q + 6 * s, _mm_extract_epi16(out, 6));
    store2(q + 7 * s, _mm_extract_epi16(out, 7));
  }
}

}  // namespace
}  // namespace KVN_ISA

constexpr void filter_h263_init_sse2(FilterH263Kernels& k) {
  k.deblock_hor[kEdge8] = KVN_ISA::deblock_hor<8>;
  k.deblock_hor[kEdge16] = KVN_ISA::deblock_hor<16>;
  k.deblock_ver[kEdge8] = KVN_ISA::deblock_ver<8>;
  k.deblock_ver[kEdge16] = KVN_ISA::deblock_ver<16>;
  k.boundary_hor = KVN_ISA::boundary_hor;
  k.boundary_ver = KVN_ISA::boundary_ver;
}

KVN_LEVEL_KERNELS(filter_h263, FilterH263Kernels);

}  // namespace kvn
