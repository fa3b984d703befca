// Macroblock layer parsing (H.264 7.3.5, CAVLC) and the slice data loop.
#include "slice.h"

#include <cstring>

#include "cabac_syntax.h"
#include "residual.h"
#include "tables.h"

namespace h264dec {

int SliceDecoder::chroma_qp(int qpy, int offset, int qpBdOffsetC) {
  int qpi = qpy + offset;
  if (qpi < -qpBdOffsetC) qpi = -qpBdOffsetC;
  if (qpi > 51) qpi = 51;
  return qpi < 0 ? qpi : kChromaQp[qpi];
}

SliceDecoder::SliceDecoder(PictureContext& picture, const SliceHeader& h, const Pps& p, const Sps& s, BitReader& r,
                           const std::vector<uint8_t>& rbsp, int num)
    : ctx(picture), sh(h), pps(p), sps(s), br(r), sliceNum(num), rbsp_(rbsp) {
  W = picture.widthMbs;
  H = picture.heightMbs;
  bd = s.bitDepthY;
  qpBdOffset = 6 * (bd - 8);
  cf = s.chromaFormat;
  cur = picture.cur;
  qp = p.picInitQp + h.qpDelta;
  // LevelScale (8.5.9) of every list and qP % 6; the forward tables are not used.
  int16_t fwd[64];
  for (int l = 0; l < 6; ++l)
    for (int m = 0; m < 6; ++m) kvniGenScaleLevel4x4_H264_8u16s_C1(p.scaling.l4[l], ls4[l][m], fwd, m);
  for (int l = 0; l < 2; ++l)
    for (int m = 0; m < 6; ++m) kvniGenScaleLevel8x8_H264_8u16s_D2(p.scaling.l8[l], 8, ls8[l][m], fwd, m);
  explicitWp = (p.weightedPred && h.type == kP) || (p.weightedBipredIdc == 1 && h.type == kB);
  implicitWp = p.weightedBipredIdc == 2 && h.type == kB;
  if (implicitWp) compute_implicit_weights();
}

void SliceDecoder::set_neighbours() {
  // A macroblock is available when it is inside the picture and decoded in
  // this slice (slices never reach back into later macroblocks).
  const MbState* here = &ctx.mbs[size_t(mb.addr)];
  const bool left = mb.x > 0, top = mb.y > 0, right = mb.x + 1 < W;
  const MbState* above = top ? here - W : here;
  mb.availA = left && here[-1].slice == sliceNum;
  mb.availB = top && above[0].slice == sliceNum;
  mb.availC = top && right && above[1].slice == sliceNum;
  mb.availD = top && left && above[-1].slice == sliceNum;
  const bool anyMode = !pps.constrainedIntraPred;
  mb.intraA = mb.availA && (anyMode || here[-1].intra);
  mb.intraB = mb.availB && (anyMode || above[0].intra);
  mb.intraC = mb.availC && (anyMode || above[1].intra);
  mb.intraD = mb.availD && (anyMode || above[-1].intra);
  mb.edge = uint8_t((mb.intraA ? 0 : 1) | (mb.intraB ? 0 : 4) | (mb.intraD ? 0 : 16) | (mb.intraC ? 0 : 32));
}

Status SliceDecoder::run() { return pps.cabac ? run_cabac() : run_cavlc(); }

Status SliceDecoder::run_cavlc() {
  int total = W * H;
  int addr = sh.firstMb;
  if (addr >= total) return Status::skip("first_mb_in_slice out of range");
  bool more = true;
  while (more) {
    if (sh.type != kI) {
      uint32_t run = br.ue();
      if (br.fail || run > uint32_t(total)) return Status::skip("invalid mb_skip_run");
      for (uint32_t i = 0; i < run; ++i) {
        if (addr >= total) return Status::skip("mb_skip_run past the picture");
        mb.reset(addr, W);
        set_neighbours();
        decode_skip();
        if (mb.x == W - 1) ctx.rowDecoded(mb.y);
        ++addr;
      }
      if (run > 0) more = br.more_rbsp_data();
    }
    if (more) {
      if (addr >= total) return Status::skip("slice data past the picture");
      mb.reset(addr, W);
      set_neighbours();
      Status e = decode_mb();
      if (!e.ok()) return e;
      if (br.overrun()) return Status::skip("slice data truncated");
      if (mb.x == W - 1) ctx.rowDecoded(mb.y);
      ++addr;
      more = br.more_rbsp_data();
    }
  }
  return Status::success();
}

void SliceDecoder::decode_skip() {
  MbState& st = ctx.mbs[mb.addr];
  st = MbState();
  st.slice = sliceNum;
  st.skip = true;
  st.qp = qp;
  cur->mbIntra[mb.addr] = 0;
  if (sh.type == kP) {
    mb.partShape = 0;
    pskip_motion();
  } else {
    mb.partShape = 3;
    st.direct16 = true;
    direct_motion_mb();
  }
  maskY = 0;
  maskC[0] = maskC[1] = 0;
  if (bd > 8)
    inter_pred<uint16_t>();
  else
    inter_pred<uint8_t>();
}

void SliceDecoder::begin_mb() {
  MbState& st = ctx.mbs[mb.addr];
  st = MbState();
  st.slice = sliceNum;
}

// mb_type t of the slice type: partitions and their prediction, or the
// intra type (0 I_NxN, 1..24 Intra16x16, 25 I_PCM; -1 for inter).
bool SliceDecoder::apply_mb_type(uint32_t t, int& intraType, bool& direct16) {
  intraType = -1;
  direct16 = false;
  if (sh.type == kI) {
    intraType = int(t);
  } else if (sh.type == kP) {
    if (t < 5) {
      mb.partShape = t == 0 ? 0 : t == 1 ? 1 : t == 2 ? 2 : 3;
      mb.partPred[0] = mb.partPred[1] = 1;
      if (t == 4) mb.kind = 1;  // P_8x8ref0
    } else {
      intraType = int(t - 5);
    }
  } else {
    if (t == 0) {
      direct16 = true;
      mb.partShape = 3;
    } else if (t < 22) {
      mb.partShape = kBTypes[t][0];
      mb.partPred[0] = kBTypes[t][1];
      mb.partPred[1] = kBTypes[t][2];
    } else if (t == 22) {
      mb.partShape = 3;
    } else {
      intraType = int(t - 23);
    }
  }
  if (intraType > 25) return false;
  mb.intra = intraType >= 0;
  MbState& st = ctx.mbs[mb.addr];
  st.intra = mb.intra;
  cur->mbIntra[mb.addr] = mb.intra ? 1 : 0;
  if (intraType > 0 && intraType < 25) {
    st.i16 = true;
    mb.i16Mode = (intraType - 1) % 4;
    mb.cbp = (((intraType - 1) / 4) % 3) << 4 | (intraType >= 13 ? 15 : 0);
  }
  return true;
}

void SliceDecoder::set_intra_motion() {
  const int W4 = W * 4;
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) cur->motion[size_t(mb.y * 4 + y) * W4 + mb.x * 4 + x] = kNoMotion;
}

