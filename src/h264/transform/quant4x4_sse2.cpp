// SSE2 kernels of the H.264 forward 4x4 transforms and quantisers: the block
// in registers from load to store; the quantiser forms |c| * M exactly in 32
// bits (see h264_simd.h).
#include <emmintrin.h>

#include "h264/transform/h264_simd.h"
#include "h264/transform/quant4x4.h"
#include "tables/h264_tables.h"

namespace kvn {
namespace KVN_ISA {
namespace {

using namespace h264;

void fwd16s(const int16_t* src, int16_t* dst) {
  Block b = Block::load(src);
  fwd4x4<Sat16>(b);
  b.store(dst);
}

struct QuantParams {
  __m128i f, s;
  const int16_t* mul;
  QuantParams(int32_t qp, int32_t intra, const int16_t* scale) {
    const int shift = (scale ? 11 : 15) + qp / 6;
    const int32_t third = (1 << shift) / 3, sixth = (1 << shift) / 6;
    f = _mm_set1_epi32(intra ? third : sixth);
    s = _mm_cvtsi32_si128(shift);
    mul = scale ? scale : kQuantMul4x4[qp % 6];
  }
};

// The transform wraps in 16 bits: its result is the low 16 bits of the exact
// 32-bit transform, which is what the quantiser takes.
void tq16s(const int16_t* src, int16_t* dst, int32_t qp, int32_t* num, int32_t intra, const int16_t* scan,
           int32_t* last, const int16_t* scale) {
  Block b = Block::load(src);
  fwd4x4<Wrap16>(b);
  const QuantParams q(qp, intra, scale);
  const __m128i l0 = quant_wrap(b.lo, load<16>(q.mul), q.f, q.s);
  const __m128i l1 = quant_wrap(b.hi, load<16>(q.mul + 8), q.f, q.s);
  store<16>(dst, l0);
  store<16>(dst + 8, l1);
  const int32_t n = count_levels(l0, l1, scan, last);
  *num = int16_t(_mm_cvtsi128_si32(l0)) != 0 ? -n : n;
}

void quant16s(const int16_t* src, int16_t* dst, int32_t* num, int32_t* last, const int16_t* scale, const int16_t* scan,
              int32_t qp, int32_t intra) {
  const QuantParams q(qp, intra, scale);
  const __m128i l0 = quant_sat<Lanes128>(load<16>(src), load<16>(q.mul), q.f, q.s);
  const __m128i l1 = quant_sat<Lanes128>(load<16>(src + 8), load<16>(q.mul + 8), q.f, q.s);
  store<16>(dst, l0);
  store<16>(dst + 8, l1);
  *num = count_levels(l0, l1, scan, last);
}

}  // namespace
}  // namespace KVN_ISA

constexpr void quant4x4_init_sse2(Quant4x4Kernels& k) {
  k.fwd16s = KVN_ISA::fwd16s;
  k.tq16s = KVN_ISA::tq16s;
  k.quant16s = KVN_ISA::quant16s;
}

KVN_LEVEL_KERNELS(quant4x4, Quant4x4Kernels);

}  // namespace kvn
