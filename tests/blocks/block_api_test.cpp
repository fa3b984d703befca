// Block layer behaviour through the exported names: the worked examples, the
// checks and their order, and what is (not) written.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <vector>

#include "kvnvc.h"

namespace {

// A 16x16 block of bytes (plus one row and column for half-sample reads) and
// a destination pre-filled with a marker.
struct Bytes {
  explicit Bytes(uint8_t v) { std::memset(b, v, sizeof b); }
  uint8_t b[17 * 32];
  static constexpr int kStep = 32;
  uint8_t* p() { return b; }
  uint8_t at(int x, int y) const { return b[y * kStep + x]; }
  bool untouched(uint8_t v) const {
    for (uint8_t x : b)
      if (x != v) return false;
    return true;
  }
};

struct Residual {
  explicit Residual(int16_t v) {
    for (auto& x : r) x = v;
  }
  int16_t r[16 * 16];
  static constexpr int kStep = 32;  // bytes
  const int16_t* p() const { return r; }
};

TEST(BlockHalfSample, WorkedExamples) {
  // Code 1 on neighbours 0 and 1: 1 with rounding 0, 0 with rounding 1.
  Bytes src(0), dst(0x55);
  for (int y = 0; y < 17; ++y)
    for (int x = 1; x < 32; x += 2) src.b[y * Bytes::kStep + x] = 1;
  ASSERT_EQ(kvniCopy8x8HP_8u_C1R(src.p(), Bytes::kStep, dst.p(), Bytes::kStep, 1, 0), KVN_STS_OK);
  EXPECT_EQ(dst.at(0, 0), 1);
  ASSERT_EQ(kvniCopy8x8HP_8u_C1R(src.p(), Bytes::kStep, dst.p(), Bytes::kStep, 1, 1), KVN_STS_OK);
  EXPECT_EQ(dst.at(0, 0), 0);
  // Code 3 on 0, 0 (top row) and 1, 1 (next row): 1 and 0.
  Bytes rows(0);
  std::memset(rows.b + Bytes::kStep, 1, Bytes::kStep);
  ASSERT_EQ(kvniCopy16x16HP_8u_C1R(rows.p(), Bytes::kStep, dst.p(), Bytes::kStep, 3, 0), KVN_STS_OK);
  EXPECT_EQ(dst.at(5, 0), 1);
  ASSERT_EQ(kvniCopy16x16HP_8u_C1R(rows.p(), Bytes::kStep, dst.p(), Bytes::kStep, 3, 1), KVN_STS_OK);
  EXPECT_EQ(dst.at(5, 0), 0);
  // 255 everywhere gives 255 in every code and rounding; codes 4..7 act as 0..3.
  Bytes full(255);
  for (int code = 0; code < 8; ++code)
    for (int rc = 0; rc < 2; ++rc) {
      Bytes out(0);
      ASSERT_EQ(kvniCopy16x8HP_8u_C1R(full.p(), Bytes::kStep, out.p(), Bytes::kStep, code, rc), KVN_STS_OK);
      for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 16; ++x) ASSERT_EQ(out.at(x, y), 255);
      EXPECT_EQ(out.at(16, 0), 0) << "wrote past the block";
      EXPECT_EQ(out.at(0, 8), 0) << "wrote past the block";
    }
}

TEST(BlockHalfSample, HighCodeBitsAreIgnored) {
  Bytes src(0);
  for (int i = 0; i < int(sizeof src.b); ++i) src.b[i] = uint8_t(i * 7 + (i >> 5) * 3);
  for (int code = 0; code < 4; ++code) {
    Bytes a(0), b(0);
    kvniCopy8x4HP_8u_C1R(src.p(), Bytes::kStep, a.p(), Bytes::kStep, code, 0);
    kvniCopy8x4HP_8u_C1R(src.p(), Bytes::kStep, b.p(), Bytes::kStep, code + 4, 2);
    EXPECT_EQ(std::memcmp(a.b, b.b, sizeof a.b), 0) << code;
  }
}