// transform_size_8x8_flag of an inter macroblock with luma coefficients is
// present when no partition is below 8x8 (7.3.5).
bool SliceDecoder::t8x8_allowed(bool direct16) const {
  if (!pps.transform8x8 || mb.intra || !(mb.cbp & 15)) return false;
  bool ok = !direct16 || sps.direct8x8Inference;
  if (mb.partShape == 3 && !direct16) {
    for (int i = 0; i < 4; ++i) {
      if (sh.type == kP)
        ok = ok && mb.subType[i] == 0;
      else if (mb.subType[i] == 0)
        ok = ok && sps.direct8x8Inference;
      else
        ok = ok && kBSub[mb.subType[i]][1] == 0;
    }
  }
  return ok;
}

bool SliceDecoder::apply_qp_delta(int delta) {
  if (delta < -(26 + qpBdOffset / 2) || delta > 25 + qpBdOffset / 2) return false;
  qp = ((qp + delta + 52 + 2 * qpBdOffset) % (52 + qpBdOffset)) - qpBdOffset;
  return true;
}

// Motion, prediction and reconstruction of a parsed macroblock.
Status SliceDecoder::finish_mb() {
  if (!mb.intra) finish_motion();
  int rst;
  if (bd > 8) {
    if (!mb.intra) inter_pred<uint16_t>();
    rst = reconstruct<uint16_t>();
  } else {
    if (!mb.intra) inter_pred<uint8_t>();
    rst = reconstruct<uint8_t>();
  }
  if (rst < 0) return Status::skip("reconstruction failed", rst);
  return Status::success();
}

