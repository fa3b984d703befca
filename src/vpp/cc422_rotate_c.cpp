// Scalar reference of the 4:2:2 to 4:2:0 conversion with rotation: the
// sample-by-sample rule of cc422_rotate.h over the whole region.
#include "vpp/cc422_rotate.h"

namespace kvn {
namespace {

template <int Rot, bool Planar>
void convert(const Cc422Src& s, int w, int h, const Cc422Dst& d) {
  scalar::cc422_rect<Rot, Planar>(s, w, h, d, 0, h, 0, w);
}

}  // namespace

constexpr Cc422RotateKernels kCc422RotateKernelsC = {
    {convert<0, false>, convert<1, false>, convert<2, false>, convert<3, false>},
    {convert<0, true>, convert<1, true>, convert<2, true>, convert<3, true>},
};

}  // namespace kvn
