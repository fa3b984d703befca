// Weighted prediction's exported calls, whole, with typical H.264 weights.
#include <benchmark/benchmark.h>

#include <string>

#include "kvnvc.h"
#include "support/bench_api.h"
#include "support/bench_support.h"

namespace {

constexpr int kStep = kvnbench::Picture::kStep;

struct Buffers16 {
  alignas(64) Kvn16u fwd[32 * kStep], bwd[32 * kStep], dst[32 * kStep];
  Buffers16() {
    for (int i = 0; i < 32 * kStep; ++i) fwd[i] = Kvn16u(i * 37 % 1024), bwd[i] = Kvn16u(i * 91 % 1024);
  }
};

void register_all(kvnbench::Buffers& b, Buffers16& b16) {
  const Kvn8u* f = b.fwd.block();
  const Kvn8u* r = b.bwd.block();
  Kvn8u* d = b.dst.block();
  using kvnbench::add_api;
  struct Size {
    const char* name;
    int w, h;
  };
  for (Size s : {Size{"16x16", 16, 16}, Size{"16x8", 16, 8}, Size{"8x8", 8, 8}, Size{"4x4", 4, 4}}) {
    const KvnSize roi{s.w, s.h};
    add_api(std::string("UniDir") + s.name, [=] { return kvniUniDirWeightBlock_H264_8u_C1R(d, kStep, 5, 40, 3, roi); });
    add_api(std::string("BiDir") + s.name,
            [=] { return kvniBiDirWeightBlock_H264_8u_P2P1R(f, r, d, kStep, kStep, 5, 40, 3, 24, -5, roi); });
  }
  add_api("BiDirImplicit16x16", [=] {
    return kvniBiDirWeightBlockImplicit_H264_8u_P2P1R(f, r, d, kStep, kStep, 40, 24, {16, 16});
  });
  add_api("WeightedAverage16x16", [=] {
    return kvniWeightedAverage_H264_8u_C1IR(f, d, kStep, 40, 24, 6, 2, {16, 16});
  });
  static const KvnWeightParams8u p1{5, 40, 36, 3, -2}, p2{5, 24, 30, -5, 1};
  const KvnWeightBlockRecord8u rec{f, kStep, r, kStep, d, kStep, {8, 8}};
  add_api("UniDirC2_8x8", [=] { return kvniUniDirWeightBlock_H264_8u_C2R(&rec, &p1); });
  add_api("BiDirC2_8x8", [=] { return kvniBiDirWeightBlock_H264_8u_C2R(&rec, &p1, &p2); });

  for (Size s : {Size{"16x16", 16, 16}, Size{"8x8", 8, 8}}) {
    const KvnBidirRecord16u rec16{b16.fwd, kStep, b16.bwd, kStep, b16.dst, kStep, {s.w, s.h}, 10};
    Kvn16u* d16 = b16.dst;
    add_api(std::string("Unidir10_") + s.name, [=] {
      return kvniUnidirWeight_H264_16u_IP2P1R(d16, kStep, 5, 40, 12, {s.w, s.h}, 10);
    });
    add_api(std::string("Bidir10_") + s.name,
            [=] { return kvniBidirWeight_H264_16u_P2P1R(&rec16, 5, 40, 12, 24, -20); });
    add_api(std::string("BidirAverage10_") + s.name, [=] { return kvniBidir_H264_16u_P2P1R(&rec16); });
  }
  const KvnBidirRecord16u rec16{b16.fwd, kStep, b16.bwd, kStep, b16.dst, kStep, {16, 16}, 10};
  add_api("BidirImplicit10_16x16", [=] { return kvniBidirWeightImplicit_H264_16u_P2P1R(&rec16, 40, 24); });
}

}  // namespace

int main(int argc, char** argv) {
  static kvnbench::Buffers buffers;
  static Buffers16 buffers16;
  register_all(buffers, buffers16);
  return kvnbench::run(argc, argv);
}
