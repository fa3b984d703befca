// Decoding lookups of the MPEG-4 / H.263 / H.261 run-level codes, built at
// compile time from the shared table sources (tables/mpeg4_vlc_tables.h).
//
// A lookup takes a 32-bit window whose most significant bit is the next bit
// of the stream and yields a whole event (LAST, RUN, |LEVEL|, code length)
// in one access: the number z of leading zeros of the window selects a
// subtable, indexed by the bits after the first 1 (as many as the longest
// code with z leading zeros has). Windows with more leading zeros than any
// code, and indexes no code reaches, give the invalid event.
#pragma once

#include <cstddef>
#include <cstdint>

#include "tables/mpeg4_vlc_tables.h"

namespace kvn {
namespace vlc {

enum : uint8_t { kValid = 1, kLastFlag = 2, kEscapeFlag = 4, kEobFlag = 8 };

// One decoded event; flags 0: invalid code. len excludes the sign bit.
struct Event {
  uint8_t run;
  uint8_t level;
  uint8_t len;
  uint8_t flags;
};

struct SourceCode {
  uint16_t code;
  uint8_t len;
  Event ev;
};

template <std::size_t N>
struct Sources {
  SourceCode c[N];
};

inline constexpr int kMaxZeros = 16;

template <std::size_t Size>
struct ClzLookup {
  int32_t maxZeros;
  uint8_t shift[kMaxZeros + 1];  // 32 - index bits of each subtable
  uint16_t base[kMaxZeros + 1];
  Event e[Size];

