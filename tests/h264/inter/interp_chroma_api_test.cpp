// H.264 chroma interpolation, block average and border expansion through the
// exported names: statuses and their order, the plain functions against
// H.264 (8-270), Top / Bottom / Block against the plain functions run on an
// explicitly padded copy of the picture (positions far outside included),
// and the border expansion against its row-by-row description.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <vector>

#include "kvnvc.h"
#include "rng.h"

namespace {

// A picture of cols x rows samples, at least minStep samples a row, with
// `margin` spare rows above and below so that pointers outside it stay in the
// allocation.
template <class T>
struct Img {
  int cols, rows, margin;
  ptrdiff_t step;
  std::vector<T> v;
  Img(int c, int r, int m = 0, int minStep = 0)
      : cols(c), rows(r), margin(m), step(std::max(c + 3, minStep)), v(size_t(step) * (r + 2 * m)) {}
  T* p(int64_t x = 0, int64_t y = 0) { return v.data() + (margin + y) * step + x; }
  T& at(int64_t x, int64_t y) { return *p(x, y); }
  // Random samples of up to `bits` bits, or only 0 and the maximum.
  void fill(kvntest::Rng& g, int bits) {
    const int max = (1 << bits) - 1, style = g.range(0, 2);
    for (T& s : v) s = T(style == 0 ? g.range(0, max) : style == 1 ? g.range(0, 1) * max : g.range(0, 3) * max / 3);
  }
};

// H.264 (8-270) at block sample (x, y) of a reference given by ref(x, y).
template <class Ref>
int model(Ref ref, int x, int y, int dx, int dy) {
  return ((8 - dx) * (8 - dy) * ref(x, y) + dx * (8 - dy) * ref(x + 1, y) + (8 - dx) * dy * ref(x, y + 1) +
          dx * dy * ref(x + 1, y + 1) + 32) >>
         6;
}

// got equals before with the w x h block replaced by want(x, y).
template <class T, class Want>
void expect_block(const Img<T>& before, const Img<T>& got, int w, int h, Want want) {
  Img<T> e = before;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) e.at(x, y) = T(want(x, y));
  ASSERT_EQ(e.v, got.v);
}

TEST(InterpolateChroma, PlainFunctionsFollowTheStandard) {
  kvntest::TestRng g;
  for (int w : {2, 4, 6, 8})
    for (int h = 2; h <= 16; h += 2)
      for (int f = 0; f < 64; ++f) {
        const int dx = f & 7, dy = f >> 3;
        const KvnSize size{w, h};
        Img<Kvn8u> src(2 * w + 2, h + 1), d(w, h), u(w, h), v(w, h);
        src.fill(g, 8);
        d.fill(g, 8);
        const Img<Kvn8u> d0 = d, u0 = u;
        ASSERT_EQ(0, kvniInterpolateChroma_H264_8u_C1R(src.p(), int(src.step), d.p(), int(d.step), dx, dy, size));
        expect_block(d0, d, w, h,
                     [&](int x, int y) { return model([&](int a, int b) { return src.at(a, b); }, x, y, dx, dy); });
        ASSERT_EQ(0,
                  kvniInterpolateChroma_H264_8u_C2P2R(src.p(), int(src.step), u.p(), v.p(), int(u.step), dx, dy, size));
        for (int c = 0; c < 2; ++c)
          expect_block(u0, c ? v : u, w, h, [&](int x, int y) {
            return model([&](int a, int b) { return src.at(2 * a + c, b); }, x, y, dx, dy);
          });
        if ((w & (w - 1)) || (h & (h - 1))) continue;
        // 16-bit: any sample value, whatever the bit depth.
        Img<Kvn16u> s16(w + 1, h + 1, 0, 8), d16(w, h, 0, 8);
        s16.fill(g, g.range(0, 1) ? 16 : g.range(8, 14));
        const Img<Kvn16u> d16_0 = d16;
        const KvnInterpolationRecord16u r{s16.p(), int(s16.step), d16.p(), int(d16.step), dx, dy, size, g.range(1, 16)};
        ASSERT_EQ(0, kvniInterpolateChroma_H264_16u_C1R(&r));
        expect_block(d16_0, d16, w, h,
                     [&](int x, int y) { return model([&](int a, int b) { return s16.at(a, b); }, x, y, dx, dy); });
      }
  // H.264 worked value: (4, 4) between 0, 8, 16 and 24 gives 12.
  const Kvn8u q[3][3] = {{0, 8, 0}, {16, 24, 0}, {0, 0, 0}};
  Kvn8u out[2 * 2];
  ASSERT_EQ(0, kvniInterpolateChroma_H264_8u_C1R(&q[0][0], 3, out, 2, 4, 4, KvnSize{2, 2}));
  EXPECT_EQ(12, out[0]);
}

