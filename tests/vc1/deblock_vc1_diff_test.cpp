// Every SIMD kernel of the VC-1 loop filter against its scalar reference:
// step edges with noise (so that the conditions hold and fail in every
// combination, the third line of a segment deciding either way), random and
// extreme samples, every PQUANT 0..31 and beyond (up to 2^32 - 1), every
// combination of switched-off segments, every alignment, odd and negative
// steps, guard bytes around the edge.
#include <algorithm>
#include <string>

#include "support/harness.h"
#include "vc1/deblock_vc1.h"

namespace {

using namespace kvn;
using kvntest::Area;
using kvntest::Rng;

struct Member {
  const char* name;
  bool vertical, c2;
  int lines;  // along the edge (per plane)
  DeblockVc1Fn DeblockVc1Kernels::*plane;
  DeblockVc1C2Fn DeblockVc1Kernels::*inter;
};

// Samples at distance `across` (0..7: P1..P8) of line `line`.
void fill(Rng& rng, Area& a, bool vertical, int unit) {
  const int style = rng.range(0, 4);
  int base = rng.range(0, 255), jump = rng.range(-40, 40), noise = rng.range(0, 5);
  for (int r = 0; r < a.rows(); ++r)
    for (int x = 0; x < a.row_bytes(); ++x) {
      const int across = vertical ? x / unit : r, line = vertical ? r : x / unit;
      if (line % 4 == 0 && rng.one_in(3)) jump = rng.range(-40, 40), noise = rng.range(0, 5);
      int v;
      if (style == 0)
        v = rng.range(0, 255);
      else if (style == 1)
        v = rng.coin() ? 255 : 0;
      else if (style == 2)
        v = std::clamp(base + (across >= 4 ? jump : 0) + rng.range(-noise, noise), 0, 255);
      else if (style == 3)  // a ramp across the edge
        v = std::clamp(base + across * jump / 8 + rng.range(-noise, noise), 0, 255);
      else
        v = std::clamp((across >= 4 ? 255 - base : base) + rng.range(-noise, noise), 0, 255);
      a.origin()[std::ptrdiff_t(r) * a.step() + x] = uint8_t(v);
    }
}

uint32_t random_pquant(Rng& rng) {
  switch (rng.range(0, 5)) {
    case 0: return uint32_t(rng.range(32, 300));
    case 1: return rng.u32();
    case 2: return 0xffffffffu;
    default: return uint32_t(rng.range(0, 31));
  }
}

class DeblockVc1Diff : public ::testing::TestWithParam<Isa> {
 protected:
  Rng rng = kvntest::rng_for(::testing::UnitTest::GetInstance()->current_test_info()->name());
};

TEST_P(DeblockVc1Diff, EveryKernelMatchesTheReference) {
  const DeblockVc1Kernels &c = kDeblockVc1KernelsC, &s = deblock_vc1_kernels(GetParam());
  const Member members[] = {
      {"luma_hor", false, false, 16, &DeblockVc1Kernels::luma_hor, nullptr},
      {"luma_ver", true, false, 16, &DeblockVc1Kernels::luma_ver, nullptr},
      {"chroma_hor", false, false, 8, &DeblockVc1Kernels::chroma_hor, nullptr},
      {"chroma_ver", true, false, 8, &DeblockVc1Kernels::chroma_ver, nullptr},
      {"chroma_c2_hor", false, true, 8, nullptr, &DeblockVc1Kernels::chroma_c2_hor},
      {"chroma_c2_ver", true, true, 8, nullptr, &DeblockVc1Kernels::chroma_c2_ver},
  };
  for (const Member& m : members) {
    if (m.plane ? c.*m.plane == s.*m.plane : c.*m.inter == s.*m.inter) continue;
    const int unit = m.c2 ? 2 : 1, segs = m.lines / 4;
    const int rowBytes = m.vertical ? 8 * unit : m.lines * unit, rows = m.vertical ? m.lines : 8;
    for (int align = 0; align < 16; ++align)
      for (int t = 0; t < 200; ++t) {
        const int step = kvntest::random_step(rng, rowBytes, true);
        Area pic(rowBytes, rows, step, align, 32);
        fill(rng, pic, m.vertical, unit);
        const Area before(pic);
        Area want(pic);
        // Every PQUANT 0..39 in turn, then random ones; mostly all segments
        // on, and every combination of switched-off ones in turn.
        const uint32_t pquant = t < 40 ? uint32_t(t) : random_pquant(rng);
        const uint32_t all = (1u << segs) - 1;
        const uint32_t off0 = t < 40 || rng.coin() ? 0 : uint32_t(t % int(all + 1));
        const uint32_t off1 = rng.coin() ? off0 : uint32_t(rng.range(0, int(all)));
        const auto run = [&](bool simd, Area& a) {
          uint8_t* p = a.origin() + (m.vertical ? 4 * unit : 4 * std::ptrdiff_t(a.step()));
          if (m.plane)
            (simd ? kvntest::note_compared(s.*m.plane) : c.*m.plane)(p, a.step(), pquant, off0);
          else
            (simd ? kvntest::note_compared(s.*m.inter) : c.*m.inter)(p, a.step(), pquant, off0, off1);
        };
        run(false, want);
        run(true, pic);
        ASSERT_TRUE(kvntest::same_area(before, want, pic))
            << m.name << " pquant " << pquant << " off " << off0 << "/" << off1 << " step " << step << " align "
            << align << " " << isa_name(GetParam());
      }
  }
}

INSTANTIATE_TEST_SUITE_P(Simd, DeblockVc1Diff, ::testing::ValuesIn(kvntest::simd_levels()),
                         [](const ::testing::TestParamInfo<Isa>& i) { return std::string(isa_name(i.param)); });
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(DeblockVc1Diff);

}  // namespace
