// SSSE3 / SSE4.1 kernels of the H.264 luma interpolation (compiled for
// SSE4.1): the engines of interp_luma_simd.h for every width.
//
// 8-bit: the 6-tap filter as three pmaddubsw on byte pairs (1, -5), (20, 20),
// (-5, 1): horizontally the pairs are gathered by pshufb, vertically by
// interleaving two rows. Sums lie in -2550 .. 10710 and are rounded with
// pmulhrsw ((x * 1024 + 2^14) >> 15 = (x + 16) >> 5). The centre filters the
// six rows of unrounded horizontal sums in 16 bits, exactly:
//   A = r0 + r5, B = r1 + r4, C = r2 + r3, S = A - 5B + 20C,
//   floor(S / 16) = floor((floor((A - B) / 4) + (C - B)) / 4) + C,
// where the inner sum, which can leave the 16-bit range, is halved without
// overflow as (y & D) + ((y ^ D) >> 1), and (S + 512) >> 10 =
// (floor(S / 16) + 32) >> 6.
//
// 16-bit: pmaddwd on sample pairs biased by -32768 (so every 16-bit sample
// is a signed 16-bit value; the filter's taps sum to 32, the bias to
// -2^20 per sum), all sums in 32 bits. Horizontal sums come as the even and
// the odd columns, which the centre keeps apart until its results are packed.
#include <smmintrin.h>

#include <cstring>

#define KVN_INTERP_SIMD_NS sse41
#include "h264/inter/interp_luma_simd.h"

namespace kvn {
namespace sse41 {
namespace {

using std::ptrdiff_t;
using namespace interp_luma;

inline __m128i load32(const void* p) {
  int32_t v;
  std::memcpy(&v, p, 4);
  return _mm_cvtsi32_si128(v);
}
inline void store32(void* p, __m128i v) {
  const int32_t x = _mm_cvtsi128_si32(v);
  std::memcpy(p, &x, 4);
}
inline __m128i load64(const void* p) { return _mm_loadl_epi64(static_cast<const __m128i*>(p)); }
inline void store64(void* p, __m128i v) { _mm_storel_epi64(static_cast<__m128i*>(p), v); }
inline __m128i load128(const void* p) { return _mm_loadu_si128(static_cast<const __m128i*>(p)); }
inline void store128(void* p, __m128i v) { _mm_storeu_si128(static_cast<__m128i*>(p), v); }

// ---- 8-bit

struct PairMasks {
  __m128i m[3];
  explicit PairMasks(const MaskBytes& b) : m{load128(b.b[0]), load128(b.b[1]), load128(b.b[2])} {}
};

// Filter constants of the 8-bit engines.
struct Taps8 {
  const __m128i c01 = _mm_set1_epi16(int16_t(0xfb01));  // bytes (1, -5)
  const __m128i c23 = _mm_set1_epi16(0x1414);           // (20, 20)
  const __m128i c45 = _mm_set1_epi16(0x01fb);           // (-5, 1)

  // Sum of the three pairs (16-bit lanes).
  __m128i sum(__m128i p01, __m128i p23, __m128i p45) const {
    return _mm_add_epi16(_mm_add_epi16(_mm_maddubs_epi16(p01, c01), _mm_maddubs_epi16(p23, c23)),
                         _mm_maddubs_epi16(p45, c45));
  }
  __m128i gather(__m128i x, const PairMasks& m) const {
    return sum(_mm_shuffle_epi8(x, m.m[0]), _mm_shuffle_epi8(x, m.m[1]), _mm_shuffle_epi8(x, m.m[2]));
  }
  // (x + 16) >> 5 per 16-bit lane.
  static __m128i round_half(__m128i x) { return _mm_mulhrs_epi16(x, _mm_set1_epi16(1024)); }
  // The centre of 8 columns from six rows of horizontal sums, rounded, not
  // yet clamped (see the head of the file).
  static __m128i centre(__m128i r0, __m128i r1, __m128i r2, __m128i r3, __m128i r4, __m128i r5) {
    const __m128i a = _mm_add_epi16(r0, r5), b = _mm_add_epi16(r1, r4), c = _mm_add_epi16(r2, r3);
    const __m128i y = _mm_srai_epi16(_mm_sub_epi16(a, b), 2);
    const __m128i d = _mm_sub_epi16(c, b);
    const __m128i t = _mm_add_epi16(_mm_and_si128(y, d), _mm_srai_epi16(_mm_xor_si128(y, d), 1));
    const __m128i x = _mm_add_epi16(_mm_srai_epi16(t, 1), c);
    return _mm_mulhrs_epi16(x, _mm_set1_epi16(512));  // (x + 32) >> 6
  }
};

// Widths 4 and 8: one register per row. Horizontally, bytes -2 .. 5 of the
// row go to bytes 0 .. 7 of the register and bytes 3 .. 10 (width 4: 3 .. 6)
// to bytes 8 .. 15, so nothing beyond column W + 2 is read.
template <int W>
struct Engine8 : Taps8 {
  static_assert(W == 4 || W == 8, "width");
  using T = uint8_t;
  using Pix = __m128i;
  using HRaw = __m128i;
  using VRaw = __m128i;
  using Row = __m128i;
  using Pair = __m128i;
  const PairMasks masks{kSplitMasks};

