// VC-1 interpolation and range mapping through the exported names: statuses
// in their order with nothing written on failure, the refused block sizes,
// the fractions taken modulo 4, worked examples of every filter's rounding,
// and sources that end right before an inaccessible page.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "guard_page.h"
#include "kvnvc.h"

namespace {

using Fn = KvnResult (*)(const KvnInterpolationRecordVC1*);

// A reference picture with a 4-sample margin on every side and a destination
// picture of 32 x 32, both filled by the caller.
struct Pictures {
  static constexpr int kStep = 40, kDstStep = 32;
  std::vector<Kvn8u> ref = std::vector<Kvn8u>(kStep * kStep, 0);
  std::vector<Kvn8u> dst = std::vector<Kvn8u>(kDstStep * kDstStep, 0xA5);
  KvnInterpolationRecordVC1 rec(int w, int h, int dx, int dy, int r) {
    return {ref.data() + 4 * kStep + 4, kStep, dst.data(), kDstStep, dx, dy, w, h, r};
  }
  Kvn8u at(int x, int y) const { return dst[size_t(y * kDstStep + x)]; }
  // True when nothing outside the w x h block was written.
  bool only_block(int w, int h) const {
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 32; ++x)
        if ((x >= w || y >= h) && at(x, y) != 0xA5) return false;
    return true;
  }
};

TEST(Vc1InterpStatus, NullPointersFirstThenSizes) {
  Pictures p;
  for (Fn f : {kvniInterpolateQPBicubic_VC1_8u_C1R, kvniInterpolateQPBilinear_VC1_8u_C1R,
               kvniInterpolateQPBilinear_VC1_8u_C2R}) {
    EXPECT_EQ(f(nullptr), KVN_STS_NULL_PTR);
    KvnInterpolationRecordVC1 r = p.rec(3, 0, 1, 1, 0);  // a bad size too: the null test comes first
    r.pSrc = nullptr;
    EXPECT_EQ(f(&r), KVN_STS_NULL_PTR);
    r = p.rec(3, 0, 1, 1, 0);
    r.pDst = nullptr;
    EXPECT_EQ(f(&r), KVN_STS_NULL_PTR);
    r = p.rec(3, 0, 1, 1, 0);
    EXPECT_EQ(f(&r), KVN_STS_SIZE_ERR);
  }
  EXPECT_TRUE(p.only_block(0, 0));
}

// Sizes without a kernel are refused with nothing written, rather than served
// as another size (8x16 as 16x8 would write 8 columns past the block).
TEST(Vc1InterpStatus, SizesOutsideTheSetAreRefused) {
  struct Case {
    Fn f;
    std::vector<std::pair<int, int>> ok, refused;
  };
  const Case cases[] = {
      {kvniInterpolateQPBicubic_VC1_8u_C1R,
       {{8, 8}, {16, 8}, {16, 16}},
       {{8, 16}, {4, 4}, {8, 4}, {16, 4}, {32, 32}, {0, 0}, {-8, 8}, {24, 8}}},
      {kvniInterpolateQPBilinear_VC1_8u_C1R,
       {{16, 16}, {8, 8}, {8, 4}, {4, 4}},
       {{16, 8}, {4, 8}, {8, 16}, {4, 2}, {2, 2}, {0, 4}, {12, 4}, {4, -4}}},
      {kvniInterpolateQPBilinear_VC1_8u_C2R,
       {{8, 8}, {8, 4}, {4, 4}},
       {{16, 16}, {16, 8}, {4, 8}, {8, 2}, {0, 0}, {2, 2}}},
  };
  for (const Case& c : cases) {
    for (auto [w, h] : c.refused) {
      Pictures p;
      const KvnInterpolationRecordVC1 r = p.rec(w, h, 1, 3, 0);
      EXPECT_EQ(c.f(&r), KVN_STS_SIZE_ERR) << w << "x" << h;
      EXPECT_TRUE(p.only_block(0, 0)) << w << "x" << h;
    }
    for (auto [w, h] : c.ok) {
      Pictures p;
      const KvnInterpolationRecordVC1 r = p.rec(w, h, 1, 3, 0);
      EXPECT_EQ(c.f(&r), KVN_STS_OK) << w << "x" << h;
      EXPECT_TRUE(p.only_block(c.f == kvniInterpolateQPBilinear_VC1_8u_C2R ? 2 * w : w, h)) << w << "x" << h;
    }
  }
}

