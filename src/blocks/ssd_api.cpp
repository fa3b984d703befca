// Entries of the squared-error costs: null-pointer checks (the only checks),
// then one call through the kernel table, which stores the result.
#include "core/entry.h"
#include "ssd.h"

using namespace kvn;

KVN_ENTRY(kvniSSD4x4_8u32s_C1R)
(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep, Kvn32u* pSSD, int32_t mode) {
  KVN_CHECK_PTRS(pSrc, pRef, pSSD);
  return with_index<4>(ssd_index(mode),
                       [&](auto i) { return KVN_KERNEL(ssd, ssd[kSsd4x4][i])(pSrc, srcStep, pRef, refStep, pSSD); });
}

KVN_ENTRY(kvniSSD8x8_8u32s_C1R)
(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep, Kvn32u* pSSD, int32_t mode) {
  KVN_CHECK_PTRS(pSrc, pRef, pSSD);
  return with_index<4>(ssd_index(mode),
                       [&](auto i) { return KVN_KERNEL(ssd, ssd[kSsd8x8][i])(pSrc, srcStep, pRef, refStep, pSSD); });
}

KVN_ENTRY(kvniSqrDiff16x16_8u32s)
(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep, int32_t mode, Kvn32u* pSSD) {
  KVN_CHECK_PTRS(pSrc, pRef, pSSD);
  return with_index<4>(ssd_index(mode),
                       [&](auto i) { return KVN_KERNEL(ssd, ssd[kSsd16x16][i])(pSrc, srcStep, pRef, refStep, pSSD); });
}

KVN_ENTRY(kvniSqrDiff16x16B_8u32s)
(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRefF, int32_t refFStep, int32_t modeF, const Kvn8u* pRefB,
 int32_t refBStep, int32_t modeB, Kvn32u* pSSD) {
  KVN_CHECK_PTRS(pSrc, pRefF, pRefB, pSSD);
  return KVN_KERNEL(ssd, ssd_b16x16[ssd_b_index(modeF, modeB)])(pSrc, srcStep, pRefF, refFStep, pRefB, refBStep, pSSD);
}
