// AVX2 kernel of the VC-1 loop filter on horizontal luma edges: all sixteen
// lines in one vector of 16-bit lanes (deblock_vc1_simd.h), about two thirds
// of the SSE2 kernel's time. The vertical luma edge measured no faster with
// its sixteen rows in one vector (its row loads and two-byte stores dominate),
// and the 8-line chroma edges fill only half a vector: they stay with SSE2.
#include <immintrin.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "simd/filter_lanes.h"
#include "simd/loads.h"
#include "simd/pack.h"
#include "vc1/deblock_vc1.h"
#include "vc1/deblock_vc1_simd.h"

namespace kvn {
namespace KVN_ISA {
namespace {

using std::ptrdiff_t;
using V = __m256i;

struct W16 : Lanes16x16 {
  static V third(V m) { return _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(m, 0xaa), 0xaa); }
};

using deblock_vc1::filter;
using deblock_vc1::pquant_lane;

// Lanes of the four segments switched on.
inline V segments_on(uint32_t segOff) {
  const V bits = _mm256_setr_epi16(1, 1, 1, 1, 2, 2, 2, 2, 4, 4, 4, 4, 8, 8, 8, 8);
  return _mm256_cmpeq_epi16(_mm256_and_si256(_mm256_set1_epi16(int16_t(segOff)), bits), _mm256_setzero_si256());
}

template <int N, int W>
inline void store_on(uint8_t* dst, __m128i row, uint32_t segOff) {
  if (segOff == 0) {
    store<N>(dst, row);
    return;
  }
  alignas(16) uint8_t b[16];
  _mm_store_si128(reinterpret_cast<__m128i*>(b), row);
  for (int s = 0; s < N / W; ++s)
    if (!(segOff >> s & 1)) std::memcpy(dst + W * s, b + W * s, W);
}

void luma_hor(uint8_t* p, int32_t step, uint32_t pquant, uint32_t segOff) {
  const ptrdiff_t s = step;
  V v[8];
  for (int k = 0; k < 8; ++k) v[k] = load_widen(p + (k - 4) * s);
  if (!filter<W16>(v, _mm256_set1_epi16(int16_t(pquant_lane(pquant))), segments_on(segOff))) return;
  store_on<16, 4>(p - s, pack_u8(v[3]), segOff);
  store_on<16, 4>(p, pack_u8(v[4]), segOff);
}

}  // namespace
}  // namespace KVN_ISA

constexpr void deblock_vc1_init_avx2(DeblockVc1Kernels& k) { k.luma_hor = KVN_ISA::luma_hor; }

KVN_LEVEL_KERNELS(deblock_vc1, DeblockVc1Kernels);

}  // namespace kvn
