// Scalar reference kernels of H.264 weighted prediction (8.4.2.3), exact for
// every parameter: products and sums in 64 bits, then the shift, the offset
// and the clamp of weigh(). The fast slots unpack their parameters and run
// the same loops. The SIMD kernels are checked against these.
#include <cstddef>
#include <utility>

#include "h264/inter/weight.h"

namespace kvn {
namespace {

template <class T>
T* row(T* p, int32_t step, int32_t y) {
  return p + std::ptrdiff_t(step) * y;
}

template <class T>
void uni_c(T* p, int32_t step, int32_t width, int32_t height, const WeightArgs& a) {
  for (int32_t y = 0; y < height; ++y) {
    T* r = row(p, step, y);
    for (int32_t x = 0; x < width; ++x) {
      const int c = x & 1;
      r[x] = T(weigh(int64_t(r[x]) * a.w1[c], a.shift, a.offset[c], a.max_value));
    }
  }
}

template <class T>
void bi_c(const T* s1, int32_t step1, const T* s2, int32_t step2, T* d, int32_t stepD, int32_t width, int32_t height,
          const WeightArgs& a) {
  for (int32_t y = 0; y < height; ++y) {
    const T* r1 = row(s1, step1, y);
    const T* r2 = row(s2, step2, y);
    T* rd = row(d, stepD, y);
    for (int32_t x = 0; x < width; ++x) {
      const int c = x & 1;
      const int64_t sum = int64_t(r1[x]) * a.w1[c] + int64_t(r2[x]) * a.w2[c];
      rd[x] = T(weigh(sum, a.shift, a.offset[c], a.max_value));
    }
  }
}

void bi16_exact(const KvnBidirRecord16u& r, const WeightArgs& a) {
  bi_c(r.pSrc1, r.src1Step, r.pSrc2, r.src2Step, r.pDst, r.dstStep, r.roiSize.width, r.roiSize.height, a);
}

template <int W, int H>
void uni8_c(uint8_t* p, int32_t step, uint32_t weights, int32_t shift) {
  uni_c(p, step, W, H, unpack8_one(weights, shift));
}

template <int W, int H>
void bi8_c(const uint8_t* s1, int32_t step1, const uint8_t* s2, int32_t step2, uint8_t* d, int32_t stepD,
           uint32_t weights, uint32_t offsets, int32_t shift) {
  bi_c(s1, step1, s2, step2, d, stepD, W, H, unpack8(weights, offsets, shift));
}

template <int W, int H>
void uni16_c(uint16_t* p, int32_t step, uint32_t weights, int32_t, int32_t offset, int32_t shiftMax) {
  uni_c(p, step, W, H, unpack16(weights, offset, shiftMax));
}

template <int W, int H>
void bi16_c(const KvnBidirRecord16u& r, uint32_t weights, int32_t, int32_t offset, int32_t shiftMax) {
  bi_c(r.pSrc1, r.src1Step, r.pSrc2, r.src2Step, r.pDst, r.dstStep, W, H, unpack16(weights, offset, shiftMax));
}

template <int W>
void average16_c(const KvnBidirRecord16u& r, int32_t maxValue) {
  for (int32_t y = 0; y < r.roiSize.height; ++y) {
    const uint16_t* r1 = row(r.pSrc1, r.src1Step, y);
    const uint16_t* r2 = row(r.pSrc2, r.src2Step, y);
    uint16_t* rd = row(r.pDst, r.dstStep, y);
    for (int32_t x = 0; x < W; ++x) rd[x] = average16(r1[x], r2[x], maxValue);
  }
}

template <int W>
constexpr void fill_width(WeightKernels& k) {
  constexpr int wi = __builtin_ctz(W) - 1;
  k.uni8[wi][0] = uni8_c<W, 2>, k.uni8[wi][1] = uni8_c<W, 4>, k.uni8[wi][2] = uni8_c<W, 8>;
  k.uni8[wi][3] = uni8_c<W, 16>;
  k.bi8[wi][0] = bi8_c<W, 2>, k.bi8[wi][1] = bi8_c<W, 4>, k.bi8[wi][2] = bi8_c<W, 8>, k.bi8[wi][3] = bi8_c<W, 16>;
  if constexpr (W <= 16) {
    k.uni16[wi][0] = uni16_c<W, 2>, k.uni16[wi][1] = uni16_c<W, 4>, k.uni16[wi][2] = uni16_c<W, 8>;
    k.uni16[wi][3] = uni16_c<W, 16>;
    k.bi16[wi][0] = bi16_c<W, 2>, k.bi16[wi][1] = bi16_c<W, 4>, k.bi16[wi][2] = bi16_c<W, 8>;
    k.bi16[wi][3] = bi16_c<W, 16>;
  }
}

template <int... W>
constexpr void fill_average(WeightKernels& k, std::integer_sequence<int, W...>) {
  ((k.average16[W] = average16_c<W + 2>), ...);
}

constexpr WeightKernels make_c_table() {
  WeightKernels k{};
  fill_width<2>(k);
  fill_width<4>(k);
  fill_width<8>(k);
  fill_width<16>(k);
  fill_width<32>(k);
  fill_average(k, std::make_integer_sequence<int, 15>());
  k.bi8_any = bi_c<uint8_t>;
  k.uni8_exact = uni_c<uint8_t>;
  k.bi8_exact = bi_c<uint8_t>;
  k.uni16_exact = uni_c<uint16_t>;
  k.bi16_exact = bi16_exact;
  return k;
}

}  // namespace

const WeightKernels kWeightKernelsC = make_c_table();

}  // namespace kvn
