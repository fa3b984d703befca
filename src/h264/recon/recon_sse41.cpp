// SSE4.1 kernels of the H.264 8-bit macroblock reconstruction: intra 4x4
// luma macroblocks predicted in registers (recon_intra4x4_simd.h), the
// residuals of two blocks transformed together.
#include <smmintrin.h>

#include "h264/recon/recon.h"
#include "h264/recon/recon_intra4x4_simd.h"

namespace kvn {

constexpr void recon_init_sse41(ReconKernels& k) { k.intra4x4 = KVN_ISA::recon4::intra4x4<KVN_ISA::recon::V128>; }

KVN_LEVEL_KERNELS(recon, ReconKernels);

}  // namespace kvn
