// Kernel tables of the block differences per instruction-set level, and the
// one the library calls.
#include "diff.h"

namespace kvn {
namespace {

DiffKernels build(Isa isa) {
  DiffKernels k = kDiffKernelsC;
#if !defined(KVNVC_NO_SIMD)
  if (isa >= Isa::kSse2 && isa_supported(Isa::kSse2)) diff_init_sse2(k);
  if (isa >= Isa::kAvx2 && isa_supported(Isa::kAvx2)) diff_init_avx2(k);
#else
  (void)isa;
#endif
  return k;
}

KVN_TABLE_INIT const DiffKernels kSse2 = build(Isa::kSse2);
KVN_TABLE_INIT const DiffKernels kAvx2 = build(Isa::kAvx2);

}  // namespace

const DiffKernels& diff_kernels(Isa isa) {
  if (isa >= Isa::kAvx2) return kAvx2;
  if (isa >= Isa::kSse2) return kSse2;
  return kDiffKernelsC;
}

KVN_LOAD_TIME const KernelChoice<DiffKernels> kDiffKernelsChosen{&diff_kernels(best_isa())};

}  // namespace kvn