  Event find(uint32_t w) const {
    const int z = __builtin_clz(w | 1);
    if (z > maxZeros) return Event{0, 0, 0, 0};
    const uint32_t rest = uint32_t(uint64_t(w) << (z + 1));
    return e[base[z] + uint32_t(uint64_t(rest) >> shift[z])];
  }
};

// Leading zeros of a code; an all-zero code counts its length.
constexpr int code_zeros(const SourceCode& c) {
  int z = 0;
  while (z < c.len && !((c.code >> (c.len - 1 - z)) & 1)) ++z;
  return z;
}

struct Shape {
  int maxZeros = -1;
  int bits[kMaxZeros + 1] = {};
  int size = 0;
};

template <std::size_t N>
constexpr Shape shape_of(const Sources<N>& s) {
  Shape sh;
  for (int z = 0; z <= kMaxZeros; ++z) sh.bits[z] = -1;
  for (const SourceCode& c : s.c) {
    const int z = code_zeros(c);
    const int rest = z < c.len ? c.len - z - 1 : 0;
    if (rest > sh.bits[z]) sh.bits[z] = rest;
    if (z > sh.maxZeros) sh.maxZeros = z;
  }
  for (int z = 0; z <= sh.maxZeros; ++z) {
    if (sh.bits[z] < 0) sh.bits[z] = 0;
    sh.size += 1 << sh.bits[z];
  }
  return sh;
}

template <std::size_t Size, std::size_t N>
constexpr ClzLookup<Size> build_lookup(const Sources<N>& s) {
  const Shape sh = shape_of(s);
  ClzLookup<Size> t{};
  t.maxZeros = sh.maxZeros;
  int base = 0;
  for (int z = 0; z <= kMaxZeros; ++z) {
    t.shift[z] = uint8_t(32 - (z <= sh.maxZeros ? sh.bits[z] : 0));
    t.base[z] = uint16_t(base);
    if (z <= sh.maxZeros) base += 1 << sh.bits[z];
  }
  for (const SourceCode& c : s.c) {
    const int z = code_zeros(c);
    const int rest = z < c.len ? c.len - z - 1 : 0;
    const uint32_t low = c.code & ((1u << rest) - 1);
    const int spare = sh.bits[z] - rest;
    for (uint32_t i = low << spare; i < (low + 1) << spare; ++i) t.e[t.base[z] + i] = c.ev;
  }
  return t;
}

// ---- the sources of each lookup ---------------------------------------------

template <std::size_t N>
constexpr Sources<N + 1> with_escape(const RunLevelCode (&t)[N], Codeword esc) {
  Sources<N + 1> s{};
  for (std::size_t i = 0; i < N; ++i)
    s.c[i] = {t[i].code, t[i].length,
              Event{t[i].run, t[i].level, t[i].length, uint8_t(kValid | (t[i].last ? kLastFlag : 0))}};
  s.c[N] = {esc.code, esc.length, Event{0, 0, esc.length, uint8_t(kValid | kEscapeFlag)}};
  return s;
}

// Table B-23. Every reversible codeword is a core followed by one free bit
// x: either 1 0^k 1 or 0 1^a 0 1^b 0 (the escape is the core 000 with x = 0).
// Cores are prefix-free and read the same backwards up to swapping a and b,
// so a forward window finds k or (a, b) with one or two leading-bit counts
// and x after them, and a backward window (the stream's bits in reverse
// order, starting with the sign) finds x first and then the core, swapped.
struct RvlcLookup {
  Event one[16][2];       // [k][x]
  Event zero[16][16][2];  // [a][b][x]
};

// Not constexpr: reached while building a lookup, it stops the compilation.
inline void source_error(const char*) {}

struct RvlcShape {
  bool one;
  int k, a, b, x;
};

constexpr RvlcShape rvlc_shape(uint16_t code, int len) {
  auto bit = [&](int i) { return i < len ? int(code >> (len - 1 - i)) & 1 : -1; };
  RvlcShape s{bit(0) == 1, 0, 0, 0, 0};
  int end = 0;  // length of the core
  if (s.one) {
    int i = 1;
    while (bit(i) == 0) ++i;
    s.k = i - 1;
    end = i + 1;
  } else {
    int i = 1;
    while (bit(i) == 1) ++i;
    int j = i + 1;
    while (bit(j) == 1) ++j;
    s.a = i - 1;
    s.b = j - i - 1;
    end = j + 1;
  }
  // A source code that is not a core plus one bit stops the build here.
  if (end + 1 != len || s.k >= 16 || s.a >= 16 || s.b >= 16) source_error("not a reversible codeword");
  s.x = bit(end);
  return s;
}

constexpr RvlcLookup build_rvlc(bool intra) {
  RvlcLookup t{};
  for (const RvlcCode& c : kMpeg4Rvlc) {
    const RvlcShape s = rvlc_shape(c.code, c.length);
    const int last = intra ? c.intraLast : c.interLast;
    const Event ev{intra ? c.intraRun : c.interRun, intra ? c.intraLevel : c.interLevel, c.length,
                   uint8_t(kValid | (last ? kLastFlag : 0))};
    Event& slot = s.one ? t.one[s.k][s.x] : t.zero[s.a][s.b][s.x];
    if (slot.flags) source_error("codeword twice");
    slot = ev;
  }
  const RvlcShape e = rvlc_shape(kRvlcEscape.code, kRvlcEscape.length);
  t.zero[e.a][e.b][e.x] = Event{0, 0, kRvlcEscape.length, uint8_t(kValid | kEscapeFlag)};
  return t;
}

inline constexpr RvlcLookup kLookupRvlcIntra = build_rvlc(true);
inline constexpr RvlcLookup kLookupRvlcInter = build_rvlc(false);

constexpr Sources<65> h261_sources() {
  Sources<65> s{};
  const auto t = with_escape(kH261Tcoef, kH261Escape);
  for (std::size_t i = 0; i < 64; ++i) s.c[i] = t.c[i];
  s.c[64] = {kH261Eob.code, kH261Eob.length, Event{0, 0, kH261Eob.length, uint8_t(kValid | kEobFlag)}};
  return s;
}

// dct_dc_size: the event's level is the size.
constexpr Sources<13> dc_size_sources(const Codeword (&t)[13]) {
  Sources<13> s{};
  for (std::size_t i = 0; i < 13; ++i) s.c[i] = {t[i].code, t[i].length, Event{0, uint8_t(i), t[i].length, kValid}};
  return s;
}

inline constexpr auto kSrcTcoef = with_escape(kH263Tcoef, kTcoefEscape);
inline constexpr auto kSrcAic = with_escape(kH263IntraAic, kTcoefEscape);
inline constexpr auto kSrcMpeg4Intra = with_escape(kMpeg4Intra, kTcoefEscape);
inline constexpr auto kSrcH261 = h261_sources();
inline constexpr auto kSrcDcLuma = dc_size_sources(kDcSizeLuma);
inline constexpr auto kSrcDcChroma = dc_size_sources(kDcSizeChroma);

#define KVN_VLC_LOOKUP(name, src) inline constexpr auto name = build_lookup<std::size_t(shape_of(src).size)>(src)

KVN_VLC_LOOKUP(kLookupTcoef, kSrcTcoef);
KVN_VLC_LOOKUP(kLookupAic, kSrcAic);
KVN_VLC_LOOKUP(kLookupMpeg4Intra, kSrcMpeg4Intra);
KVN_VLC_LOOKUP(kLookupH261, kSrcH261);
KVN_VLC_LOOKUP(kLookupDcLuma, kSrcDcLuma);
KVN_VLC_LOOKUP(kLookupDcChroma, kSrcDcChroma);

#undef KVN_VLC_LOOKUP

}  // namespace vlc
}  // namespace kvn
