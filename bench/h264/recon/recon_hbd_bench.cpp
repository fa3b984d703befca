// The high-profile macroblock walks over the kernels of each instruction-set
// level (the scalar reference first): time per macroblock component.
#include <benchmark/benchmark.h>

#include <cstring>
#include <functional>
#include <string>

#include "h264/recon/recon_hbd.h"
#include "recon_hbd_data.h"
#include "support/bench_support.h"

namespace {

using namespace kvn;
using kvnbench::ReconHbdData;

// One benchmark per level whose kernels differ from the level below.
void add(const std::string& group, std::function<void(const ReconHbdKernels&)> call) {
  const ReconHbdKernels* below = nullptr;
  static ReconHbdKernels levels[int(Isa::kCount)];
  for (int i = 0; i < int(Isa::kCount); ++i) {
    const Isa isa = Isa(i);
    if (!isa_supported(isa)) continue;
    levels[i] = recon_hbd_kernels(isa);
    const ReconHbdKernels& k = levels[i];
    if (below && !std::memcmp(k.res, below->res, sizeof *k.res) && !std::memcmp(k.intra, below->intra, sizeof *k.intra))
      continue;
    below = &k;
    benchmark::RegisterBenchmark((group + "/" + isa_name(isa)).c_str(), [call, &k](benchmark::State& st) {
      for (auto _ : st) {
        call(k);
        benchmark::ClobberMemory();
      }
    });
  }
}

void register_all(ReconHbdData& d) {
  using namespace recon_hbd;
  add("LumaInter4x4_10bit_16coded", [&d](const ReconHbdKernels& k) { luma_inter4x4(d.luma(0x1fffe), k); });
  add("LumaInter8x8_10bit", [&d](const ReconHbdKernels& k) { luma_inter8x8(d.luma(0xf), k); });
  add("LumaIntra4x4_10bit_16coded",
      [&d](const ReconHbdKernels& k) { luma_intra4x4(d.luma(0x1fffe), d.modes4, false, 0, k); });
  add("LumaIntra4x4_10bit_uncoded",
      [&d](const ReconHbdKernels& k) { luma_intra4x4(d.luma(0), d.modes4, false, 0, k); });
  add("LumaIntra8x8_10bit", [&d](const ReconHbdKernels& k) { luma_intra8x8(d.luma(0xf), d.modes8, false, 0, k); });
  add("LumaIntra16x16_10bit_DC+4", [&d](const ReconHbdKernels& k) { luma_intra16x16(d.luma(0x1e), 3, 0, k); });
  add("Chroma420_10bit", [&d](const ReconHbdKernels& k) {
    const Rec32 r[2] = {d.chroma(0, 0x1f), d.chroma(1, 0x1f)};
    const Rec32* p[2] = {&r[0], &r[1]};
    chroma420(p, -1, 0, k);
  });
  add("Chroma422_10bit", [&d](const ReconHbdKernels& k) {
    const Rec32 r[2] = {d.chroma(0, 0x1ff), d.chroma(1, 0x1ff)};
    const Rec32* p[2] = {&r[0], &r[1]};
    const int32_t ls[2] = {256, 256};
    chroma422(p, -1, 0, ls, k);
  });
  add("Chroma422_8bit", [&d](const ReconHbdKernels& k) {
    const Rec8 r[2] = {d.chroma8(0, 0x1ff), d.chroma8(1, 0x1ff)};
    const Rec8* p[2] = {&r[0], &r[1]};
    const int32_t ls[2] = {256, 256};
    chroma422(p, -1, 0, ls, k);
  });
  add("Chroma422Intra_8bit_DC", [&d](const ReconHbdKernels& k) {
    const Rec8 r[2] = {d.chroma8(0, 0x1ff), d.chroma8(1, 0x1ff)};
    const Rec8* p[2] = {&r[0], &r[1]};
    const int32_t ls[2] = {256, 256};
    chroma422(p, 0, 0x63 | kAvailLeftLower, ls, k);
  });
}

}  // namespace

int main(int argc, char** argv) {
  static ReconHbdData data;
  register_all(data);
  return kvnbench::run(argc, argv);
}
