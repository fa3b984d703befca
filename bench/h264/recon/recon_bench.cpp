// The 8-bit macroblock reconstruction per kernel-table level: the whole
// macroblock walk (stream reading, prediction, DC transforms, residual) run
// over the scalar tables, then over each SIMD level's.
#include <benchmark/benchmark.h>

#include <string>

#include "h264/recon/recon_mb.h"
#include "recon_data.h"
#include "support/bench_support.h"

namespace {

using namespace kvn;
using kvnbench::ReconData;
namespace r8 = kvn::recon8;

constexpr int kStep = ReconData::kStep, kQp = ReconData::kQp;

template <class Call>
void add(const std::string& group, Call call) {
  for (int i = 0; i < int(Isa::kCount); ++i) {
    const Isa isa = Isa(i);
    if (!isa_supported(isa) || isa == Isa::kSse41) continue;  // no kernels of their own at sse41
    benchmark::RegisterBenchmark((group + "/" + isa_name(isa)).c_str(), [isa, call](benchmark::State& st) {
      const r8::Kernels k = r8::at_level(isa);
      for (auto _ : st) {
        call(k);
        benchmark::ClobberMemory();
      }
    });
  }
}

void register_all(ReconData& d) {
  const r8::Quant flat = r8::quant(kQp, d.ls4, 0), older = r8::quant(kQp, nullptr, 0), q8 = r8::quant(kQp, d.ls8, 0);
  for (auto [name, mask] : {std::pair{"InterLuma16", kvnbench::kAll16}, {"InterLuma4", kvnbench::kFour}}) {
    add(std::string(name), [&d, mask = mask, flat](const r8::Kernels& k) {
      int16_t* s = d.stream;
      r8::luma_inter4x4(&s, d.mb(), kStep, mask, flat, k);
    });
  }
  add("InterLumaOlder16", [&d, older](const r8::Kernels& k) {
    int16_t* s = d.stream;
    r8::luma_inter4x4(&s, d.mb(), kStep, kvnbench::kAll16, older, k);
  });
  add("Inter8x8_4", [&d, q8](const r8::Kernels& k) {
    int16_t* s = d.stream;
    r8::luma_inter8x8(&s, d.mb(), kStep, kvnbench::kFour8x8, q8, k);
  });
  add("Intra16x16", [&d, flat](const r8::Kernels& k) {
    int16_t* s = d.reset(kvnbench::kIntra16Values);
    r8::luma_intra16x16(&s, d.mb(), kStep, 2, kvnbench::kIntra16, 0, flat, k);
  });
  add("Intra4x4", [&d, flat](const r8::Kernels& k) {
    int16_t* s = d.stream;
    r8::luma_intra4x4(&s, d.mb(), kStep, d.modes4, kvnbench::kAll16, 1, 16, 0, flat, k);
  });
  add("Intra8x8", [&d, q8](const r8::Kernels& k) {
    int16_t* s = d.stream;
    r8::luma_intra8x8(&s, d.mb(), kStep, d.modes8, kvnbench::kFour8x8, 4, 0, q8, k);
  });
  for (auto [name, pred] : {std::pair{"ChromaInter", r8::ChromaPred::kNone}, {"ChromaIntra", r8::ChromaPred::kFull}}) {
    add(name, [&d, pred = pred](const r8::Kernels& k) {
      int16_t* s = d.reset(kvnbench::kChromaValues);
      const r8::Quant q = r8::quant(kQp, nullptr, 0);
      r8::chroma({&s, d.mb(), d.mb2(), kStep, kvnbench::kChromaAll, {q, q}, pred, 0, {0, 0}, false}, k);
    });
  }
}

}  // namespace

int main(int argc, char** argv) {
  static ReconData data;
  register_all(data);
  return kvnbench::run(argc, argv);
}
