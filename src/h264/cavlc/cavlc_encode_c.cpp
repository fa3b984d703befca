// H.264 CAVLC encoding analysis, scalar reference: one pass over the block in
// reverse scan order, as the analysis is defined.
#include "h264/cavlc/cavlc_encode.h"

namespace kvn {
namespace {

// Visits coef[pos(k)] for k = count - 1 down to 0.
template <class T, class Pos>
void analyse(const T* coef, int count, Pos pos, const CavlcCounts& out, T* levels, uint8_t* runs) {
  int t1 = 0, signs = 0, tc = 0, zeros = 0, inner = 0;
  bool counting = true;
  for (int k = count - 1; k >= 0; --k) {
    const T v = coef[pos(k)];
    if (v == 0) {
      ++zeros;
      continue;
    }
    if (counting && (v == 1 || v == -1)) {
      ++t1;
      signs = signs * 2 + (v == -1);
      counting = t1 < 3;
    } else {
      levels[tc - t1] = v;
      counting = false;
    }
    if (tc > 0) {
      runs[tc - 1] = uint8_t(zeros);
      inner += zeros;
    }
    ++tc;
    zeros = 0;
  }
  *out.trailingOnes = uint8_t(t1);
  *out.signs = uint8_t(signs);
  *out.totalCoeff = uint8_t(tc);
  *out.totalZeros = uint8_t(zeros + inner);
}

template <class T>
bool block4x4(const T* coef, int start, const int32_t* scan, int end, const CavlcCounts& out, T* levels,
              uint8_t* runs) {
  for (int k = start; k <= end; ++k)
    if (uint32_t(scan[k]) > 15u) return false;
  analyse(
      coef, end - start + 1, [=](int k) { return scan[start + k]; }, out, levels, runs);
  return true;
}

template <class T>
void dc2x2(const T* coef, const CavlcCounts& out, T* levels, uint8_t* runs) {
  analyse(
      coef, 4, [](int k) { return k; }, out, levels, runs);
}

// 4:2:2 chroma DC scan.
constexpr int8_t kScan2x4[8] = {0, 2, 1, 4, 6, 3, 5, 7};

template <class T>
void dc2x4(const T* coef, const CavlcCounts& out, T* levels, uint8_t* runs) {
  analyse(
      coef, 8, [](int k) { return kScan2x4[k]; }, out, levels, runs);
}

}  // namespace

const CavlcEncodeKernels kCavlcEncodeKernelsC = {
    block4x4<int16_t>, block4x4<int32_t>, dc2x2<int16_t>, dc2x2<int32_t>, dc2x4<int16_t>, dc2x4<int32_t>,
};

}  // namespace kvn
