// What the fuzz targets share: CHECK, which stops the run on a broken
// property (libFuzzer then reports the input), and the process's one guard
// page, behind which the targets place the bitstream's last byte.
#pragma once

#include <cstddef>

#include "guard_page.h"

#define CHECK(c)                \
  do {                          \
    if (!(c)) __builtin_trap(); \
  } while (0)

namespace kvnfuzz {

inline kvntest::GuardPage& guarded() {
  static kvntest::GuardPage g(std::size_t(64) << 12);
  return g;
}

}  // namespace kvnfuzz
