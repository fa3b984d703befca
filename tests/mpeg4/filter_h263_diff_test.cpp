// Every SIMD kernel of the H.263 edge filters against its scalar reference:
// edges with steps below, at and above every strength (the ramp's three
// parts), random and extreme samples, every strength 0..255 (the table's,
// the unlimited one and hostile ones), every alignment, odd and negative
// steps, guard bytes around the four lines.
#include <algorithm>
#include <string>

#include "mpeg4/filter_h263.h"
#include "support/harness.h"

namespace {

using namespace kvn;
using kvntest::Area;
using kvntest::Rng;

struct Member {
  const char* name;
  bool vertical;
  int length;
  EdgeBoundaryFn FilterH263Kernels::*boundary;  // null: the deblocking kernel of the length
};

void fill(Rng& rng, Area& a, bool vertical) {
  const int style = rng.range(0, 3);
  const int base = rng.range(0, 255), jump = rng.range(-120, 120), noise = rng.range(0, 6);
  for (int r = 0; r < a.rows(); ++r)
    for (int x = 0; x < a.row_bytes(); ++x) {
      const int across = vertical ? x : r;  // 0, 1 before the edge, 2, 3 after it
      int v;
      if (style == 0)
        v = rng.range(0, 255);
      else if (style == 1)
        v = rng.coin() ? 255 : 0;
      else
        v = std::clamp(base + (across >= 2 ? jump : 0) + rng.range(-noise, noise), 0, 255);
      a.origin()[std::ptrdiff_t(r) * a.step() + x] = uint8_t(v);
    }
}

class FilterH263Diff : public ::testing::TestWithParam<Isa> {
 protected:
  Rng rng = kvntest::rng_for(::testing::UnitTest::GetInstance()->current_test_info()->name());
};

TEST_P(FilterH263Diff, EveryKernelMatchesTheReference) {
  const FilterH263Kernels &c = kFilterH263KernelsC, &s = filter_h263_kernels(GetParam());
  const Member members[] = {
      {"deblock_hor 8", false, 8, nullptr},
      {"deblock_hor 16", false, 16, nullptr},
      {"deblock_ver 8", true, 8, nullptr},
      {"deblock_ver 16", true, 16, nullptr},
      {"boundary_hor", false, 16, &FilterH263Kernels::boundary_hor},
      {"boundary_ver", true, 16, &FilterH263Kernels::boundary_ver},
  };
  for (const Member& m : members) {
    const int e = m.length == 8 ? kEdge8 : kEdge16;
    const EdgeDeblockFn dc = m.boundary ? nullptr : (m.vertical ? c.deblock_ver[e] : c.deblock_hor[e]);
    const EdgeDeblockFn ds = m.boundary ? nullptr : (m.vertical ? s.deblock_ver[e] : s.deblock_hor[e]);
    if (m.boundary ? c.*m.boundary == s.*m.boundary : dc == ds) continue;
    for (int align = 0; align < 16; ++align)
      for (int t = 0; t < 40; ++t) {
        const int rowBytes = m.vertical ? 4 : m.length, rows = m.vertical ? m.length : 4;
        const int step = kvntest::random_step(rng, rowBytes, true);
        Area pic(rowBytes, rows, step, align, rng.coin() ? 0 : 32);
        fill(rng, pic, m.vertical);
        const Area before(pic);
        Area want(pic);
        const int k = rng.range(0, 3);
        const int32_t strength = k == 0   ? filter_h263::kUnlimited
                                 : k == 1 ? rng.range(0, 255)
                                          : filter_h263::kStrength[rng.range(0, 30)];
        const auto run = [&](bool simd, Area& a) {
          uint8_t* p = a.origin() + (m.vertical ? 2 : 2 * std::ptrdiff_t(a.step()));
          if (m.boundary)
            (simd ? kvntest::note_compared(s.*m.boundary) : c.*m.boundary)(p, a.step());
          else
            (simd ? kvntest::note_compared(ds) : dc)(p, a.step(), strength);
        };
        run(false, want);
        run(true, pic);
        ASSERT_TRUE(kvntest::same_area(before, want, pic))
            << m.name << " strength " << strength << " step " << step << " align " << align << " "
            << isa_name(GetParam()) << " " << kvntest::seed_note();
      }
  }
}

INSTANTIATE_TEST_SUITE_P(Simd, FilterH263Diff, ::testing::ValuesIn(kvntest::simd_levels()),
                         [](const ::testing::TestParamInfo<Isa>& i) { return std::string(isa_name(i.param)); });
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(FilterH263Diff);

}  // namespace