// Top (k: block row k is the picture's first row) and Bottom (block row
// h - 1 - k is its last row) against the plain functions on a copy whose rows
// beyond the edge repeat the edge row.
TEST(InterpolateChroma, TopAndBottomRepeatTheEdgeRow) {
  kvntest::TestRng g;
  for (int t = 0; t < 4000; ++t) {
    const int w = 2 << g.range(0, 2), h = 2 << g.range(0, 3), dx = g.range(0, 7), dy = g.range(0, 7);
    const bool top = t & 1, wide = t & 2;
    const int k = top ? g.range(0, h + 3) : g.range(-3, h + 3);
    // Enough rows on the side that is not padded.
    const int rows = std::max(g.range(1, h + 2), top ? h + 1 : h - k);
    // Picture rows 0 .. rows - 1; the block's row 0 is picture row y0.
    const int y0 = top ? -k : rows - h + k;
    const auto pic_row = [&](int y) { return std::clamp(y0 + y, 0, rows - 1); };
    const KvnSize size{w, h};
    Img<Kvn8u> pic(w + 1, rows, 24), pad(w + 1, h + 1), want(w, h), got(w, h);
    Img<Kvn16u> pic16(w + 1, rows, 24, 8), pad16(w + 1, h + 1, 0, 8), want16(w, h, 0, 8), got16(w, h, 0, 8);
    pic.fill(g, 8);
    pic16.fill(g, wide ? 16 : 10);
    for (int y = 0; y <= h; ++y)
      for (int x = 0; x <= w; ++x) pad.at(x, y) = pic.at(x, pic_row(y)), pad16.at(x, y) = pic16.at(x, pic_row(y));
    ASSERT_EQ(0, kvniInterpolateChroma_H264_8u_C1R(pad.p(), int(pad.step), want.p(), int(want.step), dx, dy, size));
    const KvnResult st = (top ? kvniInterpolateChromaTop_H264_8u_C1R : kvniInterpolateChromaBottom_H264_8u_C1R)(
        pic.p(0, y0), int(pic.step), got.p(), int(got.step), dx, dy, k, size);
    ASSERT_EQ(0, st);
    ASSERT_EQ(want.v, got.v) << (top ? "top" : "bottom") << " k " << k << " " << w << "x" << h;
    KvnInterpolationRecord16u r{pad16.p(), int(pad16.step), want16.p(), int(want16.step), dx, dy, size, 10};
    ASSERT_EQ(0, kvniInterpolateChroma_H264_16u_C1R(&r));
    r.pSrc = pic16.p(0, y0), r.srcStep = int(pic16.step), r.pDst = got16.p();
    ASSERT_EQ(0, (top ? kvniInterpolateChromaTop_H264_16u_C1R : kvniInterpolateChromaBottom_H264_16u_C1R)(&r, k));
    ASSERT_EQ(want16.v, got16.v) << (top ? "top" : "bottom") << " k " << k;
  }
}

