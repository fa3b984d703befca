// Intra 4x4 luma macroblocks with the prediction in registers (the Intra4x4Fn
// contract of recon.h), for SSSE3 and wider: each block predicted by the
// pshufb predictors of intra4x4_simd.h (the mode picking table indices rather
// than branches) and the residual added there, so that each block is written
// once and never read back.
//
// The blocks of a macroblock depend on each other in a chain (each one reads
// its left, top and top-right neighbours). The reconstructed blocks are kept
// in registers and the neighbours taken from there with one shuffle each;
// only the samples around the macroblock are read from the picture. The
// residuals do not depend on the chain and are formed first, several blocks
// per register.
#pragma once

#ifndef KVN_ISA
#error "KVN_ISA names the instruction set of the including file (sse2 .. avx512); kvn_kernel_sources defines it"
#endif

#include <smmintrin.h>

#include <cstddef>
#include <cstdint>
#include <type_traits>
#include <utility>

#include "h264/intra/intra4x4_simd.h"
#include "h264/recon/recon.h"
#include "h264/recon/recon_layout.h"
#include "h264/recon/recon_simd.h"

namespace kvn {
namespace KVN_ISA {
namespace recon4 {

using ::kvn::h264::has_bit;
using ::kvn::h264::kEdgeLeft;
using ::kvn::h264::kEdgeTop;
using ::kvn::h264::kEdgeTopLeft;
using ::kvn::h264::kEdgeTopRight;

// The samples of the macroblock and around it as 4x4 blocks of 16 bytes in
// raster order, at[by + 1][bx + 1] for block column bx = -1..4 and row
// by = -1..3. Of the blocks outside the macroblock only the samples next to
// it matter: the bottom row of those above (bx -1 to 4: the top-left corner,
// the top row, the top-right), the right column of those on the left. An
// unavailable neighbour holds the substitute 128; a missing top-right
// macroblock repeats p[15, -1], the substitute of blocks 0..3 of row 0 too.
struct Grid {
  __m128i at[5][6];
};

// The left column is read down to the last block row walked (a Half
// macroblock has two).
inline void fill_outside(Grid& g, const uint8_t* mb, std::ptrdiff_t s, uint32_t edges, int count) {
  const __m128i sub = _mm_set1_epi8(char(0x80));
  const __m128i top = has_bit(edges, kEdgeTop) ? sub : load<16>(mb - s);
  g.at[0][0] = has_bit(edges, kEdgeTopLeft) ? sub : _mm_set1_epi8(char(mb[-s - 1]));
  g.at[0][1] = _mm_slli_si128(top, 12);
  g.at[0][2] = _mm_slli_si128(top, 8);
  g.at[0][3] = _mm_slli_si128(top, 4);
  g.at[0][4] = top;
  g.at[0][5] = has_bit(edges, kEdgeTopRight) ? _mm_shuffle_epi8(top, _mm_set1_epi8(15))
                                             : _mm_slli_si128(load<4>(mb - s + 16), 12);
  for (int by = 0; by < (count > 8 ? 4 : 2); ++by) {
    if (has_bit(edges, kEdgeLeft)) {
      g.at[by + 1][0] = sub;
      continue;
    }
    const uint8_t* p = mb + std::ptrdiff_t(4 * by) * s - 1;
    g.at[by + 1][0] = _mm_setr_epi32(int32_t(uint32_t(p[0]) << 24), int32_t(uint32_t(p[s]) << 24),
                                     int32_t(uint32_t(p[2 * s]) << 24), int32_t(uint32_t(p[3 * s]) << 24));
  }
}

inline __m128i bytes(int8_t a0, int8_t a1, int8_t a2, int8_t a3, int8_t a4, int8_t a5, int8_t a6, int8_t a7, int8_t a8,
                     int8_t a9, int8_t a10, int8_t a11, int8_t a12, int8_t a13, int8_t a14, int8_t a15) {
  return _mm_setr_epi8(a0, a1, a2, a3, a4, a5, a6, a7, a8, a9, a10, a11, a12, a13, a14, a15);
}

// The neighbours E of intra4x4_simd.h of the block at (bx, by), one shuffle
// per neighbouring block: the left one's right column, the top-left one's
// last sample, the top one's bottom row and the top-right one's (or, where
// the top-right is never available, p[3, -1] repeated).
template <int Bx, int By, bool TopRight>
[[gnu::always_inline]] inline __m128i edge_of(const Grid& g) {
  constexpr int8_t n = -1;
  const __m128i left = _mm_shuffle_epi8(g.at[By + 1][Bx], bytes(15, 15, 11, 7, 3, n, n, n, n, n, n, n, n, n, n, n));
  const __m128i corner = _mm_shuffle_epi8(g.at[By][Bx], bytes(n, n, n, n, n, 15, n, n, n, n, n, n, n, n, n, n));
  if (TopRight) {
    const __m128i top = _mm_shuffle_epi8(g.at[By][Bx + 1], bytes(n, n, n, n, n, n, 12, 13, 14, 15, n, n, n, n, n, n));
    const __m128i right =
        _mm_shuffle_epi8(g.at[By][Bx + 2], bytes(n, n, n, n, n, n, n, n, n, n, 12, 13, 14, 15, 15, 15));
    return _mm_or_si128(_mm_or_si128(left, corner), _mm_or_si128(top, right));
  }
  const __m128i top =
      _mm_shuffle_epi8(g.at[By][Bx + 1], bytes(n, n, n, n, n, n, 12, 13, 14, 15, 15, 15, 15, 15, 15, 15));
  return _mm_or_si128(_mm_or_si128(left, corner), top);
}

// The state of one macroblock walk.
struct Walk {
  Grid g;
  uint8_t* mb;
  std::ptrdiff_t s;
  const int32_t* modes;
  uint32_t edges;
  const int16_t* const* coef;
  int32_t top_bit, left_bit;  // kAvailTop, kAvailLeft of the neighbouring macroblocks
  // The residual of each coded block as two byte blocks, its positive part
  // and its negative part, each clamped to 0..255: clamp(p + r) is then
  // (p + pos) - neg with unsigned saturation, two operations on the chain
  // of predictions instead of the unpacking to 16 bits and back.
  alignas(32) uint8_t pos[16][16], neg[16][16];

