#include "h264_tables.h"

namespace kvn {

constexpr uint8_t kPosClass4x4[16] = {
    kClassE, kClassM, kClassE, kClassM, kClassM, kClassO, kClassM, kClassO,
    kClassE, kClassM, kClassE, kClassM, kClassM, kClassO, kClassM, kClassO,
};

constexpr int16_t kQuantMul[6][3] = {
    {13107, 5243, 8066}, {11916, 4660, 7490}, {10082, 4194, 6554},
    {9362, 3647, 5825},  {8192, 3355, 5243},  {7282, 2893, 4559},
};

// H.264 8.5.9, normAdjust4x4: v(m, class) for E, O, M.
constexpr int16_t kNormAdjust[6][3] = {
    {10, 16, 13}, {11, 18, 14}, {13, 20, 16}, {14, 23, 18}, {16, 25, 20}, {18, 29, 23},
};

// One block of 16 from a per-class table, scaled by k.
#define KVN_ROW_EVEN(t, m, k) k *t[m][0], k *t[m][2], k *t[m][0], k *t[m][2]
#define KVN_ROW_ODD(t, m, k) k *t[m][2], k *t[m][1], k *t[m][2], k *t[m][1]
#define KVN_BLOCK(t, m, k) \
  { KVN_ROW_EVEN(t, m, k), KVN_ROW_ODD(t, m, k), KVN_ROW_EVEN(t, m, k), KVN_ROW_ODD(t, m, k) }
#define KVN_TABLE(t, k)                                                                                 \
  {                                                                                                     \
    KVN_BLOCK(t, 0, k), KVN_BLOCK(t, 1, k), KVN_BLOCK(t, 2, k), KVN_BLOCK(t, 3, k), KVN_BLOCK(t, 4, k), \
        KVN_BLOCK(t, 5, k)                                                                              \
  }

alignas(16) constexpr int16_t kQuantMul4x4[6][16] = KVN_TABLE(kQuantMul, 1);
alignas(16) constexpr int16_t kNormAdjust4x4[6][16] = KVN_TABLE(kNormAdjust, 1);
alignas(16) constexpr int16_t kLevelScale4x4[6][16] = KVN_TABLE(kNormAdjust, 16);

#undef KVN_TABLE
#undef KVN_BLOCK
#undef KVN_ROW_ODD
#undef KVN_ROW_EVEN

// ---- 8x8 transform (High profile) -------------------------------------------

int pos_class8x8(int row, int col) {
  const int i = row & 3, j = col & 3;
  if (i == 0 && j == 0) return 0;
  if ((i & 1) && (j & 1)) return 1;
  if (i == 2 && j == 2) return 2;
  if ((i == 0 && (j & 1)) || ((i & 1) && j == 0)) return 3;
  if ((i == 0 && j == 2) || (i == 2 && j == 0)) return 4;
  return 5;
}

constexpr int16_t kNormAdjust8x8[6][6] = {{20, 18, 32, 19, 25, 24}, {22, 19, 35, 21, 28, 26}, {26, 23, 42, 24, 33, 31},
                                          {28, 25, 45, 26, 35, 33}, {32, 28, 51, 30, 40, 38}, {36, 32, 58, 34, 46, 43}};
constexpr int16_t kQuantMul8x8[6][6] = {
    {13107, 11428, 20972, 12222, 16777, 15481}, {11916, 10826, 19174, 11058, 14980, 14290},
    {10082, 8943, 15978, 9675, 12710, 11985},   {9362, 8228, 14913, 8931, 11984, 11259},
    {8192, 7346, 13159, 7740, 10486, 9777},     {7282, 6428, 11570, 6830, 9118, 8640}};

}  // namespace kvn
