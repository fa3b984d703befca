// The elementary stream as the library's readers see it: 32-bit words whose
// bit 31 is the first stream bit of the word, with zero words after the data;
// start codes found in the bytes; a bit reader whose position (word pointer,
// bit index 31..0) is the one the library's block readers take and advance.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include <kvnvc.h>

namespace mpeg2dec {

struct Stream {
  explicit Stream(const std::vector<uint8_t>& bytes);
  std::vector<uint32_t> words;  // the bytes, then kPadWords zero words
  size_t size = 0;              // bytes of data
  // Byte offsets of the start codes' fourth bytes (the code values).
  std::vector<size_t> starts;
  static constexpr size_t kPadWords = 8;
};

struct Bits {
  Kvn32u* ptr = nullptr;  // current word
  Kvn32s bit = 31;        // its next bit
  const uint32_t* base = nullptr;
  size_t end = 0;  // bit position where this unit's data ends

  Bits(Stream& s, size_t byteOffset, size_t byteEnd);
  size_t pos() const { return size_t(ptr - base) * 32 + size_t(31 - bit); }
  bool overrun() const { return pos() > end; }
  // The next n bits (1..25) without moving; zeros beyond the unit.
  uint32_t peek(int n) const;
  void skip(int n);
  uint32_t u(int n) {  // n 0..25
    if (n == 0) return 0;
    const uint32_t v = peek(n);
    skip(n);
    return v;
  }
  uint32_t u1() { return u(1); }
  void align() { skip(int(bit + 1) & 7); }

 private:
  const uint32_t* limit_ = nullptr;  // last word that may be read
};

}  // namespace mpeg2dec
