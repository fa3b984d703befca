// Entries of the H.264 8-bit 4:2:0 chroma macroblock reconstruction:
// pointers, chroma QPs, (C2R) the step, the mode, then the walk in
// recon_mb.cpp (neighbour checks, prediction, residual).
#include "core/entry.h"
#include "h264/recon/recon_mb.h"

using namespace kvn;
using recon8::ChromaCall;
using recon8::ChromaPred;
using recon8::quant;

namespace {

constexpr uint32_t kMaxQpc = 39, kMaxQpcHalves = 51, kMaxMode = 3;

// Older functions: one QPc for both components, pre-shifted dequantisation.
ChromaCall legacy(Kvn16s** stream, Kvn8u* cb, Kvn8u* cr, int32_t step, Kvn32u mask, int32_t qpc) {
  return {stream, cb,     cr,   step, mask, {quant(qpc, nullptr, 0), quant(qpc, nullptr, 0)}, ChromaPred::kNone,
          0,      {0, 0}, false};
}

ChromaCall scaled(Kvn16s** stream, Kvn8u* cb, Kvn8u* cr, int32_t step, Kvn32u mask, int32_t qpu, int32_t qpv,
                  const Kvn16s* tu, const Kvn16s* tv, Kvn8u bypass) {
  return {stream, cb,     cr,   step, mask, {quant(qpu, tu, bypass), quant(qpv, tv, bypass)}, ChromaPred::kNone,
          0,      {0, 0}, false};
}

ChromaCall with_pred(ChromaCall c, ChromaPred pred, int32_t mode, Kvn8u edgeTop, Kvn8u edgeBottom) {
  c.pred = pred;
  c.mode = mode;
  c.edges[0] = edgeTop;
  c.edges[1] = edgeBottom;
  return c;
}

}  // namespace

KVN_ENTRY(kvniReconstructChromaInterMB_H264_16s8u_P2R)
(Kvn16s** ppSrcDstCoeff, Kvn8u* pSrcDstUPlane, Kvn8u* pSrcDstVPlane, int32_t srcDstUVStep, Kvn32u cbp4x4,
 int32_t chromaQP) {
  KVN_CHECK_PTRS(ppSrcDstCoeff, pSrcDstUPlane, pSrcDstVPlane);
  KVN_CHECK_PTRS(*ppSrcDstCoeff);
  if (!in_range(chromaQP, kMaxQpc)) return KVN_STS_OUT_OF_RANGE;
  return recon8::chroma(legacy(ppSrcDstCoeff, pSrcDstUPlane, pSrcDstVPlane, srcDstUVStep, cbp4x4, chromaQP));
}

KVN_ENTRY(kvniReconstructChromaInterMB_H264_16s8u_C2R)
(Kvn16s** ppSrcDstCoeff, Kvn8u* pSrcDstUVPlane, int32_t srcDstUVStep, Kvn32u cbp4x4, int32_t chromaQP) {
  KVN_CHECK_PTRS(ppSrcDstCoeff, pSrcDstUVPlane);
  KVN_CHECK_PTRS(*ppSrcDstCoeff);
  if (!in_range(chromaQP, kMaxQpc)) return KVN_STS_OUT_OF_RANGE;
  if (srcDstUVStep < 1) return KVN_STS_STEP_ERR;
  return recon8::chroma(legacy(ppSrcDstCoeff, pSrcDstUVPlane, nullptr, srcDstUVStep, cbp4x4, chromaQP));
}

KVN_ENTRY(kvniReconstructChromaInter4x4MB_H264_16s8u_P2R)
(Kvn16s** ppSrcDstCoeff, Kvn8u* pSrcDstUPlane, Kvn8u* pSrcDstVPlane, int32_t srcDstUVStep, Kvn32u cbp4x4,
 int32_t chromaQPU, int32_t chromaQPV, const Kvn16s* pQuantTableU, const Kvn16s* pQuantTableV, Kvn8u bypassFlag) {
  KVN_CHECK_PTRS(ppSrcDstCoeff, pSrcDstUPlane, pSrcDstVPlane);
  KVN_CHECK_PTRS(*ppSrcDstCoeff, pQuantTableU, pQuantTableV);
  if (!in_range(chromaQPU, kMaxQpc) || !in_range(chromaQPV, kMaxQpc)) return KVN_STS_OUT_OF_RANGE;
  return recon8::chroma(scaled(ppSrcDstCoeff, pSrcDstUPlane, pSrcDstVPlane, srcDstUVStep, cbp4x4, chromaQPU, chromaQPV,
                               pQuantTableU, pQuantTableV, bypassFlag));
}

