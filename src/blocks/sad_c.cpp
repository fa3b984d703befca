// Scalar reference kernels of the SAD family, written straight from the
// formulas (sad.h). The SIMD kernels are checked against these.
#include <cstddef>
#include <cstring>

#include "sad.h"

namespace kvn {
namespace {

using std::ptrdiff_t;

inline int absdiff(int a, int b) { return a > b ? a - b : b - a; }

// 16-bit samples are read through byte pointers: neither pointers nor steps
// need to be even.
inline const uint8_t* bytes(const void* p) { return static_cast<const uint8_t*>(p); }
inline uint32_t sample16(const uint8_t* row, int x) {
  uint16_t v;
  std::memcpy(&v, row + 2 * x, 2);
  return v;
}
inline uint32_t sat16(uint32_t v) { return v > 0xffff ? 0xffff : v; }

// ---- 8-bit single-block SADs -------------------------------------------------

template <int W, int H, int Code, int Dx = 1>
uint32_t sad_c(const uint8_t* src, int32_t ss, const uint8_t* ref, int32_t rs) {
  uint32_t sum = 0;
  for (int y = 0; y < H; ++y, src += ss, ref += rs)
    for (int x = 0; x < W; ++x) sum += absdiff(src[x], predict<Code, Dx>(ref, rs, x, 0));
  return sum;
}

template <int Code>
void sad8x8_c2_c(const uint8_t* src, int32_t ss, const uint8_t* ref, int32_t rs, uint32_t sad[2]) {
  sad[0] = sad[1] = 0;
  for (int y = 0; y < 8; ++y, src += ss, ref += rs)
    for (int x = 0; x < 16; ++x) sad[x & 1] += absdiff(src[x], predict<Code, 2>(ref, rs, x, 0));
}

// ---- 16-bit SADs ----------------------------------------------------------------

// The reference sample of a half-sample code, with the saturating sums of sad.h.
template <int Code>
uint32_t predict16u(const uint8_t* r, ptrdiff_t step, int x) {
  const uint32_t a = sample16(r, x);
  switch (Code) {
    case 0: return a;
    case 1: return sat16(sat16(a + sample16(r, x + 1)) + 1) >> 1;
    case 2: return sat16(sat16(a + sample16(r + step, x)) + 1) >> 1;
    default: {
      const uint32_t top = sat16(a + sample16(r, x + 1));
      const uint32_t bottom = sat16(sample16(r + step, x) + sample16(r + step, x + 1));
      return sat16(sat16(top + bottom) + 2) >> 2;
    }
  }
}

// |s - p| as a signed 16-bit quantity.
inline int32_t signed_diff16(uint32_t s, uint32_t p) { return int16_t(uint16_t(s > p ? s - p : p - s)); }

template <int W, int H, int Code>
uint32_t sad16u_c(const uint16_t* src, int32_t ss, const uint16_t* ref, int32_t rs) {
  const uint8_t* s = bytes(src);
  const uint8_t* r = bytes(ref);
  int32_t sum = 0;
  for (int y = 0; y < H; ++y, s += ss, r += rs)
    for (int x = 0; x < W; ++x) sum += signed_diff16(sample16(s, x), predict16u<Code>(r, rs, x));
  return uint32_t(sum);
}

// ---- several candidates -----------------------------------------------------------

template <int W, int H>
void xn_c(const uint8_t* src, int32_t ss, const uint8_t* ref, int32_t rs, uint16_t* sads, int32_t n) {
  for (int32_t i = 0; i < n; ++i) sads[i] = uint16_t(sat16(sad_c<W, H, 0>(src, ss, ref + i, rs)));
}

// ---- sub-blocks ---------------------------------------------------------------------

template <int B>
void blocks_c(const uint8_t* src, int32_t ss, const uint8_t* ref, int32_t rs, uint16_t* sads) {
  for (int by = 0; by < 16 / B; ++by)
    for (int bx = 0; bx < 16 / B; ++bx) {
      const ptrdiff_t y = ptrdiff_t(by) * B;
      sads[by * (16 / B) + bx] = uint16_t(sad_c<B, B, 0>(src + y * ss + bx * B, ss, ref + y * rs + bx * B, rs));
    }
}

template <int B>
void blocks16u_c(const uint16_t* src, int32_t ss, const uint16_t* ref, int32_t rs, uint32_t* sads) {
  const ptrdiff_t srow = 2 * ptrdiff_t(ss >> 1), rrow = 2 * ptrdiff_t(rs >> 1);  // bytes
  for (int i = 0; i < (16 / B) * (16 / B); ++i) sads[i] = 0;
  for (int y = 0; y < 16; ++y) {
    const uint8_t* s = bytes(src) + y * srow;
    const uint8_t* r = bytes(ref) + y * rrow;
    for (int x = 0; x < 16; ++x)
      sads[(y / B) * (16 / B) + x / B] += uint32_t(signed_diff16(sample16(s, x), sample16(r, x)));
  }
}

// ---- frame / field activity ------------------------------------------------------

// Row i against row i + 1 within each 8-row half (not 7 against 8), and
// against row i + 2.
void frame_field_c(const uint8_t* p, int32_t step, uint32_t out[2]) {
  uint32_t frame = 0, field = 0;
  for (int i = 0; i < 15; ++i) {
    const uint8_t* r = p + ptrdiff_t(i) * step;
    for (int x = 0; x < 16; ++x) {
      if (i != 7) frame += absdiff(r[x], r[x + ptrdiff_t(step)]);
      if (i < 14) field += absdiff(r[x], r[x + 2 * ptrdiff_t(step)]);
    }
  }
  out[0] = frame;
  out[1] = field;
}

// Everything modulo 65536: the difference, its absolute value (|-32768| stays
// 0x8000) and both sums.
inline uint16_t absdiff16s(const uint8_t* a, const uint8_t* b, int x) {
  const uint16_t d = uint16_t(sample16(a, x) - sample16(b, x));
  return int16_t(d) < 0 ? uint16_t(-d) : d;
}

void frame_field16s_c(const int16_t* src, int32_t step, uint32_t out[2]) {
  const uint8_t* p = bytes(src);
  uint16_t frame = 0, field = 0;
  for (int i = 0; i < 15; ++i) {
    const uint8_t* r = p + ptrdiff_t(i) * step;
    for (int x = 0; x < 16; ++x) {
      if (i != 7) frame = uint16_t(frame + absdiff16s(r, r + step, x));
      if (i < 14) field = uint16_t(field + absdiff16s(r, r + 2 * ptrdiff_t(step), x));
    }
  }
  out[0] = frame;
  out[1] = field;
}

// ---- subtract and SAD ---------------------------------------------------------------

uint32_t sub_sad8x8_c(const uint8_t* s1, int32_t st1, const uint8_t* s2, int32_t st2, int16_t* diff, int32_t ds) {
  uint8_t* d = reinterpret_cast<uint8_t*>(diff);
  uint32_t sum = 0;
  for (int y = 0; y < 8; ++y, s1 += st1, s2 += st2, d += ds)
    for (int x = 0; x < 8; ++x) {
      const int16_t v = int16_t(s1[x] - s2[x]);
      std::memcpy(d + 2 * x, &v, 2);
      sum += absdiff(s1[x], s2[x]);
    }
  return sum;
}

constexpr SadKernels make_c_table() {
  SadKernels k{};
  k.sad[kSad16x16] = mode_table([](auto code) { return sad_c<16, 16, code>; });
  k.sad[kSad16x8] = mode_table([](auto code) { return sad_c<16, 8, code>; });
  k.sad[kSad8x8] = mode_table([](auto code) { return sad_c<8, 8, code>; });
  k.sad_full[kSad4x4] = sad_c<4, 4, 0>;
  k.sad_full[kSad8x4] = sad_c<8, 4, 0>;
  k.sad_full[kSad4x8] = sad_c<4, 8, 0>;
  k.sad_full[kSad8x16] = sad_c<8, 16, 0>;
  k.sad8x8_c2 = mode_table([](auto code) { return sad8x8_c2_c<code>; });
  k.sad16u[kSad16u16x16] = mode_table([](auto code) { return sad16u_c<16, 16, code>; });
  k.sad16u[kSad16u8x8] = mode_table([](auto code) { return sad16u_c<8, 8, code>; });
  k.sad16u[kSad16u4x4] = mode_table([](auto code) { return sad16u_c<4, 4, code>; });
  k.xn[kXn16x16] = xn_c<16, 16>;
  k.xn[kXn8x8] = xn_c<8, 8>;
  k.xn[kXn4x4] = xn_c<4, 4>;
  k.xn[kXn2x2] = xn_c<2, 2>;
  k.blocks8x8 = blocks_c<8>;
  k.blocks4x4 = blocks_c<4>;
  k.blocks8x8_16u = blocks16u_c<8>;
  k.blocks4x4_16u = blocks16u_c<4>;
  k.frame_field = frame_field_c;
  k.frame_field16s = frame_field16s_c;
  k.sub_sad8x8 = sub_sad8x8_c;
  return k;
}

}  // namespace

constexpr SadKernels kSadKernelsC = make_c_table();

}  // namespace kvn
