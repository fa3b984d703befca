// What every exported body includes: the public types, the generated body
// declarations (which give each body the exact type of its public prototype,
// so a definition that drifts from the header fails to compile), and the
// argument checks every entry starts with.
//
// A file of entries is compiled once for each instruction-set level
// (KVN_ENTRY_LEVEL: 0 scalar, 1 SSE2, 2 SSE4.1, 3 AVX2, 4 AVX-512; the build generates
// the files of the SIMD levels, each compiled for its instruction set), and
// each compilation defines the bodies of its level: kvn_body_<name>_<level>.
#pragma once

#include "kvn_bodies.h"
#include "kvnvc.h"

#include <type_traits>

namespace kvn {

// The result type of an exported function type.
template <class F>
struct EntryResult;
template <class R, class... A>
struct EntryResult<R(A...)> {
  using type = R;
};

// 0 <= v <= max, negative values included in the one unsigned comparison.
constexpr bool in_range(int32_t v, uint32_t max) { return uint32_t(v) <= max; }

template <class... P>
constexpr bool any_null(const P*... p) {
  return ((p == nullptr) || ...);
}

}  // namespace kvn

// Calls f(std::integral_constant<int, i>()) for 0 <= i < N (the caller keeps
// i in range), so that a kernel chosen by a run-time index (a mode, say) is
// still a compile-time slot: a few predictable branches instead of an
// indirect call, and a kernel the compiler may inline.
template <int N, class F, int I = 0>
__attribute__((always_inline)) inline decltype(auto) with_index(int i, F&& f) {
  if constexpr (I + 1 == N) {
    return f(std::integral_constant<int, I>());
  } else {
    if (i == I) return f(std::integral_constant<int, I>());
    return with_index<N, F, I + 1>(i, static_cast<F&&>(f));
  }
}

#ifndef KVN_ENTRY_LEVEL
#define KVN_ENTRY_LEVEL 0
#endif

// Defines the body of this file's level behind an exported name, with the
// result type of its public prototype:
//   KVN_ENTRY(kvniCopy8x8_8u_C1R)(args) { ... }
#define KVN_ENTRY(name) extern "C" ::kvn::EntryResult<decltype(name)>::type KVN_BODY(name, KVN_ENTRY_LEVEL)

// The kernel of a slot of a family's table for this file's level, e.g.
//   KVN_KERNEL(sad, sad_full[size])(src, srcStep, ref, refStep)
// (see level_kernel in core/dispatch.h).
#define KVN_KERNEL(family, slot) \
  family##_level_kernel<KVN_ENTRY_LEVEL>([&](const auto& kvn_table_) { return kvn_table_.slot; })

// Returns KVN_STS_NULL_PTR when any of the pointers is null.
#define KVN_CHECK_PTRS(...)                                    \
  do {                                                         \
    if (::kvn::any_null(__VA_ARGS__)) return KVN_STS_NULL_PTR; \
  } while (0)