KVN_ENTRY(kvniReconstructChromaInter4x4MB_H264_16s8u_C2R)
(Kvn16s** ppSrcDstCoeff, Kvn8u* pSrcDstUVPlane, int32_t srcDstUVStep, Kvn32u cbp4x4, int32_t chromaQPU,
 int32_t chromaQPV, const Kvn16s* pQuantTableU, const Kvn16s* pQuantTableV, Kvn8u bypassFlag) {
  KVN_CHECK_PTRS(ppSrcDstCoeff, pSrcDstUVPlane);
  KVN_CHECK_PTRS(*ppSrcDstCoeff, pQuantTableU, pQuantTableV);
  if (!in_range(chromaQPU, kMaxQpc) || !in_range(chromaQPV, kMaxQpc)) return KVN_STS_OUT_OF_RANGE;
  if (srcDstUVStep < 1) return KVN_STS_STEP_ERR;
  return recon8::chroma(scaled(ppSrcDstCoeff, pSrcDstUVPlane, nullptr, srcDstUVStep, cbp4x4, chromaQPU, chromaQPV,
                               pQuantTableU, pQuantTableV, bypassFlag));
}

KVN_ENTRY(kvniReconstructChromaIntraMB_H264_16s8u_P2R)
(Kvn16s** ppSrcDstCoeff, Kvn8u* pSrcDstUPlane, Kvn8u* pSrcDstVPlane, int32_t srcDstUVStep, int32_t intraChromaMode,
 Kvn32u cbp4x4, int32_t chromaQP, Kvn8u edgeType) {
  KVN_CHECK_PTRS(ppSrcDstCoeff, pSrcDstUPlane, pSrcDstVPlane);
  KVN_CHECK_PTRS(*ppSrcDstCoeff);
  if (!in_range(chromaQP, kMaxQpc) || !in_range(intraChromaMode, kMaxMode)) return KVN_STS_OUT_OF_RANGE;
  return recon8::chroma(with_pred(legacy(ppSrcDstCoeff, pSrcDstUPlane, pSrcDstVPlane, srcDstUVStep, cbp4x4, chromaQP),
                                  ChromaPred::kFull, intraChromaMode, edgeType, edgeType));
}

KVN_ENTRY(kvniReconstructChromaIntraMB_H264_16s8u_C2R)
(Kvn16s** ppSrcDstCoeff, Kvn8u* pSrcDstUVPlane, int32_t srcDstUVStep, int32_t intraChromaMode, Kvn32u cbp4x4,
 int32_t chromaQP, Kvn8u edgeType) {
  KVN_CHECK_PTRS(ppSrcDstCoeff, pSrcDstUVPlane);
  KVN_CHECK_PTRS(*ppSrcDstCoeff);
  if (!in_range(chromaQP, kMaxQpc)) return KVN_STS_OUT_OF_RANGE;
  if (srcDstUVStep < 1) return KVN_STS_STEP_ERR;
  if (!in_range(intraChromaMode, kMaxMode)) return KVN_STS_OUT_OF_RANGE;
  return recon8::chroma(with_pred(legacy(ppSrcDstCoeff, pSrcDstUVPlane, nullptr, srcDstUVStep, cbp4x4, chromaQP),
                                  ChromaPred::kFull, intraChromaMode, edgeType, edgeType));
}

KVN_ENTRY(kvniReconstructChromaIntra4x4MB_H264_16s8u_P2R)
(Kvn16s** ppSrcDstCoeff, Kvn8u* pSrcDstUPlane, Kvn8u* pSrcDstVPlane, int32_t srcDstUVStep, int32_t intraChromaMode,
 Kvn32u cbp4x4, int32_t chromaQPU, int32_t chromaQPV, Kvn8u edgeType, const Kvn16s* pQuantTableU,
 const Kvn16s* pQuantTableV, Kvn8u bypassFlag) {
  KVN_CHECK_PTRS(ppSrcDstCoeff, pSrcDstUPlane, pSrcDstVPlane);
  KVN_CHECK_PTRS(*ppSrcDstCoeff, pQuantTableU, pQuantTableV);
  if (!in_range(chromaQPU, kMaxQpc) || !in_range(chromaQPV, kMaxQpc)) return KVN_STS_OUT_OF_RANGE;
  if (!in_range(intraChromaMode, kMaxMode)) return KVN_STS_OUT_OF_RANGE;
  return recon8::chroma(with_pred(scaled(ppSrcDstCoeff, pSrcDstUPlane, pSrcDstVPlane, srcDstUVStep, cbp4x4, chromaQPU,
                                         chromaQPV, pQuantTableU, pQuantTableV, bypassFlag),
                                  ChromaPred::kFull, intraChromaMode, edgeType, edgeType));
}

