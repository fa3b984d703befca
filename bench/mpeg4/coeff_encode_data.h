// Blocks of the MPEG-4 / H.263 / H.261 coefficient writer benchmarks:
// quantised 8x8 blocks with the statistics of typical material (intra: a DC
// and about ten AC levels, inter: a few levels; mostly +-1 and +-2 at low
// frequencies in zigzag order, some larger, an occasional escape).
#pragma once

#include <cstdint>
#include <vector>

namespace coeffbench {

constexpr int kBlocks = 1024;

constexpr uint8_t kZigzag[64] = {
    0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,  12, 19, 26, 33, 40, 48,
    41, 34, 27, 20, 13, 6,  7,  14, 21, 28, 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23,
    30, 37, 44, 51, 58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63,
};

struct Block {
  int16_t v[64];
  int count;  // non-zero levels from position 1 (intra) or 0 (inter)
};

inline std::vector<Block> make_blocks(bool intra, uint32_t seed) {
  std::vector<Block> out(kBlocks);
  uint32_t s = seed;
  auto rnd = [&s](uint32_t n) {
    s = s * 1664525u + 1013904223u;
    return (s >> 8) % n;
  };
  for (Block& b : out) {
    for (int16_t& x : b.v) x = 0;
    b.count = 0;
    int p = intra ? 0 : -1;
    const int n = 1 + int(rnd(intra ? 16 : 6));
    for (int i = 0; i < n; ++i) {
      p += 1 + int(rnd(4) == 0 ? rnd(10) : rnd(3));
      if (p > 63) break;
      const uint32_t r = rnd(100);
      int level = r < 60 ? 1 : r < 85 ? 2 : r < 98 ? 3 + int(rnd(6)) : 15 + int(rnd(100));
      if (rnd(2)) level = -level;
      b.v[kZigzag[p]] = int16_t(level);
      ++b.count;
    }
    if (intra) b.v[0] = int16_t(1 + rnd(254));
  }
  return out;
}

}  // namespace coeffbench
