// Scalar reference kernels of the MPEG-4 matrix and float quantisers,
// straight from the formulas of quant_mpeg4.h (64-bit products for the
// inverse quantisers).
#include "mpeg4/quant_h263.h"
#include "mpeg4/quant_mpeg4.h"

namespace kvn {
namespace {

int32_t quant_matrix(int16_t* block, const KvnQuantState_MPEG4& s, int32_t qp, int32_t first, uint32_t add) {
  const uint32_t r = quant_h263::recip(qp);
  int32_t n = 0;
  for (int k = first; k < 64; ++k) {
    const int32_t c = block[k];
    uint32_t t = 16 * uint32_t(c < 0 ? -c : c) + s.weights[k];
    t = t < 65535 ? t : 65535;
    uint32_t u = ((t * s.scale.reciprocals[k]) >> 16) + add;
    u = u < 65535 ? u : 65535;
    uint32_t l = (u * r) >> 16;
    l = l < 2047 ? l : 2047;
    block[k] = int16_t(c < 0 ? -int32_t(l) : int32_t(l));
    n += l != 0;
  }
  return n;
}

inline int16_t float_level(float x) {
  if (x != x) return 0;
  x = x > -2047.0f ? x : -2047.0f;
  x = x < 2047.0f ? x : 2047.0f;
  return int16_t(x);
}

int32_t quant_float(int16_t* block, const KvnQuantState_MPEG4& s, int32_t qp, int32_t intra) {
  const float f = float(0.5000001 / qp), g = float(8.00001 / qp), e = float(8.0 / qp);
  const int32_t half = qp / 2;
  int32_t n = 0;
  for (int k = intra ? 1 : 0; k < 64; ++k) {
    const int32_t c = block[k], h = (c > 0) - (c < 0);
    float x;
    if (!s.matrixFlag)
      x = intra ? float(c) * f : float(c - h * half) * f;
    else if (!intra)
      x = float(c) * g * s.scale.inverses[k];
    else
      x = float(c) * e * s.scale.inverses[k] + 0.501f * float(h);
    block[k] = float_level(x);
    n += block[k] != 0;
  }
  return n;
}

inline int16_t clamp16(int64_t f, int32_t lo, int32_t hi) { return int16_t(f < lo ? lo : f > hi ? hi : f); }

int32_t inv_inter(int16_t* block, int32_t last, const uint16_t* w, int32_t qp, int32_t lo, int32_t hi) {
  int32_t sum = 0;
  for (int k = 0; k <= last; ++k) {
    const int64_t l = block[k];
    if (l == 0) continue;
    block[k] = clamp16((2 * l + (l < 0 ? -1 : 1)) * w[k] * qp / 16, lo, hi);
    sum += block[k];
  }
  return sum & 1;
}

int32_t inv_intra(int16_t* block, int32_t last, const uint16_t* w, int32_t qp, int32_t lo, int32_t hi) {
  int32_t sum = 0;
  for (int k = 1; k <= last; ++k) {
    block[k] = clamp16(int64_t(block[k]) * w[k] * qp / 8, lo, hi);
    sum += block[k];
  }
  return sum & 1;
}

}  // namespace

constexpr QuantMpeg4Kernels kQuantMpeg4KernelsC = {quant_matrix, quant_float, inv_inter, inv_intra};

}  // namespace kvn
