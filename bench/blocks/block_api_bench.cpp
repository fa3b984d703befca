// The block layer's exported calls, whole: entry stub, checks, table call.
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

using HpCall = KvnResult (*)(const Kvn8u*, int32_t, Kvn8u*, int32_t, int32_t, int32_t);
using McCall = KvnResult (*)(const Kvn8u*, int32_t, const Kvn16s*, int32_t, Kvn8u*, int32_t, int32_t, int32_t);
using McBCall = KvnResult (*)(const Kvn8u*, int32_t, int32_t, const Kvn8u*, int32_t, int32_t, const Kvn16s*, int32_t,
                              Kvn8u*, int32_t, int32_t);

void register_all(Buffers& b) {
  uint8_t* const f = b.fwd.block();
  uint8_t* const r = b.bwd.block();
  uint8_t* const d = b.dst.block();
  const int16_t* const e = b.res.samples;
  const int16_t* const v = b.resV.samples;

  add("Copy8x8", [=] { return kvniCopy8x8_8u_C1R(f, kStep, d, kStep); });
  add("Copy16x16", [=] { return kvniCopy16x16_8u_C1R(f, kStep, d, kStep); });
  add("Average8x8", [=] { return kvniAverage8x8_8u_C1R(f, kStep, r, kStep, d, kStep); });
  add("Average16x16", [=] { return kvniAverage16x16_8u_C1R(f, kStep, r, kStep, d, kStep); });
  add("Average8x8IR", [=] { return kvniAverage8x8_8u_C1IR(f, kStep, d, kStep); });
  add("Average16x16IR", [=] { return kvniAverage16x16_8u_C1IR(f, kStep, d, kStep); });

  const std::pair<const char*, HpCall> hp[] = {{"Copy8x8HP", kvniCopy8x8HP_8u_C1R},
                                               {"Copy16x16HP", kvniCopy16x16HP_8u_C1R},
                                               {"InterpolateAverage8x8", kvniInterpolateAverage8x8_8u_C1IR},
                                               {"InterpolateAverage16x16", kvniInterpolateAverage16x16_8u_C1IR}};
  for (const auto& c : kvnbench::hp_cases()) {
    for (auto [name, fn] : hp)
      add(kvnbench::hp_name(name, c), [=, fn = fn] { return fn(f, kStep, d, kStep, c.code, c.rounding); });
    add(kvnbench::hp_name("Add8x8HP", c),
        [=] { return kvniAdd8x8HP_16s8u_C1RS(e, 16, f, kStep, d, kStep, c.code, c.rounding); });
  }
  add("Add8x8", [=] { return kvniAdd8x8_16s8u_C1IRS(e, 16, d, kStep); });
  add("AddC8x8", [=] { return kvniAddC8x8_16s8u_C1IR(-7, d, kStep); });

  struct McEntry {
    const char* name;
    McCall mc;
    McBCall mc_b;
    int resStep;
    bool all;
  };
  const McEntry mc[] = {{"MC16x16", kvniMC16x16_8u_C1, kvniMC16x16B_8u_C1, 32, true},
                        {"MC16x8", kvniMC16x8_8u_C1, kvniMC16x8B_8u_C1, 32, false},
                        {"MC8x16", kvniMC8x16_8u_C1, kvniMC8x16B_8u_C1, 16, false},
                        {"MC8x8", kvniMC8x8_8u_C1, kvniMC8x8B_8u_C1, 16, true},
                        {"MC8x4", kvniMC8x4_8u_C1, kvniMC8x4B_8u_C1, 16, false},
                        {"MC16x8UV", kvniMC16x8UV_8u_C1, kvniMC16x8BUV_8u_C1, 32, false},
                        {"MC16x4", kvniMC16x4_8u_C1, kvniMC16x4B_8u_C1, 32, false}};
  for (const McEntry& m : mc) {
    for (const auto& c : kvnbench::mc_cases())
      if (m.all || (c.mode == 12 && c.rounding == 0))
        add(kvnbench::mc_name(m.name, c),
            [=, fn = m.mc, rs = m.resStep] { return fn(f, kStep, e, rs, d, kStep, c.mode, c.rounding); });
    for (const auto& c : kvnbench::mc_b_cases())
      if (m.all || (c.modeF == 12 && c.modeB == 12 && c.rounding == 0))
        add(kvnbench::mc_b_name(std::string(m.name) + "B", c), [=, fn = m.mc_b, rs = m.resStep] {
          return fn(f, kStep, c.modeF, r, kStep, c.modeB, e, rs, d, kStep, c.rounding);
        });
  }
  for (const auto& c : kvnbench::mc_cases())
    add(kvnbench::mc_name("MC8x8_P2", c),
        [=] { return kvniMC8x8_16s8u_P2C2R(f, kStep, e, v, 16, d, kStep, c.mode, c.rounding); });
  for (const auto& c : kvnbench::mc_b_cases())
    add(kvnbench::mc_b_name("MC8x8B_P2", c),
        [=] { return kvniMC8x8B_16s8u_P2C2R(f, kStep, c.modeF, r, kStep, c.modeB, e, v, 16, d, kStep, c.rounding); });

  add("CountZeros8x8", [=] {
    Kvn32u n;
    const KvnResult s = kvniCountZeros8x8_16s_C1(e, &n);
    benchmark::DoNotOptimize(n);
    return s;
  });
}

}  // namespace

int main(int argc, char** argv) {
  static Buffers buffers;
  register_all(buffers);
  return kvnbench::run(argc, argv);
}
