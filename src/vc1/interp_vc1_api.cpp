// Entries of the VC-1 quarter-sample interpolation and the range map.
//
// Interpolation: the record, its source and its destination pointer must be
// non-null (KVN_STS_NULL_PTR); then the block size must be one the function
// has a kernel for (KVN_STS_SIZE_ERR, nothing written): bicubic 8x8, 16x8,
// 16x16; bilinear one channel 16x16, 8x8, 8x4, 4x4; bilinear two channels
// 8x8, 8x4, 4x4. A block of another size is refused rather than served as
// one of these, which would write outside the caller's block or leave part
// of it unwritten. The fractions are used modulo 4 (dx & 3, dy & 3); the
// steps are not checked (the caller addresses its reference picture).
#include "core/entry.h"
#include "vc1/interp_vc1.h"

using namespace kvn;

namespace {

inline KvnResult check(const KvnInterpolationRecordVC1* p) {
  if (p == nullptr) return KVN_STS_NULL_PTR;
  KVN_CHECK_PTRS(p->pSrc, p->pDst);
  return KVN_STS_OK;
}

// Runs kernel(s, k), the kernel of size index `size` (0..Sizes-1, or -1 for a
// size without one: KVN_STS_SIZE_ERR) and of the record's fractional kind.
template <int Sizes, class Kernel>
inline KvnResult interpolate(const KvnInterpolationRecordVC1& p, int size, Kernel kernel) {
  if (size < 0) return KVN_STS_SIZE_ERR;
  const int dx = p.dx & 3, dy = p.dy & 3;
  with_index<Sizes>(size, [&](auto s) {
    with_index<kVc1Kinds>(vc1_kind(dx, dy), [&](auto k) {
      kernel(s, k)(p.pSrc, p.srcStep, p.pDst, p.dstStep, dx, dy, p.roundControl & 1);
    });
  });
  return KVN_STS_OK;
}

}  // namespace

KVN_ENTRY(kvniInterpolateQPBicubic_VC1_8u_C1R)(const KvnInterpolationRecordVC1* pParams) {
  if (const KvnResult st = check(pParams)) return st;
  return interpolate<kVc1BicubicSizes>(*pParams, bicubic_size_index(pParams->blockWidth, pParams->blockHeight),
                                       [](auto s, auto k) { return KVN_KERNEL(interp_vc1, bicubic[s][k]); });
}

KVN_ENTRY(kvniInterpolateQPBilinear_VC1_8u_C1R)(const KvnInterpolationRecordVC1* pParams) {
  if (const KvnResult st = check(pParams)) return st;
  return interpolate<kVc1BilinearC1Sizes>(*pParams, bilinear_size_index(pParams->blockWidth, pParams->blockHeight),
                                          [](auto s, auto k) { return KVN_KERNEL(interp_vc1, bilinear_c1[s][k]); });
}

KVN_ENTRY(kvniInterpolateQPBilinear_VC1_8u_C2R)(const KvnInterpolationRecordVC1* pParams) {
  if (const KvnResult st = check(pParams)) return st;
  const int size = bilinear_size_index(pParams->blockWidth, pParams->blockHeight) - 1;  // no 16x16
  return interpolate<kVc1BilinearC2Sizes>(*pParams, size < 0 ? -1 : size,
                                          [](auto s, auto k) { return KVN_KERNEL(interp_vc1, bilinear_c2[s][k]); });
}

KVN_ENTRY(kvniRangeMapping_VC1_8u_C1R)
(const Kvn8u* pSrc, int32_t srcStep, Kvn8u* pDst, int32_t dstStep, KvnSize roiSize, Kvn32u rangeMapParam) {
  KVN_CHECK_PTRS(pSrc, pDst);
  if (rangeMapParam > 7) return KVN_STS_OUT_OF_RANGE;
  if (roiSize.width < 1 || roiSize.height < 1) return KVN_STS_OK;
  KVN_KERNEL(interp_vc1, range_map)(pSrc, srcStep, pDst, dstStep, roiSize.width, roiSize.height, int(rangeMapParam));
  return KVN_STS_OK;
}
