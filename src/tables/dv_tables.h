// DV (IEC 61834-2, SMPTE 314M) coefficient tables: the AC variable-length
// code, written once as data, the two coefficient scans, and the two-level
// lookup the segment decoders read codes with, built from the data at compile
// time.
//
// An AC code carries (run, amplitude): `run` zero coefficients are skipped and
// the amplitude lands on the position after them. Codes of a nonzero amplitude
// are followed by a sign bit (0 positive, 1 negative); codes of amplitude 0
// have none. The codeword is written as the standard prints it, without the
// sign bit. Besides the listed codes:
//  - "0110" ends the block (kDvEndOfBlock);
//  - "1111110" + a 6-bit run r codes (r, 0), 13 bits;
//  - "1111111" + an 8-bit amplitude + the sign codes (0, amplitude), 16 bits.
// With the sign bits the code is prefix-free and complete: every bit string
// starts with exactly one code.
#pragma once

#include <cstddef>
#include <cstdint>

#include "tables/scan_tables.h"

namespace kvn {
namespace dv {

struct AcCode {
  uint16_t code;
  uint8_t length;  // without the sign bit
  uint8_t run;
  uint8_t amplitude;
  constexpr AcCode(const char* bits, int run_, int amplitude_)
      : code(parse(bits).code), length(parse(bits).length), run(uint8_t(run_)), amplitude(uint8_t(amplitude_)) {}

