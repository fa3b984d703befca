// 8-bit luma edges with the 16 lines of an edge in the byte lanes of one
// register (rows of 16 samples: horizontal edges, or vertical ones through
// the transposed copy). The normal filter (bS 1..3, H.264 8.7.2.3) is computed
// exactly in bytes with saturating and averaging instructions; an edge with a
// strong segment (bS 4 or more, 8.7.2.4, rare: macroblock edges of intra
// macroblocks) goes to the wider lanes of deblock_simd.h.
#pragma once

#ifndef KVN_ISA
#error "KVN_ISA names the instruction set of the including file (sse2 .. avx512); kvn_kernel_sources defines it"
#endif

#include <emmintrin.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "h264/deblock/deblock.h"
#include "h264/deblock/deblock_simd.h"
#include "simd/loads.h"

namespace kvn {
namespace KVN_ISA {
namespace deblock {

inline __m128i absdiff_u8(__m128i a, __m128i b) { return _mm_or_si128(_mm_subs_epu8(a, b), _mm_subs_epu8(b, a)); }

// Lane i = seg[i >> 2]: the four segments of an edge over its 16 lines.
inline __m128i expand_segments(const uint8_t* seg) {
  __m128i b = load<4>(seg);
  b = _mm_unpacklo_epi8(b, b);
  return _mm_unpacklo_epi16(b, b);
}

// Constants of the byte filter, made once per call rather than per edge.
struct ByteConsts {
  __m128i ones = _mm_set1_epi8(-1), one = _mm_set1_epi8(1), three = _mm_set1_epi8(3);
  __m128i c66 = _mm_set1_epi8(66), c95 = _mm_set1_epi8(95), c159 = _mm_set1_epi8(char(159)),
          c161 = _mm_set1_epi8(char(161));
};

// (a + b) >> 1: pavgb gives (a + b + 1) >> 1, one more when a + b is odd.
inline __m128i avg_down_u8(__m128i a, __m128i b, __m128i one) {
  return _mm_sub_epi8(_mm_avg_epu8(a, b), _mm_and_si128(_mm_xor_si128(a, b), one));
}

// The normal filter on one edge, q0 row at s. alpha1 = alpha - 1 and beta1 =
// beta - 1 as bytes, both thresholds nonzero (a zero one filters nothing), so
// that x < alpha is x -sat alpha1 == 0. bs: no lane above 3.
inline void luma_normal_bytes(uint8_t* s, std::ptrdiff_t step, __m128i bs, const uint8_t* tc0seg, __m128i alpha1,
                              __m128i beta1, const ByteConsts& k) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i p1 = load<16>(s - 2 * step), p0 = load<16>(s - step), q0 = load<16>(s), q1 = load<16>(s + step);
  // Any nonzero byte of `off` keeps the line: |p0 - q0| >= alpha, |p1 - p0| or
  // |q1 - q0| >= beta, or bS 0.
  __m128i off = _mm_or_si128(_mm_subs_epu8(absdiff_u8(p0, q0), alpha1), _mm_cmpeq_epi8(bs, zero));
  off = _mm_or_si128(off, _mm_subs_epu8(_mm_max_epu8(absdiff_u8(p1, p0), absdiff_u8(q1, q0)), beta1));
  const __m128i m = _mm_cmpeq_epi8(off, zero);
  if (_mm_movemask_epi8(m) == 0) return;
  const __m128i tc0 = expand_segments(tc0seg);
  const __m128i p2 = load<16>(s - 3 * step), q2 = load<16>(s + 2 * step);
  const __m128i ap = _mm_and_si128(m, _mm_cmpeq_epi8(_mm_subs_epu8(absdiff_u8(p2, p0), beta1), zero));
  const __m128i aq = _mm_and_si128(m, _mm_cmpeq_epi8(_mm_subs_epu8(absdiff_u8(q2, q0), beta1), zero));

  // p1 + Clip3(-tc0, tc0, (p2 + ((p0 + q0 + 1) >> 1) - 2 * p1) >> 1) is
  // Clip3(p1 - tc0, p1 + tc0, (p2 + ((p0 + q0 + 1) >> 1)) >> 1): 2 * p1 is
  // even, so it leaves the shift's rounding alone. The bounds saturate to
  // 0..255, harmless as the middle value lies there. tc0 0 (lines without ap)
  // leaves p1.
  const __m128i avg = _mm_avg_epu8(p0, q0);
  const __m128i tcp = _mm_and_si128(tc0, ap), tcq = _mm_and_si128(tc0, aq);
  const __m128i np1 =
      _mm_min_epu8(_mm_max_epu8(avg_down_u8(p2, avg, k.one), _mm_subs_epu8(p1, tcp)), _mm_adds_epu8(p1, tcp));
  const __m128i nq1 =
      _mm_min_epu8(_mm_max_epu8(avg_down_u8(q2, avg, k.one), _mm_subs_epu8(q1, tcq)), _mm_adds_epu8(q1, tcq));

  // tc = tc0 + ap + aq (the masks are -1). |delta| <= 159, so tc0 taken at
  // most 159 clips alike and keeps the sum in a byte; 0 off the mask.
  const __m128i tc = _mm_sub_epi8(_mm_sub_epi8(_mm_and_si128(_mm_min_epu8(tc0, k.c159), m), ap), aq);

