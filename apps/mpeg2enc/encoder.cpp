#include "encoder.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "mpeg2_syntax_tables.h"
#include "mpeg2_vlc_tables.h"

namespace mpeg2enc {
namespace {

using kvnsupport::Mpeg2Syntax;

constexpr int kPad = 32;     // luma border of the reference (chroma: half)
constexpr int kRange = 24;   // full-sample search range
constexpr int kFCode = 3;    // f_code of the vectors: -64..63 half samples
constexpr int kEobCode = 2;  // end_of_block, "10"
constexpr int kEobLength = 2;

int transpose(int k) { return (k & 7) * 8 + (k >> 3); }

// The coefficients of an 8x8 block in the transposed order of the inverse DCT.
void transposed(const Kvn16s* in, Kvn16s* out) {
  for (int k = 0; k < 64; ++k) out[transpose(k)] = in[k];
}

}  // namespace

void BitWriter::put(uint32_t bits, int n) {
  if (n == 0) return;
  bits &= n == 32 ? ~0u : (1u << n) - 1;
  if (n < free_) {
    *ptr_ |= bits << (free_ - n);
    free_ -= n;
    return;
  }
  const int rest = n - free_;
  *ptr_ |= rest ? bits >> rest : bits;
  ++ptr_;
  free_ = 32 - rest;
  if (rest) *ptr_ = bits << (32 - rest);
}

void BitWriter::append_bytes(std::vector<uint8_t>& out) const {
  const Kvn32u* end = ptr_;
  for (const Kvn32u* p = buf_.data(); p < end; ++p)
    for (int k = 3; k >= 0; --k) out.push_back(uint8_t(*p >> (8 * k)));
  for (int k = 3; k >= 0 && 32 - 8 * (3 - k) > free_; --k) out.push_back(uint8_t(*end >> (8 * k)));
}

Encoder::Encoder(const Options& o)
    : o_(o), mbw_((o.width + 15) / 16), mbh_((o.height + 15) / 16), q_(2 * std::clamp(o.qscaleCode, 1, 31)) {
  for (int c = 0; c < 3; ++c) {
    const int sh = c ? 1 : 0, pad = kPad >> sh;
    src_[c].init(mbw_ * 16 >> sh, mbh_ * 16 >> sh, pad);
    cur_[c].init(mbw_ * 16 >> sh, mbh_ * 16 >> sh, pad);
    ref_[c].init(mbw_ * 16 >> sh, mbh_ * 16 >> sh, pad);
  }
  kvniCreateRLEncodeTable(kvnsupport::mpeg2_dct_source(kvnsupport::Mpeg2DctTable::kB14).data(), &rl_);
  for (int c = 0; c < 2; ++c) dcSizeCodes_[c] = kvnsupport::mpeg2_dc_size_writer_table(c == 1);
  for (int k = 0; k < 64; ++k) {
    scan_[k] = kvnsupport::kMpeg2Zigzag[k];
    intraMatrix_[k] = kvnsupport::kMpeg2DefaultIntraMatrix[k];
  }
}

Encoder::~Encoder() {
  if (rl_) kvniHuffmanTableFree_32s(rl_);
}

void Encoder::put_vlc(BitWriter& w, Mpeg2Syntax table, int value) {
  uint32_t code = 0;
  int length = 0;
  kvnsupport::mpeg2_syntax_code(table, value, code, length);
  w.put(code, length);
}

void Encoder::headers(std::vector<uint8_t>& out) {
  BitWriter w(64);
  w.start_code(0xb3);  // sequence_header
  w.put(uint32_t(o_.width), 12);
  w.put(uint32_t(o_.height), 12);
  w.put(1, 4);         // aspect_ratio_information: square samples
  w.put(3, 4);         // frame_rate_code: 25
  w.put(0x3ffff, 18);  // bit_rate_value (variable)
  w.put(1, 1);         // marker_bit
  w.put(112, 10);      // vbv_buffer_size_value
  w.put(0, 3);         // constrained_parameters_flag, load_intra/non_intra_quantiser_matrix
  w.start_code(0xb5);  // sequence_extension
  w.put(1, 4);
  w.put(0x48, 8);  // profile_and_level_indication: Main profile, Main level
  w.put(1, 1);     // progressive_sequence
  w.put(1, 2);     // chroma_format 4:2:0
  w.put(0, 4);     // horizontal/vertical_size_extension
  w.put(0, 12);    // bit_rate_extension
  w.put(1, 1);     // marker_bit
  w.put(0, 8);     // vbv_buffer_size_extension
  w.put(1, 1);     // low_delay (no B pictures)
  w.put(0, 7);     // frame_rate_extension_n, _d
  w.align();
  w.append_bytes(out);
}

void Encoder::finish(std::vector<uint8_t>& out) {
  BitWriter w(4);
  w.start_code(0xb7);
  w.append_bytes(out);
}

void Encoder::encode(const uint8_t* const src[3], const int stride[3], std::vector<uint8_t>& out) {
  for (int c = 0; c < 3; ++c) {  // the source, its edges repeated to whole macroblocks
    Plane& p = src_[c];
    const int w = c ? o_.width / 2 : o_.width, h = c ? o_.height / 2 : o_.height;
    for (int y = 0; y < p.h; ++y) {
      const uint8_t* row = src[c] + ptrdiff_t(std::min(y, h - 1)) * stride[c];
      std::memcpy(p.at(0, y), row, size_t(w));
      std::memset(p.at(w, y), row[w - 1], size_t(p.w - w));
    }
  }
  const bool intra = count_ % std::max(1, o_.keyint) == 0;
  ++count_;
  // Room for the worst case: every coefficient an escape (24 bits), plus headers.
  BitWriter w(size_t(mbw_) * mbh_ * (6 * (64 * 24 + 32) + 128) / 32 + 256);
  if (intra) {
    gopIndex_ = 0;
    w.start_code(0xb8);  // group_of_pictures_header
    w.put(1 << 13, 25);  // time_code: 0:00:00, marker bit
    w.put(1, 1);         // closed_gop
    w.put(0, 1);         // broken_link
  }
  w.start_code(0x00);  // picture_header
  w.put(uint32_t(gopIndex_++ & 1023), 10);
  w.put(intra ? 1 : 2, 3);
  w.put(0xffff, 16);        // vbv_delay
  if (!intra) w.put(7, 4);  // full_pel_forward_vector 0, forward_f_code 7 (unused)
  w.put(0, 1);              // extra_bit_picture
  w.start_code(0xb5);       // picture_coding_extension
  w.put(8, 4);
  w.put(intra ? 15 : kFCode, 4);
  w.put(intra ? 15 : kFCode, 4);
  w.put(0xff, 8);  // backward f_codes 15
  w.put(0, 2);     // intra_dc_precision 8 bits
  w.put(3, 2);     // picture_structure: frame
  w.put(0, 1);     // top_field_first
  w.put(1, 1);     // frame_pred_frame_dct
  w.put(0, 4);     // concealment_motion_vectors, q_scale_type, intra_vlc_format, alternate_scan
  w.put(0, 1);     // repeat_first_field
  w.put(1, 1);     // chroma_420_type
  w.put(1, 1);     // progressive_frame
  w.put(0, 1);     // composite_display_flag

  for (int mby = 0; mby < mbh_; ++mby) {
    w.start_code(uint32_t(mby + 1));  // slice_start_code: one slice a macroblock row
    w.put(uint32_t(q_ / 2), 5);       // quantiser_scale_code
    w.put(0, 1);                      // extra_bit_slice
    for (Kvn32s& p : dcPred_) p = 128;
    pmv_[0] = pmv_[1] = 0;
    int skipRun = 0;
    for (int mbx = 0; mbx < mbw_; ++mbx) encode_mb(w, mbx, mby, !intra, skipRun);
  }
  w.align();
  w.append_bytes(out);
  for (int c = 0; c < 3; ++c) {
    std::swap(ref_[c], cur_[c]);
    ref_[c].extend_edges();
  }
}

void Encoder::reconstruction(std::vector<uint8_t>& out) const {
  out.clear();
  for (int c = 0; c < 3; ++c) {
    const int w = c ? o_.width / 2 : o_.width, h = c ? o_.height / 2 : o_.height;
    for (int y = 0; y < h; ++y) out.insert(out.end(), ref_[c].at(0, y), ref_[c].at(0, y) + w);
  }
}

void Encoder::write_vector(BitWriter& w, int delta) {
  // motion_code and motion_residual of a difference (7.6.3.1 in reverse),
  // wrapped into -16f..16f-1.
  const int f = 1 << (kFCode - 1);
  if (delta < -16 * f) delta += 32 * f;
  if (delta > 16 * f - 1) delta -= 32 * f;
  if (delta == 0) return put_vlc(w, Mpeg2Syntax::kMotionCode, 0);
  const int a = std::abs(delta) - 1, code = (a >> (kFCode - 1)) + 1;
  put_vlc(w, Mpeg2Syntax::kMotionCode, delta < 0 ? -code : code);
  w.put(uint32_t(a & (f - 1)), kFCode - 1);
}

// Intra macroblock: forward DCT of the samples (two blocks a call), the DC
// level and the quantised AC levels, the block writer, and the
// reconstruction through the inverse quantiser and DCT.
void Encoder::code_intra(BitWriter& w, int mbx, int mby) {
  alignas(16) Kvn16s coef[6][64];
  for (int pair = 0; pair < 3; ++pair) {
    alignas(16) uint8_t two[8 * 16];
    for (int k = 0; k < 2; ++k) {
      const int blk = 2 * pair + k, c = blk < 4 ? 0 : blk - 3;
      const uint8_t* s =
          c ? src_[c].at(mbx * 8, mby * 8) : src_[0].at(mbx * 16 + (blk & 1) * 8, mby * 16 + (blk >> 1) * 8);
      for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) two[y * 16 + 2 * x + k] = s[y * src_[c].stride + x];
    }
    kvniDCT8x8Fwd_8u16s_C2P2(two, 16, coef[2 * pair], coef[2 * pair + 1]);
  }
  for (int blk = 0; blk < 6; ++blk) {
    const int c = blk < 4 ? 0 : blk - 3;
    Kvn16s* lv = levels_[blk];
    std::memcpy(lv, coef[blk], sizeof coef[blk]);
    const int dc = coef[blk][0];
    Kvn32s count = 0;  // of the AC levels, as the block writer takes it
    kvniQuantIntra_MPEG2_16s_C1I(lv, q_, nullptr, &count);
    lv[0] = Kvn16s(std::clamp((dc + (dc < 0 ? -4 : 4)) / 8, 0, 255));  // dc_dct level, 8-bit precision
    kvniPutIntraBlock(w.ptr(), w.free(), lv, &dcPred_[c], dcSizeCodes_[c ? 1 : 0].data(), rl_, scan_, kEobLength,
                      kEobCode, count);
    alignas(16) Kvn16s rec[64], t[64];
    std::memcpy(rec, lv, sizeof rec);
    rec[0] = Kvn16s(lv[0] * 8);
    kvniQuantInvIntra_MPEG2_16s_C1I(rec, q_, intraMatrix_);
    rec[0] = Kvn16s(rec[0] - 1);  // the decoder's centring of the inverse DCT's rounding
    transposed(rec, t);
    uint8_t* d = c ? cur_[c].at(mbx * 8, mby * 8) : cur_[0].at(mbx * 16 + (blk & 1) * 8, mby * 16 + (blk >> 1) * 8);
    kvniDCT8x8Inv_AANTransposed_16s8u_C1R(t, d, cur_[c].stride, 63);
  }
}

