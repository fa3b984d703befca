// The packed weighted prediction shared by the SIMD kernels.
//
// A block is walked in vectors of P::kBytes bytes: a row of W bytes takes
// W / kBytes vectors when it is wider, else one vector holds kRows rows
// (gathered by P::load<RowBytes, Rows>, scattered by P::store). Every row
// starts at an even byte of its vector, so lane parity is channel parity.
//
// Ops P: a lane class (simd/lanes.h: the vector type V of kBytes bytes and
// its operations) with load<RowBytes, Rows> and store<RowBytes, Rows>; a
// class of the kernel file, so that the kernels made of it stay local there.
#pragma once

#ifndef KVN_ISA
#error "KVN_ISA names the instruction set of the including file (sse2 .. avx512); kvn_kernel_sources defines it"
#endif

#include <emmintrin.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

#include "h264/inter/weight.h"
#include "simd/lanes.h"
#include "simd/loads.h"

namespace kvn {
namespace KVN_ISA {
namespace weight {

using std::ptrdiff_t;

template <class T>
inline T* at_row(T* p, ptrdiff_t step, int y) {
  return p + step * y;
}

// ---- 128-bit row gathering (SSE2 instructions)

struct Io128 : Lanes128 {
  // Rows 0..Rows-1 of RowBytes bytes each, row r at bytes r * RowBytes.
  template <int RowBytes, int Rows>
  static V load(const uint8_t* p, ptrdiff_t step) {
    static_assert(RowBytes * Rows <= 16, "rows fit one vector");
    if constexpr (RowBytes == 16) {
      return KVN_ISA::load<16>(p);
    } else if constexpr (RowBytes == 8) {
      if constexpr (Rows == 1) return KVN_ISA::load<8>(p);
      return load8x2(p, p + step);
    } else if constexpr (RowBytes == 4) {
      const V r0 = KVN_ISA::load<4>(p);
      if constexpr (Rows == 1) return r0;
      const V r01 = _mm_unpacklo_epi32(r0, KVN_ISA::load<4>(p + step));
      if constexpr (Rows == 2) return r01;
      return _mm_unpacklo_epi64(r01,
                                _mm_unpacklo_epi32(KVN_ISA::load<4>(p + 2 * step), KVN_ISA::load<4>(p + 3 * step)));
    } else {
      static_assert(RowBytes == 2, "row width");
      V v = KVN_ISA::load<2>(p);
      for (int r = 1; r < Rows; ++r) {
        uint16_t x;
        std::memcpy(&x, p + r * step, 2);
        v = insert16(v, x, r);
      }
      return v;
    }
  }

  template <int RowBytes, int Rows>
  static void store(uint8_t* p, ptrdiff_t step, V v) {
    if constexpr (RowBytes == 16) {
      KVN_ISA::store<16>(p, v);
    } else if constexpr (RowBytes == 8) {
      KVN_ISA::store<8>(p, v);
      if constexpr (Rows == 2) store_from<8, 8>(p + step, v);
    } else if constexpr (RowBytes == 4) {
      KVN_ISA::store<4>(p, v);
      if constexpr (Rows >= 2) store_from<4, 4>(p + step, v);
      if constexpr (Rows == 4) {
        store_from<4, 8>(p + 2 * step, v);
        store_from<4, 12>(p + 3 * step, v);
      }
    } else {
      for (int r = 0; r < Rows; ++r) {
        const uint16_t x = uint16_t(extract16(v, r));
        std::memcpy(p + r * step, &x, 2);
      }
    }
  }

