// The VC-1 overlap smoothing and loop filter kernels per kernel-table level:
// the scalar reference, then each SIMD level whose table has a kernel of its
// own; one call filters one whole edge in place (the smoothing writes its
// results back into the 16-bit blocks, which stay in range).
#include <benchmark/benchmark.h>

#include <string>

#include "support/bench_levels.h"
#include "support/bench_support.h"
#include "vc1/deblock_vc1.h"
#include "vc1/smooth_vc1.h"
#include "vc1/vc1_filter_data.h"

namespace {

using namespace kvn;
using kvnbench::Vc1Picture;

constexpr int kStep = Vc1Picture::kStep, kStep16 = Vc1Picture::kStep16;
constexpr uint32_t kPq = Vc1Picture::kPquant;

void register_all(Vc1Picture& b) {
  const SmoothVc1Kernels& (*sm)(Isa) = smooth_vc1_kernels;
  const DeblockVc1Kernels& (*db)(Isa) = deblock_vc1_kernels;
  const char* const layouts[kLayouts] = {"frame", "rightField", "leftField", "bothFields"};
  for (int l = 0; l < kLayouts; ++l)
    kvnbench::add_levels(
        std::string("SmoothingLuma_VerEdge_VC1/") + layouts[l], sm,
        [l](const SmoothVc1Kernels& k) { return k.luma_ver[l]; },
        [&b](SmoothLumaVerFn fn) { fn(b.left(), kStep16, b.right(), kStep16, b.ver_dst(), kStep, 3); });
  kvnbench::add_levels(
      "SmoothingLuma_HorEdge_VC1", sm, [](const SmoothVc1Kernels& k) { return k.luma_hor; },
      [&b](SmoothLumaHorFn fn) { fn(b.upper(), kStep16, b.lower(), kStep16, b.hor_dst(), kStep, 3); });
  kvnbench::add_levels(
      "SmoothingChroma_VerEdge_VC1", sm, [](const SmoothVc1Kernels& k) { return k.chroma_ver; },
      [&b](SmoothChromaVerFn fn) { fn(b.left(), kStep16, b.right(), kStep16, b.ver_dst(), kStep); });
  kvnbench::add_levels(
      "SmoothingChroma_HorEdge_VC1", sm, [](const SmoothVc1Kernels& k) { return k.chroma_hor; },
      [&b](SmoothChromaHorFn fn) { fn(b.upper(), kStep16, b.lower(), kStep16, b.hor_dst(), kStep); });
  kvnbench::add_levels(
      "SmoothingChroma_VerEdge_VC1_P2C2", sm, [](const SmoothVc1Kernels& k) { return k.chroma_ver_p2; },
      [&b](SmoothP2VerFn fn) {
        fn(b.left(), kStep16, b.right(), kStep16, b.left() + 8 * 32, kStep16, b.right() + 8 * 32, kStep16, b.ver_dst(),
           kStep);
      });
  kvnbench::add_levels(
      "SmoothingChroma_HorEdge_VC1_P2C2", sm, [](const SmoothVc1Kernels& k) { return k.chroma_hor_p2; },
      [&b](SmoothP2HorFn fn) {
        fn(b.upper(), kStep16, b.lower(), kStep16, b.upper() + 8, kStep16, b.lower() + 8, kStep16, b.hor_dst(), kStep);
      });
  const struct {
    const char* name;
    DeblockVc1Fn DeblockVc1Kernels::*slot;
  } planes[] = {{"FilterDeblockingLuma_HorEdge_VC1", &DeblockVc1Kernels::luma_hor},
                {"FilterDeblockingLuma_VerEdge_VC1", &DeblockVc1Kernels::luma_ver},
                {"FilterDeblockingChroma_HorEdge_VC1", &DeblockVc1Kernels::chroma_hor},
                {"FilterDeblockingChroma_VerEdge_VC1", &DeblockVc1Kernels::chroma_ver}};
  for (const auto& m : planes) {
    const bool ver = m.slot == &DeblockVc1Kernels::luma_ver || m.slot == &DeblockVc1Kernels::chroma_ver;
    const int lines = m.slot == &DeblockVc1Kernels::luma_ver || m.slot == &DeblockVc1Kernels::luma_hor ? 16 : 8;
    kvnbench::add_levels(
        m.name, db, [slot = m.slot](const DeblockVc1Kernels& k) { return k.*slot; },
        [&b, ver, lines](DeblockVc1Fn fn) {
          fn(ver ? b.restore_ver<1>(b.edge(), lines) : b.restore_hor(b.edge(), lines), kStep, kPq, 0);
        });
  }
  kvnbench::add_levels(
      "FilterDeblockingChroma_HorEdge_VC1_C2", db, [](const DeblockVc1Kernels& k) { return k.chroma_c2_hor; },
      [&b](DeblockVc1C2Fn fn) { fn(b.restore_hor(b.edge(), 16), kStep, kPq, 0, 0); });
  kvnbench::add_levels(
      "FilterDeblockingChroma_VerEdge_VC1_C2", db, [](const DeblockVc1Kernels& k) { return k.chroma_c2_ver; },
      [&b](DeblockVc1C2Fn fn) { fn(b.restore_ver<2>(b.edge(), 8), kStep, kPq, 0, 0); });
  // The restoring alone, for subtraction.
  benchmark::RegisterBenchmark("RestoreEdge/hor16", [&b](benchmark::State& st) {
    for (auto _ : st) benchmark::DoNotOptimize(b.restore_hor(b.edge(), 16)), benchmark::ClobberMemory();
  });
  benchmark::RegisterBenchmark("RestoreEdge/ver16", [&b](benchmark::State& st) {
    for (auto _ : st) benchmark::DoNotOptimize(b.restore_ver<1>(b.edge(), 16)), benchmark::ClobberMemory();
  });
}

}  // namespace

int main(int argc, char** argv) {
  static Vc1Picture pic;
  register_all(pic);
  return kvnbench::run(argc, argv);
}
