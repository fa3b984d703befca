// The MPEG-1/MPEG-2 table builders when memory runs out: each allocation in
// turn fails, the builder reports KVN_STS_MEM_ALLOC, stores no table and
// leaks nothing; tables too large for their links are refused the same way.
#include <gtest/gtest.h>

#include "core/entry.h"
#include "mpeg2_vlc_tables.h"
#include "support/failing_alloc.h"

namespace {

using kvnsupport::Mpeg2DctTable;

class Mpeg2VlcAlloc : public ::testing::Test {
 protected:
  void TearDown() override {
    kvntest::fail_allocations_after(-1);
    EXPECT_EQ(kvntest::live_allocations(), 0) << "a block was leaked";
  }
};

using Builder = KvnResult (*)(const Kvn32s*, Kvn32s**);

TEST_F(Mpeg2VlcAlloc, EveryAllocationFailureIsReported) {
  const std::vector<int32_t> dct = kvnsupport::mpeg2_dct_source(Mpeg2DctTable::kB14);
  const std::vector<int32_t> dc = kvnsupport::mpeg2_dc_size_source(false);
  const struct {
    Builder build;
    const std::vector<int32_t>* src;
  } cases[] = {
      {KVN_BODY(kvniHuffmanTableInitAlloc_32s, 0), &dc},
      {KVN_BODY(kvniHuffmanRunLevelTableInitAlloc_32s, 0), &dct},
      {KVN_BODY(kvniCreateRLEncodeTable, 0), &dct},
  };
  for (const auto& c : cases) {
    int allocations = 0;
    for (;; ++allocations) {  // a temporary array, then the table
      kvntest::fail_allocations_after(allocations);
      Kvn32s* t = reinterpret_cast<Kvn32s*>(0x1);
      const KvnResult st = c.build(c.src->data(), &t);
      kvntest::fail_allocations_after(-1);
      if (st == KVN_STS_OK) {
        EXPECT_EQ(kvntest::live_allocations(), 1);
        EXPECT_EQ(KVN_BODY(kvniHuffmanTableFree_32s, 0)(t), KVN_STS_OK);
        break;
      }
      EXPECT_EQ(st, KVN_STS_MEM_ALLOC);
      EXPECT_EQ(t, reinterpret_cast<Kvn32s*>(0x1));
      EXPECT_EQ(kvntest::live_allocations(), 0);
    }
    EXPECT_EQ(allocations, 2);
  }
}

// n codes of 17 bits with distinct 16-bit prefixes and stages of 16 and 16
// bits: (n + 1) * (2^16 + 1) words, beyond 2^23 from n = 127 on.
TEST_F(Mpeg2VlcAlloc, TablesBeyondTheLinksReachAreRefused) {
  auto source = [](int n) {
    std::vector<int32_t> src = {0, 2, 16, 16};
    src.resize(src.size() + 16, 0);
    src.push_back(n);
    for (int i = 0; i < n; ++i) src.insert(src.end(), {i << 1, i});
    src.push_back(-1);
    return src;
  };
  Kvn32s* t = nullptr;
  EXPECT_EQ(KVN_BODY(kvniHuffmanTableInitAlloc_32s, 0)(source(127).data(), &t), KVN_STS_MEM_ALLOC);
  EXPECT_EQ(t, nullptr);
  ASSERT_EQ(KVN_BODY(kvniHuffmanTableInitAlloc_32s, 0)(source(126).data(), &t), KVN_STS_OK);
  EXPECT_EQ(t[0], 16);
  EXPECT_EQ(t[1], (1 + 65536) << 8 | 128);
  EXPECT_EQ(KVN_BODY(kvniHuffmanTableFree_32s, 0)(t), KVN_STS_OK);
}

}  // namespace
