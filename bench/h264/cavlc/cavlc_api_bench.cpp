// CAVLC exported calls, whole: decoding a stream of mixed blocks (items =
// nonzero coefficients) and the analysis of 4x4 and chroma DC blocks.
#include <benchmark/benchmark.h>

#include <string>

#include "cavlc_data.h"
#include "kvnvc.h"
#include "support/bench_api.h"
#include "support/bench_support.h"

namespace {

using namespace cavlcbench;

struct Data {
  Stream stream;
  kvnvlc::CavlcTables tables;
  alignas(64) Kvn16s out16[kBufferBlocks * 16];
  alignas(64) Kvn32s out32[kBufferBlocks * 16];
  Blocks<Kvn16s> typical16{false}, dense16{true};
  Blocks<Kvn32s> typical32{false}, dense32{true};
  Kvn8u t1, signs, tc, tz, runs[16];
  Kvn16s levels16[16];
  Kvn32s levels32[16];
  unsigned next = 0;
};

template <class T, class Fn>
void decode_all(Data& d, Fn fn, T* out) {
  Kvn32u* p = d.stream.words.data();
  Kvn32u index = 31;
  Kvn16s n;
  T* buf = out;
  for (int i = 0; i < kBlocks; ++i) {
    if (i % kBufferBlocks == 0) buf = out;
    fn(&p, &index, &n, &buf, d.stream.nC[std::size_t(i)], 16, d.tables.coeff_token(), d.tables.total_zeros(),
       d.tables.run_before(), kZigzag);
  }
  benchmark::DoNotOptimize(buf);
}

void register_all(Data& d) {
  benchmark::RegisterBenchmark("DecodeMix16s_8192blocks/api", [&d](benchmark::State& st) {
    for (auto _ : st) decode_all(d, kvniDecodeCAVLCCoeffs_H264_1u16s, d.out16);
    st.SetItemsProcessed(int64_t(st.iterations()) * d.stream.coefficients);
  });
  benchmark::RegisterBenchmark("DecodeMix32s_8192blocks/api", [&d](benchmark::State& st) {
    for (auto _ : st) decode_all(d, kvniDecodeCAVLCCoeffs_H264_1u32s, d.out32);
    st.SetItemsProcessed(int64_t(st.iterations()) * d.stream.coefficients);
  });
  for (bool dense : {false, true}) {
    const std::string kind = dense ? "dense" : "typical";
    kvnbench::add_api("Encode4x4_16s_" + kind, [&d, dense] {
      const auto& b = dense ? d.dense16 : d.typical16;
      return kvniEncodeCoeffsCAVLC_H264_16s(b.v[d.next++ % kBlocks], 0, kZigzag, 15, &d.t1, &d.signs, &d.tc, &d.tz,
                                            d.levels16, d.runs);
    });
    kvnbench::add_api("Encode4x4_32s_" + kind, [&d, dense] {
      const auto& b = dense ? d.dense32 : d.typical32;
      return kvniEncodeCoeffsCAVLC_H264_32s(b.v[d.next++ % kBlocks], 0, kZigzag, 15, &d.t1, &d.signs, &d.tc, &d.tz,
                                            d.levels32, d.runs);
    });
  }
  kvnbench::add_api("EncodeDc2x2_16s", [&d] {
    return kvniEncodeChromaDcCoeffsCAVLC_H264_16s(d.typical16.v[d.next++ % kBlocks], &d.t1, &d.signs, &d.tc, &d.tz,
                                                  d.levels16, d.runs);
  });
  kvnbench::add_api("EncodeDc2x4_16s", [&d] {
    return kvniEncodeCoeffsCAVLCChromaDC2x4_H264_16s(d.typical16.v[d.next++ % kBlocks], &d.t1, &d.signs, &d.tc, &d.tz,
                                                     d.levels16, d.runs);
  });
}

}  // namespace

int main(int argc, char** argv) {
  static Data data;
  register_all(data);
  return kvnbench::run(argc, argv);
}
