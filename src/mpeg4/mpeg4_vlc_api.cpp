// Entries of the MPEG-4 / H.263 / H.261 coefficient decoders. Checks in
// order: the position pointers, the byte pointer, the block (or DC output)
// and the last-index pointer (KVN_STS_NULL_PTR); the bit offset
// (KVN_STS_BIT_OFFSET_ERR); then, for the Reconstruct functions, the
// quantiser (KVN_STS_QP_ERR) and, for the MPEG-4 one, its state (null:
// KVN_STS_NULL_PTR, wrong kind: KVN_STS_CONTEXT_MISMATCH, quantiser above
// the state's maximum: KVN_STS_QP_ERR). Nothing is written before.
#include "core/entry.h"
#include "mpeg4/mpeg4_vlc.h"
#include "mpeg4/quant_mpeg4_state.h"

using namespace kvn;

#define KVN_CHECK_POSITION(pp, off, ...)                     \
  do {                                                       \
    KVN_CHECK_PTRS(pp, off);                                 \
    KVN_CHECK_PTRS(*(pp), __VA_ARGS__);                      \
    if (!in_range(*(off), 7)) return KVN_STS_BIT_OFFSET_ERR; \
  } while (0)

KVN_ENTRY(kvniDecodeCoeffsIntra_MPEG4_1u16s)
(Kvn8u** ppBitStream, Kvn32s* pBitOffset, Kvn16s* pCoeffs, Kvn32s* pIndxLastNonZero, Kvn32s rvlcFlag, Kvn32s noDCFlag,
 Kvn32s scan) {
  KVN_CHECK_POSITION(ppBitStream, pBitOffset, pCoeffs, pIndxLastNonZero);
  const Mpeg4VlcArgs a{rvlcFlag, noDCFlag, 0, 0, 0, scan, 0, nullptr};
  return KVN_KERNEL(mpeg4_vlc, intra_mpeg4)(ppBitStream, pBitOffset, pCoeffs, pIndxLastNonZero, a);
}

KVN_ENTRY(kvniDecodeCoeffsInter_MPEG4_1u16s)
(Kvn8u** ppBitStream, Kvn32s* pBitOffset, Kvn16s* pCoeffs, Kvn32s* pIndxLastNonZero, Kvn32s rvlcFlag, Kvn32s scan) {
  KVN_CHECK_POSITION(ppBitStream, pBitOffset, pCoeffs, pIndxLastNonZero);
  const Mpeg4VlcArgs a{rvlcFlag, 0, 0, 0, 0, scan, 0, nullptr};
  return KVN_KERNEL(mpeg4_vlc, inter_mpeg4)(ppBitStream, pBitOffset, pCoeffs, pIndxLastNonZero, a);
}

KVN_ENTRY(kvniDecodeCoeffsIntraRVLCBack_MPEG4_1u16s)
(Kvn8u** ppBitStream, Kvn32s* pBitOffset, Kvn16s* pCoeffs, Kvn32s* pIndxLastNonZero, Kvn32s noDCFlag) {
  KVN_CHECK_POSITION(ppBitStream, pBitOffset, pCoeffs, pIndxLastNonZero);
  const Mpeg4VlcArgs a{1, noDCFlag, 0, 0, 0, 0, 0, nullptr};
  return KVN_KERNEL(mpeg4_vlc, intra_rvlc_back)(ppBitStream, pBitOffset, pCoeffs, pIndxLastNonZero, a);
}

KVN_ENTRY(kvniDecodeCoeffsInterRVLCBack_MPEG4_1u16s)
(Kvn8u** ppBitStream, Kvn32s* pBitOffset, Kvn16s* pCoeffs, Kvn32s* pIndxLastNonZero) {
  KVN_CHECK_POSITION(ppBitStream, pBitOffset, pCoeffs, pIndxLastNonZero);
  const Mpeg4VlcArgs a{1, 0, 0, 0, 0, 0, 0, nullptr};
  return KVN_KERNEL(mpeg4_vlc, inter_rvlc_back)(ppBitStream, pBitOffset, pCoeffs, pIndxLastNonZero, a);
}

