// Test-only DV segment writer: lays out blocks given as (run, amplitude)
// lists the way a DV encoder does, with the code of src/tables/dv_tables.h,
// so that decoders can be checked against what was written.
//
// Each block's bits (its codes, then "0110" unless the block is to stay
// open) fill its own area first; what does not fit goes, per macroblock, into
// the room left after the finished blocks of that macroblock (receivers in
// area order, donors in area order), then into the room left anywhere in the
// segment (segment order). Bits that find no room are dropped; the writer
// records for each block how many of its coefficients made it in whole.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "tables/dv_tables.h"

namespace dvtest {

struct Coef {
  int run;
  int value;  // signed amplitude, -255..255; 0 writes an amplitude-0 code
};

struct BlockSpec {
  int dc = 0;    // -256..255
  int mode = 0;  // 1: 2-4-8
  int cls = 0;   // 0..3
  std::vector<Coef> coefs;
  bool endOfBlock = true;
};

struct MacroblockSpec {
  int qno = 0;
  std::vector<BlockSpec> blocks;  // 6 (DV) or 8 (DV100)
};

using Bits = std::vector<uint8_t>;  // one bit a byte

inline void put(Bits& b, uint32_t v, int n) {
  for (int i = n - 1; i >= 0; --i) b.push_back(uint8_t(v >> i & 1));
}

// The codes of one coefficient, shortest first: a listed code, else an
// escape (a run with an amplitude that has no code of its own becomes
// (run - 1, 0) followed by (0, amplitude)). Returns the number of codes.
inline int put_coef(Bits& b, const Coef& c) {
  const int amp = c.value < 0 ? -c.value : c.value;
  const kvn::dv::AcCode* best = nullptr;
  for (const auto& code : kvn::dv::kAcCodes)
    if (code.run == c.run && code.amplitude == amp && (!best || code.length < best->length)) best = &code;
  if (best) {
    put(b, best->code, best->length);
    if (amp) put(b, c.value < 0, 1);
    return 1;
  }
  if (amp == 0) {
    put(b, kvn::dv::kDvRunEscape, 7);
    put(b, uint32_t(c.run), 6);
    return 1;
  }
  if (c.run > 0) return put_coef(b, Coef{c.run - 1, 0}) + put_coef(b, Coef{0, c.value});
  put(b, kvn::dv::kDvAmpEscape, 7);
  put(b, uint32_t(amp), 8);
  put(b, c.value < 0, 1);
  return 1;
}

struct Layout {
  int blocks;
  int offset[8], bytes[8];
};
inline constexpr Layout kDv = {6, {4, 18, 32, 46, 60, 70}, {14, 14, 14, 14, 10, 10}};
inline constexpr Layout kDv100 = {8, {4, 14, 24, 34, 44, 54, 64, 72}, {10, 10, 10, 10, 10, 10, 8, 8}};

struct Segment {
  std::vector<uint8_t> bytes = std::vector<uint8_t>(400 + 16, 0);
  std::vector<size_t> coefsWritten;  // per block: coefficients whose codes were all placed
  std::vector<bool> endWritten;      // per block: its end of block was placed
};

// Writes the segment; unused bits are filled with `fill` (0 or 1).
inline Segment write_segment(const Layout& L, const std::vector<MacroblockSpec>& mbs, int fill = 1) {
  const int n = 5 * L.blocks;
  const size_t count = size_t(n);
  Segment s;
  s.coefsWritten.assign(size_t(n), 0);
  s.endWritten.assign(size_t(n), false);
  std::vector<Bits> stream(count);
  std::vector<std::vector<size_t>> coefEnds(count);  // bit count after each coefficient
  std::vector<size_t> placed(count, 0);             // bits of the stream placed
  struct Room {
    uint32_t pos, end;
  };
  std::vector<Room> room(count);
  Bits seg(400 * 8, uint8_t(fill));
  const auto write_bits = [&](uint32_t at, const Bits& b, size_t from, size_t bits) {
    for (size_t i = 0; i < bits; ++i) seg[at + i] = b[from + i];
  };
  for (int m = 0; m < 5; ++m) {
    for (int i = 0; i < 8; ++i)
      seg[size_t(80 * m + 3) * 8 + size_t(i)] = uint8_t(i < 4 ? 0 : (mbs[size_t(m)].qno >> (7 - i)) & 1);
    for (int a = 0; a < L.blocks; ++a) {
      const int k = m * L.blocks + a;
      const BlockSpec& spec = mbs[size_t(m)].blocks[size_t(a)];
      Bits& b = stream[size_t(k)];
      for (const Coef& c : spec.coefs) {
        put_coef(b, c);
        coefEnds[size_t(k)].push_back(b.size());
      }
      if (spec.endOfBlock) put(b, kvn::dv::kDvEndOfBlock, 4);
      const uint32_t start = uint32_t(80 * m + L.offset[a]) * 8;
      Bits header;
      put(header, uint32_t(spec.dc) & 0x1ff, 9);
      put(header, uint32_t(spec.mode), 1);
      put(header, uint32_t(spec.cls), 2);
      write_bits(start, header, 0, 12);
      const uint32_t cap = uint32_t(L.bytes[a]) * 8 - 12;
      const size_t own = b.size() < cap ? b.size() : cap;
      write_bits(start + 12, b, 0, own);
      placed[size_t(k)] = own;
      // Only a finished block that fits gives room.
      room[size_t(k)] = spec.endOfBlock && b.size() <= cap ? Room{start + 12 + uint32_t(b.size()), start + 12 + cap}
                                                           : Room{0, 0};
    }
  }
  // Receivers [first, last) fill the room of blocks [first, last), in order.
  const auto spread = [&](int first, int last) {
    int d = first;
    for (int r = first; r < last; ++r) {
      Bits& b = stream[size_t(r)];
      while (placed[size_t(r)] < b.size() && d < last) {
        Room& rm = room[size_t(d)];
        const size_t bits = std::min<size_t>(rm.end - rm.pos, b.size() - placed[size_t(r)]);
        write_bits(rm.pos, b, placed[size_t(r)], bits);
        rm.pos += uint32_t(bits);
        placed[size_t(r)] += bits;
        if (rm.pos == rm.end) ++d;
      }
    }
  };
  for (int m = 0; m < 5; ++m) spread(m * L.blocks, (m + 1) * L.blocks);
  spread(0, n);
  for (int k = 0; k < n; ++k) {
    for (size_t e : coefEnds[size_t(k)]) s.coefsWritten[size_t(k)] += e <= placed[size_t(k)];
    s.endWritten[size_t(k)] = mbs[size_t(k / L.blocks)].blocks[size_t(k % L.blocks)].endOfBlock &&
                              placed[size_t(k)] == stream[size_t(k)].size();
  }
  for (size_t i = 0; i < seg.size(); ++i)
    if (seg[i]) s.bytes[i / 8] |= uint8_t(0x80 >> (i % 8));
  return s;
}

// What the decoders should give for a block whose first `coefs` coefficients
// (of its spec) were decoded; end: its end of block was decoded too.
inline void expect_block(const BlockSpec& spec, size_t coefs, bool end, int qno, int16_t* out, uint32_t* param) {
  std::memset(out, 0, 128);
  out[0] = int16_t(spec.dc * 128);
  const uint8_t* scan = spec.mode ? kvn::dv::kDvScan248 : kvn::dv::kDvScan88;
  int index = 0;
  for (size_t i = 0; i < coefs; ++i) {
    index += spec.coefs[i].run + 1;
    if (spec.coefs[i].value) out[scan[index]] = int16_t(spec.coefs[i].value * 64);
  }
  *param = uint32_t(end) | uint32_t(spec.cls) << 4 | uint32_t(spec.mode) << 6 | uint32_t(index) << 8 |
           uint32_t(qno) << 16;
}

}  // namespace dvtest
