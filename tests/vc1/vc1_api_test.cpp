// VC-1 transforms and quantisers through the exported names: statuses in
// their order with nothing written on failure, worked examples, the nonzero
// region the inverse quantisers report and the inverse transforms take, and
// the round trips that tie the forward and inverse operations together.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "guard_page.h"
#include "kvnvc.h"
#include "rng.h"

namespace {

using Block = std::vector<Kvn16s>;  // 8 x 8 at a step of 16 bytes
constexpr int32_t kStep = 16;

using Fwd = KvnResult (*)(const Kvn16s*, int32_t, Kvn16s*, int32_t);
using FwdI = KvnResult (*)(Kvn16s*, int32_t);
using Inv = KvnResult (*)(const Kvn16s*, int32_t, Kvn16s*, int32_t, KvnSize);
using InvI = KvnResult (*)(Kvn16s*, int32_t, KvnSize);
struct Shape {
  int w, h;
  Fwd fwd;
  FwdI fwdI;
  Inv inv;
  InvI invI;
};
const Shape kShapes[] = {
    {4, 4, kvniTransform4x4Fwd_VC1_16s_C1R, kvniTransform4x4Fwd_VC1_16s_C1IR, kvniTransform4x4Inv_VC1_16s_C1R,
     kvniTransform4x4Inv_VC1_16s_C1IR},
    {4, 8, kvniTransform4x8Fwd_VC1_16s_C1R, kvniTransform4x8Fwd_VC1_16s_C1IR, kvniTransform4x8Inv_VC1_16s_C1R,
     kvniTransform4x8Inv_VC1_16s_C1IR},
    {8, 4, kvniTransform8x4Fwd_VC1_16s_C1R, kvniTransform8x4Fwd_VC1_16s_C1IR, kvniTransform8x4Inv_VC1_16s_C1R,
     kvniTransform8x4Inv_VC1_16s_C1IR},
    {8, 8, kvniTransform8x8Fwd_VC1_16s_C1R, kvniTransform8x8Fwd_VC1_16s_C1IR, kvniTransform8x8Inv_VC1_16s_C1R,
     kvniTransform8x8Inv_VC1_16s_C1IR},
};

bool all_equal(const Block& b, Kvn16s v) {
  return std::all_of(b.begin(), b.end(), [v](Kvn16s x) { return x == v; });
}

// The inverse transform written out with the matrices of SMPTE 421M 8.1.2.1.
Block model_inverse(const Block& c, int w, int h) {
  static const int m4[4][4] = {{17, 17, 17, 17}, {22, 10, -10, -22}, {17, -17, -17, 17}, {10, -22, 22, -10}};
  static const int m8[8][8] = {{12, 12, 12, 12, 12, 12, 12, 12},     {16, 15, 9, 4, -4, -9, -15, -16},
                               {16, 6, -6, -16, -16, -6, 6, 16},     {15, -4, -16, -9, 9, 16, 4, -15},
                               {12, -12, -12, 12, 12, -12, -12, 12}, {9, -16, 4, 15, -15, -4, 16, -9},
                               {6, -16, 16, -6, -6, 16, -16, 6},     {4, -9, 15, -16, 16, -15, 9, -4}};
  const auto m = [](int n, int k, int i) { return n == 4 ? m4[k][i] : m8[k][i]; };
  const auto sat = [](int v) { return std::clamp(v, -32768, 32767); };
  int t[8][8] = {}, out[8][8] = {};
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      int s = 4;
      for (int k = 0; k < w; ++k) s += c[size_t(8 * y + k)] * m(w, k, x);
      t[y][x] = sat(s >> 3);
    }
  for (int x = 0; x < w; ++x)
    for (int y = 0; y < h; ++y) {
      int s = h == 8 && y >= 4 ? 65 : 64;
      for (int k = 0; k < h; ++k) s += t[k][x] * m(h, k, y);
      out[y][x] = sat(s >> 7);
    }
  Block b(64, 0);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) b[size_t(8 * y + x)] = Kvn16s(out[y][x]);
  return b;
}

