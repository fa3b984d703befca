// The sample encoder: 8-bit 4:2:0 progressive pictures into an H.264 Annex B
// stream, I and P slices, CAVLC, with every block operation done by the
// library (prediction, transforms and quantisation, CAVLC analysis, motion
// search metrics, interpolation, deblocking).
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "plane.h"

#include "cavlc_writer.h"

namespace h264enc {

// Zig-zag scan (H.264 8.5.6): raster position of each scan index, and the
// inverse (scan index of each raster position).
inline constexpr int32_t kZigzag[16] = {0, 1, 4, 8, 5, 2, 3, 6, 9, 12, 13, 10, 7, 11, 14, 15};
inline constexpr int16_t kZigzagInv[16] = {0, 1, 5, 6, 2, 4, 7, 12, 3, 8, 11, 13, 9, 10, 14, 15};

// Lagrange multiplier for SATD-domain costs.
inline int lambda(int qp) { return std::max(1, int(std::lround(0.85 * std::pow(2.0, (qp - 12) / 6.0)))); }

// Copies an n x n block of samples.
inline void copy_block(uint8_t* d, int ds, const uint8_t* s, int ss, int n) {
  for (int y = 0; y < n; ++y) std::memcpy(d + y * ds, s + y * ss, size_t(n));
}

// Partitions of P macroblock types 0..3 (16x16, 16x8, 8x16, 8x8) in 4x4
// blocks: x, y, width, height.
struct Rect {
  int x, y, w, h;
};
inline constexpr int kPartCount[4] = {1, 2, 2, 4};
inline constexpr Rect kParts[4][4] = {{{0, 0, 4, 4}},
                                      {{0, 0, 4, 2}, {0, 2, 4, 2}},
                                      {{0, 0, 2, 4}, {2, 0, 2, 4}},
                                      {{0, 0, 2, 2}, {2, 0, 2, 2}, {0, 2, 2, 2}, {2, 2, 2, 2}}};

// Position of luma4x4BlkIdx within the macroblock, in 4x4 blocks.
inline constexpr int kBlkX[16] = {0, 1, 0, 1, 2, 3, 2, 3, 0, 1, 0, 1, 2, 3, 2, 3};
inline constexpr int kBlkY[16] = {0, 0, 1, 1, 0, 0, 1, 1, 2, 2, 3, 3, 2, 2, 3, 3};

struct Options {
  int width = 0, height = 0;
  int qp = 26;
  int keyint = 250;  // pictures from one IDR picture to the next (1: intra only)
  bool deblock = true;
  bool cabac = false;
  int slices = 1;     // per picture
  int refs = 1;       // reference pictures, 1..4
  bool t8x8 = false;  // the 8x8 transform and Intra 8x8 (High profile)
};

using kvnapp::Plane;

struct Picture {
  Plane plane[3];
};

// Per macroblock: what prediction, motion and deblocking need.
struct MbInfo {
  bool intra = false;  // Intra 16x16 or Intra NxN
  bool i4x4 = false;   // Intra NxN: 4x4, or 8x8 with t8x8
  bool t8x8 = false;   // transform_size_8x8_flag
  bool skip = false;
  int type = 0;  // P macroblock: 0 16x16, 1 16x8, 2 8x16, 3 8x8
  int cbpLuma = 0, cbpChroma = 0, chromaMode = 0;
  int8_t cbfDc = -1, cbfChromaDc[2] = {-1, -1};  // coded_block_flag, -1 no such block coded
};

// The levels of one macroblock, as coded.
struct MbLevels {
  int16_t luma[16][16] = {};  // [luma4x4BlkIdx] raster levels (Intra 16x16: AC only)
  int16_t luma8[4][64] = {};  // [luma8x8BlkIdx] raster levels, with t8x8
  int16_t lumaDc[16] = {};    // Intra 16x16 DC levels, raster
  int16_t chromaDc[2][4] = {};
  int16_t chroma[2][4][16] = {};  // AC levels (position 0 unused)
  int cbpLuma = 0;                // 8x8 bits (Intra 16x16: 0 or 15)
  int cbpChroma = 0;              // 0, 1 (DC only), 2
  bool i4x4 = false;              // Intra NxN (luma levels of whole blocks)
  bool t8x8 = false;              // transform_size_8x8_flag: levels in luma8
  int8_t intraRem[16] = {};       // rem_intra4x4/8x8_pred_mode, -1 for the predicted mode
};

class Encoder {
 public:
  explicit Encoder(const Options& o);
  // SPS and PPS.
  std::vector<uint8_t> headers() const;
  // One picture of width x height samples (Y, then Cb, Cr at half size),
  // appended as one slice NAL unit.
  void encode(const uint8_t* const src[3], const int srcStride[3], std::vector<uint8_t>& out);
  // The reconstruction of the last picture, cropped, planar.
  void reconstruction(std::vector<uint8_t>& out) const;

