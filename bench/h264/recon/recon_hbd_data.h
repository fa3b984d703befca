// Macroblocks for the high-profile reconstruction benchmarks: a 10-bit and an
// 8-bit picture region with the macroblock at (16, 16), streams of typical
// coefficients (a few low-frequency levels per block) long enough for any
// mask, flat scale tables.
#pragma once

#include <cstdint>
#include <vector>

#include "kvnvc.h"

namespace kvnbench {

struct ReconHbdData {
  static constexpr int kStep = 64;  // samples
  static constexpr int kQp10 = 30, kQp8 = 24;
  alignas(64) Kvn16u pic16[48 * kStep];
  alignas(64) Kvn8u pic8[48 * kStep];
  std::vector<Kvn32s> coefs32 = std::vector<Kvn32s>(1024);
  std::vector<Kvn16s> coefs16 = std::vector<Kvn16s>(1024);
  Kvn16s table[64];
  Kvn32s* cur32 = nullptr;
  Kvn16s* cur16 = nullptr;
  const Kvn32s modes4[16] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 2, 4, 6, 1, 0, 5, 3};
  const Kvn32u modes8[4] = {2, 4, 0, 8};

  ReconHbdData() {
    uint32_t s = 12345;
    auto next = [&s] { return (s = s * 1664525u + 1013904223u) >> 8; };
    for (int i = 0; i < 48 * kStep; ++i) pic16[i] = Kvn16u(400 + next() % 200), pic8[i] = Kvn8u(100 + next() % 50);
    for (size_t i = 0; i < coefs32.size(); ++i) {
      const int p = int(i % 16);  // low frequencies of each 4x4 block
      const int v = (p == 0 || p == 1 || p == 4) ? int(next() % 9) - 4 : (p < 8 && next() % 4 == 0) ? 1 : 0;
      coefs32[i] = v, coefs16[i] = Kvn16s(v);
    }
    for (Kvn16s& t : table) t = 16 * 16;
  }
  Kvn16u* mb16() { return pic16 + 16 * kStep + 16; }
  Kvn8u* mb8() { return pic8 + 16 * kStep + 16; }
  KvnReconstructRecord32s16u luma(Kvn32u cbp) {
    cur32 = coefs32.data();
    return {&cur32, mb16(), kStep, cbp, kQp10, table, 0, 10};
  }
  // Cb at the macroblock, Cr 8 samples to the right; one shared stream.
  KvnReconstructRecord32s16u chroma(int c, Kvn32u cbp) {
    cur32 = coefs32.data();
    return {&cur32, mb16() + 8 * c, kStep, cbp, kQp10, table, 0, 10};
  }
  KvnReconstructRecord16s8u chroma8(int c, Kvn32u cbp) {
    cur16 = coefs16.data();
    return {&cur16, mb8() + 8 * c, kStep, cbp, kQp8, table, 0};
  }
};

}  // namespace kvnbench
