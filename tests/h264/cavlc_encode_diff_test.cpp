// The SIMD kernels of the CAVLC encoding analysis against the scalar
// reference: random blocks of every density with extreme values, zigzag and
// random scans, every start/end pair, scans with entries outside the block
// (inside and outside the range), and every output entry compared (so that a
// kernel writing more than the counted entries fails).
#include <algorithm>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "h264/cavlc_encode.h"
#include "support/harness.h"

namespace {

using namespace kvn;
using kvntest::Rng;

template <class T>
struct Run {
  uint8_t c[4];
  T levels[18];
  uint8_t runs[18];
  bool ok;
};

template <class T, class Fn>
Run<T> call(Fn fn, const T* coef, int start, const int32_t* scan, int end) {
  Run<T> r;
  std::memset(&r, 0xa5, sizeof r);
  r.ok = fn(coef, start, scan, end, CavlcCounts{&r.c[0], &r.c[1], &r.c[2], &r.c[3]}, r.levels + 1, r.runs + 1);
  return r;
}

template <class T>
T random_value(Rng& rng, int density) {
  if (rng.range(0, 15) >= density) return 0;
  switch (rng.range(0, 5)) {
    case 0: return T(rng.coin() ? 1 : -1);
    case 1: return T(rng.range(-3, 3));
    case 2: return T(rng.u32());
    case 3: return rng.coin() ? std::numeric_limits<T>::min() : std::numeric_limits<T>::max();
    default: return T(rng.range(-300, 300));
  }
}

template <class T>
void compare(Encode4x4_16sFn CavlcEncodeKernels::*slot16, Encode4x4_32sFn CavlcEncodeKernels::*slot32) {
  const int32_t zigzag[16] = {0, 1, 4, 8, 5, 2, 3, 6, 9, 12, 13, 10, 7, 11, 14, 15};
  Rng rng = kvntest::rng_for(::testing::UnitTest::GetInstance()->current_test_info()->name());
  for (Isa isa : kvntest::simd_levels()) {
    const CavlcEncodeKernels &ref = cavlc_encode_kernels(Isa::kScalar), &simd = cavlc_encode_kernels(isa);
    for (int trial = 0; trial < 3000; ++trial) {
      T coef[16];
      const int density = rng.range(0, 16);
      for (T& v : coef) v = random_value<T>(rng, density);
      int32_t scan[16];
      std::copy(zigzag, zigzag + 16, scan);
      if (trial % 2) std::shuffle(scan, scan + 16, std::mt19937(rng.u32()));
      if (trial % 17 == 0) scan[rng.range(0, 15)] = rng.coin() ? 16 + rng.range(0, 300) : -rng.range(1, 1 << 30);
      const int start = rng.range(0, 15), end = rng.range(start, 15);
      Run<T> a, b;
      if constexpr (sizeof(T) == 2) {
        a = call(ref.*slot16, coef, start, scan, end), b = call(simd.*slot16, coef, start, scan, end);
      } else {
        a = call(ref.*slot32, coef, start, scan, end), b = call(simd.*slot32, coef, start, scan, end);
      }
      ASSERT_TRUE(a.ok == b.ok && !std::memcmp(a.c, b.c, sizeof a.c) &&
                  !std::memcmp(a.levels, b.levels, sizeof a.levels) && !std::memcmp(a.runs, b.runs, sizeof a.runs))
          << isa_name(isa) << " trial " << trial << " start " << start << " end " << end << " " << kvntest::seed_note();
    }
  }
}

TEST(CavlcEncodeDiff, Block16s) { compare<int16_t>(&CavlcEncodeKernels::block16s, nullptr); }
TEST(CavlcEncodeDiff, Block32s) { compare<int32_t>(nullptr, &CavlcEncodeKernels::block32s); }

}  // namespace
