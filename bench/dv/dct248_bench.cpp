// The DV transform kernels per kernel-table level: the scalar reference, then
// each SIMD level whose table has a kernel of its own. The in-place kernels
// work on a fresh copy of a coefficient block before each call (at every level
// alike).
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>

#include "dv/dct248.h"
#include "support/bench_levels.h"
#include "support/bench_support.h"

namespace {

using namespace kvn;

struct Blocks {
  alignas(16) int16_t src[64], work[64], weight[64];
  alignas(16) uint16_t deq[64];
  Blocks() {
    std::mt19937 rng(248);
    for (int i = 0; i < 64; ++i) {
      src[i] = int16_t(int(rng() % 512) - 256);
      weight[i] = int16_t(8192 + rng() % 24000);
      deq[i] = uint16_t(1 + rng() % 52);
    }
  }
  int16_t* fresh() {
    std::memcpy(work, src, sizeof src);
    return work;
  }
};

void register_all(Blocks& b) {
  const Dct248Kernels& (*d)(Isa) = dct248_kernels;
  kvnbench::add_levels(
      "DCT2x4x8Inv_16s_C1I", d, [](const Dct248Kernels& k) { return k.inv; }, [&b](Dct248Fn fn) { fn(b.fresh()); });
  kvnbench::add_levels(
      "DCT2x4x8Frw_16s_C1I", d, [](const Dct248Kernels& k) { return k.fwd; }, [&b](Dct248Fn fn) { fn(b.fresh()); });
  kvnbench::add_levels(
      "QuantWeightBlockInv_DV100_16s_C1I", d, [](const Dct248Kernels& k) { return k.dv100_weight; },
      [&b](Dv100WeightFn fn) { fn(b.fresh(), b.deq, b.weight); });
}

}  // namespace

int main(int argc, char** argv) {
  static Blocks blocks;
  register_all(blocks);
  return kvnbench::run(argc, argv);
}
