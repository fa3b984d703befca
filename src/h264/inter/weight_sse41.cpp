// SSE4.1 kernels of H.264 weighted prediction (SSSE3 for the 8-bit samples:
// pmaddubsw forms x1 * w1 + x2 * w2 of a byte pair, pmulhrsw the rounded
// shift; SSE4.1 packusdw and pminuw clamp the 16-bit samples).
#include <smmintrin.h>

#include <cstddef>
#include <utility>

#include "h264/inter/weight.h"
#include "h264/inter/weight_simd.h"

namespace kvn {
namespace KVN_ISA {
namespace {

using namespace weight;

// The rows and lanes of weight_simd.h as a class of this file.
struct Ops : Io128 {};

template <int W>
constexpr void fill8(WeightKernels& k) {
  constexpr int wi = __builtin_ctz(W) - 1;
  fill_heights<W>(k.uni8[wi], [](auto w, auto h) -> WeightUni8Fn {
    return uni8_kernel<Ops, Uni8Ssse3, decltype(w)::value, decltype(h)::value>;
  });
  fill_heights<W>(k.bi8[wi], [](auto w, auto h) -> WeightBi8Fn {
    return bi8_kernel<Ops, Bi8Ssse3, decltype(w)::value, decltype(h)::value>;
  });
}

template <int W>
constexpr void fill16(WeightKernels& k) {
  constexpr int wi = __builtin_ctz(W) - 1;
  fill_heights<W>(k.uni16[wi], [](auto w, auto h) -> WeightUni16Fn {
    return uni16_kernel<Ops, decltype(w)::value, decltype(h)::value>;
  });
  fill_heights<W>(k.bi16[wi], [](auto w, auto h) -> WeightBi16Fn {
    return bi16_kernel<Ops, decltype(w)::value, decltype(h)::value>;
  });
}

template <int... W>
constexpr void fill_average(WeightKernels& k, std::integer_sequence<int, W...>) {
  ((k.average16[W] = average16_kernel<Ops, W + 2>), ...);
}

}  // namespace
}  // namespace KVN_ISA

constexpr void weight_init_sse41(WeightKernels& k) {
  KVN_ISA::fill8<2>(k);
  KVN_ISA::fill8<4>(k);
  KVN_ISA::fill8<8>(k);
  KVN_ISA::fill8<16>(k);
  KVN_ISA::fill8<32>(k);
  k.bi8_any = KVN_ISA::bi8_any_kernel<KVN_ISA::Ops, KVN_ISA::Bi8Ssse3>;
  KVN_ISA::fill16<2>(k);
  KVN_ISA::fill16<4>(k);
  KVN_ISA::fill16<8>(k);
  KVN_ISA::fill16<16>(k);
  KVN_ISA::fill_average(k, std::make_integer_sequence<int, 15>());
}

KVN_LEVEL_KERNELS(weight, WeightKernels);

}  // namespace kvn
