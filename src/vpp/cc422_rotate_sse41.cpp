// SSSE3 (SSE4.1-level) kernels of the 4:2:2 to 4:2:0 conversion with
// rotation. Interleaved rows are split into luma and chroma by pshufb, 16
// luma samples (32 bytes) a step; the chroma rows are averaged by pavgb,
// which is the rounded average exactly.
//  - rotations 0 and 3 go row by row (3 reversing each step with pshufb);
//  - rotations 1 and 2 go by tiles of 16 x 16 luma samples, transposed in
//    registers (and the chroma's 8 x 8 tiles with them), each written as
//    rows of the destination (2 reversing them).
// The last step of a row (tile of a column or row of tiles) overlaps the one
// before it instead of running past the region; regions narrower or lower
// than one step are converted sample by sample.
#include <smmintrin.h>

#include "simd/loads.h"
#include "simd/transpose.h"
#include "vpp/cc422_rotate.h"

namespace kvn {
namespace KVN_ISA {
namespace {

using V = __m128i;

inline V reverse16(V v) {
  return _mm_shuffle_epi8(v, _mm_setr_epi8(15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0));
}
// Each 8-byte half reversed in place.
inline V reverse8x2(V v) {
  return _mm_shuffle_epi8(v, _mm_setr_epi8(7, 6, 5, 4, 3, 2, 1, 0, 15, 14, 13, 12, 11, 10, 9, 8));
}

// Luma columns x .. x + 15 of row r into y, and the row's chroma columns
// x/2 .. x/2 + 7 into c (Cb in the low half, Cr in the high half).
template <bool Planar>
inline void fetch(const Cc422Src& s, int r, int x, V& y, V& c) {
  if constexpr (Planar) {
    y = load<16>(s.p[0] + r * s.step[0] + x);
    c = load8x2(s.p[1] + r * s.step[1] + x / 2, s.p[2] + r * s.step[2] + x / 2);
  } else {
    const uint8_t* g = s.p[0] + r * s.step[0] + 2 * x;
    const V m = _mm_setr_epi8(1, 3, 5, 7, 9, 11, 13, 15, 0, 4, 8, 12, 2, 6, 10, 14);
    const V a = _mm_shuffle_epi8(load<16>(g), m), b = _mm_shuffle_epi8(load<16>(g + 16), m);
    y = _mm_unpacklo_epi64(a, b);
    c = _mm_unpackhi_epi32(a, b);
  }
}

// Rotations 0 and 3, rows r and r + 1 at a time.
template <int Rot, bool Planar>
void rows(const Cc422Src& s, int w, int h, const Cc422Dst& d) {
  if (w < 16) return KVN_CC422_NS::cc422_rect<Rot, Planar>(s, w, h, d, 0, h, 0, w);
  for (int r = 0; r < h; r += 2)
    for (int x = 0;; x += 16) {
      if (x > w - 16) x = w - 16;
      V y0, y1, c0, c1;
      fetch<Planar>(s, r, x, y0, c0);
      fetch<Planar>(s, r + 1, x, y1, c1);
      const V c = _mm_avg_epu8(c0, c1);
      if constexpr (Rot == 0) {
        store<16>(d.p[0] + r * d.step[0] + x, y0);
        store<16>(d.p[0] + (r + 1) * d.step[0] + x, y1);
        store<8>(d.p[1] + r / 2 * d.step[1] + x / 2, c);
        store_from<8, 8>(d.p[2] + r / 2 * d.step[2] + x / 2, c);
      } else {
        store<16>(d.p[0] + (h - 1 - r) * d.step[0] + (w - 16 - x), reverse16(y0));
        store<16>(d.p[0] + (h - 2 - r) * d.step[0] + (w - 16 - x), reverse16(y1));
        const V rc = reverse8x2(c);
        store<8>(d.p[1] + (h / 2 - 1 - r / 2) * d.step[1] + (w / 2 - 8 - x / 2), rc);
        store_from<8, 8>(d.p[2] + (h / 2 - 1 - r / 2) * d.step[2] + (w / 2 - 8 - x / 2), rc);
      }
      if (x == w - 16) break;
    }
}

// 16 rows of 16 bytes to 16 columns: four rounds of interleaving row i with
// row i + 8 (each round rotates the 8-bit (row, column) index by one bit).
inline void transpose16(V* r) {
  for (int round = 0; round < 4; ++round) {
    V t[16];
    for (int i = 0; i < 8; ++i) {
      t[2 * i] = _mm_unpacklo_epi8(r[i], r[i + 8]);
      t[2 * i + 1] = _mm_unpackhi_epi8(r[i], r[i + 8]);
    }
    for (int i = 0; i < 16; ++i) r[i] = t[i];
  }
}

// Rotations 1 and 2 by tiles of 16 x 16 luma samples at (r0, x0).
template <int Rot, bool Planar>
void tile(const Cc422Src& s, int w, int h, const Cc422Dst& d, int r0, int x0) {
  V y[16], cb[8], cr[8];
  for (int i = 0; i < 8; ++i) {
    V c0, c1;
    fetch<Planar>(s, r0 + 2 * i, x0, y[2 * i], c0);
    fetch<Planar>(s, r0 + 2 * i + 1, x0, y[2 * i + 1], c1);
    cb[i] = _mm_avg_epu8(c0, c1);
    cr[i] = _mm_unpackhi_epi64(cb[i], cb[i]);
  }
  transpose16(y);
  transpose8x8_8(cb);
  transpose8x8_8(cr);
  // Column j of the tile becomes a destination row.
  for (int j = 0; j < 16; ++j) {
    if constexpr (Rot == 1)
      store<16>(d.p[0] + (w - 1 - x0 - j) * d.step[0] + r0, y[j]);
    else
      store<16>(d.p[0] + (x0 + j) * d.step[0] + (h - 16 - r0), reverse16(y[j]));
  }
  const int cx0 = x0 / 2, cr0 = r0 / 2, cw = w / 2, ch = h / 2;
  for (int k = 0; k < 8; ++k) {
    if constexpr (Rot == 1) {
      store<8>(d.p[1] + (cw - 1 - cx0 - k) * d.step[1] + cr0, cb[k]);
      store<8>(d.p[2] + (cw - 1 - cx0 - k) * d.step[2] + cr0, cr[k]);
    } else {
      store<8>(d.p[1] + (cx0 + k) * d.step[1] + (ch - 8 - cr0), reverse8x2(cb[k]));
      store<8>(d.p[2] + (cx0 + k) * d.step[2] + (ch - 8 - cr0), reverse8x2(cr[k]));
    }
  }
}

template <int Rot, bool Planar>
void tiles(const Cc422Src& s, int w, int h, const Cc422Dst& d) {
  if (w < 16 || h < 16) return KVN_CC422_NS::cc422_rect<Rot, Planar>(s, w, h, d, 0, h, 0, w);
  for (int r = 0;; r += 16) {
    if (r > h - 16) r = h - 16;
    for (int x = 0;; x += 16) {
      if (x > w - 16) x = w - 16;
      tile<Rot, Planar>(s, w, h, d, r, x);
      if (x == w - 16) break;
    }
    if (r == h - 16) break;
  }
}

}  // namespace
}  // namespace KVN_ISA

constexpr void cc422_rotate_init_sse41(Cc422RotateKernels& k) {
  using namespace KVN_ISA;
  k.c2p3[0] = rows<0, false>;
  k.c2p3[1] = tiles<1, false>;
  k.c2p3[2] = tiles<2, false>;
  k.c2p3[3] = rows<3, false>;
  k.p3[0] = rows<0, true>;
  k.p3[1] = tiles<1, true>;
  k.p3[2] = tiles<2, true>;
  k.p3[3] = rows<3, true>;
}

KVN_LEVEL_KERNELS(cc422_rotate, Cc422RotateKernels);

}  // namespace kvn
