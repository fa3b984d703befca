// Kernel tables of the H.264 CAVLC encoding analysis per instruction-set
// level, and the one the library calls.
#include "cavlc_encode.h"

namespace kvn {
namespace {

KVN_TABLE_INIT const LevelTables<CavlcEncodeKernels> kTables(kCavlcEncodeKernelsC, nullptr,
                                                             KVN_SIMD_STEP(cavlc_encode_init_sse41),
                                                             KVN_SIMD_STEP(cavlc_encode_init_avx2));

}  // namespace

const CavlcEncodeKernels& cavlc_encode_kernels(Isa isa) { return kTables[isa]; }

KVN_LOAD_TIME const KernelChoice<CavlcEncodeKernels> kCavlcEncodeKernelsChosen{&cavlc_encode_kernels(best_isa())};

}  // namespace kvn
