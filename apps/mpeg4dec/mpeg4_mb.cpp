// The MPEG-4 Visual macroblock layer (ISO/IEC 14496-2 6.2.6 to 6.2.8, 7.4
// to 7.6): I-, P- and B-VOP macroblocks, the intra DC and AC prediction,
// the motion vector prediction, and the direct mode.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "decoder.h"
#include "vlc.h"

namespace mpeg4dec {
namespace {

int median(int a, int b, int c) { return std::max(std::min(a, b), std::min(std::max(a, b), c)); }

// dc_scaler (Table 7-1).
int dc_scaler(int qp, bool chroma) {
  if (!chroma) return qp <= 4 ? 8 : qp <= 8 ? 2 * qp : qp <= 24 ? qp + 8 : 2 * qp - 16;
  return qp <= 4 ? 8 : qp <= 24 ? (qp + 13) / 2 : qp - 6;
}

// a / b rounded to the nearest, halves away from zero ("//").
int rounded_div(int a, int b) { return (a >= 0 ? a + b / 2 : a - b / 2) / b; }

constexpr int kDquant[4] = {-1, -2, 1, 2};

}  // namespace

// 7.4.3: the block's DC predicted from the left (A), above-left (B) or
// above (C) block, whichever gradient is smaller; with ac_pred_flag the first
// column (from A) or row (from C) of levels too, scaled to this quantiser.
// Neighbours outside the VOP or video packet, or not intra, give 1024 and
// no AC prediction.
bool Decoder::intra_block(BitReader& b, int blk, int mbx, int mby, bool coded, int qp, bool acPred, bool dcVlc) {
  const int comp = blk < 4 ? 0 : blk - 3;
  const int gw = comp ? mbw_ : 2 * mbw_;
  const int bx = comp ? mbx : 2 * mbx + (blk & 1), by = comp ? mby : 2 * mby + (blk >> 1);
  std::vector<BlockPred>& store = pred_[comp];
  auto available = [&](int x, int y) {
    if (x < 0 || y < 0) return false;
    const size_t m = comp ? size_t(y) * size_t(mbw_) + size_t(x) : size_t(y >> 1) * size_t(mbw_) + size_t(x >> 1);
    return packet_[m] == packetId_ && intra_[m];
  };
  auto qp_of = [&](int x, int y) {
    return int(qp_[comp ? size_t(y) * size_t(mbw_) + size_t(x) : size_t(y >> 1) * size_t(mbw_) + size_t(x >> 1)]);
  };
  const bool hasA = available(bx - 1, by), hasB = available(bx - 1, by - 1), hasC = available(bx, by - 1);
  const int fa = hasA ? store[size_t(by) * size_t(gw) + size_t(bx - 1)].dc : 1024;
  const int fb = hasB ? store[size_t(by - 1) * size_t(gw) + size_t(bx - 1)].dc : 1024;
  const int fc = hasC ? store[size_t(by - 1) * size_t(gw) + size_t(bx)].dc : 1024;
  const bool fromAbove = std::abs(fa - fb) < std::abs(fb - fc);
  const int scaler = dc_scaler(qp, comp != 0);
  const int scan = acPred ? (fromAbove ? 2 : 1) : 0;

  int16_t* coef = coef_;
  std::memset(coef, 0, 64 * sizeof(int16_t));
  Kvn32s last = 0;
  int diff = 0;
  if (dcVlc) {
    Kvn16s d = 0;
    if (kvniDecodeDCIntra_MPEG4_1u16s(&b.ptr, &b.off, &d, comp ? 1 : 0) < 0) return false;
    diff = d;
    if (coded && kvniDecodeCoeffsIntra_MPEG4_1u16s(&b.ptr, &b.off, coef, &last, 0, 1, scan) < 0) return false;
  } else if (coded) {
    if (kvniDecodeCoeffsIntra_MPEG4_1u16s(&b.ptr, &b.off, coef, &last, 0, 0, scan) < 0) return false;
    diff = coef[0];
  }
  b.clamp();
  const int level = diff + ((fromAbove ? fc : fa) + scaler / 2) / scaler;
  coef[0] = int16_t(level);
  BlockPred& self = store[size_t(by) * size_t(gw) + size_t(bx)];
  self.dc = int16_t(std::clamp(level * scaler, -2048, 2047));
  if (acPred) {
    if (fromAbove && hasC) {
      const BlockPred& c = store[size_t(by - 1) * size_t(gw) + size_t(bx)];
      const int qc = qp_of(bx, by - 1);
      for (int i = 0; i < 7; ++i)
        coef[1 + i] = int16_t(coef[1 + i] + (qc == qp ? c.row[i] : rounded_div(c.row[i] * qc, qp)));
    } else if (!fromAbove && hasA) {
      const BlockPred& a = store[size_t(by) * size_t(gw) + size_t(bx - 1)];
      const int qa = qp_of(bx - 1, by);
      for (int i = 0; i < 7; ++i)
        coef[8 * (i + 1)] = int16_t(coef[8 * (i + 1)] + (qa == qp ? a.col[i] : rounded_div(a.col[i] * qa, qp)));
    }
  }
  for (int i = 0; i < 7; ++i) self.row[i] = coef[1 + i], self.col[i] = coef[8 * (i + 1)];
  kvniQuantInvIntra_MPEG4_16s_C1I(coef, 63, invIntra_.get(), qp, comp ? 1 : 0);
  Plane& p = cur_->plane[comp];
  uint8_t* dst = comp ? p.at(mbx * 8, mby * 8) : p.at(mbx * 16 + (blk & 1) * 8, mby * 16 + (blk >> 1) * 8);
  idct_put(coef, acPred ? -1 : last, dst, p.stride);
  return true;
}

// 7.6.5: the median of the left (A), above (B) and above-right (C)
// candidates; a candidate outside the VOP or the video packet counts as 0,
// and when two are missing the third is the prediction.
void Decoder::predict_vector(int mbx, int mby, int blk, int& px, int& py) const {
  struct Cand {
    int dx, dy, blk;  // macroblock offset and block
  };
  static constexpr Cand kCand[4][3] = {{{-1, 0, 1}, {0, -1, 2}, {1, -1, 2}},
                                       {{0, 0, 0}, {0, -1, 3}, {1, -1, 2}},
                                       {{-1, 0, 3}, {0, 0, 0}, {0, 0, 1}},
                                       {{0, 0, 2}, {0, 0, 0}, {0, 0, 1}}};
  int v[3][2], valid = 0, which = 0;
  bool aboveOk = true;
  for (int k = 0; k < 3; ++k) {
    const Cand& c = kCand[blk][k];
    const int x = mbx + c.dx, y = mby + c.dy;
    bool ok = x >= 0 && x < mbw_ && y >= 0 && y * mbw_ + x >= packetStart_;
    if (k == 1) aboveOk = ok;
    if (k == 2 && !aboveOk && !h263Pred_) ok = false;
    if (ok) {
      const int16_t* mv = &cur_->mv[(size_t(y) * size_t(mbw_) + size_t(x)) * 8 + size_t(c.blk) * 2];
      v[k][0] = mv[0], v[k][1] = mv[1];
      ++valid, which = k;
    } else {
      v[k][0] = v[k][1] = 0;
    }
  }
  if (valid == 1) {
    px = v[which][0], py = v[which][1];
    return;
  }
  px = median(v[0][0], v[1][0], v[2][0]);
  py = median(v[0][1], v[1][1], v[2][1]);
}

bool Decoder::read_vectors(BitReader& b, int mbx, int mby, bool four) {
  int16_t* mv = &cur_->mv[(size_t(mby) * size_t(mbw_) + size_t(mbx)) * 8];
  // libavcodec's encoder and decoder clear the vector of block 3 of the
  // macroblock before a video packet that begins with four vectors (it is
  // outside the packet, so no prediction uses it); the direct mode of the
  // B-VOPs that follow sees that zero, and so must this decoder.
  if (four && mby * mbw_ + mbx == packetStart_ && mbx > 0) mv[-2] = mv[-1] = 0;
  for (int k = 0; k < (four ? 4 : 1); ++k) {
    int px, py;
    predict_vector(mbx, mby, k, px, py);
    const int x = motion_component(b, vop_.fcodeF, px);
    if (x == kInvalid) return false;
    const int y = motion_component(b, vop_.fcodeF, py);
    if (y == kInvalid) return false;
    mv[2 * k] = int16_t(x), mv[2 * k + 1] = int16_t(y);
  }
  if (!four)
    for (int k = 1; k < 4; ++k) mv[2 * k] = mv[0], mv[2 * k + 1] = mv[1];
  return true;
}

// The macroblock's prediction from `ref`: one vector for the 16x16 luma
// block and both chroma blocks, or one for each 8x8 luma block and their
// sum for chroma.
void Decoder::predict_mb(const Frame& ref, int mbx, int mby, const int16_t* mv, bool four, int rounding, bool avg) {
  Frame& f = *cur_;
  int cx, cy;
  if (four) {
    for (int k = 0; k < 4; ++k)
      predict_block(ref.plane[0], f.plane[0], mbx * 16 + (k & 1) * 8, mby * 16 + (k >> 1) * 8, 8, mv[2 * k],
                    mv[2 * k + 1], rounding, avg);
    cx = chroma_vector4(mv[0] + mv[2] + mv[4] + mv[6]);
    cy = chroma_vector4(mv[1] + mv[3] + mv[5] + mv[7]);
  } else {
    predict_block(ref.plane[0], f.plane[0], mbx * 16, mby * 16, 16, mv[0], mv[1], rounding, avg);
    cx = chroma_vector(mv[0]), cy = chroma_vector(mv[1]);
  }
  predict_block(ref.plane[1], f.plane[1], mbx * 8, mby * 8, 8, cx, cy, rounding, avg);
  predict_block(ref.plane[2], f.plane[2], mbx * 8, mby * 8, 8, cx, cy, rounding, avg);
}

bool Decoder::inter_blocks(BitReader& b, int mbx, int mby, int cbp, int qp) {
  for (int blk = 0; blk < 6; ++blk) {
    if (!(cbp & (32 >> blk))) continue;
    Kvn32s last = 0;
    if (kvniReconstructCoeffsInter_MPEG4_1u16s(&b.ptr, &b.off, coef_, &last, 0, 0, invInter_.get(), qp) < 0)
      return false;
    b.clamp();
    const int comp = blk < 4 ? 0 : blk - 3;
    Plane& p = cur_->plane[comp];
    uint8_t* dst = comp ? p.at(mbx * 8, mby * 8) : p.at(mbx * 16 + (blk & 1) * 8, mby * 16 + (blk >> 1) * 8);
    idct_add(coef_, last, dst, p.stride);
  }
  return true;
}

// An I- or P-VOP macroblock (6.2.6).
bool Decoder::mpeg4_mb(BitReader& b, int mb, int& qp) {
  const int mbx = mb % mbw_, mby = mb / mbw_;
  const size_t m = size_t(mb);
  Frame& f = *cur_;
  int16_t* mv = &f.mv[m * 8];
  packet_[m] = packetId_;
  int mcbpc;
  for (;;) {
    if (vop_.type == kVopP && b.u1()) {  // not_coded: the reference's macroblock, vector 0
      intra_[m] = 0;
      qp_[m] = uint8_t(qp);
      f.skipped[m] = 1;
      std::fill_n(mv, 8, int16_t(0));
      predict_mb(*future_, mbx, mby, mv, false, vop_.rounding, false);
      return true;
    }
    mcbpc = vop_.type == kVopI ? mcbpc_intra(b) : mcbpc_inter(b);
    if (mcbpc == kInvalid) return false;
    if (mcbpc != 20) break;  // stuffing
    if (b.overrun()) return false;
  }
  const int type = mcbpc >> 2, cbpc = mcbpc & 3;
  const bool intra = type >= 3;
  const bool acPred = intra && b.u1();
  int cbpyv = cbpy(b);
  if (cbpyv == kInvalid) return false;
  if (!intra) cbpyv = 15 - cbpyv;
  const int cbp = cbpyv << 2 | cbpc;
  const bool dcVlc = qp < vop_.dcThreshold;  // the quantiser before this macroblock's change
  if (type == 1 || type == 4) qp = std::clamp(qp + kDquant[b.u(2)], 1, 31);
  qp_[m] = uint8_t(qp);
  intra_[m] = intra;
  if (intra) {
    std::fill_n(mv, 8, int16_t(0));
    for (int blk = 0; blk < 6; ++blk)
      if (!intra_block(b, blk, mbx, mby, cbp & (32 >> blk), qp, acPred, dcVlc)) return false;
    return true;
  }
  const bool four = type == 2;
  f.fourMv[m] = four;
  if (!read_vectors(b, mbx, mby, four)) return false;
  predict_mb(*future_, mbx, mby, mv, four, vop_.rounding, false);
  return inter_blocks(b, mbx, mby, cbp, qp);
}

// A B-VOP macroblock (6.2.6, 7.6.7 to 7.6.9).
bool Decoder::mpeg4_b_mb(BitReader& b, int mb, int& qp) {
  const int mbx = mb % mbw_, mby = mb / mbw_;
  const size_t m = size_t(mb);
  packet_[m] = packetId_;
  intra_[m] = 0;
  qp_[m] = uint8_t(qp);
  static const int16_t kZero[8] = {};
  if (future_->skipped[m]) {  // not coded in the newer reference: forward, vector 0
    predict_mb(*past_, mbx, mby, kZero, false, 0, false);
    return true;
  }
  int type = 0, cbp = 0;
  const bool modb1 = b.u1();
  if (!modb1) {
    const bool modb2 = b.u1();
    type = mb_type_b(b);
    if (type == kInvalid) return false;
    if (!modb2) cbp = int(b.u(6));
    if (type != 0 && cbp && b.u1()) qp = std::clamp(qp + (b.u1() ? 2 : -2), 1, 31);
  }
  qp_[m] = uint8_t(qp);
  int16_t fwd[8], bwd[8];
  bool four = false;
  if (type == 0) {  // direct: the newer reference's vectors scaled by TRB / TRD plus a delta
    int dx = 0, dy = 0;
    if (!modb1) {
      dx = motion_component(b, 1, 0);
      if (dx == kInvalid) return false;
      dy = motion_component(b, 1, 0);
      if (dy == kInvalid) return false;
    }
    four = future_->fourMv[m];
    const int16_t* col = &future_->mv[m * 8];
    const int trb = pbTime_, trd = ppTime_;
    for (int k = 0; k < 4; ++k) {
      for (int c = 0; c < 2; ++c) {
        const int p = col[2 * k + c], d = c ? dy : dx;
        const int vf = trb * p / trd + d;
        fwd[2 * k + c] = int16_t(vf);
        bwd[2 * k + c] = int16_t(d ? vf - p : (trb - trd) * p / trd);
      }
    }
    predict_mb(*past_, mbx, mby, fwd, four, 0, false);
    predict_mb(*future_, mbx, mby, bwd, four, 0, true);
  } else {
    if (type == 1 || type == 3) {
      const int x = motion_component(b, vop_.fcodeF, lastMv_[0][0]);
      if (x == kInvalid) return false;
      const int y = motion_component(b, vop_.fcodeF, lastMv_[0][1]);
      if (y == kInvalid) return false;
      lastMv_[0][0] = int16_t(x), lastMv_[0][1] = int16_t(y);
    }
    if (type == 1 || type == 2) {
      const int x = motion_component(b, vop_.fcodeB, lastMv_[1][0]);
      if (x == kInvalid) return false;
      const int y = motion_component(b, vop_.fcodeB, lastMv_[1][1]);
      if (y == kInvalid) return false;
      lastMv_[1][0] = int16_t(x), lastMv_[1][1] = int16_t(y);
    }
    for (int k = 0; k < 4; ++k) {
      fwd[2 * k] = lastMv_[0][0], fwd[2 * k + 1] = lastMv_[0][1];
      bwd[2 * k] = lastMv_[1][0], bwd[2 * k + 1] = lastMv_[1][1];
    }
    if (type != 2) predict_mb(*past_, mbx, mby, fwd, false, 0, false);
    if (type != 3) predict_mb(*future_, mbx, mby, bwd, false, 0, type == 1);
  }
  return inter_blocks(b, mbx, mby, cbp, qp);
}

}  // namespace mpeg4dec
