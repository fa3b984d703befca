// Every SIMD kernel of the block layer against its scalar reference.
#include <string>

#include "blocks/block.h"
#include "support/harness.h"

namespace {

using namespace kvn;
using kvntest::Area;
using kvntest::Fill;
using kvntest::Rng;

constexpr int kTrialsPerAlignment = 2;

struct Geometry {
  int w, h;
};

// Bytes of reference a prediction reads: one more column (dx bytes further)
// and/or one more row, by half-sample code.
Geometry ref_extent(int w, int h, int code, int dx) { return {w + ((code & 1) ? dx : 0), h + ((code & 2) ? 1 : 0)}; }

Area input(Rng& rng, Geometry g, int align, Fill fill) {
  Area a(g.w, g.h, kvntest::random_step(rng, g.w, true), align);
  a.fill(rng, fill);
  return a;
}

// Residual planes: 16-bit samples, steps even (multiples of the sample size).
Area residual(Rng& rng, int w, int h, int align) {
  int step = kvntest::random_step(rng, 2 * w, true);
  step += step & 1;
  Area a(2 * w, h, step, align & ~1);
  a.fill_i16(rng, rng.coin());
  return a;
}

// Output areas start with random bytes (the in-place kernels read them) and
// carry 32 guard bytes on each side.
Area output(Rng& rng, int w, int h, int align) {
  Area a(w, h, kvntest::random_step(rng, w, true), align, 32);
  a.fill(rng, Fill::kRandom);
  return a;
}

Fill pick_fill(Rng& rng) { return kvntest::kAllFills[rng.range(0, 4)]; }

// Runs `call(kernel, dst)` for the reference and the SIMD kernel on copies of
// one output area, and compares them.
template <class Fn, class Call>
void compare(Fn ref, Fn simd, Area& dst, Call&& call, const std::string& what) {
  const Area before(dst);
  Area want(dst);
  call(ref, want);
  call(kvntest::note_compared(simd), dst);
  ASSERT_TRUE(kvntest::same_area(before, want, dst)) << what;
}

class BlockDiff : public ::testing::TestWithParam<Isa> {
 protected:
  const BlockKernels& c = kBlockKernelsC;
  const BlockKernels& s() const { return block_kernels(GetParam()); }
  Rng rng = kvntest::rng_for(::testing::UnitTest::GetInstance()->current_test_info()->name());
  std::string tag(const char* fn, int index) const {
    return std::string(fn) + "[" + std::to_string(index) + "] " + isa_name(GetParam());
  }
};

TEST_P(BlockDiff, CopyAndAverage) {
  struct Case {
    CopyFn c, s;
    Avg2Fn ac, as, ic, is;
    int w;
  };
  const Case cases[] = {
      {c.copy8x8, s().copy8x8, c.avg8x8, s().avg8x8, c.avg_ir8x8, s().avg_ir8x8, 8},
      {c.copy16x16, s().copy16x16, c.avg16x16, s().avg16x16, c.avg_ir16x16, s().avg_ir16x16, 16},
  };
  for (const Case& k : cases)
    for (int align = 0; align < 16; ++align)
      for (int t = 0; t < kTrialsPerAlignment; ++t) {
        const Area s1 = input(rng, {k.w, k.w}, rng.range(0, 15), pick_fill(rng));
        const Area s2 = input(rng, {k.w, k.w}, align, pick_fill(rng));
        Area dst = output(rng, k.w, k.w, align);
        if (k.c != k.s)
          compare(
              k.c, k.s, dst, [&](CopyFn f, Area& d) { f(s1.origin(), s1.step(), d.origin(), d.step()); },
              tag("copy", k.w));
        if (k.ac != k.as)
          compare(
              k.ac, k.as, dst,
              [&](Avg2Fn f, Area& d) { f(s1.origin(), s1.step(), s2.origin(), s2.step(), d.origin(), d.step()); },
              tag("avg", k.w));
        if (k.ic != k.is)
          compare(
              k.ic, k.is, dst,
              [&](Avg2Fn f, Area& d) { f(s1.origin(), s1.step(), d.origin(), d.step(), d.origin(), d.step()); },
              tag("avg_ir", k.w));
      }
}

TEST_P(BlockDiff, HalfSampleCopyAndInterpolateAverage) {
  const Geometry sizes[kHpSizes] = {{8, 4}, {8, 8}, {16, 8}, {16, 16}};
  for (int size = 0; size < kHpSizes; ++size)
    for (int i = 0; i < 8; ++i) {
      const Geometry g = sizes[size];
      const bool copy_differs = c.copy_hp[size][i] != s().copy_hp[size][i];
      const bool avg_differs = c.interp_avg[size][i] != s().interp_avg[size][i];
      if (!copy_differs && !avg_differs) continue;
      for (int align = 0; align < 16; ++align)
        for (int t = 0; t < kTrialsPerAlignment; ++t) {
          const Area src = input(rng, ref_extent(g.w, g.h, i / 2, 1), align, pick_fill(rng));
          Area dst = output(rng, g.w, g.h, rng.range(0, 15));
          auto call = [&](CopyFn f, Area& d) { f(src.origin(), src.step(), d.origin(), d.step()); };
          if (copy_differs) compare(c.copy_hp[size][i], s().copy_hp[size][i], dst, call, tag("copy_hp", i));
          if (avg_differs) compare(c.interp_avg[size][i], s().interp_avg[size][i], dst, call, tag("interp_avg", i));
        }
    }
}

TEST_P(BlockDiff, ResidualAdd) {
  for (int align = 0; align < 16; ++align)
    for (int t = 0; t < kTrialsPerAlignment; ++t) {
      const Area res = residual(rng, 8, 8, rng.range(0, 15));
      Area dst = output(rng, 8, 8, align);
      if (c.add8x8 != s().add8x8)
        compare(
            c.add8x8, s().add8x8, dst,
            [&](AddFn f, Area& d) { f(res.as<const int16_t>(), res.step(), d.origin(), d.step()); }, tag("add8x8", 0));
      if (c.addc8x8 != s().addc8x8) {
        const int16_t v = rng.coin() ? int16_t(rng.u32()) : int16_t(rng.range(-300, 300));
        compare(
            c.addc8x8, s().addc8x8, dst, [&](AddCFn f, Area& d) { f(v, d.origin(), d.step()); }, tag("addc8x8", v));
      }
      for (int i = 0; i < 8; ++i) {
        if (c.add8x8_hp[i] == s().add8x8_hp[i]) continue;
        const Area ref = input(rng, ref_extent(8, 8, i / 2, 1), rng.range(0, 15), pick_fill(rng));
        compare(
            c.add8x8_hp[i], s().add8x8_hp[i], dst,
            [&](AddHpFn f, Area& d) {
              f(res.as<const int16_t>(), res.step(), ref.origin(), ref.step(), d.origin(), d.step());
            },
            tag("add8x8_hp", i));
      }
    }
}

constexpr int kModeCodes[4] = {0, 2, 1, 3};  // (mode & 12) / 4 -> half-sample code

Geometry mc_geometry(int size) {
  const Geometry g[kMcSizes] = {{16, 16}, {16, 8}, {8, 16}, {8, 8}, {8, 4},  {4, 8},
                                {4, 4},   {4, 2},  {2, 4},  {2, 2}, {16, 8}, {16, 4}};
  return g[size];
}

TEST_P(BlockDiff, MotionCompensation) {
  for (int size = 0; size < kMcSizes; ++size) {
    const Geometry g = mc_geometry(size);
    const int dx = size >= kMc16x8UV ? 2 : 1;
    const bool small = mc_small(size);
    for (int i = 0; i < (small ? 4 : 8); ++i) {
      if (c.mc[size][i] == s().mc[size][i]) continue;
      const int code = kModeCodes[small ? i : i / 2];
      for (int align = 0; align < 16; ++align)
        for (int t = 0; t < kTrialsPerAlignment; ++t) {
          const Area ref = input(rng, ref_extent(g.w, g.h, code, dx), align, pick_fill(rng));
          const Area res = residual(rng, g.w, g.h, rng.range(0, 15));
          Area dst = output(rng, g.w, g.h, rng.range(0, 15));
          const int rounding = rng.range(0, 1);
          compare(
              c.mc[size][i], s().mc[size][i], dst,
              [&](McFn f, Area& d) {
                f(ref.origin(), ref.step(), res.as<const int16_t>(), res.step(), d.origin(), d.step(), rounding);
              },
              tag("mc", size * 100 + i));
        }
    }
    for (int i = 0; i < (small ? 16 : 32); ++i) {
      if (c.mc_b[size][i] == s().mc_b[size][i]) continue;
      const int codeF = kModeCodes[small ? i % 4 : (i / 2) % 4];
      const int codeB = kModeCodes[small ? i / 4 : i / 8];
      for (int align = 0; align < 16; ++align)
        for (int t = 0; t < kTrialsPerAlignment; ++t) {
          const Area rf = input(rng, ref_extent(g.w, g.h, codeF, dx), align, pick_fill(rng));
          const Area rb = input(rng, ref_extent(g.w, g.h, codeB, dx), rng.range(0, 15), pick_fill(rng));
          const Area res = residual(rng, g.w, g.h, rng.range(0, 15));
          Area dst = output(rng, g.w, g.h, rng.range(0, 15));
          const int rounding = rng.range(0, 1);
          compare(
              c.mc_b[size][i], s().mc_b[size][i], dst,
              [&](McBFn f, Area& d) {
                f(rf.origin(), rf.step(), rb.origin(), rb.step(), res.as<const int16_t>(), res.step(), d.origin(),
                  d.step(), rounding);
              },
              tag("mc_b", size * 100 + i));
        }
    }
  }
}

TEST_P(BlockDiff, InterleavedChromaWithPlanarResiduals) {
  for (int size = 0; size < kP2Sizes; ++size) {
    const int h = size == kP2_8x8 ? 8 : 4;
    for (int i = 0; i < 8; ++i) {
      if (c.mc_p2[size][i] == s().mc_p2[size][i]) continue;
      for (int align = 0; align < 16; ++align)
        for (int t = 0; t < kTrialsPerAlignment; ++t) {
          const Area ref = input(rng, ref_extent(16, h, kModeCodes[i / 2], 2), align, pick_fill(rng));
          const Area ru = residual(rng, 8, h, rng.range(0, 15));
          Area dst = output(rng, 16, h, rng.range(0, 15));
          Area rv2(ru);  // both planes share one step
          rv2.fill_i16(rng, rng.coin());
          compare(
              c.mc_p2[size][i], s().mc_p2[size][i], dst,
              [&](McP2Fn f, Area& d) {
                f(ref.origin(), ref.step(), ru.as<const int16_t>(), rv2.as<const int16_t>(), ru.step(), d.origin(),
                  d.step());
              },
              tag("mc_p2", size * 100 + i));
        }
    }
    for (int i = 0; i < 32; ++i) {
      if (c.mc_p2b[size][i] == s().mc_p2b[size][i]) continue;
      for (int align = 0; align < 16; ++align)
        for (int t = 0; t < kTrialsPerAlignment; ++t) {
          const Area rf = input(rng, ref_extent(16, h, kModeCodes[(i / 2) % 4], 2), align, pick_fill(rng));
          const Area rb = input(rng, ref_extent(16, h, kModeCodes[i / 8], 2), rng.range(0, 15), pick_fill(rng));
          const Area ru = residual(rng, 8, h, rng.range(0, 15));
          Area rv(ru);
          rv.fill_i16(rng, rng.coin());
          Area dst = output(rng, 16, h, rng.range(0, 15));
          compare(
              c.mc_p2b[size][i], s().mc_p2b[size][i], dst,
              [&](McP2BFn f, Area& d) {
                f(rf.origin(), rf.step(), rb.origin(), rb.step(), ru.as<const int16_t>(), rv.as<const int16_t>(),
                  ru.step(), d.origin(), d.step());
              },
              tag("mc_p2b", size * 100 + i));
        }
    }
  }
}

TEST_P(BlockDiff, CountZeros) {
  if (c.count_zeros8x8 == s().count_zeros8x8) GTEST_SKIP() << "no kernel of its own";
  for (int t = 0; t < 200; ++t) {
    Area a(128, 1, 128, 2 * rng.range(0, 7));
    a.fill_i16(rng, true);
    int16_t* v = a.as<int16_t>();
    const int density = rng.range(0, 4);  // from all zero to none zero
    for (int i = 0; i < 64; ++i)
      if (rng.range(0, 3) >= density) v[i] = 0;
    ASSERT_EQ(c.count_zeros8x8(v), kvntest::note_compared(s().count_zeros8x8)(v)) << kvntest::seed_note();
  }
}

std::vector<Isa> levels() {
  auto v = kvntest::simd_levels();
  return v;
}

INSTANTIATE_TEST_SUITE_P(Simd, BlockDiff, ::testing::ValuesIn(levels()),
                         [](const ::testing::TestParamInfo<Isa>& i) { return std::string(isa_name(i.param)); });
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(BlockDiff);

}  // namespace
