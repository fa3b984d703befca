// Deinterlacing and the 4:2:2 to 4:2:0 conversion through the exported
// names: statuses in their order with nothing written on failure, the
// direction rules and their ties, the rows each field position and border
// mode uses, narrow regions, the rotations and their corners, odd sizes, and
// sources that end right before an inaccessible page.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "guard_page.h"
#include "kvnvc.h"
#include "rng.h"

namespace {

// ---------------------------------------------------------------------------
// Deinterlacing

// One interpolated sample from three samples above (a) and below (b).
int edge(const Kvn8u* a, const Kvn8u* b) {
  Kvn8u src[3 * 3] = {a[0], a[1], a[2], b[0], b[1], b[2], 0, 0, 0};
  Kvn8u dst[3] = {0, 0, 0};
  // Field 1 with border copy: destination row 0 lies between source rows 0 and 1.
  EXPECT_EQ(kvniDeinterlaceEdgeDetect_8u_C1R(src, 3, dst, 3, {3, 2}, 1, 1), KVN_STS_OK);
  return dst[1];
}

TEST(VppDeinterlace, DirectionRulesAndTies) {
  const Kvn8u a1[] = {0, 0, 100}, b1[] = {10, 50, 0};
  EXPECT_EQ(edge(a1, b1), 0);  // d1 = 0 beats d2 = 90 and d3 = 50: (a[x-1] + b[x+1] + 1) >> 1
  const Kvn8u a2[] = {0, 0, 100}, b2[] = {100, 50, 0};
  EXPECT_EQ(edge(a2, b2), 100);  // d1 = d2 = 0 < d3: the tie between diagonals goes to (a[x+1], b[x-1])
  const Kvn8u a3[] = {10, 50, 90}, b3[] = {20, 51, 80};
  EXPECT_EQ(edge(a3, b3), 51);  // differences 70, 70, 1: vertical, (50 + 51 + 1) >> 1
  const Kvn8u a4[] = {7, 20, 9}, b4[] = {30, 40, 27};
  EXPECT_EQ(edge(a4, b4), 30);  // d1 = 20 = d3: ties go to the vertical
  const Kvn8u a5[] = {200, 0, 0}, b5[] = {0, 0, 201};
  EXPECT_EQ(edge(a5, b5), 0);  // d2 = 0 beats d1 = 1 but ties d3 = 0: vertical
}

// The row rules: which source rows each destination row uses, per field
// position and border mode, against a sample-by-sample model.
TEST(VppDeinterlace, RowsPerFieldAndBorder) {
  kvntest::Rng rng = kvntest::rng_for("VppDeinterlace.RowsPerFieldAndBorder");
  for (int field = 0; field < 2; ++field)
    for (int border = 0; border < 2; ++border)
      for (int t = 0; t < 20; ++t) {
        const int w = rng.range(1, 40), h = rng.range(1, 9), step = w + rng.range(0, 5);
        // Rows -1 .. h of the source (the caller provides both beyond the region).
        std::vector<Kvn8u> src(size_t((h + 2) * step));
        for (auto& v : src) v = Kvn8u(rng.range(0, 3) * 60 + rng.range(0, 1));
        const Kvn8u* s = src.data() + step;
        std::vector<Kvn8u> dst(size_t(h * w), 0xA5);
        ASSERT_EQ(kvniDeinterlaceEdgeDetect_8u_C1R(s, step, dst.data(), w, {w, h}, field, border ? 3 : 0), KVN_STS_OK);
        for (int k = 0; k < h; ++k) {
          const Kvn8u* same = s + k * step;
          const bool copied = border && k == (field ? h - 1 : 0);
          const Kvn8u* a = s + (k - 1 + field) * step;
          const Kvn8u* b = a + step;
          for (int x = 0; x < w; ++x) {
            int want = same[x];
            if (!copied && x > 0 && x < w - 1) {
              const int d1 = std::abs(a[x - 1] - b[x + 1]), d2 = std::abs(a[x + 1] - b[x - 1]),
                        d3 = std::abs(a[x] - b[x]);
              if (d1 < d2)
                want = d1 < d3 ? (a[x - 1] + b[x + 1] + 1) >> 1 : (a[x] + b[x] + 1) >> 1;
              else
                want = d2 < d3 ? (a[x + 1] + b[x - 1] + 1) >> 1 : (a[x] + b[x] + 1) >> 1;
            }
            ASSERT_EQ(dst[size_t(k * w + x)], want)
                << "field " << field << " border " << border << " " << w << "x" << h << " row " << k << " x " << x;
          }
        }
      }
}

// A vertical edge is kept straight: the vertical direction always wins.
TEST(VppDeinterlace, VerticalEdgeWithoutStairs) {
  const int w = 40, h = 12;
  std::vector<Kvn8u> src(size_t(w * h)), dst(size_t(w * h));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) src[size_t(y * w + x)] = x < 17 ? 16 : 235;
  ASSERT_EQ(kvniDeinterlaceEdgeDetect_8u_C1R(src.data(), w, dst.data(), w, {w, h}, 0, 1), KVN_STS_OK);
  EXPECT_EQ(src, dst);
}

