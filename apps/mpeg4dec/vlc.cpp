#include "vlc.h"

#include <array>
#include <cstdlib>

#include "mpeg2_syntax_tables.h"

namespace mpeg4dec {
namespace {

struct Code {
  uint16_t code;
  uint8_t len;
};

// A lookup of `Bits` bits: (value << 8 | length), 0 for no code.
template <int Bits>
struct Lut {
  std::array<uint32_t, 1u << Bits> e{};
  Lut(const Code* codes, int n) {
    for (int v = 0; v < n; ++v) {
      if (!codes[v].len) continue;
      const int shift = Bits - codes[v].len;
      for (uint32_t k = 0; k < (1u << shift); ++k)
        e[(uint32_t(codes[v].code) << shift) | k] = uint32_t(v) << 8 | codes[v].len;
    }
  }
  int read(BitReader& b) const {
    const uint32_t x = e[b.peek(Bits)];
    if (!x) return kInvalid;
    b.skip(int(x & 255));
    return int(x >> 8);
  }
};

// Index mb_type * 4 + cbpc (types 3 and 4 only), 20 stuffing.
constexpr Code kMcbpcIntra[21] = {{0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0},
                                  {0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}, {1, 1}, {1, 3},
                                  {2, 3}, {3, 3}, {1, 4}, {1, 6}, {2, 6}, {3, 6}, {1, 9}};
constexpr Code kMcbpcInter[21] = {{1, 1}, {3, 4}, {2, 4}, {5, 6},  // inter
                                  {3, 3}, {7, 7}, {6, 7}, {5, 9},  // inter + dquant
                                  {2, 3}, {5, 7}, {4, 7}, {5, 8},  // inter, four vectors
                                  {3, 5}, {4, 8}, {3, 8}, {3, 7},  // intra
                                  {4, 6}, {4, 9}, {3, 9}, {2, 9},  // intra + dquant
                                  {1, 9}};
constexpr Code kCbpy[16] = {{3, 4}, {5, 5}, {4, 5}, {9, 4},  {3, 5}, {7, 4}, {2, 6}, {11, 4},
                            {2, 5}, {3, 6}, {5, 4}, {10, 4}, {4, 4}, {8, 4}, {6, 4}, {3, 2}};
constexpr Code kMvd[33] = {{1, 1},   {1, 2},  {1, 3},   {1, 4},   {3, 6},   {5, 7},   {4, 7},   {3, 7},   {11, 9},
                           {10, 9},  {9, 9},  {17, 10}, {16, 10}, {15, 10}, {14, 10}, {13, 10}, {12, 10}, {11, 10},
                           {10, 10}, {9, 10}, {8, 10},  {7, 10},  {6, 10},  {5, 10},  {4, 10},  {7, 11},  {6, 11},
                           {5, 11},  {4, 11}, {3, 11},  {2, 11},  {3, 12},  {2, 12}};
constexpr Code kMbTypeB[4] = {{1, 1}, {1, 2}, {1, 3}, {1, 4}};

const Lut<9>& intra_lut() {
  static const Lut<9> t(kMcbpcIntra, 21);
  return t;
}
const Lut<9>& inter_lut() {
  static const Lut<9> t(kMcbpcInter, 21);
  return t;
}
const Lut<6>& cbpy_lut() {
  static const Lut<6> t(kCbpy, 16);
  return t;
}
const Lut<12>& mvd_lut() {
  static const Lut<12> t(kMvd, 33);
  return t;
}
const Lut<4>& btype_lut() {
  static const Lut<4> t(kMbTypeB, 4);
  return t;
}

// H.261's macroblock address and CBP codes are those of ISO/IEC 11172-2
// Tables B-1 and B-9.
template <int Bits>
Lut<Bits> from_mpeg2(kvnsupport::Mpeg2Syntax table, int first, int last, int stuffing) {
  Code codes[65] = {};
  for (int v = first; v <= last; ++v) {
    uint32_t code = 0;
    int len = 0;
    if (kvnsupport::mpeg2_syntax_code(table, v, code, len)) codes[v] = {uint16_t(code), uint8_t(len)};
  }
  if (stuffing) codes[34] = {0xF, 11};  // 0000 0001 111
  return Lut<Bits>(codes, 65);
}

// H.261 Table 2: MTYPE in its order (Intra, Intra+MQUANT, Inter, Inter+MQUANT,
// MC, MC+TCOEFF, MC+MQUANT+TCOEFF, MC+FIL, MC+FIL+TCOEFF, MC+FIL+MQUANT+TCOEFF).
constexpr Code kMtype[10] = {{1, 4}, {1, 7}, {1, 1}, {1, 5}, {1, 9}, {1, 8}, {1, 10}, {1, 3}, {1, 2}, {1, 6}};

}  // namespace

int h261_mba(BitReader& b) {
  static const Lut<11> t = from_mpeg2<11>(kvnsupport::Mpeg2Syntax::kMbAddressIncrement, 1, 33, 1);
  return t.read(b);
}
int h261_mtype(BitReader& b) {
  static const Lut<10> t(kMtype, 10);
  return t.read(b);
}
int h261_cbp(BitReader& b) {
  static const Lut<9> t = from_mpeg2<9>(kvnsupport::Mpeg2Syntax::kCodedBlockPattern, 1, 63, 0);
  return t.read(b);
}

int mcbpc_intra(BitReader& b) { return intra_lut().read(b); }
int mcbpc_inter(BitReader& b) { return inter_lut().read(b); }
int cbpy(BitReader& b) { return cbpy_lut().read(b); }
int mb_type_b(BitReader& b) { return btype_lut().read(b); }

int motion_delta(BitReader& b, int fcode) {
  const int code = mvd_lut().read(b);
  if (code == kInvalid || code == 0) return code;
  const bool negative = b.u1();
  int v = code;
  if (fcode > 1) v = ((code - 1) << (fcode - 1) | int(b.u(fcode - 1))) + 1;
  return negative ? -v : v;
}

int motion_component(BitReader& b, int fcode, int pred) {
  const int d = motion_delta(b, fcode);
  if (d == kInvalid) return kInvalid;
  const int bits = 5 + fcode;  // the range -16f..16f - 1 (half samples)
  const int v = pred + d;
  return int(uint32_t(v) << (32 - bits)) >> (32 - bits);
}

}  // namespace mpeg4dec
