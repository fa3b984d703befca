// Decoded pictures and the block-layer steps that every syntax of the
// decoder shares: half-sample motion compensation from padded reference
// pictures, and the inverse DCT of a dequantised block (library calls).
#pragma once

#include <kvnvc.h>

#include <cstdint>
#include <cstdio>
#include <vector>

#include "plane.h"
#include "writer.h"

namespace mpeg4dec {

using kvnapp::Plane;

inline constexpr int kLumaPad = 32;  // border of the luma planes (chroma: half)

struct Frame {
  Plane plane[3];
  int width = 0, height = 0;  // the displayed size
  int mbw = 0, mbh = 0;
  // Per macroblock of a P picture (for the B pictures that follow it): not
  // coded, and the luma vectors of its four blocks (half samples; zero for
  // intra macroblocks), 1 when it had four vectors.
  std::vector<uint8_t> skipped, fourMv;
  std::vector<int16_t> mv;  // [mb][block][x, y]
  // `edgeW`, `edgeH`: where the picture's content ends for the edge
  // extension (the displayed size or the macroblock-aligned one).
  void init(int w, int h, int edgeW, int edgeH);
};

// The bytes of a picture cropped to its size, planar 4:2:0.
void picture_bytes(const Frame& f, std::vector<uint8_t>& out);
// The same bytes written to the output, row by row.
void write_picture(const Frame& f, kvnapp::FrameWriter& out);

// Half-sample prediction of a 16x16 (size 16) or 8x8 block at (x, y) of the
// destination plane, displaced by (vx, vy) half samples, from `ref`; `avg`
// averages it into what the destination holds (rounding up).
void predict_block(const Plane& ref, Plane& dst, int x, int y, int size, int vx, int vy, int rounding, bool avg);

// Chroma vectors (half samples of chroma) from one luma vector, and from
// the sum of four (ISO/IEC 14496-2 7.6.2.1, ITU-T H.263 Table 16).
inline int chroma_vector(int v) { return (v >> 1) | (v & 1); }
inline int chroma_vector4(int sum) {
  static constexpr int8_t kRound[16] = {0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 2, 2};
  return kRound[sum & 15] + ((sum >> 3) & ~1);
}

// Inverse DCT of a dequantised block in raster order whose coefficients lie
// in the first `lastPos` + 1 positions of one of the three scans (-1:
// anywhere): written into the picture (intra) or added to the prediction
// there (inter).
void idct_put(const int16_t* coef, int lastPos, uint8_t* dst, int step);
void idct_add(const int16_t* coef, int lastPos, uint8_t* dst, int step);

}  // namespace mpeg4dec
