// Entries of the MPEG-1/2 DCT family: pointer checks, then the row step
// (KVN_STS_STEP_ERR below 1), then one call through the kernel table, the
// path chosen from the caller's coefficient counts (dct_mpeg2.h).
#include "core/entry.h"
#include "mpeg2/dct_mpeg2.h"

using namespace kvn;

namespace {

// Above 9: full; 1..9: 4x4 corner; 0: DC; negative: DC for byte output, zero
// for 16-bit output.
inline int aan_path8u(int32_t count) { return count > 9 ? kAanFull : count > 0 ? kAanCorner : kAanDc; }
inline int aan_path16s(int32_t count) {
  return count > 9 ? kAanFull : count > 0 ? kAanCorner : count == 0 ? kAanDc : kAanZero;
}

}  // namespace

KVN_ENTRY(kvniDCT8x8Inv_AANTransposed_16s8u_C1R)(const Kvn16s* pSrc, Kvn8u* pDst, int32_t dstStep, int32_t count) {
  KVN_CHECK_PTRS(pSrc, pDst);
  if (dstStep < 1) return KVN_STS_STEP_ERR;
  with_index<kAanPaths8u>(aan_path8u(count), [&](auto p) { KVN_KERNEL(dct_mpeg2, inv8u[p])(pSrc, pDst, dstStep); });
  return KVN_STS_OK;
}

KVN_ENTRY(kvniDCT8x8Inv_AANTransposed_16s_C1R)(const Kvn16s* pSrc, Kvn16s* pDst, int32_t dstStep, int32_t count) {
  KVN_CHECK_PTRS(pSrc, pDst);
  if (dstStep < 1) return KVN_STS_STEP_ERR;
  with_index<kAanPaths16s>(aan_path16s(count), [&](auto p) { KVN_KERNEL(dct_mpeg2, inv16s[p])(pSrc, pDst, dstStep); });
  return KVN_STS_OK;
}

KVN_ENTRY(kvniDCT8x8Inv_AANTransposed_16s8u_P2C2R)
(const Kvn16s* pSrcU, const Kvn16s* pSrcV, Kvn8u* pDstUV, int32_t dstStep, int32_t countU, int32_t countV) {
  KVN_CHECK_PTRS(pSrcU, pSrcV, pDstUV);
  if (dstStep < 1) return KVN_STS_STEP_ERR;
  with_index<kAanPaths8u * kAanPaths8u>(aan_path8u(countU) * kAanPaths8u + aan_path8u(countV), [&](auto p) {
    KVN_KERNEL(dct_mpeg2, inv8u_p2[p])(pSrcU, pSrcV, pDstUV, dstStep);
  });
  return KVN_STS_OK;
}

KVN_ENTRY(kvniDCT8x8Inv_AANTransposed_16s_P2C2R)
(const Kvn16s* pSrcU, const Kvn16s* pSrcV, Kvn16s* pDstUV, int32_t dstStep, int32_t countU, int32_t countV) {
  KVN_CHECK_PTRS(pSrcU, pSrcV, pDstUV);
  if (dstStep < 1) return KVN_STS_STEP_ERR;
  with_index<kAanPaths16s * kAanPaths16s>(aan_path16s(countU) * kAanPaths16s + aan_path16s(countV), [&](auto p) {
    KVN_KERNEL(dct_mpeg2, inv16s_p2[p])(pSrcU, pSrcV, pDstUV, dstStep);
  });
  return KVN_STS_OK;
}

KVN_ENTRY(kvniDCT8x8InvOrSet_16s8u_P2C2)
(const Kvn16s* pSrcU, const Kvn16s* pSrcV, Kvn8u* pDstUV, int32_t dstStep, int32_t flags) {
  KVN_CHECK_PTRS(pSrcU, pSrcV, pDstUV);
  if (dstStep < 1) return KVN_STS_STEP_ERR;
  with_index<4>(flags & 3, [&](auto f) { KVN_KERNEL(dct_mpeg2, or_set[f])(pSrcU, pSrcV, pDstUV, dstStep); });
  return KVN_STS_OK;
}

KVN_ENTRY(kvniDCT8x8Fwd_8u16s_C2P2)(const Kvn8u* pSrcUV, int32_t srcStep, Kvn16s* pDstU, Kvn16s* pDstV) {
  KVN_CHECK_PTRS(pSrcUV, pDstU, pDstV);
  if (srcStep < 1) return KVN_STS_STEP_ERR;
  KVN_KERNEL(dct_mpeg2, fwd_c2p2)(pSrcUV, srcStep, pDstU, pDstV);
  return KVN_STS_OK;
}
