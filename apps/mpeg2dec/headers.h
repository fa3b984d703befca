// Sequence, GOP and picture layer headers of ISO/IEC 13818-2 6.2.2 and 6.2.3
// (and of 11172-2, which has no extensions).
#pragma once

#include <cstdint>
#include <string>

#include "stream.h"

namespace mpeg2dec {

// Start code values (the byte after 00 00 01).
enum StartCode : uint32_t {
  kPictureStart = 0x00,
  kSliceFirst = 0x01,
  kSliceLast = 0xaf,
  kUserData = 0xb2,
  kSequenceHeader = 0xb3,
  kExtension = 0xb5,
  kSequenceEnd = 0xb7,
  kGroupStart = 0xb8,
};

struct Sequence {
  bool valid = false;
  bool mpeg2 = false;         // a sequence_extension follows the sequence header
  int width = 0, height = 0;  // horizontal_size, vertical_size
  int chromaFormat = 1;
  int rateNum = 0, rateDen = 1;  // frame_rate_code's rate (Table 6-4); 0 when reserved
  bool progressive = true;
  // Quantiser matrices in raster order: [0] intra, [1] non-intra.
  uint8_t matrix[2][64];
};

struct PictureHeader {
  int temporalReference = 0;
  int type = 0;  // 1 I, 2 P, 3 B (4 D)
  // f_code[s][t]: s 0 forward, 1 backward; t 0 horizontal, 1 vertical.
  int fCode[2][2] = {{15, 15}, {15, 15}};
  bool fullPel[2] = {false, false};  // 11172-2 full_pel_forward/backward_vector
  int intraDcPrecision = 0;
  int structure = 3;  // picture_structure, 3 frame
  bool topFieldFirst = false;
  bool framePredFrameDct = true;
  bool concealmentVectors = false;
  bool qScaleType = false;
  bool intraVlcFormat = false;
  bool alternateScan = false;
};

// Each returns an empty string, or what is wrong or unsupported
// ("unsupported: ..." for valid streams this decoder does not handle).
std::string parse_sequence_header(Bits& b, Sequence& seq);
std::string parse_extension(Bits& b, Sequence& seq, PictureHeader* pic);
std::string parse_picture_header(Bits& b, const Sequence& seq, PictureHeader& pic);

}  // namespace mpeg2dec
