// MPEG-4 Visual / H.263 / H.261 coefficient and intra DC writers.
//
// Each block is one walk along the scan: a non-zero level ends the run of
// zeros before it and becomes an event (last, run, level), which is coded as
// soon as the next non-zero level (or the end of the count or of the block)
// tells whether it is the last one. Every event costs one lookup in the
// encoding tables built from the decoders' code tables.
#include "mpeg4/byte_bit_writer.h"
#include "mpeg4/coeff_encode.h"
#include "mpeg4/coeff_encode_lookup.h"
#include "tables/mpeg4_vlc_tables.h"

namespace kvn {
namespace {

using mpeg4::kLookupMaxLevel;
using mpeg4::make_run_level_codes;
using mpeg4::make_rvlc_codes;

constexpr auto kH263Codes = make_run_level_codes(vlc::kH263Tcoef);         // H.263 Table 16 = 14496-2 B-17
constexpr auto kAdvIntraCodes = make_run_level_codes(vlc::kH263IntraAic);  // H.263 Annex I Table I.2
constexpr auto kMpeg4IntraCodes = make_run_level_codes(vlc::kMpeg4Intra);  // 14496-2 B-16
constexpr auto kRvlcIntraCodes = make_rvlc_codes<true>(vlc::kMpeg4Rvlc);   // 14496-2 B-23, intra meaning
constexpr auto kRvlcInterCodes = make_rvlc_codes<false>(vlc::kMpeg4Rvlc);  // 14496-2 B-23, inter meaning
constexpr auto kH261Codes = make_run_level_codes(vlc::kH261Tcoef);         // H.261 Table 5
static_assert(kH263Codes.valid && kAdvIntraCodes.valid && kMpeg4IntraCodes.valid && kRvlcIntraCodes.valid &&
                  kRvlcInterCodes.valid && kH261Codes.valid,
              "a code table has an entry out of range, an event twice or a gap in its levels");
static_assert(kH261Codes.maxRun[1] < 0, "H.261 has no LAST");
static_assert(mpeg4::same_limits(kMpeg4IntraCodes, vlc::kMpeg4IntraLimits) &&
                  mpeg4::same_limits(kH263Codes, vlc::kMpeg4InterLimits),
              "LMAX and RMAX of the escapes (14496-2 Tables B-19 to B-22)");

// Escapes and the fixed H.261 codes, as (code, length).
constexpr uint32_t kEscape = vlc::kTcoefEscape.code, kEscapeBits = vlc::kTcoefEscape.length;
constexpr uint32_t kRvlcEscape = vlc::kRvlcEscape.code, kRvlcEscapeBits = vlc::kRvlcEscape.length;
constexpr uint32_t kH261Escape = vlc::kH261Escape.code, kH261EscapeBits = vlc::kH261Escape.length;
constexpr uint32_t kH261Eob = vlc::kH261Eob.code, kH261EobBits = vlc::kH261Eob.length;
constexpr uint32_t kH261First = vlc::kH261FirstCoeff.code, kH261FirstBits = vlc::kH261FirstCoeff.length;
static_assert(kEscapeBits + 23 <= 32 && kRvlcEscapeBits * 2 + 22 <= 32 && kH261EscapeBits + 14 <= 32 &&
                  kH261FirstBits < 32,
              "escape lengths");

__attribute__((always_inline)) inline void put_code(ByteBitWriter& w, uint32_t c, uint32_t sign) {
  w.put((c >> 8) | sign, int(c & 0xff));
}

// Calls emit(last, run, level, first) for each coded event: `count` non-zero
// levels from scan position `start` (fewer when the block ends first).
template <class Emit>
__attribute__((always_inline)) inline void walk(const int16_t* blk, const uint8_t* scan, int start, int count,
                                                Emit&& emit) {
  if (count <= 0) return;
  int run = 0, pendRun = -1;
  int32_t pendLevel = 0;
  bool first = true;
  for (int p = start; p < 64; ++p) {
    const int32_t v = blk[scan[p] & 63];
    if (!v) {
      ++run;
      continue;
    }
    if (pendRun >= 0) {
      emit(0, pendRun, pendLevel, first);
      first = false;
    }
    pendRun = run;
    pendLevel = v;
    run = 0;
    if (--count == 0) break;
  }
  if (pendRun >= 0) emit(1, pendRun, pendLevel, first);
}

// ---- MPEG-4 (ISO/IEC 14496-2 7.4.1.3: table code, escape types 1, 2, 3) -----

template <size_t N>
inline void put_mpeg4_event(ByteBitWriter& w, const mpeg4::RunLevelCodes<N>& t, int last, int run, int32_t level) {
  const uint32_t sign = level < 0, mag = sign ? uint32_t(-level) : uint32_t(level);
  uint32_t c = t.find(last, uint32_t(run), mag);
  if (c) return put_code(w, c, sign);
  if (run <= t.maxRun[last]) {  // type 1: level - LMAX(last, run)
    const uint32_t lmax = t.lmax[last][run];
    if (mag > lmax && mag <= 2 * lmax && (c = t.find(last, uint32_t(run), mag - lmax))) {
      w.put(kEscape << 1, kEscapeBits + 1);
      return put_code(w, c, sign);
    }
  }
  if (mag <= uint32_t(kLookupMaxLevel) && t.rmax[last][mag] >= 0) {  // type 2: run - RMAX(last, level) - 1
    const int rmax = t.rmax[last][mag], r = run - rmax - 1;
    if (r >= 0 && r <= rmax && (c = t.find(last, uint32_t(r), mag))) {
      w.put(kEscape << 2 | 2, kEscapeBits + 2);
      return put_code(w, c, sign);
    }
  }
  // type 3: LAST, RUN (6), marker, LEVEL (12, two's complement), marker
  w.put((kEscape << 2 | 3) << 21 | uint32_t(last) << 20 | uint32_t(run) << 14 | 1u << 13 |
            (uint32_t(level) & 0xfff) << 1 | 1u,
        int(kEscapeBits) + 23);
}

template <bool kIntra>
void encode_mpeg4(const int16_t* blk, uint8_t** pp, int32_t* offset, const CoeffEncodeArgs& a) {
  const auto& t = kIntra ? kMpeg4IntraCodes : kH263Codes;
  ByteBitWriter w(*pp, *offset);
  walk(blk, a.scan, a.start, a.count,
       [&](int last, int run, int32_t level, bool) { put_mpeg4_event(w, t, last, run, level); });
  w.finish(pp, offset);
}

// ---- MPEG-4 reversible codes (14496-2 Table B-23) ------------------------------

template <bool kIntra>
void encode_mpeg4_rvlc(const int16_t* blk, uint8_t** pp, int32_t* offset, const CoeffEncodeArgs& a) {
  const auto& t = kIntra ? kRvlcIntraCodes : kRvlcInterCodes;
  ByteBitWriter w(*pp, *offset);
  walk(blk, a.scan, a.start, a.count, [&](int last, int run, int32_t level, bool) {
    const uint32_t sign = level < 0, mag = sign ? uint32_t(-level) : uint32_t(level);
    if (const uint32_t c = t.find(last, uint32_t(run), mag)) return put_code(w, c, sign);
    // escape, 1, LAST, RUN (6), marker, |LEVEL| (11), marker, escape, sign
    const uint32_t tail = kRvlcEscape << 1 | sign;
    w.put(((kRvlcEscape << 1 | 1) << 20 | uint32_t(last) << 19 | uint32_t(run) << 13 | 1u << 12 | (mag & 0x7ff) << 1 |
           1u) << (kRvlcEscapeBits + 1) |
              tail,
          int(kRvlcEscapeBits) * 2 + 22);
  });
  w.finish(pp, offset);
}

// ---- H.263 (Table 16 or Annex I; escape with the Annex T extended level) -----

template <bool kAdvIntra, bool kModQuant>
void encode_h263(const int16_t* blk, uint8_t** pp, int32_t* offset, const CoeffEncodeArgs& a) {
  const auto& t = kAdvIntra ? kAdvIntraCodes : kH263Codes;
  ByteBitWriter w(*pp, *offset);
  walk(blk, a.scan, a.start, a.count, [&](int last, int run, int32_t level, bool) {
    const uint32_t sign = level < 0, mag = sign ? uint32_t(-level) : uint32_t(level);
    if (const uint32_t c = t.find(last, uint32_t(run), mag)) return put_code(w, c, sign);
    const uint32_t head = kEscape << 7 | uint32_t(last) << 6 | uint32_t(run);
    if (kModQuant && mag >= 128) {
      // LEVEL 1000 0000, then the 11-bit level: its 5 low bits, its 6 high bits
      const uint32_t ext = uint32_t(level) & 0x7ff;
      w.put(head << 8 | 0x80, int(kEscapeBits) + 15);
      w.put((ext & 0x1f) << 6 | ext >> 5, 11);
    } else {
      w.put(head << 8 | (uint32_t(level) & 0xff), int(kEscapeBits) + 15);
    }
  });
  w.finish(pp, offset);
}

// ---- H.261 (Table 5, escape, end of block) -----------------------------------

inline void put_intradc(ByteBitWriter& w, int32_t dc) { w.put(dc == 128 ? 0xff : uint32_t(dc) & 0xff, 8); }

template <bool kIntra>
void encode_h261(const int16_t* blk, uint8_t** pp, int32_t* offset, const CoeffEncodeArgs& a) {
  ByteBitWriter w(*pp, *offset);
  if (kIntra) put_intradc(w, blk[0]);  // position 0 of every scan
  walk(blk, a.scan, kIntra ? 1 : 0, kIntra ? a.count - 1 : a.count, [&](int, int run, int32_t level, bool first) {
    const uint32_t sign = level < 0, mag = sign ? uint32_t(-level) : uint32_t(level);
    if (!kIntra && first && run == 0 && mag == 1) return w.put(kH261First << 1 | sign, kH261FirstBits + 1);  // 1s
    if (const uint32_t c = kH261Codes.find(0, uint32_t(run), mag)) return put_code(w, c, sign);
    w.put(kH261Escape << 14 | uint32_t(run) << 8 | (uint32_t(level) & 0xff), int(kH261EscapeBits) + 14);
  });
  w.put(kH261Eob, int(kH261EobBits));
  w.finish(pp, offset);
}

// ---- intra DC -------------------------------------------------------------------

void encode_dc_h263(int32_t dc, uint8_t** pp, int32_t* offset, int32_t) {
  ByteBitWriter w(*pp, *offset);
  put_intradc(w, dc);
  w.finish(pp, offset);
}

// dct_dc_size (Tables B-13, B-14), dct_dc_differential, marker above size 8.
void encode_dc_mpeg4(int32_t dc, uint8_t** pp, int32_t* offset, int32_t blockType) {
  const uint32_t mag = uint32_t(dc < 0 ? -dc : dc);
  const int size = mag ? 32 - __builtin_clz(mag) : 0;
  const vlc::Codeword& sizeCode = (blockType == 1 ? vlc::kDcSizeChroma : vlc::kDcSizeLuma)[size];
  ByteBitWriter w(*pp, *offset);
  w.put(sizeCode.code, sizeCode.length);
  if (size > 0) w.put(uint32_t(dc > 0 ? dc : dc - 1), size);
  if (size > 8) w.put(1, 1);
  w.finish(pp, offset);
}

}  // namespace

const CoeffEncodeKernels kCoeffEncodeKernelsC = {
    {encode_mpeg4<false>, encode_mpeg4<true>},
    {encode_mpeg4_rvlc<false>, encode_mpeg4_rvlc<true>},
    {{encode_h263<false, false>, encode_h263<false, true>}, {encode_h263<true, false>, encode_h263<true, true>}},
    {encode_h261<false>, encode_h261<true>},
    encode_dc_h263,
    encode_dc_mpeg4,
};

}  // namespace kvn
