// Tables the H.264 CAVLC kernels read: the codeword order of coeff_token
// (Table 9-5) for the coefficient-range decoder, and the byte tables of the
// SIMD analysis.
#pragma once

#include <cstdint>

namespace kvn {

// The 62 (TotalCoeff, TrailingOnes) pairs of a column of Table 9-5 in the
// order of their codewords: shorter first, equal lengths by decreasing value.
// Pairs are coded TotalCoeff * 4 + TrailingOnes; rank gives the position of
// each coded pair in the order, 0xff for pairs without a codeword.
struct CoeffTokenOrder {
  uint8_t pair[62];
  uint8_t rank[68];
};
extern const CoeffTokenOrder kCoeffTokenOrder[3];

// Byte tables of the SIMD CAVLC analysis. bitsDescending[m]: the indices of
// the set bits of m, highest first, then 0xf8 bytes. shiftUp[c]: a shuffle
// moving bytes up by c (zero below). shiftDown[t]: a shuffle moving bytes down
// by t (zero above).
struct alignas(16) CavlcShuffles {
  uint8_t bitsDescending[256][8];
  uint8_t shiftUp[17][16];
  uint8_t shiftDown[4][16];
};
extern const CavlcShuffles kCavlcShuffles;

}  // namespace kvn
