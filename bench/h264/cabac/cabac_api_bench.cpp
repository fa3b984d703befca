// CABAC exported calls, whole: single context-coded and bypass bins (items =
// bins), and residual blocks: a 4x4 luma block with about 5 nonzero
// coefficients and an 8x8 block with about 16 (items = blocks).
#include <benchmark/benchmark.h>

#include "cabac_data.h"
#include "kvnvc.h"
#include "support/bench_support.h"

namespace {

using namespace cabacbench;

struct Data {
  Coder coder;
  Bins bins{1};
  Blocks<Kvn16s> luma16{16, 5, 2}, b8x8_16{64, 16, 3};
  Blocks<Kvn32s> luma32{16, 5, 2}, b8x8_32{64, 16, 3};
};

// Runs `call(i)` for kCallsPerSlice i per iteration, restarting the slice between.
template <class Call>
void slices(benchmark::State& st, Data& d, Call call) {
  for (auto _ : st) {
    st.PauseTiming();
    d.coder.restart();
    st.ResumeTiming();
    for (int i = 0; i < kCallsPerSlice; ++i) benchmark::DoNotOptimize(call(i));
  }
  st.SetItemsProcessed(int64_t(st.iterations()) * kCallsPerSlice);
}

template <class T, class Fn>
void add_block(Data& d, const char* name, const Blocks<T>& b, Kvn32u cat, Fn fn) {
  benchmark::RegisterBenchmark(name, [&d, &b, cat, fn](benchmark::State& st) {
    slices(st, d, [&](int i) {
      const int k = i % kBlocks;
      return fn(b.block(k), b.last[size_t(k)], cat, 0, 1, d.coder.state);
    });
  });
}

void register_all(Data& d) {
  benchmark::RegisterBenchmark("EncodeBin_4096bins/api", [&d](benchmark::State& st) {
    slices(st, d,
           [&](int i) { return kvniCABACEncodeBin_H264(d.bins.ctx[size_t(i)], d.bins.bin[size_t(i)], d.coder.state); });
  });
  benchmark::RegisterBenchmark("EncodeBinBypass_4096bins/api", [&d](benchmark::State& st) {
    slices(st, d, [&](int i) { return kvniCABACEncodeBinBypass_H264(d.bins.bin[size_t(i)], d.coder.state); });
  });
  add_block(d, "Residual4x4_16s_4096blocks/api", d.luma16, 2, kvniCABACEncodeResidualBlock_H264_16s);
  add_block(d, "Residual4x4_32s_4096blocks/api", d.luma32, 2, kvniCABACEncodeResidualBlock_H264_32s);
  add_block(d, "Residual8x8_16s_4096blocks/api", d.b8x8_16, 5, kvniCABACEncodeResidualBlock_H264_16s);
  add_block(d, "Residual8x8_32s_4096blocks/api", d.b8x8_32, 5, kvniCABACEncodeResidualBlock_H264_32s);
}

}  // namespace

int main(int argc, char** argv) {
  static Data data;
  register_all(data);
  return kvnbench::run(argc, argv);
}