TEST(Vc1Status, NullFirstThenQuantiserThenRegionAndNothingWritten) {
  Block b(64, 7), d(64, 9);
  KvnSize nz = {-5, -5};
  const auto untouched = [&] { return all_equal(b, 7) && all_equal(d, 9) && nz.width == -5 && nz.height == -5; };
  for (const Shape& s : kShapes) {
    EXPECT_EQ(s.fwd(nullptr, kStep, d.data(), kStep), KVN_STS_NULL_PTR);
    EXPECT_EQ(s.fwd(b.data(), kStep, nullptr, kStep), KVN_STS_NULL_PTR);
    EXPECT_EQ(s.fwdI(nullptr, kStep), KVN_STS_NULL_PTR);
    EXPECT_EQ(s.inv(nullptr, kStep, d.data(), kStep, {8, 8}), KVN_STS_NULL_PTR);
    EXPECT_EQ(s.inv(b.data(), kStep, nullptr, kStep, {8, 8}), KVN_STS_NULL_PTR);
    EXPECT_EQ(s.invI(nullptr, kStep, {1, 1}), KVN_STS_NULL_PTR);
  }
  for (auto f : {kvniQuantIntraUniform_VC1_16s_C1IR, kvniQuantIntraNonuniform_VC1_16s_C1IR}) {
    EXPECT_EQ(f(nullptr, kStep, 0), KVN_STS_NULL_PTR);  // null before the quantiser
    for (int32_t q : {1, 63, 0, -2, INT32_MIN, INT32_MAX}) EXPECT_EQ(f(b.data(), kStep, q), KVN_STS_OUT_OF_RANGE);
  }
  for (auto f : {kvniQuantInterUniform_VC1_16s_C1IR, kvniQuantInterNonuniform_VC1_16s_C1IR}) {
    EXPECT_EQ(f(nullptr, kStep, 1, {4, 6}), KVN_STS_NULL_PTR);
    EXPECT_EQ(f(b.data(), kStep, 63, {4, 6}), KVN_STS_OUT_OF_RANGE);  // the quantiser before the region
    for (KvnSize r : {KvnSize{4, 6}, KvnSize{0, 8}, KvnSize{8, -4}, KvnSize{16, 8}, KvnSize{2, 2}})
      EXPECT_EQ(f(b.data(), kStep, 6, r), KVN_STS_SIZE_ERR);
  }
  for (auto f : {kvniQuantInvIntraUniform_VC1_16s_C1IR, kvniQuantInvIntraNonuniform_VC1_16s_C1IR}) {
    EXPECT_EQ(f(nullptr, kStep, 6, &nz), KVN_STS_NULL_PTR);
    EXPECT_EQ(f(b.data(), kStep, 6, nullptr), KVN_STS_NULL_PTR);
  }
  for (auto f : {kvniQuantInvIntraUniform_VC1_16s_C1R, kvniQuantInvIntraNonuniform_VC1_16s_C1R}) {
    EXPECT_EQ(f(nullptr, kStep, d.data(), kStep, 6, &nz), KVN_STS_NULL_PTR);
    EXPECT_EQ(f(b.data(), kStep, nullptr, kStep, 6, &nz), KVN_STS_NULL_PTR);
    EXPECT_EQ(f(b.data(), kStep, d.data(), kStep, 6, nullptr), KVN_STS_NULL_PTR);
  }
  for (auto f : {kvniQuantInvInterUniform_VC1_16s_C1IR, kvniQuantInvInterNonuniform_VC1_16s_C1IR}) {
    EXPECT_EQ(f(nullptr, kStep, 6, {4, 6}, &nz), KVN_STS_NULL_PTR);
    EXPECT_EQ(f(b.data(), kStep, 6, {4, 6}, nullptr), KVN_STS_NULL_PTR);
    EXPECT_EQ(f(b.data(), kStep, 6, {4, 6}, &nz), KVN_STS_SIZE_ERR);
  }
  for (auto f : {kvniQuantInvInterUniform_VC1_16s_C1R, kvniQuantInvInterNonuniform_VC1_16s_C1R}) {
    EXPECT_EQ(f(nullptr, kStep, d.data(), kStep, 6, {8, 8}, &nz), KVN_STS_NULL_PTR);
    EXPECT_EQ(f(b.data(), kStep, nullptr, kStep, 6, {8, 8}, &nz), KVN_STS_NULL_PTR);
    EXPECT_EQ(f(b.data(), kStep, d.data(), kStep, 6, {8, 8}, nullptr), KVN_STS_NULL_PTR);
    EXPECT_EQ(f(b.data(), kStep, d.data(), kStep, 6, {8, 3}, &nz), KVN_STS_SIZE_ERR);
  }
  EXPECT_TRUE(untouched());
}

