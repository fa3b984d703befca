// Kernel tables of the squared-error costs per instruction-set level, and the one
// the library calls.
#include "ssd.h"

namespace kvn {
namespace {

SsdKernels build(Isa isa) {
  SsdKernels k = kSsdKernelsC;
#if !defined(KVNVC_NO_SIMD)
  if (isa >= Isa::kSse2 && isa_supported(Isa::kSse2)) ssd_init_sse2(k);
  if (isa >= Isa::kAvx2 && isa_supported(Isa::kAvx2)) ssd_init_avx2(k);
#else
  (void)isa;
#endif
  return k;
}

KVN_TABLE_INIT const SsdKernels kSse2 = build(Isa::kSse2);
KVN_TABLE_INIT const SsdKernels kAvx2 = build(Isa::kAvx2);

}  // namespace

const SsdKernels& ssd_kernels(Isa isa) {
  if (isa >= Isa::kAvx2) return kAvx2;
  if (isa >= Isa::kSse2) return kSse2;
  return kSsdKernelsC;
}

KVN_LOAD_TIME const KernelChoice<SsdKernels> kSsdKernelsChosen{&ssd_kernels(best_isa())};

}  // namespace kvn
