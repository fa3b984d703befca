// AVX2 kernels of the H.264 luma interpolation for 16-wide blocks: the
// engines of interp_luma_simd.h with a whole row in one register. The
// arithmetic is that of the SSSE3 / SSE4.1 engines (interp_luma_sse41.cpp),
// on twice the lanes; narrower blocks keep those.
//
// 8-bit: horizontally, lane 0 holds bytes -2 .. 13 of the row (columns
// 0 .. 7), lane 1 bytes 3 .. 18 (columns 8 .. 15); vertically, each row is
// spread so that lane 0 starts with columns 0 .. 7 and lane 1 with 8 .. 15,
// and two rows are interleaved byte by byte. 16-bit: within each lane the
// even and odd columns (horizontal) or the low and high halves (vertical)
// are summed apart; packing the two registers restores column order.
#include <immintrin.h>

#include <cstring>

#define KVN_INTERP_SIMD_NS avx2
#include "h264/inter/interp_luma_simd.h"

namespace kvn {
namespace avx2 {
namespace {

using std::ptrdiff_t;
using namespace interp_luma;

inline __m128i load128(const void* p) { return _mm_loadu_si128(static_cast<const __m128i*>(p)); }
inline void store128(void* p, __m128i v) { _mm_storeu_si128(static_cast<__m128i*>(p), v); }
inline __m256i load256(const void* p) { return _mm256_loadu_si256(static_cast<const __m256i*>(p)); }
inline void store256(void* p, __m256i v) { _mm256_storeu_si256(static_cast<__m256i*>(p), v); }
inline __m256i two(__m128i lo, __m128i hi) { return _mm256_inserti128_si256(_mm256_castsi128_si256(lo), hi, 1); }

struct Engine8x16 {
  using T = uint8_t;
  using Pix = __m128i;
  using HRaw = __m256i;
  using VRaw = __m256i;
  using Row = __m256i;
  using Pair = __m256i;

  const __m256i c01 = _mm256_set1_epi16(int16_t(0xfb01));  // bytes (1, -5)
  const __m256i c23 = _mm256_set1_epi16(0x1414);           // (20, 20)
  const __m256i c45 = _mm256_set1_epi16(0x01fb);           // (-5, 1)
  const __m256i m0 = two(load128(kLowMasks.b[0]), load128(kHighMasks.b[0]));
  const __m256i m1 = two(load128(kLowMasks.b[1]), load128(kHighMasks.b[1]));
  const __m256i m2 = two(load128(kLowMasks.b[2]), load128(kHighMasks.b[2]));

  Pix load(const T* p) const { return load128(p); }
  void store(T* p, Pix v) const { store128(p, v); }
  Pix avg(Pix a, Pix b) const { return _mm_avg_epu8(a, b); }
  __m256i sum(__m256i p01, __m256i p23, __m256i p45) const {
    return _mm256_add_epi16(_mm256_add_epi16(_mm256_maddubs_epi16(p01, c01), _mm256_maddubs_epi16(p23, c23)),
                            _mm256_maddubs_epi16(p45, c45));
  }
  // 16 lanes in column order to 16 bytes, clamped.
  static Pix bytes(__m256i x) {
    return _mm256_castsi256_si128(_mm256_permute4x64_epi64(_mm256_packus_epi16(x, x), 0x08));
  }
  HRaw h_raw(const T* p) const {
    const __m256i x = two(load128(p - 2), load128(p + 3));
    return sum(_mm256_shuffle_epi8(x, m0), _mm256_shuffle_epi8(x, m1), _mm256_shuffle_epi8(x, m2));
  }
  Pix half(__m256i x) const { return bytes(_mm256_mulhrs_epi16(x, _mm256_set1_epi16(1024))); }
  Row row(const T* p) const { return _mm256_permute4x64_epi64(_mm256_castsi128_si256(load128(p)), 0x50); }
  Pair pair(Row a, Row b) const { return _mm256_unpacklo_epi8(a, b); }
  VRaw vtap(Pair p01, Pair p23, Pair p45) const { return sum(p01, p23, p45); }
  // Exact 16-bit centre (derivation in interp_luma_sse41.cpp).
  Pix centre(HRaw r0, HRaw r1, HRaw r2, HRaw r3, HRaw r4, HRaw r5) const {
    const __m256i a = _mm256_add_epi16(r0, r5), b = _mm256_add_epi16(r1, r4), c = _mm256_add_epi16(r2, r3);
    const __m256i y = _mm256_srai_epi16(_mm256_sub_epi16(a, b), 2);
    const __m256i d = _mm256_sub_epi16(c, b);
    const __m256i t = _mm256_add_epi16(_mm256_and_si256(y, d), _mm256_srai_epi16(_mm256_xor_si256(y, d), 1));
    const __m256i x = _mm256_add_epi16(_mm256_srai_epi16(t, 1), c);
    return bytes(_mm256_mulhrs_epi16(x, _mm256_set1_epi16(512)));
  }
};

struct Engine16x16 {
  using T = uint16_t;
  using Pix = __m256i;
  struct HRaw {
    __m256i even, odd;
  };
  struct VRaw {
    __m256i lo, hi;
  };
  using Row = __m256i;
  using Pair = VRaw;

