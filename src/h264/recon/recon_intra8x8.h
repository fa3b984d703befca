// The intra 8x8 luma predictor with reference filtering (H.264 8.3.2) as the
// SIMD reconstruction kernels call it: the predictor of the intra family
// (h264/intra/intra_pred.h), `pitch` counting samples, `mid` =
// 1 << (bitDepth - 1), availability bits those of recon_layout.h (the values
// of kAvail*).
#pragma once

#include <cstdint>

#include "h264/intra/intra_pred.h"
#include "h264/recon/recon_layout.h"

namespace kvn {
namespace h264 {

// Predicts the 8x8 block at b in place with mode 0..8.
template <class T>
inline void intra8x8_predict(T* b, intptr_t pitch, int mode, int32_t avail, int32_t mid) {
  switch (mode) {
    case 0: return intra::predict8x8<0>(b, pitch, avail, mid);
    case 1: return intra::predict8x8<1>(b, pitch, avail, mid);
    case 2: return intra::predict8x8<2>(b, pitch, avail, mid);
    case 3: return intra::predict8x8<3>(b, pitch, avail, mid);
    case 4: return intra::predict8x8<4>(b, pitch, avail, mid);
    case 5: return intra::predict8x8<5>(b, pitch, avail, mid);
    case 6: return intra::predict8x8<6>(b, pitch, avail, mid);
    case 7: return intra::predict8x8<7>(b, pitch, avail, mid);
    default: return intra::predict8x8<8>(b, pitch, avail, mid);
  }
}

}  // namespace h264
}  // namespace kvn
