// Every 8-bit reconstruction call against the same work done through the
// separate exported block functions (intra predictors, DC transforms,
// dequantise + inverse transform + add), on random coded-block masks, modes,
// qp, edge flags and coefficients, with the intra 8x8 predictor modelled from
// H.264 8.3.2.2 (h264_model.h). Checked: every picture byte (guards around
// the macroblock included), the stream pointer's advance, the stream contents
// (DC blocks transformed in place, nothing else written, guards after it).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "h264_model.h"
#include "kvnvc.h"
#include "rng.h"

namespace {

using kvntest::Rng;

enum : int { kTop = 1, kLeft = 2, kTopLeft = 32, kTopRight = 64 };

// Availability of intra 4x4 block k and 8x8 block b from the edge flags:
// per neighbour (top, left, top-left, top-right) 'T' top MB, 'L' left MB,
// 'D' top-left MB, 'R' top-right MB, 'Y' always, 'N' never.
const char* const kAvail4x4[16] = {"TLDT", "TYTT", "YLLY", "YYYN", "TYTT", "TYTR", "YYYY", "YYYN",
                                   "YLLY", "YYYY", "YLLY", "YYYN", "YYYY", "YYYN", "YYYY", "YYYN"};
const char* const kAvail8x8[4] = {"TLDT", "TYTR", "YLLY", "YYYN"};
int avail_of(const char* src, int edges) {
  const int bits[4] = {kTop, kLeft, kTopLeft, kTopRight};
  int a = 0;
  for (int i = 0; i < 4; ++i) {
    const char c = src[i];
    const bool on = c == 'Y' || (c == 'T' && !(edges & 4)) || (c == 'L' && !(edges & 1)) ||
                    (c == 'D' && !(edges & 16)) || (c == 'R' && !(edges & 32));
    if (on) a |= bits[i];
  }
  return a;
}
int mb_avail(int edges) { return avail_of("TLDN", edges); }

const int kX4[16] = {0, 4, 0, 4, 8, 12, 8, 12, 0, 4, 0, 4, 8, 12, 8, 12};
const int kY4[16] = {0, 0, 4, 4, 0, 0, 4, 4, 8, 8, 12, 12, 8, 8, 12, 12};

// A picture of 40 rows around the macroblock (rows 16.. of it), any step
// sign; the bytes around the macroblock are guards.
struct Pic {
  std::vector<uint8_t> mem;
  int step;
  uint8_t* base;
  Pic(Rng& g, int width, bool negative) {
    step = width + g.range(0, 40);
    if (negative) step = -step;
    mem.resize(size_t(40) * std::abs(step));
    g.fill(mem, 0, 255);
    base = step > 0 ? mem.data() : mem.data() + size_t(39) * -step;
  }
  Pic(const Pic& o) : mem(o.mem), step(o.step), base(mem.data() + (o.base - o.mem.data())) {}
  uint8_t* mb() { return base + 16 * step + 16; }
};

// Coefficients: decoder-like levels, or anything.
void fill(Rng& g, int16_t* c, int n) {
  const int kind = g.range(0, 3);
  for (int i = 0; i < n; ++i)
    c[i] = int16_t(kind == 0   ? g.range(-30, 30) * (g.range(0, 2) == 0)
                   : kind == 1 ? g.range(-2063, 2063)
                               : int(g.u32()));
}

// The packed stream: blocks appended in order, then guards.
struct Stream {
  std::vector<int16_t> data;
  Stream() { data.reserve(1024); }  // blocks keep their addresses
  int16_t* add(Rng& g, int n) {
    const size_t at = data.size();
    data.resize(at + n);
    fill(g, data.data() + at, n);
    return data.data() + at;
  }
  void seal() { data.insert(data.end(), 16, int16_t(0x5a5a)); }
};

struct Scale {
  int16_t t4[2][16], t8[64];
  Scale(Rng& g, int m) {
    static const int v4[6][3] = {{10, 16, 13}, {11, 18, 14}, {13, 20, 16}, {14, 23, 18}, {16, 25, 20}, {18, 29, 23}};
    const bool flat = g.range(0, 1);
    for (int c = 0; c < 2; ++c)
      for (int p = 0; p < 16; ++p) {
        const int i = p / 4, j = p % 4, cls = (i % 2 == 0 && j % 2 == 0) ? 0 : (i % 2 && j % 2) ? 1 : 2;
        t4[c][p] = int16_t(v4[m][cls] * (flat ? 16 : g.range(1, 64)));
      }
    for (int p = 0; p < 64; ++p) t8[p] = int16_t(g.range(1, 800) * (flat ? 1 : g.range(1, 4)));
  }
};

// ---- models of one block through the exported block functions ----------------

struct Q {
  int qp;
  const int16_t* table;  // null: the older functions
  bool bypass;
};

// Residual of a 4x4 block: coef null = no AC (then dc must be given).
void model4x4(uint8_t* blk, int step, const int16_t* coef, const int16_t* dc, const Q& q) {
  int16_t c[16] = {};
  if (coef) std::memcpy(c, coef, sizeof c);
  if (q.bypass) {
    if (dc) c[0] = *dc;
    for (int p = 0; p < 16; ++p) {
      uint8_t& s = blk[(p / 4) * step + p % 4];
      s = uint8_t(std::clamp(s + c[p], 0, 255));
    }
    return;
  }
  KvnResult st;
  if (q.table)
    st = kvniTransformQuantInvAddPred4x4_H264_16s_C1IR(blk, step, c, dc, blk, step, q.qp, coef ? 1 : 0, q.table);
  else
    st = kvniDequantTransformResidualAndAdd_H264_16s_C1I(blk, c, dc, blk, step, step, q.qp, coef ? 1 : 0);
  ASSERT_EQ(0, st);
}

void model8x8(uint8_t* blk, int step, const int16_t* coef, const Q& q) {
  int16_t c[64];
  std::memcpy(c, coef, sizeof c);
  if (q.bypass) {
    for (int p = 0; p < 64; ++p) {
      uint8_t& s = blk[(p / 8) * step + p % 8];
      s = uint8_t(std::clamp(s + c[p], 0, 255));
    }
    return;
  }
  ASSERT_EQ(0, kvniQuantLuma8x8Inv_H264_16s_C1I(c, q.qp / 6, q.table));
  ASSERT_EQ(0, kvniTransformLuma8x8InvAddPred_H264_16s8u_C1R(blk, step, c, blk, step));
}

// Intra 8x8 prediction with reference filtering, H.264 8.3.2.2.
void model_pred8x8(uint8_t* b, int s, int mode, int avail) {
  const auto at = [&](int x, int y) { return int64_t(b[y * s + x]); };
  const kvntest::IntraRefs r =
      kvntest::intra_refs8(at, avail & kTop, avail & kLeft, avail & kTopLeft, avail & kTopRight, 128);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) b[y * s + x] = uint8_t(kvntest::intra_nxn(r, 8, mode, 128, x, y));
}

