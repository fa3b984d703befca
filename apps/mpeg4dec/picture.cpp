#include "picture.h"

#include <algorithm>
#include <cstring>

namespace mpeg4dec {

void Frame::init(int w, int h, int edgeW, int edgeH) {
  width = w, height = h;
  mbw = (w + 15) / 16, mbh = (h + 15) / 16;
  plane[0].init(edgeW, edgeH, kLumaPad);
  plane[1].init((edgeW + 1) / 2, (edgeH + 1) / 2, kLumaPad / 2);
  plane[2].init((edgeW + 1) / 2, (edgeH + 1) / 2, kLumaPad / 2);
  const size_t n = size_t(mbw) * size_t(mbh);
  skipped.assign(n, 0);
  fourMv.assign(n, 0);
  mv.assign(n * 8, 0);
}

void picture_bytes(const Frame& f, std::vector<uint8_t>& out) {
  out.clear();
  for (int c = 0; c < 3; ++c) {
    const int w = c ? (f.width + 1) / 2 : f.width, h = c ? (f.height + 1) / 2 : f.height;
    for (int y = 0; y < h; ++y) out.insert(out.end(), f.plane[c].at(0, y), f.plane[c].at(0, y) + w);
  }
}

void write_picture(const Frame& f, kvnapp::FrameWriter& out) {
  for (int c = 0; c < 3; ++c) {
    const int w = c ? (f.width + 1) / 2 : f.width, h = c ? (f.height + 1) / 2 : f.height;
    for (int y = 0; y < h; ++y) out.write(f.plane[c].at(0, y), size_t(w));
  }
}

void predict_block(const Plane& ref, Plane& dst, int x, int y, int size, int vx, int vy, int rounding, bool avg) {
  const int half = (vx & 1) | (vy & 1) << 1;
  // Vectors may point anywhere: beyond the border every sample repeats the
  // edge, so a block position clamped into the border reads the same.
  const int sx = std::clamp(x + (vx >> 1), -ref.pad, ref.w + ref.pad - size - 1);
  const int sy = std::clamp(y + (vy >> 1), -ref.pad, ref.h + ref.pad - size - 1);
  const uint8_t* src = ref.at(sx, sy);
  uint8_t* d = dst.at(x, y);
  if (size == 16) {
    if (avg)
      kvniInterpolateAverage16x16_8u_C1IR(src, ref.stride, d, dst.stride, half, rounding);
    else
      kvniCopy16x16HP_8u_C1R(src, ref.stride, d, dst.stride, half, rounding);
  } else {
    if (avg)
      kvniInterpolateAverage8x8_8u_C1IR(src, ref.stride, d, dst.stride, half, rounding);
    else
      kvniCopy8x8HP_8u_C1R(src, ref.stride, d, dst.stride, half, rounding);
  }
}

namespace {

// The library's inverse DCT takes its coefficients transposed; the path
// follows the coefficients' extent: the 4x4 low-frequency corner when every
// coefficient lies in it (scan positions up to 9 do in all three scans),
// else the whole block. (Never the DC-only path: its truncating division is
// coarser than the transform's rounding.)
int transpose(const int16_t* coef, int lastPos, int16_t* t) {
  int count = 63;
  if (lastPos >= 0 && lastPos <= 9 && !coef[63]) {
    count = std::max(lastPos, 1);
    std::memset(t, 0, 64 * sizeof(int16_t));
    for (int r = 0; r < 4; ++r)
      for (int c = 0; c < 4; ++c) t[c * 8 + r] = coef[r * 8 + c];
  } else {
    for (int r = 0; r < 8; ++r)
      for (int c = 0; c < 8; ++c) t[c * 8 + r] = coef[r * 8 + c];
  }
  // The second pass rounds with 5/8 (its definition), 1/8 of a sample high
  // on average; one step less on the DC coefficient centres it.
  t[0] = int16_t(t[0] - 1);
  return count;
}

}  // namespace

void idct_put(const int16_t* coef, int lastPos, uint8_t* dst, int step) {
  alignas(16) int16_t t[64];
  const int count = transpose(coef, lastPos, t);
  kvniDCT8x8Inv_AANTransposed_16s8u_C1R(t, dst, step, count);
}

void idct_add(const int16_t* coef, int lastPos, uint8_t* dst, int step) {
  alignas(16) int16_t t[64], r[64];
  const int count = transpose(coef, lastPos, t);
  kvniDCT8x8Inv_AANTransposed_16s_C1R(t, r, 16, count);
  kvniAdd8x8_16s8u_C1IRS(r, 16, dst, step);
}

}  // namespace mpeg4dec
