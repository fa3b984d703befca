// MPEG-2 quantisers and DCTs through the exported names: statuses in their
// order with nothing written on failure, worked examples, the saturation of
// the inverse quantisers (ISO/IEC 13818-2 7.4.3), the choice of the inverse
// DCT's path by count, the orientation of the transposed and natural-order
// blocks, and the forward DCT with its round trip.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "kvnvc.h"
#include "rng.h"

namespace {

// A block with one value at one position.
std::vector<Kvn16s> single(int pos, int value) {
  std::vector<Kvn16s> b(64, 0);
  b[size_t(pos)] = Kvn16s(value);
  return b;
}

TEST(Mpeg2Status, NullFirstThenStepOrScaleAndNothingWritten) {
  std::vector<Kvn16s> blk(64, 7), blk2(64, 9);
  std::vector<Kvn8u> d8(256, 0xA5);
  std::vector<Kvn16s> d16(256, 0x5A5);
  std::vector<float> recip(64, 0.0625f);
  std::vector<Kvn16u> w(64, 16);
  int32_t n = -5;
  const auto untouched = [&] {
    return std::all_of(blk.begin(), blk.end(), [](Kvn16s v) { return v == 7; }) &&
           std::all_of(d8.begin(), d8.end(), [](Kvn8u v) { return v == 0xA5; }) &&
           std::all_of(d16.begin(), d16.end(), [](Kvn16s v) { return v == 0x5A5; }) && n == -5;
  };
  // Null pointers come first, whatever else is wrong.
  EXPECT_EQ(kvniQuant_MPEG2_16s_C1I(nullptr, 0, recip.data(), &n), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniQuant_MPEG2_16s_C1I(blk.data(), 0, recip.data(), nullptr), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniQuantIntra_MPEG2_16s_C1I(nullptr, 0, nullptr, &n), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniQuantIntra_MPEG2_16s_C1I(blk.data(), 0, nullptr, nullptr), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniQuantInv_MPEG2_16s_C1I(nullptr, 2, w.data()), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniQuantInvIntra_MPEG2_16s_C1I(nullptr, 2, w.data()), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniQuantInvIntra_MPEG2_16s_C1I(blk.data(), 2, nullptr), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniDCT8x8Inv_AANTransposed_16s8u_C1R(nullptr, d8.data(), 0, 64), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniDCT8x8Inv_AANTransposed_16s8u_C1R(blk.data(), nullptr, 0, 64), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniDCT8x8Inv_AANTransposed_16s_C1R(nullptr, d16.data(), -1, 64), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniDCT8x8Inv_AANTransposed_16s_C1R(blk.data(), nullptr, -1, 64), KVN_STS_NULL_PTR);
  for (int i = 0; i < 3; ++i) {
    const Kvn16s* a = i == 0 ? nullptr : blk.data();
    const Kvn16s* b = i == 1 ? nullptr : blk2.data();
    EXPECT_EQ(kvniDCT8x8Inv_AANTransposed_16s8u_P2C2R(a, b, i == 2 ? nullptr : d8.data(), 0, 64, 64), KVN_STS_NULL_PTR);
    EXPECT_EQ(kvniDCT8x8Inv_AANTransposed_16s_P2C2R(a, b, i == 2 ? nullptr : d16.data(), 0, 64, 64), KVN_STS_NULL_PTR);
    EXPECT_EQ(kvniDCT8x8InvOrSet_16s8u_P2C2(a, b, i == 2 ? nullptr : d8.data(), 0, 0), KVN_STS_NULL_PTR);
  }
  EXPECT_EQ(kvniDCT8x8Fwd_8u16s_C2P2(nullptr, 0, blk.data(), blk2.data()), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniDCT8x8Fwd_8u16s_C2P2(d8.data(), 0, nullptr, blk2.data()), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniDCT8x8Fwd_8u16s_C2P2(d8.data(), 0, blk.data(), nullptr), KVN_STS_NULL_PTR);
  EXPECT_TRUE(untouched());
  // Then the scale of the forward quantisers and the steps.
  for (const float* r : {static_cast<const float*>(nullptr), static_cast<const float*>(recip.data())}) {
    EXPECT_EQ(kvniQuant_MPEG2_16s_C1I(blk.data(), 0, r, &n), KVN_STS_DIV_BY_ZERO);
    EXPECT_EQ(kvniQuantIntra_MPEG2_16s_C1I(blk.data(), 0, r, &n), KVN_STS_DIV_BY_ZERO);
  }
  for (int32_t step : {0, -1, -16, INT32_MIN}) {
    EXPECT_EQ(kvniDCT8x8Inv_AANTransposed_16s8u_C1R(blk.data(), d8.data(), step, 64), KVN_STS_STEP_ERR);
    EXPECT_EQ(kvniDCT8x8Inv_AANTransposed_16s_C1R(blk.data(), d16.data(), step, 0), KVN_STS_STEP_ERR);
    EXPECT_EQ(kvniDCT8x8Inv_AANTransposed_16s8u_P2C2R(blk.data(), blk2.data(), d8.data(), step, 1, 64),
              KVN_STS_STEP_ERR);
    EXPECT_EQ(kvniDCT8x8Inv_AANTransposed_16s_P2C2R(blk.data(), blk2.data(), d16.data(), step, -1, 0),
              KVN_STS_STEP_ERR);
    EXPECT_EQ(kvniDCT8x8InvOrSet_16s8u_P2C2(blk.data(), blk2.data(), d8.data(), step, 3), KVN_STS_STEP_ERR);
    EXPECT_EQ(kvniDCT8x8Fwd_8u16s_C2P2(d8.data(), step, blk.data(), blk2.data()), KVN_STS_STEP_ERR);
  }
  EXPECT_TRUE(untouched());
}

// ---------------------------------------------------------------------------
// Quantisers

TEST(Mpeg2Quant, ForwardExamples) {
  int32_t n = 0;
  // Weighted: trunc(c * (16/Q) * (1/W)).
  std::vector<float> recip(64, 1.0f / 16);
  auto b = single(5, -100);
  b[63] = 33;
  ASSERT_EQ(kvniQuant_MPEG2_16s_C1I(b.data(), 4, recip.data(), &n), KVN_STS_OK);
  EXPECT_EQ(b[5], -25);
  EXPECT_EQ(b[63], 8);  // 8.25
  EXPECT_EQ(n, 2);
  // Clamped to -2047..2047 (also through an infinite reciprocal).
  b = single(0, 32767);
  b[1] = -32768;
  recip[2] = 1.0f / 0.0f;
  b[2] = -3;
  ASSERT_EQ(kvniQuant_MPEG2_16s_C1I(b.data(), 1, recip.data(), &n), KVN_STS_OK);
  EXPECT_EQ(b[0], 2047);
  EXPECT_EQ(b[1], -2047);
  EXPECT_EQ(b[2], -2047);
  EXPECT_EQ(n, 3);
  // Without weights: sign(c) * min((|c| * R) >> 16, 2047), R = (65536 + Q/2) / Q.
  b = single(0, 100);
  b[1] = -100;
  b[2] = -32768;
  b[3] = 2;
  ASSERT_EQ(kvniQuant_MPEG2_16s_C1I(b.data(), 3, nullptr, &n), KVN_STS_OK);  // R = 21845
  EXPECT_EQ(b[0], 33);
  EXPECT_EQ(b[1], -33);
  EXPECT_EQ(b[2], -2047);
  EXPECT_EQ(b[3], 0);
  EXPECT_EQ(n, 3);
  // Q = 1 is the identity within the level range, and clamps like every
  // other scale (levels beyond +-2047 cannot be coded).
  b = single(0, 3000);
  b[1] = -2047;
  b[2] = 12;
  ASSERT_EQ(kvniQuant_MPEG2_16s_C1I(b.data(), 1, nullptr, &n), KVN_STS_OK);
  EXPECT_EQ(b[0], 2047);
  EXPECT_EQ(b[1], -2047);
  EXPECT_EQ(b[2], 12);
  EXPECT_EQ(n, 3);
  // A negative scale without weights leaves the block and counts it.
  b = single(7, 5000);
  b[8] = -1;
  ASSERT_EQ(kvniQuant_MPEG2_16s_C1I(b.data(), -3, nullptr, &n), KVN_STS_OK);
  EXPECT_EQ(b, [] {
    auto e = single(7, 5000);
    e[8] = -1;
    return e;
  }());
  EXPECT_EQ(n, 2);
}

TEST(Mpeg2Quant, IntraLeavesTheDcAndUsesTheDefaultMatrix) {
  int32_t n = 0;
  // Default intra matrix: W = 8 at 0 (not quantised), 16 at 1, 83 at 63.
  std::vector<Kvn16s> b(64, 0);
  b[0] = 1234;
  b[1] = 1000;   // 1000 * 2 / 16 = 125
  b[63] = -830;  // -830 * 2 * 0.012048 = -19.99968
  ASSERT_EQ(kvniQuantIntra_MPEG2_16s_C1I(b.data(), 8, nullptr, &n), KVN_STS_OK);
  EXPECT_EQ(b[0], 1234);
  EXPECT_EQ(b[1], 125);
  EXPECT_EQ(b[63], -19);
  EXPECT_EQ(n, 2);  // AC levels only
  // With the caller's reciprocals; position 0 stays even when they would change it.
  std::vector<float> recip(64, 1.0f);
  b.assign(64, 0);
  b[0] = 77;
  b[9] = 5;
  ASSERT_EQ(kvniQuantIntra_MPEG2_16s_C1I(b.data(), 16, recip.data(), &n), KVN_STS_OK);
  EXPECT_EQ(b[0], 77);
  EXPECT_EQ(b[9], 5);
  EXPECT_EQ(n, 1);
}

TEST(Mpeg2Quant, InverseExamplesAndMismatchControl) {
  // A single level 1 at position 0, Q = 2, no weights: (3 * 16 * 2) / 32 = 3;
  // the sum is odd, position 63 stays 0.
  auto b = single(0, 1);
  ASSERT_EQ(kvniQuantInv_MPEG2_16s_C1I(b.data(), 2, nullptr), KVN_STS_OK);
  EXPECT_EQ(b, [] {
    auto e = single(0, 3);
    return e;
  }());
  // Levels 1, -1, -1: the sum -3 is odd, nothing changes; levels 1, 1: the
  // sum 6 is even, position 63 goes from 0 to 1.
  b = single(0, 1);
  b[1] = -1;
  b[2] = -1;
  ASSERT_EQ(kvniQuantInv_MPEG2_16s_C1I(b.data(), 2, nullptr), KVN_STS_OK);
  EXPECT_EQ(b[0], 3);
  EXPECT_EQ(b[1], -3);
  EXPECT_EQ(b[2], -3);
  EXPECT_EQ(b[63], 0);
  b = single(0, 1);
  b[1] = 1;
  ASSERT_EQ(kvniQuantInv_MPEG2_16s_C1I(b.data(), 2, nullptr), KVN_STS_OK);
  EXPECT_EQ(b[63], 1);
  // An odd position 63 of an even sum moves down.
  b = single(63, 1);  // F = 3, the sum 3 + 3 = 6 with position 0
  b[0] = 1;
  ASSERT_EQ(kvniQuantInv_MPEG2_16s_C1I(b.data(), 2, nullptr), KVN_STS_OK);
  EXPECT_EQ(b[63], 2);
  // Intra: position 0 unchanged, (L * W * Q) / 16 elsewhere, truncated
  // towards zero; mismatch control over all 64 values.
  std::vector<Kvn16u> w(64, 16);
  w[1] = 19;
  b = single(0, 100);
  b[1] = -3;  // -3 * 19 * 5 / 16 = -17.8
  ASSERT_EQ(kvniQuantInvIntra_MPEG2_16s_C1I(b.data(), 5, w.data()), KVN_STS_OK);
  EXPECT_EQ(b[0], 100);
  EXPECT_EQ(b[1], -17);
  EXPECT_EQ(b[63], 0);  // 100 - 17 is odd
}

// Inverse quantisation saturates to -2048..2047 before mismatch control, with
// exact products: ordinary levels, weights and scales overflow 16 bits.
TEST(Mpeg2Quant, InverseSaturatesExactProducts) {
  std::vector<Kvn16u> w(64, 16);
  auto b = single(0, 100);  // (201 * 16 * 31) / 32 = 3115
  b[1] = -100;
  b[2] = 40;  // (81 * 16 * 31) / 32 = 1255
  ASSERT_EQ(kvniQuantInv_MPEG2_16s_C1I(b.data(), 31, w.data()), KVN_STS_OK);
  EXPECT_EQ(b[0], 2047);
  EXPECT_EQ(b[1], -2048);
  EXPECT_EQ(b[2], 1255);
  EXPECT_EQ(b[63], 1);  // the sum 1254 is even
  // Intra: 500 * 40 * 20 / 16 = 25000.
  w[1] = 40;
  b = single(0, 8);
  b[1] = 500;
  b[2] = -500;
  ASSERT_EQ(kvniQuantInvIntra_MPEG2_16s_C1I(b.data(), 20, w.data()), KVN_STS_OK);
  EXPECT_EQ(b[1], 2047);
  EXPECT_EQ(b[2], -2048);
  EXPECT_EQ(b[63], 0);  // the sum 8 + 2047 - 2048 is odd
}

// ---------------------------------------------------------------------------
// Inverse DCTs

std::vector<Kvn8u> aan8u(const std::vector<Kvn16s>& c, int count) {
  std::vector<Kvn8u> d(64);
  EXPECT_EQ(kvniDCT8x8Inv_AANTransposed_16s8u_C1R(c.data(), d.data(), 8, count), KVN_STS_OK);
  return d;
}
std::vector<Kvn16s> aan16s(const std::vector<Kvn16s>& c, int count) {
  std::vector<Kvn16s> d(64);
  EXPECT_EQ(kvniDCT8x8Inv_AANTransposed_16s_C1R(c.data(), d.data(), 16, count), KVN_STS_OK);
  return d;
}

TEST(Mpeg2Idct, DcPathExamples) {
  // Count 0: every sample coefficient 0 / 8, truncated towards zero, clamped.
  EXPECT_EQ(aan8u(single(0, -9), 0), std::vector<Kvn8u>(64, 0));
  EXPECT_EQ(aan16s(single(0, 2100), 0), std::vector<Kvn16s>(64, 255));
  EXPECT_EQ(aan16s(single(0, -9), 0), std::vector<Kvn16s>(64, -1));
  EXPECT_EQ(aan8u(single(0, 807), 0), std::vector<Kvn8u>(64, 100));
  // A negative count: the DC path for bytes, zeros for 16-bit samples.
  EXPECT_EQ(aan8u(single(0, 807), -3), std::vector<Kvn8u>(64, 100));
  EXPECT_EQ(aan16s(single(0, 807), -1), std::vector<Kvn16s>(64, 0));
}

// Above 9 the whole block is read, 1..9 only its 4x4 corner.
TEST(Mpeg2Idct, CountChoosesThePath) {
  kvntest::TestRng rng;
  std::vector<Kvn16s> c(64), corner(64, 0);
  for (Kvn16s& v : c) v = Kvn16s(rng.range(-60, 60));
  c[0] = 900;
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) corner[size_t(8 * i + j)] = c[size_t(8 * i + j)];
  EXPECT_EQ(aan16s(c, 1), aan16s(corner, 64));
  EXPECT_EQ(aan16s(c, 9), aan16s(corner, 64));
  EXPECT_EQ(aan8u(c, 9), aan8u(corner, 10));
  EXPECT_NE(aan16s(c, 10), aan16s(corner, 10));
  EXPECT_EQ(aan16s(c, 10), aan16s(c, 64));
  EXPECT_EQ(aan16s(c, 0), std::vector<Kvn16s>(64, 112));  // 900 / 8
}

