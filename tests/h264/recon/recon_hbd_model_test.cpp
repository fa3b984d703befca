// The high-profile reconstruction functions against a model of H.264 written
// from the clauses (intra prediction 8.3 and the 8x8 transform in
// h264_model.h, scaling and 4x4 transforms 8.5 here) in exact arithmetic:
// random masks, modes, qp, scale tables and coefficients (kept where 32 bits
// hold every intermediate), bit depths 8 to 14, every combination of edge
// flags, planes with guard samples around the macroblock and its neighbours,
// streams allocated to their last coefficient.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "h264_model.h"
#include "kvnvc.h"
#include "rng.h"

namespace {

using I = int64_t;

using kvntest::Rng;

// ---- the model ---------------------------------------------------------------

// A component's samples with its neighbours: (x, y) relative to the
// macroblock's top-left sample, x = -1 .. W + 7, y = -1 .. H - 1, with a
// guard ring.
struct Pic {
  int w, h, step;
  std::vector<I> v;
  Pic(int w_, int h_, int extra) : w(w_), h(h_), step(w_ + 11 + extra), v(size_t(step) * (h_ + 3)) {}
  I& at(int x, int y) { return v[size_t(y + 2) * step + x + 2]; }
};

I clip(I v, I max) { return v < 0 ? 0 : v > max ? max : v; }

// Neighbour availability of a block from the edge flags (1 left, 4 top,
// 16 top-left, 32 top-right macroblock missing); codes per neighbour T, L,
// D(iagonal), R: 'T' top MB, 'L' left MB, 'D' top-left MB, 'R' top-right MB,
// 'Y' always, 'N' never.
struct Avail {
  bool t, l, tl, tr;
};
bool from(char c, int e) {
  switch (c) {
    case 'T': return !(e & 4);
    case 'L': return !(e & 1);
    case 'D': return !(e & 16);
    case 'R': return !(e & 32);
    case 'Y': return true;
    default: return false;
  }
}
Avail avail_of(const char* code, int e) {
  return {from(code[0], e), from(code[1], e), from(code[2], e), from(code[3], e)};
}
const char* const k4x4Avail[16] = {"TLDT", "TYTT", "YLLY", "YYYN", "TYTT", "TYTR", "YYYY", "YYYN",
                                   "YLLY", "YYYY", "YLLY", "YYYN", "YYYY", "YYYN", "YYYY", "YYYN"};
const char* const k8x8Avail[4] = {"TLDT", "TYTR", "YLLY", "YYYN"};
const int k4x4X[16] = {0, 4, 0, 4, 8, 12, 8, 12, 0, 4, 0, 4, 8, 12, 8, 12};
const int k4x4Y[16] = {0, 0, 4, 4, 0, 0, 4, 4, 8, 8, 12, 12, 8, 8, 12, 12};

// An N x N luma block at (bx, by) predicted as 8.3.1.2 (N = 4, unavailable
// samples 2^(bd-1)) and 8.3.2.2 (N = 8) define it.
void predict_nxn(Pic& m, int bx, int by, int n, int mode, Avail a, I half) {
  const auto at = [&](int x, int y) { return m.at(bx + x, by + y); };
  const kvntest::IntraRefs r = n == 4 ? kvntest::intra_refs4(at, a.t, a.l, a.tl, a.tr, half)
                                      : kvntest::intra_refs8(at, a.t, a.l, a.tl, a.tr, half);
  for (int y = 0; y < n; ++y)
    for (int x = 0; x < n; ++x) m.at(bx + x, by + y) = kvntest::intra_nxn(r, n, mode, half, x, y);
}

// 16x16 (8.3.3) and chroma (8.3.4: W = 8, H = 8 or 16); chroma modes are
// mapped to the 16x16 numbering (0 V, 1 H, 2 DC, 3 plane) by the caller.
// leftLow: availability of the left samples of rows H/2 .. H-1.
void predict_mb(Pic& m, int mode, bool t, bool l, bool leftLow, I half, I max) {
  const auto at = [&](int x, int y) { return m.at(x, y); };
  std::vector<I> out(size_t(m.w) * m.h);
  for (int y = 0; y < m.h; ++y)
    for (int x = 0; x < m.w; ++x)
      out[size_t(y) * m.w + x] = kvntest::intra_mb(at, m.w, m.h, mode, t, l, leftLow, half, max, x, y);
  for (int y = 0; y < m.h; ++y)
    for (int x = 0; x < m.w; ++x) m.at(x, y) = out[size_t(y) * m.w + x];
}

// 8.5.12.1 (4x4) / 8.5.13.1 (8x8) scaling of c with LevelScale ls.
I scale4(I c, I ls, int qp) {
  const I x = c * ls;
  return qp >= 24 ? x * (I(1) << (qp / 6 - 4)) : (x + (I(1) << (3 - qp / 6))) >> (4 - qp / 6);
}
I scale_dc(I f, I ls, int qp) {  // 8.5.10, 8.5.11.2 (4:2:2), 8.5.13.1
  const I x = f * ls;
  return qp >= 36 ? x * (I(1) << (qp / 6 - 6)) : (x + (I(1) << (5 - qp / 6))) >> (6 - qp / 6);
}

// 8.5.12.2: d (4x4, raster) to the residual r.
void idct4(const I* d, I* r) {
  I f[16], h[16];
  for (int i = 0; i < 4; ++i) {
    const I* x = d + 4 * i;
    const I e0 = x[0] + x[2], e1 = x[0] - x[2], e2 = (x[1] >> 1) - x[3], e3 = x[1] + (x[3] >> 1);
    f[4 * i] = e0 + e3, f[4 * i + 1] = e1 + e2, f[4 * i + 2] = e1 - e2, f[4 * i + 3] = e0 - e3;
  }
  for (int j = 0; j < 4; ++j) {
    const I g0 = f[j] + f[8 + j], g1 = f[j] - f[8 + j], g2 = (f[4 + j] >> 1) - f[12 + j],
            g3 = f[4 + j] + (f[12 + j] >> 1);
    h[j] = g0 + g3, h[4 + j] = g1 + g2, h[8 + j] = g1 - g2, h[12 + j] = g0 - g3;
  }
  for (int p = 0; p < 16; ++p) r[p] = (h[p] + 32) >> 6;
}

// Adds the n x n residual r at (bx, by), clamped.
void add(Pic& m, int bx, int by, int n, const I* r, I max) {
  for (int y = 0; y < n; ++y)
    for (int x = 0; x < n; ++x) m.at(bx + x, by + y) = clip(m.at(bx + x, by + y) + r[n * y + x], max);
}

// One 4x4 block: coefficients c (or none), the DC d00 when given, scaled
// and transformed unless lossless.
template <class C>
void block4(Pic& m, int bx, int by, const C* c, const I* dc, const int16_t* ls, int qp, bool lossless, I max) {
  I d[16] = {}, r[16];
  for (int p = 0; p < 16 && c; ++p) d[p] = lossless ? c[p] : scale4(c[p], ls[p], qp);
  if (dc) d[0] = *dc;
  if (lossless)
    for (int p = 0; p < 16; ++p) r[p] = d[p];
  else
    idct4(d, r);
  add(m, bx, by, 4, r, max);
}

void block8(Pic& m, int bx, int by, const I* c, const int16_t* ls, int qp, bool lossless, I max) {
  I d[64], r[64];
  for (int p = 0; p < 64; ++p) d[p] = lossless ? c[p] : scale_dc(c[p], ls[p], qp);
  if (!lossless) kvntest::idct8(d, r);
  add(m, bx, by, 8, lossless ? d : r, max);
}

// ---- one macroblock component: layout, model, call ----------------------------

enum Kind {
  kInter4,
  kInter8,
  kIntra16,
  kIntra4,
  kIntra8,
  kHalf4,
  kHalf8,
  kChroma,
  kChromaIntra,
  kChromaHalf,
  k422,
  k422Intra,
  k422Half
};

template <class S, class C>
struct Comp {
  Pic m;
  std::vector<S> plane;
  std::vector<int16_t> table;
  int qp = 0, bd = 8;
  uint32_t mask = 0, bypass = 0;
  Comp(int w, int h, int extra) : m(w, h, extra), plane(m.v.size()) {}
  S* origin() { return plane.data() + 2 * m.step + 2; }
  I max() const { return (I(1) << bd) - 1; }
  bool lossless() const { return bypass && qp == 0; }
  // Samples mostly in range, some anywhere in the type; bypass now and then.
  void fill(Rng& g, int nTable, int maxQp) {
    for (size_t i = 0; i < plane.size(); ++i) {
      plane[i] = S(g.one_in(40) ? g.u32() : g.range(0, int(max())));
      m.v[i] = plane[i];
    }
    bypass = g.one_in(5) ? g.range(1, 1000) : 0;
    qp = bypass && g.coin() ? 0 : g.range(0, maxQp);
    table.resize(nTable);
    for (int16_t& v : table) v = int16_t(g.one_in(3) ? 16 * g.range(10, 25) : g.range(1, 4000));
  }
};

// The coefficients a call consumes, drawn in the order the model consumes
// them; the library then gets them allocated to the last one.
template <class C>
struct Stream {
  Rng* g;
  std::vector<C> v;
  std::vector<I> take(int n, int bound) {
    std::vector<I> out;
    for (int i = 0; i < n; ++i) {
      v.push_back(C(g->one_in(3) ? g->range(-bound, bound) : 0));
      out.push_back(v.back());
    }
    return out;
  }
};

template <class S, class C>
int bound(const Comp<S, C>& c) {
  if (c.lossless()) return 3000;
  int ls = 1;
  for (int16_t v : c.table) ls = std::max(ls, int(v));
  const int q6 = c.qp / 6;
  return std::max(1, ((1 << 20) / (16 * ls)) >> (q6 > 4 ? q6 - 4 : 0));
}

// The luma functions; returns the expected status.
int model_luma(Kind kind, Comp<uint16_t, int32_t>& c, const int32_t* modes, int e, Stream<int32_t>& s) {
  const I half = I(1) << (c.bd - 1), max = c.max();
  const bool ll = c.lossless();
  const int b = bound(c);
  auto bit = [&](int i) { return (c.mask >> i) & 1; };
  if (kind == kInter4)
    for (int k = 0; k < 16; ++k)
      if (bit(k + 1)) block4(c.m, k4x4X[k], k4x4Y[k], s.take(16, b).data(), (I*)nullptr, c.table.data(), c.qp, ll, max);
  if (kind == kInter8)
    for (int k = 0; k < 4; ++k)
      if (bit(k)) block8(c.m, 8 * (k & 1), 8 * (k >> 1), s.take(64, b).data(), c.table.data(), c.qp, ll, max);
  if (kind == kIntra16) {
    const int mode = modes[0];
    const bool t = !(e & 4), l = !(e & 1), tl = !(e & 16);
    if ((mode == 0 && !t) || (mode == 1 && !l) || (mode == 3 && !(t && l && tl))) return -117;
    if (mode < 0 || mode > 3) return -11;
    predict_mb(c.m, mode, t, l, l, half, max);
    if (!(c.mask & 0x1ffff)) return 0;
    I dc[16] = {};
    if (bit(0)) {  // 8.5.10: H c H, then scaled
      const std::vector<I> v = s.take(16, b);
      static const int h[4][4] = {{1, 1, 1, 1}, {1, 1, -1, -1}, {1, -1, -1, 1}, {1, -1, 1, -1}};
      for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
          I f = 0;
          for (int u = 0; u < 4; ++u)
            for (int w = 0; w < 4; ++w) f += h[i][u] * v[4 * u + w] * h[w][j];
          dc[4 * i + j] = ll ? v[4 * i + j] : scale_dc(f, c.table[0], c.qp);
        }
    }
    for (int k = 0; k < 16; ++k) {
      const std::vector<I> v = bit(k + 1) ? s.take(16, b) : std::vector<I>();
      block4(c.m, k4x4X[k], k4x4Y[k], v.empty() ? nullptr : v.data(), &dc[k4x4Y[k] + k4x4X[k] / 4], c.table.data(),
             c.qp, ll, max);
    }
  }
  int status = 0;
  if (kind == kIntra4 || kind == kHalf4)
    for (int k = 0; k < (kind == kHalf4 ? 8 : 16); ++k) {
      if (modes[k] < 0 || modes[k] > 8) return -11;
      const Avail a = avail_of(k4x4Avail[k], e);
      predict_nxn(c.m, k4x4X[k], k4x4Y[k], 4, modes[k], a, half);
      const int m = modes[k];  // 8.3.1.2 substitutes, with the warning rule of the 8-bit predictor
      if (((m == 0 || m == 3 || m == 7) && !a.t) || ((m == 1 || m == 8) && !a.l) ||
          (m >= 4 && m <= 6 && !(a.t && a.l && a.tl)))
        status = 11;
      if (bit(kind == kHalf4 ? k : k + 1))
        block4(c.m, k4x4X[k], k4x4Y[k], s.take(16, b).data(), (I*)nullptr, c.table.data(), c.qp, ll, max);
    }
  if (kind == kIntra8 || kind == kHalf8)
    for (int k = 0; k < (kind == kHalf8 ? 2 : 4); ++k) {
      if (uint32_t(modes[k]) > 8) return -11;
      predict_nxn(c.m, 8 * (k & 1), 8 * (k >> 1), 8, modes[k], avail_of(k8x8Avail[k], e), half);
      if (bit(k)) block8(c.m, 8 * (k & 1), 8 * (k >> 1), s.take(64, b).data(), c.table.data(), c.qp, ll, max);
    }
  return status;
}

