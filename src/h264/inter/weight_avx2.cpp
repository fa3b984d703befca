// AVX2 kernels of H.264 weighted prediction: the SSSE3 / SSE4.1 cores on
// 32-byte vectors (two to four rows, or one 32-byte row, a vector), for the
// blocks where that pays; the others keep the SSE4.1 kernels.
#include <immintrin.h>

#include <cstddef>
#include <cstring>
#include <type_traits>

#include "h264/inter/weight.h"

namespace kvn {
namespace avx2 {
namespace {

#include "h264/inter/weight_simd.h"

struct Ops {
  using V = __m256i;
  static constexpr int kBytes = 32;

  // Rows that fill up to two 16-byte halves.
  template <int RowBytes, int Rows>
  static V load(const uint8_t* p, ptrdiff_t step) {
    if constexpr (RowBytes == 32) {
      return _mm256_loadu_si256(reinterpret_cast<const V*>(p));
    } else if constexpr (RowBytes == 16) {
      // Two broadcast loads and a blend: no shuffle unit needed.
      static_assert(Rows == 2, "two rows a vector");
      const V r0 = _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
      const V r1 = _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + step)));
      return _mm256_blend_epi32(r0, r1, 0xf0);
    } else {
      constexpr int kHalf = 16 / RowBytes;
      static_assert(Rows > kHalf && Rows <= 2 * kHalf, "rows fill both halves");
      const __m128i lo = Io128::load<RowBytes, kHalf>(p, step);
      const __m128i hi = Io128::load<RowBytes, Rows - kHalf>(p + kHalf * step, step);
      return _mm256_inserti128_si256(_mm256_castsi128_si256(lo), hi, 1);
    }
  }
  template <int RowBytes, int Rows>
  static void store(uint8_t* p, ptrdiff_t step, V v) {
    if constexpr (RowBytes == 32) {
      _mm256_storeu_si256(reinterpret_cast<V*>(p), v);
    } else {
      constexpr int kHalf = 16 / RowBytes;
      Io128::store<RowBytes, kHalf>(p, step, _mm256_castsi256_si128(v));
      Io128::store<RowBytes, Rows - kHalf>(p + kHalf * step, step, _mm256_extracti128_si256(v, 1));
    }
  }

  static V zero() { return _mm256_setzero_si256(); }
  static V set1_16(int x) { return _mm256_set1_epi16(int16_t(x)); }
  static V set1_32(int32_t x) { return _mm256_set1_epi32(x); }
  static V unpacklo8(V a, V b) { return _mm256_unpacklo_epi8(a, b); }
  static V unpackhi8(V a, V b) { return _mm256_unpackhi_epi8(a, b); }
  static V unpacklo16(V a, V b) { return _mm256_unpacklo_epi16(a, b); }
  static V unpackhi16(V a, V b) { return _mm256_unpackhi_epi16(a, b); }
  static V packus16(V a, V b) { return _mm256_packus_epi16(a, b); }
  static V packus32(V a, V b) { return _mm256_packus_epi32(a, b); }
  static V xor_(V a, V b) { return _mm256_xor_si256(a, b); }
  static V adds16(V a, V b) { return _mm256_adds_epi16(a, b); }
  static V mullo16(V a, V b) { return _mm256_mullo_epi16(a, b); }
  static V mulhrs16(V a, V b) { return _mm256_mulhrs_epi16(a, b); }
  static V maddubs(V a, V b) { return _mm256_maddubs_epi16(a, b); }
  static V madd16(V a, V b) { return _mm256_madd_epi16(a, b); }
  static V add32(V a, V b) { return _mm256_add_epi32(a, b); }
  static V sra32(V a, __m128i n) { return _mm256_sra_epi32(a, n); }
  static V avg_u16(V a, V b) { return _mm256_avg_epu16(a, b); }
  static V min_u16(V a, V b) { return _mm256_min_epu16(a, b); }
};

// Slots [wi][hi] for heights from MinH on (a vector must hold whole rows).
template <int W, int MinH, class Fn, class Make>
void fill_from(Fn (&row)[4], Make make) {
  Fn all[4];
  fill_heights<W>(all, make);
  for (int hi = 0; hi < 4; ++hi)
    if ((2 << hi) >= MinH) row[hi] = all[hi];
}

template <int W, int MinH>
void fill_uni8(WeightKernels& k) {
  fill_from<W, MinH>(k.uni8[__builtin_ctz(W) - 1], [](auto w, auto h) -> WeightUni8Fn {
    constexpr int kH = decltype(h)::value < MinH ? MinH : decltype(h)::value;  // lower: not installed
    return uni8_kernel<Ops, Uni8Ssse3, decltype(w)::value, kH>;
  });
}

template <int W, int MinH>
void fill_bi8(WeightKernels& k) {
  fill_from<W, MinH>(k.bi8[__builtin_ctz(W) - 1], [](auto w, auto h) -> WeightBi8Fn {
    constexpr int kH = decltype(h)::value < MinH ? MinH : decltype(h)::value;  // lower: not installed
    return bi8_kernel<Ops, Bi8Ssse3, decltype(w)::value, kH>;
  });
}

// 16-bit rows of W samples.
template <int W>
void fill_uni16(WeightKernels& k) {
  fill_heights<W>(k.uni16[__builtin_ctz(W) - 1], [](auto w, auto h) -> WeightUni16Fn {
    return uni16_kernel<Ops, decltype(w)::value, decltype(h)::value>;
  });
}

template <int W>
void fill_bi16(WeightKernels& k) {
  fill_heights<W>(k.bi16[__builtin_ctz(W) - 1], [](auto w, auto h) -> WeightBi16Fn {
    return bi16_kernel<Ops, decltype(w)::value, decltype(h)::value>;
  });
}

}  // namespace
}  // namespace avx2

// In place, one list: the two-row vectors of 16-byte rows pay only from 16
// rows on (fewer rows are bound by the latency of a row, which the blend of
// two rows lengthens).
void weight_init_avx2(WeightKernels& k) {
  avx2::fill_uni8<16, 16>(k);
  avx2::fill_uni8<32, 2>(k);
  avx2::fill_bi8<8, 4>(k);
  avx2::fill_bi8<16, 2>(k);
  avx2::fill_bi8<32, 2>(k);
  avx2::fill_uni16<16>(k);
  avx2::fill_bi16<8>(k);
  avx2::fill_bi16<16>(k);
  k.average16[14] = avx2::average16_kernel<avx2::Ops, 16>;
}

}  // namespace kvn
