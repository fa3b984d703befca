// The 8x8 transform of the High profile (--8x8dct): Intra 8x8 prediction
// (H.264 8.3.2) and its mode decision, and the 8x8 residual path (forward
// transform and quantisation, inverse scaling and transform by the library).
#include <kvnvc.h>

#include <algorithm>
#include <cstring>

#include "encoder.h"
#include "h264_tables.h"

namespace h264enc {
namespace {

// Reference samples of one 8x8 block after the filtering of 8.3.2.2.1:
// top[0] is p'[-1, -1], top[1 + x] p'[x, -1] (x 0..15); left[0] is
// p'[-1, -1], left[1 + y] p'[-1, y] (y 0..7).
struct Refs8x8 {
  int top[17], left[9];
  bool hasTop, hasLeft, hasTopLeft;
};

Refs8x8 filtered_refs(const uint8_t* blk, int stride, bool top, bool left, bool topLeft, bool topRight) {
  Refs8x8 r{};
  r.hasTop = top, r.hasLeft = left, r.hasTopLeft = topLeft;
  int t[16] = {}, l[8] = {}, c = topLeft ? blk[-stride - 1] : 0;
  if (top)
    for (int x = 0; x < 16; ++x) t[x] = x < 8 || topRight ? blk[x - stride] : blk[7 - stride];
  if (left)
    for (int y = 0; y < 8; ++y) l[y] = blk[y * stride - 1];
  if (top) {
    r.top[1] = topLeft ? (c + 2 * t[0] + t[1] + 2) >> 2 : (3 * t[0] + t[1] + 2) >> 2;
    for (int x = 1; x < 15; ++x) r.top[1 + x] = (t[x - 1] + 2 * t[x] + t[x + 1] + 2) >> 2;
    r.top[16] = (t[14] + 3 * t[15] + 2) >> 2;
  }
  if (topLeft) {
    if (top && left)
      r.top[0] = (t[0] + 2 * c + l[0] + 2) >> 2;
    else if (top)
      r.top[0] = (3 * c + t[0] + 2) >> 2;
    else if (left)
      r.top[0] = (3 * c + l[0] + 2) >> 2;
    else
      r.top[0] = c;
    r.left[0] = r.top[0];
  }
  if (left) {
    r.left[1] = topLeft ? (c + 2 * l[0] + l[1] + 2) >> 2 : (3 * l[0] + l[1] + 2) >> 2;
    for (int y = 1; y < 7; ++y) r.left[1 + y] = (l[y - 1] + 2 * l[y] + l[y + 1] + 2) >> 2;
    r.left[8] = (l[6] + 3 * l[7] + 2) >> 2;
  }
  return r;
}

// Intra 8x8 prediction by mode (8.3.2.2.2 to 8.3.2.2.10) into pred (stride
// 8); false when the mode needs samples that are not available.
bool predict8x8(const Refs8x8& r, int mode, uint8_t* pred) {
  const int* T = r.top + 1;   // T[-1 .. 15]
  const int* L = r.left + 1;  // L[-1 .. 7]
  auto set = [&](auto f) {
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x) pred[y * 8 + x] = uint8_t(f(x, y));
  };
  auto f3 = [](int a, int b, int c) { return (a + 2 * b + c + 2) >> 2; };
  auto f2 = [](int a, int b) { return (a + b + 1) >> 1; };
  const bool all = r.hasTop && r.hasLeft && r.hasTopLeft;
  switch (mode) {
    case 0:  // vertical
      if (!r.hasTop) return false;
      set([&](int x, int) { return T[x]; });
      return true;
    case 1:  // horizontal
      if (!r.hasLeft) return false;
      set([&](int, int y) { return L[y]; });
      return true;
    case 2: {  // DC
      int s = 0, n = 0;
      for (int i = 0; i < 8 && r.hasTop; ++i) s += T[i];
      for (int i = 0; i < 8 && r.hasLeft; ++i) s += L[i];
      n = (r.hasTop ? 8 : 0) + (r.hasLeft ? 8 : 0);
      const int dc = n ? (s + n / 2) / n : 128;
      std::memset(pred, dc, 64);
      return true;
    }
    case 3:  // diagonal down left
      if (!r.hasTop) return false;
      set([&](int x, int y) {
        return x == 7 && y == 7 ? (T[14] + 3 * T[15] + 2) >> 2 : f3(T[x + y], T[x + y + 1], T[x + y + 2]);
      });
      return true;
    case 4:  // diagonal down right
      if (!all) return false;
      set([&](int x, int y) {
        return x > y   ? f3(T[x - y - 2], T[x - y - 1], T[x - y])
               : x < y ? f3(L[y - x - 2], L[y - x - 1], L[y - x])
                       : f3(T[0], T[-1], L[0]);
      });
      return true;
    case 5:  // vertical right
      if (!all) return false;
      set([&](int x, int y) {
        const int z = 2 * x - y, i = x - (y >> 1);
        if (z >= 0) return z & 1 ? f3(T[i - 2], T[i - 1], T[i]) : f2(T[i - 1], T[i]);
        if (z == -1) return f3(L[0], L[-1], T[0]);
        return f3(L[y - 2 * x - 1], L[y - 2 * x - 2], L[y - 2 * x - 3]);
      });
      return true;
    case 6:  // horizontal down
      if (!all) return false;
      set([&](int x, int y) {
        const int z = 2 * y - x, i = y - (x >> 1);
        if (z >= 0) return z & 1 ? f3(L[i - 2], L[i - 1], L[i]) : f2(L[i - 1], L[i]);
        if (z == -1) return f3(L[0], L[-1], T[0]);
        return f3(T[x - 2 * y - 1], T[x - 2 * y - 2], T[x - 2 * y - 3]);
      });
      return true;
    case 7:  // vertical left
      if (!r.hasTop) return false;
      set([&](int x, int y) {
        const int i = x + (y >> 1);
        return y & 1 ? f3(T[i], T[i + 1], T[i + 2]) : f2(T[i], T[i + 1]);
      });
      return true;
    case 8:  // horizontal up
      if (!r.hasLeft) return false;
      set([&](int x, int y) {
        const int z = x + 2 * y, i = y + (x >> 1);
        if (z > 13) return L[7];
        if (z == 13) return (L[6] + 3 * L[7] + 2) >> 2;
        return z & 1 ? f3(L[i], L[i + 1], L[i + 2]) : f2(L[i], L[i + 1]);
      });
      return true;
    default: return false;
  }
}

}  // namespace

