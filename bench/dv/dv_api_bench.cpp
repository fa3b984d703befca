// The DV exported calls, whole: the segment decoders (one segment a call,
// blocks cleared first as a decoder does) and the dequantisers.
#include <benchmark/benchmark.h>

#include <cstring>

#include "dv/dv_data.h"
#include "kvnvc.h"
#include "support/bench_api.h"
#include "support/bench_support.h"

namespace {

using kvnbench::DvSegments;

void register_all(DvSegments& d) {
  static int next = 0;
  const auto segment = [](const std::vector<uint8_t>& v) {
    next = (next + 1) % DvSegments::kCount;
    return &v[size_t(400 * next)];
  };
  kvnbench::add_api("HuffmanDecodeSegment_DV", [&d, segment] {
    std::memset(d.blocks, 0, 30 * 128);
    return kvniHuffmanDecodeSegment_DV_8u16s(segment(d.dv), nullptr, nullptr, d.blocks, d.params);
  });
  kvnbench::add_api("HuffmanDecodeSegment_DV100", [&d, segment] {
    std::memset(d.blocks, 0, 40 * 128);
    return kvniHuffmanDecodeSegment_DV100_8u16s(segment(d.dv100), nullptr, nullptr, d.blocks, d.params);
  });
  kvnbench::add_api("QuantInv_DV", [&d] { return kvniQuantInv_DV_16s_C1I(d.fresh(), d.table16s); });
  kvnbench::add_api("QuantWeightBlockInv_DV",
                    [&d] { return kvniQuantWeightBlockInv_DV_16s_C1I(d.fresh(), d.table16u, d.weights); });
}

}  // namespace

int main(int argc, char** argv) {
  static DvSegments data;
  register_all(data);
  return kvnbench::run(argc, argv);
}
