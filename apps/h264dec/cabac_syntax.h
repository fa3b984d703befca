// CABAC binarisations of the macroblock layer's syntax elements (H.264
// 9.3.2) with their context index offsets (Table 9-34) and the increments
// that do not depend on neighbouring macroblocks (9.3.3.1.2). Increments
// that do (9.3.3.1.1) are the caller's: the `inc` arguments.
#pragma once

#include "cabac_decoder.h"

namespace h264dec {
namespace cabac {

using kvnsupport::CabacDecoder;

// mb_skip_flag; inc = condTermFlagA + condTermFlagB.
inline int mb_skip(CabacDecoder& d, bool bSlice, int inc) { return d.decision((bSlice ? 24 : 11) + inc); }
// mb_type in the numbering of H.264 Tables 7-11, 7-13 and 7-14 (P: 5..30
// and B: 23..48 are the intra types); I_PCM is 25 in I slices.
int mb_type_i(CabacDecoder& d, int inc);
int mb_type_p(CabacDecoder& d);
int mb_type_b(CabacDecoder& d, int inc);
// sub_mb_type (Tables 7-17, 7-18).
int sub_mb_type_p(CabacDecoder& d);
int sub_mb_type_b(CabacDecoder& d);
// ref_idx_lX (unary); inc = condTermFlagA + 2 * condTermFlagB. Returns -1
// for a value above maxIdx.
int ref_idx(CabacDecoder& d, int inc, int maxIdx);
// mvd_lX[][][comp] (UEG3, signed, uCoff 9); absSum: the sum of the
// neighbouring blocks' absMvdComp.
int mvd(CabacDecoder& d, int comp, int absSum);
// mb_qp_delta; prevNonzero: the previous macroblock of the slice in decoding
// order coded a nonzero mb_qp_delta. Returns the signed value; values of
// magnitude above maxAbs are reported as maxAbs + 1.
int qp_delta(CabacDecoder& d, bool prevNonzero, int maxAbs);
// prev_intra4x4_pred_mode_flag / prev_intra8x8_pred_mode_flag and
// rem_intra_pred_mode: -1 when the predicted mode is used, else the rem value.
int intra_rem(CabacDecoder& d);
// intra_chroma_pred_mode (TU, cMax 3); inc = condTermFlagA + condTermFlagB.
int chroma_pred(CabacDecoder& d, int inc);
// transform_size_8x8_flag; inc = condTermFlagA + condTermFlagB.
inline int transform_8x8(CabacDecoder& d, int inc) { return d.decision(399 + inc); }
// coded_block_flag of ctxBlockCat 0..4; inc = condTermFlagA + 2 * condTermFlagB.
inline int coded_block(CabacDecoder& d, int cat, int inc) { return d.decision(85 + 4 * cat + inc); }

}  // namespace cabac
}  // namespace h264dec
