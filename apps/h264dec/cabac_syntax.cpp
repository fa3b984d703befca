#include "cabac_syntax.h"

namespace h264dec {
namespace cabac {

namespace {

// The intra mb_type bins after a prefix, or of I slices (Table 9-36): bin 0
// I_NxN or not, a terminate bin for I_PCM, then the Intra16x16 fields.
// I slices: ctxIdxOffset 3 (bins 3.. at 3 + 3..7); suffixes of P and B
// slices: offset 17 or 32 (bins at offset + 1..3).
int intra_type(CabacDecoder& d, int offset, int inc0, bool iSlice) {
  if (!d.decision(offset + inc0)) return 0;  // I_NxN
  if (d.terminate()) return 25;              // I_PCM
  const int luma = d.decision(offset + (iSlice ? 3 : 1));
  int chroma = d.decision(offset + (iSlice ? 4 : 2));
  if (chroma) chroma += d.decision(offset + (iSlice ? 5 : 2));
  int mode = d.decision(offset + (iSlice ? 6 : 3)) << 1;
  mode |= d.decision(offset + (iSlice ? 7 : 3));
  return 1 + mode + 4 * chroma + 12 * luma;
}

}  // namespace

int mb_type_i(CabacDecoder& d, int inc) { return intra_type(d, 3, inc, true); }

int mb_type_p(CabacDecoder& d) {
  // Table 9-37: P_L0_16x16 000, P_L0_L0_16x8 011, P_L0_L0_8x16 010, P_8x8 001; prefix 1: intra.
  if (d.decision(14)) return 5 + intra_type(d, 17, 0, false);
  if (!d.decision(15)) return d.decision(16) ? 3 : 0;
  return d.decision(17) ? 1 : 2;
}

int mb_type_b(CabacDecoder& d, int inc) {
  // Table 9-37: B_Direct_16x16 0, B_L0_16x16 100, B_L1_16x16 101, then six
  // bins 11xxxx (types 3..10 for 110xxx, 11 for 111110, B_8x8 111111, intra
  // prefix 111101) or seven bins 111xxxx (types 12..21).
  if (!d.decision(27 + inc)) return 0;
  if (!d.decision(27 + 3)) return 1 + d.decision(27 + 5);
  int bits = d.decision(27 + 4) << 3;
  bits |= d.decision(27 + 5) << 2;
  bits |= d.decision(27 + 5) << 1;
  bits |= d.decision(27 + 5);
  if (bits < 8) return 3 + bits;
  if (bits == 13) return 23 + intra_type(d, 32, 0, false);
  if (bits == 14) return 11;
  if (bits == 15) return 22;
  return (bits << 1 | d.decision(27 + 5)) - 4;
}

int sub_mb_type_p(CabacDecoder& d) {
  // Table 9-38: P_L0_8x8 1, P_L0_8x4 00, P_L0_4x8 011, P_L0_4x4 010.
  if (d.decision(21)) return 0;
  if (!d.decision(22)) return 1;
  return d.decision(23) ? 2 : 3;
}

int sub_mb_type_b(CabacDecoder& d) {
  // Table 9-38: B_Direct_8x8 0, 100 / 101 (types 1, 2), 110xx (3..6),
  // 1110xx (7..10), 1111x (11, 12).
  if (!d.decision(36)) return 0;
  if (!d.decision(37)) return 1 + d.decision(39);
  int type = 3;
  if (d.decision(38)) {
    if (d.decision(39)) return 11 + d.decision(39);
    type += 4;
  }
  type += d.decision(39) << 1;
  return type + d.decision(39);
}

int ref_idx(CabacDecoder& d, int inc, int maxIdx) {
  if (!d.decision(54 + inc)) return 0;
  int v = 1;
  while (d.decision(54 + (v == 1 ? 4 : 5)))
    if (++v > maxIdx) return -1;
  return v;
}

int mvd(CabacDecoder& d, int comp, int absSum) {
  const int base = comp ? 47 : 40;
  if (!d.decision(base + (absSum < 3 ? 0 : absSum <= 32 ? 1 : 2))) return 0;
  int v = 1;
  while (v < 9 && d.decision(base + (v >= 4 ? 6 : v + 2))) ++v;
  if (v == 9) {  // Exp-Golomb order 3 suffix, bypass
    int k = 3;
    while (k < 30 && d.bypass()) v += 1 << k++;
    int rest = 0;
    while (k--) rest = rest << 1 | d.bypass();
    v += rest;
  }
  return d.bypass() ? -v : v;
}

int qp_delta(CabacDecoder& d, bool prevNonzero, int maxAbs) {
  if (!d.decision(60 + (prevNonzero ? 1 : 0))) return 0;
  // Unary code k of the mapping 1, -1, 2, -2, ... (Table 9-3).
  int k = 1;
  if (d.decision(62)) {
    ++k;
    while (d.decision(63))
      if (++k > 2 * maxAbs + 1) return maxAbs + 1;
  }
  return k & 1 ? (k + 1) / 2 : -(k / 2);
}

int intra_rem(CabacDecoder& d) {
  if (d.decision(68)) return -1;
  int rem = d.decision(69);
  rem |= d.decision(69) << 1;
  return rem | d.decision(69) << 2;
}

int chroma_pred(CabacDecoder& d, int inc) {
  if (!d.decision(64 + inc)) return 0;
  if (!d.decision(67)) return 1;
  return d.decision(67) ? 3 : 2;
}

}  // namespace cabac
}  // namespace h264dec
