// H.264 Exp-Golomb and CAVLC decoders through the exported names: the code
// tables themselves, worked examples, word-boundary crossings, every status
// with what it leaves behind, corrupt tables and streams.
#include <gtest/gtest.h>

#include <string>

#include "cavlc_test.h"
#include "guard_page.h"
#include "rng.h"

namespace {

using namespace cavlctest;

// A stream from a string of '0'/'1' (other characters ignored), one spare word.
std::vector<uint32_t> bits(const std::string& s, int lead = 0) {
  kvnvlc::BitWriter w;
  for (int i = 0; i < lead; ++i) w.put(0, 1);
  for (char ch : s)
    if (ch == '0' || ch == '1') w.put(uint32_t(ch - '0'), 1);
  return w.words(1);
}

// ---- the code tables ---------------------------------------------------------

// Each table is prefix-free; the Kraft sum is 1 except for the unused
// all-zero patterns H.264 leaves out.
TEST(CavlcTables, PrefixFreeWithTheExpectedKraftSums) {
  auto check = [](const std::vector<kvnvlc::Code>& codes, double missing, const std::string& what) {
    double sum = 0;
    for (const auto& a : codes) {
      sum += 1.0 / double(1ull << a.len);
      for (const auto& b : codes)
        if (&a != &b && a.len <= b.len) {
          EXPECT_NE(a.bits, b.bits >> (b.len - a.len)) << what;
        }
    }
    EXPECT_DOUBLE_EQ(1.0 - sum, missing) << what;
  };
  const double ct[3] = {1.0 / 32768, 1.0 / 8192, 1.0 / 1024};
  for (int c = 0; c < 3; ++c) {
    EXPECT_EQ(kvnvlc::coeff_token_codes(2 * c).size(), 62u);
    check(kvnvlc::coeff_token_codes(2 * c), ct[c], "coeff_token " + std::to_string(c));
  }
  check(kvnvlc::coeff_token_codes(-1), 0, "coeff_token -1");
  check(kvnvlc::coeff_token_codes(-2), 7.0 / 8192, "coeff_token -2");
  for (int i = 1; i < 16; ++i) check(kvnvlc::total_zeros_codes(16, i), i == 1 ? 1.0 / 512 : 0, "tz");
  for (int i = 1; i < 4; ++i) check(kvnvlc::total_zeros_codes(4, i), 0, "tz 2x2");
  for (int i = 1; i < 8; ++i) check(kvnvlc::total_zeros_codes(8, i), 0, "tz 2x4");
  for (int i = 1; i < 8; ++i) check(kvnvlc::run_before_codes(i), i == 7 ? 1.0 / 2048 : 0, "run_before");
}

// ---- Exp-Golomb --------------------------------------------------------------

TEST(CavlcExpGolomb, ValuesWidthsAndLimits) {
  struct Case {
    const char* code;
    int isSigned;
    int32_t v32;
    int16_t v16;
    int used;
  };
  const Case cases[] = {
      {"1", 0, 0, 0, 1},
      {"010", 0, 1, 1, 3},
      {"010", 1, 1, 1, 3},
      {"011", 0, 2, 2, 3},
      {"011", 1, -1, -1, 3},
      {"00100", 1, 2, 2, 5},
      {"00101", 1, -2, -2, 5},
      // 16 leading zeros: decoded by both; 17: the 16s member passes the info bits over.
      {"0000000000000000 1 1111111111111111", 0, 131070, -2, 33},
      {"00000000000000000 1 00000000000000001", 0, 131072, 0, 35},
      {"0000000000000000000000000000000 1 1111111111111111111111111111110", 0, -3, 0, 63},
      {"0000000000000000000000000000000 1 1111111111111111111111111111110", 1, 2147483647, 0, 63},
      {"0000000000000000000000000000000 1 1111111111111111111111111111111", 1, -2147483647, 0, 63},
  };
  for (const Case& c : cases)
    for (int lead = 0; lead < 64; lead += 7) {
      std::vector<uint32_t> w = bits(c.code, lead);
      Pos p = pos_at(w, std::size_t(lead));
      Kvn32s v32 = 77;
      ASSERT_EQ(kvniDecodeExpGolombOne_H264_1u32s(&p.word, &p.index, &v32, c.isSigned ? 0x101 : 0x7f00), KVN_STS_OK);
      EXPECT_EQ(v32, c.v32) << c.code;
      const Pos want = pos_at(w, std::size_t(lead + c.used));
      EXPECT_TRUE(p.word == want.word && p.index == want.index) << c.code << " lead " << lead;
      p = pos_at(w, std::size_t(lead));
      Kvn16s v16 = 77;
      ASSERT_EQ(kvniDecodeExpGolombOne_H264_1u16s(&p.word, &p.index, &v16, Kvn8u(c.isSigned ? 0x10 : 0)), KVN_STS_OK);
      EXPECT_EQ(v16, c.v16) << c.code;
      EXPECT_TRUE(p.word == want.word && p.index == want.index) << c.code << " lead " << lead;
    }
  // Random ue/se values across word boundaries.
  kvntest::TestRng g;
  kvnvlc::BitWriter w;
  std::vector<int64_t> vals;
  for (int i = 0; i < 2000; ++i) {
    uint32_t u = g.u32() >> g.range(0, 31);
    if (u == 0xffffffffu || u == 0x80000000u) u = 0;  // codeNum 2^32 - 1 and up need 32 zeros
    vals.push_back(i % 2 ? int64_t(int32_t(u)) : int64_t(u));
    if (i % 2)
      w.put_se(int32_t(u));
    else
      w.put_ue(u);
  }
  std::vector<uint32_t> words = w.words(1);
  Pos p = pos_at(words, 0);
  for (std::size_t i = 0; i < vals.size(); ++i) {
    Kvn32s v;
    ASSERT_EQ(kvniDecodeExpGolombOne_H264_1u32s(&p.word, &p.index, &v, int(i % 2)), KVN_STS_OK);
    ASSERT_EQ(v, int32_t(uint32_t(vals[i]))) << i;
  }
  EXPECT_EQ(p.word, words.data() + w.size() / 32);
}

TEST(CavlcExpGolomb, Statuses) {
  std::vector<uint32_t> w = bits("010");
  Kvn32u* p = w.data();
  Kvn32u* null = nullptr;
  Kvn32u idx = 31, bad = 32;
  Kvn16s v16 = 5;
  Kvn32s v32 = 5;
  EXPECT_EQ(kvniDecodeExpGolombOne_H264_1u16s(nullptr, &idx, &v16, 0), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniDecodeExpGolombOne_H264_1u16s(&p, nullptr, &v16, 0), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniDecodeExpGolombOne_H264_1u16s(&p, &idx, nullptr, 0), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniDecodeExpGolombOne_H264_1u32s(&null, &bad, &v32, 0), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniDecodeExpGolombOne_H264_1u16s(&p, &bad, &v16, 0), KVN_STS_BAD_ARG);
  EXPECT_EQ(kvniDecodeExpGolombOne_H264_1u32s(&p, &bad, &v32, 0), KVN_STS_BAD_ARG);
  EXPECT_TRUE(p == w.data() && v16 == 5 && v32 == 5);
  // 32 leading zeros: beyond a 32-bit codeNum; nothing moves or is written.
  std::vector<uint32_t> z = bits("0000 0000 0000 0000 0000 0000 0000 0000 1", 5);
  Pos q = pos_at(z, 5);
  EXPECT_EQ(kvniDecodeExpGolombOne_H264_1u32s(&q.word, &q.index, &v32, 1), KVN_STS_VLC_CODE_ERR);
  EXPECT_EQ(kvniDecodeExpGolombOne_H264_1u16s(&q.word, &q.index, &v16, 0), KVN_STS_VLC_CODE_ERR);
  EXPECT_TRUE(q.word == z.data() && q.index == 26 && v16 == 5 && v32 == 5);
}

// The data ends with the code; exactly one readable word follows it, then an
// inaccessible page. Every code length (0..31 leading zeros) ending on every
// bit of the last data word, both members, ue(v) and se(v).
TEST(CavlcExpGolomb, ReadsNothingBeyondTheSpareWord) {
  kvntest::GuardPage guard;
  {  // The shortest case: "1" as the last bit of the only data word.
    const uint32_t two[2] = {0x00000001u, 0xffffffffu};
    Kvn32u* at = guard.place(two, 2);
    Kvn32u* word = at;
    Kvn32u index = 0;
    Kvn32s v = 77;
    ASSERT_EQ(kvniDecodeExpGolombOne_H264_1u32s(&word, &index, &v, 0), KVN_STS_OK);
    EXPECT_TRUE(v == 0 && word == at + 1 && index == 31);
  }
  kvntest::TestRng g;
  for (int zeros = 0; zeros < 32; ++zeros)
    for (int lead = 0; lead < 32; ++lead) {
      const uint32_t info = zeros ? g.u32() >> (32 - zeros) : 0;
      const int len = 2 * zeros + 1;
      kvnvlc::BitWriter w;
      for (int i = 0; i < lead; ++i) w.put(g.coin(), 1);
      w.put(0, zeros);
      w.put(1, 1);
      w.put(info, zeros);
      const std::vector<uint32_t> words = w.words(1, lead & 1);
      Kvn32u* at = guard.place(words.data(), words.size());
      const uint32_t codeNum = uint32_t((uint64_t(1) << zeros) - 1 + info);
      for (int member = 0; member < 4; ++member) {
        const bool isSigned = member & 1, wide = member & 2;
        Kvn32u* word = at;
        Kvn32u index = Kvn32u(31 - lead);
        Kvn32s v32 = 0;
        Kvn16s v16 = 0;
        const KvnResult st = wide ? kvniDecodeExpGolombOne_H264_1u32s(&word, &index, &v32, isSigned)
                                  : kvniDecodeExpGolombOne_H264_1u16s(&word, &index, &v16, Kvn8u(isSigned));
        ASSERT_EQ(st, KVN_STS_OK) << zeros << " " << lead;
        const uint32_t half = (codeNum >> 1) + (codeNum & 1);
        const int32_t want = int32_t(!isSigned ? codeNum : codeNum & 1 ? half : 0u - half);
        if (wide)
          EXPECT_EQ(v32, want) << zeros << " " << lead;
        else
          EXPECT_EQ(v16, zeros <= 16 ? int16_t(want) : 0) << zeros << " " << lead;
        EXPECT_EQ(word - at, long((lead + len) / 32));
        EXPECT_EQ(index, Kvn32u(31 - (lead + len) % 32));
      }
    }
}

// ---- CAVLC: worked examples ----------------------------------------------------

// 0 3 -1 0 / 0 -1 1 0 / 1 0 0 0 / 0 0 0 0, nC 0: coeff_token 0000100
// (TotalCoeff 5, TrailingOnes 3), signs 011, levels 1 and 3, total_zeros 111
// (3), runs 10 1 1 01.
TEST(CavlcDecode, WorkedExample) {
  const int32_t want[16] = {0, 3, -1, 0, 0, -1, 1, 0, 1, 0, 0, 0, 0, 0, 0, 0};
  const kvnvlc::CavlcTables t;
  for (Kind k : {Kind::k16s, Kind::k32s, Kind::kRange})
    for (int lead = 0; lead < 32; ++lead) {
      std::vector<uint32_t> w = bits("0000100 011 1 0010 111 10 1 1 01", lead);
      Pos p = pos_at(w, std::size_t(lead));
      Call c;
      c.kind = k;
      const Result r = decode(c, t, &p.word, &p.index);
      ASSERT_EQ(r.status, KVN_STS_OK);
      EXPECT_EQ(r.numCoeff, 5);
      EXPECT_EQ(r.advanced, 16);
      for (int i = 0; i < 16; ++i) EXPECT_EQ(r.coef[std::size_t(i)], want[i]);
      const Pos end = pos_at(w, std::size_t(lead + 24));
      EXPECT_TRUE(p.word == end.word && p.index == end.index);
    }
  // With maximum 15 the same syntax fills scan indices 1..; TotalCoeff 15
  // with total_zeros 0 fills 1..15.
  kvnvlc::BitWriter w;
  kvnvlc::CavlcBlock b;
  b.totalCoeff = 15;
  for (int i = 0; i < 15; ++i) b.levels[i] = i + 2;
  ASSERT_TRUE(kvnvlc::write_cavlc_block(w, b, {0, 15, 16}));
  std::vector<uint32_t> words = w.words(1);
  Pos p = pos_at(words, 0);
  Call c;
  c.maxCoeff = 15;
  const Result r = decode(c, t, &p.word, &p.index);
  ASSERT_EQ(r.status, KVN_STS_OK);
  EXPECT_EQ(r.coef[0], 0);
  for (int k = 1; k < 16; ++k) EXPECT_EQ(r.coef[std::size_t(kZigzag[k])], 17 - k);
}

// The 16-bit 2x2 member decodes "1" + sign + total_zeros and "01" without its
// coeff_token table; the 32-bit member looks everything up.
TEST(CavlcDecode, ChromaDcShortCodewords) {
  const kvnvlc::CavlcTables t;
  const Kvn32s invalid[3] = {1, kvnvlc::kInvalidValue << 8, kvnvlc::kInvalidValue << 8};
  const struct {
    const char* code;
    int tc, at, value, used;
  } cases[] = {{"1 0 1", 1, 0, 1, 3},
               {"1 1 01", 1, 1, -1, 4},
               {"1 0 001", 1, 2, 1, 5},
               {"1 1 000", 1, 3, -1, 5},
               {"01", 0, 0, 0, 2}};
  for (const auto& cs : cases) {
    for (bool own : {true, false}) {
      std::vector<uint32_t> w = bits(cs.code, 30);
      Pos p = pos_at(w, 30);
      Call c;
      c.kind = own ? Kind::kDc2x2_16s : Kind::kDc2x2_32s;
      c.dcToken = own ? invalid : nullptr;
      const Result r = decode(c, t, &p.word, &p.index);
      ASSERT_EQ(r.status, KVN_STS_OK) << cs.code;
      EXPECT_EQ(r.numCoeff, cs.tc);
      EXPECT_EQ(r.advanced, cs.tc ? 4 : 0);
      for (int i = 0; i < 4 && cs.tc; ++i) EXPECT_EQ(r.coef[std::size_t(i)], i == cs.at ? cs.value : 0) << cs.code;
      const Pos end = pos_at(w, std::size_t(30 + cs.used));
      EXPECT_TRUE(p.word == end.word && p.index == end.index) << cs.code;
    }
    Call c;
    c.kind = Kind::kDc2x2_32s;
    c.dcToken = invalid;
    std::vector<uint32_t> w = bits(cs.code);
    Pos p = pos_at(w, 0);
    EXPECT_EQ(decode(c, t, &p.word, &p.index).status, KVN_STS_VLC_CODE_ERR);
  }
}

// suffixLength grows once a level's magnitude passes 3 << (suffixLength - 1),
// starting from 0, or from 1 with more than 10 coefficients and fewer than 3
// trailing ones, where the first level is also coded one smaller: levels on
// both sides of every threshold, first and later, in many orders.
TEST(CavlcDecode, SuffixLengthGrowsAtEveryThreshold) {
  const kvnvlc::CavlcTables t;
  const int32_t edges[] = {1, 2, 3, 4, 5, 6, 7, 12, 13, 24, 25, 48, 49, 96, 97, 200, 3000};
  constexpr int kEdges = int(sizeof edges / sizeof edges[0]);
  int blocks = 0;
  for (int tc : {5, 11, 16})
    for (int t1 : {0, 3})
      for (int first = 0; first < kEdges; ++first)
        for (int step : {1, 3, 5, 16}) {
          kvnvlc::CavlcBlock b;
          b.totalCoeff = tc, b.trailingOnes = t1, b.signs = 5 & ((1 << t1) - 1);
          for (int i = 0; i < tc - t1; ++i) {
            const int32_t m = edges[(first + i * step) % kEdges];
            b.levels[i] = (i == 0 && t1 < 3 && m == 1 ? 2 : m) * (i % 3 == 1 ? -1 : 1);
          }
          kvnvlc::BitWriter w;
          ASSERT_TRUE(kvnvlc::write_cavlc_block(w, b, {0, 16, 16}));
          std::vector<uint32_t> words = w.words(1);
          Pos p = pos_at(words, 0);
          const Result r = decode(Call{}, t, &p.word, &p.index);
          ASSERT_EQ(r.status, KVN_STS_OK);
          // No zeros: coefficient i (highest frequency first) at scan index tc - 1 - i.
          for (int i = 0; i < tc; ++i) {
            const int32_t want = i < t1 ? (b.signs >> (t1 - 1 - i) & 1 ? -1 : 1) : b.levels[i - t1];
            ASSERT_EQ(r.coef[std::size_t(kZigzag[tc - 1 - i])], want) << tc << " " << t1 << " " << first << " " << step;
          }
          const Pos end = pos_at(words, w.size());
          EXPECT_TRUE(p.word == end.word && p.index == end.index);
          ++blocks;
        }
  EXPECT_EQ(blocks, 3 * 2 * kEdges * 4);
}

// Levels beyond +-2^15 (level_prefix 16 and up) are reduced modulo 65536.
TEST(CavlcDecode, EscapeLevelsWrapAt16Bits) {
  const kvnvlc::CavlcTables t;
  for (int32_t level : {32768, -32768, 40000, -70000, 1 << 20, -(1 << 24)}) {
    kvnvlc::BitWriter w;
    kvnvlc::CavlcBlock b;
    b.totalCoeff = 1, b.levels[0] = level;
    ASSERT_TRUE(kvnvlc::write_cavlc_block(w, b, {0, 16, 16}));
    std::vector<uint32_t> words = w.words(1);
    const int64_t code = (level > 0 ? 2 * int64_t(level) - 2 : -2 * int64_t(level) - 1) & 0xffff;
    const int32_t want = code & 1 ? int32_t(-(code + 1) / 2) : int32_t((code + 2) / 2);
    for (Kind k : {Kind::k16s, Kind::k32s}) {
      Pos p = pos_at(words, 0);
      Call c;
      c.kind = k;
      const Result r = decode(c, t, &p.word, &p.index);
      ASSERT_EQ(r.status, KVN_STS_OK);
      EXPECT_EQ(r.coef[0], k == Kind::k16s ? int16_t(want) : want) << level;
    }
  }
}

// ---- statuses ----------------------------------------------------------------

TEST(CavlcDecode, ArgumentChecksInOrder) {
  const kvnvlc::CavlcTables t;
  std::vector<uint32_t> w = bits("1");
  Kvn32u* p = w.data();
  Kvn32u* nullWord = nullptr;
  Kvn32u idx = 31, bad = 32;
  Kvn16s n = 9, buf16[16];
  Kvn16s* b16 = buf16;
  Kvn16s* nullBuf = nullptr;
  const auto ct = t.coeff_token(), tz = t.total_zeros(), rb = t.run_before();
  auto dec = [&](Kvn32u** pp, Kvn32u* pi, Kvn16s** pb, int nC, int maxc, const Kvn32s* scan) {
    return kvniDecodeCAVLCCoeffs_H264_1u16s(pp, pi, &n, pb, nC, Kvn16s(maxc), ct, tz, rb, scan);
  };
  EXPECT_EQ(dec(nullptr, &bad, &b16, -1, 3, kZigzag), KVN_STS_NULL_PTR);
  EXPECT_EQ(dec(&nullWord, &bad, &b16, -1, 3, kZigzag), KVN_STS_NULL_PTR);
  EXPECT_EQ(dec(&p, &bad, &nullBuf, -1, 3, kZigzag), KVN_STS_NULL_PTR);
  EXPECT_EQ(dec(&p, &bad, &b16, -1, 3, nullptr), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniDecodeCAVLCCoeffs_H264_1u16s(&p, &idx, &n, &b16, 0, 16, nullptr, tz, rb, kZigzag), KVN_STS_NULL_PTR);
  EXPECT_EQ(dec(&p, &bad, &b16, -1, 3, kZigzag), KVN_STS_BAD_ARG);
  for (int m : {14, 17, 0}) EXPECT_EQ(dec(&p, &idx, &b16, 0, m, kZigzag), KVN_STS_OUT_OF_RANGE);
  EXPECT_EQ(dec(&p, &idx, &b16, -1, 16, kZigzag), KVN_STS_OUT_OF_RANGE);
  auto range = [&](int maxc, int nC, int s, int e) {
    return kvniDecodeCAVLCCoeffsIdxs_H264_1u16s(&p, &idx, &n, &b16, nC, Kvn16s(maxc), ct, tz, rb, kZigzag, s, e);
  };
  EXPECT_EQ(range(0, 0, 0, 15), KVN_STS_OUT_OF_RANGE);
  EXPECT_EQ(range(17, 0, 0, 15), KVN_STS_OUT_OF_RANGE);
  EXPECT_EQ(range(16, -2, 0, 15), KVN_STS_OUT_OF_RANGE);
  for (auto [s, e] : {std::pair{-1, 15}, {0, 16}, {5, 4}}) EXPECT_EQ(range(16, 0, s, e), KVN_STS_OUT_OF_RANGE);
  Kvn32s* b32 = nullptr;
  EXPECT_EQ(kvniDecodeCAVLCChromaDcCoeffs_H264_1u32s(&p, &idx, &n, &b32, t.coeff_token_dc2x2(), tz, rb),
            KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniDecodeCAVLCChroma422DcCoeffs_H264_1u16s(&p, &idx, &n, &b16, nullptr, tz, rb), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniDecodeCAVLCChroma422DcCoeffs_H264_1u16s(&p, &bad, &n, &b16, t.coeff_token_dc2x4(), tz, rb),
            KVN_STS_BAD_ARG);
  EXPECT_TRUE(p == w.data() && idx == 31 && n == 9 && b16 == buf16);
  // Range 0..15 accepts start == end and every maximum 1..16.
  EXPECT_EQ(range(1, 0, 7, 7), KVN_STS_OK);
}

// Code errors: the bit position is restored and the buffer pointer stays;
// a table missing midway: KVN_STS_NULL_PTR with the position moved past the
// bits read.
TEST(CavlcDecode, CodeErrorsAndMissingTables) {
  const kvnvlc::CavlcTables t;
  const Kvn32s bigTz[3] = {1, 15 << 8, 15 << 8}, bigRun[3] = {1, 9 << 8, 9 << 8};
  const Kvn32s b0[2] = {0, 0}, b17[2] = {17, 0}, bMin[2] = {INT32_MIN, 0}, cycle[3] = {1, 0x80, 0x80};
  const Kvn32s giveBack[3] = {1, 1 << 8 | 2, 1 << 8 | 2}, t1OverTc[3] = {1, (1 << 8 | 2) << 8, (1 << 8 | 2) << 8},
               tc17[3] = {1, (17 << 8) << 8, (17 << 8) << 8};
  const Kvn32s *tzBig[16], *rbBig[16], *tzNone[16] = {}, *rbNone[16] = {};
  for (int i = 0; i < 16; ++i) tzBig[i] = bigTz, rbBig[i] = bigRun;
  Kvn32s badScan[16];
  std::copy(kZigzag, kZigzag + 16, badScan);
  badScan[3] = -1;
  const Kvn32s* ctSet[][3] = {{b0, b0, b0},
                              {b17, b17, b17},
                              {bMin, bMin, bMin},
                              {cycle, cycle, cycle},
                              {giveBack, giveBack, giveBack},
                              {t1OverTc, t1OverTc, t1OverTc},
                              {tc17, tc17, tc17}};
  const char* example = "0000100 011 1 0010 111 10 1 1 01";
  struct Case {
    std::string code;
    Call call;
    KvnResult status;
    int moved;  // bits the position moved (missing tables)
  };
  std::vector<Case> cases;
  auto add = [&](std::string code, Call c, KvnResult st = KVN_STS_VLC_CODE_ERR, int moved = 0) {
    cases.push_back({std::move(code), c, st, moved});
  };
  Call c;
  add("0000 0000 0000 0001", c);  // 15 zeros: no coeff_token of nC 0..1
  for (auto& set : ctSet) {
    c.coeffToken = set;
    add("1010 1010", c);
  }
  c = Call();
  c.maxCoeff = 15;
  add("0000 0000 0000 0100 0 0 0 1 1 1 1 1 1 1 1 1 1 1 1 1", c);  // TotalCoeff 16 with maximum 15
  c = Call();
  c.nC = 8;
  add("000010", c);      // 6-bit code (1, 2)
  add("000111 000", c);  // 6-bit code (2, 3)
  c = Call();
  add("0001 01 1 0000 0000 0", c);                  // total_zeros of TotalCoeff 1: 000000000
  add("0001 1 000 011 0000 0000 000", c);           // total_zeros 7, run_before 0000 0000 000
  add("0001 01 " + std::string(33, '0') + "1", c);  // level_prefix 33
  c.totalZeros = tzBig;
  add(example, c);  // total_zeros 15 with TotalCoeff 5
  c = Call();
  c.runBefore = rbBig;
  add(example, c);  // run 9 with 3 zeros left
  c = Call();
  c.scan = badScan;
  add(example, c);  // scan entry -1
  c = Call();
  c.totalZeros = tzNone;
  add(example, c, KVN_STS_NULL_PTR, 7 + 3 + 1 + 4);
  c = Call();
  c.runBefore = rbNone;
  add(example, c, KVN_STS_NULL_PTR, 7 + 3 + 1 + 4 + 3);
  c = Call();
  c.kind = Kind::kDc2x4_32s;
  add("0000 0000 0000 0", c);  // unused nC -2 pattern
  c = Call();
  c.kind = Kind::kRange;
  c.start = 3, c.end = 5;  // n = 3: 10 pairs fit, (3, 0) ranks higher
  add("0000 0011 1 0", c);
  for (const Case& cs : cases)
    for (int lead : {0, 17, 31}) {
      std::vector<uint32_t> w = bits(cs.code, lead);
      Pos p = pos_at(w, std::size_t(lead));
      const Result r = decode(cs.call, t, &p.word, &p.index);
      EXPECT_EQ(r.status, cs.status) << cs.code;
      EXPECT_EQ(r.advanced, 0) << cs.code;
      const Pos want = pos_at(w, std::size_t(lead + cs.moved));
      EXPECT_TRUE(p.word == want.word && p.index == want.index) << cs.code << " " << lead;
    }
}

// A block with TotalCoeff 0 leaves the buffer and its pointer alone.
TEST(CavlcDecode, EmptyBlocksWriteNothing) {
  const kvnvlc::CavlcTables t;
  const std::pair<Kind, const char*> cases[] = {
      {Kind::k16s, "1"},        {Kind::k32s, "1"},       {Kind::kRange, "1"},    {Kind::kDc2x2_16s, "01"},
      {Kind::kDc2x2_32s, "01"}, {Kind::kDc2x4_16s, "1"}, {Kind::kDc2x4_32s, "1"}};
  for (auto [k, code] : cases) {
    std::vector<uint32_t> w = bits(code, 31);
    Pos p = pos_at(w, 31);
    Call c;
    c.kind = k;
    const Result r = decode(c, t, &p.word, &p.index);
    EXPECT_EQ(r.status, KVN_STS_OK);
    EXPECT_EQ(r.numCoeff, 0);
    EXPECT_EQ(r.advanced, 0);
    for (int32_t v : r.coef) EXPECT_EQ(v, is_32(k) ? kGuard : int16_t(kGuard));
  }
}

}  // namespace
