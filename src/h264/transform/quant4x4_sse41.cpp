// SSE4.1 (with SSSE3) kernel of the H.264 forward 4x4 transform and
// quantiser: pabsw / psignw for the sign, pshufb for the low 16 bits of the
// levels, psadbw for the count; otherwise as the SSE2 kernel.
#include <smmintrin.h>

#include "h264/transform/h264_simd.h"
#include "h264/transform/quant4x4.h"
#include "tables/h264_tables.h"

namespace kvn {
namespace KVN_ISA {
namespace {

using h264::Block;

// Low 16 bits of |c| * mul + f >> s for 8 lanes, before the sign of c. |c| is
// unsigned 16-bit; a negative mul (possible only in caller's scale levels)
// is corrected for in the high half of the product.
template <bool MayBeNegative>
inline __m128i magnitude8(__m128i a, __m128i mul, __m128i f, __m128i s) {
  const __m128i pl = _mm_mullo_epi16(a, mul);
  __m128i ph = _mm_mulhi_epu16(a, mul);
  if (MayBeNegative) ph = _mm_sub_epi16(ph, _mm_and_si128(_mm_srai_epi16(mul, 15), a));
  const __m128i lo = _mm_sra_epi32(_mm_add_epi32(_mm_unpacklo_epi16(pl, ph), f), s);
  const __m128i hi = _mm_sra_epi32(_mm_add_epi32(_mm_unpackhi_epi16(pl, ph), f), s);
  const __m128i words = _mm_setr_epi8(0, 1, 4, 5, 8, 9, 12, 13, -1, -1, -1, -1, -1, -1, -1, -1);
  return _mm_unpacklo_epi64(_mm_shuffle_epi8(lo, words), _mm_shuffle_epi8(hi, words));
}

template <bool MayBeNegative>
inline void levels(const Block& c, const int16_t* mul, __m128i f, __m128i s, int16_t* dst, __m128i& l0, __m128i& l1) {
  l0 = _mm_sign_epi16(magnitude8<MayBeNegative>(_mm_abs_epi16(c.lo), load<16>(mul), f, s), c.lo);
  l1 = _mm_sign_epi16(magnitude8<MayBeNegative>(_mm_abs_epi16(c.hi), load<16>(mul + 8), f, s), c.hi);
  store<16>(dst, l0);
  store<16>(dst + 8, l1);
}

// Number of nonzero levels (psadbw over the zero flags) and the largest scan
// entry among them.
inline int32_t count_levels(__m128i l0, __m128i l1, const int16_t* scan, int32_t* last) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i z0 = _mm_cmpeq_epi16(l0, zero), z1 = _mm_cmpeq_epi16(l1, zero);
  const __m128i zb = _mm_packs_epi16(z0, z1);
  const __m128i sad = _mm_sad_epu8(_mm_and_si128(zb, _mm_set1_epi8(1)), zero);
  const int32_t n = 16 - _mm_cvtsi128_si32(_mm_add_epi32(sad, _mm_unpackhi_epi64(sad, sad)));
  if (n == 0) {
    *last = 0;
    return 0;
  }
  const __m128i low = _mm_set1_epi16(-32768);
  __m128i m = _mm_max_epi16(_mm_blendv_epi8(load<16>(scan), low, z0), _mm_blendv_epi8(load<16>(scan + 8), low, z1));
  m = _mm_max_epi16(m, _mm_shuffle_epi32(m, _MM_SHUFFLE(1, 0, 3, 2)));
  m = _mm_max_epi16(m, _mm_shuffle_epi32(m, _MM_SHUFFLE(2, 3, 0, 1)));
  m = _mm_max_epi16(m, _mm_shufflelo_epi16(m, _MM_SHUFFLE(2, 3, 0, 1)));
  *last = int16_t(_mm_extract_epi16(m, 0));
  return n;
}

void tq16s(const int16_t* src, int16_t* dst, int32_t qp, int32_t* num, int32_t intra, const int16_t* scan,
           int32_t* last, const int16_t* scale) {
  Block b = Block::load(src);
  h264::fwd4x4<h264::Wrap16>(b);
  const int shift = (scale ? 11 : 15) + qp / 6;
  const __m128i f = _mm_set1_epi32(intra ? (1 << shift) / 3 : (1 << shift) / 6);
  const __m128i s = _mm_cvtsi32_si128(shift);
  __m128i l0, l1;
  if (scale)
    levels<true>(b, scale, f, s, dst, l0, l1);
  else
    levels<false>(b, kQuantMul4x4[qp % 6], f, s, dst, l0, l1);
  const int32_t n = count_levels(l0, l1, scan, last);
  *num = _mm_extract_epi16(l0, 0) != 0 ? -n : n;
}

}  // namespace
}  // namespace KVN_ISA

constexpr void quant4x4_init_sse41(Quant4x4Kernels& k) { k.tq16s = KVN_ISA::tq16s; }

KVN_LEVEL_KERNELS(quant4x4, Quant4x4Kernels);

}  // namespace kvn
