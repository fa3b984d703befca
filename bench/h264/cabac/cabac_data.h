// Data of the CABAC benchmarks: blocks in scan order as an encoder meets
// them, bin sequences, and a coder state over a buffer with ample room.
#pragma once

#include <cstdint>
#include <random>
#include <vector>

#include "kvnvc.h"

namespace cabacbench {

constexpr int kBlocks = 1024;
// Calls between re-initialisations of the state: the output they write stays
// far below the buffer size.
constexpr int kCallsPerSlice = 4096;
constexpr uint32_t kBufferBytes = 8u << 20;

// Blocks of n coefficients with about `nonzero` of them nonzero, scattered
// mostly among the low frequencies: magnitude 1 mostly, some 2..4, a few
// large; lastIdx of each.
template <class T>
struct Blocks {
  Blocks(int n, int nonzero, uint32_t seed) : count(n) {
    std::mt19937 g(seed);
    coef.assign(size_t(kBlocks) * size_t(n), 0);
    for (int b = 0; b < kBlocks; ++b) {
      T* c = &coef[size_t(b) * size_t(n)];
      for (int k = 0; k < nonzero; ++k) {
        const int pos = std::min(n - 1, int(std::abs(std::normal_distribution<double>(0, n / 3.0)(g))));
        const int kind = int(g() % 16);
        const int m = kind < 11 ? 1 : kind < 15 ? 2 + int(g() % 3) : 5 + int(g() % 40);
        c[pos] = T(g() % 2 ? -m : m);
      }
      int l = -1;
      for (int i = 0; i < n; ++i)
        if (c[i]) l = i;
      last.push_back(l);
    }
  }
  const T* block(int b) const { return &coef[size_t(b) * size_t(count)]; }
  int count;
  std::vector<T> coef;
  std::vector<int> last;
};

// A slice's worth of (ctxIdx, bin) pairs: a few contexts of skewed
// statistics, as mb_type, cbp and coded_block_flag give.
struct Bins {
  explicit Bins(uint32_t seed) {
    std::mt19937 g(seed);
    for (int i = 0; i < kCallsPerSlice; ++i) {
      ctx.push_back(Kvn32u(60 + g() % 40));
      bin.push_back(Kvn32u(g() % 8 == 0));
    }
  }
  std::vector<Kvn32u> ctx, bin;
};

struct Coder {
  Coder() : buffer(kBufferBytes) { restart(); }
  void restart() { kvniCABACInit_H264(state, buffer.data(), 0, kBufferBytes, 28, 0); }
  alignas(8) uint8_t state[504];
  std::vector<uint8_t> buffer;
};

}  // namespace cabacbench