TEST(BlockAverage, RoundsUp) {
  Bytes a(0), b(1), d(0x55);
  ASSERT_EQ(kvniAverage16x16_8u_C1R(a.p(), Bytes::kStep, b.p(), Bytes::kStep, d.p(), Bytes::kStep), 0);
  EXPECT_EQ(d.at(15, 15), 1);
  EXPECT_EQ(d.at(16, 15), 0x55);
  ASSERT_EQ(kvniAverage8x8_8u_C1IR(b.p(), Bytes::kStep, a.p(), Bytes::kStep), 0);
  EXPECT_EQ(a.at(7, 7), 1);
  EXPECT_EQ(a.at(8, 7), 0);
}

TEST(BlockInterpolateAverage, AveragesThePredictionIntoTheDestination) {
  Bytes src(10), d(21);
  // prediction 10 (full sample) averaged with 21: (10 + 21 + 1) >> 1 = 16
  ASSERT_EQ(kvniInterpolateAverage8x8_8u_C1IR(src.p(), Bytes::kStep, d.p(), Bytes::kStep, 0, 1), 0);
  EXPECT_EQ(d.at(0, 0), 16);
  EXPECT_EQ(d.at(8, 0), 21);
}

TEST(BlockAdd, SixteenBitWrapAroundThenClamp) {
  Bytes d(200);
  Residual r(32767);
  // 200 + 32767 wraps to a negative 16-bit sum: 0.
  ASSERT_EQ(kvniAdd8x8_16s8u_C1IRS(r.p(), Residual::kStep, d.p(), Bytes::kStep), 0);
  EXPECT_EQ(d.at(0, 0), 0);
  EXPECT_EQ(d.at(8, 0), 200);
  Bytes e(10);
  ASSERT_EQ(kvniAddC8x8_16s8u_C1IR(300, e.p(), Bytes::kStep), 0);
  EXPECT_EQ(e.at(7, 7), 255);
  ASSERT_EQ(kvniAddC8x8_16s8u_C1IR(-32768, e.p(), Bytes::kStep), 0);
  EXPECT_EQ(e.at(7, 7), 0);
  Bytes ref(100), out(0);
  Residual small(-5);
  ASSERT_EQ(kvniAdd8x8HP_16s8u_C1RS(small.p(), Residual::kStep, ref.p(), Bytes::kStep, out.p(), Bytes::kStep, 3, 0), 0);
  EXPECT_EQ(out.at(3, 3), 95);
}

TEST(BlockMC, ClampsTheExactSum) {
  Bytes ref(10), d(0);
  Residual up(300), down(-300), wrap(32767);
  ASSERT_EQ(kvniMC16x16_8u_C1(ref.p(), Bytes::kStep, up.p(), Residual::kStep, d.p(), Bytes::kStep, 12, 0), 0);
  EXPECT_EQ(d.at(9, 9), 255);
  ASSERT_EQ(kvniMC8x8_8u_C1(ref.p(), Bytes::kStep, down.p(), Residual::kStep, d.p(), Bytes::kStep, 0, 0), 0);
  EXPECT_EQ(d.at(7, 7), 0);
  // No 16-bit wrap in the MC members: 10 + 32767 clamps to 255.
  ASSERT_EQ(kvniMC4x4_8u_C1(ref.p(), Bytes::kStep, wrap.p(), Residual::kStep, d.p(), Bytes::kStep, 4, 1), 0);
  EXPECT_EQ(d.at(3, 3), 255);
}

