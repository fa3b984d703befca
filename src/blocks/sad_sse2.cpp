// SSE2 kernels of the SAD family.
//
//  - 8-bit blocks: psadbw of each source row with its reference row, the
//    half-sample references formed exactly in bytes by the block layer's
//    predictors (hpel_simd.h); 8- and 4-wide rows are packed two or four to a
//    register first.
//  - Several candidates: each source row is loaded once and compared with the
//    rows of eight neighbouring candidates; where one 16-byte load holds the
//    rows of two candidates (8x8: i and i + 8) both are scored at once.
//  - 16-bit samples: 16-bit lanes; the saturating averages of sad.h are
//    paddusw sequences, |s - p| is psubusw both ways, and pmaddwd by 1 adds
//    the differences to 32-bit sums as signed 16-bit values, as required.
#include <emmintrin.h>

#include <cstddef>

#include "hpel_simd.h"
#include "sad.h"
#include "simd/loads.h"
#include "simd/reduce.h"

namespace kvn {
namespace KVN_ISA {
namespace {

using namespace hpel;
using std::ptrdiff_t;

inline __m128i add64(__m128i a, __m128i b) { return _mm_add_epi64(a, b); }
inline __m128i sad8(__m128i a, __m128i b) { return _mm_sad_epu8(a, b); }

// [sum a0, sum a1, sum a2, sum a3] of four vectors of 32-bit lanes.
inline __m128i hsum32x4(__m128i a0, __m128i a1, __m128i a2, __m128i a3) {
  const __m128i s01 = _mm_add_epi32(_mm_unpacklo_epi32(a0, a1), _mm_unpackhi_epi32(a0, a1));
  const __m128i s23 = _mm_add_epi32(_mm_unpacklo_epi32(a2, a3), _mm_unpackhi_epi32(a2, a3));
  return _mm_add_epi32(_mm_unpacklo_epi64(s01, s23), _mm_unpackhi_epi64(s01, s23));
}

// Two 8-byte rows in one register.
inline __m128i load_pair(const uint8_t* a, const uint8_t* b) { return _mm_unpacklo_epi64(load<8>(a), load<8>(b)); }

// Four 4-byte rows in one register.
inline __m128i load_quad(const uint8_t* p, ptrdiff_t step) {
  const __m128i r01 = _mm_unpacklo_epi32(load<4>(p), load<4>(p + step));
  const __m128i r23 = _mm_unpacklo_epi32(load<4>(p + 2 * step), load<4>(p + 3 * step));
  return _mm_unpacklo_epi64(r01, r23);
}

// ---- 8-bit single blocks -----------------------------------------------------------

template <int W, int H>
uint32_t sad_full(const uint8_t* src, int32_t ss, const uint8_t* ref, int32_t rs) {
  const ptrdiff_t s = ss, r = rs;
  __m128i a0 = _mm_setzero_si128(), a1 = a0;
  if constexpr (W == 16) {
    for (int y = 0; y < H; y += 2, src += 2 * s, ref += 2 * r) {
      a0 = add64(a0, sad8(load<16>(src), load<16>(ref)));
      a1 = add64(a1, sad8(load<16>(src + s), load<16>(ref + r)));
    }
  } else if constexpr (W == 8) {
    for (int y = 0; y < H; y += 4, src += 4 * s, ref += 4 * r) {
      a0 = add64(a0, sad8(load_pair(src, src + s), load_pair(ref, ref + r)));
      a1 = add64(a1, sad8(load_pair(src + 2 * s, src + 3 * s), load_pair(ref + 2 * r, ref + 3 * r)));
    }
  } else {
    for (int y = 0; y < H; y += 4, src += 4 * s, ref += 4 * r)
      a0 = add64(a0, sad8(load_quad(src, s), load_quad(ref, r)));
  }
  return hsum64(add64(a0, a1));
}

template <int W, int H, int Code>
uint32_t sad_hp(const uint8_t* src, int32_t ss, const uint8_t* ref, int32_t rs) {
  const ptrdiff_t s = ss;
  Predictor<Bytes<W>, Code, 0, 1> pred(ref, rs);
  __m128i acc = _mm_setzero_si128();
  for (int y = 0; y < H; y += 2, src += 2 * s) {
    const __m128i p0 = pred.next();
    const __m128i p1 = pred.next();
    if constexpr (W == 16)
      acc = add64(acc, add64(sad8(load<16>(src), p0), sad8(load<16>(src + s), p1)));
    else
      acc = add64(acc, sad8(load_pair(src, src + s), _mm_unpacklo_epi64(p0, p1)));
  }
  return hsum64(acc);
}

template <int W, int H, int Code>
constexpr SadFn sad_mode() {
  if constexpr (Code == 0)
    return sad_full<W, H>;
  else
    return sad_hp<W, H, Code>;
}

template <int Code>
void sad8x8_c2(const uint8_t* src, int32_t ss, const uint8_t* ref, int32_t rs, uint32_t sad[2]) {
  Predictor<Bytes<16>, Code, 0, 2> pred(ref, rs);
  const __m128i even = _mm_set1_epi16(0x00ff);
  __m128i ae = _mm_setzero_si128(), ao = ae;
  for (int y = 0; y < 8; ++y, src += ss) {
    const __m128i s = load<16>(src), p = pred.next();
    ae = add64(ae, sad8(_mm_and_si128(s, even), _mm_and_si128(p, even)));
    ao = add64(ao, sad8(_mm_srli_epi16(s, 8), _mm_srli_epi16(p, 8)));
  }
  sad[0] = hsum64(ae);
  sad[1] = hsum64(ao);
}

// ---- 16-bit samples --------------------------------------------------------------

inline __m128i absdiff16(__m128i a, __m128i b) { return _mm_or_si128(_mm_subs_epu16(a, b), _mm_subs_epu16(b, a)); }

// sum += |s - p| lane by lane, each difference read as signed 16-bit.
inline __m128i add_diffs16(__m128i sum, __m128i s, __m128i p) {
  return _mm_add_epi32(sum, _mm_madd_epi16(absdiff16(s, p), _mm_set1_epi16(1)));
}

// A row of W 16-bit samples: one register (W = 4 in its low half, the rest
// zero) or two (W = 16).
template <int W>
struct Row16 {
  static constexpr int kRegs = W == 16 ? 2 : 1;
  __m128i v[kRegs];

