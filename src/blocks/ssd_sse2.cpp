// SSE2 kernels of the squared-error costs.
//
// Predictions are formed in bytes, exactly (hpel_simd.h); |s - p| is formed in
// bytes as well (two saturating subtractions, one of them 0), widened to
// 16-bit lanes and squared and summed in pairs by pmaddwd into 32-bit lanes.
#include <emmintrin.h>

#include <cstddef>

#include "hpel_simd.h"
#include "simd/loads.h"
#include "simd/reduce.h"
#include "ssd.h"

namespace kvn {
namespace KVN_ISA {
namespace {

using namespace hpel;

inline __m128i abs_diff(__m128i a, __m128i b) { return _mm_or_si128(_mm_subs_epu8(a, b), _mm_subs_epu8(b, a)); }

// Sum of the squares of the low 8 bytes (Low) or of all 16 bytes.
template <bool Low>
inline __m128i squares(__m128i ad) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i lo = _mm_unpacklo_epi8(ad, zero);
  if constexpr (Low) return _mm_madd_epi16(lo, lo);
  const __m128i hi = _mm_unpackhi_epi8(ad, zero);
  return _mm_add_epi32(_mm_madd_epi16(lo, lo), _mm_madd_epi16(hi, hi));
}

// 4x4: the prediction of each row from the 4 bytes of it and of the row below
// (and the 4 bytes one further on, for the horizontal codes).
template <int Code>
KvnResult ssd4x4(const uint8_t* src, int32_t ss, const uint8_t* ref, int32_t rs, uint32_t* out) {
  using B = Bytes<4>;
  constexpr int kRows = Code >= 2 ? 5 : 4;
  __m128i r[kRows], right[kRows], s[4], p[4];
  for (int y = 0; y < kRows; ++y, ref += rs) {
    r[y] = B::row(ref);
    if constexpr (Code & 1) right[y] = B::row(ref + 1);
  }
  for (int y = 0; y < 4; ++y, src += ss) {
    s[y] = load<4>(src);
    if constexpr (Code == 0) p[y] = r[y];
    if constexpr (Code == 1) p[y] = B::avg2<0>(r[y], right[y]);
    if constexpr (Code == 2) p[y] = B::avg2<0>(r[y], r[y + 1]);
    if constexpr (Code == 3)
      p[y] = B::Quad<0>::average(B::Quad<0>::row(r[y], right[y]), B::Quad<0>::row(r[y + 1], right[y + 1]));
  }
  const __m128i s4 = _mm_unpacklo_epi64(_mm_unpacklo_epi32(s[0], s[1]), _mm_unpacklo_epi32(s[2], s[3]));
  const __m128i p4 = _mm_unpacklo_epi64(_mm_unpacklo_epi32(p[0], p[1]), _mm_unpacklo_epi32(p[2], p[3]));
  *out = hsum32(squares<false>(abs_diff(s4, p4)));
  return KVN_STS_OK;
}

// W x W rows of a prediction, two rows a step.
template <int W, class Pred>
KvnResult ssd_rows(const uint8_t* src, int32_t ss, Pred pred, uint32_t* out) {
  __m128i sum = _mm_setzero_si128();
#pragma GCC unroll 2  // unrolled in full, the additions get regrouped and the registers spill
  for (int y = 0; y < W; y += 2, src += 2 * ptrdiff_t(ss)) {
    const __m128i a = squares<W == 8>(abs_diff(load<W>(src), pred.next()));
    const __m128i b = squares<W == 8>(abs_diff(load<W>(src + ss), pred.next()));
    sum = _mm_add_epi32(sum, _mm_add_epi32(a, b));
  }
  *out = hsum32(sum);
  return KVN_STS_OK;
}

template <int W, int Code>
KvnResult ssd(const uint8_t* src, int32_t ss, const uint8_t* ref, int32_t rs, uint32_t* out) {
  if constexpr (W == 4)
    return ssd4x4<Code>(src, ss, ref, rs, out);
  else
    return ssd_rows<W>(src, ss, Predictor<Bytes<W>, Code, 0, 1>(ref, rs), out);
}

template <int Code1, int Code2>
KvnResult ssd_b16x16(const uint8_t* src, int32_t ss, const uint8_t* r1, int32_t s1, const uint8_t* r2, int32_t s2,
                     uint32_t* out) {
  return ssd_rows<16>(src, ss, BiPredictor<Bytes<16>, Code1, Code2, 0, 1>(r1, s1, r2, s2), out);
}

struct Kernels {
  template <int N, int Code>
  static constexpr SsdFn one = ssd<N, Code>;
  template <int Code1, int Code2>
  static constexpr SsdBFn two = ssd_b16x16<Code1, Code2>;
};

}  // namespace
}  // namespace KVN_ISA

constexpr void ssd_init_sse2(SsdKernels& k) {
  using namespace KVN_ISA;
  k.ssd[kSsd4x4] = make_table<SsdSlots<Kernels, 4>, 4>();
  k.ssd[kSsd8x8] = make_table<SsdSlots<Kernels, 8>, 4>();
  k.ssd[kSsd16x16] = make_table<SsdSlots<Kernels, 16>, 4>();
  k.ssd_b16x16 = make_table<SsdBSlots<Kernels>, 16>();
}

KVN_LEVEL_KERNELS(ssd, SsdKernels);

}  // namespace kvn
