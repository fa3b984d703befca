// Scalar CABAC residual block coding (ITU-T H.264 9.3.2.3 and 9.3.3.1.3).
#include <algorithm>
#include <cstring>

#include "cabac.h"
#include "cabac_engine.h"
#include "kvncore.h"

namespace kvn {

uint32_t cabac_carry_bytes(uint8_t* word, const uint8_t* start, const uint8_t* mark) {
  uint32_t crossed = 0;
  for (uint8_t* p = word; p > start;) {
    --p;
    crossed |= p + 1 == mark;
    if (++*p) break;
  }
  return crossed;
}

namespace {

// ctxBlockCatOffset of significant_coeff_flag / last_significant_coeff_flag
// and of coeff_abs_level_minus1 (H.264 Table 9-40), categories 0..4.
constexpr int kMapCatOffset[5] = {0, 15, 29, 44, 47};
constexpr int kLevelCatOffset[5] = {0, 10, 20, 30, 39};

constexpr uint8_t kIncByPosition[63] = {
    0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20,
    21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35, 36, 37, 38, 39, 40, 41,
    42, 43, 44, 45, 46, 47, 48, 49, 50, 51, 52, 53, 54, 55, 56, 57, 58, 59, 60, 61, 62,
};
// Chroma DC: Min(numDecodAbsLevel / NumC8x8, 2) with NumC8x8 1 (4:2:0) or 2 (4:2:2).
constexpr uint8_t kIncChromaDc[2][8] = {{0, 1, 2, 2}, {0, 0, 1, 1, 2, 2, 2, 2}};

// Context bytes a block may change, kept so that a failing block can put them back.
struct SavedContexts {
  uint8_t* at[3];
  int len[3];
  uint8_t bytes[3][15];

  void take(uint8_t* sig, uint8_t* last, uint8_t* level, bool block8x8) {
    at[0] = sig, at[1] = last, at[2] = level;
    len[0] = 15, len[1] = block8x8 ? 9 : 15, len[2] = 10;
    for (int k = 0; k < 3; ++k) std::memcpy(bytes[k], at[k], size_t(len[k]));
  }
  void restore() const {
    for (int k = 0; k < 3; ++k) std::memcpy(at[k], bytes[k], size_t(len[k]));
  }
};

// Takes back n carries that went into the bytes before p (a big-endian number
// that grew by n).
void uncarry(uint8_t* p, const uint8_t* start, uint32_t n) {
  while (n && p > start) {
    --p;
    const uint32_t v = *p;
    *p = uint8_t(v - n);
    n = v < (n & 0xffu) ? (n >> 8) + 1 : n >> 8;
  }
}

template <class T>
int residual(const T* coef, const CabacBlock& b, uint8_t* state) {
  if (b.last < 0) return KVN_STS_OK;
  CabacCoder c(state);
  if (!c.word_below_end(0)) return KVN_STS_OUT_OF_BUFFER;
  // What a failing block puts back: the word under construction, and (by the
  // carries counted past it) the bytes before it.
  uint8_t* const entryWord = c.word;
  const uint32_t entryValue = c.value;
  c.mark = entryWord;

  uint8_t* const ctx = state + kCabacCtxOffset;
  const int count = cabac_coeff_count(b.cat, b.chromaExp);
  uint8_t *sig, *last, *level;
  const uint8_t *sigInc = kIncByPosition, *lastInc = kIncByPosition;
  int maxGt1Inc = 4;
  if (b.cat == 5) {
    sig = ctx + (b.field ? 436 : 402);
    last = ctx + (b.field ? 451 : 417);
    level = ctx + 426;
    sigInc = kCabacSig8x8[b.field];
    lastInc = kCabacLast8x8;
  } else {
    sig = ctx + (b.field ? 277 : 105) + kMapCatOffset[b.cat];
    last = ctx + (b.field ? 338 : 166) + kMapCatOffset[b.cat];
    level = ctx + 227 + kLevelCatOffset[b.cat];
    if (b.cat == 3) {
      sigInc = lastInc = kIncChromaDc[b.chromaExp];
      maxGt1Inc = 3;
    }
  }
  SavedContexts saved;
  saved.take(sig, last, level, b.cat == 5);

  const uint8_t* const start = c.start;
  auto fail = [&saved, entryWord, entryValue, start](uint32_t marked) {
    saved.restore();
    store_be32(entryWord, entryValue);
    uncarry(entryWord, start, marked);
    return KVN_STS_OUT_OF_BUFFER;
  };

  // Pending bits go out every 16 or so; a flush that would reach the end
  // limit fails the block.
#define KVN_CABAC_OUT()                                       \
  do {                                                        \
    if (c.pending >= 16 && !c.flush()) return fail(c.marked); \
  } while (0)

  // Significance map: positions of the nonzero coefficients in scan order.
  int pos[64];
  int nonzero = 0;
  const int lastPos = b.last;
  for (int i = 0; i < count - 1 && i <= lastPos; ++i) {
    const uint32_t s = coef[i] != 0;
    c.decision(sig[sigInc[i]], s);
    if (s) {
      pos[nonzero++] = i;
      c.decision(last[lastInc[i]], i == lastPos);
      if (i == lastPos) break;
    }
    KVN_CABAC_OUT();
  }
  KVN_CABAC_OUT();
  if (lastPos == count - 1 && coef[lastPos] != 0) pos[nonzero++] = lastPos;

  // Levels in reverse scan order: coeff_abs_level_minus1 as UEG0 with
  // uCoff 14 (prefix context-coded, suffix bypass), then the sign.
  int eq1 = 0, gt1 = 0;
  for (int k = nonzero - 1; k >= 0; --k) {
    const T v = coef[pos[k]];
    const uint32_t minus1 = (v < 0 ? 0u - uint32_t(v) : uint32_t(v)) - 1;
    c.decision(level[gt1 ? 0 : std::min(4, 1 + eq1)], minus1 != 0);
    if (minus1) {
      uint8_t& more = level[5 + std::min(maxGt1Inc, gt1)];
      const uint32_t prefix = std::min(minus1, 14u);
      for (uint32_t j = 1; j < prefix; ++j) {
        c.decision(more, 1);
        KVN_CABAC_OUT();
      }
      if (minus1 < 14) {
        c.decision(more, 0);
      } else {
        // Exp-Golomb order 0 of minus1 - 14 (9.3.2.3, UEGk suffix).
        uint64_t rest = minus1 - 14;
        int k2 = 0;
        while (rest >= (uint64_t(1) << k2)) {
          c.bypass(1);
          KVN_CABAC_OUT();
          rest -= uint64_t(1) << k2++;
        }
        c.bypass(0);
        while (k2--) {
          KVN_CABAC_OUT();
          c.bypass(uint32_t(rest >> k2) & 1u);
        }
      }
      ++gt1;
    } else {
      ++eq1;
    }
    c.bypass(v < 0);
    KVN_CABAC_OUT();
  }
#undef KVN_CABAC_OUT
  if (!c.flush()) return fail(c.marked);

  c.commit(state);
  return KVN_STS_OK;
}

}  // namespace

const CabacKernels kCabacKernelsC = {residual<int16_t>, residual<int32_t>};

}  // namespace kvn
