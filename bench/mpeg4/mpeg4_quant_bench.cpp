// The MPEG-4/H.263 quantiser and H.263 edge filter kernels per kernel-table
// level: the scalar reference, then each SIMD level whose table has a kernel
// of its own. The in-place quantisers copy a fresh 128-byte block before
// each call (at every level alike); the filters run on the same edge.
#include <benchmark/benchmark.h>

#include <string>

#include "mpeg4/filter_h263.h"
#include "mpeg4/mpeg4_quant_data.h"
#include "mpeg4/quant_h263.h"
#include "mpeg4/quant_mpeg4.h"
#include "support/bench_levels.h"
#include "support/bench_support.h"

namespace {

using namespace kvn;
using kvnbench::Mpeg4Blocks;

constexpr int kQ = Mpeg4Blocks::kQ, kStep = Mpeg4Blocks::kStep;

void register_all(Mpeg4Blocks& b, const KvnQuantState_MPEG4& fwd, const uint16_t* weights) {
  const QuantH263Kernels& (*u)(Isa) = quant_h263_kernels;
  const QuantMpeg4Kernels& (*m)(Isa) = quant_mpeg4_kernels;
  const FilterH263Kernels& (*f)(Isa) = filter_h263_kernels;
  const UniformQuant inter{0, kQ / 2, 32768, quant_h263::recip(kQ), 127};
  const UniformQuant advIntra{3 * kQ / 4, 0, 32767, quant_h263::recip(kQ), 65535};
  kvnbench::add_levels(
      "QuantInter_H263", u, [](const QuantH263Kernels& k) { return k.quant; },
      [&b, inter](UniformQuantFn fn) { benchmark::DoNotOptimize(fn(b.fresh_coefs(), inter)); });
  kvnbench::add_levels(
      "QuantIntra_H263/advIntra", u, [](const QuantH263Kernels& k) { return k.quant; },
      [&b, advIntra](UniformQuantFn fn) { benchmark::DoNotOptimize(fn(b.fresh_coefs(), advIntra)); });
  kvnbench::add_levels(
      "QuantInvInter_H263/last63", u, [](const QuantH263Kernels& k) { return k.inv; },
      [&b](UniformInvFn fn) { fn(b.fresh_levels(), 63, 2 * kQ, quant_h263::odd_term(kQ), -2048, 2047); });
  kvnbench::add_levels(
      "QuantInvInter_H263/last20", u, [](const QuantH263Kernels& k) { return k.inv; },
      [&b](UniformInvFn fn) { fn(b.fresh_levels(), 20, 2 * kQ, quant_h263::odd_term(kQ), -2048, 2047); });
  kvnbench::add_levels(
      "QuantInter_MPEG4/matrix", m, [](const QuantMpeg4Kernels& k) { return k.quant_matrix; },
      [&b, &fwd](Mpeg4QuantMatrixFn fn) { benchmark::DoNotOptimize(fn(b.fresh_coefs(), fwd, kQ, 0, 0)); });
  kvnbench::add_levels(
      "QuantIntra_MPEG4/matrix", m, [](const QuantMpeg4Kernels& k) { return k.quant_matrix; },
      [&b, &fwd](Mpeg4QuantMatrixFn fn) {
        benchmark::DoNotOptimize(fn(b.fresh_coefs(), fwd, kQ, 1, (3 * kQ + 2) / 4));
      });
  kvnbench::add_levels(
      "QuantInvInter_MPEG4/matrix", m, [](const QuantMpeg4Kernels& k) { return k.inv_inter; },
      [&b, weights](Mpeg4InvMatrixFn fn) {
        benchmark::DoNotOptimize(fn(b.fresh_levels(), 63, weights, kQ, -2048, 2047));
      });
  kvnbench::add_levels(
      "QuantInvIntra_MPEG4/matrix", m, [](const QuantMpeg4Kernels& k) { return k.inv_intra; },
      [&b, weights](Mpeg4InvMatrixFn fn) {
        benchmark::DoNotOptimize(fn(b.fresh_levels(), 63, weights, kQ, -2048, 2047));
      });
  const char* const lengths[2] = {"8x8", "16x16"};
  for (int e = 0; e < kEdgeLengths; ++e) {
    const int32_t strength = e == kEdge8 ? filter_h263::kStrength[kQ - 1] : filter_h263::kUnlimited;
    kvnbench::add_levels(
        std::string("FilterDeblocking") + lengths[e] + "HorEdge_H263", f,
        [e](const FilterH263Kernels& k) { return k.deblock_hor[e]; },
        [&b, strength](EdgeDeblockFn fn) { fn(b.edge(), kStep, strength); });
    kvnbench::add_levels(
        std::string("FilterDeblocking") + lengths[e] + "VerEdge_H263", f,
        [e](const FilterH263Kernels& k) { return k.deblock_ver[e]; },
        [&b, strength](EdgeDeblockFn fn) { fn(b.edge(), kStep, strength); });
  }
  kvnbench::add_levels(
      "FilterBlockBoundaryHorEdge_H263", f, [](const FilterH263Kernels& k) { return k.boundary_hor; },
      [&b](EdgeBoundaryFn fn) { fn(b.edge(), kStep); });
  kvnbench::add_levels(
      "FilterBlockBoundaryVerEdge_H263", f, [](const FilterH263Kernels& k) { return k.boundary_ver; },
      [&b](EdgeBoundaryFn fn) { fn(b.edge(), kStep); });
}

}  // namespace

int main(int argc, char** argv) {
  static Mpeg4Blocks blocks;
  static KvnQuantState_MPEG4 fwd;
  static uint16_t weights[64];
  for (int i = 0; i < 64; ++i) {
    const uint32_t w = blocks.matrix[i];
    fwd.weights[i] = uint16_t(w / 2);
    fwd.scale.reciprocals[i] = uint16_t(w == 1 ? 65535 : 65536 / w + 1);
    weights[i] = uint16_t(w);
  }
  register_all(blocks, fwd, weights);
  return kvnbench::run(argc, argv);
}
