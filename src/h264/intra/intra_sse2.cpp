// SSE2 kernels of the H.264 intra predictors of 16x16 luma and 8x8 chroma:
// whole rows stored at once, the plane computed on 16-bit lanes (every
// intermediate of the plane sum fits: |a| + 8 |b| + 8 |c| < 2^15).
#include <emmintrin.h>

#include <cstring>

#include "h264/intra/intra.h"
#include "simd/loads.h"

namespace kvn {
namespace KVN_ISA {
namespace {

template <int N>
void ver(uint8_t* b, std::ptrdiff_t s, int32_t) {
  const __m128i top = load<N>(b - s);
  for (int y = 0; y < N; ++y) store<N>(b + y * s, top);
}

// The left column is read before the first store (see hor in intra_pred.h).
template <int N>
void hor(uint8_t* b, std::ptrdiff_t s, int32_t) {
  uint8_t left[N];
  for (int y = 0; y < N; ++y) left[y] = b[y * s - 1];
  for (int y = 0; y < N; ++y) store<N>(b + y * s, _mm_set1_epi8(char(left[y])));
}

// Sum of the 16 left neighbours, read down the column.
inline int left_sum16(const uint8_t* b, std::ptrdiff_t s) {
  int even = 0, odd = 0;
  for (int y = 0; y < 16; y += 2, b += 2 * s) even += b[-1], odd += b[s - 1];
  return even + odd;
}

void dc16(uint8_t* b, std::ptrdiff_t s, int32_t a) {
  const bool t = a & kAvailTop, l = a & kAvailLeft;
  int st = 0;
  if (t) {
    // The halves summed in the register (measured faster here than hsum64 of
    // simd/reduce.h, which sums them in general registers).
    const __m128i sad = _mm_sad_epu8(load<16>(b - s), _mm_setzero_si128());
    st = _mm_cvtsi128_si32(_mm_add_epi32(sad, _mm_unpackhi_epi64(sad, sad)));
  }
  const int sl = l ? left_sum16(b, s) : 0;
  const int dc = t && l ? (st + sl + 16) >> 5 : t ? (st + 8) >> 4 : l ? (sl + 8) >> 4 : 128;
  const __m128i v = _mm_set1_epi8(char(dc));
  for (int y = 0; y < 16; ++y, b += s) store<16>(b, v);
}

// Chroma DC (H.264 8.3.4.1-8.3.4.3 for 4:2:0): the two top and two left sums
// of four, then each half of the block written as 8-byte rows.
void dc8(uint8_t* b, std::ptrdiff_t s, int32_t a) {
  const bool t = a & kAvailTop, l = a & kAvailLeft;
  int t0 = 0, t1 = 0, l0 = 0, l1 = 0;
  if (t) {
    const __m128i sad = _mm_sad_epu8(_mm_unpacklo_epi32(load<8>(b - s), _mm_setzero_si128()), _mm_setzero_si128());
    t0 = _mm_cvtsi128_si32(sad);
    t1 = _mm_cvtsi128_si32(_mm_unpackhi_epi64(sad, sad));
  }
  if (l) {
    l0 = b[-1] + b[s - 1] + b[2 * s - 1] + b[3 * s - 1];
    l1 = b[4 * s - 1] + b[5 * s - 1] + b[6 * s - 1] + b[7 * s - 1];
  }
  // Top-left and bottom-right quadrants use both edges; top-right prefers
  // the top, bottom-left the left.
  const int both0 = t && l ? (t0 + l0 + 4) >> 3 : t ? (t0 + 2) >> 2 : l ? (l0 + 2) >> 2 : 128;
  const int both1 = t && l ? (t1 + l1 + 4) >> 3 : t ? (t1 + 2) >> 2 : l ? (l1 + 2) >> 2 : 128;
  const int tr = t ? (t1 + 2) >> 2 : l ? (l0 + 2) >> 2 : 128;
  const int bl = l ? (l1 + 2) >> 2 : t ? (t0 + 2) >> 2 : 128;
  const uint64_t ones = 0x01010101u;
  const uint64_t top = uint64_t(both0) * ones | uint64_t(tr) * ones << 32;
  const uint64_t bottom = uint64_t(bl) * ones | uint64_t(both1) * ones << 32;
  for (int y = 0; y < 4; ++y) std::memcpy(b + y * s, &top, 8);
  for (int y = 4; y < 8; ++y) std::memcpy(b + y * s, &bottom, 8);
}

// Plane prediction on 16-bit lanes, a row (8 or 16 samples) per store.
template <int N>
void plane(uint8_t* b, std::ptrdiff_t s, int32_t) {
  constexpr int h = N / 2;
  const PlaneParams q = plane_params<N>(b, s);
  const int a = q.a, bb = q.b, cc = q.c;
  const __m128i ramp = _mm_setr_epi16(0, 1, 2, 3, 4, 5, 6, 7);
  const __m128i vb = _mm_set1_epi16(int16_t(bb)), vc = _mm_set1_epi16(int16_t(cc));
  const __m128i base = _mm_set1_epi16(int16_t(a - (h - 1) * bb - (h - 1) * cc + 16));
  __m128i lo = _mm_add_epi16(base, _mm_mullo_epi16(ramp, vb));
  __m128i hi = _mm_add_epi16(lo, _mm_slli_epi16(vb, 3));
  for (int y = 0; y < N; ++y) {
    store<N>(b + y * s, _mm_packus_epi16(_mm_srai_epi16(lo, 5), _mm_srai_epi16(hi, 5)));
    lo = _mm_add_epi16(lo, vc);
    hi = _mm_add_epi16(hi, vc);
  }
}

}  // namespace
}  // namespace KVN_ISA

constexpr void intra_init_sse2(IntraKernels& k) {
  k.pred16x16[0] = KVN_ISA::ver<16>;
  k.pred16x16[1] = KVN_ISA::hor<16>;
  k.pred16x16[2] = KVN_ISA::dc16;
  k.pred16x16[3] = KVN_ISA::plane<16>;
  k.chroma8x8[0] = KVN_ISA::dc8;
  k.chroma8x8[1] = KVN_ISA::hor<8>;
  k.chroma8x8[2] = KVN_ISA::ver<8>;
  k.chroma8x8[3] = KVN_ISA::plane<8>;
}

KVN_LEVEL_KERNELS(intra, IntraKernels);

}  // namespace kvn
