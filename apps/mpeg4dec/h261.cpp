// ITU-T H.261 picture, GOB and macroblock layers, with the loop filter of
// 3.2.3 (the one filter the library has no function for).
#include <algorithm>
#include <cstring>

#include "decoder.h"
#include "vlc.h"

namespace mpeg4dec {
namespace {

// The separable 1/4 1/2 1/4 filter of an 8x8 prediction block, edges kept
// (H.261 3.2.3).
void loop_filter(uint8_t* p, int step) {
  int t[64];
  for (int x = 0; x < 8; ++x) t[x] = 4 * p[x], t[56 + x] = 4 * p[7 * step + x];
  for (int y = 1; y < 7; ++y)
    for (int x = 0; x < 8; ++x) t[y * 8 + x] = p[(y - 1) * step + x] + 2 * p[y * step + x] + p[(y + 1) * step + x];
  for (int y = 0; y < 8; ++y) {
    uint8_t* r = p + y * step;
    const int* s = t + y * 8;
    r[0] = uint8_t((s[0] + 2) >> 2);
    r[7] = uint8_t((s[7] + 2) >> 2);
    for (int x = 1; x < 7; ++x) r[x] = uint8_t((s[x - 1] + 2 * s[x] + s[x + 1] + 8) >> 4);
  }
}

// MTYPE flags by Table 2 order.
struct Mtype {
  bool intra, quant, mc, coeff, filter;
};
constexpr Mtype kMtypes[10] = {{true, false, false, true, false},  {true, true, false, true, false},
                               {false, false, false, true, false}, {false, true, false, true, false},
                               {false, false, true, false, false}, {false, false, true, true, false},
                               {false, true, true, true, false},   {false, false, true, false, true},
                               {false, false, true, true, true},   {false, true, true, true, true}};

int mv_component(BitReader& b, int pred) {
  const int d = motion_delta(b, 1);
  if (d == kInvalid || d < -16 || d > 16) return kInvalid;
  int v = pred + d;
  if (v <= -16) v += 32;
  if (v >= 16) v -= 32;
  return v;
}

}  // namespace

std::string Decoder::decode_h261(const std::vector<uint8_t>& data, size_t size) {
  // Start codes: 15 zeros and a one (PSC 0000 0000 0000 0001 0000, GBSC
  // with GN 1..12), not byte aligned in H.261: search bit by bit.
  std::vector<size_t> pictures;  // bit positions of the PSCs
  uint32_t window = 0;
  for (size_t i = 0; i < size * 8; ++i) {
    window = window << 1 | ((data[i >> 3] >> (7 - (i & 7))) & 1);
    if ((window & 0xFFFFF) == 0x00010 && i >= 19) pictures.push_back(i - 19);
  }
  for (size_t k = 0; k < pictures.size(); ++k) {
    const size_t start = pictures[k], stop = k + 1 < pictures.size() ? (pictures[k + 1] + 7) / 8 : size;
    BitReader b(data.data(), start / 8, stop);
    b.skip(int(start % 8) + 20);
    b.skip(5);  // TR
    const int ptype = int(b.u(6));
    while (b.u1()) {  // PEI, PSPARE
      b.skip(8);
      if (b.overrun()) break;
    }
    const bool cif = ptype & 4;
    const int w = cif ? 352 : 176, h = cif ? 288 : 144;
    if (!future_ || future_->width != w) {
      flush();
      recycle(std::move(past_)), recycle(std::move(future_));
    }
    mbw_ = w / 16, mbh_ = h / 16;
    vop_ = Vop();
    h263Pred_ = false;
    cur_ = new_frame(w, h, w, h);
    // Macroblocks that no GOB covers stay as in the previous picture.
    static const int16_t kZero[8] = {};
    for (int my = 0; my < mbh_; ++my)
      for (int mx = 0; mx < mbw_; ++mx)
        if (future_) predict_mb(*future_, mx, my, kZero, false, 0, false);
    bool failed = false;
    for (int g = 0; g < (cif ? 12 : 3); ++g) {
      // GBSC (16 bits), GN, GQUANT, GEI.
      if (b.peek(16) != 1) {
        failed = true;
        break;
      }
      b.skip(16);
      const int gn = int(b.u(4));
      if (gn == 0 || gn > (cif ? 12 : 5) || (!cif && !(gn & 1))) {
        failed = true;
        break;
      }
      const int qp = int(b.u(5));
      while (b.u1()) {
        b.skip(8);
        if (b.overrun()) break;
      }
      if (qp == 0 || !h261_gob(b, gn, cif, qp)) {
        failed = true;
        break;
      }
      if (b.left() < 16) break;
    }
    if (failed) ++errors_;
    finish_reference();
  }
  return "";
}

// One GOB: 3 rows of 11 macroblocks at its place in the picture.
bool Decoder::h261_gob(BitReader& b, int gn, bool cif, int qp) {
  const int gx = cif ? ((gn - 1) & 1) * 11 : 0, gy = cif ? ((gn - 1) >> 1) * 3 : (gn - 1) / 2 * 3;
  int addr = 0;  // 1..33 once a macroblock was decoded
  int mvx = 0, mvy = 0;
  bool prevMc = false;
  for (;;) {
    if (b.peek(16) == 1 || b.left() < 1) return true;  // the next start code
    int inc = h261_mba(b);
    while (inc == 34) inc = h261_mba(b);  // stuffing
    if (inc == kInvalid) return b.peek(16) == 1 || b.peek(16) == 0;
    if (addr + inc > 33) return false;
    if (inc != 1) prevMc = false;
    addr += inc;
    const int n = addr - 1, mbx = gx + n % 11, mby = gy + n / 11;
    const int t = h261_mtype(b);
    if (t == kInvalid) return false;
    const Mtype& mt = kMtypes[t];
    if (mt.quant) {
      qp = int(b.u(5));
      if (qp == 0) return false;
    }
    int16_t mv[8] = {};
    if (mt.mc) {
      // The prediction: the previous macroblock's vector when it had one and
      // directly precedes this one in the same GOB row.
      if (n % 11 == 0 || !prevMc) mvx = mvy = 0;
      mvx = mv_component(b, mvx);
      if (mvx == kInvalid) return false;
      mvy = mv_component(b, mvy);
      if (mvy == kInvalid) return false;
      prevMc = true;
    } else {
      prevMc = false;
      mvx = mvy = 0;
    }
    const int cbp = mt.intra ? 63 : mt.coeff ? h261_cbp(b) : 0;
    if (cbp == kInvalid) return false;
    if (!mt.intra) {
      if (!future_) return false;
      // Full-sample vectors; chroma halves them towards zero.
      for (int k = 0; k < 4; ++k) mv[2 * k] = int16_t(2 * mvx), mv[2 * k + 1] = int16_t(2 * mvy);
      Frame& f = *cur_;
      predict_block(future_->plane[0], f.plane[0], mbx * 16, mby * 16, 16, mv[0], mv[1], 0, false);
      const int cx = 2 * (mvx / 2), cy = 2 * (mvy / 2);
      predict_block(future_->plane[1], f.plane[1], mbx * 8, mby * 8, 8, cx, cy, 0, false);
      predict_block(future_->plane[2], f.plane[2], mbx * 8, mby * 8, 8, cx, cy, 0, false);
      if (mt.filter) {
        for (int k = 0; k < 4; ++k)
          loop_filter(f.plane[0].at(mbx * 16 + (k & 1) * 8, mby * 16 + (k >> 1) * 8), f.plane[0].stride);
        loop_filter(f.plane[1].at(mbx * 8, mby * 8), f.plane[1].stride);
        loop_filter(f.plane[2].at(mbx * 8, mby * 8), f.plane[2].stride);
      }
    }
    for (int blk = 0; blk < 6; ++blk) {
      if (!(cbp & (32 >> blk))) continue;
      const int comp = blk < 4 ? 0 : blk - 3;
      Plane& p = cur_->plane[comp];
      uint8_t* dst = comp ? p.at(mbx * 8, mby * 8) : p.at(mbx * 16 + (blk & 1) * 8, mby * 16 + (blk >> 1) * 8);
      Kvn32s last = 0;
      if (mt.intra) {
        if (kvniReconstructCoeffsIntra_H261_1u16s(&b.ptr, &b.off, coef_, &last, qp) < 0) return false;
        b.clamp();
        idct_put(coef_, last, dst, p.stride);
      } else {
        if (kvniReconstructCoeffsInter_H261_1u16s(&b.ptr, &b.off, coef_, &last, qp) < 0) return false;
        b.clamp();
        idct_add(coef_, last, dst, p.stride);
      }
    }
    if (b.overrun()) return false;
  }
}

}  // namespace mpeg4dec
