// The DV segment decoders through the exported names, on segments that the
// test writer (dv_writer.h) builds from coefficient lists: the three passes
// of bit redistribution, the one-pass limit, a code running past the block,
// random data against a guard page, and the statuses.
#include <gtest/gtest.h>

#include <vector>

#include "dv_writer.h"
#include "guard_page.h"
#include "kvnvc.h"
#include "rng.h"

namespace {

using namespace dvtest;

struct Decoded {
  std::vector<int16_t> blocks;
  std::vector<uint32_t> params;
};

// Decodes into cleared blocks between guards (limit < 0: the full decoder of
// the layout, else the one-pass one) and checks the guards.
Decoded decode(const Layout& L, const uint8_t* seg, int limit = -1) {
  const size_t n = size_t(5 * L.blocks);
  std::vector<int16_t> b(64 * (n + 2), 0x5a5a);
  std::vector<uint32_t> p(n + 2, 0xdeadbeef);
  std::fill(b.begin() + 64, b.end() - 64, int16_t(0));
  EXPECT_EQ(limit >= 0 ? kvniHuffmanDecodeSegmentOnePass_DV_8u16s(seg, nullptr, nullptr, &b[64], &p[1], Kvn8u(limit))
            : n == 30  ? kvniHuffmanDecodeSegment_DV_8u16s(seg, nullptr, nullptr, &b[64], &p[1])
                       : kvniHuffmanDecodeSegment_DV100_8u16s(seg, nullptr, nullptr, &b[64], &p[1]),
            KVN_STS_OK);
  for (size_t i = 0; i < 64; ++i) EXPECT_TRUE(b[i] == 0x5a5a && b[b.size() - 1 - i] == 0x5a5a) << "outside the blocks";
  EXPECT_TRUE(p.front() == 0xdeadbeef && p.back() == 0xdeadbeef) << "outside the parameter words";
  return {std::vector<int16_t>(b.begin() + 64, b.end() - 64), std::vector<uint32_t>(p.begin() + 1, p.end() - 1)};
}

// Every block as the writer placed it (or as `coefs` / `ends` say).
void expect_segment(const Decoded& d, const Layout& L, const std::vector<MacroblockSpec>& mbs, const Segment& s) {
  for (size_t k = 0; k < d.params.size(); ++k) {
    const MacroblockSpec& mb = mbs[k / size_t(L.blocks)];
    int16_t want[64];
    uint32_t param;
    expect_block(mb.blocks[k % size_t(L.blocks)], s.codesWritten[k], s.endWritten[k], mb.qno, want, &param, L.scan248);
    EXPECT_EQ(d.params[k], param) << "block " << k;
    for (size_t i = 0; i < 64; ++i) EXPECT_EQ(d.blocks[64 * k + i], want[i]) << "block " << k << " at " << i;
  }
}

std::vector<MacroblockSpec> segment_of(const Layout& L) {
  std::vector<MacroblockSpec> mbs(5);
  for (int m = 0; m < 5; ++m) mbs[size_t(m)].qno = 3 * m + 1, mbs[size_t(m)].blocks.resize(size_t(L.blocks));
  return mbs;
}

// About `bits` bits of codes ending within the block; single: one code each.
std::vector<Coef> random_coefs(kvntest::Rng& r, int bits, bool single = false) {
  std::vector<Coef> c;
  for (int index = 0, used = 0; used < bits;) {
    const Coef x{r.one_in(20) ? r.range(0, 63) : r.range(0, r.one_in(3) ? 12 : 2),
                 r.one_in(8) ? r.range(-255, 255) : r.range(-6, 6)};
    Bits b;
    if (index + x.run + 1 > 63) break;
    if (put_coef(b, x) > 1 && single) continue;
    index += x.run + 1, used += int(b.size());
    c.push_back(x);
  }
  return c;
}

TEST(DvSegment, EndOfBlockOnlyGivesTheDcAlone) {
  for (const Layout* L : {&kDv, &kDv100}) {
    auto mbs = segment_of(*L);
    int i = 0;
    for (auto& mb : mbs)
      for (auto& b : mb.blocks) b.dc = (i * 37) % 512 - 256, b.mode = i % 2, b.cls = i % 4, ++i;
    const Segment s = write_segment(*L, mbs);
    const Decoded d = decode(*L, s.bytes.data());
    expect_segment(d, *L, mbs, s);
    EXPECT_EQ(d.params[7], 1u | 3u << 4 | 1u << 6 | (L == &kDv ? 4u : 1u) << 16) << "class 3, 2-4-8, no position";
  }
}

// The mode bit picks the 2-4-8 scan in DV only: DV100 has the 8-8 DCT alone
// (the bit marks a field macroblock there), so its blocks take the zigzag
// whatever the bit says.
TEST(DvSegment, ModeBitSelectsTheScanInDvOnly) {
  for (const Layout* L : {&kDv, &kDv100}) {
    auto mbs = segment_of(*L);
    for (auto& mb : mbs)
      for (auto& b : mb.blocks) b.mode = 1, b.coefs = {{0, 3}, {1, -2}};  // scan indices 1 and 3
    const Decoded d = decode(*L, write_segment(*L, mbs).bytes.data());
    const int first = L == &kDv ? 32 : 1, second = L == &kDv ? 33 : 16;
    for (size_t k = 0; k < d.params.size(); ++k) {
      EXPECT_EQ(d.blocks[64 * k + size_t(first)], 3 * 64) << "block " << k;
      EXPECT_EQ(d.blocks[64 * k + size_t(second)], -2 * 64) << "block " << k;
      EXPECT_EQ(d.params[k] & 0x40, 0x40u) << "the bit is reported as it stands";
    }
  }
}

// Random blocks, some far over their areas: what fits the segment comes back
// whole; in an over-full segment the blocks left unfinished keep bit 0 clear
// and count the positions they reached.
TEST(DvSegment, RoundTripsThroughAllPasses) {
  kvntest::TestRng r;
  int full = 0, overfull = 0;
  for (int trial = 0; trial < 300; ++trial) {
    const Layout& L = trial % 3 == 2 ? kDv100 : kDv;
    auto mbs = segment_of(L);
    for (auto& mb : mbs)
      for (auto& b : mb.blocks)
        b.dc = r.range(-256, 255), b.mode = r.range(0, 1), b.cls = r.range(0, 3),
        b.coefs = random_coefs(r, trial % 4 == 0 ? r.range(60, 200)
                                  : r.one_in(3)  ? r.range(60, 160)
                                                 : r.range(0, 40));
    const Segment s = write_segment(L, mbs, r.range(0, 1));
    (std::count(s.endWritten.begin(), s.endWritten.end(), false) ? overfull : full)++;
    expect_segment(decode(L, s.bytes.data()), L, mbs, s);
    if (HasFailure()) FAIL() << "trial " << trial;
  }
  EXPECT_GT(full, 100);
  EXPECT_GT(overfull, 20);
}

// One long block finishes in pass 2 from its siblings' room (over several
// donors, a code straddling its area's end); the blocks of a macroblock
// without room finish in pass 3 from the other macroblocks, in order.
TEST(DvSegment, PassTwoThenPassThree) {
  auto mbs = segment_of(kDv);
  for (size_t m : {0, 1, 3, 4})
    for (auto& b : mbs[m].blocks) b.coefs.assign(m == 0 ? 30 : 10, Coef{0, 2});  // 4 bits each: 0 over-full
  BlockSpec& big = mbs[2].blocks[1];
  for (int i = 0; i < 28; ++i) big.coefs.push_back({0, i % 2 ? 9 : -17});  // 8 and 9 bits
  big.coefs.insert(big.coefs.end(), {{2, 0}, {0, 200}});                   // 13 and 16 bits
  mbs[2].blocks[0].coefs = {{0, 1}};
  const Segment s = write_segment(kDv, mbs);
  const Decoded d = decode(kDv, s.bytes.data());
  expect_segment(d, kDv, mbs, s);
  EXPECT_EQ(d.params[13] & 1, 1u);
  EXPECT_EQ(d.blocks[64 * 13 + kvn::dv::kDvScan88[32]], 200 * 64);
  for (int k = 0; k < 6; ++k) EXPECT_EQ(d.params[size_t(k)] & 1, 1u) << "pass 3, block " << k;
}

// Pass 1 only, each block stopping at the limit: with limit 1 the DC and at
// most one AC code.
TEST(DvSegment, OnePassKeepsTheLimit) {
  kvntest::TestRng r;
  for (int trial = 0; trial < 40; ++trial) {
    auto mbs = segment_of(kDv);
    for (auto& mb : mbs)
      for (auto& b : mb.blocks)
        b.dc = r.range(-256, 255), b.mode = r.range(0, 1), b.coefs = random_coefs(r, r.range(0, 150), true);
    const Segment s = write_segment(kDv, mbs);
    for (int limit : {0, 1, 5, 64, 255}) {
      const Decoded d = decode(kDv, s.bytes.data(), limit);
      for (size_t k = 0; k < 30; ++k) {
        const BlockSpec& b = mbs[k / 6].blocks[k % 6];
        const int bits = 8 * kDv.bytes[k % 6] - 12;  // what its own area holds
        size_t n = 0;
        int index = 0, used = 0;
        for (Bits code; n < b.coefs.size() && (limit >= 64 || index < limit); ++n, code.clear()) {
          put_coef(code, b.coefs[n]);
          if ((used += int(code.size())) > bits) break;
          index += b.coefs[n].run + 1;
        }
        const bool end = n == b.coefs.size() && used + 4 <= bits && (limit >= 64 || index < limit);
        int16_t want[64];
        uint32_t param;
        expect_block(b, n, end, mbs[k / 6].qno, want, &param);
        EXPECT_EQ(d.params[k], param) << k;
        EXPECT_TRUE(std::equal(want, want + 64, &d.blocks[64 * k])) << k;
        EXPECT_TRUE(limit != 1 || n <= 1);
      }
      if (HasFailure()) FAIL() << "trial " << trial << " limit " << limit;
    }
  }
}

// A code past position 63 stops its block (count 64, bit 0 clear, nothing
// written for it) and the block lends none of its remaining bits: the others
// decode the same whatever those bits are.
TEST(DvSegment, CodePastTheBlockStopsIt) {
  kvntest::TestRng r;
  for (int trial = 0; trial < 30; ++trial) {
    auto mbs = segment_of(kDv);
    for (auto& mb : mbs)
      for (auto& b : mb.blocks) b.coefs = random_coefs(r, r.range(20, 140));
    mbs[1].blocks[0].coefs = {{40, 3}, {30, 0}};  // 13 + 5 bits, then 13 bits past 63
    Segment s = write_segment(kDv, mbs);
    const Decoded d = decode(kDv, s.bytes.data());
    EXPECT_EQ(d.params[6], 64u << 8 | 4u << 16);
    for (int i = 1; i < 64; ++i) EXPECT_EQ(d.blocks[size_t(64 * 6 + i)], i == kvn::dv::kDvScan88[41] ? 3 * 64 : 0);
    for (size_t bit = (80 + 4) * 8 + 12 + 31; bit < (80 + 18) * 8; ++bit)
      s.bytes[bit / 8] ^= uint8_t(r.coin() << (7 - bit % 8));
    const Decoded e = decode(kDv, s.bytes.data());
    EXPECT_TRUE(d.params == e.params && d.blocks == e.blocks);
    if (HasFailure()) FAIL() << "trial " << trial;
  }
}

// Random segments ending 16 bytes (the callers' allowance), then 8 bytes (the
// most this version reads) before an inaccessible page.
TEST(DvSegment, RandomSegmentsAgainstAGuardPage) {
  kvntest::TestRng r;
  kvntest::GuardPage guard(4096);
  for (int trial = 0; trial < 300; ++trial) {
    std::vector<uint8_t> seg(416);
    for (auto& b : seg) b = uint8_t(r.one_in(4) ? 0xff : r.u32());
    for (size_t tail : {416, 408})
      for (int limit : {-1, r.range(0, 70)})
        for (uint32_t p : decode(limit < 0 && r.coin() ? kDv100 : kDv, guard.place(seg.data(), tail), limit).params)
          EXPECT_TRUE((p & 0xfff0008eu) == 0 && (p >> 8 & 0xff) <= 64) << std::hex << p;
    if (HasFailure()) FAIL() << "trial " << trial;
  }
}

TEST(DvSegment, NullPointers) {
  std::vector<uint8_t> seg(416, 0x66);
  std::vector<int16_t> blocks(64 * 40, 7);
  std::vector<uint32_t> params(40, 9);
  for (int which = 0; which < 3; ++which) {
    const Kvn8u* s = which == 0 ? nullptr : seg.data();
    Kvn16s* b = which == 1 ? nullptr : blocks.data();
    Kvn32u* p = which == 2 ? nullptr : params.data();
    EXPECT_EQ(kvniHuffmanDecodeSegment_DV_8u16s(s, nullptr, nullptr, b, p), KVN_STS_NULL_PTR);
    EXPECT_EQ(kvniHuffmanDecodeSegment_DV100_8u16s(s, nullptr, nullptr, b, p), KVN_STS_NULL_PTR);
    EXPECT_EQ(kvniHuffmanDecodeSegmentOnePass_DV_8u16s(s, nullptr, nullptr, b, p, 5), KVN_STS_NULL_PTR);
  }
  EXPECT_TRUE(std::all_of(blocks.begin(), blocks.end(), [](int16_t v) { return v == 7; }));
  EXPECT_TRUE(std::all_of(params.begin(), params.end(), [](uint32_t v) { return v == 9; }));
}

}  // namespace
