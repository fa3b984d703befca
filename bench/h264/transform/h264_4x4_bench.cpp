// The H.264 4x4 and DC kernels per kernel-table level: the scalar reference,
// then each SIMD level whose table has a kernel of its own for the slot.
#include <benchmark/benchmark.h>

#include <string>

#include "h264/transform/dc.h"
#include "h264/transform/dequant4x4.h"
#include "h264/transform/quant4x4.h"
#include "h264_4x4_data.h"
#include "support/bench_levels.h"
#include "support/bench_support.h"

namespace {

using namespace kvn;
using kvnbench::H264Blocks;

constexpr int kStep = H264Blocks::kStep;

template <class Table, class Slot, class Call>
void add(const std::string& group, const Table& (*tables)(Isa), Slot slot, Call call) {
  kvnbench::add_levels(group, tables, slot, call);
}

void register_all(H264Blocks& b) {
  const Quant4x4Kernels& (*q)(Isa) = quant4x4_kernels;
  const Dequant4x4Kernels& (*d)(Isa) = dequant4x4_kernels;
  const DcKernels& (*dc)(Isa) = dc_kernels;
  add(
      "TransformQuantFwd4x4_16s", q, [](const Quant4x4Kernels& k) { return k.tq16s; },
      [&b](TqFwd16sFn fn) {
        int32_t n, last;
        fn(b.residual, b.out, 28, &n, 0, b.scan, &last, nullptr);
        benchmark::DoNotOptimize(n + last);
      });
  add(
      "QuantizeResidual4x4Fwd_16s", q, [](const Quant4x4Kernels& k) { return k.quant16s; },
      [&b](Quant16sFn fn) {
        int32_t n, last;
        fn(b.residual, b.out, &n, &last, nullptr, b.scan, 28, 0);
        benchmark::DoNotOptimize(n + last);
      });
  add(
      "TransformQuantInvAddPred4x4_16s", d, [](const Dequant4x4Kernels& k) { return k.inv_add16s; },
      [&b](InvAddPred16sFn fn) { fn(b.pred, kStep, b.work, nullptr, b.dst, kStep, 28, 1, nullptr); });
  add(
      "DequantTransformResidualAndAdd", d, [](const Dequant4x4Kernels& k) { return k.dequant_add; },
      [&b](DequantAddFn fn) { fn(b.pred, b.work, nullptr, b.dst, kStep, kStep, 28, 1); });
  add(
      "TransformQuantFwdLumaDC4x4_16s", dc, [](const DcKernels& k) { return k.fwd_luma16s; },
      [&b](FwdLumaDc16sFn fn) {
        int32_t n, last;
        fn(b.work, b.out, 28, &n, 1, b.scan, &last, nullptr);
        benchmark::DoNotOptimize(n + last);
      });
  add(
      "TransformQuantInvLumaDC4x4_16s", dc, [](const DcKernels& k) { return k.inv_luma16s; },
      [&b](InvDc16sFn fn) { fn(b.work, 28, nullptr); });
}

}  // namespace

int main(int argc, char** argv) {
  static H264Blocks blocks;
  for (int i = 0; i < 16; ++i) blocks.work[i] = blocks.levels[i];
  register_all(blocks);
  return kvnbench::run(argc, argv);
}
