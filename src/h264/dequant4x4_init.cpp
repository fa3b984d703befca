// Kernel tables of the H.264 inverse 4x4 transform and dequantiser family per instruction-set level, and the one
// the library calls.
#include "dequant4x4.h"

namespace kvn {
namespace {

KVN_TABLE_INIT const LevelTables<Dequant4x4Kernels> kTables(kDequant4x4KernelsC, KVN_SIMD_STEP(dequant4x4_init_sse2),
                                                            nullptr, nullptr);

}  // namespace

const Dequant4x4Kernels& dequant4x4_kernels(Isa isa) { return kTables[isa]; }

KVN_LOAD_TIME const KernelChoice<Dequant4x4Kernels> kDequant4x4KernelsChosen{&dequant4x4_kernels(best_isa())};

}  // namespace kvn
