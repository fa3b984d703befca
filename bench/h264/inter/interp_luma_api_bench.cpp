// The luma interpolation's exported calls, whole: the cases of the kernel
// benchmarks, and Block calls whose region lies inside the picture or must
// be padded.
#include <benchmark/benchmark.h>

#include <string>

#include "kvnvc.h"
#include "support/bench_api.h"
#include "support/bench_support.h"

namespace {

constexpr int kStep = kvnbench::Picture::kStep;

struct Buffers {
  kvnbench::Buffers b;
  alignas(64) Kvn16u ref16[64 * kStep];
  alignas(64) Kvn16u dst16[64 * kStep];
  Buffers() {
    for (int i = 0; i < 64 * kStep; ++i) ref16[i] = Kvn16u((b.fwd.bytes[i] << 2) | (i & 3));
  }
};

void register_all(Buffers& buf) {
  struct Case {
    int w, dx, dy;
  };
  const Kvn8u* s = buf.b.fwd.block();
  Kvn8u* d = buf.b.dst.block();
  for (Case c : {Case{16, 0, 0}, {16, 2, 0}, {16, 0, 2}, {16, 2, 2}, {16, 1, 1}, {16, 2, 1}, {8, 2, 0}, {8, 2, 2}}) {
    const std::string group =
        "Luma" + std::to_string(c.w) + "x" + std::to_string(c.w) + "/" + std::to_string(c.dx) + std::to_string(c.dy);
    kvnbench::add_api(group, [=] {
      return kvniInterpolateLuma_H264_8u_C1R(s, kStep, d, kStep, c.dx, c.dy, KvnSize{c.w, c.w});
    });
  }
  const KvnInterpolationRecord16u r{
      buf.ref16 + 16 * kStep + 16, kStep, buf.dst16 + 16 * kStep + 16, kStep, 2, 2, {16, 16}, 10};
  kvnbench::add_api("Luma10_16x16/22", [r] { return kvniInterpolateLuma_H264_16u_C1R(&r); });
  // The 48x48 picture at (8, 8) of the buffer; a 16x16 block at (32, 4) with a
  // vector of (10.5, -7.25) samples crosses its right and top edges.
  const Kvn8u* pic = buf.b.fwd.bytes + 8 * kStep + 8;
  const KvnInterpolationBlockRecord8u padded{{pic, nullptr}, kStep,    {d, nullptr}, kStep,
                                             {48, 48},       {16, 16}, {32, 4},      {42, -29}};
  kvnbench::add_api("LumaBlock16x16_padded/23", [padded] { return kvniInterpolateLumaBlock_H264_8u_P1R(&padded); });
  const KvnInterpolationBlockRecord8u inside{{pic, nullptr}, kStep,    {d, nullptr}, kStep,
                                             {48, 48},       {16, 16}, {16, 16},     {6, -3}};
  kvnbench::add_api("LumaBlock16x16_inside/21", [inside] { return kvniInterpolateLumaBlock_H264_8u_P1R(&inside); });
}

}  // namespace

int main(int argc, char** argv) {
  static Buffers buffers;
  register_all(buffers);
  return kvnbench::run(argc, argv);
}