 private:
  void load_source(const uint8_t* const src[3], const int srcStride[3]);
  void encode_mb(int mbx, int mby, bool pSlice, kvnvlc::BitWriter& w, int& skipRun);
  void write_mb_cavlc(int mbx, int mby, bool pSlice, const MbLevels& mb, int modeY, kvnvlc::BitWriter& w);
  // CABAC (H.264 9.3): the coder state over a buffer that grows on demand.
  void cabac_start(const kvnvlc::BitWriter& header, bool pSlice);
  void cabac_bin(int ctx, int bin);
  void cabac_bypass(int bin);
  void cabac_block(const int16_t* raster, int start, int count, int cat);
  void transform_size_flag(const MbInfo* A, const MbInfo* B, bool flag);
  std::vector<uint8_t> cabac_finish();
  void write_mb_cabac(int mbx, int mby, bool pSlice, const MbLevels& mb, int modeY);
  void deblock();
  // Whether every inter level of a macroblock's residual is 0, judged from
  // the SADs of its 4x4 blocks alone (false: it may not be).
  bool residual_surely_zero(const uint8_t* srcY, int strideY, const uint8_t* predY, const uint8_t* const srcC[2],
                            int strideC, const uint8_t (*predC)[64]) const;
  // Intra 4x4 of a macroblock (intra4x4.cpp): levels and modes into t and
  // modes, the reconstruction into the picture; returns its cost, stopping
  // once it reaches bound.
  uint32_t intra4x4(int mbx, int mby, uint32_t bound, MbLevels& t, int8_t modes[16]);
  // The 8x8 transform (transform8x8.cpp): scale tables, one block's levels
  // (returns the number of nonzero ones) and reconstruction, and Intra 8x8
  // of a macroblock (levels and modes into t and modes, the reconstruction
  // into the picture; returns its cost, stopping once it reaches bound).
  void init_8x8_scales();
  int quant8x8(const uint8_t* src, int srcStride, const uint8_t* pred, int predStride, bool intra,
               int16_t levels[64]) const;
  void recon8x8(const int16_t levels[64], const uint8_t* pred, int predStride, uint8_t* dst, int dstStride) const;
  uint32_t intra8x8(int mbx, int mby, uint32_t bound, MbLevels& t, int8_t modes[4]);
  // Whether macroblock (x, y) lies in the picture and in the current slice
  // (every one asked for precedes the current macroblock).
  bool mb_available(int x, int y) const;
  // Index in the 4x4 block grids of partition i's first block.
  size_t part_block(int mbx, int mby, int type, int i) const;
  int nc_luma(int bx, int by) const;
  int nc_chroma(int c, int bx, int by) const;
  void mv_pred(int mbx, int mby, int type, int idx, int ref, int16_t mvp[2]) const;
  void skip_mv(int mbx, int mby, int16_t mv[2]) const;

  Options o_;
  int mbw_, mbh_;
  Picture src_, cur_;
  std::vector<Picture> refs_;  // reconstructed pictures, the latest first (RefPicList0)
  int refCount_ = 0;           // of them usable by the current picture
  std::vector<MbInfo> mbs_;
  std::vector<uint8_t> tcY_, tcC_[2];   // total_coeff per 4x4 block (luma, chroma components)
  std::vector<uint8_t> nzY_;            // nonzero coefficients per luma 4x4 block (deblocking)
  std::vector<int8_t> cbfY_, cbfC_[2];  // coded_block_flag per 4x4 block, -1 not coded
  std::vector<int8_t> modes4x4_;        // Intra4x4PredMode per 4x4 block, -1 other macroblocks
  // Motion per 4x4 block: reference index (0, or -1 intra), vector and coded
  // difference (0 in skipped and intra macroblocks), x then y.
  std::vector<int8_t> refG_;
  std::vector<int16_t> mvG_, mvdG_;
  std::vector<uint8_t> cabacBuf_;
  alignas(8) uint8_t cabacState_[504];
  int16_t fwd8_[6][64], inv8_[6][64];  // 8x8 scale tables by qp % 6 (flat weights)
  int16_t scan8Inv_[64];
  int zeroSad_[3];  // SAD bounds of surely zero levels: luma, chroma AC, chroma DC (8x8 SAD)               // 8x8
                    // zig-zag scan index of each raster position
  int frameNum_ = 0, idrId_ = 0, count_ = 0;
  int sliceStart_ = 0;  // address of the current slice's first macroblock
};

}  // namespace h264enc
