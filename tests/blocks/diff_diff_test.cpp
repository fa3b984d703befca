// Every SIMD kernel of the block differences against its scalar reference:
// every alignment, signed and odd steps, extreme data, and nothing written
// outside the outputs.
#include <string>

#include "blocks/diff.h"
#include "support/harness.h"

namespace {

using namespace kvn;
using kvntest::Area;
using kvntest::Fill;
using kvntest::Rng;

constexpr int kTrialsPerAlignment = 2;
constexpr int kModeCodes[4] = {0, 2, 1, 3};  // (mode & 12) / 4 -> half-sample code

Fill pick_fill(Rng& rng) { return kvntest::kAllFills[rng.range(0, 4)]; }

// An input of w x h bytes plus what a half-sample code reads beyond it (one
// column dx bytes further on, one row).
Area input(Rng& rng, int w, int h, int code, int dx, int align) {
  w += (code & 1) ? dx : 0;
  h += (code & 2) ? 1 : 0;
  Area a(w, h, kvntest::random_step(rng, w, true), align);
  a.fill(rng, pick_fill(rng));
  return a;
}

// 16-bit samples: byte fills (0, 0xffff, ...) or int16 patterns.
Area input16(Rng& rng, int w, int h, int align) {
  Area a(2 * w, h, kvntest::random_step(rng, 2 * w, true), align);
  if (rng.coin())
    a.fill(rng, pick_fill(rng));
  else
    a.fill_i16(rng, rng.coin());
  return a;
}

// Outputs of w x h 16-bit values at any address and step (odd ones
// included), with guards, pre-filled at random.
Area output16(Rng& rng, int w, int h) {
  Area a(2 * w, h, kvntest::random_step(rng, 2 * w, true), rng.range(0, 15), 32);
  a.fill(rng, Fill::kRandom);
  return a;
}

// Dense output arrays (no step) of `bytes`, aligned for their 16- or 32-bit
// elements.
Area dense(Rng& rng, int bytes) {
  Area a(bytes, 1, bytes, 4 * rng.range(0, 3), 32);
  a.fill(rng, Fill::kRandom);
  return a;
}

// Runs `call(kernel, first, second)` for the reference and the SIMD kernel on
// copies of the two output areas and compares both, guards included (an
// unused second area checks that nothing else was written).
template <class Fn, class Call>
void compare(Fn ref, Fn simd, Area& first, Area& second, Call&& call, const std::string& what) {
  const Area first0(first), second0(second);
  Area want1(first), want2(second);
  call(ref, want1, want2);
  call(kvntest::note_compared(simd), first, second);
  ASSERT_TRUE(kvntest::same_area(first0, want1, first)) << what << ", first output";
  ASSERT_TRUE(kvntest::same_area(second0, want2, second)) << what << ", second output";
}

class DiffDiff : public ::testing::TestWithParam<Isa> {
 protected:
  const DiffKernels& c = kDiffKernelsC;
  const DiffKernels& s() const { return diff_kernels(GetParam()); }
  Rng rng = kvntest::rng_for(::testing::UnitTest::GetInstance()->current_test_info()->name());
  std::string tag(const char* fn, int size, int index) const {
    return std::string(fn) + "[" + std::to_string(size) + "][" + std::to_string(index) + "] " + isa_name(GetParam());
  }