  static Row16 load(const uint8_t* p) {
    Row16 r;
    for (int i = 0; i < kRegs; ++i) r.v[i] = W == 4 ? KVN_ISA::load<8>(p) : KVN_ISA::load<16>(p + 16 * i);
    return r;
  }
  template <class F>
  static Row16 map(const Row16& a, const Row16& b, F f) {
    Row16 r;
    for (int i = 0; i < kRegs; ++i) r.v[i] = f(a.v[i], b.v[i]);
    return r;
  }
};

// (t +sat Round) >> Shift: the rounding steps of sad.h.
template <int Round, int Shift>
inline __m128i round_sat(__m128i t) {
  return _mm_srli_epi16(_mm_adds_epu16(t, _mm_set1_epi16(Round)), Shift);
}

// Rows of a 16-bit half-sample reference (sad.h), top to bottom; the row
// above is kept for the vertical codes (code 3: its saturated pair sum).
template <int W, int Code>
class Predictor16 {
  using Row = Row16<W>;

 public:
  Predictor16(const uint8_t* ref, ptrdiff_t step) : r_(ref), s_(step) {
    if constexpr (Code == 2) prev_ = Row::load(advance());
    if constexpr (Code == 3) prev_ = pair_sum(advance());
  }

  Row next() {
    const uint8_t* r = advance();
    if constexpr (Code == 0) return Row::load(r);
    if constexpr (Code == 1) return Row::map(Row::load(r), Row::load(r + 2), half);
    if constexpr (Code == 2) {
      const Row cur = Row::load(r);
      const Row out = Row::map(prev_, cur, half);
      prev_ = cur;
      return out;
    }
    if constexpr (Code == 3) {
      const Row cur = pair_sum(r);
      const Row out = Row::map(prev_, cur, quarter);
      prev_ = cur;
      return out;
    }
  }

