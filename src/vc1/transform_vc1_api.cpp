// Entries of the VC-1 transforms: pointer checks only (any step is accepted),
// then one kernel. The inverse transforms take the region of possibly nonzero
// coefficients with each side limited to 1 .. the block's side (the DC always
// counts) and run the DC kernel when that is 1 x 1.
#include "core/entry.h"
#include "vc1/transform_vc1.h"

using namespace kvn;

namespace {

inline int32_t side(int32_t v, int32_t max) { return v < 1 ? 1 : v > max ? max : v; }

}  // namespace

#define KVN_VC1_FWD(shape, name, nameI)                                                 \
  KVN_ENTRY(name)(const Kvn16s* pSrc, int32_t srcStep, Kvn16s* pDst, int32_t dstStep) { \
    KVN_CHECK_PTRS(pSrc, pDst);                                                         \
    KVN_KERNEL(transform_vc1, fwd[shape])(pSrc, srcStep, pDst, dstStep);                \
    return KVN_STS_OK;                                                                  \
  }                                                                                     \
  KVN_ENTRY(nameI)(Kvn16s * pSrcDst, int32_t srcDstStep) {                              \
    KVN_CHECK_PTRS(pSrcDst);                                                            \
    KVN_KERNEL(transform_vc1, fwd[shape])(pSrcDst, srcDstStep, pSrcDst, srcDstStep);    \
    return KVN_STS_OK;                                                                  \
  }

#define KVN_VC1_INV(shape, name, nameI)                                                                 \
  KVN_ENTRY(name)(const Kvn16s* pSrc, int32_t srcStep, Kvn16s* pDst, int32_t dstStep, KvnSize region) { \
    KVN_CHECK_PTRS(pSrc, pDst);                                                                         \
    const int32_t w = side(region.width, vc1_width(shape)), h = side(region.height, vc1_height(shape)); \
    if (w == 1 && h == 1)                                                                               \
      KVN_KERNEL(transform_vc1, inv_dc[shape])(pSrc, pDst, dstStep);                                    \
    else                                                                                                \
      KVN_KERNEL(transform_vc1, inv[shape])(pSrc, srcStep, pDst, dstStep, w, h);                        \
    return KVN_STS_OK;                                                                                  \
  }                                                                                                     \
  KVN_ENTRY(nameI)(Kvn16s * pSrcDst, int32_t srcDstStep, KvnSize region) {                              \
    KVN_CHECK_PTRS(pSrcDst);                                                                            \
    const int32_t w = side(region.width, vc1_width(shape)), h = side(region.height, vc1_height(shape)); \
    if (w == 1 && h == 1)                                                                               \
      KVN_KERNEL(transform_vc1, inv_dc[shape])(pSrcDst, pSrcDst, srcDstStep);                           \
    else                                                                                                \
      KVN_KERNEL(transform_vc1, inv[shape])(pSrcDst, srcDstStep, pSrcDst, srcDstStep, w, h);            \
    return KVN_STS_OK;                                                                                  \
  }

// Full exported names (kvniTransform4x4Fwd_VC1_16s_C1R ... kvniTransform8x8Inv_VC1_16s_C1IR).
KVN_VC1_FWD(kVc1_4x4, kvniTransform4x4Fwd_VC1_16s_C1R, kvniTransform4x4Fwd_VC1_16s_C1IR)
KVN_VC1_FWD(kVc1_4x8, kvniTransform4x8Fwd_VC1_16s_C1R, kvniTransform4x8Fwd_VC1_16s_C1IR)
KVN_VC1_FWD(kVc1_8x4, kvniTransform8x4Fwd_VC1_16s_C1R, kvniTransform8x4Fwd_VC1_16s_C1IR)
KVN_VC1_FWD(kVc1_8x8, kvniTransform8x8Fwd_VC1_16s_C1R, kvniTransform8x8Fwd_VC1_16s_C1IR)
KVN_VC1_INV(kVc1_4x4, kvniTransform4x4Inv_VC1_16s_C1R, kvniTransform4x4Inv_VC1_16s_C1IR)
KVN_VC1_INV(kVc1_4x8, kvniTransform4x8Inv_VC1_16s_C1R, kvniTransform4x8Inv_VC1_16s_C1IR)
KVN_VC1_INV(kVc1_8x4, kvniTransform8x4Inv_VC1_16s_C1R, kvniTransform8x4Inv_VC1_16s_C1IR)
KVN_VC1_INV(kVc1_8x8, kvniTransform8x8Inv_VC1_16s_C1R, kvniTransform8x8Inv_VC1_16s_C1IR)
