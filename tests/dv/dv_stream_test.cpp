// The segment decoders on segments of an independent DV encoder (ffmpeg's
// dvvideo), the video DIF blocks of one DIF sequence in stream order:
//   noise_dv25.seg   720x480 4:1:1, testsrc2 with noise=alls=30:allf=t
//   noise_dv100.seg  960x720 4:2:2 (DVCPRO HD), testsrc2 with noise=alls=20:allf=t
//   ramp_dv25.seg    720x480 4:1:1, luma 16 + 28 (x mod 8), chroma 128
// Every block of a valid stream ends with its end-of-block code and no code
// runs past the block, which a wrong code table or layout would not give;
// the ramp fixes the sign convention and the raster placement.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "kvnvc.h"

namespace {

struct Decoded {
  std::vector<int16_t> blocks;
  std::vector<uint32_t> params;
  int finished = 0;
  long positions = 0;
};

Decoded decode_file(const char* name, bool dv100) {
  std::ifstream f(std::string(KVN_DV_TEST_DATA) + "/" + name, std::ios::binary);
  std::vector<uint8_t> d((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  EXPECT_GT(d.size(), 0u) << name;
  d.resize(d.size() + 16, 0);  // the readable bytes after the last segment
  const size_t n = dv100 ? 40 : 30, segments = (d.size() - 16) / 400;
  Decoded r{std::vector<int16_t>(64 * n * segments, 0), std::vector<uint32_t>(n * segments)};
  for (size_t s = 0; s < segments; ++s)
    (dv100 ? kvniHuffmanDecodeSegment_DV100_8u16s : kvniHuffmanDecodeSegment_DV_8u16s)(
        &d[400 * s], nullptr, nullptr, &r.blocks[64 * n * s], &r.params[n * s]);
  for (uint32_t p : r.params) r.finished += p & 1, r.positions += p >> 8 & 0xff;
  return r;
}

TEST(DvStream, EveryBlockOfAnEncodersSegmentsFinishes) {
  const Decoded sd = decode_file("noise_dv25.seg", false), hd = decode_file("noise_dv100.seg", true);
  EXPECT_EQ(sd.finished, 27 * 30);
  EXPECT_GT(sd.positions, 20L * 27 * 30);  // well filled: many codes, all three passes
  EXPECT_EQ(hd.finished, 27 * 40);
  EXPECT_GT(hd.positions, 15L * 27 * 40);
  EXPECT_LT(decode_file("noise_dv100.seg", false).finished, 27 * 30 * 9 / 10) << "the wrong layout fails";
}

// Odd horizontal frequencies negative, nothing vertical, 8-8 mode.
TEST(DvStream, RampGivesNegativeOddHorizontalCoefficients) {
  const Decoded d = decode_file("ramp_dv25.seg", false);
  ASSERT_EQ(d.params.size(), 5u * 30);
  for (size_t k = 0; k < d.params.size(); ++k) {
    EXPECT_EQ(d.params[k] & 0x41, 1u);
    if (k % 6 >= 4) continue;  // chroma
    const int16_t* b = &d.blocks[64 * k];
    EXPECT_TRUE(b[1] < 0 && b[3] < 0 && b[1] % 64 == 0) << k;
    for (int i = 8; i < 64; ++i) EXPECT_EQ(b[i], 0) << k << " at " << i;
  }
}

}  // namespace
