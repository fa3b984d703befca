// AVX2 kernels of the 32-bit residual family: two horizontally adjacent 4x4
// blocks side by side in the two 128-bit lanes (row y of both blocks is one
// register, and their samples are 8 consecutive ones), a whole 8x8 block as
// eight registers of one row each.
#include <immintrin.h>

#include "h264/recon/residual_hbd_simd.h"
#include "simd/pack.h"

namespace kvn {
namespace KVN_ISA {
namespace {

using namespace r32;

// Rows of 8 int32 to columns.
inline void transpose8x8(__m256i* r) {
  __m256i t[8], u[8];
  for (int i = 0; i < 8; i += 2) {
    t[i] = _mm256_unpacklo_epi32(r[i], r[i + 1]);
    t[i + 1] = _mm256_unpackhi_epi32(r[i], r[i + 1]);
  }
  for (int i = 0; i < 8; i += 4) {
    u[i] = _mm256_unpacklo_epi64(t[i], t[i + 2]);
    u[i + 1] = _mm256_unpackhi_epi64(t[i], t[i + 2]);
    u[i + 2] = _mm256_unpacklo_epi64(t[i + 1], t[i + 3]);
    u[i + 3] = _mm256_unpackhi_epi64(t[i + 1], t[i + 3]);
  }
  for (int i = 0; i < 4; ++i) {
    r[i] = _mm256_permute2x128_si256(u[i], u[i + 4], 0x20);
    r[i + 4] = _mm256_permute2x128_si256(u[i], u[i + 4], 0x31);
  }
}

inline __m256i limit(__m256i r) { return _mm256_min_epi32(r, _mm256_set1_epi32(65536)); }
inline __m256i clamp(__m256i s, __m256i maxv) {
  return _mm256_min_epi32(_mm256_max_epi32(s, _mm256_setzero_si256()), maxv);
}

// 8 consecutive samples as int32 and back.
inline __m256i load_samples8(const uint16_t* p) { return _mm256_cvtepu16_epi32(load<16>(p)); }
inline __m256i load_samples8(const uint8_t* p) { return _mm256_cvtepu8_epi32(load<8>(p)); }
inline void store_samples8(uint16_t* p, __m256i v) { store<16>(p, pack_u16(v)); }
inline void store_samples8(uint8_t* p, __m256i v) {
  const __m128i w = pack_u16(v);
  store<8>(p, _mm_packus_epi16(w, w));
}

template <class S>
inline void add_clamp8(S* p, __m256i r, __m256i maxv) {
  store_samples8(p, clamp(_mm256_add_epi32(load_samples8(p), limit(r)), maxv));
}

// Row i of two blocks' coefficients (a missing block reads as zeros).
inline __m128i coef_row(const int32_t* c, int i) { return c ? load_coef4(c + 4 * i) : _mm_setzero_si128(); }
inline __m128i coef_row(const int16_t* c, int i) { return c ? load_coef4(c + 4 * i) : _mm_setzero_si128(); }

// Blocks i and i + 1 together: a block without coefficients has its DC
// alone, which the transform turns into (dc + 32) >> 6 everywhere.
template <class S, class C>
void pair4x4(S* b, std::ptrdiff_t step, const C* ca, const C* cb, const int32_t* dc, const DequantHbd4x4& q,
             __m256i maxv) {
  const __m256i add = _mm256_set1_epi32(q.add);
  const __m128i shift = _mm_cvtsi32_si128(q.shift);
  __m256i r[4];
  for (int i = 0; i < 4; ++i) {
    const __m256i c = _mm256_inserti128_si256(_mm256_castsi128_si256(coef_row(ca, i)), coef_row(cb, i), 1);
    const __m256i m = _mm256_broadcastsi128_si256(load<16>(q.mul + 4 * i));
    r[i] = _mm256_sra_epi32(_mm256_add_epi32(_mm256_mullo_epi32(c, m), add), shift);
  }
  if (dc) r[0] = _mm256_blend_epi32(r[0], _mm256_setr_epi32(dc[0], 0, 0, 0, dc[1], 0, 0, 0), 0x11);
  transpose4x4_32<Lanes256>(r[0], r[1], r[2], r[3]);
  inv4<Lanes256>(r);
  transpose4x4_32<Lanes256>(r[0], r[1], r[2], r[3]);
  r[0] = _mm256_add_epi32(r[0], _mm256_set1_epi32(32));
  inv4<Lanes256>(r);
  for (int y = 0; y < 4; ++y) add_clamp8(b + y * step, _mm256_srai_epi32(r[y], 6), maxv);
}

template <class S, class C>
void row4x4(S* dst, std::ptrdiff_t step, const C* const* coef, const int32_t* dc, int n, const DequantHbd4x4& q,
            int32_t max) {
  const DequantLanes dq(q.add, q.shift);
  const __m256i maxv = _mm256_set1_epi32(max);
  int i = 0;
  for (; i + 1 < n; i += 2) {
    S* b = dst + 4 * i;
    const int32_t* d = dc ? dc + i : nullptr;
    if (coef[i] && coef[i + 1]) {
      pair4x4(b, step, coef[i], coef[i + 1], d, q, maxv);
    } else if (d) {
      if (coef[i] || coef[i + 1]) {
        pair4x4(b, step, coef[i], coef[i + 1], d, q, maxv);
      } else {  // DC alone in both
        const __m256i r = _mm256_setr_m128i(dc_residual(d[0]), dc_residual(d[1]));
        for (int y = 0; y < 4; ++y) add_clamp8(b + y * step, r, maxv);
      }
    } else {
      const __m128i m = _mm256_castsi256_si128(maxv);
      if (coef[i]) block4x4(b, step, coef[i], nullptr, q, dq, m);
      if (coef[i + 1]) block4x4(b + 4, step, coef[i + 1], nullptr, q, dq, m);
    }
  }
  if (i < n && (coef[i] || dc))
    block4x4(dst + 4 * i, step, coef[i], dc ? dc + i : nullptr, q, dq, _mm256_castsi256_si128(maxv));
}

void row4x4_16u(uint16_t* dst, std::ptrdiff_t step, const int32_t* const* coef, const int32_t* dc, int n,
                const DequantHbd4x4& q, int32_t max) {
  row4x4(dst, step, coef, dc, n, q, max);
}

void row4x4_8u(uint8_t* dst, std::ptrdiff_t step, const int16_t* const* coef, const int32_t* dc, int n,
               const DequantHbd4x4& q) {
  row4x4(dst, step, coef, dc, n, q, 255);
}

void block8x8_16u(uint16_t* dst, std::ptrdiff_t step, const int32_t* coef, const DequantHbd8x8& q, int32_t max) {
  const __m256i add = _mm256_set1_epi32(q.add);
  const __m128i shift = _mm_cvtsi32_si128(q.shift);
  __m256i r[8];
  for (int i = 0; i < 8; ++i) {
    const __m256i c = load<32>(coef + 8 * i);
    const __m256i m = _mm256_load_si256(reinterpret_cast<const __m256i*>(q.mul + 8 * i));
    r[i] = _mm256_sra_epi32(_mm256_add_epi32(_mm256_mullo_epi32(c, m), add), shift);
  }
  transpose8x8(r);
  inv8<Lanes256>(r);
  transpose8x8(r);
  r[0] = _mm256_add_epi32(r[0], _mm256_set1_epi32(32));
  inv8<Lanes256>(r);
  const __m256i maxv = _mm256_set1_epi32(max);
  for (int y = 0; y < 8; ++y) add_clamp8(dst + y * step, _mm256_srai_epi32(r[y], 6), maxv);
}

}  // namespace
}  // namespace KVN_ISA

constexpr void residual_hbd_init_avx2(ResidualHbdKernels& k) {
  k.row4x4_16u = KVN_ISA::row4x4_16u;
  k.row4x4_8u = KVN_ISA::row4x4_8u;
  k.block8x8_16u = KVN_ISA::block8x8_16u;
}

KVN_LEVEL_KERNELS(residual_hbd, ResidualHbdKernels);

}  // namespace kvn
