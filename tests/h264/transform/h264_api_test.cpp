// H.264 4x4 and DC transforms through the exported names: statuses and the
// order of the checks, what is (not) written, the counts and their sign per
// function, the offsets, the legacy level limit and the scale-table generator.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "kvnvc.h"

namespace {

constexpr int16_t kMark = 0x5a5a;

template <class T>
struct Block {
  T v[16];
  explicit Block(T x = kMark) {
    for (auto& e : v) e = x;
  }
  bool all(T x) const {
    for (T e : v)
      if (e != x) return false;
    return true;
  }
};
using Block16 = Block<int16_t>;
using Block32 = Block<int32_t>;

// Raster scan as scan table: position p has scan index p.
struct Scan {
  int16_t v[16];
  Scan() {
    for (int i = 0; i < 16; ++i) v[i] = int16_t(i);
  }
};

// ---- checks and their order ---------------------------------------------------

// Every output buffer a call may write, reset to a marker before each call.
struct Outputs {
  Block16 a, b;
  Block32 a32, b32;
  uint8_t d8[16];
  uint16_t d16[16];
  int32_t n, last;
  Kvn8s n8;
  Kvn8u last8;
  void reset() {
    *this = Outputs();
    std::memset(d8, 0x77, sizeof d8);
    std::memset(d16, 0x77, sizeof d16);
    n = last = 7;
    n8 = 7;
    last8 = 7;
  }
  bool untouched() const {
    for (int i = 0; i < 16; ++i)
      if (d8[i] != 0x77 || d16[i] != 0x7777) return false;
    return a.all(kMark) && b.all(kMark) && a32.all(kMark) && b32.all(kMark) && n == 7 && last == 7 && n8 == 7 &&
           last8 == 7;
  }
};

struct RangeCase {
  const char* name;
  int32_t max;  // the largest accepted value (0 is the smallest)
  KvnResult (*call)(Outputs& o, int32_t v, bool null);
};

// Each call with its ranged argument v; with null, a required pointer is null.
const RangeCase kRangeCases[] = {
    {"Fwd4x4_16s", 51,
     [](Outputs& o, int32_t v, bool null) {
       static const Scan scan;
       return kvniTransformQuantFwd4x4_H264_16s_C1(o.b.v, null ? nullptr : o.a.v, v, &o.n, 1, scan.v, &o.last, nullptr);
     }},
    {"Fwd4x4_16s32s", 87,
     [](Outputs& o, int32_t v, bool null) {
       static const Scan scan;
       return kvniTransformQuantFwd4x4_H264_16s32s_C1(o.b.v, o.a32.v, v, &o.n, 1, scan.v, null ? nullptr : &o.last,
                                                      nullptr);
     }},
    {"Quantize_16s", 51,
     [](Outputs& o, int32_t v, bool null) {
       static const Scan scan;
       return kvniQuantizeResidual4x4Fwd_H264_16s_C1(o.b.v, o.a.v, &o.n, &o.last, nullptr, null ? nullptr : scan.v, v,
                                                     0);
     }},
    {"Quantize_16s32s", 51,
     [](Outputs& o, int32_t v, bool null) {
       static const Scan scan;
       static const Block32 one(1);
       return kvniQuantizeResidual4x4Fwd_H264_16s32s_C1(o.b.v, o.a32.v, &o.n, &o.last, null ? nullptr : one.v, scan.v,
                                                        v, 0);
     }},
    {"Quantize_32s", 87,
     [](Outputs& o, int32_t v, bool null) {
       static const Scan scan;
       return kvniQuantizeResidual4x4Fwd_H264_32s_C1(null ? nullptr : o.b32.v, o.a32.v, &o.n, &o.last, nullptr, scan.v,
                                                     v, 0);
     }},
    {"TransformQuantResidual", 51,
     [](Outputs& o, int32_t v, bool null) {
       static const Scan scan;
       return kvniTransformQuantResidual_H264_16s_C1I(o.a.v, v, null ? nullptr : &o.n8, 1, scan.v, &o.last8);
     }},
    {"FwdLumaDC_16s", 51,
     [](Outputs& o, int32_t v, bool null) {
       static const Scan scan;
       return kvniTransformQuantFwdLumaDC4x4_H264_16s_C1I(o.a.v, null ? nullptr : o.b.v, v, &o.n, 1, scan.v, &o.last,
                                                          nullptr);
     }},
    {"FwdLumaDC_32s", 87,
     [](Outputs& o, int32_t v, bool null) {
       static const Scan scan;
       return kvniTransformQuantFwdLumaDC4x4_H264_32s_C1I(o.a32.v, o.b32.v, v, &o.n, 1, null ? nullptr : scan.v,
                                                          &o.last, nullptr);
     }},
    {"LumaDC_legacy", 51,
     [](Outputs& o, int32_t v, bool null) {
       static const Scan scan;
       return kvniTransformQuantLumaDC_H264_16s_C1I(o.a.v, o.b.v, v, &o.n8, 1, scan.v, null ? nullptr : &o.last8);
     }},
    {"FwdChromaDC2x2_16s", 39,
     [](Outputs& o, int32_t v, bool null) {
       return kvniTransformQuantFwdChromaDC2x2_H264_16s_C1I(o.a.v, o.b.v, v, null ? nullptr : &o.n, 1, 1, nullptr);
     }},
    {"FwdChromaDC2x2_32s", 75,
     [](Outputs& o, int32_t v, bool null) {
       return kvniTransformQuantFwdChromaDC2x2_H264_32s_C1I(null ? nullptr : o.a32.v, o.b32.v, v, &o.n, 1, 1, nullptr);
     }},
    {"FwdChromaDC2x4_16s", 39,
     [](Outputs& o, int32_t v, bool null) {
       return kvniTransformQuantFwdChromaDC2x4_H264_16s_C1I(o.a.v, null ? nullptr : o.b.v, v, &o.n, 0, 1, nullptr);
     }},
    {"FwdChromaDC2x4_32s", 75,
     [](Outputs& o, int32_t v, bool null) {
       return kvniTransformQuantFwdChromaDC2x4_H264_32s_C1I(o.a32.v, o.b32.v, v, null ? nullptr : &o.n, 0, 1, nullptr);
     }},
    {"ChromaDC_legacy", 39,
     [](Outputs& o, int32_t v, bool null) {
       return kvniTransformQuantChromaDC_H264_16s_C1I(o.a.v, o.b.v, v, null ? nullptr : &o.n8, 1, 1);
     }},
    {"InvAddPred_16s", 51,
     [](Outputs& o, int32_t v, bool null) {
       static const uint8_t pred[16] = {};
       return kvniTransformQuantInvAddPred4x4_H264_16s_C1IR(pred, 4, o.a.v, nullptr, null ? nullptr : o.d8, 4, v, 1,
                                                            nullptr);
     }},
    {"InvAddPred_32s", 87,
     [](Outputs& o, int32_t v, bool null) {
       static const uint16_t pred[16] = {};
       return kvniTransformQuantInvAddPred4x4_H264_32s_C1IR(null ? nullptr : pred, 8, o.a32.v, nullptr, o.d16, 8, v, 1,
                                                            10, nullptr);
     }},
    {"InvAddPred_32s_bitDepth_minus_9", 5,
     [](Outputs& o, int32_t v, bool null) {
       static const uint16_t pred[16] = {};
       return kvniTransformQuantInvAddPred4x4_H264_32s_C1IR(pred, 8, null ? nullptr : o.a32.v, nullptr, o.d16, 8, 0, 1,
                                                            int32_t(uint32_t(v) + 9u), nullptr);
     }},
    {"InvLumaDC_16s", 51,
     [](Outputs& o, int32_t v, bool null) {
       return kvniTransformQuantInvLumaDC4x4_H264_16s_C1I(null ? nullptr : o.a.v, v, nullptr);
     }},
    {"InvLumaDC_32s", 87,
     [](Outputs& o, int32_t v, bool null) {
       return kvniTransformQuantInvLumaDC4x4_H264_32s_C1I(null ? nullptr : o.a32.v, v, nullptr);
     }},
    {"InvChromaDC2x2_16s", 39,
     [](Outputs& o, int32_t v, bool null) {
       return kvniTransformQuantInvChromaDC2x2_H264_16s_C1I(null ? nullptr : o.a.v, v, nullptr);
     }},
    {"InvChromaDC2x2_32s", 75,
     [](Outputs& o, int32_t v, bool null) {
       return kvniTransformQuantInvChromaDC2x2_H264_32s_C1I(null ? nullptr : o.a32.v, v, nullptr);
     }},
    {"InvChromaDC2x4_16s", 39,
     [](Outputs& o, int32_t v, bool null) {
       return kvniTransformQuantInvChromaDC2x4_H264_16s_C1I(null ? nullptr : o.a.v, v, nullptr);
     }},
    {"InvChromaDC2x4_32s", 75,
     [](Outputs& o, int32_t v, bool null) {
       return kvniTransformQuantInvChromaDC2x4_H264_32s_C1I(null ? nullptr : o.a32.v, v, nullptr);
     }},
    {"DequantResidual", 51,
     [](Outputs& o, int32_t v, bool null) {
       return kvniDequantTransformResidual_H264_16s_C1I(null ? nullptr : o.a.v, 8, nullptr, 1, v);
     }},
    {"DequantResidualAndAdd", 51,
     [](Outputs& o, int32_t v, bool null) {
       static const uint8_t pred[16] = {};
       return kvniDequantTransformResidualAndAdd_H264_16s_C1I(null ? nullptr : pred, o.a.v, nullptr, o.d8, 4, 4, v, 1);
     }},
    {"DequantLumaDC", 51,
     [](Outputs& o, int32_t v, bool null) {
       return kvniTransformDequantLumaDC_H264_16s_C1I(null ? nullptr : o.a.v, v);
     }},
    {"DequantChromaDC", 51,
     [](Outputs& o, int32_t v, bool null) {
       return kvniTransformDequantChromaDC_H264_16s_C1I(null ? nullptr : o.a.v, v);
     }},
    {"GenScaleLevel", 5,
     [](Outputs& o, int32_t v, bool null) {
       static const uint8_t list[16] = {};
       return kvniGenScaleLevel4x4_H264_8u16s_C1(list, o.a.v, null ? nullptr : o.b.v, v);
     }},
};

TEST(H264Checks, RangesAndNullFirstWithNothingWritten) {
  Outputs o;
  for (const RangeCase& c : kRangeCases) {
    SCOPED_TRACE(c.name);
    for (int32_t bad : {c.max + 1, -1, INT32_MIN, INT32_MAX}) {
      o.reset();
      EXPECT_EQ(c.call(o, bad, false), KVN_STS_OUT_OF_RANGE) << bad;
      EXPECT_TRUE(o.untouched()) << bad;
      o.reset();
      EXPECT_EQ(c.call(o, bad, true), KVN_STS_NULL_PTR) << bad;  // the null test comes first
      EXPECT_TRUE(o.untouched()) << bad;
    }
    for (int32_t good : {0, c.max}) {  // accepted (the legacy ones may report a level above 2063)
      o.reset();
      const KvnResult r = c.call(o, good, false);
      EXPECT_TRUE(r == KVN_STS_OK || r == KVN_STS_LEVEL_RANGE) << good << ": " << r;
    }
  }
}

TEST(H264Checks, OptionalPointersAndStep) {
  Block16 coef(0), keep(3);
  Scan scan;
  int32_t n, last;
  // Scale levels are optional except in the 16s32s quantiser (covered above).
  EXPECT_EQ(kvniQuantizeResidual4x4Fwd_H264_16s_C1(coef.v, keep.v, &n, &last, nullptr, scan.v, 0, 0), KVN_STS_OK);
  // qp before the step; the step at least 8 bytes.
  Block16 blk(3);
  EXPECT_EQ(kvniDequantTransformResidual_H264_16s_C1I(blk.v, 4, nullptr, 1, 52), KVN_STS_OUT_OF_RANGE);
  EXPECT_EQ(kvniDequantTransformResidual_H264_16s_C1I(blk.v, 7, nullptr, 1, 51), KVN_STS_STEP_ERR);
  EXPECT_EQ(kvniDequantTransformResidual_H264_16s_C1I(blk.v, -8, nullptr, 1, 51), KVN_STS_STEP_ERR);
  EXPECT_TRUE(blk.all(3));
  // AndAdd: the coefficients may be null only when a DC is given and AC is 0.
  uint8_t pred[16] = {}, dst[16];
  std::memset(dst, 0x77, sizeof dst);
  const int16_t dcv = 64;
  EXPECT_EQ(kvniDequantTransformResidualAndAdd_H264_16s_C1I(pred, nullptr, &dcv, dst, 4, 4, 0, 1), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniDequantTransformResidualAndAdd_H264_16s_C1I(pred, nullptr, nullptr, dst, 4, 4, 0, 0), KVN_STS_NULL_PTR);
  for (uint8_t d : dst) EXPECT_EQ(d, 0x77);
  EXPECT_EQ(kvniDequantTransformResidualAndAdd_H264_16s_C1I(pred, nullptr, &dcv, dst, 4, 4, 0, 2), KVN_STS_OK);
  for (uint8_t d : dst) EXPECT_EQ(d, 1);  // (64 + 32) >> 6; AC is bit 0 only
}

TEST(H264Checks, SispChecksOnlyItsTwoPointersAndRefusesTableOverruns) {
  Block16 lv(0), pred(0);
  EXPECT_EQ(kvniDequantTransformResidual_SISP_H264_16s_C1I(nullptr, pred.v, nullptr, 1, 99, 0, 0), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniDequantTransformResidual_SISP_H264_16s_C1I(lv.v, nullptr, nullptr, 1, 0, 0, 0), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniDequantTransformResidual_SISP_H264_16s_C1I(lv.v, pred.v, nullptr, 1, 51, 51, 1), KVN_STS_OK);
  EXPECT_EQ(kvniTransformDequantChromaDC_SISP_H264_16s_C1I(lv.v, nullptr, 0, 0, 0), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniTransformDequantChromaDC_SISP_H264_16s_C1I(lv.v, pred.v, 51, 51, 0), KVN_STS_OK);
  // qp and qs index the quantiser tables: values outside 0..51 are refused.
  Block16 keep(3);
  EXPECT_EQ(kvniDequantTransformResidual_SISP_H264_16s_C1I(keep.v, pred.v, nullptr, 1, 52, 0, 0), KVN_STS_OUT_OF_RANGE);
  EXPECT_EQ(kvniDequantTransformResidual_SISP_H264_16s_C1I(keep.v, pred.v, nullptr, 1, 0, -1, 0), KVN_STS_OUT_OF_RANGE);
  EXPECT_EQ(kvniTransformDequantChromaDC_SISP_H264_16s_C1I(keep.v, pred.v, -7, 0, 1), KVN_STS_OUT_OF_RANGE);
  EXPECT_TRUE(keep.all(3));
}

// ---- counts and their sign --------------------------------------------------

TEST(H264Counts, ZeroResidualAndDcOnly) {
  Block16 zero(0), lv;
  Scan scan;
  int32_t n = 5, last = 5;
  ASSERT_EQ(kvniTransformQuantFwd4x4_H264_16s_C1(zero.v, lv.v, 28, &n, 0, scan.v, &last, nullptr), KVN_STS_OK);
  EXPECT_TRUE(lv.all(0));
  EXPECT_EQ(n, 0);
  EXPECT_EQ(last, 0);

  // A flat residual has only a DC: -1 from the transform-quantiser, +1 from
  // the plain quantiser on the same coefficients.
  Block16 flat(10), coef;
  ASSERT_EQ(kvniTransformQuantFwd4x4_H264_16s_C1(flat.v, lv.v, 0, &n, 1, scan.v, &last, nullptr), KVN_STS_OK);
  EXPECT_EQ(n, -1);
  EXPECT_EQ(last, 0);
  EXPECT_EQ(lv.v[0], (160 * 13107 + 32768 / 3) >> 15);
  ASSERT_EQ(kvniTransformResidual4x4Fwd_H264_16s_C1(flat.v, coef.v), KVN_STS_OK);
  EXPECT_EQ(coef.v[0], 160);
  ASSERT_EQ(kvniQuantizeResidual4x4Fwd_H264_16s_C1(coef.v, lv.v, &n, &last, nullptr, scan.v, 0, 1), KVN_STS_OK);
  EXPECT_EQ(n, 1);
  Block32 lv32, c32;
  for (int i = 0; i < 16; ++i) c32.v[i] = coef.v[i];
  ASSERT_EQ(kvniQuantizeResidual4x4Fwd_H264_32s_C1(c32.v, lv32.v, &n, &last, nullptr, scan.v, 0, 1), KVN_STS_OK);
  EXPECT_EQ(n, 1);
  ASSERT_EQ(kvniTransformQuantFwd4x4_H264_16s32s_C1(flat.v, lv32.v, 0, &n, 1, scan.v, &last, nullptr), KVN_STS_OK);
  EXPECT_EQ(n, -1);
}

TEST(H264Counts, LastPositionFollowsTheScanTable) {
  // Only position 8 nonzero (vertical pattern): its scan index is reported.
  Block16 res(0), lv;
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) res.v[4 * i + j] = int16_t((i == 0 || i == 3) ? 40 : -40);
  Scan scan;
  scan.v[8] = 11;
  int32_t n, last;
  ASSERT_EQ(kvniTransformQuantFwd4x4_H264_16s_C1(res.v, lv.v, 0, &n, 1, scan.v, &last, nullptr), KVN_STS_OK);
  EXPECT_EQ(n, 1);  // level 0 is zero: not negated
  EXPECT_EQ(last, 11);
  EXPECT_NE(lv.v[8], 0);