// Narrow regions copy their samples from the same-index row and read no other
// row: here the rows around the region lie beyond an inaccessible page or
// are never provided.
TEST(VppDeinterlace, NarrowRegionsReadOnlyTheirRow) {
  kvntest::GuardPage g;
  for (int w = 1; w <= 2; ++w)
    for (int field = 0; field < 2; ++field)
      for (int border = 0; border < 2; ++border) {
        const int h = 3;
        Kvn8u* src = static_cast<Kvn8u*>(g.tail(size_t(w * h)));
        for (int i = 0; i < w * h; ++i) src[i] = Kvn8u(10 + i);
        std::vector<Kvn8u> dst(size_t(w * h), 0);
        // Field 1 without border copy would read row h: it is past the page.
        ASSERT_EQ(kvniDeinterlaceEdgeDetect_8u_C1R(src, w, dst.data(), w, {w, h}, field, border), KVN_STS_OK);
        for (int i = 0; i < w * h; ++i) EXPECT_EQ(dst[size_t(i)], 10 + i);
      }
}

TEST(VppDeinterlace, HeightOneWithBorderCopies) {
  kvntest::GuardPage g;
  for (int field = 0; field < 2; ++field) {
    Kvn8u* src = static_cast<Kvn8u*>(g.tail(33));
    for (int i = 0; i < 33; ++i) src[i] = Kvn8u(i * 7);
    std::vector<Kvn8u> dst(33, 0);
    ASSERT_EQ(kvniDeinterlaceEdgeDetect_8u_C1R(src, 33, dst.data(), 33, {33, 1}, field, 1), KVN_STS_OK);
    EXPECT_EQ(0, std::memcmp(src, dst.data(), 33));
  }
}

// The last interpolated row of field 1 with border copy reads the source up
// to its last row and no further; the last row ends at the page.
TEST(VppDeinterlace, WideRowsStayInsideTheSource) {
  kvntest::GuardPage g;
  for (int w : {3, 17, 18, 33, 47, 720}) {
    const int h = 4;
    Kvn8u* src = static_cast<Kvn8u*>(g.tail(size_t(w * h)));
    for (int i = 0; i < w * h; ++i) src[i] = Kvn8u(i * 13);
    std::vector<Kvn8u> dst(size_t(w * h));
    EXPECT_EQ(kvniDeinterlaceEdgeDetect_8u_C1R(src, w, dst.data(), w, {w, h}, 1, 1), KVN_STS_OK);
  }
}

TEST(VppDeinterlace, StatusesInOrder) {
  std::vector<Kvn8u> src(64, 1), dst(64, 0xA5);
  EXPECT_EQ(kvniDeinterlaceEdgeDetect_8u_C1R(nullptr, 8, dst.data(), 8, {0, 0}, 0, 0), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniDeinterlaceEdgeDetect_8u_C1R(src.data(), 8, nullptr, 8, {8, 8}, 0, 0), KVN_STS_NULL_PTR);
  for (KvnSize s : {KvnSize{0, 0}, KvnSize{0, 8}, KvnSize{8, 0}, KvnSize{-1, 8}, KvnSize{8, INT32_MIN}})
    EXPECT_EQ(kvniDeinterlaceEdgeDetect_8u_C1R(src.data(), 8, dst.data(), 8, s, 0, 1), KVN_STS_SIZE_ERR);
  EXPECT_TRUE(std::all_of(dst.begin(), dst.end(), [](Kvn8u v) { return v == 0xA5; }));
}

