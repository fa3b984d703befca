// The AVS inter reconstruction through the exported names, against a literal
// model (dequantisation, the 8x8 matrix product of each stage with its
// rounding and saturation, add and clamp): every QP, every count path with
// counts at and above the true one, every coded block pattern, pictures with
// guard samples, and the argument checks.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "kvnvc.h"
#include "rng.h"
#include "tables/avs_tables.h"

namespace {

using namespace kvn::avs;

int64_t sat16(int64_t v) { return v < -32768 ? -32768 : v > 32767 ? 32767 : v; }

// The residual of one block: R = sat((sat((C' M + 4) >> 3)^T ... ) written
// as the two matrix products, M the rows of the standard's matrix.
void model_block(const int16_t* coef, int qp, uint8_t* dst, int step) {
  int64_t c[8][8], h[8][8];
  for (int v = 0; v < 8; ++v)
    for (int u = 0; u < 8; ++u) {
      const int64_t x =
          (int64_t(coef[8 * v + u]) * kAvsDequantScale[qp] + (int64_t(1) << (kAvsDequantShift[qp] - 1))) >>
          kAvsDequantShift[qp];
      c[v][u] = int16_t(uint16_t(uint64_t(x) & 0xffff));
    }
  for (int v = 0; v < 8; ++v)
    for (int x = 0; x < 8; ++x) {
      int64_t s = 0;
      for (int u = 0; u < 8; ++u) s += c[v][u] * kAvsTransformRows[u][x];
      h[v][x] = sat16((s + 4) >> 3);
    }
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) {
      int64_t s = 0;
      for (int v = 0; v < 8; ++v) s += h[v][x] * kAvsTransformRows[v][y];
      const int64_t p = dst[y * step + x] + sat16((s + 64) >> 7);
      dst[y * step + x] = uint8_t(p < 0 ? 0 : p > 255 ? 255 : p);
    }
}

// A block whose coefficients lie in the first n zigzag positions (n 0..64).
std::vector<int16_t> block_within(kvntest::Rng& r, int n) {
  std::vector<int16_t> b(64, 0);
  const int kind = r.range(0, 2);
  for (int i = 0; i < n; ++i) {
    if (kind == 0)
      b[kAvsZigzag[i]] = int16_t(r.range(-64, 64));
    else if (kind == 1)
      b[kAvsZigzag[i]] = int16_t(r.range(-2048, 2047));
    else
      b[kAvsZigzag[i]] = r.coin() ? int16_t(r.u32()) : int16_t(r.coin() ? -32768 : 32767);
  }
  return b;
}

constexpr int kStep = 40, kGuard = 8;

struct Picture {
  std::vector<uint8_t> px;
  explicit Picture(kvntest::Rng& r) : px(std::size_t(kStep) * 40) {
    for (auto& v : px) v = r.byte();
  }
  uint8_t* at(int x, int y) { return px.data() + (kGuard + y) * kStep + kGuard + x; }
};

TEST(AvsRecon, LumaAndChromaAgainstTheModel) {
  kvntest::TestRng r;
  for (int chroma = 0; chroma < 2; ++chroma)
    for (int qp = 0; qp <= (chroma ? kAvsMaxChromaQp : kAvsMaxQp); ++qp)
      for (int trial = 0; trial < 24; ++trial) {
        const Kvn8u cbp = Kvn8u(r.range(0, 15) | (r.range(0, 15) << 4));  // high bits ignored
        std::vector<int16_t> coefs;
        Kvn32u counts[4];
        for (int b = 0; b < 4; ++b) {
          // True count n; the count passed is n or any larger value (64
          // and 0 both take the full path).
          const int n = trial % 4 == 0 ? 1 : trial % 4 == 1 ? r.range(2, 10) : r.range(0, 64);
          const std::vector<int16_t> blk = block_within(r, n);
          const int pass = r.range(0, 3);
          counts[b] = pass == 0 ? Kvn32u(n) : pass == 1 ? Kvn32u(r.range(n, 64)) : pass == 2 ? 0u : 64u;
          if (cbp >> b & 1) coefs.insert(coefs.end(), blk.begin(), blk.end());
        }
        coefs.resize(coefs.size() + 64, 0x7777);  // beyond the coded blocks: never read
        Picture pic(r), pic2(r), want(pic), want2(pic2);
        int used = 0;
        for (int b = 0; b < 4; ++b) {
          if (!(cbp >> b & 1)) continue;
          if (chroma)
            model_block(&coefs[std::size_t(64 * used)], qp, (b & 1 ? want2 : want).at(0, 8 * (b >> 1)), kStep);
          else
            model_block(&coefs[std::size_t(64 * used)], qp, want.at(8 * (b & 1), 8 * (b >> 1)), kStep);
          ++used;
        }
        Kvn16s* p = coefs.data();
        const KvnResult st =
            chroma ? kvniReconstructChromaInter_AVS_16s8u_C1R(&p, pic.at(0, 0), pic2.at(0, 0), kStep, counts, cbp, qp)
                   : kvniReconstructLumaInter_AVS_16s8u_C1R(&p, pic.at(0, 0), kStep, counts, cbp, qp);
        const std::string where =
            std::string(chroma ? "chroma" : "luma") + " qp " + std::to_string(qp) + " trial " + std::to_string(trial);
        ASSERT_EQ(st, KVN_STS_OK) << where;
        ASSERT_EQ(p - coefs.data(), 64 * used) << where;
        ASSERT_EQ(pic.px, want.px) << where;
        ASSERT_EQ(pic2.px, want2.px) << where;
      }
}

