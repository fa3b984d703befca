// Entries of the block differences: null-pointer checks (the only checks;
// the prediction and difference outputs marked optional may be null), then
// one call through the kernel table.
#include "core/entry.h"
#include "diff.h"

using namespace kvn;

namespace {

inline KvnResult get_diff(DiffSize size, const Kvn8u* src, int32_t ss, const Kvn8u* ref, int32_t rs, Kvn16s* diff,
                          int32_t ds, Kvn16s* pred, int32_t ps, int32_t mode, int32_t rounding) {
  KVN_CHECK_PTRS(src, ref, diff);
  KVN_KERNEL(diff, get_diff[size][pred != nullptr][diff_index(mode, rounding)])(src, ss, ref, rs, diff, ds, pred, ps);
  return KVN_STS_OK;
}

inline KvnResult get_diff_b(DiffSize size, const Kvn8u* src, int32_t ss, const Kvn8u* rf, int32_t fs, int32_t modeF,
                            const Kvn8u* rb, int32_t bs, int32_t modeB, Kvn16s* diff, int32_t ds, int32_t rounding) {
  KVN_CHECK_PTRS(src, rf, rb, diff);
  KVN_KERNEL(diff, get_diff_b[size][diff_b_index(modeF, modeB, rounding)])(src, ss, rf, fs, rb, bs, diff, ds);
  return KVN_STS_OK;
}

inline KvnResult get_diff_p2(DiffP2Size size, const Kvn8u* src, int32_t ss, const Kvn8u* ref, int32_t rs, Kvn16s* du,
                             int32_t dus, Kvn16s* dv, int32_t dvs, int32_t mode, int32_t rounding) {
  KVN_CHECK_PTRS(src, ref, du, dv);
  KVN_KERNEL(diff, get_diff_p2[size][diff_index(mode, rounding)])(src, ss, ref, rs, du, dus, dv, dvs);
  return KVN_STS_OK;
}

inline KvnResult get_diff_p2b(DiffP2Size size, const Kvn8u* src, int32_t ss, const Kvn8u* rf, int32_t fs, int32_t modeF,
                              const Kvn8u* rb, int32_t bs, int32_t modeB, Kvn16s* du, int32_t dus, Kvn16s* dv,
                              int32_t dvs, int32_t rounding) {
  KVN_CHECK_PTRS(src, rf, rb, du, dv);
  KVN_KERNEL(diff, get_diff_p2b[size][diff_b_index(modeF, modeB, rounding)])(src, ss, rf, fs, rb, bs, du, dus, dv, dvs);
  return KVN_STS_OK;
}

// Sub of 8x8 and 16x16 samples: the full-sample GetDiff kernel without prediction output.
inline KvnResult sub(DiffSize size, const Kvn8u* s1, int32_t st1, const Kvn8u* s2, int32_t st2, Kvn16s* d, int32_t ds) {
  KVN_CHECK_PTRS(s1, s2, d);
  KVN_KERNEL(diff, get_diff[size][0][0])(s1, st1, s2, st2, d, ds, nullptr, 0);
  return KVN_STS_OK;
}

inline KvnResult sub16u(Sub16uFn fn, const Kvn16u* s1, int32_t st1, const Kvn16u* s2, int32_t st2, Kvn16s* d,
                        int32_t ds) {
  KVN_CHECK_PTRS(s1, s2, d);
  fn(s1, st1, s2, st2, d, ds);
  return KVN_STS_OK;
}

inline KvnResult sums_diff(SumsSize size, const Kvn8u* src, int32_t ss, const Kvn8u* pred, int32_t ps, Kvn16s* sums,
                           Kvn16s* diff) {
  KVN_CHECK_PTRS(src, pred, sums);
  KVN_KERNEL(diff, sums_diff[size][diff != nullptr])(src, ss, pred, ps, sums, diff);
  return KVN_STS_OK;
}

inline KvnResult sums_diff16u(SumsSize size, const Kvn16u* src, int32_t ss, const Kvn16u* pred, int32_t ps,
                              Kvn32s* sums, Kvn16s* diff) {
  KVN_CHECK_PTRS(src, pred, sums);
  KVN_KERNEL(diff, sums_diff16u[size][diff != nullptr])(src, ss, pred, ps, sums, diff);
  return KVN_STS_OK;
}

}  // namespace

