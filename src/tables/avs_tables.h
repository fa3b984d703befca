// AVS video (GB/T 20090.2) constant tables: the context-adaptive 2-D VLC
// tables of coefficient decoding with their table-switch rules, the
// dequantisation table, the two coefficient scans and the 8x8 transform
// basis. Data only, checked at compile time.
#pragma once

#include <cstdint>

#include "tables/scan_tables.h"

namespace kvn {
namespace avs {

// ---- 2-D VLC (GB/T 20090.2 9.6.x tables) ------------------------------------
//
// A block is coded as (run, level) pairs, each an Exp-Golomb codeNum of the
// current table's order: codeNum 0..58 index the table, 59 and up are escapes
// (run = (codeNum - 59) >> 1, sign = lowest bit, 1 negative) followed by a
// second Exp-Golomb code of the escape order giving the magnitude above the
// table's reference level for that run. End of block is the entry with run 64
// and level 0. The table switches up as the largest magnitude seen grows.

constexpr int kAvsVlcCodes = 59;
constexpr int kAvsEobRun = 64;

struct AvsRunLevel {
  uint8_t run;  // 0..63, kAvsEobRun for end of block
  int8_t level;
};
constexpr AvsRunLevel kEob = {kAvsEobRun, 0};

// Intra luma: tables 0..6.
inline constexpr AvsRunLevel kAvsIntraLumaVlc[7][kAvsVlcCodes] = {
    {
        // table 0
        {0, 1},  {0, -1},  {1, 1},  {1, -1},  {2, 1},  {2, -1},  {3, 1},  {3, -1},  {4, 1},  {4, -1},
        {5, 1},  {5, -1},  {6, 1},  {6, -1},  {7, 1},  {7, -1},  {8, 1},  {8, -1},  {9, 1},  {9, -1},
        {10, 1}, {10, -1}, {0, 2},  {0, -2},  {11, 1}, {11, -1}, {12, 1}, {12, -1}, {13, 1}, {13, -1},
        {14, 1}, {14, -1}, {1, 2},  {1, -2},  {15, 1}, {15, -1}, {16, 1}, {16, -1}, {0, 3},  {0, -3},
        {17, 1}, {17, -1}, {18, 1}, {18, -1}, {2, 2},  {2, -2},  {19, 1}, {19, -1}, {20, 1}, {20, -1},
        {3, 2},  {3, -2},  {21, 1}, {21, -1}, {4, 2},  {4, -2},  {22, 1}, {22, -1}, kEob,
    },
    {
        // table 1
        {0, 1},   {0, -1}, {1, 1},   {1, -1}, {0, 2},  {0, -2}, {2, 1},  {2, -1}, kEob,     {3, 1},  {3, -1},  {4, 1},
        {4, -1},  {5, 1},  {5, -1},  {0, 3},  {0, -3}, {1, 2},  {1, -2}, {6, 1},  {6, -1},  {7, 1},  {7, -1},  {8, 1},
        {8, -1},  {2, 2},  {2, -2},  {0, 4},  {0, -4}, {9, 1},  {9, -1}, {10, 1}, {10, -1}, {3, 2},  {3, -2},  {1, 3},
        {1, -3},  {11, 1}, {11, -1}, {4, 2},  {4, -2}, {0, 5},  {0, -5}, {12, 1}, {12, -1}, {5, 2},  {5, -2},  {13, 1},
        {13, -1}, {6, 2},  {6, -2},  {7, 2},  {7, -2}, {2, 3},  {2, -3}, {0, 6},  {0, -6},  {14, 1}, {14, -1},
    },
    {
        // table 2
        {0, 1},  {0, -1}, {0, 2},  {0, -2}, {1, 1},  {1, -1}, {0, 3},  {0, -3}, kEob,    {2, 1}, {2, -1}, {1, 2},
        {1, -2}, {0, 4},  {0, -4}, {3, 1},  {3, -1}, {0, 5},  {0, -5}, {4, 1},  {4, -1}, {1, 3}, {1, -3}, {2, 2},
        {2, -2}, {5, 1},  {5, -1}, {0, 6},  {0, -6}, {3, 2},  {3, -2}, {6, 1},  {6, -1}, {1, 4}, {1, -4}, {0, 7},
        {0, -7}, {2, 3},  {2, -3}, {4, 2},  {4, -2}, {7, 1},  {7, -1}, {5, 2},  {5, -2}, {0, 8}, {0, -8}, {8, 1},
        {8, -1}, {1, 5},  {1, -5}, {3, 3},  {3, -3}, {6, 2},  {6, -2}, {0, 9},  {0, -9}, {9, 1}, {9, -1},
    },
    {
        // table 3
        {0, 1},  {0, -1}, {0, 2},  {0, -2}, {0, 3},   {0, -3}, {1, 1},  {1, -1}, kEob,     {0, 4},  {0, -4},  {0, 5},
        {0, -5}, {1, 2},  {1, -2}, {2, 1},  {2, -1},  {0, 6},  {0, -6}, {1, 3},  {1, -3},  {0, 7},  {0, -7},  {3, 1},
        {3, -1}, {0, 8},  {0, -8}, {2, 2},  {2, -2},  {1, 4},  {1, -4}, {4, 1},  {4, -1},  {0, 9},  {0, -9},  {1, 5},
        {1, -5}, {3, 2},  {3, -2}, {0, 10}, {0, -10}, {2, 3},  {2, -3}, {5, 1},  {5, -1},  {0, 11}, {0, -11}, {1, 6},
        {1, -6}, {6, 1},  {6, -1}, {4, 2},  {4, -2},  {3, 3},  {3, -3}, {0, 12}, {0, -12}, {2, 4},  {2, -4},
    },
    {
        // table 4
        {0, 1},   {0, -1}, {0, 2},   {0, -2}, {0, 3},  {0, -3}, kEob,     {0, 4},  {0, -4},  {0, 5},  {0, -5},  {0, 6},
        {0, -6},  {1, 1},  {1, -1},  {0, 7},  {0, -7}, {0, 8},  {0, -8},  {1, 2},  {1, -2},  {0, 9},  {0, -9},  {0, 10},
        {0, -10}, {2, 1},  {2, -1},  {1, 3},  {1, -3}, {0, 11}, {0, -11}, {1, 4},  {1, -4},  {0, 12}, {0, -12}, {0, 13},
        {0, -13}, {1, 5},  {1, -5},  {3, 1},  {3, -1}, {2, 2},  {2, -2},  {0, 14}, {0, -14}, {1, 6},  {1, -6},  {0, 15},
        {0, -15}, {0, 16}, {0, -16}, {2, 3},  {2, -3}, {4, 1},  {4, -1},  {1, 7},  {1, -7},  {0, 17}, {0, -17},
    },
    {
        // table 5
        kEob,     {0, 1},  {0, -1},  {0, 2},  {0, -2},  {0, 3},  {0, -3},  {0, 4},  {0, -4},  {0, 5},
        {0, -5},  {0, 6},  {0, -6},  {0, 7},  {0, -7},  {0, 8},  {0, -8},  {0, 9},  {0, -9},  {0, 10},
        {0, -10}, {1, 1},  {1, -1},  {0, 11}, {0, -11}, {0, 12}, {0, -12}, {0, 13}, {0, -13}, {1, 2},
        {1, -2},  {0, 14}, {0, -14}, {0, 15}, {0, -15}, {1, 3},  {1, -3},  {0, 16}, {0, -16}, {2, 1},
        {2, -1},  {0, 17}, {0, -17}, {1, 4},  {1, -4},  {0, 18}, {0, -18}, {1, 5},  {1, -5},  {0, 19},
        {0, -19}, {0, 20}, {0, -20}, {1, 6},  {1, -6},  {0, 21}, {0, -21}, {2, 2},  {2, -2},
    },
    {
        // table 6
        kEob,     {0, 1},  {0, -1},  {0, 2},  {0, -2},  {0, 3},  {0, -3},  {0, 4},  {0, -4},  {0, 5},
        {0, -5},  {0, 6},  {0, -6},  {0, 7},  {0, -7},  {0, 8},  {0, -8},  {0, 9},  {0, -9},  {0, 10},
        {0, -10}, {0, 11}, {0, -11}, {0, 12}, {0, -12}, {0, 13}, {0, -13}, {0, 14}, {0, -14}, {0, 15},
        {0, -15}, {0, 16}, {0, -16}, {1, 1},  {1, -1},  {0, 17}, {0, -17}, {0, 18}, {0, -18}, {0, 19},
        {0, -19}, {0, 20}, {0, -20}, {0, 21}, {0, -21}, {1, 2},  {1, -2},  {0, 22}, {0, -22}, {0, 23},
        {0, -23}, {0, 24}, {0, -24}, {0, 25}, {0, -25}, {1, 3},  {1, -3},  {0, 26}, {0, -26},
    },
};

// Inter luma: tables 0..6.
inline constexpr AvsRunLevel kAvsInterLumaVlc[7][kAvsVlcCodes] = {
    {
        // table 0
        {0, 1},  {0, -1},  {1, 1},  {1, -1},  {2, 1},  {2, -1},  {3, 1},  {3, -1},  {4, 1},  {4, -1},
        {5, 1},  {5, -1},  {6, 1},  {6, -1},  {7, 1},  {7, -1},  {8, 1},  {8, -1},  {9, 1},  {9, -1},
        {10, 1}, {10, -1}, {11, 1}, {11, -1}, {12, 1}, {12, -1}, {0, 2},  {0, -2},  {13, 1}, {13, -1},
        {14, 1}, {14, -1}, {15, 1}, {15, -1}, {16, 1}, {16, -1}, {17, 1}, {17, -1}, {18, 1}, {18, -1},
        {0, 3},  {0, -3},  {19, 1}, {19, -1}, {20, 1}, {20, -1}, {1, 2},  {1, -2},  {21, 1}, {21, -1},
        {22, 1}, {22, -1}, {23, 1}, {23, -1}, {24, 1}, {24, -1}, {25, 1}, {25, -1}, kEob,
    },
    {
        // table 1
        {0, 1},  {0, -1}, kEob,     {1, 1},  {1, -1},  {2, 1},  {2, -1},  {3, 1},  {3, -1},  {4, 1},  {4, -1},  {5, 1},
        {5, -1}, {0, 2},  {0, -2},  {6, 1},  {6, -1},  {7, 1},  {7, -1},  {8, 1},  {8, -1},  {9, 1},  {9, -1},  {1, 2},
        {1, -2}, {10, 1}, {10, -1}, {11, 1}, {11, -1}, {0, 3},  {0, -3},  {12, 1}, {12, -1}, {13, 1}, {13, -1}, {2, 2},
        {2, -2}, {14, 1}, {14, -1}, {3, 2},  {3, -2},  {15, 1}, {15, -1}, {4, 2},  {4, -2},  {16, 1}, {16, -1}, {0, 4},
        {0, -4}, {5, 2},  {5, -2},  {17, 1}, {17, -1}, {18, 1}, {18, -1}, {6, 2},  {6, -2},  {1, 3},  {1, -3},
    },
    {
        // table 2
        {0, 1},  {0, -1}, kEob,    {1, 1},  {1, -1},  {0, 2}, {0, -2}, {2, 1},  {2, -1},  {3, 1},  {3, -1},  {0, 3},
        {0, -3}, {1, 2},  {1, -2}, {4, 1},  {4, -1},  {5, 1}, {5, -1}, {6, 1},  {6, -1},  {2, 2},  {2, -2},  {0, 4},
        {0, -4}, {7, 1},  {7, -1}, {1, 3},  {1, -3},  {3, 2}, {3, -2}, {8, 1},  {8, -1},  {9, 1},  {9, -1},  {0, 5},
        {0, -5}, {4, 2},  {4, -2}, {10, 1}, {10, -1}, {5, 2}, {5, -2}, {11, 1}, {11, -1}, {2, 3},  {2, -3},  {0, 6},
        {0, -6}, {1, 4},  {1, -4}, {12, 1}, {12, -1}, {6, 2}, {6, -2}, {3, 3},  {3, -3},  {13, 1}, {13, -1},
    },
    {
        // table 3
        {0, 1},  {0, -1}, kEob,    {0, 2}, {0, -2}, {1, 1}, {1, -1}, {0, 3}, {0, -3}, {2, 1}, {2, -1}, {1, 2},
        {1, -2}, {0, 4},  {0, -4}, {3, 1}, {3, -1}, {0, 5}, {0, -5}, {4, 1}, {4, -1}, {1, 3}, {1, -3}, {2, 2},
        {2, -2}, {5, 1},  {5, -1}, {0, 6}, {0, -6}, {3, 2}, {3, -2}, {6, 1}, {6, -1}, {1, 4}, {1, -4}, {0, 7},
        {0, -7}, {2, 3},  {2, -3}, {7, 1}, {7, -1}, {4, 2}, {4, -2}, {0, 8}, {0, -8}, {8, 1}, {8, -1}, {3, 3},
        {3, -3}, {5, 2},  {5, -2}, {1, 5}, {1, -5}, {9, 1}, {9, -1}, {0, 9}, {0, -9}, {2, 4}, {2, -4},
    },
    {
        // table 4
        {0, 1},  {0, -1}, kEob,    {0, 2}, {0, -2}, {0, 3},  {0, -3},  {1, 1},  {1, -1},  {0, 4},  {0, -4},  {0, 5},
        {0, -5}, {1, 2},  {1, -2}, {2, 1}, {2, -1}, {0, 6},  {0, -6},  {1, 3},  {1, -3},  {0, 7},  {0, -7},  {3, 1},
        {3, -1}, {0, 8},  {0, -8}, {2, 2}, {2, -2}, {1, 4},  {1, -4},  {4, 1},  {4, -1},  {0, 9},  {0, -9},  {1, 5},
        {1, -5}, {3, 2},  {3, -2}, {5, 1}, {5, -1}, {0, 10}, {0, -10}, {2, 3},  {2, -3},  {0, 11}, {0, -11}, {6, 1},
        {6, -1}, {1, 6},  {1, -6}, {3, 3}, {3, -3}, {4, 2},  {4, -2},  {0, 12}, {0, -12}, {2, 4},  {2, -4},
    },
    {
        // table 5
        kEob,    {0, 1},  {0, -1},  {0, 2},  {0, -2},  {0, 3},  {0, -3},  {0, 4},  {0, -4},  {0, 5},  {0, -5},  {1, 1},
        {1, -1}, {0, 6},  {0, -6},  {0, 7},  {0, -7},  {0, 8},  {0, -8},  {1, 2},  {1, -2},  {0, 9},  {0, -9},  {2, 1},
        {2, -1}, {0, 10}, {0, -10}, {1, 3},  {1, -3},  {0, 11}, {0, -11}, {1, 4},  {1, -4},  {0, 12}, {0, -12}, {3, 1},
        {3, -1}, {2, 2},  {2, -2},  {0, 13}, {0, -13}, {1, 5},  {1, -5},  {0, 14}, {0, -14}, {1, 6},  {1, -6},  {4, 1},
        {4, -1}, {0, 15}, {0, -15}, {2, 3},  {2, -3},  {0, 16}, {0, -16}, {3, 2},  {3, -2},  {1, 7},  {1, -7},
    },
    {
        // table 6
        kEob,     {0, 1},  {0, -1},  {0, 2},  {0, -2},  {0, 3},  {0, -3},  {0, 4},  {0, -4},  {0, 5},
        {0, -5},  {0, 6},  {0, -6},  {0, 7},  {0, -7},  {1, 1},  {1, -1},  {0, 8},  {0, -8},  {0, 9},
        {0, -9},  {0, 10}, {0, -10}, {0, 11}, {0, -11}, {0, 12}, {0, -12}, {1, 2},  {1, -2},  {0, 13},
        {0, -13}, {2, 1},  {2, -1},  {0, 14}, {0, -14}, {0, 15}, {0, -15}, {1, 3},  {1, -3},  {0, 16},
        {0, -16}, {0, 17}, {0, -17}, {0, 18}, {0, -18}, {1, 4},  {1, -4},  {0, 19}, {0, -19}, {0, 20},
        {0, -20}, {2, 2},  {2, -2},  {3, 1},  {3, -1},  {1, 5},  {1, -5},  {0, 21}, {0, -21},
    },
};

// Chroma: tables 0..4.
inline constexpr AvsRunLevel kAvsChromaVlc[5][kAvsVlcCodes] = {
    {
        // table 0
        {0, 1},  {0, -1},  {1, 1},  {1, -1},  {2, 1},  {2, -1},  {3, 1},  {3, -1},  {4, 1},  {4, -1},
        {5, 1},  {5, -1},  {6, 1},  {6, -1},  {0, 2},  {0, -2},  {7, 1},  {7, -1},  {8, 1},  {8, -1},
        {9, 1},  {9, -1},  {10, 1}, {10, -1}, {11, 1}, {11, -1}, {12, 1}, {12, -1}, {13, 1}, {13, -1},
        {14, 1}, {14, -1}, {0, 3},  {0, -3},  {15, 1}, {15, -1}, {16, 1}, {16, -1}, {17, 1}, {17, -1},
        {18, 1}, {18, -1}, {19, 1}, {19, -1}, {20, 1}, {20, -1}, {21, 1}, {21, -1}, {1, 2},  {1, -2},
        {22, 1}, {22, -1}, {23, 1}, {23, -1}, {24, 1}, {24, -1}, {0, 4},  {0, -4},  kEob,
    },
    {
        // table 1
        kEob,     {0, 1},  {0, -1},  {1, 1},  {1, -1},  {0, 2}, {0, -2}, {2, 1},  {2, -1},  {3, 1},  {3, -1},  {4, 1},
        {4, -1},  {5, 1},  {5, -1},  {0, 3},  {0, -3},  {6, 1}, {6, -1}, {7, 1},  {7, -1},  {1, 2},  {1, -2},  {8, 1},
        {8, -1},  {9, 1},  {9, -1},  {10, 1}, {10, -1}, {0, 4}, {0, -4}, {11, 1}, {11, -1}, {12, 1}, {12, -1}, {13, 1},
        {13, -1}, {2, 2},  {2, -2},  {14, 1}, {14, -1}, {3, 2}, {3, -2}, {0, 5},  {0, -5},  {1, 3},  {1, -3},  {15, 1},
        {15, -1}, {16, 1}, {16, -1}, {17, 1}, {17, -1}, {4, 2}, {4, -2}, {18, 1}, {18, -1}, {19, 1}, {19, -1},
    },
    {
        // table 2
        {0, 1},  {0, -1}, kEob,    {0, 2},  {0, -2},  {1, 1}, {1, -1}, {0, 3}, {0, -3}, {2, 1}, {2, -1}, {0, 4},
        {0, -4}, {1, 2},  {1, -2}, {3, 1},  {3, -1},  {0, 5}, {0, -5}, {4, 1}, {4, -1}, {1, 3}, {1, -3}, {2, 2},
        {2, -2}, {5, 1},  {5, -1}, {0, 6},  {0, -6},  {6, 1}, {6, -1}, {3, 2}, {3, -2}, {0, 7}, {0, -7}, {7, 1},
        {7, -1}, {1, 4},  {1, -4}, {8, 1},  {8, -1},  {2, 3}, {2, -3}, {4, 2}, {4, -2}, {5, 2}, {5, -2}, {0, 8},
        {0, -8}, {9, 1},  {9, -1}, {10, 1}, {10, -1}, {0, 9}, {0, -9}, {1, 5}, {1, -5}, {3, 3}, {3, -3},
    },
    {
        // table 3
        kEob,     {0, 1}, {0, -1}, {0, 2}, {0, -2}, {0, 3},  {0, -3},  {0, 4},  {0, -4},  {1, 1}, {1, -1}, {0, 5},
        {0, -5},  {1, 2}, {1, -2}, {0, 6}, {0, -6}, {2, 1},  {2, -1},  {0, 7},  {0, -7},  {1, 3}, {1, -3}, {0, 8},
        {0, -8},  {3, 1}, {3, -1}, {2, 2}, {2, -2}, {0, 9},  {0, -9},  {1, 4},  {1, -4},  {4, 1}, {4, -1}, {0, 10},
        {0, -10}, {2, 3}, {2, -3}, {1, 5}, {1, -5}, {3, 2},  {3, -2},  {0, 11}, {0, -11}, {5, 1}, {5, -1}, {0, 12},
        {0, -12}, {6, 1}, {6, -1}, {1, 6}, {1, -6}, {0, 13}, {0, -13}, {4, 2},  {4, -2},  {7, 1}, {7, -1},
    },
    {
        // table 4
        kEob,     {0, 1},  {0, -1},  {0, 2},  {0, -2},  {0, 3},  {0, -3},  {0, 4},  {0, -4},  {0, 5},
        {0, -5},  {0, 6},  {0, -6},  {0, 7},  {0, -7},  {0, 8},  {0, -8},  {1, 1},  {1, -1},  {0, 9},
        {0, -9},  {0, 10}, {0, -10}, {0, 11}, {0, -11}, {1, 2},  {1, -2},  {0, 12}, {0, -12}, {0, 13},
        {0, -13}, {1, 3},  {1, -3},  {0, 14}, {0, -14}, {2, 1},  {2, -1},  {0, 15}, {0, -15}, {1, 4},
        {1, -4},  {0, 16}, {0, -16}, {0, 17}, {0, -17}, {1, 5},  {1, -5},  {3, 1},  {3, -1},  {2, 2},
        {2, -2},  {0, 18}, {0, -18}, {1, 6},  {1, -6},  {0, 19}, {0, -19}, {4, 1},  {4, -1},
    },
};

// One decoder's set of tables: the tables, their largest runs (as listed by
// the standard), the largest magnitude each table is used for (a table is
// switched to when the largest magnitude so far reaches its range), the
// Exp-Golomb order of each table and the escape order.
struct AvsVlcSet {
  const AvsRunLevel (*tables)[kAvsVlcCodes];
  int count;
  int largestRun[7];
  int upTo[7];  // table t serves largest magnitudes upTo[t - 1] + 1 .. upTo[t]
  int order[7];
  int escapeOrder;
};

inline constexpr AvsVlcSet kAvsIntraLuma = {
    kAvsIntraLumaVlc, 7, {22, 14, 9, 6, 4, 2, 1}, {0, 1, 2, 4, 7, 10, 0x7fffffff}, {2, 2, 2, 2, 2, 2, 2}, 1};
inline constexpr AvsVlcSet kAvsInterLuma = {
    kAvsInterLumaVlc, 7, {25, 18, 13, 9, 6, 4, 3}, {0, 1, 2, 3, 6, 9, 0x7fffffff}, {3, 2, 2, 2, 2, 2, 2}, 0};
inline constexpr AvsVlcSet kAvsChroma = {kAvsChromaVlc,   5, {24, 19, 10, 7, 4}, {0, 1, 2, 4, 0x7fffffff},
                                         {2, 0, 1, 1, 0}, 0};

// The table for a largest magnitude m (>= 0).
constexpr int table_for(const AvsVlcSet& s, uint32_t m) {
  int t = 0;
  while (t + 1 < s.count && m > uint32_t(s.upTo[t])) ++t;
  return t;
}

// The largest run that table t codes (end of block aside).
constexpr int largest_run(const AvsVlcSet& s, int t) {
  int r = -1;
  for (const AvsRunLevel& e : s.tables[t])
    if (e.run != kAvsEobRun && e.run > r) r = e.run;
  return r;
}

// The escape reference level of table t for a run: one more than the largest
// magnitude the table codes with that run (so escape magnitude 0 codes the
// smallest one it cannot), 1 for a run the table does not code.
constexpr int reference_level(const AvsVlcSet& s, int t, int run) {
  int m = 0;
  for (const AvsRunLevel& e : s.tables[t])
    if (e.run == run && (e.level < 0 ? -e.level : e.level) > m) m = e.level < 0 ? -e.level : e.level;
  return m + 1;
}

// Every table: one end of block, no level 0 elsewhere, runs up to the largest
// run listed, and for each run up to it magnitudes 1 .. reference - 1 each
// with both signs (so the reference level is what the escapes build on).
constexpr bool valid_set(const AvsVlcSet& s) {
  for (int t = 0; t < s.count; ++t) {
    int eobs = 0;
    for (const AvsRunLevel& e : s.tables[t]) {
      if (e.run == kAvsEobRun) {
        if (e.level != 0) return false;
        ++eobs;
      } else if (e.level == 0 || e.run > 63) {
        return false;
      }
    }
    if (eobs != 1 || largest_run(s, t) != s.largestRun[t]) return false;
    for (int run = 0; run <= s.largestRun[t]; ++run) {
      const int ref = reference_level(s, t, run);
      if (ref < 2) return false;
      for (int m = 1; m < ref; ++m) {
        int found = 0;
        for (const AvsRunLevel& e : s.tables[t]) found += e.run == run && (e.level == m || e.level == -m);
        if (found != 2) return false;
      }
    }
    if (s.order[t] < 0 || s.order[t] > 3 || (t > 0 && s.upTo[t] <= s.upTo[t - 1])) return false;
  }
  return true;
}
static_assert(valid_set(kAvsIntraLuma) && valid_set(kAvsInterLuma) && valid_set(kAvsChroma));
// End of block is codeNum 58 of every first table.
static_assert(kAvsIntraLumaVlc[0][58].run == kAvsEobRun && kAvsInterLumaVlc[0][58].run == kAvsEobRun &&
              kAvsChromaVlc[0][58].run == kAvsEobRun);
// Spot checks of the reference levels (GB/T 20090.2): intra table 0, run 0: 4;
// intra table 6, run 0: 27; inter table 6, run 0: 22; chroma table 4, run 1: 7.
static_assert(reference_level(kAvsIntraLuma, 0, 0) == 4 && reference_level(kAvsIntraLuma, 6, 0) == 27 &&
              reference_level(kAvsInterLuma, 6, 0) == 22 && reference_level(kAvsChroma, 4, 1) == 7 &&
              reference_level(kAvsChroma, 4, 5) == 1);

// ---- scans (raster positions by scan position) --------------------------------

inline constexpr const uint8_t (&kAvsZigzag)[64] = kZigzag8x8;
inline constexpr uint8_t kAvsFieldScan[64] = {0,  8,  16, 1,  24, 32, 9,  17, 40, 48, 25, 2,  10, 56, 33, 18,
                                              3,  41, 49, 26, 11, 19, 4,  57, 34, 12, 42, 27, 20, 50, 35, 28,
                                              5,  13, 58, 43, 36, 21, 6,  29, 51, 44, 14, 22, 37, 59, 52, 30,
                                              45, 60, 38, 53, 46, 61, 54, 7,  62, 15, 23, 31, 39, 47, 55, 63};

constexpr bool is_permutation(const uint8_t* s) {
  uint64_t seen = 0;
  for (int i = 0; i < 64; ++i) seen |= uint64_t(1) << (s[i] & 63);
  return seen == ~uint64_t(0);
}
static_assert(is_permutation(kAvsZigzag) && is_permutation(kAvsFieldScan));
// The first 10 zigzag positions lie in the top-left 4x4 corner (the sparse
// reconstruction path relies on it).
constexpr bool first_ten_in_corner() {
  for (int i = 0; i < 10; ++i)
    if ((kAvsZigzag[i] & 7) > 3 || (kAvsZigzag[i] >> 3) > 3) return false;
  return true;
}
static_assert(first_ten_in_corner());

// ---- dequantisation: c' = (c * scale + 2^(shift - 1)) >> shift, by QP 0..63 ----

inline constexpr uint16_t kAvsDequantScale[64] = {
    32768, 36061, 38968, 42495, 46341, 50535, 55437, 60424, 32932, 35734, 38968, 42495, 46177, 50535, 55109, 59933,
    65535, 35734, 38968, 42577, 46341, 50617, 55027, 60097, 32809, 35734, 38968, 42454, 46382, 50576, 55109, 60056,
    65535, 35734, 38968, 42495, 46320, 50515, 55109, 60076, 65535, 35744, 38968, 42495, 46341, 50535, 55099, 60087,
    65535, 35734, 38973, 42500, 46341, 50535, 55109, 60097, 32771, 35734, 38965, 42497, 46341, 50535, 55109, 60099};
inline constexpr uint8_t kAvsDequantShift[64] = {14, 14, 14, 14, 14, 14, 14, 14, 13, 13, 13, 13, 13, 13, 13, 13,
                                                 13, 12, 12, 12, 12, 12, 12, 12, 11, 11, 11, 11, 11, 11, 11, 11,
                                                 11, 10, 10, 10, 10, 10, 10, 10, 10, 9,  9,  9,  9,  9,  9,  9,
                                                 9,  8,  8,  8,  8,  8,  8,  8,  7,  7,  7,  7,  7,  7,  7,  7};
// The step size doubles every 8 QPs: scale / 2^shift grows by about 2^(1/8)
// from one QP to the next.
constexpr bool dequant_grows() {
  for (int q = 1; q < 64; ++q) {
    const double prev = double(kAvsDequantScale[q - 1]) / double(1 << kAvsDequantShift[q - 1]);
    const double cur = double(kAvsDequantScale[q]) / double(1 << kAvsDequantShift[q]);
    if (cur / prev < 1.08 || cur / prev > 1.101) return false;
  }
  return true;
}
static_assert(dequant_grows());

constexpr int kAvsMaxQp = 63, kAvsMaxChromaQp = 51;

// ---- 8x8 inverse transform -------------------------------------------------------
//
// Basis B(k, n) (frequency k, sample n) = T[m] with the sign of
// cos(k (2n + 1) pi / 16), m that angle folded into 1..7 (frequency 0: T[4]).
inline constexpr int32_t kAvsTransformT[8] = {0, 10, 10, 9, 8, 6, 4, 2};

constexpr int32_t transform_basis(int k, int n) {
  if (k == 0) return kAvsTransformT[4];
  int a = (k * (2 * n + 1)) % 32;
  if (a > 16) a = 32 - a;
  return a < 8 ? kAvsTransformT[a] : -kAvsTransformT[16 - a];
}
// The rows of the standard's matrix.
inline constexpr int8_t kAvsTransformRows[8][8] = {{8, 8, 8, 8, 8, 8, 8, 8},         {10, 9, 6, 2, -2, -6, -9, -10},
                                                   {10, 4, -4, -10, -10, -4, 4, 10}, {9, -2, -10, -6, 6, 10, 2, -9},
                                                   {8, -8, -8, 8, 8, -8, -8, 8},     {6, -10, 2, 9, -9, -2, 10, -6},
                                                   {4, -10, 10, -4, -4, 10, -10, 4}, {2, -6, 9, -10, 10, -9, 6, -2}};
constexpr bool basis_matches_rows() {
  for (int k = 0; k < 8; ++k)
    for (int n = 0; n < 8; ++n)
      if (transform_basis(k, n) != kAvsTransformRows[k][n]) return false;
  return true;
}
static_assert(basis_matches_rows());

}  // namespace avs
}  // namespace kvn
