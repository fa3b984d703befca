// AVX2 kernels of the block layer.
#include <immintrin.h>

#include "block.h"

namespace kvn {
namespace avx2 {
namespace {

}  // namespace
}  // namespace avx2

void block_init_avx2(BlockKernels& k) { (void)k; }

}  // namespace kvn
