// The deinterlacing and 4:2:2 to 4:2:0 kernels per kernel-table level:
// the interpolated rows of a 720 x 288 field, and a 720 x 576 frame converted
// at every rotation from both source forms.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "support/bench_levels.h"
#include "support/bench_support.h"
#include "vpp/cc422_rotate.h"
#include "vpp/deinterlace.h"

namespace {

using namespace kvn;

constexpr int kW = 720, kH = 576, kFieldH = 288;

struct Frames {
  std::vector<uint8_t> src = std::vector<uint8_t>(size_t(2 * kW * (kH + 2)));
  std::vector<uint8_t> dst = std::vector<uint8_t>(size_t(2 * kW * kH));
  Frames() {
    uint32_t s = 12345;
    for (auto& v : src) v = uint8_t((s = s * 1103515245u + 12345u) >> 24);
  }
};

void register_all(Frames& f) {
  const DeinterlaceKernels& (*di)(Isa) = deinterlace_kernels;
  const Cc422RotateKernels& (*cc)(Isa) = cc422_rotate_kernels;
  kvnbench::add_levels(
      "DeinterlaceEdgeDetect/720x288", di, [](const DeinterlaceKernels& k) { return k.edge_row; },
      [&f](DeinterlaceRowFn fn) {
        const uint8_t* s = f.src.data();
        for (int k = 0; k < kFieldH; ++k) fn(s + k * kW, s + (k + 1) * kW, s + k * kW, f.dst.data() + k * kW, kW);
      });
  const char* const rot[4] = {"/rot0", "/rot1", "/rot2", "/rot3"};
  for (int r = 0; r < 4; ++r) {
    const bool q = r == 1 || r == 2;
    const int dw = q ? kH : kW, dh = q ? kW : kH;
    uint8_t* y = f.dst.data();
    const Cc422Dst d = {{y, y + dw * dh, y + dw * dh + dw * dh / 4}, {dw, dw / 2, dw / 2}};
    const uint8_t* s = f.src.data();
    const Cc422Src c2 = {{s, nullptr, nullptr}, {2 * kW, 0, 0}};
    const Cc422Src p3 = {{s, s + kW * kH, s + kW * kH + kW * kH / 2}, {kW, kW / 2, kW / 2}};
    kvnbench::add_levels(
        std::string("CbYCr422ToYCbCr420_Rotate_C2P3/720x576") + rot[r], cc,
        [r](const Cc422RotateKernels& k) { return k.c2p3[r]; }, [=](Cc422Fn fn) { fn(c2, kW, kH, d); });
    kvnbench::add_levels(
        std::string("CbYCr422ToYCbCr420_Rotate_P3/720x576") + rot[r], cc,
        [r](const Cc422RotateKernels& k) { return k.p3[r]; }, [=](Cc422Fn fn) { fn(p3, kW, kH, d); });
  }
}

}  // namespace

int main(int argc, char** argv) {
  static Frames frames;
  register_all(frames);
  return kvnbench::run(argc, argv);
}
