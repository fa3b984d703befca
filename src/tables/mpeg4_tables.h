// Constant tables of ISO/IEC 14496-2 (MPEG-4 Visual) shared by the block layer
// and the MPEG-4 / H.263 coefficient coders.
#pragma once

#include <cstdint>

namespace kvn {

// Raster index of the k-th coefficient of an 8x8 block along each scan
// (ISO/IEC 14496-2 Figure 7-2 zigzag, Figure 7-3 alternate-horizontal and
// alternate-vertical; the zigzag and alternate-vertical scans are also those of
// ISO/IEC 13818-2 Figure 7-2 and 7-3).
extern const uint8_t kScanZigzag[64];
extern const uint8_t kScanAltVertical[64];
extern const uint8_t kScanAltHorizontal[64];

}  // namespace kvn
