// H.264 CAVLC encoding analysis of 4x4 blocks, AVX2 (with the POPCNT and BMI2
// that every processor of this level has): the shuffles of
// cavlc_encode_simd.h with bit counts and the trailing-one signs in single
// instructions; 16-bit levels gathered in one 256-bit shuffle, 32-bit levels
// in two lane permutations and stored under a mask.
#include <immintrin.h>

#include "h264/cavlc/cavlc_encode.h"
#include "simd/loads.h"
#include "tables/h264_cavlc_tables.h"

#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("popcnt,bmi,bmi2"))), apply_to = function)
#else
#pragma GCC target("popcnt,bmi,bmi2")
#endif

// After the target: the shared analysis is compiled with the bit instructions.
#define KVN_CAVLC_BIT_INSTRUCTIONS 1
#include "h264/cavlc/cavlc_encode_simd.h"
#undef KVN_CAVLC_BIT_INSTRUCTIONS

namespace kvn {
namespace KVN_ISA {
namespace {

using namespace cavlc;

bool block16s(const int16_t* coef, int start, const int32_t* scan, int end, const CavlcCounts& out, int16_t* levels,
              uint8_t* runs) {
  __m128i order;
  if (!scan_order(scan, start, end, order)) return false;
  const __m128i c0 = load<16>(coef), c1 = load<16>(coef + 8);
  Analysis a;
  if (!analyse(flags(c0, c1), order, start, end, out, a)) return true;
  store_prefix8(runs, a.runs, a.tc - 1);
  // Levels 0..7 in the low lane, 8..15 in the high lane; byte index i < 16
  // picks from coefficients 0..7, i >= 16 from 8..15.
  const __m128i r2 = _mm_add_epi8(a.raster, a.raster), r2b = _mm_add_epi8(r2, _mm_set1_epi8(1));
  const __m256i idx = _mm256_set_m128i(_mm_unpackhi_epi8(r2, r2b), _mm_unpacklo_epi8(r2, r2b));
  const __m256i v = _mm256_or_si256(
      _mm256_shuffle_epi8(_mm256_broadcastsi128_si256(c0), _mm256_add_epi8(idx, _mm256_set1_epi8(0x70))),
      _mm256_shuffle_epi8(_mm256_broadcastsi128_si256(c1), _mm256_sub_epi8(idx, _mm256_set1_epi8(16))));
  const __m256i keep = _mm256_cmpgt_epi16(_mm256_set1_epi16(int16_t(a.tc - a.t1)),
                                          _mm256_setr_epi16(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15));
  store<32>(levels, _mm256_blendv_epi8(load<32>(levels), v, keep));
  return true;
}

bool block32s(const int32_t* coef, int start, const int32_t* scan, int end, const CavlcCounts& out, int32_t* levels,
              uint8_t* runs) {
  __m128i order;
  if (!scan_order(scan, start, end, order)) return false;
  __m128i c[4];
  for (int i = 0; i < 4; ++i) c[i] = load<16>(coef + 4 * i);
  Analysis a;
  if (!analyse(flags(c), order, start, end, out, a)) return true;
  store_prefix8(runs, a.runs, a.tc - 1);
  const __m256i lo = load<32>(coef), hi = load<32>(coef + 8);
  const __m256i lanes = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
  for (int h = 0; h < 2; ++h) {
    const __m256i idx = _mm256_cvtepu8_epi32(h ? _mm_srli_si128(a.raster, 8) : a.raster);
    const __m256i v = _mm256_blendv_epi8(_mm256_permutevar8x32_epi32(lo, idx), _mm256_permutevar8x32_epi32(hi, idx),
                                         _mm256_cmpgt_epi32(idx, _mm256_set1_epi32(7)));
    const __m256i keep = _mm256_cmpgt_epi32(_mm256_set1_epi32(a.tc - a.t1 - 8 * h), lanes);
    _mm256_maskstore_epi32(levels + 8 * h, keep, v);
  }
  return true;
}

}  // namespace
}  // namespace KVN_ISA

#if defined(__clang__)
#pragma clang attribute pop
#endif

constexpr void cavlc_encode_init_avx2(CavlcEncodeKernels& k) {
  k.block16s = KVN_ISA::block16s;
  k.block32s = KVN_ISA::block32s;
}

KVN_LEVEL_KERNELS(cavlc_encode, CavlcEncodeKernels);

}  // namespace kvn