// Element 8i + j holds horizontal frequency i and vertical frequency j.
TEST(Mpeg2Idct, TransposedOrientation) {
  auto c = single(0, 800);
  c[8] = 300;  // horizontal frequency 1: every row alike, columns falling
  const auto h = aan16s(c, 64);
  for (int r = 1; r < 8; ++r)
    for (int x = 0; x < 8; ++x) EXPECT_EQ(h[size_t(8 * r + x)], h[size_t(x)]);
  for (int x = 1; x < 8; ++x) EXPECT_LT(h[size_t(x)], h[size_t(x - 1)]);
  c = single(0, 800);
  c[1] = 300;  // vertical frequency 1
  const auto v = aan16s(c, 64);
  for (int r = 0; r < 8; ++r)
    for (int x = 1; x < 8; ++x) EXPECT_EQ(v[size_t(8 * r + x)], v[size_t(8 * r)]);
  for (int r = 1; r < 8; ++r) EXPECT_LT(v[size_t(8 * r)], v[size_t(8 * r - 8)]);
}

// The two-channel forms are the one-channel ones interleaved, every pair of
// paths; rows beyond the 16 (or 32) bytes are not touched.
TEST(Mpeg2Idct, TwoChannelsAreOneChannelInterleaved) {
  kvntest::TestRng rng;
  std::vector<Kvn16s> a(64), b(64);
  for (Kvn16s& v : a) v = Kvn16s(rng.range(-300, 300));
  for (Kvn16s& v : b) v = Kvn16s(rng.range(-300, 300));
  a[0] = 1000;
  b[0] = -1000;
  for (int ca : {64, 4, 0, -1})
    for (int cb : {64, 4, 0, -1}) {
      const auto a8 = aan8u(a, ca), b8 = aan8u(b, cb);
      const auto a16 = aan16s(a, ca), b16 = aan16s(b, cb);
      std::vector<Kvn8u> d8(8 * 20, 0x77);
      std::vector<Kvn16s> d16(8 * 36, 0x777);
      ASSERT_EQ(kvniDCT8x8Inv_AANTransposed_16s8u_P2C2R(a.data(), b.data(), d8.data(), 20, ca, cb), KVN_STS_OK);
      ASSERT_EQ(kvniDCT8x8Inv_AANTransposed_16s_P2C2R(a.data(), b.data(), d16.data(), 72, ca, cb), KVN_STS_OK);
      for (int r = 0; r < 8; ++r) {
        for (int x = 0; x < 8; ++x) {
          EXPECT_EQ(d8[size_t(20 * r + 2 * x)], a8[size_t(8 * r + x)]) << ca << " " << cb;
          EXPECT_EQ(d8[size_t(20 * r + 2 * x + 1)], b8[size_t(8 * r + x)]) << ca << " " << cb;
          EXPECT_EQ(d16[size_t(36 * r + 2 * x)], a16[size_t(8 * r + x)]) << ca << " " << cb;
          EXPECT_EQ(d16[size_t(36 * r + 2 * x + 1)], b16[size_t(8 * r + x)]) << ca << " " << cb;
        }
        for (int x = 16; x < 20; ++x) EXPECT_EQ(d8[size_t(20 * r + x)], 0x77);
        for (int x = 16; x < 36; ++x) EXPECT_EQ(d16[size_t(36 * r + x)], 0x777);
      }
    }
}

