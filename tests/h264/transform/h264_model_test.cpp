// The decoder-side functions against H.264's own inverse quantisation and
// transforms (clauses 8.5.9 to 8.5.12), modelled here independently in exact
// arithmetic, on inputs the standard allows (no intermediate beyond 16 bits);
// and the round trip forward transform, quantisation, dequantisation,
// inverse transform within the quantiser's error bound.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "kvnvc.h"
#include "rng.h"

namespace {

// normAdjust4x4 (8.5.9): v0 for (even, even), v1 for (odd, odd), v2 otherwise.
int norm_adjust(int m, int i, int j) {
  static const int v[6][3] = {{10, 16, 13}, {11, 18, 14}, {13, 20, 16}, {14, 23, 18}, {16, 25, 20}, {18, 29, 23}};
  if (i % 2 == 0 && j % 2 == 0) return v[m][0];
  if (i % 2 == 1 && j % 2 == 1) return v[m][1];
  return v[m][2];
}
int level_scale(int m, int i, int j) { return 16 * norm_adjust(m, i, j); }  // flat weights

// Tracks whether every intermediate of the model stays within 16 bits.
struct Range {
  bool ok = true;
  int64_t operator()(int64_t x) {
    if (x < -32768 || x > 32767) ok = false;
    return x;
  }
};

// 8.5.12.1 (with d00 given for DC-predicted blocks) and 8.5.12.2.
void residual_model(const int16_t* c, int qp, const int16_t* dc, int64_t r[16], Range& in16) {
  int64_t d[4][4], f[4][4], h[4][4];
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) {
      const int64_t x = int64_t(c[4 * i + j]) * level_scale(qp % 6, i, j);
      d[i][j] = qp >= 24 ? x * (1 << (qp / 6 - 4)) : (x + (1 << (3 - qp / 6))) >> (4 - qp / 6);
      in16(d[i][j]);
    }
  if (dc) d[0][0] = *dc;
  for (int i = 0; i < 4; ++i) {
    const int64_t e0 = d[i][0] + d[i][2], e1 = d[i][0] - d[i][2];
    const int64_t e2 = (d[i][1] >> 1) - d[i][3], e3 = d[i][1] + (d[i][3] >> 1);
    f[i][0] = in16(e0 + e3), f[i][1] = in16(e1 + e2), f[i][2] = in16(e1 - e2), f[i][3] = in16(e0 - e3);
  }
  for (int j = 0; j < 4; ++j) {
    const int64_t g0 = f[0][j] + f[2][j], g1 = f[0][j] - f[2][j];
    const int64_t g2 = (f[1][j] >> 1) - f[3][j], g3 = f[1][j] + (f[3][j] >> 1);
    h[0][j] = in16(g0 + g3), h[1][j] = in16(g1 + g2), h[2][j] = in16(g1 - g2), h[3][j] = in16(g0 - g3);
    in16(g0 + 32), in16(g1 + 32);
  }
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) r[4 * i + j] = (h[i][j] + 32) >> 6;
}

// Sparse levels small enough for 16-bit intermediates most of the time.
void draw_levels(kvntest::Rng& rng, int qp, int16_t* c) {
  const int k = std::max(1, 2000 / (29 << (qp / 6)));
  const int density = rng.range(1, 16);
  for (int p = 0; p < 16; ++p) c[p] = int16_t(rng.range(0, 15) < density ? rng.range(-k, k) : 0);
}

