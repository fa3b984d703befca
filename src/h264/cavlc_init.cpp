// Kernel table of the H.264 Exp-Golomb and CAVLC decoders: scalar bit parsing
// only, the same for every instruction-set level.
#include "cavlc.h"

namespace kvn {
namespace {

KVN_TABLE_INIT const LevelTables<CavlcKernels> kTables(kCavlcKernelsC, nullptr, nullptr, nullptr);

}  // namespace

const CavlcKernels& cavlc_kernels(Isa isa) { return kTables[isa]; }

KVN_LOAD_TIME const KernelChoice<CavlcKernels> kCavlcKernelsChosen{&cavlc_kernels(best_isa())};

}  // namespace kvn
