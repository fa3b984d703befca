// Kernel tables of the 32-bit residual family per instruction-set level, and
// the one the library calls.
#include "residual32.h"

namespace kvn {
namespace {

KVN_TABLE_INIT const LevelTables<Residual32Kernels> kTables(kResidual32KernelsC, nullptr,
                                                            KVN_SIMD_STEP(residual32_init_sse41),
                                                            KVN_SIMD_STEP(residual32_init_avx2));

}  // namespace

const Residual32Kernels& residual32_kernels(Isa isa) { return kTables[isa]; }

KVN_LOAD_TIME const KernelChoice<Residual32Kernels> kResidual32KernelsChosen{&residual32_kernels(best_isa())};

}  // namespace kvn
