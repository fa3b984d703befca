// MPEG-4/H.263 quantisers and H.263 edge filters through the exported names:
// statuses in their order with nothing written on failure (Init included:
// a failed Init leaves the caller's bytes as they were), the states' sizes,
// tags and placement in unaligned memory, worked examples, the saturation
// chosen where 16-bit intermediates would wrap, and agreement of the inverse
// inter quantiser with the rule the fused decoder applies.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#include "kvnvc.h"
#include "mpeg4/quant_mpeg4_state.h"
#include "rng.h"

namespace {

using kvntest::Rng;

std::vector<Kvn16s> single(int pos, int value) {
  std::vector<Kvn16s> b(64, 0);
  b[size_t(pos)] = Kvn16s(value);
  return b;
}

// State memory of GetSize's bytes at an offset 0..15 from a 16-byte boundary.
template <class State>
struct StateMem {
  alignas(16) unsigned char bytes[512 + 16];
  int offset;
  explicit StateMem(int off = 0, unsigned char fill = 0xC3) : offset(off) { std::memset(bytes, fill, sizeof bytes); }
  State* ptr() { return reinterpret_cast<State*>(bytes + offset); }
  const State& rec() const { return *kvn::mpeg4::aligned_state<const State>(bytes + offset); }
};
using InvMem = StateMem<KvnQuantInvState_MPEG4>;
using FwdMem = StateMem<KvnQuantState_MPEG4>;

std::vector<Kvn8u> matrix(Kvn8u fill) { return std::vector<Kvn8u>(64, fill); }

TEST(Mpeg4QuantStatus, SizesAndSharedGetSize) {
  const std::pair<KvnResult (*)(Kvn32s*), Kvn32s> cases[] = {{kvniQuantIntraGetSize_MPEG4, 412},
                                                             {kvniQuantInterGetSize_MPEG4, 412},
                                                             {kvniQuantInvIntraGetSize_MPEG4, 156},
                                                             {kvniQuantInvInterGetSize_MPEG4, 156}};
  for (const auto& c : cases) {
    Kvn32s n = 0;
    EXPECT_EQ(c.first(&n), KVN_STS_OK);
    EXPECT_EQ(n, c.second);
    EXPECT_EQ(c.first(nullptr), KVN_STS_NULL_PTR);
  }
}

TEST(Mpeg4QuantStatus, InitTagsAndAlignmentRounding) {
  const auto m = matrix(16);
  for (int off = 0; off < 16; ++off) {
    InvMem inter(off), intra(off);
    FwdMem finter(off), fintra(off);
    ASSERT_EQ(kvniQuantInvInterInit_MPEG4(m.data(), inter.ptr(), 8), KVN_STS_OK);
    ASSERT_EQ(kvniQuantInvIntraInit_MPEG4(nullptr, intra.ptr(), 12), KVN_STS_OK);
    ASSERT_EQ(kvniQuantInterInit_MPEG4(m.data(), finter.ptr(), 8), KVN_STS_OK);
    ASSERT_EQ(kvniQuantIntraInit_MPEG4(m.data(), fintra.ptr(), 10), KVN_STS_OK);
    EXPECT_EQ(std::memcmp(inter.rec().tag, "SAMC", 4), 0);
    EXPECT_EQ(std::memcmp(intra.rec().tag, "RAMC", 4), 0);
    EXPECT_EQ(std::memcmp(finter.rec().tag, "UAMC", 4), 0);
    EXPECT_EQ(std::memcmp(fintra.rec().tag, "TAMC", 4), 0);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(&inter.rec()) % 16, 0u);
    EXPECT_LE(reinterpret_cast<const unsigned char*>(&inter.rec() + 1), inter.bytes + off + 156);
    EXPECT_LE(reinterpret_cast<const unsigned char*>(&finter.rec() + 1), finter.bytes + off + 412);
    EXPECT_EQ(inter.rec().matrixFlag, 1);
    EXPECT_EQ(inter.rec().weights[5], 16);
    EXPECT_EQ(intra.rec().matrixFlag, 0);
    EXPECT_EQ(intra.rec().bitsPerPixel, 12);
    // Forward, 8 bits: half-weights and reciprocals; above 8: weights and 1/W.
    EXPECT_EQ(finter.rec().weights[0], 8);
    EXPECT_EQ(finter.rec().scale.reciprocals[0], 65536 / 16 + 1);
    EXPECT_EQ(fintra.rec().weights[0], 16);
    EXPECT_EQ(fintra.rec().scale.inverses[0], 0.0625f);
  }
  FwdMem one;
  ASSERT_EQ(kvniQuantInterInit_MPEG4(matrix(1).data(), one.ptr(), 8), KVN_STS_OK);
  EXPECT_EQ(one.rec().scale.reciprocals[7], 65535);
  EXPECT_EQ(one.rec().weights[7], 0);
}

