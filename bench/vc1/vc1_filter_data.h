// Buffers shared by the VC-1 smoothing and loop filter benchmarks: an 8-bit
// picture of 32x32 samples with block edges of small steps (most lines get
// filtered at the benchmark's PQUANT), and 16-bit intra blocks of a
// macroblock row around it. The smoothing runs in place on the same buffers
// (its work does not depend on the data); the loop filter's does (lines that
// are not filtered are skipped), so each loop-filter call first restores the
// two lines P4, P5 it may write (restore_hor, restore_ver: a few ns, timed
// alone as "RestoreEdge").
#pragma once

#include <cstdint>
#include <cstring>

namespace kvnbench {

struct Vc1Picture {
  static constexpr int kStep = 64;    // bytes
  static constexpr int kStep16 = 64;  // bytes: 32 16-bit samples a row
  static constexpr uint32_t kPquant = 8;
  alignas(16) uint8_t picture[32 * kStep];
  alignas(16) int16_t blocks[32 * 32];  // 32x32 16-bit samples, 64 bytes a row
  alignas(16) uint8_t pristine[32 * kStep];
  alignas(16) uint8_t smoothed[32 * kStep];  // the smoothing's destination, apart from the loop filter's picture

  Vc1Picture() {
    uint32_t s = 977;
    const auto next = [&s] { return (s = s * 1103515245u + 12345u) >> 16; };
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < kStep; ++x)
        picture[y * kStep + x] = uint8_t(90 + 3 * ((y / 8 + x / 8) & 1) + int(next() % 3));
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 32; ++x) blocks[y * 32 + x] = int16_t(100 + 7 * ((y / 8) ^ (x / 8)) + int(next() % 9) - 4);
    std::memcpy(pristine, picture, sizeof picture);
  }
  // Rows -1 and 0 of the edge at p, `bytes` wide, as they were.
  uint8_t* restore_hor(uint8_t* p, int bytes) {
    const std::ptrdiff_t o = p - picture;
    std::memcpy(p - kStep, pristine + o - kStep, size_t(bytes));
    std::memcpy(p, pristine + o, size_t(bytes));
    return p;
  }
  // Bytes -unit .. unit - 1 of `rows` rows from p on, as they were.
  template <int Unit>
  uint8_t* restore_ver(uint8_t* p, int rows) {
    const std::ptrdiff_t o = p - picture;
    for (int r = 0; r < rows; ++r) std::memcpy(p + r * kStep - Unit, pristine + o + r * kStep - Unit, 2 * Unit);
    return p;
  }
  // First sample after the edges at (16, 8): below the horizontal one, right of the vertical one.
  uint8_t* edge() { return picture + 8 * kStep + 16; }
  // 16-bit block pointers around the vertical edge at x = 16 and the horizontal one at y = 8.
  int16_t* left() { return blocks + 8 * 32 + 14; }
  int16_t* right() { return blocks + 8 * 32 + 16; }
  int16_t* upper() { return blocks + 6 * 32 + 8; }
  int16_t* lower() { return blocks + 8 * 32 + 8; }
  uint8_t* ver_dst() { return smoothed + 8 * kStep + 16; }
  uint8_t* hor_dst() { return smoothed + 8 * kStep + 8; }
};

}  // namespace kvnbench