// A DC-only block: the dequantised value d (2L at QP 0: scale 32768, shift
// 14) adds (8 d + 64) >> 7 to every sample of its block, here the top-right one.
TEST(AvsRecon, DcOnlyBlock) {
  for (int16_t level : {4, 100, -36, 1000}) {
    std::vector<int16_t> coef(64, 0);
    coef[0] = level;
    std::vector<uint8_t> pic(16 * 16, 100), want(pic);
    for (int y = 0; y < 8; ++y)
      for (int x = 8; x < 16; ++x)
        want[std::size_t(16 * y + x)] = uint8_t(std::clamp(100 + (16 * level + 64) / 128, 0, 255));
    Kvn16s* p = coef.data();
    const Kvn32u counts[4] = {1, 1, 1, 1};
    ASSERT_EQ(kvniReconstructLumaInter_AVS_16s8u_C1R(&p, pic.data(), 16, counts, 0x2, 0), KVN_STS_OK);
    EXPECT_EQ(pic, want) << level;
  }
}

// Pointers first (-8, the coefficient pointer behind the first argument
// included), then the QP (-11); nothing read or written. A coded block
// pattern without its low four bits leaves everything as it was.
TEST(AvsRecon, ArgumentChecks) {
  std::vector<Kvn16s> coef(256, 9);
  std::vector<uint8_t> y(16 * 16, 50), u(8 * 16, 50), v(8 * 16, 50);
  const std::vector<uint8_t> y0(y), c0(u);
  const Kvn32u n[4] = {64, 64, 64, 64};
  Kvn16s *p = coef.data(), *nil = nullptr;
  EXPECT_EQ(kvniReconstructLumaInter_AVS_16s8u_C1R(nullptr, y.data(), 16, n, 15, 99), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniReconstructLumaInter_AVS_16s8u_C1R(&p, nullptr, 16, n, 15, 99), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniReconstructLumaInter_AVS_16s8u_C1R(&p, y.data(), 16, nullptr, 15, 99), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniReconstructLumaInter_AVS_16s8u_C1R(&nil, y.data(), 16, n, 15, 99), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniReconstructLumaInter_AVS_16s8u_C1R(&p, y.data(), 16, n, 15, 64), KVN_STS_OUT_OF_RANGE);
  EXPECT_EQ(kvniReconstructLumaInter_AVS_16s8u_C1R(&p, y.data(), 16, n, 15, -1), KVN_STS_OUT_OF_RANGE);
  EXPECT_EQ(kvniReconstructChromaInter_AVS_16s8u_C1R(&p, u.data(), nullptr, 8, n, 15, 99), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniReconstructChromaInter_AVS_16s8u_C1R(&nil, u.data(), v.data(), 8, n, 15, 99), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniReconstructChromaInter_AVS_16s8u_C1R(&p, u.data(), v.data(), 8, n, 15, 52), KVN_STS_OUT_OF_RANGE);
  EXPECT_EQ(kvniReconstructLumaInter_AVS_16s8u_C1R(&p, y.data(), 16, n, 0, 63), KVN_STS_OK);
  EXPECT_EQ(kvniReconstructChromaInter_AVS_16s8u_C1R(&p, u.data(), v.data(), 8, n, 0xF0, 51), KVN_STS_OK);
  EXPECT_TRUE(p == coef.data() && y == y0 && u == c0 && v == c0);
}

}  // namespace
