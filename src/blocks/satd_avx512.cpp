// AVX-512 kernel of the 16x16 Hadamard cost: the butterflies of satd_simd.h
// with each 128-bit lane doing the work of one SSE2 register, four a
// register. A register holds rows k and k + 4 ([row k | row k + 4], a row of
// 16 in two lanes), so one pass of four registers covers 8 rows. The other
// sizes keep their AVX2 kernels: in 512-bit registers they measured no faster
// (16x8, 8x16 with four rows of 8 a register, and SAT8x8D with the block in
// two registers), the shuffles and widening costing what the width saves.
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

// The operations of Hadamard (satd_simd.h) on 512-bit registers.
struct Zmm16 : Lanes512 {
  static V abs_max(V a, V b) { return _mm512_max_epi16(_mm512_abs_epi16(a), _mm512_abs_epi16(b)); }
};
using H = Hadamard<Zmm16>;

// Twice the sum of the 16-bit lanes (each at most 32767): pairs summed and
// negated by pmaddwd with -1, then the 32-bit lanes.
inline uint32_t doubled_sum(__m512i v) { return 0u - 2u * hsum32(_mm512_madd_epi16(v, _mm512_set1_epi16(-1))); }

// Differences of 16 bytes at each of sa and sb (ra, rb) as [a | b], a row a
// 256-bit half.
inline __m512i diff16x2(const uint8_t* sa, const uint8_t* sb, const uint8_t* ra, const uint8_t* rb) {
  return _mm512_sub_epi16(_mm512_cvtepu8_epi16(load16x2(sa, sb)), _mm512_cvtepu8_epi16(load16x2(ra, rb)));
}

// Width 16: rows k and k + 4 of each group of 8 rows share a register.
template <int Height>
KvnResult satd16(const uint8_t* src, int32_t ss, const uint8_t* ref, int32_t rs, uint32_t* cost) {
  const ptrdiff_t s = ss, r = rs;
  __m512i sum = _mm512_setzero_si512();
  for (int y = 0; y < Height; y += 8, src += 8 * s, ref += 8 * r) {
    __m512i d[4];
    for (int k = 0; k < 4; ++k) d[k] = diff16x2(src + k * s, src + (k + 4) * s, ref + k * r, ref + (k + 4) * r);
    sum = _mm512_add_epi16(sum, H::pairs4x4(d[0], d[1], d[2], d[3]));
  }
  *cost = doubled_sum(sum);
  return KVN_STS_OK;
}

}  // namespace
}  // namespace KVN_ISA

constexpr void satd_init_avx512(SatdKernels& k) {
  using namespace KVN_ISA;
  k.satd[kSatd16x16] = satd16<16>;
}

KVN_LEVEL_KERNELS(satd, SatdKernels);

}  // namespace kvn
