// Every SIMD kernel of the H.264 4x4 and DC transform families against its
// scalar reference: every qp, intra and inter, with and without scale levels,
// random and extreme coefficients (values that saturate or wrap), all
// alignments of the blocks and strided buffers.
#include <cstring>
#include <string>

#include "h264/transform/dc.h"
#include "h264/transform/dequant4x4.h"
#include "h264/transform/quant4x4.h"
#include "support/harness.h"

namespace {

using namespace kvn;
using kvntest::Area;
using kvntest::Rng;

// How 16-bit coefficients are drawn.
enum class Coeffs { kUniform, kExtremes, kResidual8, kResidual14, kSparse, kNearLimit, kCount };

int16_t draw(Rng& rng, Coeffs kind) {
  switch (kind) {
    case Coeffs::kUniform: return int16_t(rng.u32());
    case Coeffs::kExtremes: {
      static const int16_t kSpecial[] = {-32768, 32767, -32767, 16383, -16384, 8192, -8193, 0, 1, -1};
      return kSpecial[rng.range(0, 9)];
    }
    case Coeffs::kResidual8: return int16_t(rng.range(-255, 255));
    case Coeffs::kResidual14: return int16_t(rng.range(-16383, 16383));
    case Coeffs::kSparse: return rng.range(0, 3) == 0 ? int16_t(rng.range(-40, 40)) : 0;
    default: return int16_t(rng.coin() ? rng.range(2050, 2080) : -rng.range(2050, 2080));
  }
}

// A dense block of n 16-bit values at a 2-byte alignment; outputs get guards.
Area block16(Rng& rng, int n, int align, bool output, Coeffs kind) {
  Area a(2 * n, 1, 2 * n, align & ~1, output ? 32 : 0);
  if (output) a.fill(rng, kvntest::Fill::kRandom);
  for (int i = 0; i < n; ++i) a.as<int16_t>()[i] = draw(rng, kind);
  return a;
}

Coeffs pick(Rng& rng) { return Coeffs(rng.range(0, int(Coeffs::kCount) - 1)); }

// Scale levels: those of a scaling list, or arbitrary 16-bit values.
Area scale16(Rng& rng, int align, bool inverse) {
  Area a(32, 1, 32, align & ~1);
  for (int i = 0; i < 16; ++i)
    a.as<int16_t>()[i] = rng.coin() ? int16_t(inverse ? rng.range(1, 7395) : rng.range(1, 13107)) : int16_t(rng.u32());
  return a;
}

// A scan table: a permutation of 0..15, or arbitrary values.
Area scan16(Rng& rng) {
  Area a(32, 1, 32, 0);
  int16_t* s = a.as<int16_t>();
  for (int i = 0; i < 16; ++i) s[i] = int16_t(i);
  for (int i = 15; i > 0; --i) std::swap(s[i], s[rng.range(0, i)]);
  if (rng.range(0, 3) == 0)
    for (int i = 0; i < 16; ++i) s[i] = int16_t(rng.u32());
  return a;
}

class H264Diff : public ::testing::TestWithParam<Isa> {
 protected:
  Rng rng = kvntest::rng_for(::testing::UnitTest::GetInstance()->current_test_info()->name());
  std::string tag(const char* fn, int qp, int align) const {
    return std::string(fn) + " qp " + std::to_string(qp) + " align " + std::to_string(align) + " " +
           isa_name(GetParam()) + " " + kvntest::seed_note();
  }
};

TEST_P(H264Diff, ForwardTransformAndQuantise) {
  const Quant4x4Kernels& c = kQuant4x4KernelsC;
  const Quant4x4Kernels& s = quant4x4_kernels(GetParam());
  for (int qp = 0; qp <= 51; ++qp)
    for (int align = 0; align < 16; align += 2)
      for (int intra = 0; intra < 2; ++intra) {
        const Area src = block16(rng, 16, align, false, pick(rng));
        const Area scan = scan16(rng);
        const Area scale = scale16(rng, align, false);
        const int16_t* sl = rng.coin() ? scale.as<int16_t>() : nullptr;
        const std::string what = tag("tq16s", qp, align);
        const Area before = block16(rng, 16, 14 - align, true, Coeffs::kUniform);
        if (s.tq16s != c.tq16s) {
          Area want(before), got(before);
          int32_t nw = 99, ng = 98, lw = 99, lg = 98;
          c.tq16s(src.as<int16_t>(), want.as<int16_t>(), qp, &nw, intra, scan.as<int16_t>(), &lw, sl);
          kvntest::note_compared(s.tq16s)(src.as<int16_t>(), got.as<int16_t>(), qp, &ng, intra, scan.as<int16_t>(), &lg,
                                          sl);
          ASSERT_TRUE(kvntest::same_area(before, want, got)) << what;
          ASSERT_EQ(nw, ng) << what;
          ASSERT_EQ(lw, lg) << what;
        }
        if (s.quant16s != c.quant16s) {
          Area want(before), got(before);
          int32_t nw = 99, ng = 98, lw = 99, lg = 98;
          c.quant16s(src.as<int16_t>(), want.as<int16_t>(), &nw, &lw, sl, scan.as<int16_t>(), qp, intra);
          kvntest::note_compared(s.quant16s)(src.as<int16_t>(), got.as<int16_t>(), &ng, &lg, sl, scan.as<int16_t>(), qp,
                                             intra);
          ASSERT_TRUE(kvntest::same_area(before, want, got)) << tag("quant16s", qp, align);
          ASSERT_EQ(nw, ng) << tag("quant16s", qp, align);
          ASSERT_EQ(lw, lg) << tag("quant16s", qp, align);
        }
        if (s.fwd16s != c.fwd16s && qp == 0) {
          Area want(before), got(before);
          c.fwd16s(src.as<int16_t>(), want.as<int16_t>());
          kvntest::note_compared(s.fwd16s)(src.as<int16_t>(), got.as<int16_t>());
          ASSERT_TRUE(kvntest::same_area(before, want, got)) << tag("fwd16s", qp, align);
        }
      }
}

// Prediction and destination areas of 4x4 samples.
Area pred_area(Rng& rng, int align) {
  Area a(4, 4, kvntest::random_step(rng, 4, true), align);
  a.fill(rng, kvntest::kAllFills[rng.range(0, 4)]);
  return a;
}
Area dst_area(Rng& rng, int align) {
  Area a(4, 4, kvntest::random_step(rng, 4, true), align, 32);
  a.fill(rng, kvntest::Fill::kRandom);
  return a;
}

TEST_P(H264Diff, InverseAddPrediction) {
  const Dequant4x4Kernels& c = kDequant4x4KernelsC;
  const Dequant4x4Kernels& s = dequant4x4_kernels(GetParam());
  for (int qp = 0; qp <= 51; ++qp)
    for (int align = 0; align < 16; ++align)
      for (int t = 0; t < 2; ++t) {
        const Area pred = pred_area(rng, align);
        const Area dst0 = dst_area(rng, 15 - align);
        const Area coef0 = block16(rng, 16, align, true, pick(rng));
        const Area scale = scale16(rng, align, true);
        const int16_t* sl = rng.coin() ? scale.as<int16_t>() : nullptr;
        const int16_t dcv = draw(rng, pick(rng));
        const int16_t* dc = rng.coin() ? &dcv : nullptr;
        const int32_t ac = rng.range(0, 3);
        if (s.inv_add16s != c.inv_add16s) {
          Area cw(coef0), cg(coef0), dw(dst0), dg(dst0);
          c.inv_add16s(pred.as<uint8_t>(), pred.step(), cw.as<int16_t>(), dc, dw.origin(), dw.step(), qp, ac, sl);
          kvntest::note_compared(s.inv_add16s)(pred.as<uint8_t>(), pred.step(), cg.as<int16_t>(), dc, dg.origin(),
                                               dg.step(), qp, ac, sl);
          ASSERT_TRUE(kvntest::same_area(coef0, cw, cg)) << tag("inv_add16s coef", qp, align);
          ASSERT_TRUE(kvntest::same_area(dst0, dw, dg)) << tag("inv_add16s dst", qp, align);
        }
        if (s.dequant_add != c.dequant_add) {
          const bool no_coef = dc && !(ac & 1) && rng.coin();
          Area cw(coef0), cg(coef0), dw(dst0), dg(dst0);
          c.dequant_add(pred.as<uint8_t>(), no_coef ? nullptr : cw.as<int16_t>(), dc, dw.origin(), pred.step(),
                        dw.step(), qp, ac);
          kvntest::note_compared(s.dequant_add)(pred.as<uint8_t>(), no_coef ? nullptr : cg.as<int16_t>(), dc,
                                                dg.origin(), pred.step(), dg.step(), qp, ac);
          ASSERT_TRUE(kvntest::same_area(coef0, cw, cg)) << tag("dequant_add coef", qp, align);
          ASSERT_TRUE(kvntest::same_area(dst0, dw, dg)) << tag("dequant_add dst", qp, align);
        }
        if (s.dequant_residual != c.dequant_residual) {
          const int step = 8 + 2 * rng.range(0, 12);
          Area blk(8, 4, step, align & ~1, 32);
          for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j) reinterpret_cast<int16_t*>(blk.origin() + i * step)[j] = draw(rng, pick(rng));
          Area want(blk), got(blk);
          c.dequant_residual(want.as<int16_t>(), step, dc, ac, qp);
          kvntest::note_compared(s.dequant_residual)(got.as<int16_t>(), step, dc, ac, qp);
          ASSERT_TRUE(kvntest::same_area(blk, want, got)) << tag("dequant_residual", qp, align);
        }
        if (s.inv16s != c.inv16s && qp == 0) {
          Area want(coef0), got(coef0);
          c.inv16s(coef0.as<int16_t>(), want.as<int16_t>());
          kvntest::note_compared(s.inv16s)(coef0.as<int16_t>(), got.as<int16_t>());
          ASSERT_TRUE(kvntest::same_area(coef0, want, got)) << tag("inv16s", qp, align);
        }
      }
}

