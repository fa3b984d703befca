// SSE2 kernels of the VC-1 overlap smoothing: one whole edge per call, eight
// rows or columns a vector in 16-bit lanes with saturating arithmetic (paddsw,
// psubsw give exactly the clamped partial sums of the reference). Horizontal
// edges load x0..x3 as rows; vertical edges gather each row's two left and two
// right samples (4 bytes each) into a 4x8 transpose, and scatter y0..y3 back
// the same way. The destination bytes come from packuswb, which clamps to
// 0..255.
#include <emmintrin.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

#include "simd/loads.h"
#include "vc1/smooth_vc1.h"

namespace kvn {
namespace KVN_ISA {
namespace {

using std::ptrdiff_t;
using V = __m128i;

template <class T>
inline T* row_at(T* p, ptrdiff_t step, int i) {
  using B = std::conditional_t<std::is_const_v<T>, const uint8_t, uint8_t>;
  return reinterpret_cast<T*>(reinterpret_cast<B*>(p) + step * i);
}

inline V times7(V x) {  // clamp(7x): same-sign saturating sums clamp the exact total
  const V x2 = _mm_adds_epi16(x, x), x4 = _mm_adds_epi16(x2, x2);
  return _mm_adds_epi16(_mm_adds_epi16(x4, x2), x);
}

// r = 4 on even lanes, 3 on odd lanes (rows or columns from an even one on).
inline V rounding() { return _mm_set1_epi32(0x00030004); }
inline V rounding7() { return _mm_set1_epi32(0x00040003); }  // 7 - r

inline void smooth(V x0, V x1, V x2, V x3, V& y0, V& y1, V& y2, V& y3) {
  const V r = rounding(), r7 = rounding7();
  y0 = _mm_srai_epi16(_mm_adds_epi16(_mm_adds_epi16(times7(x0), x3), r), 3);
  V t = _mm_adds_epi16(_mm_subs_epi16(_mm_setzero_si128(), x0), times7(x1));
  y1 = _mm_srai_epi16(_mm_adds_epi16(_mm_adds_epi16(_mm_adds_epi16(t, x2), x3), r7), 3);
  t = _mm_adds_epi16(_mm_adds_epi16(x0, x1), times7(x2));
  y2 = _mm_srai_epi16(_mm_adds_epi16(_mm_subs_epi16(t, x3), r), 3);
  y3 = _mm_srai_epi16(_mm_adds_epi16(_mm_adds_epi16(x0, times7(x3)), r7), 3);
}

// ---- vertical edges ---------------------------------------------------------

// The two samples of 8 rows (row(i) gives the address of row i's pair) as two
// vectors: a = first samples, b = second samples, lane i = row i.
template <class Row>
inline void gather(Row row, V& a, V& b) {
  V q[2];
  for (int h = 0; h < 2; ++h) {
    const V r01 = _mm_unpacklo_epi32(load<4>(row(4 * h)), load<4>(row(4 * h + 1)));
    const V r23 = _mm_unpacklo_epi32(load<4>(row(4 * h + 2)), load<4>(row(4 * h + 3)));
    q[h] = _mm_unpacklo_epi64(r01, r23);  // a0 b0 a1 b1 a2 b2 a3 b3
  }
  a = _mm_packs_epi32(_mm_srai_epi32(_mm_slli_epi32(q[0], 16), 16), _mm_srai_epi32(_mm_slli_epi32(q[1], 16), 16));
  b = _mm_packs_epi32(_mm_srai_epi32(q[0], 16), _mm_srai_epi32(q[1], 16));
}

// The four dwords of v to rows first .. first + 3.
template <class Row>
inline void scatter4(Row row, int first, V v) {
  const uint64_t lo = uint64_t(_mm_cvtsi128_si64(v)), hi = uint64_t(_mm_cvtsi128_si64(_mm_unpackhi_epi64(v, v)));
  const uint32_t d[4] = {uint32_t(lo), uint32_t(lo >> 32), uint32_t(hi), uint32_t(hi >> 32)};
  for (int k = 0; k < 4; ++k) std::memcpy(row(first + k), &d[k], 4);
}

// Pairs (a, b) of lane i to row i: 8 rows of 4 bytes.
template <class Row>
inline void scatter(Row row, V a, V b) {
  scatter4(row, 0, _mm_unpacklo_epi16(a, b));
  scatter4(row, 4, _mm_unpackhi_epi16(a, b));
}

// Eight rows: left(i), right(i), dst(i) give row i's pair of each source
// (at x0 and x2) and the destination's first sample (column -2); returns
// y0..y3 clamped as 4 bytes a row, rows 0..3 in lo and 4..7 in hi.
template <class L, class R>
inline void rows8(L left, R right, V& lo, V& hi) {
  V x0, x1, x2, x3, y0, y1, y2, y3;
  gather(left, x0, x1);
  gather(right, x2, x3);
  smooth(x0, x1, x2, x3, y0, y1, y2, y3);
  scatter(left, y0, y1);
  scatter(right, y2, y3);
  const V b01 = _mm_packus_epi16(y0, y1), b23 = _mm_packus_epi16(y2, y3);  // y0 bytes | y1 bytes, ...
  const V w01 = _mm_unpacklo_epi8(b01, _mm_srli_si128(b01, 8));            // (y0, y1) of rows 0..7
  const V w23 = _mm_unpacklo_epi8(b23, _mm_srli_si128(b23, 8));
  lo = _mm_unpacklo_epi16(w01, w23);
  hi = _mm_unpackhi_epi16(w01, w23);
}

inline ptrdiff_t bytes(int32_t step) { return ptrdiff_t(step); }

template <int Layout>
void luma_ver(int16_t* left, int32_t ls, int16_t* right, int32_t rs, uint8_t* dst, int32_t ds, uint32_t halves) {
  using namespace smooth_vc1;
  for (int h = 0; h < 2; ++h) {
    if (!(halves >> h & 1)) continue;
    const int first = 8 * h;
    V lo, hi;
    rows8([&](int i) { return row_at(left, bytes(ls), left_row<Layout>(first + i)); },
          [&](int i) { return row_at(right, bytes(rs), right_row<Layout>(first + i)); }, lo, hi);
    const auto d = [&](int i) { return row_at(dst, bytes(ds), first + i) - 2; };
    scatter4(d, 0, lo);
    scatter4(d, 4, hi);
  }
}

void chroma_ver(int16_t* left, int32_t ls, int16_t* right, int32_t rs, uint8_t* dst, int32_t ds) {
  V lo, hi;
  rows8([&](int i) { return row_at(left, bytes(ls), i); }, [&](int i) { return row_at(right, bytes(rs), i); }, lo, hi);
  const auto d = [&](int i) { return row_at(dst, bytes(ds), i) - 2; };
  scatter4(d, 0, lo);
  scatter4(d, 4, hi);
}

void chroma_ver_p2(int16_t* l0, int32_t ls0, int16_t* r0, int32_t rs0, int16_t* l1, int32_t ls1, int16_t* r1,
                   int32_t rs1, uint8_t* dst, int32_t ds) {
  V lo0, hi0, lo1, hi1;
  rows8([&](int i) { return row_at(l0, bytes(ls0), i); }, [&](int i) { return row_at(r0, bytes(rs0), i); }, lo0, hi0);
  rows8([&](int i) { return row_at(l1, bytes(ls1), i); }, [&](int i) { return row_at(r1, bytes(rs1), i); }, lo1, hi1);
  // Row i: its 4 bytes of each plane interleaved into 8 bytes.
  const V rows[4] = {_mm_unpacklo_epi8(lo0, lo1), _mm_unpackhi_epi8(lo0, lo1), _mm_unpacklo_epi8(hi0, hi1),
                     _mm_unpackhi_epi8(hi0, hi1)};
  for (int k = 0; k < 4; ++k)
    store8x2(row_at(dst, bytes(ds), 2 * k) - 4, row_at(dst, bytes(ds), 2 * k + 1) - 4, rows[k]);
}

// ---- horizontal edges -------------------------------------------------------

// Columns c0 .. c0 + 7 of the four source rows.
inline void cols8(const int16_t* up, int32_t us, const int16_t* lo, int32_t ls, int c0, V& y0, V& y1, V& y2, V& y3) {
  const V x0 = load<16>(up + c0), x1 = load<16>(row_at(up, bytes(us), 1) + c0);
  const V x2 = load<16>(lo + c0), x3 = load<16>(row_at(lo, bytes(ls), 1) + c0);
  smooth(x0, x1, x2, x3, y0, y1, y2, y3);
}

void luma_hor(const int16_t* up, int32_t us, const int16_t* lo, int32_t ls, uint8_t* dst, int32_t ds, uint32_t halves) {
  V y[2][4];
  for (int h = 0; h < 2; ++h)
    if (halves >> h & 1) cols8(up, us, lo, ls, 8 * h, y[h][0], y[h][1], y[h][2], y[h][3]);
  for (int k = 0; k < 4; ++k) {
    uint8_t* d = row_at(dst, bytes(ds), k - 2);
    if (halves == 3)
      store<16>(d, _mm_packus_epi16(y[0][k], y[1][k]));
    else if (halves == 1)
      store<8>(d, _mm_packus_epi16(y[0][k], y[0][k]));
    else
      store<8>(d + 8, _mm_packus_epi16(y[1][k], y[1][k]));
  }
}

void chroma_hor(const int16_t* up, int32_t us, const int16_t* lo, int32_t ls, uint8_t* dst, int32_t ds) {
  V y[4];
  cols8(up, us, lo, ls, 0, y[0], y[1], y[2], y[3]);
  for (int k = 0; k < 4; ++k) store<8>(row_at(dst, bytes(ds), k - 2), _mm_packus_epi16(y[k], y[k]));
}

void chroma_hor_p2(const int16_t* u0, int32_t us0, const int16_t* lo0, int32_t ls0, const int16_t* u1, int32_t us1,
                   const int16_t* lo1, int32_t ls1, uint8_t* dst, int32_t ds) {
  V a[4], b[4];
  cols8(u0, us0, lo0, ls0, 0, a[0], a[1], a[2], a[3]);
  cols8(u1, us1, lo1, ls1, 0, b[0], b[1], b[2], b[3]);
  for (int k = 0; k < 4; ++k) {
    const V t = _mm_packus_epi16(a[k], b[k]);
    store<16>(row_at(dst, bytes(ds), k - 2), _mm_unpacklo_epi8(t, _mm_srli_si128(t, 8)));
  }
}

}  // namespace
}  // namespace KVN_ISA

constexpr void smooth_vc1_init_sse2(SmoothVc1Kernels& k) {
  using namespace KVN_ISA;
  k.luma_ver[kFrameRows] = luma_ver<kFrameRows>;
  k.luma_ver[kRightFieldRows] = luma_ver<kRightFieldRows>;
  k.luma_ver[kLeftFieldRows] = luma_ver<kLeftFieldRows>;
  k.luma_ver[kBothFieldRows] = luma_ver<kBothFieldRows>;
  k.luma_hor = luma_hor;
  k.chroma_ver = chroma_ver;
  k.chroma_hor = chroma_hor;
  k.chroma_ver_p2 = chroma_ver_p2;
  k.chroma_hor_p2 = chroma_hor_p2;
}

KVN_LEVEL_KERNELS(smooth_vc1, SmoothVc1Kernels);

}  // namespace kvn