// The chroma functions (n = 4: 4:2:0, n = 8: 4:2:2); mode < 0 for inter.
template <class S, class C>
int model_chroma(Kind kind, Comp<S, C>* c, int n, int mode, int eTop, int eBottom, const int32_t* dcScale,
                 Stream<C>* s[2]) {
  const bool t = !(eTop & 4), l = !(eTop & 1), tl = !(eTop & 16);
  if (kind == kChromaHalf || kind == k422Half) {
    if (mode != 0 && !(mode == 2 && t)) return -117;
  } else if (mode >= 0) {
    if ((mode == 1 && !l) || (mode == 2 && !t) || (mode == 3 && !(t && l && tl))) return -117;
    if (mode > 3) return -11;
  }
  const bool half = kind == kChromaHalf || kind == k422Half;
  static const int kTo16[4] = {2, 1, 0, 3};  // chroma mode to the 16x16 numbering
  for (int k = 0; k < 2 && mode >= 0; ++k)
    predict_mb(c[k].m, kTo16[mode], t, l, half ? !(eBottom & 1) : l, I(1) << (c[k].bd - 1), c[k].max());
  I dc[2][8] = {};
  for (int k = 0; k < 2; ++k) {
    if (!(c[k].mask & 1)) continue;
    const std::vector<I> v = s[k]->take(n, bound(c[k]));
    for (int i = 0; i < n; ++i) dc[k][i] = v[i];
    if (c[k].lossless()) continue;
    const int qp = c[k].qp;
    for (int i = 0; i < n / 2; ++i)
      for (int j = 0; j < 2; ++j) {
        I f = 0;  // 8.5.11.1: A c (1 1 / 1 -1), A the 2x2 or 4x4 transform matrix
        static const int a2[2][2] = {{1, 1}, {1, -1}},
                         a4[4][4] = {{1, 1, 1, 1}, {1, 1, -1, -1}, {1, -1, -1, 1}, {1, -1, 1, -1}};
        for (int u = 0; u < n / 2; ++u)
          for (int w = 0; w < 2; ++w) f += (n == 4 ? a2[i][u] : a4[i][u]) * v[2 * u + w] * a2[w][j];
        dc[k][2 * i + j] = n == 4 ? (f * c[k].table[0] * (I(1) << (qp / 6))) >> 5 : scale_dc(f, dcScale[k], qp + 3);
      }
  }
  for (int k = 0; k < 2; ++k) {
    if (!(c[k].mask & ((2u << n) - 1))) continue;
    for (int b = 0; b < n; ++b) {
      const std::vector<I> v = (c[k].mask >> (b + 1)) & 1 ? s[k]->take(16, bound(c[k])) : std::vector<I>();
      block4(c[k].m, 4 * (b & 1), 4 * (b >> 1), v.empty() ? nullptr : v.data(), &dc[k][b], c[k].table.data(), c[k].qp,
             c[k].lossless(), c[k].max());
    }
  }
  return 0;
}

