// Every SIMD kernel of the Hadamard, squared-error, variance and activity
// measures against its scalar reference: every alignment, signed and odd
// steps, random and extreme data, and the patterns that reach the largest
// intermediate values.
#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "blocks/satd.h"
#include "blocks/ssd.h"
#include "blocks/variance.h"
#include "support/harness.h"

namespace {

using namespace kvn;
using kvntest::Area;
using kvntest::Rng;

// rows x rowBytes bytes at a random signed step (odd steps included, also for
// 16-bit samples: the kernels do not need even steps), random or extreme bytes.
Area input(Rng& rng, int rowBytes, int rows, int align) {
  Area a(rowBytes, rows, kvntest::random_step(rng, rowBytes, true), align);
  a.fill(rng, kvntest::kAllFills[rng.range(0, 4)]);
  return a;
}

template <class T>
void put(Area& a, int x, int y, T v) {
  std::memcpy(a.origin() + std::ptrdiff_t(y) * a.step() + x * int(sizeof(T)), &v, sizeof v);
}

// Source and reference differing by +-hi along the 8x8 Hadamard basis function
// (u, v) (on each 4x4 block, a 4x4 basis function): one coefficient of the
// largest magnitude in every transform, and the largest intermediates.
template <class T>
void basis_pattern(Area& src, Area& ref, int w, int h, int u, int v, T hi) {
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const bool plus = !((__builtin_popcount(unsigned(u & y)) + __builtin_popcount(unsigned(v & x))) & 1);
      put<T>(src, x, y, plus ? hi : T(0));
      put<T>(ref, x, y, plus ? T(0) : hi);
    }
}

// The result a kernel stores through its last argument (it must return success).
template <class Out, class Fn, class... Args>
Out result(Fn fn, Args... args) {
  Out out{};
  EXPECT_EQ(fn(args..., &out), KVN_STS_OK);
  return out;
}

// Reference extent of a mode slot: 1 and 3 read one more row, 2 and 3 one more column.
int extra_rows(int index) { return index & 1; }
int extra_cols(int index) { return (index >> 1) & 1; }

class MeasureDiff : public ::testing::TestWithParam<Isa> {
 protected:
  Rng rng = kvntest::rng_for(::testing::UnitTest::GetInstance()->current_test_info()->name());
  std::string tag(const std::string& fn, int index) const {
    return fn + "[" + std::to_string(index) + "] " + isa_name(GetParam()) + " " + kvntest::seed_note();
  }
  // Runs body(align) three times for every alignment 0..15.
  template <class Body>
  void each_alignment(Body&& body) {
    for (int align = 0; align < 16 && !HasFatalFailure(); ++align)
      for (int t = 0; t < 3 && !HasFatalFailure(); ++t) body(align);
  }
};

// ---- Hadamard costs ------------------------------------------------------------

// Random blocks, then every basis pattern at the largest sample value.
template <class T, class Fn>
void check_satd(Rng& rng, Fn c, Fn s, int w, int h, const std::string& what) {
  auto agree = [&](const Area& src, const Area& ref) {
    ASSERT_EQ(result<uint32_t>(c, src.as<T>(), src.step(), ref.as<T>(), ref.step()),
              result<uint32_t>(kvntest::note_compared(s), src.as<T>(), src.step(), ref.as<T>(), ref.step()))
        << what;
  };
  const int rowBytes = w * int(sizeof(T));
  for (int align = 0; align < 16; ++align)
    for (int t = 0; t < 3; ++t) {
      const Area src = input(rng, rowBytes, h, align);
      ASSERT_NO_FATAL_FAILURE(agree(src, input(rng, rowBytes, h, rng.range(0, 15))));
    }
  for (int u = 0; u < 64; ++u) {
    Area src(rowBytes, h, kvntest::random_step(rng, rowBytes, true), rng.range(0, 15));
    Area ref(rowBytes, h, kvntest::random_step(rng, rowBytes, true), rng.range(0, 15));
    basis_pattern<T>(src, ref, w, h, u / 8, u % 8, T(-1));
    ASSERT_NO_FATAL_FAILURE(agree(src, ref)) << " basis " << u;
  }
}

