// Kernel tables of the H.264 deblocking filter per instruction-set level, and the one the
// library calls.
#include "deblock.h"

namespace kvn {
namespace {

DeblockKernels build(Isa isa) {
  DeblockKernels k = kDeblockKernelsC;
#if !defined(KVNVC_NO_SIMD)
  if (isa >= Isa::kSse2 && isa_supported(Isa::kSse2)) deblock_init_sse2(k);
  if (isa >= Isa::kAvx2 && isa_supported(Isa::kAvx2)) deblock_init_avx2(k);
#else
  (void)isa;
#endif
  return k;
}

KVN_TABLE_INIT const DeblockKernels kSse2 = build(Isa::kSse2);
KVN_TABLE_INIT const DeblockKernels kAvx2 = build(Isa::kAvx2);

}  // namespace

const DeblockKernels& deblock_kernels(Isa isa) {
  if (isa >= Isa::kAvx2) return kAvx2;
  if (isa >= Isa::kSse2) return kSse2;
  return kDeblockKernelsC;
}

KVN_LOAD_TIME const KernelChoice<DeblockKernels> kDeblockKernelsChosen{&deblock_kernels(best_isa())};

}  // namespace kvn
