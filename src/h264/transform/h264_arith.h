// Scalar arithmetic of the H.264 4x4 and DC transforms, shared by the
// reference kernels of the transform families: saturation and wrapping
// helpers, the core transforms (H.264 8.5.12) in each arithmetic width, the
// Hadamard butterflies and the quantiser's offsets.
#pragma once

#include <cstdint>

namespace kvn {
namespace h264 {

inline int16_t sat16(int64_t x) { return int16_t(x < -32768 ? -32768 : x > 32767 ? 32767 : x); }
inline int32_t sat32(int64_t x) { return int32_t(x < INT32_MIN ? INT32_MIN : x > INT32_MAX ? INT32_MAX : x); }
inline int16_t wrap16(int64_t x) { return int16_t(uint16_t(uint64_t(x))); }
inline int32_t wrap32(int64_t x) { return int32_t(uint32_t(uint64_t(x))); }
inline int64_t clamp64(int64_t x, int64_t lo, int64_t hi) { return x < lo ? lo : x > hi ? hi : x; }
inline uint8_t clamp_u8(int64_t x) { return uint8_t(clamp64(x, 0, 255)); }

// Arithmetic widths of the transforms: every addition, doubling and halving
// of a butterfly goes through one of these.
struct Sat16 {  // saturating 16-bit
  using T = int16_t;
  static T add(T a, T b) { return sat16(int32_t(a) + b); }
  static T sub(T a, T b) { return sat16(int32_t(a) - b); }
};
struct Wrap16 {  // wrapping 16-bit (the low 16 bits of the exact result)
  using T = int16_t;
  static T add(T a, T b) { return wrap16(int32_t(a) + b); }
  static T sub(T a, T b) { return wrap16(int32_t(a) - b); }
};
struct Wrap32 {  // wrapping 32-bit
  using T = int32_t;
  static T add(T a, T b) { return wrap32(int64_t(a) + b); }
  static T sub(T a, T b) { return wrap32(int64_t(a) - b); }
};
struct Exact64 {  // exact (no overflow for the values it is used on)
  using T = int64_t;
  static T add(T a, T b) { return a + b; }
  static T sub(T a, T b) { return a - b; }
};

// Forward core transform of 4 values: y0 = s03 + s12, y1 = 2 d03 + d12,
// y2 = s03 - s12, y3 = d03 - 2 d12.
template <class A, class T = typename A::T>
inline void fwd4(T x0, T x1, T x2, T x3, T* y, int stride) {
  const T s03 = A::add(x0, x3), d03 = A::sub(x0, x3), s12 = A::add(x1, x2), d12 = A::sub(x1, x2);
  y[0] = A::add(s03, s12);
  y[stride] = A::add(A::add(d03, d03), d12);
  y[2 * stride] = A::sub(s03, s12);
  y[3 * stride] = A::sub(d03, A::add(d12, d12));
}

// A 4-point butterfly F(x0, x1, x2, x3, out, stride) over the rows of a 4x4
// block, then over the columns of the result.
template <class T, class F>
inline void rows_then_columns(const T* x, T* y, F butterfly) {
  T t[16];
  for (int i = 0; i < 4; ++i) butterfly(x[4 * i], x[4 * i + 1], x[4 * i + 2], x[4 * i + 3], t + 4 * i, 1);
  for (int j = 0; j < 4; ++j) butterfly(t[j], t[4 + j], t[8 + j], t[12 + j], y + j, 4);
}

// Forward core transform of a 4x4 block: rows, then columns.
template <class A, class T = typename A::T>
inline void fwd4x4(const T* x, T* y) {
  rows_then_columns(x, y, fwd4<A, T>);
}

// Inverse core transform (H.264 8.5.12.2): rows, then columns with 32 added
// to e0 and e1; results shifted right by 6.
template <class A, class T = typename A::T>
inline void inv4(T x0, T x1, T x2, T x3, T rnd, T* y, int stride) {
  const T e0 = A::add(A::add(x0, x2), rnd), e1 = A::add(A::sub(x0, x2), rnd);
  const T e2 = A::sub(T(x1 >> 1), x3), e3 = A::add(x1, T(x3 >> 1));
  y[0] = A::add(e0, e3);
  y[stride] = A::add(e1, e2);
  y[2 * stride] = A::sub(e1, e2);
  y[3 * stride] = A::sub(e0, e3);
}

template <class A, class T = typename A::T>
inline void inv4x4(const T* x, T* y) {
  T t[16];
  for (int i = 0; i < 4; ++i) inv4<A>(x[4 * i], x[4 * i + 1], x[4 * i + 2], x[4 * i + 3], T(0), t + 4 * i, 1);
  for (int j = 0; j < 4; ++j) {
    inv4<A>(t[j], t[4 + j], t[8 + j], t[12 + j], T(32), y + j, 4);
    for (int i = 0; i < 4; ++i) y[4 * i + j] = T(y[4 * i + j] >> 6);
  }
}

// 4-point Hadamard butterfly in the order of H = (1 1 1 1 / 1 1 -1 -1 /
// 1 -1 -1 1 / 1 -1 1 -1).
template <class A, class T = typename A::T>
inline void hadamard4(T x0, T x1, T x2, T x3, T* y, int stride) {
  const T s01 = A::add(x0, x1), s23 = A::add(x2, x3), d01 = A::sub(x0, x1), d23 = A::sub(x2, x3);
  y[0] = A::add(s01, s23);
  y[stride] = A::sub(s01, s23);
  y[2 * stride] = A::sub(d01, d23);
  y[3 * stride] = A::add(d01, d23);
}

// H x H of a 4x4 block, rows first.
template <class A, class T = typename A::T>
inline void hadamard4x4(const T* x, T* y) {
  rows_then_columns(x, y, hadamard4<A, T>);
}

// Quantiser offsets for shift s: 2^s / 3 (intra), 2^s / 6 (inter), and the
// fixed-point thirds and sixths 682 / 342 * 2^(s - 11).
inline int64_t offset_third(int s) { return (int64_t(1) << s) / 3; }
inline int64_t offset_sixth(int s) { return (int64_t(1) << s) / 6; }
inline int64_t offset_682(int s) { return int64_t(682) << (s - 11); }
inline int64_t offset_342(int s) { return int64_t(342) << (s - 11); }
inline int64_t offset_intra_inter(int s, bool intra) { return intra ? offset_third(s) : offset_sixth(s); }

// The scaling of H.264 8.5.12.1 (k = 4) and 8.5.10 (k = 6) of x = c * LS,
// exact: x << (q6 - k) from q6 = k on, else (x + 2^(k - 1 - q6)) >> (k - q6).
inline int64_t rescale(int64_t x, int q6, int k) {
  return q6 >= k ? x * (int64_t(1) << (q6 - k)) : (x + (int64_t(1) << (k - 1 - q6))) >> (k - q6);
}
// The same on a product already wrapped to 32 bits, wrapping in 32 bits.
inline int32_t rescale_wrap32(uint32_t x, int q6, int k) {
  return q6 >= k ? int32_t(x << (q6 - k)) : int32_t(x + (1u << (k - 1 - q6))) >> (k - q6);
}

// sign(c) * ((|c| * mul + f) >> s), exact.
inline int64_t quantise(int64_t c, int64_t mul, int64_t f, int s) {
  const int64_t t = ((c < 0 ? -c : c) * mul + f) >> s;
  return c < 0 ? -t : t;
}

// Number of nonzero levels and, when scan and last are given, the largest
// scan-table entry among them (0 when there is none).
template <class T>
inline void count_levels(const T* levels, int n, const int16_t* scan, int32_t* num, int32_t* last) {
  int32_t count = 0, top = 0;
  for (int p = 0; p < n; ++p) {
    if (levels[p] == 0) continue;
    if (scan && (count == 0 || scan[p] > top)) top = scan[p];
    ++count;
  }
  *num = count;
  if (last) *last = top;
}

}  // namespace h264
}  // namespace kvn
