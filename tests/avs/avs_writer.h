// A test-only AVS block writer: (run, level) pairs in coding order (the last
// pair is the first in scan order) coded with the 2-D VLC tables of
// tables/avs_tables.h, switching tables by the largest magnitude so far, as
// an encoder does; and the block a decoder must make of them.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "tables/avs_tables.h"

namespace avstest {

using kvn::avs::AvsVlcSet;

struct Pair {
  int run;
  int32_t level;
};

// Bits into 32-bit words, most significant bit first.
class BitWriter {
 public:
  void put(uint64_t v, int n) {
    for (int i = n - 1; i >= 0; --i) bit(int(v >> i) & 1);
  }
  void bit(int b) {
    if (n_ % 32 == 0) w_.push_back(0);
    if (b) w_.back() |= 1u << (31 - n_ % 32);
    ++n_;
  }
  std::size_t bits() const { return n_; }
  // The words with `spare` zero words after the last one.
  std::vector<uint32_t> words(std::size_t spare = 1) const {
    std::vector<uint32_t> w = w_;
    w.resize(w.size() + spare, 0);
    return w;
  }

 private:
  std::vector<uint32_t> w_;
  std::size_t n_ = 0;
};

// Exp-Golomb code of order k: z zeros, then v + 2^k in z + k + 1 bits.
inline void put_exp_golomb(BitWriter& bw, uint64_t v, int k) {
  const uint64_t x = v + (uint64_t(1) << k);
  const int len = 64 - __builtin_clzll(x);
  bw.put(0, len - k - 1);
  bw.put(x, len);
}

// Writes the pairs, then end of block when `eob`; returns the mask of the
// tables used.
inline unsigned put_block(BitWriter& bw, const AvsVlcSet& s, const std::vector<Pair>& pairs, bool eob = true) {
  int t = 0;
  unsigned used = 1;
  for (const Pair& p : pairs) {
    int code = -1;
    for (int c = 0; c < kvn::avs::kAvsVlcCodes; ++c)
      if (s.tables[t][c].run == p.run && s.tables[t][c].level == p.level) code = c;
    const uint32_t m = uint32_t(std::abs(p.level));
    if (code >= 0) {
      put_exp_golomb(bw, uint64_t(code), s.order[t]);
    } else {
      const int ref = p.run <= s.largestRun[t] ? kvn::avs::reference_level(s, t, p.run) : 1;
      put_exp_golomb(bw, uint64_t(59 + 2 * p.run + (p.level > 0)), s.order[t]);  // odd: negative
      put_exp_golomb(bw, m - uint32_t(ref), s.escapeOrder);
    }
    while (t + 1 < s.count && m > uint32_t(s.upTo[t])) ++t;
    used |= 1u << t;
  }
  if (eob)
    for (int c = 0; c < kvn::avs::kAvsVlcCodes; ++c)
      if (s.tables[t][c].run == kvn::avs::kAvsEobRun) put_exp_golomb(bw, uint64_t(c), s.order[t]);
  return used;
}

// The block of the pairs (scan: raster position by scan position) and its
// count of scan positions covered.
inline std::vector<int16_t> block_of(const std::vector<Pair>& pairs, const uint8_t* scan, uint32_t& count) {
  std::vector<int16_t> b(64, 0);
  int p = -1;
  for (std::size_t i = pairs.size(); i-- > 0;) {
    p += pairs[i].run + 1;
    b[scan[p]] = int16_t(pairs[i].level);
  }
  count = uint32_t(p + 1);
  return b;
}

}  // namespace avstest
