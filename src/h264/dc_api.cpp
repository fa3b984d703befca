// Entries of the H.264 DC transforms: pointer checks, then the qp range, then
// one call through the kernel table.
#include "core/entry.h"
#include "dc.h"

using namespace kvn;

// ---- forward ---------------------------------------------------------------

KVN_ENTRY(kvniTransformQuantFwdLumaDC4x4_H264_16s_C1I)(Kvn16s* pDCLevels, Kvn16s* pTransformed, int32_t qp,
                                                       int32_t* pNumLevels, int32_t transform,
                                                       const Kvn16s* pScanMatrix, int32_t* pLastCoeff,
                                                       const Kvn16s* pScaleLevels) {
  KVN_CHECK_PTRS(pDCLevels, pTransformed, pNumLevels, pScanMatrix, pLastCoeff);
  if (!in_range(qp, 51)) return KVN_STS_OUT_OF_RANGE;
  dc_kernels().fwd_luma16s(pDCLevels, pTransformed, qp, pNumLevels, transform, pScanMatrix, pLastCoeff,
                           pScaleLevels);
  return KVN_STS_OK;
}

KVN_ENTRY(kvniTransformQuantFwdLumaDC4x4_H264_32s_C1I)(Kvn32s* pDCLevels, Kvn32s* pTransformed, int32_t qp,
                                                       int32_t* pNumLevels, int32_t transform,
                                                       const Kvn16s* pScanMatrix, int32_t* pLastCoeff,
                                                       const Kvn16s* pScaleLevels) {
  KVN_CHECK_PTRS(pDCLevels, pTransformed, pNumLevels, pScanMatrix, pLastCoeff);
  if (!in_range(qp, 87)) return KVN_STS_OUT_OF_RANGE;
  dc_kernels().fwd_luma32s(pDCLevels, pTransformed, qp, pNumLevels, transform, pScanMatrix, pLastCoeff,
                           pScaleLevels);
  return KVN_STS_OK;
}

KVN_ENTRY(kvniTransformQuantLumaDC_H264_16s_C1I)(Kvn16s* pDCLevels, Kvn16s* pTransformed, int32_t qp,
                                                 Kvn8s* pNumLevels, Kvn8u transform, const Kvn16s* pScanMatrix,
                                                 Kvn8u* pLastCoeff) {
  KVN_CHECK_PTRS(pDCLevels, pTransformed, pNumLevels, pScanMatrix, pLastCoeff);
  if (!in_range(qp, 51)) return KVN_STS_OUT_OF_RANGE;
  return dc_kernels().fwd_luma_legacy(pDCLevels, pTransformed, qp, pNumLevels, transform, pScanMatrix,
                                      pLastCoeff);
}

#define KVN_FWD_CHROMA_ENTRY(name, T, slot, max)                                                          \
  KVN_ENTRY(name)                                                                                         \
  (T * pDCLevels, T * pTransformed, int32_t qp, int32_t * pNumLevels, int32_t intra, int32_t transform,   \
   const Kvn16s* pScaleLevels) {                                                                          \
    KVN_CHECK_PTRS(pDCLevels, pTransformed, pNumLevels);                                                  \
    if (!in_range(qp, max)) return KVN_STS_OUT_OF_RANGE;                                                     \
    dc_kernels().slot(pDCLevels, pTransformed, qp, pNumLevels, intra, transform, pScaleLevels);           \
    return KVN_STS_OK;                                                                                    \
  }
KVN_FWD_CHROMA_ENTRY(kvniTransformQuantFwdChromaDC2x2_H264_16s_C1I, Kvn16s, fwd_2x2_16s, 39)
KVN_FWD_CHROMA_ENTRY(kvniTransformQuantFwdChromaDC2x2_H264_32s_C1I, Kvn32s, fwd_2x2_32s, 75)
KVN_FWD_CHROMA_ENTRY(kvniTransformQuantFwdChromaDC2x4_H264_16s_C1I, Kvn16s, fwd_2x4_16s, 39)
KVN_FWD_CHROMA_ENTRY(kvniTransformQuantFwdChromaDC2x4_H264_32s_C1I, Kvn32s, fwd_2x4_32s, 75)
#undef KVN_FWD_CHROMA_ENTRY

