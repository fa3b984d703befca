// Entry of the edge-directed deinterlacing: pointers, then the size, then the
// rows, each interpolated by the row kernel or copied (the border row).
// A field position other than 0 is taken as 1. Rows are addressed in 64 bits.
#include <cstddef>
#include <cstring>

#include "core/entry.h"
#include "vpp/deinterlace.h"

using namespace kvn;

KVN_ENTRY(kvniDeinterlaceEdgeDetect_8u_C1R)
(const Kvn8u* pSrc, int32_t srcStep, Kvn8u* pDst, int32_t dstStep, KvnSize size, int32_t fieldNum,
 int32_t bCopyBorder) {
  KVN_CHECK_PTRS(pSrc, pDst);
  if (size.width < 1 || size.height < 1) return KVN_STS_SIZE_ERR;
  const ptrdiff_t ss = srcStep, ds = dstStep;
  const int h = size.height, w = size.width;
  // Missing row k lies between source rows k - 1 + lower and k + lower.
  const int lower = fieldNum != 0;
  const int copied = bCopyBorder == 0 ? -1 : lower ? h - 1 : 0;
  for (int k = 0; k < h; ++k) {
    const Kvn8u* same = pSrc + k * ss;
    Kvn8u* d = pDst + k * ds;
    if (k == copied) {
      std::memmove(d, same, size_t(w));
      continue;
    }
    const Kvn8u* below = pSrc + (k + lower) * ss;
    KVN_KERNEL(deinterlace, edge_row)(below - ss, below, same, d, w);
  }
  return KVN_STS_OK;
}
