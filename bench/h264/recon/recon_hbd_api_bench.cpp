// The high-profile reconstruction's exported calls, whole macroblock
// components.
#include <benchmark/benchmark.h>

#include "kvnvc.h"
#include "recon_hbd_data.h"
#include "support/bench_api.h"
#include "support/bench_support.h"

namespace {

using kvnbench::add_api;
using kvnbench::ReconHbdData;
using Rec32 = KvnReconstructRecord32s16u;
using Rec8 = KvnReconstructRecord16s8u;

void register_all(ReconHbdData& d) {
  add_api("LumaInter4x4_10bit_16coded", [&d] {
    const Rec32 r = d.luma(0x1fffe);
    return kvniReconstructLumaInter4x4_H264High_32s16u_IP1R(&r);
  });
  add_api("LumaInter8x8_10bit", [&d] {
    const Rec32 r = d.luma(0xf);
    return kvniReconstructLumaInter8x8_H264High_32s16u_IP1R(&r);
  });
  add_api("LumaIntra4x4_10bit_16coded", [&d] {
    const Rec32 r = d.luma(0x1fffe);
    return kvniReconstructLumaIntra4x4_H264High_32s16u_IP1R(&r, d.modes4, 0);
  });
  add_api("LumaIntra4x4_10bit_uncoded", [&d] {
    const Rec32 r = d.luma(0);
    return kvniReconstructLumaIntra4x4_H264High_32s16u_IP1R(&r, d.modes4, 0);
  });
  add_api("LumaIntra8x8_10bit", [&d] {
    const Rec32 r = d.luma(0xf);
    return kvniReconstructLumaIntra8x8_H264High_32s16u_IP1R(&r, d.modes8, 0);
  });
  add_api("LumaIntra16x16_10bit_DC+4", [&d] {
    const Rec32 r = d.luma(0x1e);
    return kvniReconstructLumaIntra16x16_H264High_32s16u_IP1R(&r, 3, 0);
  });
  add_api("Chroma420_10bit", [&d] {
    const Rec32 r[2] = {d.chroma(0, 0x1f), d.chroma(1, 0x1f)};
    const Rec32* p[2] = {&r[0], &r[1]};
    return kvniReconstructChromaInter4x4_H264High_32s16u_IP2R(p);
  });
  add_api("Chroma422_10bit", [&d] {
    const Rec32 r[2] = {d.chroma(0, 0x1ff), d.chroma(1, 0x1ff)};
    const Rec32* p[2] = {&r[0], &r[1]};
    return kvniReconstructChroma422Inter4x4_H264High_32s16u_IP2R(p, 256, 256);
  });
  add_api("Chroma422_8bit", [&d] {
    const Rec8 r[2] = {d.chroma8(0, 0x1ff), d.chroma8(1, 0x1ff)};
    const Rec8* p[2] = {&r[0], &r[1]};
    return kvniReconstructChroma422Inter4x4_H264High_16s8u_IP2R(p, 256, 256);
  });
  add_api("Chroma422Intra_8bit_DC", [&d] {
    const Rec8 r[2] = {d.chroma8(0, 0x1ff), d.chroma8(1, 0x1ff)};
    const Rec8* p[2] = {&r[0], &r[1]};
    return kvniReconstructChroma422Intra4x4_H264High_16s8u_IP2R(p, 0, 0, 256, 256);
  });
}

}  // namespace

int main(int argc, char** argv) {
  static ReconHbdData data;
  register_all(data);
  return kvnbench::run(argc, argv);
}
