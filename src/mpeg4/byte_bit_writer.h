// Writer of a byte bit position (a byte pointer and the bits 0..7 already used
// in its byte, most significant first), shared by the MPEG-4, H.263 and H.261
// coefficient writers.
//
// The bits of the current byte before the offset are kept, codes follow most
// significant bit first, and the byte holding the last code bit is written
// with its remaining bits cleared; no byte after it is touched (and the
// current byte is read only when the offset is non-zero). Bits gather in a
// 64-bit accumulator that is written out as whole 32-bit big-endian groups.
#pragma once

#include <cstdint>
#include <cstring>

namespace kvn {

class ByteBitWriter {
 public:
  ByteBitWriter(uint8_t* p, int offset) : p_(p), acc_(offset ? *p >> (8 - offset) : 0), n_(offset) {}

  // The low `len` bits of v, len 1..32.
  __attribute__((always_inline)) void put(uint32_t v, int len) {
    acc_ = (acc_ << len) | (v & ((uint64_t(1) << len) - 1));
    n_ += len;
    if (n_ >= 32) {
      n_ -= 32;
      const uint32_t w = __builtin_bswap32(uint32_t(acc_ >> n_));
      std::memcpy(p_, &w, 4);
      p_ += 4;
    }
  }

  // Writes the pending bits and stores the new position.
  void finish(uint8_t** pp, int32_t* offset) {
    for (; n_ >= 8; n_ -= 8) *p_++ = uint8_t(acc_ >> (n_ - 8));
    if (n_) *p_ = uint8_t(acc_ << (8 - n_));
    *pp = p_;
    *offset = n_;
  }

 private:
  uint8_t* p_;
  uint64_t acc_;  // the last n_ bits are pending, older bits above them are stale
  int n_;         // 0..31 between calls of put
};

}  // namespace kvn
