// The sample encoder: 8-bit 4:2:0 progressive pictures into an H.264 Annex B
// stream, I and P slices, CAVLC, with every block operation done by the
// library (prediction, transforms and quantisation, CAVLC analysis, motion
// search metrics, interpolation, deblocking).
#pragma once

#include <cstdint>
#include <vector>

#include "cavlc_writer.h"

namespace h264enc {

struct Options {
  int width = 0, height = 0;
  int qp = 26;
  int keyint = 30;  // pictures from one IDR picture to the next (1: intra only)
  bool deblock = true;
};

// A plane of samples with a border of `pad` on every side.
struct Plane {
  void init(int width, int height, int padding);
  uint8_t* at(int x, int y) { return data.data() + size_t(y + pad) * size_t(stride) + size_t(x + pad); }
  const uint8_t* at(int x, int y) const { return data.data() + size_t(y + pad) * size_t(stride) + size_t(x + pad); }
  void extend_edges();  // the border repeats the outermost samples
  int w = 0, h = 0, pad = 0, stride = 0;
  std::vector<uint8_t> data;
};

struct Picture {
  Plane plane[3];
};

// Per macroblock: what prediction, motion and deblocking need.
struct MbInfo {
  bool intra = false;
  bool skip = false;
  int16_t mv[2] = {0, 0};  // quarter samples, reference index 0
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
  struct Mb;
  void load_source(const uint8_t* const src[3], const int srcStride[3]);
  void encode_mb(int mbx, int mby, bool pSlice, kvnvlc::BitWriter& w, int& skipRun);
  void deblock();
  int nc_luma(int bx, int by) const;
  int nc_chroma(int c, int bx, int by) const;
  void mv_pred(int mbx, int mby, int16_t mvp[2]) const;
  void skip_mv(int mbx, int mby, int16_t mv[2]) const;

  Options o_;
  int mbw_, mbh_;
  Picture src_, cur_, ref_;
  std::vector<MbInfo> mbs_;
  std::vector<uint8_t> tcY_, tcC_[2];  // total_coeff per 4x4 block (luma, chroma components)
  std::vector<uint8_t> nzY_;           // nonzero coefficients per luma 4x4 block (deblocking)
  int frameNum_ = 0, idrId_ = 0, count_ = 0;
};

}  // namespace h264enc
