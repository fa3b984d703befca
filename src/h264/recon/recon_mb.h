// The macroblock walks of the H.264 8-bit reconstruction entries: reading
// the packed coefficient stream by the coded-block mask, intra prediction
// block by block, the DC transforms and the lossless (transform bypass)
// path, over the kernels of recon.h. The entries have checked pointers and
// ranges; each walk advances the stream pointer past what it consumed, also
// when it stops at a mode found out of range.
#pragma once

#include <cstdint>

#include "h264/transform/dc.h"
#include "h264/intra/intra.h"
#include "kvnvc.h"
#include "h264/recon/recon.h"

namespace kvn {
namespace recon8 {

// How one component's coefficients are scaled: the older functions use the
// pre-shifted form (and the pre-shifted DC rules), the others the scale
// table (LevelScale4x4 for the component's qp % 6, or LevelScale8x8).
struct Quant {
  int32_t qp;
  const int16_t* table;  // null: pre-shifted form
  bool bypass;           // lossless: residual = coefficient
};

inline Quant quant(int32_t qp, const int16_t* table, uint8_t bypass) { return {qp, table, bypass != 0 && qp == 0}; }

// The kernel tables a walk uses: those the library chose, or one level's.
struct Kernels {
  const ReconKernels& recon;
  const IntraKernels& intra;
  const DcKernels& dc;
};
inline Kernels chosen() { return {recon_kernels(), intra_kernels(), dc_kernels()}; }
inline Kernels at_level(Isa isa) { return {recon_kernels(isa), intra_kernels(isa), dc_kernels(isa)}; }

// Luma 4x4 blocks of an inter macroblock (mask bits 1..16).
void luma_inter4x4(int16_t** stream, uint8_t* mb, int32_t step, uint32_t mask, const Quant& q,
                   const Kernels& k = chosen());
// Luma 8x8 blocks (mask bits 0..3), inter.
void luma_inter8x8(int16_t** stream, uint8_t* mb, int32_t step, uint32_t mask, const Quant& q,
                   const Kernels& k = chosen());
// Intra 4x4 blocks 0..count-1 (16, or 8 for a half): block k's mask bit is
// k + maskShift. Returns 0, the warning 11, or -11 for a mode outside 0..8.
KvnResult luma_intra4x4(int16_t** stream, uint8_t* mb, int32_t step, const int32_t* modes, uint32_t mask,
                        int32_t maskShift, int32_t count, uint32_t edges, const Quant& q, const Kernels& k = chosen());
// Intra 8x8 blocks 0..count-1 (4, or 2 for a half); mask bits 0..count-1.
KvnResult luma_intra8x8(int16_t** stream, uint8_t* mb, int32_t step, const uint32_t* modes, uint32_t mask,
                        int32_t count, uint32_t edges, const Quant& q, const Kernels& k = chosen());
// Intra16x16: mode checks (-117, -11), prediction, then the residual.
KvnResult luma_intra16x16(int16_t** stream, uint8_t* mb, int32_t step, int32_t mode, uint32_t mask, uint32_t edges,
                          const Quant& q, const Kernels& k = chosen());

// 4:2:0 chroma, both components. Prediction kinds:
enum class ChromaPred { kNone, kFull, kHalves };
struct ChromaCall {
  int16_t** stream;
  uint8_t *cb, *cr;  // planar; null cr: cb is the interleaved plane (C2R)
  int32_t step;
  uint32_t mask;
  Quant q[2];
  ChromaPred pred;
  int32_t mode;
  uint32_t edges[2];   // edge flags; [1] the lower half's (Halves)
  bool late_qp_check;  // Halves without scale tables: QPc above 39 refused after the prediction
};
// Checks the prediction's neighbours (-117), predicts, then adds the residual.
KvnResult chroma(const ChromaCall& c, const Kernels& k = chosen());

}  // namespace recon8
}  // namespace kvn