// Inter residual: the forward DCT of the source and of the prediction side
// by side (the transform is linear), their difference quantised.
int Encoder::quantise_inter(int mbx, int mby, const uint8_t* pred) {
  int cbp = 0;
  for (int blk = 0; blk < 6; ++blk) {
    const int c = blk < 4 ? 0 : blk - 3;
    const uint8_t* s =
        c ? src_[c].at(mbx * 8, mby * 8) : src_[0].at(mbx * 16 + (blk & 1) * 8, mby * 16 + (blk >> 1) * 8);
    const uint8_t* p = c ? pred + 256 + (c - 1) * 64 : pred + (blk >> 1) * 8 * 16 + (blk & 1) * 8;
    const int ps = c ? 8 : 16;
    alignas(16) uint8_t two[8 * 16];
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x) {
        two[y * 16 + 2 * x] = s[y * src_[c].stride + x];
        two[y * 16 + 2 * x + 1] = p[y * ps + x];
      }
    alignas(16) Kvn16s a[64], b[64];
    kvniDCT8x8Fwd_8u16s_C2P2(two, 16, a, b);
    Kvn16s* lv = levels_[blk];
    for (int k = 0; k < 64; ++k) lv[k] = Kvn16s(a[k] - b[k]);
    kvniQuant_MPEG2_16s_C1I(lv, q_, nullptr, &counts_[blk]);
    if (counts_[blk]) cbp |= 32 >> blk;
  }
  return cbp;
}

