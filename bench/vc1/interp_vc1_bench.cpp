// The VC-1 interpolation and range-map kernels per kernel-table level:
// bicubic 16x16 and 8x8 at (1, 1), (2, 2), (3, 1) (and the one-direction
// positions), bilinear chroma 8x8 (one channel and interleaved), range map of
// a 16x16 area.
#include <benchmark/benchmark.h>

#include <string>

#include "support/bench_levels.h"
#include "support/bench_support.h"
#include "vc1/interp_vc1.h"

namespace {

using namespace kvn;

constexpr int kStep = kvnbench::Picture::kStep;

void register_all(kvnbench::Buffers& b) {
  const InterpVc1Kernels& (*t)(Isa) = interp_vc1_kernels;
  const uint8_t* src = b.fwd.block();
  uint8_t* dst = b.dst.block();
  const int pos[][2] = {{1, 1}, {2, 2}, {3, 1}, {2, 0}, {0, 3}};
  for (int size : {2, 0})
    for (const auto& p : pos) {
      const int dx = p[0], dy = p[1], kind = vc1_kind(dx, dy);
      kvnbench::add_levels(
          "Bicubic" + std::to_string(kVc1BicubicW[size]) + "x" + std::to_string(kVc1BicubicH[size]) + "/" +
              std::to_string(dx) + std::to_string(dy),
          t, [size, kind](const InterpVc1Kernels& k) { return k.bicubic[size][kind]; },
          [=](Vc1InterpFn fn) { fn(src, kStep, dst, kStep, dx, dy, 0); });
    }
  for (const auto& p : {std::pair{1, 3}, std::pair{2, 2}, std::pair{2, 0}}) {
    const int dx = p.first, dy = p.second, kind = vc1_kind(dx, dy);
    const std::string at = "/" + std::to_string(dx) + std::to_string(dy);
    kvnbench::add_levels(
        "BilinearC1_8x8" + at, t, [kind](const InterpVc1Kernels& k) { return k.bilinear_c1[1][kind]; },
        [=](Vc1InterpFn fn) { fn(src, kStep, dst, kStep, dx, dy, 0); });
    kvnbench::add_levels(
        "BilinearC2_8x8" + at, t, [kind](const InterpVc1Kernels& k) { return k.bilinear_c2[0][kind]; },
        [=](Vc1InterpFn fn) { fn(src, kStep, dst, kStep, dx, dy, 0); });
  }
  kvnbench::add_levels(
      "RangeMap16x16", t, [](const InterpVc1Kernels& k) { return k.range_map; },
      [=](Vc1RangeMapFn fn) { fn(src, kStep, dst, kStep, 16, 16, 7); });
}

}  // namespace

int main(int argc, char** argv) {
  static kvnbench::Buffers buffers;
  register_all(buffers);
  return kvnbench::run(argc, argv);
}
