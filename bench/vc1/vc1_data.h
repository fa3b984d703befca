// Blocks shared by the VC-1 transform and quantiser benchmarks: residuals of
// natural content, dense coefficients (the full inverse transform), a DC-only
// block, and levels for the inverse quantisers.
#pragma once

#include <cstdint>
#include <cstring>

namespace kvnbench {

struct Vc1Blocks {
  static constexpr int kStep = 16;  // bytes: 8 coefficients a row
  static constexpr int kQ = 9;
  alignas(16) int16_t residual[64];
  alignas(16) int16_t coef[64];    // dense
  alignas(16) int16_t dc[64];      // DC only
  alignas(16) int16_t levels[64];  // quantised, about a third nonzero
  alignas(16) int16_t out[64], work[64];

  Vc1Blocks() {
    uint32_t s = 4242;
    const auto next = [&s] { return (s = s * 1103515245u + 12345u) >> 16; };
    for (int i = 0; i < 64; ++i) {
      const int r = int(next() % 200) - 100;
      residual[i] = int16_t(r / 2 + (i % 8) * 3);
      coef[i] = int16_t(i == 0 ? 900 : r * 4);
      dc[i] = int16_t(i == 0 ? 700 : 0);
      levels[i] = int16_t(i % 3 == 0 ? r / 10 : 0);
    }
  }
  // A fresh block for an in-place call.
  int16_t* fresh(const int16_t* from) {
    std::memcpy(work, from, sizeof work);
    return work;
  }
};

}  // namespace kvnbench
