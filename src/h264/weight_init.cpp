// Kernel tables of H.264 weighted prediction per instruction-set level, and
// the one the library calls.
#include "weight.h"

namespace kvn {
namespace {

KVN_TABLE_INIT const LevelTables<WeightKernels> kTables(kWeightKernelsC, KVN_SIMD_STEP(weight_init_sse2),
                                                        KVN_SIMD_STEP(weight_init_sse41),
                                                        KVN_SIMD_STEP(weight_init_avx2));

}  // namespace

const WeightKernels& weight_kernels(Isa isa) { return kTables[isa]; }

KVN_LOAD_TIME const KernelChoice<WeightKernels> kWeightKernelsChosen{&weight_kernels(best_isa())};

}  // namespace kvn
