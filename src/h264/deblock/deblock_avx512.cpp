// AVX-512 kernel of the H.264 deblocking filter: the four horizontal luma
// edges of a macroblock at once, one edge per 128-bit lane (16 lines in bytes).
//
// The normal filter (bS 1..3) lets the edges run side by side: edge e reads
// rows 4e - 3 .. 4e + 2 and writes 4e - 2 .. 4e + 1, so the only row an edge
// sees changed by the one before is its p2, that edge's q1. That q1 depends
// on nothing changed before (it uses q0..q2, p0 and p1 of its own edge), so
// it is computed first and moved up one lane to be the next edge's p2.
// A strong edge 0 (intra macroblock edges) is filtered on its own first; any
// other strong segment sends the call to the AVX2 kernel, edge by edge.
// Vertical edges keep the AVX2 kernel: through the transposed copy the
// lanes measured no faster, the transposition dominating.
#include <immintrin.h>

#include <cstddef>
#include <cstring>

#include "h264/deblock/deblock.h"
#include "simd/loads.h"

namespace kvn {
namespace KVN_ISA {
namespace {

using std::ptrdiff_t;

// Rows r, r + step4, r + 2 step4, r + 3 step4 as lanes 0..3.
inline __m512i load_lanes(const uint8_t* r0, const uint8_t* r, ptrdiff_t step4) {
  const __m256i lo = _mm256_inserti128_si256(_mm256_castsi128_si256(load<16>(r0)), load<16>(r + step4), 1);
  const __m256i hi =
      _mm256_inserti128_si256(_mm256_castsi128_si256(load<16>(r + 2 * step4)), load<16>(r + 3 * step4), 1);
  return _mm512_inserti64x4(_mm512_castsi256_si512(lo), hi, 1);
}

inline __m512i absdiff(__m512i a, __m512i b) { return _mm512_or_si512(_mm512_subs_epu8(a, b), _mm512_subs_epu8(b, a)); }

// (a + b) >> 1: pavgb rounds up, so take back the carry of odd sums,
// ((a ^ b) & 1) in one ternary-logic step.
inline __m512i avg_down(__m512i a, __m512i b, __m512i one) {
  return _mm512_sub_epi8(_mm512_avg_epu8(a, b), _mm512_ternarylogic_epi32(a, b, one, 0x28));
}

// Clip3(x - t, x + t, v) in bytes, where the mask k is set, else x.
inline __m512i clip_around(__m512i x, __mmask64 k, __m512i v, __m512i t) {
  return _mm512_mask_min_epu8(x, k, _mm512_max_epu8(v, _mm512_subs_epu8(x, t)), _mm512_adds_epu8(x, t));
}

// Lane L byte j = seg[4L + j / 4]: the bS or tc0 of the 16 lines of every edge.
inline __m512i expand_edges(const uint8_t* seg) {
  const __m512i idx = _mm512_set_epi64(0x0f0f0f0f0e0e0e0e, 0x0d0d0d0d0c0c0c0c, 0x0b0b0b0b0a0a0a0a, 0x0909090908080808,
                                       0x0707070706060606, 0x0505050504040404, 0x0303030302020202, 0x0101010100000000);
  return _mm512_shuffle_epi8(_mm512_broadcast_i32x4(load<16>(seg)), idx);
}

// Edge e of the lanes to rows 4e - 2 .. 4e + 1.
template <int E>
inline void store_edge(uint8_t* q0row, ptrdiff_t step, __m512i np1, __m512i np0, __m512i nq0, __m512i nq1) {
  store<16>(q0row - 2 * step, _mm512_extracti32x4_epi32(np1, E));
  store<16>(q0row - step, _mm512_extracti32x4_epi32(np0, E));
  store<16>(q0row, _mm512_extracti32x4_epi32(nq0, E));
  store<16>(q0row + step, _mm512_extracti32x4_epi32(nq1, E));
}

// The normal filter (H.264 8.7.2.3) on the edges whose bit is set in `edges`
// (bit e: edge e; no bS of the call above 3 on them), every edge in its lane.
void luma_hor_lanes(uint8_t* p, ptrdiff_t step, const uint8_t* alpha, const uint8_t* beta, const uint8_t* tc0,
                    const uint8_t* bs, unsigned edges) {
  const ptrdiff_t step4 = 4 * step;
  // Edge 0 off: its rows above the macroblock are not read; lane 0 then takes
  // rows of the macroblock instead, whose lines its zero bS leave alone.
  const bool top = edges & 1;
  const uint8_t* const row0 = top ? p - 3 * step : p;
  const __m512i p1 = load_lanes(row0 + step, p + 2 * step - step4, step4);
  const __m512i p0 = load_lanes(row0 + 2 * step, p + 3 * step - step4, step4);
  const __m512i q0 = load_lanes(p, p, step4), q1 = load_lanes(p + step, p + step, step4);
  const __m512i q2 = load_lanes(p + 2 * step, p + 2 * step, step4);
  const __m512i alphav = _mm512_mask_set1_epi8(_mm512_set1_epi8(char(alpha[1])), 0xffff, char(alpha[0]));
  const __m512i betav = _mm512_mask_set1_epi8(_mm512_set1_epi8(char(beta[1])), 0xffff, char(beta[0]));
  const __m512i bsv = expand_edges(bs), tc0v = expand_edges(tc0);
  const __m512i one = _mm512_set1_epi8(1), ones = _mm512_set1_epi8(-1);

  // |p0 - q0| < alpha, |p1 - p0| < beta, |q1 - q0| < beta, bS > 0 (the
  // unsigned compares make alpha or beta 0 filter nothing, as they should).
  __mmask64 m = _mm512_test_epi8_mask(bsv, bsv);
  m = _mm512_mask_cmplt_epu8_mask(m, absdiff(p0, q0), alphav);
  m = _mm512_mask_cmplt_epu8_mask(m, _mm512_max_epu8(absdiff(p1, p0), absdiff(q1, q0)), betav);
  if (m == 0) return;
  const __mmask64 aq = _mm512_mask_cmplt_epu8_mask(m, absdiff(q2, q0), betav);

  // q1' = q1 + Clip3(-tc0, tc0, (q2 + avg - 2 q1) >> 1) = Clip3(q1 - tc0,
  // q1 + tc0, (q2 + avg) >> 1), avg = (p0 + q0 + 1) >> 1: 2 q1 is even, so
  // it leaves the shift's rounding alone; bounds saturated to 0..255 clip
  // alike, the middle value lying there.
  const __m512i avg = _mm512_avg_epu8(p0, q0);
  const __m512i nq1 = clip_around(q1, aq, avg_down(q2, avg, one), tc0v);
  // p2 of edges 1..3 is q1' of the edge before; edge 0's is row -3 (lane 3
  // of the broadcast, moved down by the alignment).
  const __m512i p2 = _mm512_alignr_epi64(nq1, _mm512_broadcast_i32x4(load<16>(row0)), 6);
  const __mmask64 ap = _mm512_mask_cmplt_epu8_mask(m, absdiff(p2, p0), betav);
  const __m512i np1 = clip_around(p1, ap, avg_down(p2, avg, one), tc0v);

  // tc = tc0 + ap + aq, saturated: |delta| <= 159, so a tc above 255 clips
  // as 255 does.
  __m512i tc = _mm512_mask_adds_epu8(tc0v, ap, tc0v, one);
  tc = _mm512_mask_adds_epu8(tc, aq, tc, one);

  // delta = (4 (q0 - p0) + (p1 - q1) + 4) >> 3 = a2 + ((a0 + B + 1) >> 1)
  // with q0 - p0 = 2 a2 + a0 (a0 = 0 or 1) and B = (p1 - q1) >> 2, built
  // from biased averages: pavgb(x, 255 - y) = 128 + ((x - y) >> 1).
  const __m512i a0 = _mm512_ternarylogic_epi32(p0, q0, one, 0x28);    // (p0 ^ q0) & 1
  __m512i t = _mm512_avg_epu8(p1, _mm512_xor_si512(q1, ones));        // 128 + ((p1 - q1) >> 1)
  t = _mm512_avg_epu8(t, _mm512_set1_epi8(3));                        // 66 + B, 2..129
  t = _mm512_avg_epu8(t, a0);                                         // 33 + ((a0 + B + 1) >> 1), 1..65
  const __m512i u = _mm512_avg_epu8(_mm512_xor_si512(p0, ones), q0);  // 128 + a2
  // u + t = 161 + delta, 2..320, saturating only for delta > 94 where the
  // negative part is 0; the positive part from u - 95 = 33 + a2 instead,
  // which saturates at 0 only where delta < 0, then 66 + delta <= 225.
  const __m512i neg =
      _mm512_maskz_min_epu8(m, _mm512_subs_epu8(_mm512_set1_epi8(char(161)), _mm512_adds_epu8(u, t)), tc);
  const __m512i pos = _mm512_maskz_min_epu8(
      m, _mm512_subs_epu8(_mm512_adds_epu8(_mm512_subs_epu8(u, _mm512_set1_epi8(95)), t), _mm512_set1_epi8(66)), tc);
  // One of pos, neg is 0: Clip1(p0 + Clip3(-tc, tc, delta)) in two steps.
  const __m512i np0 = _mm512_subs_epu8(_mm512_adds_epu8(p0, pos), neg);
  const __m512i nq0 = _mm512_subs_epu8(_mm512_adds_epu8(q0, neg), pos);

  if (edges & 1) store_edge<0>(p, step, np1, np0, nq0, nq1);
  if (edges & 2) store_edge<1>(p + step4, step, np1, np0, nq0, nq1);
  if (edges & 4) store_edge<2>(p + 2 * step4, step, np1, np0, nq0, nq1);
  if (edges & 8) store_edge<3>(p + 3 * step4, step, np1, np0, nq0, nq1);
}

// Horizontal edges of 16 columns, rows `step` bytes apart.
void luma_rows(uint8_t* p, ptrdiff_t step, const uint8_t* alpha, const uint8_t* beta, const uint8_t* tc0,
               const uint8_t* bs) {
  uint64_t w[2];
  std::memcpy(w, bs, 16);
  constexpr uint64_t kHigh = 0xfcfcfcfcfcfcfcfcu;  // bits of bS 4 and above
  // A strong segment beyond edge 0: edge by edge.
  if ((w[0] >> 32 | w[1]) & kHigh) return avx2::kDeblockKernels.luma_hor(p, int32_t(step), alpha, beta, tc0, bs);
  unsigned edges = 0;
  for (int e = 0; e < 4; ++e) edges |= unsigned(uint32_t(w[e >> 1] >> (32 * (e & 1))) != 0) << e;
  if (w[0] & kHigh) {  // strong edge 0 first, alone; the lanes take it as off
    const uint8_t edge0[16] = {bs[0], bs[1], bs[2], bs[3]};
    avx2::kDeblockKernels.luma_hor(p, int32_t(step), alpha, beta, tc0, edge0);
    edges &= ~1u;
    alignas(16) uint8_t rest[16];
    std::memcpy(rest, bs, 16);
    std::memset(rest, 0, 4);
    if (edges) luma_hor_lanes(p, step, alpha, beta, tc0, rest, edges);
    return;
  }
  if (edges) luma_hor_lanes(p, step, alpha, beta, tc0, bs, edges);
}

void luma_hor(uint8_t* p, int32_t step, const uint8_t* alpha, const uint8_t* beta, const uint8_t* tc0,
              const uint8_t* bs) {
  luma_rows(p, step, alpha, beta, tc0, bs);
}

}  // namespace
}  // namespace KVN_ISA

constexpr void deblock_init_avx512(DeblockKernels& k) {
  using namespace KVN_ISA;
  k.luma_hor = luma_hor;
}

KVN_LEVEL_KERNELS(deblock, DeblockKernels);

}  // namespace kvn
