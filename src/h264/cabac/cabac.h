// H.264 CABAC encoding of residual blocks (ITU-T H.264 9.3.2.3, 9.3.3.1.3):
// significance map and levels of one block. Kernel types and table.
//
// A kernel codes coef[0 .. last] (scan order) of a block of the given
// category into the coder state (504 bytes, cabac_engine.h). The entries have
// checked the arguments: category 0..5, chroma exponent 0 or 1 (category 3
// only), last below the category's coefficient count. A negative last codes
// nothing. When the output reaches the buffer's end limit the kernel returns
// KVN_STS_OUT_OF_BUFFER with the state as it was at entry and the bytes
// before the word then under construction restored; otherwise KVN_STS_OK.
// Levels of magnitude 0 at or below last are coded as not significant.
#pragma once

#include <cstdint>

#include "core/dispatch.h"

namespace kvn {

struct CabacBlock {
  int last;
  int cat;        // ctxBlockCat 0..5
  int chromaExp;  // log2 of the chroma 8x8 blocks per component (category 3)
  bool field;
};

using CabacResidual16sFn = int (*)(const int16_t* coef, const CabacBlock& b, uint8_t* state);
using CabacResidual32sFn = int (*)(const int32_t* coef, const CabacBlock& b, uint8_t* state);

struct CabacKernels {
  CabacResidual16sFn residual16s;
  CabacResidual32sFn residual32s;
};

// Coefficient count of a block category (ctxBlockCat 0..5).
constexpr int cabac_coeff_count(int cat, int chromaExp) {
  return cat == 5 ? 64 : cat == 3 ? 4 << chromaExp : cat == 1 || cat == 4 ? 15 : 16;
}

KVN_DECLARE_FAMILY(cabac, CabacKernels);

}  // namespace kvn