Status SliceDecoder::decode_mb() {
  begin_mb();
  MbState& st = ctx.mbs[mb.addr];
  uint32_t t = br.ue();
  if (br.fail) return Status::skip("invalid mb_type");
  int intraType;
  bool direct16;
  if (!apply_mb_type(t, intraType, direct16)) return Status::skip("invalid mb_type");
  if (intraType == 25) {
    st.pcm = true;
    st.qp = 0;
    return parse_pcm();
  }
  if (mb.intra) {
    if (intraType == 0 && pps.transform8x8) mb.t8x8 = br.u1();
    Status e = parse_intra_modes();
    if (!e.ok()) return e;
    set_intra_motion();
  } else {
    st.direct16 = direct16;
    if (direct16) {
      direct_motion_mb();
    } else {
      Status e = parse_inter_pred();
      if (!e.ok()) return e;
    }
  }
  if (!st.i16) {
    uint32_t c = br.ue();
    if (c > 47 || br.fail) return Status::skip("invalid coded_block_pattern");
    mb.cbp = mb.intra ? kCbpIntra[c] : kCbpInter[c];
    if (t8x8_allowed(direct16)) mb.t8x8 = br.u1();
  }
  st.t8x8 = mb.t8x8;
  st.cbp = uint8_t(mb.cbp);
  if ((mb.cbp & 0x3F) || st.i16) {
    if (!apply_qp_delta(br.se())) return Status::skip("invalid mb_qp_delta");
  }
  st.qp = qp;
  Status e = parse_residual();
  if (!e.ok()) return e;
  return finish_mb();
}

Status SliceDecoder::parse_pcm() {
  while (br.pos() & 7) br.u1();
  if (br.left() < size_t(bd) * (256 + 2 * 64 * cf)) return Status::skip("truncated I_PCM macroblock");
  const int W4 = W * 4;
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) {
      size_t i = size_t(mb.y * 4 + y) * W4 + mb.x * 4 + x;
      ctx.nzY[i] = 16;
    }
  ctx.mbs[mb.addr].nzMask = 0xFFFF;
  for (int c = 0; c < 2; ++c)
    for (int y = 0; y < 2 * cf; ++y)
      for (int x = 0; x < 2; ++x) ctx.nzC[c][size_t(mb.y * 2 * cf + y) * (W * 2) + mb.x * 2 + x] = 16;
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) cur->motion[size_t(mb.y * 4 + y) * W4 + mb.x * 4 + x] = kNoMotion;
  auto put = [&](int c, int x, int y, uint32_t v) {
    size_t i = size_t(y) * cur->stride[c] + x;
    if (bd > 8)
      cur->plane16(c)[i] = uint16_t(v);
    else
      cur->plane8(c)[i] = uint8_t(v);
  };
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) put(0, mb.x * 16 + x, mb.y * 16 + y, br.u(bd));
  int ch = 8 * cf;
  for (int c = 1; c <= 2; ++c)
    for (int y = 0; y < ch; ++y)
      for (int x = 0; x < 8; ++x) put(c, mb.x * 8 + x, mb.y * ch + y, br.u(bd));
  if (br.overrun()) return Status::skip("truncated I_PCM macroblock");
  return Status::success();
}

