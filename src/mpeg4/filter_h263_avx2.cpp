// AVX2 kernel of the H.263 deblocking filter on horizontal 16-sample edges:
// the arithmetic of the SSE2 kernels (filter_h263_sse2.cpp) on all sixteen
// positions at once. (The other edges gain nothing measurable from 256-bit
// lanes: the boundary filter is a few instructions, vertical edges are
// dominated by their transposes.)
#include <immintrin.h>

#include <cstddef>

#include "mpeg4/filter_h263.h"
#include "simd/loads.h"
#include "simd/pack.h"

namespace kvn {
namespace KVN_ISA {
namespace {

using V = __m256i;

template <int S>
inline V div_trunc(V x) {
  return _mm256_srai_epi16(
      _mm256_add_epi16(x, _mm256_and_si256(_mm256_srai_epi16(x, 15), _mm256_set1_epi16((1 << S) - 1))), S);
}

inline V row(const uint8_t* p) { return _mm256_cvtepu8_epi16(load<16>(p)); }
inline void put(uint8_t* p, V v) { store<16>(p, pack_u8(v)); }

void deblock_hor16(uint8_t* p, int32_t step, int32_t strength) {
  const ptrdiff_t s = step;
  const V s2 = _mm256_set1_epi16(int16_t(2 * strength));
  const V a = row(p - 2 * s), b = row(p - s), c = row(p), d = row(p + s);
  const V x = _mm256_add_epi16(_mm256_sub_epi16(a, d), _mm256_slli_epi16(_mm256_sub_epi16(c, b), 2));
  const V sign = _mm256_srai_epi16(x, 15);
  const V ad = _mm256_sub_epi16(_mm256_xor_si256(div_trunc<3>(x), sign), sign);
  const V m1 = _mm256_subs_epu16(ad, _mm256_subs_epu16(_mm256_add_epi16(ad, ad), s2));
  const V d1 = _mm256_sub_epi16(_mm256_xor_si256(m1, sign), sign);
  const V lim = _mm256_srli_epi16(m1, 1);
  V d2 = div_trunc<2>(_mm256_sub_epi16(a, d));
  d2 = _mm256_max_epi16(_mm256_min_epi16(d2, lim), _mm256_sub_epi16(_mm256_setzero_si256(), lim));
  put(p - 2 * s, _mm256_sub_epi16(a, d2));
  put(p - s, _mm256_add_epi16(b, d1));
  put(p, _mm256_sub_epi16(c, d1));
  put(p + s, _mm256_add_epi16(d, d2));
}

}  // namespace
}  // namespace KVN_ISA

constexpr void filter_h263_init_avx2(FilterH263Kernels& k) { k.deblock_hor[kEdge16] = KVN_ISA::deblock_hor16; }

KVN_LEVEL_KERNELS(filter_h263, FilterH263Kernels);

}  // namespace kvn
