// SSSE3 / SSE4.1 kernels of the H.264 luma interpolation (compiled for
// SSE4.1): the engines of interp_luma_simd.h for every width, on 128-bit
// registers (the arithmetic is described there).
#include <smmintrin.h>

#include "h264/inter/interp_luma_simd.h"
#include "simd/lanes.h"
#include "simd/loads.h"

namespace kvn {
namespace KVN_ISA {
namespace {

using std::ptrdiff_t;
using namespace interp_luma;

// ---- 8-bit

struct PairMasks {
  __m128i m[3];
  explicit PairMasks(const MaskBytes& b) : m{load<16>(b.b[0]), load<16>(b.b[1]), load<16>(b.b[2])} {}
};

// The filter constants, and the pair sums of bytes gathered by pshufb.
struct Taps : Taps8<Lanes128> {
  __m128i gather(__m128i x, const PairMasks& m) const {
    return sum(_mm_shuffle_epi8(x, m.m[0]), _mm_shuffle_epi8(x, m.m[1]), _mm_shuffle_epi8(x, m.m[2]));
  }
};

// Widths 4 and 8: one register per row. Horizontally, bytes -2 .. 5 of the
// row go to bytes 0 .. 7 of the register and bytes 3 .. 10 (width 4: 3 .. 6)
// to bytes 8 .. 15, so nothing beyond column W + 2 is read.
template <int W>
struct Engine8 : Taps {
  static_assert(W == 4 || W == 8, "width");
  using T = uint8_t;
  using Pix = __m128i;
  using HRaw = __m128i;
  using VRaw = __m128i;
  using Row = __m128i;
  using Pair = __m128i;
  const PairMasks masks{kSplitMasks};

  Pix load(const T* p) const { return KVN_ISA::load<W>(p); }
  void store(T* p, Pix v) const { KVN_ISA::store<W>(p, v); }
  Pix avg(Pix a, Pix b) const { return _mm_avg_epu8(a, b); }
  HRaw h_raw(const T* p) const {
    __m128i x;
    if constexpr (W == 8)
      x = load8x2(p - 2, p + 3);
    else
      x = _mm_insert_epi32(KVN_ISA::load<8>(p - 2), _mm_cvtsi128_si32(KVN_ISA::load<4>(p + 3)), 2);
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
    const __m128i j = Taps::centre(r0, r1, r2, r3, r4, r5);
    return _mm_packus_epi16(j, j);
  }
};

// Width 16: sums of columns 0 .. 7 and 8 .. 15 in two registers.
// Horizontally one load holds bytes -2 .. 13, another bytes 3 .. 18.
struct Engine8x16 : Taps {
  using T = uint8_t;
  using Pix = __m128i;
  struct HRaw {
    __m128i lo, hi;
  };
  using VRaw = HRaw;
  using Row = __m128i;
  using Pair = HRaw;
  const PairMasks lo_masks{kLowMasks}, hi_masks{kHighMasks};

  Pix load(const T* p) const { return KVN_ISA::load<16>(p); }
  void store(T* p, Pix v) const { KVN_ISA::store<16>(p, v); }
  Pix avg(Pix a, Pix b) const { return _mm_avg_epu8(a, b); }
  HRaw h_raw(const T* p) const {
    return {gather(KVN_ISA::load<16>(p - 2), lo_masks), gather(KVN_ISA::load<16>(p + 3), hi_masks)};
  }
  Pix half(HRaw x) const { return _mm_packus_epi16(round_half(x.lo), round_half(x.hi)); }
  Row row(const T* p) const { return KVN_ISA::load<16>(p); }
  Pair pair(Row a, Row b) const { return {_mm_unpacklo_epi8(a, b), _mm_unpackhi_epi8(a, b)}; }
  VRaw vtap(Pair p01, Pair p23, Pair p45) const { return {sum(p01.lo, p23.lo, p45.lo), sum(p01.hi, p23.hi, p45.hi)}; }
  Pix centre(const HRaw& r0, const HRaw& r1, const HRaw& r2, const HRaw& r3, const HRaw& r4, const HRaw& r5) const {
    return _mm_packus_epi16(Taps::centre(r0.lo, r1.lo, r2.lo, r3.lo, r4.lo, r5.lo),
                            Taps::centre(r0.hi, r1.hi, r2.hi, r3.hi, r4.hi, r5.hi));
  }
};

// ---- 16-bit: Engine16 of interp_luma_simd.h, widths 4 and 8 (classes of
// this file, like every engine, so that the kernels made of them stay local)

struct Engine16x4 : Engine16<Lanes128, 4> {
  using Engine16::Engine16;
};
struct Engine16x8 : Engine16<Lanes128, 8> {
  using Engine16::Engine16;
};

}  // namespace
}  // namespace KVN_ISA

constexpr void interp_luma_init_sse41(InterpLumaKernels& k) {
  using namespace KVN_ISA;
  using namespace interp_luma;
  fill_fractions<Kernels8<Engine8<4>>>(k.luma8[0]);
  fill_fractions<Kernels8<Engine8<8>>>(k.luma8[1]);
  fill_fractions<Kernels8Split<Engine8<8>, Engine8<4>>>(k.luma8[2]);
  fill_fractions<Kernels8<Engine8x16>>(k.luma8[3]);
  fill_fractions<Kernels16<Engine16x4>>(k.luma16[0]);
  fill_fractions<Kernels16<Engine16x8>>(k.luma16[1]);
  fill_fractions<Kernels16Split<Engine16x8, Engine16x4>>(k.luma16[2]);
  fill_fractions<Kernels16Split<Engine16x8, Engine16x8>>(k.luma16[3]);
}

KVN_LEVEL_KERNELS(interp_luma, InterpLumaKernels);

}  // namespace kvn
