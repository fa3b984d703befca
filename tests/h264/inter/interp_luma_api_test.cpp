// H.264 luma interpolation through the exported names: statuses and their
// order, worked examples, every size and fraction against a model written
// from H.264 8.4.2.2.1 (its centre sample from the vertical sums, the
// library's from the horizontal ones), Top / Bottom against the model on a
// picture whose rows outside the edge repeat the edge row, and the Block
// functions against the plain ones run on an explicitly padded copy of the
// picture, for positions in and far outside it.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <vector>

#include "kvnvc.h"
#include "rng.h"

namespace {

int tap(int a, int b, int c, int d, int e, int f) { return a - 5 * b + 20 * c + 20 * d - 5 * e + f; }

// The sample at fraction (dx, dy) of integer position (x, y) of a picture
// read through g(x, y) (H.264 8-241 .. 8-261).
template <class Get>
int model(Get g, int x, int y, int dx, int dy, int maxv) {
  const auto clip = [maxv](int v) { return std::clamp(v, 0, maxv); };
  const auto b1 = [&](int yy) {
    return tap(g(x - 2, yy), g(x - 1, yy), g(x, yy), g(x + 1, yy), g(x + 2, yy), g(x + 3, yy));
  };
  const auto h1 = [&](int xx) {
    return tap(g(xx, y - 2), g(xx, y - 1), g(xx, y), g(xx, y + 1), g(xx, y + 2), g(xx, y + 3));
  };
  const int b = clip((b1(y) + 16) >> 5), s = clip((b1(y + 1) + 16) >> 5);
  const int h = clip((h1(x) + 16) >> 5), m = clip((h1(x + 1) + 16) >> 5);
  const int j = clip((tap(h1(x - 2), h1(x - 1), h1(x), h1(x + 1), h1(x + 2), h1(x + 3)) + 512) >> 10);
  const int G = g(x, y), H = g(x + 1, y), M = g(x, y + 1);
  const auto avg = [](int p, int q) { return (p + q + 1) >> 1; };
  const int table[16] = {G, avg(G, b), b, avg(H, b), avg(G, h), avg(b, h), avg(b, j), avg(b, m),
                         h, avg(h, j), j, avg(j, m), avg(M, h), avg(h, s), avg(j, s), avg(m, s)};
  return table[4 * dy + dx];
}

// A picture of random samples (or of one of a few patterns that provoke the
// clamps) with the block's integer position at (kMargin, kMargin).
template <class T>
struct Picture {
  static constexpr int kMargin = 8, kSize = 40;
  int step = kSize + 3;  // odd
  std::vector<T> px = std::vector<T>(size_t(kSize) * step);
  Picture(kvntest::Rng& g, int maxv) {
    const int style = g.range(0, 3);
    for (int y = 0; y < kSize; ++y)
      for (int x = 0; x < step; ++x)
        px[size_t(y) * step + x] = T(style == 0   ? g.range(0, maxv)
                                     : style == 1 ? ((x + y) & 1) * maxv
                                     : style == 2 ? g.coin() * maxv
                                                  : ((x % 3 != 1) != (y % 3 == 1)) * maxv);  // extreme centre sums
  }
  const T* at(int x, int y) const { return px.data() + size_t(y + kMargin) * step + x + kMargin; }
  int get(int x, int y) const { return *at(x, y); }
};

constexpr KvnSize kSizes8[] = {{4, 4},   {4, 8},  {8, 4},  {8, 8},   {8, 16}, {16, 8},
                               {16, 16}, {4, 16}, {16, 4}, {12, 12}, {12, 4}};
constexpr KvnSize kSizes16[] = {{4, 4}, {4, 8}, {8, 4}, {8, 8}, {8, 16}, {16, 8}, {16, 16}};

// ---- statuses

TEST(InterpLumaApi, StatusesInCheckOrder8u) {
  Kvn8u src[64 * 40] = {}, dst[16 * 16];
  const Kvn8u* s = src + 2 * 64 + 2;
  struct Case {
    const Kvn8u* s;
    Kvn8u* d;
    int dx, dy;
    KvnSize size;
    KvnResult want;
  } cases[] = {
      {nullptr, dst, 9, 9, {0, 0}, KVN_STS_NULL_PTR}, {s, nullptr, 0, 0, {4, 4}, KVN_STS_NULL_PTR},
      {s, dst, 4, 0, {5, 4}, KVN_STS_BAD_ARG},        {s, dst, 0, -1, {4, 4}, KVN_STS_BAD_ARG},
      {s, dst, 3, 3, {5, 4}, KVN_STS_SIZE_ERR},       {s, dst, 3, 3, {4, 6}, KVN_STS_SIZE_ERR},
      {s, dst, 0, 0, {28, 4}, KVN_STS_SIZE_ERR},      {s, dst, 0, 0, {20, 16}, KVN_STS_SIZE_ERR},
      {s, dst, 0, 0, {16, 20}, KVN_STS_SIZE_ERR},     {s, dst, 0, 0, {0, 4}, KVN_STS_SIZE_ERR},
      {s, dst, 0, 0, {4, 0}, KVN_STS_SIZE_ERR},       {s, dst, 0, 0, {4, -4}, KVN_STS_SIZE_ERR},
      {s, dst, 0, 0, {-4, 4}, KVN_STS_SIZE_ERR},      {s, dst, 1, 2, {12, 16}, KVN_STS_OK},
  };
  for (const Case& c : cases) {
    std::fill(std::begin(dst), std::end(dst), Kvn8u(7));
    EXPECT_EQ(c.want, kvniInterpolateLuma_H264_8u_C1R(c.s, 64, c.d, 16, c.dx, c.dy, c.size));
    EXPECT_EQ(c.want, kvniInterpolateLumaTop_H264_8u_C1R(c.s, 64, c.d, 16, c.dx, c.dy, 1, c.size));
    EXPECT_EQ(c.want, kvniInterpolateLumaBottom_H264_8u_C1R(c.s, 64, c.d, 16, c.dx, c.dy, 1, c.size));
    if (c.want != KVN_STS_OK) {
      EXPECT_TRUE(std::all_of(std::begin(dst), std::end(dst), [](Kvn8u v) { return v == 7; }));
    }
  }
}

TEST(InterpLumaApi, StatusesInCheckOrder16u) {
  Kvn16u src[64 * 40] = {}, dst[16 * 16];
  const Kvn16u* s = src + 2 * 64 + 2;
  struct Case {
    KvnInterpolationRecord16u r;
    KvnResult want;
  } cases[] = {
      {{nullptr, 64, dst, 16, 9, 9, {4, 16}, 0}, KVN_STS_NULL_PTR},
      {{s, 64, nullptr, 16, 9, 9, {4, 16}, 0}, KVN_STS_NULL_PTR},
      {{s, 3, dst, 16, 9, 9, {4, 16}, 0}, KVN_STS_STEP_ERR},  // steps before fractions and sizes
      {{s, 64, dst, 7, 9, 9, {8, 16}, 0}, KVN_STS_STEP_ERR},
      {{s, -64, dst, 16, 0, 0, {4, 4}, 10}, KVN_STS_STEP_ERR},
      {{s, 64, dst, 16, 0, 4, {4, 16}, 0}, KVN_STS_BAD_ARG},
      {{s, 64, dst, 16, 3, 3, {4, 16}, 0}, KVN_STS_SIZE_ERR},
      {{s, 64, dst, 16, 3, 3, {16, 4}, 0}, KVN_STS_SIZE_ERR},
      {{s, 64, dst, 16, 3, 3, {12, 8}, 0}, KVN_STS_SIZE_ERR},
      {{s, 64, dst, 16, 3, 3, {8, 12}, 0}, KVN_STS_SIZE_ERR},
      {{s, 64, dst, 16, 3, 3, {8, 8}, 0}, KVN_STS_OUT_OF_RANGE},
      {{s, 64, dst, 16, 3, 3, {8, 8}, 17}, KVN_STS_OUT_OF_RANGE},
      {{s, 64, dst, 16, 3, 3, {8, 8}, -10}, KVN_STS_OUT_OF_RANGE},
      {{s, 64, dst, 16, 3, 3, {8, 8}, 1}, KVN_STS_OK},
      {{s, 64, dst, 16, 3, 3, {16, 8}, 16}, KVN_STS_OK},
  };
  EXPECT_EQ(KVN_STS_NULL_PTR, kvniInterpolateLuma_H264_16u_C1R(nullptr));
  EXPECT_EQ(KVN_STS_NULL_PTR, kvniInterpolateLumaTop_H264_16u_C1R(nullptr, 0));
  EXPECT_EQ(KVN_STS_NULL_PTR, kvniInterpolateLumaBottom_H264_16u_C1R(nullptr, 0));
  for (const Case& c : cases) {
    std::fill(std::begin(dst), std::end(dst), Kvn16u(7));
    EXPECT_EQ(c.want, kvniInterpolateLuma_H264_16u_C1R(&c.r));
    EXPECT_EQ(c.want, kvniInterpolateLumaTop_H264_16u_C1R(&c.r, 2));
    EXPECT_EQ(c.want, kvniInterpolateLumaBottom_H264_16u_C1R(&c.r, 2));
    if (c.want != KVN_STS_OK) {
      EXPECT_TRUE(std::all_of(std::begin(dst), std::end(dst), [](Kvn16u v) { return v == 7; }));
    }
  }
}

TEST(InterpLumaApi, BlockStatuses) {
  Kvn8u pic[32 * 32] = {}, dst[16 * 16];
  Kvn16u pic16[32 * 32] = {}, dst16[16 * 16];
  const auto rec8 = [&](KvnSize frame, KvnSize block, int mvx, int mvy) {
    return KvnInterpolationBlockRecord8u{{pic, nullptr}, 32, {dst, nullptr}, 16, frame, block, {8, 8}, {mvx, mvy}};
  };
  EXPECT_EQ(KVN_STS_NULL_PTR, kvniInterpolateLumaBlock_H264_8u_P1R(nullptr));
  EXPECT_EQ(KVN_STS_NULL_PTR, kvniInterpolateLumaBlock_H264_16u_P1R(nullptr));
  KvnInterpolationBlockRecord8u r = rec8({32, 32}, {7, 7}, 1, 1);
  r.pSrc[0] = nullptr;
  EXPECT_EQ(KVN_STS_NULL_PTR, kvniInterpolateLumaBlock_H264_8u_P1R(&r));
  r = rec8({32, 32}, {7, 7}, 1, 1);
  r.pDst[0] = nullptr;
  EXPECT_EQ(KVN_STS_NULL_PTR, kvniInterpolateLumaBlock_H264_8u_P1R(&r));
  struct Case {
    KvnSize frame, block;
    int mvx, mvy;
    KvnResult want;
  } cases[] = {
      {{32, 32}, {7, 8}, 0, 0, KVN_STS_SIZE_ERR},    {{32, 32}, {28, 8}, 0, 0, KVN_STS_SIZE_ERR},
      {{32, 32}, {8, 0}, 0, 0, KVN_STS_SIZE_ERR},    {{32, 32}, {8, 32}, 0, 0, KVN_STS_SIZE_ERR},
      {{32, 32}, {12, 16}, 5, 7, KVN_STS_OK},        {{0, 32}, {8, 8}, 1, 0, KVN_STS_SIZE_ERR},  // cannot pad
      {{32, -1}, {8, 8}, -400, 0, KVN_STS_SIZE_ERR}, {{0, 0}, {8, 8}, 0, 0, KVN_STS_OK},         // never pads
  };
  for (const Case& c : cases) {
    std::fill(std::begin(dst), std::end(dst), Kvn8u(7));
    const KvnInterpolationBlockRecord8u r8 = rec8(c.frame, c.block, c.mvx, c.mvy);
    EXPECT_EQ(c.want, kvniInterpolateLumaBlock_H264_8u_P1R(&r8));
    if (c.want != KVN_STS_OK) {
      EXPECT_TRUE(std::all_of(std::begin(dst), std::end(dst), [](Kvn8u v) { return v == 7; }));
    }
    for (int bitDepth : {10, 0, 17}) {
      const KvnInterpolationBlockRecord16u r16{{pic16, nullptr}, 32,     {dst16, nullptr}, 16,      c.frame,
                                               c.block,          {8, 8}, {c.mvx, c.mvy},   bitDepth};
      const KvnResult want = c.want == KVN_STS_OK && bitDepth != 10 ? KVN_STS_OUT_OF_RANGE : c.want;
      EXPECT_EQ(want, kvniInterpolateLumaBlock_H264_16u_P1R(&r16)) << bitDepth;
    }
  }
}

// ---- worked examples

TEST(InterpLumaApi, HalfSamplesOfAStepEdgeOvershootAndRoundUp) {
  // A vertical edge 0 | 100 between block columns 3 and 4 of every row.
  Kvn8u src[24 * 4], dst[16 * 4];
  for (int i = 0; i < 24 * 4; ++i) src[i] = (i % 24) >= 6 ? 100 : 0;
  const Kvn8u* s = src + 2;
  ASSERT_EQ(KVN_STS_OK, kvniInterpolateLuma_H264_8u_C1R(s, 24, dst, 16, 2, 0, {8, 4}));
  const Kvn8u b[8] = {0, 3, 0, 50, 113, 97, 100, 100};  // undershoot clamped, overshoot kept
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 8; ++x) EXPECT_EQ(b[x], dst[16 * y + x]) << x;
  ASSERT_EQ(KVN_STS_OK, kvniInterpolateLuma_H264_8u_C1R(s, 24, dst, 16, 1, 0, {8, 4}));
  const Kvn8u a[8] = {0, 2, 0, 25, 107, 99, 100, 100};  // (0 + 3 + 1) >> 1 = 2
  for (int x = 0; x < 8; ++x) EXPECT_EQ(a[x], dst[x]) << x;
  // The 16-bit functions clamp to the bit depth: 10-bit samples 0 | 1023.
  Kvn16u src16[24 * 4], dst16[8 * 4];
  for (int i = 0; i < 24 * 4; ++i) src16[i] = (i % 24) >= 6 ? 1023 : 0;
  const KvnInterpolationRecord16u r{src16 + 2, 24, dst16, 8, 2, 0, {8, 4}, 10};
  ASSERT_EQ(KVN_STS_OK, kvniInterpolateLuma_H264_16u_C1R(&r));
  EXPECT_EQ(0, dst16[2]);     // (-4092 + 16) >> 5 clamped
  EXPECT_EQ(1023, dst16[4]);  // (36828 + 16) >> 5 = 1151 clamped
}