  Pix load(const T* p) const { return W == 8 ? load64(p) : load32(p); }
  void store(T* p, Pix v) const { W == 8 ? store64(p, v) : store32(p, v); }
  Pix avg(Pix a, Pix b) const { return _mm_avg_epu8(a, b); }
  HRaw h_raw(const T* p) const {
    const __m128i lo = load64(p - 2);
    __m128i x;
    if constexpr (W == 8)
      x = _mm_castpd_si128(_mm_loadh_pd(_mm_castsi128_pd(lo), reinterpret_cast<const double*>(p + 3)));
    else
      x = _mm_insert_epi32(lo, _mm_cvtsi128_si32(load32(p + 3)), 2);
    return gather(x, masks);
  }
  Pix half(__m128i x) const {
    const __m128i r = round_half(x);
    return _mm_packus_epi16(r, r);
  }
  Row row(const T* p) const { return load(p); }
  Pair pair(Row a, Row b) const { return _mm_unpacklo_epi8(a, b); }
  VRaw vtap(Pair p01, Pair p23, Pair p45) const { return sum(p01, p23, p45); }
  Pix centre(HRaw r0, HRaw r1, HRaw r2, HRaw r3, HRaw r4, HRaw r5) const {
    const __m128i j = Taps8::centre(r0, r1, r2, r3, r4, r5);
    return _mm_packus_epi16(j, j);
  }
};

// Width 16: sums of columns 0 .. 7 and 8 .. 15 in two registers.
// Horizontally one load holds bytes -2 .. 13, another bytes 3 .. 18.
struct Engine8x16 : Taps8 {
  using T = uint8_t;
  using Pix = __m128i;
  struct HRaw {
    __m128i lo, hi;
  };
  using VRaw = HRaw;
  using Row = __m128i;
  using Pair = HRaw;
  const PairMasks lo_masks{kLowMasks}, hi_masks{kHighMasks};

  Pix load(const T* p) const { return load128(p); }
  void store(T* p, Pix v) const { store128(p, v); }
  Pix avg(Pix a, Pix b) const { return _mm_avg_epu8(a, b); }
  HRaw h_raw(const T* p) const { return {gather(load128(p - 2), lo_masks), gather(load128(p + 3), hi_masks)}; }
  Pix half(HRaw x) const { return _mm_packus_epi16(round_half(x.lo), round_half(x.hi)); }
  Row row(const T* p) const { return load128(p); }
  Pair pair(Row a, Row b) const { return {_mm_unpacklo_epi8(a, b), _mm_unpackhi_epi8(a, b)}; }
  VRaw vtap(Pair p01, Pair p23, Pair p45) const { return {sum(p01.lo, p23.lo, p45.lo), sum(p01.hi, p23.hi, p45.hi)}; }
  Pix centre(const HRaw& r0, const HRaw& r1, const HRaw& r2, const HRaw& r3, const HRaw& r4, const HRaw& r5) const {
    return _mm_packus_epi16(Taps8::centre(r0.lo, r1.lo, r2.lo, r3.lo, r4.lo, r5.lo),
                            Taps8::centre(r0.hi, r1.hi, r2.hi, r3.hi, r4.hi, r5.hi));
  }
};

// ---- 16-bit

// Widths 4 and 8 (4 uses the low half of every register). Horizontal sums:
// the even columns from pairs starting at columns -2, 0, 2, the odd ones
// from -1, 1, 3. Vertical sums: columns 0 .. 3 and 4 .. 7 from the two
// halves of two interleaved rows.
template <int W>
struct Engine16 {
  static_assert(W == 4 || W == 8, "width");
  using T = uint16_t;
  using Pix = __m128i;
  struct HRaw {
    __m128i even, odd;
  };
  struct VRaw {
    __m128i lo, hi;
  };
  using Row = __m128i;
  using Pair = VRaw;

  const __m128i bias = _mm_set1_epi16(int16_t(0x8000));
  const __m128i c01 = _mm_set1_epi32(int32_t(0xfffb0001u));  // (1, -5)
  const __m128i c23 = _mm_set1_epi32(0x00140014);            // (20, 20)
  const __m128i c45 = _mm_set1_epi32(0x0001fffb);            // (-5, 1)
  // Rounding constants with the bias put back: 32 * 32768 per one-dimensional
  // sum, 32 * that per centre sum.
  const __m128i half_round = _mm_set1_epi32((1 << 20) + 16);
  const __m128i centre_round = _mm_set1_epi32((1 << 25) + 512);
  const __m128i max;