TEST_P(MeasureDiff, Satd) {
  const SatdKernels& c = kSatdKernelsC;
  const SatdKernels& s = satd_kernels(GetParam());
  const int sizes[kSatdSizes][2] = {{4, 4}, {4, 8}, {8, 4}, {8, 8}, {8, 16}, {16, 8}, {16, 16}};
  for (int i = 0; i < kSatdSizes; ++i)
    if (c.satd[i] != s.satd[i])
      check_satd<uint8_t>(rng, c.satd[i], s.satd[i], sizes[i][0], sizes[i][1], tag("satd", i));
  if (c.sat8x8d != s.sat8x8d) check_satd<uint8_t>(rng, c.sat8x8d, s.sat8x8d, 8, 8, tag("sat8x8d", 0));
  if (c.sat8x8d_16u != s.sat8x8d_16u)
    check_satd<uint16_t>(rng, c.sat8x8d_16u, s.sat8x8d_16u, 8, 8, tag("sat8x8d_16u", 0));
}

// Differences of +-255 in the sign pattern (-1)^popcount(x & y), which is bent
// on every 4x4 and on the 8x8 block: all coefficients of each transform share
// the largest magnitude the energy allows, so the costs reach their maxima (4 *
// 255 a coefficient of a 4x4 block, 8 * 255 of the 8x8 one), with every lane of
// the SIMD sums at its fullest. Each 4x4 block is negated at random as well,
// which keeps it bent.
TEST_P(MeasureDiff, SatdLargest) {
  const SatdKernels& c = kSatdKernelsC;
  const SatdKernels& s = satd_kernels(GetParam());
  struct Case {
    SatdFn fn, ref;
    int w, h;
    uint32_t max;
  };
  const int sizes[kSatdSizes][2] = {{4, 4}, {4, 8}, {8, 4}, {8, 8}, {8, 16}, {16, 8}, {16, 16}};
  std::vector<Case> cases;
  for (int i = 0; i < kSatdSizes; ++i)
    cases.push_back({s.satd[i], c.satd[i], sizes[i][0], sizes[i][1], uint32_t(sizes[i][0] * sizes[i][1]) * 4 * 255});
  cases.push_back({s.sat8x8d, c.sat8x8d, 8, 8, 64 * 8 * 255});
  for (const Case& k : cases)
    for (int t = 0; t < 8; ++t) {
      Area src(k.w, k.h, kvntest::random_step(rng, k.w, true), rng.range(0, 15));
      Area ref(k.w, k.h, kvntest::random_step(rng, k.w, true), rng.range(0, 15));
      const unsigned flips = t ? unsigned(rng.range(0, 65535)) : 0;  // a bit a 4x4 block
      for (int y = 0; y < k.h; ++y)
        for (int x = 0; x < k.w; ++x) {
          const bool plus = ((__builtin_popcount(unsigned(x & y)) + (flips >> ((y / 4) * 4 + x / 4))) & 1) == 0;
          put<uint8_t>(src, x, y, plus ? 255 : 0);
          put<uint8_t>(ref, x, y, plus ? 0 : 255);
        }
      const uint32_t want = result<uint32_t>(k.ref, src.origin(), src.step(), ref.origin(), ref.step());
      if (t == 0) {
        EXPECT_EQ(want, k.max) << k.w << "x" << k.h;  // the reference at the maximum
      }
      ASSERT_EQ(result<uint32_t>(kvntest::note_compared(k.fn), src.origin(), src.step(), ref.origin(), ref.step()),
                want)
          << k.w << "x" << k.h << (k.ref == c.sat8x8d ? " sat8x8d " : " ") << tag("flips", int(flips));
    }
}

// ---- squared errors ------------------------------------------------------------