// Init checks every argument before it writes a byte.
TEST(Mpeg4QuantStatus, FailedInitWritesNothing) {
  auto zero = matrix(9);
  zero[40] = 0;
  const auto good = matrix(9);
  for (int off : {0, 7}) {
    const InvMem pristineInv(off);
    const FwdMem pristineFwd(off);
    for (auto init : {kvniQuantInvInterInit_MPEG4, kvniQuantInvIntraInit_MPEG4}) {
      InvMem s(off);
      EXPECT_EQ(init(good.data(), nullptr, 8), KVN_STS_NULL_PTR);
      for (int b : {3, 13, 0, -1, 1 << 30}) EXPECT_EQ(init(good.data(), s.ptr(), b), KVN_STS_OUT_OF_RANGE) << b;
      EXPECT_EQ(init(zero.data(), s.ptr(), 3), KVN_STS_OUT_OF_RANGE);
      EXPECT_EQ(init(zero.data(), s.ptr(), 8), KVN_STS_QP_ERR);
      EXPECT_EQ(std::memcmp(s.bytes, pristineInv.bytes, sizeof s.bytes), 0);
    }
    for (auto init : {kvniQuantInterInit_MPEG4, kvniQuantIntraInit_MPEG4}) {
      FwdMem s(off);
      EXPECT_EQ(init(good.data(), nullptr, 8), KVN_STS_NULL_PTR);
      for (int b : {3, 13, -100}) EXPECT_EQ(init(nullptr, s.ptr(), b), KVN_STS_OUT_OF_RANGE) << b;
      EXPECT_EQ(init(zero.data(), s.ptr(), 10), KVN_STS_QP_ERR);
      EXPECT_EQ(std::memcmp(s.bytes, pristineFwd.bytes, sizeof s.bytes), 0);
    }
  }
}

