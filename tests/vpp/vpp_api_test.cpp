// Deinterlacing and the 4:2:2 to 4:2:0 conversion through the exported
// names: statuses in their order with nothing written on failure, the
// direction rules and their ties, the rows each field position and border
// mode uses, narrow regions, the rotations, odd sizes, and sources that end
// right before an inaccessible page.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "guard_page.h"
#include "kvnvc.h"
#include "rng.h"

namespace {

// The sample between upper line a and lower line b at column 1.
int edge(std::vector<int> a, std::vector<int> b) {
  Kvn8u src[6] = {Kvn8u(a[0]), Kvn8u(a[1]), Kvn8u(a[2]), Kvn8u(b[0]), Kvn8u(b[1]), Kvn8u(b[2])}, dst[6] = {};
  EXPECT_EQ(kvniDeinterlaceEdgeDetect_8u_C1R(src, 3, dst, 3, {3, 2}, 1, 1), KVN_STS_OK);  // row 0: rows 0 and 1
  return dst[1];
}

TEST(VppDeinterlace, DirectionRulesAndTies) {
  EXPECT_EQ(edge({0, 0, 100}, {10, 50, 0}), 0);      // d1 = 0 beats d2 = 90 and d3 = 50
  EXPECT_EQ(edge({0, 0, 100}, {100, 50, 10}), 100);  // d2 = 0 beats d1 = 10 and d3 = 50
  EXPECT_EQ(edge({0, 0, 100}, {100, 50, 0}), 100);   // d1 = d2 = 0 < d3: (a[x+1], b[x-1]) wins the tie
  EXPECT_EQ(edge({10, 50, 90}, {20, 51, 80}), 51);   // 70, 70, 1: vertical
  EXPECT_EQ(edge({7, 20, 9}, {30, 40, 27}), 30);     // d1 = 20 = d3: ties go to the vertical
  EXPECT_EQ(edge({200, 0, 0}, {0, 0, 201}), 0);      // d2 = 0 beats d1 = 1 but ties d3 = 0: vertical
}

// Rows of constant values: every direction gives the average of the two
// source rows a destination row lies between, so each output row shows which
// rows were used (row -1 and row h are provided beyond the region).
TEST(VppDeinterlace, RowsPerFieldAndBorder) {
  std::vector<Kvn8u> src(6 * 8), dst(4 * 8);
  for (int r = 0; r < 6; ++r) std::fill_n(src.begin() + 8 * r, 8, Kvn8u(200 - 40 * r));  // rows -1 .. 4
  const int want[2][2][4] = {{{180, 140, 100, 60}, {160, 140, 100, 60}},                 // field 0: border 0, 1
                             {{140, 100, 60, 20}, {140, 100, 60, 40}}};                  // field 1: border 0, 1
  for (int field = 0; field < 2; ++field)
    for (int border = 0; border < 2; ++border) {
      ASSERT_EQ(kvniDeinterlaceEdgeDetect_8u_C1R(src.data() + 8, 8, dst.data(), 8, {8, 4}, field, border), KVN_STS_OK);
      for (int k = 0; k < 4; ++k)
        for (int x = 0; x < 8; ++x)  // the first and last samples come from the same-index row
          ASSERT_EQ(dst[size_t(8 * k + x)], x == 0 || x == 7 ? 160 - 40 * k : want[field][border][k])
              << field << border;
    }
}

// Regions 1 or 2 samples wide, and a height of 1 with the border copied,
// copy the same-index rows and read nothing else: the rows around the region
// are never provided (the last one ends at an inaccessible page).
TEST(VppDeinterlace, NarrowRegionsReadOnlyTheirRows) {
  kvntest::GuardPage g;
  for (int t = 0; t < 10; ++t) {
    const int w = t < 8 ? 1 + (t >> 1 & 1) : 33, h = t < 8 ? 3 : 1, field = t & 1, border = t < 8 ? t >> 2 : 1;
    Kvn8u* src = static_cast<Kvn8u*>(g.tail(size_t(w * h)));
    for (int i = 0; i < w * h; ++i) src[i] = Kvn8u(10 + i);
    std::vector<Kvn8u> dst(size_t(w * h), 0);
    ASSERT_EQ(kvniDeinterlaceEdgeDetect_8u_C1R(src, w, dst.data(), w, {w, h}, field, border), KVN_STS_OK);
    for (int i = 0; i < w * h; ++i) EXPECT_EQ(dst[size_t(i)], 10 + i) << w << "x" << h << " field " << field;
  }
  std::vector<Kvn8u> dst(64, 0xA5);
  EXPECT_EQ(kvniDeinterlaceEdgeDetect_8u_C1R(nullptr, 8, dst.data(), 8, {0, 0}, 0, 0), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniDeinterlaceEdgeDetect_8u_C1R(dst.data(), 8, nullptr, 8, {8, 8}, 0, 0), KVN_STS_NULL_PTR);
  for (KvnSize s : {KvnSize{0, 0}, KvnSize{0, 8}, KvnSize{8, 0}, KvnSize{-1, 8}, KvnSize{8, INT32_MIN}})
    EXPECT_EQ(kvniDeinterlaceEdgeDetect_8u_C1R(dst.data() + 8, 8, dst.data(), 8, s, 0, 1), KVN_STS_SIZE_ERR);
  EXPECT_TRUE(std::all_of(dst.begin(), dst.end(), [](Kvn8u v) { return v == 0xA5; }));
}

// ---------------------------------------------------------------------------
// 4:2:2 to 4:2:0 with rotation

// Random planar 4:2:2 of w x h (w even) and its interleaved form.
struct Picture {
  int w, h;
  std::vector<Kvn8u> y, cb, cr, packed;
  Kvn32u steps[3];
  Picture(int width, int height, kvntest::Rng& rng)
      : w(width),
        h(height),
        y(size_t(w * h)),
        cb(size_t(w / 2 * h)),
        cr(cb.size()),
        packed(size_t(2 * w * h)),
        steps{Kvn32u(w), Kvn32u(w / 2), Kvn32u(w / 2)} {
    for (auto* v : {&y, &cb, &cr})
      for (auto& s : *v) s = rng.byte();
    for (size_t i = 0; i < cb.size(); ++i) {
      const Kvn8u g[4] = {cb[i], y[2 * i], cr[i], y[2 * i + 1]};
      std::copy(g, g + 4, packed.begin() + std::ptrdiff_t(4 * i));
    }
  }
  KvnPlaneRecord8u planes() { return {y.data(), cb.data(), cr.data()}; }
};

// Destination planes of a w x h luma picture, filled with 0xA5.
struct Planes {
  std::vector<Kvn8u> y, cb, cr;
  Kvn32u steps[3];
  KvnPlaneRecord8u rec;
  Planes(int w, int h)
      : y(size_t(w * h), 0xA5),
        cb(size_t(w * h / 4), 0xA5),
        cr(cb),
        steps{Kvn32u(w), Kvn32u(w / 2), Kvn32u(w / 2)},
        rec{y.data(), cb.data(), cr.data()} {}
  bool untouched() const {
    return std::all_of(y.begin(), y.end(), [](Kvn8u s) { return s == 0xA5; }) &&
           cb == std::vector<Kvn8u>(cb.size(), 0xA5);
  }
};

// Each rotation moves luma and the averaged chroma as stated, for both source
// forms; an odd size converts the even part and returns 35.
TEST(VppCc422, RotationsOfBothForms) {
  kvntest::Rng rng = kvntest::rng_for("VppCc422.RotationsOfBothForms");
  for (auto [w, h] : {std::pair{2, 2}, {6, 4}, {5, 3}, {34, 18}, {48, 33}, {17, 40}})
    for (int rot = 0; rot < 4; ++rot) {
      Picture p(w + (w & 1), h, rng);  // interleaved rows hold whole groups
      const int W = w & ~1, H = h & ~1;
      const bool quarter = rot == 1 || rot == 2;
      Planes a(quarter ? H : W, quarter ? W : H), b(quarter ? H : W, quarter ? W : H);
      KvnPlaneRecord8u src = p.planes();
      const KvnResult want = (w | h) & 1 ? KVN_STS_WRN_ODD_SIZE : KVN_STS_OK;
      ASSERT_EQ(kvniCbYCr422ToYCbCr420_Rotate_8u_C2P3R(p.packed.data(), 2 * p.w, {w, h}, &a.rec, a.steps, rot), want);
      ASSERT_EQ(kvniCbYCr422ToYCbCr420_Rotate_8u_P3R(&src, p.steps, {w, h}, &b.rec, b.steps, rot), want);
      ASSERT_TRUE(a.y == b.y && a.cb == b.cb && a.cr == b.cr);
      // (row, column) of (r, x) in a pw x ph picture turned by rot, as an index.
      const auto pos = [rot](int r, int x, int pw, int ph) {
        const int row = rot == 0 ? r : rot == 1 ? pw - 1 - x : rot == 2 ? x : ph - 1 - r;
        const int col = rot == 0 ? x : rot == 1 ? r : rot == 2 ? ph - 1 - r : pw - 1 - x;
        return size_t(row * (rot == 1 || rot == 2 ? ph : pw) + col);
      };
      for (int r = 0; r < H; ++r)
        for (int x = 0; x < W; ++x) ASSERT_EQ(a.y[pos(r, x, W, H)], p.y[size_t(r * p.w + x)]) << w << "x" << h;
      for (int r = 0; r < H / 2; ++r)
        for (int c = 0; c < W / 2; ++c) {
          const size_t s0 = size_t(2 * r * (p.w / 2) + c), s1 = s0 + size_t(p.w / 2);
          ASSERT_EQ(a.cb[pos(r, c, W / 2, H / 2)], (p.cb[s0] + p.cb[s1] + 1) >> 1);
          ASSERT_EQ(a.cr[pos(r, c, W / 2, H / 2)], (p.cr[s0] + p.cr[s1] + 1) >> 1);
        }
    }
}

// Null pointers (records, planes, step arrays) first, then the size, then the
// rotation: a code outside 0..3 converts nothing, so it is refused rather
// than reported as a converted picture. Nothing is written on any failure.
TEST(VppCc422, StatusesInOrderAndNothingWritten) {
  kvntest::Rng rng = kvntest::rng_for("VppCc422.StatusesInOrderAndNothingWritten");
  Picture p(8, 8, rng);
  Planes d(8, 8);
  KvnPlaneRecord8u src = p.planes();
  const Kvn8u* s = p.packed.data();
  const auto both = [&](KvnSize size, const KvnPlaneRecord8u* from, const KvnPlaneRecord8u* to, const Kvn32u* steps,
                        int rot, KvnResult want) {
    EXPECT_EQ(kvniCbYCr422ToYCbCr420_Rotate_8u_C2P3R(from ? s : nullptr, 16, size, to, steps, rot), want);
    EXPECT_EQ(kvniCbYCr422ToYCbCr420_Rotate_8u_P3R(from, p.steps, size, to, steps, rot), want);
  };
  both({0, 0}, nullptr, &d.rec, d.steps, 9, KVN_STS_NULL_PTR);
  both({8, 8}, &src, nullptr, d.steps, 0, KVN_STS_NULL_PTR);
  both({8, 8}, &src, &d.rec, nullptr, 0, KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniCbYCr422ToYCbCr420_Rotate_8u_P3R(&src, nullptr, {8, 8}, &d.rec, d.steps, 0), KVN_STS_NULL_PTR);
  for (int i = 0; i < 6; ++i) {
    KvnPlaneRecord8u r = d.rec, sr = src;
    KvnPlaneRecord8u& which = i < 3 ? r : sr;
    (i % 3 == 0 ? which.pY : i % 3 == 1 ? which.pCb : which.pCr) = nullptr;
    EXPECT_EQ(kvniCbYCr422ToYCbCr420_Rotate_8u_P3R(&sr, p.steps, {1, 1}, &r, d.steps, 7), KVN_STS_NULL_PTR);
    if (i < 3) {
      EXPECT_EQ(kvniCbYCr422ToYCbCr420_Rotate_8u_C2P3R(s, 16, {1, 1}, &r, d.steps, 7), KVN_STS_NULL_PTR);
    }
  }
  for (KvnSize size : {KvnSize{1, 8}, KvnSize{8, 1}, KvnSize{0, 0}, KvnSize{-2, 8}, KvnSize{8, INT32_MIN}})
    both(size, &src, &d.rec, d.steps, 4, KVN_STS_SIZE_ERR);
  for (int rot : {4, -1, 5, INT32_MIN, INT32_MAX})
    for (KvnSize size : {KvnSize{8, 8}, KvnSize{7, 5}}) both(size, &src, &d.rec, d.steps, rot, KVN_STS_BAD_ARG);
  EXPECT_TRUE(d.untouched());
}

// The odd last row is not read: the 5 x 3 source ends before it.
TEST(VppCc422, OddRowIsNotRead) {
  kvntest::GuardPage g;
  for (int rot = 0; rot < 4; ++rot) {
    Kvn8u* src = static_cast<Kvn8u*>(g.tail(18));  // rows 0 and 1 of 8 bytes, 10 apart
    for (int i = 0; i < 18; ++i) src[i] = Kvn8u(i);
    Planes d(rot == 1 || rot == 2 ? 2 : 4, rot == 1 || rot == 2 ? 4 : 2);
    EXPECT_EQ(kvniCbYCr422ToYCbCr420_Rotate_8u_C2P3R(src, 10, {5, 3}, &d.rec, d.steps, rot), KVN_STS_WRN_ODD_SIZE);
    // Chroma column 0 (Cb 0 and 10) or, turned to the front, column 1 (4 and 14).
    EXPECT_EQ(d.cb[0], rot == 1 || rot == 3 ? (4 + 14 + 1) >> 1 : (0 + 10 + 1) >> 1);
  }
}

}  // namespace
