// H.264 CAVLC encoding analysis through the exported names: statuses and what
// they leave unwritten, worked examples, the visiting order of every block
// shape and the index range.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "kvnvc.h"

namespace {

constexpr Kvn32s kZigzag[16] = {0, 1, 4, 8, 5, 2, 3, 6, 9, 12, 13, 10, 7, 11, 14, 15};

struct Out {
  Kvn8u t1 = 0xee, signs = 0xee, tc = 0xee, tz = 0xee;
  Kvn32s levels[16];
  Kvn16s levels16[16];
  Kvn8u runs[16];
  Out() {
    for (int i = 0; i < 16; ++i) levels[i] = levels16[i] = 0x5a5a, runs[i] = 0xee;
  }
};

// Analyses a block given in scan order (index 0 first) with both 4x4 members.
Out analyse(const std::vector<int>& scanOrder, int start = 0, int end = 15, KvnResult want = KVN_STS_OK) {
  Kvn16s c16[16] = {};
  Kvn32s c32[16] = {};
  for (std::size_t k = 0; k < scanOrder.size(); ++k) c16[kZigzag[k]] = Kvn16s(c32[kZigzag[k]] = scanOrder[k]);
  Out a, b;
  EXPECT_EQ(kvniEncodeCoeffsCAVLC_H264_16s(c16, Kvn8u(start), kZigzag, Kvn8u(end), &a.t1, &a.signs, &a.tc, &a.tz,
                                           a.levels16, a.runs),
            want);
  EXPECT_EQ(kvniEncodeCoeffsCAVLC_H264_32s(c32, start, kZigzag, end, &b.t1, &b.signs, &b.tc, &b.tz, b.levels, b.runs),
            want);
  EXPECT_TRUE(a.t1 == b.t1 && a.signs == b.signs && a.tc == b.tc && a.tz == b.tz);
  EXPECT_EQ(0, std::memcmp(a.runs, b.runs, 16));
  for (int i = 0; i < 16; ++i) EXPECT_EQ(a.levels16[i], b.levels[i] == 0x5a5a ? 0x5a5a : Kvn16s(b.levels[i]));
  return b;
}

void expect_counts(const Out& o, int t1, int signs, int tc, int tz, std::vector<int> levels, std::vector<int> runs) {
  EXPECT_EQ(o.t1, t1);
  EXPECT_EQ(o.signs, signs);
  EXPECT_EQ(o.tc, tc);
  EXPECT_EQ(o.tz, tz);
  for (std::size_t i = 0; i < 16; ++i) EXPECT_EQ(o.levels[i], i < levels.size() ? levels[i] : 0x5a5a) << i;
  for (std::size_t i = 0; i < 16; ++i) EXPECT_EQ(o.runs[i], i < runs.size() ? runs[i] : 0xee) << i;
}

TEST(CavlcEncode, WorkedExamples) {
  // All zero: total_zeros counts the positions scanned; no array written.
  expect_counts(analyse({}), 0, 0, 0, 16, {}, {});
  expect_counts(analyse({}, 1, 15), 0, 0, 0, 15, {}, {});
  expect_counts(analyse({}, 4, 4), 0, 0, 0, 1, {}, {});
  // Reverse scan order 1, -1, 1, -1, 3: three trailing ones, signs 010.
  expect_counts(analyse({3, -1, 1, -1, 1}), 3, 2, 5, 0, {-1, 3}, {0, 0, 0, 0});
  expect_counts(analyse({5}), 0, 0, 1, 0, {5}, {});
  // 0 3 -1 0 / 0 -1 1 0 / 1 0 0 0 in zigzag order: 0 3 0 1 -1 -1 0 1.
  expect_counts(analyse({0, 3, 0, 1, -1, -1, 0, 1}), 3, 3, 5, 3, {1, 3}, {1, 0, 0, 1});
  // Trailing ones stop at a larger value; later +-1 are levels.
  expect_counts(analyse({1, 0, -1, 2, 0, 0, -1}), 1, 1, 4, 3, {2, -1, 1}, {2, 0, 1});
  // Start 1 ignores scan index 0; end 5 ignores 6 and up.
  expect_counts(analyse({7, 0, 4, 0, 0, 0, 9}, 1, 5), 0, 0, 1, 1, {4}, {});
  expect_counts(analyse({-32768, 32767}), 0, 0, 2, 0, {32767, -32768}, {0});
}

TEST(CavlcEncode, ChromaDcVisitingOrder) {
  // Raster values v[p] = p + 2: the levels come out in visiting order.
  Kvn16s c16[8];
  Kvn32s c32[8];
  for (int p = 0; p < 8; ++p) c16[p] = Kvn16s(c32[p] = p + 2);
  Out a, b;
  ASSERT_EQ(kvniEncodeChromaDcCoeffsCAVLC_H264_16s(c16, &a.t1, &a.signs, &a.tc, &a.tz, a.levels16, a.runs), KVN_STS_OK);
  ASSERT_EQ(kvniEncodeCoeffsCAVLCChromaDC2x2_H264_32s(c32, &b.t1, &b.signs, &b.tc, &b.tz, b.levels, b.runs),
            KVN_STS_OK);
  expect_counts(b, 0, 0, 4, 0, {5, 4, 3, 2}, {0, 0, 0});
  for (int i = 0; i < 4; ++i) EXPECT_EQ(a.levels16[i], b.levels[i]);
  ASSERT_EQ(kvniEncodeCoeffsCAVLCChromaDC2x4_H264_16s(c16, &a.t1, &a.signs, &a.tc, &a.tz, a.levels16, a.runs),
            KVN_STS_OK);
  ASSERT_EQ(kvniEncodeCoeffsCAVLCChromaDC2x4_H264_32s(c32, &b.t1, &b.signs, &b.tc, &b.tz, b.levels, b.runs),
            KVN_STS_OK);
  expect_counts(b, 0, 0, 8, 0, {9, 7, 5, 8, 6, 3, 4, 2}, {0, 0, 0, 0, 0, 0, 0});
  for (int i = 0; i < 8; ++i) EXPECT_EQ(a.levels16[i], b.levels[i]);
  // 2x4 with zeros: raster 1 and 6 only; scan positions 2 and 4.
  Kvn32s z[8] = {0, -1, 0, 0, 0, 0, 1, 0};
  Out c;
  ASSERT_EQ(kvniEncodeCoeffsCAVLCChromaDC2x4_H264_32s(z, &c.t1, &c.signs, &c.tc, &c.tz, c.levels, c.runs), KVN_STS_OK);
  expect_counts(c, 2, 1, 2, 3, {}, {1});
}

TEST(CavlcEncode, Statuses) {
  Kvn16s c16[16] = {1};
  Kvn32s c32[16] = {1};
  Kvn32s scan[16];
  std::memcpy(scan, kZigzag, sizeof scan);
  Out o;
  // nul: the argument (0 source, 1 scan, 2..5 counts, 6 levels, 7 runs) passed as null.
  auto e16 = [&](int nul, int s, int e) {
    auto p = [nul](int i, auto* x) { return i == nul ? nullptr : x; };
    return kvniEncodeCoeffsCAVLC_H264_16s(p(0, c16), Kvn8u(s), p(1, scan), Kvn8u(e), p(2, &o.t1), p(3, &o.signs),
                                          p(4, &o.tc), p(5, &o.tz), p(6, o.levels16), p(7, o.runs));
  };
  auto e32 = [&](int nul, int s, int e) {
    auto p = [nul](int i, auto* x) { return i == nul ? nullptr : x; };
    return kvniEncodeCoeffsCAVLC_H264_32s(p(0, c32), s, p(1, scan), e, p(2, &o.t1), p(3, &o.signs), p(4, &o.tc),
                                          p(5, &o.tz), p(6, o.levels), p(7, o.runs));
  };
  auto dc = [&](int nul) {
    auto p = [nul](int i, auto* x) { return i == nul ? nullptr : x; };
    return std::max({kvniEncodeChromaDcCoeffsCAVLC_H264_16s(p(0, c16), p(2, &o.t1), p(3, &o.signs), p(4, &o.tc),
                                                            p(5, &o.tz), p(6, o.levels16), p(7, o.runs)),
                     kvniEncodeCoeffsCAVLCChromaDC2x2_H264_32s(p(0, c32), p(2, &o.t1), p(3, &o.signs), p(4, &o.tc),
                                                               p(5, &o.tz), p(6, o.levels), p(7, o.runs)),
                     kvniEncodeCoeffsCAVLCChromaDC2x4_H264_16s(p(0, c16), p(2, &o.t1), p(3, &o.signs), p(4, &o.tc),
                                                               p(5, &o.tz), p(6, o.levels16), p(7, o.runs)),
                     kvniEncodeCoeffsCAVLCChromaDC2x4_H264_32s(p(0, c32), p(2, &o.t1), p(3, &o.signs), p(4, &o.tc),
                                                               p(5, &o.tz), p(6, o.levels), p(7, o.runs))});
  };
  for (int nul = 0; nul < 8; ++nul) {  // null pointers first, whatever else is wrong
    EXPECT_EQ(e16(nul, 9, 3), KVN_STS_NULL_PTR);
    EXPECT_EQ(e32(nul, -1, 16), KVN_STS_NULL_PTR);
    if (nul != 1) {
      EXPECT_EQ(dc(nul), KVN_STS_NULL_PTR);
    }
  }
  // End above 15 or below start, a negative start (32s), a used scan entry
  // outside the block: nothing written.
  for (auto [s, e] : {std::pair{0, 16}, {5, 4}, {0, 255}}) EXPECT_EQ(e16(-1, s, e), KVN_STS_OUT_OF_RANGE);
  for (auto [s, e] : {std::pair{0, 16}, {5, 4}, {-1, 3}, {-5, -1}}) EXPECT_EQ(e32(-1, s, e), KVN_STS_OUT_OF_RANGE);
  for (Kvn32s bad : {16, -1, 1 << 30}) {
    scan[0] = bad;
    EXPECT_EQ(e16(-1, 0, 15), KVN_STS_OUT_OF_RANGE);
    EXPECT_EQ(e32(-1, 0, 15), KVN_STS_OUT_OF_RANGE);
  }
  expect_counts(o, 0xee, 0xee, 0xee, 0xee, {}, {});
  EXPECT_EQ(e16(-1, 1, 15), KVN_STS_OK);  // scan[0] unused
}

}  // namespace