TEST(Mpeg4QuantStatus, CheckOrderAndNothingWritten) {
  InvMem inter, intra;
  FwdMem finter, fintra;
  ASSERT_EQ(kvniQuantInvInterInit_MPEG4(nullptr, inter.ptr(), 8), KVN_STS_OK);
  ASSERT_EQ(kvniQuantInvIntraInit_MPEG4(nullptr, intra.ptr(), 8), KVN_STS_OK);
  ASSERT_EQ(kvniQuantInterInit_MPEG4(nullptr, finter.ptr(), 8), KVN_STS_OK);
  ASSERT_EQ(kvniQuantIntraInit_MPEG4(nullptr, fintra.ptr(), 8), KVN_STS_OK);
  std::vector<Kvn16s> blk(64, 7);
  Kvn32s n = -5;
  const auto untouched = [&] {
    return n == -5 && std::all_of(blk.begin(), blk.end(), [](Kvn16s v) { return v == 7; });
  };
  Kvn16s* b = blk.data();
  // Null pointers first, whatever else is wrong.
  EXPECT_EQ(kvniQuantInter_MPEG4_16s_C1I(nullptr, fintra.ptr(), 0, &n), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniQuantInter_MPEG4_16s_C1I(b, nullptr, 0, &n), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniQuantInter_MPEG4_16s_C1I(b, fintra.ptr(), 0, nullptr), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniQuantIntra_MPEG4_16s_C1I(b, fintra.ptr(), 0, nullptr, 0), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniQuantInvInter_MPEG4_16s_C1I(nullptr, 63, intra.ptr(), 0), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniQuantInvIntra_MPEG4_16s_C1I(b, 63, nullptr, 0, 0), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniQuantInter_H263_16s_C1I(nullptr, 0, &n, 0), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniQuantIntra_H263_16s_C1I(b, 0, nullptr, 0, 0), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniQuantInvInter_H263_16s_C1I(nullptr, -1, 0, 0), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniQuantInvIntra_H263_16s_C1I(nullptr, -1, 0, 0, 0), KVN_STS_NULL_PTR);
  // Then the tag (before the quantiser): each state only for its own kind.
  EXPECT_EQ(kvniQuantInter_MPEG4_16s_C1I(b, fintra.ptr(), 0, &n), KVN_STS_CONTEXT_MISMATCH);
  EXPECT_EQ(kvniQuantIntra_MPEG4_16s_C1I(b, finter.ptr(), 0, &n, 0), KVN_STS_CONTEXT_MISMATCH);
  EXPECT_EQ(kvniQuantInter_MPEG4_16s_C1I(b, reinterpret_cast<const KvnQuantState_MPEG4*>(inter.ptr()), 1, &n),
            KVN_STS_CONTEXT_MISMATCH);
  EXPECT_EQ(kvniQuantInvInter_MPEG4_16s_C1I(b, 63, intra.ptr(), 0), KVN_STS_CONTEXT_MISMATCH);
  EXPECT_EQ(kvniQuantInvIntra_MPEG4_16s_C1I(b, 63, inter.ptr(), 0, 0), KVN_STS_CONTEXT_MISMATCH);
  // Then the quantiser: 1..31 at 8 bits per pixel (MPEG-4 QP 32 with b = 8 fails).
  for (int qp : {0, 32, -1, 1 << 20}) {
    EXPECT_EQ(kvniQuantInter_MPEG4_16s_C1I(b, finter.ptr(), qp, &n), KVN_STS_QP_ERR);
    EXPECT_EQ(kvniQuantIntra_MPEG4_16s_C1I(b, fintra.ptr(), qp, &n, 1), KVN_STS_QP_ERR);
    EXPECT_EQ(kvniQuantInvInter_MPEG4_16s_C1I(b, 63, inter.ptr(), qp), KVN_STS_QP_ERR);
    EXPECT_EQ(kvniQuantInvIntra_MPEG4_16s_C1I(b, 63, intra.ptr(), qp, 0), KVN_STS_QP_ERR);
    EXPECT_EQ(kvniQuantInter_H263_16s_C1I(b, qp, &n, 1), KVN_STS_QP_ERR);
    EXPECT_EQ(kvniQuantIntra_H263_16s_C1I(b, qp, &n, 1, 1), KVN_STS_QP_ERR);
    EXPECT_EQ(kvniQuantInvInter_H263_16s_C1I(b, -1, qp, 0), KVN_STS_QP_ERR);
    EXPECT_EQ(kvniQuantInvIntra_H263_16s_C1I(b, -1, qp, 0, 0), KVN_STS_QP_ERR);
  }
  // Then the H.263 last index.
  EXPECT_EQ(kvniQuantInvInter_H263_16s_C1I(b, -1, 5, 0), KVN_STS_OUT_OF_RANGE);
  EXPECT_EQ(kvniQuantInvIntra_H263_16s_C1I(b, INT32_MIN, 5, 1, 0), KVN_STS_OUT_OF_RANGE);
  EXPECT_TRUE(untouched());
}

// Bits per pixel set QPmax = 2^(b-3) - 1; a forged state's bits per pixel
// allow no quantiser and never index anything.
TEST(Mpeg4QuantStatus, QuantiserRangeFollowsBitsPerPixel) {
  for (int bits = 4; bits <= 12; ++bits) {
    FwdMem f;
    InvMem v;
    ASSERT_EQ(kvniQuantInterInit_MPEG4(nullptr, f.ptr(), bits), KVN_STS_OK);
    ASSERT_EQ(kvniQuantInvInterInit_MPEG4(nullptr, v.ptr(), bits), KVN_STS_OK);
    const int qpMax = (1 << (bits - 3)) - 1;
    std::vector<Kvn16s> blk(64, 100);
    Kvn32s n = 0;
    EXPECT_EQ(kvniQuantInter_MPEG4_16s_C1I(blk.data(), f.ptr(), qpMax, &n), KVN_STS_OK);
    EXPECT_EQ(kvniQuantInter_MPEG4_16s_C1I(blk.data(), f.ptr(), qpMax + 1, &n), KVN_STS_QP_ERR);
    EXPECT_EQ(kvniQuantInvInter_MPEG4_16s_C1I(blk.data(), 63, v.ptr(), qpMax), KVN_STS_OK);
    EXPECT_EQ(kvniQuantInvInter_MPEG4_16s_C1I(blk.data(), 63, v.ptr(), qpMax + 1), KVN_STS_QP_ERR);
  }
  for (int forged : {3, 13, -5, 1000000, INT32_MIN}) {
    FwdMem f;
    ASSERT_EQ(kvniQuantIntraInit_MPEG4(nullptr, f.ptr(), 8), KVN_STS_OK);
    const_cast<KvnQuantState_MPEG4&>(f.rec()).bitsPerPixel = forged;
    std::vector<Kvn16s> blk(64, 7);
    Kvn32s n = -5;
    for (int qp : {1, 2, 31, 511})
      EXPECT_EQ(kvniQuantIntra_MPEG4_16s_C1I(blk.data(), f.ptr(), qp, &n, 0), KVN_STS_QP_ERR) << forged;
    EXPECT_EQ(n, -5);
  }
}