TEST(H264Model, InverseAddPredictionMatchesTheStandard) {
  kvntest::TestRng rng;
  int compared = 0;
  for (int qp = 0; qp <= 51; ++qp)
    for (int t = 0; t < 60; ++t) {
      int16_t c[16];
      draw_levels(rng, qp, c);
      uint8_t pred[4 * 7], dst1[16], dst2[16];
      for (auto& p : pred) p = uint8_t(rng.range(0, 255));
      const int16_t dcv = int16_t(rng.range(-3000, 3000));
      const int16_t* dc = (t % 3 == 0) ? &dcv : nullptr;
      Range in16;
      int64_t r[16];
      residual_model(c, qp, dc, r, in16);
      if (!in16.ok) continue;
      ++compared;
      int16_t c1[16], c2[16];
      std::copy(c, c + 16, c1);
      std::copy(c, c + 16, c2);
      ASSERT_EQ(kvniTransformQuantInvAddPred4x4_H264_16s_C1IR(pred, 7, c1, dc, dst1, 4, qp, 1, nullptr), KVN_STS_OK);
      // The pre-shifted form gives the same residual for flat weights.
      ASSERT_EQ(kvniDequantTransformResidualAndAdd_H264_16s_C1I(pred, c2, dc, dst2, 7, 4, qp, 1), KVN_STS_OK);
      for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
          const int64_t want = std::clamp<int64_t>(pred[7 * i + j] + r[4 * i + j], 0, 255);
          ASSERT_EQ(dst1[4 * i + j], want) << "qp " << qp << " at " << i << "," << j;
          ASSERT_EQ(dst2[4 * i + j], want) << "qp " << qp << " at " << i << "," << j;
          ASSERT_EQ(c1[4 * i + j], r[4 * i + j]);
          ASSERT_EQ(c2[4 * i + j], r[4 * i + j]);
        }
      // The 32-bit member at 9 bits on the same data.
      int32_t c32[16], dc32 = dcv;
      uint16_t p16[16], d16[16];
      for (int p = 0; p < 16; ++p) c32[p] = c[p], p16[p] = uint16_t(pred[7 * (p / 4) + p % 4] * 2);
      ASSERT_EQ(
          kvniTransformQuantInvAddPred4x4_H264_32s_C1IR(p16, 8, c32, dc ? &dc32 : nullptr, d16, 8, qp, 1, 9, nullptr),
          KVN_STS_OK);
      for (int p = 0; p < 16; ++p) ASSERT_EQ(d16[p], std::clamp<int64_t>(p16[p] + r[p], 0, 511));
    }
  EXPECT_GT(compared, 2000);
}

TEST(H264Model, DcOnlyBlocks) {
  // Without the AC flag only the DC is used and the coefficients stay.
  kvntest::TestRng rng;
  for (int qp = 0; qp <= 51; ++qp) {
    int16_t c[16];
    draw_levels(rng, qp, c);
    uint8_t pred[16], dst[16];
    for (auto& p : pred) p = uint8_t(rng.range(0, 255));
    int16_t keep[16];
    std::copy(c, c + 16, keep);
    ASSERT_EQ(kvniTransformQuantInvAddPred4x4_H264_16s_C1IR(pred, 4, c, nullptr, dst, 4, qp, 0, nullptr), KVN_STS_OK);
    const int64_t x = int64_t(keep[0]) * level_scale(qp % 6, 0, 0);
    const int64_t d0 = qp >= 24 ? x * (1 << (qp / 6 - 4)) : (x + (1 << (3 - qp / 6))) >> (4 - qp / 6);
    for (int p = 0; p < 16; ++p) {
      ASSERT_EQ(dst[p], std::clamp<int64_t>(pred[p] + ((d0 + 32) >> 6), 0, 255)) << qp;
      ASSERT_EQ(c[p], keep[p]);
    }
    // In place with a step: the rounded DC everywhere.
    int16_t blk[4 * 6] = {};
    blk[0] = keep[0];
    blk[1] = 77;
    ASSERT_EQ(kvniDequantTransformResidual_H264_16s_C1I(blk, 12, nullptr, 0, qp), KVN_STS_OK);
    for (int i = 0; i < 4; ++i)
      for (int j = 0; j < 4; ++j) ASSERT_EQ(blk[6 * i + j], (d0 + 32) >> 6) << qp;
    EXPECT_EQ(blk[4], 0);  // between the rows: untouched
  }
}

// 8.5.10: f = H c H, then scaled with LevelScale4x4(qp % 6, 0, 0).
int64_t luma_dc_scale(int64_t f, int qp) {
  const int64_t ls = level_scale(qp % 6, 0, 0);
  return qp >= 36 ? f * ls * (1 << (qp / 6 - 6)) : (f * ls + (1 << (5 - qp / 6))) >> (6 - qp / 6);
}

