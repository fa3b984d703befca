// Inputs of the AVS benchmarks: streams of realistic inter and intra blocks
// written with the test writer (levels mostly 1..3 with runs of a few
// positions, an escape now and then, 4..24 coefficients a block), and dense
// and sparse coefficient blocks for the reconstruction.
#pragma once

#include <cstdint>
#include <random>
#include <vector>

#include "avs_writer.h"

namespace kvnbench {

struct AvsStream {
  std::vector<uint32_t> words;
  int blocks = 0;
  long coefficients = 0;
};

inline AvsStream avs_stream(const kvn::avs::AvsVlcSet& set, int blocks, unsigned seed) {
  std::mt19937 g(seed);
  avstest::BitWriter bw;
  AvsStream s;
  for (int b = 0; b < blocks; ++b) {
    std::vector<avstest::Pair> pairs;
    const int n = 4 + int(g() % 21);
    int left = 64;
    for (int i = 0; i < n && left > 0; ++i) {
      avstest::Pair p{int(g() % 4 == 0 ? g() % 6 : 0), int32_t(g() % 16 == 0 ? 5 + g() % 40 : 1 + g() % 3)};
      if (p.run + 1 > left) p.run = left - 1;
      if (g() & 1) p.level = -p.level;
      pairs.push_back(p);
      left -= p.run + 1;
    }
    s.coefficients += long(pairs.size());
    avstest::put_block(bw, set, pairs);
  }
  s.words = bw.words(1);
  s.blocks = blocks;
  return s;
}

// Four coefficient blocks: dense (64 values of small magnitude) or sparse
// (the first 6 zigzag positions), with their counts.
struct AvsCoefficients {
  std::vector<int16_t> coef = std::vector<int16_t>(256, 0);
  uint32_t counts[4];
  explicit AvsCoefficients(bool dense) {
    std::mt19937 g(7);
    for (int b = 0; b < 4; ++b) {
      const int n = dense ? 64 : 6;
      for (int i = 0; i < n; ++i) coef[size_t(64 * b + kvn::avs::kAvsZigzag[i])] = int16_t(int(g() % 41) - 20);
      counts[b] = uint32_t(n);
    }
  }
};

}  // namespace kvnbench
