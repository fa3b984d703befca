// Reference padding for motion compensation (H.264 8.4.2.2): a reference
// sample outside the picture takes the value of the nearest edge sample.
// The interpolation functions copy the region a filter needs into a small
// buffer with clamped coordinates, then run the ordinary kernel on it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace kvn::h264 {

// Inclusive bounds of the rows or columns that exist; the others are padded.
struct EdgeRange {
  int64_t lo;
  int64_t hi;
  int64_t clamp(int64_t v) const { return v < lo ? lo : (v > hi ? hi : v); }
};

inline constexpr EdgeRange kUnbounded{INT64_MIN / 4, INT64_MAX / 4};

// Copies the w x h region whose top-left is (x0, y0), relative to base, into
// dst; a position (x, y) reads base at (cols.clamp(x), rows.clamp(y)).
// Channels > 1: interleaved samples, x and w count sample groups (a chroma
// pair for 2), so every channel is clamped to its own edge sample.
// Steps are in elements of T.
template <typename T, int Channels = 1>
inline void copy_clamped(const T* base, ptrdiff_t step, int64_t x0, int64_t y0, int w, int h, EdgeRange cols,
                         EdgeRange rows, T* dst, ptrdiff_t dstStep) {
  // Columns [x0, x0 + w) split into a left pad, an inside run and a right pad.
  const int64_t inLo = x0 < cols.lo ? cols.lo : x0;
  const int64_t inHi = x0 + w - 1 > cols.hi ? cols.hi : x0 + w - 1;
  int left, run;
  int64_t first;      // first column read from the row
  if (inLo > inHi) {  // entirely left or right of the picture: one column
    left = x0 + w - 1 < cols.lo ? w : 0;
    run = 0;
    first = cols.clamp(x0);
  } else {
    left = static_cast<int>(inLo - x0);
    run = static_cast<int>(inHi - inLo + 1);
    first = inLo;
  }
  const int right = w - left - run;
  for (int y = 0; y < h; ++y) {
    const T* row = base + rows.clamp(y0 + y) * step;
    T* out = dst + y * dstStep;
    const T* leftSample = row + cols.clamp(x0) * Channels;
    for (int i = 0; i < left; ++i)
      for (int c = 0; c < Channels; ++c) out[i * Channels + c] = leftSample[c];
    out += left * Channels;
    if (run > 0) {
      std::memcpy(out, row + first * Channels, sizeof(T) * Channels * run);
      out += run * Channels;
    }
    const T* rightSample = row + cols.clamp(x0 + w - 1) * Channels;
    for (int i = 0; i < right; ++i)
      for (int c = 0; c < Channels; ++c) out[i * Channels + c] = rightSample[c];
  }
}

// True when the w x h region at (x0, y0) reaches outside cols x rows.
inline bool crosses_edge(int64_t x0, int64_t y0, int w, int h, EdgeRange cols, EdgeRange rows) {
  return x0 < cols.lo || x0 + w - 1 > cols.hi || y0 < rows.lo || y0 + h - 1 > rows.hi;
}

}  // namespace kvn::h264
