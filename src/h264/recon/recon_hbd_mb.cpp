// The macroblock walks of the high-profile reconstruction: which blocks are
// coded, where their coefficients lie in the stream, in which order blocks
// are predicted and reconstructed. The arithmetic is in the kernels.
#include <cstddef>
#include <type_traits>

#include "h264/transform/h264_arith.h"
#include "h264/recon/recon_hbd.h"
#include "h264/recon/recon_layout.h"
#include "h264/recon/recon_walk.h"

namespace kvn {
namespace recon_hbd {
namespace {

using namespace h264;

// What differs between the 32s16u and 16s8u records.
template <class R>
struct Traits;
template <>
struct Traits<Rec32> {
  using C = int32_t;
  static int32_t bit_depth(const Rec32& r) { return r.bitDepth; }
};
template <>
struct Traits<Rec8> {
  using C = int16_t;
  static int32_t bit_depth(const Rec8&) { return 8; }
};

template <class R>
bool lossless(const R& r) {
  return r.bypassFlag != 0 && r.qp == 0;
}

template <class R>
int32_t max_sample(const R& r) {
  return (1 << Traits<R>::bit_depth(r)) - 1;
}

// The next n coefficients of the record's stream; the caller's stream pointer
// moves past them. Re-read every time, so that two records may share it.
template <class C>
const C* take(C** stream, int n) {
  C* s = *stream;
  *stream = s + n;
  return s;
}

// No separate DC level for a lossless block.
constexpr const int32_t* kNoDc = nullptr;

// A row of n 4x4 blocks through the residual kernel of the sample type, or
// losslessly.
inline void row4x4(const ReconHbdKernels& k, uint16_t* dst, std::ptrdiff_t step, const int32_t* const* coef,
                   const int32_t* dc, int n, const DequantHbd4x4& q, int32_t max) {
  k.res->row4x4_16u(dst, step, coef, dc, n, q, max);
}
inline void row4x4(const ReconHbdKernels& k, uint8_t* dst, std::ptrdiff_t step, const int16_t* const* coef,
                   const int32_t* dc, int n, const DequantHbd4x4& q, int32_t) {
  k.res->row4x4_8u(dst, step, coef, dc, n, q);
}

template <class S, class C>
void reconstruct_row(const ReconHbdKernels& k, bool bypass, S* dst, std::ptrdiff_t step, const C* const* coef,
                     const int32_t* dc, int n, const DequantHbd4x4& q, int32_t max) {
  if (!bypass) return row4x4(k, dst, step, coef, dc, n, q, max);
  for (int i = 0; i < n; ++i)
    if (coef[i] || dc) add_lossless(dst + 4 * i, step, 4, coef[i], dc ? dc + i : nullptr, max);
}

// Raster index (4 * row + column) of luma 4x4 block k.
inline int raster4x4(int k) { return kLuma4x4Y[k] + kLuma4x4X[k] / 4; }

// Pointers to the coded luma 4x4 blocks (mask bits 1..16) in raster order,
// taken from the stream in block order.
void take_luma4x4(int32_t** stream, uint32_t mask, const int32_t** coef) {
  *stream = take_coded(*stream, mask, 1, 16, 16, coef, raster4x4);
}

// The per-block work of the intra walk (recon_walk.h) on N x N luma blocks:
// the level's predictor and residual kernel at the record's bit depth, or the
// lossless addition.
template <int N>
struct BlockOps {
  using Sample = uint16_t;
  using Coef = int32_t;
  static constexpr int kSize = N;
  const ReconHbdKernels& k;
  std::conditional_t<N == 4, DequantHbd4x4, DequantHbd8x8> q;
  int32_t bit_depth, max;
  bool bypass;

