// State of the picture being decoded that the slice decoder reads and
// writes: per-macroblock and per-4x4 arrays, the current slice's reference
// lists and the frame receiving the samples. The Decoder owns it; picture
// control, reference lists and deblocking work on the same object.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "frame.h"
#include "vlc.h"

namespace h264dec {

// Per-macroblock state of the picture being decoded.
struct MbState {
  int slice = -1;  // slice number; -1: not decoded yet
  bool intra = false, skip = false, t8x8 = false, pcm = false;
  bool i16 = false, direct16 = false;
  bool part16 = false;  // inter with one motion for the whole macroblock
  int qp = 0;           // QPY (without the bit-depth offset)
  uint8_t cbp = 0;
};

struct PictureContext {
  int widthMbs = 0, heightMbs = 0;
  Frame* cur = nullptr;  // frame being decoded
  std::vector<MbState> mbs;
  std::vector<uint8_t> nzY;     // TotalCoeff per luma 4x4 block (nC)
  std::vector<uint8_t> nzC[2];  // TotalCoeff per chroma 4x4 block (nC)
  std::vector<uint8_t> nzDeb;   // nonzero coefficients per luma 4x4 (deblocking)
  std::vector<int8_t> ipred;    // intra 4x4/8x8 modes per luma 4x4, -1 other

  // reference lists of the current slice
  Frame* refList[2][33] = {};
  int refCount[2] = {0, 0};

  const VlcTables* vlc = nullptr;  // CAVLC tables, built once per decoder
  // Called when macroblock row y is complete (deblocking may follow it).
  std::function<void(int y)> rowDecoded;
};

}  // namespace h264dec
