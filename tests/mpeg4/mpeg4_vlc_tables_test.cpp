// The run-level code tables: each is a prefix code with exactly the expected
// entries, and together with its escape (and end-of-block) it leaves
// uncovered only the all-zero prefix that the decoders reject as invalid.
#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <utility>
#include <vector>

#include "tables/mpeg4_vlc_tables.h"

using namespace kvn::vlc;

namespace {

using Code = std::pair<uint32_t, int>;  // (bits right-aligned, length)

bool is_prefix(const Code& a, const Code& b) {  // a is a prefix of b
  return a.second <= b.second && (b.first >> (b.second - a.second)) == a.first;
}

bool is_suffix(const Code& a, const Code& b) {  // a is a suffix of b
  return a.second <= b.second && (b.first & ((1u << a.second) - 1)) == a.first;
}

// Expects a prefix-free set whose Kraft sum is 1 - 2^-zeros, i.e. complete
// except for the codes that start with `zeros` zero bits (none of which may be
// a code).
void expect_code(const std::vector<Code>& codes, int zeros) {
  uint64_t kraft = 0;  // in units of 2^-24
  for (size_t i = 0; i < codes.size(); ++i) {
    ASSERT_GE(codes[i].second, 1);
    ASSERT_LE(codes[i].second, 16);
    kraft += uint64_t(1) << (24 - codes[i].second);
    for (size_t j = 0; j < codes.size(); ++j)
      if (i != j) {
        ASSERT_FALSE(is_prefix(codes[i], codes[j])) << i << " is a prefix of " << j;
      }
    if (codes[i].second >= zeros) {
      EXPECT_NE(codes[i].first >> (codes[i].second - zeros), 0u) << i;
    }
  }
  EXPECT_EQ(kraft, (uint64_t(1) << 24) - (uint64_t(1) << (24 - zeros)));
}

template <size_t N>
std::vector<Code> codes_of(const RunLevelCode (&t)[N]) {
  std::vector<Code> v;
  for (const auto& c : t) v.emplace_back(c.code, c.length);
  return v;
}

// Per LAST: every RUN present holds the levels 1..LMAX once, and the runs
// present are 0..largest run.
template <size_t N>
void expect_run_level_grid(const RunLevelCode (&t)[N], int entries0, int entries1) {
  std::set<std::tuple<int, int, int>> seen;
  int count[2] = {0, 0};
  for (const auto& c : t) {
    ASSERT_LE(c.last, 1);
    EXPECT_TRUE(seen.insert({c.last, c.run, c.level}).second);
    ++count[c.last];
  }
  EXPECT_EQ(count[0], entries0);
  EXPECT_EQ(count[1], entries1);
  for (const auto& [last, run, level] : seen) {
    if (level > 1) {
      EXPECT_TRUE(seen.count({last, run, level - 1})) << last << " " << run << " " << level;
    }
    if (run > 0) {
      EXPECT_TRUE(seen.count({last, run - 1, 1})) << last << " " << run;
    }
  }
}

}  // namespace

TEST(Mpeg4VlcTables, TcoefIsH263Table16) {
  auto codes = codes_of(kH263Tcoef);
  codes.emplace_back(kTcoefEscape.code, kTcoefEscape.length);
  expect_code(codes, 9);
  expect_run_level_grid(kH263Tcoef, 58, 44);
  // H.263 Table 16 first and last lines.
  EXPECT_EQ(Code(kH263Tcoef[0].code, kH263Tcoef[0].length), Code(0b10, 2));
  EXPECT_EQ(Code(kH263Tcoef[58].code, kH263Tcoef[58].length), Code(0b0111, 4));  // last 1, run 0, level 1
}

TEST(Mpeg4VlcTables, AnnexIIntraTableReusesTable16Codewords) {
  auto codes = codes_of(kH263IntraAic);
  codes.emplace_back(kTcoefEscape.code, kTcoefEscape.length);
  expect_code(codes, 9);
  expect_run_level_grid(kH263IntraAic, 58, 44);
  // Same codewords as Table 16, each with the same LAST.
  std::set<std::tuple<uint32_t, int, int>> a, b;
  for (const auto& c : kH263Tcoef) a.insert({c.code, c.length, c.last});
  for (const auto& c : kH263IntraAic) b.insert({c.code, c.length, c.last});
  EXPECT_EQ(a, b);
}

