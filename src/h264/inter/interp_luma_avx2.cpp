// AVX2 kernels of the H.264 luma interpolation for 16-wide blocks: the
// engines of interp_luma_simd.h with a whole row in one register. The
// arithmetic is that of the SSSE3 / SSE4.1 engines, on twice the lanes;
// narrower blocks keep those.
//
// 8-bit: horizontally, lane 0 holds bytes -2 .. 13 of the row (columns
// 0 .. 7), lane 1 bytes 3 .. 18 (columns 8 .. 15); vertically, each row is
// spread so that lane 0 starts with columns 0 .. 7 and lane 1 with 8 .. 15,
// and two rows are interleaved byte by byte. 16-bit: within each lane the
// even and odd columns (horizontal) or the low and high halves (vertical)
// are summed apart; packing the two registers restores column order.
#include <immintrin.h>

#include "h264/inter/interp_luma_simd.h"
#include "simd/lanes.h"
#include "simd/loads.h"
#include "simd/pack.h"

namespace kvn {
namespace KVN_ISA {
namespace {

using std::ptrdiff_t;
using namespace interp_luma;

struct Engine8x16 : Taps8<Lanes256> {
  using T = uint8_t;
  using Pix = __m128i;
  using HRaw = __m256i;
  using VRaw = __m256i;
  using Row = __m256i;
  using Pair = __m256i;

  const __m256i m0 = load16x2(kLowMasks.b[0], kHighMasks.b[0]);
  const __m256i m1 = load16x2(kLowMasks.b[1], kHighMasks.b[1]);
  const __m256i m2 = load16x2(kLowMasks.b[2], kHighMasks.b[2]);

  Pix load(const T* p) const { return KVN_ISA::load<16>(p); }
  void store(T* p, Pix v) const { KVN_ISA::store<16>(p, v); }
  Pix avg(Pix a, Pix b) const { return _mm_avg_epu8(a, b); }
  HRaw h_raw(const T* p) const {
    const __m256i x = load16x2(p - 2, p + 3);
    return sum(_mm256_shuffle_epi8(x, m0), _mm256_shuffle_epi8(x, m1), _mm256_shuffle_epi8(x, m2));
  }
  Pix half(__m256i x) const { return pack_u8(round_half(x)); }
  Row row(const T* p) const { return _mm256_permute4x64_epi64(_mm256_castsi128_si256(KVN_ISA::load<16>(p)), 0x50); }
  Pair pair(Row a, Row b) const { return _mm256_unpacklo_epi8(a, b); }
  VRaw vtap(Pair p01, Pair p23, Pair p45) const { return sum(p01, p23, p45); }
  Pix centre(HRaw r0, HRaw r1, HRaw r2, HRaw r3, HRaw r4, HRaw r5) const {
    return pack_u8(Taps8::centre(r0, r1, r2, r3, r4, r5));
  }
};

// Engine16 of interp_luma_simd.h (a class of this file, like every engine,
// so that the kernels made of them stay local).
struct Engine16x16 : Engine16<Lanes256, 16> {
  using Engine16::Engine16;
};

}  // namespace
}  // namespace KVN_ISA

constexpr void interp_luma_init_avx2(InterpLumaKernels& k) {
  using namespace KVN_ISA;
  fill_fractions<interp_luma::Kernels8<Engine8x16>>(k.luma8[3]);
  fill_fractions<interp_luma::Kernels16<Engine16x16>>(k.luma16[3]);
}

KVN_LEVEL_KERNELS(interp_luma, InterpLumaKernels);

}  // namespace kvn