 private:
  static __m128i half(__m128i a, __m128i b) { return round_sat<1, 1>(_mm_adds_epu16(a, b)); }
  static __m128i quarter(__m128i a, __m128i b) { return round_sat<2, 2>(_mm_adds_epu16(a, b)); }
  static __m128i sum(__m128i a, __m128i b) { return _mm_adds_epu16(a, b); }
  static Row pair_sum(const uint8_t* r) { return Row::map(Row::load(r), Row::load(r + 2), sum); }
  const uint8_t* advance() {
    const uint8_t* r = r_;
    r_ += s_;
    return r;
  }

  const uint8_t* r_;
  ptrdiff_t s_;
  Row prev_;
};

template <int W, int H, int Code>
uint32_t sad16u(const uint16_t* src, int32_t ss, const uint16_t* ref, int32_t rs) {
  Predictor16<W, Code> pred(reinterpret_cast<const uint8_t*>(ref), rs);
  const uint8_t* s = reinterpret_cast<const uint8_t*>(src);
  __m128i acc = _mm_setzero_si128();
  for (int y = 0; y < H; ++y, s += ss) {
    const Row16<W> p = pred.next(), v = Row16<W>::load(s);
    for (int i = 0; i < Row16<W>::kRegs; ++i) acc = add_diffs16(acc, v.v[i], p.v[i]);
  }
  return hsum32(acc);
}

// Rows (step >> 1) samples apart.
inline ptrdiff_t row_bytes16(int32_t step) { return 2 * ptrdiff_t(step >> 1); }

void blocks8x8_16u(const uint16_t* src, int32_t ss, const uint16_t* ref, int32_t rs, uint32_t* sads) {
  const uint8_t* s = reinterpret_cast<const uint8_t*>(src);
  const uint8_t* r = reinterpret_cast<const uint8_t*>(ref);
  const ptrdiff_t sb = row_bytes16(ss), rb = row_bytes16(rs);
  __m128i acc[4];  // top left, top right, bottom left, bottom right
  for (int half = 0; half < 4; half += 2) {
    __m128i left = _mm_setzero_si128(), right = left;
    for (int y = 0; y < 8; ++y, s += sb, r += rb) {
      const Row16<16> a = Row16<16>::load(s), b = Row16<16>::load(r);
      left = add_diffs16(left, a.v[0], b.v[0]);
      right = add_diffs16(right, a.v[1], b.v[1]);
    }
    acc[half] = left;
    acc[half + 1] = right;
  }
  store<16>(sads, hsum32x4(acc[0], acc[1], acc[2], acc[3]));
}

// Pairs of adjacent 32-bit lanes summed: [a0 + a1, a2 + a3, b0 + b1, b2 + b3].
inline __m128i pair_sums(__m128i a, __m128i b) {
  const __m128 fa = _mm_castsi128_ps(a), fb = _mm_castsi128_ps(b);
  return _mm_add_epi32(_mm_castps_si128(_mm_shuffle_ps(fa, fb, _MM_SHUFFLE(2, 0, 2, 0))),
                       _mm_castps_si128(_mm_shuffle_ps(fa, fb, _MM_SHUFFLE(3, 1, 3, 1))));
}

void blocks4x4_16u(const uint16_t* src, int32_t ss, const uint16_t* ref, int32_t rs, uint32_t* sads) {
  const uint8_t* s = reinterpret_cast<const uint8_t*>(src);
  const uint8_t* r = reinterpret_cast<const uint8_t*>(ref);
  const ptrdiff_t sb = row_bytes16(ss), rb = row_bytes16(rs);
  for (int by = 0; by < 4; ++by, sads += 4) {
    __m128i left = _mm_setzero_si128(), right = left;  // lanes: pairs of samples of two sub-blocks
    for (int y = 0; y < 4; ++y, s += sb, r += rb) {
      const Row16<16> a = Row16<16>::load(s), b = Row16<16>::load(r);
      left = add_diffs16(left, a.v[0], b.v[0]);
      right = add_diffs16(right, a.v[1], b.v[1]);
    }
    store<16>(sads, pair_sums(left, right));
  }
}

// ---- several candidates -----------------------------------------------------------

// Eight psadbw totals t[k] (each 64-bit half below 65536) into one register:
// half h of the result holds t[0..3] half h as 16-bit values.
inline __m128i gather4(const __m128i* t) {
  return _mm_or_si128(_mm_or_si128(t[0], _mm_slli_epi64(t[1], 16)),
                      _mm_or_si128(_mm_slli_epi64(t[2], 32), _mm_slli_epi64(t[3], 48)));
}

// 16x16: candidates i .. i + 7, their two row halves in the psadbw halves.
void xn16x16(const uint8_t* src, int32_t ss, const uint8_t* ref, int32_t rs, uint16_t* sads, int32_t n) {
  for (int32_t i = 0; i < n; i += 8) {
    __m128i acc[8];
    for (__m128i& a : acc) a = _mm_setzero_si128();
    const uint8_t* s = src;
    const uint8_t* r = ref + i;
    for (int y = 0; y < 16; ++y, s += ss, r += rs) {
      const __m128i row = load<16>(s);
      for (int k = 0; k < 8; ++k) acc[k] = add64(acc[k], sad8(row, load<16>(r + k)));
    }
    const __m128i lo = gather4(acc), hi = gather4(acc + 4);
    store<16>(sads + i, _mm_add_epi16(_mm_unpacklo_epi64(lo, hi), _mm_unpackhi_epi64(lo, hi)));
  }
}

// 8x8: a 16-byte load at candidate i + k holds the rows of i + k and
// i + 8 + k, scored against the source row in both halves (Pair); the last
// eight candidates of an odd number of groups use 8-byte loads.
template <bool Pair>
inline void xn8x8_group(const uint8_t* src, ptrdiff_t ss, const uint8_t* ref, ptrdiff_t rs, uint16_t* sads) {
  __m128i acc[8];
  for (__m128i& a : acc) a = _mm_setzero_si128();
  for (int y = 0; y < 8; ++y, src += ss, ref += rs) {
    const __m128i row = Pair ? _mm_unpacklo_epi64(load<8>(src), load<8>(src)) : load<8>(src);
    for (int k = 0; k < 8; ++k) acc[k] = add64(acc[k], sad8(row, Pair ? load<16>(ref + k) : load<8>(ref + k)));
  }
  const __m128i lo = gather4(acc), hi = gather4(acc + 4);
  store<16>(sads, _mm_unpacklo_epi64(lo, hi));
  if (Pair) store<16>(sads + 8, _mm_unpackhi_epi64(lo, hi));
}

void xn8x8(const uint8_t* src, int32_t ss, const uint8_t* ref, int32_t rs, uint16_t* sads, int32_t n) {
  int32_t i = 0;
  for (; i + 16 <= n; i += 16) xn8x8_group<true>(src, ss, ref + i, rs, sads + i);
  if (i < n) xn8x8_group<false>(src, ss, ref + i, rs, sads + i);
}

// 4x4: two rows of a candidate make one psadbw half; an 8-byte load at
// candidate i + k gives rows of i + k and i + 4 + k.
void xn4x4(const uint8_t* src, int32_t ss, const uint8_t* ref, int32_t rs, uint16_t* sads, int32_t n) {
  const ptrdiff_t s = ss, r = rs;
  __m128i rows[2];
  for (int y = 0; y < 2; ++y) {
    const __m128i pair = _mm_unpacklo_epi32(load<4>(src + 2 * y * s), load<4>(src + (2 * y + 1) * s));
    rows[y] = _mm_unpacklo_epi64(pair, pair);
  }
  for (int32_t i = 0; i < n; i += 8) {
    __m128i acc[4];
    for (int k = 0; k < 4; ++k) {
      const uint8_t* c = ref + i + k;
      acc[k] = _mm_setzero_si128();
      for (int y = 0; y < 2; ++y, c += 2 * r)
        acc[k] = add64(acc[k], sad8(rows[y], _mm_unpacklo_epi32(load<8>(c), load<8>(c + r))));
    }
    store<16>(sads + i, gather4(acc));
  }
}

inline __m128i absdiff8(__m128i a, __m128i b) { return _mm_or_si128(_mm_subs_epu8(a, b), _mm_subs_epu8(b, a)); }

// 2x2: bytes of the rows of eight candidates against each source sample.
void xn2x2(const uint8_t* src, int32_t ss, const uint8_t* ref, int32_t rs, uint16_t* sads, int32_t n) {
  const ptrdiff_t r = rs;
  // Left and right source samples, row 0 in the low half, row 1 in the high.
  const __m128i left = _mm_unpacklo_epi64(_mm_set1_epi8(char(src[0])), _mm_set1_epi8(char(src[ss])));
  const __m128i right = _mm_unpacklo_epi64(_mm_set1_epi8(char(src[1])), _mm_set1_epi8(char(src[ss + 1])));
  const __m128i zero = _mm_setzero_si128();
  for (int32_t i = 0; i < n; i += 8) {
    const uint8_t* c = ref + i;
    const __m128i dl = absdiff8(left, load_pair(c, c + r));
    const __m128i dr = absdiff8(right, load_pair(c + 1, c + r + 1));
    const __m128i sum = _mm_add_epi16(_mm_add_epi16(_mm_unpacklo_epi8(dl, zero), _mm_unpackhi_epi8(dl, zero)),
                                      _mm_add_epi16(_mm_unpacklo_epi8(dr, zero), _mm_unpackhi_epi8(dr, zero)));
    store<16>(sads + i, sum);
  }
}

// ---- sub-blocks ---------------------------------------------------------------------

// Totals of at most 32767 in the low 32 bits of the halves of a and b, as the
// 16-bit values [a.lo, a.hi, b.lo, b.hi] in the low 8 bytes.
inline __m128i pack4(__m128i a, __m128i b) {
  const __m128i t = _mm_packs_epi32(a, b);
  return _mm_packs_epi32(t, t);
}

void blocks8x8(const uint8_t* src, int32_t ss, const uint8_t* ref, int32_t rs, uint16_t* sads) {
  __m128i acc[2] = {_mm_setzero_si128(), _mm_setzero_si128()};
  for (int y = 0; y < 16; ++y, src += ss, ref += rs)
    acc[y >> 3] = add64(acc[y >> 3], sad8(load<16>(src), load<16>(ref)));
  store<8>(sads, pack4(acc[0], acc[1]));
}

void blocks4x4(const uint8_t* src, int32_t ss, const uint8_t* ref, int32_t rs, uint16_t* sads) {
  const ptrdiff_t s = ss, r = rs;
  for (int by = 0; by < 4; ++by, sads += 4) {
    __m128i left = _mm_setzero_si128(), right = left;  // sub-blocks 0, 1 and 2, 3 of the row
    for (int y = 0; y < 4; y += 2, src += 2 * s, ref += 2 * r) {
      const __m128i a0 = load<16>(src), a1 = load<16>(src + s);
      const __m128i b0 = load<16>(ref), b1 = load<16>(ref + r);
      left = add64(left, sad8(_mm_unpacklo_epi32(a0, a1), _mm_unpacklo_epi32(b0, b1)));
      right = add64(right, sad8(_mm_unpackhi_epi32(a0, a1), _mm_unpackhi_epi32(b0, b1)));
    }
    store<8>(sads, pack4(left, right));
  }
}

// ---- frame / field activity, subtract and SAD ----------------------------------

void frame_field(const uint8_t* p, int32_t step, uint32_t out[2]) {
  __m128i rows[16];
  for (int i = 0; i < 16; ++i) rows[i] = load<16>(p + ptrdiff_t(i) * step);
  __m128i frame = _mm_setzero_si128(), field = frame;
  for (int i = 0; i < 15; ++i) {
    if (i != 7) frame = add64(frame, sad8(rows[i], rows[i + 1]));
    if (i < 14) field = add64(field, sad8(rows[i], rows[i + 2]));
  }
  out[0] = hsum64(frame);
  out[1] = hsum64(field);
}

// |a - b| modulo 65536: |-32768| stays 0x8000.
inline __m128i absdiff_wrap16(__m128i a, __m128i b) {
  const __m128i d = _mm_sub_epi16(a, b);
  return _mm_max_epi16(d, _mm_sub_epi16(_mm_setzero_si128(), d));
}

// The 16-bit lanes summed modulo 65536.
inline uint32_t hsum16_wrap(__m128i v) { return hsum32(_mm_madd_epi16(v, _mm_set1_epi16(1))) & 0xffff; }

void frame_field16s(const int16_t* src, int32_t step, uint32_t out[2]) {
  const uint8_t* p = reinterpret_cast<const uint8_t*>(src);
  Row16<16> rows[16];
  for (int i = 0; i < 16; ++i) rows[i] = Row16<16>::load(p + ptrdiff_t(i) * step);
  __m128i frame = _mm_setzero_si128(), field = frame;
  for (int i = 0; i < 15; ++i)
    for (int h = 0; h < 2; ++h) {
      if (i != 7) frame = _mm_add_epi16(frame, absdiff_wrap16(rows[i].v[h], rows[i + 1].v[h]));
      if (i < 14) field = _mm_add_epi16(field, absdiff_wrap16(rows[i].v[h], rows[i + 2].v[h]));
    }
  out[0] = hsum16_wrap(frame);
  out[1] = hsum16_wrap(field);
}

uint32_t sub_sad8x8(const uint8_t* s1, int32_t st1, const uint8_t* s2, int32_t st2, int16_t* diff, int32_t ds) {
  uint8_t* d = reinterpret_cast<uint8_t*>(diff);
  const __m128i zero = _mm_setzero_si128();
  __m128i acc = zero;
  for (int y = 0; y < 8; ++y, s1 += st1, s2 += st2, d += ds) {
    const __m128i a = load<8>(s1), b = load<8>(s2);
    const __m128i diff16 = _mm_sub_epi16(_mm_unpacklo_epi8(a, zero), _mm_unpacklo_epi8(b, zero));
    store<16>(d, diff16);
    acc = add64(acc, sad8(a, b));
  }
  return uint32_t(_mm_cvtsi128_si32(acc));
}

}  // namespace
}  // namespace KVN_ISA

constexpr void sad_init_sse2(SadKernels& k) {
  using namespace KVN_ISA;
  k.sad[kSad16x16] = mode_table([](auto code) { return sad_mode<16, 16, code>(); });
  k.sad[kSad16x8] = mode_table([](auto code) { return sad_mode<16, 8, code>(); });
  k.sad[kSad8x8] = mode_table([](auto code) { return sad_mode<8, 8, code>(); });
  k.sad_full[kSad4x4] = sad_full<4, 4>;
  k.sad_full[kSad8x4] = sad_full<8, 4>;
  k.sad_full[kSad4x8] = sad_full<4, 8>;
  k.sad_full[kSad8x16] = sad_full<8, 16>;
  k.sad8x8_c2 = mode_table([](auto code) { return sad8x8_c2<code>; });
  k.sad16u[kSad16u16x16] = mode_table([](auto code) { return sad16u<16, 16, code>; });
  k.sad16u[kSad16u8x8] = mode_table([](auto code) { return sad16u<8, 8, code>; });
  k.sad16u[kSad16u4x4] = mode_table([](auto code) { return sad16u<4, 4, code>; });
  k.xn[kXn16x16] = xn16x16;
  k.xn[kXn8x8] = xn8x8;
  k.xn[kXn4x4] = xn4x4;
  k.xn[kXn2x2] = xn2x2;
  k.blocks8x8 = blocks8x8;
  k.blocks4x4 = blocks4x4;
  k.blocks8x8_16u = blocks8x8_16u;
  k.blocks4x4_16u = blocks4x4_16u;
  k.frame_field = frame_field;
  k.frame_field16s = frame_field16s;
  k.sub_sad8x8 = sub_sad8x8;
}

KVN_LEVEL_KERNELS(sad, SadKernels);

}  // namespace kvn
