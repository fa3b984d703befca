// Scalar reference kernels of the MPEG-1/2 DCT family, written straight from
// the pass formulas of dct_mpeg2.h: every output the plain sum of its eight
// products.
#include <cstring>

#include "mpeg2/dct_mpeg2.h"

namespace kvn {
namespace {

using namespace dct_mpeg2;

inline int16_t sat16(int32_t v) { return int16_t(v < -32768 ? -32768 : v > 32767 ? 32767 : v); }
inline int32_t clamp(int32_t v, int32_t lo, int32_t hi) { return v < lo ? lo : v > hi ? hi : v; }

// Inverse orientation: y[n] = sum over k of x[k] B(k, n); forward: y[k] = sum
// over n of x[n] B(k, n). Sums wrap in 32 bits.
template <bool Forward>
void pass(const Pass& p, const int16_t* x, int xs, int16_t* y, int ys) {
  for (int out = 0; out < 8; ++out) {
    uint32_t sum = uint32_t(p.round);
    for (int in = 0; in < 8; ++in) {
      const int32_t b = Forward ? basis(p.table, out, in) : basis(p.table, in, out);
      sum += uint32_t(int32_t(x[in * xs])) * uint32_t(b);
    }
    y[out * ys] = sat16(int32_t(sum) >> p.shift);
  }
}

// Samples of the transposed inverse DCT of a path, before clamping, row-major.
template <int Path>
void aan_samples(const int16_t* coef, int16_t* out) {
  if (Path == kAanDc || Path == kAanZero) {
    const int16_t v = Path == kAanDc ? int16_t(coef[0] / 8) : 0;
    for (int i = 0; i < 64; ++i) out[i] = v;
    return;
  }
  int16_t corner[64] = {};
  if (Path == kAanCorner) {
    for (int i = 0; i < 4; ++i)
      for (int j = 0; j < 4; ++j) corner[8 * i + j] = coef[8 * i + j];
    coef = corner;
  }
  int16_t t[64];  // t[8j + c]
  for (int j = 0; j < 8; ++j) pass<false>(kAanPass1, coef + j, 8, t + 8 * j, 1);
  for (int c = 0; c < 8; ++c) pass<false>(kAanPass2, t + c, 8, out + c, 8);
}

void natural_samples(const int16_t* coef, int16_t* out) {
  int16_t g[64];  // g[8v + x]
  for (int v = 0; v < 8; ++v) pass<false>(kNaturalPass1, coef + 8 * v, 1, g + 8 * v, 1);
  for (int x = 0; x < 8; ++x) pass<false>(kNaturalPass2, g + x, 8, out + x, 8);
}

inline void put16(int16_t* dst, int32_t step, int row, int col, int32_t v) {
  const int16_t s = int16_t(v);
  std::memcpy(reinterpret_cast<uint8_t*>(dst) + std::ptrdiff_t(row) * step + 2 * col, &s, 2);
}

template <int Path>
void inv8u(const int16_t* coef, uint8_t* dst, int32_t step) {
  int16_t s[64];
  aan_samples<Path>(coef, s);
  for (int r = 0; r < 8; ++r)
    for (int c = 0; c < 8; ++c) dst[std::ptrdiff_t(r) * step + c] = uint8_t(clamp(s[8 * r + c], 0, 255));
}

template <int Path>
void inv16s(const int16_t* coef, int16_t* dst, int32_t step) {
  int16_t s[64];
  aan_samples<Path>(coef, s);
  for (int r = 0; r < 8; ++r)
    for (int c = 0; c < 8; ++c) put16(dst, step, r, c, clamp(s[8 * r + c], -256, 255));
}

template <int Path0, int Path1>
void inv8u_p2(const int16_t* coef0, const int16_t* coef1, uint8_t* dst, int32_t step) {
  int16_t s0[64], s1[64];
  aan_samples<Path0>(coef0, s0);
  aan_samples<Path1>(coef1, s1);
  for (int r = 0; r < 8; ++r)
    for (int c = 0; c < 8; ++c) {
      dst[std::ptrdiff_t(r) * step + 2 * c] = uint8_t(clamp(s0[8 * r + c], 0, 255));
      dst[std::ptrdiff_t(r) * step + 2 * c + 1] = uint8_t(clamp(s1[8 * r + c], 0, 255));
    }
}

template <int Path0, int Path1>
void inv16s_p2(const int16_t* coef0, const int16_t* coef1, int16_t* dst, int32_t step) {
  int16_t s0[64], s1[64];
  aan_samples<Path0>(coef0, s0);
  aan_samples<Path1>(coef1, s1);
  for (int r = 0; r < 8; ++r)
    for (int c = 0; c < 8; ++c) {
      put16(dst, step, r, 2 * c, clamp(s0[8 * r + c], -256, 255));
      put16(dst, step, r, 2 * c + 1, clamp(s1[8 * r + c], -256, 255));
    }
}

// A set channel: clamp(coefficient 0 >> 3) everywhere; else the natural-order
// inverse DCT.
template <bool Set>
void or_set_samples(const int16_t* coef, int16_t* out) {
  if (Set) {
    for (int i = 0; i < 64; ++i) out[i] = int16_t(coef[0] >> 3);
  } else {
    natural_samples(coef, out);
  }
}

template <int Flags>
void or_set(const int16_t* coef0, const int16_t* coef1, uint8_t* dst, int32_t step) {
  int16_t s0[64], s1[64];
  or_set_samples<(Flags & 2) != 0>(coef0, s0);
  or_set_samples<(Flags & 1) != 0>(coef1, s1);
  for (int r = 0; r < 8; ++r)
    for (int c = 0; c < 8; ++c) {
      dst[std::ptrdiff_t(r) * step + 2 * c] = uint8_t(clamp(s0[8 * r + c], 0, 255));
      dst[std::ptrdiff_t(r) * step + 2 * c + 1] = uint8_t(clamp(s1[8 * r + c], 0, 255));
    }
}

void natural(const int16_t* coef, int16_t* dst) {
  int16_t s[64];
  natural_samples(coef, s);
  for (int i = 0; i < 64; ++i) dst[i] = int16_t(clamp(s[i], -256, 255));
}

void fwd_block(const int16_t* p, int16_t* out) {
  int16_t g[64];  // g[8v + x]
  for (int x = 0; x < 8; ++x) pass<true>(kFwdPass1, p + x, 8, g + x, 8);
  for (int v = 0; v < 8; ++v) pass<true>(kFwdPass2, g + 8 * v, 1, out + 8 * v, 1);
}

void fwd_c2p2(const uint8_t* src, int32_t step, int16_t* dst0, int16_t* dst1) {
  int16_t p0[64], p1[64];
  for (int r = 0; r < 8; ++r)
    for (int c = 0; c < 8; ++c) {
      p0[8 * r + c] = src[std::ptrdiff_t(r) * step + 2 * c];
      p1[8 * r + c] = src[std::ptrdiff_t(r) * step + 2 * c + 1];
    }
  fwd_block(p0, dst0);
  fwd_block(p1, dst1);
}

template <int I>
constexpr void fill_p2(DctMpeg2Kernels& k) {
  if constexpr (I < kAanPaths16s * kAanPaths16s) {
    k.inv16s_p2[I] = inv16s_p2<I / kAanPaths16s, I % kAanPaths16s>;
    if constexpr (I < kAanPaths8u * kAanPaths8u) k.inv8u_p2[I] = inv8u_p2<I / kAanPaths8u, I % kAanPaths8u>;
    fill_p2<I + 1>(k);
  }
}

constexpr DctMpeg2Kernels make_c_table() {
  DctMpeg2Kernels k{};
  k.inv8u = {inv8u<kAanFull>, inv8u<kAanCorner>, inv8u<kAanDc>};
  k.inv16s = {inv16s<kAanFull>, inv16s<kAanCorner>, inv16s<kAanDc>, inv16s<kAanZero>};
  fill_p2<0>(k);
  k.or_set = {or_set<0>, or_set<1>, or_set<2>, or_set<3>};
  k.natural = natural;
  k.fwd_c2p2 = fwd_c2p2;
  return k;
}

}  // namespace

constexpr DctMpeg2Kernels kDctMpeg2KernelsC = make_c_table();

}  // namespace kvn
