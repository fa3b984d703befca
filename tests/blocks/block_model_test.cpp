// Every exported block function against a small model of its arithmetic,
// written here independently of the library: right size, right formula,
// nothing written outside the block.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "half_sample.h"
#include "kvnvc.h"
#include "rng.h"

namespace {

constexpr int kStep = 48;     // bytes per row of every 8-bit area
constexpr int kResStep = 64;  // bytes per row of every residual area (32 samples)
constexpr int kRows = 20;

struct Areas {
  std::vector<uint8_t> refF, refB, dst;
  std::vector<int16_t> resU, resV;
  explicit Areas(kvntest::Rng& g)
      : refF(kStep * kRows), refB(kStep * kRows), dst(kStep * kRows), resU(32 * kRows), resV(32 * kRows) {
    for (auto* v : {&refF, &refB, &dst}) g.fill(*v, 0, 255);
    g.fill(resU, -600, 599);
    g.fill(resV, -32768, 32767);
  }
};

// Half-sample prediction from area r in a mode of the MC functions; hp_mode(code)
// is the mode of a half-sample code (bit 0 horizontal, bit 1 vertical).
int pred(const std::vector<uint8_t>& r, int x, int y, int mode, int rounding, int dx) {
  return kvntest::half_sample([&](int xx, int yy) { return int(r[yy * kStep + xx]); }, x, y, mode, rounding, dx);
}
int hp_mode(int code) { return (code & 1) * 8 + (code & 2) * 2; }
uint8_t clamp(int v) { return uint8_t(v < 0 ? 0 : v > 255 ? 255 : v); }
uint8_t wrap_clamp(int v) { return clamp(int16_t(uint16_t(v))); }

// Runs `call` on a copy of the destination and compares every byte with the
// model's result for (x, y) inside w x h and with the old byte elsewhere.
void expect_model(const std::string& name, Areas& a, int w, int h, const std::function<void(uint8_t*)>& call,
                  const std::function<int(int, int, int)>& model) {
  std::vector<uint8_t> out = a.dst;
  call(out.data());
  for (int y = 0; y < kRows; ++y)
    for (int x = 0; x < kStep; ++x) {
      const int old = a.dst[y * kStep + x];
      const int want = (x < w && y < h) ? model(x, y, old) : old;
      ASSERT_EQ(int(out[y * kStep + x]), want) << name << " at (" << x << ", " << y << ")";
    }
}

struct Sized {
  const char* name;
  int w, h;
};

TEST(BlockModel, CopiesAveragesAndHalfSamples) {
  kvntest::TestRng g;
  using HpFn = KvnResult (*)(const Kvn8u*, int32_t, Kvn8u*, int32_t, int32_t, int32_t);
  const struct {
    Sized s;
    HpFn copy, avg;
  } hp[] = {
      {{"8x4", 8, 4}, kvniCopy8x4HP_8u_C1R, kvniInterpolateAverage8x4_8u_C1IR},
      {{"8x8", 8, 8}, kvniCopy8x8HP_8u_C1R, kvniInterpolateAverage8x8_8u_C1IR},
      {{"16x8", 16, 8}, kvniCopy16x8HP_8u_C1R, kvniInterpolateAverage16x8_8u_C1IR},
      {{"16x16", 16, 16}, kvniCopy16x16HP_8u_C1R, kvniInterpolateAverage16x16_8u_C1IR},
  };
  for (const auto& k : hp)
    for (int code = 0; code < 4; ++code)
      for (int rc = 0; rc < 2; ++rc) {
        Areas a(g);
        const std::string tag = std::string(k.s.name) + " code " + std::to_string(code) + " rc " + std::to_string(rc);
        expect_model(
            "CopyHP " + tag, a, k.s.w, k.s.h,
            [&](uint8_t* d) { ASSERT_EQ(k.copy(a.refF.data(), kStep, d, kStep, code, rc), 0); },
            [&](int x, int y, int) { return pred(a.refF, x, y, hp_mode(code), rc, 1); });
        expect_model(
            "InterpolateAverage " + tag, a, k.s.w, k.s.h,
            [&](uint8_t* d) { ASSERT_EQ(k.avg(a.refF.data(), kStep, d, kStep, code, rc), 0); },
            [&](int x, int y, int old) { return (pred(a.refF, x, y, hp_mode(code), rc, 1) + old + 1) >> 1; });
      }
  Areas a(g);
  auto src = [&](int x, int y, int) { return int(a.refF[y * kStep + x]); };
  auto avg = [&](int x, int y, int) { return (a.refF[y * kStep + x] + a.refB[y * kStep + x] + 1) >> 1; };
  auto avg_in = [&](int x, int y, int old) { return (a.refF[y * kStep + x] + old + 1) >> 1; };
  expect_model(
      "Copy8x8", a, 8, 8, [&](uint8_t* d) { kvniCopy8x8_8u_C1R(a.refF.data(), kStep, d, kStep); }, src);
  expect_model(
      "Copy16x16", a, 16, 16, [&](uint8_t* d) { kvniCopy16x16_8u_C1R(a.refF.data(), kStep, d, kStep); }, src);
  expect_model(
      "Average8x8", a, 8, 8,
      [&](uint8_t* d) { kvniAverage8x8_8u_C1R(a.refF.data(), kStep, a.refB.data(), kStep, d, kStep); }, avg);
  expect_model(
      "Average16x16", a, 16, 16,
      [&](uint8_t* d) { kvniAverage16x16_8u_C1R(a.refF.data(), kStep, a.refB.data(), kStep, d, kStep); }, avg);
  expect_model(
      "Average8x8 IR", a, 8, 8, [&](uint8_t* d) { kvniAverage8x8_8u_C1IR(a.refF.data(), kStep, d, kStep); }, avg_in);
  expect_model(
      "Average16x16 IR", a, 16, 16, [&](uint8_t* d) { kvniAverage16x16_8u_C1IR(a.refF.data(), kStep, d, kStep); },
      avg_in);
}

TEST(BlockModel, ResidualAdds) {
  kvntest::TestRng g;
  for (int trial = 0; trial < 4; ++trial) {
    Areas a(g);
    if (trial & 1) g.fill(a.resU, -32768, 32767);  // full range: the 16-bit sums wrap
    auto res = [&](int x, int y) { return int(a.resU[y * 32 + x]); };
    expect_model(
        "Add8x8", a, 8, 8, [&](uint8_t* d) { kvniAdd8x8_16s8u_C1IRS(a.resU.data(), kResStep, d, kStep); },
        [&](int x, int y, int old) { return wrap_clamp(old + res(x, y)); });
    const int16_t c = int16_t(g.u32());
    expect_model(
        "AddC8x8", a, 8, 8, [&](uint8_t* d) { kvniAddC8x8_16s8u_C1IR(c, d, kStep); },
        [&](int, int, int old) { return wrap_clamp(old + c); });
    for (int code = 0; code < 4; ++code)
      for (int rc = 0; rc < 2; ++rc)
        expect_model(
            "Add8x8HP", a, 8, 8,
            [&](uint8_t* d) {
              kvniAdd8x8HP_16s8u_C1RS(a.resU.data(), kResStep, a.refF.data(), kStep, d, kStep, code, rc);
            },
            [&](int x, int y, int) { return wrap_clamp(pred(a.refF, x, y, hp_mode(code), rc, 1) + res(x, y)); });
  }
}

using McFn = KvnResult (*)(const Kvn8u*, int32_t, const Kvn16s*, int32_t, Kvn8u*, int32_t, int32_t, int32_t);
using McBFn = KvnResult (*)(const Kvn8u*, int32_t, int32_t, const Kvn8u*, int32_t, int32_t, const Kvn16s*, int32_t,
                            Kvn8u*, int32_t, int32_t);

TEST(BlockModel, MotionCompensation) {
  const struct {
    Sized s;
    McFn one;
    McBFn two;
    int dx;
  } mc[] = {
      {{"16x16", 16, 16}, kvniMC16x16_8u_C1, kvniMC16x16B_8u_C1, 1},
      {{"16x8", 16, 8}, kvniMC16x8_8u_C1, kvniMC16x8B_8u_C1, 1},
      {{"8x16", 8, 16}, kvniMC8x16_8u_C1, kvniMC8x16B_8u_C1, 1},
      {{"8x8", 8, 8}, kvniMC8x8_8u_C1, kvniMC8x8B_8u_C1, 1},
      {{"8x4", 8, 4}, kvniMC8x4_8u_C1, kvniMC8x4B_8u_C1, 1},
      {{"4x8", 4, 8}, kvniMC4x8_8u_C1, kvniMC4x8B_8u_C1, 1},
      {{"4x4", 4, 4}, kvniMC4x4_8u_C1, kvniMC4x4B_8u_C1, 1},
      {{"4x2", 4, 2}, kvniMC4x2_8u_C1, kvniMC4x2B_8u_C1, 1},
      {{"2x4", 2, 4}, kvniMC2x4_8u_C1, kvniMC2x4B_8u_C1, 1},
      {{"2x2", 2, 2}, kvniMC2x2_8u_C1, kvniMC2x2B_8u_C1, 1},
      {{"16x8UV", 16, 8}, kvniMC16x8UV_8u_C1, kvniMC16x8BUV_8u_C1, 2},
      {{"16x4", 16, 4}, kvniMC16x4_8u_C1, kvniMC16x4B_8u_C1, 2},
  };
  kvntest::TestRng g;
  for (const auto& k : mc)
    for (int rc = 0; rc < 2; ++rc)
      for (int mf = 0; mf < 16; mf += 4) {
        Areas a(g);
        auto res = [&](int x, int y) { return int(a.resU[y * 32 + x]); };
        const std::string tag = std::string(k.s.name) + " mode " + std::to_string(mf) + " rc " + std::to_string(rc);
        expect_model(
            "MC " + tag, a, k.s.w, k.s.h,
            [&](uint8_t* d) { ASSERT_EQ(k.one(a.refF.data(), kStep, a.resU.data(), kResStep, d, kStep, mf, rc), 0); },
            [&](int x, int y, int) { return clamp(pred(a.refF, x, y, mf, rc, k.dx) + res(x, y)); });
        for (int mb = 0; mb < 16; mb += 4)
          expect_model(
              "MC B " + tag + " backward " + std::to_string(mb), a, k.s.w, k.s.h,
              [&](uint8_t* d) {
                ASSERT_EQ(
                    k.two(a.refF.data(), kStep, mf, a.refB.data(), kStep, mb, a.resU.data(), kResStep, d, kStep, rc),
                    0);
              },
              [&](int x, int y, int) {
                const int p = (pred(a.refF, x, y, mf, rc, k.dx) + pred(a.refB, x, y, mb, rc, k.dx) + 1) >> 1;
                return clamp(p + res(x, y));
              });
      }
}

TEST(BlockModel, InterleavedChromaWithPlanarResiduals) {
  using P2 =
      KvnResult (*)(const Kvn8u*, int32_t, const Kvn16s*, const Kvn16s*, int32_t, Kvn8u*, int32_t, int32_t, int32_t);
  using P2B = KvnResult (*)(const Kvn8u*, int32_t, int32_t, const Kvn8u*, int32_t, int32_t, const Kvn16s*,
                            const Kvn16s*, int32_t, Kvn8u*, int32_t, int32_t);
  const struct {
    int h;
    P2 one;
    P2B two;
  } p2[] = {{8, kvniMC8x8_16s8u_P2C2R, kvniMC8x8B_16s8u_P2C2R}, {4, kvniMC8x4_16s8u_P2C2R, kvniMC8x4B_16s8u_P2C2R}};
  kvntest::TestRng g;
  for (const auto& k : p2)
    for (int rc = 0; rc < 2; ++rc)
      for (int mf = 0; mf < 16; mf += 4)
        for (int mb = 0; mb < 16; mb += 4) {
          Areas a(g);
          auto res = [&](int x, int y) { return int(((x & 1) ? a.resV : a.resU)[y * 32 + x / 2]); };
          expect_model(
              "P2C2R", a, 16, k.h,
              [&](uint8_t* d) {
                ASSERT_EQ(k.one(a.refF.data(), kStep, a.resU.data(), a.resV.data(), kResStep, d, kStep, mf, rc), 0);
              },
              [&](int x, int y, int) { return clamp(pred(a.refF, x, y, mf, rc, 2) + res(x, y)); });
          expect_model(
              "P2C2R B", a, 16, k.h,
              [&](uint8_t* d) {
                ASSERT_EQ(k.two(a.refF.data(), kStep, mf, a.refB.data(), kStep, mb, a.resU.data(), a.resV.data(),
                                kResStep, d, kStep, rc),
                          0);
              },
              [&](int x, int y, int) {
                const int p = (pred(a.refF, x, y, mf, rc, 2) + pred(a.refB, x, y, mb, rc, 2) + 1) >> 1;
                return clamp(p + res(x, y));
              });
        }
}

}  // namespace
