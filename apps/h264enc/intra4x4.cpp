// Intra 4x4 of the sample encoder (H.264 8.3.1): per block the mode of least
// SATD plus mode bits, each block coded and reconstructed before the next is
// predicted.
#include <kvnvc.h>

#include <algorithm>
#include <cstring>

#include "encoder.h"

namespace h264enc {

uint32_t Encoder::intra4x4(int mbx, int mby, uint32_t bound, MbLevels& t, int8_t modes[16]) {
  const Plane& sy = src_.plane[0];
  Plane& ry = cur_.plane[0];
  const int qp = o_.qp, lam = lambda(qp);
  const uint8_t* srcY = sy.at(mbx * 16, mby * 16);
  uint8_t* recY = ry.at(mbx * 16, mby * 16);
  const bool mbTop = mb_available(mbx, mby - 1), mbLeft = mb_available(mbx - 1, mby);
  const bool mbTopLeft = mb_available(mbx - 1, mby - 1), mbTopRight = mb_available(mbx + 1, mby - 1);
  uint32_t cost4 = uint32_t(6 * lam);
  const int W4 = mbw_ * 4;
  for (int b = 0; b < 16 && cost4 < bound; ++b) {
    const int bx = kBlkX[b], by = kBlkY[b], gx = mbx * 4 + bx, gy = mby * 4 + by;
    const bool top = by > 0 || mbTop, left = bx > 0 || mbLeft;
    const bool topLeft = bx > 0 && by > 0 ? true : bx > 0 ? mbTop : by > 0 ? mbLeft : mbTopLeft;
    // The top-right block: in the macroblock row above, or an earlier block of this one.
    bool topRight = false;
    if (by == 0)
      topRight = bx < 3 ? mbTop : mbTopRight;
    else if (bx < 3)
      for (int k = 0; k < b; ++k) topRight |= kBlkX[k] == bx + 1 && kBlkY[k] == by - 1;
    const int av = (top ? 1 : 0) | (left ? 2 : 0) | (topLeft ? 32 : 0) | (topRight ? 64 : 0);
    auto neighbour_mode = [&](int x, int y) {  // -1 unavailable; not intra 4x4: DC
      if (!mb_available(x >> 2, y >> 2)) return -1;
      const int m = modes4x4_[size_t(y) * W4 + x];
      return m < 0 ? 2 : m;
    };
    auto inner = [&](int x, int y) -> int {  // mode of block (x, y) of this macroblock
      for (int k = 0; k < b; ++k)
        if (kBlkX[k] == x && kBlkY[k] == y) return modes[k];
      return -1;
    };
    const int a = bx > 0 ? inner(bx - 1, by) : neighbour_mode(gx - 1, gy);
    const int u = by > 0 ? inner(bx, by - 1) : neighbour_mode(gx, gy - 1);
    const int pred = a < 0 || u < 0 ? 2 : std::min(a, u);
    uint8_t* blk = recY + by * 4 * ry.stride + bx * 4;
    const uint8_t* src = srcY + by * 4 * sy.stride + bx * 4;
    uint32_t best = UINT32_MAX;
    int bestMode = 2;
    for (int m = 0; m < 9; ++m) {
      if (kvniPredictIntra_4x4_H264_8u_C1IR(blk, ry.stride, m, av) != 0) continue;
      Kvn32u satd = 0;
      kvniSATD4x4_8u32s_C1R(src, sy.stride, blk, ry.stride, &satd);
      const uint32_t c = satd + uint32_t(lam * (m == pred ? 1 : 4));
      if (c < best) best = c, bestMode = m;
    }
    cost4 += best;
    modes[b] = int8_t(bestMode);
    t.intraRem[b] = int8_t(bestMode == pred ? -1 : bestMode < pred ? bestMode : bestMode - 1);
    kvniPredictIntra_4x4_H264_8u_C1IR(blk, ry.stride, bestMode, av);
    alignas(16) uint8_t p4[16];
    copy_block(p4, 4, blk, ry.stride, 4);
    alignas(16) Kvn16s diff[16], lv[16];
    kvniGetDiff4x4_8u16s_C1(src, sy.stride, p4, 4, diff, 8);
    Kvn32s n = 0, last = 0;
    kvniTransformQuantFwd4x4_H264_16s_C1(diff, t.luma[b], qp, &n, 1, kZigzagInv, &last, nullptr);
    if (n) t.cbpLuma |= 1 << (b >> 2);
    std::memcpy(lv, t.luma[b], sizeof lv);
    kvniTransformQuantInvAddPred4x4_H264_16s_C1IR(p4, 4, lv, nullptr, blk, ry.stride, qp, n != 0, nullptr);
  }
  return cost4;
}

}  // namespace h264enc
