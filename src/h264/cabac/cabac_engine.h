// The H.264 CABAC arithmetic encoding engine (ITU-T H.264 9.3.4) over the
// coder state a caller keeps in 504 bytes of its own memory.
//
// codILow is kept in 10 bits. The bits that renormalisation shifts out of it
// go into the output; a carry out of codILow is added to the bits already
// output (the word under construction, then the bytes stored before it), so
// no count of outstanding bits is needed. The output is a
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

#include <cstddef>
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

// Loads and stores of single registers of a state's bytes.
template <class T>
T reg_load(const uint8_t* state, size_t offset) {
  T v;
  std::memcpy(&v, state + offset, sizeof v);
  return v;
}
template <class T>
void reg_store(uint8_t* state, size_t offset, T v) {
  std::memcpy(state + offset, &v, sizeof v);
}
#define KVN_CABAC_LOAD(state, member) reg_load<decltype(CabacRegs::member)>(state, offsetof(CabacRegs, member))
#define KVN_CABAC_STORE(state, member, v) reg_store<decltype(CabacRegs::member)>(state, offsetof(CabacRegs, member), v)

inline void store_be32(uint8_t* p, uint32_t v) {
  v = __builtin_bswap32(v);
  std::memcpy(p, &v, 4);
}

// Adds 1 to the big-endian number that the bytes before word form (a carry
// out of the word under construction), going no further back than start;
// returns 1 when the carry reached the bytes before mark.
uint32_t cabac_carry_bytes(uint8_t* word, const uint8_t* start, const uint8_t* mark);

// The engine's registers while a call runs. Bits shifted out of codILow wait
// above it in `low` (`pending` of them, a carry above those) until flush()
// moves them into the output, so that a bin is a few table lookups, two
// conditional moves and shifts.
struct CabacCoder {
  uint8_t* start;
  uint8_t* word;
  uint8_t* end;
  uint32_t value;
  int free;
  uint64_t low;
  int pending = 0;
  uint32_t range;
  // Carries that went into bytes before `mark` (the word under construction
  // when a residual block began), counted so that a failing block can take
  // them back.
  uint8_t* mark = nullptr;
  uint32_t marked = 0;

  // The registers of a state, field by field (so that the stores of one
  // call forward to the loads of the next); a range outside 256..510 (never
  // written by the library) is forced into it so that renormalisation stays
  // defined.
  explicit CabacCoder(const uint8_t* state)
      : start(KVN_CABAC_LOAD(state, start)),
        word(KVN_CABAC_LOAD(state, word)),
        end(KVN_CABAC_LOAD(state, end)),
        value(KVN_CABAC_LOAD(state, value)),
        free(KVN_CABAC_LOAD(state, free)),
        low(KVN_CABAC_LOAD(state, low) & 1023u),
        range((KVN_CABAC_LOAD(state, range) & 511u) | 256u) {}

  // Stores the word under construction into the buffer (which so holds every
  // bit produced) and the registers a call changes into the state; after flush().
  void commit(uint8_t* state) const {
    store_be32(word, value);
    KVN_CABAC_STORE(state, word, word);
    KVN_CABAC_STORE(state, value, value);
    KVN_CABAC_STORE(state, free, free);
    KVN_CABAC_STORE(state, low, uint16_t(low));
    KVN_CABAC_STORE(state, range, uint16_t(range));
  }

  // Position of the next output bit, counted from the buffer start.
  int64_t bit_position() const { return int64_t(word - start) * 8 + 32 - free + pending; }

  // Whether n more output bits leave the word under construction below the end limit.
  // (Address arithmetic as integers: a cleared state's pointers are null.)
  bool room(int n) const { return word_below_end(n >= free ? 4 : 0); }
  bool word_below_end(uintptr_t ahead) const {
    return reinterpret_cast<uintptr_t>(word) + ahead < reinterpret_cast<uintptr_t>(end);
  }

  // Adds 1 at the last output bit.
  void carry() {
    if (free > 32) return;  // nothing output yet: cannot happen (see above)
    if (free < 32) {
      const uint64_t v = uint64_t(value) + (uint64_t(1) << free);
      value = uint32_t(v);
      if (!(v >> 32)) return;
    }
    marked += cabac_carry_bytes(word, start, mark);
  }

  // Appends the n (0..32) low bits of bits; room(n) has been checked.
  __attribute__((always_inline)) void put(uint32_t bits, int n) {
    if (n < free) {
      value |= uint32_t(uint64_t(bits) << (free - n));
      free -= n;
      return;
    }
    const int rest = n - free;
    value |= uint32_t(uint64_t(bits) >> rest);
    store_be32(word, value);
    word += 4;
    free = 32 - rest;
    value = rest ? bits << (32 - rest) : 0;
  }

  // Moves the pending bits into the output. False, with the output as it
  // was, when they would reach the end limit.
  __attribute__((always_inline)) bool flush() {
    if (!room(pending)) return false;
    const uint64_t top = uint64_t(1) << (10 + pending);
    if (low & top) carry();
    put(uint32_t((low & (top - 1)) >> 10), pending);
    low &= 1023u;
    pending = 0;
    return true;
  }

  // EncodeDecision (9.3.4.2) of bin on the context byte ctx. The LPS range
  // comes with its renormalised value and shift (kCabacEngine.lps), so that the
  // chain from one bin's range to the next is a load, a subtraction and a
  // few selections.
  __attribute__((always_inline)) void decision(uint8_t& ctx, uint32_t bin) {
    const uint32_t c = ctx & 127u;
    const uint32_t e = kCabacEngine.lps[c & 63u][range >> 6];  // range < 512
    const uint32_t r = range - (e & 255u);
    const uint32_t mpsShift = (r >> 8) ^ 1u;                // r >= 128 after an MPS
    const uint32_t lpsMask = 0u - ((bin ^ (c >> 6)) & 1u);  // all ones for an LPS, without a branch
    low += r & lpsMask;
    const uint32_t n = mpsShift ^ ((mpsShift ^ (e >> 8 & 15u)) & lpsMask);
    const uint32_t mpsRange = r << mpsShift;
    range = (mpsRange & ~lpsMask) | ((e >> 16) & lpsMask);
    ctx = kCabacEngine.next[c][bin & 1];
    low <<= n;
    pending += int(n);
  }

  // EncodeBypass (9.3.4.4).
  __attribute__((always_inline)) void bypass(uint32_t bin) {
    low = (low << 1) + (range & (0u - (bin & 1u)));
    ++pending;
  }
};

}  // namespace kvn
