// SSE4.1 kernels of H.264 weighted prediction (SSSE3 for the 8-bit samples:
// pmaddubsw forms x1 * w1 + x2 * w2 of a byte pair, pmulhrsw the rounded
// shift; SSE4.1 packusdw and pminuw clamp the 16-bit samples).
#include <smmintrin.h>

#include <cstddef>
#include <cstring>
#include <type_traits>
#include <utility>

#include "h264/inter/weight.h"

namespace kvn {
namespace sse41 {
namespace {

#include "h264/inter/weight_simd.h"

struct Ops : Io128 {
  static V zero() { return _mm_setzero_si128(); }
  static V set1_16(int x) { return _mm_set1_epi16(int16_t(x)); }
  static V set1_32(int32_t x) { return _mm_set1_epi32(x); }
  static V unpacklo8(V a, V b) { return _mm_unpacklo_epi8(a, b); }
  static V unpackhi8(V a, V b) { return _mm_unpackhi_epi8(a, b); }
  static V unpacklo16(V a, V b) { return _mm_unpacklo_epi16(a, b); }
  static V unpackhi16(V a, V b) { return _mm_unpackhi_epi16(a, b); }
  static V packus16(V a, V b) { return _mm_packus_epi16(a, b); }
  static V packus32(V a, V b) { return _mm_packus_epi32(a, b); }
  static V xor_(V a, V b) { return _mm_xor_si128(a, b); }
  static V adds16(V a, V b) { return _mm_adds_epi16(a, b); }
  static V mullo16(V a, V b) { return _mm_mullo_epi16(a, b); }
  static V mulhrs16(V a, V b) { return _mm_mulhrs_epi16(a, b); }
  static V maddubs(V a, V b) { return _mm_maddubs_epi16(a, b); }
  static V madd16(V a, V b) { return _mm_madd_epi16(a, b); }
  static V add32(V a, V b) { return _mm_add_epi32(a, b); }
  static V sra32(V a, __m128i n) { return _mm_sra_epi32(a, n); }
  static V avg_u16(V a, V b) { return _mm_avg_epu16(a, b); }
  static V min_u16(V a, V b) { return _mm_min_epu16(a, b); }
};

template <int W>
void fill8(WeightKernels& k) {
  constexpr int wi = __builtin_ctz(W) - 1;
  fill_heights<W>(k.uni8[wi], [](auto w, auto h) -> WeightUni8Fn {
    return uni8_kernel<Ops, Uni8Ssse3, decltype(w)::value, decltype(h)::value>;
  });
  fill_heights<W>(k.bi8[wi], [](auto w, auto h) -> WeightBi8Fn {
    return bi8_kernel<Ops, Bi8Ssse3, decltype(w)::value, decltype(h)::value>;
  });
}

template <int W>
void fill16(WeightKernels& k) {
  constexpr int wi = __builtin_ctz(W) - 1;
  fill_heights<W>(k.uni16[wi], [](auto w, auto h) -> WeightUni16Fn {
    return uni16_kernel<Ops, decltype(w)::value, decltype(h)::value>;
  });
  fill_heights<W>(k.bi16[wi], [](auto w, auto h) -> WeightBi16Fn {
    return bi16_kernel<Ops, decltype(w)::value, decltype(h)::value>;
  });
}

template <int... W>
void fill_average(WeightKernels& k, std::integer_sequence<int, W...>) {
  ((k.average16[W] = average16_kernel<Ops, W + 2>), ...);
}

}  // namespace
}  // namespace sse41

void weight_init_sse41(WeightKernels& k) {
  sse41::fill8<2>(k);
  sse41::fill8<4>(k);
  sse41::fill8<8>(k);
  sse41::fill8<16>(k);
  sse41::fill8<32>(k);
  k.bi8_any = sse41::bi8_any_kernel<sse41::Ops, sse41::Bi8Ssse3>;
  sse41::fill16<2>(k);
  sse41::fill16<4>(k);
  sse41::fill16<8>(k);
  sse41::fill16<16>(k);
  sse41::fill_average(k, std::make_integer_sequence<int, 15>());
}

}  // namespace kvn
