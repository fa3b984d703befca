// Lookup tables for the CAVLC decoders, built from the code tables of H.264
// (h264_cavlc_codes.h) in the library's multi-level format:
//
//   word 0: b0, the bits read by the first level; words 1 .. 2^b0: its entries;
//   sub-tables anywhere after it: b, then 2^b entries. An entry with bit 7 set
//   links to the sub-table at word offset entry >> 8; otherwise it is a leaf:
//   value << 8 | the number of bits read by its level that are given back.
//   Patterns that begin no codeword hold the value 0xF0F1.
//
// Part of the support library of the sample programs, tests and fuzzers;
// callers of the library build their own tables (or copy these).
#pragma once

#include <cstdint>
#include <vector>

namespace kvnvlc {

// The leaf value of patterns that begin no codeword.
constexpr int32_t kInvalidValue = 0xF0F1;

// A codeword of len bits (1..32, right-aligned in bits) and the value its leaf holds.
struct Code {
  int len;
  uint32_t bits;
  int32_t value;
};

// Builds the table of a prefix-free set of codes. The first level reads
// firstBits, every deeper level at most subBits (1..16 each; no level reads
// more bits than the longest codeword needs).
std::vector<int32_t> build_vlc_table(const std::vector<Code>& codes, int firstBits, int subBits);

// H.264's codes with the values the decoders expect.
// coeff_token (Table 9-5): TotalCoeff << 8 | TrailingOnes; nC 0..7 (the
// columns 0..1, 2..3, 4..7), -1 (4:2:0 chroma DC) or -2 (4:2:2 chroma DC).
std::vector<Code> coeff_token_codes(int nC);
// total_zeros for blocks of blockCoeffs 16 (Tables 9-7, 9-8), 4 (Table 9-9a)
// or 8 (Table 9-9b), tzVlcIndex 1 .. blockCoeffs - 1.
std::vector<Code> total_zeros_codes(int blockCoeffs, int tzVlcIndex);
// run_before (Table 9-10) for zerosLeft 1.. (above 6 one table of runs 0..14).
std::vector<Code> run_before_codes(int zerosLeft);

// Every table the CAVLC decoders take, in the arrays they take them in.
class CavlcTables {
 public:
  // firstBits, subBits: the level sizes of every table (see build_vlc_table).
  explicit CavlcTables(int firstBits = 8, int subBits = 4);
  CavlcTables(const CavlcTables&) = delete;
  CavlcTables& operator=(const CavlcTables&) = delete;

  // The three 4x4 coeff_token tables (nC 0..1, 2..3, 4..7).
  const int32_t* const* coeff_token() const { return coeffToken_; }
  const int32_t* coeff_token_dc2x2() const { return coeffTokenDc_[0]; }  // nC -1
  const int32_t* coeff_token_dc2x4() const { return coeffTokenDc_[1]; }  // nC -2
  // total_zeros arrays indexed by TotalCoeff (entry 0 is null): 1..15 for
  // 4x4 blocks, 1..3 for 2x2 and 1..7 for 2x4 chroma DC.
  const int32_t* const* total_zeros() const { return totalZeros_; }
  const int32_t* const* total_zeros_dc2x2() const { return totalZerosDc2x2_; }
  const int32_t* const* total_zeros_dc2x4() const { return totalZerosDc2x4_; }
  // run_before indexed by zerosLeft 1..15 (entry 0 is null; 7..15 share a table).
  const int32_t* const* run_before() const { return runBefore_; }

 private:
  std::vector<std::vector<int32_t>> store_;
  const int32_t* coeffToken_[3];
  const int32_t* coeffTokenDc_[2];
  const int32_t* totalZeros_[16];
  const int32_t* totalZerosDc2x2_[4];
  const int32_t* totalZerosDc2x4_[8];
  const int32_t* runBefore_[16];
};

}  // namespace kvnvlc
