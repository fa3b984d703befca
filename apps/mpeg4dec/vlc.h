// The macroblock-layer codes that MPEG-4 Visual and H.263 share (ITU-T H.263
// Tables 7, 8, 12 and 13; ISO/IEC 14496-2 Tables B-6 to B-12): MCBPC, CBPY,
// the motion vector differences, and the MPEG-4 B-VOP macroblock types.
#pragma once

#include <cstdint>

#include "bitreader.h"

namespace mpeg4dec {

inline constexpr int kInvalid = -1000000;

// MCBPC: mb_type * 4 + cbpc, 20 for stuffing, kInvalid for no code.
int mcbpc_intra(BitReader& b);
int mcbpc_inter(BitReader& b);
// CBPY as coded (intra meaning; inter blocks invert it); kInvalid for no code.
int cbpy(BitReader& b);
// A motion vector component (ISO/IEC 14496-2 7.6.3): the coded difference
// with its fcode residual, added to the predictor and wrapped into the range
// of fcode; kInvalid for no code.
int motion_component(BitReader& b, int fcode, int pred);
// H.263 Annex D without PLUSPTYPE wrapping: the difference only (or kInvalid).
int motion_delta(BitReader& b, int fcode);
// B-VOP mb_type: 0 direct, 1 interpolate, 2 backward, 3 forward; kInvalid.
int mb_type_b(BitReader& b);

// H.261 (Tables 1 to 4): the macroblock address increment (1..33, 34 for
// stuffing), MTYPE (0..9 in the order of Table 2), CBP (1..63); kInvalid.
int h261_mba(BitReader& b);
int h261_mtype(BitReader& b);
int h261_cbp(BitReader& b);

}  // namespace mpeg4dec
