// Shared helpers of the MPEG-1/MPEG-2 VLC tests: a bit string builder, owned
// tables built through the exported builders, and the inverse quantisation
// model of ISO/IEC 11172-2 2.4.4 and ISO/IEC 13818-2 7.4 (with saturation).
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "kvnvc.h"
#include "mpeg2_vlc_tables.h"

namespace mpeg2test {

using kvnsupport::Mpeg2DctTable;

// Bits appended most significant first into 32-bit words.
class Bits {
 public:
  Bits& put(uint32_t v, int n) {
    for (int i = n - 1; i >= 0; --i) bit(v >> i & 1);
    return *this;
  }
  Bits& str(const std::string& s) {
    for (char c : s)
      if (c == '0' || c == '1') bit(uint32_t(c - '0'));
    return *this;
  }
  std::size_t size() const { return n_; }
  // The words holding the bits and `spare` more.
  std::vector<Kvn32u> words(std::size_t spare = 1) const {
    std::vector<Kvn32u> w = w_;
    w.resize((n_ + 31) / 32 + spare, 0);
    return w;
  }

 private:
  void bit(uint32_t b) {
    if (n_ % 32 == 0) w_.push_back(0);
    w_.back() |= b << (31 - n_ % 32);
    ++n_;
  }
  std::vector<Kvn32u> w_;
  std::size_t n_ = 0;
};

struct TableFree {
  void operator()(Kvn32s* t) const { kvniHuffmanTableFree_32s(t); }
};
using Table = std::unique_ptr<Kvn32s, TableFree>;

inline Table huffman(const std::vector<int32_t>& src) {
  KvnHuffmanTable* t = nullptr;
  EXPECT_EQ(kvniHuffmanTableInitAlloc_32s(src.data(), &t), KVN_STS_OK);
  return Table(t);
}
inline Table run_level(const std::vector<int32_t>& src) {
  KvnHuffmanTable* t = nullptr;
  EXPECT_EQ(kvniHuffmanRunLevelTableInitAlloc_32s(src.data(), &t), KVN_STS_OK);
  return Table(t);
}
inline Table rl_encode(const std::vector<int32_t>& src) {
  KvnRLEncodeTable* t = nullptr;
  EXPECT_EQ(kvniCreateRLEncodeTable(src.data(), &t), KVN_STS_OK);
  return Table(t);
}

inline int32_t sat(int64_t v) { return v < -2048 ? -2048 : v > 2047 ? 2047 : int32_t(v); }
inline int sgn(int64_t v) { return (v > 0) - (v < 0); }

// Inverse quantisation of one AC (or non-intra) level at a position of weight w.
inline int32_t dequant(bool mpeg1, bool intra, int32_t level, int32_t w, int32_t q) {
  const int64_t num = intra ? 2 * int64_t(level) * w * q : (2 * int64_t(level) + sgn(level)) * w * q;
  if (!mpeg1) return sat(num / 32);
  int64_t f = num / 16;
  if (f % 2 == 0) f -= sgn(f);
  return sat(f);
}

// MPEG-2 mismatch control over a whole block.
inline void mismatch(std::array<int16_t, 64>& b) {
  int64_t sum = 0;
  for (int16_t v : b) sum += v;
  if (sum % 2 == 0) b[63] ^= 1;
}

}  // namespace mpeg2test
