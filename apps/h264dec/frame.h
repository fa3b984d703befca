// Decoded pictures: sample planes (8-bit or 16-bit containers, no borders;
// the library's Block interpolation functions pad at the picture edges) and
// the motion field kept for direct prediction and deblocking.
#pragma once

#include <cstdint>
#include <vector>

namespace h264dec {

// Motion of one 4x4 block: 16 bytes, a macroblock's row of four in one
// 64-byte line.
struct BlockMotion {
  int16_t mv[2][2];  // [list][x/y], quarter samples
  int8_t ref[2];     // reference index, -1 unused
  int16_t pic[2];    // slot of the reference frame (Frame::slot), -1 unused
  int16_t unused;
};
static_assert(sizeof(BlockMotion) == 16, "motion records are stored as one 16-byte word");
// Intra macroblocks and unused lists.
inline constexpr BlockMotion kNoMotion{{{0, 0}, {0, 0}}, {-1, -1}, {-1, -1}, 0};

struct Frame {
  int id = 0;  // unique per decoded picture
  // Index of this buffer in the decoder's frame store: no two frames held at
  // once share it, so motion records name their reference pictures by it in
  // 16 bits (ids grow without bound).
  int16_t slot = 0;
  int width = 0, height = 0;    // luma samples (whole macroblocks)
  int cwidth = 0, cheight = 0;  // chroma samples
  int bytesPerSample = 1;
  std::vector<uint8_t> planes[3];
  int stride[3] = {0, 0, 0};  // samples

  uint8_t* plane8(int c) { return planes[c].data(); }
  uint16_t* plane16(int c) { return reinterpret_cast<uint16_t*>(planes[c].data()); }

  // Reference and output state.
  int poc = 0;
  int frameNum = 0;
  int frameNumWrap = 0;
  int longTermIdx = -1;
  bool shortRef = false, longRef = false;
  bool neededForOutput = false;
  bool isRef() const { return shortRef || longRef; }

  // Motion field, one entry per 4x4 block (raster over the picture), and the
  // macroblock's intra flag.
  std::vector<BlockMotion> motion;
  std::vector<uint8_t> mbIntra;

  // Sizes the buffers; a frame reused at the same size keeps its storage
  // (every decoded macroblock overwrites its samples and motion).
  void alloc(int w, int h, int cw, int ch, int bps) {
    bool same =
        w == width && h == height && cw == cwidth && ch == cheight && bps == bytesPerSample && !planes[0].empty();
    width = w;
    height = h;
    cwidth = cw;
    cheight = ch;
    bytesPerSample = bps;
    stride[0] = w;
    stride[1] = stride[2] = cw;
    mbIntra.assign(size_t(w / 16) * (h / 16), 1);
    if (same) return;
    planes[0].assign(size_t(w) * h * bps, 0);
    planes[1].assign(size_t(cw) * ch * bps, 0);
    planes[2].assign(size_t(cw) * ch * bps, 0);
    motion.assign(size_t(w / 4) * (h / 4), kNoMotion);
  }
};

}  // namespace h264dec
