// Kernel tables of the block differences per instruction-set level, and the
// one the library calls.
#include "diff.h"

namespace kvn {
namespace {

KVN_TABLE_INIT const LevelTables<DiffKernels> kTables(kDiffKernelsC, KVN_SIMD_STEP(diff_init_sse2), nullptr,
                                                      KVN_SIMD_STEP(diff_init_avx2));

}  // namespace

const DiffKernels& diff_kernels(Isa isa) { return kTables[isa]; }

KVN_LOAD_TIME const KernelChoice<DiffKernels> kDiffKernelsChosen{&diff_kernels(best_isa())};

}  // namespace kvn
