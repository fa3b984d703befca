// The H.264 CABAC arithmetic encoding engine (ITU-T H.264 9.3.4) over the
// coder state a caller keeps in 504 bytes of its own memory.
//
// codILow is kept in 10 bits. The bits that renormalisation shifts out of it
// go straight into the output; a carry out of codILow is added at once to the
// bits already output (the word under construction, then the bytes stored
// before it), so no count of outstanding bits is needed. The output is a
// sequence of big-endian 32-bit words: `word` is the one under construction,
// `value` its contents, `free` the bit positions still free in it. The
// standard's encoder suppresses its first output bit, which is always 0 (the
// interval never reaches the upper half before the first renormalisation, so
// no carry can reach that bit): the engine starts with free = 33, one
// position above the word, or with the bit landing on a header bit that it
// leaves as it is (OR with 0).
//
// The word under construction never reaches the end limit
// (kvnAlignPtr(start + size - 4, 4)): the last 1 to 4 bytes of the buffer
// are never written, and a bin that would need them fails.
#pragma once

#include <cstdint>
#include <cstring>

#include "tables/h264_cabac_tables.h"

namespace kvn {

// The state's registers; the 460 context bytes (bit 6 valMPS, bits 0..5
// pStateIdx) follow them, packed. The caller's bytes may have any alignment, so the
// registers are copied in and out.
struct __attribute__((packed)) CabacRegs {
  uint8_t* start;   // buffer start
  uint8_t* word;    // word under construction
  uint8_t* end;     // end limit
  uint32_t value;   // contents of *word so far (the header bytes included)
  uint32_t size;    // buffer size in bytes
  uint32_t offset;  // bits of the buffer used before the slice data
  uint16_t low;     // codILow
  uint16_t range;   // codIRange
  int32_t free;     // bit positions still free in *word, 1..33
};

constexpr int kCabacStateSize = 504;
constexpr int kCabacCtxOffset = sizeof(CabacRegs);
static_assert(kCabacCtxOffset + kCabacContexts == kCabacStateSize, "the coder state is 504 bytes");

inline void store_be32(uint8_t* p, uint32_t v) {
  v = __builtin_bswap32(v);
  std::memcpy(p, &v, 4);
}

// The engine's registers while a call runs.
struct CabacCoder {
  uint8_t* start;
  uint8_t* word;
  uint8_t* end;
  uint32_t value;
  int free;
  uint32_t low;
  uint32_t range;
  // Carries that went into bytes before `mark` (the word under construction
  // when a residual block began), counted so that a failing block can take
  // them back.
  uint8_t* mark = nullptr;
  uint32_t marked = 0;

  explicit CabacCoder(const CabacRegs& r)
      : start(r.start), word(r.word), end(r.end), value(r.value), free(r.free), low(r.low & 1023u), range(r.range) {}

  void save(CabacRegs& r) const {
    r.word = word;
    r.value = value;
    r.free = free;
    r.low = uint16_t(low);
    r.range = uint16_t(range);
  }

  // Position of the next output bit, counted from the buffer start.
  int64_t bit_position() const { return int64_t(word - start) * 8 + 32 - free; }

  // Whether n more output bits leave the word under construction below the end limit.
  bool room(int n) const { return word + (n >= free ? 4 : 0) < end; }

  // Adds 1 at the last output bit.
  void carry() {
    if (free > 32) return;  // nothing output yet: cannot happen (see above)
    if (free < 32) {
      const uint64_t v = uint64_t(value) + (uint64_t(1) << free);
      value = uint32_t(v);
      if (!(v >> 32)) return;
    }
    for (uint8_t* p = word; p > start;) {
      --p;
      if (p + 1 == mark) ++marked;
      if (++*p) break;
    }
  }

  // Appends the n (0..8) low bits of bits; room(n) has been checked.
  void put(uint32_t bits, int n) {
    if (n < free) {
      value |= uint32_t(uint64_t(bits) << (free - n));
      free -= n;
      return;
    }
    const int rest = n - free;
    value |= bits >> rest;
    store_be32(word, value);
    word += 4;
    free = 32 - rest;
    value = rest ? bits << (32 - rest) : 0;
  }

  // EncodeDecision (9.3.4.2) of bin on the context byte ctx. False, with
  // nothing changed, when the output would reach the end limit.
  bool decision(uint8_t& ctx, uint32_t bin) {
    const uint32_t c = ctx & 127u;
    const uint32_t s = c & 63u;
    const uint32_t lps = kCabacRangeLps[s][(range >> 6) & 3];
    uint32_t r = range - lps;
    uint32_t l = low;
    uint32_t next;
    if (bin == c >> 6) {
      next = c + (s < 62);
    } else {
      l += r;
      r = lps;
      next = s ? (c & 64u) | kCabacNextLps[s] : c ^ 64u;
    }
    int n = 0;
    if (r < 256) n = __builtin_clz(r | 1) - 23;
    if (!room(n)) return false;
    ctx = uint8_t(next);
    if (l >> 10) carry();
    l = (l & 1023u) << n;
    put(l >> 10, n);
    low = l & 1023u;
    range = r << n;
    return true;
  }

  // EncodeBypass (9.3.4.4).
  bool bypass(uint32_t bin) {
    if (!room(1)) return false;
    put(low >> 9, 1);
    low = ((low << 1) & 1023u) + (bin ? range : 0);
    if (low >> 10) {
      carry();
      low &= 1023u;
    }
    return true;
  }
};

}  // namespace kvn