// ---- differences against a (half-sample) prediction ------------------------

KVN_ENTRY(kvniGetDiff4x4_8u16s_C1)
(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep, Kvn16s* pDstDiff, int32_t dstDiffStep) {
  KVN_CHECK_PTRS(pSrc, pRef, pDstDiff);
  KVN_KERNEL(diff, diff4x4)(pSrc, srcStep, pRef, refStep, pDstDiff, dstDiffStep);
  return KVN_STS_OK;
}

KVN_ENTRY(kvniGetDiff8x4_8u16s_C1)
(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep, Kvn16s* pDstDiff, int32_t dstDiffStep,
 Kvn16s* pDstPredictor, int32_t dstPredictorStep, int32_t mode, int32_t rounding) {
  return get_diff(kDiff8x4, pSrc, srcStep, pRef, refStep, pDstDiff, dstDiffStep, pDstPredictor, dstPredictorStep, mode,
                  rounding);
}

KVN_ENTRY(kvniGetDiff8x4B_8u16s_C1)
(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRefF, int32_t refFStep, int32_t modeF, const Kvn8u* pRefB,
 int32_t refBStep, int32_t modeB, Kvn16s* pDstDiff, int32_t dstDiffStep, int32_t rounding) {
  return get_diff_b(kDiff8x4, pSrc, srcStep, pRefF, refFStep, modeF, pRefB, refBStep, modeB, pDstDiff, dstDiffStep,
                    rounding);
}

KVN_ENTRY(kvniGetDiff8x8_8u16s_C1)
(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep, Kvn16s* pDstDiff, int32_t dstDiffStep,
 Kvn16s* pDstPredictor, int32_t dstPredictorStep, int32_t mode, int32_t rounding) {
  return get_diff(kDiff8x8, pSrc, srcStep, pRef, refStep, pDstDiff, dstDiffStep, pDstPredictor, dstPredictorStep, mode,
                  rounding);
}

KVN_ENTRY(kvniGetDiff8x8B_8u16s_C1)
(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRefF, int32_t refFStep, int32_t modeF, const Kvn8u* pRefB,
 int32_t refBStep, int32_t modeB, Kvn16s* pDstDiff, int32_t dstDiffStep, int32_t rounding) {
  return get_diff_b(kDiff8x8, pSrc, srcStep, pRefF, refFStep, modeF, pRefB, refBStep, modeB, pDstDiff, dstDiffStep,
                    rounding);
}

KVN_ENTRY(kvniGetDiff8x16_8u16s_C1)
(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep, Kvn16s* pDstDiff, int32_t dstDiffStep,
 Kvn16s* pDstPredictor, int32_t dstPredictorStep, int32_t mode, int32_t rounding) {
  return get_diff(kDiff8x16, pSrc, srcStep, pRef, refStep, pDstDiff, dstDiffStep, pDstPredictor, dstPredictorStep, mode,
                  rounding);
}

KVN_ENTRY(kvniGetDiff8x16B_8u16s_C1)
(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRefF, int32_t refFStep, int32_t modeF, const Kvn8u* pRefB,
 int32_t refBStep, int32_t modeB, Kvn16s* pDstDiff, int32_t dstDiffStep, int32_t rounding) {
  return get_diff_b(kDiff8x16, pSrc, srcStep, pRefF, refFStep, modeF, pRefB, refBStep, modeB, pDstDiff, dstDiffStep,
                    rounding);
}

KVN_ENTRY(kvniGetDiff16x8_8u16s_C1)
(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep, Kvn16s* pDstDiff, int32_t dstDiffStep,
 Kvn16s* pDstPredictor, int32_t dstPredictorStep, int32_t mode, int32_t rounding) {
  return get_diff(kDiff16x8, pSrc, srcStep, pRef, refStep, pDstDiff, dstDiffStep, pDstPredictor, dstPredictorStep, mode,
                  rounding);
}

