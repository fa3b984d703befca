// AVX2 kernels of H.264 weighted prediction: the SSSE3 / SSE4.1 cores on
// 32-byte vectors (two to four rows, or one 32-byte row, a vector), for the
// blocks where that pays; the others keep the SSE4.1 kernels.
#include <immintrin.h>

#include <cstddef>

#include "h264/inter/weight.h"
#include "h264/inter/weight_simd.h"
#include "simd/lanes.h"
#include "simd/loads.h"

namespace kvn {
namespace KVN_ISA {
namespace {

using namespace weight;

// The lanes of 32-byte vectors with the row gathering of weight_simd.h.
struct Ops : Lanes256 {
  // Rows that fill up to two 16-byte halves.
  template <int RowBytes, int Rows>
  static V load(const uint8_t* p, ptrdiff_t step) {
    if constexpr (RowBytes == 32) {
      return KVN_ISA::load<32>(p);
    } else if constexpr (RowBytes == 16) {
      // Two broadcast loads and a blend: no shuffle unit needed.
      static_assert(Rows == 2, "two rows a vector");
      const V r0 = _mm256_broadcastsi128_si256(KVN_ISA::load<16>(p));
      const V r1 = _mm256_broadcastsi128_si256(KVN_ISA::load<16>(p + step));
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
      KVN_ISA::store<32>(p, v);
    } else {
      constexpr int kHalf = 16 / RowBytes;
      Io128::store<RowBytes, kHalf>(p, step, _mm256_castsi256_si128(v));
      Io128::store<RowBytes, Rows - kHalf>(p + kHalf * step, step, _mm256_extracti128_si256(v, 1));
    }
  }
};

// Slots [wi][hi] for heights from MinH on (a vector must hold whole rows).
template <int W, int MinH, class Fn, class Make>
constexpr void fill_from(Fn (&row)[4], Make make) {
  Fn all[4]{};
  fill_heights<W>(all, make);
  for (int hi = 0; hi < 4; ++hi)
    if ((2 << hi) >= MinH) row[hi] = all[hi];
}

template <int W, int MinH>
constexpr void fill_uni8(WeightKernels& k) {
  fill_from<W, MinH>(k.uni8[__builtin_ctz(W) - 1], [](auto w, auto h) -> WeightUni8Fn {
    constexpr int kH = decltype(h)::value < MinH ? MinH : decltype(h)::value;  // lower: not installed
    return uni8_kernel<Ops, Uni8Ssse3, decltype(w)::value, kH>;
  });
}

template <int W, int MinH>
constexpr void fill_bi8(WeightKernels& k) {
  fill_from<W, MinH>(k.bi8[__builtin_ctz(W) - 1], [](auto w, auto h) -> WeightBi8Fn {
    constexpr int kH = decltype(h)::value < MinH ? MinH : decltype(h)::value;  // lower: not installed
    return bi8_kernel<Ops, Bi8Ssse3, decltype(w)::value, kH>;
  });
}

// 16-bit rows of W samples.
template <int W>
constexpr void fill_uni16(WeightKernels& k) {
  fill_heights<W>(k.uni16[__builtin_ctz(W) - 1], [](auto w, auto h) -> WeightUni16Fn {
    return uni16_kernel<Ops, decltype(w)::value, decltype(h)::value>;
  });
}

template <int W>
constexpr void fill_bi16(WeightKernels& k) {
  fill_heights<W>(k.bi16[__builtin_ctz(W) - 1], [](auto w, auto h) -> WeightBi16Fn {
    return bi16_kernel<Ops, decltype(w)::value, decltype(h)::value>;
  });
}

}  // namespace
}  // namespace KVN_ISA

// In place, one list: the two-row vectors of 16-byte rows pay only from 16
// rows on (fewer rows are bound by the latency of a row, which the blend of
// two rows lengthens).
constexpr void weight_init_avx2(WeightKernels& k) {
  KVN_ISA::fill_uni8<16, 16>(k);
  KVN_ISA::fill_uni8<32, 2>(k);
  KVN_ISA::fill_bi8<8, 4>(k);
  KVN_ISA::fill_bi8<16, 2>(k);
  KVN_ISA::fill_bi8<32, 2>(k);
  KVN_ISA::fill_uni16<16>(k);
  KVN_ISA::fill_bi16<8>(k);
  KVN_ISA::fill_bi16<16>(k);
  k.average16[14] = KVN_ISA::average16_kernel<KVN_ISA::Ops, 16>;
}

KVN_LEVEL_KERNELS(weight, WeightKernels);

}  // namespace kvn
