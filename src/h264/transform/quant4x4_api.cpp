// Entries of the H.264 forward 4x4 transforms and quantisers: pointer checks,
// then the qp range, then one call through the kernel table.
#include "core/entry.h"
#include "h264/transform/quant4x4.h"

using namespace kvn;

KVN_ENTRY(kvniTransformResidual4x4Fwd_H264_16s_C1)(const Kvn16s* pSrc, Kvn16s* pDst) {
  KVN_CHECK_PTRS(pSrc, pDst);
  KVN_KERNEL(quant4x4, fwd16s)(pSrc, pDst);
  return KVN_STS_OK;
}

KVN_ENTRY(kvniTransformResidual4x4Fwd_H264_32s_C1)(const Kvn32s* pSrc, Kvn32s* pDst) {
  KVN_CHECK_PTRS(pSrc, pDst);
  KVN_KERNEL(quant4x4, fwd32s)(pSrc, pDst);
  return KVN_STS_OK;
}

KVN_ENTRY(kvniTransformPrediction_H264_8u16s_C1)(const Kvn8u* pSrc, int32_t srcStep, Kvn16s* pDst) {
  KVN_CHECK_PTRS(pSrc, pDst);
  KVN_KERNEL(quant4x4, fwd_pred)(pSrc, srcStep, pDst);
  return KVN_STS_OK;
}

KVN_ENTRY(kvniTransformQuantFwd4x4_H264_16s_C1)
(const Kvn16s* pSrc, Kvn16s* pDst, int32_t qp, int32_t* pNumLevels, int32_t intra, const Kvn16s* pScanMatrix,
 int32_t* pLastCoeff, const Kvn16s* pScaleLevels) {
  KVN_CHECK_PTRS(pSrc, pDst, pNumLevels, pScanMatrix, pLastCoeff);
  if (!in_range(qp, 51)) return KVN_STS_OUT_OF_RANGE;
  KVN_KERNEL(quant4x4, tq16s)(pSrc, pDst, qp, pNumLevels, intra, pScanMatrix, pLastCoeff, pScaleLevels);
  return KVN_STS_OK;
}

KVN_ENTRY(kvniTransformQuantFwd4x4_H264_16s32s_C1)
(const Kvn16s* pSrc, Kvn32s* pDst, int32_t qp, int32_t* pNumLevels, int32_t intra, const Kvn16s* pScanMatrix,
 int32_t* pLastCoeff, const Kvn16s* pScaleLevels) {
  KVN_CHECK_PTRS(pSrc, pDst, pNumLevels, pScanMatrix, pLastCoeff);
  if (!in_range(qp, 87)) return KVN_STS_OUT_OF_RANGE;
  KVN_KERNEL(quant4x4, tq16s32s)(pSrc, pDst, qp, pNumLevels, intra, pScanMatrix, pLastCoeff, pScaleLevels);
  return KVN_STS_OK;
}

KVN_ENTRY(kvniQuantizeResidual4x4Fwd_H264_16s_C1)
(const Kvn16s* pSrc, Kvn16s* pDst, int32_t* pNumLevels, int32_t* pLastCoeff, const Kvn16s* pScaleLevels,
 const Kvn16s* pScanMatrix, int32_t qp, int32_t intra) {
  KVN_CHECK_PTRS(pSrc, pDst, pNumLevels, pLastCoeff, pScanMatrix);
  if (!in_range(qp, 51)) return KVN_STS_OUT_OF_RANGE;
  KVN_KERNEL(quant4x4, quant16s)(pSrc, pDst, pNumLevels, pLastCoeff, pScaleLevels, pScanMatrix, qp, intra);
  return KVN_STS_OK;
}

KVN_ENTRY(kvniQuantizeResidual4x4Fwd_H264_16s32s_C1)
(const Kvn16s* pSrc, Kvn32s* pDst, int32_t* pNumLevels, int32_t* pLastCoeff, const Kvn32s* pScaleLevels,
 const Kvn16s* pScanMatrix, int32_t qp, int32_t intra) {
  KVN_CHECK_PTRS(pSrc, pDst, pNumLevels, pLastCoeff, pScaleLevels, pScanMatrix);
  if (!in_range(qp, 51)) return KVN_STS_OUT_OF_RANGE;
  KVN_KERNEL(quant4x4, quant16s32s)(pSrc, pDst, pNumLevels, pLastCoeff, pScaleLevels, pScanMatrix, qp, intra);
  return KVN_STS_OK;
}

KVN_ENTRY(kvniQuantizeResidual4x4Fwd_H264_32s_C1)
(const Kvn32s* pSrc, Kvn32s* pDst, int32_t* pNumLevels, int32_t* pLastCoeff, const Kvn32s* pScaleLevels,
 const Kvn16s* pScanMatrix, int32_t qp, int32_t intra) {
  KVN_CHECK_PTRS(pSrc, pDst, pNumLevels, pLastCoeff, pScanMatrix);
  if (!in_range(qp, 87)) return KVN_STS_OUT_OF_RANGE;
  KVN_KERNEL(quant4x4, quant32s)(pSrc, pDst, pNumLevels, pLastCoeff, pScaleLevels, pScanMatrix, qp, intra);
  return KVN_STS_OK;
}

KVN_ENTRY(kvniTransformQuantResidual_H264_16s_C1I)
(Kvn16s* pSrcDst, int32_t qp, Kvn8s* pNumLevels, Kvn8u intra, const Kvn16s* pScanMatrix, Kvn8u* pLastCoeff) {
  KVN_CHECK_PTRS(pSrcDst, pNumLevels, pScanMatrix, pLastCoeff);
  if (!in_range(qp, 51)) return KVN_STS_OUT_OF_RANGE;
  return KVN_KERNEL(quant4x4, tq_legacy)(pSrcDst, qp, pNumLevels, intra, pScanMatrix, pLastCoeff);
}

KVN_ENTRY(kvniGenScaleLevel4x4_H264_8u16s_C1)
(const Kvn8u* pScaleList, Kvn16s* pInvLevels, Kvn16s* pFwdLevels, int32_t m) {
  KVN_CHECK_PTRS(pScaleList, pInvLevels, pFwdLevels);
  if (!in_range(m, 5)) return KVN_STS_OUT_OF_RANGE;
  KVN_KERNEL(quant4x4, gen_scale)(pScaleList, pInvLevels, pFwdLevels, m);
  return KVN_STS_OK;
}