  // The grid is left uninitialised: fill_outside and the blocks write each
  // entry before it is read.
  Walk(uint8_t* mb_, std::ptrdiff_t s_, const int32_t* modes_, uint32_t edges_, const int16_t* const* coef_)
      : mb(mb_),
        s(s_),
        modes(modes_),
        edges(edges_),
        coef(coef_),
        top_bit(has_bit(edges_, kEdgeTop) ? 0 : kAvailTop),
        left_bit(has_bit(edges_, kEdgeLeft) ? 0 : kAvailLeft) {}

  // The residuals of the block pairs j0 and j1 (one in each half of V;
  // V128: j0 alone), blocks 2j and 2j + 1 a row of both in one register.
  template <class V, class Op>
  [[gnu::always_inline]] void pair_residuals(const Op& op, int count, int j0, int j1) {
    const auto blk = [&](int b) { return b < count && coef[b] ? coef[b] : recon::kZeroBlock; };
    const int16_t* const a[2] = {blk(2 * j0), blk(2 * j1)};
    const int16_t* const b[2] = {blk(2 * j0 + 1), blk(2 * j1 + 1)};
    typename V::V r[4];
    recon::residual<V>(a, b, nullptr, op, r);
    // Rows 0, 1 and 2, 3 of the left and the right blocks; r is within
    // -512..511 after >> 6, so that its negation is exact.
    const typename V::V a01 = V::unpacklo64(r[0], r[1]), a23 = V::unpacklo64(r[2], r[3]);
    const typename V::V b01 = V::unpackhi64(r[0], r[1]), b23 = V::unpackhi64(r[2], r[3]);
    const typename V::V zero = V::zero();
    V::store_halves(pos[2 * j0], pos[2 * j1], V::packus16(a01, a23));
    V::store_halves(neg[2 * j0], neg[2 * j1], V::packus16(V::sub16(zero, a01), V::sub16(zero, a23)));
    V::store_halves(pos[2 * j0 + 1], pos[2 * j1 + 1], V::packus16(b01, b23));
    V::store_halves(neg[2 * j0 + 1], neg[2 * j1 + 1], V::packus16(V::sub16(zero, b01), V::sub16(zero, b23)));
  }

