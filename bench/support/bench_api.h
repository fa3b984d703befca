// Registration of benchmarks of whole public calls.
//
//   add_api("SAD16x16/mode0", call): "group/api", `call()` runs one public call.
#pragma once

#include <benchmark/benchmark.h>

#include <string>

namespace kvnbench {

template <class Call>
void add_api(const std::string& group, Call call) {
  benchmark::RegisterBenchmark((group + "/api").c_str(), [call](benchmark::State& st) {
    for (auto _ : st) {
      benchmark::DoNotOptimize(call());
      benchmark::ClobberMemory();
    }
  });
}

}  // namespace kvnbench