// ---------------------------------------------------------------------------
// Inverse-or-set and the forward DCT

std::vector<Kvn8u> or_set(const std::vector<Kvn16s>& a, const std::vector<Kvn16s>& b, int flags) {
  std::vector<Kvn8u> d(128);
  EXPECT_EQ(kvniDCT8x8InvOrSet_16s8u_P2C2(a.data(), b.data(), d.data(), 16, flags), KVN_STS_OK);
  return d;
}
Kvn8u channel(const std::vector<Kvn8u>& d, int ch, int r, int x) { return d[size_t(16 * r + 2 * x + ch)]; }

TEST(Mpeg2InvOrSet, FlagsSetChannelsFromTheirDc) {
  auto a = single(0, 1020), b = single(0, 400);
  a[1] = 200;  // ignored when set
  b[9] = -150;
  const auto both = or_set(a, b, 3), none = or_set(a, b, 0), first = or_set(a, b, 2), second = or_set(a, b, 1);
  EXPECT_EQ(or_set(a, b, 4 | 3), both);  // higher bits ignored
  EXPECT_EQ(or_set(a, b, ~3), none);
  for (int r = 0; r < 8; ++r)
    for (int x = 0; x < 8; ++x) {
      EXPECT_EQ(channel(both, 0, r, x), 127);  // 1020 >> 3
      EXPECT_EQ(channel(both, 1, r, x), 50);
      EXPECT_EQ(channel(first, 0, r, x), 127);
      EXPECT_EQ(channel(first, 1, r, x), channel(none, 1, r, x));
      EXPECT_EQ(channel(second, 1, r, x), 50);
      EXPECT_EQ(channel(second, 0, r, x), channel(none, 0, r, x));
    }
  // A set value beyond the sample range is clamped, not wrapped.
  const auto clamped = or_set(single(0, 2048), single(0, -8), 3);
  for (int r = 0; r < 8; ++r)
    for (int x = 0; x < 8; ++x) {
      EXPECT_EQ(channel(clamped, 0, r, x), 255);
      EXPECT_EQ(channel(clamped, 1, r, x), 0);
    }
}

