// Entries of the H.264 Exp-Golomb and CAVLC decoders: pointer checks (the
// word pointer and the coefficient buffer pointer included), the bit index,
// then the numeric ranges, then one call through the kernel table.
//
// Bit indices above 31 are refused by every decoder (KVN_STS_BAD_ARG): the
// index selects a bit of a 32-bit word. Both Exp-Golomb members test the low
// byte of their signed flag.
#include "h264/cavlc/cavlc.h"
#include "core/entry.h"

using namespace kvn;

namespace {

template <class Fn, class T>
KvnResult decode(Fn fn, Kvn32u** ppBitStream, Kvn32u* pBitOffset, Kvn16s* pNumCoeff, T** ppPosCoefbuf,
                 const CavlcArgs& a) {
  const uint32_t* p = *ppBitStream;
  const int st = fn(&p, pBitOffset, pNumCoeff, ppPosCoefbuf, a);
  *ppBitStream = const_cast<Kvn32u*>(p);
  return st;
}

// Chroma DC blocks of maxCoeff (4 or 8) coefficients, one coefficient-token table.
template <class Fn, class T>
KvnResult decode_dc(Fn fn, int16_t maxCoeff, Kvn32u** ppBitStream, Kvn32u* pBitOffset, Kvn16s* pNumCoeff,
                    T** ppPosCoefbuf, const Kvn32s* pTblCoeffToken, const Kvn32s* const* ppTblTotalZerosCR,
                    const Kvn32s* const* ppTblRunBefore) {
  KVN_CHECK_PTRS(ppBitStream, pBitOffset, pNumCoeff, ppPosCoefbuf, pTblCoeffToken, ppTblTotalZerosCR, ppTblRunBefore);
  KVN_CHECK_PTRS(*ppBitStream, *ppPosCoefbuf);
  if (*pBitOffset > 31) return KVN_STS_BAD_ARG;
  const Kvn32s* const token[1] = {pTblCoeffToken};
  const CavlcArgs a{-1, maxCoeff, token, ppTblTotalZerosCR, ppTblRunBefore, nullptr, 0, maxCoeff - 1};
  return decode(fn, ppBitStream, pBitOffset, pNumCoeff, ppPosCoefbuf, a);
}

}  // namespace

KVN_ENTRY(kvniDecodeExpGolombOne_H264_1u16s)(Kvn32u** ppBitStream, Kvn32u* pBitOffset, Kvn16s* pDst, Kvn8u isSigned) {
  KVN_CHECK_PTRS(ppBitStream, pBitOffset, pDst);
  KVN_CHECK_PTRS(*ppBitStream);
  if (*pBitOffset > 31) return KVN_STS_BAD_ARG;
  const uint32_t* p = *ppBitStream;
  int32_t v;
  const int st = KVN_KERNEL(cavlc, exp_golomb)(&p, pBitOffset, &v, isSigned != 0, 16);
  if (st == KVN_STS_OK) *pDst = Kvn16s(v);
  *ppBitStream = const_cast<Kvn32u*>(p);
  return st;
}

KVN_ENTRY(kvniDecodeExpGolombOne_H264_1u32s)(Kvn32u** ppBitStream, Kvn32u* pBitOffset, Kvn32s* pDst, Kvn32s isSigned) {
  KVN_CHECK_PTRS(ppBitStream, pBitOffset, pDst);
  KVN_CHECK_PTRS(*ppBitStream);
  if (*pBitOffset > 31) return KVN_STS_BAD_ARG;
  const uint32_t* p = *ppBitStream;
  int32_t v;
  const int st = KVN_KERNEL(cavlc, exp_golomb)(&p, pBitOffset, &v, (isSigned & 0xff) != 0, 31);
  if (st == KVN_STS_OK) *pDst = v;
  *ppBitStream = const_cast<Kvn32u*>(p);
  return st;
}

#define KVN_CAVLC_4X4_CHECKS()                                                                                       \
  KVN_CHECK_PTRS(ppBitStream, pBitOffset, pNumCoeff, ppPosCoefbuf, ppTblCoeffToken, ppTblTotalZeros, ppTblRunBefore, \
                 pScanMatrix);                                                                                       \
  KVN_CHECK_PTRS(*ppBitStream, *ppPosCoefbuf);                                                                       \
  if (*pBitOffset > 31) return KVN_STS_BAD_ARG

KVN_ENTRY(kvniDecodeCAVLCCoeffs_H264_1u16s)
(Kvn32u** ppBitStream, Kvn32u* pBitOffset, Kvn16s* pNumCoeff, Kvn16s** ppPosCoefbuf, Kvn32s uVLCSelect,
 Kvn16s uMaxNumCoeff, const Kvn32s* const* ppTblCoeffToken, const Kvn32s* const* ppTblTotalZeros,
 const Kvn32s* const* ppTblRunBefore, const Kvn32s* pScanMatrix) {
  KVN_CAVLC_4X4_CHECKS();
  if (uMaxNumCoeff != 15 && uMaxNumCoeff != 16) return KVN_STS_OUT_OF_RANGE;
  if (uVLCSelect < 0) return KVN_STS_OUT_OF_RANGE;
  const CavlcArgs a{uVLCSelect, uMaxNumCoeff, ppTblCoeffToken, ppTblTotalZeros, ppTblRunBefore, pScanMatrix, 0, 15};
  return decode(KVN_KERNEL(cavlc, block16s), ppBitStream, pBitOffset, pNumCoeff, ppPosCoefbuf, a);
}

