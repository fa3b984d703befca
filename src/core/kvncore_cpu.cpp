// kvncore: processor features, largest cache and hardware thread count.
#include "kvncore.h"

#include <cpuid.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>

namespace {

struct Regs {
  unsigned a, b, c, d;
};

Regs cpuid(unsigned leaf, unsigned sub = 0) {
  Regs r{};
  __cpuid_count(leaf, sub, r.a, r.b, r.c, r.d);
  return r;
}

unsigned max_leaf(unsigned base) { return __get_cpuid_max(base, nullptr); }

uint64_t xgetbv0() {
  unsigned lo, hi;
  __asm__ volatile("xgetbv" : "=a"(lo), "=d"(hi) : "c"(0));
  return (uint64_t(hi) << 32) | lo;
}

uint64_t detect_features() {
  uint64_t f = 0;
  if (max_leaf(0) < 1) return f;
  const Regs l1 = cpuid(1);
  if (l1.d & (1u << 26)) f |= KVN_CPU_SSE2;
  if (l1.c & (1u << 0)) f |= KVN_CPU_SSE3;
  if (l1.c & (1u << 9)) f |= KVN_CPU_SSSE3;
  if (l1.c & (1u << 19)) f |= KVN_CPU_SSE41;
  if (l1.c & (1u << 20)) f |= KVN_CPU_SSE42;
  if (l1.c & (1u << 23)) f |= KVN_CPU_POPCNT;

  // AVX state must be enabled by the operating system (XCR0 bits 1, 2), and
  // the AVX-512 state too (bits 5, 6, 7) before those features count.
  const bool osxsave = l1.c & (1u << 27);
  const uint64_t xcr0 = osxsave ? xgetbv0() : 0;
  const bool ymm = (xcr0 & 0x6) == 0x6;
  const bool zmm = ymm && (xcr0 & 0xe0) == 0xe0;
  if (ymm && (l1.c & (1u << 28))) f |= KVN_CPU_AVX;
  if (ymm && (l1.c & (1u << 12))) f |= KVN_CPU_FMA3;

  if (max_leaf(0) >= 7) {
    const Regs l7 = cpuid(7, 0);
    if (l7.b & (1u << 3)) f |= KVN_CPU_BMI1;
    if (l7.b & (1u << 8)) f |= KVN_CPU_BMI2;
    if ((f & KVN_CPU_AVX) && (l7.b & (1u << 5))) f |= KVN_CPU_AVX2;
    if (zmm && (l7.b & (1u << 16))) {
      f |= KVN_CPU_AVX512F;
      if (l7.b & (1u << 30)) f |= KVN_CPU_AVX512BW;
      if (l7.b & (1u << 17)) f |= KVN_CPU_AVX512DQ;
      if (l7.b & (1u << 31)) f |= KVN_CPU_AVX512VL;
    }
  }
  if (max_leaf(0x80000000u) >= 0x80000001u) {
    if (cpuid(0x80000001u).c & (1u << 5)) f |= KVN_CPU_LZCNT;
  }
  return f;
}

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
extern "C" KVN_API uint64_t kvnGetEnabledCpuFeatures(void) { return detect_features(); }

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
