// Scalar reference kernels of the H.264 DC transforms, written straight from
// the formulas. The SIMD kernels are checked against these.
#include "h264/transform/dc.h"
#include "h264/transform/h264_arith.h"
#include "h264/transform/quant4x4.h"
#include "tables/h264_tables.h"

namespace kvn {
namespace {

using namespace h264;

// Saturation to the level type.
template <class T>
inline T sat(int64_t x) {
  return T(sizeof(T) == 2 ? sat16(x) : sat32(x));
}

// The transformed values halved after a Hadamard in the arithmetic A.
template <class A, class T>
void luma_hadamard_halved(const T* dc, int64_t* out) {
  typename A::T x[16], y[16];
  for (int p = 0; p < 16; ++p) x[p] = typename A::T(dc[p]);
  hadamard4x4<A>(x, y);
  for (int p = 0; p < 16; ++p) out[p] = y[p] >> 1;
}

// 2x2: f0 = c0 + c1 + c2 + c3, f1 = c0 - c1 + c2 - c3, f2 = c0 + c1 - c2 - c3,
// f3 = c0 - c1 - c2 + c3, exact.
inline void chroma2x2(const int64_t* c, int64_t* f) {
  f[0] = c[0] + c[1] + c[2] + c[3];
  f[1] = c[0] - c[1] + c[2] - c[3];
  f[2] = c[0] + c[1] - c[2] - c[3];
  f[3] = c[0] - c[1] - c[2] + c[3];
}

// 2x4: each row (a, b) to (a + b, a - b), narrowed by Row; then the rows
// combined with the 4-point Hadamard, exact.
template <int64_t (*Row)(int64_t), class T>
void chroma2x4(const T* c, int64_t* f) {
  int64_t r[8];
  for (int i = 0; i < 4; ++i) {
    r[2 * i] = Row(int64_t(c[2 * i]) + c[2 * i + 1]);
    r[2 * i + 1] = Row(int64_t(c[2 * i]) - c[2 * i + 1]);
  }
  for (int j = 0; j < 2; ++j) hadamard4<Exact64>(r[j], r[2 + j], r[4 + j], r[6 + j], f + j, 2);
}
inline int64_t row_sat16(int64_t x) { return sat16(x); }
inline int64_t row_wrap32(int64_t x) { return wrap32(x); }

template <class T>
inline int64_t stored(int64_t x) {
  return sizeof(T) == 2 ? sat16(x) : wrap32(x);
}

template <class T>
void quant_dc(T* dc, const T* tr, int n, int64_t mul, int64_t f, int s) {
  for (int p = 0; p < n; ++p) dc[p] = sat<T>(quantise(tr[p], mul, f, s));
}

inline int64_t dc_mul(const int16_t* scale, int m) { return scale ? scale[0] : kQuantMul[m][kClassE]; }

template <class T>
void fwd_luma_c(T* dc, T* tr, int32_t qp, int32_t* num, int32_t transform, const int16_t* scan, int32_t* last,
                const int16_t* scale) {
  if (transform) {
    int64_t y[16];
    luma_hadamard_halved<Wrap32>(dc, y);
    for (int p = 0; p < 16; ++p) tr[p] = T(stored<T>(y[p]));
  }
  const int s = (scale ? 12 : 16) + qp / 6;
  quant_dc(dc, tr, 16, dc_mul(scale, qp % 6), scale ? offset_682(s) : offset_third(s), s);
  count_levels(dc, 16, scan, num, last);
  if (tr[0] != 0) *num = -*num;
}

KvnResult fwd_luma_legacy_c(int16_t* dc, int16_t* tr, int32_t qp, int8_t* num, uint8_t transform, const int16_t* scan,
                            uint8_t* last) {
  if (transform) {
    int64_t y[16];
    luma_hadamard_halved<Wrap16>(dc, y);
    for (int p = 0; p < 16; ++p) tr[p] = int16_t(y[p]);
  }
  const int s = 16 + qp / 6;
  for (int half = 0; half < 16; half += 8) {
    int16_t level[8];
    quant_dc(level, tr + half, 8, kQuantMul[qp % 6][kClassE], offset_third(s), s);
    for (int16_t l : level)
      if (l > kLegacyLevelLimit || l < -kLegacyLevelLimit) return KVN_STS_LEVEL_RANGE;
    for (int p = 0; p < 8; ++p) dc[half + p] = level[p];
  }
  int32_t n, top;
  count_levels(dc, 16, scan, &n, &top);
  *num = int8_t(dc[0] != 0 ? -n : n);
  *last = uint8_t(top & 127);
  return KVN_STS_OK;
}

// Chroma forward: N = 4 (2x2) or 8 (2x4); the count's sign by NegateIfDcZero.
template <class T, int N, bool NegateIfDcZero>
void fwd_chroma_c(T* dc, T* tr, int32_t qp, int32_t* num, int32_t intra, int32_t transform, const int16_t* scale) {
  if (transform) {
    int64_t f[8];
    if constexpr (N == 4) {
      int64_t c[4] = {dc[0], dc[1], dc[2], dc[3]};
      chroma2x2(c, f);
    } else {
      chroma2x4<sizeof(T) == 2 ? row_sat16 : row_wrap32>(dc, f);
    }
    for (int p = 0; p < N; ++p) tr[p] = T(stored<T>(f[p]));
  }
  const int q = N == 8 ? qp + 3 : qp;
  const int s = (scale ? 12 : 16) + q / 6;
  const int64_t f = N == 8 ? (intra ? offset_682(s) : offset_342(s)) : offset_intra_inter(s, intra != 0);
  quant_dc(dc, tr, N, dc_mul(scale, q % 6), f, s);
  int32_t n;
  count_levels(dc, N, nullptr, &n, nullptr);
  *num = ((dc[0] == 0) == NegateIfDcZero) ? -n : n;
}

KvnResult fwd_chroma_legacy_c(int16_t* dc, int16_t* tr, int32_t qp, int8_t* num, uint8_t intra, uint8_t transform) {
  int32_t n;
  fwd_chroma_c<int16_t, 4, false>(dc, tr, qp, &n, intra, transform, nullptr);
  *num = int8_t(n);
  for (int p = 0; p < 4; ++p)
    if (dc[p] > kLegacyLevelLimit || dc[p] < -kLegacyLevelLimit) return KVN_STS_LEVEL_RANGE;
  return KVN_STS_OK;
}

// Luma DC dequantisation (H.264 8.5.10) of one transformed value: exact, or
// wrapping in 32 bits.
inline int64_t dequant_luma_dc(int64_t f, int64_t ls, int q) { return rescale(f * ls, q / 6, 6); }
inline int32_t dequant_luma_dc32(int32_t f, int32_t ls, int q) {
  return rescale_wrap32(uint32_t(f) * uint32_t(ls), q / 6, 6);
}

inline int32_t dc_level_scale(const int16_t* scale, int m) { return scale ? scale[0] : 16 * kNormAdjust[m][kClassE]; }

void inv_luma16s_c(int16_t* dc, int32_t qp, const int16_t* scale) {
  int16_t f[16];
  hadamard4x4<Sat16>(dc, f);
  const int32_t ls = dc_level_scale(scale, qp % 6);
  for (int p = 0; p < 16; ++p) dc[p] = sat16(dequant_luma_dc(f[p], ls, qp));
}

void inv_luma32s_c(int32_t* dc, int32_t qp, const int16_t* scale) {
  int32_t f[16];
  hadamard4x4<Wrap32>(dc, f);
  const int32_t ls = dc_level_scale(scale, qp % 6);
  for (int p = 0; p < 16; ++p) dc[p] = dequant_luma_dc32(f[p], ls, qp);
}

// 4:2:0 chroma DC (H.264 8.5.11.2): (f * LS) << q6 >> 5.
void inv_2x2_16s_c(int16_t* dc, int32_t qp, const int16_t* scale) {
  int64_t c[4] = {dc[0], dc[1], dc[2], dc[3]}, f[4];
  chroma2x2(c, f);
  const int64_t ls = dc_level_scale(scale, qp % 6);
  const int q6 = qp / 6;
  for (int p = 0; p < 4; ++p) dc[p] = sat16(q6 < 5 ? (f[p] * ls) >> (5 - q6) : f[p] * ls * (1 << (q6 - 5)));
}

void inv_2x2_32s_c(int32_t* dc, int32_t qp, const int16_t* scale) {
  int64_t c[4] = {dc[0], dc[1], dc[2], dc[3]}, f[4];
  chroma2x2(c, f);
  const uint32_t ls = uint32_t(dc_level_scale(scale, qp % 6));
  const int q6 = qp / 6;
  for (int p = 0; p < 4; ++p) {
    const uint32_t x = uint32_t(wrap32(f[p])) * ls;
    dc[p] = q6 < 5 ? int32_t(x) >> (5 - q6) : int32_t(x << (q6 - 5));
  }
}

// 4:2:2 chroma DC with qp + 3, as the luma DC.
void inv_2x4_16s_c(int16_t* dc, int32_t qp, const int16_t* scale) {
  int64_t f[8];
  chroma2x4<row_sat16>(dc, f);
  const int q = qp + 3;
  const int32_t ls = dc_level_scale(scale, q % 6);
  for (int p = 0; p < 8; ++p) dc[p] = sat16(dequant_luma_dc(f[p], ls, q));
}

void inv_2x4_32s_c(int32_t* dc, int32_t qp, const int16_t* scale) {
  int64_t f[8];
  chroma2x4<row_wrap32>(dc, f);
  const int q = qp + 3;
  const int32_t ls = dc_level_scale(scale, q % 6);
  for (int p = 0; p < 8; ++p) dc[p] = dequant_luma_dc32(wrap32(f[p]), ls, q);
}

// Pre-shifted luma DC: (f * T + r) >> k, T = v(m, E) below qp 12, else
// v(m, E) << (qp / 6 - 2); (r, k) = (2, 2) below 6, (1, 1) below 12, else 0.
void dequant_luma_c(int16_t* dc, int32_t qp) {
  int64_t x[16], y[16];
  for (int p = 0; p < 16; ++p) x[p] = dc[p];
  hadamard4x4<Exact64>(x, y);  // 32 bits hold it exactly
  const int64_t v = kNormAdjust[qp % 6][kClassE];
  const int64_t mul = qp < 12 ? v : v << (qp / 6 - 2);
  const int k = qp < 6 ? 2 : qp < 12 ? 1 : 0;
  for (int p = 0; p < 16; ++p) dc[p] = wrap16((y[p] * mul + k) >> k);
}

// Pre-shifted chroma DC: 2x2 transform wrapping in 16 bits, then
// (f * (v(m, E) << q6)) >> 1.
void dequant_chroma_c(int16_t* dc, int32_t qp) {
  int64_t c[4] = {dc[0], dc[1], dc[2], dc[3]}, f[4];
  chroma2x2(c, f);
  const int64_t mul = int64_t(kNormAdjust[qp % 6][kClassE]) << (qp / 6);
  for (int p = 0; p < 4; ++p) dc[p] = wrap16((wrap16(f[p]) * mul) >> 1);
}

// SP/SI chroma DC (H.264 8.6.2).
void sisp_chroma_c(int16_t* levels, const int16_t* pred, int32_t qp, int32_t qs, int32_t switching) {
  const int32_t qq = switching ? qs : qp;
  const int64_t ls = 16 * (int64_t(kNormAdjust[qq % 6][kClassE]) << (qq / 6));
  const int s = 16 + qs / 6;
  int64_t c[4] = {pred[0], pred[1], pred[2], pred[3]}, dcp[4], d[4], f[4];
  chroma2x2(c, dcp);
  for (int p = 0; p < 4; ++p) {
    const int64_t dcs = dcp[p] + ((ls * levels[p]) >> 5);
    const int64_t level = quantise(dcs, kQuantMul[qs % 6][kClassE], int64_t(1) << (s - 1), s);
    d[p] = level * (int64_t(kNormAdjust[qs % 6][kClassE]) << (qs / 6));
  }
  chroma2x2(d, f);
  for (int p = 0; p < 4; ++p) levels[p] = sat16(f[p] >> 1);
}

}  // namespace

constexpr DcKernels kDcKernelsC = {
    fwd_luma_c<int16_t>,
    fwd_luma_c<int32_t>,
    fwd_luma_legacy_c,
    fwd_chroma_c<int16_t, 4, true>,
    fwd_chroma_c<int16_t, 8, true>,
    fwd_chroma_c<int32_t, 4, false>,
    fwd_chroma_c<int32_t, 8, false>,
    fwd_chroma_legacy_c,
    inv_luma16s_c,
    inv_2x2_16s_c,
    inv_2x4_16s_c,
    inv_luma32s_c,
    inv_2x2_32s_c,
    inv_2x4_32s_c,
    dequant_luma_c,
    dequant_chroma_c,
    sisp_chroma_c,
};

}  // namespace kvn
