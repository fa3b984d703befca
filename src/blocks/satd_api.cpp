// Entries of the Hadamard costs: null-pointer checks (the only checks), then
// one call through the kernel table, which stores the result.
#include "core/entry.h"
#include "satd.h"

using namespace kvn;

#define KVN_SATD_ENTRY(W, H)                                                                           \
  KVN_ENTRY(kvniSATD##W##x##H##_8u32s_C1R)                                                             \
  (const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep, Kvn32u* pSATD) {            \
    KVN_CHECK_PTRS(pSrc, pRef, pSATD);                                                                 \
    return satd_kernels().satd[kSatd##W##x##H](pSrc, srcStep, pRef, refStep, pSATD);                   \
  }
KVN_SATD_ENTRY(4, 4)
KVN_SATD_ENTRY(4, 8)
KVN_SATD_ENTRY(8, 4)
KVN_SATD_ENTRY(8, 8)
KVN_SATD_ENTRY(8, 16)
KVN_SATD_ENTRY(16, 8)
KVN_SATD_ENTRY(16, 16)
#undef KVN_SATD_ENTRY

KVN_ENTRY(kvniSAT8x8D_8u32s_C1R)(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep,
                                 Kvn32u* pSATD) {
  KVN_CHECK_PTRS(pSrc, pRef, pSATD);
  return satd_kernels().sat8x8d(pSrc, srcStep, pRef, refStep, pSATD);
}

KVN_ENTRY(kvniSAT8x8D_16u32s_C1R)(const Kvn16u* pSrc, int32_t srcStep, const Kvn16u* pRef, int32_t refStep,
                                  Kvn32u* pSATD) {
  KVN_CHECK_PTRS(pSrc, pRef, pSATD);
  return satd_kernels().sat8x8d_16u(pSrc, srcStep, pRef, refStep, pSATD);
}
