// A CAVLC writer for the tests and fuzzers: a bit writer producing the word
// stream the decoders read, and the coding of one residual block (H.264
// 7.3.5.3.2, 9.2) from the syntax element values the CAVLC analysis returns.
// Not part of the library.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kvnvlc {

class BitWriter {
 public:
  // Appends the low n bits of bits, most significant first (bits above 31 are zeros).
  void put(uint32_t bits, int n);
  void put_ue(uint32_t v);                     // ue(v), clause 9.1
  void put_se(int32_t v);                      // se(v), clause 9.1.1
  std::size_t size() const { return count_; }  // bits written
  // The stream as the decoders read it: 32-bit words, the first bit in the
  // most significant bit of the first word, the last word padded with
  // `padBit`, then `spare` whole words of padBit.
  std::vector<uint32_t> words(int spare = 1, int padBit = 0) const;

 private:
  std::vector<uint32_t> words_;
  std::size_t count_ = 0;
};

// One residual block as the CAVLC analysis describes it.
struct CavlcBlock {
  int trailingOnes = 0;
  int signs = 0;  // first trailing one in the most significant of trailingOnes bits
  int totalCoeff = 0;
  int totalZeros = 0;
  int32_t levels[16] = {};  // totalCoeff - trailingOnes levels, highest frequency first
  uint8_t runs[16] = {};    // run_before of coefficients 0 .. totalCoeff - 2
};

// How a block is coded.
struct CavlcCoding {
  int nC = 0;         // 0.. (8 and above: the 6-bit code), -1 (2x2 chroma DC), -2 (2x4 chroma DC)
  int maxCoeff = 16;  // total_zeros follows when TotalCoeff < maxCoeff, from the table of tzVlcIndex
  // endIdx - startIdx + 1 of the coefficient-range decoder: below 16 the
  // coeff_token carries the pair's rank among the pairs that fit the range.
  int rangeCoeffs = 16;
};

// total_zeros table of a block: the block size whose table applies (4, 8 or
// 16) and tzVlcIndex, as the coefficient-range decoder chooses them from
// maxCoeff (1..16); for maxCoeff 4, 8, 15 and 16 the tables of clause 9.2.3.
struct TotalZerosTable {
  int blockCoeffs;
  int index;
};
TotalZerosTable total_zeros_table(int maxCoeff, int totalCoeff);

// Writes coeff_token, the trailing-one signs, the levels, total_zeros and the
// run_before values. Returns false, writing nothing, for a block the coding
// cannot carry (counts outside the tables, a level beyond level_prefix 32).
bool write_cavlc_block(BitWriter& w, const CavlcBlock& b, const CavlcCoding& c);

}  // namespace kvnvlc
