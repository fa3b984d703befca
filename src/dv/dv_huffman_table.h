// The DV Huffman table builder behind kvniInitAllocHuffmanTable_DV_32u.
//
// Source table (32-bit words): [0] b, the lookup bits (0..16); [1], [2] not
// read; from [3] on, for each code length L = 1 .. b in turn, a count n
// (0 .. 2^L) followed by n triples (code, run, level), the run taken from the
// low byte of its word.
//
// Built table: 2^b1 entries for the first source, then 2^b2 for the second,
// four bytes each: code length (255: no code reaches the index; the second
// table's lengths are L + 4, counting the "1111" its index follows), run,
// and level x 64 as an unsigned 16-bit value (little-endian). Each code of
// length L fills the 2^(b - L) entries from (code << (b - L)) masked to b
// bits, so no code, whatever its value, reaches outside its table; later codes
// overwrite earlier ones.
#pragma once

#include <cstdint>

namespace kvn {

inline constexpr int kDvTableMaxBits = 16;

// 0 with *table set; KVN_STS_SIZE_ERR (b outside 0..16) or
// KVN_STS_VLC_CODE_ERR (a count outside 0..2^L) with nothing written, the
// sources read up to the faulty word; KVN_STS_MEM_ALLOC with *table null.
int build_dv_huffman_table(const int32_t* first, const int32_t* second, int32_t** table);

}  // namespace kvn
