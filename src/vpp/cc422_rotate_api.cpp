// Entries of the 4:2:2 to 4:2:0 conversion with rotation: pointers (the
// records, every plane pointer and the step arrays), then the size (at least
// 2 x 2), then the rotation code (0..3, else KVN_STS_BAD_ARG with nothing
// written: a call that converts nothing must not report a converted
// picture); then the even part of the region is converted, and an odd width
// or height is reported with KVN_STS_WRN_ODD_SIZE.
#include "core/entry.h"
#include "vpp/cc422_rotate.h"

using namespace kvn;

namespace {

inline KvnResult check_size(KvnSize s, int32_t rotation) {
  if (s.width < 2 || s.height < 2) return KVN_STS_SIZE_ERR;
  if (!in_range(rotation, 3)) return KVN_STS_BAD_ARG;
  return KVN_STS_OK;
}

inline Cc422Dst dst_of(const KvnPlaneRecord8u& p, const Kvn32u* step) {
  return {{p.pY, p.pCb, p.pCr}, {ptrdiff_t(step[0]), ptrdiff_t(step[1]), ptrdiff_t(step[2])}};
}

inline KvnResult odd(KvnSize s) { return (s.width | s.height) & 1 ? KVN_STS_WRN_ODD_SIZE : KVN_STS_OK; }

}  // namespace

KVN_ENTRY(kvniCbYCr422ToYCbCr420_Rotate_8u_C2P3R)
(const Kvn8u* pSrc, int32_t srcStep, KvnSize srcSize, const KvnPlaneRecord8u* pDst, const Kvn32u dstStep[3],
 int32_t rotation) {
  KVN_CHECK_PTRS(pSrc, pDst, dstStep);
  KVN_CHECK_PTRS(pDst->pY, pDst->pCb, pDst->pCr);
  if (const KvnResult st = check_size(srcSize, rotation)) return st;
  const Cc422Src s = {{pSrc, nullptr, nullptr}, {srcStep, 0, 0}};
  const Cc422Dst d = dst_of(*pDst, dstStep);
  with_index<kCc422Rotations>(rotation, [&](auto rot) {
    KVN_KERNEL(cc422_rotate, c2p3[rot])(s, srcSize.width & ~1, srcSize.height & ~1, d);
  });
  return odd(srcSize);
}

KVN_ENTRY(kvniCbYCr422ToYCbCr420_Rotate_8u_P3R)
(const KvnPlaneRecord8u* pSrc, const Kvn32u srcStep[3], KvnSize srcSize, const KvnPlaneRecord8u* pDst,
 const Kvn32u dstStep[3], int32_t rotation) {
  KVN_CHECK_PTRS(pSrc, srcStep, pDst, dstStep);
  KVN_CHECK_PTRS(pSrc->pY, pSrc->pCb, pSrc->pCr, pDst->pY, pDst->pCb, pDst->pCr);
  if (const KvnResult st = check_size(srcSize, rotation)) return st;
  const Cc422Dst sd = dst_of(*pSrc, srcStep);
  const Cc422Src s = {{sd.p[0], sd.p[1], sd.p[2]}, {sd.step[0], sd.step[1], sd.step[2]}};
  const Cc422Dst d = dst_of(*pDst, dstStep);
  with_index<kCc422Rotations>(rotation, [&](auto rot) {
    KVN_KERNEL(cc422_rotate, p3[rot])(s, srcSize.width & ~1, srcSize.height & ~1, d);
  });
  return odd(srcSize);
}
