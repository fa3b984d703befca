// The H.264 CABAC encoder through its exported names: what it writes is
// decoded back bin for bin by an independent decoder (support/), the worked
// examples, statuses in their order, and the out-of-buffer paths.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "cabac_decoder.h"
#include "guard_page.h"
#include "kvnvc.h"
#include "rng.h"

namespace {

using kvnsupport::CabacDecoder;
using kvntest::Rng;

constexpr int kCount[6] = {16, 15, 16, 4, 15, 64};

int coeff_count(int cat, int chromaExp) { return cat == 3 ? 4 << chromaExp : kCount[cat]; }

struct State {
  alignas(8) uint8_t bytes[504 + 3];
  uint8_t* p = bytes + 3;  // the state has no alignment requirement
};

std::vector<uint8_t> contexts_of(const void* state) {
  std::vector<uint8_t> c(460);
  EXPECT_EQ(kvniCABACGetContexts_H264(state, 0, c.data(), 460), 0);
  return c;
}

// One coding step, as the decoder will read it back.
struct Op {
  enum Kind { kBin, kBypass, kBlock16, kBlock32 } kind;
  int ctx = 0, bin = 0;
  int cat = 0, chromaExp = 0, frame = 1, last = -1;
  std::vector<int32_t> coef;
};

// Random blocks: mostly small levels, some large ones (the Exp-Golomb suffix)
// and the extremes of each sample type.
Op random_block(Rng& g, bool wide) {
  Op op;
  op.kind = wide ? Op::kBlock32 : Op::kBlock16;
  op.cat = int(g.u32() % 6);
  op.chromaExp = op.cat == 3 ? int(g.u32() % 2) : 0;
  op.frame = int(g.u32() % 2);
  const int n = coeff_count(op.cat, op.chromaExp);
  op.coef.assign(size_t(n), 0);
  const int density = int(g.u32() % 5);
  for (int i = 0; i < n; ++i) {
    if (int(g.u32() % 4) >= density) continue;
    const int kind = int(g.u32() % 16);
    int32_t m = kind < 10 ? 1 : kind < 14 ? int32_t(2 + g.u32() % 14) : int32_t(15 + g.u32() % 3000);
    if (kind == 15 && g.u32() % 4 == 0) m = wide ? INT32_MAX : 32767;
    op.coef[size_t(i)] = g.u32() % 2 ? -m : m;
    if (kind == 15 && g.u32() % 8 == 0) op.coef[size_t(i)] = wide ? INT32_MIN : -32768;
  }
  // Every position may be the last one (the last of the block codes no flags).
  if (g.u32() % 4 == 0) op.coef[size_t(n - 1)] = 1;
  op.last = -1;
  for (int i = 0; i < n; ++i)
    if (op.coef[size_t(i)]) op.last = i;
  return op;
}

std::vector<Op> random_ops(Rng& g, int count) {
  std::vector<Op> ops;
  for (int k = 0; k < count; ++k) {
    const int kind = int(g.u32() % 8);
    Op op;
    if (kind < 4) {
      op.kind = Op::kBin;
      op.ctx = int(g.u32() % 460);
      if (op.ctx == 276) op.ctx = 275;  // end_of_slice_flag ends the slice
      op.bin = int(g.u32() % 2);
      if (g.u32() % 2) op.ctx = int(g.u32() % 4);  // a few contexts driven hard: long runs of both states
    } else if (kind == 4) {
      op.kind = Op::kBypass;
      op.bin = int(g.u32() % 2);
    } else {
      op = random_block(g, kind == 7);
    }
    ops.push_back(std::move(op));
  }
  return ops;
}

KvnResult apply(const Op& op, void* state) {
  switch (op.kind) {
    case Op::kBin: return kvniCABACEncodeBin_H264(Kvn32u(op.ctx), Kvn32u(op.bin), state);
    case Op::kBypass: return kvniCABACEncodeBinBypass_H264(Kvn32u(op.bin), state);
    case Op::kBlock16: {
      std::vector<Kvn16s> c(op.coef.begin(), op.coef.end());
      return kvniCABACEncodeResidualBlock_H264_16s(c.data(), op.last, Kvn32u(op.cat), Kvn32u(op.chromaExp),
                                                   Kvn32u(op.frame), state);
    }
    case Op::kBlock32:
      return kvniCABACEncodeResidualBlock_H264_32s(op.coef.data(), op.last, Kvn32u(op.cat), Kvn32u(op.chromaExp),
                                                   Kvn32u(op.frame), state);
  }
  return -1;
}

// Decodes ops back from the slice data and checks the slice ends there.
void expect_decodes(const std::vector<Op>& ops, const uint8_t* data, size_t size, const std::vector<uint8_t>& ctx0,
                    const std::vector<uint8_t>& ctxEnd) {
  CabacDecoder d(data, size, ctx0.data());
  for (size_t k = 0; k < ops.size(); ++k) {
    const Op& op = ops[k];
    SCOPED_TRACE(k);
    if (op.kind == Op::kBin) {
      ASSERT_EQ(d.decision(op.ctx), op.bin);
    } else if (op.kind == Op::kBypass) {
      ASSERT_EQ(d.bypass(), op.bin);
    } else if (op.last >= 0) {
      int32_t got[64];
      const int n = d.residual(op.cat, op.chromaExp, op.frame == 0, got);
      ASSERT_TRUE(std::equal(got, got + n, op.coef.begin())) << "category " << op.cat;
    }
  }
  EXPECT_EQ(d.terminate(), 1);
  EXPECT_EQ(std::vector<uint8_t>(d.contexts(), d.contexts() + 460), ctxEnd);
  // Nothing of the slice is left unread but the final bits and padding.
  EXPECT_LE(d.bits_read() / 8, size);
}

// Encodes ops into a buffer of `size` bytes after `offset` header bits and
// checks that the decoder reads them back; returns the stream's byte count.
uint32_t round_trip(const std::vector<Op>& ops, uint32_t offset, int qp, int idc) {
  std::vector<uint8_t> buf(1 << 16, 0x5c);
  State s;
  EXPECT_EQ(kvniCABACInit_H264(s.p, buf.data(), offset, Kvn32u(buf.size()), qp, idc), 0);
  const std::vector<uint8_t> ctx0 = contexts_of(s.p);
  const uint32_t dataByte = (offset + 7) / 8;
  Kvn32u bits = 0, previous = 0;
  for (const Op& op : ops) {
    EXPECT_EQ(apply(op, s.p), 0);
    EXPECT_EQ(kvniCABACGetStreamSize_H264(&bits, s.p), 0);
    EXPECT_GE(bits, previous);
    previous = bits;
  }
  EXPECT_EQ(kvniCABACEncodeBin_H264(276, 1, s.p), 0);
  const std::vector<uint8_t> ctxEnd = contexts_of(s.p);
  EXPECT_EQ(kvniCABACGetStreamSize_H264(&bits, s.p), 0);
  Kvn32u bytes = 0;
  EXPECT_EQ(kvniCABACTerminateSlice_H264(&bytes, s.p), 0);
  // The flush adds three bits after the position reported before it.
  EXPECT_EQ(bytes, (bits + 3 + 7) / 8);
  // The header bytes are kept, the alignment bits set, the stream ends in the stop bit.
  for (uint32_t k = 0; k < offset / 8; ++k) EXPECT_EQ(buf[k], 0x5c);
  if (offset & 7) {
    EXPECT_EQ(buf[offset / 8], 0x5c | ((1 << (8 - (offset & 7))) - 1));
  }
  EXPECT_NE(buf[bytes - 1], 0);
  expect_decodes(ops, buf.data() + dataByte, bytes - dataByte, ctx0, ctxEnd);
  return bytes;
}

TEST(CabacApi, RoundTripsRandomSlices) {
  kvntest::TestRng g;
  for (int trial = 0; trial < 300; ++trial) {
    SCOPED_TRACE(trial);
    const std::vector<Op> ops = random_ops(g, 1 + int(g.u32() % 200));
    round_trip(ops, uint32_t(g.u32() % 70), int(g.u32() % 60) - 4, int(g.u32() % 4) - 1);
  }
}

TEST(CabacApi, WorkedExamples) {
  State s;
  Kvn32u size = 0;
  ASSERT_EQ(kvniCABACGetSize_H264(&size), 0);
  EXPECT_EQ(size, 504u);

  // Bit offset 12: the low four bits of the second byte become 1, the slice
  // data starts at the third byte.
  alignas(4) uint8_t buf[64];
  std::memset(buf, 0xa0, sizeof buf);
  ASSERT_EQ(kvniCABACInit_H264(s.p, buf, 12, sizeof buf, 26, -1), 0);
  EXPECT_EQ(buf[0], 0xa0);
  EXPECT_EQ(buf[1], 0xaf);
  Kvn32u bits = 0;
  ASSERT_EQ(kvniCABACGetStreamSize_H264(&bits, s.p), 0);
  EXPECT_EQ(bits, 16u);

  // I slice, SliceQPY 26: ctxIdx 0 (m 20, n -15) gives preCtxState 17,
  // pStateIdx 46 with valMPS 0; end_of_slice_flag's context is state 63.
  Kvn8u c[2] = {};
  ASSERT_EQ(kvniCABACGetContexts_H264(s.p, 0, c, 1), 0);
  EXPECT_EQ(c[0], 46);
  ASSERT_EQ(kvniCABACGetContexts_H264(s.p, 276, c, 1), 0);
  EXPECT_EQ(c[0], 63);
  EXPECT_EQ(kvniCABACGetContexts_H264(s.p, 459, c, 1), 0);
  EXPECT_EQ(kvniCABACGetContexts_H264(s.p, 459, c, 2), KVN_STS_OUT_OF_RANGE);

  // Terminating right away with 32 header bits: the flush's two bits "01"
  // (its first bit is the one the standard's encoder suppresses).
  std::memset(buf, 0, sizeof buf);
  ASSERT_EQ(kvniCABACInit_H264(s.p, buf, 32, sizeof buf, 26, 0), 0);
  Kvn32u bytes = 0;
  ASSERT_EQ(kvniCABACTerminateSlice_H264(&bytes, s.p), 0);
  EXPECT_EQ(bytes, 5u);
  EXPECT_EQ(buf[4], 0x40);

  // A block whose last coefficient is the block's last codes no flags for
  // it: 15 significance flags and levels only.
  Kvn16s coef[16] = {};
  coef[15] = 1;
  std::vector<uint8_t> big(256);
  ASSERT_EQ(kvniCABACInit_H264(s.p, big.data(), 0, 256, 26, -1), 0);
  const std::vector<uint8_t> before = contexts_of(s.p);
  ASSERT_EQ(kvniCABACEncodeResidualBlock_H264_16s(coef, 15, 2, 0, 1, s.p), 0);
  const std::vector<uint8_t> after = contexts_of(s.p);
  for (int ctx = 166 + 29; ctx < 166 + 29 + 16; ++ctx) EXPECT_EQ(before[size_t(ctx)], after[size_t(ctx)]) << ctx;
}

TEST(CabacApi, StatusesInOrder) {
  State s;
  alignas(4) uint8_t buf[64] = {};
  uint8_t* odd = buf + 1;
  const State untouched = s;
  void* out = nullptr;
  // Init and InitAlloc: null, cabac_init_idc, size (0, or a bit offset beyond the buffer), alignment.
  EXPECT_EQ(kvniCABACInit_H264(nullptr, odd, 0, 0, 26, 5), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniCABACInit_H264(s.p, nullptr, 0, 64, 26, 0), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniCABACInit_H264(s.p, odd, 0, 0, 26, 3), KVN_STS_OUT_OF_RANGE);
  EXPECT_EQ(kvniCABACInit_H264(s.p, odd, 0, 0, 26, -2), KVN_STS_OUT_OF_RANGE);
  EXPECT_EQ(kvniCABACInit_H264(s.p, odd, 0, 0, 26, 0), KVN_STS_SIZE_ERR);
  EXPECT_EQ(kvniCABACInit_H264(s.p, buf, 8 * 64 + 1, 64, 26, 0), KVN_STS_SIZE_ERR);
  EXPECT_EQ(kvniCABACInit_H264(s.p, odd, 0, 60, 26, 0), KVN_STS_WRN_MISALIGNED);
  EXPECT_EQ(kvniCABACInitAlloc_H264(nullptr, buf, 0, 64, 26, 0), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniCABACInitAlloc_H264(&out, odd, 3, 60, 26, 0), KVN_STS_WRN_MISALIGNED);
  EXPECT_EQ(kvniCABACInitAlloc_H264(&out, buf, 0, 64, 26, 7), KVN_STS_OUT_OF_RANGE);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(std::memcmp(s.bytes, untouched.bytes, sizeof s.bytes), 0);
  EXPECT_EQ(odd[0], 0);

  ASSERT_EQ(kvniCABACInitAlloc_H264(&out, buf, 0, 64, 26, 1), 0);
  ASSERT_NE(out, nullptr);
  EXPECT_EQ(kvniCABACEncodeBin_H264(5, 1, out), 0);
  EXPECT_EQ(kvniCABACFree_H264(nullptr), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniCABACFree_H264(out), 0);
  EXPECT_EQ(kvniCABACGetSize_H264(nullptr), KVN_STS_NULL_PTR);

  ASSERT_EQ(kvniCABACInit_H264(s.p, buf, 0, 64, 26, 0), 0);
  const State ready = s;
  // Bins: null, value / context index.
  EXPECT_EQ(kvniCABACEncodeBin_H264(460, 2, nullptr), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniCABACEncodeBin_H264(460, 0, s.p), KVN_STS_OUT_OF_RANGE);
  EXPECT_EQ(kvniCABACEncodeBin_H264(0, 2, s.p), KVN_STS_OUT_OF_RANGE);
  EXPECT_EQ(kvniCABACEncodeBinBypass_H264(2, nullptr), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniCABACEncodeBinBypass_H264(2, s.p), KVN_STS_OUT_OF_RANGE);
  // Blocks: null, category / frame flag, chroma exponent, last index beyond the block.
  Kvn16s c16[64] = {1};
  Kvn32s c32[64] = {1};
  EXPECT_EQ(kvniCABACEncodeResidualBlock_H264_16s(nullptr, 0, 9, 9, 9, s.p), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniCABACEncodeResidualBlock_H264_32s(c32, 0, 0, 0, 0, nullptr), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniCABACEncodeResidualBlock_H264_16s(c16, 0, 6, 9, 0, s.p), KVN_STS_OUT_OF_RANGE);
  EXPECT_EQ(kvniCABACEncodeResidualBlock_H264_16s(c16, 0, 2, 9, 2, s.p), KVN_STS_OUT_OF_RANGE);
  EXPECT_EQ(kvniCABACEncodeResidualBlock_H264_16s(c16, 99, 2, 1, 1, s.p), KVN_STS_BAD_ARG);
  EXPECT_EQ(kvniCABACEncodeResidualBlock_H264_32s(c32, 0, 3, 2, 1, s.p), KVN_STS_BAD_ARG);
  EXPECT_EQ(kvniCABACEncodeResidualBlock_H264_16s(c16, 16, 2, 0, 1, s.p), KVN_STS_OUT_OF_RANGE);
  EXPECT_EQ(kvniCABACEncodeResidualBlock_H264_16s(c16, 15, 1, 0, 1, s.p), KVN_STS_OUT_OF_RANGE);
  EXPECT_EQ(kvniCABACEncodeResidualBlock_H264_32s(c32, 8, 3, 1, 1, s.p), KVN_STS_OUT_OF_RANGE);
  EXPECT_EQ(kvniCABACEncodeResidualBlock_H264_32s(c32, 64, 5, 0, 0, s.p), KVN_STS_OUT_OF_RANGE);
  EXPECT_EQ(kvniCABACEncodeResidualBlock_H264_16s(c16, -1, 5, 0, 0, s.p), 0);  // nothing to code
  EXPECT_EQ(std::memcmp(s.bytes, ready.bytes, sizeof s.bytes), 0);
  // SetStream: null, size 0, alignment, not larger.
  alignas(4) uint8_t other[128];
  EXPECT_EQ(kvniCABACSetStream_H264(nullptr, 0, s.p), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniCABACSetStream_H264(other, 128, nullptr), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniCABACSetStream_H264(other + 1, 0, s.p), KVN_STS_SIZE_ERR);
  EXPECT_EQ(kvniCABACSetStream_H264(other + 1, 100, s.p), KVN_STS_WRN_MISALIGNED);
  EXPECT_EQ(kvniCABACSetStream_H264(other, 64, s.p), KVN_STS_SIZE_ERR);
  EXPECT_EQ(std::memcmp(s.bytes, ready.bytes, sizeof s.bytes), 0);
  // Queries and termination.
  Kvn32u v = 0;
  Kvn8u ctx[4];
  EXPECT_EQ(kvniCABACTerminateSlice_H264(nullptr, s.p), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniCABACTerminateSlice_H264(&v, nullptr), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniCABACGetStreamSize_H264(nullptr, s.p), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniCABACGetStreamSize_H264(&v, nullptr), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniCABACGetContexts_H264(nullptr, 0, ctx, 1), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniCABACGetContexts_H264(s.p, 0, nullptr, 1), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniCABACGetContexts_H264(s.p, -1, ctx, 1), KVN_STS_OUT_OF_RANGE);
  EXPECT_EQ(kvniCABACGetContexts_H264(s.p, 0, ctx, -1), KVN_STS_OUT_OF_RANGE);
  EXPECT_EQ(kvniCABACGetContexts_H264(s.p, 460, ctx, 0), 0);

  // After TerminateSlice every coding call fails without touching memory.
  ASSERT_EQ(kvniCABACTerminateSlice_H264(&v, s.p), 0);
  EXPECT_EQ(kvniCABACEncodeBin_H264(3, 1, s.p), KVN_STS_OUT_OF_BUFFER);
  EXPECT_EQ(kvniCABACEncodeBinBypass_H264(1, s.p), KVN_STS_OUT_OF_BUFFER);
  EXPECT_EQ(kvniCABACEncodeResidualBlock_H264_16s(c16, 0, 2, 0, 1, s.p), KVN_STS_OUT_OF_BUFFER);
  EXPECT_EQ(kvniCABACTerminateSlice_H264(&v, s.p), KVN_STS_MEM_ALLOC);
}

// A 4-aligned buffer of `size` bytes ending at most 3 bytes before an
// inaccessible page.
struct TightBuffer {
  kvntest::GuardPage page{1 << 16};
  uint8_t* p;
  explicit TightBuffer(size_t size) : p(static_cast<uint8_t*>(page.tail((size + 3) & ~size_t(3)))) {}
};

// Buffers that run out: the failing call changes neither the state nor the
// bytes written so far, and the slice continues in a larger buffer after
// SetStream. The last 1..4 bytes of every buffer stay untouched.
TEST(CabacApi, OutOfBufferThenLargerBuffer) {
  kvntest::TestRng g;
  for (int trial = 0; trial < 400; ++trial) {
    SCOPED_TRACE(trial);
    const std::vector<Op> ops = random_ops(g, 1 + int(g.u32() % 120));
    const uint32_t offset = uint32_t(g.u32() % 40);
    uint32_t size = 4 * (1 + g.u32() % 8) + uint32_t(g.u32() % 4);
    if ((offset + 7) / 8 > size) size = (offset + 7) / 8;
    auto tight = std::make_unique<TightBuffer>(size);
    std::fill(tight->p, tight->p + size, 0x33);
    State s;
    ASSERT_EQ(kvniCABACInit_H264(s.p, tight->p, offset, size, 30, int(g.u32() % 4) - 1), 0);
    const std::vector<uint8_t> ctx0 = contexts_of(s.p);
    // Moves the slice to a buffer `extra` bytes larger (the bytes so far copied).
    auto grow = [&](uint32_t extra) {
      auto next = std::make_unique<TightBuffer>(size + extra);
      std::fill(next->p, next->p + size + extra, 0x33);
      std::copy(tight->p, tight->p + size, next->p);
      ASSERT_EQ(kvniCABACSetStream_H264(next->p, size + extra, s.p), 0);
      tight = std::move(next);
      size += extra;
    };
    for (const Op& op : ops) {
      Kvn32u bits = 0;
      ASSERT_EQ(kvniCABACGetStreamSize_H264(&bits, s.p), 0);
      const State before = s;
      const std::vector<uint8_t> written(tight->p, tight->p + size);
      KvnResult st = apply(op, s.p);
      if (st == KVN_STS_OUT_OF_BUFFER) {
        EXPECT_EQ(std::memcmp(s.bytes, before.bytes, sizeof s.bytes), 0);
        EXPECT_TRUE(std::equal(written.begin(), written.begin() + bits / 8, tight->p));
        // The buffer's last bytes (from the end limit on) were never written.
        const uint32_t endLimit = size >= 4 ? (size - 4 + 3) & ~3u : 0;
        for (uint32_t k = std::max<uint32_t>(endLimit, (offset + 7) / 8); k < size; ++k)
          ASSERT_EQ(tight->p[k], 0x33) << k;
      }
      for (; st == KVN_STS_OUT_OF_BUFFER; st = apply(op, s.p)) grow(4 * (1 + g.u32() % 64));
      ASSERT_EQ(st, 0);
    }
    KvnResult st;
    while ((st = kvniCABACEncodeBin_H264(276, 1, s.p)) == KVN_STS_OUT_OF_BUFFER) grow(64);
    ASSERT_EQ(st, 0);
    const std::vector<uint8_t> ctxEnd = contexts_of(s.p);
    Kvn32u bytes = 0;
    while ((st = kvniCABACTerminateSlice_H264(&bytes, s.p)) == KVN_STS_MEM_ALLOC) grow(8);
    ASSERT_EQ(st, 0);
    const uint32_t dataByte = (offset + 7) / 8;
    expect_decodes(ops, tight->p + dataByte, bytes - dataByte, ctx0, ctxEnd);
  }
}

}  // namespace
