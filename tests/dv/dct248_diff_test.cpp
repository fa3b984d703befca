// Every SIMD kernel of the DV transform family against its scalar reference:
// coefficients and samples of real ranges, extremes that saturate and wrap.
#include <cstring>
#include <string>

#include "dv/dct248.h"
#include "support/harness.h"

namespace {

using namespace kvn;
using kvntest::Rng;

constexpr int kTrials = 2000;

void fill(Rng& rng, int16_t* b) {
  const int kind = rng.range(0, 3);
  for (int i = 0; i < 64; ++i) {
    static const int16_t kEdge[] = {-32768, 32767, -1, 0, 1, 2047, -2048, 255};
    switch (kind) {
      case 0: b[i] = int16_t(rng.u32()); break;
      case 1: b[i] = kEdge[rng.range(0, 7)]; break;
      case 2: b[i] = int16_t(rng.range(-2048, 2047)); break;
      default: b[i] = rng.one_in(4) ? int16_t(rng.range(-300, 300)) : int16_t(0); break;
    }
  }
}

class Dct248Diff : public ::testing::TestWithParam<Isa> {
 protected:
  const Dct248Kernels& c = kDct248KernelsC;
  const Dct248Kernels& s() const { return dct248_kernels(GetParam()); }
  Rng rng = kvntest::rng_for(::testing::UnitTest::GetInstance()->current_test_info()->name());
};

TEST_P(Dct248Diff, InverseAndForward) {
  for (int dir = 0; dir < 2; ++dir) {
    const Dct248Fn ref = dir ? c.fwd : c.inv, simd = dir ? s().fwd : s().inv;
    if (ref == simd) continue;
    for (int t = 0; t < kTrials; ++t) {
      int16_t want[64], got[64];
      fill(rng, want);
      std::memcpy(got, want, sizeof want);
      ref(want);
      kvntest::note_compared(simd)(got);
      for (int i = 0; i < 64; ++i)
        ASSERT_EQ(want[i], got[i]) << (dir ? "fwd" : "inv") << " trial " << t << " position " << i << " "
                                   << isa_name(GetParam()) << " " << kvntest::seed_note();
    }
  }
}

TEST_P(Dct248Diff, Dv100Weight) {
  if (c.dv100_weight == s().dv100_weight) GTEST_SKIP() << "no SIMD kernel at this level";
  for (int t = 0; t < kTrials; ++t) {
    int16_t want[64], got[64], w[64];
    uint16_t d[64];
    fill(rng, want);
    fill(rng, w);
    static const uint16_t kDeqEdge[] = {0, 1, 32767, 32768, 65535};
    for (auto& v : d)
      v = uint16_t(rng.coin() ? rng.range(1, 3328) : rng.one_in(3) ? kDeqEdge[rng.range(0, 4)] : rng.u32());
    std::memcpy(got, want, sizeof want);
    c.dv100_weight(want, d, w);
    kvntest::note_compared(s().dv100_weight)(got, d, w);
    ASSERT_EQ(0, std::memcmp(want, got, sizeof want)) << "trial " << t << " " << kvntest::seed_note();
  }
}

INSTANTIATE_TEST_SUITE_P(Simd, Dct248Diff, ::testing::ValuesIn(kvntest::simd_levels()),
                         [](const ::testing::TestParamInfo<Isa>& i) { return std::string(isa_name(i.param)); });
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(Dct248Diff);

}  // namespace
