// VC-1 interpolation and range mapping through the exported names: statuses
// in their order with nothing written on failure, the refused block sizes,
// worked examples of every filter's rounding, fractions taken modulo 4.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "kvnvc.h"

namespace {

using Fn = KvnResult (*)(const KvnInterpolationRecordVC1*);
const Fn kFns[3] = {kvniInterpolateQPBicubic_VC1_8u_C1R, kvniInterpolateQPBilinear_VC1_8u_C1R,
                    kvniInterpolateQPBilinear_VC1_8u_C2R};

// A 40 x 40 reference filled with f(x, y) and a 32 x 32 destination of 0xA5;
// blocks start at (4, 4) of the reference.
struct Pictures {
  static constexpr int kStep = 40;
  std::vector<Kvn8u> ref = std::vector<Kvn8u>(kStep * kStep), dst = std::vector<Kvn8u>(32 * 32, 0xA5);
  template <class F>
  explicit Pictures(F f) {
    for (int y = 0; y < kStep; ++y)
      for (int x = 0; x < kStep; ++x) ref[size_t(y * kStep + x)] = Kvn8u(f(x - 4, y - 4));
  }
  KvnResult run(Fn fn, int w, int h, int dx, int dy, int r) {
    const KvnInterpolationRecordVC1 rec = {ref.data() + 4 * kStep + 4, kStep, dst.data(), 32, dx, dy, w, h, r};
    return fn(&rec);
  }
  int at(int x, int y) const { return dst[size_t(y * 32 + x)]; }
  int written() const {
    return int(std::count_if(dst.begin(), dst.end(), [](Kvn8u v) { return v != 0xA5; }));
  }
};

// Null pointers first (also with a bad size), then the size: 8x16 served as
// 16x8 would write 8 columns past the block, so every size outside a
// function's set is refused with nothing written.
TEST(Vc1InterpStatus, NullPointersThenSizes) {
  const std::vector<std::pair<int, int>> ok[3] = {
      {{8, 8}, {16, 8}, {16, 16}}, {{16, 16}, {8, 8}, {8, 4}, {4, 4}}, {{8, 8}, {8, 4}, {4, 4}}};
  for (int i = 0; i < 3; ++i) {
    Pictures p([](int, int) { return 9; });
    EXPECT_EQ(kFns[i](nullptr), KVN_STS_NULL_PTR);
    KvnInterpolationRecordVC1 r = {nullptr, 40, p.dst.data(), 32, 1, 1, 3, 0, 0};
    EXPECT_EQ(kFns[i](&r), KVN_STS_NULL_PTR);
    r = {p.ref.data(), 40, nullptr, 32, 1, 1, 3, 0, 0};
    EXPECT_EQ(kFns[i](&r), KVN_STS_NULL_PTR);
    for (int w : {-8, 0, 2, 4, 8, 12, 16, 32})
      for (int h : {-8, 0, 2, 4, 8, 16, 32}) {
        const bool valid = std::count(ok[i].begin(), ok[i].end(), std::pair{w, h}) != 0;
        ASSERT_EQ(p.run(kFns[i], w, h, 1, 3, 0), valid ? KVN_STS_OK : KVN_STS_SIZE_ERR) << i << ": " << w << "x" << h;
        ASSERT_EQ(p.written(), valid ? w * h * (i == 2 ? 2 : 1) : 0) << i << ": " << w << "x" << h;
        std::fill(p.dst.begin(), p.dst.end(), 0xA5);
      }
  }
}

// On a ramp of 10 a sample the quarter position lies at 10 k + 2.5; the two
// directions round it oppositely: horizontal (sum + 32 - r) >> 6, vertical
// (sum + 31 + r) >> 6. Half/half on the plane 4x + 2y + 20: the intermediate
// (16 p + 16 + r) >> 1, then (16 m + 256 + 64 - r) >> 7, is p + 3 exactly.
TEST(Vc1InterpExamples, BicubicRounding) {
  for (int r = 0; r < 2; ++r) {
    Pictures h([](int x, int) { return 40 + 10 * x; }), v([](int, int y) { return 40 + 10 * y; });
    Pictures plane([](int x, int y) { return 4 * x + 2 * y + 40; });
    ASSERT_EQ(h.run(kFns[0], 16, 16, 1, 0, r), KVN_STS_OK);
    ASSERT_EQ(v.run(kFns[0], 16, 16, 0, 1, r), KVN_STS_OK);
    ASSERT_EQ(plane.run(kFns[0], 16, 8, 2, 2, r), KVN_STS_OK);
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 16; ++x) {
        ASSERT_EQ(h.at(x, y), 40 + 10 * x + 3 - r);
        ASSERT_EQ(v.at(x, y), 40 + 10 * y + 2 + r);
        ASSERT_EQ(plane.at(x, y), 4 * x + 2 * y + 43);
      }
  }
  // Overshoot is clamped: (255, 0, 0, 255) under the quarter taps gives -1785,
  // (0, 255, 255, 0) under the half taps 287 after the shift.
  Pictures low([](int x, int) { return (x + 3) % 3 == 2 ? 255 : 0; }),
      high([](int x, int) { return (x + 3) % 3 == 2 ? 0 : 255; });
  ASSERT_EQ(low.run(kFns[0], 8, 8, 1, 0, 0), KVN_STS_OK);
  ASSERT_EQ(high.run(kFns[0], 8, 8, 2, 0, 0), KVN_STS_OK);
  EXPECT_EQ(low.at(3, 0), 0);
  EXPECT_EQ(high.at(3, 0), 255);
}

