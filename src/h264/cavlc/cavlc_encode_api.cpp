// Entries of the H.264 CAVLC encoding analysis: pointer checks, the index
// range, then one call through the kernel table.
//
// The 32-bit member refuses a negative start index like the other index
// errors (scan[-1] does not exist), and both 4x4 members refuse a scan table
// whose entries in start..end leave the block, before anything is written.
#include "h264/cavlc/cavlc_encode.h"
#include "core/entry.h"

using namespace kvn;

namespace {

template <class Fn, class T>
inline KvnResult encode_dc(Fn fn, const T* src, Kvn8u* trailingOnes, Kvn8u* trailingOneSigns, Kvn8u* numOutCoeffs,
                           Kvn8u* totalZeros, T* levels, Kvn8u* runs) {
  KVN_CHECK_PTRS(src, trailingOnes, trailingOneSigns, numOutCoeffs, totalZeros, levels, runs);
  fn(src, CavlcCounts{trailingOnes, trailingOneSigns, numOutCoeffs, totalZeros}, levels, runs);
  return KVN_STS_OK;
}

}  // namespace

KVN_ENTRY(kvniEncodeCoeffsCAVLC_H264_16s)
(const Kvn16s* pSrc, Kvn8u startIdx, const Kvn32s* pScanMatrix, Kvn8u endIdx, Kvn8u* pTrailingOnes,
 Kvn8u* pTrailingOneSigns, Kvn8u* pNumOutCoeffs, Kvn8u* pTotalZeros, Kvn16s* pLevels, Kvn8u* pRuns) {
  KVN_CHECK_PTRS(pSrc, pScanMatrix, pTrailingOnes, pTrailingOneSigns, pNumOutCoeffs, pTotalZeros, pLevels, pRuns);
  if (endIdx > 15 || endIdx < startIdx) return KVN_STS_OUT_OF_RANGE;
  const CavlcCounts out{pTrailingOnes, pTrailingOneSigns, pNumOutCoeffs, pTotalZeros};
  if (!KVN_KERNEL(cavlc_encode, block16s)(pSrc, startIdx, pScanMatrix, endIdx, out, pLevels, pRuns))
    return KVN_STS_OUT_OF_RANGE;
  return KVN_STS_OK;
}

KVN_ENTRY(kvniEncodeCoeffsCAVLC_H264_32s)
(const Kvn32s* pSrc, Kvn32s startIdx, const Kvn32s* pScanMatrix, Kvn32s endIdx, Kvn8u* pTrailingOnes,
 Kvn8u* pTrailingOneSigns, Kvn8u* pNumOutCoeffs, Kvn8u* pTotalZeros, Kvn32s* pLevels, Kvn8u* pRuns) {
  KVN_CHECK_PTRS(pSrc, pScanMatrix, pTrailingOnes, pTrailingOneSigns, pNumOutCoeffs, pTotalZeros, pLevels, pRuns);
  if (endIdx > 15 || endIdx < startIdx || startIdx < 0) return KVN_STS_OUT_OF_RANGE;
  const CavlcCounts out{pTrailingOnes, pTrailingOneSigns, pNumOutCoeffs, pTotalZeros};
  if (!KVN_KERNEL(cavlc_encode, block32s)(pSrc, startIdx, pScanMatrix, endIdx, out, pLevels, pRuns))
    return KVN_STS_OUT_OF_RANGE;
  return KVN_STS_OK;
}

KVN_ENTRY(kvniEncodeChromaDcCoeffsCAVLC_H264_16s)
(const Kvn16s* pSrc, Kvn8u* pTrailingOnes, Kvn8u* pTrailingOneSigns, Kvn8u* pNumOutCoeffs, Kvn8u* pTotalZeros,
 Kvn16s* pLevels, Kvn8u* pRuns) {
  return encode_dc(KVN_KERNEL(cavlc_encode, dc2x2_16s), pSrc, pTrailingOnes, pTrailingOneSigns, pNumOutCoeffs,
                   pTotalZeros, pLevels, pRuns);
}

KVN_ENTRY(kvniEncodeCoeffsCAVLCChromaDC2x2_H264_32s)
(const Kvn32s* pSrc, Kvn8u* pTrailingOnes, Kvn8u* pTrailingOneSigns, Kvn8u* pNumOutCoeffs, Kvn8u* pTotalZeros,
 Kvn32s* pLevels, Kvn8u* pRuns) {
  return encode_dc(KVN_KERNEL(cavlc_encode, dc2x2_32s), pSrc, pTrailingOnes, pTrailingOneSigns, pNumOutCoeffs,
                   pTotalZeros, pLevels, pRuns);
}

KVN_ENTRY(kvniEncodeCoeffsCAVLCChromaDC2x4_H264_16s)
(const Kvn16s* pSrc, Kvn8u* pTrailingOnes, Kvn8u* pTrailingOneSigns, Kvn8u* pNumOutCoeffs, Kvn8u* pTotalZeros,
 Kvn16s* pLevels, Kvn8u* pRuns) {
  return encode_dc(KVN_KERNEL(cavlc_encode, dc2x4_16s), pSrc, pTrailingOnes, pTrailingOneSigns, pNumOutCoeffs,
                   pTotalZeros, pLevels, pRuns);
}

KVN_ENTRY(kvniEncodeCoeffsCAVLCChromaDC2x4_H264_32s)
(const Kvn32s* pSrc, Kvn8u* pTrailingOnes, Kvn8u* pTrailingOneSigns, Kvn8u* pNumOutCoeffs, Kvn8u* pTotalZeros,
 Kvn32s* pLevels, Kvn8u* pRuns) {
  return encode_dc(KVN_KERNEL(cavlc_encode, dc2x4_32s), pSrc, pTrailingOnes, pTrailingOneSigns, pNumOutCoeffs,
                   pTotalZeros, pLevels, pRuns);
}
