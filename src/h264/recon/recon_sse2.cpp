// SSE2 kernels of the H.264 8-bit macroblock reconstruction: pairs of
// horizontally adjacent 4x4 blocks transformed together (a register holds a
// row of both), single 4x4 and 8x8 blocks kept whole in registers from the
// coefficients to the picture, the intra 8x8 predictor compiled for SSE2
// (vectorised by the compiler), and the interleaved chroma split.
#include <emmintrin.h>

#include "h264/transform/h264_simd.h"
#include "h264/recon/recon.h"
#include "h264/recon/recon_intra8x8.h"
#include "h264/recon/recon_simd.h"

namespace kvn {
namespace KVN_ISA {
namespace {

using recon::V128;

void residual4x4(uint8_t* mb, int32_t step, int32_t count, const int16_t* const* coef, const int16_t* dc,
                 const Dequant& dq) {
  recon::residual4x4<V128, V128>(mb, step, count, coef, dc, dq);
}

void block4x4(uint8_t* dst, int32_t step, const int16_t* coef, const Dequant& dq) {
  recon::with_dequant<V128>(dq, [&](const auto& op) {
    h264::Block b{op(load<16>(coef), load<16>(dq.mul)), op(load<16>(coef + 8), load<16>(dq.mul + 8))};
    h264::inv4x4_sat(b);
    h264::add_block(dst, step, b, dst, step);
  });
}

void block8x8(uint8_t* dst, int32_t step, const int16_t* coef, const Dequant& dq) {
  recon::with_dequant<V128>(dq, [&](const auto& op) { recon::block8x8<V128>(dst, step, coef, coef, op); });
}

void residual8x8(uint8_t* mb, int32_t step, const int16_t* const* coef, const Dequant& dq) {
  recon::residual8x8<V128, V128>(mb, step, coef, dq);
}

// Intra 4x4 blocks: the intra family has no SSE2 4x4 predictors, so the
// scalar one writes the prediction, which is read back into a register for
// the residual.
void intra4x4(uint8_t* mb, int32_t step, int32_t count, const int32_t* modes, uint32_t edges,
              const int16_t* const* coef, const Dequant& dq) {
  recon::intra4x4(mb, step, count, modes, edges, coef, dq, [](uint8_t* dst, std::ptrdiff_t s, int mode, int32_t avail) {
    kIntraKernelsC.pred4x4[mode](dst, s, avail);
    return _mm_unpacklo_epi64(_mm_unpacklo_epi32(load<4>(dst), load<4>(dst + s)),
                              _mm_unpacklo_epi32(load<4>(dst + 2 * s), load<4>(dst + 3 * s)));
  });
}

template <int Mode>
void pred8x8(uint8_t* b, std::ptrdiff_t step, int32_t avail) {
  kvn::h264::intra8x8_predict(b, step, Mode, avail, 128);
}

void split_c2(const uint8_t* cbcr, int32_t step, uint8_t* cb, uint8_t* cr) {
  const __m128i even = _mm_set1_epi16(0xff), zero = _mm_setzero_si128();
  for (int y = 0; y < 8; ++y) {
    const __m128i v = load<16>(cbcr + std::ptrdiff_t(y) * step);
    store<8>(cb + 16 * y, _mm_packus_epi16(_mm_and_si128(v, even), zero));
    store<8>(cr + 16 * y, _mm_packus_epi16(_mm_srli_epi16(v, 8), zero));
  }
}

void merge_c2(const uint8_t* cb, const uint8_t* cr, uint8_t* cbcr, int32_t step) {
  for (int y = 0; y < 8; ++y) {
    store<16>(cbcr + std::ptrdiff_t(y) * step, _mm_unpacklo_epi8(load<8>(cb + 16 * y), load<8>(cr + 16 * y)));
  }
}

}  // namespace
}  // namespace KVN_ISA

constexpr void recon_init_sse2(ReconKernels& k) {
  k.residual4x4 = KVN_ISA::residual4x4;
  k.block4x4 = KVN_ISA::block4x4;
  k.block8x8 = KVN_ISA::block8x8;
  k.residual8x8 = KVN_ISA::residual8x8;
  const IntraFn pred[9] = {KVN_ISA::pred8x8<0>, KVN_ISA::pred8x8<1>, KVN_ISA::pred8x8<2>,
                           KVN_ISA::pred8x8<3>, KVN_ISA::pred8x8<4>, KVN_ISA::pred8x8<5>,
                           KVN_ISA::pred8x8<6>, KVN_ISA::pred8x8<7>, KVN_ISA::pred8x8<8>};
  for (int m = 0; m < 9; ++m) k.pred8x8[m] = pred[m];
  k.intra4x4 = KVN_ISA::intra4x4;
  k.split_c2 = KVN_ISA::split_c2;
  k.merge_c2 = KVN_ISA::merge_c2;
}

KVN_LEVEL_KERNELS(recon, ReconKernels);

}  // namespace kvn
