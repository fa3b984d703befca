// Buffers of the H.264 8x8 transform and intra benchmarks: a residual block,
// flat scale tables for qp 28, a picture with the block at (16, 16).
#pragma once

#include <cstdint>
#include <cstring>

namespace kvnbench {

struct H264Blocks8x8 {
  static constexpr int kStep = 64;
  static constexpr int kQ6 = 4, kM = 4;  // qp 28
  alignas(16) int16_t residual[64], coeffs[64], levels[64], work[64], fwd[64], inv[64], scan[64];
  alignas(16) int32_t work32[64];
  alignas(16) uint16_t pred16[64], dst16[64];
  alignas(64) uint8_t pic[64 * kStep];
  uint8_t* block() { return pic + 16 * kStep + 16; }
  H264Blocks8x8() {
    uint32_t s = 12345;
    auto rnd = [&s] { return s = s * 1664525u + 1013904223u, int(s >> 24); };
    for (int p = 0; p < 64; ++p) {
      residual[p] = int16_t(rnd() % 61 - 30);
      levels[p] = int16_t(p < 12 ? rnd() % 9 - 4 : 0);
      scan[p] = int16_t(p);
      pred16[p] = uint16_t(rnd() * 4);
      work32[p] = levels[p] * 64;
    }
    for (auto& v : pic) v = uint8_t(rnd());
    static const int16_t kQ[6] = {8192, 7346, 13159, 7740, 10486, 9777};
    static const int16_t kV[6] = {32, 28, 51, 30, 40, 38};
    for (int i = 0; i < 8; ++i)
      for (int j = 0; j < 8; ++j) {
        const int a = i & 3, b = j & 3;
        const int c = (!a && !b)                             ? 0
                      : ((a & 1) && (b & 1))                 ? 1
                      : (a == 2 && b == 2)                   ? 2
                      : ((!a && (b & 1)) || ((a & 1) && !b)) ? 3
                      : ((!a && b == 2) || (a == 2 && !b))   ? 4
                                                             : 5;
        fwd[8 * i + j] = int16_t(kQ[c] / 16);
        inv[8 * i + j] = int16_t(16 * kV[c]);
      }
    std::memcpy(work, levels, sizeof work);
  }
};

}  // namespace kvnbench
