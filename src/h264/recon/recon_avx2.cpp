// AVX2 kernels of the H.264 8-bit macroblock reconstruction: two pairs of
// horizontally adjacent 4x4 blocks (four blocks), or two horizontally
// adjacent 8x8 blocks, transformed together, one pair or block in each
// 128-bit half; intra 4x4 macroblocks (recon_intra4x4_simd.h) with their
// residuals four blocks at a time.
#include <immintrin.h>

#include "h264/recon/recon.h"
#include "h264/recon/recon_intra4x4_simd.h"
#include "h264/recon/recon_simd.h"
#include "simd/loads.h"
#include "simd/pack.h"

namespace kvn {
namespace KVN_ISA {
namespace {

using recon::V128;

// 16 lanes: one pair of blocks in each 128-bit half.
struct V256 : Lanes256 {
  static constexpr int kHalves = 2;
  static V load(const int16_t* p, const int16_t* q) { return load16x2(p, q); }
  static V dc_blend(V x, int16_t d0, int16_t d1) {
    return _mm256_blend_epi16(x, _mm256_setr_epi16(d0, 0, 0, 0, 0, 0, 0, 0, d1, 0, 0, 0, 0, 0, 0, 0), 1);
  }
  // p[0..15] = clamp(samples + r), 16-bit saturating sums.
  static void add_row16(uint8_t* p, V r) { store<16>(p, pack_u8(_mm256_adds_epi16(load_widen(p), r))); }
  // p[0..7] and q[0..7] = clamp(samples + r), 16-bit saturating sums.
  static void add_row(uint8_t* p, uint8_t* q, V r) {
    const V s =
        _mm256_adds_epi16(_mm256_cvtepu8_epi16(_mm_unpacklo_epi64(KVN_ISA::load<8>(p), KVN_ISA::load<8>(q))), r);
    const V v = _mm256_packus_epi16(s, s);
    store<8>(p, _mm256_castsi256_si128(v));
    store<8>(q, _mm256_extracti128_si256(v, 1));
  }
  // The low half at p, the high half at q.
  static void store_halves(uint8_t* p, uint8_t* q, V x) {
    KVN_ISA::store<16>(p, _mm256_castsi256_si128(x));
    KVN_ISA::store<16>(q, _mm256_extracti128_si256(x, 1));
  }
};

void residual4x4(uint8_t* mb, int32_t step, int32_t count, const int16_t* const* coef, const int16_t* dc,
                 const Dequant& dq) {
  recon::residual4x4<V256, V128>(mb, step, count, coef, dc, dq);
}

void residual8x8(uint8_t* mb, int32_t step, const int16_t* const* coef, const Dequant& dq) {
  recon::residual8x8<V256, V128>(mb, step, coef, dq);
}

}  // namespace
}  // namespace KVN_ISA

constexpr void recon_init_avx2(ReconKernels& k) {
  k.residual4x4 = KVN_ISA::residual4x4;
  k.intra4x4 = KVN_ISA::recon4::intra4x4<KVN_ISA::V256>;
  k.residual8x8 = KVN_ISA::residual8x8;
}

KVN_LEVEL_KERNELS(recon, ReconKernels);

}  // namespace kvn