TEST(InterpLumaApi, FlatAreaGivesItsValueAtEveryFraction) {
  Kvn8u src[24 * 24], dst[16 * 16];
  std::fill(std::begin(src), std::end(src), Kvn8u(201));
  for (int f = 0; f < 16; ++f) {
    ASSERT_EQ(KVN_STS_OK, kvniInterpolateLuma_H264_8u_C1R(src + 2 * 24 + 2, 24, dst, 16, f & 3, f >> 2, {16, 16}));
    EXPECT_TRUE(std::all_of(std::begin(dst), std::end(dst), [](Kvn8u v) { return v == 201; })) << f;
  }
}

// ---- every size and fraction against the model

TEST(InterpLumaApi, PlainFunctionsMatchTheModel) {
  kvntest::TestRng g;
  for (int trial = 0; trial < 24; ++trial) {
    const Picture<Kvn8u> pic(g, 255);
    for (KvnSize size : kSizes8)
      for (int f = 0; f < 16; ++f) {
        Kvn8u dst[16 * 17];
        ASSERT_EQ(KVN_STS_OK, kvniInterpolateLuma_H264_8u_C1R(pic.at(0, 0), pic.step, dst, 17, f & 3, f >> 2, size));
        for (int y = 0; y < size.height; ++y)
          for (int x = 0; x < size.width; ++x)
            ASSERT_EQ(model([&](int i, int j) { return pic.get(i, j); }, x, y, f & 3, f >> 2, 255), dst[17 * y + x])
                << size.width << "x" << size.height << " fraction " << f << " at " << x << ", " << y;
      }
    const int bitDepth = trial % 8 == 7 ? 16 : 8 + trial % 7;
    const int maxv = (1 << bitDepth) - 1;
    const Picture<Kvn16u> pic16(g, maxv);
    for (KvnSize size : kSizes16)
      for (int f = 0; f < 16; ++f) {
        Kvn16u dst[16 * 16];
        const KvnInterpolationRecord16u r{pic16.at(0, 0), pic16.step, dst, 16, f & 3, f >> 2, size, bitDepth};
        ASSERT_EQ(KVN_STS_OK, kvniInterpolateLuma_H264_16u_C1R(&r));
        for (int y = 0; y < size.height; ++y)
          for (int x = 0; x < size.width; ++x)
            ASSERT_EQ(model([&](int i, int j) { return pic16.get(i, j); }, x, y, f & 3, f >> 2, maxv), dst[16 * y + x])
                << "bit depth " << bitDepth << " " << size.width << "x" << size.height << " fraction " << f;
      }
  }
}

