// Kernel tables of the SAD family per instruction-set level, and the one the
// library calls.
#include "sad.h"

namespace kvn {
namespace {

KVN_TABLE_INIT const LevelTables<SadKernels> kTables(kSadKernelsC, KVN_SIMD_STEP(sad_init_sse2),
                                                     KVN_SIMD_STEP(sad_init_sse41), KVN_SIMD_STEP(sad_init_avx2));

}  // namespace

const SadKernels& sad_kernels(Isa isa) { return kTables[isa]; }

KVN_LOAD_TIME const KernelChoice<SadKernels> kSadKernelsChosen{&sad_kernels(best_isa())};

}  // namespace kvn