TEST(H263Quant, WorkedExamples) {
  Kvn32s n = 0;
  auto b = single(5, -3);
  ASSERT_EQ(kvniQuantInter_H263_16s_C1I(b.data(), 1, &n, 0), KVN_STS_OK);
  EXPECT_EQ(b[5], -1);
  EXPECT_EQ(n, 1);
  b = single(9, 10);
  ASSERT_EQ(kvniQuantInter_H263_16s_C1I(b.data(), 4, &n, 0), KVN_STS_OK);
  EXPECT_EQ(b[9], 1);  // (10 - 2) by 8193
  // INTRADC: 0 gives 1 (and counts), 2036 gives 255, replaced by 254.
  b = single(0, 0);
  ASSERT_EQ(kvniQuantIntra_H263_16s_C1I(b.data(), 7, &n, 0, 0), KVN_STS_OK);
  EXPECT_EQ(b[0], 1);
  EXPECT_EQ(n, 1);
  b = single(0, 2036);
  b[1] = 3000;
  ASSERT_EQ(kvniQuantIntra_H263_16s_C1I(b.data(), 2, &n, 0, 0), KVN_STS_OK);
  EXPECT_EQ(b[0], 254);
  EXPECT_EQ(b[1], 127);  // 750 clamped below QP 8 without Annex T
  EXPECT_EQ(n, 2);
  b = single(1, 3000);
  ASSERT_EQ(kvniQuantIntra_H263_16s_C1I(b.data(), 2, &n, 0, 1), KVN_STS_OK);
  EXPECT_EQ(b[1], 750);
  // Annex I: (|c| + floor(3QP/4)) by R_QP at every position, the sum saturating.
  b = single(0, 100);
  b[63] = -32768;
  ASSERT_EQ(kvniQuantIntra_H263_16s_C1I(b.data(), 4, &n, 1, 1), KVN_STS_OK);
  EXPECT_EQ(b[0], 12);                        // (100 + 3) by 8193
  EXPECT_EQ(b[63], -((32767 * 8193) >> 16));  // saturated at 32767
  EXPECT_EQ(n, 2);
  // Inverse: QP 4, L -2: -(4 x 5 - 1); level 127 at QP 31: 7905 with Annex T, else 2047.
  b = single(3, -2);
  ASSERT_EQ(kvniQuantInvInter_H263_16s_C1I(b.data(), 3, 4, 0), KVN_STS_OK);
  EXPECT_EQ(b[3], -19);
  b = single(3, 127);
  b[4] = -127;
  ASSERT_EQ(kvniQuantInvInter_H263_16s_C1I(b.data(), 4, 31, 1), KVN_STS_OK);
  EXPECT_EQ(b[3], 7905);
  EXPECT_EQ(b[4], -7905);
  b = single(3, 127);
  b[4] = -127;
  ASSERT_EQ(kvniQuantInvInter_H263_16s_C1I(b.data(), 4, 31, 0), KVN_STS_OK);
  EXPECT_EQ(b[3], 2047);
  EXPECT_EQ(b[4], -2048);
  // Annex T levels at a large QP saturate to 16 bits instead of wrapping.
  b = single(10, 2000);
  b[11] = -2000;
  ASSERT_EQ(kvniQuantInvInter_H263_16s_C1I(b.data(), 63, 31, 1), KVN_STS_OK);
  EXPECT_EQ(b[10], 32767);
  EXPECT_EQ(b[11], -32768);
  // Positions after the last index are left alone; a last index above 63 is the whole block.
  b = single(20, 5);
  b[21] = 5;
  ASSERT_EQ(kvniQuantInvInter_H263_16s_C1I(b.data(), 20, 3, 0), KVN_STS_OK);
  EXPECT_EQ(b[20], 33);
  EXPECT_EQ(b[21], 5);
  ASSERT_EQ(kvniQuantInvInter_H263_16s_C1I(b.data(), 1000, 1, 0), KVN_STS_OK);
  EXPECT_EQ(b[21], 11);
  // Intra: INTRADC x 8; the AC rule only above last index 0; Annex I: 2 QP L.
  b = single(0, 254);
  b[1] = 1;
  ASSERT_EQ(kvniQuantInvIntra_H263_16s_C1I(b.data(), 0, 6, 0, 0), KVN_STS_OK);
  EXPECT_EQ(b[0], 2032);
  EXPECT_EQ(b[1], 1);
  ASSERT_EQ(kvniQuantInvIntra_H263_16s_C1I(b.data(), 1, 6, 0, 0), KVN_STS_OK);
  EXPECT_EQ(b[0], 16256);
  EXPECT_EQ(b[1], 17);  // 3QP - 1 for an even QP
  b = single(0, 3);
  b[1] = -1000;
  ASSERT_EQ(kvniQuantInvIntra_H263_16s_C1I(b.data(), 1, 6, 1, 0), KVN_STS_OK);
  EXPECT_EQ(b[0], 36);
  EXPECT_EQ(b[1], -12000);
}

