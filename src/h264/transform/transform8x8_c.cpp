// Scalar reference kernels of the H.264 8x8 transform family.
#include <cstddef>

#include "h264/transform/h264_arith.h"
#include "tables/h264_tables.h"
#include "h264/transform/transform8x8.h"

namespace kvn {
namespace {

using namespace h264;

// One 8-point forward butterfly in arithmetic A (T its value type).
template <class A, class T = typename A::T>
void fwd8(const T* x, int xs, T* y, int ys) {
  const T a0 = A::add(x[0], x[7 * xs]), a1 = A::add(x[xs], x[6 * xs]);
  const T a2 = A::add(x[2 * xs], x[5 * xs]), a3 = A::add(x[3 * xs], x[4 * xs]);
  const T b0 = A::add(a0, a3), b1 = A::add(a1, a2), b2 = A::sub(a0, a3), b3 = A::sub(a1, a2);
  const T a4 = A::sub(x[0], x[7 * xs]), a5 = A::sub(x[xs], x[6 * xs]);
  const T a6 = A::sub(x[2 * xs], x[5 * xs]), a7 = A::sub(x[3 * xs], x[4 * xs]);
  const T b4 = A::add(A::add(a5, a6), A::add(a4, T(a4 >> 1)));
  const T b5 = A::sub(A::sub(a4, a7), A::add(a6, T(a6 >> 1)));
  const T b6 = A::sub(A::add(a4, a7), A::add(a5, T(a5 >> 1)));
  const T b7 = A::add(A::sub(a5, a6), A::add(a7, T(a7 >> 1)));
  y[0] = A::add(b0, b1);
  y[4 * ys] = A::sub(b0, b1);
  y[2 * ys] = A::add(b2, T(b3 >> 1));
  y[6 * ys] = A::sub(T(b2 >> 1), b3);
  y[ys] = A::add(b4, T(b7 >> 2));
  y[3 * ys] = A::add(b5, T(b6 >> 2));
  y[5 * ys] = A::sub(b6, T(b5 >> 2));
  y[7 * ys] = A::sub(T(b4 >> 2), b7);
}

// One 8-point inverse butterfly of H.264 8.5.13.2.
template <class A, class T = typename A::T>
void inv8(const T* d, int ds, T* y, int ys) {
  const T d0 = d[0], d1 = d[ds], d2 = d[2 * ds], d3 = d[3 * ds];
  const T d4 = d[4 * ds], d5 = d[5 * ds], d6 = d[6 * ds], d7 = d[7 * ds];
  const T a0 = A::add(d0, d4), a4 = A::sub(d0, d4);
  const T a2 = A::sub(T(d2 >> 1), d6), a6 = A::add(d2, T(d6 >> 1));
  const T b0 = A::add(a0, a6), b2 = A::add(a4, a2), b4 = A::sub(a4, a2), b6 = A::sub(a0, a6);
  const T a1 = A::sub(A::sub(A::sub(d5, d3), d7), T(d7 >> 1));
  const T a3 = A::sub(A::sub(A::add(d1, d7), d3), T(d3 >> 1));
  const T a5 = A::add(A::add(A::sub(d7, d1), d5), T(d5 >> 1));
  const T a7 = A::add(A::add(A::add(d3, d5), d1), T(d1 >> 1));
  const T b1 = A::add(a1, T(a7 >> 2)), b7 = A::sub(a7, T(a1 >> 2));
  const T b3 = A::add(a3, T(a5 >> 2)), b5 = A::sub(T(a3 >> 2), a5);
  y[0] = A::add(b0, b7);
  y[ys] = A::add(b2, b5);
  y[2 * ys] = A::add(b4, b3);
  y[3 * ys] = A::add(b6, b1);
  y[4 * ys] = A::sub(b6, b1);
  y[5 * ys] = A::sub(b4, b3);
  y[6 * ys] = A::sub(b2, b5);
  y[7 * ys] = A::sub(b0, b7);
}

// Rows, then columns, of a butterfly over an 8x8 block held in T.
template <class T, class F>
void rows_cols8(const T* x, T* y, F f) {
  T t[64];
  for (int i = 0; i < 8; ++i) f(x + 8 * i, 1, t + 8 * i, 1);
  for (int j = 0; j < 8; ++j) f(t + j, 8, y + j, 8);
}

void fwd16s(const int16_t* src, int16_t* dst) { rows_cols8<int16_t>(src, dst, fwd8<Wrap16>); }

void fwd32s(const int16_t* src, int32_t* dst) {
  int32_t x[64];
  for (int p = 0; p < 64; ++p) x[p] = src[p];
  rows_cols8<int32_t>(x, dst, fwd8<Wrap32>);
}

template <class T>
void finish_counts(const T* levels, const int16_t* scan, int32_t* num, int32_t* last) {
  count_levels(levels, 64, scan, num, last);
  if (levels[0] != 0) *num = -*num;
}

void quant16s(const int16_t* src, int16_t* dst, int32_t q6, int32_t intra, const int16_t* scan, const int16_t* scale,
              int32_t* num, int32_t* last) {
  const int s = q6 + 12;
  const int32_t f = int32_t(intra ? offset_682(s) : offset_342(s));
  int16_t lv[64];
  for (int p = 0; p < 64; ++p) {
    const int32_t c = src[p];
    const int32_t mag = c < 0 ? (c == -32768 ? 32767 : -c) : c;
    const int32_t t = int32_t(uint32_t(mag) * uint32_t(int32_t(scale[p])) + uint32_t(f)) >> s;
    lv[p] = sat16(c < 0 ? -int64_t(t) : int64_t(t));
  }
  for (int p = 0; p < 64; ++p) dst[p] = lv[p];
  finish_counts(dst, scan, num, last);
}

void quant32s(const int32_t* src, int32_t* dst, int32_t q6, int32_t intra, const int16_t* scan, const int16_t* scale,
              int32_t* num, int32_t* last) {
  const int s = q6 + 12;
  const int64_t f = intra ? offset_682(s) : offset_342(s);
  int32_t lv[64];
  for (int p = 0; p < 64; ++p) lv[p] = sat32(quantise(src[p], scale[p], f, s));
  for (int p = 0; p < 64; ++p) dst[p] = lv[p];
  finish_counts(dst, scan, num, last);
}

void dequant16s(int16_t* block, int32_t q6, const int16_t* inv) {
  for (int p = 0; p < 64; ++p) block[p] = sat16(rescale(int64_t(block[p]) * inv[p], q6, 6));
}

void dequant32s(int32_t* block, int32_t q6, const int16_t* inv) {
  for (int p = 0; p < 64; ++p) block[p] = rescale_wrap32(uint32_t(block[p]) * uint32_t(int32_t(inv[p])), q6, 6);
}

void inv_add8u(const uint8_t* pred, int32_t predStep, const int16_t* src, uint8_t* dst, int32_t dstStep) {
  int16_t r[64];
  rows_cols8<int16_t>(src, r, inv8<Sat16>);
  for (int i = 0; i < 8; ++i)
    for (int j = 0; j < 8; ++j) {
      const int16_t res = int16_t(Sat16::add(r[8 * i + j], 32) >> 6);
      dst[std::ptrdiff_t(i) * dstStep + j] = clamp_u8(Sat16::add(res, pred[std::ptrdiff_t(i) * predStep + j]));
    }
}

void inv_add16u(const uint16_t* pred, std::ptrdiff_t predStep, const int32_t* src, uint16_t* dst,
                std::ptrdiff_t dstStep, int32_t maxValue) {
  int32_t r[64];
  rows_cols8<int32_t>(src, r, inv8<Wrap32>);
  const auto* pb = reinterpret_cast<const uint8_t*>(pred);
  auto* db = reinterpret_cast<uint8_t*>(dst);
  for (int i = 0; i < 8; ++i) {
    const auto* pr = reinterpret_cast<const uint16_t*>(pb + i * predStep);
    auto* dr = reinterpret_cast<uint16_t*>(db + i * dstStep);
    for (int j = 0; j < 8; ++j) {
      const int32_t res = Wrap32::add(r[8 * i + j], 32) >> 6;
      dr[j] = uint16_t(clamp64(int64_t(res) + pr[j], 0, maxValue));
    }
  }
}

void gen_scale(const uint8_t* list, int32_t step, int16_t* inv, int16_t* fwd, int32_t m) {
  for (int i = 0; i < 8; ++i)
    for (int j = 0; j < 8; ++j) {
      const int w = list[std::ptrdiff_t(i) * step + j], c = pos_class8x8(i, j);
      inv[8 * i + j] = int16_t(kNormAdjust8x8[m][c] * w);
      fwd[8 * i + j] = int16_t(w ? kQuantMul8x8[m][c] / w : kQuantMul8x8[m][c]);
    }
}

}  // namespace

constexpr Transform8x8Kernels kTransform8x8KernelsC = {fwd16s,     fwd32s,    quant16s,   quant32s, dequant16s,
                                                       dequant32s, inv_add8u, inv_add16u, gen_scale};

}  // namespace kvn