KVN_ENTRY(kvniReconstructChromaIntra4x4MB_H264_16s8u_C2R)
(Kvn16s** ppSrcDstCoeff, Kvn8u* pSrcDstUVPlane, int32_t srcDstUVStep, int32_t intraChromaMode, Kvn32u cbp4x4,
 int32_t chromaQPU, int32_t chromaQPV, Kvn8u edgeType, const Kvn16s* pQuantTableU, const Kvn16s* pQuantTableV,
 Kvn8u bypassFlag) {
  KVN_CHECK_PTRS(ppSrcDstCoeff, pSrcDstUVPlane);
  KVN_CHECK_PTRS(*ppSrcDstCoeff, pQuantTableU, pQuantTableV);
  if (!in_range(chromaQPU, kMaxQpc) || !in_range(chromaQPV, kMaxQpc)) return KVN_STS_OUT_OF_RANGE;
  if (srcDstUVStep < 1) return KVN_STS_STEP_ERR;
  if (!in_range(intraChromaMode, kMaxMode)) return KVN_STS_OUT_OF_RANGE;
  return recon8::chroma(with_pred(scaled(ppSrcDstCoeff, pSrcDstUVPlane, nullptr, srcDstUVStep, cbp4x4, chromaQPU,
                                         chromaQPV, pQuantTableU, pQuantTableV, bypassFlag),
                                  ChromaPred::kFull, intraChromaMode, edgeType, edgeType));
}

KVN_ENTRY(kvniReconstructChromaIntraHalvesMB_H264_16s8u_P2R)
(Kvn16s** ppSrcDstCoeff, Kvn8u* pSrcDstUPlane, Kvn8u* pSrcDstVPlane, int32_t srcDstUVStep, int32_t intraChromaMode,
 Kvn32u cbp4x4, int32_t chromaQP, Kvn8u edgeTypeTop, Kvn8u edgeTypeBottom) {
  KVN_CHECK_PTRS(ppSrcDstCoeff, pSrcDstUPlane, pSrcDstVPlane);
  KVN_CHECK_PTRS(*ppSrcDstCoeff);
  if (!in_range(chromaQP, kMaxQpcHalves)) return KVN_STS_OUT_OF_RANGE;
  ChromaCall c = with_pred(legacy(ppSrcDstCoeff, pSrcDstUPlane, pSrcDstVPlane, srcDstUVStep, cbp4x4, chromaQP),
                           ChromaPred::kHalves, intraChromaMode, edgeTypeTop, edgeTypeBottom);
  c.late_qp_check = true;
  return recon8::chroma(c);
}

KVN_ENTRY(kvniReconstructChromaIntraHalvesMB_H264_16s8u_C2R)
(Kvn16s** ppSrcDstCoeff, Kvn8u* pSrcDstUVPlane, int32_t srcDstUVStep, int32_t intraChromaMode, Kvn32u cbp4x4,
 int32_t chromaQP, Kvn8u edgeTypeTop, Kvn8u edgeTypeBottom) {
  KVN_CHECK_PTRS(ppSrcDstCoeff, pSrcDstUVPlane);
  KVN_CHECK_PTRS(*ppSrcDstCoeff);
  if (!in_range(chromaQP, kMaxQpcHalves)) return KVN_STS_OUT_OF_RANGE;
  if (srcDstUVStep < 1) return KVN_STS_STEP_ERR;
  ChromaCall c = with_pred(legacy(ppSrcDstCoeff, pSrcDstUVPlane, nullptr, srcDstUVStep, cbp4x4, chromaQP),
                           ChromaPred::kHalves, intraChromaMode, edgeTypeTop, edgeTypeBottom);
  c.late_qp_check = true;
  return recon8::chroma(c);
}

KVN_ENTRY(kvniReconstructChromaIntraHalves4x4MB_H264_16s8u_P2R)
(Kvn16s** ppSrcDstCoeff, Kvn8u* pSrcDstUPlane, Kvn8u* pSrcDstVPlane, int32_t srcDstUVStep, int32_t intraChromaMode,
 Kvn32u cbp4x4, int32_t chromaQPU, int32_t chromaQPV, Kvn8u edgeTypeTop, Kvn8u edgeTypeBottom,
 const Kvn16s* pQuantTableU, const Kvn16s* pQuantTableV, Kvn8u bypassFlag) {
  KVN_CHECK_PTRS(ppSrcDstCoeff, pSrcDstUPlane, pSrcDstVPlane);
  KVN_CHECK_PTRS(*ppSrcDstCoeff, pQuantTableU, pQuantTableV);
  if (!in_range(chromaQPU, kMaxQpc) || !in_range(chromaQPV, kMaxQpc)) return KVN_STS_OUT_OF_RANGE;
  return recon8::chroma(with_pred(scaled(ppSrcDstCoeff, pSrcDstUPlane, pSrcDstVPlane, srcDstUVStep, cbp4x4, chromaQPU,
                                         chromaQPV, pQuantTableU, pQuantTableV, bypassFlag),
                                  ChromaPred::kHalves, intraChromaMode, edgeTypeTop, edgeTypeBottom));
}
