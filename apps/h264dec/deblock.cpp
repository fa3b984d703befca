// Deblocking decisions (H.264 8.7.2.1 boundary strength, 8.7.2.2 alpha, beta
// and tc0); the sample filters are the library's.
#include <kvnvc.h>

#include <cstddef>
#include <cstdlib>
#include <cstring>

#include "decoder.h"
#include "slice.h"
#include "tables.h"

namespace h264dec {

namespace {

inline int clip3(int lo, int hi, int v) { return v < lo ? lo : v > hi ? hi : v; }

inline bool mv_far(const int16_t* a, const int16_t* b) {
  return std::abs(a[0] - b[0]) >= 4 || std::abs(a[1] - b[1]) >= 4;
}

// bS 1 test: different reference pictures, different numbers of motion
// vectors, or motion vectors four or more quarter samples apart.
int motion_bs(const BlockMotion& p, const BlockMotion& q) {
  int np = (p.ref[0] >= 0) + (p.ref[1] >= 0), nq = (q.ref[0] >= 0) + (q.ref[1] >= 0);
  if (np != nq) return 1;
  if (np == 1) {
    int lp = p.ref[0] >= 0 ? 0 : 1, lq = q.ref[0] >= 0 ? 0 : 1;
    if (p.pic[lp] != q.pic[lq]) return 1;
    return mv_far(p.mv[lp], q.mv[lq]);
  }
  if (np == 0) return 0;
  int p0 = p.pic[0], p1 = p.pic[1], q0 = q.pic[0], q1 = q.pic[1];
  if (!((p0 == q0 && p1 == q1) || (p0 == q1 && p1 == q0))) return 1;
  if (p0 != p1) {
    if (p0 == q0) return mv_far(p.mv[0], q.mv[0]) || mv_far(p.mv[1], q.mv[1]);
    return mv_far(p.mv[0], q.mv[1]) || mv_far(p.mv[1], q.mv[0]);
  }
  return (mv_far(p.mv[0], q.mv[0]) || mv_far(p.mv[1], q.mv[1])) &&
         (mv_far(p.mv[0], q.mv[1]) || mv_far(p.mv[1], q.mv[0]));
}

// bS from motion only: 0 at once when both blocks use the same pictures with
// the same vectors, the common case inside a partition.
inline int motion_bs_fast(const BlockMotion& p, const BlockMotion& q) {
  uint64_t pm, qm;
  uint32_t pp, qp;
  std::memcpy(&pm, p.mv, 8);
  std::memcpy(&qm, q.mv, 8);
  std::memcpy(&pp, p.pic, 4);
  std::memcpy(&qp, q.pic, 4);
  if (((pm ^ qm) | (pp ^ qp)) == 0) return 0;
  return motion_bs(p, q);
}

// The 4x4 bit matrix m (bit 4 * y + x) transposed (bit 4 * x + y).
// Swaps the off-diagonal bits of each 2x2 quadrant, then the off-diagonal
// quadrants.
inline uint32_t transpose4x4(uint32_t m) {
  uint32_t t = (m ^ (m >> 3)) & 0x0A0A;
  m ^= t ^ (t << 3);
  t = (m ^ (m >> 6)) & 0x00CC;
  return m ^ t ^ (t << 6);
}

// The bS bytes of four edge segments (in memory order) whose blocks have
// coefficients by the bits of a nibble: 2 where set, 0 elsewhere.
constexpr uint32_t coded_bs(int nibble) {
  uint32_t v = 0;
  for (int s = 0; s < 4; ++s) v |= uint32_t(nibble >> s & 1 ? 2 : 0) << (8 * s);
  return v;
}
constexpr uint32_t kCodedBs[16] = {coded_bs(0),  coded_bs(1),  coded_bs(2),  coded_bs(3), coded_bs(4),  coded_bs(5),
                                   coded_bs(6),  coded_bs(7),  coded_bs(8),  coded_bs(9), coded_bs(10), coded_bs(11),
                                   coded_bs(12), coded_bs(13), coded_bs(14), coded_bs(15)};

inline void store_edge(uint8_t* out, uint32_t bytes) {
  if constexpr (__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__)
    std::memcpy(out, &bytes, 4);
  else
    for (int s = 0; s < 4; ++s) out[s] = uint8_t(bytes >> (8 * s));
}

// bS 1 where the motion on the two sides of the four segments of an edge
// differs and bS is still 0 (no coefficients, bit s of coded clear); mq: the
// first q block of the edge.
inline void motion_edge(uint8_t* out, const BlockMotion* mq, ptrdiff_t step, ptrdiff_t along, uint32_t coded) {
  for (int s = 0; s < 4; ++s)
    if (!(coded >> s & 1)) out[s] = uint8_t(motion_bs_fast(mq[s * along - step], mq[s * along]));
}

// tC0 of the 16 edge segments [4 * edge + segment] by their bS: tc[0][bS]
// on the macroblock edge, tc[1][bS] on the inner ones (bS 0 and 4: no tC0,
// tc[k][0] is 0).
inline void tc_by_bs(uint8_t* out, const uint8_t* bs, const uint8_t tc[2][4]) {
  // Byte vectors of the compiler (SSE2 on x86-64): three compares and selects
  // instead of sixteen table reads.
  typedef uint8_t V16 __attribute__((vector_size(16)));
  V16 b, edge0 = {}, t[4];
  std::memcpy(&b, bs, 16);
  for (int i = 0; i < 4; ++i) edge0[i] = 0xFF;
  for (int v = 1; v <= 3; ++v) t[v] = (edge0 & tc[0][v]) | (~edge0 & tc[1][v]);
  const V16 r = ((V16)(b == 1) & t[1]) | ((V16)(b == 2) & t[2]) | ((V16)(b == 3) & t[3]);
  std::memcpy(out, &r, 16);
}

inline void tc_by_bs(uint16_t* out, const uint8_t* bs, const uint16_t tc[2][4]) {
  for (int i = 0; i < 16; ++i) out[i] = bs[i] < 4 ? tc[i < 4 ? 0 : 1][bs[i]] : 0;
}

template <typename T>
struct EdgeParams {
  T alpha[2], beta[2];
  T tc[16];
};

}  // namespace

void Decoder::deblock_rows(int endRow) {
  for (; deblockedRows_ < endRow; ++deblockedRows_) {
    const int y = deblockedRows_;
    for (int x = 0; x < pic_.widthMbs; ++x) {
      const MbState& m = pic_.mbs[y * pic_.widthMbs + x];
      if (m.slice < 0 || slices_[m.slice].disableDeblock == 1) continue;
      if (bitDepth_ > 8)
        deblock_mb<uint16_t>(x, y);
      else
        deblock_mb<uint8_t>(x, y);
    }
  }
}

void Decoder::deblock_picture() { deblock_rows(pic_.heightMbs); }

// Row y - 1 can be filtered once row y is decoded: intra prediction of row y
// has read its unfiltered samples and filtering it touches no sample of row y.
// Filtering while the row's data are still in cache saves a second pass.
// Rows found complete are not examined again.
void Decoder::row_decoded(int y) {
  if (y < 1 || deblockedRows_ >= y) return;
  for (; completeRows_ <= y; ++completeRows_)
    for (int x = 0; x < pic_.widthMbs; ++x)
      if (pic_.mbs[completeRows_ * pic_.widthMbs + x].slice < 0) return;  // out-of-order slices: filter at the end
  deblock_rows(y);
}

// bS of the edges of an inter macroblock q in direction dir (0 vertical, 1
// horizontal) as [4 * edge + segment]; p is the macroblock across edge 0, or
// null when that edge is not filtered.
void Decoder::inter_bs(uint8_t* out, const MbState& q, const MbState* p, int mbx, int mby, int dir,
                       bool oddEdges) const {
  const int W4 = pic_.widthMbs * 4;
  const size_t base = size_t(mby * 4) * W4 + size_t(mbx * 4);
  const BlockMotion* mq = &pic_.cur->motion[base];
  const ptrdiff_t step = dir == 0 ? 1 : ptrdiff_t(W4);  // from p to q across the edge
  const ptrdiff_t along = dir == 0 ? ptrdiff_t(W4) : 1;
  // Bit 4 * edge + segment: the block on the q side of that edge segment has
  // coefficients, then either side does (bS 2). Vertical edges read the
  // transposed mask.
  const uint32_t nzq = dir == 0 ? transpose4x4(q.nzMask) : q.nzMask;
  uint32_t coded = nzq | (nzq << 4 & 0xFFF0);
  if (p) coded |= (dir == 0 ? transpose4x4(p->nzMask) : p->nzMask) >> 12;

  // Edges 1 and 3 of a transform-8x8 macroblock are not filtered unless
  // `oddEdges` (4:2:2 chroma reads the horizontal ones).
  const bool skipOdd = q.t8x8 && !oddEdges;
  if (skipOdd) coded &= 0x0F0F;
  for (int e = 0; e < 4; ++e) store_edge(out + 4 * e, kCodedBs[coded >> 4 * e & 15]);

  // Macroblock edge: bS 4 next to an intra macroblock, else 1 where the
  // motion differs. Two macroblocks with one motion each need one comparison.
  if (!p) {
    store_edge(out, 0);
  } else if (p->intra) {
    store_edge(out, 0x04040404u);
  } else if (q.part16 && p->part16) {
    if ((coded & 15) != 15 && motion_bs_fast(mq[-step], mq[0]))
      store_edge(out, kCodedBs[coded & 15] | (0x01010101u & ~(kCodedBs[coded & 15] >> 1)));
  } else {
    motion_edge(out, mq, step, along, coded);
  }
  // Inner edges: motion differs only between the regions of different motion
  // the prediction found (none with one motion for the macroblock, the
  // middle edge with one per 8x8 quadrant).
  if (q.part16) return;
  for (int e = skipOdd || q.part8 ? 2 : 1; e < 4; e += skipOdd || q.part8 ? 2 : 1)
    motion_edge(out + 4 * e, mq + e * step, step, along, coded >> 4 * e);
}

template <typename Pel>
void Decoder::deblock_mb(int mbx, int mby) {
  const int W = pic_.widthMbs;
  const int addr = mby * W + mbx;
  const MbState& q = pic_.mbs[addr];
  const SliceInfo& si = slices_[q.slice];
  const int shift = bitDepth_ - 8;
  const int qpBdOffset = 6 * shift;
  const int cf = chromaFormat_;
  bool leftOk = mbx > 0 && (si.disableDeblock != 2 || pic_.mbs[addr - 1].slice == q.slice);
  bool topOk = mby > 0 && (si.disableDeblock != 2 || pic_.mbs[addr - W].slice == q.slice);
  if (mbx > 0 && pic_.mbs[addr - 1].slice < 0) leftOk = false;
  if (mby > 0 && pic_.mbs[addr - W].slice < 0) topOk = false;

  // An inter macroblock with one motion and no coefficients next to
  // neighbours of the same kind with the same motion (still or uniformly
  // moving areas) has nothing to filter.
  if (!q.intra && q.part16 && !q.nzMask) {
    const size_t W4 = size_t(W) * 4;
    const BlockMotion* mq = &pic_.cur->motion[size_t(mby * 4) * W4 + size_t(mbx * 4)];
    auto quiet = [&](bool ok, const MbState& p, ptrdiff_t step) {
      return !ok || (!p.intra && p.part16 && !p.nzMask && motion_bs_fast(mq[-step], mq[0]) == 0);
    };
    if (quiet(leftOk, pic_.mbs[addr - (mbx > 0)], 1) && quiet(topOk, pic_.mbs[addr - (mby > 0 ? W : 0)], ptrdiff_t(W4)))
      return;
  }

  // bS [dir][4 * edge + segment], full (chroma 4:2:2 uses all edges).
  uint8_t bs[2][16];
  if (q.intra) {
    // Every edge of an intra macroblock is 3, its outer edges 4.
    std::memset(bs, 3, sizeof bs);
    std::memset(bs[0], leftOk ? 4 : 0, 4);
    std::memset(bs[1], topOk ? 4 : 0, 4);
  } else {
    const MbState* left = leftOk ? &pic_.mbs[addr - 1] : nullptr;
    const MbState* top = topOk ? &pic_.mbs[addr - W] : nullptr;
    inter_bs(bs[0], q, left, mbx, mby, 0, false);
    inter_bs(bs[1], q, top, mbx, mby, 1, cf == 2);
  }
  // Most inter macroblocks have nothing to filter: leave before setting up.
  bool any[2];
  for (int dir = 0; dir < 2; ++dir) {
    uint64_t a, b;
    std::memcpy(&a, bs[dir], 8);
    std::memcpy(&b, bs[dir] + 8, 8);
    any[dir] = (a | b) != 0;
  }
  if (!any[0] && !any[1]) return;

  // Luma skips edges 1 and 3 of transform-8x8 macroblocks.
  uint8_t bsLuma[2][16];
  std::memcpy(bsLuma, bs, sizeof bs);
  if (q.t8x8)
    for (int dir = 0; dir < 2; ++dir) {
      std::memset(bsLuma[dir] + 4, 0, 4);
      std::memset(bsLuma[dir] + 12, 0, 4);
    }

  // alpha, beta and tC0 by bS of the macroblock edge (k = 0, average of the
  // two QPs) and of the inner edges (k = 1).
  auto fill = [&](EdgeParams<Pel>& ep, const uint8_t* bsArr, int nEdges, int qpP0, int qpQ, const int* edgeMap) {
    Pel tc[2][4];
    for (int k = 0; k < 2; ++k) {
      const int qpav = k == 0 ? (qpP0 + qpQ + 1) >> 1 : qpQ;
      const int ia = clip3(0, 51, qpav + si.alphaOffset), ib = clip3(0, 51, qpav + si.betaOffset);
      ep.alpha[k] = Pel(kAlpha[ia] << shift);
      ep.beta[k] = Pel(kBeta[ib] << shift);
      tc[k][0] = 0;
      for (int b = 1; b <= 3; ++b) tc[k][b] = Pel(kTc0[ia][b - 1] << shift);
    }
    if (nEdges == 4) {
      tc_by_bs(ep.tc, bsArr, tc);
    } else {
      Pel all[16];
      tc_by_bs(all, bsArr, tc);
      for (int e = 0; e < nEdges; ++e) std::memcpy(ep.tc + 4 * e, all + 4 * edgeMap[e], 4 * sizeof(Pel));
    }
  };
  static const int kIdentity[4] = {0, 1, 2, 3};
  static const int kEven[2] = {0, 2};

  Frame& f = *pic_.cur;
  Pel* Y = reinterpret_cast<Pel*>(f.planes[0].data()) + size_t(mby * 16) * f.stride[0] + mbx * 16;
  const int ch = 8 * cf;
  Pel* C[2] = {reinterpret_cast<Pel*>(f.planes[1].data()) + size_t(mby * ch) * f.stride[1] + mbx * 8,
               reinterpret_cast<Pel*>(f.planes[2].data()) + size_t(mby * ch) * f.stride[2] + mbx * 8};
  const int qpL = mbx > 0 ? pic_.mbs[addr - 1].qp : 0, qpT = mby > 0 ? pic_.mbs[addr - W].qp : 0;

  for (int dir = 0; dir < 2; ++dir) {
    if (!any[dir]) continue;
    EdgeParams<Pel> ep;
    fill(ep, bsLuma[dir], 4, dir == 0 ? qpL : qpT, q.qp, kIdentity);
    if constexpr (sizeof(Pel) == 1) {
      if (dir == 0)
        kvniFilterDeblockingLuma_VerEdge_H264_8u_C1IR(Y, f.stride[0], ep.alpha, ep.beta, ep.tc, bsLuma[0]);
      else
        kvniFilterDeblockingLuma_HorEdge_H264_8u_C1IR(Y, f.stride[0], ep.alpha, ep.beta, ep.tc, bsLuma[1]);
    } else {
      KvnDeblockingRecord16u r{Y, f.stride[0], ep.alpha, ep.beta, ep.tc, bsLuma[dir], bitDepth_};
      if (dir == 0)
        kvniFilterDeblockingLumaVerEdge_H264_16u_C1IR(&r);
      else
        kvniFilterDeblockingLumaHorEdge_H264_16u_C1IR(&r);
    }
  }
  for (int dir = 0; dir < 2; ++dir) {
    if (!any[dir]) continue;
    // Chroma bS: vertical edges (and 4:2:0 horizontal) use luma edges 0 and 2,
    // indexed [8 * edge + segment]; 4:2:2 horizontal edges use all four.
    const bool all4 = cf == 2 && dir == 1;
    EdgeParams<Pel> ep;
    for (int c = 0; c < 2; ++c) {
      // Cr shares the parameters of Cb when their QP offsets agree.
      if (c == 0 || si.chromaQpOffset[1] != si.chromaQpOffset[0]) {
        const int qpcP = SliceDecoder::chroma_qp(dir == 0 ? qpL : qpT, si.chromaQpOffset[c], qpBdOffset);
        const int qpcQ = SliceDecoder::chroma_qp(q.qp, si.chromaQpOffset[c], qpBdOffset);
        fill(ep, bs[dir], all4 ? 4 : 2, qpcP, qpcQ, all4 ? kIdentity : kEven);
      }
      if constexpr (sizeof(Pel) == 1) {
        if (cf == 1) {
          if (dir == 0)
            kvniFilterDeblockingChroma_VerEdge_H264_8u_C1IR(C[c], f.stride[1], ep.alpha, ep.beta, ep.tc, bs[0]);
          else
            kvniFilterDeblockingChroma_HorEdge_H264_8u_C1IR(C[c], f.stride[1], ep.alpha, ep.beta, ep.tc, bs[1]);
        } else {
          KvnDeblockingRecord8u r{C[c], f.stride[1], ep.alpha, ep.beta, ep.tc, bs[dir]};
          if (dir == 0)
            kvniFilterDeblockingChroma422VerEdge_H264_8u_C1IR(&r);
          else
            kvniFilterDeblockingChroma422HorEdge_H264_8u_C1IR(&r);
        }
      } else {
        KvnDeblockingRecord16u r{C[c], f.stride[1], ep.alpha, ep.beta, ep.tc, bs[dir], bitDepth_};
        if (cf == 1) {
          if (dir == 0)
            kvniFilterDeblockingChromaVerEdge_H264_16u_C1IR(&r);
          else
            kvniFilterDeblockingChromaHorEdge_H264_16u_C1IR(&r);
        } else {
          if (dir == 0)
            kvniFilterDeblockingChroma422VerEdge_H264_16u_C1IR(&r);
          else
            kvniFilterDeblockingChroma422HorEdge_H264_16u_C1IR(&r);
        }
      }
    }
  }
}

template void Decoder::deblock_mb<uint8_t>(int, int);
template void Decoder::deblock_mb<uint16_t>(int, int);

}  // namespace h264dec
