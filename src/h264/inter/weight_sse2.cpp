// SSE2 kernels of H.264 weighted prediction for 8-bit samples: 16-bit lanes,
// products by pmullw, and the rounded shift through the unsigned average:
// with u = v + 32768, pavgw(u, 2^(s-1) - 1) >> (s - 1) is
// floor((v + 2^(s-1)) / 2^s) + 2^(15-s) exactly, no lane overflowing.
#include <emmintrin.h>

#include <cstddef>

#include "h264/inter/weight.h"
#include "h264/inter/weight_simd.h"

namespace kvn {
namespace KVN_ISA {
namespace {

using namespace weight;
using V = __m128i;

// The rows and lanes of weight_simd.h as a class of this file.
struct Ops : Io128 {};

// The rounded shift by s >= 1.
struct Rounding {
  V sign, half, bias;
  __m128i count;
  explicit Rounding(int32_t s)
      : sign(_mm_set1_epi16(-32768)),
        half(_mm_set1_epi16(int16_t(s ? (1 << (s - 1)) - 1 : 0))),
        bias(_mm_set1_epi16(int16_t(s ? 1 << (15 - s) : 0))),
        count(_mm_cvtsi32_si128(s ? s - 1 : 0)) {}
  V operator()(V v) const {
    return _mm_sub_epi16(_mm_srl_epi16(_mm_avg_epu16(_mm_xor_si128(v, sign), half), count), bias);
  }
};

// 16-bit lanes alternating the signed bytes b0, b1 of a packed word.
inline V lanes16(uint32_t packed, int b0, int b1) {
  return _mm_set1_epi32(
      int32_t(uint32_t(uint16_t(int8_t(packed >> (8 * b0)))) | uint32_t(uint16_t(int8_t(packed >> (8 * b1)))) << 16));
}

template <class P>
struct Uni8 {
  V w, o;
  Rounding round;
  Uni8(uint32_t weights, int32_t shift) : w(lanes16(weights, 0, 2)), o(lanes16(weights, 1, 3)), round(shift) {}
  template <bool Round>
  V half(V x) const {
    V v = _mm_mullo_epi16(x, w);
    if (Round) v = round(v);
    return _mm_adds_epi16(v, o);
  }
  template <bool Round>
  V operator()(V x) const {
    const V z = _mm_setzero_si128();
    return _mm_packus_epi16(half<Round>(_mm_unpacklo_epi8(x, z)), half<Round>(_mm_unpackhi_epi8(x, z)));
  }
};

template <class P>
struct Bi8 {
  V w1, w2, o;
  Rounding round;
  Bi8(uint32_t weights, uint32_t offsets, int32_t shift)
      : w1(lanes16(weights, 0, 2)), w2(lanes16(weights, 1, 3)), o(_mm_set1_epi32(int32_t(offsets))), round(shift) {}
  template <bool Round>
  V half(V x1, V x2) const {
    V v = _mm_add_epi16(_mm_mullo_epi16(x1, w1), _mm_mullo_epi16(x2, w2));
    if (Round) v = round(v);
    return _mm_adds_epi16(v, o);
  }
  template <bool Round>
  V operator()(V x1, V x2) const {
    const V z = _mm_setzero_si128();
    return _mm_packus_epi16(half<Round>(_mm_unpacklo_epi8(x1, z), _mm_unpacklo_epi8(x2, z)),
                            half<Round>(_mm_unpackhi_epi8(x1, z), _mm_unpackhi_epi8(x2, z)));
  }
};

template <int W>
constexpr void fill_width(WeightKernels& k) {
  constexpr int wi = __builtin_ctz(W) - 1;
  fill_heights<W>(k.uni8[wi], [](auto w, auto h) -> WeightUni8Fn {
    return uni8_kernel<Ops, Uni8, decltype(w)::value, decltype(h)::value>;
  });
  fill_heights<W>(k.bi8[wi], [](auto w, auto h) -> WeightBi8Fn {
    return bi8_kernel<Ops, Bi8, decltype(w)::value, decltype(h)::value>;
  });
}

}  // namespace
}  // namespace KVN_ISA

constexpr void weight_init_sse2(WeightKernels& k) {
  KVN_ISA::fill_width<2>(k);
  KVN_ISA::fill_width<4>(k);
  KVN_ISA::fill_width<8>(k);
  KVN_ISA::fill_width<16>(k);
  KVN_ISA::fill_width<32>(k);
  k.bi8_any = KVN_ISA::bi8_any_kernel<KVN_ISA::Ops, KVN_ISA::Bi8>;
}

KVN_LEVEL_KERNELS(weight, WeightKernels);

}  // namespace kvn
