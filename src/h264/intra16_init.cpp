// Kernel tables of the intra predictors for any bit depth per instruction-set
// level, and the one the library calls.
#include "intra16.h"

namespace kvn {
namespace {

KVN_TABLE_INIT const LevelTables<Intra16Kernels> kTables(kIntra16KernelsC, nullptr,
                                                         KVN_SIMD_STEP(intra16_init_sse41), nullptr);

}  // namespace

const Intra16Kernels& intra16_kernels(Isa isa) { return kTables[isa]; }

KVN_LOAD_TIME const KernelChoice<Intra16Kernels> kIntra16KernelsChosen{&intra16_kernels(best_isa())};

}  // namespace kvn
