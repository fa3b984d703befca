// The deblocking filter's exported calls, whole, every edge filtered.
#include <benchmark/benchmark.h>

#include <string>

#include "kvnvc.h"
#include "support/bench_api.h"
#include "support/bench_support.h"

namespace {

constexpr int kStep = 64;

template <class Call>
void add(const std::string& group, Call call) {
  kvnbench::add_api(group, call);
}

struct Buffers {
  alignas(64) Kvn8u pic[64 * kStep];
  alignas(64) Kvn16u pic16[64 * kStep];
  Buffers() {
    for (int i = 0; i < 64 * kStep; ++i) {
      pic[i] = Kvn8u(100 + (i * 7 >> 3) % 5);
      pic16[i] = Kvn16u(400 + (i * 7 >> 3) % 17);
    }
  }
};

void register_all(Buffers& b) {
  static const Kvn8u alpha[4] = {40, 40, 40, 40}, beta[4] = {12, 12, 12, 12};
  static const Kvn8u tc0[16] = {2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2};
  static const Kvn8u bs2[16] = {2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2};
  static const Kvn8u bs4[16] = {4, 4, 4, 4, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2};
  static const Kvn16u alpha16[2] = {160, 160}, beta16[2] = {48, 48};
  static const Kvn16u tc16[16] = {8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8};
  Kvn8u* const p = b.pic + 16 * kStep + 16;
  Kvn16u* const p16 = b.pic16 + 16 * kStep + 16;
  for (auto [name, bs] : {std::pair{"bS2", bs2}, {"bS4", bs4}}) {
    add(std::string("LumaVer_") + name,
        [=, bs = bs] { return kvniFilterDeblockingLuma_VerEdge_H264_8u_C1IR(p, kStep, alpha, beta, tc0, bs); });
    add(std::string("LumaHor_") + name,
        [=, bs = bs] { return kvniFilterDeblockingLuma_HorEdge_H264_8u_C1IR(p, kStep, alpha, beta, tc0, bs); });
    const KvnDeblockingRecord16u r{p16, kStep, alpha16, beta16, tc16, bs, 10};
    add(std::string("Luma10Ver_") + name, [r] { return kvniFilterDeblockingLumaVerEdge_H264_16u_C1IR(&r); });
    add(std::string("Luma10Hor_") + name, [r] { return kvniFilterDeblockingLumaHorEdge_H264_16u_C1IR(&r); });
  }
  add("ChromaVer", [=] { return kvniFilterDeblockingChroma_VerEdge_H264_8u_C1IR(p, kStep, alpha, beta, tc0, bs2); });
  add("ChromaHor", [=] { return kvniFilterDeblockingChroma_HorEdge_H264_8u_C1IR(p, kStep, alpha, beta, tc0, bs2); });
  add("ChromaC2Ver", [=] { return kvniFilterDeblockingChroma_VerEdge_H264_8u_C2IR(p, kStep, alpha, beta, tc0, bs2); });
  add("ChromaC2Hor", [=] { return kvniFilterDeblockingChroma_HorEdge_H264_8u_C2IR(p, kStep, alpha, beta, tc0, bs2); });
}

}  // namespace

int main(int argc, char** argv) {
  static Buffers buffers;
  register_all(buffers);
  return kvnbench::run(argc, argv);
}
