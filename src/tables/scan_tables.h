// The conventional 8x8 zigzag scan, as a compile-time table for the families
// that check their scans with static assertions (AVS, DV).
#pragma once

#include <cstdint>

namespace kvn {

// Raster index of the k-th coefficient along the zigzag scan (ISO/IEC 13818-2
// Figure 7-2; GB/T 20090.2 and IEC 61834-2 use the same order).
inline constexpr uint8_t kZigzag8x8[64] = {0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,
                                           12, 19, 26, 33, 40, 48, 41, 34, 27, 20, 13, 6,  7,  14, 21, 28,
                                           35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23, 30, 37, 44, 51,
                                           58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};

}  // namespace kvn
