// Kernel tables of the chroma interpolation, block average and border
// expansion per instruction-set level, and the one the library calls.
#include "interp_chroma.h"

namespace kvn {
namespace {

KVN_TABLE_INIT const LevelTables<InterpChromaKernels> kTables(kInterpChromaKernelsC,
                                                              KVN_SIMD_STEP(interp_chroma_init_sse2),
                                                              KVN_SIMD_STEP(interp_chroma_init_sse41),
                                                              KVN_SIMD_STEP(interp_chroma_init_avx2));

}  // namespace

const InterpChromaKernels& interp_chroma_kernels(Isa isa) { return kTables[isa]; }

KVN_LOAD_TIME const KernelChoice<InterpChromaKernels> kInterpChromaKernelsChosen{
    &interp_chroma_kernels(best_isa())};

}  // namespace kvn
