// SSE2 kernels of the block layer.
#include <emmintrin.h>

#include "block.h"

namespace kvn {
namespace sse2 {
namespace {

}  // namespace
}  // namespace sse2

void block_init_sse2(BlockKernels& k) { (void)k; }

}  // namespace kvn
