// Kernel tables of the variance and activity measures per instruction-set level,
// and the one the library calls.
#include "variance.h"

namespace kvn {
namespace {

KVN_TABLE_INIT const LevelTables<VarianceKernels> kTables(kVarianceKernelsC, KVN_SIMD_STEP(variance_init_sse2), nullptr,
                                                          KVN_SIMD_STEP(variance_init_avx2));

}  // namespace

const VarianceKernels& variance_kernels(Isa isa) { return kTables[isa]; }

KVN_LOAD_TIME const KernelChoice<VarianceKernels> kVarianceKernelsChosen{&variance_kernels(best_isa())};

}  // namespace kvn
