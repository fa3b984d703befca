// The chroma interpolation, block average and border expansion kernels per
// kernel-table level.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "h264/inter/interp_chroma.h"
#include "support/bench_levels.h"
#include "support/bench_support.h"

namespace {

using namespace kvn;

constexpr int kStep = kvnbench::Picture::kStep;

template <class Slot, class Call>
void add(const std::string& group, Slot slot, Call call) {
  kvnbench::add_levels(
      group, [](Isa isa) -> const auto& { return interp_chroma_kernels(isa); }, slot, call);
}

// A 1280x720 plane with room for a border of 32.
struct Plane {
  static constexpr int kWidth = 1280, kHeight = 720, kBorder = 32, kStep = kWidth + 2 * kBorder;
  std::vector<uint8_t> bytes = std::vector<uint8_t>(size_t(kStep) * (kHeight + 2 * kBorder), 128);
  uint8_t* origin() { return bytes.data() + kBorder * kStep + kBorder; }
};

struct Buffers {
  kvnbench::Buffers b;
  alignas(64) uint16_t pic16[64 * 64];
  Plane plane;
  Buffers() {
    for (int i = 0; i < 64 * 64; ++i) pic16[i] = uint16_t(b.fwd.bytes[i] * 4 + (i & 3));
  }
};

void register_all(Buffers& x) {
  const uint8_t* ref = x.b.fwd.block();
  const uint8_t* ref2 = x.b.bwd.block();
  uint8_t* dst = x.b.dst.block();
  const uint16_t* ref16 = x.pic16 + 16 * 64 + 16;
  uint16_t* dst16 = x.pic16 + 40 * 64 + 16;
  const int w8 = chroma_width_index(8), w4 = chroma_width_index(4), both = chroma_kind(3, 5);
  add(
      "Chroma8x8_C1R_3_5", [=](const InterpChromaKernels& k) { return k.c1[w8][both]; },
      [=](ChromaFn f) { f(ref, kStep, dst, kStep, 3, 5, 8); });
  add(
      "Chroma4x4_C1R_3_5", [=](const InterpChromaKernels& k) { return k.c1[w4][both]; },
      [=](ChromaFn f) { f(ref, kStep, dst, kStep, 3, 5, 4); });
  add(
      "Chroma8x8_C1R_horizontal", [=](const InterpChromaKernels& k) { return k.c1[w8][1]; },
      [=](ChromaFn f) { f(ref, kStep, dst, kStep, 3, 0, 8); });
  add(
      "Chroma8x8_C2P2R_3_5", [=](const InterpChromaKernels& k) { return k.c2p2[w8][both]; },
      [=](ChromaP2Fn f) { f(ref, kStep, dst, dst + 16, kStep, 3, 5, 8); });
  add(
      "Chroma8x8_C2C2R_3_5", [=](const InterpChromaKernels& k) { return k.c2c2[w8][both]; },
      [=](ChromaFn f) { f(ref, kStep, dst, kStep, 3, 5, 8); });
  add(
      "Chroma8x8_16u_3_5", [=](const InterpChromaKernels& k) { return k.c16[w8][both]; },
      [=](Chroma16Fn f) { f(ref16, 64, dst16, 64, 3, 5, 8); });
  add(
      "Average16x16", [](const InterpChromaKernels& k) { return k.average[14]; },
      [=](AverageFn f) { f(ref, kStep, ref2, kStep, dst, kStep, 16); });
  add(
      "Average8x8", [](const InterpChromaKernels& k) { return k.average[6]; },
      [=](AverageFn f) { f(ref, kStep, ref2, kStep, dst, kStep, 8); });
  Plane* p = &x.plane;
  add(
      "ExpandPlane1280x720_32", [](const InterpChromaKernels& k) { return k.expand; },
      [=](ExpandFn f) { f(p->origin(), Plane::kWidth, Plane::kHeight, Plane::kStep, Plane::kBorder, 0); });
}

}  // namespace

int main(int argc, char** argv) {
  static Buffers buffers;
  register_all(buffers);
  return kvnbench::run(argc, argv);
}
