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

}  // namespace
