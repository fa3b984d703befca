// Constant tables of H.264 used by the decoder's parsing and decisions.
#pragma once

#include <cstdint>

#include "h264_tables.h"

namespace h264dec {

using kvnsupport::kAlpha;
using kvnsupport::kBeta;
using kvnsupport::kCbpInter;
using kvnsupport::kCbpIntra;
using kvnsupport::kChromaQp;
using kvnsupport::kTc0;
// Raster position (x, y in 4x4 units) of luma4x4BlkIdx and the inverse.
extern const uint8_t kBlkX[16], kBlkY[16];
extern const uint8_t kBlkIdx[4][4];  // [y][x]
// B macroblock types 1..21 (Table 7-14): shape (0 16x16, 1 16x8, 2 8x16) and
// the prediction of each partition (1 L0, 2 L1, 3 Bi).
extern const uint8_t kBTypes[22][3];
// B sub-macroblock types (Table 7-18): prediction (0 direct) and shape
// (0 8x8, 1 8x4, 2 4x8, 3 4x4).
extern const uint8_t kBSub[13][2];

}  // namespace h264dec
