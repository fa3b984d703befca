// SIMD chroma interpolation kernels (H.264 8.4.2.2.2), 128-bit, shared by the
// SSE4.1 level (SSSE3 code) and the AVX2 level (the same code in VEX form,
// three-operand and without the register copies).
//
// 8-bit: each output sample is a dot product of sample pairs with byte
// weights, done by pmaddubsw on (P[i], P[i + d]) pairs made with punpcklbw:
// horizontal pairs (A, B) with weights (8 - dx, dx), vertical pairs (A, C)
// with (8 - dy, dy); the two-dimensional kind adds the (A, B) pairs of a row
// weighted by (8 - dy) and those of the next row weighted by dy. Every sum is
// at most 64 * 255, so the 16-bit lanes are exact, and pmulhrsw by 512 (4096)
// gives (sum + 32) >> 6 ((sum + 4) >> 3) exactly. Interleaved chroma is the
// same with d = 2 bytes: the pairs of both channels alternate and so do the
// results, which the C2P2 kernels split with pshufb.
//
// 16-bit: pmaddwd on 16-bit pairs with 32-bit sums. Samples are biased to
// signed (x - 32768) first; the weights add up to 64 (8), so the biased result
// is the true one minus 32768 exactly, and every 16-bit sample value works.
//
// Narrow rows (up to 4 results) are processed two rows per register. Loads
// never go past the needed region.
#pragma once

#ifndef KVN_ISA
#error "KVN_ISA names the instruction set of the including file (sse2 .. avx512); kvn_kernel_sources defines it"
#endif

#include <smmintrin.h>

#include <cstddef>

#include "h264/inter/interp_chroma.h"
#include "simd/loads.h"

