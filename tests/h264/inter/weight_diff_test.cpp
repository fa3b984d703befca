// Every SIMD kernel of weighted prediction against the scalar reference:
// every size slot, all alignments, signed and odd steps, guard bytes around
// the outputs, samples with extremes, and parameters across the whole range
// the fast kernels accept (weights and sums at their bounds, shifts 0..15 /
// 0..30, 16-bit offsets, bit depths 1..16, different weights per channel).
#include <algorithm>
#include <climits>
#include <cstring>
#include <string>

#include "h264/inter/weight.h"
#include "support/harness.h"

namespace {

using namespace kvn;
using kvntest::Area;
using kvntest::Rng;

constexpr int kTrials = 3;  // per alignment and slot

int pick(Rng& rng, std::initializer_list<int> special, int lo, int hi) {
  if (rng.range(0, 3)) return rng.range(lo, hi);
  return *(special.begin() + rng.range(0, int(special.size()) - 1));
}

// Fast 8-bit parameters: weights up to the bounds of fits8 / fits8_one,
// often H.264 ones.
WeightArgs draw8(Rng& rng, bool two) {
  for (;;) {
    WeightArgs a{};
    a.shift = two ? (rng.coin() ? rng.range(0, 8) : rng.range(0, 15)) : rng.range(0, 7);
    a.max_value = 255;
    for (int c = 0; c < 2; ++c) {
      a.w1[c] = pick(rng, {-128, 127, 0, 1, -1, 64}, -128, 127);
      a.w2[c] = two ? pick(rng, {-128, 127, 0, 1, 128 - a.w1[c], -128 - a.w1[c]}, -128, 127) : 0;
      a.offset[c] = !two || rng.coin() ? rng.range(-128, 127) : pick(rng, {-32768, 32767, -256, 255}, -32768, 32767);
    }
    if (two ? fits8(a) : fits8_one(a)) return a;
  }
}

// Fast 16-bit parameters (planar): H.264 ones at bit depths 8..14, or large ones.
WeightArgs draw16(Rng& rng, bool two) {
  for (;;) {
    WeightArgs a{};
    const int depth = rng.range(0, 3) ? rng.range(8, 14) : rng.range(1, 16);
    const bool large = rng.range(0, 3) == 0;
    a.max_value = (1 << depth) - 1;
    a.shift = large ? rng.range(0, 30) : rng.range(0, 8);
    const int lim = large ? 16383 : 128;
    a.w1[0] = a.w1[1] = rng.range(-lim, lim);
    a.w2[0] = a.w2[1] = two ? rng.range(-lim, lim) : 0;
    a.offset[0] = a.offset[1] =
        large ? rng.range(-(1 << 30) + 1, (1 << 30) - 1) : rng.range(-128, 127) * (1 << std::max(0, depth - 8));
    if (fits16(a)) return a;
  }
}

// Samples: random bytes (any 16-bit value), extremes, or within the bit depth.
void fill_samples(Rng& rng, Area& a, int maxValue, bool wide) {
  a.fill(rng, kvntest::kAllFills[rng.range(0, 4)]);
  if (!wide || rng.coin()) return;
  for (int y = 0; y < a.rows(); ++y)
    for (int x = 0; x < a.row_bytes() / 2; ++x)
      a.as<uint16_t>()[std::ptrdiff_t(y) * a.step() / 2 + x] = uint16_t(rng.range(0, maxValue));
}

struct Block {
  int width, height;  // bytes (8-bit) or samples (16-bit)
};

class WeightDiff : public ::testing::TestWithParam<Isa> {
 protected:
  Rng rng = kvntest::rng_for(::testing::UnitTest::GetInstance()->current_test_info()->name());
  const WeightKernels& c = kWeightKernelsC;
  const WeightKernels& s = weight_kernels(GetParam());

