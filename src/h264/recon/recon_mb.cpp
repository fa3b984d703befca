// Macroblock walks of the H.264 8-bit reconstruction (see recon_mb.h).
#include "h264/recon/recon_mb.h"

#include <cstddef>
#include <cstring>

#include "h264/transform/dc.h"
#include "h264/transform/h264_arith.h"
#include "h264/intra/intra.h"
#include "h264/recon/recon_layout.h"

namespace kvn {
namespace recon8 {
namespace {

using namespace h264;

// Lossless blocks: the coefficients themselves are the residual (dc, when
// given, replaces element 0; coef may then be null), added to the prediction
// and clamped.
void bypass_add(uint8_t* dst, int32_t step, int n, const int16_t* coef, const int16_t* dc) {
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < n; ++j) {
      int32_t r = coef ? coef[n * i + j] : 0;
      if (i == 0 && j == 0 && dc) r = *dc;
      uint8_t& s = dst[std::ptrdiff_t(i) * step + j];
      s = clamp_u8(s + r);
    }
}

Dequant dequant_of(const Quant& q) { return q.table ? dequant4_standard(q.qp, q.table) : dequant4_preshifted(q.qp); }

// Adds the residual of `count` 4x4 blocks (coef[k] null: uncoded) with
// their DCs (block order, may be null).
void add_blocks(uint8_t* mb, int32_t step, int count, const int16_t* const* coef, const int16_t* dc, const Quant& q,
                const Kernels& k) {
  if (!q.bypass) {
    k.recon.residual4x4(mb, step, count, coef, dc, dequant_of(q));
    return;
  }
  for (int b = 0; b < count; ++b)
    if (coef[b] || (dc && dc[b])) bypass_add(mb + luma4x4_offset(b, step), step, 4, coef[b], dc ? dc + b : nullptr);
}

// Neighbours each intra 4x4 mode reads; one whose flag is clear means the
// prediction used the substitute 128 (H.264 8.3.1.2; DC adapts).
constexpr int32_t kAll3 = kNbTop | kNbLeft | kNbTopLeft;
constexpr int32_t kNeeds4x4[9] = {kNbTop, kNbLeft, 0, kNbTop, kAll3, kAll3, kAll3, kNbTop, kNbLeft};

}  // namespace

void luma_inter4x4(int16_t** stream, uint8_t* mb, int32_t step, uint32_t mask, const Quant& q, const Kernels& k) {
  if (!(mask & kMaskLuma4x4All)) return;
  int16_t* s = *stream;
  const int16_t* coef[16];
  for (int b = 0; b < 16; ++b) {
    coef[b] = has_bit(mask, luma4x4_bit(b)) ? s : nullptr;
    if (coef[b]) s += 16;
  }
  add_blocks(mb, step, 16, coef, nullptr, q, k);
  *stream = s;
}

void luma_inter8x8(int16_t** stream, uint8_t* mb, int32_t step, uint32_t mask, const Quant& q, const Kernels& k) {
  int16_t* s = *stream;
  const int16_t* coef[4];
  for (int b = 0; b < 4; ++b) {
    coef[b] = has_bit(mask, block_bit(b)) ? s : nullptr;
    if (coef[b]) s += 64;
  }
  if (q.bypass) {
    for (int b = 0; b < 4; ++b)
      if (coef[b]) bypass_add(mb + luma8x8_offset(b, step), step, 8, coef[b], nullptr);
  } else if (s != *stream) {
    k.recon.residual8x8(mb, step, coef, dequant8_standard(q.qp, q.table));
  }
  *stream = s;
}

KvnResult luma_intra4x4(int16_t** stream, uint8_t* mb, int32_t step, const int32_t* modes, uint32_t mask,
                        int32_t maskShift, int32_t count, uint32_t edges, const Quant& q, const Kernels& kt) {
  const IntraKernels& pred = kt.intra;
  const Block4x4Fn block = kt.recon.block4x4;
  const Dequant dq = dequant_of(q);
  int16_t* s = *stream;
  bool substituted = false;
  for (int k = 0; k < count; ++k) {
    const int32_t mode = modes[k];
    if (uint32_t(mode) > 8) {
      *stream = s;
      return KVN_STS_OUT_OF_RANGE;
    }
    const int32_t avail = intra4x4_avail(k, edges);
    uint8_t* dst = mb + luma4x4_offset(k, step);
    pred.pred4x4[mode](dst, step, avail);
    substituted |= (avail & kNeeds4x4[mode]) != kNeeds4x4[mode];
    if (!has_bit(mask, 1u << (k + maskShift))) continue;
    if (q.bypass)
      bypass_add(dst, step, 4, s, nullptr);
    else
      block(dst, step, s, dq);
    s += 16;
  }
  *stream = s;
  return substituted ? KVN_STS_WRN_SUBSTITUTE : KVN_STS_OK;
}

KvnResult luma_intra8x8(int16_t** stream, uint8_t* mb, int32_t step, const uint32_t* modes, uint32_t mask,
                        int32_t count, uint32_t edges, const Quant& q, const Kernels& k) {
  const ReconKernels& rk = k.recon;
  const Dequant dq = dequant8_standard(q.qp, q.table);
  int16_t* s = *stream;
  for (int b = 0; b < count; ++b) {
    const uint32_t mode = modes[b];
    if (mode > 8) {
      *stream = s;
      return KVN_STS_OUT_OF_RANGE;
    }
    uint8_t* dst = mb + luma8x8_offset(b, step);
    rk.pred8x8[mode](dst, step, intra8x8_avail(b, edges));
    if (!has_bit(mask, block_bit(b))) continue;
    if (q.bypass)
      bypass_add(dst, step, 8, s, nullptr);
    else
      rk.block8x8(dst, step, s, dq);
    s += 64;
  }
  *stream = s;
  return KVN_STS_OK;
}

KvnResult luma_intra16x16(int16_t** stream, uint8_t* mb, int32_t step, int32_t mode, uint32_t mask, uint32_t edges,
                          const Quant& q, const Kernels& kt) {
  const int32_t avail = mb_avail(edges);
  if ((mode == 0 && !(avail & kNbTop)) || (mode == 1 && !(avail & kNbLeft)) || (mode == 3 && avail != kAll3))
    return KVN_STS_INTRA_UNAVAILABLE;
  if (uint32_t(mode) > 3) return KVN_STS_OUT_OF_RANGE;
  kt.intra.pred16x16[mode](mb, step, avail);
  if (!(mask & (kMaskLumaDc | kMaskLuma4x4All))) return KVN_STS_OK;

  int16_t* s = *stream;
  int16_t dc[16] = {};  // block order
  if (has_bit(mask, kMaskLumaDc)) {
    if (!q.bypass) {
      if (q.table)
        kt.dc.inv_luma16s(s, q.qp, q.table);
      else
        kt.dc.dequant_luma(s, q.qp);
    }
    for (int k = 0; k < 16; ++k) dc[k] = s[kLumaDcPos[k]];
    s += 16;
  }
  const int16_t* coef[16];
  for (int k = 0; k < 16; ++k) {
    coef[k] = has_bit(mask, luma4x4_bit(k)) ? s : nullptr;
    if (coef[k]) s += 16;
  }
  add_blocks(mb, step, 16, coef, dc, q, kt);
  *stream = s;
  return KVN_STS_OK;
}

namespace {

// Intra chroma prediction of one 8x8 component at `b` (row pitch `step`).
void predict_chroma(uint8_t* b, int32_t step, const ChromaCall& c, const Kernels& kt) {
  const IntraKernels& k = kt.intra;
  const int32_t top = mb_avail(c.edges[0]);
  if (c.pred == ChromaPred::kFull || c.mode == 2) {
    k.chroma8x8[c.mode](b, step, top);
    return;
  }
  // Halves, DC: the lower quadrants with the lower half's left neighbour,
  // kept aside while the upper half is predicted.
  const int32_t bottom = (top & ~kNbLeft) | (mb_avail(c.edges[1]) & kNbLeft);
  uint8_t low[32];
  k.chroma8x8[0](b, step, bottom);
  for (int y = 0; y < 4; ++y) std::memcpy(low + 8 * y, b + std::ptrdiff_t(4 + y) * step, 8);
  k.chroma8x8[0](b, step, top);
  for (int y = 0; y < 4; ++y) std::memcpy(b + std::ptrdiff_t(4 + y) * step, low + 8 * y, 8);
}

// The residual of both components (mask bits 17..26).
KvnResult chroma_residual(const ChromaCall& c, uint8_t* const* plane, int32_t step, const Kernels& k) {
  int16_t* s = *c.stream;
  int16_t dc[2][4] = {};
  for (int ch = 0; ch < 2; ++ch) {
    if (!has_bit(c.mask, chroma_dc_bit(ch))) continue;
    const Quant& q = c.q[ch];
    if (!q.bypass) {
      if (q.table)
        k.dc.inv_2x2_16s(s, q.qp, q.table);
      else
        k.dc.dequant_chroma(s, q.qp);
    }
    std::memcpy(dc[ch], s, sizeof dc[ch]);
    s += 4;
  }
  const int16_t* coef[2][4];
  for (int ch = 0; ch < 2; ++ch)
    for (int k = 0; k < 4; ++k) {
      coef[ch][k] = has_bit(c.mask, chroma_ac_bit(ch, k)) ? s : nullptr;
      if (coef[ch][k]) s += 16;
    }
  for (int ch = 0; ch < 2; ++ch) add_blocks(plane[ch], step, 4, coef[ch], dc[ch], c.q[ch], k);
  *c.stream = s;
  return KVN_STS_OK;
}

// The neighbours of an interleaved block copied around the split blocks
// (16 bytes a row), only those that the prediction may read.
void split_neighbours(const uint8_t* p, std::ptrdiff_t step, uint8_t* cb, uint8_t* cr, const ChromaCall& c) {
  const int32_t top = mb_avail(c.edges[0]);
  const int32_t lower_left = c.pred == ChromaPred::kHalves ? mb_avail(c.edges[1]) & kNbLeft : top & kNbLeft;
  if (top & kNbTop)
    for (int x = 0; x < 8; ++x) cb[x - 16] = p[2 * x - step], cr[x - 16] = p[2 * x + 1 - step];
  if (top & kNbTopLeft) cb[-17] = p[-2 - step], cr[-17] = p[-1 - step];
  for (int y = 0; y < 8; ++y)
    if ((y < 4 ? top : lower_left) & kNbLeft) {
      const std::ptrdiff_t o = std::ptrdiff_t(y) * step;
      cb[16 * y - 1] = p[o - 2];
      cr[16 * y - 1] = p[o - 1];
    }
}

}  // namespace

KvnResult chroma(const ChromaCall& c, const Kernels& k) {
  if (c.pred != ChromaPred::kNone) {
    const int32_t avail = mb_avail(c.edges[0]);
    const bool ok = c.pred == ChromaPred::kHalves
                        ? (c.mode == 0 || (c.mode == 2 && (avail & kNbTop)))
                        : !((c.mode == 2 && !(avail & kNbTop)) || (c.mode == 1 && !(avail & kNbLeft)) ||
                            (c.mode == 3 && avail != kAll3));
    if (!ok) return KVN_STS_INTRA_UNAVAILABLE;
  }
  const bool coded = (c.mask & kMaskChroma420All) != 0;
  if (!coded && c.pred == ChromaPred::kNone) return KVN_STS_OK;

  if (c.cr) {  // planar
    if (c.pred != ChromaPred::kNone) {
      predict_chroma(c.cb, c.step, c, k);
      predict_chroma(c.cr, c.step, c, k);
    }
    if (!coded) return KVN_STS_OK;
    if (c.late_qp_check && uint32_t(c.q[0].qp) > 39) return KVN_STS_OUT_OF_RANGE;
    uint8_t* const planes[2] = {c.cb, c.cr};
    return chroma_residual(c, planes, c.step, k);
  }

  // Interleaved: split into two 8x8 blocks with their neighbours, work
  // there, merge back.
  const ReconKernels& rk = k.recon;
  alignas(16) uint8_t tmp[2][9 * 16];
  uint8_t* const planes[2] = {tmp[0] + 17, tmp[1] + 17};
  rk.split_c2(c.cb, c.step, planes[0], planes[1]);
  if (c.pred != ChromaPred::kNone) {
    split_neighbours(c.cb, c.step, planes[0], planes[1], c);
    predict_chroma(planes[0], 16, c, k);
    predict_chroma(planes[1], 16, c, k);
  }
  KvnResult st = KVN_STS_OK;
  if (coded) {
    if (c.late_qp_check && uint32_t(c.q[0].qp) > 39)
      st = KVN_STS_OUT_OF_RANGE;  // the prediction is still written
    else
      st = chroma_residual(c, planes, 16, k);
  }
  rk.merge_c2(planes[0], planes[1], c.cb, c.step);
  return st;
}

}  // namespace recon8
}  // namespace kvn