TEST(BlockMC, BidirectionalAverageRoundsUpWhateverTheRounding) {
  Bytes f(0), b(1);
  Residual zero(0);
  for (int rc = 0; rc < 2; ++rc) {
    Bytes d(0x55);
    ASSERT_EQ(kvniMC16x8B_8u_C1(f.p(), Bytes::kStep, 0, b.p(), Bytes::kStep, 0, zero.p(), Residual::kStep, d.p(),
                                Bytes::kStep, rc),
              0);
    EXPECT_EQ(d.at(0, 0), 1);
    Bytes s(0x55);
    ASSERT_EQ(kvniMC2x2B_8u_C1(f.p(), Bytes::kStep, 0, b.p(), Bytes::kStep, 0, zero.p(), Residual::kStep, s.p(),
                               Bytes::kStep, rc),
              0);
    EXPECT_EQ(s.at(1, 1), 1);
    EXPECT_EQ(s.at(2, 1), 0x55);
    EXPECT_EQ(s.at(1, 2), 0x55);
  }
}

TEST(BlockMC, ModeUsesOnlyBitsFourAndEight) {
  Bytes ref(0);
  for (int i = 0; i < int(sizeof ref.b); ++i) ref.b[i] = uint8_t(i * 13 + (i >> 5));
  Residual zero(0);
  for (int mode : {0, 4, 8, 12}) {
    Bytes a(0), b(0);
    kvniMC8x16_8u_C1(ref.p(), Bytes::kStep, zero.p(), Residual::kStep, a.p(), Bytes::kStep, mode, 0);
    kvniMC8x16_8u_C1(ref.p(), Bytes::kStep, zero.p(), Residual::kStep, b.p(), Bytes::kStep, mode | 16 | 3, 0);
    EXPECT_EQ(std::memcmp(a.b, b.b, sizeof a.b), 0) << mode;
  }
}

TEST(BlockMC, SmallWidthsSubtractTheRoundingControl) {
  Bytes ref(0);
  for (int y = 0; y < 17; ++y)
    for (int x = 1; x < 32; x += 2) ref.b[y * Bytes::kStep + x] = 1;
  Residual zero(0);
  Bytes d0(0x55), d1(0x55);
  kvniMC4x2_8u_C1(ref.p(), Bytes::kStep, zero.p(), Residual::kStep, d0.p(), Bytes::kStep, 8, 0);
  kvniMC4x2_8u_C1(ref.p(), Bytes::kStep, zero.p(), Residual::kStep, d1.p(), Bytes::kStep, 8, 1);
  EXPECT_EQ(d0.at(0, 0), 1);
  EXPECT_EQ(d1.at(0, 0), 0);
  EXPECT_EQ(d0.at(4, 0), 0x55);
  EXPECT_EQ(d0.at(0, 2), 0x55);
}

TEST(BlockMC, InterleavedChromaAveragesSameComponent) {
  // Cb bytes 0, Cr bytes 100; a horizontal half sample must not mix them.
  Bytes ref(0);
  for (int y = 0; y < 17; ++y)
    for (int x = 1; x < 32; x += 2) ref.b[y * Bytes::kStep + x] = 100;
  Residual zero(0);
  Bytes d(0);
  ASSERT_EQ(kvniMC16x4_8u_C1(ref.p(), Bytes::kStep, zero.p(), Residual::kStep, d.p(), Bytes::kStep, 8, 0), 0);
  EXPECT_EQ(d.at(0, 0), 0);
  EXPECT_EQ(d.at(1, 0), 100);
  EXPECT_EQ(d.at(15, 3), 100);
  ASSERT_EQ(kvniMC16x8UV_8u_C1(ref.p(), Bytes::kStep, zero.p(), Residual::kStep, d.p(), Bytes::kStep, 12, 1), 0);
  EXPECT_EQ(d.at(14, 7), 0);
  EXPECT_EQ(d.at(15, 7), 100);
}

