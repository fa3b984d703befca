#include "stream.h"

#include <cstring>

namespace mpeg2dec {

Stream::Stream(const std::vector<uint8_t>& bytes) : size(bytes.size()) {
  words.assign((size + 3) / 4 + kPadWords, 0);
  for (size_t i = 0; i < size; ++i) words[i / 4] |= uint32_t(bytes[i]) << (24 - 8 * (i % 4));
  for (size_t i = 0; i + 3 < size; ++i)
    if (bytes[i] == 0 && bytes[i + 1] == 0 && bytes[i + 2] == 1) {
      starts.push_back(i + 3);
      i += 2;
    }
}

Bits::Bits(Stream& s, size_t byteOffset, size_t byteEnd)
    : ptr(s.words.data() + byteOffset / 4),
      bit(Kvn32s(31 - 8 * (byteOffset % 4))),
      base(s.words.data()),
      end(byteEnd * 8),
      limit_(s.words.data() + s.words.size() - 2) {}

uint32_t Bits::peek(int n) const {
  if (ptr >= limit_) return 0;
  const uint64_t two = uint64_t(ptr[0]) << 32 | ptr[1];
  return uint32_t((two << (31 - bit)) >> (64 - n));
}

void Bits::skip(int n) {
  const int64_t b = int64_t(31 - bit) + n;
  ptr += b >> 5;
  bit = Kvn32s(31 - (b & 31));
  if (ptr > limit_) ptr = const_cast<Kvn32u*>(limit_);
}

}  // namespace mpeg2dec