TEST(Mpeg4Quant, WorkedExamples) {
  FwdMem f;
  ASSERT_EQ(kvniQuantIntraInit_MPEG4(nullptr, f.ptr(), 8), KVN_STS_OK);
  Kvn32s n = 0;
  auto b = single(0, -9);
  ASSERT_EQ(kvniQuantIntra_MPEG4_16s_C1I(b.data(), f.ptr(), 10, &n, 0), KVN_STS_OK);
  EXPECT_EQ(b[0], -1);  // s = 18: (9 + 9) div 18
  EXPECT_EQ(n, 1);
  // A weight of 1 at 8 bits: reciprocal 65535, k = 16|c| - 1.
  FwdMem w1;
  ASSERT_EQ(kvniQuantInterInit_MPEG4(matrix(1).data(), w1.ptr(), 8), KVN_STS_OK);
  b = single(4, -5);
  ASSERT_EQ(kvniQuantInter_MPEG4_16s_C1I(b.data(), w1.ptr(), 1, &n), KVN_STS_OK);
  EXPECT_EQ(b[4], -(((16 * 5 - 1) * 32769) >> 16));
  EXPECT_EQ(n, 1);
  // Inverse intra with a matrix, last index 0, L0 = 5, QP 1: F0 = 40, even: position 63 becomes 1.
  InvMem v;
  ASSERT_EQ(kvniQuantInvIntraInit_MPEG4(matrix(16).data(), v.ptr(), 8), KVN_STS_OK);
  b = single(0, 5);
  ASSERT_EQ(kvniQuantInvIntra_MPEG4_16s_C1I(b.data(), 0, v.ptr(), 1, 0), KVN_STS_OK);
  EXPECT_EQ(b[0], 40);
  EXPECT_EQ(b[63], 1);
  // Method 2 inter: W 16, QP 1, levels 1 at 0: 3, odd sum; at 0 and 1: even, 63 becomes 1;
  // at 0, 1 and 63: sum 9, 63 stays 3. W 17, level -1: -51 / 16 truncates to -3.
  InvMem m;
  ASSERT_EQ(kvniQuantInvInterInit_MPEG4(matrix(16).data(), m.ptr(), 8), KVN_STS_OK);
  b = single(0, 1);
  ASSERT_EQ(kvniQuantInvInter_MPEG4_16s_C1I(b.data(), 63, m.ptr(), 1), KVN_STS_OK);
  EXPECT_EQ(b[0], 3);
  EXPECT_EQ(b[63], 0);
  b = single(0, 1);
  b[1] = 1;
  ASSERT_EQ(kvniQuantInvInter_MPEG4_16s_C1I(b.data(), 63, m.ptr(), 1), KVN_STS_OK);
  EXPECT_EQ(b[63], 1);
  b[0] = b[1] = b[63] = 1;
  ASSERT_EQ(kvniQuantInvInter_MPEG4_16s_C1I(b.data(), 63, m.ptr(), 1), KVN_STS_OK);
  EXPECT_EQ(b[63], 3);
  InvMem m17;
  ASSERT_EQ(kvniQuantInvInterInit_MPEG4(matrix(17).data(), m17.ptr(), 8), KVN_STS_OK);
  b = single(0, -1);
  b[1] = -1;
  ASSERT_EQ(kvniQuantInvInter_MPEG4_16s_C1I(b.data(), 63, m17.ptr(), 1), KVN_STS_OK);
  EXPECT_EQ(b[0], -3);
  // Reconstruction range: b = 8 clamps to -2048..2047.
  InvMem m1;
  ASSERT_EQ(kvniQuantInvInterInit_MPEG4(nullptr, m1.ptr(), 8), KVN_STS_OK);
  b = single(0, 1000);
  b[1] = -1000;
  ASSERT_EQ(kvniQuantInvInter_MPEG4_16s_C1I(b.data(), 63, m1.ptr(), 31), KVN_STS_OK);
  EXPECT_EQ(b[0], 2047);
  EXPECT_EQ(b[1], -2048);
}

