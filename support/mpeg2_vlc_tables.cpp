#include "mpeg2_vlc_tables.h"

#include <algorithm>

namespace kvnsupport {
namespace {

// A codeword without its sign bit, written as '0'/'1' with spaces.
struct Row {
  const char* bits;
  int run, level;
};

Mpeg2Vlc parse(const char* bits, int run, int level) {
  Mpeg2Vlc v{0, 0, run, level};
  for (const char* c = bits; *c; ++c)
    if (*c == '0' || *c == '1') v.code = v.code << 1 | uint32_t(*c - '0'), ++v.len;
  return v;
}

// Table B-14: every (run, level) but the first coefficient's 1s and the
// end of block, which depend on the position.
constexpr Row kB14[] = {
    {"11", 0, 1},
    {"011", 1, 1},
    {"0100", 0, 2},
    {"0101", 2, 1},
    {"0010 1", 0, 3},
    {"0011 1", 3, 1},
    {"0011 0", 4, 1},
    {"0001 10", 1, 2},
    {"0001 11", 5, 1},
    {"0001 01", 6, 1},
    {"0001 00", 7, 1},
    {"0000 110", 0, 4},
    {"0000 100", 2, 2},
    {"0000 111", 8, 1},
    {"0000 101", 9, 1},
    {"0010 0110", 0, 5},
    {"0010 0001", 0, 6},
    {"0010 0101", 1, 3},
    {"0010 0100", 3, 2},
    {"0010 0111", 10, 1},
    {"0010 0011", 11, 1},
    {"0010 0010", 12, 1},
    {"0010 0000", 13, 1},
    {"0000 0010 10", 0, 7},
    {"0000 0011 00", 1, 4},
    {"0000 0010 11", 2, 3},
    {"0000 0011 11", 4, 2},
    {"0000 0010 01", 5, 2},
    {"0000 0011 10", 14, 1},
    {"0000 0011 01", 15, 1},
    {"0000 0010 00", 16, 1},
    {"0000 0001 1101", 0, 8},
    {"0000 0001 1000", 0, 9},
    {"0000 0001 0011", 0, 10},
    {"0000 0001 0000", 0, 11},
    {"0000 0001 1011", 1, 5},
    {"0000 0001 0100", 2, 4},
    {"0000 0001 1100", 3, 3},
    {"0000 0001 0010", 4, 3},
    {"0000 0001 1110", 6, 2},
    {"0000 0001 0101", 7, 2},
    {"0000 0001 0001", 8, 2},
    {"0000 0001 1111", 17, 1},
    {"0000 0001 1010", 18, 1},
    {"0000 0001 1001", 19, 1},
    {"0000 0001 0111", 20, 1},
    {"0000 0001 0110", 21, 1},
    {"0000 0000 1101 0", 0, 12},
    {"0000 0000 1100 1", 0, 13},
    {"0000 0000 1100 0", 0, 14},
    {"0000 0000 1011 1", 0, 15},
    {"0000 0000 1011 0", 1, 6},
    {"0000 0000 1010 1", 1, 7},
    {"0000 0000 1010 0", 2, 5},
    {"0000 0000 1001 1", 3, 4},
    {"0000 0000 1001 0", 5, 3},
    {"0000 0000 1000 1", 9, 2},
    {"0000 0000 1000 0", 10, 2},
    {"0000 0000 1111 1", 22, 1},
    {"0000 0000 1111 0", 23, 1},
    {"0000 0000 1110 1", 24, 1},
    {"0000 0000 1110 0", 25, 1},
    {"0000 0000 1101 1", 26, 1},
    {"0000 0000 0111 11", 0, 16},
    {"0000 0000 0111 10", 0, 17},
    {"0000 0000 0111 01", 0, 18},
    {"0000 0000 0111 00", 0, 19},
    {"0000 0000 0110 11", 0, 20},
    {"0000 0000 0110 10", 0, 21},
    {"0000 0000 0110 01", 0, 22},
    {"0000 0000 0110 00", 0, 23},
    {"0000 0000 0101 11", 0, 24},
    {"0000 0000 0101 10", 0, 25},
    {"0000 0000 0101 01", 0, 26},
    {"0000 0000 0101 00", 0, 27},
    {"0000 0000 0100 11", 0, 28},
    {"0000 0000 0100 10", 0, 29},
    {"0000 0000 0100 01", 0, 30},
    {"0000 0000 0100 00", 0, 31},
    {"0000 0000 0011 000", 0, 32},
    {"0000 0000 0010 111", 0, 33},
    {"0000 0000 0010 110", 0, 34},
    {"0000 0000 0010 101", 0, 35},
    {"0000 0000 0010 100", 0, 36},
    {"0000 0000 0010 011", 0, 37},
    {"0000 0000 0010 010", 0, 38},
    {"0000 0000 0010 001", 0, 39},
    {"0000 0000 0010 000", 0, 40},
    {"0000 0000 0011 111", 1, 8},
    {"0000 0000 0011 110", 1, 9},
    {"0000 0000 0011 101", 1, 10},
    {"0000 0000 0011 100", 1, 11},
    {"0000 0000 0011 011", 1, 12},
    {"0000 0000 0011 010", 1, 13},
    {"0000 0000 0011 001", 1, 14},
    {"0000 0000 0001 0011", 1, 15},
    {"0000 0000 0001 0010", 1, 16},
    {"0000 0000 0001 0001", 1, 17},
    {"0000 0000 0001 0000", 1, 18},
    {"0000 0000 0001 0100", 6, 3},
    {"0000 0000 0001 1010", 11, 2},
    {"0000 0000 0001 1001", 12, 2},
    {"0000 0000 0001 1000", 13, 2},
    {"0000 0000 0001 0111", 14, 2},
    {"0000 0000 0001 0110", 15, 2},
    {"0000 0000 0001 0101", 16, 2},
    {"0000 0000 0001 1111", 27, 1},
    {"0000 0000 0001 1110", 28, 1},
    {"0000 0000 0001 1101", 29, 1},
    {"0000 0000 0001 1100", 30, 1},
    {"0000 0000 0001 1011", 31, 1},
};

// Table B-15: the codes that differ from B-14 (the others are B-14's).
constexpr Row kB15[] = {
    {"10", 0, 1},           {"010", 1, 1},          {"110", 0, 2},           {"0010 1", 2, 1},
    {"0111", 0, 3},         {"0011 1", 3, 1},       {"0001 10", 4, 1},       {"0011 0", 1, 2},
    {"0001 11", 5, 1},      {"0000 110", 6, 1},     {"0000 100", 7, 1},      {"1110 0", 0, 4},
    {"0000 111", 2, 2},     {"0000 101", 8, 1},     {"1111 000", 9, 1},      {"1110 1", 0, 5},
    {"0001 01", 0, 6},      {"1111 001", 1, 3},     {"0010 0110", 3, 2},     {"1111 010", 10, 1},
    {"0010 0001", 11, 1},   {"0010 0101", 12, 1},   {"0010 0100", 13, 1},    {"0001 00", 0, 7},
    {"0010 0111", 1, 4},    {"1111 1100", 2, 3},    {"1111 1101", 4, 2},     {"0000 0010 0", 5, 2},
    {"0000 0010 1", 14, 1}, {"0000 0011 1", 15, 1}, {"0000 0011 01", 16, 1}, {"1111 011", 0, 8},
    {"1111 100", 0, 9},     {"0010 0011", 0, 10},   {"0010 0010", 0, 11},    {"1111 1010", 0, 12},
    {"1111 1011", 0, 13},   {"1111 1110", 0, 14},   {"1111 1111", 0, 15},    {"0010 0000", 1, 5},
    {"0000 0011 00", 2, 4},
};

constexpr const char* kDcSizeLuma[12] = {"100",    "00",      "01",       "101",       "110",         "1110",
                                         "1111 0", "1111 10", "1111 110", "1111 1110", "1111 1111 0", "1111 1111 1"};
constexpr const char* kDcSizeChroma[12] = {"00",        "01",          "10",           "110",
                                           "1110",      "1111 0",      "1111 10",      "1111 110",
                                           "1111 1110", "1111 1111 0", "1111 1111 10", "1111 1111 11"};

void add_signed(std::vector<Mpeg2Vlc>& out, const char* bits, int run, int level) {
  const Mpeg2Vlc v = parse(bits, run, level);
  out.push_back({v.len + 1, v.code << 1, run, level});
  out.push_back({v.len + 1, v.code << 1 | 1, run, -level});
}

}  // namespace

std::vector<Mpeg2Vlc> mpeg2_dct_codes(Mpeg2DctTable table) {
  std::vector<Mpeg2Vlc> out;
  if (table == Mpeg2DctTable::kB15) {
    for (const Row& r : kB15) add_signed(out, r.bits, r.run, r.level);
    for (const Row& r : kB14) {
      const bool replaced = std::any_of(std::begin(kB15), std::end(kB15),
                                        [&](const Row& b) { return b.run == r.run && b.level == r.level; });
      if (!replaced) add_signed(out, r.bits, r.run, r.level);
    }
    out.push_back(parse("0110", kMpeg2EndOfBlock, 0));
  } else {
    for (const Row& r : kB14)
      if (table == Mpeg2DctTable::kB14First && r.run == 0 && r.level == 1)
        add_signed(out, "1", 0, 1);
      else
        add_signed(out, r.bits, r.run, r.level);
    if (table == Mpeg2DctTable::kB14) out.push_back(parse("10", kMpeg2EndOfBlock, 0));
  }
  out.push_back(parse("0000 01", kMpeg2Escape, 0));
  return out;
}

std::vector<Mpeg2Vlc> mpeg2_dc_size_codes(bool chroma) {
  std::vector<Mpeg2Vlc> out;
  for (int size = 0; size < 12; ++size) out.push_back(parse((chroma ? kDcSizeChroma : kDcSizeLuma)[size], size, 0));
  return out;
}

std::vector<int32_t> mpeg2_source_table(const std::vector<Mpeg2Vlc>& codes, const std::vector<int>& stages,
                                        bool runLevel) {
  std::vector<int32_t> t = {0, int32_t(stages.size())};
  t.insert(t.end(), stages.begin(), stages.end());
  int longest = 0;
  for (const Mpeg2Vlc& c : codes) longest = std::max(longest, c.len);
  for (int len = 1; len <= longest; ++len) {
    const std::size_t at = t.size();
    t.push_back(0);
    for (const Mpeg2Vlc& c : codes)
      if (c.len == len) {
        ++t[at];
        t.push_back(int32_t(c.code));
        t.push_back(c.run);
        if (runLevel) t.push_back(c.level);
      }
  }
  t.push_back(-1);
  return t;
}

std::vector<int32_t> mpeg2_dct_source(Mpeg2DctTable table, const std::vector<int>& stages) {
  return mpeg2_source_table(mpeg2_dct_codes(table), stages, true);
}

std::vector<int32_t> mpeg2_dc_size_source(bool chroma, const std::vector<int>& stages) {
  const std::vector<int> one = {chroma ? 10 : 9};
  return mpeg2_source_table(mpeg2_dc_size_codes(chroma), stages.empty() ? one : stages, false);
}

std::vector<int32_t> mpeg2_dc_size_writer_table(bool chroma) {
  std::vector<int32_t> t;
  for (const Mpeg2Vlc& c : mpeg2_dc_size_codes(chroma)) {
    t.push_back(int32_t(c.code));
    t.push_back(c.len);
  }
  return t;
}

const int32_t kMpeg2Zigzag[64] = {0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,
                                  12, 19, 26, 33, 40, 48, 41, 34, 27, 20, 13, 6,  7,  14, 21, 28,
                                  35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23, 30, 37, 44, 51,
                                  58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};
const int32_t kMpeg2Alternate[64] = {0,  8,  16, 24, 1, 9,  2,  10, 17, 25, 32, 40, 48, 56, 57, 49,
                                     41, 33, 26, 18, 3, 11, 4,  12, 19, 27, 34, 42, 50, 58, 35, 43,
                                     51, 59, 20, 28, 5, 13, 6,  14, 21, 29, 36, 44, 52, 60, 37, 45,
                                     53, 61, 22, 30, 7, 15, 23, 31, 38, 46, 54, 62, 39, 47, 55, 63};

}  // namespace kvnsupport