// Natural order: element 8v + u holds vertical frequency v, horizontal u; a
// DC-only block gives DC / 8 rounded.
TEST(Mpeg2InvOrSet, NaturalOrientation) {
  auto a = single(0, 1020), b = single(0, 1024);
  a[1] = 200;  // horizontal frequency 1: columns fall, rows alike
  b[8] = 200;  // vertical frequency 1
  const auto d = or_set(a, b, 0);
  for (int r = 0; r < 8; ++r)
    for (int x = 0; x < 8; ++x) {
      EXPECT_EQ(channel(d, 0, r, x), channel(d, 0, 0, x));
      EXPECT_EQ(channel(d, 1, r, x), channel(d, 1, r, 0));
    }
  for (int i = 1; i < 8; ++i) {
    EXPECT_LT(channel(d, 0, 0, i), channel(d, 0, 0, i - 1));
    EXPECT_LT(channel(d, 1, i, 0), channel(d, 1, i - 1, 0));
  }
  const auto dc = or_set(single(0, 1020), single(0, -30), 0);
  for (int i = 0; i < 64; ++i) {
    EXPECT_EQ(channel(dc, 0, i / 8, i % 8), 128);  // 127.5 rounded
    EXPECT_EQ(channel(dc, 1, i / 8, i % 8), 0);
  }
}

