// Blocks of the MPEG-1/MPEG-2 VLC benchmarks: quantised 8x8 blocks with the
// statistics of typical MPEG-2 material (a few levels, mostly +-1 and +-2,
// at low frequencies in zigzag order; some larger, an occasional escape).
#pragma once

#include <cstdint>
#include <vector>

#include "mpeg2_vlc_tables.h"

namespace mpeg2bench {

constexpr int kBlocks = 1024;

struct Block {
  int16_t v[64];
  int count;  // non-zero levels (non-intra: all; intra: AC)
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
    const int n = 1 + int(rnd(intra ? 12 : 8));
    for (int i = 0; i < n; ++i) {
      p += 1 + int(rnd(4) == 0 ? rnd(12) : rnd(3));
      if (p > 63) break;
      const uint32_t r = rnd(100);
      int level = r < 60 ? 1 : r < 85 ? 2 : r < 97 ? 3 + int(rnd(6)) : 20 + int(rnd(200));
      if (rnd(2)) level = -level;
      b.v[kvnsupport::kMpeg2Zigzag[p]] = int16_t(level);
      ++b.count;
    }
    if (intra) b.v[0] = int16_t(rnd(256));
  }
  return out;
}

}  // namespace mpeg2bench
