// Constant tables of H.264 that callers of the library need for parsing and
// for the arguments they derive (the library itself does not read them).
#pragma once

#include <cstdint>

namespace kvnsupport {

// Zig-zag scans of frame macroblocks (clause 8.5.6, 8.5.7): raster position
// of each scan index, 4x4 and 8x8.
extern const uint8_t kZigzag4x4[16];
extern const uint8_t kZigzag8x8[64];
// coded_block_pattern by codeNum of me(v) (clause 9.1.2, Table 9-4),
// ChromaArrayType 1 and 2: intra (Intra_4x4, Intra_8x8) and inter macroblocks.
extern const uint8_t kCbpIntra[48];
extern const uint8_t kCbpInter[48];
// QPc by qPI (clause 8.5.8, Table 8-15).
extern const uint8_t kChromaQp[52];
// Deblocking thresholds for 8-bit samples (clause 8.7.2.2): alpha' and beta'
// by indexA / indexB (Table 8-16), tc0' by indexA and bS 1..3 (Table 8-17).
// For bit depth B they are scaled by 2^(B - 8).
extern const uint8_t kAlpha[52];
extern const uint8_t kBeta[52];
extern const uint8_t kTc0[52][3];  // [indexA][bS - 1]

}  // namespace kvnsupport
