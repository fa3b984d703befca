// Every SIMD kernel of the chroma interpolation, block average and border
// expansion against its scalar reference: every width, kind and fraction,
// every alignment, signed and odd steps, sources allocated exactly to the
// region the kernel may read, guard bytes around every destination.
#include <cstring>
#include <string>
#include <vector>

#include "h264/inter/interp_chroma.h"
#include "support/harness.h"

namespace {

using namespace kvn;
using kvntest::Area;
using kvntest::Rng;

class InterpChromaDiff : public ::testing::TestWithParam<Isa> {
 protected:
  Rng rng = kvntest::rng_for(::testing::UnitTest::GetInstance()->current_test_info()->name());
  const InterpChromaKernels& c = kInterpChromaKernelsC;
  const InterpChromaKernels& s = interp_chroma_kernels(GetParam());
};

// 16-bit samples limited to a bit depth of 8..16.
void limit16(Area& a, int bitDepth) {
  for (int r = 0; r < a.rows(); ++r)
    for (int x = 0; x + 1 < a.row_bytes(); x += 2) {
      uint8_t* p = a.origin() + std::ptrdiff_t(r) * a.step() + x;
      uint16_t v;
      std::memcpy(&v, p, 2);
      v = uint16_t(v >> (16 - bitDepth));
      std::memcpy(p, &v, 2);
    }
}

enum Layout { kC1, kC2C2, kC2P2, kC16 };

TEST_P(InterpChromaDiff, ChromaKernelsMatchTheReference) {
  for (int layout = kC1; layout <= kC16; ++layout)
    for (int wi = 0; wi < kChromaWidths; ++wi)
      for (int kind = 0; kind < kChromaKinds; ++kind) {
        const bool same = layout == kC1     ? c.c1[wi][kind] == s.c1[wi][kind]
                          : layout == kC2C2 ? c.c2c2[wi][kind] == s.c2c2[wi][kind]
                          : layout == kC2P2 ? c.c2p2[wi][kind] == s.c2p2[wi][kind]
                                            : c.c16[wi][kind] == s.c16[wi][kind];
        if (same) continue;
        const int w = 2 * (wi + 1), es = layout == kC16 ? 2 : 1, ch = layout == kC2C2 || layout == kC2P2 ? 2 : 1;
        for (int align = 0; align < 16; align += es)
          for (int t = 0; t < 6; ++t) {
            const int h = 2 * rng.range(1, 8);
            const int dx = kind & 1 ? rng.range(1, 7) : 0, dy = kind & 2 ? rng.range(1, 7) : 0;
            const int in_bytes = (w + (dx != 0)) * ch * es, out_bytes = w * (layout == kC2C2 ? 2 : 1) * es;
            const int ss = kvntest::random_step(rng, in_bytes, true) & ~(es - 1);
            const int ds = kvntest::random_step(rng, out_bytes, true) & ~(es - 1);
            Area src(in_bytes, h + (dy != 0), ss, align);
            src.fill(rng, kvntest::kAllFills[rng.range(0, 4)]);
            if (es == 2 && rng.coin()) limit16(src, rng.range(8, 14));
            Area d0(out_bytes, h, ds, (align * 7) & (16 - es), 32), d1(out_bytes, h, ds, align, 32);
            d0.fill(rng, kvntest::Fill::kRandom);
            d1.fill(rng, kvntest::Fill::kRandom);
            const Area before0(d0), before1(d1);
            Area want0(d0), want1(d1);
            using kvntest::note_compared;
            const auto run = [&](const InterpChromaKernels& k, Area& a0, Area& a1) {
              if (layout == kC1) note_compared(k.c1[wi][kind])(src.origin(), ss, a0.origin(), ds, dx, dy, h);
              if (layout == kC2C2) note_compared(k.c2c2[wi][kind])(src.origin(), ss, a0.origin(), ds, dx, dy, h);
              if (layout == kC2P2)
                note_compared(k.c2p2[wi][kind])(src.origin(), ss, a0.origin(), a1.origin(), ds, dx, dy, h);
              if (layout == kC16)
                note_compared(k.c16[wi][kind])(src.as<uint16_t>(), ss / 2, a0.as<uint16_t>(), ds / 2, dx, dy, h);
            };
            run(c, want0, want1);
            run(s, d0, d1);
            const std::string what = "layout " + std::to_string(layout) + " width " + std::to_string(w) + " height " +
                                     std::to_string(h) + " dx " + std::to_string(dx) + " dy " + std::to_string(dy);
            ASSERT_TRUE(kvntest::same_area(before0, want0, d0)) << what;
            ASSERT_TRUE(kvntest::same_area(before1, want1, d1)) << what;
          }
      }
}

TEST_P(InterpChromaDiff, AverageKernelsMatchTheReference) {
  for (int w = 2; w <= 16; ++w) {
    if (c.average[w - 2] == s.average[w - 2]) continue;
    for (int align = 0; align < 16; ++align)
      for (int t = 0; t < 4; ++t) {
        const int h = rng.range(2, 16);
        const int as = kvntest::random_step(rng, w, true), bs = kvntest::random_step(rng, w, true);
        const int ds = t == 0 ? as : kvntest::random_step(rng, w, true);
        Area a(w, h, as, align), b(w, h, bs, (align + 5) & 15), d(w, h, ds, (align * 3) & 15, 32);
        a.fill(rng, kvntest::kAllFills[rng.range(0, 4)]);
        b.fill(rng, kvntest::kAllFills[rng.range(0, 4)]);
        d.fill(rng, kvntest::Fill::kRandom);
        const Area before(d);
        Area want(d);
        c.average[w - 2](a.origin(), as, b.origin(), bs, want.origin(), ds, h);
        kvntest::note_compared(s.average[w - 2])(a.origin(), as, b.origin(), bs, d.origin(), ds, h);
        ASSERT_TRUE(kvntest::same_area(before, want, d)) << "width " << w << " height " << h;
        if (t == 0) {  // in place: the destination is the first source
          Area a2(a);
          c.average[w - 2](a.origin(), as, b.origin(), bs, a.origin(), as, h);
          s.average[w - 2](a2.origin(), as, b.origin(), bs, a2.origin(), as, h);
          ASSERT_EQ(0, std::memcmp(a.data(), a2.data(), a.size())) << "in place, width " << w;
        }
      }
  }
}

TEST_P(InterpChromaDiff, ExpandMatchesTheReference) {
  if (c.expand == s.expand) GTEST_SKIP();
  for (int t = 0; t < 300; ++t) {
    const int width = rng.range(1, 70), height = 2 * rng.range(1, 20), border = rng.range(1, 40);
    const int mode = rng.range(0, 2), step = width + 2 * border + rng.range(0, 20);
    const int rows = height + 2 * border, align = rng.range(0, 15);
    std::vector<uint8_t> want(std::size_t(rows + 2) * step + 32);
    for (auto& v : want) v = rng.byte();
    std::vector<uint8_t> got = want;
    const std::size_t origin = std::size_t(border + 1) * step + border + align;
    c.expand(want.data() + origin, width, height, step, border, mode);
    kvntest::note_compared(s.expand)(got.data() + origin, width, height, step, border, mode);
    ASSERT_EQ(want, got) << width << "x" << height << " border " << border << " mode " << mode;
  }
}

INSTANTIATE_TEST_SUITE_P(Levels, InterpChromaDiff, ::testing::ValuesIn(kvntest::simd_levels()),
                         [](const ::testing::TestParamInfo<Isa>& i) { return std::string(isa_name(i.param)); });
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(InterpChromaDiff);

}  // namespace