TEST(BlockMC, PlanarResidualsGoToAlternateBytes) {
  Bytes ref(50), d(0);
  Residual u(1), v(-1);
  ASSERT_EQ(kvniMC8x4_16s8u_P2C2R(ref.p(), Bytes::kStep, u.p(), v.p(), Residual::kStep, d.p(), Bytes::kStep, 0, 0), 0);
  for (int x = 0; x < 16; ++x) EXPECT_EQ(d.at(x, 3), x & 1 ? 49 : 51) << x;
  EXPECT_EQ(d.at(0, 4), 0);
  Bytes e(0);
  ASSERT_EQ(kvniMC8x8B_16s8u_P2C2R(ref.p(), Bytes::kStep, 4, ref.p(), Bytes::kStep, 8, u.p(), v.p(), Residual::kStep,
                                   e.p(), Bytes::kStep, 1),
            0);
  EXPECT_EQ(e.at(0, 7), 51);
  EXPECT_EQ(e.at(1, 7), 49);
  EXPECT_EQ(e.at(0, 8), 0);
}

TEST(BlockChecks, NullPointerWinsAndNothingIsWritten) {
  Bytes ref(1), d(0x55);
  Residual r(3);
  int16_t coeffs[64] = {}, out[64];
  std::memset(out, 0x55, sizeof out);
  Kvn32u count = 77;
  EXPECT_EQ(kvniCopy8x8_8u_C1R(nullptr, 32, d.p(), 32), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniCopy16x16_8u_C1R(ref.p(), 32, nullptr, 32), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniCopy16x16HP_8u_C1R(nullptr, 32, d.p(), 32, 3, 0), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniAverage8x8_8u_C1R(ref.p(), 32, nullptr, 32, d.p(), 32), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniAverage16x16_8u_C1IR(nullptr, 32, d.p(), 32), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniInterpolateAverage16x8_8u_C1IR(ref.p(), 32, nullptr, 32, 1, 0), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniAdd8x8HP_16s8u_C1RS(r.p(), 32, nullptr, 32, d.p(), 32, 0, 0), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniAddC8x8_16s8u_C1IR(5, nullptr, 32), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniMC16x16_8u_C1(ref.p(), 32, nullptr, 32, d.p(), 32, 0, 0), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniMC4x4B_8u_C1(ref.p(), 32, 0, nullptr, 32, 0, r.p(), 32, d.p(), 32, 0), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniMC16x8BUV_8u_C1(ref.p(), 32, 0, ref.p(), 32, 0, r.p(), 32, nullptr, 32, 0), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniMC8x8_16s8u_P2C2R(ref.p(), 32, r.p(), nullptr, 32, d.p(), 32, 0, 0), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniMC8x4B_16s8u_P2C2R(ref.p(), 32, 0, ref.p(), 32, 0, nullptr, r.p(), 32, d.p(), 32, 0), KVN_STS_NULL_PTR);
  EXPECT_TRUE(d.untouched(0x55));
  EXPECT_EQ(kvniCountZeros8x8_16s_C1(coeffs, nullptr), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniCountZeros8x8_16s_C1(nullptr, &count), KVN_STS_NULL_PTR);
  EXPECT_EQ(count, 77u);
  // Null wins over a bad count; a bad count writes nothing.
  EXPECT_EQ(kvniScanFwd_16s_C1(nullptr, out, 0, 0), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniScanInv_16s_C1(coeffs, nullptr, 64, 0), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniScanFwd_16s_C1(coeffs, out, 0, 0), KVN_STS_OUT_OF_RANGE);
  EXPECT_EQ(kvniScanFwd_16s_C1(coeffs, out, 65, 1), KVN_STS_OUT_OF_RANGE);
  EXPECT_EQ(kvniScanInv_16s_C1(coeffs, out, -1, 2), KVN_STS_OUT_OF_RANGE);
  EXPECT_EQ(kvniScanInv_16s_C1(coeffs, out, 64, 0), KVN_STS_OUT_OF_RANGE);
  for (int16_t v : out) EXPECT_EQ(v, 0x5555);
}

TEST(BlockCoefficients, CountZeros) {
  int16_t c[64] = {};
  Kvn32u n = 0;
  ASSERT_EQ(kvniCountZeros8x8_16s_C1(c, &n), 0);
  EXPECT_EQ(n, 64u);
  c[0] = 1;
  c[63] = -32768;
  c[31] = 256;
  ASSERT_EQ(kvniCountZeros8x8_16s_C1(c, &n), 0);
  EXPECT_EQ(n, 61u);
}

