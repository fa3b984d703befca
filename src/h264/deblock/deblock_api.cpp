// Entries of the H.264 deblocking filter: null-pointer checks (the only
// checks), then one call through the kernel table.
#include <cstddef>

#include "core/entry.h"
#include "h264/deblock/deblock.h"

using namespace kvn;

// The records are part of the binary interface.
static_assert(sizeof(KvnDeblockingRecord8u) == 48, "record layout");
static_assert(offsetof(KvnDeblockingRecord8u, srcDstStep) == 8, "record layout");
static_assert(offsetof(KvnDeblockingRecord8u, pAlpha) == 16, "record layout");
static_assert(offsetof(KvnDeblockingRecord8u, pBeta) == 24, "record layout");
static_assert(offsetof(KvnDeblockingRecord8u, pThresholds) == 32, "record layout");
static_assert(offsetof(KvnDeblockingRecord8u, pBs) == 40, "record layout");
static_assert(sizeof(KvnDeblockingRecord16u) == 56, "record layout");
static_assert(offsetof(KvnDeblockingRecord16u, srcDstStep) == 8, "record layout");
static_assert(offsetof(KvnDeblockingRecord16u, pAlpha) == 16, "record layout");
static_assert(offsetof(KvnDeblockingRecord16u, pBeta) == 24, "record layout");
static_assert(offsetof(KvnDeblockingRecord16u, pThresholds) == 32, "record layout");
static_assert(offsetof(KvnDeblockingRecord16u, pBs) == 40, "record layout");
static_assert(offsetof(KvnDeblockingRecord16u, bitDepth) == 48, "record layout");

namespace {

inline KvnResult edges8(Deblock8Fn fn, Kvn8u* p, int32_t step, const Kvn8u* alpha, const Kvn8u* beta, const Kvn8u* tc0,
                        const Kvn8u* bs) {
  KVN_CHECK_PTRS(p, alpha, beta, tc0, bs);
  fn(p, step, alpha, beta, tc0, bs);
  return KVN_STS_OK;
}

inline KvnResult chroma_c2(DeblockC2Fn fn, Kvn8u* p, int32_t step, const Kvn8u* alpha, const Kvn8u* beta,
                           const Kvn8u* tc0, const Kvn8u* bs, int32_t perChannel) {
  KVN_CHECK_PTRS(p, alpha, beta, tc0, bs);
  fn(p, step, alpha, beta, tc0, bs, perChannel);
  return KVN_STS_OK;
}

inline KvnResult record8(Deblock8Fn fn, const KvnDeblockingRecord8u* r) {
  KVN_CHECK_PTRS(r);
  return edges8(fn, r->pSrcDstPlane, r->srcDstStep, r->pAlpha, r->pBeta, r->pThresholds, r->pBs);
}

inline KvnResult record16(Deblock16Fn fn, const KvnDeblockingRecord16u* r) {
  KVN_CHECK_PTRS(r);
  KVN_CHECK_PTRS(r->pSrcDstPlane, r->pAlpha, r->pBeta, r->pThresholds, r->pBs);
  fn(r->pSrcDstPlane, r->srcDstStep, r->pAlpha, r->pBeta, r->pThresholds, r->pBs, max_sample(r->bitDepth));
  return KVN_STS_OK;
}

}  // namespace

KVN_ENTRY(kvniFilterDeblockingLuma_VerEdge_H264_8u_C1IR)
(Kvn8u* pSrcDst, int32_t srcDstStep, const Kvn8u* pAlpha, const Kvn8u* pBeta, const Kvn8u* pThresholds,
 const Kvn8u* pBS) {
  return edges8(KVN_KERNEL(deblock, luma_ver), pSrcDst, srcDstStep, pAlpha, pBeta, pThresholds, pBS);
}

KVN_ENTRY(kvniFilterDeblockingLuma_HorEdge_H264_8u_C1IR)
(Kvn8u* pSrcDst, int32_t srcDstStep, const Kvn8u* pAlpha, const Kvn8u* pBeta, const Kvn8u* pThresholds,
 const Kvn8u* pBS) {
  return edges8(KVN_KERNEL(deblock, luma_hor), pSrcDst, srcDstStep, pAlpha, pBeta, pThresholds, pBS);
}

KVN_ENTRY(kvniFilterDeblockingChroma_VerEdge_H264_8u_C1IR)
(Kvn8u* pSrcDst, int32_t srcDstStep, const Kvn8u* pAlpha, const Kvn8u* pBeta, const Kvn8u* pThresholds,
 const Kvn8u* pBS) {
  return edges8(KVN_KERNEL(deblock, chroma_ver), pSrcDst, srcDstStep, pAlpha, pBeta, pThresholds, pBS);
}

KVN_ENTRY(kvniFilterDeblockingChroma_HorEdge_H264_8u_C1IR)
(Kvn8u* pSrcDst, int32_t srcDstStep, const Kvn8u* pAlpha, const Kvn8u* pBeta, const Kvn8u* pThresholds,
 const Kvn8u* pBS) {
  return edges8(KVN_KERNEL(deblock, chroma_hor), pSrcDst, srcDstStep, pAlpha, pBeta, pThresholds, pBS);
}

KVN_ENTRY(kvniFilterDeblockingChroma_VerEdge_H264_8u_C2IR)
(Kvn8u* pSrcDst, int32_t srcDstStep, const Kvn8u* pAlpha, const Kvn8u* pBeta, const Kvn8u* pThresholds,
 const Kvn8u* pBS) {
  return chroma_c2(KVN_KERNEL(deblock, chroma_c2_ver), pSrcDst, srcDstStep, pAlpha, pBeta, pThresholds, pBS, 0);
}