TEST(Vc1Quant, WorkedExamples) {
  // Truncation towards zero.
  Block b(64, 0);
  b[0] = -4, b[1] = -3, b[2] = 7, b[9] = -32768;
  ASSERT_EQ(kvniQuantInterUniform_VC1_16s_C1IR(b.data(), kStep, 4, {8, 8}), KVN_STS_OK);
  EXPECT_EQ(b[0], -1);
  EXPECT_EQ(b[1], 0);
  EXPECT_EQ(b[2], 1);
  EXPECT_EQ(b[9], -8192);
  // Non-uniform, Q 6: moved towards zero by 3 first.
  b.assign(64, 0);
  b[0] = 100, b[1] = 9, b[2] = -9, b[3] = 8, b[8] = 2, b[9] = -2;
  ASSERT_EQ(kvniQuantIntraNonuniform_VC1_16s_C1IR(b.data(), kStep, 6), KVN_STS_OK);
  EXPECT_EQ(b[0], 100);  // the intra DC is left as it is
  EXPECT_EQ(b[1], 1);
  EXPECT_EQ(b[2], -1);
  EXPECT_EQ(b[3], 0);
  EXPECT_EQ(b[8], 0);
  EXPECT_EQ(b[9], 0);
  // Inter region 4 x 8: columns 4..7 untouched.
  b.assign(64, 60);
  ASSERT_EQ(kvniQuantInterNonuniform_VC1_16s_C1IR(b.data(), kStep, 10, {4, 8}), KVN_STS_OK);
  for (int i = 0; i < 64; ++i) EXPECT_EQ(b[size_t(i)], i % 8 < 4 ? 5 : 60) << i;
  // Inverse, non-uniform Q 6: 1 -> 9, -1 -> -9, 0 -> 0; products wrap modulo 2^16.
  Block l(64, 0), d(64, 77);
  l[0] = 5, l[1] = 1, l[10] = -1, l[13] = 16384;
  KvnSize nz{};
  ASSERT_EQ(kvniQuantInvIntraNonuniform_VC1_16s_C1R(l.data(), kStep, d.data(), kStep, 6, &nz), KVN_STS_OK);
  EXPECT_EQ(d[0], 5);
  EXPECT_EQ(d[1], 9);
  EXPECT_EQ(d[10], -9);
  EXPECT_EQ(d[13], Kvn16s(uint16_t(16384 * 6 + 3)));
  EXPECT_EQ(d[2], 0);
  EXPECT_EQ(nz.width, 6);
  EXPECT_EQ(nz.height, 2);
  // Q is not range-checked: only its value modulo 2^16 (and Q >> 1's) matters.
  ASSERT_EQ(kvniQuantInvIntraUniform_VC1_16s_C1R(l.data(), kStep, d.data(), kStep, 65536 + 3, &nz), KVN_STS_OK);
  EXPECT_EQ(d[1], 3);
  EXPECT_EQ(d[10], -3);
}

TEST(Vc1Quant, NonzeroRegion) {
  Block b(64, 0);
  KvnSize nz{-1, -1};
  // All-zero intra block with a DC: the same DC and a 1 x 1 region.
  b[0] = 300;
  ASSERT_EQ(kvniQuantInvIntraUniform_VC1_16s_C1IR(b.data(), kStep, 8, &nz), KVN_STS_OK);
  EXPECT_EQ(b[0], 300);
  EXPECT_TRUE(nz.width == 1 && nz.height == 1);
  // All-zero inter block: 0 x 0.
  b.assign(64, 0);
  ASSERT_EQ(kvniQuantInvInterNonuniform_VC1_16s_C1IR(b.data(), kStep, 8, {8, 8}, &nz), KVN_STS_OK);
  EXPECT_TRUE(nz.width == 0 && nz.height == 0);
  // Levels outside an inter region neither count nor change.
  b[7] = 3, b[8 * 6 + 2] = -1, b[8 * 1 + 1] = 2;
  ASSERT_EQ(kvniQuantInvInterUniform_VC1_16s_C1IR(b.data(), kStep, 4, {4, 4}, &nz), KVN_STS_OK);
  EXPECT_TRUE(nz.width == 2 && nz.height == 2);
  EXPECT_EQ(b[7], 3);
  EXPECT_EQ(b[9], 8);
  // A level whose product wraps to zero does not count.
  b.assign(64, 0);
  b[8 * 7 + 7] = 16384;
  b[8 * 2 + 3] = 1;
  ASSERT_EQ(kvniQuantInvInterUniform_VC1_16s_C1IR(b.data(), kStep, 4, {8, 8}, &nz), KVN_STS_OK);
  EXPECT_TRUE(nz.width == 4 && nz.height == 3);
}