// Top and Bottom: the rows beyond the edge row repeat it; columns are read as
// they are.
TEST(InterpLumaApi, TopAndBottomRepeatTheEdgeRow) {
  kvntest::TestRng g;
  for (int trial = 0; trial < 6; ++trial) {
    const Picture<Kvn8u> pic(g, 255);
    const int bitDepth = 8 + trial;
    const Picture<Kvn16u> pic16(g, (1 << bitDepth) - 1);
    for (KvnSize size : {KvnSize{16, 16}, KvnSize{8, 4}, KvnSize{4, 8}, KvnSize{12, 8}})
      for (int f = 0; f < 16; ++f)
        for (int k : {-3, -2, -1, 0, 1, 2, 5, size.height - 1, size.height, size.height + 3}) {
          for (bool top : {true, false}) {
            const int edge = top ? k : size.height - 1 - k;
            const auto rows = [&](int y) { return top ? std::max(y, edge) : std::min(y, edge); };
            Kvn8u dst[16 * 16];
            const KvnResult st =
                top ? kvniInterpolateLumaTop_H264_8u_C1R(pic.at(0, 0), pic.step, dst, 16, f & 3, f >> 2, k, size)
                    : kvniInterpolateLumaBottom_H264_8u_C1R(pic.at(0, 0), pic.step, dst, 16, f & 3, f >> 2, k, size);
            ASSERT_EQ(KVN_STS_OK, st);
            for (int y = 0; y < size.height; ++y)
              for (int x = 0; x < size.width; ++x)
                ASSERT_EQ(model([&](int i, int j) { return pic.get(i, rows(j)); }, x, y, f & 3, f >> 2, 255),
                          dst[16 * y + x])
                    << (top ? "top " : "bottom ") << k << " fraction " << f << " at " << x << ", " << y;
            if (size.width == 12) continue;
            Kvn16u dst16[16 * 16];
            const KvnInterpolationRecord16u r{pic16.at(0, 0), pic16.step, dst16, 16, f & 3, f >> 2, size, bitDepth};
            ASSERT_EQ(KVN_STS_OK,
                      top ? kvniInterpolateLumaTop_H264_16u_C1R(&r, k) : kvniInterpolateLumaBottom_H264_16u_C1R(&r, k));
            const int maxv = (1 << bitDepth) - 1;
            for (int y = 0; y < size.height; ++y)
              for (int x = 0; x < size.width; ++x)
                ASSERT_EQ(model([&](int i, int j) { return pic16.get(i, rows(j)); }, x, y, f & 3, f >> 2, maxv),
                          dst16[16 * y + x])
                    << (top ? "top " : "bottom ") << k << " fraction " << f;
          }
        }
  }
}

