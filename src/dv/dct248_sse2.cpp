// SSE2 DV transforms: each pass is 64 pmaddwd over pairs of products, the
// same wrapping 32-bit sums, rounding, arithmetic shift and saturating pack
// as the scalar passes (dct248.h).
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

}  // namespace
}  // namespace KVN_ISA

constexpr void dct248_init_sse2(Dct248Kernels& k) {
  k.inv = KVN_ISA::inv;
  k.fwd = KVN_ISA::fwd;
}

KVN_LEVEL_KERNELS(dct248, Dct248Kernels);

}  // namespace kvn