Status SliceDecoder::parse_intra_modes() {
  const int W4 = W * 4;
  int8_t* ip = &ctx.ipred[size_t(mb.y * 4) * W4 + mb.x * 4];
  // The modes of the neighbouring macroblocks count when they are I_NxN
  // (their blocks wrote them in this picture), DC otherwise; the blocks of
  // this macroblock come before their right and lower neighbours.
  auto nxn = [&](int addr) {
    const MbState& n = ctx.mbs[size_t(addr)];
    return n.intra && !n.i16 && !n.pcm;
  };
  const bool modesA = mb.intraA && nxn(mb.addr - 1), modesB = mb.intraB && nxn(mb.addr - W);
  auto predicted = [&](int bx, int by) {
    bool aOk = bx > 0 || mb.intraA, bOk = by > 0 || mb.intraB;
    if (!aOk || !bOk) return 2;
    const int a = bx > 0 || modesA ? ip[by * W4 + bx - 1] : 2;
    const int b = by > 0 || modesB ? ip[(by - 1) * W4 + bx] : 2;
    return a < b ? a : b;
  };
  // prev_intra_pred_mode_flag and rem_intra_pred_mode: -1 for the predicted mode
  auto read_rem = [&]() -> int {
    if (pps.cabac) return cabac::intra_rem(cabac_);
    return br.u1() ? -1 : int(br.u(3));
  };
  if (!ctx.mbs[mb.addr].i16) {
    if (mb.t8x8) {
      for (int b = 0; b < 4; ++b) {
        int bx = (b & 1) * 2, by = (b >> 1) * 2;
        int p = predicted(bx, by);
        int rem = read_rem();
        int m = rem < 0 ? p : rem < p ? rem : rem + 1;
        mb.i8Modes[b] = uint32_t(m);
        ip[by * W4 + bx] = ip[by * W4 + bx + 1] = ip[(by + 1) * W4 + bx] = ip[(by + 1) * W4 + bx + 1] = int8_t(m);
      }
    } else {
      for (int k = 0; k < 16; ++k) {
        int bx = kBlkX[k], by = kBlkY[k];
        int p = predicted(bx, by);
        int rem = read_rem();
        int m = rem < 0 ? p : rem < p ? rem : rem + 1;
        mb.i4Modes[k] = m;
        ip[by * W4 + bx] = int8_t(m);
      }
    }
  }
  uint32_t cm;
  if (pps.cabac) {
    // condTermFlagN: N available, intra (not I_PCM) and its mode not DC
    auto cond = [&](bool avail, int n) { return avail && ctx.cabacMbs[size_t(n)].chromaPred != 0 ? 1 : 0; };
    cm = uint32_t(cabac::chroma_pred(cabac_, cond(mb.availA, mb.addr - 1) + cond(mb.availB, mb.addr - W)));
    ctx.cabacMbs[size_t(mb.addr)].chromaPred = uint8_t(cm);
  } else {
    cm = br.ue();
  }
  if (cm > 3) return Status::skip("invalid intra_chroma_pred_mode");
  mb.chromaMode = int(cm);
  return Status::success();
}

Status SliceDecoder::parse_inter_pred() {
  auto parse_ref = [&](int list, int& out) {
    int cmax = sh.numRefIdxActive[list] - 1;
    if (cmax <= 0) {
      out = 0;
    } else if (cmax == 1) {
      out = br.u1() ? 0 : 1;
    } else {
      uint32_t v = br.ue();
      if (v > uint32_t(cmax)) return false;
      out = int(v);
    }
    return true;
  };
  for (int l = 0; l < 2; ++l)
    for (int i = 0; i < 4; ++i) mb.ref[l][i] = -1;
  if (mb.partShape != 3) {
    int n = mb.partShape == 0 ? 1 : 2;
    for (int l = 0; l < 2; ++l)
      for (int p = 0; p < n; ++p)
        if (mb.partPred[p] & (1 << l))
          if (!parse_ref(l, mb.ref[l][p])) return Status::skip("invalid ref_idx");
    for (int l = 0; l < 2; ++l)
      for (int p = 0; p < n; ++p)
        if (mb.partPred[p] & (1 << l)) {
          mb.mvd[l][p][0] = br.se();
          mb.mvd[l][p][1] = br.se();
        }
    return br.fail ? Status::skip("invalid mvd") : Status::success();
  }
  for (int i = 0; i < 4; ++i) {
    uint32_t s = br.ue();
    if (s > (sh.type == kP ? 3u : 12u)) return Status::skip("invalid sub_mb_type");
    mb.subType[i] = int(s);
  }
  auto subPred = [&](int i) { return sh.type == kP ? 1 : kBSub[mb.subType[i]][0]; };
  auto subShape = [&](int i) { return sh.type == kP ? mb.subType[i] : kBSub[mb.subType[i]][1]; };
  for (int l = 0; l < 2; ++l)
    for (int i = 0; i < 4; ++i)
      if (subPred(i) & (1 << l)) {
        if (mb.kind == 1)
          mb.ref[l][i] = 0;
        else if (!parse_ref(l, mb.ref[l][i]))
          return Status::skip("invalid ref_idx");
      }
  for (int l = 0; l < 2; ++l)
    for (int i = 0; i < 4; ++i)
      if (subPred(i) & (1 << l)) {
        int n = subShape(i) == 0 ? 1 : subShape(i) == 3 ? 4 : 2;
        for (int s = 0; s < n; ++s) {
          mb.mvd[l][i * 4 + s][0] = br.se();
          mb.mvd[l][i * 4 + s][1] = br.se();
        }
      }
  return br.fail ? Status::skip("invalid mvd") : Status::success();
}

