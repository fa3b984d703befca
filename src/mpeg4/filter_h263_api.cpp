// Entries of the H.263 edge filters: the picture pointer (KVN_STS_NULL_PTR),
// for the 8x8 deblocking filter QUANT 1..31 (KVN_STS_QP_ERR); any row step
// is taken as it is.
#include "core/entry.h"
#include "mpeg4/filter_h263.h"

using namespace kvn;

KVN_ENTRY(kvniFilterDeblocking8x8HorEdge_H263_8u_C1IR)(Kvn8u* pSrcDst, Kvn32s srcDstStep, Kvn32s QP) {
  KVN_CHECK_PTRS(pSrcDst);
  if (!in_range(QP - 1, 30)) return KVN_STS_QP_ERR;
  KVN_KERNEL(filter_h263, deblock_hor[kEdge8])(pSrcDst, srcDstStep, filter_h263::kStrength[QP - 1]);
  return KVN_STS_OK;
}

KVN_ENTRY(kvniFilterDeblocking8x8VerEdge_H263_8u_C1IR)(Kvn8u* pSrcDst, Kvn32s srcDstStep, Kvn32s QP) {
  KVN_CHECK_PTRS(pSrcDst);
  if (!in_range(QP - 1, 30)) return KVN_STS_QP_ERR;
  KVN_KERNEL(filter_h263, deblock_ver[kEdge8])(pSrcDst, srcDstStep, filter_h263::kStrength[QP - 1]);
  return KVN_STS_OK;
}

KVN_ENTRY(kvniFilterDeblocking16x16HorEdge_H263_8u_C1IR)(Kvn8u* pSrcDst, Kvn32s srcDstStep) {
  KVN_CHECK_PTRS(pSrcDst);
  KVN_KERNEL(filter_h263, deblock_hor[kEdge16])(pSrcDst, srcDstStep, filter_h263::kUnlimited);
  return KVN_STS_OK;
}

KVN_ENTRY(kvniFilterDeblocking16x16VerEdge_H263_8u_C1IR)(Kvn8u* pSrcDst, Kvn32s srcDstStep) {
  KVN_CHECK_PTRS(pSrcDst);
  KVN_KERNEL(filter_h263, deblock_ver[kEdge16])(pSrcDst, srcDstStep, filter_h263::kUnlimited);
  return KVN_STS_OK;
}

KVN_ENTRY(kvniFilterBlockBoundaryHorEdge_H263_8u_C1IR)(Kvn8u* pSrcDst, Kvn32s srcDstStep) {
  KVN_CHECK_PTRS(pSrcDst);
  KVN_KERNEL(filter_h263, boundary_hor)(pSrcDst, srcDstStep);
  return KVN_STS_OK;
}

KVN_ENTRY(kvniFilterBlockBoundaryVerEdge_H263_8u_C1IR)(Kvn8u* pSrcDst, Kvn32s srcDstStep) {
  KVN_CHECK_PTRS(pSrcDst);
  KVN_KERNEL(filter_h263, boundary_ver)(pSrcDst, srcDstStep);
  return KVN_STS_OK;
}