void Encoder::init_8x8_scales() {
  // Flat weights (no scaling matrices): 16 everywhere.
  uint8_t flat[64];
  std::memset(flat, 16, sizeof flat);
  for (int m = 0; m < 6; ++m) kvniGenScaleLevel8x8_H264_8u16s_D2(flat, 8, inv8_[m], fwd8_[m], m);
  for (int k = 0; k < 64; ++k) scan8Inv_[kvnsupport::kZigzag8x8[k]] = Kvn16s(k);
}

int Encoder::quant8x8(const uint8_t* src, int srcStride, const uint8_t* pred, int predStride, bool intra,
                      int16_t levels[64]) const {
  alignas(16) Kvn16s diff[64], coef[64];
  kvniSub8x8_8u16s_C1R(src, srcStride, pred, predStride, diff, 16);
  kvniTransformFwdLuma8x8_H264_16s_C1(diff, coef);
  Kvn32s n = 0, last = 0;
  kvniQuantLuma8x8_H264_16s_C1(coef, levels, o_.qp / 6, intra, scan8Inv_, fwd8_[o_.qp % 6], &n, &last);
  return n;
}

void Encoder::recon8x8(const int16_t levels[64], const uint8_t* pred, int predStride, uint8_t* dst,
                       int dstStride) const {
  alignas(16) Kvn16s c[64];
  std::memcpy(c, levels, sizeof c);
  kvniQuantLuma8x8Inv_H264_16s_C1I(c, o_.qp / 6, inv8_[o_.qp % 6]);
  kvniTransformLuma8x8InvAddPred_H264_16s8u_C1R(pred, predStride, c, dst, dstStride);
}

uint32_t Encoder::intra8x8(int mbx, int mby, uint32_t bound, MbLevels& t, int8_t modes[4]) {
  const Plane& sy = src_.plane[0];
  Plane& ry = cur_.plane[0];
  const int lam = lambda(o_.qp), W4 = mbw_ * 4;
  const bool mbTop = mb_available(mbx, mby - 1), mbLeft = mb_available(mbx - 1, mby);
  const bool mbTopLeft = mb_available(mbx - 1, mby - 1), mbTopRight = mb_available(mbx + 1, mby - 1);
  uint32_t cost = uint32_t(6 * lam);
  for (int b8 = 0; b8 < 4 && cost < bound; ++b8) {
    const int bx = b8 & 1, by = b8 >> 1;
    const bool top = by || mbTop, left = bx || mbLeft;
    const bool topLeft = bx && by ? true : bx ? mbTop : by ? mbLeft : mbTopLeft;
    const bool topRight = b8 == 0 ? mbTop : b8 == 1 ? mbTopRight : b8 == 2;
    // Predicted mode (8.3.2.1): the modes of the 4x4 positions left of and
    // above the block's first one; DC when either is outside the slice, DC
    // for macroblocks that are not Intra NxN.
    const int gx = mbx * 4 + bx * 2, gy = mby * 4 + by * 2;
    auto neighbour = [&](int x, int y, int inner) {
      if (inner >= 0) return int(modes[inner]);
      if (!mb_available(x >> 2, y >> 2)) return -1;
      const int m = modes4x4_[size_t(y) * W4 + x];
      return m < 0 ? 2 : m;
    };
    const int a = neighbour(gx - 1, gy, bx ? b8 - 1 : -1), u = neighbour(gx, gy - 1, by ? b8 - 2 : -1);
    const int predMode = a < 0 || u < 0 ? 2 : std::min(a, u);

    uint8_t* blk = ry.at(mbx * 16 + bx * 8, mby * 16 + by * 8);
    const uint8_t* src = sy.at(mbx * 16 + bx * 8, mby * 16 + by * 8);
    const Refs8x8 refs = filtered_refs(blk, ry.stride, top, left, topLeft, topRight);
    alignas(16) uint8_t pred[64], best[64];
    uint32_t bestCost = UINT32_MAX;
    int bestMode = 2;
    for (int m = 0; m < 9; ++m) {
      if (!predict8x8(refs, m, pred)) continue;
      Kvn32u satd = 0;
      kvniSAT8x8D_8u32s_C1R(src, sy.stride, pred, 8, &satd);
      const uint32_t c = satd / 2 + uint32_t(lam * (m == predMode ? 1 : 4));
      if (c < bestCost) bestCost = c, bestMode = m, std::memcpy(best, pred, 64);
    }
    cost += bestCost;
    modes[b8] = int8_t(bestMode);
    t.intraRem[b8] = int8_t(bestMode == predMode ? -1 : bestMode < predMode ? bestMode : bestMode - 1);
    if (quant8x8(src, sy.stride, best, 8, true, t.luma8[b8])) t.cbpLuma |= 1 << b8;
    recon8x8(t.luma8[b8], best, 8, blk, ry.stride);
  }
  return cost;
}

}  // namespace h264enc
