// AVX2 kernels of the H.264 8-bit macroblock reconstruction: two pairs of
// horizontally adjacent 4x4 blocks (four blocks), or two horizontally
// adjacent 8x8 blocks, transformed together, one pair or block in each
// 128-bit half.
#include <immintrin.h>

#define KVN_H264_SIMD_NS avx2
#include "h264/recon/recon.h"
#include "h264/recon/recon_simd.h"

namespace kvn {
namespace avx2 {
namespace {

using recon::V128;

// 16 lanes: one pair of blocks in each 128-bit half.
struct V256 {
  using T = __m256i;
  static constexpr int kHalves = 2;
  static T load(const int16_t* p, const int16_t* q) {
    return _mm256_inserti128_si256(_mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p))),
                                   _mm_loadu_si128(reinterpret_cast<const __m128i*>(q)), 1);
  }
  static T unpacklo16(T a, T b) { return _mm256_unpacklo_epi16(a, b); }
  static T unpackhi16(T a, T b) { return _mm256_unpackhi_epi16(a, b); }
  static T unpacklo32(T a, T b) { return _mm256_unpacklo_epi32(a, b); }
  static T unpackhi32(T a, T b) { return _mm256_unpackhi_epi32(a, b); }
  static T unpacklo64(T a, T b) { return _mm256_unpacklo_epi64(a, b); }
  static T unpackhi64(T a, T b) { return _mm256_unpackhi_epi64(a, b); }
  static T adds(T a, T b) { return _mm256_adds_epi16(a, b); }
  static T subs(T a, T b) { return _mm256_subs_epi16(a, b); }
  static T srai(T a, int n) { return _mm256_srai_epi16(a, n); }
  static T mullo(T a, T b) { return _mm256_mullo_epi16(a, b); }
  static T mulhi(T a, T b) { return _mm256_mulhi_epi16(a, b); }
  static T packs32(T a, T b) { return _mm256_packs_epi32(a, b); }
  static T add32(T a, T b) { return _mm256_add_epi32(a, b); }
  static T sra32(T a, __m128i n) { return _mm256_sra_epi32(a, n); }
  static T set16(int16_t v) { return _mm256_set1_epi16(v); }
  static T set32(int32_t v) { return _mm256_set1_epi32(v); }
  static T dc_blend(T x, int16_t d0, int16_t d1) {
    return _mm256_blend_epi16(x, _mm256_setr_epi16(d0, 0, 0, 0, 0, 0, 0, 0, d1, 0, 0, 0, 0, 0, 0, 0), 1);
  }
  // p[0..15] = clamp(samples + r), 16-bit saturating sums.
  static void add_row16(uint8_t* p, T r) {
    const T s = _mm256_adds_epi16(_mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p))), r);
    const T v = _mm256_permute4x64_epi64(_mm256_packus_epi16(s, s), 0x08);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), _mm256_castsi256_si128(v));
  }
  // p[0..7] and q[0..7] = clamp(samples + r), 16-bit saturating sums.
  static void add_row(uint8_t* p, uint8_t* q, T r) {
    const __m128i a = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p));
    const __m128i b = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(q));
    const T s = _mm256_adds_epi16(_mm256_cvtepu8_epi16(_mm_unpacklo_epi64(a, b)), r);
    const T v = _mm256_packus_epi16(s, s);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(p), _mm256_castsi256_si128(v));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(q), _mm256_extracti128_si256(v, 1));
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
}  // namespace avx2

void recon_init_avx2(ReconKernels& k) {
  k.residual4x4 = avx2::residual4x4;
  k.residual8x8 = avx2::residual8x8;
}

}  // namespace kvn
