// MPEG-1/MPEG-2 VLC decoding, block reconstruction (ISO/IEC 11172-2 2.4.4.1,
// 2.4.4.2; ISO/IEC 13818-2 7.2.2, 7.4.2 - 7.4.4) and the block writers.
//
// Bit parsing is serial; every read takes the bits it needs from the current
// word and, only when they reach into it, the next one. A read starts where
// the bits consumed so far end, and every lookup consumes at least one bit of
// what it read, so no read reaches beyond the word after the one holding the
// last bit consumed.
#include <cstring>

#include "kvncore.h"
#include "mpeg2/mpeg2_vlc.h"
#include "mpeg2/mpeg2_vlc_table.h"

namespace kvn {
namespace {

constexpr int kOk = KVN_STS_OK, kCodeErr = KVN_STS_VLC_CODE_ERR;

class BitReader {
 public:
  BitReader(const uint32_t* p, uint32_t index) : p_(p), index_(int(index)) {}
  // The next n bits, n 1..32.
  uint32_t peek(int n) const {
    uint64_t x = uint64_t(p_[0]) << 32;
    if (n > index_ + 1) x |= p_[1];
    return uint32_t((x >> (33 + index_ - n)) & ((uint64_t(1) << n) - 1));
  }
  // Consumes n bits, n 0..16.
  void skip(int n) {
    index_ -= n;
    if (index_ < 0) ++p_, index_ += 32;
  }
  uint32_t get(int n) {
    const uint32_t v = peek(n);
    skip(n);
    return v;
  }
  void save(const uint32_t** pp, uint32_t* index) const {
    *pp = p_;
    *index = uint32_t(index_);
  }