// Block functions against the plain function on a copy of the picture padded
// by kPad samples of edge replication on every side. A region beyond the
// padding is moved to its border: the samples there are the same.
template <class T>
struct PaddedPicture {
  static constexpr int kPad = 32;
  int w, h, step, pstep;
  std::vector<T> px, padded;
  PaddedPicture(kvntest::Rng& g, int width, int height, int maxv)
      : w(width),
        h(height),
        step(width + 5),
        pstep(width + 2 * kPad),
        px(size_t(height) * step),
        padded(size_t(height + 2 * kPad) * pstep) {
    for (T& v : px) v = T(g.range(0, 2) == 0 ? g.coin() * maxv : g.range(0, maxv));
    for (int y = -kPad; y < h + kPad; ++y)
      for (int x = -kPad; x < w + kPad; ++x)
        padded[size_t(y + kPad) * pstep + x + kPad] =
            px[size_t(std::clamp(y, 0, h - 1)) * step + std::clamp(x, 0, w - 1)];
  }
  // Where the plain function reads the block at integer position (x, y).
  const T* plain_at(int64_t x, int64_t y, KvnSize block) const {
    x = std::clamp<int64_t>(x, -(block.width + 3), w + 2);
    y = std::clamp<int64_t>(y, -(block.height + 3), h + 2);
    return padded.data() + (y + kPad) * pstep + x + kPad;
  }
};

