// SSE2 kernels of the VC-1 transforms (transform_vc1_simd.h).
#include "vc1/transform_vc1_simd.h"

namespace kvn {

constexpr void transform_vc1_init_sse2(TransformVc1Kernels& k) {
  using namespace KVN_ISA::vc1_simd;
  k.fwd = {fwd<4, 4>, fwd<4, 8>, fwd<8, 4>, fwd<8, 8>};
  k.inv = {inv<4, 4, false>, inv<4, 8, false>, inv<8, 4, false>, inv<8, 8, false>};
  k.inv_quarter = {inv<4, 4, true>, inv<4, 8, true>, inv<8, 4, true>, inv<8, 8, true>};
  k.inv_dc = {inv_dc<4, 4>, inv_dc<4, 8>, inv_dc<8, 4>, inv_dc<8, 8>};
}

KVN_LEVEL_KERNELS(transform_vc1, TransformVc1Kernels);

}  // namespace kvn
