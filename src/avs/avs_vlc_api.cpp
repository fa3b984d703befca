// Entries of the AVS coefficient block decoders. Checks in order: pointers
// (the word pointer behind the first argument included), then the bit index
// (KVN_STS_BAD_ARG above 31); nothing is read or written before.
#include "avs/avs_vlc.h"
#include "core/entry.h"

using namespace kvn;

namespace {

template <class Fn>
KvnResult decode_block(Fn fn, Kvn32u** ppBitStream, Kvn32u* pBitOffset, Kvn32u* pNumCoeff, Kvn16s* pDstCoeffs,
                       Kvn32s scanType) {
  if (*pBitOffset > 31) return KVN_STS_BAD_ARG;
  const uint32_t* p = *ppBitStream;
  uint32_t index = *pBitOffset;
  const int st = fn(&p, &index, pNumCoeff, pDstCoeffs, scanType);
  *ppBitStream = const_cast<Kvn32u*>(p);
  *pBitOffset = index;
  return st;
}

}  // namespace

KVN_ENTRY(kvniDecodeLumaBlockIntra_AVS_1u16s)
(Kvn32u** ppBitStream, Kvn32u* pBitOffset, Kvn32u* pNumCoeff, Kvn16s* pDstCoeffs, Kvn32s scanType) {
  KVN_CHECK_PTRS(ppBitStream, pBitOffset, pNumCoeff, pDstCoeffs);
  KVN_CHECK_PTRS(*ppBitStream);
  return decode_block(KVN_KERNEL(avs_vlc, intra_luma), ppBitStream, pBitOffset, pNumCoeff, pDstCoeffs, scanType);
}

KVN_ENTRY(kvniDecodeLumaBlockInter_AVS_1u16s)
(Kvn32u** ppBitStream, Kvn32u* pBitOffset, Kvn32u* pNumCoeff, Kvn16s* pDstCoeffs, Kvn32s scanType) {
  KVN_CHECK_PTRS(ppBitStream, pBitOffset, pNumCoeff, pDstCoeffs);
  KVN_CHECK_PTRS(*ppBitStream);
  return decode_block(KVN_KERNEL(avs_vlc, inter_luma), ppBitStream, pBitOffset, pNumCoeff, pDstCoeffs, scanType);
}

KVN_ENTRY(kvniDecodeChromaBlock_AVS_1u16s)
(Kvn32u** ppBitStream, Kvn32u* pBitOffset, Kvn32u* pNumCoeff, Kvn16s* pDstCoeffs, Kvn32s scanType) {
  KVN_CHECK_PTRS(ppBitStream, pBitOffset, pNumCoeff, pDstCoeffs);
  KVN_CHECK_PTRS(*ppBitStream);
  return decode_block(KVN_KERNEL(avs_vlc, chroma), ppBitStream, pBitOffset, pNumCoeff, pDstCoeffs, scanType);
}
