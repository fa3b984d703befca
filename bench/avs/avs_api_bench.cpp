// The AVS public calls: an inter luma and a chroma macroblock reconstructed
// with all four blocks coded, dense (full path) and sparse (corner path), at
// the level the library chose (KVNVC_CPU=c gives the scalar kernels).
#include <benchmark/benchmark.h>

#include "avs/avs_data.h"
#include "kvnvc.h"
#include "support/bench_support.h"

namespace {

void recon(benchmark::State& st, bool chroma, bool dense) {
  const kvnbench::AvsCoefficients c(dense);
  uint8_t y[16 * 16] = {}, u[8 * 16] = {}, v[8 * 16] = {};
  for (auto _ : st) {
    Kvn16s* p = const_cast<Kvn16s*>(c.coef.data());
    if (chroma)
      kvniReconstructChromaInter_AVS_16s8u_C1R(&p, u, v, 8, c.counts, 0xF, 30);
    else
      kvniReconstructLumaInter_AVS_16s8u_C1R(&p, y, 16, c.counts, 0xF, 30);
    benchmark::ClobberMemory();
  }
}

}  // namespace

BENCHMARK_CAPTURE(recon, ReconstructLumaInter_AVS / full, false, true);
BENCHMARK_CAPTURE(recon, ReconstructLumaInter_AVS / sparse, false, false);
BENCHMARK_CAPTURE(recon, ReconstructChromaInter_AVS / full, true, true);
BENCHMARK_CAPTURE(recon, ReconstructChromaInter_AVS / sparse, true, false);

int main(int argc, char** argv) { return kvnbench::run(argc, argv); }
