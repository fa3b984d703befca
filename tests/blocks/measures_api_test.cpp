// Hadamard, squared-error, variance and activity measures through the exported
// names: worked examples, the quirks of their arithmetic, the checks and their
// order, and what is (not) written.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "kvnvc.h"

namespace {

constexpr int kStep = 32;

// A 17 x 32 byte area (a 16x16 block plus a half-sample row and column).
struct Bytes {
  explicit Bytes(uint8_t v) { std::memset(b, v, sizeof b); }
  uint8_t b[17 * kStep];
  uint8_t* p() { return b; }
  void rows(int y0, int y1, int x0, int x1, uint8_t v) {
    for (int y = y0; y < y1; ++y) std::memset(b + y * kStep + x0, v, x1 - x0);
  }
};

TEST(MeasureHadamard, WorkedExamples) {
  Bytes zero(0), c(200), one(0), a(0), b(0);
  Kvn32u v = 1;
  ASSERT_EQ(kvniSATD16x16_8u32s_C1R(c.p(), kStep, c.p(), kStep, &v), KVN_STS_OK);
  EXPECT_EQ(v, 0u) << "identical blocks";
  // A constant difference c: only the DC coefficient, 16 |c| a 4x4 block and
  // 64 |c| an 8x8 block, whatever the sign.
  ASSERT_EQ(kvniSATD4x4_8u32s_C1R(c.p(), kStep, zero.p(), kStep, &v), 0);
  EXPECT_EQ(v, 16u * 200);
  ASSERT_EQ(kvniSATD16x8_8u32s_C1R(zero.p(), kStep, c.p(), kStep, &v), 0);
  EXPECT_EQ(v, 8u * 16 * 200);
  ASSERT_EQ(kvniSAT8x8D_8u32s_C1R(zero.p(), kStep, c.p(), kStep, &v), 0);
  EXPECT_EQ(v, 64u * 200);
  // One sample of difference 9: every coefficient of its block is +-9.
  one.rows(6, 7, 5, 6, 9);
  ASSERT_EQ(kvniSATD8x8_8u32s_C1R(one.p(), kStep, zero.p(), kStep, &v), 0);
  EXPECT_EQ(v, 16u * 9);
  ASSERT_EQ(kvniSAT8x8D_8u32s_C1R(one.p(), kStep, zero.p(), kStep, &v), 0);
  EXPECT_EQ(v, 64u * 9);
  // Rows alternating +255 / -255: the largest coefficient, unscaled.
  for (int y = 0; y < 16; y += 2) {
    a.rows(y, y + 1, 0, 16, 255);
    b.rows(y + 1, y + 2, 0, 16, 255);
  }
  ASSERT_EQ(kvniSATD16x16_8u32s_C1R(a.p(), kStep, b.p(), kStep, &v), 0);
  EXPECT_EQ(v, 16u * 16 * 255);
  ASSERT_EQ(kvniSAT8x8D_8u32s_C1R(a.p(), kStep, b.p(), kStep, &v), 0);
  EXPECT_EQ(v, 64u * 255);
}

TEST(MeasureSquaredError, ModesRoundUpAndUseBitsFourAndEight) {
  // Reference columns alternating 10 and 11 against a source of 10.
  Bytes s(10), r(10);
  for (int y = 0; y < 17; ++y)
    for (int x = 1; x < kStep; x += 2) r.b[y * kStep + x] = 11;
  Kvn32u v = 1;
  ASSERT_EQ(kvniSqrDiff16x16_8u32s(s.p(), kStep, r.p(), kStep, 8, &v), 0);
  EXPECT_EQ(v, 256u) << "(10 + 11 + 1) >> 1 = 11 everywhere";
  ASSERT_EQ(kvniSSD8x8_8u32s_C1R(s.p(), kStep, r.p(), kStep, &v, 8 | 3 | 16), 0);
  EXPECT_EQ(v, 64u);
  ASSERT_EQ(kvniSSD4x4_8u32s_C1R(s.p(), kStep, r.p(), kStep, &v, 4), 0);
  EXPECT_EQ(v, 8u) << "vertical: the odd columns differ by 1";
  // Two references of 10 and 13: (10 + 13 + 1) >> 1 = 12.
  Bytes f(10), g(13), src(12), white(255), black(0);
  ASSERT_EQ(kvniSqrDiff16x16B_8u32s(src.p(), kStep, f.p(), kStep, 0, g.p(), kStep, 0, &v), 0);
  EXPECT_EQ(v, 0u);
  ASSERT_EQ(kvniSqrDiff16x16_8u32s(white.p(), kStep, black.p(), kStep, 12, &v), 0);
  EXPECT_EQ(v, 256u * 255 * 255);
}

TEST(MeasureVariance, WorkedExamples) {
  Bytes flat(77), halves(0);
  halves.rows(8, 16, 0, 16, 255);
  Kvn32s v = -1, sum = -1;
  ASSERT_EQ(kvniVariance16x16_8u32s(flat.p(), kStep, &v), 0);
  EXPECT_EQ(v, 0);
  ASSERT_EQ(kvniVariance16x16_8u32s(halves.p(), kStep, &v), 0);
  EXPECT_EQ(v, 4161600) << "256 * 255^2 / 4; S * S exceeds 2^31";
  // The second output is the sum, not the mean.
  ASSERT_EQ(kvniVarMean8x8_8u32s_C1R(flat.p(), kStep, &v, &sum), 0);
  EXPECT_EQ(sum, 64 * 77);
  EXPECT_EQ(v, 0);
  ASSERT_EQ(kvniVarSum8x8_8u32s_C1R(halves.p() + 4 * kStep, kStep, &v, &sum), 0);
  EXPECT_EQ(sum, 32 * 255);
  EXPECT_EQ(v, 16256) << "255^2 / 4 = 16256.25, truncated";
}

TEST(MeasureVariance, SignedSamplesSaturateColumnSumsAndWrapSquares) {
  int16_t w[64];
  for (int16_t& x : w) x = 32767;
  Kvn32s v = 0, sum = 0, v2 = 0, sum2 = 0;
  ASSERT_EQ(kvniVarSum8x8_16s32s_C1R(w, 16, &v, &sum), 0);
  EXPECT_EQ(sum, 8 * 32767) << "each column saturates after its first row";
  // Q = 64 * 32767^2 modulo 2^32, read as signed: -4194240. In float,
  // -4194240 / 64 = -65535; 4095.875^2 rounds to 16776192; their difference
  // -16841727 rounds (to even) to -16841728.
  EXPECT_EQ(v, -16841728);
  ASSERT_EQ(kvniVarMean8x8_16s32s_C1R(w, 16, &v2, &sum2), 0);
  EXPECT_EQ(v2, v) << "one body for both names";
  EXPECT_EQ(sum2, sum);
  // Every sample -32768: each pair of squares wraps to -2^31, Q = 0.
  for (int16_t& x : w) x = -32768;
  ASSERT_EQ(kvniVarMean8x8_16s32s_C1R(w, 16, &v, &sum), 0);
  EXPECT_EQ(sum, -8 * 32768);
  EXPECT_EQ(v, -16777216) << "0 / 64 - 4096^2";
}

TEST(MeasureVarMeanDiff, MeansFromTheCallerSums) {
  // Source 9 over a prediction of 1 in the top-right block only.
  Bytes s(0), one(1), zero(0);
  s.rows(0, 8, 8, 16, 9);
  int32_t sums[4] = {0, 64 * 9, 7, -7}, var[4], mean[4];
  ASSERT_EQ(kvniVarMeanDiff16x16_8u32s_C1R(s.p(), kStep, one.p(), kStep, sums, var, mean, 0), 0);
  const int32_t wantMean[4] = {-8, 64, -7, -8};  // (sum - 64) / 8, toward zero
  for (int b = 0; b < 4; ++b) {
    EXPECT_EQ(mean[b], wantMean[b]) << b;
    EXPECT_EQ(var[b], 0) << b << ": Q - mean^2 is 0 or 15, below 64";
  }
  // Another caller sum, 376: mean 39 and var (4096 - 39^2) >> 6 = 40.
  sums[1] = 376;
  ASSERT_EQ(kvniVarMeanDiff16x8_8u32s_C1R(s.p(), kStep, one.p(), kStep, sums, var, mean, 3), 0);
  EXPECT_EQ(mean[1], 39);
  EXPECT_EQ(var[1], 40);
  // Any int32 sum gives a defined result.
  int32_t extreme[4] = {INT32_MIN, INT32_MAX, INT32_MIN + 1, 7};
  ASSERT_EQ(kvniVarMeanDiff16x16_8u32s_C1R(one.p(), kStep, zero.p(), kStep, extreme, var, mean, 0), 0);
  EXPECT_EQ(mean[0], INT32_MIN / 8);
  EXPECT_EQ(mean[1], INT32_MAX / 8);
  EXPECT_EQ(mean[2], -268435455);
  EXPECT_EQ(mean[3], 0);
  EXPECT_EQ(var[0] | var[1] | var[2], 0) << "Q = 64 is below mean^2";
  EXPECT_EQ(var[3], 1) << "64 >> 6 with a mean of 0";
}

TEST(MeasureVarMeanDiff, ModeHandling) {
  Bytes s(50), r(10);
  const int32_t sums[4] = {3200, 3200, 3200, 3200};
  int32_t var[4], mean[4];
  // 16x16: any value other than 0, 4, 8, 12 computes and writes nothing.
  for (int mode : {1, 5, 13, 16, -4}) {
    std::memset(var, 0x5a, sizeof var);
    std::memset(mean, 0x5a, sizeof mean);
    ASSERT_EQ(kvniVarMeanDiff16x16_8u32s_C1R(s.p(), kStep, r.p(), kStep, sums, var, mean, mode), KVN_STS_OK);
    for (int b = 0; b < 4; ++b) EXPECT_TRUE(var[b] == 0x5a5a5a5a && mean[b] == 0x5a5a5a5a) << mode;
  }
  // 16x8: bits 4 and 8 only; 13 acts as 12. Two blocks written, not four.
  ASSERT_EQ(kvniVarMeanDiff16x8_8u32s_C1R(s.p(), kStep, r.p(), kStep, sums, var, mean, 13), 0);
  EXPECT_EQ(mean[0], (3200 - 640) / 8);
  EXPECT_EQ(var[1], 0);
  EXPECT_EQ(var[2], 0x5a5a5a5a);
}

TEST(MeasureActivity, MeanAbsDevRoundsTheMeanHalfUp) {
  Bytes p(0), h(0);
  p.rows(0, 4, 0, 8, 1);  // sum 32, 32 modulo 64: the mean 0.5 rounds to 1
  h.rows(8, 16, 0, 16, 255);
  Kvn32s v = -1;
  ASSERT_EQ(kvniMeanAbsDev8x8_8u32s_C1R(p.p(), kStep, &v), 0);
  EXPECT_EQ(v, 32);
  ASSERT_EQ(kvniMeanAbsDev16x16_8u32s_C1R(h.p(), kStep, &v), 0);
  EXPECT_EQ(v, 128 * 128 + 128 * 127) << "mean (32640 + 128) / 256 = 128";
}

TEST(MeasureActivity, EdgesDetectCountsPositionsBelowFifteen) {
  Bytes flat(100), step(0), edge(0);
  step.rows(0, 17, 10, 32, 50);   // a step between columns 9 and 10: 15 positions
  edge.rows(0, 17, 15, 16, 200);  // column 15 is only a neighbour: 15 positions (x = 14)
  const struct {
    Bytes* p;
    int32_t diff, count;
    Kvn8u flag;
  } cases[] = {{&flat, 0, 0, 0},   {&flat, -1, 224, 1}, {&flat, -1, 225, 0}, {&step, 49, 14, 1},
               {&step, 49, 15, 0}, {&step, 50, -1, 1},  {&edge, 100, 14, 1}, {&edge, 100, 15, 0}};
  for (const auto& c : cases) {
    Kvn8u flag = 7;
    ASSERT_EQ(kvniEdgesDetect16x16_8u_C1R(c.p->p(), kStep, c.diff, c.count, &flag), 0);
    EXPECT_EQ(flag, c.flag) << "threshold " << c.diff << " count " << c.count;
  }
  Kvn16u w[16 * 16];
  for (int i = 0; i < 256; ++i) w[i] = (i / 16) % 2 ? 65535 : 0;  // rows alternate
  Kvn32u flag16 = 7;
  ASSERT_EQ(kvniEdgesDetect16x16_16u_C1R(w, 32, 65534, 224, &flag16), 0);
  EXPECT_EQ(flag16, 1u);
  ASSERT_EQ(kvniEdgesDetect16x16_16u_C1R(w, 32, 65535, 0, &flag16), 0);
  EXPECT_EQ(flag16, 0u);
}

TEST(MeasureChecks, NullPointerWinsAndNothingIsWritten) {
  Bytes s(1), r(2);
  Kvn32u u = 77;
  Kvn32s v = 77;
  Kvn8u f = 77;
  Kvn16u w16[64] = {};
  const Kvn16u* n16 = nullptr;
  const KvnResult sts[] = {
      kvniSATD4x4_8u32s_C1R(nullptr, kStep, r.p(), kStep, &u),
      kvniSATD4x8_8u32s_C1R(s.p(), kStep, nullptr, kStep, &u),
      kvniSATD8x4_8u32s_C1R(s.p(), kStep, r.p(), kStep, nullptr),
      kvniSATD8x8_8u32s_C1R(nullptr, kStep, r.p(), kStep, &u),
      kvniSATD8x16_8u32s_C1R(s.p(), kStep, nullptr, kStep, &u),
      kvniSATD16x8_8u32s_C1R(nullptr, kStep, r.p(), kStep, &u),
      kvniSATD16x16_8u32s_C1R(s.p(), kStep, nullptr, kStep, &u),
      kvniSAT8x8D_8u32s_C1R(s.p(), kStep, nullptr, kStep, &u),
      kvniSAT8x8D_16u32s_C1R(n16, 16, w16, 16, &u),
      kvniSSD4x4_8u32s_C1R(s.p(), kStep, nullptr, kStep, &u, 0),
      kvniSSD8x8_8u32s_C1R(nullptr, kStep, r.p(), kStep, &u, 12),
      kvniSqrDiff16x16_8u32s(s.p(), kStep, r.p(), kStep, 4, nullptr),
      kvniSqrDiff16x16B_8u32s(s.p(), kStep, r.p(), kStep, 0, nullptr, kStep, 0, &u),
      kvniVariance16x16_8u32s(nullptr, kStep, &v),
      kvniVarMean8x8_8u32s_C1R(s.p(), kStep, &v, nullptr),
      kvniVarSum8x8_8u32s_C1R(s.p(), kStep, nullptr, &v),
      kvniVarMean8x8_16s32s_C1R(nullptr, 16, &v, &v),
      kvniMeanAbsDev16x16_8u32s_C1R(s.p(), kStep, nullptr),
      kvniMeanAbsDev8x8_8u32s_C1R(nullptr, kStep, &v),
      kvniEdgesDetect16x16_8u_C1R(nullptr, kStep, 0, 0, &f),
      kvniEdgesDetect16x16_16u_C1R(w16, 32, 0, 0, nullptr),
  };
  for (KvnResult st : sts) EXPECT_EQ(st, KVN_STS_NULL_PTR);
  EXPECT_EQ(u, 77u);
  EXPECT_EQ(v, 77);
  EXPECT_EQ(f, 77);
  // VarMeanDiff checks all five pointers, before the mode of the 16x16 member.
  const int32_t sums[4] = {};
  int32_t var[4] = {5, 5, 5, 5}, mean[4] = {5, 5, 5, 5};
  EXPECT_EQ(kvniVarMeanDiff16x16_8u32s_C1R(s.p(), kStep, r.p(), kStep, nullptr, var, mean, 5), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniVarMeanDiff16x16_8u32s_C1R(s.p(), kStep, r.p(), kStep, sums, var, nullptr, 0), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniVarMeanDiff16x8_8u32s_C1R(nullptr, kStep, r.p(), kStep, sums, var, mean, 0), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniVarMeanDiff16x8_8u32s_C1R(s.p(), kStep, nullptr, kStep, sums, var, mean, 0), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniVarMeanDiff16x8_8u32s_C1R(s.p(), kStep, r.p(), kStep, sums, nullptr, mean, 0), KVN_STS_NULL_PTR);
  for (int b = 0; b < 4; ++b) EXPECT_EQ(var[b] + mean[b], 10);
}

}  // namespace