void Encoder::encode_mb(BitWriter& w, int mbx, int mby, bool pPicture, int& skipRun) {
  const int x0 = mbx * 16, y0 = mby * 16;
  const Plane& sy = src_[0];
  if (!pPicture) {
    put_vlc(w, Mpeg2Syntax::kMbAddressIncrement, 1);
    put_vlc(w, Mpeg2Syntax::kMbTypeI, kvnsupport::kMbIntra);
    code_intra(w, mbx, mby);
    return;
  }
  // Motion search: full samples around the prediction and zero (small
  // diamond steps while one helps), then the eight half-sample positions.
  const Plane& ry = ref_[0];
  auto sad = [&](int hx, int hy) {  // vector in half samples
    const int mode = (hy & 1 ? 4 : 0) | (hx & 1 ? 8 : 0);
    Kvn32s v = 0;
    kvniSAD16x16_8u32s(sy.at(x0, y0), sy.stride, ry.at(x0 + (hx >> 1), y0 + (hy >> 1)), ry.stride, &v, mode);
    return v + 2 * (std::abs(hx - pmv_[0]) + std::abs(hy - pmv_[1]));
  };
  // Vectors keep the block and its half-sample neighbours inside the
  // picture's macroblocks (13818-2 7.6.4: predictions only from the
  // reference picture) and within the search range.
  const int lim = 2 * kRange;
  auto inside = [&](int hx, int hy) {
    const int px = x0 + (hx >> 1), py = y0 + (hy >> 1);
    return std::abs(hx) <= lim && std::abs(hy) <= lim && px >= 0 && py >= 0 && px + 16 + (hx & 1) <= ry.w &&
           py + 16 + (hy & 1) <= ry.h;
  };
  int bx = 0, by = 0, best = sad(0, 0);
  auto consider = [&](int hx, int hy) {
    if (!inside(hx, hy)) return;
    const int c = sad(hx, hy);
    if (c < best) best = c, bx = hx, by = hy;
  };
  consider(pmv_[0] & ~1, pmv_[1] & ~1);
  for (int step : {8, 4, 2})
    for (bool moved = true; moved;) {
      const int cx = bx, cy = by;
      consider(cx - step, cy), consider(cx + step, cy), consider(cx, cy - step), consider(cx, cy + step);
      moved = bx != cx || by != cy;
    }
  const int fx = bx, fy = by;
  for (int dy = -1; dy <= 1; ++dy)
    for (int dx = -1; dx <= 1; ++dx) consider(fx + dx, fy + dy);

  // Intra when the prediction is poor against the block's own spread (sum
  // of absolute deviations from its mean).
  Kvn32s dev = 0;
  kvniMeanAbsDev16x16_8u32s_C1R(sy.at(x0, y0), sy.stride, &dev);
  if (best > dev + 512) {
    for (; skipRun >= 33; skipRun -= 33) w.put(8, 11);  // macroblock_escape
    put_vlc(w, Mpeg2Syntax::kMbAddressIncrement, skipRun + 1);
    skipRun = 0;
    put_vlc(w, Mpeg2Syntax::kMbTypeP, kvnsupport::kMbIntra);
    code_intra(w, mbx, mby);
    pmv_[0] = pmv_[1] = 0;
    return;
  }

  // The prediction (half samples rounded up) and the residual.
  alignas(16) uint8_t pred[256 + 128];
  kvniCopy16x16HP_8u_C1R(ry.at(x0 + (bx >> 1), y0 + (by >> 1)), ry.stride, pred, 16, (bx & 1) | (by & 1) << 1, 0);
  const int cx = bx / 2, cy = by / 2;
  for (int c = 1; c <= 2; ++c)
    kvniCopy8x8HP_8u_C1R(ref_[c].at(mbx * 8 + (cx >> 1), mby * 8 + (cy >> 1)), ref_[c].stride,
                         pred + 256 + (c - 1) * 64, 8, (cx & 1) | (cy & 1) << 1, 0);
  const int cbp = quantise_inter(mbx, mby, pred);
  const bool zero = bx == 0 && by == 0;
  // Skipped: zero vector and no residual, not the first or last of a slice.
  if (zero && cbp == 0 && mbx > 0 && mbx < mbw_ - 1) {
    ++skipRun;
    pmv_[0] = pmv_[1] = 0;
    for (int c = 0; c < 3; ++c) {
      const int n = c ? 8 : 16;
      const uint8_t* p = c ? pred + 256 + (c - 1) * 64 : pred;
      uint8_t* d = c ? cur_[c].at(mbx * 8, mby * 8) : cur_[0].at(x0, y0);
      for (int y = 0; y < n; ++y) std::memcpy(d + y * cur_[c].stride, p + y * n, size_t(n));
    }
    for (Kvn32s& p : dcPred_) p = 128;
    return;
  }
  for (; skipRun >= 33; skipRun -= 33) w.put(8, 11);  // macroblock_escape
  put_vlc(w, Mpeg2Syntax::kMbAddressIncrement, skipRun + 1);
  skipRun = 0;
  for (Kvn32s& p : dcPred_) p = 128;
  const int type = cbp == 0 ? kvnsupport::kMbForward
                   : zero   ? kvnsupport::kMbPattern
                            : kvnsupport::kMbForward | kvnsupport::kMbPattern;
  put_vlc(w, Mpeg2Syntax::kMbTypeP, type);
  if (type & kvnsupport::kMbForward) {
    write_vector(w, bx - pmv_[0]);
    write_vector(w, by - pmv_[1]);
    pmv_[0] = bx, pmv_[1] = by;
  } else {
    pmv_[0] = pmv_[1] = 0;  // "No MC" resets the predictors
  }
  if (cbp) put_vlc(w, Mpeg2Syntax::kCodedBlockPattern, cbp);
  for (int blk = 0; blk < 6; ++blk) {
    const int c = blk < 4 ? 0 : blk - 3;
    const uint8_t* p = c ? pred + 256 + (c - 1) * 64 : pred + (blk >> 1) * 8 * 16 + (blk & 1) * 8;
    const int ps = c ? 8 : 16;
    uint8_t* d = c ? cur_[c].at(mbx * 8, mby * 8) : cur_[0].at(x0 + (blk & 1) * 8, y0 + (blk >> 1) * 8);
    for (int y = 0; y < 8; ++y) std::memcpy(d + y * cur_[c].stride, p + y * ps, 8);
    if (!(cbp & (32 >> blk))) continue;
    const Kvn16s* lv = levels_[blk];
    kvniPutNonIntraBlock(w.ptr(), w.free(), lv, rl_, scan_, kEobLength, kEobCode, counts_[blk]);
    alignas(16) Kvn16s rec[64], t[64], residual[64];
    std::memcpy(rec, lv, sizeof rec);
    kvniQuantInv_MPEG2_16s_C1I(rec, q_, nullptr);
    rec[0] = Kvn16s(rec[0] - 1);  // the decoder's centring of the inverse DCT's rounding
    transposed(rec, t);
    kvniDCT8x8Inv_AANTransposed_16s_C1R(t, residual, 16, 63);
    kvniAdd8x8_16s8u_C1IRS(residual, 16, d, cur_[c].stride);
  }
}

}  // namespace mpeg2enc
