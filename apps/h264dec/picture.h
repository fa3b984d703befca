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
  bool part8 = false;   // inter with one motion per 8x8 quadrant (or part16)
  int qp = 0;           // QPY (without the bit-depth offset)
  uint8_t cbp = 0;
  uint16_t nzMask = 0;  // luma 4x4 blocks with nonzero coefficients, bit 4 * y + x (deblocking)
};

// What CABAC's context selection reads of neighbouring macroblocks besides
// MbState (H.264 9.3.3.1.1). Skipped macroblocks keep all zero, I_PCM ones
// all coded_block_flag bits set.
struct CabacMbState {
  uint16_t cbfY = 0;       // coded_block_flag per luma 4x4 block, bit 4 * y + x (coded 8x8 blocks: their four bits)
  uint8_t cbfC[2] = {};    // per chroma AC block of Cb, Cr: bit 2 * y + x
  uint8_t cbfDc = 0;       // bit 0 Intra16x16 DC, 1 Cb DC, 2 Cr DC
  uint8_t chromaPred = 0;  // intra_chroma_pred_mode, 0 for inter macroblocks
};

struct PictureContext {
  int widthMbs = 0, heightMbs = 0;
  Frame* cur = nullptr;  // frame being decoded
  std::vector<MbState> mbs;
  std::vector<uint8_t> nzY;     // TotalCoeff per luma 4x4 block (nC)
  std::vector<uint8_t> nzC[2];  // TotalCoeff per chroma 4x4 block (nC)
  std::vector<int8_t> ipred;    // intra 4x4/8x8 modes per luma 4x4 (valid in I_NxN macroblocks)
  // CABAC neighbour state: per macroblock, and per luma 4x4 block the
  // absMvdComp of each list (x, y; capped at 127) and bit l set for
  // ref_idx_lX > 0 of a coded (not direct or skipped) partition.
  std::vector<CabacMbState> cabacMbs;
  std::vector<uint8_t> absMvd[2];
  std::vector<uint8_t> refGt0;

  // reference lists of the current slice
  Frame* refList[2][33] = {};
  int refCount[2] = {0, 0};

  const VlcTables* vlc = nullptr;  // CAVLC tables, built once per decoder
  // Called when macroblock row y is complete (deblocking may follow it).
  std::function<void(int y)> rowDecoded;
};

}  // namespace h264dec
