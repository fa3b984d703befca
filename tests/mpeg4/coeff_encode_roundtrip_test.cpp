// MPEG-4 / H.263 / H.261 coefficient writers against the decoders, through
// the exported names: random blocks of every syntax, scan, DC-separate flag
// and escape form, several in sequence from a random bit offset, read back
// block by block after its intra DC (the reversible codes also backwards),
// with the levels, the last index and the exact bit position after every
// block checked.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "coeff_encode_test.h"
#include "rng.h"

namespace {

using namespace coeffenc;

// The scans by kvniScanInv_16s_C1 selector (0 zigzag, 1 alternate vertical,
// 2 alternate horizontal), and the raster order.
struct Scans {
  int order[4][64];
  Scans() {
    for (int sel = 0; sel < 4; ++sel) {
      int16_t pos[64], raster[64];
      for (int i = 0; i < 64; ++i) pos[i] = int16_t(i);
      kvniScanInv_16s_C1(pos, raster, 63, sel);
      for (int k = 0; k < 64; ++k) order[sel][sel == 3 ? k : raster[k]] = k;
    }
  }
};
const Scans kScans;
const int* const kZigzag = kScans.order[0];
const int* const kAltVertical = kScans.order[1];
const int* const kAltHorizontal = kScans.order[2];
const int* const kRaster = kScans.order[3];

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

// First scan position the VLC codes (1: entry 0 is the intra DC, coded apart).
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
  int dcType;   // the DC written first: -1 none (or H.261 INTRADC), 0, 1 MPEG-4 block type, 2 H.263
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
  Coded c{v, std::vector<int16_t>(64, 0), std::vector<int16_t>(64, 0), 0, 0, -1, 0};
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
  // INTRADC 1..254 (255 reads as 128), MPEG-4 DC differences of every size
  if (start && v.syntax != Syntax::kMpeg4Intra) c.levels[0] = int16_t(rng.range(1, 254));
  if (start && v.syntax == Syntax::kMpeg4Intra)
    c.levels[0] = int16_t(rng.one_in(2) ? rng.range(-4095, 4095) : rng.range(-20, 20));
  if (start && v.syntax != Syntax::kH261Intra) c.dcType = v.syntax == Syntax::kH263Intra ? 2 : rng.range(0, 1);
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

// The stream starts after kLead bytes, which the backward reader may read.
constexpr int kLead = 4;

// Writes the blocks one after the other from bit `offset` of the stream, each
// after its DC when `withDC`, recording where each ends (bits from the
// buffer's start).
std::vector<uint8_t> write_all(std::vector<Coded>& blocks, int offset, bool withDC, kvntest::Rng& rng) {
  std::vector<uint8_t> buf(kLead + blocks.size() * 300 + 16);
  buf[kLead] = rng.byte();
  uint8_t* p = buf.data() + kLead;
  int32_t off = offset;
  for (Coded& c : blocks) {
    if (withDC && c.dcType >= 0) {
      EXPECT_EQ(c.dcType == 2 ? kvniEncodeDCIntra_H263_16s1u(c.levels[0], &p, &off)
                              : kvniEncodeDCIntra_MPEG4_16s1u(c.levels[0], &p, &off, c.dcType),
                KVN_STS_OK);
    }
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
    std::vector<uint8_t> buf = write_all(blocks, offset, true, rng);
    uint8_t* p = buf.data() + kLead;
    int32_t off = offset;
    for (size_t i = 0; i < blocks.size(); ++i) {
      const Coded& c = blocks[i];
      SCOPED_TRACE(testing::Message() << "iteration " << iter << " block " << i << " syntax " << int(c.v.syntax)
                                      << " rvlc " << c.v.rvlc << " noDC " << c.v.noDC << " advIntra " << c.v.advIntra
                                      << " modQuant " << c.v.modQuant << " scan " << c.v.scan);
      std::vector<int16_t> out(64, 0x5555);
      if (c.dcType >= 0) {
        ASSERT_EQ(c.dcType == 2 ? kvniDecodeDCIntra_H263_1u16s(&p, &off, &out[0])
                                : kvniDecodeDCIntra_MPEG4_1u16s(&p, &off, &out[0], c.dcType),
                  KVN_STS_OK);
      }
      int32_t last = -7;
      ASSERT_EQ(decode(c.v, &p, &off, out.data(), &last), KVN_STS_OK);
      ASSERT_EQ(out, c.expected);
      ASSERT_EQ(last, c.last);
      ASSERT_EQ((p - buf.data()) * 8 + off, c.endBit);
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
    std::vector<uint8_t> buf = write_all(blocks, offset, false, rng);
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
