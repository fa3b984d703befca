// Registration of kernel benchmarks per kernel-table level.
//
//   add_levels("SAD16x16/mode0", family_tables, slot, call): one benchmark per
//     kernel-table level, "group/c", "group/sse2", ...: the scalar kernel, then
//     each level the host supports whose kernel differs from the level below;
//     `slot(table)` picks the kernel, `call(kernel)` runs it once.
#pragma once

#include <benchmark/benchmark.h>

#include <string>

#include "core/dispatch.h"

namespace kvnbench {

template <class Tables, class Slot, class Call>
void add_levels(const std::string& group, Tables tables, Slot slot, Call call) {
  decltype(slot(tables(kvn::Isa::kScalar))) below = nullptr;
  for (int i = 0; i < int(kvn::Isa::kCount); ++i) {
    const kvn::Isa isa = kvn::Isa(i);
    if (!kvn::isa_supported(isa)) continue;
    const auto fn = slot(tables(isa));
    if (fn == below) continue;
    below = fn;
    benchmark::RegisterBenchmark((group + "/" + kvn::isa_name(isa)).c_str(), [fn, call](benchmark::State& st) {
      for (auto _ : st) {
        call(fn);
        benchmark::ClobberMemory();
      }
    });
  }
}

}  // namespace kvnbench
