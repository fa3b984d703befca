// Every SIMD kernel of the MPEG-1/2 DCT family against its scalar reference,
// and the accuracy of the inverse DCTs by the IEEE 1180 procedure.
#include <cmath>
#include <cstdio>
#include <string>

#include "mpeg2/dct_mpeg2.h"
#include "support/harness.h"

namespace {

using namespace kvn;
using kvntest::Area;
using kvntest::Fill;
using kvntest::Rng;

constexpr int kTrials = 6;

// Coefficient blocks of several kinds: any 16-bit value, extremes, the range
// of inverse-quantised MPEG-2 coefficients, small and sparse ones.
void fill_coefficients(Rng& rng, int16_t* c, int kind) {
  for (int i = 0; i < 64; ++i) {
    switch (kind) {
      case 0: c[i] = int16_t(rng.u32()); break;
      case 1: {
        static const int16_t kEdge[] = {-32768, 32767, -32767, 2047, -2048, 255, -256, 0};
        c[i] = kEdge[rng.range(0, 7)];
        break;
      }
      case 2: c[i] = int16_t(rng.range(-2048, 2047)); break;
      case 3: c[i] = int16_t(rng.range(-300, 300)); break;
      default: c[i] = rng.one_in(6) ? int16_t(rng.range(-400, 400)) : int16_t(0); break;
    }
  }
  if (kind == 4) c[0] = int16_t(rng.range(-2048, 2047));
}
constexpr int kKinds = 5;

// A coefficient block at an even offset 0..14 past a 16-byte boundary,
// allocated to its last byte.
Area coefficients(Rng& rng, int align) {
  Area a(128, 1, 128, align & ~1);
  fill_coefficients(rng, a.as<int16_t>(), rng.range(0, kKinds - 1));
  return a;
}

// An output of `rows` rows of rowBytes at a random positive step (even for
// 16-bit samples) inside guard bytes.
Area output(Rng& rng, int rowBytes, int align, bool even) {
  int step = kvntest::random_step(rng, rowBytes, false);
  if (even) step += step & 1;
  Area a(rowBytes, 8, step, even ? align & ~1 : align, 32);
  a.fill(rng, Fill::kRandom);
  return a;
}

template <class Fn, class Call>
void compare(Fn ref, Fn simd, Area& out, Call&& call, const std::string& what) {
  const Area before(out);
  Area want(out);
  call(ref, want);
  call(kvntest::note_compared(simd), out);
  ASSERT_TRUE(kvntest::same_area(before, want, out)) << what;
}

class DctMpeg2Diff : public ::testing::TestWithParam<Isa> {
 protected:
  const DctMpeg2Kernels& c = kDctMpeg2KernelsC;
  const DctMpeg2Kernels& s() const { return dct_mpeg2_kernels(GetParam()); }
  Rng rng = kvntest::rng_for(::testing::UnitTest::GetInstance()->current_test_info()->name());
  std::string tag(const char* fn, int index, int align) const {
    return std::string(fn) + "[" + std::to_string(index) + "] align " + std::to_string(align) + " " +
           isa_name(GetParam()) + " " + kvntest::seed_note();
  }
};

TEST_P(DctMpeg2Diff, TransposedInverseOneChannel) {
  for (int align = 0; align < 16; ++align)
    for (int t = 0; t < kTrials; ++t) {
      const Area coef = coefficients(rng, rng.range(0, 15));
      for (int p = 0; p < kAanPaths8u; ++p) {
        if (c.inv8u[size_t(p)] == s().inv8u[size_t(p)]) continue;
        Area out = output(rng, 8, align, false);
        compare(
            c.inv8u[size_t(p)], s().inv8u[size_t(p)], out,
            [&](Aan8uFn f, Area& o) { f(coef.as<int16_t>(), o.origin(), o.step()); }, tag("inv8u", p, align));
      }
      for (int p = 0; p < kAanPaths16s; ++p) {
        if (c.inv16s[size_t(p)] == s().inv16s[size_t(p)]) continue;
        Area out = output(rng, 16, align, true);
        compare(
            c.inv16s[size_t(p)], s().inv16s[size_t(p)], out,
            [&](Aan16sFn f, Area& o) { f(coef.as<int16_t>(), o.as<int16_t>(), o.step()); }, tag("inv16s", p, align));
      }
    }
}

TEST_P(DctMpeg2Diff, TransposedInverseTwoChannels) {
  for (int align = 0; align < 16; ++align)
    for (int t = 0; t < kTrials; ++t) {
      const Area c0 = coefficients(rng, rng.range(0, 15)), c1 = coefficients(rng, align);
      for (size_t p = 0; p < c.inv8u_p2.size(); ++p) {
        if (c.inv8u_p2[p] == s().inv8u_p2[p]) continue;
        Area out = output(rng, 16, align, false);
        compare(
            c.inv8u_p2[p], s().inv8u_p2[p], out,
            [&](Aan8uP2Fn f, Area& o) { f(c0.as<int16_t>(), c1.as<int16_t>(), o.origin(), o.step()); },
            tag("inv8u_p2", int(p), align));
      }
      for (size_t p = 0; p < c.inv16s_p2.size(); ++p) {
        if (c.inv16s_p2[p] == s().inv16s_p2[p]) continue;
        Area out = output(rng, 32, align, true);
        compare(
            c.inv16s_p2[p], s().inv16s_p2[p], out,
            [&](Aan16sP2Fn f, Area& o) { f(c0.as<int16_t>(), c1.as<int16_t>(), o.as<int16_t>(), o.step()); },
            tag("inv16s_p2", int(p), align));
      }
    }
}

TEST_P(DctMpeg2Diff, NaturalInverseAndOrSet) {
  for (int align = 0; align < 16; ++align)
    for (int t = 0; t < kTrials; ++t) {
      const Area c0 = coefficients(rng, align), c1 = coefficients(rng, rng.range(0, 15));
      for (size_t f = 0; f < c.or_set.size(); ++f) {
        if (c.or_set[f] == s().or_set[f]) continue;
        Area out = output(rng, 16, align, false);
        compare(
            c.or_set[f], s().or_set[f], out,
            [&](OrSetFn fn, Area& o) { fn(c0.as<int16_t>(), c1.as<int16_t>(), o.origin(), o.step()); },
            tag("or_set", int(f), align));
      }
      if (c.natural != s().natural) {
        Area out(128, 1, 128, align & ~1, 32);
        out.fill(rng, Fill::kRandom);
        compare(
            c.natural, s().natural, out, [&](NaturalFn fn, Area& o) { fn(c0.as<int16_t>(), o.as<int16_t>()); },
            tag("natural", 0, align));
      }
    }
}

TEST_P(DctMpeg2Diff, Forward) {
  if (c.fwd_c2p2 == s().fwd_c2p2) return;
  for (int align = 0; align < 16; ++align)
    for (int t = 0; t < 4 * kTrials; ++t) {
      Area src(16, 8, kvntest::random_step(rng, 16, false), align);
      src.fill(rng, kvntest::kAllFills[rng.range(0, 4)]);
      Area want0(128, 1, 128, 2 * rng.range(0, 7), 32), want1(128, 1, 128, align & ~1, 32);
      want0.fill(rng, Fill::kRandom);
      want1.fill(rng, Fill::kRandom);
      const Area before0(want0), before1(want1);
      Area got0(want0), got1(want1);
      c.fwd_c2p2(src.origin(), src.step(), want0.as<int16_t>(), want1.as<int16_t>());
      kvntest::note_compared(s().fwd_c2p2)(src.origin(), src.step(), got0.as<int16_t>(), got1.as<int16_t>());
      ASSERT_TRUE(kvntest::same_area(before0, want0, got0)) << tag("fwd_c2p2", 0, align);
      ASSERT_TRUE(kvntest::same_area(before1, want1, got1)) << tag("fwd_c2p2", 1, align);
    }
}

INSTANTIATE_TEST_SUITE_P(Simd, DctMpeg2Diff, ::testing::ValuesIn(kvntest::simd_levels()),
                         [](const ::testing::TestParamInfo<Isa>& i) { return std::string(isa_name(i.param)); });
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(DctMpeg2Diff);

// ---------------------------------------------------------------------------
// IEEE 1180-1990 accuracy: 10000 blocks of random samples in [-L, H] per
// range, their double-precision forward DCT rounded and clamped to
// -2048..2047 as input, the double-precision inverse DCT rounded and clamped
// to -256..255 as the reference; each range also with the samples negated.

double basis(int k, int n) {
  const double pi = 3.14159265358979323846;
  return 0.5 * (k == 0 ? std::sqrt(0.5) : 1.0) * std::cos((2 * n + 1) * k * pi / 16);
}

// The separable double-precision DCT of a row-major 8x8 block: forward
// (samples to coefficients 8v + u) or inverse.
void dct2(const double* in, double* out, bool forward) {
  double t[64];
  for (int r = 0; r < 8; ++r)  // along the rows
    for (int o = 0; o < 8; ++o) {
      double s = 0;
      for (int i = 0; i < 8; ++i) s += in[8 * r + i] * (forward ? basis(o, i) : basis(i, o));
      t[8 * r + o] = s;
    }
  for (int c = 0; c < 8; ++c)  // along the columns
    for (int o = 0; o < 8; ++o) {
      double s = 0;
      for (int i = 0; i < 8; ++i) s += t[8 * i + c] * (forward ? basis(o, i) : basis(i, o));
      out[8 * o + c] = s;
    }
}

struct Ieee1180 {
  int peak = 0;
  double pixel_mse_max = 0, overall_mse = 0, pixel_mean_max = 0, overall_mean = 0;
  bool zero_ok = true;

