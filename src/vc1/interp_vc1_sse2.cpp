// SSE2 range map: sixteen samples a step in 16-bit lanes,
// ((y - 128) (R + 9) + 4) >> 3 within -2048..2032, then + 128 and packuswb.
// Rows are done in steps of 16, then 8, then sample by sample, never twice
// (the destination may be the source).
#include <emmintrin.h>

#include "simd/loads.h"
#include "vc1/interp_vc1.h"

namespace kvn {
namespace KVN_ISA {
namespace {

using V = __m128i;

inline V map8(V lo, V mul) {
  const V c = _mm_set1_epi16(128);
  const V v = _mm_srai_epi16(_mm_add_epi16(_mm_mullo_epi16(_mm_sub_epi16(lo, c), mul), _mm_set1_epi16(4)), 3);
  return _mm_add_epi16(v, c);
}

void range_map(const uint8_t* s, ptrdiff_t ss, uint8_t* d, ptrdiff_t ds, int width, int height, int range) {
  const V mul = _mm_set1_epi16(int16_t(range + 9)), z = _mm_setzero_si128();
  for (int y = 0; y < height; ++y, s += ss, d += ds) {
    int x = 0;
    for (; x + 16 <= width; x += 16) {
      const V v = load<16>(s + x);
      store<16>(d + x, _mm_packus_epi16(map8(_mm_unpacklo_epi8(v, z), mul), map8(_mm_unpackhi_epi8(v, z), mul)));
    }
    if (x + 8 <= width) {
      const V v = map8(_mm_unpacklo_epi8(load<8>(s + x), z), mul);
      store<8>(d + x, _mm_packus_epi16(v, v));
      x += 8;
    }
    for (; x < width; ++x) d[x] = range_map_sample(s[x], range);
  }
}

}  // namespace
}  // namespace KVN_ISA

constexpr void interp_vc1_init_sse2(InterpVc1Kernels& k) { k.range_map = KVN_ISA::range_map; }

KVN_LEVEL_KERNELS(interp_vc1, InterpVc1Kernels);

}  // namespace kvn