KVN_ENTRY(kvniDecodeCoeffsIntra_H263_1u16s)
(Kvn8u** ppBitStream, Kvn32s* pBitOffset, Kvn16s* pCoeffs, Kvn32s* pIndxLastNonZero, Kvn32s advIntraFlag,
 Kvn32s modQuantFlag, Kvn32s scan) {
  KVN_CHECK_POSITION(ppBitStream, pBitOffset, pCoeffs, pIndxLastNonZero);
  const Mpeg4VlcArgs a{0, 0, advIntraFlag, modQuantFlag, 0, scan, 0, nullptr};
  return KVN_KERNEL(mpeg4_vlc, intra_h263)(ppBitStream, pBitOffset, pCoeffs, pIndxLastNonZero, a);
}

KVN_ENTRY(kvniDecodeCoeffsInter_H263_1u16s)
(Kvn8u** ppBitStream, Kvn32s* pBitOffset, Kvn16s* pCoeffs, Kvn32s* pIndxLastNonZero, Kvn32s modQuantFlag, Kvn32s scan) {
  KVN_CHECK_POSITION(ppBitStream, pBitOffset, pCoeffs, pIndxLastNonZero);
  const Mpeg4VlcArgs a{0, 0, 0, modQuantFlag, 0, scan, 0, nullptr};
  return KVN_KERNEL(mpeg4_vlc, inter_h263)(ppBitStream, pBitOffset, pCoeffs, pIndxLastNonZero, a);
}

KVN_ENTRY(kvniDecodeCoeffsIntra_H261_1u16s)
(Kvn8u** ppBitStream, Kvn32s* pBitOffset, Kvn16s* pCoeffs, Kvn32s* pIndxLastNonZero, Kvn32s scan) {
  KVN_CHECK_POSITION(ppBitStream, pBitOffset, pCoeffs, pIndxLastNonZero);
  const Mpeg4VlcArgs a{0, 0, 0, 0, 0, scan, 0, nullptr};
  return KVN_KERNEL(mpeg4_vlc, intra_h261)(ppBitStream, pBitOffset, pCoeffs, pIndxLastNonZero, a);
}

KVN_ENTRY(kvniDecodeCoeffsInter_H261_1u16s)
(Kvn8u** ppBitStream, Kvn32s* pBitOffset, Kvn16s* pCoeffs, Kvn32s* pIndxLastNonZero, Kvn32s scan) {
  KVN_CHECK_POSITION(ppBitStream, pBitOffset, pCoeffs, pIndxLastNonZero);
  const Mpeg4VlcArgs a{0, 0, 0, 0, 0, scan, 0, nullptr};
  return KVN_KERNEL(mpeg4_vlc, inter_h261)(ppBitStream, pBitOffset, pCoeffs, pIndxLastNonZero, a);
}

KVN_ENTRY(kvniDecodeDCIntra_H263_1u16s)(Kvn8u** ppBitStream, Kvn32s* pBitOffset, Kvn16s* pDC) {
  KVN_CHECK_POSITION(ppBitStream, pBitOffset, pDC);
  return KVN_KERNEL(mpeg4_vlc, dc_h263)(ppBitStream, pBitOffset, pDC, 0);
}

KVN_ENTRY(kvniDecodeDCIntra_MPEG4_1u16s)(Kvn8u** ppBitStream, Kvn32s* pBitOffset, Kvn16s* pDC, Kvn32s blockType) {
  KVN_CHECK_POSITION(ppBitStream, pBitOffset, pDC);
  return KVN_KERNEL(mpeg4_vlc, dc_mpeg4)(ppBitStream, pBitOffset, pDC, blockType);
}

KVN_ENTRY(kvniReconstructCoeffsIntra_H261_1u16s)
(Kvn8u** ppBitStream, Kvn32s* pBitOffset, Kvn16s* pCoeffs, Kvn32s* pIndxLastNonZero, Kvn32s QP) {
  KVN_CHECK_POSITION(ppBitStream, pBitOffset, pCoeffs, pIndxLastNonZero);
  if (QP < 1 || QP > 31) return KVN_STS_QP_ERR;
  const Mpeg4VlcArgs a{0, 0, 0, 0, 0, 0, QP, nullptr};
  return KVN_KERNEL(mpeg4_vlc, recon_intra_h261)(ppBitStream, pBitOffset, pCoeffs, pIndxLastNonZero, a);
}

