// libFuzzer target for the DV segment decoders, through the entries' bodies.
//
// The input's first 400 bytes are a segment (zero-padded), decoded by every
// decoder (the one-pass limit from the next byte) with the segment ending 8
// bytes before an inaccessible page - the most the decoders read - and again
// with the 16 bytes the callers keep readable; both runs must agree, write
// nothing outside the blocks and the parameter words, and give well-formed
// parameter words.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/entry.h"
#include "fuzz_support.h"

namespace {

using kvnfuzz::guarded;

struct Output {
  std::vector<int16_t> blocks = std::vector<int16_t>(64 * 42, 0x5a5a);
  std::vector<uint32_t> params = std::vector<uint32_t>(42, 0xdeadbeef);
};

Output run(int which, const uint8_t* seg, int limit) {
  Output o;
  const int n = which == 2 ? 40 : 30;
  std::fill(o.blocks.begin() + 64, o.blocks.begin() + 64 * (n + 1), int16_t(0));
  int st = -1;
  if (which == 0)
    st = KVN_BODY(kvniHuffmanDecodeSegment_DV_8u16s, 0)(seg, nullptr, nullptr, &o.blocks[64], &o.params[1]);
  if (which == 1)
    st = KVN_BODY(kvniHuffmanDecodeSegmentOnePass_DV_8u16s, 0)(seg, nullptr, nullptr, &o.blocks[64], &o.params[1],
                                                               Kvn8u(limit));
  if (which == 2)
    st = KVN_BODY(kvniHuffmanDecodeSegment_DV100_8u16s, 0)(seg, nullptr, nullptr, &o.blocks[64], &o.params[1]);
  CHECK(st == KVN_STS_OK);
  for (size_t i = 0; i < 64; ++i) CHECK(o.blocks[i] == 0x5a5a);
  for (size_t i = size_t(64 * (n + 1)); i < o.blocks.size(); ++i) CHECK(o.blocks[i] == 0x5a5a);
  CHECK(o.params[0] == 0xdeadbeef);
  for (size_t k = size_t(n + 1); k < o.params.size(); ++k) CHECK(o.params[k] == 0xdeadbeef);
  for (int k = 1; k <= n; ++k) {
    const uint32_t p = o.params[size_t(k)];
    CHECK((p & ~0xfff71u) == 0 && (p >> 8 & 0xff) <= 64);
    if (which == 1 && limit < 64) CHECK(!(p & 1) || (p >> 8 & 0xff) < uint32_t(limit));
  }
  return o;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  uint8_t seg[416] = {};
  std::memcpy(seg, data, size < 400 ? size : 400);
  const int limit = size > 400 ? data[400] : 64;
  const uint8_t* tight = guarded().place(seg, 408);
  for (int which = 0; which < 3; ++which) {
    const Output a = run(which, tight, limit);
    const Output b = run(which, seg, limit);
    CHECK(a.blocks == b.blocks && a.params == b.params);
  }
  return 0;
}
