// Entries of the H.263 quantisers: pointer checks, the quantiser 1..31
// (KVN_STS_QP_ERR), for the inverse ones a negative last index
// (KVN_STS_OUT_OF_RANGE; one above 63 means the whole block), then the
// uniform kernels with the parameters of the mode (quant_h263.h).
#include "core/entry.h"
#include "mpeg4/quant_h263.h"

using namespace kvn;

namespace {

// Below QP 8 without Annex T the levels must fit the 8-bit escape.
inline uint32_t level_limit(int32_t qp, int32_t modQuant) { return qp < 8 && !modQuant ? 127u : 65535u; }

// H.263 without Annex T reconstructs to -2048..2047; otherwise the 16-bit range.
inline int32_t recon_lo(int32_t modQuant) { return modQuant ? -32768 : -2048; }
inline int32_t recon_hi(int32_t modQuant) { return modQuant ? 32767 : 2047; }

// The INTRADC level (ITU-T H.263 6.2.1): (c0 + 4) >> 3, with 0 and 255 not coded.
inline int16_t intradc_level(int32_t c0) {
  const int32_t d = (c0 + 4) >> 3;
  return int16_t(d == 0 ? 1 : d == 255 ? 254 : d);
}

}  // namespace

KVN_ENTRY(kvniQuantInter_H263_16s_C1I)(Kvn16s* pSrcDst, Kvn32s QP, Kvn32s* pCount, Kvn32s modQuantFlag) {
  KVN_CHECK_PTRS(pSrcDst, pCount);
  if (!in_range(QP - 1, 30)) return KVN_STS_QP_ERR;
  const UniformQuant q{0, uint32_t(QP / 2), 32768, quant_h263::recip(QP), level_limit(QP, modQuantFlag)};
  *pCount = KVN_KERNEL(quant_h263, quant)(pSrcDst, q);
  return KVN_STS_OK;
}

KVN_ENTRY(kvniQuantIntra_H263_16s_C1I)
(Kvn16s* pSrcDst, Kvn32s QP, Kvn32s* pCount, Kvn32s advIntraFlag, Kvn32s modQuantFlag) {
  KVN_CHECK_PTRS(pSrcDst, pCount);
  if (!in_range(QP - 1, 30)) return KVN_STS_QP_ERR;
  const uint32_t r = quant_h263::recip(QP), limit = level_limit(QP, modQuantFlag);
  if (advIntraFlag) {
    *pCount = KVN_KERNEL(quant_h263, quant)(pSrcDst, UniformQuant{uint32_t(3 * QP / 4), 0, 32767, r, limit});
    return KVN_STS_OK;
  }
  const int32_t c0 = pSrcDst[0];
  const int32_t n = KVN_KERNEL(quant_h263, quant)(pSrcDst, UniformQuant{0, 0, 32768, r, limit});
  *pCount = n - (pSrcDst[0] != 0) + 1;  // the INTRADC always counts
  pSrcDst[0] = intradc_level(c0);
  return KVN_STS_OK;
}

KVN_ENTRY(kvniQuantInvInter_H263_16s_C1I)
(Kvn16s* pSrcDst, Kvn32s indxLastNonZero, Kvn32s QP, Kvn32s modQuantFlag) {
  KVN_CHECK_PTRS(pSrcDst);
  if (!in_range(QP - 1, 30)) return KVN_STS_QP_ERR;
  if (indxLastNonZero < 0) return KVN_STS_OUT_OF_RANGE;
  const int32_t last = indxLastNonZero < 63 ? indxLastNonZero : 63;
  KVN_KERNEL(quant_h263, inv)
  (pSrcDst, last, 2 * QP, quant_h263::odd_term(QP), recon_lo(modQuantFlag), recon_hi(modQuantFlag));
  return KVN_STS_OK;
}

KVN_ENTRY(kvniQuantInvIntra_H263_16s_C1I)
(Kvn16s* pSrcDst, Kvn32s indxLastNonZero, Kvn32s QP, Kvn32s advIntraFlag, Kvn32s modQuantFlag) {
  KVN_CHECK_PTRS(pSrcDst);
  if (!in_range(QP - 1, 30)) return KVN_STS_QP_ERR;
  if (indxLastNonZero < 0) return KVN_STS_OUT_OF_RANGE;
  const int32_t last = indxLastNonZero < 63 ? indxLastNonZero : 63;
  if (advIntraFlag) {
    KVN_KERNEL(quant_h263, inv)(pSrcDst, last, 2 * QP, 0, -32768, 32767);
    return KVN_STS_OK;
  }
  const int32_t dc = 8 * pSrcDst[0];
  if (last > 0) KVN_KERNEL(quant_h263, inv)
  (pSrcDst, last, 2 * QP, quant_h263::odd_term(QP), recon_lo(modQuantFlag), recon_hi(modQuantFlag));
  pSrcDst[0] = int16_t(dc < -32768 ? -32768 : dc > 32767 ? 32767 : dc);
  return KVN_STS_OK;
}
