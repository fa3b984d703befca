// SSSE3 / SSE4.1 kernels of the Hadamard costs: the pmaddubsw kernels of
// satd_simd.h on 128-bit registers (the first horizontal butterfly done on
// the 8-bit rows, pabsw in the fold).
#include <smmintrin.h>

#include <cstddef>

#include "satd.h"
#include "satd_simd.h"
#include "simd/loads.h"

namespace kvn {
namespace KVN_ISA {
namespace {

using namespace satd;

using Xmm = PairsXmm<Dup4x2>;

}  // namespace
}  // namespace KVN_ISA

constexpr void satd_init_sse41(SatdKernels& k) {
  using namespace KVN_ISA;
  put_narrow<Xmm>(k);
  k.satd[kSatd16x8] = Xmm::satd16<8>;
  k.satd[kSatd16x16] = Xmm::satd16<16>;
}

KVN_LEVEL_KERNELS(satd, SatdKernels);

}  // namespace kvn
