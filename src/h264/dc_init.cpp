// Kernel tables of the H.264 DC transform family per instruction-set level, and the one
// the library calls.
#include "dc.h"

namespace kvn {
namespace {

KVN_TABLE_INIT const LevelTables<DcKernels> kTables(kDcKernelsC, KVN_SIMD_STEP(dc_init_sse2), nullptr, nullptr);

}  // namespace

const DcKernels& dc_kernels(Isa isa) { return kTables[isa]; }

KVN_LOAD_TIME const KernelChoice<DcKernels> kDcKernelsChosen{&dc_kernels(best_isa())};

}  // namespace kvn
