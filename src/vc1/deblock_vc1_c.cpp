// Scalar reference kernels of the VC-1 loop filter, line by line from the
// steps of deblock_vc1.h (SMPTE 421M 8.6.4).
#include <cstddef>
#include <cstdlib>

#include "vc1/deblock_vc1.h"

namespace kvn {
namespace {

using std::ptrdiff_t;

struct Line {
  bool conditions;  // |a0| < pquant, a3 < |a0|, clip != 0
  int d, clip;
};

// The line whose P5 is at s[0], P4 at s[-d], P6 at s[d], ...
inline Line examine(const uint8_t* s, ptrdiff_t d, uint32_t pquant) {
  const int p1 = s[-4 * d], p2 = s[-3 * d], p3 = s[-2 * d], p4 = s[-d];
  const int p5 = s[0], p6 = s[d], p7 = s[2 * d], p8 = s[3 * d];
  Line l{false, 0, 0};
  const int a0 = (2 * (p3 - p6) - 5 * (p4 - p5) + 4) >> 3;
  if (uint32_t(std::abs(a0)) >= pquant) return l;
  const int a1 = (2 * (p1 - p4) - 5 * (p2 - p3) + 4) >> 3;
  const int a2 = (2 * (p5 - p8) - 5 * (p6 - p7) + 4) >> 3;
  const int a3 = std::abs(a1) < std::abs(a2) ? std::abs(a1) : std::abs(a2);
  if (a3 >= std::abs(a0)) return l;
  const int sign = a0 < 0 ? -1 : 1;
  l.d = 5 * (sign * a3 - a0) / 8;
  l.clip = (p4 - p5) / 2;
  l.conditions = l.clip != 0;
  return l;
}

inline uint8_t clamp8(int v) { return uint8_t(v < 0 ? 0 : v > 255 ? 255 : v); }

inline void apply(uint8_t* s, ptrdiff_t d, Line l) {
  if (!l.conditions || (l.d < 0 && l.clip > 0) || (l.d > 0 && l.clip < 0)) return;
  int dd = l.d;
  if (std::abs(dd) > std::abs(l.clip)) dd = l.clip;
  s[-d] = clamp8(s[-d] - dd);
  s[0] = clamp8(s[0] + dd);
}

// `lines` lines, `along` bytes apart, samples `across` bytes apart.
void edge(uint8_t* p, ptrdiff_t along, ptrdiff_t across, int lines, uint32_t pquant, uint32_t segOff) {
  for (int seg = 0; seg < lines / 4; ++seg) {
    if (segOff >> seg & 1) continue;
    uint8_t* s = p + 4 * seg * along;
    if (!examine(s + 2 * along, across, pquant).conditions) continue;  // the third line decides
    for (int i = 0; i < 4; ++i) apply(s + i * along, across, examine(s + i * along, across, pquant));
  }
}

template <int Lines, bool Vertical>
void plane(uint8_t* p, int32_t step, uint32_t pquant, uint32_t segOff) {
  edge(p, Vertical ? step : 1, Vertical ? 1 : step, Lines, pquant, segOff);
}

template <bool Vertical>
void c2(uint8_t* p, int32_t step, uint32_t pquant, uint32_t segOff0, uint32_t segOff1) {
  for (int c = 0; c < 2; ++c) edge(p + c, Vertical ? step : 2, Vertical ? 2 : step, 8, pquant, c ? segOff1 : segOff0);
}

}  // namespace

constexpr DeblockVc1Kernels kDeblockVc1KernelsC = {plane<16, false>, plane<16, true>, plane<8, false>,
                                                   plane<8, true>,   c2<false>,       c2<true>};

}  // namespace kvn