TEST_P(H264Diff, LumaDc) {
  const DcKernels& c = kDcKernelsC;
  const DcKernels& s = dc_kernels(GetParam());
  for (int qp = 0; qp <= 51; ++qp)
    for (int align = 0; align < 16; align += 2)
      for (int t = 0; t < 4; ++t) {
        const Coeffs kind = pick(rng);
        const Area dc0 = block16(rng, 16, align, true, kind);
        const Area tr0 = block16(rng, 16, 14 - align, true, pick(rng));
        const Area scan = scan16(rng);
        const Area fscale = scale16(rng, align, false), iscale = scale16(rng, align, true);
        const bool use_scale = rng.coin();
        if (s.fwd_luma16s != c.fwd_luma16s) {
          const int32_t transform = rng.range(0, 2);
          Area dw(dc0), dg(dc0), tw(tr0), tg(tr0);
          int32_t nw = 99, ng = 98, lw = 99, lg = 98;
          const int16_t* sl = use_scale ? fscale.as<int16_t>() : nullptr;
          c.fwd_luma16s(dw.as<int16_t>(), tw.as<int16_t>(), qp, &nw, transform, scan.as<int16_t>(), &lw, sl);
          kvntest::note_compared(s.fwd_luma16s)(dg.as<int16_t>(), tg.as<int16_t>(), qp, &ng, transform,
                                                scan.as<int16_t>(), &lg, sl);
          ASSERT_TRUE(kvntest::same_area(dc0, dw, dg)) << tag("fwd_luma16s dc", qp, align);
          ASSERT_TRUE(kvntest::same_area(tr0, tw, tg)) << tag("fwd_luma16s tr", qp, align);
          ASSERT_EQ(nw, ng) << tag("fwd_luma16s", qp, align);
          ASSERT_EQ(lw, lg) << tag("fwd_luma16s", qp, align);
        }
        if (s.inv_luma16s != c.inv_luma16s) {
          Area want(dc0), got(dc0);
          const int16_t* sl = use_scale ? iscale.as<int16_t>() : nullptr;
          c.inv_luma16s(want.as<int16_t>(), qp, sl);
          kvntest::note_compared(s.inv_luma16s)(got.as<int16_t>(), qp, sl);
          ASSERT_TRUE(kvntest::same_area(dc0, want, got)) << tag("inv_luma16s", qp, align);
        }
      }
}

INSTANTIATE_TEST_SUITE_P(Levels, H264Diff, ::testing::ValuesIn(kvntest::simd_levels()),
                         [](const auto& info) { return std::string(isa_name(info.param)); });
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(H264Diff);

}  // namespace
