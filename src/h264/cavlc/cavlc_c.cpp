// H.264 Exp-Golomb and CAVLC residual decoding (clauses 9.1, 9.2.1 - 9.2.4).
//
// Bit parsing is scalar by nature: the window of cavlc_bits.h holds at least
// 33 bits at the start of every syntax element, enough for each element but
// long escape levels and Exp-Golomb codes, so that the common elements are
// read without refilling: prefixes by counting leading zeros, lookups by one
// window shift per level.
#include <cstring>

#include "h264/cavlc/cavlc.h"
#include "h264/cavlc/cavlc_bits.h"
#include "kvncore.h"
#include "tables/h264_cavlc_tables.h"

namespace kvn {
namespace {

constexpr int kOk = KVN_STS_OK, kNull = KVN_STS_NULL_PTR, kCodeErr = KVN_STS_VLC_CODE_ERR;

// The longest level_prefix read: 32 keeps levelCode (and its escape suffix of
// level_prefix - 3 bits) within signed 32-bit arithmetic.
constexpr int kMaxLevelPrefix = 32;
// Bits a lookup reads over all its levels (the window of one fill).
constexpr int kMaxLookupBits = 32;

// The full walk of a lookup in a multi-level table over the next 32 stream
// bits: the value and the bits consumed, false for a code error: a level of other
// than 1..16 bits, more than 32 bits over all levels, or a leaf giving back
// more bits than its level read. The invalid value 0xF0F1 is caught by the
// range every caller checks the value against (TotalCoeff 0xF0, total_zeros
// and runs up to 16).
[[gnu::noinline]] bool lookup_walk(const int32_t* table, uint32_t bits, int32_t& value, int& length) {
  int b = table[0];
  if (uint32_t(b) - 1u > 15u) return false;
  int used = b;
  int32_t e = table[1 + (bits >> (32 - b))];
  while (e & 0x80) {
    const int32_t* sub = table + (uint32_t(e) >> 8);
    b = sub[0];
    if (uint32_t(b) - 1u > 15u || used + b > kMaxLookupBits) return false;
    e = sub[1 + ((bits << used) >> (32 - b))];
    used += b;
  }
  const int back = e & 0x7f;
  if (back > b || back >= used) return false;  // every codeword has at least one bit
  value = e >> 8;
  length = used - back;
  return true;
}

// One lookup. Most codes end in the first level: a leaf there whose bits given
// back are fewer than the level read (which also rules out the link bit) is
// taken at once, with the 16 bits a first level reads at most; anything else
// is walked in full over 32 bits. False for a code error.
[[gnu::always_inline]] inline bool lookup(WordBitReader& br, const int32_t* table, int32_t& value) {
  const int b = table[0];
  if (__builtin_expect(uint32_t(b) - 1u <= 15u, 1)) {
    br.need(16);
    const int32_t e = table[1 + (br.peek32() >> (32 - b))];
    const int back = e & 0xff;
    if (__builtin_expect(back < b, 1)) {
      value = e >> 8;
      br.skip(b - back);
      return true;
    }
  }
  br.fill();
  int length;
  if (!lookup_walk(table, br.peek32(), value, length)) return false;
  br.skip(length);
  return true;
}

// A level whose level_prefix is 16 or more, or whose prefix and suffix need
// more bits than the window holds: counted and read across refills. The
// suffix of prefixes 15 and up has level_prefix - 3 bits; from 16 on levelCode
// gains (1 << (level_prefix - 3)) - 4096 and is reduced modulo 65536.
// first: the +2 of the first level.
[[gnu::noinline]] bool read_long_level(WordBitReader& br, int suffixLength, int first, int32_t& levelCode) {
  int prefix = 0;
  for (;;) {
    br.fill();
    const uint32_t top = br.peek32();
    if (top) {
      const int z = __builtin_clz(top);
      prefix += z;
      br.skip(z + 1);
      break;
    }
    prefix += 32;
    br.skip(32);
    if (prefix > kMaxLevelPrefix) return false;
  }
  if (prefix > kMaxLevelPrefix) return false;
  const int size = prefix >= 15 ? prefix - 3 : prefix == 14 && suffixLength == 0 ? 4 : suffixLength;
  br.need(size);
  const uint32_t suffix = br.peek(size);
  br.skip(size);
  int64_t code = (int64_t(prefix < 15 ? prefix : 15) << suffixLength) + suffix + first;
  if (prefix >= 15 && suffixLength == 0) code += 15;
  if (prefix >= 16) code = (code + (int64_t(1) << (prefix - 3)) - 4096) & 0xffff;
  levelCode = int32_t(code);
  return true;
}

// levelVal from levelCode: (levelCode + 2) >> 1 when even, else its negation.
constexpr int32_t level_value(int32_t code) {
  const int32_t x = (code + 2) >> 1, odd = -(code & 1);
  return (x ^ odd) - odd;
}

// suffixLength after a level: 1 after 0, then one more (up to 6) when
// |levelVal| = (levelCode + 2) >> 1 exceeds 3 << (suffixLength - 1), that is
// when levelCode >= 3 << suffixLength.
constexpr int next_suffix_length(int suffixLength, int32_t code) {
  suffixLength += suffixLength == 0;
  return suffixLength + ((code >= (3 << suffixLength)) & (suffixLength < 6));
}

// A level of level_prefix 14 or more (escapes and long prefixes) from the
// window w of at least 33 bits whose leading zeros are prefix. first: the +2
// of the first level.
[[gnu::always_inline]] inline bool read_escape_level(WordBitReader& br, uint64_t w, int prefix, int suffixLength,
                                                     int first, int32_t& code) {
  if (__builtin_expect(prefix < 16, 1)) {
    // The suffix: suffixLength bits, 4 after prefix 14 at suffixLength 0, 12
    // after prefix 15 (which at suffixLength 0 adds 15 to levelCode): 28 bits
    // at most with the prefix and its 1. Without branches, escapes being
    // common in some streams and rare in others.
    const int escape = prefix == 15, zeroLength = suffixLength == 0;
    int size = (prefix == 14) & zeroLength ? 4 : suffixLength;
    size = escape ? 12 : size;
    const int32_t suffix = int32_t((w << (prefix + 1) >> 1) >> (63 - size));
    br.skip(prefix + 1 + size);
    code = (prefix << suffixLength) + suffix + first + (escape & zeroLength) * 15;
    return true;
  }
  // On a copy, so that the reader itself stays in registers.
  WordBitReader slow = br;
  if (!read_long_level(slow, suffixLength, first, code)) return false;
  br = slow;
  return true;
}

// The levels of coefficients t1 .. tc - 1 into level[] (clause 9.2.2.1). The
// first is one larger in magnitude (levelCode + 2) when fewer than 3 trailing
// ones precede it.
//
// Below level_prefix 14 the code is prefix zeros, a 1 and suffixLength bits:
// levelCode = (prefix << suffixLength) + suffix (+ 2), read from the top
// prefix + 1 + suffixLength bits of the window less the 1 << suffixLength of
// the marker bit. Whether suffixLength then grows (levelCode >= 3 <<
// suffixLength, suffixLength 0 counting as 1) depends on the prefix alone:
// prefix >= 3 from suffixLength 1 on, >= 6 at suffixLength 0; for the first
// level with its +2, >= 2 at suffixLength 1 and >= 4 at 0. So the next
// suffixLength, and with it the next code length, is known from the leading
// zeros without waiting for the suffix.
[[gnu::always_inline]] inline bool read_levels(WordBitReader& br, int32_t* level, int tc, int t1, int suffixLength) {
  int32_t first = t1 < 3 ? 2 : 0;
  int grow = first ? (suffixLength ? 2 : 4) : (suffixLength ? 3 : 6);  // the prefix from which suffixLength grows
  for (int i = t1; i < tc; ++i) {
    br.fill();
    const uint64_t w = br.window();
    const int prefix = __builtin_clzll(w | 1);  // a window of zeros reads as 63: the long path
    int32_t code;
    if (__builtin_expect(prefix < 14, 1)) {
      const int length = prefix + 1 + suffixLength;
      code = int32_t((uint32_t(prefix) << suffixLength) + uint32_t(w >> (64 - length)) - (1u << suffixLength)) + first;
      br.skip(length);
      suffixLength += suffixLength == 0;
      suffixLength += (prefix >= grow) & (suffixLength < 6);
    } else {
      if (!read_escape_level(br, w, prefix, suffixLength, first, code)) return false;
      suffixLength = next_suffix_length(suffixLength, code);
    }
    first = 0;
    grow = 3;
    level[i] = level_value(code);
  }
  return true;
}

// Where a block's coefficients go.
enum class Shape { k4x4, kRange, kDc2x2, kDc2x4 };

constexpr int entries_of(Shape s) { return s == Shape::kDc2x2 ? 4 : s == Shape::kDc2x4 ? 8 : 16; }

// 4:2:2 chroma DC scan: raster positions of the 2x4 block (two columns).
constexpr int8_t kScan2x4[8] = {0, 2, 1, 4, 6, 3, 5, 7};

// tzVlcIndex of the coefficient-range member.
inline int range_tz_index(int tc, int maxCoeff) {
  if (maxCoeff >= 15) return tc;
  if (maxCoeff < 5) return tc - maxCoeff + 4;
  if (maxCoeff <= 8) return tc - maxCoeff + 8;
  return tc - maxCoeff + 16;
}

// (TotalCoeff, TrailingOnes) of the range member for n < 16 coefficients: the
// pair of the same rank among the pairs that fit n. False when there is none.
bool remap_pair(int column, int n, int& tc, int& t1) {
  const CoeffTokenOrder& o = kCoeffTokenOrder[column];
  if (tc > 16 || t1 > 3) return false;
  int rank = o.rank[tc * 4 + t1];
  if (rank == 0xff) return false;
  const int maxT1 = n < 3 ? n : 3;
  for (int j = 0; j < 62; ++j) {
    const int p = o.pair[j];
    if ((p >> 2) <= n && (p & 3) <= maxT1 && rank-- == 0) {
      tc = p >> 2;
      t1 = p & 3;
      return true;
    }
  }
  return false;
}

template <Shape S, class T>
int decode_block(const uint32_t** pp, uint32_t* index, int16_t* numCoeff, T** coefOut, const CavlcArgs& a) {
  constexpr bool kDc = S == Shape::kDc2x2 || S == Shape::kDc2x4;
  WordBitReader br(*pp, *index);

  // coeff_token (9.2.1)
  int tc, t1;
  if (!kDc && a.nC >= 8) {
    const uint32_t v = br.peek(6);
    br.skip(6);
    tc = v == 3 ? 0 : int(v >> 2) + 1;
    t1 = v == 3 ? 0 : int(v & 3);
  } else {
    const int column = kDc ? 0 : a.nC >> 1 > 2 ? 2 : a.nC >> 1;
    const int32_t* table = a.coeffToken[column];
    if (!table) return kNull;
    int32_t v;
    if (!lookup(br, table, v)) return kCodeErr;
    tc = v >> 8 & 0xff;
    t1 = v & 0xff;
  }
  int limit = a.maxCoeff;  // bound of TotalCoeff + total_zeros
  if (S == Shape::kRange) {
    const int n = a.end - a.start + 1;
    if (n < 16 && !remap_pair(a.nC >= 8 ? 2 : a.nC >> 1 > 2 ? 2 : a.nC >> 1, n, tc, t1)) return kCodeErr;
    if (n < limit) limit = n;
  }
  if (tc > a.maxCoeff || t1 > 3 || t1 > tc) return kCodeErr;
  *numCoeff = int16_t(tc);
  if (tc == 0) {
    br.save(pp, index);
    return kOk;
  }

  // trailing_ones_sign_flag: 0 gives +1, 1 gives -1.
  int32_t level[16];
  br.need(t1);
  const uint32_t signs = br.peek(t1) << (3 - t1);  // first sign in bit 2
  br.skip(t1);
  for (int i = 0; i < 3; ++i) level[i] = 1 - 2 * int32_t(signs >> (2 - i) & 1);  // beyond t1: overwritten
  constexpr int kEntries = entries_of(S);
  T* const coef = *coefOut;
  std::memset(coef, 0, sizeof(T) * kEntries);

  if (!read_levels(br, level, tc, t1, !kDc && tc > 10 && t1 < 3 ? 1 : 0)) return kCodeErr;

  // total_zeros (9.2.3)
  int zerosLeft = 0;
  if (tc < a.maxCoeff) {
    const int32_t* table = a.totalZeros[S == Shape::kRange ? range_tz_index(tc, a.maxCoeff) : tc];
    if (!table) {
      br.save(pp, index);
      return kNull;
    }
    int32_t v;
    if (!lookup(br, table, v) || v < 0 || v > limit - tc) return kCodeErr;
    zerosLeft = v;
  }

  // run_before and placement (9.2.4): coefficient i goes to scan index
  // k = first + (tc - 1 - i) + zerosLeft; each run read moves k down by
  // 1 + run_before and takes run_before from zerosLeft.
  int k = (S == Shape::k4x4 ? 16 - a.maxCoeff : S == Shape::kRange ? a.start : 0) + tc - 1 + zerosLeft;
  const int32_t* const scan = a.scan;
  const int32_t* const* const runBefore = a.runBefore;
  auto place = [&](int at, int32_t v) {
    int pos;
    if (S == Shape::kDc2x2) {
      pos = at;
    } else if (S == Shape::kDc2x4) {
      pos = kScan2x4[at];
    } else {
      pos = scan[at];
      if (uint32_t(pos) > 15u) return false;
    }
    coef[pos] = T(v);
    return true;
  };
  int i = 0;
  for (; i < tc - 1 && zerosLeft > 0; ++i) {
    const int32_t* table = runBefore[zerosLeft];
    if (!table) {
      br.save(pp, index);
      return kNull;
    }
    int32_t run;
    if (!lookup(br, table, run) || uint32_t(run) > uint32_t(zerosLeft) || !place(k, level[i])) return kCodeErr;
    k -= 1 + run;
    zerosLeft -= run;
  }
  for (; i < tc; ++i, --k)  // the rest lie next to each other
    if (!place(k, level[i])) return kCodeErr;
  *coefOut = coef + kEntries;
  br.save(pp, index);
  return kOk;
}

template <class T>
int block4x4(const uint32_t** pp, uint32_t* index, int16_t* numCoeff, T** coef, const CavlcArgs& a) {
  return decode_block<Shape::k4x4>(pp, index, numCoeff, coef, a);
}

int range16s(const uint32_t** pp, uint32_t* index, int16_t* numCoeff, int16_t** coef, const CavlcArgs& a) {
  return decode_block<Shape::kRange>(pp, index, numCoeff, coef, a);
}

template <class T>
int dc2x2(const uint32_t** pp, uint32_t* index, int16_t* numCoeff, T** coef, const CavlcArgs& a) {
  return decode_block<Shape::kDc2x2>(pp, index, numCoeff, coef, a);
}

// The 16-bit 2x2 member decodes the two shortest codewords of nC = -1 itself:
// "1" (TotalCoeff 1, TrailingOnes 1), its sign and total_zeros ("1", "01",
// "001", "000"), the coefficient at raster position total_zeros; "01"
// TotalCoeff 0.
int dc2x2_16s(const uint32_t** pp, uint32_t* index, int16_t* numCoeff, int16_t** coef, const CavlcArgs& a) {
  WordBitReader br(*pp, *index);
  const uint32_t top = br.peek32();
  if (top >> 30 == 1) {
    br.skip(2);
    *numCoeff = 0;
    br.save(pp, index);
    return kOk;
  }
  if (!(top >> 31)) return dc2x2<int16_t>(pp, index, numCoeff, coef, a);
  const uint32_t z = top << 2;
  const int tz = z >> 31 ? 0 : z >> 30 ? 1 : z >> 29 ? 2 : 3;
  br.skip(2 + (tz < 3 ? tz + 1 : 3));
  *numCoeff = 1;
  int16_t* c = *coef;
  std::memset(c, 0, 4 * sizeof(int16_t));
  c[tz] = int16_t(top >> 30 & 1 ? -1 : 1);
  *coef = c + 4;
  br.save(pp, index);
  return kOk;
}

template <class T>
int dc2x4(const uint32_t** pp, uint32_t* index, int16_t* numCoeff, T** coef, const CavlcArgs& a) {
  return decode_block<Shape::kDc2x4>(pp, index, numCoeff, coef, a);
}

// Exp-Golomb (9.1): leadingZeroBits zeros, a 1, leadingZeroBits info bits.
int exp_golomb(const uint32_t** pp, uint32_t* index, int32_t* value, bool isSigned, int maxDecoded) {
  WordBitReader br(*pp, *index);
  const uint32_t top = br.peek32();
  // 32 or more leading zeros: codeNum beyond 32 bits. Passing over such a run
  // and its info bits would read an unbounded distance past the data, so it
  // is reported as a code error with the position left where it was.
  if (!top) return kCodeErr;
  const int zeros = __builtin_clz(top);
  br.skip(zeros + 1);
  br.need(zeros);
  const uint32_t info = br.peek(zeros);
  br.skip(zeros);
  uint32_t codeNum = 0;
  if (zeros <= maxDecoded) codeNum = (uint32_t(1) << zeros) - 1 + info;
  // se(v): (-1)^(codeNum + 1) * Ceil(codeNum / 2)
  const uint32_t half = (codeNum >> 1) + (codeNum & 1);
  *value = int32_t(!isSigned ? codeNum : codeNum & 1 ? half : 0u - half);
  br.save(pp, index);
  return kOk;
}

}  // namespace

const CavlcKernels kCavlcKernelsC = {
    exp_golomb, block4x4<int16_t>, block4x4<int32_t>, range16s,
    dc2x2_16s,  dc2x2<int32_t>,    dc2x4<int16_t>,    dc2x4<int32_t>,
};

}  // namespace kvn
