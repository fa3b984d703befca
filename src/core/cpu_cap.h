// KVNVC_CPU, the environment variable that caps the kernel level the library
// chooses when it is loaded: "c" (the scalar kernels), "sse2", "sse41",
// "avx2" or "avx512". Any other value, or none, leaves the choice to the processor. Used
// to bisect a mismatch between levels, or to time one level on a processor
// that has a better one. Read by the load-time binding, which runs before any
// constructor: it walks the environment itself and calls nothing.
#pragma once

#include <unistd.h>

#include "core/dispatch.h"

namespace kvn {

// The levels' names, by Isa: those KVNVC_CPU takes, and the labels of tests
// and benchmarks (isa_name).
inline constexpr const char* kIsaNames[int(Isa::kCount)] = {"c", "sse2", "sse41", "avx2", "avx512"};

// The highest level allowed by the environment `env` (a null-terminated
// array of "NAME=value" strings, as `environ`).
inline int level_cap(const char* const* env) {
  constexpr char kVar[] = "KVNVC_CPU=";
  for (; env && *env; ++env) {
    const char* e = *env;
    int i = 0;
    while (kVar[i] && e[i] == kVar[i]) ++i;
    if (kVar[i]) continue;
    const char* value = e + i;
    for (int level = 0; level < int(Isa::kCount); ++level) {
      const char* n = kIsaNames[level];
      int j = 0;
      while (n[j] && value[j] == n[j]) ++j;
      if (!n[j] && !value[j]) return level;
    }
    break;  // an unknown value caps nothing
  }
  return int(Isa::kCount) - 1;
}

// The cap of this process.
inline int level_cap() { return level_cap(environ); }

}  // namespace kvn
