// Entries of the MPEG-1/MPEG-2 VLC family: the table builders and their
// release, the single-code decoders, the block decoders and the block
// writers. Checks in order: pointers (the word pointer behind the first
// argument included), the bit index or free-bit count (KVN_STS_BAD_ARG),
// then numeric ranges (KVN_STS_OUT_OF_RANGE); nothing is written before.
#include "core/entry.h"
#include "kvncore.h"
#include "mpeg2/mpeg2_vlc.h"
#include "mpeg2/mpeg2_vlc_table.h"

using namespace kvn;

namespace {

template <class Fn>
KvnResult decode_block(Fn fn, Kvn32u** ppBitStream, Kvn32s* pOffset, const Mpeg2BlockArgs& a, Kvn16s* pDstBlock,
                       Kvn32s* pDstSize) {
  const uint32_t* p = *ppBitStream;
  uint32_t index = uint32_t(*pOffset);
  const int st = fn(&p, &index, a, pDstBlock, pDstSize);
  *ppBitStream = const_cast<Kvn32u*>(p);
  *pOffset = Kvn32s(index);
  return st;
}

}  // namespace

KVN_ENTRY(kvniHuffmanTableInitAlloc_32s)(const Kvn32s* pSrcTable, KvnHuffmanTable** ppTable) {
  KVN_CHECK_PTRS(pSrcTable, ppTable);
  return build_huffman_table(pSrcTable, false, ppTable);
}

KVN_ENTRY(kvniHuffmanRunLevelTableInitAlloc_32s)(const Kvn32s* pSrcTable, KvnHuffmanTable** ppTable) {
  KVN_CHECK_PTRS(pSrcTable, ppTable);
  return build_huffman_table(pSrcTable, true, ppTable);
}

KVN_ENTRY(kvniHuffmanTableFree_32s)(KvnHuffmanTable* pTable) {
  KVN_CHECK_PTRS(pTable);
  kvnFree(pTable);
  return KVN_STS_OK;
}

KVN_ENTRY(kvniDecodeHuffmanOne_1u32s)
(Kvn32u** ppBitStream, Kvn32s* pOffset, Kvn32s* pDst, const KvnHuffmanTable* pTable) {
  KVN_CHECK_PTRS(ppBitStream, pOffset, pDst, pTable);
  KVN_CHECK_PTRS(*ppBitStream);
  if (!in_range(*pOffset, 31)) return KVN_STS_BAD_ARG;
  const uint32_t* p = *ppBitStream;
  uint32_t index = uint32_t(*pOffset);
  const int st = KVN_KERNEL(mpeg2_vlc, decode_one)(&p, &index, pDst, pTable);
  *ppBitStream = const_cast<Kvn32u*>(p);
  *pOffset = Kvn32s(index);
  return st;
}

KVN_ENTRY(kvniDecodeHuffmanPair_1u16s)
(Kvn32u** ppBitStream, Kvn32s* pOffset, const KvnHuffmanTable* pTable, Kvn8u* pFirst, Kvn16s* pSecond) {
  KVN_CHECK_PTRS(ppBitStream, pOffset, pTable, pFirst, pSecond);
  KVN_CHECK_PTRS(*ppBitStream);
  if (!in_range(*pOffset, 31)) return KVN_STS_BAD_ARG;
  const uint32_t* p = *ppBitStream;
  uint32_t index = uint32_t(*pOffset);
  const int st = KVN_KERNEL(mpeg2_vlc, decode_pair)(&p, &index, pTable, pFirst, pSecond);
  *ppBitStream = const_cast<Kvn32u*>(p);
  *pOffset = Kvn32s(index);
  return st;
}

KVN_ENTRY(kvniReconstructDCTBlock_MPEG1_32s)
(Kvn32u** ppBitStream, Kvn32s* pOffset, const KvnHuffmanTable* pDCTFirstTable, const KvnHuffmanTable* pACTable,
 const Kvn32s* pScan, Kvn32s quantScale, const Kvn16s* pQuantMatrix, Kvn16s* pDstBlock, Kvn32s* pDstSize) {
  KVN_CHECK_PTRS(ppBitStream, pOffset, pDCTFirstTable, pACTable, pScan, pQuantMatrix, pDstBlock, pDstSize);
  KVN_CHECK_PTRS(*ppBitStream);
  if (!in_range(*pOffset, 31)) return KVN_STS_BAD_ARG;
  const Mpeg2BlockArgs a{pDCTFirstTable, pACTable, pScan, quantScale, pQuantMatrix, nullptr, 0};
  return decode_block(KVN_KERNEL(mpeg2_vlc, inter_mpeg1), ppBitStream, pOffset, a, pDstBlock, pDstSize);
}

// A null weight matrix: 16 everywhere.
KVN_ENTRY(kvniReconstructDCTBlock_MPEG2_32s)
(Kvn32u** ppBitStream, Kvn32s* pOffset, const KvnHuffmanTable* pDCTFirstTable, const KvnHuffmanTable* pACTable,
 const Kvn32s* pScan, Kvn32s quantScale, const Kvn16s* pQuantMatrix, Kvn16s* pDstBlock, Kvn32s* pDstSize) {
  KVN_CHECK_PTRS(ppBitStream, pOffset, pDCTFirstTable, pACTable, pScan, pDstBlock, pDstSize);
  KVN_CHECK_PTRS(*ppBitStream);
  if (!in_range(*pOffset, 31)) return KVN_STS_BAD_ARG;
  const Mpeg2BlockArgs a{pDCTFirstTable, pACTable, pScan, quantScale, pQuantMatrix, nullptr, 0};
  return decode_block(KVN_KERNEL(mpeg2_vlc, inter_mpeg2), ppBitStream, pOffset, a, pDstBlock, pDstSize);
}

