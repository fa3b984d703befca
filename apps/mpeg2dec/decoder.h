// kvnvc-mpeg2dec's decoder: ISO/IEC 13818-2 (and 11172-2) video elementary
// streams, frame pictures of 4:2:0, with every block operation done by the
// library (block VLC decoding and inverse quantisation, inverse DCTs, motion
// compensation and residual addition).
#pragma once

#include <kvnvc.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "plane.h"

#include "headers.h"
#include "stream.h"

namespace mpeg2dec {

using kvnapp::Plane;

struct Frame {
  Plane plane[3];
  int width = 0, height = 0;  // the sequence's picture size when it was decoded
};

// The bytes of a picture cropped to width x height, planar, as written out.
void picture_bytes(const Frame& f, int width, int height, std::vector<uint8_t>& out);

// A library Huffman table, released with the library's free function.
struct TableDeleter {
  void operator()(KvnHuffmanTable* t) const;
};
using Table = std::unique_ptr<KvnHuffmanTable, TableDeleter>;

class Decoder {
 public:
  // Pictures in display order, cropped to the sequence's size.
  using Sink = std::function<void(const Frame&, int width, int height)>;
  Decoder(Sink sink);
  // Decodes a whole stream; returns "" or the first error (decoding stops
  // there, after the pictures before it were output).
  std::string decode(const std::vector<uint8_t>& bytes);
  int pictures() const { return decoded_; }
  const Sequence& sequence() const { return seq_; }
  int errors() const { return errors_; }
  // Streams whose pictures have more macroblocks are refused (a bound for fuzzing).
  void set_max_macroblocks(int n) { maxMbs_ = n; }

 private:
  std::string start_picture();
  void finish_picture();
  void flush();
  std::string decode_slice(Bits& b, int row);
  std::string decode_macroblock(Bits& b, int addr, int mbType, bool skipped);
  bool motion_vectors(Bits& b, int s);
  int motion_component(Bits& b, int s, int t, int pred);
  void predict(int mbx, int mby, int mbType);
  void set_quantiser(int code);  // quantiser_scale from quantiser_scale_code
  void reset_dc_predictors();
  void zero_motion();
  std::string decode_blocks(Bits& b, int mbx, int mby, bool intra, int cbp, bool fieldDct);

  Sink sink_;
  Sequence seq_;
  PictureHeader pic_;
  bool haveSeq_ = false, inPicture_ = false;
  int mbw_ = 0, mbh_ = 0;
  // Pictures: the one being decoded, and the two latest reference pictures
  // (P pictures predict from the newer, B pictures from both).
  std::unique_ptr<Frame> cur_, older_, newer_;
  bool newerShown_ = true;  // the newer reference was output already
  int decoded_ = 0, errors_ = 0;
  int maxMbs_ = 1 << 20;

  // Tables built by the library from the standard's source tables.
  Table mbInc_, mbType_[3], cbp_, motion_, dcSize_[2];
  Table coef_[3];  // B-14 for a non-intra block's first coefficient, B-14, B-15
  // Per picture: scans and matrices in the transposed order the inverse DCT takes.
  Kvn32s scan_[64];
  Kvn16s weights_[2][64];

  // Macroblock state (7.6.3): quantiser, DC predictors, motion vector predictors.
  int qScale_ = 0;
  Kvn16s dcPred_[3] = {0, 0, 0};
  int pmv_[2][2][2] = {};  // [r][s][t]
  int mv_[2][2][2] = {};   // vectors of the current macroblock [r][s][t] (half samples; field: field units)
  int fieldSelect_[2][2] = {};
  int motionType_ = 2;  // 1 field, 2 frame
  int prevType_ = 0;    // macroblock_type of the previous macroblock (skips in B pictures)
};

}  // namespace mpeg2dec
