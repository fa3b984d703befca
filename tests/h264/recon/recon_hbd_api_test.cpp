// The high-profile reconstruction functions through their exported names:
// every status and the order of the checks (nothing written, nothing consumed
// on failure), the worked cases of stream consumption and prediction, and
// hostile coefficients.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <functional>
#include <vector>

#include "kvnvc.h"

namespace {

using Rec = KvnReconstructRecord32s16u;
using Rec8 = KvnReconstructRecord16s8u;

// A 10-bit component: plane with a neighbour row and column, a stream.
struct Comp {
  std::vector<Kvn16u> plane = std::vector<Kvn16u>(40 * 18, 300);
  std::vector<Kvn32s> coefs = std::vector<Kvn32s>(600, 7);
  std::vector<Kvn16s> table = std::vector<Kvn16s>(64, 16);
  Kvn32s* cur = coefs.data();
  Rec rec{&cur, plane.data() + 41, 40, 0, 30, table.data(), 0, 10};
  size_t used() const { return size_t(cur - coefs.data()); }
};

struct Comp8 {
  std::vector<Kvn8u> plane = std::vector<Kvn8u>(40 * 18, 100);
  std::vector<Kvn16s> coefs = std::vector<Kvn16s>(600, 7);
  std::vector<Kvn16s> table = std::vector<Kvn16s>(16, 16);
  Kvn16s* cur = coefs.data();
  Rec8 rec{&cur, plane.data() + 41, 40, 0, 30, table.data(), 0};
};

const Kvn32u kModes8[4] = {2, 2, 2, 2};
const Kvn32s kModes4[16] = {2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2};

// Every luma function on one record, intra ones in DC mode.
std::vector<std::function<KvnResult(const Rec*)>> luma_calls() {
  return {
      [](const Rec* r) { return kvniReconstructLumaInter4x4_H264High_32s16u_IP1R(r); },
      [](const Rec* r) { return kvniReconstructLumaInter8x8_H264High_32s16u_IP1R(r); },
      [](const Rec* r) { return kvniReconstructLumaIntra16x16_H264High_32s16u_IP1R(r, 2, 0); },
      [](const Rec* r) { return kvniReconstructLumaIntra4x4_H264High_32s16u_IP1R(r, kModes4, 0); },
      [](const Rec* r) { return kvniReconstructLumaIntra8x8_H264High_32s16u_IP1R(r, kModes8, 0); },
      [](const Rec* r) { return kvniReconstructLumaIntraHalf4x4_H264High_32s16u_IP1R(r, kModes4, 0); },
      [](const Rec* r) { return kvniReconstructLumaIntraHalf8x8_H264High_32s16u_IP1R(r, kModes8, 0); },
  };
}

std::vector<std::function<KvnResult(const Rec* const*)>> chroma_calls() {
  return {
      [](const Rec* const* r) { return kvniReconstructChromaInter4x4_H264High_32s16u_IP2R(r); },
      [](const Rec* const* r) { return kvniReconstructChromaIntra4x4_H264High_32s16u_IP2R(r, 0, 0); },
      [](const Rec* const* r) { return kvniReconstructChromaIntraHalf4x4_H264High_32s16u_IP2R(r, 0, 0, 0); },
      [](const Rec* const* r) { return kvniReconstructChroma422Inter4x4_H264High_32s16u_IP2R(r, 16, 16); },
      [](const Rec* const* r) { return kvniReconstructChroma422Intra4x4_H264High_32s16u_IP2R(r, 0, 0, 16, 16); },
      [](const Rec* const* r) { return kvniReconstructChroma422IntraHalf4x4_H264High_32s16u_IP2R(r, 0, 0, 0, 16, 16); },
  };
}

// Record faults, in the order the checks see them when combined.
struct Fault {
  const char* what;
  KvnResult status;
  std::function<void(Rec&)> apply;
};
const std::vector<Fault>& faults() {
  static const std::vector<Fault> f = {
      {"null stream", KVN_STS_NULL_PTR, [](Rec& r) { r.ppSrcDstCoeff = nullptr; }},
      {"null plane", KVN_STS_NULL_PTR, [](Rec& r) { r.pSrcDstPlane = nullptr; }},
      {"null table", KVN_STS_NULL_PTR, [](Rec& r) { r.pQuantTable = nullptr; }},
      {"step 0", KVN_STS_STEP_ERR, [](Rec& r) { r.srcDstStep = 0; }},
      {"step -40", KVN_STS_STEP_ERR, [](Rec& r) { r.srcDstStep = -40; }},
      {"bit depth 7", KVN_STS_OUT_OF_RANGE, [](Rec& r) { r.bitDepth = 7; }},
      {"bit depth 15", KVN_STS_OUT_OF_RANGE, [](Rec& r) { r.bitDepth = 15; }},
      {"qp -1", KVN_STS_OUT_OF_RANGE, [](Rec& r) { r.qp = -1; }},
      {"qp 64", KVN_STS_OUT_OF_RANGE, [](Rec& r) { r.qp = 64; }},
  };
  return f;
}

TEST(ReconHbdApi, LumaChecksInOrder) {
  for (const auto& call : luma_calls()) {
    Comp c;
    c.rec.cbp = 0xffffffff;
    EXPECT_EQ(KVN_STS_NULL_PTR, call(nullptr));
    for (size_t i = 0; i < faults().size(); ++i)
      for (size_t j = i; j < faults().size(); ++j) {  // two faults: the earlier one is reported
        Comp d;
        d.rec.cbp = 0xffffffff;
        faults()[i].apply(d.rec);
        faults()[j].apply(d.rec);
        EXPECT_EQ(faults()[i].status, call(&d.rec)) << faults()[i].what << " + " << faults()[j].what;
        EXPECT_EQ(0u, d.used());
        EXPECT_EQ(std::vector<Kvn16u>(40 * 18, 300), d.plane);
      }
    Kvn32s* none = nullptr;
    c.rec.ppSrcDstCoeff = &none;
    EXPECT_EQ(KVN_STS_NULL_PTR, call(&c.rec));
  }
  // Null mode arrays.
  Comp c;
  EXPECT_EQ(KVN_STS_NULL_PTR, kvniReconstructLumaIntra4x4_H264High_32s16u_IP1R(&c.rec, nullptr, 0));
  EXPECT_EQ(KVN_STS_NULL_PTR, kvniReconstructLumaIntra8x8_H264High_32s16u_IP1R(&c.rec, nullptr, 0));
  EXPECT_EQ(KVN_STS_NULL_PTR, kvniReconstructLumaIntraHalf4x4_H264High_32s16u_IP1R(&c.rec, nullptr, 0));
  EXPECT_EQ(KVN_STS_NULL_PTR, kvniReconstructLumaIntraHalf8x8_H264High_32s16u_IP1R(&c.rec, nullptr, 0));
}

// Range limits: luma qp up to 6 bitDepth + 3, chroma up to 6 bitDepth - 9,
// 8-bit 4:2:2 chroma up to 39; steps at least the component's width.
TEST(ReconHbdApi, Ranges) {
  struct Case {
    int bd, qp, step;
    KvnResult luma, chroma;
  } cases[] = {
      {10, 63, 16, KVN_STS_OK, KVN_STS_OUT_OF_RANGE}, {10, 64, 16, KVN_STS_OUT_OF_RANGE, KVN_STS_OUT_OF_RANGE},
      {10, 51, 8, KVN_STS_STEP_ERR, KVN_STS_OK},      {10, 52, 8, KVN_STS_STEP_ERR, KVN_STS_OUT_OF_RANGE},
      {8, 51, 16, KVN_STS_OK, KVN_STS_OUT_OF_RANGE},  {8, 39, 7, KVN_STS_STEP_ERR, KVN_STS_STEP_ERR},
      {14, 87, 40, KVN_STS_OK, KVN_STS_OUT_OF_RANGE}, {14, 75, 40, KVN_STS_OK, KVN_STS_OK},
      {8, 0, 1, KVN_STS_STEP_ERR, KVN_STS_STEP_ERR},
  };
  for (const Case& t : cases) {
    Comp l, cb, cr;
    for (Comp* c : {&l, &cb, &cr}) c->rec.bitDepth = t.bd, c->rec.qp = t.qp, c->rec.srcDstStep = t.step;
    EXPECT_EQ(t.luma, kvniReconstructLumaInter4x4_H264High_32s16u_IP1R(&l.rec)) << t.bd << " " << t.qp;
    const Rec* r[2] = {&cb.rec, &cr.rec};
    for (const auto& call : chroma_calls()) EXPECT_EQ(t.chroma, call(r)) << t.bd << " " << t.qp;
  }
  Comp8 cb, cr;
  const Rec8* r[2] = {&cb.rec, &cr.rec};
  cr.rec.qp = 39;
  EXPECT_EQ(KVN_STS_OK, kvniReconstructChroma422Inter4x4_H264High_16s8u_IP2R(r, 16, 16));
  cr.rec.qp = 40;
  EXPECT_EQ(KVN_STS_OUT_OF_RANGE, kvniReconstructChroma422Inter4x4_H264High_16s8u_IP2R(r, 16, 16));
  EXPECT_EQ(KVN_STS_NULL_PTR, kvniReconstructChroma422Intra4x4_H264High_16s8u_IP2R(nullptr, 0, 0, 16, 16));
}

// Both chroma records are checked before anything is written: a fault in
// the Cr record leaves Cb untouched; a null pointer anywhere comes first.
TEST(ReconHbdApi, ChromaChecksBothRecords) {
  for (const auto& call : chroma_calls()) {
    EXPECT_EQ(KVN_STS_NULL_PTR, call(nullptr));
    for (const Fault& f : faults()) {
      Comp cb, cr;
      cb.rec.cbp = cr.rec.cbp = 0x1ff;
      cb.rec.qp = cr.rec.qp = 20;
      f.apply(cr.rec);
      const Rec* r[2] = {&cb.rec, &cr.rec};
      EXPECT_EQ(f.status, call(r)) << f.what;
      EXPECT_EQ(0u, cb.used());
      EXPECT_EQ(std::vector<Kvn16u>(40 * 18, 300), cb.plane) << f.what;
      // A null pointer in Cr is found before a step fault in Cb.
      cb.rec.srcDstStep = 0;
      if (f.status == KVN_STS_NULL_PTR) {
        EXPECT_EQ(KVN_STS_NULL_PTR, call(r)) << f.what;
      }
    }
    Comp cb;
    const Rec* r[2] = {&cb.rec, nullptr};
    EXPECT_EQ(KVN_STS_NULL_PTR, call(r));
  }
}

TEST(ReconHbdApi, IntraModes) {
  struct Case {
    int fn, mode, edges;
    KvnResult want;
  } cases[] = {
      {0, 0, 4, KVN_STS_INTRA_UNAVAILABLE},
      {0, 1, 1, KVN_STS_INTRA_UNAVAILABLE},
      {0, 3, 16, KVN_STS_INTRA_UNAVAILABLE},
      {0, 2, 0x35, KVN_STS_OK},
      {0, 4, 0, KVN_STS_OUT_OF_RANGE},
      {0, -1, 0, KVN_STS_OUT_OF_RANGE},
      {1, 1, 1, KVN_STS_INTRA_UNAVAILABLE},
      {1, 2, 4, KVN_STS_INTRA_UNAVAILABLE},
      {1, 3, 16, KVN_STS_INTRA_UNAVAILABLE},
      {1, 3, 32, KVN_STS_OK},
      {1, 4, 0, KVN_STS_OUT_OF_RANGE},
      {1, 0, 0x35, KVN_STS_OK},
      {2, 1, 0, KVN_STS_INTRA_UNAVAILABLE},
      {2, 3, 0, KVN_STS_INTRA_UNAVAILABLE},
      {2, 2, 4, KVN_STS_INTRA_UNAVAILABLE},
      {2, 2, 1, KVN_STS_OK},
      {2, 0, 0x35, KVN_STS_OK},
      {2, 9, 0, KVN_STS_INTRA_UNAVAILABLE},
  };
  for (const Case& t : cases) {
    Comp l, cb, cr;
    const Rec* r[2] = {&cb.rec, &cr.rec};
    KvnResult got = 0;
    if (t.fn == 0) got = kvniReconstructLumaIntra16x16_H264High_32s16u_IP1R(&l.rec, t.mode, Kvn8u(t.edges));
    if (t.fn == 1) got = kvniReconstructChroma422Intra4x4_H264High_32s16u_IP2R(r, t.mode, Kvn8u(t.edges), 16, 16);
    if (t.fn == 2) got = kvniReconstructChromaIntraHalf4x4_H264High_32s16u_IP2R(r, t.mode, Kvn8u(t.edges), 0);
    EXPECT_EQ(t.want, got) << t.fn << " mode " << t.mode << " edges " << t.edges;
    for (Comp* c : {&l, &cb, &cr}) {
      if (got < 0) {
        EXPECT_EQ(std::vector<Kvn16u>(40 * 18, 300), c->plane);
      }
    }
  }
}

// An intra 4x4 / 8x8 mode outside 0..8 stops the call at its block: the
// blocks before it are reconstructed and their coefficients consumed.
TEST(ReconHbdApi, IntraModeCheckedWhenReached) {
  Comp c;
  c.rec.cbp = 0x1fffe;
  Kvn32s modes[16] = {2, 2, 2, 2, 2, 9, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2};
  EXPECT_EQ(KVN_STS_OUT_OF_RANGE, kvniReconstructLumaIntra4x4_H264High_32s16u_IP1R(&c.rec, modes, 0));
  EXPECT_EQ(5u * 16, c.used());
  bool written = false;  // block 4 at x = 8 reconstructed, block 5 at x = 12 not touched
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) {
      written |= c.plane[41 + 40 * y + 8 + x] != 300;
      EXPECT_EQ(300, c.plane[41 + 40 * y + 12 + x]);
    }
  EXPECT_TRUE(written);
  Comp d;
  d.rec.cbp = 0xf;
  const Kvn32u modes8[4] = {2, 2, 9, 2};
  EXPECT_EQ(KVN_STS_OUT_OF_RANGE, kvniReconstructLumaIntra8x8_H264High_32s16u_IP1R(&d.rec, modes8, 0));
  EXPECT_EQ(2u * 64, d.used());
}

