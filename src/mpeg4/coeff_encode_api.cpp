// Entries of the MPEG-4 / H.263 / H.261 coefficient and intra DC writers.
// Checks in order: the byte-pointer pointer, the offset pointer, the block and
// the byte pointer itself (KVN_STS_NULL_PTR), the offset 0..7
// (KVN_STS_BIT_OFFSET_ERR), then the count (or the MPEG-4 DC magnitude,
// KVN_STS_OUT_OF_RANGE); nothing is written before, and the position is
// unchanged on failure.
#include "core/entry.h"
#include "kvncore.h"
#include "mpeg4/coeff_encode.h"
#include "tables/mpeg4_tables.h"

using namespace kvn;

namespace {

constexpr struct RasterScan {
  uint8_t v[64];
  constexpr RasterScan() : v() {
    for (int i = 0; i < 64; ++i) v[i] = uint8_t(i);
  }
} kScanRaster;

// 1 alternate vertical, 2 alternate horizontal (when honoured), -1 raster
// (when honoured), the given default otherwise.
const uint8_t* mpeg4_scan(int32_t scan, bool altHorizontal) {
  if (scan == 1) return kScanAltVertical;
  if (scan == 2 && altHorizontal) return kScanAltHorizontal;
  return scan == -1 ? kScanRaster.v : kScanZigzag;
}

// H.263: 0 zigzag, 1 alternate vertical, 2 alternate horizontal, other raster.
const uint8_t* h263_scan(int32_t scan) {
  switch (scan) {
    case 0: return kScanZigzag;
    case 1: return kScanAltVertical;
    case 2: return kScanAltHorizontal;
    default: return kScanRaster.v;
  }
}

// H.261: -1 raster, other zigzag.
const uint8_t* h261_scan(int32_t scan) { return scan == -1 ? kScanRaster.v : kScanZigzag; }

// 1 <= count <= max, without overflow for any count.
constexpr bool count_in_range(int32_t count, int32_t max) { return count >= 1 && count <= max; }

}  // namespace

