// The VC-1 transform and quantiser exported calls, whole: entry stub, checks,
// path choice, kernel; and a decoder's dequantise + inverse transform pair.
#include <benchmark/benchmark.h>

#include <string>

#include "kvnvc.h"
#include "support/bench_api.h"
#include "support/bench_support.h"
#include "vc1/vc1_data.h"

namespace {

using kvnbench::Vc1Blocks;

constexpr int kStep = Vc1Blocks::kStep;
constexpr int kQ = Vc1Blocks::kQ;

using Inv = KvnResult (*)(const Kvn16s*, int32_t, Kvn16s*, int32_t, KvnSize);
struct Shape {
  const char* name;
  int w, h;
  Inv inv;
};
const Shape kShapes[] = {{"4x4", 4, 4, kvniTransform4x4Inv_VC1_16s_C1R},
                         {"4x8", 4, 8, kvniTransform4x8Inv_VC1_16s_C1R},
                         {"8x4", 8, 4, kvniTransform8x4Inv_VC1_16s_C1R},
                         {"8x8", 8, 8, kvniTransform8x8Inv_VC1_16s_C1R}};

void register_all(Vc1Blocks& b) {
  for (const Shape& s : kShapes) {
    const std::string g = std::string("TransformInv_VC1/") + s.name;
    const Inv inv = s.inv;
    const KvnSize full = {s.w, s.h};
    kvnbench::add_api(g + "/full", [&b, inv, full] { return inv(b.coef, kStep, b.out, kStep, full); });
    kvnbench::add_api(g + "/2x2", [&b, inv] { return inv(b.coef, kStep, b.out, kStep, {2, 2}); });
    kvnbench::add_api(g + "/dc", [&b, inv] { return inv(b.dc, kStep, b.out, kStep, {1, 1}); });
  }
  kvnbench::add_api("TransformFwd_VC1/8x8",
                    [&b] { return kvniTransform8x8Fwd_VC1_16s_C1R(b.residual, kStep, b.out, kStep); });
  kvnbench::add_api("QuantInterUniform_VC1/8x8", [&b] {
    return kvniQuantInterUniform_VC1_16s_C1IR(b.fresh(b.coef), kStep, kQ, {8, 8});
  });
  kvnbench::add_api("QuantInvInterNonuniform_VC1/8x8", [&b] {
    KvnSize nz;
    const KvnResult r = kvniQuantInvInterNonuniform_VC1_16s_C1R(b.levels, kStep, b.out, kStep, kQ, {8, 8}, &nz);
    benchmark::DoNotOptimize(nz);
    return r;
  });
  // The decoder's pair: dequantise an inter 8x8 block, inverse-transform its region.
  kvnbench::add_api("QuantInvInter+TransformInv_VC1/8x8", [&b] {
    KvnSize nz;
    kvniQuantInvInterNonuniform_VC1_16s_C1R(b.levels, kStep, b.work, kStep, kQ, {8, 8}, &nz);
    return kvniTransform8x8Inv_VC1_16s_C1IR(b.work, kStep, nz);
  });
  kvnbench::add_api("QuantInvIntra+TransformInv_VC1/8x8/dc", [&b] {
    KvnSize nz;
    kvniQuantInvIntraUniform_VC1_16s_C1R(b.dc, kStep, b.work, kStep, kQ, &nz);
    return kvniTransform8x8Inv_VC1_16s_C1IR(b.work, kStep, nz);
  });
}

}  // namespace

int main(int argc, char** argv) {
  static Vc1Blocks blocks;
  register_all(blocks);
  return kvnbench::run(argc, argv);
}