TEST(H264Model, LumaDcMatchesTheStandard) {
  static const int H[4][4] = {{1, 1, 1, 1}, {1, 1, -1, -1}, {1, -1, -1, 1}, {1, -1, 1, -1}};
  kvntest::TestRng rng;
  for (int qp = 0; qp <= 51; ++qp)
    for (int t = 0; t < 40; ++t) {
      int16_t c[16];
      const int k = t % 2 ? 100 : 2000;
      for (auto& x : c) x = int16_t(rng.range(-k, k));
      int64_t f[16] = {};
      for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
          for (int a = 0; a < 4; ++a)
            for (int b = 0; b < 4; ++b) f[4 * i + j] += H[i][a] * int64_t(c[4 * a + b]) * H[b][j];
      Range in16;
      int64_t want[16];
      for (int p = 0; p < 16; ++p) want[p] = in16(luma_dc_scale(in16(f[p]), qp));
      int16_t a[16], b[16];
      int32_t w[16];
      std::copy(c, c + 16, a);
      std::copy(c, c + 16, b);
      std::copy(c, c + 16, w);
      ASSERT_EQ(kvniTransformQuantInvLumaDC4x4_H264_32s_C1I(w, qp, nullptr), KVN_STS_OK);
      for (int p = 0; p < 16; ++p) ASSERT_EQ(w[p], want[p]) << qp;  // 32 bits hold these exactly
      if (!in16.ok) continue;
      ASSERT_EQ(kvniTransformQuantInvLumaDC4x4_H264_16s_C1I(a, qp, nullptr), KVN_STS_OK);
      ASSERT_EQ(kvniTransformDequantLumaDC_H264_16s_C1I(b, qp), KVN_STS_OK);
      for (int p = 0; p < 16; ++p) {
        ASSERT_EQ(a[p], want[p]) << qp;
        ASSERT_EQ(b[p], want[p]) << qp;
      }
    }
}

TEST(H264Model, ChromaDcMatchesTheStandard) {
  kvntest::TestRng rng;
  for (int qp = 0; qp <= 39; ++qp)
    for (int t = 0; t < 40; ++t) {
      // 4:2:0: f = M c M, dcC = ((f * LS) << qp / 6) >> 5.
      int16_t c[8];
      for (auto& x : c) x = int16_t(rng.range(-500, 500));
      const int64_t f[4] = {int64_t(c[0]) + c[1] + c[2] + c[3], int64_t(c[0]) - c[1] + c[2] - c[3],
                            int64_t(c[0]) + c[1] - c[2] - c[3], int64_t(c[0]) - c[1] - c[2] + c[3]};
      int16_t a[4], b[4];
      int32_t w[4];
      std::copy(c, c + 4, a);
      std::copy(c, c + 4, b);
      std::copy(c, c + 4, w);
      ASSERT_EQ(kvniTransformQuantInvChromaDC2x2_H264_16s_C1I(a, qp, nullptr), KVN_STS_OK);
      ASSERT_EQ(kvniTransformQuantInvChromaDC2x2_H264_32s_C1I(w, qp, nullptr), KVN_STS_OK);
      ASSERT_EQ(kvniTransformDequantChromaDC_H264_16s_C1I(b, qp), KVN_STS_OK);
      for (int p = 0; p < 4; ++p) {
        const int64_t want = (f[p] * level_scale(qp % 6, 0, 0) * (1 << (qp / 6))) >> 5;
        ASSERT_EQ(w[p], want) << qp;
        if (want < -32768 || want > 32767) continue;
        ASSERT_EQ(a[p], want) << qp;
        ASSERT_EQ(b[p], want) << qp;
      }
      // 4:2:2: f = A c B (4x2), qp,dc = qp + 3, scaled as the luma DC.
      static const int A[4][4] = {{1, 1, 1, 1}, {1, 1, -1, -1}, {1, -1, -1, 1}, {1, -1, 1, -1}};
      int64_t g[8] = {};
      for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 2; ++j)
          for (int k = 0; k < 4; ++k) g[2 * i + j] += A[i][k] * (int64_t(c[2 * k]) + (j ? -1 : 1) * c[2 * k + 1]);
      int16_t a8[8];
      int32_t w8[8];
      std::copy(c, c + 8, a8);
      std::copy(c, c + 8, w8);
      ASSERT_EQ(kvniTransformQuantInvChromaDC2x4_H264_16s_C1I(a8, qp, nullptr), KVN_STS_OK);
      ASSERT_EQ(kvniTransformQuantInvChromaDC2x4_H264_32s_C1I(w8, qp, nullptr), KVN_STS_OK);
      for (int p = 0; p < 8; ++p) {
        const int64_t want = luma_dc_scale(g[p], qp + 3);
        ASSERT_EQ(w8[p], want) << qp;
        if (want < -32768 || want > 32767) continue;
        ASSERT_EQ(a8[p], want) << qp;
      }
    }
}