int32_t hostile(kvntest::Rng& g, int small) {
  const int32_t far[] = {INT32_MIN, INT32_MAX, -(1 << 30), 1 << 30, INT32_MIN + 7, INT32_MAX - 9};
  return g.range(0, 5) ? g.range(-small, small) : far[g.range(0, 5)];
}

// Block functions against the plain ones on the explicitly padded region.
TEST(InterpolateChromaBlock, PadsLikeAnExplicitlyPaddedPicture) {
  kvntest::TestRng g;
  for (int t = 0; t < 6000; ++t) {
    const bool hbd = t % 3 == 0;
    const int W = g.range(1, 20), H = g.range(1, 20);
    const int w = hbd ? 2 << g.range(0, 2) : 2 * g.range(1, 4), h = hbd ? 2 << g.range(0, 3) : 2 * g.range(1, 8);
    const int32_t px = hostile(g, 30), py = hostile(g, 30);
    int32_t mvx = hostile(g, 250), mvy = hostile(g, 250);
    if (mvx == 0 && mvy == 0) mvx = 1;
    const int64_t x0 = int64_t(px) + (mvx >> 3), y0 = int64_t(py) + (mvy >> 3);
    const int dx = mvx & 7, dy = mvy & 7;
    const auto cx = [&](int64_t x) { return std::clamp<int64_t>(x0 + x, 0, W - 1); };
    const auto cy = [&](int64_t y) { return std::clamp<int64_t>(y0 + y, 0, H - 1); };
    const KvnSize size{w, h};
    if (hbd) {
      Img<Kvn16u> a(W, H), b(W, H), pad(w + 1, h + 1, 0, 8), wa(w, h, 0, 8), wb = wa, ga = wa, gb = wa;
      a.fill(g, 16), b.fill(g, 12);
      for (auto [pic, want] : {std::pair{&a, &wa}, {&b, &wb}}) {
        for (int y = 0; y <= h; ++y)
          for (int x = 0; x <= w; ++x) pad.at(x, y) = pic->at(cx(x), cy(y));
        const KvnInterpolationRecord16u r{pad.p(), int(pad.step), want->p(), int(want->step), dx, dy, size, 12};
        ASSERT_EQ(0, kvniInterpolateChroma_H264_16u_C1R(&r));
      }
      const KvnInterpolationBlockRecord16u r{
          {a.p(), b.p()}, int(a.step), {ga.p(), gb.p()}, int(ga.step), {W, H}, size, {px, py}, {mvx, mvy}, 12};
      ASSERT_EQ(0, kvniInterpolateChromaBlock_H264_16u_P2R(&r));
      ASSERT_EQ(wa.v, ga.v);
      ASSERT_EQ(wb.v, gb.v);
      continue;
    }
    // Planar U, V and the same samples interleaved.
    Img<Kvn8u> u(W, H), v(W, H), uv(2 * W, H), pad(2 * w + 2, h + 1), wu(w, h), wv(w, h);
    u.fill(g, 8), v.fill(g, 8);
    for (int y = 0; y < H; ++y)
      for (int x = 0; x < W; ++x) uv.at(2 * x, y) = u.at(x, y), uv.at(2 * x + 1, y) = v.at(x, y);
    for (int y = 0; y <= h; ++y)
      for (int x = 0; x <= w; ++x) pad.at(2 * x, y) = u.at(cx(x), cy(y)), pad.at(2 * x + 1, y) = v.at(cx(x), cy(y));
    ASSERT_EQ(0,
              kvniInterpolateChroma_H264_8u_C2P2R(pad.p(), int(pad.step), wu.p(), wv.p(), int(wu.step), dx, dy, size));
    Img<Kvn8u> gu(w, h), gv(w, h), guv(2 * w, h), wuv(2 * w, h);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) wuv.at(2 * x, y) = wu.at(x, y), wuv.at(2 * x + 1, y) = wv.at(x, y);
    KvnInterpolationBlockRecord8u r{{u.p(), v.p()}, int(u.step), {gu.p(), gv.p()}, int(gu.step),
                                    {W, H},         size,        {px, py},         {mvx, mvy}};
    ASSERT_EQ(0, kvniInterpolateChromaBlock_H264_8u_P2R(&r));
    ASSERT_TRUE(wu.v == gu.v && wv.v == gv.v) << "P2R";
    std::fill(gu.v.begin(), gu.v.end(), 0), std::fill(gv.v.begin(), gv.v.end(), 0);
    r.pSrc[0] = uv.p(), r.srcStep = int(uv.step);
    ASSERT_EQ(0, kvniInterpolateChromaBlock_H264_8u_C2P2R(&r));
    ASSERT_TRUE(wu.v == gu.v && wv.v == gv.v) << "C2P2R";
    r.pDst[0] = guv.p(), r.dstStep = int(guv.step);
    ASSERT_EQ(0, kvniInterpolateChromaBlock_H264_8u_C2C2R(&r));
    ASSERT_EQ(wuv.v, guv.v) << "C2C2R";
  }
}

