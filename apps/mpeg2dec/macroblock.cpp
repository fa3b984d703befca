// Slice and macroblock layers (ISO/IEC 13818-2 6.2.4 to 6.2.6, 7.2 to 7.6):
// the syntax, motion vector decoding and prediction, and the blocks through
// the library.
#include <algorithm>
#include <climits>
#include <cstdlib>

#include "decoder.h"
#include "mpeg2_syntax_tables.h"

namespace mpeg2dec {
namespace {

using namespace kvnsupport;

constexpr int kInvalid = INT_MIN;

// One code of a library table; kInvalid for a code that is not in it.
int vlc(Bits& b, const Table& t) {
  Kvn32s v = 0;
  if (b.overrun()) return kInvalid;
  if (kvniDecodeHuffmanOne_1u32s(&b.ptr, &b.bit, &v, t.get()) < 0) return kInvalid;
  return v;
}

// The reference block of w x h samples at (x, y) (rows ystep apart), moved
// inside the plane and its border when a damaged stream points beyond them.
const uint8_t* source(const Plane& p, int x, int y, int w, int h, int ystep) {
  x = std::clamp(x, -p.pad, p.w + p.pad - w - 1);
  y = std::clamp(y, -p.pad, p.h + p.pad - 1 - h * ystep);
  return p.at(x, 0) + ptrdiff_t(y) * p.stride;
}

}  // namespace

void Decoder::set_quantiser(int code) {
  qScale_ = !seq_.mpeg2 ? code : pic_.qScaleType ? kMpeg2NonLinearScale[code] : 2 * code;
}

// 7.2.1: at the start of a slice, and after non-intra and skipped macroblocks.
void Decoder::reset_dc_predictors() {
  std::fill(dcPred_, dcPred_ + 3, Kvn16s(seq_.mpeg2 ? 1 << (7 + pic_.intraDcPrecision) : 1024));
}

// A frame prediction with the zero vector, the vector predictors reset
// (P pictures' skipped and "No MC" macroblocks, 7.6.3.4, 7.6.6.3).
void Decoder::zero_motion() {
  std::fill(&pmv_[0][0][0], &pmv_[0][0][0] + 8, 0);
  std::fill(&mv_[0][0][0], &mv_[0][0][0] + 8, 0);
  motionType_ = 2;
}

std::string Decoder::decode_slice(Bits& b, int row) {
  if (seq_.mpeg2 && seq_.height > 2800) row += int(b.u(3)) << 7;
  if (row > mbh_) return "slice below the picture";
  const int code = int(b.u(5));
  if (code == 0) return "quantiser_scale_code 0";
  set_quantiser(code);
  if (seq_.mpeg2 && b.peek(1)) b.skip(9);  // intra_slice_flag, intra_slice, reserved_bits
  while (b.u1()) b.skip(8);                // extra_information_slice
  // Predictors reset at the start of a slice (7.2.1, 7.6.3.4).
  reset_dc_predictors();
  std::fill(&pmv_[0][0][0], &pmv_[0][0][0] + 8, 0);
  prevType_ = 0;

  const int total = mbw_ * mbh_;
  int addr = (row - 1) * mbw_ - 1;
  for (bool first = true;; first = false) {
    int inc = 0;
    for (;;) {
      const int v = vlc(b, mbInc_);
      if (v == kInvalid) return "invalid macroblock_address_increment";
      if (v == kMbStuffing) continue;
      inc += v == kMbEscape ? 33 : v;
      if (v != kMbEscape) break;
      if (inc > total) return "macroblock_address_increment beyond the picture";
    }
    if (addr + inc >= total) return "macroblock address beyond the picture";
    if (!first) {
      if (inc > 1 && pic_.type == 1) return "skipped macroblocks in an I picture";
      for (int k = addr + 1; k < addr + inc; ++k) {
        const std::string e = decode_macroblock(b, k, prevType_, true);
        if (!e.empty()) return e;
      }
    }
    addr += inc;
    const int type = vlc(b, mbType_[pic_.type - 1]);
    if (type == kInvalid) return "invalid macroblock_type";
    const std::string e = decode_macroblock(b, addr, type, false);
    if (!e.empty()) return e;
    if (b.overrun()) return "slice data beyond its end";
    if (b.peek(23) == 0) return "";  // next start code
  }
}

std::string Decoder::decode_macroblock(Bits& b, int addr, int type, bool skipped) {
  const int mbx = addr % mbw_, mby = addr / mbw_;
  const bool intra = !skipped && (type & kMbIntra);
  if (skipped) {
    // P: forward prediction with a zero vector; B: the previous
    // macroblock's prediction and vectors (7.6.6).
    reset_dc_predictors();
    if (pic_.type == 2) {
      zero_motion();
      predict(mbx, mby, kMbForward);
    } else {
      if (!(type & (kMbForward | kMbBackward))) return "skipped macroblock after an intra one";
      predict(mbx, mby, type & (kMbForward | kMbBackward));
    }
    return "";
  }

  motionType_ = 2;
  bool fieldDct = false;
  if (seq_.mpeg2 && !pic_.framePredFrameDct) {
    if (type & (kMbForward | kMbBackward)) {
      motionType_ = int(b.u(2));
      if (motionType_ == 3) return "unsupported: dual prime prediction";
      if (motionType_ == 0) return "invalid frame_motion_type";
    }
    if (type & (kMbIntra | kMbPattern)) fieldDct = b.u1();
  }
  if (type & kMbQuant) {
    const int code = int(b.u(5));
    if (code == 0) return "quantiser_scale_code 0";
    set_quantiser(code);
  }
  const bool concealment = intra && seq_.mpeg2 && pic_.concealmentVectors;
  if (((type & kMbForward) || concealment) && !motion_vectors(b, 0)) return "invalid motion vector";
  if ((type & kMbBackward) && !motion_vectors(b, 1)) return "invalid motion vector";
  if (concealment) b.u1();  // marker_bit
  int cbp = intra ? 63 : 0;
  if (type & kMbPattern) {
    cbp = vlc(b, cbp_);
    if (cbp == kInvalid || (!seq_.mpeg2 && cbp == 0)) return "invalid coded_block_pattern";
  }

  if (intra) {
    if (!concealment) std::fill(&pmv_[0][0][0], &pmv_[0][0][0] + 8, 0);
  } else {
    reset_dc_predictors();
    if (pic_.type == 2 && !(type & kMbForward)) {  // "No MC": zero vector, predictors reset
      zero_motion();
      type |= kMbForward;
    }
    predict(mbx, mby, type & (kMbForward | kMbBackward));
  }
  prevType_ = intra ? 0 : type;
  return decode_blocks(b, mbx, mby, intra, cbp, fieldDct);
}

bool Decoder::motion_vectors(Bits& b, int s) {
  const bool fullPel = !seq_.mpeg2 && pic_.fullPel[s];
  if (motionType_ == 2) {  // one frame vector (7.6.3.1); both predictors take it
    for (int t = 0; t < 2; ++t) {
      const int v = motion_component(b, s, t, pmv_[0][s][t]);
      if (v == kInvalid) return false;
      pmv_[0][s][t] = pmv_[1][s][t] = v;
      mv_[0][s][t] = fullPel ? v * 2 : v;
    }
    return true;
  }
  for (int r = 0; r < 2; ++r) {  // two field vectors: vertical predictors in field units
    fieldSelect_[r][s] = int(b.u1());
    const int h = motion_component(b, s, 0, pmv_[r][s][0]);
    if (h == kInvalid) return false;
    const int v = motion_component(b, s, 1, pmv_[r][s][1] >> 1);
    if (v == kInvalid) return false;
    pmv_[r][s][0] = mv_[r][s][0] = h;
    mv_[r][s][1] = v;
    pmv_[r][s][1] = v * 2;
  }
  return true;
}

int Decoder::motion_component(Bits& b, int s, int t, int pred) {
  const int code = vlc(b, motion_);
  if (code == kInvalid) return kInvalid;
  const int fCode = pic_.fCode[s][t];
  if (fCode < 1 || fCode > 9) return kInvalid;
  const int rSize = fCode - 1, f = 1 << rSize;
  int delta = code;
  if (f != 1 && code != 0) {
    const int residual = int(b.u(rSize));
    delta = (std::abs(code) - 1) * f + residual + 1;
    if (code < 0) delta = -delta;
  }
  int v = pred + delta;
  if (v < -16 * f) v += 32 * f;
  if (v > 16 * f - 1) v -= 32 * f;
  return v;
}

// Prediction of the macroblock into the picture (7.6.4 to 7.6.6): forward
// and/or backward, frame or field vectors, half samples rounded up; the
// second of two predictions is averaged into the first.
void Decoder::predict(int mbx, int mby, int dirs) {
  const int x0 = mbx * 16, y0 = mby * 16;
  bool first = true;
  for (int s = 0; s < 2; ++s) {
    if (!(dirs & (s ? kMbBackward : kMbForward))) continue;
    const Frame& ref = s == 1 || pic_.type == 2 ? *newer_ : *older_;
    for (int c = 0; c < 3; ++c) {
      const Plane& rp = ref.plane[c];
      Plane& dp = cur_->plane[c];
      const int sh = c ? 1 : 0, bw = 16 >> sh;
      if (motionType_ == 2) {
        int vx = mv_[0][s][0], vy = mv_[0][s][1];
        if (c) vx /= 2, vy /= 2;
        const int half = (vx & 1) | (vy & 1) << 1;
        const uint8_t* src = source(rp, (x0 >> sh) + (vx >> 1), (y0 >> sh) + (vy >> 1), bw, bw, 1);
        uint8_t* dst = dp.at(x0 >> sh, y0 >> sh);
        if (c == 0)
          first ? kvniCopy16x16HP_8u_C1R(src, rp.stride, dst, dp.stride, half, 0)
                : kvniInterpolateAverage16x16_8u_C1IR(src, rp.stride, dst, dp.stride, half, 0);
        else
          first ? kvniCopy8x8HP_8u_C1R(src, rp.stride, dst, dp.stride, half, 0)
                : kvniInterpolateAverage8x8_8u_C1IR(src, rp.stride, dst, dp.stride, half, 0);
        continue;
      }
      for (int r = 0; r < 2; ++r) {  // the macroblock's top and bottom field lines
        int vx = mv_[r][s][0], vy = mv_[r][s][1];
        if (c) vx /= 2, vy /= 2;
        const int half = (vx & 1) | (vy & 1) << 1;
        const int fieldRow = (y0 >> sh) / 2 + (vy >> 1);
        const uint8_t* src = source(rp, (x0 >> sh) + (vx >> 1), fieldSelect_[r][s] + 2 * fieldRow, bw, bw / 2, 2);
        uint8_t* dst = dp.at(x0 >> sh, (y0 >> sh) + r);
        const int rs = 2 * rp.stride, ds = 2 * dp.stride;
        if (c == 0)
          first ? kvniCopy16x8HP_8u_C1R(src, rs, dst, ds, half, 0)
                : kvniInterpolateAverage16x8_8u_C1IR(src, rs, dst, ds, half, 0);
        else
          first ? kvniCopy8x4HP_8u_C1R(src, rs, dst, ds, half, 0)
                : kvniInterpolateAverage8x4_8u_C1IR(src, rs, dst, ds, half, 0);
      }
    }
    first = false;
  }
}

// The coded blocks (6.2.6, 7.2 to 7.5): VLC decoding and inverse
// quantisation by the library's Reconstruct functions, into the transposed
// order of its inverse DCT, which writes intra blocks and whose residuals are
// added to the prediction.
std::string Decoder::decode_blocks(Bits& b, int mbx, int mby, bool intra, int cbp, bool fieldDct) {
  const bool mpeg2 = seq_.mpeg2;
  for (int blk = 0; blk < 6; ++blk) {
    if (!(cbp & (32 >> blk))) continue;
    const int comp = blk < 4 ? 0 : blk - 3;
    Plane& p = cur_->plane[comp];
    uint8_t* dst;
    int step = p.stride;
    if (comp)
      dst = p.at(mbx * 8, mby * 8);
    else if (fieldDct)
      dst = p.at(mbx * 16 + (blk & 1) * 8, mby * 16 + (blk >> 1)), step *= 2;
    else
      dst = p.at(mbx * 16 + (blk & 1) * 8, mby * 16 + (blk >> 1) * 8);
    if (b.overrun()) return "block beyond the slice";

    alignas(16) Kvn16s coef[64];
    Kvn32s last = 0;
    KvnResult st;
    if (intra) {
      const KvnHuffmanTable* ac = coef_[mpeg2 && pic_.intraVlcFormat ? 2 : 1].get();
      st = mpeg2 ? kvniReconstructDCTBlockIntra_MPEG2_32s(&b.ptr, &b.bit, dcSize_[comp ? 1 : 0].get(), ac, scan_,
                                                          qScale_, weights_[0], &dcPred_[comp],
                                                          3 - pic_.intraDcPrecision, coef, &last)
                 : kvniReconstructDCTBlockIntra_MPEG1_32s(&b.ptr, &b.bit, dcSize_[comp ? 1 : 0].get(), ac, scan_,
                                                          qScale_, weights_[0], &dcPred_[comp], coef, &last);
    } else {
      const KvnHuffmanTable *first = coef_[0].get(), *ac = coef_[1].get();
      st = mpeg2
               ? kvniReconstructDCTBlock_MPEG2_32s(&b.ptr, &b.bit, first, ac, scan_, qScale_, weights_[1], coef, &last)
               : kvniReconstructDCTBlock_MPEG1_32s(&b.ptr, &b.bit, first, ac, scan_, qScale_, weights_[1], coef, &last);
    }
    if (st < 0) return "invalid block";
    // The inverse DCT's path: the 4x4 low-frequency corner (scan positions
    // up to 9 lie in it in both scans), or the whole block (also when
    // mismatch control set the last coefficient).
    // (Never the DC-only path: its truncating division is coarser than the
    // rounding of the transform.)
    const int count = coef[63] || last > 9 ? 63 : std::max<int>(last, 1);
    // The transform's second pass rounds with 5/8 (its definition), 1/8 of
    // a sample too high on average; one step less on the DC coefficient,
    // worth 1/8 of a sample everywhere, centres it.
    coef[0] = Kvn16s(coef[0] - 1);
    if (intra) {
      kvniDCT8x8Inv_AANTransposed_16s8u_C1R(coef, dst, step, count);
    } else {
      alignas(16) Kvn16s residual[64];
      kvniDCT8x8Inv_AANTransposed_16s_C1R(coef, residual, 16, count);
      kvniAdd8x8_16s8u_C1IRS(residual, 16, dst, step);
    }
  }
  return "";
}

}  // namespace mpeg2dec
