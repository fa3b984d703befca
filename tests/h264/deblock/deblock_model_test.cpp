// A whole synthetic picture filtered macroblock by macroblock through the
// exported names (vertical edges, then horizontal ones; luma and chroma),
// against a per-sample implementation of H.264 clause 8.7 written here: every
// sample's bS comes from the luma edge and line that it lies on, and alpha,
// beta and tc0 from the QPs of the macroblocks on both sides (Tables 8-16 and
// 8-17, scaled to the bit depth).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "h264_tables.h"
#include "kvnvc.h"
#include "rng.h"

namespace {

using kvnsupport::kAlpha;
using kvnsupport::kBeta;
using kvnsupport::kTc0;
using kvntest::Rng;

constexpr int kMbW = 3, kMbH = 3;

struct Mb {
  int qp;
  int bs[2][4][4];  // [horizontal][luma edge][4-sample luma segment]
};

struct Plane {
  int w, h, margin = 8, stride;
  std::vector<int> s;
  Plane(int w_, int h_) : w(w_), h(h_), stride(w_ + 16), s(std::size_t(stride) * (h_ + 16)) {}
  int& at(int x, int y) { return s[std::size_t(y + margin) * stride + x + margin]; }
};

struct Thresholds {
  int alpha, beta, index_a;
};

Thresholds thresholds(int qp_p, int qp_q, int bit_depth) {
  const int qp = (qp_p + qp_q + 1) >> 1;
  return {kAlpha[qp] << (bit_depth - 8), kBeta[qp] << (bit_depth - 8), qp};
}

int tc0_of(int index_a, int bs, int bit_depth) {
  return bs >= 1 && bs <= 3 ? kTc0[index_a][bs - 1] << (bit_depth - 8) : 0;
}

// Clause 8.7.2 on the line of samples at(i) (p_i = at(-1 - i), q_i = at(i)).
template <class At>
void model_line(At at, int bs, const Thresholds& t, bool chroma, int bit_depth) {
  if (bs == 0) return;
  const int p0 = at(-1), p1 = at(-2), q0 = at(0), q1 = at(1);
  if (!(std::abs(p0 - q0) < t.alpha && std::abs(p1 - p0) < t.beta && std::abs(q1 - q0) < t.beta)) return;
  const int maxv = (1 << bit_depth) - 1;
  const int p2 = chroma ? 0 : at(-3), q2 = chroma ? 0 : at(2);
  const int ap = !chroma && std::abs(p2 - p0) < t.beta, aq = !chroma && std::abs(q2 - q0) < t.beta;
  if (bs < 4) {
    const int tc0 = tc0_of(t.index_a, bs, bit_depth);
    const int tc = chroma ? tc0 + 1 : tc0 + ap + aq;
    const int delta = std::clamp(((q0 - p0) * 4 + (p1 - q1) + 4) >> 3, -tc, tc);
    at(-1) = std::clamp(p0 + delta, 0, maxv);
    at(0) = std::clamp(q0 - delta, 0, maxv);
    if (ap) at(-2) = p1 + std::clamp((p2 + ((p0 + q0 + 1) >> 1) - (p1 << 1)) >> 1, -tc0, tc0);
    if (aq) at(1) = q1 + std::clamp((q2 + ((p0 + q0 + 1) >> 1) - (q1 << 1)) >> 1, -tc0, tc0);
    return;
  }
  const bool small = std::abs(p0 - q0) < ((t.alpha >> 2) + 2);
  if (!chroma && ap && small) {
    const int p3 = at(-4);
    at(-1) = (p2 + 2 * p1 + 2 * p0 + 2 * q0 + q1 + 4) >> 3;
    at(-2) = (p2 + p1 + p0 + q0 + 2) >> 2;
    at(-3) = (2 * p3 + 3 * p2 + p1 + p0 + q0 + 4) >> 3;
  } else {
    at(-1) = (2 * p1 + p0 + q1 + 2) >> 2;
  }
  if (!chroma && aq && small) {
    const int q3 = at(3);
    at(0) = (p1 + 2 * p0 + 2 * q0 + 2 * q1 + q2 + 4) >> 3;
    at(1) = (p0 + q0 + q1 + q2 + 2) >> 2;
    at(2) = (2 * q3 + 3 * q2 + q1 + q0 + p0 + 4) >> 3;
  } else {
    at(0) = (2 * q1 + q0 + p1 + 2) >> 2;
  }
}

// One macroblock's edges of one direction in one plane, by sample position.
// sub_w, sub_h: chroma subsampling (1 for luma); edges every 4 samples.
void model_mb(Plane& pl, const std::vector<Mb>& mbs, int mx, int my, bool hor, int sub_w, int sub_h, bool chroma,
              int bit_depth) {
  const int mw = 16 / sub_w, mh = 16 / sub_h;
  const Mb& mb = mbs[my * kMbW + mx];
  const int across = hor ? mh : mw, along = hor ? mw : mh;
  for (int e = 0; 4 * e < across; ++e) {
    // The luma edge this edge lies on; 8x8-transform-like skipping is the
    // caller's business (bS 0).
    const int luma_pos = 4 * e * (hor ? sub_h : sub_w);
    if (luma_pos % 4) continue;
    const int le = luma_pos / 4;
    if (le == 0 && (hor ? my == 0 : mx == 0)) continue;
    const Mb& nb = le == 0 ? mbs[(my - hor) * kMbW + mx - !hor] : mb;
    const Thresholds t = thresholds(nb.qp, mb.qp, bit_depth);
    for (int l = 0; l < along; ++l) {
      const int luma_line = l * (hor ? sub_w : sub_h);
      const int bs = mb.bs[hor][le][luma_line / 4];
      const int x0 = mx * mw + (hor ? l : 4 * e), y0 = my * mh + (hor ? 4 * e : l);
      model_line([&](int i) -> int& { return hor ? pl.at(x0, y0 + i) : pl.at(x0 + i, y0); }, bs, t, chroma, bit_depth);
    }
  }
}

std::vector<Mb> draw_mbs(Rng& rng) {
  std::vector<Mb> mbs(kMbW * kMbH);
  for (Mb& mb : mbs) {
    mb.qp = rng.range(18, 51);
    for (int d = 0; d < 2; ++d)
      for (int e = 0; e < 4; ++e) {
        const bool strong = e == 0 && rng.range(0, 2) == 0;
        for (int s = 0; s < 4; ++s) mb.bs[d][e][s] = strong ? 4 : rng.range(0, 3);
      }
  }
  return mbs;
}

void fill_plane(Rng& rng, Plane& pl, int bit_depth) {
  const int maxv = (1 << bit_depth) - 1;
  for (int y = -8; y < pl.h + 8; ++y) {
    int base = rng.range(0, maxv);
    for (int x = -8; x < pl.w + 8; ++x) {
      if ((x & 3) == 0 && rng.range(0, 2) == 0) base = std::clamp(base + rng.range(-12, 12) * (maxv / 255), 0, maxv);
      pl.at(x, y) = std::clamp(base + ((y >> 2) & 1) * rng.range(0, 3) * (maxv / 255) + rng.range(0, 2), 0, maxv);
    }
  }
}

// The library's arrays for one macroblock edge direction.
template <class A>
struct Args {
  A alpha[2], beta[2], tc_luma[16], tc_chroma[16];
  Kvn8u bs_luma[16];
};

template <class A>
Args<A> args_for(const std::vector<Mb>& mbs, int mx, int my, bool hor, bool chroma422, int bit_depth) {
  Args<A> a{};
  const Mb& mb = mbs[my * kMbW + mx];
  const bool first = hor ? my == 0 : mx == 0;
  const Mb& nb = first ? mb : mbs[(my - hor) * kMbW + mx - !hor];
  const Thresholds t0 = thresholds(nb.qp, mb.qp, bit_depth), t1 = thresholds(mb.qp, mb.qp, bit_depth);
  a.alpha[0] = A(t0.alpha), a.alpha[1] = A(t1.alpha), a.beta[0] = A(t0.beta), a.beta[1] = A(t1.beta);
  for (int e = 0; e < 4; ++e)
    for (int s = 0; s < 4; ++s) {
      const int bs = first && e == 0 ? 0 : mb.bs[hor][e][s];
      const int ia = (e == 0 ? t0 : t1).index_a;
      a.bs_luma[4 * e + s] = Kvn8u(bs);
      a.tc_luma[4 * e + s] = A(tc0_of(ia, bs, bit_depth));
    }
  // Chroma edges: 4:2:0 both ways and 4:2:2 vertical on luma edges 0 and 2
  // (bS [8e + s]); 4:2:2 horizontal on every luma edge (bS [4e + s]).
  const bool every = chroma422 && hor;
  for (int e = 0; e < (every ? 4 : 2); ++e)
    for (int s = 0; s < 4; ++s) {
      const int le = every ? e : 2 * e;
      a.tc_chroma[4 * e + s] = A(tc0_of((le == 0 ? t0 : t1).index_a, a.bs_luma[4 * le + s], bit_depth));
    }
  return a;
}

template <class T>
std::vector<T> to_samples(Plane& pl) {
  std::vector<T> v(pl.s.size());
  for (std::size_t i = 0; i < v.size(); ++i) v[i] = T(pl.s[i]);
  return v;
}

template <class T>
::testing::AssertionResult same(Plane& pl, const std::vector<T>& got, const char* what) {
  for (int y = -8; y < pl.h + 8; ++y)
    for (int x = -8; x < pl.w + 8; ++x) {
      const int g = got[std::size_t(y + pl.margin) * pl.stride + x + pl.margin];
      if (g != pl.at(x, y))
        return ::testing::AssertionFailure()
               << what << " at (" << x << ", " << y << "): model " << pl.at(x, y) << ", library " << g;
    }
  return ::testing::AssertionSuccess();
}

TEST(DeblockPicture, EightBitLumaAndPlanarChroma420MatchTheModel) {
  kvntest::TestRng rng;
  for (int round = 0; round < 20; ++round) {
    const auto mbs = draw_mbs(rng);
    Plane y(16 * kMbW, 16 * kMbH), cb(8 * kMbW, 8 * kMbH);
    fill_plane(rng, y, 8);
    fill_plane(rng, cb, 8);
    auto ly = to_samples<Kvn8u>(y);
    auto lc = to_samples<Kvn8u>(cb);
    for (int my = 0; my < kMbH; ++my)
      for (int mx = 0; mx < kMbW; ++mx)
        for (int hor = 0; hor < 2; ++hor) {
          model_mb(y, mbs, mx, my, hor, 1, 1, false, 8);
          model_mb(cb, mbs, mx, my, hor, 2, 2, true, 8);
          const auto a = args_for<Kvn8u>(mbs, mx, my, hor, false, 8);
          Kvn8u* py = ly.data() + (8 + 16 * my) * y.stride + 8 + 16 * mx;
          Kvn8u* pc = lc.data() + (8 + 8 * my) * cb.stride + 8 + 8 * mx;
          auto fy = hor ? kvniFilterDeblockingLuma_HorEdge_H264_8u_C1IR : kvniFilterDeblockingLuma_VerEdge_H264_8u_C1IR;
          auto fc =
              hor ? kvniFilterDeblockingChroma_HorEdge_H264_8u_C1IR : kvniFilterDeblockingChroma_VerEdge_H264_8u_C1IR;
          ASSERT_EQ(fy(py, y.stride, a.alpha, a.beta, a.tc_luma, a.bs_luma), KVN_STS_OK);
          ASSERT_EQ(fc(pc, cb.stride, a.alpha, a.beta, a.tc_chroma, a.bs_luma), KVN_STS_OK);
        }
    ASSERT_TRUE(same(y, ly, "luma"));
    ASSERT_TRUE(same(cb, lc, "chroma"));
  }
}

TEST(DeblockPicture, HighBitDepthLumaAndChroma422MatchTheModel) {
  kvntest::TestRng rng;
  for (int round = 0; round < 20; ++round) {
    const int depth = rng.range(8, 14);
    const auto mbs = draw_mbs(rng);
    Plane y(16 * kMbW, 16 * kMbH), cb(8 * kMbW, 16 * kMbH);
    fill_plane(rng, y, depth);
    fill_plane(rng, cb, depth);
    auto ly = to_samples<Kvn16u>(y);
    auto lc = to_samples<Kvn16u>(cb);
    for (int my = 0; my < kMbH; ++my)
      for (int mx = 0; mx < kMbW; ++mx)
        for (int hor = 0; hor < 2; ++hor) {
          model_mb(y, mbs, mx, my, hor, 1, 1, false, depth);
          model_mb(cb, mbs, mx, my, hor, 2, 1, true, depth);
          const auto a = args_for<Kvn16u>(mbs, mx, my, hor, true, depth);
          KvnDeblockingRecord16u ry{ly.data() + (8 + 16 * my) * y.stride + 8 + 16 * mx,
                                    y.stride,
                                    a.alpha,
                                    a.beta,
                                    a.tc_luma,
                                    a.bs_luma,
                                    depth};
          KvnDeblockingRecord16u rc{lc.data() + (8 + 16 * my) * cb.stride + 8 + 8 * mx,
                                    cb.stride,
                                    a.alpha,
                                    a.beta,
                                    a.tc_chroma,
                                    a.bs_luma,
                                    depth};
          ASSERT_EQ(hor ? kvniFilterDeblockingLumaHorEdge_H264_16u_C1IR(&ry)
                        : kvniFilterDeblockingLumaVerEdge_H264_16u_C1IR(&ry),
                    KVN_STS_OK);
          ASSERT_EQ(hor ? kvniFilterDeblockingChroma422HorEdge_H264_16u_C1IR(&rc)
                        : kvniFilterDeblockingChroma422VerEdge_H264_16u_C1IR(&rc),
                    KVN_STS_OK);
        }
    ASSERT_TRUE(same(y, ly, "luma"));
    ASSERT_TRUE(same(cb, lc, "chroma 4:2:2"));
  }
}

}  // namespace