TEST(Vc1Transform, WorkedExamplesAndDc) {
  // 4x4 DC 64: 17 x ((17 x 64 + 4) >> 3) = 2312, (2312 + 64) >> 7 = 18.
  Block b(64, 0), d(64, 0);
  b[0] = 64;
  ASSERT_EQ(kvniTransform4x4Inv_VC1_16s_C1R(b.data(), kStep, d.data(), kStep, {1, 1}), KVN_STS_OK);
  for (int i = 0; i < 64; ++i) EXPECT_EQ(d[size_t(i)], i % 8 < 4 && i < 32 ? 18 : 0) << i;
  // The 8-point column rounds its lower half with 65: DC 32 -> (12 x 48 + 64 or 65) >> 7.
  for (const Shape& s : kShapes)
    for (Kvn16s dc : {Kvn16s(32), Kvn16s(-32768), Kvn16s(32767), Kvn16s(-1), Kvn16s(21)}) {
      b.assign(64, 0);
      b[0] = dc;
      d.assign(64, 0);
      const Block want = model_inverse(b, s.w, s.h);
      ASSERT_EQ(s.inv(b.data(), kStep, d.data(), kStep, {0, -3}), KVN_STS_OK);
      EXPECT_EQ(d, want) << s.w << "x" << s.h << " dc " << dc;
    }
}

// Every region that covers the nonzero coefficients gives the full transform;
// coefficients outside the region are taken as zero; in place is the same.
TEST(Vc1Transform, RegionsAgreeWithTheFullTransform) {
  kvntest::Rng rng(0x5c1);
  for (const Shape& s : kShapes)
    for (int t = 0; t < 40; ++t) {
      const int tw = rng.range(1, s.w), th = rng.range(1, s.h);
      Block c(64, 0);
      const bool extreme = rng.coin();
      for (int y = 0; y < th; ++y)
        for (int x = 0; x < tw; ++x)
          c[size_t(8 * y + x)] = extreme ? Kvn16s(rng.coin() ? 32767 : -32768) : Kvn16s(rng.range(-2000, 2000));
      const Block want = model_inverse(c, s.w, s.h);
      for (int h = th; h <= s.h + 1; ++h)
        for (int w = tw; w <= s.w + 1; ++w) {
          Block d(64, 0);
          ASSERT_EQ(s.inv(c.data(), kStep, d.data(), kStep, {w, h}), KVN_STS_OK);
          ASSERT_EQ(d, want) << s.w << "x" << s.h << " region " << w << "x" << h;
        }
      // Garbage outside a tight region is not read.
      Block g = c;
      for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
          if (x >= tw || y >= th) g[size_t(8 * y + x)] = Kvn16s(rng.u32());
      Block d(64, 0);
      ASSERT_EQ(s.inv(g.data(), kStep, d.data(), kStep, {tw, th}), KVN_STS_OK);
      for (int y = 0; y < s.h; ++y)
        for (int x = 0; x < s.w; ++x) ASSERT_EQ(d[size_t(8 * y + x)], want[size_t(8 * y + x)]);
      ASSERT_EQ(s.invI(g.data(), kStep, {tw, th}), KVN_STS_OK);
      for (int y = 0; y < s.h; ++y)
        for (int x = 0; x < s.w; ++x) ASSERT_EQ(g[size_t(8 * y + x)], want[size_t(8 * y + x)]);
    }
}

// Forward then inverse returns 8-bit residuals (-255..255) within 2 in every
// shape (the two stages of rounding on each side; an error of 2 is rare:
// measured at about 1 sample in 10^5 over 300000 blocks of each shape, never
// more), and the in-place forward transform agrees with the out-of-place one.
TEST(Vc1Transform, ForwardThenInverseReturnsTheResidual) {
  kvntest::Rng rng(0x1de);
  for (const Shape& s : kShapes) {
    int worst = 0, twos = 0, samples = 0;
    for (int t = 0; t < 3000; ++t) {
      Block r(64, 0), c(64, 0), back(64, 0);
      const int kind = t % 3;
      for (int y = 0; y < s.h; ++y)
        for (int x = 0; x < s.w; ++x)
          r[size_t(8 * y + x)] = Kvn16s(kind == 0   ? rng.range(-255, 255)
                                        : kind == 1 ? (rng.coin() ? 255 : -255)
                                                    : rng.range(-20, 20));
      ASSERT_EQ(s.fwd(r.data(), kStep, c.data(), kStep), KVN_STS_OK);
      Block ci = r;
      ASSERT_EQ(s.fwdI(ci.data(), kStep), KVN_STS_OK);
      ASSERT_EQ(ci, c);
      ASSERT_EQ(s.inv(c.data(), kStep, back.data(), kStep, {s.w, s.h}), KVN_STS_OK);
      for (int i = 0; i < 64; ++i) {
        const int e = std::abs(back[size_t(i)] - r[size_t(i)]);
        worst = std::max(worst, e);
        twos += e == 2;
      }
      samples += s.w * s.h;
    }
    EXPECT_LE(worst, 2) << s.w << "x" << s.h;
    EXPECT_LE(twos * 10000, samples) << s.w << "x" << s.h;
  }
}