KVN_ENTRY(kvniReconstructDCTBlockIntra_MPEG1_32s)
(Kvn32u** ppBitStream, Kvn32s* pOffset, const KvnHuffmanTable* pDCSizeTable, const KvnHuffmanTable* pACTable,
 const Kvn32s* pScan, Kvn32s quantScale, const Kvn16s* pQuantMatrix, Kvn16s* pDCPred, Kvn16s* pDstBlock,
 Kvn32s* pDstSize) {
  KVN_CHECK_PTRS(ppBitStream, pOffset, pDCSizeTable, pACTable, pScan, pQuantMatrix, pDCPred, pDstBlock, pDstSize);
  KVN_CHECK_PTRS(*ppBitStream);
  if (!in_range(*pOffset, 31)) return KVN_STS_BAD_ARG;
  const Mpeg2BlockArgs a{pDCSizeTable, pACTable, pScan, quantScale, pQuantMatrix, pDCPred, 0};
  return decode_block(KVN_KERNEL(mpeg2_vlc, intra_mpeg1), ppBitStream, pOffset, a, pDstBlock, pDstSize);
}

KVN_ENTRY(kvniReconstructDCTBlockIntra_MPEG2_32s)
(Kvn32u** ppBitStream, Kvn32s* pOffset, const KvnHuffmanTable* pDCSizeTable, const KvnHuffmanTable* pACTable,
 const Kvn32s* pScan, Kvn32s quantScale, const Kvn16s* pQuantMatrix, Kvn16s* pDCPred, Kvn32s shiftDC, Kvn16s* pDstBlock,
 Kvn32s* pDstSize) {
  KVN_CHECK_PTRS(ppBitStream, pOffset, pDCSizeTable, pACTable, pScan, pQuantMatrix, pDCPred, pDstBlock, pDstSize);
  KVN_CHECK_PTRS(*ppBitStream);
  if (!in_range(*pOffset, 31)) return KVN_STS_BAD_ARG;
  if (!in_range(shiftDC, 3)) return KVN_STS_OUT_OF_RANGE;
  const Mpeg2BlockArgs a{pDCSizeTable, pACTable, pScan, quantScale, pQuantMatrix, pDCPred, shiftDC};
  return decode_block(KVN_KERNEL(mpeg2_vlc, intra_mpeg2), ppBitStream, pOffset, a, pDstBlock, pDstSize);
}

KVN_ENTRY(kvniCreateRLEncodeTable)(const Kvn32s* pSrcTable, KvnRLEncodeTable** ppTable) {
  KVN_CHECK_PTRS(pSrcTable, ppTable);
  return build_rl_encode_table(pSrcTable, ppTable);
}

KVN_ENTRY(kvniPutIntraBlock)
(Kvn32u** ppBitStream, Kvn32s* pBitCount, const Kvn16s* pSrcBlock, Kvn32s* pDCPred, const Kvn32s* pDCSizeTable,
 const KvnRLEncodeTable* pRLTable, const Kvn32s* pScan, Kvn32s eobLength, Kvn32s eobCode, Kvn32s count) {
  KVN_CHECK_PTRS(ppBitStream, pBitCount, pSrcBlock, pDCPred, pDCSizeTable, pRLTable, pScan);
  KVN_CHECK_PTRS(*ppBitStream);
  if (*pBitCount < 1 || *pBitCount > 32) return KVN_STS_BAD_ARG;
  if (!in_range(eobLength, 32)) return KVN_STS_OUT_OF_RANGE;
  const int64_t d = int64_t(pSrcBlock[0]) - *pDCPred;
  if (d < -2047 || d > 2047) return KVN_STS_OUT_OF_RANGE;
  const uint32_t mag = uint32_t(d < 0 ? -d : d);
  const int size = mag ? 32 - __builtin_clz(mag) : 0;
  if (!in_range(pDCSizeTable[2 * size + 1] - 1, 31)) return KVN_STS_OUT_OF_RANGE;
  const Mpeg2PutArgs a{pRLTable, pScan, pDCPred, pDCSizeTable, eobLength, eobCode, count};
  KVN_KERNEL(mpeg2_vlc, put_intra)(ppBitStream, pBitCount, pSrcBlock, a);
  return KVN_STS_OK;
}

KVN_ENTRY(kvniPutNonIntraBlock)
(Kvn32u** ppBitStream, Kvn32s* pBitCount, const Kvn16s* pSrcBlock, const KvnRLEncodeTable* pRLTable,
 const Kvn32s* pScan, Kvn32s eobLength, Kvn32s eobCode, Kvn32s count) {
  KVN_CHECK_PTRS(ppBitStream, pBitCount, pSrcBlock, pRLTable, pScan);
  KVN_CHECK_PTRS(*ppBitStream);
  if (*pBitCount < 1 || *pBitCount > 32) return KVN_STS_BAD_ARG;
  if (!in_range(eobLength, 32)) return KVN_STS_OUT_OF_RANGE;
  const Mpeg2PutArgs a{pRLTable, pScan, nullptr, nullptr, eobLength, eobCode, count};
  KVN_KERNEL(mpeg2_vlc, put_inter)(ppBitStream, pBitCount, pSrcBlock, a);
  return KVN_STS_OK;
}
