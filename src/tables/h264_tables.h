// Constant tables of ITU-T H.264 for the 4x4 and DC transforms with
// quantisation.
#pragma once

#include <cstdint>

namespace kvn {

// Position classes of a 4x4 block (H.264 8.5.9, normAdjust4x4): E both row and
// column even, O both odd, M mixed.
enum PosClass : uint8_t { kClassE = 0, kClassO = 1, kClassM = 2 };

// Class of each raster position: E M E M / M O M O / E M E M / M O M O.
extern const uint8_t kPosClass4x4[16];

// Forward quantisation multipliers Q(m, class), m = qp % 6.
extern const int16_t kQuantMul[6][3];
// normAdjust4x4 v(m, class) of H.264 8.5.9.
extern const int16_t kNormAdjust[6][3];

// The same per raster position, for loading whole blocks:
// kQuantMul4x4[m][p] = Q(m, class(p)), kNormAdjust4x4[m][p] = v(m, class(p)),
// kLevelScale4x4[m][p] = 16 * v(m, class(p)) (flat-weight LevelScale4x4).
extern const int16_t kQuantMul4x4[6][16];
extern const int16_t kNormAdjust4x4[6][16];
extern const int16_t kLevelScale4x4[6][16];

// ---- 8x8 transform (High profile) -------------------------------------------

// Position classes of an 8x8 block (H.264 8.5.9): 0 both row and column
// multiples of 4; 1 both odd; 2 both 2 mod 4; 3 one a multiple of 4, the other
// odd; 4 one a multiple of 4, the other 2 mod 4; 5 otherwise.
int pos_class8x8(int row, int col);
// normAdjust8x8 v(m, class) of H.264 8.5.9 and the forward multipliers Q8(m, class).
extern const int16_t kNormAdjust8x8[6][6];
extern const int16_t kQuantMul8x8[6][6];

}  // namespace kvn
