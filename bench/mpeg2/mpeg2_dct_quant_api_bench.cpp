// The MPEG-2 quantiser and DCT exported calls, whole: entry stub, checks,
// path choice, kernel (pairs of calls where a codec makes them together).
#include <benchmark/benchmark.h>

#include <string>

#include "kvnvc.h"
#include "mpeg2/mpeg2_dct_quant_data.h"
#include "support/bench_api.h"
#include "support/bench_support.h"

namespace {

using kvnbench::Mpeg2Blocks;

constexpr int kStep = Mpeg2Blocks::kStep;
constexpr int kQ = Mpeg2Blocks::kQ;

void register_all(Mpeg2Blocks& b) {
  const int counts[3] = {40, 5, 0};
  const char* const names[3] = {"full", "corner", "dc"};
  for (int p = 0; p < 3; ++p) {
    const int n = counts[p];
    kvnbench::add_api(std::string("DCT8x8Inv_AANTransposed_16s8u_C1R/") + names[p],
                      [&b, n] { return kvniDCT8x8Inv_AANTransposed_16s8u_C1R(b.coef, b.out8, kStep, n); });
    kvnbench::add_api(std::string("DCT8x8Inv_AANTransposed_16s_C1R/") + names[p],
                      [&b, n] { return kvniDCT8x8Inv_AANTransposed_16s_C1R(b.coef, b.out16, 2 * kStep, n); });
    kvnbench::add_api(std::string("DCT8x8Inv_AANTransposed_16s8u_P2C2R/") + names[p], [&b, n] {
      return kvniDCT8x8Inv_AANTransposed_16s8u_P2C2R(b.coef, b.coef2, b.out8, kStep, n, n);
    });
    kvnbench::add_api(std::string("DCT8x8Inv_AANTransposed_16s_P2C2R/") + names[p], [&b, n] {
      return kvniDCT8x8Inv_AANTransposed_16s_P2C2R(b.coef, b.coef2, b.out16, 2 * kStep, n, n);
    });
  }
  kvnbench::add_api("DCT8x8InvOrSet_16s8u_P2C2/idct",
                    [&b] { return kvniDCT8x8InvOrSet_16s8u_P2C2(b.coef, b.coef2, b.out8, kStep, 0); });
  kvnbench::add_api("DCT8x8Fwd_8u16s_C2P2",
                    [&b] { return kvniDCT8x8Fwd_8u16s_C2P2(b.samples, kStep, b.coef, b.coef2); });
  kvnbench::add_api("Quant_MPEG2/weights", [&b] {
    int32_t n;
    const KvnResult r = kvniQuant_MPEG2_16s_C1I(b.fresh(), kQ, b.recip, &n);
    benchmark::DoNotOptimize(n);
    return r;
  });
  kvnbench::add_api("QuantInv_MPEG2", [&b] { return kvniQuantInv_MPEG2_16s_C1I(b.fresh(), kQ, b.weights); });
  kvnbench::add_api("FwdDctQuantIntraInvIdct", [&b] {
    int32_t n;
    kvniDCT8x8Fwd_8u16s_C2P2(b.samples, kStep, b.coef, b.coef2);
    kvniQuantIntra_MPEG2_16s_C1I(b.coef, kQ, nullptr, &n);
    kvniQuantInvIntra_MPEG2_16s_C1I(b.coef, kQ, b.weights);
    return kvniDCT8x8InvOrSet_16s8u_P2C2(b.coef, b.coef2, b.out8, kStep, 1);
  });
}

}  // namespace

int main(int argc, char** argv) {
  static Mpeg2Blocks blocks;
  register_all(blocks);
  return kvnbench::run(argc, argv);
}
