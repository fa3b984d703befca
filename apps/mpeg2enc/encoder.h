// The sample MPEG-2 encoder: 8-bit 4:2:0 progressive pictures into an
// ISO/IEC 13818-2 Main profile elementary stream of I and P frame pictures
// at one quantiser scale, with every block operation done by the library
// (forward DCT and quantisers, block writers, inverse quantisers and DCT,
// SAD motion search with half-sample refinement, motion compensation).
#pragma once

#include <kvnvc.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "plane.h"

#include "mpeg2_syntax_tables.h"

namespace mpeg2enc {

struct Options {
  int width = 0, height = 0;
  int qscaleCode = 8;  // quantiser_scale_code 1..31 (linear: quantiser_scale 2..62)
  int keyint = 12;     // pictures from one I picture to the next (1: intra only)
};

// The output as the library's block writers leave it: 32-bit words whose
// bit 31 is the first, filled from the most significant free bit.
class BitWriter {
 public:
  // A buffer of `words` zero words (room for everything that will be written).
  explicit BitWriter(size_t words) : buf_(words + 1, 0), ptr_(buf_.data()) {}
  void put(uint32_t bits, int n);  // n 0..32
  void align() { put(0, free_ % 8); }
  void start_code(uint32_t code) {
    align();
    put(1, 24);
    put(code, 8);
  }
  Kvn32u** ptr() { return &ptr_; }
  Kvn32s* free() { return &free_; }
  // The bytes written (whole bytes; align first).
  void append_bytes(std::vector<uint8_t>& out) const;

 private:
  std::vector<Kvn32u> buf_;
  Kvn32u* ptr_;
  Kvn32s free_ = 32;
};

using kvnapp::Plane;

class Encoder {
 public:
  explicit Encoder(const Options& o);
  ~Encoder();
  // Sequence header and sequence extension.
  void headers(std::vector<uint8_t>& out);
  // One picture (planar, width x height), appended to out.
  void encode(const uint8_t* const src[3], const int stride[3], std::vector<uint8_t>& out);
  // The sequence end code.
  void finish(std::vector<uint8_t>& out);
  // The reconstruction of the last picture, cropped, planar.
  void reconstruction(std::vector<uint8_t>& out) const;

 private:
  void encode_mb(BitWriter& w, int mbx, int mby, bool pPicture, int& skipRun);
  void code_intra(BitWriter& w, int mbx, int mby);
  // Residual of the six blocks against pred (luma 16x16 at stride 16, then
  // Cb, Cr 8x8 at stride 8): levels into levels_ (their counts into counts_),
  // returns the coded_block_pattern.
  int quantise_inter(int mbx, int mby, const uint8_t* pred);
  void write_vector(BitWriter& w, int delta);
  void put_vlc(BitWriter& w, kvnsupport::Mpeg2Syntax table, int value);

  Options o_;
  int mbw_, mbh_, q_;
  Plane src_[3], cur_[3], ref_[3];
  int count_ = 0, gopIndex_ = 0;
  KvnRLEncodeTable* rl_ = nullptr;
  std::vector<int32_t> dcSizeCodes_[2];
  Kvn32s scan_[64];
  Kvn16u intraMatrix_[64];
  alignas(16) Kvn16s levels_[6][64];
  Kvn32s counts_[6];  // non-zero levels of each inter block
  Kvn32s dcPred_[3];
  int pmv_[2] = {0, 0};
};

}  // namespace mpeg2enc
