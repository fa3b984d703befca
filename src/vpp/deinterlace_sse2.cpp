// SSE2 edge-directed deinterlacing, sixteen samples a step: unsigned byte
// differences (saturating subtractions), strict comparisons as
// min(p, q) != q, the rounded averages by pavgb. The last step of a row
// overlaps the one before it instead of running past the row; rows of fewer
// than 18 samples go sample by sample.
#include <emmintrin.h>

#include "simd/loads.h"
#include "vpp/deinterlace.h"

namespace kvn {
namespace KVN_ISA {
namespace {

using V = __m128i;

inline V absdiff(V p, V q) { return _mm_or_si128(_mm_subs_epu8(p, q), _mm_subs_epu8(q, p)); }
// All ones where p < q.
inline V less(V p, V q) { return _mm_xor_si128(_mm_cmpeq_epi8(_mm_min_epu8(p, q), q), _mm_set1_epi8(-1)); }
inline V select(V m, V t, V f) { return _mm_or_si128(_mm_and_si128(m, t), _mm_andnot_si128(m, f)); }

// Samples x .. x + 15 (reads a and b at x - 1 .. x + 16).
inline void step16(const uint8_t* a, const uint8_t* b, uint8_t* d, int x) {
  const V al = load<16>(a + x - 1), ac = load<16>(a + x), ar = load<16>(a + x + 1);
  const V bl = load<16>(b + x - 1), bc = load<16>(b + x), br = load<16>(b + x + 1);
  const V d1 = absdiff(al, br), d2 = absdiff(ar, bl), d3 = absdiff(ac, bc);
  const V diag = select(less(d1, d2), _mm_avg_epu8(al, br), _mm_avg_epu8(ar, bl));
  store<16>(d + x, select(less(_mm_min_epu8(d1, d2), d3), diag, _mm_avg_epu8(ac, bc)));
}

void edge_row(const uint8_t* a, const uint8_t* b, const uint8_t* same, uint8_t* d, int width) {
  const uint8_t first = same[0], last = same[width - 1];
  if (width >= 18) {
    int x = 1;
    for (; x + 16 <= width - 1; x += 16) step16(a, b, d, x);
    if (x < width - 1) step16(a, b, d, width - 17);
  } else {
    for (int x = 1; x < width - 1; ++x) d[x] = deinterlace::edge_sample(a, b, x);
  }
  d[0] = first;
  d[width - 1] = last;
}

}  // namespace
}  // namespace KVN_ISA

constexpr void deinterlace_init_sse2(DeinterlaceKernels& k) { k.edge_row = KVN_ISA::edge_row; }

KVN_LEVEL_KERNELS(deinterlace, DeinterlaceKernels);

}  // namespace kvn
