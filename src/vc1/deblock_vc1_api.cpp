// Entries of the VC-1 loop filter: the picture pointer (the only check), then
// the flags become the kernel's switched-off segments. PQUANT 0 and an edge
// whose every segment is off change nothing, and touch nothing.
#include "core/entry.h"
#include "vc1/deblock_vc1.h"

using namespace kvn;
using deblock_vc1::chroma_seg_off;
using deblock_vc1::kChromaSegments;
using deblock_vc1::kLumaSegments;

namespace {

inline KvnResult edge(DeblockVc1Fn fn, Kvn8u* p, Kvn32u pquant, Kvn32s step, uint32_t segOff, uint32_t all) {
  KVN_CHECK_PTRS(p);
  if (pquant != 0 && segOff != all) fn(p, step, pquant, segOff);
  return KVN_STS_OK;
}

inline KvnResult edge_c2(DeblockVc1C2Fn fn, Kvn8u* p, Kvn32u pquant, Kvn32s step, Kvn32u flags0, Kvn32u flags1) {
  KVN_CHECK_PTRS(p);
  const uint32_t off0 = chroma_seg_off(flags0), off1 = chroma_seg_off(flags1);
  if (pquant != 0 && (off0 & off1) != kChromaSegments) fn(p, step, pquant, off0, off1);
  return KVN_STS_OK;
}

}  // namespace

KVN_ENTRY(kvniFilterDeblockingLuma_VerEdge_VC1_8u_C1IR)
(Kvn8u* pSrcDst, Kvn32u pquant, Kvn32s srcDstStep, Kvn32u edgeDisableFlags) {
  return edge(KVN_KERNEL(deblock_vc1, luma_ver), pSrcDst, pquant, srcDstStep, edgeDisableFlags & kLumaSegments,
              kLumaSegments);
}

KVN_ENTRY(kvniFilterDeblockingLuma_HorEdge_VC1_8u_C1IR)
(Kvn8u* pSrcDst, Kvn32u pquant, Kvn32s srcDstStep, Kvn32u edgeDisableFlags) {
  return edge(KVN_KERNEL(deblock_vc1, luma_hor), pSrcDst, pquant, srcDstStep, edgeDisableFlags & kLumaSegments,
              kLumaSegments);
}

KVN_ENTRY(kvniFilterDeblockingChroma_VerEdge_VC1_8u_C1IR)
(Kvn8u* pSrcDst, Kvn32u pquant, Kvn32s srcDstStep, Kvn32u edgeDisableFlags) {
  return edge(KVN_KERNEL(deblock_vc1, chroma_ver), pSrcDst, pquant, srcDstStep, chroma_seg_off(edgeDisableFlags),
              kChromaSegments);
}

KVN_ENTRY(kvniFilterDeblockingChroma_HorEdge_VC1_8u_C1IR)
(Kvn8u* pSrcDst, Kvn32u pquant, Kvn32s srcDstStep, Kvn32u edgeDisableFlags) {
  return edge(KVN_KERNEL(deblock_vc1, chroma_hor), pSrcDst, pquant, srcDstStep, chroma_seg_off(edgeDisableFlags),
              kChromaSegments);
}

KVN_ENTRY(kvniFilterDeblockingChroma_VerEdge_VC1_8u_C2IR)
(Kvn8u* pSrcDst, Kvn32u pquant, Kvn32s srcDstStep, Kvn32u edgeDisableFlagsCb, Kvn32u edgeDisableFlagsCr) {
  return edge_c2(KVN_KERNEL(deblock_vc1, chroma_c2_ver), pSrcDst, pquant, srcDstStep, edgeDisableFlagsCb,
                 edgeDisableFlagsCr);
}

KVN_ENTRY(kvniFilterDeblockingChroma_HorEdge_VC1_8u_C2IR)
(Kvn8u* pSrcDst, Kvn32u pquant, Kvn32s srcDstStep, Kvn32u edgeDisableFlagsCb, Kvn32u edgeDisableFlagsCr) {
  return edge_c2(KVN_KERNEL(deblock_vc1, chroma_c2_hor), pSrcDst, pquant, srcDstStep, edgeDisableFlagsCb,
                 edgeDisableFlagsCr);
}
