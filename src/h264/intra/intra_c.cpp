// Scalar reference kernels of the H.264 8-bit intra predictors (H.264
// 8.3.1.2, 8.3.3, 8.3.4): the predictors of intra_pred.h at bit depth 8.
#include "h264/intra/intra.h"
#include "h264/intra/intra_pred.h"

namespace kvn {
namespace {

using namespace intra;

template <int Mode>
void p4(uint8_t* b, std::ptrdiff_t s, int32_t a) {
  pred4x4<Mode>(b, s, a, 8);
}
template <int Mode>
void p16(uint8_t* b, std::ptrdiff_t s, int32_t a) {
  pred16x16<Mode>(b, s, a, 8);
}
// 4:2:0 chroma: one left edge for the whole block.
template <int Mode>
void c8(uint8_t* b, std::ptrdiff_t s, int32_t a) {
  pred_chroma<8, Mode>(b, s, a, 8, kAvailLeft);
}

}  // namespace

constexpr IntraKernels kIntraKernelsC = {
    {p4<0>, p4<1>, p4<2>, p4<3>, p4<4>, p4<5>, p4<6>, p4<7>, p4<8>},
    {p16<0>, p16<1>, p16<2>, p16<3>},
    {c8<0>, c8<1>, c8<2>, c8<3>},
};

}  // namespace kvn
