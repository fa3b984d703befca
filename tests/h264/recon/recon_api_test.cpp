// The 8-bit reconstruction calls through the exported names: every status and
// the order of the checks (nothing written, the stream pointer unchanged),
// the late checks (intra modes when reached, the Halves QPc at the residual
// stage), the worked examples, the stream advance, the shared bodies and the
// lossless path.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "kvnvc.h"

namespace {

// Everything any of the functions takes; each test changes one thing.
struct Args {
  std::vector<Kvn8u> pic = std::vector<Kvn8u>(48 * 64), pic2 = std::vector<Kvn8u>(48 * 64);
  std::vector<Kvn16s> coef = std::vector<Kvn16s>(26 * 16 + 64, 3);
  Kvn16s* s = coef.data();
  Kvn16s** ps = &s;
  Kvn8u *y = pic.data() + 17 * 64 + 16, *u = y, *v = pic2.data() + 17 * 64 + 16;
  int32_t step = 64;
  Kvn32s modes4[16] = {};
  Kvn32u modes8[4] = {};
  const Kvn32s* m4 = modes4;
  const Kvn32u* m8 = modes8;
  Kvn32u mask = 0xffffffffu;
  int32_t qp = 20, qp2 = 20, mode = 2;
  Kvn8u edges = 0, edges2 = 0, bypass = 0;
  Kvn16s table[64];
  const Kvn16s *t = table, *t2 = table;
  Args() {
    for (auto& x : table) x = 16 * 13;
    for (size_t i = 0; i < pic.size(); ++i) pic[i] = Kvn8u((i * 7 + i / 64 * 3) % 251), pic2[i] = Kvn8u(i * 5 % 241);
  }
};

using Call = std::function<KvnResult(Args&)>;
enum Kind : int {
  kLuma = 1,
  kChroma = 2,
  kScaled = 4,
  kStepCheck = 8,
  kHalves = 16,
  kModes = 32,
  kMode = 64,
  kP2R = 128
};

struct Fn {
  const char* name;
  int kind;
  Call call;
};

const std::vector<Fn>& functions() {
  static const std::vector<Fn> f = {
      {"LumaInter", kLuma,
       [](Args& a) { return kvniReconstructLumaInterMB_H264_16s8u_C1R(a.ps, a.y, a.step, a.mask, a.qp); }},
      {"LumaInter4x4", kLuma | kScaled,
       [](Args& a) {
         return kvniReconstructLumaInter4x4MB_H264_16s8u_C1R(a.ps, a.y, a.step, a.mask, a.qp, a.t, a.bypass);
       }},
      {"LumaInter8x8", kLuma | kScaled,
       [](Args& a) {
         return kvniReconstructLumaInter8x8MB_H264_16s8u_C1R(a.ps, a.y, a.step, a.mask, a.qp, a.t, a.bypass);
       }},
      {"LumaIntra", kLuma | kModes,
       [](Args& a) {
         return kvniReconstructLumaIntraMB_H264_16s8u_C1R(a.ps, a.y, a.step, a.m4, a.mask, a.qp, a.edges);
       }},
      {"LumaIntra4x4", kLuma | kModes | kScaled,
       [](Args& a) {
         return kvniReconstructLumaIntra4x4MB_H264_16s8u_C1R(a.ps, a.y, a.step, a.m4, a.mask, a.qp, a.edges, a.t,
                                                             a.bypass);
       }},
      {"LumaIntra16x16", kLuma | kMode,
       [](Args& a) {
         return kvniReconstructLumaIntra16x16MB_H264_16s8u_C1R(a.ps, a.y, a.step, a.mode, a.mask, a.qp, a.edges);
       }},
      {"LumaIntra_16x16", kLuma | kMode | kScaled,
       [](Args& a) {
         return kvniReconstructLumaIntra_16x16MB_H264_16s8u_C1R(a.ps, a.y, a.step, a.mode, a.mask, a.qp, a.edges, a.t,
                                                                a.bypass);
       }},
      {"LumaIntra8x8", kLuma | kModes | kScaled,
       [](Args& a) {
         return kvniReconstructLumaIntra8x8MB_H264_16s8u_C1R(a.ps, a.y, a.step, a.m8, a.mask, a.qp, a.edges, a.t,
                                                             a.bypass);
       }},
      {"LumaIntraHalf", kLuma | kModes | kStepCheck,
       [](Args& a) {
         return kvniReconstructLumaIntraHalfMB_H264_16s8u_C1R(a.ps, a.y, a.step, a.m4, a.mask, a.qp, a.edges);
       }},
      {"LumaIntraHalf4x4", kLuma | kModes | kScaled,
       [](Args& a) {
         return kvniReconstructLumaIntraHalf4x4MB_H264_16s8u_C1R(a.ps, a.y, a.step, a.m4, Kvn8u(a.mask), a.qp, a.edges,
                                                                 a.t, a.bypass);
       }},
      {"LumaIntraHalf8x8", kLuma | kModes | kScaled,
       [](Args& a) {
         return kvniReconstructLumaIntraHalf8x8MB_H264_16s8u_C1R(a.ps, a.y, a.step, a.m8, a.mask, a.qp, a.edges, a.t,
                                                                 a.bypass);
       }},
      {"ChromaInterP2R", kChroma | kP2R,
       [](Args& a) { return kvniReconstructChromaInterMB_H264_16s8u_P2R(a.ps, a.u, a.v, a.step, a.mask, a.qp); }},
      {"ChromaInterC2R", kChroma | kStepCheck,
       [](Args& a) { return kvniReconstructChromaInterMB_H264_16s8u_C2R(a.ps, a.u, a.step, a.mask, a.qp); }},
      {"ChromaInter4x4P2R", kChroma | kScaled | kP2R,
       [](Args& a) {
         return kvniReconstructChromaInter4x4MB_H264_16s8u_P2R(a.ps, a.u, a.v, a.step, a.mask, a.qp, a.qp2, a.t, a.t2,
                                                               a.bypass);
       }},
      {"ChromaInter4x4C2R", kChroma | kScaled | kStepCheck,
       [](Args& a) {
         return kvniReconstructChromaInter4x4MB_H264_16s8u_C2R(a.ps, a.u, a.step, a.mask, a.qp, a.qp2, a.t, a.t2,
                                                               a.bypass);
       }},
      {"ChromaIntraP2R", kChroma | kMode | kP2R,
       [](Args& a) {
         return kvniReconstructChromaIntraMB_H264_16s8u_P2R(a.ps, a.u, a.v, a.step, a.mode, a.mask, a.qp, a.edges);
       }},
      {"ChromaIntraC2R", kChroma | kMode | kStepCheck,
       [](Args& a) {
         return kvniReconstructChromaIntraMB_H264_16s8u_C2R(a.ps, a.u, a.step, a.mode, a.mask, a.qp, a.edges);
       }},
      {"ChromaIntra4x4P2R", kChroma | kMode | kScaled | kP2R,
       [](Args& a) {
         return kvniReconstructChromaIntra4x4MB_H264_16s8u_P2R(a.ps, a.u, a.v, a.step, a.mode, a.mask, a.qp, a.qp2,
                                                               a.edges, a.t, a.t2, a.bypass);
       }},
      {"ChromaIntra4x4C2R", kChroma | kMode | kScaled | kStepCheck,
       [](Args& a) {
         return kvniReconstructChromaIntra4x4MB_H264_16s8u_C2R(a.ps, a.u, a.step, a.mode, a.mask, a.qp, a.qp2, a.edges,
                                                               a.t, a.t2, a.bypass);
       }},
      {"ChromaHalvesP2R", kChroma | kMode | kHalves | kP2R,
       [](Args& a) {
         return kvniReconstructChromaIntraHalvesMB_H264_16s8u_P2R(a.ps, a.u, a.v, a.step, a.mode, a.mask, a.qp, a.edges,
                                                                  a.edges2);
       }},
      {"ChromaHalfsP2R", kChroma | kMode | kHalves | kP2R,
       [](Args& a) {
         return kvniReconstructChromaIntraHalfsMB_H264_16s8u_P2R(a.ps, a.u, a.v, a.step, a.mode, a.mask, a.qp, a.edges,
                                                                 a.edges2);
       }},
      {"ChromaHalvesC2R", kChroma | kMode | kHalves | kStepCheck,
       [](Args& a) {
         return kvniReconstructChromaIntraHalvesMB_H264_16s8u_C2R(a.ps, a.u, a.step, a.mode, a.mask, a.qp, a.edges,
                                                                  a.edges2);
       }},
      {"ChromaHalves4x4P2R", kChroma | kMode | kHalves | kScaled | kP2R,
       [](Args& a) {
         return kvniReconstructChromaIntraHalves4x4MB_H264_16s8u_P2R(a.ps, a.u, a.v, a.step, a.mode, a.mask, a.qp,
                                                                     a.qp2, a.edges, a.edges2, a.t, a.t2, a.bypass);
       }},
      {"ChromaHalfs4x4P2R", kChroma | kMode | kHalves | kScaled | kP2R,
       [](Args& a) {
         return kvniReconstructChromaIntraHalfs4x4MB_H264_16s8u_P2R(a.ps, a.u, a.v, a.step, a.mode, a.mask, a.qp, a.qp2,
                                                                    a.edges, a.edges2, a.t, a.t2, a.bypass);
       }},
  };
  return f;
}

// Runs a call expected to fail and checks that nothing was written.
void expect_refused(const Fn& f, Args& a, KvnResult want, const char* what) {
  const Args before;
  Kvn16s* const s0 = a.s;
  EXPECT_EQ(want, f.call(a)) << f.name << ": " << what;
  EXPECT_EQ(s0, a.s) << f.name << ": " << what;
  EXPECT_TRUE(a.pic == before.pic && a.pic2 == before.pic2 && a.coef == before.coef) << f.name << ": " << what;
}

TEST(ReconApi, Exports24Names) { EXPECT_EQ(24u, functions().size()); }

TEST(ReconApi, NullPointersFirst) {
  using Set = std::function<void(Args&)>;
  const std::vector<std::pair<const char*, Set>> nulls = {
      {"stream", [](Args& a) { a.ps = nullptr; }},
      {"*stream", [](Args& a) { a.s = nullptr; }},
      {"plane", [](Args& a) { a.y = a.u = nullptr; }},
      {"Cr plane", [](Args& a) { a.v = nullptr; }},
      {"modes", [](Args& a) { a.m4 = nullptr, a.m8 = nullptr; }},
      {"table", [](Args& a) { a.t = nullptr; }},
      {"Cr table", [](Args& a) { a.t2 = nullptr; }},
  };
  for (const Fn& f : functions())
    for (const auto& [what, set] : nulls) {
      const std::string w = what;
      const bool used = w == "Cr plane"   ? (f.kind & kP2R)
                        : w == "modes"    ? (f.kind & kModes)
                        : w == "table"    ? (f.kind & kScaled)
                        : w == "Cr table" ? ((f.kind & kScaled) && (f.kind & kChroma))
                                          : true;
      if (!used) continue;
      Args a;
      set(a);
      a.qp = 99, a.step = 0, a.mode = 9, a.edges = 0xff;  // later checks would fail too
      Kvn16s* const s0 = a.s;
      EXPECT_EQ(KVN_STS_NULL_PTR, f.call(a)) << f.name << " " << what;
      EXPECT_EQ(s0, a.s);
      EXPECT_TRUE(a.pic == Args().pic) << f.name;
    }
}

TEST(ReconApi, RangesThenStepThenModes) {
  for (const Fn& f : functions()) {
    const int maxq = (f.kind & kChroma) ? ((f.kind & kHalves) && !(f.kind & kScaled) ? 51 : 39) : 51;
    for (int bad : {-1, maxq + 1, 1 << 30}) {
      Args a;
      a.qp = bad, a.mode = 9, a.edges = 0xff;
      if (!(f.kind & kLuma)) a.step = 0;  // the C2R step is checked after the QPs
      expect_refused(f, a, KVN_STS_OUT_OF_RANGE, "qp");
      if ((f.kind & kScaled) && (f.kind & kChroma)) {
        Args b;
        b.qp2 = bad, b.step = 0, b.mode = 9, b.edges = 0xff;
        expect_refused(f, b, KVN_STS_OUT_OF_RANGE, "Cr qp");
      }
    }
    if (f.kind & kStepCheck)
      for (int step : {0, -64}) {
        Args a;
        a.step = step, a.mode = 9, a.edges = 0xff;
        if (f.kind & kLuma) a.qp = 52;  // the Half function checks its step before qp
        expect_refused(f, a, KVN_STS_STEP_ERR, "step");
      }
    if ((f.kind & kChroma) && (f.kind & kMode) && !(f.kind & kHalves))
      for (int mode : {4, -1}) {  // before the neighbour check; also for the scale-table members
        Args a;
        a.mode = mode, a.edges = 0xff;
        expect_refused(f, a, KVN_STS_OUT_OF_RANGE, "chroma mode");
      }
  }
}

TEST(ReconApi, UnavailableNeighbours) {
  struct C {
    int mode, edges;
    bool luma, chroma, halves;  // refused by which kinds
  };
  const C cases[] = {
      {0, 4, true, false, false},  // luma vertical without top
      {1, 1, true, true, true},    // horizontal without left (Halves: any horizontal)
      {2, 4, false, true, true},   // chroma vertical without top
      {3, 16, true, true, true},   // plane without top-left
      {3, 0, false, false, true},  // Halves: plane never
      {1, 0, false, false, true},  // Halves: horizontal never
      {5, 0, false, false, true},  // Halves: any other mode
  };
  for (const Fn& f : functions()) {
    if (!(f.kind & kMode)) continue;
    for (const C& c : cases) {
      const bool refused = (f.kind & kLuma) ? c.luma : (f.kind & kHalves) ? c.halves : c.chroma;
      if (!refused) continue;
      Args a;
      a.mode = c.mode, a.edges = Kvn8u(c.edges);
      expect_refused(f, a, KVN_STS_INTRA_UNAVAILABLE, "neighbours");
    }
  }
}

// Without any of its bits set, a function writes only the prediction (and
// inter functions nothing at all), and the stream pointer stays.
TEST(ReconApi, EmptyMaskConsumesNothing) {
  for (const Fn& f : functions()) {
    Args a;
    a.mask = 0;
    a.mode = (f.kind & kLuma) ? 2 : 0;
    a.qp = (f.kind & kHalves) && !(f.kind & kScaled) ? 51 : 20;  // Halves accept 40..51 up front
    const bool intra = f.kind & (kMode | kModes);
    EXPECT_EQ(0, f.call(a)) << f.name;
    EXPECT_EQ(a.coef.data(), a.s) << f.name;
    EXPECT_EQ(intra, a.pic != Args().pic) << f.name;
  }
}

// The stream advance of each kind of block.
TEST(ReconApi, StreamAdvance) {
  struct C {
    const char* fn;
    Kvn32u mask;
    int consumed;
  };
  const C cases[] = {
      {"LumaInter", 0x20, 16},
      {"LumaInter", 0x1, 0},
      {"LumaInter", 0x1fffe, 256},
      {"LumaInter4x4", 0xfffe0001, 0},
      {"LumaInter8x8", 0x5, 128},
      {"LumaInter8x8", 0xf0, 0},
      {"LumaIntra", 0x3, 16},
      {"LumaIntraHalf", 0x1ff, 128},
      {"LumaIntraHalf4x4", 0x81, 32},
      {"LumaIntraHalf8x8", 0x7, 128},
      {"LumaIntra16x16", 0x1, 16},
      {"LumaIntra16x16", 0x3, 32},
      {"LumaIntra_16x16", 0x1fffe, 256},
      {"ChromaInterP2R", 0x40000, 4},
      {"ChromaInterC2R", 0x60000, 8},
      {"ChromaIntraP2R", 0x7fe0000, 136},
      {"ChromaInter4x4P2R", 0x4800000, 32},
      {"ChromaHalvesC2R", 0x1ffff, 0},
  };
  for (const C& c : cases)
    for (const Fn& f : functions())
      if (std::string(f.name) == c.fn) {
        Args a;
        a.mask = c.mask;
        a.mode = (f.kind & kLuma) ? 2 : 0;
        EXPECT_EQ(0, f.call(a)) << c.fn;
        EXPECT_EQ(c.consumed, a.s - a.coef.data()) << c.fn << " mask=" << std::hex << c.mask;
      }
}

TEST(ReconApi, InterBlock4Only) {
  Args a;
  a.mask = 0x20;
  for (int i = 0; i < 16; ++i) a.coef[i] = 0;
  a.coef[0] = 64;  // qp 20: 64 * (13 << 3) = 6656, a flat residual of 104
  const Args before;
  ASSERT_EQ(0, kvniReconstructLumaInterMB_H264_16s8u_C1R(a.ps, a.y, a.step, a.mask, a.qp));
  EXPECT_EQ(32, reinterpret_cast<char*>(a.s) - reinterpret_cast<char*>(a.coef.data()));
  for (int r = 0; r < 16; ++r)
    for (int x = 0; x < 16; ++x) {
      const bool in4 = r < 4 && x >= 8 && x < 12;  // block 4 is at (8, 0)
      const int o = r * a.step + x;
      EXPECT_EQ(in4 ? std::min(before.y[o] + 104, 255) : before.y[o], a.y[o]) << r << "," << x;
    }
  for (size_t i = 0; i < a.pic.size(); ++i) {
    const int r = int(i / 64) - 17, x = int(i % 64) - 16;
    if (r < 0 || r >= 4 || x < 8 || x >= 12) {
      ASSERT_EQ(before.pic[i], a.pic[i]) << i;
    }
  }
}

TEST(ReconApi, Intra16x16DcOnly) {
  Args a;
  a.mask = 1;
  a.mode = 2, a.edges = 0xff, a.qp = 28;  // DC without neighbours: 128
  for (int i = 0; i < 16; ++i) a.coef[i] = Kvn16s(i - 8);
  ASSERT_EQ(0, kvniReconstructLumaIntra16x16MB_H264_16s8u_C1R(a.ps, a.y, a.step, a.mode, a.mask, a.qp, a.edges));
  EXPECT_EQ(16, a.s - a.coef.data());
  int16_t dc[16];
  for (int i = 0; i < 16; ++i) dc[i] = Kvn16s(i - 8);
  ASSERT_EQ(0, kvniTransformDequantLumaDC_H264_16s_C1I(dc, 28));
  EXPECT_EQ(0, std::memcmp(dc, a.coef.data(), sizeof dc)) << "DC levels transformed in place";
  for (int r = 0; r < 16; ++r)
    for (int x = 0; x < 16; ++x) {
      const int want = std::clamp(128 + ((dc[(r / 4) * 4 + x / 4] + 32) >> 6), 0, 255);
      ASSERT_EQ(want, a.y[r * a.step + x]) << r << "," << x;
    }
}

TEST(ReconApi, ChromaCrDcOnly) {
  Args a;
  a.mask = 1u << 18;
  a.qp = 30;
  const Kvn16s lv[4] = {40, -8, 4, 12};
  std::memcpy(a.coef.data(), lv, sizeof lv);
  ASSERT_EQ(0, kvniReconstructChromaInterMB_H264_16s8u_P2R(a.ps, a.u, a.v, a.step, a.mask, a.qp));
  EXPECT_EQ(4, a.s - a.coef.data());
  EXPECT_TRUE(a.pic == Args().pic) << "Cb untouched";
  Kvn16s dc[4];
  std::memcpy(dc, lv, sizeof dc);
  ASSERT_EQ(0, kvniTransformDequantChromaDC_H264_16s_C1I(dc, 30));
  for (int r = 0; r < 8; ++r)
    for (int x = 0; x < 8; ++x)
      EXPECT_EQ(std::clamp(Args().v[r * a.step + x] + ((dc[(r / 4) * 2 + x / 4] + 32) >> 6), 0, 255),
                a.v[r * a.step + x]);
}

TEST(ReconApi, Intra4x4LeftUnavailableWarns) {
  Args a;
  a.mask = 1u << 1;  // block 0 coded
  a.edges = 1;       // left unavailable
  a.modes4[0] = 1;   // horizontal
  for (int k = 1; k < 16; ++k) a.modes4[k] = 2;
  for (int i = 0; i < 16; ++i) a.coef[i] = 0;
  a.coef[0] = 32;
  ASSERT_EQ(KVN_STS_WRN_SUBSTITUTE,
            kvniReconstructLumaIntraMB_H264_16s8u_C1R(a.ps, a.y, a.step, a.m4, a.mask, a.qp, a.edges));
  Kvn8u blk[16];
  std::memset(blk, 128, 16);
  Kvn16s c[16] = {32};
  ASSERT_EQ(0, kvniDequantTransformResidualAndAdd_H264_16s_C1I(blk, c, nullptr, blk, 4, 4, 20, 1));
  for (int r = 0; r < 4; ++r)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(blk[4 * r + x], a.y[r * a.step + x]);
  EXPECT_NE(128, blk[0]);
}

TEST(ReconApi, ChromaVerticalWithoutTopWritesNothing) {
  for (const Fn& f : functions())
    if ((f.kind & kChroma) && (f.kind & kMode)) {
      Args a;
      a.mode = 2, a.edges = 4;
      expect_refused(f, a, KVN_STS_INTRA_UNAVAILABLE, "vertical");
    }
}

// A mode out of range stops the walk at its block: the blocks before it are
// reconstructed and consumed, nothing after.
TEST(ReconApi, IntraModeCheckedWhenReached) {
  Args a, ref;
  for (int k = 0; k < 16; ++k) a.modes4[k] = ref.modes4[k] = 2;
  a.modes4[5] = 9;
  a.mask = ref.mask = 0x1fffe;
  EXPECT_EQ(KVN_STS_OUT_OF_RANGE, kvniReconstructLumaIntraMB_H264_16s8u_C1R(a.ps, a.y, a.step, a.m4, a.mask, a.qp, 0));
  EXPECT_EQ(5 * 16, a.s - a.coef.data());
  ASSERT_EQ(0, kvniReconstructLumaIntraMB_H264_16s8u_C1R(ref.ps, ref.y, ref.step, ref.m4, ref.mask, ref.qp, 0));
  for (int r = 0; r < 16; ++r)
    for (int x = 0; x < 16; ++x) {
      const bool done = (r < 8 && x < 8) || (r < 4 && x >= 8 && x < 12);  // blocks 0..4
      EXPECT_EQ(done ? ref.y[r * 64 + x] : Args().y[r * 64 + x], a.y[r * 64 + x]) << r << "," << x;
    }
  Args b;
  b.modes8[2] = 100;
  b.mask = 0xf;
  EXPECT_EQ(KVN_STS_OUT_OF_RANGE,
            kvniReconstructLumaIntra8x8MB_H264_16s8u_C1R(b.ps, b.y, b.step, b.m8, b.mask, b.qp, 0, b.t, 0));
  EXPECT_EQ(128, b.s - b.coef.data());
  for (int r = 0; r < 16; ++r)
    for (int x = 0; x < 16; ++x) EXPECT_EQ(r >= 8 ? Args().y[r * 64 + x] : b.y[r * 64 + x], b.y[r * 64 + x]);
  EXPECT_NE(Args().y[0], b.y[0]);
}

TEST(ReconApi, HalvesRefuseQpcAbove39AfterPrediction) {
  for (const char* name : {"ChromaHalvesP2R", "ChromaHalvesC2R"})
    for (const Fn& f : functions())
      if (std::string(f.name) == name) {
        Args a;
        a.qp = 45, a.mode = 0, a.mask = 1u << 17;
        EXPECT_EQ(KVN_STS_OUT_OF_RANGE, f.call(a)) << name;
        EXPECT_EQ(a.coef.data(), a.s);
        EXPECT_TRUE(a.pic != Args().pic) << "prediction written";
        EXPECT_TRUE(a.coef == Args().coef) << "stream untouched";
      }
}

TEST(ReconApi, SharedBodiesAgree) {
  for (auto [x, y] : {std::pair{"ChromaHalvesP2R", "ChromaHalfsP2R"}, {"ChromaHalves4x4P2R", "ChromaHalfs4x4P2R"}}) {
    Args a, b;
    a.mask = b.mask = 0x7fe0000;
    a.edges2 = b.edges2 = 1;
    for (size_t i = 0; i < a.coef.size(); ++i) a.coef[i] = b.coef[i] = Kvn16s(i * 37 % 200 - 100);
    const Fn *fx = nullptr, *fy = nullptr;
    for (const Fn& f : functions()) {
      if (std::string(f.name) == x) fx = &f;
      if (std::string(f.name) == y) fy = &f;
    }
    ASSERT_EQ(0, fx->call(a));
    ASSERT_EQ(0, fy->call(b));
    EXPECT_TRUE(a.pic == b.pic && a.pic2 == b.pic2 && a.coef == b.coef && a.s - a.coef.data() == b.s - b.coef.data());
  }
}

// Bypass with qp 0 adds the coefficients themselves; with qp 1 it is ignored.
TEST(ReconApi, TransformBypass) {
  for (int qp : {0, 1}) {
    Args a;
    a.qp = qp, a.bypass = 1, a.mask = 1u << 1;
    for (int i = 0; i < 16; ++i) a.coef[i] = Kvn16s(i * 10 - 80);
    ASSERT_EQ(0, kvniReconstructLumaInter4x4MB_H264_16s8u_C1R(a.ps, a.y, a.step, a.mask, a.qp, a.t, a.bypass));
    bool lossless = true;
    for (int i = 0; i < 16; ++i) {
      const int o = (i / 4) * 64 + i % 4;
      lossless &= a.y[o] == std::clamp(Args().y[o] + i * 10 - 80, 0, 255);
    }
    EXPECT_EQ(qp == 0, lossless) << qp;
  }
}

}  // namespace
