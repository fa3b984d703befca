// Streams of the MPEG-4 / H.263 coefficient decoding benchmarks: 1024
// quantised blocks each with the statistics of typical material (inter: a
// few levels, mostly +-1 and +-2 at low zigzag positions; intra AC: more of
// them), written with the code tables (escape where a table has no code).
#pragma once

#include <cstdint>
#include <vector>

#include "tables/mpeg4_vlc_tables.h"

namespace mpeg4bench {

constexpr int kBlocks = 1024;

enum class Syntax { Mpeg4Inter, Mpeg4Intra, H263Inter, H263Intra };

struct Stream {
  std::vector<uint8_t> bytes;
  int64_t coeffs = 0;  // levels coded (intra: AC)
};

inline Stream make_stream(Syntax syn, uint32_t seed) {
  using namespace kvn::vlc;
  Stream out;
  size_t n = 0;
  out.bytes.assign(kBlocks * 48 + 64, 0);
  auto put = [&](uint32_t v, int len) {
    for (int i = len - 1; i >= 0; --i, ++n)
      if ((v >> i) & 1) out.bytes[n / 8] |= uint8_t(0x80 >> (n % 8));
  };
  uint32_t s = seed;
  auto rnd = [&s](uint32_t k) {
    s = s * 1664525u + 1013904223u;
    return (s >> 8) % k;
  };
  const bool intra = syn == Syntax::Mpeg4Intra || syn == Syntax::H263Intra;
  const auto& table = syn == Syntax::Mpeg4Intra ? kMpeg4Intra : kH263Tcoef;
  for (int b = 0; b < kBlocks; ++b) {
    if (syn == Syntax::H263Intra) put(1 + rnd(127), 8);  // INTRADC 1..127
    struct Ev {
      int run, level;
    };
    std::vector<Ev> evs;
    int p = intra ? 0 : -1;
    const int count = 1 + int(rnd(intra ? 14 : 8));
    for (int i = 0; i < count; ++i) {
      const int run = int(rnd(4) == 0 ? rnd(12) : rnd(3));
      if (p + run + 1 > 63) break;
      p += run + 1;
      const uint32_t r = rnd(100);
      int level = r < 60 ? 1 : r < 85 ? 2 : r < 97 ? 3 + int(rnd(6)) : 20 + int(rnd(100));
      evs.push_back({run, rnd(2) ? -level : level});
    }
    for (size_t i = 0; i < evs.size(); ++i) {
      const int last = i + 1 == evs.size(), run = evs[i].run, level = evs[i].level, mag = level < 0 ? -level : level;
      const RunLevelCode* code = nullptr;
      for (const auto& c : table)
        if (c.last == last && c.run == run && c.level == mag) code = &c;
      if (code) {
        put(code->code, code->length);
        put(level < 0, 1);
      } else if (syn == Syntax::H263Inter || syn == Syntax::H263Intra) {
        put(kTcoefEscape.code, kTcoefEscape.length);
        put(uint32_t(last), 1), put(uint32_t(run), 6), put(uint32_t(level) & 0xff, 8);
      } else {  // MPEG-4 escape type 3
        put(kTcoefEscape.code, kTcoefEscape.length);
        put(3, 2), put(uint32_t(last), 1), put(uint32_t(run), 6), put(1, 1), put(uint32_t(level) & 0xfff, 12),
            put(1, 1);
      }
      ++out.coeffs;
    }
  }
  return out;
}

}  // namespace mpeg4bench
