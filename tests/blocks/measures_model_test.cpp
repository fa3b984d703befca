// Every exported measure against a small model of its arithmetic written here
// independently of the library (Hadamard transforms by butterflies, 64-bit
// sums), on random and nearly flat blocks.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "half_sample.h"
#include "kvnvc.h"
#include "rng.h"

namespace {

constexpr int kStep = 40;  // bytes per row of every area
constexpr int kRows = 18;  // a 16-row block and a half-sample row, plus one

struct Picture {
  std::vector<uint8_t> b = std::vector<uint8_t>(kStep * kRows);
  Picture(kvntest::Rng& g, int spread) {
    const int base = g.range(0, 255);
    for (auto& v : b) v = uint8_t(std::clamp(base + g.range(-spread, spread), 0, 255));
  }
  int at(int x, int y) const { return b[y * kStep + x]; }
  const uint8_t* p() const { return b.data(); }
};

// Prediction at (x, y) by mode, rounded up.
int pred(const Picture& r, int x, int y, int mode) {
  return kvntest::half_sample([&](int xx, int yy) { return r.at(xx, yy); }, x, y, mode);
}

// Sum of |2-D Hadamard coefficients| of the n x n block d, by butterflies.
int64_t hadamard_cost(std::vector<int64_t> d, int n) {
  for (int pass = 0; pass < 2; ++pass)
    for (int line = 0; line < n; ++line) {
      const int first = pass ? line : line * n, stride = pass ? n : 1;
      for (int len = 1; len < n; len *= 2)
        for (int i = 0; i < n; i += 2 * len)
          for (int j = i; j < i + len; ++j) {
            int64_t& a = d[first + j * stride];
            int64_t& b = d[first + (j + len) * stride];
            const int64_t t = a;
            a = t + b;
            b = t - b;
          }
    }
  int64_t sum = 0;
  for (int64_t c : d) sum += std::llabs(c);
  return sum;
}

TEST(MeasureModel, HadamardCosts) {
  kvntest::TestRng g;
  using Satd = KvnResult (*)(const Kvn8u*, int32_t, const Kvn8u*, int32_t, Kvn32u*);
  const struct {
    Satd f;
    int w, h, n;
  } cases[] = {{kvniSATD4x4_8u32s_C1R, 4, 4, 4},     {kvniSATD4x8_8u32s_C1R, 4, 8, 4},
               {kvniSATD8x4_8u32s_C1R, 8, 4, 4},     {kvniSATD8x8_8u32s_C1R, 8, 8, 4},
               {kvniSATD8x16_8u32s_C1R, 8, 16, 4},   {kvniSATD16x8_8u32s_C1R, 16, 8, 4},
               {kvniSATD16x16_8u32s_C1R, 16, 16, 4}, {kvniSAT8x8D_8u32s_C1R, 8, 8, 8}};
  for (int trial = 0; trial < 20; ++trial) {
    const Picture s(g, trial % 2 ? 255 : 12), r(g, trial % 2 ? 255 : 12);
    for (const auto& k : cases) {
      int64_t want = 0;
      for (int by = 0; by < k.h; by += k.n)
        for (int bx = 0; bx < k.w; bx += k.n) {
          std::vector<int64_t> d(k.n * k.n);
          for (int i = 0; i < k.n * k.n; ++i) {
            const int x = bx + i % k.n, y = by + i / k.n;
            d[i] = s.at(x, y) - r.at(x, y);
          }
          want += hadamard_cost(d, k.n);
        }
      Kvn32u got = 0;
      ASSERT_EQ(k.f(s.p(), kStep, r.p(), kStep, &got), KVN_STS_OK);
      ASSERT_EQ(int64_t(got), want) << k.w << "x" << k.h;
    }
    // 16-bit samples over the whole range (near 0 against near 65535 in the
    // even trials), rows 20 samples apart.
    std::vector<uint16_t> s16(8 * 20), r16(8 * 20);
    std::vector<int64_t> d(64);
    for (int i = 0; i < 64; ++i) {
      const int at = i / 8 * 20 + i % 8;
      s16[at] = uint16_t(trial % 2 ? g.u32() : 65535 - g.range(0, 3));
      r16[at] = uint16_t(trial % 2 ? g.u32() : g.range(0, 3));
      d[i] = int64_t(s16[at]) - r16[at];
    }
    Kvn32u got = 0;
    ASSERT_EQ(kvniSAT8x8D_16u32s_C1R(s16.data(), 40, r16.data(), 40, &got), KVN_STS_OK);
    ASSERT_EQ(int64_t(got), hadamard_cost(d, 8));
  }
}

TEST(MeasureModel, SquaredErrors) {
  kvntest::TestRng g;
  for (int trial = 0; trial < 8; ++trial) {
    const Picture s(g, 255), r1(g, 255), r2(g, 255);
    for (int mode = 0; mode < 16; ++mode) {
      const int mode2 = g.range(0, 15);
      int64_t want[3] = {}, wantB = 0;
      for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
          const int d = s.at(x, y) - pred(r1, x, y, mode);
          for (int i = 0; i < 3; ++i) want[i] += (x < 4 << i && y < 4 << i) ? d * d : 0;
          const int b = s.at(x, y) - ((pred(r1, x, y, mode) + pred(r2, x, y, mode2) + 1) >> 1);
          wantB += b * b;
        }
      Kvn32u got[4] = {};
      ASSERT_EQ(kvniSSD4x4_8u32s_C1R(s.p(), kStep, r1.p(), kStep, &got[0], mode), 0);
      ASSERT_EQ(kvniSSD8x8_8u32s_C1R(s.p(), kStep, r1.p(), kStep, &got[1], mode), 0);
      ASSERT_EQ(kvniSqrDiff16x16_8u32s(s.p(), kStep, r1.p(), kStep, mode, &got[2]), 0);
      ASSERT_EQ(kvniSqrDiff16x16B_8u32s(s.p(), kStep, r1.p(), kStep, mode, r2.p(), kStep, mode2, &got[3]), 0);
      for (int i = 0; i < 3; ++i) EXPECT_EQ(int64_t(got[i]), want[i]) << "size " << (4 << i) << " mode " << mode;
      EXPECT_EQ(int64_t(got[3]), wantB) << mode << " " << mode2;
    }
  }
}

