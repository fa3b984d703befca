// The segment decoders on segments of an independent DV encoder (ffmpeg's
// dvvideo), the video DIF blocks of one DIF sequence in stream order:
//   noise_dv25.seg   720x480 4:1:1, testsrc2 with noise=alls=30:allf=t
//   noise_dv100.seg  960x720 4:2:2 (DVCPRO HD), testsrc2 with noise=alls=20:allf=t
//   ramp_dv25.seg    720x480 4:1:1, luma 16 + 28 (x mod 8), chroma 128
// Every block of a valid stream ends with its end-of-block code and no code
// runs past the block, which a wrong code table or layout would not give;
// the ramp fixes the sign convention and the raster placement.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "kvnvc.h"

namespace {

std::vector<uint8_t> read_segments(const char* name) {
  const std::string path = std::string(KVN_DV_TEST_DATA) + "/" + name;
  std::vector<uint8_t> d;
  if (FILE* f = std::fopen(path.c_str(), "rb")) {
    int c;
    while ((c = std::fgetc(f)) != EOF) d.push_back(uint8_t(c));
    std::fclose(f);
  }
  d.resize(d.size() + 16, 0);  // the readable bytes after the last segment
  return d;
}

struct Stats {
  int blocks = 0, finished = 0, overflow = 0;
  long positions = 0;
};

Stats decode_all(const std::vector<uint8_t>& d, bool dv100) {
  const size_t n = dv100 ? 40 : 30;
  Stats st;
  for (size_t s = 0; s + 416 <= d.size(); s += 400) {
    std::vector<int16_t> out(64 * n, 0);
    std::vector<uint32_t> p(n);
    EXPECT_EQ(dv100 ? kvniHuffmanDecodeSegment_DV100_8u16s(&d[s], nullptr, nullptr, out.data(), p.data())
                    : kvniHuffmanDecodeSegment_DV_8u16s(&d[s], nullptr, nullptr, out.data(), p.data()),
              KVN_STS_OK);
    for (uint32_t w : p) {
      ++st.blocks;
      st.finished += w & 1;
      st.overflow += (w >> 8 & 0xff) == 64;
      st.positions += w >> 8 & 0xff;
    }
  }
  return st;
}

TEST(DvStream, EveryBlockOfAnEncodersSegmentsFinishes) {
  const Stats sd = decode_all(read_segments("noise_dv25.seg"), false);
  EXPECT_EQ(sd.blocks, 27 * 30);
  EXPECT_EQ(sd.finished, sd.blocks);
  EXPECT_GT(sd.positions, 20L * sd.blocks);  // well filled: many codes in every pass
  const Stats hd = decode_all(read_segments("noise_dv100.seg"), true);
  EXPECT_EQ(hd.blocks, 27 * 40);
  EXPECT_EQ(hd.finished, hd.blocks);
  EXPECT_GT(hd.positions, 15L * hd.blocks);
}

TEST(DvStream, TheWrongLayoutFails) {
  const Stats s = decode_all(read_segments("noise_dv100.seg"), false);
  EXPECT_LT(s.finished, s.blocks * 9 / 10);
}

// One pass without a limit gives what the full decoder gives to every block
// that its own area finishes.
TEST(DvStream, OnePassAgreesOnBlocksTheirAreasFinish) {
  const auto d = read_segments("noise_dv25.seg");
  int agreed = 0;
  for (size_t s = 0; s + 416 <= d.size(); s += 400) {
    std::vector<int16_t> full(64 * 30, 0), one(64 * 30, 0);
    std::vector<uint32_t> pf(30), po(30);
    kvniHuffmanDecodeSegment_DV_8u16s(&d[s], nullptr, nullptr, full.data(), pf.data());
    kvniHuffmanDecodeSegmentOnePass_DV_8u16s(&d[s], nullptr, nullptr, one.data(), po.data(), 64);
    for (size_t k = 0; k < 30; ++k) {
      if (!(po[k] & 1)) continue;
      ++agreed;
      EXPECT_EQ(po[k], pf[k]);
      EXPECT_TRUE(std::equal(&one[64 * k], &one[64 * k + 64], &full[64 * k])) << k;
    }
  }
  EXPECT_GT(agreed, 100);
}

// A horizontal ramp in every block: the odd horizontal frequencies (raster
// 1, 3, 5, 7) are negative, nothing varies vertically, blocks are 8-8 mode.
TEST(DvStream, RampGivesNegativeOddHorizontalCoefficients) {
  const auto d = read_segments("ramp_dv25.seg");
  int luma = 0;
  for (size_t s = 0; s + 416 <= d.size(); s += 400) {
    std::vector<int16_t> out(64 * 30, 0);
    std::vector<uint32_t> p(30);
    kvniHuffmanDecodeSegment_DV_8u16s(&d[s], nullptr, nullptr, out.data(), p.data());
    for (size_t k = 0; k < 30; ++k) {
      EXPECT_EQ(p[k] & 0x41, 1u);
      if (k % 6 >= 4) continue;
      ++luma;
      const int16_t* b = &out[64 * k];
      EXPECT_LT(b[1], 0);
      EXPECT_LT(b[3], 0);
      EXPECT_EQ(b[1] % 64, 0);
      for (int i = 8; i < 64; ++i) EXPECT_EQ(b[i], 0) << i;
    }
  }
  EXPECT_EQ(luma, 5 * 20);
}

}  // namespace
