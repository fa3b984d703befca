// Entries of the MPEG-4 quantisers and their states. Init checks everything
// (the state pointer, bits per pixel 4..12: KVN_STS_OUT_OF_RANGE, every
// weight non-zero: KVN_STS_QP_ERR) before it writes a byte. The quantisers
// check the pointers, the state's tag (KVN_STS_CONTEXT_MISMATCH) and QP
// 1..QPmax of the state's bits per pixel (KVN_STS_QP_ERR; a state with bits
// per pixel outside 4..12, which only a forged one has, allows no QP), then
// run the uniform kernels (no matrix, 8 bits or less), the matrix kernels or
// the float ones. The inverse quantisers take a last index above 63 as 63.
#include "core/entry.h"
#include "mpeg4/quant_h263.h"
#include "mpeg4/quant_mpeg4.h"
#include "mpeg4/quant_mpeg4_state.h"

using namespace kvn;
using namespace kvn::mpeg4;

namespace {

KvnResult init_forward(const Kvn8u* matrix, KvnQuantState_MPEG4* mem, int32_t bits, const char (&tag)[4]) {
  KVN_CHECK_PTRS(mem);
  if (!valid_bits_per_pixel(bits)) return KVN_STS_OUT_OF_RANGE;
  if (matrix)
    for (int k = 0; k < 64; ++k)
      if (matrix[k] == 0) return KVN_STS_QP_ERR;
  KvnQuantState_MPEG4& s = *aligned_state<KvnQuantState_MPEG4>(mem);
  if (matrix) {
    for (int k = 0; k < 64; ++k) {
      const uint32_t w = matrix[k];
      if (bits <= 8) {
        s.weights[k] = uint16_t(w / 2);
        s.scale.reciprocals[k] = uint16_t(w == 1 ? 65535 : 65536 / w + 1);
      } else {
        s.weights[k] = uint16_t(w);
        s.scale.inverses[k] = float(1.0 / double(w));
      }
    }
  }
  s.bitsPerPixel = bits;
  s.matrixFlag = matrix != nullptr;
  std::memcpy(s.tag, tag, 4);
  return KVN_STS_OK;
}

KvnResult init_inverse(const Kvn8u* matrix, KvnQuantInvState_MPEG4* mem, int32_t bits, const char (&tag)[4]) {
  KVN_CHECK_PTRS(mem);
  if (!valid_bits_per_pixel(bits)) return KVN_STS_OUT_OF_RANGE;
  if (matrix)
    for (int k = 0; k < 64; ++k)
      if (matrix[k] == 0) return KVN_STS_QP_ERR;
  KvnQuantInvState_MPEG4& s = *aligned_state<KvnQuantInvState_MPEG4>(mem);
  if (matrix)
    for (int k = 0; k < 64; ++k) s.weights[k] = matrix[k];
  s.bitsPerPixel = bits;
  s.matrixFlag = matrix != nullptr;
  std::memcpy(s.tag, tag, 4);
  return KVN_STS_OK;
}

inline bool qp_ok(int32_t qp, int32_t bits) { return qp >= 1 && qp <= qp_max(bits); }

}  // namespace

KVN_ENTRY(kvniQuantInterGetSize_MPEG4)(Kvn32s* pSize) {
  KVN_CHECK_PTRS(pSize);
  *pSize = kStateBytes;
  return KVN_STS_OK;
}

KVN_ENTRY(kvniQuantInvInterGetSize_MPEG4)(Kvn32s* pSize) {
  KVN_CHECK_PTRS(pSize);
  *pSize = kInvStateBytes;
  return KVN_STS_OK;
}

KVN_ENTRY(kvniQuantInterInit_MPEG4)(const Kvn8u* pQuantMatrix, KvnQuantState_MPEG4* pSpec, Kvn32s bitsPerPixel) {
  return init_forward(pQuantMatrix, pSpec, bitsPerPixel, kTagInter);
}

KVN_ENTRY(kvniQuantIntraInit_MPEG4)(const Kvn8u* pQuantMatrix, KvnQuantState_MPEG4* pSpec, Kvn32s bitsPerPixel) {
  return init_forward(pQuantMatrix, pSpec, bitsPerPixel, kTagIntra);
}

KVN_ENTRY(kvniQuantInvInterInit_MPEG4)
(const Kvn8u* pQuantMatrix, KvnQuantInvState_MPEG4* pSpec, Kvn32s bitsPerPixel) {
  return init_inverse(pQuantMatrix, pSpec, bitsPerPixel, kTagInvInter);
}

KVN_ENTRY(kvniQuantInvIntraInit_MPEG4)
(const Kvn8u* pQuantMatrix, KvnQuantInvState_MPEG4* pSpec, Kvn32s bitsPerPixel) {
  return init_inverse(pQuantMatrix, pSpec, bitsPerPixel, kTagInvIntra);
}

KVN_ENTRY(kvniQuantInter_MPEG4_16s_C1I)
(Kvn16s* pCoeffs, const KvnQuantState_MPEG4* pSpec, Kvn32s QP, Kvn32s* pCount) {
  KVN_CHECK_PTRS(pCoeffs, pSpec, pCount);
  const KvnQuantState_MPEG4& s = *aligned_state<const KvnQuantState_MPEG4>(pSpec);
  if (!has_tag(s.tag, kTagInter)) return KVN_STS_CONTEXT_MISMATCH;
  if (!qp_ok(QP, s.bitsPerPixel)) return KVN_STS_QP_ERR;
  if (s.bitsPerPixel > 8)
    *pCount = KVN_KERNEL(quant_mpeg4, quant_float)(pCoeffs, s, QP, 0);
  else if (s.matrixFlag)
    *pCount = KVN_KERNEL(quant_mpeg4, quant_matrix)(pCoeffs, s, QP, 0, 0);
  else
    *pCount =
        KVN_KERNEL(quant_h263, quant)(pCoeffs, UniformQuant{0, uint32_t(QP / 2), 32768, quant_h263::recip(QP), 65535});
  return KVN_STS_OK;
}

