// The AVS kernels per kernel-table level: the block decoders (scalar only;
// 64 realistic blocks a run, coefficients per second reported) and the 8x8
// reconstruction of each path, scalar then SIMD.
#include <benchmark/benchmark.h>

#include <string>

#include "avs/avs_data.h"
#include "avs/avs_vlc.h"
#include "avs/recon_avs.h"
#include "support/bench_levels.h"
#include "support/bench_support.h"

namespace {

using namespace kvn;

struct Inputs {
  kvnbench::AvsStream streams[3] = {kvnbench::avs_stream(avs::kAvsIntraLuma, 64, 1),
                                    kvnbench::avs_stream(avs::kAvsInterLuma, 64, 2),
                                    kvnbench::avs_stream(avs::kAvsChroma, 64, 3)};
  kvnbench::AvsCoefficients dense{true};
  uint8_t picture[16 * 16] = {};
};

void register_all(Inputs& in) {
  const char* const names[3] = {"DecodeLumaBlockIntra_AVS", "DecodeLumaBlockInter_AVS", "DecodeChromaBlock_AVS"};
  for (int d = 0; d < 3; ++d) {
    benchmark::RegisterBenchmark((std::string(names[d]) + "/64 blocks/c").c_str(), [&in, d](benchmark::State& st) {
      const AvsVlcKernels& k = kAvsVlcKernelsC;
      const AvsBlockDecodeFn fn = d == 0 ? k.intra_luma : d == 1 ? k.inter_luma : k.chroma;
      const kvnbench::AvsStream& s = in.streams[d];
      int16_t blk[64];
      uint32_t count;
      for (auto _ : st) {
        const uint32_t* p = s.words.data();
        uint32_t idx = 31;
        for (int b = 0; b < s.blocks; ++b) fn(&p, &idx, &count, blk, 0);
        benchmark::DoNotOptimize(blk);
      }
      st.counters["coef/s"] = benchmark::Counter(double(s.coefficients), benchmark::Counter::kIsIterationInvariantRate);
    });
  }
  const char* const paths[kAvsPaths] = {"full", "corner", "dc"};
  const ReconAvsKernels& (*t)(Isa) = recon_avs_kernels;
  for (int p = 0; p < kAvsPaths; ++p)
    kvnbench::add_levels(
        std::string("ReconstructBlock_AVS/") + paths[p], t,
        [p](const ReconAvsKernels& k) { return k.block[size_t(p)]; },
        [&in](AvsBlockReconFn fn) { fn(in.dense.coef.data(), in.picture, 16, 42495, 12); });
}

}  // namespace

int main(int argc, char** argv) {
  static Inputs inputs;
  register_all(inputs);
  return kvnbench::run(argc, argv);
}
