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
  // A decoder's pair on an inter 8x8 block: dequantise (reporting the
  // region), then the inverse transform's kernel for that region, per level.
  for (int i = 0; i < int(Isa::kCount); ++i) {
    const Isa isa = Isa(i);
    if (!isa_supported(isa)) continue;
    const QuantVc1Kernels& qk = q(isa);
    const TransformVc1Kernels& tk = t(isa);
    benchmark::RegisterBenchmark(("QuantInvInter+TransformInv_VC1/8x8/" + std::string(isa_name(isa))).c_str(),
                                 [&b, &qk, &tk](benchmark::State& st) {
                                   for (auto _ : st) {
                                     const KvnSize nz = qk.inv_inter[kVc1Nonuniform](b.levels, kStep, b.work, kStep,
                                                                                     Vc1Blocks::kQ, 8, 8);
                                     if (nz.width <= 1 && nz.height <= 1)
                                       tk.inv_dc[kVc1_8x8](b.work, b.out, kStep);
                                     else if (nz.width <= 4 && nz.height <= 4)
                                       tk.inv_quarter[kVc1_8x8](b.work, kStep, b.out, kStep, nz.width, nz.height);
                                     else
                                       tk.inv[kVc1_8x8](b.work, kStep, b.out, kStep, nz.width, nz.height);
                                     benchmark::ClobberMemory();
                                   }
                                 });
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
