// Constants of the VC-1 transforms (SMPTE 421M 8.1.2.1 and the forward
// transforms that match it).
#pragma once

#include <cstdint>

namespace kvn {
namespace vc1 {

// Inverse transform matrices, entry [k][n]: frequency k, sample n.
inline constexpr int32_t kInv4[4][4] = {{17, 17, 17, 17}, {22, 10, -10, -22}, {17, -17, -17, 17}, {10, -22, 22, -10}};
inline constexpr int32_t kInv8[8][8] = {{12, 12, 12, 12, 12, 12, 12, 12},     {16, 15, 9, 4, -4, -9, -15, -16},
                                        {16, 6, -6, -16, -16, -6, 6, 16},     {15, -4, -16, -9, 9, 16, 4, -15},
                                        {12, -12, -12, 12, 12, -12, -12, 12}, {9, -16, 4, 15, -15, -4, 16, -9},
                                        {6, -16, 16, -6, -6, 16, -16, 6},     {4, -9, 15, -16, 16, -15, 9, -4}};

// Forward basis rows, [k][n]: each is row k of the inverse matrix divided by
// its squared norm, scaled by 2^20 (4-point) or 2^21 (8-point), so that a
// forward transform followed by the inverse one gives the residual back.
inline constexpr int32_t kFwd4[4][4] = {{15420, 15420, 15420, 15420},
                                        {19751, 8978, -8978, -19751},
                                        {15420, -15420, -15420, 15420},
                                        {8978, -19751, 19751, -8978}};
inline constexpr int32_t kFwd8[8][8] = {{21845, 21845, 21845, 21845, 21845, 21845, 21845, 21845},
                                        {29026, 27212, 16327, 7257, -7257, -16327, -27212, -29026},
                                        {28728, 10773, -10773, -28728, -28728, -10773, 10773, 28728},
                                        {27212, -7257, -29026, -16327, 16327, 29026, 7257, -27212},
                                        {21845, -21845, -21845, 21845, 21845, -21845, -21845, 21845},
                                        {16327, -29026, 7257, 27212, -27212, -7257, 29026, -16327},
                                        {10773, -28728, 28728, -10773, -10773, 28728, -28728, 10773},
                                        {7257, -16327, 27212, -29026, 29026, -27212, 16327, -7257}};

// Rounding term and shift of each forward stage: rows (by the row length),
// then columns (by the column length).
struct FwdStage {
  int32_t round;
  int shift;
};
inline constexpr FwdStage kFwdRow4 = {1024, 11}, kFwdRow8 = {2048, 12};
inline constexpr FwdStage kFwdCol4 = {262144, 19}, kFwdCol8 = {524288, 20};
constexpr FwdStage kFwdRow(int n) { return n == 4 ? kFwdRow4 : kFwdRow8; }
constexpr FwdStage kFwdCol(int n) { return n == 4 ? kFwdCol4 : kFwdCol8; }

}  // namespace vc1
}  // namespace kvn
