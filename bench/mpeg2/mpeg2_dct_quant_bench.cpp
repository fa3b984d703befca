// The MPEG-2 quantiser and DCT kernels per kernel-table level: the scalar
// reference, then each SIMD level whose table has a kernel of its own. The
// in-place quantisers copy a fresh 128-byte block before each call (at every
// level alike).
#include <benchmark/benchmark.h>

#include <string>

#include "mpeg2/dct_mpeg2.h"
#include "mpeg2/mpeg2_dct_quant_data.h"
#include "mpeg2/quant_mpeg2.h"
#include "support/bench_levels.h"
#include "support/bench_support.h"

namespace {

using namespace kvn;
using kvnbench::Mpeg2Blocks;

constexpr int kStep = Mpeg2Blocks::kStep;
const char* const kPaths[4] = {"full", "corner", "dc", "zero"};

void register_all(Mpeg2Blocks& b) {
  const DctMpeg2Kernels& (*d)(Isa) = dct_mpeg2_kernels;
  const QuantMpeg2Kernels& (*q)(Isa) = quant_mpeg2_kernels;
  for (int p = 0; p < kAanPaths8u; ++p) {
    kvnbench::add_levels(
        std::string("DCT8x8Inv_AANTransposed_16s8u_C1R/") + kPaths[p], d,
        [p](const DctMpeg2Kernels& k) { return k.inv8u[size_t(p)]; }, [&b](Aan8uFn fn) { fn(b.coef, b.out8, kStep); });
    kvnbench::add_levels(
        std::string("DCT8x8Inv_AANTransposed_16s_C1R/") + kPaths[p], d,
        [p](const DctMpeg2Kernels& k) { return k.inv16s[size_t(p)]; },
        [&b](Aan16sFn fn) { fn(b.coef, b.out16, 2 * kStep); });
    kvnbench::add_levels(
        std::string("DCT8x8Inv_AANTransposed_16s8u_P2C2R/") + kPaths[p], d,
        [p](const DctMpeg2Kernels& k) { return k.inv8u_p2[size_t(p * kAanPaths8u + p)]; },
        [&b](Aan8uP2Fn fn) { fn(b.coef, b.coef2, b.out8, kStep); });
    kvnbench::add_levels(
        std::string("DCT8x8Inv_AANTransposed_16s_P2C2R/") + kPaths[p], d,
        [p](const DctMpeg2Kernels& k) { return k.inv16s_p2[size_t(p * kAanPaths16s + p)]; },
        [&b](Aan16sP2Fn fn) { fn(b.coef, b.coef2, b.out16, 2 * kStep); });
  }
  kvnbench::add_levels(
      "DCT8x8InvOrSet_16s8u_P2C2/idct", d, [](const DctMpeg2Kernels& k) { return k.or_set[0]; },
      [&b](OrSetFn fn) { fn(b.coef, b.coef2, b.out8, kStep); });
  kvnbench::add_levels(
      "DCT8x8InvOrSet_16s8u_P2C2/set", d, [](const DctMpeg2Kernels& k) { return k.or_set[3]; },
      [&b](OrSetFn fn) { fn(b.coef, b.coef2, b.out8, kStep); });
  kvnbench::add_levels(
      "DCT8x8Fwd_8u16s_C2P2", d, [](const DctMpeg2Kernels& k) { return k.fwd_c2p2; },
      [&b](FwdC2P2Fn fn) { fn(b.samples, kStep, b.coef, b.coef2); });

  kvnbench::add_levels(
      "Quant_MPEG2/weights", q, [](const QuantMpeg2Kernels& k) { return k.quant_float; },
      [&b](QuantFloatFn fn) { benchmark::DoNotOptimize(fn(b.fresh(), 2.0f, b.recip)); });
  kvnbench::add_levels(
      "Quant_MPEG2/reciprocal", q, [](const QuantMpeg2Kernels& k) { return k.quant_recip; },
      [&b](QuantRecipFn fn) { benchmark::DoNotOptimize(fn(b.fresh(), quant_mpeg2::reciprocal(Mpeg2Blocks::kQ))); });
  kvnbench::add_levels(
      "QuantIntra_MPEG2", q, [](const QuantMpeg2Kernels& k) { return k.quant_float_intra; },
      [&b](QuantFloatFn fn) { benchmark::DoNotOptimize(fn(b.fresh(), 2.0f, quant_mpeg2::kDefaultIntraRecip)); });
  kvnbench::add_levels(
      "QuantInv_MPEG2", q, [](const QuantMpeg2Kernels& k) { return k.inv; },
      [&b](QuantInvFn fn) { fn(b.fresh(), Mpeg2Blocks::kQ, b.weights); });
  kvnbench::add_levels(
      "QuantInvIntra_MPEG2", q, [](const QuantMpeg2Kernels& k) { return k.inv_intra; },
      [&b](QuantInvFn fn) { fn(b.fresh(), Mpeg2Blocks::kQ, b.weights); });
}

}  // namespace

int main(int argc, char** argv) {
  static Mpeg2Blocks blocks;
  register_all(blocks);
  return kvnbench::run(argc, argv);
}