// Every position of every filter on a constant area gives the constant back.
TEST(Vc1InterpExamples, ConstantAreaIsKept) {
  for (int v : {0, 1, 128, 254, 255})
    for (int dy = 0; dy < 4; ++dy)
      for (int dx = 0; dx < 4; ++dx)
        for (int r = 0; r < 2; ++r)
          for (Fn f : {kvniInterpolateQPBicubic_VC1_8u_C1R, kvniInterpolateQPBilinear_VC1_8u_C1R,
                       kvniInterpolateQPBilinear_VC1_8u_C2R}) {
            Pictures p;
            std::fill(p.ref.begin(), p.ref.end(), Kvn8u(v));
            const KvnInterpolationRecordVC1 rec = p.rec(8, 8, dx, dy, r);
            ASSERT_EQ(f(&rec), KVN_STS_OK);
            const int w = f == kvniInterpolateQPBilinear_VC1_8u_C2R ? 16 : 8;
            for (int y = 0; y < 8; ++y)
              for (int x = 0; x < w; ++x) ASSERT_EQ(p.at(x, y), v) << dx << "," << dy << " r " << r;
          }
}

// A ramp of 10 a sample: the quarter position lies at 10 k + 2.5, and the
// two directions round it oppositely: horizontal (sum + 32 - r) >> 6, vertical
// (sum + 31 + r) >> 6.
TEST(Vc1InterpExamples, BicubicOneDirectionRounding) {
  for (int r = 0; r < 2; ++r)
    for (int vertical = 0; vertical < 2; ++vertical) {
      Pictures p;
      for (int y = 0; y < Pictures::kStep; ++y)
        for (int x = 0; x < Pictures::kStep; ++x)
          p.ref[size_t(y * Pictures::kStep + x)] = Kvn8u(10 * (vertical ? y : x));
      const KvnInterpolationRecordVC1 rec = p.rec(16, 16, vertical ? 0 : 1, vertical ? 1 : 0, r);
      ASSERT_EQ(kvniInterpolateQPBicubic_VC1_8u_C1R(&rec), KVN_STS_OK);
      const int frac = vertical ? 2 + r : 3 - r;
      for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) ASSERT_EQ(p.at(x, y), 10 * ((vertical ? y : x) + 4) + frac) << x << "," << y;
    }
}

// Half/half on the plane 4x + 8y + 20: the intermediate (16 p + 64 + r) >> 1
// and then (16 m + 256 + 64 - r) >> 7 give p + 6, the plane's value at the
// half position, for both roundings.
TEST(Vc1InterpExamples, BicubicTwoDimensionsOnAPlane) {
  for (int r = 0; r < 2; ++r) {
    Pictures p;
    for (int y = 0; y < Pictures::kStep; ++y)
      for (int x = 0; x < Pictures::kStep; ++x) p.ref[size_t(y * Pictures::kStep + x)] = Kvn8u(4 * x + 2 * y + 20);
    const KvnInterpolationRecordVC1 rec = p.rec(16, 8, 2, 2, r);
    ASSERT_EQ(kvniInterpolateQPBicubic_VC1_8u_C1R(&rec), KVN_STS_OK);
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 16; ++x) ASSERT_EQ(p.at(x, y), 4 * (x + 4) + 2 * (y + 4) + 20 + 3) << x << "," << y;
  }
}

// Results beyond 0..255 are clamped: columns 0, 0, 255 repeating put
// (255, 0, 0, 255) under the quarter taps (-1785 in all) and (0, 255, 255, 0)
// under the half taps (287 after the shift).
TEST(Vc1InterpExamples, BicubicClampsOvershoot) {
  for (int dx : {1, 2}) {
    Pictures p;
    for (int y = 0; y < Pictures::kStep; ++y)
      for (int x = 0; x < Pictures::kStep; ++x) {
        const bool peak = (x + 2) % 3 == 2;
        p.ref[size_t(y * Pictures::kStep + x)] = Kvn8u(peak == (dx == 1) ? 255 : 0);
      }
    const KvnInterpolationRecordVC1 rec = p.rec(8, 8, dx, 0, 0);
    ASSERT_EQ(kvniInterpolateQPBicubic_VC1_8u_C1R(&rec), KVN_STS_OK);
    for (int x : {0, 3, 6}) EXPECT_EQ(p.at(x, 0), dx == 1 ? 0 : 255) << dx << " " << x;
  }
}

