// SSE2 kernels of the variance and activity measures.
//
// Sums of bytes come from psadbw against zero (one sum per 8-byte half),
// sums of squares from pmaddwd on the samples widened to 16 bits; the final
// arithmetic is that of variance.h, shared with the scalar reference. The edge
// counts compare |a - b| with the threshold by a saturating subtraction and
// count per lane in bytes (or words), at most 15 a lane.
#include <emmintrin.h>

#include <cstddef>

#include "variance.h"
#include "block_pred.h"
#include "hpel_simd.h"
#include "simd/loads.h"
#include "simd/reduce.h"

namespace kvn {
namespace KVN_ISA {
namespace {

using namespace hpel;

inline __m128i abs_diff(__m128i a, __m128i b) { return _mm_or_si128(_mm_subs_epu8(a, b), _mm_subs_epu8(b, a)); }
inline __m128i abs_diff16(__m128i a, __m128i b) { return _mm_or_si128(_mm_subs_epu16(a, b), _mm_subs_epu16(b, a)); }

// The squares of 16 bytes, summed in pairs into 32-bit lanes.
inline __m128i squares(__m128i v) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i lo = _mm_unpacklo_epi8(v, zero), hi = _mm_unpackhi_epi8(v, zero);
  return _mm_add_epi32(_mm_madd_epi16(lo, lo), _mm_madd_epi16(hi, hi));
}

inline __m128i byte_sum(__m128i v) { return _mm_sad_epu8(v, _mm_setzero_si128()); }

KvnResult variance16x16(const uint8_t* src, int32_t step, int32_t* var) {
  __m128i s = _mm_setzero_si128(), q = _mm_setzero_si128();
#pragma GCC unroll 2  // unrolled in full, the additions get regrouped and the registers spill
  for (int y = 0; y < 16; ++y, src += step) {
    const __m128i v = load<16>(src);
    s = _mm_add_epi32(s, byte_sum(v));
    q = _mm_add_epi32(q, squares(v));
  }
  *var = variance_from_sums(hsum32(q), hsum64(s));
  return KVN_STS_OK;
}

KvnResult var_mean8x8(const uint8_t* src, int32_t step, int32_t* var, int32_t* sum) {
  __m128i s = _mm_setzero_si128(), q = _mm_setzero_si128();
  for (int y = 0; y < 8; y += 2, src += 2 * std::ptrdiff_t(step)) {
    const __m128i v = load8x2(src, src + step);
    s = _mm_add_epi32(s, byte_sum(v));
    q = _mm_add_epi32(q, squares(v));
  }
  return store_var_mean(int32_t(hsum32(q)), int32_t(hsum64(s)), var, sum);
}

// Column sums with signed saturation, row by row; squares summed in pairs by
// pmaddwd and accumulated, all modulo 2^32.
KvnResult var_mean8x8_16s(const int16_t* src, int32_t step, int32_t* var, int32_t* sum) {
  const uint8_t* row = reinterpret_cast<const uint8_t*>(src);
  __m128i column = _mm_setzero_si128(), q = _mm_setzero_si128();
  for (int y = 0; y < 8; ++y, row += step) {
    const __m128i v = load<16>(row);
    column = _mm_adds_epi16(column, v);
    q = _mm_add_epi32(q, _mm_madd_epi16(v, v));
  }
  const int32_t s = int32_t(hsum32(_mm_madd_epi16(column, _mm_set1_epi16(1))));
  return store_var_mean(int32_t(hsum32(q)), s, var, sum);
}

// 16 wide, H rows, the 8x8 blocks in raster order: psadbw of a prediction row
// sums the left block's half and the right block's half apart.
template <int H, int Code>
KvnResult var_mean_diff(const uint8_t* src, int32_t ss, const uint8_t* ref, int32_t rs, const int32_t* srcSum,
                        int32_t* var, int32_t* mean) {
  constexpr int kBlocks = H / 4;
  Predictor<Bytes<16>, Code, 0, 1> pred(ref, rs);
  int32_t predSum[kBlocks];
  uint32_t q[kBlocks];
  const __m128i zero = _mm_setzero_si128();
  for (int b = 0; b < kBlocks; b += 2) {
    __m128i ps = zero, left = zero, right = zero;
#pragma GCC unroll 2  // unrolled in full, the additions get regrouped and the registers spill
    for (int y = 0; y < 8; ++y, src += ss) {
      const __m128i p = pred.next();
      const __m128i d = abs_diff(load<16>(src), p);
      const __m128i lo = _mm_unpacklo_epi8(d, zero), hi = _mm_unpackhi_epi8(d, zero);
      ps = _mm_add_epi32(ps, byte_sum(p));
      left = _mm_add_epi32(left, _mm_madd_epi16(lo, lo));
      right = _mm_add_epi32(right, _mm_madd_epi16(hi, hi));
    }
    predSum[b] = _mm_cvtsi128_si32(ps);
    predSum[b + 1] = _mm_cvtsi128_si32(_mm_unpackhi_epi64(ps, ps));
    q[b] = hsum32(left);
    q[b + 1] = hsum32(right);
  }
  return var_mean_diff_finish<kBlocks>(srcSum, predSum, q, var, mean);
}

KvnResult mean_abs_dev16x16(const uint8_t* src, int32_t step, int32_t* out) {
  __m128i s = _mm_setzero_si128();
  const uint8_t* row = src;
#pragma GCC unroll 4  // unrolled in full, the additions get regrouped and the registers spill
  for (int y = 0; y < 16; ++y, row += step) s = _mm_add_epi32(s, byte_sum(load<16>(row)));
  const __m128i m = _mm_set1_epi8(char((int32_t(hsum64(s)) + 128) >> 8));
  __m128i dev = _mm_setzero_si128();
#pragma GCC unroll 4
  for (int y = 0; y < 16; ++y, src += step) dev = _mm_add_epi32(dev, _mm_sad_epu8(load<16>(src), m));
  *out = int32_t(hsum64(dev));
  return KVN_STS_OK;
}

KvnResult mean_abs_dev8x8(const uint8_t* src, int32_t step, int32_t* out) {
  __m128i v[4], s = _mm_setzero_si128();
  for (int i = 0; i < 4; ++i, src += 2 * std::ptrdiff_t(step)) {
    v[i] = load8x2(src, src + step);
    s = _mm_add_epi32(s, byte_sum(v[i]));
  }
  const __m128i m = _mm_set1_epi8(char((int32_t(hsum64(s)) + 32) >> 6));
  __m128i dev = _mm_setzero_si128();
  for (const __m128i& x : v) dev = _mm_add_epi32(dev, _mm_sad_epu8(x, m));
  *out = int32_t(hsum64(dev));
  return KVN_STS_OK;
}

// Thresholds outside the sample range decide every position at once.
template <int32_t Max>
inline bool edges_trivial(int32_t diffThreshold, int32_t& count) {
  if (diffThreshold < 0)
    count = kEdgePositions;
  else if (diffThreshold >= Max)
    count = 0;
  else
    return false;
  return true;
}

// Per byte lane x, the number of rows y < 15 in which position (x, y) is no
// edge: max(|p - right|, |p - below|) - T saturates to 0. Lane 15 (no
// position) is subtracted at the end.
KvnResult edges16x16(const uint8_t* src, int32_t step, int32_t diffThreshold, int32_t countThreshold, uint8_t* flag) {
  int32_t count;
  if (!edges_trivial<255>(diffThreshold, count)) {
    const __m128i t = _mm_set1_epi8(char(diffThreshold)), zero = _mm_setzero_si128();
    __m128i cur = load<16>(src), calm = zero;
    for (int y = 0; y < 15; ++y) {
      src += step;
      const __m128i below = load<16>(src);
      const __m128i m = _mm_max_epu8(abs_diff(cur, _mm_srli_si128(cur, 1)), abs_diff(cur, below));
      calm = _mm_sub_epi8(calm, _mm_cmpeq_epi8(_mm_subs_epu8(m, t), zero));
      cur = below;
    }
    const int32_t lane15 = _mm_extract_epi16(calm, 7) >> 8;
    count = kEdgePositions - (int32_t(hsum64(byte_sum(calm))) - lane15);
  }
  *flag = count > countThreshold;
  return KVN_STS_OK;
}

// The same in 16-bit lanes, a row as samples 0-7 (lo) and 8-15 (hi).
KvnResult edges16x16_16u(const uint16_t* src, int32_t step, int32_t diffThreshold, int32_t countThreshold,
                         uint32_t* flag) {
  int32_t count;
  if (!edges_trivial<65535>(diffThreshold, count)) {
    const uint8_t* row = reinterpret_cast<const uint8_t*>(src);
    const __m128i t = _mm_set1_epi16(short(diffThreshold)), zero = _mm_setzero_si128();
    __m128i lo = load<16>(row), hi = load<16>(row + 16), calmLo = zero, calmHi = zero;
    for (int y = 0; y < 15; ++y) {
      row += step;
      const __m128i lo2 = load<16>(row), hi2 = load<16>(row + 16);
      const __m128i rightLo = _mm_or_si128(_mm_srli_si128(lo, 2), _mm_slli_si128(hi, 14));
      const __m128i rightHi = _mm_srli_si128(hi, 2);
      const __m128i eLo =
          _mm_or_si128(_mm_subs_epu16(abs_diff16(lo, rightLo), t), _mm_subs_epu16(abs_diff16(lo, lo2), t));
      const __m128i eHi =
          _mm_or_si128(_mm_subs_epu16(abs_diff16(hi, rightHi), t), _mm_subs_epu16(abs_diff16(hi, hi2), t));
      calmLo = _mm_sub_epi16(calmLo, _mm_cmpeq_epi16(eLo, zero));
      calmHi = _mm_sub_epi16(calmHi, _mm_cmpeq_epi16(eHi, zero));
      lo = lo2;
      hi = hi2;
    }
    const int32_t lane15 = _mm_extract_epi16(calmHi, 7);
    count = kEdgePositions - (int32_t(hsum64(byte_sum(_mm_add_epi16(calmLo, calmHi)))) - lane15);
  }
  *flag = count > countThreshold;
  return KVN_STS_OK;
}

template <int H>
struct VarMeanDiffGen {
  template <std::size_t I>
  static constexpr VarMeanDiffFn get() {
    return var_mean_diff<H, kModeCode[I]>;
  }
};

}  // namespace
}  // namespace KVN_ISA

constexpr void variance_init_sse2(VarianceKernels& k) {
  using namespace KVN_ISA;
  k.variance16x16 = variance16x16;
  k.var_mean8x8 = var_mean8x8;
  k.var_mean8x8_16s = var_mean8x8_16s;
  k.var_mean_diff[kVmd16x16] = make_table<VarMeanDiffGen<16>, 4>();
  k.var_mean_diff[kVmd16x8] = make_table<VarMeanDiffGen<8>, 4>();
  k.mean_abs_dev16x16 = mean_abs_dev16x16;
  k.mean_abs_dev8x8 = mean_abs_dev8x8;
  k.edges16x16 = edges16x16;
  k.edges16x16_16u = edges16x16_16u;
}

KVN_LEVEL_KERNELS(variance, VarianceKernels);

}  // namespace kvn
