// MPEG-4 / H.263 / H.261 coefficient decoders through the exported names:
// blocks written bit by bit from the code tables in every escape form, flag
// and scan, checked for their coefficients, last index and exact final
// position with the data ending 4 bytes after the block's last byte; the
// backward RVLC decoders against the forward ones; the statuses in their
// order with what each failure leaves; the inverse quantisation rules.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "guard_page.h"
#include "kvnvc.h"
#include "mpeg4/quant_mpeg4_state.h"
#include "mpeg4_vlc_test.h"

namespace {

using namespace m4test;

const uint8_t kZigzag[64] = {0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,  12, 19, 26, 33, 40, 48,
                             41, 34, 27, 20, 13, 6,  7,  14, 21, 28, 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23,
                             30, 37, 44, 51, 58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};
const uint8_t kAltV[64] = {0,  8,  16, 24, 1,  9,  2,  10, 17, 25, 32, 40, 48, 56, 57, 49, 41, 33, 26, 18, 3,  11,
                           4,  12, 19, 27, 34, 42, 50, 58, 35, 43, 51, 59, 20, 28, 5,  13, 6,  14, 21, 29, 36, 44,
                           52, 60, 37, 45, 53, 61, 22, 30, 7,  15, 23, 31, 38, 46, 54, 62, 39, 47, 55, 63};
const uint8_t kAltH[64] = {0,  1,  2,  3,  8,  9,  16, 17, 10, 11, 4,  5,  6,  7,  15, 14, 13, 12, 19, 18, 24, 25,
                           32, 33, 26, 27, 20, 21, 22, 23, 28, 29, 30, 31, 34, 35, 40, 41, 48, 49, 42, 43, 36, 37,
                           38, 39, 44, 45, 46, 47, 50, 51, 56, 57, 58, 59, 52, 53, 54, 55, 60, 61, 62, 63};
uint8_t kNone[64];
const bool kNoneInit = [] {
  for (int i = 0; i < 64; ++i) kNone[i] = uint8_t(i);
  return true;
}();

// A written block: the bits (random filler before the offset and after the
// block), its events from scan position start + 1, and where it ends.
struct Coded {
  Bits bits;
  std::vector<Event> events;
  int offset = 0;
  size_t end = 0;  // bit after the block
  int start = -1;
};

// Events until one with LAST (or count of them), each fitting before 64.
template <class Make, class Put>
Coded write_block(std::mt19937& rng, int start, int count, Make make, Put put) {
  Coded c;
  c.start = start;
  c.offset = int(rng() % 8);
  c.bits.noise(rng, c.offset);
  int pos = start;
  for (int k = 0; k < count; ++k) {
    const bool last = k == count - 1 || pos >= 61;
    Event e{};
    for (int tries = 0;; ++tries) {
      e = make(last ? 1 : 0, tries > 20);
      if (pos + e.run + 1 <= (last ? 63 : 62)) break;
    }
    put(c.bits, e, c.events.empty());
    c.events.push_back(e);
    pos += e.run + 1;
    if (last) break;
  }
  c.end = c.bits.n;
  c.bits.noise(rng, 48);
  return c;
}

std::vector<int16_t> expected(const Coded& c, const uint8_t* scan, std::vector<int16_t> block) {
  int pos = c.start;
  for (const auto& e : c.events) {
    pos += e.run + 1;
    block[scan[pos]] = int16_t(e.level);
  }
  return block;
}

int last_of(const Coded& c) {
  int pos = c.start;
  for (const auto& e : c.events) pos += e.run + 1;
  return pos;
}

// The block's bytes placed so that the first inaccessible byte lies 5 bytes
// after the one holding its last bit.
struct Placed {
  kvntest::GuardPage guard;
  uint8_t* data;
  explicit Placed(const Coded& c) {
    const size_t n = (c.end - 1) / 8 + 5;
    data = guard.place(c.bits.bytes.data(), n);
  }
};

// Decodes c into a block of 5s (entry 0: -77, kept when keepDC).
template <class F>
void expect_decodes(const Coded& c, const uint8_t* scan, F call, bool keepDC, const char* what) {
  Placed p(c);
  Kvn8u* ptr = p.data;
  Kvn32s off = c.offset, last = -7;
  std::vector<int16_t> block(64, 5), base(64, 0);
  block[0] = -77;
  if (keepDC) base[0] = -77;
  ASSERT_EQ(call(&ptr, &off, block.data(), &last), 0) << what;
  EXPECT_EQ(block, expected(c, scan, base)) << what;
  EXPECT_EQ(last, last_of(c)) << what;
  EXPECT_EQ(size_t(ptr - p.data) * 8 + size_t(off), c.end) << what;
}

// ---- every decoder on random blocks in every form ------------------------------

TEST(Mpeg4VlcDecode, Mpeg4IntraAndInterAllEscapes) {
  std::mt19937 rng(1);
  for (int round = 0; round < 600; ++round) {
    const bool intra = round & 1, noDC = intra && (round & 2);
    const int sel = int(rng() % 4) - (round % 5 == 0 ? 5 : 0);  // 0..3, sometimes negative
    const auto make = [&](int last, bool plain) {
      const Form f = plain ? Form::Table : Form(rng() % 4);
      return intra ? random_mpeg4(kMpeg4Intra, kMpeg4IntraLimits, rng, f, last)
                   : random_mpeg4(kH263Tcoef, kMpeg4InterLimits, rng, f, last);
    };
    // The form is chosen again when writing: a level reachable by more than
    // one form is written in the one that was drawn only when it fits.
    const auto put = [&](Bits& b, const Event& e, bool) {
      for (;;) {
        const Form f = Form(rng() % 4);
        const auto& t = intra ? kMpeg4Intra : kH263Tcoef;
        const auto& lim = intra ? kMpeg4IntraLimits : kMpeg4InterLimits;
        const int mag = std::abs(e.level);
        bool ok = false;
        if (f == Form::Table) ok = find(t, e.last, e.run, mag) != nullptr;
        if (f == Form::Esc1)
          ok = mag > lim.lmax[e.last][e.run] && find(t, e.last, e.run, mag - lim.lmax[e.last][e.run]);
        if (f == Form::Esc2)
          ok = mag < 64 && e.run > lim.rmax[e.last][mag] && find(t, e.last, e.run - lim.rmax[e.last][mag] - 1, mag);
        if (f == Form::Esc3) ok = true;
        if (ok)
          return intra ? put_mpeg4(b, kMpeg4Intra, kMpeg4IntraLimits, e, f)
                       : put_mpeg4(b, kH263Tcoef, kMpeg4InterLimits, e, f);
      }
    };
    const Coded c = write_block(rng, noDC ? 0 : -1, 1 + int(rng() % 24), make, put);
    const uint8_t* scan = sel == 0 ? kZigzag : sel == 1 ? kAltV : sel == 2 && intra ? kAltH : kNone;
    if (intra) {
      expect_decodes(
          c, scan,
          [&](Kvn8u** p, Kvn32s* o, Kvn16s* b, Kvn32s* l) {
            return kvniDecodeCoeffsIntra_MPEG4_1u16s(p, o, b, l, 0, noDC, sel);
          },
          noDC, "intra");
    } else {
      expect_decodes(
          c, scan,
          [&](Kvn8u** p, Kvn32s* o, Kvn16s* b, Kvn32s* l) {
            return kvniDecodeCoeffsInter_MPEG4_1u16s(p, o, b, l, 0, sel);
          },
          false, "inter");
    }
  }
}

TEST(Mpeg4VlcDecode, Mpeg4ReversibleForward) {
  std::mt19937 rng(2);
  for (int round = 0; round < 400; ++round) {
    const bool intra = round & 1, noDC = intra && (round & 2);
    const int sel = int(rng() % 4);
    const Coded c = write_block(
        rng, noDC ? 0 : -1, 1 + int(rng() % 24),
        [&](int last, bool plain) { return random_rvlc(intra, rng, !plain && rng() % 4 == 0, last); },
        [&](Bits& b, const Event& e, bool) { put_rvlc(b, intra, e, rng() % 8 == 0); });
    const uint8_t* scan = sel == 0 ? kZigzag : sel == 1 ? kAltV : sel == 2 && intra ? kAltH : kNone;
    expect_decodes(
        c, scan,
        [&](Kvn8u** p, Kvn32s* o, Kvn16s* b, Kvn32s* l) {
          return intra ? kvniDecodeCoeffsIntra_MPEG4_1u16s(p, o, b, l, 1, noDC, sel)
                       : kvniDecodeCoeffsInter_MPEG4_1u16s(p, o, b, l, 1, sel);
        },
        noDC, "rvlc");
  }
}

TEST(Mpeg4VlcDecode, H263AllTablesFlagsAndScans) {
  std::mt19937 rng(3);
  for (int round = 0; round < 600; ++round) {
    const bool intra = round & 1, aic = intra && (round & 2), mq = round & 4;
    const int sel = int(rng() % 5) - 1;  // -1..3
    const auto& t = aic ? kH263IntraAic : kH263Tcoef;
    const auto make = [&](int last, bool plain) {
      if (plain || rng() % 3) {
        const auto& c = pick(t, rng, last);
        return Event{last, c.run, rng() & 1 ? -int(c.level) : int(c.level)};
      }
      const int maxLevel = mq ? 1023 : 127;
      int level = int(rng() % maxLevel) + 1;
      if (mq && rng() % 4 == 0) level = 128 + int(rng() % 896);
      return Event{last, int(rng() % 64), rng() & 1 ? -level : level};
    };
    const Coded c = write_block(rng, intra && !aic ? 0 : -1, 1 + int(rng() % 24), make,
                                [&](Bits& b, const Event& e, bool) { put_h263(b, t, e, rng() % 8 == 0); });
    const uint8_t* scan = sel == 0 ? kZigzag : sel == 1 ? kAltV : sel == 2 ? kAltH : kNone;
    expect_decodes(
        c, scan,
        [&](Kvn8u** p, Kvn32s* o, Kvn16s* b, Kvn32s* l) {
          return intra ? kvniDecodeCoeffsIntra_H263_1u16s(p, o, b, l, aic, mq, sel)
                       : kvniDecodeCoeffsInter_H263_1u16s(p, o, b, l, mq, sel);
        },
        intra && !aic, "h263");
  }
}

// H.261: INTRADC then AC codes for intra blocks, the 1s form first in inter
// blocks, escapes, and the end-of-block code.
Coded write_h261(std::mt19937& rng, bool intra, int count, int dcCode) {
  Coded c;
  c.start = intra ? 0 : -1;
  c.offset = int(rng() % 8);
  c.bits.noise(rng, c.offset);
  if (intra) c.bits.put(uint32_t(dcCode), 8);
  int pos = c.start;
  for (int k = 0; k < count && pos < 62; ++k) {
    Event e{};
    do {
      if (rng() % 4) {
        const auto& t = kH261Tcoef[rng() % 63];
        e = {0, t.run, rng() & 1 ? -int(t.level) : int(t.level)};
      } else {
        const int level = int(rng() % 127) + 1;
        e = {0, int(rng() % 64), rng() & 1 ? -level : level};
      }
    } while (pos + e.run + 1 > 63);
    put_h261(c.bits, e, rng() % 8 == 0, !intra && k == 0);
    c.events.push_back(e);
    pos += e.run + 1;
  }
  c.bits.put(kH261Eob);
  c.end = c.bits.n;
  c.bits.noise(rng, 48);
  return c;
}

TEST(Mpeg4VlcDecode, H261IntraAndInter) {
  std::mt19937 rng(4);
  for (int round = 0; round < 400; ++round) {
    const bool intra = round & 1;
    const int sel = int(rng() % 3) - 1;  // -1 none, else zigzag
    int dc = int(rng() % 256);
    if (dc == 0 || dc == 128) dc = 255;
    const Coded c = write_h261(rng, intra, intra ? int(rng() % 20) : 1 + int(rng() % 20), dc);
    Placed p(c);
    Kvn8u* ptr = p.data;
    Kvn32s off = c.offset, last = -7;
    std::vector<int16_t> block(64, 5), want(64, 0);
    if (intra) want[0] = int16_t(dc == 255 ? 128 : dc);
    want = expected(c, sel == -1 ? kNone : kZigzag, want);
    ASSERT_EQ(intra ? kvniDecodeCoeffsIntra_H261_1u16s(&ptr, &off, block.data(), &last, sel)
                    : kvniDecodeCoeffsInter_H261_1u16s(&ptr, &off, block.data(), &last, sel),
              0);
    EXPECT_EQ(block, want);
    EXPECT_EQ(last, last_of(c));
    EXPECT_EQ(size_t(ptr - p.data) * 8 + size_t(off), c.end);
  }
}

// ---- backward reversible decoding -------------------------------------------------

// A LAST code of some earlier block, then blocks A and B, all reversible
// codes; read backwards from B's last bit: B, then A, each in scan-position
// order exactly as the forward decoder without a scan gives it.
TEST(Mpeg4VlcDecode, ReversibleBackwardMatchesForward) {
  std::mt19937 rng(5);
  for (int round = 0; round < 300; ++round) {
    const bool intra = round & 1, noDC = intra && (round & 2);
    const int start = noDC ? 0 : -1;
    Bits bits;
    bits.noise(rng, 40 + int(rng() % 8));
    const size_t first = bits.n;
    put_rvlc(bits, intra, random_rvlc(intra, rng, rng() % 4 == 0, 1), rng() % 8 == 0);
    size_t finals[3] = {bits.n - 1, 0, 0};
    std::vector<int16_t> fwd[2];
    int fwdLast[2];
    for (int k = 0; k < 2; ++k) {
      const size_t at = bits.n;
      const Coded c = write_block(
          rng, start, 1 + int(rng() % 24),
          [&](int last, bool plain) { return random_rvlc(intra, rng, !plain && rng() % 4 == 0, last); },
          [&](Bits& b, const Event& e, bool) { put_rvlc(b, intra, e, rng() % 8 == 0); });
      for (size_t i = size_t(c.offset); i < c.end; ++i) bits.bit(c.bits.bytes[i / 8] >> (7 - i % 8));
      finals[k + 1] = bits.n - 1;
      std::vector<int16_t> base(64, 0);
      base[0] = -77 * noDC;
      fwd[k] = expected(c, kNone, base);
      fwdLast[k] = last_of(c);
      (void)at;
    }
    // Readable from 4 bytes before the byte of the earlier block's LAST code
    // up to the byte of the position given.
    GuardBefore g;
    const size_t from = first / 8 - 4, to = finals[2] / 8 + 1;
    std::memcpy(g.start(), bits.bytes.data() + from, to - from);
    kvntest::GuardPage after;
    uint8_t* tail = after.place(bits.bytes.data() + from, to - from);
    for (uint8_t* base : {g.start(), tail}) {
      Kvn8u* ptr = base + (finals[2] / 8 - from);
      Kvn32s off = Kvn32s(finals[2] % 8);
      for (int k = 1; k >= 0; --k) {
        std::vector<int16_t> block(64, 9);
        block[0] = -77;
        Kvn32s last = -5;
        ASSERT_EQ(intra ? kvniDecodeCoeffsIntraRVLCBack_MPEG4_1u16s(&ptr, &off, block.data(), &last, noDC)
                        : kvniDecodeCoeffsInterRVLCBack_MPEG4_1u16s(&ptr, &off, block.data(), &last),
                  0);
        EXPECT_EQ(block, fwd[k]);
        EXPECT_EQ(last, fwdLast[k]);
        EXPECT_EQ(size_t(ptr - base) * 8 + size_t(off) + from * 8, finals[k]);
      }
    }
  }
}

TEST(Mpeg4VlcDecode, ReversibleBackwardFailures) {
  // 110 0 ends (0, 0, 1) without LAST: not a block's last code.
  uint8_t data[8] = {0, 0, 0, 0, 0xff, 0xff, 0xff, 0xc0};
  Kvn8u* ptr = data + 7;
  Kvn32s off = 3, last = 7;
  std::vector<int16_t> block(64, 9);
  EXPECT_EQ(kvniDecodeCoeffsInterRVLCBack_MPEG4_1u16s(&ptr, &off, block.data(), &last), KVN_STS_CODE_ERR);
  EXPECT_EQ(ptr, data + 7);
  EXPECT_EQ(off, 3);
  // Escapes of runs 40 and 30 (63 - start positions at most): too long
  // a block, with or without the DC kept.
  std::mt19937 rng(6);
  for (int noDC : {0, 1}) {
    Bits b;
    b.noise(rng, 40);
    put_rvlc(b, true, {1, 0, 1}, false);
    put_rvlc(b, true, {0, 30, 3}, true);
    put_rvlc(b, true, {1, 40, -2}, true);
    std::vector<uint8_t> bytes = b.bytes;
    Kvn8u* p = bytes.data() + (b.n - 1) / 8;
    Kvn32s o = Kvn32s((b.n - 1) % 8);
    EXPECT_EQ(kvniDecodeCoeffsIntraRVLCBack_MPEG4_1u16s(&p, &o, block.data(), &last, noDC), KVN_STS_CODE_ERR);
    EXPECT_EQ(o, Kvn32s((b.n - 1) % 8));
  }
}

// A block of 64 (start -1) or 63 (DC kept) coefficients fills every
// position; one more is refused.
TEST(Mpeg4VlcDecode, ReversibleBackwardFullBlock) {
  for (int noDC : {0, 1}) {
    for (int extra : {0, 1}) {
      Bits b;
      b.put(0, 20), b.put(0, 20);
      put_rvlc(b, true, {1, 0, 1}, false);
      const size_t prev = b.n - 1;
      const int n = (noDC ? 63 : 64) + extra;
      for (int k = 0; k < n; ++k) put_rvlc(b, true, {k == n - 1, 0, k % 2 ? 2 : -1}, false);
      std::vector<uint8_t> bytes = b.bytes;
      Kvn8u* p = bytes.data() + (b.n - 1) / 8;
      Kvn32s o = Kvn32s((b.n - 1) % 8), last = 0;
      std::vector<int16_t> block(64, 9);
      const KvnResult st = kvniDecodeCoeffsIntraRVLCBack_MPEG4_1u16s(&p, &o, block.data(), &last, noDC);
      if (extra) {
        EXPECT_EQ(st, KVN_STS_CODE_ERR);
        continue;
      }
      ASSERT_EQ(st, 0);
      EXPECT_EQ(last, 63);
      EXPECT_EQ(size_t(p - bytes.data()) * 8 + size_t(o), prev);
      EXPECT_EQ(block[0], noDC ? 9 : -1);
      EXPECT_EQ(block[63], noDC ? -1 : 2);
    }
  }
}

// ---- truncated data ---------------------------------------------------------------

// A block cut short and followed by zero bytes: runs of zeros are no code in
// any of these syntaxes, so the decoder stops there (or, when the zeros end
// the block, succeeds) without reading past 8 of them.
TEST(Mpeg4VlcDecode, TruncatedBlocksStopInZeroPadding) {
  std::mt19937 rng(7);
  kvntest::GuardPage g;
  for (int round = 0; round < 2000; ++round) {
    const int kind = round % 7;
    Coded c;
    if (kind <= 2) {
      const bool intra = kind == 1;
      c = write_block(
          rng, -1, 1 + int(rng() % 24),
          [&](int last, bool plain) {
            const Form f = plain ? Form::Table : Form(rng() % 4);
            return intra ? random_mpeg4(kMpeg4Intra, kMpeg4IntraLimits, rng, f, last)
                         : random_mpeg4(kH263Tcoef, kMpeg4InterLimits, rng, Form(f == Form::Esc2 ? 3 : int(f)), last);
          },
          [&](Bits& b, const Event& e, bool) {
            if (std::abs(e.level) > 27 || e.run > 40) return put_mpeg4(b, kH263Tcoef, kMpeg4InterLimits, e, Form::Esc3);
            put_mpeg4(b, kH263Tcoef, kMpeg4InterLimits, e,
                      find(kH263Tcoef, e.last, e.run, e.level) ? Form::Table : Form::Esc3);
          });
    } else if (kind <= 4) {
      c = write_block(
          rng, -1, 1 + int(rng() % 24),
          [&](int last, bool plain) { return random_rvlc(false, rng, !plain && rng() % 3 == 0, last); },
          [&](Bits& b, const Event& e, bool) { put_rvlc(b, false, e, false); });
    } else {
      c = write_h261(rng, kind == 6, 1 + int(rng() % 20), 77);
    }
    const size_t cut = size_t(c.offset) + rng() % (c.end - size_t(c.offset));
    std::vector<uint8_t> bytes(cut / 8 + 9, 0);
    std::memcpy(bytes.data(), c.bits.bytes.data(), (cut + 7) / 8);
    if (cut % 8) bytes[cut / 8] &= uint8_t(0xff00 >> (cut % 8));
    uint8_t* data = g.place(bytes.data(), bytes.size());
    Kvn8u* ptr = data;
    Kvn32s off = c.offset, last = 0;
    int16_t block[64];
    KvnResult st;
    switch (kind) {
      case 0: st = kvniDecodeCoeffsInter_MPEG4_1u16s(&ptr, &off, block, &last, 0, 0); break;
      case 1: st = kvniDecodeCoeffsInter_H263_1u16s(&ptr, &off, block, &last, 1, 0); break;
      case 2: st = kvniReconstructCoeffsInter_H263_1u16s(&ptr, &off, block, &last, 7, 0); break;
      case 3: st = kvniDecodeCoeffsInter_MPEG4_1u16s(&ptr, &off, block, &last, 1, 0); break;
      case 4: st = kvniDecodeCoeffsIntra_MPEG4_1u16s(&ptr, &off, block, &last, 1, 0, 0); break;
      case 5: st = kvniDecodeCoeffsInter_H261_1u16s(&ptr, &off, block, &last, 0); break;
      default: st = kvniDecodeCoeffsIntra_H261_1u16s(&ptr, &off, block, &last, 0); break;
    }
    ASSERT_TRUE(st == KVN_STS_CODE_ERR || st == KVN_STS_OK) << st;
    if (st == KVN_STS_CODE_ERR && kind != 6) {
      EXPECT_EQ(ptr, data);
      EXPECT_EQ(off, c.offset);
    }
  }
}

// ---- statuses in their order, and what a failure leaves ------------------------

// Inverse-quantiser state memory: the record 16-aligned 3 bytes in.
struct InvState {
  alignas(16) uint8_t mem[160] = {};
  const KvnQuantInvState_MPEG4* arg() const { return reinterpret_cast<const KvnQuantInvState_MPEG4*>(mem + 3); }
  KvnQuantInvState_MPEG4& rec() { return *kvn::mpeg4::aligned_state<KvnQuantInvState_MPEG4>(mem + 3); }
  InvState(int bpp, const uint8_t* matrix, const char* tag = "SAMC") {
    rec().bitsPerPixel = bpp;
    rec().matrixFlag = matrix != nullptr;
    for (int k = 0; matrix && k < 64; ++k) rec().weights[k] = matrix[k];
    std::memcpy(rec().tag, tag, 4);
  }
};

using Call = std::function<KvnResult(Kvn8u**, Kvn32s*, Kvn16s*, Kvn32s*)>;
struct Named {
  const char* name;
  Call call;
  bool hasLast;
  bool hasQP;
};

std::vector<Named> all_functions(int qp, const InvState& st) {
  const auto* s = st.arg();
  return {
      {"IntraMPEG4",
       [](auto p, auto o, auto b, auto l) { return kvniDecodeCoeffsIntra_MPEG4_1u16s(p, o, b, l, 0, 0, 0); }, true,
       false},
      {"InterMPEG4", [](auto p, auto o, auto b, auto l) { return kvniDecodeCoeffsInter_MPEG4_1u16s(p, o, b, l, 1, 0); },
       true, false},
      {"IntraRVLCBack",
       [](auto p, auto o, auto b, auto l) { return kvniDecodeCoeffsIntraRVLCBack_MPEG4_1u16s(p, o, b, l, 1); }, true,
       false},
      {"InterRVLCBack",
       [](auto p, auto o, auto b, auto l) { return kvniDecodeCoeffsInterRVLCBack_MPEG4_1u16s(p, o, b, l); }, true,
       false},
      {"IntraH263",
       [](auto p, auto o, auto b, auto l) { return kvniDecodeCoeffsIntra_H263_1u16s(p, o, b, l, 1, 0, 0); }, true,
       false},
      {"InterH263", [](auto p, auto o, auto b, auto l) { return kvniDecodeCoeffsInter_H263_1u16s(p, o, b, l, 0, 0); },
       true, false},
      {"IntraH261", [](auto p, auto o, auto b, auto l) { return kvniDecodeCoeffsIntra_H261_1u16s(p, o, b, l, 0); },
       true, false},
      {"InterH261", [](auto p, auto o, auto b, auto l) { return kvniDecodeCoeffsInter_H261_1u16s(p, o, b, l, 0); },
       true, false},
      {"DCH263", [](auto p, auto o, auto b, auto) { return kvniDecodeDCIntra_H263_1u16s(p, o, b); }, false, false},
      {"DCMPEG4", [](auto p, auto o, auto b, auto) { return kvniDecodeDCIntra_MPEG4_1u16s(p, o, b, 1); }, false, false},
      {"ReconIntraH261",
       [qp](auto p, auto o, auto b, auto l) { return kvniReconstructCoeffsIntra_H261_1u16s(p, o, b, l, qp); }, true,
       true},
      {"ReconInterH261",
       [qp](auto p, auto o, auto b, auto l) { return kvniReconstructCoeffsInter_H261_1u16s(p, o, b, l, qp); }, true,
       true},
      {"ReconIntraH263",
       [qp](auto p, auto o, auto b, auto l) {
         return kvniReconstructCoeffsIntra_H263_1u16s(p, o, b, l, 1, qp, 0, 0, 0);
       },
       true, true},
      {"ReconInterH263",
       [qp](auto p, auto o, auto b, auto l) { return kvniReconstructCoeffsInter_H263_1u16s(p, o, b, l, qp, 1); }, true,
       true},
      {"ReconInterMPEG4",
       [qp, s](auto p, auto o, auto b, auto l) {
         return kvniReconstructCoeffsInter_MPEG4_1u16s(p, o, b, l, 0, 0, s, qp);
       },
       true, true},
  };
}

// Calls f with a valid position on a stream of 0x55 bytes (valid or not, it
// must not matter) and checks that nothing at all was written.
void expect_untouched(const Named& f, KvnResult want, Kvn32s offset, bool nullPP, bool nullOff, bool nullPtr,
                      bool nullBlock, bool nullLast) {
  std::vector<uint8_t> data(64, 0x55);
  Kvn8u* ptr = nullPtr ? nullptr : data.data() + 8;
  Kvn8u* const ptr0 = ptr;
  Kvn32s off = offset, last = 1234;
  std::vector<int16_t> block(64, 4321);
  EXPECT_EQ(f.call(nullPP ? nullptr : &ptr, nullOff ? nullptr : &off, nullBlock ? nullptr : block.data(),
                   nullLast ? nullptr : &last),
            want)
      << f.name;
  EXPECT_EQ(ptr, ptr0) << f.name;
  EXPECT_EQ(off, offset) << f.name;
  EXPECT_EQ(last, 1234) << f.name;
  EXPECT_EQ(block, std::vector<int16_t>(64, 4321)) << f.name;
}

TEST(Mpeg4VlcStatus, NullPointersThenOffsetThenQuantiser) {
  const InvState st(8, nullptr);
  for (int qp : {5, 0, 32}) {
    for (const auto& f : all_functions(qp, st)) {
      for (Kvn32s offset : {0, 8, -1}) {
        expect_untouched(f, KVN_STS_NULL_PTR, offset, true, false, false, false, false);
        expect_untouched(f, KVN_STS_NULL_PTR, offset, false, true, false, false, false);
        expect_untouched(f, KVN_STS_NULL_PTR, offset, false, false, true, false, false);
        expect_untouched(f, KVN_STS_NULL_PTR, offset, false, false, false, true, false);
        if (f.hasLast) expect_untouched(f, KVN_STS_NULL_PTR, offset, false, false, false, false, true);
      }
      for (Kvn32s offset : {8, -1, INT32_MIN, INT32_MAX})
        expect_untouched(f, KVN_STS_BIT_OFFSET_ERR, offset, false, false, false, false, false);
      if (f.hasQP && qp != 5) expect_untouched(f, KVN_STS_QP_ERR, 3, false, false, false, false, false);
    }
  }
}

TEST(Mpeg4VlcStatus, Mpeg4ReconstructionState) {
  const auto check = [](const KvnQuantInvState_MPEG4* s, int qp, int rvlc, KvnResult want, Kvn32s offset = 0) {
    std::vector<uint8_t> data(64, 0x55);
    Kvn8u* ptr = data.data();
    Kvn32s off = offset, last = 99;
    std::vector<int16_t> block(64, 4321);
    EXPECT_EQ(kvniReconstructCoeffsInter_MPEG4_1u16s(&ptr, &off, block.data(), &last, rvlc, 0, s, qp), want);
    EXPECT_EQ(ptr, data.data());
    EXPECT_EQ(last, 99);
    EXPECT_EQ(block, std::vector<int16_t>(64, 4321));
  };
  const InvState b8(8, nullptr), b4(4, nullptr), b12(12, nullptr), intra(8, nullptr, "RAMC");
  for (int rvlc : {0, 1}) {  // checked before anything is decoded, with RVLC too
    check(nullptr, 5, rvlc, KVN_STS_NULL_PTR);
    check(nullptr, 5, rvlc, KVN_STS_BIT_OFFSET_ERR, 8);
    check(intra.arg(), 5, rvlc, KVN_STS_CONTEXT_MISMATCH);
    check(intra.arg(), 0, rvlc, KVN_STS_CONTEXT_MISMATCH);
    check(b8.arg(), 32, rvlc, KVN_STS_QP_ERR);
    check(b8.arg(), 0, rvlc, KVN_STS_QP_ERR);
    check(b4.arg(), 2, rvlc, KVN_STS_QP_ERR);
  }
  // 0111 0: LAST, run 0, level +1 (Table B-17); QP 511 is valid at 12 bits.
  uint8_t data[8] = {0x70};
  Kvn8u* ptr = data;
  Kvn32s off = 0, last = 0;
  int16_t block[64];
  ASSERT_EQ(kvniReconstructCoeffsInter_MPEG4_1u16s(&ptr, &off, block, &last, 0, 0, b12.arg(), 511), 0);
  EXPECT_EQ(block[0], 3 * 511);
  EXPECT_EQ(last, 0);
  EXPECT_EQ(off, 5);
}

// ---- the worked examples and edge cases --------------------------------------------

struct Stream {
  std::vector<uint8_t> bytes;
  Kvn8u* ptr;
  Kvn32s off;
  explicit Stream(const Bits& b, int offset = 0) : bytes(b.bytes), off(offset) {
    bytes.resize(bytes.size() + 8, 0);
    ptr = bytes.data();
  }
  size_t bit() const { return size_t(ptr - bytes.data()) * 8 + size_t(off); }
};

TEST(Mpeg4VlcEdges, H263FirstCodeWithLast) {
  Bits b;
  put_h263(b, kH263Tcoef, {1, 5, -2}, false);
  Stream s(b);
  std::vector<int16_t> block(64, 3);
  Kvn32s last = 0;
  ASSERT_EQ(kvniDecodeCoeffsInter_H263_1u16s(&s.ptr, &s.off, block.data(), &last, 0, 0), 0);
  std::vector<int16_t> want(64, 0);
  want[kZigzag[5]] = -2;
  EXPECT_EQ(block, want);
  EXPECT_EQ(last, 5);
  EXPECT_EQ(s.bit(), b.n);
}

// A run to position 64: the position stays, the block holds what was stored;
// the last index is the last position stored (H.263) or the one that
// overflowed (MPEG-4).
TEST(Mpeg4VlcEdges, RunPastTheBlock) {
  std::vector<int16_t> want(64, 0);
  want[kZigzag[60]] = 3;
  want[63] = 1;
  for (int mpeg4 : {0, 1}) {
    Bits b;
    b.bit(1);  // offset 1
    if (mpeg4) {
      put_mpeg4(b, kH263Tcoef, kMpeg4InterLimits, {0, 60, 3}, Form::Esc3);
    } else {
      put_h263(b, kH263Tcoef, {0, 60, 3}, true);
    }
    put_h263(b, kH263Tcoef, {0, 2, 1}, false);  // position 63
    put_h263(b, kH263Tcoef, {1, 0, 1}, false);  // position 64
    Stream s(b, 1);
    std::vector<int16_t> block(64, 3);
    Kvn32s last = 0;
    EXPECT_EQ(mpeg4 ? kvniDecodeCoeffsInter_MPEG4_1u16s(&s.ptr, &s.off, block.data(), &last, 0, 0)
                    : kvniDecodeCoeffsInter_H263_1u16s(&s.ptr, &s.off, block.data(), &last, 0, 0),
              KVN_STS_CODE_ERR);
    EXPECT_EQ(s.bit(), 1u);
    EXPECT_EQ(block, want);
    EXPECT_EQ(last, mpeg4 ? 64 : 63);
  }
}

TEST(Mpeg4VlcEdges, H263EscapeLevels) {
  const auto decode = [](uint32_t level8, uint32_t ext, int mq, Kvn16s* out) {
    Bits b;
    b.put(kTcoefEscape);
    b.put(1, 1);
    b.put(4, 6);
    b.put(level8, 8);
    b.put(ext, 11);
    Stream s(b);
    std::vector<int16_t> block(64, 0);
    Kvn32s last = -9;
    const KvnResult st = kvniDecodeCoeffsInter_H263_1u16s(&s.ptr, &s.off, block.data(), &last, mq, 0);
    *out = block[kZigzag[4]];
    return std::make_pair(st, last);
  };
  Kvn16s v;
  EXPECT_EQ(decode(0x80, 0, 0, &v).first, KVN_STS_CODE_ERR);
  EXPECT_EQ(decode(0x00, 0, 1, &v).first, KVN_STS_CODE_ERR);
  EXPECT_EQ(decode(0x00, 0, 0, &v).first, KVN_STS_CODE_ERR);
  EXPECT_EQ(decode(0x80, 0b00001'111111, 1, &v), std::make_pair(KvnResult(0), Kvn32s(4)));
  EXPECT_EQ(v, -31);
  EXPECT_EQ(decode(0x80, 0b01000'000110, 1, &v).first, 0);  // 6 x 32 + 8
  EXPECT_EQ(v, 200);
  EXPECT_EQ(decode(0x80, 0b00000'100000, 1, &v).first, 0);
  EXPECT_EQ(v, -1024);
  EXPECT_EQ(decode(0x81, 0, 0, &v).first, 0);
  EXPECT_EQ(v, -127);
  // An extended level of 0 codes no coefficient: refused like LEVEL 0.
  EXPECT_EQ(decode(0x80, 0, 1, &v).first, KVN_STS_CODE_ERR);
}

// Escape type 1 or 2 whose second code is the escape again; type 3 with a
// zero marker or a level of 0 or -2048: refused by the decoder and by the
// reconstruction.
TEST(Mpeg4VlcEdges, Mpeg4EscapeFailures) {
  const InvState st(8, nullptr);
  const auto status = [&](const Bits& b) {
    std::vector<KvnResult> r;
    for (int recon : {0, 1}) {
      Stream s(b);
      int16_t block[64];
      Kvn32s last;
      r.push_back(recon ? kvniReconstructCoeffsInter_MPEG4_1u16s(&s.ptr, &s.off, block, &last, 0, 0, st.arg(), 4)
                        : kvniDecodeCoeffsInter_MPEG4_1u16s(&s.ptr, &s.off, block, &last, 0, 0));
      if (r.back() != 0) {
        EXPECT_EQ(s.bit(), 0u);
      }
    }
    EXPECT_EQ(r[0], r[1]);
    return r[0];
  };
  for (uint32_t head : {0u, 2u}) {
    Bits b;
    b.put(kTcoefEscape);
    b.put(head, head ? 2 : 1);
    b.put(kTcoefEscape);
    b.put(0b0111, 4);
    EXPECT_EQ(status(b), KVN_STS_CODE_ERR) << head;
  }
  const auto type3 = [](int m1, uint32_t level, int m2) {
    Bits b;
    b.put(kTcoefEscape);
    b.put(3, 2);
    b.put(1, 1);
    b.put(7, 6);
    b.bit(uint32_t(m1));
    b.put(level & 0xfff, 12);
    b.bit(uint32_t(m2));
    return b;
  };
  EXPECT_EQ(status(type3(1, 5, 1)), 0);
  EXPECT_EQ(status(type3(0, 5, 1)), KVN_STS_CODE_ERR);
  EXPECT_EQ(status(type3(1, 5, 0)), KVN_STS_CODE_ERR);
  EXPECT_EQ(status(type3(1, 0, 1)), KVN_STS_CODE_ERR);
  EXPECT_EQ(status(type3(1, uint32_t(-2048), 1)), KVN_STS_CODE_ERR);
  EXPECT_EQ(status(type3(1, uint32_t(-2047), 1)), 0);
  // LMAX: inter (0, 0) is 12, so level 13 is escape type 1 with the code of 1.
  Bits b;
  put_mpeg4(b, kH263Tcoef, kMpeg4InterLimits, {0, 0, -13}, Form::Esc1);
  EXPECT_EQ(b.n, 7u + 1 + 2 + 1);  // 0000 011, 0, 10 1
  put_mpeg4(b, kH263Tcoef, kMpeg4InterLimits, {1, 0, 1}, Form::Table);
  Stream s(b);
  int16_t block[64];
  Kvn32s last;
  ASSERT_EQ(kvniDecodeCoeffsInter_MPEG4_1u16s(&s.ptr, &s.off, block, &last, 0, 0), 0);
  EXPECT_EQ(block[0], -13);
  EXPECT_EQ(block[1], 1);
  EXPECT_EQ(s.bit(), b.n);
}

TEST(Mpeg4VlcEdges, IntraDC) {
  for (int code : {0, 1, 127, 128, 129, 254, 255}) {
    const bool ok = code != 0 && code != 128;
    // At offset 5, then 10 (H.261 end of block).
    uint8_t data[8] = {uint8_t(0xf8 | code >> 5), uint8_t((code << 3 & 0xf8) | 0x04)};
    // H.263 INTRADC alone: written only on success, one byte on.
    Kvn8u* ptr = data;
    Kvn32s off = 5;
    Kvn16s dc = -1;
    EXPECT_EQ(kvniDecodeDCIntra_H263_1u16s(&ptr, &off, &dc), ok ? 0 : KVN_STS_CODE_ERR);
    EXPECT_EQ(dc, ok ? (code == 255 ? 128 : code) : -1);
    EXPECT_EQ(ptr, data + ok);
    EXPECT_EQ(off, 5);
    // Reconstruction: 8 x INTRADC, 1024 for 255; the block not coded: only
    // entry 0 and the last index are written.
    ptr = data, off = 5;
    std::vector<int16_t> block(64, 7);
    Kvn32s last = 9;
    EXPECT_EQ(kvniReconstructCoeffsIntra_H263_1u16s(&ptr, &off, block.data(), &last, 0, 3, 0, 0, 0),
              ok ? 0 : KVN_STS_CODE_ERR);
    EXPECT_EQ(last, ok ? 0 : -1);
    EXPECT_EQ(block[0], ok ? (code == 255 ? 1024 : 8 * code) : 7);
    EXPECT_EQ(std::vector<int16_t>(block.begin() + 1, block.end()), std::vector<int16_t>(63, 7));
    EXPECT_EQ(ptr, data + ok);
    // H.261 intra with the end-of-block code at once: last index 0.
    ptr = data, off = 5;
    last = 9;
    EXPECT_EQ(kvniDecodeCoeffsIntra_H261_1u16s(&ptr, &off, block.data(), &last, 0), ok ? KVN_STS_OK : KVN_STS_CODE_ERR);
    EXPECT_EQ(last, ok ? 0 : -1);
    if (ok) {
      EXPECT_EQ(block[0], code == 255 ? 128 : code);
      EXPECT_EQ(off, 7);
    }
  }
}

// The H.261 and H.263 intra functions that store the position after an
// accepted INTRADC keep it when the AC codes fail; the others do not.
TEST(Mpeg4VlcEdges, PositionAfterIntraDCWhenTheCodesFail) {
  uint8_t data[16] = {0x40, 0x00, 0x00};  // INTRADC 64, then zeros: no code
  for (int f = 0; f < 3; ++f) {
    Kvn8u* ptr = data;
    Kvn32s off = 0, last = 5;
    int16_t block[64];
    KvnResult st = f == 0   ? kvniDecodeCoeffsIntra_H261_1u16s(&ptr, &off, block, &last, 0)
                   : f == 1 ? kvniReconstructCoeffsIntra_H263_1u16s(&ptr, &off, block, &last, 1, 4, 0, 0, 0)
                            : kvniReconstructCoeffsIntra_H261_1u16s(&ptr, &off, block, &last, 4);
    EXPECT_EQ(st, KVN_STS_CODE_ERR);
    EXPECT_EQ(ptr, data + (f < 2)) << f;
    EXPECT_EQ(last, 0) << f;
  }
}

TEST(Mpeg4VlcEdges, Mpeg4DCSizes) {
  const auto decode = [](const Bits& b, int type, Kvn16s* dc) {
    Stream s(b, 0);
    *dc = 777;
    const KvnResult st = kvniDecodeDCIntra_MPEG4_1u16s(&s.ptr, &s.off, dc, type);
    return std::make_pair(st, st == 0 ? s.bit() : s.bit() + 1000);
  };
  Kvn16s dc;
  for (int type : {0, 1, -3}) {
    const auto& codes = type == 0 ? kDcSizeLuma : kDcSizeChroma;
    for (int size = 0; size <= 12; ++size) {
      for (int value : {0, 1, -1, 3, -3, 255, -255, 2047, -2047}) {
        const int mag = std::abs(value);
        if ((mag ? 32 - __builtin_clz(uint32_t(mag)) : 0) != size) continue;
        for (int marker : {1, 0}) {
          Bits b;
          b.put(codes[size]);
          if (size) b.put(uint32_t(value > 0 ? value : value - 1) & ((1u << size) - 1), size);
          if (size > 8) b.bit(uint32_t(marker));
          const auto r = decode(b, type, &dc);
          if (size > 8 && !marker) {
            EXPECT_EQ(r.first, KVN_STS_CODE_ERR);
            EXPECT_EQ(r.second, 1000u);
            EXPECT_EQ(dc, value);  // written before the marker is checked
          } else {
            EXPECT_EQ(r, std::make_pair(KvnResult(0), b.n)) << size << " " << value;
            EXPECT_EQ(dc, value);
          }
        }
      }
    }
  }
  Bits lumaZeros, chromaZeros;
  lumaZeros.put(1, 12);    // 11 leading zeros
  chromaZeros.put(1, 13);  // 12 leading zeros
  EXPECT_EQ(decode(lumaZeros, 0, &dc).first, KVN_STS_CODE_ERR);
  EXPECT_EQ(dc, 777);
  EXPECT_EQ(decode(chromaZeros, 1, &dc).first, KVN_STS_CODE_ERR);
  Bits minus3;  // size 2 (10), then 00
  minus3.put(0b1000, 4);
  EXPECT_EQ(decode(minus3, 0, &dc).first, 0);
  EXPECT_EQ(dc, -3);
}

// ---- reconstruction: the decoders' levels through the inverse quantisers -------

int16_t odd_rule(int level, int qp, bool clamp) {
  const int m = qp * (2 * std::abs(level) + 1) - (qp % 2 == 0);
  const int v = level < 0 ? -m : m;
  return int16_t(clamp ? std::min(2047, std::max(-2048, v)) : std::min(32767, std::max(-32768, v)));
}

TEST(Mpeg4VlcRecon, H263AndH261MatchDecodeThenInverseQuantise) {
  std::mt19937 rng(8);
  for (int round = 0; round < 800; ++round) {
    const int kind = round % 5;  // H.263 inter, intra, intra Annex I; H.261 inter, intra
    const bool mq = (round / 5) & 1, aic = kind == 2;
    const int qp = 1 + int(rng() % 31), sel = int(rng() % 4);
    Coded c;
    int dc = 1 + int(rng() % 254);
    if (dc == 128) dc = 255;
    if (kind <= 2) {
      const auto& t = aic ? kH263IntraAic : kH263Tcoef;
      c = write_block(
          rng, kind == 1 ? 0 : -1, 1 + int(rng() % 20),
          [&](int last, bool plain) {
            if (plain || rng() % 3) {
              const auto& e = pick(t, rng, last);
              return Event{last, e.run, rng() & 1 ? -int(e.level) : int(e.level)};
            }
            const int level = 1 + int(rng() % (mq ? 1023 : 127));
            return Event{last, int(rng() % 64), rng() & 1 ? -level : level};
          },
          [&](Bits& b, const Event& e, bool) { put_h263(b, t, e, false); });
      if (kind == 1) {  // INTRADC in front of the AC codes
        Bits b;
        b.noise(rng, c.offset);
        b.put(uint32_t(dc), 8);
        for (size_t i = size_t(c.offset); i < c.bits.n; ++i) b.bit(c.bits.bytes[i / 8] >> (7 - i % 8));
        c.bits = b;
        c.end += 8;
      }
    } else {
      c = write_h261(rng, kind == 4, 1 + int(rng() % 20), dc);
    }
    // The levels, from the decoders.
    Stream ref(c.bits, c.offset);
    std::vector<int16_t> want(64, 0);
    Kvn32s refLast = 0;
    Kvn16s dcLevel = 0;
    const int scanSel = aic ? sel : 0;
    KvnResult st = 0;
    switch (kind) {
      case 0: st = kvniDecodeCoeffsInter_H263_1u16s(&ref.ptr, &ref.off, want.data(), &refLast, mq, 0); break;
      case 1:
        st = kvniDecodeDCIntra_H263_1u16s(&ref.ptr, &ref.off, &dcLevel);
        if (st == 0) st = kvniDecodeCoeffsIntra_H263_1u16s(&ref.ptr, &ref.off, want.data(), &refLast, 0, mq, 0);
        break;
      case 2:
        st = kvniDecodeCoeffsIntra_H263_1u16s(&ref.ptr, &ref.off, want.data(), &refLast, 1, mq,
                                              scanSel == 3 ? 0 : scanSel);
        break;
      case 3: st = kvniDecodeCoeffsInter_H261_1u16s(&ref.ptr, &ref.off, want.data(), &refLast, 0); break;
      default:
        st = kvniDecodeCoeffsIntra_H261_1u16s(&ref.ptr, &ref.off, want.data(), &refLast, 0);
        dcLevel = want[0];
        break;
    }
    ASSERT_EQ(st, 0);
    for (int k = 0; k < 64; ++k) {
      if (aic) {
        want[size_t(k)] = int16_t(std::min(32767, std::max(-32768, 2 * qp * want[size_t(k)])));
      } else if (want[size_t(k)]) {
        want[size_t(k)] = odd_rule(want[size_t(k)], qp, !mq || kind >= 3);
      }
    }
    if (kind == 1 || kind == 4) want[0] = int16_t(8 * dcLevel);
    Stream s(c.bits, c.offset);
    std::vector<int16_t> block(64, 3);
    Kvn32s last = -9;
    switch (kind) {
      case 0: st = kvniReconstructCoeffsInter_H263_1u16s(&s.ptr, &s.off, block.data(), &last, qp, mq); break;
      case 1: st = kvniReconstructCoeffsIntra_H263_1u16s(&s.ptr, &s.off, block.data(), &last, 1, qp, 0, sel, mq); break;
      case 2: st = kvniReconstructCoeffsIntra_H263_1u16s(&s.ptr, &s.off, block.data(), &last, 1, qp, 1, sel, mq); break;
      case 3: st = kvniReconstructCoeffsInter_H261_1u16s(&s.ptr, &s.off, block.data(), &last, qp); break;
      default: st = kvniReconstructCoeffsIntra_H261_1u16s(&s.ptr, &s.off, block.data(), &last, qp); break;
    }
    ASSERT_EQ(st, 0) << kind;
    EXPECT_EQ(block, want) << kind << " qp " << qp << " mq " << mq;
    EXPECT_EQ(last, refLast) << kind;
    EXPECT_EQ(s.bit(), ref.bit()) << kind;
  }
}

TEST(Mpeg4VlcRecon, H263WorkedValues) {
  // Level 1 at an even QP: 2 QP + QP - 1; level 127 at QP 31: 7905, clamped
  // to 2047 without Annex T.
  const auto one = [](int level, int qp, int mq) {
    Bits b;
    put_h263(b, kH263Tcoef, {1, 0, level}, false);
    Stream s(b);
    int16_t block[64];
    Kvn32s last;
    EXPECT_EQ(kvniReconstructCoeffsInter_H263_1u16s(&s.ptr, &s.off, block, &last, qp, mq), 0);
    return block[0];
  };
  EXPECT_EQ(one(1, 4, 0), 11);
  EXPECT_EQ(one(-2, 4, 0), -19);
  EXPECT_EQ(one(127, 31, 0), 2047);
  EXPECT_EQ(one(127, 31, 1), 7905);
  EXPECT_EQ(one(-1000, 31, 1), -32768);  // beyond 16 bits: saturated, not wrapped
}

TEST(Mpeg4VlcRecon, Mpeg4MatchesTheInverseInterRule) {
  std::mt19937 rng(9);
  uint8_t matrix[64];
  for (int round = 0; round < 600; ++round) {
    const bool rvlc = round & 1, withMatrix = round & 2;
    const int bpp = 4 + int(rng() % 9);
    for (auto& w : matrix) w = uint8_t(1 + rng() % 255);
    const InvState st(bpp, withMatrix ? matrix : nullptr);
    const int qp = 1 + int(rng() % kvn::mpeg4::qp_max(bpp));
    const int alt = int(rng() % 3);
    const Coded c =
        rvlc ? write_block(
                   rng, -1, 1 + int(rng() % 24),
                   [&](int last, bool plain) { return random_rvlc(false, rng, !plain && rng() % 4 == 0, last); },
                   [&](Bits& b, const Event& e, bool) { put_rvlc(b, false, e, false); })
             : write_block(
                   rng, -1, 1 + int(rng() % 24),
                   [&](int last, bool plain) {
                     return random_mpeg4(kH263Tcoef, kMpeg4InterLimits, rng, plain ? Form::Table : Form::Esc3, last);
                   },
                   [&](Bits& b, const Event& e, bool) {
                     put_mpeg4(b, kH263Tcoef, kMpeg4InterLimits, e,
                               find(kH263Tcoef, e.last, e.run, e.level) ? Form::Table : Form::Esc3);
                   });
    Stream ref(c.bits, c.offset);
    std::vector<int16_t> want(64);
    Kvn32s refLast;
    ASSERT_EQ(kvniDecodeCoeffsInter_MPEG4_1u16s(&ref.ptr, &ref.off, want.data(), &refLast, rvlc, alt == 1 ? 1 : 0), 0);
    kvn::mpeg4::inv_inter_reference(want.data(), 63, *kvn::mpeg4::aligned_state<const KvnQuantInvState_MPEG4>(st.arg()),
                                    qp);
    Stream s(c.bits, c.offset);
    std::vector<int16_t> block(64, 3);
    Kvn32s last;
    ASSERT_EQ(kvniReconstructCoeffsInter_MPEG4_1u16s(&s.ptr, &s.off, block.data(), &last, rvlc, alt, st.arg(), qp), 0);
    EXPECT_EQ(block, want) << "bpp " << bpp << " qp " << qp;
    EXPECT_EQ(last, refLast);
    EXPECT_EQ(s.bit(), ref.bit());
  }
}

// ISO/IEC 14496-2 method 2 and its mismatch control on small blocks.
TEST(Mpeg4VlcRecon, Mpeg4MatrixWorkedValues) {
  uint8_t matrix[64];
  std::memset(matrix, 16, 64);
  matrix[2] = 17;
  const InvState st(8, matrix);
  const auto recon = [&](std::vector<Event> events) {
    Bits b;
    for (auto& e : events)
      put_mpeg4(b, kH263Tcoef, kMpeg4InterLimits, e,
                find(kH263Tcoef, e.last, e.run, e.level) ? Form::Table : Form::Esc3);
    Stream s(b);
    std::vector<int16_t> block(64, 5);
    Kvn32s last;
    EXPECT_EQ(kvniReconstructCoeffsInter_MPEG4_1u16s(&s.ptr, &s.off, block.data(), &last, 0, 0, st.arg(), 1), 0);
    return block;
  };
  auto b = recon({{1, 0, 1}});  // raster 0: (3 x 16) / 16 = 3, odd sum
  EXPECT_EQ(b[0], 3);
  EXPECT_EQ(b[63], 0);
  b = recon({{0, 0, 1}, {1, 0, 1}});  // raster 0 and 1: sum 6, entry 63 becomes 1
  EXPECT_EQ(b[1], 3);
  EXPECT_EQ(b[63], 1);
  b = recon({{0, 0, 1}, {0, 0, 1}, {1, 61, 1}});  // raster 0, 1 and 63: sum 9
  EXPECT_EQ(b[63], 3);
  b = recon({{0, 0, 1}, {1, 4, -1}});  // zigzag position 5 is raster 2 (W 17): -51 / 16 = -3
  EXPECT_EQ(b[2], -3);
}

}  // namespace
