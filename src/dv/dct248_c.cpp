// Scalar DV transforms, written straight from the formulas of dct248.h.
#include "dv/dct248.h"

namespace kvn {
namespace {

inline int16_t sat16(int32_t v) { return int16_t(v < -32768 ? -32768 : v > 32767 ? 32767 : v); }

// out[r][c] = sat16((sum_k in[r][k] K[c][k] + round) >> shift), sums wrapping in 32 bits.
void row_pass(const int16_t* in, int16_t* out, const int16_t (*k)[8], int shift) {
  for (int r = 0; r < 8; ++r)
    for (int c = 0; c < 8; ++c) {
      uint32_t s = uint32_t(1) << (shift - 1);
      for (int i = 0; i < 8; ++i) s += uint32_t(int32_t(in[8 * r + i]) * k[c][i]);
      out[8 * r + c] = sat16(int32_t(s) >> shift);
    }
}

// out[r][c] = sat16((sum_k K[r][k] in[k][c] + round) >> shift).
void col_pass(const int16_t* in, int16_t* out, const int16_t (*k)[8], int shift) {
  for (int r = 0; r < 8; ++r)
    for (int c = 0; c < 8; ++c) {
      uint32_t s = uint32_t(1) << (shift - 1);
      for (int i = 0; i < 8; ++i) s += uint32_t(int32_t(in[8 * i + c]) * k[r][i]);
      out[8 * r + c] = sat16(int32_t(s) >> shift);
    }
}

// The transposes of the constant matrices, for the passes whose sum runs over
// the other index.
struct Transposed {
  int16_t row[8][8], col[8][8];
  constexpr Transposed() : row(), col() {
    for (int i = 0; i < 8; ++i)
      for (int j = 0; j < 8; ++j) row[i][j] = dct248::kRow[j][i], col[i][j] = dct248::kCol[j][i];
  }
};
constexpr Transposed kT;

void inv(int16_t* block) {
  int16_t t[64];
  row_pass(block, t, dct248::kRow, dct248::kShift1);
  col_pass(t, block, dct248::kCol, dct248::kShift2);
}

void fwd(int16_t* block) {
  int16_t t[64];
  col_pass(block, t, kT.col, dct248::kShift1);
  row_pass(t, block, kT.row, dct248::kShift2);
}

void dv100_weight(int16_t* block, const uint16_t* deq, const int16_t* weight) {
  for (int i = 0; i < 64; ++i) {
    const int64_t p = int64_t(int32_t(block[i] >> 3) * int32_t(deq[i])) * weight[i];
    const int64_t v = (p + 32768) >> 16;
    block[i] = int16_t(v < -32768 ? -32768 : v > 32767 ? 32767 : v);
  }
}

}  // namespace

constexpr Dct248Kernels kDct248KernelsC = {inv, fwd, dv100_weight};

}  // namespace kvn
