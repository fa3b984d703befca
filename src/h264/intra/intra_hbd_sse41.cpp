// SSE4.1 (and SSSE3) kernels of the intra predictors on 16-bit samples. The
// 4x4 modes gather the neighbours in one line of 16 samples, form the two-tap
// and three-tap filters of every position at once (exact on the whole 16-bit
// range: avg(floor((a + c) / 2), b) = (a + 2b + c + 2) >> 2) and pick each
// predicted sample with pshufb; the 16x16 and chroma modes write whole rows.
#include <smmintrin.h>

#include <cstring>

#include "h264/intra/intra_hbd.h"
#include "simd/loads.h"

namespace kvn {
namespace KVN_ISA {
namespace {

// Rows 0, 1 in a and rows 2, 3 in b.
inline void store_block4(uint16_t* b, std::ptrdiff_t s, __m128i lo, __m128i hi) {
  store<8>(b, lo);
  store<8>(b + s, _mm_unpackhi_epi64(lo, lo));
  store<8>(b + 2 * s, hi);
  store<8>(b + 3 * s, _mm_unpackhi_epi64(hi, hi));
}

// ---- 4x4 ------------------------------------------------------------------------

// The neighbours, substitutions applied (H.264 8.3.1.2 with the 8-bit
// predictor's rules), as E[0..15] = p[-1, 3], p[-1, 3..0], p[-1, -1],
// p[0..7, -1], p[7, -1], p[7, -1] in two registers; the repeated ends give the
// end taps of the down-left and horizontal-up modes.
struct Edge {
  __m128i lo, hi;
};

inline Edge edge4(const uint16_t* b, std::ptrdiff_t s, int32_t a, int half) {
  // Two loads of 4, each within the store that wrote the row above.
  const __m128i t03 = (a & kAvailTop) ? load<8>(b - s) : _mm_set1_epi16(int16_t(half));
  const __m128i t47 = (a & kAvailTopRight) ? load<8>(b - s + 4) : _mm_shufflelo_epi16(t03, 0xff);
  const __m128i top = _mm_unpacklo_epi64(t03, t47);
  int l[4] = {half, half, half, half};
  if (a & kAvailLeft)
    for (int y = 0; y < 4; ++y) l[y] = b[y * s - 1];
  const int c = (a & kAvailTopLeft) ? b[-s - 1] : half;
  const __m128i left =
      _mm_setr_epi16(int16_t(l[3]), int16_t(l[3]), int16_t(l[2]), int16_t(l[1]), int16_t(l[0]), int16_t(c), 0, 0);
  return {_mm_blend_epi16(left, _mm_slli_si128(top, 12), 0xc0),
          _mm_blend_epi16(_mm_srli_si128(top, 4), _mm_shufflehi_epi16(top, 0xff), 0xc0)};
}

// F2[k] = (E[k] + E[k+1] + 1) >> 1, F3[k] = (E[k-1] + 2 E[k] + E[k+1] + 2) >> 2.
struct Taps {
  __m128i f2[2], f3[2];
};

inline __m128i f3(__m128i a, __m128i b, __m128i c) {
  const __m128i lowbit = _mm_and_si128(_mm_xor_si128(a, c), _mm_set1_epi16(1));
  return _mm_avg_epu16(_mm_sub_epi16(_mm_avg_epu16(a, c), lowbit), b);
}

inline Taps taps(const Edge& e) {
  const __m128i next_lo = _mm_alignr_epi8(e.hi, e.lo, 2), next_hi = _mm_srli_si128(e.hi, 2);
  const __m128i prev_lo = _mm_slli_si128(e.lo, 2), prev_hi = _mm_alignr_epi8(e.hi, e.lo, 14);
  return {{_mm_avg_epu16(e.lo, next_lo), _mm_avg_epu16(e.hi, next_hi)},
          {f3(prev_lo, e.lo, next_lo), f3(prev_hi, e.hi, next_hi)}};
}

// Which filter output each predicted sample (x, y) of modes 3..8 is: 2 / 3
// for F2 / F3, and the position k in E (E[5] the top-left sample, top(x) =
// E[6 + x], left(y) = E[4 - y]).
struct Src {
  int f, k;
};
constexpr Src source(int mode, int x, int y) {
  switch (mode) {
    case 3: return {3, 7 + x + y};  // down-left; (3, 3) is F3[13] = (p6 + 3 p7 + 2) >> 2
    case 4: return {3, 5 + x - y};  // down-right
    case 5: {                       // vertical-right
      const int z = 2 * x - y, c = x - (y >> 1);
      return z >= 0 ? Src{(z & 1) ? 3 : 2, 5 + c} : z == -1 ? Src{3, 5} : Src{3, 6 - y};
    }
    case 6: {  // horizontal-down
      const int z = 2 * y - x, r = y - (x >> 1);
      return z >= 0 ? ((z & 1) ? Src{3, 5 - r} : Src{2, 4 - r}) : z == -1 ? Src{3, 5} : Src{3, 4 + x};
    }
    case 7: {  // vertical-left
      const int c = x + (y >> 1);
      return (y & 1) ? Src{3, 7 + c} : Src{2, 6 + c};
    }
    default: {  // horizontal-up; beyond z = 5 all is p[-1, 3] = F2[0]
      const int z = x + 2 * y, r = y + (x >> 1);
      return z > 5 ? Src{2, 0} : z == 5 ? Src{3, 1} : (z & 1) ? Src{3, 3 - r} : Src{2, 3 - r};
    }
  }
}

// pshufb controls: for output register j (rows 2j, 2j + 1) and source
// register s (F2 lo, F2 hi, F3 lo, F3 hi), the bytes to take, 0x80 elsewhere.
struct Picks {
  int8_t m[2][4][16];
};
constexpr Picks picks(int mode) {
  Picks p{};
  for (int j = 0; j < 2; ++j)
    for (int s = 0; s < 4; ++s)
      for (int i = 0; i < 16; ++i) p.m[j][s][i] = int8_t(0x80);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) {
      const Src src = source(mode, x, y);
      const int s = (src.f == 3 ? 2 : 0) + (src.k >= 8), lane = src.k & 7, out = 4 * (y & 1) + x;
      p.m[y >> 1][s][2 * out] = int8_t(2 * lane);
      p.m[y >> 1][s][2 * out + 1] = int8_t(2 * lane + 1);
    }
  return p;
}
constexpr Picks kPicks[6] = {picks(3), picks(4), picks(5), picks(6), picks(7), picks(8)};

inline __m128i ctl(const int8_t* m) { return load<16>(m); }

template <int Mode>
void p4_pick(uint16_t* b, std::ptrdiff_t s, int32_t a, int32_t bd) {
  const Taps t = taps(edge4(b, s, a, 1 << (bd - 1)));
  const Picks& p = kPicks[Mode - 3];
  __m128i out[2];
  for (int j = 0; j < 2; ++j)
    out[j] = _mm_or_si128(
        _mm_or_si128(_mm_shuffle_epi8(t.f2[0], ctl(p.m[j][0])), _mm_shuffle_epi8(t.f2[1], ctl(p.m[j][1]))),
        _mm_or_si128(_mm_shuffle_epi8(t.f3[0], ctl(p.m[j][2])), _mm_shuffle_epi8(t.f3[1], ctl(p.m[j][3]))));
  store_block4(b, s, out[0], out[1]);
}

void p4_ver(uint16_t* b, std::ptrdiff_t s, int32_t a, int32_t bd) {
  const __m128i t = (a & kAvailTop) ? load<8>(b - s) : _mm_set1_epi16(int16_t(1 << (bd - 1)));
  for (int y = 0; y < 4; ++y) store<8>(b + y * s, t);
}
void p4_hor(uint16_t* b, std::ptrdiff_t s, int32_t a, int32_t bd) {
  int16_t left[4];
  for (int y = 0; y < 4; ++y) left[y] = int16_t((a & kAvailLeft) ? b[y * s - 1] : 1 << (bd - 1));
  for (int y = 0; y < 4; ++y) store<8>(b + y * s, _mm_set1_epi16(left[y]));
}
void p4_dc(uint16_t* b, std::ptrdiff_t s, int32_t a, int32_t bd) {
  const bool t = a & kAvailTop, l = a & kAvailLeft;
  int st = 0, sl = 0;
  if (t) st = b[-s] + b[1 - s] + b[2 - s] + b[3 - s];
  if (l) sl = b[-1] + b[s - 1] + b[2 * s - 1] + b[3 * s - 1];
  const int dc = t && l ? (st + sl + 4) >> 3 : t ? (st + 2) >> 2 : l ? (sl + 2) >> 2 : 1 << (bd - 1);
  const __m128i v = _mm_set1_epi16(int16_t(dc));
  for (int y = 0; y < 4; ++y) store<8>(b + y * s, v);
}

// ---- 16x16 and chroma ----------------------------------------------------------------

// Sum of 8 samples.
inline int sum8(__m128i v) {
  __m128i x = _mm_add_epi32(_mm_cvtepu16_epi32(v), _mm_cvtepu16_epi32(_mm_srli_si128(v, 8)));
  x = _mm_add_epi32(x, _mm_shuffle_epi32(x, _MM_SHUFFLE(1, 0, 3, 2)));
  x = _mm_add_epi32(x, _mm_shuffle_epi32(x, _MM_SHUFFLE(2, 3, 0, 1)));
  return _mm_cvtsi128_si32(x);
}

template <int W, int H>
void fill(uint16_t* b, std::ptrdiff_t s, __m128i v) {
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; x += 8) store<16>(b + y * s + x, v);
}

template <int W, int H>
void ver(uint16_t* b, std::ptrdiff_t s, int32_t, int32_t) {
  __m128i t[W / 8];
  for (int i = 0; i < W / 8; ++i) t[i] = load<16>(b - s + 8 * i);
  for (int y = 0; y < H; ++y)
    for (int i = 0; i < W / 8; ++i) store<16>(b + y * s + 8 * i, t[i]);
}
// The left column is read before the first store (see hor in intra_pred.h).
template <int W, int H>
void hor(uint16_t* b, std::ptrdiff_t s, int32_t, int32_t) {
  uint16_t left[H];
  for (int y = 0; y < H; ++y) left[y] = b[y * s - 1];
  for (int y = 0; y < H; ++y) {
    const __m128i v = _mm_set1_epi16(int16_t(left[y]));
    for (int i = 0; i < W / 8; ++i) store<16>(b + y * s + 8 * i, v);
  }
}

int sum_left(const uint16_t* b, std::ptrdiff_t s, int y0, int n) {
  int t = 0;
  for (int i = 0; i < n; ++i) t += b[(y0 + i) * s - 1];
  return t;
}

void p16_dc(uint16_t* b, std::ptrdiff_t s, int32_t a, int32_t bd) {
  const bool t = a & kAvailTop, l = a & kAvailLeft;
  const int st = t ? sum8(load<16>(b - s)) + sum8(load<16>(b - s + 8)) : 0, sl = l ? sum_left(b, s, 0, 16) : 0;
  const int dc = t && l ? (st + sl + 16) >> 5 : t ? (st + 8) >> 4 : l ? (sl + 8) >> 4 : 1 << (bd - 1);
  fill<16, 16>(b, s, _mm_set1_epi16(int16_t(dc)));
}

// Chroma DC per 4x4 block (H.264 8.3.4.1-8.3.4.3), as the scalar kernel.
template <int H>
void c_dc(uint16_t* b, std::ptrdiff_t s, int32_t a, int32_t bd) {
  const int half = 1 << (bd - 1);
  const bool t = a & kAvailTop;
  int st[2] = {0, 0};
  if (t) {
    const __m128i v = _mm_cvtepu16_epi32(load<8>(b - s)), w = _mm_cvtepu16_epi32(load<8>(b - s + 4));
    const __m128i h = _mm_hadd_epi32(_mm_hadd_epi32(v, w), _mm_setzero_si128());
    st[0] = _mm_cvtsi128_si32(h), st[1] = _mm_extract_epi32(h, 1);
  }
  // Every left sum before the first store (with a step equal to the width
  // the left column lies inside the block).
  int sums[H / 4];
  for (int by = 0; by < H / 4; ++by)
    sums[by] = (a & (4 * by < H / 2 ? kAvailLeft : kAvailLeftLower)) ? sum_left(b, s, 4 * by, 4) : 0;
  for (int by = 0; by < H / 4; ++by) {
    const bool l = a & (4 * by < H / 2 ? kAvailLeft : kAvailLeftLower);
    const int sl = sums[by];
    int dc[2];
    for (int bx = 0; bx < 2; ++bx) {
      const int both = (st[bx] + sl + 4) >> 3, top = (st[bx] + 2) >> 2, left = (sl + 2) >> 2;
      if ((bx == 0) == (by == 0))
        dc[bx] = t && l ? both : t ? top : l ? left : half;
      else if (by == 0)
        dc[bx] = t ? top : l ? left : half;
      else
        dc[bx] = l ? left : t ? top : half;
    }
    const __m128i v = _mm_unpacklo_epi64(_mm_set1_epi16(int16_t(dc[0])), _mm_set1_epi16(int16_t(dc[1])));
    for (int y = 4 * by; y < 4 * by + 4; ++y) store<16>(b + y * s, v);
  }
}

// Plane: the gradients as the scalar kernel, then rows of 8 samples from
// 32-bit lanes, clamped by packus and min.
template <int W, int H>
void plane(uint16_t* b, std::ptrdiff_t s, int32_t, int32_t bd) {
  auto top = [&](int x) { return int(b[x - s]); };
  auto left = [&](int y) { return int(b[y * s - 1]); };
  int gh = 0, gv = 0;
  for (int i = 0; i < W / 2; ++i) gh += (i + 1) * (top(W / 2 + i) - top(W / 2 - 2 - i));
  for (int i = 0; i < H / 2; ++i) gv += (i + 1) * (left(H / 2 + i) - left(H / 2 - 2 - i));
  const int pa = 16 * (left(H - 1) + top(W - 1));
  const int pb = ((W == 16 ? 5 : 34) * gh + 32) >> 6, pc = ((H == 16 ? 5 : 34) * gv + 32) >> 6;
  const __m128i maxv = _mm_set1_epi16(int16_t((1 << bd) - 1)), step = _mm_set1_epi32(pc);
  __m128i row[W / 4];
  for (int i = 0; i < W / 4; ++i) {
    const int x0 = 4 * i - (W / 2 - 1);
    row[i] = _mm_add_epi32(_mm_set1_epi32(pa + 16 + pc * -(H / 2 - 1) + pb * x0),
                           _mm_mullo_epi32(_mm_set1_epi32(pb), _mm_setr_epi32(0, 1, 2, 3)));
  }
  for (int y = 0; y < H; ++y) {
    for (int i = 0; i < W / 8; ++i) {
      const __m128i v = _mm_packus_epi32(_mm_srai_epi32(row[2 * i], 5), _mm_srai_epi32(row[2 * i + 1], 5));
      store<16>(b + y * s + 8 * i, _mm_min_epu16(v, maxv));
    }
    for (__m128i& r : row) r = _mm_add_epi32(r, step);
  }
}

}  // namespace
}  // namespace KVN_ISA

