// H.264 high-profile macroblock reconstruction: the walk over the blocks of
// one macroblock component (prediction, coefficient stream, dequantisation,
// inverse transform, addition), for high bit depth and for the 8-bit 4:2:2
// chroma of the High profiles.
//
// The walk is written once; the per-block work goes through the kernel
// tables of the 32-bit residual, intra and DC families of one instruction-set
// level (ReconHbdKernels), so that the walks of every level can be compared
// whole. The entries check the records (pointers, steps, bit depth, qp and
// the intra mode against the edge flags) before they call a walk; intra 4x4 /
// 8x8 modes are checked by the walk when their block is reached.
#pragma once

#include <cstdint>

#include "core/dispatch.h"
#include "h264/transform/dc.h"
#include "h264/intra/intra_hbd.h"
#include "kvnvc.h"
#include "h264/recon/residual_hbd.h"

namespace kvn {

struct ReconHbdKernels {
  const ResidualHbdKernels* res;
  const IntraHbdKernels* intra;
  const DcKernels* dc;
};

// The kernels of one level, and the ones the library calls.
inline ReconHbdKernels recon_hbd_kernels(Isa isa) {
  return {&residual_hbd_kernels(isa), &intra_hbd_kernels(isa), &dc_kernels(isa)};
}
inline ReconHbdKernels recon_hbd_kernels() { return {&residual_hbd_kernels(), &intra_hbd_kernels(), &dc_kernels()}; }

namespace recon_hbd {

using Rec32 = KvnReconstructRecord32s16u;
using Rec8 = KvnReconstructRecord16s8u;

// Luma. Masks as the records define them; `half` selects the Half layout
// (mask bits 0..7 for eight 4x4 blocks, 0..1 for two 8x8 blocks).
void luma_inter4x4(const Rec32& r, const ReconHbdKernels& k);
void luma_inter8x8(const Rec32& r, const ReconHbdKernels& k);
// mode 0..3, its neighbours available under the edge flags.
void luma_intra16x16(const Rec32& r, int32_t mode, uint32_t edges, const ReconHbdKernels& k);
// 0, KVN_STS_WRN_SUBSTITUTE, or KVN_STS_OUT_OF_RANGE at the first mode above 8.
KvnResult luma_intra4x4(const Rec32& r, const int32_t* modes, bool half, uint32_t edges, const ReconHbdKernels& k);
KvnResult luma_intra8x8(const Rec32& r, const uint32_t* modes, bool half, uint32_t edges, const ReconHbdKernels& k);

// Chroma, records Cb then Cr. mode < 0: inter (no prediction); else the
// chroma mode (0..3), predicted with `avail` (intra_hbd.h bits).
void chroma420(const Rec32* const r[2], int32_t mode, int32_t avail, const ReconHbdKernels& k);
// 4:2:2 with the DC level scales of Cb and Cr.
void chroma422(const Rec32* const r[2], int32_t mode, int32_t avail, const int32_t dcScale[2],
               const ReconHbdKernels& k);
void chroma422(const Rec8* const r[2], int32_t mode, int32_t avail, const int32_t dcScale[2], const ReconHbdKernels& k);

}  // namespace recon_hbd
}  // namespace kvn
