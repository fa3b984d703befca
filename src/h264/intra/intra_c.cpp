// Scalar reference kernels of the H.264 intra predictors (H.264 8.3.1.2,
// 8.3.3, 8.3.4).
#include <cstring>

#include "h264/intra/intra.h"

namespace kvn {
namespace {

inline uint8_t f2(int a, int b) { return uint8_t((a + b + 1) >> 1); }
inline uint8_t f3(int a, int b, int c) { return uint8_t((a + 2 * b + c + 2) >> 2); }
inline uint8_t clip(int v) { return uint8_t(v < 0 ? 0 : v > 255 ? 255 : v); }

// Neighbours of a 4x4 block with the substitutions applied, in one line:
// e[0..3] = p[-1, 3..0], e[4] = p[-1, -1], e[5..12] = p[0..7, -1].
struct Edge4 {
  int e[13];
  int top(int x) const { return e[5 + x]; }   // p[x, -1], x = -1..7
  int left(int y) const { return e[3 - y]; }  // p[-1, y], y = -1..3
};

Edge4 edge4(const uint8_t* b, std::ptrdiff_t s, int32_t avail) {
  Edge4 n;
  for (int i = 0; i < 13; ++i) n.e[i] = 128;
  if (avail & kAvailTop) {
    for (int x = 0; x < 4; ++x) n.e[5 + x] = b[x - s];
    for (int x = 4; x < 8; ++x) n.e[5 + x] = (avail & kAvailTopRight) ? b[x - s] : n.e[8];
  } else if (avail & kAvailTopRight) {
    for (int x = 4; x < 8; ++x) n.e[5 + x] = b[x - s];
  }
  if (avail & kAvailLeft)
    for (int y = 0; y < 4; ++y) n.e[3 - y] = b[y * s - 1];
  if (avail & kAvailTopLeft) n.e[4] = b[-s - 1];
  return n;
}

// The prediction is formed in a local block, then stored a row (4 bytes) at a time.
template <class F>
void fill4(uint8_t* b, std::ptrdiff_t s, F f) {
  uint8_t out[16];
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) out[4 * y + x] = f(x, y);
  for (int y = 0; y < 4; ++y) std::memcpy(b + y * s, out + 4 * y, 4);
}

void p4_ver(uint8_t* b, std::ptrdiff_t s, int32_t a) {
  const Edge4 n = edge4(b, s, a);
  fill4(b, s, [&](int x, int) { return uint8_t(n.top(x)); });
}
void p4_hor(uint8_t* b, std::ptrdiff_t s, int32_t a) {
  const Edge4 n = edge4(b, s, a);
  fill4(b, s, [&](int, int y) { return uint8_t(n.left(y)); });
}
void p4_dc(uint8_t* b, std::ptrdiff_t s, int32_t a) {
  const Edge4 n = edge4(b, s, a);
  int st = 0, sl = 0;
  for (int i = 0; i < 4; ++i) st += n.top(i), sl += n.left(i);
  const bool t = a & kAvailTop, l = a & kAvailLeft;
  const int dc = t && l ? (st + sl + 4) >> 3 : t ? (st + 2) >> 2 : l ? (sl + 2) >> 2 : 128;
  fill4(b, s, [&](int, int) { return uint8_t(dc); });
}
void p4_ddl(uint8_t* b, std::ptrdiff_t s, int32_t a) {
  const Edge4 n = edge4(b, s, a);
  fill4(b, s, [&](int x, int y) {
    return x == 3 && y == 3 ? uint8_t((n.top(6) + 3 * n.top(7) + 2) >> 2)
                            : f3(n.top(x + y), n.top(x + y + 1), n.top(x + y + 2));
  });
}
void p4_ddr(uint8_t* b, std::ptrdiff_t s, int32_t a) {
  const Edge4 n = edge4(b, s, a);
  fill4(b, s, [&](int x, int y) {
    const int k = 4 + x - y;
    return f3(n.e[k - 1], n.e[k], n.e[k + 1]);
  });
}
void p4_vr(uint8_t* b, std::ptrdiff_t s, int32_t a) {
  const Edge4 n = edge4(b, s, a);
  fill4(b, s, [&](int x, int y) {
    const int z = 2 * x - y, c = x - (y >> 1);
    if (z >= 0 && !(z & 1)) return f2(n.top(c - 1), n.top(c));
    if (z >= 0) return f3(n.top(c - 2), n.top(c - 1), n.top(c));
    if (z == -1) return f3(n.left(0), n.left(-1), n.top(0));
    return f3(n.left(y - 1), n.left(y - 2), n.left(y - 3));
  });
}
void p4_hd(uint8_t* b, std::ptrdiff_t s, int32_t a) {
  const Edge4 n = edge4(b, s, a);
  fill4(b, s, [&](int x, int y) {
    const int z = 2 * y - x, r = y - (x >> 1);
    if (z >= 0 && !(z & 1)) return f2(n.left(r - 1), n.left(r));
    if (z >= 0) return f3(n.left(r - 2), n.left(r - 1), n.left(r));
    if (z == -1) return f3(n.left(0), n.left(-1), n.top(0));
    return f3(n.top(x - 1), n.top(x - 2), n.top(x - 3));
  });
}
void p4_vl(uint8_t* b, std::ptrdiff_t s, int32_t a) {
  const Edge4 n = edge4(b, s, a);
  fill4(b, s, [&](int x, int y) {
    const int c = x + (y >> 1);
    return (y & 1) ? f3(n.top(c), n.top(c + 1), n.top(c + 2)) : f2(n.top(c), n.top(c + 1));
  });
}
void p4_hu(uint8_t* b, std::ptrdiff_t s, int32_t a) {
  const Edge4 n = edge4(b, s, a);
  fill4(b, s, [&](int x, int y) {
    const int z = x + 2 * y, r = y + (x >> 1);
    if (z > 5) return uint8_t(n.left(3));
    if (z == 5) return uint8_t((n.left(2) + 3 * n.left(3) + 2) >> 2);
    if (z & 1) return f3(n.left(r), n.left(r + 1), n.left(r + 2));
    return f2(n.left(r), n.left(r + 1));
  });
}

// ---- N x N blocks (16x16 luma, 8x8 chroma) ----------------------------------

template <int N>
void fill_rows(uint8_t* b, std::ptrdiff_t s, const uint8_t* row) {
  for (int y = 0; y < N; ++y) std::memcpy(b + y * s, row, N);
}

template <int N>
void pn_ver(uint8_t* b, std::ptrdiff_t s, int32_t) {
  uint8_t row[N];
  std::memcpy(row, b - s, N);
  fill_rows<N>(b, s, row);
}
template <int N>
void pn_hor(uint8_t* b, std::ptrdiff_t s, int32_t) {
  for (int y = 0; y < N; ++y) std::memset(b + y * s, b[y * s - 1], N);
}

template <int N>
void pn_plane(uint8_t* b, std::ptrdiff_t s, int32_t) {
  constexpr int h = N / 2;
  const PlaneParams q = plane_params<N>(b, s);
  for (int y = 0; y < N; ++y)
    for (int x = 0; x < N; ++x) b[y * s + x] = clip((q.a + q.b * (x - (h - 1)) + q.c * (y - (h - 1)) + 16) >> 5);
}

// Sum of n top samples from column x0, or of n left samples from row y0.
int sum_top(const uint8_t* b, std::ptrdiff_t s, int x0, int n) {
  int t = 0;
  for (int i = 0; i < n; ++i) t += b[-s + x0 + i];
  return t;
}
int sum_left(const uint8_t* b, std::ptrdiff_t s, int y0, int n) {
  int t = 0;
  for (int i = 0; i < n; ++i) t += b[(y0 + i) * s - 1];
  return t;
}

void p16_dc(uint8_t* b, std::ptrdiff_t s, int32_t a) {
  const bool t = a & kAvailTop, l = a & kAvailLeft;
  const int dc = t && l ? (sum_top(b, s, 0, 16) + sum_left(b, s, 0, 16) + 16) >> 5
                 : t    ? (sum_top(b, s, 0, 16) + 8) >> 4
                 : l    ? (sum_left(b, s, 0, 16) + 8) >> 4
                        : 128;
  uint8_t row[16];
  std::memset(row, dc, 16);
  fill_rows<16>(b, s, row);
}

// Chroma DC per 4x4 quadrant (H.264 8.3.4.1-8.3.4.3 for 4:2:0).
void c8_dc(uint8_t* b, std::ptrdiff_t s, int32_t a) {
  const bool t = a & kAvailTop, l = a & kAvailLeft;
  int dc[2][2];  // [qy][qx]
  for (int qy = 0; qy < 2; ++qy)
    for (int qx = 0; qx < 2; ++qx) {
      const int st = t ? sum_top(b, s, 4 * qx, 4) : 0, sl = l ? sum_left(b, s, 4 * qy, 4) : 0;
      int v = 128;
      if (qx == qy) {
        v = t && l ? (st + sl + 4) >> 3 : t ? (st + 2) >> 2 : l ? (sl + 2) >> 2 : 128;
      } else if (qx == 1) {  // top-right: top first
        v = t ? (st + 2) >> 2 : l ? (sl + 2) >> 2 : 128;
      } else {  // bottom-left: left first
        v = l ? (sl + 2) >> 2 : t ? (st + 2) >> 2 : 128;
      }
      dc[qy][qx] = v;
    }
  for (int y = 0; y < 8; ++y) {
    std::memset(b + y * s, dc[y >> 2][0], 4);
    std::memset(b + y * s + 4, dc[y >> 2][1], 4);
  }
}

}  // namespace

constexpr IntraKernels kIntraKernelsC = {
    {p4_ver, p4_hor, p4_dc, p4_ddl, p4_ddr, p4_vr, p4_hd, p4_vl, p4_hu},
    {pn_ver<16>, pn_hor<16>, p16_dc, pn_plane<16>},
    {c8_dc, pn_hor<8>, pn_ver<8>, pn_plane<8>},
};

}  // namespace kvn