// Above 8 bits per pixel the forward quantisers work in single precision.
TEST(Mpeg4Quant, FloatPathAbove8Bits) {
  FwdMem inter, intra, inter1, intra1;
  ASSERT_EQ(kvniQuantInterInit_MPEG4(matrix(16).data(), inter.ptr(), 10), KVN_STS_OK);
  ASSERT_EQ(kvniQuantIntraInit_MPEG4(matrix(16).data(), intra.ptr(), 10), KVN_STS_OK);
  ASSERT_EQ(kvniQuantInterInit_MPEG4(nullptr, inter1.ptr(), 12), KVN_STS_OK);
  ASSERT_EQ(kvniQuantIntraInit_MPEG4(nullptr, intra1.ptr(), 12), KVN_STS_OK);
  Kvn32s n = 0;
  auto b = single(1, 50);
  b[2] = -50;
  ASSERT_EQ(kvniQuantInter_MPEG4_16s_C1I(b.data(), inter.ptr(), 2, &n), KVN_STS_OK);
  EXPECT_EQ(b[1], 12);  // 50 x 4.000005 / 16
  EXPECT_EQ(b[2], -12);
  b = single(1, 50);
  b[2] = -50;
  ASSERT_EQ(kvniQuantIntra_MPEG4_16s_C1I(b.data(), intra.ptr(), 2, &n, 0), KVN_STS_OK);
  EXPECT_EQ(b[1], 13);  // 50 x 4 / 16 + 0.501
  EXPECT_EQ(b[2], -13);
  EXPECT_EQ(n, 2);
  b = single(7, 100);
  b[8] = 1;
  ASSERT_EQ(kvniQuantInter_MPEG4_16s_C1I(b.data(), inter1.ptr(), 4, &n), KVN_STS_OK);
  EXPECT_EQ(b[7], 12);  // (100 - 2) x 0.125000025
  EXPECT_EQ(b[8], 0);   // (1 - 2) x f truncates to 0
  EXPECT_EQ(n, 1);
  b = single(9, 32767);
  b[10] = -32768;
  ASSERT_EQ(kvniQuantIntra_MPEG4_16s_C1I(b.data(), intra1.ptr(), 1, &n, 0), KVN_STS_OK);
  EXPECT_EQ(b[9], 2047);
  EXPECT_EQ(b[10], -2047);
}

// The inverse inter entry applies exactly the rule of the fused decoder.
TEST(Mpeg4Quant, InverseInterMatchesDecoderRule) {
  Rng rng = kvntest::rng_for("Mpeg4Quant.InverseInterMatchesDecoderRule");
  for (int t = 0; t < 2000; ++t) {
    const int bits = rng.range(4, 12);
    std::vector<Kvn8u> w(64);
    for (auto& x : w) x = Kvn8u(rng.range(1, 255));
    InvMem s(rng.range(0, 15));
    ASSERT_EQ(kvniQuantInvInterInit_MPEG4(rng.coin() ? w.data() : nullptr, s.ptr(), bits), KVN_STS_OK);
    const int qp = rng.range(1, (1 << (bits - 3)) - 1), last = rng.range(0, 63);
    std::vector<Kvn16s> b(64);
    for (auto& x : b) x = rng.one_in(3) ? Kvn16s(rng.u32()) : Kvn16s(rng.range(-20, 20));
    auto want = b;
    kvn::mpeg4::inv_inter_reference(want.data(), last, s.rec(), qp);
    ASSERT_EQ(kvniQuantInvInter_MPEG4_16s_C1I(b.data(), last, s.ptr(), qp), KVN_STS_OK);
    ASSERT_EQ(b, want) << "trial " << t << " " << kvntest::seed_note();
  }
}