#define KVN_CHECK_POSITION(pp, pOffset, ...)                   \
  do {                                                         \
    KVN_CHECK_PTRS(pp, pOffset, ##__VA_ARGS__);                \
    KVN_CHECK_PTRS(*pp);                                       \
    if (!in_range(*pOffset, 7)) return KVN_STS_BIT_OFFSET_ERR; \
  } while (0)

KVN_ENTRY(kvniEncodeCoeffsIntra_MPEG4_16s1u)
(const Kvn16s* pCoeffs, Kvn8u** ppBitStream, Kvn32s* pBitOffset, Kvn32s countNonZero, Kvn32s rvlcFlag, Kvn32s noDCFlag,
 Kvn32s scan) {
  KVN_CHECK_POSITION(ppBitStream, pBitOffset, pCoeffs);
  if (!count_in_range(countNonZero, noDCFlag ? 63 : 64)) return KVN_STS_OUT_OF_RANGE;
  const CoeffEncodeArgs a{mpeg4_scan(scan, true), noDCFlag ? 1 : 0, countNonZero};
  if (rvlcFlag)
    KVN_KERNEL(coeff_encode, mpeg4_rvlc[1])(pCoeffs, ppBitStream, pBitOffset, a);
  else
    KVN_KERNEL(coeff_encode, mpeg4[1])(pCoeffs, ppBitStream, pBitOffset, a);
  return KVN_STS_OK;
}

KVN_ENTRY(kvniEncodeCoeffsInter_MPEG4_16s1u)
(const Kvn16s* pCoeffs, Kvn8u** ppBitStream, Kvn32s* pBitOffset, Kvn32s countNonZero, Kvn32s rvlcFlag, Kvn32s scan) {
  KVN_CHECK_POSITION(ppBitStream, pBitOffset, pCoeffs);
  if (!count_in_range(countNonZero, 64)) return KVN_STS_OUT_OF_RANGE;
  const CoeffEncodeArgs a{mpeg4_scan(scan, false), 0, countNonZero};
  if (rvlcFlag)
    KVN_KERNEL(coeff_encode, mpeg4_rvlc[0])(pCoeffs, ppBitStream, pBitOffset, a);
  else
    KVN_KERNEL(coeff_encode, mpeg4[0])(pCoeffs, ppBitStream, pBitOffset, a);
  return KVN_STS_OK;
}

// Without advanced intra the DC is written by kvniEncodeDCIntra_H263_16s1u
// and the codes begin at position 1.
KVN_ENTRY(kvniEncodeCoeffsIntra_H263_16s1u)
(const Kvn16s* pCoeffs, Kvn8u** ppBitStream, Kvn32s* pBitOffset, Kvn32s countNonZero, Kvn32s advIntraFlag,
 Kvn32s modQuantFlag, Kvn32s scan) {
  KVN_CHECK_POSITION(ppBitStream, pBitOffset, pCoeffs);
  if (!count_in_range(countNonZero, 64)) return KVN_STS_OUT_OF_RANGE;
  const CoeffEncodeArgs a{h263_scan(scan), advIntraFlag ? 0 : 1, countNonZero};
  KVN_KERNEL(coeff_encode, h263[advIntraFlag != 0][modQuantFlag != 0])(pCoeffs, ppBitStream, pBitOffset, a);
  return KVN_STS_OK;
}

KVN_ENTRY(kvniEncodeCoeffsInter_H263_16s1u)
(const Kvn16s* pCoeffs, Kvn8u** ppBitStream, Kvn32s* pBitOffset, Kvn32s countNonZero, Kvn32s modQuantFlag,
 Kvn32s scan) {
  KVN_CHECK_POSITION(ppBitStream, pBitOffset, pCoeffs);
  if (!count_in_range(countNonZero, 64)) return KVN_STS_OUT_OF_RANGE;
  const CoeffEncodeArgs a{h263_scan(scan), 0, countNonZero};
  KVN_KERNEL(coeff_encode, h263[0][modQuantFlag != 0])(pCoeffs, ppBitStream, pBitOffset, a);
  return KVN_STS_OK;
}

// The count includes the INTRADC.
KVN_ENTRY(kvniEncodeCoeffsIntra_H261_16s1u)
(const Kvn16s* pCoeffs, Kvn8u** ppBitStream, Kvn32s* pBitOffset, Kvn32s countNonZero, Kvn32s scan) {
  KVN_CHECK_POSITION(ppBitStream, pBitOffset, pCoeffs);
  if (!count_in_range(countNonZero, 64)) return KVN_STS_OUT_OF_RANGE;
  const CoeffEncodeArgs a{h261_scan(scan), 1, countNonZero};
  KVN_KERNEL(coeff_encode, h261[1])(pCoeffs, ppBitStream, pBitOffset, a);
  return KVN_STS_OK;
}

KVN_ENTRY(kvniEncodeCoeffsInter_H261_16s1u)
(const Kvn16s* pCoeffs, Kvn8u** ppBitStream, Kvn32s* pBitOffset, Kvn32s countNonZero, Kvn32s scan) {
  KVN_CHECK_POSITION(ppBitStream, pBitOffset, pCoeffs);
  if (!count_in_range(countNonZero, 64)) return KVN_STS_OUT_OF_RANGE;
  const CoeffEncodeArgs a{h261_scan(scan), 0, countNonZero};
  KVN_KERNEL(coeff_encode, h261[0])(pCoeffs, ppBitStream, pBitOffset, a);
  return KVN_STS_OK;
}

KVN_ENTRY(kvniEncodeDCIntra_H263_16s1u)(Kvn16s qDC, Kvn8u** ppBitStream, Kvn32s* pBitOffset) {
  KVN_CHECK_POSITION(ppBitStream, pBitOffset);
  KVN_KERNEL(coeff_encode, dc_h263)(qDC, ppBitStream, pBitOffset, 0);
  return KVN_STS_OK;
}

// dct_dc_size codes up to size 12: |dcCoeff| above 4095 has none.
KVN_ENTRY(kvniEncodeDCIntra_MPEG4_16s1u)(Kvn16s dcCoeff, Kvn8u** ppBitStream, Kvn32s* pBitOffset, Kvn32s blockType) {
  KVN_CHECK_POSITION(ppBitStream, pBitOffset);
  if (dcCoeff < -4095 || dcCoeff > 4095) return KVN_STS_OUT_OF_RANGE;
  KVN_KERNEL(coeff_encode, dc_mpeg4)(dcCoeff, ppBitStream, pBitOffset, blockType);
  return KVN_STS_OK;
}
