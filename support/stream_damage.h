// Damaged variants of a coded stream for the decoders' robustness checks:
// truncation, bit flips, zeroed or 0xFF byte runs, random bytes with a cut.
#pragma once

#include <cstddef>
#include <cstdint>
#include <random>
#include <vector>

namespace kvnsupport {

// Variant v (its kind is v % 4) of a non-empty stream.
inline std::vector<uint8_t> damaged_variant(const std::vector<uint8_t>& data, int v, std::mt19937& rng) {
  std::vector<uint8_t> d = data;
  switch (v % 4) {
    case 0: d.resize(rng() % d.size()); break;
    case 1:
      for (int k = 0, n = 1 + int(rng() % 8); k < n; ++k) d[rng() % d.size()] ^= uint8_t(1u << (rng() % 8));
      break;
    case 2: {
      const size_t at = rng() % d.size(), n = 1 + rng() % 16;
      for (size_t k = at; k < d.size() && k < at + n; ++k) d[k] = v & 4 ? 0 : 0xFF;
      break;
    }
    default:
      for (int k = 0, n = 1 + int(rng() % 4); k < n; ++k) d[rng() % d.size()] = uint8_t(rng());
      d.resize(d.size() - rng() % (d.size() / 4 + 1));
      break;
  }
  return d;
}

}  // namespace kvnsupport
