// Entries of the VC-1 quantisers: pointer checks, then the double quantiser
// of the forward quantisers (2..62, KVN_STS_OUT_OF_RANGE), then an inter
// region (each side 4 or 8, KVN_STS_SIZE_ERR), then one kernel. The inverse
// quantisers take any double quantiser (the arithmetic is modulo 2^16) and
// write the nonzero region through their last argument.
#include "core/entry.h"
#include "vc1/quant_vc1.h"

using namespace kvn;

namespace {

inline bool bad_q(int32_t q) { return q < 2 || q > 62; }
inline bool bad_region(KvnSize r) { return (r.width != 4 && r.width != 8) || (r.height != 4 && r.height != 8); }

}  // namespace

#define KVN_VC1_QUANT(mode, intraName, interName)                                                        \
  KVN_ENTRY(intraName)(Kvn16s * pSrcDst, int32_t srcDstStep, int32_t doubleQuant) {                      \
    KVN_CHECK_PTRS(pSrcDst);                                                                             \
    if (bad_q(doubleQuant)) return KVN_STS_OUT_OF_RANGE;                                                 \
    KVN_KERNEL(quant_vc1, intra[mode])(pSrcDst, srcDstStep, doubleQuant);                                \
    return KVN_STS_OK;                                                                                   \
  }                                                                                                      \
  KVN_ENTRY(interName)(Kvn16s * pSrcDst, int32_t srcDstStep, int32_t doubleQuant, KvnSize roiSize) {     \
    KVN_CHECK_PTRS(pSrcDst);                                                                             \
    if (bad_q(doubleQuant)) return KVN_STS_OUT_OF_RANGE;                                                 \
    if (bad_region(roiSize)) return KVN_STS_SIZE_ERR;                                                    \
    KVN_KERNEL(quant_vc1, inter[mode])(pSrcDst, srcDstStep, doubleQuant, roiSize.width, roiSize.height); \
    return KVN_STS_OK;                                                                                   \
  }

#define KVN_VC1_QUANT_INV(mode, intraI, intraR, interI, interR)                                                    \
  KVN_ENTRY(intraI)(Kvn16s * pSrcDst, int32_t srcDstStep, int32_t doubleQuant, KvnSize * pDstSizeNZ) {             \
    KVN_CHECK_PTRS(pSrcDst, pDstSizeNZ);                                                                           \
    *pDstSizeNZ = KVN_KERNEL(quant_vc1, inv_intra[mode])(pSrcDst, srcDstStep, pSrcDst, srcDstStep, doubleQuant);   \
    return KVN_STS_OK;                                                                                             \
  }                                                                                                                \
  KVN_ENTRY(intraR)                                                                                                \
  (const Kvn16s* pSrc, int32_t srcStep, Kvn16s* pDst, int32_t dstStep, int32_t doubleQuant, KvnSize* pDstSizeNZ) { \
    KVN_CHECK_PTRS(pSrc, pDst, pDstSizeNZ);                                                                        \
    *pDstSizeNZ = KVN_KERNEL(quant_vc1, inv_intra[mode])(pSrc, srcStep, pDst, dstStep, doubleQuant);               \
    return KVN_STS_OK;                                                                                             \
  }                                                                                                                \
  KVN_ENTRY(interI)                                                                                                \
  (Kvn16s * pSrcDst, int32_t srcDstStep, int32_t doubleQuant, KvnSize roiSize, KvnSize * pDstSizeNZ) {             \
    KVN_CHECK_PTRS(pSrcDst, pDstSizeNZ);                                                                           \
    if (bad_region(roiSize)) return KVN_STS_SIZE_ERR;                                                              \
    *pDstSizeNZ = KVN_KERNEL(quant_vc1, inv_inter[mode])(pSrcDst, srcDstStep, pSrcDst, srcDstStep, doubleQuant,    \
                                                         roiSize.width, roiSize.height);                           \
    return KVN_STS_OK;                                                                                             \
  }                                                                                                                \
  KVN_ENTRY(interR)                                                                                                \
  (const Kvn16s* pSrc, int32_t srcStep, Kvn16s* pDst, int32_t dstStep, int32_t doubleQuant, KvnSize roiSize,       \
   KvnSize* pDstSizeNZ) {                                                                                          \
    KVN_CHECK_PTRS(pSrc, pDst, pDstSizeNZ);                                                                        \
    if (bad_region(roiSize)) return KVN_STS_SIZE_ERR;                                                              \
    *pDstSizeNZ = KVN_KERNEL(quant_vc1, inv_inter[mode])(pSrc, srcStep, pDst, dstStep, doubleQuant, roiSize.width, \
                                                         roiSize.height);                                          \
    return KVN_STS_OK;                                                                                             \
  }

// kvniQuantIntraUniform_VC1_16s_C1IR, kvniQuantInterUniform_VC1_16s_C1IR, ...
KVN_VC1_QUANT(kVc1Uniform, kvniQuantIntraUniform_VC1_16s_C1IR, kvniQuantInterUniform_VC1_16s_C1IR)
KVN_VC1_QUANT(kVc1Nonuniform, kvniQuantIntraNonuniform_VC1_16s_C1IR, kvniQuantInterNonuniform_VC1_16s_C1IR)
// kvniQuantInvIntraUniform_VC1_16s_C1IR, kvniQuantInvIntraUniform_VC1_16s_C1R, ...
KVN_VC1_QUANT_INV(kVc1Uniform, kvniQuantInvIntraUniform_VC1_16s_C1IR, kvniQuantInvIntraUniform_VC1_16s_C1R,
                  kvniQuantInvInterUniform_VC1_16s_C1IR, kvniQuantInvInterUniform_VC1_16s_C1R)
KVN_VC1_QUANT_INV(kVc1Nonuniform, kvniQuantInvIntraNonuniform_VC1_16s_C1IR, kvniQuantInvIntraNonuniform_VC1_16s_C1R,
                  kvniQuantInvInterNonuniform_VC1_16s_C1IR, kvniQuantInvInterNonuniform_VC1_16s_C1R)
