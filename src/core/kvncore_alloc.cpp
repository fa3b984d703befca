// kvncore: memory and pointer alignment.
#include "kvncore.h"

#include <cstdint>
#include <cstdlib>

namespace {
constexpr std::size_t kBlockAlignment = 64;  // a cache line: safe for any SIMD load
}

extern "C" KVN_API void* kvnMalloc(int32_t length) {
  if (length < 1) return nullptr;
  // aligned_alloc wants a size that is a multiple of the alignment.
  const std::size_t size = (static_cast<std::size_t>(length) + kBlockAlignment - 1) & ~(kBlockAlignment - 1);
  return std::aligned_alloc(kBlockAlignment, size);
}

extern "C" KVN_API void kvnFree(void* ptr) { std::free(ptr); }

extern "C" KVN_API void* kvnAlignPtr(void* ptr, int32_t alignBytes) {
  if (alignBytes <= 1) return ptr;
  const std::uintptr_t a = static_cast<std::uintptr_t>(alignBytes);
  const std::uintptr_t p = reinterpret_cast<std::uintptr_t>(ptr);
  // Powers of two round with a mask; anything else rounds arithmetically.
  const std::uintptr_t r = (a & (a - 1)) == 0 ? (p + a - 1) & ~(a - 1) : (p + a - 1) / a * a;
  return reinterpret_cast<void*>(r);
}
