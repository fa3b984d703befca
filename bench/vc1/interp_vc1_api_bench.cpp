// The VC-1 interpolation and range-map exported calls, whole: entry stub,
// checks, kernel choice by size and position, kernel.
#include <benchmark/benchmark.h>

#include <string>

#include "kvnvc.h"
#include "support/bench_api.h"
#include "support/bench_support.h"

namespace {

constexpr int kStep = kvnbench::Picture::kStep;

void register_all(kvnbench::Buffers& b) {
  const Kvn8u* src = b.fwd.block();
  Kvn8u* dst = b.dst.block();
  const int pos[][2] = {{1, 1}, {2, 2}, {3, 1}, {2, 0}, {0, 3}};
  for (int n : {16, 8})
    for (const auto& p : pos) {
      const KvnInterpolationRecordVC1 r = {src, kStep, dst, kStep, p[0], p[1], n, n, 0};
      kvnbench::add_api(
          "Bicubic" + std::to_string(n) + "x" + std::to_string(n) + "/" + std::to_string(p[0]) + std::to_string(p[1]),
          [r] { return kvniInterpolateQPBicubic_VC1_8u_C1R(&r); });
    }
  for (const auto& p : {std::pair{1, 3}, std::pair{2, 2}, std::pair{2, 0}}) {
    const KvnInterpolationRecordVC1 r = {src, kStep, dst, kStep, p.first, p.second, 8, 8, 0};
    const std::string at = "/" + std::to_string(p.first) + std::to_string(p.second);
    kvnbench::add_api("BilinearC1_8x8" + at, [r] { return kvniInterpolateQPBilinear_VC1_8u_C1R(&r); });
    kvnbench::add_api("BilinearC2_8x8" + at, [r] { return kvniInterpolateQPBilinear_VC1_8u_C2R(&r); });
  }
  kvnbench::add_api("RangeMap16x16", [=] { return kvniRangeMapping_VC1_8u_C1R(src, kStep, dst, kStep, {16, 16}, 7); });
}

}  // namespace

int main(int argc, char** argv) {
  static kvnbench::Buffers buffers;
  register_all(buffers);
  return kvnbench::run(argc, argv);
}
