// The codeword order of coeff_token, derived from Table 9-5 when compiled, and
// the byte tables of the SIMD analysis.
#include "h264_cavlc_tables.h"

namespace kvn {
namespace {

constexpr CoeffTokenOrder make_order(const char* const (&column)[17][4]) {
  CoeffTokenOrder t{};
  VlcCode codes[62]{};
  int n = 0;
  for (int tc = 0; tc <= 16; ++tc)
    for (int t1 = 0; t1 < 4; ++t1) {
      const VlcCode c = vlc_code(column[tc][t1]);
      if (c.len && n < 62) {
        codes[n] = c;
        t.pair[n++] = uint8_t(tc * 4 + t1);
      }
    }
  // Selection sort: length ascending, then value descending.
  for (int i = 0; i < n; ++i) {
    int best = i;
    for (int j = i + 1; j < n; ++j)
      if (codes[j].len < codes[best].len || (codes[j].len == codes[best].len && codes[j].bits > codes[best].bits))
        best = j;
    const VlcCode c = codes[i];
    codes[i] = codes[best];
    codes[best] = c;
    const uint8_t p = t.pair[i];
    t.pair[i] = t.pair[best];
    t.pair[best] = p;
  }
  for (int i = 0; i < 68; ++i) t.rank[i] = 0xff;
  for (int i = 0; i < n; ++i) t.rank[t.pair[i]] = uint8_t(i);
  return t;
}

constexpr CavlcShuffles make_shuffles() {
  CavlcShuffles t{};
  for (int m = 0; m < 256; ++m) {
    int n = 0;
    for (int b = 7; b >= 0; --b)
      if (m >> b & 1) t.bitsDescending[m][n++] = uint8_t(b);
    while (n < 8) t.bitsDescending[m][n++] = 0xf8;
  }
  for (int c = 0; c <= 16; ++c)
    for (int j = 0; j < 16; ++j) t.shiftUp[c][j] = j < c ? 0x80 : uint8_t(j - c);
  for (int c = 0; c < 4; ++c)
    for (int j = 0; j < 16; ++j) t.shiftDown[c][j] = j + c < 16 ? uint8_t(j + c) : 0x80;
  return t;
}

}  // namespace

constexpr CavlcShuffles kCavlcShuffles = make_shuffles();

constexpr CoeffTokenOrder kCoeffTokenOrder[3] = {make_order(kCoeffToken4x4[0]), make_order(kCoeffToken4x4[1]),
                                                 make_order(kCoeffToken4x4[2])};

// Table 9-5 has 62 codewords in each column; the start of the first column's
// order is (0,0) (1,1) (2,2) (3,3) (1,0) (2,1) (4,3) (3,2) (5,3).
static_assert(kCoeffTokenOrder[0].pair[0] == 0 && kCoeffTokenOrder[0].pair[4] == 4 &&
              kCoeffTokenOrder[0].pair[6] == 19 && kCoeffTokenOrder[0].pair[8] == 23);
static_assert(kCoeffTokenOrder[0].rank[kCoeffTokenOrder[0].pair[61]] == 61 &&
              kCoeffTokenOrder[1].rank[kCoeffTokenOrder[1].pair[61]] == 61 &&
              kCoeffTokenOrder[2].rank[kCoeffTokenOrder[2].pair[61]] == 61);

}  // namespace kvn
