// Every SIMD kernel of the 8-bit macroblock reconstruction against its scalar
// reference: random coded-block patterns and DCs, both dequantisation forms at
// every qp, coefficients with extremes (saturation in every stage), every
// alignment, odd and negative steps, guard bytes around the picture, and each
// coefficient block in its own tight allocation (over-reads reach ASan).
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "h264/recon/recon.h"
#include "support/harness.h"
#include "tables/h264_tables.h"

namespace {

using namespace kvn;
using kvntest::Area;
using kvntest::Rng;

// Coefficients as a decoder produces them (mostly small), or anything.
void fill_coef(Rng& rng, int16_t* c, int n) {
  const int kind = rng.range(0, 3);
  for (int i = 0; i < n; ++i) {
    if (kind == 0)
      c[i] = int16_t(rng.range(-40, 40) * (rng.range(0, 3) == 0));
    else if (kind == 1)
      c[i] = int16_t(rng.range(-2063, 2063));
    else
      c[i] = int16_t(rng.u32());
  }
  if (kind == 3)
    for (int i = 0; i < n; ++i)
      if (rng.coin()) c[i] = rng.coin() ? int16_t(-32768) : int16_t(32767);
}

// A scale table: the flat default, a scaling-list product, or anything.
void fill_scale(Rng& rng, int16_t* t, int n, int m) {
  const int kind = rng.range(0, 2);
  for (int p = 0; p < n; ++p) {
    const int v = n == 16 ? kNormAdjust4x4[m][p] : kNormAdjust8x8[m][pos_class8x8(p / 8, p % 8)];
    t[p] = kind == 0 ? int16_t(16 * v) : kind == 1 ? int16_t(v * rng.range(1, 255)) : int16_t(rng.u32());
  }
}

// A dequantiser at a random qp (the table is kept in `t`, 16 or 64 values).
Dequant random_dequant(Rng& rng, int16_t* t, int n) {
  const int qp = rng.range(0, 51);
  fill_scale(rng, t, n, qp % 6);
  if (n == 64) return dequant8_standard(qp, t);
  return rng.coin() ? dequant4_preshifted(qp) : dequant4_standard(qp, t);
}

// Blocks in separate tight allocations.
struct Coefs {
  std::vector<std::unique_ptr<Area>> areas;
  const int16_t* add(Rng& rng, int n) {
    areas.push_back(std::make_unique<Area>(2 * n, 1, 2 * n, 2 * rng.range(0, 7)));
    fill_coef(rng, areas.back()->as<int16_t>(), n);
    return areas.back()->as<int16_t>();
  }
};

// One instance per SIMD level, named after it; each test draws from its own
// generator.
class ReconDiff : public ::testing::TestWithParam<Isa> {
 protected:
  Rng rng = kvntest::rng_for(::testing::UnitTest::GetInstance()->current_test_info()->name());
  const ReconKernels& c = kReconKernelsC;
  const ReconKernels& k = recon_kernels(GetParam());
  const char* isa = isa_name(GetParam());
};

TEST_P(ReconDiff, Residual4x4) {
  if (k.residual4x4 == c.residual4x4) GTEST_SKIP() << "no kernel of its own";
  for (int align = 0; align < 16; ++align)
    for (int rep = 0; rep < 60; ++rep) {
      const int count = rng.coin() ? 16 : 4, size = count == 16 ? 16 : 8;
      const int step = kvntest::random_step(rng, size, true);
      Area pic(size, size, step, align, 16);
      pic.fill(rng, kvntest::kAllFills[rng.range(0, 4)]);
      Coefs coefs;
      const int16_t* coef[16] = {};
      const uint32_t mask = rng.range(0, 3) == 0 ? rng.u32() | rng.u32() : rng.u32() & rng.u32();
      for (int b = 0; b < count; ++b)
        if (mask >> b & 1) coef[b] = coefs.add(rng, 16);
      int16_t dc[16];
      fill_coef(rng, dc, 16);
      for (int16_t& d : dc)
        if (rng.range(0, 3) == 0) d = 0;
      const bool with_dc = rng.coin();
      int16_t table[16];
      const Dequant dq = random_dequant(rng, table, 16);
      const Area before(pic);
      Area want(pic), got(pic);
      c.residual4x4(want.origin(), step, count, coef, with_dc ? dc : nullptr, dq);
      kvntest::note_compared(k.residual4x4)(got.origin(), step, count, coef, with_dc ? dc : nullptr, dq);
      ASSERT_TRUE(kvntest::same_area(before, want, got))
          << isa << " count=" << count << " mask=" << mask << " dc=" << with_dc << " pre=" << dq.preshifted
          << " left=" << dq.left << kvntest::seed_note();
    }
}

// Single 4x4 and 8x8 blocks, and the 8x8 blocks of a macroblock (n = 16).
TEST_P(ReconDiff, Blocks) {
  for (int n : {4, 8, 16}) {
    if (n == 4 ? k.block4x4 == c.block4x4 : n == 8 ? k.block8x8 == c.block8x8 : k.residual8x8 == c.residual8x8)
      continue;
    for (int align = 0; align < 16; ++align)
      for (int rep = 0; rep < 40; ++rep) {
        const int step = kvntest::random_step(rng, n, true);
        Area pic(n, n, step, align, 16);
        pic.fill(rng, kvntest::kAllFills[rng.range(0, 4)]);
        Coefs coefs;
        const int16_t* coef[4] = {};
        for (int b = 0; b < (n == 16 ? 4 : 1); ++b)
          if (n != 16 || rng.coin()) coef[b] = coefs.add(rng, n == 4 ? 16 : 64);
        int16_t table[64];
        const Dequant dq = random_dequant(rng, table, n == 4 ? 16 : 64);
        const Area before(pic);
        Area want(pic), got(pic);
        if (n == 4) {
          c.block4x4(want.origin(), step, coef[0], dq);
          kvntest::note_compared(k.block4x4)(got.origin(), step, coef[0], dq);
        } else if (n == 8) {
          c.block8x8(want.origin(), step, coef[0], dq);
          kvntest::note_compared(k.block8x8)(got.origin(), step, coef[0], dq);
        } else {
          c.residual8x8(want.origin(), step, coef, dq);
          kvntest::note_compared(k.residual8x8)(got.origin(), step, coef, dq);
        }
        ASSERT_TRUE(kvntest::same_area(before, want, got))
            << isa << " n=" << n << " left=" << dq.left << kvntest::seed_note();
      }
  }
}

// Intra 8x8 predictors on every combination of the four neighbour bits.
TEST_P(ReconDiff, Intra8x8) {
  for (int mode = 0; mode < 9; ++mode) {
    if (k.pred8x8[mode] == c.pred8x8[mode]) continue;
    for (int align = 0; align < 16; ++align) {
      const int step = 17 + rng.range(0, 20);
      Area pic(17, 9, step, align, 16);
      pic.fill(rng, kvntest::kAllFills[rng.range(0, 4)]);
      const Area before(pic);
      for (int avail = 0; avail < 128; ++avail) {
        Area want(pic), got(pic);
        c.pred8x8[mode](want.origin() + step + 1, step, avail);
        kvntest::note_compared(k.pred8x8[mode])(got.origin() + step + 1, step, avail);
        ASSERT_TRUE(kvntest::same_area(before, want, got))
            << isa << " mode=" << mode << " avail=" << avail << kvntest::seed_note();
      }
    }
  }
}

// Intra 4x4 macroblocks: every mode at every block, each of the edge flags
// set or clear, whole macroblocks, halves and walks cut short, coded and
// uncoded blocks with extreme coefficients. The picture holds the macroblock
// with its left column, top row and top-right samples, guarded around.
TEST_P(ReconDiff, Intra4x4) {
  if (k.intra4x4 == c.intra4x4) GTEST_SKIP() << "no kernel of its own";
  for (int align = 0; align < 16; ++align)
    for (int rep = 0; rep < 40; ++rep) {
      const int step = kvntest::random_step(rng, 21, true);
      const uint32_t edges = rng.range(0, 63) | (rng.coin() ? 0 : rng.u32() & ~0xffu);
      const int count = rng.range(0, 3) == 0 ? rng.range(0, 16) : rng.coin() ? 16 : 8;
      Area pic(21, count > 8 ? 17 : 9, step, align, 16);  // a Half macroblock has 8 rows
      pic.fill(rng, kvntest::kAllFills[rng.range(0, 4)]);
      int32_t modes[16];
      for (int b = 0; b < 16; ++b) modes[b] = (b + rep + align) % 9;
      if (rng.coin())
        for (int32_t& m : modes) m = rng.range(0, 8);
      Coefs coefs;
      const int16_t* coef[16] = {};
      const uint32_t mask = rng.range(0, 3) == 0 ? rng.u32() | rng.u32() : rng.u32() & rng.u32();
      for (int b = 0; b < count; ++b)
        if (mask >> b & 1) coef[b] = coefs.add(rng, 16);
      int16_t table[16];
      const Dequant dq = random_dequant(rng, table, 16);
      const Area before(pic);
      Area want(pic), got(pic);
      c.intra4x4(want.origin() + step + 1, step, count, modes, edges, coef, dq);
      kvntest::note_compared(k.intra4x4)(got.origin() + step + 1, step, count, modes, edges, coef, dq);
      ASSERT_TRUE(kvntest::same_area(before, want, got))
          << isa << " count=" << count << " edges=" << edges << " mask=" << mask << " step=" << step
          << " pre=" << dq.preshifted << " left=" << dq.left << kvntest::seed_note();
    }
  // Steps under the macroblock width: the rows overlap, and each block must
  // see the samples the blocks before it wrote.
  for (int rep = 0; rep < 200; ++rep) {
    const int step = rng.range(4, 15) * (rng.coin() ? 1 : -1);  // rows of a block apart
    std::vector<uint8_t> want(1024), got;
    for (uint8_t& v : want) v = rng.byte();
    got = want;
    int32_t modes[16];
    for (int32_t& m : modes) m = rng.range(0, 8);
    Coefs coefs;
    const int16_t* coef[16] = {};
    for (auto& p : coef)
      if (rng.coin()) p = coefs.add(rng, 16);
    int16_t table[16];
    const Dequant dq = random_dequant(rng, table, 16);
    const uint32_t edges = rng.range(0, 63);
    c.intra4x4(want.data() + 512, step, 16, modes, edges, coef, dq);
    k.intra4x4(got.data() + 512, step, 16, modes, edges, coef, dq);
    ASSERT_EQ(want, got) << isa << " step=" << step << kvntest::seed_note();
  }
}

TEST_P(ReconDiff, SplitMergeC2) {
  for (int align = 0; align < 16; ++align) {
    const int step = kvntest::random_step(rng, 16, true);
    Area pic(16, 8, step, align, 16);
    pic.fill(rng, kvntest::Fill::kRandom);
    uint8_t want[2][128], got[2][128];
    std::memset(want, 7, sizeof want);
    std::memset(got, 7, sizeof got);
    c.split_c2(pic.origin(), step, want[0], want[1]);
    kvntest::note_compared(k.split_c2)(pic.origin(), step, got[0], got[1]);
    ASSERT_EQ(0, std::memcmp(want, got, sizeof want)) << isa;
    for (auto& plane : want)
      for (uint8_t& b : plane) b = rng.byte();
    const Area before(pic);
    Area w(pic), g(pic);
    c.merge_c2(want[0], want[1], w.origin(), step);
    kvntest::note_compared(k.merge_c2)(want[0], want[1], g.origin(), step);
    ASSERT_TRUE(kvntest::same_area(before, w, g)) << isa << kvntest::seed_note();
  }
}

INSTANTIATE_TEST_SUITE_P(Levels, ReconDiff, ::testing::ValuesIn(kvntest::simd_levels()),
                         [](const ::testing::TestParamInfo<Isa>& i) { return std::string(isa_name(i.param)); });
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(ReconDiff);

}  // namespace