  // Legacy: 8-bit, masked with 127.
  scan.v[8] = 200;
  Block16 in(res);
  Kvn8s n8;
  Kvn8u last8;
  ASSERT_EQ(kvniTransformQuantResidual_H264_16s_C1I(in.v, 0, &n8, 1, scan.v, &last8), KVN_STS_OK);
  EXPECT_EQ(n8, 1);
  EXPECT_EQ(last8, 200 & 127);
}

TEST(H264Counts, ChromaDcSignConventions) {
  // DC values (a, 0, 0, -a): transform (0, 2a, 2a, 0), two nonzero AC levels.
  Block16 dc(0), tr;
  Block32 dc32(0), tr32;
  dc.v[0] = 1000, dc.v[3] = -1000;
  dc32.v[0] = 1000, dc32.v[3] = -1000;
  int32_t n;
  ASSERT_EQ(kvniTransformQuantFwdChromaDC2x2_H264_16s_C1I(dc.v, tr.v, 0, &n, 1, 1, nullptr), KVN_STS_OK);
  EXPECT_EQ(n, -2);  // negated when the DC level is zero
  EXPECT_EQ(tr.v[1], 2000);
  ASSERT_EQ(kvniTransformQuantFwdChromaDC2x2_H264_32s_C1I(dc32.v, tr32.v, 0, &n, 1, 1, nullptr), KVN_STS_OK);
  EXPECT_EQ(n, 2);
  // With a nonzero DC the conventions swap.
  Block16 dc2(500);
  ASSERT_EQ(kvniTransformQuantFwdChromaDC2x2_H264_16s_C1I(dc2.v, tr.v, 0, &n, 1, 1, nullptr), KVN_STS_OK);
  EXPECT_EQ(n, 1);
  Block32 dc3(500);
  ASSERT_EQ(kvniTransformQuantFwdChromaDC2x4_H264_32s_C1I(dc3.v, tr32.v, 0, &n, 1, 1, nullptr), KVN_STS_OK);
  EXPECT_EQ(n, -1);
  Block16 dc4(500);
  ASSERT_EQ(kvniTransformQuantFwdChromaDC2x4_H264_16s_C1I(dc4.v, tr.v, 0, &n, 1, 1, nullptr), KVN_STS_OK);
  EXPECT_EQ(n, 1);
  Kvn8s n8;
  Block16 dc5(500);
  ASSERT_EQ(kvniTransformQuantChromaDC_H264_16s_C1I(dc5.v, tr.v, 0, &n8, 1, 1), KVN_STS_OK);
  EXPECT_EQ(n8, -1);
}

