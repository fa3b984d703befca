#include "bench_support.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>

namespace kvnbench {
namespace {

uint32_t next(uint32_t& s) {
  s = s * 1664525u + 1013904223u;
  return s >> 8;
}

// Console output as usual, and the time per call of every run kept by group
// and variant: the least of the repetitions, the figure least disturbed by
// whatever else the machine does.
class SummaryReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& r : runs) {
      if (r.run_type != Run::RT_Iteration || r.error_occurred) continue;
      const std::string name = r.benchmark_name();
      const std::size_t cut = name.rfind('/');
      if (cut == std::string::npos) continue;
      const std::string group = name.substr(0, cut), variant = name.substr(cut + 1);
      if (!times_.count(group)) order_.push_back(group);
      const double ns = r.GetAdjustedRealTime() * 1e9 / benchmark::GetTimeUnitMultiplier(r.time_unit);
      const auto it = times_[group].emplace(variant, ns).first;
      it->second = std::min(it->second, ns);
    }
  }

  void Finalize() override {
    ConsoleReporter::Finalize();
    const char* columns[] = {"c", "sse2", "sse41", "avx2", "avx512", "api"};
    std::printf("\n%-36s %9s %9s %9s %9s %9s %9s %9s\n", "ns per call", "c", "sse2", "sse41", "avx2", "avx512", "api",
                "c/simd");
    for (const std::string& g : order_) {
      const auto& t = times_[g];
      std::printf("%-36s", g.c_str());
      for (const char* c : columns) {
        const auto it = t.find(c);
        if (it == t.end())
          std::printf(" %9s", "-");
        else
          std::printf(" %9.2f", it->second);
      }
      double best = 0;
      for (const char* c : {"sse2", "sse41", "avx2", "avx512"})
        if (t.count(c)) best = best == 0 ? t.at(c) : std::min(best, t.at(c));
      if (t.count("c") && best > 0) std::printf(" %9.1f", t.at("c") / best);
      std::printf("\n");
    }
  }

 private:
  std::vector<std::string> order_;
  std::map<std::string, std::map<std::string, double>> times_;
};

}  // namespace

Picture::Picture(uint32_t seed) {
  for (uint8_t& b : bytes) b = uint8_t(next(seed));
}

Residual::Residual(uint32_t seed) {
  for (int16_t& s : samples) s = int16_t(int(next(seed) % 129) - 64);
}

const std::vector<HpCase>& hp_cases() {
  static const std::vector<HpCase> v = {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {3, 1}};
  return v;
}
const std::vector<McCase>& mc_cases() {
  static const std::vector<McCase> v = {{0, 0}, {4, 0}, {8, 0}, {12, 0}, {12, 1}};
  return v;
}
const std::vector<McBCase>& mc_b_cases() {
  static const std::vector<McBCase> v = {{0, 0, 0}, {4, 8, 0}, {12, 0, 0}, {12, 12, 0}, {12, 12, 1}};
  return v;
}

std::string hp_name(const std::string& group, HpCase c) {
  return group + "/code" + std::to_string(c.code) + "_r" + std::to_string(c.rounding);
}
std::string mc_name(const std::string& group, McCase c) {
  return group + "/mode" + std::to_string(c.mode) + "_r" + std::to_string(c.rounding);
}
std::string mc_b_name(const std::string& group, McBCase c) {
  return group + "/modes" + std::to_string(c.modeF) + "," + std::to_string(c.modeB) + "_r" + std::to_string(c.rounding);
}

int run(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  SummaryReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}

}  // namespace kvnbench