// ---------------------------------------------------------------------------
// 4:2:2 to 4:2:0 with rotation

// A planar 4:2:2 picture, its interleaved form, and three destination planes.
struct Picture {
  int w, h;
  std::vector<Kvn8u> y, cb, cr, packed;
  Picture(int width, int height, kvntest::Rng& rng) : w(width), h(height) {
    y.resize(size_t(w * h));
    cb.resize(size_t(w / 2 * h));
    cr.resize(size_t(w / 2 * h));
    for (auto* v : {&y, &cb, &cr})
      for (auto& s : *v) s = rng.byte();
    packed.resize(size_t(w / 2 * 4 * h));
    for (int r = 0; r < h; ++r)
      for (int c = 0; c < w / 2; ++c) {
        Kvn8u* g = &packed[size_t(r * (w / 2) * 4 + 4 * c)];
        g[0] = cb[size_t(r * (w / 2) + c)];
        g[1] = y[size_t(r * w + 2 * c)];
        g[2] = cr[size_t(r * (w / 2) + c)];
        g[3] = y[size_t(r * w + 2 * c + 1)];
      }
  }
  KvnPlaneRecord8u src_planes() { return {y.data(), cb.data(), cr.data()}; }
  Kvn32u src_steps[3] = {Kvn32u(w), Kvn32u(w / 2), Kvn32u(w / 2)};
};

struct Planes {
  int w, h;  // luma size of the destination
  std::vector<Kvn8u> y, cb, cr;
  Kvn32u steps[3];
  Planes(int width, int height) : w(width), h(height) {
    y.assign(size_t(w * h), 0xA5);
    cb.assign(size_t(w / 2 * h / 2), 0xA5);
    cr.assign(size_t(w / 2 * h / 2), 0xA5);
    steps[0] = Kvn32u(w), steps[1] = steps[2] = Kvn32u(w / 2);
  }
  KvnPlaneRecord8u rec() { return {y.data(), cb.data(), cr.data()}; }
  bool untouched() const {
    for (auto* v : {&y, &cb, &cr})
      if (!std::all_of(v->begin(), v->end(), [](Kvn8u s) { return s == 0xA5; })) return false;
    return true;
  }
};

TEST(VppCc422, TwoByTwo) {
  kvntest::Rng rng = kvntest::rng_for("VppCc422.TwoByTwo");
  Picture p(2, 2, rng);
  for (int rot = 0; rot < 4; ++rot) {
    Planes d(2, 2);
    KvnPlaneRecord8u rec = d.rec();
    ASSERT_EQ(kvniCbYCr422ToYCbCr420_Rotate_8u_C2P3R(p.packed.data(), 4, {2, 2}, &rec, d.steps, rot), KVN_STS_OK);
    EXPECT_EQ(d.cb[0], (p.cb[0] + p.cb[1] + 1) >> 1);
    EXPECT_EQ(d.cr[0], (p.cr[0] + p.cr[1] + 1) >> 1);
    // Corners: rotation 1 brings the top-right to the top-left, 2 the
    // bottom-left, 3 the bottom-right.
    const int corner[4] = {0, 1, 2, 3};
    EXPECT_EQ(d.y[0], p.y[size_t(corner[rot])]) << rot;
  }
}

