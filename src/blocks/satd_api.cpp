// Entries of the Hadamard costs: null-pointer checks (the only checks), then
// one call through the kernel table, which stores the result.
#include "core/entry.h"
#include "satd.h"

using namespace kvn;

namespace {

inline KvnResult satd(SatdSize size, const Kvn8u* src, int32_t ss, const Kvn8u* ref, int32_t rs, Kvn32u* cost) {
  KVN_CHECK_PTRS(src, ref, cost);
  return KVN_KERNEL(satd, satd[size])(src, ss, ref, rs, cost);
}

}  // namespace

KVN_ENTRY(kvniSATD4x4_8u32s_C1R)
(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep, Kvn32u* pSATD) {
  return satd(kSatd4x4, pSrc, srcStep, pRef, refStep, pSATD);
}

KVN_ENTRY(kvniSATD4x8_8u32s_C1R)
(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep, Kvn32u* pSATD) {
  return satd(kSatd4x8, pSrc, srcStep, pRef, refStep, pSATD);
}

KVN_ENTRY(kvniSATD8x4_8u32s_C1R)
(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep, Kvn32u* pSATD) {
  return satd(kSatd8x4, pSrc, srcStep, pRef, refStep, pSATD);
}

KVN_ENTRY(kvniSATD8x8_8u32s_C1R)
(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep, Kvn32u* pSATD) {
  return satd(kSatd8x8, pSrc, srcStep, pRef, refStep, pSATD);
}

KVN_ENTRY(kvniSATD8x16_8u32s_C1R)
(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep, Kvn32u* pSATD) {
  return satd(kSatd8x16, pSrc, srcStep, pRef, refStep, pSATD);
}

KVN_ENTRY(kvniSATD16x8_8u32s_C1R)
(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep, Kvn32u* pSATD) {
  return satd(kSatd16x8, pSrc, srcStep, pRef, refStep, pSATD);
}

KVN_ENTRY(kvniSATD16x16_8u32s_C1R)
(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep, Kvn32u* pSATD) {
  return satd(kSatd16x16, pSrc, srcStep, pRef, refStep, pSATD);
}

KVN_ENTRY(kvniSAT8x8D_8u32s_C1R)
(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep, Kvn32u* pSATD) {
  KVN_CHECK_PTRS(pSrc, pRef, pSATD);
  return KVN_KERNEL(satd, sat8x8d)(pSrc, srcStep, pRef, refStep, pSATD);
}

KVN_ENTRY(kvniSAT8x8D_16u32s_C1R)
(const Kvn16u* pSrc, int32_t srcStep, const Kvn16u* pRef, int32_t refStep, Kvn32u* pSATD) {
  KVN_CHECK_PTRS(pSrc, pRef, pSATD);
  return KVN_KERNEL(satd, sat8x8d_16u)(pSrc, srcStep, pRef, refStep, pSATD);
}
