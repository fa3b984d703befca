// The DV Huffman table builder when memory runs out: KVN_STS_MEM_ALLOC, a
// null table stored, nothing leaked.
#include <gtest/gtest.h>

#include "core/entry.h"
#include "support/failing_alloc.h"

namespace {

TEST(DvHuffmanTableAlloc, FailureStoresNullAndLeaksNothing) {
  const Kvn32s src[] = {2, 0, 0, 1, 0, 0, 1, 0};
  KvnHuffmanTable* t = reinterpret_cast<KvnHuffmanTable*>(0x1);
  kvntest::fail_allocations_after(0);
  EXPECT_EQ(KVN_BODY(kvniInitAllocHuffmanTable_DV_32u, 0)(src, src, &t), KVN_STS_MEM_ALLOC);
  EXPECT_EQ(t, nullptr);
  kvntest::fail_allocations_after(-1);
  EXPECT_EQ(kvntest::live_allocations(), 0);
  ASSERT_EQ(KVN_BODY(kvniInitAllocHuffmanTable_DV_32u, 0)(src, src, &t), KVN_STS_OK);
  EXPECT_EQ(kvntest::live_allocations(), 1);
  EXPECT_EQ(KVN_BODY(kvniHuffmanTableFree_32s, 0)(t), KVN_STS_OK);
  EXPECT_EQ(kvntest::live_allocations(), 0);
}

}  // namespace
