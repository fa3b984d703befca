// The codeword order of coeff_token and the byte tables of the SIMD analysis.
#include "h264_cavlc_tables.h"

namespace kvn {
namespace {

// Pairs coded TotalCoeff * 4 + TrailingOnes, in the order of their codewords
// in each column of Table 9-5 (shorter first, equal lengths by decreasing
// value).
constexpr uint8_t kOrder[3][62] = {
    {0,  5,  10, 15, 4,  9,  19, 14, 23, 8,  13, 18, 27, 12, 17, 22, 31, 16, 21, 26, 35,
     20, 25, 30, 39, 24, 29, 34, 43, 28, 33, 38, 32, 36, 37, 42, 47, 40, 41, 46, 51, 44,
     45, 50, 55, 48, 49, 54, 59, 53, 52, 57, 58, 63, 56, 61, 62, 67, 60, 65, 66, 64},
    {0,  5,  10, 15, 19, 9,  23, 4,  13, 14, 27, 8,  17, 18, 31, 12, 21, 22, 35, 16, 25,
     26, 20, 24, 29, 30, 39, 28, 33, 34, 43, 32, 37, 38, 47, 36, 41, 42, 51, 40, 45, 46,
     44, 48, 49, 50, 55, 52, 53, 54, 59, 56, 58, 63, 57, 62, 60, 61, 64, 65, 66, 67},
    {0,  5,  10, 15, 19, 23, 27, 31, 9,  14, 35, 13, 18, 17, 22, 21, 4,  25, 26, 39, 8,
     29, 30, 12, 16, 33, 34, 43, 20, 38, 24, 28, 32, 37, 42, 47, 36, 41, 46, 51, 40, 45,
     50, 55, 44, 49, 54, 48, 53, 52, 57, 58, 59, 56, 61, 62, 63, 60, 65, 66, 67, 64},
};

constexpr CoeffTokenOrder make_order(const uint8_t (&pairs)[62]) {
  CoeffTokenOrder t{};
  for (int i = 0; i < 68; ++i) t.rank[i] = 0xff;
  for (int i = 0; i < 62; ++i) {
    t.pair[i] = pairs[i];
    t.rank[pairs[i]] = uint8_t(i);
  }
  return t;
}

constexpr CavlcShuffles make_shuffles() {
  CavlcShuffles t{};
  for (int m = 0; m < 256; ++m) {
    int n = 0;
    for (int b = 7; b >= 0; --b)
      if (m >> b & 1) t.bitsDescending[m][n++] = uint8_t(b);
    while (n < 8) t.bitsDescending[m][n++] = 0xf8;
  }
  for (int c = 0; c <= 16; ++c)
    for (int j = 0; j < 16; ++j) t.shiftUp[c][j] = j < c ? 0x80 : uint8_t(j - c);
  for (int c = 0; c < 4; ++c)
    for (int j = 0; j < 16; ++j) t.shiftDown[c][j] = j + c < 16 ? uint8_t(j + c) : 0x80;
  return t;
}

}  // namespace

constexpr CavlcShuffles kCavlcShuffles = make_shuffles();

constexpr CoeffTokenOrder kCoeffTokenOrder[3] = {make_order(kOrder[0]), make_order(kOrder[1]), make_order(kOrder[2])};

// Each column holds 62 distinct pairs; the first column's order begins (0,0)
// (1,1) (2,2) (3,3) (1,0) (2,1) (4,3) (3,2) (5,3).
static_assert(kCoeffTokenOrder[0].pair[0] == 0 && kCoeffTokenOrder[0].pair[4] == 4 &&
              kCoeffTokenOrder[0].pair[6] == 19 && kCoeffTokenOrder[0].pair[8] == 23);
static_assert(kCoeffTokenOrder[0].rank[kCoeffTokenOrder[0].pair[61]] == 61 &&
              kCoeffTokenOrder[1].rank[kCoeffTokenOrder[1].pair[61]] == 61 &&
              kCoeffTokenOrder[2].rank[kCoeffTokenOrder[2].pair[61]] == 61);

}  // namespace kvn
