// Scalar reference kernels of the H.264 inverse 4x4 paths, written straight
// from the formulas. The SIMD kernels are checked against these.
#include <cstddef>
#include <type_traits>

#include "h264/transform/dequant4x4.h"
#include "h264/transform/h264_arith.h"
#include "tables/h264_tables.h"

namespace kvn {
namespace {

using namespace h264;

template <class T>
inline T* row(T* p, int32_t step, int i) {
  using B = std::conditional_t<std::is_const_v<T>, const uint8_t, uint8_t>;
  return reinterpret_cast<T*>(reinterpret_cast<B*>(p) + std::ptrdiff_t(step) * i);
}

void inv16s_c(const int16_t* src, int16_t* dst) { inv4x4<Sat16>(src, dst); }
void inv32s_c(const int32_t* src, int32_t* dst) { inv4x4<Wrap32>(src, dst); }

inline int32_t level_scale(const int16_t* scale, int m, int p) { return scale ? scale[p] : kLevelScale4x4[m][p]; }

// H.264 8.5.12.1 for one coefficient: exact, or wrapping in 32 bits.
inline int64_t dequant_exact(int64_t c, int32_t ls, int32_t qp) { return rescale(c * ls, qp / 6, 4); }
inline int32_t dequant_wrap32(int32_t c, int32_t ls, int32_t qp) {
  return rescale_wrap32(uint32_t(c) * uint32_t(ls), qp / 6, 4);
}

void inv_add16s_c(const uint8_t* pred, int32_t ps, int16_t* coef, const int16_t* dc, uint8_t* dst, int32_t ds,
                  int32_t qp, int32_t ac, const int16_t* scale) {
  const int m = qp % 6;
  if (ac & 1) {
    int16_t d[16], r[16];
    for (int p = 0; p < 16; ++p) d[p] = sat16(dequant_exact(coef[p], level_scale(scale, m, p), qp));
    if (dc) d[0] = *dc;
    inv4x4<Sat16>(d, r);
    for (int p = 0; p < 16; ++p) coef[p] = r[p];
    for (int i = 0; i < 4; ++i)
      for (int j = 0; j < 4; ++j) row(dst, ds, i)[j] = clamp_u8(row(pred, ps, i)[j] + r[4 * i + j]);
  } else {
    const int64_t v = dc ? *dc : dequant_exact(coef[0], level_scale(scale, m, 0), qp);
    const int64_t r = (v + 32) >> 6;
    for (int i = 0; i < 4; ++i)
      for (int j = 0; j < 4; ++j) row(dst, ds, i)[j] = clamp_u8(row(pred, ps, i)[j] + r);
  }
}

void inv_add32s_c(const uint16_t* pred, int32_t ps, int32_t* coef, const int32_t* dc, uint16_t* dst, int32_t ds,
                  int32_t qp, int32_t ac, int32_t bitDepth, const int16_t* scale) {
  const int m = qp % 6;
  const int64_t max = (int64_t(1) << bitDepth) - 1;
  int64_t r[16];
  if (ac & 1) {
    int32_t d[16], t[16];
    for (int p = 0; p < 16; ++p) d[p] = dequant_wrap32(coef[p], level_scale(scale, m, p), qp);
    if (dc) d[0] = *dc;
    inv4x4<Wrap32>(d, t);
    for (int p = 0; p < 16; ++p) r[p] = coef[p] = t[p];
  } else {
    const int64_t v = dc ? *dc : dequant_exact(coef[0], level_scale(scale, m, 0), qp);
    for (int64_t& x : r) x = (v + 32) >> 6;
  }
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j)
      row(dst, ds, i)[j] = uint16_t(clamp64(sat16(row(pred, ps, i)[j] + r[4 * i + j]), 0, max));
}

// Pre-shifted dequantisation of the coefficients at step bytes (coef may be
// null when dc is given): the 16 values the inverse transform takes.
void dequant_preshifted(const int16_t* coef, int32_t step, const int16_t* dc, int32_t qp, int16_t* d) {
  const int m = qp % 6, q6 = qp / 6;
  if (coef)
    for (int i = 0; i < 4; ++i)
      for (int j = 0; j < 4; ++j)
        d[4 * i + j] = wrap16(int32_t(row(coef, step, i)[j]) * (kNormAdjust4x4[m][4 * i + j] << q6));
  if (dc) d[0] = *dc;
}

// The residual of the pre-shifted members: the transform with AC, the
// rounded DC everywhere without.
void residual_preshifted(const int16_t* coef, int32_t step, const int16_t* dc, int32_t ac, int32_t qp, int16_t* r) {
  int16_t d[16];
  dequant_preshifted(coef, step, dc, qp, d);
  if (ac & 1) {
    inv4x4<Sat16>(d, r);
  } else {
    for (int p = 0; p < 16; ++p) r[p] = int16_t(Sat16::add(d[0], 32) >> 6);
  }
}

void dequant_residual_c(int16_t* block, int32_t step, const int16_t* dc, int32_t ac, int32_t qp) {
  int16_t r[16];
  residual_preshifted(block, step, dc, ac, qp, r);
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) row(block, step, i)[j] = r[4 * i + j];
}

void dequant_add_c(const uint8_t* pred, int16_t* coef, const int16_t* dc, uint8_t* dst, int32_t ps, int32_t ds,
                   int32_t qp, int32_t ac) {
  int16_t r[16];
  residual_preshifted(coef, 8, dc, ac, qp, r);
  if (ac & 1)
    for (int p = 0; p < 16; ++p) coef[p] = r[p];
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) row(dst, ds, i)[j] = clamp_u8(row(pred, ps, i)[j] + r[4 * i + j]);
}

// A(p) of H.264 8.6.1 by class E, O, M.
constexpr int64_t kSispA[3] = {16, 25, 20};

void sisp_residual_c(int16_t* levels, const int16_t* pred, const int16_t* dc, int32_t ac, int32_t qp, int32_t qs,
                     int32_t switching) {
  const int32_t qq = switching ? qs : qp;
  const int mq = qq % 6, q6q = qq / 6, ms = qs % 6, q6s = qs / 6;
  int64_t d[16], r[16];
  for (int p = 0; p < 16; ++p) {
    const int cls = kPosClass4x4[p];
    const int64_t level = (p == 0 || (ac & 1)) ? levels[p] : 0;
    const int64_t cs = pred[p] + ((level * kSispA[cls] * (int64_t(kNormAdjust[mq][cls]) << q6q)) >> 6);
    const int64_t c = quantise(cs, kQuantMul[ms][cls], int64_t(1) << (14 + q6s), 15 + q6s);
    d[p] = c * (int64_t(kNormAdjust[ms][cls]) << q6s);
  }
  if (dc) d[0] = *dc;
  inv4x4<Exact64>(d, r);
  for (int p = 0; p < 16; ++p) levels[p] = clamp_u8(r[p]);
}

}  // namespace

constexpr Dequant4x4Kernels kDequant4x4KernelsC = {
    inv16s_c, inv32s_c, inv_add16s_c, inv_add32s_c, dequant_residual_c, dequant_add_c, sisp_residual_c,
};

}  // namespace kvn
