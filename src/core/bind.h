// The load-time binding of exported names to their bodies (included only by
// the file generated from the export list; see kvn_generate_exports in
// cmake/KvnKernels.cmake).
//
// KVN_BIND(name, body) makes name an indirect function whose resolver returns
// the body of the best level this processor supports. Resolvers run while the
// loader relocates, before any constructor and before a sanitizer's runtime
// is set up: they ask the processor directly, call nothing, keep no state, and
// this file is compiled without instrumentation.
#pragma once

#include "core/cpu_cap.h"
#include "core/cpu_features.h"
#include "core/dispatch.h"
#include "kvn_bodies.h"

namespace kvn {

// The best level of this processor, as Isa's index, within the KVNVC_CPU cap.
inline int bound_level() {
  const uint64_t f = cpu::detect_features();
  const int cap = level_cap();
  int best = 0;
  for (int i = 1; i <= cap; ++i)
    if (isa_supported(Isa(i), f)) best = i;
  return best;
}

template <class Fn>
inline Fn pick_body(Fn c, [[maybe_unused]] Fn sse2, [[maybe_unused]] Fn sse41, [[maybe_unused]] Fn avx2,
                    [[maybe_unused]] Fn avx512) {
#if defined(KVNVC_NO_SIMD)
  return c;
#else
  const Fn bodies[int(Isa::kCount)] = {c, sse2, sse41, avx2, avx512};
  return bodies[bound_level()];
#endif
}

}  // namespace kvn

// The bodies of every level; top is the highest level the body's file is
// compiled at (3 where its families have no AVX-512 kernels: the AVX2 body
// serves that level too).
#if defined(KVNVC_NO_SIMD)
#define KVN_BODIES_OF(body, top) kvn_body_##body##_0, nullptr, nullptr, nullptr, nullptr
#else
#define KVN_BODIES_OF(body, top) \
  kvn_body_##body##_0, kvn_body_##body##_1, kvn_body_##body##_2, kvn_body_##body##_3, kvn_body_##body##_##top
#endif

#define KVN_BIND(name, body, top)                                       \
  extern "C" decltype(&name) kvn_resolve_##name() {                     \
    return ::kvn::pick_body<decltype(&name)>(KVN_BODIES_OF(body, top)); \
  }                                                                     \
  extern "C" __attribute__((visibility("default"), ifunc("kvn_resolve_" #name))) decltype(name) name