TEST(H264Counts, LumaDcNegatedByTheTransformedValue) {
  // Transformed values given (flag 0): element 0 small enough to quantise to
  // zero still negates the count of the new members; the legacy member looks
  // at the level.
  Block16 dc(0), tr(0);
  tr.v[0] = 1;
  tr.v[5] = 4000;
  Scan scan;
  int32_t n, last;
  ASSERT_EQ(kvniTransformQuantFwdLumaDC4x4_H264_16s_C1I(dc.v, tr.v, 0, &n, 0, scan.v, &last, nullptr), KVN_STS_OK);
  EXPECT_EQ(dc.v[0], 0);
  EXPECT_EQ(n, -1);
  EXPECT_EQ(last, 5);
  Block32 dc32(0), tr32(0);
  tr32.v[0] = 1, tr32.v[5] = 4000;
  ASSERT_EQ(kvniTransformQuantFwdLumaDC4x4_H264_32s_C1I(dc32.v, tr32.v, 0, &n, 0, scan.v, &last, nullptr), KVN_STS_OK);
  EXPECT_EQ(n, -1);
  Block16 dcl(0), trl(tr);
  Kvn8s n8;
  Kvn8u last8;
  ASSERT_EQ(kvniTransformQuantLumaDC_H264_16s_C1I(dcl.v, trl.v, 0, &n8, 0, scan.v, &last8), KVN_STS_OK);
  EXPECT_EQ(n8, 1);
}

