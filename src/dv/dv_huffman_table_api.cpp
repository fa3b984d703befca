// Entry of the DV Huffman table builder (its release is the shared body of
// kvniHuffmanTableFree_32s).
#include "core/entry.h"
#include "dv/dv_huffman_table.h"

using namespace kvn;

KVN_ENTRY(kvniInitAllocHuffmanTable_DV_32u)
(const Kvn32s* pSrcTable1, const Kvn32s* pSrcTable2, KvnHuffmanTable** ppHuffTable) {
  KVN_CHECK_PTRS(pSrcTable1, pSrcTable2, ppHuffTable);
  return build_dv_huffman_table(pSrcTable1, pSrcTable2, ppHuffTable);
}