// A zero vector copies the block from its position, inside the picture or
// not, and never looks at the picture size.
TEST(InterpolateChromaBlock, ZeroVectorCopiesWithoutPadding) {
  kvntest::TestRng g;
  Img<Kvn8u> pic(16, 16), got(8, 8);
  pic.fill(g, 8);
  KvnInterpolationBlockRecord8u r{
      {pic.p(), pic.p()}, int(pic.step), {got.p(), got.p()}, int(got.step), {0, 0}, {8, 8}, {6, 5}, {0, 0}};
  ASSERT_EQ(0, kvniInterpolateChromaBlock_H264_8u_P2R(&r));
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) ASSERT_EQ(pic.at(6 + x, 5 + y), got.at(x, y));
}

TEST(InterpolateBlock, AveragesRoundingUp) {
  kvntest::TestRng g;
  for (int w = 2; w <= 16; ++w)
    for (int h = 2; h <= 16; ++h) {
      Img<Kvn8u> a(w, h), b(w, h), d(w, h), e(w + 5, h);
      a.fill(g, 8), b.fill(g, 8), d.fill(g, 8), e.fill(g, 8);
      const Img<Kvn8u> d0 = d, e0 = e;
      const auto avg = [&](int x, int y) { return (a.at(x, y) + b.at(x, y) + 1) >> 1; };
      ASSERT_EQ(0, kvniInterpolateBlock_H264_8u_P2P1R(a.p(), b.p(), d.p(), w, h, int(a.step)));
      expect_block(d0, d, w, h, avg);
      ASSERT_EQ(0,
                kvniInterpolateBlock_H264_8u_P3P1R(a.p(), b.p(), e.p(), w, h, int(a.step), int(b.step), int(e.step)));
      expect_block(e0, e, w, h, avg);
    }
}

// The border expansion as described row by row: the last (field) row is
// copied below, each (field) row then gets its first / last sample repeated
// to the left / right, and the expanded first (field) row is copied above.
void expand_model(Kvn8u* p, int w, int h, int step, int n, int mode) {
  const auto row = [&](int r) { return p + ptrdiff_t(r) * step; };
  const int d = mode ? 2 : 1, first = mode == 2 ? 1 : 0, last = mode == 1 ? h - 2 : h - 1;
  const int below = mode == 0 ? n : mode == 1 ? (n + 1) >> 1 : n >> 1;
  const int sides = mode == 0 ? h + n : mode == 1 ? (h + n + 1) >> 1 : (h + n) >> 1;
  const int above = mode == 0 ? n : mode == 1 ? n >> 1 : (n + 1) >> 1;
  for (int i = 1; i <= below; ++i) std::copy(row(last), row(last) + w, row(last + d * i));
  for (int i = 0; i < sides; ++i) {
    Kvn8u* q = row(first + d * i);
    std::fill(q - n, q, q[0]);
    std::fill(q + w, q + w + n, q[w - 1]);
  }
  for (int i = 1; i <= above; ++i) std::copy(row(first) - n, row(first) + w + n, row(first - d * i) - n);
}

