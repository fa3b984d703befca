#include "cabac_decoder.h"

#include <algorithm>

namespace kvnsupport {
namespace cabac_detail {

Tail load_tail(const uint8_t* p, const uint8_t* end) {
  Tail t{0, 0};
  for (int i = 0; i < 6; ++i) {
    const bool in = i < end - p;
    t.bytes = t.bytes << 8 | (in ? p[i] : 0u);
    t.taken += in;
  }
  return t;
}

}  // namespace cabac_detail

namespace {

// H.264 Table 9-43: ctxIdxInc of significant_coeff_flag of 8x8 blocks (frame,
// field) and of last_significant_coeff_flag, by scan position.
const uint8_t kSig8x8Frame[64] = {0, 1, 2, 3,  4,  5,  5,  4, 4, 3,  3,  4, 4,  4,  5,  5,  4,  4,  4,  4, 3,  3,
                                  6, 7, 7, 7,  8,  9,  10, 9, 8, 7,  7,  6, 11, 12, 13, 11, 6,  7,  8,  9, 14, 10,
                                  9, 8, 6, 11, 12, 13, 11, 6, 9, 14, 10, 9, 11, 12, 13, 11, 14, 10, 12, 0};
const uint8_t kSig8x8Field[64] = {0,  1,  1,  2, 2,  3,  3,  4,  5,  6,  7, 7, 7,  8,  4,  5,  6,  9,  10, 10, 8,  11,
                                  12, 11, 9,  9, 10, 10, 8,  11, 12, 11, 9, 9, 10, 10, 8,  11, 12, 11, 9,  9,  10, 10,
                                  8,  13, 13, 9, 9,  10, 10, 8,  13, 13, 9, 9, 10, 10, 14, 14, 14, 14, 14, 0};
const uint8_t kLast8x8[64] = {0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 2, 2, 2, 2, 2, 2,
                              2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 3, 3, 3, 3, 3, 3, 3, 3, 4, 4, 4, 4,
                              4, 4, 4, 4, 5, 5, 5, 5, 6, 6, 6, 6, 7, 7, 7, 7, 8, 8, 8, 0};
// Chroma DC: Min(i / NumC8x8, 2).
const uint8_t kChromaDc[2][8] = {{0, 1, 2, 2, 2, 2, 2, 2}, {0, 0, 1, 1, 2, 2, 2, 2}};

// ctxIdxOffset + ctxBlockCatOffset (H.264 Tables 9-34 and 9-40) by ctxBlockCat.
constexpr int kSigFrame[6] = {105, 120, 134, 149, 152, 402};
constexpr int kSigField[6] = {277, 292, 306, 321, 324, 436};
constexpr int kLastFrame[6] = {166, 181, 195, 210, 213, 417};
constexpr int kLastField[6] = {338, 353, 367, 382, 385, 451};
constexpr int kLevel[6] = {227, 237, 247, 257, 266, 426};
constexpr int kCount[6] = {16, 15, 16, 4, 15, 64};

// The level contexts (9.3.3.1.3) follow a state machine over the levels
// decoded so far: states 0..3 while every level was 1 (none, one, two, three
// or more ones), 4..7 after one, two, three, four or more levels above 1.
constexpr uint8_t kLevelFirstInc[8] = {1, 2, 3, 4, 0, 0, 0, 0};      // bin 0
constexpr uint8_t kLevelRestInc[2][8] = {{5, 5, 5, 5, 6, 7, 8, 9},   // bins 1..13
                                         {5, 5, 5, 5, 6, 7, 8, 8}};  // chroma DC: at most 5 + 3
constexpr uint8_t kLevelNext[2][8] = {{1, 2, 3, 3, 4, 5, 6, 7},      // after a level of 1
                                      {4, 4, 4, 4, 5, 6, 7, 7}};     // after a level above 1

// coeff_abs_level_minus1 of 14 and more: the UEG0 suffix in bypass bins.
[[gnu::noinline]] uint32_t level_escape(CabacRegs& e) {
  uint32_t minus1 = 14;
  int b = 0;
  while (b < 32 && e.bypass()) minus1 += 1u << b++;
  uint32_t rest = 0;
  while (b--) rest = rest << 1 | uint32_t(e.bypass());
  return minus1 + rest;
}

}  // namespace

template <typename T>
int CabacDecoder::residual_impl(int cat, int chromaExp, bool field, const uint8_t* scan, T* coef) {
  const int count = cat == 3 ? 4 << chromaExp : kCount[cat];
  const uint8_t* sigInc = cat == 5 ? (field ? kSig8x8Field : kSig8x8Frame) : kChromaDc[chromaExp];
  const uint8_t* lastInc = cat == 5 ? kLast8x8 : kChromaDc[chromaExp];
  uint8_t* sig = ctx_ + (field ? kSigField[cat] : kSigFrame[cat]);
  uint8_t* last = ctx_ + (field ? kLastField[cat] : kLastFrame[cat]);
  CabacRegs e = e_.regs();

  // Significance map (7.3.5.3.3): where the significant coefficients go.
  // The increments of the 4x4 categories are the position itself.
  uint8_t pos[64];
  int n = 0;
  int i = 0;
  if (cat == 5 || cat == 3) {
    for (; i < count - 1; ++i) {
      if (!e.decide(sig[sigInc[i]])) continue;
      pos[n++] = scan[i];
      if (e.decide(last[lastInc[i]])) break;
    }
  } else {
    for (; i < count - 1; ++i) {
      if (!e.decide(sig[i])) continue;
      pos[n++] = scan[i];
      if (e.decide(last[i])) break;
    }
  }
  if (i == count - 1) pos[n++] = scan[i];  // no last flag ended the map: the final one is significant

  // Levels in reverse scan order: coeff_abs_level_minus1 (prefix TU with
  // cMax 14, suffix UEG0) and coeff_sign_flag. The contexts follow the
  // level state machine; one state variable and pointers keep the loop's
  // values in registers.
  uint8_t* level = ctx_ + kLevel[cat];
  const uint8_t* restInc = kLevelRestInc[cat == 3 ? 1 : 0];
  unsigned node = 0;
  const uint8_t* k = pos + n;  // n >= 1: the map always ends on a coefficient
  do {
    --k;
    uint32_t magnitude = 1;
    if (e.decide(level[kLevelFirstInc[node]])) {
      uint8_t& c = level[restInc[node]];
      uint32_t minus1 = 1;
      while (minus1 < 14 && e.decide(c)) ++minus1;
      if (minus1 == 14) {  // rare: out of line, on a copy of the registers
        CabacRegs t = e;
        minus1 = level_escape(t);
        e.assign(t);
      }
      magnitude = minus1 + 1;
      node = kLevelNext[1][node];
    } else {
      node = kLevelNext[0][node];
    }
    coef[*k] = T(int32_t(e.apply_sign(magnitude)));
  } while (k != pos);
  e_.take(e);
  return n;
}

int CabacDecoder::residual_scan(int cat, int chromaExp, bool field, const uint8_t* scan, int16_t* coef) {
  return residual_impl(cat, chromaExp, field, scan, coef);
}

int CabacDecoder::residual_scan(int cat, int chromaExp, bool field, const uint8_t* scan, int32_t* coef) {
  return residual_impl(cat, chromaExp, field, scan, coef);
}

int CabacDecoder::residual(int cat, int chromaExp, bool field, int32_t* coef) {
  static const uint8_t kScanOrder[64] = {0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15,
                                         16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31,
                                         32, 33, 34, 35, 36, 37, 38, 39, 40, 41, 42, 43, 44, 45, 46, 47,
                                         48, 49, 50, 51, 52, 53, 54, 55, 56, 57, 58, 59, 60, 61, 62, 63};
  const int count = cat == 3 ? 4 << chromaExp : kCount[cat];
  std::fill(coef, coef + count, 0);
  residual_impl(cat, chromaExp, field, kScanOrder, coef);
  return count;
}

}  // namespace kvnsupport
