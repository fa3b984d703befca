// MPEG-1/MPEG-2 VLC decoding with block reconstruction and the block writers
// (ISO/IEC 11172-2 2.4.3.7, 2.4.4; ISO/IEC 13818-2 7.2 - 7.4, Annex B).
// Kernel types and table.
//
// Readers take a word bit position (*pp, *index with index 0..31, checked by
// the entries) and a multi-stage table (layout in mpeg2_vlc_table.h). They
// return KVN_STS_OK or KVN_STS_VLC_CODE_ERR and never touch memory beyond the
// word after the one holding the last bit they consume (the word after the
// current one when they consume none). Whatever the stream and the tables
// hold, no coefficient lands outside the block and no lookup runs without
// bound.
//
// Writers take an output position (*pp, *freeBits with freeBits 1..32,
// checked by the entries) and a run-level encoding table built by
// build_rl_encode_table; they write through the caller's buffer without an
// end (the entries have checked everything else).
#pragma once

#include <cstdint>

#include "core/dispatch.h"

namespace kvn {

// Arguments of a block decode besides the bit position and outputs.
struct Mpeg2BlockArgs {
  const int32_t* first;    // non-intra: first-coefficient table; intra: dct_dc_size table
  const int32_t* ac;       // run-level table of the other coefficients
  const int32_t* scan;     // 64 raster indices by scan position
  int32_t quantScale;      // quantiser_scale
  const int16_t* weights;  // 64 in raster order; null: 16 everywhere
  int16_t* dcPred;         // intra
  int32_t shiftDC;         // MPEG-2 intra: 3 - intra_dc_precision (0..3)
};

// Arguments of a block writer besides the output position and the block.
struct Mpeg2PutArgs {
  const int32_t* rlTable;
  const int32_t* scan;         // taken modulo 64
  int32_t* dcPred;             // intra
  const int32_t* dcSizeTable;  // intra: (code, length) by dct_dc_size; lengths 1..32
  int32_t eobLength;           // 0..32
  int32_t eobCode;
  int32_t count;  // non-zero levels to write
};

using HuffmanOneFn = int (*)(const uint32_t** pp, uint32_t* index, int32_t* value, const int32_t* table);
using HuffmanPairFn = int (*)(const uint32_t** pp, uint32_t* index, const int32_t* table, uint8_t* first,
                              int16_t* second);
// Writes the block and, on success, the last scan position.
using Mpeg2BlockFn = int (*)(const uint32_t** pp, uint32_t* index, const Mpeg2BlockArgs& a, int16_t* block,
                             int32_t* last);
using Mpeg2PutFn = void (*)(uint32_t** pp, int32_t* freeBits, const int16_t* block, const Mpeg2PutArgs& a);

struct Mpeg2VlcKernels {
  HuffmanOneFn decode_one;
  HuffmanPairFn decode_pair;
  Mpeg2BlockFn inter_mpeg1;
  Mpeg2BlockFn inter_mpeg2;
  Mpeg2BlockFn intra_mpeg1;
  Mpeg2BlockFn intra_mpeg2;
  Mpeg2PutFn put_intra;
  Mpeg2PutFn put_inter;
};

// The scalar table kMpeg2VlcKernelsC and the rest: see KVN_DECLARE_FAMILY
// (core/dispatch.h). The family is scalar only: bit parsing is serial.
KVN_DECLARE_FAMILY(mpeg2_vlc, Mpeg2VlcKernels);

}  // namespace kvn