TEST(ExpandPlane, FollowsTheRowRules) {
  kvntest::TestRng g;
  for (int t = 0; t < 600; ++t) {
    const int w = g.range(1, 40), h = 2 * g.range(1, 12), n = g.range(1, 20), step = w + 2 * n + g.range(0, 5);
    std::vector<Kvn8u> want(size_t(h + 2 * n + 2) * step);
    for (auto& s : want) s = Kvn8u(g.range(0, 255));
    // Rows in pairs (2k + 1 equal to 2k) make the two fields' expansion equal the frame's.
    const bool pairs = t % 3 == 0;
    Kvn8u* const o = want.data() + (n + 1) * step + n;
    if (pairs)
      for (int y = 0; y < h; y += 2) std::copy(o + y * step, o + y * step + w, o + (y + 1) * step);
    std::vector<Kvn8u> got = want;
    const auto at = [&](std::vector<Kvn8u>& b) { return b.data() + (o - want.data()); };
    if (pairs) {
      ASSERT_EQ(0, kvniExpandPlane_H264_8u_C1R(at(got), w, h, step, n, 1));
      ASSERT_EQ(0, kvniExpandPlane_H264_8u_C1R(at(got), w, h, step, n, 2));
      expand_model(at(want), w, h, step, n, 0);
    } else {
      const int mode = t % 3;
      ASSERT_EQ(0, kvniExpandPlane_H264_8u_C1R(at(got), w, h, step, n, mode));
      expand_model(at(want), w, h, step, n, mode);
    }
    ASSERT_EQ(want, got) << w << "x" << h << " border " << n << (pairs ? " fields" : "");
  }
}

