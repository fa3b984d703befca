// Kernel tables of the H.264 DC transform family per instruction-set level, and the one
// the library calls.
#include "dc.h"

namespace kvn {
namespace {

DcKernels build(Isa isa) {
  DcKernels k = kDcKernelsC;
#if !defined(KVNVC_NO_SIMD)
  if (isa >= Isa::kSse2 && isa_supported(Isa::kSse2)) dc_init_sse2(k);
#else
  (void)isa;
#endif
  return k;
}

KVN_TABLE_INIT const DcKernels kSse2 = build(Isa::kSse2);

}  // namespace

const DcKernels& dc_kernels(Isa isa) {
  if (isa >= Isa::kSse2) return kSse2;
  return kDcKernelsC;
}

KVN_LOAD_TIME const KernelChoice<DcKernels> kDcKernelsChosen{&dc_kernels(best_isa())};

}  // namespace kvn
