// The block differences' exported calls, whole: entry stub, checks, table call.
#include <benchmark/benchmark.h>

#include <string>

#include "kvnvc.h"
#include "diff_bench_buffers.h"
#include "support/bench_api.h"

namespace {

using kvnbench::DiffArgs;
using kvnbench::DiffBuffers;

constexpr int kStep = DiffBuffers::kStep;

template <class Call>
void add(const std::string& group, Call call) {
  kvnbench::add_api(group, call);
}

void register_all(const DiffArgs a) {
  for (int mode : {0, 12})
    for (int withPred : {0, 1}) {
      const std::string suffix = std::to_string(mode) + (withPred ? "_pred" : "");
      Kvn16s* const out = withPred ? a.p : nullptr;
      add("GetDiff16x16_mode" + suffix,
          [=] { return kvniGetDiff16x16_8u16s_C1(a.s, kStep, a.f, kStep, a.d, 32, out, 32, mode, 0); });
      add("GetDiff8x8_mode" + suffix,
          [=] { return kvniGetDiff8x8_8u16s_C1(a.s, kStep, a.f, kStep, a.d, 16, out, 16, mode, 0); });
    }
  add("GetDiff16x16B_modes12,12",
      [=] { return kvniGetDiff16x16B_8u16s_C1(a.s, kStep, a.f, kStep, 12, a.r, kStep, 12, a.d, 32, 0); });
  add("GetDiff8x8_C2P2_mode12",
      [=] { return kvniGetDiff8x8_8u16s_C2P2(a.s, kStep, a.f, kStep, a.d, 16, a.p, 16, 12, 0); });
  add("GetDiff4x4", [=] { return kvniGetDiff4x4_8u16s_C1(a.s, kStep, a.f, kStep, a.d, 8); });
  add("Sub16x16", [=] { return kvniSub16x16_8u16s_C1R(a.s, kStep, a.f, kStep, a.d, 32); });
  add("Sub8x8_16u", [=] { return kvniSub8x8_16u16s_C1R(a.s16, kStep, a.f16, kStep, a.d, 16); });
  for (int withDiff : {1, 0}) {
    const std::string suffix = withDiff ? "" : "_nodiff";
    Kvn16s* const out = withDiff ? a.d : nullptr;
    add("SumsDiff16x16_8u" + suffix,
        [=] { return kvniSumsDiff16x16Blocks4x4_8u16s_C1(a.s, kStep, a.f, kStep, a.p, out); });
    add("SumsDiff16x16_16u" + suffix,
        [=] { return kvniSumsDiff16x16Blocks4x4_16u32s_C1R(a.s16, kStep, a.f16, kStep, a.sums32, out); });
  }
  add("SumsDiff8x8_8u", [=] { return kvniSumsDiff8x8Blocks4x4_8u16s_C1(a.s, kStep, a.f, kStep, a.p, a.d); });
}

}  // namespace

int main(int argc, char** argv) {
  static DiffBuffers buffers;
  register_all(DiffArgs(buffers));
  return kvnbench::run(argc, argv);
}
