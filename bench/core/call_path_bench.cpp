// The cost of the public call path: each family's smallest member through its
// exported name (the caller's jump through the GOT into the body the library
// bound at load time: checks, then the kernel) next to the same kernel called
// through a function pointer (its slot in the chosen table), interleaved in
// one process. After the usual output, one line per member: both times and
// their difference, the price of the checks and of the binding.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "blocks/block.h"
#include "blocks/diff.h"
#include "blocks/sad.h"
#include "blocks/satd.h"
#include "blocks/ssd.h"
#include "blocks/variance.h"
#include "h264/intra/intra.h"
#include "h264/transform/dc.h"
#include "kvnvc.h"
#include "support/bench_support.h"

namespace {

using kvnbench::Picture;
constexpr int kStep = Picture::kStep;

// The kernel is hidden from the optimiser, so that every call is an indirect
// call, as one through a table slot is.
template <class Fn, class Call>
void add_pair(const std::string& member, Fn kernel, Call call) {
  benchmark::RegisterBenchmark((member + "/kernel").c_str(), [kernel, call](benchmark::State& st) {
    Fn fn = kernel;
    benchmark::DoNotOptimize(fn);
    for (auto _ : st) {
      call.kernel(fn);
      benchmark::ClobberMemory();
    }
  });
  benchmark::RegisterBenchmark((member + "/api").c_str(), [call](benchmark::State& st) {
    for (auto _ : st) {
      benchmark::DoNotOptimize(call.api());
      benchmark::ClobberMemory();
    }
  });
}

// A member: the public call and the kernel call with the same arguments.
template <class K, class A>
struct Pair {
  K kernel;
  A api;
};
template <class K, class A>
Pair<K, A> pair(K k, A a) {
  return {k, a};
}

struct Buffers {
  Picture src{1};
  uint8_t pad[1024 + 64];
  Picture ref{2};
  alignas(16) int16_t coeffs[64];
  alignas(16) uint8_t intra[16 * kStep];
};

// An empty function, the floor of a call through a pointer.
__attribute__((noinline)) uint32_t empty_kernel(const uint8_t*, int32_t, const uint8_t*, int32_t) {
  benchmark::ClobberMemory();
  return 0;
}

void register_all(Buffers& b) {
  const uint8_t* const s = b.src.block();
  const uint8_t* const r = b.ref.block();
  uint8_t* const d = b.intra + kStep;
  static Kvn32s out32;
  static Kvn32u outU;
  int16_t* const c = b.coeffs;
  using namespace kvn;

  // The floor: an empty function through a pointer, and a public call that
  // returns at its first check.
  add_pair("EmptyCall/FirstCheck", SadFn(empty_kernel),
           pair([=](SadFn f) { out32 = Kvn32s(f(s, kStep, r, kStep)); },
                [=] { return kvniSAD4x4_8u32s(nullptr, kStep, r, kStep, &out32); }));
  add_pair("SAD4x4", sad_kernels().sad_full[kSad4x4],
           pair([=](SadFn f) { out32 = Kvn32s(f(s, kStep, r, kStep)); },
                [=] { return kvniSAD4x4_8u32s(s, kStep, r, kStep, &out32); }));
  add_pair("SAD8x8", sad_kernels().sad[kSad8x8][0],
           pair([=](SadFn f) { out32 = Kvn32s(f(s, kStep, r, kStep)); },
                [=] { return kvniSAD8x8_8u32s_C1R(s, kStep, r, kStep, &out32, 0); }));
  add_pair("SAD16x16", sad_kernels().sad[kSad16x16][0],
           pair([=](SadFn f) { out32 = Kvn32s(f(s, kStep, r, kStep)); },
                [=] { return kvniSAD16x16_8u32s(s, kStep, r, kStep, &out32, 0); }));
  add_pair("SATD4x4", satd_kernels().satd[kSatd4x4],
           pair([=](SatdFn f) { return f(s, kStep, r, kStep, &outU); },
                [=] { return kvniSATD4x4_8u32s_C1R(s, kStep, r, kStep, &outU); }));
  add_pair("SSD4x4", ssd_kernels().ssd[kSsd4x4][0],
           pair([=](SsdFn f) { return f(s, kStep, r, kStep, &outU); },
                [=] { return kvniSSD4x4_8u32s_C1R(s, kStep, r, kStep, &outU, 0); }));
  add_pair("Variance16x16", variance_kernels().variance16x16,
           pair([=](BlockMeasureFn f) { return f(s, kStep, &out32); },
                [=] { return kvniVariance16x16_8u32s(s, kStep, &out32); }));
  add_pair("Copy8x8", block_kernels().copy8x8,
           pair([=](CopyFn f) { f(s, kStep, d, kStep); }, [=] { return kvniCopy8x8_8u_C1R(s, kStep, d, kStep); }));
  add_pair("GetDiff4x4", diff_kernels().diff4x4,
           pair([=](DiffFn f) { f(s, kStep, r, kStep, c, 8); },
                [=] { return kvniGetDiff4x4_8u16s_C1(s, kStep, r, kStep, c, 8); }));
  add_pair("PredictIntra4x4/DC", intra_kernels().pred4x4[2],
           pair([=](IntraFn f) { f(d + 4, kStep, 0); },
                [=] { return kvniPredictIntra_4x4_H264_8u_C1IR(d + 4, kStep, 2, 0); }));
  add_pair("TransformDequantLumaDC", dc_kernels().dequant_luma,
           pair([=](DequantDcFn f) { f(c, 20); }, [=] { return kvniTransformDequantLumaDC_H264_16s_C1I(c, 20); }));
}

// Collects the mean time of each run and prints the differences.
class Reporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& r : runs)
      if (r.run_type == Run::RT_Iteration) times_[r.benchmark_name()] = r.GetAdjustedRealTime();
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    std::printf("\n%-24s %10s %10s %10s\n", "ns per call", "kernel", "api", "api-kernel");
    for (const auto& [name, t] : times_) {
      const auto slash = name.rfind("/kernel");
      if (slash == std::string::npos) continue;
      const std::string member = name.substr(0, slash);
      const auto api = times_.find(member + "/api");
      if (api == times_.end()) continue;
      std::printf("%-24s %10.2f %10.2f %10.2f\n", member.c_str(), t, api->second, api->second - t);
    }
  }

 private:
  std::map<std::string, double> times_;
};

}  // namespace

int main(int argc, char** argv) {
  static Buffers buffers;
  register_all(buffers);
  benchmark::Initialize(&argc, argv);
  Reporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  return 0;
}
