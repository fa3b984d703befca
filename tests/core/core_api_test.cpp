// The core library through its exported names.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <thread>
#include <vector>

#include "kvncore.h"

namespace {

TEST(CoreMalloc, ReturnsWritableAlignedBlocks) {
  for (int32_t n : {1, 3, 64, 65, 4096, 1 << 20}) {
    auto* p = static_cast<uint8_t*>(kvnMalloc(n));
    ASSERT_NE(p, nullptr) << n;
    EXPECT_EQ(reinterpret_cast<uintptr_t>(p) % 64, 0u);
    std::memset(p, 0xa5, std::size_t(n));
    kvnFree(p);
  }
}

TEST(CoreMalloc, CountBelowOneGivesNull) {
  EXPECT_EQ(kvnMalloc(0), nullptr);
  EXPECT_EQ(kvnMalloc(-1), nullptr);
  kvnFree(nullptr);  // ignored
}

TEST(CoreMalloc, SafeFromSeveralThreads) {
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([] {
      for (int i = 0; i < 2000; ++i) {
        void* p = kvnMalloc(1 + i % 500);
        ASSERT_NE(p, nullptr);
        kvnFree(p);
      }
    });
  for (auto& th : threads) th.join();
}

TEST(CoreAlign, RoundsUpToTheAlignment) {
  uint8_t buf[64];
  for (int off = 0; off < 16; ++off) {
    uint8_t* p = buf + off;
    auto* q = static_cast<uint8_t*>(kvnAlignPtr(p, 4));
    EXPECT_GE(q, p);
    EXPECT_LT(q - p, 4);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(q) % 4, 0u);
    auto* r = static_cast<uint8_t*>(kvnAlignPtr(p, 16));
    EXPECT_EQ(reinterpret_cast<uintptr_t>(r) % 16, 0u);
    EXPECT_LT(r - p, 16);
  }
}

TEST(CoreMachine, CacheThreadsAndFeatures) {
  int32_t cache = 0;
  EXPECT_EQ(kvnGetMaxCacheSizeB(nullptr), KVN_STS_NULL_PTR);
  ASSERT_EQ(kvnGetMaxCacheSizeB(&cache), KVN_STS_OK);
  EXPECT_GE(cache, 64 * 1024);  // no x86-64 processor has a smaller largest cache
  EXPECT_GE(ownGetNumThreads(), 1);
  const uint64_t f = kvnGetEnabledCpuFeatures();
  EXPECT_TRUE(f & KVN_CPU_SSE2);  // part of x86-64
  if (f & KVN_CPU_AVX2) {
    EXPECT_TRUE(f & KVN_CPU_AVX);
  }
  if (f & KVN_CPU_SSE41) {
    EXPECT_TRUE(f & KVN_CPU_SSSE3);
  }
  EXPECT_EQ(f, kvnGetEnabledCpuFeatures());
}

}  // namespace
