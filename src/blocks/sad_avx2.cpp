// AVX2 kernels of the SAD family: the 16x16 multi-candidate SADs, the
// 16-wide full-sample (16x16) and centre (16x16, 16x8) SADs, two rows a
// register, and the 16-bit members (16x16 SADs, sub-blocks, frame / field
// activity).
//
//  - 16x16 xN: one 32-byte load at candidate c holds the rows of c (low lane)
//    and c + 16 (high lane), so a pass scores candidates b .. b + 7 and
//    b + 16 .. b + 23 against the source row broadcast to both lanes. Sixteen
//    remaining candidates pair c with c + 8 (two 16-byte loads), eight use the
//    low lane alone.
//  - 8x8 xN keeps the SSE4.1 kernel (mpsadbw), which measured 1.4x faster
//    than scoring four candidate rows a register here.
//  - 16-bit samples: a row of 16 a register, with the arithmetic of sad.h.
#include <immintrin.h>

#include <cstddef>

#include "hpel_simd.h"
#include "sad.h"
#include "simd/loads.h"
#include "simd/pack.h"
#include "simd/reduce.h"

namespace kvn {
namespace KVN_ISA {
namespace {

using namespace hpel;
using std::ptrdiff_t;

// psadbw totals t[0..3] (each 64-bit quarter below 65536) as 16-bit values:
// quarter q of the result holds quarter q of t[0], t[1], t[2], t[3].
inline __m256i gather4(const __m256i* t) {
  return _mm256_or_si256(_mm256_or_si256(t[0], _mm256_slli_epi64(t[1], 16)),
                         _mm256_or_si256(_mm256_slli_epi64(t[2], 32), _mm256_slli_epi64(t[3], 48)));
}

// ---- 16x16 full sample ---------------------------------------------------------

// Rows p and p + step, one a lane.
inline __m256i rows2(const uint8_t* p, ptrdiff_t step) { return load16x2(p, p + step); }

uint32_t sad16x16(const uint8_t* src, int32_t ss, const uint8_t* ref, int32_t rs) {
  const ptrdiff_t s = ss, r = rs;
  __m256i a0 = _mm256_setzero_si256(), a1 = a0;
  for (int y = 0; y < 16; y += 4, src += 4 * s, ref += 4 * r) {
    a0 = _mm256_add_epi64(a0, _mm256_sad_epu8(rows2(src, s), rows2(ref, r)));
    a1 = _mm256_add_epi64(a1, _mm256_sad_epu8(rows2(src + 2 * s, s), rows2(ref + 2 * r, r)));
  }
  return hsum64(_mm256_add_epi64(a0, a1));
}

// Centre half sample: the prediction in 16-bit lanes (hpel_simd.h), two rows
// packed back to bytes a register.
template <int H>
uint32_t sad16_centre(const uint8_t* src, int32_t ss, const uint8_t* ref, int32_t rs) {
  Predictor<Words, 3, 0, 1> pred(ref, rs);
  __m256i acc = _mm256_setzero_si256();
  for (int y = 0; y < H; y += 2, src += 2 * ptrdiff_t(ss)) {
    const __m256i p0 = pred.next();
    acc = _mm256_add_epi64(acc, _mm256_sad_epu8(rows2(src, ss), pack_u8(p0, pred.next())));
  }
  return hsum64(acc);
}

// ---- 16x16 xN --------------------------------------------------------------------

// A reference row of candidate c in the low lane and of c + Dist in the high
// lane (Dist 0: the high lane is not used).
template <int Dist>
inline __m256i candidate_rows(const uint8_t* p) {
  if constexpr (Dist == 16) return load<32>(p);
  if constexpr (Dist == 8) return load16x2(p, p + 8);
  if constexpr (Dist == 0) return _mm256_zextsi128_si256(load<16>(p));
}

template <int Dist>
void xn16x16_pass(const uint8_t* src, ptrdiff_t ss, const uint8_t* ref, ptrdiff_t rs, uint16_t* sads) {
  __m256i acc[8];
  for (__m256i& a : acc) a = _mm256_setzero_si256();
  for (int y = 0; y < 16; ++y, src += ss, ref += rs) {
    const __m256i row = _mm256_broadcastsi128_si256(load<16>(src));
    for (int k = 0; k < 8; ++k) acc[k] = _mm256_add_epi64(acc[k], _mm256_sad_epu8(row, candidate_rows<Dist>(ref + k)));
  }
  // Per lane: the SADs of its eight candidates (halves of a row summed).
  const __m256i lo = gather4(acc), hi = gather4(acc + 4);
  const __m256i v = _mm256_add_epi16(_mm256_unpacklo_epi64(lo, hi), _mm256_unpackhi_epi64(lo, hi));
  store<16>(sads, _mm256_castsi256_si128(v));
  if (Dist) store<16>(sads + Dist, _mm256_extracti128_si256(v, 1));
}

void xn16x16(const uint8_t* src, int32_t ss, const uint8_t* ref, int32_t rs, uint16_t* sads, int32_t n) {
  int32_t i = 0;
  for (; i + 32 <= n; i += 32) {
    xn16x16_pass<16>(src, ss, ref + i, rs, sads + i);
    xn16x16_pass<16>(src, ss, ref + i + 8, rs, sads + i + 8);
  }
  if (i + 16 <= n) {
    xn16x16_pass<8>(src, ss, ref + i, rs, sads + i);
    i += 16;
  }
  if (i < n) xn16x16_pass<0>(src, ss, ref + i, rs, sads + i);
}

// ---- 16x16 of 16-bit samples --------------------------------------------------

inline __m256i row16(const uint8_t* p) { return load<32>(p); }
inline __m256i sum_sat(__m256i a, __m256i b) { return _mm256_adds_epu16(a, b); }
template <int Round, int Shift>
inline __m256i round_sat(__m256i t) {
  return _mm256_srli_epi16(_mm256_adds_epu16(t, _mm256_set1_epi16(Round)), Shift);
}

// Rows of the 16-bit half-sample reference of sad.h, top to bottom.
template <int Code>
class Predictor16 {
 public:
  Predictor16(const uint8_t* ref, ptrdiff_t step) : r_(ref), s_(step) {
    if constexpr (Code == 2) prev_ = row16(advance());
    if constexpr (Code == 3) prev_ = pair_sum(advance());
  }