 private:
  struct Bits {
    uint16_t code;
    uint8_t length;
  };
  static constexpr Bits parse(const char* s) {
    Bits b{0, 0};
    for (; *s; ++s) {
      if (*s == ' ') continue;
      b.code = uint16_t(b.code << 1 | (*s == '1' ? 1 : 0));
      ++b.length;
    }
    return b;
  }
};

// The AC codes with their own codewords (IEC 61834-2), shortest first.
inline constexpr AcCode kAcCodes[] = {
    {"00", 0, 1},
    {"010", 0, 2},
    {"0111", 1, 1},
    {"1000", 0, 3},
    {"1001", 0, 4},
    {"1010 0", 2, 1},
    {"1010 1", 1, 2},
    {"1011 0", 0, 5},
    {"1011 1", 0, 6},
    {"1100 00", 3, 1},
    {"1100 01", 4, 1},
    {"1100 10", 0, 7},
    {"1100 11", 0, 8},
    {"1101 000", 5, 1},
    {"1101 001", 6, 1},
    {"1101 010", 2, 2},
    {"1101 011", 1, 3},
    {"1101 100", 1, 4},
    {"1101 101", 0, 9},
    {"1101 110", 0, 10},
    {"1101 111", 0, 11},
    {"1110 0000", 7, 1},
    {"1110 0001", 8, 1},
    {"1110 0010", 9, 1},
    {"1110 0011", 10, 1},
    {"1110 0100", 3, 2},
    {"1110 0101", 4, 2},
    {"1110 0110", 2, 3},
    {"1110 0111", 1, 5},
    {"1110 1000", 1, 6},
    {"1110 1001", 1, 7},
    {"1110 1010", 0, 12},
    {"1110 1011", 0, 13},
    {"1110 1100", 0, 14},
    {"1110 1101", 0, 15},
    {"1110 1110", 0, 16},
    {"1110 1111", 0, 17},
    {"1111 0000 0", 11, 1},
    {"1111 0000 1", 12, 1},
    {"1111 0001 0", 13, 1},
    {"1111 0001 1", 14, 1},
    {"1111 0010 0", 5, 2},
    {"1111 0010 1", 6, 2},
    {"1111 0011 0", 3, 3},
    {"1111 0011 1", 4, 3},
    {"1111 0100 0", 2, 4},
    {"1111 0100 1", 2, 5},
    {"1111 0101 0", 1, 8},
    {"1111 0101 1", 0, 18},
    {"1111 0110 0", 0, 19},
    {"1111 0110 1", 0, 20},
    {"1111 0111 0", 0, 21},
    {"1111 0111 1", 0, 22},
    {"1111 1000 00", 5, 3},
    {"1111 1000 01", 3, 4},
    {"1111 1000 10", 3, 5},
    {"1111 1000 11", 2, 6},
    {"1111 1001 00", 1, 9},
    {"1111 1001 01", 1, 10},
    {"1111 1001 10", 1, 11},
    {"1111 1001 110", 0, 0},
    {"1111 1001 111", 1, 0},
    {"1111 1010 000", 6, 3},
    {"1111 1010 001", 4, 4},
    {"1111 1010 010", 3, 6},
    {"1111 1010 011", 1, 12},
    {"1111 1010 100", 1, 13},
    {"1111 1010 101", 1, 14},
    {"1111 1010 1100", 2, 0},
    {"1111 1010 1101", 3, 0},
    {"1111 1010 1110", 4, 0},
    {"1111 1010 1111", 5, 0},
    {"1111 1011 0000", 7, 2},
    {"1111 1011 0001", 8, 2},
    {"1111 1011 0010", 9, 2},
    {"1111 1011 0011", 10, 2},
    {"1111 1011 0100", 7, 3},
    {"1111 1011 0101", 8, 3},
    {"1111 1011 0110", 4, 5},
    {"1111 1011 0111", 3, 7},
    {"1111 1011 1000", 2, 7},
    {"1111 1011 1001", 2, 8},
    {"1111 1011 1010", 2, 9},
    {"1111 1011 1011", 2, 10},
    {"1111 1011 1100", 2, 11},
    {"1111 1011 1101", 1, 15},
    {"1111 1011 1110", 1, 16},
    {"1111 1011 1111", 1, 17},
};
inline constexpr std::size_t kAcCodeCount = sizeof kAcCodes / sizeof kAcCodes[0];

inline constexpr uint16_t kDvEndOfBlock = 0x6;  // "0110"
inline constexpr int kDvEndOfBlockLength = 4;
inline constexpr uint16_t kDvRunEscape = 0x7e;  // "1111110", then a 6-bit run
inline constexpr int kDvRunEscapeLength = 13;
inline constexpr uint16_t kDvAmpEscape = 0x7f;  // "1111111", then an 8-bit amplitude and the sign
inline constexpr int kDvAmpEscapeLength = 16;
inline constexpr int kDvMaxCodeLength = 16;

// Raster index by scan position: the 8-8 mode (zigzag) and the 2-4-8 mode,
// whose rows 0..3 hold the sum field and rows 4..7 the difference field.
inline constexpr const uint8_t (&kDvScan88)[64] = kZigzag8x8;
inline constexpr uint8_t kDvScan248[64] = {0,  32, 1, 33, 8,  40, 2,  34, 9,  41, 16, 48, 24, 56, 17, 49,
                                           10, 42, 3, 35, 4,  36, 11, 43, 18, 50, 25, 57, 26, 58, 19, 51,
                                           12, 44, 5, 37, 6,  38, 13, 45, 20, 52, 27, 59, 28, 60, 21, 53,
                                           14, 46, 7, 39, 15, 47, 22, 54, 29, 61, 30, 62, 23, 55, 31, 63};

// ---------------------------------------------------------------------------
// Two-level lookup. The first level is indexed by the next 9 bits and
// resolves every code of at most 9 bits with its sign. All longer codes start
// with "1111"; their entries send the reader to the second level, indexed by
// the 10 bits after those four, which resolves every code of at most 14 bits
// and marks the 16-bit escape (its index starts with "111").

struct VlcEntry {
  int16_t value;   // the signed amplitude x 64 (the decoders' output scale)
  uint8_t run;     // or kRunEndOfBlock / kRunAmpEscape
  uint8_t length;  // bits, sign included; 0: look in the second level
};
inline constexpr uint8_t kRunEndOfBlock = 255;
inline constexpr uint8_t kRunAmpEscape = 254;
inline constexpr int kFirstBits = 9;
inline constexpr int kSecondBits = 10;
inline constexpr int kSecondSkip = 4;  // the "1111" before the second level's index

struct VlcLookup {
  VlcEntry first[1 << kFirstBits];
  VlcEntry second[1 << kSecondBits];
};

namespace detail {

// Fills the entries of one code (`bits` with its sign, `length` bits in all)
// into the level that holds it.
constexpr void put_code(VlcLookup& t, uint32_t bits, int length, VlcEntry e) {
  e.length = uint8_t(length);
  if (length <= kFirstBits) {
    const uint32_t start = bits << (kFirstBits - length);
    for (uint32_t i = 0; i < (1u << (kFirstBits - length)); ++i) t.first[start + i] = e;
  } else {
    const int rel = length - kSecondSkip;  // every such code starts with "1111"
    const uint32_t start = (bits & ((1u << rel) - 1)) << (kSecondBits - rel);
    for (uint32_t i = 0; i < (1u << (kSecondBits - rel)); ++i) t.second[start + i] = e;
  }
}

constexpr VlcLookup make_lookup() {
  VlcLookup t{};
  for (const AcCode& c : kAcCodes) {
    if (c.amplitude == 0) {
      put_code(t, c.code, c.length, VlcEntry{0, c.run, 0});
    } else {
      put_code(t, uint32_t(c.code) << 1, c.length + 1, VlcEntry{int16_t(c.amplitude * 64), c.run, 0});
      put_code(t, uint32_t(c.code) << 1 | 1, c.length + 1, VlcEntry{int16_t(-c.amplitude * 64), c.run, 0});
    }
  }
  put_code(t, kDvEndOfBlock, kDvEndOfBlockLength, VlcEntry{0, kRunEndOfBlock, 0});
  for (uint32_t r = 0; r < 64; ++r)
    put_code(t, uint32_t(kDvRunEscape) << 6 | r, kDvRunEscapeLength, {0, uint8_t(r), 0});
  // The 16-bit escape: its prefix "111" in the second level's index; the
  // reader takes the amplitude and sign from the bits after it.
  for (uint32_t i = 0x380; i < 0x400; ++i) t.second[i] = VlcEntry{0, kRunAmpEscape, kDvAmpEscapeLength};
  return t;
}

}  // namespace detail

inline constexpr VlcLookup kVlcLookup = detail::make_lookup();

}  // namespace dv
}  // namespace kvn
