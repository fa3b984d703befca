// SSE4.1 kernels of the 32-bit residual family: a 4x4 block in four registers
// of 4 int32 (pmulld dequantisation, transposed butterflies), an 8x8 block as
// two halves per row.
#include <smmintrin.h>

#include "h264/recon/residual_hbd_simd.h"

namespace kvn {
namespace KVN_ISA {
namespace {

using namespace r32;

template <class S, class C>
void row4x4(S* dst, std::ptrdiff_t step, const C* const* coef, const int32_t* dc, int n, const DequantHbd4x4& q,
            int32_t max) {
  const DequantLanes dq(q.add, q.shift);
  const __m128i maxv = _mm_set1_epi32(max);
  for (int i = 0; i < n; ++i)
    if (coef[i] || dc) block4x4(dst + 4 * i, step, coef[i], dc ? dc + i : nullptr, q, dq, maxv);
}

void row4x4_16u(uint16_t* dst, std::ptrdiff_t step, const int32_t* const* coef, const int32_t* dc, int n,
                const DequantHbd4x4& q, int32_t max) {
  row4x4(dst, step, coef, dc, n, q, max);
}

void row4x4_8u(uint8_t* dst, std::ptrdiff_t step, const int16_t* const* coef, const int32_t* dc, int n,
               const DequantHbd4x4& q) {
  row4x4(dst, step, coef, dc, n, q, 255);
}

void block8x8_16u(uint16_t* dst, std::ptrdiff_t step, const int32_t* coef, const DequantHbd8x8& q, int32_t max) {
  const DequantLanes dq(q.add, q.shift);
  __m128i x[16];
  for (int k = 0; k < 16; ++k) x[k] = dq(load_coef4(coef + 4 * k), q.mul + 4 * k);
  transpose8x8_halves(x);
  inv8_halves(x);
  transpose8x8_halves(x);
  x[0] = _mm_add_epi32(x[0], _mm_set1_epi32(32));
  x[1] = _mm_add_epi32(x[1], _mm_set1_epi32(32));
  inv8_halves(x);
  const __m128i maxv = _mm_set1_epi32(max);
  for (int y = 0; y < 8; ++y) {
    add_clamp4(dst + y * step, _mm_srai_epi32(x[2 * y], 6), maxv);
    add_clamp4(dst + y * step + 4, _mm_srai_epi32(x[2 * y + 1], 6), maxv);
  }
}

}  // namespace
}  // namespace KVN_ISA

constexpr void residual_hbd_init_sse41(ResidualHbdKernels& k) {
  k.row4x4_16u = KVN_ISA::row4x4_16u;
  k.row4x4_8u = KVN_ISA::row4x4_8u;
  k.block8x8_16u = KVN_ISA::block8x8_16u;
}

KVN_LEVEL_KERNELS(residual_hbd, ResidualHbdKernels);

}  // namespace kvn
