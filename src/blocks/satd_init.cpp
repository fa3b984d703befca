// Kernel tables of the Hadamard costs per instruction-set level, and the one the
// library calls.
#include "satd.h"

namespace kvn {
namespace {

SatdKernels build(Isa isa) {
  SatdKernels k = kSatdKernelsC;
#if !defined(KVNVC_NO_SIMD)
  if (isa >= Isa::kSse2 && isa_supported(Isa::kSse2)) satd_init_sse2(k);
  if (isa >= Isa::kAvx2 && isa_supported(Isa::kAvx2)) satd_init_avx2(k);
#else
  (void)isa;
#endif
  return k;
}

KVN_TABLE_INIT const SatdKernels kSse2 = build(Isa::kSse2);
KVN_TABLE_INIT const SatdKernels kAvx2 = build(Isa::kAvx2);

}  // namespace

const SatdKernels& satd_kernels(Isa isa) {
  if (isa >= Isa::kAvx2) return kAvx2;
  if (isa >= Isa::kSse2) return kSse2;
  return kSatdKernelsC;
}

KVN_LOAD_TIME const KernelChoice<SatdKernels> kSatdKernelsChosen{&satd_kernels(best_isa())};

}  // namespace kvn
