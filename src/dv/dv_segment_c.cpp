// Scalar DV segment decoders: pass 1 over each block's own area, then the
// two redistribution passes (dv_segment.h). Each receiver carries the bits of
// its incomplete next code between sources, so a code may straddle the end
// of its area and any number of donors.
#include <cstring>

#include "dv/dv_segment.h"
#include "tables/dv_tables.h"

namespace kvn {
namespace {

using dv::kVlcLookup;
using dv::VlcEntry;

// A range of bits of the segment, [pos, end).
struct BitRange {
  uint32_t pos, end;
  bool empty() const { return pos == end; }
};

enum : uint8_t { kReceiver, kFinished, kStopped };

struct Block {
  int16_t* out;
  const uint8_t* scan;
  BitRange bits;     // own area; once finished, its spare bits
  uint32_t pending;  // bits of the incomplete next code, right-aligned
  uint32_t pendingLength;
  uint32_t index;  // scan index of the last coefficient; 64 after a code ran past 63
  uint8_t state;
};

struct Layout {
  int blocks;          // per macroblock
  uint16_t offset[8];  // of each area in the macroblock, bytes
  uint16_t bytes[8];   // of each area
  bool modeIsScan;     // DV: the mode bit selects the 2-4-8 scan; DV100 has the 8-8 DCT only
};
constexpr Layout kDvLayout = {6, {4, 18, 32, 46, 60, 70}, {14, 14, 14, 14, 10, 10}, true};
constexpr Layout kDv100Layout = {8, {4, 14, 24, 34, 44, 54, 64, 72}, {10, 10, 10, 10, 10, 10, 8, 8}, false};

// The 64 bits from bit pos on, first bit the most significant (bytes
// pos / 8 .. pos / 8 + 7; pos <= 3200, so at most byte 407).
inline uint64_t bits_at(const uint8_t* seg, uint32_t pos) {
  uint64_t w;
  std::memcpy(&w, seg + (pos >> 3), 8);
  return __builtin_bswap64(w) << (pos & 7);
}

// Decodes codes of block b from its pending bits followed by the bits of src
// until the block ends or src runs out; in that case the bits left that do
// not hold a whole code become the pending ones.
template <bool OnePass>
void feed(Block& b, const uint8_t* seg, BitRange& src, uint32_t limit) {
  while (b.state == kReceiver) {
    const uint32_t avail = b.pendingLength + (src.end - src.pos);
    if (avail == 0) return;
    uint64_t w = bits_at(seg, src.pos) >> b.pendingLength;
    if (b.pendingLength) w |= uint64_t(b.pending) << (64 - b.pendingLength);
    VlcEntry e = kVlcLookup.first[w >> (64 - dv::kFirstBits)];
    if (e.length == 0) e = kVlcLookup.second[(w >> (64 - dv::kSecondSkip - dv::kSecondBits)) & 0x3ff];
    // The code is complete iff its length fits: the code is prefix-free and
    // complete, so the bits after the available ones cannot shorten it.
    if (e.length > avail) {
      b.pending = uint32_t(w >> (64 - avail));
      b.pendingLength = avail;
      src.pos = src.end;
      return;
    }
    src.pos += e.length - b.pendingLength;  // pending bits are a strict prefix of the code
    b.pendingLength = 0;
    if (e.run == dv::kRunEndOfBlock) {
      b.state = kFinished;
      return;
    }
    uint32_t run = e.run;
    int32_t value = e.value;
    if (e.run == dv::kRunAmpEscape) {
      run = 0;
      const int32_t amp = int32_t(w >> 49) & 0xff;
      value = (w >> 48) & 1 ? -amp * 64 : amp * 64;
    }
    const uint32_t index = b.index + run + 1;
    if (index > 63) {
      b.index = 64;
      b.state = kStopped;
      return;
    }
    b.index = index;
    if (value) b.out[b.scan[index]] = int16_t(value);
    if (OnePass && index >= limit) {
      b.state = kStopped;
      return;
    }
  }
}

// The receivers of blocks [0, n) continue, in order, from the spare bits of
// the donors among them, in order.
void redistribute(Block* blk, int n, const uint8_t* seg) {
  int d = 0;
  for (int r = 0; r < n && d < n; ++r) {
    if (blk[r].state != kReceiver) continue;
    for (; d < n; ++d) {
      Block& donor = blk[d];
      if (donor.state != kFinished || donor.bits.empty()) continue;
      feed<false>(blk[r], seg, donor.bits, 64);
      if (blk[r].state != kReceiver) break;  // this donor may have bits left for the next receiver
    }
  }
}

template <const Layout& L, bool OnePass>
void decode_segment(const uint8_t* seg, int16_t* blocks, uint32_t* params, int limit) {
  constexpr int kMb = 5, kN = kMb * L.blocks;
  Block blk[kN];
  for (int m = 0; m < kMb; ++m) {
    for (int a = 0; a < L.blocks; ++a) {
      const int k = m * L.blocks + a;
      const uint8_t* area = seg + 80 * m + L.offset[a];
      const uint32_t header = uint32_t(area[0]) << 8 | area[1];
      const uint32_t start = uint32_t(80 * m + L.offset[a]) * 8;
      Block& b = blk[k];
      b.out = blocks + 64 * k;
      b.scan = L.modeIsScan && (header & 0x40) ? dv::kDvScan248 : dv::kDvScan88;
      b.bits = {start + 12, start + 8 * uint32_t(L.bytes[a])};
      b.pending = b.pendingLength = 0;
      b.index = 0;
      b.state = OnePass && limit <= 0 ? kStopped : kReceiver;
      b.out[0] = int16_t(uint16_t(header & 0xff80));
      params[k] = (header & 0x70) | uint32_t(seg[80 * m + 3] & 15) << 16;
      feed<OnePass>(b, seg, b.bits, uint32_t(limit));
    }
  }
  if (!OnePass) {
    for (int m = 0; m < kMb; ++m) redistribute(blk + m * L.blocks, L.blocks, seg);
    redistribute(blk, kN, seg);
  }
  for (int k = 0; k < kN; ++k) params[k] |= uint32_t(blk[k].state == kFinished) | blk[k].index << 8;
}

}  // namespace

constexpr DvSegmentKernels kDvSegmentKernelsC = {
    decode_segment<kDvLayout, false>,
    decode_segment<kDvLayout, true>,
    decode_segment<kDv100Layout, false>,
};

}  // namespace kvn