// ---- offsets -----------------------------------------------------------------

TEST(H264Offsets, ChromaDc2x4UsesFixedPointThirdsAndSixths) {
  // qp 0 with scale level 1: qpdc 3, s = 12; inter adds 684, intra 1364.
  const int16_t one[16] = {1};
  auto level = [&](int16_t c, int intra) {
    Block16 dc(0), tr(0);
    tr.v[0] = c;
    int32_t n;
    EXPECT_EQ(kvniTransformQuantFwdChromaDC2x4_H264_16s_C1I(dc.v, tr.v, 0, &n, intra, 0, one), KVN_STS_OK);
    return dc.v[0];
  };
  EXPECT_EQ(level(4096 - 684, 0), 1);
  EXPECT_EQ(level(4096 - 685, 0), 0);
  EXPECT_EQ(level(4096 - 1364, 1), 1);
  EXPECT_EQ(level(4096 - 1365, 1), 0);
  // 2x2 at s = 12 (qp 0 with scale levels): 682 and 1365.
  auto level2x2 = [&](int16_t c, int intra) {
    Block16 dc(0), tr(0);
    tr.v[0] = c;
    int32_t n;
    EXPECT_EQ(kvniTransformQuantFwdChromaDC2x2_H264_16s_C1I(dc.v, tr.v, 0, &n, intra, 0, one), KVN_STS_OK);
    return dc.v[0];
  };
  EXPECT_EQ(level2x2(4096 - 682, 0), 1);
  EXPECT_EQ(level2x2(4096 - 683, 0), 0);
  EXPECT_EQ(level2x2(4096 - 1365, 1), 1);
  EXPECT_EQ(level2x2(4096 - 1366, 1), 0);
  // Luma DC with scale levels: 682 * 2^(s - 11) = 1364 at s = 12.
  Block16 dc(0), tr(0);
  Scan scan;
  int32_t n, last;
  tr.v[0] = 4096 - 1364;
  tr.v[1] = 4096 - 1365;
  ASSERT_EQ(kvniTransformQuantFwdLumaDC4x4_H264_16s_C1I(dc.v, tr.v, 0, &n, 0, scan.v, &last, one), KVN_STS_OK);
  EXPECT_EQ(dc.v[0], 1);
  EXPECT_EQ(dc.v[1], 0);
}

