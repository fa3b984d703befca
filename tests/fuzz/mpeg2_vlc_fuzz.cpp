// libFuzzer target for the MPEG-1/MPEG-2 VLC family, through the entries'
// bodies. The first byte picks the function.
//
// Builders get source tables made from the input (stage descriptions raw,
// codes, values and counts from the input, always terminated): a table they
// accept must decode every one of its codes back to its value. Block
// decoders read a stream made of the input with the standard tables in
// several stage layouts or with a table built from the input, first with
// ample room, then - when they succeeded - with the stream ending one word
// after the word holding the last bit consumed, right before an inaccessible
// page; both runs must agree. (Writers and decoders meet in the round trips
// of the tests.)
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/entry.h"
#include "fuzz_support.h"
#include "mpeg2_vlc_tables.h"

namespace {

using kvnsupport::Mpeg2DctTable;

using kvnfuzz::guarded;

struct Input {
  const uint8_t* d;
  std::size_t n, at = 0;
  uint8_t byte() { return at < n ? d[at++] : 0; }
  uint32_t u32() {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v = v << 8 | byte();
    return v;
  }
};

struct Built {
  Kvn32s* t = nullptr;
  ~Built() {
    if (t) KVN_BODY(kvniHuffmanTableFree_32s, 0)(t);
  }
};

// Standard tables: first-coefficient, B-14, B-15, DC luma, DC chroma, in one
// of three stage layouts.
struct Standard {
  Built first, b14, b15, dcLuma, dcChroma;
  explicit Standard(const std::vector<int>& stages) {
    KVN_BODY(kvniHuffmanRunLevelTableInitAlloc_32s, 0)
    (kvnsupport::mpeg2_dct_source(Mpeg2DctTable::kB14First, stages).data(), &first.t);
    KVN_BODY(kvniHuffmanRunLevelTableInitAlloc_32s, 0)
    (kvnsupport::mpeg2_dct_source(Mpeg2DctTable::kB14, stages).data(), &b14.t);
    KVN_BODY(kvniHuffmanRunLevelTableInitAlloc_32s, 0)
    (kvnsupport::mpeg2_dct_source(Mpeg2DctTable::kB15, stages).data(), &b15.t);
    KVN_BODY(kvniHuffmanTableInitAlloc_32s, 0)(kvnsupport::mpeg2_dc_size_source(false, stages).data(), &dcLuma.t);
    KVN_BODY(kvniHuffmanTableInitAlloc_32s, 0)(kvnsupport::mpeg2_dc_size_source(true, stages).data(), &dcChroma.t);
    CHECK(first.t && b14.t && b15.t && dcLuma.t && dcChroma.t);
  }
};

const Standard& standard(int layout) {
  static const Standard s[3] = {Standard({8, 9}), Standard({1, 16}), Standard({3, 3, 3, 3, 3, 3})};
  return s[layout % 3];
}

// A source table from the input: raw stage words (mostly sane), then up to 12
// lengths of a few codes each.
struct SourceCode {
  int len;
  uint32_t code;
  int32_t a, b;
};
std::vector<int32_t> source_from(Input& in, bool runLevel, std::vector<SourceCode>& codes) {
  std::vector<int32_t> s = {0};
  const uint8_t mode = in.byte();
  const int stages = mode & 0x80 ? int(int8_t(in.byte())) : 1 + in.byte() % 4;
  s.push_back(stages);
  for (int i = 0; i < (stages > 0 && stages < 40 ? stages : 0); ++i)
    s.push_back(mode & 0x40 ? int32_t(int8_t(in.byte())) : 1 + in.byte() % 8);
  const int lengths = 1 + in.byte() % 12;
  for (int len = 1; len <= lengths; ++len) {
    const int n = in.byte() % 4;
    s.push_back(n);
    for (int i = 0; i < n; ++i) {
      SourceCode c{len, in.byte() & 0x80 ? in.u32() : in.u32() & ((1u << len) - 1), int32_t(in.u32()),
                   int32_t(int16_t(in.u32()))};
      if (in.byte() & 1) c.a = int8_t(c.a);
      codes.push_back(c);
      s.push_back(int32_t(c.code));
      s.push_back(c.a);
      if (runLevel) s.push_back(c.b);
    }
  }
  s.push_back(-1);
  return s;
}

std::vector<Kvn32u> code_words(int len, uint32_t code) {
  std::vector<Kvn32u> w(3, 0);
  const uint64_t v = uint64_t(code) << (64 - len);
  w[0] = uint32_t(v >> 32), w[1] = uint32_t(v);
  return w;
}

void fuzz_builders(Input& in) {
  const int kind = in.byte() % 3;
  std::vector<SourceCode> codes;
  const std::vector<int32_t> src = source_from(in, kind != 0, codes);
  Built b;
  const KvnResult st = kind == 0   ? KVN_BODY(kvniHuffmanTableInitAlloc_32s, 0)(src.data(), &b.t)
                       : kind == 1 ? KVN_BODY(kvniHuffmanRunLevelTableInitAlloc_32s, 0)(src.data(), &b.t)
                                   : KVN_BODY(kvniCreateRLEncodeTable, 0)(src.data(), &b.t);
  CHECK(st == KVN_STS_OK || st == KVN_STS_VLC_CODE_ERR || st == KVN_STS_MEM_ALLOC);
  CHECK((st == KVN_STS_OK) == (b.t != nullptr));
  if (st != KVN_STS_OK || kind == 2) return;
  // Every code decodes to its value with the position right after it, and
  // reads nothing beyond the word after its last bit.
  for (const SourceCode& c : codes) {
    std::vector<Kvn32u> w = code_words(c.len, c.code);
    Kvn32u* at = guarded().place(w.data(), c.len > 32 ? 3 : 2);
    Kvn32u* p = at;
    Kvn32s idx = 31;
    if (kind == 0) {
      Kvn32s v = 0;
      CHECK(KVN_BODY(kvniDecodeHuffmanOne_1u32s, 0)(&p, &idx, &v, b.t) == KVN_STS_OK);
      CHECK(v == c.a);
    } else {
      Kvn8u first = 0;
      Kvn16s second = 0;
      CHECK(KVN_BODY(kvniDecodeHuffmanPair_1u16s, 0)(&p, &idx, b.t, &first, &second) == KVN_STS_OK);
      CHECK(first == uint8_t(c.a) && second == int16_t(c.b));
    }
    CHECK((p - at) * 32 + 31 - idx == c.len);
  }
}

std::vector<uint32_t> to_words(Input& in, std::size_t pad) {
  std::vector<uint32_t> w((in.n - in.at + 3) / 4 + pad, 0);
  for (std::size_t i = 0; in.at < in.n; ++i) w[i / 4] |= uint32_t(in.byte()) << (24 - 8 * (i % 4));
  return w;
}

struct Outcome {
  KvnResult st;
  long words;
  Kvn32s idx, last;
  Kvn16s pred;
  int16_t b[64];
};

Outcome decode(int fn, Kvn32u* at, Kvn32s idx, const Kvn32s* t1, const Kvn32s* t2, const Kvn32s* scan, int q,
               const Kvn16s* w, Kvn16s pred, int shift) {
  Outcome o{};
  auto* blk = static_cast<int16_t*>(std::malloc(128));  // exact size: ASan sees any overflow
  Kvn32u* p = at;
  o.idx = idx, o.last = -1, o.pred = pred;
  switch (fn) {
    case 0: o.st = KVN_BODY(kvniReconstructDCTBlock_MPEG1_32s, 0)(&p, &o.idx, t1, t2, scan, q, w, blk, &o.last); break;
    case 1: o.st = KVN_BODY(kvniReconstructDCTBlock_MPEG2_32s, 0)(&p, &o.idx, t1, t2, scan, q, w, blk, &o.last); break;
    case 2:
      o.st = KVN_BODY(kvniReconstructDCTBlockIntra_MPEG1_32s, 0)(&p, &o.idx, t1, t2, scan, q, w, &o.pred, blk, &o.last);
      break;
    default:
      o.st = KVN_BODY(kvniReconstructDCTBlockIntra_MPEG2_32s, 0)(&p, &o.idx, t1, t2, scan, q, w, &o.pred, shift, blk,
                                                                 &o.last);
  }
  std::memcpy(o.b, blk, 128);
  std::free(blk);
  o.words = long(p - at);
  CHECK(o.st == KVN_STS_OK || o.st == KVN_STS_VLC_CODE_ERR);
  CHECK(o.idx >= 0 && o.idx <= 31);
  CHECK(o.words > 0 || (o.words == 0 && o.idx <= idx));
  if (o.st == KVN_STS_OK) {
    CHECK(o.last >= 0 && o.last <= 63);
    for (int i = 0; i < 64; ++i)
      if (fn != 2 || i != 0) CHECK(o.b[i] >= -2048 && o.b[i] <= 2047);
  }
  return o;
}

void fuzz_blocks(Input& in) {
  const int fn = in.byte() % 4, layout = in.byte();
  const Standard& s = standard(layout);
  const bool intra = fn >= 2;
  const uint8_t opts = in.byte();
  const Kvn32s* t1 = intra ? ((opts & 1) ? s.dcChroma.t : s.dcLuma.t) : s.first.t;
  const Kvn32s* t2 = (opts & 2) && fn == 3 ? s.b15.t : s.b14.t;
  Built wild;
  if ((opts & 0x0c) == 0x0c) {  // a table built from the input replaces one
    std::vector<SourceCode> codes;
    const std::vector<int32_t> src = source_from(in, !(intra && (opts & 0x10)), codes);
    const KvnResult st = intra && (opts & 0x10)
                             ? KVN_BODY(kvniHuffmanTableInitAlloc_32s, 0)(src.data(), &wild.t)
                             : KVN_BODY(kvniHuffmanRunLevelTableInitAlloc_32s, 0)(src.data(), &wild.t);
    if (st == KVN_STS_OK) (intra && (opts & 0x10) ? t1 : t2) = wild.t;
  }
  int32_t scan[64];
  std::memcpy(scan, opts & 0x20 ? kvnsupport::kMpeg2Alternate : kvnsupport::kMpeg2Zigzag, sizeof scan);
  if (opts & 0x40) scan[in.byte() & 63] = int8_t(in.byte());
  Kvn16s w[64];
  for (auto& v : w) v = Kvn16s(1 + in.byte());
  const int q = opts & 0x80 ? int(int32_t(in.u32())) : 1 + in.byte() % 112;
  const Kvn16s pred = Kvn16s(in.u32());
  const int shift = in.byte() & 3;
  const Kvn32s idx = in.byte() & 31;
  const bool noWeights = fn == 1 && (in.byte() & 1);
  // Zero words after the input, more than any block can read: at most 64
  // events of a code of up to 31 bits and an MPEG-1 escape's 22 bits, with
  // the intra DC and the end of block, stay below 3500 bits (110 words). The
  // tight run then checks the decoder reads no further than it consumed.
  std::vector<uint32_t> roomy = to_words(in, 128);
  Kvn32u* start = guarded().place(roomy.data(), roomy.size());
  const Outcome a = decode(fn, start, idx, t1, t2, scan, q, noWeights ? nullptr : w, pred, shift);
  if (a.st != KVN_STS_OK) return;
  const std::size_t used = std::size_t(a.words) + (a.idx == 31 ? 1 : 2);
  Kvn32u* tight = guarded().place(roomy.data(), used);
  const Outcome b = decode(fn, tight, idx, t1, t2, scan, q, noWeights ? nullptr : w, pred, shift);
  CHECK(b.st == a.st && b.words == a.words && b.idx == a.idx && b.last == a.last && b.pred == a.pred);
  CHECK(!std::memcmp(a.b, b.b, sizeof a.b));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  Input in{data + 1, size - 1};
  if (data[0] & 1)
    fuzz_blocks(in);
  else
    fuzz_builders(in);
  return 0;
}
