// Coefficient VLC decoding of MPEG-4 Visual (ISO/IEC 14496-2 6.3.8, 7.4.1,
// 7.4.4 and Annex B), H.263 (5.4.2, 6.2, Annexes I and T) and H.261 (4.2.4,
// 4.2.5) blocks, with the fused inverse quantisation of the Reconstruct
// functions.
//
// Every event is one 32-bit peek and one lookup (tables/mpeg4_vlc_tables.h
// through mpeg4/mpeg4_vlc_lookup.h); the escapes are parsed from the same
// window, except the 11 extra bits of an H.263 Annex T level. A peek reads
// the 5 bytes from the one holding the next bit, and each peek is followed by
// consuming at least one bit there or by the call failing, which gives the
// read bound stated in mpeg4_vlc.h.
#include <cstring>

#include "mpeg4/mpeg4_vlc.h"
#include "mpeg4/mpeg4_vlc_lookup.h"
#include "mpeg4/quant_mpeg4_state.h"
#include "tables/mpeg4_tables.h"

namespace kvn {
namespace {

using namespace vlc;

constexpr int kOk = KVN_STS_OK, kErr = KVN_STS_CODE_ERR;

constexpr struct IdentityScan {
  uint8_t s[64];
  constexpr IdentityScan() : s() {
    for (int i = 0; i < 64; ++i) s[i] = uint8_t(i);
  }
} kScanNone;

// Selector 0 zigzag, 1 alternate vertical, up to maxSel 2 alternate
// horizontal; anything else: scan position order.
inline const uint8_t* scan_of(int32_t sel, int32_t maxSel) {
  if (sel == 0) return kScanZigzag;
  if (sel == 1 && maxSel >= 1) return kScanAltVertical;
  if (sel == 2 && maxSel >= 2) return kScanAltHorizontal;
  return kScanNone.s;
}

inline uint32_t load_be32(const uint8_t* p) {
  uint32_t v;
  std::memcpy(&v, p, 4);
  return __builtin_bswap32(v);
}

inline uint32_t reverse_bits(uint32_t v) {
  v = __builtin_bswap32(v);
  v = ((v >> 4) & 0x0F0F0F0Fu) | ((v & 0x0F0F0F0Fu) << 4);
  v = ((v >> 2) & 0x33333333u) | ((v & 0x33333333u) << 2);
  return ((v >> 1) & 0x55555555u) | ((v & 0x55555555u) << 1);
}

class FwdReader {
 public:
  FwdReader(const uint8_t* p, int32_t offset) : base_(p), pos_(uint32_t(offset)) {}
  // The next 32 bits, from the 5 bytes starting at the one holding the next bit.
  uint32_t peek() const {
    const uint8_t* q = base_ + (pos_ >> 3);
    const uint32_t o = pos_ & 7;
    return (load_be32(q) << o) | (uint32_t(q[4]) >> (8 - o));
  }
  void skip(uint32_t n) { pos_ += n; }
  void save(uint8_t** pp, int32_t* offset) const {
    *pp = const_cast<uint8_t*>(base_) + (pos_ >> 3);
    *offset = int32_t(pos_ & 7);
  }

 private:
  const uint8_t* base_;
  uint32_t pos_;  // bits from base_
};

// Reads towards lower addresses; the position is the next bit to read.
class BackReader {
 public:
  BackReader(const uint8_t* p, int32_t offset) : base_(p), pos_(offset) {}
  // The 32 bits of the stream that end with the bit at the position (that
  // bit least significant), from the 5 bytes ending with the one holding it.
  uint32_t before() const {
    const uint8_t* q = base_ + byte_of(pos_);
    const uint64_t x = uint64_t(load_be32(q - 4)) << 8 | q[0];
    return uint32_t(x >> (7 - (pos_ & 7)));
  }
  void skip(int n) { pos_ -= n; }
  int64_t pos() const { return pos_; }
  void set(int64_t pos) { pos_ = pos; }
  void save(uint8_t** pp, int32_t* offset) const {
    *pp = const_cast<uint8_t*>(base_) + byte_of(pos_);
    *offset = int32_t(pos_ & 7);
  }

