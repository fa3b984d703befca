// Sequence and picture parameter sets and the slice header (H.264 7.3.2,
// 7.3.3), with the scaling-list fall-back rules of 7.4.2.1.1.
#pragma once

#include <cstdint>
#include "bitstream.h"
#include "h264_tables.h"
#include "status.h"

namespace h264dec {

struct ScalingLists {
  uint8_t l4[6][16];  // raster order: Y intra, Cb intra, Cr intra, Y inter, Cb inter, Cr inter
  uint8_t l8[2][64];  // raster order: Y intra, Y inter
};

struct Sps {
  bool valid = false;
  int profile = 0, level = 0, id = 0;
  int chromaFormat = 1, bitDepthY = 8, bitDepthC = 8;
  bool transformBypass = false;
  bool scalingPresent = false;
  ScalingLists scaling{};
  int log2MaxFrameNum = 4;
  int pocType = 0, log2MaxPocLsb = 4;
  bool deltaPicOrderAlwaysZero = false;
  int offsetForNonRefPic = 0, offsetForTopToBottom = 0;
  int numRefFramesInPocCycle = 0;
  int offsetForRefFrame[256] = {};
  int maxNumRefFrames = 0;
  bool gapsAllowed = false;
  int widthMbs = 0, heightMbs = 0;
  bool frameMbsOnly = true, mbaff = false, direct8x8Inference = false;
  int cropLeft = 0, cropRight = 0, cropTop = 0, cropBottom = 0;  // in samples
  int maxDecFrameBuffering = -1, numReorderFrames = -1;
  uint32_t numUnitsInTick = 0, timeScale = 0;  // VUI timing; 0 when absent
};

struct Pps {
  bool valid = false;
  int id = 0, spsId = 0;
  bool cabac = false, bottomFieldPicOrderPresent = false;
  int numSliceGroups = 1;
  int numRefIdxDefault[2] = {1, 1};
  bool weightedPred = false;
  int weightedBipredIdc = 0;
  int picInitQp = 26, picInitQs = 26;
  int chromaQpOffset[2] = {0, 0};
  bool deblockingControlPresent = false, constrainedIntraPred = false, redundantPicCntPresent = false;
  bool transform8x8 = false;
  bool scalingPresent = false;
  ScalingLists scaling{};  // final lists after fall-back against the SPS
  bool scalingResolved = false;
  uint8_t rawPresent[8] = {};
  ScalingLists raw{};
};

enum SliceType { kP = 0, kB = 1, kI = 2, kSP = 3, kSI = 4 };

struct RefMod {
  int idc;
  uint32_t value;
};

struct Mmco {
  int op;
  uint32_t a, b;
};

struct SliceHeader {
  int firstMb = 0, type = kI, ppsId = 0;
  int frameNum = 0;
  bool idr = false;
  int nalRefIdc = 0;
  int idrPicId = 0;
  int pocLsb = 0, deltaPocBottom = 0, deltaPoc[2] = {0, 0};
  bool directSpatial = false;
  int numRefIdxActive[2] = {0, 0};
  int numMods[2] = {0, 0};
  RefMod mods[2][33];
  // prediction weight table
  int lumaLog2Wd = 0, chromaLog2Wd = 0;
  int lumaW[2][32], lumaO[2][32], chromaW[2][32][2], chromaO[2][32][2];
  bool lumaWFlag[2][32], chromaWFlag[2][32];
  // marking
  bool noOutputOfPriorPics = false, longTermReference = false, adaptiveMarking = false;
  int numMmco = 0;
  Mmco mmco[66];
  bool hasMmco5 = false;
  int cabacInitIdc = -1;  // -1 for I slices and CAVLC
  int qpDelta = 0;
  int disableDeblock = 0, alphaOffset = 0, betaOffset = 0;
};

// Each returns success, skip (damaged or invalid syntax) or unsupported
// (streams outside the decoder's scope); parse_slice_header also returns
// redundant for a redundant coded slice, which the decoder ignores.
Status parse_sps(BitReader& br, Sps& sps);
Status parse_pps(BitReader& br, const Sps* spsTable, Pps& pps);
Status parse_slice_header(BitReader& br, int nalType, int nalRefIdc, const Sps* spsTable, const Pps* ppsTable,
                          SliceHeader& sh);
// Fills pps.scaling from the PPS lists and the SPS (fall-back rule B) or
// from the SPS alone (rule A); flat 16 when neither carries lists.
void resolve_scaling(const Sps& sps, Pps& pps);

using kvnsupport::kZigzag4x4;
using kvnsupport::kZigzag8x8;

}  // namespace h264dec
