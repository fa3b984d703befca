// Kernel tables of the squared-error costs per instruction-set level, and the one
// the library calls.
#include "ssd.h"

namespace kvn {
namespace {

KVN_TABLE_INIT const LevelTables<SsdKernels> kTables(kSsdKernelsC, KVN_SIMD_STEP(ssd_init_sse2), nullptr,
                                                     KVN_SIMD_STEP(ssd_init_avx2));

}  // namespace

const SsdKernels& ssd_kernels(Isa isa) { return kTables[isa]; }

KVN_LOAD_TIME const KernelChoice<SsdKernels> kSsdKernelsChosen{&ssd_kernels(best_isa())};

}  // namespace kvn
