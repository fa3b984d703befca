// H.264 deblocking filter (clause 8.7): kernel types and tables.
//
// A kernel filters all edges of one direction of one colour component of a
// macroblock in place, edge 0 first, each edge seeing the results of the edges
// before it. Edges are 4 samples apart; a line is one row (vertical edges) or
// one column (horizontal edges) across an edge, p0..p3 before it, q0..q3 after.
// Per line: bS 0 leaves it alone, 1..3 select the normal filter (8.7.2.3),
// 4 and above the strong filter (8.7.2.4), per segment, so mixed edges are
// well defined too.
//
// Memory: a kernel reads and writes only the macroblock (16x16 luma, 8x8 /
// 8x16 chroma, 16x8 bytes interleaved chroma; the MBAFF kernels only their 8
// or 4 rows, columns -4..3 / -2..1), plus the 4 (luma) or 2 (chroma) lines
// before edge 0 when edge 0 has a nonzero bS. An edge whose four bS are 0 is
// neither read nor written.
//
// Array indexing (tc0 and bS by edge e and segment s):
//   luma:              bS, tc0 [4e + s], 4 segments of 4 lines
//   chroma 4:2:0:      bS [8e + s], tc0 [4e + s], segments of 2 lines
//   chroma 4:2:2 ver:  bS [8e + s], tc0 [4e + s], segments of 4 lines
//   chroma 4:2:2 hor:  bS, tc0 [4e + s], 4 edges, segments of 2 lines
//   interleaved:       channel c uses alpha, beta + 2c * perChannel and
//                      tc0 + 8c * perChannel (perChannel 0: shared arrays)
//   MBAFF:             one edge (x = 0), bS and tc0 [row >> 1] (luma, 8 rows)
//                      or [row] (chroma, 4 rows)
// alpha and beta: [0] for edge 0, [1] for the internal edges.
#pragma once

#include <cstdint>

#include "core/dispatch.h"

namespace kvn {

// pSrcDst at the macroblock's top-left sample; step in bytes.
using Deblock8Fn = void (*)(uint8_t* p, int32_t step, const uint8_t* alpha, const uint8_t* beta, const uint8_t* tc0,
                            const uint8_t* bs);
// Interleaved chroma; perChannel 0 (both channels share the arrays) or 1.
using DeblockC2Fn = void (*)(uint8_t* p, int32_t step, const uint8_t* alpha, const uint8_t* beta, const uint8_t* tc0,
                             const uint8_t* bs, int32_t perChannel);
using DeblockMbaff8Fn = void (*)(uint8_t* p, int32_t step, uint32_t alpha, uint32_t beta, const uint8_t* tc0,
                                 const uint8_t* bs);
// High bit depth: step in samples; maxValue = 2^bitDepth - 1 (see max_sample).
// The MBAFF kernels use alpha[0] and beta[0].
using Deblock16Fn = void (*)(uint16_t* p, int32_t step, const uint16_t* alpha, const uint16_t* beta,
                             const uint16_t* tc0, const uint8_t* bs, int32_t maxValue);

struct DeblockKernels {
  Deblock8Fn luma_ver, luma_hor, chroma_ver, chroma_hor, chroma422_ver, chroma422_hor;
  DeblockC2Fn chroma_c2_ver, chroma_c2_hor;
  DeblockMbaff8Fn luma_mbaff, chroma_mbaff;
  Deblock16Fn luma16_ver, luma16_hor, luma16_mbaff, chroma16_ver, chroma16_hor, chroma16_mbaff, chroma422_16_ver,
      chroma422_16_hor;
};

// The sample range of a high-bit-depth record: bit depths outside 1..16 are
// taken as the nearest of 1 and 16, so every value gives a defined range.
constexpr int32_t max_sample(int32_t bitDepth) {
  return (int32_t(1) << (bitDepth < 1 ? 1 : bitDepth > 16 ? 16 : bitDepth)) - 1;
}

// Shape of one member's edges (shared by the reference and the SIMD drivers).
struct EdgeShape {
  int edges;      // edges, 4 samples apart
  int lines;      // lines per edge
  int seg_shift;  // segment = line >> seg_shift
  int bs_mul;     // bS index = bs_mul * edge + segment
  int tc_mul;     // tc0 index = tc_mul * edge + segment
};
constexpr EdgeShape kLumaShape{4, 16, 2, 4, 4};
constexpr EdgeShape kChromaShape{2, 8, 1, 8, 4};
constexpr EdgeShape kChroma422VerShape{2, 16, 2, 8, 4};
constexpr EdgeShape kChroma422HorShape{4, 8, 1, 4, 4};
constexpr EdgeShape kLumaMbaffShape{1, 8, 1, 0, 0};
constexpr EdgeShape kChromaMbaffShape{1, 4, 0, 0, 0};

// True when the four bS of the edge starting at bs are all 0.
inline bool edge_off(const uint8_t* bs) { return (bs[0] | bs[1] | bs[2] | bs[3]) == 0; }

// The scalar table kDeblockKernelsC, the table of each level
// deblock_kernels(isa), the chosen one deblock_kernels() and the SIMD steps
// deblock_init_<level>: see KVN_DECLARE_FAMILY (core/dispatch.h).
KVN_DECLARE_FAMILY(deblock, DeblockKernels);

}  // namespace kvn
