// Scalar reference kernels of the intra predictors for any bit depth (H.264
// 8.3.1.2, 8.3.2.2, 8.3.3, 8.3.4), written once over the sample type; the 8x8
// luma predictor is the one of the 8-bit reconstruction (recon_intra8x8.h).
#include "h264/intra/intra_hbd.h"
#include "h264/recon/recon_intra8x8.h"

namespace kvn {
namespace {

inline int f2(int a, int b) { return (a + b + 1) >> 1; }
inline int f3(int a, int b, int c) { return (a + 2 * b + c + 2) >> 2; }

// Reference samples of an N x N block in one line: p[-1, N-1..0], p[-1, -1],
// p[0..2N-1, -1]; top(x) = p[x, -1] for x = -1..2N-1, left(y) = p[-1, y] for
// y = -1..N-1.
template <int N>
struct Edge {
  int e[3 * N + 1];
  int top(int x) const { return e[N + 1 + x]; }
  int left(int y) const { return e[N - 1 - y]; }
  int& t(int x) { return e[N + 1 + x]; }
  int& l(int y) { return e[N - 1 - y]; }
};

// 4x4 (H.264 8.3.1.2): unavailable samples are `half`; a missing top-right
// repeats p[3, -1].
template <class S>
Edge<4> edge4x4(const S* b, std::ptrdiff_t s, int32_t avail, int half) {
  Edge<4> e;
  for (int& v : e.e) v = half;
  if (avail & kAvailTop)
    for (int x = 0; x < 4; ++x) e.t(x) = b[x - s];
  for (int x = 4; x < 8; ++x) e.t(x) = (avail & kAvailTopRight) ? b[x - s] : e.top(3);
  if (avail & kAvailLeft)
    for (int y = 0; y < 4; ++y) e.l(y) = b[y * s - 1];
  if (avail & kAvailTopLeft) e.t(-1) = b[-s - 1];
  return e;
}

// The nine directional modes (H.264 8.3.1.2.1 - 8.3.1.2.9) over the edge of
// an N x N block.
template <int N>
int predict_nxn(const Edge<N>& e, int mode, int32_t avail, int half, int x, int y) {
  switch (mode) {
    case 0: return e.top(x);
    case 1: return e.left(y);
    case 2: {
      int st = 0, sl = 0;
      for (int i = 0; i < N; ++i) st += e.top(i), sl += e.left(i);
      const int lg = N == 4 ? 2 : 3;
      const bool t = avail & kAvailTop, l = avail & kAvailLeft;
      return t && l ? (st + sl + N) >> (lg + 1) : t ? (st + N / 2) >> lg : l ? (sl + N / 2) >> lg : half;
    }
    case 3:
      return x == N - 1 && y == N - 1 ? (e.top(2 * N - 2) + 3 * e.top(2 * N - 1) + 2) >> 2
                                      : f3(e.top(x + y), e.top(x + y + 1), e.top(x + y + 2));
    case 4:
      if (x > y) return f3(e.top(x - y - 2), e.top(x - y - 1), e.top(x - y));
      if (x < y) return f3(e.left(y - x - 2), e.left(y - x - 1), e.left(y - x));
      return f3(e.top(0), e.top(-1), e.left(0));
    case 5: {
      const int z = 2 * x - y, c = x - (y >> 1);
      if (z >= 0 && !(z & 1)) return f2(e.top(c - 1), e.top(c));
      if (z >= 0) return f3(e.top(c - 2), e.top(c - 1), e.top(c));
      if (z == -1) return f3(e.left(0), e.left(-1), e.top(0));
      return f3(e.left(y - 2 * x - 1), e.left(y - 2 * x - 2), e.left(y - 2 * x - 3));
    }
    case 6: {
      const int z = 2 * y - x, r = y - (x >> 1);
      if (z >= 0 && !(z & 1)) return f2(e.left(r - 1), e.left(r));
      if (z >= 0) return f3(e.left(r - 2), e.left(r - 1), e.left(r));
      if (z == -1) return f3(e.left(0), e.left(-1), e.top(0));
      return f3(e.top(x - 2 * y - 1), e.top(x - 2 * y - 2), e.top(x - 2 * y - 3));
    }
    case 7: {
      const int c = x + (y >> 1);
      return (y & 1) ? f3(e.top(c), e.top(c + 1), e.top(c + 2)) : f2(e.top(c), e.top(c + 1));
    }
    default: {
      const int z = x + 2 * y, r = y + (x >> 1);
      if (z > 2 * N - 3) return e.left(N - 1);
      if (z == 2 * N - 3) return (e.left(N - 2) + 3 * e.left(N - 1) + 2) >> 2;
      return (z & 1) ? f3(e.left(r), e.left(r + 1), e.left(r + 2)) : f2(e.left(r), e.left(r + 1));
    }
  }
}

// The prediction is formed whole before it is stored: the block's own
// samples are not references, but the edge is read first all the same.
template <int N, class S>
void store_nxn(S* b, std::ptrdiff_t s, const Edge<N>& e, int mode, int32_t avail, int half) {
  S out[N * N];
  for (int y = 0; y < N; ++y)
    for (int x = 0; x < N; ++x) out[N * y + x] = S(predict_nxn<N>(e, mode, avail, half, x, y));
  for (int y = 0; y < N; ++y)
    for (int x = 0; x < N; ++x) b[y * s + x] = out[N * y + x];
}

template <int Mode>
void pred4x4(uint16_t* b, std::ptrdiff_t s, int32_t avail, int32_t bd) {
  const int half = 1 << (bd - 1);
  store_nxn<4>(b, s, edge4x4(b, s, avail, half), Mode, avail, half);
}

// 8x8 with filtered references: the predictor shared with the 8-bit
// reconstruction.
template <int Mode>
void pred8x8(uint16_t* b, std::ptrdiff_t s, int32_t avail, int32_t bd) {
  h264::intra8x8_predict(b, s, Mode, avail, 1 << (bd - 1));
}

// ---- W x H blocks: 16x16 luma, 8x8 and 8x16 chroma --------------------------

template <int W, int H, class S>
void fill(S* b, std::ptrdiff_t s, int (*value)(const S*, std::ptrdiff_t, int, int)) {
  S out[W * H];
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) out[W * y + x] = S(value(b, s, x, y));
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) b[y * s + x] = out[W * y + x];
}

