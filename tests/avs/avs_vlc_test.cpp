// The AVS coefficient block decoders through the exported names: round trips
// with the test writer (random pairs, escapes, every table of every set, both
// scans, any start bit), worked bit strings, the stopping rules, code errors,
// the reading bound (guard page) and the argument checks.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "avs_writer.h"
#include "guard_page.h"
#include "kvnvc.h"
#include "rng.h"

namespace {

using namespace avstest;
using kvn::avs::kAvsFieldScan;
using kvn::avs::kAvsZigzag;

using DecodeFn = KvnResult (*)(Kvn32u**, Kvn32u*, Kvn32u*, Kvn16s*, Kvn32s);

struct Decoder {
  const char* name;
  DecodeFn fn;
  const AvsVlcSet& set;
};
const Decoder kDecoders[] = {
    {"intra luma", kvniDecodeLumaBlockIntra_AVS_1u16s, kvn::avs::kAvsIntraLuma},
    {"inter luma", kvniDecodeLumaBlockInter_AVS_1u16s, kvn::avs::kAvsInterLuma},
    {"chroma", kvniDecodeChromaBlock_AVS_1u16s, kvn::avs::kAvsChroma},
};

struct Result {
  KvnResult st;
  std::size_t bits;  // consumed, counted from the start of word 0
  uint32_t count;
  std::vector<int16_t> block;
};

// Decodes one block at stream bit `at` of `words`.
Result decode(DecodeFn fn, Kvn32u* words, std::size_t at, int field) {
  Kvn32u* p = words + at / 32;
  Kvn32u idx = Kvn32u(31 - at % 32);
  Result r{0, 0, 0xdeadu, std::vector<int16_t>(64, 0x5555)};
  r.st = fn(&p, &idx, &r.count, r.block.data(), field);
  r.bits = std::size_t(p - words) * 32 + 31 - idx;
  return r;
}

// Random pairs: mostly small levels and runs (table codes), sometimes any
// run and level (escapes), up to 64 positions.
std::vector<Pair> random_pairs(kvntest::Rng& r) {
  std::vector<Pair> pairs;
  const int kind = r.range(0, 3);
  int left = kind == 3 ? 64 : r.range(0, 64);
  while (left > 0) {
    Pair p;
    if (kind == 0 || (kind != 2 && r.range(0, 9))) {
      p.run = r.one_in(2) ? 0 : r.range(0, kind == 1 ? 25 : 6);
      p.level = r.one_in(3) ? r.range(1, 30) : r.range(1, 3);
    } else {
      p.run = r.range(0, 63);
      static const int32_t kBig[] = {32767, 32768, 1000, 2047, 4095};
      p.level = r.one_in(4) ? kBig[r.range(0, 4)] : r.range(1, 600);
    }
    if (kind == 3) p.run = 0;
    if (p.run + 1 > left) p.run = left - 1;
    if (r.coin()) p.level = -p.level;
    if (p.level == 32768) p.level = -32768;
    pairs.push_back(p);
    left -= p.run + 1;
  }
  return pairs;
}

TEST(AvsDecode, RoundTrips) {
  kvntest::TestRng r;
  for (const Decoder& d : kDecoders) {
    unsigned tables = 0;
    for (int field = 0; field < 2; ++field)
      for (int trial = 0; trial < 400; ++trial) {
        BitWriter bw;
        const int skip = r.range(0, 31);
        for (int i = 0; i < skip; ++i) bw.bit(r.coin());
        std::vector<std::vector<Pair>> blocks(std::size_t(r.range(1, 4)));
        std::vector<std::size_t> ends;
        for (auto& b : blocks) {
          b = random_pairs(r);
          tables |= put_block(bw, d.set, b);
          ends.push_back(bw.bits());
        }
        std::vector<Kvn32u> words = bw.words();
        std::size_t at = std::size_t(skip);
        for (std::size_t i = 0; i < blocks.size(); ++i) {
          const std::string where = std::string(d.name) + " field " + std::to_string(field) + " trial " +
                                    std::to_string(trial) + " block " + std::to_string(i);
          uint32_t count;
          const std::vector<int16_t> want = block_of(blocks[i], field ? kAvsFieldScan : kAvsZigzag, count);
          const Result got = decode(d.fn, words.data(), at, field);
          ASSERT_EQ(got.st, KVN_STS_OK) << where;
          ASSERT_EQ(got.block, want) << where;
          ASSERT_EQ(got.count, field ? 63u : count) << where;
          ASSERT_EQ(got.bits, ends[i]) << where;
          at = ends[i];
        }
      }
    EXPECT_EQ(tables, (1u << d.set.count) - 1) << d.name << ": every table reached";
  }
}

// Each block alone, in a stream ending one word after the word that holds its
// last bit, right before an inaccessible page.
TEST(AvsDecode, ReadsNoFurtherThanTheWordAfterTheLastBit) {
  kvntest::TestRng r;
  kvntest::GuardPage guard;
  for (const Decoder& d : kDecoders)
    for (int trial = 0; trial < 300; ++trial) {
      BitWriter bw;
      const int skip = r.range(0, 31);
      bw.put(0, skip);
      const std::vector<Pair> pairs = random_pairs(r);
      put_block(bw, d.set, pairs);
      const std::vector<Kvn32u> words = bw.words(0);
      const std::size_t used = (bw.bits() - 1) / 32 + 2;
      std::vector<Kvn32u> tight(words.begin(), words.end());
      tight.resize(used, 0);
      Kvn32u* at = guard.place(tight.data(), tight.size());
      const int field = r.range(0, 1);
      const Result got = decode(d.fn, at, std::size_t(skip), field);
      uint32_t count;
      ASSERT_EQ(got.st, KVN_STS_OK) << d.name << " trial " << trial;
      ASSERT_EQ(got.block, block_of(pairs, field ? kAvsFieldScan : kAvsZigzag, count));
      ASSERT_EQ(got.bits, bw.bits());
    }
  // Code errors at the end of the data: 64 zero bits, from every start bit.
  const Kvn32u zeros[2] = {0, 0};
  for (const Decoder& d : kDecoders)
    for (int skip = 0; skip < 32; ++skip) {
      const Result got = decode(d.fn, guard.place(zeros, 2), std::size_t(skip), 0);
      EXPECT_EQ(got.st, KVN_STS_VLC_CODE_ERR) << d.name << " " << skip;
      EXPECT_EQ(got.bits, std::size_t(skip));
    }
}

std::vector<Kvn32u> from_bits(const std::string& bits) {
  BitWriter bw;
  for (char c : bits) bw.bit(c == '1');
  return bw.words(2);
}

// Bit strings worked by hand from the tables (Exp-Golomb codes of the orders).
TEST(AvsDecode, WorkedBitStrings) {
  struct Case {
    DecodeFn fn;
    const char* bits;
    int raster;
    int16_t level;
    uint32_t count;
  };
  const Case cases[] = {
      // end of block first (codeNum 58: order 2 000 111110, order 3 000 1000010)
      {kvniDecodeLumaBlockIntra_AVS_1u16s, "000111110", 0, 0, 0},
      {kvniDecodeLumaBlockInter_AVS_1u16s, "0001000010", 0, 0, 0},
      {kvniDecodeChromaBlock_AVS_1u16s, "000111110", 0, 0, 0},
      // intra: codeNum 0 (run 0, +1: "100"), then table 1's end of block
      // (codeNum 8: "01100")
      {kvniDecodeLumaBlockIntra_AVS_1u16s, "10001100", 0, 1, 1},
      // intra escape: codeNum 59 (run 0, odd: negative; "000111111"), escape
      // number 0 of order 1 ("10") on the reference 4: -4; table 3's end of
      // block (codeNum 8)
      {kvniDecodeLumaBlockIntra_AVS_1u16s,
       "000111111"
       "10"
       "01100",
       0, -4, 1},
      // inter: codeNum 4 of table 0 (run 2, +1: order 3 "1100"), table 1's
      // end of block (codeNum 2, order 2: "110")
      {kvniDecodeLumaBlockInter_AVS_1u16s,
       "1100"
       "110",
       8, 1, 3},
      // chroma: codeNum 1 (run 0, -1: "101"), table 1 (order 0) end of block
      // (codeNum 0: "1")
      {kvniDecodeChromaBlock_AVS_1u16s,
       "101"
       "1",
       0, -1, 1},
  };
  for (const Case& c : cases) {
    std::vector<Kvn32u> w = from_bits(c.bits);
    const Result got = decode(c.fn, w.data(), 0, 0);
    ASSERT_EQ(got.st, KVN_STS_OK) << c.bits;
    EXPECT_EQ(got.bits, std::strlen(c.bits)) << c.bits;
    EXPECT_EQ(got.count, c.count) << c.bits;
    std::vector<int16_t> want(64, 0);
    want[std::size_t(c.raster)] = c.level;
    EXPECT_EQ(got.block, want) << c.bits;
    // The field scan reports 63 whatever was decoded.
    EXPECT_EQ(decode(c.fn, w.data(), 0, 1).count, 63u) << c.bits;
  }
}

// Stops: a run that would carry the position past 63 ends the block (its
// code read, nothing appended), 64 positions then any code, a run of 63
// first.
TEST(AvsDecode, StoppingRules) {
  for (const Decoder& d : kDecoders) {
    BitWriter bw;
    put_block(bw, d.set, {{10, 3}, {60, 1}}, false);  // 11 + 60 > 63: stop
    std::vector<Kvn32u> w = bw.words();
    Result got = decode(d.fn, w.data(), 0, 0);
    ASSERT_EQ(got.st, KVN_STS_OK);
    EXPECT_EQ(got.bits, bw.bits());
    EXPECT_EQ(got.count, 11u);
    EXPECT_EQ(got.block[kAvsZigzag[10]], 3);

    std::vector<Pair> full(64, Pair{0, 1});
    full[5].level = -7;
    BitWriter b2;
    put_block(b2, d.set, full, false);
    const std::size_t dataBits = b2.bits();
    put_block(b2, d.set, {{0, 2}}, false);  // read, then stops
    w = b2.words();
    got = decode(d.fn, w.data(), 0, 0);
    ASSERT_EQ(got.st, KVN_STS_OK);
    EXPECT_GT(got.bits, dataBits);
    EXPECT_EQ(got.count, 64u);
    for (int i = 0; i < 64; ++i) EXPECT_EQ(got.block[kAvsZigzag[i]], i == 58 ? -7 : 1) << i;

    BitWriter b3;
    put_block(b3, d.set, {{63, 5}});
    w = b3.words();
    got = decode(d.fn, w.data(), 0, 1);
    ASSERT_EQ(got.st, KVN_STS_OK);
    EXPECT_EQ(got.block[kAvsFieldScan[63]], 5);
    EXPECT_EQ(got.bits, b3.bits());
  }
}

// Code errors leave everything as it was: an Exp-Golomb prefix longer than
// 31 - k, an escape level outside -32768..32767. The longest prefix allowed
// decodes (a run far past the block: an empty block).
TEST(AvsDecode, CodeErrors) {
  for (const Decoder& d : kDecoders) {
    const int k = d.set.order[0];
    for (int zeros : {31 - k, 32 - k, 40}) {
      BitWriter bw;
      bw.put(0, 3);
      bw.put(0, zeros);
      bw.put(1, 1);
      bw.put(0, 31);  // z + k info bits
      put_exp_golomb(bw, 0, d.set.escapeOrder);
      std::vector<Kvn32u> w = bw.words(4);
      const Result got = decode(d.fn, w.data(), 3, 0);
      if (zeros == 31 - k) {
        ASSERT_EQ(got.st, KVN_STS_OK) << d.name;
        EXPECT_EQ(got.count, 0u);
        EXPECT_EQ(got.bits, bw.bits());
      } else {
        ASSERT_EQ(got.st, KVN_STS_VLC_CODE_ERR) << d.name << " " << zeros;
        EXPECT_EQ(got.bits, 3u);
        EXPECT_EQ(got.count, 0xdeadu);
        EXPECT_EQ(got.block, std::vector<int16_t>(64, 0x5555));
      }
    }
    for (int32_t level : {32767, -32768, 32768, -32769, 1 << 20}) {
      BitWriter bw;
      put_block(bw, d.set, {{1, 2}, {0, level}});
      std::vector<Kvn32u> w = bw.words();
      const Result got = decode(d.fn, w.data(), 0, 0);
      const bool fits = level >= -32768 && level <= 32767;
      ASSERT_EQ(got.st, fits ? KVN_STS_OK : KVN_STS_VLC_CODE_ERR) << d.name << " " << level;
      if (fits)
        EXPECT_EQ(got.block[0], level);
      else
        EXPECT_EQ(got.bits, 0u);
    }
  }
}

// Pointers first (-8, the word pointer included), then the bit index (-5);
// nothing read or written.
TEST(AvsDecode, ArgumentChecks) {
  for (const Decoder& d : kDecoders) {
    Kvn32u words[4] = {0xffffffffu, 0, 0, 0};
    Kvn32u *p = words, *nil = nullptr, idx = 31, count = 7;
    Kvn16s blk[64] = {};
    EXPECT_EQ(d.fn(nullptr, &idx, &count, blk, 0), KVN_STS_NULL_PTR);
    EXPECT_EQ(d.fn(&p, nullptr, &count, blk, 0), KVN_STS_NULL_PTR);
    EXPECT_EQ(d.fn(&p, &idx, nullptr, blk, 0), KVN_STS_NULL_PTR);
    EXPECT_EQ(d.fn(&p, &idx, &count, nullptr, 0), KVN_STS_NULL_PTR);
    idx = 40;
    EXPECT_EQ(d.fn(&nil, &idx, &count, blk, 0), KVN_STS_NULL_PTR);
    EXPECT_EQ(d.fn(&p, &idx, &count, blk, 0), KVN_STS_BAD_ARG);
    EXPECT_EQ(p, words);
    EXPECT_EQ(idx, 40u);
    EXPECT_EQ(count, 7u);
    for (Kvn16s v : blk) EXPECT_EQ(v, 0);
    // Any non-zero scan selector is the field scan.
    idx = 31;
    BitWriter bw;
    put_block(bw, d.set, {{1, 1}});
    std::vector<Kvn32u> w = bw.words();
    p = w.data();
    ASSERT_EQ(d.fn(&p, &idx, &count, blk, -5), KVN_STS_OK);
    EXPECT_EQ(count, 63u);
    EXPECT_EQ(blk[kAvsFieldScan[1]], 1);
  }
}

}  // namespace