  // delta = (4 (q0 - p0) + (p1 - q1) + 4) >> 3 = a2 + ((a0 + B + 1) >> 1)
  // with q0 - p0 = 2 a2 + a0 (a0 = 0 or 1) and B = (p1 - q1) >> 2, built
  // from biased averages: pavgb(x, 255 - y) = 128 + ((x - y) >> 1).
  const __m128i a0 = _mm_and_si128(_mm_xor_si128(p0, q0), k.one);
  __m128i t = _mm_avg_epu8(p1, _mm_xor_si128(q1, k.ones));        // 128 + ((p1 - q1) >> 1)
  t = _mm_avg_epu8(t, k.three);                                   // 66 + B, 2..129
  t = _mm_avg_epu8(t, a0);                                        // 33 + ((a0 + B + 1) >> 1), 1..65
  const __m128i u = _mm_avg_epu8(_mm_xor_si128(p0, k.ones), q0);  // 128 + a2
  // u + t = 161 + delta, 2..320: saturating at 255 only for delta > 94, where
  // the negative part is 0 anyway. The positive part comes from u - 95 =
  // 33 + a2 instead, which saturates at 0 only where delta < 0, and then
  // 66 + delta <= 225.
  const __m128i neg = _mm_min_epu8(_mm_subs_epu8(k.c161, _mm_adds_epu8(u, t)), tc);  // min(max(-delta, 0), tc)
  const __m128i pos = _mm_min_epu8(_mm_subs_epu8(_mm_adds_epu8(_mm_subs_epu8(u, k.c95), t), k.c66), tc);
  // One of pos, neg is 0: Clip1(p0 + Clip3(-tc, tc, delta)) in two saturating steps.
  const __m128i np0 = _mm_subs_epu8(_mm_adds_epu8(p0, pos), neg);
  const __m128i nq0 = _mm_subs_epu8(_mm_adds_epu8(q0, neg), pos);
  store<16>(s - 2 * step, np1);
  store<16>(s - step, np0);
  store<16>(s, nq0);
  store<16>(s + step, nq1);
}

// An edge with a strong segment in the lanes of O, out of line: it is rare,
// and inlined its wide registers would burden the byte path.
template <class O>
[[gnu::noinline]] void luma_strong_edge(uint8_t* row, std::ptrdiff_t step, int alpha, int beta, const uint8_t* tc0,
                                        const uint8_t* bs) {
  const auto lim = edge_limits<O>(alpha, beta, 255);
  if (edge_kind(bs) == EdgeKind::kStrong)
    filter_edge_rows<O, true, kLumaShape, EdgeKind::kStrong>(row, step, tc0, bs, lim);
  else
    filter_edge_rows<O, true, kLumaShape, EdgeKind::kMixed>(row, step, tc0, bs, lim);
}

// The four horizontal edges of a macroblock's 16 columns (edge e's q0 row is
// row 4e), normal edges in bytes, the others in the lanes of O (16 or 8
// samples per vector).
template <class O>
inline void luma_rows_bytes(uint8_t* p, std::ptrdiff_t step, const uint8_t* alpha, const uint8_t* beta,
                            const uint8_t* tc0, const uint8_t* bs) {
  const ByteConsts k;
  const __m128i alpha1[2] = {_mm_set1_epi8(char(alpha[0] - 1)), _mm_set1_epi8(char(alpha[1] - 1))};
  const __m128i beta1[2] = {_mm_set1_epi8(char(beta[0] - 1)), _mm_set1_epi8(char(beta[1] - 1))};
  for (int e = 0; e < 4; ++e) {
    const uint8_t* ebs = bs + 4 * e;
    uint32_t bs4;
    std::memcpy(&bs4, ebs, 4);
    const int i = e != 0;
    if (bs4 == 0 || alpha[i] == 0 || beta[i] == 0) continue;
    uint8_t* row = p + 4 * e * step;
    if ((bs4 & 0xfcfcfcfcu) == 0)  // every bS below 4
      luma_normal_bytes(row, step, expand_segments(ebs), tc0 + 4 * e, alpha1[i], beta1[i], k);
    else
      luma_strong_edge<O>(row, step, alpha[i], beta[i], tc0 + 4 * e, ebs);
  }
}

// The kernels of a level whose wide lanes are O: horizontal edges in place,
// vertical ones through the transposed copy.
template <class O>
void luma_hor_bytes(uint8_t* p, int32_t step, const uint8_t* alpha, const uint8_t* beta, const uint8_t* tc0,
                    const uint8_t* bs) {
  luma_rows_bytes<O>(p, step, alpha, beta, tc0, bs);
}

template <class O>
void luma_ver_bytes(uint8_t* p, int32_t step, const uint8_t* alpha, const uint8_t* beta, const uint8_t* tc0,
                    const uint8_t* bs) {
  alignas(32) uint8_t copy[20 * 16];
  via_columns<1>(p, step, !edge_off(bs), 4, 16, 16, copy, 16,
                 [&](uint8_t* c, std::ptrdiff_t cs) { luma_rows_bytes<O>(c, cs, alpha, beta, tc0, bs); });
}

}  // namespace deblock
}  // namespace KVN_ISA
}  // namespace kvn
