// Macroblock walks of the H.264 8-bit reconstruction (see recon_mb.h).
#include "h264/recon/recon_mb.h"

#include <cstddef>
#include <cstring>
#include <type_traits>

#include "h264/transform/dc.h"
#include "h264/intra/intra.h"
#include "h264/recon/recon_layout.h"
#include "h264/recon/recon_walk.h"

namespace kvn {
namespace recon8 {
namespace {

using namespace h264;

// The neighbours plane prediction reads (all those the 16x16 and chroma
// predictors use).
constexpr int32_t kAll3 = kNbTop | kNbLeft | kNbTopLeft;
// No separate DC level for a lossless block.
constexpr const int16_t* kNoDc = nullptr;

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
    if (coef[b] || (dc && dc[b]))
      add_lossless(mb + luma4x4_offset(b, step), step, 4, coef[b], dc ? dc + b : kNoDc, 255);
}

// The per-block work of the intra walk (recon_walk.h) on N x N blocks: the
// level's predictor and block kernel, or the lossless addition.
template <int N>
struct BlockOps {
  using Sample = uint8_t;
  using Coef = int16_t;
  static constexpr int kSize = N;
  const IntraFn* pred;  // modes 0..8
  std::conditional_t<N == 4, Block4x4Fn, Block8x8Fn> block;
  Dequant dq;
  bool bypass;
  void predict(uint8_t* dst, std::ptrdiff_t step, int mode, int32_t avail) const { pred[mode](dst, step, avail); }
  void residual(uint8_t* dst, std::ptrdiff_t step, const int16_t* coef) const {
    if (bypass)
      add_lossless(dst, step, N, coef, kNoDc, 255);
    else
      block(dst, int32_t(step), coef, dq);
  }
};

}  // namespace

void luma_inter4x4(int16_t** stream, uint8_t* mb, int32_t step, uint32_t mask, const Quant& q, const Kernels& k) {
  if (!(mask & kMaskLuma4x4All)) return;
  const int16_t* coef[16];
  int16_t* s = take_coded(*stream, mask, 1, 16, 16, coef);  // bits 1..16
  add_blocks(mb, step, 16, coef, nullptr, q, k);
  *stream = s;
}

void luma_inter8x8(int16_t** stream, uint8_t* mb, int32_t step, uint32_t mask, const Quant& q, const Kernels& k) {
  const int16_t* coef[4];
  int16_t* s = take_coded(*stream, mask, 0, 4, 64, coef);  // bits 0..3
  if (q.bypass) {
    for (int b = 0; b < 4; ++b)
      if (coef[b]) add_lossless(mb + luma8x8_offset(b, step), step, 8, coef[b], kNoDc, 255);
  } else if (s != *stream) {
    k.recon.residual8x8(mb, step, coef, dequant8_standard(q.qp, q.table));
  }
  *stream = s;
}

KvnResult luma_intra4x4(int16_t** stream, uint8_t* mb, int32_t step, const int32_t* modes, uint32_t mask,
                        int32_t maskShift, int32_t count, uint32_t edges, const Quant& q, const Kernels& k) {
  if (q.bypass) {
    const BlockOps<4> ops{k.intra.pred4x4, k.recon.block4x4, dequant_of(q), q.bypass};
    return luma_intra(ops, stream, mb, step, modes, count, mask, maskShift, edges);
  }
  // The statuses of the block walk (luma_intra) decided first: the blocks
  // before the first mode out of range are done, by one kernel call.
  // With the left, top and top-left macroblocks available, no mode reads a
  // substitute.
  const bool inner = !(edges & (kEdgeLeft | kEdgeTop | kEdgeTopLeft));
  KvnResult status = KVN_STS_OK;
  int n = 0;
  for (; n < count; ++n) {
    const uint32_t mode = uint32_t(modes[n]);
    if (mode > 8) break;
    if (!inner && intra4x4_substituted(int(mode), intra4x4_avail(n, edges))) status = KVN_STS_WRN_SUBSTITUTE;
  }
  if (n < count) status = KVN_STS_OUT_OF_RANGE;
  const int16_t* coef[16];
  *stream = take_coded(*stream, mask, maskShift, n, 16, coef);
  k.recon.intra4x4(mb, step, n, modes, edges, coef, dequant_of(q));
  return status;
}

KvnResult luma_intra8x8(int16_t** stream, uint8_t* mb, int32_t step, const uint32_t* modes, uint32_t mask,
                        int32_t count, uint32_t edges, const Quant& q, const Kernels& k) {
  const BlockOps<8> ops{k.recon.pred8x8, k.recon.block8x8, dequant8_standard(q.qp, q.table), q.bypass};
  return luma_intra(ops, stream, mb, step, modes, count, mask, 0, edges);
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
  s = take_coded(s, mask, 1, 16, 16, coef);  // bits 1..16
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
  for (int ch = 0; ch < 2; ++ch) s = take_coded(s, c.mask, 19 + 4 * ch, 4, 16, coef[ch]);  // bits 19..26
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
