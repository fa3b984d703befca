// H.264 CAVLC encoding analysis of 4x4 blocks, SSE4.1 (with SSSE3 shuffles):
// counts from bit masks in scan order, runs and 16-bit levels by shuffles,
// without a branch per coefficient (cavlc_encode_simd.h).
#include <immintrin.h>

#include "h264/cavlc/cavlc_encode.h"
#include "h264/cavlc/cavlc_encode_simd.h"
#include "tables/h264_cavlc_tables.h"

namespace kvn {
namespace KVN_ISA {
namespace {

using namespace cavlc;

bool block16s(const int16_t* coef, int start, const int32_t* scan, int end, const CavlcCounts& out, int16_t* levels,
              uint8_t* runs) {
  __m128i order;
  if (!scan_order(scan, start, end, order)) return false;
  const __m128i c0 = load<16>(coef), c1 = load<16>(coef + 8);
  Analysis a;
  if (!analyse(flags(c0, c1), order, start, end, out, a)) return true;
  store_prefix8(runs, a.runs, a.tc - 1);
  store_levels16(levels, c0, c1, a.raster, a.tc - a.t1);
  return true;
}

// 32-bit levels: taken one by one at the raster positions.
bool block32s(const int32_t* coef, int start, const int32_t* scan, int end, const CavlcCounts& out, int32_t* levels,
              uint8_t* runs) {
  __m128i order;
  if (!scan_order(scan, start, end, order)) return false;
  __m128i c[4];
  for (int i = 0; i < 4; ++i) c[i] = load<16>(coef + 4 * i);
  Analysis a;
  if (!analyse(flags(c), order, start, end, out, a)) return true;
  store_prefix8(runs, a.runs, a.tc - 1);
  alignas(16) uint8_t raster[16];
  _mm_store_si128(reinterpret_cast<__m128i*>(raster), a.raster);
  for (int j = 0; j < a.tc - a.t1; ++j) levels[j] = coef[raster[j]];
  return true;
}

}  // namespace
}  // namespace KVN_ISA

constexpr void cavlc_encode_init_sse41(CavlcEncodeKernels& k) {
  k.block16s = KVN_ISA::block16s;
  k.block32s = KVN_ISA::block32s;
}

KVN_LEVEL_KERNELS(cavlc_encode, CavlcEncodeKernels);

}  // namespace kvn
