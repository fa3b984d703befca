// Every SIMD kernel of the AVS inter block reconstruction against the scalar
// one: coefficients over the whole 16-bit range (saturating both stages),
// every QP, every path, every alignment, odd and negative steps.
#include <cstring>
#include <string>

#include "avs/recon_avs.h"
#include "support/harness.h"
#include "tables/avs_tables.h"

namespace {

using namespace kvn;
using kvntest::Area;

class ReconAvsDiff : public ::testing::TestWithParam<Isa> {};

TEST_P(ReconAvsDiff, Blocks) {
  kvntest::Rng rng = kvntest::rng_for("ReconAvsDiff.Blocks");
  const ReconAvsKernels& c = kReconAvsKernelsC;
  const ReconAvsKernels& s = recon_avs_kernels(GetParam());
  for (int path = 0; path < kAvsPaths; ++path) {
    if (c.block[std::size_t(path)] == s.block[std::size_t(path)]) continue;
    for (int trial = 0; trial < 600; ++trial) {
      const int qp = trial < 64 ? trial : rng.range(0, 63);
      const int align = 2 * rng.range(0, 7);
      const int step = (rng.coin() ? 1 : -1) * (8 + rng.range(0, 40));
      Area coef(128, 1, 128, align);
      coef.fill_i16(rng, rng.coin());
      if (rng.one_in(3)) {  // small levels, as in real blocks
        int16_t* v = coef.as<int16_t>();
        for (int i = 0; i < 64; ++i) v[i] = int16_t(rng.range(-300, 300));
      }
      Area dst(8, 8, step, rng.range(0, 15), 16);
      dst.fill(rng, kvntest::kAllFills[rng.range(0, 4)]);
      Area before(dst), want(dst), got(dst);
      const int32_t scale = avs::kAvsDequantScale[qp], shift = avs::kAvsDequantShift[qp];
      c.block[std::size_t(path)](coef.as<int16_t>(), want.origin(), step, scale, shift);
      kvntest::note_compared(s.block[std::size_t(path)])(coef.as<int16_t>(), got.origin(), step, scale, shift);
      ASSERT_TRUE(kvntest::same_area(before, want, got)) << "path " << path << " qp " << qp << " trial " << trial << " "
                                                         << isa_name(GetParam()) << " " << kvntest::seed_note();
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Simd, ReconAvsDiff, ::testing::ValuesIn(kvntest::simd_levels()),
                         [](const ::testing::TestParamInfo<Isa>& i) { return std::string(isa_name(i.param)); });
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(ReconAvsDiff);

}  // namespace
