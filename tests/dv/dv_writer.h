// Test-only DV segment writer: lays out blocks given as (run, amplitude)
// lists with the code of src/tables/dv_tables.h, as a DV encoder does. A
// block's bits (its codes, then "0110") fill its own area; the rest goes, per
// macroblock, into the room after the finished blocks' codes (receivers and
// donors in area order), then into the room left anywhere in the segment.
// Bits that find no room are dropped; the writer records how many of each
// block's codes went in whole, and whether its end of block did.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "tables/dv_tables.h"

namespace dvtest {

struct Coef {
  int run, value;  // value: signed amplitude; 0 writes an amplitude-0 code
};
struct BlockSpec {
  int dc = 0, mode = 0, cls = 0;  // dc -256..255; mode 1: 2-4-8
  std::vector<Coef> coefs;
};
struct MacroblockSpec {
  int qno = 0;
  std::vector<BlockSpec> blocks;  // 6 (DV) or 8 (DV100)
};
using Bits = std::vector<uint8_t>;  // one bit a byte

inline void put(Bits& b, uint32_t v, int n) {
  for (int i = n - 1; i >= 0; --i) b.push_back(uint8_t(v >> i & 1));
}

// A listed code, else an escape; a run with an amplitude that has no code is
// written as (run - 1, 0), (0, amplitude). Returns the number of codes.
inline int put_coef(Bits& b, const Coef& c) {
  const int amp = std::abs(c.value);
  for (const auto& code : kvn::dv::kAcCodes)  // listed shortest first
    if (code.run == c.run && code.amplitude == amp) {
      put(b, code.code, code.length);
      if (amp) put(b, c.value < 0, 1);
      return 1;
    }
  if (amp == 0) return put(b, uint32_t(kvn::dv::kDvRunEscape) << 6 | uint32_t(c.run), 13), 1;
  if (c.run > 0) return put_coef(b, Coef{c.run - 1, 0}) + put_coef(b, Coef{0, c.value});
  put(b, uint32_t(kvn::dv::kDvAmpEscape) << 9 | uint32_t(amp) << 1 | (c.value < 0), 16);
  return 1;
}

// scan248: the mode bit selects the 2-4-8 scan (DV); DV100 blocks, 8-8 only,
// always take the zigzag.
struct Layout {
  int blocks, offset[8], bytes[8];
  bool scan248;
};
inline constexpr Layout kDv = {6, {4, 18, 32, 46, 60, 70}, {14, 14, 14, 14, 10, 10}, true};
inline constexpr Layout kDv100 = {8, {4, 14, 24, 34, 44, 54, 64, 72}, {10, 10, 10, 10, 10, 10, 8, 8}, false};

struct Segment {
  std::vector<uint8_t> bytes = std::vector<uint8_t>(416, 0);  // 16 readable bytes after the segment
  std::vector<size_t> codesWritten;
  std::vector<bool> endWritten;
};

// Unused bits are `fill`.
inline Segment write_segment(const Layout& L, const std::vector<MacroblockSpec>& mbs, int fill = 1) {
  const size_t n = size_t(5 * L.blocks);
  Segment s;
  std::vector<Bits> stream(n);
  std::vector<std::vector<size_t>> ends(n);  // bits after each code
  std::vector<size_t> placed(n);
  std::vector<uint32_t> pos(n), end(n);  // room
  Bits seg(3200, uint8_t(fill));
  const auto copy = [&](uint32_t at, const Bits& b, size_t from, size_t count) {
    std::copy(b.begin() + long(from), b.begin() + long(from + count), seg.begin() + at);
  };
  for (size_t k = 0; k < n; ++k) {
    const int m = int(k) / L.blocks, a = int(k) % L.blocks;
    const BlockSpec& spec = mbs[size_t(m)].blocks[size_t(a)];
    for (const Coef& c : spec.coefs) {
      Bits b;
      for (int i = 0, codes = put_coef(b, c); i < codes; ++i)
        put_coef(stream[k], i + 1 < codes ? Coef{c.run - 1, 0} : Coef{codes > 1 ? 0 : c.run, c.value}),
            ends[k].push_back(stream[k].size());
    }
    put(stream[k], kvn::dv::kDvEndOfBlock, 4);
    ends[k].push_back(stream[k].size());
    Bits head;
    put(head, uint32_t(mbs[size_t(m)].qno), 8);
    put(head, uint32_t(spec.dc) & 0x1ff, 9), put(head, uint32_t(spec.mode), 1), put(head, uint32_t(spec.cls), 2);
    const uint32_t start = uint32_t(80 * m + L.offset[a]) * 8, cap = uint32_t(8 * L.bytes[a] - 12);
    copy(uint32_t(80 * m + 3) * 8, head, 0, 8);
    copy(start, head, 8, 12);
    placed[k] = std::min<size_t>(stream[k].size(), cap);
    copy(start + 12, stream[k], 0, placed[k]);
    pos[k] = start + 12 + uint32_t(placed[k]), end[k] = placed[k] < stream[k].size() ? pos[k] : start + 12 + cap;
  }
  const auto spread = [&](size_t first, size_t last) {  // receivers, then donors, in order
    size_t d = first;
    for (size_t r = first; r < last; ++r)
      for (; placed[r] < stream[r].size() && d < last; d += pos[d] == end[d]) {
        const size_t count = std::min<size_t>(end[d] - pos[d], stream[r].size() - placed[r]);
        copy(pos[d], stream[r], placed[r], count);
        pos[d] += uint32_t(count), placed[r] += count;
      }
  };
  for (size_t m = 0; m < 5; ++m) spread(m * size_t(L.blocks), (m + 1) * size_t(L.blocks));
  spread(0, n);
  for (size_t k = 0; k < n; ++k) {
    s.codesWritten.push_back(
        size_t(std::count_if(ends[k].begin(), ends[k].end() - 1, [&](size_t e) { return e <= placed[k]; })));
    s.endWritten.push_back(placed[k] == stream[k].size());
  }
  for (size_t i = 0; i < seg.size(); ++i) s.bytes[i / 8] |= uint8_t(seg[i] << (7 - i % 8));
  return s;
}

// What the decoders should give for a block whose first `codes` codes (and,
// when `end`, its end of block) were decoded.
inline void expect_block(const BlockSpec& spec, size_t codes, bool end, int qno, int16_t* out, uint32_t* param,
                         bool scan248 = true) {
  std::memset(out, 0, 128);
  out[0] = int16_t(spec.dc * 128);
  int index = 0;
  for (size_t i = 0; i < spec.coefs.size() && codes > 0; ++i) {
    Bits b;
    const size_t n = size_t(put_coef(b, spec.coefs[i]));
    index += codes < n ? spec.coefs[i].run : spec.coefs[i].run + 1;  // only the (run - 1, 0) of a pair
    if (codes >= n && spec.coefs[i].value)
      out[(spec.mode && scan248 ? kvn::dv::kDvScan248 : kvn::dv::kDvScan88)[index]] = int16_t(spec.coefs[i].value * 64);
    codes -= std::min(codes, n);
  }
  *param =
      uint32_t(end) | uint32_t(spec.cls) << 4 | uint32_t(spec.mode) << 6 | uint32_t(index) << 8 | uint32_t(qno) << 16;
}

}  // namespace dvtest
