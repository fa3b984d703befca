// The VC-1 overlap smoothing and loop filter exported calls, whole (entry
// stub, checks, kernel): each name once, and the edge set of one macroblock:
// smoothing of an intra macroblock (two vertical and two horizontal luma
// edges, both chroma planes' two edges) and the loop filter of one
// macroblock (luma edges at 0 and 8 in both directions, interleaved chroma).
#include <benchmark/benchmark.h>

#include <cstring>

#include "kvnvc.h"
#include "support/bench_api.h"
#include "support/bench_support.h"
#include "vc1/vc1_filter_data.h"

namespace {

using kvnbench::Vc1Picture;

constexpr int kStep = Vc1Picture::kStep, kStep16 = Vc1Picture::kStep16;
constexpr uint32_t kPq = Vc1Picture::kPquant;

void register_all(Vc1Picture& b) {
  kvnbench::add_api("SmoothingLuma_VerEdge_VC1", [&b] {
    return kvniSmoothingLuma_VerEdge_VC1_16s8u_C1R(b.left(), kStep16, b.right(), kStep16, b.ver_dst(), kStep, 0, 15);
  });
  kvnbench::add_api("SmoothingLuma_VerEdge_VC1/field", [&b] {
    return kvniSmoothingLuma_VerEdge_VC1_16s8u_C1R(b.left(), kStep16, b.right(), kStep16, b.ver_dst(), kStep, 3, 15);
  });
  kvnbench::add_api("SmoothingLuma_HorEdge_VC1", [&b] {
    return kvniSmoothingLuma_HorEdge_VC1_16s8u_C1R(b.upper(), kStep16, b.lower(), kStep16, b.hor_dst(), kStep, 15);
  });
  kvnbench::add_api("SmoothingChroma_VerEdge_VC1", [&b] {
    return kvniSmoothingChroma_VerEdge_VC1_16s8u_C1R(b.left(), kStep16, b.right(), kStep16, b.ver_dst(), kStep);
  });
  kvnbench::add_api("SmoothingChroma_HorEdge_VC1", [&b] {
    return kvniSmoothingChroma_HorEdge_VC1_16s8u_C1R(b.upper(), kStep16, b.lower(), kStep16, b.hor_dst(), kStep);
  });
  kvnbench::add_api("SmoothingChroma_VerEdge_VC1_P2C2R", [&b] {
    return kvniSmoothingChroma_VerEdge_VC1_16s8u_P2C2R(b.left(), kStep16, b.right(), kStep16, b.left() + 8 * 32,
                                                       kStep16, b.right() + 8 * 32, kStep16, b.ver_dst(), kStep);
  });
  kvnbench::add_api("SmoothingChroma_HorEdge_VC1_P2C2R", [&b] {
    return kvniSmoothingChroma_HorEdge_VC1_16s8u_P2C2R(b.upper(), kStep16, b.lower(), kStep16, b.upper() + 8, kStep16,
                                                       b.lower() + 8, kStep16, b.hor_dst(), kStep);
  });
  kvnbench::add_api("FilterDeblockingLuma_HorEdge_VC1", [&b] {
    return kvniFilterDeblockingLuma_HorEdge_VC1_8u_C1IR(b.restore_hor(b.edge(), 16), kPq, kStep, 0);
  });
  kvnbench::add_api("FilterDeblockingLuma_VerEdge_VC1", [&b] {
    return kvniFilterDeblockingLuma_VerEdge_VC1_8u_C1IR(b.restore_ver<1>(b.edge(), 16), kPq, kStep, 0);
  });
  kvnbench::add_api("FilterDeblockingChroma_HorEdge_VC1", [&b] {
    return kvniFilterDeblockingChroma_HorEdge_VC1_8u_C1IR(b.restore_hor(b.edge(), 8), kPq, kStep, 0);
  });
  kvnbench::add_api("FilterDeblockingChroma_VerEdge_VC1", [&b] {
    return kvniFilterDeblockingChroma_VerEdge_VC1_8u_C1IR(b.restore_ver<1>(b.edge(), 8), kPq, kStep, 0);
  });
  kvnbench::add_api("FilterDeblockingChroma_HorEdge_VC1_C2", [&b] {
    return kvniFilterDeblockingChroma_HorEdge_VC1_8u_C2IR(b.restore_hor(b.edge(), 16), kPq, kStep, 0, 0);
  });
  kvnbench::add_api("FilterDeblockingChroma_VerEdge_VC1_C2", [&b] {
    return kvniFilterDeblockingChroma_VerEdge_VC1_8u_C2IR(b.restore_ver<2>(b.edge(), 8), kPq, kStep, 0, 0);
  });

  // One macroblock's edge sets (the 16x16 luma block at (8, 8) of the buffers).
  kvnbench::add_api("MacroblockSmoothing_VC1", [&b] {
    int16_t* blk = b.blocks + 8 * 32 + 8;  // luma block origin in the 16-bit samples
    uint8_t* pic = b.smoothed + 8 * kStep + 8;
    KvnResult r = 0;
    for (int x = 0; x < 16; x += 8)
      r |= kvniSmoothingLuma_VerEdge_VC1_16s8u_C1R(blk + x - 2, kStep16, blk + x, kStep16, pic + x, kStep, 0, 15);
    for (int y = 0; y < 16; y += 8)
      r |= kvniSmoothingLuma_HorEdge_VC1_16s8u_C1R(blk + (y - 2) * 32, kStep16, blk + y * 32, kStep16, pic + y * kStep,
                                                   kStep, 15);
    r |= kvniSmoothingChroma_VerEdge_VC1_16s8u_P2C2R(blk - 2, kStep16, blk, kStep16, blk + 6, kStep16, blk + 8, kStep16,
                                                     pic, kStep);
    r |= kvniSmoothingChroma_HorEdge_VC1_16s8u_P2C2R(blk - 2 * 32, kStep16, blk, kStep16, blk + 8 - 2 * 32, kStep16,
                                                     blk + 8, kStep16, pic, kStep);
    return r;
  });
  kvnbench::add_api("MacroblockLoopFilter_VC1", [&b] {
    uint8_t* pic = b.picture + 8 * kStep + 8;
    std::memcpy(b.picture, b.pristine, sizeof b.picture);  // ~ 40 ns of the figure: the whole picture restored
    KvnResult r = 0;
    for (int x = 0; x < 16; x += 8) r |= kvniFilterDeblockingLuma_VerEdge_VC1_8u_C1IR(pic + x, kPq, kStep, 0);
    for (int y = 0; y < 16; y += 8) r |= kvniFilterDeblockingLuma_HorEdge_VC1_8u_C1IR(pic + y * kStep, kPq, kStep, 0);
    r |= kvniFilterDeblockingChroma_VerEdge_VC1_8u_C2IR(pic + 8, kPq, kStep, 0, 0);
    r |= kvniFilterDeblockingChroma_HorEdge_VC1_8u_C2IR(pic + 8 * kStep, kPq, kStep, 0, 0);
    return r;
  });
}

}  // namespace

int main(int argc, char** argv) {
  static Vc1Picture pic;
  register_all(pic);
  return kvnbench::run(argc, argv);
}
