// CAVLC kernels per kernel-table level: decoding a stream of mixed blocks
// (items = nonzero coefficients) and the analysis of 4x4 and chroma DC
// blocks (one block per call, cycling through 8192).
#include <benchmark/benchmark.h>

#include <string>

#include "cavlc_data.h"
#include "h264/cavlc/cavlc.h"
#include "h264/cavlc/cavlc_encode.h"
#include "support/bench_levels.h"
#include "support/bench_support.h"

namespace {

using namespace kvn;
using namespace cavlcbench;

struct Data {
  Stream stream;
  kvnvlc::CavlcTables tables;
  alignas(64) int16_t out16[kBufferBlocks * 16];
  alignas(64) int32_t out32[kBufferBlocks * 16];
  Blocks<int16_t> typical16{false}, dense16{true};
  Blocks<int32_t> typical32{false}, dense32{true};
  uint8_t counts[4], runs[16];
  int16_t levels16[16];
  int32_t levels32[16];
  unsigned next = 0;
};

template <class T, class Fn>
void decode_all(Data& d, Fn fn, T* out) {
  const uint32_t* p = d.stream.words.data();
  uint32_t index = 31;
  int16_t n;
  T* buf = out;
  CavlcArgs a{0, 16, d.tables.coeff_token(), d.tables.total_zeros(), d.tables.run_before(), kZigzag, 0, 15};
  for (int i = 0; i < kBlocks; ++i) {
    if (i % kBufferBlocks == 0) buf = out;
    a.nC = d.stream.nC[std::size_t(i)];
    fn(&p, &index, &n, &buf, a);
  }
  benchmark::DoNotOptimize(buf);
}

void register_all(Data& d) {
  for (bool wide : {false, true}) {
    const std::string group = std::string("DecodeMix") + (wide ? "32s" : "16s") + "_8192blocks";
    for (int i = 0; i < int(Isa::kCount); ++i) {
      if (!isa_supported(Isa(i)) || (i > 0 && cavlc_kernels(Isa(i)).block16s == cavlc_kernels(Isa(i - 1)).block16s))
        continue;
      const CavlcKernels& k = cavlc_kernels(Isa(i));
      benchmark::RegisterBenchmark((group + "/" + isa_name(Isa(i))).c_str(), [&d, &k, wide](benchmark::State& st) {
        for (auto _ : st) wide ? decode_all(d, k.block32s, d.out32) : decode_all(d, k.block16s, d.out16);
        st.SetItemsProcessed(int64_t(st.iterations()) * d.stream.coefficients);
      });
    }
  }
  auto tables = [](Isa isa) -> const auto& { return cavlc_encode_kernels(isa); };
  const CavlcCounts counts{&d.counts[0], &d.counts[1], &d.counts[2], &d.counts[3]};
  for (bool dense : {false, true}) {
    const std::string kind = dense ? "dense" : "typical";
    kvnbench::add_levels(
        "Encode4x4_16s_" + kind, tables, [](const CavlcEncodeKernels& k) { return k.block16s; },
        [&d, dense, counts](Encode4x4_16sFn f) {
          const auto& b = dense ? d.dense16 : d.typical16;
          f(b.v[d.next++ % kBlocks], 0, kZigzag, 15, counts, d.levels16, d.runs);
        });
    kvnbench::add_levels(
        "Encode4x4_32s_" + kind, tables, [](const CavlcEncodeKernels& k) { return k.block32s; },
        [&d, dense, counts](Encode4x4_32sFn f) {
          const auto& b = dense ? d.dense32 : d.typical32;
          f(b.v[d.next++ % kBlocks], 0, kZigzag, 15, counts, d.levels32, d.runs);
        });
  }
  auto dc = [&d, counts](EncodeDc16sFn f) { f(d.typical16.v[d.next++ % kBlocks], counts, d.levels16, d.runs); };
  kvnbench::add_levels(
      "EncodeDc2x2_16s", tables, [](const CavlcEncodeKernels& k) { return k.dc2x2_16s; }, dc);
  kvnbench::add_levels(
      "EncodeDc2x4_16s", tables, [](const CavlcEncodeKernels& k) { return k.dc2x4_16s; }, dc);
}

}  // namespace

int main(int argc, char** argv) {
  static Data data;
  register_all(data);
  return kvnbench::run(argc, argv);
}