KVN_ENTRY(kvniGetDiff16x8B_8u16s_C1)
(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRefF, int32_t refFStep, int32_t modeF, const Kvn8u* pRefB,
 int32_t refBStep, int32_t modeB, Kvn16s* pDstDiff, int32_t dstDiffStep, int32_t rounding) {
  return get_diff_b(kDiff16x8, pSrc, srcStep, pRefF, refFStep, modeF, pRefB, refBStep, modeB, pDstDiff, dstDiffStep,
                    rounding);
}

KVN_ENTRY(kvniGetDiff16x16_8u16s_C1)
(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep, Kvn16s* pDstDiff, int32_t dstDiffStep,
 Kvn16s* pDstPredictor, int32_t dstPredictorStep, int32_t mode, int32_t rounding) {
  return get_diff(kDiff16x16, pSrc, srcStep, pRef, refStep, pDstDiff, dstDiffStep, pDstPredictor, dstPredictorStep,
                  mode, rounding);
}

KVN_ENTRY(kvniGetDiff16x16B_8u16s_C1)
(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRefF, int32_t refFStep, int32_t modeF, const Kvn8u* pRefB,
 int32_t refBStep, int32_t modeB, Kvn16s* pDstDiff, int32_t dstDiffStep, int32_t rounding) {
  return get_diff_b(kDiff16x16, pSrc, srcStep, pRefF, refFStep, modeF, pRefB, refBStep, modeB, pDstDiff, dstDiffStep,
                    rounding);
}

KVN_ENTRY(kvniGetDiff8x4_8u16s_C2P2)
(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep, Kvn16s* pDstDiffU, int32_t dstDiffUStep,
 Kvn16s* pDstDiffV, int32_t dstDiffVStep, int32_t mode, int32_t rounding) {
  return get_diff_p2(kDiffP2_8x4, pSrc, srcStep, pRef, refStep, pDstDiffU, dstDiffUStep, pDstDiffV, dstDiffVStep, mode,
                     rounding);
}

KVN_ENTRY(kvniGetDiff8x4B_8u16s_C2P2)
(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRefF, int32_t refFStep, int32_t modeF, const Kvn8u* pRefB,
 int32_t refBStep, int32_t modeB, Kvn16s* pDstDiffU, int32_t dstDiffUStep, Kvn16s* pDstDiffV, int32_t dstDiffVStep,
 int32_t rounding) {
  return get_diff_p2b(kDiffP2_8x4, pSrc, srcStep, pRefF, refFStep, modeF, pRefB, refBStep, modeB, pDstDiffU,
                      dstDiffUStep, pDstDiffV, dstDiffVStep, rounding);
}

KVN_ENTRY(kvniGetDiff8x8_8u16s_C2P2)
(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep, Kvn16s* pDstDiffU, int32_t dstDiffUStep,
 Kvn16s* pDstDiffV, int32_t dstDiffVStep, int32_t mode, int32_t rounding) {
  return get_diff_p2(kDiffP2_8x8, pSrc, srcStep, pRef, refStep, pDstDiffU, dstDiffUStep, pDstDiffV, dstDiffVStep, mode,
                     rounding);
}

KVN_ENTRY(kvniGetDiff8x8B_8u16s_C2P2)
(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRefF, int32_t refFStep, int32_t modeF, const Kvn8u* pRefB,
 int32_t refBStep, int32_t modeB, Kvn16s* pDstDiffU, int32_t dstDiffUStep, Kvn16s* pDstDiffV, int32_t dstDiffVStep,
 int32_t rounding) {
  return get_diff_p2b(kDiffP2_8x8, pSrc, srcStep, pRefF, refFStep, modeF, pRefB, refBStep, modeB, pDstDiffU,
                      dstDiffUStep, pDstDiffV, dstDiffVStep, rounding);
}

// ---- plain differences ---------------------------------------------------------