// trunc(q / 64 - (s / 64)^2) in single precision.
int32_t float_variance(int64_t q, int64_t s) {
  const float mean = float(s) / 64.0f;
  const float square = mean * mean;
  return int32_t(float(int32_t(q)) / 64.0f - square);
}

TEST(MeasureModel, VariancesAndMeans) {
  kvntest::TestRng g;
  for (int trial = 0; trial < 30; ++trial) {
    const Picture p(g, trial % 3 ? 255 : 3);
    int64_t s[2] = {}, q[2] = {};  // over 8x8 and 16x16
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x)
        for (int i = 0; i < 2; ++i)
          if (x < 8 << i && y < 8 << i) {
            s[i] += p.at(x, y);
            q[i] += p.at(x, y) * p.at(x, y);
          }
    Kvn32s v = 0, sum = 0;
    ASSERT_EQ(kvniVariance16x16_8u32s(p.p(), kStep, &v), 0);
    EXPECT_EQ(v, q[1] - s[1] * s[1] / 256);
    ASSERT_EQ(kvniVarMean8x8_8u32s_C1R(p.p(), kStep, &v, &sum), 0);
    EXPECT_EQ(sum, s[0]);
    EXPECT_EQ(v, float_variance(q[0], s[0]));
    for (int i = 0; i < 2; ++i) {
      const int n = 8 << i;
      const int64_t m = (s[i] + n * n / 2) / (n * n);
      int64_t dev = 0;
      for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) dev += std::llabs(p.at(x, y) - m);
      ASSERT_EQ((i ? kvniMeanAbsDev16x16_8u32s_C1R : kvniMeanAbsDev8x8_8u32s_C1R)(p.p(), kStep, &v), 0);
      EXPECT_EQ(v, dev) << n;
    }
    // Signed 16-bit samples: saturated column sums, squares modulo 2^32.
    int16_t w[8][12];  // rows 24 bytes apart
    for (auto& row : w)
      for (auto& x : row) x = int16_t(trial % 3 == 0 ? -32768 : trial % 3 == 1 ? g.range(20000, 32767) : int(g.u32()));
    int64_t ws = 0;
    uint32_t wq = 0;
    for (int x = 0; x < 8; ++x) {
      int column = 0;
      for (int y = 0; y < 8; ++y) {
        column = std::clamp(column + w[y][x], -32768, 32767);
        wq += uint32_t(int64_t(w[y][x]) * w[y][x]);
      }
      ws += column;
    }
    ASSERT_EQ(kvniVarSum8x8_16s32s_C1R(&w[0][0], 24, &v, &sum), 0);
    EXPECT_EQ(sum, ws);
    EXPECT_EQ(v, float_variance(wq, ws));
  }
}

TEST(MeasureModel, VarMeanDiff) {
  kvntest::TestRng g;
  for (int trial = 0; trial < 12; ++trial) {
    const Picture s(g, trial % 2 ? 255 : 6), r(g, trial % 2 ? 255 : 6);
    for (int mode : {0, 4, 8, 12, 13})
      for (int h : {8, 16}) {
        if (h == 16 && mode == 13) continue;
        int32_t sums[4] = {}, var[4], mean[4];
        int64_t q[4] = {}, p[4] = {};
        for (int y = 0; y < h; ++y)
          for (int x = 0; x < 16; ++x) {
            const int b = (y / 8) * 2 + x / 8, pr = pred(r, x, y, mode);
            sums[b] += s.at(x, y);
            p[b] += pr;
            q[b] += (s.at(x, y) - pr) * (s.at(x, y) - pr);
          }
        if (trial % 3 == 2)
          for (int32_t& v : sums) v += g.range(-2000, 2000);  // sums the caller made up
        ASSERT_EQ(h == 16 ? kvniVarMeanDiff16x16_8u32s_C1R(s.p(), kStep, r.p(), kStep, sums, var, mean, mode)
                          : kvniVarMeanDiff16x8_8u32s_C1R(s.p(), kStep, r.p(), kStep, sums, var, mean, mode),
                  0);
        for (int b = 0; b < h / 4; ++b) {
          const int64_t m = (sums[b] - p[b]) / 8;
          EXPECT_EQ(mean[b], m) << h << " mode " << mode << " block " << b;
          EXPECT_EQ(var[b], q[b] > m * m ? (q[b] - m * m) >> 6 : 0) << h << " mode " << mode << " block " << b;
        }
      }
  }
}

}  // namespace
