// Scalar reference kernels of the H.264 forward 4x4 transforms and quantisers,
// written straight from the formulas. The SIMD kernels are checked against
// these.
#include "h264/transform/h264_arith.h"
#include "h264/transform/quant4x4.h"
#include "tables/h264_tables.h"

namespace kvn {
namespace {

using namespace h264;

inline int64_t multiplier(const int16_t* scale, int m, int p) {
  return scale ? scale[p] : kQuantMul[m][kPosClass4x4[p]];
}

void fwd16s_c(const int16_t* src, int16_t* dst) { fwd4x4<Sat16>(src, dst); }
void fwd32s_c(const int32_t* src, int32_t* dst) { fwd4x4<Wrap32>(src, dst); }

void fwd_pred_c(const uint8_t* src, int32_t step, int16_t* dst) {
  int32_t x[16], y[16];
  for (int i = 0; i < 4; ++i, src += step)
    for (int j = 0; j < 4; ++j) x[4 * i + j] = src[j];
  fwd4x4<Wrap32>(x, y);
  for (int p = 0; p < 16; ++p) dst[p] = int16_t(y[p]);  // |y| <= 36 * 255
}

// The count is negated when level 0 is nonzero.
template <class T>
void count_dc_signed(const T* levels, const int16_t* scan, int32_t* num, int32_t* last) {
  count_levels(levels, 16, scan, num, last);
  if (levels[0] != 0) *num = -*num;
}

void tq16s_c(const int16_t* src, int16_t* dst, int32_t qp, int32_t* num, int32_t intra, const int16_t* scan,
             int32_t* last, const int16_t* scale) {
  int16_t c[16];
  fwd4x4<Wrap16>(src, c);  // the low 16 bits of the exact transform
  const int s = (scale ? 11 : 15) + qp / 6;
  const int64_t f = offset_intra_inter(s, intra != 0);
  for (int p = 0; p < 16; ++p) dst[p] = wrap16(quantise(c[p], multiplier(scale, qp % 6, p), f, s));
  count_dc_signed(dst, scan, num, last);
}

// |c| < 2^21 and M < 2^15, so the level always fits in 32 bits; it is the
// exact level also where |c| * M + f reaches 2^32.
void tq16s32s_c(const int16_t* src, int32_t* dst, int32_t qp, int32_t* num, int32_t intra, const int16_t* scan,
                int32_t* last, const int16_t* scale) {
  int32_t x[16], c[16];
  for (int p = 0; p < 16; ++p) x[p] = src[p];
  fwd4x4<Wrap32>(x, c);
  const int s = (scale ? 11 : 15) + qp / 6;
  const int64_t f = offset_intra_inter(s, intra != 0);
  for (int p = 0; p < 16; ++p) dst[p] = int32_t(quantise(c[p], multiplier(scale, qp % 6, p), f, s));
  count_dc_signed(dst, scan, num, last);
}

template <class In, class Out, class Scale>
void quant_c(const In* src, Out* dst, int32_t* num, int32_t* last, const Scale* scale, const int16_t* scan, int32_t qp,
             int32_t intra) {
  const int s = (scale ? 11 : 15) + qp / 6;
  const int64_t f = offset_intra_inter(s, intra != 0);
  for (int p = 0; p < 16; ++p) {
    const int64_t mul = scale ? int64_t(scale[p]) : kQuantMul[qp % 6][kPosClass4x4[p]];
    const int64_t level = quantise(src[p], mul, f, s);
    dst[p] = Out(sizeof(Out) == 2 ? sat16(level) : sat32(level));
  }
  count_levels(dst, 16, scan, num, last);
}

KvnResult tq_legacy_c(int16_t* block, int32_t qp, int8_t* num, uint8_t intra, const int16_t* scan, uint8_t* last) {
  int16_t c[16];
  fwd4x4<Wrap16>(block, c);
  for (int p = 0; p < 16; ++p) block[p] = c[p];
  const int s = 15 + qp / 6;
  const int64_t f = offset_intra_inter(s, intra != 0);
  for (int half = 0; half < 16; half += 8) {
    int16_t level[8];
    for (int p = 0; p < 8; ++p) {
      level[p] = sat16(quantise(c[half + p], kQuantMul[qp % 6][kPosClass4x4[half + p]], f, s));
      if (level[p] > kLegacyLevelLimit || level[p] < -kLegacyLevelLimit) return KVN_STS_LEVEL_RANGE;
    }
    for (int p = 0; p < 8; ++p) block[half + p] = level[p];
  }
  int32_t n, top;
  count_levels(block, 16, scan, &n, &top);
  *num = int8_t(block[0] != 0 ? -n : n);
  *last = uint8_t(top & 127);
  return KVN_STS_OK;
}

void gen_scale_c(const uint8_t* list, int16_t* inv, int16_t* fwd, int32_t m) {
  for (int p = 0; p < 16; ++p) {
    const int w = list[p], cls = kPosClass4x4[p];
    inv[p] = int16_t(kNormAdjust[m][cls] * w);
    fwd[p] = int16_t(w ? kQuantMul[m][cls] / w : kQuantMul[m][cls]);
  }
}

}  // namespace

constexpr Quant4x4Kernels kQuant4x4KernelsC = {
    fwd16s_c,
    fwd32s_c,
    fwd_pred_c,
    tq16s_c,
    tq16s32s_c,
    quant_c<int16_t, int16_t, int16_t>,
    quant_c<int16_t, int32_t, int32_t>,
    quant_c<int32_t, int32_t, int32_t>,
    tq_legacy_c,
    gen_scale_c,
};

}  // namespace kvn