TEST(Vc1InterpExamples, BilinearRounding) {
  Pictures p;
  for (size_t i = 0; i < p.ref.size(); ++i) p.ref[i] = Kvn8u((i * 37 + (i / 40) * 11) & 255);
  const int s = Pictures::kStep;
  const Kvn8u* o = p.ref.data() + 4 * s + 4;
  for (int r = 0; r < 4; ++r) {  // only the lowest bit counts
    KvnInterpolationRecordVC1 rec = p.rec(8, 8, 2, 0, r);
    ASSERT_EQ(kvniInterpolateQPBilinear_VC1_8u_C1R(&rec), KVN_STS_OK);
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x) ASSERT_EQ(p.at(x, y), (o[y * s + x] + o[y * s + x + 1] + 1 - (r & 1)) >> 1);
    rec = p.rec(8, 8, 0, 1, r);
    ASSERT_EQ(kvniInterpolateQPBilinear_VC1_8u_C1R(&rec), KVN_STS_OK);
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x) ASSERT_EQ(p.at(x, y), (3 * o[y * s + x] + o[(y + 1) * s + x] + 2 - (r & 1)) >> 2);
    // Interleaved: the neighbour of a sample is the same channel's, two bytes on.
    rec = p.rec(4, 4, 1, 3, r);
    ASSERT_EQ(kvniInterpolateQPBilinear_VC1_8u_C2R(&rec), KVN_STS_OK);
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 8; ++x) {
        const Kvn8u* q = o + y * s + x;
        ASSERT_EQ(p.at(x, y), (3 * q[0] + 1 * q[2] + 9 * q[s] + 3 * q[s + 2] + 8 - (r & 1)) >> 4) << x << "," << y;
      }
  }
}

// Fractions are used modulo 4: 5 is 1, -1 is 3.
TEST(Vc1InterpExamples, FractionsModuloFour) {
  for (Fn f : {kvniInterpolateQPBicubic_VC1_8u_C1R, kvniInterpolateQPBilinear_VC1_8u_C1R}) {
    Pictures a, b;
    for (size_t i = 0; i < a.ref.size(); ++i) a.ref[i] = b.ref[i] = Kvn8u(i * 131 >> 3);
    const KvnInterpolationRecordVC1 ra = a.rec(8, 8, 5, -1, 0), rb = b.rec(8, 8, 1, 3, 0);
    ASSERT_EQ(f(&ra), KVN_STS_OK);
    ASSERT_EQ(f(&rb), KVN_STS_OK);
    EXPECT_EQ(a.dst, b.dst);
  }
}

// Each filter reads no further right or down than its taps: the source ends
// at the last sample the filter may read, right before an inaccessible page.
TEST(Vc1InterpReads, StayInsideTheFilterRegion) {
  kvntest::GuardPage g;
  std::vector<Kvn8u> dst(32 * 32);
  struct Case {
    Fn f;
    int w, h, ch;
    bool bicubic;
  };
  const Case cases[] = {
      {kvniInterpolateQPBicubic_VC1_8u_C1R, 8, 8, 1, true},   {kvniInterpolateQPBicubic_VC1_8u_C1R, 16, 8, 1, true},
      {kvniInterpolateQPBicubic_VC1_8u_C1R, 16, 16, 1, true}, {kvniInterpolateQPBilinear_VC1_8u_C1R, 16, 16, 1, false},
      {kvniInterpolateQPBilinear_VC1_8u_C1R, 8, 8, 1, false}, {kvniInterpolateQPBilinear_VC1_8u_C1R, 8, 4, 1, false},
      {kvniInterpolateQPBilinear_VC1_8u_C1R, 4, 4, 1, false}, {kvniInterpolateQPBilinear_VC1_8u_C2R, 8, 8, 2, false},
      {kvniInterpolateQPBilinear_VC1_8u_C2R, 8, 4, 2, false}, {kvniInterpolateQPBilinear_VC1_8u_C2R, 4, 4, 2, false}};
  for (const Case& c : cases)
    for (int dy = 0; dy < 4; ++dy)
      for (int dx = 0; dx < 4; ++dx) {
        const int left = c.bicubic && dx, right = dx ? (c.bicubic ? 2 : c.ch) : 0;
        const int above = c.bicubic && dy, below = dy ? (c.bicubic ? 2 : 1) : 0;
        const int rowBytes = left + c.w * c.ch + right, rows = above + c.h + below;
        Kvn8u* area = static_cast<Kvn8u*>(g.tail(size_t(rowBytes * rows)));
        std::memset(area, 77, size_t(rowBytes * rows));
        const KvnInterpolationRecordVC1 rec = {
            area + above * rowBytes + left, rowBytes, dst.data(), 32, dx, dy, c.w, c.h, 1};
        ASSERT_EQ(c.f(&rec), KVN_STS_OK);
        ASSERT_EQ(dst[0], 77);
      }
}

