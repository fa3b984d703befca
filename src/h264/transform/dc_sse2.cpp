// SSE2 kernels of the H.264 luma DC transforms: the 4x4 Hadamard with the
// block in registers (32-bit lanes forward, saturating 16-bit lanes inverse),
// then the quantiser or dequantiser of h264_simd.h.
#include <emmintrin.h>

#include "h264/transform/dc.h"
#include "h264/transform/h264_simd.h"
#include "simd/transpose.h"
#include "tables/h264_tables.h"

namespace kvn {
namespace KVN_ISA {
namespace {

using namespace h264;

inline __m128i widen_lo(__m128i x) { return _mm_srai_epi32(_mm_unpacklo_epi16(x, x), 16); }

// 4-point Hadamard across four registers of 32-bit lanes (exact here).
inline void hadamard4_32(__m128i& x0, __m128i& x1, __m128i& x2, __m128i& x3) {
  const __m128i s01 = _mm_add_epi32(x0, x1), s23 = _mm_add_epi32(x2, x3);
  const __m128i d01 = _mm_sub_epi32(x0, x1), d23 = _mm_sub_epi32(x2, x3);
  x0 = _mm_add_epi32(s01, s23);
  x1 = _mm_sub_epi32(s01, s23);
  x2 = _mm_sub_epi32(d01, d23);
  x3 = _mm_add_epi32(d01, d23);
}

void fwd_luma16s(int16_t* dc, int16_t* tr, int32_t qp, int32_t* num, int32_t transform, const int16_t* scan,
                 int32_t* last, const int16_t* scale) {
  __m128i t0, t1;
  if (transform) {
    Block b = Block::load(dc);
    b.transpose();  // columns 0, 1 | 2, 3
    __m128i c0 = widen_lo(b.lo), c1 = widen_lo(swap_halves(b.lo)), c2 = widen_lo(b.hi),
            c3 = widen_lo(swap_halves(b.hi));
    hadamard4_32(c0, c1, c2, c3);
    transpose4x4_32<Lanes128>(c0, c1, c2, c3);
    hadamard4_32(c0, c1, c2, c3);
    t0 = _mm_packs_epi32(_mm_srai_epi32(c0, 1), _mm_srai_epi32(c1, 1));
    t1 = _mm_packs_epi32(_mm_srai_epi32(c2, 1), _mm_srai_epi32(c3, 1));
    store<16>(tr, t0);
    store<16>(tr + 8, t1);
  } else {
    t0 = load<16>(tr);
    t1 = load<16>(tr + 8);
  }
  const int shift = (scale ? 12 : 16) + qp / 6;
  const __m128i f = _mm_set1_epi32(scale ? 682 << (shift - 11) : (1 << shift) / 3);
  const __m128i s = _mm_cvtsi32_si128(shift);
  const __m128i mul = _mm_set1_epi16(scale ? scale[0] : kQuantMul[qp % 6][kClassE]);
  const __m128i l0 = quant_sat<Lanes128>(t0, mul, f, s), l1 = quant_sat<Lanes128>(t1, mul, f, s);
  store<16>(dc, l0);
  store<16>(dc + 8, l1);
  const int32_t n = count_levels(l0, l1, scan, last);
  *num = int16_t(_mm_cvtsi128_si32(t0)) != 0 ? -n : n;
}

void inv_luma16s(int16_t* dc, int32_t qp, const int16_t* scale) {
  Block b = Block::load(dc);
  hadamard4x4<Sat16>(b);
  const int q6 = qp / 6;
  const __m128i ls = _mm_set1_epi16(scale ? scale[0] : 16 * kNormAdjust[qp % 6][kClassE]);
  const int left = q6 - 6;  // qp >= 36: shift left; below: round and shift right
  const int32_t round = qp >= 36 ? 0 : 1 << (5 - q6);
  store<16>(dc, dequant8(b.lo, ls, left, round));
  store<16>(dc + 8, dequant8(b.hi, ls, left, round));
}

}  // namespace
}  // namespace KVN_ISA

constexpr void dc_init_sse2(DcKernels& k) {
  k.fwd_luma16s = KVN_ISA::fwd_luma16s;
  k.inv_luma16s = KVN_ISA::inv_luma16s;
}

KVN_LEVEL_KERNELS(dc, DcKernels);

}  // namespace kvn
