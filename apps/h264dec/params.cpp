#include "params.h"

#include <cstring>

namespace h264dec {

namespace {

// Default scaling lists (H.264 Table 7-3, 7-4), in scan order.
const uint8_t kDefault4x4[2][16] = {{6, 13, 13, 20, 20, 20, 28, 28, 28, 28, 32, 32, 32, 37, 37, 42},
                                    {10, 14, 14, 20, 20, 20, 24, 24, 24, 24, 27, 27, 27, 30, 30, 34}};
const uint8_t kDefault8x8[2][64] = {
    {6,  10, 10, 13, 11, 13, 16, 16, 16, 16, 18, 18, 18, 18, 18, 23, 23, 23, 23, 23, 23, 25,
     25, 25, 25, 25, 25, 25, 27, 27, 27, 27, 27, 27, 27, 27, 29, 29, 29, 29, 29, 29, 29, 31,
     31, 31, 31, 31, 31, 33, 33, 33, 33, 33, 36, 36, 36, 36, 38, 38, 38, 40, 40, 42},
    {9,  13, 13, 15, 13, 15, 17, 17, 17, 17, 19, 19, 19, 19, 19, 21, 21, 21, 21, 21, 21, 22,
     22, 22, 22, 22, 22, 22, 24, 24, 24, 24, 24, 24, 24, 24, 25, 25, 25, 25, 25, 25, 25, 27,
     27, 27, 27, 27, 27, 28, 28, 28, 28, 28, 30, 30, 30, 30, 32, 32, 32, 33, 33, 35}};

void default_list(int i, uint8_t* raster) {
  if (i < 6) {
    for (int k = 0; k < 16; ++k) raster[kZigzag4x4[k]] = kDefault4x4[i < 3 ? 0 : 1][k];
  } else {
    for (int k = 0; k < 64; ++k) raster[kZigzag8x8[k]] = kDefault8x8[i - 6][k];
  }
}

// 7.3.2.1.1.1. Returns 1 present, 2 "use default".
int parse_list(BitReader& br, uint8_t* raster, int size) {
  int last = 8, next = 8;
  bool useDefault = false;
  const uint8_t* scan = size == 16 ? kZigzag4x4 : kZigzag8x8;
  for (int j = 0; j < size; ++j) {
    if (next != 0) {
      int delta = br.se();
      next = (last + delta + 256) & 255;
      useDefault = j == 0 && next == 0;
    }
    raster[scan[j]] = uint8_t(next == 0 ? last : next);
    last = raster[scan[j]];
  }
  return useDefault ? 2 : 1;
}

uint8_t* list_ptr(ScalingLists& s, int i) { return i < 6 ? s.l4[i] : s.l8[i - 6]; }

// Parses n lists into raw with present flags 0 (absent), 1, 2 (default).
void parse_lists(BitReader& br, int n, ScalingLists& raw, uint8_t* present) {
  for (int i = 0; i < n; ++i) {
    present[i] = 0;
    if (br.u1()) present[i] = uint8_t(parse_list(br, list_ptr(raw, i), i < 6 ? 16 : 64));
  }
}

// Fall-back: absent lists 0, 3, 6, 7 take `base` (default lists for rule A,
// the sequence lists for rule B), the others the previous list.
void apply_fallback(const ScalingLists& raw, const uint8_t* present, const ScalingLists* base, ScalingLists& out) {
  for (int i = 0; i < 8; ++i) {
    uint8_t* dst = list_ptr(out, i);
    int size = i < 6 ? 16 : 64;
    if (present[i] == 1) {
      std::memcpy(dst, list_ptr(const_cast<ScalingLists&>(raw), i), size);
    } else if (present[i] == 2) {
      default_list(i, dst);
    } else if (i == 0 || i == 3 || i >= 6) {
      if (base)
        std::memcpy(dst, list_ptr(const_cast<ScalingLists&>(*base), i), size);
      else
        default_list(i, dst);
    } else {
      std::memcpy(dst, list_ptr(out, i - 1), size);
    }
  }
}

void flat(ScalingLists& s) { std::memset(&s, 16, sizeof s); }

void skip_hrd(BitReader& br) {
  int cnt = br.ue() + 1;
  br.u(4);
  br.u(4);
  for (int i = 0; i < cnt && i < 32; ++i) {
    br.ue();
    br.ue();
    br.u1();
  }
  br.u(5);
  br.u(5);
  br.u(5);
  br.u(5);
}

void parse_vui(BitReader& br, Sps& s) {
  if (br.u1()) {  // aspect_ratio_info_present_flag
    if (br.u(8) == 255) br.u(32);
  }
  if (br.u1()) br.u1();  // overscan
  if (br.u1()) {         // video_signal_type
    br.u(4);
    if (br.u1()) br.u(24);
  }
  if (br.u1()) {  // chroma_loc_info
    br.ue();
    br.ue();
  }
  if (br.u1()) {  // timing_info
    s.numUnitsInTick = br.u(32);
    s.timeScale = br.u(32);
    br.u1();
  }
  bool nal = br.u1();
  if (nal) skip_hrd(br);
  bool vcl = br.u1();
  if (vcl) skip_hrd(br);
  if (nal || vcl) br.u1();
  br.u1();        // pic_struct_present_flag
  if (br.u1()) {  // bitstream_restriction_flag
    br.u1();
    br.ue();
    br.ue();
    br.ue();
    br.ue();
    uint32_t reorder = br.ue(), dpb = br.ue();
    s.numReorderFrames = reorder > 16 ? 16 : int(reorder);
    s.maxDecFrameBuffering = dpb > 16 ? 16 : int(dpb);
    if (br.fail || br.overrun()) s.numReorderFrames = s.maxDecFrameBuffering = -1;
  }
}

}  // namespace

void resolve_scaling(const Sps& sps, Pps& pps) {
  ScalingLists seq;
  if (sps.scalingPresent)
    seq = sps.scaling;
  else
    flat(seq);
  if (pps.scalingPresent) {
    if (sps.scalingPresent)
      apply_fallback(pps.raw, pps.rawPresent, &seq, pps.scaling);
    else
      apply_fallback(pps.raw, pps.rawPresent, nullptr, pps.scaling);
  } else {
    pps.scaling = seq;
  }
  pps.scalingResolved = true;
}

Status parse_sps(BitReader& br, Sps& s) {
  s = Sps();
  s.profile = int(br.u(8));
  br.u(8);
  s.level = int(br.u(8));
  uint32_t id = br.ue();
  if (id > 31) return Status::skip("invalid SPS id");
  s.id = int(id);
  int p = s.profile;
  if (p == 100 || p == 110 || p == 122 || p == 244 || p == 44 || p == 83 || p == 86 || p == 118 || p == 128 ||
      p == 138 || p == 139 || p == 134 || p == 135) {
    uint32_t cfIdc = br.ue();
    if (cfIdc == 3) return Status::unsupported("4:4:4 chroma");
    if (cfIdc > 3) return Status::skip("invalid chroma_format_idc");
    s.chromaFormat = int(cfIdc);
    uint32_t bdY = br.ue(), bdC = br.ue();
    if (bdY > 6 || bdC > 6) return Status::skip("invalid bit depth");
    s.bitDepthY = int(bdY) + 8;
    s.bitDepthC = int(bdC) + 8;
    if (s.bitDepthY != s.bitDepthC) return Status::unsupported("different luma and chroma bit depths");
    s.transformBypass = br.u1();
    s.scalingPresent = br.u1();
    if (s.scalingPresent) {
      ScalingLists raw;
      uint8_t present[8];
      parse_lists(br, 8, raw, present);
      apply_fallback(raw, present, nullptr, s.scaling);
    }
  }
  if (s.chromaFormat == 0) return Status::unsupported("monochrome (4:0:0)");
  uint32_t lfn = br.ue();
  if (lfn > 12) return Status::skip("invalid log2_max_frame_num");
  s.log2MaxFrameNum = int(lfn) + 4;
  uint32_t pocType = br.ue();
  if (pocType > 2) return Status::skip("invalid pic_order_cnt_type");
  s.pocType = int(pocType);
  if (s.pocType == 0) {
    uint32_t lpl = br.ue();
    if (lpl > 12) return Status::skip("invalid log2_max_pic_order_cnt_lsb");
    s.log2MaxPocLsb = int(lpl) + 4;
  } else if (s.pocType == 1) {
    s.deltaPicOrderAlwaysZero = br.u1();
    s.offsetForNonRefPic = br.se();
    s.offsetForTopToBottom = br.se();
    uint32_t n = br.ue();
    if (n > 255) return Status::skip("invalid num_ref_frames_in_pic_order_cnt_cycle");
    s.numRefFramesInPocCycle = int(n);
    for (int i = 0; i < s.numRefFramesInPocCycle; ++i) s.offsetForRefFrame[i] = br.se();
  }
  uint32_t maxRefs = br.ue();
  if (maxRefs > 16) return Status::skip("invalid max_num_ref_frames");
  s.maxNumRefFrames = int(maxRefs);
  s.gapsAllowed = br.u1();
  uint32_t wm = br.ue(), hm = br.ue();
  if (wm >= 1024 || hm >= 1024) return Status::unsupported("picture too large");
  s.widthMbs = int(wm) + 1;
  s.heightMbs = int(hm) + 1;
  s.frameMbsOnly = br.u1();
  if (!s.frameMbsOnly) {
    s.mbaff = br.u1();
    return Status::unsupported("interlaced coding (frame_mbs_only_flag 0)");
  }
  s.direct8x8Inference = br.u1();
  if (br.u1()) {
    uint32_t ucl = br.ue(), ucr = br.ue(), uct = br.ue(), ucb = br.ue();
    if (ucl > 8192 || ucr > 8192 || uct > 8192 || ucb > 8192) return Status::skip("invalid cropping window");
    int cl = int(ucl), cr = int(ucr), ct = int(uct), cb = int(ucb);
    int cx = s.chromaFormat == 0 ? 1 : 2, cy = s.chromaFormat == 1 ? 2 : 1;
    s.cropLeft = cl * cx;
    s.cropRight = cr * cx;
    s.cropTop = ct * cy;
    s.cropBottom = cb * cy;
  }
  if (s.widthMbs > 1024 || s.heightMbs > 1024 || s.widthMbs * s.heightMbs > 139264)
    return Status::unsupported("picture too large");
  if (s.cropLeft + s.cropRight >= s.widthMbs * 16 || s.cropTop + s.cropBottom >= s.heightMbs * 16)
    return Status::skip("invalid cropping window");
  if (br.u1()) parse_vui(br, s);
  if (br.fail) return Status::skip("invalid SPS");
  s.valid = true;
  return Status::success();
}

Status parse_pps(BitReader& br, const Sps* spsTable, Pps& p) {
  p = Pps();
  uint32_t id = br.ue(), sid = br.ue();
  if (id > 255 || sid > 31) return Status::skip("invalid PPS");
  p.id = int(id);
  p.spsId = int(sid);
  p.cabac = br.u1();
  p.bottomFieldPicOrderPresent = br.u1();
  if (br.ue() != 0) return Status::unsupported("slice groups (FMO)");
  uint32_t r0 = br.ue(), r1 = br.ue();
  if (r0 > 31 || r1 > 31) return Status::skip("invalid num_ref_idx_default");
  p.numRefIdxDefault[0] = int(r0) + 1;
  p.numRefIdxDefault[1] = int(r1) + 1;
  p.weightedPred = br.u1();
  p.weightedBipredIdc = int(br.u(2));
  if (p.weightedBipredIdc > 2) return Status::skip("invalid weighted_bipred_idc");
  int32_t qpm26 = br.se(), qsm26 = br.se();
  if (qpm26 < -26 - 36 || qpm26 > 25 || qsm26 < -26 || qsm26 > 25) return Status::skip("invalid pic_init_qp");
  p.picInitQp = 26 + qpm26;
  p.picInitQs = 26 + qsm26;
  p.chromaQpOffset[0] = br.se();
  if (p.chromaQpOffset[0] < -12 || p.chromaQpOffset[0] > 12) return Status::skip("invalid chroma_qp_index_offset");
  p.deblockingControlPresent = br.u1();
  p.constrainedIntraPred = br.u1();
  p.redundantPicCntPresent = br.u1();
  p.chromaQpOffset[1] = p.chromaQpOffset[0];
  (void)qsm26;
  if (br.more_rbsp_data()) {
    p.transform8x8 = br.u1();
    p.scalingPresent = br.u1();
    if (p.scalingPresent) parse_lists(br, p.transform8x8 ? 8 : 6, p.raw, p.rawPresent);
    // Absent 8x8 lists (transform_8x8_mode_flag 0) follow the fall-back rule.
    p.chromaQpOffset[1] = br.se();
    if (p.chromaQpOffset[1] < -12 || p.chromaQpOffset[1] > 12)
      return Status::skip("invalid second_chroma_qp_index_offset");
  }
  if (br.fail) return Status::skip("invalid PPS");
  (void)spsTable;
  p.valid = true;
  return Status::success();
}

namespace {

bool parse_pred_weights(BitReader& br, const Sps& sps, SliceHeader& sh) {
  sh.lumaLog2Wd = int(br.ue()) & 7;
  if (sps.chromaFormat != 0) sh.chromaLog2Wd = int(br.ue()) & 7;
  int lists = sh.type == kB ? 2 : 1;
  for (int l = 0; l < lists; ++l) {
    for (int i = 0; i < sh.numRefIdxActive[l]; ++i) {
      sh.lumaWFlag[l][i] = br.u1();
      if (sh.lumaWFlag[l][i]) {
        sh.lumaW[l][i] = br.se();
        sh.lumaO[l][i] = br.se();
        if (sh.lumaW[l][i] < -128 || sh.lumaW[l][i] > 127 || sh.lumaO[l][i] < -128 || sh.lumaO[l][i] > 127)
          return false;
      } else {
        sh.lumaW[l][i] = 1 << sh.lumaLog2Wd;
        sh.lumaO[l][i] = 0;
      }
      sh.chromaWFlag[l][i] = sps.chromaFormat != 0 && br.u1();
      for (int c = 0; c < 2; ++c) {
        if (sh.chromaWFlag[l][i]) {
          sh.chromaW[l][i][c] = br.se();
          sh.chromaO[l][i][c] = br.se();
          if (sh.chromaW[l][i][c] < -128 || sh.chromaW[l][i][c] > 127 || sh.chromaO[l][i][c] < -128 ||
              sh.chromaO[l][i][c] > 127)
            return false;
        } else {
          sh.chromaW[l][i][c] = 1 << sh.chromaLog2Wd;
          sh.chromaO[l][i][c] = 0;
        }
      }
    }
  }
  return true;
}

}  // namespace

Status parse_slice_header(BitReader& br, int nalType, int nalRefIdc, const Sps* spsTable, const Pps* ppsTable,
                          SliceHeader& sh) {
  sh.idr = nalType == 5;
  sh.nalRefIdc = nalRefIdc;
  uint32_t firstMb = br.ue();
  if (firstMb > 139264) return Status::skip("invalid first_mb_in_slice");
  sh.firstMb = int(firstMb);
  uint32_t type = br.ue();
  if (type > 9) return Status::skip("invalid slice_type");
  sh.type = int(type % 5);
  if (sh.type == kSP || sh.type == kSI) return Status::unsupported("SP/SI slices");
  uint32_t ppsId = br.ue();
  if (ppsId > 255 || !ppsTable[ppsId].valid) return Status::skip("slice refers to a missing PPS");
  sh.ppsId = int(ppsId);
  const Pps& pps = ppsTable[ppsId];
  const Sps& sps = spsTable[pps.spsId];
  if (!sps.valid) return Status::skip("slice refers to a missing SPS");
  sh.frameNum = int(br.u(sps.log2MaxFrameNum));
  if (!sps.frameMbsOnly) return Status::unsupported("interlaced coding");
  if (sh.idr) sh.idrPicId = int(br.ue());
  if (sps.pocType == 0) {
    sh.pocLsb = int(br.u(sps.log2MaxPocLsb));
    if (pps.bottomFieldPicOrderPresent) sh.deltaPocBottom = br.se();
  } else if (sps.pocType == 1 && !sps.deltaPicOrderAlwaysZero) {
    sh.deltaPoc[0] = br.se();
    if (pps.bottomFieldPicOrderPresent) sh.deltaPoc[1] = br.se();
  }
  if (pps.redundantPicCntPresent) {
    if (br.ue() != 0) return Status::redundant();
  }
  if (sh.type == kB) sh.directSpatial = br.u1();
  sh.numRefIdxActive[0] = pps.numRefIdxDefault[0];
  sh.numRefIdxActive[1] = pps.numRefIdxDefault[1];
  if (sh.type == kP || sh.type == kB) {
    if (br.u1()) {
      uint32_t n0 = br.ue(), n1 = sh.type == kB ? br.ue() : 0;
      if (n0 > 31 || n1 > 31) return Status::skip("invalid num_ref_idx_active");
      sh.numRefIdxActive[0] = int(n0) + 1;
      if (sh.type == kB) sh.numRefIdxActive[1] = int(n1) + 1;
    }
  }
  if (sh.type != kB) sh.numRefIdxActive[1] = 0;
  if (sh.type == kI) sh.numRefIdxActive[0] = 0;
  for (int l = 0; l < 2; ++l) {
    sh.numMods[l] = 0;
    if ((l == 0 && sh.type != kI) || (l == 1 && sh.type == kB)) {
      if (br.u1()) {
        for (;;) {
          uint32_t idc = br.ue();
          if (idc == 3) break;
          if (idc > 2 || sh.numMods[l] >= 33 || br.fail) return Status::skip("invalid ref_pic_list_modification");
          sh.mods[l][sh.numMods[l]++] = RefMod{int(idc), br.ue()};
        }
      }
    }
  }
  if ((pps.weightedPred && sh.type == kP) || (pps.weightedBipredIdc == 1 && sh.type == kB))
    if (!parse_pred_weights(br, sps, sh)) return Status::skip("invalid pred_weight_table");
  sh.numMmco = 0;
  sh.hasMmco5 = false;
  sh.adaptiveMarking = false;
  if (nalRefIdc != 0) {
    if (sh.idr) {
      sh.noOutputOfPriorPics = br.u1();
      sh.longTermReference = br.u1();
    } else {
      sh.adaptiveMarking = br.u1();
      if (sh.adaptiveMarking) {
        for (;;) {
          uint32_t op = br.ue();
          if (op == 0) break;
          if (op > 6 || sh.numMmco >= 66 || br.fail) return Status::skip("invalid memory_management_control_operation");
          Mmco m{int(op), 0, 0};
          if (op == 1 || op == 3) m.a = br.ue();
          if (op == 2) m.a = br.ue();
          if (op == 3 || op == 6) m.b = br.ue();
          if (op == 4) m.a = br.ue();
          if (op == 5) sh.hasMmco5 = true;
          sh.mmco[sh.numMmco++] = m;
        }
      }
    }
  }
  sh.cabacInitIdc = -1;
  if (pps.cabac && sh.type != kI) {
    uint32_t idc = br.ue();
    if (idc > 2) return Status::skip("invalid cabac_init_idc");
    sh.cabacInitIdc = int(idc);
  }
  sh.qpDelta = br.se();
  {
    int qpBdOffset = 6 * (sps.bitDepthY - 8);
    if (sh.qpDelta < -87 || sh.qpDelta > 87 || pps.picInitQp + sh.qpDelta < -qpBdOffset ||
        pps.picInitQp + sh.qpDelta > 51)
      return Status::skip("invalid slice_qp_delta");
  }
  sh.disableDeblock = 0;
  sh.alphaOffset = sh.betaOffset = 0;
  if (pps.deblockingControlPresent) {
    uint32_t idc = br.ue();
    if (idc > 2) return Status::skip("invalid disable_deblocking_filter_idc");
    sh.disableDeblock = int(idc);
    if (sh.disableDeblock != 1) {
      int32_t a = br.se(), b = br.se();
      if (a < -6 || a > 6 || b < -6 || b > 6) return Status::skip("invalid deblocking filter offsets");
      sh.alphaOffset = a * 2;
      sh.betaOffset = b * 2;
    }
  }
  if (br.fail || br.overrun()) return Status::skip("truncated slice header");
  return Status::success();
}

}  // namespace h264dec
