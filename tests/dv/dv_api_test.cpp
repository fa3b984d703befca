// The DV dequantisers and the Huffman table builder through the exported
// names: worked examples, statuses, what is written on failure, hostile
// source tables, and the release shared with kvniHuffmanTableFree_32s.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "kvnvc.h"

namespace {

TEST(DvQuant, WorkedExamples) {
  Kvn16s b[64] = {100, -3, 32767, -32768, 1000}, t[64] = {16384, 1, 32767, -32768, -20000};
  ASSERT_EQ(kvniQuantInv_DV_16s_C1I(b, t), KVN_STS_OK);
  const Kvn16s want[5] = {100, -4, -4, 0, -1224};  // ((v t) >> 16) << 2, truncated to 16 bits
  for (int i = 0; i < 5; ++i) EXPECT_EQ(b[i], want[i]) << i;
  for (int i = 5; i < 64; ++i) EXPECT_EQ(b[i], 0);

  Kvn16s v[64] = {-9, 800, 7, -1}, w[64] = {20000, 16384, 32767, -32768};
  Kvn16u q[64] = {40000, 16, 65535, 65535};
  ASSERT_EQ(kvniQuantWeightBlockInv_DV_16s_C1I(v, q, w), KVN_STS_OK);
  // -9 >> 3 = -2; -2 x 40000 = -80000 = -14464 mod 2^16; -14464 x 20000 >> 16 = -4415.
  const Kvn16s wantW[4] = {-4415, 400, 0, -1};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(v[i], wantW[i]) << i;
}

TEST(DvQuant, RasterOrderAndNullPointers) {
  Kvn16s b[64], t[64], w[64];
  Kvn16u q[64];
  for (int i = 0; i < 64; ++i) b[i] = Kvn16s(8 * (i + 1)), t[i] = Kvn16s(16384 * (i % 2)), q[i] = 1, w[i] = 32767;
  Kvn16s c[64];
  std::memcpy(c, b, sizeof b);
  ASSERT_EQ(kvniQuantInv_DV_16s_C1I(b, t), KVN_STS_OK);
  for (int i = 0; i < 64; ++i) EXPECT_EQ(b[i], i % 2 ? 8 * (i + 1) : 0) << i;
  ASSERT_EQ(kvniQuantWeightBlockInv_DV_16s_C1I(c, q, w), KVN_STS_OK);
  for (int i = 0; i < 64; ++i) EXPECT_EQ(c[i], ((i + 1) * 32767) >> 16) << i;

  std::memcpy(c, b, sizeof b);
  EXPECT_EQ(kvniQuantInv_DV_16s_C1I(nullptr, t), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniQuantInv_DV_16s_C1I(b, nullptr), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniQuantWeightBlockInv_DV_16s_C1I(nullptr, q, w), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniQuantWeightBlockInv_DV_16s_C1I(b, nullptr, w), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniQuantWeightBlockInv_DV_16s_C1I(b, q, nullptr), KVN_STS_NULL_PTR);
  EXPECT_EQ(std::memcmp(b, c, sizeof b), 0);
}

// Entry i of a built table: length, run, level x 64.
struct Entry {
  int length, run, level;
  bool operator==(const Entry& o) const { return length == o.length && run == o.run && level == o.level; }
};
Entry entry(const KvnHuffmanTable* t, int i) {
  const auto* e = reinterpret_cast<const uint8_t*>(t) + 4 * i;
  return {e[0], e[1], e[2] | e[3] << 8};
}

TEST(DvHuffmanTable, BuildsBothParts) {
  // b = 3: "0" (0, 1), "10" (1, 2), "110" (run word 0x1234: run 0x34, level -1).
  const Kvn32s first[] = {3, 99, 99, 1, 0, 0, 1, 1, 2, 1, 2, 1, 6, 0x1234, -1};
  // b = 2: no code of length 1; 5 has more than 2 bits and is masked to "01".
  const Kvn32s second[] = {2, 0, 0, 0, 1, 5, 3, 3};
  KvnHuffmanTable* t = nullptr;
  ASSERT_EQ(kvniInitAllocHuffmanTable_DV_32u(first, second, &t), KVN_STS_OK);
  ASSERT_NE(t, nullptr);
  const Entry want[] = {{1, 0, 64},  {1, 0, 64},  {1, 0, 64},        {1, 0, 64},
                        {2, 1, 128}, {2, 1, 128}, {3, 0x34, 0xffc0}, {255, 0, 0},  // first part
                        {255, 0, 0}, {6, 3, 192}, {255, 0, 0},       {255, 0, 0}};
  for (int i = 0; i < 12; ++i) EXPECT_TRUE(entry(t, i) == want[i]) << i;
  EXPECT_EQ(kvniFreeHuffmanTable_DV_32u(t), KVN_STS_OK);

  // Empty parts still have their 2^0 entries; the widest parts are complete.
  const Kvn32s none[] = {0, 0, 0}, wide[3 + 16] = {16};
  ASSERT_EQ(kvniInitAllocHuffmanTable_DV_32u(none, none, &t), KVN_STS_OK);
  EXPECT_TRUE(entry(t, 0) == (Entry{255, 0, 0}));
  EXPECT_TRUE(entry(t, 1) == (Entry{255, 0, 0}));
  EXPECT_EQ(kvniHuffmanTableFree_32s(t), KVN_STS_OK);  // the same release
  ASSERT_EQ(kvniInitAllocHuffmanTable_DV_32u(wide, wide, &t), KVN_STS_OK);
  for (int i = 0; i < 2 << 16; i += 4097) EXPECT_TRUE(entry(t, i) == (Entry{255, 0, 0})) << i;
  EXPECT_EQ(kvniFreeHuffmanTable_DV_32u(t), KVN_STS_OK);
}

// Hostile sources: codes of any value stay inside their part; lookup widths
// above 16 or counts that no code length allows are refused before anything
// is obtained or written.
TEST(DvHuffmanTable, HostileSources) {
  std::vector<Kvn32s> full = {4, 0, 0};
  for (int len = 1; len <= 4; ++len) {
    full.push_back(1 << len);
    for (int c = 0; c < (1 << len); ++c) full.insert(full.end(), {c | -16, len, -c});
  }
  KvnResult st;
  KvnHuffmanTable* t = nullptr;
  ASSERT_EQ(kvniInitAllocHuffmanTable_DV_32u(full.data(), full.data(), &t), KVN_STS_OK);
  for (int i = 0; i < 32; ++i) EXPECT_EQ(entry(t, i).length, i < 16 ? 4 : 8) << i;  // the longest codes last
  kvniFreeHuffmanTable_DV_32u(t);

  const Kvn32s ok[] = {1, 0, 0, 1, 0, 0, 1};
  KvnHuffmanTable* const untouched = reinterpret_cast<KvnHuffmanTable*>(0x10);
  const std::vector<std::vector<Kvn32s>> bad = {
      {17, 0, 0}, {-1, 0, 0}, {INT32_MIN, 0, 0}, {1, 0, 0, 3}, {2, 0, 0, -1}, {2, 0, 0, 0, 5},
  };
  const KvnResult want[] = {KVN_STS_SIZE_ERR,     KVN_STS_SIZE_ERR,     KVN_STS_SIZE_ERR,
                            KVN_STS_VLC_CODE_ERR, KVN_STS_VLC_CODE_ERR, KVN_STS_VLC_CODE_ERR};
  for (size_t i = 0; i < bad.size(); ++i) {
    t = untouched;
    EXPECT_EQ(st = kvniInitAllocHuffmanTable_DV_32u(bad[i].data(), ok, &t), want[i]) << i;
    EXPECT_EQ(t, untouched);
    EXPECT_EQ(st = kvniInitAllocHuffmanTable_DV_32u(ok, bad[i].data(), &t), want[i]) << i;
    EXPECT_EQ(t, untouched);
  }
  EXPECT_EQ(kvniInitAllocHuffmanTable_DV_32u(nullptr, ok, &t), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniInitAllocHuffmanTable_DV_32u(ok, nullptr, &t), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniInitAllocHuffmanTable_DV_32u(bad[0].data(), ok, nullptr), KVN_STS_NULL_PTR);  // null first
  EXPECT_EQ(t, untouched);
  EXPECT_EQ(kvniFreeHuffmanTable_DV_32u(nullptr), KVN_STS_NULL_PTR);
}

}  // namespace
