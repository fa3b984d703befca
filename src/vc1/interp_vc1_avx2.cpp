// AVX2 kernels of the VC-1 bicubic interpolation of 16-wide blocks: the
// SSSE3 kernels' arithmetic (interp_vc1_sse41.cpp) with 256-bit registers.
// The two-dimensional filter keeps the two groups of eight outputs of a row
// in the two 128-bit halves (the in-lane unpacks, palignr and packs then
// work on each group apart); the one-direction filters take two rows a
// register.
#include <immintrin.h>

#include "simd/loads.h"
#include "vc1/interp_vc1.h"

namespace kvn {
namespace KVN_ISA {
namespace {

using W = __m256i;

inline W byte_weights(int first, int second) {
  return _mm256_set1_epi16(int16_t(uint16_t(uint8_t(second) << 8 | uint8_t(first))));
}
inline W word_weights(int first, int second) {
  return _mm256_set1_epi32(int32_t((uint32_t(second) << 16) | uint16_t(first)));
}

// Columns -1 .. 9 of the row in the low half, 7 .. 17 in the high half.
inline W groups(const uint8_t* row) {
  return _mm256_inserti128_si256(_mm256_castsi128_si256(load<16>(row - 1)), _mm_srli_si128(load<16>(row + 2), 5), 1);
}

template <int H>
void bicubic_both16(const uint8_t* s, ptrdiff_t ss, uint8_t* d, ptrdiff_t ds, int dx, int dy, int r) {
  const BicubicTaps& tv = kBicubicTaps[dy];
  const BicubicTaps& th = kBicubicTaps[dx];
  const int sh = bicubic_mid_shift(dx, dy);
  const W v01 = byte_weights(tv.t0, tv.t1), v23 = byte_weights(tv.t2, tv.t3);
  const W vrnd = _mm256_set1_epi16(int16_t((1 << (sh - 1)) - 1 + r));
  const __m128i vsh = _mm_cvtsi32_si128(sh);
  const W h01 = word_weights(th.t0, th.t1), h23 = word_weights(th.t2, th.t3), hrnd = _mm256_set1_epi32(64 - r);
  W a = groups(s - ss), b = groups(s), c = groups(s + ss);
  for (int y = 0; y < H; ++y, s += ss, d += ds) {
    const W e = groups(s + 2 * ss);
    const W lo =
        _mm256_sra_epi16(_mm256_add_epi16(_mm256_add_epi16(_mm256_maddubs_epi16(_mm256_unpacklo_epi8(a, b), v01),
                                                           _mm256_maddubs_epi16(_mm256_unpacklo_epi8(c, e), v23)),
                                          vrnd),
                         vsh);
    const W hi =
        _mm256_sra_epi16(_mm256_add_epi16(_mm256_add_epi16(_mm256_maddubs_epi16(_mm256_unpackhi_epi8(a, b), v01),
                                                           _mm256_maddubs_epi16(_mm256_unpackhi_epi8(c, e), v23)),
                                          vrnd),
                         vsh);
    const W even = _mm256_add_epi32(_mm256_madd_epi16(lo, h01), _mm256_madd_epi16(_mm256_alignr_epi8(hi, lo, 4), h23));
    const W odd = _mm256_add_epi32(_mm256_madd_epi16(_mm256_alignr_epi8(hi, lo, 2), h01),
                                   _mm256_madd_epi16(_mm256_alignr_epi8(hi, lo, 6), h23));
    const W ev = _mm256_srai_epi32(_mm256_add_epi32(even, hrnd), 7);
    const W od = _mm256_srai_epi32(_mm256_add_epi32(odd, hrnd), 7);
    const W words = _mm256_packs_epi32(_mm256_unpacklo_epi32(ev, od), _mm256_unpackhi_epi32(ev, od));
    const W bytes = _mm256_packus_epi16(words, words);  // group 0 in bytes 0..7, group 1 in bytes 16..23
    store<16>(d, _mm_unpacklo_epi64(_mm256_castsi256_si128(bytes), _mm256_extracti128_si256(bytes, 1)));
    a = b, b = c, c = e;
  }
}

}  // namespace
}  // namespace KVN_ISA

constexpr void interp_vc1_init_avx2(InterpVc1Kernels& k) {
  k.bicubic[1][3] = KVN_ISA::bicubic_both16<8>;
  k.bicubic[2][3] = KVN_ISA::bicubic_both16<16>;
}

KVN_LEVEL_KERNELS(interp_vc1, InterpVc1Kernels);

}  // namespace kvn
