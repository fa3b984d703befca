// AVX-512 kernels of the H.264 8-bit luma interpolation for 16-wide blocks at
// the centre fractions j (2, 2), f (2, 1) and q (2, 3): two block rows per
// 512-bit register. Every other slot keeps the AVX2 kernel.
//
// A register holds the unrounded horizontal sums of two rows, the upper row
// in the low 256 bits, laid out as in the AVX2 engine (per row, lane 0
// columns 0 .. 7 gathered from bytes -2 .. 13, lane 1 columns 8 .. 15 from
// bytes 3 .. 18). The centre of rows y, y + 1 needs the sums of rows
// y - 2 .. y + 4 as the six row pairs (y-2, y-1), (y-1, y), .. (y+3, y+4).
// Those starting at an even offset from y are computed from the picture; the
// ones between them take the high half of one and the low half of the next
// (one cross-lane shuffle instead of a second horizontal filter). So each
// pair of output rows costs one horizontal filter of two rows, one shuffle
// and one 16-bit centre filter (interp_luma_simd.h) on 32 columns.
#include <immintrin.h>

#include "h264/inter/interp_luma_simd.h"
#include "simd/lanes.h"
#include "simd/loads.h"

namespace kvn {
namespace KVN_ISA {
namespace {

using std::ptrdiff_t;
using namespace interp_luma;

struct CentrePairs : Taps8<Lanes512> {
  // The gather masks of the AVX2 engine, for both rows.
  const __m512i m0 = _mm512_broadcast_i64x4(load16x2(kLowMasks.b[0], kHighMasks.b[0]));
  const __m512i m1 = _mm512_broadcast_i64x4(load16x2(kLowMasks.b[1], kHighMasks.b[1]));
  const __m512i m2 = _mm512_broadcast_i64x4(load16x2(kLowMasks.b[2], kHighMasks.b[2]));

  static __m256i row_bytes(const uint8_t* p) { return load16x2(p - 2, p + 3); }
  __m512i h_raw(__m512i x) const {
    return sum(_mm512_shuffle_epi8(x, m0), _mm512_shuffle_epi8(x, m1), _mm512_shuffle_epi8(x, m2));
  }
  // Horizontal sums of rows p and p + ss.
  __m512i h_pair(const uint8_t* p, ptrdiff_t ss) const {
    return h_raw(_mm512_inserti64x4(_mm512_castsi256_si512(row_bytes(p)), row_bytes(p + ss), 1));
  }
  // Row p alone, in the low half: the last row of the region, whose
  // successor must not be read.
  __m512i h_single(const uint8_t* p) const { return h_raw(_mm512_zextsi256_si512(row_bytes(p))); }
  // Rows (b, c) from the pairs (a, b) and (c, d).
  static __m512i between(__m512i ab, __m512i cd) { return _mm512_shuffle_i64x2(ab, cd, 0x4e); }
  // Clamped bytes of two registers of row pairs (y, y + 1) and (y + 2, y + 3),
  // one row a 128-bit lane in order. packus interleaves the registers by
  // 128-bit lane: qwords y.lo, y+2.lo, y.hi, y+2.hi, y+1.lo, y+3.lo, y+1.hi,
  // y+3.hi. One pack and one permute serve four rows.
  static __m512i pack(__m512i v01, __m512i v23) {
    return _mm512_permutexvar_epi64(_mm512_setr_epi64(0, 2, 4, 6, 1, 3, 5, 7), _mm512_packus_epi16(v01, v23));
  }
};

// F = 10 (j), 6 (f: j averaged with b of row y), 14 (q: with b of row y + 1).
// Pk are the sums of rows (y - 2 + 2k, y - 1 + 2k), Xk those of
// (y - 1 + 2k, y + 2k). Four rows an iteration (heights are multiples of 4),
// packed together. The region ends at row height + 2, the first of the last
// pair, which is therefore filtered alone.
template <int F>
void centre16(const uint8_t* s, ptrdiff_t ss, uint8_t* d, ptrdiff_t ds, int height) {
  const CentrePairs e;
  __m512i p0 = e.h_pair(s - 2 * ss, ss), p1 = e.h_pair(s, ss), p2 = e.h_pair(s + 2 * ss, ss);
  __m512i x0 = CentrePairs::between(p0, p1), x1 = CentrePairs::between(p1, p2);
  // The unclamped j of the next two rows and, for f and q, their b; moves the
  // window on by two rows, p3 being the sums of rows (y + 4, y + 5).
  struct Two {
    __m512i j, b;
  };
  const auto step = [&](__m512i p3) {
    const __m512i x2 = CentrePairs::between(p2, p3);
    const Two r{CentrePairs::centre(p0, x0, p1, x1, p2, x2), CentrePairs::round_half(F == 14 ? x1 : p1)};
    s += 2 * ss;
    p0 = p1;
    p1 = p2;
    p2 = p3;
    x0 = x1;
    x1 = x2;
    return r;
  };
  for (int y = 0;; y += 4, d += 4 * ds) {
    const Two r01 = step(e.h_pair(s + 4 * ss, ss));
    const bool last = y + 4 == height;
    const Two r23 = step(last ? e.h_single(s + 4 * ss) : e.h_pair(s + 4 * ss, ss));
    __m512i j = CentrePairs::pack(r01.j, r23.j);
    if constexpr (F != 10) j = _mm512_avg_epu8(j, CentrePairs::pack(r01.b, r23.b));
    store<16>(d, _mm512_castsi512_si128(j));
    store<16>(d + ds, _mm512_extracti32x4_epi32(j, 1));
    store<16>(d + 2 * ds, _mm512_extracti32x4_epi32(j, 2));
    store<16>(d + 3 * ds, _mm512_extracti32x4_epi32(j, 3));
    if (last) break;
  }
}

}  // namespace
}  // namespace KVN_ISA

constexpr void interp_luma_init_avx512(InterpLumaKernels& k) {
  using namespace KVN_ISA;
  k.luma8[3][6] = centre16<6>;
  k.luma8[3][10] = centre16<10>;
  k.luma8[3][14] = centre16<14>;
}

KVN_LEVEL_KERNELS(interp_luma, InterpLumaKernels);

}  // namespace kvn
