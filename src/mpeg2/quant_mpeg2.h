// MPEG-2 forward and inverse quantisers of 8x8 blocks (raster order, in place).
//
// Forward (encoder side; the entries have refused a quantiser scale Q of 0):
//  - float: level = trunc(c * s * w[k]) in single precision, in that order,
//    s = 16 / Q formed as a float and w the reciprocal weights; clamped to
//    -2047..2047 before the truncation, a NaN product giving 0. The intra
//    kernel leaves position 0 (the DC the caller quantises) and counts levels
//    at positions 1..63 only;
//  - reciprocal (no weights, Q >= 1): level = sign(c) * min((|c| * r) >> 16,
//    2047), r = floor((65536 + floor(Q / 2)) / Q), 1..65536;
//  - count: the non-zero values of a block left as it is (Q below 1).
//  Each returns the number of non-zero levels it counts.
// Inverse (ISO/IEC 13818-2 7.4.2, 7.4.3, 7.4.4), exact for every 16-bit level,
// weight and scale:
//  - non-intra: F = ((2L + sign(L)) * W[k] * Q) / 32 at all 64 positions;
//  - intra: F = (L * W[k] * Q) / 16 at positions 1..63, position 0 unchanged;
//  divisions truncating towards zero, F saturated to -2048..2047; then
//  mismatch control: when the sum of all 64 values is even, the lowest bit of
//  position 63 is toggled.
#pragma once

#include <cstdint>

#include "core/dispatch.h"
#include "kvncore.h"

namespace kvn {

using QuantFloatFn = int32_t (*)(int16_t* block, float scale, const float* recip);
using QuantRecipFn = int32_t (*)(int16_t* block, uint32_t r);
using CountFn = int32_t (*)(const int16_t* block);
using QuantInvFn = void (*)(int16_t* block, int32_t q, const uint16_t* weights);

struct QuantMpeg2Kernels {
  QuantFloatFn quant_float;
  QuantFloatFn quant_float_intra;
  QuantRecipFn quant_recip;
  CountFn count;
  QuantInvFn inv;
  QuantInvFn inv_intra;
};

namespace quant_mpeg2 {

// Reciprocals of the default intra_quantiser_matrix (ISO/IEC 13818-2 6.3.11),
// raster order, rounded to six decimals.
inline constexpr float kDefaultIntraRecip[64] = {
    0.125000f, 0.062500f, 0.052632f, 0.045455f, 0.038462f, 0.037037f, 0.034483f, 0.029412f, 0.062500f, 0.062500f,
    0.045455f, 0.041667f, 0.037037f, 0.034483f, 0.029412f, 0.027027f, 0.052632f, 0.045455f, 0.038462f, 0.037037f,
    0.034483f, 0.029412f, 0.029412f, 0.026316f, 0.045455f, 0.045455f, 0.038462f, 0.037037f, 0.034483f, 0.029412f,
    0.027027f, 0.025000f, 0.045455f, 0.038462f, 0.037037f, 0.034483f, 0.031250f, 0.028571f, 0.025000f, 0.020833f,
    0.038462f, 0.037037f, 0.034483f, 0.031250f, 0.028571f, 0.025000f, 0.020833f, 0.017241f, 0.038462f, 0.037037f,
    0.034483f, 0.029412f, 0.026316f, 0.021739f, 0.017857f, 0.014493f, 0.037037f, 0.034483f, 0.028571f, 0.026316f,
    0.021739f, 0.017857f, 0.014493f, 0.012048f};

// The weight 16 everywhere (the non-intra default).
inline constexpr uint16_t kFlatWeights[64] = {16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16,
                                              16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16,
                                              16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16,
                                              16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16};

inline uint32_t reciprocal(int32_t q) { return uint32_t((65536 + q / 2) / q); }  // q >= 1

}  // namespace quant_mpeg2

// The scalar table kQuantMpeg2KernelsC, the table of each level
// quant_mpeg2_kernels(isa), the chosen one quant_mpeg2_kernels() and the SIMD
// steps quant_mpeg2_init_<level>: see KVN_DECLARE_FAMILY (core/dispatch.h).
KVN_DECLARE_FAMILY(quant_mpeg2, QuantMpeg2Kernels);

}  // namespace kvn
