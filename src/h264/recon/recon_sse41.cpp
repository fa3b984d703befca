// SSE4.1 kernels of the H.264 8-bit macroblock reconstruction: intra 4x4
// luma blocks predicted in a register (the pshufb predictors of
// intra4x4_simd.h, the mode picking table indices rather than branches) and
// the residual added there, so that each block is written once and never
// read back.
//
// The blocks of a macroblock depend on each other in a chain (each one reads
// its left, top and top-right neighbours), so what bounds the walk is the
// latency from one block's samples to the next block's neighbours. The
// reconstructed blocks are therefore kept in registers and the neighbours
// taken from there with one shuffle each; only the samples around the
// macroblock are read from the picture, ahead of the chain.
#include <smmintrin.h>

#include <cstddef>
#include <cstdint>
#include <utility>

#include "h264/intra/intra4x4_simd.h"
#include "h264/recon/recon.h"
#include "h264/recon/recon_layout.h"
#include "h264/recon/recon_simd.h"

namespace kvn {
namespace KVN_ISA {
namespace {

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
void fill_outside(Grid& g, const uint8_t* mb, std::ptrdiff_t s, uint32_t edges, int count) {
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

inline __m128i bytes(int8_t a0, int8_t a1, int8_t a2, int8_t a3, int8_t a4, int8_t a5, int8_t a6, int8_t a7,
                     int8_t a8, int8_t a9, int8_t a10, int8_t a11, int8_t a12, int8_t a13, int8_t a14, int8_t a15) {
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
template <class Op>
struct Walk {
  Grid g;
  uint8_t* mb;
  std::ptrdiff_t s;
  const int32_t* modes;
  uint32_t edges;
  const int16_t* const* coef;
  const Op& op;
  __m128i mlo, mhi;

  // The grid is left uninitialised: fill_outside and the blocks write each
  // entry before it is read.
  Walk(uint8_t* mb_, std::ptrdiff_t s_, const int32_t* modes_, uint32_t edges_, const int16_t* const* coef_,
       const Op& op_, const Dequant& dq)
      : mb(mb_), s(s_), modes(modes_), edges(edges_), coef(coef_), op(op_), mlo(load<16>(dq.mul)),
        mhi(load<16>(dq.mul + 8)) {}

  // Block B (luma4x4BlkIdx): predicted, its residual added, kept and stored.
  template <int B>
  [[gnu::always_inline]] void block() {
    constexpr int bx = ::kvn::h264::kLuma4x4X[B] / 4, by = ::kvn::h264::kLuma4x4Y[B] / 4;
    constexpr bool tr = ::kvn::h264::kIntra4x4Nb[B].top_right != ::kvn::h264::kEdgeNever;
    const int32_t avail = ::kvn::h264::intra4x4_avail(B, edges);
    __m128i rec = intra4::predict(edge_of<bx, by, tr>(g), modes[B], avail);
    if (const int16_t* c = coef[B]) {
      const __m128i zero = _mm_setzero_si128();
      h264::Block r{op(load<16>(c), mlo), op(load<16>(c + 8), mhi)};
      h264::inv4x4_sat(r);
      rec = _mm_packus_epi16(_mm_adds_epi16(_mm_unpacklo_epi8(rec, zero), r.lo),
                             _mm_adds_epi16(_mm_unpackhi_epi8(rec, zero), r.hi));
    }
    g.at[by + 1][bx + 1] = rec;
    recon::store4x4(mb + ::kvn::h264::luma4x4_offset(B, s), s, rec);
  }

  // Blocks 0..count-1.
  template <int... B>
  [[gnu::always_inline]] void blocks(int count, std::integer_sequence<int, B...>) {
    (void)((B < count ? (block<B>(), true) : false) && ...);
  }
};

void intra4x4(uint8_t* mb, int32_t step, int32_t count, const int32_t* modes, uint32_t edges,
              const int16_t* const* coef, const Dequant& dq) {
  if (step > -16 && step < 16) {  // rows overlap: each block must see the picture as written
    recon::intra4x4(mb, step, count, modes, edges, coef, dq,
                    [](const uint8_t* dst, std::ptrdiff_t s, int mode, int32_t avail) {
                      return intra4::predict(intra4::edge(dst, s, avail), mode, avail);
                    });
    return;
  }
  recon::with_dequant<recon::V128>(dq, [&](const auto& op) {
    Walk<std::decay_t<decltype(op)>> w(mb, step, modes, edges, coef, op, dq);
    fill_outside(w.g, mb, step, edges, count);
    w.blocks(count, std::make_integer_sequence<int, 16>());
  });
}

}  // namespace
}  // namespace KVN_ISA

constexpr void recon_init_sse41(ReconKernels& k) { k.intra4x4 = KVN_ISA::intra4x4; }

KVN_LEVEL_KERNELS(recon, ReconKernels);

}  // namespace kvn