// The worked cases.
TEST(ReconHbdApi, WorkedCases) {
  {  // 12-bit intra 4x4 DC without neighbours predicts 2048; nothing coded
    Comp c;
    c.rec.bitDepth = 12;
    EXPECT_EQ(KVN_STS_OK, kvniReconstructLumaIntra4x4_H264High_32s16u_IP1R(&c.rec, kModes4, 0x35));
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x) ASSERT_EQ(2048, c.plane[41 + 40 * y + x]);
    EXPECT_EQ(0u, c.used());
  }
  {  // 4:2:2 with only the Cb DC bit: 8 Cb levels consumed, none of Cr
    Comp cb, cr;
    cb.rec.cbp = 1;
    const Rec* r[2] = {&cb.rec, &cr.rec};
    EXPECT_EQ(KVN_STS_OK, kvniReconstructChroma422Inter4x4_H264High_32s16u_IP2R(r, 16, 16));
    EXPECT_EQ(8u, cb.used());
    EXPECT_EQ(0u, cr.used());
    EXPECT_EQ(std::vector<Kvn16u>(40 * 18, 300), cr.plane);
  }
  {  // horizontal intra 4x4 with the left macroblock missing: substitute, warning
    Comp c;
    Kvn32s modes[16] = {1, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2};
    EXPECT_EQ(KVN_STS_WRN_SUBSTITUTE, kvniReconstructLumaIntra4x4_H264High_32s16u_IP1R(&c.rec, modes, 1));
    EXPECT_EQ(512, c.plane[41]);
  }
  {  // all masks 0: nothing read; intra predicts all the same
    Comp c;
    c.rec.cbp = 0x80000000u;
    c.plane[0] = 1000;  // the top-left neighbour
    EXPECT_EQ(KVN_STS_OK, kvniReconstructLumaInter8x8_H264High_32s16u_IP1R(&c.rec));
    EXPECT_EQ(KVN_STS_OK, kvniReconstructLumaIntra16x16_H264High_32s16u_IP1R(&c.rec, 0, 0));
    EXPECT_EQ(0u, c.used());
    EXPECT_EQ(300, c.plane[41 + 40 * 15 + 15]);
  }
  {  // Intra16x16 with the DC block alone: every block gets its DC; 16 levels read
    Comp c;
    c.rec.cbp = 1;
    c.coefs.assign(600, 0);
    c.coefs[0] = 10;  // a flat DC: every block DC the same
    EXPECT_EQ(KVN_STS_OK, kvniReconstructLumaIntra16x16_H264High_32s16u_IP1R(&c.rec, 2, 0x35));
    EXPECT_EQ(16u, c.used());
    const int v = c.plane[41];
    EXPECT_GT(v, 512);
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x) ASSERT_EQ(v, c.plane[41 + 40 * y + x]);
  }
  {  // lossless: the coefficients are the residual
    Comp c;
    c.rec.qp = 0, c.rec.bypassFlag = 5, c.rec.cbp = 1 << 1;
    for (int i = 0; i < 16; ++i) c.coefs[i] = i - 8;
    EXPECT_EQ(KVN_STS_OK, kvniReconstructLumaInter4x4_H264High_32s16u_IP1R(&c.rec));
    for (int i = 0; i < 16; ++i) ASSERT_EQ(300 + i - 8, c.plane[41 + 40 * (i / 4) + i % 4]);
  }
}

