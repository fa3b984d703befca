// The residual32 table, apart from the others: its header and that of the
// 8-bit reconstruction each define their own kvn::Dequant.
#include "h264/residual32.h"
#include "slot_tables.h"

namespace kvntest {

KVN_TABLE(residual32, Residual32Kernels, M(row4x4_16u), M(row4x4_8u), M(block8x8_16u))

Family residual32_family() {
  return slots_detail::family<kvn::Residual32Kernels, kvn::residual32_kernels>("residual32", kvn::kResidual32KernelsC,
                                                                               residual32::kMembers);
}

}  // namespace kvntest
