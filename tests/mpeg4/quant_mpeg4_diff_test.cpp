// Every SIMD kernel of the uniform (H.263, MPEG-4 method 1) and MPEG-4
// matrix quantisers against its scalar reference: every quantiser of every
// bits per pixel (QP 1..511), the parameters of every mode, weights 1..255,
// levels over the whole 16-bit range with the values where the saturations
// start, every last index, blocks at every even alignment inside guard bytes.
#include <cstring>
#include <string>

#include "mpeg4/quant_h263.h"
#include "mpeg4/quant_mpeg4.h"
#include "support/harness.h"

namespace {

using namespace kvn;
using kvntest::Area;
using kvntest::Rng;

void fill_levels(Rng& rng, int16_t* b) {
  static const int16_t kEdge[] = {-32768, 32767, -32767, 16384, -16384, 4095, 4096, -4096, 2047, -2048, 1, -1, 0};
  const int kind = rng.range(0, 3);
  for (int i = 0; i < 64; ++i) switch (kind) {
      case 0: b[i] = int16_t(rng.u32()); break;
      case 1: b[i] = kEdge[rng.range(0, int(sizeof kEdge / sizeof kEdge[0]) - 1)]; break;
      case 2: b[i] = int16_t(rng.range(-2048, 2047)); break;
      default: b[i] = rng.one_in(3) ? int16_t(rng.range(-300, 300)) : int16_t(0); break;
    }
}

// Reconstruction ranges: H.263 with and without Annex T, MPEG-4 for 4..12 bits.
void pick_range(Rng& rng, int32_t& lo, int32_t& hi) {
  const int b = rng.range(2, 12);
  if (b == 2)
    lo = -2048, hi = 2047;
  else if (b == 3)
    lo = -32768, hi = 32767;
  else
    lo = -(1 << (b + 3)), hi = (1 << (b + 3)) - 1;
}

std::vector<uint8_t> draw_weights(Rng& rng) {
  std::vector<uint8_t> w(64);
  const int kind = rng.range(0, 3);
  for (auto& x : w) x = uint8_t(kind == 0 ? 1 : kind == 1 ? 255 : kind == 2 ? rng.range(1, 3) * 8 : rng.range(1, 255));
  return w;
}

class QuantMpeg4Diff : public ::testing::TestWithParam<Isa> {
 protected:
  Rng rng = kvntest::rng_for(::testing::UnitTest::GetInstance()->current_test_info()->name());
  std::string tag(const char* fn, int qp) const {
    return std::string(fn) + " QP " + std::to_string(qp) + " " + isa_name(GetParam()) + " " + kvntest::seed_note();
  }
  // The same block at an even alignment in two areas with guard bytes.
  template <class Run>
  ::testing::AssertionResult compare(const int16_t* block, Run&& run) {
    const int align = 2 * rng.range(0, 7);
    Area want(128, 1, 128, align, 32);
    std::memcpy(want.origin(), block, 128);
    const Area before(want);
    Area got(want);
    const int32_t nw = run(false, want.as<int16_t>()), ng = run(true, got.as<int16_t>());
    if (nw != ng) return ::testing::AssertionFailure() << "returns " << ng << ", want " << nw;
    return kvntest::same_area(before, want, got);
  }
};

TEST_P(QuantMpeg4Diff, Uniform) {
  const QuantH263Kernels &c = kQuantH263KernelsC, &s = quant_h263_kernels(GetParam());
  int16_t block[64];
  for (int qp = 1; qp <= 511; ++qp)
    for (int t = 0; t < (qp <= 31 ? 12 : 2); ++t) {
      fill_levels(rng, block);
      if (c.quant != s.quant) {
        const int mode = rng.range(0, 2);
        const UniformQuant q{mode == 2 ? uint32_t(3 * qp / 4) : 0u, mode == 0 ? uint32_t(qp / 2) : 0u,
                             mode == 2 ? 32767u : 32768u, quant_h263::recip(qp), rng.coin() ? 127u : 65535u};
        ASSERT_TRUE(compare(
            block, [&](bool simd, int16_t* b) { return simd ? kvntest::note_compared(s.quant)(b, q) : c.quant(b, q); }))
            << tag("quant", qp) << " mode " << mode;
      }
      if (c.inv != s.inv) {
        int32_t lo, hi;
        pick_range(rng, lo, hi);
        const int mode = rng.range(0, 3);
        const int32_t mul = mode == 3 ? 8 : 2 * qp, odd = mode < 2 ? quant_h263::odd_term(qp) : 0;
        const int32_t last = rng.coin() ? 63 : rng.range(0, 63);
        ASSERT_TRUE(compare(block,
                            [&](bool simd, int16_t* b) {
                              (simd ? kvntest::note_compared(s.inv) : c.inv)(b, last, mul, odd, lo, hi);
                              return 0;
                            }))
            << tag("inv", qp) << " mode " << mode << " last " << last << " range " << lo << ".." << hi;
      }
    }
}

TEST_P(QuantMpeg4Diff, Matrix) {
  const QuantMpeg4Kernels &c = kQuantMpeg4KernelsC, &s = quant_mpeg4_kernels(GetParam());
  int16_t block[64];
  for (int qp = 1; qp <= 511; ++qp)
    for (int t = 0; t < (qp <= 31 ? 12 : 3); ++t) {
      fill_levels(rng, block);
      const std::vector<uint8_t> w = draw_weights(rng);
      if (qp <= 31 && c.quant_matrix != s.quant_matrix) {
        KvnQuantState_MPEG4 st{};
        for (int k = 0; k < 64; ++k) {
          st.weights[k] = uint16_t(w[size_t(k)] / 2);
          st.scale.reciprocals[k] = uint16_t(w[size_t(k)] == 1 ? 65535 : 65536 / w[size_t(k)] + 1);
        }
        const int32_t first = rng.range(0, 1);
        const uint32_t add = first ? uint32_t((3 * qp + 2) / 4) : 0u;
        ASSERT_TRUE(compare(block,
                            [&](bool simd, int16_t* b) {
                              return simd ? kvntest::note_compared(s.quant_matrix)(b, st, qp, first, add)
                                          : c.quant_matrix(b, st, qp, first, add);
                            }))
            << tag("quant_matrix", qp) << " first " << first;
      }
      uint16_t w16[64];
      for (int k = 0; k < 64; ++k) w16[k] = w[size_t(k)];
      int32_t lo, hi;
      pick_range(rng, lo, hi);
      const int32_t last = rng.coin() ? 63 : rng.range(0, 63);
      for (int intra = 0; intra < 2; ++intra) {
        const Mpeg4InvMatrixFn ref = intra ? c.inv_intra : c.inv_inter, simd = intra ? s.inv_intra : s.inv_inter;
        if (ref == simd) continue;
        ASSERT_TRUE(compare(block,
                            [&](bool useSimd, int16_t* b) {
                              return useSimd ? kvntest::note_compared(simd)(b, last, w16, qp, lo, hi)
                                             : ref(b, last, w16, qp, lo, hi);
                            }))
            << tag(intra ? "inv_intra" : "inv_inter", qp) << " last " << last << " range " << lo << ".." << hi;
      }
    }
}

INSTANTIATE_TEST_SUITE_P(Simd, QuantMpeg4Diff, ::testing::ValuesIn(kvntest::simd_levels()),
                         [](const ::testing::TestParamInfo<Isa>& i) { return std::string(isa_name(i.param)); });
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(QuantMpeg4Diff);

}  // namespace
