// Scalar reference kernels of the VC-1 overlap smoothing, straight from the
// formulas of smooth_vc1.h. The 16-bit samples are read and written through
// memcpy, as the steps need not keep them aligned.
#include <cstddef>
#include <cstring>
#include <type_traits>

#include "vc1/smooth_vc1.h"

namespace kvn {
namespace {

using std::ptrdiff_t;

inline int16_t sat(int32_t v) { return int16_t(v < -32768 ? -32768 : v > 32767 ? 32767 : v); }
inline int16_t adds(int16_t a, int32_t b) { return sat(a + b); }
inline int16_t subs(int16_t a, int32_t b) { return sat(a - b); }
inline int16_t times7(int16_t x) { return sat(7 * int32_t(x)); }
inline uint8_t clamp8(int16_t v) { return uint8_t(v < 0 ? 0 : v > 255 ? 255 : v); }

// One row or column: x[0..3] in, y[0..3] out.
inline void smooth4(const int16_t (&x)[4], int r, int16_t (&y)[4]) {
  y[0] = int16_t(adds(adds(times7(x[0]), x[3]), r) >> 3);
  y[1] = int16_t(adds(adds(adds(adds(subs(0, x[0]), times7(x[1])), x[2]), x[3]), 7 - r) >> 3);
  y[2] = int16_t(adds(subs(adds(adds(x[0], x[1]), times7(x[2])), x[3]), r) >> 3);
  y[3] = int16_t(adds(adds(x[0], times7(x[3])), 7 - r) >> 3);
}

template <class T>
inline T* at(T* p, int32_t step, int i) {
  using B = std::conditional_t<std::is_const_v<T>, const uint8_t, uint8_t>;
  return reinterpret_cast<T*>(reinterpret_cast<B*>(p) + ptrdiff_t(step) * i);
}
inline int16_t ld(const int16_t* p, int k = 0) {
  int16_t v;
  std::memcpy(&v, p + k, 2);
  return v;
}
inline void st(int16_t* p, int k, int16_t v) { std::memcpy(p + k, &v, 2); }

// Vertical edge, one row: x0, x1 at l[0], l[1], x2, x3 at r[0], r[1]; the
// destination's four samples `pitch` bytes apart from d[-2 pitch] on.
inline void ver_row(int16_t* l, int16_t* r, uint8_t* d, int pitch, int rnd) {
  const int16_t x[4] = {ld(l), ld(l, 1), ld(r), ld(r, 1)};
  int16_t y[4];
  smooth4(x, rnd, y);
  st(l, 0, y[0]), st(l, 1, y[1]), st(r, 0, y[2]), st(r, 1, y[3]);
  for (int k = 0; k < 4; ++k) d[(k - 2) * pitch] = clamp8(y[k]);
}

// Horizontal edge, column c.
inline void hor_col(const int16_t* u, int32_t us, const int16_t* lo, int32_t ls, uint8_t* d, int32_t ds, int c,
                    int pitch) {
  const int16_t x[4] = {ld(u, c), ld(at(u, us, 1), c), ld(lo, c), ld(at(lo, ls, 1), c)};
  int16_t y[4];
  smooth4(x, c & 1 ? 3 : 4, y);
  for (int k = 0; k < 4; ++k) at(d, ds, k - 2)[c * pitch] = clamp8(y[k]);
}

template <int Layout>
void luma_ver(int16_t* left, int32_t ls, int16_t* right, int32_t rs, uint8_t* dst, int32_t ds, uint32_t halves) {
  for (int i = 0; i < 16; ++i)
    if (halves >> (i >> 3) & 1)
      ver_row(at(left, ls, smooth_vc1::left_row<Layout>(i)), at(right, rs, smooth_vc1::right_row<Layout>(i)),
              at(dst, ds, i), 1, i & 1 ? 3 : 4);
}

void luma_hor(const int16_t* up, int32_t us, const int16_t* lo, int32_t ls, uint8_t* dst, int32_t ds, uint32_t halves) {
  for (int c = 0; c < 16; ++c)
    if (halves >> (c >> 3) & 1) hor_col(up, us, lo, ls, dst, ds, c, 1);
}

void chroma_ver(int16_t* left, int32_t ls, int16_t* right, int32_t rs, uint8_t* dst, int32_t ds) {
  for (int i = 0; i < 8; ++i) ver_row(at(left, ls, i), at(right, rs, i), at(dst, ds, i), 1, i & 1 ? 3 : 4);
}

void chroma_hor(const int16_t* up, int32_t us, const int16_t* lo, int32_t ls, uint8_t* dst, int32_t ds) {
  for (int c = 0; c < 8; ++c) hor_col(up, us, lo, ls, dst, ds, c, 1);
}

void chroma_ver_p2(int16_t* l0, int32_t ls0, int16_t* r0, int32_t rs0, int16_t* l1, int32_t ls1, int16_t* r1,
                   int32_t rs1, uint8_t* dst, int32_t ds) {
  for (int i = 0; i < 8; ++i) {
    ver_row(at(l0, ls0, i), at(r0, rs0, i), at(dst, ds, i), 2, i & 1 ? 3 : 4);
    ver_row(at(l1, ls1, i), at(r1, rs1, i), at(dst, ds, i) + 1, 2, i & 1 ? 3 : 4);
  }
}

void chroma_hor_p2(const int16_t* u0, int32_t us0, const int16_t* lo0, int32_t ls0, const int16_t* u1, int32_t us1,
                   const int16_t* lo1, int32_t ls1, uint8_t* dst, int32_t ds) {
  for (int c = 0; c < 8; ++c) {
    hor_col(u0, us0, lo0, ls0, dst, ds, c, 2);
    hor_col(u1, us1, lo1, ls1, dst + 1, ds, c, 2);
  }
}

}  // namespace

constexpr SmoothVc1Kernels kSmoothVc1KernelsC = {
    {luma_ver<kFrameRows>, luma_ver<kRightFieldRows>, luma_ver<kLeftFieldRows>, luma_ver<kBothFieldRows>},
    luma_hor,
    chroma_ver,
    chroma_hor,
    chroma_ver_p2,
    chroma_hor_p2};

}  // namespace kvn
