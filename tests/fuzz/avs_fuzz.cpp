// libFuzzer target for the AVS block decoders, through the entries' bodies.
// The first byte picks the decoder, the scan and the start bit; the rest is
// the stream. Each decode runs first with ample room (zeros after the data),
// then - when it succeeded - with the stream ending one word after the word
// holding the last bit consumed, right before an inaccessible page; both runs
// must agree. A code error must leave the position and the outputs as they
// were; a success must give a count within 0..64 (63 with the field scan)
// and, with the zigzag scan, no coefficient at or beyond the count.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/entry.h"
#include "fuzz_support.h"
#include "tables/avs_tables.h"

namespace {

using kvnfuzz::guarded;

struct Outcome {
  KvnResult st;
  long words;
  Kvn32u idx, count;
  int16_t b[64];
};

Outcome decode(int fn, Kvn32u* at, Kvn32u idx, Kvn32s scan) {
  Outcome o{};
  auto* blk = static_cast<int16_t*>(std::malloc(128));  // exact size: ASan sees any overflow
  std::memset(blk, 0x55, 128);
  Kvn32u* p = at;
  o.idx = idx, o.count = 0xdead;
  switch (fn) {
    case 0: o.st = KVN_BODY(kvniDecodeLumaBlockIntra_AVS_1u16s, 0)(&p, &o.idx, &o.count, blk, scan); break;
    case 1: o.st = KVN_BODY(kvniDecodeLumaBlockInter_AVS_1u16s, 0)(&p, &o.idx, &o.count, blk, scan); break;
    default: o.st = KVN_BODY(kvniDecodeChromaBlock_AVS_1u16s, 0)(&p, &o.idx, &o.count, blk, scan);
  }
  std::memcpy(o.b, blk, 128);
  std::free(blk);
  o.words = long(p - at);
  CHECK(o.st == KVN_STS_OK || o.st == KVN_STS_VLC_CODE_ERR);
  CHECK(o.idx <= 31);
  if (o.st != KVN_STS_OK) {
    CHECK(o.words == 0 && o.idx == idx && o.count == 0xdead);
    for (int16_t v : o.b) CHECK(v == 0x5555);
    return o;
  }
  CHECK(o.words > 0 || o.idx < idx);
  CHECK(scan ? o.count == 63 : o.count <= 64);
  if (!scan)
    for (uint32_t i = o.count; i < 64; ++i) CHECK(o.b[kvn::avs::kAvsZigzag[i]] == 0);
  return o;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const int fn = data[0] % 3;
  const Kvn32s scan = (data[0] >> 2) & 1;
  const Kvn32u idx = data[1] & 31;
  std::vector<uint32_t> w((size - 2 + 3) / 4 + 2, 0);
  for (std::size_t i = 2; i < size; ++i) w[(i - 2) / 4] |= uint32_t(data[i]) << (24 - 8 * ((i - 2) % 4));
  Kvn32u* roomy = guarded().place(w.data(), w.size());
  const Outcome a = decode(fn, roomy, idx, scan);
  if (a.st != KVN_STS_OK) return 0;
  const std::size_t used = std::size_t(a.words) + (a.idx == 31 ? 1 : 2);
  Kvn32u* tight = guarded().place(w.data(), used);
  const Outcome b = decode(fn, tight, idx, scan);
  CHECK(b.st == a.st && b.words == a.words && b.idx == a.idx && b.count == a.count);
  CHECK(!std::memcmp(a.b, b.b, sizeof a.b));
  return 0;
}
