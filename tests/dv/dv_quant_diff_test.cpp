// Every SIMD kernel of the DV dequantisers against its scalar reference: any
// 16-bit values and table entries, the extremes, every alignment.
#include <algorithm>
#include <string>

#include "dv/dv_quant.h"
#include "support/harness.h"

namespace {

using namespace kvn;

class DvQuantDiff : public ::testing::TestWithParam<Isa> {};

TEST_P(DvQuantDiff, EveryKernelMatchesTheReference) {
  const DvQuantKernels &c = kDvQuantKernelsC, &s = dv_quant_kernels(GetParam());
  const auto inv = kvntest::note_compared(s.inv);
  const auto weightInv = kvntest::note_compared(s.weight_inv);
  kvntest::Rng rng = kvntest::rng_for(::testing::UnitTest::GetInstance()->current_test_info()->name());
  static const int16_t kEdge[] = {0, 1, -1, 32767, -32768, -8, 7, 8, 16384, -16384};
  alignas(16) int16_t mem[4][64 + 8];
  for (int t = 0; t < 2000; ++t) {
    int16_t* v[4];
    for (int i = 0; i < 4; ++i) {
      v[i] = mem[i] + (t + 3 * i) % 8;
      const int kind = rng.range(0, 2);
      for (int k = 0; k < 64; ++k)
        v[i][k] = int16_t(kind == 0 ? int(rng.u32()) : kind == 1 ? kEdge[rng.range(0, 9)] : rng.range(-300, 300));
    }
    int16_t want[64];
    std::copy(v[0], v[0] + 64, want);
    if (t % 2) {
      c.inv(want, v[1]);
      inv(v[0], v[1]);
    } else {
      c.weight_inv(want, reinterpret_cast<uint16_t*>(v[2]), v[3]);
      weightInv(v[0], reinterpret_cast<uint16_t*>(v[2]), v[3]);
    }
    ASSERT_TRUE(std::equal(want, want + 64, v[0])) << (t % 2 ? "inv" : "weight_inv") << " trial " << t << " "
                                                   << isa_name(GetParam()) << " " << kvntest::seed_note();
  }
}

INSTANTIATE_TEST_SUITE_P(Simd, DvQuantDiff, ::testing::ValuesIn(kvntest::simd_levels()),
                         [](const auto& info) { return std::string(isa_name(info.param)); });
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(DvQuantDiff);

}  // namespace
