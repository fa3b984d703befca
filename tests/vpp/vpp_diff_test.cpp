// Every SIMD kernel of the deinterlacing row and the 4:2:2 to 4:2:0
// conversion against its scalar reference: every width up to past two
// vector steps, random and extreme data (ties between the directions
// included), every alignment, signed and odd steps, inputs allocated exactly
// to what the kernel may read, guard bytes around every output.
#include <string>

#include "support/harness.h"
#include "vpp/cc422_rotate.h"
#include "vpp/deinterlace.h"

namespace {

using namespace kvn;
using kvntest::Area;
using kvntest::Rng;

class VppDiff : public ::testing::TestWithParam<Isa> {
 protected:
  Rng rng = kvntest::rng_for(::testing::UnitTest::GetInstance()->current_test_info()->name());
};

TEST_P(VppDiff, EdgeRowMatchesTheReference) {
  const DeinterlaceRowFn ref = kDeinterlaceKernelsC.edge_row, simd = deinterlace_kernels(GetParam()).edge_row;
  if (ref == simd) GTEST_SKIP();
  for (int w = 1; w <= 70; ++w)
    for (int t = 0; t < 24; ++t) {
      const int align = t & 15;
      // Three rows of one area (a, b, the same-index row) at a random step.
      const int step = kvntest::random_step(rng, w, true);
      Area in(w, 3, step, align);
      // Few distinct values make ties between the three differences common.
      if (t % 3 == 0)
        for (int i = 0; i < 3; ++i)
          for (int x = 0; x < w; ++x) in.origin()[i * step + x] = uint8_t(rng.range(0, 3) * 40);
      else
        in.fill(rng, kvntest::kAllFills[rng.range(0, 4)]);
      Area got(w, 1, w, (align * 3) & 15, 32);
      got.fill(rng, kvntest::Fill::kRandom);
      const Area before(got);
      Area want(got);
      const uint8_t* a = in.origin();
      ref(a, a + step, a + 2 * step, want.origin(), w);
      kvntest::note_compared(simd)(a, a + step, a + 2 * step, got.origin(), w);
      ASSERT_TRUE(kvntest::same_area(before, want, got)) << "width " << w;
    }
}

TEST_P(VppDiff, Cc422MatchesTheReference) {
  const Cc422RotateKernels& c = kCc422RotateKernelsC;
  const Cc422RotateKernels& s = cc422_rotate_kernels(GetParam());
  for (int planar = 0; planar <= 1; ++planar)
    for (int rot = 0; rot < kCc422Rotations; ++rot) {
      const Cc422Fn ref = planar ? c.p3[rot] : c.c2p3[rot], simd = planar ? s.p3[rot] : s.c2p3[rot];
      if (ref == simd) continue;
      for (int t = 0; t < 120; ++t) {
        const int w = t < 40 ? 2 * (t + 1) : 2 * rng.range(1, 60),
                  h = t < 40 ? 2 * rng.range(1, 4) : 2 * rng.range(1, 20);
        const int align = t & 15;
        // Sources.
        const int yBytes = planar ? w : 2 * w;
        Area sy(yBytes, h, kvntest::random_step(rng, yBytes, true), align);
        Area scb(w / 2, h, kvntest::random_step(rng, w / 2, true), (align + 3) & 15);
        Area scr(w / 2, h, kvntest::random_step(rng, w / 2, true), (align + 7) & 15);
        for (Area* a : {&sy, &scb, &scr}) a->fill(rng, kvntest::kAllFills[rng.range(0, 4)]);
        // Destinations (rotated sizes for quarter turns).
        const bool quarter = rot == 1 || rot == 2;
        const int dw = quarter ? h : w, dh = quarter ? w : h;
        Area dy(dw, dh, kvntest::random_step(rng, dw, false), (align * 5) & 15, 32);
        Area dcb(dw / 2, dh / 2, kvntest::random_step(rng, dw / 2, false), (align * 7) & 15, 32);
        Area dcr(dw / 2, dh / 2, kvntest::random_step(rng, dw / 2, false), (align * 11) & 15, 32);
        for (Area* a : {&dy, &dcb, &dcr}) a->fill(rng, kvntest::Fill::kRandom);
        const Area by(dy), bcb(dcb), bcr(dcr);
        Area wy(dy), wcb(dcb), wcr(dcr);
        const Cc422Src src = {{sy.origin(), scb.origin(), scr.origin()}, {sy.step(), scb.step(), scr.step()}};
        ref(src, w, h, Cc422Dst{{wy.origin(), wcb.origin(), wcr.origin()}, {dy.step(), dcb.step(), dcr.step()}});
        kvntest::note_compared(simd)(
            src, w, h, Cc422Dst{{dy.origin(), dcb.origin(), dcr.origin()}, {dy.step(), dcb.step(), dcr.step()}});
        const std::string what = std::string(planar ? "planar" : "interleaved") + " rotation " + std::to_string(rot) +
                                 " " + std::to_string(w) + "x" + std::to_string(h);
        ASSERT_TRUE(kvntest::same_area(by, wy, dy)) << what << " Y";
        ASSERT_TRUE(kvntest::same_area(bcb, wcb, dcb)) << what << " Cb";
        ASSERT_TRUE(kvntest::same_area(bcr, wcr, dcr)) << what << " Cr";
      }
    }
}

INSTANTIATE_TEST_SUITE_P(Levels, VppDiff, ::testing::ValuesIn(kvntest::simd_levels()),
                         [](const ::testing::TestParamInfo<Isa>& i) { return std::string(isa_name(i.param)); });
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(VppDiff);

}  // namespace
