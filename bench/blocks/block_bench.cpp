// The block layer's kernels, per kernel-table level: the scalar reference,
// then each SIMD level whose table has a kernel of its own for the slot.
#include <benchmark/benchmark.h>

#include <string>

#include "blocks/block.h"
#include "support/bench_levels.h"
#include "support/bench_support.h"

namespace {

using namespace kvn;
using kvnbench::Buffers;
using kvnbench::Picture;

constexpr int kStep = Picture::kStep;
template <class Slot, class Call>
void add(const std::string& group, Slot slot, Call call) {
  kvnbench::add_levels(
      group, [](Isa isa) -> const auto& { return block_kernels(isa); }, slot, call);
}

int hp_index(kvnbench::HpCase c) { return 2 * c.code + c.rounding; }
int mc_index(kvnbench::McCase c) { return (c.mode & 12) / 2 + c.rounding; }
int mc_b_index(kvnbench::McBCase c) { return (c.modeF & 12) / 2 + 2 * (c.modeB & 12) + c.rounding; }

void register_all(Buffers& b) {
  uint8_t* const f = b.fwd.block();
  uint8_t* const r = b.bwd.block();
  uint8_t* const d = b.dst.block();
  const int16_t* const e = b.res.samples;
  const int16_t* const v = b.resV.samples;

  add(
      "Copy8x8", [](const BlockKernels& k) { return k.copy8x8; }, [=](CopyFn fn) { fn(f, kStep, d, kStep); });
  add(
      "Copy16x16", [](const BlockKernels& k) { return k.copy16x16; }, [=](CopyFn fn) { fn(f, kStep, d, kStep); });
  for (auto [name, slot] : {std::pair{"Average8x8", &BlockKernels::avg8x8}, {"Average16x16", &BlockKernels::avg16x16}})
    add(
        name, [slot = slot](const BlockKernels& k) { return k.*slot; },
        [=](Avg2Fn fn) { fn(f, kStep, r, kStep, d, kStep); });
  for (auto [name, slot] :
       {std::pair{"Average8x8IR", &BlockKernels::avg_ir8x8}, {"Average16x16IR", &BlockKernels::avg_ir16x16}})
    add(
        name, [slot = slot](const BlockKernels& k) { return k.*slot; },
        [=](Avg2Fn fn) { fn(f, kStep, d, kStep, d, kStep); });

  for (const auto& c : kvnbench::hp_cases()) {
    const int i = hp_index(c);
    for (auto [name, size] : {std::pair{"8x8", kHp8x8}, {"16x16", kHp16x16}}) {
      add(
          kvnbench::hp_name(std::string("Copy") + name + "HP", c),
          [size = size, i](const BlockKernels& k) { return k.copy_hp[size][i]; },
          [=](CopyFn fn) { fn(f, kStep, d, kStep); });
      add(
          kvnbench::hp_name(std::string("InterpolateAverage") + name, c),
          [size = size, i](const BlockKernels& k) { return k.interp_avg[size][i]; },
          [=](CopyFn fn) { fn(f, kStep, d, kStep); });
    }
    add(
        kvnbench::hp_name("Add8x8HP", c), [i](const BlockKernels& k) { return k.add8x8_hp[i]; },
        [=](AddHpFn fn) { fn(e, 16, f, kStep, d, kStep); });
  }
  add(
      "Add8x8", [](const BlockKernels& k) { return k.add8x8; }, [=](AddFn fn) { fn(e, 16, d, kStep); });
  add(
      "AddC8x8", [](const BlockKernels& k) { return k.addc8x8; }, [=](AddCFn fn) { fn(-7, d, kStep); });

  struct McSizeName {
    const char* name;
    McSize size;
    int resStep;
  };
  const McSizeName mc_sizes[] = {{"MC16x16", kMc16x16, 32}, {"MC16x8", kMc16x8, 32}, {"MC8x16", kMc8x16, 16},
                                 {"MC8x8", kMc8x8, 16},     {"MC8x4", kMc8x4, 16},   {"MC16x8UV", kMc16x8UV, 32},
                                 {"MC16x4", kMc16x4, 32}};
  for (const McSizeName& s : mc_sizes) {
    const bool all = s.size == kMc16x16 || s.size == kMc8x8;  // the other sizes: one case each
    const int rs = s.resStep;
    for (const auto& c : kvnbench::mc_cases())
      if (all || (c.mode == 12 && c.rounding == 0))
        add(
            kvnbench::mc_name(s.name, c),
            [size = s.size, i = mc_index(c)](const BlockKernels& k) { return k.mc[size][i]; },
            [=](McFn fn) { fn(f, kStep, e, rs, d, kStep, c.rounding); });
    for (const auto& c : kvnbench::mc_b_cases())
      if (all || (c.modeF == 12 && c.modeB == 12 && c.rounding == 0))
        add(
            kvnbench::mc_b_name(std::string(s.name) + "B", c),
            [size = s.size, i = mc_b_index(c)](const BlockKernels& k) { return k.mc_b[size][i]; },
            [=](McBFn fn) { fn(f, kStep, r, kStep, e, rs, d, kStep, c.rounding); });
  }
  for (const auto& c : kvnbench::mc_cases())
    add(
        kvnbench::mc_name("MC8x8_P2", c), [i = mc_index(c)](const BlockKernels& k) { return k.mc_p2[kP2_8x8][i]; },
        [=](McP2Fn fn) { fn(f, kStep, e, v, 16, d, kStep); });
  for (const auto& c : kvnbench::mc_b_cases())
    add(
        kvnbench::mc_b_name("MC8x8B_P2", c),
        [i = mc_b_index(c)](const BlockKernels& k) { return k.mc_p2b[kP2_8x8][i]; },
        [=](McP2BFn fn) { fn(f, kStep, r, kStep, e, v, 16, d, kStep); });

  add(
      "CountZeros8x8", [](const BlockKernels& k) { return k.count_zeros8x8; },
      [=](CountZerosFn fn) { benchmark::DoNotOptimize(fn(e)); });
}

}  // namespace

int main(int argc, char** argv) {
  static Buffers buffers;
  register_all(buffers);
  return kvnbench::run(argc, argv);
}
