// The SIMD kernels of the 32-bit residual and high-bit-depth intra families
// against their scalar references: random and extreme coefficients (wrapping
// arithmetic included), scale tables and qp, samples anywhere in their type,
// blocks with and without coefficients and DC, every bit depth, alignment and
// availability, signed steps, guard bytes around every output. (The walks
// over the kernels are checked whole against the model, recon_hbd_model_test.)
#include <cstring>
#include <string>
#include <vector>

#include "h264/intra/intra_hbd.h"
#include "h264/recon/residual_hbd.h"
#include "support/harness.h"

namespace {

using namespace kvn;
using kvntest::Area;
using kvntest::Rng;

int32_t draw32(Rng& rng) {
  static const int32_t kSpecial[] = {INT32_MIN, INT32_MAX, -1, 1, 0, 65536, -65537, 1 << 24, 32767, -32768};
  switch (rng.range(0, 3)) {
    case 0: return int32_t(rng.u32());
    case 1: return kSpecial[rng.range(0, 9)];
    case 2: return rng.range(-4096, 4096);
    default: return rng.range(-64, 64);
  }
}

std::vector<int16_t> draw_table(Rng& rng, int n) {
  std::vector<int16_t> t(n);
  for (int16_t& v : t) v = rng.coin() ? int16_t(rng.range(16, 6375)) : int16_t(rng.u32());
  return t;
}

// An output area of `rows` rows of `w` samples of S, random contents.
template <class S>
Area samples(Rng& rng, int w, int rows, int stepSamples, int align) {
  Area a(int(sizeof(S)) * w, rows, int(sizeof(S)) * stepSamples, align & (sizeof(S) == 2 ? 14 : 15), 48);
  a.fill(rng, kvntest::kAllFills[rng.range(0, 4)]);
  return a;
}

int draw_step(Rng& rng, int w) { return (rng.coin() ? 1 : -1) * (w + rng.range(0, 3) * rng.range(0, 9)); }

template <class S, class C, class Fn>
void row_case(Rng& rng, Isa isa, Fn ref, Fn simd, int align) {
  const int n = rng.range(1, 4), step = draw_step(rng, 4 * n), qp = rng.range(0, 87);
  const std::vector<int16_t> table = draw_table(rng, 16);
  const DequantHbd4x4 q(table.data(), qp);
  std::vector<std::vector<C>> blocks(n);
  const C* coef[4] = {};
  int32_t dc[4];
  for (int i = 0; i < n; ++i) {
    dc[i] = draw32(rng);
    if (rng.range(0, 3) == 0) continue;
    for (int p = 0; p < 16; ++p) blocks[i].push_back(C(draw32(rng)));
    coef[i] = blocks[i].data();
  }
  const bool withDc = rng.coin();
  const int32_t max = sizeof(S) == 1 ? 255 : (1 << rng.range(8, 14)) - 1;
  Area out = samples<S>(rng, 4 * n, 4, step, align);
  const Area before(out);
  Area want(out), got(out);
  if constexpr (sizeof(S) == 2) {
    ref(want.as<S>(), step, coef, withDc ? dc : nullptr, n, q, max);
    kvntest::note_compared(simd)(got.as<S>(), step, coef, withDc ? dc : nullptr, n, q, max);
  } else {
    ref(want.as<S>(), step, coef, withDc ? dc : nullptr, n, q);
    kvntest::note_compared(simd)(got.as<S>(), step, coef, withDc ? dc : nullptr, n, q);
  }
  ASSERT_TRUE(kvntest::same_area(before, want, got)) << isa_name(isa) << " qp " << qp << kvntest::seed_note();
}

// One instance per SIMD level, named after it; each test draws from its own
// generator.
class ReconHbdDiff : public ::testing::TestWithParam<Isa> {
 protected:
  Rng rng = kvntest::rng_for(::testing::UnitTest::GetInstance()->current_test_info()->name());
  const Isa isa = GetParam();
};

TEST_P(ReconHbdDiff, ResidualHbd) {
  const ResidualHbdKernels& c = kResidualHbdKernelsC;
  const ResidualHbdKernels& k = residual_hbd_kernels(isa);
  for (int align = 0; align < 16; ++align)
    for (int rep = 0; rep < 150; ++rep) {
      if (k.row4x4_16u != c.row4x4_16u) row_case<uint16_t, int32_t>(rng, isa, c.row4x4_16u, k.row4x4_16u, align);
      if (k.row4x4_8u != c.row4x4_8u) row_case<uint8_t, int16_t>(rng, isa, c.row4x4_8u, k.row4x4_8u, align);
      if (HasFatalFailure()) return;
      if (k.block8x8_16u == c.block8x8_16u) continue;
      const int step = draw_step(rng, 8), qp = rng.range(0, 87), max = (1 << rng.range(8, 14)) - 1;
      const std::vector<int16_t> table = draw_table(rng, 64);
      const DequantHbd8x8 q(table.data(), qp);
      int32_t coef[64];
      for (int32_t& v : coef) v = draw32(rng);
      Area out = samples<uint16_t>(rng, 8, 8, step, align);
      const Area before(out);
      Area want(out), got(out);
      c.block8x8_16u(want.as<uint16_t>(), step, coef, q, max);
      kvntest::note_compared(k.block8x8_16u)(got.as<uint16_t>(), step, coef, q, max);
      ASSERT_TRUE(kvntest::same_area(before, want, got)) << isa_name(isa) << " 8x8 qp " << qp << kvntest::seed_note();
    }
}

// Each predictor on a block with its neighbours (one row above reaching 16
// samples right, one column left), every availability combination.
template <class S, class Fn>
void intra_case(Rng& rng, Isa isa, const char* what, Fn ref, Fn simd, int w, int h, int bd, int avail, int align) {
  // Now and then a step equal to the width: the left neighbour of a row is
  // then the last sample of the row above, inside the block (one more row
  // holds what the last row reaches).
  const int step = rng.range(0, 7) == 0 ? w : w + 16 + rng.range(0, 9);
  Area out = samples<S>(rng, step, h + 2, step, align);
  const int32_t max = (1 << bd) - 1;
  if (rng.coin())  // samples in range, as a decoder's picture holds them
    for (int i = 0; i < step * (h + 2); ++i) out.as<S>()[i] = S(out.as<S>()[i] & max);
  const Area before(out);
  Area want(out), got(out);
  S* bw = want.as<S>() + step + 1;
  S* bg = got.as<S>() + step + 1;
  if constexpr (sizeof(S) == 2) {
    ref(bw, step, avail, bd);
    kvntest::note_compared(simd)(bg, step, avail, bd);
  } else {
    ref(bw, step, avail);
    kvntest::note_compared(simd)(bg, step, avail);
  }
  ASSERT_TRUE(kvntest::same_area(before, want, got))
      << isa_name(isa) << " " << what << " bd " << bd << " avail " << avail << kvntest::seed_note();
}

TEST_P(ReconHbdDiff, IntraHbd) {
  const IntraHbdKernels& c = kIntraHbdKernelsC;
  const IntraHbdKernels& k = intra_hbd_kernels(isa);
  for (int combo = 0; combo < 32; ++combo) {
    const int avail = (combo & 3) | (combo & 4) << 3 | (combo & 8) << 3 | (combo & 16) << 3;
    for (int rep = 0; rep < 12; ++rep) {
      const int bd = rng.range(8, 14), align = rng.range(0, 15);
      for (int m = 0; m < 9; ++m) {
        if (k.pred4x4[m] != c.pred4x4[m])
          intra_case<uint16_t>(rng, isa, "4x4", c.pred4x4[m], k.pred4x4[m], 4, 4, bd, avail, align);
        if (k.pred8x8[m] != c.pred8x8[m])
          intra_case<uint16_t>(rng, isa, "8x8", c.pred8x8[m], k.pred8x8[m], 8, 8, bd, avail, align);
      }
      for (int m = 0; m < 4; ++m) {
        if (k.pred16x16[m] != c.pred16x16[m])
          intra_case<uint16_t>(rng, isa, "16x16", c.pred16x16[m], k.pred16x16[m], 16, 16, bd, avail, align);
        if (k.chroma8x8[m] != c.chroma8x8[m])
          intra_case<uint16_t>(rng, isa, "8x8c", c.chroma8x8[m], k.chroma8x8[m], 8, 8, bd, avail, align);
        if (k.chroma8x16[m] != c.chroma8x16[m])
          intra_case<uint16_t>(rng, isa, "8x16c", c.chroma8x16[m], k.chroma8x16[m], 8, 16, bd, avail, align);
        if (k.chroma8x16_8u[m] != c.chroma8x16_8u[m])
          intra_case<uint8_t>(rng, isa, "8x16c 8u", c.chroma8x16_8u[m], k.chroma8x16_8u[m], 8, 16, 8, avail, align);
      }
      if (HasFatalFailure()) return;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Levels, ReconHbdDiff, ::testing::ValuesIn(kvntest::simd_levels()),
                         [](const ::testing::TestParamInfo<Isa>& i) { return std::string(isa_name(i.param)); });
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(ReconHbdDiff);

}  // namespace
