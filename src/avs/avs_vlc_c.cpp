// AVS video coefficient block decoding (GB/T 20090.2 9.6 / 9.7): Exp-Golomb
// codes of the table's order, looked up in the current 2-D VLC table or read
// as escapes, the table switched up as the largest magnitude grows.
//
// Per code: one window fill, a leading-zero count and one shift for the
// Exp-Golomb code (codes up to 32 bits long), and one lookup in a packed
// table that gives the run, the level and the table to switch to.
#include <cstring>

#include "avs/avs_vlc.h"
#include "h264/cavlc/cavlc_bits.h"
#include "kvncore.h"
#include "tables/avs_tables.h"

namespace kvn {
namespace {

using namespace avs;

constexpr int kOk = KVN_STS_OK, kCodeErr = KVN_STS_VLC_CODE_ERR;

// A decoder's tables packed for one lookup per code: entry = run | (table
// after it) << 8 | level << 16; escape reference levels by table and run (1
// beyond the table's largest run); the table for each magnitude up to 32768.
struct Packed {
  uint32_t entry[7][kAvsVlcCodes];
  uint8_t ref[7][64];
  uint8_t order[7];
  uint8_t tableFor[28];  // by magnitude, capped at 27 (above every table's range start)
  int escapeOrder;
};

constexpr Packed pack(const AvsVlcSet& s) {
  Packed p{};
  for (int t = 0; t < s.count; ++t) {
    for (int c = 0; c < kAvsVlcCodes; ++c) {
      const AvsRunLevel e = s.tables[t][c];
      const int m = e.level < 0 ? -e.level : e.level;
      const int next = table_for(s, uint32_t(m)) > t ? table_for(s, uint32_t(m)) : t;
      p.entry[t][c] = uint32_t(e.run) | uint32_t(next) << 8 | uint32_t(uint16_t(int16_t(e.level))) << 16;
    }
    for (int run = 0; run < 64; ++run) p.ref[t][run] = uint8_t(reference_level(s, t, run));
    p.order[t] = uint8_t(s.order[t]);
  }
  for (int m = 0; m < 28; ++m) p.tableFor[m] = uint8_t(table_for(s, uint32_t(m)));
  p.escapeOrder = s.escapeOrder;
  return p;
}

constexpr Packed kIntra = pack(kAvsIntraLuma), kInter = pack(kAvsInterLuma), kChroma = pack(kAvsChroma);
// Magnitudes from 27 on select the last table of every set.
static_assert(kIntra.tableFor[27] == 6 && kInter.tableFor[27] == 6 && kChroma.tableFor[27] == 4);

// Exp-Golomb code of order k (0..3): z leading zeros, the 1, z + k more bits;
// codeNum = that (z + k + 1)-bit value - 2^k. False, with nothing consumed,
// when z + k exceeds 31.
inline bool read_exp_golomb(WordBitReader& br, int k, uint32_t& value) {
  br.fill();  // at least 32 bits
  const uint64_t w = br.window();
  const uint32_t top = uint32_t(w >> 32);
  if (top == 0) return false;
  const int z = __builtin_clz(top);
  if (z + k > 31) return false;
  const int len = 2 * z + k + 1;
  if (__builtin_expect(len <= 32, 1)) {
    value = uint32_t(w >> (64 - len)) - (uint32_t(1) << k);
    br.skip(len);
    return true;
  }
  br.skip(z + 1);
  br.need(z + k);
  const uint32_t info = br.peek(z + k);
  br.skip(z + k);
  value = (uint32_t(1) << (z + k)) + info - (uint32_t(1) << k);
  return true;
}

template <const Packed& P>
int decode(const uint32_t** pp, uint32_t* index, uint32_t* count, int16_t* blk, int32_t field) {
  WordBitReader br(*pp, *index);
  int16_t level[64];
  uint8_t before[64];  // positions consumed before each pair
  int n = 0, c = 0, t = 0;
  for (;;) {  // at most 65 codes: each pair consumes a position, and c + run > 63 stops
    uint32_t code;
    if (!read_exp_golomb(br, P.order[t], code)) return kCodeErr;
    uint32_t run;
    int32_t lev;
    int next;
    if (code < uint32_t(kAvsVlcCodes)) {
      const uint32_t e = P.entry[t][code];
      run = e & 0xff;
      if (uint32_t(c) + run > 63) break;  // end of block included (run 64)
      lev = int32_t(e) >> 16;
      next = int((e >> 8) & 0xff);
    } else {
      run = (code - uint32_t(kAvsVlcCodes)) >> 1;
      uint32_t esc;
      if (!read_exp_golomb(br, P.escapeOrder, esc)) return kCodeErr;
      if (uint32_t(c) + uint64_t(run) > 63) break;
      const uint64_t mag = uint64_t(esc) + P.ref[t][run];
      const bool negative = code & 1;
      if (mag > 32767u + negative) return kCodeErr;
      lev = negative ? -int32_t(mag) : int32_t(mag);
      next = P.tableFor[mag < 27 ? mag : 27];
    }
    before[n] = uint8_t(c);
    level[n] = int16_t(lev);
    ++n;
    c += int(run) + 1;
    t = next > t ? next : t;
  }
  br.save(pp, index);
  std::memset(blk, 0, 64 * sizeof(int16_t));
  const uint8_t* scan = field ? kAvsFieldScan : kAvsZigzag;
  for (int i = 0; i < n; ++i) blk[scan[c - 1 - before[i]]] = level[i];
  *count = field ? 63u : uint32_t(c);
  return kOk;
}

}  // namespace

const AvsVlcKernels kAvsVlcKernelsC = {decode<kIntra>, decode<kInter>, decode<kChroma>};

}  // namespace kvn