TEST_P(MeasureDiff, Ssd) {
  const SsdKernels& c = kSsdKernelsC;
  const SsdKernels& s = ssd_kernels(GetParam());
  for (int size = 0; size < kSsdSizes; ++size)
    for (int i = 0; i < 4; ++i) {
      if (c.ssd[size][i] == s.ssd[size][i]) continue;
      const int n = 4 << size;
      each_alignment([&](int align) {
        const Area src = input(rng, n, n, rng.range(0, 15));
        const Area ref = input(rng, n + extra_cols(i), n + extra_rows(i), align);
        ASSERT_EQ(result<uint32_t>(c.ssd[size][i], src.origin(), src.step(), ref.origin(), ref.step()),
                  result<uint32_t>(kvntest::note_compared(s.ssd[size][i]), src.origin(), src.step(), ref.origin(),
                                   ref.step()))
            << tag("ssd", n * 10 + i);
      });
    }
  for (int i = 0; i < 16; ++i) {
    if (c.ssd_b16x16[i] == s.ssd_b16x16[i]) continue;
    each_alignment([&](int align) {
      const Area src = input(rng, 16, 16, rng.range(0, 15));
      const Area r1 = input(rng, 16 + extra_cols(i % 4), 16 + extra_rows(i % 4), align);
      const Area r2 = input(rng, 16 + extra_cols(i / 4), 16 + extra_rows(i / 4), rng.range(0, 15));
      auto run = [&](SsdBFn f) {
        return result<uint32_t>(f, src.origin(), src.step(), r1.origin(), r1.step(), r2.origin(), r2.step());
      };
      ASSERT_EQ(run(c.ssd_b16x16[i]), run(kvntest::note_compared(s.ssd_b16x16[i]))) << tag("ssd_b16x16", i);
    });
  }
}

// ---- variances and activity ----------------------------------------------------

TEST_P(MeasureDiff, BlockMeasures) {
  const VarianceKernels& c = kVarianceKernelsC;
  const VarianceKernels& s = variance_kernels(GetParam());
  const struct {
    BlockMeasureFn c, s;
    int n;
    const char* name;
  } cases[] = {{c.variance16x16, s.variance16x16, 16, "variance16x16"},
               {c.mean_abs_dev16x16, s.mean_abs_dev16x16, 16, "mean_abs_dev16x16"},
               {c.mean_abs_dev8x8, s.mean_abs_dev8x8, 8, "mean_abs_dev8x8"}};
  for (const auto& k : cases)
    if (k.c != k.s)
      each_alignment([&](int align) {
        const Area a = input(rng, k.n, k.n, align);
        ASSERT_EQ(result<int32_t>(k.c, a.origin(), a.step()),
                  result<int32_t>(kvntest::note_compared(k.s), a.origin(), a.step()))
            << tag(k.name, align);
      });
  // Both outputs of VarMean, (var, sum).
  auto same = [&](auto fc, auto fs, auto src, int step, const char* name) {
    int32_t want[2], got[2];
    ASSERT_EQ(fc(src, step, &want[0], &want[1]), KVN_STS_OK);
    ASSERT_EQ(kvntest::note_compared(fs)(src, step, &got[0], &got[1]), KVN_STS_OK);
    ASSERT_TRUE(want[0] == got[0] && want[1] == got[1])
        << tag(name, 0) << ": want " << want[0] << ", " << want[1] << "; got " << got[0] << ", " << got[1];
  };
  if (c.var_mean8x8 != s.var_mean8x8)
    each_alignment([&](int align) {
      const Area a = input(rng, 8, 8, align);
      same(c.var_mean8x8, s.var_mean8x8, a.origin(), a.step(), "var_mean8x8");
    });
  // Signed 16-bit samples: uniform, extremes, near the saturation of the
  // column sums, and mostly -32768 (pairs of squares that wrap).
  if (c.var_mean8x8_16s != s.var_mean8x8_16s)
    each_alignment([&](int align) {
      Area a = input(rng, 16, 8, align);
      const int kind = rng.range(0, 3), sign = rng.coin() ? 1 : -1;
      if (kind < 2) a.fill_i16(rng, kind == 1);
      for (int i = 0; kind >= 2 && i < 64; ++i) {
        const int v = kind == 2 ? sign * rng.range(12000, 32767) : rng.range(0, 3) ? -32768 : rng.range(-32768, 32767);
        put<int16_t>(a, i % 8, i / 8, int16_t(v));
      }
      same(c.var_mean8x8_16s, s.var_mean8x8_16s, a.as<int16_t>(), a.step(), "var_mean8x8_16s");
    });
}

