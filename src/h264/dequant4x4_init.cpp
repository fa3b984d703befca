// Kernel tables of the H.264 inverse 4x4 transform and dequantiser family per instruction-set level, and the one
// the library calls.
#include "dequant4x4.h"

namespace kvn {
namespace {

Dequant4x4Kernels build(Isa isa) {
  Dequant4x4Kernels k = kDequant4x4KernelsC;
#if !defined(KVNVC_NO_SIMD)
  if (isa >= Isa::kSse2 && isa_supported(Isa::kSse2)) dequant4x4_init_sse2(k);
#else
  (void)isa;
#endif
  return k;
}

KVN_TABLE_INIT const Dequant4x4Kernels kSse2 = build(Isa::kSse2);

}  // namespace

const Dequant4x4Kernels& dequant4x4_kernels(Isa isa) {
  if (isa >= Isa::kSse2) return kSse2;
  return kDequant4x4KernelsC;
}

KVN_LOAD_TIME const KernelChoice<Dequant4x4Kernels> kDequant4x4KernelsChosen{&dequant4x4_kernels(best_isa())};

}  // namespace kvn