 private:
  const uint32_t* p_;
  int index_;
};

// One lookup: the leaf, with the position after its code, or
// kVlcInvalidEntry with the position after every bit read. Entries no builder
// makes are invalid codes too: a stage width outside 1..16, a leaf giving
// back all the bits of its stage, links beyond 31 bits.
inline int32_t lookup(BitReader& br, const int32_t* table) {
  const int32_t* t = table;
  int linked = 0;
  for (;;) {
    const int b = t[0];
    if (unsigned(b - 1) >= unsigned(kVlcMaxStageBits)) return kVlcInvalidEntry;
    const int32_t e = t[1 + br.peek(b)];
    if (e & 0x80) {
      br.skip(b);
      linked += b;
      if (linked >= kVlcMaxCodeBits) return kVlcInvalidEntry;
      t = table + (uint32_t(e) >> 8);
      continue;
    }
    const int u = e & 0x7f;
    if (e == kVlcInvalidEntry || u >= b) {
      br.skip(b);
      return kVlcInvalidEntry;
    }
    br.skip(b - u);
    return e;
  }
}

int decode_one(const uint32_t** pp, uint32_t* index, int32_t* value, const int32_t* table) {
  BitReader br(*pp, *index);
  const int32_t e = lookup(br, table);
  br.save(pp, index);
  *value = e >> 8;
  return e == kVlcInvalidEntry ? kCodeErr : kOk;
}

int decode_pair(const uint32_t** pp, uint32_t* index, const int32_t* table, uint8_t* first, int16_t* second) {
  BitReader br(*pp, *index);
  const int32_t e = lookup(br, table);
  if (e == kVlcInvalidEntry) return kCodeErr;
  br.save(pp, index);
  *first = uint8_t(uint32_t(e) >> 8);
  *second = int16_t(e >> 16);
  return kOk;
}

constexpr int32_t sign_extend(uint32_t v, int bits) { return int32_t(v << (32 - bits)) >> (32 - bits); }

inline int32_t saturate(int64_t v) { return v < -2048 ? -2048 : v > 2047 ? 2047 : int32_t(v); }

// ISO/IEC 11172-2 2.4.4.1/2.4.4.2: an even result moves one step towards zero.
inline int32_t mpeg1_value(int64_t f) {
  if (f != 0 && !(f & 1)) f -= f > 0 ? 1 : -1;
  return saturate(f);
}

// A run-level event: false for an invalid code. Escapes read their fixed
// fields: MPEG-2 run (6) and level (12); MPEG-1 run (6) and level (8, with 8
// more bits after 0 and -128).
template <bool kMpeg1>
inline bool event(BitReader& br, int32_t e, int& run, int32_t& level) {
  if (e == kVlcInvalidEntry) return false;
  run = (e >> 8) & 0xff;
  if (run != kRunEscape) {
    level = e >> 16;
    return true;
  }
  run = int(br.get(6));
  if (!kMpeg1) {
    level = sign_extend(br.get(12), 12);
  } else {
    level = sign_extend(br.get(8), 8);
    if (level == 0)
      level = int32_t(br.get(8));
    else if (level == -128)
      level = int32_t(br.get(8)) - 256;
  }
  return true;
}

template <bool kMpeg1, bool kIntra>
int block(const uint32_t** pp, uint32_t* index, const Mpeg2BlockArgs& a, int16_t* blk, int32_t* last) {
  std::memset(blk, 0, 64 * sizeof(int16_t));
  BitReader br(*pp, *index);
  const int64_t q = a.quantScale;
  int parity = 0;  // of the sum of the stored values (MPEG-2 mismatch control)
  int p = -1;      // scan position
  int status = kOk;

  if (kIntra) {
    const int32_t e = lookup(br, a.first);
    const int32_t size = e >> 8;
    if (e == kVlcInvalidEntry || uint32_t(size) > 11) {
      br.save(pp, index);
      return kCodeErr;
    }
    int32_t diff = 0;
    if (size > 0) {
      const int32_t d = int32_t(br.get(size));
      diff = d >> (size - 1) ? d : d - (1 << size) + 1;
    }
    if (kMpeg1) {
      const int16_t dc = int16_t(*a.dcPred + 8 * diff);
      *a.dcPred = dc;
      blk[0] = dc;
    } else {
      const int16_t dc = int16_t(*a.dcPred + diff);
      *a.dcPred = dc;
      blk[0] = int16_t(saturate(int64_t(dc) * (1 << a.shiftDC)));
      parity = blk[0] & 1;
    }
    p = 0;
  }

  for (;;) {
    int run;
    int32_t level;
    if (!kIntra && p < 0) {
      if (br.peek(1)) {  // 1s: run 0, level +-1
        run = 0;
        level = br.get(2) & 1 ? -1 : 1;
      } else if (!event<kMpeg1>(br, lookup(br, a.first), run, level)) {
        status = kCodeErr;
        break;
      }
    } else {
      if (!event<kMpeg1>(br, lookup(br, a.ac), run, level)) {
        status = kCodeErr;
        break;
      }
      if (run == kRunEndOfBlock) break;
    }
    p += run + 1;
    if (p > 63) {
      status = kCodeErr;
      break;
    }
    const int32_t k = a.scan[p];
    if (uint32_t(k) > 63) {
      status = kCodeErr;
      break;
    }
    const int64_t w = kIntra || a.weights ? a.weights[k] : 16;
    int32_t f;
    if (kIntra) {
      const int64_t v = int64_t(level) * w * 2 * q;
      f = kMpeg1 ? mpeg1_value(v / 16) : saturate(v / 32);
    } else {
      const int64_t v = (2 * int64_t(level) + (level > 0) - (level < 0)) * w * q;
      f = kMpeg1 ? mpeg1_value(v / 16) : saturate(v / 32);
    }
    parity ^= (blk[k] ^ f) & 1;
    blk[k] = int16_t(f);
  }
  br.save(pp, index);
  if (status != kOk) return status;
  if (!kMpeg1) {
    if (!parity) blk[63] ^= 1;
    if (!kIntra && p == 0) p = 1;
  }
  *last = p;
  return kOk;
}

// ---- writers -----------------------------------------------------------------

// Bits go into the current word from its most significant free bit down: ORed
// into the word the call started in and into words reached by filling one
// exactly, assigned to words a code crosses into.
class BitWriter {
 public:
  BitWriter(uint32_t* p, int freeBits) : p_(p), free_(freeBits) {}
  // The low n bits of v, n 0..32.
  void put(uint32_t v, int n) {
    if (n == 0) return;
    if (n < 32) v &= (uint32_t(1) << n) - 1;
    if (n < free_) {
      acc_ |= v << (free_ - n);
      free_ -= n;
    } else if (n == free_) {
      acc_ |= v;
      store();
      ++p_, acc_ = 0, free_ = 32, assign_ = false;
    } else {
      const int rest = n - free_;
      acc_ |= v >> rest;
      store();
      ++p_, acc_ = v << (32 - rest), free_ = 32 - rest, assign_ = true;
    }
  }
  void finish(uint32_t** pp, int32_t* freeBits) {
    if (free_ < 32) store();
    *pp = p_;
    *freeBits = free_;
  }

