// A bit reader over a byte buffer whose position is the library's byte bit
// position (byte pointer, bit offset 0..7 from the most significant bit), so
// that the application's own syntax and the library's block decoders advance
// the same pair. The buffer holds kPad zero bytes after the data; reads stop
// there (zeros are no valid block code, so the library's decoders stop too).
#pragma once

#include <kvnvc.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace mpeg4dec {

inline constexpr size_t kPad = 64;

struct BitReader {
  Kvn8u* ptr = nullptr;
  Kvn32s off = 0;
  const Kvn8u* base = nullptr;
  const Kvn8u* end = nullptr;  // first byte after the unit's data

  BitReader() = default;
  BitReader(const Kvn8u* b, size_t start, size_t stop) : ptr(const_cast<Kvn8u*>(b + start)), base(b), end(b + stop) {}

  size_t pos() const { return size_t(ptr - base) * 8 + size_t(off); }
  size_t end_pos() const { return size_t(end - base) * 8; }
  bool overrun() const { return pos() > end_pos(); }
  int left() const { return int(int64_t(end_pos()) - int64_t(pos())); }
  // The next n bits (0..25) without moving.
  uint32_t peek(int n) const {
    const uint32_t w = uint32_t(ptr[0]) << 24 | uint32_t(ptr[1]) << 16 | uint32_t(ptr[2]) << 8 | ptr[3];
    return n ? (w << off) >> (32 - n) : 0;
  }
  void skip(int n) {
    const int b = off + n;
    ptr += b >> 3;
    off = b & 7;
    clamp();
  }
  uint32_t u(int n) {
    const uint32_t v = peek(n);
    skip(n);
    return v;
  }
  uint32_t u1() { return u(1); }
  uint32_t ul(int n) {  // up to 32 bits
    return n > 16 ? (u(n - 16) << 16 | u(16)) : u(n);
  }
  void align() {
    if (off) skip(8 - off);
  }
  // Keeps the position inside the zero padding after a damaged unit.
  void clamp() {
    if (ptr > end + 8) ptr = const_cast<Kvn8u*>(end + 8), off = 0;
  }
};

}  // namespace mpeg4dec
