// Processor features from CPUID and XGETBV, shared by the core library's
// query and the library's load-time binding (which runs before any
// constructor, so it asks the processor itself and calls nothing).
#pragma once

#include <cpuid.h>

#include <cstdint>

#include "kvncore.h"

namespace kvn {
namespace cpu {

struct Regs {
  unsigned a, b, c, d;
};

inline Regs cpuid(unsigned leaf, unsigned sub = 0) {
  Regs r{};
  __cpuid_count(leaf, sub, r.a, r.b, r.c, r.d);
  return r;
}

inline unsigned max_leaf(unsigned base) { return __get_cpuid_max(base, nullptr); }

inline uint64_t xgetbv0() {
  unsigned lo, hi;
  __asm__ volatile("xgetbv" : "=a"(lo), "=d"(hi) : "c"(0));
  return (uint64_t(hi) << 32) | lo;
}

inline uint64_t detect_features() {
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

}  // namespace cpu
}  // namespace kvn
