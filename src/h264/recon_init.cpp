// Kernel tables of the H.264 8-bit macroblock reconstruction per
// instruction-set level, and the one the library calls.
#include "recon.h"

namespace kvn {
namespace {

KVN_TABLE_INIT const LevelTables<ReconKernels> kTables(kReconKernelsC, KVN_SIMD_STEP(recon_init_sse2), nullptr,
                                                       KVN_SIMD_STEP(recon_init_avx2));

}  // namespace

const ReconKernels& recon_kernels(Isa isa) { return kTables[isa]; }

KVN_LOAD_TIME const KernelChoice<ReconKernels> kReconKernelsChosen{&recon_kernels(best_isa())};

}  // namespace kvn