constexpr void intra_hbd_init_sse41(IntraHbdKernels& k) {
  using namespace KVN_ISA;
  k.pred4x4[0] = p4_ver;
  k.pred4x4[1] = p4_hor;
  k.pred4x4[2] = p4_dc;
  k.pred4x4[3] = p4_pick<3>;
  k.pred4x4[4] = p4_pick<4>;
  k.pred4x4[5] = p4_pick<5>;
  k.pred4x4[6] = p4_pick<6>;
  k.pred4x4[7] = p4_pick<7>;
  k.pred4x4[8] = p4_pick<8>;
  k.pred16x16[0] = ver<16, 16>;
  k.pred16x16[1] = hor<16, 16>;
  k.pred16x16[2] = p16_dc;
  k.pred16x16[3] = plane<16, 16>;
  k.chroma8x8[0] = c_dc<8>;
  k.chroma8x8[1] = hor<8, 8>;
  k.chroma8x8[2] = ver<8, 8>;
  k.chroma8x8[3] = plane<8, 8>;
  k.chroma8x16[0] = c_dc<16>;
  k.chroma8x16[1] = hor<8, 16>;
  k.chroma8x16[2] = ver<8, 16>;
  k.chroma8x16[3] = plane<8, 16>;
}

KVN_LEVEL_KERNELS(intra_hbd, IntraHbdKernels);

}  // namespace kvn
