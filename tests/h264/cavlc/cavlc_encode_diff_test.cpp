// The SIMD kernels of the CAVLC encoding analysis against the scalar
// reference: random blocks of every density with extreme values, zigzag and
// random scans, every start/end pair, scans with entries outside the block
// (inside and outside the range), and every output entry compared (so that a
// kernel writing more than the counted entries fails).
#include <algorithm>
#include <cstring>
#include <limits>
#include <string>
#include <utility>

#include "h264/cavlc/cavlc_encode.h"
#include "support/harness.h"

namespace {

using namespace kvn;
using kvntest::Rng;

template <class T>
struct Outcome {
  uint8_t c[4];
  T levels[18];
  uint8_t runs[18];
  bool ok;
};

template <class T, class Fn>
Outcome<T> call(Fn fn, const T* coef, int start, const int32_t* scan, int end) {
  Outcome<T> r;
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

// One instance per SIMD level, named after it; each test draws from its own
// generator.
class CavlcEncodeDiff : public ::testing::TestWithParam<Isa> {
 protected:
  Rng rng = kvntest::rng_for(::testing::UnitTest::GetInstance()->current_test_info()->name());

  template <class T, class Fn>
  void compare(Fn CavlcEncodeKernels::*slot) {
    const int32_t zigzag[16] = {0, 1, 4, 8, 5, 2, 3, 6, 9, 12, 13, 10, 7, 11, 14, 15};
    const Fn ref = kCavlcEncodeKernelsC.*slot, simd = cavlc_encode_kernels(GetParam()).*slot;
    if (ref == simd) GTEST_SKIP() << "no kernel of its own";
    for (int trial = 0; trial < 3000; ++trial) {
      T coef[16];
      const int density = rng.range(0, 16);
      for (T& v : coef) v = random_value<T>(rng, density);
      int32_t scan[16];
      std::copy(zigzag, zigzag + 16, scan);
      if (trial % 2)
        for (int i = 15; i > 0; --i) std::swap(scan[i], scan[rng.range(0, i)]);
      if (trial % 17 == 0) scan[rng.range(0, 15)] = rng.coin() ? 16 + rng.range(0, 300) : -rng.range(1, 1 << 30);
      const int start = rng.range(0, 15), end = rng.range(start, 15);
      const Outcome<T> a = call(ref, coef, start, scan, end);
      const Outcome<T> b = call(kvntest::note_compared(simd), coef, start, scan, end);
      ASSERT_TRUE(a.ok == b.ok && !std::memcmp(a.c, b.c, sizeof a.c) &&
                  !std::memcmp(a.levels, b.levels, sizeof a.levels) && !std::memcmp(a.runs, b.runs, sizeof a.runs))
          << isa_name(GetParam()) << " trial " << trial << " start " << start << " end " << end << " "
          << kvntest::seed_note();
    }
  }
};

TEST_P(CavlcEncodeDiff, Block16s) { compare<int16_t>(&CavlcEncodeKernels::block16s); }
TEST_P(CavlcEncodeDiff, Block32s) { compare<int32_t>(&CavlcEncodeKernels::block32s); }

INSTANTIATE_TEST_SUITE_P(Levels, CavlcEncodeDiff, ::testing::ValuesIn(kvntest::simd_levels()),
                         [](const ::testing::TestParamInfo<Isa>& i) { return std::string(isa_name(i.param)); });
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(CavlcEncodeDiff);

}  // namespace
