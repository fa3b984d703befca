// Kernel tables of the variance and activity measures per instruction-set level,
// and the one the library calls.
#include "variance.h"

namespace kvn {
namespace {

VarianceKernels build(Isa isa) {
  VarianceKernels k = kVarianceKernelsC;
#if !defined(KVNVC_NO_SIMD)
  if (isa >= Isa::kSse2 && isa_supported(Isa::kSse2)) variance_init_sse2(k);
  if (isa >= Isa::kAvx2 && isa_supported(Isa::kAvx2)) variance_init_avx2(k);
#else
  (void)isa;
#endif
  return k;
}

KVN_TABLE_INIT const VarianceKernels kSse2 = build(Isa::kSse2);
KVN_TABLE_INIT const VarianceKernels kAvx2 = build(Isa::kAvx2);

}  // namespace

const VarianceKernels& variance_kernels(Isa isa) {
  if (isa >= Isa::kAvx2) return kAvx2;
  if (isa >= Isa::kSse2) return kSse2;
  return kVarianceKernelsC;
}

KVN_LOAD_TIME const KernelChoice<VarianceKernels> kVarianceKernelsChosen{&variance_kernels(best_isa())};

}  // namespace kvn
