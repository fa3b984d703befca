// H.264 8x8 transform and quantisation through the exported names: statuses
// and their order (KVN_STS_QP_ERR for q6 and m), nothing written on failure,
// the scale tables for every weight, the quantisers' counts, models of the
// forward transform and of H.264 8.5.13 (inverse transform), and the
// forward/inverse round trip.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "h264_model.h"
#include "kvnvc.h"
#include "rng.h"

namespace {

// normAdjust8x8 (H.264 8.5.9) and the forward multipliers, per class.
const int kV8[6][6] = {{20, 18, 32, 19, 25, 24}, {22, 19, 35, 21, 28, 26}, {26, 23, 42, 24, 33, 31},
                       {28, 25, 45, 26, 35, 33}, {32, 28, 51, 30, 40, 38}, {36, 32, 58, 34, 46, 43}};
const int kQ8[6][6] = {{13107, 11428, 20972, 12222, 16777, 15481}, {11916, 10826, 19174, 11058, 14980, 14290},
                       {10082, 8943, 15978, 9675, 12710, 11985},   {9362, 8228, 14913, 8931, 11984, 11259},
                       {8192, 7346, 13159, 7740, 10486, 9777},     {7282, 6428, 11570, 6830, 9118, 8640}};

int cls(int i, int j) {
  if (i % 4 == 0 && j % 4 == 0) return 0;
  if (i % 2 == 1 && j % 2 == 1) return 1;
  if (i % 4 == 2 && j % 4 == 2) return 2;
  if ((i % 4 == 0 && j % 2 == 1) || (i % 2 == 1 && j % 4 == 0)) return 3;
  if ((i % 4 == 0 && j % 4 == 2) || (i % 4 == 2 && j % 4 == 0)) return 4;
  return 5;
}

struct Scan {
  int16_t v[64];
  Scan() {
    for (int i = 0; i < 64; ++i) v[i] = int16_t(63 - i);  // reversed, so "largest entry" is visible
  }
};

// Flat-weight tables for m.
void flat_tables(int m, int16_t* inv, int16_t* fwd) {
  uint8_t w[64];
  std::memset(w, 16, 64);
  ASSERT_EQ(0, kvniGenScaleLevel8x8_H264_8u16s_D2(w, 8, inv, fwd, m));
}

// ---- checks
// -------------------------------------------------------------------

TEST(Transform8x8Status, NullFirstThenRangeAndNothingWritten) {
  int16_t a[64], b[64], tab[64] = {};
  int32_t a32[64], b32[64];
  int32_t n = 77, last = 77;
  Scan sc;
  std::memset(b, 0x5a, sizeof b);
  std::memset(b32, 0x5a, sizeof b32);
  for (int i = 0; i < 64; ++i) a[i] = int16_t(i), a32[i] = i;
  const int16_t b0 = b[0];
  EXPECT_EQ(-8, kvniTransformFwdLuma8x8_H264_16s_C1(nullptr, b));
  EXPECT_EQ(-8, kvniTransformFwdLuma8x8_H264_16s_C1(a, nullptr));
  EXPECT_EQ(-8, kvniTransformFwdLuma8x8_H264_16s32s_C1(a, nullptr));
  EXPECT_EQ(-8, kvniTransformLuma8x8Fwd_H264_16s_C1I(nullptr));
  EXPECT_EQ(-8, kvniQuantLuma8x8_H264_16s_C1(a, b, 99, 1, sc.v, nullptr, &n, &last));
  EXPECT_EQ(-8, kvniQuantLuma8x8_H264_16s_C1(a, b, 99, 1, sc.v, tab, &n, nullptr));
  EXPECT_EQ(-8, kvniQuantLuma8x8_H264_32s_C1(a32, b32, 99, 1, nullptr, tab, &n, &last));
  EXPECT_EQ(-8, kvniQuantLuma8x8Inv_H264_16s_C1I(b, 99, nullptr));
  EXPECT_EQ(-8, kvniQuantInvLuma8x8_H264_32s_C1I(nullptr, 99, tab));
  EXPECT_EQ(-8, kvniTransformLuma8x8InvAddPred_H264_16s8u_C1R(nullptr, 8, a, nullptr, 8));
  EXPECT_EQ(-8, kvniTransformInvAddPredLuma8x8_H264_32s16u_C1R(nullptr, 16, a32, nullptr, 16, 10));
  EXPECT_EQ(-8, kvniGenScaleLevel8x8_H264_8u16s_D2(nullptr, 8, b, b, 9));
  // q6: 0..8 (16s), 0..14 (32s); unsigned compare; m 0..5.
  EXPECT_EQ(-192, kvniQuantLuma8x8_H264_16s_C1(a, b, 9, 1, sc.v, tab, &n, &last));
  EXPECT_EQ(-192, kvniQuantLuma8x8_H264_16s_C1(a, b, -1, 1, sc.v, tab, &n, &last));
  EXPECT_EQ(-192, kvniQuantLuma8x8_H264_32s_C1(a32, b32, 15, 0, sc.v, tab, &n, &last));
  EXPECT_EQ(-192, kvniQuantLuma8x8Inv_H264_16s_C1I(b, 9, tab));
  EXPECT_EQ(-192, kvniQuantInvLuma8x8_H264_32s_C1I(b32, 15, tab));
  EXPECT_EQ(-192, kvniQuantInvLuma8x8_H264_32s_C1I(b32, -3, tab));
  uint8_t w[64] = {};
  EXPECT_EQ(-192, kvniGenScaleLevel8x8_H264_8u16s_D2(w, 8, b, b, 6));
  EXPECT_EQ(-192, kvniGenScaleLevel8x8_H264_8u16s_D2(w, 8, b, b, -1));
  EXPECT_EQ(b0, b[0]);
  EXPECT_EQ(0x5a5a5a5a, b32[0]);
  EXPECT_EQ(77, n);
  EXPECT_EQ(77, last);
  EXPECT_EQ(0, kvniQuantLuma8x8_H264_32s_C1(a32, b32, 14, 0, sc.v, tab, &n, &last));
  EXPECT_EQ(0, kvniQuantInvLuma8x8_H264_32s_C1I(b32, 14, tab));
}

// ---- scale tables
// ---------------------------------------------------------------

TEST(Transform8x8Scale, EveryWeightEveryMIsExact) {
  for (int m = 0; m < 6; ++m)
    for (int w = 1; w < 256; ++w) {
      uint8_t list[8 * 11];
      std::memset(list, 0xee, sizeof list);
      for (int r = 0; r < 8; ++r) std::memset(list + 11 * r, w, 8);  // step 11 bytes
      int16_t inv[64], fwd[64];
      ASSERT_EQ(0, kvniGenScaleLevel8x8_H264_8u16s_D2(list, 11, inv, fwd, m));
      for (int p = 0; p < 64; ++p) {
        const int c = cls(p / 8, p % 8);
        ASSERT_EQ(kQ8[m][c] / w, fwd[p]) << "m=" << m << " w=" << w << " p=" << p;
        ASSERT_EQ(int16_t(kV8[m][c] * w), inv[p]);
      }
    }
  int16_t inv[64], fwd[64];
  flat_tables(0, inv, fwd);
  EXPECT_EQ(819, fwd[0]);
  EXPECT_EQ(16 * 20, inv[0]);
  EXPECT_EQ(16 * 18, inv[9]);
  EXPECT_EQ(16 * 24, inv[1 * 8 + 2]);  // row 1, column 2: class 5
}

// ---- quantisers
// -------------------------------------------------------------------

int64_t quant_model(int64_t c, int F, int q6, bool intra) {
  const int s = q6 + 12;
  const int64_t f = int64_t(intra ? 682 : 342) << (q6 + 1);
  const int64_t t = ((c < 0 ? -c : c) * F + f) >> s;
  return c < 0 ? -t : t;
}

TEST(Transform8x8Quant, MatchesModelAndCounts) {
  kvntest::TestRng g;
  Scan sc;
  for (int q6 = 0; q6 <= 14; ++q6)
    for (int intra = 0; intra < 2; ++intra)
      for (int rep = 0; rep < 20; ++rep) {
        int16_t inv[64], fwd[64];
        flat_tables(g.range(0, 5), inv, fwd);
        int16_t c16[64], l16[64];
        int32_t c32[64], l32[64];
        for (int p = 0; p < 64; ++p) {
          const int kind = g.range(0, 3);
          c16[p] = int16_t(kind == 0 ? 0 : kind == 1 ? int16_t(g.u32()) : kind == 2 ? -32768 : g.range(-2000, 2000));
          c32[p] = kind == 2 ? int32_t(g.u32()) : c16[p] * 37;
        }
        int32_t n, last;
        if (q6 <= 8) {
          ASSERT_EQ(0, kvniQuantLuma8x8_H264_16s_C1(c16, l16, q6, intra, sc.v, fwd, &n, &last));
          int cnt = 0, top = 0;
          for (int p = 0; p < 64; ++p) {
            const int64_t c = c16[p] == -32768 ? -32767 : c16[p];
            int64_t want = quant_model(c, fwd[p], q6, intra);
            want = want > 32767 ? 32767 : want < -32768 ? -32768 : want;
            ASSERT_EQ(want, l16[p]) << p;
            if (want) top = cnt++ ? std::max(top, int(sc.v[p])) : sc.v[p];
          }
          EXPECT_EQ(l16[0] ? -cnt : cnt, n);
          EXPECT_EQ(top, last);
        }
        ASSERT_EQ(0, kvniQuantLuma8x8_H264_32s_C1(c32, l32, q6, intra, sc.v, fwd, &n, &last));
        int cnt = 0;
        for (int p = 0; p < 64; ++p) {
          int64_t want = quant_model(c32[p], fwd[p], q6, intra);
          want = want > INT32_MAX ? INT32_MAX : want < INT32_MIN ? INT32_MIN : want;
          ASSERT_EQ(want, l32[p]) << p;
          cnt += want != 0;
        }
        EXPECT_EQ(l32[0] ? -cnt : cnt, n);
      }
}

TEST(Transform8x8Quant, DcOnlyGivesMinusOneAndScanEntryZero) {
  int16_t c[64] = {}, l[64], inv[64], fwd[64];
  c[0] = 5000;
  c[5] = 1;  // quantises to 0
  flat_tables(0, inv, fwd);
  Scan sc;
  int32_t n = 0, last = -1;
  ASSERT_EQ(0, kvniQuantLuma8x8_H264_16s_C1(c, l, 0, 1, sc.v, fwd, &n, &last));
  EXPECT_EQ(-1, n);
  EXPECT_EQ(sc.v[0], last);
  int16_t z[64] = {};
  ASSERT_EQ(0, kvniQuantLuma8x8_H264_16s_C1(z, l, 3, 0, sc.v, fwd, &n, &last));
  EXPECT_EQ(0, n);
  EXPECT_EQ(0, last);
}

TEST(Transform8x8Dequant, MatchesScalingOfClause8_5_12_1) {
  kvntest::TestRng g;
  for (int q6 = 0; q6 <= 14; ++q6) {
    int16_t inv[64], fwd[64];
    flat_tables(q6 % 6, inv, fwd);
    int16_t c16[64];
    int32_t c32[64];
    for (int p = 0; p < 64; ++p) c16[p] = int16_t(g.range(-1000, 1000)), c32[p] = c16[p];
    int16_t d16[64];
    std::memcpy(d16, c16, sizeof d16);
    if (q6 <= 8) {
      ASSERT_EQ(0, kvniQuantLuma8x8Inv_H264_16s_C1I(d16, q6, inv));
    }
    ASSERT_EQ(0, kvniQuantInvLuma8x8_H264_32s_C1I(c32, q6, inv));
    for (int p = 0; p < 64; ++p) {
      const int64_t x = int64_t(c16[p]) * inv[p];
      const int64_t want = q6 >= 6 ? x * (int64_t(1) << (q6 - 6)) : (x + (int64_t(1) << (5 - q6))) >> (6 - q6);
      if (q6 <= 8) {
        ASSERT_EQ(want > 32767 ? 32767 : want < -32768 ? -32768 : want, d16[p]);
      }
      ASSERT_EQ(int32_t(uint32_t(uint64_t(want))), c32[p]);
    }
  }
}

// ---- transforms
// ---------------------------------------------------------------------

// Forward transform model: the butterfly on 64-bit values.
void fwd_model(const int64_t* x, int64_t* y) {
  auto f = [](const int64_t* s, int ss, int64_t* d, int ds) {
    const int64_t a[8] = {s[0] + s[7 * ss], s[ss] + s[6 * ss], s[2 * ss] + s[5 * ss], s[3 * ss] + s[4 * ss],
                          s[0] - s[7 * ss], s[ss] - s[6 * ss], s[2 * ss] - s[5 * ss], s[3 * ss] - s[4 * ss]};
    const int64_t b0 = a[0] + a[3], b1 = a[1] + a[2], b2 = a[0] - a[3], b3 = a[1] - a[2];
    const int64_t b4 = a[5] + a[6] + (a[4] + (a[4] >> 1)), b5 = a[4] - a[7] - (a[6] + (a[6] >> 1));
    const int64_t b6 = a[4] + a[7] - (a[5] + (a[5] >> 1)), b7 = a[5] - a[6] + (a[7] + (a[7] >> 1));
    d[0] = b0 + b1, d[4 * ds] = b0 - b1, d[2 * ds] = b2 + (b3 >> 1), d[6 * ds] = (b2 >> 1) - b3;
    d[ds] = b4 + (b7 >> 2), d[3 * ds] = b5 + (b6 >> 2), d[5 * ds] = b6 - (b5 >> 2), d[7 * ds] = (b4 >> 2) - b7;
  };
  int64_t t[64];
  for (int i = 0; i < 8; ++i) f(x + 8 * i, 1, t + 8 * i, 1);
  for (int j = 0; j < 8; ++j) f(t + j, 8, y + j, 8);
}

TEST(Transform8x8Fwd, MatchesModelForResidualsAndInPlace) {
  kvntest::TestRng g;
  for (int rep = 0; rep < 200; ++rep) {
    int16_t x[64], y16[64], ip[64];
    int32_t y32[64];
    int64_t x64[64], want[64];
    const int range = rep % 2 ? 255 : 511;
    for (int p = 0; p < 64; ++p) x[p] = int16_t(g.range(-range, range)), x64[p] = x[p];
    fwd_model(x64, want);
    ASSERT_EQ(0, kvniTransformFwdLuma8x8_H264_16s_C1(x, y16));
    ASSERT_EQ(0, kvniTransformFwdLuma8x8_H264_16s32s_C1(x, y32));
    std::memcpy(ip, x, sizeof ip);
    ASSERT_EQ(0, kvniTransformLuma8x8Fwd_H264_16s_C1I(ip));
    for (int p = 0; p < 64; ++p) {
      ASSERT_EQ(want[p], y32[p]);
      if (range == 255) {
        ASSERT_EQ(want[p], y16[p]);
      }  // no 16-bit overflow for 8-bit residuals
      ASSERT_EQ(y16[p], ip[p]);
    }
  }
  // Full-range 16-bit input: the 32-bit result is exact.
  int16_t x[64];
  int32_t y32[64];
  int64_t x64[64], want[64];
  for (int p = 0; p < 64; ++p) x[p] = int16_t(p & 1 ? -32768 : 32767), x64[p] = x[p];
  fwd_model(x64, want);
  ASSERT_EQ(0, kvniTransformFwdLuma8x8_H264_16s32s_C1(x, y32));
  for (int p = 0; p < 64; ++p) ASSERT_EQ(want[p], y32[p]);
}

TEST(Transform8x8Inv, MatchesClause8_5_13ForBothDepths) {
  kvntest::TestRng g;
  for (int rep = 0; rep < 300; ++rep) {
    const int depth = 8 + rep % 7;
    const int maxv = (1 << depth) - 1;
    int16_t c16[64];
    int32_t c32[64];
    int64_t c64[64], r[64];
    for (int p = 0; p < 64; ++p) {
      const int lim = rep % 3 == 0 ? 4000 : 300;
      c16[p] = int16_t(g.range(-lim, lim)), c32[p] = c16[p] * (1 << (depth - 8)), c64[p] = c16[p];
    }
    kvntest::idct8(c64, r);
    uint8_t pred[8 * 12], dst[8 * 10];
    g.fill(pred, 0, 255);
    std::memset(dst, 0xcd, sizeof dst);
    ASSERT_EQ(0, kvniTransformLuma8x8InvAddPred_H264_16s8u_C1R(pred, 12, c16, dst, 10));
    const bool fits16 = rep % 3 != 0;  // larger levels saturate the 16-bit intermediates
    for (int i = 0; fits16 && i < 8; ++i) {
      for (int j = 0; j < 8; ++j) {
        const int64_t v = r[8 * i + j] + pred[12 * i + j];
        ASSERT_EQ(v < 0 ? 0 : v > 255 ? 255 : v, dst[10 * i + j]) << rep;
      }
      ASSERT_EQ(0xcd, dst[10 * i + 8]);
      ASSERT_EQ(0xcd, dst[10 * i + 9]);
    }
    for (int p = 0; p < 64; ++p) c64[p] = c32[p];
    kvntest::idct8(c64, r);
    uint16_t p16[8 * 9], d16[8 * 9];
    g.fill(p16, 0, maxv);
    ASSERT_EQ(0, kvniTransformInvAddPredLuma8x8_H264_32s16u_C1R(p16, 18, c32, d16, 18, depth));
    for (int i = 0; i < 8; ++i)
      for (int j = 0; j < 8; ++j) {
        const int64_t v = r[8 * i + j] + p16[9 * i + j];
        ASSERT_EQ(v < 0 ? 0 : v > maxv ? maxv : v, d16[9 * i + j]) << rep;
      }
  }
  // A bit depth outside the usable range is not checked and stays harmless.
  int32_t c[64] = {};
  uint16_t p[64], d[64];
  for (auto& v : p) v = 65535;
  EXPECT_EQ(0, kvniTransformInvAddPredLuma8x8_H264_32s16u_C1R(p, 16, c, d, 16, 99));
  EXPECT_EQ(65535, d[0]);
  EXPECT_EQ(0, kvniTransformInvAddPredLuma8x8_H264_32s16u_C1R(p, 16, c, d, 16, -4));
  EXPECT_EQ(1, d[0]);
}

// Forward + quantise + dequantise + inverse reconstructs within the
// quantiser's error bound (and exactly enough at the lowest qp).
TEST(Transform8x8RoundTrip, ReconstructionWithinQuantiserBound) {
  kvntest::TestRng g;
  Scan sc;
  for (int qp = 0; qp <= 30; ++qp) {
    int16_t inv[64], fwd[64];
    flat_tables(qp % 6, inv, fwd);
    const double qstep = 0.625 * std::pow(2.0, qp / 6.0);
    double sq = 0;
    int worst = 0;
    for (int rep = 0; rep < 40; ++rep) {
      uint8_t orig[64], pred[64], rec[64];
      int16_t res[64], coef[64], lev[64];
      for (int p = 0; p < 64; ++p) {
        orig[p] = g.byte(), pred[p] = uint8_t(std::clamp(int(orig[p]) + g.range(-20, 20), 0, 255));
        res[p] = int16_t(orig[p] - pred[p]);
      }
      ASSERT_EQ(0, kvniTransformFwdLuma8x8_H264_16s_C1(res, coef));
      int32_t n, last;
      ASSERT_EQ(0, kvniQuantLuma8x8_H264_16s_C1(coef, lev, qp / 6, 1, sc.v, fwd, &n, &last));
      ASSERT_EQ(0, kvniQuantLuma8x8Inv_H264_16s_C1I(lev, qp / 6, inv));
      ASSERT_EQ(0, kvniTransformLuma8x8InvAddPred_H264_16s8u_C1R(pred, 8, lev, rec, 8));
      for (int p = 0; p < 64; ++p) {
        const int e = std::abs(int(rec[p]) - orig[p]);
        worst = std::max(worst, e);
        sq += double(e) * e;
      }
    }
    const double rms = std::sqrt(sq / (40 * 64));
    EXPECT_LE(rms, 0.5 + qstep * 0.6) << "qp=" << qp;
    EXPECT_LE(worst, 2 + int(qstep * 3)) << "qp=" << qp;
    if (qp == 0) {
      EXPECT_LE(worst, 1);
    }
  }
}

}  // namespace