  // Per trial: draw() picks the parameters and returns the largest sample
  // value of interest; run(kernels, src1, src2, dst) calls one kernel (one
  // source kernels work in place on dst).
  template <class Draw, class Run>
  void compare(const char* what, Block b, int esize, Draw draw, Run run) {
    const int row = b.width * esize;
    auto step = [&] {
      const int st = kvntest::random_step(rng, row, true);
      return esize == 2 ? st + (st & 1) : st;
    };
    for (int align = 0; align < 16; align += esize)
      for (int t = 0; t < kTrials; ++t) {
        const int max = draw();
        Area s1(row, b.height, step(), align), s2(row, b.height, step(), (align * 7) & 15);
        Area dst(row, b.height, step(), (align + esize) & 15, 16);
        for (Area* a : {&s1, &s2, &dst}) fill_samples(rng, *a, max, esize == 2);
        const Area before(dst);
        Area want(dst);
        run(c, s1, s2, want);
        run(s, s1, s2, dst);
        ASSERT_TRUE(kvntest::same_area(before, want, dst))
            << what << " " << b.width << "x" << b.height << " align " << align << " " << isa_name(GetParam());
      }
  }
};

TEST_P(WeightDiff, EightBitKernelsMatchTheReference) {
  WeightArgs a{};
  auto one = [&] { return a = draw8(rng, false), 255; };
  auto two = [&] { return a = draw8(rng, true), 255; };
  for (int wi = 0; wi < 5; ++wi)
    for (int hi = 0; hi < 4; ++hi) {
      const Block b{2 << wi, 2 << hi};
      if (s.uni8[wi][hi] != c.uni8[wi][hi])
        compare("uni8", b, 1, one, [&](const WeightKernels& k, Area&, Area&, Area& d) {
          kvntest::note_compared(k.uni8[wi][hi])(d.origin(), d.step(), pack8_one(a), a.shift);
        });
      if (s.bi8[wi][hi] != c.bi8[wi][hi])
        compare("bi8", b, 1, two, [&](const WeightKernels& k, Area& s1, Area& s2, Area& d) {
          kvntest::note_compared(k.bi8[wi][hi])(s1.origin(), s1.step(), s2.origin(), s2.step(), d.origin(), d.step(),
                                                pack8_weights(a), pack8_offsets(a), a.shift);
        });
    }
  if (s.bi8_any != c.bi8_any)
    for (int t = 0; t < 20; ++t) {
      const Block b{rng.range(1, 40), rng.range(1, 6)};
      compare("bi8_any", b, 1, two, [&](const WeightKernels& k, Area& s1, Area& s2, Area& d) {
        kvntest::note_compared(k.bi8_any)(s1.origin(), s1.step(), s2.origin(), s2.step(), d.origin(), d.step(), b.width,
                                          b.height, a);
      });
    }
}

TEST_P(WeightDiff, SixteenBitKernelsMatchTheReference) {
  auto u16 = [](Area& x) { return x.as<uint16_t>(); };
  auto record = [&](Area& s1, Area& s2, Area& d, Block b) {
    return KvnBidirRecord16u{u16(s1),      s1.step() / 2,       u16(s2), s2.step() / 2, u16(d),
                             d.step() / 2, {b.width, b.height}, 0};
  };
  WeightArgs a{};
  Packed16 q{};
  int max = 0;
  auto one = [&] { return a = draw16(rng, false), q = pack16(a), a.max_value; };
  auto two = [&] { return a = draw16(rng, true), q = pack16(a), a.max_value; };
  for (int wi = 0; wi < 4; ++wi)
    for (int hi = 0; hi < 4; ++hi) {
      const Block b{2 << wi, 2 << hi};
      if (s.uni16[wi][hi] != c.uni16[wi][hi])
        compare("uni16", b, 2, one, [&](const WeightKernels& k, Area&, Area&, Area& d) {
          kvntest::note_compared(k.uni16[wi][hi])(u16(d), d.step() / 2, q.weights, q.add, q.offset, q.shiftMax);
        });
      if (s.bi16[wi][hi] != c.bi16[wi][hi])
        compare("bi16", b, 2, two, [&](const WeightKernels& k, Area& s1, Area& s2, Area& d) {
          kvntest::note_compared(k.bi16[wi][hi])(record(s1, s2, d, b), q.weights, q.add, q.offset, q.shiftMax);
        });
    }
  auto depth = [&] { return max = (1 << rng.range(1, 16)) - 1; };
  for (int w = 2; w <= 16; ++w)
    if (s.average16[w - 2] != c.average16[w - 2]) {
      const Block b{w, rng.range(1, 16)};
      compare("average16", b, 2, depth, [&](const WeightKernels& k, Area& s1, Area& s2, Area& d) {
        kvntest::note_compared(k.average16[w - 2])(record(s1, s2, d, b), max);
      });
    }
}

INSTANTIATE_TEST_SUITE_P(Levels, WeightDiff, ::testing::ValuesIn(kvntest::simd_levels()),
                         [](const ::testing::TestParamInfo<Isa>& i) { return std::string(isa_name(i.param)); });
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(WeightDiff);

// Reducing common factors of 2 keeps every result, for any parameters.
TEST(WeightArgs, ReductionKeepsTheResults) {
  Rng rng = kvntest::rng_for("WeightArgsReduction");
  for (int t = 0; t < 20000; ++t) {
    const int k = rng.range(0, 31);
    auto weight = [&] { return int32_t(rng.u32() & ~((1u << k) - 1)); };
    WeightArgs a{{weight(), weight()},
                 {weight(), weight()},
                 {rng.range(-300, 300), rng.range(-300, 300)},
                 rng.range(0, kMaxWeightShift),
                 255};
    WeightArgs r = a;
    reduce_weights(r);
    const int x1 = rng.byte(), x2 = rng.byte(), ch = rng.range(0, 1);
    auto eval = [&](const WeightArgs& p) {
      return weigh(int64_t(x1) * p.w1[ch] + int64_t(x2) * p.w2[ch], p.shift, p.offset[ch], 255);
    };
    ASSERT_EQ(eval(a), eval(r)) << a.w1[ch] << " " << a.w2[ch] << " >> " << a.shift;
  }
}

// Every parameter set of H.264 (7.4.3.2, 8.4.2.3) takes the fast 8-bit path.
TEST(WeightArgs, H264ParametersAreFast) {
  for (uint32_t l = 0; l <= 7; ++l)
    for (int w1 = -128; w1 <= 127; ++w1) {
      WeightArgs u = uni_args(l, w1, -128, 255);
      reduce_weights(u);
      ASSERT_TRUE(fits8_one(u)) << w1 << " " << l;
      for (int w2 = -128; w2 <= 127; ++w2) {
        if (w1 + w2 < -128 || w1 + w2 > (l == 7 ? 127 : 128)) continue;
        WeightArgs b = bi_args(l, w1, 127, w2, 127, 255);
        reduce_weights(b);
        ASSERT_TRUE(fits8(b)) << w1 << " " << w2 << " " << l;
      }
    }
  for (int w1 = -64; w1 <= 128; ++w1) {
    WeightArgs a = bi_args(5, w1, 0, 64 - w1, 0, 255);
    reduce_weights(a);
    ASSERT_TRUE(fits8(a)) << w1;
  }
}

}  // namespace