  BlockOps(const Rec32& r, const ReconHbdKernels& kernels)
      : k(kernels), q(r.pQuantTable, r.qp), bit_depth(r.bitDepth), max(max_sample(r)), bypass(lossless(r)) {}
  void predict(uint16_t* dst, std::ptrdiff_t step, int mode, int32_t avail) const {
    (N == 4 ? k.intra->pred4x4 : k.intra->pred8x8)[mode](dst, step, avail, bit_depth);
  }
  void residual(uint16_t* dst, std::ptrdiff_t step, const int32_t* c) const {
    if (bypass) return add_lossless(dst, step, N, c, kNoDc, max);
    if constexpr (N == 4)
      k.res->row4x4_16u(dst, step, &c, nullptr, 1, q, max);
    else
      k.res->block8x8_16u(dst, step, c, q, max);
  }
};

// H.264 8.5.11 for 4:2:2: the 2x4 transform (each row (a, b) to (a + b,
// a - b), then the 4-point Hadamard over the rows) and the scaling with
// qpdc = qp + 3, in 32 bits.
void chroma_dc422(int32_t* c, int32_t qp, int32_t ls) {
  int32_t r[8], f[8];
  for (int i = 0; i < 4; ++i) {
    r[2 * i] = Wrap32::add(c[2 * i], c[2 * i + 1]);
    r[2 * i + 1] = Wrap32::sub(c[2 * i], c[2 * i + 1]);
  }
  for (int j = 0; j < 2; ++j) hadamard4<Wrap32>(r[j], r[2 + j], r[4 + j], r[6 + j], f + j, 2);
  const int q6 = (qp + 3) / 6;
  for (int p = 0; p < 8; ++p) c[p] = rescale_wrap32(uint32_t(f[p]) * uint32_t(ls), q6, 6);
}

// The DC levels of a chroma component (n = 4 or 8), transformed and scaled
// unless lossless.
template <class R>
void chroma_dc(const R& r, int n, int32_t dcScale, const ReconHbdKernels& k, int32_t* dc) {
  const auto* s = take(r.ppSrcDstCoeff, n);
  for (int i = 0; i < n; ++i) dc[i] = s[i];
  if (lossless(r)) return;
  if (n == 4)
    k.dc->inv_2x2_32s(dc, r.qp, r.pQuantTable);
  else
    chroma_dc422(dc, r.qp, dcScale);
}

// Chroma of both components, rows of two 4x4 blocks (n blocks each), in the
// stream order Cb DC, Cr DC, Cb AC, Cr AC. A component whose mask is 0 is not
// touched; in the others every block receives its residual or DC.
template <class R>
void chroma(const R* const rec[2], int n, const int32_t* dcScale, const ReconHbdKernels& k) {
  using C = typename Traits<R>::C;
  const uint32_t all = (2u << n) - 1;
  int32_t dc[2][8] = {};
  for (int c = 0; c < 2; ++c)
    if (rec[c]->cbp & 1) chroma_dc(*rec[c], n, dcScale ? dcScale[c] : 0, k, dc[c]);
  for (int c = 0; c < 2; ++c) {
    const R& r = *rec[c];
    if (!(r.cbp & all)) continue;
    const C* coef[8];
    *r.ppSrcDstCoeff = take_coded(*r.ppSrcDstCoeff, r.cbp, 1, n, 16, coef);  // bits 1..n
    const bool bypass = lossless(r);
    const DequantHbd4x4 q(r.pQuantTable, r.qp);
    for (int row = 0; row < n / 2; ++row)
      reconstruct_row(k, bypass, r.pSrcDstPlane + 4 * row * std::ptrdiff_t(r.srcDstStep), r.srcDstStep, coef + 2 * row,
                      dc[c] + 2 * row, 2, q, max_sample(r));
  }
}

}  // namespace

void luma_inter4x4(const Rec32& r, const ReconHbdKernels& k) {
  const uint32_t mask = r.cbp & kMaskLuma4x4All;
  if (!mask) return;
  const int32_t* coef[16];
  take_luma4x4(r.ppSrcDstCoeff, mask, coef);
  const DequantHbd4x4 q(r.pQuantTable, r.qp);
  const std::ptrdiff_t step = r.srcDstStep;
  for (int row = 0; row < 4; ++row) {
    const int32_t* const* c = coef + 4 * row;
    if (c[0] || c[1] || c[2] || c[3])
      reconstruct_row(k, lossless(r), r.pSrcDstPlane + 4 * row * step, step, c, nullptr, 4, q, max_sample(r));
  }
}

void luma_inter8x8(const Rec32& r, const ReconHbdKernels& k) {
  if (!(r.cbp & 0xF)) return;
  const std::ptrdiff_t step = r.srcDstStep;
  const BlockOps<8> ops(r, k);
  const int32_t* coef[4];
  *r.ppSrcDstCoeff = take_coded(*r.ppSrcDstCoeff, r.cbp, 0, 4, 64, coef);  // bits 0..3
  for (int b = 0; b < 4; ++b)
    if (coef[b]) ops.residual(r.pSrcDstPlane + luma8x8_offset(b, step), step, coef[b]);
}

void luma_intra16x16(const Rec32& r, int32_t mode, uint32_t edges, const ReconHbdKernels& k) {
  const std::ptrdiff_t step = r.srcDstStep;
  k.intra->pred16x16[mode](r.pSrcDstPlane, step, mb_avail(edges), r.bitDepth);
  const uint32_t mask = r.cbp & (kMaskLumaDc | kMaskLuma4x4All);
  if (!mask) return;
  const bool bypass = lossless(r);
  int32_t dc[16] = {};
  if (mask & kMaskLumaDc) {
    const int32_t* s = take(r.ppSrcDstCoeff, 16);
    for (int i = 0; i < 16; ++i) dc[i] = s[i];
    if (!bypass) k.dc->inv_luma32s(dc, r.qp, r.pQuantTable);
  }
  const int32_t* coef[16];
  take_luma4x4(r.ppSrcDstCoeff, mask, coef);
  const DequantHbd4x4 q(r.pQuantTable, r.qp);
  // The DC array is in raster order of the blocks, like coef.
  for (int row = 0; row < 4; ++row)
    reconstruct_row(k, bypass, r.pSrcDstPlane + 4 * row * step, step, coef + 4 * row, dc + 4 * row, 4, q,
                    max_sample(r));
}

KvnResult luma_intra4x4(const Rec32& r, const int32_t* modes, bool half, uint32_t edges, const ReconHbdKernels& k) {
  return luma_intra(BlockOps<4>(r, k), r.ppSrcDstCoeff, r.pSrcDstPlane, r.srcDstStep, modes, half ? 8 : 16, r.cbp,
                    half ? 0 : 1, edges);
}

KvnResult luma_intra8x8(const Rec32& r, const uint32_t* modes, bool half, uint32_t edges, const ReconHbdKernels& k) {
  return luma_intra(BlockOps<8>(r, k), r.ppSrcDstCoeff, r.pSrcDstPlane, r.srcDstStep, modes, half ? 2 : 4, r.cbp, 0,
                    edges);
}

void chroma420(const Rec32* const r[2], int32_t mode, int32_t avail, const ReconHbdKernels& k) {
  if (mode >= 0)
    for (int c = 0; c < 2; ++c) k.intra->chroma8x8[mode](r[c]->pSrcDstPlane, r[c]->srcDstStep, avail, r[c]->bitDepth);
  chroma(r, 4, nullptr, k);
}

void chroma422(const Rec32* const r[2], int32_t mode, int32_t avail, const int32_t dcScale[2],
               const ReconHbdKernels& k) {
  if (mode >= 0)
    for (int c = 0; c < 2; ++c) k.intra->chroma8x16[mode](r[c]->pSrcDstPlane, r[c]->srcDstStep, avail, r[c]->bitDepth);
  chroma(r, 8, dcScale, k);
}

void chroma422(const Rec8* const r[2], int32_t mode, int32_t avail, const int32_t dcScale[2],
               const ReconHbdKernels& k) {
  if (mode >= 0)
    for (int c = 0; c < 2; ++c) k.intra->chroma8x16_8u[mode](r[c]->pSrcDstPlane, r[c]->srcDstStep, avail);
  chroma(r, 8, dcScale, k);
}

}  // namespace recon_hbd
}  // namespace kvn
