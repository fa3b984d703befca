// The nine intra 4x4 luma modes (H.264 8.3.1.2) on SSSE3 registers: the
// neighbours gathered in one register, the two-tap and three-tap filters of
// every neighbour position formed at once, and each predicted sample picked
// with pshufb. Shared by the intra family's 4x4 kernels (intra_sse41.cpp)
// and the fused predict-and-add walk of the reconstruction
// (recon_sse41.cpp), which keeps the prediction in a register.
#pragma once

#ifndef KVN_ISA
#error "KVN_ISA names the instruction set of the including file (sse2 .. avx512); kvn_kernel_sources defines it"
#endif

#include <tmmintrin.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "h264/intra/intra.h"

namespace kvn {
namespace KVN_ISA {
namespace intra4 {

// Neighbours of a 4x4 block with the substitutions applied, one byte each:
// E[0] = E[1] = p[-1, 3], E[1..4] = p[-1, 3..0], E[5] = p[-1, -1],
// E[6..13] = p[0..7, -1], E[14] = E[15] = p[7, -1]. The repeated ends give the
// edge taps of the down-left and horizontal-up modes. Only neighbours whose
// availability bit is set are read.
[[gnu::always_inline]] inline __m128i edge(const uint8_t* b, std::ptrdiff_t s, int32_t a) {
  uint32_t top = 0x80808080u, right = 0x80808080u, left = 0x80808080u, corner = 128;
  if (a & kAvailTop) {
    std::memcpy(&top, b - s, 4);
    right = (top >> 24) * 0x01010101u;
  }
  if (a & kAvailTopRight) std::memcpy(&right, b - s + 4, 4);
  if (a & kAvailLeft)
    left = uint32_t(b[3 * s - 1]) | uint32_t(b[2 * s - 1]) << 8 | uint32_t(b[s - 1]) << 16 | uint32_t(b[-1]) << 24;
  if (a & kAvailTopLeft) corner = b[-s - 1];
  const __m128i packed =
      _mm_set_epi64x(int64_t(uint64_t(top) | uint64_t(right) << 32), int64_t(uint64_t(left) | uint64_t(corner) << 32));
  return _mm_shuffle_epi8(packed, _mm_setr_epi8(0, 0, 1, 2, 3, 4, 8, 9, 10, 11, 12, 13, 14, 15, 15, 15));
}

// F2[k] = (E[k] + E[k+1] + 1) >> 1 and F3[k] = (E[k-1] + 2 E[k] + E[k+1] + 2) >> 2,
// the latter exactly as avg(floor((E[k-1] + E[k+1]) / 2), E[k]).
struct Taps {
  __m128i f2, f3;
};
[[gnu::always_inline]] inline Taps taps(__m128i e) {
  const __m128i prev = _mm_slli_si128(e, 1), next = _mm_srli_si128(e, 1);
  const __m128i lowbit = _mm_and_si128(_mm_xor_si128(prev, next), _mm_set1_epi8(1));
  const __m128i outer = _mm_sub_epi8(_mm_avg_epu8(prev, next), lowbit);
  return {_mm_avg_epu8(e, next), _mm_avg_epu8(outer, e)};
}

// Predicted block from the filtered neighbours: byte i of the block is
// F2[m2[i]] or F3[m3[i]] (the other index is -1, selecting zero).
inline __m128i pick(const Taps& t, __m128i m2, __m128i m3) {
  return _mm_or_si128(_mm_shuffle_epi8(t.f2, m2), _mm_shuffle_epi8(t.f3, m3));
}

// Where each sample of a mode's block comes from (raster order, -1: none): a
// neighbour E[i], a filter output F2[i] or F3[i], or (DC) the mean.
struct ModeIndex {
  alignas(16) int8_t e[16], f2[16], f3[16], dc[16];
};
#define KVN_NONE -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1
inline constexpr ModeIndex kModeIndex[9] = {
    {{6, 7, 8, 9, 6, 7, 8, 9, 6, 7, 8, 9, 6, 7, 8, 9}, {KVN_NONE}, {KVN_NONE}, {KVN_NONE}},            // vertical
    {{4, 4, 4, 4, 3, 3, 3, 3, 2, 2, 2, 2, 1, 1, 1, 1}, {KVN_NONE}, {KVN_NONE}, {KVN_NONE}},            // horizontal
    {{KVN_NONE}, {KVN_NONE}, {KVN_NONE}, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},            // DC
    {{KVN_NONE}, {KVN_NONE}, {7, 8, 9, 10, 8, 9, 10, 11, 9, 10, 11, 12, 10, 11, 12, 13}, {KVN_NONE}},  // down-left
    {{KVN_NONE}, {KVN_NONE}, {5, 6, 7, 8, 4, 5, 6, 7, 3, 4, 5, 6, 2, 3, 4, 5}, {KVN_NONE}},            // down-right
    {{KVN_NONE},
     {5, 6, 7, 8, -1, -1, -1, -1, -1, 5, 6, 7, -1, -1, -1, -1},
     {-1, -1, -1, -1, 5, 6, 7, 8, 4, -1, -1, -1, 3, 5, 6, 7},
     {KVN_NONE}},  // vertical-right
    {{KVN_NONE},
     {4, -1, -1, -1, 3, -1, 4, -1, 2, -1, 3, -1, 1, -1, 2, -1},
     {-1, 5, 6, 7, -1, 4, -1, 5, -1, 3, -1, 4, -1, 2, -1, 3},
     {KVN_NONE}},  // horizontal-down
    {{KVN_NONE},
     {6, 7, 8, 9, -1, -1, -1, -1, 7, 8, 9, 10, -1, -1, -1, -1},
     {-1, -1, -1, -1, 7, 8, 9, 10, -1, -1, -1, -1, 8, 9, 10, 11},
     {KVN_NONE}},  // vertical-left
    {{KVN_NONE},
     {3, -1, 2, -1, 2, -1, 1, -1, 1, -1, 0, 0, 0, 0, 0, 0},
     {-1, 3, -1, 2, -1, 2, -1, 1, -1, 1, -1, -1, -1, -1, -1, -1},
     {KVN_NONE}},  // horizontal-up
};

// The DC mean's samples by the top and left bits (avail & 3): both sides
// once; one side twice, so that (sum + 4) >> 3 is that side's mean; none: the
// substitutes, whose mean is 128.
alignas(16) inline constexpr int8_t kDcPick[4][16] = {
    {1, 2, 3, 4, 6, 7, 8, 9, -1, -1, -1, -1, -1, -1, -1, -1},
    {6, 7, 8, 9, 6, 7, 8, 9, -1, -1, -1, -1, -1, -1, -1, -1},
    {1, 2, 3, 4, 1, 2, 3, 4, -1, -1, -1, -1, -1, -1, -1, -1},
    {1, 2, 3, 4, 6, 7, 8, 9, -1, -1, -1, -1, -1, -1, -1, -1},
};
#undef KVN_NONE

inline __m128i load_index(const int8_t* p) { return _mm_load_si128(reinterpret_cast<const __m128i*>(p)); }

constexpr bool unused(const int8_t (&index)[16]) {
  for (int8_t i : index)
    if (i != -1) return false;
  return true;
}

// The block of a filtered mode (3..8) from the taps: one shuffle where the
// mode takes one filter only.
template <int Mode>
[[gnu::always_inline]] inline __m128i filtered(const Taps& t) {
  constexpr const ModeIndex& m = kModeIndex[Mode];
  if constexpr (unused(m.f2)) return _mm_shuffle_epi8(t.f3, load_index(m.f3));
  return pick(t, load_index(m.f2), load_index(m.f3));
}

// The predicted 4x4 block of mode 0..8 from the neighbours E, in raster
// order, without a branch on the mode: every source is formed and the mode's
// indices pick from them (random modes defeat branch prediction).
[[gnu::always_inline]] inline __m128i predict(__m128i e, int mode, int32_t a) {
  const ModeIndex& m = kModeIndex[mode];
  const Taps t = taps(e);
  const __m128i sum = _mm_sad_epu8(_mm_shuffle_epi8(e, load_index(kDcPick[a & 3])), _mm_setzero_si128());
  const __m128i dc = _mm_srli_epi16(_mm_add_epi16(sum, _mm_set1_epi16(4)), 3);
  return _mm_or_si128(_mm_or_si128(_mm_shuffle_epi8(e, load_index(m.e)), _mm_shuffle_epi8(dc, load_index(m.dc))),
                      pick(t, load_index(m.f2), load_index(m.f3)));
}

}  // namespace intra4
}  // namespace KVN_ISA
}  // namespace kvn
