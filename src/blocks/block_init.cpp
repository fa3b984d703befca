// Kernel tables of the block layer per instruction-set level, and the one the
// library calls.
#include "block.h"

namespace kvn {
namespace {

KVN_TABLE_INIT const LevelTables<BlockKernels> kTables(kBlockKernelsC, KVN_SIMD_STEP(block_init_sse2), nullptr,
                                                       KVN_SIMD_STEP(block_init_avx2));

}  // namespace

const BlockKernels& block_kernels(Isa isa) { return kTables[isa]; }

KVN_LOAD_TIME const KernelChoice<BlockKernels> kBlockKernelsChosen{&block_kernels(best_isa())};

}  // namespace kvn
