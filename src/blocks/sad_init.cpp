// Kernel tables of the SAD family per instruction-set level, and the one the
// library calls.
#include "sad.h"

namespace kvn {
namespace {

SadKernels build(Isa isa) {
  SadKernels k = kSadKernelsC;
#if !defined(KVNVC_NO_SIMD)
  if (isa >= Isa::kSse2 && isa_supported(Isa::kSse2)) sad_init_sse2(k);
  if (isa >= Isa::kSse41 && isa_supported(Isa::kSse41)) sad_init_sse41(k);
  if (isa >= Isa::kAvx2 && isa_supported(Isa::kAvx2)) sad_init_avx2(k);
#else
  (void)isa;
#endif
  return k;
}

KVN_TABLE_INIT const SadKernels kSse2 = build(Isa::kSse2);
KVN_TABLE_INIT const SadKernels kSse41 = build(Isa::kSse41);
KVN_TABLE_INIT const SadKernels kAvx2 = build(Isa::kAvx2);

}  // namespace

const SadKernels& sad_kernels(Isa isa) {
  if (isa >= Isa::kAvx2) return kAvx2;
  if (isa >= Isa::kSse41) return kSse41;
  if (isa >= Isa::kSse2) return kSse2;
  return kSadKernelsC;
}

KVN_LOAD_TIME const KernelChoice<SadKernels> kSadKernelsChosen{&sad_kernels(best_isa())};

}  // namespace kvn