KVN_ENTRY(kvniFilterDeblockingChroma_HorEdge_H264_8u_C2IR)
(Kvn8u* pSrcDst, int32_t srcDstStep, const Kvn8u* pAlpha, const Kvn8u* pBeta, const Kvn8u* pThresholds,
 const Kvn8u* pBS) {
  return chroma_c2(KVN_KERNEL(deblock, chroma_c2_hor), pSrcDst, srcDstStep, pAlpha, pBeta, pThresholds, pBS, 0);
}

KVN_ENTRY(kvniFilterDeblockingChroma_VerEdge_H264_8u_C2I)(const KvnDeblockingRecord8u* pDeblockInfo) {
  KVN_CHECK_PTRS(pDeblockInfo);
  const KvnDeblockingRecord8u& r = *pDeblockInfo;
  return chroma_c2(KVN_KERNEL(deblock, chroma_c2_ver), r.pSrcDstPlane, r.srcDstStep, r.pAlpha, r.pBeta, r.pThresholds,
                   r.pBs, 1);
}

KVN_ENTRY(kvniFilterDeblockingChroma_HorEdge_H264_8u_C2I)(const KvnDeblockingRecord8u* pDeblockInfo) {
  KVN_CHECK_PTRS(pDeblockInfo);
  const KvnDeblockingRecord8u& r = *pDeblockInfo;
  return chroma_c2(KVN_KERNEL(deblock, chroma_c2_hor), r.pSrcDstPlane, r.srcDstStep, r.pAlpha, r.pBeta, r.pThresholds,
                   r.pBs, 1);
}

KVN_ENTRY(kvniFilterDeblockingChroma422VerEdge_H264_8u_C1IR)(const KvnDeblockingRecord8u* pDeblockInfo) {
  return record8(KVN_KERNEL(deblock, chroma422_ver), pDeblockInfo);
}

KVN_ENTRY(kvniFilterDeblockingChroma422HorEdge_H264_8u_C1IR)(const KvnDeblockingRecord8u* pDeblockInfo) {
  return record8(KVN_KERNEL(deblock, chroma422_hor), pDeblockInfo);
}

KVN_ENTRY(kvniFilterDeblockingLuma_VerEdge_MBAFF_H264_8u_C1IR)
(Kvn8u* pSrcDst, int32_t srcDstStep, Kvn32u alpha, Kvn32u beta, const Kvn8u* pThresholds, const Kvn8u* pBS) {
  KVN_CHECK_PTRS(pSrcDst, pThresholds, pBS);
  KVN_KERNEL(deblock, luma_mbaff)(pSrcDst, srcDstStep, alpha, beta, pThresholds, pBS);
  return KVN_STS_OK;
}

KVN_ENTRY(kvniFilterDeblockingChroma_VerEdge_MBAFF_H264_8u_C1IR)
(Kvn8u* pSrcDst, int32_t srcDstStep, Kvn32u alpha, Kvn32u beta, const Kvn8u* pThresholds, const Kvn8u* pBS) {
  KVN_CHECK_PTRS(pSrcDst, pThresholds, pBS);
  KVN_KERNEL(deblock, chroma_mbaff)(pSrcDst, srcDstStep, alpha, beta, pThresholds, pBS);
  return KVN_STS_OK;
}

KVN_ENTRY(kvniFilterDeblockingLumaVerEdge_H264_16u_C1IR)(const KvnDeblockingRecord16u* pDeblockInfo) {
  return record16(KVN_KERNEL(deblock, luma16_ver), pDeblockInfo);
}

KVN_ENTRY(kvniFilterDeblockingLumaHorEdge_H264_16u_C1IR)(const KvnDeblockingRecord16u* pDeblockInfo) {
  return record16(KVN_KERNEL(deblock, luma16_hor), pDeblockInfo);
}

KVN_ENTRY(kvniFilterDeblockingLumaVerEdgeMBAFF_H264_16u_C1IR)(const KvnDeblockingRecord16u* pDeblockInfo) {
  return record16(KVN_KERNEL(deblock, luma16_mbaff), pDeblockInfo);
}

KVN_ENTRY(kvniFilterDeblockingChromaVerEdge_H264_16u_C1IR)(const KvnDeblockingRecord16u* pDeblockInfo) {
  return record16(KVN_KERNEL(deblock, chroma16_ver), pDeblockInfo);
}

KVN_ENTRY(kvniFilterDeblockingChromaHorEdge_H264_16u_C1IR)(const KvnDeblockingRecord16u* pDeblockInfo) {
  return record16(KVN_KERNEL(deblock, chroma16_hor), pDeblockInfo);
}

KVN_ENTRY(kvniFilterDeblockingChromaVerEdgeMBAFF_H264_16u_C1IR)(const KvnDeblockingRecord16u* pDeblockInfo) {
  return record16(KVN_KERNEL(deblock, chroma16_mbaff), pDeblockInfo);
}

KVN_ENTRY(kvniFilterDeblockingChroma422VerEdge_H264_16u_C1IR)(const KvnDeblockingRecord16u* pDeblockInfo) {
  return record16(KVN_KERNEL(deblock, chroma422_16_ver), pDeblockInfo);
}

KVN_ENTRY(kvniFilterDeblockingChroma422HorEdge_H264_16u_C1IR)(const KvnDeblockingRecord16u* pDeblockInfo) {
  return record16(KVN_KERNEL(deblock, chroma422_16_hor), pDeblockInfo);
}