// The decoder's chain on an encoder's output: forward transform, quantise,
// dequantise (reporting the region), inverse transform over that region. The
// reconstruction error stays within what the step size allows.
TEST(Vc1Transform, QuantisedRoundTripErrorIsBounded) {
  kvntest::Rng rng(0xc0de);
  for (int t = 0; t < 400; ++t) {
    const int32_t q = rng.range(2, 62);
    const bool nonuniform = rng.coin();
    Block r(64), c(64), d(64), back(64);
    for (auto& v : r) v = Kvn16s(rng.range(-255, 255));
    ASSERT_EQ(kvniTransform8x8Fwd_VC1_16s_C1R(r.data(), kStep, c.data(), kStep), KVN_STS_OK);
    ASSERT_EQ((nonuniform ? kvniQuantInterNonuniform_VC1_16s_C1IR : kvniQuantInterUniform_VC1_16s_C1IR)(c.data(), kStep,
                                                                                                        q, {8, 8}),
              KVN_STS_OK);
    KvnSize nz{};
    ASSERT_EQ((nonuniform ? kvniQuantInvInterNonuniform_VC1_16s_C1R : kvniQuantInvInterUniform_VC1_16s_C1R)(
                  c.data(), kStep, d.data(), kStep, q, {8, 8}, &nz),
              KVN_STS_OK);
    ASSERT_EQ(kvniTransform8x8Inv_VC1_16s_C1R(d.data(), kStep, back.data(), kStep, nz), KVN_STS_OK);
    // Each coefficient is off by less than 1.5 Q; the inverse spreads the
    // error over the block with a gain below 8 (orthogonal-like basis).
    double err = 0;
    for (int i = 0; i < 64; ++i) err += double(back[size_t(i)] - r[size_t(i)]) * (back[size_t(i)] - r[size_t(i)]);
    EXPECT_LE(err / 64, 1.0 + 1.5 * q * 1.5 * q) << "q " << q;
  }
}

// Only the rows and columns a call designates are read: blocks whose last
// designated row ends right before an inaccessible page, at the tightest step.
TEST(Vc1Transform, ReadsOnlyTheRegionsRows) {
  kvntest::GuardPage guard;
  kvntest::Rng rng(0x9a9e);
  for (const Shape& s : kShapes)
    for (int h = 1; h <= s.h; ++h)
      for (int w = 1; w <= s.w; ++w) {
        Block c(size_t(s.w * s.h), 0), want(64, 0), got(64, 0);
        for (int y = 0; y < h; ++y)
          for (int x = 0; x < w; ++x) c[size_t(s.w * y + x)] = Kvn16s(rng.range(-3000, 3000));
        Block full(64, 0);
        for (int y = 0; y < s.h; ++y)
          for (int x = 0; x < s.w; ++x) full[size_t(8 * y + x)] = c[size_t(s.w * y + x)];
        ASSERT_EQ(s.inv(full.data(), kStep, want.data(), kStep, {s.w, s.h}), KVN_STS_OK);
        const Kvn16s* p = guard.place(c.data(), size_t(s.w * h));  // rows h.. lie beyond the guard
        ASSERT_EQ(s.inv(p, 2 * s.w, got.data(), kStep, {w, h}), KVN_STS_OK);
        ASSERT_EQ(got, want) << s.w << "x" << s.h << " region " << w << "x" << h;
      }
  // The inter quantisers of a 4 x 4 region read four coefficients of four rows.
  const Block levels = {3, -1, 0, 2, 0, 0, 1, 0, -5, 0, 0, 0, 0, 0, 0, 0};
  Kvn16s* p = guard.place(levels.data(), levels.size());
  Block d(16, 0);
  KvnSize nz{};
  ASSERT_EQ(kvniQuantInvInterNonuniform_VC1_16s_C1R(p, 8, d.data(), 8, 6, {4, 4}, &nz), KVN_STS_OK);
  EXPECT_EQ(d, Block({21, -9, 0, 15, 0, 0, 9, 0, -33, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_TRUE(nz.width == 4 && nz.height == 3);
  ASSERT_EQ(kvniQuantInvInterUniform_VC1_16s_C1IR(p, 8, 6, {4, 4}, &nz), KVN_STS_OK);
  ASSERT_EQ(kvniQuantInterUniform_VC1_16s_C1IR(p, 8, 6, {4, 4}), KVN_STS_OK);
  EXPECT_EQ(Block(p, p + 16), levels);
}

}  // namespace
