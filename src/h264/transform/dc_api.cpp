// Entries of the H.264 DC transforms: pointer checks, then the qp range, then
// one call through the kernel table.
#include "core/entry.h"
#include "h264/transform/dc.h"

using namespace kvn;

namespace {

template <class Fn, class T>
inline KvnResult fwd_chroma(Fn fn, uint32_t maxQp, T* levels, T* transformed, int32_t qp, int32_t* numLevels,
                            int32_t intra, int32_t transform, const Kvn16s* scale) {
  KVN_CHECK_PTRS(levels, transformed, numLevels);
  if (!in_range(qp, maxQp)) return KVN_STS_OUT_OF_RANGE;
  fn(levels, transformed, qp, numLevels, intra, transform, scale);
  return KVN_STS_OK;
}

template <class Fn, class T>
inline KvnResult inv_dc(Fn fn, uint32_t maxQp, T* dc, int32_t qp, const Kvn16s* scale) {
  KVN_CHECK_PTRS(dc);
  if (!in_range(qp, maxQp)) return KVN_STS_OUT_OF_RANGE;
  fn(dc, qp, scale);
  return KVN_STS_OK;
}

}  // namespace

// ---- forward ---------------------------------------------------------------

KVN_ENTRY(kvniTransformQuantFwdLumaDC4x4_H264_16s_C1I)
(Kvn16s* pDCLevels, Kvn16s* pTransformed, int32_t qp, int32_t* pNumLevels, int32_t transform, const Kvn16s* pScanMatrix,
 int32_t* pLastCoeff, const Kvn16s* pScaleLevels) {
  KVN_CHECK_PTRS(pDCLevels, pTransformed, pNumLevels, pScanMatrix, pLastCoeff);
  if (!in_range(qp, 51)) return KVN_STS_OUT_OF_RANGE;
  KVN_KERNEL(dc, fwd_luma16s)
  (pDCLevels, pTransformed, qp, pNumLevels, transform, pScanMatrix, pLastCoeff, pScaleLevels);
  return KVN_STS_OK;
}

KVN_ENTRY(kvniTransformQuantFwdLumaDC4x4_H264_32s_C1I)
(Kvn32s* pDCLevels, Kvn32s* pTransformed, int32_t qp, int32_t* pNumLevels, int32_t transform, const Kvn16s* pScanMatrix,
 int32_t* pLastCoeff, const Kvn16s* pScaleLevels) {
  KVN_CHECK_PTRS(pDCLevels, pTransformed, pNumLevels, pScanMatrix, pLastCoeff);
  if (!in_range(qp, 87)) return KVN_STS_OUT_OF_RANGE;
  KVN_KERNEL(dc, fwd_luma32s)
  (pDCLevels, pTransformed, qp, pNumLevels, transform, pScanMatrix, pLastCoeff, pScaleLevels);
  return KVN_STS_OK;
}

KVN_ENTRY(kvniTransformQuantLumaDC_H264_16s_C1I)
(Kvn16s* pDCLevels, Kvn16s* pTransformed, int32_t qp, Kvn8s* pNumLevels, Kvn8u transform, const Kvn16s* pScanMatrix,
 Kvn8u* pLastCoeff) {
  KVN_CHECK_PTRS(pDCLevels, pTransformed, pNumLevels, pScanMatrix, pLastCoeff);
  if (!in_range(qp, 51)) return KVN_STS_OUT_OF_RANGE;
  return KVN_KERNEL(dc, fwd_luma_legacy)(pDCLevels, pTransformed, qp, pNumLevels, transform, pScanMatrix, pLastCoeff);
}

KVN_ENTRY(kvniTransformQuantFwdChromaDC2x2_H264_16s_C1I)
(Kvn16s* pDCLevels, Kvn16s* pTransformed, int32_t qp, int32_t* pNumLevels, int32_t intra, int32_t transform,
 const Kvn16s* pScaleLevels) {
  return fwd_chroma(KVN_KERNEL(dc, fwd_2x2_16s), 39, pDCLevels, pTransformed, qp, pNumLevels, intra, transform,
                    pScaleLevels);
}

KVN_ENTRY(kvniTransformQuantFwdChromaDC2x2_H264_32s_C1I)
(Kvn32s* pDCLevels, Kvn32s* pTransformed, int32_t qp, int32_t* pNumLevels, int32_t intra, int32_t transform,
 const Kvn16s* pScaleLevels) {
  return fwd_chroma(KVN_KERNEL(dc, fwd_2x2_32s), 75, pDCLevels, pTransformed, qp, pNumLevels, intra, transform,
                    pScaleLevels);
}

KVN_ENTRY(kvniTransformQuantFwdChromaDC2x4_H264_16s_C1I)
(Kvn16s* pDCLevels, Kvn16s* pTransformed, int32_t qp, int32_t* pNumLevels, int32_t intra, int32_t transform,
 const Kvn16s* pScaleLevels) {
  return fwd_chroma(KVN_KERNEL(dc, fwd_2x4_16s), 39, pDCLevels, pTransformed, qp, pNumLevels, intra, transform,
                    pScaleLevels);
}