TEST(Mpeg4VlcTables, IntraIsTableB16) {
  auto codes = codes_of(kMpeg4Intra);
  codes.emplace_back(kTcoefEscape.code, kTcoefEscape.length);
  expect_code(codes, 9);
  expect_run_level_grid(kMpeg4Intra, 67, 35);
}

TEST(Mpeg4VlcTables, ReversibleTableB23) {
  std::vector<Code> codes;
  for (const auto& c : kMpeg4Rvlc) codes.emplace_back(c.code, c.length);
  codes.emplace_back(kRvlcEscape.code, kRvlcEscape.length);
  ASSERT_EQ(codes.size(), 170u);
  uint64_t kraft = 0;
  for (size_t i = 0; i < codes.size(); ++i) {
    kraft += uint64_t(1) << (24 - codes[i].second);
    for (size_t j = 0; j < codes.size(); ++j) {
      if (i == j) continue;
      ASSERT_FALSE(is_prefix(codes[i], codes[j])) << i << " " << j;
      ASSERT_FALSE(is_suffix(codes[i], codes[j])) << i << " " << j;  // decodable backwards
    }
  }
  EXPECT_LT(kraft, uint64_t(1) << 24);
  // Both meanings cover a full run-level grid.
  std::set<std::tuple<int, int, int>> intra, inter;
  int intraLast1 = 0, interLast1 = 0;
  for (const auto& c : kMpeg4Rvlc) {
    EXPECT_TRUE(intra.insert({c.intraLast, c.intraRun, c.intraLevel}).second);
    EXPECT_TRUE(inter.insert({c.interLast, c.interRun, c.interLevel}).second);
    intraLast1 += c.intraLast;
    interLast1 += c.interLast;
    EXPECT_EQ(c.intraLast, c.interLast);
  }
  EXPECT_EQ(intraLast1, 66);
  EXPECT_EQ(interLast1, 66);
  for (const auto* s : {&intra, &inter})
    for (const auto& [last, run, level] : *s) {
      if (level > 1) {
        EXPECT_TRUE(s->count({last, run, level - 1}));
      }
      if (run > 0) {
        EXPECT_TRUE(s->count({last, run - 1, 1}));
      }
    }
  // Table B-23: 110s is (0, 0, 1) in both meanings; 111s intra (0, 0, 2), inter (0, 1, 1).
  EXPECT_EQ(Code(kMpeg4Rvlc[1].code, kMpeg4Rvlc[1].length), Code(0b111, 3));
  EXPECT_EQ(kMpeg4Rvlc[1].intraLevel, 2);
  EXPECT_EQ(kMpeg4Rvlc[1].interRun, 1);
}

TEST(Mpeg4VlcTables, H261Table5) {
  auto codes = codes_of(kH261Tcoef);
  codes.emplace_back(kH261Eob.code, kH261Eob.length);
  codes.emplace_back(kH261Escape.code, kH261Escape.length);
  expect_code(codes, 9);
  expect_run_level_grid(kH261Tcoef, 63, 0);
  // The first-coefficient form 1s replaces both 10 (EOB) and 11s.
  codes.erase(codes.end() - 2);
  codes.erase(codes.begin());  // run 0, level 1: 11
  codes.emplace_back(kH261FirstCoeff.code, kH261FirstCoeff.length);
  expect_code(codes, 9);
}

TEST(Mpeg4VlcTables, DcSizeCodes) {
  std::vector<Code> luma, chroma;
  for (const auto& c : kDcSizeLuma) luma.emplace_back(c.code, c.length);
  for (const auto& c : kDcSizeChroma) chroma.emplace_back(c.code, c.length);
  expect_code(luma, 11);
  expect_code(chroma, 12);
}
