// SSE2 kernels of the Hadamard costs: 8-bit samples in 16-bit lanes, one row
// of up to 8 samples a register (satd_simd.h); the 16-bit samples of SAT8x8D
// in 32-bit lanes (their differences have 17 bits), four columns a register,
// with the same butterflies and interleaves.
#include <emmintrin.h>

#include <cstddef>

#include "satd.h"
#include "satd_simd.h"
#include "simd/loads.h"
#include "simd/reduce.h"

namespace kvn {
namespace KVN_ISA {
namespace {

using namespace satd;
using std::ptrdiff_t;

// max(|a|, |b|) = max(max(a, b), -min(a, b)).
struct AbsMax {
  static __m128i abs_max(__m128i a, __m128i b) {
    return _mm_max_epi16(_mm_max_epi16(a, b), _mm_sub_epi16(_mm_setzero_si128(), _mm_min_epi16(a, b)));
  }
};
using Xmm = SatdXmm<AbsMax>;

// 16 wide: strips of 16 x 4, as two of 8 x 4.
template <int H>
KvnResult satd16(const uint8_t* src, int32_t ss, const uint8_t* ref, int32_t rs, uint32_t* cost) {
  const __m128i zero = _mm_setzero_si128();
  __m128i sum = zero;
  for (int y = 0; y < H; y += 4) {
    __m128i lo[4], hi[4];
    for (int i = 0; i < 4; ++i, src += ss, ref += rs) {
      const __m128i a = load<16>(src), b = load<16>(ref);
      lo[i] = _mm_sub_epi16(_mm_unpacklo_epi8(a, zero), _mm_unpacklo_epi8(b, zero));
      hi[i] = _mm_sub_epi16(_mm_unpackhi_epi8(a, zero), _mm_unpackhi_epi8(b, zero));
    }
    sum = _mm_add_epi16(sum, Xmm::H::pairs4x4(lo[0], lo[1], lo[2], lo[3]));
    sum = _mm_add_epi16(sum, Xmm::H::pairs4x4(hi[0], hi[1], hi[2], hi[3]));
  }
  *cost = Xmm::doubled_sum(sum);
  return KVN_STS_OK;
}

// ---- 16-bit samples: 32-bit lanes ----------------------------------------------

inline void butterfly32(__m128i& a, __m128i& b) {
  const __m128i s = _mm_add_epi32(a, b);
  b = _mm_sub_epi32(a, b);
  a = s;
}

// The vertical 8-point transform of rows r[0..7].
inline void vertical8_32(__m128i* r) {
  for (int d = 1; d < 8; d *= 2)
    for (int i = 0; i < 8; ++i)
      if (!(i & d)) butterfly32(r[i], r[i + d]);
}

inline __m128i abs32(__m128i v) {
  const __m128i sign = _mm_srai_epi32(v, 31);
  return _mm_sub_epi32(_mm_xor_si128(v, sign), sign);
}

// Columns 0-3 (lo) and 4-7 (hi) of a row of differences.
inline void diff16u(const uint8_t* s, const uint8_t* r, __m128i& lo, __m128i& hi) {
  const __m128i a = load<16>(s), b = load<16>(r), zero = _mm_setzero_si128();
  lo = _mm_sub_epi32(_mm_unpacklo_epi16(a, zero), _mm_unpacklo_epi16(b, zero));
  hi = _mm_sub_epi32(_mm_unpackhi_epi16(a, zero), _mm_unpackhi_epi16(b, zero));
}

// Horizontal transform of the rows (lo, hi) after the vertical one: the first
// butterfly pairs columns j and j + 4 across lo and hi; a 4x4 transpose of each
// group of four rows then puts columns into registers for the two others.
inline __m128i horizontal8_32(__m128i* lo, __m128i* hi) {
  __m128i sum = _mm_setzero_si128();
  for (int i = 0; i < 8; ++i) butterfly32(lo[i], hi[i]);
  __m128i* const groups[4] = {lo, lo + 4, hi, hi + 4};
  for (__m128i* g : groups) {
    const __m128i a = _mm_unpacklo_epi32(g[0], g[1]), b = _mm_unpackhi_epi32(g[0], g[1]);
    const __m128i c = _mm_unpacklo_epi32(g[2], g[3]), d = _mm_unpackhi_epi32(g[2], g[3]);
    __m128i c0 = _mm_unpacklo_epi64(a, c), c1 = _mm_unpackhi_epi64(a, c);
    __m128i c2 = _mm_unpacklo_epi64(b, d), c3 = _mm_unpackhi_epi64(b, d);
    butterfly32(c0, c2);
    butterfly32(c1, c3);
    butterfly32(c0, c1);
    butterfly32(c2, c3);
    sum = _mm_add_epi32(sum, _mm_add_epi32(_mm_add_epi32(abs32(c0), abs32(c1)), _mm_add_epi32(abs32(c2), abs32(c3))));
  }
  return sum;
}

KvnResult sat8x8d_16u(const uint16_t* src, int32_t ss, const uint16_t* ref, int32_t rs, uint32_t* cost) {
  const uint8_t* s = reinterpret_cast<const uint8_t*>(src);
  const uint8_t* r = reinterpret_cast<const uint8_t*>(ref);
  __m128i lo[8], hi[8];
  for (int y = 0; y < 8; ++y, s += ss, r += rs) diff16u(s, r, lo[y], hi[y]);
  vertical8_32(lo);
  vertical8_32(hi);
  *cost = hsum32(horizontal8_32(lo, hi));
  return KVN_STS_OK;
}

}  // namespace
}  // namespace KVN_ISA

constexpr void satd_init_sse2(SatdKernels& k) {
  using namespace KVN_ISA;
  put_narrow<Xmm>(k);
  k.satd[kSatd16x8] = satd16<8>;
  k.satd[kSatd16x16] = satd16<16>;
  k.sat8x8d_16u = sat8x8d_16u;
}

KVN_LEVEL_KERNELS(satd, SatdKernels);

}  // namespace kvn
