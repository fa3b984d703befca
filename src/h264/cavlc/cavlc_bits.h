// Reading a word bit position: a stream of 32-bit words in machine byte
// order whose first bit is the most significant bit of the first word, and a
// bit index 0..31 naming the next bit of the current word (31: its most
// significant bit).
//
// The caller keeps one readable word after the last word of data, and no
// more. So a word is loaded only when a bit of the word before it is about to
// be read: the reader never touches anything beyond the word after the one
// that holds the last bit it consumes.
#pragma once

#include <cstdint>

namespace kvn {

// A 64-bit window holds the next `avail` stream bits at its top and zeros
// below them; `next` is the first word not yet in the window. At construction
// the window holds the rest of the current word and the word after it
// (33..64 bits): every syntax element read through it consumes at least one
// bit of the current word.
class WordBitReader {
 public:
  WordBitReader(const uint32_t* p, uint32_t index)  // index 0..31
      : win_((uint64_t(p[0]) << 32 | p[1]) << (31 - index)), avail_(int(index) + 33), next_(p + 2) {}

  // Makes at least min(n, avail + 32) bits available, n 1..33, by loading the
  // next word when fewer than n are. Call it only before consuming at least
  // one bit: the word loaded follows the one that holds the next bit.
  void need(int n) {
    if (avail_ < n) {
      win_ |= uint64_t(*next_++) << (32 - avail_);
      avail_ += 32;
    }
  }
  // Before a table lookup or a prefix count: at least 33 bits when at least
  // 1 is available, 32 when none is.
  void fill() { need(33); }
  uint64_t window() const { return win_; }
  uint32_t peek32() const { return uint32_t(win_ >> 32); }
  // The next n bits, n 0..32 (0 gives 0).
  uint32_t peek(int n) const { return uint32_t((win_ >> 1) >> (63 - n)); }
  // Consumes n bits, n 0..avail and below 64.
  void skip(int n) {
    win_ <<= n;
    avail_ -= n;
  }
  void save(const uint32_t** pp, uint32_t* index) const {
    *pp = next_ - ((avail_ + 31) >> 5);
    *index = uint32_t(avail_ + 31) & 31;
  }

 private:
  uint64_t win_;
  int avail_;
  const uint32_t* next_;
};

}  // namespace kvn
