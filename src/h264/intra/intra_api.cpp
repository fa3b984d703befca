// Entries of the H.264 intra predictors: pointer, step, then (16x16 and
// chroma) the neighbours the mode needs, then the mode; one kernel call.
#include "core/entry.h"
#include "h264/intra/intra.h"

using namespace kvn;

namespace {

// Neighbours the directional modes of 16x16 and chroma require: the top, the
// left, or (plane) both and the top-left.
constexpr int32_t kAll3 = kAvailTop | kAvailLeft | kAvailTopLeft;
inline bool missing(int32_t needed, int32_t avail) { return (avail & needed) != needed; }

// kernel(mode) is the predictor of a mode 0..3.
template <class Kernel>
inline KvnResult predict_nxn(Kvn8u* p, int32_t step, int32_t n, int32_t mode, int32_t avail, int32_t verMode,
                             int32_t horMode, Kernel kernel) {
  KVN_CHECK_PTRS(p);
  if (step < n) return KVN_STS_STEP_ERR;
  if ((mode == verMode && missing(kAvailTop, avail)) || (mode == horMode && missing(kAvailLeft, avail)) ||
      (mode == 3 && missing(kAll3, avail)))
    return KVN_STS_INTRA_UNAVAILABLE;
  if (uint32_t(mode) > 3) return KVN_STS_OUT_OF_RANGE;
  kernel(mode)(p, step, avail);
  return KVN_STS_OK;
}

}  // namespace

KVN_ENTRY(kvniPredictIntra_4x4_H264_8u_C1IR)(Kvn8u* pSrcDst, int32_t srcDstStep, int32_t mode, int32_t availability) {
  KVN_CHECK_PTRS(pSrcDst);
  if (srcDstStep < 4) return KVN_STS_STEP_ERR;
  if (uint32_t(mode) > 8) return KVN_STS_OUT_OF_RANGE;
  KVN_KERNEL(intra, pred4x4[mode])(pSrcDst, srcDstStep, availability);
  // A warning when 128 stood in for a neighbour the mode reads.
  return intra4x4_substituted(mode, availability) ? KVN_STS_WRN_SUBSTITUTE : KVN_STS_OK;
}

KVN_ENTRY(kvniPredictIntra_16x16_H264_8u_C1IR)(Kvn8u* pSrcDst, int32_t srcDstStep, int32_t mode, int32_t availability) {
  return predict_nxn(pSrcDst, srcDstStep, 16, mode, availability, 0, 1,
                     [](int32_t m) { return KVN_KERNEL(intra, pred16x16[m]); });
}

KVN_ENTRY(kvniPredictIntraChroma8x8_H264_8u_C1IR)
(Kvn8u* pSrcDst, int32_t srcDstStep, int32_t mode, int32_t availability) {
  return predict_nxn(pSrcDst, srcDstStep, 8, mode, availability, 2, 1,
                     [](int32_t m) { return KVN_KERNEL(intra, chroma8x8[m]); });
}
