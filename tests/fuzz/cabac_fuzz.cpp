// libFuzzer target for the H.264 CABAC encoder, through the entries' bodies:
// the input is a sequence of calls (Init with any offset, size, QP and index,
// bins, residual blocks with any arguments and coefficients, SetStream to
// larger and smaller buffers, TerminateSlice, the queries), misuse included:
// coding after TerminateSlice, tiny and misaligned buffers.
//
// Buffers end within 3 bytes of an inaccessible page and the state is an
// exact 504-byte allocation, so that a write outside either faults; the
// bytes from the end limit on must keep their contents; every status must be
// one the function documents; and every slice that ends with
// end_of_slice_flag and TerminateSlice decodes back to the calls that
// succeeded.
#include <cstdint>
#include <cstdlib>
#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "cabac_decoder.h"
#include "core/entry.h"
#include "h264/cabac/cabac.h"
#include "fuzz_support.h"

namespace {

constexpr uint8_t kCanary = 0xa5;

class Input {
 public:
  Input(const uint8_t* d, std::size_t n) : d_(d), n_(n) {}
  bool more() const { return i_ < n_; }
  uint8_t byte() { return i_ < n_ ? d_[i_++] : 0; }
  uint32_t u16() { return uint32_t(byte()) | uint32_t(byte()) << 8; }
  int32_t s32() { return int32_t(u16() | u16() << 16); }

