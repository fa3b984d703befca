// Entries of the MPEG-2 quantisers: pointer checks (the weights are optional
// except for the intra inverse quantiser), then a forward quantiser's scale of
// 0 (KVN_STS_DIV_BY_ZERO), then one call through the kernel table.
#include "core/entry.h"
#include "mpeg2/quant_mpeg2.h"

using namespace kvn;

KVN_ENTRY(kvniQuant_MPEG2_16s_C1I)
(Kvn16s* pSrcDst, int32_t quantScale, const float* pQuantMatrix, int32_t* pCount) {
  KVN_CHECK_PTRS(pSrcDst, pCount);
  if (quantScale == 0) return KVN_STS_DIV_BY_ZERO;
  if (pQuantMatrix)
    *pCount = KVN_KERNEL(quant_mpeg2, quant_float)(pSrcDst, 16.0f / float(quantScale), pQuantMatrix);
  else if (quantScale > 0)
    *pCount = KVN_KERNEL(quant_mpeg2, quant_recip)(pSrcDst, quant_mpeg2::reciprocal(quantScale));
  else
    *pCount = KVN_KERNEL(quant_mpeg2, count)(pSrcDst);
  return KVN_STS_OK;
}

KVN_ENTRY(kvniQuantIntra_MPEG2_16s_C1I)
(Kvn16s* pSrcDst, int32_t quantScale, const float* pQuantMatrix, int32_t* pCount) {
  KVN_CHECK_PTRS(pSrcDst, pCount);
  if (quantScale == 0) return KVN_STS_DIV_BY_ZERO;
  *pCount = KVN_KERNEL(quant_mpeg2, quant_float_intra)(pSrcDst, 16.0f / float(quantScale),
                                                       pQuantMatrix ? pQuantMatrix : quant_mpeg2::kDefaultIntraRecip);
  return KVN_STS_OK;
}

KVN_ENTRY(kvniQuantInv_MPEG2_16s_C1I)(Kvn16s* pSrcDst, int32_t quantScale, const Kvn16u* pQuantMatrix) {
  KVN_CHECK_PTRS(pSrcDst);
  KVN_KERNEL(quant_mpeg2, inv)(pSrcDst, quantScale, pQuantMatrix ? pQuantMatrix : quant_mpeg2::kFlatWeights);
  return KVN_STS_OK;
}

KVN_ENTRY(kvniQuantInvIntra_MPEG2_16s_C1I)(Kvn16s* pSrcDst, int32_t quantScale, const Kvn16u* pQuantMatrix) {
  KVN_CHECK_PTRS(pSrcDst, pQuantMatrix);
  KVN_KERNEL(quant_mpeg2, inv_intra)(pSrcDst, quantScale, pQuantMatrix);
  return KVN_STS_OK;
}
