// Inputs of the H.264 4x4 benchmarks: an inter residual, sparse levels, a
// prediction block and luma DC values of typical magnitude.
#pragma once

#include <cstdint>

namespace kvnbench {

struct H264Blocks {
  alignas(16) int16_t residual[16] = {12, -7, 3, 0, -15, 22, -4, 1, 6, -2, 9, -11, 0, 4, -6, 18};
  alignas(16) int16_t levels[16] = {5, -2, 1, 0, 1, 0, 0, 0, -1, 0, 0, 0, 0, 0, 0, 0};
  alignas(16) int16_t dc[16] = {410, 380, 395, 402, 377, 366, 390, 415, 401, 399, 372, 360, 388, 407, 412, 398};
  alignas(16) int16_t scan[16] = {0, 1, 5, 6, 2, 4, 7, 12, 3, 8, 11, 13, 9, 10, 14, 15};
  alignas(16) int16_t out[16];
  alignas(16) int16_t work[16];
  alignas(16) uint8_t pred[4 * 64];
  uint8_t pad[1024 + 64];
  alignas(16) uint8_t dst[4 * 64];
  H264Blocks() {
    for (int i = 0; i < 4 * 64; ++i) pred[i] = uint8_t(60 + (i * 37) % 120);
  }
  static constexpr int kStep = 64;
};

}  // namespace kvnbench