KVN_ENTRY(kvniSub4x4_8u16s_C1R)
(const Kvn8u* pSrc1, int32_t src1Step, const Kvn8u* pSrc2, int32_t src2Step, Kvn16s* pDst, int32_t dstStep) {
  KVN_CHECK_PTRS(pSrc1, pSrc2, pDst);
  KVN_KERNEL(diff, diff4x4)(pSrc1, src1Step, pSrc2, src2Step, pDst, dstStep);
  return KVN_STS_OK;
}

KVN_ENTRY(kvniSub8x8_8u16s_C1R)
(const Kvn8u* pSrc1, int32_t src1Step, const Kvn8u* pSrc2, int32_t src2Step, Kvn16s* pDst, int32_t dstStep) {
  return sub(kDiff8x8, pSrc1, src1Step, pSrc2, src2Step, pDst, dstStep);
}

KVN_ENTRY(kvniSub16x16_8u16s_C1R)
(const Kvn8u* pSrc1, int32_t src1Step, const Kvn8u* pSrc2, int32_t src2Step, Kvn16s* pDst, int32_t dstStep) {
  return sub(kDiff16x16, pSrc1, src1Step, pSrc2, src2Step, pDst, dstStep);
}

KVN_ENTRY(kvniSub4x4_16u16s_C1R)
(const Kvn16u* pSrc1, int32_t src1Step, const Kvn16u* pSrc2, int32_t src2Step, Kvn16s* pDst, int32_t dstStep) {
  return sub16u(KVN_KERNEL(diff, sub16u4x4), pSrc1, src1Step, pSrc2, src2Step, pDst, dstStep);
}

KVN_ENTRY(kvniSub8x8_16u16s_C1R)
(const Kvn16u* pSrc1, int32_t src1Step, const Kvn16u* pSrc2, int32_t src2Step, Kvn16s* pDst, int32_t dstStep) {
  return sub16u(KVN_KERNEL(diff, sub16u8x8), pSrc1, src1Step, pSrc2, src2Step, pDst, dstStep);
}

// ---- sums of 4x4 blocks ----------------------------------------------------------

KVN_ENTRY(kvniSumsDiff8x8Blocks4x4_8u16s_C1)
(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pPred, int32_t predStep, Kvn16s* pSums, Kvn16s* pDiff) {
  return sums_diff(kSums8x8, pSrc, srcStep, pPred, predStep, pSums, pDiff);
}

KVN_ENTRY(kvniSumsDiff8x8Blocks4x4_16u32s_C1R)
(const Kvn16u* pSrc, int32_t srcStep, const Kvn16u* pPred, int32_t predStep, Kvn32s* pSums, Kvn16s* pDiff) {
  return sums_diff16u(kSums8x8, pSrc, srcStep, pPred, predStep, pSums, pDiff);
}

KVN_ENTRY(kvniSumsDiff16x16Blocks4x4_8u16s_C1)
(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pPred, int32_t predStep, Kvn16s* pSums, Kvn16s* pDiff) {
  return sums_diff(kSums16x16, pSrc, srcStep, pPred, predStep, pSums, pDiff);
}

KVN_ENTRY(kvniSumsDiff16x16Blocks4x4_16u32s_C1R)
(const Kvn16u* pSrc, int32_t srcStep, const Kvn16u* pPred, int32_t predStep, Kvn32s* pSums, Kvn16s* pDiff) {
  return sums_diff16u(kSums16x16, pSrc, srcStep, pPred, predStep, pSums, pDiff);
}

KVN_ENTRY(kvniSumsDiff8x8Blocks4x4_8u16s_C2P2)
(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pPredU, int32_t predUStep, const Kvn8u* pPredV, int32_t predVStep,
 Kvn16s* pSumsU, Kvn16s* pDiffU, Kvn16s* pSumsV, Kvn16s* pDiffV) {
  KVN_CHECK_PTRS(pSrc, pPredU, pPredV, pSumsU, pSumsV);
  const int index = (pDiffU != nullptr) + 2 * (pDiffV != nullptr);
  KVN_KERNEL(diff, sums_diff_p2[index])
  (pSrc, srcStep, pPredU, predUStep, pPredV, predVStep, pSumsU, pDiffU, pSumsV, pDiffV);
  return KVN_STS_OK;
}
