// SSE2 kernels of the H.264 deblocking filter for 8-bit samples: eight lines
// at a time in 16-bit lanes (every intermediate of the filters fits), vertical
// edges through an 8x8-transposed copy of the macroblock. Interleaved chroma
// splits each 16-byte row into its two channels (even bytes, odd bytes) as the
// low and high byte of the 16-bit lanes and filters both with their own limits.
#include <emmintrin.h>

#include <cstddef>

#include "h264/deblock/deblock.h"
#include "h264/deblock/deblock_luma8.h"
#include "h264/deblock/deblock_simd.h"
#include "simd/filter_lanes.h"
#include "simd/loads.h"

namespace kvn {
namespace KVN_ISA {
namespace {

using namespace deblock;
using std::ptrdiff_t;

// Eight 8-bit samples in 16-bit lanes.
struct W8 : Lanes16x8 {
  static V load(const uint8_t* p) { return _mm_unpacklo_epi8(KVN_ISA::load<8>(p), zero()); }
  static void store(uint8_t* p, V v) { KVN_ISA::store<8>(p, _mm_packus_epi16(v, v)); }
  // Lane i = seg[i >> Shift], reading only the 8 >> Shift entries used.
  template <int Shift>
  static V expand(const uint8_t* seg) {
    uint32_t x = 0;
    for (int i = 0; i < (8 >> Shift); ++i) x |= uint32_t(seg[i]) << (8 * (i & 3));
    V w = _mm_unpacklo_epi8(_mm_cvtsi32_si128(int(x)), zero());
    if (Shift == 0) {
      uint32_t y = 0;
      for (int i = 4; i < 8; ++i) y |= uint32_t(seg[i]) << (8 * (i & 3));
      return _mm_unpacklo_epi64(w, _mm_unpacklo_epi8(_mm_cvtsi32_si128(int(y)), zero()));
    }
    w = _mm_unpacklo_epi16(w, w);
    return Shift == 2 ? _mm_unpacklo_epi32(w, w) : w;
  }
};

template <bool Luma, const EdgeShape& Sh>
void edges_hor(uint8_t* p, int32_t step, const uint8_t* alpha, const uint8_t* beta, const uint8_t* tc0,
               const uint8_t* bs) {
  filter_rows<W8, Luma, Sh>(p, step, alpha, beta, tc0, bs, 255);
}

// Vertical edges of Sh.lines rows; Cols: the columns the edges read (luma
// 16, chroma 6: edge 4 reads x = 2..5).
template <bool Luma, const EdgeShape& Sh, int Cols>
void edges_ver(uint8_t* p, int32_t step, const uint8_t* alpha, const uint8_t* beta, const uint8_t* tc0,
               const uint8_t* bs) {
  constexpr int kMargin = Luma ? 4 : 2;
  alignas(16) uint8_t copy[(Cols + kMargin < 8 ? 8 : Cols + kMargin) * Sh.lines];
  via_columns<1>(p, step, !edge_off(bs), kMargin, Cols, Sh.lines, copy, Sh.lines,
                 [&](uint8_t* c, ptrdiff_t cs) { filter_rows<W8, Luma, Sh>(c, cs, alpha, beta, tc0, bs, 255); });
}

// Interleaved chroma rows of 16 bytes: both channels of one edge at once.
template <EdgeKind K>
void c2_edge(uint8_t* row, ptrdiff_t step, const uint8_t* tc[2], const uint8_t* bs, const EdgeLimits<W8> (&lim)[2]) {
  const __m128i low = _mm_set1_epi16(0xff);
  __m128i ch[2][8];
  for (int k = 2; k < 6; ++k) {
    const __m128i x = load<16>(row + (k - 4) * step);
    ch[0][k] = _mm_and_si128(x, low);
    ch[1][k] = _mm_srli_epi16(x, 8);
  }
  const __m128i bsv = W8::expand<1>(bs);
  for (int c = 0; c < 2; ++c) filter_lanes<W8, false, K>(ch[c], bsv, W8::expand<1>(tc[c]), lim[c]);
  for (int k = 3; k < 5; ++k) store<16>(row + (k - 4) * step, _mm_or_si128(ch[0][k], _mm_slli_epi16(ch[1][k], 8)));
}

void c2_rows(uint8_t* p, ptrdiff_t step, const uint8_t* alpha, const uint8_t* beta, const uint8_t* tc0,
             const uint8_t* bs, int32_t perChannel) {
  const int pc = perChannel ? 1 : 0;
  for (int e = 0; e < kChromaShape.edges; ++e) {
    const uint8_t* ebs = bs + kChromaShape.bs_mul * e;
    if (edge_off(ebs)) continue;
    const EdgeLimits<W8> lim[2] = {edge_limits<W8>(alpha[e != 0], beta[e != 0], 255),
                                   edge_limits<W8>(alpha[2 * pc + (e != 0)], beta[2 * pc + (e != 0)], 255)};
    const uint8_t* tc[2] = {tc0 + 4 * e, tc0 + 8 * pc + 4 * e};
    uint8_t* row = p + 4 * e * step;
    switch (edge_kind(ebs)) {
      case EdgeKind::kNormal: c2_edge<EdgeKind::kNormal>(row, step, tc, ebs, lim); break;
      case EdgeKind::kStrong: c2_edge<EdgeKind::kStrong>(row, step, tc, ebs, lim); break;
      default: c2_edge<EdgeKind::kMixed>(row, step, tc, ebs, lim); break;
    }
  }
}

void c2_hor(uint8_t* p, int32_t step, const uint8_t* alpha, const uint8_t* beta, const uint8_t* tc0, const uint8_t* bs,
            int32_t perChannel) {
  c2_rows(p, step, alpha, beta, tc0, bs, perChannel);
}

// Sample pairs move together, so the transposed copy is again interleaved.
void c2_ver(uint8_t* p, int32_t step, const uint8_t* alpha, const uint8_t* beta, const uint8_t* tc0, const uint8_t* bs,
            int32_t perChannel) {
  alignas(16) uint8_t copy[8 * 16];
  via_columns<2>(p, step, !edge_off(bs), 2, 6, 8, copy, 16,
                 [&](uint8_t* c, ptrdiff_t cs) { c2_rows(c, cs, alpha, beta, tc0, bs, perChannel); });
}

}  // namespace
}  // namespace KVN_ISA

constexpr void deblock_init_sse2(DeblockKernels& k) {
  using namespace KVN_ISA;
  k.luma_hor = luma_hor_bytes<W8>;
  k.luma_ver = luma_ver_bytes<W8>;
  k.chroma_hor = edges_hor<false, kChromaShape>;
  k.chroma_ver = edges_ver<false, kChromaShape, 6>;
  k.chroma422_hor = edges_hor<false, kChroma422HorShape>;
  k.chroma422_ver = edges_ver<false, kChroma422VerShape, 6>;
  k.chroma_c2_hor = c2_hor;
  k.chroma_c2_ver = c2_ver;
}

KVN_LEVEL_KERNELS(deblock, DeblockKernels);

}  // namespace kvn
