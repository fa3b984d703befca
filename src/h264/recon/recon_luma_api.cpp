// Entries of the H.264 8-bit luma macroblock reconstruction: pointers, then
// (Half) the step, then qp; the walk over the stream in recon_mb.cpp.
#include "core/entry.h"
#include "h264/recon/recon_mb.h"

using namespace kvn;
using recon8::Quant;
using recon8::quant;

namespace {

constexpr uint32_t kMaxQp = 51;

}  // namespace

KVN_ENTRY(kvniReconstructLumaInterMB_H264_16s8u_C1R)
(Kvn16s** ppSrcDstCoeff, Kvn8u* pSrcDstYPlane, int32_t srcDstYStep, Kvn32u cbp4x4, int32_t qp) {
  KVN_CHECK_PTRS(ppSrcDstCoeff, pSrcDstYPlane);
  KVN_CHECK_PTRS(*ppSrcDstCoeff);
  if (!in_range(qp, kMaxQp)) return KVN_STS_OUT_OF_RANGE;
  recon8::luma_inter4x4(ppSrcDstCoeff, pSrcDstYPlane, srcDstYStep, cbp4x4, quant(qp, nullptr, 0));
  return KVN_STS_OK;
}

KVN_ENTRY(kvniReconstructLumaInter4x4MB_H264_16s8u_C1R)
(Kvn16s** ppSrcDstCoeff, Kvn8u* pSrcDstYPlane, int32_t srcDstYStep, Kvn32u cbp4x4, int32_t qp,
 const Kvn16s* pQuantTable, Kvn8u bypassFlag) {
  KVN_CHECK_PTRS(ppSrcDstCoeff, pSrcDstYPlane);
  KVN_CHECK_PTRS(*ppSrcDstCoeff, pQuantTable);
  if (!in_range(qp, kMaxQp)) return KVN_STS_OUT_OF_RANGE;
  recon8::luma_inter4x4(ppSrcDstCoeff, pSrcDstYPlane, srcDstYStep, cbp4x4, quant(qp, pQuantTable, bypassFlag));
  return KVN_STS_OK;
}

KVN_ENTRY(kvniReconstructLumaInter8x8MB_H264_16s8u_C1R)
(Kvn16s** ppSrcDstCoeff, Kvn8u* pSrcDstYPlane, int32_t srcDstYStep, Kvn32u cbp8x8, int32_t qp,
 const Kvn16s* pQuantTable, Kvn8u bypassFlag) {
  KVN_CHECK_PTRS(ppSrcDstCoeff, pSrcDstYPlane);
  KVN_CHECK_PTRS(*ppSrcDstCoeff, pQuantTable);
  if (!in_range(qp, kMaxQp)) return KVN_STS_OUT_OF_RANGE;
  recon8::luma_inter8x8(ppSrcDstCoeff, pSrcDstYPlane, srcDstYStep, cbp8x8, quant(qp, pQuantTable, bypassFlag));
  return KVN_STS_OK;
}

KVN_ENTRY(kvniReconstructLumaIntraMB_H264_16s8u_C1R)
(Kvn16s** ppSrcDstCoeff, Kvn8u* pSrcDstYPlane, int32_t srcDstYStep, const Kvn32s* pMBIntraTypes, Kvn32u cbp4x4,
 int32_t qp, Kvn8u edgeType) {
  KVN_CHECK_PTRS(ppSrcDstCoeff, pSrcDstYPlane, pMBIntraTypes);
  KVN_CHECK_PTRS(*ppSrcDstCoeff);
  if (!in_range(qp, kMaxQp)) return KVN_STS_OUT_OF_RANGE;
  return recon8::luma_intra4x4(ppSrcDstCoeff, pSrcDstYPlane, srcDstYStep, pMBIntraTypes, cbp4x4, 1, 16, edgeType,
                               quant(qp, nullptr, 0));
}

KVN_ENTRY(kvniReconstructLumaIntra4x4MB_H264_16s8u_C1R)
(Kvn16s** ppSrcDstCoeff, Kvn8u* pSrcDstYPlane, int32_t srcDstYStep, const Kvn32s* pMBIntraTypes, Kvn32u cbp4x4,
 int32_t qp, Kvn8u edgeType, const Kvn16s* pQuantTable, Kvn8u bypassFlag) {
  KVN_CHECK_PTRS(ppSrcDstCoeff, pSrcDstYPlane, pMBIntraTypes);
  KVN_CHECK_PTRS(*ppSrcDstCoeff, pQuantTable);
  if (!in_range(qp, kMaxQp)) return KVN_STS_OUT_OF_RANGE;
  return recon8::luma_intra4x4(ppSrcDstCoeff, pSrcDstYPlane, srcDstYStep, pMBIntraTypes, cbp4x4, 1, 16, edgeType,
                               quant(qp, pQuantTable, bypassFlag));
}

KVN_ENTRY(kvniReconstructLumaIntra16x16MB_H264_16s8u_C1R)
(Kvn16s** ppSrcDstCoeff, Kvn8u* pSrcDstYPlane, int32_t srcDstYStep, int32_t intraLumaMode, Kvn32u cbp4x4, int32_t qp,
 Kvn8u edgeType) {
  KVN_CHECK_PTRS(ppSrcDstCoeff, pSrcDstYPlane);
  KVN_CHECK_PTRS(*ppSrcDstCoeff);
  if (!in_range(qp, kMaxQp)) return KVN_STS_OUT_OF_RANGE;
  return recon8::luma_intra16x16(ppSrcDstCoeff, pSrcDstYPlane, srcDstYStep, intraLumaMode, cbp4x4, edgeType,
                                 quant(qp, nullptr, 0));
}