TEST(Vc1InterpExamples, BilinearRoundingAndFractionsModuloFour) {
  const auto f = [](int x, int y) { return (x * 37 + y * 91 + 300) & 255; };
  for (int r = 0; r < 4; ++r) {  // only the lowest bit counts
    const int rb = r & 1;
    Pictures h(f), v(f), c2(f);
    ASSERT_EQ(h.run(kFns[1], 8, 8, 2, 0, r), KVN_STS_OK);
    ASSERT_EQ(v.run(kFns[1], 8, 8, 0, 1, r), KVN_STS_OK);
    ASSERT_EQ(c2.run(kFns[2], 4, 4, 1, 3, r), KVN_STS_OK);  // neighbours of the same channel, two bytes on
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 8; ++x) {
        ASSERT_EQ(h.at(x, y), (f(x, y) + f(x + 1, y) + 1 - rb) >> 1);
        ASSERT_EQ(v.at(x, y), (3 * f(x, y) + f(x, y + 1) + 2 - rb) >> 2);
        ASSERT_EQ(c2.at(x, y), (3 * f(x, y) + f(x + 2, y) + 9 * f(x, y + 1) + 3 * f(x + 2, y + 1) + 8 - rb) >> 4);
      }
  }
  for (Fn fn : kFns) {  // 5 is 1, -1 is 3
    Pictures a(f), b(f);
    ASSERT_EQ(a.run(fn, 8, 8, 5, -1, 0), KVN_STS_OK);
    ASSERT_EQ(b.run(fn, 8, 8, 1, 3, 0), KVN_STS_OK);
    EXPECT_EQ(a.dst, b.dst);
  }
}

TEST(Vc1RangeMapping, ExamplesStatusesAndInPlace) {
  const auto map = [](Kvn8u v, Kvn32u range) {
    Kvn8u out = 0xA5;
    EXPECT_EQ(kvniRangeMapping_VC1_8u_C1R(&v, 1, &out, 1, {1, 1}, range), KVN_STS_OK);
    return int(out);
  };
  EXPECT_EQ(map(0, 7), 0);      // clamped from -128
  EXPECT_EQ(map(100, 7), 72);   // 128 - 2 * 28
  EXPECT_EQ(map(200, 7), 255);  // clamped from 272
  EXPECT_EQ(map(136, 0), 137);  // 9/8 of the distance: (72 + 4) >> 3
  EXPECT_EQ(map(127, 0), 127);  // (-9 + 4) >> 3 = -1: an arithmetic shift, not a truncation
  std::vector<Kvn8u> src(64 * 8), dst(64 * 8, 0xA5);
  for (size_t i = 0; i < src.size(); ++i) src[i] = Kvn8u(i * 7);
  EXPECT_EQ(kvniRangeMapping_VC1_8u_C1R(nullptr, 64, dst.data(), 64, {0, 0}, 8), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniRangeMapping_VC1_8u_C1R(src.data(), 64, nullptr, 64, {0, 0}, 8), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniRangeMapping_VC1_8u_C1R(src.data(), 64, dst.data(), 64, {0, 0}, 8), KVN_STS_OUT_OF_RANGE);
  EXPECT_EQ(kvniRangeMapping_VC1_8u_C1R(src.data(), 64, dst.data(), 64, {64, 8}, 0xFFFFFFFFu), KVN_STS_OUT_OF_RANGE);
  EXPECT_EQ(kvniRangeMapping_VC1_8u_C1R(src.data(), 64, dst.data(), 64, {0, 8}, 7), KVN_STS_OK);
  EXPECT_EQ(kvniRangeMapping_VC1_8u_C1R(src.data(), 64, dst.data(), 64, {64, -1}, 7), KVN_STS_OK);
  EXPECT_TRUE(std::all_of(dst.begin(), dst.end(), [](Kvn8u v) { return v == 0xA5; }));
  // 61 x 8 (steps of 16, 8 and single samples) in place equals the copy, each sample mapped once.
  std::vector<Kvn8u> inPlace = src;
  EXPECT_EQ(kvniRangeMapping_VC1_8u_C1R(src.data(), 64, dst.data(), 64, {61, 8}, 5), KVN_STS_OK);
  EXPECT_EQ(kvniRangeMapping_VC1_8u_C1R(inPlace.data(), 64, inPlace.data(), 64, {61, 8}, 5), KVN_STS_OK);
  for (size_t i = 0; i < src.size(); ++i) EXPECT_EQ(inPlace[i], i % 64 < 61 ? dst[i] : src[i]);
}

}  // namespace
