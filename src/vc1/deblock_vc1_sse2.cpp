// SSE2 kernels of the VC-1 loop filter: one whole edge per call, eight lines
// a vector in 16-bit lanes (deblock_vc1_simd.h). Horizontal edges load the
// eight rows across the edge; vertical edges load eight bytes (P1..P8) of each
// row and transpose them (16 rows: two 8x8 byte transposes), then write P4 and
// P5 back as one 16-bit store a row. Interleaved chroma splits each row into
// its planes (even bytes, odd bytes), which are then filtered apart.
#include <emmintrin.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "simd/filter_lanes.h"
#include "simd/loads.h"
#include "simd/transpose.h"
#include "vc1/deblock_vc1.h"
#include "vc1/deblock_vc1_simd.h"

namespace kvn {
namespace KVN_ISA {
namespace {

using std::ptrdiff_t;
using V = __m128i;

struct W8 : Lanes16x8 {
  static V third(V m) { return _mm_shufflehi_epi16(_mm_shufflelo_epi16(m, 0xaa), 0xaa); }
};

using deblock_vc1::filter;
using deblock_vc1::pquant_lane;

// Lanes of the segments switched on, for the 8 lines from segment s0 on.
inline V segments_on(uint32_t segOff, int s0) {
  const V bits = _mm_setr_epi16(1, 1, 1, 1, 2, 2, 2, 2);
  return _mm_cmpeq_epi16(_mm_and_si128(_mm_set1_epi16(int16_t(segOff >> s0)), bits), _mm_setzero_si128());
}

inline V widen_lo(V x) { return _mm_unpacklo_epi8(x, _mm_setzero_si128()); }
inline V widen_hi(V x) { return _mm_unpackhi_epi8(x, _mm_setzero_si128()); }

// Stores the bytes of `row` (a whole edge row of n bytes) that belong to
// segments switched on: segment s covers bytes [w s, w (s + 1)).
template <int N, int W>
inline void store_on(uint8_t* dst, V row, uint32_t segOff) {
  if (segOff == 0) {
    store<N>(dst, row);
    return;
  }
  alignas(16) uint8_t b[16];
  _mm_store_si128(reinterpret_cast<V*>(b), row);
  for (int s = 0; s < N / W; ++s)
    if (!(segOff >> s & 1)) std::memcpy(dst + W * s, b + W * s, W);
}

// ---- horizontal edges -------------------------------------------------------

void luma_hor(uint8_t* p, int32_t step, uint32_t pquant, uint32_t segOff) {
  const ptrdiff_t s = step;
  const V pq = _mm_set1_epi16(int16_t(pquant_lane(pquant)));
  V lo[8], hi[8];
  for (int k = 0; k < 8; ++k) {
    const V r = load<16>(p + (k - 4) * s);
    lo[k] = widen_lo(r);
    hi[k] = widen_hi(r);
  }
  const bool a = filter<W8>(lo, pq, segments_on(segOff, 0));
  const bool b = filter<W8>(hi, pq, segments_on(segOff, 2));
  if (!a && !b) return;
  store_on<16, 4>(p - s, _mm_packus_epi16(lo[3], hi[3]), segOff);
  store_on<16, 4>(p, _mm_packus_epi16(lo[4], hi[4]), segOff);
}

void chroma_hor(uint8_t* p, int32_t step, uint32_t pquant, uint32_t segOff) {
  const ptrdiff_t s = step;
  V v[8];
  for (int k = 0; k < 8; ++k) v[k] = widen_lo(load<8>(p + (k - 4) * s));
  if (!filter<W8>(v, _mm_set1_epi16(int16_t(pquant_lane(pquant))), segments_on(segOff, 0))) return;
  store_on<8, 4>(p - s, _mm_packus_epi16(v[3], v[3]), segOff);
  store_on<8, 4>(p, _mm_packus_epi16(v[4], v[4]), segOff);
}

// Both planes of interleaved chroma rows: plane 0 in the low bytes of the
// 16-bit pairs, plane 1 in the high bytes.
inline void split(V r, V& c0, V& c1) {
  c0 = _mm_and_si128(r, _mm_set1_epi16(0xff));
  c1 = _mm_srli_epi16(r, 8);
}
inline V join(V c0, V c1) { return _mm_or_si128(c0, _mm_slli_epi16(c1, 8)); }

// Bytes of an interleaved row of the segments on: plane 0 the even bytes of
// its segment's 8 bytes, plane 1 the odd ones (W: bytes a segment spans).
template <int N, int W>
inline void store_on_c2(uint8_t* dst, V row, uint32_t off0, uint32_t off1) {
  if ((off0 | off1) == 0) {
    store<N>(dst, row);
    return;
  }
  alignas(16) uint8_t b[16];
  _mm_store_si128(reinterpret_cast<V*>(b), row);
  for (int i = 0; i < N; ++i)
    if (!((i & 1 ? off1 : off0) >> (i / W) & 1)) dst[i] = b[i];
}

void chroma_c2_hor(uint8_t* p, int32_t step, uint32_t pquant, uint32_t off0, uint32_t off1) {
  const ptrdiff_t s = step;
  const V pq = _mm_set1_epi16(int16_t(pquant_lane(pquant)));
  V c0[8], c1[8];
  for (int k = 0; k < 8; ++k) split(load<16>(p + (k - 4) * s), c0[k], c1[k]);
  const bool a = filter<W8>(c0, pq, segments_on(off0, 0));
  const bool b = filter<W8>(c1, pq, segments_on(off1, 0));
  if (!a && !b) return;
  store_on_c2<16, 8>(p - s, join(c0[3], c1[3]), off0, off1);
  store_on_c2<16, 8>(p, join(c0[4], c1[4]), off0, off1);
}

// ---- vertical edges ---------------------------------------------------------

// Eight rows from row r0 on: bytes -4..3 of each, transposed to P1..P8 in
// 16-bit lanes (lane i = row r0 + i).
inline void columns8(const uint8_t* p, ptrdiff_t s, int r0, V (&v)[8]) {
  V r[8];
  for (int i = 0; i < 8; ++i) r[i] = load<8>(p + (r0 + i) * s - 4);
  transpose8x8_8(r);
  for (int k = 0; k < 8; ++k) v[k] = widen_lo(r[k]);
}

// P4, P5 of 8 rows (lanes) back as two bytes a row, rows of segments on only.
inline void store_pairs(uint8_t* p, ptrdiff_t s, int r0, V p4, V p5, uint32_t segOff, int s0) {
  const V w = _mm_or_si128(p4, _mm_slli_epi16(p5, 8));
  const uint64_t q[2] = {uint64_t(_mm_cvtsi128_si64(w)), uint64_t(_mm_cvtsi128_si64(_mm_unpackhi_epi64(w, w)))};
  for (int i = 0; i < 8; ++i) {
    if (segOff >> (s0 + (i >> 2)) & 1) continue;
    const uint16_t b = uint16_t(q[i >> 2] >> (16 * (i & 3)));
    std::memcpy(p + (r0 + i) * s - 1, &b, 2);
  }
}

template <int Rows>
void plane_ver(uint8_t* p, int32_t step, uint32_t pquant, uint32_t segOff) {
  const ptrdiff_t s = step;
  const V pq = _mm_set1_epi16(int16_t(pquant_lane(pquant)));
  for (int h = 0; h < Rows / 8; ++h) {
    if (((segOff >> (2 * h)) & 3) == 3) continue;
    V v[8];
    columns8(p, s, 8 * h, v);
    if (filter<W8>(v, pq, segments_on(segOff, 2 * h))) store_pairs(p, s, 8 * h, v[3], v[4], segOff, 2 * h);
  }
}

void chroma_c2_ver(uint8_t* p, int32_t step, uint32_t pquant, uint32_t off0, uint32_t off1) {
  const ptrdiff_t s = step;
  const V pq = _mm_set1_epi16(int16_t(pquant_lane(pquant)));
  V r[8], c0[8], c1[8];
  for (int i = 0; i < 8; ++i) r[i] = load<16>(p + i * s - 8);  // pairs -4..3
  transpose8x8_16<Lanes128>(r);
  for (int k = 0; k < 8; ++k) split(r[k], c0[k], c1[k]);
  const bool a = filter<W8>(c0, pq, segments_on(off0, 0));
  const bool b = filter<W8>(c1, pq, segments_on(off1, 0));
  if (!a && !b) return;
  // Row i: pairs -1 and 0 (bytes -2..1).
  const V p4 = join(c0[3], c1[3]), p5 = join(c0[4], c1[4]);
  alignas(16) uint32_t rows[8];
  _mm_store_si128(reinterpret_cast<V*>(rows), _mm_unpacklo_epi16(p4, p5));
  _mm_store_si128(reinterpret_cast<V*>(rows + 4), _mm_unpackhi_epi16(p4, p5));
  for (int i = 0; i < 8; ++i) {
    const bool on0 = !(off0 >> (i >> 2) & 1), on1 = !(off1 >> (i >> 2) & 1);
    uint8_t* d = p + i * s - 2;
    if (on0 && on1) {
      std::memcpy(d, &rows[i], 4);
    } else if (on0 || on1) {
      uint8_t b[4];
      std::memcpy(b, &rows[i], 4);
      const int c = on0 ? 0 : 1;
      d[c] = b[c];
      d[c + 2] = b[c + 2];
    }
  }
}

}  // namespace
}  // namespace KVN_ISA

constexpr void deblock_vc1_init_sse2(DeblockVc1Kernels& k) {
  using namespace KVN_ISA;
  k.luma_hor = luma_hor;
  k.luma_ver = plane_ver<16>;
  k.chroma_hor = chroma_hor;
  k.chroma_ver = plane_ver<8>;
  k.chroma_c2_hor = chroma_c2_hor;
  k.chroma_c2_ver = chroma_c2_ver;
}

KVN_LEVEL_KERNELS(deblock_vc1, DeblockVc1Kernels);

}  // namespace kvn
