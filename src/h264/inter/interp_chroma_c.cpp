// Scalar reference kernels of the chroma interpolation, the block average and
// the border expansion, written straight from the formulas (interp_chroma.h).
#include "h264/inter/interp_chroma.h"

namespace kvn {
namespace {

// One channel: samples sd apart in the source (1 planar, 2 interleaved), dd
// apart in the destination.
template <class T, int Kind>
void chroma_plane(const T* s, ptrdiff_t ss, int sd, T* d, ptrdiff_t ds, int dd, int width, int dx, int dy, int height) {
  for (int y = 0; y < height; ++y, s += ss, d += ds)
    for (int x = 0; x < width; ++x) {
      const T* p = s + x * sd;
      int v;
      if (Kind == 0)
        v = p[0];
      else if (Kind == 1)
        v = chroma_1d(p[0], p[sd], dx);
      else if (Kind == 2)
        v = chroma_1d(p[0], p[ss], dy);
      else
        v = chroma_2d(p[0], p[sd], p[ss], p[ss + sd], dx, dy);
      d[x * dd] = T(v);
    }
}

template <int W, int K>
void c1(const uint8_t* s, ptrdiff_t ss, uint8_t* d, ptrdiff_t ds, int dx, int dy, int h) {
  chroma_plane<uint8_t, K>(s, ss, 1, d, ds, 1, W, dx, dy, h);
}

template <int W, int K>
void c2c2(const uint8_t* s, ptrdiff_t ss, uint8_t* d, ptrdiff_t ds, int dx, int dy, int h) {
  chroma_plane<uint8_t, K>(s, ss, 2, d, ds, 2, W, dx, dy, h);
  chroma_plane<uint8_t, K>(s + 1, ss, 2, d + 1, ds, 2, W, dx, dy, h);
}

template <int W, int K>
void c2p2(const uint8_t* s, ptrdiff_t ss, uint8_t* u, uint8_t* v, ptrdiff_t ds, int dx, int dy, int h) {
  chroma_plane<uint8_t, K>(s, ss, 2, u, ds, 1, W, dx, dy, h);
  chroma_plane<uint8_t, K>(s + 1, ss, 2, v, ds, 1, W, dx, dy, h);
}

template <int W, int K>
void c16(const uint16_t* s, ptrdiff_t ss, uint16_t* d, ptrdiff_t ds, int dx, int dy, int h) {
  chroma_plane<uint16_t, K>(s, ss, 1, d, ds, 1, W, dx, dy, h);
}

template <int W>
void average(const uint8_t* a, ptrdiff_t as, const uint8_t* b, ptrdiff_t bs, uint8_t* d, ptrdiff_t ds, int h) {
  for (int y = 0; y < h; ++y, a += as, b += bs, d += ds)
    for (int x = 0; x < W; ++x) d[x] = uint8_t(average2(a[x], b[x]));
}

struct ExpandOps {
  static void copy(uint8_t* d, const uint8_t* s, ptrdiff_t n) {
    for (ptrdiff_t i = 0; i < n; ++i) d[i] = s[i];
  }
  static void sides(uint8_t* row, int32_t width, int32_t border) {
    const uint8_t left = row[0], right = row[width - 1];
    for (int32_t i = 1; i <= border; ++i) row[-i] = left;
    for (int32_t i = 0; i < border; ++i) row[width + i] = right;
  }
};

void expand(uint8_t* plane, int32_t width, int32_t height, ptrdiff_t step, int32_t border, int32_t fieldMode) {
  expand_plane<ExpandOps>(plane, width, height, step, border, fieldMode);
}

#define KVN_KINDS(f, W) \
  { f<W, 0>, f<W, 1>, f<W, 2>, f<W, 3> }
#define KVN_WIDTHS(f) \
  { KVN_KINDS(f, 2), KVN_KINDS(f, 4), KVN_KINDS(f, 6), KVN_KINDS(f, 8) }

}  // namespace

constexpr InterpChromaKernels kInterpChromaKernelsC = {
    KVN_WIDTHS(c1),
    KVN_WIDTHS(c2c2),
    KVN_WIDTHS(c2p2),
    KVN_WIDTHS(c16),
    {average<2>, average<3>, average<4>, average<5>, average<6>, average<7>, average<8>, average<9>, average<10>,
     average<11>, average<12>, average<13>, average<14>, average<15>, average<16>},
    expand,
};

}  // namespace kvn
