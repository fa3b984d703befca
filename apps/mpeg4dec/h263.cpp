// ITU-T H.263 (baseline, and the H.263+ picture header with Annexes D, I, J
// and T) picture, GOB and macroblock layers.
#include <algorithm>
#include <cstring>

#include "decoder.h"
#include "vlc.h"

namespace mpeg4dec {

struct Decoder::H263Picture {
  int type = 0;  // 0 I, 1 P
  int width = 0, height = 0;
  int quant = 1;
  bool longVectors = false;  // Annex D of the version 1 header
  bool umvPlus = false;      // Annex D with PLUSPTYPE: its own vector differences
  bool advIntra = false, deblock = false, modQuant = false, fourMv = false;
  int rounding = 0;
  int gobRows = 1;      // macroblock rows per GOB
  bool slices = false;  // Annex K: slices instead of GOBs
  int mbaBits = 0;      // Annex K: bits of the macroblock address
};

namespace {

// ITU-T H.263 Annex T Table T.1 (DQUANT as 1 then a bit) and T.2 (chroma QUANT).
int modified_dquant(int qp, int bit) {
  if (bit == 0) return qp == 1 ? 3 : qp <= 10 ? qp - 1 : qp <= 20 ? qp - 2 : qp - 3;
  return qp <= 10 ? qp + 1 : qp <= 20 ? qp + 2 : qp <= 28 ? qp + 3 : qp == 29 ? 31 : qp == 30 ? 31 : 26;
}
constexpr uint8_t kChromaQp[32] = {0,  1,  2,  3,  4,  5,  6,  6,  7,  8,  9,  9,  10, 10, 11, 11,
                                   12, 12, 12, 13, 13, 13, 14, 14, 14, 14, 14, 15, 15, 15, 15, 15};

// The Annex D vector difference of the PLUSPTYPE header with UUI: 1 for zero,
// else a universal code whose last bit is the sign.
int umv_delta(BitReader& b) {
  if (b.u1()) return 0;
  int code = 2 + int(b.u1());
  while (b.u1()) {
    code = code << 1 | int(b.u1());
    if (code >= 32768 || b.overrun()) return kInvalid;
  }
  const int v = code >> 1;
  return code & 1 ? -v : v;
}

}  // namespace

// H.263 5.1 (and 5.1.4 for PLUSPTYPE): returns "" or the error.
std::string Decoder::h263_picture(BitReader& b, H263Picture& pic) {
  static constexpr int kW[6] = {0, 128, 176, 352, 704, 1408}, kH[6] = {0, 96, 144, 288, 576, 1152};
  b.skip(22);  // PSC
  b.skip(8);   // TR
  if (b.u1() != 1 || b.u1() != 0) return "invalid H.263 picture header";
  b.skip(3);  // split screen, document camera, freeze release
  const int format = int(b.u(3));
  if (format == 0 || format == 6) return "invalid H.263 picture header";
  if (format != 7) {
    pic.width = kW[format], pic.height = kH[format];
    pic.type = int(b.u1());
    pic.longVectors = b.u1();
    if (b.u1()) return "unsupported: H.263 syntax-based arithmetic coding";
    if (b.u1()) return "unsupported: H.263 advanced prediction (overlapped block motion compensation)";
    if (b.u1()) return "unsupported: H.263 PB-frames";
    pic.quant = int(b.u(5));
    if (b.u1()) return "unsupported: H.263 continuous presence multipoint";
  } else {
    // UFEP 1: the options (OPPTYPE) follow; 0: those of the last picture that had them.
    const int ufep = int(b.u(3));
    if (ufep > 1 || (ufep == 0 && !h263Plus_.valid)) return "invalid H.263 picture header";
    H263Options& o = h263Plus_;
    int fmt = 0;
    if (ufep == 1) {
      fmt = int(b.u(3));
      o.customPcf = b.u1();
      o.umvPlus = b.u1();
      if (b.u1()) return "unsupported: H.263 syntax-based arithmetic coding";
      if (b.u1()) return "unsupported: H.263 advanced prediction (overlapped block motion compensation)";
      o.advIntra = b.u1();
      o.deblock = b.u1();
      o.slices = b.u1();
      if (b.u1()) return "unsupported: H.263 reference picture selection";
      if (b.u1()) return "unsupported: H.263 independent segment decoding";
      if (b.u1()) return "unsupported: H.263 alternative inter VLC";
      o.modQuant = b.u1();
      if (b.u(4) != 8) return "invalid H.263 picture header";
      if (fmt == 0 || fmt == 7) return "invalid H.263 picture header";
      o.valid = false;  // until the rest of the options are read
    }
    const int type = int(b.u(3));
    if (type > 1) return "unsupported: H.263 picture type " + std::to_string(type);
    pic.type = type;
    if (b.u1()) return "unsupported: H.263 reference picture resampling";
    if (b.u1()) return "unsupported: H.263 reduced-resolution update";
    pic.rounding = int(b.u1());
    if (b.u(3) != 1) return "invalid H.263 picture header";
    if (b.u1()) return "unsupported: H.263 continuous presence multipoint";
    if (ufep == 1) {
      if (fmt == 6) {
        const int par = int(b.u(4));
        o.width = (int(b.u(9)) + 1) * 4;
        if (b.u1() != 1) return "invalid H.263 picture header";
        o.height = int(b.u(9)) * 4;
        if (par == 15) b.skip(16);
      } else {
        o.width = kW[fmt], o.height = kH[fmt];
      }
      if (o.customPcf) b.skip(8);  // CPCFC
    }
    if (o.customPcf) b.skip(2);  // ETR
    if (ufep == 1) {
      if (o.umvPlus && !b.u1()) b.skip(1);  // UUI 1 or 01
      if (o.slices && b.u(2) != 0) return "unsupported: H.263 rectangular or arbitrary slice order";
      o.valid = true;
    }
    pic.width = o.width, pic.height = o.height;
    pic.umvPlus = o.umvPlus, pic.advIntra = o.advIntra, pic.deblock = o.deblock;
    pic.slices = o.slices, pic.modQuant = o.modQuant;
    pic.quant = int(b.u(5));
  }
  while (b.u1()) {  // PEI, PSUPP
    b.skip(8);
    if (b.overrun()) return "invalid H.263 picture header";
  }
  if (pic.width < 16 || pic.height < 16 || pic.quant == 0) return "invalid H.263 picture header";
  pic.gobRows = pic.height <= 400 ? 1 : pic.height <= 800 ? 2 : 4;
  if (pic.slices) {  // Annex K.2: the first slice's SEPB1, MBA (0) and SEPB2
    static constexpr int kMbaMax[6] = {47, 98, 395, 1583, 6335, 9215}, kMbaBits[6] = {6, 7, 9, 11, 13, 14};
    const int mbs = ((pic.width + 15) / 16) * ((pic.height + 15) / 16);
    for (int i = 0; i < 6 && !pic.mbaBits; ++i)
      if (mbs - 1 <= kMbaMax[i]) pic.mbaBits = kMbaBits[i];
    if (!pic.mbaBits) return "invalid H.263 picture header";
    if (b.u1() != 1 || b.u(pic.mbaBits) != 0 || b.u1() != 1) return "invalid H.263 picture header";
  }
  return "";
}

std::string Decoder::decode_h263(const std::vector<uint8_t>& data, size_t size) {
  std::vector<size_t> starts;  // byte offsets of the picture start codes
  for (size_t i = 0; i + 3 < size; ++i)
    if (data[i] == 0 && data[i + 1] == 0 && (data[i + 2] & 0xFC) == 0x80) starts.push_back(i), i += 2;
  for (size_t k = 0; k < starts.size(); ++k) {
    const size_t end = k + 1 < starts.size() ? starts[k + 1] : size;
    BitReader b(data.data(), starts[k], end);
    H263Picture pic;
    const std::string err = h263_picture(b, pic);
    if (!err.empty()) {
      if (err.compare(0, 12, "unsupported:") == 0) return err;
      ++errors_;
      continue;
    }
    const int mbw = (pic.width + 15) / 16, mbh = (pic.height + 15) / 16;
    if (int64_t(mbw) * mbh > maxMbs_) return "picture too large";
    if (!future_ || mbw != mbw_ || mbh != mbh_ || future_->width != pic.width || future_->height != pic.height) {
      flush();
      recycle(std::move(past_)), recycle(std::move(future_));
      mbw_ = mbw, mbh_ = mbh;
      const size_t n = size_t(mbw) * size_t(mbh);
      packet_.assign(n, -1);
      intra_.assign(n, 0);
      qp_.assign(n, 1);
      coded_.assign(n, 0);
      pred_[0].assign(n * 4, BlockPred{});
      pred_[1].assign(n, BlockPred{});
      pred_[2].assign(n, BlockPred{});
    }
    if (pic.type == 1 && !future_) {
      ++errors_;
      continue;
    }
    vop_ = Vop();  // the shared macroblock helpers read the vector range and rounding here
    vop_.type = pic.type;
    vop_.rounding = pic.rounding;
    h263Pred_ = false;
    cur_ = new_frame(pic.width, pic.height, pic.width, pic.height);
    int qp = pic.quant;
    ++packetId_;
    packetStart_ = 0;
    bool failed = false;
    const int mbCount = mbw_ * mbh_;
    for (int mb = 0; mb < mbCount; ++mb) {
      const int mby = mb / mbw_;
      if (pic.slices && mb > 0) {
        // A slice header (Annex K.2), possibly after stuffing to a byte boundary.
        BitReader t = b;
        if (t.peek(17) != 1 && t.off && t.peek(8 - t.off) == 0) t.skip(8 - t.off);
        if (t.peek(17) == 1) {
          t.skip(17);
          bool ok = t.u1() == 1;
          const int mba = int(t.u(pic.mbaBits));
          if (mbCount > 1584) ok &= t.u1() == 1;
          const int q = int(t.u(5));
          ok &= t.u1() == 1;
          t.skip(2);  // GFID
          if (!ok || mba < mb || mba >= mbCount || q == 0) {
            failed = true;
            conceal_from(mb);
            break;
          }
          if (mba > mb) conceal_from(mb);
          mb = mba;
          qp = q;
          b = t;
          ++packetId_;
          packetStart_ = mb;
        }
      } else if (!pic.slices && mb % mbw_ == 0 && mby % pic.gobRows == 0 && mby > 0) {
        // A GOB header (5.2), possibly after stuffing to a byte boundary.
        BitReader t = b;
        if (t.peek(17) != 1 && t.off && t.peek(8 - t.off) == 0) t.skip(8 - t.off);
        if (t.peek(17) == 1) {
          t.skip(17);
          const int gn = int(t.u(5));
          t.skip(2);  // GFID
          const int q = int(t.u(5));
          if (gn * pic.gobRows * mbw_ < mb || gn * pic.gobRows >= mbh_ || q == 0) {
            failed = true;
            conceal_from(mb);
            break;
          }
          if (gn * pic.gobRows * mbw_ > mb) conceal_from(mb);
          mb = gn * pic.gobRows * mbw_;
          qp = q;
          b = t;
          ++packetId_;
          packetStart_ = mb;
        }
      }
      if (b.overrun() || !h263_mb(b, pic, mb, qp) || b.overrun()) {
        failed = true;
        conceal_from(mb);
        break;
      }
      if (pic.deblock) h263_loop_filter(mb % mbw_, mb / mbw_, pic);
    }
    if (failed) ++errors_;
    finish_reference();
  }
  return "";
}

// Annex I: the intra block's DC and, by the macroblock's prediction mode,
// its first row (from above) or column (from the left) of levels predicted
// from the neighbours in the same GOB; the DC as a reconstructed value
// (2 QUANT x level + prediction), made odd.
bool Decoder::h263_intra_block(BitReader& b, const H263Picture& pic, int blk, int mbx, int mby, bool coded, int qp,
                               int acPred, bool leftPred) {
  const int comp = blk < 4 ? 0 : blk - 3;
  const int cqp = comp && pic.modQuant ? kChromaQp[qp] : qp;
  Plane& p = cur_->plane[comp];
  uint8_t* dst = comp ? p.at(mbx * 8, mby * 8) : p.at(mbx * 16 + (blk & 1) * 8, mby * 16 + (blk >> 1) * 8);
  int16_t* coef = coef_;
  Kvn32s last = 0;
  if (!pic.advIntra) {
    if (kvniReconstructCoeffsIntra_H263_1u16s(&b.ptr, &b.off, coef, &last, coded, cqp, 0, 0, pic.modQuant) < 0)
      return false;
    b.clamp();
    if (!coded) std::memset(coef + 1, 0, 63 * sizeof(int16_t));
    idct_put(coef, last, dst, p.stride);
    return true;
  }
  const int gw = comp ? mbw_ : 2 * mbw_;
  const int bx = comp ? mbx : 2 * mbx + (blk & 1), by = comp ? mby : 2 * mby + (blk >> 1);
  std::vector<BlockPred>& store = pred_[comp];
  auto available = [&](int x, int y) {
    if (x < 0 || y < 0) return false;
    const size_t m = comp ? size_t(y) * size_t(mbw_) + size_t(x) : size_t(y >> 1) * size_t(mbw_) + size_t(x >> 1);
    return packet_[m] == packetId_ && intra_[m];
  };
  std::memset(coef, 0, 64 * sizeof(int16_t));
  const int scan = acPred ? (leftPred ? 1 : 2) : 0;
  if (coded) {
    if (kvniDecodeCoeffsIntra_H263_1u16s(&b.ptr, &b.off, coef, &last, 1, pic.modQuant, scan) < 0) return false;
    b.clamp();
  }
  const bool hasA = available(bx - 1, by), hasC = available(bx, by - 1);
  const BlockPred* a = hasA ? &store[size_t(by) * size_t(gw) + size_t(bx - 1)] : nullptr;
  const BlockPred* c = hasC ? &store[size_t(by - 1) * size_t(gw) + size_t(bx)] : nullptr;
  int predDc = 1024;
  if (acPred) {
    if (leftPred && a) {
      for (int i = 0; i < 7; ++i) coef[8 * (i + 1)] = int16_t(coef[8 * (i + 1)] + a->col[i]);
      predDc = a->dc;
    } else if (!leftPred && c) {
      for (int i = 0; i < 7; ++i) coef[1 + i] = int16_t(coef[1 + i] + c->row[i]);
      predDc = c->dc;
    }
  } else {
    predDc = a && c ? (a->dc + c->dc) >> 1 : a ? a->dc : c ? c->dc : 1024;
  }
  int dc = coef[0] * 2 * cqp + predDc;
  dc = dc < 0 ? 0 : dc | 1;
  BlockPred& self = store[size_t(by) * size_t(gw) + size_t(bx)];
  self.dc = int16_t(std::min(dc, 32767));
  for (int i = 0; i < 7; ++i) self.row[i] = coef[1 + i], self.col[i] = coef[8 * (i + 1)];
  kvniQuantInvIntra_H263_16s_C1I(coef, 63, cqp, 1, pic.modQuant);
  coef[0] = int16_t(self.dc);
  idct_put(coef, -1, dst, p.stride);
  return true;
}

bool Decoder::h263_mb(BitReader& b, const H263Picture& pic, int mb, int& qp) {
  const int mbx = mb % mbw_, mby = mb / mbw_;
  const size_t m = size_t(mb);
  Frame& f = *cur_;
  int16_t* mv = &f.mv[m * 8];
  packet_[m] = packetId_;
  int mcbpc;
  for (;;) {
    if (pic.type == 1 && b.u1()) {  // COD: not coded
      intra_[m] = 0;
      coded_[m] = 0;
      qp_[m] = uint8_t(qp);
      std::fill_n(mv, 8, int16_t(0));
      predict_mb(*future_, mbx, mby, mv, false, pic.rounding, false);
      return true;
    }
    mcbpc = pic.type == 0 ? mcbpc_intra(b) : mcbpc_inter(b);
    if (mcbpc == kInvalid) return false;
    if (mcbpc != 20) break;
    if (b.overrun()) return false;
  }
  const int type = mcbpc >> 2, cbpc = mcbpc & 3;
  const bool intra = type >= 3;
  int acPred = 0;
  bool leftPred = false;
  if (intra && pic.advIntra) {
    acPred = int(b.u1());
    if (acPred) leftPred = b.u1();
  }
  int cbpyv = cbpy(b);
  if (cbpyv == kInvalid) return false;
  if (!intra) cbpyv = 15 - cbpyv;
  const int cbp = cbpyv << 2 | cbpc;
  if (type == 1 || type == 4) {
    if (pic.modQuant) {
      qp = b.u1() ? modified_dquant(qp, int(b.u1())) : int(b.u(5));
      if (qp == 0) return false;
    } else {
      static constexpr int kDquant[4] = {-1, -2, 1, 2};
      qp = std::clamp(qp + kDquant[b.u(2)], 1, 31);
    }
  }
  qp_[m] = uint8_t(qp);
  intra_[m] = intra;
  coded_[m] = 1;
  if (intra) {
    std::fill_n(mv, 8, int16_t(0));
    for (int blk = 0; blk < 6; ++blk)
      if (!h263_intra_block(b, pic, blk, mbx, mby, cbp & (32 >> blk), qp, acPred, leftPred)) return false;
    return true;
  }
  const bool four = type == 2;
  f.fourMv[m] = four;
  for (int k = 0; k < (four ? 4 : 1); ++k) {
    int px, py;
    predict_vector(mbx, mby, k, px, py);
    int x, y;
    if (pic.umvPlus) {
      const int dx = umv_delta(b), dy = dx == kInvalid ? kInvalid : umv_delta(b);
      if (dy == kInvalid) return false;
      x = px + dx, y = py + dy;
      if (dx == 1 && dy == 1) b.skip(1);  // a stuffing bit against start code emulation
    } else {
      const int dx = motion_delta(b, 1), dy = dx == kInvalid ? kInvalid : motion_delta(b, 1);
      if (dy == kInvalid) return false;
      x = px + dx, y = py + dy;
      if (pic.longVectors) {  // Annex D without PLUSPTYPE: -31.5..31.5 around the predictor
        if (px < -31 && x < -63) x += 64;
        if (px > 32 && x > 63) x -= 64;
        if (py < -31 && y < -63) y += 64;
        if (py > 32 && y > 63) y -= 64;
      } else {
        x = int(uint32_t(x) << 26) >> 26, y = int(uint32_t(y) << 26) >> 26;
      }
    }
    mv[2 * k] = int16_t(x), mv[2 * k + 1] = int16_t(y);
  }
  if (!four)
    for (int k = 1; k < 4; ++k) mv[2 * k] = mv[0], mv[2 * k + 1] = mv[1];
  predict_mb(*future_, mbx, mby, mv, four, pic.rounding, false);
  for (int blk = 0; blk < 6; ++blk) {
    if (!(cbp & (32 >> blk))) continue;
    const int comp = blk < 4 ? 0 : blk - 3;
    const int cqp = comp && pic.modQuant ? kChromaQp[qp] : qp;
    Kvn32s last = 0;
    if (kvniReconstructCoeffsInter_H263_1u16s(&b.ptr, &b.off, coef_, &last, cqp, pic.modQuant) < 0) return false;
    b.clamp();
    Plane& p = cur_->plane[comp];
    uint8_t* dst = comp ? p.at(mbx * 8, mby * 8) : p.at(mbx * 16 + (blk & 1) * 8, mby * 16 + (blk >> 1) * 8);
    idct_add(coef_, last, dst, p.stride);
  }
  return true;
}

// Annex J, run after each macroblock as the reference decoder of libavcodec
// does: the edges inside the macroblock and those shared with the macroblocks
// above, above-left and to the left, each with the quantiser of a coded
// macroblock on either side (the current one first).
void Decoder::h263_loop_filter(int mbx, int mby, const H263Picture& pic) {
  Plane &py = cur_->plane[0], &pu = cur_->plane[1], &pv = cur_->plane[2];
  const int ls = py.stride, cs = pu.stride;
  uint8_t* y = py.at(mbx * 16, mby * 16);
  uint8_t* u = pu.at(mbx * 8, mby * 8);
  uint8_t* v = pv.at(mbx * 8, mby * 8);
  const size_t m = size_t(mby) * size_t(mbw_) + size_t(mbx);
  auto chroma = [&](int q) { return pic.modQuant ? int(kChromaQp[q]) : q; };
  const int qc = coded_[m] ? qp_[m] : 0;
  if (qc) {
    kvniFilterDeblocking8x8HorEdge_H263_8u_C1IR(y + 8 * ls, ls, qc);
    kvniFilterDeblocking8x8HorEdge_H263_8u_C1IR(y + 8 * ls + 8, ls, qc);
  }
  if (mby) {
    const int qtt = coded_[m - size_t(mbw_)] ? qp_[m - size_t(mbw_)] : 0;
    const int qtc = qc ? qc : qtt;
    if (qtc) {
      kvniFilterDeblocking8x8HorEdge_H263_8u_C1IR(y, ls, qtc);
      kvniFilterDeblocking8x8HorEdge_H263_8u_C1IR(y + 8, ls, qtc);
      kvniFilterDeblocking8x8HorEdge_H263_8u_C1IR(u, cs, chroma(qtc));
      kvniFilterDeblocking8x8HorEdge_H263_8u_C1IR(v, cs, chroma(qtc));
    }
    if (qtt) kvniFilterDeblocking8x8VerEdge_H263_8u_C1IR(y - 8 * ls + 8, ls, qtt);
    if (mbx) {
      const size_t d = m - size_t(mbw_) - 1;
      const int qdt = qtt || !coded_[d] ? qtt : qp_[d];
      if (qdt) {
        kvniFilterDeblocking8x8VerEdge_H263_8u_C1IR(y - 8 * ls, ls, qdt);
        kvniFilterDeblocking8x8VerEdge_H263_8u_C1IR(u - 8 * cs, cs, chroma(qdt));
        kvniFilterDeblocking8x8VerEdge_H263_8u_C1IR(v - 8 * cs, cs, chroma(qdt));
      }
    }
  }
  if (qc) {
    kvniFilterDeblocking8x8VerEdge_H263_8u_C1IR(y + 8, ls, qc);
    if (mby + 1 == mbh_) kvniFilterDeblocking8x8VerEdge_H263_8u_C1IR(y + 8 * ls + 8, ls, qc);
  }
  if (mbx) {
    const int qlc = qc || !coded_[m - 1] ? qc : qp_[m - 1];
    if (qlc) {
      kvniFilterDeblocking8x8VerEdge_H263_8u_C1IR(y, ls, qlc);
      if (mby + 1 == mbh_) {
        kvniFilterDeblocking8x8VerEdge_H263_8u_C1IR(y + 8 * ls, ls, qlc);
        kvniFilterDeblocking8x8VerEdge_H263_8u_C1IR(u, cs, chroma(qlc));
        kvniFilterDeblocking8x8VerEdge_H263_8u_C1IR(v, cs, chroma(qlc));
      }
    }
  }
}

}  // namespace mpeg4dec
