// Work items for the concurrency tests: each runs a few calls of one family on
// buffers of its own, filled from a seed, and returns the statuses and every
// output as bytes, so that two runs with the same seed can be compared
// exactly. The calls go through a table of function pointers, filled either
// from the linked library or by name from a library opened at run time.
#pragma once

#include <atomic>
#include <cstdint>
#include <thread>
#include <vector>

#include "kvnvc.h"

namespace conc {

// Every exported function the work items call.
// clang-format off
#define KVN_CONC_FUNCTIONS(X) \
  X(kvnMalloc) \
  X(kvnFree) \
  X(kvnAlignPtr) \
  X(kvnGetMaxCacheSizeB) \
  X(ownGetNumThreads) \
  X(kvnGetEnabledCpuFeatures) \
  X(kvnvcGetLibVersion) \
  X(kvniCopy16x16HP_8u_C1R) \
  X(kvniInterpolateAverage8x8_8u_C1IR) \
  X(kvniMC16x16B_8u_C1) \
  X(kvniMC8x8_16s8u_P2C2R) \
  X(kvniSAD16x16_8u32s) \
  X(kvniSAD16x16xNI_8u16u_C1R) \
  X(kvniSAD16x16Blocks4x4_8u16u) \
  X(kvniSAD4x4_16u32s_C1R) \
  X(kvniSATD16x16_8u32s_C1R) \
  X(kvniSAT8x8D_16u32s_C1R) \
  X(kvniSSD8x8_8u32s_C1R) \
  X(kvniSqrDiff16x16B_8u32s) \
  X(kvniVariance16x16_8u32s) \
  X(kvniVarMeanDiff16x16_8u32s_C1R) \
  X(kvniVarMean8x8_16s32s_C1R) \
  X(kvniMeanAbsDev16x16_8u32s_C1R) \
  X(kvniEdgesDetect16x16_8u_C1R) \
  X(kvniGetDiff16x16B_8u16s_C1) \
  X(kvniGetDiff8x8_8u16s_C1) \
  X(kvniSumsDiff16x16Blocks4x4_8u16s_C1) \
  X(kvniSub8x8_16u16s_C1R) \
  X(kvniTransformQuantFwd4x4_H264_16s_C1) \
  X(kvniTransformQuantInvAddPred4x4_H264_16s_C1IR) \
  X(kvniTransformQuantFwdLumaDC4x4_H264_16s_C1I) \
  X(kvniTransformQuantInvLumaDC4x4_H264_32s_C1I) \
  X(kvniTransformQuantInvChromaDC2x4_H264_16s_C1I) \
  X(kvniQuantizeResidual4x4Fwd_H264_32s_C1) \
  X(kvniDequantTransformResidualAndAdd_H264_16s_C1I) \
  X(kvniTransformFwdLuma8x8_H264_16s32s_C1) \
  X(kvniGenScaleLevel8x8_H264_8u16s_D2) \
  X(kvniQuantLuma8x8_H264_32s_C1) \
  X(kvniQuantInvLuma8x8_H264_32s_C1I) \
  X(kvniTransformInvAddPredLuma8x8_H264_32s16u_C1R) \
  X(kvniTransformLuma8x8InvAddPred_H264_16s8u_C1R) \
  X(kvniPredictIntra_4x4_H264_8u_C1IR) \
  X(kvniPredictIntra_16x16_H264_8u_C1IR) \
  X(kvniPredictIntraChroma8x8_H264_8u_C1IR) \
  X(kvniReconstructLumaIntra16x16MB_H264_16s8u_C1R) \
  X(kvniReconstructLumaIntra4x4MB_H264_16s8u_C1R) \
  X(kvniReconstructLumaInter8x8MB_H264_16s8u_C1R) \
  X(kvniReconstructChromaIntraMB_H264_16s8u_P2R) \
  X(kvniReconstructLumaIntra4x4_H264High_32s16u_IP1R) \
  X(kvniReconstructLumaInter8x8_H264High_32s16u_IP1R) \
  X(kvniReconstructChromaIntra4x4_H264High_32s16u_IP2R) \
  X(kvniReconstructChroma422Intra4x4_H264High_16s8u_IP2R) \
  X(kvniEncodeCoeffsCAVLC_H264_16s) \
  X(kvniCABACInit_H264) \
  X(kvniCABACEncodeBin_H264) \
  X(kvniCABACEncodeBinBypass_H264) \
  X(kvniCABACEncodeResidualBlock_H264_16s) \
  X(kvniCABACEncodeResidualBlock_H264_32s) \
  X(kvniCABACTerminateSlice_H264) \
  X(kvniCABACGetContexts_H264) \
  X(kvniEncodeCoeffsCAVLC_H264_32s) \
  X(kvniEncodeCoeffsCAVLCChromaDC2x2_H264_32s) \
  X(kvniEncodeCoeffsCAVLCChromaDC2x4_H264_16s) \
  X(kvniDecodeCAVLCCoeffs_H264_1u16s) \
  X(kvniDecodeCAVLCChromaDcCoeffs_H264_1u32s) \
  X(kvniDecodeExpGolombOne_H264_1u32s) \
  X(kvniInterpolateLuma_H264_8u_C1R) \
  X(kvniInterpolateLumaBlock_H264_8u_P1R) \
  X(kvniInterpolateLuma_H264_16u_C1R) \
  X(kvniExpandPlane_H264_8u_C1R) \
  X(kvniInterpolateChroma_H264_8u_C1R) \
  X(kvniInterpolateChroma_H264_8u_C2P2R) \
  X(kvniInterpolateChromaBlock_H264_8u_P2R) \
  X(kvniInterpolateChroma_H264_16u_C1R) \
  X(kvniBiDirWeightBlock_H264_8u_P3P1R) \
  X(kvniUniDirWeightBlock_H264_8u_C1R) \
  X(kvniUniDirWeightBlock_H264_8u_C2R) \
  X(kvniBidirWeight_H264_16u_P2P1R) \
  X(kvniBiDirWeightBlockImplicit_H264_8u_P2P1R) \
  X(kvniFilterDeblockingLuma_VerEdge_H264_8u_C1IR) \
  X(kvniFilterDeblockingLuma_HorEdge_H264_8u_C1IR) \
  X(kvniFilterDeblockingChroma_HorEdge_H264_8u_C2IR) \
  X(kvniFilterDeblockingLuma_VerEdge_MBAFF_H264_8u_C1IR) \
  X(kvniFilterDeblockingLumaVerEdge_H264_16u_C1IR) \
  X(kvniHuffmanTableInitAlloc_32s) \
  X(kvniHuffmanRunLevelTableInitAlloc_32s) \
  X(kvniHuffmanTableFree_32s) \
  X(kvniCreateRLEncodeTable) \
  X(kvniPutIntraBlock) \
  X(kvniPutNonIntraBlock) \
  X(kvniReconstructDCTBlock_MPEG2_32s) \
  X(kvniReconstructDCTBlockIntra_MPEG2_32s) \
  X(kvniReconstructDCTBlock_MPEG1_32s) \
  X(kvniDecodeHuffmanPair_1u16s) \
  X(kvniQuant_MPEG2_16s_C1I) \
  X(kvniQuantIntra_MPEG2_16s_C1I) \
  X(kvniQuantInv_MPEG2_16s_C1I) \
  X(kvniQuantInvIntra_MPEG2_16s_C1I) \
  X(kvniDCT8x8Inv_AANTransposed_16s8u_C1R) \
  X(kvniDCT8x8Inv_AANTransposed_16s_P2C2R) \
  X(kvniDCT8x8InvOrSet_16s8u_P2C2) \
  X(kvniDCT8x8Fwd_8u16s_C2P2) \
  X(kvniQuantIntra_H263_16s_C1I) \
  X(kvniQuantInter_H263_16s_C1I) \
  X(kvniQuantInvIntra_H263_16s_C1I) \
  X(kvniQuantInvInter_H263_16s_C1I) \
  X(kvniQuantIntraGetSize_MPEG4) \
  X(kvniQuantInvInterGetSize_MPEG4) \
  X(kvniQuantIntraInit_MPEG4) \
  X(kvniQuantInterInit_MPEG4) \
  X(kvniQuantInvIntraInit_MPEG4) \
  X(kvniQuantInvInterInit_MPEG4) \
  X(kvniQuantIntra_MPEG4_16s_C1I) \
  X(kvniQuantInter_MPEG4_16s_C1I) \
  X(kvniQuantInvIntra_MPEG4_16s_C1I) \
  X(kvniQuantInvInter_MPEG4_16s_C1I) \
  X(kvniFilterDeblocking8x8HorEdge_H263_8u_C1IR) \
  X(kvniFilterDeblocking8x8VerEdge_H263_8u_C1IR) \
  X(kvniFilterDeblocking16x16HorEdge_H263_8u_C1IR) \
  X(kvniFilterDeblocking16x16VerEdge_H263_8u_C1IR) \
  X(kvniFilterBlockBoundaryHorEdge_H263_8u_C1IR) \
  X(kvniFilterBlockBoundaryVerEdge_H263_8u_C1IR) \
  X(kvniTransform4x4Fwd_VC1_16s_C1R) \
  X(kvniTransform4x4Fwd_VC1_16s_C1IR) \
  X(kvniTransform4x8Fwd_VC1_16s_C1R) \
  X(kvniTransform4x8Fwd_VC1_16s_C1IR) \
  X(kvniTransform8x4Fwd_VC1_16s_C1R) \
  X(kvniTransform8x4Fwd_VC1_16s_C1IR) \
  X(kvniTransform8x8Fwd_VC1_16s_C1R) \
  X(kvniTransform8x8Fwd_VC1_16s_C1IR) \
  X(kvniTransform4x4Inv_VC1_16s_C1R) \
  X(kvniTransform4x4Inv_VC1_16s_C1IR) \
  X(kvniTransform4x8Inv_VC1_16s_C1R) \
  X(kvniTransform4x8Inv_VC1_16s_C1IR) \
  X(kvniTransform8x4Inv_VC1_16s_C1R) \
  X(kvniTransform8x4Inv_VC1_16s_C1IR) \
  X(kvniTransform8x8Inv_VC1_16s_C1R) \
  X(kvniTransform8x8Inv_VC1_16s_C1IR) \
  X(kvniQuantIntraUniform_VC1_16s_C1IR) \
  X(kvniQuantInterUniform_VC1_16s_C1IR) \
  X(kvniQuantIntraNonuniform_VC1_16s_C1IR) \
  X(kvniQuantInterNonuniform_VC1_16s_C1IR) \
  X(kvniQuantInvIntraUniform_VC1_16s_C1IR) \
  X(kvniQuantInvIntraUniform_VC1_16s_C1R) \
  X(kvniQuantInvInterUniform_VC1_16s_C1IR) \
  X(kvniQuantInvInterUniform_VC1_16s_C1R) \
  X(kvniQuantInvIntraNonuniform_VC1_16s_C1IR) \
  X(kvniQuantInvIntraNonuniform_VC1_16s_C1R) \
  X(kvniQuantInvInterNonuniform_VC1_16s_C1IR) \
  X(kvniQuantInvInterNonuniform_VC1_16s_C1R) \
  X(kvniEncodeCoeffsIntra_MPEG4_16s1u) \
  X(kvniEncodeCoeffsInter_MPEG4_16s1u) \
  X(kvniEncodeCoeffsIntra_H263_16s1u) \
  X(kvniEncodeCoeffsInter_H263_16s1u) \
  X(kvniEncodeCoeffsIntra_H261_16s1u) \
  X(kvniEncodeCoeffsInter_H261_16s1u) \
  X(kvniEncodeDCIntra_H263_16s1u) \
  X(kvniEncodeDCIntra_MPEG4_16s1u) \
  X(kvniDecodeCoeffsIntra_MPEG4_1u16s) \
  X(kvniDecodeCoeffsInter_MPEG4_1u16s) \
  X(kvniDecodeCoeffsIntraRVLCBack_MPEG4_1u16s) \
  X(kvniDecodeCoeffsInterRVLCBack_MPEG4_1u16s) \
  X(kvniDecodeCoeffsIntra_H263_1u16s) \
  X(kvniDecodeCoeffsInter_H263_1u16s) \
  X(kvniDecodeCoeffsIntra_H261_1u16s) \
  X(kvniDecodeCoeffsInter_H261_1u16s) \
  X(kvniDecodeDCIntra_H263_1u16s) \
  X(kvniDecodeDCIntra_MPEG4_1u16s) \
  X(kvniReconstructCoeffsIntra_H261_1u16s) \
  X(kvniReconstructCoeffsInter_H261_1u16s) \
  X(kvniReconstructCoeffsIntra_H263_1u16s) \
  X(kvniReconstructCoeffsInter_H263_1u16s) \
  X(kvniReconstructCoeffsInter_MPEG4_1u16s) \
  X(kvniDecodeLumaBlockIntra_AVS_1u16s) \
  X(kvniDecodeLumaBlockInter_AVS_1u16s) \
  X(kvniDecodeChromaBlock_AVS_1u16s) \
  X(kvniReconstructLumaInter_AVS_16s8u_C1R) \
  X(kvniReconstructChromaInter_AVS_16s8u_C1R) \
  X(kvniInterpolateQPBicubic_VC1_8u_C1R) \
  X(kvniInterpolateQPBilinear_VC1_8u_C1R) \
  X(kvniInterpolateQPBilinear_VC1_8u_C2R) \
  X(kvniRangeMapping_VC1_8u_C1R) \
  X(kvniDeinterlaceEdgeDetect_8u_C1R) \
  X(kvniCbYCr422ToYCbCr420_Rotate_8u_C2P3R) \
  X(kvniCbYCr422ToYCbCr420_Rotate_8u_P3R) \
  X(kvniDCT2x4x8Frw_16s_C1I) \
  X(kvniDCT2x4x8Inv_16s_C1I) \
  X(kvniQuantWeightBlockInv_DV100_16s_C1I) \
  X(kvniHuffmanDecodeSegment_DV_8u16s) \
  X(kvniHuffmanDecodeSegmentOnePass_DV_8u16s) \
  X(kvniHuffmanDecodeSegment_DV100_8u16s) \
  X(kvniInitAllocHuffmanTable_DV_32u) \
  X(kvniFreeHuffmanTable_DV_32u) \
  X(kvniQuantInv_DV_16s_C1I) \
  X(kvniQuantWeightBlockInv_DV_16s_C1I) \
  X(kvniSmoothingLuma_VerEdge_VC1_16s8u_C1R) \
  X(kvniSmoothingLuma_HorEdge_VC1_16s8u_C1R) \
  X(kvniSmoothingChroma_VerEdge_VC1_16s8u_C1R) \
  X(kvniSmoothingChroma_HorEdge_VC1_16s8u_C1R) \
  X(kvniSmoothingChroma_VerEdge_VC1_16s8u_P2C2R) \
  X(kvniSmoothingChroma_HorEdge_VC1_16s8u_P2C2R) \
  X(kvniFilterDeblockingLuma_VerEdge_VC1_8u_C1IR) \
  X(kvniFilterDeblockingLuma_HorEdge_VC1_8u_C1IR) \
  X(kvniFilterDeblockingChroma_VerEdge_VC1_8u_C1IR) \
  X(kvniFilterDeblockingChroma_HorEdge_VC1_8u_C1IR) \
  X(kvniFilterDeblockingChroma_VerEdge_VC1_8u_C2IR) \
  X(kvniFilterDeblockingChroma_HorEdge_VC1_8u_C2IR)
// clang-format on

struct Api {
#define KVN_CONC_MEMBER(name) decltype(&::name) name = nullptr;
  KVN_CONC_FUNCTIONS(KVN_CONC_MEMBER)
#undef KVN_CONC_MEMBER
};

// Fills every member with resolve(name) (a void* such as dlsym returns);
// false when a name is not found.
template <class Resolve>
bool resolve_api(Api& api, Resolve&& resolve) {
  bool all = true;
#define KVN_CONC_RESOLVE(name)                                     \
  api.name = reinterpret_cast<decltype(api.name)>(resolve(#name)); \
  all = all && api.name != nullptr;
  KVN_CONC_FUNCTIONS(KVN_CONC_RESOLVE)
#undef KVN_CONC_RESOLVE
  return all;
}

// What a work item did: statuses and outputs as bytes, and a bit for each of
// its calls (in call order) that returned an error.
struct Outcome {
  std::vector<uint8_t> bytes;
  uint32_t failed = 0;
  bool operator==(const Outcome& o) const { return bytes == o.bytes && failed == o.failed; }
  bool operator!=(const Outcome& o) const { return !(*this == o); }
};

struct WorkItem {
  const char* family;
  Outcome (*run)(const Api& api, uint64_t seed);
};

// One work item per family, the core services last.
const std::vector<WorkItem>& work_items();

// Builds the shared read-only inputs (the CAVLC tables) ahead of any thread.
void prepare();

// A seed for each (thread, round, item).
uint64_t seed_of(int thread, int round, int item);

// The item a thread runs at a step: even threads in list order, odd ones in
// reverse, so that each function runs in several threads at once and next
// to the other families.
inline int item_at(int thread, int step, int items) { return thread % 2 ? items - 1 - step : step; }

// Lets a number of threads go together, as soon as the last one arrives.
class StartLine {
 public:
  explicit StartLine(int threads) : waiting_(threads) {}
  void arrive_and_wait() {
    waiting_.fetch_sub(1);
    while (waiting_.load() > 0) std::this_thread::yield();
  }

 private:
  std::atomic<int> waiting_;
};

}  // namespace conc
