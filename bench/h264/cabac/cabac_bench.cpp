// CABAC residual block kernels per table level: a 4x4 luma block with about 5
// nonzero coefficients and an 8x8 block with about 16, one block per call
// (the state restarted every kCallsPerSlice calls, outside the timing only
// in the sense that it costs about a microsecond per 4096 blocks).
#include <benchmark/benchmark.h>

#include "cabac_data.h"
#include "h264/cabac/cabac.h"
#include "support/bench_levels.h"
#include "support/bench_support.h"

namespace {

using namespace cabacbench;

struct Data {
  Coder coder;
  int calls = 0;
  Blocks<int16_t> luma16{16, 5, 2}, b8x8_16{64, 16, 3};
  Blocks<int32_t> luma32{16, 5, 2}, b8x8_32{64, 16, 3};
};

template <class T, class Slot>
void add_block(Data& d, const std::string& name, const Blocks<T>& b, int cat, Slot slot) {
  kvnbench::add_levels(
      name, [](kvn::Isa isa) -> const auto& { return kvn::cabac_kernels(isa); }, slot,
      [&d, &b, cat](auto fn) {
        if (++d.calls == kCallsPerSlice) {
          d.calls = 0;
          d.coder.restart();
        }
        const int k = d.calls % kBlocks;
        const kvn::CabacBlock blk{b.last[size_t(k)], cat, 0, false};
        benchmark::DoNotOptimize(fn(b.block(k), blk, d.coder.state));
      });
}

}  // namespace

int main(int argc, char** argv) {
  static Data d;
  const auto s16 = [](const kvn::CabacKernels& t) { return t.residual16s; };
  const auto s32 = [](const kvn::CabacKernels& t) { return t.residual32s; };
  add_block(d, "Residual4x4_16s", d.luma16, 2, s16);
  add_block(d, "Residual4x4_32s", d.luma32, 2, s32);
  add_block(d, "Residual8x8_16s", d.b8x8_16, 5, s16);
  add_block(d, "Residual8x8_32s", d.b8x8_32, 5, s32);
  return kvnbench::run(argc, argv);
}