const int kDepths[] = {8, 9, 10, 12, 14};

template <class S, class C>
::testing::AssertionResult same(Comp<S, C>& c) {
  for (size_t i = 0; i < c.plane.size(); ++i)
    if (I(c.plane[i]) != c.m.v[i])
      return ::testing::AssertionFailure() << "sample " << int(i % c.m.step) - 2 << "," << int(i / c.m.step) - 2 << ": "
                                           << c.plane[i] << " != " << c.m.v[i] << " (bd " << c.bd << ", qp " << c.qp
                                           << ", bypass " << c.bypass << ", mask " << std::hex << c.mask << ")";
  return ::testing::AssertionSuccess();
}

// Random masks: each bit of the function's set at 1/2, others at random too
// (they must be ignored).
uint32_t draw_mask(Rng& g, uint32_t used) {
  const uint32_t m = g.one_in(8) ? 0 : g.one_in(4) ? used : g.u32() & used;
  return m | (g.u32() & ~used);
}

TEST(ReconHbdModel, Luma) {
  kvntest::TestRng g;
  const Kind kinds[] = {kInter4, kInter8, kIntra16, kIntra4, kIntra8, kHalf4, kHalf8};
  for (Kind kind : kinds)
    for (int rep = 0; rep < 1200; ++rep) {
      const bool half = kind == kHalf4 || kind == kHalf8, eight = kind == kInter8 || kind == kIntra8 || kind == kHalf8;
      Comp<uint16_t, int32_t> c(16, half ? 8 : 16, g.range(0, 5));
      c.bd = kDepths[rep % 5];
      c.fill(g, eight ? 64 : 16, 6 * c.bd + 3);
      const uint32_t used = kind == kInter8 || kind == kIntra8 ? 0xf
                            : kind == kHalf8                   ? 3
                            : kind == kHalf4                   ? 0xff
                            : kind == kIntra16                 ? 0x1ffff
                                                               : 0x1fffe;
      c.mask = draw_mask(g, used);
      const int combo = (rep / 5) % 16;  // every edge-flag combination at every bit depth
      const int e = (combo & 1) | (combo & 2) << 1 | (combo & 12) << 2 | (g.u32() & 0xca);
      int32_t modes[16];
      for (int32_t& m : modes) m = g.range(0, kind == kIntra16 ? 3 : 8);
      if (g.one_in(50)) modes[g.range(0, 15)] = g.coin() ? 9 : -1;
      Stream<int32_t> s{&g, {}};
      const int want = model_luma(kind, c, modes, e, s);
      const size_t used_coefs = s.v.size();
      if (s.v.empty()) s.v.push_back(0);
      const std::vector<int32_t> coefs = s.v;  // only read
      int32_t* p = s.v.data();
      const KvnReconstructRecord32s16u r{&p, c.origin(), c.m.step, c.mask, c.qp, c.table.data(), c.bypass, c.bd};
      const uint32_t* m8 = reinterpret_cast<const uint32_t*>(modes);
      const Kvn8u ef = Kvn8u(e);
      int got = 0;
      switch (kind) {
        case kInter4: got = kvniReconstructLumaInter4x4_H264High_32s16u_IP1R(&r); break;
        case kInter8: got = kvniReconstructLumaInter8x8_H264High_32s16u_IP1R(&r); break;
        case kIntra16: got = kvniReconstructLumaIntra16x16_H264High_32s16u_IP1R(&r, modes[0], ef); break;
        case kIntra4: got = kvniReconstructLumaIntra4x4_H264High_32s16u_IP1R(&r, modes, ef); break;
        case kIntra8: got = kvniReconstructLumaIntra8x8_H264High_32s16u_IP1R(&r, m8, ef); break;
        case kHalf4: got = kvniReconstructLumaIntraHalf4x4_H264High_32s16u_IP1R(&r, modes, ef); break;
        default: got = kvniReconstructLumaIntraHalf8x8_H264High_32s16u_IP1R(&r, m8, ef); break;
      }
      ASSERT_EQ(want, got) << "kind " << kind << " rep " << rep;
      ASSERT_TRUE(same(c)) << "kind " << kind << " rep " << rep << " edges " << e;
      ASSERT_EQ(used_coefs, size_t(p - s.v.data())) << "kind " << kind << " rep " << rep;
      ASSERT_EQ(coefs, s.v);
    }
}

