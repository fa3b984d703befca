// Scalar reference kernels of the intra predictors for any bit depth (H.264
// 8.3.1.2, 8.3.2.2, 8.3.3, 8.3.4): the predictors of intra_pred.h on 16-bit
// samples, and on 8-bit samples for the 4:2:2 chroma.
#include "h264/intra/intra_hbd.h"
#include "h264/intra/intra_pred.h"

namespace kvn {
namespace {

using namespace intra;

template <int Mode>
void p4(uint16_t* b, std::ptrdiff_t s, int32_t a, int32_t bd) {
  pred4x4<Mode>(b, s, a, bd);
}
template <int Mode>
void p8(uint16_t* b, std::ptrdiff_t s, int32_t a, int32_t bd) {
  pred8x8<Mode>(b, s, a, bd);
}
template <int Mode>
void p16(uint16_t* b, std::ptrdiff_t s, int32_t a, int32_t bd) {
  pred16x16<Mode>(b, s, a, bd);
}
// Chroma, 8 x H: the lower half's left neighbours with kAvailLeftLower.
template <int H, int Mode>
void c(uint16_t* b, std::ptrdiff_t s, int32_t a, int32_t bd) {
  pred_chroma<H, Mode>(b, s, a, bd, kAvailLeftLower);
}
template <int Mode>
void c8u(uint8_t* b, std::ptrdiff_t s, int32_t a) {
  pred_chroma<16, Mode>(b, s, a, 8, kAvailLeftLower);
}

}  // namespace

constexpr IntraHbdKernels kIntraHbdKernelsC = {
    {p4<0>, p4<1>, p4<2>, p4<3>, p4<4>, p4<5>, p4<6>, p4<7>, p4<8>},
    {p8<0>, p8<1>, p8<2>, p8<3>, p8<4>, p8<5>, p8<6>, p8<7>, p8<8>},
    {p16<0>, p16<1>, p16<2>, p16<3>},
    {c<8, 0>, c<8, 1>, c<8, 2>, c<8, 3>},
    {c<16, 0>, c<16, 1>, c<16, 2>, c<16, 3>},
    {c8u<0>, c8u<1>, c8u<2>, c8u<3>},
};

}  // namespace kvn
