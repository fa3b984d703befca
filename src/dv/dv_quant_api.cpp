// Entries of the DV dequantisers: pointer checks, then the kernel.
#include "core/entry.h"
#include "dv/dv_quant.h"

using namespace kvn;

KVN_ENTRY(kvniQuantInv_DV_16s_C1I)(Kvn16s* pSrcDst, const Kvn16s* pDequantTable) {
  KVN_CHECK_PTRS(pSrcDst, pDequantTable);
  KVN_KERNEL(dv_quant, inv)(pSrcDst, pDequantTable);
  return KVN_STS_OK;
}

KVN_ENTRY(kvniQuantWeightBlockInv_DV_16s_C1I)
(Kvn16s* pSrcDst, const Kvn16u* pDequantTable, const Kvn16s* pWeightInvTable) {
  KVN_CHECK_PTRS(pSrcDst, pDequantTable, pWeightInvTable);
  KVN_KERNEL(dv_quant, weight_inv)(pSrcDst, pDequantTable, pWeightInvTable);
  return KVN_STS_OK;
}
