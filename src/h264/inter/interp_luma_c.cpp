// Scalar reference kernels of the H.264 luma interpolation, sample by sample
// from the formulas of H.264 8.4.2.2.1 (interp_luma.h). The SIMD kernels are
// checked against these.
#include "h264/inter/interp_luma.h"

namespace kvn {
namespace {

template <class T, int W, int F>
void luma_ref(const T* src, ptrdiff_t srcStep, T* dst, ptrdiff_t dstStep, int height, int32_t maxValue) {
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < W; ++x)
      dst[y * dstStep + x] = T(h264::luma_sample(src + y * srcStep + x, srcStep, F & 3, F >> 2, maxValue));
}

template <int W>
struct Ref8 {
  template <int F>
  static constexpr Luma8Fn fn() {
    return [](const uint8_t* s, ptrdiff_t ss, uint8_t* d, ptrdiff_t ds, int h) {
      luma_ref<uint8_t, W, F>(s, ss, d, ds, h, 255);
    };
  }
};

template <int W>
struct Ref16 {
  template <int F>
  static constexpr Luma16Fn fn() {
    return &luma_ref<uint16_t, W, F>;
  }
};

constexpr InterpLumaKernels make_reference() {
  InterpLumaKernels k{};
  fill_fractions<Ref8<4>>(k.luma8[0]);
  fill_fractions<Ref8<8>>(k.luma8[1]);
  fill_fractions<Ref8<12>>(k.luma8[2]);
  fill_fractions<Ref8<16>>(k.luma8[3]);
  fill_fractions<Ref16<4>>(k.luma16[0]);
  fill_fractions<Ref16<8>>(k.luma16[1]);
  fill_fractions<Ref16<12>>(k.luma16[2]);
  fill_fractions<Ref16<16>>(k.luma16[3]);
  return k;
}

}  // namespace

constexpr InterpLumaKernels kInterpLumaKernelsC = make_reference();

}  // namespace kvn
