// Variance, mean and activity measures of blocks: kernel types, tables and the
// final arithmetic that every level shares.
//
// Kernels read exactly their blocks (and, in the difference measures, the one
// extra row and/or column of a half-sample position), take signed byte steps
// (also for 16-bit samples, where the steps need not be even) and assume
// nothing about alignment. They compute into locals and store their results
// through their last arguments only at the end, after every input has been
// read, and return KVN_STS_OK, so that each entry ends in a tail call.
//
// The helpers here are static: each kernel file gets its own copy, compiled
// with its own flags.
//
// VarMeanDiff tables are indexed (mode & 12) / 4: 0 full sample, 1 vertical
// half, 2 horizontal half, 3 centre, averages rounded up.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>

#include "core/dispatch.h"
#include "kvncore.h"

namespace kvn {

// Variance16x16 and MeanAbsDev.
using BlockMeasureFn = KvnResult (*)(const uint8_t* src, int32_t step, int32_t* out);
using VarMeanFn = KvnResult (*)(const uint8_t* src, int32_t step, int32_t* var, int32_t* sum);
using VarMean16sFn = KvnResult (*)(const int16_t* src, int32_t step, int32_t* var, int32_t* sum);
// srcSum: the caller's sums of the source's 8x8 blocks; var and mean receive
// one value a block (blocks in raster order).
using VarMeanDiffFn = KvnResult (*)(const uint8_t* src, int32_t srcStep, const uint8_t* ref, int32_t refStep,
                                    const int32_t* srcSum, int32_t* var, int32_t* mean);
// The flag: 0 or 1.
using EdgesFn = KvnResult (*)(const uint8_t* src, int32_t step, int32_t diffThreshold, int32_t countThreshold,
                              uint8_t* flag);
using Edges16Fn = KvnResult (*)(const uint16_t* src, int32_t step, int32_t diffThreshold, int32_t countThreshold,
                                uint32_t* flag);

enum VarMeanDiffSize { kVmd16x16, kVmd16x8, kVmdSizes };

struct VarianceKernels {
  BlockMeasureFn variance16x16;
  VarMeanFn var_mean8x8;
  VarMean16sFn var_mean8x8_16s;
  std::array<VarMeanDiffFn, 4> var_mean_diff[kVmdSizes];
  BlockMeasureFn mean_abs_dev16x16, mean_abs_dev8x8;
  EdgesFn edges16x16;
  Edges16Fn edges16x16_16u;
};

// Q - ((S * S) >> 8) for the sum S and the sum of squares Q of 256 samples of
// 8 bits. S * S < 2^32 is exact in unsigned 32-bit arithmetic, and the result
// is never negative (Q >= S * S / 256).
static inline int32_t variance_from_sums(uint32_t q, uint32_t s) { return int32_t(q - ((s * s) >> 8)); }

// trunc(Q / 64 - (S / 64)^2) in single precision, operations in this order.
// The square is rounded on its own: the empty asm keeps the compiler from
// fusing it into the subtraction (a fused multiply-subtract rounds once and
// gives other results). Inputs of the 8x8 members keep the value within
// [-2^26, 2^26], so the conversion back is defined.
static inline int32_t float_variance(int32_t q, int32_t s) {
  const float m = float(s) / 64.f;
  float m2 = m * m;
  __asm__("" : "+x"(m2));
  return int32_t(float(q) / 64.f - m2);
}

// The two outputs of VarMean from Q and S.
static inline KvnResult store_var_mean(int32_t q, int32_t s, int32_t* var, int32_t* sum) {
  *var = float_variance(q, s);
  *sum = s;
  return KVN_STS_OK;
}

// The per-block results of VarMeanDiff from the prediction sums and the sums
// of squared differences of its N blocks: D = srcSum - predSum, mean = D / 8
// truncated toward zero, var = (Q - mean^2) >> 6 when Q > mean^2, else 0.
// D and mean^2 are formed in 64 bits, so that any caller sum gives a defined
// result (the mean of any int32 sum fits 32 bits). The caller's sums are all
// read before any output is written.
template <int N>
static inline KvnResult var_mean_diff_finish(const int32_t* srcSum, const int32_t* predSum, const uint32_t* q,
                                             int32_t* var, int32_t* mean) {
  int32_t sums[N];
  std::memcpy(sums, srcSum, sizeof sums);
  for (int b = 0; b < N; ++b) {
    const int64_t m = (int64_t(sums[b]) - predSum[b]) / 8, m2 = m * m;
    var[b] = q[b] > m2 ? int32_t((q[b] - m2) >> 6) : 0;
    mean[b] = int32_t(m);
  }
  return KVN_STS_OK;
}

// EdgesDetect: the 15 x 15 positions (x, y) < 15 of a 16x16 block.
constexpr int kEdgePositions = 15 * 15;

// The scalar table kVarianceKernelsC, the table of each level
// variance_kernels(isa), the chosen one variance_kernels() and the SIMD steps
// variance_init_<level>: see KVN_DECLARE_FAMILY (core/dispatch.h).
KVN_DECLARE_FAMILY(variance, VarianceKernels);

}  // namespace kvn
