// The chroma interpolation, block average and border expansion exported
// calls, whole: entry stub, checks, padding where needed, table call.
#include <benchmark/benchmark.h>

#include <vector>

#include "kvnvc.h"
#include "support/bench_api.h"
#include "support/bench_support.h"

namespace {

constexpr int kStep = kvnbench::Picture::kStep;
constexpr int kWidth = 1280, kHeight = 720, kBorder = 32, kPlaneStep = kWidth + 2 * kBorder;

struct Buffers {
  kvnbench::Buffers b;
  alignas(64) Kvn16u pic16[64 * 64];
  std::vector<Kvn8u> plane = std::vector<Kvn8u>(size_t(kPlaneStep) * (kHeight + 2 * kBorder), 128);
  Buffers() {
    for (int i = 0; i < 64 * 64; ++i) pic16[i] = Kvn16u(b.fwd.bytes[i] * 4 + (i & 3));
  }
};

void register_all(Buffers& x) {
  const Kvn8u* ref = x.b.fwd.block();
  const Kvn8u* ref2 = x.b.bwd.block();
  Kvn8u* dst = x.b.dst.block();
  const KvnSize s8{8, 8};
  kvnbench::add_api("Chroma8x8_C1R_3_5",
                    [=] { return kvniInterpolateChroma_H264_8u_C1R(ref, kStep, dst, kStep, 3, 5, s8); });
  kvnbench::add_api("Chroma4x4_C1R_3_5", [=] {
    return kvniInterpolateChroma_H264_8u_C1R(ref, kStep, dst, kStep, 3, 5, KvnSize{4, 4});
  });
  kvnbench::add_api("Chroma8x8_C1R_horizontal",
                    [=] { return kvniInterpolateChroma_H264_8u_C1R(ref, kStep, dst, kStep, 3, 0, s8); });
  kvnbench::add_api("Chroma8x8_C2P2R_3_5",
                    [=] { return kvniInterpolateChroma_H264_8u_C2P2R(ref, kStep, dst, dst + 16, kStep, 3, 5, s8); });
  const KvnInterpolationRecord16u r16{x.pic16 + 16 * 64 + 16, 64, x.pic16 + 40 * 64 + 16, 64, 3, 5, s8, 10};
  kvnbench::add_api("Chroma8x8_16u_3_5", [r16] { return kvniInterpolateChroma_H264_16u_C1R(&r16); });
  // Blocks in a 64x64 chroma picture; the vectors reach 2 samples past its
  // top-left corner, so both planes are padded.
  const Kvn8u* pic = x.b.fwd.bytes;
  const Kvn8u* pic2 = x.b.bwd.bytes;
  const KvnInterpolationBlockRecord8u inside{{ref, ref2}, kStep, {dst, dst + 16}, kStep,
                                             {64, 64},    s8,    {16, 16},        {3, 5}};
  const KvnInterpolationBlockRecord8u padded{{pic, pic2}, kStep, {dst, dst + 16}, kStep,
                                             {64, 64},    s8,    {0, 0},          {-13, -11}};
  kvnbench::add_api("ChromaBlock8x8_P2R_inside", [inside] { return kvniInterpolateChromaBlock_H264_8u_P2R(&inside); });
  kvnbench::add_api("ChromaBlock8x8_P2R_padded", [padded] { return kvniInterpolateChromaBlock_H264_8u_P2R(&padded); });
  kvnbench::add_api("ChromaBlock8x8_C2P2R_padded",
                    [padded] { return kvniInterpolateChromaBlock_H264_8u_C2P2R(&padded); });
  kvnbench::add_api("Average16x16", [=] { return kvniInterpolateBlock_H264_8u_P2P1R(ref, ref2, dst, 16, 16, kStep); });
  kvnbench::add_api("Average8x8", [=] { return kvniInterpolateBlock_H264_8u_P2P1R(ref, ref2, dst, 8, 8, kStep); });
  Kvn8u* origin = x.plane.data() + kBorder * kPlaneStep + kBorder;
  kvnbench::add_api("ExpandPlane1280x720_32",
                    [=] { return kvniExpandPlane_H264_8u_C1R(origin, kWidth, kHeight, kPlaneStep, kBorder, 0); });
}

}  // namespace

int main(int argc, char** argv) {
  static Buffers buffers;
  register_all(buffers);
  return kvnbench::run(argc, argv);
}
