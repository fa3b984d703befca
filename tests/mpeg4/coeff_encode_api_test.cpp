// MPEG-4 / H.263 / H.261 coefficient and intra DC writers through the
// exported names: worked examples as exact bits (table codes, every escape
// form, H.261 first coefficient and end of block, DC codes), the statuses in
// their order with nothing written on failure, and the byte bit position
// rules (leading bits kept, trailing bits cleared, no byte after the code
// touched, checked against a guard page).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "coeff_encode_test.h"
#include "guard_page.h"
#include "rng.h"

namespace {

using namespace coeffenc;

const Variant kAllVariants[] = {
    {Syntax::kMpeg4Intra, 0, 0, 0, 0, 0},  {Syntax::kMpeg4Intra, 1, 1, 0, 0, 1}, {Syntax::kMpeg4Inter, 0, 0, 0, 0, 0},
    {Syntax::kMpeg4Inter, 1, 0, 0, 0, -1}, {Syntax::kH263Intra, 0, 0, 0, 0, 0},  {Syntax::kH263Intra, 0, 0, 1, 1, 2},
    {Syntax::kH263Inter, 0, 0, 0, 1, 1},   {Syntax::kH261Intra, 0, 0, 0, 0, 0},  {Syntax::kH261Inter, 0, 0, 0, 0, -1},
};

// Writes one block at bit `offset` of a zeroed buffer; the bits written.
std::string written(const Variant& v, const std::vector<int16_t>& blk, int count, int offset = 0) {
  std::vector<uint8_t> buf(64 * 5 + 16);
  uint8_t* p = buf.data();
  int32_t off = offset;
  EXPECT_EQ(encode(v, blk.data(), &p, &off, count), KVN_STS_OK);
  return bits(buf.data(), offset, (p - buf.data()) * 8 + off);
}

std::vector<int16_t> block(std::initializer_list<std::pair<int, int>> levels) {
  std::vector<int16_t> b(64, 0);
  for (auto [k, v] : levels) b[size_t(k)] = int16_t(v);
  return b;
}

const Variant kH263Inter{Syntax::kH263Inter}, kMpeg4Inter{Syntax::kMpeg4Inter}, kH261Inter{Syntax::kH261Inter};

// ---- worked examples -------------------------------------------------------------

TEST(CoeffEncode, H263TableCodesAndEscapes) {
  // (last 1, run 0, 1): 0111 then the sign
  EXPECT_EQ(written(kH263Inter, block({{0, 1}}), 1), pat("0111 0"));
  EXPECT_EQ(written(kH263Inter, block({{0, -1}}), 1), pat("0111 1"));
  // (0, 0, 1) 10s then (1, 0, 1) at zigzag position 1 (raster 1)
  EXPECT_EQ(written(kH263Inter, block({{0, 2}, {1, -1}}), 2), pat("1111 0  0111 1"));
  // escape: LAST, RUN 6 bits, LEVEL 8 bits
  EXPECT_EQ(written(kH263Inter, block({{0, -127}}), 1), pat("0000011 1 000000 10000001"));
  // Annex T: LEVEL 1000 0000, then the 5 low and the 6 high bits (200 = 6 x 32 + 8)
  const Variant mq{Syntax::kH263Inter, 0, 0, 0, 1};
  EXPECT_EQ(written(mq, block({{0, 200}}), 1), pat("0000011 1 000000 10000000 01000 000110"));
  EXPECT_EQ(written(mq, block({{0, -128}}), 1), pat("0000011 1 000000 10000000 00000 111100"));
  EXPECT_EQ(written(mq, block({{0, 127}}), 1), pat("0000011 1 000000 01111111"));
  // intra without Annex I starts at position 1: entry 0 is not coded
  const Variant intra{Syntax::kH263Intra};
  EXPECT_EQ(written(intra, block({{0, 99}, {1, 1}}), 1), pat("0111 0"));
}

TEST(CoeffEncode, Mpeg4EscapeTypes) {
  // type 1: level 13 at (0, 0), LMAX 12: the code of level 1
  EXPECT_EQ(written(kMpeg4Inter, block({{0, 13}, {1, 1}}), 2), pat("0000011 0 10 0  0111 0"));
  // type 2: level 1 at run 27 after RMAX(0, 1) = 26: the code of run 0
  EXPECT_EQ(written(kMpeg4Inter, block({{6, -1}, {7, 1}}), 2), pat("0000011 10 10 1  0111 0"));
  // type 3: LAST, RUN, marker, LEVEL 12 bits, marker
  EXPECT_EQ(written(kMpeg4Inter, block({{0, 25}}), 1), pat("0000011 11 1 000000 1 000000011001 1"));
  EXPECT_EQ(written(kMpeg4Inter, block({{1, -2047}}), 1), pat("0000011 11 1 000001 1 100000000001 1"));
  // reversible codes: escape 0000 1, LAST, RUN, marker, |LEVEL| 11 bits, marker, 0000, sign
  const Variant rvlc{Syntax::kMpeg4Inter, 1};
  EXPECT_EQ(written(rvlc, block({{8, -300}}), 1), pat("00001 1 000010 1 00100101100 1 0000 1"));
}

TEST(CoeffEncode, H261FirstCoefficientEscapeAndEndOfBlock) {
  EXPECT_EQ(written(kH261Inter, block({{0, 1}}), 1), pat("1 0  10"));
  EXPECT_EQ(written(kH261Inter, block({{0, -1}, {1, 1}}), 2), pat("1 1  11 0  10"));
  // the first coefficient at run 1 takes the ordinary code
  EXPECT_EQ(written(kH261Inter, block({{1, 1}}), 1), pat("011 0  10"));
  // escape: RUN 6 bits, LEVEL 8 bits
  EXPECT_EQ(written(kH261Inter, block({{0, 100}}), 1), pat("000001 000000 01100100  10"));
  // intra: INTRADC 128 as 1111 1111; count 1 codes the DC and the end of block
  const Variant intra{Syntax::kH261Intra};
  EXPECT_EQ(written(intra, block({{0, 128}, {1, 5}}), 1), pat("11111111 10"));
  EXPECT_EQ(written(intra, block({{0, 17}, {1, 1}}), 2), pat("00010001 11 0 10"));
}

// Intra DC: H.263 INTRADC; MPEG-4 dct_dc_size, differential, marker above size 8.
TEST(CoeffEncode, IntraDC) {
  auto dc = [](bool mpeg4, int value, int blockType, int offset = 0) {
    std::vector<uint8_t> buf(8, 0);
    uint8_t* p = buf.data();
    int32_t off = offset;
    EXPECT_EQ(mpeg4 ? kvniEncodeDCIntra_MPEG4_16s1u(int16_t(value), &p, &off, blockType)
                    : kvniEncodeDCIntra_H263_16s1u(int16_t(value), &p, &off),
              KVN_STS_OK);
    return bits(buf.data(), offset, (p - buf.data()) * 8 + off);
  };
  EXPECT_EQ(dc(false, 128, 0), "11111111");
  EXPECT_EQ(dc(false, 5, 0, 3), "00000101");
  EXPECT_EQ(dc(false, 254, 0), "11111110");
  EXPECT_EQ(dc(true, -3, 0), pat("10 00"));
  EXPECT_EQ(dc(true, 3, 0), pat("10 11"));
  EXPECT_EQ(dc(true, 0, 0), "011");
  EXPECT_EQ(dc(true, 0, 1), "11");
  EXPECT_EQ(dc(true, 0, 2), "011");  // any value but 1 is luminance
  EXPECT_EQ(dc(true, -1, 1), pat("10 0"));
  EXPECT_EQ(dc(true, 256, 0), pat("00000001 100000000 1"));
  EXPECT_EQ(dc(true, -4095, 1), pat("000000000001 000000000000 1"));
}

// ---- statuses ---------------------------------------------------------------------

TEST(CoeffEncode, ChecksInOrderWriteNothing) {
  std::vector<int16_t> blk = block({{0, 1}});
  for (const Variant& v : kAllVariants) {
    SCOPED_TRACE(int(v.syntax));
    uint8_t buf[4] = {0xa5, 0xa5, 0xa5, 0xa5};
    uint8_t* p = buf + 1;
    uint8_t* nullByte = nullptr;
    int32_t off = 3, bad = 8, neg = -1;
    EXPECT_EQ(encode(v, blk.data(), nullptr, &bad, 0), KVN_STS_NULL_PTR);
    EXPECT_EQ(encode(v, blk.data(), &p, nullptr, 0), KVN_STS_NULL_PTR);
    EXPECT_EQ(encode(v, nullptr, &p, &bad, 0), KVN_STS_NULL_PTR);
    EXPECT_EQ(encode(v, blk.data(), &nullByte, &bad, 0), KVN_STS_NULL_PTR);
    EXPECT_EQ(encode(v, blk.data(), &p, &bad, 0), KVN_STS_BIT_OFFSET_ERR);
    EXPECT_EQ(encode(v, blk.data(), &p, &neg, 1), KVN_STS_BIT_OFFSET_ERR);
    EXPECT_EQ(encode(v, blk.data(), &p, &off, 0), KVN_STS_OUT_OF_RANGE);
    EXPECT_EQ(encode(v, blk.data(), &p, &off, 65), KVN_STS_OUT_OF_RANGE);
    EXPECT_EQ(encode(v, blk.data(), &p, &off, -1), KVN_STS_OUT_OF_RANGE);
    const bool dcSeparate = v.syntax == Syntax::kMpeg4Intra && v.noDC;
    EXPECT_EQ(encode(v, blk.data(), &p, &off, 64), dcSeparate ? KVN_STS_OUT_OF_RANGE : KVN_STS_OK);
    if (dcSeparate) {
      EXPECT_EQ(p, buf + 1);
      EXPECT_EQ(off, 3);
      for (uint8_t b : buf) EXPECT_EQ(b, 0xa5);
    }
    EXPECT_EQ(bad, 8);
    EXPECT_EQ(neg, -1);
  }
  uint8_t buf[4] = {0xa5, 0xa5, 0xa5, 0xa5};
  uint8_t* p = buf;
  uint8_t* nullByte = nullptr;
  int32_t off = 0, bad = 8;
  EXPECT_EQ(kvniEncodeDCIntra_H263_16s1u(1, nullptr, &off), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniEncodeDCIntra_H263_16s1u(1, &p, nullptr), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniEncodeDCIntra_H263_16s1u(1, &nullByte, &bad), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniEncodeDCIntra_H263_16s1u(1, &p, &bad), KVN_STS_BIT_OFFSET_ERR);
  EXPECT_EQ(kvniEncodeDCIntra_MPEG4_16s1u(1, nullptr, &off, 0), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniEncodeDCIntra_MPEG4_16s1u(1, &p, nullptr, 0), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniEncodeDCIntra_MPEG4_16s1u(4096, &nullByte, &bad, 0), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniEncodeDCIntra_MPEG4_16s1u(4096, &p, &bad, 0), KVN_STS_BIT_OFFSET_ERR);
  // no dct_dc_size code for |DC| above 4095
  EXPECT_EQ(kvniEncodeDCIntra_MPEG4_16s1u(4096, &p, &off, 0), KVN_STS_OUT_OF_RANGE);
  EXPECT_EQ(kvniEncodeDCIntra_MPEG4_16s1u(-4096, &p, &off, 1), KVN_STS_OUT_OF_RANGE);
  EXPECT_EQ(kvniEncodeDCIntra_MPEG4_16s1u(-32768, &p, &off, 1), KVN_STS_OUT_OF_RANGE);
  EXPECT_EQ(p, buf);
  EXPECT_EQ(off, 0);
  for (uint8_t b : buf) EXPECT_EQ(b, 0xa5);
}

// Levels after the count-th are not coded; with fewer non-zero levels than
// the count, the last one present carries LAST.
TEST(CoeffEncode, CountSelectsTheLastCodedLevel) {
  for (const Variant& v : kAllVariants) {
    SCOPED_TRACE(int(v.syntax));
    const auto full = block({{0, 3}, {1, -2}, {8, 1}, {63, 7}});
    const auto cut = block({{0, 3}, {1, -2}, {8, 1}});
    const bool skipsDC = (v.syntax == Syntax::kMpeg4Intra && v.noDC) || (v.syntax == Syntax::kH263Intra && !v.advIntra);
    const int n = skipsDC ? 2 : 3;  // the levels before raster 63 (the H.261 count includes the DC)
    EXPECT_EQ(written(v, full, n), written(v, cut, n));
    EXPECT_EQ(written(v, cut, 60), written(v, cut, n));
  }
}

// ---- byte bit position -------------------------------------------------------------

TEST(CoeffEncode, OffsetFiveKeepsTheLeadingBits) {
  uint8_t buf[4] = {0xff, 0xa5, 0xa5, 0xa5};
  uint8_t* p = buf;
  int32_t off = 5;
  const auto blk = block({{0, 1}});
  ASSERT_EQ(kvniEncodeCoeffsInter_H263_16s1u(blk.data(), &p, &off, 1, 0, 0), KVN_STS_OK);
  EXPECT_EQ(buf[0], 0xfb);  // 11111 011
  EXPECT_EQ(buf[1], 0x80);  // 10 000000
  EXPECT_EQ(buf[2], 0xa5);
  EXPECT_EQ(p, buf + 1);
  EXPECT_EQ(off, 2);
}

// Random blocks of every variant at every offset: the bits before the offset
// are kept, the bits after the code in its last byte are 0, the position
// moves by the code's length, and the byte after the last code bit is never
// read or written (the output ends right before an inaccessible page).
TEST(CoeffEncode, WritesOnlyTheCodeBits) {
  kvntest::Rng rng = kvntest::rng_for("CoeffEncode.WritesOnlyTheCodeBits");
  kvntest::GuardPage guard;
  for (int iter = 0; iter < 3000; ++iter) {
    Variant v = kAllVariants[iter % (sizeof kAllVariants / sizeof kAllVariants[0])];
    v.scan = rng.range(-1, 2);
    std::vector<int16_t> blk(64, 0);
    int nz = 0;
    const int density = rng.range(1, 64);
    for (int k = 0; k < 64; ++k)
      if (rng.range(1, 64) <= density) {
        const int big = rng.one_in(8) ? 2047 : rng.one_in(3) ? 40 : 3;
        blk[size_t(k)] = int16_t(rng.range(-big, big));
      }
    blk[size_t(rng.range(1, 63))] = 1;
    for (int k = 1; k < 64; ++k) nz += blk[size_t(k)] != 0;
    const int count = rng.range(1, std::min(nz, 63));
    const int offset = rng.range(0, 7);
    const uint8_t lead = rng.byte();

    std::vector<uint8_t> big(512, 0x5a);
    big[0] = lead;
    uint8_t* p = big.data();
    int32_t off = offset;
    ASSERT_EQ(encode(v, blk.data(), &p, &off, count), KVN_STS_OK);
    const long end = (p - big.data()) * 8 + off;
    ASSERT_GT(end, offset);
    const size_t bytes = size_t((end + 7) / 8);
    EXPECT_EQ(big[0] >> (8 - offset), lead >> (8 - offset));
    if (off) {
      EXPECT_EQ(uint8_t(*p << off), 0);
    }
    for (size_t i = bytes; i < big.size(); ++i) ASSERT_EQ(big[i], 0x5a) << i;

    auto* out = static_cast<uint8_t*>(guard.tail(bytes));
    std::memset(out, 0x5a, bytes);
    out[0] = lead;
    uint8_t* q = out;
    int32_t qoff = offset;
    ASSERT_EQ(encode(v, blk.data(), &q, &qoff, count), KVN_STS_OK);
    EXPECT_EQ(q - out, p - big.data());
    EXPECT_EQ(qoff, off);
    EXPECT_EQ(std::memcmp(out, big.data(), bytes), 0);
  }
}

}  // namespace