TEST_P(MeasureDiff, VarMeanDiff) {
  const VarianceKernels& c = kVarianceKernelsC;
  const VarianceKernels& s = variance_kernels(GetParam());
  for (int size = 0; size < kVmdSizes; ++size)
    for (int i = 0; i < 4; ++i) {
      if (c.var_mean_diff[size][i] == s.var_mean_diff[size][i]) continue;
      const int h = size == kVmd16x16 ? 16 : 8;
      each_alignment([&](int align) {
        const Area src = input(rng, 16, h, rng.range(0, 15));
        const Area ref = input(rng, 16 + extra_cols(i), h + extra_rows(i), align);
        // The caller's sums: anything from plausible block sums to the int32 extremes.
        int32_t sums[4], want[8], got[8];
        for (int32_t& v : sums) v = rng.range(0, 2) ? rng.range(-2000, 18000) : rng.coin() ? INT32_MIN : INT32_MAX;
        for (int k = 0; k < 8; ++k) want[k] = got[k] = int32_t(rng.u32());
        auto run = [&](VarMeanDiffFn f, int32_t* out) {
          ASSERT_EQ(f(src.origin(), src.step(), ref.origin(), ref.step(), sums, out, out + 4), KVN_STS_OK);
        };
        run(c.var_mean_diff[size][i], want);
        run(kvntest::note_compared(s.var_mean_diff[size][i]), got);
        ASSERT_EQ(std::memcmp(want, got, sizeof want), 0) << tag("var_mean_diff", h * 10 + i);
      });
    }
}

// Blocks of small steps between neighbours, so that the number of edges spans
// the whole range; thresholds at and around the ends of the sample range, and
// every count threshold from below 0 to above 225.
template <class T, class Flag, class Fn>
void check_edges(Rng& rng, Fn c, Fn s, int maxSpread, const std::string& what) {
  const int32_t max = (1 << (8 * sizeof(T))) - 1;
  const int32_t specials[] = {INT32_MIN, -1, 0, 1, max - 1, max, max + 1, INT32_MAX};
  for (int trial = 0; trial < 48; ++trial) {
    Area a(16 * sizeof(T), 16, kvntest::random_step(rng, 16 * sizeof(T), true), trial % 16);
    const int spread = rng.range(0, maxSpread);
    for (int i = 0; i < 256; ++i)
      put<T>(a, i % 16, i / 16, T(rng.range(0, 3) ? max / 2 + rng.range(-spread, spread) : rng.range(0, max)));
    const int32_t diff = rng.coin() ? specials[rng.range(0, 7)] : rng.range(0, 2 * spread + 1);
    auto agree = [&](int32_t count) {
      ASSERT_EQ(result<Flag>(c, a.as<T>(), a.step(), diff, count),
                result<Flag>(kvntest::note_compared(s), a.as<T>(), a.step(), diff, count))
          << what << " threshold " << diff << " count " << count;
    };
    for (int32_t count : {INT32_MIN, INT32_MAX}) ASSERT_NO_FATAL_FAILURE(agree(count));
    for (int32_t count = -2; count <= kEdgePositions + 1; ++count) ASSERT_NO_FATAL_FAILURE(agree(count));
  }
}

TEST_P(MeasureDiff, EdgesDetect) {
  const VarianceKernels& c = kVarianceKernelsC;
  const VarianceKernels& s = variance_kernels(GetParam());
  if (c.edges16x16 != s.edges16x16)
    check_edges<uint8_t, uint8_t>(rng, c.edges16x16, s.edges16x16, 40, tag("edges16x16", 0));
  if (c.edges16x16_16u != s.edges16x16_16u)
    check_edges<uint16_t, uint32_t>(rng, c.edges16x16_16u, s.edges16x16_16u, 3000, tag("edges16x16_16u", 0));
}

INSTANTIATE_TEST_SUITE_P(Simd, MeasureDiff, ::testing::ValuesIn(kvntest::simd_levels()),
                         [](const ::testing::TestParamInfo<Isa>& i) { return std::string(isa_name(i.param)); });
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(MeasureDiff);

}  // namespace