KVN_ENTRY(kvniDecodeCAVLCCoeffs_H264_1u32s)
(Kvn32u** ppBitStream, Kvn32u* pBitOffset, Kvn16s* pNumCoeff, Kvn32s** ppPosCoefbuf, Kvn32s uVLCSelect,
 Kvn16s uMaxNumCoeff, const Kvn32s* const* ppTblCoeffToken, const Kvn32s* const* ppTblTotalZeros,
 const Kvn32s* const* ppTblRunBefore, const Kvn32s* pScanMatrix) {
  KVN_CAVLC_4X4_CHECKS();
  if (uMaxNumCoeff != 15 && uMaxNumCoeff != 16) return KVN_STS_OUT_OF_RANGE;
  if (uVLCSelect < 0) return KVN_STS_OUT_OF_RANGE;
  const CavlcArgs a{uVLCSelect, uMaxNumCoeff, ppTblCoeffToken, ppTblTotalZeros, ppTblRunBefore, pScanMatrix, 0, 15};
  return decode(KVN_KERNEL(cavlc, block32s), ppBitStream, pBitOffset, pNumCoeff, ppPosCoefbuf, a);
}

// The range member takes any maximum count the tzVlcIndex rule covers (1..16)
// and a range 0 <= start <= end <= 15.
KVN_ENTRY(kvniDecodeCAVLCCoeffsIdxs_H264_1u16s)
(Kvn32u** ppBitStream, Kvn32u* pBitOffset, Kvn16s* pNumCoeff, Kvn16s** ppPosCoefbuf, Kvn32s uVLCSelect,
 Kvn16s uMaxNumCoeff, const Kvn32s* const* ppTblCoeffToken, const Kvn32s* const* ppTblTotalZeros,
 const Kvn32s* const* ppTblRunBefore, const Kvn32s* pScanMatrix, Kvn32s startIdx, Kvn32s endIdx) {
  KVN_CAVLC_4X4_CHECKS();
  if (uMaxNumCoeff < 1 || uMaxNumCoeff > 16) return KVN_STS_OUT_OF_RANGE;
  if (uVLCSelect < 0) return KVN_STS_OUT_OF_RANGE;
  if (!in_range(startIdx, 15) || !in_range(endIdx, 15) || endIdx < startIdx) return KVN_STS_OUT_OF_RANGE;
  const CavlcArgs a{uVLCSelect,     uMaxNumCoeff, ppTblCoeffToken, ppTblTotalZeros,
                    ppTblRunBefore, pScanMatrix,  startIdx,        endIdx};
  return decode(KVN_KERNEL(cavlc, range16s), ppBitStream, pBitOffset, pNumCoeff, ppPosCoefbuf, a);
}

KVN_ENTRY(kvniDecodeCAVLCChromaDcCoeffs_H264_1u16s)
(Kvn32u** ppBitStream, Kvn32u* pBitOffset, Kvn16s* pNumCoeff, Kvn16s** ppPosCoefbuf, const Kvn32s* pTblCoeffToken,
 const Kvn32s* const* ppTblTotalZerosCR, const Kvn32s* const* ppTblRunBefore) {
  return decode_dc(KVN_KERNEL(cavlc, dc2x2_16s), 4, ppBitStream, pBitOffset, pNumCoeff, ppPosCoefbuf, pTblCoeffToken,
                   ppTblTotalZerosCR, ppTblRunBefore);
}

KVN_ENTRY(kvniDecodeCAVLCChromaDcCoeffs_H264_1u32s)
(Kvn32u** ppBitStream, Kvn32u* pBitOffset, Kvn16s* pNumCoeff, Kvn32s** ppPosCoefbuf, const Kvn32s* pTblCoeffToken,
 const Kvn32s* const* ppTblTotalZerosCR, const Kvn32s* const* ppTblRunBefore) {
  return decode_dc(KVN_KERNEL(cavlc, dc2x2_32s), 4, ppBitStream, pBitOffset, pNumCoeff, ppPosCoefbuf, pTblCoeffToken,
                   ppTblTotalZerosCR, ppTblRunBefore);
}

KVN_ENTRY(kvniDecodeCAVLCChroma422DcCoeffs_H264_1u16s)
(Kvn32u** ppBitStream, Kvn32u* pBitOffset, Kvn16s* pNumCoeff, Kvn16s** ppPosCoefbuf, const Kvn32s* pTblCoeffToken,
 const Kvn32s* const* ppTblTotalZerosCR, const Kvn32s* const* ppTblRunBefore) {
  return decode_dc(KVN_KERNEL(cavlc, dc2x4_16s), 8, ppBitStream, pBitOffset, pNumCoeff, ppPosCoefbuf, pTblCoeffToken,
                   ppTblTotalZerosCR, ppTblRunBefore);
}

KVN_ENTRY(kvniDecodeCAVLCChroma422DcCoeffs_H264_1u32s)
(Kvn32u** ppBitStream, Kvn32u* pBitOffset, Kvn16s* pNumCoeff, Kvn32s** ppPosCoefbuf, const Kvn32s* pTblCoeffToken,
 const Kvn32s* const* ppTblTotalZerosCR, const Kvn32s* const* ppTblRunBefore) {
  return decode_dc(KVN_KERNEL(cavlc, dc2x4_32s), 8, ppBitStream, pBitOffset, pNumCoeff, ppPosCoefbuf, pTblCoeffToken,
                   ppTblTotalZerosCR, ppTblRunBefore);
}
