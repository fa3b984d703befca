// Scalar reference kernels of the H.263 edge filters, straight from the
// formulas of filter_h263.h.
#include <cstddef>

#include "mpeg4/filter_h263.h"

namespace kvn {
namespace {

inline uint8_t clip(int32_t v) { return uint8_t(v < 0 ? 0 : v > 255 ? 255 : v); }
inline int32_t iabs(int32_t v) { return v < 0 ? -v : v; }

// One position: the four samples at p - 2s, p - s, p, p + s.
inline void deblock_one(uint8_t* p, ptrdiff_t s, int32_t strength) {
  const int32_t a = p[-2 * s], b = p[-s], c = p[0], d4 = p[s];
  const int32_t d = (a - 4 * b + 4 * c - d4) / 8;
  const int32_t ramp = 2 * (iabs(d) - strength);
  const int32_t m1 = iabs(d) - (ramp > 0 ? ramp : 0);
  const int32_t d1 = m1 > 0 ? (d < 0 ? -m1 : m1) : 0;
  const int32_t lim = iabs(d1) >> 1;
  int32_t d2 = (a - d4) / 4;
  d2 = d2 < -lim ? -lim : d2 > lim ? lim : d2;
  p[-2 * s] = clip(a - d2);
  p[-s] = clip(b + d1);
  p[0] = clip(c - d1);
  p[s] = clip(d4 + d2);
}

inline void boundary_one(uint8_t* p, ptrdiff_t s) {
  const int32_t b = p[-s], c = p[0];
  p[-s] = uint8_t((3 * b + c + 2) >> 2);
  p[0] = uint8_t((b + 3 * c + 2) >> 2);
}

template <int N>
void deblock_hor(uint8_t* p, int32_t step, int32_t strength) {
  for (int i = 0; i < N; ++i) deblock_one(p + i, step, strength);
}

template <int N>
void deblock_ver(uint8_t* p, int32_t step, int32_t strength) {
  for (int i = 0; i < N; ++i) deblock_one(p + ptrdiff_t(i) * step, 1, strength);
}

void boundary_hor(uint8_t* p, int32_t step) {
  for (int i = 0; i < 16; ++i) boundary_one(p + i, step);
}

void boundary_ver(uint8_t* p, int32_t step) {
  for (int i = 0; i < 16; ++i) boundary_one(p + ptrdiff_t(i) * step, 1);
}

}  // namespace

constexpr FilterH263Kernels kFilterH263KernelsC = {
    {deblock_hor<8>, deblock_hor<16>}, {deblock_ver<8>, deblock_ver<16>}, boundary_hor, boundary_ver};

}  // namespace kvn
