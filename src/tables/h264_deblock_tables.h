// Thresholds of the H.264 deblocking filter for 8-bit samples (clause 8.7.2.2):
// alpha' and beta' by indexA / indexB (Table 8-16) and tc0' by indexA and bS
// 1..3 (Table 8-17). For bit depth B the values are scaled by 2^(B - 8).
#pragma once

#include <cstdint>

namespace kvn {

extern const uint8_t kH264Alpha[52];
extern const uint8_t kH264Beta[52];
extern const uint8_t kH264Tc0[52][3];  // [indexA][bS - 1]

}  // namespace kvn
