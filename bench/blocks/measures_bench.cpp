// The kernels of the Hadamard, squared-error, variance and activity measures,
// per kernel-table level: the scalar reference, then each SIMD level whose
// table has a kernel of its own for the slot.
#include <benchmark/benchmark.h>

#include <string>

#include "blocks/satd.h"
#include "blocks/ssd.h"
#include "blocks/variance.h"
#include "support/bench_levels.h"
#include "support/bench_support.h"

namespace {

using namespace kvn;
using kvnbench::Buffers;
using kvnbench::Picture;

constexpr int kStep = Picture::kStep;
template <class Table, class Slot, class Call>
void add(const Table& (*tables)(Isa), const std::string& group, Slot slot, Call call) {
  kvnbench::add_levels(group, tables, slot, call);
}

// The reference interpolation modes the benchmarks time.
constexpr int kModes[] = {0, 12};
std::string mode_name(const char* group, int mode) { return std::string(group) + "/mode" + std::to_string(mode); }

void register_all(Buffers& b) {
  const uint8_t* const s = b.fwd.block();
  const uint8_t* const r = b.bwd.block();
  const uint8_t* const r2 = b.dst.block();
  const uint16_t* const s16 = reinterpret_cast<const uint16_t*>(s);
  const uint16_t* const r16 = reinterpret_cast<const uint16_t*>(r);
  const int16_t* const e = b.res.samples;
  const SatdKernels& (*satd)(Isa) = satd_kernels;
  const SsdKernels& (*ssd)(Isa) = ssd_kernels;
  const VarianceKernels& (*var)(Isa) = variance_kernels;
  static uint32_t u;  // the outputs, as a caller's
  static int32_t v, w;
  static uint8_t flag;

  const std::pair<const char*, SatdSize> satd_sizes[] = {
      {"SATD4x4", kSatd4x4},   {"SATD4x8", kSatd4x8},   {"SATD8x4", kSatd8x4},    {"SATD8x8", kSatd8x8},
      {"SATD8x16", kSatd8x16}, {"SATD16x8", kSatd16x8}, {"SATD16x16", kSatd16x16}};
  for (auto [name, size] : satd_sizes)
    add(
        satd, name, [size = size](const SatdKernels& k) { return k.satd[size]; },
        [=](SatdFn fn) { fn(s, kStep, r, kStep, &u); });
  add(
      satd, "SAT8x8D", [](const SatdKernels& k) { return k.sat8x8d; }, [=](SatdFn fn) { fn(s, kStep, r, kStep, &u); });
  add(
      satd, "SAT8x8D_16u", [](const SatdKernels& k) { return k.sat8x8d_16u; },
      [=](Satd16Fn fn) { fn(s16, kStep, r16, kStep, &u); });

  const std::pair<const char*, SsdSize> ssd_sizes[] = {
      {"SSD4x4", kSsd4x4}, {"SSD8x8", kSsd8x8}, {"SqrDiff16x16", kSsd16x16}};
  for (int mode : kModes) {
    for (auto [name, size] : ssd_sizes)
      add(
          ssd, mode_name(name, mode),
          [size = size, i = ssd_index(mode)](const SsdKernels& k) { return k.ssd[size][i]; },
          [=](SsdFn fn) { fn(s, kStep, r, kStep, &u); });
    add(
        ssd, mode_name("SqrDiff16x16B", mode),
        [i = ssd_b_index(mode, mode)](const SsdKernels& k) { return k.ssd_b16x16[i]; },
        [=](SsdBFn fn) { fn(s, kStep, r, kStep, r2, kStep, &u); });
  }

  add(
      var, "Variance16x16", [](const VarianceKernels& k) { return k.variance16x16; },
      [=](BlockMeasureFn fn) { fn(s, kStep, &v); });
  add(
      var, "VarMean8x8", [](const VarianceKernels& k) { return k.var_mean8x8; },
      [=](VarMeanFn fn) { fn(s, kStep, &v, &w); });
  add(
      var, "VarMean8x8_16s", [](const VarianceKernels& k) { return k.var_mean8x8_16s; },
      [=](VarMean16sFn fn) { fn(e, 32, &v, &w); });
  static int32_t sums[4] = {16000, 17000, 15000, 16500}, out[8];
  for (int mode : kModes)
    for (auto [name, size] : {std::pair{"VarMeanDiff16x16", kVmd16x16}, {"VarMeanDiff16x8", kVmd16x8}})
      add(
          var, mode_name(name, mode),
          [size = size, i = mode / 4](const VarianceKernels& k) { return k.var_mean_diff[size][i]; },
          [=](VarMeanDiffFn fn) { fn(s, kStep, r, kStep, sums, out, out + 4); });
  add(
      var, "MeanAbsDev16x16", [](const VarianceKernels& k) { return k.mean_abs_dev16x16; },
      [=](BlockMeasureFn fn) { fn(s, kStep, &v); });
  add(
      var, "MeanAbsDev8x8", [](const VarianceKernels& k) { return k.mean_abs_dev8x8; },
      [=](BlockMeasureFn fn) { fn(s, kStep, &v); });
  // A count threshold never exceeded: the whole block is examined.
  add(
      var, "EdgesDetect16x16", [](const VarianceKernels& k) { return k.edges16x16; },
      [=](EdgesFn fn) { fn(s, kStep, 32, kEdgePositions, &flag); });
  add(
      var, "EdgesDetect16x16_16u", [](const VarianceKernels& k) { return k.edges16x16_16u; },
      [=](Edges16Fn fn) { fn(s16, kStep, 8192, kEdgePositions, &u); });
}

}  // namespace

int main(int argc, char** argv) {
  static Buffers buffers;
  register_all(buffers);
  return kvnbench::run(argc, argv);
}
