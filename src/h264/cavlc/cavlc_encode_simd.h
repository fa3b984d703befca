// The CAVLC analysis of 4x4 blocks with byte shuffles, shared by the SIMD
// kernels (SSE4.1 at least).
//
// The zero, +-1 and sign flags of the 16 raster positions are put into scan
// order with one shuffle each and read as bit masks (bit k: scan index k).
// The scan indices of the nonzero coefficients, highest first, come from a
// table per mask byte; their differences are the runs, and the levels are
// gathered from the raster block through the scan. Outputs are stored as
// whole vectors blended with the entries already there beyond the counts.

// KVN_CAVLC_BIT_INSTRUCTIONS: the including file is compiled for POPCNT and
// BMI2 (which SSE4.1 processors need not have).
#pragma once

#ifndef KVN_ISA
#error "KVN_ISA names the instruction set of the including file (sse2 .. avx512); kvn_kernel_sources defines it"
#endif

#include <immintrin.h>

#include <cstdint>

#include "h264/cavlc/cavlc_encode.h"
#include "simd/loads.h"
#include "tables/h264_cavlc_tables.h"

namespace kvn {
namespace KVN_ISA {
namespace cavlc {

// Set bits of a 16-bit mask.
inline int count16(uint32_t x) {
#if KVN_CAVLC_BIT_INSTRUCTIONS
  return __builtin_popcount(x);
#else
  x = x - (x >> 1 & 0x5555);
  x = (x & 0x3333) + (x >> 2 & 0x3333);
  x = (x + (x >> 4)) & 0x0f0f;
  return int((x + (x >> 8)) & 0x1f);
#endif
}

// The scan as byte indices (low four bits) and the mask of entries outside
// 0..15 (bit k: scan[k]).
inline __m128i scan_bytes(const int32_t* scan, uint32_t& bad) {
  const __m128i a = _mm_packs_epi32(load<16>(scan), load<16>(scan + 4));
  const __m128i b = _mm_packs_epi32(load<16>(scan + 8), load<16>(scan + 12));
  const __m128i sb = _mm_packs_epi16(a, b);  // signed saturation keeps entries outside 0..15 outside
  const __m128i high = _mm_and_si128(sb, _mm_set1_epi8(char(0xf0)));
  bad = uint32_t(_mm_movemask_epi8(_mm_cmpeq_epi8(high, _mm_setzero_si128()))) ^ 0xffffu;
  return _mm_and_si128(sb, _mm_set1_epi8(0x0f));
}

// The scan as bytes; false when an entry of positions start..end lies
// outside 0..15 (the kernel then fails with nothing written).
inline bool scan_order(const int32_t* scan, int start, int end, __m128i& order) {
  uint32_t bad;
  order = scan_bytes(scan, bad);
  return !(bad & ((2u << end) - 1) & ~((1u << start) - 1));
}

// Byte flags of the raster positions: 0xff where zero, 0xff where +-1, the
// coefficient's sign in bit 7.
struct Flags {
  __m128i zero, one, neg;
};

inline Flags flags(__m128i c0, __m128i c1) {  // 16-bit coefficients 0..7, 8..15
  const __m128i z = _mm_setzero_si128(), one = _mm_set1_epi16(1);
  return {_mm_packs_epi16(_mm_cmpeq_epi16(c0, z), _mm_cmpeq_epi16(c1, z)),
          _mm_packs_epi16(_mm_cmpeq_epi16(_mm_abs_epi16(c0), one), _mm_cmpeq_epi16(_mm_abs_epi16(c1), one)),
          _mm_packs_epi16(c0, c1)};
}

inline Flags flags(const __m128i (&c)[4]) {  // 32-bit coefficients
  const __m128i z = _mm_setzero_si128(), one = _mm_set1_epi32(1);
  auto pack = [](__m128i a, __m128i b, __m128i d, __m128i e) {
    return _mm_packs_epi16(_mm_packs_epi32(a, b), _mm_packs_epi32(d, e));
  };
  auto zero = [&](int i) { return _mm_cmpeq_epi32(c[i], z); };
  auto unit = [&](int i) { return _mm_cmpeq_epi32(_mm_abs_epi32(c[i]), one); };
  return {pack(zero(0), zero(1), zero(2), zero(3)), pack(unit(0), unit(1), unit(2), unit(3)),
          pack(c[0], c[1], c[2], c[3])};  // signed saturation keeps the signs
}

// What the levels and runs are made from.
struct Analysis {
  int tc, t1;
  __m128i runs;    // byte i: run_before of coefficient i
  __m128i raster;  // byte j: raster position of level j
};

// Counts from the flags of a block with a valid scan; false for an all-zero
// block (its counts written).
inline bool analyse(const Flags& f, __m128i order, int start, int end, const CavlcCounts& out, Analysis& a) {
  const uint32_t range = ((2u << end) - 1) & ~((1u << start) - 1);
  const uint32_t nz = ~uint32_t(_mm_movemask_epi8(_mm_shuffle_epi8(f.zero, order))) & range;
  const uint32_t ones = uint32_t(_mm_movemask_epi8(_mm_shuffle_epi8(f.one, order)));
  const uint32_t neg = uint32_t(_mm_movemask_epi8(_mm_shuffle_epi8(f.neg, order)));
  const int tc = count16(nz);
  if (tc == 0) {
    *out.trailingOnes = *out.signs = *out.totalCoeff = 0;
    *out.totalZeros = uint8_t(end - start + 1);
    return false;
  }
  // Trailing ones: the nonzero coefficients above the highest one that is
  // not +-1, at most 3. Their signs: those of the three highest nonzero
  // coefficients, first met first, cut to TrailingOnes bits.
  const int aboveBig = 31 - __builtin_clz((nz & ~ones) << 1 | 1);  // highest such index + 1, or 0
  const int onesAbove = count16(nz >> aboveBig);
  const int t1 = onesAbove < 3 ? onesAbove : 3;
  const int k0 = 31 - __builtin_clz(nz);
#if KVN_CAVLC_BIT_INSTRUCTIONS
  *out.signs = uint8_t(_pext_u32(neg, nz) >> (tc - t1));
#else
  const uint32_t nz1 = nz ^ (1u << k0);
  const int k1 = 31 - __builtin_clz(nz1 | 1);
  const int k2 = 31 - __builtin_clz((nz1 ^ (1u << k1)) | 1);
  *out.signs = uint8_t(((neg >> k0 & 1) << 2 | (neg >> k1 & 1) << 1 | (neg >> k2 & 1)) >> (3 - t1));
#endif
  *out.trailingOnes = uint8_t(t1);
  *out.totalCoeff = uint8_t(tc);
  *out.totalZeros = uint8_t(k0 - start + 1 - tc);
  // Scan indices of the nonzero coefficients, highest first.
  const CavlcShuffles& t = kCavlcShuffles;
  const __m128i high = _mm_add_epi8(load<8>(t.bitsDescending[nz >> 8]), _mm_set1_epi8(8));
  const __m128i low = _mm_shuffle_epi8(load<8>(t.bitsDescending[nz & 0xff]),
                                       _mm_load_si128(reinterpret_cast<const __m128i*>(t.shiftUp[count16(nz >> 8)])));
  const __m128i pos = _mm_or_si128(_mm_and_si128(high, _mm_set_epi64x(0, -1)), low);
  a.tc = tc;
  a.t1 = t1;
  a.runs = _mm_sub_epi8(_mm_sub_epi8(pos, _mm_srli_si128(pos, 1)), _mm_set1_epi8(1));
  const __m128i down = _mm_load_si128(reinterpret_cast<const __m128i*>(t.shiftDown[t1]));
  a.raster = _mm_shuffle_epi8(order, _mm_shuffle_epi8(pos, down));
  return true;
}

// Stores the first n bytes of v at p, the other 16 - n bytes unchanged.
inline void store_prefix8(uint8_t* p, __m128i v, int n) {
  const __m128i keep =
      _mm_cmpgt_epi8(_mm_set1_epi8(char(n)), _mm_setr_epi8(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15));
  store<16>(p, _mm_blendv_epi8(load<16>(p), v, keep));
}

// 16-bit levels: gathered from the raster block (c0, c1) at the raster
// positions, stored as 2 x 8 lanes.
inline void store_levels16(int16_t* levels, __m128i c0, __m128i c1, __m128i raster, int n) {
  const __m128i r2 = _mm_add_epi8(raster, raster), r2b = _mm_add_epi8(r2, _mm_set1_epi8(1));
  const __m128i idx[2] = {_mm_unpacklo_epi8(r2, r2b), _mm_unpackhi_epi8(r2, r2b)};
  const __m128i lanes = _mm_setr_epi16(0, 1, 2, 3, 4, 5, 6, 7);
  for (int h = 0; h < 2; ++h) {
    // Byte index i < 16 picks from c0, i >= 16 from c1; a set bit 7 gives 0.
    const __m128i v = _mm_or_si128(_mm_shuffle_epi8(c0, _mm_add_epi8(idx[h], _mm_set1_epi8(0x70))),
                                   _mm_shuffle_epi8(c1, _mm_sub_epi8(idx[h], _mm_set1_epi8(16))));
    const __m128i keep = _mm_cmpgt_epi16(_mm_set1_epi16(int16_t(n - 8 * h)), lanes);
    store<16>(levels + 8 * h, _mm_blendv_epi8(load<16>(levels + 8 * h), v, keep));
  }
}

}  // namespace cavlc
}  // namespace KVN_ISA
}  // namespace kvn
