// Decoding of one slice: macroblock layer (CAVLC or CABAC), intra mode and
// motion vector prediction, inter prediction and reconstruction.
#pragma once

#include <cstdint>
#include <vector>

#include <kvnvc.h>

#include "bitstream.h"
#include "cabac_decoder.h"
#include "params.h"
#include "picture.h"
#include "status.h"

namespace h264dec {

// A neighbouring 4x4 block's motion for one list.
struct NeighbourMv {
  bool avail;  // partition available (8.4.1.3.2); intra blocks are available with ref -1
  int ref;
  int mv[2];
};

// Macroblock being decoded.
struct MbCtx {
  int x = 0, y = 0, addr = 0;
  int kind = 0;  // see slice.cpp
  bool intra = false;
  int partShape = 0;         // 0 16x16, 1 16x8, 2 8x16, 3 8x8
  int partPred[2] = {0, 0};  // per partition: bit 0 L0, bit 1 L1
  int subType[4] = {0, 0, 0, 0};
  int ref[2][4] = {};
  int mvd[2][16][2] = {};
  int i4Modes[16] = {};
  uint32_t i8Modes[4] = {};
  int i16Mode = 0, chromaMode = 0;
  int cbp = 0;
  bool t8x8 = false;
  uint8_t edge = 0;                                                     // intra edge flags
  bool availA = false, availB = false, availC = false, availD = false;  // same slice
  bool intraA = false, intraB = false, intraC = false, intraD = false;  // usable for intra prediction

  // Starts macroblock `address`; the arrays are filled by the parser before use.
  void reset(int address, int widthMbs) {
    addr = address;
    x = address % widthMbs;
    y = address / widthMbs;
    kind = 0;
    intra = false;
    partShape = 0;
    partPred[0] = partPred[1] = 0;
    cbp = 0;
    t8x8 = false;
    i16Mode = chromaMode = 0;
  }
};

struct SliceDecoder {
  PictureContext& ctx;  // the picture being decoded (owned by the Decoder)
  const SliceHeader& sh;
  const Pps& pps;
  const Sps& sps;
  BitReader& br;
  int sliceNum;
  int qp = 0;
  int W = 0, H = 0;  // picture size in macroblocks
  int bd = 8, qpBdOffset = 0;
  int cf = 1;  // chroma format 1 (4:2:0) or 2 (4:2:2)
  Frame* cur = nullptr;
  MbCtx mb;

  // scale tables per list and qp % 6 (lists: 0..2 intra Y Cb Cr, 3..5 inter)
  int16_t ls4[6][6][16];
  int16_t ls8[2][6][64];
  // implicit bi-prediction weights [ref0][ref1]
  int16_t implicitW[32][32];  // weight of list 1; list 0 gets 64 - w
  // explicit weights scaled for the bit depth
  bool explicitWp = false, implicitWp = false;

  // coefficient buffers (packed streams)
  alignas(16) int16_t coefY16[16 * 16 + 16 + 64];
  alignas(16) int16_t coefC16[2][8 * 16 + 8 + 16];
  alignas(16) int32_t coefY32[16 * 16 + 16 + 64];
  alignas(16) int32_t coefC32[2][8 * 16 + 8 + 16];
  uint32_t maskY = 0, maskC[2] = {0, 0};  // library masks (luma; chroma per component, bit 0 DC, bits 1.. AC)
  int16_t* endY16 = nullptr;
  int16_t* endC16[2] = {nullptr, nullptr};
  int32_t* endY32 = nullptr;
  int32_t* endC32[2] = {nullptr, nullptr};

  // rbsp: the slice NAL unit's RBSP bytes (CABAC reads its slice data there).
  SliceDecoder(PictureContext& picture, const SliceHeader& h, const Pps& p, const Sps& s, BitReader& r,
               const std::vector<uint8_t>& rbsp, int num);
  Status run();

 private:
  Status run_cavlc();
  Status decode_mb();
  void decode_skip();
  Status parse_intra_modes();
  Status parse_inter_pred();
  Status parse_residual();
  void reset_coefficients();  // empty coefficient streams and masks
  Status parse_pcm();

  // shared by both entropy coders (slice.cpp)
  void begin_mb();
  bool apply_mb_type(uint32_t t, int& intraType, bool& direct16);
  void set_intra_motion();
  bool t8x8_allowed(bool direct16) const;
  bool apply_qp_delta(int delta);
  Status finish_mb();

  // CABAC (slice_cabac.cpp, residual_cabac.cpp)
  Status run_cabac();
  Status decode_mb_cabac();
  void skip_cabac();
  Status pcm_cabac();
  Status parse_inter_pred_cabac();
  int parse_cbp_cabac();
  Status parse_residual_cabac();
  int cbf_inc_luma(int bx, int by) const;
  int cbf_inc_chroma(int c, int bx, int by) const;
  int cbf_inc_dc(int bit) const;
  const std::vector<uint8_t>& rbsp_;
  size_t cabacStart_ = 0;  // first byte of the slice data in the RBSP
  kvnsupport::CabacDecoder cabac_;
  bool prevQpDelta_ = false;  // the previous macroblock coded a nonzero mb_qp_delta
  int residual_block(int cat, int comp, int blk, int nC, int maxCoeff);
  int nc_luma(int bx, int by);
  int nc_chroma(int comp, int bx, int by);
  void set_neighbours();

  // motion (mvpred.cpp)
  NeighbourMv neighbour(int list, int xN, int yN, int curBlk) const;
  void mv_pred(int list, int ref, int x4, int y4, int w4, int h4, int shape, int part, int mvp[2]) const;
  void mb_neighbours(const BlockMotion* n[3]) const;
  void pskip_motion();
  void direct_motion(int blk8);
  void direct_motion_mb();
  void spatial_direct_setup();
  void colocated(int x4, int y4, int& refCol, int mvCol[2], int& picCol, bool& intraCol) const;
  void store_both(int x4, int y4, int w4, int h4, const int ref[2], const int mv[2][2]);
  void finish_motion();
  int spatialRef_[2] = {0, 0};
  int spatialMv_[2][2] = {};
  bool spatialReady_ = false;
  bool directZero_ = false;

  // prediction and reconstruction (inter.cpp, recon.cpp)
  template <typename Pel>
  void inter_pred();
  template <typename Pel>
  void predict_block(int x4, int y4, int w4, int h4);
  template <typename Pel>
  int reconstruct();  // KvnResult of the library calls
  void compute_implicit_weights();

 public:
  // deblocking helpers need these
  static int chroma_qp(int qpy, int offset, int qpBdOffsetC);
};

}  // namespace h264dec