KVN_ENTRY(kvniReconstructLumaIntra_16x16MB_H264_16s8u_C1R)
(Kvn16s** ppSrcDstCoeff, Kvn8u* pSrcDstYPlane, int32_t srcDstYStep, int32_t intraLumaMode, Kvn32u cbp4x4, int32_t qp,
 Kvn8u edgeType, const Kvn16s* pQuantTable, Kvn8u bypassFlag) {
  KVN_CHECK_PTRS(ppSrcDstCoeff, pSrcDstYPlane);
  KVN_CHECK_PTRS(*ppSrcDstCoeff, pQuantTable);
  if (!in_range(qp, kMaxQp)) return KVN_STS_OUT_OF_RANGE;
  return recon8::luma_intra16x16(ppSrcDstCoeff, pSrcDstYPlane, srcDstYStep, intraLumaMode, cbp4x4, edgeType,
                                 quant(qp, pQuantTable, bypassFlag));
}

KVN_ENTRY(kvniReconstructLumaIntra8x8MB_H264_16s8u_C1R)
(Kvn16s** ppSrcDstCoeff, Kvn8u* pSrcDstYPlane, int32_t srcDstYStep, const Kvn32u* pMBIntraTypes, Kvn32u cbp8x8,
 int32_t qp, Kvn8u edgeType, const Kvn16s* pQuantTable, Kvn8u bypassFlag) {
  KVN_CHECK_PTRS(ppSrcDstCoeff, pSrcDstYPlane, pMBIntraTypes);
  KVN_CHECK_PTRS(*ppSrcDstCoeff, pQuantTable);
  if (!in_range(qp, kMaxQp)) return KVN_STS_OUT_OF_RANGE;
  return recon8::luma_intra8x8(ppSrcDstCoeff, pSrcDstYPlane, srcDstYStep, pMBIntraTypes, cbp8x8, 4, edgeType,
                               quant(qp, pQuantTable, bypassFlag));
}

KVN_ENTRY(kvniReconstructLumaIntraHalfMB_H264_16s8u_C1R)
(Kvn16s** ppSrcDstCoeff, Kvn8u* pSrcDstYPlane, int32_t srcDstYStep, const Kvn32s* pMBIntraTypes, Kvn32u cbp4x2,
 int32_t qp, Kvn8u edgeType) {
  KVN_CHECK_PTRS(ppSrcDstCoeff, pSrcDstYPlane, pMBIntraTypes);
  KVN_CHECK_PTRS(*ppSrcDstCoeff);
  if (srcDstYStep < 1) return KVN_STS_STEP_ERR;
  if (!in_range(qp, kMaxQp)) return KVN_STS_OUT_OF_RANGE;
  return recon8::luma_intra4x4(ppSrcDstCoeff, pSrcDstYPlane, srcDstYStep, pMBIntraTypes, cbp4x2, 0, 8, edgeType,
                               quant(qp, nullptr, 0));
}

KVN_ENTRY(kvniReconstructLumaIntraHalf4x4MB_H264_16s8u_C1R)
(Kvn16s** ppSrcDstCoeff, Kvn8u* pSrcDstYPlane, int32_t srcDstYStep, const Kvn32s* pMBIntraTypes, Kvn8u cbp4x2,
 int32_t qp, Kvn8u edgeType, const Kvn16s* pQuantTable, Kvn8u bypassFlag) {
  KVN_CHECK_PTRS(ppSrcDstCoeff, pSrcDstYPlane, pMBIntraTypes);
  KVN_CHECK_PTRS(*ppSrcDstCoeff, pQuantTable);
  if (!in_range(qp, kMaxQp)) return KVN_STS_OUT_OF_RANGE;
  return recon8::luma_intra4x4(ppSrcDstCoeff, pSrcDstYPlane, srcDstYStep, pMBIntraTypes, cbp4x2, 0, 8, edgeType,
                               quant(qp, pQuantTable, bypassFlag));
}

KVN_ENTRY(kvniReconstructLumaIntraHalf8x8MB_H264_16s8u_C1R)
(Kvn16s** ppSrcDstCoeff, Kvn8u* pSrcDstYPlane, int32_t srcDstYStep, const Kvn32u* pMBIntraTypes, Kvn32u cbp8x2,
 int32_t qp, Kvn8u edgeType, const Kvn16s* pQuantTable, Kvn8u bypassFlag) {
  KVN_CHECK_PTRS(ppSrcDstCoeff, pSrcDstYPlane, pMBIntraTypes);
  KVN_CHECK_PTRS(*ppSrcDstCoeff, pQuantTable);
  if (!in_range(qp, kMaxQp)) return KVN_STS_OUT_OF_RANGE;
  return recon8::luma_intra8x8(ppSrcDstCoeff, pSrcDstYPlane, srcDstYStep, pMBIntraTypes, cbp8x2, 2, edgeType,
                               quant(qp, pQuantTable, bypassFlag));
}
