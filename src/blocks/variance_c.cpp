// Scalar reference kernels of the variance and activity measures, written
// straight from their formulas.
#include <cstdlib>
#include <cstring>

#include "variance.h"
#include "block_pred.h"

namespace kvn {
namespace {

template <class T>
inline int32_t sample(const uint8_t* row, int x) {
  T v;
  std::memcpy(&v, row + x * int(sizeof(T)), sizeof v);  // rows of 16-bit samples may be unaligned
  return v;
}

KvnResult variance16x16_c(const uint8_t* src, int32_t step, int32_t* var) {
  uint32_t s = 0, q = 0;
  for (int y = 0; y < 16; ++y, src += step)
    for (int x = 0; x < 16; ++x) {
      s += src[x];
      q += uint32_t(src[x] * src[x]);
    }
  *var = variance_from_sums(q, s);
  return KVN_STS_OK;
}

KvnResult var_mean8x8_c(const uint8_t* src, int32_t step, int32_t* var, int32_t* sum) {
  int32_t s = 0, q = 0;
  for (int y = 0; y < 8; ++y, src += step)
    for (int x = 0; x < 8; ++x) {
      s += src[x];
      q += src[x] * src[x];
    }
  return store_var_mean(q, s, var, sum);
}

inline int16_t add_saturated(int16_t a, int32_t b) {
  const int32_t v = a + b;
  return int16_t(v < -32768 ? -32768 : v > 32767 ? 32767 : v);
}

// Signed 16-bit samples: each column is summed row by row with signed 16-bit
// saturation, and the eight column sums are added in 32 bits. The squares are
// formed by horizontal pairs, x0 * x0 + x1 * x1, and accumulated, all modulo
// 2^32 (so a pair of -32768 wraps to -2^31; the order of the additions does not
// matter modulo 2^32). Q is then read as signed.
KvnResult var_mean8x8_16s_c(const int16_t* src, int32_t step, int32_t* var, int32_t* sum) {
  const uint8_t* row = reinterpret_cast<const uint8_t*>(src);
  int16_t column[8] = {};
  uint32_t q = 0;
  for (int y = 0; y < 8; ++y, row += step)
    for (int x = 0; x < 8; x += 2) {
      const int32_t x0 = sample<int16_t>(row, x), x1 = sample<int16_t>(row, x + 1);
      column[x] = add_saturated(column[x], x0);
      column[x + 1] = add_saturated(column[x + 1], x1);
      q += uint32_t(x0 * x0) + uint32_t(x1 * x1);
    }
  int32_t s = 0;
  for (int16_t c : column) s += c;
  return store_var_mean(int32_t(q), s, var, sum);
}

// 16 wide, H rows: the 8x8 blocks in raster order.
template <int H, int Code>
KvnResult var_mean_diff_c(const uint8_t* src, int32_t ss, const uint8_t* ref, int32_t rs, const int32_t* srcSum,
                          int32_t* var, int32_t* mean) {
  constexpr int kBlocks = H / 4;
  int32_t predSum[kBlocks] = {};
  uint32_t q[kBlocks] = {};
  for (int y = 0; y < H; ++y, src += ss, ref += rs)
    for (int x = 0; x < 16; ++x) {
      const int b = (y / 8) * 2 + x / 8;
      const int p = predict<Code, 1>(ref, rs, x, 0);
      const int d = src[x] - p;
      predSum[b] += p;
      q[b] += uint32_t(d * d);
    }
  return var_mean_diff_finish<kBlocks>(srcSum, predSum, q, var, mean);
}

// Mean rounded half up, m = (S + N/2) / N, then the sum of |x - m|.
template <int N>
KvnResult mean_abs_dev_c(const uint8_t* src, int32_t step, int32_t* dev) {
  int32_t s = 0;
  const uint8_t* row = src;
  for (int y = 0; y < N; ++y, row += step)
    for (int x = 0; x < N; ++x) s += row[x];
  const int32_t m = (s + N * N / 2) / (N * N);
  int32_t sum = 0;
  for (int y = 0; y < N; ++y, src += step)
    for (int x = 0; x < N; ++x) sum += std::abs(src[x] - m);
  *dev = sum;
  return KVN_STS_OK;
}

// A position (x, y) < 15 is an edge when its right or lower neighbour differs
// by more than the threshold. The count is tested after each row, and the
// search stops as soon as it exceeds the count threshold.
template <class T>
bool edges16x16(const uint8_t* src, int32_t step, int32_t diffThreshold, int32_t countThreshold) {
  int32_t count = 0;
  for (int y = 0; y < 15; ++y, src += step) {
    for (int x = 0; x < 15; ++x) {
      const int32_t p = sample<T>(src, x);
      if (std::abs(p - sample<T>(src, x + 1)) > diffThreshold || std::abs(p - sample<T>(src + step, x)) > diffThreshold)
        ++count;
    }
    if (count > countThreshold) return true;
  }
  return false;
}

KvnResult edges16x16_c(const uint8_t* src, int32_t step, int32_t diffThreshold, int32_t countThreshold, uint8_t* flag) {
  *flag = edges16x16<uint8_t>(src, step, diffThreshold, countThreshold);
  return KVN_STS_OK;
}

KvnResult edges16x16_16u_c(const uint16_t* src, int32_t step, int32_t diffThreshold, int32_t countThreshold,
                           uint32_t* flag) {
  *flag = edges16x16<uint16_t>(reinterpret_cast<const uint8_t*>(src), step, diffThreshold, countThreshold);
  return KVN_STS_OK;
}

template <int H>
struct VarMeanDiffGen {
  template <std::size_t I>
  static constexpr VarMeanDiffFn get() {
    return var_mean_diff_c<H, kModeCode[I]>;
  }
};

constexpr VarianceKernels make_c_table() {
  VarianceKernels k{};
  k.variance16x16 = variance16x16_c;
  k.var_mean8x8 = var_mean8x8_c;
  k.var_mean8x8_16s = var_mean8x8_16s_c;
  k.var_mean_diff[kVmd16x16] = make_table<VarMeanDiffGen<16>, 4>();
  k.var_mean_diff[kVmd16x8] = make_table<VarMeanDiffGen<8>, 4>();
  k.mean_abs_dev16x16 = mean_abs_dev_c<16>;
  k.mean_abs_dev8x8 = mean_abs_dev_c<8>;
  k.edges16x16 = edges16x16_c;
  k.edges16x16_16u = edges16x16_16u_c;
  return k;
}

}  // namespace

constexpr VarianceKernels kVarianceKernelsC = make_c_table();

}  // namespace kvn
