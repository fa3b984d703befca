// kvnvc-mpeg4dec's decoder: MPEG-4 Visual (simple and advanced simple
// profile tools for rectangular 8-bit progressive video), H.263 and H.261
// elementary streams, with every block operation done by the library
// (coefficient decoding and inverse quantisation, inverse DCT, half-sample
// motion compensation, residual addition, H.263 deblocking). The
// macroblock-layer syntax, the predictions of DC, AC and vectors, the
// headers and the picture management are the application's.
#pragma once

#include <kvnvc.h>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "bitreader.h"
#include "mpeg4_headers.h"
#include "picture.h"

namespace mpeg4dec {

enum class Format { kAuto, kMpeg4, kH263, kH261 };

// The format of a stream from its first bytes (kAuto when none matches).
Format detect_format(const std::vector<uint8_t>& bytes);

// The library's inverse quantiser state in memory of the size it asks for.
struct QuantInvState {
  alignas(16) uint8_t mem[192];
  const KvnQuantInvState_MPEG4* get() const { return reinterpret_cast<const KvnQuantInvState_MPEG4*>(mem); }
  KvnQuantInvState_MPEG4* get() { return reinterpret_cast<KvnQuantInvState_MPEG4*>(mem); }
};

class Decoder {
 public:
  // Pictures in display order.
  using Sink = std::function<void(const Frame&)>;
  explicit Decoder(Sink sink);
  // Decodes a whole stream; returns "" or the error that stopped decoding
  // ("unsupported: ..." for tools the decoder lacks). Damaged pictures are
  // concealed and counted, not fatal.
  std::string decode(const std::vector<uint8_t>& bytes, Format format = Format::kAuto);
  int errors() const { return errors_; }
  // Streams whose pictures have more macroblocks are refused (a bound for fuzzing).
  void set_max_macroblocks(int n) { maxMbs_ = n; }

 private:
  // MPEG-4 Visual.
  std::string decode_mpeg4(const std::vector<uint8_t>& data, size_t size);
  std::string start_vol();
  void decode_vop(BitReader& b);
  bool mpeg4_mb(BitReader& b, int mb, int& qp);
  bool mpeg4_b_mb(BitReader& b, int mb, int& qp);
  bool intra_block(BitReader& b, int blk, int mbx, int mby, bool coded, int qp, bool acPred, bool dcVlc);
  void predict_vector(int mbx, int mby, int blk, int& px, int& py) const;
  bool read_vectors(BitReader& b, int mbx, int mby, bool four);
  void predict_mb(const Frame& ref, int mbx, int mby, const int16_t* mv, bool four, int rounding, bool avg);
  bool inter_blocks(BitReader& b, int mbx, int mby, int cbp, int qp);
  void conceal_from(int mb);

  // H.263 and H.261.
  struct H263Picture;
  std::string decode_h263(const std::vector<uint8_t>& data, size_t size);
  std::string h263_picture(BitReader& b, H263Picture& pic);
  bool h263_mb(BitReader& b, const H263Picture& pic, int mb, int& qp);
  bool h263_intra_block(BitReader& b, const H263Picture& pic, int blk, int mbx, int mby, bool coded, int qp, int acPred,
                        bool leftPred);
  void h263_loop_filter(int mbx, int mby, const H263Picture& pic);
  std::string decode_h261(const std::vector<uint8_t>& data, size_t size);
  bool h261_gob(BitReader& b, int gn, bool cif, int qp);

  // Pictures.
  std::unique_ptr<Frame> new_frame(int w, int h, int edgeW, int edgeH);
  void recycle(std::unique_ptr<Frame> f);
  void finish_reference();  // the current picture becomes the newer reference
  void flush();

  Sink sink_;
  int errors_ = 0;
  int maxMbs_ = 1 << 20;
  std::unique_ptr<Frame> cur_, past_, future_;
  bool futureShown_ = true;
  std::vector<std::unique_ptr<Frame>> pool_;

  // MPEG-4 state.
  Vol vol_;
  bool haveVol_ = false;
  Vop vop_;
  int mbw_ = 0, mbh_ = 0;
  QuantInvState invIntra_, invInter_;
  int64_t timeBase_ = 0, lastTimeBase_ = 0, lastNonBTime_ = 0;
  int ppTime_ = 0, pbTime_ = 0;
  // Per macroblock of the picture being decoded: video packet, intra, quantiser.
  std::vector<int> packet_;
  std::vector<uint8_t> intra_, qp_;
  int packetId_ = 0, packetStart_ = 0;
  // MPEG-4 vector prediction: the above-right candidate may be used when
  // the above one lies before the video packet (H.263: never).
  bool h263Pred_ = true;
  // Intra prediction values per block (7.4.3): the DC (dequantised) and the
  // first row and column of quantised levels; luma blocks, then Cb, Cr.
  struct BlockPred {
    int16_t dc;
    int16_t row[7], col[7];
  };
  std::vector<BlockPred> pred_[3];
  std::vector<uint8_t> coded_;  // H.263: the macroblock was coded (for the deblocking filter)
  // H.263: the last full extended PTYPE's options, which pictures with UFEP 0 keep.
  struct H263Options {
    bool valid = false, customPcf = false, umvPlus = false, advIntra = false, deblock = false, slices = false,
         modQuant = false;
    int width = 0, height = 0;
  } h263Plus_;
  int16_t lastMv_[2][2] = {};  // B-VOP vector predictors (forward, backward)
  alignas(16) int16_t coef_[64];
};

}  // namespace mpeg4dec