// Statuses, in the order of the checks; a failed call writes nothing.
TEST(InterpolateChroma, StatusesAndTheirOrder) {
  std::vector<Kvn8u> src(64 * 40, 7), dst(64 * 40, 9);
  std::vector<Kvn16u> s16(64 * 40, 7), d16(64 * 40, 9);
  Kvn8u* const s = src.data() + 4 * 64 + 16;
  Kvn8u* const d = dst.data() + 4 * 64 + 16;
  const KvnInterpolationRecord16u r16{s16.data() + 1024, 16, d16.data() + 64, 16, 3, 5, {8, 8}, 10};
  const KvnInterpolationBlockRecord8u b8{{s, s}, 64, {d, d + 32}, 64, {32, 32}, {8, 8}, {4, 4}, {-9, 21}};
  const KvnInterpolationBlockRecord16u b16{
      {s16.data(), s16.data()}, 64, {d16.data(), d16.data() + 32}, 64, {32, 32}, {8, 8}, {4, 4}, {5, 3}, 10};
  const auto c1 = [&](const Kvn8u* p, int dx, int dy, KvnSize z) {
    return kvniInterpolateChroma_H264_8u_C1R(p, 64, d, 64, dx, dy, z);
  };
  const auto top = [&](int dx, KvnSize z, int k) {
    return kvniInterpolateChromaTop_H264_8u_C1R(s, 64, d, 64, dx, 1, k, z);
  };
  const auto rec = [&](auto f, auto r, auto edit) {
    edit(r);
    return f(&r);
  };
  const auto expand = [&](Kvn8u* p, int w, int h, int step, int n, int mode) {
    return kvniExpandPlane_H264_8u_C1R(p, w, h, step, n, mode);
  };
  Kvn8u* const plane = dst.data() + 8 * 64 + 16;
  using R16 = KvnInterpolationRecord16u;
  using B8 = KvnInterpolationBlockRecord8u;
  // The calls in turn: each status, and a failed call writes nothing.
  std::vector<Kvn8u> before = dst;
  std::vector<Kvn16u> before16 = d16;
  int n = 0;
  const auto expect = [&](KvnResult want, KvnResult got) {
    EXPECT_EQ(want, got) << "case " << n;
    if (want != KVN_STS_OK) {
      EXPECT_TRUE(before == dst && before16 == d16) << "case " << n << " wrote";
    }
    before = dst, before16 = d16, ++n;
  };
  expect(KVN_STS_NULL_PTR, c1(nullptr, 9, 0, {3, 3}));
  expect(KVN_STS_NULL_PTR, kvniInterpolateChroma_H264_8u_C2P2R(s, 64, d, nullptr, 64, 0, 0, {2, 2}));
  expect(KVN_STS_BAD_ARG, c1(s, 8, 0, {3, 3}));
  expect(KVN_STS_BAD_ARG, c1(s, 0, -1, {2, 2}));
  expect(KVN_STS_SIZE_ERR, c1(s, 7, 7, {3, 2}));
  expect(KVN_STS_SIZE_ERR, c1(s, 0, 0, {10, 2}));  // within the bit pattern, wider than 8
  expect(KVN_STS_SIZE_ERR, c1(s, 0, 0, {0, 2}));
  expect(KVN_STS_SIZE_ERR, c1(s, 0, 0, {2, 0}));
  expect(KVN_STS_SIZE_ERR, c1(s, 0, 0, {2, 18}));
  expect(KVN_STS_SIZE_ERR, c1(s, 0, 0, {2, -2}));
  expect(KVN_STS_OK, c1(s, 7, 7, {6, 14}));
  expect(KVN_STS_SIZE_ERR, top(0, {5, 2}, -1));
  expect(KVN_STS_OUT_OF_RANGE, top(0, {2, 2}, -1));
  expect(KVN_STS_OK, kvniInterpolateChromaBottom_H264_8u_C1R(s, 64, d, 64, 1, 1, -2, {8, 8}));
  expect(KVN_STS_NULL_PTR, kvniInterpolateChroma_H264_16u_C1R(nullptr));
  expect(KVN_STS_NULL_PTR,
         rec(kvniInterpolateChroma_H264_16u_C1R, r16, [](R16& r) { r.pSrc = nullptr, r.srcStep = 0; }));
  expect(KVN_STS_NULL_PTR, rec(kvniInterpolateChroma_H264_16u_C1R, r16, [](R16& r) { r.pDst = nullptr; }));
  expect(KVN_STS_STEP_ERR, rec(kvniInterpolateChroma_H264_16u_C1R, r16, [](R16& r) { r.dstStep = 7, r.dx = 9; }));
  expect(KVN_STS_BAD_ARG, rec(kvniInterpolateChroma_H264_16u_C1R, r16, [](R16& r) { r.dy = 8, r.roiSize = {6, 6}; }));
  expect(KVN_STS_SIZE_ERR, rec(kvniInterpolateChroma_H264_16u_C1R, r16, [](R16& r) { r.roiSize = {6, 2}; }));
  expect(KVN_STS_SIZE_ERR, rec(kvniInterpolateChroma_H264_16u_C1R, r16, [](R16& r) { r.roiSize = {2, 6}; }));
  expect(KVN_STS_OUT_OF_RANGE, rec(kvniInterpolateChroma_H264_16u_C1R, r16, [](R16& r) { r.bitDepth = 0; }));
  expect(KVN_STS_SIZE_ERR, rec(kvniInterpolateChroma_H264_16u_C1R, r16, [](R16& r) {
           r.bitDepth = 17, r.roiSize = {8, 6};
         }));
  expect(KVN_STS_OK, rec(kvniInterpolateChroma_H264_16u_C1R, r16, [](R16& r) { r.bitDepth = 16; }));
  expect(KVN_STS_OUT_OF_RANGE, kvniInterpolateChromaTop_H264_16u_C1R(&r16, -1));
  expect(KVN_STS_OUT_OF_RANGE, rec(kvniInterpolateChromaBlock_H264_16u_P2R, b16, [](auto& r) { r.bitDepth = 17; }));
  expect(KVN_STS_OK, kvniInterpolateChromaBottom_H264_16u_C1R(&r16, 20));
  expect(KVN_STS_NULL_PTR, kvniInterpolateChromaBlock_H264_8u_P2R(nullptr));
  expect(KVN_STS_NULL_PTR, rec(kvniInterpolateChromaBlock_H264_8u_P2R, b8, [](B8& r) { r.pSrc[1] = nullptr; }));
  expect(KVN_STS_NULL_PTR, rec(kvniInterpolateChromaBlock_H264_8u_C2P2R, b8, [](B8& r) { r.pDst[1] = nullptr; }));
  expect(KVN_STS_OK, rec(kvniInterpolateChromaBlock_H264_8u_C2C2R, b8, [](B8& r) { r.pDst[1] = nullptr; }));
  expect(KVN_STS_SIZE_ERR, rec(kvniInterpolateChromaBlock_H264_8u_C2C2R, b8, [](B8& r) { r.sizeBlock = {12, 4}; }));
  expect(KVN_STS_SIZE_ERR, rec(kvniInterpolateChromaBlock_H264_8u_P2R, b8, [](B8& r) { r.sizeBlock = {4, 0}; }));
  expect(KVN_STS_SIZE_ERR, rec(kvniInterpolateChromaBlock_H264_8u_P2R, b8, [](B8& r) { r.sizeFrame = {0, 32}; }));
  expect(KVN_STS_OK, rec(kvniInterpolateChromaBlock_H264_8u_P2R, b8, [](B8& r) {
           r.sizeFrame = {0, -1}, r.pointVectorQuarterPix[0] = r.pointVectorQuarterPix[1] = 0;
         }));
  expect(KVN_STS_SIZE_ERR, rec(kvniInterpolateChromaBlock_H264_16u_P2R, b16, [](auto& r) { r.sizeFrame = {32, -5}; }));
  expect(KVN_STS_OK, kvniInterpolateChromaBlock_H264_16u_P2R(&b16));
  expect(KVN_STS_NULL_PTR, kvniInterpolateBlock_H264_8u_P2P1R(s, nullptr, d, 1, 1, 64));
  expect(KVN_STS_SIZE_ERR, kvniInterpolateBlock_H264_8u_P2P1R(s, s, d, 1, 8, 64));
  expect(KVN_STS_SIZE_ERR, kvniInterpolateBlock_H264_8u_P3P1R(s, s, d, 17, 8, 64, 64, 64));
  expect(KVN_STS_SIZE_ERR, kvniInterpolateBlock_H264_8u_P3P1R(s, s, d, 8, 0xffffffffu, 64, 64, 64));
  expect(KVN_STS_OK, kvniInterpolateBlock_H264_8u_P3P1R(s, s + 1, d, 16, 16, 64, 64, 64));
  expect(KVN_STS_NULL_PTR, expand(nullptr, 0, 3, 0, 0, 7));
  expect(KVN_STS_SIZE_ERR, expand(plane, 8, 3, 64, 0, 7));
  expect(KVN_STS_SIZE_ERR, expand(plane, 8, 0, 64, 4, 0));
  expect(KVN_STS_SIZE_ERR, expand(plane, 0, 8, 64, 4, 0));
  expect(KVN_STS_OK, expand(plane, 8, 8, 1, 0, 7));
  expect(KVN_STS_BAD_ARG, expand(plane, 8, 8, 1, 4, 3));
  expect(KVN_STS_SIZE_ERR, expand(plane, 8, 8, 64, -4, 0));
  expect(KVN_STS_STEP_ERR, expand(plane, 8, 8, 15, 4, 1));  // borders would overwrite rows
  expect(KVN_STS_OK, expand(plane, 8, 8, 16, 4, 2));
}

}  // namespace
