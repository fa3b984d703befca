// SSE2 kernels of the H.264 inverse 4x4 paths: dequantisation, inverse
// transform and addition to the prediction with the block in registers.
#include <emmintrin.h>

#include "h264/transform/dequant4x4.h"
#include "h264/transform/h264_arith.h"
#include "h264/transform/h264_simd.h"
#include "tables/h264_tables.h"

namespace kvn {
namespace KVN_ISA {
namespace {

using namespace h264;

void inv16s(const int16_t* src, int16_t* dst) {
  Block b = Block::load(src);
  inv4x4_sat(b);
  b.store(dst);
}

// The rounded DC of the DC-only path, limited to the range in which adding it
// to a sample and clamping gives the same result.
inline int16_t dc_residual(int64_t dc) { return int16_t(kvn::h264::clamp64((dc + 32) >> 6, -256, 256)); }

void inv_add16s(const uint8_t* pred, int32_t ps, int16_t* coef, const int16_t* dc, uint8_t* dst, int32_t ds, int32_t qp,
                int32_t ac, const int16_t* scale) {
  const int q6 = qp / 6;
  const int16_t* ls = scale ? scale : kLevelScale4x4[qp % 6];
  const int left = q6 - 4;  // qp >= 24: shift left; below: round and shift right
  const int32_t round = qp >= 24 ? 0 : 1 << (3 - q6);
  if (ac & 1) {
    __m128i lo = dequant8(load<16>(coef), load<16>(ls), left, round);
    const __m128i hi = dequant8(load<16>(coef + 8), load<16>(ls + 8), left, round);
    if (dc) lo = _mm_insert_epi16(lo, *dc, 0);
    Block b{lo, hi};
    inv4x4_sat(b);
    b.store(coef);
    add_block(pred, ps, b, dst, ds);
  } else {
    int64_t v;
    if (dc) {
      v = *dc;
    } else {
      const int64_t x = int64_t(coef[0]) * ls[0];
      v = qp >= 24 ? x * (int64_t(1) << left) : (x + round) >> -left;
    }
    add_dc(pred, ps, dc_residual(v), dst, ds);
  }
}

// Pre-shifted dequantisation: the low 16 bits of c * (v << q6).
inline __m128i preshifted(__m128i c, const int16_t* v, __m128i q6) {
  return _mm_mullo_epi16(c, _mm_sll_epi16(load<16>(v), q6));
}

// The residual of the pre-shifted members from coefficient rows lo / hi (the
// DC alone, broadcast, without AC).
inline Block residual_preshifted(__m128i lo, __m128i hi, const int16_t* dc, int32_t ac, int32_t qp) {
  const int16_t* v = kNormAdjust4x4[qp % 6];
  const __m128i q6 = _mm_cvtsi32_si128(qp / 6);
  lo = preshifted(lo, v, q6);
  if (dc) lo = _mm_insert_epi16(lo, *dc, 0);
  if (!(ac & 1)) {
    const __m128i d = _mm_srai_epi16(_mm_adds_epi16(lo, _mm_set1_epi16(32)), 6);
    const __m128i r = _mm_shuffle_epi32(_mm_shufflelo_epi16(d, 0), 0);
    return Block{r, r};
  }
  Block b{lo, preshifted(hi, v + 8, q6)};
  inv4x4_sat(b);
  return b;
}

void dequant_residual(int16_t* block, int32_t step, const int16_t* dc, int32_t ac, int32_t qp) {
  int16_t* r1 = advance(block, step);
  int16_t* r2 = advance(r1, step);
  int16_t* r3 = advance(r2, step);
  const __m128i lo = _mm_unpacklo_epi64(load<8>(block), load<8>(r1));
  const __m128i hi = _mm_unpacklo_epi64(load<8>(r2), load<8>(r3));
  const Block b = residual_preshifted(lo, hi, dc, ac, qp);
  store<8>(block, b.lo);
  store<8>(r1, swap_halves(b.lo));
  store<8>(r2, b.hi);
  store<8>(r3, swap_halves(b.hi));
}

void dequant_add(const uint8_t* pred, int16_t* coef, const int16_t* dc, uint8_t* dst, int32_t ps, int32_t ds,
                 int32_t qp, int32_t ac) {
  Block b;
  if (coef) {
    b = residual_preshifted(load<16>(coef), load<16>(coef + 8), dc, ac, qp);
    if (ac & 1) b.store(coef);
  } else {  // the DC alone, given
    const __m128i r = _mm_set1_epi16(int16_t(kvn::h264::Sat16::add(*dc, 32) >> 6));
    b = Block{r, r};
  }
  add_block(pred, ps, b, dst, ds);
}

}  // namespace
}  // namespace KVN_ISA

constexpr void dequant4x4_init_sse2(Dequant4x4Kernels& k) {
  k.inv16s = KVN_ISA::inv16s;
  k.inv_add16s = KVN_ISA::inv_add16s;
  k.dequant_residual = KVN_ISA::dequant_residual;
  k.dequant_add = KVN_ISA::dequant_add;
}

KVN_LEVEL_KERNELS(dequant4x4, Dequant4x4Kernels);

}  // namespace kvn
