// SSE4.1-level chroma interpolation kernels (SSSE3 pmaddubsw / pmulhrsw for
// 8-bit samples, SSE4.1-level pmaddwd code for 16-bit ones); the kernels are
// in interp_chroma_simd.h.
#include <smmintrin.h>

#include "h264/inter/interp_chroma_simd.h"

namespace kvn {

constexpr void interp_chroma_init_sse41(InterpChromaKernels& k) {
  using namespace KVN_ISA::chroma;
  put(k.c1, kC1);
  put(k.c2c2, kC2C2);
  put(k.c2p2, kC2P2);
  put(k.c16, kC16);
}

KVN_LEVEL_KERNELS(interp_chroma, InterpChromaKernels);

}  // namespace kvn
