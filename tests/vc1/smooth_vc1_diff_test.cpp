// Every SIMD kernel of the VC-1 overlap smoothing against its scalar
// reference: 16-bit sources across the whole range (so that the saturating
// sums saturate), extremes and decoder-like values, every source row layout
// and half, every alignment, odd and negative steps for every buffer, guard
// bytes around the destination and around the sources the vertical edges
// write back.
#include <cstring>
#include <string>
#include <vector>

#include "support/harness.h"
#include "vc1/smooth_vc1.h"

namespace {

using namespace kvn;
using kvntest::Area;
using kvntest::Rng;

// A 16-bit source: uniform over the whole range, extremes, or decoder-like.
void fill_source(Rng& rng, Area& a) {
  switch (rng.range(0, 2)) {
    case 0: a.fill_i16(rng, false); break;
    case 1: a.fill_i16(rng, true); break;
    default:
      for (int r = 0; r < a.rows(); ++r)
        for (int x = 0; x + 1 < a.row_bytes(); x += 2) {
          const int16_t v = int16_t(rng.range(-300, 600));
          std::memcpy(a.origin() + std::ptrdiff_t(r) * a.step() + x, &v, 2);
        }
  }
}

class SmoothVc1Diff : public ::testing::TestWithParam<Isa> {
 protected:
  Rng rng = kvntest::rng_for(::testing::UnitTest::GetInstance()->current_test_info()->name());
  const SmoothVc1Kernels& c = kSmoothVc1KernelsC;
  const SmoothVc1Kernels& s = smooth_vc1_kernels(GetParam());

  // An area of rows x rowBytes with a random alignment and step (any sign).
  Area area(int rowBytes, int rows, int align, bool source) {
    Area a(rowBytes, rows, kvntest::random_step(rng, rowBytes, true), align, 32);
    if (source)
      fill_source(rng, a);
    else
      a.fill(rng, kvntest::Fill::kRandom);
    return a;
  }

  // Runs the scalar and the SIMD call on copies of the areas and compares all.
  template <class Run>
  void compare(std::initializer_list<Area*> areas, Run run, const std::string& what) {
    std::vector<Area> want, got;
    want.reserve(areas.size()), got.reserve(areas.size());
    for (Area* a : areas) want.emplace_back(*a), got.emplace_back(*a);
    run(false, want);
    run(true, got);
    size_t i = 0;
    for (Area* a : areas) {
      ASSERT_TRUE(kvntest::same_area(*a, want[i], got[i])) << what << ", area " << i << ", " << isa_name(GetParam());
      ++i;
    }
  }
};

TEST_P(SmoothVc1Diff, VerticalEdges) {
  for (int align = 0; align < 16; ++align)
    for (int t = 0; t < 30; ++t) {
      Area l = area(4, 16, rng.range(0, 15), true), r = area(4, 16, rng.range(0, 15), true);
      Area d = area(4, 16, align, false);
      Area l1 = area(4, 8, rng.range(0, 15), true), r1 = area(4, 8, rng.range(0, 15), true);
      for (int layout = 0; layout < kLayouts; ++layout)
        for (uint32_t halves = 1; halves <= 3; ++halves) {
          if (c.luma_ver[layout] == s.luma_ver[layout]) continue;
          compare(
              {&l, &r, &d},
              [&](bool simd, std::vector<Area>& a) {
                (simd ? kvntest::note_compared(s.luma_ver[layout]) : c.luma_ver[layout])(
                    a[0].as<int16_t>(), a[0].step(), a[1].as<int16_t>(), a[1].step(), a[2].origin() + 2, a[2].step(),
                    halves);
              },
              "luma_ver layout " + std::to_string(layout) + " halves " + std::to_string(halves));
        }
      if (c.chroma_ver != s.chroma_ver)
        compare(
            {&l1, &r1, &d},
            [&](bool simd, std::vector<Area>& a) {
              (simd ? kvntest::note_compared(s.chroma_ver) : c.chroma_ver)(
                  a[0].as<int16_t>(), a[0].step(), a[1].as<int16_t>(), a[1].step(), a[2].origin() + 2, a[2].step());
            },
            "chroma_ver");
      Area l2 = area(4, 8, rng.range(0, 15), true), r2 = area(4, 8, rng.range(0, 15), true);
      Area d2 = area(8, 8, align, false);
      if (c.chroma_ver_p2 != s.chroma_ver_p2)
        compare(
            {&l1, &r1, &l2, &r2, &d2},
            [&](bool simd, std::vector<Area>& a) {
              (simd ? kvntest::note_compared(s.chroma_ver_p2) : c.chroma_ver_p2)(
                  a[0].as<int16_t>(), a[0].step(), a[1].as<int16_t>(), a[1].step(), a[2].as<int16_t>(), a[2].step(),
                  a[3].as<int16_t>(), a[3].step(), a[4].origin() + 4, a[4].step());
            },
            "chroma_ver_p2");
    }
}

TEST_P(SmoothVc1Diff, HorizontalEdges) {
  for (int align = 0; align < 16; ++align)
    for (int t = 0; t < 30; ++t) {
      Area u = area(32, 2, rng.range(0, 15), true), lo = area(32, 2, rng.range(0, 15), true);
      Area d = area(16, 4, align, false);
      const auto at2 = [](Area& a) { return a.origin() + 2 * std::ptrdiff_t(a.step()); };
      for (uint32_t halves = 1; halves <= 3; ++halves)
        if (c.luma_hor != s.luma_hor)
          compare(
              {&u, &lo, &d},
              [&](bool simd, std::vector<Area>& a) {
                (simd ? kvntest::note_compared(s.luma_hor) : c.luma_hor)(
                    a[0].as<int16_t>(), a[0].step(), a[1].as<int16_t>(), a[1].step(), at2(a[2]), a[2].step(), halves);
              },
              "luma_hor halves " + std::to_string(halves));
      Area u1 = area(16, 2, rng.range(0, 15), true), lo1 = area(16, 2, rng.range(0, 15), true);
      Area u2 = area(16, 2, rng.range(0, 15), true), lo2 = area(16, 2, rng.range(0, 15), true);
      Area d1 = area(8, 4, align, false);
      if (c.chroma_hor != s.chroma_hor)
        compare(
            {&u1, &lo1, &d1},
            [&](bool simd, std::vector<Area>& a) {
              (simd ? kvntest::note_compared(s.chroma_hor) : c.chroma_hor)(
                  a[0].as<int16_t>(), a[0].step(), a[1].as<int16_t>(), a[1].step(), at2(a[2]), a[2].step());
            },
            "chroma_hor");
      if (c.chroma_hor_p2 != s.chroma_hor_p2)
        compare(
            {&u1, &lo1, &u2, &lo2, &d},
            [&](bool simd, std::vector<Area>& a) {
              (simd ? kvntest::note_compared(s.chroma_hor_p2) : c.chroma_hor_p2)(
                  a[0].as<int16_t>(), a[0].step(), a[1].as<int16_t>(), a[1].step(), a[2].as<int16_t>(), a[2].step(),
                  a[3].as<int16_t>(), a[3].step(), at2(a[4]), a[4].step());
            },
            "chroma_hor_p2");
    }
}

INSTANTIATE_TEST_SUITE_P(Simd, SmoothVc1Diff, ::testing::ValuesIn(kvntest::simd_levels()),
                         [](const ::testing::TestParamInfo<Isa>& i) { return std::string(isa_name(i.param)); });
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(SmoothVc1Diff);

}  // namespace
