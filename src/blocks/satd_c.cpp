// Scalar reference kernels of the Hadamard costs, written straight from the
// definition: coefficient (u, v) of an N x N block is
//   sum over (x, y) of H(u, y) * d(x, y) * H(v, x),  H(i, j) = (-1)^popcount(i & j),
// computed as a row transform followed by a column transform.
#include <cstdlib>
#include <cstring>

#include "satd.h"

namespace kvn {
namespace {

constexpr int hadamard(int i, int j) { return (__builtin_popcount(unsigned(i & j)) & 1) ? -1 : 1; }

// Sum of |coefficients| of the N x N Hadamard transform of d (row-major).
// Every intermediate fits in 32 bits for differences of 16-bit samples.
template <int N>
uint32_t hadamard_abs_sum(const int32_t* d) {
  int32_t rows[N * N];
  for (int y = 0; y < N; ++y)
    for (int v = 0; v < N; ++v) {
      int32_t s = 0;
      for (int x = 0; x < N; ++x) s += hadamard(v, x) * d[y * N + x];
      rows[y * N + v] = s;
    }
  uint32_t sum = 0;
  for (int u = 0; u < N; ++u)
    for (int v = 0; v < N; ++v) {
      int32_t s = 0;
      for (int y = 0; y < N; ++y) s += hadamard(u, y) * rows[y * N + v];
      sum += uint32_t(std::abs(s));
    }
  return sum;
}

template <class T>
inline int32_t sample(const uint8_t* row, int x) {
  T v;
  std::memcpy(&v, row + x * int(sizeof(T)), sizeof v);  // rows of 16-bit samples may be unaligned
  return v;
}

// d of the N x N block at (x0, y0).
template <int N, class T>
void difference(const uint8_t* src, int32_t ss, const uint8_t* ref, int32_t rs, int x0, int y0, int32_t* d) {
  for (int y = 0; y < N; ++y) {
    const uint8_t* s = src + std::ptrdiff_t(y0 + y) * ss;
    const uint8_t* r = ref + std::ptrdiff_t(y0 + y) * rs;
    for (int x = 0; x < N; ++x) d[y * N + x] = sample<T>(s, x0 + x) - sample<T>(r, x0 + x);
  }
}

template <int W, int H>
KvnResult satd_c(const uint8_t* src, int32_t ss, const uint8_t* ref, int32_t rs, uint32_t* cost) {
  uint32_t sum = 0;
  int32_t d[16];
  for (int y = 0; y < H; y += 4)
    for (int x = 0; x < W; x += 4) {
      difference<4, uint8_t>(src, ss, ref, rs, x, y, d);
      sum += hadamard_abs_sum<4>(d);
    }
  *cost = sum;
  return KVN_STS_OK;
}

KvnResult sat8x8d_c(const uint8_t* src, int32_t ss, const uint8_t* ref, int32_t rs, uint32_t* cost) {
  int32_t d[64];
  difference<8, uint8_t>(src, ss, ref, rs, 0, 0, d);
  *cost = hadamard_abs_sum<8>(d);
  return KVN_STS_OK;
}

KvnResult sat8x8d_16u_c(const uint16_t* src, int32_t ss, const uint16_t* ref, int32_t rs, uint32_t* cost) {
  int32_t d[64];
  difference<8, uint16_t>(reinterpret_cast<const uint8_t*>(src), ss, reinterpret_cast<const uint8_t*>(ref), rs, 0, 0,
                          d);
  *cost = hadamard_abs_sum<8>(d);
  return KVN_STS_OK;
}

constexpr SatdKernels make_c_table() {
  SatdKernels k{};
  k.satd[kSatd4x4] = satd_c<4, 4>;
  k.satd[kSatd4x8] = satd_c<4, 8>;
  k.satd[kSatd8x4] = satd_c<8, 4>;
  k.satd[kSatd8x8] = satd_c<8, 8>;
  k.satd[kSatd8x16] = satd_c<8, 16>;
  k.satd[kSatd16x8] = satd_c<16, 8>;
  k.satd[kSatd16x16] = satd_c<16, 16>;
  k.sat8x8d = sat8x8d_c;
  k.sat8x8d_16u = sat8x8d_16u_c;
  return k;
}

}  // namespace

constexpr SatdKernels kSatdKernelsC = make_c_table();

}  // namespace kvn