 private:
  static int64_t byte_of(int64_t pos) { return (pos - (pos & 7)) / 8; }
  const uint8_t* base_;
  int64_t pos_;  // bits from base_, negative before it
};

struct Coef {
  int32_t last, run, level;
};

enum class Ev { Err, Coef, Eob };

// The level of a table code of length len at the top of w, signed by the bit
// after it.
inline int32_t signed_level(uint32_t w, int len, int level) { return (w << len) >> 31 ? -level : level; }

inline Ev table_event(FwdReader& br, uint32_t w, Event e, Coef& c) {
  c = {(e.flags & kLastFlag) != 0, e.run, signed_level(w, e.len, e.level)};
  br.skip(e.len + 1u);
  return Ev::Coef;
}

// H.263 Table 16 or Table I.2 (5.4.2): escape LAST (1), RUN (6), LEVEL (8);
// Annex T (T.4): LEVEL -128 is followed by the level's 5 low bits and 6 high
// bits (two's complement).
template <const auto& L>
inline Ev read_h263(FwdReader& br, bool modQuant, Coef& c) {
  const uint32_t w = br.peek();
  const Event e = L.find(w);
  if (!(e.flags & kEscapeFlag)) return e.flags ? table_event(br, w, e, c) : Ev::Err;
  const uint32_t r = w << 7;
  const int32_t level = int8_t(uint8_t(r >> 17));
  c.last = r >> 31;
  c.run = (r >> 25) & 63;
  if (level == 0) return Ev::Err;
  br.skip(22);
  if (level != -128) {
    c.level = level;
    return Ev::Coef;
  }
  if (!modQuant) return Ev::Err;
  const uint32_t x = br.peek();
  c.level = (int32_t(x << 5) >> 26) * 32 + int32_t(x >> 27);
  br.skip(11);
  return c.level ? Ev::Coef : Ev::Err;  // an extended 0 codes no coefficient either
}

// ISO/IEC 14496-2 Table B-16 or B-17 with the three escapes of 7.4.1.3. A
// second code that is the escape again cannot follow escape type 1 or 2.
template <const auto& L>
inline Ev read_mpeg4(FwdReader& br, const RunLevelLimits& lim, Coef& c) {
  const uint32_t w = br.peek();
  const Event e = L.find(w);
  if (!(e.flags & kEscapeFlag)) return e.flags ? table_event(br, w, e, c) : Ev::Err;
  uint32_t r = w << 7;
  if ((r >> 30) != 3) {  // types 1 (0) and 2 (10)
    const int head = (r >> 31) ? 2 : 1;
    r <<= head;
    const Event f = L.find(r);
    if ((f.flags & (kValid | kEscapeFlag)) != kValid) return Ev::Err;
    const int last = (f.flags & kLastFlag) != 0;
    if (head == 1) {
      c = {last, f.run, signed_level(r, f.len, f.level + lim.lmax[last][f.run])};
    } else {
      c = {last, f.run + lim.rmax[last][f.level] + 1, signed_level(r, f.len, f.level)};
    }
    br.skip(7u + head + f.len + 1u);
    return Ev::Coef;
  }
  r <<= 2;  // type 3: LAST (1), RUN (6), marker, LEVEL (12), marker
  const int32_t level = int32_t(r << 8) >> 20;
  if (!((r >> 24) & 1) || !((r >> 11) & 1) || (level & 0x7ff) == 0) return Ev::Err;
  c = {int32_t(r >> 31), int32_t((r >> 25) & 63), level};
  br.skip(30);
  return Ev::Coef;
}

// Core of a reversible codeword at the top of a forward window, then x.
inline Event rvlc_forward(const RvlcLookup& t, uint32_t w) {
  if (w >> 31) {
    const int k = __builtin_clz((w << 1) | 1);
    return k < 16 ? t.one[k][(w << (k + 2)) >> 31] : Event{};
  }
  const int a = __builtin_clz(~(w << 1));
  if (a >= 16) return Event{};
  const uint32_t v = w << (a + 2);
  const int b = __builtin_clz(~v);
  return b < 16 ? t.zero[a][b][(v << (b + 1)) >> 31] : Event{};
}

// A backward window: the sign, x, then the core read backwards.
inline Event rvlc_backward(const RvlcLookup& t, uint32_t wr) {
  const uint32_t x = (wr >> 30) & 1, v = wr << 2;
  if (v >> 31) {
    const int k = __builtin_clz((v << 1) | 1);
    return k < 16 ? t.one[k][x] : Event{};
  }
  const int p = __builtin_clz(~(v << 1));
  if (p >= 16) return Event{};
  const int q = __builtin_clz(~(v << (p + 2)));
  return q < 16 ? t.zero[q][p][x] : Event{};
}

// The 30-bit RVLC escape at the top of f: 0000 1, LAST, RUN (6), marker,
// |LEVEL| (11), marker, 0000 s.
inline Ev rvlc_escape(uint32_t f, Coef& c) {
  const int32_t level = (f >> 8) & 0x7ff;
  if ((f >> 27) != 1 || !((f >> 19) & 1) || !((f >> 7) & 1) || level == 0 || ((f >> 3) & 15) != 0) return Ev::Err;
  c = {int32_t((f >> 26) & 1), int32_t((f >> 20) & 63), (f >> 2) & 1 ? -level : level};
  return Ev::Coef;
}

inline Ev read_rvlc(FwdReader& br, const RvlcLookup& t, Coef& c) {
  const uint32_t w = br.peek();
  const Event e = rvlc_forward(t, w);
  if (!(e.flags & kEscapeFlag)) return e.flags ? table_event(br, w, e, c) : Ev::Err;
  if (rvlc_escape(w, c) == Ev::Err) return Ev::Err;
  br.skip(30);
  return Ev::Coef;
}

inline Ev read_rvlc_back(BackReader& br, const RvlcLookup& t, Coef& c) {
  const uint32_t f = br.before();
  const uint32_t wr = reverse_bits(f);
  const Event e = rvlc_backward(t, wr);
  if (e.flags & kEscapeFlag) {
    if (rvlc_escape(f << 2, c) == Ev::Err) return Ev::Err;
    br.skip(30);
    return Ev::Coef;
  }
  if (!e.flags) return Ev::Err;
  c = {(e.flags & kLastFlag) != 0, e.run, (wr >> 31) ? -int32_t(e.level) : int32_t(e.level)};
  br.skip(e.len + 1);
  return Ev::Coef;
}

// H.261 Table 5 with its end-of-block code; escape RUN (6), LEVEL (8). The
// first coefficient of an inter block may be 1s instead.
inline Ev read_h261(FwdReader& br, bool first, Coef& c) {
  const uint32_t w = br.peek();
  if (first && (w >> 31)) {
    c = {0, 0, (w >> 30) & 1 ? -1 : 1};
    br.skip(2);
    return Ev::Coef;
  }
  const Event e = kLookupH261.find(w);
  if (e.flags & kEobFlag) {
    br.skip(2);
    return Ev::Eob;
  }
  if (!(e.flags & kEscapeFlag)) return e.flags ? table_event(br, w, e, c) : Ev::Err;
  const int32_t level = int8_t(uint8_t(w >> 12));
  if (level == 0 || level == -128) return Ev::Err;
  c = {0, int32_t((w >> 20) & 63), level};
  br.skip(20);
  return Ev::Coef;
}

// The decoding loop from scan position start + 1: reads events, stores each
// through put(position, level) until LAST or end of block. On a code error
// *last is the last position stored (or start); on a run past 63 it is that
// position when overflowAt, else the last position stored.
template <class Read, class Put>
inline int decode_forward(FwdReader& br, int start, int32_t* last, bool overflowAt, Read read, Put put) {
  int i = start;
  for (;;) {
    Coef c;
    const Ev ev = read(br, c);
    if (ev != Ev::Coef) {
      *last = i;
      return ev == Ev::Eob ? kOk : kErr;
    }
    const int j = i + c.run + 1;
    if (j > 63) {
      *last = overflowAt ? j : i;
      return kErr;
    }
    put(j, c.level);
    i = j;
    if (c.last) {
      *last = i;
      return kOk;
    }
  }
}

inline int16_t sat16(int32_t v) { return int16_t(v < -32768 ? -32768 : v > 32767 ? 32767 : v); }
inline int16_t clamp12(int32_t v) { return int16_t(v < -2048 ? -2048 : v > 2047 ? 2047 : v); }

// H.263 6.2.1 and H.261 4.2.4: |REC| = QUANT (2 |LEVEL| + 1), less 1 for an
// even QUANT.
inline int32_t recon_odd(int32_t l, int32_t qp) {
  const int32_t m = qp * (2 * (l < 0 ? -l : l) + 1) - ((qp & 1) ^ 1);
  return l < 0 ? -m : m;
}

// INTRADC (H.263 5.4.1, H.261 4.2.4): 8 bits, 0 and 128 forbidden, 255
// stands for 128. Returns 0 when invalid.
inline int32_t read_intradc(FwdReader& br) {
  const uint32_t v = br.peek() >> 24;
  if (v == 0 || v == 128) return 0;
  br.skip(8);
  return v == 255 ? 128 : int32_t(v);
}

// ---- kernels ------------------------------------------------------------------

template <bool Intra>
int decode_mpeg4(uint8_t** pp, int32_t* offset, int16_t* block, int32_t* last, const Mpeg4VlcArgs& a) {
  const int start = Intra && a.noDC ? 0 : -1;
  std::memset(block + (start + 1), 0, sizeof(int16_t) * size_t(63 - start));
  const uint8_t* scan = scan_of(a.scan, Intra ? 2 : 1);
  auto put = [&](int i, int32_t v) { block[scan[i]] = int16_t(v); };
  FwdReader br(*pp, *offset);
  const RvlcLookup& rv = Intra ? kLookupRvlcIntra : kLookupRvlcInter;
  const int st =
      a.rvlc ? decode_forward(
                   br, start, last, true, [&](FwdReader& r, Coef& c) { return read_rvlc(r, rv, c); }, put)
      : Intra ? decode_forward(
                    br, start, last, true,
                    [&](FwdReader& r, Coef& c) { return read_mpeg4<kLookupMpeg4Intra>(r, kMpeg4IntraLimits, c); }, put)
              : decode_forward(
                    br, start, last, true,
                    [&](FwdReader& r, Coef& c) { return read_mpeg4<kLookupTcoef>(r, kMpeg4InterLimits, c); }, put);
  if (st == kOk) br.save(pp, offset);
  return st;
}

// ISO/IEC 14496-2 7.4.1.3 reversible decoding backwards: the levels are
// gathered from scan position 63 down and moved to follow the start.
template <bool Intra>
int decode_rvlc_back(uint8_t** pp, int32_t* offset, int16_t* block, int32_t* last, const Mpeg4VlcArgs& a) {
  const int start = Intra && a.noDC ? 0 : -1;
  const RvlcLookup& rv = Intra ? kLookupRvlcIntra : kLookupRvlcInter;
  BackReader br(*pp, *offset);
  int16_t filled[64] = {};
  Coef c;
  if (read_rvlc_back(br, rv, c) != Ev::Coef || !c.last) {
    *last = -1;
    return kErr;
  }
  int m = 63;  // next position to fill; the block has positions start + 1..63
  for (;;) {
    if (m <= start) {
      *last = -1;
      return kErr;
    }
    filled[m] = int16_t(c.level);
    m -= c.run + 1;
    if (m < start) {
      *last = -1;
      return kErr;
    }
    const int64_t mark = br.pos();
    if (read_rvlc_back(br, rv, c) != Ev::Coef) {
      *last = -1;
      return kErr;
    }
    if (c.last) {  // the preceding block's last code
      br.set(mark);
      break;
    }
  }
  const int n = 63 - m;
  std::memcpy(block + (start + 1), filled + (m + 1), sizeof(int16_t) * size_t(n));
  std::memset(block + (start + 1 + n), 0, sizeof(int16_t) * size_t(63 - start - n));
  *last = start + n;
  br.save(pp, offset);
  return kOk;
}

template <bool Intra>
int decode_h263(uint8_t** pp, int32_t* offset, int16_t* block, int32_t* last, const Mpeg4VlcArgs& a) {
  const bool aic = Intra && a.advIntra;
  const int start = Intra && !aic ? 0 : -1;
  std::memset(block + (start + 1), 0, sizeof(int16_t) * size_t(63 - start));
  const uint8_t* scan = scan_of(a.scan, 2);
  const bool mq = a.modQuant != 0;
  auto put = [&](int i, int32_t v) { block[scan[i]] = int16_t(v); };
  FwdReader br(*pp, *offset);
  const int st =
      aic ? decode_forward(
                br, start, last, false, [&](FwdReader& r, Coef& c) { return read_h263<kLookupAic>(r, mq, c); }, put)
          : decode_forward(
                br, start, last, false, [&](FwdReader& r, Coef& c) { return read_h263<kLookupTcoef>(r, mq, c); }, put);
  if (st == kOk) br.save(pp, offset);
  return st;
}

// The Table 5 events of an H.261 block after its INTRADC (intra: from
// position 1) up to the end-of-block code, each stored by put(position, level).
template <bool Intra, typename Put>
int h261_events(FwdReader& br, int32_t* last, Put put) {
  bool first = !Intra;  // an inter block's first coefficient may be coded 1s
  return decode_forward(
      br, Intra ? 0 : -1, last, false,
      [&](FwdReader& r, Coef& c) {
        const Ev ev = read_h261(r, first, c);
        first = false;
        return ev;
      },
      put);
}

template <bool Intra>
int decode_h261(uint8_t** pp, int32_t* offset, int16_t* block, int32_t* last, const Mpeg4VlcArgs& a) {
  FwdReader br(*pp, *offset);
  int32_t dc = 0;
  if (Intra) {
    dc = read_intradc(br);
    if (!dc) {
      *last = -1;
      return kErr;
    }
    br.save(pp, offset);
  }
  std::memset(block, 0, sizeof(int16_t) * 64);
  block[0] = int16_t(dc);
  const uint8_t* scan = a.scan == -1 ? kScanNone.s : kScanZigzag;
  const int st = h261_events<Intra>(br, last, [&](int i, int32_t v) { block[scan[i]] = int16_t(v); });
  if (st == kOk) br.save(pp, offset);
  return st;
}

int dc_h263(uint8_t** pp, int32_t* offset, int16_t* dc, int32_t) {
  FwdReader br(*pp, *offset);
  const int32_t v = read_intradc(br);
  if (!v) return kErr;
  *dc = int16_t(v);
  *pp += 1;
  return kOk;
}

// ISO/IEC 14496-2 6.3.8: dct_dc_size (Table B-13 or B-14), then
// dct_dc_differential and, above size 8, a marker bit. The differential is
// written before the marker is checked.
int dc_mpeg4(uint8_t** pp, int32_t* offset, int16_t* dc, int32_t blockType) {
  FwdReader br(*pp, *offset);
  const uint32_t w = br.peek();
  const Event e = blockType == 0 ? kLookupDcLuma.find(w) : kLookupDcChroma.find(w);
  if (!e.flags) return kErr;
  const int size = e.level;
  uint32_t n = e.len;
  int32_t v = 0;
  if (size > 0) {
    const uint32_t d = (w << n) >> (32 - size);
    v = (d >> (size - 1)) ? int32_t(d) : int32_t(d) - (1 << size) + 1;
    n += uint32_t(size);
  }
  *dc = int16_t(v);
  if (size > 8) {
    if (!((w << n) >> 31)) return kErr;
    ++n;
  }
  br.skip(n);
  br.save(pp, offset);
  return kOk;
}

template <bool Intra>
int recon_h261(uint8_t** pp, int32_t* offset, int16_t* block, int32_t* last, const Mpeg4VlcArgs& a) {
  FwdReader br(*pp, *offset);
  int32_t dc = 0;
  if (Intra) {
    dc = read_intradc(br);
    if (!dc) {
      *last = -1;
      return kErr;
    }
  }
  std::memset(block, 0, sizeof(int16_t) * 64);
  const int32_t qp = a.qp;
  const int st =
      h261_events<Intra>(br, last, [&](int i, int32_t v) { block[kScanZigzag[i]] = clamp12(recon_odd(v, qp)); });
  if (st != kOk) return st;
  if (Intra) block[0] = int16_t(dc * 8);
  br.save(pp, offset);
  return kOk;
}

int recon_intra_h263(uint8_t** pp, int32_t* offset, int16_t* block, int32_t* last, const Mpeg4VlcArgs& a) {
  const int32_t qp = a.qp;
  const bool mq = a.modQuant != 0;
  FwdReader br(*pp, *offset);
  if (a.advIntra) {  // Annex I: every coefficient from the VLC, REC = 2 QUANT LEVEL
    std::memset(block, 0, sizeof(int16_t) * 64);
    if (!a.coded) {
      *last = -1;
      return kOk;
    }
    const uint8_t* scan = a.scan == 1 ? kScanAltVertical : a.scan == 2 ? kScanAltHorizontal : kScanZigzag;
    const int st = decode_forward(
        br, -1, last, false, [&](FwdReader& r, Coef& c) { return read_h263<kLookupAic>(r, mq, c); },
        [&](int i, int32_t v) { block[scan[i]] = sat16(2 * qp * v); });
    if (st == kOk) br.save(pp, offset);
    return st;
  }
  const int32_t dc = read_intradc(br);
  if (!dc) {
    *last = -1;
    return kErr;
  }
  br.save(pp, offset);
  if (!a.coded) {
    block[0] = int16_t(dc * 8);
    *last = 0;
    return kOk;
  }
  std::memset(block, 0, sizeof(int16_t) * 64);
  int st;
  if (mq) {
    st = decode_forward(
        br, 0, last, false, [&](FwdReader& r, Coef& c) { return read_h263<kLookupTcoef>(r, true, c); },
        [&](int i, int32_t v) { block[kScanZigzag[i]] = sat16(recon_odd(v, qp)); });
  } else {
    st = decode_forward(
        br, 0, last, false, [&](FwdReader& r, Coef& c) { return read_h263<kLookupTcoef>(r, false, c); },
        [&](int i, int32_t v) { block[kScanZigzag[i]] = clamp12(recon_odd(v, qp)); });
  }
  if (st != kOk) return st;
  block[0] = int16_t(dc * 8);
  br.save(pp, offset);
  return kOk;
}

int recon_inter_h263(uint8_t** pp, int32_t* offset, int16_t* block, int32_t* last, const Mpeg4VlcArgs& a) {
  const int32_t qp = a.qp;
  std::memset(block, 0, sizeof(int16_t) * 64);
  FwdReader br(*pp, *offset);
  int st;
  if (a.modQuant) {
    st = decode_forward(
        br, -1, last, false, [&](FwdReader& r, Coef& c) { return read_h263<kLookupTcoef>(r, true, c); },
        [&](int i, int32_t v) { block[kScanZigzag[i]] = sat16(recon_odd(v, qp)); });
  } else {
    st = decode_forward(
        br, -1, last, false, [&](FwdReader& r, Coef& c) { return read_h263<kLookupTcoef>(r, false, c); },
        [&](int i, int32_t v) { block[kScanZigzag[i]] = clamp12(recon_odd(v, qp)); });
  }
  if (st == kOk) br.save(pp, offset);
  return st;
}

// ISO/IEC 14496-2 7.4.4: method 1 without a matrix, method 2 with one (then
// mismatch control, 7.4.4.4), saturated to the range of the bits per pixel.
template <class Read>
int recon_mpeg4_with(FwdReader& br, int16_t* block, int32_t* last, const KvnQuantInvState_MPEG4& s, int32_t qp,
                     const uint8_t* scan, Read read) {
  const int32_t lo = mpeg4::recon_min(s.bitsPerPixel), hi = mpeg4::recon_max(s.bitsPerPixel);
  if (!s.matrixFlag) {
    const int32_t odd = qp - ((qp & 1) ^ 1);
    return decode_forward(br, -1, last, true, read, [&](int i, int32_t l) {
      const int32_t m = 2 * qp * (l < 0 ? -l : l) + odd;
      block[scan[i]] = int16_t(mpeg4::clamp(l < 0 ? -m : m, lo, hi));
    });
  }
  int32_t sum = 0;
  const int st = decode_forward(br, -1, last, true, read, [&](int i, int32_t l) {
    const int k = scan[i];
    const int32_t f = (2 * l + (l < 0 ? -1 : 1)) * int32_t(s.weights[k]) * qp / 16;
    const int16_t v = int16_t(mpeg4::clamp(f, lo, hi));
    block[k] = v;
    sum += v;
  });
  if (st == kOk && !(sum & 1)) block[63] = int16_t(block[63] ^ 1);
  return st;
}

int recon_inter_mpeg4(uint8_t** pp, int32_t* offset, int16_t* block, int32_t* last, const Mpeg4VlcArgs& a) {
  std::memset(block, 0, sizeof(int16_t) * 64);
  const uint8_t* scan = a.scan == 1 ? kScanAltVertical : kScanZigzag;
  FwdReader br(*pp, *offset);
  const int st = a.rvlc ? recon_mpeg4_with(br, block, last, *a.state, a.qp, scan,
                                           [&](FwdReader& r, Coef& c) { return read_rvlc(r, kLookupRvlcInter, c); })
                        : recon_mpeg4_with(br, block, last, *a.state, a.qp, scan, [&](FwdReader& r, Coef& c) {
                            return read_mpeg4<kLookupTcoef>(r, kMpeg4InterLimits, c);
                          });
  if (st == kOk) br.save(pp, offset);
  return st;
}

}  // namespace

const Mpeg4VlcKernels kMpeg4VlcKernelsC = {
    decode_mpeg4<true>,
    decode_mpeg4<false>,
    decode_rvlc_back<true>,
    decode_rvlc_back<false>,
    decode_h263<true>,
    decode_h263<false>,
    decode_h261<true>,
    decode_h261<false>,
    dc_h263,
    dc_mpeg4,
    recon_h261<true>,
    recon_h261<false>,
    recon_intra_h263,
    recon_inter_h263,
    recon_inter_mpeg4,
};

}  // namespace kvn
