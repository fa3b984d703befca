// Blocks shared by the MPEG-4/H.263 quantiser and edge filter benchmarks:
// coefficients of natural content (a large DC, decaying AC), levels as a
// decoder meets them, a weighting matrix, and a picture with block edges.
#pragma once

#include <cstdint>
#include <cstring>

namespace kvnbench {

struct Mpeg4Blocks {
  static constexpr int kStep = 64;
  static constexpr int kQ = 6;
  alignas(16) int16_t coefs[64], levels[64], work[64];
  alignas(16) uint8_t matrix[64];
  alignas(16) uint8_t picture[32 * kStep];

  Mpeg4Blocks() {
    uint32_t s = 4321;
    const auto next = [&s] { return (s = s * 1103515245u + 12345u) >> 16; };
    for (int i = 0; i < 64; ++i) {
      const int r = int(next() % 400) - 200, fall = 1 + (i / 8) + (i % 8);
      coefs[i] = int16_t(i == 0 ? 1100 : r * 4 / fall);
      levels[i] = int16_t(i == 0 ? 90 : (i < 24 ? r / 20 : 0));
      matrix[i] = uint8_t(16 + (i % 8) * 2 + (i / 8) * 3);
    }
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < kStep; ++x)
        picture[y * kStep + x] = uint8_t(70 + 9 * (y / 8) + 5 * (x / 8) + int(next() % 7));
  }
  int16_t* fresh_coefs() {
    std::memcpy(work, coefs, sizeof work);
    return work;
  }
  int16_t* fresh_levels() {
    std::memcpy(work, levels, sizeof work);
    return work;
  }
  // The first sample after the horizontal and the vertical edge at (8, 8).
  uint8_t* edge() { return picture + 8 * kStep + 8; }
};

}  // namespace kvnbench
