// Test allocator: the real allocator, except that it can be told to fail.
#include "failing_alloc.h"

#include <atomic>
#include <cstdint>
#include <cstdlib>

#include "kvncore.h"

namespace {
std::atomic<int> g_fail_after{-1};  // test-only state: allocations left before failing; -1 never
std::atomic<int> g_live{0};
}  // namespace

namespace kvntest {
void fail_allocations_after(int n) { g_fail_after = n; }
int live_allocations() { return g_live; }
}  // namespace kvntest

extern "C" void* kvnMalloc(int32_t length) {
  if (length < 1) return nullptr;
  int left = g_fail_after.load();
  if (left == 0) return nullptr;
  if (left > 0) g_fail_after = left - 1;
  void* p = std::aligned_alloc(64, (std::size_t(length) + 63) & ~std::size_t(63));
  if (p) ++g_live;
  return p;
}

extern "C" void kvnFree(void* ptr) {
  if (ptr) --g_live;
  std::free(ptr);
}

extern "C" void* kvnAlignPtr(void* ptr, int32_t alignBytes) {
  const std::uintptr_t a = std::uintptr_t(alignBytes < 1 ? 1 : alignBytes);
  return reinterpret_cast<void*>((reinterpret_cast<std::uintptr_t>(ptr) + a - 1) / a * a);
}