// Coefficients and scale tables anywhere in their range: defined results
// within the sample range (the arithmetic wraps in 32 bits).
TEST(ReconHbdApi, HostileCoefficients) {
  const Kvn32s values[] = {INT32_MIN, INT32_MAX, -1, 1 << 30};
  for (Kvn32s v : values)
    for (int qp : {0, 23, 24, 87}) {
      Comp c, cb, cr;
      c.coefs.assign(600, v);
      c.table.assign(64, v < 0 ? -32768 : 32767);
      c.rec.bitDepth = 14, c.rec.qp = qp, c.rec.cbp = 0xffffffff;
      EXPECT_EQ(KVN_STS_OK, kvniReconstructLumaIntra16x16_H264High_32s16u_IP1R(&c.rec, 3, 0));
      c.cur = c.coefs.data();
      EXPECT_EQ(KVN_STS_OK, kvniReconstructLumaInter8x8_H264High_32s16u_IP1R(&c.rec));
      for (int i = 0; i < 16; ++i)
        for (int j = 0; j < 16; ++j) ASSERT_LE(c.plane[41 + 40 * i + j], 16383);
      cb.coefs.assign(600, v), cb.rec.bitDepth = 14, cb.rec.qp = qp % 76, cb.rec.cbp = 0x1ff;
      cr.rec = cb.rec;
      cr.rec.pSrcDstPlane = cr.plane.data() + 41;
      const Rec* r[2] = {&cb.rec, &cr.rec};
      EXPECT_EQ(KVN_STS_OK, kvniReconstructChroma422Inter4x4_H264High_32s16u_IP2R(r, INT32_MIN, INT32_MAX));
      EXPECT_EQ(2u * (8 + 8 * 16), cb.used());
    }
}

}  // namespace
