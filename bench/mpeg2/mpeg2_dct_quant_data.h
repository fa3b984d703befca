// Blocks shared by the MPEG-2 quantisation and DCT benchmarks: natural image
// content (a smooth gradient with noise) as samples, its coefficients, and
// typical inverse-quantised blocks for the inverse DCTs.
#pragma once

#include <cstdint>
#include <cstring>

namespace kvnbench {

struct Mpeg2Blocks {
  static constexpr int kStep = 64;
  static constexpr int kQ = 8;
  alignas(16) uint8_t samples[8 * kStep];
  alignas(16) uint8_t out8[8 * kStep];
  alignas(16) int16_t out16[8 * kStep];
  alignas(16) int16_t coef[64], coef2[64];   // dense: the full path
  alignas(16) int16_t work[64], levels[64];  // quantiser input (restored each call) and output
  alignas(16) float recip[64];
  alignas(16) uint16_t weights[64];

  Mpeg2Blocks() {
    uint32_t s = 12345;
    const auto next = [&s] { return (s = s * 1103515245u + 12345u) >> 16; };
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < kStep; ++x) samples[y * kStep + x] = uint8_t(60 + 8 * y + x + int(next() % 23));
    for (int i = 0; i < 64; ++i) {
      const int r = int(next() % 200) - 100;
      coef[i] = int16_t(i == 0 ? 900 : (i % 3 == 0 ? r : r / 8));
      coef2[i] = int16_t(i == 0 ? -300 : r / 4);
      weights[i] = uint16_t(16 + (i % 8) + (i / 8) * 3);
      recip[i] = 1.0f / float(weights[i]);
      levels[i] = int16_t(r * 6);
    }
  }
  // A fresh block for an in-place call.
  int16_t* fresh() {
    std::memcpy(work, levels, sizeof work);
    return work;
  }
};

}  // namespace kvnbench
