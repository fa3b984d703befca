// Scalar reference kernels of the H.264 deblocking filter, written line by
// line from clauses 8.7.2.3 and 8.7.2.4. The SIMD kernels are checked against
// these.
#include <cstddef>
#include <cstdlib>

#include "h264/deblock/deblock.h"

namespace kvn {
namespace {

using std::ptrdiff_t;

inline int clip3(int lo, int hi, int v) { return v < lo ? lo : v > hi ? hi : v; }
inline bool below(int diff, uint32_t limit) { return uint32_t(std::abs(diff)) < limit; }

// One line across an edge: q0 at s[0], p0 at s[-d], q1 at s[d] and so on.
// alpha and beta are compared as unsigned 32-bit values, so any value is
// meaningful; (alpha >> 2) + 2 cannot overflow.
template <bool Luma, class T>
void filter_line(T* s, ptrdiff_t d, int bs, uint32_t alpha, uint32_t beta, int tc0, int maxv) {
  if (bs == 0) return;
  const int p0 = s[-d], p1 = s[-2 * d], q0 = s[0], q1 = s[d];
  if (!below(p0 - q0, alpha) || !below(p1 - p0, beta) || !below(q1 - q0, beta)) return;
  if (!Luma) {
    if (bs >= 4) {
      s[-d] = T((2 * p1 + p0 + q1 + 2) >> 2);
      s[0] = T((2 * q1 + q0 + p1 + 2) >> 2);
    } else {
      const int tc = tc0 + 1;
      const int delta = clip3(-tc, tc, ((q0 - p0) * 4 + (p1 - q1) + 4) >> 3);
      s[-d] = T(clip3(0, maxv, p0 + delta));
      s[0] = T(clip3(0, maxv, q0 - delta));
    }
    return;
  }
  const int p2 = s[-3 * d], q2 = s[2 * d];
  const bool ap = below(p2 - p0, beta), aq = below(q2 - q0, beta);
  if (bs >= 4) {
    const bool strong = uint32_t(std::abs(p0 - q0)) < (alpha >> 2) + 2;
    if (ap && strong) {
      const int p3 = s[-4 * d];
      s[-d] = T((p2 + 2 * p1 + 2 * p0 + 2 * q0 + q1 + 4) >> 3);
      s[-2 * d] = T((p2 + p1 + p0 + q0 + 2) >> 2);
      s[-3 * d] = T((2 * p3 + 3 * p2 + p1 + p0 + q0 + 4) >> 3);
    } else {
      s[-d] = T((2 * p1 + p0 + q1 + 2) >> 2);
    }
    if (aq && strong) {
      const int q3 = s[3 * d];
      s[0] = T((p1 + 2 * p0 + 2 * q0 + 2 * q1 + q2 + 4) >> 3);
      s[d] = T((p0 + q0 + q1 + q2 + 2) >> 2);
      s[2 * d] = T((2 * q3 + 3 * q2 + q1 + q0 + p0 + 4) >> 3);
    } else {
      s[0] = T((2 * q1 + q0 + p1 + 2) >> 2);
    }
    return;
  }
  const int tc = tc0 + ap + aq;
  const int delta = clip3(-tc, tc, ((q0 - p0) * 4 + (p1 - q1) + 4) >> 3);
  s[-d] = T(clip3(0, maxv, p0 + delta));
  s[0] = T(clip3(0, maxv, q0 - delta));
  if (ap) s[-2 * d] = T(p1 + clip3(-tc0, tc0, (p2 + ((p0 + q0 + 1) >> 1) - 2 * p1) >> 1));
  if (aq) s[d] = T(q1 + clip3(-tc0, tc0, (q2 + ((p0 + q0 + 1) >> 1) - 2 * q1) >> 1));
}

// All edges of one shape: lines `along` apart, samples of a line `across`
// apart, edges 4 samples apart.
template <bool Luma, class T, class A, class C>
void filter_edges(const EdgeShape& sh, T* p, ptrdiff_t along, ptrdiff_t across, const A* alpha, const A* beta,
                  const C* tc0, const uint8_t* bs, int maxv) {
  for (int e = 0; e < sh.edges; ++e) {
    const uint8_t* ebs = bs + sh.bs_mul * e;
    if (edge_off(ebs)) continue;
    T* edge = p + 4 * e * across;
    for (int line = 0; line < sh.lines; ++line) {
      const int seg = line >> sh.seg_shift;
      filter_line<Luma>(edge + line * along, across, ebs[seg], alpha[e != 0], beta[e != 0],
                        int(tc0[sh.tc_mul * e + seg]), maxv);
    }
  }
}

template <bool Luma, const EdgeShape& Sh, bool Vertical>
void edges8_c(uint8_t* p, int32_t step, const uint8_t* alpha, const uint8_t* beta, const uint8_t* tc0,
              const uint8_t* bs) {
  filter_edges<Luma>(Sh, p, Vertical ? step : 1, Vertical ? 1 : step, alpha, beta, tc0, bs, 255);
}

// Interleaved chroma: each channel is a 4:2:0 plane with samples 2 bytes apart.
template <bool Vertical>
void chroma_c2_c(uint8_t* p, int32_t step, const uint8_t* alpha, const uint8_t* beta, const uint8_t* tc0,
                 const uint8_t* bs, int32_t perChannel) {
  const int pc = perChannel ? 1 : 0;
  for (int c = 0; c < 2; ++c)
    filter_edges<false>(kChromaShape, p + c, Vertical ? step : 2, Vertical ? 2 : step, alpha + 2 * c * pc,
                        beta + 2 * c * pc, tc0 + 8 * c * pc, bs, 255);
}

template <bool Luma, const EdgeShape& Sh>
void mbaff8_c(uint8_t* p, int32_t step, uint32_t alpha, uint32_t beta, const uint8_t* tc0, const uint8_t* bs) {
  if (alpha == 0 || edge_off(bs)) return;
  filter_edges<Luma>(Sh, p, step, 1, &alpha, &beta, tc0, bs, 255);
}

template <bool Luma, const EdgeShape& Sh, bool Vertical>
void edges16_c(uint16_t* p, int32_t step, const uint16_t* alpha, const uint16_t* beta, const uint16_t* tc0,
               const uint8_t* bs, int32_t maxv) {
  filter_edges<Luma>(Sh, p, Vertical ? step : 1, Vertical ? 1 : step, alpha, beta, tc0, bs, maxv);
}

template <bool Luma, const EdgeShape& Sh>
void mbaff16_c(uint16_t* p, int32_t step, const uint16_t* alpha, const uint16_t* beta, const uint16_t* tc0,
               const uint8_t* bs, int32_t maxv) {
  if (alpha[0] == 0 || edge_off(bs)) return;
  filter_edges<Luma>(Sh, p, step, 1, alpha, beta, tc0, bs, maxv);
}

constexpr DeblockKernels make_c_table() {
  DeblockKernels k{};
  k.luma_ver = edges8_c<true, kLumaShape, true>;
  k.luma_hor = edges8_c<true, kLumaShape, false>;
  k.chroma_ver = edges8_c<false, kChromaShape, true>;
  k.chroma_hor = edges8_c<false, kChromaShape, false>;
  k.chroma422_ver = edges8_c<false, kChroma422VerShape, true>;
  k.chroma422_hor = edges8_c<false, kChroma422HorShape, false>;
  k.chroma_c2_ver = chroma_c2_c<true>;
  k.chroma_c2_hor = chroma_c2_c<false>;
  k.luma_mbaff = mbaff8_c<true, kLumaMbaffShape>;
  k.chroma_mbaff = mbaff8_c<false, kChromaMbaffShape>;
  k.luma16_ver = edges16_c<true, kLumaShape, true>;
  k.luma16_hor = edges16_c<true, kLumaShape, false>;
  k.luma16_mbaff = mbaff16_c<true, kLumaMbaffShape>;
  k.chroma16_ver = edges16_c<false, kChromaShape, true>;
  k.chroma16_hor = edges16_c<false, kChromaShape, false>;
  k.chroma16_mbaff = mbaff16_c<false, kChromaMbaffShape>;
  k.chroma422_16_ver = edges16_c<false, kChroma422VerShape, true>;
  k.chroma422_16_hor = edges16_c<false, kChroma422HorShape, false>;
  return k;
}

}  // namespace

constexpr DeblockKernels kDeblockKernelsC = make_c_table();

}  // namespace kvn
