// The DV kernels per kernel-table level: the segment decoders (scalar only),
// one segment a call, cycling over segments at typical fill; the
// dequantisers on a fresh block each call (at every level alike).
#include <benchmark/benchmark.h>

#include <cstdio>

#include "dv/dv_data.h"
#include "dv/dv_quant.h"
#include "dv/dv_segment.h"
#include "support/bench_levels.h"
#include "support/bench_support.h"

namespace {

using namespace kvn;
using kvnbench::DvSegments;

void register_all(DvSegments& d) {
  const DvSegmentKernels& (*seg)(Isa) = dv_segment_kernels;
  const DvQuantKernels& (*q)(Isa) = dv_quant_kernels;
  static int next = 0;
  const auto segment = [&d](const std::vector<uint8_t>& v) {
    next = (next + 1) % DvSegments::kCount;
    return &v[size_t(400 * next)];
  };
  kvnbench::add_levels(
      "HuffmanDecodeSegment_DV", seg, [](const DvSegmentKernels& k) { return k.dv; },
      [&d, segment](DvSegmentFn fn) { fn(segment(d.dv), d.blocks, d.params, 64); });
  kvnbench::add_levels(
      "HuffmanDecodeSegmentOnePass_DV/limit8", seg, [](const DvSegmentKernels& k) { return k.dv_one_pass; },
      [&d, segment](DvSegmentFn fn) { fn(segment(d.dv), d.blocks, d.params, 8); });
  kvnbench::add_levels(
      "HuffmanDecodeSegment_DV100", seg, [](const DvSegmentKernels& k) { return k.dv100; },
      [&d, segment](DvSegmentFn fn) { fn(segment(d.dv100), d.blocks, d.params, 64); });
  kvnbench::add_levels(
      "QuantInv_DV", q, [](const DvQuantKernels& k) { return k.inv; },
      [&d](DvQuantInvFn fn) { fn(d.fresh(), d.table16s); });
  kvnbench::add_levels(
      "QuantWeightBlockInv_DV", q, [](const DvQuantKernels& k) { return k.weight_inv; },
      [&d](DvQuantWeightInvFn fn) { fn(d.fresh(), d.table16u, d.weights); });
}

}  // namespace

int main(int argc, char** argv) {
  static DvSegments data;
  std::fprintf(stderr, "segments filled to %.0f%% (DV), %.0f%% (DV100) of their AC bits\n", 100 * data.fill[0],
               100 * data.fill[1]);
  register_all(data);
  return kvnbench::run(argc, argv);
}
