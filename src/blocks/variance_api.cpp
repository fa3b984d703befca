// Entries of the variance and activity measures: null-pointer checks, then one
// call through the kernel table, which stores the results.
#include "core/entry.h"
#include "variance.h"

using namespace kvn;

KVN_ENTRY(kvniVariance16x16_8u32s)(const Kvn8u* pSrc, int32_t srcStep, Kvn32s* pVar) {
  KVN_CHECK_PTRS(pSrc, pVar);
  return KVN_KERNEL(variance, variance16x16)(pSrc, srcStep, pVar);
}

// Also the body of kvniVarSum8x8_8u32s_C1R.
KVN_ENTRY(kvniVarMean8x8_8u32s_C1R)(const Kvn8u* pSrc, int32_t srcStep, Kvn32s* pVar, Kvn32s* pSum) {
  KVN_CHECK_PTRS(pSrc, pVar, pSum);
  return KVN_KERNEL(variance, var_mean8x8)(pSrc, srcStep, pVar, pSum);
}

// Also the body of kvniVarSum8x8_16s32s_C1R.
KVN_ENTRY(kvniVarMean8x8_16s32s_C1R)(const Kvn16s* pSrc, int32_t srcStep, Kvn32s* pVar, Kvn32s* pSum) {
  KVN_CHECK_PTRS(pSrc, pVar, pSum);
  return KVN_KERNEL(variance, var_mean8x8_16s)(pSrc, srcStep, pVar, pSum);
}

// The 16x16 member works only for the four mode values themselves; any other
// value returns success without computing or writing anything.
KVN_ENTRY(kvniVarMeanDiff16x16_8u32s_C1R)
(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep, const Kvn32s* pSrcSum, Kvn32s* pVar,
 Kvn32s* pMean, int32_t mode) {
  KVN_CHECK_PTRS(pSrc, pRef, pSrcSum, pVar, pMean);
  if (mode != 0 && mode != 4 && mode != 8 && mode != 12) return KVN_STS_OK;
  return KVN_KERNEL(variance, var_mean_diff[kVmd16x16][mode >> 2])(pSrc, srcStep, pRef, refStep, pSrcSum, pVar, pMean);
}

// The 16x8 member uses the bits of value 4 and 8 of the mode.
KVN_ENTRY(kvniVarMeanDiff16x8_8u32s_C1R)
(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep, const Kvn32s* pSrcSum, Kvn32s* pVar,
 Kvn32s* pMean, int32_t mode) {
  KVN_CHECK_PTRS(pSrc, pRef, pSrcSum, pVar, pMean);
  return KVN_KERNEL(variance, var_mean_diff[kVmd16x8][(mode & 12) >> 2])(pSrc, srcStep, pRef, refStep, pSrcSum, pVar,
                                                                         pMean);
}

KVN_ENTRY(kvniMeanAbsDev16x16_8u32s_C1R)(const Kvn8u* pSrc, int32_t srcStep, Kvn32s* pDst) {
  KVN_CHECK_PTRS(pSrc, pDst);
  return KVN_KERNEL(variance, mean_abs_dev16x16)(pSrc, srcStep, pDst);
}

KVN_ENTRY(kvniMeanAbsDev8x8_8u32s_C1R)(const Kvn8u* pSrc, int32_t srcStep, Kvn32s* pDst) {
  KVN_CHECK_PTRS(pSrc, pDst);
  return KVN_KERNEL(variance, mean_abs_dev8x8)(pSrc, srcStep, pDst);
}

KVN_ENTRY(kvniEdgesDetect16x16_8u_C1R)
(const Kvn8u* pSrc, int32_t srcStep, int32_t diffThreshold, int32_t countThreshold, Kvn8u* pFlag) {
  KVN_CHECK_PTRS(pSrc, pFlag);
  return KVN_KERNEL(variance, edges16x16)(pSrc, srcStep, diffThreshold, countThreshold, pFlag);
}

KVN_ENTRY(kvniEdgesDetect16x16_16u_C1R)
(const Kvn16u* pSrc, int32_t srcStep, int32_t diffThreshold, int32_t countThreshold, Kvn32u* pFlag) {
  KVN_CHECK_PTRS(pSrc, pFlag);
  return KVN_KERNEL(variance, edges16x16_16u)(pSrc, srcStep, diffThreshold, countThreshold, pFlag);
}
