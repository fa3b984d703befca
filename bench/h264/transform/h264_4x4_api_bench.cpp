// The H.264 4x4 and DC exported calls, whole: entry stub, checks, table call.
#include <benchmark/benchmark.h>

#include <string>

#include "h264_4x4_data.h"
#include "kvnvc.h"
#include "support/bench_api.h"
#include "support/bench_support.h"

namespace {

using kvnbench::H264Blocks;

constexpr int kStep = H264Blocks::kStep;

template <class Call>
void add(const std::string& group, Call call) {
  kvnbench::add_api(group, call);
}

void register_all(H264Blocks& b) {
  add("TransformQuantFwd4x4_16s", [&b] {
    int32_t n, last;
    const KvnResult r = kvniTransformQuantFwd4x4_H264_16s_C1(b.residual, b.out, 28, &n, 0, b.scan, &last, nullptr);
    benchmark::DoNotOptimize(n + last);
    return r;
  });
  add("QuantizeResidual4x4Fwd_16s", [&b] {
    int32_t n, last;
    const KvnResult r = kvniQuantizeResidual4x4Fwd_H264_16s_C1(b.residual, b.out, &n, &last, nullptr, b.scan, 28, 0);
    benchmark::DoNotOptimize(n + last);
    return r;
  });
  add("TransformQuantInvAddPred4x4_16s", [&b] {
    return kvniTransformQuantInvAddPred4x4_H264_16s_C1IR(b.pred, kStep, b.work, nullptr, b.dst, kStep, 28, 1, nullptr);
  });
  add("DequantTransformResidualAndAdd", [&b] {
    return kvniDequantTransformResidualAndAdd_H264_16s_C1I(b.pred, b.work, nullptr, b.dst, kStep, kStep, 28, 1);
  });
  add("TransformQuantFwdLumaDC4x4_16s", [&b] {
    int32_t n, last;
    const KvnResult r = kvniTransformQuantFwdLumaDC4x4_H264_16s_C1I(b.work, b.out, 28, &n, 1, b.scan, &last, nullptr);
    benchmark::DoNotOptimize(n + last);
    return r;
  });
  add("TransformQuantInvLumaDC4x4_16s",
      [&b] { return kvniTransformQuantInvLumaDC4x4_H264_16s_C1I(b.work, 28, nullptr); });
}

}  // namespace

int main(int argc, char** argv) {
  static H264Blocks blocks;
  for (int i = 0; i < 16; ++i) blocks.work[i] = blocks.levels[i];
  register_all(blocks);
  return kvnbench::run(argc, argv);
}
