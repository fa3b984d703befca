// DV segment decoding (IEC 61834-2, SMPTE 314M, SMPTE 370M): one video
// segment of five compressed macroblocks (80 bytes each, 400 in all) into
// coefficient blocks and a parameter word per block.
//
// Layouts: DV, six block areas per macroblock at bytes 4, 18, 32, 46 (14
// bytes) and 60, 70 (10 bytes); DV100, eight at bytes 4, 14, 24, 34, 44, 54
// (10 bytes) and 64, 72 (8 bytes). An area starts with the 9-bit DC, the DCT
// mode bit and two class bits; the AC codes (dv_tables.h) follow.
//
// Output per block (64 values, raster order, block k at 64 k): position 0
// receives DC x 128; each AC coefficient lands, as +-amplitude x 64, on the
// raster position of its scan index (the scan of the block's mode). Nothing
// else is written: the caller clears the blocks. Parameter word per block:
// bit 0 end of block decoded, bits 4..5 class, bit 6 mode, bits 8..15 the
// scan positions consumed (the scan index of the last coefficient; 64 when a
// code ran past the block, see below), bits 16..19 the macroblock's QNO.
//
// Bit redistribution, in this order:
//  1. every block decodes from its own area. It ends finished with spare bits
//     (a donor), finished with its area used up, or unfinished (a receiver);
//     a receiver keeps the bits at the end of its area that do not hold a
//     whole code as the first bits of its next code;
//  2. per macroblock, its receivers in area order continue from its donors'
//     spare bits in area order, each donor's bits until exhausted, a code
//     continuing from one donor's last bits into the next donor's;
//  3. the receivers still unfinished, in macroblock and area order, continue
//     from the spare bits left in all donors of the segment, in macroblock
//     and area order, by the same rule.
// The one-pass variant runs step 1 only and stops a block as soon as its
// scan index reaches the limit (limit 0: DC only; 64 and above: no limit).
//
// A code that would carry the scan index past 63 (never in a valid stream)
// stops its block: nothing is written for it, bit 0 stays 0, the position
// count reads 64, and the block neither receives nor donates bits after it.
//
// Reads: the segment and at most 8 bytes past its end (bytes 0..407), in
// 64-bit groups.
#pragma once

#include <cstdint>

#include "core/dispatch.h"

namespace kvn {

inline constexpr int kDvSegmentBytes = 400;
inline constexpr int kDvBlocks = 30;     // per segment
inline constexpr int kDv100Blocks = 40;  // per segment

// limit: the one-pass variant's scan limit (0..64); the others take 64.
using DvSegmentFn = void (*)(const uint8_t* segment, int16_t* blocks, uint32_t* params, int limit);

struct DvSegmentKernels {
  DvSegmentFn dv;
  DvSegmentFn dv_one_pass;
  DvSegmentFn dv100;
};

// The scalar table kDvSegmentKernelsC and the rest: see KVN_DECLARE_FAMILY
// (core/dispatch.h). The family is scalar only: bit parsing is serial.
KVN_DECLARE_FAMILY(dv_segment, DvSegmentKernels);

}  // namespace kvn
