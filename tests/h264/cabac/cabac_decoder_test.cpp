// The CABAC decoder of support/ (the engine of kvnvc-h264dec) on streams the
// library's encoder writes: a second engine start after a terminated one at
// a byte position (I_PCM), blocks scattered through a scan table, levels at
// the ends of the 16-bit range, and reads
// that stop at the end of the data whatever the bytes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <numeric>
#include <vector>

#include "cabac_decoder.h"
#include "guard_page.h"
#include "kvnvc.h"
#include "rng.h"

namespace {

using kvnsupport::CabacDecoder;

struct Bin {
  int ctx, bin;  // ctx -1: bypass
};

std::vector<Bin> random_bins(kvntest::Rng& g, int n) {
  std::vector<Bin> bins;
  for (int i = 0; i < n; ++i) {
    int ctx = g.u32() % 5 == 0 ? -1 : int(g.u32() % 460);
    if (ctx == 276) ctx = 275;
    bins.push_back({ctx, int(g.u32() % 2)});
  }
  return bins;
}

void encode(const std::vector<Bin>& bins, void* state) {
  for (const Bin& b : bins)
    ASSERT_EQ(b.ctx < 0 ? kvniCABACEncodeBinBypass_H264(Kvn32u(b.bin), state)
                        : kvniCABACEncodeBin_H264(Kvn32u(b.ctx), Kvn32u(b.bin), state),
              0);
}

void expect_bins(CabacDecoder& d, const std::vector<Bin>& bins) {
  for (size_t i = 0; i < bins.size(); ++i)
    ASSERT_EQ(bins[i].ctx < 0 ? d.bypass() : d.decision(bins[i].ctx), bins[i].bin) << "bin " << i;
}

// Slice A ends with a terminate bin 1 and the engine's final bits; `gap`
// bytes follow (as I_PCM samples do), then slice B with fresh contexts. The
// decoder reads A, starts again at the byte after its last bit plus the gap,
// and reads B.
TEST(CabacDecoder, StartsAgainAfterATerminatedEngine) {
  kvntest::TestRng g;
  for (int trial = 0; trial < 100; ++trial) {
    SCOPED_TRACE(trial);
    const std::vector<Bin> a = random_bins(g, int(g.u32() % 300)), b = random_bins(g, 1 + int(g.u32() % 300));
    const int qp = int(g.u32() % 52), idc = int(g.u32() % 4) - 1;
    const uint32_t gap = g.u32() % 40;
    std::vector<uint8_t> buf(8192, 0);
    std::vector<uint8_t> state(504), ctx0(460);
    ASSERT_EQ(kvniCABACInit_H264(state.data(), buf.data(), 0, Kvn32u(buf.size()), qp, idc), 0);
    ASSERT_EQ(kvniCABACGetContexts_H264(state.data(), 0, ctx0.data(), 460), 0);
    encode(a, state.data());
    ASSERT_EQ(kvniCABACEncodeBin_H264(276, 1, state.data()), 0);
    Kvn32u bytes = 0;
    ASSERT_EQ(kvniCABACTerminateSlice_H264(&bytes, state.data()), 0);
    for (uint32_t k = 0; k < gap; ++k) buf[bytes + k] = 0xA5;
    const uint32_t second = bytes + gap;
    ASSERT_EQ(kvniCABACInit_H264(state.data(), buf.data(), second * 8, Kvn32u(buf.size()), qp, idc), 0);
    encode(b, state.data());
    ASSERT_EQ(kvniCABACEncodeBin_H264(276, 1, state.data()), 0);
    ASSERT_EQ(kvniCABACTerminateSlice_H264(&bytes, state.data()), 0);

    CabacDecoder d(buf.data(), bytes, ctx0.data());
    expect_bins(d, a);
    ASSERT_EQ(d.terminate(), 1);
    const size_t next = (d.bits_read() + 7) / 8;
    ASSERT_EQ(next + gap, second);
    std::memcpy(d.contexts(), ctx0.data(), 460);
    d.restart(next + gap);
    expect_bins(d, b);
    EXPECT_EQ(d.terminate(), 1);
    EXPECT_FALSE(d.overrun());
  }
}

// residual_scan puts coefficient i of the scan at coef[scan[i]] and counts
// the nonzero ones; residual gives the same levels in scan order.
TEST(CabacDecoder, ScattersBlocksThroughTheScan) {
  kvntest::TestRng g;
  for (int trial = 0; trial < 200; ++trial) {
    SCOPED_TRACE(trial);
    const int cat = int(g.u32() % 6), exp = cat == 3 ? int(g.u32() % 2) : 0;
    const int n = cat == 3 ? 4 << exp : cat == 5 ? 64 : cat == 1 || cat == 4 ? 15 : 16;
    std::vector<Kvn16s> coef(size_t(n), 0);
    int last = -1, nonzero = 0;
    for (int i = 0; i < n; ++i)
      if (g.u32() % 3 == 0) {
        coef[size_t(i)] = Kvn16s(int(g.u32() % 40) - 20);
        if (coef[size_t(i)]) last = i, ++nonzero;
      }
    if (last < 0) coef[0] = 7, last = 0, nonzero = 1;
    std::vector<uint8_t> scan(static_cast<size_t>(n), 0);
    std::iota(scan.begin(), scan.end(), uint8_t(0));
    for (int i = n - 1; i > 0; --i) std::swap(scan[size_t(i)], scan[g.u32() % uint32_t(i + 1)]);

    std::vector<uint8_t> buf(4096, 0), state(504), ctx0(460);
    ASSERT_EQ(kvniCABACInit_H264(state.data(), buf.data(), 0, Kvn32u(buf.size()), 30, 1), 0);
    ASSERT_EQ(kvniCABACGetContexts_H264(state.data(), 0, ctx0.data(), 460), 0);
    for (int rep = 0; rep < 2; ++rep)
      ASSERT_EQ(kvniCABACEncodeResidualBlock_H264_16s(coef.data(), last, Kvn32u(cat), Kvn32u(exp), 1, state.data()), 0);
    ASSERT_EQ(kvniCABACEncodeBin_H264(276, 1, state.data()), 0);
    Kvn32u bytes = 0;
    ASSERT_EQ(kvniCABACTerminateSlice_H264(&bytes, state.data()), 0);

    CabacDecoder d(buf.data(), bytes, ctx0.data());
    std::vector<int16_t> out(64, 0);
    EXPECT_EQ(d.residual_scan(cat, exp, false, scan.data(), out.data()), nonzero);
    for (int i = 0; i < n; ++i) EXPECT_EQ(out[scan[size_t(i)]], coef[size_t(i)]) << i;
    int32_t inOrder[64];
    EXPECT_EQ(d.residual(cat, exp, false, inOrder), n);
    for (int i = 0; i < n; ++i) EXPECT_EQ(inOrder[i], coef[size_t(i)]) << i;
    EXPECT_EQ(d.terminate(), 1);
  }
}

// Signs and magnitudes at the ends of the 16-bit range (long UEG0 suffixes)
// next to the smallest ones, into 16-bit and 32-bit coefficients.
TEST(CabacDecoder, KeepsSignsOfExtremeLevels) {
  const Kvn16s levels[16] = {-32768, 32767, -1, 1, -15, 15, -16, 16, -32767, 2, -2, 14, -14, 4096, -4097, 1};
  std::vector<uint8_t> buf(4096, 0), state(504), ctx0(460);
  ASSERT_EQ(kvniCABACInit_H264(state.data(), buf.data(), 0, Kvn32u(buf.size()), 30, 1), 0);
  ASSERT_EQ(kvniCABACGetContexts_H264(state.data(), 0, ctx0.data(), 460), 0);
  for (int rep = 0; rep < 2; ++rep)
    ASSERT_EQ(kvniCABACEncodeResidualBlock_H264_16s(levels, 15, 2, 0, 1, state.data()), 0);
  ASSERT_EQ(kvniCABACEncodeBin_H264(276, 1, state.data()), 0);
  Kvn32u bytes = 0;
  ASSERT_EQ(kvniCABACTerminateSlice_H264(&bytes, state.data()), 0);

  CabacDecoder d(buf.data(), bytes, ctx0.data());
  uint8_t scan[16];
  std::iota(scan, scan + 16, uint8_t(0));
  int16_t narrow[16] = {};
  int32_t wide[16] = {};
  EXPECT_EQ(d.residual_scan(2, 0, false, scan, narrow), 16);
  EXPECT_EQ(d.residual_scan(2, 0, false, scan, wide), 16);
  for (int i = 0; i < 16; ++i) {
    EXPECT_EQ(narrow[i], levels[i]) << i;
    EXPECT_EQ(wide[i], levels[i]) << i;
  }
  EXPECT_EQ(d.terminate(), 1);
}

// Data that ends at an inaccessible page: any bytes, any amount of decoding,
// and nothing beyond the data is read; past it the engine reports overrun.
TEST(CabacDecoder, StopsAtTheEndOfTheData) {
  kvntest::TestRng g;
  kvntest::GuardPage guard(4096);
  std::vector<uint8_t> ctx(460);
  for (size_t i = 0; i < ctx.size(); ++i) ctx[i] = uint8_t(g.u32() % 128);
  for (size_t size = 0; size < 24; ++size) {
    SCOPED_TRACE(size);
    uint8_t* data = static_cast<uint8_t*>(guard.tail(size));
    for (size_t i = 0; i < size; ++i) data[i] = uint8_t(g.u32());
    CabacDecoder d(data, size, ctx.data());
    int32_t coef[64];
    for (int k = 0; k < 500; ++k) {
      switch (g.u32() % 4) {
        case 0: d.decision(int(g.u32() % 460)); break;
        case 1: d.bypass(); break;
        case 2: d.residual(int(g.u32() % 6), 0, g.u32() % 2 != 0, coef); break;
        default:
          if (d.terminate()) d.restart((d.bits_read() + 7) / 8);
          break;
      }
    }
    EXPECT_TRUE(d.overrun());
  }
}

}  // namespace