// ---------------------------------------------------------------------------
// Edge filters. A 6x20 picture, the edge between rows (columns) 2 and 3.

struct Edge {
  std::vector<Kvn8u> pic = std::vector<Kvn8u>(20 * 20, 77);
  Kvn8u* at(int r, int c) { return &pic[size_t(r * 20 + c)]; }
};

TEST(H263Filters, WorkedExamplesBothDirections) {
  for (bool vertical : {false, true}) {
    Edge e;
    // A = B = 0 before the edge, C = D = 16 after it, at every position.
    for (int i = 0; i < 16; ++i)
      for (int k = 0; k < 4; ++k) *(vertical ? e.at(i, 8 + k) : e.at(8 + k, i)) = Kvn8u(k < 2 ? 0 : 16);
    const auto sample = [&](int i, int k) { return int(*(vertical ? e.at(i, 8 + k) : e.at(8 + k, i))); };
    Kvn8u* p = vertical ? e.at(0, 10) : e.at(10, 0);
    const auto run8 =
        vertical ? kvniFilterDeblocking8x8VerEdge_H263_8u_C1IR : kvniFilterDeblocking8x8HorEdge_H263_8u_C1IR;
    auto before = e.pic;
    EXPECT_EQ(run8(p, 20, 0), KVN_STS_QP_ERR);
    EXPECT_EQ(run8(p, 20, 32), KVN_STS_QP_ERR);
    EXPECT_EQ(run8(nullptr, 20, 0), KVN_STS_NULL_PTR);
    ASSERT_EQ(run8(p, 20, 1), KVN_STS_OK);  // S = 1: d = 6 is past 2S, nothing changes
    EXPECT_EQ(e.pic, before);
    ASSERT_EQ(run8(p, 20, 31), KVN_STS_OK);  // S = 12: 3, 6, 10, 13 on the 8 positions only
    for (int i = 0; i < 16; ++i) {
      const int want[4] = {i < 8 ? 3 : 0, i < 8 ? 6 : 0, i < 8 ? 10 : 16, i < 8 ? 13 : 16};
      for (int k = 0; k < 4; ++k) EXPECT_EQ(sample(i, k), want[k]) << vertical << " " << i << " " << k;
    }
    // Unlimited on 16 positions, then the boundary filter: B = 0, C = 100 gives 25, 75.
    const auto run16 =
        vertical ? kvniFilterDeblocking16x16VerEdge_H263_8u_C1IR : kvniFilterDeblocking16x16HorEdge_H263_8u_C1IR;
    ASSERT_EQ(run16(p, 20), KVN_STS_OK);
    for (int i = 8; i < 16; ++i) EXPECT_EQ(sample(i, 1), 6);
    const auto bound =
        vertical ? kvniFilterBlockBoundaryVerEdge_H263_8u_C1IR : kvniFilterBlockBoundaryHorEdge_H263_8u_C1IR;
    for (int i = 0; i < 16; ++i)
      for (int k = 0; k < 4; ++k) *(vertical ? e.at(i, 8 + k) : e.at(8 + k, i)) = Kvn8u(k < 2 ? 0 : 100);
    EXPECT_EQ(bound(nullptr, 20), KVN_STS_NULL_PTR);
    ASSERT_EQ(bound(p, 20), KVN_STS_OK);
    for (int i = 0; i < 16; ++i) {
      EXPECT_EQ(sample(i, 0), 0);
      EXPECT_EQ(sample(i, 1), 25);
      EXPECT_EQ(sample(i, 2), 75);
      EXPECT_EQ(sample(i, 3), 100);
    }
    // A flat edge is never changed; nothing outside the four lines is touched.
    Edge flat;
    before = flat.pic;
    Kvn8u* q = vertical ? flat.at(0, 10) : flat.at(10, 0);
    for (int qp = 1; qp <= 31; ++qp) ASSERT_EQ(run8(q, 20, qp), KVN_STS_OK);
    ASSERT_EQ(run16(q, 20), KVN_STS_OK);
    ASSERT_EQ(bound(q, 20), KVN_STS_OK);
    EXPECT_EQ(flat.pic, before);
  }
}

}  // namespace
