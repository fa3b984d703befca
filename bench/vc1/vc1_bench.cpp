// The VC-1 transform and quantiser kernels per kernel-table level: the scalar
// reference, then each SIMD level whose table has a kernel of its own.
#include <benchmark/benchmark.h>

#include <string>

#include "support/bench_levels.h"
#include "support/bench_support.h"
#include "vc1/quant_vc1.h"
#include "vc1/transform_vc1.h"
#include "vc1/vc1_data.h"

namespace {

using namespace kvn;
using kvnbench::Vc1Blocks;

constexpr int kStep = Vc1Blocks::kStep;
const char* const kShapeNames[kVc1Shapes] = {"4x4", "4x8", "8x4", "8x8"};

void register_all(Vc1Blocks& b) {
  const TransformVc1Kernels& (*t)(Isa) = transform_vc1_kernels;
  const QuantVc1Kernels& (*q)(Isa) = quant_vc1_kernels;
  for (int s = 0; s < kVc1Shapes; ++s) {
    const std::string shape = kShapeNames[s];
    const int w = vc1_width(s), h = vc1_height(s);
    kvnbench::add_levels(
        "TransformInv_VC1/" + shape + "/full", t, [s](const TransformVc1Kernels& k) { return k.inv[size_t(s)]; },
        [&b, w, h](Vc1InvFn fn) { fn(b.coef, kStep, b.out, kStep, w, h); });
    kvnbench::add_levels(
        "TransformInv_VC1/" + shape + "/2x2", t, [s](const TransformVc1Kernels& k) { return k.inv_quarter[size_t(s)]; },
        [&b](Vc1InvFn fn) { fn(b.coef, kStep, b.out, kStep, 2, 2); });
    kvnbench::add_levels(
        "TransformInv_VC1/" + shape + "/dc", t, [s](const TransformVc1Kernels& k) { return k.inv_dc[size_t(s)]; },
        [&b](Vc1InvDcFn fn) { fn(b.dc, b.out, kStep); });
    kvnbench::add_levels(
        "TransformFwd_VC1/" + shape, t, [s](const TransformVc1Kernels& k) { return k.fwd[size_t(s)]; },
        [&b](Vc1FwdFn fn) { fn(b.residual, kStep, b.out, kStep); });
  }
  for (int m = 0; m < kVc1QuantModes; ++m) {
    const std::string mode = m == kVc1Uniform ? "Uniform" : "Nonuniform";
    kvnbench::add_levels(
        "QuantIntra" + mode + "_VC1", q, [m](const QuantVc1Kernels& k) { return k.intra[size_t(m)]; },
        [&b](Vc1QuantIntraFn fn) { fn(b.fresh(b.coef), kStep, Vc1Blocks::kQ); });
    kvnbench::add_levels(
        "QuantInter" + mode + "_VC1/8x8", q, [m](const QuantVc1Kernels& k) { return k.inter[size_t(m)]; },
        [&b](Vc1QuantInterFn fn) { fn(b.fresh(b.coef), kStep, Vc1Blocks::kQ, 8, 8); });
    kvnbench::add_levels(
        "QuantInvIntra" + mode + "_VC1", q, [m](const QuantVc1Kernels& k) { return k.inv_intra[size_t(m)]; },
        [&b](Vc1QuantInvIntraFn fn) { benchmark::DoNotOptimize(fn(b.levels, kStep, b.out, kStep, Vc1Blocks::kQ)); });
    kvnbench::add_levels(
        "QuantInvInter" + mode + "_VC1/8x8", q, [m](const QuantVc1Kernels& k) { return k.inv_inter[size_t(m)]; },
        [&b](Vc1QuantInvInterFn fn) {
          benchmark::DoNotOptimize(fn(b.levels, kStep, b.out, kStep, Vc1Blocks::kQ, 8, 8));
        });
  }
}

}  // namespace

int main(int argc, char** argv) {
  static Vc1Blocks blocks;
  register_all(blocks);
  return kvnbench::run(argc, argv);
}
