// Entries of the H.264 inverse 4x4 paths: pointer checks, then the ranges in
// the order of the argument list, then one call through the kernel table.
#include "core/entry.h"
#include "h264/transform/dequant4x4.h"

using namespace kvn;

KVN_ENTRY(kvniTransformResidual4x4Inv_H264_16s_C1)(const Kvn16s* pSrc, Kvn16s* pDst) {
  KVN_CHECK_PTRS(pSrc, pDst);
  KVN_KERNEL(dequant4x4, inv16s)(pSrc, pDst);
  return KVN_STS_OK;
}

KVN_ENTRY(kvniTransformResidual4x4Inv_H264_32s_C1)(const Kvn32s* pSrc, Kvn32s* pDst) {
  KVN_CHECK_PTRS(pSrc, pDst);
  KVN_KERNEL(dequant4x4, inv32s)(pSrc, pDst);
  return KVN_STS_OK;
}

KVN_ENTRY(kvniTransformQuantInvAddPred4x4_H264_16s_C1IR)
(const Kvn8u* pPred, int32_t predStep, Kvn16s* pSrcDst, const Kvn16s* pDC, Kvn8u* pDst, int32_t dstStep, int32_t qp,
 int32_t AC, const Kvn16s* pScaleLevels) {
  KVN_CHECK_PTRS(pPred, pSrcDst, pDst);
  if (!in_range(qp, 51)) return KVN_STS_OUT_OF_RANGE;
  KVN_KERNEL(dequant4x4, inv_add16s)(pPred, predStep, pSrcDst, pDC, pDst, dstStep, qp, AC, pScaleLevels);
  return KVN_STS_OK;
}

KVN_ENTRY(kvniTransformQuantInvAddPred4x4_H264_32s_C1IR)
(const Kvn16u* pPred, int32_t predStep, Kvn32s* pSrcDst, const Kvn32s* pDC, Kvn16u* pDst, int32_t dstStep, int32_t qp,
 int32_t AC, int32_t bitDepth, const Kvn16s* pScaleLevels) {
  KVN_CHECK_PTRS(pPred, pSrcDst, pDst);
  if (!in_range(qp, 87)) return KVN_STS_OUT_OF_RANGE;
  if (bitDepth < 9 || bitDepth > 14) return KVN_STS_OUT_OF_RANGE;
  KVN_KERNEL(dequant4x4, inv_add32s)(pPred, predStep, pSrcDst, pDC, pDst, dstStep, qp, AC, bitDepth, pScaleLevels);
  return KVN_STS_OK;
}

KVN_ENTRY(kvniDequantTransformResidual_H264_16s_C1I)
(Kvn16s* pSrcDst, int32_t srcDstStep, const Kvn16s* pDC, int32_t AC, int32_t qp) {
  KVN_CHECK_PTRS(pSrcDst);
  if (!in_range(qp, 51)) return KVN_STS_OUT_OF_RANGE;
  if (srcDstStep < 8) return KVN_STS_STEP_ERR;
  KVN_KERNEL(dequant4x4, dequant_residual)(pSrcDst, srcDstStep, pDC, AC, qp);
  return KVN_STS_OK;
}

KVN_ENTRY(kvniDequantTransformResidualAndAdd_H264_16s_C1I)
(const Kvn8u* pPred, Kvn16s* pSrcDst, const Kvn16s* pDC, Kvn8u* pDst, int32_t predStep, int32_t dstStep, int32_t qp,
 int32_t AC) {
  KVN_CHECK_PTRS(pPred, pDst);
  if (!in_range(qp, 51)) return KVN_STS_OUT_OF_RANGE;
  // The coefficients are needed unless the DC alone is given.
  if (!pSrcDst && !(pDC && !(AC & 1))) return KVN_STS_NULL_PTR;
  KVN_KERNEL(dequant4x4, dequant_add)(pPred, pSrcDst, pDC, pDst, predStep, dstStep, qp, AC);
  return KVN_STS_OK;
}

// qp and qs index the quantiser tables: outside 0..51 they are refused rather
// than read past the tables.
KVN_ENTRY(kvniDequantTransformResidual_SISP_H264_16s_C1I)
(Kvn16s* pSrcDst, const Kvn16s* pTransformedPred, const Kvn16s* pDC, int32_t AC, int32_t qp, int32_t qs,
 int32_t switching) {
  KVN_CHECK_PTRS(pSrcDst, pTransformedPred);
  if (!in_range(qp, 51) || !in_range(qs, 51)) return KVN_STS_OUT_OF_RANGE;
  KVN_KERNEL(dequant4x4, sisp_residual)(pSrcDst, pTransformedPred, pDC, AC, qp, qs, switching);
  return KVN_STS_OK;
}