// nC (9.2.1) from the coefficient counts of the blocks to the left and
// above. parse_residual writes the counts of every block of a coded
// macroblock; skipped macroblocks write none and count as 0 here.
int SliceDecoder::nc_luma(int bx, int by) {
  const int W4 = W * 4;
  size_t base = size_t(mb.y * 4 + by) * W4 + mb.x * 4 + bx;
  bool aOk = bx > 0 || mb.availA, bOk = by > 0 || mb.availB;
  int a = aOk && (bx > 0 || !ctx.mbs[size_t(mb.addr - 1)].skip) ? ctx.nzY[base - 1] : 0;
  int b = bOk && (by > 0 || !ctx.mbs[size_t(mb.addr - W)].skip) ? ctx.nzY[base - W4] : 0;
  if (aOk && bOk) return (a + b + 1) >> 1;
  return aOk ? a : bOk ? b : 0;
}

int SliceDecoder::nc_chroma(int c, int bx, int by) {
  const int W2 = W * 2;
  size_t base = size_t(mb.y * 2 * cf + by) * W2 + mb.x * 2 + bx;
  bool aOk = bx > 0 || mb.availA, bOk = by > 0 || mb.availB;
  int a = aOk && (bx > 0 || !ctx.mbs[size_t(mb.addr - 1)].skip) ? ctx.nzC[c][base - 1] : 0;
  int b = bOk && (by > 0 || !ctx.mbs[size_t(mb.addr - W)].skip) ? ctx.nzC[c][base - W2] : 0;
  if (aOk && bOk) return (a + b + 1) >> 1;
  return aOk ? a : bOk ? b : 0;
}

void SliceDecoder::reset_coefficients() {
  endY16 = coefY16;
  endY32 = coefY32;
  endC16[0] = coefC16[0];
  endC16[1] = coefC16[1];
  endC32[0] = coefC32[0];
  endC32[1] = coefC32[1];
  maskY = 0;
  maskC[0] = maskC[1] = 0;
}

