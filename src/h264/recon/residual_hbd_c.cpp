// Scalar reference kernels of the 32-bit residual family, written straight
// from the formulas (the ls / qp form of the dequantiser); the 8x8 block goes
// through the 8x8 family's 32-bit reference kernels.
#include "h264/transform/h264_arith.h"
#include "h264/recon/residual_hbd.h"
#include "h264/transform/transform8x8.h"

namespace kvn {
namespace {

using namespace h264;

// Residual of one 4x4 block (H.264 8.5.12) into r: the coefficients
// dequantised, position 0 replaced by *dc when given; or the DC alone.
template <class C>
void residual4x4(const C* coef, const int32_t* dc, const DequantHbd4x4& q, int32_t* r) {
  if (!coef) {  // (dc + 32) >> 6 everywhere, as the transform of a lone DC
    for (int p = 0; p < 16; ++p) r[p] = Wrap32::add(*dc, 32) >> 6;
    return;
  }
  int32_t d[16];
  for (int p = 0; p < 16; ++p)
    d[p] = rescale_wrap32(uint32_t(int32_t(coef[p])) * uint32_t(int32_t(q.ls[p])), q.qp / 6, 4);
  if (dc) d[0] = *dc;
  inv4x4<Wrap32>(d, r);
}

template <class S>
inline S clamp_sample(int64_t v, int32_t max) {
  return S(clamp64(v, 0, max));
}

template <class S, class C>
void row4x4(S* dst, std::ptrdiff_t step, const C* const* coef, const int32_t* dc, int n, const DequantHbd4x4& q,
            int32_t max) {
  for (int i = 0; i < n; ++i) {
    if (!coef[i] && !dc) continue;
    int32_t r[16];
    residual4x4(coef[i], dc ? dc + i : nullptr, q, r);
    S* b = dst + 4 * i;
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 4; ++x) b[y * step + x] = clamp_sample<S>(int64_t(b[y * step + x]) + r[4 * y + x], max);
  }
}

void row4x4_16u(uint16_t* dst, std::ptrdiff_t step, const int32_t* const* coef, const int32_t* dc, int n,
                const DequantHbd4x4& q, int32_t max) {
  row4x4(dst, step, coef, dc, n, q, max);
}

void row4x4_8u(uint8_t* dst, std::ptrdiff_t step, const int16_t* const* coef, const int32_t* dc, int n,
               const DequantHbd4x4& q) {
  row4x4(dst, step, coef, dc, n, q, 255);
}

// The 8x8 family's 32-bit inverse quantiser and inverse transform (steps in
// bytes there).
void block8x8_16u(uint16_t* dst, std::ptrdiff_t step, const int32_t* coef, const DequantHbd8x8& q, int32_t max) {
  int32_t d[64];
  for (int p = 0; p < 64; ++p) d[p] = coef[p];
  kTransform8x8KernelsC.dequant32s(d, q.qp / 6, q.ls);
  const std::ptrdiff_t bytes = step * 2;
  kTransform8x8KernelsC.inv_add16u(dst, bytes, d, dst, bytes, max);
}

}  // namespace

constexpr ResidualHbdKernels kResidualHbdKernelsC = {row4x4_16u, row4x4_8u, block8x8_16u};

}  // namespace kvn
