// Entries of the VC-1 overlap smoothing: null pointers (the only check), then
// the flags and the field-neighbour mode choose what the kernel filters.
#include "core/entry.h"
#include "vc1/smooth_vc1.h"

using namespace kvn;

KVN_ENTRY(kvniSmoothingLuma_VerEdge_VC1_16s8u_C1R)
(Kvn16s* pSrcLeft, Kvn32s srcLeftStep, Kvn16s* pSrcRight, Kvn32s srcRightStep, Kvn8u* pDst, Kvn32s dstStep,
 Kvn32s fieldNeighbourMode, Kvn32u edgeDisableFlags) {
  KVN_CHECK_PTRS(pSrcLeft, pSrcRight, pDst);
  if (edgeDisableFlags == 0) return KVN_STS_OK;
  const int layout = int(fieldNeighbourMode & 3);
  // Frame rows: bits 0..1 switch the upper eight rows on, bits 2..3 the
  // lower eight; with a field-ordered source any flag filters all sixteen.
  const uint32_t halves =
      layout != kFrameRows ? 3u : uint32_t((edgeDisableFlags & 3) != 0) | ((edgeDisableFlags & 12) != 0) << 1;
  if (halves == 0) return KVN_STS_OK;
  with_index<kLayouts>(layout, [&](auto l) {
    KVN_KERNEL(smooth_vc1, luma_ver[l])(pSrcLeft, srcLeftStep, pSrcRight, srcRightStep, pDst, dstStep, halves);
  });
  return KVN_STS_OK;
}

KVN_ENTRY(kvniSmoothingLuma_HorEdge_VC1_16s8u_C1R)
(const Kvn16s* pSrcUpper, Kvn32s srcUpperStep, const Kvn16s* pSrcLower, Kvn32s srcLowerStep, Kvn8u* pDst,
 Kvn32s dstStep, Kvn8u edgeDisableFlags) {
  KVN_CHECK_PTRS(pSrcUpper, pSrcLower, pDst);
  const uint32_t halves = uint32_t((edgeDisableFlags & 3) != 0) | ((edgeDisableFlags & 12) != 0) << 1;
  if (halves == 0) return KVN_STS_OK;
  KVN_KERNEL(smooth_vc1, luma_hor)(pSrcUpper, srcUpperStep, pSrcLower, srcLowerStep, pDst, dstStep, halves);
  return KVN_STS_OK;
}

KVN_ENTRY(kvniSmoothingChroma_VerEdge_VC1_16s8u_C1R)
(Kvn16s* pSrcLeft, Kvn32s srcLeftStep, Kvn16s* pSrcRight, Kvn32s srcRightStep, Kvn8u* pDst, Kvn32s dstStep) {
  KVN_CHECK_PTRS(pSrcLeft, pSrcRight, pDst);
  KVN_KERNEL(smooth_vc1, chroma_ver)(pSrcLeft, srcLeftStep, pSrcRight, srcRightStep, pDst, dstStep);
  return KVN_STS_OK;
}

KVN_ENTRY(kvniSmoothingChroma_HorEdge_VC1_16s8u_C1R)
(const Kvn16s* pSrcUpper, Kvn32s srcUpperStep, const Kvn16s* pSrcLower, Kvn32s srcLowerStep, Kvn8u* pDst,
 Kvn32s dstStep) {
  KVN_CHECK_PTRS(pSrcUpper, pSrcLower, pDst);
  KVN_KERNEL(smooth_vc1, chroma_hor)(pSrcUpper, srcUpperStep, pSrcLower, srcLowerStep, pDst, dstStep);
  return KVN_STS_OK;
}

KVN_ENTRY(kvniSmoothingChroma_VerEdge_VC1_16s8u_P2C2R)
(Kvn16s* pSrcLeftCb, Kvn32s srcLeftCbStep, Kvn16s* pSrcRightCb, Kvn32s srcRightCbStep, Kvn16s* pSrcLeftCr,
 Kvn32s srcLeftCrStep, Kvn16s* pSrcRightCr, Kvn32s srcRightCrStep, Kvn8u* pDst, Kvn32s dstStep) {
  KVN_CHECK_PTRS(pSrcLeftCb, pSrcRightCb, pSrcLeftCr, pSrcRightCr, pDst);
  KVN_KERNEL(smooth_vc1, chroma_ver_p2)
  (pSrcLeftCb, srcLeftCbStep, pSrcRightCb, srcRightCbStep, pSrcLeftCr, srcLeftCrStep, pSrcRightCr, srcRightCrStep, pDst,
   dstStep);
  return KVN_STS_OK;
}

KVN_ENTRY(kvniSmoothingChroma_HorEdge_VC1_16s8u_P2C2R)
(const Kvn16s* pSrcUpperCb, Kvn32s srcUpperCbStep, const Kvn16s* pSrcLowerCb, Kvn32s srcLowerCbStep,
 const Kvn16s* pSrcUpperCr, Kvn32s srcUpperCrStep, const Kvn16s* pSrcLowerCr, Kvn32s srcLowerCrStep, Kvn8u* pDst,
 Kvn32s dstStep) {
  KVN_CHECK_PTRS(pSrcUpperCb, pSrcLowerCb, pSrcUpperCr, pSrcLowerCr, pDst);
  KVN_KERNEL(smooth_vc1, chroma_hor_p2)
  (pSrcUpperCb, srcUpperCbStep, pSrcLowerCb, srcLowerCbStep, pSrcUpperCr, srcUpperCrStep, pSrcLowerCr, srcLowerCrStep,
   pDst, dstStep);
  return KVN_STS_OK;
}
