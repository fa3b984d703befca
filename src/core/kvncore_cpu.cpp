// kvncore: processor features, largest cache and hardware thread count.
#include "kvncore.h"

#include "cpu_features.h"

#include <cpuid.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>

namespace {

using kvn::cpu::cpuid;
using kvn::cpu::max_leaf;
using kvn::cpu::Regs;

// Walks the deterministic cache parameters (leaf 4 on Intel, 0x8000001D on
// AMD): size = ways * partitions * line size * sets.
int64_t largest_cache_from_leaf(unsigned leaf) {
  int64_t best = 0;
  for (unsigned sub = 0; sub < 16; ++sub) {
    const Regs r = cpuid(leaf, sub);
    const unsigned type = r.a & 0x1f;
    if (type == 0) break;
    if (type == 2) continue;  // instruction cache
    const int64_t ways = ((r.b >> 22) & 0x3ff) + 1;
    const int64_t parts = ((r.b >> 12) & 0x3ff) + 1;
    const int64_t line = (r.b & 0xfff) + 1;
    const int64_t sets = int64_t(r.c) + 1;
    best = std::max(best, ways * parts * line * sets);
  }
  return best;
}

int64_t detect_largest_cache() {
  int64_t size = 0;
  const Regs vendor = cpuid(0);
  const bool amd = vendor.b == 0x68747541u;  // "Auth"enticAMD
  if (amd) {
    // Topology extensions (CPUID 0x80000001 ECX bit 22) provide leaf 0x8000001D.
    if (max_leaf(0x80000000u) >= 0x8000001Du && (cpuid(0x80000001u).c & (1u << 22)))
      size = largest_cache_from_leaf(0x8000001Du);
    if (size == 0 && max_leaf(0x80000000u) >= 0x80000006u) {
      const Regs r = cpuid(0x80000006u);
      size = std::max<int64_t>(int64_t(r.d >> 18) * 512 * 1024, int64_t(r.c >> 16) * 1024);
    }
  } else if (max_leaf(0) >= 4) {
    size = largest_cache_from_leaf(4);
  }
  if (size == 0) {
    for (int name : {_SC_LEVEL4_CACHE_SIZE, _SC_LEVEL3_CACHE_SIZE, _SC_LEVEL2_CACHE_SIZE, _SC_LEVEL1_DCACHE_SIZE}) {
      size = std::max<int64_t>(size, sysconf(name));
    }
  }
  return std::min<int64_t>(size, INT32_MAX);
}

}  // namespace

// Both queries ask the processor on every call: they are made rarely (the
// library asks for the features once, at load time) and keep no state.
extern "C" KVN_API uint64_t kvnGetEnabledCpuFeatures(void) { return kvn::cpu::detect_features(); }

extern "C" KVN_API KvnResult kvnGetMaxCacheSizeB(int32_t* pSizeByte) {
  if (!pSizeByte) return KVN_STS_NULL_PTR;
  const int64_t size = detect_largest_cache();
  if (size <= 0) return KVN_STS_ERR;
  *pSizeByte = static_cast<int32_t>(size);
  return KVN_STS_OK;
}

extern "C" KVN_API int32_t ownGetNumThreads(void) {
  const long n = sysconf(_SC_NPROCESSORS_ONLN);
  return n < 1 ? 1 : n > INT32_MAX ? INT32_MAX : static_cast<int32_t>(n);
}
