// Kernel tables of the Hadamard costs per instruction-set level, and the one the
// library calls.
#include "satd.h"

namespace kvn {
namespace {

KVN_TABLE_INIT const LevelTables<SatdKernels> kTables(kSatdKernelsC, KVN_SIMD_STEP(satd_init_sse2), nullptr,
                                                      KVN_SIMD_STEP(satd_init_avx2));

}  // namespace

const SatdKernels& satd_kernels(Isa isa) { return kTables[isa]; }

KVN_LOAD_TIME const KernelChoice<SatdKernels> kSatdKernelsChosen{&satd_kernels(best_isa())};

}  // namespace kvn
