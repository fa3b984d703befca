// The AVS coefficient block decoders through the exported names: round trips
// with the test writer (random pairs, escapes, every table of every set, both
// scans, any start bit, the stream ending one word after its last bit, right
// before an inaccessible page), bit strings worked by hand, the stopping
// rules, code errors and the argument checks.
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
  std::size_t bits;  // position after the call, from the start of word 0
  uint32_t count;
  std::vector<int16_t> block;
};

Result decode(DecodeFn fn, Kvn32u* words, std::size_t at, int field) {
  Kvn32u* p = words + at / 32;
  Kvn32u idx = Kvn32u(31 - at % 32);
  Result r{0, 0, 0xdeadu, std::vector<int16_t>(64, 0x5555)};
  r.st = fn(&p, &idx, &r.count, r.block.data(), field);
  r.bits = std::size_t(p - words) * 32 + 31 - idx;
  return r;
}

// Mostly small levels and short runs (table codes), else any run and level
// (escapes, up to the 16-bit limits), 0..64 positions.
std::vector<Pair> random_pairs(kvntest::Rng& r) {
  std::vector<Pair> pairs;
  const int kind = r.range(0, 3);
  for (int left = kind == 3 ? 64 : r.range(0, 64); left > 0;) {
    Pair p{r.one_in(2) ? 0 : r.range(0, kind == 1 ? 25 : 6), r.one_in(3) ? r.range(1, 30) : r.range(1, 3)};
    if (kind == 2 || (kind != 0 && r.one_in(10))) {
      static const int32_t kBig[] = {32767, 32768, 1000, 2047, 4095};
      p = {r.range(0, 63), r.one_in(4) ? kBig[r.range(0, 4)] : r.range(1, 600)};
    }
    p.run = kind == 3 ? 0 : std::min(p.run, left - 1);
    if (r.coin() || p.level == 32768) p.level = -p.level;
    pairs.push_back(p);
    left -= p.run + 1;
  }
  return pairs;
}

TEST(AvsDecode, RoundTrips) {
  kvntest::TestRng r;
  kvntest::GuardPage guard;
  for (const Decoder& d : kDecoders) {
    unsigned tables = 0;
    for (int trial = 0; trial < 800; ++trial) {
      const int field = trial & 1, skip = r.range(0, 31);
      BitWriter bw;
      for (int i = 0; i < skip; ++i) bw.bit(r.coin());
      std::vector<std::vector<Pair>> blocks(std::size_t(r.range(1, 4)));
      std::vector<std::size_t> ends;
      for (auto& b : blocks) {
        b = random_pairs(r);
        tables |= put_block(bw, d.set, b);
        ends.push_back(bw.bits());
      }
      std::vector<Kvn32u> words = bw.words(0);
      words.resize((bw.bits() - 1) / 32 + 2, 0);
      Kvn32u* at = guard.place(words.data(), words.size());
      for (std::size_t i = 0, pos = std::size_t(skip); i < blocks.size(); pos = ends[i++]) {
        const std::string where =
            std::string(d.name) + " trial " + std::to_string(trial) + " block " + std::to_string(i);
        uint32_t count;
        const std::vector<int16_t> want = block_of(blocks[i], field ? kAvsFieldScan : kAvsZigzag, count);
        const Result got = decode(d.fn, at, pos, field);
        ASSERT_EQ(got.st, KVN_STS_OK) << where;
        ASSERT_EQ(got.block, want) << where;
        ASSERT_EQ(got.count, field ? 63u : count) << where;
        ASSERT_EQ(got.bits, ends[i]) << where;
      }
    }
    EXPECT_EQ(tables, (1u << d.set.count) - 1) << d.name << ": every table reached";
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
      // end of block first (codeNum 58; order 2: 000 111110, order 3: 000 1000010)
      {kvniDecodeLumaBlockIntra_AVS_1u16s, "000111110", 0, 0, 0},
      {kvniDecodeLumaBlockInter_AVS_1u16s, "0001000010", 0, 0, 0},
      {kvniDecodeChromaBlock_AVS_1u16s, "000111110", 0, 0, 0},
      // intra: codeNum 0 (run 0, +1: "100"), table 1's end of block (codeNum 8: "01100")
      {kvniDecodeLumaBlockIntra_AVS_1u16s,
       "100"
       "01100",
       0, 1, 1},
      // intra escape: codeNum 59 (run 0, odd: negative; "000111111"), escape
      // number 0 of order 1 ("10") above the reference 4: -4; table 3's end of block
      {kvniDecodeLumaBlockIntra_AVS_1u16s,
       "000111111"
       "10"
       "01100",
       0, -4, 1},
      // inter: codeNum 4 (run 2, +1; order 3: "1100") at zigzag 2 (raster 8),
      // table 1's end of block (codeNum 2, order 2: "110")
      {kvniDecodeLumaBlockInter_AVS_1u16s,
       "1100"
       "110",
       8, 1, 3},
      // chroma: codeNum 1 (run 0, -1: "101"), table 1's end of block (order 0, codeNum 0: "1")
      {kvniDecodeChromaBlock_AVS_1u16s,
       "101"
       "1",
       0, -1, 1},
  };
  for (const Case& c : cases) {
    std::vector<Kvn32u> w = from_bits(c.bits);
    const Result got = decode(c.fn, w.data(), 0, 0);
    std::vector<int16_t> want(64, 0);
    want[std::size_t(c.raster)] = c.level;
    ASSERT_EQ(got.st, KVN_STS_OK) << c.bits;
    EXPECT_EQ(got.bits, std::strlen(c.bits)) << c.bits;
    EXPECT_EQ(got.count, c.count) << c.bits;
    EXPECT_EQ(got.block, want) << c.bits;
    EXPECT_EQ(decode(c.fn, w.data(), 0, 1).count, 63u) << c.bits;  // the field scan: 63 whatever was decoded
  }
}