// Quantiser step of H.264: 0.625 * 2^(qp / 6) * (1, 1.1, 1.3, 1.4, 1.6, 1.8).
double qstep(int qp) {
  static const double base[6] = {0.625, 0.6875, 0.8125, 0.875, 1.0, 1.125};
  return base[qp % 6] * std::ldexp(1.0, qp / 6);
}

TEST(H264Model, RoundTripWithinTheQuantiserError) {
  kvntest::TestRng rng;
  int16_t scan[16];
  for (int i = 0; i < 16; ++i) scan[i] = int16_t(i);
  for (int qp = 0; qp <= 51; ++qp)
    for (int t = 0; t < 40; ++t) {
      const int intra = t % 2;
      int16_t res[16], lv[16];
      for (auto& x : res) x = int16_t(t < 4 ? (rng.range(0, 1) ? 127 : -128) : rng.range(-128, 127));
      int32_t n, last;
      ASSERT_EQ(kvniTransformQuantFwd4x4_H264_16s_C1(res, lv, qp, &n, intra, scan, &last, nullptr), KVN_STS_OK);
      uint8_t pred[16], dst[16];
      std::fill(pred, pred + 16, 128);
      ASSERT_EQ(kvniTransformQuantInvAddPred4x4_H264_16s_C1IR(pred, 4, lv, nullptr, dst, 4, qp, 1, nullptr),
                KVN_STS_OK);
      const double bound = 4.5 * qstep(qp) + 2;
      for (int p = 0; p < 16; ++p) ASSERT_LE(std::abs(dst[p] - 128 - res[p]), bound) << "qp " << qp;
    }
  // 14-bit residuals through the 32-bit members (qp 0..87).
  for (int qp = 0; qp <= 87; ++qp)
    for (int t = 0; t < 20; ++t) {
      int16_t res[16];
      int32_t lv[16];
      for (auto& x : res) x = int16_t(t < 2 ? (rng.range(0, 1) ? 8191 : -8192) : rng.range(-8192, 8191));
      int32_t n, last;
      ASSERT_EQ(kvniTransformQuantFwd4x4_H264_16s32s_C1(res, lv, qp, &n, 1, scan, &last, nullptr), KVN_STS_OK);
      uint16_t pred[16], dst[16];
      std::fill(pred, pred + 16, 8192);
      ASSERT_EQ(kvniTransformQuantInvAddPred4x4_H264_32s_C1IR(pred, 8, lv, nullptr, dst, 8, qp, 1, 14, nullptr),
                KVN_STS_OK);
      const double bound = 4.5 * qstep(qp) + 2;
      for (int p = 0; p < 16; ++p) {
        const int want = std::clamp(8192 + res[p], 0, 16383);
        ASSERT_LE(std::abs(int(dst[p]) - want), std::min(bound, 16384.0)) << "qp " << qp;
      }
    }
}

TEST(H264Model, SpPredictionOnlyReconstructsThePrediction) {
  // Zero levels, qs = qp: the transformed prediction requantised and
  // reconstructed is the prediction within the quantiser's error.
  kvntest::TestRng rng;
  for (int qp = 0; qp <= 30; ++qp) {
    uint8_t p[16];
    for (auto& x : p) x = uint8_t(rng.range(0, 255));
    int16_t tp[16], lv[16] = {};
    ASSERT_EQ(kvniTransformPrediction_H264_8u16s_C1(p, 4, tp), KVN_STS_OK);
    ASSERT_EQ(kvniDequantTransformResidual_SISP_H264_16s_C1I(lv, tp, nullptr, 1, qp, qp, 0), KVN_STS_OK);
    for (int i = 0; i < 16; ++i) ASSERT_LE(std::abs(lv[i] - p[i]), 4.5 * qstep(qp) + 2) << qp;
  }
}

}  // namespace
