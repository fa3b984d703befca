// Scalar reference of the AVS 8x8 inter block reconstruction (recon_avs.h),
// written straight from the formulas.
#include <cstddef>

#include "avs/recon_avs.h"
#include "tables/avs_tables.h"

namespace kvn {
namespace {

using avs::transform_basis;

inline int16_t sat16(int32_t v) { return int16_t(v < -32768 ? -32768 : v > 32767 ? 32767 : v); }

// N: the coefficients read form the top-left N x N corner.
template <int N>
void block(const int16_t* coef, uint8_t* dst, int32_t step, int32_t scale, int32_t shift) {
  int16_t c[64] = {};
  for (int v = 0; v < N; ++v)
    for (int u = 0; u < N; ++u)
      c[8 * v + u] = int16_t((int32_t(coef[8 * v + u]) * scale + (1 << (shift - 1))) >> shift);
  int16_t h[64];
  for (int v = 0; v < 8; ++v)
    for (int x = 0; x < 8; ++x) {
      int32_t s = 0;
      for (int u = 0; u < 8; ++u) s += c[8 * v + u] * transform_basis(u, x);
      h[8 * v + x] = sat16((s + 4) >> 3);
    }
  for (int y = 0; y < 8; ++y) {
    uint8_t* row = dst + std::ptrdiff_t(y) * step;
    for (int x = 0; x < 8; ++x) {
      int32_t s = 0;
      for (int v = 0; v < 8; ++v) s += h[8 * v + x] * transform_basis(v, y);
      const int32_t p = row[x] + sat16((s + 64) >> 7);
      row[x] = uint8_t(p < 0 ? 0 : p > 255 ? 255 : p);
    }
  }
}

}  // namespace

const ReconAvsKernels kReconAvsKernelsC = {{block<8>, block<4>, block<1>}};

}  // namespace kvn
