// Kernel tables of the H.264 luma interpolation per instruction-set level,
// and the one the library calls.
#include "interp_luma.h"

namespace kvn {
namespace {

KVN_TABLE_INIT const LevelTables<InterpLumaKernels> kTables(kInterpLumaKernelsC, nullptr,
                                                            KVN_SIMD_STEP(interp_luma_init_sse41),
                                                            KVN_SIMD_STEP(interp_luma_init_avx2));

}  // namespace

const InterpLumaKernels& interp_luma_kernels(Isa isa) { return kTables[isa]; }

KVN_LOAD_TIME const KernelChoice<InterpLumaKernels> kInterpLumaKernelsChosen{&interp_luma_kernels(best_isa())};

}  // namespace kvn