template <class S, class C, class R>
void chroma_case(Kind kind, Rng& g, int rep) {
  const int n = kind == k422 || kind == k422Intra || kind == k422Half ? 8 : 4;
  Comp<S, C> c[2] = {Comp<S, C>(8, 2 * n, g.range(0, 5)), Comp<S, C>(8, 2 * n, g.range(0, 5))};
  for (auto& k : c) {
    k.bd = sizeof(S) == 1 ? 8 : kDepths[rep % 5];
    k.fill(g, 16, sizeof(S) == 1 ? 39 : 6 * k.bd - 9);
    k.mask = draw_mask(g, (2u << n) - 1);
  }
  const int mode = kind == kChroma || kind == k422 ? -1 : g.range(0, 3);
  const int eTop = (rep & 1) | (rep & 2) * 2 | (rep & 4) * 4 | (g.u32() & 0xea), eBottom = g.u32() & 0xff;
  const int32_t dcScale[2] = {16 * g.range(10, 25), g.range(1, 3000)};
  const bool shared = g.coin();
  Stream<C> s0{&g, {}}, s1{&g, {}};
  Stream<C>* s[2] = {&s0, shared ? &s0 : &s1};
  const int want = model_chroma(kind, c, n, mode, eTop, eBottom, dcScale, s);
  const size_t used0 = s0.v.size(), used1 = s1.v.size();
  for (auto* v : {&s0.v, &s1.v})
    if (v->empty()) v->push_back(0);
  const std::vector<C> coefs0 = s0.v, coefs1 = s1.v;  // only read
  C* p0 = s0.v.data();
  C* p1 = s1.v.data();
  R r[2] = {};
  for (int k = 0; k < 2; ++k) {
    r[k].ppSrcDstCoeff = k == 0 || shared ? &p0 : &p1;
    r[k].pSrcDstPlane = c[k].origin(), r[k].srcDstStep = c[k].m.step, r[k].cbp = c[k].mask, r[k].qp = c[k].qp;
    r[k].pQuantTable = c[k].table.data(), r[k].bypassFlag = c[k].bypass;
    if constexpr (sizeof(S) == 2) r[k].bitDepth = c[k].bd;
  }
  const R* rp[2] = {&r[0], &r[1]};
  const Kvn8u et = Kvn8u(eTop), eb = Kvn8u(eBottom);
  int got = 0;
  if constexpr (sizeof(S) == 2) {
    switch (kind) {
      case kChroma: got = kvniReconstructChromaInter4x4_H264High_32s16u_IP2R(rp); break;
      case kChromaIntra: got = kvniReconstructChromaIntra4x4_H264High_32s16u_IP2R(rp, mode, et); break;
      case kChromaHalf: got = kvniReconstructChromaIntraHalf4x4_H264High_32s16u_IP2R(rp, mode, et, eb); break;
      case k422: got = kvniReconstructChroma422Inter4x4_H264High_32s16u_IP2R(rp, dcScale[0], dcScale[1]); break;
      case k422Intra:
        got = kvniReconstructChroma422Intra4x4_H264High_32s16u_IP2R(rp, mode, et, dcScale[0], dcScale[1]);
        break;
      default:
        got = kvniReconstructChroma422IntraHalf4x4_H264High_32s16u_IP2R(rp, mode, et, eb, dcScale[0], dcScale[1]);
    }
  } else {
    switch (kind) {
      case k422: got = kvniReconstructChroma422Inter4x4_H264High_16s8u_IP2R(rp, dcScale[0], dcScale[1]); break;
      case k422Intra:
        got = kvniReconstructChroma422Intra4x4_H264High_16s8u_IP2R(rp, mode, et, dcScale[0], dcScale[1]);
        break;
      default: got = kvniReconstructChroma422IntraHalf4x4_H264High_16s8u_IP2R(rp, mode, et, eb, dcScale[0], dcScale[1]);
    }
  }
  ASSERT_EQ(want, got) << "kind " << kind << " rep " << rep;
  ASSERT_TRUE(same(c[0])) << "Cb, kind " << kind << " rep " << rep;
  ASSERT_TRUE(same(c[1])) << "Cr, kind " << kind << " rep " << rep;
  ASSERT_EQ(used0, size_t(p0 - s0.v.data())) << "kind " << kind << " rep " << rep;
  ASSERT_EQ(used1, size_t(p1 - s1.v.data())) << "kind " << kind << " rep " << rep;
  ASSERT_TRUE(coefs0 == s0.v && coefs1 == s1.v);
}

TEST(ReconHbdModel, Chroma) {
  kvntest::TestRng g;
  for (Kind kind : {kChroma, kChromaIntra, kChromaHalf, k422, k422Intra, k422Half})
    for (int rep = 0; rep < 800; ++rep) {
      chroma_case<uint16_t, int32_t, KvnReconstructRecord32s16u>(kind, g, rep);
      if (::testing::Test::HasFatalFailure()) return;
    }
  for (Kind kind : {k422, k422Intra, k422Half})
    for (int rep = 0; rep < 800; ++rep) {
      chroma_case<uint8_t, int16_t, KvnReconstructRecord16s8u>(kind, g, rep);
      if (::testing::Test::HasFatalFailure()) return;
    }
}

}  // namespace
