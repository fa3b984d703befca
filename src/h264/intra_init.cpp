// Kernel tables of the H.264 intra predictors per instruction-set level, and
// the one the library calls.
#include "intra.h"

namespace kvn {
namespace {

KVN_TABLE_INIT const LevelTables<IntraKernels> kTables(kIntraKernelsC, KVN_SIMD_STEP(intra_init_sse2),
                                                       KVN_SIMD_STEP(intra_init_sse41), nullptr);

}  // namespace

const IntraKernels& intra_kernels(Isa isa) { return kTables[isa]; }

KVN_LOAD_TIME const KernelChoice<IntraKernels> kIntraKernelsChosen{&intra_kernels(best_isa())};

}  // namespace kvn
