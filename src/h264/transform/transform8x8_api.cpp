// Entries of the H.264 8x8 transform family: pointer checks, then the range
// of q6 or m (KVN_STS_QP_ERR), then one call through the kernel table.
#include "core/entry.h"
#include "h264/transform/transform8x8.h"

using namespace kvn;

KVN_ENTRY(kvniTransformFwdLuma8x8_H264_16s_C1)(const Kvn16s* pSrc, Kvn16s* pDst) {
  KVN_CHECK_PTRS(pSrc, pDst);
  KVN_KERNEL(transform8x8, fwd16s)(pSrc, pDst);
  return KVN_STS_OK;
}

KVN_ENTRY(kvniTransformFwdLuma8x8_H264_16s32s_C1)(const Kvn16s* pSrc, Kvn32s* pDst) {
  KVN_CHECK_PTRS(pSrc, pDst);
  KVN_KERNEL(transform8x8, fwd32s)(pSrc, pDst);
  return KVN_STS_OK;
}

KVN_ENTRY(kvniTransformLuma8x8Fwd_H264_16s_C1I)(Kvn16s* pSrcDst) {
  KVN_CHECK_PTRS(pSrcDst);
  KVN_KERNEL(transform8x8, fwd16s)(pSrcDst, pSrcDst);
  return KVN_STS_OK;
}

KVN_ENTRY(kvniQuantLuma8x8_H264_16s_C1)
(const Kvn16s* pSrc, Kvn16s* pDst, int32_t q6, int32_t intra, const Kvn16s* pScanMatrix, const Kvn16s* pScaleLevels,
 int32_t* pNumLevels, int32_t* pLastCoeff) {
  KVN_CHECK_PTRS(pSrc, pDst, pScanMatrix, pScaleLevels, pNumLevels, pLastCoeff);
  if (!in_range(q6, 8)) return KVN_STS_QP_ERR;
  KVN_KERNEL(transform8x8, quant16s)(pSrc, pDst, q6, intra, pScanMatrix, pScaleLevels, pNumLevels, pLastCoeff);
  return KVN_STS_OK;
}

KVN_ENTRY(kvniQuantLuma8x8_H264_32s_C1)
(const Kvn32s* pSrc, Kvn32s* pDst, int32_t q6, int32_t intra, const Kvn16s* pScanMatrix, const Kvn16s* pScaleLevels,
 int32_t* pNumLevels, int32_t* pLastCoeff) {
  KVN_CHECK_PTRS(pSrc, pDst, pScanMatrix, pScaleLevels, pNumLevels, pLastCoeff);
  if (!in_range(q6, 14)) return KVN_STS_QP_ERR;
  KVN_KERNEL(transform8x8, quant32s)(pSrc, pDst, q6, intra, pScanMatrix, pScaleLevels, pNumLevels, pLastCoeff);
  return KVN_STS_OK;
}

KVN_ENTRY(kvniQuantLuma8x8Inv_H264_16s_C1I)(Kvn16s* pSrcDst, int32_t q6, const Kvn16s* pInvLevels) {
  KVN_CHECK_PTRS(pSrcDst, pInvLevels);
  if (!in_range(q6, 8)) return KVN_STS_QP_ERR;
  KVN_KERNEL(transform8x8, dequant16s)(pSrcDst, q6, pInvLevels);
  return KVN_STS_OK;
}

KVN_ENTRY(kvniQuantInvLuma8x8_H264_32s_C1I)(Kvn32s* pSrcDst, int32_t q6, const Kvn16s* pInvLevels) {
  KVN_CHECK_PTRS(pSrcDst, pInvLevels);
  if (!in_range(q6, 14)) return KVN_STS_QP_ERR;
  KVN_KERNEL(transform8x8, dequant32s)(pSrcDst, q6, pInvLevels);
  return KVN_STS_OK;
}

KVN_ENTRY(kvniTransformLuma8x8InvAddPred_H264_16s8u_C1R)
(const Kvn8u* pPred, int32_t predStep, const Kvn16s* pSrc, Kvn8u* pDst, int32_t dstStep) {
  KVN_CHECK_PTRS(pPred, pSrc, pDst);
  KVN_KERNEL(transform8x8, inv_add8u)(pPred, predStep, pSrc, pDst, dstStep);
  return KVN_STS_OK;
}

KVN_ENTRY(kvniTransformInvAddPredLuma8x8_H264_32s16u_C1R)
(const Kvn16u* pPred, int32_t predStep, const Kvn32s* pSrc, Kvn16u* pDst, int32_t dstStep, int32_t bitDepth) {
  KVN_CHECK_PTRS(pPred, pSrc, pDst);
  // Not a checked argument; kept within 1..16 so the sample maximum is defined.
  const int32_t depth = bitDepth < 1 ? 1 : bitDepth > 16 ? 16 : bitDepth;
  KVN_KERNEL(transform8x8, inv_add16u)(pPred, predStep, pSrc, pDst, dstStep, (1 << depth) - 1);
  return KVN_STS_OK;
}

KVN_ENTRY(kvniGenScaleLevel8x8_H264_8u16s_D2)
(const Kvn8u* pScaleList, int32_t scaleStep, Kvn16s* pInvLevels, Kvn16s* pFwdLevels, int32_t m) {
  KVN_CHECK_PTRS(pScaleList, pInvLevels, pFwdLevels);
  if (!in_range(m, 5)) return KVN_STS_QP_ERR;
  KVN_KERNEL(transform8x8, gen_scale)(pScaleList, scaleStep, pInvLevels, pFwdLevels, m);
  return KVN_STS_OK;
}
