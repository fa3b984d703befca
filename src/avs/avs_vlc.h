// AVS video (GB/T 20090.2) coefficient block decoding with the
// context-adaptive 2-D VLC: intra luma, inter luma and chroma. Kernel types
// and table.
//
// Kernels read through a word bit position (h264/cavlc/cavlc_bits.h) from
// *pp / *index (the entries have checked the pointers and index <= 31). A
// block is a list of (run, level) codes, read until end of block, until a run
// carries the position past 63, or until 65 codes; then the 64 coefficients
// are cleared and the levels placed in reverse order of reading (the last one
// read is the first in scan order) at the raster positions of the scan.
// *count receives the scan positions covered (one more than the highest one
// holding a coefficient, 0 for an empty block), or 63 with the field scan.
//
// Code errors (KVN_STS_VLC_CODE_ERR): an Exp-Golomb prefix whose codeNum
// would not fit 32 bits (more than 31 - k leading zeros for order k), or an
// escape level outside -32768..32767. Nothing is written then and the bit
// position stays where it was. Whatever the stream holds, no coefficient
// lands outside the block, and nothing is read beyond the word after the one
// holding the last bit examined.
#pragma once

#include <cstdint>

#include "core/dispatch.h"

namespace kvn {

// field: nonzero selects the field scan, 0 the zigzag scan.
using AvsBlockDecodeFn = int (*)(const uint32_t** pp, uint32_t* index, uint32_t* count, int16_t* block, int32_t field);

struct AvsVlcKernels {
  AvsBlockDecodeFn intra_luma;
  AvsBlockDecodeFn inter_luma;
  AvsBlockDecodeFn chroma;
};

// The scalar table kAvsVlcKernelsC and the rest: see KVN_DECLARE_FAMILY
// (core/dispatch.h). The family is scalar only: bit parsing is serial.
KVN_DECLARE_FAMILY(avs_vlc, AvsVlcKernels);

}  // namespace kvn
