// Kernel tables of the H.264 8x8 transform family per instruction-set level,
// and the one the library calls.
#include "transform8x8.h"

namespace kvn {
namespace {

KVN_TABLE_INIT const LevelTables<Transform8x8Kernels> kTables(kTransform8x8KernelsC,
                                                              KVN_SIMD_STEP(transform8x8_init_sse2), nullptr,
                                                              KVN_SIMD_STEP(transform8x8_init_avx2));

}  // namespace

const Transform8x8Kernels& transform8x8_kernels(Isa isa) { return kTables[isa]; }

KVN_LOAD_TIME const KernelChoice<Transform8x8Kernels> kTransform8x8KernelsChosen{&transform8x8_kernels(best_isa())};

}  // namespace kvn
