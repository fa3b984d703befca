// Annex B byte-stream splitting, emulation-prevention removal and the bit
// reader used for headers. The RBSP is regrouped into 32-bit words, most
// significant byte first, so that the library's residual readers (which take
// a word pointer and a bit index, 31 = the most significant bit is next) and
// this reader share one position.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace h264dec {

struct NalUnit {
  int type = 0;
  int refIdc = 0;
  std::vector<uint32_t> words;  // RBSP (header byte removed), padded
  std::vector<uint8_t> bytes;   // the same RBSP as bytes, unpadded (CABAC slice data)
  size_t bits = 0;              // RBSP length in bits
};

// Splits an Annex B stream into NAL unit payloads (start codes removed).
std::vector<std::pair<size_t, size_t>> split_annexb(const uint8_t* data, size_t size);

// Builds a NalUnit from one payload: removes emulation-prevention bytes and
// regroups into words with spare words after the data.
bool make_nal(const uint8_t* p, size_t n, NalUnit& out);

// Reader over a NalUnit's words. Reads beyond the data return the padding
// (all one bits) and set `overrun`.
struct BitReader {
  uint32_t* ptr = nullptr;  // current word
  uint32_t bit = 31;        // next bit within *ptr, 31 = MSB
  uint32_t* base = nullptr;
  uint32_t* limit = nullptr;  // reads stop here (inside the padding)
  size_t totalBits = 0;

  void init(NalUnit& nal) {
    base = ptr = nal.words.data();
    limit = base + nal.words.size() - 2;
    bit = 31;
    totalBits = nal.bits;
  }
  size_t pos() const { return size_t(ptr - base) * 32 + (31 - bit); }
  bool overrun() const { return pos() > totalBits; }
  size_t left() const { return pos() >= totalBits ? 0 : totalBits - pos(); }
  // Moves to bit `p` of the RBSP (at most the padding's start).
  void seek(size_t p) {
    const size_t words = size_t(limit - base);
    if (p > words * 32) p = words * 32;
    ptr = base + p / 32;
    bit = 31 - uint32_t(p % 32);
  }

  uint32_t u1() {
    if (ptr >= limit) {
      fail = true;
      return 1;
    }
    uint32_t v = (*ptr >> bit) & 1u;
    if (bit == 0) {
      bit = 31;
      ++ptr;
    } else {
      --bit;
    }
    return v;
  }
  uint32_t u(int n) {  // n = 0..32
    uint32_t v = 0;
    while (n > 0) {
      if (ptr >= limit) {
        fail = true;
        return v;
      }
      int take = n < int(bit) + 1 ? n : int(bit) + 1;
      uint32_t w = *ptr >> (bit + 1 - take);
      v = (take == 32 ? 0 : v << take) | (w & (take == 32 ? ~0u : ((1u << take) - 1)));
      n -= take;
      if (take == int(bit) + 1) {
        bit = 31;
        ++ptr;
      } else {
        bit -= take;
      }
    }
    return v;
  }
  uint32_t ue() {
    // Codes of up to 31 bits that end inside the data: their length from the
    // leading zeros of the next 32 bits (the padding makes ptr[1] readable).
    if (ptr < limit) {
      const uint32_t w = uint32_t(((uint64_t(ptr[0]) << 32 | ptr[1]) << (31 - bit)) >> 32);
      const int zeros = w ? __builtin_clz(w) : 32;
      if (zeros <= 15 && pos() + size_t(2 * zeros + 1) <= totalBits) {
        const uint32_t p = 31 - bit + uint32_t(2 * zeros + 1);
        ptr += p / 32;
        bit = 31 - p % 32;
        return (w >> (31 - 2 * zeros)) - 1;
      }
    }
    // Longer codes and codes reaching past the data, bit by bit.
    int zeros = 0;
    while (u1() == 0) {
      if (++zeros > 31 || overrun()) {
        fail = true;
        return 0;
      }
    }
    if (zeros == 0) return 0;
    uint64_t v = (uint64_t(1) << zeros) - 1 + u(zeros);
    if (v > 0xFFFFFFFEull) {
      fail = true;
      return 0;
    }
    return uint32_t(v);
  }
  int32_t se() {
    uint32_t k = ue();
    return (k & 1) ? int32_t((k + 1) / 2) : -int32_t(k / 2);
  }
  // H.264 7.2 more_rbsp_data(): data remain before the rbsp_stop_one_bit.
  bool more_rbsp_data() const;
  bool fail = false;
};

}  // namespace h264dec
