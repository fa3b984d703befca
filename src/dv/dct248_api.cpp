// Entries of the DV transform family: the pointer checks, then one call
// through the kernel table (dct248.h).
#include "core/entry.h"
#include "dv/dct248.h"

using namespace kvn;

KVN_ENTRY(kvniDCT2x4x8Inv_16s_C1I)(Kvn16s* pSrcDst) {
  KVN_CHECK_PTRS(pSrcDst);
  KVN_KERNEL(dct248, inv)(pSrcDst);
  return KVN_STS_OK;
}

KVN_ENTRY(kvniDCT2x4x8Frw_16s_C1I)(Kvn16s* pSrcDst) {
  KVN_CHECK_PTRS(pSrcDst);
  KVN_KERNEL(dct248, fwd)(pSrcDst);
  return KVN_STS_OK;
}

KVN_ENTRY(kvniQuantWeightBlockInv_DV100_16s_C1I)
(Kvn16s* pSrcDst, const Kvn16u* pDeqTable, const Kvn16s* pWeightInvTable) {
  KVN_CHECK_PTRS(pSrcDst, pDeqTable, pWeightInvTable);
  KVN_KERNEL(dct248, dv100_weight)(pSrcDst, pDeqTable, pWeightInvTable);
  return KVN_STS_OK;
}
