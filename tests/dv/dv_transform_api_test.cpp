// The DV 2-4-8 DCTs and the DV100 weighting through the exported names: the
// null check, the transforms against a double-precision model of the IEC
// 61834 definitions, the field layout of the coefficients, the round trip,
// and worked examples of the weighting.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "kvnvc.h"
#include "rng.h"

namespace {

const double kPi = std::acos(-1.0);
double c8(int h) { return h ? 0.5 : 1 / (2 * std::sqrt(2.0)); }
double c4(int u) { return u ? 1 / std::sqrt(2.0) : 0.5; }

// IEC 61834 2-4-8 forward DCT in double precision (coefficient 8r + h).
void model_fwd(const double* p, double* c) {
  for (int r = 0; r < 8; ++r)
    for (int h = 0; h < 8; ++h) {
      const int u = r & 3;
      const double sign = r < 4 ? 1 : -1;
      double s = 0;
      for (int z = 0; z < 4; ++z)
        for (int x = 0; x < 8; ++x)
          s += (p[16 * z + x] + sign * p[16 * z + 8 + x]) * std::cos(u * (2 * z + 1) * kPi / 8) *
               std::cos(h * (2 * x + 1) * kPi / 16);
      c[8 * r + h] = c4(u) * c8(h) / std::sqrt(2.0) * s;
    }
}

// Its inverse, written from the definition: the two fields rebuilt from the
// sum and difference transforms.
void model_inv(const double* c, double* p) {
  for (int z = 0; z < 4; ++z)
    for (int x = 0; x < 8; ++x) {
      double sum = 0, diff = 0;
      for (int u = 0; u < 4; ++u)
        for (int h = 0; h < 8; ++h) {
          const double b = c4(u) * c8(h) * std::cos(u * (2 * z + 1) * kPi / 8) * std::cos(h * (2 * x + 1) * kPi / 16);
          sum += c[8 * u + h] * b;
          diff += c[8 * (u + 4) + h] * b;
        }
      p[16 * z + x] = (sum + diff) / std::sqrt(2.0);
      p[16 * z + 8 + x] = (sum - diff) / std::sqrt(2.0);
    }
}

TEST(DvTransform, NullPointers) {
  Kvn16s b[64] = {};
  Kvn16u d[64] = {};
  EXPECT_EQ(KVN_STS_NULL_PTR, kvniDCT2x4x8Inv_16s_C1I(nullptr));
  EXPECT_EQ(KVN_STS_NULL_PTR, kvniDCT2x4x8Frw_16s_C1I(nullptr));
  b[0] = 99;
  EXPECT_EQ(KVN_STS_NULL_PTR, kvniQuantWeightBlockInv_DV100_16s_C1I(b, nullptr, b));
  EXPECT_EQ(KVN_STS_NULL_PTR, kvniQuantWeightBlockInv_DV100_16s_C1I(b, d, nullptr));
  EXPECT_EQ(KVN_STS_NULL_PTR, kvniQuantWeightBlockInv_DV100_16s_C1I(nullptr, d, b));
  EXPECT_EQ(99, b[0]);
}

// Picture blocks with samples -256..255 (residuals of 8-bit pictures): the
// forward transform within 1 of the model for every coefficient; the inverse
// of the model's (rounded) coefficients within 1 of the model's inverse.
// Measured over these trials: forward at most 0.56 from the model, inverse at
// most 0.61; the bound 1 leaves room for other seeds.
TEST(DvTransform, AgainstTheModel) {
  kvntest::Rng rng(248);
  double worstF = 0, worstI = 0;
  for (int t = 0; t < 3000; ++t) {
    double p[64], c[64], q[64];
    Kvn16s b[64];
    const int kind = t % 3;
    for (int i = 0; i < 64; ++i) {
      const int v = kind == 0   ? rng.range(-256, 255)
                    : kind == 1 ? rng.range(0, 255)
                                : (i % 8) * 30 - 100 + ((i / 8) & 1) * rng.range(-60, 60);  // field contrast
      p[i] = v;
      b[i] = Kvn16s(v);
    }
    model_fwd(p, c);
    ASSERT_EQ(KVN_STS_OK, kvniDCT2x4x8Frw_16s_C1I(b));
    for (int i = 0; i < 64; ++i) worstF = std::fmax(worstF, std::fabs(b[i] - c[i]));
    double cr[64];
    for (int i = 0; i < 64; ++i) cr[i] = b[i] = Kvn16s(std::lround(c[i]));
    model_inv(cr, q);
    ASSERT_EQ(KVN_STS_OK, kvniDCT2x4x8Inv_16s_C1I(b));
    for (int i = 0; i < 64; ++i) worstI = std::fmax(worstI, std::fabs(b[i] - q[i]));
  }
  EXPECT_LE(worstF, 1.0);
  EXPECT_LE(worstI, 1.0);
  std::printf("largest difference from the model: forward %.3f, inverse %.3f\n", worstF, worstI);
}

TEST(DvTransform, FieldLayoutAndDc) {
  // Flat block 10: only C(0, 0) = 80.
  Kvn16s b[64];
  for (auto& v : b) v = 10;
  kvniDCT2x4x8Frw_16s_C1I(b);
  EXPECT_EQ(80, b[0]);
  for (int i = 1; i < 64; ++i) EXPECT_EQ(0, b[i]) << i;
  kvniDCT2x4x8Inv_16s_C1I(b);
  for (int i = 0; i < 64; ++i) EXPECT_EQ(10, b[i]) << i;
  // Even lines +20, odd lines -20: only the difference field's DC (row 4),
  // 8 x 20 = 160.
  for (int i = 0; i < 64; ++i) b[i] = Kvn16s((i / 8) % 2 ? -20 : 20);
  kvniDCT2x4x8Frw_16s_C1I(b);
  for (int i = 0; i < 64; ++i) EXPECT_EQ(i == 32 ? 160 : 0, b[i]) << i;
  kvniDCT2x4x8Inv_16s_C1I(b);
  for (int i = 0; i < 64; ++i) EXPECT_EQ((i / 8) % 2 ? -20 : 20, b[i]) << i;
}

TEST(DvTransform, RoundTripOfPictures) {
  kvntest::Rng rng(61834);
  int worst = 0;
  for (int t = 0; t < 2000; ++t) {
    Kvn16s b[64], p[64];
    for (int i = 0; i < 64; ++i) p[i] = b[i] = Kvn16s(rng.range(-128, 127));
    kvniDCT2x4x8Frw_16s_C1I(b);
    kvniDCT2x4x8Inv_16s_C1I(b);
    for (int i = 0; i < 64; ++i) worst = std::max(worst, std::abs(b[i] - p[i]));
  }
  EXPECT_LE(worst, 1);
}

TEST(DvTransform, Dv100Weighting) {
  Kvn16s b[64] = {}, w[64];
  Kvn16u d[64];
  for (int i = 0; i < 64; ++i) d[i] = 1, w[i] = 8192;
  b[0] = 100 * 128;  // DC 100 with step 1, weight 1: (1600 * 8192 + 32768) >> 16 = 200
  b[1] = 5 * 64;     // amplitude 5, step 52, weight 8192 / 2: 5 * 52 / 2 = 130
  d[1] = 52, w[1] = 4096;
  b[2] = -3 * 64;  // -3 * 8 * 416 * 8192 / 65536 = -1248
  d[2] = 416;
  b[3] = 255 * 64;  // 255 * 8 * 416 * 32767 >> 16: saturates to 32767
  d[3] = 416, w[3] = 32767;
  b[4] = -7;  // -7 >> 3 = -1: (-8192 + 32768) >> 16 = 0
  ASSERT_EQ(KVN_STS_OK, kvniQuantWeightBlockInv_DV100_16s_C1I(b, d, w));
  EXPECT_EQ(200, b[0]);
  EXPECT_EQ(130, b[1]);
  EXPECT_EQ(-1248, b[2]);
  EXPECT_EQ(32767, b[3]);
  EXPECT_EQ(0, b[4]);
  for (int i = 5; i < 64; ++i) EXPECT_EQ(0, b[i]);
}

}  // namespace
