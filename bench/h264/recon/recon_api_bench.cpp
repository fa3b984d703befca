// The 8-bit macroblock reconstruction's exported calls, whole: entry stub,
// checks, the macroblock walk over the chosen kernels.
#include <benchmark/benchmark.h>

#include <string>

#include "kvnvc.h"
#include "recon_data.h"
#include "support/bench_api.h"
#include "support/bench_support.h"

namespace {

using kvnbench::ReconData;
constexpr int kStep = ReconData::kStep, kQp = ReconData::kQp;

void register_all(ReconData& d) {
  using kvnbench::add_api;
  for (auto [name, mask] : {std::pair{"InterLuma16", kvnbench::kAll16}, {"InterLuma4", kvnbench::kFour}}) {
    add_api(name, [&d, mask = mask] {
      Kvn16s* s = d.stream;
      return kvniReconstructLumaInter4x4MB_H264_16s8u_C1R(&s, d.mb(), kStep, mask, kQp, d.ls4, 0);
    });
  }
  add_api("InterLumaOlder16", [&d] {
    Kvn16s* s = d.stream;
    return kvniReconstructLumaInterMB_H264_16s8u_C1R(&s, d.mb(), kStep, kvnbench::kAll16, kQp);
  });
  add_api("Inter8x8_4", [&d] {
    Kvn16s* s = d.stream;
    return kvniReconstructLumaInter8x8MB_H264_16s8u_C1R(&s, d.mb(), kStep, kvnbench::kFour8x8, kQp, d.ls8, 0);
  });
  add_api("Intra16x16", [&d] {
    Kvn16s* s = d.reset(kvnbench::kIntra16Values);
    return kvniReconstructLumaIntra_16x16MB_H264_16s8u_C1R(&s, d.mb(), kStep, 2, kvnbench::kIntra16, kQp, 0, d.ls4, 0);
  });
  add_api("Intra4x4", [&d] {
    Kvn16s* s = d.stream;
    return kvniReconstructLumaIntra4x4MB_H264_16s8u_C1R(&s, d.mb(), kStep, d.modes4, kvnbench::kAll16, kQp, 0, d.ls4,
                                                        0);
  });
  add_api("Intra8x8", [&d] {
    Kvn16s* s = d.stream;
    return kvniReconstructLumaIntra8x8MB_H264_16s8u_C1R(&s, d.mb(), kStep, d.modes8, kvnbench::kFour8x8, kQp, 0, d.ls8,
                                                        0);
  });
  add_api("ChromaInter", [&d] {
    Kvn16s* s = d.reset(kvnbench::kChromaValues);
    return kvniReconstructChromaInterMB_H264_16s8u_P2R(&s, d.mb(), d.mb2(), kStep, kvnbench::kChromaAll, kQp);
  });
  add_api("ChromaIntra", [&d] {
    Kvn16s* s = d.reset(kvnbench::kChromaValues);
    return kvniReconstructChromaIntraMB_H264_16s8u_P2R(&s, d.mb(), d.mb2(), kStep, 0, kvnbench::kChromaAll, kQp, 0);
  });
  add_api("ChromaInterC2R", [&d] {
    Kvn16s* s = d.reset(kvnbench::kChromaValues);
    return kvniReconstructChromaInterMB_H264_16s8u_C2R(&s, d.mb(), kStep, kvnbench::kChromaAll, kQp);
  });
}

}  // namespace

int main(int argc, char** argv) {
  static ReconData data;
  register_all(data);
  return kvnbench::run(argc, argv);
}
