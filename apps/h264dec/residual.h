// CAVLC residual blocks through the library's decoders (H.264 9.2). Each
// call reads one block at the reader's position, appends it to a packed
// coefficient stream when TotalCoeff > 0 and returns TotalCoeff (-1 on a
// code error).
#pragma once

#include <cstdint>

#include "bitstream.h"
#include "vlc.h"

namespace h264dec {

extern const int32_t kScanZigzag[16];    // 4x4 zigzag: scan index -> raster
extern const int32_t kScanIdentity[16];  // coefficients kept in scan order

class Residual {
 public:
  Residual(const VlcTables& t, BitReader& br) : t_(t), br_(br) {}
  int block16(int16_t** stream, int nC, int maxCoeff, const int32_t* scan);
  int block32(int32_t** stream, int nC, int maxCoeff, const int32_t* scan);
  // Chroma DC: chromaFormat 1 (2x2, nC -1) or 2 (2x4, nC -2).
  int dc16(int16_t** stream, int chromaFormat);
  int dc32(int32_t** stream, int chromaFormat);

 private:
  const VlcTables& t_;
  BitReader& br_;
};

}  // namespace h264dec
