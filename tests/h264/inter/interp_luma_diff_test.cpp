// Every SIMD luma interpolation kernel against its scalar reference: every
// width, fraction and height, every alignment, odd and negative steps, inputs
// allocated to exactly the region the fraction needs (so AddressSanitizer
// sees any read beyond it), guard bytes around the destination. Samples are
// random, 0 / max checkerboards and stripes (which drive the filter to its
// extremes and the clamps), at bit depths 8 .. 14 and 16, and 16-bit samples
// above the bit depth.
#include <string>

#include "h264/inter/interp_luma.h"
#include "support/harness.h"

namespace {

using namespace kvn;
using kvntest::Area;
using kvntest::Rng;

constexpr int kTrialsPerAlignment = 5;

// One sample of a test picture at (x, y) for a style drawn per trial.
// Style 6 at a phase (px, py) of its 3 x 3 period.
int sample(Rng& rng, int style, int x, int y, int maxv, int px = 0, int py = 0) {
  switch (style) {
    case 0: return rng.range(0, maxv);
    case 1: return ((x + y) & 1) ? maxv : 0;                     // checkerboard
    case 2: return ((x >> 1) & 1) != ((y >> 1) & 1) ? maxv : 0;  // 2x2 checkerboard
    case 3: return (x % 6 == 2 || x % 6 == 3) ? maxv : 0;        // stripes under the 20-taps
    case 4: return (y % 6 == 2 || y % 6 == 3) ? maxv : 0;
    case 5: return rng.coin() ? maxv - rng.range(0, 2) : rng.range(0, 2);
    case 6:  // rows of the largest and smallest horizontal sums, (1, 0, 1, 1, 0, 1) and
             // its inverse, as the centre filter weighs them: its inner sums leave 16 bits
      return (((x + px) % 3 != 1) != ((y + py) % 3 == 1)) ? maxv : 0;
    default: return rng.range(0, 65535);  // 16-bit: beyond the bit depth
  }
}

// A random style, or style 6 at a random phase where `extremes` is set.
template <class T>
void fill(Rng& rng, Area& a, int maxv, bool extremes) {
  const int style = extremes ? 6 : rng.range(0, sizeof(T) == 2 ? 7 : 6);
  const int px = rng.range(0, 2), py = rng.range(0, 2);
  const int cols = a.row_bytes() / int(sizeof(T));
  for (int y = 0; y < a.rows(); ++y) {
    T* row = reinterpret_cast<T*>(a.origin() + std::ptrdiff_t(y) * a.step());
    for (int x = 0; x < cols; ++x) row[x] = T(sample(rng, style, x, y, maxv, px, py));
  }
}

class InterpLumaDiff : public ::testing::TestWithParam<Isa> {
 protected:
  Rng rng = kvntest::rng_for(::testing::UnitTest::GetInstance()->current_test_info()->name());

  template <class T, class Fn, class Call>
  void check(Fn (InterpLumaKernels::*slots)[4][16], Call call, bool extremes = false) {
    const InterpLumaKernels& c = kInterpLumaKernelsC;
    const InterpLumaKernels& s = interp_luma_kernels(GetParam());
    constexpr int es = sizeof(T);
    for (int wi = 0; wi < 4; ++wi)
      for (int f = 0; f < 16; ++f) {
        if ((c.*slots)[wi][f] == (s.*slots)[wi][f] || (extremes && (f & 3) != 2 && (f >> 2) != 2)) continue;
        const int w = kLumaWidths[wi], dx = f & 3, dy = f >> 2;
        for (int align = 0; align < 16; align += es)
          for (int t = 0; t < kTrialsPerAlignment; ++t) {
            const int h = 4 * rng.range(1, 4);
            const int cols = w + (dx ? 5 : 0), rows = h + (dy ? 5 : 0);
            const int bitDepth = es == 1 ? 8 : (rng.range(0, 7) == 0 ? 16 : rng.range(8, 14));
            const int maxv = (1 << bitDepth) - 1;
            int sstep = kvntest::random_step(rng, cols * es, true), dstep = kvntest::random_step(rng, w * es, true);
            sstep += sstep & (es - 1);
            dstep += dstep & (es - 1);
            Area src(cols * es, rows, sstep, align, 0);
            fill<T>(rng, src, maxv, extremes);
            Area dst(w * es, h, dstep, rng.range(0, 15) & ~(es - 1), 32);
            dst.fill(rng, kvntest::Fill::kRandom);
            const Area before(dst);
            Area want(dst);
            const T* origin =
                reinterpret_cast<const T*>(src.origin() + (dy ? 2 : 0) * std::ptrdiff_t(sstep)) + (dx ? 2 : 0);
            call((c.*slots)[wi][f], origin, sstep / es, want.as<T>(), dstep / es, h, maxv);
            call(kvntest::note_compared((s.*slots)[wi][f]), origin, sstep / es, dst.as<T>(), dstep / es, h, maxv);
            ASSERT_TRUE(kvntest::same_area(before, want, dst))
                << isa_name(GetParam()) << " " << w << "x" << h << " (" << dx << ", " << dy << ") bit depth "
                << bitDepth << " steps " << sstep << ", " << dstep;
          }
      }
  }
};

TEST_P(InterpLumaDiff, Luma8MatchesTheReference) {
  check<uint8_t>(&InterpLumaKernels::luma8, [](Luma8Fn fn, const uint8_t* s, ptrdiff_t ss, uint8_t* d, ptrdiff_t ds,
                                               int h, int) { fn(s, ss, d, ds, h); });
}

// The 8-bit centre filter adds its inner sums in 16 bits with saturation,
// exact only because they leave the range just where the sample clamps: every
// centre fraction on the largest and smallest horizontal sums at every phase,
// which drive those sums past both ends.
TEST_P(InterpLumaDiff, Luma8CentreExactAtTheExtremes) {
  check<uint8_t>(
      &InterpLumaKernels::luma8,
      [](Luma8Fn fn, const uint8_t* s, ptrdiff_t ss, uint8_t* d, ptrdiff_t ds, int h, int) { fn(s, ss, d, ds, h); },
      true);
}

TEST_P(InterpLumaDiff, Luma16MatchesTheReference) {
  check<uint16_t>(&InterpLumaKernels::luma16, [](Luma16Fn fn, const uint16_t* s, ptrdiff_t ss, uint16_t* d,
                                                 ptrdiff_t ds, int h, int maxv) { fn(s, ss, d, ds, h, maxv); });
}

INSTANTIATE_TEST_SUITE_P(Levels, InterpLumaDiff, ::testing::ValuesIn(kvntest::simd_levels()),
                         [](const ::testing::TestParamInfo<Isa>& i) { return std::string(isa_name(i.param)); });
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(InterpLumaDiff);

}  // namespace
