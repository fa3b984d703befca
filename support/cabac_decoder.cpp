#include "cabac_decoder.h"

#include <algorithm>
#include <cstring>

namespace kvnsupport {
namespace {

// rangeTabLPS of H.264 Table 9-44 by qCodIRangeIdx, then pStateIdx.
const uint8_t kRangeLps[4][64] = {
    {128, 128, 128, 123, 116, 111, 105, 100, 95, 90, 85, 81, 77, 73, 69, 66, 62, 59, 56, 53, 51, 48,
     46,  43,  41,  39,  37,  35,  33,  32,  30, 29, 27, 26, 24, 23, 22, 21, 20, 19, 18, 17, 16, 15,
     14,  14,  13,  12,  12,  11,  11,  10,  10, 9,  9,  8,  8,  7,  7,  7,  6,  6,  6,  2},
    {176, 167, 158, 150, 142, 135, 128, 122, 116, 110, 104, 99, 94, 89, 85, 80, 76, 72, 69, 65, 62, 59,
     56,  53,  50,  48,  45,  43,  41,  39,  37,  35,  33,  31, 30, 28, 27, 26, 24, 23, 22, 21, 20, 19,
     18,  17,  16,  15,  14,  14,  13,  12,  12,  11,  11,  10, 9,  9,  9,  8,  8,  7,  7,  2},
    {208, 197, 187, 178, 169, 160, 152, 144, 137, 130, 123, 117, 111, 105, 100, 95, 90, 86, 81, 77, 73, 69,
     66,  63,  59,  56,  54,  51,  48,  46,  43,  41,  39,  37,  35,  33,  32,  30, 29, 27, 26, 25, 23, 22,
     21,  20,  19,  18,  17,  16,  15,  15,  14,  13,  12,  12,  11,  11,  10,  10, 9,  9,  8,  2},
    {240, 227, 216, 205, 195, 185, 175, 166, 158, 150, 142, 135, 128, 122, 116, 110, 104, 99, 94, 89, 85, 80,
     76,  72,  69,  65,  62,  59,  56,  53,  50,  48,  45,  43,  41,  39,  37,  35,  33,  31, 30, 28, 27, 25,
     24,  23,  22,  21,  20,  19,  18,  17,  16,  15,  14,  14,  13,  12,  12,  11,  11,  10, 9,  2},
};
// transIdxLPS of H.264 Table 9-45.
const uint8_t kNextLps[64] = {0,  0,  1,  2,  2,  4,  4,  5,  6,  7,  8,  9,  9,  11, 11, 12, 13, 13, 15, 15, 16, 16,
                              18, 18, 19, 19, 21, 21, 22, 22, 23, 24, 24, 25, 26, 26, 27, 27, 28, 29, 29, 30, 30, 30,
                              31, 32, 32, 33, 33, 33, 34, 34, 35, 35, 35, 36, 36, 36, 37, 37, 37, 38, 38, 63};
// H.264 Table 9-43: ctxIdxInc of the 8x8 significance map (frame, field) and of last_significant_coeff_flag.
const uint8_t kSig8x8Frame[63] = {0,  1,  2, 3, 4, 5,  5,  4,  4,  3, 3, 4,  4,  4,  5,  5,  4,  4,  4,  4,  3,
                                  3,  6,  7, 7, 7, 8,  9,  10, 9,  8, 7, 7,  6,  11, 12, 13, 11, 6,  7,  8,  9,
                                  14, 10, 9, 8, 6, 11, 12, 13, 11, 6, 9, 14, 10, 9,  11, 12, 13, 11, 14, 10, 12};
const uint8_t kSig8x8Field[63] = {0,  1,  1,  2,  2,  3,  3,  4,  5,  6,  7,  7,  7, 8,  4,  5,  6,  9,  10, 10, 8,
                                  11, 12, 11, 9,  9,  10, 10, 8,  11, 12, 11, 9,  9, 10, 10, 8,  11, 12, 11, 9,  9,
                                  10, 10, 8,  13, 13, 9,  9,  10, 10, 8,  13, 13, 9, 9,  10, 10, 14, 14, 14, 14, 14};
const uint8_t kLast8x8[63] = {0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 2, 2, 2, 2, 2,
                              2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 3, 3, 3, 3, 3, 3, 3, 3, 4, 4,
                              4, 4, 4, 4, 4, 4, 5, 5, 5, 5, 6, 6, 6, 6, 7, 7, 7, 7, 8, 8, 8};

// ctxIdxOffset + ctxBlockCatOffset (H.264 Tables 9-34 and 9-40) by ctxBlockCat.
constexpr int kSigFrame[6] = {105, 120, 134, 149, 152, 402};
constexpr int kSigField[6] = {277, 292, 306, 321, 324, 436};
constexpr int kLastFrame[6] = {166, 181, 195, 210, 213, 417};
constexpr int kLastField[6] = {338, 353, 367, 382, 385, 451};
constexpr int kLevel[6] = {227, 237, 247, 257, 266, 426};
constexpr int kCount[6] = {16, 15, 16, 4, 15, 64};

}  // namespace

CabacDecoder::CabacDecoder(const uint8_t* data, std::size_t size, const uint8_t* contexts) : data_(data), size_(size) {
  std::memcpy(ctx_, contexts, kContexts);
  for (int i = 0; i < 9; ++i) offset_ = offset_ << 1 | uint32_t(read_bit());
}

int CabacDecoder::read_bit() {
  const std::size_t byte = pos_ >> 3;
  const int bit = byte < size_ ? data_[byte] >> (7 - (pos_ & 7)) & 1 : 0;
  ++pos_;
  return bit;
}

void CabacDecoder::renorm() {
  while (range_ < 256) {
    range_ <<= 1;
    offset_ = offset_ << 1 | uint32_t(read_bit());
  }
}

int CabacDecoder::decision(int ctxIdx) {
  uint8_t& c = ctx_[ctxIdx];
  const int state = c & 63, mps = c >> 6 & 1;
  const uint32_t lps = kRangeLps[(range_ >> 6) & 3][state];
  range_ -= lps;
  int bin;
  if (offset_ >= range_) {
    bin = !mps;
    offset_ -= range_;
    range_ = lps;
    c = uint8_t((state == 0 ? (1 - mps) : mps) << 6 | kNextLps[state]);
  } else {
    bin = mps;
    c = uint8_t(mps << 6 | (state < 62 ? state + 1 : state));
  }
  renorm();
  return bin;
}

int CabacDecoder::bypass() {
  offset_ = offset_ << 1 | uint32_t(read_bit());
  if (offset_ >= range_) {
    offset_ -= range_;
    return 1;
  }
  return 0;
}

int CabacDecoder::terminate() {
  range_ -= 2;
  if (offset_ >= range_) return 1;
  renorm();
  return 0;
}

int CabacDecoder::residual(int cat, int chromaExp, bool field, int32_t* coef) {
  const int count = cat == 3 ? kCount[3] << chromaExp : kCount[cat];
  std::fill(coef, coef + count, 0);
  auto sigInc = [&](int i) {
    if (cat == 3) return std::min(i >> chromaExp, 2);
    if (cat == 5) return int(field ? kSig8x8Field[i] : kSig8x8Frame[i]);
    return i;
  };
  auto lastInc = [&](int i) { return cat == 3 ? std::min(i >> chromaExp, 2) : cat == 5 ? int(kLast8x8[i]) : i; };
  const int sig = field ? kSigField[cat] : kSigFrame[cat];
  const int last = field ? kLastField[cat] : kLastFrame[cat];

  bool significant[64] = {};
  int numDecod = count;  // the last coefficient is significant when no flag ends the map earlier
  for (int i = 0; i < count - 1; ++i) {
    if (!decision(sig + sigInc(i))) continue;
    significant[i] = true;
    if (decision(last + lastInc(i))) {
      numDecod = i + 1;
      break;
    }
  }
  if (numDecod == count) significant[count - 1] = true;

  int eq1 = 0, gt1 = 0;
  for (int i = numDecod - 1; i >= 0; --i) {
    if (!significant[i]) continue;
    uint32_t minus1 = 0;
    if (decision(kLevel[cat] + (gt1 ? 0 : std::min(4, 1 + eq1)))) {
      const int inc = 5 + std::min(4 - (cat == 3), gt1);
      minus1 = 1;
      while (minus1 < 14 && decision(kLevel[cat] + inc)) ++minus1;
      if (minus1 == 14) {  // Exp-Golomb order 0 suffix
        int k = 0;
        while (bypass() && k < 32) minus1 += 1u << k++;
        while (k--) minus1 += uint32_t(bypass()) << k;
      }
    }
    const int64_t magnitude = int64_t(minus1) + 1;
    coef[i] = int32_t(bypass() ? -magnitude : magnitude);
    if (magnitude == 1)
      ++eq1;
    else
      ++gt1;
  }
  return count;
}

}  // namespace kvnsupport
