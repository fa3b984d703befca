// MPEG-1/MPEG-2 VLC tables, decoders and block writers through the exported
// names: the standard code tables, the worked examples, word-boundary
// crossings, malformed source tables, every status in its order with what is
// written, and the inverse quantisation rules (saturation and mismatch
// control of ISO/IEC 13818-2 7.4.2 - 7.4.4, the odd rule of ISO/IEC 11172-2).
#include <algorithm>
#include <cstring>
#include <set>

#include "guard_page.h"
#include "mpeg2_vlc_test.h"
#include "rng.h"

namespace {

using namespace mpeg2test;
using kvnsupport::kMpeg2Zigzag;

const std::vector<int32_t> kNoStages;

// ---- the standard tables -------------------------------------------------------

double kraft(const std::vector<kvnsupport::Mpeg2Vlc>& codes) {
  double s = 0;
  for (const auto& c : codes) s += 1.0 / double(uint64_t(1) << c.len);
  return s;
}

// The builders refuse codes that are not prefix-free, the encoding table
// runs whose levels are not +-1..+-m: so building checks the tables; the
// code space left unused is that of ISO/IEC 13818-2 (B-14: codes beginning
// with twelve zeros; B-15 also the long B-14 codes of the pairs it moved).
TEST(Mpeg2VlcTables, CompleteWhereTheStandardIsAndBuildable) {
  EXPECT_DOUBLE_EQ(kraft(kvnsupport::mpeg2_dc_size_codes(false)), 1.0);
  EXPECT_DOUBLE_EQ(kraft(kvnsupport::mpeg2_dc_size_codes(true)), 1.0);
  EXPECT_DOUBLE_EQ(kraft(kvnsupport::mpeg2_dct_codes(Mpeg2DctTable::kB14)), 1.0 - 1.0 / 4096);
  EXPECT_DOUBLE_EQ(kraft(kvnsupport::mpeg2_dct_codes(Mpeg2DctTable::kB14First)), 1.0 - 1.0 / 4096);
  EXPECT_DOUBLE_EQ(kraft(kvnsupport::mpeg2_dct_codes(Mpeg2DctTable::kB15)), 1.0 - 9.0 / 4096);
  for (auto t : {Mpeg2DctTable::kB14First, Mpeg2DctTable::kB14, Mpeg2DctTable::kB15}) {
    const auto codes = kvnsupport::mpeg2_dct_codes(t);
    EXPECT_EQ(codes.size(), t == Mpeg2DctTable::kB14First ? 223u : 224u);
    std::set<std::pair<int, int>> pairs;
    for (const auto& c : codes) pairs.insert({c.run, c.level});
    EXPECT_EQ(pairs.size(), codes.size());
    for (const auto& stages : {std::vector<int>{8, 9}, std::vector<int>{1, 16}, std::vector<int>{4, 4, 4, 4, 4}})
      EXPECT_TRUE(run_level(kvnsupport::mpeg2_dct_source(t, stages)));
    EXPECT_TRUE(rl_encode(kvnsupport::mpeg2_dct_source(t)));
  }
  EXPECT_TRUE(huffman(kvnsupport::mpeg2_dc_size_source(false)));
  EXPECT_TRUE(huffman(kvnsupport::mpeg2_dc_size_source(true, {2, 2, 2, 2, 2})));
}

// ---- builders ------------------------------------------------------------------

// {0: 5, 10: 7, 11: 9} with one stage of 2 bits.
TEST(Mpeg2VlcBuild, WorkedExampleLayoutAndOneBitCode) {
  const std::vector<int32_t> src = {0, 1, 2, 1, 0, 5, 2, 2, 7, 3, 9, -1};
  Table t = huffman(src);
  ASSERT_TRUE(t);
  const int32_t want[5] = {2, 5 << 8 | 1, 5 << 8 | 1, 7 << 8, 9 << 8};
  EXPECT_EQ(std::vector<int32_t>(t.get(), t.get() + 5), std::vector<int32_t>(want, want + 5));
  std::vector<Kvn32u> w = Bits().str("0 10 11 0").words();
  Kvn32u* p = w.data();
  Kvn32s idx = 31, v = 0;
  for (int32_t expect : {5, 7, 9, 5}) {
    ASSERT_EQ(kvniDecodeHuffmanOne_1u32s(&p, &idx, &v, t.get()), KVN_STS_OK);
    EXPECT_EQ(v, expect);
  }
  EXPECT_EQ(idx, 31 - 6);
}

// Run-level leaves through subtables; an invalid pair restores the position.
TEST(Mpeg2VlcBuild, RunLevelPairs) {
  // 1 -> (3, -2); 01 -> (255, 0); 001 -> (4, 7); 0001 -> (254, 0); stages 2, 2.
  const std::vector<int32_t> src = {0, 2, 2, 2, 1, 1, 3, -2, 1, 1, 255, 0, 1, 1, 4, 7, 1, 1, 254, 0, -1};
  Table t = run_level(src);
  ASSERT_TRUE(t);
  EXPECT_EQ(t.get()[1], 5 << 8 | 128);  // 00: link to the subtable at word 5
  std::vector<Kvn32u> w = Bits().str("1 01 001 0001 0000").words();
  Kvn32u* p = w.data();
  Kvn32s idx = 31;
  Kvn8u first = 0;
  Kvn16s second = 0;
  const std::pair<int, int> want[4] = {{3, -2}, {255, 0}, {4, 7}, {254, 0}};
  for (const auto& e : want) {
    ASSERT_EQ(kvniDecodeHuffmanPair_1u16s(&p, &idx, t.get(), &first, &second), KVN_STS_OK);
    EXPECT_EQ(first, e.first);
    EXPECT_EQ(second, e.second);
  }
  // 0000 is no code: the position stays, nothing is written.
  first = 77, second = 77;
  EXPECT_EQ(kvniDecodeHuffmanPair_1u16s(&p, &idx, t.get(), &first, &second), KVN_STS_VLC_CODE_ERR);
  EXPECT_EQ(p, w.data());
  EXPECT_EQ(idx, 31 - 10);
  EXPECT_EQ(first, 77);
  EXPECT_EQ(second, 77);
}

// Malformed sources are refused before anything is stored; nothing leaks.
TEST(Mpeg2VlcBuild, MalformedSourcesAreRefused) {
  const std::vector<std::vector<int32_t>> bad = {
      {0, 0, -1},                          // no stage
      {0, 33, -1},                         // too many stages
      {0, 1, 0, -1},                       // a stage of 0 bits
      {0, 1, 17, -1},                      // a stage of 17 bits
      {0, 1, 2, 0, 0, 0, 1, 0, 1, -1},     // a 3-bit code with 2 stage bits
      {0, 1, 2, 1, 2, 1, -1},              // a 1-bit code of value 2
      {0, 1, 3, 1, 0, 1, 1, 0, 2, -1},     // 0 is a prefix of 00
      {0, 2, 1, 1, 1, 0, 5, 1, 1, 6, -1},  // 0 a prefix of 01 over two stages
      {0, 1, 2, 0, 2, 1, 1, 1, 2, -1},     // 01 twice
      {0, 1, 2, 1, 0, 1 << 23, -1},        // a value beyond 24 bits
      {0, 1, 2, 1, 0, 61681, 0, -1},       // a leaf equal to the invalid entry (u = 1)
      {0, 1, 1, 3, 0, 0, 1, 0, 0, -1},     // three codes of one bit
  };
  for (std::size_t i = 0; i < bad.size(); ++i) {
    KvnHuffmanTable* t = reinterpret_cast<KvnHuffmanTable*>(0x1);
    EXPECT_EQ(kvniHuffmanTableInitAlloc_32s(bad[i].data(), &t), KVN_STS_VLC_CODE_ERR) << i;
    EXPECT_EQ(t, reinterpret_cast<KvnHuffmanTable*>(0x1)) << i;
  }
  // A source without a terminating count is read to length 33 at most.
  std::vector<int32_t> endless(2 + 1 + 40, 0);
  endless[1] = 1, endless[2] = 8;
  KvnHuffmanTable* t = nullptr;
  EXPECT_EQ(kvniHuffmanTableInitAlloc_32s(endless.data(), &t), KVN_STS_VLC_CODE_ERR);
  // Run-level: a second beyond 16 bits; the encoding table: incomplete runs.
  const std::vector<int32_t> wide = {0, 1, 2, 1, 0, 0, 40000, -1};
  EXPECT_EQ(kvniHuffmanRunLevelTableInitAlloc_32s(wide.data(), &t), KVN_STS_VLC_CODE_ERR);
  const std::vector<std::vector<int32_t>> badRl = {
      {0, 1, 3, 0, 0, 2, 0, 0, 1, 1, 0, 2, -1},            // run 0: levels 1, 2 (no -1)
      {0, 1, 3, 0, 0, 3, 0, 0, 1, 1, 0, -1, 2, 0, 2, -1},  // odd count
      {0, 1, 3, 0, 0, 2, 0, 0, 1, 1, 0, 1, -1},            // +1 twice
      {0, 1, 3, 0, 0, 2, 0, 3, 0, 1, 0, 1, -1},            // run 3 with a level 0
      [] {                                                 // a 16-bit escape code: its length does not fit the field
        std::vector<int32_t> v = {0, 1, 16};
        v.resize(3 + 15, 0);
        v.insert(v.end(), {1, 1, 255, 0, -1});
        return v;
      }(),
  };
  for (std::size_t i = 0; i < badRl.size(); ++i) {
    KvnRLEncodeTable* r = reinterpret_cast<KvnRLEncodeTable*>(0x1);
    EXPECT_EQ(kvniCreateRLEncodeTable(badRl[i].data(), &r), KVN_STS_VLC_CODE_ERR) << i;
    EXPECT_EQ(r, reinterpret_cast<KvnRLEncodeTable*>(0x1)) << i;
  }
}

// Sizes of the encoding table: header, offsets, per run negative levels, base
// word, positive levels.
TEST(Mpeg2VlcBuild, EncodingTableLayout) {
  // run 0: +-1 (11s), +-2 (0100s); run 2: +-1 (0101s); escape 000001; EOB 10.
  const std::vector<int32_t> src = {0, 1, 6, 0, 1, 2,  254, 0, 2, 6,  0, 1,  7, 0, -1,  0, 4,
                                    8, 0, 2, 9, 0, -2, 10,  2, 1, 11, 2, -1, 1, 1, 255, 0, -1};
  Table t = rl_encode(src);
  ASSERT_TRUE(t);
  const int32_t* w = t.get();
  EXPECT_EQ(w[0], int32_t(2u << 20 | (2u << 4 | 2) << 10 | (1u << 4 | 6)));
  // base(0) = (R + 2 + 2) * 4; base(1) = base(0) + 2 * 4 + 4 (empty run 1); base(2) = base(1) + 4 + 4.
  EXPECT_EQ(w[1], 6 * 4);
  EXPECT_EQ(w[2], 9 * 4);
  EXPECT_EQ(w[3], 11 * 4);
  EXPECT_EQ(w[6], 2);
  EXPECT_EQ(w[6 - 2], 9 << 16 | 5);
  EXPECT_EQ(w[6 - 1], 7 << 16 | 3);
  EXPECT_EQ(w[6 + 1], 6 << 16 | 3);
  EXPECT_EQ(w[6 + 2], 8 << 16 | 5);
  EXPECT_EQ(w[9], 0);
  EXPECT_EQ(w[11], 1);
  EXPECT_EQ(w[10], 11 << 16 | 5);
  EXPECT_EQ(w[12], 10 << 16 | 5);
}

// ---- lookups -------------------------------------------------------------------

// Bit index 2 with a 5-bit stage: 3 bits of this word, 2 of the next,
// index 29 after; an invalid code leaves the position after the bits read
// and the value 61681.
TEST(Mpeg2VlcDecode, WordBoundaryAndInvalidCodes) {
  std::vector<int32_t> src = {0, 1, 5, 0, 0, 0, 0, 1, 0x15, 42, -1};  // 10101 -> 42
  Table t = huffman(src);
  ASSERT_TRUE(t);
  std::vector<Kvn32u> w = {0x5u, 0x40000000u, 0, 0};  // ...101 | 01...
  Kvn32u* p = w.data();
  Kvn32s idx = 2, v = 0;
  ASSERT_EQ(kvniDecodeHuffmanOne_1u32s(&p, &idx, &v, t.get()), KVN_STS_OK);
  EXPECT_EQ(v, 42);
  EXPECT_EQ(p, w.data() + 1);
  EXPECT_EQ(idx, 29);
  ASSERT_EQ(kvniDecodeHuffmanOne_1u32s(&p, &idx, &v, t.get()), KVN_STS_VLC_CODE_ERR);
  EXPECT_EQ(v, 61681);
  EXPECT_EQ(idx, 24);
  // No code starts with 111 in a 3-bit stage.
  Table t3 = huffman({0, 1, 3, 1, 0, 1, 1, 2, 2, 1, 6, 3, -1});  // 0, 10, 110
  w = Bits().str("111").words();
  p = w.data(), idx = 31;
  EXPECT_EQ(kvniDecodeHuffmanOne_1u32s(&p, &idx, &v, t3.get()), KVN_STS_VLC_CODE_ERR);
  EXPECT_EQ(idx, 28);
}

// Tables no builder makes: stage widths beyond 16, leaves giving back their
// whole stage, cycles of links: invalid codes, never endless or out of bounds.
TEST(Mpeg2VlcDecode, CorruptTablesAreInvalidCodes) {
  std::vector<Kvn32u> w = {0xffffffffu, 0xffffffffu, 0};
  const std::vector<std::vector<int32_t>> tables = {
      {17, 0},
      {0, 0},
      {1, 5 << 8 | 1, 5 << 8 | 1},      // u = 1 of a 1-bit stage
      {1, 0 << 8 | 128, 0 << 8 | 128},  // links to itself
  };
  for (const auto& tab : tables) {
    std::vector<int32_t> big(tab);
    big.resize(1 << 18, 0);
    Kvn32u* p = w.data();
    Kvn32s idx = 31, v;
    EXPECT_EQ(kvniDecodeHuffmanOne_1u32s(&p, &idx, &v, big.data()), KVN_STS_VLC_CODE_ERR);
    EXPECT_LE(p, w.data() + 1);
  }
}

// ---- block decoding ------------------------------------------------------------

struct Tables {
  Table first = run_level(kvnsupport::mpeg2_dct_source(Mpeg2DctTable::kB14First));
  Table b14 = run_level(kvnsupport::mpeg2_dct_source(Mpeg2DctTable::kB14));
  Table b15 = run_level(kvnsupport::mpeg2_dct_source(Mpeg2DctTable::kB15));
  Table dcLuma = huffman(kvnsupport::mpeg2_dc_size_source(false));
  Table dcChroma = huffman(kvnsupport::mpeg2_dc_size_source(true));
  Table enc14 = rl_encode(kvnsupport::mpeg2_dct_source(Mpeg2DctTable::kB14));
  Table enc15 = rl_encode(kvnsupport::mpeg2_dct_source(Mpeg2DctTable::kB15));
};
const Tables& tables() {
  static const Tables t;
  return t;
}

struct Decoded {
  KvnResult st;
  std::array<int16_t, 64> b;
  Kvn32s last;
  long words;
  Kvn32s idx;
};

Decoded inter(bool mpeg1, const std::vector<Kvn32u>& stream, int q, const Kvn16s* w, Kvn32s idx = 31) {
  Decoded d{};
  d.b.fill(0x5a5a);
  d.last = -7;
  std::vector<Kvn32u> s = stream;
  Kvn32u* p = s.data();
  d.idx = idx;
  const auto& t = tables();
  d.st = mpeg1 ? kvniReconstructDCTBlock_MPEG1_32s(&p, &d.idx, t.first.get(), t.b14.get(), kMpeg2Zigzag, q, w,
                                                   d.b.data(), &d.last)
               : kvniReconstructDCTBlock_MPEG2_32s(&p, &d.idx, t.first.get(), t.b14.get(), kMpeg2Zigzag, q, w,
                                                   d.b.data(), &d.last);
  d.words = long(p - s.data());
  return d;
}

const std::array<Kvn16s, 64> kFlat = [] {
  std::array<Kvn16s, 64> w;
  w.fill(16);
  return w;
}();

TEST(Mpeg2VlcBlock, WorkedExamples) {
  // MPEG-2 non-intra, the single coefficient 1s (+1), Q = 2, W = 16: F = 3,
  // the sum odd, no correction; last position reported as 1.
  Decoded d = inter(false, Bits().str("10 10").words(), 2, nullptr);
  ASSERT_EQ(d.st, KVN_STS_OK);
  EXPECT_EQ(d.b[0], 3);
  EXPECT_EQ(d.b[63], 0);
  EXPECT_EQ(d.last, 1);
  EXPECT_EQ(d.idx, 27);
  // MPEG-1, W = 16, Q = 2, L = 1: 6 is even, stored as 5; last position 0.
  d = inter(true, Bits().str("10 10").words(), 2, kFlat.data());
  ASSERT_EQ(d.st, KVN_STS_OK);
  EXPECT_EQ(d.b[0], 5);
  EXPECT_EQ(d.last, 0);
  // MPEG-2, Q 3: -1 at 0 (11), then run 1 level 2 (0001 10 0 in B-14):
  // F = -144 / 32 = -4 and 240 / 32 = 7; the sum is odd, 63 stays.
  d = inter(false, Bits().str("11 0001100 10").words(), 3, nullptr);
  ASSERT_EQ(d.st, KVN_STS_OK);
  EXPECT_EQ(d.b[0], -(3 * 16 * 3) / 32);
  EXPECT_EQ(d.b[kMpeg2Zigzag[2]], (5 * 16 * 3) / 32);
  EXPECT_EQ(d.b[63], (d.b[0] + d.b[kMpeg2Zigzag[2]]) % 2 == 0 ? 1 : 0);
  EXPECT_EQ(d.last, 2);
}

// ISO/IEC 13818-2 7.4.3: every value saturates to -2048..2047 before
// mismatch control; MPEG-1 clamps too.
TEST(Mpeg2VlcBlock, SaturationBeforeMismatchControl) {
  // Escape, run 0, level 2000 at position 0 (as the first coefficient), Q 31.
  // Escape, run 0, level 2000 (the first coefficient); escape, run 3, level
  // -2000; run 0 level 1; Q 30: 60015 and -60015 saturate, 45; the sum 44
  // is even, so coefficient 63 becomes 1 (16-bit wrapping would give 37).
  const auto s = Bits().str("000001 000000").put(2000, 12).str("000001 000011").put(uint32_t(-2000), 12).str("110 10");
  Decoded d = inter(false, s.words(), 30, nullptr);
  ASSERT_EQ(d.st, KVN_STS_OK);
  EXPECT_EQ(d.b[0], 2047);
  EXPECT_EQ(d.b[kMpeg2Zigzag[4]], -2048);
  EXPECT_EQ(d.b[kMpeg2Zigzag[5]], 45);
  EXPECT_EQ(d.b[63], 1);
  EXPECT_EQ(d.last, 5);
  d = inter(true, Bits().str("000001 000000 00000000").put(200, 8).str("10").words(), 30, kFlat.data());
  ASSERT_EQ(d.st, KVN_STS_OK);
  EXPECT_EQ(d.b[0], 2047);
}

// MPEG-1 escapes: 8-bit levels, and 0 / -128 followed by 8 more bits.
TEST(Mpeg2VlcBlock, Mpeg1EscapeForms) {
  const auto s = Bits()
                     .str("000001 000010")
                     .put(uint32_t(-5), 8)  // run 2, -5
                     .str("000001 000000 00000000")
                     .put(130, 8)  // run 0, 130
                     .str("000001 000001 10000000")
                     .put(6, 8)  // run 1, 6 - 256
                     .str("10");
  Decoded d = inter(true, s.words(), 1, kFlat.data());
  ASSERT_EQ(d.st, KVN_STS_OK);
  EXPECT_EQ(d.b[kMpeg2Zigzag[2]], dequant(true, false, -5, 16, 1));
  EXPECT_EQ(d.b[kMpeg2Zigzag[3]], dequant(true, false, 130, 16, 1));
  EXPECT_EQ(d.b[kMpeg2Zigzag[5]], dequant(true, false, -250, 16, 1));
  EXPECT_EQ(d.last, 5);
  EXPECT_EQ(d.words * 32 + 31 - d.idx, long(s.size()));
}

// Intra blocks: the DC differential, its predictor, MPEG-1's 8x and MPEG-2's
// shift; an invalid dct_dc_size code is an error in both (MPEG-1 included).
TEST(Mpeg2VlcBlock, IntraDcAndInvalidSizes) {
  const auto& t = tables();
  // Luma size 3 (101), d = 010 -> 2 - 8 + 1 = -5; then B-14 (0, 2) 0100 0; EOB 10.
  const auto s = Bits().str("101 010 01000 10");
  for (int mpeg1 = 0; mpeg1 < 2; ++mpeg1) {
    std::vector<Kvn32u> w = s.words();
    Kvn32u* p = w.data();
    Kvn32s idx = 31, last = -1;
    Kvn16s pred = 100;
    std::array<Kvn16s, 64> b;
    const KvnResult st =
        mpeg1 ? kvniReconstructDCTBlockIntra_MPEG1_32s(&p, &idx, t.dcLuma.get(), t.b14.get(), kMpeg2Zigzag, 4,
                                                       kFlat.data(), &pred, b.data(), &last)
              : kvniReconstructDCTBlockIntra_MPEG2_32s(&p, &idx, t.dcLuma.get(), t.b14.get(), kMpeg2Zigzag, 4,
                                                       kFlat.data(), &pred, 2, b.data(), &last);
    ASSERT_EQ(st, KVN_STS_OK);
    EXPECT_EQ(last, 1);
    EXPECT_EQ(idx, 31 - 13);
    if (mpeg1) {
      EXPECT_EQ(pred, 100 - 40);
      EXPECT_EQ(b[0], 60);
      EXPECT_EQ(b[1], dequant(true, true, 2, 16, 4));
    } else {
      EXPECT_EQ(pred, 95);
      EXPECT_EQ(b[0], 380);
      EXPECT_EQ(b[1], dequant(false, true, 2, 16, 4));  // 8; the sum 388 is even
      EXPECT_EQ(b[63], 1);
    }
  }
  // A table of sizes with a hole: 111 is no code.
  Table holey = huffman({0, 1, 3, 0, 2, 0, 0, 1, 1, 3, 4, 2, 5, 3, 6, 4, -1});
  for (int mpeg1 = 0; mpeg1 < 2; ++mpeg1) {
    std::vector<Kvn32u> w = Bits().str("111 0000").words();
    Kvn32u* p = w.data();
    Kvn32s idx = 31, last = -1;
    Kvn16s pred = 100;
    std::array<Kvn16s, 64> b;
    b.fill(9);
    const KvnResult st = mpeg1
                             ? kvniReconstructDCTBlockIntra_MPEG1_32s(&p, &idx, holey.get(), t.b14.get(), kMpeg2Zigzag,
                                                                      4, kFlat.data(), &pred, b.data(), &last)
                             : kvniReconstructDCTBlockIntra_MPEG2_32s(&p, &idx, holey.get(), t.b14.get(), kMpeg2Zigzag,
                                                                      4, kFlat.data(), &pred, 0, b.data(), &last);
    EXPECT_EQ(st, KVN_STS_VLC_CODE_ERR);
    EXPECT_EQ(pred, 100);
    EXPECT_EQ(last, -1);
    EXPECT_EQ(idx, 28);
    EXPECT_EQ(b, (std::array<Kvn16s, 64>{}));  // cleared
  }
  // A size table giving 12: refused after its code.
  Table twelve = huffman({0, 1, 1, 2, 0, 12, 1, 3, -1});
  std::vector<Kvn32u> w = Bits().str("0 000000000000").words();
  Kvn32u* p = w.data();
  Kvn32s idx = 31, last;
  Kvn16s pred = 0;
  std::array<Kvn16s, 64> b;
  EXPECT_EQ(kvniReconstructDCTBlockIntra_MPEG2_32s(&p, &idx, twelve.get(), t.b14.get(), kMpeg2Zigzag, 4, kFlat.data(),
                                                   &pred, 0, b.data(), &last),
            KVN_STS_VLC_CODE_ERR);
  EXPECT_EQ(idx, 30);
}

// Code errors: the block partly filled, the position after the bits read.
TEST(Mpeg2VlcBlock, CodeErrorsLeaveThePartialBlock) {
  // 1s (+1), then run 31 level 1 twice (0000 0000 0001 1011 0): 32 + 32 > 63.
  const std::string r31 = "0000 0000 0001 1011 0";
  Decoded d = inter(false, Bits().str("10").str(r31).str(r31).str("10").words(), 2, nullptr);
  EXPECT_EQ(d.st, KVN_STS_VLC_CODE_ERR);
  EXPECT_EQ(d.last, -7);
  EXPECT_EQ(d.b[0], 3);
  EXPECT_EQ(d.b[kMpeg2Zigzag[32]], 3);
  EXPECT_EQ(d.idx, 31 - 2 - 17 - 17 + 32);
  EXPECT_EQ(d.words, 1);
  // A first code B-14 leaves unused.
  d = inter(false, Bits().str("0000 0000 0000 0000").words(), 2, nullptr);
  EXPECT_EQ(d.st, KVN_STS_VLC_CODE_ERR);
  // A scan entry outside the block.
  std::vector<Kvn32u> w = Bits().str("10 10").words();
  Kvn32s scan[64];
  std::copy(kMpeg2Zigzag, kMpeg2Zigzag + 64, scan);
  scan[0] = 64;
  Kvn32u* p = w.data();
  Kvn32s idx = 31, last = -7;
  std::array<Kvn16s, 65> b{};
  b[64] = 77;
  EXPECT_EQ(kvniReconstructDCTBlock_MPEG2_32s(&p, &idx, tables().first.get(), tables().b14.get(), scan, 2, nullptr,
                                              b.data(), &last),
            KVN_STS_VLC_CODE_ERR);
  EXPECT_EQ(b[64], 77);
}

// Null pointers first (the word pointer behind the first argument too), then
// the bit index, then numeric ranges; nothing written on failure.
TEST(Mpeg2VlcStatus, EveryCheckInOrder) {
  const auto& t = tables();
  std::vector<Kvn32u> w = Bits().str("10 10").words();
  Kvn32u* p = w.data();
  Kvn32u* nullWord = nullptr;
  Kvn32s idx = 31, bad = 32, neg = -1, last = -7, v = -7;
  Kvn16s pred = 5;
  Kvn8u f = 1;
  Kvn16s sec = 1;
  std::array<Kvn16s, 64> b;
  b.fill(9);
  const Kvn16s* W = kFlat.data();
  const Kvn32s* S = kMpeg2Zigzag;
  const Kvn32s* T = t.b14.get();
  EXPECT_EQ(kvniHuffmanTableInitAlloc_32s(nullptr, nullptr), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniHuffmanRunLevelTableInitAlloc_32s(T, nullptr), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniCreateRLEncodeTable(nullptr, reinterpret_cast<KvnRLEncodeTable**>(&p)), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniHuffmanTableFree_32s(nullptr), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniDecodeHuffmanOne_1u32s(&nullWord, &idx, &v, T), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniDecodeHuffmanOne_1u32s(&p, &bad, &v, nullptr), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniDecodeHuffmanOne_1u32s(&p, &bad, &v, T), KVN_STS_BAD_ARG);
  EXPECT_EQ(kvniDecodeHuffmanPair_1u16s(&p, &neg, T, &f, &sec), KVN_STS_BAD_ARG);
  EXPECT_EQ(kvniDecodeHuffmanPair_1u16s(&p, &idx, T, nullptr, &sec), KVN_STS_NULL_PTR);
  EXPECT_EQ(v, -7);
  EXPECT_EQ(kvniReconstructDCTBlock_MPEG1_32s(&p, &idx, T, T, S, 2, nullptr, b.data(), &last), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniReconstructDCTBlock_MPEG1_32s(&nullWord, &bad, T, T, S, 2, W, b.data(), &last), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniReconstructDCTBlock_MPEG2_32s(&p, &idx, T, nullptr, S, 2, nullptr, b.data(), &last), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniReconstructDCTBlock_MPEG2_32s(&p, &bad, T, T, S, 2, nullptr, b.data(), &last), KVN_STS_BAD_ARG);
  EXPECT_EQ(kvniReconstructDCTBlockIntra_MPEG1_32s(&p, &idx, T, T, S, 2, W, nullptr, b.data(), &last),
            KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniReconstructDCTBlockIntra_MPEG2_32s(&p, &idx, T, T, S, 2, nullptr, &pred, 0, b.data(), &last),
            KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniReconstructDCTBlockIntra_MPEG2_32s(&p, &bad, T, T, S, 2, W, &pred, 4, b.data(), &last),
            KVN_STS_BAD_ARG);
  EXPECT_EQ(kvniReconstructDCTBlockIntra_MPEG2_32s(&p, &idx, T, T, S, 2, W, &pred, 4, b.data(), &last),
            KVN_STS_OUT_OF_RANGE);
  EXPECT_EQ(kvniReconstructDCTBlockIntra_MPEG2_32s(&p, &idx, T, T, S, 2, W, &pred, -1, b.data(), &last),
            KVN_STS_OUT_OF_RANGE);
  EXPECT_EQ(p, w.data());
  EXPECT_EQ(idx, 31);
  EXPECT_EQ(pred, 5);
  EXPECT_EQ(last, -7);
  EXPECT_EQ(b[0], 9);

  // Writers.
  std::vector<Kvn32u> out(8, 0);
  Kvn32u* o = out.data();
  Kvn32s freeBits = 32, zero = 0, over = 33;
  Kvn32s dcPred = 0;
  const std::vector<int32_t> dc = kvnsupport::mpeg2_dc_size_writer_table(false);
  const Kvn32s* E = t.enc14.get();
  std::array<Kvn16s, 64> blk{};
  blk[0] = 3000;
  EXPECT_EQ(kvniPutIntraBlock(&o, &freeBits, blk.data(), &dcPred, dc.data(), nullptr, S, 2, 2, 0), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniPutIntraBlock(&nullWord, &zero, blk.data(), &dcPred, dc.data(), E, S, 2, 2, 0), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniPutIntraBlock(&o, &zero, blk.data(), &dcPred, dc.data(), E, S, 40, 2, 0), KVN_STS_BAD_ARG);
  EXPECT_EQ(kvniPutIntraBlock(&o, &freeBits, blk.data(), &dcPred, dc.data(), E, S, 33, 2, 0), KVN_STS_OUT_OF_RANGE);
  EXPECT_EQ(kvniPutIntraBlock(&o, &freeBits, blk.data(), &dcPred, dc.data(), E, S, 2, 2, 0), KVN_STS_OUT_OF_RANGE);
  dcPred = 1000;  // d = 2000: size 11, whose length is refused in a table of 12 zeros
  const std::vector<int32_t> zeros(24, 0);
  EXPECT_EQ(kvniPutIntraBlock(&o, &freeBits, blk.data(), &dcPred, zeros.data(), E, S, 2, 2, 0), KVN_STS_OUT_OF_RANGE);
  EXPECT_EQ(kvniPutNonIntraBlock(&o, &freeBits, nullptr, E, S, 2, 2, 1), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniPutNonIntraBlock(&o, &over, blk.data(), E, S, 2, 2, 1), KVN_STS_BAD_ARG);
  EXPECT_EQ(kvniPutNonIntraBlock(&o, &freeBits, blk.data(), E, S, -1, 2, 1), KVN_STS_OUT_OF_RANGE);
  EXPECT_EQ(o, out.data());
  EXPECT_EQ(freeBits, 32);
  EXPECT_EQ(dcPred, 1000);
  EXPECT_EQ(out, std::vector<Kvn32u>(8, 0));
}

// ---- writers -------------------------------------------------------------------

std::string written(const std::vector<Kvn32u>& w, std::size_t bits, int skip = 0) {
  std::string s;
  for (std::size_t i = std::size_t(skip); i < bits; ++i) s += char('0' + (w[i / 32] >> (31 - i % 32) & 1));
  return s;
}

TEST(Mpeg2VlcWrite, WorkedExamples) {
  const auto& t = tables();
  const std::vector<int32_t> dc = kvnsupport::mpeg2_dc_size_writer_table(false);
  std::array<Kvn16s, 64> blk{};
  // block[0] equal to the predictor: the size-0 code (100) and no bits, then EOB.
  blk[0] = 77;
  std::vector<Kvn32u> out(4, 0);
  Kvn32u* o = out.data();
  Kvn32s freeBits = 32, pred = 77;
  ASSERT_EQ(kvniPutIntraBlock(&o, &freeBits, blk.data(), &pred, dc.data(), t.enc14.get(), kMpeg2Zigzag, 2, 2, 0),
            KVN_STS_OK);
  EXPECT_EQ(freeBits, 27);
  EXPECT_EQ(written(out, 5), "10010");
  // Non-intra -1 first: 11; then a level 300 after a run of 1 (run 1 stops at
  // |level| 18): escape 000001, run 000001, 0001 0010 1100; EOB.
  blk.fill(0);
  blk[0] = -1;
  blk[kMpeg2Zigzag[2]] = 300;
  std::fill(out.begin(), out.end(), 0);
  o = out.data(), freeBits = 32;
  ASSERT_EQ(kvniPutNonIntraBlock(&o, &freeBits, blk.data(), t.enc14.get(), kMpeg2Zigzag, 2, 2, 2), KVN_STS_OK);
  EXPECT_EQ(written(out, 28),
            "11"
            "000001"
            "000001"
            "000100101100"
            "10");
  EXPECT_EQ(freeBits, 4);
  // The count stops the walk: one level, then EOB.
  std::fill(out.begin(), out.end(), 0);
  o = out.data(), freeBits = 32;
  ASSERT_EQ(kvniPutNonIntraBlock(&o, &freeBits, blk.data(), t.enc14.get(), kMpeg2Zigzag, 2, 2, 1), KVN_STS_OK);
  EXPECT_EQ(written(out, 4), "1110");
}

// Free-bit counts: ORed into the current word, a code crossing a word
// assigns the next word, an exact fill leaves it untouched.
TEST(Mpeg2VlcWrite, FreeBitCounts) {
  const auto& t = tables();
  std::array<Kvn16s, 64> blk{};
  blk[0] = 1;  // 10, then EOB 10: 4 bits
  for (int f = 1; f <= 32; ++f) {
    std::vector<Kvn32u> out = {f == 32 ? 0u : 0xffffffffu << f, 0, 0xabcdef01u};
    Kvn32u* o = out.data();
    Kvn32s freeBits = f;
    ASSERT_EQ(kvniPutNonIntraBlock(&o, &freeBits, blk.data(), t.enc14.get(), kMpeg2Zigzag, 2, 2, 1), KVN_STS_OK);
    const int used = 32 - f + 4;
    EXPECT_EQ(o, out.data() + used / 32) << f;
    EXPECT_EQ(freeBits, 32 - used % 32) << f;
    EXPECT_EQ(written(out, std::size_t(used), 32 - f), "1010") << f;
    EXPECT_EQ(out[1] << (used > 32 ? used - 32 : 0) >> (used > 32 ? used - 32 : 0), 0u) << f;
    EXPECT_EQ(out[2], 0xabcdef01u) << f;
  }
  // 1 free bit: the code 10 crosses and assigns the next word, EOB is ORed in;
  // 2 free bits: 10 fills the word, EOB is ORed into the next.
  for (int f = 1; f <= 2; ++f) {
    std::vector<Kvn32u> out = {0, 0x12345678u};
    Kvn32u* o = out.data();
    Kvn32s freeBits = f;
    ASSERT_EQ(kvniPutNonIntraBlock(&o, &freeBits, blk.data(), t.enc14.get(), kMpeg2Zigzag, 2, 2, 1), KVN_STS_OK);
    EXPECT_EQ(out[1], f == 1 ? 0x40000000u : 0x92345678u);
  }
}

// ---- round trips ---------------------------------------------------------------

// A random block of quantised levels: sparse, mostly small, some large; for
// MPEG-1 (8-bit escapes differ from the writer's) only table events.
std::array<Kvn16s, 64> random_levels(kvntest::Rng& r, bool mpeg1, bool intra, const Kvn32s* scan) {
  std::array<Kvn16s, 64> b{};
  const int n = r.range(intra ? 0 : 1, r.coin() ? 6 : 40);
  for (int i = 0; i < n; ++i) {
    const int p = r.range(intra ? 1 : 0, 63);
    int level = r.one_in(8) ? r.range(1, mpeg1 ? 4 : 2047) : r.range(1, 3);
    if (mpeg1) level = 1;
    b[std::size_t(scan[p])] = Kvn16s(r.coin() ? -level : level);
  }
  if (mpeg1) {  // keep runs within the table: runs 0..31 at level 1
    int run = 0;
    for (int p = intra ? 1 : 0; p < 64; ++p) {
      if (b[std::size_t(scan[p])])
        run = 0;
      else if (++run > 30)
        b[std::size_t(scan[p])] = 1, run = 0;
    }
  }
  return b;
}

std::array<Kvn16s, 64> expected(const std::array<Kvn16s, 64>& lv, bool mpeg1, bool intra, int q, const Kvn16s* w,
                                int32_t dc) {
  std::array<Kvn16s, 64> e{};
  for (int k = 0; k < 64; ++k)
    if (lv[std::size_t(k)] && !(intra && k == 0))
      e[std::size_t(k)] = Kvn16s(dequant(mpeg1, intra, lv[std::size_t(k)], w ? w[k] : 16, q));
  if (intra) e[0] = Kvn16s(dc);
  if (!mpeg1) mismatch(e);
  return e;
}

int last_position(const std::array<Kvn16s, 64>& lv, const Kvn32s* scan) {
  int last = 0;
  for (int p = 0; p < 64; ++p)
    if (lv[std::size_t(scan[p])]) last = p;
  return last;
}

// Blocks written by the library's writers and read back by the block
// decoders, several to a stream from a random start bit, over B-14 and B-15,
// both scans, random stage layouts and weights; each decoder then reads the
// same stream placed right before an inaccessible page, one spare word after
// the last bit.
TEST(Mpeg2VlcRoundTrip, WritersToDecoders) {
  kvntest::TestRng r;
  kvntest::GuardPage guard;
  const auto& t = tables();
  const std::vector<int32_t> dcLuma = kvnsupport::mpeg2_dc_size_writer_table(false);
  const std::vector<int32_t> dcChroma = kvnsupport::mpeg2_dc_size_writer_table(true);
  const std::vector<std::vector<int>> layouts = {{8, 9}, {1, 16}, {4, 4, 4, 5}, {12, 5}, {16, 1}};
  for (int round = 0; round < 300; ++round) {
    const bool mpeg1 = r.one_in(3), b15 = !mpeg1 && r.coin(), chroma = r.coin();
    const Kvn32s* scan = !mpeg1 && r.coin() ? kvnsupport::kMpeg2Alternate : kMpeg2Zigzag;
    const auto& layout = layouts[std::size_t(r.range(0, int(layouts.size()) - 1))];
    Table first = run_level(kvnsupport::mpeg2_dct_source(Mpeg2DctTable::kB14First, layout));
    Table ac = run_level(kvnsupport::mpeg2_dct_source(b15 ? Mpeg2DctTable::kB15 : Mpeg2DctTable::kB14, layout));
    Table dcTable = huffman(kvnsupport::mpeg2_dc_size_source(chroma, {r.range(1, 5), 5, 5}));
    std::array<Kvn16s, 64> w;
    r.fill(w, 1, 255);
    const int q = r.range(1, 112), shift = r.range(0, 3);

    // Write: a random lead, then blocks.
    constexpr int kBlocks = 4;
    std::vector<Kvn32u> out(kBlocks * 80 + 4, 0);
    const int lead = r.range(0, 31);
    out[0] = lead ? r.u32() << (32 - lead) : 0;
    Kvn32u* o = out.data();
    Kvn32s freeBits = 32 - lead, writerPred = r.range(-500, 500);
    const Kvn32s startPred = writerPred;
    std::array<std::array<Kvn16s, 64>, kBlocks> lv;
    std::array<bool, kBlocks> intra;
    for (int i = 0; i < kBlocks; ++i) {
      intra[std::size_t(i)] = r.coin();
      lv[std::size_t(i)] = random_levels(r, mpeg1, intra[std::size_t(i)], scan);
      auto& b = lv[std::size_t(i)];
      int nz = 0;
      for (int p = intra[std::size_t(i)] ? 1 : 0; p < 64; ++p) nz += b[std::size_t(scan[p])] != 0;
      const Kvn32s* enc = b15 && intra[std::size_t(i)] ? t.enc15.get() : t.enc14.get();
      const bool eob15 = b15 && intra[std::size_t(i)];
      if (intra[std::size_t(i)]) {
        b[0] = Kvn16s(writerPred + r.range(-2047, 2047));
        if (mpeg1) b[0] = Kvn16s(writerPred + r.range(-255, 255));
        ASSERT_EQ(kvniPutIntraBlock(&o, &freeBits, b.data(), &writerPred, (chroma ? dcChroma : dcLuma).data(), enc,
                                    scan, eob15 ? 4 : 2, eob15 ? 6 : 2, nz + r.range(0, 1)),
                  KVN_STS_OK);
      } else {
        ASSERT_EQ(kvniPutNonIntraBlock(&o, &freeBits, b.data(), enc, scan, 2, 2, nz), KVN_STS_OK);
      }
    }
    const std::size_t bits = std::size_t(o - out.data()) * 32 + std::size_t(32 - freeBits);

    // Read, with room, then ending one word after the last bit.
    for (int pass = 0; pass < 2; ++pass) {
      const std::size_t words = pass == 0 ? out.size() : (bits + 31) / 32 + 1;
      Kvn32u* start = guard.place(out.data(), words);
      Kvn32u* p = start;
      Kvn32s idx = 31 - lead;
      Kvn16s pred = Kvn16s(mpeg1 ? 8 * startPred : startPred);
      for (int i = 0; i < kBlocks; ++i) {
        const auto& b = lv[std::size_t(i)];
        std::array<Kvn16s, 64> got;
        got.fill(0x5a5a);
        Kvn32s last = -1;
        KvnResult st;
        int32_t dc = 0;
        if (intra[std::size_t(i)]) {
          const Kvn32s* acT = b15 ? ac.get() : tables().b14.get();
          if (mpeg1) {
            st = kvniReconstructDCTBlockIntra_MPEG1_32s(&p, &idx, dcTable.get(), acT, scan, q, w.data(), &pred,
                                                        got.data(), &last);
            dc = 8 * b[0];
          } else {
            st = kvniReconstructDCTBlockIntra_MPEG2_32s(&p, &idx, dcTable.get(), acT, scan, q, w.data(), &pred, shift,
                                                        got.data(), &last);
            dc = sat(int64_t(b[0]) * (1 << shift));
          }
        } else {
          const Kvn32s* acT = b15 ? tables().b14.get() : ac.get();
          const Kvn16s* W = !mpeg1 && r.coin() ? nullptr : w.data();
          st = mpeg1 ? kvniReconstructDCTBlock_MPEG1_32s(&p, &idx, first.get(), acT, scan, q, W, got.data(), &last)
                     : kvniReconstructDCTBlock_MPEG2_32s(&p, &idx, first.get(), acT, scan, q, W, got.data(), &last);
          if (!W) w.fill(16);  // the expectation's weights
        }
        ASSERT_EQ(st, KVN_STS_OK) << "round " << round << " block " << i;
        EXPECT_EQ(got, expected(b, mpeg1, intra[std::size_t(i)], q, w.data(), dc)) << "round " << round;
        int wantLast = last_position(b, scan);
        if (!mpeg1 && !intra[std::size_t(i)] && wantLast == 0) wantLast = 1;
        EXPECT_EQ(last, wantLast) << "round " << round;
        if (intra[std::size_t(i)]) {
          EXPECT_EQ(pred, mpeg1 ? Kvn16s(8 * b[0]) : b[0]);
        }
      }
      EXPECT_EQ(std::size_t(p - start) * 32 + std::size_t(31 - idx), bits);
    }
  }
}
}  // namespace
