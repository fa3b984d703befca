// Every SIMD kernel of the VC-1 transforms and quantisers against its scalar
// reference: every block shape and region, values from small residuals to
// the 16-bit extremes that saturate each stage, every alignment, odd and
// negative steps, outputs inside guard bytes, in place and out of place.
#include <cstring>
#include <string>

#include "support/harness.h"
#include "vc1/quant_vc1.h"
#include "vc1/transform_vc1.h"

namespace {

using namespace kvn;
using kvntest::Area;
using kvntest::Rng;

constexpr int kTrials = 60;

// Value k of an area's block (row y, column x), as bytes at any address.
int16_t get(const Area& a, int x, int y) {
  int16_t v;
  std::memcpy(&v, a.origin() + int64_t(y) * a.step() + 2 * x, 2);
  return v;
}
void set(Area& a, int x, int y, int16_t v) { std::memcpy(a.origin() + int64_t(y) * a.step() + 2 * x, &v, 2); }

// Sample values of one of several kinds: residuals, coefficients, the 16-bit
// extremes (which saturate the row stages), sparse blocks.
void fill_block(Rng& rng, Area& a, int w, int h) {
  static const int16_t kEdge[] = {-32768, 32767, -32767, 4096, -4096, 2731, -2731, 255, -255, 0, 1, -1};
  const int kind = rng.range(0, 4);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      int16_t v = 0;
      switch (kind) {
        case 0: v = int16_t(rng.range(-255, 255)); break;
        case 1: v = int16_t(rng.range(-2048, 2047)); break;
        case 2: v = kEdge[rng.range(0, int(sizeof kEdge / sizeof kEdge[0]) - 1)]; break;
        case 3: v = int16_t(rng.u32()); break;
        default: v = rng.one_in(4) ? int16_t(rng.range(-60, 60)) : int16_t(0); break;
      }
      set(a, x, y, v);
    }
}

class Vc1Diff : public ::testing::TestWithParam<Isa> {
 protected:
  const TransformVc1Kernels& tc = kTransformVc1KernelsC;
  const TransformVc1Kernels& ts() const { return transform_vc1_kernels(GetParam()); }
  const QuantVc1Kernels& qc = kQuantVc1KernelsC;
  const QuantVc1Kernels& qs() const { return quant_vc1_kernels(GetParam()); }
  Rng rng = kvntest::rng_for(::testing::UnitTest::GetInstance()->current_test_info()->name());
  std::string tag(const std::string& what, int t) const {
    return what + " trial " + std::to_string(t) + " " + isa_name(GetParam()) + " " + kvntest::seed_note();
  }
  // A source area and a guarded destination of w x h 16-bit samples.
  Area src_area(int w, int h) { return Area(2 * w, h, kvntest::random_step(rng, 2 * w, true), rng.range(0, 15)); }
  Area dst_area(int w, int h) {
    Area d(2 * w, h, kvntest::random_step(rng, 2 * w, true), rng.range(0, 15), 32);
    d.fill(rng, kvntest::Fill::kRandom);
    return d;
  }
};

TEST_P(Vc1Diff, InverseTransformEveryRegion) {
  for (int shape = 0; shape < kVc1Shapes; ++shape) {
    const int W = vc1_width(shape), H = vc1_height(shape);
    const bool full = tc.inv[size_t(shape)] != ts().inv[size_t(shape)];
    const bool quarter = tc.inv_quarter[size_t(shape)] != ts().inv_quarter[size_t(shape)];
    const bool dc = tc.inv_dc[size_t(shape)] != ts().inv_dc[size_t(shape)];
    for (int t = 0; t < kTrials; ++t)
      for (int h = 1; h <= H; ++h)
        for (int w = 1; w <= W; ++w) {
          Area src = src_area(W, H);
          src.fill(rng, kvntest::Fill::kRandom);  // outside the region: garbage the kernels must not use
          fill_block(rng, src, w, h);
          const std::string what = "inv " + std::to_string(W) + "x" + std::to_string(H) + " region " +
                                   std::to_string(w) + "x" + std::to_string(h);
          if (full) {
            Area want = dst_area(W, H), got(want), before(want);
            tc.inv[size_t(shape)](src.as<int16_t>(), src.step(), want.as<int16_t>(), want.step(), w, h);
            kvntest::note_compared(ts().inv[size_t(shape)])(src.as<int16_t>(), src.step(), got.as<int16_t>(),
                                                            got.step(), w, h);
            ASSERT_TRUE(kvntest::same_area(before, want, got)) << tag(what, t);
            // In place: the same result.
            Area io(src);
            ts().inv[size_t(shape)](io.as<int16_t>(), io.step(), io.as<int16_t>(), io.step(), w, h);
            for (int y = 0; y < H; ++y)
              for (int x = 0; x < W; ++x) ASSERT_EQ(get(io, x, y), get(want, x, y)) << tag(what + " in place", t);
          }
          if (quarter && 2 * w <= W && 2 * h <= H) {
            Area want = dst_area(W, H), got(want), before(want);
            tc.inv_quarter[size_t(shape)](src.as<int16_t>(), src.step(), want.as<int16_t>(), want.step(), w, h);
            kvntest::note_compared(ts().inv_quarter[size_t(shape)])(src.as<int16_t>(), src.step(), got.as<int16_t>(),
                                                                    got.step(), w, h);
            ASSERT_TRUE(kvntest::same_area(before, want, got)) << tag(what + " quarter", t);
          }
          if (dc && w == 1 && h == 1) {
            Area want = dst_area(W, H), got(want), before(want);
            tc.inv_dc[size_t(shape)](src.as<int16_t>(), want.as<int16_t>(), want.step());
            kvntest::note_compared(ts().inv_dc[size_t(shape)])(src.as<int16_t>(), got.as<int16_t>(), got.step());
            ASSERT_TRUE(kvntest::same_area(before, want, got)) << tag(what + " dc", t);
          }
        }
  }
}

