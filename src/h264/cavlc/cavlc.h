// H.264 Exp-Golomb and CAVLC residual decoding (clauses 9.1, 9.2). Kernel
// types and table.
//
// Every kernel reads through a word bit position (cavlc_bits.h) from
// *pp / *index (the entries have checked pointers and index <= 31) and
// returns 0, KVN_STS_NULL_PTR for a table missing from a caller's array
// (found when it is about to be used: the position has then moved past the
// bits read so far and is stored so) or KVN_STS_VLC_CODE_ERR for a code error
// (the position is left as it was). Whatever the stream and the tables hold,
// no coefficient lands outside the block, no lookup runs without bound and
// nothing is read beyond the word after the one holding the next bit.
//
// Lookup tables (caller's, multi-level): word 0 the bits b (1..16) read by the
// first level, then 2^b entries; an entry with bit 7 set links to the
// sub-table at word offset entry >> 8 (b, then 2^b entries); otherwise it is a
// leaf: value = entry >> 8, entry & 0x7f bits given back (at most the bits
// its level read). A lookup reads at most 32 bits over all its levels. The
// value 0xF0F1 marks a pattern that is not a codeword.
#pragma once

#include <cstdint>

#include "core/dispatch.h"

namespace kvn {

// ue(v) / se(v): codeNum is decoded when leadingZeroBits <= maxDecoded (16 or
// 31), else the info bits are passed over and the result is 0; 32 or more
// leading zeros are a code error.
using ExpGolombFn = int (*)(const uint32_t** pp, uint32_t* index, int32_t* value, bool isSigned, int maxDecoded);

// Arguments of a block decode besides the bit position and outputs.
struct CavlcArgs {
  int32_t nC;                        // 0.. for 4x4 blocks (8 and above: 6-bit code)
  int32_t maxCoeff;                  // maxNumCoeff
  const int32_t* const* coeffToken;  // 4x4: three tables; chroma DC: the one table in [0]
  const int32_t* const* totalZeros;
  const int32_t* const* runBefore;
  const int32_t* scan;  // 4x4 blocks: 16 raster positions
  int32_t start, end;   // coefficient range (range member), else 0, 15
};

// 4x4 blocks (maxCoeff 15 or 16, nC >= 0), the coefficient-range member and
// the chroma DC blocks; the coefficients go to *coef, which advances by the
// block's entries when TotalCoeff > 0.
using Cavlc16sFn = int (*)(const uint32_t** pp, uint32_t* index, int16_t* numCoeff, int16_t** coef, const CavlcArgs& a);
using Cavlc32sFn = int (*)(const uint32_t** pp, uint32_t* index, int16_t* numCoeff, int32_t** coef, const CavlcArgs& a);

struct CavlcKernels {
  ExpGolombFn exp_golomb;
  Cavlc16sFn block16s;
  Cavlc32sFn block32s;
  Cavlc16sFn range16s;
  Cavlc16sFn dc2x2_16s;  // decodes "1" and "01" itself
  Cavlc32sFn dc2x2_32s;
  Cavlc16sFn dc2x4_16s;
  Cavlc32sFn dc2x4_32s;
};

// The scalar table kCavlcKernelsC, the table of each level cavlc_kernels(isa),
// the chosen one cavlc_kernels() and the SIMD steps cavlc_init_<level>: see
// KVN_DECLARE_FAMILY (core/dispatch.h).
KVN_DECLARE_FAMILY(cavlc, CavlcKernels);

}  // namespace kvn
