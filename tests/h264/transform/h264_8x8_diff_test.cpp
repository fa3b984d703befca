// Every SIMD kernel of the H.264 8x8 transform and intra families against its
// scalar reference: random, extreme and residual-range coefficients, every
// alignment, signed and odd steps; intra predictors on random and extreme
// neighbours at every alignment and step, 4x4 ones under every combination of
// neighbour availability.
#include <cstring>
#include <string>

#include "h264/intra/intra.h"
#include "h264/transform/transform8x8.h"
#include "support/harness.h"

namespace {

using namespace kvn;
using kvntest::Area;
using kvntest::Rng;

int16_t draw(Rng& rng, int kind) {
  static const int16_t kSpecial[] = {-32768, 32767, -32767, 16383, -16384, 8192, -8193, 0, 1, -1};
  switch (kind) {
    case 0: return int16_t(rng.u32());
    case 1: return kSpecial[rng.range(0, 9)];
    case 2: return int16_t(rng.range(-255, 255));
    default: return int16_t(rng.range(-4000, 4000));
  }
}

Area coeffs(Rng& rng, int align, int kind) {
  Area a(128, 1, 128, align & ~1);
  for (int p = 0; p < 64; ++p) a.as<int16_t>()[p] = draw(rng, kind);
  return a;
}

// One instance per SIMD level, named after it; each test draws from its own
// generator.
class Transform8x8Diff : public ::testing::TestWithParam<Isa> {
 protected:
  Rng rng = kvntest::rng_for(::testing::UnitTest::GetInstance()->current_test_info()->name());
  const Transform8x8Kernels& c = kTransform8x8KernelsC;
  const Transform8x8Kernels& k = transform8x8_kernels(GetParam());
  const char* isa = isa_name(GetParam());
};

TEST_P(Transform8x8Diff, ForwardTransform16s) {
  if (k.fwd16s == c.fwd16s) GTEST_SKIP() << "no kernel of its own";
  for (int align = 0; align < 16; align += 2)
    for (int kind = 0; kind < 4; ++kind)
      for (int rep = 0; rep < 50; ++rep) {
        const Area src = coeffs(rng, align, kind);
        Area out(128, 1, 128, (align + 6) & 14, 32);
        out.fill(rng, kvntest::Fill::kRandom);
        const Area before(out);
        Area want(out), got(out);
        c.fwd16s(src.as<int16_t>(), want.as<int16_t>());
        kvntest::note_compared(k.fwd16s)(src.as<int16_t>(), got.as<int16_t>());
        ASSERT_TRUE(kvntest::same_area(before, want, got)) << isa << kvntest::seed_note();
        // In place.
        Area ip(src);
        k.fwd16s(ip.as<int16_t>(), ip.as<int16_t>());
        ASSERT_EQ(0, std::memcmp(ip.as<int16_t>(), want.as<int16_t>(), 128));
      }
}

TEST_P(Transform8x8Diff, InverseTransformAdd8u) {
  if (k.inv_add8u == c.inv_add8u) GTEST_SKIP() << "no kernel of its own";
  for (int align = 0; align < 16; ++align)
    for (int kind = 0; kind < 4; ++kind)
      for (int rep = 0; rep < 20; ++rep) {
        const Area src = coeffs(rng, align, kind);
        Area pred(8, 8, kvntest::random_step(rng, 8, true), align);
        pred.fill(rng, kvntest::kAllFills[rng.range(0, 4)]);
        Area out(8, 8, kvntest::random_step(rng, 8, true), (align * 7) & 15, 16);
        out.fill(rng, kvntest::Fill::kRandom);
        const Area before(out);
        Area want(out), got(out);
        c.inv_add8u(pred.as<uint8_t>(), pred.step(), src.as<int16_t>(), want.origin(), want.step());
        kvntest::note_compared(k.inv_add8u)(pred.as<uint8_t>(), pred.step(), src.as<int16_t>(), got.origin(),
                                            got.step());
        ASSERT_TRUE(kvntest::same_area(before, want, got)) << isa << kvntest::seed_note();
      }
}

// Quantiser and inverse quantiser: every q6 of the 16-bit range, intra and
// inter, random and extreme coefficients and scale tables (negative entries
// included), scan tables with repeated entries.
TEST_P(Transform8x8Diff, Quantisers16s) {
  for (int q6 = 0; q6 <= 8; ++q6)
    for (int kind = 0; kind < 4; ++kind)
      for (int rep = 0; rep < 40; ++rep) {
        const int align = rng.range(0, 15);
        const Area src = coeffs(rng, align, kind), scale = coeffs(rng, align + 4, rep % 4 == 0 ? 1 : 3);
        Area scan(128, 1, 128, 0);
        for (int p = 0; p < 64; ++p) scan.as<int16_t>()[p] = int16_t(rng.range(-5, 70));
        if (k.quant16s != c.quant16s) {
          int16_t want[64], got[64];
          int32_t nw = 1, lw = 2, ng = 3, lg = 4;
          c.quant16s(src.as<int16_t>(), want, q6, rep & 1, scan.as<int16_t>(), scale.as<int16_t>(), &nw, &lw);
          kvntest::note_compared(k.quant16s)(src.as<int16_t>(), got, q6, rep & 1, scan.as<int16_t>(),
                                             scale.as<int16_t>(), &ng, &lg);
          ASSERT_EQ(0, std::memcmp(want, got, sizeof want)) << isa << " q6=" << q6;
          ASSERT_EQ(nw, ng);
          ASSERT_EQ(lw, lg);
        }
        if (k.dequant16s != c.dequant16s) {
          Area want(src), got(src);
          c.dequant16s(want.as<int16_t>(), q6, scale.as<int16_t>());
          kvntest::note_compared(k.dequant16s)(got.as<int16_t>(), q6, scale.as<int16_t>());
          ASSERT_EQ(0, std::memcmp(want.as<int16_t>(), got.as<int16_t>(), 128)) << isa << " q6=" << q6;
        }
      }
}

// Counts of the quantiser on sparse blocks: none, or a single nonzero level
// at each position in turn (DC sign, every lane of every register), then a
// second one at a later position with a smaller scan entry.
TEST_P(Transform8x8Diff, Quantiser16sCounts) {
  if (k.quant16s == c.quant16s) GTEST_SKIP() << "no kernel of its own";
  int16_t scale[64], scan[64];
  for (int p = 0; p < 64; ++p) scale[p] = 16;
  for (int p = 0; p < 64; ++p) scan[p] = int16_t(rng.range(-3, 63));
  for (int p = -1; p < 64; ++p)
    for (int q = p; q < 64; q += 7) {
      int16_t src[64] = {};
      if (p >= 0) src[p] = int16_t(rng.coin() ? -32768 : rng.range(-32767, 32767) | 0x4000);
      if (q > p) src[q] = int16_t(rng.coin() ? 32767 : -30000);
      int16_t want[64], got[64];
      int32_t nw = 1, lw = 2, ng = 3, lg = 4;
      c.quant16s(src, want, 0, q & 1, scan, scale, &nw, &lw);
      kvntest::note_compared(k.quant16s)(src, got, 0, q & 1, scan, scale, &ng, &lg);
      ASSERT_EQ(0, std::memcmp(want, got, sizeof want)) << isa << " p=" << p << " q=" << q;
      ASSERT_EQ(nw, ng) << isa << " p=" << p << " q=" << q;
      ASSERT_EQ(lw, lg) << isa << " p=" << p << " q=" << q;
    }
}

INSTANTIATE_TEST_SUITE_P(Levels, Transform8x8Diff, ::testing::ValuesIn(kvntest::simd_levels()),
                         [](const ::testing::TestParamInfo<Isa>& i) { return std::string(isa_name(i.param)); });
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(Transform8x8Diff);

class IntraDiff : public ::testing::TestWithParam<Isa> {
 protected:
  Rng rng = kvntest::rng_for(::testing::UnitTest::GetInstance()->current_test_info()->name());
  const IntraKernels& c = kIntraKernelsC;
  const IntraKernels& k = intra_kernels(GetParam());
  const char* isa = isa_name(GetParam());
  void predictors(int n);
};

// 16x16 and chroma predictors: the block with its top row and left column
// inside one tight area; every mode the SIMD table replaces.
void IntraDiff::predictors(int n) {
  for (int mode = 0; mode < 4; ++mode) {
    const IntraFn cf = n == 16 ? c.pred16x16[mode] : c.chroma8x8[mode];
    const IntraFn kf = n == 16 ? k.pred16x16[mode] : k.chroma8x8[mode];
    if (cf == kf) continue;
    for (int align = 0; align < 16; ++align)
      for (int rep = 0; rep < 12; ++rep) {
        const int step = n + 1 + rng.range(0, 3) * (rng.coin() ? 1 : 16);
        Area pic(n + 1, n + 1, step, align, 16);
        pic.fill(rng, kvntest::kAllFills[rng.range(0, 4)]);
        const Area before(pic);
        Area want(pic), got(pic);
        const int avail = rng.range(0, 127);
        cf(want.origin() + step + 1, step, avail | 35);
        kvntest::note_compared(kf)(got.origin() + step + 1, step, avail | 35);
        ASSERT_TRUE(kvntest::same_area(before, want, got))
            << isa << " n=" << n << " mode=" << mode << kvntest::seed_note();
        // DC with each combination of top and left.
        if (mode == (n == 16 ? 2 : 0)) {
          for (int a = 0; a < 4; ++a) {
            Area w2(pic), g2(pic);
            cf(w2.origin() + step + 1, step, a);
            kf(g2.origin() + step + 1, step, a);
            ASSERT_TRUE(kvntest::same_area(before, w2, g2)) << isa << " dc avail=" << a;
          }
        }
      }
    // A step equal to the width: the left neighbour of each row is the last
    // sample of the row above, inside the block, so a kernel must read its
    // neighbours before its first store.
    std::vector<uint8_t> want(size_t(n * n + n + 1)), got;
    for (uint8_t& v : want) v = uint8_t(rng.range(0, 255));
    got = want;
    cf(want.data() + n + 1, n, 35);
    kf(got.data() + n + 1, n, 35);
    ASSERT_EQ(want, got) << isa << " n=" << n << " mode=" << mode << " step=width";
  }
}

// 4x4 predictors: the block with its left column, top-left corner and eight
// top samples in one tight area; every combination of the four neighbour
// bits, so that each substitution meets the SIMD gathering of the edge.
TEST_P(IntraDiff, Luma4x4) {
  const int32_t bits[4] = {kAvailTop, kAvailLeft, kAvailTopLeft, kAvailTopRight};
  for (int mode = 0; mode < 9; ++mode) {
    if (c.pred4x4[mode] == k.pred4x4[mode]) continue;
    for (int align = 0; align < 16; ++align)
      for (int rep = 0; rep < 8; ++rep) {
        const int step = 9 + rng.range(0, 3) * (rng.coin() ? 1 : 16);
        Area pic(9, 5, step, align, 16);
        pic.fill(rng, kvntest::kAllFills[rng.range(0, 4)]);
        const Area before(pic);
        for (int combo = 0; combo < 16; ++combo) {
          int32_t avail = rng.range(0, 127) & ~(kAvailTop | kAvailLeft | kAvailTopLeft | kAvailTopRight);
          for (int i = 0; i < 4; ++i)
            if (combo >> i & 1) avail |= bits[i];
          Area want(pic), got(pic);
          c.pred4x4[mode](want.origin() + step + 1, step, avail);
          kvntest::note_compared(k.pred4x4[mode])(got.origin() + step + 1, step, avail);
          ASSERT_TRUE(kvntest::same_area(before, want, got))
              << isa << " mode=" << mode << " avail=" << avail << kvntest::seed_note();
        }
      }
  }
}

TEST_P(IntraDiff, Luma16x16) { predictors(16); }
TEST_P(IntraDiff, Chroma8x8) { predictors(8); }

INSTANTIATE_TEST_SUITE_P(Levels, IntraDiff, ::testing::ValuesIn(kvntest::simd_levels()),
                         [](const ::testing::TestParamInfo<Isa>& i) { return std::string(isa_name(i.param)); });
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(IntraDiff);

}  // namespace
