// AVX2 kernels of the Hadamard costs: the pmaddubsw kernels of satd_simd.h,
// with each 128-bit lane doing the work of one SSSE3 register, so that a
// register holds a row of 16 (loaded into both lanes and taken against
// (+1, +1) in one and (+1, -1) in the other) or two rows of 8 ([row k | row
// k + 4]); the narrow sizes on 128-bit registers, with VEX encoding and
// their rows of 4 gathered by broadcast loads. The
// 16-bit samples of SAT8x8D take 32-bit lanes, one row a register.
#include <immintrin.h>

#include <cstddef>
#include <cstring>

#include "satd.h"
#include "satd_simd.h"
#include "simd/lanes.h"
#include "simd/loads.h"
#include "simd/reduce.h"

namespace kvn {
namespace KVN_ISA {
namespace {

using namespace satd;
using std::ptrdiff_t;

// 256-bit registers with the operations Pairs (satd_simd.h) needs.
struct YmmPairs : Lanes256 {
  static V abs16(V a) { return _mm256_abs_epi16(a); }
  static V max16(V a, V b) { return _mm256_max_epi16(a, b); }
  static V srli32(V a, int n) { return _mm256_srli_epi32(a, n); }
};
using P = Pairs<YmmPairs>;

// [a b a b] of the 4 bytes at a and b: both broadcast by the load unit and
// blended, no shuffle.
struct DupBroadcast {
  static __m128i dup4x2(const uint8_t* a, const uint8_t* b) {
    return _mm_blend_epi32(load_bcast4(a), load_bcast4(b), 0xa);
  }
};
using Xmm = PairsXmm<DupBroadcast>;

// Twice the sum of the low 16 bits of the 32-bit lanes.
inline uint32_t doubled_low_sum(__m256i v) {
  v = _mm256_and_si256(v, _mm256_set1_epi32(0xffff));
  return 2 * hsum32(_mm_add_epi32(_mm256_castsi256_si128(v), _mm256_extracti128_si256(v, 1)));
}

inline __m256i pair_diff(__m256i s, __m256i r, __m256i k) {
  return _mm256_sub_epi16(_mm256_maddubs_epi16(s, k), _mm256_maddubs_epi16(r, k));
}

// The 8 bytes at a in the low lane and those at b in the high one, each twice
// (two vpbroadcastq loads, blended).
inline __m256i dup8x2(const uint8_t* a, const uint8_t* b) {
  int64_t va, vb;
  std::memcpy(&va, a, 8);
  std::memcpy(&vb, b, 8);
  return _mm256_blend_epi32(_mm256_set1_epi64x(va), _mm256_set1_epi64x(vb), 0xf0);
}

// The 16 bytes at p in both lanes (vbroadcasti128, a load only).
inline __m256i dup16(const uint8_t* p) { return _mm256_broadcastsi128_si256(load<16>(p)); }

// Rows of 8: [x0 .. x7 | x0 .. x7] in each lane against (+1, +1) four times
// then (+1, -1) four times: [sums | differences] of the four pairs.
inline __m256i sum_diff8() {
  return _mm256_setr_epi8(1, 1, 1, 1, 1, 1, 1, 1, 1, -1, 1, -1, 1, -1, 1, -1, 1, 1, 1, 1, 1, 1, 1, 1, 1, -1, 1, -1, 1,
                          -1, 1, -1);
}

// Rows of 16 in both lanes: (+1, +1) in the low lane, (+1, -1) in the high
// one, so the row becomes [sums of its 8 pairs | their differences].
inline __m256i sum_diff16() { return _mm256_setr_m128i(_mm_set1_epi8(1), _mm_set1_epi16(-255)); }

// Width 8: rows k and k + 4 of each group of 8 rows share a register; each
// 16-bit lane takes at most 4 folds a group of 8 rows.
template <int Height>
KvnResult satd8(const uint8_t* src, int32_t ss, const uint8_t* ref, int32_t rs, uint32_t* cost) {
  const ptrdiff_t s4 = 4 * ptrdiff_t(ss), r4 = 4 * ptrdiff_t(rs);
  const __m256i k = sum_diff8();
  __m256i sum = _mm256_setzero_si256();
#pragma GCC unroll 1  // unrolled, the folds get regrouped and the registers spill
  for (int y = 0; y < Height; y += 8, src += 2 * s4, ref += 2 * r4) {
    __m256i x[4];
    for (int i = 0; i < 4; ++i) {
      const uint8_t* s = src + i * ptrdiff_t(ss);
      const uint8_t* f = ref + i * ptrdiff_t(rs);
      x[i] = pair_diff(dup8x2(s, s + s4), dup8x2(f, f + r4), k);
    }
    sum = _mm256_add_epi16(sum, P::rows4(x[0], x[1], x[2], x[3]));
  }
  *cost = doubled_low_sum(sum);
  return KVN_STS_OK;
}

// Width 16: one row a register, strips of 16 x 4; each 16-bit lane takes at
// most 16 folds of 8 * 255.
template <int Height>
KvnResult satd16(const uint8_t* src, int32_t ss, const uint8_t* ref, int32_t rs, uint32_t* cost) {
  const __m256i k = sum_diff16();
  __m256i sum = _mm256_setzero_si256();
#pragma GCC unroll 1  // unrolled, the folds get regrouped and the registers spill
  for (int y = 0; y < Height; y += 4) {
    __m256i x[4];
    for (int i = 0; i < 4; ++i, src += ss, ref += rs) x[i] = pair_diff(dup16(src), dup16(ref), k);
    sum = _mm256_add_epi16(sum, P::rows4(x[0], x[1], x[2], x[3]));
  }
  *cost = doubled_low_sum(sum);
  return KVN_STS_OK;
}

// 8x8 Hadamard: [row k | row k + 4] a register, each row as [a0 a1 a2 a3 |
// b0 b1 b2 b3] (satd_simd.h, PairsXmm::sat8x8d); the butterflies of rows k
// and k + 1, k and k + 2 on whole registers, those of k and k + 4 after
// swapping lanes, then for each two registers shufps pairs a0 a1 with a2 a3
// across them, and the fold does a0 with a1. Each 16-bit lane sums half the
// magnitudes of 8 coefficients, exact (see PairsXmm::sat8x8d).
KvnResult sat8x8d(const uint8_t* src, int32_t ss, const uint8_t* ref, int32_t rs, uint32_t* cost) {
  const ptrdiff_t s4 = 4 * ptrdiff_t(ss), r4 = 4 * ptrdiff_t(rs);
  const __m256i k = sum_diff8();
  __m256i x[4];
  for (int i = 0; i < 4; ++i, src += ss, ref += rs) x[i] = pair_diff(dup8x2(src, src + s4), dup8x2(ref, ref + r4), k);
  P::butterfly(x[0], x[1]);  // rows k and k + 1
  P::butterfly(x[2], x[3]);
  P::butterfly(x[0], x[2]);  // k and k + 2
  P::butterfly(x[1], x[3]);
  __m256i sum = _mm256_setzero_si256();
  for (int i = 0; i < 4; i += 2) {
    // k and k + 4, across the lanes: [0 | 1] with [4 | 5] ([2 | 3] with [6 | 7]).
    __m256i a = _mm256_permute2x128_si256(x[i], x[i + 1], 0x20), b = _mm256_permute2x128_si256(x[i], x[i + 1], 0x31);
    P::butterfly(a, b);
    const __m256 af = _mm256_castsi256_ps(a), bf = _mm256_castsi256_ps(b);
    __m256i p = _mm256_castps_si256(_mm256_shuffle_ps(af, bf, _MM_SHUFFLE(2, 0, 2, 0)));
    __m256i q = _mm256_castps_si256(_mm256_shuffle_ps(af, bf, _MM_SHUFFLE(3, 1, 3, 1)));
    P::butterfly(p, q);
    sum = _mm256_add_epi16(sum, _mm256_add_epi16(P::fold(p), P::fold(q)));
  }
  *cost = doubled_low_sum(sum);
  return KVN_STS_OK;
}

// ---- 16-bit samples: 32-bit lanes, one row a register ---------------------------

inline void butterfly32(__m256i& a, __m256i& b) {
  const __m256i s = _mm256_add_epi32(a, b);
  b = _mm256_sub_epi32(a, b);
  a = s;
}

// Horizontal transforms of rows p and q; the sum of |coefficients| of both, halved.
inline __m256i horizontal8_32(__m256i p, __m256i q) {
  __m256i a = _mm256_permute2x128_si256(p, q, 0x20), b = _mm256_permute2x128_si256(p, q, 0x31);
  butterfly32(a, b);  // columns j and j + 4
  __m256i c = _mm256_unpacklo_epi64(a, b), d = _mm256_unpackhi_epi64(a, b);
  butterfly32(c, d);  // j and j + 2
  const __m256 cf = _mm256_castsi256_ps(c), df = _mm256_castsi256_ps(d);
  const __m256i e = _mm256_castps_si256(_mm256_shuffle_ps(cf, df, _MM_SHUFFLE(2, 0, 2, 0)));
  const __m256i o = _mm256_castps_si256(_mm256_shuffle_ps(cf, df, _MM_SHUFFLE(3, 1, 3, 1)));
  return _mm256_max_epi32(_mm256_abs_epi32(e), _mm256_abs_epi32(o));  // j and j + 1, folded
}

KvnResult sat8x8d_16u(const uint16_t* src, int32_t ss, const uint16_t* ref, int32_t rs, uint32_t* cost) {
  const uint8_t* s = reinterpret_cast<const uint8_t*>(src);
  const uint8_t* f = reinterpret_cast<const uint8_t*>(ref);
  __m256i r[8];
  for (int y = 0; y < 8; ++y, s += ss, f += rs)
    r[y] = _mm256_sub_epi32(_mm256_cvtepu16_epi32(load<16>(s)), _mm256_cvtepu16_epi32(load<16>(f)));
  for (int d = 1; d < 8; d *= 2)
    for (int i = 0; i < 8; ++i)
      if (!(i & d)) butterfly32(r[i], r[i + d]);
  __m256i sum = horizontal8_32(r[0], r[1]);
  for (int i = 2; i < 8; i += 2) sum = _mm256_add_epi32(sum, horizontal8_32(r[i], r[i + 1]));
  *cost = 2 * hsum32(sum);
  return KVN_STS_OK;
}

}  // namespace
}  // namespace KVN_ISA

constexpr void satd_init_avx2(SatdKernels& k) {
  using namespace KVN_ISA;
  put_narrow<Xmm>(k);
  k.satd[kSatd8x8] = satd8<8>;
  k.satd[kSatd8x16] = satd8<16>;
  k.satd[kSatd16x8] = satd16<8>;
  k.satd[kSatd16x16] = satd16<16>;
  k.sat8x8d = sat8x8d;
  k.sat8x8d_16u = sat8x8d_16u;
}

KVN_LEVEL_KERNELS(satd, SatdKernels);

}  // namespace kvn
