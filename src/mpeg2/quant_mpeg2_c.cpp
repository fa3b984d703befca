// Scalar reference kernels of the MPEG-2 quantisers, straight from the
// formulas of quant_mpeg2.h (64-bit products for the inverse quantisers).
#include "mpeg2/quant_mpeg2.h"

namespace kvn {
namespace {

inline int16_t level_of(float x) {
  if (x != x) return 0;
  x = x > -2047.0f ? x : -2047.0f;
  x = x < 2047.0f ? x : 2047.0f;
  return int16_t(x);
}

template <int First>
int32_t quant_float_c(int16_t* block, float scale, const float* recip) {
  int32_t n = 0;
  for (int k = First; k < 64; ++k) {
    const float x = float(block[k]) * scale * recip[k];
    block[k] = level_of(x);
    n += block[k] != 0;
  }
  return n;
}

int32_t quant_recip(int16_t* block, uint32_t r) {
  int32_t n = 0;
  for (int k = 0; k < 64; ++k) {
    const int32_t c = block[k];
    const uint32_t mag = uint32_t(c < 0 ? -c : c);
    const uint32_t l = (mag * r) >> 16 < 2047 ? (mag * r) >> 16 : 2047;
    block[k] = int16_t(c < 0 ? -int32_t(l) : int32_t(l));
    n += l != 0;
  }
  return n;
}

int32_t count(const int16_t* block) {
  int32_t n = 0;
  for (int k = 0; k < 64; ++k) n += block[k] != 0;
  return n;
}

inline int16_t saturate(int64_t f) { return int16_t(f < -2048 ? -2048 : f > 2047 ? 2047 : f); }

void mismatch(int16_t* block) {
  int32_t sum = 0;
  for (int k = 0; k < 64; ++k) sum += block[k];
  if ((sum & 1) == 0) block[63] = int16_t(block[63] ^ 1);
}

void inv(int16_t* block, int32_t q, const uint16_t* weights) {
  for (int k = 0; k < 64; ++k) {
    const int64_t l = block[k], sign = (l > 0) - (l < 0);
    block[k] = saturate((2 * l + sign) * weights[k] * q / 32);
  }
  mismatch(block);
}

void inv_intra(int16_t* block, int32_t q, const uint16_t* weights) {
  for (int k = 1; k < 64; ++k) block[k] = saturate(int64_t(block[k]) * weights[k] * q / 16);
  mismatch(block);
}

}  // namespace

constexpr QuantMpeg2Kernels kQuantMpeg2KernelsC = {quant_float_c<0>, quant_float_c<1>, quant_recip, count, inv,
                                                   inv_intra};

}  // namespace kvn
