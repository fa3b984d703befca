// libFuzzer target for the MPEG-4 / H.263 / H.261 coefficient decoders and
// reconstruction functions, through the entries' bodies. The first byte picks
// the function, the next three its flags, scan, quantiser and bit offset; the
// rest is the stream.
//
// Forward readers first read the stream followed by 8 zero bytes and then an
// inaccessible page (runs of zeros are no code, so a stream that ends inside
// a block fails there). When a call succeeds it runs again on the stream
// ending 4 bytes after the byte holding the last bit consumed, right before
// the inaccessible page, and both runs must agree. Backward readers get the
// inaccessible page before the stream (and 8 zero bytes), the position on
// the stream's last byte, and the page right after that byte.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/entry.h"
#include "fuzz_support.h"
#include "mpeg4/quant_mpeg4_state.h"
#include "mpeg4_vlc_test.h"

namespace {

using kvnfuzz::guarded;

m4test::GuardBefore& before() {
  static m4test::GuardBefore g(std::size_t(64) << 12);
  return g;
}

struct Args {
  int fn, flags, scan, qp, offset;
  const KvnQuantInvState_MPEG4* state;
};

struct Result {
  KvnResult st;
  std::vector<int16_t> block;
  Kvn32s last;
  std::size_t bits;  // position after the call, in bits from the stream's start
};

Result run(const Args& a, uint8_t* stream) {
  Result r{0, std::vector<int16_t>(64, 0x1234), -99, 0};
  Kvn8u* p = stream;
  Kvn32s off = a.offset;
  Kvn16s* b = r.block.data();
  Kvn32s* l = &r.last;
  const int f1 = a.flags & 1, f2 = (a.flags >> 1) & 1, f3 = (a.flags >> 2) & 1;
  switch (a.fn) {
    case 0: r.st = KVN_BODY(kvniDecodeCoeffsIntra_MPEG4_1u16s, 0)(&p, &off, b, l, f1, f2, a.scan); break;
    case 1: r.st = KVN_BODY(kvniDecodeCoeffsInter_MPEG4_1u16s, 0)(&p, &off, b, l, f1, a.scan); break;
    case 2: r.st = KVN_BODY(kvniDecodeCoeffsIntra_H263_1u16s, 0)(&p, &off, b, l, f1, f2, a.scan); break;
    case 3: r.st = KVN_BODY(kvniDecodeCoeffsInter_H263_1u16s, 0)(&p, &off, b, l, f1, a.scan); break;
    case 4: r.st = KVN_BODY(kvniDecodeCoeffsIntra_H261_1u16s, 0)(&p, &off, b, l, a.scan); break;
    case 5: r.st = KVN_BODY(kvniDecodeCoeffsInter_H261_1u16s, 0)(&p, &off, b, l, a.scan); break;
    case 6: r.st = KVN_BODY(kvniDecodeDCIntra_H263_1u16s, 0)(&p, &off, b); break;
    case 7: r.st = KVN_BODY(kvniDecodeDCIntra_MPEG4_1u16s, 0)(&p, &off, b, f1); break;
    case 8: r.st = KVN_BODY(kvniReconstructCoeffsIntra_H261_1u16s, 0)(&p, &off, b, l, a.qp); break;
    case 9: r.st = KVN_BODY(kvniReconstructCoeffsInter_H261_1u16s, 0)(&p, &off, b, l, a.qp); break;
    case 10: r.st = KVN_BODY(kvniReconstructCoeffsIntra_H263_1u16s, 0)(&p, &off, b, l, f1, a.qp, f2, a.scan, f3); break;
    case 11: r.st = KVN_BODY(kvniReconstructCoeffsInter_H263_1u16s, 0)(&p, &off, b, l, a.qp, f1); break;
    case 12:
      r.st = KVN_BODY(kvniReconstructCoeffsInter_MPEG4_1u16s, 0)(&p, &off, b, l, f1, a.scan, a.state, a.qp);
      break;
    case 13: r.st = KVN_BODY(kvniDecodeCoeffsIntraRVLCBack_MPEG4_1u16s, 0)(&p, &off, b, l, f1); break;
    default: r.st = KVN_BODY(kvniDecodeCoeffsInterRVLCBack_MPEG4_1u16s, 0)(&p, &off, b, l); break;
  }
  CHECK(r.st == KVN_STS_OK || r.st == KVN_STS_CODE_ERR);
  CHECK(off >= 0 && off <= 7);
  const std::ptrdiff_t moved = p - stream;
  r.bits = std::size_t(moved * 8 + off);
  if (r.st == KVN_STS_OK && a.fn < 13) CHECK(moved >= 0);
  if (r.st == KVN_STS_OK && r.last != -99) CHECK(r.last >= -1 && r.last <= 63);
  return r;
}

bool same(const Result& a, const Result& b) {
  return a.st == b.st && a.block == b.block && a.last == b.last && a.bits == b.bits;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  if (size < 5 || size > 4096) return 0;
  Args a{data[0] % 15, data[1], int(int8_t(data[2])) % 5, 0, data[3] & 7, nullptr};
  // Quantiser state and quantiser: bits per pixel 4..12, a matrix of the
  // input's bytes (zero weights made 1) or none.
  alignas(16) static uint8_t mem[256];
  auto* s = kvn::mpeg4::aligned_state<KvnQuantInvState_MPEG4>(mem + (data[4] & 15));
  s->bitsPerPixel = 4 + (data[4] >> 4) % 9;
  s->matrixFlag = (data[1] >> 3) & 1;
  for (int k = 0; k < 64; ++k) s->weights[k] = uint16_t(data[(5 + k) % size] | 1);
  std::memcpy(s->tag, kvn::mpeg4::kTagInvInter, 4);
  a.state = reinterpret_cast<const KvnQuantInvState_MPEG4*>(mem + (data[4] & 15));
  a.qp = 1 + data[2] % kvn::mpeg4::qp_max(s->bitsPerPixel);
  if (a.fn != 12) a.qp = 1 + data[2] % 31;
  const uint8_t* stream = data + 5;
  const std::size_t n = size - 5;
  if (n == 0) return 0;

  if (a.fn >= 13) {  // backward: the page before the 8 zero bytes, and right after the stream
    uint8_t* lo = before().start();
    std::memset(lo, 0, 8);
    std::memcpy(lo + 8, stream, n);
    a.offset = data[3] & 7;
    Result r1 = run(a, lo + 8 + n - 1);
    std::vector<uint8_t> copy(8, 0);
    copy.insert(copy.end(), stream, stream + n);
    uint8_t* hi = guarded().place(copy.data(), copy.size());
    Result r2 = run(a, hi + 8 + n - 1);
    CHECK(same(r1, r2));
    return 0;
  }

  std::vector<uint8_t> padded(stream, stream + n);
  padded.resize(n + 8, 0);
  const Result r1 = run(a, guarded().place(padded.data(), padded.size()));
  if (r1.st != KVN_STS_OK) return 0;
  // Again with the data ending 4 bytes after the byte of the last bit consumed.
  const std::size_t lastByte = r1.bits ? (r1.bits - 1) / 8 : 0;
  const std::size_t keep = lastByte + 5;
  if (keep > padded.size()) return 0;
  const Result r2 = run(a, guarded().place(padded.data(), keep));
  CHECK(same(r1, r2));
  return 0;
}
