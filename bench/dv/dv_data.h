// Data shared by the DV benchmarks: segments at typical DV25 and DV100 fill
// (the encoder chooses its quantiser so that a segment is nearly full: a
// third of the blocks run over their areas, the rest leave room), made with
// the test writer from coefficient lists of natural statistics (short runs
// of small amplitudes, a tail of larger ones); blocks to dequantise.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "dv_writer.h"

namespace kvnbench {

struct DvSegments {
  static constexpr int kCount = 16;
  double fill[2] = {0, 0};         // mean share of the segments' AC bits used (DV, DV100)
  std::vector<uint8_t> dv, dv100;  // kCount segments of 400 bytes, 16 readable bytes after the last
  alignas(32) int16_t blocks[40 * 64];
  alignas(32) uint32_t params[40];
  alignas(32) int16_t coef[64], work[64], table16s[64], weights[64];
  alignas(32) uint16_t table16u[64];

  DvSegments() : dv(make(dvtest::kDv, 1)), dv100(make(dvtest::kDv100, 2)) {
    uint32_t s = 777;
    for (int i = 0; i < 64; ++i) {
      s = s * 1103515245u + 12345u;
      coef[i] = int16_t(i == 0 ? -400 * 128 : (int(s >> 16 & 255) - 128) * 64 / (1 + i / 8));
      table16s[i] = int16_t(8192 + 97 * i);
      table16u[i] = uint16_t(2 + i % 14);
      weights[i] = int16_t(16384 + 211 * i);
    }
  }
  int16_t* fresh() {
    std::memcpy(work, coef, sizeof work);
    return work;
  }

 private:
  std::vector<uint8_t> make(const dvtest::Layout& L, uint32_t seed) {
    std::vector<uint8_t> out;
    uint32_t s = seed;
    const auto rnd = [&s](int n) { return int((s = s * 1664525u + 1013904223u) >> 8) % n; };
    int capacity = 0;
    for (int a = 0; a < L.blocks; ++a) capacity += 5 * (8 * L.bytes[a] - 12);
    for (int seg = 0; seg < kCount; ++seg) {
      std::vector<dvtest::MacroblockSpec> mbs(5);
      std::vector<int> want(size_t(5 * L.blocks));
      for (auto& w : want) w = rnd(3) == 0 ? 110 + rnd(90) : 20 + rnd(60);  // bits of codes per block
      int used = 0;
      for (int m = 0; m < 5; ++m) {
        mbs[size_t(m)].qno = 8 + rnd(7);
        for (int a = 0; a < L.blocks; ++a) {
          dvtest::BlockSpec b;
          b.dc = rnd(512) - 256, b.mode = rnd(8) == 0, b.cls = rnd(4);
          int index = 0, bits = 0;
          while (bits < want[size_t(m * L.blocks + a)] && used + bits < capacity * 93 / 100) {
            dvtest::Coef c{rnd(4) == 0 ? rnd(8) : 0, (1 + (rnd(6) == 0 ? rnd(40) : rnd(4))) * (rnd(2) ? 1 : -1)};
            if (index + c.run + 1 > 63) break;
            dvtest::Bits code;
            dvtest::put_coef(code, c);
            index += c.run + 1, bits += int(code.size());
            b.coefs.push_back(c);
          }
          used += bits + 4;
          mbs[size_t(m)].blocks.push_back(b);
        }
      }
      fill[L.blocks == 8] += double(used) / capacity / kCount;
      const dvtest::Segment w = dvtest::write_segment(L, mbs);
      out.insert(out.end(), w.bytes.begin(), w.bytes.begin() + 400);
    }
    out.resize(out.size() + 16, 0);
    return out;
  }
};

}  // namespace kvnbench