TEST(H264Offsets, IntraThirdInterSixth) {
  // QuantizeResidual at qp 0 with scale level 1: s = 11, f = 682 / 341.
  Block16 c(0), lv;
  const int16_t one[16] = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
  c.v[0] = 2048 - 682, c.v[1] = 2048 - 683, c.v[2] = -(2048 - 341), c.v[3] = -(2048 - 342);
  Scan scan;
  int32_t n, last;
  ASSERT_EQ(kvniQuantizeResidual4x4Fwd_H264_16s_C1(c.v, lv.v, &n, &last, one, scan.v, 0, 1), KVN_STS_OK);
  EXPECT_EQ(lv.v[0], 1);
  EXPECT_EQ(lv.v[1], 0);
  ASSERT_EQ(kvniQuantizeResidual4x4Fwd_H264_16s_C1(c.v, lv.v, &n, &last, one, scan.v, 0, 0), KVN_STS_OK);
  EXPECT_EQ(lv.v[2], -1);
  EXPECT_EQ(lv.v[3], 0);
  EXPECT_EQ(n, 1);
  EXPECT_EQ(last, 2);
}

// ---- widths ------------------------------------------------------------------

TEST(H264Widths, SaturatingWrappingAndExact) {
  Block16 big(32767), out;
  // Saturating forward transform: DC of 16 x 32767 saturates.
  ASSERT_EQ(kvniTransformResidual4x4Fwd_H264_16s_C1(big.v, out.v), KVN_STS_OK);
  EXPECT_EQ(out.v[0], 32767);
  Block32 big32(32767), out32;
  ASSERT_EQ(kvniTransformResidual4x4Fwd_H264_32s_C1(big32.v, out32.v), KVN_STS_OK);
  EXPECT_EQ(out32.v[0], 16 * 32767);
  // The 16s transform-quantiser takes the low 16 bits of the exact DC:
  // 16 * 4096 = 65536 -> 0, so the block quantises to nothing.
  Block16 r(4096), lv;
  Scan scan;
  int32_t n, last;
  ASSERT_EQ(kvniTransformQuantFwd4x4_H264_16s_C1(r.v, lv.v, 0, &n, 1, scan.v, &last, nullptr), KVN_STS_OK);
  EXPECT_EQ(n, 0);
  // The 16s32s member is exact, also where |c| * M + f passes 2^32 (qp 87).
  Block16 ext(-32768);
  Block32 lv32;
  ASSERT_EQ(kvniTransformQuantFwd4x4_H264_16s32s_C1(ext.v, lv32.v, 87, &n, 1, scan.v, &last, nullptr), KVN_STS_OK);
  const int64_t c = 16 * 32768, s = 15 + 14;
  ASSERT_GT(c * 9362, int64_t(1) << 32);  // Q(87 % 6, E)
  EXPECT_EQ(lv32.v[0], -int32_t((c * 9362 + (int64_t(1) << s) / 3) >> s));
  EXPECT_EQ(n, -1);
  // 32s quantiser with 32-bit scale levels: exact, saturated to 32 bits.
  Block32 cs(INT32_MIN), sc(INT32_MAX), l32;
  ASSERT_EQ(kvniQuantizeResidual4x4Fwd_H264_32s_C1(cs.v, l32.v, &n, &last, sc.v, scan.v, 0, 1), KVN_STS_OK);
  EXPECT_EQ(l32.v[0], INT32_MIN);
  EXPECT_EQ(n, 16);
  // Inverse 16s saturates: a DC of 32767 with rounding stays 32767 >> 6.
  Block16 dcb(0), inv;
  dcb.v[0] = 32767;
  ASSERT_EQ(kvniTransformResidual4x4Inv_H264_16s_C1(dcb.v, inv.v), KVN_STS_OK);
  EXPECT_EQ(inv.v[0], 32767 >> 6);
  Block32 dc32(0), inv32;
  dc32.v[0] = 32767;
  ASSERT_EQ(kvniTransformResidual4x4Inv_H264_32s_C1(dc32.v, inv32.v), KVN_STS_OK);
  EXPECT_EQ(inv32.v[15], (32767 + 32) >> 6);
}