TEST(InterpLumaApi, BlockFunctionsMatchThePlainOnesOnAPaddedPicture) {
  kvntest::TestRng g;
  const int32_t hostile[] = {INT32_MIN, INT32_MIN + 3, -(1 << 29), (1 << 29), INT32_MAX - 2, INT32_MAX};
  for (int trial = 0; trial < 400; ++trial) {
    const int w = g.range(1, 40), h = g.range(1, 40);
    const int bitDepth = 8 + trial % 7;
    const PaddedPicture<Kvn8u> pic(g, w, h, 255);
    const PaddedPicture<Kvn16u> pic16(g, w, h, (1 << bitDepth) - 1);
    KvnSize block{4 << g.range(0, 2), 4 << g.range(0, 2)};
    if (trial % 5 == 0) block.width = 12;
    int32_t pos[2], mv[2];
    for (int c = 0; c < 2; ++c) {
      const int extent = c == 0 ? w : h;
      pos[c] = g.range(-4, extent + 3);
      mv[c] = g.range(-80, 79);
      if (trial % 7 == 0) mv[c] = hostile[g.range(0, 5)];
      if (trial % 11 == 0) pos[c] = hostile[g.range(0, 5)];
      if (trial % 13 == 0) mv[c] = 0;
    }
    const int64_t x = int64_t(pos[0]) + (mv[0] >> 2), y = int64_t(pos[1]) + (mv[1] >> 2);
    const int dx = mv[0] & 3, dy = mv[1] & 3;
    if (mv[0] == 0 && mv[1] == 0 &&
        (pos[0] < 0 || pos[1] < 0 || int64_t(pos[0]) + block.width > w || int64_t(pos[1]) + block.height > h))
      continue;  // a zero vector is not tested against the picture
    Kvn8u want[16 * 16], got[16 * 16];
    ASSERT_EQ(KVN_STS_OK,
              kvniInterpolateLuma_H264_8u_C1R(pic.plain_at(x, y, block), pic.pstep, want, 16, dx, dy, block));
    const KvnInterpolationBlockRecord8u r{{pic.px.data(), nullptr}, pic.step,      {got, nullptr}, 16, {w, h}, block,
                                          {pos[0], pos[1]},         {mv[0], mv[1]}};
    ASSERT_EQ(KVN_STS_OK, kvniInterpolateLumaBlock_H264_8u_P1R(&r));
    for (int i = 0; i < block.height; ++i)
      for (int j = 0; j < block.width; ++j)
        ASSERT_EQ(want[16 * i + j], got[16 * i + j])
            << "picture " << w << "x" << h << " block " << block.width << "x" << block.height << " at " << pos[0]
            << ", " << pos[1] << " mv " << mv[0] << ", " << mv[1];
    // 16-bit: against the model on the picture read with clamped coordinates.
    Kvn16u got16[16 * 16];
    const KvnInterpolationBlockRecord16u r16{
        {pic16.px.data(), nullptr}, pic16.step,     {got16, nullptr}, 16, {w, h}, block,
        {pos[0], pos[1]},           {mv[0], mv[1]}, bitDepth};
    ASSERT_EQ(KVN_STS_OK, kvniInterpolateLumaBlock_H264_16u_P1R(&r16));
    const auto clamped = [&](int i, int j) {
      return pic16.px[size_t(std::clamp<int64_t>(y + j, 0, h - 1)) * pic16.step + std::clamp<int64_t>(x + i, 0, w - 1)];
    };
    for (int i = 0; i < block.height; ++i)
      for (int j = 0; j < block.width; ++j)
        ASSERT_EQ(model(clamped, j, i, dx, dy, (1 << bitDepth) - 1), got16[16 * i + j])
            << "16-bit, picture " << w << "x" << h << " mv " << mv[0] << ", " << mv[1];
  }
}

// A zero vector copies the block from its position without looking at the
// picture size.
TEST(InterpLumaApi, BlockWithZeroVectorCopies) {
  Kvn8u pic[40 * 40], dst[16 * 16];
  for (int i = 0; i < 40 * 40; ++i) pic[i] = Kvn8u(i * 7);
  const KvnInterpolationBlockRecord8u r{{pic, nullptr}, 40, {dst, nullptr}, 16, {1, 1}, {16, 8}, {20, 30}, {0, 0}};
  ASSERT_EQ(KVN_STS_OK, kvniInterpolateLumaBlock_H264_8u_P1R(&r));
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 16; ++x) EXPECT_EQ(pic[(30 + y) * 40 + 20 + x], dst[16 * y + x]);
}

}  // namespace
