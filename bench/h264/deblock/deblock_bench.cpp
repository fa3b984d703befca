// The deblocking filter's kernels per kernel-table level, every edge filtered.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>

#include "h264/deblock/deblock.h"
#include "support/bench_levels.h"
#include "support/bench_support.h"

namespace {

using namespace kvn;
using kvnbench::Picture;

constexpr int kStep = Picture::kStep;
template <class Slot, class Call>
void add(const std::string& group, Slot slot, Call call) {
  kvnbench::add_levels(
      group, [](Isa isa) -> const auto& { return deblock_kernels(isa); }, slot, call);
}

// Near-flat content so that every line passes the alpha / beta tests; the
// filters keep it near-flat, so repeated calls keep filtering every line.
struct Buffers {
  alignas(64) uint8_t pic[64 * kStep];
  alignas(64) uint16_t pic16[64 * kStep];
  Buffers() {
    for (int i = 0; i < 64 * kStep; ++i) {
      pic[i] = uint8_t(100 + (i * 7 >> 3) % 5);
      pic16[i] = uint16_t(400 + (i * 7 >> 3) % 17);
    }
  }
  uint8_t* mb() { return pic + 16 * kStep + 16; }
  uint16_t* mb16() { return pic16 + 16 * kStep + 16; }
};

void register_all(Buffers& b) {
  static const uint8_t alpha[4] = {40, 40, 40, 40}, beta[4] = {12, 12, 12, 12};
  static const uint8_t tc0[16] = {2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2};
  static const uint8_t bs2[16] = {2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2};
  static const uint8_t bs4[16] = {4, 4, 4, 4, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2};
  static const uint16_t alpha16[2] = {160, 160}, beta16[2] = {48, 48};
  static const uint16_t tc16[16] = {8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8};
  uint8_t* const p = b.mb();
  uint16_t* const p16 = b.mb16();
  for (auto [name, bs] : {std::pair{"bS2", bs2}, {"bS4", bs4}}) {
    add(
        std::string("LumaVer_") + name, [](const DeblockKernels& k) { return k.luma_ver; },
        [=, bs = bs](Deblock8Fn f) { f(p, kStep, alpha, beta, tc0, bs); });
    add(
        std::string("LumaHor_") + name, [](const DeblockKernels& k) { return k.luma_hor; },
        [=, bs = bs](Deblock8Fn f) { f(p, kStep, alpha, beta, tc0, bs); });
    add(
        std::string("Luma10Ver_") + name, [](const DeblockKernels& k) { return k.luma16_ver; },
        [=, bs = bs](Deblock16Fn f) { f(p16, kStep, alpha16, beta16, tc16, bs, 1023); });
    add(
        std::string("Luma10Hor_") + name, [](const DeblockKernels& k) { return k.luma16_hor; },
        [=, bs = bs](Deblock16Fn f) { f(p16, kStep, alpha16, beta16, tc16, bs, 1023); });
  }
  add(
      "ChromaVer", [](const DeblockKernels& k) { return k.chroma_ver; },
      [=](Deblock8Fn f) { f(p, kStep, alpha, beta, tc0, bs2); });
  add(
      "ChromaHor", [](const DeblockKernels& k) { return k.chroma_hor; },
      [=](Deblock8Fn f) { f(p, kStep, alpha, beta, tc0, bs2); });
  add(
      "ChromaC2Ver", [](const DeblockKernels& k) { return k.chroma_c2_ver; },
      [=](DeblockC2Fn f) { f(p, kStep, alpha, beta, tc0, bs2, 0); });
  add(
      "ChromaC2Hor", [](const DeblockKernels& k) { return k.chroma_c2_hor; },
      [=](DeblockC2Fn f) { f(p, kStep, alpha, beta, tc0, bs2, 0); });
}

}  // namespace

int main(int argc, char** argv) {
  static Buffers buffers;
  register_all(buffers);
  return kvnbench::run(argc, argv);
}
