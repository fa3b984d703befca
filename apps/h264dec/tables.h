// Constant tables of H.264 used by the decoder's parsing and decisions.
#pragma once

#include <cstdint>

namespace h264dec {

extern const uint8_t kCbpIntra[48];  // 9.1.2, ChromaArrayType 1 and 2
extern const uint8_t kCbpInter[48];
extern const uint8_t kChromaQp[52];  // 8.5.8, Table 8-15
extern const uint8_t kAlpha[52];     // 8.7.2.2, Table 8-16
extern const uint8_t kBeta[52];
extern const uint8_t kTc0[52][3];    // Table 8-17
// Raster position (x, y in 4x4 units) of luma4x4BlkIdx and the inverse.
extern const uint8_t kBlkX[16], kBlkY[16];
extern const uint8_t kBlkIdx[4][4];  // [y][x]

// LevelScale tables (8.5.9): normAdjust times the weights, raster order.
void level_scale_4x4(const uint8_t* weights, int m, int16_t* out);
void level_scale_8x8(const uint8_t* weights, int m, int16_t* out);

}  // namespace h264dec
