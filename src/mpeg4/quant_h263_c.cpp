// Scalar reference kernels of the uniform quantisers, straight from the
// formulas of quant_h263.h (32-bit arithmetic throughout).
#include "mpeg4/quant_h263.h"

namespace kvn {
namespace {

int32_t quant(int16_t* block, const UniformQuant& q) {
  int32_t n = 0;
  for (int k = 0; k < 64; ++k) {
    const int32_t c = block[k];
    int32_t m = (c < 0 ? -c : c) + int32_t(q.add) - int32_t(q.sub);
    m = m < 0 ? 0 : m > int32_t(q.cap) ? int32_t(q.cap) : m;
    uint32_t l = (uint32_t(m) * q.recip) >> 16;
    l = l < q.limit ? l : q.limit;
    block[k] = int16_t(c < 0 ? -int32_t(l) : int32_t(l));
    n += l != 0;
  }
  return n;
}

void inv(int16_t* block, int32_t last, int32_t mul, int32_t odd, int32_t lo, int32_t hi) {
  for (int k = 0; k <= last; ++k) {
    const int32_t l = block[k];
    if (l == 0) continue;
    const int32_t m = mul * (l < 0 ? -l : l) + odd;
    const int32_t f = l < 0 ? -m : m;
    block[k] = int16_t(f < lo ? lo : f > hi ? hi : f);
  }
}

}  // namespace

constexpr QuantH263Kernels kQuantH263KernelsC = {quant, inv};

}  // namespace kvn