  // The residuals of the coded blocks, ahead of the chain of predictions:
  // on 128 bits one block at a time, on 256 bits the pairs holding
  // coefficients two at a time (the shuffles of the transform are what
  // limits the walk, so the wider the better).
  template <class W>
  void residuals(const Dequant& dq, int count) {
    if constexpr (W::kHalves ==
                  1) {  // 128 bits: a whole block in two registers costs fewer shuffles than a pair in four
      recon::with_dequant<recon::V128>(dq, [&](const auto& op) {
        const __m128i mlo = load<16>(dq.mul), mhi = load<16>(dq.mul + 8), zero = _mm_setzero_si128();
        for (int b = 0; b < count; ++b) {
          const int16_t* c = coef[b];
          if (!c) continue;
          const h264::Block r = recon::residual_block(c, op, mlo, mhi);
          store<16>(pos[b], _mm_packus_epi16(r.lo, r.hi));
          store<16>(neg[b], _mm_packus_epi16(_mm_sub_epi16(zero, r.lo), _mm_sub_epi16(zero, r.hi)));
        }
      });
    } else {  // two pairs a register, an odd one left on 128 bits
      int pairs[8], n = 0;
      for (int j = 0; 2 * j < count; ++j)
        if (coef[2 * j] || (2 * j + 1 < count && coef[2 * j + 1])) pairs[n++] = j;
      if (n == 0) return;
      recon::with_dequant<W>(dq, [&](const auto& wide) {
        const recon::DqOp<recon::V128, std::decay_t<decltype(wide)>::kKind> narrow(dq);
        int i = 0;
        for (; i + 1 < n; i += 2) pair_residuals<W>(wide, count, pairs[i], pairs[i + 1]);
        if (i < n) pair_residuals<recon::V128>(narrow, count, pairs[i], pairs[i]);
      });
    }
  }

  // Block B (luma4x4BlkIdx): predicted, its residual added, kept and stored.
  template <int B>
  [[gnu::always_inline]] void block() {
    constexpr int bx = ::kvn::h264::kLuma4x4X[B] / 4, by = ::kvn::h264::kLuma4x4Y[B] / 4;
    constexpr bool tr = ::kvn::h264::kIntra4x4Nb[B].top_right != ::kvn::h264::kEdgeNever;
    // Only the top and left bits matter to the predictor (the DC mean), and
    // inside the macroblock they are known.
    const int32_t avail = (by > 0 ? kAvailTop : top_bit) | (bx > 0 ? kAvailLeft : left_bit);
    __m128i rec = intra4::predict(edge_of<bx, by, tr>(g), modes[B], avail);
    if (coef[B]) rec = _mm_subs_epu8(_mm_adds_epu8(rec, load<16>(pos[B])), load<16>(neg[B]));
    g.at[by + 1][bx + 1] = rec;
    KVN_ISA::store4x4(mb + ::kvn::h264::luma4x4_offset(B, s), s, rec);
  }

  // Blocks 0..count-1.
  template <int... B>
  [[gnu::always_inline]] void blocks(int count, std::integer_sequence<int, B...>) {
    (void)((B < count ? (block<B>(), true) : false) && ...);
  }
};

// The Intra4x4Fn contract, the residuals transformed on the registers of W.
template <class W>
void intra4x4(uint8_t* mb, int32_t step, int32_t count, const int32_t* modes, uint32_t edges,
              const int16_t* const* coef, const Dequant& dq) {
  if (step > -16 && step < 16) {  // rows overlap: each block must see the picture as written
    recon::intra4x4(mb, step, count, modes, edges, coef, dq,
                    [](const uint8_t* dst, std::ptrdiff_t s, int mode, int32_t avail) {
                      return intra4::predict(intra4::edge(dst, s, avail), mode, avail);
                    });
    return;
  }
  Walk w(mb, step, modes, edges, coef);
  fill_outside(w.g, mb, step, edges, count);
  w.residuals<W>(dq, count);
  w.blocks(count, std::make_integer_sequence<int, 16>());
}

}  // namespace recon4
}  // namespace KVN_ISA
}  // namespace kvn