  bool passes() const {
    return peak <= 1 && pixel_mse_max <= 0.06 && overall_mse <= 0.02 && pixel_mean_max <= 0.015 &&
           std::fabs(overall_mean) <= 0.0015 && zero_ok;
  }
  std::string text() const {
    char b[200];
    std::snprintf(b, sizeof b, "peak %d, pixel mse %.4f, overall mse %.5f, pixel mean %.4f, overall mean %+.5f%s", peak,
                  pixel_mse_max, overall_mse, pixel_mean_max, overall_mean, zero_ok ? "" : ", zero block fails");
    return b;
  }
};

// idct(natural-order coefficients, samples out, clamped to -256..255).
template <class Idct>
Ieee1180 ieee1180(int lo, int hi, bool negate, Idct idct) {
  constexpr int kBlocks = 10000;
  Rng rng(0x1180u + uint64_t(hi) * 7 + (negate ? 1 : 0));
  double err[64] = {}, sq[64] = {};
  Ieee1180 r;
  for (int b = 0; b < kBlocks; ++b) {
    double x[64], coefD[64];
    for (double& v : x) v = rng.range(-lo, hi) * (negate ? -1 : 1);
    int16_t coef[64], out[64];
    double f[64];
    dct2(x, f, true);
    for (int i = 0; i < 64; ++i) {
      const double q = std::floor(f[i] + 0.5);
      coef[i] = int16_t(q < -2048 ? -2048 : q > 2047 ? 2047 : q);
    }
    for (int i = 0; i < 64; ++i) coefD[i] = coef[i];
    idct(coef, out);
    double samples[64];
    dct2(coefD, samples, false);
    for (int i = 0; i < 64; ++i) {
      double ref = std::floor(samples[i] + 0.5);
      ref = ref < -256 ? -256 : ref > 255 ? 255 : ref;
      const int e = out[i] - int(ref);
      r.peak = std::max(r.peak, std::abs(e));
      err[i] += e;
      sq[i] += e * e;
    }
  }
  for (int i = 0; i < 64; ++i) {
    r.pixel_mse_max = std::max(r.pixel_mse_max, sq[i] / kBlocks);
    r.pixel_mean_max = std::max(r.pixel_mean_max, std::fabs(err[i]) / kBlocks);
    r.overall_mse += sq[i] / (64.0 * kBlocks);
    r.overall_mean += err[i] / (64.0 * kBlocks);
  }
  int16_t zero[64] = {}, out[64];
  idct(zero, out);
  for (int16_t v : out) r.zero_ok = r.zero_ok && v == 0;
  return r;
}

struct Range {
  int lo, hi;
};
constexpr Range kRanges[] = {{256, 255}, {5, 5}, {300, 300}};

// The natural-order inverse DCT of the chosen level meets every limit.
TEST(DctMpeg2Accuracy, NaturalInverseMeetsIeee1180) {
  const NaturalFn f = dct_mpeg2_kernels().natural;
  for (const Range& rg : kRanges)
    for (bool neg : {false, true}) {
      const Ieee1180 r = ieee1180(rg.lo, rg.hi, neg, f);
      std::printf("natural-order IDCT, [-%d, %d]%s: %s\n", rg.lo, rg.hi, neg ? " negated" : "", r.text().c_str());
      EXPECT_TRUE(r.passes()) << r.text();
    }
}

// The transposed inverse DCT's arithmetic is fixed (one bit of fraction
// after its first pass, +0.625 before the final shift): its figures are
// reported; the bounds only catch a wrong basis or orientation.
TEST(DctMpeg2Accuracy, TransposedInverseFigures) {
  const Aan16sFn f = dct_mpeg2_kernels().inv16s[kAanFull];
  const auto transposed = [f](const int16_t* coef, int16_t* out) {
    int16_t t[64];
    for (int v = 0; v < 8; ++v)
      for (int u = 0; u < 8; ++u) t[8 * u + v] = coef[8 * v + u];
    f(t, out, 16);
  };
  for (const Range& rg : kRanges)
    for (bool neg : {false, true}) {
      const Ieee1180 r = ieee1180(rg.lo, rg.hi, neg, transposed);
      std::printf("transposed IDCT, [-%d, %d]%s: %s\n", rg.lo, rg.hi, neg ? " negated" : "", r.text().c_str());
      EXPECT_LE(r.peak, 2) << r.text();
      EXPECT_LE(r.overall_mse, 0.5) << r.text();
    }
}

// The forward DCT against the double-precision one, and back through the
// natural-order inverse DCT.
TEST(DctMpeg2Accuracy, ForwardDct) {
  kvntest::TestRng rng;
  const DctMpeg2Kernels& k = dct_mpeg2_kernels();
  int worst = 0, worstBack = 0;
  long mismatches = 0;
  for (int b = 0; b < 4000; ++b) {
    uint8_t src[128];
    const int kind = b % 3;
    for (int i = 0; i < 128; ++i)
      src[i] = kind == 0 ? rng.byte() : kind == 1 ? uint8_t(rng.coin() ? 255 : 0) : uint8_t(100 + rng.range(0, 40));
    int16_t f[2][64];
    k.fwd_c2p2(src, 16, f[0], f[1]);
    double exact[2][64];
    for (int ch = 0; ch < 2; ++ch) {
      double x[64];
      for (int i = 0; i < 64; ++i) x[i] = src[2 * i + ch];
      dct2(x, exact[ch], true);
    }
    for (int ch = 0; ch < 2; ++ch)
      for (int v = 0; v < 8; ++v)
        for (int u = 0; u < 8; ++u) {
          const int e = std::abs(f[ch][8 * v + u] - int(std::floor(exact[ch][8 * v + u] + 0.5)));
          worst = std::max(worst, e);
          mismatches += e != 0;
        }
    uint8_t back[128];
    k.or_set[0](f[0], f[1], back, 16);
    for (int i = 0; i < 128; ++i) worstBack = std::max(worstBack, std::abs(back[i] - src[i]));
  }
  std::printf(
      "forward DCT: largest error %d, %.5f of the coefficients differ from the rounded exact DCT; "
      "round trip largest error %d\n",
      worst, double(mismatches) / (4000.0 * 128), worstBack);
  EXPECT_LE(worst, 1);
  EXPECT_LE(worstBack, 1);
}

}  // namespace
