// The state-object helper, with an allocator that fails on demand.
#include "core/state.h"

#include <gtest/gtest.h>

#include "support/failing_alloc.h"

namespace {

constexpr uint32_t kId = kvn::state_id('T', 'E', 'S', 'T');

struct Owned {
  uint32_t id;
  void* buffer;
};

KvnResult init_owned(void* p, KvnResult status) {
  auto* s = static_cast<Owned*>(p);
  if (status != KVN_STS_OK) return status;
  s->buffer = kvnMalloc(100);
  if (!s->buffer) return KVN_STS_MEM_ALLOC;
  kvn::state_stamp(s, kId);
  return KVN_STS_OK;
}

class StateHelper : public ::testing::Test {
 protected:
  void TearDown() override {
    kvntest::fail_allocations_after(-1);
    EXPECT_EQ(kvntest::live_allocations(), 0) << "a block was leaked";
  }
};

TEST_F(StateHelper, InitAllocThenFreeReleasesEverything) {
  void* state = nullptr;
  ASSERT_EQ(kvn::state_init_alloc(&state, sizeof(Owned), KVN_STS_MEM_ALLOC,
                                  [](void* p) { return init_owned(p, KVN_STS_OK); }),
            KVN_STS_OK);
  ASSERT_NE(state, nullptr);
  EXPECT_TRUE(kvn::state_has_id(state, kId));
  EXPECT_EQ(kvntest::live_allocations(), 2);
  EXPECT_EQ(kvn::state_free(state, kId, [](void* p) { kvnFree(static_cast<Owned*>(p)->buffer); }), KVN_STS_OK);
}

TEST_F(StateHelper, AllocationFailureReportsTheCallersStatusAndStoresNothing) {
  void* state = reinterpret_cast<void*>(0x1234);
  kvntest::fail_allocations_after(0);
  EXPECT_EQ(kvn::state_init_alloc(&state, 64, KVN_STS_NO_MEMORY, [](void*) { return KVN_STS_OK; }), KVN_STS_NO_MEMORY);
  EXPECT_EQ(state, reinterpret_cast<void*>(0x1234));
}

TEST_F(StateHelper, FailedInitReleasesTheBlock) {
  void* state = nullptr;
  // Init's own allocation fails: the state block is released again.
  kvntest::fail_allocations_after(1);
  EXPECT_EQ(kvn::state_init_alloc(&state, sizeof(Owned), KVN_STS_MEM_ALLOC,
                                  [](void* p) { return init_owned(p, KVN_STS_OK); }),
            KVN_STS_MEM_ALLOC);
  EXPECT_EQ(state, nullptr);
  // A warning from Init means the state was not built either.
  kvntest::fail_allocations_after(-1);
  EXPECT_EQ(kvn::state_init_alloc(&state, sizeof(Owned), KVN_STS_MEM_ALLOC,
                                  [](void* p) { return init_owned(p, KVN_STS_WRN_MISALIGNED); }),
            KVN_STS_WRN_MISALIGNED);
  EXPECT_EQ(state, nullptr);
}

TEST_F(StateHelper, SizeBelowOneIsNeverPassedToTheAllocator) {
  void* state = nullptr;
  bool ran = false;
  EXPECT_EQ(kvn::state_init_alloc(&state, 0, KVN_STS_MEM_ALLOC,
                                  [&](void*) {
                                    ran = true;
                                    return KVN_STS_OK;
                                  }),
            KVN_STS_MEM_ALLOC);
  EXPECT_FALSE(ran);
}

TEST_F(StateHelper, FreeChecksNullAndIdentification) {
  EXPECT_EQ(kvn::state_free(nullptr, kId), KVN_STS_NULL_PTR);
  Owned foreign{kvn::state_id('O', 'T', 'H', 'R'), nullptr};
  EXPECT_EQ(kvn::state_free(&foreign, kId), KVN_STS_CONTEXT_MISMATCH);
  EXPECT_EQ(foreign.id, kvn::state_id('O', 'T', 'H', 'R'));
}

}  // namespace
