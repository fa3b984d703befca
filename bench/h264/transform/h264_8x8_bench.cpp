// The H.264 8x8 transform and intra kernels per kernel-table level: the
// scalar reference, then each SIMD level whose table has a kernel of its own.
#include <benchmark/benchmark.h>

#include <string>

#include "h264/intra/intra.h"
#include "h264/transform/transform8x8.h"
#include "h264_8x8_data.h"
#include "support/bench_levels.h"
#include "support/bench_support.h"

namespace {

using namespace kvn;
using kvnbench::H264Blocks8x8;

constexpr int kStep = H264Blocks8x8::kStep;
const char* const k4x4Names[9] = {"V", "H", "DC", "DDL", "DDR", "VR", "HD", "VL", "HU"};
const char* const k16Names[4] = {"V", "H", "DC", "Plane"};
const char* const kChromaNames[4] = {"DC", "H", "V", "Plane"};

void register_all(H264Blocks8x8& b) {
  const Transform8x8Kernels& (*t)(Isa) = transform8x8_kernels;
  const IntraKernels& (*in)(Isa) = intra_kernels;
  kvnbench::add_levels(
      "TransformFwdLuma8x8_16s", t, [](const Transform8x8Kernels& k) { return k.fwd16s; },
      [&b](Fwd8x8_16sFn fn) { fn(b.residual, b.coeffs); });
  kvnbench::add_levels(
      "QuantLuma8x8_16s", t, [](const Transform8x8Kernels& k) { return k.quant16s; },
      [&b](Quant8x8_16sFn fn) {
        int32_t n, last;
        fn(b.coeffs, b.levels, H264Blocks8x8::kQ6, 1, b.scan, b.fwd, &n, &last);
        benchmark::DoNotOptimize(n + last);
      });
  kvnbench::add_levels(
      "QuantLuma8x8Inv_16s", t, [](const Transform8x8Kernels& k) { return k.dequant16s; },
      [&b](Dequant8x8_16sFn fn) { fn(b.work, H264Blocks8x8::kQ6, b.inv); });
  kvnbench::add_levels(
      "TransformLuma8x8InvAddPred_8u", t, [](const Transform8x8Kernels& k) { return k.inv_add8u; },
      [&b](InvAdd8uFn fn) { fn(b.block(), kStep, b.levels, b.block(), kStep); });
  kvnbench::add_levels(
      "TransformInvAddPredLuma8x8_16u", t, [](const Transform8x8Kernels& k) { return k.inv_add16u; },
      [&b](InvAdd16uFn fn) { fn(b.pred16, 16, b.work32, b.dst16, 16, 1023); });
  for (int m = 0; m < 9; ++m)
    kvnbench::add_levels(
        std::string("PredictIntra4x4/") + k4x4Names[m], in, [m](const IntraKernels& k) { return k.pred4x4[m]; },
        [&b](IntraFn fn) { fn(b.block(), kStep, 0x63); });
  for (int m = 0; m < 4; ++m) {
    kvnbench::add_levels(
        std::string("PredictIntra16x16/") + k16Names[m], in, [m](const IntraKernels& k) { return k.pred16x16[m]; },
        [&b](IntraFn fn) { fn(b.block(), kStep, 0x23); });
    kvnbench::add_levels(
        std::string("PredictIntraChroma8x8/") + kChromaNames[m], in,
        [m](const IntraKernels& k) { return k.chroma8x8[m]; }, [&b](IntraFn fn) { fn(b.block(), kStep, 0x23); });
  }
}

}  // namespace

int main(int argc, char** argv) {
  static H264Blocks8x8 blocks;
  register_all(blocks);
  return kvnbench::run(argc, argv);
}