 private:
  // pinsrw / pextrw need immediate lane numbers.
  static V insert16(V v, int x, int lane) {
    switch (lane) {
      case 1: return _mm_insert_epi16(v, x, 1);
      case 2: return _mm_insert_epi16(v, x, 2);
      case 3: return _mm_insert_epi16(v, x, 3);
      case 4: return _mm_insert_epi16(v, x, 4);
      case 5: return _mm_insert_epi16(v, x, 5);
      case 6: return _mm_insert_epi16(v, x, 6);
      default: return _mm_insert_epi16(v, x, 7);
    }
  }
  static int extract16(V v, int lane) {
    switch (lane) {
      case 0: return _mm_extract_epi16(v, 0);
      case 1: return _mm_extract_epi16(v, 1);
      case 2: return _mm_extract_epi16(v, 2);
      case 3: return _mm_extract_epi16(v, 3);
      case 4: return _mm_extract_epi16(v, 4);
      case 5: return _mm_extract_epi16(v, 5);
      case 6: return _mm_extract_epi16(v, 6);
      default: return _mm_extract_epi16(v, 7);
    }
  }
};

// ---- block walkers

template <class P, int W, int H>
struct Shape {
  static constexpr int kRowBytes = W < P::kBytes ? W : P::kBytes;                      // bytes of a row in one vector
  static constexpr int kVecs = W / kRowBytes;                                          // vectors a row
  static constexpr int kRows = P::kBytes / kRowBytes < H ? P::kBytes / kRowBytes : H;  // rows a vector
};

// In place: p = f(p), W bytes by H rows.
template <class P, int W, int H, class F>
inline void walk1(uint8_t* p, ptrdiff_t step, F f) {
  using S = Shape<P, W, H>;
  for (int y = 0; y < H; y += S::kRows)
    for (int v = 0; v < S::kVecs; ++v) {
      uint8_t* q = at_row(p, step, y) + v * P::kBytes;
      P::template store<S::kRowBytes, S::kRows>(q, step, f(P::template load<S::kRowBytes, S::kRows>(q, step)));
    }
}

// d = f(s1, s2); all of a vector's rows are read before they are written.
template <class P, int W, int H, class F>
inline void walk2(const uint8_t* s1, ptrdiff_t step1, const uint8_t* s2, ptrdiff_t step2, uint8_t* d, ptrdiff_t stepD,
                  F f) {
  using S = Shape<P, W, H>;
  for (int y = 0; y < H; y += S::kRows)
    for (int v = 0; v < S::kVecs; ++v) {
      const int o = v * P::kBytes;
      const auto a = P::template load<S::kRowBytes, S::kRows>(at_row(s1, step1, y) + o, step1);
      const auto b = P::template load<S::kRowBytes, S::kRows>(at_row(s2, step2, y) + o, step2);
      P::template store<S::kRowBytes, S::kRows>(at_row(d, stepD, y) + o, stepD, f(a, b));
    }
}

// Any width and height: 16-byte pieces, the last one through a local copy.
template <class F>
inline void walk2_any(const uint8_t* s1, ptrdiff_t step1, const uint8_t* s2, ptrdiff_t step2, uint8_t* d,
                      ptrdiff_t stepD, int32_t width, int32_t height, F f) {
  for (int32_t y = 0; y < height; ++y) {
    const uint8_t* r1 = at_row(s1, step1, y);
    const uint8_t* r2 = at_row(s2, step2, y);
    uint8_t* rd = at_row(d, stepD, y);
    int32_t x = 0;
    for (; x <= width - 16; x += 16)
      Io128::store<16, 1>(rd + x, 0, f(Io128::load<16, 1>(r1 + x, 0), Io128::load<16, 1>(r2 + x, 0)));
    if (x < width) {
      alignas(16) uint8_t t1[16] = {}, t2[16] = {}, td[16];
      const std::size_t n = std::size_t(width - x);
      std::memcpy(t1, r1 + x, n);
      std::memcpy(t2, r2 + x, n);
      Io128::store<16, 1>(td, 0, f(Io128::load<16, 1>(t1, 0), Io128::load<16, 1>(t2, 0)));
      std::memcpy(rd + x, td, n);
    }
  }
}

// ---- 8-bit samples on the SSSE3 instructions
//
// Two lists: pmaddubsw forms x1 * w1 + x2 * w2 of each byte pair (exact:
// fits8 bounds the sums), pmulhrsw with 2^(15 - s) the rounded shift:
// (v * 2^(15-s) + 2^14) >> 15 = (v + 2^(s-1)) >> s exactly, without an
// intermediate that could overflow; then the offset with saturation (a lane
// that saturates is beyond 0..255 either way) and packuswb's clamp.
//
// One list: the byte pairs (x, 2^s) times (w, o) give x * w + o * 2^s in one
// pmaddubsw, so the offset rides along the rounded shift (fits8_one); a lane
// that saturates is beyond 0..255 after the shift either way (s <= 7).

template <class P>
struct Uni8Ssse3 {
  using V = typename P::V;
  V c, w, m;
  Uni8Ssse3(uint32_t weights, int32_t shift)
      : c(P::set1_32(int32_t(0x01010101u << shift))),
        w(P::set1_32(int32_t(weights))),
        m(P::set1_16(shift ? 1 << (15 - shift) : 0)) {}
  template <bool Round>
  V half(V xc) const {
    const V v = P::maddubs(xc, w);
    return Round ? P::mulhrs16(v, m) : v;
  }
  template <bool Round>
  V operator()(V x) const {
    return P::packus16(half<Round>(P::unpacklo8(x, c)), half<Round>(P::unpackhi8(x, c)));
  }
};

template <class P>
struct Bi8Ssse3 {
  using V = typename P::V;
  V w, m, o;
  Bi8Ssse3(uint32_t weights, uint32_t offsets, int32_t shift)
      : w(P::set1_32(int32_t(weights))),
        m(P::set1_16(shift ? 1 << (15 - shift) : 0)),
        o(P::set1_32(int32_t(offsets))) {}
  template <bool Round>
  V half(V x12) const {
    V v = P::maddubs(x12, w);
    if (Round) v = P::mulhrs16(v, m);
    return P::adds16(v, o);
  }
  template <bool Round>
  V operator()(V x1, V x2) const {
    return P::packus16(half<Round>(P::unpacklo8(x1, x2)), half<Round>(P::unpackhi8(x1, x2)));
  }
};

// Kernels over the 8-bit cores (applied as k.template operator()<Round>),
// one instance per shift kind.
template <class P, template <class> class K, int W, int H>
void uni8_kernel(uint8_t* p, int32_t step, uint32_t weights, int32_t shift) {
  using V = typename P::V;
  const K<P> k(weights, shift);
  if (shift)
    walk1<P, W, H>(p, step, [&](V x) { return k.template operator()<true>(x); });
  else
    walk1<P, W, H>(p, step, [&](V x) { return k.template operator()<false>(x); });
}

template <class P, template <class> class K, int W, int H>
void bi8_kernel(const uint8_t* s1, int32_t step1, const uint8_t* s2, int32_t step2, uint8_t* d, int32_t stepD,
                uint32_t weights, uint32_t offsets, int32_t shift) {
  using V = typename P::V;
  const K<P> k(weights, offsets, shift);
  if (shift)
    walk2<P, W, H>(s1, step1, s2, step2, d, stepD, [&](V x1, V x2) { return k.template operator()<true>(x1, x2); });
  else
    walk2<P, W, H>(s1, step1, s2, step2, d, stepD, [&](V x1, V x2) { return k.template operator()<false>(x1, x2); });
}

// 128-bit ops only.
template <class P, template <class> class K>
void bi8_any_kernel(const uint8_t* s1, int32_t step1, const uint8_t* s2, int32_t step2, uint8_t* d, int32_t stepD,
                    int32_t width, int32_t height, const WeightArgs& a) {
  using V = typename P::V;
  const K<P> k(pack8_weights(a), pack8_offsets(a), a.shift);
  if (a.shift)
    walk2_any(s1, step1, s2, step2, d, stepD, width, height,
              [&](V x1, V x2) { return k.template operator()<true>(x1, x2); });
  else
    walk2_any(s1, step1, s2, step2, d, stepD, width, height,
              [&](V x1, V x2) { return k.template operator()<false>(x1, x2); });
}

// Fills slots [wi][0..3] of a size table with Make(W, H) for H = 2..16.
template <int W, class Fn, class Make>
constexpr void fill_heights(Fn (&row)[4], Make make) {
  row[0] = make(std::integral_constant<int, W>(), std::integral_constant<int, 2>());
  row[1] = make(std::integral_constant<int, W>(), std::integral_constant<int, 4>());
  row[2] = make(std::integral_constant<int, W>(), std::integral_constant<int, 8>());
  row[3] = make(std::integral_constant<int, W>(), std::integral_constant<int, 16>());
}

#if defined(__SSE4_1__)

// ---- 16-bit samples in 32-bit lanes (planar parameters, see Packed16)
//
// pmaddwd multiplies signed 16-bit values, so samples enter as x - 32768
// (the top bit flipped): x1 * w1 + x2 * w2 = (x1 - 32768) * w1 +
// (x2 - 32768) * w2 + 32768 * (w1 + w2), the last term folded into `add`
// with the rounding. fits16 keeps the true sum within 32 bits, so the
// wrapping additions give it exactly. packusdw and pminuw clamp to
// 0..max.

template <class P>
struct Weight16 {
  using V = typename P::V;
  V w, add, o, max, sign;
  __m128i count;
  Weight16(uint32_t weights, int32_t a, int32_t offset, int32_t shiftMax)
      : w(P::set1_32(int32_t(weights))),
        add(P::set1_32(a)),
        o(P::set1_32(offset)),
        max(P::set1_16(shiftMax >> 8)),
        sign(P::set1_16(-32768)),
        count(_mm_cvtsi32_si128(shiftMax & 0xff)) {}
  V finish(V lo, V hi) const {
    lo = P::add32(P::sra32(P::add32(lo, add), count), o);
    hi = P::add32(P::sra32(P::add32(hi, add), count), o);
    return P::min_u16(P::packus32(lo, hi), max);
  }
  // One list: pairs (x, 0) times (w1, w2 = 0).
  V operator()(V x) const {
    x = P::xor_(x, sign);
    const V z = P::zero();
    return finish(P::madd16(P::unpacklo16(x, z), w), P::madd16(P::unpackhi16(x, z), w));
  }
  V operator()(V x1, V x2) const {
    x1 = P::xor_(x1, sign);
    x2 = P::xor_(x2, sign);
    return finish(P::madd16(P::unpacklo16(x1, x2), w), P::madd16(P::unpackhi16(x1, x2), w));
  }
};

// W samples wide (2 W bytes); steps in samples.
template <class P, int W, int H>
void uni16_kernel(uint16_t* p, int32_t step, uint32_t weights, int32_t add, int32_t offset, int32_t shiftMax) {
  const Weight16<P> k(weights, add, offset, shiftMax);
  walk1<P, 2 * W, H>(reinterpret_cast<uint8_t*>(p), 2 * ptrdiff_t(step), [&](auto x) { return k(x); });
}

template <class P, int W, int H>
void bi16_kernel(const KvnBidirRecord16u& r, uint32_t weights, int32_t add, int32_t offset, int32_t shiftMax) {
  const Weight16<P> k(weights, add, offset, shiftMax);
  walk2<P, 2 * W, H>(reinterpret_cast<const uint8_t*>(r.pSrc1), 2 * ptrdiff_t(r.src1Step),
                     reinterpret_cast<const uint8_t*>(r.pSrc2), 2 * ptrdiff_t(r.src2Step),
                     reinterpret_cast<uint8_t*>(r.pDst), 2 * ptrdiff_t(r.dstStep), k);
}

// Rounded average of W samples a row (2..16), the record's height: full
// vectors, then pieces of 8, 4 and 2 samples in 128-bit registers, then one
// sample.
template <class P, int W>
void average16_kernel(const KvnBidirRecord16u& r, int32_t maxValue) {
  constexpr int kLanes = P::kBytes / 2;
  const typename P::V m = P::set1_16(maxValue);
  const __m128i m128 = _mm_set1_epi16(int16_t(maxValue));
  for (int32_t y = 0; y < r.roiSize.height; ++y) {
    const uint8_t* r1 = reinterpret_cast<const uint8_t*>(at_row(r.pSrc1, r.src1Step, y));
    const uint8_t* r2 = reinterpret_cast<const uint8_t*>(at_row(r.pSrc2, r.src2Step, y));
    uint8_t* rd = reinterpret_cast<uint8_t*>(at_row(r.pDst, r.dstStep, y));
    int x = 0;  // bytes
    for (; x + 2 * kLanes <= 2 * W; x += 2 * kLanes)
      P::template store<P::kBytes, 1>(
          rd + x, 0,
          P::min_u16(P::avg_u16(P::template load<P::kBytes, 1>(r1 + x, 0), P::template load<P::kBytes, 1>(r2 + x, 0)),
                     m));
    auto piece = [&](auto bytes) {
      constexpr int kPiece = decltype(bytes)::value;
      if (x + kPiece <= 2 * W) {
        const __m128i v = _mm_avg_epu16(Io128::load<kPiece, 1>(r1 + x, 0), Io128::load<kPiece, 1>(r2 + x, 0));
        Io128::store<kPiece, 1>(rd + x, 0, _mm_min_epu16(v, m128));
        x += kPiece;
      }
    };
    if constexpr (kLanes > 8) piece(std::integral_constant<int, 16>());
    piece(std::integral_constant<int, 8>());
    piece(std::integral_constant<int, 4>());
    if (W & 1) {
      uint16_t a, b;
      std::memcpy(&a, r1 + x, 2);
      std::memcpy(&b, r2 + x, 2);
      const uint16_t v = average16(a, b, maxValue);
      std::memcpy(rd + x, &v, 2);
    }
  }
}

#endif  // __SSE4_1__

}  // namespace weight
}  // namespace KVN_ISA
}  // namespace kvn
