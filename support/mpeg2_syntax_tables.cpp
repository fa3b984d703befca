#include "mpeg2_syntax_tables.h"

#include "mpeg2_vlc_tables.h"

#include <algorithm>
#include <string>
#include <utility>

namespace kvnsupport {
namespace {

struct Code {
  const char* bits;  // the codeword, spaces ignored
  int32_t value;
};
using Codes = std::vector<Code>;

uint32_t bits_of(const char* s, int& length) {
  uint32_t v = 0;
  length = 0;
  for (; *s; ++s)
    if (*s == '0' || *s == '1') v = v << 1 | uint32_t(*s - '0'), ++length;
  return v;
}

const Codes& mb_address_increment() {
  static const Codes t = {
      {"1", 1},
      {"011", 2},
      {"010", 3},
      {"0011", 4},
      {"0010", 5},
      {"0001 1", 6},
      {"0001 0", 7},
      {"0000 111", 8},
      {"0000 110", 9},
      {"0000 1011", 10},
      {"0000 1010", 11},
      {"0000 1001", 12},
      {"0000 1000", 13},
      {"0000 0111", 14},
      {"0000 0110", 15},
      {"0000 0101 11", 16},
      {"0000 0101 10", 17},
      {"0000 0101 01", 18},
      {"0000 0101 00", 19},
      {"0000 0100 11", 20},
      {"0000 0100 10", 21},
      {"0000 0100 011", 22},
      {"0000 0100 010", 23},
      {"0000 0100 001", 24},
      {"0000 0100 000", 25},
      {"0000 0011 111", 26},
      {"0000 0011 110", 27},
      {"0000 0011 101", 28},
      {"0000 0011 100", 29},
      {"0000 0011 011", 30},
      {"0000 0011 010", 31},
      {"0000 0011 001", 32},
      {"0000 0011 000", 33},
      {"0000 0001 000", kMbEscape},
      {"0000 0001 111", kMbStuffing},
  };
  return t;
}

const Codes& mb_type(int pictureType) {
  constexpr int32_t Q = kMbQuant, F = kMbForward, B = kMbBackward, P = kMbPattern, I = kMbIntra;
  static const Codes intra = {{"1", I}, {"01", I | Q}};
  static const Codes pred = {
      {"1", F | P}, {"01", P}, {"001", F}, {"0001 1", I}, {"0001 0", F | P | Q}, {"0000 1", P | Q}, {"0000 01", I | Q},
  };
  static const Codes bidir = {
      {"10", F | B},
      {"11", F | B | P},
      {"010", B},
      {"011", B | P},
      {"0010", F},
      {"0011", F | P},
      {"0001 1", I},
      {"0001 0", F | B | P | Q},
      {"0000 11", F | P | Q},
      {"0000 10", B | P | Q},
      {"0000 01", I | Q},
  };
  return pictureType == 1 ? intra : pictureType == 2 ? pred : bidir;
}

const Codes& coded_block_pattern() {
  static const Codes t = {
      {"111", 60},         {"1101", 4},         {"1100", 8},         {"1011", 16},        {"1010", 32},
      {"1001 1", 12},      {"1001 0", 48},      {"1000 1", 20},      {"1000 0", 40},      {"0111 1", 28},
      {"0111 0", 44},      {"0110 1", 52},      {"0110 0", 56},      {"0101 1", 1},       {"0101 0", 61},
      {"0100 1", 2},       {"0100 0", 62},      {"0011 11", 24},     {"0011 10", 36},     {"0011 01", 3},
      {"0011 00", 63},     {"0010 111", 5},     {"0010 110", 9},     {"0010 101", 17},    {"0010 100", 33},
      {"0010 011", 6},     {"0010 010", 10},    {"0010 001", 18},    {"0010 000", 34},    {"0001 1111", 7},
      {"0001 1110", 11},   {"0001 1101", 19},   {"0001 1100", 35},   {"0001 1011", 13},   {"0001 1010", 49},
      {"0001 1001", 21},   {"0001 1000", 41},   {"0001 0111", 14},   {"0001 0110", 50},   {"0001 0101", 22},
      {"0001 0100", 42},   {"0001 0011", 15},   {"0001 0010", 51},   {"0001 0001", 23},   {"0001 0000", 43},
      {"0000 1111", 25},   {"0000 1110", 37},   {"0000 1101", 26},   {"0000 1100", 38},   {"0000 1011", 29},
      {"0000 1010", 45},   {"0000 1001", 53},   {"0000 1000", 57},   {"0000 0111", 30},   {"0000 0110", 46},
      {"0000 0101", 54},   {"0000 0100", 58},   {"0000 0011 1", 31}, {"0000 0011 0", 47}, {"0000 0010 1", 55},
      {"0000 0010 0", 59}, {"0000 0001 1", 27}, {"0000 0001 0", 39}, {"0000 0000 1", 0},
  };
  return t;
}

const Codes& motion_code() {
  // Magnitudes 1..16 followed by the sign bit (0 positive).
  static const Codes t = {
      {"1", 0},
      {"010", 1},
      {"011", -1},
      {"0010", 2},
      {"0011", -2},
      {"0001 0", 3},
      {"0001 1", -3},
      {"0000 110", 4},
      {"0000 111", -4},
      {"0000 1010", 5},
      {"0000 1011", -5},
      {"0000 1000", 6},
      {"0000 1001", -6},
      {"0000 0110", 7},
      {"0000 0111", -7},
      {"0000 0101 10", 8},
      {"0000 0101 11", -8},
      {"0000 0101 00", 9},
      {"0000 0101 01", -9},
      {"0000 0100 10", 10},
      {"0000 0100 11", -10},
      {"0000 0100 010", 11},
      {"0000 0100 011", -11},
      {"0000 0100 000", 12},
      {"0000 0100 001", -12},
      {"0000 0011 110", 13},
      {"0000 0011 111", -13},
      {"0000 0011 100", 14},
      {"0000 0011 101", -14},
      {"0000 0011 010", 15},
      {"0000 0011 011", -15},
      {"0000 0011 000", 16},
      {"0000 0011 001", -16},
  };
  return t;
}

const Codes& codes(Mpeg2Syntax table) {
  switch (table) {
    case Mpeg2Syntax::kMbAddressIncrement: return mb_address_increment();
    case Mpeg2Syntax::kMbTypeI: return mb_type(1);
    case Mpeg2Syntax::kMbTypeP: return mb_type(2);
    case Mpeg2Syntax::kMbTypeB: return mb_type(3);
    case Mpeg2Syntax::kCodedBlockPattern: return coded_block_pattern();
    default: return motion_code();
  }
}

}  // namespace

std::vector<int32_t> mpeg2_syntax_source(Mpeg2Syntax table) {
  std::vector<Mpeg2Vlc> all;
  int longest = 0;
  for (const Code& c : codes(table)) {
    Mpeg2Vlc v{0, 0, c.value, 0};
    v.code = bits_of(c.bits, v.len);
    longest = std::max(longest, v.len);
    all.push_back(v);
  }
  return mpeg2_source_table(all, {longest}, false);
}

bool mpeg2_syntax_code(Mpeg2Syntax table, int32_t value, uint32_t& code, int& length) {
  for (const Code& c : codes(table))
    if (c.value == value) {
      code = bits_of(c.bits, length);
      return true;
    }
  return false;
}

const uint8_t kMpeg2DefaultIntraMatrix[64] = {
    8,  16, 19, 22, 26, 27, 29, 34, 16, 16, 22, 24, 27, 29, 34, 37, 19, 22, 26, 27, 29, 34,
    34, 38, 22, 22, 26, 27, 29, 34, 37, 40, 22, 26, 27, 29, 32, 35, 40, 48, 26, 27, 29, 32,
    35, 40, 48, 58, 26, 27, 29, 34, 38, 46, 56, 69, 27, 29, 35, 38, 46, 56, 69, 83,
};

const uint8_t kMpeg2NonLinearScale[32] = {0,  1,  2,  3,  4,  5,  6,  7,  8,  10, 12, 14, 16, 18, 20,  22,
                                          24, 28, 32, 36, 40, 44, 48, 52, 56, 64, 72, 80, 88, 96, 104, 112};

}  // namespace kvnsupport
