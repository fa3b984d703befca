// Data of the CAVLC benchmarks: a stream of residual blocks as an encoder of
// moderate quality makes them (1 to 16 coefficients a block, most levels
// small, trailing ones common, nonzero coefficients gathered at low
// frequencies, nC in step with the coefficient count), and 4x4 blocks to
// analyse: typical ones (a few low-frequency levels) and dense ones.
#pragma once

#include <cstdint>
#include <vector>

#include "cavlc_writer.h"
#include "h264_vlc_tables.h"

namespace cavlcbench {

constexpr int32_t kZigzag[16] = {0, 1, 4, 8, 5, 2, 3, 6, 9, 12, 13, 10, 7, 11, 14, 15};
// Enough blocks that the branch predictor cannot learn the sequence, as it
// would a short one replayed (which makes decoding look a third faster).
constexpr int kBlocks = 8192;
// Blocks of a macroblock's packed buffer: the decoders write into it over and
// over, as a decoder that reconstructs each macroblock before the next does.
constexpr int kBufferBlocks = 32;

inline uint32_t next(uint32_t& s) {
  s = s * 1664525u + 1013904223u;
  return s >> 8;
}

// A level: mostly +-1..3, sometimes up to 40, rarely up to 2000.
inline int32_t level(uint32_t& s) {
  const uint32_t c = next(s) % 16;
  const int32_t m = c < 11   ? 1 + int32_t(next(s) % 3)
                    : c < 15 ? 4 + int32_t(next(s) % 37)
                             : 41 + int32_t(next(s) % 2000);
  return next(s) & 1 ? -m : m;
}

// A 4x4 block in scan order with tc nonzero coefficients, mostly low frequency.
inline void scan_block(uint32_t& s, int tc, int32_t* v) {
  for (int k = 0; k < 16; ++k) v[k] = 0;
  for (int placed = 0; placed < tc;) {
    const int k = int(next(s) % 16 * (next(s) % 16) / 15);  // biased towards 0
    if (!v[k]) v[k] = level(s), ++placed;
  }
}

// The analysis of a scan-order block (the reference algorithm).
inline kvnvlc::CavlcBlock analyse(const int32_t* v) {
  kvnvlc::CavlcBlock b;
  int zeros = 0;
  bool counting = true;
  for (int k = 15; k >= 0; --k) {
    if (!v[k]) {
      ++zeros;
      continue;
    }
    if (counting && (v[k] == 1 || v[k] == -1)) {
      ++b.trailingOnes;
      b.signs = b.signs * 2 + (v[k] < 0);
      counting = b.trailingOnes < 3;
    } else {
      b.levels[b.totalCoeff - b.trailingOnes] = v[k];
      counting = false;
    }
    if (b.totalCoeff) b.runs[b.totalCoeff - 1] = uint8_t(zeros), b.totalZeros += zeros;
    ++b.totalCoeff;
    zeros = 0;
  }
  b.totalZeros += zeros;
  return b;
}

// kBlocks coded blocks of 1..16 coefficients; nC of each block.
struct Stream {
  std::vector<uint32_t> words;
  std::vector<int32_t> nC;
  long coefficients = 0;
  Stream() {
    uint32_t s = 12345;
    kvnvlc::BitWriter w;
    for (int i = 0; i < kBlocks; ++i) {
      const int tc = 1 + int(next(s) % 16);
      int32_t v[16];
      scan_block(s, tc, v);
      const int nc = tc / 2 + int(next(s) % 3);
      nC.push_back(nc);
      kvnvlc::write_cavlc_block(w, analyse(v), {nc, 16, 16});
      coefficients += tc;
    }
    words = w.words(1);
  }
};

// Raster-order blocks to analyse.
template <class T>
struct Blocks {
  T v[kBlocks][16];
  explicit Blocks(bool dense) {
    uint32_t s = dense ? 777 : 999;
    for (auto& b : v) {
      int32_t scan[16];
      scan_block(s, dense ? 16 : 1 + int(next(s) % 6), scan);
      for (int k = 0; k < 16; ++k) b[kZigzag[k]] = T(scan[k]);
    }
  }
};

}  // namespace cavlcbench
