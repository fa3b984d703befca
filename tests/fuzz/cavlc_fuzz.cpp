// libFuzzer target for the H.264 Exp-Golomb and CAVLC decoders and the CAVLC
// analysis, through the entries' bodies. The first byte picks the function.
//
// Decoders read a stream made of the input, first from a buffer with ample
// room, then - when they succeeded - again with the stream ending one word
// after the word that holds the last bit consumed, right before an
// inaccessible page: a read beyond that spare word crashes. Code errors must leave the position where
// it was; coefficient buffers are exactly one block long, so that a write
// outside it is caught. Analyses of input coefficients are compared between
// every kernel level and decoded back when the levels fit the decoder.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "cavlc_writer.h"
#include "fuzz_support.h"
#include "core/entry.h"
#include "h264/cavlc/cavlc_encode.h"
#include "h264_vlc_tables.h"

namespace {

constexpr int32_t kZigzag[16] = {0, 1, 4, 8, 5, 2, 3, 6, 9, 12, 13, 10, 7, 11, 14, 15};

using kvnfuzz::guarded;

// Words of the stream a decoder needs when it stopped at (word, index): the
// word holding the last bit it consumed, and the one spare word after it.
std::size_t words_needed(const Kvn32u* start, const Kvn32u* word, Kvn32u index) {
  return std::size_t(word - start) + (index == 31 ? 1 : 2);
}

// Standard tables in several level layouts.
const kvnvlc::CavlcTables& tables(int layout) {
  static const kvnvlc::CavlcTables t[4] = {kvnvlc::CavlcTables(8, 4), kvnvlc::CavlcTables(1, 1),
                                           kvnvlc::CavlcTables(16, 16), kvnvlc::CavlcTables(3, 5)};
  return t[layout & 3];
}

// A large table array whose first words come from the input: every entry a
// lookup can reach lies inside it, links are kept inside.
struct WildTable {
  static constexpr std::size_t kWords = (1u << 17) + (1u << 16) + 2;
  std::vector<int32_t> words = std::vector<int32_t>(kWords, 0);
  const int32_t* set(const uint8_t* data, std::size_t n) {
    std::fill(words.begin(), words.begin() + 64, 0);
    for (std::size_t i = 0; i < 64 && 4 * i + 3 < n; ++i) {
      int32_t e;
      std::memcpy(&e, data + 4 * i, 4);
      if (e & 0x80) e = int32_t((uint32_t(e) >> 8 & 0xffff) << 8 | (uint32_t(e) & 0xff));
      words[i] = e;
    }
    return words.data();
  }
};

enum Kind { k16s, k32s, kRange, kDc2x2_16s, kDc2x2_32s, kDc2x4_16s, kDc2x4_32s, kKinds };

struct Params {
  int kind, nC, maxCoeff, start, end;
  const int32_t* const* ct;
  const int32_t* dct;
  const int32_t* const* tz;
  const int32_t* const* rb;
  const int32_t* scan;
};

struct Outcome {
  KvnResult status;
  const Kvn32u* word;
  Kvn32u index;
  Kvn16s numCoeff;
  long advanced;
  int32_t coef[16];
};

template <class T>
Outcome call(const Params& p, Kvn32u* word, Kvn32u index) {
  const int n = p.kind == kDc2x2_16s || p.kind == kDc2x2_32s ? 4 : p.kind >= kDc2x4_16s ? 8 : 16;
  T* buf = static_cast<T*>(std::malloc(sizeof(T) * std::size_t(n)));  // exact size: ASan sees any overflow
  for (int i = 0; i < n; ++i) buf[i] = T(0x5a5a);
  T* q = buf;
  Outcome o{};
  o.numCoeff = -1;
  Kvn32u* w = word;
  Kvn32u idx = index;
  if constexpr (sizeof(T) == 2) {
    switch (p.kind) {
      case k16s:
        o.status = KVN_BODY(kvniDecodeCAVLCCoeffs_H264_1u16s, 0)(&w, &idx, &o.numCoeff, &q, p.nC, Kvn16s(p.maxCoeff),
                                                                 p.ct, p.tz, p.rb, p.scan);
        break;
      case kRange:
        o.status = KVN_BODY(kvniDecodeCAVLCCoeffsIdxs_H264_1u16s, 0)(
            &w, &idx, &o.numCoeff, &q, p.nC, Kvn16s(p.maxCoeff), p.ct, p.tz, p.rb, p.scan, p.start, p.end);
        break;
      case kDc2x2_16s:
        o.status = KVN_BODY(kvniDecodeCAVLCChromaDcCoeffs_H264_1u16s, 0)(&w, &idx, &o.numCoeff, &q, p.dct, p.tz, p.rb);
        break;
      default:
        o.status =
            KVN_BODY(kvniDecodeCAVLCChroma422DcCoeffs_H264_1u16s, 0)(&w, &idx, &o.numCoeff, &q, p.dct, p.tz, p.rb);
    }
  } else {
    switch (p.kind) {
      case k32s:
        o.status = KVN_BODY(kvniDecodeCAVLCCoeffs_H264_1u32s, 0)(&w, &idx, &o.numCoeff, &q, p.nC, Kvn16s(p.maxCoeff),
                                                                 p.ct, p.tz, p.rb, p.scan);
        break;
      case kDc2x2_32s:
        o.status = KVN_BODY(kvniDecodeCAVLCChromaDcCoeffs_H264_1u32s, 0)(&w, &idx, &o.numCoeff, &q, p.dct, p.tz, p.rb);
        break;
      default:
        o.status =
            KVN_BODY(kvniDecodeCAVLCChroma422DcCoeffs_H264_1u32s, 0)(&w, &idx, &o.numCoeff, &q, p.dct, p.tz, p.rb);
    }
  }
  o.word = w;
  o.index = idx;
  o.advanced = long(q - buf);
  for (int i = 0; i < n; ++i) o.coef[i] = buf[i];
  std::free(buf);
  // Whatever the input: a known status, the pointer moved by 0 or a block,
  // a code error leaves the position, the position never goes back.
  CHECK(o.status == KVN_STS_OK || o.status == KVN_STS_VLC_CODE_ERR || o.status == KVN_STS_NULL_PTR ||
        o.status == KVN_STS_OUT_OF_RANGE || o.status == KVN_STS_BAD_ARG);
  CHECK(o.advanced == 0 || (o.status == KVN_STS_OK && o.advanced == n && o.numCoeff > 0));
  if (o.status == KVN_STS_OK) CHECK(o.numCoeff >= 0 && o.numCoeff <= n && (o.numCoeff == 0) == (o.advanced == 0));
  if (o.status != KVN_STS_OK && o.status != KVN_STS_NULL_PTR) CHECK(w == word && idx == index);
  CHECK(idx <= 31);
  CHECK(w > word || (w == word && idx <= index));
  return o;
}

Outcome call_kind(const Params& p, Kvn32u* word, Kvn32u index) {
  const bool wide = p.kind == k32s || p.kind == kDc2x2_32s || p.kind == kDc2x4_32s;
  return wide ? call<int32_t>(p, word, index) : call<int16_t>(p, word, index);
}

std::vector<uint32_t> to_words(const uint8_t* data, std::size_t size, std::size_t pad) {
  std::vector<uint32_t> w((size + 3) / 4 + pad, 0);
  for (std::size_t i = 0; i < size; ++i) w[i / 4] |= uint32_t(data[i]) << (24 - 8 * (i % 4));
  return w;
}

void fuzz_decoder(const uint8_t* data, std::size_t size) {
  if (size < 6) return;
  static WildTable wild;
  Params p{};
  p.kind = data[1] % kKinds;
  p.nC = data[2] % 24;
  p.start = data[3] & 15;
  p.end = p.start + (data[3] >> 4) % (16 - p.start);
  p.maxCoeff = p.kind == kRange ? 1 + data[4] % 16 : 15 + (data[4] & 1);
  const Kvn32u index = data[5] & 31;
  const bool wildTables = (data[5] >> 5) == 7;
  const kvnvlc::CavlcTables& t = tables(data[2] >> 5);
  const bool dc2 = p.kind == kDc2x2_16s || p.kind == kDc2x2_32s;
  p.ct = t.coeff_token();
  p.dct = dc2 ? t.coeff_token_dc2x2() : t.coeff_token_dc2x4();
  p.tz = p.kind == kRange       ? (p.maxCoeff <= 4   ? t.total_zeros_dc2x2()
                                   : p.maxCoeff <= 8 ? t.total_zeros_dc2x4()
                                                     : t.total_zeros())
         : dc2                  ? t.total_zeros_dc2x2()
         : p.kind >= kDc2x4_16s ? t.total_zeros_dc2x4()
                                : t.total_zeros();
  p.rb = t.run_before();
  int32_t scan[16];
  std::memcpy(scan, kZigzag, sizeof scan);
  data += 6, size -= 6;
  const int32_t* wildPtrs[16];
  if (wildTables && size > 8) {  // tables and scan from the input
    const int32_t* w = wild.set(data, size);
    for (auto& q : wildPtrs) q = w;
    p.ct = p.tz = p.rb = wildPtrs;
    p.dct = w;
    scan[data[0] & 15] = int32_t(data[1]) - 64;
  }
  p.scan = scan;
  // Run 1: ample room after the input.
  std::vector<uint32_t> roomy = to_words(data, size, 64);
  const std::size_t dataWords = (size + 3) / 4;
  Kvn32u* start = guarded().place(roomy.data(), roomy.size());
  const Outcome a = call_kind(p, start, index);
  if (a.status != KVN_STS_OK) return;
  // Run 2: the stream ends one word after the one holding the last bit read.
  const std::size_t used = words_needed(start, a.word, a.index);
  if (used > dataWords + 64) __builtin_trap();
  Kvn32u* tight = guarded().place(roomy.data(), used);
  const Outcome b = call_kind(p, tight, index);
  CHECK(b.status == a.status && b.numCoeff == a.numCoeff && b.advanced == a.advanced && b.index == a.index);
  CHECK(b.word - tight == a.word - start && !std::memcmp(a.coef, b.coef, sizeof a.coef));
}

void fuzz_exp_golomb(const uint8_t* data, std::size_t size) {
  if (size < 3) return;
  const Kvn32u index = data[1] & 31;
  const bool wide = data[1] & 32, isSigned = data[1] & 64;
  std::vector<uint32_t> roomy = to_words(data + 2, size - 2, 4);
  Kvn32u* start = guarded().place(roomy.data(), roomy.size());
  for (int run = 0; run < 2; ++run) {
    Kvn32u* w = start;
    Kvn32u idx = index;
    Kvn32s v32 = 0;
    Kvn16s v16 = 0;
    const KvnResult st = wide ? KVN_BODY(kvniDecodeExpGolombOne_H264_1u32s, 0)(&w, &idx, &v32, isSigned)
                              : KVN_BODY(kvniDecodeExpGolombOne_H264_1u16s, 0)(&w, &idx, &v16, isSigned);
    CHECK(st == KVN_STS_OK || st == KVN_STS_VLC_CODE_ERR);
    if (st != KVN_STS_OK) {
      CHECK(w == start && idx == index);
      return;
    }
    if (run == 0) start = guarded().place(roomy.data(), words_needed(start, w, idx));
  }
}

// Coefficients from the input: analysis by every kernel level, then coded
// and decoded back.
void fuzz_analysis(const uint8_t* data, std::size_t size) {
  if (size < 4 + 64) return;
  const int shape = data[1] % 3;  // 4x4, 2x2, 2x4
  const bool wide = data[1] & 4;
  const int start = data[2] & 15, end = start + (data[2] >> 4) % (16 - start);
  int32_t c32[16];
  int16_t c16[16];
  for (int i = 0; i < 16; ++i) {
    std::memcpy(&c32[i], data + 4 + 4 * i, 4);
    if (data[3] & 1) c32[i] = c32[i] % 5;  // sparse, small
    if (data[3] & 2) c32[i] = int16_t(c32[i]);
    c16[i] = int16_t(c32[i]);
  }
  const int n = shape == 0 ? 16 : shape == 1 ? 4 : 8;
  struct Out {
    uint8_t c[4];
    int32_t levels[16];
    uint8_t runs[16];
    bool ok;
  } ref{};
  for (int lvl = 0; lvl < int(kvn::Isa::kCount); ++lvl) {
    if (!kvn::isa_supported(kvn::Isa(lvl))) continue;
    const kvn::CavlcEncodeKernels& k = kvn::cavlc_encode_kernels(kvn::Isa(lvl));
    Out o;
    std::memset(&o, 0xa5, sizeof o);
    int16_t l16[16];
    std::memset(l16, 0xa5, sizeof l16);
    const kvn::CavlcCounts cnt{&o.c[0], &o.c[1], &o.c[2], &o.c[3]};
    o.ok = true;
    if (shape == 0)
      o.ok = wide ? k.block32s(c32, start, kZigzag, end, cnt, o.levels, o.runs)
                  : k.block16s(c16, start, kZigzag, end, cnt, l16, o.runs);
    else if (shape == 1)
      wide ? k.dc2x2_32s(c32, cnt, o.levels, o.runs) : k.dc2x2_16s(c16, cnt, l16, o.runs);
    else
      wide ? k.dc2x4_32s(c32, cnt, o.levels, o.runs) : k.dc2x4_16s(c16, cnt, l16, o.runs);
    if (!wide)
      for (int i = 0; i < 16; ++i) o.levels[i] = l16[i];
    if (lvl == 0)
      ref = o;
    else
      CHECK(!std::memcmp(ref.c, o.c, 4) && !std::memcmp(ref.levels, o.levels, sizeof o.levels) &&
            !std::memcmp(ref.runs, o.runs, sizeof o.runs));
  }
  CHECK(ref.ok);
  const int tc = ref.c[2], t1 = ref.c[0];
  kvnvlc::CavlcBlock b;
  b.trailingOnes = t1, b.signs = ref.c[1], b.totalCoeff = tc, b.totalZeros = ref.c[3];
  for (int i = 0; i < tc - t1; ++i) {
    b.levels[i] = wide ? ref.levels[i] : int16_t(ref.levels[i]);
    if (b.levels[i] > 32768 || b.levels[i] < -32768) return;  // beyond what the decoders return
  }
  for (int i = 0; i + 1 < tc; ++i) b.runs[i] = ref.runs[i];
  const int nC = shape == 1 ? -1 : shape == 2 ? -2 : data[3] >> 3;
  kvnvlc::BitWriter w;
  CHECK(kvnvlc::write_cavlc_block(w, b, {nC, shape == 0 ? 16 : n, shape == 0 ? end - start + 1 : 16}));
  std::vector<uint32_t> words = w.words(1);
  Params p{};
  p.kind = shape == 0 ? kRange : shape == 1 ? (wide ? kDc2x2_32s : kDc2x2_16s) : (wide ? kDc2x4_32s : kDc2x4_16s);
  const kvnvlc::CavlcTables& t = tables(data[3] >> 2);
  p.nC = nC < 0 ? 0 : nC, p.maxCoeff = 16, p.start = start, p.end = end;
  p.ct = t.coeff_token();
  p.dct = shape == 1 ? t.coeff_token_dc2x2() : t.coeff_token_dc2x4();
  p.tz = shape == 1 ? t.total_zeros_dc2x2() : shape == 2 ? t.total_zeros_dc2x4() : t.total_zeros();
  p.rb = t.run_before();
  p.scan = kZigzag;
  Kvn32u* at = guarded().place(words.data(), words.size());
  const Outcome o = call_kind(p, at, 31);
  CHECK(o.status == KVN_STS_OK && o.numCoeff == tc);
  CHECK(uint64_t(o.word - at) * 32 + 31 - o.index == w.size());
  if (tc == 0) return;
  for (int i = 0; i < n; ++i) {
    int32_t want = 0;
    if (shape == 0) {
      for (int k = start; k <= end; ++k)
        if (kZigzag[k] == i) want = wide ? c32[i] : c16[i];
    } else {
      want = wide ? c32[i] : c16[i];
    }
    if (p.kind == kRange) want = int16_t(want);
    CHECK(o.coef[i] == want);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  switch (data[0] % 4) {
    case 0:
    case 1: fuzz_decoder(data, size); break;
    case 2: fuzz_exp_golomb(data, size); break;
    default: fuzz_analysis(data, size);
  }
  return 0;
}
