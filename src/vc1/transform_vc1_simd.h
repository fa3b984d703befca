// The VC-1 transform kernels, written once for the SSE2 and AVX2 levels
// (each includes this file).
//
// Inverse: the row stage works on one row per register: its even and odd
// coefficient pairs, broadcast, are multiplied by the matrix columns with
// pmaddwd (32-bit sums) and combined into the eight (four) outputs, so the
// rows stay rows and the column stage is a vertical even/odd butterfly over
// the row registers. Rows outside the region are zero and skipped; regions
// within the top-left quarter run the stages with only the low half of the
// inputs. With AVX2, 8-wide blocks run the row stage of two rows at a time,
// paired as the column butterfly takes them, and the column stage on both
// halves of the columns at once.
//
// Forward: transpose, row stage over the columns' lanes, transpose back,
// column stage; every output a pmaddwd dot product of the basis row.
#pragma once

#ifndef KVN_ISA
#error "KVN_ISA names the instruction set of the including file (sse2 .. avx512); kvn_kernel_sources defines it"
#endif

#include <immintrin.h>

#include <cstring>

#include "simd/lanes.h"
#include "simd/loads.h"
#include "simd/transpose.h"
#include "tables/vc1_tables.h"
#include "vc1/transform_vc1.h"

namespace kvn {
namespace KVN_ISA {
namespace vc1_simd {

using V = __m128i;

inline const char* at(const int16_t* p, int32_t step, int y) {
  return reinterpret_cast<const char*>(p) + int64_t(y) * step;
}
inline char* at(int16_t* p, int32_t step, int y) { return reinterpret_cast<char*>(p) + int64_t(y) * step; }

// Both halves of a(lanes) * c0 + b(lanes) * c1 in 32 bits.
struct Acc {
  V lo, hi;
};
inline V pair(int c0, int c1) { return _mm_set1_epi32(int32_t(uint32_t(uint16_t(c0)) | (uint32_t(c1) << 16))); }
inline Acc madd(const Acc& ab, V c) { return {_mm_madd_epi16(ab.lo, c), _mm_madd_epi16(ab.hi, c)}; }
inline Acc interleave(V a, V b) { return {_mm_unpacklo_epi16(a, b), _mm_unpackhi_epi16(a, b)}; }
inline Acc add(const Acc& a, const Acc& b) { return {_mm_add_epi32(a.lo, b.lo), _mm_add_epi32(a.hi, b.hi)}; }
inline Acc sub(const Acc& a, const Acc& b) { return {_mm_sub_epi32(a.lo, b.lo), _mm_sub_epi32(a.hi, b.hi)}; }
// Lo: only the low four lanes are wanted (4-wide blocks); the high half is
// then never computed.
template <int Shift, bool Lo>
inline V round_pack(const Acc& a, V r) {
  if constexpr (Lo) {
    const V t = _mm_srai_epi32(_mm_add_epi32(a.lo, r), Shift);
    return _mm_packs_epi32(t, t);
  }
  return _mm_packs_epi32(_mm_srai_epi32(_mm_add_epi32(a.lo, r), Shift), _mm_srai_epi32(_mm_add_epi32(a.hi, r), Shift));
}

// 8-point inverse stage: x[k] frequency k (lanes: the vectors transformed),
// y[n] sample n; RoundTop for n < 4, RoundBottom for n >= 4.
template <int RoundTop, int RoundBottom, int Shift, bool Lo>
inline void stage8(const V* x, V* y) {
  const Acc p04 = interleave(x[0], x[4]), p26 = interleave(x[2], x[6]);
  const Acc p13 = interleave(x[1], x[3]), p57 = interleave(x[5], x[7]);
  const Acc a = madd(p04, pair(12, 12)), b = madd(p04, pair(12, -12));
  const Acc c = madd(p26, pair(16, 6)), d = madd(p26, pair(6, -16));
  const Acc e[4] = {add(a, c), add(b, d), sub(b, d), sub(a, c)};
  const Acc o[4] = {
      add(madd(p13, pair(16, 15)), madd(p57, pair(9, 4))), add(madd(p13, pair(15, -4)), madd(p57, pair(-16, -9))),
      add(madd(p13, pair(9, -16)), madd(p57, pair(4, 15))), add(madd(p13, pair(4, -9)), madd(p57, pair(15, -16)))};
  const V rt = _mm_set1_epi32(RoundTop), rb = _mm_set1_epi32(RoundBottom);
  for (int n = 0; n < 4; ++n) {
    y[n] = round_pack<Shift, Lo>(add(e[n], o[n]), rt);
    y[7 - n] = round_pack<Shift, Lo>(sub(e[n], o[n]), rb);
  }
}

// 4-point inverse stage.
template <int Round, int Shift, bool Lo>
inline void stage4(const V* x, V* y) {
  const Acc p02 = interleave(x[0], x[2]), p13 = interleave(x[1], x[3]);
  const Acc e0 = madd(p02, pair(17, 17)), e1 = madd(p02, pair(17, -17));
  const Acc o0 = madd(p13, pair(22, 10)), o1 = madd(p13, pair(10, -22));
  const V r = _mm_set1_epi32(Round);
  y[0] = round_pack<Shift, Lo>(add(e0, o0), r);
  y[1] = round_pack<Shift, Lo>(add(e1, o1), r);
  y[2] = round_pack<Shift, Lo>(sub(e1, o1), r);
  y[3] = round_pack<Shift, Lo>(sub(e0, o0), r);
}

// 8-point column stage with inputs 4..7 zero.
template <int RoundTop, int RoundBottom, int Shift, bool Lo>
inline void stage8_low(const V* x, V* y) {
  const Acc p02 = interleave(x[0], x[2]), p13 = interleave(x[1], x[3]);
  const Acc e[4] = {madd(p02, pair(12, 16)), madd(p02, pair(12, 6)), madd(p02, pair(12, -6)), madd(p02, pair(12, -16))};
  const Acc o[4] = {madd(p13, pair(16, 15)), madd(p13, pair(15, -4)), madd(p13, pair(9, -16)), madd(p13, pair(4, -9))};
  const V rt = _mm_set1_epi32(RoundTop), rb = _mm_set1_epi32(RoundBottom);
  for (int n = 0; n < 4; ++n) {
    y[n] = round_pack<Shift, Lo>(add(e[n], o[n]), rt);
    y[7 - n] = round_pack<Shift, Lo>(sub(e[n], o[n]), rb);
  }
}

// 4-point column stage with inputs 2 and 3 zero.
template <int Round, int Shift, bool Lo>
inline void stage4_low(const V* x, V* y) {
  const Acc p01 = interleave(x[0], x[1]);
  const V r = _mm_set1_epi32(Round);
  y[0] = round_pack<Shift, Lo>(madd(p01, pair(17, 22)), r);
  y[1] = round_pack<Shift, Lo>(madd(p01, pair(17, 10)), r);
  y[2] = round_pack<Shift, Lo>(madd(p01, pair(17, -10)), r);
  y[3] = round_pack<Shift, Lo>(madd(p01, pair(17, -22)), r);
}

// Matrix entries (k0, n), (k1, n) for n = 0..3, as pmaddwd operands.
inline V columns(const int (&k0)[4], const int (&k1)[4]) {
  return _mm_setr_epi16(int16_t(k0[0]), int16_t(k1[0]), int16_t(k0[1]), int16_t(k1[1]), int16_t(k0[2]), int16_t(k1[2]),
                        int16_t(k0[3]), int16_t(k1[3]));
}
constexpr int kM8[8][4] = {{12, 12, 12, 12},   {16, 15, 9, 4},  {16, 6, -6, -16}, {15, -4, -16, -9},
                           {12, -12, -12, 12}, {9, -16, 4, 15}, {6, -16, 16, -6}, {4, -9, 15, -16}};
constexpr int kM4[4][4] = {{17, 17, 17, 17}, {22, 10, -10, -22}, {17, -17, -17, 17}, {10, -22, 22, -10}};

template <int Shift>
inline V shift_pack(V lo, V hi, V r) {
  return _mm_packs_epi32(_mm_srai_epi32(_mm_add_epi32(lo, r), Shift), _mm_srai_epi32(_mm_add_epi32(hi, r), Shift));
}

// Row stage of one row (columns outside the region already zero): (sum + 4) >> 3,
// saturated. Quarter: only the low half of the coefficients may be nonzero.
template <int W, bool Quarter>
inline V row_stage(V c) {
  const V r = _mm_set1_epi32(4);
  if constexpr (W == 8) {
    V s = _mm_shufflelo_epi16(c, _MM_SHUFFLE(3, 1, 2, 0));  // c0 c2 c1 c3 | c4 c6 c5 c7
    V e = _mm_madd_epi16(_mm_shuffle_epi32(s, 0x00), columns(kM8[0], kM8[2]));
    V o = _mm_madd_epi16(_mm_shuffle_epi32(s, 0x55), columns(kM8[1], kM8[3]));
    if constexpr (!Quarter) {
      s = _mm_shufflehi_epi16(s, _MM_SHUFFLE(3, 1, 2, 0));
      e = _mm_add_epi32(e, _mm_madd_epi16(_mm_shuffle_epi32(s, 0xAA), columns(kM8[4], kM8[6])));
      o = _mm_add_epi32(o, _mm_madd_epi16(_mm_shuffle_epi32(s, 0xFF), columns(kM8[5], kM8[7])));
    }
    // y0 y1 y2 y3 | y7 y6 y5 y4, then the upper half reversed.
    const V y = shift_pack<3>(_mm_add_epi32(e, o), _mm_sub_epi32(e, o), r);
    return _mm_shufflehi_epi16(y, _MM_SHUFFLE(0, 1, 2, 3));
  } else if constexpr (Quarter) {
    const V y = _mm_madd_epi16(_mm_shuffle_epi32(c, 0x00), columns(kM4[0], kM4[1]));
    return shift_pack<3>(y, _mm_setzero_si128(), r);
  } else {
    const V s = _mm_shufflelo_epi16(c, _MM_SHUFFLE(3, 1, 2, 0));  // c0 c2 c1 c3
    const V y = _mm_add_epi32(_mm_madd_epi16(_mm_shuffle_epi32(s, 0x00), columns(kM4[0], kM4[2])),
                              _mm_madd_epi16(_mm_shuffle_epi32(s, 0x55), columns(kM4[1], kM4[3])));
    return shift_pack<3>(y, _mm_setzero_si128(), r);
  }
}

// Lanes 0 .. w - 1 set.
inline V column_mask(int32_t w) {
  return _mm_cmpgt_epi16(_mm_set1_epi16(int16_t(w)), _mm_setr_epi16(0, 1, 2, 3, 4, 5, 6, 7));
}

#if defined(__AVX2__)
// The 8-wide row stage of two rows, one in each 128-bit half (every step
// works within the halves).
template <bool Quarter>
inline __m256i row_stage8x2(__m256i c) {
  const auto cols = [](const int(&k0)[4], const int(&k1)[4]) { return _mm256_broadcastsi128_si256(columns(k0, k1)); };
  const __m256i r = _mm256_set1_epi32(4);
  __m256i s = _mm256_shufflelo_epi16(c, _MM_SHUFFLE(3, 1, 2, 0));
  __m256i e = _mm256_madd_epi16(_mm256_shuffle_epi32(s, 0x00), cols(kM8[0], kM8[2]));
  __m256i o = _mm256_madd_epi16(_mm256_shuffle_epi32(s, 0x55), cols(kM8[1], kM8[3]));
  if constexpr (!Quarter) {
    s = _mm256_shufflehi_epi16(s, _MM_SHUFFLE(3, 1, 2, 0));
    e = _mm256_add_epi32(e, _mm256_madd_epi16(_mm256_shuffle_epi32(s, 0xAA), cols(kM8[4], kM8[6])));
    o = _mm256_add_epi32(o, _mm256_madd_epi16(_mm256_shuffle_epi32(s, 0xFF), cols(kM8[5], kM8[7])));
  }
  e = _mm256_add_epi32(e, r);
  const __m256i y =
      _mm256_packs_epi32(_mm256_srai_epi32(_mm256_add_epi32(e, o), 3), _mm256_srai_epi32(_mm256_sub_epi32(e, o), 3));
  return _mm256_shufflehi_epi16(y, _MM_SHUFFLE(0, 1, 2, 3));
}

// Two row-stage outputs (rows i | j), as the column stage's pmaddwd operand:
// row i's and row j's samples interleaved, columns 0..3 in the low half and
// 4..7 in the high half.
inline __m256i interleave_halves(__m256i v) {
  const __m256i q = _mm256_permute4x64_epi64(v, 0xD8);  // i0-3 j0-3 | i4-7 j4-7
  return _mm256_unpacklo_epi16(q, _mm256_srli_si256(q, 8));
}
inline __m256i pair256(int c0, int c1) {
  return _mm256_set1_epi32(int32_t(uint32_t(uint16_t(c0)) | (uint32_t(c1) << 16)));
}
// Rows n and m of the output, from their sums t and u.
template <int RoundN, int RoundM, int Shift>
inline void store_pair(char* n, char* m, __m256i t, __m256i u) {
  t = _mm256_srai_epi32(_mm256_add_epi32(t, _mm256_set1_epi32(RoundN)), Shift);
  u = _mm256_srai_epi32(_mm256_add_epi32(u, _mm256_set1_epi32(RoundM)), Shift);
  const __m256i p = _mm256_permute4x64_epi64(_mm256_packs_epi32(t, u), 0xD8);
  store<16>(n, _mm256_castsi256_si128(p));
  store<16>(m, _mm256_extracti128_si256(p, 1));
}

// The 8-wide blocks: the row stage of two rows at a time, paired as the
// column stage's butterfly takes them, then the column stage on both halves
// of every column at once.
template <int H, bool Quarter>
void inv8_avx2(const int16_t* src, int32_t srcStep, int16_t* dst, int32_t dstStep, int32_t w, int32_t h) {
  const V m = column_mask(w), zero = _mm_setzero_si128();
  const auto rows = [&](int i, int j) {
    constexpr int kBytes = Quarter ? 8 : 16;
    const V a = i < h ? _mm_and_si128(load<kBytes>(at(src, srcStep, i)), m) : zero;
    const V b = j < h ? _mm_and_si128(load<kBytes>(at(src, srcStep, j)), m) : zero;
    return interleave_halves(row_stage8x2<Quarter>(_mm256_inserti128_si256(_mm256_castsi128_si256(a), b, 1)));
  };
  const auto row = [&](int y) { return at(dst, dstStep, y); };
  const auto madd = [](__m256i a, int c0, int c1) { return _mm256_madd_epi16(a, pair256(c0, c1)); };
  if constexpr (H == 8 && !Quarter) {
    const __m256i p04 = rows(0, 4), p26 = rows(2, 6), p13 = rows(1, 3), p57 = rows(5, 7);
    const __m256i a = madd(p04, 12, 12), b = madd(p04, 12, -12), c = madd(p26, 16, 6), d = madd(p26, 6, -16);
    const __m256i e[4] = {_mm256_add_epi32(a, c), _mm256_add_epi32(b, d), _mm256_sub_epi32(b, d),
                          _mm256_sub_epi32(a, c)};
    const __m256i o[4] = {
        _mm256_add_epi32(madd(p13, 16, 15), madd(p57, 9, 4)), _mm256_add_epi32(madd(p13, 15, -4), madd(p57, -16, -9)),
        _mm256_add_epi32(madd(p13, 9, -16), madd(p57, 4, 15)), _mm256_add_epi32(madd(p13, 4, -9), madd(p57, 15, -16))};
    for (int n = 0; n < 4; ++n)
      store_pair<64, 65, 7>(row(n), row(7 - n), _mm256_add_epi32(e[n], o[n]), _mm256_sub_epi32(e[n], o[n]));
  } else if constexpr (H == 8) {
    const __m256i p02 = rows(0, 2), p13 = rows(1, 3);
    const __m256i e[4] = {madd(p02, 12, 16), madd(p02, 12, 6), madd(p02, 12, -6), madd(p02, 12, -16)};
    const __m256i o[4] = {madd(p13, 16, 15), madd(p13, 15, -4), madd(p13, 9, -16), madd(p13, 4, -9)};
    for (int n = 0; n < 4; ++n)
      store_pair<64, 65, 7>(row(n), row(7 - n), _mm256_add_epi32(e[n], o[n]), _mm256_sub_epi32(e[n], o[n]));
  } else if constexpr (!Quarter) {
    const __m256i p02 = rows(0, 2), p13 = rows(1, 3);
    const __m256i e0 = madd(p02, 17, 17), e1 = madd(p02, 17, -17), o0 = madd(p13, 22, 10), o1 = madd(p13, 10, -22);
    store_pair<64, 64, 7>(row(0), row(3), _mm256_add_epi32(e0, o0), _mm256_sub_epi32(e0, o0));
    store_pair<64, 64, 7>(row(1), row(2), _mm256_add_epi32(e1, o1), _mm256_sub_epi32(e1, o1));
  } else {
    const __m256i p01 = rows(0, 1);
    store_pair<64, 64, 7>(row(0), row(3), madd(p01, 17, 22), madd(p01, 17, -22));
    store_pair<64, 64, 7>(row(1), row(2), madd(p01, 17, 10), madd(p01, 17, -10));
  }
}
#endif

// Quarter: the region lies within the top-left W/2 x H/2 coefficients.
template <int W, int H, bool Quarter>
void inv(const int16_t* src, int32_t srcStep, int16_t* dst, int32_t dstStep, int32_t w, int32_t h) {
#if defined(__AVX2__)
  if constexpr (W == 8) {
    inv8_avx2<H, Quarter>(src, srcStep, dst, dstStep, w, h);
    return;
  }
#endif
  constexpr int kRows = Quarter ? H / 2 : H, kBytes = Quarter ? W : 2 * W;
  const V m = column_mask(w);
  V x[8], y[8];
  for (int i = 0; i < 8; ++i) x[i] = _mm_setzero_si128();
  for (int i = 0; i < kRows; ++i)
    if (i < h) x[i] = row_stage<W, Quarter>(_mm_and_si128(load<kBytes>(at(src, srcStep, i)), m));
  if constexpr (H == 8 && Quarter)
    stage8_low<64, 65, 7, W == 4>(x, y);
  else if constexpr (H == 8)
    stage8<64, 65, 7, W == 4>(x, y);
  else if constexpr (Quarter)
    stage4_low<64, 7, W == 4>(x, y);
  else
    stage4<64, 7, W == 4>(x, y);
  for (int i = 0; i < H; ++i) store<2 * W>(at(dst, dstStep, i), y[i]);
}

inline int32_t sat16(int32_t v) { return v < -32768 ? -32768 : v > 32767 ? 32767 : v; }

template <int W, int H>
void inv_dc(const int16_t* src, int16_t* dst, int32_t dstStep) {
  int16_t dc;
  std::memcpy(&dc, src, 2);
  const int32_t a = sat16(((W == 8 ? 12 : 17) * dc + 4) >> 3);
  const int32_t c = H == 8 ? 12 : 17;
  const V top = _mm_set1_epi16(int16_t((c * a + 64) >> 7)),
          bottom = _mm_set1_epi16(int16_t((c * a + 64 + (H == 8)) >> 7));
  for (int y = 0; y < H; ++y) store<2 * W>(at(dst, dstStep, y), y < H / 2 ? top : bottom);
}

// Forward transform: a stage over vectors x[0..N-1] (lanes: the vectors
// transformed), y[k] = the dot product of basis row k with them, in 32 bits
// (pmaddwd of adjacent pairs, wrapping adds, as the scalar reference wraps),
// rounded, shifted and saturated.
template <int N, int Round, int Shift>
inline void fwd_stage(const V* x, V* y) {
  Acc p[N / 2];
  for (int i = 0; i < N / 2; ++i) p[i] = interleave(x[2 * i], x[2 * i + 1]);
  const V r = _mm_set1_epi32(Round);
  for (int k = 0; k < N; ++k) {
    const auto b = [k](int n) { return N == 4 ? vc1::kFwd4[k][n] : vc1::kFwd8[k][n]; };
    Acc s = madd(p[0], pair(b(0), b(1)));
    for (int i = 1; i < N / 2; ++i) s = add(s, madd(p[i], pair(b(2 * i), b(2 * i + 1))));
    y[k] = round_pack<Shift, false>(s, r);
  }
}

// Rows in, transposed, row stage (lanes: rows), transposed back, column
// stage (registers: rows), rows out; the whole source is read first.
template <int W, int H>
void fwd(const int16_t* src, int32_t srcStep, int16_t* dst, int32_t dstStep) {
  V r[8], t[8], o[8];
  for (int i = 0; i < 8; ++i) r[i] = t[i] = _mm_setzero_si128();
  for (int i = 0; i < H; ++i) r[i] = load<2 * W>(at(src, srcStep, i));
  transpose8x8_16<Lanes128>(r);
  fwd_stage<W, vc1::kFwdRow(W).round, vc1::kFwdRow(W).shift>(r, t);
  transpose8x8_16<Lanes128>(t);
  fwd_stage<H, vc1::kFwdCol(H).round, vc1::kFwdCol(H).shift>(t, o);
  for (int i = 0; i < H; ++i) store<2 * W>(at(dst, dstStep, i), o[i]);
}

}  // namespace vc1_simd
}  // namespace KVN_ISA
}  // namespace kvn
