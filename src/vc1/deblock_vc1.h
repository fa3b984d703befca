// VC-1 in-loop deblocking filter (SMPTE 421M 8.6) of one block edge of an
// 8-bit plane, in place.
//
// p points at the first sample after the edge (the row below a horizontal
// edge, the column right of a vertical one); a line is one column
// (horizontal edge) or row (vertical edge) across the edge, P1..P4 the four
// samples before it (P4 next to the edge) and P5..P8 the four after it.
// Per line:
//   a0 = (2 (P3 - P6) - 5 (P4 - P5) + 4) >> 3
//   a1 = (2 (P1 - P4) - 5 (P2 - P3) + 4) >> 3
//   a2 = (2 (P5 - P8) - 5 (P6 - P7) + 4) >> 3
//   a3 = min(|a1|, |a2|)
//   d = 5 (sign(a0) a3 - a0) / 8, clip = (P4 - P5) / 2 (both toward zero)
// The line's conditions: |a0| < pquant (unsigned), a3 < |a0|, clip != 0.
// Lines go in segments of four; a line is filtered only when its own
// conditions and those of the third line of its segment hold, and d and
// clip do not have opposite signs. Then d is limited to clip in magnitude,
// P4 -= d, P5 += d (which stay between P4 and P5, so in 0..255).
//
// segOff: bit s set switches segment s (lines 4s..4s+3) off; the entries map
// the caller's flags onto it (luma: bits 0..3; chroma: flag bits 1 and 2).
// Memory: a kernel reads the eight samples of every line of the edge and
// writes P4 and P5 of the lines of the segments switched on only (nothing
// when every segment is off); interleaved chroma writes only the bytes of the
// planes whose segment is on. Steps are in bytes, any value.
#pragma once

#include <cstdint>

#include "core/dispatch.h"

namespace kvn {

using DeblockVc1Fn = void (*)(uint8_t* p, int32_t step, uint32_t pquant, uint32_t segOff);
// Interleaved two-plane chroma (Cb, Cr byte pairs); segOff per plane.
using DeblockVc1C2Fn = void (*)(uint8_t* p, int32_t step, uint32_t pquant, uint32_t segOff0, uint32_t segOff1);

struct DeblockVc1Kernels {
  DeblockVc1Fn luma_hor, luma_ver, chroma_hor, chroma_ver;
  DeblockVc1C2Fn chroma_c2_hor, chroma_c2_ver;
};

namespace deblock_vc1 {

constexpr uint32_t kLumaSegments = 0xf, kChromaSegments = 0x3;

// Segments switched off by a chroma flag word: bit 1 samples 0..3, bit 2
// samples 4..7; bits 0 and 3 (and all others) are not looked at.
constexpr uint32_t chroma_seg_off(uint32_t flags) { return (flags >> 1) & kChromaSegments; }

}  // namespace deblock_vc1

// The scalar table kDeblockVc1KernelsC, the table of each level
// deblock_vc1_kernels(isa), the chosen one deblock_vc1_kernels() and the SIMD
// steps deblock_vc1_init_<level>: see KVN_DECLARE_FAMILY (core/dispatch.h).
KVN_DECLARE_FAMILY(deblock_vc1, DeblockVc1Kernels);

}  // namespace kvn