// Each rotation moves luma and chroma as stated, for both source forms, which
// agree with each other; an odd size converts the even part and returns 35.
TEST(VppCc422, RotationsOfBothForms) {
  kvntest::Rng rng = kvntest::rng_for("VppCc422.RotationsOfBothForms");
  for (auto [w, h] : {std::pair{2, 2}, {6, 4}, {5, 3}, {34, 18}, {48, 33}, {17, 40}})
    for (int rot = 0; rot < 4; ++rot) {
      Picture p(w + (w & 1), h, rng);  // the interleaved rows hold whole groups
      const int W = w & ~1, H = h & ~1;
      const bool quarter = rot == 1 || rot == 2;
      Planes a(quarter ? H : W, quarter ? W : H), b(quarter ? H : W, quarter ? W : H);
      KvnPlaneRecord8u ra = a.rec(), rb = b.rec(), src = p.src_planes();
      const KvnResult want = (w | h) & 1 ? KVN_STS_WRN_ODD_SIZE : KVN_STS_OK;
      ASSERT_EQ(kvniCbYCr422ToYCbCr420_Rotate_8u_C2P3R(p.packed.data(), (p.w / 2) * 4, {w, h}, &ra, a.steps, rot),
                want);
      ASSERT_EQ(kvniCbYCr422ToYCbCr420_Rotate_8u_P3R(&src, p.src_steps, {w, h}, &rb, b.steps, rot), want);
      EXPECT_EQ(a.y, b.y);
      EXPECT_EQ(a.cb, b.cb);
      EXPECT_EQ(a.cr, b.cr);
      const auto pos = [&](int r, int x, int pw, int ph, int dstW) {
        const int row = rot == 0 ? r : rot == 1 ? pw - 1 - x : rot == 2 ? x : ph - 1 - r;
        const int col = rot == 0 ? x : rot == 1 ? r : rot == 2 ? ph - 1 - r : pw - 1 - x;
        return size_t(row * dstW + col);
      };
      for (int r = 0; r < H; ++r)
        for (int x = 0; x < W; ++x) ASSERT_EQ(a.y[pos(r, x, W, H, a.w)], p.y[size_t(r * p.w + x)]) << w << "x" << h;
      for (int r = 0; r < H / 2; ++r)
        for (int c = 0; c < W / 2; ++c) {
          const size_t s0 = size_t(2 * r * (p.w / 2) + c), s1 = s0 + size_t(p.w / 2);
          ASSERT_EQ(a.cb[pos(r, c, W / 2, H / 2, a.w / 2)], (p.cb[s0] + p.cb[s1] + 1) >> 1);
          ASSERT_EQ(a.cr[pos(r, c, W / 2, H / 2, a.w / 2)], (p.cr[s0] + p.cr[s1] + 1) >> 1);
        }
    }
}

TEST(VppCc422, HalfTurnTwiceRestoresLuma) {
  kvntest::Rng rng = kvntest::rng_for("VppCc422.HalfTurnTwiceRestoresLuma");
  Picture p(36, 20, rng);
  Planes once(36, 20), twice(36, 20);
  KvnPlaneRecord8u src = p.src_planes(), r1 = once.rec(), r2 = twice.rec();
  ASSERT_EQ(kvniCbYCr422ToYCbCr420_Rotate_8u_P3R(&src, p.src_steps, {36, 20}, &r1, once.steps, 3), KVN_STS_OK);
  // The half-turned 4:2:0 luma as the luma of a planar 4:2:2 source.
  std::vector<Kvn8u> cb(18 * 20, 1), cr(18 * 20, 2);
  KvnPlaneRecord8u again = {once.y.data(), cb.data(), cr.data()};
  const Kvn32u steps[3] = {36, 18, 18};
  ASSERT_EQ(kvniCbYCr422ToYCbCr420_Rotate_8u_P3R(&again, steps, {36, 20}, &r2, twice.steps, 3), KVN_STS_OK);
  EXPECT_EQ(twice.y, p.y);
}

