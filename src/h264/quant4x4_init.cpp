// Kernel tables of the H.264 forward 4x4 transform and quantiser family per instruction-set level, and the one
// the library calls.
#include "quant4x4.h"

namespace kvn {
namespace {

Quant4x4Kernels build(Isa isa) {
  Quant4x4Kernels k = kQuant4x4KernelsC;
#if !defined(KVNVC_NO_SIMD)
  if (isa >= Isa::kSse2 && isa_supported(Isa::kSse2)) quant4x4_init_sse2(k);
  if (isa >= Isa::kSse41 && isa_supported(Isa::kSse41)) quant4x4_init_sse41(k);
#else
  (void)isa;
#endif
  return k;
}

KVN_TABLE_INIT const Quant4x4Kernels kSse2 = build(Isa::kSse2);
KVN_TABLE_INIT const Quant4x4Kernels kSse41 = build(Isa::kSse41);

}  // namespace

const Quant4x4Kernels& quant4x4_kernels(Isa isa) {
  if (isa >= Isa::kSse41) return kSse41;
  if (isa >= Isa::kSse2) return kSse2;
  return kQuant4x4KernelsC;
}

KVN_LOAD_TIME const KernelChoice<Quant4x4Kernels> kQuant4x4KernelsChosen{&quant4x4_kernels(best_isa())};

}  // namespace kvn
