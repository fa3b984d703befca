// The SAD family's kernels, per kernel-table level: the scalar reference,
// then each SIMD level whose table has a kernel of its own for the slot.
#include <benchmark/benchmark.h>

#include <string>

#include "blocks/sad.h"
#include "support/bench_levels.h"
#include "support/bench_support.h"

namespace {

using namespace kvn;
using kvnbench::Buffers;
using kvnbench::Picture;

constexpr int kStep = Picture::kStep;
constexpr int kCandidates = 64;

template <class Slot, class Call>
void add(const std::string& group, Slot slot, Call call) {
  kvnbench::add_levels(
      group, [](Isa isa) -> const auto& { return sad_kernels(isa); }, slot, call);
}

std::string mode_name(const char* group, int mode) { return std::string(group) + "/mode" + std::to_string(mode); }

void register_all(Buffers& b) {
  const uint8_t* const s = b.fwd.block();
  const uint8_t* const r = b.bwd.block();
  const uint16_t* const s16 = reinterpret_cast<const uint16_t*>(s);
  const uint16_t* const r16 = reinterpret_cast<const uint16_t*>(r);
  static uint16_t sads[kCandidates];
  static uint32_t out[16];
  int16_t* const diff = reinterpret_cast<int16_t*>(b.dst.block());

  auto value = [=](SadFn fn) { benchmark::DoNotOptimize(fn(s, kStep, r, kStep)); };
  auto value16 = [=](Sad16uFn fn) { benchmark::DoNotOptimize(fn(s16, kStep, r16, kStep)); };
  for (auto [name, size] : {std::pair{"SAD16x16", kSad16x16}, {"SAD16x8", kSad16x8}, {"SAD8x8", kSad8x8}})
    for (int mode : {0, 4, 8, 12})
      add(
          mode_name(name, mode), [size = size, mode](const SadKernels& k) { return k.sad[size][mode >> 2]; }, value);
  for (auto [name, size] :
       {std::pair{"SAD4x4", kSad4x4}, {"SAD8x4", kSad8x4}, {"SAD4x8", kSad4x8}, {"SAD8x16", kSad8x16}})
    add(
        name, [size = size](const SadKernels& k) { return k.sad_full[size]; }, value);
  for (int mode : {0, 12})
    add(
        mode_name("SAD8x8_C2", mode), [mode](const SadKernels& k) { return k.sad8x8_c2[mode >> 2]; },
        [=](SadC2Fn fn) { fn(s, kStep, r, kStep, out); });
  for (auto [name, size] :
       {std::pair{"SAD16x16_16u", kSad16u16x16}, {"SAD8x8_16u", kSad16u8x8}, {"SAD4x4_16u", kSad16u4x4}})
    for (int mode : {0, 12})
      add(
          mode_name(name, mode), [size = size, mode](const SadKernels& k) { return k.sad16u[size][mode >> 2]; },
          value16);
  for (auto [name, size] : {std::pair{"SAD16x16xN/N64", kXn16x16},
                            {"SAD8x8xN/N64", kXn8x8},
                            {"SAD4x4xN/N64", kXn4x4},
                            {"SAD2x2xN/N64", kXn2x2}})
    add(
        name, [size = size](const SadKernels& k) { return k.xn[size]; },
        [=](SadXnFn fn) { fn(s, kStep, r, kStep, sads, kCandidates); });
  for (auto [name, slot] :
       {std::pair{"SAD16x16Blocks8x8", &SadKernels::blocks8x8}, {"SAD16x16Blocks4x4", &SadKernels::blocks4x4}})
    add(
        name, [slot = slot](const SadKernels& k) { return k.*slot; },
        [=](SadBlocksFn fn) { fn(s, kStep, r, kStep, sads); });
  for (auto [name, slot] : {std::pair{"SAD16x16Blocks8x8_16u", &SadKernels::blocks8x8_16u},
                            {"SAD16x16Blocks4x4_16u", &SadKernels::blocks4x4_16u}})
    add(
        name, [slot = slot](const SadKernels& k) { return k.*slot; },
        [=](SadBlocks16uFn fn) { fn(s16, kStep, r16, kStep, out); });
  add(
      "FrameFieldSAD16x16", [](const SadKernels& k) { return k.frame_field; },
      [=](FrameFieldFn fn) { fn(s, kStep, out); });
  add(
      "FrameFieldSAD16x16_16s", [](const SadKernels& k) { return k.frame_field16s; },
      [=](FrameField16sFn fn) { fn(reinterpret_cast<const int16_t*>(s), kStep, out); });
  add(
      "SubSAD8x8", [](const SadKernels& k) { return k.sub_sad8x8; },
      [=](SubSadFn fn) { benchmark::DoNotOptimize(fn(s, kStep, r, kStep, diff, kStep)); });
}

}  // namespace

int main(int argc, char** argv) {
  static Buffers buffers;
  register_all(buffers);
  return kvnbench::run(argc, argv);
}
