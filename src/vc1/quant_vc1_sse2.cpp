// SSE2 kernels of the VC-1 quantisers, a row of eight (or four) coefficients
// a step. The forward quantisers divide in single precision: for |c| <= 32768
// and 2 <= Q <= 62 the correctly rounded quotient never reaches the next
// integer (it stays 1/Q away from it, more than half a unit in the last
// place), so truncating it gives the integer quotient exactly.
#include <emmintrin.h>

#include "simd/loads.h"
#include "vc1/quant_vc1.h"

namespace kvn {
namespace KVN_ISA {
namespace {

using V = __m128i;

inline const char* at(const int16_t* p, int32_t step, int y) {
  return reinterpret_cast<const char*>(p) + int64_t(y) * step;
}
inline char* at(int16_t* p, int32_t step, int y) { return reinterpret_cast<char*>(p) + int64_t(y) * step; }

// sign(c) * h in every lane.
inline V signed_half(V c, V h) {
  const V zero = _mm_setzero_si128();
  return _mm_sub_epi16(_mm_and_si128(_mm_cmpgt_epi16(c, zero), h), _mm_and_si128(_mm_cmplt_epi16(c, zero), h));
}

template <int Mode>
inline V quant(V c, V half, __m128 q) {
  if (Mode == kVc1Nonuniform) c = _mm_sub_epi16(c, signed_half(c, half));
  const V lo = _mm_srai_epi32(_mm_unpacklo_epi16(c, c), 16), hi = _mm_srai_epi32(_mm_unpackhi_epi16(c, c), 16);
  return _mm_packs_epi32(_mm_cvttps_epi32(_mm_div_ps(_mm_cvtepi32_ps(lo), q)),
                         _mm_cvttps_epi32(_mm_div_ps(_mm_cvtepi32_ps(hi), q)));
}

template <int Mode>
void quant_inter(int16_t* block, int32_t step, int32_t q, int32_t w, int32_t h) {
  const V half = _mm_set1_epi16(int16_t(q >> 1));
  const __m128 qf = _mm_set1_ps(float(q));
  for (int y = 0; y < h; ++y) {
    char* p = at(block, step, y);
    if (w == 8)
      store<16>(p, quant<Mode>(load<16>(p), half, qf));
    else
      store<8>(p, quant<Mode>(load<8>(p), half, qf));
  }
}

template <int Mode>
void quant_intra(int16_t* block, int32_t step, int32_t q) {
  const V half = _mm_set1_epi16(int16_t(q >> 1));
  const __m128 qf = _mm_set1_ps(float(q));
  for (int y = 0; y < 8; ++y) {
    char* p = at(block, step, y);
    const V c = load<16>(p);
    V l = quant<Mode>(c, half, qf);
    if (y == 0) l = _mm_insert_epi16(l, _mm_extract_epi16(c, 0), 0);
    store<16>(p, l);
  }
}

template <int Mode>
inline V dequant(V l, V q, V half) {
  const V v = _mm_mullo_epi16(l, q);
  return Mode == kVc1Nonuniform ? _mm_add_epi16(v, signed_half(l, half)) : v;
}

// The nonzero region from the OR of the rows' nonzero lanes and the last
// nonzero row.
inline KvnSize region(V columns, int32_t height) {
  const uint32_t m = uint32_t(_mm_movemask_epi8(columns));
  if (m == 0) return {0, 0};
  return {(31 - __builtin_clz(m)) / 2 + 1, height};
}

template <int Mode, bool Intra>
KvnSize inv(const int16_t* src, int32_t srcStep, int16_t* dst, int32_t dstStep, int32_t q, int32_t w, int32_t h) {
  const V qv = _mm_set1_epi16(int16_t(q)), half = _mm_set1_epi16(int16_t(q >> 1)), zero = _mm_setzero_si128();
  V columns = zero;
  int32_t height = 0;
  for (int y = 0; y < h; ++y) {
    const char* s = at(src, srcStep, y);
    char* d = at(dst, dstStep, y);
    const V l = w == 8 ? load<16>(s) : load<8>(s);
    V v = dequant<Mode>(l, qv, half);
    if (Intra && y == 0) v = _mm_insert_epi16(v, _mm_extract_epi16(l, 0), 0);
    if (w == 8)
      store<16>(d, v);
    else
      store<8>(d, v);
    const V nz = _mm_andnot_si128(_mm_cmpeq_epi16(v, zero), _mm_set1_epi16(-1));
    columns = _mm_or_si128(columns, nz);
    if (_mm_movemask_epi8(nz)) height = y + 1;
  }
  return region(columns, height);
}

template <int Mode>
KvnSize inv_inter(const int16_t* src, int32_t srcStep, int16_t* dst, int32_t dstStep, int32_t q, int32_t w, int32_t h) {
  return inv<Mode, false>(src, srcStep, dst, dstStep, q, w, h);
}

template <int Mode>
KvnSize inv_intra(const int16_t* src, int32_t srcStep, int16_t* dst, int32_t dstStep, int32_t q) {
  return inv<Mode, true>(src, srcStep, dst, dstStep, q, 8, 8);
}

}  // namespace
}  // namespace KVN_ISA

constexpr void quant_vc1_init_sse2(QuantVc1Kernels& k) {
  k.intra = {KVN_ISA::quant_intra<kVc1Uniform>, KVN_ISA::quant_intra<kVc1Nonuniform>};
  k.inter = {KVN_ISA::quant_inter<kVc1Uniform>, KVN_ISA::quant_inter<kVc1Nonuniform>};
  k.inv_intra = {KVN_ISA::inv_intra<kVc1Uniform>, KVN_ISA::inv_intra<kVc1Nonuniform>};
  k.inv_inter = {KVN_ISA::inv_inter<kVc1Uniform>, KVN_ISA::inv_inter<kVc1Nonuniform>};
}

KVN_LEVEL_KERNELS(quant_vc1, QuantVc1Kernels);

}  // namespace kvn