// ---- the legacy level limit ---------------------------------------------------

TEST(H264Legacy, LevelLimitHalves) {
  Scan scan;
  Kvn8s n8 = 9;
  Kvn8u last8 = 9;
  // Flat 400: DC 6400 quantises to 2560 at qp 0 (first half): the block holds
  // the transform, counts untouched.
  Block16 flat(400);
  EXPECT_EQ(kvniTransformQuantResidual_H264_16s_C1I(flat.v, 0, &n8, 1, scan.v, &last8), KVN_STS_LEVEL_RANGE);
  EXPECT_EQ(flat.v[0], 6400);
  EXPECT_EQ(n8, 9);
  EXPECT_EQ(last8, 9);
  // Rows (a, -a, -a, a): only position 8 (second half): the first half holds
  // its levels (zeros), the second the transform.
  Block16 v(0);
  for (int i = 0; i < 16; ++i) v.v[i] = int16_t((i < 4 || i >= 12) ? 400 : -400);
  EXPECT_EQ(kvniTransformQuantResidual_H264_16s_C1I(v.v, 0, &n8, 1, scan.v, &last8), KVN_STS_LEVEL_RANGE);
  EXPECT_EQ(v.v[8], 6400);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(v.v[i], 0);
  EXPECT_EQ(n8, 9);
  // At qp 6 the same block passes (level 1280).
  Block16 ok(400);
  EXPECT_EQ(kvniTransformQuantResidual_H264_16s_C1I(ok.v, 6, &n8, 1, scan.v, &last8), KVN_STS_OK);
  EXPECT_EQ(n8, -1);

  // Legacy luma DC: the same halves, transformed block written.
  Block16 dc(0), tr(kMark);
  dc.v[0] = 10000;  // Hadamard of an impulse: 10000 / 2 = 5000 everywhere -> level 1000
  EXPECT_EQ(kvniTransformQuantLumaDC_H264_16s_C1I(dc.v, tr.v, 0, &n8, 1, scan.v, &last8), KVN_STS_OK);
  EXPECT_EQ(tr.v[0], 5000);
  Block16 dc2(0), tr2;
  dc2.v[0] = 24000;  // 12000 -> 2400
  n8 = 9;
  EXPECT_EQ(kvniTransformQuantLumaDC_H264_16s_C1I(dc2.v, tr2.v, 0, &n8, 1, scan.v, &last8), KVN_STS_LEVEL_RANGE);
  EXPECT_EQ(tr2.v[15], 12000);
  EXPECT_EQ(dc2.v[0], 24000);  // the first half is not written
  EXPECT_EQ(n8, 9);

  // Legacy chroma DC: everything written, then the error.
  Block16 c(3000), ct;
  n8 = 9;
  EXPECT_EQ(kvniTransformQuantChromaDC_H264_16s_C1I(c.v, ct.v, 0, &n8, 1, 1), KVN_STS_LEVEL_RANGE);
  EXPECT_EQ(ct.v[0], 12000);
  EXPECT_EQ(c.v[0], (12000 * 13107 + (1 << 16) / 3) >> 16);
  EXPECT_EQ(n8, -1);
}

