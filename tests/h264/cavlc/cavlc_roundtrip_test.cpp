// CAVLC round trips through the exported names: random blocks of every
// (TotalCoeff, TrailingOnes) mix with levels up to +-2^15 (every suffixLength
// and escape), analysed by the encoding functions, coded by the test writer,
// decoded back with tables of several level layouts, several blocks to a
// stream at every bit offset; the bit position is compared after every call.
#include <gtest/gtest.h>

#include <functional>

#include "cavlc_test.h"
#include "guard_page.h"
#include "rng.h"

namespace {

using namespace cavlctest;
using kvntest::Rng;

// A level of magnitude classes from 1 to maxMag; never +-1 when notOne.
int32_t random_level(Rng& r, int32_t maxMag, bool negOnly32768, bool notOne) {
  const int c = r.range(0, 9);
  int32_t mag = c < 5   ? r.range(1, 3)
                : c < 7 ? r.range(4, 64)
                : c < 8 ? r.range(65, 5000)
                : c < 9 ? r.range(5001, maxMag)
                        : maxMag - r.range(0, 2);
  if (notOne && mag == 1) mag = 2;
  const bool neg = r.coin() || (negOnly32768 && mag == 32768);
  return neg ? -mag : mag;
}

struct Config {
  Kind kind;
  int nC, maxCoeff, start, end;
};

// The block shape of a configuration and the decoder call for it.
struct Layout {
  Config c;
  int n, span, positions;  // entries, scan positions in range, where coefficients may lie
  kvnvlc::CavlcCoding coding;
  Call call;
  explicit Layout(const Config& cfg)
      : c(cfg),
        n(entries(c.kind)),
        span(is_dc(c.kind) ? n : c.end - c.start + 1),
        positions(std::min(span, c.maxCoeff)),
        coding{is_dc(c.kind) ? (n == 4 ? -1 : -2) : c.nC, c.maxCoeff, c.kind == Kind::kRange ? span : 16} {
    call.kind = c.kind, call.nC = c.nC, call.maxCoeff = c.maxCoeff, call.start = c.start, call.end = c.end;
  }
  // Raster index of scan position k of the range.
  std::size_t raster(int k) const {
    return std::size_t(is_dc(c.kind) ? (n == 4 ? k : kScan2x4[k]) : kZigzag[c.start + k]);
  }
  // A block in raster order with exactly tc coefficients, the t1 of highest
  // scan index +-1 and (t1 < 3) the next one not.
  std::vector<int32_t> block(Rng& r, int tc, int t1) const {
    std::vector<int> at;
    for (int i = 0; i < positions; ++i) at.push_back(i);
    r.shuffle(at.begin(), at.end());
    std::sort(at.begin(), at.begin() + tc, std::greater<int>());
    std::vector<int32_t> raster_block(std::size_t(n), 0);
    for (int j = 0; j < tc; ++j)
      raster_block[raster(at[std::size_t(j)])] =
          j < t1 ? (r.coin() ? 1 : -1) : random_level(r, 32768, !is_32(c.kind), j == t1 && t1 < 3);
    return raster_block;
  }
  // What the decoder leaves in entry k for a block of tc coefficients.
  int32_t decoded(const std::vector<int32_t>& raster_block, int tc, int k) const {
    const int32_t v = tc ? raster_block[std::size_t(k)] : kGuard;
    return is_32(c.kind) ? v : int16_t(v);
  }
};

// The analysis of the block by the exported encoding function of the kind.
kvnvlc::CavlcBlock analyse(const Config& c, const std::vector<int32_t>& raster) {
  kvnvlc::CavlcBlock b;
  Kvn8u t1 = 9, signs = 9, tc = 9, tz = 99, runs[16];
  Kvn16s lev16[16];
  Kvn32s lev32[16];
  std::vector<Kvn16s> r16(raster.begin(), raster.end());
  KvnResult st;
  const bool wide = is_32(c.kind);
  if (!is_dc(c.kind))
    st = wide ? kvniEncodeCoeffsCAVLC_H264_32s(raster.data(), c.start, kZigzag, c.end, &t1, &signs, &tc, &tz, lev32,
                                               runs)
              : kvniEncodeCoeffsCAVLC_H264_16s(r16.data(), Kvn8u(c.start), kZigzag, Kvn8u(c.end), &t1, &signs, &tc, &tz,
                                               lev16, runs);
  else if (entries(c.kind) == 4)
    st = wide ? kvniEncodeCoeffsCAVLCChromaDC2x2_H264_32s(raster.data(), &t1, &signs, &tc, &tz, lev32, runs)
              : kvniEncodeChromaDcCoeffsCAVLC_H264_16s(r16.data(), &t1, &signs, &tc, &tz, lev16, runs);
  else
    st = wide ? kvniEncodeCoeffsCAVLCChromaDC2x4_H264_32s(raster.data(), &t1, &signs, &tc, &tz, lev32, runs)
              : kvniEncodeCoeffsCAVLCChromaDC2x4_H264_16s(r16.data(), &t1, &signs, &tc, &tz, lev16, runs);
  EXPECT_EQ(st, KVN_STS_OK);
  b.trailingOnes = t1, b.signs = signs, b.totalCoeff = tc, b.totalZeros = tz;
  for (int i = 0; i < tc - t1; ++i) b.levels[i] = wide ? lev32[i] : lev16[i];
  for (int i = 0; i + 1 < tc; ++i) b.runs[i] = runs[i];
  return b;
}

void round_trip(const Config& c, const kvnvlc::CavlcTables& tables, Rng& r) {
  const Layout l(c);
  kvnvlc::BitWriter w;
  const int lead = r.range(0, 40);
  for (int i = 0; i < lead; ++i) w.put(uint32_t(r.coin()), 1);
  struct Expect {
    std::vector<int32_t> raster;
    int tc;
    std::size_t endBits;
    int marker;  // ue(v) value written after the block, or -1
  };
  std::vector<Expect> blocks;
  for (int tc = 0; tc <= l.positions; ++tc)
    for (int t1 = 0; t1 <= std::min(tc, 3); ++t1) {
      const std::vector<int32_t> raster = l.block(r, tc, t1);
      std::vector<int32_t> in(std::size_t(l.n));
      r.fill(in, -3, 3);  // outside the range: ignored
      for (int k = 0; k < l.span; ++k) in[l.raster(k)] = raster[l.raster(k)];
      const kvnvlc::CavlcBlock b = analyse(c, in);
      EXPECT_EQ(b.totalCoeff, tc);
      EXPECT_EQ(b.trailingOnes, t1);
      ASSERT_TRUE(kvnvlc::write_cavlc_block(w, b, l.coding)) << tc << " " << t1;
      blocks.push_back({raster, tc, w.size(), -1});
      if (r.range(0, 3) == 0) w.put_ue(uint32_t(blocks.back().marker = r.range(0, 300)));  // other syntax
    }
  std::vector<uint32_t> words = w.words(1);
  Pos p = pos_at(words, std::size_t(lead));
  for (std::size_t i = 0; i < blocks.size(); ++i) {
    const Expect& e = blocks[i];
    const Result res = decode(l.call, tables, &p.word, &p.index);
    ASSERT_EQ(res.status, KVN_STS_OK) << "block " << i;
    EXPECT_EQ(res.numCoeff, e.tc);
    EXPECT_EQ(res.advanced, e.tc ? l.n : 0);
    for (int k = 0; k < l.n; ++k)
      ASSERT_EQ(res.coef[std::size_t(k)], l.decoded(e.raster, e.tc, k)) << "block " << i << " entry " << k;
    const Pos want = pos_at(words, e.endBits);
    ASSERT_EQ(p.word, want.word) << "block " << i;
    ASSERT_EQ(p.index, want.index) << "block " << i;
    if (e.marker >= 0) {
      Kvn32s v = -1;
      ASSERT_EQ(kvniDecodeExpGolombOne_H264_1u32s(&p.word, &p.index, &v, 0), KVN_STS_OK);
      ASSERT_EQ(v, e.marker);
    }
  }
}

TEST(CavlcRoundTrip, EveryDecoderEveryMixEveryTableLayout) {
  kvntest::TestRng r;
  // Level layouts: one level where it fits, single bits, wide first levels, mixed.
  const int layouts[][2] = {{8, 4}, {1, 1}, {16, 16}, {3, 2}, {5, 8}};
  for (const auto& l : layouts) {
    const kvnvlc::CavlcTables tables(l[0], l[1]);
    SCOPED_TRACE(::testing::Message() << "layout " << l[0] << "/" << l[1]);
    for (Kind k : {Kind::k16s, Kind::k32s})
      for (int nC : {0, 1, 2, 3, 4, 7, 8, 17})
        for (int maxCoeff : {15, 16}) round_trip({k, nC, maxCoeff, 16 - maxCoeff, 15}, tables, r);
    for (Kind k : {Kind::kDc2x2_16s, Kind::kDc2x2_32s, Kind::kDc2x4_16s, Kind::kDc2x4_32s})
      for (int rep = 0; rep < 8; ++rep) round_trip({k, 0, entries(k), 0, entries(k) - 1}, tables, r);
    for (int rep = 0; rep < 40; ++rep) {
      const int start = r.range(0, 15), end = r.range(start, 15);
      const int maxCoeff = rep % 3 == 0 ? 16 : rep % 3 == 1 ? 15 : r.range(1, 16);
      round_trip({Kind::kRange, r.range(0, 12), maxCoeff, start, end}, tables, r);
    }
  }
}

// Each block alone, with the stream ending one word after the word that holds
// its last bit and an inaccessible page right after that spare word: for
// every (TotalCoeff, TrailingOnes) mix of every decoder, and every bit
// position of the last data word. A reader that loads a word it does not need
// faults here.
void guarded_blocks(const Config& c, const kvnvlc::CavlcTables& tables, kvntest::GuardPage& guard, Rng& r) {
  const Layout l(c);
  for (int tc = 0; tc <= l.positions; ++tc)
    for (int t1 = 0; t1 <= std::min(tc, 3); ++t1) {
      const std::vector<int32_t> raster = l.block(r, tc, t1);
      const kvnvlc::CavlcBlock b = analyse(c, raster);
      for (int lead = 0; lead < 32; ++lead) {
        kvnvlc::BitWriter w;
        for (int i = 0; i < lead; ++i) w.put(uint32_t(r.coin()), 1);
        ASSERT_TRUE(kvnvlc::write_cavlc_block(w, b, l.coding));
        const std::vector<uint32_t> words = w.words(1, lead & 1);  // data, then exactly one spare word
        Kvn32u* at = guard.place(words.data(), words.size());
        Kvn32u* word = at;
        Kvn32u index = Kvn32u(31 - lead);
        const Result res = decode(l.call, tables, &word, &index);
        ASSERT_EQ(res.status, KVN_STS_OK) << "tc " << tc << " t1 " << t1 << " lead " << lead;
        ASSERT_EQ(res.numCoeff, tc);
        for (int k = 0; k < l.n && tc; ++k) ASSERT_EQ(res.coef[std::size_t(k)], l.decoded(raster, tc, k));
        ASSERT_EQ(word - at, long(w.size() / 32)) << "tc " << tc << " t1 " << t1 << " lead " << lead;
        ASSERT_EQ(index, Kvn32u(31 - w.size() % 32));
      }
    }
}

TEST(CavlcGuardPage, EveryDecoderEndsOnEveryBitOfTheLastWord) {
  kvntest::TestRng r;
  kvntest::GuardPage guard;
  const kvnvlc::CavlcTables tables(8, 4);
  for (Kind k : {Kind::k16s, Kind::k32s})
    for (int nC : {0, 2, 4, 8})
      for (int maxCoeff : {15, 16}) {
        SCOPED_TRACE(::testing::Message() << "kind " << int(k) << " nC " << nC << " max " << maxCoeff);
        guarded_blocks({k, nC, maxCoeff, 16 - maxCoeff, 15}, tables, guard, r);
      }
  for (Kind k : {Kind::kDc2x2_16s, Kind::kDc2x2_32s, Kind::kDc2x4_16s, Kind::kDc2x4_32s}) {
    SCOPED_TRACE(::testing::Message() << "kind " << int(k));
    guarded_blocks({k, 0, entries(k), 0, entries(k) - 1}, tables, guard, r);
  }
  for (const Config& c : {Config{Kind::kRange, 1, 16, 0, 15}, Config{Kind::kRange, 3, 15, 1, 15},
                          Config{Kind::kRange, 5, 4, 2, 9}, Config{Kind::kRange, 9, 16, 6, 6}}) {
    SCOPED_TRACE(::testing::Message() << "range " << c.start << ".." << c.end << " max " << c.maxCoeff);
    guarded_blocks(c, tables, guard, r);
  }
}

}  // namespace