KVN_ENTRY(kvniTransformQuantFwdChromaDC2x4_H264_32s_C1I)
(Kvn32s* pDCLevels, Kvn32s* pTransformed, int32_t qp, int32_t* pNumLevels, int32_t intra, int32_t transform,
 const Kvn16s* pScaleLevels) {
  return fwd_chroma(KVN_KERNEL(dc, fwd_2x4_32s), 75, pDCLevels, pTransformed, qp, pNumLevels, intra, transform,
                    pScaleLevels);
}

KVN_ENTRY(kvniTransformQuantChromaDC_H264_16s_C1I)
(Kvn16s* pDCLevels, Kvn16s* pTransformed, int32_t qp, Kvn8s* pNumLevels, Kvn8u intra, Kvn8u transform) {
  KVN_CHECK_PTRS(pDCLevels, pTransformed, pNumLevels);
  if (!in_range(qp, 39)) return KVN_STS_OUT_OF_RANGE;
  return KVN_KERNEL(dc, fwd_chroma_legacy)(pDCLevels, pTransformed, qp, pNumLevels, intra, transform);
}

// ---- inverse ---------------------------------------------------------------

KVN_ENTRY(kvniTransformQuantInvLumaDC4x4_H264_16s_C1I)(Kvn16s* pSrcDst, int32_t qp, const Kvn16s* pScaleLevels) {
  return inv_dc(KVN_KERNEL(dc, inv_luma16s), 51, pSrcDst, qp, pScaleLevels);
}

KVN_ENTRY(kvniTransformQuantInvLumaDC4x4_H264_32s_C1I)(Kvn32s* pSrcDst, int32_t qp, const Kvn16s* pScaleLevels) {
  return inv_dc(KVN_KERNEL(dc, inv_luma32s), 87, pSrcDst, qp, pScaleLevels);
}

KVN_ENTRY(kvniTransformQuantInvChromaDC2x2_H264_16s_C1I)(Kvn16s* pSrcDst, int32_t qp, const Kvn16s* pScaleLevels) {
  return inv_dc(KVN_KERNEL(dc, inv_2x2_16s), 39, pSrcDst, qp, pScaleLevels);
}

KVN_ENTRY(kvniTransformQuantInvChromaDC2x2_H264_32s_C1I)(Kvn32s* pSrcDst, int32_t qp, const Kvn16s* pScaleLevels) {
  return inv_dc(KVN_KERNEL(dc, inv_2x2_32s), 75, pSrcDst, qp, pScaleLevels);
}

KVN_ENTRY(kvniTransformQuantInvChromaDC2x4_H264_16s_C1I)(Kvn16s* pSrcDst, int32_t qp, const Kvn16s* pScaleLevels) {
  return inv_dc(KVN_KERNEL(dc, inv_2x4_16s), 39, pSrcDst, qp, pScaleLevels);
}

KVN_ENTRY(kvniTransformQuantInvChromaDC2x4_H264_32s_C1I)(Kvn32s* pSrcDst, int32_t qp, const Kvn16s* pScaleLevels) {
  return inv_dc(KVN_KERNEL(dc, inv_2x4_32s), 75, pSrcDst, qp, pScaleLevels);
}

KVN_ENTRY(kvniTransformDequantLumaDC_H264_16s_C1I)(Kvn16s* pSrcDst, int32_t qp) {
  KVN_CHECK_PTRS(pSrcDst);
  if (!in_range(qp, 51)) return KVN_STS_OUT_OF_RANGE;
  KVN_KERNEL(dc, dequant_luma)(pSrcDst, qp);
  return KVN_STS_OK;
}

KVN_ENTRY(kvniTransformDequantChromaDC_H264_16s_C1I)(Kvn16s* pSrcDst, int32_t qp) {
  KVN_CHECK_PTRS(pSrcDst);
  if (!in_range(qp, 51)) return KVN_STS_OUT_OF_RANGE;
  KVN_KERNEL(dc, dequant_chroma)(pSrcDst, qp);
  return KVN_STS_OK;
}

// qp and qs index the quantiser tables: outside 0..51 they are refused rather
// than read past the tables.
KVN_ENTRY(kvniTransformDequantChromaDC_SISP_H264_16s_C1I)
(Kvn16s* pSrcDst, const Kvn16s* pDCPred, int32_t qp, int32_t qs, int32_t switching) {
  KVN_CHECK_PTRS(pSrcDst, pDCPred);
  if (!in_range(qp, 51) || !in_range(qs, 51)) return KVN_STS_OUT_OF_RANGE;
  KVN_KERNEL(dc, sisp_chroma)(pSrcDst, pDCPred, qp, qs, switching);
  return KVN_STS_OK;
}
