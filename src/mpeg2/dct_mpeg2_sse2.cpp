// SSE2 kernels of the MPEG-1/2 DCT family: whole blocks in eight registers of
// 16-bit lanes, the passes of dct_mpeg2_simd.h with one 8x8 transpose between
// them (two more for the natural-order transforms, whose first pass runs over
// the rows).
#include <emmintrin.h>

#include <cstddef>

#include "mpeg2/dct_mpeg2.h"
#include "mpeg2/dct_mpeg2_simd.h"
#include "simd/loads.h"
#include "simd/transpose.h"

namespace kvn {
namespace KVN_ISA {
namespace {

using namespace dct_mpeg2;
using namespace dct_mpeg2_simd;
using L = Lanes128;
using V = __m128i;

inline V clamp16s(V v) { return _mm_max_epi16(_mm_min_epi16(v, _mm_set1_epi16(255)), _mm_set1_epi16(-256)); }

// Rows of samples of a path before clamping.
template <int Path>
inline void aan_rows(const int16_t* coef, V* o) {
  if constexpr (Path == kAanFull || Path == kAanCorner) {
    constexpr int K = Path == kAanFull ? 8 : 4;
    V x[8], t[8];
    for (int i = 0; i < K; ++i) x[i] = Path == kAanFull ? load<16>(coef + 8 * i) : load<8>(coef + 8 * i);
    inverse_pass<L, kAanPass1, K, Path == kAanCorner>(x, t);
    transpose8x8_16<L>(t);
    inverse_pass<L, kAanPass2, K>(t, o);
  } else {
    const V v = _mm_set1_epi16(Path == kAanDc ? int16_t(coef[0] / 8) : int16_t(0));
    for (int r = 0; r < 8; ++r) o[r] = v;
  }
}

inline void natural_rows(const int16_t* coef, V* o) {
  V x[8], g[8];
  for (int v = 0; v < 8; ++v) x[v] = load<16>(coef + 8 * v);
  transpose8x8_16<L>(x);
  inverse_pass<L, kNaturalPass1, 8>(x, g);
  transpose8x8_16<L>(g);
  inverse_pass<L, kNaturalPass2, 8>(g, o);
}

template <bool Set>
inline void or_set_rows(const int16_t* coef, V* o) {
  if constexpr (Set) {
    const V v = _mm_set1_epi16(int16_t(coef[0] >> 3));
    for (int r = 0; r < 8; ++r) o[r] = v;
  } else {
    natural_rows(coef, o);
  }
}

inline uint8_t* row8(uint8_t* dst, int32_t step, int r) { return dst + std::ptrdiff_t(r) * step; }
inline int16_t* row16(int16_t* dst, int32_t step, int r) {
  return reinterpret_cast<int16_t*>(reinterpret_cast<uint8_t*>(dst) + std::ptrdiff_t(r) * step);
}

inline void store_c2_8u(uint8_t* dst, int32_t step, const V* a, const V* b) {
  for (int r = 0; r < 8; ++r)
    store<16>(row8(dst, step, r), _mm_unpacklo_epi8(_mm_packus_epi16(a[r], a[r]), _mm_packus_epi16(b[r], b[r])));
}

template <int Path>
void inv8u(const int16_t* coef, uint8_t* dst, int32_t step) {
  V o[8];
  aan_rows<Path>(coef, o);
  for (int r = 0; r < 8; ++r) store<8>(row8(dst, step, r), _mm_packus_epi16(o[r], o[r]));
}

template <int Path>
void inv16s(const int16_t* coef, int16_t* dst, int32_t step) {
  V o[8];
  aan_rows<Path>(coef, o);
  for (int r = 0; r < 8; ++r) store<16>(row16(dst, step, r), clamp16s(o[r]));
}

template <int Path0, int Path1>
void inv8u_p2(const int16_t* coef0, const int16_t* coef1, uint8_t* dst, int32_t step) {
  V a[8], b[8];
  aan_rows<Path0>(coef0, a);
  aan_rows<Path1>(coef1, b);
  store_c2_8u(dst, step, a, b);
}

template <int Path0, int Path1>
void inv16s_p2(const int16_t* coef0, const int16_t* coef1, int16_t* dst, int32_t step) {
  V a[8], b[8];
  aan_rows<Path0>(coef0, a);
  aan_rows<Path1>(coef1, b);
  for (int r = 0; r < 8; ++r) {
    const V ca = clamp16s(a[r]), cb = clamp16s(b[r]);
    int16_t* d = row16(dst, step, r);
    store<16>(d, _mm_unpacklo_epi16(ca, cb));
    store<16>(d + 8, _mm_unpackhi_epi16(ca, cb));
  }
}

template <int Flags>
void or_set(const int16_t* coef0, const int16_t* coef1, uint8_t* dst, int32_t step) {
  V a[8], b[8];
  or_set_rows<(Flags & 2) != 0>(coef0, a);
  or_set_rows<(Flags & 1) != 0>(coef1, b);
  store_c2_8u(dst, step, a, b);
}

void natural(const int16_t* coef, int16_t* dst) {
  V o[8];
  natural_rows(coef, o);
  for (int r = 0; r < 8; ++r) store<16>(dst + 8 * r, clamp16s(o[r]));
}

// Columns first (rows of samples in, lanes x), then rows; two transposes
// bring the coefficients back to rows.
inline void fwd_block(V* p, int16_t* out) {
  V g[8], f[8];
  forward_pass<L, kFwdPass1>(p, g);
  transpose8x8_16<L>(g);
  forward_pass<L, kFwdPass2>(g, f);
  transpose8x8_16<L>(f);
  for (int v = 0; v < 8; ++v) store<16>(out + 8 * v, f[v]);
}

void fwd_c2p2(const uint8_t* src, int32_t step, int16_t* dst0, int16_t* dst1) {
  const V low = _mm_set1_epi16(0x00ff);
  V a[8], b[8];
  for (int r = 0; r < 8; ++r) {
    const V row = load<16>(src + std::ptrdiff_t(r) * step);
    a[r] = _mm_and_si128(row, low);
    b[r] = _mm_srli_epi16(row, 8);
  }
  fwd_block(a, dst0);
  fwd_block(b, dst1);
}

template <int I>
constexpr void fill_p2(DctMpeg2Kernels& k) {
  if constexpr (I < kAanPaths16s * kAanPaths16s) {
    k.inv16s_p2[I] = inv16s_p2<I / kAanPaths16s, I % kAanPaths16s>;
    if constexpr (I < kAanPaths8u * kAanPaths8u) k.inv8u_p2[I] = inv8u_p2<I / kAanPaths8u, I % kAanPaths8u>;
    fill_p2<I + 1>(k);
  }
}

}  // namespace
}  // namespace KVN_ISA

constexpr void dct_mpeg2_init_sse2(DctMpeg2Kernels& k) {
  using namespace KVN_ISA;
  k.inv8u = {inv8u<kAanFull>, inv8u<kAanCorner>, inv8u<kAanDc>};
  k.inv16s = {inv16s<kAanFull>, inv16s<kAanCorner>, inv16s<kAanDc>, inv16s<kAanZero>};
  fill_p2<0>(k);
  k.or_set = {or_set<0>, or_set<1>, or_set<2>, or_set<3>};
  k.natural = natural;
  k.fwd_c2p2 = fwd_c2p2;
}

KVN_LEVEL_KERNELS(dct_mpeg2, DctMpeg2Kernels);

}  // namespace kvn
