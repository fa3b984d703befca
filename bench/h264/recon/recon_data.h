// Buffers of the 8-bit macroblock reconstruction benchmarks: a picture region
// with a macroblock at (16, 16), a packed coefficient stream with typical
// decoder levels, flat scale tables and mode arrays. The kernel and the
// public-call benchmarks use the same data, so their times compare.
#pragma once

#include <cstdint>
#include <cstring>

namespace kvnbench {

struct ReconData {
  static constexpr int kStep = 64, kQp = 28;
  alignas(64) uint8_t pic[48 * kStep];
  alignas(64) uint8_t pic2[48 * kStep];
  alignas(64) int16_t levels[27 * 16 + 64 * 4];  // the stream as decoded
  alignas(64) int16_t stream[27 * 16 + 64 * 4];  // the working copy a call consumes
  int16_t ls4[16], ls8[64];
  int32_t modes4[16];
  uint32_t modes8[4];
  ReconData() {
    uint32_t x = 12345;
    auto next = [&x] { return x = x * 1664525u + 1013904223u; };
    for (int i = 0; i < 48 * kStep; ++i) pic[i] = uint8_t(60 + next() % 130), pic2[i] = uint8_t(70 + next() % 110);
    for (int i = 0; i < int(sizeof levels / 2); ++i) {
      const uint32_t r = next();
      levels[i] = (r & 3) ? 0 : int16_t(int((r >> 8) % 15) - 7);  // mostly zeros, small levels
    }
    static const int16_t v4[3] = {10, 16, 13}, v8[6] = {20, 18, 32, 19, 25, 24};
    for (int p = 0; p < 16; ++p) {
      const int i = p / 4, j = p % 4;
      ls4[p] = int16_t(16 * v4[(i % 2 == 0 && j % 2 == 0) ? 0 : (i % 2 && j % 2) ? 1 : 2]);
    }
    for (int p = 0; p < 64; ++p) {
      const int i = p / 8, j = p % 8;
      const int c = (i % 4 == 0 && j % 4 == 0)                                   ? 0
                    : (i % 2 && j % 2)                                           ? 1
                    : (i % 4 == 2 && j % 4 == 2)                                 ? 2
                    : ((i % 4 == 0 && j % 2) || (i % 2 && j % 4 == 0))           ? 3
                    : ((i % 4 == 0 && j % 4 == 2) || (i % 4 == 2 && j % 4 == 0)) ? 4
                                                                                 : 5;
      ls8[p] = int16_t(16 * v8[c]);
    }
    for (int k = 0; k < 16; ++k) modes4[k] = int32_t(next() % 9);
    for (int b = 0; b < 4; ++b) modes8[b] = next() % 9;
    reset(int(sizeof stream / 2));
  }
  // A fresh copy of the first n stream values (DC blocks are transformed in
  // place).
  int16_t* reset(int n) {
    std::memcpy(stream, levels, sizeof(int16_t) * n);
    return stream;
  }
  uint8_t* mb() { return pic + 16 * kStep + 16; }
  uint8_t* mb2() { return pic2 + 16 * kStep + 16; }
};

// Masks of the benchmarked macroblocks.
constexpr uint32_t kAll16 = 0x1fffe, kFour = (1u << 1) | (1u << 6) | (1u << 11) | (1u << 16);
constexpr uint32_t kIntra16 = 0x1ffff, kChromaAll = 0x7fe0000, kFour8x8 = 0xf;
// Stream values those with DC blocks consume.
constexpr int kIntra16Values = 17 * 16, kChromaValues = 8 + 8 * 16;

}  // namespace kvnbench
