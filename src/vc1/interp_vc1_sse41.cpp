// SSSE3 (SSE4.1-level) kernels of the VC-1 interpolation.
//
// One-direction bicubic and bilinear filters are dot products of sample pairs
// with byte weights, done by pmaddubsw on (P[i], P[i + d]) pairs made with
// punpcklbw: the bicubic pairs (P-1, P0) and (P1, P2), the bilinear pairs
// (a, b) and (c, d). Every pair sum and their total lie within -1785..18105,
// so the 16-bit lanes are exact and an arithmetic shift and packuswb give
// the rounded, clamped result. A register holds 16 results: one row of a
// 16-wide block, two rows of an 8-wide one.
//
// Two-dimensional bicubic: the vertical pass as above over the 11 columns
// x0 - 1 .. x0 + 9 of each group of eight outputs (shifted by s, kept in
// 16-bit lanes), then the horizontal pass by pmaddwd on 16-bit pairs with
// 32-bit sums: even outputs from lanes (x-1, x) and (x+1, x+2) at offsets 0
// and 2, odd outputs at offsets 1 and 3 (palignr). Loads never leave the
// region the reference reads.
#include <smmintrin.h>

#include "simd/loads.h"
#include "vc1/interp_vc1.h"

namespace kvn {
namespace KVN_ISA {
namespace {

using V = __m128i;

// pmaddubsw weights of the pairs (first, second).
inline V byte_weights(int first, int second) {
  return _mm_set1_epi16(int16_t(uint16_t(uint8_t(second) << 8 | uint8_t(first))));
}
// pmaddwd weights of the pairs (first, second).
inline V word_weights(int first, int second) {
  return _mm_set1_epi32(int32_t((uint32_t(second) << 16) | uint16_t(first)));
}

// 16 results from the four registers of samples at the four tap positions.
inline V filter16(V a, V b, V c, V d, V w01, V w23, V rnd, V shift) {
  const V lo =
      _mm_add_epi16(_mm_maddubs_epi16(_mm_unpacklo_epi8(a, b), w01), _mm_maddubs_epi16(_mm_unpacklo_epi8(c, d), w23));
  const V hi =
      _mm_add_epi16(_mm_maddubs_epi16(_mm_unpackhi_epi8(a, b), w01), _mm_maddubs_epi16(_mm_unpackhi_epi8(c, d), w23));
  return _mm_packus_epi16(_mm_sra_epi16(_mm_add_epi16(lo, rnd), shift), _mm_sra_epi16(_mm_add_epi16(hi, rnd), shift));
}

// The register of W-wide rows at p: one row (W 16), two rows (W 8).
template <int W>
inline V rows(const uint8_t* p, ptrdiff_t step) {
  if constexpr (W == 16)
    return load<16>(p);
  else
    return load8x2(p, p + step);
}
template <int W>
inline void put_rows(uint8_t* p, ptrdiff_t step, V v) {
  if constexpr (W == 16)
    store<16>(p, v);
  else
    store8x2(p, p + step, v);
}

template <int W, int H>
void copy(const uint8_t* s, ptrdiff_t ss, uint8_t* d, ptrdiff_t ds, int, int, int) {
  for (int y = 0; y < H; ++y, s += ss, d += ds) store<W>(d, load<W>(s));
}

template <int W, int H>
void bicubic_hor(const uint8_t* s, ptrdiff_t ss, uint8_t* d, ptrdiff_t ds, int dx, int, int r) {
  const BicubicTaps& t = kBicubicTaps[dx];
  const V w01 = byte_weights(t.t0, t.t1), w23 = byte_weights(t.t2, t.t3);
  const V rnd = _mm_set1_epi16(int16_t((1 << (t.shift - 1)) - r)), sh = _mm_cvtsi32_si128(t.shift);
  constexpr int kRows = W == 16 ? 1 : 2;
  for (int y = 0; y < H; y += kRows, s += kRows * ss, d += kRows * ds)
    put_rows<W>(
        d, ds, filter16(rows<W>(s - 1, ss), rows<W>(s, ss), rows<W>(s + 1, ss), rows<W>(s + 2, ss), w01, w23, rnd, sh));
}

template <int W, int H>
void bicubic_ver(const uint8_t* s, ptrdiff_t ss, uint8_t* d, ptrdiff_t ds, int, int dy, int r) {
  const BicubicTaps& t = kBicubicTaps[dy];
  const V w01 = byte_weights(t.t0, t.t1), w23 = byte_weights(t.t2, t.t3);
  const V rnd = _mm_set1_epi16(int16_t((1 << (t.shift - 1)) - 1 + r)), sh = _mm_cvtsi32_si128(t.shift);
  if constexpr (W == 16) {  // a window of four rows, one new row a step
    V a = load<16>(s - ss), b = load<16>(s), c = load<16>(s + ss);
    for (int y = 0; y < H; ++y, s += ss, d += ds) {
      const V e = load<16>(s + 2 * ss);
      store<16>(d, filter16(a, b, c, e, w01, w23, rnd, sh));
      a = b, b = c, c = e;
    }
  } else {  // two rows a register: rows y - 1 .. y + 3
    for (int y = 0; y < H; y += 2, s += 2 * ss, d += 2 * ds)
      put_rows<W>(d, ds,
                  filter16(rows<W>(s - ss, ss), rows<W>(s, ss), rows<W>(s + ss, ss), rows<W>(s + 2 * ss, ss), w01, w23,
                           rnd, sh));
  }
}

// Columns x0 - 1 .. x0 + 9 of a row in bytes 0..10 (the rest unused), for
// group x0 of a W-wide block, read within columns -1 .. W + 1.
template <int W, int X0>
inline V group(const uint8_t* row) {
  if constexpr (W == 8)
    return _mm_or_si128(load<8>(row - 1), _mm_slli_si128(load<4>(row + 6), 7));
  else if constexpr (X0 == 0)
    return load<16>(row - 1);
  else
    return _mm_srli_si128(load<16>(row + 2), 5);
}

struct Taps2d {
  V v01, v23, vrnd, vsh, h01, h23, hrnd;
};

// Eight outputs of group x0 from its four rows of columns.
inline V both8(V gm1, V g0, V g1, V g2, const Taps2d& t) {
  const V lo = _mm_sra_epi16(_mm_add_epi16(_mm_add_epi16(_mm_maddubs_epi16(_mm_unpacklo_epi8(gm1, g0), t.v01),
                                                         _mm_maddubs_epi16(_mm_unpacklo_epi8(g1, g2), t.v23)),
                                           t.vrnd),
                             t.vsh);
  const V hi = _mm_sra_epi16(_mm_add_epi16(_mm_add_epi16(_mm_maddubs_epi16(_mm_unpackhi_epi8(gm1, g0), t.v01),
                                                         _mm_maddubs_epi16(_mm_unpackhi_epi8(g1, g2), t.v23)),
                                           t.vrnd),
                             t.vsh);
  const V even = _mm_add_epi32(_mm_madd_epi16(lo, t.h01), _mm_madd_epi16(_mm_alignr_epi8(hi, lo, 4), t.h23));
  const V odd = _mm_add_epi32(_mm_madd_epi16(_mm_alignr_epi8(hi, lo, 2), t.h01),
                              _mm_madd_epi16(_mm_alignr_epi8(hi, lo, 6), t.h23));
  const V e = _mm_srai_epi32(_mm_add_epi32(even, t.hrnd), 7), o = _mm_srai_epi32(_mm_add_epi32(odd, t.hrnd), 7);
  return _mm_packs_epi32(_mm_unpacklo_epi32(e, o), _mm_unpackhi_epi32(e, o));
}

template <int W, int H>
void bicubic_both(const uint8_t* s, ptrdiff_t ss, uint8_t* d, ptrdiff_t ds, int dx, int dy, int r) {
  const BicubicTaps& tv = kBicubicTaps[dy];
  const BicubicTaps& th = kBicubicTaps[dx];
  const int sh = bicubic_mid_shift(dx, dy);
  const Taps2d t = {
      byte_weights(tv.t0, tv.t1), byte_weights(tv.t2, tv.t3), _mm_set1_epi16(int16_t((1 << (sh - 1)) - 1 + r)),
      _mm_cvtsi32_si128(sh),      word_weights(th.t0, th.t1), word_weights(th.t2, th.t3),
      _mm_set1_epi32(64 - r)};
  V a0 = group<W, 0>(s - ss), b0 = group<W, 0>(s), c0 = group<W, 0>(s + ss), a1 = a0, b1 = b0, c1 = c0;
  if constexpr (W == 16) a1 = group<W, 8>(s - ss), b1 = group<W, 8>(s), c1 = group<W, 8>(s + ss);
  for (int y = 0; y < H; ++y, s += ss, d += ds) {
    const V e0 = group<W, 0>(s + 2 * ss);
    const V r0 = both8(a0, b0, c0, e0, t);
    a0 = b0, b0 = c0, c0 = e0;
    if constexpr (W == 16) {
      const V e1 = group<W, 8>(s + 2 * ss);
      store<16>(d, _mm_packus_epi16(r0, both8(a1, b1, c1, e1, t)));
      a1 = b1, b1 = c1, c1 = e1;
    } else {
      store<8>(d, _mm_packus_epi16(r0, r0));
    }
  }
}

// Bilinear: BW bytes a row (4, 8 or 16), channel step C; a register holds 16
// results (one row of 16 bytes, two rows of 8 in the two halves) or 4 (one
// row of 4).
template <int BW>
inline V brows(const uint8_t* p, ptrdiff_t step) {
  if constexpr (BW == 16)
    return load<16>(p);
  else if constexpr (BW == 8)
    return load8x2(p, p + step);
  else
    return load<4>(p);
}
template <int BW>
inline void put_brows(uint8_t* p, ptrdiff_t step, V v) {
  if constexpr (BW == 16)
    store<16>(p, v);
  else if constexpr (BW == 8)
    store8x2(p, p + step, v);
  else
    store<4>(p, v);
}

template <int BW, int H, int C, int Kind>
void bilinear(const uint8_t* s, ptrdiff_t ss, uint8_t* d, ptrdiff_t ds, int dx, int dy, int r) {
  if constexpr (Kind == 0) {
    for (int y = 0; y < H; ++y, s += ss, d += ds) store<BW>(d, load<BW>(s));
  } else {
    const V top = Kind == 2 ? byte_weights(4 * (4 - dy), 4 * dy) : byte_weights((4 - dx) * (4 - dy), dx * (4 - dy));
    const V bottom = byte_weights((4 - dx) * dy, dx * dy);
    const V rnd = _mm_set1_epi16(int16_t(8 - r));
    constexpr int kRows = BW == 8 ? 2 : 1;
    const auto sum = [&](V a, V b, V c, V e, auto unpack) {
      V v = _mm_maddubs_epi16(unpack(a, b), top);
      if constexpr (Kind == 3) v = _mm_add_epi16(v, _mm_maddubs_epi16(unpack(c, e), bottom));
      return _mm_srli_epi16(_mm_add_epi16(v, rnd), 4);
    };
    const auto lo = [](V p, V q) { return _mm_unpacklo_epi8(p, q); };
    const auto hi = [](V p, V q) { return _mm_unpackhi_epi8(p, q); };
    for (int y = 0; y < H; y += kRows, s += kRows * ss, d += kRows * ds) {
      const V a = brows<BW>(s, ss);
      V b = a, c = a, e = a;
      if constexpr (Kind == 1) b = brows<BW>(s + C, ss);
      if constexpr (Kind == 2) b = brows<BW>(s + ss, ss);
      if constexpr (Kind == 3) b = brows<BW>(s + C, ss), c = brows<BW>(s + ss, ss), e = brows<BW>(s + ss + C, ss);
      const V l = sum(a, b, c, e, lo);
      put_brows<BW>(d, ds, _mm_packus_epi16(l, BW >= 8 ? sum(a, b, c, e, hi) : l));
    }
  }
}

#define KVN_BICUBIC(W, H) \
  { copy<W, H>, bicubic_hor<W, H>, bicubic_ver<W, H>, bicubic_both<W, H> }
#define KVN_BILINEAR(BW, H, C) \
  { bilinear<BW, H, C, 0>, bilinear<BW, H, C, 1>, bilinear<BW, H, C, 2>, bilinear<BW, H, C, 3> }

constexpr Vc1InterpFn kBicubic[kVc1BicubicSizes][kVc1Kinds] = {KVN_BICUBIC(8, 8), KVN_BICUBIC(16, 8),
                                                               KVN_BICUBIC(16, 16)};
constexpr Vc1InterpFn kBilinearC1[kVc1BilinearC1Sizes][kVc1Kinds] = {KVN_BILINEAR(16, 16, 1), KVN_BILINEAR(8, 8, 1),
                                                                     KVN_BILINEAR(8, 4, 1), KVN_BILINEAR(4, 4, 1)};
constexpr Vc1InterpFn kBilinearC2[kVc1BilinearC2Sizes][kVc1Kinds] = {KVN_BILINEAR(16, 8, 2), KVN_BILINEAR(16, 4, 2),
                                                                     KVN_BILINEAR(8, 4, 2)};

}  // namespace
}  // namespace KVN_ISA

constexpr void interp_vc1_init_sse41(InterpVc1Kernels& k) {
  for (int i = 0; i < kVc1Kinds; ++i) {
    for (int s = 0; s < kVc1BicubicSizes; ++s) k.bicubic[s][i] = KVN_ISA::kBicubic[s][i];
    for (int s = 0; s < kVc1BilinearC1Sizes; ++s) k.bilinear_c1[s][i] = KVN_ISA::kBilinearC1[s][i];
    for (int s = 0; s < kVc1BilinearC2Sizes; ++s) k.bilinear_c2[s][i] = KVN_ISA::kBilinearC2[s][i];
  }
}

KVN_LEVEL_KERNELS(interp_vc1, InterpVc1Kernels);

}  // namespace kvn