// ---- scale tables ------------------------------------------------------------

TEST(H264ScaleLevels, ExactForEveryWeightAndM) {
  static const int kQ[6][3] = {{13107, 5243, 8066}, {11916, 4660, 7490}, {10082, 4194, 6554},
                               {9362, 3647, 5825},  {8192, 3355, 5243},  {7282, 2893, 4559}};
  static const int kV[6][3] = {{10, 16, 13}, {11, 18, 14}, {13, 20, 16}, {14, 23, 18}, {16, 25, 20}, {18, 29, 23}};
  for (int m = 0; m < 6; ++m)
    for (int w = 0; w < 256; ++w) {
      uint8_t list[16];
      std::memset(list, w, sizeof list);
      Block16 inv, fwd;
      ASSERT_EQ(kvniGenScaleLevel4x4_H264_8u16s_C1(list, inv.v, fwd.v, m), KVN_STS_OK);
      for (int p = 0; p < 16; ++p) {
        const int i = p / 4, j = p % 4;
        const int cls = (i % 2 == 0 && j % 2 == 0) ? 0 : (i % 2 == 1 && j % 2 == 1) ? 1 : 2;
        ASSERT_EQ(inv.v[p], kV[m][cls] * w) << "m " << m << " w " << w;
        ASSERT_EQ(fwd.v[p], w ? kQ[m][cls] / w : kQ[m][cls]) << "m " << m << " w " << w;
      }
    }
  // Flat weights 16: the default inverse levels 16 v and Q / 16 (13107 -> 819).
  uint8_t flat[16];
  std::memset(flat, 16, sizeof flat);
  Block16 inv, fwd;
  ASSERT_EQ(kvniGenScaleLevel4x4_H264_8u16s_C1(flat, inv.v, fwd.v, 0), KVN_STS_OK);
  EXPECT_EQ(inv.v[0], 160);
  EXPECT_EQ(fwd.v[0], 819);
}

}  // namespace