TEST(Mpeg2Fwd, FlatBlocksAndChannels) {
  std::vector<Kvn8u> src(8 * 24);
  for (int r = 0; r < 8; ++r)
    for (int x = 0; x < 8; ++x) {
      src[size_t(24 * r + 2 * x)] = 100;
      src[size_t(24 * r + 2 * x + 1)] = Kvn8u(x < 4 ? 0 : 255);  // a vertical edge
    }
  std::vector<Kvn16s> u(64, 1), v(64, 1);
  ASSERT_EQ(kvniDCT8x8Fwd_8u16s_C2P2(src.data(), 24, u.data(), v.data()), KVN_STS_OK);
  EXPECT_EQ(u, single(0, 800));  // DC = 8 x mean
  EXPECT_EQ(v[0], 1020);
  for (int k = 1; k < 8; ++k) {
    EXPECT_EQ(v[size_t(8 * k)], 0);            // nothing vertical
    EXPECT_EQ(v[size_t(k)] != 0, k % 2 == 1);  // odd horizontal frequencies only
  }
  EXPECT_LT(v[1], -400);  // dark left, bright right
}

// Forward DCT, then the natural-order inverse DCT: within 1 of the samples.
TEST(Mpeg2Fwd, RoundTrip) {
  kvntest::TestRng rng;
  for (int t = 0; t < 200; ++t) {
    std::vector<Kvn8u> src(128), back(128);
    for (Kvn8u& s : src) s = rng.byte();
    std::vector<Kvn16s> u(64), v(64);
    ASSERT_EQ(kvniDCT8x8Fwd_8u16s_C2P2(src.data(), 16, u.data(), v.data()), KVN_STS_OK);
    back = or_set(u, v, 0);
    for (int i = 0; i < 128; ++i) ASSERT_LE(std::abs(back[size_t(i)] - src[size_t(i)]), 1) << i;
  }
}

}  // namespace
