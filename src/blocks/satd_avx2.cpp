// AVX2 kernels of the Hadamard costs: the butterflies of satd_simd.h with
// each 128-bit lane doing the work of one SSE2 register, so that a register
// holds a row of 16 or two rows of 8 ([row k | row k + 4]); the narrow sizes
// on 128-bit registers, with VEX encoding and pabsw. The 16-bit samples of SAT8x8D take 32-bit
// lanes, one row a register.
#include <immintrin.h>

#include <cstddef>

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

// The operations of Hadamard (satd_simd.h) on 256-bit registers.
struct Ymm16 : Lanes256 {
  static V abs_max(V a, V b) { return _mm256_max_epi16(_mm256_abs_epi16(a), _mm256_abs_epi16(b)); }
};
using H = Hadamard<Ymm16>;

// The 128-bit kernels of the narrow sizes, with pabsw.
struct AbsMax {
  static __m128i abs_max(__m128i a, __m128i b) { return _mm_max_epi16(_mm_abs_epi16(a), _mm_abs_epi16(b)); }
};
using Xmm = SatdXmm<AbsMax>;

// Twice the sum of the 16-bit lanes (each at most 32767), as SatdXmm.
inline uint32_t doubled_sum(__m256i v) {
  const __m256i m = _mm256_madd_epi16(v, _mm256_cmpeq_epi16(v, v));
  return Xmm::doubled_from_negated(_mm_add_epi32(_mm256_castsi256_si128(m), _mm256_extracti128_si256(m, 1)));
}

// Differences of a row of 16, and of two rows of 8 as [a | b].
inline __m256i diff16(const uint8_t* s, const uint8_t* r) { return _mm256_sub_epi16(load_widen(s), load_widen(r)); }
inline __m256i diff8x2(const uint8_t* sa, const uint8_t* sb, const uint8_t* ra, const uint8_t* rb) {
  return _mm256_sub_epi16(_mm256_cvtepu8_epi16(load8x2(sa, sb)), _mm256_cvtepu8_epi16(load8x2(ra, rb)));
}

// Width 8: rows k and k + 4 of each group of 8 rows share a register.
template <int Height>
KvnResult satd8(const uint8_t* src, int32_t ss, const uint8_t* ref, int32_t rs, uint32_t* cost) {
  const ptrdiff_t s4 = 4 * ptrdiff_t(ss), r4 = 4 * ptrdiff_t(rs);
  __m256i sum = _mm256_setzero_si256();
  for (int y = 0; y < Height; y += 8, src += 2 * s4, ref += 2 * r4) {
    __m256i r[4];
    for (int k = 0; k < 4; ++k) {
      const uint8_t* s = src + k * ptrdiff_t(ss);
      const uint8_t* f = ref + k * ptrdiff_t(rs);
      r[k] = diff8x2(s, s + s4, f, f + r4);
    }
    sum = _mm256_add_epi16(sum, H::pairs4x4(r[0], r[1], r[2], r[3]));
  }
  *cost = doubled_sum(sum);
  return KVN_STS_OK;
}

// Width 16: one row a register, strips of 16 x 4.
template <int Height>
KvnResult satd16(const uint8_t* src, int32_t ss, const uint8_t* ref, int32_t rs, uint32_t* cost) {
  __m256i sum = _mm256_setzero_si256();
  for (int y = 0; y < Height; y += 4) {
    __m256i r[4];
    for (int k = 0; k < 4; ++k, src += ss, ref += rs) r[k] = diff16(src, ref);
    sum = _mm256_add_epi16(sum, H::pairs4x4(r[0], r[1], r[2], r[3]));
  }
  *cost = doubled_sum(sum);
  return KVN_STS_OK;
}

KvnResult sat8x8d(const uint8_t* src, int32_t ss, const uint8_t* ref, int32_t rs, uint32_t* cost) {
  const ptrdiff_t s4 = 4 * ptrdiff_t(ss), r4 = 4 * ptrdiff_t(rs);
  __m256i r[4];
  for (int k = 0; k < 4; ++k, src += ss, ref += rs) r[k] = diff8x2(src, src + s4, ref, ref + r4);
  H::butterfly(r[0], r[1]);  // rows k and k + 1
  H::butterfly(r[2], r[3]);
  H::butterfly(r[0], r[2]);  // k and k + 2
  H::butterfly(r[1], r[3]);
  // k and k + 4, across the lanes: [0 | 1] with [4 | 5], [2 | 3] with [6 | 7].
  __m256i a = _mm256_permute2x128_si256(r[0], r[1], 0x20), b = _mm256_permute2x128_si256(r[0], r[1], 0x31);
  __m256i c = _mm256_permute2x128_si256(r[2], r[3], 0x20), d = _mm256_permute2x128_si256(r[2], r[3], 0x31);
  H::butterfly(a, b);
  H::butterfly(c, d);
  *cost = doubled_sum(_mm256_add_epi16(H::horizontal8(a, b), H::horizontal8(c, d)));
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
  k.satd[kSatd4x4] = Xmm::satd4x4;
  k.satd[kSatd4x8] = Xmm::satd4x8;
  k.satd[kSatd8x4] = Xmm::satd8<4>;
  k.satd[kSatd8x8] = satd8<8>;
  k.satd[kSatd8x16] = satd8<16>;
  k.satd[kSatd16x8] = satd16<8>;
  k.satd[kSatd16x16] = satd16<16>;
  k.sat8x8d = sat8x8d;
  k.sat8x8d_16u = sat8x8d_16u;
}

KVN_LEVEL_KERNELS(satd, SatdKernels);

}  // namespace kvn
