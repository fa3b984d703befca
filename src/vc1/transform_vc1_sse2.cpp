// SSE2 kernels of the VC-1 inverse transforms. A block is held a row per
// register (a 4-wide row in the low half); each stage is a transpose and
// an even/odd butterfly whose products are summed in 32 bits by pmaddwd,
// then rounded, shifted and saturated back to 16 bits by packssdw.
#include <emmintrin.h>

#include "simd/lanes.h"
#include "simd/loads.h"
#include "simd/transpose.h"
#include "vc1/transform_vc1.h"

namespace kvn {
namespace KVN_ISA {
namespace {

using V = __m128i;

inline const char* at(const int16_t* p, int32_t step, int y) {
  return reinterpret_cast<const char*>(p) + int64_t(y) * step;
}
inline char* at(int16_t* p, int32_t step, int y) { return reinterpret_cast<char*>(p) + int64_t(y) * step; }

// Both halves of a(lanes) * c0 + b(lanes) * c1 in 32 bits.
struct Acc {
  V lo, hi;
};
inline V pair(int c0, int c1) { return _mm_set1_epi32(int32_t(uint32_t(uint16_t(c0)) | (uint32_t(c1) << 16))); }
inline Acc madd(const Acc& ab, V c) { return {_mm_madd_epi16(ab.lo, c), _mm_madd_epi16(ab.hi, c)}; }
inline Acc interleave(V a, V b) { return {_mm_unpacklo_epi16(a, b), _mm_unpackhi_epi16(a, b)}; }
inline Acc add(const Acc& a, const Acc& b) { return {_mm_add_epi32(a.lo, b.lo), _mm_add_epi32(a.hi, b.hi)}; }
inline Acc sub(const Acc& a, const Acc& b) { return {_mm_sub_epi32(a.lo, b.lo), _mm_sub_epi32(a.hi, b.hi)}; }
template <int Shift>
inline V round_pack(const Acc& a, V r) {
  return _mm_packs_epi32(_mm_srai_epi32(_mm_add_epi32(a.lo, r), Shift), _mm_srai_epi32(_mm_add_epi32(a.hi, r), Shift));
}

// 8-point inverse stage: x[k] frequency k (lanes: the vectors transformed),
// y[n] sample n; RoundTop for n < 4, RoundBottom for n >= 4.
template <int RoundTop, int RoundBottom, int Shift>
inline void stage8(const V* x, V* y) {
  const Acc p04 = interleave(x[0], x[4]), p26 = interleave(x[2], x[6]);
  const Acc p13 = interleave(x[1], x[3]), p57 = interleave(x[5], x[7]);
  const Acc a = madd(p04, pair(12, 12)), b = madd(p04, pair(12, -12));
  const Acc c = madd(p26, pair(16, 6)), d = madd(p26, pair(6, -16));
  const Acc e[4] = {add(a, c), add(b, d), sub(b, d), sub(a, c)};
  const Acc o[4] = {
      add(madd(p13, pair(16, 15)), madd(p57, pair(9, 4))), add(madd(p13, pair(15, -4)), madd(p57, pair(-16, -9))),
      add(madd(p13, pair(9, -16)), madd(p57, pair(4, 15))), add(madd(p13, pair(4, -9)), madd(p57, pair(15, -16)))};
  const V rt = _mm_set1_epi32(RoundTop), rb = _mm_set1_epi32(RoundBottom);
  for (int n = 0; n < 4; ++n) {
    y[n] = round_pack<Shift>(add(e[n], o[n]), rt);
    y[7 - n] = round_pack<Shift>(sub(e[n], o[n]), rb);
  }
}

// 4-point inverse stage.
template <int Round, int Shift>
inline void stage4(const V* x, V* y) {
  const Acc p02 = interleave(x[0], x[2]), p13 = interleave(x[1], x[3]);
  const Acc e0 = madd(p02, pair(17, 17)), e1 = madd(p02, pair(17, -17));
  const Acc o0 = madd(p13, pair(22, 10)), o1 = madd(p13, pair(10, -22));
  const V r = _mm_set1_epi32(Round);
  y[0] = round_pack<Shift>(add(e0, o0), r);
  y[1] = round_pack<Shift>(add(e1, o1), r);
  y[2] = round_pack<Shift>(sub(e1, o1), r);
  y[3] = round_pack<Shift>(sub(e0, o0), r);
}

// Lanes 0 .. w - 1 set.
inline V column_mask(int32_t w) {
  return _mm_cmpgt_epi16(_mm_set1_epi16(int16_t(w)), _mm_setr_epi16(0, 1, 2, 3, 4, 5, 6, 7));
}

// The h rows of the region (W wide), columns masked to w, other rows zero.
template <int W>
inline void load_region(const int16_t* src, int32_t step, int32_t w, int32_t h, V* r) {
  const V m = column_mask(w);
  for (int y = 0; y < 8; ++y) r[y] = _mm_setzero_si128();
  for (int y = 0; y < h; ++y) r[y] = _mm_and_si128(load<2 * W>(at(src, step, y)), m);
}

template <int W, int H>
void inv(const int16_t* src, int32_t srcStep, int16_t* dst, int32_t dstStep, int32_t w, int32_t h) {
  V r[8], t[8];
  load_region<W>(src, srcStep, w, h, r);
  transpose8x8_16<Lanes128>(r);  // r[k]: coefficient k of every row
  if constexpr (W == 8) {
    stage8<4, 4, 3>(r, t);
  } else {
    stage4<4, 3>(r, t);
    t[4] = t[5] = t[6] = t[7] = _mm_setzero_si128();
  }
  transpose8x8_16<Lanes128>(t);  // t[k]: row k of the row stage's output
  if constexpr (H == 8)
    stage8<64, 65, 7>(t, r);
  else
    stage4<64, 7>(t, r);
  for (int y = 0; y < H; ++y) store<2 * W>(at(dst, dstStep, y), r[y]);
}

inline int32_t sat16(int32_t v) { return v < -32768 ? -32768 : v > 32767 ? 32767 : v; }

template <int W, int H>
void inv_dc(const int16_t* src, int16_t* dst, int32_t dstStep) {
  int16_t dc;
  std::memcpy(&dc, src, 2);
  const int32_t a = sat16(((W == 8 ? 12 : 17) * dc + 4) >> 3);
  const int32_t c = H == 8 ? 12 : 17;
  const V top = _mm_set1_epi16(int16_t((c * a + 64) >> 7)),
          bottom = _mm_set1_epi16(int16_t((c * a + 64 + (H == 8)) >> 7));
  for (int y = 0; y < H; ++y) store<2 * W>(at(dst, dstStep, y), y < H / 2 ? top : bottom);
}

}  // namespace
}  // namespace KVN_ISA

constexpr void transform_vc1_init_sse2(TransformVc1Kernels& k) {
  k.inv = {KVN_ISA::inv<4, 4>, KVN_ISA::inv<4, 8>, KVN_ISA::inv<8, 4>, KVN_ISA::inv<8, 8>};
  k.inv_dc = {KVN_ISA::inv_dc<4, 4>, KVN_ISA::inv_dc<4, 8>, KVN_ISA::inv_dc<8, 4>, KVN_ISA::inv_dc<8, 8>};
}

KVN_LEVEL_KERNELS(transform_vc1, TransformVc1Kernels);

}  // namespace kvn
