// MPEG-4 / H.263 / H.261 coefficient writers against the decoders, through
// the exported names: random blocks of every syntax, scan, DC-separate flag
// and escape form, several in sequence from a random bit offset, read back
// block by block (the reversible codes also backwards), with the levels, the
// last index and the exact bit position after every block checked.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "coeff_encode_test.h"
#include "rng.h"

namespace {

using namespace coeffenc;

// ISO/IEC 14496-2 scans and the raster order, by the writers' scan selectors.
constexpr int kZigzag[64] = {0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,  12, 19, 26, 33, 40, 48,
                             41, 34, 27, 20, 13, 6,  7,  14, 21, 28, 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23,
                             30, 37, 44, 51, 58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};
constexpr int kAltVertical[64] = {0,  8,  16, 24, 1, 9,  2,  10, 17, 25, 32, 40, 48, 56, 57, 49,
                                  41, 33, 26, 18, 3, 11, 4,  12, 19, 27, 34, 42, 50, 58, 35, 43,
                                  51, 59, 20, 28, 5, 13, 6,  14, 21, 29, 36, 44, 52, 60, 37, 45,
                                  53, 61, 22, 30, 7, 15, 23, 31, 38, 46, 54, 62, 39, 47, 55, 63};
constexpr int kAltHorizontal[64] = {0,  1,  2,  3,  8,  9,  16, 17, 10, 11, 4,  5,  6,  7,  15, 14,
                                    13, 12, 19, 18, 24, 25, 32, 33, 26, 27, 20, 21, 22, 23, 28, 29,
                                    30, 31, 34, 35, 40, 41, 48, 49, 42, 43, 36, 37, 38, 39, 44, 45,
                                    46, 47, 50, 51, 56, 57, 58, 59, 52, 53, 54, 55, 60, 61, 62, 63};
int kRaster[64];
const bool kRasterInit = [] {
  for (int i = 0; i < 64; ++i) kRaster[i] = i;
  return true;
}();

// The scan a writer variant codes with.
const int* writer_scan(const Variant& v) {
  const int s = v.scan;
  switch (v.syntax) {
    case Syntax::kMpeg4Intra: return s == 1 ? kAltVertical : s == 2 ? kAltHorizontal : s == -1 ? kRaster : kZigzag;
    case Syntax::kMpeg4Inter: return s == 1 ? kAltVertical : s == -1 ? kRaster : kZigzag;
    case Syntax::kH263Intra:
    case Syntax::kH263Inter: return s == 0 ? kZigzag : s == 1 ? kAltVertical : s == 2 ? kAltHorizontal : kRaster;
    default: return s == -1 ? kRaster : kZigzag;
  }
}

// The same scan as the decoders select it (no scan: index = position).
int32_t decoder_scan(const Variant& v) {
  const int* s = writer_scan(v);
  if (v.syntax == Syntax::kH261Intra || v.syntax == Syntax::kH261Inter) return s == kRaster ? -1 : 0;
  if (v.syntax == Syntax::kMpeg4Inter) return s == kAltVertical ? 1 : s == kRaster ? 2 : 0;
  return s == kZigzag ? 0 : s == kAltVertical ? 1 : s == kAltHorizontal ? 2 : 3;
}

// First scan position the VLC codes, and whether entry 0 stays the caller's.
int start_of(const Variant& v) {
  return (v.syntax == Syntax::kMpeg4Intra && v.noDC) || (v.syntax == Syntax::kH263Intra && !v.advIntra) ||
         v.syntax == Syntax::kH261Intra;
}

// Largest level magnitude each syntax carries.
int max_level(const Variant& v) {
  switch (v.syntax) {
    case Syntax::kMpeg4Intra:
    case Syntax::kMpeg4Inter: return 2047;
    case Syntax::kH263Intra:
    case Syntax::kH263Inter: return v.modQuant ? 1023 : 127;
    default: return 127;
  }
}

KvnResult decode(const Variant& v, uint8_t** pp, int32_t* off, int16_t* blk, int32_t* last) {
  const int32_t s = decoder_scan(v);
  switch (v.syntax) {
    case Syntax::kMpeg4Intra: return kvniDecodeCoeffsIntra_MPEG4_1u16s(pp, off, blk, last, v.rvlc, v.noDC, s);
    case Syntax::kMpeg4Inter: return kvniDecodeCoeffsInter_MPEG4_1u16s(pp, off, blk, last, v.rvlc, s);
    case Syntax::kH263Intra: return kvniDecodeCoeffsIntra_H263_1u16s(pp, off, blk, last, v.advIntra, v.modQuant, s);
    case Syntax::kH263Inter: return kvniDecodeCoeffsInter_H263_1u16s(pp, off, blk, last, v.modQuant, s);
    case Syntax::kH261Intra: return kvniDecodeCoeffsIntra_H261_1u16s(pp, off, blk, last, s);
    case Syntax::kH261Inter: return kvniDecodeCoeffsInter_H261_1u16s(pp, off, blk, last, s);
  }
  return KVN_STS_ERR;
}

// A written block and what reading it back must give.
struct Coded {
  Variant v;
  std::vector<int16_t> levels;    // the writer's input
  std::vector<int16_t> expected;  // raster order (no scan: scan-position order)
  int32_t count, last;
  long endBit;  // bit position after the block
};

Variant random_variant(kvntest::Rng& rng) {
  Variant v{Syntax(rng.range(0, 5))};
  v.rvlc = rng.range(0, 1);
  v.noDC = rng.range(0, 1);
  v.advIntra = rng.range(0, 1);
  v.modQuant = rng.range(0, 1);
  v.scan = rng.one_in(8) ? rng.range(-3, 5) : rng.range(-1, 2);
  return v;
}

// Random levels: sparse or dense, mostly small, some at and beyond the
// table's LMAX (escape type 1), after long runs (type 2), large (type 3 and
// the fixed-length escapes), and a DC for the intra syntaxes.
Coded random_block(const Variant& v, kvntest::Rng& rng) {
  Coded c{v, std::vector<int16_t>(64, 0), std::vector<int16_t>(64, 0), 0, 0, 0};
  const int* scan = writer_scan(v);
  const int start = start_of(v), maxLevel = max_level(v);
  const int density = rng.one_in(4) ? 64 : rng.range(1, 12);
  for (int p = start; p < 64; ++p) {
    if (rng.range(1, 64) > density) continue;
    const int r = rng.range(0, 99);
    int mag = r < 50 ? 1 : r < 70 ? rng.range(2, 4) : r < 85 ? rng.range(5, 40) : rng.range(41, maxLevel);
    mag = std::min(mag, maxLevel);
    c.levels[size_t(scan[p])] = int16_t(rng.range(0, 1) ? -mag : mag);
  }
  const int nz0 = int(std::count_if(c.levels.begin(), c.levels.end(), [](int16_t x) { return x != 0; }));
  if (nz0 == 0) c.levels[size_t(scan[rng.range(start, 63)])] = int16_t(rng.range(0, 1) ? -1 : 1);
  if (start) {
    const bool h261 = v.syntax == Syntax::kH261Intra;
    c.levels[0] = int16_t(h261 ? rng.range(1, 254) : rng.range(-2000, 2000));  // INTRADC 255 reads as 128
  }
  // count: all the coded non-zero levels, or fewer (the rest ignored)
  int nz = 0;
  for (int p = start; p < 64; ++p) nz += c.levels[size_t(scan[p])] != 0;
  const int coded = v.syntax == Syntax::kH261Intra && rng.one_in(8) ? 0 : rng.one_in(4) ? rng.range(1, nz) : nz;
  c.count = coded + (v.syntax == Syntax::kH261Intra);
  int left = coded;
  for (int p = start; p < 64 && left; ++p) {
    const int16_t x = c.levels[size_t(scan[p])];
    if (!x) continue;
    c.expected[size_t(scan[p])] = x;  // without a scan (raster order) the index is the position
    c.last = p;
    --left;
  }
  if (start) c.expected[0] = c.levels[0];
  return c;
}

// Writes the blocks one after the other from bit `offset`, recording where
// each ends.
std::vector<uint8_t> write_all(std::vector<Coded>& blocks, int offset, kvntest::Rng& rng) {
  std::vector<uint8_t> buf(blocks.size() * 300 + 16);
  buf[0] = rng.byte();
  uint8_t* p = buf.data();
  int32_t off = offset;
  for (Coded& c : blocks) {
    EXPECT_EQ(encode(c.v, c.levels.data(), &p, &off, c.count), KVN_STS_OK);
    c.endBit = (p - buf.data()) * 8 + off;
  }
  return buf;
}

TEST(CoeffEncodeRoundTrip, EverySyntaxScanAndEscapeReadsBack) {
  kvntest::Rng rng = kvntest::rng_for("CoeffEncodeRoundTrip.EverySyntaxScanAndEscapeReadsBack");
  for (int iter = 0; iter < 4000; ++iter) {
    std::vector<Coded> blocks;
    for (int i = rng.range(1, 6); i > 0; --i) blocks.push_back(random_block(random_variant(rng), rng));
    const int offset = rng.range(0, 7);
    std::vector<uint8_t> buf = write_all(blocks, offset, rng);
    uint8_t* p = buf.data();
    int32_t off = offset;
    for (size_t i = 0; i < blocks.size(); ++i) {
      const Coded& c = blocks[i];
      SCOPED_TRACE(testing::Message() << "iteration " << iter << " block " << i << " syntax " << int(c.v.syntax)
                                      << " rvlc " << c.v.rvlc << " noDC " << c.v.noDC << " advIntra " << c.v.advIntra
                                      << " modQuant " << c.v.modQuant << " scan " << c.v.scan);
      std::vector<int16_t> out(64, 0x5555);
      if (start_of(c.v) && c.v.syntax != Syntax::kH261Intra) out[0] = c.levels[0];  // the DC read before
      int32_t last = -7;
      ASSERT_EQ(decode(c.v, &p, &off, out.data(), &last), KVN_STS_OK);
      ASSERT_EQ(out, c.expected);
      ASSERT_EQ(last, c.last);
      ASSERT_EQ((p - buf.data()) * 8 + off, c.endBit);
    }
  }
}

// The intra DC writers against their readers, mixed with blocks.
TEST(CoeffEncodeRoundTrip, IntraDC) {
  kvntest::Rng rng = kvntest::rng_for("CoeffEncodeRoundTrip.IntraDC");
  std::vector<uint8_t> buf(4096 * 4);
  for (int pass = 0; pass < 2; ++pass) {
    std::vector<int> values, types;
    std::vector<long> ends;
    uint8_t* p = buf.data();
    int32_t off = rng.range(0, 7);
    const int32_t start = off;
    for (int i = 0; i < 4096; ++i) {
      const bool mpeg4 = pass == 1;
      const int t = rng.range(0, 1);
      values.push_back(!mpeg4          ? rng.range(1, 254)
                       : i < 26        ? (i % 2 ? -1 : 1) * ((1 << (i / 2)) - (i / 2 == 12))  // every size
                       : rng.one_in(2) ? rng.range(-4095, 4095)
                                       : rng.range(-20, 20));
      types.push_back(t);
      ASSERT_EQ(mpeg4 ? kvniEncodeDCIntra_MPEG4_16s1u(int16_t(values.back()), &p, &off, t)
                      : kvniEncodeDCIntra_H263_16s1u(int16_t(values.back()), &p, &off),
                KVN_STS_OK);
      ends.push_back((p - buf.data()) * 8 + off);
    }
    p = buf.data();
    off = start;
    for (size_t i = 0; i < values.size(); ++i) {
      int16_t dc = 0;
      ASSERT_EQ(
          pass ? kvniDecodeDCIntra_MPEG4_1u16s(&p, &off, &dc, types[i]) : kvniDecodeDCIntra_H263_1u16s(&p, &off, &dc),
          KVN_STS_OK)
          << i;
      ASSERT_EQ(dc, values[i]) << i;
      ASSERT_EQ((p - buf.data()) * 8 + off, ends[i]) << i;
    }
  }
}

// Reversible codes read backwards: blocks written forwards after a block of
// another picture part (whose LAST code ends the backward reading), then read
// from the last bit of the last block towards the first. Output in
// scan-position order.
TEST(CoeffEncodeRoundTrip, ReversibleCodesReadBackwards) {
  kvntest::Rng rng = kvntest::rng_for("CoeffEncodeRoundTrip.ReversibleCodesReadBackwards");
  for (int iter = 0; iter < 2000; ++iter) {
    const bool intra = rng.range(0, 1);
    std::vector<Coded> blocks;
    Variant v{intra ? Syntax::kMpeg4Intra : Syntax::kMpeg4Inter, 1, 1};
    v.noDC = intra ? rng.range(0, 1) : 0;
    v.scan = intra ? rng.range(-1, 2) : rng.range(-1, 1);
    for (int i = rng.range(2, 6); i > 0; --i) blocks.push_back(random_block(v, rng));
    const int offset = rng.range(0, 7);
    std::vector<uint8_t> buf = write_all(blocks, offset, rng);
    // the position of the last bit of block i: bit endBit - 1
    for (size_t i = blocks.size() - 1; i >= 1; --i) {
      const Coded& c = blocks[i];
      SCOPED_TRACE(testing::Message() << "iteration " << iter << " block " << i << " intra " << intra << " noDC "
                                      << v.noDC << " scan " << v.scan);
      const long bit = c.endBit - 1;
      uint8_t* p = buf.data() + bit / 8;
      int32_t off = int32_t(bit % 8), last = -7;
      std::vector<int16_t> out(64, 0x5555), want(64, 0);
      const int* scan = writer_scan(v);
      const int start = start_of(v);
      int left = c.count;
      for (int k = start; k < 64 && left; ++k)
        if (c.levels[size_t(scan[k])]) want[size_t(k)] = c.levels[size_t(scan[k])], --left;
      if (start) out[0] = want[0] = c.levels[0];
      ASSERT_EQ(intra ? kvniDecodeCoeffsIntraRVLCBack_MPEG4_1u16s(&p, &off, out.data(), &last, v.noDC)
                      : kvniDecodeCoeffsInterRVLCBack_MPEG4_1u16s(&p, &off, out.data(), &last),
                KVN_STS_OK);
      ASSERT_EQ(out, want);
      ASSERT_EQ(last, c.last);
      ASSERT_EQ((p - buf.data()) * 8 + off, blocks[i - 1].endBit - 1);
    }
  }
}

}  // namespace
