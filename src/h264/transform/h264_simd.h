// SIMD building blocks of the H.264 4x4 and DC kernels (SSE2 instructions):
// whole 4x4 blocks in registers. A block is held either as four rows of 4
// lanes (the low halves of four registers) or as two registers of 8 lanes in
// raster order. Every helper does exactly the operations of the scalar
// reference (h264_arith.h), lane by lane and in the same order, so that
// saturation and wrapping fall on the same values.
#pragma once

#ifndef KVN_ISA
#error "KVN_ISA names the instruction set of the including file (sse2 .. avx512); kvn_kernel_sources defines it"
#endif

#include <emmintrin.h>

#include <cstddef>
#include <cstdint>

#include "simd/lanes.h"
#include "simd/loads.h"

namespace kvn {
namespace KVN_ISA {
namespace h264 {

template <class T>
inline T* advance(T* p, std::ptrdiff_t step) {
  return reinterpret_cast<T*>(reinterpret_cast<uintptr_t>(p) + uintptr_t(step));
}

// Lane arithmetic: saturating or wrapping 16-bit.
struct Sat16 {
  static __m128i add(__m128i a, __m128i b) { return _mm_adds_epi16(a, b); }
  static __m128i sub(__m128i a, __m128i b) { return _mm_subs_epi16(a, b); }
  static __m128i half(__m128i a) { return _mm_srai_epi16(a, 1); }
};
struct Wrap16 {
  static __m128i add(__m128i a, __m128i b) { return _mm_add_epi16(a, b); }
  static __m128i sub(__m128i a, __m128i b) { return _mm_sub_epi16(a, b); }
  static __m128i half(__m128i a) { return _mm_srai_epi16(a, 1); }
};

// Low half from lo, high half from hi.
[[gnu::always_inline]] inline __m128i halves(__m128i lo, __m128i hi) {
  return _mm_castpd_si128(_mm_move_sd(_mm_castsi128_pd(hi), _mm_castsi128_pd(lo)));
}
[[gnu::always_inline]] inline __m128i swap_halves(__m128i x) { return _mm_shuffle_epi32(x, _MM_SHUFFLE(1, 0, 3, 2)); }

// A 4x4 block of int16 in two registers: rows 0 and 1 in lo, rows 2 and 3 in
// hi. The butterflies below combine the four rows (x0, x1 | x2, x3); applied
// after a transpose they combine the four columns.
struct Block {
  __m128i lo, hi;
  static Block load(const int16_t* p) { return {KVN_ISA::load<16>(p), KVN_ISA::load<16>(p + 8)}; }
  void store(int16_t* p) const {
    KVN_ISA::store<16>(p, lo);
    KVN_ISA::store<16>(p + 8, hi);
  }
  [[gnu::always_inline]] void transpose() {
    const __m128i t0 = _mm_unpacklo_epi16(lo, hi), t1 = _mm_unpackhi_epi16(lo, hi);
    lo = _mm_unpacklo_epi16(t0, t1);
    hi = _mm_unpackhi_epi16(t0, t1);
  }
};

// Forward core transform: s03, s12, d03, d12 as (s03, s12) and (d03, d12);
// y0 = s03 + s12, y1 = 2 d03 + d12, y2 = s03 - s12, y3 = d03 - 2 d12.
template <class A>
inline void fwd4(Block& b) {
  const __m128i x32 = swap_halves(b.hi);
  const __m128i s = A::add(b.lo, x32), d = A::sub(b.lo, x32), dd = A::add(d, d);
  b.lo = A::add(_mm_unpacklo_epi64(s, dd), _mm_unpackhi_epi64(s, d));  // (y0, y1)
  b.hi = A::sub(_mm_unpacklo_epi64(s, d), _mm_unpackhi_epi64(s, dd));  // (y2, y3)
}

// Inverse core transform: (e0, e3) = (x0, x1) + (x2, x3 >> 1),
// (e1, e2) = (x0, x1 >> 1) - (x2, x3); with Round 32 is added to e0 and e1.
template <class A, bool Round>
[[gnu::always_inline]] inline void inv4(Block& b) {
  const __m128i e03 = A::add(b.lo, halves(b.hi, A::half(b.hi)));
  const __m128i e12 = A::sub(halves(b.lo, A::half(b.lo)), b.hi);
  __m128i e01 = _mm_unpacklo_epi64(e03, e12);
  if (Round) e01 = A::add(e01, _mm_set1_epi16(32));
  const __m128i e32 = _mm_unpackhi_epi64(e03, e12);
  b.lo = A::add(e01, e32);               // (y0, y1)
  b.hi = swap_halves(A::sub(e01, e32));  // (y2, y3)
}

// 4-point Hadamard: (s01, s23) and (d01, d23); y0 = s01 + s23, y1 = s01 - s23,
// y2 = d01 - d23, y3 = d01 + d23.
template <class A>
inline void hadamard4(Block& b) {
  const __m128i x10 = swap_halves(b.lo), x32 = swap_halves(b.hi);
  const __m128i s = A::add(_mm_unpacklo_epi64(b.lo, b.hi), _mm_unpacklo_epi64(x10, x32));  // (s01, s23)
  const __m128i d = A::sub(_mm_unpacklo_epi64(b.lo, b.hi), _mm_unpacklo_epi64(x10, x32));  // (d01, d23)
  const __m128i sd0 = _mm_unpacklo_epi64(s, d), sd1 = _mm_unpackhi_epi64(s, d);            // (s01, d01), (s23, d23)
  const __m128i p = A::add(sd0, sd1), m = A::sub(sd0, sd1);                                // (y0, y3), (y1, y2)
  b.lo = _mm_unpacklo_epi64(p, m);
  b.hi = _mm_unpackhi_epi64(m, p);
}

// Rows first, then columns.
template <class A>
inline void fwd4x4(Block& b) {
  b.transpose();
  fwd4<A>(b);
  b.transpose();
  fwd4<A>(b);
}

// Rows first, then columns with rounding; results shifted right by 6.
[[gnu::always_inline]] inline void inv4x4_sat(Block& b) {
  b.transpose();
  inv4<Sat16, false>(b);
  b.transpose();
  inv4<Sat16, true>(b);
  b.lo = _mm_srai_epi16(b.lo, 6);
  b.hi = _mm_srai_epi16(b.hi, 6);
}

template <class A>
inline void hadamard4x4(Block& b) {
  b.transpose();
  hadamard4<A>(b);
  b.transpose();
  hadamard4<A>(b);
}

// The 16-bit lanes of |c| * mul + f >> s with the sign of c applied, as 32-bit
// lanes: lo from the low four of each 128-bit half, hi from the high four. |c|
// is taken as unsigned 16-bit (32768 for -32768) and mul as signed, so the
// 32-bit product is exact. L: a lane class (simd/lanes.h).
template <class L, class V = typename L::V>
inline void quant(V c, V mul, V f, __m128i s, V& lo, V& hi) {
  const V sign = L::srai16(c, 15);
  const V a = L::sub16(L::xor_(c, sign), sign);
  const V pl = L::mullo16(a, mul);
  const V ph = L::sub16(L::mulhi_u16(a, mul), L::and_(L::srai16(mul, 15), a));
  const V sl = L::unpacklo16(sign, sign), sh = L::unpackhi16(sign, sign);
  lo = L::sra32(L::add32(L::unpacklo16(pl, ph), f), s);
  hi = L::sra32(L::add32(L::unpackhi16(pl, ph), f), s);
  lo = L::sub32(L::xor_(lo, sl), sl);
  hi = L::sub32(L::xor_(hi, sh), sh);
}

// Levels saturated to 16 bits, or their low 16 bits.
template <class L, class V = typename L::V>
inline V quant_sat(V c, V mul, V f, __m128i s) {
  V lo, hi;
  quant<L>(c, mul, f, s, lo, hi);
  return L::packs32(lo, hi);
}
inline __m128i low16(__m128i x) { return _mm_srai_epi32(_mm_slli_epi32(x, 16), 16); }
inline __m128i quant_wrap(__m128i c, __m128i mul, __m128i f, __m128i s) {
  __m128i lo, hi;
  quant<Lanes128>(c, mul, f, s, lo, hi);
  return _mm_packs_epi32(low16(lo), low16(hi));
}

// Number of nonzero levels among 16 and the largest scan entry among them
// (0 when there is none).
inline int32_t count_levels(__m128i l0, __m128i l1, const int16_t* scan, int32_t* last) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i z0 = _mm_cmpeq_epi16(l0, zero), z1 = _mm_cmpeq_epi16(l1, zero);
  uint32_t bits = uint32_t(_mm_movemask_epi8(_mm_packs_epi16(z0, z1))) ^ 0xffffu;
  if (bits == 0) {
    *last = 0;
    return 0;
  }
  const __m128i low = _mm_set1_epi16(-32768);
  __m128i m = _mm_max_epi16(_mm_or_si128(_mm_and_si128(z0, low), _mm_andnot_si128(z0, load<16>(scan))),
                            _mm_or_si128(_mm_and_si128(z1, low), _mm_andnot_si128(z1, load<16>(scan + 8))));
  m = _mm_max_epi16(m, _mm_shuffle_epi32(m, _MM_SHUFFLE(1, 0, 3, 2)));
  m = _mm_max_epi16(m, _mm_shuffle_epi32(m, _MM_SHUFFLE(2, 3, 0, 1)));
  m = _mm_max_epi16(m, _mm_shufflelo_epi16(m, _MM_SHUFFLE(2, 3, 0, 1)));
  *last = int16_t(_mm_cvtsi128_si32(m));
  bits = bits - ((bits >> 1) & 0x5555u);
  bits = (bits & 0x3333u) + ((bits >> 2) & 0x3333u);
  bits = (bits + (bits >> 4)) & 0x0f0fu;
  return int32_t((bits + (bits >> 8)) & 0x1fu);
}

// 8 lanes of c * ls dequantised and saturated to 16 bits: shifted left by
// `left` when left >= 0, else (x + round) >> -left.
inline __m128i dequant8(__m128i c, __m128i ls, int left, int32_t round) {
  const __m128i pl = _mm_mullo_epi16(c, ls), ph = _mm_mulhi_epi16(c, ls);
  const __m128i lo = _mm_unpacklo_epi16(pl, ph), hi = _mm_unpackhi_epi16(pl, ph);
  if (left >= 0) {
    // sat16(x << k) is k saturating doublings of sat16(x).
    __m128i d = _mm_packs_epi32(lo, hi);
    for (int k = 0; k < left; ++k) d = _mm_adds_epi16(d, d);
    return d;
  }
  const __m128i r = _mm_set1_epi32(round), s = _mm_cvtsi32_si128(-left);
  return _mm_packs_epi32(_mm_sra_epi32(_mm_add_epi32(lo, r), s), _mm_sra_epi32(_mm_add_epi32(hi, r), s));
}

// dst = clamp(pred + residual) for two rows of 4 samples; 16-bit saturating
// sum, exact for any residual.
inline void add_rows2(const uint8_t* pred, std::ptrdiff_t ps, __m128i res, uint8_t* dst, std::ptrdiff_t ds) {
  const __m128i p = _mm_unpacklo_epi8(_mm_unpacklo_epi32(load<4>(pred), load<4>(pred + ps)), _mm_setzero_si128());
  const __m128i r = _mm_packus_epi16(_mm_adds_epi16(p, res), p);
  store<4>(dst, r);
  store<4>(dst + ds, _mm_srli_epi64(r, 32));
}

inline void add_block(const uint8_t* pred, std::ptrdiff_t ps, const Block& r, uint8_t* dst, std::ptrdiff_t ds) {
  add_rows2(pred, ps, r.lo, dst, ds);
  add_rows2(pred + 2 * ps, ps, r.hi, dst + 2 * ds, ds);
}

inline void add_dc(const uint8_t* pred, std::ptrdiff_t ps, int16_t value, uint8_t* dst, std::ptrdiff_t ds) {
  const __m128i v = _mm_set1_epi16(value);
  add_block(pred, ps, Block{v, v}, dst, ds);
}

}  // namespace h264
}  // namespace KVN_ISA
}  // namespace kvn