TEST_P(Vc1Diff, ForwardTransform) {
  for (int shape = 0; shape < kVc1Shapes; ++shape) {
    if (tc.fwd[size_t(shape)] == ts().fwd[size_t(shape)]) continue;
    const int W = vc1_width(shape), H = vc1_height(shape);
    for (int t = 0; t < 20 * kTrials; ++t) {
      Area src = src_area(W, H);
      fill_block(rng, src, W, H);
      Area want = dst_area(W, H), got(want), before(want);
      tc.fwd[size_t(shape)](src.as<int16_t>(), src.step(), want.as<int16_t>(), want.step());
      kvntest::note_compared(ts().fwd[size_t(shape)])(src.as<int16_t>(), src.step(), got.as<int16_t>(), got.step());
      ASSERT_TRUE(kvntest::same_area(before, want, got)) << tag("fwd " + std::to_string(shape), t);
    }
  }
}

int32_t pick_q(Rng& rng, bool forward) {
  static const int32_t kOdd[] = {0, 1, -1, -2, 63, 64, 65535, 65536, 65537, -65536, 1 << 20, INT32_MAX, INT32_MIN};
  if (forward || rng.coin()) return rng.range(2, 62);
  return kOdd[rng.range(0, int(sizeof kOdd / sizeof kOdd[0]) - 1)];
}

TEST_P(Vc1Diff, Quantisers) {
  for (int mode = 0; mode < kVc1QuantModes; ++mode)
    for (int t = 0; t < 20 * kTrials; ++t) {
      const int32_t q = pick_q(rng, true);
      const int w = rng.coin() ? 4 : 8, h = rng.coin() ? 4 : 8;
      const std::string what = std::string(mode ? "nonuniform" : "uniform") + " q " + std::to_string(q);
      if (qc.intra[size_t(mode)] != qs().intra[size_t(mode)]) {
        Area want = dst_area(8, 8);
        fill_block(rng, want, 8, 8);
        Area got(want), before(want);
        qc.intra[size_t(mode)](want.as<int16_t>(), want.step(), q);
        kvntest::note_compared(qs().intra[size_t(mode)])(got.as<int16_t>(), got.step(), q);
        ASSERT_TRUE(kvntest::same_area(before, want, got)) << tag("intra " + what, t);
      }
      if (qc.inter[size_t(mode)] != qs().inter[size_t(mode)]) {
        Area want = dst_area(8, 8);
        fill_block(rng, want, 8, 8);
        Area got(want), before(want);
        qc.inter[size_t(mode)](want.as<int16_t>(), want.step(), q, w, h);
        kvntest::note_compared(qs().inter[size_t(mode)])(got.as<int16_t>(), got.step(), q, w, h);
        ASSERT_TRUE(kvntest::same_area(before, want, got)) << tag("inter " + what, t);
      }
    }
}

TEST_P(Vc1Diff, InverseQuantisers) {
  for (int mode = 0; mode < kVc1QuantModes; ++mode)
    for (int t = 0; t < 20 * kTrials; ++t) {
      const int32_t q = pick_q(rng, false);
      const int w = rng.coin() ? 4 : 8, h = rng.coin() ? 4 : 8;
      const std::string what = std::string(mode ? "nonuniform" : "uniform") + " q " + std::to_string(q);
      for (int intra = 0; intra < 2; ++intra) {
        const int bw = intra ? 8 : w, bh = intra ? 8 : h;
        Area src = src_area(8, 8);
        src.fill(rng, kvntest::Fill::kRandom);
        fill_block(rng, src, bw, bh);
        Area want = dst_area(8, 8), got(want), before(want);
        KvnSize nw, ng;
        if (intra) {
          if (qc.inv_intra[size_t(mode)] == qs().inv_intra[size_t(mode)]) continue;
          nw = qc.inv_intra[size_t(mode)](src.as<int16_t>(), src.step(), want.as<int16_t>(), want.step(), q);
          ng = kvntest::note_compared(qs().inv_intra[size_t(mode)])(src.as<int16_t>(), src.step(), got.as<int16_t>(),
                                                                    got.step(), q);
        } else {
          if (qc.inv_inter[size_t(mode)] == qs().inv_inter[size_t(mode)]) continue;
          nw = qc.inv_inter[size_t(mode)](src.as<int16_t>(), src.step(), want.as<int16_t>(), want.step(), q, w, h);
          ng = kvntest::note_compared(qs().inv_inter[size_t(mode)])(src.as<int16_t>(), src.step(), got.as<int16_t>(),
                                                                    got.step(), q, w, h);
        }
        const std::string which = (intra ? "inv intra " : "inv inter ") + what;
        ASSERT_TRUE(kvntest::same_area(before, want, got)) << tag(which, t);
        ASSERT_EQ(nw.width, ng.width) << tag(which, t);
        ASSERT_EQ(nw.height, ng.height) << tag(which, t);
      }
    }
}

INSTANTIATE_TEST_SUITE_P(Simd, Vc1Diff, ::testing::ValuesIn(kvntest::simd_levels()),
                         [](const ::testing::TestParamInfo<Isa>& i) { return std::string(isa_name(i.param)); });
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(Vc1Diff);

}  // namespace
