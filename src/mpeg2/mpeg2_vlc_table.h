// MPEG-1/MPEG-2 VLC tables: the decoding tables built from a caller's source
// description, the run-level encoding table, and their builders.
//
// Decoding table (32-bit words): [0] = B0, then 2^B0 entries; each further
// subtable a header word (its B) and 2^B entries, appended in the order the
// build first needs them. Entries: leaf value << 8 | u (u < B bits of the
// stage given back; run-level leaves second << 16 | (first & 255) << 8 | u),
// link offset << 8 | 128 (word index of the subtable's header), invalid
// kInvalidEntry (every word is preset to it).
//
// Run-level encoding table: [0] = escape code << 4 | length (bits 0..9),
// end-of-block code << 4 | length (bits 10..19), largest run R (bits 20..);
// [1 + r] = byte offset of run r's base word, which holds the largest |level|
// m of the run; the word base + level (level = -m .. m, not 0) holds
// code << 16 | length.
#pragma once

#include <cstdint>

namespace kvn {

constexpr int32_t kVlcInvalidEntry = 0x00F0F101;
constexpr int kVlcMaxStageBits = 16;
constexpr int kVlcMaxCodeBits = 32;
constexpr int kRunEndOfBlock = 254;
constexpr int kRunEscape = 255;
// Links address the subtables' headers with 23 bits.
constexpr int64_t kVlcMaxTableWords = int64_t(1) << 23;

// The builders: 0, KVN_STS_MEM_ALLOC, KVN_STS_VLC_CODE_ERR (malformed source;
// see the header for the rules). *table is written only on success.
int build_huffman_table(const int32_t* src, bool runLevel, int32_t** table);
int build_rl_encode_table(const int32_t* src, int32_t** table);

}  // namespace kvn