Status SliceDecoder::parse_residual() {
  const bool hbd = bd > 8;
  Residual rs(*ctx.vlc, br);
  reset_coefficients();
  const int W4 = W * 4;
  uint8_t* nz = &ctx.nzY[size_t(mb.y * 4) * W4 + mb.x * 4];
  uint16_t nzMask = 0;
  const bool i16 = ctx.mbs[mb.addr].i16;
  if (i16) {
    int n =
        hbd ? rs.block32(&endY32, nc_luma(0, 0), 16, kScanZigzag) : rs.block16(&endY16, nc_luma(0, 0), 16, kScanZigzag);
    if (n < 0) return Status::skip("invalid residual (Intra16x16 DC)");
    if (n > 0) maskY |= 1;
  }
  for (int b8 = 0; b8 < 4; ++b8) {
    if (!(mb.cbp & (1 << b8))) {
      const int bx = (b8 & 1) * 2, by = (b8 >> 1) * 2;
      std::memset(nz + by * W4 + bx, 0, 2);
      std::memset(nz + (by + 1) * W4 + bx, 0, 2);
      continue;
    }
    if (mb.t8x8) {
      // CAVLC 8x8: four interleaved 4x4 parts of the 8x8 zigzag scan.
      int16_t* blk16 = endY16;
      int32_t* blk32 = endY32;
      if (hbd)
        std::memset(blk32, 0, 64 * sizeof(int32_t));
      else
        std::memset(blk16, 0, 64 * sizeof(int16_t));
      int any = 0;
      for (int i = 0; i < 4; ++i) {
        int k = b8 * 4 + i;
        int bx = kBlkX[k], by = kBlkY[k];
        int n;
        if (hbd) {
          int32_t tmp[16];
          int32_t* p = tmp;
          n = rs.block32(&p, nc_luma(bx, by), 16, kScanIdentity);
          if (n > 0)
            for (int j = 0; j < 16; ++j) blk32[kZigzag8x8[4 * j + i]] = tmp[j];
        } else {
          int16_t tmp[16];
          int16_t* p = tmp;
          n = rs.block16(&p, nc_luma(bx, by), 16, kScanIdentity);
          if (n > 0)
            for (int j = 0; j < 16; ++j) blk16[kZigzag8x8[4 * j + i]] = tmp[j];
        }
        if (n < 0) return Status::skip("invalid residual (luma 8x8)");
        nz[by * W4 + bx] = uint8_t(n);
        any |= n;
      }
      if (any) {
        maskY |= 1u << b8;
        if (hbd)
          endY32 += 64;
        else
          endY16 += 64;
        for (int i = 0; i < 4; ++i) nzMask |= uint16_t(1 << (4 * kBlkY[b8 * 4 + i] + kBlkX[b8 * 4 + i]));
      }
      continue;
    }
    for (int i = 0; i < 4; ++i) {
      int k = b8 * 4 + i;
      int bx = kBlkX[k], by = kBlkY[k];
      int maxc = i16 ? 15 : 16;
      int n = hbd ? rs.block32(&endY32, nc_luma(bx, by), maxc, kScanZigzag)
                  : rs.block16(&endY16, nc_luma(bx, by), maxc, kScanZigzag);
      if (n < 0) return Status::skip("invalid residual (luma)");
      nz[by * W4 + bx] = uint8_t(n);
      if (n > 0) {
        maskY |= 1u << (k + 1);
        nzMask |= uint16_t(1 << (4 * by + bx));
      }
    }
  }
  ctx.mbs[mb.addr].nzMask = nzMask;
  int cbpC = mb.cbp >> 4;
  if (cbpC > 2) return Status::skip("invalid coded_block_pattern");
  // 8-bit 4:2:0 chroma uses one stream for both components, in bitstream order.
  const bool shared = !hbd && cf == 1;
  if (cbpC & 3) {
    for (int c = 0; c < 2; ++c) {
      int n;
      if (hbd)
        n = rs.dc32(&endC32[c], cf);
      else
        n = rs.dc16(shared ? &endC16[0] : &endC16[c], cf);
      if (n < 0) return Status::skip("invalid residual (chroma DC)");
      if (n > 0) maskC[c] |= 1;
    }
  }
  const int W2 = W * 2;
  if (!(cbpC & 2))
    for (int c = 0; c < 2; ++c) {
      uint8_t* nzc = &ctx.nzC[c][size_t(mb.y * 2 * cf) * W2 + mb.x * 2];
      for (int y = 0; y < 2 * cf; ++y) std::memset(nzc + y * W2, 0, 2);
    }
  if (cbpC & 2) {
    for (int c = 0; c < 2; ++c) {
      uint8_t* nzc = &ctx.nzC[c][size_t(mb.y * 2 * cf) * W2 + mb.x * 2];
      for (int k = 0; k < 4 * cf; ++k) {
        int bx = k & 1, by = k >> 1;
        int nC = nc_chroma(c, bx, by);
        int n = hbd ? rs.block32(&endC32[c], nC, 15, kScanZigzag)
                    : rs.block16(shared ? &endC16[0] : &endC16[c], nC, 15, kScanZigzag);
        if (n < 0) return Status::skip("invalid residual (chroma AC)");
        nzc[by * W2 + bx] = uint8_t(n);
        if (n > 0) maskC[c] |= 2u << k;
      }
    }
  }
  return Status::success();
}

}  // namespace h264dec