template <int W, int H, class S>
void ver(S* b, std::ptrdiff_t s) {
  fill<W, H, S>(b, s, [](const S* p, std::ptrdiff_t st, int x, int) { return int(p[x - st]); });
}
template <int W, int H, class S>
void hor(S* b, std::ptrdiff_t s) {
  fill<W, H, S>(b, s, [](const S* p, std::ptrdiff_t st, int, int y) { return int(p[y * st - 1]); });
}

template <class S>
int sum_top(const S* b, std::ptrdiff_t s, int x0, int n) {
  int t = 0;
  for (int i = 0; i < n; ++i) t += b[x0 + i - s];
  return t;
}
template <class S>
int sum_left(const S* b, std::ptrdiff_t s, int y0, int n) {
  int t = 0;
  for (int i = 0; i < n; ++i) t += b[(y0 + i) * s - 1];
  return t;
}

template <class S>
void dc16x16(S* b, std::ptrdiff_t s, int32_t avail, int half) {
  const bool t = avail & kAvailTop, l = avail & kAvailLeft;
  const int dc = t && l ? (sum_top(b, s, 0, 16) + sum_left(b, s, 0, 16) + 16) >> 5
                 : t    ? (sum_top(b, s, 0, 16) + 8) >> 4
                 : l    ? (sum_left(b, s, 0, 16) + 8) >> 4
                        : half;
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) b[y * s + x] = S(dc);
}

// Chroma DC per 4x4 block at (xo, yo) (H.264 8.3.4.1-8.3.4.3): blocks on the
// diagonal of the 2x2 grid and the inner ones use both sides; the others of
// the top row prefer their top, those of the left column their left.
template <int H, class S>
void chroma_dc(S* b, std::ptrdiff_t s, int32_t avail, int half) {
  const bool t = avail & kAvailTop;
  int dc[H / 4][2];
  for (int by = 0; by < H / 4; ++by) {
    const bool l = avail & (4 * by < H / 2 ? kAvailLeft : kAvailLeftLower);
    for (int bx = 0; bx < 2; ++bx) {
      const int st = t ? sum_top(b, s, 4 * bx, 4) : 0, sl = l ? sum_left(b, s, 4 * by, 4) : 0;
      const int both = (st + sl + 4) >> 3, top = (st + 2) >> 2, left = (sl + 2) >> 2;
      int v;
      if ((bx == 0) == (by == 0))
        v = t && l ? both : t ? top : l ? left : half;
      else if (by == 0)
        v = t ? top : l ? left : half;
      else
        v = l ? left : t ? top : half;
      dc[by][bx] = v;
    }
  }
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < 8; ++x) b[y * s + x] = S(dc[y >> 2][x >> 2]);
}