TEST(Vc1RangeMapping, WorkedExamples) {
  const auto map = [](Kvn8u v, Kvn32u range) {
    Kvn8u out = 0xA5;
    EXPECT_EQ(kvniRangeMapping_VC1_8u_C1R(&v, 1, &out, 1, {1, 1}, range), KVN_STS_OK);
    return int(out);
  };
  EXPECT_EQ(map(0, 7), 0);  // clamped from -128
  EXPECT_EQ(map(100, 7), 72);
  EXPECT_EQ(map(200, 7), 255);  // clamped from 272
  EXPECT_EQ(map(128, 7), 128);
  EXPECT_EQ(map(136, 0), 137);  // 9/8 of the distance, (72 + 4) >> 3
  EXPECT_EQ(map(127, 0), 127);  // (-9 + 4) >> 3 = -1: an arithmetic shift, not a truncation
  EXPECT_EQ(map(0, 0), 0);
  EXPECT_EQ(map(255, 0), 255);
  EXPECT_EQ(map(120, 3), 116);  // (-8 * 12 + 4) >> 3 = -12 (-11.5 rounded down)
}

TEST(Vc1RangeMapping, StatusesInOrderAndInPlace) {
  std::vector<Kvn8u> src(64 * 8), dst(64 * 8, 0xA5);
  for (size_t i = 0; i < src.size(); ++i) src[i] = Kvn8u(i * 7);
  EXPECT_EQ(kvniRangeMapping_VC1_8u_C1R(nullptr, 64, dst.data(), 64, {0, 0}, 8), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniRangeMapping_VC1_8u_C1R(src.data(), 64, nullptr, 64, {0, 0}, 8), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniRangeMapping_VC1_8u_C1R(src.data(), 64, dst.data(), 64, {0, 0}, 8), KVN_STS_OUT_OF_RANGE);
  EXPECT_EQ(kvniRangeMapping_VC1_8u_C1R(src.data(), 64, dst.data(), 64, {64, 8}, 0xFFFFFFFFu), KVN_STS_OUT_OF_RANGE);
  EXPECT_EQ(kvniRangeMapping_VC1_8u_C1R(src.data(), 64, dst.data(), 64, {0, 8}, 7), KVN_STS_OK);
  EXPECT_EQ(kvniRangeMapping_VC1_8u_C1R(src.data(), 64, dst.data(), 64, {64, -1}, 7), KVN_STS_OK);
  EXPECT_TRUE(std::all_of(dst.begin(), dst.end(), [](Kvn8u v) { return v == 0xA5; }));
  // A 61 x 8 region (steps of 16, 8 and single samples) in place equals the copy.
  EXPECT_EQ(kvniRangeMapping_VC1_8u_C1R(src.data(), 64, dst.data(), 64, {61, 8}, 5), KVN_STS_OK);
  std::vector<Kvn8u> inPlace = src;
  EXPECT_EQ(kvniRangeMapping_VC1_8u_C1R(inPlace.data(), 64, inPlace.data(), 64, {61, 8}, 5), KVN_STS_OK);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 64; ++x) {
      const size_t i = size_t(y * 64 + x);
      EXPECT_EQ(inPlace[i], x < 61 ? dst[i] : src[i]);
      if (x >= 61) EXPECT_EQ(dst[i], 0xA5);
    }
}

}  // namespace
