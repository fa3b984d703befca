// SSE2 kernels of the block average (pavgb) and the border expansion.
//
// Average: widths 2, 4, 8 and 16 take one load per source and one store a
// row; the others cover the row with two overlapping pieces of the next lower
// of those widths, both computed before either is stored, so a destination
// that is one of the sources is still read first.
// Expansion: the borders are broadcast stores (overlapping at the ends), the
// rows above and below are copied whole.
#include <emmintrin.h>

#include <cstring>

#include "h264/inter/interp_chroma.h"
#include "simd/loads.h"

namespace kvn {
namespace KVN_ISA {
namespace {

template <int W>
inline void average_row(const uint8_t* a, const uint8_t* b, uint8_t* d) {
  constexpr int N = W >= 16 ? 16 : W >= 8 ? 8 : W >= 4 ? 4 : 2;
  if constexpr (W == N) {
    store<N>(d, _mm_avg_epu8(load<N>(a), load<N>(b)));
  } else {
    const __m128i lo = _mm_avg_epu8(load<N>(a), load<N>(b));
    const __m128i hi = _mm_avg_epu8(load<N>(a + W - N), load<N>(b + W - N));
    store<N>(d, lo);
    store<N>(d + W - N, hi);
  }
}

// Two rows a step.
template <int W>
void average(const uint8_t* a, ptrdiff_t as, const uint8_t* b, ptrdiff_t bs, uint8_t* d, ptrdiff_t ds, int h) {
  for (int y = 1; y < h; y += 2, a += 2 * as, b += 2 * bs, d += 2 * ds) {
    average_row<W>(a, b, d);
    average_row<W>(a + as, b + bs, d + ds);
  }
  if (h & 1) average_row<W>(a, b, d);
}

// n bytes of value v at p.
inline void fill(uint8_t* p, ptrdiff_t n, uint8_t v) {
  if (n >= 16) {
    const __m128i x = _mm_set1_epi8(char(v));
    ptrdiff_t i = 0;
    for (; i + 16 <= n; i += 16) store<16>(p + i, x);
    if (i < n) store<16>(p + n - 16, x);
    return;
  }
  const uint64_t x = v * 0x0101010101010101ull;
  if (n >= 8) {
    std::memcpy(p, &x, 8);
    std::memcpy(p + n - 8, &x, 8);
  } else if (n >= 4) {
    std::memcpy(p, &x, 4);
    std::memcpy(p + n - 4, &x, 4);
  } else if (n >= 2) {
    std::memcpy(p, &x, 2);
    std::memcpy(p + n - 2, &x, 2);
  } else if (n == 1) {
    *p = v;
  }
}

struct ExpandOps {
  static void copy(uint8_t* d, const uint8_t* s, ptrdiff_t n) { std::memcpy(d, s, size_t(n)); }
  static void sides(uint8_t* row, int32_t width, int32_t border) {
    const uint8_t left = row[0], right = row[width - 1];
    fill(row - border, border, left);
    fill(row + width, border, right);
  }
};

void expand(uint8_t* plane, int32_t width, int32_t height, ptrdiff_t step, int32_t border, int32_t fieldMode) {
  expand_plane<ExpandOps>(plane, width, height, step, border, fieldMode);
}

}  // namespace
}  // namespace KVN_ISA

constexpr void interp_chroma_init_sse2(InterpChromaKernels& k) {
  const AverageFn avg[kAverageWidths] = {
      KVN_ISA::average<2>,  KVN_ISA::average<3>,  KVN_ISA::average<4>,  KVN_ISA::average<5>,  KVN_ISA::average<6>,
      KVN_ISA::average<7>,  KVN_ISA::average<8>,  KVN_ISA::average<9>,  KVN_ISA::average<10>, KVN_ISA::average<11>,
      KVN_ISA::average<12>, KVN_ISA::average<13>, KVN_ISA::average<14>, KVN_ISA::average<15>, KVN_ISA::average<16>};
  for (int i = 0; i < kAverageWidths; ++i) k.average[i] = avg[i];
  k.expand = KVN_ISA::expand;
}

KVN_LEVEL_KERNELS(interp_chroma, InterpChromaKernels);

}  // namespace kvn
