// Entries of the AVS inter reconstruction: pointers (the coefficient-buffer
// pointer behind the first argument included), then the QP
// (KVN_STS_OUT_OF_RANGE); nothing is read or written before. Any row step is
// taken as it is (rows handled in increasing order, blocks in the order of
// the coded block pattern's bits).
#include <cstddef>

#include "avs/recon_avs.h"
#include "core/entry.h"
#include "tables/avs_tables.h"

using namespace kvn;

namespace {

template <int Level>
inline void recon_block(const Kvn16s* coef, Kvn8u* dst, int32_t step, uint32_t count, int32_t qp) {
  const int32_t scale = avs::kAvsDequantScale[qp], shift = avs::kAvsDequantShift[qp];
  with_index<kAvsPaths>(avs_recon_path(count), [&](auto p) {
    recon_avs_level_kernel<Level>([&](const auto& t) { return t.block[p]; })(coef, dst, step, scale, shift);
  });
}

}  // namespace

KVN_ENTRY(kvniReconstructLumaInter_AVS_16s8u_C1R)
(Kvn16s** ppSrcCoeff, Kvn8u* pSrcDst, Kvn32s srcDstStep, const Kvn32u* pNumCoeff, Kvn8u cbp, Kvn32s QP) {
  KVN_CHECK_PTRS(ppSrcCoeff, pSrcDst, pNumCoeff);
  KVN_CHECK_PTRS(*ppSrcCoeff);
  if (!in_range(QP, avs::kAvsMaxQp)) return KVN_STS_OUT_OF_RANGE;
  const Kvn16s* coef = *ppSrcCoeff;
  for (int b = 0; b < 4; ++b) {
    if (!(cbp >> b & 1)) continue;
    Kvn8u* dst = pSrcDst + 8 * (b & 1) + std::ptrdiff_t(8 * (b >> 1)) * srcDstStep;
    recon_block<KVN_ENTRY_LEVEL>(coef, dst, srcDstStep, pNumCoeff[b], QP);
    coef += 64;
  }
  *ppSrcCoeff = const_cast<Kvn16s*>(coef);
  return KVN_STS_OK;
}

KVN_ENTRY(kvniReconstructChromaInter_AVS_16s8u_C1R)
(Kvn16s** ppSrcCoeff, Kvn8u* pSrcDstU, Kvn8u* pSrcDstV, Kvn32s srcDstStep, const Kvn32u* pNumCoeff, Kvn8u cbp,
 Kvn32s chromaQP) {
  KVN_CHECK_PTRS(ppSrcCoeff, pSrcDstU, pSrcDstV, pNumCoeff);
  KVN_CHECK_PTRS(*ppSrcCoeff);
  if (!in_range(chromaQP, avs::kAvsMaxChromaQp)) return KVN_STS_OUT_OF_RANGE;
  const Kvn16s* coef = *ppSrcCoeff;
  for (int b = 0; b < 4; ++b) {
    if (!(cbp >> b & 1)) continue;
    Kvn8u* dst = (b & 1 ? pSrcDstV : pSrcDstU) + std::ptrdiff_t(8 * (b >> 1)) * srcDstStep;
    recon_block<KVN_ENTRY_LEVEL>(coef, dst, srcDstStep, pNumCoeff[b], chromaQP);
    coef += 64;
  }
  *ppSrcCoeff = const_cast<Kvn16s*>(coef);
  return KVN_STS_OK;
}
