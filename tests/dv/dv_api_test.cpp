// The DV dequantisers and Huffman table builder through the exported names:
// worked examples, statuses, hostile source tables, the shared release.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "kvnvc.h"

namespace {

TEST(DvQuant, WorkedExamplesAndNullPointers) {
  Kvn16s b[64] = {100, -3, 32767, -32768, 1000}, t[64] = {16384, 1, 32767, -32768, -20000};
  ASSERT_EQ(kvniQuantInv_DV_16s_C1I(b, t), KVN_STS_OK);
  const Kvn16s want[64] = {100, -4, -4, 0, -1224};  // ((v t) >> 16) << 2, truncated to 16 bits
  EXPECT_EQ(std::memcmp(b, want, sizeof b), 0);
  // -9 >> 3 = -2; -2 x 40000 = -80000 = -14464 mod 2^16; -14464 x 20000 >> 16 = -4415.
  Kvn16s v[64] = {-9, 800, 7, -1}, w[64] = {20000, 16384, 32767, -32768};
  Kvn16u q[64] = {40000, 16, 65535, 65535};
  ASSERT_EQ(kvniQuantWeightBlockInv_DV_16s_C1I(v, q, w), KVN_STS_OK);
  const Kvn16s wantW[64] = {-4415, 400, 0, -1};
  EXPECT_EQ(std::memcmp(v, wantW, sizeof v), 0);

  EXPECT_EQ(kvniQuantInv_DV_16s_C1I(nullptr, t), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniQuantInv_DV_16s_C1I(b, nullptr), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniQuantWeightBlockInv_DV_16s_C1I(nullptr, q, w), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniQuantWeightBlockInv_DV_16s_C1I(v, nullptr, w), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniQuantWeightBlockInv_DV_16s_C1I(v, q, nullptr), KVN_STS_NULL_PTR);
  EXPECT_TRUE(std::memcmp(b, want, sizeof b) == 0 && std::memcmp(v, wantW, sizeof v) == 0);
}

// Entry i of a built table: length, run, level x 64 (little-endian).
std::vector<int> entry(const KvnHuffmanTable* t, int i) {
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
  const std::vector<std::vector<int>> want = {{1, 0, 64},  {1, 0, 64},  {1, 0, 64},        {1, 0, 64},
                                              {2, 1, 128}, {2, 1, 128}, {3, 0x34, 0xffc0}, {255, 0, 0},
                                              {255, 0, 0}, {6, 3, 192}, {255, 0, 0},       {255, 0, 0}};
  for (int i = 0; i < 12; ++i) EXPECT_EQ(entry(t, i), want[size_t(i)]) << i;
  EXPECT_EQ(kvniFreeHuffmanTable_DV_32u(t), KVN_STS_OK);

  const Kvn32s none[] = {0, 0, 0}, wide[3 + 16] = {16};  // 2^0 entries; the widest parts
  ASSERT_EQ(kvniInitAllocHuffmanTable_DV_32u(none, none, &t), KVN_STS_OK);
  EXPECT_TRUE(entry(t, 0) == entry(t, 1) && entry(t, 1) == (std::vector<int>{255, 0, 0}));
  EXPECT_EQ(kvniHuffmanTableFree_32s(t), KVN_STS_OK);  // the same release
  ASSERT_EQ(kvniInitAllocHuffmanTable_DV_32u(wide, wide, &t), KVN_STS_OK);
  EXPECT_EQ(entry(t, (2 << 16) - 1), (std::vector<int>{255, 0, 0}));
  EXPECT_EQ(kvniFreeHuffmanTable_DV_32u(t), KVN_STS_OK);
}

// Codes of any value stay inside their part (every code of each length, its
// high bits set: the longest fill last); widths above 16 and counts no code
// length allows are refused before anything is obtained or written.
TEST(DvHuffmanTable, HostileSources) {
  std::vector<Kvn32s> full = {4, 0, 0};
  for (int len = 1; len <= 4; ++len) {
    full.push_back(1 << len);
    for (int c = 0; c < (1 << len); ++c) full.insert(full.end(), {c | -16, len, -c});
  }
  KvnHuffmanTable* t = nullptr;
  ASSERT_EQ(kvniInitAllocHuffmanTable_DV_32u(full.data(), full.data(), &t), KVN_STS_OK);
  for (int i = 0; i < 32; ++i) EXPECT_EQ(entry(t, i)[0], i < 16 ? 4 : 8) << i;
  kvniFreeHuffmanTable_DV_32u(t);

  const Kvn32s ok[] = {1, 0, 0, 1, 0, 0, 1};
  KvnHuffmanTable* const untouched = reinterpret_cast<KvnHuffmanTable*>(0x10);
  const std::vector<std::pair<std::vector<Kvn32s>, KvnResult>> bad = {
      {{17, 0, 0}, KVN_STS_SIZE_ERR},        {{-1, 0, 0}, KVN_STS_SIZE_ERR},
      {{INT32_MIN}, KVN_STS_SIZE_ERR},       {{1, 0, 0, 3}, KVN_STS_VLC_CODE_ERR},
      {{2, 0, 0, -1}, KVN_STS_VLC_CODE_ERR}, {{2, 0, 0, 0, 5}, KVN_STS_VLC_CODE_ERR}};
  for (const auto& [src, status] : bad) {
    t = untouched;
    EXPECT_EQ(kvniInitAllocHuffmanTable_DV_32u(src.data(), ok, &t), status) << src[0];
    EXPECT_EQ(kvniInitAllocHuffmanTable_DV_32u(ok, src.data(), &t), status) << src[0];
    EXPECT_EQ(t, untouched);
  }
  EXPECT_EQ(kvniInitAllocHuffmanTable_DV_32u(nullptr, ok, &t), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniInitAllocHuffmanTable_DV_32u(ok, nullptr, &t), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniInitAllocHuffmanTable_DV_32u(bad[0].first.data(), ok, nullptr), KVN_STS_NULL_PTR);  // nulls first
  EXPECT_EQ(t, untouched);
  EXPECT_EQ(kvniFreeHuffmanTable_DV_32u(nullptr), KVN_STS_NULL_PTR);
}

}  // namespace
