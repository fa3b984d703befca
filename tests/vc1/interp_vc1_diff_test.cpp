// Every SIMD kernel of the VC-1 interpolation and range map against its
// scalar reference: every size, kind, fraction and rounding, every alignment,
// signed and odd steps, sources allocated exactly to the region the filter
// may read, guard bytes around every destination.
#include <string>

#include "support/harness.h"
#include "vc1/interp_vc1.h"

namespace {

using namespace kvn;
using kvntest::Area;
using kvntest::Rng;

class InterpVc1Diff : public ::testing::TestWithParam<Isa> {
 protected:
  Rng rng = kvntest::rng_for(::testing::UnitTest::GetInstance()->current_test_info()->name());
  const InterpVc1Kernels& c = kInterpVc1KernelsC;
  const InterpVc1Kernels& s = interp_vc1_kernels(GetParam());

  // Compares kernel `simd` with `ref` on a w x h block (w in bytes), every
  // fraction of the kind and both roundings; the source holds `left`, `right`
  // extra columns and `above`, `below` extra rows.
  void compare(Vc1InterpFn ref, Vc1InterpFn simd, int kind, int w, int h, int left, int right, int above, int below,
               const std::string& what) {
    for (int dy = kind & 2 ? 1 : 0; dy <= (kind & 2 ? 3 : 0); ++dy)
      for (int dx = kind & 1 ? 1 : 0; dx <= (kind & 1 ? 3 : 0); ++dx)
        for (int r = 0; r <= 1; ++r)
          for (int align = 0; align < 16; ++align) {
            const int inBytes = left + w + right, inRows = above + h + below;
            const int ss = kvntest::random_step(rng, inBytes, true), ds = kvntest::random_step(rng, w, true);
            Area src(inBytes, inRows, ss, align);
            src.fill(rng, kvntest::kAllFills[rng.range(0, 4)]);
            Area got(w, h, ds, (align * 5) & 15, 32);
            got.fill(rng, kvntest::Fill::kRandom);
            const Area before(got);
            Area want(got);
            const uint8_t* p = src.origin() + std::ptrdiff_t(above) * ss + left;
            ref(p, ss, want.origin(), ds, dx, dy, r);
            kvntest::note_compared(simd)(p, ss, got.origin(), ds, dx, dy, r);
            ASSERT_TRUE(kvntest::same_area(before, want, got)) << what << " dx " << dx << " dy " << dy << " r " << r
                                                               << " align " << align << " steps " << ss << ", " << ds;
          }
  }
};

TEST_P(InterpVc1Diff, BicubicMatchesTheReference) {
  for (int size = 0; size < kVc1BicubicSizes; ++size)
    for (int kind = 0; kind < kVc1Kinds; ++kind) {
      if (c.bicubic[size][kind] == s.bicubic[size][kind]) continue;
      const bool h = kind & 1, v = kind & 2;
      compare(c.bicubic[size][kind], s.bicubic[size][kind], kind, kVc1BicubicW[size], kVc1BicubicH[size], h, 2 * h, v,
              2 * v, "bicubic " + std::to_string(kVc1BicubicW[size]) + "x" + std::to_string(kVc1BicubicH[size]));
    }
}

TEST_P(InterpVc1Diff, BilinearMatchesTheReference) {
  for (int ch = 1; ch <= 2; ++ch)
    for (int size = ch - 1; size < kVc1BilinearC1Sizes; ++size)
      for (int kind = 0; kind < kVc1Kinds; ++kind) {
        const Vc1InterpFn ref = ch == 1 ? c.bilinear_c1[size][kind] : c.bilinear_c2[size - 1][kind];
        const Vc1InterpFn simd = ch == 1 ? s.bilinear_c1[size][kind] : s.bilinear_c2[size - 1][kind];
        if (ref == simd) continue;
        compare(ref, simd, kind, ch * kVc1BilinearW[size], kVc1BilinearH[size], 0, kind & 1 ? ch : 0, 0, kind >> 1,
                "bilinear C" + std::to_string(ch) + " " + std::to_string(kVc1BilinearW[size]) + "x" +
                    std::to_string(kVc1BilinearH[size]));
      }
}

TEST_P(InterpVc1Diff, RangeMapMatchesTheReference) {
  if (c.range_map == s.range_map) GTEST_SKIP();
  for (int t = 0; t < 400; ++t) {
    const int w = t < 64 ? t + 1 : rng.range(1, 100), h = rng.range(1, 6), range = rng.range(0, 7);
    const int align = rng.range(0, 15), ss = kvntest::random_step(rng, w, true),
              ds = kvntest::random_step(rng, w, true);
    Area src(w, h, ss, align);
    src.fill(rng, kvntest::kAllFills[rng.range(0, 4)]);
    Area got(w, h, ds, rng.range(0, 15), 32);
    got.fill(rng, kvntest::Fill::kRandom);
    const Area before(got);
    Area want(got);
    c.range_map(src.origin(), ss, want.origin(), ds, w, h, range);
    kvntest::note_compared(s.range_map)(src.origin(), ss, got.origin(), ds, w, h, range);
    ASSERT_TRUE(kvntest::same_area(before, want, got)) << w << "x" << h << " R " << range;
  }
}

INSTANTIATE_TEST_SUITE_P(Levels, InterpVc1Diff, ::testing::ValuesIn(kvntest::simd_levels()),
                         [](const ::testing::TestParamInfo<Isa>& i) { return std::string(isa_name(i.param)); });
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(InterpVc1Diff);

}  // namespace
