// Kernel tables of the block layer per instruction-set level, and the one the
// library calls.
#include "block.h"

namespace kvn {
namespace {

BlockKernels build(Isa isa) {
  BlockKernels k = kBlockKernelsC;
#if !defined(KVNVC_NO_SIMD)
  if (isa >= Isa::kSse2 && isa_supported(Isa::kSse2)) block_init_sse2(k);
  if (isa >= Isa::kAvx2 && isa_supported(Isa::kAvx2)) block_init_avx2(k);
#else
  (void)isa;
#endif
  return k;
}

KVN_TABLE_INIT const BlockKernels kSse2 = build(Isa::kSse2);
KVN_TABLE_INIT const BlockKernels kAvx2 = build(Isa::kAvx2);

}  // namespace

const BlockKernels& block_kernels(Isa isa) {
  if (isa >= Isa::kAvx2) return kAvx2;
  if (isa >= Isa::kSse2) return kSse2;
  return kBlockKernelsC;
}

KVN_LOAD_TIME const KernelChoice<BlockKernels> kBlockKernelsChosen{&block_kernels(best_isa())};

}  // namespace kvn
