// An H.264 CABAC decoder (ITU-T H.264 9.3.1.2, 9.3.3.2): the arithmetic
// decoding engine over byte-aligned slice data, and the decoding of residual
// blocks (significance map and levels, 9.3.2.3 and 9.3.3.1.3). The library
// offers CABAC encoding only; the tests decode what it writes with this, and
// a decoder of CABAC streams can grow from it. Not part of the library.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kvnsupport {

class CabacDecoder {
 public:
  static constexpr int kContexts = 460;

  // Slice data from data[0] (the byte after cabac_alignment_one_bit) to
  // data[size - 1]; bits beyond it read as 0. Contexts: 460 bytes as the
  // library's coder state holds them (bit 6 valMPS, bits 0..5 pStateIdx),
  // e.g. from kvniCABACInit_H264 and kvniCABACGetContexts_H264.
  CabacDecoder(const uint8_t* data, std::size_t size, const uint8_t* contexts);

  int decision(int ctxIdx);  // DecodeDecision
  int bypass();              // DecodeBypass
  int terminate();           // DecodeTerminate (end_of_slice_flag, ctxIdx 276)

  // One residual block of ctxBlockCat cat (0..5) into coef[0 .. count - 1]
  // (scan order; the other entries set to 0), coded_block_flag excluded.
  // Returns the number of coefficients of the category.
  int residual(int cat, int chromaExp, bool field, int32_t* coef);

  const uint8_t* contexts() const { return ctx_; }
  // Bits of the slice data the engine has read so far (9 bits at the start,
  // then a bit per renormalisation step).
  std::size_t bits_read() const { return pos_; }

 private:
  int read_bit();
  void renorm();

  const uint8_t* data_;
  std::size_t size_;
  std::size_t pos_ = 0;  // bits read
  uint32_t range_ = 510;
  uint32_t offset_ = 0;
  uint8_t ctx_[kContexts];
};

}  // namespace kvnsupport
