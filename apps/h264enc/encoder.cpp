#include "encoder.h"

#include <kvnvc.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "h264_tables.h"
#include "nal.h"

namespace h264enc {
namespace {

using kvnvlc::BitWriter;

constexpr int kPad = 48;          // luma border of the reference (chroma: half)
constexpr int kSearch = 16;       // full-sample search range around the prediction
constexpr int kMvLimit = 4 * 24;  // quarter samples a block may reach outside the picture

int clip3(int lo, int hi, int v) { return v < lo ? lo : v > hi ? hi : v; }
int median(int a, int b, int c) { return std::max(std::min(a, b), std::min(std::max(a, b), c)); }

// Bits of se(v) / ue(v), for the rate terms of the decisions.
int ue_bits(uint32_t v) { return 2 * (31 - __builtin_clz(v + 1)) + 1; }
int se_bits(int v) { return ue_bits(v > 0 ? uint32_t(2 * v - 1) : uint32_t(-2 * v)); }

// CAVLC of one block: the library's analysis, then the support writer.
// Coefficients raster, coded from scan index start to 15 (maxCoeff 16 - start).
int write_block(BitWriter& w, const Kvn16s* coef, int start, int nC) {
  Kvn8u t1 = 0, signs = 0, total = 0, zeros = 0, runs[16] = {};
  Kvn16s levels[16] = {};
  kvniEncodeCoeffsCAVLC_H264_16s(coef, Kvn8u(start), kZigzag, 15, &t1, &signs, &total, &zeros, levels, runs);
  kvnvlc::CavlcBlock b;
  b.trailingOnes = t1, b.signs = signs, b.totalCoeff = total, b.totalZeros = zeros;
  for (int i = 0; i < 16; ++i) b.levels[i] = levels[i], b.runs[i] = runs[i];
  kvnvlc::CavlcCoding c;
  c.nC = nC;
  c.maxCoeff = 16 - start;
  kvnvlc::write_cavlc_block(w, b, c);
  return total;
}

int write_chroma_dc(BitWriter& w, const Kvn16s* dc) {
  Kvn8u t1 = 0, signs = 0, total = 0, zeros = 0, runs[16] = {};
  Kvn16s levels[16] = {};
  kvniEncodeChromaDcCoeffsCAVLC_H264_16s(dc, &t1, &signs, &total, &zeros, levels, runs);
  kvnvlc::CavlcBlock b;
  b.trailingOnes = t1, b.signs = signs, b.totalCoeff = total, b.totalZeros = zeros;
  for (int i = 0; i < 16; ++i) b.levels[i] = levels[i], b.runs[i] = runs[i];
  kvnvlc::CavlcCoding c;
  c.nC = -1;
  c.maxCoeff = 4;
  kvnvlc::write_cavlc_block(w, b, c);
  return total;
}

// The largest SAD of a 4x4 residual block (dc: of an 8x8 chroma block, for
// its 2x2 DC block) whose inter levels at qp are all 0 whatever its samples:
// a coefficient of the core transform is at most g * SAD (g 1, 4, 2 for the
// three classes of positions, 1 for chroma DC), and its level is 0 when
// |c| * M + f < 2^s (s = 15 + qp / 6, one more for DC, f = 2^s / 6).
int zero_sad(int qp, bool dc) {
  static constexpr int kM[6][3] = {{13107, 5243, 8066}, {11916, 4660, 7490}, {10082, 4194, 6554},
                                   {9362, 3647, 5825},  {8192, 3355, 5243},  {7282, 2893, 4559}};
  const int64_t s = 15 + qp / 6 + (dc ? 1 : 0), limit = (int64_t(1) << s) - (int64_t(1) << s) / 6;
  int64_t sad = INT32_MAX;
  for (int k = 0; k < (dc ? 1 : 3); ++k) {
    const int64_t gm = int64_t(dc ? 1 : k == 0 ? 1 : k == 1 ? 4 : 2) * kM[qp % 6][k];
    sad = std::min(sad, (limit - 1) / gm);  // largest SAD with SAD * g * M + f < 2^s
  }
  return int(sad);
}

bool any_nonzero(const Kvn16s* c, int n) {
  for (int i = 0; i < n; ++i)
    if (c[i]) return true;
  return false;
}

}  // namespace

Encoder::Encoder(const Options& o) : o_(o), mbw_((o.width + 15) / 16), mbh_((o.height + 15) / 16) {
  refs_.resize(size_t(std::clamp(o.refs, 1, 4)));
  init_8x8_scales();
  const int qpc = kvnsupport::kChromaQp[o.qp];
  zeroSad_[0] = zero_sad(o.qp, false), zeroSad_[1] = zero_sad(qpc, false), zeroSad_[2] = zero_sad(qpc, true);
  std::vector<Picture*> all = {&src_, &cur_};
  for (Picture& r : refs_) all.push_back(&r);
  for (Picture* p : all) {
    p->plane[0].init(mbw_ * 16, mbh_ * 16, kPad);
    p->plane[1].init(mbw_ * 8, mbh_ * 8, kPad / 2);
    p->plane[2].init(mbw_ * 8, mbh_ * 8, kPad / 2);
  }
  mbs_.resize(size_t(mbw_) * size_t(mbh_));
  tcY_.resize(mbs_.size() * 16);
  nzY_.resize(mbs_.size() * 16);
  tcC_[0].resize(mbs_.size() * 4);
  tcC_[1].resize(mbs_.size() * 4);
  cbfY_.resize(mbs_.size() * 16);
  cbfC_[0].resize(mbs_.size() * 4);
  cbfC_[1].resize(mbs_.size() * 4);
  modes4x4_.resize(mbs_.size() * 16);
  refG_.resize(mbs_.size() * 16);
  mvG_.resize(mbs_.size() * 32);
  mvdG_.resize(mbs_.size() * 32);
}

std::vector<uint8_t> Encoder::headers() const {
  std::vector<uint8_t> out;
  BitWriter s;
  // profile_idc: High with the 8x8 transform, else Main with CABAC, else
  // Baseline; constraint_set1_flag (Main compatible) for the last two.
  s.put(o_.t8x8 ? 100 : o_.cabac ? 77 : 66, 8);
  s.put(o_.t8x8 ? 0 : o_.cabac ? 0x40 : 0xc0, 8);
  s.put(40, 8);  // level_idc
  s.put_ue(0);   // seq_parameter_set_id
  if (o_.t8x8) {
    s.put_ue(1);  // chroma_format_idc 4:2:0
    s.put_ue(0);  // bit_depth_luma_minus8
    s.put_ue(0);  // bit_depth_chroma_minus8
    s.put(0, 1);  // qpprime_y_zero_transform_bypass_flag
    s.put(0, 1);  // seq_scaling_matrix_present_flag
  }
  s.put_ue(0);                       // log2_max_frame_num_minus4
  s.put_ue(2);                       // pic_order_cnt_type
  s.put_ue(uint32_t(refs_.size()));  // max_num_ref_frames
  s.put(0, 1);                       // gaps_in_frame_num_value_allowed_flag
  s.put_ue(uint32_t(mbw_ - 1));
  s.put_ue(uint32_t(mbh_ - 1));
  s.put(1, 1);  // frame_mbs_only_flag
  s.put(1, 1);  // direct_8x8_inference_flag
  const int cropR = (mbw_ * 16 - o_.width) / 2, cropB = (mbh_ * 16 - o_.height) / 2;
  s.put(cropR || cropB, 1);
  if (cropR || cropB) {
    s.put_ue(0);
    s.put_ue(uint32_t(cropR));
    s.put_ue(0);
    s.put_ue(uint32_t(cropB));
  }
  s.put(0, 1);  // vui_parameters_present_flag
  append_nal(out, 3, kNalSps, rbsp_bytes(s));

  BitWriter p;
  p.put_ue(0);         // pic_parameter_set_id
  p.put_ue(0);         // seq_parameter_set_id
  p.put(o_.cabac, 1);  // entropy_coding_mode_flag
  p.put(0, 1);         // bottom_field_pic_order_in_frame_present_flag
  p.put_ue(0);         // num_slice_groups_minus1
  p.put_ue(0);         // num_ref_idx_l0_default_active_minus1
  p.put_ue(0);         // num_ref_idx_l1_default_active_minus1
  p.put(0, 1);         // weighted_pred_flag
  p.put(0, 2);         // weighted_bipred_idc
  p.put_se(o_.qp - 26);
  p.put_se(0);  // pic_init_qs_minus26
  p.put_se(0);  // chroma_qp_index_offset
  p.put(1, 1);  // deblocking_filter_control_present_flag
  p.put(0, 1);  // constrained_intra_pred_flag
  p.put(0, 1);  // redundant_pic_cnt_present_flag
  if (o_.t8x8) {
    p.put(1, 1);  // transform_8x8_mode_flag
    p.put(0, 1);  // pic_scaling_matrix_present_flag
    p.put_se(0);  // second_chroma_qp_index_offset
  }
  append_nal(out, 3, kNalPps, rbsp_bytes(p));
  return out;
}

void Encoder::load_source(const uint8_t* const src[3], const int srcStride[3]) {
  for (int c = 0; c < 3; ++c) {
    Plane& p = src_.plane[c];
    const int w = c ? (o_.width + 1) / 2 : o_.width, h = c ? (o_.height + 1) / 2 : o_.height;
    for (int y = 0; y < p.h; ++y) {
      const uint8_t* row = src[c] + size_t(std::min(y, h - 1)) * size_t(srcStride[c]);
      uint8_t* d = p.at(0, y);
      std::memcpy(d, row, size_t(w));
      std::memset(d + w, row[w - 1], size_t(p.w - w));
    }
  }
}

void Encoder::encode(const uint8_t* const src[3], const int srcStride[3], std::vector<uint8_t>& out) {
  load_source(src, srcStride);
  const bool idr = count_ % std::max(1, o_.keyint) == 0;
  ++count_;
  if (idr) frameNum_ = 0, refCount_ = 0;
  const bool pSlice = !idr;

  const int total = mbw_ * mbh_, slices = std::min(std::max(1, o_.slices), total);
  const uint32_t idrId = idr ? uint32_t(idrId_++ & 0xffff) : 0;
  for (int slice = 0; slice < slices; ++slice) {
    // Slices of equal numbers of macroblocks, in raster order.
    const int first = int(int64_t(slice) * total / slices), end = int(int64_t(slice + 1) * total / slices);
    sliceStart_ = first;
    BitWriter w;
    w.put_ue(uint32_t(first));      // first_mb_in_slice
    w.put_ue(pSlice ? 0 : 2);       // slice_type
    w.put_ue(0);                    // pic_parameter_set_id
    w.put(uint32_t(frameNum_), 4);  // frame_num
    if (idr) w.put_ue(idrId);
    if (pSlice) {
      w.put(refCount_ > 1, 1);  // num_ref_idx_active_override_flag (the default is 1)
      if (refCount_ > 1) w.put_ue(uint32_t(refCount_ - 1));
      w.put(0, 1);  // ref_pic_list_modification_flag_l0
    }
    if (idr) {
      w.put(0, 1);  // no_output_of_prior_pics_flag
      w.put(0, 1);  // long_term_reference_flag
    } else {
      w.put(0, 1);  // adaptive_ref_pic_marking_mode_flag
    }
    if (o_.cabac && pSlice) w.put_ue(0);  // cabac_init_idc
    w.put_se(0);                          // slice_qp_delta
    w.put_ue(o_.deblock ? 0 : 1);         // disable_deblocking_filter_idc
    if (o_.deblock) {
      w.put_se(0);  // slice_alpha_c0_offset_div2
      w.put_se(0);  // slice_beta_offset_div2
    }

    int skipRun = 0;
    if (o_.cabac) cabac_start(w, pSlice);
    for (int addr = first; addr < end; ++addr) {
      encode_mb(addr % mbw_, addr / mbw_, pSlice, w, skipRun);
      if (o_.cabac) cabac_bin(276, addr == end - 1);  // end_of_slice_flag
    }
    if (o_.cabac) {
      append_nal(out, 3, idr ? kNalIdr : kNalSlice, cabac_finish());
    } else {
      if (skipRun) w.put_ue(uint32_t(skipRun));
      append_nal(out, 3, idr ? kNalIdr : kNalSlice, rbsp_bytes(w));
    }
  }

  if (o_.deblock) deblock();
  frameNum_ = (frameNum_ + 1) & 15;
  // Sliding window: the new picture first, the oldest dropped.
  std::rotate(refs_.begin(), refs_.end() - 1, refs_.end());
  std::swap(refs_[0], cur_);
  for (Plane& p : refs_[0].plane) p.extend_edges();
  refCount_ = std::min(refCount_ + 1, int(refs_.size()));
}

bool Encoder::residual_surely_zero(const uint8_t* srcY, int strideY, const uint8_t* predY, const uint8_t* const srcC[2],
                                   int strideC, const uint8_t (*predC)[64]) const {
  Kvn16u sad[16];
  kvniSAD16x16Blocks4x4_8u16u(srcY, strideY, predY, 16, sad);
  for (int b = 0; b < 16; ++b)
    if (sad[b] > zeroSad_[0]) return false;
  for (int c = 0; c < 2; ++c) {
    int total = 0;
    for (int b = 0; b < 4; ++b) {
      const int ox = (b & 1) * 4, oy = (b >> 1) * 4;
      Kvn32s v = 0;
      kvniSAD4x4_8u32s(srcC[c] + oy * strideC + ox, strideC, predC[c] + oy * 8 + ox, 8, &v);
      if (v > zeroSad_[1]) return false;
      total += v;
    }
    if (total > zeroSad_[2]) return false;
  }
  return true;
}

size_t Encoder::part_block(int mbx, int mby, int type, int i) const {
  return size_t(mby * 4 + kParts[type][i].y) * size_t(mbw_) * 4 + size_t(mbx * 4 + kParts[type][i].x);
}

bool Encoder::mb_available(int x, int y) const { return x >= 0 && y >= 0 && x < mbw_ && y * mbw_ + x >= sliceStart_; }

void Encoder::reconstruction(std::vector<uint8_t>& out) const {
  out.clear();
  for (int c = 0; c < 3; ++c) {
    const Plane& p = refs_[0].plane[c];
    const int w = c ? (o_.width + 1) / 2 : o_.width, h = c ? (o_.height + 1) / 2 : o_.height;
    for (int y = 0; y < h; ++y) out.insert(out.end(), p.at(0, y), p.at(0, y) + w);
  }
}

// nC of a luma 4x4 block at (bx, by) in 4x4 units (H.264 9.2.1); the whole
// picture is one slice.
int Encoder::nc_luma(int bx, int by) const {
  const int W4 = mbw_ * 4;
  const bool a = bx > 0 && (bx & 3 || mb_available(bx / 4 - 1, by / 4)),
             b = by > 0 && (by & 3 || mb_available(bx / 4, by / 4 - 1));
  const int nA = a ? tcY_[size_t(by) * W4 + bx - 1] : 0, nB = b ? tcY_[size_t(by - 1) * W4 + bx] : 0;
  return a && b ? (nA + nB + 1) >> 1 : a ? nA : nB;
}

int Encoder::nc_chroma(int c, int bx, int by) const {
  const int W2 = mbw_ * 2;
  const bool a = bx > 0 && (bx & 1 || mb_available(bx / 2 - 1, by / 2)),
             b = by > 0 && (by & 1 || mb_available(bx / 2, by / 2 - 1));
  const int nA = a ? tcC_[c][size_t(by) * W2 + bx - 1] : 0, nB = b ? tcC_[c][size_t(by - 1) * W2 + bx] : 0;
  return a && b ? (nA + nB + 1) >> 1 : a ? nA : nB;
}

namespace {
int part_of(int type, int x, int y) {
  return type == 3 ? (y >> 1) * 2 + (x >> 1) : type == 1 ? y >> 1 : type == 2 ? x >> 1 : 0;
}
}  // namespace

// Motion vector prediction of partition idx of a P macroblock of the given
// type (H.264 8.4.1.3), reference 0; the vectors of the earlier partitions
// are in the block grid already.
void Encoder::mv_pred(int mbx, int mby, int type, int idx, int ref, int16_t mvp[2]) const {
  struct N {
    bool avail;
    int ref;
    int mv[2];
  };
  const int W4 = mbw_ * 4;
  auto get = [&](int x, int y) {  // 4x4 block (x, y) relative to the macroblock
    N n{false, -1, {0, 0}};
    bool avail;
    if (y < 0)
      avail = x < 0   ? mb_available(mbx - 1, mby - 1)
              : x < 4 ? mb_available(mbx, mby - 1)
                      : mb_available(mbx + 1, mby - 1);
    else if (x < 0)
      avail = mb_available(mbx - 1, mby);
    else
      avail = x < 4 && part_of(type, x, y) < idx;
    if (!avail) return n;
    n.avail = true;
    const size_t g = size_t(mby * 4 + y) * W4 + mbx * 4 + x;
    n.ref = refG_[g];
    if (n.ref >= 0) n.mv[0] = mvG_[2 * g], n.mv[1] = mvG_[2 * g + 1];
    return n;
  };
  const Rect r = kParts[type][idx];
  N a = get(r.x - 1, r.y), b = get(r.x, r.y - 1), c = get(r.x + r.w, r.y - 1);
  if (!c.avail) c = get(r.x - 1, r.y - 1);
  const N* directional = type == 1 ? (idx == 0 ? &b : &a) : type == 2 ? (idx == 0 ? &a : &c) : nullptr;
  if (directional && directional->ref == ref) {
    mvp[0] = int16_t(directional->mv[0]), mvp[1] = int16_t(directional->mv[1]);
    return;
  }
  if (!b.avail && !c.avail && a.avail) b = c = a;
  const int matches = (a.ref == ref) + (b.ref == ref) + (c.ref == ref);
  for (int k = 0; k < 2; ++k) {
    if (matches == 1)
      mvp[k] = int16_t(a.ref == ref ? a.mv[k] : b.ref == ref ? b.mv[k] : c.mv[k]);
    else
      mvp[k] = int16_t(median(a.mv[k], b.mv[k], c.mv[k]));
  }
}

// P_Skip motion vector (H.264 8.4.1.1).
void Encoder::skip_mv(int mbx, int mby, int16_t mv[2]) const {
  mv[0] = mv[1] = 0;
  if (!mb_available(mbx - 1, mby) || !mb_available(mbx, mby - 1)) return;
  const int W4 = mbw_ * 4;
  const size_t a = size_t(mby * 4) * W4 + mbx * 4 - 1, b = size_t(mby * 4 - 1) * W4 + mbx * 4;
  if (refG_[a] == 0 && mvG_[2 * a] == 0 && mvG_[2 * a + 1] == 0) return;
  if (refG_[b] == 0 && mvG_[2 * b] == 0 && mvG_[2 * b + 1] == 0) return;
  mv_pred(mbx, mby, 0, 0, 0, mv);
}

void Encoder::encode_mb(int mbx, int mby, bool pSlice, BitWriter& w, int& skipRun) {
  const int qp = o_.qp, qpc = kvnsupport::kChromaQp[qp];
  const int lam = lambda(qp);
  Plane &sy = src_.plane[0], &ry = cur_.plane[0];
  const int x0 = mbx * 16, y0 = mby * 16;
  const uint8_t* srcY = sy.at(x0, y0);
  uint8_t* recY = ry.at(x0, y0);
  const uint8_t* srcC[2] = {src_.plane[1].at(x0 / 2, y0 / 2), src_.plane[2].at(x0 / 2, y0 / 2)};
  uint8_t* recC[2] = {cur_.plane[1].at(x0 / 2, y0 / 2), cur_.plane[2].at(x0 / 2, y0 / 2)};
  const int cs = cur_.plane[1].stride;
  MbInfo& info = mbs_[size_t(mby) * mbw_ + mbx];
  info = MbInfo();

  // Transform and quantisation of the residual against a prediction.
  auto quantize = [&](const uint8_t* pY, const uint8_t* const* pC, bool isInter, MbLevels& mb, bool luma = true) {
    alignas(16) Kvn16s coef[16][16];
    for (int b8 = 0; b8 < 4 && luma && mb.t8x8; ++b8) {  // (inter only)
      const int ox = (b8 & 1) * 8, oy = (b8 >> 1) * 8;
      if (quant8x8(srcY + oy * sy.stride + ox, sy.stride, pY + oy * 16 + ox, 16, false, mb.luma8[b8]))
        mb.cbpLuma |= 1 << b8;
    }
    for (int b = 0; b < 16 && luma && !mb.t8x8; ++b) {
      const int ox = kBlkX[b] * 4, oy = kBlkY[b] * 4;
      alignas(16) Kvn16s diff[16];
      kvniGetDiff4x4_8u16s_C1(srcY + oy * sy.stride + ox, sy.stride, pY + oy * 16 + ox, 16, diff, 8);
      if (isInter) {
        Kvn32s n = 0, last = 0;
        kvniTransformQuantFwd4x4_H264_16s_C1(diff, mb.luma[b], qp, &n, 0, kZigzagInv, &last, nullptr);
        if (n) mb.cbpLuma |= 1 << (b >> 2);
      } else {
        kvniTransformResidual4x4Fwd_H264_16s_C1(diff, coef[b]);
        mb.lumaDc[kBlkY[b] * 4 + kBlkX[b]] = coef[b][0];
        coef[b][0] = 0;
        Kvn32s n = 0, last = 0;
        kvniQuantizeResidual4x4Fwd_H264_16s_C1(coef[b], mb.luma[b], &n, &last, nullptr, kZigzagInv, qp, 1);
        if (n) mb.cbpLuma = 15;
      }
    }
    if (!isInter && luma) {
      Kvn16s transformed[16];
      Kvn32s n = 0, last = 0;
      kvniTransformQuantFwdLumaDC4x4_H264_16s_C1I(mb.lumaDc, transformed, qp, &n, 1, kZigzagInv, &last, nullptr);
    }
    for (int c = 0; c < 2; ++c) {
      for (int b = 0; b < 4; ++b) {
        const int ox = (b & 1) * 4, oy = (b >> 1) * 4;
        alignas(16) Kvn16s diff[16], t[16];
        kvniGetDiff4x4_8u16s_C1(srcC[c] + oy * src_.plane[1].stride + ox, src_.plane[1].stride, pC[c] + oy * 8 + ox, 8,
                                diff, 8);
        kvniTransformResidual4x4Fwd_H264_16s_C1(diff, t);
        mb.chromaDc[c][b] = t[0];
        t[0] = 0;
        Kvn32s n = 0, last = 0;
        kvniQuantizeResidual4x4Fwd_H264_16s_C1(t, mb.chroma[c][b], &n, &last, nullptr, kZigzagInv, qpc,
                                               isInter ? 0 : 1);
        if (n) mb.cbpChroma = 2;
      }
      Kvn16s transformed[4];
      Kvn32s n = 0;
      kvniTransformQuantFwdChromaDC2x2_H264_16s_C1I(mb.chromaDc[c], transformed, qpc, &n, isInter ? 0 : 1, 1, nullptr);
      if (mb.cbpChroma == 0 && any_nonzero(mb.chromaDc[c], 4)) mb.cbpChroma = 1;
    }
    if (mb.cbpChroma == 0) std::memset(mb.chromaDc, 0, sizeof mb.chromaDc);
    if (mb.cbpChroma < 2) std::memset(mb.chroma, 0, sizeof mb.chroma);
  };
  // Intra 16x16 and chroma prediction modes by SATD, predicted in place (once).
  const bool mbTop = mb_available(mbx, mby - 1), mbLeft = mb_available(mbx - 1, mby);
  const bool mbTopLeft = mb_available(mbx - 1, mby - 1);
  const int avail = (mbTop ? 1 : 0) | (mbLeft ? 2 : 0) | (mbTopLeft ? 32 : 0);
  alignas(16) uint8_t predY[16 * 16], predC[2][8 * 8];
  uint32_t bestIntra = UINT32_MAX;
  bool intraDone = false;
  int modeY = 2, modeC = 0;
  auto intra_cost = [&]() -> uint32_t {
    if (intraDone) return bestIntra;
    intraDone = true;
    for (int m = 0; m < 4; ++m) {
      if (kvniPredictIntra_16x16_H264_8u_C1IR(recY, ry.stride, m, avail) != 0) continue;
      Kvn32u satd = 0;
      kvniSATD16x16_8u32s_C1R(srcY, sy.stride, recY, ry.stride, &satd);
      satd += uint32_t(lam * (m == 2 ? 1 : 3));
      if (satd < bestIntra) bestIntra = satd, modeY = m, copy_block(predY, 16, recY, ry.stride, 16);
    }
    uint32_t bestC = UINT32_MAX;
    for (int m = 0; m < 4; ++m) {
      uint32_t cost = uint32_t(lam * (m == 0 ? 1 : 3));
      bool ok = true;
      for (int c = 0; c < 2 && ok; ++c) {
        ok = kvniPredictIntraChroma8x8_H264_8u_C1IR(recC[c], cs, m, avail) == 0;
        Kvn32u satd = 0;
        if (ok) kvniSATD8x8_8u32s_C1R(srcC[c], src_.plane[1].stride, recC[c], cs, &satd);
        cost += satd;
      }
      if (!ok) continue;
      if (cost < bestC) {
        bestC = cost, modeC = m;
        for (int c = 0; c < 2; ++c) copy_block(predC[c], 8, recC[c], cs, 8);
      }
    }
    return bestIntra;
  };

  // P: motion search by SAD on full samples, then SATD on quarter samples.
  alignas(16) uint8_t interY[16 * 16], interC[2][8 * 8];
  bool inter = false;
  int curRef = 0;                           // the reference picture predictions below read
  const Plane& fyDims = refs_[0].plane[0];  // (every reference has these dimensions)
  auto clamp_mv = [&](int v, int pos, int size, int extent) {
    return clip3(-(pos * 4) - kMvLimit, (extent - pos - size) * 4 + kMvLimit, v);
  };
  const int W4 = mbw_ * 4;
  // Luma / chroma prediction of a partition (r in 4x4 blocks) into 16- and 8-wide buffers.
  auto predict_luma = [&](const int16_t m[2], const Rect& r, uint8_t* dst) {
    const Plane& fy = refs_[size_t(curRef)].plane[0];
    const uint8_t* p = fy.at(x0 + r.x * 4 + (m[0] >> 2), y0 + r.y * 4 + (m[1] >> 2));
    kvniInterpolateLuma_H264_8u_C1R(p, fy.stride, dst + r.y * 4 * 16 + r.x * 4, 16, m[0] & 3, m[1] & 3,
                                    KvnSize{r.w * 4, r.h * 4});
  };
  auto predict_chroma = [&](const int16_t m[2], const Rect& r, uint8_t(*dst)[64]) {
    for (int c = 0; c < 2; ++c) {
      const Plane& f = refs_[size_t(curRef)].plane[1 + c];
      const int cx = (x0 + r.x * 4) * 4 + m[0], cy = (y0 + r.y * 4) * 4 + m[1];  // eighth chroma samples
      kvniInterpolateChroma_H264_8u_C1R(f.at(cx >> 3, cy >> 3), f.stride, dst[c] + r.y * 2 * 8 + r.x * 2, 8, cx & 7,
                                        cy & 7, KvnSize{r.w * 2, r.h * 2});
    }
  };
  constexpr Rect kWhole{0, 0, 4, 4};
  auto sad = [&](const Rect& r, int vx, int vy) {
    const Plane& fy = refs_[size_t(curRef)].plane[0];
    const uint8_t* s0 = srcY + r.y * 4 * sy.stride + r.x * 4;
    const uint8_t* p = fy.at(x0 + r.x * 4 + vx, y0 + r.y * 4 + vy);
    Kvn32s v = 0;
    if (r.w == 4 && r.h == 4)
      kvniSAD16x16_8u32s(s0, sy.stride, p, fy.stride, &v, 0);
    else if (r.w == 4)
      kvniSAD16x8_8u32s_C1R(s0, sy.stride, p, fy.stride, &v, 0);
    else if (r.h == 4)
      kvniSAD8x16_8u32s_C1R(s0, sy.stride, p, fy.stride, &v);
    else
      kvniSAD8x8_8u32s_C1R(s0, sy.stride, p, fy.stride, &v, 0);
    return uint32_t(v);
  };
  auto satd = [&](const Rect& r, const uint8_t* pred) {
    const uint8_t* s0 = srcY + r.y * 4 * sy.stride + r.x * 4;
    const uint8_t* p = pred + r.y * 4 * 16 + r.x * 4;
    Kvn32u v = 0;
    if (r.w == 4 && r.h == 4)
      kvniSATD16x16_8u32s_C1R(s0, sy.stride, p, 16, &v);
    else if (r.w == 4)
      kvniSATD16x8_8u32s_C1R(s0, sy.stride, p, 16, &v);
    else if (r.h == 4)
      kvniSATD8x16_8u32s_C1R(s0, sy.stride, p, 16, &v);
    else
      kvniSATD8x8_8u32s_C1R(s0, sy.stride, p, 16, &v);
    return uint32_t(v);
  };
  // Motion search of one partition: the best of a few full-sample candidates
  // (the prediction, zero, `seed`, the neighbours' vectors), diamond steps of
  // 4, 2 and 1 while one helps, then half and quarter samples by SATD.
  auto search = [&](const Rect& r, const int16_t mvpP[2], const int16_t* seed, int16_t out[2]) {
    const int px = x0 + r.x * 4, py = y0 + r.y * 4, w = r.w * 4, h = r.h * 4;
    const int minX = -(px + 24), maxX = fyDims.w - px - w + 24, minY = -(py + 24), maxY = fyDims.h - py - h + 24;
    int bx = 0, by = 0;
    uint32_t best = UINT32_MAX;
    auto consider = [&](int vx, int vy) {
      vx = clip3(minX, maxX, vx), vy = clip3(minY, maxY, vy);
      const uint32_t c = sad(r, vx, vy) + uint32_t(lam * (se_bits(vx * 4 - mvpP[0]) + se_bits(vy * 4 - mvpP[1])));
      if (c < best) best = c, bx = vx, by = vy;
    };
    consider((mvpP[0] + 2) >> 2, (mvpP[1] + 2) >> 2);
    consider(0, 0);
    if (seed) consider((seed[0] + 2) >> 2, (seed[1] + 2) >> 2);
    auto consider_block = [&](size_t g) { consider((mvG_[2 * g] + 2) >> 2, (mvG_[2 * g + 1] + 2) >> 2); };
    if (mbLeft) consider_block(size_t(mby * 4) * W4 + mbx * 4 - 1);
    if (mbTop) consider_block(size_t(mby * 4 - 1) * W4 + mbx * 4);
    for (int step : {4, 2, 1})
      for (int it = 0; it < kSearch; ++it) {
        const int cx = bx, cy = by;
        consider(cx - step, cy);
        consider(cx + step, cy);
        consider(cx, cy - step);
        consider(cx, cy + step);
        if (bx == cx && by == cy) break;
      }
    uint32_t bestQ = UINT32_MAX;
    int16_t centre[2] = {int16_t(bx * 4), int16_t(by * 4)};
    for (int step : {2, 1}) {
      const int16_t c0[2] = {centre[0], centre[1]};
      for (int dy = -step; dy <= step; dy += step)
        for (int dx = -step; dx <= step; dx += step) {
          const int16_t m[2] = {int16_t(clamp_mv(c0[0] + dx, px, w, fyDims.w)),
                                int16_t(clamp_mv(c0[1] + dy, py, h, fyDims.h))};
          alignas(16) uint8_t tmp[16 * 16];
          predict_luma(m, r, tmp);
          const uint32_t c = satd(r, tmp) + uint32_t(lam * (se_bits(m[0] - mvpP[0]) + se_bits(m[1] - mvpP[1])));
          if (c < bestQ) bestQ = c, centre[0] = m[0], centre[1] = m[1];
        }
    }
    out[0] = centre[0], out[1] = centre[1];
    return bestQ;
  };
  auto set_grid = [&](const Rect& r, int ref, const int16_t m[2], const int16_t d[2]) {
    for (int y = r.y; y < r.y + r.h; ++y)
      for (int x = r.x; x < r.x + r.w; ++x) {
        const size_t g = size_t(mby * 4 + y) * W4 + mbx * 4 + x;
        refG_[g] = int8_t(ref);
        mvG_[2 * g] = m[0], mvG_[2 * g + 1] = m[1];
        mvdG_[2 * g] = d[0], mvdG_[2 * g + 1] = d[1];
      }
  };

  MbLevels mb;
  uint32_t interCost = UINT32_MAX;  // of the best partitioning (P slices, not skipped)
  bool skip = false;
  int16_t smv[2] = {0, 0};
  int type = 0;
  int16_t pmv[4][2] = {}, pmvd[4][2] = {};
  int8_t pref[4] = {};
  if (pSlice) {
    // P_Skip when its prediction leaves no residual worth coding.
    skip_mv(mbx, mby, smv);
    if (clamp_mv(smv[0], x0, 16, fyDims.w) == smv[0] && clamp_mv(smv[1], y0, 16, fyDims.h) == smv[1]) {
      predict_luma(smv, kWhole, interY);
      predict_chroma(smv, kWhole, interC);
      const uint8_t* pc[2] = {interC[0], interC[1]};
      skip = residual_surely_zero(srcY, sy.stride, interY, srcC, src_.plane[1].stride, interC);
      if (!skip) {
        quantize(interY, pc, true, mb);
        skip = mb.cbpLuma == 0 && mb.cbpChroma == 0;  // mb then holds the skip's (zero) levels
      }
    }
  }
  if (skip) {
    inter = true;
    pmv[0][0] = smv[0], pmv[0][1] = smv[1];
  } else if (pSlice) {
    // 16x16, and the smaller partitions when its residual is large; each
    // partition's prediction uses the vectors of the partitions before it.
    static constexpr int kTypeBits[4] = {1, 3, 3, 9};
    uint32_t bestCost = UINT32_MAX;
    int16_t mv16[2] = {0, 0};
    for (int t = 0; t < 4; ++t) {
      uint32_t c = uint32_t(lam * kTypeBits[t]);
      int16_t m[4][2], d[4][2];
      int8_t rf[4] = {};
      for (int i = 0; i < kPartCount[t]; ++i) {
        const Rect& r = kParts[t][i];
        uint32_t bestP = UINT32_MAX;
        for (int ref = 0; ref < refCount_; ++ref) {  // each reference picture
          curRef = ref;
          int16_t mvpP[2], mm[2];
          mv_pred(mbx, mby, t, i, ref, mvpP);
          const int refBits = refCount_ == 1 ? 0 : refCount_ == 2 ? 1 : ue_bits(uint32_t(ref));
          const uint32_t pc = search(r, mvpP, t ? mv16 : nullptr, mm) + uint32_t(lam * refBits);
          if (pc < bestP) {
            bestP = pc, rf[i] = int8_t(ref);
            m[i][0] = mm[0], m[i][1] = mm[1];
            d[i][0] = int16_t(mm[0] - mvpP[0]), d[i][1] = int16_t(mm[1] - mvpP[1]);
          }
        }
        c += bestP;
        set_grid(r, rf[i], m[i], d[i]);
      }
      if (c < bestCost) {
        bestCost = c, type = t;
        std::memcpy(pmv, m, sizeof m);
        std::memcpy(pmvd, d, sizeof d);
        std::memcpy(pref, rf, sizeof rf);
      }
      if (t == 0) {
        mv16[0] = m[0][0], mv16[1] = m[0][1];
        if (c < uint32_t(40 * lam + 256)) break;  // small residual: no smaller partitions
      }
      if (t == 2 && type == 0) break;  // 8x8 only when a two-partition split helped
    }
    interCost = bestCost;
    inter = bestCost <= intra_cost() + uint32_t(4 * lam);
  }
  if (!skip) mb = MbLevels();
  bool i4x4 = false;
  int8_t modes[16];
  if (!skip) {
    // Intra NxN while it may win: against Intra 16x16 when inter prediction
    // lost to it (or in I slices), else against inter prediction with a
    // margin of about 8 bits per 4x4 block (its modes, and the residual bits
    // that SATD underrates for intra blocks).
    const uint32_t margin = uint32_t(128 * lam);
    uint32_t best = !inter ? intra_cost() : interCost > margin ? interCost - margin : 0;
    MbLevels t;
    const uint32_t cost4 = best ? intra4x4(mbx, mby, best, t, modes) : UINT32_MAX;
    if (cost4 < best) {
      i4x4 = true, best = cost4;
      std::memcpy(mb.luma, t.luma, sizeof mb.luma);
      std::memcpy(mb.intraRem, t.intraRem, sizeof mb.intraRem);
      mb.cbpLuma = t.cbpLuma;
      mb.i4x4 = true;
    }
    if (o_.t8x8 && best) {  // Intra 8x8, reconstructed over the Intra 4x4 blocks (kept aside)
      alignas(16) uint8_t kept[16 * 16];
      if (i4x4) copy_block(kept, 16, recY, ry.stride, 16);
      MbLevels t8;
      int8_t modes8[4];
      if (intra8x8(mbx, mby, best, t8, modes8) < best) {
        i4x4 = true;
        mb = MbLevels();
        std::memcpy(mb.luma8, t8.luma8, sizeof mb.luma8);
        std::memcpy(mb.intraRem, t8.intraRem, sizeof mb.intraRem);
        mb.cbpLuma = t8.cbpLuma;
        mb.i4x4 = mb.t8x8 = true;
        for (int b = 0; b < 16; ++b) modes[b] = modes8[b >> 2];
      } else if (i4x4) {
        copy_block(recY, ry.stride, kept, 16, 16);
      }
    }
    if (i4x4) inter = false;
  }
  if (inter && !skip)
    for (int i = 0; i < kPartCount[type]; ++i) {
      curRef = pref[i];
      predict_luma(pmv[i], kParts[type][i], interY);
      predict_chroma(pmv[i], kParts[type][i], interC);
    }
  if (inter && !skip && o_.t8x8) {
    // The transform of lower Hadamard cost (8x8 against 4x4 blocks, scaled alike).
    Kvn32u satd4 = 0, satd8 = 0;
    kvniSATD16x16_8u32s_C1R(srcY, sy.stride, interY, 16, &satd4);
    for (int b8 = 0; b8 < 4; ++b8) {
      const int ox = (b8 & 1) * 8, oy = (b8 >> 1) * 8;
      Kvn32u v = 0;
      kvniSAT8x8D_8u32s_C1R(srcY + oy * sy.stride + ox, sy.stride, interY + oy * 16 + ox, 16, &v);
      satd8 += v;
    }
    mb.t8x8 = satd8 / 2 < satd4;
  }
  const uint8_t* pY = inter ? interY : predY;
  const uint8_t* pC[2] = {inter ? interC[0] : predC[0], inter ? interC[1] : predC[1]};
  if (!skip) quantize(pY, pC, inter, mb, !i4x4);
  if (inter && mb.cbpLuma == 0) mb.t8x8 = false;  // transform_size_8x8_flag is not coded
  // A 16x16 vector equal to the skip vector without residual is P_Skip too.
  if (inter && type == 0 && pref[0] == 0 && smv[0] == pmv[0][0] && smv[1] == pmv[0][1] && mb.cbpLuma == 0 &&
      mb.cbpChroma == 0)
    skip = true;

  // Reconstruction: prediction plus the decoded residual, into the picture.
  Kvn16s dcY[16];
  std::memcpy(dcY, mb.lumaDc, sizeof dcY);
  if (!inter && !i4x4) kvniTransformQuantInvLumaDC4x4_H264_16s_C1I(dcY, qp, nullptr);
  for (int b8 = 0; b8 < 4 && inter && mb.t8x8; ++b8) {
    const int ox = (b8 & 1) * 8, oy = (b8 >> 1) * 8;
    recon8x8(mb.luma8[b8], pY + oy * 16 + ox, 16, recY + oy * ry.stride + ox, ry.stride);
  }
  // (Intra NxN blocks are reconstructed already; without levels the prediction is the reconstruction.)
  const bool lumaLevels = !i4x4 && (!inter || mb.cbpLuma);
  if (inter && !mb.cbpLuma) copy_block(recY, ry.stride, pY, 16, 16);
  for (int b = 0; b < 16 && lumaLevels && !mb.t8x8; ++b) {
    const int ox = kBlkX[b] * 4, oy = kBlkY[b] * 4;
    alignas(16) Kvn16s lv[16];
    std::memcpy(lv, mb.luma[b], sizeof lv);
    const bool ac = any_nonzero(lv, 16);
    const Kvn16s* dc = inter || i4x4 ? nullptr : &dcY[kBlkY[b] * 4 + kBlkX[b]];
    kvniTransformQuantInvAddPred4x4_H264_16s_C1IR(pY + oy * 16 + ox, 16, lv, dc, recY + oy * ry.stride + ox, ry.stride,
                                                  qp, ac, nullptr);
  }
  for (int c = 0; c < 2; ++c) {
    if (!mb.cbpChroma) {
      copy_block(recC[c], cs, pC[c], 8, 8);
      continue;
    }
    Kvn16s dc[4];
    std::memcpy(dc, mb.chromaDc[c], sizeof dc);
    kvniTransformQuantInvChromaDC2x2_H264_16s_C1I(dc, qpc, nullptr);
    for (int b = 0; b < 4; ++b) {
      const int ox = (b & 1) * 4, oy = (b >> 1) * 4;
      alignas(16) Kvn16s lv[16];
      std::memcpy(lv, mb.chroma[c][b], sizeof lv);
      kvniTransformQuantInvAddPred4x4_H264_16s_C1IR(pC[c] + oy * 8 + ox, 8, lv, &dc[b], recC[c] + oy * cs + ox, cs, qpc,
                                                    any_nonzero(lv, 16), nullptr);
    }
  }

  // Syntax (H.264 7.3.5) and the neighbour data of later macroblocks.
  info.intra = !inter;
  info.i4x4 = i4x4;
  info.t8x8 = mb.t8x8;
  info.skip = skip;
  info.type = type;
  // The block grid: final vectors (skipped: the skip vector), coded differences.
  static constexpr int16_t kZero[2] = {0, 0};
  if (!inter) {
    set_grid(kWhole, -1, kZero, kZero);
  } else if (skip) {
    set_grid(kWhole, 0, smv, kZero);
  } else {
    for (int i = 0; i < kPartCount[type]; ++i) set_grid(kParts[type][i], pref[i], pmv[i], pmvd[i]);
  }
  info.cbpLuma = mb.cbpLuma, info.cbpChroma = mb.cbpChroma, info.chromaMode = inter ? 0 : modeC;
  const int W2 = mbw_ * 2;
  for (int b = 0; b < 16; ++b) {
    const size_t at = size_t(mby * 4 + kBlkY[b]) * W4 + mbx * 4 + kBlkX[b];
    tcY_[at] = 0;
    cbfY_[at] = -1;
    modes4x4_[at] = int8_t(i4x4 ? modes[b] : -1);
    nzY_[at] = inter && (mb.t8x8 ? any_nonzero(mb.luma8[b >> 2], 64) : any_nonzero(mb.luma[b], 16));
  }
  for (int c = 0; c < 2; ++c)
    for (int b = 0; b < 4; ++b) {
      const size_t at = size_t(mby * 2 + (b >> 1)) * W2 + mbx * 2 + (b & 1);
      tcC_[c][at] = 0;
      cbfC_[c][at] = -1;
    }
  if (o_.cabac) {
    write_mb_cabac(mbx, mby, pSlice, mb, modeY);
    return;
  }
  if (info.skip) {
    ++skipRun;
    return;
  }
  if (pSlice) {
    w.put_ue(uint32_t(skipRun));
    skipRun = 0;
  }
  write_mb_cavlc(mbx, mby, pSlice, mb, modeY, w);
}

void Encoder::write_mb_cavlc(int mbx, int mby, bool pSlice, const MbLevels& mb, int modeY, BitWriter& w) {
  const MbInfo& info = mbs_[size_t(mby) * mbw_ + mbx];
  const int W4 = mbw_ * 4, W2 = mbw_ * 2;
  if (!info.intra) {
    w.put_ue(uint32_t(info.type));  // P_L0_16x16, P_L0_L0_16x8, P_L0_L0_8x16, P_8x8
    if (info.type == 3)
      for (int i = 0; i < 4; ++i) w.put_ue(0);  // sub_mb_type P_L0_8x8
    // ref_idx_l0: te(v), one inverted bit for two references.
    if (refCount_ > 1)
      for (int i = 0; i < kPartCount[info.type]; ++i) {
        const int ref = refG_[part_block(mbx, mby, info.type, i)];
        if (refCount_ == 2)
          w.put(ref == 0, 1);
        else
          w.put_ue(uint32_t(ref));
      }
    for (int i = 0; i < kPartCount[info.type]; ++i) {
      const size_t g = part_block(mbx, mby, info.type, i);
      w.put_se(mvdG_[2 * g]);
      w.put_se(mvdG_[2 * g + 1]);
    }
    const int cbp = mb.cbpLuma | mb.cbpChroma << 4;
    int code = 0;
    while (kvnsupport::kCbpInter[code] != cbp) ++code;
    w.put_ue(uint32_t(code));
    if (o_.t8x8 && mb.cbpLuma) w.put(mb.t8x8, 1);  // transform_size_8x8_flag
    if (cbp) w.put_se(0);                          // mb_qp_delta
  } else if (mb.i4x4) {
    w.put_ue(pSlice ? 5 : 0);        // I_NxN
    if (o_.t8x8) w.put(mb.t8x8, 1);  // transform_size_8x8_flag
    for (int b = 0; b < (mb.t8x8 ? 4 : 16); ++b) {
      w.put(mb.intraRem[b] < 0, 1);  // prev_intra4x4_pred_mode_flag
      if (mb.intraRem[b] >= 0) w.put(uint32_t(mb.intraRem[b]), 3);
    }
    w.put_ue(uint32_t(info.chromaMode));
    const int cbp = mb.cbpLuma | mb.cbpChroma << 4;
    int code = 0;
    while (kvnsupport::kCbpIntra[code] != cbp) ++code;
    w.put_ue(uint32_t(code));
    if (cbp) w.put_se(0);  // mb_qp_delta
  } else {
    w.put_ue(uint32_t((pSlice ? 5 : 0) + 1 + modeY + 4 * mb.cbpChroma + (mb.cbpLuma ? 12 : 0)));
    w.put_ue(uint32_t(info.chromaMode));
    w.put_se(0);  // mb_qp_delta
    write_block(w, mb.lumaDc, 0, nc_luma(mbx * 4, mby * 4));
  }
  for (int b = 0; b < 16; ++b) {
    if (!(mb.cbpLuma >> (b >> 2) & 1)) continue;
    const int bx = mbx * 4 + kBlkX[b], by = mby * 4 + kBlkY[b];
    const int start = info.intra && !mb.i4x4 ? 1 : 0;  // Intra 16x16: AC blocks
    const int16_t* levels = mb.luma[b];
    Kvn16s part[16];
    if (mb.t8x8) {  // 8x8 blocks: four interleaved parts of the 8x8 scan (7.3.5.3.2)
      for (int j = 0; j < 16; ++j) part[kZigzag[j]] = mb.luma8[b >> 2][kvnsupport::kZigzag8x8[4 * j + (b & 3)]];
      levels = part;
    }
    tcY_[size_t(by) * W4 + bx] = uint8_t(write_block(w, levels, start, nc_luma(bx, by)));
  }
  if (mb.cbpChroma)
    for (int c = 0; c < 2; ++c) write_chroma_dc(w, mb.chromaDc[c]);
  if (mb.cbpChroma == 2)
    for (int c = 0; c < 2; ++c)
      for (int b = 0; b < 4; ++b) {
        const int bx = mbx * 2 + (b & 1), by = mby * 2 + (b >> 1);
        tcC_[c][size_t(by) * W2 + bx] = uint8_t(write_block(w, mb.chroma[c][b], 1, nc_chroma(c, bx, by)));
      }
}

// Deblocking (H.264 8.7): boundary strengths from the macroblock data, the
// filters of the library, macroblocks in raster order, vertical edges first.
void Encoder::deblock() {
  const int qp = o_.qp, qpc = kvnsupport::kChromaQp[qp];
  const int W4 = mbw_ * 4;
  for (int mby = 0; mby < mbh_; ++mby)
    for (int mbx = 0; mbx < mbw_; ++mbx) {
      const MbInfo& q = mbs_[size_t(mby) * mbw_ + mbx];
      uint8_t bs[2][16];
      for (int dir = 0; dir < 2; ++dir)
        for (int e = 0; e < 4; ++e) {
          const bool mbEdge = e == 0;
          // Picture edges; with the 8x8 transform, the luma edges inside 8x8 blocks.
          if ((mbEdge && (dir == 0 ? mbx == 0 : mby == 0)) || (q.t8x8 && (e & 1))) {
            std::memset(bs[dir] + 4 * e, 0, 4);
            continue;
          }
          const MbInfo& p = mbEdge ? mbs_[size_t(mby - dir) * mbw_ + mbx - (1 - dir)] : q;
          for (int s = 0; s < 4; ++s) {
            const int qx = mbx * 4 + (dir == 0 ? e : s), qy = mby * 4 + (dir == 0 ? s : e);
            const int px = dir == 0 ? qx - 1 : qx, py = dir == 0 ? qy : qy - 1;
            int v;
            if (p.intra || q.intra)
              v = mbEdge ? 4 : 3;
            else if (nzY_[size_t(qy) * W4 + qx] || nzY_[size_t(py) * W4 + px])
              v = 2;
            else {
              const size_t gp = size_t(py) * W4 + px, gq = size_t(qy) * W4 + qx;
              v = refG_[gp] != refG_[gq] || std::abs(mvG_[2 * gp] - mvG_[2 * gq]) >= 4 ||
                  std::abs(mvG_[2 * gp + 1] - mvG_[2 * gq + 1]) >= 4;
            }
            bs[dir][4 * e + s] = uint8_t(v);
          }
        }
      // alpha, beta: [0] the macroblock edge, [1] inner edges (same QP throughout).
      const Kvn8u alpha[2] = {kvnsupport::kAlpha[qp], kvnsupport::kAlpha[qp]};
      const Kvn8u beta[2] = {kvnsupport::kBeta[qp], kvnsupport::kBeta[qp]};
      const Kvn8u alphaC[2] = {kvnsupport::kAlpha[qpc], kvnsupport::kAlpha[qpc]};
      const Kvn8u betaC[2] = {kvnsupport::kBeta[qpc], kvnsupport::kBeta[qpc]};
      Plane& y = cur_.plane[0];
      uint8_t* Y = y.at(mbx * 16, mby * 16);
      for (int dir = 0; dir < 2; ++dir) {
        static constexpr uint8_t kNone[16] = {};
        if (!std::memcmp(bs[dir], kNone, 16)) continue;  // nothing to filter
        Kvn8u tc[16], tcC[8];
        for (int i = 0; i < 16; ++i)
          tc[i] = bs[dir][i] >= 1 && bs[dir][i] <= 3 ? kvnsupport::kTc0[qp][bs[dir][i] - 1] : 0;
        if (dir == 0)
          kvniFilterDeblockingLuma_VerEdge_H264_8u_C1IR(Y, y.stride, alpha, beta, tc, bs[0]);
        else
          kvniFilterDeblockingLuma_HorEdge_H264_8u_C1IR(Y, y.stride, alpha, beta, tc, bs[1]);
        // Chroma edges 0 and 1 take the bS of luma edges 0 and 2.
        uint8_t bsC[16];
        std::memcpy(bsC, bs[dir], 16);
        for (int e = 0; e < 2; ++e)
          for (int s = 0; s < 4; ++s) {
            const int b = bs[dir][8 * e + s];
            tcC[4 * e + s] = b >= 1 && b <= 3 ? kvnsupport::kTc0[qpc][b - 1] : 0;
          }
        for (int c = 1; c <= 2; ++c) {
          Plane& pc = cur_.plane[c];
          uint8_t* C = pc.at(mbx * 8, mby * 8);
          if (dir == 0)
            kvniFilterDeblockingChroma_VerEdge_H264_8u_C1IR(C, pc.stride, alphaC, betaC, tcC, bsC);
          else
            kvniFilterDeblockingChroma_HorEdge_H264_8u_C1IR(C, pc.stride, alphaC, betaC, tcC, bsC);
        }
      }
    }
}

}  // namespace h264enc