// Plane (H.264 8.3.3.4, 8.3.4.4) of a W x H block: gradients over the top and
// left halves, b = (5 H + 32) >> 6 along a 16-sample side, (34 H + 32) >> 6
// along an 8-sample one.
template <int W, int H, class S>
void plane(S* b, std::ptrdiff_t s, int max) {
  auto top = [&](int x) { return int(b[x - s]); };       // x = -1.. W-1
  auto left = [&](int y) { return int(b[y * s - 1]); };  // y = -1.. H-1
  int gh = 0, gv = 0;
  for (int i = 0; i < W / 2; ++i) gh += (i + 1) * (top(W / 2 + i) - top(W / 2 - 2 - i));
  for (int i = 0; i < H / 2; ++i) gv += (i + 1) * (left(H / 2 + i) - left(H / 2 - 2 - i));
  const int a = 16 * (left(H - 1) + top(W - 1));
  const int pb = ((W == 16 ? 5 : 34) * gh + 32) >> 6, pc = ((H == 16 ? 5 : 34) * gv + 32) >> 6;
  S out[W * H];
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) {
      const int v = (a + pb * (x - (W / 2 - 1)) + pc * (y - (H / 2 - 1)) + 16) >> 5;
      out[W * y + x] = S(v < 0 ? 0 : v > max ? max : v);
    }
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) b[y * s + x] = out[W * y + x];
}

void p16_ver(uint16_t* b, std::ptrdiff_t s, int32_t, int32_t) { ver<16, 16>(b, s); }
void p16_hor(uint16_t* b, std::ptrdiff_t s, int32_t, int32_t) { hor<16, 16>(b, s); }
void p16_dc(uint16_t* b, std::ptrdiff_t s, int32_t a, int32_t bd) { dc16x16(b, s, a, 1 << (bd - 1)); }
void p16_plane(uint16_t* b, std::ptrdiff_t s, int32_t, int32_t bd) { plane<16, 16>(b, s, (1 << bd) - 1); }

template <int H>
void c_dc(uint16_t* b, std::ptrdiff_t s, int32_t a, int32_t bd) {
  chroma_dc<H>(b, s, a, 1 << (bd - 1));
}
template <int H>
void c_hor(uint16_t* b, std::ptrdiff_t s, int32_t, int32_t) {
  hor<8, H>(b, s);
}
template <int H>
void c_ver(uint16_t* b, std::ptrdiff_t s, int32_t, int32_t) {
  ver<8, H>(b, s);
}
template <int H>
void c_plane(uint16_t* b, std::ptrdiff_t s, int32_t, int32_t bd) {
  plane<8, H>(b, s, (1 << bd) - 1);
}

void c8_dc(uint8_t* b, std::ptrdiff_t s, int32_t a) { chroma_dc<16>(b, s, a, 128); }
void c8_hor(uint8_t* b, std::ptrdiff_t s, int32_t) { hor<8, 16>(b, s); }
void c8_ver(uint8_t* b, std::ptrdiff_t s, int32_t) { ver<8, 16>(b, s); }
void c8_plane(uint8_t* b, std::ptrdiff_t s, int32_t) { plane<8, 16>(b, s, 255); }

}  // namespace

constexpr IntraHbdKernels kIntraHbdKernelsC = {
    {pred4x4<0>, pred4x4<1>, pred4x4<2>, pred4x4<3>, pred4x4<4>, pred4x4<5>, pred4x4<6>, pred4x4<7>, pred4x4<8>},
    {pred8x8<0>, pred8x8<1>, pred8x8<2>, pred8x8<3>, pred8x8<4>, pred8x8<5>, pred8x8<6>, pred8x8<7>, pred8x8<8>},
    {p16_ver, p16_hor, p16_dc, p16_plane},
    {c_dc<8>, c_hor<8>, c_ver<8>, c_plane<8>},
    {c_dc<16>, c_hor<16>, c_ver<16>, c_plane<16>},
    {c8_dc, c8_hor, c8_ver, c8_plane},
};

}  // namespace kvn
