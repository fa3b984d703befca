// The MPEG-4/H.263 quantiser and H.263 edge filter exported calls, whole:
// entry stub, checks, mode choice, kernel.
#include <benchmark/benchmark.h>

#include "kvnvc.h"
#include "mpeg4/mpeg4_quant_data.h"
#include "support/bench_api.h"
#include "support/bench_support.h"

namespace {

using kvnbench::Mpeg4Blocks;

constexpr int kQ = Mpeg4Blocks::kQ, kStep = Mpeg4Blocks::kStep;

struct States {
  alignas(16) unsigned char inter[412], intra[412], invInter[156], invIntra[156], inter1[412], invInter1[156];
  KvnQuantState_MPEG4* fwd(unsigned char* p) { return reinterpret_cast<KvnQuantState_MPEG4*>(p); }
  KvnQuantInvState_MPEG4* inv(unsigned char* p) { return reinterpret_cast<KvnQuantInvState_MPEG4*>(p); }
};

void register_all(Mpeg4Blocks& b, States& s) {
  kvniQuantInterInit_MPEG4(b.matrix, s.fwd(s.inter), 8);
  kvniQuantIntraInit_MPEG4(b.matrix, s.fwd(s.intra), 8);
  kvniQuantInvInterInit_MPEG4(b.matrix, s.inv(s.invInter), 8);
  kvniQuantInvIntraInit_MPEG4(b.matrix, s.inv(s.invIntra), 8);
  kvniQuantInterInit_MPEG4(nullptr, s.fwd(s.inter1), 8);
  kvniQuantInvInterInit_MPEG4(nullptr, s.inv(s.invInter1), 8);
  static int32_t n;
  kvnbench::add_api("QuantInter_H263", [&b] { return kvniQuantInter_H263_16s_C1I(b.fresh_coefs(), kQ, &n, 0); });
  kvnbench::add_api("QuantIntra_H263", [&b] { return kvniQuantIntra_H263_16s_C1I(b.fresh_coefs(), kQ, &n, 0, 0); });
  kvnbench::add_api("QuantInvInter_H263", [&b] { return kvniQuantInvInter_H263_16s_C1I(b.fresh_levels(), 63, kQ, 0); });
  kvnbench::add_api("QuantInvIntra_H263",
                    [&b] { return kvniQuantInvIntra_H263_16s_C1I(b.fresh_levels(), 63, kQ, 0, 0); });
  kvnbench::add_api("QuantInter_MPEG4/method1",
                    [&b, &s] { return kvniQuantInter_MPEG4_16s_C1I(b.fresh_coefs(), s.fwd(s.inter1), kQ, &n); });
  kvnbench::add_api("QuantInter_MPEG4/matrix",
                    [&b, &s] { return kvniQuantInter_MPEG4_16s_C1I(b.fresh_coefs(), s.fwd(s.inter), kQ, &n); });
  kvnbench::add_api("QuantIntra_MPEG4/matrix",
                    [&b, &s] { return kvniQuantIntra_MPEG4_16s_C1I(b.fresh_coefs(), s.fwd(s.intra), kQ, &n, 0); });
  kvnbench::add_api("QuantInvInter_MPEG4/method1",
                    [&b, &s] { return kvniQuantInvInter_MPEG4_16s_C1I(b.fresh_levels(), 63, s.inv(s.invInter1), kQ); });
  kvnbench::add_api("QuantInvInter_MPEG4/matrix",
                    [&b, &s] { return kvniQuantInvInter_MPEG4_16s_C1I(b.fresh_levels(), 63, s.inv(s.invInter), kQ); });
  kvnbench::add_api("QuantInvIntra_MPEG4/matrix", [&b, &s] {
    return kvniQuantInvIntra_MPEG4_16s_C1I(b.fresh_levels(), 63, s.inv(s.invIntra), kQ, 0);
  });
  kvnbench::add_api("FilterDeblocking8x8HorEdge_H263",
                    [&b] { return kvniFilterDeblocking8x8HorEdge_H263_8u_C1IR(b.edge(), kStep, kQ); });
  kvnbench::add_api("FilterDeblocking8x8VerEdge_H263",
                    [&b] { return kvniFilterDeblocking8x8VerEdge_H263_8u_C1IR(b.edge(), kStep, kQ); });
  kvnbench::add_api("FilterDeblocking16x16HorEdge_H263",
                    [&b] { return kvniFilterDeblocking16x16HorEdge_H263_8u_C1IR(b.edge(), kStep); });
  kvnbench::add_api("FilterDeblocking16x16VerEdge_H263",
                    [&b] { return kvniFilterDeblocking16x16VerEdge_H263_8u_C1IR(b.edge(), kStep); });
  kvnbench::add_api("FilterBlockBoundaryHorEdge_H263",
                    [&b] { return kvniFilterBlockBoundaryHorEdge_H263_8u_C1IR(b.edge(), kStep); });
  kvnbench::add_api("FilterBlockBoundaryVerEdge_H263",
                    [&b] { return kvniFilterBlockBoundaryVerEdge_H263_8u_C1IR(b.edge(), kStep); });
}

}  // namespace

int main(int argc, char** argv) {
  static Mpeg4Blocks blocks;
  static States states;
  register_all(blocks, states);
  return kvnbench::run(argc, argv);
}
