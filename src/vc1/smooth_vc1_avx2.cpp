// AVX2 kernels of the VC-1 overlap smoothing of horizontal edges: the sixteen
// columns of a luma edge, or the eight columns of both chroma planes (one
// plane a 128-bit half), in one vector of 16-bit lanes, saturating as the
// SSE2 kernels (smooth_vc1_sse2.cpp) do. The vertical edges' cost is in their
// gathers and scatters of four bytes a row: they stay with SSE2.
#include <immintrin.h>

#include <cstddef>
#include <cstdint>

#include "simd/loads.h"
#include "simd/pack.h"
#include "vc1/smooth_vc1.h"

namespace kvn {
namespace KVN_ISA {
namespace {

using std::ptrdiff_t;
using V = __m256i;

inline V times7(V x) {
  const V x2 = _mm256_adds_epi16(x, x), x4 = _mm256_adds_epi16(x2, x2);
  return _mm256_adds_epi16(_mm256_adds_epi16(x4, x2), x);
}

inline const int16_t* next_row(const int16_t* p, int32_t step) {
  return reinterpret_cast<const int16_t*>(reinterpret_cast<const uint8_t*>(p) + ptrdiff_t(step));
}

inline void smooth(V x0, V x1, V x2, V x3, V (&t)[4]) {
  const V r = _mm256_set1_epi32(0x00030004), r7 = _mm256_set1_epi32(0x00040003);
  t[0] = _mm256_srai_epi16(_mm256_adds_epi16(_mm256_adds_epi16(times7(x0), x3), r), 3);
  V s = _mm256_adds_epi16(_mm256_subs_epi16(_mm256_setzero_si256(), x0), times7(x1));
  t[1] = _mm256_srai_epi16(_mm256_adds_epi16(_mm256_adds_epi16(_mm256_adds_epi16(s, x2), x3), r7), 3);
  s = _mm256_adds_epi16(_mm256_adds_epi16(x0, x1), times7(x2));
  t[2] = _mm256_srai_epi16(_mm256_adds_epi16(_mm256_subs_epi16(s, x3), r), 3);
  t[3] = _mm256_srai_epi16(_mm256_adds_epi16(_mm256_adds_epi16(x0, times7(x3)), r7), 3);
}

// Columns c0 .. c0 + n - 1 (n = 8 or 16): y0..y3 as bytes.
template <int N>
inline void columns(const int16_t* up, int32_t us, const int16_t* lo, int32_t ls, int c0, __m128i (&y)[4]) {
  const auto ld = [](const int16_t* p) {
    if constexpr (N == 16)
      return load<32>(p);
    else
      return _mm256_castsi128_si256(load<16>(p));
  };
  V t[4];
  smooth(ld(up + c0), ld(next_row(up, us) + c0), ld(lo + c0), ld(next_row(lo, ls) + c0), t);
  for (int k = 0; k < 4; ++k) y[k] = pack_u8(t[k]);
}

void luma_hor(const int16_t* up, int32_t us, const int16_t* lo, int32_t ls, uint8_t* dst, int32_t ds, uint32_t halves) {
  __m128i y[4];
  const ptrdiff_t s = ds;
  if (halves == 3) {
    columns<16>(up, us, lo, ls, 0, y);
    for (int k = 0; k < 4; ++k) store<16>(dst + (k - 2) * s, y[k]);
    return;
  }
  const int c0 = halves == 1 ? 0 : 8;
  columns<8>(up, us, lo, ls, c0, y);
  for (int k = 0; k < 4; ++k) store<8>(dst + (k - 2) * s + c0, y[k]);
}

// Plane 0 in the low half, plane 1 in the high half: y0..y3 packed to bytes
// per half and interleaved, plane 0 in the even bytes.
void chroma_hor_p2(const int16_t* u0, int32_t us0, const int16_t* lo0, int32_t ls0, const int16_t* u1, int32_t us1,
                   const int16_t* lo1, int32_t ls1, uint8_t* dst, int32_t ds) {
  V t[4];
  smooth(load16x2(u0, u1), load16x2(next_row(u0, us0), next_row(u1, us1)), load16x2(lo0, lo1),
         load16x2(next_row(lo0, ls0), next_row(lo1, ls1)), t);
  const ptrdiff_t s = ds;
  for (int k = 0; k < 4; ++k) {
    const __m128i b = pack_u8(t[k]);  // plane 0 bytes, plane 1 bytes
    store<16>(dst + (k - 2) * s, _mm_unpacklo_epi8(b, _mm_srli_si128(b, 8)));
  }
}

}  // namespace
}  // namespace KVN_ISA

constexpr void smooth_vc1_init_avx2(SmoothVc1Kernels& k) {
  k.luma_hor = KVN_ISA::luma_hor;
  k.chroma_hor_p2 = KVN_ISA::chroma_hor_p2;
}

KVN_LEVEL_KERNELS(smooth_vc1, SmoothVc1Kernels);

}  // namespace kvn