  const __m256i bias = _mm256_set1_epi16(int16_t(0x8000));
  const __m256i c01 = _mm256_set1_epi32(int32_t(0xfffb0001u));  // (1, -5)
  const __m256i c23 = _mm256_set1_epi32(0x00140014);            // (20, 20)
  const __m256i c45 = _mm256_set1_epi32(0x0001fffb);            // (-5, 1)
  const __m256i half_round = _mm256_set1_epi32((1 << 20) + 16);
  const __m256i centre_round = _mm256_set1_epi32((1 << 25) + 512);
  const __m256i max;

  explicit Engine16x16(int32_t maxValue) : max(_mm256_set1_epi16(int16_t(maxValue))) {}

  Pix load(const T* p) const { return load256(p); }
  void store(T* p, Pix v) const { store256(p, v); }
  Pix avg(Pix a, Pix b) const { return _mm256_avg_epu16(a, b); }
  __m256i biased(const T* p) const { return _mm256_xor_si256(load256(p), bias); }
  __m256i sum(__m256i p01, __m256i p23, __m256i p45) const {
    return _mm256_add_epi32(_mm256_add_epi32(_mm256_madd_epi16(p01, c01), _mm256_madd_epi16(p23, c23)),
                            _mm256_madd_epi16(p45, c45));
  }
  Pix pack(__m256i lo, __m256i hi) const { return _mm256_min_epu16(_mm256_packus_epi32(lo, hi), max); }

  HRaw h_raw(const T* p) const {
    return {sum(biased(p - 2), biased(p), biased(p + 2)), sum(biased(p - 1), biased(p + 1), biased(p + 3))};
  }
  Pix half(const HRaw& x) const {
    const __m256i e = _mm256_srai_epi32(_mm256_add_epi32(x.even, half_round), 5);
    const __m256i o = _mm256_srai_epi32(_mm256_add_epi32(x.odd, half_round), 5);
    return pack(_mm256_unpacklo_epi32(e, o), _mm256_unpackhi_epi32(e, o));
  }
  Row row(const T* p) const { return biased(p); }
  Pair pair(Row a, Row b) const { return {_mm256_unpacklo_epi16(a, b), _mm256_unpackhi_epi16(a, b)}; }
  VRaw vtap(const Pair& p01, const Pair& p23, const Pair& p45) const {
    return {sum(p01.lo, p23.lo, p45.lo), sum(p01.hi, p23.hi, p45.hi)};
  }
  Pix half(const VRaw& x) const {
    return pack(_mm256_srai_epi32(_mm256_add_epi32(x.lo, half_round), 5),
                _mm256_srai_epi32(_mm256_add_epi32(x.hi, half_round), 5));
  }
  __m256i centre_of(__m256i r0, __m256i r1, __m256i r2, __m256i r3, __m256i r4, __m256i r5) const {
    const __m256i a = _mm256_add_epi32(r0, r5), b = _mm256_add_epi32(r1, r4), c = _mm256_add_epi32(r2, r3);
    const __m256i t = _mm256_sub_epi32(_mm256_slli_epi32(c, 2), b);
    const __m256i s = _mm256_add_epi32(a, _mm256_add_epi32(_mm256_slli_epi32(t, 2), t));
    return _mm256_srai_epi32(_mm256_add_epi32(s, centre_round), 10);
  }
  Pix centre(const HRaw& r0, const HRaw& r1, const HRaw& r2, const HRaw& r3, const HRaw& r4, const HRaw& r5) const {
    const __m256i e = centre_of(r0.even, r1.even, r2.even, r3.even, r4.even, r5.even);
    const __m256i o = centre_of(r0.odd, r1.odd, r2.odd, r3.odd, r4.odd, r5.odd);
    return pack(_mm256_unpacklo_epi32(e, o), _mm256_unpackhi_epi32(e, o));
  }
};

}  // namespace
}  // namespace avx2

void interp_luma_init_avx2(InterpLumaKernels& k) {
  using namespace avx2;
  fill_fractions<interp_luma::Kernels8<Engine8x16>>(k.luma8[3]);
  fill_fractions<interp_luma::Kernels16<Engine16x16>>(k.luma16[3]);
}

}  // namespace kvn
