// Every SIMD kernel of the MPEG-2 quantisers against its scalar reference:
// levels and weights over their whole ranges, scales from the usual 1..112 to
// the extremes of 32 bits, reciprocal weights with infinities and NaNs.
#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "mpeg2/quant_mpeg2.h"
#include "support/harness.h"

namespace {

using namespace kvn;
using kvntest::Rng;

constexpr int kTrials = 400;

void fill_levels(Rng& rng, int16_t* b) {
  const int kind = rng.range(0, 3);
  for (int i = 0; i < 64; ++i) {
    static const int16_t kEdge[] = {-32768, 32767, -2048, 2047, 1, -1, 0, 2048};
    switch (kind) {
      case 0: b[i] = int16_t(rng.u32()); break;
      case 1: b[i] = kEdge[rng.range(0, 7)]; break;
      case 2: b[i] = int16_t(rng.range(-2048, 2047)); break;
      default: b[i] = rng.one_in(4) ? int16_t(rng.range(-40, 40)) : int16_t(0); break;
    }
  }
}

int32_t pick_scale(Rng& rng) {
  static const int32_t kEdge[] = {1,          2,         3,         31,    112,    -1,     -7,
                                  32767,      32768,     32769,     65536, -32768, -32769, 1 << 20,
                                  -(1 << 20), INT32_MAX, INT32_MIN, 21845, 21846,  -21846};
  return rng.coin() ? rng.range(1, 112) : kEdge[rng.range(0, int(sizeof kEdge / sizeof kEdge[0]) - 1)];
}

void fill_weights(Rng& rng, uint16_t* w) {
  const int kind = rng.range(0, 2);
  for (int i = 0; i < 64; ++i)
    w[i] = kind == 0 ? uint16_t(rng.range(1, 255)) : kind == 1 ? uint16_t(rng.u32()) : uint16_t(rng.range(0, 3));
}

void fill_recip(Rng& rng, float* r) {
  const int kind = rng.range(0, 3);
  for (int i = 0; i < 64; ++i) {
    if (kind == 0) {
      r[i] = 1.0f / float(rng.range(1, 255));
    } else if (kind == 1) {
      r[i] = quant_mpeg2::kDefaultIntraRecip[i];
    } else if (kind == 2) {
      static const float kOdd[] = {std::numeric_limits<float>::infinity(),
                                   -std::numeric_limits<float>::infinity(),
                                   std::numeric_limits<float>::quiet_NaN(),
                                   0.0f,
                                   -0.0f,
                                   1e30f,
                                   1e-30f,
                                   0.5f};
      r[i] = kOdd[rng.range(0, 7)];
    } else {
      uint32_t bits = rng.u32();
      std::memcpy(&r[i], &bits, 4);
    }
  }
}

class QuantMpeg2Diff : public ::testing::TestWithParam<Isa> {
 protected:
  const QuantMpeg2Kernels& c = kQuantMpeg2KernelsC;
  const QuantMpeg2Kernels& s() const { return quant_mpeg2_kernels(GetParam()); }
  Rng rng = kvntest::rng_for(::testing::UnitTest::GetInstance()->current_test_info()->name());
  std::string tag(const char* fn, int t) const {
    return std::string(fn) + " trial " + std::to_string(t) + " " + isa_name(GetParam()) + " " + kvntest::seed_note();
  }
};

::testing::AssertionResult same_block(const int16_t* want, const int16_t* got) {
  for (int i = 0; i < 64; ++i)
    if (want[i] != got[i])
      return ::testing::AssertionFailure() << "position " << i << ": " << got[i] << ", want " << want[i];
  return ::testing::AssertionSuccess();
}

TEST_P(QuantMpeg2Diff, Forward) {
  for (int t = 0; t < kTrials; ++t) {
    int16_t block[64], want[64], got[64];
    fill_levels(rng, block);
    float recip[64];
    fill_recip(rng, recip);
    const int32_t q = pick_scale(rng);
    const float scale = 16.0f / float(q);
    for (int intra = 0; intra < 2; ++intra) {
      const QuantFloatFn ref = intra ? c.quant_float_intra : c.quant_float;
      const QuantFloatFn simd = intra ? s().quant_float_intra : s().quant_float;
      if (ref == simd) continue;
      std::memcpy(want, block, sizeof block);
      std::memcpy(got, block, sizeof block);
      const int32_t nw = ref(want, scale, recip), ng = kvntest::note_compared(simd)(got, scale, recip);
      ASSERT_TRUE(same_block(want, got)) << tag(intra ? "quant_float_intra" : "quant_float", t);
      ASSERT_EQ(nw, ng) << tag(intra ? "quant_float_intra" : "quant_float", t);
    }
    if (c.quant_recip != s().quant_recip) {
      const uint32_t r = quant_mpeg2::reciprocal(q > 0 ? q : 1 + (t % 300));
      std::memcpy(want, block, sizeof block);
      std::memcpy(got, block, sizeof block);
      const int32_t nw = c.quant_recip(want, r), ng = kvntest::note_compared(s().quant_recip)(got, r);
      ASSERT_TRUE(same_block(want, got)) << tag("quant_recip", t) << " r " << r;
      ASSERT_EQ(nw, ng) << tag("quant_recip", t);
    }
    if (c.count != s().count) {
      ASSERT_EQ(c.count(block), kvntest::note_compared(s().count)(block)) << tag("count", t);
    }
  }
}

TEST_P(QuantMpeg2Diff, Inverse) {
  for (int t = 0; t < kTrials; ++t) {
    int16_t block[64], want[64], got[64];
    fill_levels(rng, block);
    uint16_t w[64];
    fill_weights(rng, w);
    const int32_t q = pick_scale(rng);
    for (int intra = 0; intra < 2; ++intra) {
      const QuantInvFn ref = intra ? c.inv_intra : c.inv, simd = intra ? s().inv_intra : s().inv;
      if (ref == simd) continue;
      std::memcpy(want, block, sizeof block);
      std::memcpy(got, block, sizeof block);
      ref(want, q, w);
      kvntest::note_compared(simd)(got, q, w);
      ASSERT_TRUE(same_block(want, got)) << tag(intra ? "inv_intra" : "inv", t) << " q " << q;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Simd, QuantMpeg2Diff, ::testing::ValuesIn(kvntest::simd_levels()),
                         [](const ::testing::TestParamInfo<Isa>& i) { return std::string(isa_name(i.param)); });
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(QuantMpeg2Diff);

}  // namespace
