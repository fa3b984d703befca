// Deblocking filter behaviour through the exported names: pointer checks and
// nothing written on failure, worked examples of both filters, the bit-depth
// clamp, the interleaved forms against the planar one, and the MBAFF units.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <vector>

#include "kvnvc.h"
#include "rng.h"

namespace {

// A picture region with a macroblock at (8, 8); step 48 samples.
template <class T>
struct Pic {
  static constexpr int kStep = 48;
  std::vector<T> s = std::vector<T>(kStep * 40, T(0));
  T* mb() { return s.data() + 8 * kStep + 8; }
  T& at(int x, int y) { return mb()[y * kStep + x]; }  // relative to the macroblock
  // Columns x < 0 hold `left`, the others `right` (a vertical step at x = 0).
  void step_at_x0(int left, int right) {
    for (int y = -8; y < 32; ++y)
      for (int x = -8; x < 40; ++x) at(x, y) = T(x < 0 ? left : right);
  }
};

struct Arrays8 {
  Kvn8u alpha[4] = {40, 40, 40, 40}, beta[4] = {10, 10, 10, 10}, tc0[16] = {}, bs[16] = {};
};

// A record function refuses a null record and each null pointer in a valid one.
template <class F, class R>
void null_fields(F f, const R& valid) {
  EXPECT_EQ(f(nullptr), KVN_STS_NULL_PTR);
  for (int which = 0; which < 5; ++which) {
    R r = valid;
    if (which == 0) r.pSrcDstPlane = nullptr;
    if (which == 1) r.pAlpha = nullptr;
    if (which == 2) r.pBeta = nullptr;
    if (which == 3) r.pThresholds = nullptr;
    if (which == 4) r.pBs = nullptr;
    EXPECT_EQ(f(&r), KVN_STS_NULL_PTR) << which;
  }
}

TEST(DeblockChecks, NullPointersWriteNothing) {
  Pic<Kvn8u> pic;
  pic.step_at_x0(100, 110);
  const auto before = pic.s;
  Arrays8 a;
  std::memset(a.bs, 4, sizeof a.bs);
  using Fn = KvnResult (*)(Kvn8u*, int32_t, const Kvn8u*, const Kvn8u*, const Kvn8u*, const Kvn8u*);
  const Fn fns[] = {kvniFilterDeblockingLuma_VerEdge_H264_8u_C1IR,   kvniFilterDeblockingLuma_HorEdge_H264_8u_C1IR,
                    kvniFilterDeblockingChroma_VerEdge_H264_8u_C1IR, kvniFilterDeblockingChroma_HorEdge_H264_8u_C1IR,
                    kvniFilterDeblockingChroma_VerEdge_H264_8u_C2IR, kvniFilterDeblockingChroma_HorEdge_H264_8u_C2IR};
  for (Fn f : fns)
    for (int which = 0; which < 5; ++which) {
      const Kvn8u* arr[4] = {a.alpha, a.beta, a.tc0, a.bs};
      Kvn8u* p = which == 0 ? nullptr : pic.mb();
      if (which > 0) arr[which - 1] = nullptr;
      EXPECT_EQ(f(p, Pic<Kvn8u>::kStep, arr[0], arr[1], arr[2], arr[3]), KVN_STS_NULL_PTR) << which;
    }
  using Mbaff = KvnResult (*)(Kvn8u*, int32_t, Kvn32u, Kvn32u, const Kvn8u*, const Kvn8u*);
  for (Mbaff f :
       {kvniFilterDeblockingLuma_VerEdge_MBAFF_H264_8u_C1IR, kvniFilterDeblockingChroma_VerEdge_MBAFF_H264_8u_C1IR}) {
    // The null test comes before the early return for alpha 0.
    EXPECT_EQ(f(nullptr, Pic<Kvn8u>::kStep, 0, 10, a.tc0, a.bs), KVN_STS_NULL_PTR);
    EXPECT_EQ(f(pic.mb(), Pic<Kvn8u>::kStep, 40, 10, nullptr, a.bs), KVN_STS_NULL_PTR);
    EXPECT_EQ(f(pic.mb(), Pic<Kvn8u>::kStep, 40, 10, a.tc0, nullptr), KVN_STS_NULL_PTR);
  }
  using Rec8 = KvnResult (*)(const KvnDeblockingRecord8u*);
  for (Rec8 f :
       {kvniFilterDeblockingChroma_VerEdge_H264_8u_C2I, kvniFilterDeblockingChroma_HorEdge_H264_8u_C2I,
        kvniFilterDeblockingChroma422VerEdge_H264_8u_C1IR, kvniFilterDeblockingChroma422HorEdge_H264_8u_C1IR}) {
    null_fields(f, KvnDeblockingRecord8u{pic.mb(), Pic<Kvn8u>::kStep, a.alpha, a.beta, a.tc0, a.bs});
  }
  EXPECT_EQ(pic.s, before);

  Pic<Kvn16u> pic16;
  pic16.step_at_x0(100, 110);
  const auto before16 = pic16.s;
  Kvn16u al[4] = {40, 40, 40, 40}, be[4] = {10, 10, 10, 10}, tc[16] = {};
  using Rec16 = KvnResult (*)(const KvnDeblockingRecord16u*);
  for (Rec16 f :
       {kvniFilterDeblockingLumaVerEdge_H264_16u_C1IR, kvniFilterDeblockingLumaHorEdge_H264_16u_C1IR,
        kvniFilterDeblockingLumaVerEdgeMBAFF_H264_16u_C1IR, kvniFilterDeblockingChromaVerEdge_H264_16u_C1IR,
        kvniFilterDeblockingChromaHorEdge_H264_16u_C1IR, kvniFilterDeblockingChromaVerEdgeMBAFF_H264_16u_C1IR,
        kvniFilterDeblockingChroma422VerEdge_H264_16u_C1IR, kvniFilterDeblockingChroma422HorEdge_H264_16u_C1IR}) {
    null_fields(f, KvnDeblockingRecord16u{pic16.mb(), Pic<Kvn16u>::kStep, al, be, tc, a.bs, 10});
  }
  EXPECT_EQ(pic16.s, before16);
}

TEST(DeblockLuma, StrongFilterSmoothsThreeSamplesEachSide) {
  // Step of 10 across edge 0, bS 4, alpha 40, beta 10: 10 < (40 >> 2) + 2.
  Pic<Kvn8u> pic;
  pic.step_at_x0(100, 110);
  Arrays8 a;
  std::memset(a.bs, 4, 4);
  ASSERT_EQ(kvniFilterDeblockingLuma_VerEdge_H264_8u_C1IR(pic.mb(), Pic<Kvn8u>::kStep, a.alpha, a.beta, a.tc0, a.bs),
            KVN_STS_OK);
  // 8.7.2.4 on 100 100 100 100 | 110 110 110 110: p2' = 814 >> 3, p1' = 412 >> 2,
  // p0' = 834 >> 3, q0' = 854 >> 3, q1' = 432 >> 2, q2' = 874 >> 3.
  const int want[8] = {100, 101, 103, 104, 106, 108, 109, 110};  // x = -4 .. 3
  for (int y = 0; y < 16; ++y)
    for (int x = -4; x < 4; ++x) ASSERT_EQ(pic.at(x, y), want[x + 4]) << x << "," << y;
  EXPECT_EQ(pic.at(0, 16), 110) << "row below the macroblock";
  // A step of 12 is not below 12: only p0 and q0 change, by the 3-tap filter.
  pic.step_at_x0(100, 112);
  ASSERT_EQ(kvniFilterDeblockingLuma_VerEdge_H264_8u_C1IR(pic.mb(), Pic<Kvn8u>::kStep, a.alpha, a.beta, a.tc0, a.bs),
            KVN_STS_OK);
  EXPECT_EQ(pic.at(-2, 5), 100);
  EXPECT_EQ(pic.at(-1, 5), (2 * 100 + 100 + 112 + 2) >> 2);
  EXPECT_EQ(pic.at(0, 5), (2 * 112 + 112 + 100 + 2) >> 2);
  EXPECT_EQ(pic.at(1, 5), 112);
}

TEST(DeblockLuma, NormalFilterWithZeroTc0MovesEdgeSamplesByApPlusAq) {
  Pic<Kvn8u> pic;
  pic.step_at_x0(100, 120);
  for (int y = 0; y < 16; ++y) pic.at(-3, y) = Kvn8u(y < 8 ? 100 : 140);  // ap false in rows 8..15
  Arrays8 a;
  std::memset(a.bs, 2, 16);
  ASSERT_EQ(kvniFilterDeblockingLuma_VerEdge_H264_8u_C1IR(pic.mb(), Pic<Kvn8u>::kStep, a.alpha, a.beta, a.tc0, a.bs),
            KVN_STS_OK);
  for (int y = 0; y < 16; ++y) {
    const int tc = y < 8 ? 2 : 1;  // ap + aq
    EXPECT_EQ(pic.at(-1, y), 100 + tc) << y;
    EXPECT_EQ(pic.at(0, y), 120 - tc) << y;
    EXPECT_EQ(pic.at(-2, y), 100) << "tc0 0 leaves p1";
  }
}

TEST(DeblockLuma, NothingFilteredWithZeroBsOrZeroAlpha) {
  kvntest::TestRng rng;
  Pic<Kvn8u> pic;
  rng.fill(pic.s, 0, 255);
  const auto before = pic.s;
  Arrays8 a;
  ASSERT_EQ(kvniFilterDeblockingLuma_HorEdge_H264_8u_C1IR(pic.mb(), Pic<Kvn8u>::kStep, a.alpha, a.beta, a.tc0, a.bs),
            KVN_STS_OK);
  EXPECT_EQ(pic.s, before);
  std::memset(a.bs, 3, 16);
  std::memset(a.bs, 4, 4);
  std::memset(a.alpha, 0, 4);
  std::memset(a.beta, 255, 4);
  ASSERT_EQ(kvniFilterDeblockingLuma_HorEdge_H264_8u_C1IR(pic.mb(), Pic<Kvn8u>::kStep, a.alpha, a.beta, a.tc0, a.bs),
            KVN_STS_OK);
  EXPECT_EQ(pic.s, before);
}

TEST(DeblockChroma, NormalFilterMovesEdgeSamplesByAtMostOneWithZeroTc0) {
  Pic<Kvn8u> pic;
  pic.step_at_x0(50, 70);
  Arrays8 a;
  std::memset(a.bs, 2, 16);
  ASSERT_EQ(kvniFilterDeblockingChroma_VerEdge_H264_8u_C1IR(pic.mb(), Pic<Kvn8u>::kStep, a.alpha, a.beta, a.tc0, a.bs),
            KVN_STS_OK);
  for (int y = 0; y < 8; ++y) {
    EXPECT_EQ(pic.at(-1, y), 51);
    EXPECT_EQ(pic.at(0, y), 69);
    EXPECT_EQ(pic.at(-2, y), 50);
  }
  EXPECT_EQ(pic.at(0, 8), 70) << "chroma 4:2:0 has 8 rows";
}

TEST(DeblockHighBitDepth, NormalFilterClampsToTheBitDepth) {
  // q0 = 1023 next to p0 = 1000 and q1 = 1023 pushes q0 up; with p1 far
  // below the result would exceed 1023 without the clamp.
  Pic<Kvn16u> pic;
  pic.step_at_x0(1000, 1023);
  for (int y = -8; y < 32; ++y) pic.at(-2, y) = 1000, pic.at(1, y) = 1023;
  Kvn16u al[2] = {200, 200}, be[2] = {40, 40}, tc[16];
  for (auto& t : tc) t = 30;
  Kvn8u bs[16];
  std::memset(bs, 2, 16);
  // Descending values so that delta is negative for q0: q0 - delta would go above.
  for (int y = -8; y < 32; ++y) pic.at(-1, y) = 1023, pic.at(0, y) = 1020, pic.at(-2, y) = 1023, pic.at(1, y) = 1000;
  KvnDeblockingRecord16u r{pic.mb(), Pic<Kvn16u>::kStep, al, be, tc, bs, 10};
  // p1 - p0 = 0 < beta, q1 - q0 = 20 < beta; delta = ((1020-1023)*4 + (1023-1000) + 4) >> 3 = 1.
  ASSERT_EQ(kvniFilterDeblockingChromaVerEdge_H264_16u_C1IR(&r), KVN_STS_OK);
  EXPECT_EQ(pic.at(-1, 0), 1023) << "1023 + 1 clamped to 10 bits";
  EXPECT_EQ(pic.at(0, 0), 1019);
  // The same with 11 bits is not clamped.
  for (int y = -8; y < 32; ++y) pic.at(-1, y) = 1023, pic.at(0, y) = 1020;
  r.bitDepth = 11;
  ASSERT_EQ(kvniFilterDeblockingChromaVerEdge_H264_16u_C1IR(&r), KVN_STS_OK);
  EXPECT_EQ(pic.at(-1, 0), 1024);
}

// Interleaved chroma equals the planar filter on each channel.
TEST(DeblockInterleaved, MatchesPlanarPerChannel) {
  kvntest::TestRng rng;
  Arrays8 a;
  const Kvn8u alpha4[4] = {30, 18, 45, 9}, beta4[4] = {6, 4, 9, 3};
  Kvn8u tc16[16];
  for (int i = 0; i < 16; ++i) tc16[i] = Kvn8u(i % 4);
  const Kvn8u bs[16] = {4, 4, 4, 4, 2, 1, 0, 3, 1, 2, 3, 0, 2, 2, 1, 1};
  std::memcpy(a.bs, bs, 16);
  std::memcpy(a.alpha, alpha4, 4);
  std::memcpy(a.beta, beta4, 4);
  std::memcpy(a.tc0, tc16, 16);
  for (int vertical = 0; vertical < 2; ++vertical)
    for (int per_channel = 0; per_channel < 2; ++per_channel) {
      Pic<Kvn8u> c2;
      Pic<Kvn8u> plane[2];
      for (int y = -8; y < 24; ++y)
        for (int x = -8; x < 32; ++x) {  // bytes
          const int v = 80 + rng.range(0, 11) + (((x + 8) & 8) ? 8 : 0) + (((y + 8) & 4) ? 6 : 0);
          c2.at(x, y) = Kvn8u(v);
          plane[x & 1].at(x >> 1, y) = Kvn8u(v);
        }
      if (per_channel) {
        KvnDeblockingRecord8u r{c2.mb(), Pic<Kvn8u>::kStep, a.alpha, a.beta, a.tc0, a.bs};
        ASSERT_EQ(vertical ? kvniFilterDeblockingChroma_VerEdge_H264_8u_C2I(&r)
                           : kvniFilterDeblockingChroma_HorEdge_H264_8u_C2I(&r),
                  KVN_STS_OK);
      } else {
        auto f = vertical ? kvniFilterDeblockingChroma_VerEdge_H264_8u_C2IR
                          : kvniFilterDeblockingChroma_HorEdge_H264_8u_C2IR;
        ASSERT_EQ(f(c2.mb(), Pic<Kvn8u>::kStep, a.alpha, a.beta, a.tc0, a.bs), KVN_STS_OK);
      }
      auto f =
          vertical ? kvniFilterDeblockingChroma_VerEdge_H264_8u_C1IR : kvniFilterDeblockingChroma_HorEdge_H264_8u_C1IR;
      for (int c = 0; c < 2; ++c) {
        const int o = per_channel ? c : 0;
        ASSERT_EQ(f(plane[c].mb(), Pic<Kvn8u>::kStep, a.alpha + 2 * o, a.beta + 2 * o, a.tc0 + 8 * o, a.bs),
                  KVN_STS_OK);
      }
      for (int y = -8; y < 24; ++y)
        for (int x = -8; x < 32; ++x)
          ASSERT_EQ(c2.at(x, y), plane[x & 1].at(x >> 1, y))
              << "x " << x << " y " << y << " vertical " << vertical << " per channel " << per_channel;
    }
}

// The MBAFF units filter x = -3..2 of their rows only, bS and tc0 by row >> 1
// (luma) or row (chroma); an alpha of 0 or four zero bS return at once.
TEST(DeblockMbaff, TouchesOnlyItsRowsWithPerRowPairIndexing) {
  for (int high = 0; high < 2; ++high)
    for (int luma = 0; luma < 2; ++luma) {
      Pic<Kvn8u> p8;
      Pic<Kvn16u> p16;
      p8.step_at_x0(60, 75);
      p16.step_at_x0(60, 75);
      const auto b8 = p8.s;
      const auto b16 = p16.s;
      const Kvn8u bs[4] = {0, 4, 2, 0};
      const Kvn8u tc8[4] = {9, 9, 0, 9};
      const Kvn16u tc16[4] = {9, 9, 0, 9};
      const Kvn16u al[1] = {40}, be[1] = {10};
      KvnDeblockingRecord16u r{p16.mb(), Pic<Kvn16u>::kStep, al, be, tc16, bs, 8};
      auto run = [&] {
        if (high)
          return luma ? kvniFilterDeblockingLumaVerEdgeMBAFF_H264_16u_C1IR(&r)
                      : kvniFilterDeblockingChromaVerEdgeMBAFF_H264_16u_C1IR(&r);
        auto f = luma ? kvniFilterDeblockingLuma_VerEdge_MBAFF_H264_8u_C1IR
                      : kvniFilterDeblockingChroma_VerEdge_MBAFF_H264_8u_C1IR;
        return f(p8.mb(), Pic<Kvn8u>::kStep, 40, 10, tc8, bs);
      };
      ASSERT_EQ(run(), KVN_STS_OK);
      const int rows = luma ? 8 : 4;
      for (int y = -8; y < 32; ++y)
        for (int x = -8; x < 40; ++x) {
          const int got = high ? p16.at(x, y) : p8.at(x, y);
          const int seg = y >= 0 && y < rows ? (luma ? y >> 1 : y) : -1;
          const int orig = x < 0 ? 60 : 75;
          if (seg < 0 || bs[seg] == 0 || x < -3 || x > 2) {
            ASSERT_EQ(got, orig) << "x " << x << " y " << y << " luma " << luma << " high " << high;
          } else if (bs[seg] == 4 && (x == -1 || x == 0)) {
            // 15 is not below (40 >> 2) + 2 = 12: the 3-tap filters.
            ASSERT_EQ(got, x < 0 ? (2 * 60 + 60 + 75 + 2) >> 2 : (2 * 75 + 75 + 60 + 2) >> 2);
          } else if (bs[seg] == 2 && (x == -1 || x == 0)) {
            const int tc = luma ? 0 + 2 : 0 + 1;  // tc0 0, ap and aq hold for luma
            ASSERT_EQ(got, x < 0 ? 60 + tc : 75 - tc) << y;
          } else {
            ASSERT_EQ(got, orig) << "x " << x << " y " << y;
          }
        }
      // Early returns.
      p8.s = b8;
      p16.s = b16;
      const Kvn16u al0[1] = {0};
      r.pAlpha = al0;
      if (high)
        ASSERT_EQ(luma ? kvniFilterDeblockingLumaVerEdgeMBAFF_H264_16u_C1IR(&r)
                       : kvniFilterDeblockingChromaVerEdgeMBAFF_H264_16u_C1IR(&r),
                  KVN_STS_OK);
      else
        ASSERT_EQ(
            (luma ? kvniFilterDeblockingLuma_VerEdge_MBAFF_H264_8u_C1IR
                  : kvniFilterDeblockingChroma_VerEdge_MBAFF_H264_8u_C1IR)(p8.mb(), Pic<Kvn8u>::kStep, 0, 10, tc8, bs),
            KVN_STS_OK);
      EXPECT_EQ(p8.s, b8);
      EXPECT_EQ(p16.s, b16);
    }
}

TEST(DeblockHighBitDepth, OutOfRangeBitDepthsAreDefined) {
  // Bit depths outside 1..16 act as the nearest of 1 and 16.
  for (int depth : {-5, 0, 1, 16, 40}) {
    Pic<Kvn16u> a, b;
    a.step_at_x0(0, 1);
    b.step_at_x0(0, 1);
    Kvn16u al[2] = {2, 2}, be[2] = {2, 2}, tc[16] = {};
    Kvn8u bs[16];
    std::memset(bs, 1, 16);
    KvnDeblockingRecord16u ra{a.mb(), Pic<Kvn16u>::kStep, al, be, tc, bs, depth};
    KvnDeblockingRecord16u rb{b.mb(), Pic<Kvn16u>::kStep, al, be, tc, bs, depth < 1 ? 1 : 16};
    ASSERT_EQ(kvniFilterDeblockingLumaHorEdge_H264_16u_C1IR(&ra), KVN_STS_OK);
    ASSERT_EQ(kvniFilterDeblockingLumaHorEdge_H264_16u_C1IR(&rb), KVN_STS_OK);
    EXPECT_EQ(a.s, b.s) << depth;
  }
}

}  // namespace
