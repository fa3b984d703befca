// SSE2 kernels of the H.264 8x8 transform family: the 16-bit transforms on
// whole rows (transpose, butterfly over 8 rows at once, transpose, butterfly),
// the 16-bit quantiser and inverse quantiser eight coefficients at a time.
#include <emmintrin.h>

#include <cstddef>

#include "h264/transform/h264_simd.h"
#include "h264/transform/transform8x8.h"
#include "simd/transpose.h"

namespace kvn {
namespace KVN_ISA {
namespace {

using h264::Sat16;
using h264::Wrap16;

inline __m128i sr1(__m128i v) { return _mm_srai_epi16(v, 1); }
inline __m128i sr2(__m128i v) { return _mm_srai_epi16(v, 2); }

// Forward 8-point butterfly over eight lanes at once, in place.
template <class A>
void fwd8(__m128i* x) {
  const __m128i a0 = A::add(x[0], x[7]), a1 = A::add(x[1], x[6]), a2 = A::add(x[2], x[5]), a3 = A::add(x[3], x[4]);
  const __m128i a4 = A::sub(x[0], x[7]), a5 = A::sub(x[1], x[6]), a6 = A::sub(x[2], x[5]), a7 = A::sub(x[3], x[4]);
  const __m128i b0 = A::add(a0, a3), b1 = A::add(a1, a2), b2 = A::sub(a0, a3), b3 = A::sub(a1, a2);
  const __m128i b4 = A::add(A::add(a5, a6), A::add(a4, sr1(a4)));
  const __m128i b5 = A::sub(A::sub(a4, a7), A::add(a6, sr1(a6)));
  const __m128i b6 = A::sub(A::add(a4, a7), A::add(a5, sr1(a5)));
  const __m128i b7 = A::add(A::sub(a5, a6), A::add(a7, sr1(a7)));
  x[0] = A::add(b0, b1);
  x[4] = A::sub(b0, b1);
  x[2] = A::add(b2, sr1(b3));
  x[6] = A::sub(sr1(b2), b3);
  x[1] = A::add(b4, sr2(b7));
  x[3] = A::add(b5, sr2(b6));
  x[5] = A::sub(b6, sr2(b5));
  x[7] = A::sub(sr2(b4), b7);
}

// Inverse 8-point butterfly (H.264 8.5.13.2) over eight lanes, in place.
template <class A>
void inv8(__m128i* d) {
  const __m128i a0 = A::add(d[0], d[4]), a4 = A::sub(d[0], d[4]);
  const __m128i a2 = A::sub(sr1(d[2]), d[6]), a6 = A::add(d[2], sr1(d[6]));
  const __m128i b0 = A::add(a0, a6), b2 = A::add(a4, a2), b4 = A::sub(a4, a2), b6 = A::sub(a0, a6);
  const __m128i a1 = A::sub(A::sub(A::sub(d[5], d[3]), d[7]), sr1(d[7]));
  const __m128i a3 = A::sub(A::sub(A::add(d[1], d[7]), d[3]), sr1(d[3]));
  const __m128i a5 = A::add(A::add(A::sub(d[7], d[1]), d[5]), sr1(d[5]));
  const __m128i a7 = A::add(A::add(A::add(d[3], d[5]), d[1]), sr1(d[1]));
  const __m128i b1 = A::add(a1, sr2(a7)), b7 = A::sub(a7, sr2(a1));
  const __m128i b3 = A::add(a3, sr2(a5)), b5 = A::sub(sr2(a3), a5);
  d[0] = A::add(b0, b7);
  d[1] = A::add(b2, b5);
  d[2] = A::add(b4, b3);
  d[3] = A::add(b6, b1);
  d[4] = A::sub(b6, b1);
  d[5] = A::sub(b4, b3);
  d[6] = A::sub(b2, b5);
  d[7] = A::sub(b0, b7);
}

inline void load8(const int16_t* src, __m128i* r) {
  for (int i = 0; i < 8; ++i) r[i] = load<16>(src + 8 * i);
}

// Rows then columns: the row pass runs on the transposed block.
template <void (*F)(__m128i*)>
void rows_cols(__m128i* r) {
  transpose8x8_16<Lanes128>(r);
  F(r);
  transpose8x8_16<Lanes128>(r);
  F(r);
}

void fwd16s(const int16_t* src, int16_t* dst) {
  __m128i r[8];
  load8(src, r);
  rows_cols<fwd8<Wrap16>>(r);
  for (int i = 0; i < 8; ++i) store<16>(dst + 8 * i, r[i]);
}

void inv_add8u(const uint8_t* pred, int32_t predStep, const int16_t* src, uint8_t* dst, int32_t dstStep) {
  __m128i r[8];
  load8(src, r);
  rows_cols<inv8<Sat16>>(r);
  const __m128i k32 = _mm_set1_epi16(32), zero = _mm_setzero_si128();
  for (int i = 0; i < 8; ++i) {
    const __m128i res = _mm_srai_epi16(_mm_adds_epi16(r[i], k32), 6);
    const __m128i p = _mm_unpacklo_epi8(load<8>(pred + std::ptrdiff_t(i) * predStep), zero);
    store<8>(dst + std::ptrdiff_t(i) * dstStep, _mm_packus_epi16(_mm_adds_epi16(res, p), p));
  }
}

// |c| is saturated to 32767 (c = -32768 is taken as -32767), then the 4x4
// family's exact 32-bit |c| * F + f, shift and sign, saturated to 16 bits.
void quant16s(const int16_t* src, int16_t* dst, int32_t q6, int32_t intra, const int16_t* scan, const int16_t* scale,
              int32_t* num, int32_t* last) {
  const int s = q6 + 12;
  const __m128i f = _mm_set1_epi32((intra ? 682 : 342) << (q6 + 1)), sh = _mm_cvtsi32_si128(s);
  const __m128i lowest = _mm_set1_epi16(-32767), zero = _mm_setzero_si128(), low = _mm_set1_epi16(-32768);
  __m128i top = low;
  int32_t count = 0;
  for (int r = 0; r < 8; ++r) {
    const __m128i c = _mm_max_epi16(load<16>(src + 8 * r), lowest);
    const __m128i l = h264::quant_sat<Lanes128>(c, load<16>(scale + 8 * r), f, sh);
    store<16>(dst + 8 * r, l);
    const __m128i z = _mm_cmpeq_epi16(l, zero);
    count += __builtin_popcount(uint32_t(_mm_movemask_epi8(z)) ^ 0xffffu);
    top = _mm_max_epi16(top, _mm_or_si128(_mm_and_si128(z, low), _mm_andnot_si128(z, load<16>(scan + 8 * r))));
  }
  count >>= 1;
  top = _mm_max_epi16(top, _mm_shuffle_epi32(top, _MM_SHUFFLE(1, 0, 3, 2)));
  top = _mm_max_epi16(top, _mm_shuffle_epi32(top, _MM_SHUFFLE(2, 3, 0, 1)));
  top = _mm_max_epi16(top, _mm_shufflelo_epi16(top, _MM_SHUFFLE(2, 3, 0, 1)));
  *last = count ? int16_t(_mm_cvtsi128_si32(top)) : 0;
  *num = dst[0] != 0 ? -count : count;
}

// Exact 32-bit products c * L; below q6 = 6 rounded and shifted, from 6 on
// saturated to 16 bits and doubled (saturating) q6 - 6 times, which equals
// saturating the exact product shifted left.
void dequant16s(int16_t* block, int32_t q6, const int16_t* inv) {
  const int right = q6 < 6 ? 6 - q6 : 0;
  const __m128i rnd = _mm_set1_epi32(q6 < 6 ? 1 << (5 - q6) : 0), sh = _mm_cvtsi32_si128(right);
  for (int r = 0; r < 8; ++r) {
    const __m128i c = load<16>(block + 8 * r), l = load<16>(inv + 8 * r);
    const __m128i pl = _mm_mullo_epi16(c, l), ph = _mm_mulhi_epi16(c, l);
    const __m128i lo = _mm_sra_epi32(_mm_add_epi32(_mm_unpacklo_epi16(pl, ph), rnd), sh);
    const __m128i hi = _mm_sra_epi32(_mm_add_epi32(_mm_unpackhi_epi16(pl, ph), rnd), sh);
    __m128i v = _mm_packs_epi32(lo, hi);
    for (int k = 6; k < q6; ++k) v = _mm_adds_epi16(v, v);
    store<16>(block + 8 * r, v);
  }
}

}  // namespace
}  // namespace KVN_ISA

constexpr void transform8x8_init_sse2(Transform8x8Kernels& k) {
  k.fwd16s = KVN_ISA::fwd16s;
  k.inv_add8u = KVN_ISA::inv_add8u;
  k.quant16s = KVN_ISA::quant16s;
  k.dequant16s = KVN_ISA::dequant16s;
}

KVN_LEVEL_KERNELS(transform8x8, Transform8x8Kernels);

}  // namespace kvn
