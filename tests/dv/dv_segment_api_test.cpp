// The DV segment decoders through the exported names: segments built by the
// test writer (dv_writer.h) from coefficient lists, decoded back; the three
// passes of bit redistribution, the one-pass limit, corrupt and random data
// (never a write outside the blocks and their words, never a read past the
// 16 bytes after the segment), and the statuses.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "dv_writer.h"
#include "guard_page.h"
#include "kvnvc.h"
#include "rng.h"

namespace {

using dvtest::BlockSpec;
using dvtest::Coef;
using dvtest::Layout;
using dvtest::MacroblockSpec;
using kvntest::TestRng;

enum class Kind { kDv, kDv100, kOnePass };

struct Decoded {
  std::vector<int16_t> blocks;
  std::vector<uint32_t> params;
};

constexpr uint32_t kParamGuard = 0xdeadbeef;

// Decodes into cleared blocks between guard words; checks the guards.
Decoded decode(Kind kind, const uint8_t* seg, int limit = 64) {
  const int n = kind == Kind::kDv100 ? 40 : 30;
  std::vector<int16_t> blocks(size_t(64 * (n + 2)), 0x5a5a);
  std::vector<uint32_t> params(size_t(n + 2), kParamGuard);
  std::fill(blocks.begin() + 64, blocks.end() - 64, int16_t(0));
  KvnResult st = KVN_STS_ERR;
  switch (kind) {
    case Kind::kDv: st = kvniHuffmanDecodeSegment_DV_8u16s(seg, nullptr, nullptr, &blocks[64], &params[1]); break;
    case Kind::kDv100:
      st = kvniHuffmanDecodeSegment_DV100_8u16s(seg, nullptr, nullptr, &blocks[64], &params[1]);
      break;
    case Kind::kOnePass:
      st = kvniHuffmanDecodeSegmentOnePass_DV_8u16s(seg, nullptr, nullptr, &blocks[64], &params[1], Kvn8u(limit));
      break;
  }
  EXPECT_EQ(st, KVN_STS_OK);
  for (int i = 0; i < 64; ++i) {
    EXPECT_EQ(blocks[size_t(i)], 0x5a5a) << "written before the blocks";
    EXPECT_EQ(blocks[blocks.size() - 64 + size_t(i)], 0x5a5a) << "written after the blocks";
  }
  EXPECT_EQ(params.front(), kParamGuard);
  EXPECT_EQ(params.back(), kParamGuard);
  return {std::vector<int16_t>(blocks.begin() + 64, blocks.end() - 64),
          std::vector<uint32_t>(params.begin() + 1, params.end() - 1)};
}

// Compares block k of d with the first `coefs` coefficients of its spec.
void expect_block(const Decoded& d, int k, const BlockSpec& spec, size_t coefs, bool end, int qno) {
  int16_t want[64];
  uint32_t param;
  dvtest::expect_block(spec, coefs, end, qno, want, &param);
  EXPECT_EQ(d.params[size_t(k)], param) << "block " << k;
  for (int i = 0; i < 64; ++i) EXPECT_EQ(d.blocks[size_t(64 * k + i)], want[i]) << "block " << k << " at " << i;
}

// Expects every block as the writer placed it.
void expect_segment(const Decoded& d, const Layout& L, const std::vector<MacroblockSpec>& mbs,
                    const dvtest::Segment& s) {
  for (int k = 0; k < 5 * L.blocks; ++k) {
    const MacroblockSpec& mb = mbs[size_t(k / L.blocks)];
    expect_block(d, k, mb.blocks[size_t(k % L.blocks)], s.coefsWritten[size_t(k)], s.endWritten[size_t(k)], mb.qno);
  }
}

std::vector<MacroblockSpec> empty_segment(const Layout& L) {
  std::vector<MacroblockSpec> mbs(5);
  for (int m = 0; m < 5; ++m) {
    mbs[size_t(m)].qno = (3 * m + 1) & 15;
    mbs[size_t(m)].blocks.resize(size_t(L.blocks));
  }
  return mbs;
}

// A coefficient list of about `bits` bits of codes, ending within the block;
// single: only coefficients that take one code.
std::vector<Coef> random_coefs(kvntest::Rng& r, int bits, bool single = false) {
  std::vector<Coef> c;
  int index = 0, used = 0;
  while (used < bits) {
    Coef x{r.one_in(3) ? r.range(0, 12) : r.range(0, 2), r.one_in(8) ? r.range(-255, 255) : r.range(-6, 6)};
    if (r.one_in(20)) x.run = r.range(0, 63);
    if (index + x.run + 1 > 63) break;
    index += x.run + 1;
    dvtest::Bits b;
    if (dvtest::put_coef(b, x) > 1 && single) continue;
    used += int(b.size());
    c.push_back(x);
  }
  return c;
}

TEST(DvSegment, EndOfBlockOnlyGivesTheDcAlone) {
  for (const Layout* L : {&dvtest::kDv, &dvtest::kDv100}) {
    auto mbs = empty_segment(*L);
    int i = 0;
    for (auto& mb : mbs)
      for (auto& b : mb.blocks) {
        static const int kDc[] = {0, 1, -1, 255, -256, 100, -77};
        b.dc = kDc[i % 7], b.mode = i % 2, b.cls = i % 4, ++i;
      }
    const auto s = dvtest::write_segment(*L, mbs);
    const Decoded d = decode(L == &dvtest::kDv ? Kind::kDv : Kind::kDv100, s.bytes.data());
    expect_segment(d, *L, mbs, s);
    EXPECT_EQ(d.blocks[0], 0);
    EXPECT_EQ(d.blocks[64 * 3], 255 * 128);
    EXPECT_EQ(d.blocks[64 * 4], -256 * 128);
    EXPECT_EQ(d.params[4], 0x10001u | 0u << 6 | 0u << 4) << "block 4: mode 0, class 0, QNO 1, finished";
  }
}

// Random blocks that fit the segment as a whole (some blocks far over their
// areas, others with room), both modes and fills: every coefficient back.
TEST(DvSegment, RoundTripsWhatFits) {
  TestRng r;
  for (int trial = 0; trial < 300; ++trial) {
    const bool dv100 = trial % 3 == 2;
    const Layout& L = dv100 ? dvtest::kDv100 : dvtest::kDv;
    auto mbs = empty_segment(L);
    for (auto& mb : mbs)
      for (auto& b : mb.blocks) {
        b.dc = r.range(-256, 255), b.mode = r.range(0, 1), b.cls = r.range(0, 3);
        b.coefs = random_coefs(r, r.one_in(3) ? r.range(60, 200) : r.range(0, 40));
      }
    const auto s = dvtest::write_segment(L, mbs, r.range(0, 1));
    bool all = true;
    for (size_t k = 0; k < s.endWritten.size(); ++k) all = all && s.endWritten[k];
    if (!all) continue;  // the exhausted case is tested below
    expect_segment(decode(dv100 ? Kind::kDv100 : Kind::kDv, s.bytes.data()), L, mbs, s);
    if (::testing::Test::HasFailure()) FAIL() << "trial " << trial;
  }
}

// One long block: the rest of its bits, a code straddling its area's end
// included, go to its siblings' room in pass 2, over several donors. The
// other macroblocks have no room, so nothing else could finish it.
TEST(DvSegment, PassTwoCompletesFromSiblingsInAreaOrder) {
  auto mbs = empty_segment(dvtest::kDv);
  for (auto& mb : mbs)
    for (auto& b : mb.blocks)
      for (int i = 0; i < 40; ++i) b.coefs.push_back({0, i % 2 ? 1 : -2});
  BlockSpec& big = mbs[2].blocks[1];
  big.coefs.clear();
  for (int i = 0; i < 28; ++i) big.coefs.push_back({0, i % 2 ? 9 : -17});  // 7 + 1 and 8 + 1 bits
  big.coefs.push_back({2, 0});
  big.coefs.push_back({0, 200});  // a 16-bit escape
  mbs[2].blocks[0].coefs = {{0, 1}};
  for (int a = 2; a < 6; ++a) {
    kvntest::Rng local{uint64_t(a)};
    mbs[2].blocks[size_t(a)].coefs = random_coefs(local, 30);
  }
  const auto s = dvtest::write_segment(dvtest::kDv, mbs);
  ASSERT_TRUE(s.endWritten[13]);
  const Decoded d = decode(Kind::kDv, s.bytes.data());
  expect_segment(d, dvtest::kDv, mbs, s);
  EXPECT_EQ(d.params[13] & 1, 1u);
  EXPECT_EQ(d.blocks[64 * 13 + kvn::dv::kDvScan88[32]], 200 * 64);
}

// A macroblock with no room: its long blocks finish in pass 3 from other
// macroblocks' room, in macroblock order.
TEST(DvSegment, PassThreeCompletesFromOtherMacroblocks) {
  for (const Layout* L : {&dvtest::kDv, &dvtest::kDv100}) {
    auto mbs = empty_segment(*L);
    for (int a = 0; a < L->blocks; ++a) {
      for (int i = 0; i < 20; ++i) mbs[0].blocks[size_t(a)].coefs.push_back({i % 3, i % 2 ? 5 : -5});
      for (int i = 0; i < 12; ++i) mbs[3].blocks[size_t(a)].coefs.push_back({1, 2});
    }
    const auto s = dvtest::write_segment(*L, mbs, 0);
    for (size_t k = 0; k < s.endWritten.size(); ++k) ASSERT_TRUE(s.endWritten[k]) << k;
    expect_segment(decode(L == &dvtest::kDv ? Kind::kDv : Kind::kDv100, s.bytes.data()), *L, mbs, s);
  }
}

// More bits than the segment holds: the blocks that cannot finish keep bit 0
// clear and count the positions they reached; a block without an end of
// block in a full segment reads on to the end of the last donor.
TEST(DvSegment, WholeSegmentRunningOut) {
  TestRng r;
  for (int trial = 0; trial < 50; ++trial) {
    auto mbs = empty_segment(dvtest::kDv);
    for (auto& mb : mbs)
      for (auto& b : mb.blocks) {
        b.mode = r.range(0, 1);
        for (int i = 0; i < 40; ++i) b.coefs.push_back({0, r.range(1, 11) * (r.coin() ? 1 : -1)});
      }
    mbs[0].blocks[0].coefs.resize(2);  // a little room
    const auto s = dvtest::write_segment(dvtest::kDv, mbs);
    ASSERT_FALSE(s.endWritten[29]);
    const Decoded d = decode(Kind::kDv, s.bytes.data());
    expect_segment(d, dvtest::kDv, mbs, s);
    EXPECT_EQ(d.params[29] & 1, 0u);
  }
}

TEST(DvSegment, OnePassKeepsTheLimit) {
  TestRng r;
  for (int trial = 0; trial < 40; ++trial) {
    auto mbs = empty_segment(dvtest::kDv);
    for (auto& mb : mbs)
      for (auto& b : mb.blocks) {
        b.dc = r.range(-256, 255), b.mode = r.range(0, 1);
        b.coefs = random_coefs(r, r.range(0, 150), true);
      }
    const auto s = dvtest::write_segment(dvtest::kDv, mbs);
    for (int limit : {0, 1, 5, 63, 64, 255}) {
      const Decoded d = decode(Kind::kOnePass, s.bytes.data(), limit);
      const int cap = limit < 64 ? limit : 64;
      for (int k = 0; k < 30; ++k) {
        const BlockSpec& b = mbs[size_t(k / 6)].blocks[size_t(k % 6)];
        // Pass 1 only: what fits in the block's own area, up to the limit.
        const int bits = dvtest::kDv.bytes[k % 6] * 8 - 12;
        size_t n = 0;
        int index = 0, used = 0;
        bool end = false;
        while (index < cap || cap == 64) {
          if (n == b.coefs.size()) {
            end = used + 4 <= bits;
            break;
          }
          dvtest::Bits code;
          dvtest::put_coef(code, b.coefs[n]);
          if (used + int(code.size()) > bits) break;
          used += int(code.size()), index += b.coefs[n].run + 1, ++n;
        }
        expect_block(d, k, b, n, end, mbs[size_t(k / 6)].qno);
        if (limit == 1) {
          EXPECT_LE(n, 1u);
        }
      }
      if (::testing::Test::HasFailure()) FAIL() << "trial " << trial << " limit " << limit;
    }
  }
}

// A code past position 63 stops its block (count 64, bit 0 clear, nothing
// written for it) and the block lends none of the bits after that code: the
// other blocks decode the same whatever those bits are.
TEST(DvSegment, CodePastTheBlockStopsIt) {
  TestRng r;
  for (int trial = 0; trial < 30; ++trial) {
    auto mbs = empty_segment(dvtest::kDv);
    for (auto& mb : mbs)
      for (auto& b : mb.blocks) b.coefs = random_coefs(r, r.range(20, 140));
    BlockSpec& bad = mbs[1].blocks[0];
    bad.coefs = {{40, 3}, {30, 0}};  // 13 + 5 bits, then 13 bits running past 63
    auto s = dvtest::write_segment(dvtest::kDv, mbs);
    const Decoded d = decode(Kind::kDv, s.bytes.data());
    EXPECT_EQ(d.params[6], 64u << 8 | uint32_t(mbs[1].qno) << 16);
    for (int i = 1; i < 64; ++i) EXPECT_EQ(d.blocks[size_t(64 * 6 + i)], i == kvn::dv::kDvScan88[41] ? 3 * 64 : 0) << i;
    // Scramble the rest of the bad block's area (bits 12 + 31 .. 112).
    const size_t first = size_t(80 + 4) * 8 + 12 + 31;
    for (size_t bit = first; bit < size_t(80 + 18) * 8; ++bit)
      if (r.coin()) s.bytes[bit / 8] ^= uint8_t(0x80 >> (bit % 8));
    const Decoded e = decode(Kind::kDv, s.bytes.data());
    EXPECT_EQ(d.params, e.params);
    EXPECT_EQ(d.blocks, e.blocks);
    if (::testing::Test::HasFailure()) FAIL() << "trial " << trial;
  }
}

// Random segments: within bounds, deterministic, and never a read past the
// 16 bytes after the segment (nor past 8, this version's own bound).
TEST(DvSegment, RandomSegmentsStayInBounds) {
  TestRng r;
  kvntest::GuardPage guard(4096);
  for (int trial = 0; trial < 400; ++trial) {
    std::vector<uint8_t> seg(416);
    for (auto& b : seg) b = uint8_t(r.one_in(4) ? 0xff : r.u32());
    for (size_t tail : {size_t(416), size_t(408)}) {
      const uint8_t* g = guard.place(seg.data(), tail);
      for (Kind kind : {Kind::kDv, Kind::kDv100, Kind::kOnePass}) {
        const Decoded a = decode(kind, g, r.range(0, 70));
        for (uint32_t p : a.params) {
          EXPECT_EQ(p & 0xfff0008eu, 0u);
          EXPECT_LE(p >> 8 & 0xff, 64u);
        }
      }
    }
    if (::testing::Test::HasFailure()) FAIL() << "trial " << trial;
  }
}

TEST(DvSegment, NullPointers) {
  std::vector<uint8_t> seg(416, 0x66);
  std::vector<int16_t> blocks(64 * 40, 7);
  std::vector<uint32_t> params(40, 9);
  const Kvn8u* s = seg.data();
  for (int which = 0; which < 3; ++which) {
    const Kvn8u* sp = which == 0 ? nullptr : s;
    Kvn16s* bp = which == 1 ? nullptr : blocks.data();
    Kvn32u* pp = which == 2 ? nullptr : params.data();
    EXPECT_EQ(kvniHuffmanDecodeSegment_DV_8u16s(sp, nullptr, nullptr, bp, pp), KVN_STS_NULL_PTR);
    EXPECT_EQ(kvniHuffmanDecodeSegment_DV100_8u16s(sp, nullptr, nullptr, bp, pp), KVN_STS_NULL_PTR);
    EXPECT_EQ(kvniHuffmanDecodeSegmentOnePass_DV_8u16s(sp, nullptr, nullptr, bp, pp, 5), KVN_STS_NULL_PTR);
  }
  for (int16_t v : blocks) ASSERT_EQ(v, 7);
  for (uint32_t v : params) ASSERT_EQ(v, 9u);
}

}  // namespace