// A run that would carry the position past 63 ends the block (its code read,
// nothing appended); after 64 positions any code does. The last pair of each
// case is the one that stops.
TEST(AvsDecode, StoppingRules) {
  std::vector<Pair> full(64, Pair{0, 1});
  full[5].level = -7;
  full.push_back({0, 2});
  const struct {
    std::vector<Pair> pairs;
    uint32_t count;
  } cases[] = {{{{10, 3}, {60, 1}}, 11}, {full, 64}, {{{63, 5}, {0, 2}}, 64}};
  for (const Decoder& d : kDecoders)
    for (const auto& c : cases) {
      BitWriter bw;
      put_block(bw, d.set, c.pairs, false);
      std::vector<Kvn32u> w = bw.words();
      const Result got = decode(d.fn, w.data(), 0, 0);
      uint32_t count;
      ASSERT_EQ(got.st, KVN_STS_OK) << d.name;
      EXPECT_EQ(got.bits, bw.bits()) << d.name;
      EXPECT_EQ(got.block, block_of({c.pairs.begin(), c.pairs.end() - 1}, kAvsZigzag, count)) << d.name;
      EXPECT_EQ(got.count, c.count) << d.name;
    }
}

// Code errors leave the position and the outputs as they were: an
// Exp-Golomb prefix longer than 31 - k (also at the very end of the data,
// right before an inaccessible page), an escape level outside
// -32768..32767. The longest prefix allowed decodes (a run far past the
// block: an empty block).
TEST(AvsDecode, CodeErrors) {
  kvntest::GuardPage guard;
  const Kvn32u zeros[2] = {0, 0};
  for (const Decoder& d : kDecoders) {
    const int k = d.set.order[0];
    for (int z : {31 - k, 32 - k, 40}) {
      BitWriter bw;
      bw.put(0, 3 + z);
      bw.put(1, 1);
      bw.put(0, 31);  // z + k info bits
      put_exp_golomb(bw, 0, d.set.escapeOrder);
      std::vector<Kvn32u> w = bw.words(4);
      const Result got = decode(d.fn, w.data(), 3, 0);
      const bool ok = z == 31 - k;
      ASSERT_EQ(got.st, ok ? KVN_STS_OK : KVN_STS_VLC_CODE_ERR) << d.name << " " << z;
      EXPECT_EQ(got.bits, ok ? bw.bits() : 3u);
      EXPECT_EQ(got.count, ok ? 0u : 0xdeadu);
      EXPECT_EQ(got.block, std::vector<int16_t>(64, ok ? 0 : 0x5555));
    }
    for (int32_t level : {32767, -32768, 32768, -32769, 1 << 20}) {
      BitWriter bw;
      put_block(bw, d.set, {{1, 2}, {0, level}});
      std::vector<Kvn32u> w = bw.words();
      const Result got = decode(d.fn, w.data(), 0, 0);
      const bool fits = level >= -32768 && level <= 32767;
      ASSERT_EQ(got.st, fits ? KVN_STS_OK : KVN_STS_VLC_CODE_ERR) << d.name << " " << level;
      EXPECT_EQ(fits ? got.block[0] : int(got.bits), fits ? level : 0);
    }
    for (int skip = 0; skip < 32; ++skip) {
      const Result got = decode(d.fn, guard.place(zeros, 2), std::size_t(skip), 0);
      EXPECT_EQ(got.st, KVN_STS_VLC_CODE_ERR) << d.name << " " << skip;
      EXPECT_EQ(got.bits, std::size_t(skip));
    }
  }
}

// Pointers first (-8, the word pointer included), then the bit index (-5);
// nothing read or written. Any non-zero scan selector is the field scan.
TEST(AvsDecode, ArgumentChecks) {
  for (const Decoder& d : kDecoders) {
    Kvn32u words[4] = {0xffffffffu, 0, 0, 0};
    Kvn32u *p = words, *nil = nullptr, idx = 40, count = 7;
    Kvn16s blk[64] = {};
    EXPECT_EQ(d.fn(nullptr, &idx, &count, blk, 0), KVN_STS_NULL_PTR);
    EXPECT_EQ(d.fn(&p, nullptr, &count, blk, 0), KVN_STS_NULL_PTR);
    EXPECT_EQ(d.fn(&p, &idx, nullptr, blk, 0), KVN_STS_NULL_PTR);
    EXPECT_EQ(d.fn(&p, &idx, &count, nullptr, 0), KVN_STS_NULL_PTR);
    EXPECT_EQ(d.fn(&nil, &idx, &count, blk, 0), KVN_STS_NULL_PTR);
    EXPECT_EQ(d.fn(&p, &idx, &count, blk, 0), KVN_STS_BAD_ARG);
    EXPECT_TRUE(p == words && idx == 40 && count == 7 && blk[0] == 0 && blk[63] == 0);
    BitWriter bw;
    put_block(bw, d.set, {{1, 1}});
    std::vector<Kvn32u> w = bw.words();
    p = w.data(), idx = 31;
    ASSERT_EQ(d.fn(&p, &idx, &count, blk, -5), KVN_STS_OK);
    EXPECT_EQ(count, 63u);
    EXPECT_EQ(blk[kAvsFieldScan[1]], 1);
  }
}

}  // namespace
