// SSSE3 kernels of the H.264 intra predictors (compiled for SSE4.1). The nine
// 4x4 modes (H.264 8.3.1.2) gather the neighbours in one register, form the
// two-tap and three-tap filters of every neighbour position at once, and pick
// each predicted sample with pshufb (intra4x4_simd.h); the 16x16 horizontal mode broadcasts each
// left sample with pshufb. Every block row is written by one store.
#include <smmintrin.h>

#include <cstring>

#include "h264/intra/intra.h"
#include "h264/intra/intra4x4_simd.h"
#include "simd/loads.h"

namespace kvn {
namespace KVN_ISA {
namespace {

inline void store4(uint8_t* p, uint32_t v) { std::memcpy(p, &v, 4); }

using intra4::edge;
using intra4::taps;

void p4_ver(uint8_t* b, std::ptrdiff_t s, int32_t a) {
  uint32_t top = 0x80808080u;
  if (a & kAvailTop) std::memcpy(&top, b - s, 4);
  for (int y = 0; y < 4; ++y) store4(b + y * s, top);
}
void p4_hor(uint8_t* b, std::ptrdiff_t s, int32_t a) {
  for (int y = 0; y < 4; ++y) store4(b + y * s, (a & kAvailLeft) ? b[y * s - 1] * 0x01010101u : 0x80808080u);
}
inline int byte_sum(uint32_t v) {
  const uint32_t pairs = (v & 0x00ff00ffu) + ((v >> 8) & 0x00ff00ffu);
  return int((pairs + (pairs >> 16)) & 0xffffu);
}
void p4_dc(uint8_t* b, std::ptrdiff_t s, int32_t a) {
  const bool t = a & kAvailTop, l = a & kAvailLeft;
  int st = 0, sl = 0;
  if (t) {
    uint32_t top;
    std::memcpy(&top, b - s, 4);
    st = byte_sum(top);
  }
  if (l) sl = b[-1] + b[s - 1] + b[2 * s - 1] + b[3 * s - 1];
  const int dc = t && l ? (st + sl + 4) >> 3 : t ? (st + 2) >> 2 : l ? (sl + 2) >> 2 : 128;
  for (int y = 0; y < 4; ++y) store4(b + y * s, uint32_t(dc) * 0x01010101u);
}
// Modes 3..8: the filtered neighbours picked by the mode's indices.
template <int Mode>
void p4_filtered(uint8_t* b, std::ptrdiff_t s, int32_t a) {
  store4x4(b, s, intra4::filtered<Mode>(taps(edge(b, s, a))));
}

// 16x16 horizontal: each left sample broadcast to a whole row (the column
// read before the first store, see hor in intra_pred.h).
void p16_hor(uint8_t* b, std::ptrdiff_t s, int32_t) {
  const __m128i zero = _mm_setzero_si128();
  uint8_t left[16];
  for (int y = 0; y < 16; ++y) left[y] = b[y * s - 1];
  for (int y = 0; y < 16; ++y, b += s) store<16>(b, _mm_shuffle_epi8(_mm_cvtsi32_si128(left[y]), zero));
}

}  // namespace
}  // namespace KVN_ISA

constexpr void intra_init_sse41(IntraKernels& k) {
  k.pred4x4[0] = KVN_ISA::p4_ver;
  k.pred4x4[1] = KVN_ISA::p4_hor;
  k.pred4x4[2] = KVN_ISA::p4_dc;
  k.pred4x4[3] = KVN_ISA::p4_filtered<3>;
  k.pred4x4[4] = KVN_ISA::p4_filtered<4>;
  k.pred4x4[5] = KVN_ISA::p4_filtered<5>;
  k.pred4x4[6] = KVN_ISA::p4_filtered<6>;
  k.pred4x4[7] = KVN_ISA::p4_filtered<7>;
  k.pred4x4[8] = KVN_ISA::p4_filtered<8>;
  k.pred16x16[1] = KVN_ISA::p16_hor;
}

KVN_LEVEL_KERNELS(intra, IntraKernels);

}  // namespace kvn
