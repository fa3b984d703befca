// Scalar reference kernels of the VC-1 interpolation and range map, written
// straight from the formulas of interp_vc1.h.
#include "vc1/interp_vc1.h"

namespace kvn {
namespace {

template <int W, int H, int Kind>
void bicubic(const uint8_t* s, ptrdiff_t ss, uint8_t* d, ptrdiff_t ds, int dx, int dy, int r) {
  const BicubicTaps& tx = kBicubicTaps[dx];
  const BicubicTaps& ty = kBicubicTaps[dy];
  for (int y = 0; y < H; ++y, s += ss, d += ds) {
    if (Kind == 3) {
      // The vertical pass at columns -1 .. W + 1, then the horizontal one.
      const int sh = bicubic_mid_shift(dx, dy), rnd = (1 << (sh - 1)) - 1 + r;
      int16_t mid[W + 3];
      for (int x = -1; x <= W + 1; ++x)
        mid[x + 1] = int16_t((bicubic_sum(ty, s[x - ss], s[x], s[x + ss], s[x + 2 * ss]) + rnd) >> sh);
      for (int x = 0; x < W; ++x)
        d[x] = clamp255((bicubic_sum(tx, mid[x], mid[x + 1], mid[x + 2], mid[x + 3]) + 64 - r) >> 7);
      continue;
    }
    for (int x = 0; x < W; ++x) {
      int v = s[x];
      if (Kind == 1) {
        const int n = tx.shift;
        v = clamp255((bicubic_sum(tx, s[x - 1], s[x], s[x + 1], s[x + 2]) + (1 << (n - 1)) - r) >> n);
      } else if (Kind == 2) {
        const int n = ty.shift;
        v = clamp255((bicubic_sum(ty, s[x - ss], s[x], s[x + ss], s[x + 2 * ss]) + (1 << (n - 1)) - 1 + r) >> n);
      }
      d[x] = uint8_t(v);
    }
  }
}

// Channel step C (1 one channel, 2 interleaved): W samples of each channel.
template <int W, int H, int C, int Kind>
void bilinear(const uint8_t* s, ptrdiff_t ss, uint8_t* d, ptrdiff_t ds, int dx, int dy, int r) {
  r &= 1;
  for (int y = 0; y < H; ++y, s += ss, d += ds)
    for (int x = 0; x < W * C; ++x) {
      const uint8_t* p = s + x;
      const int a = p[0];
      const int b = Kind & 1 ? p[C] : 0;
      const int c = Kind & 2 ? p[ss] : 0;
      const int e = Kind == 3 ? p[ss + C] : 0;
      d[x] = uint8_t(((4 - dx) * (4 - dy) * a + dx * (4 - dy) * b + (4 - dx) * dy * c + dx * dy * e + 8 - r) >> 4);
    }
}

void range_map(const uint8_t* s, ptrdiff_t ss, uint8_t* d, ptrdiff_t ds, int width, int height, int range) {
  for (int y = 0; y < height; ++y, s += ss, d += ds)
    for (int x = 0; x < width; ++x) d[x] = range_map_sample(s[x], range);
}

#define KVN_KINDS(f, ...) \
  { f<__VA_ARGS__, 0>, f<__VA_ARGS__, 1>, f<__VA_ARGS__, 2>, f<__VA_ARGS__, 3> }

}  // namespace

constexpr InterpVc1Kernels kInterpVc1KernelsC = {
    {KVN_KINDS(bicubic, 8, 8), KVN_KINDS(bicubic, 16, 8), KVN_KINDS(bicubic, 16, 16)},
    {KVN_KINDS(bilinear, 16, 16, 1), KVN_KINDS(bilinear, 8, 8, 1), KVN_KINDS(bilinear, 8, 4, 1),
     KVN_KINDS(bilinear, 4, 4, 1)},
    {KVN_KINDS(bilinear, 8, 8, 2), KVN_KINDS(bilinear, 8, 4, 2), KVN_KINDS(bilinear, 4, 4, 2)},
    range_map,
};

}  // namespace kvn
