// Scalar reference kernels of the H.264 8-bit macroblock reconstruction,
// written straight from the formulas, one block at a time. The SIMD kernels
// are checked against these.
#include <cstddef>
#include <cstring>

#include "h264/intra/intra_pred.h"
#include "h264/transform/h264_arith.h"
#include "h264/recon/recon.h"
#include "h264/recon/recon_layout.h"
#include "tables/h264_tables.h"
#include "h264/transform/transform8x8.h"

namespace kvn {

namespace {

// v(qp % 6, class(p)) << qp / 6 for every qp, filled at load time from the
// normAdjust4x4 table.
struct Preshifted {
  alignas(16) int16_t mul[52][16];
};
Preshifted make_preshifted() {
  Preshifted t;
  for (int qp = 0; qp < 52; ++qp)
    for (int p = 0; p < 16; ++p) t.mul[qp][p] = int16_t(kNormAdjust4x4[qp % 6][p] << (qp / 6));
  return t;
}
KVN_TABLE_INIT const Preshifted kPreshifted = make_preshifted();

}  // namespace

Dequant dequant4_standard(int32_t qp, const int16_t* levelScale) {
  const int left = qp / 6 - 4;
  return {levelScale, left, left < 0 ? 1 << (-left - 1) : 0, false};
}

Dequant dequant4_preshifted(int32_t qp) { return {kPreshifted.mul[qp], 0, 0, true}; }

Dequant dequant8_standard(int32_t qp, const int16_t* levelScale) {
  const int left = qp / 6 - 6;
  return {levelScale, left, left < 0 ? 1 << (-left - 1) : 0, false};
}

namespace {

using namespace h264;

// The transform input of one coefficient.
inline int16_t dequant(int32_t c, int p, const Dequant& dq) {
  if (dq.preshifted) return wrap16(c * dq.mul[p]);
  const int64_t x = int64_t(c) * dq.mul[p];
  return sat16(dq.left >= 0 ? x * (int64_t(1) << dq.left) : (x + dq.round) >> -dq.left);
}

// Residual of a coded block (dc may be null) or of a DC alone (coef null).
void block_residual(const int16_t* coef, const int16_t* dc, const Dequant& dq, int16_t* r) {
  if (!coef) {
    const int16_t v = int16_t(Sat16::add(*dc, 32) >> 6);
    for (int p = 0; p < 16; ++p) r[p] = v;
    return;
  }
  int16_t d[16];
  for (int p = 0; p < 16; ++p) d[p] = dequant(coef[p], p, dq);
  if (dc) d[0] = *dc;
  inv4x4<Sat16>(d, r);
}

void add4x4(uint8_t* dst, int32_t step, const int16_t* r) {
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j)
      dst[std::ptrdiff_t(i) * step + j] = clamp_u8(dst[std::ptrdiff_t(i) * step + j] + r[4 * i + j]);
}

void residual4x4_c(uint8_t* mb, int32_t step, int32_t count, const int16_t* const* coef, const int16_t* dc,
                   const Dequant& dq) {
  for (int k = 0; k < count; ++k) {
    const int16_t* bdc = dc ? dc + k : nullptr;
    if (!coef[k] && (!bdc || *bdc == 0)) continue;
    int16_t r[16];
    block_residual(coef[k], bdc, dq, r);
    add4x4(mb + luma4x4_offset(k, step), step, r);
  }
}

void block4x4_c(uint8_t* dst, int32_t step, const int16_t* coef, const Dequant& dq) {
  int16_t r[16];
  block_residual(coef, nullptr, dq, r);
  add4x4(dst, step, r);
}

// The 8x8 block: dequantisation as above, then the 8x8 family's reference
// inverse transform added to the prediction.
void block8x8_c(uint8_t* dst, int32_t step, const int16_t* coef, const Dequant& dq) {
  int16_t d[64];
  for (int p = 0; p < 64; ++p) d[p] = dequant(coef[p], p, dq);
  kTransform8x8KernelsC.inv_add8u(dst, step, d, dst, step);
}

void residual8x8_c(uint8_t* mb, int32_t step, const int16_t* const* coef, const Dequant& dq) {
  for (int b = 0; b < 4; ++b)
    if (coef[b]) block8x8_c(mb + luma8x8_offset(b, step), step, coef[b], dq);
}

// The intra family's 8x8 predictor at bit depth 8.
template <int Mode>
void pred8x8_c(uint8_t* b, std::ptrdiff_t step, int32_t avail) {
  intra::pred8x8<Mode>(b, step, avail, 8);
}

// Each block predicted by the intra family's scalar 4x4 predictor, then its
// residual added as block4x4_c does.
void intra4x4_c(uint8_t* mb, int32_t step, int32_t count, const int32_t* modes, uint32_t edges,
                const int16_t* const* coef, const Dequant& dq) {
  for (int b = 0; b < count; ++b) {
    uint8_t* const dst = mb + luma4x4_offset(b, step);
    kIntraKernelsC.pred4x4[modes[b]](dst, step, intra4x4_avail(b, edges));
    if (coef[b]) block4x4_c(dst, step, coef[b], dq);
  }
}

void split_c2_c(const uint8_t* cbcr, int32_t step, uint8_t* cb, uint8_t* cr) {
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) {
      cb[16 * y + x] = cbcr[std::ptrdiff_t(y) * step + 2 * x];
      cr[16 * y + x] = cbcr[std::ptrdiff_t(y) * step + 2 * x + 1];
    }
}

void merge_c2_c(const uint8_t* cb, const uint8_t* cr, uint8_t* cbcr, int32_t step) {
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) {
      cbcr[std::ptrdiff_t(y) * step + 2 * x] = cb[16 * y + x];
      cbcr[std::ptrdiff_t(y) * step + 2 * x + 1] = cr[16 * y + x];
    }
}

}  // namespace

constexpr ReconKernels kReconKernelsC = {
    residual4x4_c,
    block4x4_c,
    block8x8_c,
    residual8x8_c,
    {pred8x8_c<0>, pred8x8_c<1>, pred8x8_c<2>, pred8x8_c<3>, pred8x8_c<4>, pred8x8_c<5>, pred8x8_c<6>, pred8x8_c<7>,
     pred8x8_c<8>},
    intra4x4_c,
    split_c2_c,
    merge_c2_c,
};

}  // namespace kvn