 private:
  void store() { *p_ = assign_ ? acc_ : *p_ | acc_; }
  uint32_t* p_;
  uint32_t acc_ = 0;
  int free_;
  bool assign_ = false;
};

// A (run, level) event from the table, or by escape: 000001, run (6 bits),
// level (12 bits, two's complement).
inline void put_event(BitWriter& bw, const int32_t* table, int run, int32_t level) {
  const int maxRun = int(uint32_t(table[0]) >> 20);
  if (run <= maxRun) {
    const int32_t* base = table + (table[1 + run] >> 2);
    const int32_t m = base[0];
    if (level <= m && level >= -m) {
      const uint32_t e = uint32_t(base[level]);
      bw.put(e >> 16, int(e & 0xffff));
      return;
    }
  }
  bw.put(1, 6);
  bw.put(uint32_t(run), 6);
  bw.put(uint32_t(level), 12);
}

// Levels from scan position `from`, until `count` non-zero ones are written
// or the block ends; the first coefficient of a non-intra block as 1s when
// it is +-1.
template <bool kIntra>
void put_levels(BitWriter& bw, const int16_t* blk, const Mpeg2PutArgs& a) {
  int count = a.count, run = 0;
  for (int p = kIntra ? 1 : 0; p < 64 && count > 0; ++p) {
    const int32_t v = blk[a.scan[p] & 63];
    if (v == 0) {
      ++run;
      continue;
    }
    if (!kIntra && p == 0 && (v == 1 || v == -1))
      bw.put(v < 0 ? 3 : 2, 2);
    else
      put_event(bw, a.rlTable, run, v);
    run = 0;
    --count;
  }
  bw.put(uint32_t(a.eobCode), a.eobLength);
}

// The entry has checked |d| <= 2047 and the size code's length.
void put_intra(uint32_t** pp, int32_t* freeBits, const int16_t* blk, const Mpeg2PutArgs& a) {
  BitWriter bw(*pp, *freeBits);
  const int32_t d = blk[0] - *a.dcPred;
  *a.dcPred = blk[0];
  const uint32_t mag = uint32_t(d < 0 ? -d : d);
  const int size = mag ? 32 - __builtin_clz(mag) : 0;
  bw.put(uint32_t(a.dcSizeTable[2 * size]), a.dcSizeTable[2 * size + 1]);
  if (size > 0) bw.put(uint32_t(d > 0 ? d : d + (1 << size) - 1), size);
  put_levels<true>(bw, blk, a);
  bw.finish(pp, freeBits);
}

void put_inter(uint32_t** pp, int32_t* freeBits, const int16_t* blk, const Mpeg2PutArgs& a) {
  BitWriter bw(*pp, *freeBits);
  put_levels<false>(bw, blk, a);
  bw.finish(pp, freeBits);
}

}  // namespace

const Mpeg2VlcKernels kMpeg2VlcKernelsC = {
    decode_one,        decode_pair,        block<true, false>, block<false, false>,
    block<true, true>, block<false, true>, put_intra,          put_inter,
};

}  // namespace kvn