  explicit Engine16(int32_t maxValue) : max(_mm_set1_epi16(int16_t(maxValue))) {}

  Pix load(const T* p) const { return W == 8 ? load128(p) : load64(p); }
  void store(T* p, Pix v) const { W == 8 ? store128(p, v) : store64(p, v); }
  Pix avg(Pix a, Pix b) const { return _mm_avg_epu16(a, b); }
  __m128i biased(const T* p) const { return _mm_xor_si128(load(p), bias); }
  __m128i sum(__m128i p01, __m128i p23, __m128i p45) const {
    return _mm_add_epi32(_mm_add_epi32(_mm_madd_epi16(p01, c01), _mm_madd_epi16(p23, c23)), _mm_madd_epi16(p45, c45));
  }
  // Clamped samples from 32-bit results in column order.
  Pix pack(__m128i lo, __m128i hi) const { return _mm_min_epu16(_mm_packus_epi32(lo, hi), max); }

  HRaw h_raw(const T* p) const {
    return {sum(biased(p - 2), biased(p), biased(p + 2)), sum(biased(p - 1), biased(p + 1), biased(p + 3))};
  }
  Pix half(const HRaw& x) const {
    const __m128i e = _mm_srai_epi32(_mm_add_epi32(x.even, half_round), 5);
    const __m128i o = _mm_srai_epi32(_mm_add_epi32(x.odd, half_round), 5);
    return pack(_mm_unpacklo_epi32(e, o), _mm_unpackhi_epi32(e, o));
  }
  Row row(const T* p) const { return biased(p); }
  Pair pair(Row a, Row b) const {
    if constexpr (W == 4) return {_mm_unpacklo_epi16(a, b), _mm_setzero_si128()};
    return {_mm_unpacklo_epi16(a, b), _mm_unpackhi_epi16(a, b)};
  }
  VRaw vtap(const Pair& p01, const Pair& p23, const Pair& p45) const {
    if constexpr (W == 4) return {sum(p01.lo, p23.lo, p45.lo), _mm_setzero_si128()};
    return {sum(p01.lo, p23.lo, p45.lo), sum(p01.hi, p23.hi, p45.hi)};
  }
  Pix half(const VRaw& x) const {
    return pack(_mm_srai_epi32(_mm_add_epi32(x.lo, half_round), 5), _mm_srai_epi32(_mm_add_epi32(x.hi, half_round), 5));
  }
  // A - 5B + 20C = A + 5 (4C - B); within 32 bits for every 16-bit sample.
  __m128i centre_of(__m128i r0, __m128i r1, __m128i r2, __m128i r3, __m128i r4, __m128i r5) const {
    const __m128i a = _mm_add_epi32(r0, r5), b = _mm_add_epi32(r1, r4), c = _mm_add_epi32(r2, r3);
    const __m128i t = _mm_sub_epi32(_mm_slli_epi32(c, 2), b);
    const __m128i s = _mm_add_epi32(a, _mm_add_epi32(_mm_slli_epi32(t, 2), t));
    return _mm_srai_epi32(_mm_add_epi32(s, centre_round), 10);
  }
  Pix centre(const HRaw& r0, const HRaw& r1, const HRaw& r2, const HRaw& r3, const HRaw& r4, const HRaw& r5) const {
    const __m128i e = centre_of(r0.even, r1.even, r2.even, r3.even, r4.even, r5.even);
    const __m128i o = centre_of(r0.odd, r1.odd, r2.odd, r3.odd, r4.odd, r5.odd);
    return pack(_mm_unpacklo_epi32(e, o), _mm_unpackhi_epi32(e, o));
  }
};

}  // namespace
}  // namespace sse41

void interp_luma_init_sse41(InterpLumaKernels& k) {
  using namespace sse41;
  using namespace interp_luma;
  fill_fractions<Kernels8<Engine8<4>>>(k.luma8[0]);
  fill_fractions<Kernels8<Engine8<8>>>(k.luma8[1]);
  fill_fractions<Kernels8Split<Engine8<8>, Engine8<4>>>(k.luma8[2]);
  fill_fractions<Kernels8<Engine8x16>>(k.luma8[3]);
  fill_fractions<Kernels16<Engine16<4>>>(k.luma16[0]);
  fill_fractions<Kernels16<Engine16<8>>>(k.luma16[1]);
  fill_fractions<Kernels16Split<Engine16<8>, Engine16<4>>>(k.luma16[2]);
  fill_fractions<Kernels16Split<Engine16<8>, Engine16<8>>>(k.luma16[3]);
}

}  // namespace kvn
