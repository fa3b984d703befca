// Scalar reference kernels of the squared-error costs, written straight from
// the prediction formulas (block_pred.h, rounding up).
#include "ssd.h"

namespace kvn {
namespace {

inline uint32_t square(int d) { return uint32_t(d * d); }

template <int N, int Code>
KvnResult ssd_c(const uint8_t* src, int32_t ss, const uint8_t* ref, int32_t rs, uint32_t* out) {
  uint32_t sum = 0;
  for (int y = 0; y < N; ++y, src += ss, ref += rs)
    for (int x = 0; x < N; ++x) sum += square(src[x] - predict<Code, 1>(ref, rs, x, 0));
  *out = sum;
  return KVN_STS_OK;
}

template <int Code1, int Code2>
KvnResult ssd_b16x16_c(const uint8_t* src, int32_t ss, const uint8_t* r1, int32_t s1, const uint8_t* r2, int32_t s2,
                       uint32_t* out) {
  uint32_t sum = 0;
  for (int y = 0; y < 16; ++y, src += ss, r1 += s1, r2 += s2)
    for (int x = 0; x < 16; ++x) {
      const int p = (predict<Code1, 1>(r1, s1, x, 0) + predict<Code2, 1>(r2, s2, x, 0) + 1) >> 1;
      sum += square(src[x] - p);
    }
  *out = sum;
  return KVN_STS_OK;
}

struct Kernels {
  template <int N, int Code>
  static constexpr SsdFn one = ssd_c<N, Code>;
  template <int Code1, int Code2>
  static constexpr SsdBFn two = ssd_b16x16_c<Code1, Code2>;
};

constexpr SsdKernels make_c_table() {
  SsdKernels k{};
  k.ssd[kSsd4x4] = make_table<SsdSlots<Kernels, 4>, 4>();
  k.ssd[kSsd8x8] = make_table<SsdSlots<Kernels, 8>, 4>();
  k.ssd[kSsd16x16] = make_table<SsdSlots<Kernels, 16>, 4>();
  k.ssd_b16x16 = make_table<SsdBSlots<Kernels>, 16>();
  return k;
}

}  // namespace

constexpr SsdKernels kSsdKernelsC = make_c_table();

}  // namespace kvn
