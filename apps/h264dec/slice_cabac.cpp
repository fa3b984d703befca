// Slice data and macroblock layer with CABAC (H.264 7.3.4, 7.3.5, 9.3):
// the same macroblock description as the CAVLC parser fills, with each bin's
// context chosen from the neighbouring macroblocks (9.3.3.1.1).
#include <kvnvc.h>

#include <cstdlib>
#include <cstring>

#include "cabac_syntax.h"
#include "slice.h"
#include "tables.h"

namespace h264dec {

Status SliceDecoder::run_cabac() {
  const int total = W * H;
  int addr = sh.firstMb;
  if (addr >= total) return Status::skip("first_mb_in_slice out of range");
  // cabac_alignment_one_bit up to the byte boundary, then the slice data.
  cabacStart_ = (br.pos() + 7) / 8;
  if (cabacStart_ >= rbsp_.size()) return Status::skip("slice data missing");
  // Context variables initialised for the slice type, cabac_init_idc and
  // SliceQPY (9.3.1.1) by the library's coder initialisation.
  alignas(8) uint8_t state[512];
  alignas(4) uint8_t scratch[16] = {};
  Kvn32u size = 0;
  uint8_t contexts[kvnsupport::CabacDecoder::kContexts];
  if (kvniCABACGetSize_H264(&size) < 0 || size > sizeof state ||
      kvniCABACInit_H264(state, scratch, 0, sizeof scratch, qp, sh.type == kI ? -1 : sh.cabacInitIdc) < 0 ||
      kvniCABACGetContexts_H264(state, 0, contexts, kvnsupport::CabacDecoder::kContexts) < 0)
    return Status::skip("CABAC initialisation failed");
  cabac_.init(rbsp_.data() + cabacStart_, rbsp_.size() - cabacStart_, contexts);
  prevQpDelta_ = false;
  for (;;) {
    if (addr >= total) return Status::skip("slice data past the picture");
    mb.reset(addr, W);
    set_neighbours();
    bool skipped = false;
    if (sh.type != kI) {  // condTermFlagN: N available and not skipped
      const int a = mb.availA && !ctx.mbs[size_t(addr - 1)].skip ? 1 : 0;
      const int b = mb.availB && !ctx.mbs[size_t(addr - W)].skip ? 1 : 0;
      skipped = cabac::mb_skip(cabac_, sh.type == kB, a + b);
    }
    if (skipped) {
      skip_cabac();
    } else {
      Status e = decode_mb_cabac();
      if (!e.ok()) return e;
    }
    if (cabac_.overrun()) return Status::skip("slice data truncated");
    if (mb.x == W - 1) ctx.rowDecoded(mb.y);
    ++addr;
    if (cabac_.terminate()) return Status::success();  // end_of_slice_flag
  }
}

namespace {

// Clears the CABAC motion state of a macroblock's 4x4 blocks (direct
// sub-macroblocks and unused lists count as neither coded references nor
// vector differences). Only macroblocks that code motion keep this state:
// their neighbours read that of skipped, intra and B_Direct_16x16 ones as 0
// (has_coded_motion).
void clear_motion_state(PictureContext& ctx, size_t base, int W4) {
  uint8_t* ref = ctx.refGt0.data() + base;
  uint8_t* mvd0 = ctx.absMvd[0].data() + 2 * base;
  uint8_t* mvd1 = ctx.absMvd[1].data() + 2 * base;
  for (int y = 0; y < 4; ++y) {
    std::memset(ref + y * W4, 0, 4);
    std::memset(mvd0 + 2 * y * W4, 0, 8);
    std::memset(mvd1 + 2 * y * W4, 0, 8);
  }
}

bool has_coded_motion(const MbState& m) { return !m.skip && !m.intra && !m.direct16; }

}  // namespace

void SliceDecoder::skip_cabac() {
  decode_skip();
  ctx.cabacMbs[size_t(mb.addr)] = CabacMbState();
  prevQpDelta_ = false;
}

Status SliceDecoder::decode_mb_cabac() {
  begin_mb();
  MbState& st = ctx.mbs[size_t(mb.addr)];
  ctx.cabacMbs[size_t(mb.addr)] = CabacMbState();
  const MbState* A = mb.availA ? &ctx.mbs[size_t(mb.addr - 1)] : nullptr;
  const MbState* B = mb.availB ? &ctx.mbs[size_t(mb.addr - W)] : nullptr;

  uint32_t t;
  if (sh.type == kI) {  // condTermFlagN: N available and not I_NxN
    auto cond = [](const MbState* n) { return n && (n->i16 || n->pcm) ? 1 : 0; };
    t = uint32_t(cabac::mb_type_i(cabac_, cond(A) + cond(B)));
  } else if (sh.type == kP) {
    t = uint32_t(cabac::mb_type_p(cabac_));
  } else {  // condTermFlagN: N available and neither B_Skip nor B_Direct_16x16
    auto cond = [](const MbState* n) { return n && !n->skip && !n->direct16 ? 1 : 0; };
    t = uint32_t(cabac::mb_type_b(cabac_, cond(A) + cond(B)));
  }
  int intraType;
  bool direct16;
  if (!apply_mb_type(t, intraType, direct16)) return Status::skip("invalid mb_type");
  if (intraType == 25) return pcm_cabac();
  // transform_size_8x8_flag: condTermFlagN is N's flag.
  auto t8x8Inc = [&] { return (A && A->t8x8 ? 1 : 0) + (B && B->t8x8 ? 1 : 0); };
  if (mb.intra) {
    if (intraType == 0 && pps.transform8x8) mb.t8x8 = cabac::transform_8x8(cabac_, t8x8Inc());
    Status e = parse_intra_modes();
    if (!e.ok()) return e;
    set_intra_motion();
  } else {
    st.direct16 = direct16;
    if (direct16) {
      direct_motion_mb();
    } else {
      Status e = parse_inter_pred_cabac();
      if (!e.ok()) return e;
    }
  }
  if (!st.i16) {
    mb.cbp = parse_cbp_cabac();
    if (t8x8_allowed(direct16)) mb.t8x8 = cabac::transform_8x8(cabac_, t8x8Inc());
  }
  st.t8x8 = mb.t8x8;
  st.cbp = uint8_t(mb.cbp);
  int delta = 0;
  if ((mb.cbp & 0x3F) || st.i16) {
    delta = cabac::qp_delta(cabac_, prevQpDelta_, 26 + qpBdOffset / 2);
    if (!apply_qp_delta(delta)) return Status::skip("invalid mb_qp_delta");
  }
  prevQpDelta_ = delta != 0;
  st.qp = qp;
  Status e = parse_residual_cabac();
  if (!e.ok()) return e;
  return finish_mb();
}

// I_PCM: the samples start at the byte after the bits the engine has read
// (pcm_alignment_zero_bit), and the engine starts again after them (9.3.1.2).
Status SliceDecoder::pcm_cabac() {
  MbState& st = ctx.mbs[size_t(mb.addr)];
  st.pcm = true;
  st.qp = 0;
  CabacMbState& cs = ctx.cabacMbs[size_t(mb.addr)];
  cs.cbfY = 0xFFFF;
  cs.cbfC[0] = cs.cbfC[1] = 0xFF;
  cs.cbfDc = 7;
  prevQpDelta_ = false;
  br.seek((cabacStart_ + (cabac_.bits_read() + 7) / 8) * 8);
  Status e = parse_pcm();
  if (!e.ok()) return e;
  cabac_.restart(br.pos() / 8 - cabacStart_);
  return Status::success();
}

Status SliceDecoder::parse_inter_pred_cabac() {
  const int W4 = W * 4;
  const size_t base = size_t(mb.y * 4) * W4 + mb.x * 4;
  uint8_t* refGt0 = &ctx.refGt0[base];
  uint8_t* absMvd[2] = {&ctx.absMvd[0][2 * base], &ctx.absMvd[1][2 * base]};
  clear_motion_state(ctx, base, W4);
  const bool leftOk = mb.availA && has_coded_motion(ctx.mbs[size_t(mb.addr - 1)]);
  const bool topOk = mb.availB && has_coded_motion(ctx.mbs[size_t(mb.addr - W)]);
  // Neighbouring blocks A (left) and B (above) of the block at (x4, y4) of
  // this macroblock (6.4.11.7), at offsets from it in the 4x4 grids.
  auto refInc = [&](int l, int x4, int y4) {
    const int i = y4 * W4 + x4;
    const int a = x4 > 0 || leftOk ? refGt0[i - 1] >> l & 1 : 0;
    const int b = y4 > 0 || topOk ? refGt0[i - W4] >> l & 1 : 0;
    return a + 2 * b;
  };
  auto mvdSum = [&](int l, int comp, int x4, int y4) {
    const int i = y4 * W4 + x4;
    const int a = x4 > 0 || leftOk ? absMvd[l][2 * (i - 1) + comp] : 0;
    const int b = y4 > 0 || topOk ? absMvd[l][2 * (i - W4) + comp] : 0;
    return a + b;
  };
  const int maxRef[2] = {sh.numRefIdxActive[0] - 1, sh.numRefIdxActive[1] - 1};
  auto parseRef = [&](int l, int x4, int y4, int w4, int h4, int& out) {
    out = 0;
    if (maxRef[l] > 0) {
      out = cabac::ref_idx(cabac_, refInc(l, x4, y4), maxRef[l]);
      if (out < 0) return false;
    }
    if (out > 0)
      for (int y = y4; y < y4 + h4; ++y)
        for (int x = x4; x < x4 + w4; ++x) refGt0[y * W4 + x] |= uint8_t(1 << l);
    return true;
  };
  auto parseMvd = [&](int l, int x4, int y4, int w4, int h4, int* mvd) {
    for (int comp = 0; comp < 2; ++comp) {
      mvd[comp] = cabac::mvd(cabac_, comp, mvdSum(l, comp, x4, y4));
      const int a = std::abs(mvd[comp]);
      const uint8_t v = uint8_t(a > 127 ? 127 : a);
      for (int y = y4; y < y4 + h4; ++y)
        for (int x = x4; x < x4 + w4; ++x) absMvd[l][2 * (y * W4 + x) + comp] = v;
    }
  };
  for (int l = 0; l < 2; ++l)
    for (int i = 0; i < 4; ++i) mb.ref[l][i] = -1;

  if (mb.partShape != 3) {
    // 16x16, 16x8 (partitions above each other), 8x16 (side by side)
    const int n = mb.partShape == 0 ? 1 : 2;
    const int w4 = mb.partShape == 2 ? 2 : 4, h4 = mb.partShape == 1 ? 2 : 4;
    auto x0 = [&](int p) { return mb.partShape == 2 ? 2 * p : 0; };
    auto y0 = [&](int p) { return mb.partShape == 1 ? 2 * p : 0; };
    for (int l = 0; l < 2; ++l)
      for (int p = 0; p < n; ++p)
        if (mb.partPred[p] & (1 << l))
          if (!parseRef(l, x0(p), y0(p), w4, h4, mb.ref[l][p])) return Status::skip("invalid ref_idx");
    for (int l = 0; l < 2; ++l)
      for (int p = 0; p < n; ++p)
        if (mb.partPred[p] & (1 << l)) parseMvd(l, x0(p), y0(p), w4, h4, mb.mvd[l][p]);
    return Status::success();
  }

  for (int i = 0; i < 4; ++i)
    mb.subType[i] = sh.type == kP ? cabac::sub_mb_type_p(cabac_) : cabac::sub_mb_type_b(cabac_);
  auto subPred = [&](int i) { return sh.type == kP ? 1 : int(kBSub[mb.subType[i]][0]); };
  auto subShape = [&](int i) { return sh.type == kP ? mb.subType[i] : int(kBSub[mb.subType[i]][1]); };
  for (int l = 0; l < 2; ++l)
    for (int i = 0; i < 4; ++i)
      if (subPred(i) & (1 << l))
        if (!parseRef(l, (i & 1) * 2, (i >> 1) * 2, 2, 2, mb.ref[l][i])) return Status::skip("invalid ref_idx");
  for (int l = 0; l < 2; ++l)
    for (int i = 0; i < 4; ++i) {
      if (!(subPred(i) & (1 << l))) continue;
      // sub-macroblock partitions: 8x8, 8x4 (above each other), 4x8, 4x4
      const int shape = subShape(i);
      const int n = shape == 0 ? 1 : shape == 3 ? 4 : 2;
      const int w4 = shape == 0 || shape == 1 ? 2 : 1, h4 = shape == 0 || shape == 2 ? 2 : 1;
      for (int s = 0; s < n; ++s) {
        const int dx = shape == 2 ? s : shape == 3 ? s & 1 : 0;
        const int dy = shape == 1 ? s : shape == 3 ? s >> 1 : 0;
        parseMvd(l, (i & 1) * 2 + dx, (i >> 1) * 2 + dy, w4, h4, mb.mvd[l][i * 4 + s]);
      }
    }
  return Status::success();
}

// coded_block_pattern (9.3.2.6, 9.3.3.1.1.4): four luma bins by 8x8 block,
// then chroma as TU with cMax 2.
int SliceDecoder::parse_cbp_cabac() {
  const MbState* A = mb.availA ? &ctx.mbs[size_t(mb.addr - 1)] : nullptr;
  const MbState* B = mb.availB ? &ctx.mbs[size_t(mb.addr - W)] : nullptr;
  // Luma condTermFlagN: 1 when N's 8x8 block b8N has no coefficients; 0 for
  // an unavailable or I_PCM macroblock.
  auto lumaCond = [](const MbState* n, int b8) { return n && !n->pcm && !(n->cbp >> b8 & 1) ? 1 : 0; };
  int cbp = 0;
  for (int b8 = 0; b8 < 4; ++b8) {
    const int a = b8 & 1 ? !(cbp >> (b8 - 1) & 1) : lumaCond(A, b8 + 1);
    const int b = b8 & 2 ? !(cbp >> (b8 - 2) & 1) : lumaCond(B, b8 + 2);
    cbp |= cabac_.decision(73 + a + 2 * b) << b8;
  }
  // Chroma condTermFlagN: N is I_PCM, or not skipped with
  // CodedBlockPatternChroma at least 1 (bin 0) or 2 (bin 1).
  auto chromaCond = [](const MbState* n, int min) {
    return n && (n->pcm || (!n->skip && (n->cbp >> 4) >= min)) ? 1 : 0;
  };
  if (cabac_.decision(77 + chromaCond(A, 1) + 2 * chromaCond(B, 1)))
    cbp |= (1 + cabac_.decision(81 + chromaCond(A, 2) + 2 * chromaCond(B, 2))) << 4;
  return cbp;
}

}  // namespace h264dec
