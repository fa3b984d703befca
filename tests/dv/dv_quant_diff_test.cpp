// Every SIMD kernel of the DV dequantisers against its scalar reference: any
// 16-bit values and table entries (products that overflow 16 bits, the
// extremes), every alignment of the block and tables.
#include <string>

#include "dv/dv_quant.h"
#include "support/harness.h"

namespace {

using namespace kvn;
using kvntest::Rng;

void fill16(Rng& rng, uint16_t* v) {
  static const uint16_t kEdge[] = {0, 1, 0x7fff, 0x8000, 0xffff, 0xfff8, 7, 8, 0x4000, 0xc000};
  const int kind = rng.range(0, 2);
  for (int i = 0; i < 64; ++i)
    v[i] = kind == 0 ? uint16_t(rng.u32()) : kind == 1 ? kEdge[rng.range(0, 9)] : uint16_t(rng.range(-300, 300));
}

class DvQuantDiff : public ::testing::TestWithParam<Isa> {
 protected:
  const DvQuantKernels& c = kDvQuantKernelsC;
  const DvQuantKernels& s() const { return dv_quant_kernels(GetParam()); }
  Rng rng = kvntest::rng_for(::testing::UnitTest::GetInstance()->current_test_info()->name());
};

TEST_P(DvQuantDiff, EveryKernelMatchesTheReference) {
  auto inv = kvntest::note_compared(s().inv);
  auto weightInv = kvntest::note_compared(s().weight_inv);
  alignas(32) uint16_t mem[4][64 + 16];
  for (int t = 0; t < 2000; ++t) {
    const int a = t % 16;
    uint16_t *block = mem[0] + a % 8, *table = mem[1] + (a * 3) % 8, *weights = mem[2] + (a * 5) % 8;
    fill16(rng, block);
    fill16(rng, table);
    fill16(rng, weights);
    int16_t want[64];
    for (int i = 0; i < 64; ++i) want[i] = int16_t(block[i]);
    uint16_t* got = mem[3] + a % 8;
    for (int i = 0; i < 64; ++i) got[i] = block[i];
    if (t % 2) {
      c.inv(want, reinterpret_cast<int16_t*>(table));
      inv(reinterpret_cast<int16_t*>(got), reinterpret_cast<int16_t*>(table));
    } else {
      c.weight_inv(want, table, reinterpret_cast<int16_t*>(weights));
      weightInv(reinterpret_cast<int16_t*>(got), table, reinterpret_cast<int16_t*>(weights));
    }
    for (int i = 0; i < 64; ++i)
      ASSERT_EQ(int16_t(got[i]), want[i]) << (t % 2 ? "inv" : "weight_inv") << " trial " << t << " at " << i << " "
                                          << isa_name(GetParam()) << " " << kvntest::seed_note();
  }
}

INSTANTIATE_TEST_SUITE_P(Simd, DvQuantDiff, ::testing::ValuesIn(kvntest::simd_levels()),
                         [](const auto& info) { return std::string(isa_name(info.param)); });
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(DvQuantDiff);

}  // namespace