KVN_ENTRY(kvniQuantIntra_MPEG4_16s_C1I)
(Kvn16s* pCoeffs, const KvnQuantState_MPEG4* pSpec, Kvn32s QP, Kvn32s* pCount, Kvn32s blockType) {
  KVN_CHECK_PTRS(pCoeffs, pSpec, pCount);
  const KvnQuantState_MPEG4& s = *aligned_state<const KvnQuantState_MPEG4>(pSpec);
  if (!has_tag(s.tag, kTagIntra)) return KVN_STS_CONTEXT_MISMATCH;
  if (!qp_ok(QP, s.bitsPerPixel)) return KVN_STS_QP_ERR;
  const int32_t c0 = pCoeffs[0], scaler = dc_scaler(QP, blockType), m0 = c0 < 0 ? -c0 : c0;
  const int32_t l0 = clamp((m0 + scaler / 2) / scaler, 0, 2047);
  int32_t n;
  if (s.bitsPerPixel > 8) {
    n = KVN_KERNEL(quant_mpeg4, quant_float)(pCoeffs, s, QP, 1);
  } else if (s.matrixFlag) {
    n = KVN_KERNEL(quant_mpeg4, quant_matrix)(pCoeffs, s, QP, 1, uint32_t((3 * QP + 2) / 4));
  } else {
    n = KVN_KERNEL(quant_h263, quant)(pCoeffs, UniformQuant{0, 0, 32768, quant_h263::recip(QP), 65535});
    n -= pCoeffs[0] != 0;
  }
  pCoeffs[0] = int16_t(c0 < 0 ? -l0 : l0);
  *pCount = n + (l0 != 0);
  return KVN_STS_OK;
}

KVN_ENTRY(kvniQuantInvInter_MPEG4_16s_C1I)
(Kvn16s* pCoeffs, Kvn32s indxLastNonZero, const KvnQuantInvState_MPEG4* pSpec, Kvn32s QP) {
  KVN_CHECK_PTRS(pCoeffs, pSpec);
  const KvnQuantInvState_MPEG4& s = *aligned_state<const KvnQuantInvState_MPEG4>(pSpec);
  if (!has_tag(s.tag, kTagInvInter)) return KVN_STS_CONTEXT_MISMATCH;
  if (!qp_ok(QP, s.bitsPerPixel)) return KVN_STS_QP_ERR;
  const int32_t last = indxLastNonZero < 63 ? indxLastNonZero : 63;
  const int32_t lo = recon_min(s.bitsPerPixel), hi = recon_max(s.bitsPerPixel);
  if (!s.matrixFlag) {
    if (last >= 0) KVN_KERNEL(quant_h263, inv)(pCoeffs, last, 2 * QP, quant_h263::odd_term(QP), lo, hi);
    return KVN_STS_OK;
  }
  int32_t parity = last >= 0 ? KVN_KERNEL(quant_mpeg4, inv_inter)(pCoeffs, last, s.weights, QP, lo, hi) : 0;
  if (last < 63) parity ^= pCoeffs[63] & 1;
  if (!parity) pCoeffs[63] = int16_t(pCoeffs[63] ^ 1);  // mismatch control (7.4.4.3)
  return KVN_STS_OK;
}

KVN_ENTRY(kvniQuantInvIntra_MPEG4_16s_C1I)
(Kvn16s* pCoeffs, Kvn32s indxLastNonZero, const KvnQuantInvState_MPEG4* pSpec, Kvn32s QP, Kvn32s blockType) {
  KVN_CHECK_PTRS(pCoeffs, pSpec);
  const KvnQuantInvState_MPEG4& s = *aligned_state<const KvnQuantInvState_MPEG4>(pSpec);
  if (!has_tag(s.tag, kTagInvIntra)) return KVN_STS_CONTEXT_MISMATCH;
  if (!qp_ok(QP, s.bitsPerPixel)) return KVN_STS_QP_ERR;
  const int32_t last = indxLastNonZero < 63 ? indxLastNonZero : 63;
  const int32_t lo = recon_min(s.bitsPerPixel), hi = recon_max(s.bitsPerPixel);
  const int16_t f0 = int16_t(clamp(dc_scaler(QP, blockType) * pCoeffs[0], lo, hi));
  if (!s.matrixFlag) {
    if (last > 0) KVN_KERNEL(quant_h263, inv)(pCoeffs, last, 2 * QP, quant_h263::odd_term(QP), lo, hi);
    pCoeffs[0] = f0;
    return KVN_STS_OK;
  }
  pCoeffs[0] = f0;
  if (last < 1) {
    if ((f0 & 1) == 0) pCoeffs[63] = 1;
    return KVN_STS_OK;
  }
  int32_t parity = KVN_KERNEL(quant_mpeg4, inv_intra)(pCoeffs, last, s.weights, QP, lo, hi) ^ (f0 & 1);
  if (last < 63) parity ^= pCoeffs[63] & 1;
  if (!parity) pCoeffs[63] = int16_t(pCoeffs[63] ^ 1);  // mismatch control (7.4.4.3)
  return KVN_STS_OK;
}
