// MPEG-4 Visual / H.263 / H.261 coefficient writers: one 8x8 block of
// quantised levels as run-level codes (ISO/IEC 14496-2 7.4.1, 6.3.8 escapes,
// Annex B tables B-16, B-17, B-23; ITU-T H.263 5.4.2 Table 16, Annex I,
// Annex T; ITU-T H.261 4.2.4 Table 5) and the intra DC codes (H.263 INTRADC,
// ISO/IEC 14496-2 dct_dc_size and dct_dc_differential). Kernel types and table.
//
// Every kernel writes through a byte bit position (byte_bit_writer.h) whose
// pointer and offset 0..7 the entries have checked, without an end: the
// caller provides the room. Levels are read in the order of `scan` (64
// raster indices) from position `start`; `count` non-zero levels are coded
// (at least 1), the last of them with LAST set. A block with fewer non-zero
// levels than `count` codes those it has, the last one with LAST set. No
// level value makes a kernel read or write outside the block and the bits it
// codes.
#pragma once

#include <cstdint>

#include "core/dispatch.h"

namespace kvn {

struct CoeffEncodeArgs {
  const uint8_t* scan;  // 64 raster indices
  int32_t start;        // first scan position coded by the VLC: 0 or 1
  int32_t count;        // non-zero levels to code, 1..64
};

using CoeffEncodeFn = void (*)(const int16_t* blk, uint8_t** pp, int32_t* offset, const CoeffEncodeArgs& a);
// The H.263 INTRADC (blockType unused) or the MPEG-4 DC size and differential
// (blockType 1: chrominance), |dc| < 4096 for MPEG-4.
using DcEncodeFn = void (*)(int32_t dc, uint8_t** pp, int32_t* offset, int32_t blockType);

struct CoeffEncodeKernels {
  CoeffEncodeFn mpeg4[2];       // [intra]: Tables B-17 (inter) and B-16 (intra) with the three escapes
  CoeffEncodeFn mpeg4_rvlc[2];  // [intra]: Table B-23
  CoeffEncodeFn h263[2][2];     // [advanced intra (Annex I)][modified quantisation (Annex T)]
  CoeffEncodeFn h261[2];        // [intra]: intra writes INTRADC from position 0 first; both end in EOB
  DcEncodeFn dc_h263;
  DcEncodeFn dc_mpeg4;
};

// The scalar table kCoeffEncodeKernelsC and the rest: see KVN_DECLARE_FAMILY
// (core/dispatch.h). The family is scalar only: writing codes is serial.
KVN_DECLARE_FAMILY(coeff_encode, CoeffEncodeKernels);

}  // namespace kvn
