// Macroblock-layer tables of ISO/IEC 13818-2 (and 11172-2): the variable
// length codes of Tables B-1 to B-4, B-9 and B-10 in the library's Huffman
// source-table format (for kvniHuffmanTableInitAlloc_32s), the default
// quantiser matrix and the non-linear quantiser scale. (The block-level codes
// and the scans are in mpeg2_vlc_tables.h.)
#pragma once

#include <cstdint>
#include <vector>

namespace kvnsupport {

// Values of macroblock_address_increment (B-1) besides 1..33.
constexpr int32_t kMbEscape = 34;    // macroblock_escape: 33 more
constexpr int32_t kMbStuffing = 35;  // macroblock_stuffing (11172-2 only)

// macroblock_type flags (B-2 to B-4).
enum MbTypeFlags : int32_t {
  kMbQuant = 1,
  kMbForward = 2,
  kMbBackward = 4,
  kMbPattern = 8,
  kMbIntra = 16,
};

// The macroblock-layer codes: macroblock_address_increment (B-1; values
// 1..33, kMbEscape, kMbStuffing), macroblock_type of I, P and B pictures
// (B-2 to B-4; MbTypeFlags), coded_block_pattern (B-9; 4:2:0, 0..63),
// motion_code (B-10; -16..16).
enum class Mpeg2Syntax { kMbAddressIncrement, kMbTypeI, kMbTypeP, kMbTypeB, kCodedBlockPattern, kMotionCode };

// The source table of one (one lookup stage as wide as the longest code).
std::vector<int32_t> mpeg2_syntax_source(Mpeg2Syntax table);
// The code of a value: false when the table has none.
bool mpeg2_syntax_code(Mpeg2Syntax table, int32_t value, uint32_t& code, int& length);

// Default intra_quantiser_matrix (raster order), 7.3.11.
extern const uint8_t kMpeg2DefaultIntraMatrix[64];
// quantiser_scale by quantiser_scale_code for q_scale_type 1 (Table 7-6).
extern const uint8_t kMpeg2NonLinearScale[32];

}  // namespace kvnsupport
