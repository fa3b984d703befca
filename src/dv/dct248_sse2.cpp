// SSE2 DV transforms: each pass is 64 pmaddwd over pairs of products, the
// same wrapping 32-bit sums, rounding, arithmetic shift and saturating pack
// as the scalar passes (dct248.h). The DV100 weighting forms its 64-bit
// products from 16-bit halves (see dv100_weight).
#include <emmintrin.h>

#include "dv/dct248.h"

namespace kvn {
namespace KVN_ISA {
namespace {

// Constants of a row pass (out[r][c] = sum_k in[r][k] K[c][k]): for each pair
// of k (2p, 2p + 1) and each half of c, the vector (K[c][2p], K[c][2p + 1]) over
// four c. Of a column pass (out[r][c] = sum_k K[r][k] in[k][c]): for each r and
// pair p, (K[r][2p], K[r][2p + 1]) repeated four times.
struct alignas(16) PassConstants {
  int16_t v[8][4][8];  // row pass: v[2p + half][0]; column pass: v[r][p]
};

constexpr PassConstants row_constants(const int16_t (*k)[8], bool transpose) {
  PassConstants pc{};
  for (int p = 0; p < 4; ++p)
    for (int half = 0; half < 2; ++half)
      for (int j = 0; j < 4; ++j)
        for (int e = 0; e < 2; ++e) {
          const int c = 4 * half + j, i = 2 * p + e;
          pc.v[2 * p + half][0][2 * j + e] = transpose ? k[i][c] : k[c][i];
        }
  return pc;
}

constexpr PassConstants col_constants(const int16_t (*k)[8], bool transpose) {
  PassConstants pc{};
  for (int r = 0; r < 8; ++r)
    for (int p = 0; p < 4; ++p)
      for (int j = 0; j < 4; ++j)
        for (int e = 0; e < 2; ++e) {
          const int i = 2 * p + e;
          pc.v[r][p][2 * j + e] = transpose ? k[i][r] : k[r][i];
        }
  return pc;
}

constexpr PassConstants kInvRow = row_constants(dct248::kRow, false);
constexpr PassConstants kInvCol = col_constants(dct248::kCol, false);
constexpr PassConstants kFwdCol = col_constants(dct248::kCol, true);
constexpr PassConstants kFwdRow = row_constants(dct248::kRow, true);

inline __m128i cvec(const PassConstants& pc, int a, int b) {
  return _mm_load_si128(reinterpret_cast<const __m128i*>(pc.v[a][b]));
}

template <int Shift>
inline __m128i finish(__m128i lo, __m128i hi) {
  const __m128i round = _mm_set1_epi32(1 << (Shift - 1));
  lo = _mm_srai_epi32(_mm_add_epi32(lo, round), Shift);
  hi = _mm_srai_epi32(_mm_add_epi32(hi, round), Shift);
  return _mm_packs_epi32(lo, hi);
}

template <int Shift>
void row_pass(const __m128i* in, __m128i* out, const PassConstants& pc) {
  for (int r = 0; r < 8; ++r) {
    __m128i lo = _mm_setzero_si128(), hi = _mm_setzero_si128();
    const __m128i x = in[r];
    const __m128i pairs[4] = {_mm_shuffle_epi32(x, 0x00), _mm_shuffle_epi32(x, 0x55), _mm_shuffle_epi32(x, 0xaa),
                              _mm_shuffle_epi32(x, 0xff)};
    for (int p = 0; p < 4; ++p) {
      // cvec(pc, 2p + half, 0) is the whole 8-value vector of that half.
      lo = _mm_add_epi32(lo, _mm_madd_epi16(pairs[p], cvec(pc, 2 * p, 0)));
      hi = _mm_add_epi32(hi, _mm_madd_epi16(pairs[p], cvec(pc, 2 * p + 1, 0)));
    }
    out[r] = finish<Shift>(lo, hi);
  }
}

template <int Shift>
void col_pass(const __m128i* in, __m128i* out, const PassConstants& pc) {
  __m128i il[4][2];
  for (int p = 0; p < 4; ++p) {
    il[p][0] = _mm_unpacklo_epi16(in[2 * p], in[2 * p + 1]);
    il[p][1] = _mm_unpackhi_epi16(in[2 * p], in[2 * p + 1]);
  }
  for (int r = 0; r < 8; ++r) {
    __m128i lo = _mm_setzero_si128(), hi = _mm_setzero_si128();
    for (int p = 0; p < 4; ++p) {
      const __m128i k = cvec(pc, r, p);
      lo = _mm_add_epi32(lo, _mm_madd_epi16(il[p][0], k));
      hi = _mm_add_epi32(hi, _mm_madd_epi16(il[p][1], k));
    }
    out[r] = finish<Shift>(lo, hi);
  }
}

void load_block(const int16_t* block, __m128i* rows) {
  for (int r = 0; r < 8; ++r) rows[r] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block + 8 * r));
}
void store_block(const __m128i* rows, int16_t* block) {
  for (int r = 0; r < 8; ++r) _mm_storeu_si128(reinterpret_cast<__m128i*>(block + 8 * r), rows[r]);
}

void inv(int16_t* block) {
  __m128i a[8], t[8];
  load_block(block, a);
  row_pass<dct248::kShift1>(a, t, kInvRow);
  col_pass<dct248::kShift2>(t, a, kInvCol);
  store_block(a, block);
}

void fwd(int16_t* block) {
  __m128i a[8], t[8];
  load_block(block, a);
  col_pass<dct248::kShift1>(a, t, kFwdCol);
  row_pass<dct248::kShift2>(t, a, kFwdRow);
  store_block(a, block);
}

// The signed 32-bit products of eight signed a and unsigned b (16 bits each),
// as (high, low) halves: pmulhw reads b as signed, b - 2^16 when b >= 2^15,
// which takes a off the high half.
inline void mul_su16(__m128i a, __m128i b, __m128i& hi, __m128i& lo) {
  lo = _mm_mullo_epi16(a, b);
  hi = _mm_add_epi16(_mm_mulhi_epi16(a, b), _mm_and_si128(a, _mm_srai_epi16(b, 15)));
}

// ((v >> 3) D W + 32768) >> 16 with s = (v >> 3) D split as sh 2^16 + sl (sh
// signed, |sh| < 2^12; sl unsigned): the result is sh W + ((sl W + 32768) >>
// 16) exactly, both terms within 32 bits.
void dv100_weight(int16_t* block, const uint16_t* deq, const int16_t* weight) {
  const __m128i round = _mm_set1_epi32(32768);
  for (int i = 0; i < 64; i += 8) {
    const __m128i v = _mm_srai_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(block + i)), 3);
    const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(deq + i));
    const __m128i w = _mm_loadu_si128(reinterpret_cast<const __m128i*>(weight + i));
    __m128i sh, sl, ph, pl;
    mul_su16(v, d, sh, sl);
    mul_su16(w, sl, ph, pl);                                                   // sl W
    const __m128i hiW = _mm_mulhi_epi16(sh, w), loW = _mm_mullo_epi16(sh, w);  // sh W
    const __m128i r0 = _mm_add_epi32(_mm_unpacklo_epi16(loW, hiW),
                                     _mm_srai_epi32(_mm_add_epi32(_mm_unpacklo_epi16(pl, ph), round), 16));
    const __m128i r1 = _mm_add_epi32(_mm_unpackhi_epi16(loW, hiW),
                                     _mm_srai_epi32(_mm_add_epi32(_mm_unpackhi_epi16(pl, ph), round), 16));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(block + i), _mm_packs_epi32(r0, r1));
  }
}

}  // namespace
}  // namespace KVN_ISA

constexpr void dct248_init_sse2(Dct248Kernels& k) {
  k.inv = KVN_ISA::inv;
  k.fwd = KVN_ISA::fwd;
  k.dv100_weight = KVN_ISA::dv100_weight;
}

KVN_LEVEL_KERNELS(dct248, Dct248Kernels);

}  // namespace kvn
