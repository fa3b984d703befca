// AVX2-level chroma interpolation kernels: the 128-bit kernels of
// interp_chroma_simd.h in VEX form.
#include <immintrin.h>

#include "h264/inter/interp_chroma_simd.h"

namespace kvn {

constexpr void interp_chroma_init_avx2(InterpChromaKernels& k) {
  using namespace KVN_ISA::chroma;
  put(k.c1, kC1);
  put(k.c2c2, kC2C2);
  put(k.c2p2, kC2P2);
  put(k.c16, kC16);
}

KVN_LEVEL_KERNELS(interp_chroma, InterpChromaKernels);

}  // namespace kvn
