// Scalar reference kernels of the VC-1 transforms, straight from the
// formulas of transform_vc1.h.
#include <cstring>

#include "tables/vc1_tables.h"
#include "vc1/transform_vc1.h"

namespace kvn {
namespace {

inline int16_t sat16(int32_t v) { return int16_t(v < -32768 ? -32768 : v > 32767 ? 32767 : v); }

// Rows are copied with memcpy: steps and addresses need not be even.
inline const char* row_of(const int16_t* p, int32_t step, int y) {
  return reinterpret_cast<const char*>(p) + int64_t(y) * step;
}
inline char* row_of(int16_t* p, int32_t step, int y) { return reinterpret_cast<char*>(p) + int64_t(y) * step; }

// One forward stage over n values at stride s.
void fwd_stage(const int16_t* in, int16_t* out, int n, int s, vc1::FwdStage st) {
  for (int k = 0; k < n; ++k) {
    uint32_t sum = uint32_t(st.round);
    for (int i = 0; i < n; ++i) sum += uint32_t((n == 4 ? vc1::kFwd4[k][i] : vc1::kFwd8[k][i]) * int32_t(in[i * s]));
    out[k * s] = sat16(int32_t(sum) >> st.shift);
  }
}

template <int W, int H>
void fwd(const int16_t* src, int32_t srcStep, int16_t* dst, int32_t dstStep) {
  int16_t t[H][W], u[H][W];
  for (int y = 0; y < H; ++y) std::memcpy(t[y], row_of(src, srcStep, y), sizeof t[y]);
  for (int y = 0; y < H; ++y) fwd_stage(t[y], u[y], W, 1, W == 4 ? vc1::kFwdRow4 : vc1::kFwdRow8);
  for (int x = 0; x < W; ++x) fwd_stage(&u[0][x], &t[0][x], H, W, H == 4 ? vc1::kFwdCol4 : vc1::kFwdCol8);
  for (int y = 0; y < H; ++y) std::memcpy(row_of(dst, dstStep, y), t[y], sizeof t[y]);
}

// One inverse stage over n values at stride s: rounding r, and r + lower for
// the lower half of the outputs.
void inv_stage(const int16_t* in, int16_t* out, int n, int s, int32_t r, int32_t lower, int shift) {
  for (int m = 0; m < n; ++m) {
    int32_t sum = m < n / 2 ? r : r + lower;
    for (int k = 0; k < n; ++k) sum += (n == 4 ? vc1::kInv4[k][m] : vc1::kInv8[k][m]) * int32_t(in[k * s]);
    out[m * s] = sat16(sum >> shift);
  }
}

template <int W, int H>
void inv(const int16_t* src, int32_t srcStep, int16_t* dst, int32_t dstStep, int32_t w, int32_t h) {
  int16_t t[H][W] = {}, u[H][W];
  for (int y = 0; y < h; ++y) std::memcpy(t[y], row_of(src, srcStep, y), size_t(w) * 2);
  for (int y = 0; y < H; ++y) inv_stage(t[y], u[y], W, 1, 4, 0, 3);
  for (int x = 0; x < W; ++x) inv_stage(&u[0][x], &t[0][x], H, W, 64, H == 8 ? 1 : 0, 7);
  for (int y = 0; y < H; ++y) std::memcpy(row_of(dst, dstStep, y), t[y], sizeof t[y]);
}

template <int W, int H>
void inv_dc(const int16_t* src, int16_t* dst, int32_t dstStep) {
  inv<W, H>(src, 0, dst, dstStep, 1, 1);
}

}  // namespace

constexpr TransformVc1Kernels kTransformVc1KernelsC = {
    {fwd<4, 4>, fwd<4, 8>, fwd<8, 4>, fwd<8, 8>},
    {inv<4, 4>, inv<4, 8>, inv<8, 4>, inv<8, 8>},
    {inv<4, 4>, inv<4, 8>, inv<8, 4>, inv<8, 8>},
    {inv_dc<4, 4>, inv_dc<4, 8>, inv_dc<8, 4>, inv_dc<8, 8>},
};

}  // namespace kvn