// ---- one random macroblock per function kind -------------------------------

struct Case {
  Rng& g;
  Pic pic, want;
  Stream stream;
  std::vector<int16_t> expect;  // the stream as it must look afterwards
  size_t consumed = 0;
  Case(Rng& gen, int width, bool negative) : g(gen), pic(gen, width, negative), want(pic) {}
  int16_t* take(int n) {  // a new block in the stream, and its model copy
    int16_t* p = stream.add(g, n);
    consumed += n;
    return p;
  }
  void seal() {
    stream.seal();
    expect = stream.data;
  }
  // expect[] index of a block taken through take()
  int16_t* model_copy(const int16_t* p) { return expect.data() + (p - stream.data.data()); }
  void check(KvnResult got, KvnResult wanted, int16_t* after) {
    ASSERT_EQ(wanted, got);
    ASSERT_EQ(stream.data.data() + consumed, after);
    ASSERT_TRUE(pic.mem == want.mem) << "picture differs";
    ASSERT_TRUE(stream.data == expect) << "stream differs";
  }
};

uint32_t random_mask(Rng& g) {
  switch (g.range(0, 3)) {
    case 0: return 0;
    case 1: return 0xffffffffu;
    default: return g.u32() & (g.coin() ? g.u32() : ~0u);
  }
}

// Every qp in turn (0 often for the lossless path of the scale-table forms),
// and every combination of the four edge bits in turn, other bits random.
int qp_for(Rng& g, int it, bool tableForm, int max) {
  return tableForm && g.range(0, 3) == 0 ? 0 : (it / 3 + g.range(0, 1)) % (max + 1);
}
int edges_for(Rng& g, int it) {
  const int combo = it / 2 % 16;
  return (g.range(0, 255) & ~0x35) | (combo & 1) | (combo & 2) << 1 | (combo & 12) << 2;
}

