// Every SIMD kernel of the deblocking filter against its scalar reference, on
// macroblocks that make every branch fire: near-flat lines with jumps below and
// above alpha and beta at the edges, thresholds of H.264 Tables 8-16 / 8-17 for
// every index (scaled to bit depths 8..14), random bS 0..3 and strong edge 0,
// plus hostile thresholds, bS and samples.
#include <algorithm>
#include <cstring>
#include <string>

#include "h264/deblock/deblock.h"
#include "support/harness.h"
#include "h264_tables.h"

namespace {

using namespace kvn;
using kvntest::Area;
using kvntest::Rng;

constexpr int kTrialsPerAlignment = 12;

enum class Kind { k8, kC2, k16, kMbaff8 };

struct Member {
  const char* name;
  Kind kind;
  bool vertical, luma;
  int cols, rows;  // macroblock size in samples (C2: bytes)
  int margin;      // samples (C2: bytes) before edge 0
  const EdgeShape* shape;
  Deblock8Fn DeblockKernels::*f8;
  DeblockC2Fn DeblockKernels::*fc2;
  Deblock16Fn DeblockKernels::*f16;
  DeblockMbaff8Fn DeblockKernels::*fm = nullptr;
};

const Member kMembers[] = {
    {"luma_ver", Kind::k8, true, true, 16, 16, 4, &kLumaShape, &DeblockKernels::luma_ver, nullptr, nullptr},
    {"luma_hor", Kind::k8, false, true, 16, 16, 4, &kLumaShape, &DeblockKernels::luma_hor, nullptr, nullptr},
    {"chroma_ver", Kind::k8, true, false, 8, 8, 2, &kChromaShape, &DeblockKernels::chroma_ver, nullptr, nullptr},
    {"chroma_hor", Kind::k8, false, false, 8, 8, 2, &kChromaShape, &DeblockKernels::chroma_hor, nullptr, nullptr},
    {"chroma422_ver", Kind::k8, true, false, 8, 16, 2, &kChroma422VerShape, &DeblockKernels::chroma422_ver, nullptr,
     nullptr},
    {"chroma422_hor", Kind::k8, false, false, 8, 16, 2, &kChroma422HorShape, &DeblockKernels::chroma422_hor, nullptr,
     nullptr},
    {"chroma_c2_ver", Kind::kC2, true, false, 16, 8, 4, &kChromaShape, nullptr, &DeblockKernels::chroma_c2_ver,
     nullptr},
    {"chroma_c2_hor", Kind::kC2, false, false, 16, 8, 2, &kChromaShape, nullptr, &DeblockKernels::chroma_c2_hor,
     nullptr},
    {"luma16_ver", Kind::k16, true, true, 16, 16, 4, &kLumaShape, nullptr, nullptr, &DeblockKernels::luma16_ver},
    {"luma16_hor", Kind::k16, false, true, 16, 16, 4, &kLumaShape, nullptr, nullptr, &DeblockKernels::luma16_hor},
    {"chroma16_ver", Kind::k16, true, false, 8, 8, 2, &kChromaShape, nullptr, nullptr, &DeblockKernels::chroma16_ver},
    {"chroma16_hor", Kind::k16, false, false, 8, 8, 2, &kChromaShape, nullptr, nullptr, &DeblockKernels::chroma16_hor},
    {"chroma422_16_ver", Kind::k16, true, false, 8, 16, 2, &kChroma422VerShape, nullptr, nullptr,
     &DeblockKernels::chroma422_16_ver},
    {"chroma422_16_hor", Kind::k16, false, false, 8, 16, 2, &kChroma422HorShape, nullptr, nullptr,
     &DeblockKernels::chroma422_16_hor},
    {"luma_mbaff", Kind::kMbaff8, true, true, 4, 8, 4, &kLumaMbaffShape, nullptr, nullptr, nullptr,
     &DeblockKernels::luma_mbaff},
    {"chroma_mbaff", Kind::kMbaff8, true, false, 2, 4, 2, &kChromaMbaffShape, nullptr, nullptr, nullptr,
     &DeblockKernels::chroma_mbaff},
    {"luma16_mbaff", Kind::k16, true, true, 4, 8, 4, &kLumaMbaffShape, nullptr, nullptr, &DeblockKernels::luma16_mbaff},
    {"chroma16_mbaff", Kind::k16, true, false, 2, 4, 2, &kChromaMbaffShape, nullptr, nullptr,
     &DeblockKernels::chroma16_mbaff},
};

// Thresholds of one call: alpha, beta (4: two per channel), tc0 (16), bS (16).
struct Params {
  uint16_t alpha[4], beta[4], tc0[16];
  uint8_t bs[16];
  int bit_depth = 8;
  int max() const { return (1 << bit_depth) - 1; }
};

Params draw_params(Rng& rng, bool high, const EdgeShape& sh) {
  Params pr;
  pr.bit_depth = high ? rng.range(8, 14) : 8;
  const int scale = 1 << (pr.bit_depth - 8);
  const bool hostile = rng.range(0, 7) == 0;
  const int limit = high ? 65535 : 255;
  for (int i = 0; i < 4; ++i) {
    const int index_a = rng.range(0, 51), index_b = rng.range(0, 51);
    pr.alpha[i] = uint16_t(hostile ? rng.range(0, limit) : kvnsupport::kAlpha[index_a] * scale);
    pr.beta[i] = uint16_t(hostile ? rng.range(0, limit) : kvnsupport::kBeta[index_b] * scale);
  }
  const int index_a = rng.range(0, 51);
  for (int i = 0; i < 16; ++i) {
    pr.bs[i] = uint8_t(rng.range(0, 3));
    pr.tc0[i] =
        uint16_t(hostile ? rng.range(0, limit) : kvnsupport::kTc0[index_a][std::max(pr.bs[i], uint8_t(1)) - 1] * scale);
  }
  // Strong edge 0 (also mixed and beyond-4 values, outside H.264 but defined);
  // some edges off, edge 0 included.
  const int mode = rng.range(0, 5);
  for (int s = 0; s < 4; ++s) {
    if (mode == 0 || mode == 1) pr.bs[s] = 4;
    if (mode == 2 && rng.coin()) pr.bs[s] = uint8_t(rng.range(4, 255));
    if (mode == 3) pr.bs[s] = 0;
  }
  if (hostile)
    for (auto& b : pr.bs) b = rng.coin() ? b : uint8_t(rng.range(0, 255));
  if (rng.range(0, 5) == 0)
    for (int e = 1; e < sh.edges; ++e)
      for (int s = 0; s < 4; ++s) pr.bs[sh.bs_mul * e + s] = 0;
  return pr;
}

// Near-flat content: per line a base, a jump between neighbouring 4-sample
// blocks across the edges, and noise; or plain random / extreme samples.
void fill(Rng& rng, Area& a, const Member& m, const Params& pr) {
  const int esize = m.kind == Kind::k16 ? 2 : 1;
  const int maxv = m.kind == Kind::k16 ? (rng.range(0, 9) == 0 ? 65535 : pr.max()) : 255;
  const int style = rng.range(0, 5);
  const int jump = rng.range(0, pr.alpha[0] + 4 + (pr.alpha[1] >> 1));
  const int noise = rng.range(0, pr.beta[1] + 2);
  const int cols = a.row_bytes() / esize;
  int line_base = rng.range(0, maxv);
  for (int r = 0; r < a.rows(); ++r)
    for (int x = 0; x < cols; ++x) {
      int v;
      if (style == 0) {
        v = rng.range(0, maxv);
      } else if (style == 1) {
        v = rng.coin() ? maxv : 0;
      } else {
        if (rng.range(0, 15) == 0) line_base = rng.range(0, maxv);
        const int block = (m.vertical ? x : r) >> 1;  // margins of 2 or 4: blocks of 2 keep jumps at edges
        v = std::clamp(line_base + (((block >> 1) & 1) ? jump : 0) + rng.range(0, noise), 0, maxv);
      }
      uint8_t* at = a.origin() + std::ptrdiff_t(r) * a.step() + x * esize;
      if (esize == 1) {
        *at = uint8_t(v);
      } else {
        const uint16_t w = uint16_t(v);
        std::memcpy(at, &w, 2);
      }
    }
}

// One call of member m with thresholds pr at level isa against the reference.
::testing::AssertionResult compare_call(Rng& rng, const Member& m, Params& pr, Isa isa, int align) {
  const DeblockKernels& c = kDeblockKernelsC;
  const DeblockKernels& s = deblock_kernels(isa);
  const int esize = m.kind == Kind::k16 ? 2 : 1;
  const int per_channel = rng.range(0, 1);
  // The MBAFF kernels take 32-bit thresholds: now and then any value.
  const uint32_t alpha32 = rng.range(0, 7) ? pr.alpha[0] : rng.u32() >> rng.range(0, 31);
  const uint32_t beta32 = rng.range(0, 7) ? pr.beta[0] : rng.u32() >> rng.range(0, 31);
  if (m.kind == Kind::kC2 && rng.coin()) pr.bs[0] = pr.bs[1] = pr.bs[2] = pr.bs[3] = 0;
  // Without edge 0 the area holds the macroblock only, so a read of
  // the samples before it fails under AddressSanitizer.
  const bool left = !edge_off(pr.bs);
  const int margin = left ? m.margin : 0;
  const int row_bytes = (m.cols + (m.vertical ? margin : 0)) * esize;
  const int rows = m.rows + (m.vertical ? 0 : margin);
  int step = kvntest::random_step(rng, row_bytes, true);
  if (esize == 2) step += step & 1;
  Area pic(row_bytes, rows, step, align, rng.coin() ? 0 : 32);
  const int origin_off = m.vertical ? margin * esize : margin * step;
  fill(rng, pic, m, pr);
  const Area before(pic);
  Area want(pic);
  auto run = [&](const DeblockKernels& k, Area& a) {
    uint8_t* p = a.origin() + origin_off;
    if (m.kind == Kind::k16) {
      kvntest::note_compared(k.*m.f16)(reinterpret_cast<uint16_t*>(p), step / 2, pr.alpha, pr.beta, pr.tc0, pr.bs,
                                       pr.max());
      return;
    }
    uint8_t al[4], be[4], tc[16];
    for (int i = 0; i < 4; ++i) al[i] = uint8_t(pr.alpha[i]), be[i] = uint8_t(pr.beta[i]);
    for (int i = 0; i < 16; ++i) tc[i] = uint8_t(pr.tc0[i]);
    if (m.kind == Kind::kC2)
      kvntest::note_compared(k.*m.fc2)(p, step, al, be, tc, pr.bs, per_channel);
    else if (m.kind == Kind::kMbaff8)
      kvntest::note_compared(k.*m.fm)(p, step, alpha32, beta32, tc, pr.bs);
    else
      kvntest::note_compared(k.*m.f8)(p, step, al, be, tc, pr.bs);
  };
  run(c, want);
  run(s, pic);
  return kvntest::same_area(before, want, pic);
}

bool differs(const Member& m, const DeblockKernels& c, const DeblockKernels& s) {
  return (m.f8 && c.*m.f8 != s.*m.f8) || (m.fc2 && c.*m.fc2 != s.*m.fc2) || (m.f16 && c.*m.f16 != s.*m.f16) ||
         (m.fm && c.*m.fm != s.*m.fm);
}

class DeblockDiff : public ::testing::TestWithParam<Isa> {
 protected:
  Rng rng = kvntest::rng_for(::testing::UnitTest::GetInstance()->current_test_info()->name());
};

TEST_P(DeblockDiff, EveryMemberMatchesTheReference) {
  for (const Member& m : kMembers) {
    if (!differs(m, kDeblockKernelsC, deblock_kernels(GetParam()))) continue;
    const int esize = m.kind == Kind::k16 ? 2 : 1;
    for (int align = 0; align < 16; align += esize)
      for (int t = 0; t < kTrialsPerAlignment; ++t) {
        Params pr = draw_params(rng, m.kind == Kind::k16, *m.shape);
        ASSERT_TRUE(compare_call(rng, m, pr, GetParam(), align)) << m.name << " " << isa_name(GetParam());
      }
  }
}

// 8-bit luma on every pattern of edges on and off, with edge 0 normal, strong
// or mixed, a strong segment on an internal edge, a threshold 0, or tc0 and
// thresholds up to 255 on steep content: kernels that filter the edges side
// by side pick their path, and chain each edge's q1 into the next, by these.
TEST_P(DeblockDiff, LumaEdgePatterns) {
  for (const Member& m : kMembers) {
    if (m.kind != Kind::k8 || !m.luma || !differs(m, kDeblockKernelsC, deblock_kernels(GetParam()))) continue;
    for (int pattern = 0; pattern < 16; ++pattern)
      for (int variant = 0; variant < 6; ++variant)
        for (int t = 0; t < 6; ++t) {
          Params pr = draw_params(rng, false, kLumaShape);
          for (int i = 0; i < 16; ++i)
            pr.bs[i] = (pattern >> (i >> 2) & 1) ? uint8_t(rng.range((i & 3) == t % 4 ? 1 : 0, 3)) : 0;
          const int seg = rng.range(0, 3), edge = rng.range(1, 3);
          if (variant == 1 && (pattern & 1)) pr.bs[0] = pr.bs[1] = pr.bs[2] = pr.bs[3] = 4;
          if (variant == 2 && (pattern & 1)) pr.bs[seg] = uint8_t(rng.range(4, 255));
          if (variant == 3) pr.bs[4 * edge + seg] = 4;
          if (variant == 4) (rng.coin() ? pr.alpha : pr.beta)[rng.range(0, 1)] = 0;
          if (variant == 5)
            for (int i = 0; i < 16; ++i) {
              pr.tc0[i] = uint16_t(rng.range(0, 255));
              if (i < 2) pr.alpha[i] = pr.beta[i] = uint16_t(rng.range(200, 255));
            }
          ASSERT_TRUE(compare_call(rng, m, pr, GetParam(), rng.range(0, 15)))
              << m.name << " " << isa_name(GetParam()) << " edges " << pattern << " variant " << variant;
        }
  }
}

INSTANTIATE_TEST_SUITE_P(Levels, DeblockDiff, ::testing::ValuesIn(kvntest::simd_levels()),
                         [](const ::testing::TestParamInfo<Isa>& i) { return std::string(isa_name(i.param)); });
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(DeblockDiff);

}  // namespace
