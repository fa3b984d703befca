// Half-sample prediction rules of the block layer (ISO/IEC 14496-2 7.6.2,
// ISO/IEC 13818-2 7.6.4), shared by the scalar kernels and the table builders.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>

namespace kvn {

// Half-sample code: 0 full sample, 1 horizontal, 2 vertical, 3 both.
// Reference interpolation mode index (mode & 12) / 4 -> half-sample code.
constexpr int kModeCode[4] = {0, 2, 1, 3};

// One prediction sample at column x of the row r. Dx is the distance to the
// horizontal neighbour: 1, or 2 in interleaved (Cb, Cr) chroma.
template <int Code, int Dx>
inline int predict(const uint8_t* r, std::ptrdiff_t step, int x, int round) {
  switch (Code) {
    case 0: return r[x];
    case 1: return (r[x] + r[x + Dx] + 1 - round) >> 1;
    case 2: return (r[x] + r[x + step] + 1 - round) >> 1;
    default: return (r[x] + r[x + Dx] + r[x + step] + r[x + step + Dx] + 2 - round) >> 2;
  }
}

inline uint8_t clamp_u8(int64_t v) { return uint8_t(v < 0 ? 0 : v > 255 ? 255 : v); }

// Sum in 16-bit arithmetic with wrap-around, read as signed, then clamped: the
// arithmetic of the Add members (a residual near 32767 wraps to a negative sum).
inline uint8_t add_wrap16_u8(int p, int e) { return clamp_u8(int16_t(uint16_t(p + e))); }

// Builds std::array{ F<0>, F<1>, ..., F<N-1> } from a generator with a
// templated static function `get<I>()`.
template <class Gen, std::size_t... I>
constexpr auto make_table(std::index_sequence<I...>) {
  using Fn = decltype(Gen::template get<0>());
  return std::array<Fn, sizeof...(I)>{{Gen::template get<I>()...}};
}
template <class Gen, std::size_t N>
constexpr auto make_table() {
  return make_table<Gen>(std::make_index_sequence<N>());
}

}  // namespace kvn
