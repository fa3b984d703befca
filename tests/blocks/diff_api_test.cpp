// Block differences through the exported names: every member against a small
// model written here independently of the library, the worked examples, the
// null-pointer checks and what is (not) written.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "half_sample.h"
#include "kvnvc.h"
#include "rng.h"

namespace {

constexpr int kStep = 40;     // bytes per row of every 8-bit picture
constexpr int kRows = 18;     // a 16-row block, the row a half sample reads, one spare
constexpr int kOutStep = 72;  // bytes per row of every 16-bit output (36 values)
constexpr int16_t kMarker = 0x5a5a;

struct Pictures {
  std::vector<uint8_t> src, refF, refB;
  explicit Pictures(kvntest::Rng& g) : src(kStep * kRows), refF(kStep * kRows), refB(kStep * kRows) {
    for (auto* v : {&src, &refF, &refB}) g.fill(*v, 0, 255);
  }
};

// A 16-bit output area of kRows rows, pre-filled with the marker.
struct Out {
  std::vector<int16_t> v = std::vector<int16_t>(kOutStep / 2 * kRows, kMarker);
  int16_t* p() { return v.data(); }
  int at(int x, int y) const { return v[y * (kOutStep / 2) + x]; }
};

// The model's prediction from picture r (rounding: its low bit).
int predict(const std::vector<uint8_t>& r, int x, int y, int mode, int rounding, int dx = 1) {
  return kvntest::half_sample([&](int xx, int yy) { return int(r[yy * kStep + xx]); }, x, y, mode, rounding, dx);
}

// Every value of `out` equals model(x, y) inside w x h and the marker elsewhere.
void expect_block(const std::string& what, const Out& out, int w, int h, const std::function<int(int, int)>& model) {
  for (int y = 0; y < kRows; ++y)
    for (int x = 0; x < kOutStep / 2; ++x)
      ASSERT_EQ(out.at(x, y), (x < w && y < h) ? model(x, y) : kMarker) << what << " at (" << x << ", " << y << ")";
}

using GetDiffCall = KvnResult (*)(const Kvn8u*, int32_t, const Kvn8u*, int32_t, Kvn16s*, int32_t, Kvn16s*, int32_t,
                                  int32_t, int32_t);
using GetDiffBCall = KvnResult (*)(const Kvn8u*, int32_t, const Kvn8u*, int32_t, int32_t, const Kvn8u*, int32_t,
                                   int32_t, Kvn16s*, int32_t, int32_t);
struct Member {
  const char* name;
  int w, h;
  GetDiffCall one;
  GetDiffBCall two;
};
const Member kMembers[] = {
    {"8x4", 8, 4, kvniGetDiff8x4_8u16s_C1, kvniGetDiff8x4B_8u16s_C1},
    {"8x8", 8, 8, kvniGetDiff8x8_8u16s_C1, kvniGetDiff8x8B_8u16s_C1},
    {"8x16", 8, 16, kvniGetDiff8x16_8u16s_C1, kvniGetDiff8x16B_8u16s_C1},
    {"16x8", 16, 8, kvniGetDiff16x8_8u16s_C1, kvniGetDiff16x8B_8u16s_C1},
    {"16x16", 16, 16, kvniGetDiff16x16_8u16s_C1, kvniGetDiff16x16B_8u16s_C1},
};

TEST(DiffModel, GetDiffEveryModeWithAndWithoutPredictor) {
  kvntest::TestRng g;
  for (const Member& m : kMembers)
    for (int mode = 0; mode < 16; ++mode)  // 1..3 act as 0, 5..7 as 4, ...
      for (int rounding = 0; rounding < 4; ++rounding) {
        const Pictures a(g);
        const std::string tag =
            std::string(m.name) + " mode " + std::to_string(mode) + " rounding " + std::to_string(rounding);
        auto p = [&](int x, int y) { return predict(a.refF, x, y, mode, rounding); };
        auto d = [&](int x, int y) { return a.src[y * kStep + x] - p(x, y); };
        Out diff, pred, alone;
        ASSERT_EQ(
            m.one(a.src.data(), kStep, a.refF.data(), kStep, diff.p(), kOutStep, pred.p(), kOutStep, mode, rounding),
            KVN_STS_OK);
        expect_block("diff " + tag, diff, m.w, m.h, d);
        expect_block("predictor " + tag, pred, m.w, m.h, p);
        ASSERT_EQ(m.one(a.src.data(), kStep, a.refF.data(), kStep, alone.p(), kOutStep, nullptr, 0, mode, rounding),
                  KVN_STS_OK);
        expect_block("diff without predictor " + tag, alone, m.w, m.h, d);
      }
}

// The two-reference prediction: both predictions averaged, rounding up.
int predict_b(const Pictures& a, int x, int y, int modeF, int modeB, int rounding, int dx = 1) {
  return (predict(a.refF, x, y, modeF, rounding, dx) + predict(a.refB, x, y, modeB, rounding, dx) + 1) >> 1;
}

TEST(DiffModel, GetDiffTwoReferences) {
  kvntest::TestRng g;
  for (const Member& m : kMembers)
    for (int modeF = 0; modeF < 16; modeF += 4)
      for (int modeB = 0; modeB < 16; modeB += 4)
        for (int rounding = 0; rounding < 2; ++rounding) {
          const Pictures a(g);
          Out diff;
          ASSERT_EQ(m.two(a.src.data(), kStep, a.refF.data(), kStep, modeF, a.refB.data(), kStep, modeB, diff.p(),
                          kOutStep, rounding),
                    KVN_STS_OK);
          expect_block(std::string(m.name) + " B " + std::to_string(modeF) + "/" + std::to_string(modeB), diff, m.w,
                       m.h,
                       [&](int x, int y) { return a.src[y * kStep + x] - predict_b(a, x, y, modeF, modeB, rounding); });
        }
}

TEST(DiffModel, GetDiffInterleavedChroma) {
  using One =
      KvnResult (*)(const Kvn8u*, int32_t, const Kvn8u*, int32_t, Kvn16s*, int32_t, Kvn16s*, int32_t, int32_t, int32_t);
  using Two = KvnResult (*)(const Kvn8u*, int32_t, const Kvn8u*, int32_t, int32_t, const Kvn8u*, int32_t, int32_t,
                            Kvn16s*, int32_t, Kvn16s*, int32_t, int32_t);
  const struct {
    int h;
    One one;
    Two two;
  } members[] = {{4, kvniGetDiff8x4_8u16s_C2P2, kvniGetDiff8x4B_8u16s_C2P2},
                 {8, kvniGetDiff8x8_8u16s_C2P2, kvniGetDiff8x8B_8u16s_C2P2}};
  kvntest::TestRng g;
  for (const auto& m : members)
    for (int modeF = 0; modeF < 16; modeF += 4)
      for (int modeB = 0; modeB < 16; modeB += 4)
        for (int rounding = 0; rounding < 2; ++rounding) {
          const Pictures a(g);
          Out u, v, ub, vb;
          ASSERT_EQ(m.one(a.src.data(), kStep, a.refF.data(), kStep, u.p(), kOutStep, v.p(), kOutStep, modeF, rounding),
                    KVN_STS_OK);
          ASSERT_EQ(m.two(a.src.data(), kStep, a.refF.data(), kStep, modeF, a.refB.data(), kStep, modeB, ub.p(),
                          kOutStep, vb.p(), kOutStep, rounding),
                    KVN_STS_OK);
          // Channel c of pair x is byte 2x + c; a sample's neighbour is two bytes on.
          for (int c = 0; c < 2; ++c) {
            const std::string tag = std::string(c ? "Cr" : "Cb") + " 8x" + std::to_string(m.h) + " modes " +
                                    std::to_string(modeF) + "/" + std::to_string(modeB);
            auto s = [&](int x, int y) { return int(a.src[y * kStep + 2 * x + c]); };
            expect_block(tag, c ? v : u, 8, m.h,
                         [&](int x, int y) { return s(x, y) - predict(a.refF, 2 * x + c, y, modeF, rounding, 2); });
            expect_block(tag + " B", c ? vb : ub, 8, m.h,
                         [&](int x, int y) { return s(x, y) - predict_b(a, 2 * x + c, y, modeF, modeB, rounding, 2); });
          }
        }
}

TEST(DiffModel, SubEightAndSixteenBits) {
  kvntest::TestRng g;
  const Pictures a(g);
  using Sub8 = KvnResult (*)(const Kvn8u*, int32_t, const Kvn8u*, int32_t, Kvn16s*, int32_t);
  const std::pair<int, Sub8> sub8[] = {
      {4, kvniSub4x4_8u16s_C1R}, {8, kvniSub8x8_8u16s_C1R}, {16, kvniSub16x16_8u16s_C1R}};
  for (auto [n, fn] : sub8) {
    Out d;
    ASSERT_EQ(fn(a.src.data(), kStep, a.refF.data(), kStep, d.p(), kOutStep), KVN_STS_OK);
    expect_block("Sub8u " + std::to_string(n), d, n, n,
                 [&](int x, int y) { return a.src[y * kStep + x] - a.refF[y * kStep + x]; });
  }
  Out gd;
  ASSERT_EQ(kvniGetDiff4x4_8u16s_C1(a.src.data(), kStep, a.refF.data(), kStep, gd.p(), kOutStep), KVN_STS_OK);
  expect_block("GetDiff4x4", gd, 4, 4, [&](int x, int y) { return a.src[y * kStep + x] - a.refF[y * kStep + x]; });

  // 16-bit samples over the full range: the difference modulo 65536.
  std::vector<uint16_t> s1(20 * 8), s2(20 * 8);
  for (size_t i = 0; i < s1.size(); ++i) {
    s1[i] = uint16_t(g.u32());
    s2[i] = i % 3 ? uint16_t(g.u32()) : uint16_t(65535 - s1[i] / 7);
  }
  using Sub16 = KvnResult (*)(const Kvn16u*, int32_t, const Kvn16u*, int32_t, Kvn16s*, int32_t);
  for (auto [n, fn] : {std::pair<int, Sub16>{4, kvniSub4x4_16u16s_C1R}, {8, kvniSub8x8_16u16s_C1R}}) {
    Out d;
    ASSERT_EQ(fn(s1.data(), 40, s2.data(), 40, d.p(), kOutStep), KVN_STS_OK);
    expect_block("Sub16u " + std::to_string(n), d, n, n,
                 [&](int x, int y) { return int16_t(uint16_t(s1[y * 20 + x] - s2[y * 20 + x])); });
  }
}

// The model of the SumsDiff members: block sums and block-ordered differences.
template <class Sum>
void expect_sums(const std::string& what, int n, const std::function<int(int, int)>& diff, const Sum* sums,
                 const int16_t* blocks) {
  for (int b = 0; b < n * n / 16; ++b) {
    int64_t sum = 0;
    for (int i = 0; i < 16; ++i) {
      const int d = diff(4 * (b % (n / 4)) + i % 4, 4 * (b / (n / 4)) + i / 4);
      sum += d;
      if (blocks) {
        ASSERT_EQ(blocks[16 * b + i], int16_t(uint16_t(d))) << what << " block " << b << " value " << i;
      }
    }
    ASSERT_EQ(int64_t(sums[b]), sum) << what << " block " << b;
  }
}

TEST(DiffModel, SumsOfBlocks) {
  kvntest::TestRng g;
  const Pictures a(g);
  auto d8 = [&](int x, int y) { return a.src[y * kStep + x] - a.refF[y * kStep + x]; };
  std::vector<uint16_t> s(16 * 20), p(16 * 20);
  g.fill(s, 0, 65535);
  g.fill(p, 0, 65535);
  auto d16 = [&](int x, int y) { return int(s[y * 20 + x]) - int(p[y * 20 + x]); };
  for (int n : {8, 16}) {
    int16_t sums[16], diff[256];
    Kvn32s sums32[16];
    for (bool withDiff : {true, false}) {
      std::fill(std::begin(diff), std::end(diff), kMarker);
      const KvnResult st = (n == 8 ? kvniSumsDiff8x8Blocks4x4_8u16s_C1 : kvniSumsDiff16x16Blocks4x4_8u16s_C1)(
          a.src.data(), kStep, a.refF.data(), kStep, sums, withDiff ? diff : nullptr);
      ASSERT_EQ(st, KVN_STS_OK);
      expect_sums("8u " + std::to_string(n), n, d8, sums, withDiff ? diff : nullptr);
      const KvnResult st16 = (n == 8 ? kvniSumsDiff8x8Blocks4x4_16u32s_C1R : kvniSumsDiff16x16Blocks4x4_16u32s_C1R)(
          s.data(), 40, p.data(), 40, sums32, withDiff ? diff : nullptr);
      ASSERT_EQ(st16, KVN_STS_OK);
      expect_sums("16u " + std::to_string(n), n, d16, sums32, withDiff ? diff : nullptr);
      if (!withDiff) {
        for (int16_t v : diff) ASSERT_EQ(v, kMarker) << "differences written without a pointer";
      }
    }
  }
  // Interleaved chroma: each channel against its own planar prediction.
  for (int mask = 0; mask < 4; ++mask) {
    int16_t su[4], sv[4], du[64], dv[64];
    std::fill(std::begin(du), std::end(du), kMarker);
    std::fill(std::begin(dv), std::end(dv), kMarker);
    ASSERT_EQ(kvniSumsDiff8x8Blocks4x4_8u16s_C2P2(a.src.data(), kStep, a.refF.data(), kStep, a.refB.data(), kStep, su,
                                                  mask & 1 ? du : nullptr, sv, mask & 2 ? dv : nullptr),
              KVN_STS_OK);
    expect_sums(
        "Cb", 8, [&](int x, int y) { return a.src[y * kStep + 2 * x] - a.refF[y * kStep + x]; }, su,
        mask & 1 ? du : nullptr);
    expect_sums(
        "Cr", 8, [&](int x, int y) { return a.src[y * kStep + 2 * x + 1] - a.refB[y * kStep + x]; }, sv,
        mask & 2 ? dv : nullptr);
    EXPECT_TRUE((mask & 1) || du[0] == kMarker);
    EXPECT_TRUE((mask & 2) || dv[63] == kMarker);
  }
}

TEST(DiffExamples, CentreRoundingAndTwoReferenceAverage) {
  // Rows of 0 over rows of 1: the centre average of 0, 0, 1, 1 is 1 with
  // rounding 0 and (0 + 0 + 1 + 1 + 1) >> 2 = 0 with rounding 1.
  std::vector<uint8_t> ref(kStep * kRows), src(kStep * kRows, 5);
  for (int y = 1; y < kRows; y += 2) std::memset(&ref[y * kStep], 1, kStep);
  Out d0, d1, p1;
  ASSERT_EQ(kvniGetDiff16x16_8u16s_C1(src.data(), kStep, ref.data(), kStep, d0.p(), kOutStep, nullptr, 0, 12, 0), 0);
  ASSERT_EQ(kvniGetDiff16x16_8u16s_C1(src.data(), kStep, ref.data(), kStep, d1.p(), kOutStep, p1.p(), kOutStep, 12, 1),
            0);
  EXPECT_EQ(d0.at(3, 0), 4);
  EXPECT_EQ(d1.at(3, 0), 5);
  EXPECT_EQ(p1.at(15, 15), 0);
  EXPECT_EQ(p1.at(16, 15), kMarker);
  // Predictions 0 and 1 average to 1 whatever the rounding.
  std::vector<uint8_t> zero(kStep * kRows, 0), one(kStep * kRows, 1);
  for (int rounding = 0; rounding < 2; ++rounding) {
    Out d;
    ASSERT_EQ(kvniGetDiff8x8B_8u16s_C1(src.data(), kStep, zero.data(), kStep, 0, one.data(), kStep, 0, d.p(), kOutStep,
                                       rounding),
              0);
    EXPECT_EQ(d.at(7, 7), 4) << rounding;
  }
}

TEST(DiffExamples, SixteenBitSamplesWrapButSumExactly) {
  const std::vector<uint16_t> high(16 * 16, 65535), low(16 * 16, 0);
  Out d;
  ASSERT_EQ(kvniSub8x8_16u16s_C1R(low.data(), 32, high.data(), 32, d.p(), kOutStep), 0);
  EXPECT_EQ(d.at(0, 0), 1);
  ASSERT_EQ(kvniSub4x4_16u16s_C1R(high.data(), 32, low.data(), 32, d.p(), kOutStep), 0);
  EXPECT_EQ(d.at(3, 3), -1);
  Kvn32s sums[16];
  int16_t diff[256];
  ASSERT_EQ(kvniSumsDiff16x16Blocks4x4_16u32s_C1R(high.data(), 32, low.data(), 32, sums, diff), 0);
  EXPECT_EQ(sums[15], 16 * 65535);
  EXPECT_EQ(diff[255], -1);
  ASSERT_EQ(kvniSumsDiff8x8Blocks4x4_16u32s_C1R(low.data(), 32, high.data(), 32, sums, diff), 0);
  EXPECT_EQ(sums[3], -16 * 65535);
  EXPECT_EQ(diff[0], 1);
}

TEST(DiffChecks, NullPointerWinsAndNothingIsWritten) {
  const std::vector<uint8_t> b(kStep * kRows, 7);
  const std::vector<uint16_t> w(16 * 16, 7);
  const uint8_t* s = b.data();
  Out o;
  int16_t* d = o.p();
  Kvn32s sums32[16] = {};
  // Every required pointer in turn; modes and steps that no check looks at.
  EXPECT_EQ(kvniGetDiff4x4_8u16s_C1(nullptr, kStep, s, kStep, d, kOutStep), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniGetDiff4x4_8u16s_C1(s, kStep, s, kStep, nullptr, kOutStep), KVN_STS_NULL_PTR);
  for (const Member& m : kMembers) {
    EXPECT_EQ(m.one(nullptr, kStep, s, kStep, d, kOutStep, d, kOutStep, 12, 1), KVN_STS_NULL_PTR) << m.name;
    EXPECT_EQ(m.one(s, kStep, nullptr, kStep, d, kOutStep, d, kOutStep, -1, 7), KVN_STS_NULL_PTR) << m.name;
    EXPECT_EQ(m.one(s, kStep, s, kStep, nullptr, kOutStep, d, kOutStep, 0, 0), KVN_STS_NULL_PTR) << m.name;
    EXPECT_EQ(m.two(nullptr, kStep, s, kStep, 4, s, kStep, 8, d, kOutStep, 0), KVN_STS_NULL_PTR) << m.name;
    EXPECT_EQ(m.two(s, kStep, nullptr, kStep, 4, s, kStep, 8, d, kOutStep, 0), KVN_STS_NULL_PTR) << m.name;
    EXPECT_EQ(m.two(s, kStep, s, kStep, 4, nullptr, kStep, 8, d, kOutStep, 0), KVN_STS_NULL_PTR) << m.name;
    EXPECT_EQ(m.two(s, -kStep, s, 0, 4, s, kStep, 8, nullptr, kOutStep, 0), KVN_STS_NULL_PTR) << m.name;
  }
  EXPECT_EQ(kvniGetDiff8x4_8u16s_C2P2(s, kStep, s, kStep, d, kOutStep, nullptr, kOutStep, 0, 0), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniGetDiff8x8_8u16s_C2P2(s, kStep, nullptr, kStep, d, kOutStep, d, kOutStep, 0, 0), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniGetDiff8x4B_8u16s_C2P2(s, kStep, s, kStep, 0, nullptr, kStep, 0, d, kOutStep, d, kOutStep, 0),
            KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniGetDiff8x8B_8u16s_C2P2(s, kStep, s, kStep, 0, s, kStep, 0, nullptr, kOutStep, d, kOutStep, 0),
            KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniSub4x4_8u16s_C1R(s, kStep, nullptr, kStep, d, kOutStep), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniSub8x8_8u16s_C1R(nullptr, kStep, s, kStep, d, kOutStep), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniSub16x16_8u16s_C1R(s, kStep, s, kStep, nullptr, kOutStep), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniSub4x4_16u16s_C1R(w.data(), 32, nullptr, 32, d, kOutStep), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniSub8x8_16u16s_C1R(w.data(), 32, w.data(), 32, nullptr, kOutStep), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniSumsDiff8x8Blocks4x4_8u16s_C1(s, kStep, s, kStep, nullptr, d), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniSumsDiff16x16Blocks4x4_8u16s_C1(nullptr, kStep, s, kStep, d, d), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniSumsDiff8x8Blocks4x4_16u32s_C1R(w.data(), 32, nullptr, 32, sums32, d), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniSumsDiff16x16Blocks4x4_16u32s_C1R(w.data(), 32, w.data(), 32, nullptr, d), KVN_STS_NULL_PTR);
  for (int i = 0; i < 5; ++i) {  // source, both predictions, both sums
    const Kvn8u* in[3] = {s, s, s};
    Kvn16s* sums[2] = {d, d};
    if (i < 3)
      in[i] = nullptr;
    else
      sums[i - 3] = nullptr;
    EXPECT_EQ(kvniSumsDiff8x8Blocks4x4_8u16s_C2P2(in[0], kStep, in[1], kStep, in[2], kStep, sums[0], d, sums[1], d),
              KVN_STS_NULL_PTR)
        << i;
  }
  expect_block("after failed calls", o, 0, 0, [](int, int) { return 0; });
  for (Kvn32s v : sums32) EXPECT_EQ(v, 0);
}

}  // namespace