// Raster index of scan position k, for each selector, as published in
// ISO/IEC 14496-2 (first rows; the full check is the permutation property).
TEST(BlockCoefficients, ScansArePermutationsWithTheStandardStarts) {
  const int16_t starts[3][8] = {{0, 1, 8, 16, 9, 2, 3, 10}, {0, 8, 16, 24, 1, 9, 2, 10}, {0, 1, 2, 3, 8, 9, 16, 17}};
  int16_t raster[64], scanned[64];
  for (int i = 0; i < 64; ++i) raster[i] = int16_t(i + 1000);  // nonzero, tagged with its raster index
  for (int sel = 0; sel < 3; ++sel) {
    ASSERT_EQ(kvniScanFwd_16s_C1(raster, scanned, 64, sel), 0);
    bool seen[64] = {};
    for (int k = 0; k < 64; ++k) {
      const int r = scanned[k] - 1000;
      ASSERT_TRUE(r >= 0 && r < 64 && !seen[r]);
      seen[r] = true;
      if (k < 8) {
        EXPECT_EQ(r, starts[sel][k]) << "selector " << sel << " position " << k;
      }
    }
    // The inverse scan puts every coefficient back.
    int16_t back[64];
    ASSERT_EQ(kvniScanInv_16s_C1(scanned, back, 63, sel), 0);
    EXPECT_EQ(std::memcmp(back, raster, sizeof raster), 0);
  }
  // Alternate-horizontal is the transpose of alternate-vertical.
  int16_t v[64], h[64];
  kvniScanFwd_16s_C1(raster, v, 64, 1);
  kvniScanFwd_16s_C1(raster, h, 64, 2);
  for (int k = 0; k < 64; ++k) {
    const int rv = v[k] - 1000;
    EXPECT_EQ(h[k] - 1000, (rv % 8) * 8 + rv / 8);
  }
  // Any other selector is zigzag.
  int16_t z[64], other[64];
  kvniScanFwd_16s_C1(raster, z, 64, 0);
  kvniScanFwd_16s_C1(raster, other, 64, -7);
  EXPECT_EQ(std::memcmp(z, other, sizeof z), 0);
}

TEST(BlockCoefficients, ForwardScanCountBelowTwentyStopsAtTheCount) {
  int16_t src[64] = {}, dst[64];
  src[0] = 5;   // zigzag position 0
  src[1] = 6;   // position 1
  src[63] = 7;  // position 63
  ASSERT_EQ(kvniScanFwd_16s_C1(src, dst, 2, 0), 0);
  EXPECT_EQ(dst[0], 5);
  EXPECT_EQ(dst[1], 6);
  EXPECT_EQ(dst[63], 0) << "the third nonzero coefficient is beyond the count";
  ASSERT_EQ(kvniScanFwd_16s_C1(src, dst, 20, 0), 0);
  EXPECT_EQ(dst[63], 7) << "with a count of 20 or more every position is copied";
}

TEST(BlockCoefficients, InverseScanLastIndexZeroKeepsOnlyDC) {
  int16_t src[64], dst[64];
  for (int i = 0; i < 64; ++i) src[i] = int16_t(i + 1);
  ASSERT_EQ(kvniScanInv_16s_C1(src, dst, 0, 1), 0);
  EXPECT_EQ(dst[0], 1);
  for (int i = 1; i < 64; ++i) EXPECT_EQ(dst[i], 0);
  ASSERT_EQ(kvniScanInv_16s_C1(src, dst, 2, 1), 0);
  EXPECT_EQ(dst[8], 2);  // alternate-vertical positions 1 and 2: raster 8 and 16
  EXPECT_EQ(dst[16], 3);
  EXPECT_EQ(dst[24], 0);
}

}  // namespace
