// Constant tables of the H.264 CABAC engine (ITU-T H.264 9.3).
#pragma once

#include <cstdint>

namespace kvn {

constexpr int kCabacContexts = 460;
constexpr int kCabacEndOfSlice = 276;  // ctxIdx of end_of_slice_flag

// (m, n) for ctxIdx 0..459: [0] I and SI slices, [1 + cabac_init_idc] P, SP and B.
extern const int8_t kCabacInitMN[4][kCabacContexts][2];
// The engine's tables, built at compile time from rangeTabLPS and transIdxLPS
// (H.264 Tables 9-44, 9-45):
//   lps[pStateIdx][codIRange >> 6]: rLPS | shift << 8 | (rLPS << shift) << 16,
//     shift the left shifts that bring rLPS to 256..510 (index 4..7 is
//     qCodIRangeIdx 0..3; 0..3 repeat them);
//   next[context byte][bin]: the next context byte (bit 6 valMPS, bits 0..5
//     pStateIdx), valMPS flipping on an LPS in state 0.
struct CabacEngineTables {
  uint32_t lps[64][8];
  uint8_t next[128][2];
};
extern const CabacEngineTables kCabacEngine;
// Table 9-43: ctxIdxInc of the 8x8 significance map by scanning position.
extern const uint8_t kCabacSig8x8[2][63];  // [0] frame, [1] field
extern const uint8_t kCabacLast8x8[63];

}  // namespace kvn
