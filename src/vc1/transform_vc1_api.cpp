// Entries of the VC-1 transforms: pointer checks only (any step is accepted),
// then one kernel. The inverse transforms take the region of possibly nonzero
// coefficients with each side limited to 1 .. the block's side (the DC always
// counts) and run the DC kernel when that is 1 x 1, the quarter kernel when it
// lies within the top-left quarter.
#include "core/entry.h"
#include "vc1/transform_vc1.h"

using namespace kvn;

namespace {

inline int32_t side(int32_t v, int32_t max) { return v < 1 ? 1 : v > max ? max : v; }

// The inverse transform's path: DC alone, the top-left quarter, or the
// whole region.
template <int Shape>
inline void inverse(const int16_t* src, int32_t srcStep, int16_t* dst, int32_t dstStep, KvnSize region) {
  constexpr int32_t kW = vc1_width(Shape), kH = vc1_height(Shape);
  const int32_t w = side(region.width, kW), h = side(region.height, kH);
  if (w == 1 && h == 1)
    KVN_KERNEL(transform_vc1, inv_dc[Shape])(src, dst, dstStep);
  else if (2 * w <= kW && 2 * h <= kH)
    KVN_KERNEL(transform_vc1, inv_quarter[Shape])(src, srcStep, dst, dstStep, w, h);
  else
    KVN_KERNEL(transform_vc1, inv[Shape])(src, srcStep, dst, dstStep, w, h);
}

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
    inverse<shape>(pSrc, srcStep, pDst, dstStep, region);                                               \
    return KVN_STS_OK;                                                                                  \
  }                                                                                                     \
  KVN_ENTRY(nameI)(Kvn16s * pSrcDst, int32_t srcDstStep, KvnSize region) {                              \
    KVN_CHECK_PTRS(pSrcDst);                                                                            \
    inverse<shape>(pSrcDst, srcDstStep, pSrcDst, srcDstStep, region);                                   \
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