KVN_ENTRY(kvniTransformQuantChromaDC_H264_16s_C1I)(Kvn16s* pDCLevels, Kvn16s* pTransformed, int32_t qp,
                                                   Kvn8s* pNumLevels, Kvn8u intra, Kvn8u transform) {
  KVN_CHECK_PTRS(pDCLevels, pTransformed, pNumLevels);
  if (!in_range(qp, 39)) return KVN_STS_OUT_OF_RANGE;
  return dc_kernels().fwd_chroma_legacy(pDCLevels, pTransformed, qp, pNumLevels, intra, transform);
}

// ---- inverse ---------------------------------------------------------------

#define KVN_INV_DC_ENTRY(name, T, slot, max)                                        \
  KVN_ENTRY(name)(T * pSrcDst, int32_t qp, const Kvn16s* pScaleLevels) {            \
    KVN_CHECK_PTRS(pSrcDst);                                                        \
    if (!in_range(qp, max)) return KVN_STS_OUT_OF_RANGE;                               \
    dc_kernels().slot(pSrcDst, qp, pScaleLevels);                                   \
    return KVN_STS_OK;                                                              \
  }
KVN_INV_DC_ENTRY(kvniTransformQuantInvLumaDC4x4_H264_16s_C1I, Kvn16s, inv_luma16s, 51)
KVN_INV_DC_ENTRY(kvniTransformQuantInvLumaDC4x4_H264_32s_C1I, Kvn32s, inv_luma32s, 87)
KVN_INV_DC_ENTRY(kvniTransformQuantInvChromaDC2x2_H264_16s_C1I, Kvn16s, inv_2x2_16s, 39)
KVN_INV_DC_ENTRY(kvniTransformQuantInvChromaDC2x2_H264_32s_C1I, Kvn32s, inv_2x2_32s, 75)
KVN_INV_DC_ENTRY(kvniTransformQuantInvChromaDC2x4_H264_16s_C1I, Kvn16s, inv_2x4_16s, 39)
KVN_INV_DC_ENTRY(kvniTransformQuantInvChromaDC2x4_H264_32s_C1I, Kvn32s, inv_2x4_32s, 75)
#undef KVN_INV_DC_ENTRY

KVN_ENTRY(kvniTransformDequantLumaDC_H264_16s_C1I)(Kvn16s* pSrcDst, int32_t qp) {
  KVN_CHECK_PTRS(pSrcDst);
  if (!in_range(qp, 51)) return KVN_STS_OUT_OF_RANGE;
  dc_kernels().dequant_luma(pSrcDst, qp);
  return KVN_STS_OK;
}

KVN_ENTRY(kvniTransformDequantChromaDC_H264_16s_C1I)(Kvn16s* pSrcDst, int32_t qp) {
  KVN_CHECK_PTRS(pSrcDst);
  if (!in_range(qp, 51)) return KVN_STS_OUT_OF_RANGE;
  dc_kernels().dequant_chroma(pSrcDst, qp);
  return KVN_STS_OK;
}

// qp and qs index the quantiser tables: outside 0..51 they are refused rather
// than read past the tables.
KVN_ENTRY(kvniTransformDequantChromaDC_SISP_H264_16s_C1I)(Kvn16s* pSrcDst, const Kvn16s* pDCPred, int32_t qp,
                                                          int32_t qs, int32_t switching) {
  KVN_CHECK_PTRS(pSrcDst, pDCPred);
  if (!in_range(qp, 51) || !in_range(qs, 51)) return KVN_STS_OUT_OF_RANGE;
  dc_kernels().sisp_chroma(pSrcDst, pDCPred, qp, qs, switching);
  return KVN_STS_OK;
}
