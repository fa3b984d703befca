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

}  // namespace h264dec
