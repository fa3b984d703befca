// Entries of the DV segment decoders: the segment, output and parameter
// pointers are checked (KVN_STS_NULL_PTR); the scan and Huffman table
// arguments are accepted and not read (the decoders use the built-in code
// and scans). Bitstream errors are not statuses: the parameter words tell
// how far each block got.
#include "core/entry.h"
#include "dv/dv_segment.h"

using namespace kvn;

KVN_ENTRY(kvniHuffmanDecodeSegment_DV_8u16s)
(const Kvn8u* pStream, const Kvn32u* pScanTables, const KvnHuffmanTable* pHuffTable, Kvn16s* pBlocks,
 Kvn32u* pBlockParams) {
  (void)pScanTables, (void)pHuffTable;
  KVN_CHECK_PTRS(pStream, pBlocks, pBlockParams);
  KVN_KERNEL(dv_segment, dv)(pStream, pBlocks, pBlockParams, 64);
  return KVN_STS_OK;
}

KVN_ENTRY(kvniHuffmanDecodeSegmentOnePass_DV_8u16s)
(const Kvn8u* pStream, const Kvn32u* pScanTables, const KvnHuffmanTable* pHuffTable, Kvn16s* pBlocks,
 Kvn32u* pBlockParams, Kvn8u nLimit) {
  (void)pScanTables, (void)pHuffTable;
  KVN_CHECK_PTRS(pStream, pBlocks, pBlockParams);
  KVN_KERNEL(dv_segment, dv_one_pass)(pStream, pBlocks, pBlockParams, nLimit < 64 ? nLimit : 64);
  return KVN_STS_OK;
}

KVN_ENTRY(kvniHuffmanDecodeSegment_DV100_8u16s)
(const Kvn8u* pStream, const Kvn32u* pScanTables, const KvnHuffmanTable* pHuffTable, Kvn16s* pBlocks,
 Kvn32u* pBlockParams) {
  (void)pScanTables, (void)pHuffTable;
  KVN_CHECK_PTRS(pStream, pBlocks, pBlockParams);
  KVN_KERNEL(dv_segment, dv100)(pStream, pBlocks, pBlockParams, 64);
  return KVN_STS_OK;
}
