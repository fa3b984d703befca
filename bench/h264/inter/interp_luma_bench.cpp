// The luma interpolation kernels per kernel-table level: 16x16 at the
// full-sample, half-sample, centre and quarter positions, 8x8 half and
// centre, the 10-bit 16x16 centre.
#include <benchmark/benchmark.h>

#include <string>

#include "h264/inter/interp_luma.h"
#include "support/bench_levels.h"
#include "support/bench_support.h"

namespace {

using namespace kvn;

constexpr int kStep = kvnbench::Picture::kStep;

struct Buffers {
  kvnbench::Buffers b;
  alignas(64) uint16_t ref16[64 * kStep];
  alignas(64) uint16_t dst16[64 * kStep];
  Buffers() {
    for (int i = 0; i < 64 * kStep; ++i) ref16[i] = uint16_t((b.fwd.bytes[i] << 2) | (i & 3));
  }
};

void register_all(Buffers& buf) {
  const auto tables = [](Isa isa) -> const auto& { return interp_luma_kernels(isa); };
  struct Case {
    int w, dx, dy;
  };
  for (Case c : {Case{16, 0, 0}, {16, 2, 0}, {16, 0, 2}, {16, 2, 2}, {16, 1, 1}, {16, 2, 1}, {8, 2, 0}, {8, 2, 2}}) {
    const int wi = luma_width_index(c.w), f = 4 * c.dy + c.dx;
    const uint8_t* s = buf.b.fwd.block();
    uint8_t* d = buf.b.dst.block();
    const std::string group =
        "Luma" + std::to_string(c.w) + "x" + std::to_string(c.w) + "/" + std::to_string(c.dx) + std::to_string(c.dy);
    kvnbench::add_levels(
        group, tables, [=](const InterpLumaKernels& k) { return k.luma8[wi][f]; },
        [=](Luma8Fn fn) { fn(s, kStep, d, kStep, c.w); });
  }
  const uint16_t* s16 = buf.ref16 + 16 * kStep + 16;
  uint16_t* d16 = buf.dst16 + 16 * kStep + 16;
  kvnbench::add_levels(
      "Luma10_16x16/22", tables, [](const InterpLumaKernels& k) { return k.luma16[3][10]; },
      [=](Luma16Fn fn) { fn(s16, kStep, d16, kStep, 16, 1023); });
}

}  // namespace

int main(int argc, char** argv) {
  static Buffers buffers;
  register_all(buffers);
  return kvnbench::run(argc, argv);
}