namespace kvn {
namespace KVN_ISA {
namespace chroma {

// Two rows of narrow data in one register: the 2n bytes of the first row's
// pairs (n <= 4 bytes a row), then those of the second.
template <int BytesPerRow>
inline __m128i join(__m128i a, __m128i b) {
  static_assert(BytesPerRow == 4 || BytesPerRow == 8, "join");
  return BytesPerRow == 8 ? _mm_unpacklo_epi64(a, b) : _mm_unpacklo_epi32(a, b);
}

// ---------------------------------------------------------------------------
// 8-bit

// Output of BW interleaved result bytes a row: written as they are...
struct OutSame {
  uint8_t* d;
  ptrdiff_t ds;
  template <int BW>
  void row(__m128i v) {
    store<BW>(d, v);
    d += ds;
  }
  // Rows r and r + 1 in bytes [0, BW) and [BW, 2 BW).
  template <int BW>
  void two_rows(__m128i v) {
    store<BW>(d, v);
    store_from<BW, BW>(d + ds, v);
    d += 2 * ds;
  }
};

// ...or split into the two channels (even bytes, odd bytes).
struct OutSplit {
  uint8_t* u;
  uint8_t* v;
  ptrdiff_t ds;
  static __m128i split(__m128i x) {
    return _mm_shuffle_epi8(x, _mm_setr_epi8(0, 2, 4, 6, 8, 10, 12, 14, 1, 3, 5, 7, 9, 11, 13, 15));
  }
  template <int BW>
  void row(__m128i x) {
    const __m128i s = split(x);
    store<BW / 2>(u, s);
    store_from<BW / 2, 8>(v, s);
    u += ds;
    v += ds;
  }
  template <int BW>
  void two_rows(__m128i x) {
    const __m128i s = split(x);
    store<BW / 2>(u, s);
    store_from<BW / 2, BW / 2>(u + ds, s);
    store_from<BW / 2, 8>(v, s);
    store_from<BW / 2, 8 + BW / 2>(v + ds, s);
    u += 2 * ds;
    v += 2 * ds;
  }
};

// Sample pairs of one row for BW result bytes (hi used only for BW = 16).
struct Pairs {
  __m128i lo, hi;
};

// (P[i], P[i + D]) of a row: the horizontal pairs.
template <int BW, int D>
inline Pairs hor_pairs(const uint8_t* s) {
  if constexpr (BW == 16) {
    const __m128i a = load<16>(s), b = load<16>(s + D);
    return {_mm_unpacklo_epi8(a, b), _mm_unpackhi_epi8(a, b)};
  } else {
    return {_mm_unpacklo_epi8(load<BW>(s), load<BW>(s + D)), _mm_setzero_si128()};
  }
}

// (row r, row r + 1) of loaded rows: the vertical pairs.
template <int BW>
inline Pairs ver_pairs(__m128i a, __m128i b) {
  return {_mm_unpacklo_epi8(a, b), BW == 16 ? _mm_unpackhi_epi8(a, b) : _mm_setzero_si128()};
}

// Two result rows from the pairs: f(top, bottom) gives the 16-bit results of
// one register of pairs; rows r and r + 1 use (t0, b0) and (t1, b1).
template <int BW, class Out, class F>
inline void emit2(Out& out, const Pairs& t0, const Pairs& b0, const Pairs& t1, const Pairs& b1, F f) {
  if constexpr (BW <= 4) {
    const __m128i v = f(join<2 * BW>(t0.lo, t1.lo), join<2 * BW>(b0.lo, b1.lo));
    out.template two_rows<BW>(_mm_packus_epi16(v, v));
  } else if constexpr (BW == 8) {
    out.template two_rows<8>(_mm_packus_epi16(f(t0.lo, b0.lo), f(t1.lo, b1.lo)));
  } else {
    out.template row<16>(_mm_packus_epi16(f(t0.lo, b0.lo), f(t0.hi, b0.hi)));
    out.template row<16>(_mm_packus_epi16(f(t1.lo, b1.lo), f(t1.hi, b1.hi)));
  }
}

inline __m128i byte_weights(int first, int second) { return _mm_set1_epi16(int16_t(second << 8 | first)); }

// BW result bytes a row, source samples D bytes apart, kind K (0 copy,
// 1 horizontal, 2 vertical, 3 both); h even.
template <int BW, int D, int K, class Out>
inline void chroma8(const uint8_t* s, ptrdiff_t ss, Out out, int dx, int dy, int h) {
  if constexpr (K == 0) {
    for (int y = 0; y < h; ++y, s += ss) out.template row<BW>(load<BW>(s));
  } else if constexpr (K == 1) {
    const __m128i w = byte_weights(8 - dx, dx), r = _mm_set1_epi16(4096);
    const auto f = [&](__m128i p, __m128i) { return _mm_mulhrs_epi16(_mm_maddubs_epi16(p, w), r); };
    for (int y = 0; y < h; y += 2, s += 2 * ss) {
      const Pairs p0 = hor_pairs<BW, D>(s), p1 = hor_pairs<BW, D>(s + ss);
      emit2<BW>(out, p0, p0, p1, p1, f);
    }
  } else if constexpr (K == 2) {
    const __m128i w = byte_weights(8 - dy, dy), r = _mm_set1_epi16(4096);
    const auto f = [&](__m128i p, __m128i) { return _mm_mulhrs_epi16(_mm_maddubs_epi16(p, w), r); };
    __m128i x0 = load<BW>(s);
    for (int y = 0; y < h; y += 2, s += 2 * ss) {
      const __m128i x1 = load<BW>(s + ss), x2 = load<BW>(s + 2 * ss);
      const Pairs p0 = ver_pairs<BW>(x0, x1), p1 = ver_pairs<BW>(x1, x2);
      emit2<BW>(out, p0, p0, p1, p1, f);
      x0 = x2;
    }
  } else {
    const __m128i w0 = byte_weights((8 - dx) * (8 - dy), dx * (8 - dy));
    const __m128i w1 = byte_weights((8 - dx) * dy, dx * dy), r = _mm_set1_epi16(512);
    const auto f = [&](__m128i top, __m128i bottom) {
      return _mm_mulhrs_epi16(_mm_add_epi16(_mm_maddubs_epi16(top, w0), _mm_maddubs_epi16(bottom, w1)), r);
    };
    Pairs p0 = hor_pairs<BW, D>(s);
    for (int y = 0; y < h; y += 2, s += 2 * ss) {
      const Pairs p1 = hor_pairs<BW, D>(s + ss), p2 = hor_pairs<BW, D>(s + 2 * ss);
      emit2<BW>(out, p0, p1, p1, p2, f);
      p0 = p2;
    }
  }
}

// Width 6 runs as 4 + 2.
template <int W, int K>
void c1(const uint8_t* s, ptrdiff_t ss, uint8_t* d, ptrdiff_t ds, int dx, int dy, int h) {
  if constexpr (W == 6) {
    c1<4, K>(s, ss, d, ds, dx, dy, h);
    c1<2, K>(s + 4, ss, d + 4, ds, dx, dy, h);
  } else {
    chroma8<W, 1, K>(s, ss, OutSame{d, ds}, dx, dy, h);
  }
}

template <int W, int K>
void c2c2(const uint8_t* s, ptrdiff_t ss, uint8_t* d, ptrdiff_t ds, int dx, int dy, int h) {
  if constexpr (W == 6) {
    c2c2<4, K>(s, ss, d, ds, dx, dy, h);
    c2c2<2, K>(s + 8, ss, d + 8, ds, dx, dy, h);
  } else {
    chroma8<2 * W, 2, K>(s, ss, OutSame{d, ds}, dx, dy, h);
  }
}

template <int W, int K>
void c2p2(const uint8_t* s, ptrdiff_t ss, uint8_t* u, uint8_t* v, ptrdiff_t ds, int dx, int dy, int h) {
  if constexpr (W == 6) {
    c2p2<4, K>(s, ss, u, v, ds, dx, dy, h);
    c2p2<2, K>(s + 8, ss, u + 4, v + 4, ds, dx, dy, h);
  } else {
    chroma8<2 * W, 2, K>(s, ss, OutSplit{u, v, ds}, dx, dy, h);
  }
}

// ---------------------------------------------------------------------------
// 16-bit

inline __m128i biased(__m128i x) { return _mm_xor_si128(x, _mm_set1_epi16(int16_t(0x8000))); }

// W samples (2 W bytes) of a row, biased.
template <int W>
inline __m128i load16(const uint16_t* p) {
  return biased(load<2 * W>(p));
}

struct Pairs16 {
  __m128i lo, hi;  // hi only for W = 8
};

template <int W>
inline Pairs16 pairs16(__m128i a, __m128i b) {
  return {_mm_unpacklo_epi16(a, b), W == 8 ? _mm_unpackhi_epi16(a, b) : _mm_setzero_si128()};
}

// Two result rows; f(top, bottom) gives biased 32-bit results of one register.
template <int W, class F>
inline void emit16(uint16_t*& d, ptrdiff_t ds, const Pairs16& t0, const Pairs16& b0, const Pairs16& t1,
                   const Pairs16& b1, F f) {
  const __m128i unbias = _mm_set1_epi16(int16_t(0x8000));
  if constexpr (W == 2) {
    const __m128i v = f(_mm_unpacklo_epi64(t0.lo, t1.lo), _mm_unpacklo_epi64(b0.lo, b1.lo));
    const __m128i x = _mm_xor_si128(_mm_packs_epi32(v, v), unbias);
    store<4>(d, x);
    store_from<4, 4>(d + ds, x);
  } else if constexpr (W == 4) {
    const __m128i x = _mm_xor_si128(_mm_packs_epi32(f(t0.lo, b0.lo), f(t1.lo, b1.lo)), unbias);
    store<8>(d, x);
    store_from<8, 8>(d + ds, x);
  } else {
    store<16>(d, _mm_xor_si128(_mm_packs_epi32(f(t0.lo, b0.lo), f(t0.hi, b0.hi)), unbias));
    store<16>(d + ds, _mm_xor_si128(_mm_packs_epi32(f(t1.lo, b1.lo), f(t1.hi, b1.hi)), unbias));
  }
  d += 2 * ds;
}

inline __m128i word_weights(int first, int second) { return _mm_set1_epi32(second << 16 | first); }

template <int W, int K>
void c16(const uint16_t* s, ptrdiff_t ss, uint16_t* d, ptrdiff_t ds, int dx, int dy, int h) {
  if constexpr (W == 6) {
    c16<4, K>(s, ss, d, ds, dx, dy, h);
    c16<2, K>(s + 4, ss, d + 4, ds, dx, dy, h);
  } else if constexpr (K == 0) {
    for (int y = 0; y < h; ++y, s += ss, d += ds) store<2 * W>(d, load<2 * W>(s));
  } else if constexpr (K == 1 || K == 2) {
    const __m128i w = K == 1 ? word_weights(8 - dx, dx) : word_weights(8 - dy, dy);
    const __m128i r = _mm_set1_epi32(4);
    const auto f = [&](__m128i p, __m128i) { return _mm_srai_epi32(_mm_add_epi32(_mm_madd_epi16(p, w), r), 3); };
    if constexpr (K == 1) {
      for (int y = 0; y < h; y += 2, s += 2 * ss) {
        const Pairs16 p0 = pairs16<W>(load16<W>(s), load16<W>(s + 1));
        const Pairs16 p1 = pairs16<W>(load16<W>(s + ss), load16<W>(s + ss + 1));
        emit16<W>(d, ds, p0, p0, p1, p1, f);
      }
    } else {
      __m128i x0 = load16<W>(s);
      for (int y = 0; y < h; y += 2, s += 2 * ss) {
        const __m128i x1 = load16<W>(s + ss), x2 = load16<W>(s + 2 * ss);
        const Pairs16 p0 = pairs16<W>(x0, x1), p1 = pairs16<W>(x1, x2);
        emit16<W>(d, ds, p0, p0, p1, p1, f);
        x0 = x2;
      }
    }
  } else {
    const __m128i w0 = word_weights((8 - dx) * (8 - dy), dx * (8 - dy));
    const __m128i w1 = word_weights((8 - dx) * dy, dx * dy), r = _mm_set1_epi32(32);
    const auto f = [&](__m128i top, __m128i bottom) {
      const __m128i sum = _mm_add_epi32(_mm_madd_epi16(top, w0), _mm_madd_epi16(bottom, w1));
      return _mm_srai_epi32(_mm_add_epi32(sum, r), 6);
    };
    Pairs16 p0 = pairs16<W>(load16<W>(s), load16<W>(s + 1));
    for (int y = 0; y < h; y += 2, s += 2 * ss) {
      const Pairs16 p1 = pairs16<W>(load16<W>(s + ss), load16<W>(s + ss + 1));
      const Pairs16 p2 = pairs16<W>(load16<W>(s + 2 * ss), load16<W>(s + 2 * ss + 1));
      emit16<W>(d, ds, p0, p1, p1, p2, f);
      p0 = p2;
    }
  }
}

#define KVN_KINDS(f, W) \
  { f<W, 0>, f<W, 1>, f<W, 2>, f<W, 3> }
#define KVN_WIDTHS(f) \
  { KVN_KINDS(f, 2), KVN_KINDS(f, 4), KVN_KINDS(f, 6), KVN_KINDS(f, 8) }

constexpr ChromaFn kC1[kChromaWidths][kChromaKinds] = KVN_WIDTHS(c1);
constexpr ChromaFn kC2C2[kChromaWidths][kChromaKinds] = KVN_WIDTHS(c2c2);
constexpr ChromaP2Fn kC2P2[kChromaWidths][kChromaKinds] = KVN_WIDTHS(c2p2);
constexpr Chroma16Fn kC16[kChromaWidths][kChromaKinds] = KVN_WIDTHS(c16);

template <class Fn>
constexpr void put(Fn (&dst)[kChromaWidths][kChromaKinds], const Fn (&src)[kChromaWidths][kChromaKinds]) {
  for (int w = 0; w < kChromaWidths; ++w)
    for (int k = 0; k < kChromaKinds; ++k) dst[w][k] = src[w][k];
}

}  // namespace chroma
}  // namespace KVN_ISA
}  // namespace kvn