// Null pointers (records, planes, steps) first, then the size, then the
// rotation code; nothing written on any failure. A rotation outside 0..3 is
// refused: it converts nothing, so it must not report a converted picture.
TEST(VppCc422, StatusesInOrderAndNothingWritten) {
  kvntest::Rng rng = kvntest::rng_for("VppCc422.StatusesInOrderAndNothingWritten");
  Picture p(8, 8, rng);
  Planes d(8, 8);
  KvnPlaneRecord8u rec = d.rec(), src = p.src_planes();
  const Kvn8u* s = p.packed.data();
  const auto c2 = [&](const Kvn8u* from, KvnSize size, const KvnPlaneRecord8u* to, const Kvn32u* steps, int rot) {
    return kvniCbYCr422ToYCbCr420_Rotate_8u_C2P3R(from, 16, size, to, steps, rot);
  };
  const auto p3 = [&](const KvnPlaneRecord8u* from, const Kvn32u* fromSteps, KvnSize size, const KvnPlaneRecord8u* to,
                      const Kvn32u* steps,
                      int rot) { return kvniCbYCr422ToYCbCr420_Rotate_8u_P3R(from, fromSteps, size, to, steps, rot); };
  EXPECT_EQ(c2(nullptr, {0, 0}, &rec, d.steps, 9), KVN_STS_NULL_PTR);
  EXPECT_EQ(c2(s, {8, 8}, nullptr, d.steps, 0), KVN_STS_NULL_PTR);
  EXPECT_EQ(c2(s, {8, 8}, &rec, nullptr, 0), KVN_STS_NULL_PTR);
  EXPECT_EQ(p3(nullptr, p.src_steps, {8, 8}, &rec, d.steps, 0), KVN_STS_NULL_PTR);
  EXPECT_EQ(p3(&src, nullptr, {8, 8}, &rec, d.steps, 0), KVN_STS_NULL_PTR);
  EXPECT_EQ(p3(&src, p.src_steps, {8, 8}, nullptr, d.steps, 0), KVN_STS_NULL_PTR);
  EXPECT_EQ(p3(&src, p.src_steps, {8, 8}, &rec, nullptr, 0), KVN_STS_NULL_PTR);
  for (int i = 0; i < 3; ++i) {
    KvnPlaneRecord8u r = rec, sr = src;
    (i == 0 ? r.pY : i == 1 ? r.pCb : r.pCr) = nullptr;
    (i == 0 ? sr.pY : i == 1 ? sr.pCb : sr.pCr) = nullptr;
    EXPECT_EQ(c2(s, {1, 1}, &r, d.steps, 7), KVN_STS_NULL_PTR);
    EXPECT_EQ(p3(&src, p.src_steps, {1, 1}, &r, d.steps, 7), KVN_STS_NULL_PTR);
    EXPECT_EQ(p3(&sr, p.src_steps, {1, 1}, &rec, d.steps, 7), KVN_STS_NULL_PTR);
  }
  for (KvnSize size : {KvnSize{1, 8}, KvnSize{8, 1}, KvnSize{0, 0}, KvnSize{-2, 8}, KvnSize{8, INT32_MIN}}) {
    EXPECT_EQ(c2(s, size, &rec, d.steps, 4), KVN_STS_SIZE_ERR);
    EXPECT_EQ(p3(&src, p.src_steps, size, &rec, d.steps, -1), KVN_STS_SIZE_ERR);
  }
  for (int rot : {4, -1, 5, INT32_MIN, INT32_MAX})
    for (KvnSize size : {KvnSize{8, 8}, KvnSize{7, 5}}) {
      EXPECT_EQ(c2(s, size, &rec, d.steps, rot), KVN_STS_BAD_ARG);
      EXPECT_EQ(p3(&src, p.src_steps, size, &rec, d.steps, rot), KVN_STS_BAD_ARG);
    }
  EXPECT_TRUE(d.untouched());
}

// The odd last row and column are not read: the source ends before them.
TEST(VppCc422, OddRowAndColumnAreNotRead) {
  kvntest::GuardPage g;
  for (int rot = 0; rot < 4; ++rot) {
    // 5 x 3 interleaved at a step of 10 bytes: rows 0 and 1, the 4 x 2 part,
    // hold 8 bytes each; row 2 would begin past the page.
    Kvn8u* src = static_cast<Kvn8u*>(g.tail(18));
    for (int i = 0; i < 18; ++i) src[i] = Kvn8u(i);
    const bool quarter = rot == 1 || rot == 2;
    Planes d(quarter ? 2 : 4, quarter ? 4 : 2);
    KvnPlaneRecord8u rec = d.rec();
    EXPECT_EQ(kvniCbYCr422ToYCbCr420_Rotate_8u_C2P3R(src, 10, {5, 3}, &rec, d.steps, rot), KVN_STS_WRN_ODD_SIZE);
    // Chroma column 0 (Cb 0 and 10) or, turned to the front, column 1 (4 and 14).
    EXPECT_EQ(d.cb[0], rot == 1 || rot == 3 ? (4 + 14 + 1) >> 1 : (0 + 10 + 1) >> 1);
  }
}

}  // namespace
