// Kernel tables of the H.264 forward 4x4 transform and quantiser family per instruction-set level, and the one
// the library calls.
#include "quant4x4.h"

namespace kvn {
namespace {

KVN_TABLE_INIT const LevelTables<Quant4x4Kernels> kTables(kQuant4x4KernelsC, KVN_SIMD_STEP(quant4x4_init_sse2),
                                                          KVN_SIMD_STEP(quant4x4_init_sse41), nullptr);

}  // namespace

const Quant4x4Kernels& quant4x4_kernels(Isa isa) { return kTables[isa]; }

KVN_LOAD_TIME const KernelChoice<Quant4x4Kernels> kQuant4x4KernelsChosen{&quant4x4_kernels(best_isa())};

}  // namespace kvn
