// MPEG-4 quantisers with a weighting matrix (ISO/IEC 14496-2 7.4.4.1,
// quantisation method 2) and the float quantisers used above 8 bits per
// pixel; the uniform rules (method 1, 8 bits or less) run on the kernels of
// quant_h263.h. Blocks are 64 int16 in raster order, processed in place; the
// state has been checked by the entry (tag, QP 1..QPmax of its bits per pixel).
//
// Forward with a matrix, 8 bits per pixel or less (`quant_matrix`), at
// positions first..63 (position 0 is left alone for first = 1):
//   t = min(16|c| + floor(W/2), 65535)       (the 16-bit sum saturates)
//   k = (t * R_W) >> 16                      (R_W from the state)
//   u = min(k + add, 65535)                  (add: 0 inter, floor((3QP + 2) / 4) intra)
//   level = sign(c) * min((u * R_QP) >> 16, 2047)
// returning the number of non-zero levels at first..63.
//
// Forward above 8 bits per pixel (`quant_float`, scalar: single precision in
// the order written), at positions 0..63 (inter) or 1..63 (intra), h = c / |c|:
//   inter, no matrix:  (c - h * floor(QP/2)) * f,   f = float(0.5000001 / QP)
//   inter, matrix:     c * g * (1/W),               g = float(8.00001 / QP)
//   intra, no matrix:  c * f
//   intra, matrix:     c * e * (1/W) + 0.501 * h,   e = float(8 / QP)
// each truncated towards zero and clamped to -2047..2047 (a NaN, which only a
// forged state's inverse weights give, to 0); returns the count.
//
// Inverse with a matrix (method 2), positions first..last (last <= 63; the
// others keep their values, see the uniform inverse in quant_h263.h), exact
// for every 16-bit level:
//   inter (first 0):  F = ((2L + sign(L)) * W * QP) / 16
//   intra (first 1):  F = (L * W * QP) / 8
// truncated towards zero and clamped to lo..hi (the reconstruction range);
// each returns the parity of the sum of the values it wrote. The entries do
// the DC and the mismatch control.
#pragma once

#include <cstdint>

#include "core/dispatch.h"
#include "kvnvc.h"

namespace kvn {

using Mpeg4QuantMatrixFn = int32_t (*)(int16_t* block, const KvnQuantState_MPEG4& s, int32_t qp, int32_t first,
                                       uint32_t add);
using Mpeg4QuantFloatFn = int32_t (*)(int16_t* block, const KvnQuantState_MPEG4& s, int32_t qp, int32_t intra);
using Mpeg4InvMatrixFn = int32_t (*)(int16_t* block, int32_t last, const uint16_t* weights, int32_t qp, int32_t lo,
                                     int32_t hi);

struct QuantMpeg4Kernels {
  Mpeg4QuantMatrixFn quant_matrix;
  Mpeg4QuantFloatFn quant_float;
  Mpeg4InvMatrixFn inv_inter, inv_intra;
};

KVN_DECLARE_FAMILY(quant_mpeg4, QuantMpeg4Kernels);

}  // namespace kvn