  // Every alignment of the first input, kTrialsPerAlignment trials each.
  template <class Body>
  void each_alignment(Body&& body) {
    for (int align = 0; align < 16; ++align)
      for (int t = 0; t < kTrialsPerAlignment; ++t) body(align);
  }
};

TEST_P(DiffDiff, GetDiffOneReference) {
  const int dims[kDiffSizes][2] = {{8, 4}, {8, 8}, {8, 16}, {16, 8}, {16, 16}};
  for (int size = 0; size < kDiffSizes; ++size)
    for (int withPred = 0; withPred < 2; ++withPred)
      for (int i = 0; i < 8; ++i) {
        const GetDiffFn ref = c.get_diff[size][withPred][i], simd = s().get_diff[size][withPred][i];
        if (ref == simd) continue;
        const int w = dims[size][0], h = dims[size][1];
        each_alignment([&](int align) {
          const Area src = input(rng, w, h, 0, 1, rng.range(0, 15));
          const Area refs = input(rng, w, h, kModeCodes[i / 2], 1, align);
          Area diff = output16(rng, w, h), pred = output16(rng, w, h);
          compare(
              ref, simd, diff, pred,
              [&](GetDiffFn f, Area& d, Area& p) {
                f(src.origin(), src.step(), refs.origin(), refs.step(), d.as<int16_t>(), d.step(),
                  withPred ? p.as<int16_t>() : nullptr, p.step());
              },
              tag("get_diff", size * 2 + withPred, i));
        });
      }
}

TEST_P(DiffDiff, GetDiffTwoReferences) {
  const int dims[kDiffSizes][2] = {{8, 4}, {8, 8}, {8, 16}, {16, 8}, {16, 16}};
  for (int size = 0; size < kDiffSizes; ++size)
    for (int i = 0; i < 32; ++i) {
      if (c.get_diff_b[size][i] == s().get_diff_b[size][i]) continue;
      const int w = dims[size][0], h = dims[size][1];
      each_alignment([&](int align) {
        const Area src = input(rng, w, h, 0, 1, rng.range(0, 15));
        const Area rf = input(rng, w, h, kModeCodes[(i / 2) % 4], 1, align);
        const Area rb = input(rng, w, h, kModeCodes[i / 8], 1, rng.range(0, 15));
        Area diff = output16(rng, w, h), unused = output16(rng, 1, 1);
        compare(
            c.get_diff_b[size][i], s().get_diff_b[size][i], diff, unused,
            [&](GetDiffBFn f, Area& d, Area&) {
              f(src.origin(), src.step(), rf.origin(), rf.step(), rb.origin(), rb.step(), d.as<int16_t>(), d.step());
            },
            tag("get_diff_b", size, i));
      });
    }
}

TEST_P(DiffDiff, GetDiffInterleavedChroma) {
  for (int size = 0; size < kDiffP2Sizes; ++size) {
    const int h = size == kDiffP2_8x8 ? 8 : 4;
    for (int i = 0; i < 32; ++i) {
      const bool one = i < 8 && c.get_diff_p2[size][i] != s().get_diff_p2[size][i];
      const bool two = c.get_diff_p2b[size][i] != s().get_diff_p2b[size][i];
      if (!one && !two) continue;
      each_alignment([&](int align) {
        const Area src = input(rng, 16, h, 0, 2, rng.range(0, 15));
        const Area rf = input(rng, 16, h, kModeCodes[(i / 2) % 4], 2, align);
        const Area rb = input(rng, 16, h, kModeCodes[i / 8], 2, rng.range(0, 15));
        Area du = output16(rng, 8, h), dv = output16(rng, 8, h);
        if (one)
          compare(
              c.get_diff_p2[size][i], s().get_diff_p2[size][i], du, dv,
              [&](GetDiffP2Fn f, Area& u, Area& v) {
                f(src.origin(), src.step(), rf.origin(), rf.step(), u.as<int16_t>(), u.step(), v.as<int16_t>(),
                  v.step());
              },
              tag("get_diff_p2", size, i));
        if (two)
          compare(
              c.get_diff_p2b[size][i], s().get_diff_p2b[size][i], du, dv,
              [&](GetDiffP2BFn f, Area& u, Area& v) {
                f(src.origin(), src.step(), rf.origin(), rf.step(), rb.origin(), rb.step(), u.as<int16_t>(), u.step(),
                  v.as<int16_t>(), v.step());
              },
              tag("get_diff_p2b", size, i));
      });
    }
  }
}

TEST_P(DiffDiff, PlainDifferences) {
  const struct {
    Sub16uFn c, s;
    int n;
  } sub16u[] = {{c.sub16u4x4, s().sub16u4x4, 4}, {c.sub16u8x8, s().sub16u8x8, 8}};
  each_alignment([&](int align) {
    if (c.diff4x4 != s().diff4x4) {
      const Area a = input(rng, 4, 4, 0, 1, align), b = input(rng, 4, 4, 0, 1, rng.range(0, 15));
      Area d = output16(rng, 4, 4), unused = output16(rng, 1, 1);
      compare(
          c.diff4x4, s().diff4x4, d, unused,
          [&](DiffFn f, Area& o, Area&) { f(a.origin(), a.step(), b.origin(), b.step(), o.as<int16_t>(), o.step()); },
          tag("diff4x4", 0, 0));
    }
    for (const auto& k : sub16u) {
      if (k.c == k.s) continue;
      const Area a = input16(rng, k.n, k.n, align), b = input16(rng, k.n, k.n, rng.range(0, 15));
      Area d = output16(rng, k.n, k.n), unused = output16(rng, 1, 1);
      compare(
          k.c, k.s, d, unused,
          [&](Sub16uFn f, Area& o, Area&) {
            f(a.as<uint16_t>(), a.step(), b.as<uint16_t>(), b.step(), o.as<int16_t>(), o.step());
          },
          tag("sub16u", k.n, 0));
    }
  });
}

TEST_P(DiffDiff, SumsOfBlocks) {
  for (int size = 0; size < kSumsSizes; ++size)
    for (int withDiff = 0; withDiff < 2; ++withDiff) {
      const int n = size == kSums8x8 ? 8 : 16, blocks = n * n / 16;
      const SumsDiff8uFn b8[2] = {c.sums_diff[size][withDiff], s().sums_diff[size][withDiff]};
      const SumsDiff16uFn b16[2] = {c.sums_diff16u[size][withDiff], s().sums_diff16u[size][withDiff]};
      each_alignment([&](int align) {
        Area diff = dense(rng, 2 * n * n);
        int16_t* const d = withDiff ? diff.as<int16_t>() : nullptr;
        if (b8[0] != b8[1]) {
          const Area a = input(rng, n, n, 0, 1, align), p = input(rng, n, n, 0, 1, rng.range(0, 15));
          Area sums = dense(rng, 2 * blocks);
          compare(
              b8[0], b8[1], sums, diff,
              [&](SumsDiff8uFn f, Area& o, Area& od) {
                f(a.origin(), a.step(), p.origin(), p.step(), o.as<int16_t>(), d ? od.as<int16_t>() : nullptr);
              },
              tag("sums_diff", n, withDiff));
        }
        if (b16[0] != b16[1]) {
          const Area a = input16(rng, n, n, align), p = input16(rng, n, n, rng.range(0, 15));
          Area sums = dense(rng, 4 * blocks);
          compare(
              b16[0], b16[1], sums, diff,
              [&](SumsDiff16uFn f, Area& o, Area& od) {
                f(a.as<uint16_t>(), a.step(), p.as<uint16_t>(), p.step(), o.as<int32_t>(),
                  d ? od.as<int16_t>() : nullptr);
              },
              tag("sums_diff16u", n, withDiff));
        }
      });
    }
}

TEST_P(DiffDiff, SumsOfBlocksInterleavedChroma) {
  for (int i = 0; i < 4; ++i) {
    if (c.sums_diff_p2[i] == s().sums_diff_p2[i]) continue;
    each_alignment([&](int align) {
      const Area src = input(rng, 16, 8, 0, 2, align);
      const Area pu = input(rng, 8, 8, 0, 1, rng.range(0, 15)), pv = input(rng, 8, 8, 0, 1, rng.range(0, 15));
      // Per channel: 4 sums (8 bytes) followed by 64 differences, in one area.
      Area u = dense(rng, 2 * 68), v = dense(rng, 2 * 68);
      compare(
          c.sums_diff_p2[i], s().sums_diff_p2[i], u, v,
          [&](SumsDiffP2Fn f, Area& ou, Area& ov) {
            f(src.origin(), src.step(), pu.origin(), pu.step(), pv.origin(), pv.step(), ou.as<int16_t>(),
              (i & 1) ? ou.as<int16_t>() + 4 : nullptr, ov.as<int16_t>(), (i & 2) ? ov.as<int16_t>() + 4 : nullptr);
          },
          tag("sums_diff_p2", 0, i));
    });
  }
}

INSTANTIATE_TEST_SUITE_P(Simd, DiffDiff, ::testing::ValuesIn(kvntest::simd_levels()),
                         [](const ::testing::TestParamInfo<Isa>& i) { return std::string(isa_name(i.param)); });
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(DiffDiff);

}  // namespace
