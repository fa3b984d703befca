// Weighted prediction kernels per kernel-table level, with the parameters the
// entries pass for typical H.264 weights (logWD 5).
#include <benchmark/benchmark.h>

#include <string>

#include "h264/inter/weight.h"
#include "support/bench_levels.h"
#include "support/bench_support.h"

namespace {

using namespace kvn;
constexpr int kStep = kvnbench::Picture::kStep;

template <class Slot, class Call>
void add(const std::string& group, Slot slot, Call call) {
  kvnbench::add_levels(
      group, [](Isa isa) -> const auto& { return weight_kernels(isa); }, slot, call);
}

WeightArgs reduced(WeightArgs a) {
  reduce_weights(a);
  return a;
}

struct Buffers16 {
  alignas(64) uint16_t fwd[32 * kStep], bwd[32 * kStep], dst[32 * kStep];
  Buffers16() {
    for (int i = 0; i < 32 * kStep; ++i) fwd[i] = uint16_t(i * 37 % 1024), bwd[i] = uint16_t(i * 91 % 1024);
  }
};

void register_all(kvnbench::Buffers& b, Buffers16& b16) {
  const uint8_t* f = b.fwd.block();
  const uint8_t* r = b.bwd.block();
  uint8_t* d = b.dst.block();
  const WeightArgs uni = reduced(uni_args(5, 40, 3, 255));
  const WeightArgs bi = reduced(bi_args(5, 40, 3, 24, -5, 255));
  const WeightArgs imp = reduced(bi_args(5, 40, 0, 24, 0, 255));
  const WeightArgs avg = reduced(shift_args(6, 40, 24, 2));
  const WeightArgs uni_c2{{40, 36}, {0, 0}, {3, -2}, 5, 255};
  const WeightArgs bi_c2 = reduced(bi_args(5, {40, 36}, {3, -2}, {24, 30}, {-5, 1}, 255));
  struct Size {
    const char* name;
    int w, h;
  };
  for (Size s : {Size{"16x16", 16, 16}, Size{"16x8", 16, 8}, Size{"8x8", 8, 8}, Size{"4x4", 4, 4}}) {
    const int wi = size_index(s.w), hi = size_index(s.h);
    add(
        std::string("UniDir") + s.name, [=](const WeightKernels& k) { return k.uni8[wi][hi]; },
        [=](WeightUni8Fn fn) { fn(d, kStep, pack8_one(uni), uni.shift); });
    add(
        std::string("BiDir") + s.name, [=](const WeightKernels& k) { return k.bi8[wi][hi]; },
        [=](WeightBi8Fn fn) { fn(f, kStep, r, kStep, d, kStep, pack8_weights(bi), pack8_offsets(bi), bi.shift); });
  }
  add(
      "BiDirImplicit16x16", [](const WeightKernels& k) { return k.bi8[3][3]; },
      [=](WeightBi8Fn fn) { fn(f, kStep, r, kStep, d, kStep, pack8_weights(imp), pack8_offsets(imp), imp.shift); });
  add(
      "WeightedAverage16x16", [](const WeightKernels& k) { return k.bi8[3][3]; },
      [=](WeightBi8Fn fn) { fn(f, kStep, d, kStep, d, kStep, pack8_weights(avg), pack8_offsets(avg), avg.shift); });
  add(
      "UniDirC2_8x8", [](const WeightKernels& k) { return k.uni8[4][2]; },
      [=](WeightUni8Fn fn) { fn(d, kStep, pack8_one(uni_c2), uni_c2.shift); });
  add(
      "BiDirC2_8x8", [](const WeightKernels& k) { return k.bi8[4][2]; },
      [=](WeightBi8Fn fn) {
        fn(f, kStep, r, kStep, d, kStep, pack8_weights(bi_c2), pack8_offsets(bi_c2), bi_c2.shift);
      });

  const Packed16 uni16 = pack16(uni_args(5, 40, 12, 1023)), bi16 = pack16(bi_args(5, 40, 12, 24, -20, 1023));
  const Packed16 imp16 = pack16(bi_args(5, 40, 0, 24, 0, 1023));
  for (Size s : {Size{"16x16", 16, 16}, Size{"8x8", 8, 8}}) {
    const int wi = size_index(s.w), hi = size_index(s.h);
    const KvnBidirRecord16u rec{b16.fwd, kStep, b16.bwd, kStep, b16.dst, kStep, {s.w, s.h}, 10};
    uint16_t* d16 = b16.dst;
    add(
        std::string("Unidir10_") + s.name, [=](const WeightKernels& k) { return k.uni16[wi][hi]; },
        [=](WeightUni16Fn fn) { fn(d16, kStep, uni16.weights, uni16.add, uni16.offset, uni16.shiftMax); });
    add(
        std::string("Bidir10_") + s.name, [=](const WeightKernels& k) { return k.bi16[wi][hi]; },
        [=](WeightBi16Fn fn) { fn(rec, bi16.weights, bi16.add, bi16.offset, bi16.shiftMax); });
    add(
        std::string("BidirAverage10_") + s.name, [=](const WeightKernels& k) { return k.average16[s.w - 2]; },
        [=](Average16Fn fn) { fn(rec, 1023); });
  }
  const KvnBidirRecord16u rec{b16.fwd, kStep, b16.bwd, kStep, b16.dst, kStep, {16, 16}, 10};
  add(
      "BidirImplicit10_16x16", [](const WeightKernels& k) { return k.bi16[3][3]; },
      [=](WeightBi16Fn fn) { fn(rec, imp16.weights, imp16.add, imp16.offset, imp16.shiftMax); });
}

}  // namespace

int main(int argc, char** argv) {
  static kvnbench::Buffers buffers;
  static Buffers16 buffers16;
  register_all(buffers, buffers16);
  return kvnbench::run(argc, argv);
}