TEST(ReconModel, LumaInter) {
  kvntest::TestRng g;
  for (int it = 0; it < 3000; ++it) {
    const int kind = it % 3;  // older, 4x4 with table, 8x8
    const bool bypass = g.range(0, 1);
    Case c(g, 48, kind != 2 && g.range(0, 1));
    const int qp = qp_for(g, it, kind > 0, 51);
    const Scale sc(g, qp % 6);
    const uint32_t mask = random_mask(g);
    const Q q{qp, kind == 0 ? nullptr : kind == 1 ? sc.t4[0] : sc.t8, kind > 0 && bypass && qp == 0};
    std::vector<std::pair<int, int16_t*>> blocks;
    for (int k = 0; k < (kind == 2 ? 4 : 16); ++k)
      if (mask >> (kind == 2 ? k : k + 1) & 1) blocks.push_back({k, c.take(kind == 2 ? 64 : 16)});
    c.seal();
    for (auto [k, p] : blocks) {
      if (kind == 2)
        model8x8(c.want.mb() + (k / 2) * 8 * c.want.step + (k % 2) * 8, c.want.step, p, q);
      else
        model4x4(c.want.mb() + kY4[k] * c.want.step + kX4[k], c.want.step, p, nullptr, q);
    }
    int16_t* s = c.stream.data.data();
    KvnResult st =
        kind == 0 ? kvniReconstructLumaInterMB_H264_16s8u_C1R(&s, c.pic.mb(), c.pic.step, mask, qp)
        : kind == 1
            ? kvniReconstructLumaInter4x4MB_H264_16s8u_C1R(&s, c.pic.mb(), c.pic.step, mask, qp, sc.t4[0], bypass)
            : kvniReconstructLumaInter8x8MB_H264_16s8u_C1R(&s, c.pic.mb(), c.pic.step, mask, qp, sc.t8, bypass);
    c.check(st, 0, s);
    if (HasFatalFailure()) FAIL() << "it=" << it << " kind=" << kind << " mask=" << mask << " qp=" << qp;
  }
}

TEST(ReconModel, LumaIntra4x4) {
  kvntest::TestRng g;
  for (int it = 0; it < 3000; ++it) {
    const int kind = it % 4;  // IntraMB, Intra4x4MB, IntraHalfMB, IntraHalf4x4MB
    const bool table = kind == 1 || kind == 3, half = kind >= 2, bypass = g.range(0, 1);
    Case c(g, 48, false);  // the exported predictors take positive steps only
    const int qp = qp_for(g, it, table, 51), edges = edges_for(g, it);
    const Scale sc(g, qp % 6);
    const Q q{qp, table ? sc.t4[0] : nullptr, table && bypass && qp == 0};
    const uint32_t mask = half && table ? random_mask(g) & 0xff : random_mask(g);
    const int n = half ? 8 : 16;
    int32_t modes[16];
    const int bad = g.range(0, 5) == 0 ? g.range(0, n - 1) : -1;  // a mode out of range met there
    for (int k = 0; k < 16; ++k) modes[k] = k == bad ? (g.range(0, 1) ? 9 : -1) : g.range(0, 8);
    std::vector<int16_t*> blocks(16, nullptr);
    for (int k = 0; k < (bad >= 0 ? bad : n); ++k)
      if (mask >> (half ? k : k + 1) & 1) blocks[k] = c.take(16);
    c.seal();
    bool warn = false;
    for (int k = 0; k < (bad >= 0 ? bad : n); ++k) {
      uint8_t* blk = c.want.mb() + kY4[k] * c.want.step + kX4[k];
      const KvnResult st = kvniPredictIntra_4x4_H264_8u_C1IR(blk, c.want.step, modes[k], avail_of(kAvail4x4[k], edges));
      ASSERT_GE(st, 0);
      warn |= st == 11;
      if (blocks[k]) model4x4(blk, c.want.step, blocks[k], nullptr, q);
    }
    const KvnResult want = bad >= 0 ? -11 : warn ? 11 : 0;
    int16_t* s = c.stream.data.data();
    KvnResult st;
    uint8_t* mb = c.pic.mb();
    const int step = c.pic.step;
    switch (kind) {
      case 0: st = kvniReconstructLumaIntraMB_H264_16s8u_C1R(&s, mb, step, modes, mask, qp, Kvn8u(edges)); break;
      case 1:
        st =
            kvniReconstructLumaIntra4x4MB_H264_16s8u_C1R(&s, mb, step, modes, mask, qp, Kvn8u(edges), sc.t4[0], bypass);
        break;
      case 2: st = kvniReconstructLumaIntraHalfMB_H264_16s8u_C1R(&s, mb, step, modes, mask, qp, Kvn8u(edges)); break;
      default:
        st = kvniReconstructLumaIntraHalf4x4MB_H264_16s8u_C1R(&s, mb, step, modes, Kvn8u(mask), qp, Kvn8u(edges),
                                                              sc.t4[0], bypass);
    }
    c.check(st, want, s);
    if (HasFatalFailure()) FAIL() << "it=" << it << " kind=" << kind << " mask=" << mask << " edges=" << edges;
  }
}

