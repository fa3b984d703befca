// The H.264 8x8 transform and intra exported calls, whole: entry stub,
// checks, table call (pairs of calls where a codec makes them together).
#include <benchmark/benchmark.h>

#include <string>

#include "h264_8x8_data.h"
#include "kvnvc.h"
#include "support/bench_api.h"
#include "support/bench_support.h"

namespace {

using kvnbench::H264Blocks8x8;

constexpr int kStep = H264Blocks8x8::kStep;
constexpr int kQ6 = H264Blocks8x8::kQ6;
const char* const k4x4Names[9] = {"V", "H", "DC", "DDL", "DDR", "VR", "HD", "VL", "HU"};
const char* const k16Names[4] = {"V", "H", "DC", "Plane"};
const char* const kChromaNames[4] = {"DC", "H", "V", "Plane"};

void register_all(H264Blocks8x8& b) {
  kvnbench::add_api("TransformFwdLuma8x8_16s",
                    [&b] { return kvniTransformFwdLuma8x8_H264_16s_C1(b.residual, b.coeffs); });
  kvnbench::add_api("QuantLuma8x8_16s", [&b] {
    int32_t n, last;
    const KvnResult r = kvniQuantLuma8x8_H264_16s_C1(b.coeffs, b.levels, kQ6, 1, b.scan, b.fwd, &n, &last);
    benchmark::DoNotOptimize(n + last);
    return r;
  });
  kvnbench::add_api("FwdTransformAndQuant8x8", [&b] {
    int32_t n, last;
    kvniTransformFwdLuma8x8_H264_16s_C1(b.residual, b.coeffs);
    const KvnResult r = kvniQuantLuma8x8_H264_16s_C1(b.coeffs, b.work, kQ6, 1, b.scan, b.fwd, &n, &last);
    benchmark::DoNotOptimize(n + last);
    return r;
  });
  kvnbench::add_api("DequantInvTransformAdd8x8_8u", [&b] {
    kvniQuantLuma8x8Inv_H264_16s_C1I(b.work, kQ6, b.inv);
    return kvniTransformLuma8x8InvAddPred_H264_16s8u_C1R(b.block(), kStep, b.work, b.block(), kStep);
  });
  kvnbench::add_api("DequantInvTransformAdd8x8_10bit", [&b] {
    kvniQuantInvLuma8x8_H264_32s_C1I(b.work32, kQ6, b.inv);
    return kvniTransformInvAddPredLuma8x8_H264_32s16u_C1R(b.pred16, 16, b.work32, b.dst16, 16, 10);
  });
  for (int m = 0; m < 9; ++m)
    kvnbench::add_api(std::string("PredictIntra4x4/") + k4x4Names[m],
                      [&b, m] { return kvniPredictIntra_4x4_H264_8u_C1IR(b.block(), kStep, m, 0x63); });
  for (int m = 0; m < 4; ++m) {
    kvnbench::add_api(std::string("PredictIntra16x16/") + k16Names[m],
                      [&b, m] { return kvniPredictIntra_16x16_H264_8u_C1IR(b.block(), kStep, m, 0x23); });
    kvnbench::add_api(std::string("PredictIntraChroma8x8/") + kChromaNames[m],
                      [&b, m] { return kvniPredictIntraChroma8x8_H264_8u_C1IR(b.block(), kStep, m, 0x23); });
  }
}

}  // namespace

int main(int argc, char** argv) {
  static H264Blocks8x8 blocks;
  register_all(blocks);
  return kvnbench::run(argc, argv);
}