 private:
  const uint8_t* d_;
  std::size_t n_, i_ = 0;
};

// A 4-aligned buffer whose end lies within 3 bytes of a guard page.
struct Buffer {
  explicit Buffer(uint32_t n) : size(n), page(std::size_t(n) + 4096) {
    p = static_cast<uint8_t*>(page.tail((std::size_t(n) + 3) & ~std::size_t(3)));
    std::memset(p, kCanary, n);
  }
  uint32_t size;
  kvntest::GuardPage page;
  uint8_t* p;
};

struct Op {
  int kind;  // 0 bin, 1 bypass, 2 block
  int ctx, bin;
  int cat, exp, frame;
  int32_t coef[64];
};

struct Slice {
  std::unique_ptr<Buffer> buf;
  uint32_t dataByte = 0;
  bool active = false;  // initialised and not terminated
  std::vector<Op> ops;
  std::vector<uint8_t> ctx0;
};

bool in(KvnResult st, std::initializer_list<KvnResult> allowed) {
  for (KvnResult a : allowed)
    if (st == a) return true;
  return false;
}

// The bytes from the end limit on, but for the header bytes before the slice
// data (the caller's), are never written.
uint32_t tail_start(const Slice& s) {
  const uint32_t size = s.buf->size;
  const uint32_t endLimit = size >= 4 ? (size - 4 + 3) & ~3u : 0;
  return std::max(endLimit, s.dataByte);
}

void check_tail(const Slice& s) {
  if (!s.buf) return;
  for (uint32_t k = tail_start(s); k < s.buf->size; ++k) {
    CHECK(s.buf->p[k] == kCanary);
  }
}

void decode_back(const Slice& s, uint32_t bytes) {
  CHECK(bytes >= s.dataByte && bytes <= s.buf->size);
  kvnsupport::CabacDecoder d(s.buf->p + s.dataByte, bytes - s.dataByte, s.ctx0.data());
  for (const Op& op : s.ops) {
    if (op.kind == 0) {
      CHECK(d.decision(op.ctx) == op.bin);
    } else if (op.kind == 1) {
      CHECK(d.bypass() == op.bin);
    } else {
      int32_t got[64];
      const int n = d.residual(op.cat, op.exp, op.frame == 0, got);
      for (int i = 0; i < n; ++i) CHECK(got[i] == op.coef[i]);
    }
  }
  CHECK(d.terminate() == 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  Input in_(data, size);
  std::unique_ptr<uint8_t[]> stateMem(new uint8_t[504]());
  uint8_t* const state = stateMem.get();
  Slice s;
  bool endOfSlice = false;  // the last successful call coded end_of_slice_flag 1
  for (int calls = 0; in_.more() && calls < 400; ++calls) {
    const int kind = in_.byte() % 10;
    KvnResult st = 0;
    switch (kind) {
      case 0: {  // Init
        const uint32_t n = in_.byte() % 200;
        const uint32_t offset = in_.u16() % (8 * 210);
        const int32_t qp = int8_t(in_.byte());
        const int32_t idc = int(in_.byte() % 6) - 2;
        const bool misaligned = in_.byte() % 8 == 0;
        auto buf = std::make_unique<Buffer>(n + 4);
        uint8_t* p = buf->p + (misaligned ? 1 + n % 3 : 0);
        st = KVN_BODY(kvniCABACInit_H264, 0)(state, p, offset, n, qp, idc);
        CHECK(in(st, {0, KVN_STS_OUT_OF_RANGE, KVN_STS_SIZE_ERR, KVN_STS_WRN_MISALIGNED}));
        if (st == 0) {
          buf->size = n;
          s.buf = std::move(buf);
          s.dataByte = (offset + 7) / 8;
          s.active = true;
          s.ops.clear();
          s.ctx0.assign(460, 0);
          CHECK(KVN_BODY(kvniCABACGetContexts_H264, 0)(state, 0, s.ctx0.data(), 460) == 0);
          endOfSlice = false;
        }
        break;
      }
      case 1:
      case 2: {  // context-coded bin
        Op op{};
        op.ctx = int(in_.u16() % 470);
        op.bin = in_.byte() % 3;
        st = KVN_BODY(kvniCABACEncodeBin_H264, 0)(Kvn32u(op.ctx), Kvn32u(op.bin), state);
        CHECK(in(st, {0, KVN_STS_OUT_OF_RANGE, KVN_STS_OUT_OF_BUFFER}));
        if (st == 0) {
          s.ops.push_back(op);
          endOfSlice = op.ctx == 276 && op.bin == 1;
        }
        break;
      }
      case 3: {  // bypass bin
        Op op{};
        op.kind = 1;
        op.bin = in_.byte() % 3;
        st = KVN_BODY(kvniCABACEncodeBinBypass_H264, 0)(Kvn32u(op.bin), state);
        CHECK(in(st, {0, KVN_STS_OUT_OF_RANGE, KVN_STS_OUT_OF_BUFFER}));
        if (st == 0) s.ops.push_back(op), endOfSlice = false;
        break;
      }
      case 4:
      case 5: {  // residual block, 16-bit or 32-bit coefficients
        Op op{};
        op.kind = 2;
        op.cat = in_.byte() % 7;
        op.exp = in_.byte() % 8 == 0 ? 2 : in_.byte() % 2;
        op.frame = in_.byte() % 3;
        const int last = int(int8_t(in_.byte())) % 70;
        const bool wide = kind == 5;
        int16_t c16[64];
        int32_t c32[64];
        const int spread = 1 + in_.byte() % 8;
        for (int i = 0; i < 64; ++i) {
          const uint8_t b = in_.byte();
          c32[i] = b % spread ? 0 : b & 1 ? -int32_t(b >> 1) : int32_t(b >> 1);
          if (b == 0xff) c32[i] = wide ? INT32_MIN : -32768;
          if (b == 0xfd) c32[i] = wide ? INT32_MAX : 32767;
          c16[i] = int16_t(c32[i]);
        }
        // The block's real last nonzero coefficient most of the time, or the fuzzer's.
        int l = last;
        if (in_.byte() % 4) {
          const int n = op.cat > 5 ? 16 : kvn::cabac_coeff_count(op.cat, op.cat == 3 ? op.exp & 1 : 0);
          l = -1;
          for (int i = 0; i < n; ++i)
            if (c32[i]) l = i;
        }
        st = wide ? KVN_BODY(kvniCABACEncodeResidualBlock_H264_32s, 0)(c32, l, Kvn32u(op.cat), Kvn32u(op.exp),
                                                                       Kvn32u(op.frame), state)
                  : KVN_BODY(kvniCABACEncodeResidualBlock_H264_16s, 0)(c16, l, Kvn32u(op.cat), Kvn32u(op.exp),
                                                                       Kvn32u(op.frame), state);
        CHECK(in(st, {0, KVN_STS_OUT_OF_RANGE, KVN_STS_BAD_ARG, KVN_STS_OUT_OF_BUFFER}));
        // Blocks whose last index names a zero coefficient are not decodable
        // (the map ends without its flag); only consistent ones are checked.
        if (st == 0 && l >= 0) {
          if (c32[l] != 0) {
            std::memcpy(op.coef, c32, sizeof op.coef);
            const int n = kvn::cabac_coeff_count(op.cat, op.exp);
            for (int i = l + 1; i < n; ++i) op.coef[i] = 0;
            if (!wide)
              for (int i = 0; i < n; ++i) op.coef[i] = int16_t(op.coef[i]);
            s.ops.push_back(op);
          } else {
            s.active = false;
          }
          endOfSlice = false;
        }
        break;
      }
      case 6: {  // SetStream: the bytes so far copied into a new buffer
        if (!s.buf) break;
        const int64_t want = int64_t(s.buf->size) + int(in_.byte() % 64) - 8;
        if (want < 1) break;
        const uint32_t n = uint32_t(want);
        auto buf = std::make_unique<Buffer>(n);
        std::memcpy(buf->p, s.buf->p, std::min(n, s.buf->size));
        st = KVN_BODY(kvniCABACSetStream_H264, 0)(buf->p, n, state);
        CHECK(in(st, {0, KVN_STS_SIZE_ERR}));
        if (st == 0) {
          s.buf = std::move(buf);
          // Bytes copied from beyond the old end limit are no output of the new buffer.
          std::memset(s.buf->p + tail_start(s), kCanary, s.buf->size - std::min(tail_start(s), s.buf->size));
        }
        break;
      }
      case 7: {  // TerminateSlice
        Kvn32u bytes = 0;
        st = KVN_BODY(kvniCABACTerminateSlice_H264, 0)(&bytes, state);
        CHECK(in(st, {0, KVN_STS_MEM_ALLOC}));
        if (st == 0) {
          if (s.active && endOfSlice) {
            s.ops.pop_back();  // decoded by terminate()
            decode_back(s, bytes);
          }
          s.active = false;
        }
        endOfSlice = false;
        break;
      }
      case 8: {
        Kvn32u bits = 0;
        CHECK(KVN_BODY(kvniCABACGetStreamSize_H264, 0)(&bits, state) == 0);
        break;
      }
      default: {
        uint8_t ctx[470];
        const int32_t first = int32_t(in_.u16() % 480) - 10, count = int32_t(in_.u16() % 480) - 10;
        st = KVN_BODY(kvniCABACGetContexts_H264, 0)(state, first, ctx, count);
        CHECK(in(st, {0, KVN_STS_OUT_OF_RANGE}));
      }
    }
    check_tail(s);
  }
  return 0;
}