TEST(ReconModel, LumaIntra8x8) {
  kvntest::TestRng g;
  for (int it = 0; it < 3000; ++it) {
    const bool half = it % 2, bypass = g.range(0, 1);
    Case c(g, 48, g.range(0, 1));
    const int qp = qp_for(g, it, true, 51), edges = edges_for(g, it), n = half ? 2 : 4;
    const Scale sc(g, qp % 6);
    const Q q{qp, sc.t8, bypass && qp == 0};
    const uint32_t mask = random_mask(g);
    uint32_t modes[4];
    const int bad = g.range(0, 5) == 0 ? g.range(0, n - 1) : -1;
    for (int b = 0; b < 4; ++b) modes[b] = b == bad ? 9 + g.range(0, 1) * 1000 : g.range(0, 8);
    std::vector<int16_t*> blocks(4, nullptr);
    for (int b = 0; b < (bad >= 0 ? bad : n); ++b)
      if (mask >> b & 1) blocks[b] = c.take(64);
    c.seal();
    for (int b = 0; b < (bad >= 0 ? bad : n); ++b) {
      uint8_t* blk = c.want.mb() + (b / 2) * 8 * c.want.step + (b % 2) * 8;
      model_pred8x8(blk, c.want.step, modes[b], avail_of(kAvail8x8[b], edges));
      if (blocks[b]) model8x8(blk, c.want.step, blocks[b], q);
    }
    int16_t* s = c.stream.data.data();
    const KvnResult st = half ? kvniReconstructLumaIntraHalf8x8MB_H264_16s8u_C1R(&s, c.pic.mb(), c.pic.step, modes,
                                                                                 mask, qp, Kvn8u(edges), sc.t8, bypass)
                              : kvniReconstructLumaIntra8x8MB_H264_16s8u_C1R(&s, c.pic.mb(), c.pic.step, modes, mask,
                                                                             qp, Kvn8u(edges), sc.t8, bypass);
    c.check(st, bad >= 0 ? -11 : 0, s);
    if (HasFatalFailure()) FAIL() << "it=" << it << " mask=" << mask << " edges=" << edges << " qp=" << qp;
  }
}

TEST(ReconModel, LumaIntra16x16) {
  kvntest::TestRng g;
  for (int it = 0; it < 3000; ++it) {
    const bool table = it % 2, bypass = g.range(0, 1);
    Case c(g, 48, false);
    const int qp = qp_for(g, it, table, 51), edges = edges_for(g, it), mode = g.range(0, 3);
    const Scale sc(g, qp % 6);
    const Q q{qp, table ? sc.t4[0] : nullptr, table && bypass && qp == 0};
    const uint32_t mask = random_mask(g);
    const int avail = mb_avail(edges);
    const bool possible =
        !((mode == 0 && !(avail & kTop)) || (mode == 1 && !(avail & kLeft)) || (mode == 3 && (avail & 35) != 35));
    int16_t* dcs = possible && (mask & 1) ? c.take(16) : nullptr;
    std::vector<int16_t*> blocks(16, nullptr);
    for (int k = 0; k < 16; ++k)
      if (possible && (mask >> (k + 1) & 1)) blocks[k] = c.take(16);
    c.seal();
    if (possible) {
      ASSERT_EQ(0, kvniPredictIntra_16x16_H264_8u_C1IR(c.want.mb(), c.want.step, mode, avail));
      int16_t dc[16] = {};
      if (dcs) {
        int16_t* m = c.model_copy(dcs);
        if (!q.bypass) {
          ASSERT_EQ(0, table ? kvniTransformQuantInvLumaDC4x4_H264_16s_C1I(m, qp, sc.t4[0])
                             : kvniTransformDequantLumaDC_H264_16s_C1I(m, qp));
        }
        std::memcpy(dc, m, sizeof dc);
      }
      for (int k = 0; k < 16; ++k) {
        const int16_t* d = &dc[(kY4[k] / 4) * 4 + kX4[k] / 4];
        if (blocks[k] || *d) model4x4(c.want.mb() + kY4[k] * c.want.step + kX4[k], c.want.step, blocks[k], d, q);
      }
    }
    int16_t* s = c.stream.data.data();
    const KvnResult st = table ? kvniReconstructLumaIntra_16x16MB_H264_16s8u_C1R(&s, c.pic.mb(), c.pic.step, mode, mask,
                                                                                 qp, Kvn8u(edges), sc.t4[0], bypass)
                               : kvniReconstructLumaIntra16x16MB_H264_16s8u_C1R(&s, c.pic.mb(), c.pic.step, mode, mask,
                                                                                qp, Kvn8u(edges));
    c.check(st, possible ? 0 : -117, s);
    if (HasFatalFailure()) FAIL() << "it=" << it << " mask=" << mask << " edges=" << edges << " qp=" << qp;
  }
}

