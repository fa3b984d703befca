// The block differences' kernels, per kernel-table level: the scalar
// reference, then each SIMD level whose table has a kernel of its own.
#include <benchmark/benchmark.h>

#include <string>

#include "blocks/diff.h"
#include "diff_bench_buffers.h"
#include "support/bench_levels.h"

namespace {

using namespace kvn;
using kvnbench::DiffArgs;
using kvnbench::DiffBuffers;

constexpr int kStep = DiffBuffers::kStep;
template <class Slot, class Call>
void add(const std::string& group, Slot slot, Call call) {
  kvnbench::add_levels(
      group, [](Isa isa) -> const auto& { return diff_kernels(isa); }, slot, call);
}

void register_all(const DiffArgs a) {
  for (int mode : {0, 12})
    for (int withPred : {0, 1}) {
      const std::string suffix = std::to_string(mode) + (withPred ? "_pred" : "");
      add(
          "GetDiff16x16_mode" + suffix,
          [=](const DiffKernels& k) { return k.get_diff[kDiff16x16][withPred][diff_index(mode, 0)]; },
          [=](GetDiffFn fn) { fn(a.s, kStep, a.f, kStep, a.d, 32, a.p, 32); });
      add(
          "GetDiff8x8_mode" + suffix,
          [=](const DiffKernels& k) { return k.get_diff[kDiff8x8][withPred][diff_index(mode, 0)]; },
          [=](GetDiffFn fn) { fn(a.s, kStep, a.f, kStep, a.d, 16, a.p, 16); });
    }
  add(
      "GetDiff16x16B_modes12,12",
      [](const DiffKernels& k) { return k.get_diff_b[kDiff16x16][diff_b_index(12, 12, 0)]; },
      [=](GetDiffBFn fn) { fn(a.s, kStep, a.f, kStep, a.r, kStep, a.d, 32); });
  add(
      "GetDiff8x8_C2P2_mode12", [](const DiffKernels& k) { return k.get_diff_p2[kDiffP2_8x8][diff_index(12, 0)]; },
      [=](GetDiffP2Fn fn) { fn(a.s, kStep, a.f, kStep, a.d, 16, a.p, 16); });
  add(
      "GetDiff4x4", [](const DiffKernels& k) { return k.diff4x4; },
      [=](DiffFn fn) { fn(a.s, kStep, a.f, kStep, a.d, 8); });
  add(
      "Sub16x16", [](const DiffKernels& k) { return k.get_diff[kDiff16x16][0][0]; },
      [=](GetDiffFn fn) { fn(a.s, kStep, a.f, kStep, a.d, 32, nullptr, 0); });
  add(
      "Sub8x8_16u", [](const DiffKernels& k) { return k.sub16u8x8; },
      [=](Sub16uFn fn) { fn(a.s16, kStep, a.f16, kStep, a.d, 16); });
  for (int withDiff : {1, 0}) {
    const std::string suffix = withDiff ? "" : "_nodiff";
    add(
        "SumsDiff16x16_8u" + suffix, [=](const DiffKernels& k) { return k.sums_diff[kSums16x16][withDiff]; },
        [=](SumsDiff8uFn fn) { fn(a.s, kStep, a.f, kStep, a.p, withDiff ? a.d : nullptr); });
    add(
        "SumsDiff16x16_16u" + suffix, [=](const DiffKernels& k) { return k.sums_diff16u[kSums16x16][withDiff]; },
        [=](SumsDiff16uFn fn) { fn(a.s16, kStep, a.f16, kStep, a.sums32, withDiff ? a.d : nullptr); });
  }
  add(
      "SumsDiff8x8_8u", [](const DiffKernels& k) { return k.sums_diff[kSums8x8][1]; },
      [=](SumsDiff8uFn fn) { fn(a.s, kStep, a.f, kStep, a.p, a.d); });
}

}  // namespace

int main(int argc, char** argv) {
  static DiffBuffers buffers;
  register_all(DiffArgs(buffers));
  return kvnbench::run(argc, argv);
}
