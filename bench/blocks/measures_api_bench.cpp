// The exported Hadamard, squared-error, variance and activity measures, whole:
// entry stub, checks, table call.
#include <benchmark/benchmark.h>

#include <string>

#include "kvnvc.h"
#include "support/bench_api.h"
#include "support/bench_support.h"

namespace {

using kvnbench::Buffers;
using kvnbench::Picture;

constexpr int kStep = Picture::kStep;

template <class Call>
void add(const std::string& group, Call call) {
  kvnbench::add_api(group, call);
}

constexpr int kModes[] = {0, 12};
std::string mode_name(const char* group, int mode) { return std::string(group) + "/mode" + std::to_string(mode); }

using SatdCall = KvnResult (*)(const Kvn8u*, int32_t, const Kvn8u*, int32_t, Kvn32u*);

void register_all(Buffers& b) {
  const uint8_t* const s = b.fwd.block();
  const uint8_t* const r = b.bwd.block();
  const uint8_t* const r2 = b.dst.block();
  const Kvn16u* const s16 = reinterpret_cast<const Kvn16u*>(s);
  const Kvn16u* const r16 = reinterpret_cast<const Kvn16u*>(r);
  const int16_t* const e = b.res.samples;
  static Kvn32u u;
  static Kvn32s v, w, sums[4] = {16000, 17000, 15000, 16500}, var[4], mean[4];
  static Kvn8u flag;

  const std::pair<const char*, SatdCall> satd[] = {
      {"SATD4x4", kvniSATD4x4_8u32s_C1R},     {"SATD4x8", kvniSATD4x8_8u32s_C1R},
      {"SATD8x4", kvniSATD8x4_8u32s_C1R},     {"SATD8x8", kvniSATD8x8_8u32s_C1R},
      {"SATD8x16", kvniSATD8x16_8u32s_C1R},   {"SATD16x8", kvniSATD16x8_8u32s_C1R},
      {"SATD16x16", kvniSATD16x16_8u32s_C1R}, {"SAT8x8D", kvniSAT8x8D_8u32s_C1R}};
  for (auto [name, fn] : satd) add(name, [=, fn = fn] { return fn(s, kStep, r, kStep, &u); });
  add("SAT8x8D_16u", [=] { return kvniSAT8x8D_16u32s_C1R(s16, kStep, r16, kStep, &u); });

  for (int mode : kModes) {
    add(mode_name("SSD4x4", mode), [=] { return kvniSSD4x4_8u32s_C1R(s, kStep, r, kStep, &u, mode); });
    add(mode_name("SSD8x8", mode), [=] { return kvniSSD8x8_8u32s_C1R(s, kStep, r, kStep, &u, mode); });
    add(mode_name("SqrDiff16x16", mode), [=] { return kvniSqrDiff16x16_8u32s(s, kStep, r, kStep, mode, &u); });
    add(mode_name("SqrDiff16x16B", mode),
        [=] { return kvniSqrDiff16x16B_8u32s(s, kStep, r, kStep, mode, r2, kStep, mode, &u); });
  }

  add("Variance16x16", [=] { return kvniVariance16x16_8u32s(s, kStep, &v); });
  add("VarMean8x8", [=] { return kvniVarMean8x8_8u32s_C1R(s, kStep, &v, &w); });
  add("VarMean8x8_16s", [=] { return kvniVarMean8x8_16s32s_C1R(e, 32, &v, &w); });
  for (int mode : kModes) {
    add(mode_name("VarMeanDiff16x16", mode),
        [=] { return kvniVarMeanDiff16x16_8u32s_C1R(s, kStep, r, kStep, sums, var, mean, mode); });
    add(mode_name("VarMeanDiff16x8", mode),
        [=] { return kvniVarMeanDiff16x8_8u32s_C1R(s, kStep, r, kStep, sums, var, mean, mode); });
  }
  add("MeanAbsDev16x16", [=] { return kvniMeanAbsDev16x16_8u32s_C1R(s, kStep, &v); });
  add("MeanAbsDev8x8", [=] { return kvniMeanAbsDev8x8_8u32s_C1R(s, kStep, &v); });
  add("EdgesDetect16x16", [=] { return kvniEdgesDetect16x16_8u_C1R(s, kStep, 32, 225, &flag); });
  add("EdgesDetect16x16_16u", [=] { return kvniEdgesDetect16x16_16u_C1R(s16, kStep, 8192, 225, &u); });
}

}  // namespace

int main(int argc, char** argv) {
  static Buffers buffers;
  register_all(buffers);
  return kvnbench::run(argc, argv);
}