// Chroma: 0 inter, 1 intra, 2 halves; older or with tables; planar or
// interleaved (modelled on split planes).
void chroma_case(Rng& g, int it) {
  const int kind = g.range(0, 2);
  const bool table = g.range(0, 1), c2 = !(kind == 2 && table) && g.range(0, 1), bypass = g.range(0, 1);
  const int width = c2 ? 64 : 48;
  Case c(g, width, kind == 0 && !c2 && g.range(0, 1));
  Pic cr(g, 48, false);  // second plane of P2R, same step
  cr.step = c.pic.step;
  cr.mem.resize(c.pic.mem.size());
  g.fill(cr.mem, 0, 255);
  cr.base = cr.mem.data() + (c.pic.base - c.pic.mem.data());
  Pic want_cr(cr);
  int qpc[2] = {qp_for(g, it, table, 39), qp_for(g, it + 1, table, 39)};
  if (!table) qpc[1] = qpc[0];
  const Scale sc(g, 0);
  int16_t t[2][16];
  for (int ch = 0; ch < 2; ++ch) std::memcpy(t[ch], sc.t4[ch], sizeof t[ch]);
  const uint32_t mask = random_mask(g);
  const int e0 = edges_for(g, it), e1 = g.range(0, 255);
  const int mode = g.range(0, 3);
  const int avail = mb_avail(e0);
  bool possible = true;
  if (kind == 1)
    possible =
        !((mode == 2 && !(avail & kTop)) || (mode == 1 && !(avail & kLeft)) || (mode == 3 && (avail & 35) != 35));
  if (kind == 2) possible = mode == 0 || (mode == 2 && (avail & kTop));
  const bool coded = possible && (mask & 0x7fe0000);

  int16_t* dcs[2] = {};
  int16_t* ac[2][4] = {};
  if (coded) {
    for (int ch = 0; ch < 2; ++ch)
      if (mask >> (17 + ch) & 1) dcs[ch] = c.take(4);
    for (int ch = 0; ch < 2; ++ch)
      for (int k = 0; k < 4; ++k)
        if (mask >> (19 + 4 * ch + k) & 1) ac[ch][k] = c.take(16);
  }
  c.seal();

  // The model works on planar copies; interleaved pictures are split first.
  const int ms = c2 ? 16 : c.want.step;
  std::vector<uint8_t> split[2];
  uint8_t* plane[2];
  if (c2) {
    for (int ch = 0; ch < 2; ++ch) {
      split[ch].assign(9 * 16, 0);
      for (int y = -1; y < 8; ++y)
        for (int x = -1; x < 8; ++x) split[ch][(y + 1) * 16 + x + 1] = c.want.mb()[y * c.want.step + 2 * x + ch];
      plane[ch] = split[ch].data() + 17;
    }
  } else {
    plane[0] = c.want.mb();
    plane[1] = want_cr.mb();
  }
  if (possible && kind == 1) {
    for (auto* p : plane) {
      ASSERT_EQ(0, kvniPredictIntraChroma8x8_H264_8u_C1IR(p, ms, mode, avail));
    }
  }
  if (possible && kind == 2)
    for (auto* p : plane) {
      uint8_t low[32];
      const int lower = (avail & ~kLeft) | (mb_avail(e1) & kLeft);
      ASSERT_EQ(0, kvniPredictIntraChroma8x8_H264_8u_C1IR(p, ms, mode, mode == 0 ? lower : avail));
      for (int y = 0; y < 4; ++y) std::memcpy(low + 8 * y, p + (4 + y) * ms, 8);
      ASSERT_EQ(0, kvniPredictIntraChroma8x8_H264_8u_C1IR(p, ms, mode, avail));
      for (int y = 0; y < 4; ++y) std::memcpy(p + (4 + y) * ms, low + 8 * y, 8);
    }
  if (coded)
    for (int ch = 0; ch < 2; ++ch) {
      const Q q{qpc[ch], table ? t[ch] : nullptr, table && bypass && qpc[ch] == 0};
      int16_t dc[4] = {};
      if (dcs[ch]) {
        int16_t* m = c.model_copy(dcs[ch]);
        if (!q.bypass) {
          ASSERT_EQ(0, table ? kvniTransformQuantInvChromaDC2x2_H264_16s_C1I(m, qpc[ch], t[ch])
                             : kvniTransformDequantChromaDC_H264_16s_C1I(m, qpc[ch]));
        }
        std::memcpy(dc, m, sizeof dc);
      }
      for (int k = 0; k < 4; ++k)
        if (ac[ch][k] || dc[k]) model4x4(plane[ch] + (k / 2) * 4 * ms + (k % 2) * 4, ms, ac[ch][k], &dc[k], q);
    }
  if (c2)
    for (int ch = 0; ch < 2; ++ch)
      for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) c.want.mb()[y * c.want.step + 2 * x + ch] = plane[ch][16 * y + x];

  int16_t* s = c.stream.data.data();
  uint8_t *u = c.pic.mb(), *v = cr.mb();
  const int st = c.pic.step;
  const Kvn8u b = bypass;
  KvnResult r = 0;
  if (kind == 0)
    r = table ? (c2 ? kvniReconstructChromaInter4x4MB_H264_16s8u_C2R(&s, u, st, mask, qpc[0], qpc[1], t[0], t[1], b)
                    : kvniReconstructChromaInter4x4MB_H264_16s8u_P2R(&s, u, v, st, mask, qpc[0], qpc[1], t[0], t[1], b))
              : (c2 ? kvniReconstructChromaInterMB_H264_16s8u_C2R(&s, u, st, mask, qpc[0])
                    : kvniReconstructChromaInterMB_H264_16s8u_P2R(&s, u, v, st, mask, qpc[0]));
  else if (kind == 1)
    r = table ? (c2 ? kvniReconstructChromaIntra4x4MB_H264_16s8u_C2R(&s, u, st, mode, mask, qpc[0], qpc[1], Kvn8u(e0),
                                                                     t[0], t[1], b)
                    : kvniReconstructChromaIntra4x4MB_H264_16s8u_P2R(&s, u, v, st, mode, mask, qpc[0], qpc[1],
                                                                     Kvn8u(e0), t[0], t[1], b))
              : (c2 ? kvniReconstructChromaIntraMB_H264_16s8u_C2R(&s, u, st, mode, mask, qpc[0], Kvn8u(e0))
                    : kvniReconstructChromaIntraMB_H264_16s8u_P2R(&s, u, v, st, mode, mask, qpc[0], Kvn8u(e0)));
  else if (table)
    r = (it & 1 ? kvniReconstructChromaIntraHalves4x4MB_H264_16s8u_P2R
                : kvniReconstructChromaIntraHalfs4x4MB_H264_16s8u_P2R)(&s, u, v, st, mode, mask, qpc[0], qpc[1],
                                                                       Kvn8u(e0), Kvn8u(e1), t[0], t[1], b);
  else
    r = c2 ? kvniReconstructChromaIntraHalvesMB_H264_16s8u_C2R(&s, u, st, mode, mask, qpc[0], Kvn8u(e0), Kvn8u(e1))
           : (it & 1 ? kvniReconstructChromaIntraHalvesMB_H264_16s8u_P2R
                     : kvniReconstructChromaIntraHalfsMB_H264_16s8u_P2R)(&s, u, v, st, mode, mask, qpc[0], Kvn8u(e0),
                                                                         Kvn8u(e1));
  c.check(r, possible ? 0 : -117, s);
  ASSERT_TRUE(cr.mem == want_cr.mem) << "Cr plane differs";
}

TEST(ReconModel, Chroma) {
  kvntest::TestRng g;
  for (int it = 0; it < 6000; ++it) {
    chroma_case(g, it);
    if (HasFatalFailure()) FAIL() << "it=" << it;
  }
}

}  // namespace
