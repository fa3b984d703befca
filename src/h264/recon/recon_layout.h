// Layout of the H.264 macroblock walk shared by the reconstruction families
// (8-bit and high bit depth): block positions, coded-block mask bits, edge
// flags and the availability of intra neighbours derived from them.
//
// Header-only; nothing here depends on the sample type. Positions are in
// samples; multiply rows by the row pitch of the plane in samples.
#pragma once

#include <cstdint>

namespace kvn {
namespace h264 {

// ---------------------------------------------------------------------------
// Luma 4x4 blocks in luma4x4BlkIdx order (H.264 6.4.3): the 8x8 quadrants
// top-left, top-right, bottom-left, bottom-right, each split the same way.
constexpr uint8_t kLuma4x4X[16] = {0, 4, 0, 4, 8, 12, 8, 12, 0, 4, 0, 4, 8, 12, 8, 12};
constexpr uint8_t kLuma4x4Y[16] = {0, 0, 4, 4, 0, 0, 4, 4, 8, 8, 12, 12, 8, 8, 12, 12};
// Raster position (4 * blockRow + blockCol) of block k in the 4x4 array of
// Intra16x16 DC levels.
constexpr uint8_t kLumaDcPos[16] = {0, 1, 4, 5, 2, 3, 6, 7, 8, 9, 12, 13, 10, 11, 14, 15};

// 8x8 blocks in luma8x8BlkIdx order.
constexpr uint8_t kLuma8x8X[4] = {0, 8, 0, 8};
constexpr uint8_t kLuma8x8Y[4] = {0, 0, 8, 8};

// Chroma 4x4 blocks of one 8x8 component (4:2:0), raster order.
constexpr uint8_t kChroma4x4X[4] = {0, 4, 0, 4};
constexpr uint8_t kChroma4x4Y[4] = {0, 0, 4, 4};

// Offset in samples of the top-left sample of a block, `pitch` samples per row.
inline intptr_t luma4x4_offset(int k, intptr_t pitch) { return kLuma4x4Y[k] * pitch + kLuma4x4X[k]; }
inline intptr_t luma8x8_offset(int b, intptr_t pitch) { return kLuma8x8Y[b] * pitch + kLuma8x8X[b]; }
inline intptr_t chroma4x4_offset(int k, intptr_t pitch) { return kChroma4x4Y[k] * pitch + kChroma4x4X[k]; }

// ---------------------------------------------------------------------------
// Coded-block mask of one macroblock.
constexpr uint32_t kMaskLumaDc = 1u << 0;           // Intra16x16 DC block
constexpr uint32_t kMaskLuma4x4All = 0xFFFFu << 1;  // bits 1..16
constexpr uint32_t kMaskCbDc = 1u << 17;
constexpr uint32_t kMaskCrDc = 1u << 18;
constexpr uint32_t kMaskCbAcAll = 0xFu << 19;         // bits 19..22
constexpr uint32_t kMaskCrAcAll = 0xFu << 23;         // bits 23..26
constexpr uint32_t kMaskChroma420All = 0x3FFu << 17;  // bits 17..26

inline constexpr uint32_t luma4x4_bit(int k) { return 1u << (k + 1); }
// Chroma DC bit of component c (0 Cb, 1 Cr).
inline constexpr uint32_t chroma_dc_bit(int c) { return 1u << (17 + c); }
// Chroma AC bit of 4x4 block k (0..3) of component c (0 Cb, 1 Cr).
inline constexpr uint32_t chroma_ac_bit(int c, int k) { return 1u << (19 + 4 * c + k); }
// 8x8 functions (bits 0..3) and the luma Half functions (bits 0..7 or 0..1).
inline constexpr uint32_t block_bit(int b) { return 1u << b; }
inline constexpr bool has_bit(uint32_t mask, uint32_t bit) { return (mask & bit) != 0; }

// ---------------------------------------------------------------------------
// Edge flags: a set bit marks the neighbouring macroblock unavailable.
constexpr uint32_t kEdgeLeft = 1, kEdgeTop = 4, kEdgeTopLeft = 16, kEdgeTopRight = 32;
// Pseudo edge bit that is always "set": a neighbour that is never available.
constexpr uint32_t kEdgeNever = 0x100;

// Neighbour availability bits as the intra predictors take them (the same
// values as kvn::kAvailTop/Left/TopLeft/TopRight of the intra family).
constexpr int32_t kNbTop = 1, kNbLeft = 2, kNbTopLeft = 32, kNbTopRight = 64;

// Which edge bit decides each neighbour of a block: 0 = always available,
// kEdgeNever = never, else the bit that must be clear.
struct NbSource {
  uint16_t top, left, top_left, top_right;
};

// Intra 4x4 block k (luma4x4BlkIdx); blocks 0..7 also serve the Half functions.
constexpr NbSource kIntra4x4Nb[16] = {
    {kEdgeTop, kEdgeLeft, kEdgeTopLeft, kEdgeTop},  // 0
    {kEdgeTop, 0, kEdgeTop, kEdgeTop},              // 1
    {0, kEdgeLeft, kEdgeLeft, 0},                   // 2
    {0, 0, 0, kEdgeNever},                          // 3
    {kEdgeTop, 0, kEdgeTop, kEdgeTop},              // 4
    {kEdgeTop, 0, kEdgeTop, kEdgeTopRight},         // 5
    {0, 0, 0, 0},                                   // 6
    {0, 0, 0, kEdgeNever},                          // 7
    {0, kEdgeLeft, kEdgeLeft, 0},                   // 8
    {0, 0, 0, 0},                                   // 9
    {0, kEdgeLeft, kEdgeLeft, 0},                   // 10
    {0, 0, 0, kEdgeNever},                          // 11
    {0, 0, 0, 0},                                   // 12
    {0, 0, 0, kEdgeNever},                          // 13
    {0, 0, 0, 0},                                   // 14
    {0, 0, 0, kEdgeNever},                          // 15
};

// Intra 8x8 block b (luma8x8BlkIdx); blocks 0..1 also serve the Half functions.
constexpr NbSource kIntra8x8Nb[4] = {
    {kEdgeTop, kEdgeLeft, kEdgeTopLeft, kEdgeTop},  // 0
    {kEdgeTop, 0, kEdgeTop, kEdgeTopRight},         // 1
    {0, kEdgeLeft, kEdgeLeft, 0},                   // 2
    {0, 0, 0, kEdgeNever},                          // 3
};

[[gnu::always_inline]] inline int32_t nb_avail(const NbSource& s, uint32_t edges) {
  const uint32_t e = (edges & 0xFFu) | kEdgeNever;
  return ((e & s.top) ? 0 : kNbTop) | ((e & s.left) ? 0 : kNbLeft) | ((e & s.top_left) ? 0 : kNbTopLeft) |
         ((e & s.top_right) ? 0 : kNbTopRight);
}

// Availability bits (kNb*) of intra 4x4 block k / intra 8x8 block b.
[[gnu::always_inline]] inline int32_t intra4x4_avail(int k, uint32_t edges) { return nb_avail(kIntra4x4Nb[k], edges); }
inline int32_t intra8x8_avail(int b, uint32_t edges) { return nb_avail(kIntra8x8Nb[b], edges); }

// Availability of a whole 16x16 / 8x8 block (Intra16x16, chroma) from its
// edge flags; top-right is not used by those predictors.
inline int32_t mb_avail(uint32_t edges) {
  return ((edges & kEdgeTop) ? 0 : kNbTop) | ((edges & kEdgeLeft) ? 0 : kNbLeft) |
         ((edges & kEdgeTopLeft) ? 0 : kNbTopLeft);
}

}  // namespace h264
}  // namespace kvn
