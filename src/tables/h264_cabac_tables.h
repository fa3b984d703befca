// Constant tables of the H.264 CABAC engine (ITU-T H.264 9.3).
#pragma once

#include <cstdint>

namespace kvn {

constexpr int kCabacContexts = 460;
constexpr int kCabacEndOfSlice = 276;  // ctxIdx of end_of_slice_flag

// (m, n) for ctxIdx 0..459: [0] I and SI slices, [1 + cabac_init_idc] P, SP and B.
extern const int8_t kCabacInitMN[4][kCabacContexts][2];
// rangeTabLPS[pStateIdx][(codIRange >> 6) & 3] and transIdxLPS[pStateIdx].
extern const uint8_t kCabacRangeLps[64][4];
extern const uint8_t kCabacNextLps[64];
// rangeTabLPS with the LPS path's renormalisation, by pStateIdx and
// codIRange >> 6 (4..7, as qCodIRangeIdx 0..3; 0..3 repeat them): rLPS |
// shift << 8 | (rLPS << shift) << 16, shift the left shifts that bring rLPS
// to 256..510.
extern const uint32_t kCabacLps[64][8];
// The next context byte (bit 6 valMPS, bits 0..5 pStateIdx) by context byte
// and bin: Table 9-45 with valMPS flipping on an LPS in state 0.
extern const uint8_t kCabacNext[128][2];
// Table 9-43: ctxIdxInc of the 8x8 significance map by scanning position.
extern const uint8_t kCabacSig8x8[2][63];  // [0] frame, [1] field
extern const uint8_t kCabacLast8x8[63];

}  // namespace kvn