  __m256i next() {
    const uint8_t* r = advance();
    if constexpr (Code == 0) return row16(r);
    if constexpr (Code == 1) return round_sat<1, 1>(pair_sum(r));
    if constexpr (Code == 2) {
      const __m256i cur = row16(r);
      const __m256i out = round_sat<1, 1>(sum_sat(prev_, cur));
      prev_ = cur;
      return out;
    }
    if constexpr (Code == 3) {
      const __m256i cur = pair_sum(r);
      const __m256i out = round_sat<2, 2>(sum_sat(prev_, cur));
      prev_ = cur;
      return out;
    }
  }

 private:
  static __m256i pair_sum(const uint8_t* r) { return sum_sat(row16(r), row16(r + 2)); }
  const uint8_t* advance() {
    const uint8_t* r = r_;
    r_ += s_;
    return r;
  }

  const uint8_t* r_;
  ptrdiff_t s_;
  __m256i prev_;
};

// sum += |s - p| lane by lane, each difference read as signed 16-bit.
inline __m256i add_diffs16(__m256i sum, __m256i s, __m256i p) {
  const __m256i d = _mm256_or_si256(_mm256_subs_epu16(s, p), _mm256_subs_epu16(p, s));
  return _mm256_add_epi32(sum, _mm256_madd_epi16(d, _mm256_set1_epi16(1)));
}

template <int Code>
uint32_t sad16x16_16u(const uint16_t* src, int32_t ss, const uint16_t* ref, int32_t rs) {
  Predictor16<Code> pred(reinterpret_cast<const uint8_t*>(ref), rs);
  const uint8_t* s = reinterpret_cast<const uint8_t*>(src);
  __m256i acc = _mm256_setzero_si256();
  for (int y = 0; y < 16; ++y, s += ss) acc = add_diffs16(acc, row16(s), pred.next());
  return hsum32(acc);
}

// Sub-blocks of 16-bit samples: a row a register, its lanes the left and
// right halves; rows (step >> 1) samples apart.
inline ptrdiff_t row_bytes16(int32_t step) { return 2 * ptrdiff_t(step >> 1); }

void blocks8x8_16u(const uint16_t* src, int32_t ss, const uint16_t* ref, int32_t rs, uint32_t* sads) {
  const uint8_t* s = reinterpret_cast<const uint8_t*>(src);
  const uint8_t* r = reinterpret_cast<const uint8_t*>(ref);
  const ptrdiff_t sb = row_bytes16(ss), rb = row_bytes16(rs);
  __m256i acc[2] = {_mm256_setzero_si256(), _mm256_setzero_si256()};  // top, bottom
  for (int y = 0; y < 16; ++y, s += sb, r += rb) acc[y >> 3] = add_diffs16(acc[y >> 3], row16(s), row16(r));
  // Per lane: [a0 + a1, a2 + a3] of each half, then the two pairs summed.
  const __m256i h = _mm256_hadd_epi32(acc[0], acc[1]);  // top 01, top 23, bottom 01, bottom 23 per lane
  const __m256i q = _mm256_hadd_epi32(h, h);            // top, bottom, top, bottom per lane
  const __m128i lo = _mm256_castsi256_si128(q), hi = _mm256_extracti128_si256(q, 1);
  store<16>(sads, _mm_unpacklo_epi32(lo, hi));  // TL, TR, BL, BR
}

void blocks4x4_16u(const uint16_t* src, int32_t ss, const uint16_t* ref, int32_t rs, uint32_t* sads) {
  const uint8_t* s = reinterpret_cast<const uint8_t*>(src);
  const uint8_t* r = reinterpret_cast<const uint8_t*>(ref);
  const ptrdiff_t sb = row_bytes16(ss), rb = row_bytes16(rs);
  for (int by = 0; by < 4; ++by, sads += 4) {
    __m256i acc = _mm256_setzero_si256();  // pairs of samples: sub-blocks 0, 1 low lane, 2, 3 high
    for (int y = 0; y < 4; ++y, s += sb, r += rb) acc = add_diffs16(acc, row16(s), row16(r));
    const __m256i h = _mm256_permute4x64_epi64(_mm256_hadd_epi32(acc, acc), 0x08);
    store<16>(sads, _mm256_castsi256_si128(h));
  }
}

// Frame / field activity of 16-bit samples, modulo 65536 (vpabsw keeps
// |-32768| at 0x8000).
void frame_field16s(const int16_t* src, int32_t step, uint32_t out[2]) {
  const uint8_t* p = reinterpret_cast<const uint8_t*>(src);
  __m256i rows[16];
  for (int i = 0; i < 16; ++i) rows[i] = row16(p + ptrdiff_t(i) * step);
  __m256i frame = _mm256_setzero_si256(), field = frame;
  for (int i = 0; i < 15; ++i) {
    if (i != 7) frame = _mm256_add_epi16(frame, _mm256_abs_epi16(_mm256_sub_epi16(rows[i], rows[i + 1])));
    if (i < 14) field = _mm256_add_epi16(field, _mm256_abs_epi16(_mm256_sub_epi16(rows[i], rows[i + 2])));
  }
  const __m256i ones = _mm256_set1_epi16(1);
  for (__m256i* v : {&frame, &field}) *v = _mm256_madd_epi16(*v, ones);
  out[0] = hsum32(frame) & 0xffff;
  out[1] = hsum32(field) & 0xffff;
}

}  // namespace
}  // namespace KVN_ISA

constexpr void sad_init_avx2(SadKernels& k) {
  using namespace KVN_ISA;
  k.xn[kXn16x16] = xn16x16;
  k.sad[kSad16x16][0] = sad16x16;
  k.sad[kSad16x16][3] = sad16_centre<16>;
  k.sad[kSad16x8][3] = sad16_centre<8>;
  k.sad16u[kSad16u16x16] = mode_table([](auto code) { return sad16x16_16u<code>; });
  k.blocks8x8_16u = blocks8x8_16u;
  k.blocks4x4_16u = blocks4x4_16u;
  k.frame_field16s = frame_field16s;
}

KVN_LEVEL_KERNELS(sad, SadKernels);

}  // namespace kvn
