// SSE4.1 kernel of the SAD family: the 8x8 multi-candidate SADs with mpsadbw,
// which gives the sums of eight neighbouring candidates against four source
// bytes in one instruction (two a row, one for each half of the source row).
// Measured against the SSE2 kernel: 15% faster for 8x8; for 4x4 (one mpsadbw
// a row) no faster than psadbw on two candidates at once, so not used there.
#include <smmintrin.h>

#include "sad.h"
#include "simd/loads.h"

namespace kvn {
namespace KVN_ISA {
namespace {

using std::ptrdiff_t;

// Bytes p[0 .. 14] of a reference row (byte 15 unspecified): one 16-byte
// load, or, in the last group, where that would read one byte past those the
// candidates cover, two 8-byte loads merged (the byte they share is equal, so
// or-ing them is exact).
template <bool Last>
inline __m128i ref_row(const uint8_t* p) {
  if constexpr (!Last) return load<16>(p);
  return _mm_or_si128(load<8>(p), _mm_slli_si128(load<8>(p + 7), 7));
}

// SADs of candidates i .. i + 7, as 16-bit values.
template <bool Last>
inline __m128i group(const uint8_t* src, ptrdiff_t ss, const uint8_t* ref, ptrdiff_t rs) {
  __m128i acc = _mm_setzero_si128();
  for (int y = 0; y < 8; ++y, src += ss, ref += rs) {
    const __m128i r = ref_row<Last>(ref), s = load<8>(src);
    acc = _mm_add_epi16(acc, _mm_add_epi16(_mm_mpsadbw_epu8(r, s, 0), _mm_mpsadbw_epu8(r, s, 5)));
  }
  return acc;
}

void xn8x8(const uint8_t* src, int32_t ss, const uint8_t* ref, int32_t rs, uint16_t* sads, int32_t n) {
  __m128i* out = reinterpret_cast<__m128i*>(sads);
  int32_t i = 0;
  for (; i + 8 < n; i += 8) _mm_storeu_si128(out++, group<false>(src, ss, ref + i, rs));
  _mm_storeu_si128(out, group<true>(src, ss, ref + i, rs));
}

}  // namespace
}  // namespace KVN_ISA

constexpr void sad_init_sse41(SadKernels& k) { k.xn[kXn8x8] = KVN_ISA::xn8x8; }

KVN_LEVEL_KERNELS(sad, SadKernels);

}  // namespace kvn
