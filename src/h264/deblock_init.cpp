// Kernel tables of the H.264 deblocking filter per instruction-set level, and the one the
// library calls.
#include "deblock.h"

namespace kvn {
namespace {

KVN_TABLE_INIT const LevelTables<DeblockKernels> kTables(kDeblockKernelsC, KVN_SIMD_STEP(deblock_init_sse2), nullptr,
                                                         KVN_SIMD_STEP(deblock_init_avx2));

}  // namespace

const DeblockKernels& deblock_kernels(Isa isa) { return kTables[isa]; }

KVN_LOAD_TIME const KernelChoice<DeblockKernels> kDeblockKernelsChosen{&deblock_kernels(best_isa())};

}  // namespace kvn
