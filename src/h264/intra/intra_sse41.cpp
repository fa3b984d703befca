// SSSE3 kernels of the H.264 intra predictors (compiled for SSE4.1). The nine
// 4x4 modes (H.264 8.3.1.2) gather the neighbours in one register, form the
// two-tap and three-tap filters of every neighbour position at once, and pick
// each predicted sample with pshufb; the 16x16 horizontal mode broadcasts each
// left sample with pshufb. Every block row is written by one store.
#include <smmintrin.h>

#include <cstring>

#include "h264/intra/intra.h"
#include "simd/loads.h"

namespace kvn {
namespace KVN_ISA {
namespace {

inline void store4(uint8_t* p, uint32_t v) { std::memcpy(p, &v, 4); }

// Writes the 16 bytes of a predicted 4x4 block, a row per store.
inline void store_block4(uint8_t* b, std::ptrdiff_t s, __m128i v) {
  const uint64_t lo = uint64_t(_mm_cvtsi128_si64(v)), hi = uint64_t(_mm_cvtsi128_si64(_mm_unpackhi_epi64(v, v)));
  store4(b, uint32_t(lo));
  store4(b + s, uint32_t(lo >> 32));
  store4(b + 2 * s, uint32_t(hi));
  store4(b + 3 * s, uint32_t(hi >> 32));
}

// Neighbours of a 4x4 block with the substitutions applied, one byte each:
// E[0] = E[1] = p[-1, 3], E[1..4] = p[-1, 3..0], E[5] = p[-1, -1],
// E[6..13] = p[0..7, -1], E[14] = E[15] = p[7, -1]. The repeated ends give the
// edge taps of the down-left and horizontal-up modes. Only neighbours whose
// availability bit is set are read.
inline __m128i edge4(const uint8_t* b, std::ptrdiff_t s, int32_t a) {
  uint32_t top = 0x80808080u, right = 0x80808080u, left = 0x80808080u, corner = 128;
  if (a & kAvailTop) {
    std::memcpy(&top, b - s, 4);
    right = (top >> 24) * 0x01010101u;
  }
  if (a & kAvailTopRight) std::memcpy(&right, b - s + 4, 4);
  if (a & kAvailLeft)
    left = uint32_t(b[3 * s - 1]) | uint32_t(b[2 * s - 1]) << 8 | uint32_t(b[s - 1]) << 16 | uint32_t(b[-1]) << 24;
  if (a & kAvailTopLeft) corner = b[-s - 1];
  const __m128i packed =
      _mm_set_epi64x(int64_t(uint64_t(top) | uint64_t(right) << 32), int64_t(uint64_t(left) | uint64_t(corner) << 32));
  return _mm_shuffle_epi8(packed, _mm_setr_epi8(0, 0, 1, 2, 3, 4, 8, 9, 10, 11, 12, 13, 14, 15, 15, 15));
}

// F2[k] = (E[k] + E[k+1] + 1) >> 1 and F3[k] = (E[k-1] + 2 E[k] + E[k+1] + 2) >> 2,
// the latter exactly as avg(floor((E[k-1] + E[k+1]) / 2), E[k]).
struct Taps {
  __m128i f2, f3;
};
inline Taps taps(__m128i e) {
  const __m128i prev = _mm_slli_si128(e, 1), next = _mm_srli_si128(e, 1);
  const __m128i lowbit = _mm_and_si128(_mm_xor_si128(prev, next), _mm_set1_epi8(1));
  const __m128i outer = _mm_sub_epi8(_mm_avg_epu8(prev, next), lowbit);
  return {_mm_avg_epu8(e, next), _mm_avg_epu8(outer, e)};
}

// Predicted block from the filtered neighbours: byte i of the block is
// F2[m2[i]] or F3[m3[i]] (the other index is -1, selecting zero).
inline __m128i pick(const Taps& t, __m128i m2, __m128i m3) {
  return _mm_or_si128(_mm_shuffle_epi8(t.f2, m2), _mm_shuffle_epi8(t.f3, m3));
}

void p4_ver(uint8_t* b, std::ptrdiff_t s, int32_t a) {
  uint32_t top = 0x80808080u;
  if (a & kAvailTop) std::memcpy(&top, b - s, 4);
  for (int y = 0; y < 4; ++y) store4(b + y * s, top);
}
void p4_hor(uint8_t* b, std::ptrdiff_t s, int32_t a) {
  for (int y = 0; y < 4; ++y) store4(b + y * s, (a & kAvailLeft) ? b[y * s - 1] * 0x01010101u : 0x80808080u);
}
inline int byte_sum(uint32_t v) {
  const uint32_t pairs = (v & 0x00ff00ffu) + ((v >> 8) & 0x00ff00ffu);
  return int((pairs + (pairs >> 16)) & 0xffffu);
}
void p4_dc(uint8_t* b, std::ptrdiff_t s, int32_t a) {
  const bool t = a & kAvailTop, l = a & kAvailLeft;
  int st = 0, sl = 0;
  if (t) {
    uint32_t top;
    std::memcpy(&top, b - s, 4);
    st = byte_sum(top);
  }
  if (l) sl = b[-1] + b[s - 1] + b[2 * s - 1] + b[3 * s - 1];
  const int dc = t && l ? (st + sl + 4) >> 3 : t ? (st + 2) >> 2 : l ? (sl + 2) >> 2 : 128;
  for (int y = 0; y < 4; ++y) store4(b + y * s, uint32_t(dc) * 0x01010101u);
}
void p4_ddl(uint8_t* b, std::ptrdiff_t s, int32_t a) {
  const Taps t = taps(edge4(b, s, a));
  store_block4(b, s, _mm_shuffle_epi8(t.f3, _mm_setr_epi8(7, 8, 9, 10, 8, 9, 10, 11, 9, 10, 11, 12, 10, 11, 12, 13)));
}
void p4_ddr(uint8_t* b, std::ptrdiff_t s, int32_t a) {
  const Taps t = taps(edge4(b, s, a));
  store_block4(b, s, _mm_shuffle_epi8(t.f3, _mm_setr_epi8(5, 6, 7, 8, 4, 5, 6, 7, 3, 4, 5, 6, 2, 3, 4, 5)));
}
void p4_vr(uint8_t* b, std::ptrdiff_t s, int32_t a) {
  const Taps t = taps(edge4(b, s, a));
  store_block4(b, s,
               pick(t, _mm_setr_epi8(5, 6, 7, 8, -1, -1, -1, -1, -1, 5, 6, 7, -1, -1, -1, -1),
                    _mm_setr_epi8(-1, -1, -1, -1, 5, 6, 7, 8, 4, -1, -1, -1, 3, 5, 6, 7)));
}
void p4_hd(uint8_t* b, std::ptrdiff_t s, int32_t a) {
  const Taps t = taps(edge4(b, s, a));
  store_block4(b, s,
               pick(t, _mm_setr_epi8(4, -1, -1, -1, 3, -1, 4, -1, 2, -1, 3, -1, 1, -1, 2, -1),
                    _mm_setr_epi8(-1, 5, 6, 7, -1, 4, -1, 5, -1, 3, -1, 4, -1, 2, -1, 3)));
}
void p4_vl(uint8_t* b, std::ptrdiff_t s, int32_t a) {
  const Taps t = taps(edge4(b, s, a));
  store_block4(b, s,
               pick(t, _mm_setr_epi8(6, 7, 8, 9, -1, -1, -1, -1, 7, 8, 9, 10, -1, -1, -1, -1),
                    _mm_setr_epi8(-1, -1, -1, -1, 7, 8, 9, 10, -1, -1, -1, -1, 8, 9, 10, 11)));
}
void p4_hu(uint8_t* b, std::ptrdiff_t s, int32_t a) {
  const Taps t = taps(edge4(b, s, a));
  store_block4(b, s,
               pick(t, _mm_setr_epi8(3, -1, 2, -1, 2, -1, 1, -1, 1, -1, 0, 0, 0, 0, 0, 0),
                    _mm_setr_epi8(-1, 3, -1, 2, -1, 2, -1, 1, -1, 1, -1, -1, -1, -1, -1, -1)));
}

// 16x16 horizontal: each left sample broadcast to a whole row (the column
// read before the first store, see hor in intra_pred.h).
void p16_hor(uint8_t* b, std::ptrdiff_t s, int32_t) {
  const __m128i zero = _mm_setzero_si128();
  uint8_t left[16];
  for (int y = 0; y < 16; ++y) left[y] = b[y * s - 1];
  for (int y = 0; y < 16; ++y, b += s) store<16>(b, _mm_shuffle_epi8(_mm_cvtsi32_si128(left[y]), zero));
}

}  // namespace
}  // namespace KVN_ISA

constexpr void intra_init_sse41(IntraKernels& k) {
  k.pred4x4[0] = KVN_ISA::p4_ver;
  k.pred4x4[1] = KVN_ISA::p4_hor;
  k.pred4x4[2] = KVN_ISA::p4_dc;
  k.pred4x4[3] = KVN_ISA::p4_ddl;
  k.pred4x4[4] = KVN_ISA::p4_ddr;
  k.pred4x4[5] = KVN_ISA::p4_vr;
  k.pred4x4[6] = KVN_ISA::p4_hd;
  k.pred4x4[7] = KVN_ISA::p4_vl;
  k.pred4x4[8] = KVN_ISA::p4_hu;
  k.pred16x16[1] = KVN_ISA::p16_hor;
}

KVN_LEVEL_KERNELS(intra, IntraKernels);

}  // namespace kvn
