// The DV transform exported calls, whole: entry stub, checks, kernel.
#include <benchmark/benchmark.h>

#include "kvnvc.h"
#include "support/bench_api.h"
#include "support/bench_support.h"

namespace {

struct Blocks {
  alignas(16) Kvn16s block[64], weight[64];
  alignas(16) Kvn16u deq[64];
  Blocks() {
    for (int i = 0; i < 64; ++i) block[i] = Kvn16s((i * 37) % 200 - 100), weight[i] = 16384, deq[i] = 4;
  }
};

void register_all(Blocks& b) {
  // Inverse after forward keeps the block in range from call to call.
  kvnbench::add_api("DCT2x4x8Frw+Inv_16s_C1I", [&b] {
    kvniDCT2x4x8Frw_16s_C1I(b.block);
    return kvniDCT2x4x8Inv_16s_C1I(b.block);
  });
  kvnbench::add_api("QuantWeightBlockInv_DV100_16s_C1I",
                    [&b] { return kvniQuantWeightBlockInv_DV100_16s_C1I(b.block, b.deq, b.weight); });
}

}  // namespace

int main(int argc, char** argv) {
  static Blocks blocks;
  register_all(blocks);
  return kvnbench::run(argc, argv);
}
