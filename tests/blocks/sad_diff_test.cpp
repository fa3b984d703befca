// Every SIMD kernel of the SAD family against its scalar reference.
#include <string>

#include "blocks/sad.h"
#include "support/harness.h"

namespace {

using namespace kvn;
using kvntest::Area;
using kvntest::Fill;
using kvntest::Rng;

constexpr int kTrialsPerAlignment = 3;

Fill pick_fill(Rng& rng) { return kvntest::kAllFills[rng.range(0, 4)]; }

// Reference bytes a half-sample code reads: one more column (dx bytes further)
// and/or one more row.
Area input(Rng& rng, int rowBytes, int rows, int code, int dx, int align, bool allowNegative = true) {
  rowBytes += (code & 1) ? dx : 0;
  rows += (code & 2) ? 1 : 0;
  Area a(rowBytes, rows, kvntest::random_step(rng, rowBytes, allowNegative), align);
  a.fill(rng, pick_fill(rng));
  return a;
}

// 16-bit samples: even steps; a third of the areas hold 14-bit samples (the
// range the arithmetic is exact for), the others any 16-bit value.
Area input16(Rng& rng, int samples, int rows, int code, int align) {
  samples += code & 1;
  rows += (code & 2) ? 1 : 0;
  int step = kvntest::random_step(rng, 2 * samples, true);
  Area a(2 * samples, rows, step + (step & 1), align);
  a.fill(rng, pick_fill(rng));
  if (rng.range(0, 2) == 0)
    for (int r = 0; r < a.rows(); ++r)
      for (int x = 1; x < a.row_bytes(); x += 2) a.origin()[std::ptrdiff_t(r) * a.step() + x] &= 0x3f;
  return a;
}

// An output array of n values of `size` bytes, aligned to their size, with
// guard bytes.
Area outputs(Rng& rng, int n, int size) {
  Area a(n * size, 1, n * size, size * rng.range(0, 15 / size), 32);
  a.fill(rng, Fill::kRandom);
  return a;
}

// Runs `call(kernel, out)` for both kernels on copies of one output area.
template <class Fn, class Call>
void compare(Fn ref, Fn simd, Area& out, Call&& call, const std::string& what) {
  const Area before(out);
  Area want(out);
  call(ref, want);
  call(kvntest::note_compared(simd), out);
  ASSERT_TRUE(kvntest::same_area(before, want, out)) << what;
}

class SadDiff : public ::testing::TestWithParam<Isa> {
 protected:
  const SadKernels& c = kSadKernelsC;
  const SadKernels& s() const { return sad_kernels(GetParam()); }
  Rng rng = kvntest::rng_for(::testing::UnitTest::GetInstance()->current_test_info()->name());
  std::string tag(const char* fn, int index, int align) const {
    return std::string(fn) + "[" + std::to_string(index) + "] align " + std::to_string(align) + " " +
           isa_name(GetParam()) + " " + kvntest::seed_note();
  }
};

TEST_P(SadDiff, SingleBlocks) {
  const int mode_sizes[kSadModeSizes][2] = {{16, 16}, {16, 8}, {8, 8}};
  const int full_sizes[kSadFullSizes][2] = {{4, 4}, {8, 4}, {4, 8}, {8, 16}};
  for (int align = 0; align < 16; ++align)
    for (int t = 0; t < kTrialsPerAlignment; ++t) {
      for (int size = 0; size < kSadModeSizes; ++size)
        for (int i = 0; i < 4; ++i) {
          if (c.sad[size][i] == s().sad[size][i]) continue;
          const int w = mode_sizes[size][0], h = mode_sizes[size][1];
          const Area src = input(rng, w, h, 0, 1, rng.range(0, 15));
          const Area ref = input(rng, w, h, kModeCode[i], 1, align);
          ASSERT_EQ(c.sad[size][i](src.origin(), src.step(), ref.origin(), ref.step()),
                    kvntest::note_compared(s().sad[size][i])(src.origin(), src.step(), ref.origin(), ref.step()))
              << tag("sad", size * 10 + i, align);
        }
      for (int size = 0; size < kSadFullSizes; ++size) {
        if (c.sad_full[size] == s().sad_full[size]) continue;
        const int w = full_sizes[size][0], h = full_sizes[size][1];
        const Area src = input(rng, w, h, 0, 1, align), ref = input(rng, w, h, 0, 1, rng.range(0, 15));
        ASSERT_EQ(c.sad_full[size](src.origin(), src.step(), ref.origin(), ref.step()),
                  kvntest::note_compared(s().sad_full[size])(src.origin(), src.step(), ref.origin(), ref.step()))
            << tag("sad_full", size, align);
      }
      for (int i = 0; i < 4; ++i) {
        if (c.sad8x8_c2[i] == s().sad8x8_c2[i]) continue;
        const Area src = input(rng, 16, 8, 0, 2, rng.range(0, 15));
        const Area ref = input(rng, 16, 8, kModeCode[i], 2, align);
        uint32_t want[2], got[2];
        c.sad8x8_c2[i](src.origin(), src.step(), ref.origin(), ref.step(), want);
        kvntest::note_compared(s().sad8x8_c2[i])(src.origin(), src.step(), ref.origin(), ref.step(), got);
        ASSERT_TRUE(want[0] == got[0] && want[1] == got[1]) << tag("sad8x8_c2", i, align);
      }
    }
}

TEST_P(SadDiff, SixteenBitSamples) {
  const int widths[kSad16uSizes] = {16, 8, 4};
  for (int align = 0; align < 16; ++align)
    for (int t = 0; t < kTrialsPerAlignment; ++t) {
      for (int size = 0; size < kSad16uSizes; ++size)
        for (int i = 0; i < 4; ++i) {
          if (c.sad16u[size][i] == s().sad16u[size][i]) continue;
          const int w = widths[size];
          const Area src = input16(rng, w, w, 0, rng.range(0, 15)), ref = input16(rng, w, w, kModeCode[i], align);
          ASSERT_EQ(c.sad16u[size][i](src.as<uint16_t>(), src.step(), ref.as<uint16_t>(), ref.step()),
                    kvntest::note_compared(s().sad16u[size][i])(src.as<uint16_t>(), src.step(), ref.as<uint16_t>(),
                                                                ref.step()))
              << tag("sad16u", size * 10 + i, align);
        }
      // Sub-blocks: rows are (step >> 1) samples apart, so an odd step is
      // passed for an area laid out with the even one below it.
      const Area src = input16(rng, 16, 16, 0, align), ref = input16(rng, 16, 16, 0, rng.range(0, 15));
      const int ss = src.step() + (src.step() > 0 ? rng.range(0, 1) : 0);
      const int rs = ref.step() + (ref.step() > 0 ? rng.range(0, 1) : 0);
      for (auto [slot, n] : {std::pair{&SadKernels::blocks8x8_16u, 4}, {&SadKernels::blocks4x4_16u, 16}}) {
        if (c.*slot == s().*slot) continue;
        Area out = outputs(rng, n, 4);
        compare(
            c.*slot, s().*slot, out,
            [&](SadBlocks16uFn f, Area& o) { f(src.as<uint16_t>(), ss, ref.as<uint16_t>(), rs, o.as<uint32_t>()); },
            tag("blocks16u", n, align));
      }
    }
}

TEST_P(SadDiff, Candidates) {
  const int widths[kXnSizes] = {16, 8, 4, 2};
  for (int size = 0; size < kXnSizes; ++size) {
    if (c.xn[size] == s().xn[size]) continue;
    const int w = widths[size];
    for (int n = 8; n <= 72; n += 8)
      for (int align = 0; align < 16; ++align) {
        // The reference rows hold exactly n + w - 1 bytes.
        const Area src = input(rng, w, w, 0, 1, rng.range(0, 15)), ref = input(rng, n + w - 1, w, 0, 1, align);
        Area out = outputs(rng, n, 2);
        compare(
            c.xn[size], s().xn[size], out,
            [&](SadXnFn f, Area& o) { f(src.origin(), src.step(), ref.origin(), ref.step(), o.as<uint16_t>(), n); },
            tag("xn", size * 100 + n, align));
      }
  }
}

TEST_P(SadDiff, SubBlocksActivityAndSubtract) {
  for (int align = 0; align < 16; ++align)
    for (int t = 0; t < kTrialsPerAlignment; ++t) {
      const Area a = input(rng, 16, 16, 0, 1, align), b = input(rng, 16, 16, 0, 1, rng.range(0, 15));
      for (auto [slot, n] : {std::pair{&SadKernels::blocks8x8, 4}, {&SadKernels::blocks4x4, 16}}) {
        if (c.*slot == s().*slot) continue;
        Area out = outputs(rng, n, 2);
        compare(
            c.*slot, s().*slot, out,
            [&](SadBlocksFn f, Area& o) { f(a.origin(), a.step(), b.origin(), b.step(), o.as<uint16_t>()); },
            tag("blocks", n, align));
      }
      if (c.frame_field != s().frame_field) {
        uint32_t want[2], got[2];
        c.frame_field(a.origin(), a.step(), want);
        kvntest::note_compared(s().frame_field)(a.origin(), a.step(), got);
        ASSERT_TRUE(want[0] == got[0] && want[1] == got[1]) << tag("frame_field", 0, align);
      }
      if (c.frame_field16s != s().frame_field16s) {
        int step = kvntest::random_step(rng, 32, true);
        Area w(32, 16, step + (step & 1), align);
        w.fill_i16(rng, rng.coin());
        uint32_t want[2], got[2];
        c.frame_field16s(w.as<int16_t>(), w.step(), want);
        kvntest::note_compared(s().frame_field16s)(w.as<int16_t>(), w.step(), got);
        ASSERT_TRUE(want[0] == got[0] && want[1] == got[1]) << tag("frame_field16s", 0, align);
      }
      if (c.sub_sad8x8 != s().sub_sad8x8) {
        Area diff(16, 8, kvntest::random_step(rng, 16, true), rng.range(0, 15), 32);
        diff.fill(rng, Fill::kRandom);
        uint32_t want = 0, got = 0;
        compare(
            c.sub_sad8x8, s().sub_sad8x8, diff,
            [&](SubSadFn f, Area& d) {
              (&d == &diff ? got : want) = f(a.origin(), a.step(), b.origin(), b.step(), d.as<int16_t>(), d.step());
            },
            tag("sub_sad8x8", 0, align));
        ASSERT_EQ(want, got) << tag("sub_sad8x8", 0, align);
      }
    }
}

INSTANTIATE_TEST_SUITE_P(Simd, SadDiff, ::testing::ValuesIn(kvntest::simd_levels()),
                         [](const ::testing::TestParamInfo<Isa>& i) { return std::string(isa_name(i.param)); });
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(SadDiff);

}  // namespace
