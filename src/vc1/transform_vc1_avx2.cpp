// AVX2 kernels of the VC-1 inverse transforms of the 8-wide blocks
// (transform_vc1_simd.h): the row stage two rows at a time, the column stage
// on both halves of every column at once; and the DC kernels, so that the DC
// path of an entry is a call within its own file (inlined) rather than one
// through the SSE2 table. The other slots measured no faster than their SSE2
// kernels and are left to them.
#include "vc1/transform_vc1_simd.h"

namespace kvn {

constexpr void transform_vc1_init_avx2(TransformVc1Kernels& k) {
  using namespace KVN_ISA::vc1_simd;
  k.inv[kVc1_8x4] = inv<8, 4, false>;
  k.inv[kVc1_8x8] = inv<8, 8, false>;
  k.inv_quarter[kVc1_8x4] = inv<8, 4, true>;
  k.inv_quarter[kVc1_8x8] = inv<8, 8, true>;
  k.inv_dc = {inv_dc<4, 4>, inv_dc<4, 8>, inv_dc<8, 4>, inv_dc<8, 8>};
}

KVN_LEVEL_KERNELS(transform_vc1, TransformVc1Kernels);

}  // namespace kvn