KVN_ENTRY(kvniReconstructCoeffsInter_H261_1u16s)
(Kvn8u** ppBitStream, Kvn32s* pBitOffset, Kvn16s* pCoeffs, Kvn32s* pIndxLastNonZero, Kvn32s QP) {
  KVN_CHECK_POSITION(ppBitStream, pBitOffset, pCoeffs, pIndxLastNonZero);
  if (QP < 1 || QP > 31) return KVN_STS_QP_ERR;
  const Mpeg4VlcArgs a{0, 0, 0, 0, 0, 0, QP, nullptr};
  return KVN_KERNEL(mpeg4_vlc, recon_inter_h261)(ppBitStream, pBitOffset, pCoeffs, pIndxLastNonZero, a);
}

KVN_ENTRY(kvniReconstructCoeffsIntra_H263_1u16s)
(Kvn8u** ppBitStream, Kvn32s* pBitOffset, Kvn16s* pCoeffs, Kvn32s* pIndxLastNonZero, Kvn32s cbp, Kvn32s QP,
 Kvn32s advIntraFlag, Kvn32s scan, Kvn32s modQuantFlag) {
  KVN_CHECK_POSITION(ppBitStream, pBitOffset, pCoeffs, pIndxLastNonZero);
  if (QP < 1 || QP > 31) return KVN_STS_QP_ERR;
  const Mpeg4VlcArgs a{0, 0, advIntraFlag, modQuantFlag, cbp, scan, QP, nullptr};
  return KVN_KERNEL(mpeg4_vlc, recon_intra_h263)(ppBitStream, pBitOffset, pCoeffs, pIndxLastNonZero, a);
}

KVN_ENTRY(kvniReconstructCoeffsInter_H263_1u16s)
(Kvn8u** ppBitStream, Kvn32s* pBitOffset, Kvn16s* pCoeffs, Kvn32s* pIndxLastNonZero, Kvn32s QP, Kvn32s modQuantFlag) {
  KVN_CHECK_POSITION(ppBitStream, pBitOffset, pCoeffs, pIndxLastNonZero);
  if (QP < 1 || QP > 31) return KVN_STS_QP_ERR;
  const Mpeg4VlcArgs a{0, 0, 0, modQuantFlag, 0, 0, QP, nullptr};
  return KVN_KERNEL(mpeg4_vlc, recon_inter_h263)(ppBitStream, pBitOffset, pCoeffs, pIndxLastNonZero, a);
}

// The state is checked before anything is decoded, with or without RVLC.
KVN_ENTRY(kvniReconstructCoeffsInter_MPEG4_1u16s)
(Kvn8u** ppBitStream, Kvn32s* pBitOffset, Kvn16s* pCoeffs, Kvn32s* pIndxLastNonZero, Kvn32s rvlcFlag, Kvn32s scan,
 const KvnQuantInvState_MPEG4* pQuantInvState, Kvn32s QP) {
  KVN_CHECK_POSITION(ppBitStream, pBitOffset, pCoeffs, pIndxLastNonZero);
  KVN_CHECK_PTRS(pQuantInvState);
  const auto* s = mpeg4::aligned_state<const KvnQuantInvState_MPEG4>(pQuantInvState);
  if (!mpeg4::has_tag(s->tag, mpeg4::kTagInvInter)) return KVN_STS_CONTEXT_MISMATCH;
  if (QP < 1 || QP > mpeg4::qp_max(s->bitsPerPixel)) return KVN_STS_QP_ERR;
  const Mpeg4VlcArgs a{rvlcFlag, 0, 0, 0, 0, scan, QP, s};
  return KVN_KERNEL(mpeg4_vlc, recon_inter_mpeg4)(ppBitStream, pBitOffset, pCoeffs, pIndxLastNonZero, a);
}
