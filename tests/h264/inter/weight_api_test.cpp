// H.264 weighted prediction through the exported names: statuses and their
// order, worked examples, and every function on random blocks of every size
// against a model of H.264 8.4.2.3 computed in 128 bits, with H.264
// parameters and with extreme weights, offsets and denominators.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <functional>
#include <vector>

#include "kvnvc.h"
#include "rng.h"

namespace {

// ((sum + 2^(s-1)) >> s) + offset, clamped (no rounding term for s = 0).
int64_t model(__int128 sum, uint64_t s, __int128 offset, int64_t max) {
  __int128 v = s == 0 ? sum : s >= 120 ? 0 : (sum + (__int128(1) << (s - 1))) >> s;
  v += offset;
  return v < 0 ? 0 : v > max ? max : int64_t(v);
}

// rows x len samples at `step` (negative: rows go up) inside a guard band.
template <class T>
struct Plane {
  std::vector<T> mem;
  std::ptrdiff_t origin;
  int step;
  Plane(int len, int rows, int st, kvntest::Rng& g, int max) : step(st) {
    mem.resize(size_t(std::ptrdiff_t(rows - 1) * std::abs(st) + len + 64));
    g.fill(mem, 0, max);
    origin = 32 + (st < 0 ? std::ptrdiff_t(rows - 1) * -st : 0);
  }
  T* p() { return mem.data() + origin; }
  T at(int x, int y) const { return mem[size_t(origin + std::ptrdiff_t(y) * step + x)]; }
};
using P8 = Plane<Kvn8u>;
using P16 = Plane<Kvn16u>;

TEST(WeightApi, EveryFunctionMatchesTheModel) {
  kvntest::TestRng g;
  auto any = [&] {
    static const int32_t special[] = {INT32_MIN, INT32_MAX, -129, 128, 255, -32768, 65535, 1 << 24};
    return g.range(0, 2) ? int32_t(g.u32()) : special[g.range(0, 7)];
  };
  auto h264 = [&] { return g.range(-128, 127); };
  static const uint32_t kShifts[] = {8, 15, 16, 31, 32, 47, 63, 64, 0xffffffffu};
  for (int t = 0; t < 3000; ++t) {
    const bool in = g.range(0, 2) != 0;  // H.264 parameters, else anything
    const uint32_t l = in ? uint32_t(g.range(0, 7)) : g.coin() ? kShifts[g.range(0, 8)] : uint32_t(g.range(0, 15));
    auto draw = [&] { return in ? h264() : any(); };
    const int32_t w1 = draw(), o1 = draw(), w2 = draw(), o2 = draw();
    const int w = 2 << g.range(0, 3), h = 2 << g.range(0, 3), step = 2 * w + g.range(0, 8), depth = g.range(1, 16);
    const int64_t max16 = (int64_t(1) << depth) - 1;
    const KvnSize roi{w, h};
    P8 a(2 * w, h, step, g, 255), b(2 * w, h, step, g, 255), d(2 * w, h, step, g, 255);
    const P8 in8 = d;
    const int kind = t % 12;
    SCOPED_TRACE(testing::Message() << "kind " << kind << " " << w << "x" << h << " L " << l << " w " << w1 << "/" << w2
                                    << " o " << o1 << "/" << o2);
    auto bi = [&](__int128 x1, __int128 x2, int64_t max) {
      return model(x1 * w1 + x2 * w2, uint64_t(l) + 1, (__int128(o1) + o2 + 1) >> 1, max);
    };
    // 8-bit results: cols samples a row of d against want(x, y).
    auto check8 = [&](int cols, const std::function<int64_t(int, int)>& want) {
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < cols; ++x) ASSERT_EQ(d.at(x, y), want(x, y)) << "at " << x << "," << y;
    };
    if (kind == 0) {  // one list; the C1IR name on a copy
      P8 copy = d;
      ASSERT_EQ(0, kvniUniDirWeightBlock_H264_8u_C1R(d.p(), step, l, w1, o1, roi));
      ASSERT_EQ(0, kvniUniDirWeightBlock_H264_8u_C1IR(copy.p(), step, l, w1, o1, roi));
      ASSERT_EQ(d.mem, copy.mem);
      check8(w, [&](int x, int y) { return model(__int128(in8.at(x, y)) * w1, l, o1, 255); });
    } else if (kind == 1) {  // interleaved one list: each channel its own weight and offset
      const KvnWeightBlockRecord8u r{nullptr, 0, nullptr, 0, d.p(), step, roi};
      const KvnWeightParams8u p{l, Kvn8s(w1), Kvn8s(w2), Kvn8s(o1), Kvn8s(o2)};
      ASSERT_EQ(0, kvniUniDirWeightBlock_H264_8u_C2R(&r, &p));
      check8(2 * w, [&](int x, int y) {
        return model(__int128(in8.at(x, y)) * (x & 1 ? p.weight1 : p.weight0), l & 15, x & 1 ? p.offset1 : p.offset0,
                     255);
      });
    } else if (kind == 2) {
      P16 d16(w, h, step, g, 65535);
      const P16 in16 = d16;
      ASSERT_EQ(0, kvniUnidirWeight_H264_16u_IP2P1R(d16.p(), step, l, w1, o1, roi, depth));
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) ASSERT_EQ(d16.at(x, y), model(__int128(in16.at(x, y)) * w1, l, o1, max16));
    } else if (kind == 3 || kind == 4) {  // shared or separate source steps
      P8 b3 = kind == 3 ? b : P8(2 * w, h, step + 1, g, 255);
      ASSERT_EQ(0, kind == 3
                       ? kvniBiDirWeightBlock_H264_8u_P2P1R(a.p(), b3.p(), d.p(), step, step, l, w1, o1, w2, o2, roi)
                       : kvniBiDirWeightBlock_H264_8u_P3P1R(a.p(), b3.p(), d.p(), step, b3.step, step, l, w1, o1, w2,
                                                            o2, roi));
      check8(w, [&](int x, int y) { return bi(a.at(x, y), b3.at(x, y), 255); });
    } else if (kind == 5) {  // interleaved two lists (the second source step is not checked: negative here)
      P8 bn(2 * w, h, -step, g, 255);
      const KvnWeightBlockRecord8u r{a.p(), step, bn.p(), bn.step, d.p(), step, roi};
      const KvnWeightParams8u p1{l, Kvn8s(w1), Kvn8s(o2), Kvn8s(o1), Kvn8s(w2)};
      const KvnWeightParams8u p2{l ^ 5, Kvn8s(w2), Kvn8s(w1), Kvn8s(o2), Kvn8s(o1)};
      ASSERT_EQ(0, kvniBiDirWeightBlock_H264_8u_C2R(&r, &p1, &p2));
      check8(2 * w, [&](int x, int y) {
        const int c = x & 1, v1 = c ? p1.weight1 : p1.weight0, v2 = c ? p2.weight1 : p2.weight0;
        const int o = ((c ? p1.offset1 : p1.offset0) + (c ? p2.offset1 : p2.offset0) + 1) >> 1;
        return model(__int128(a.at(x, y)) * v1 + __int128(bn.at(x, y)) * v2, (l & 15) + 1, o, 255);
      });
    } else if (kind <= 8) {  // 16-bit: explicit, implicit, rounded average (any width 2..16, no step check)
      const int k = kind - 6, ww = k == 2 ? g.range(2, 16) : w, hh = k == 2 ? g.range(2, 16) : h;
      const int st = ww + g.range(0, 4);
      P16 s1(ww, hh, st, g, 65535), s2(ww, hh, st + 1, g, 65535), d16(ww, hh, k == 2 ? -st : st, g, 65535);
      const KvnBidirRecord16u r{s1.p(), s1.step, s2.p(), s2.step, d16.p(), d16.step, {ww, hh}, depth};
      ASSERT_EQ(0, k == 0   ? kvniBidirWeight_H264_16u_P2P1R(&r, l, w1, o1, w2, o2)
                   : k == 1 ? kvniBidirWeightImplicit_H264_16u_P2P1R(&r, w1, w2)
                            : kvniBidir_H264_16u_P2P1R(&r));
      for (int y = 0; y < hh; ++y)
        for (int x = 0; x < ww; ++x) {
          const __int128 x1 = s1.at(x, y), x2 = s2.at(x, y);
          ASSERT_EQ(d16.at(x, y), k == 0   ? bi(x1, x2, max16)
                                  : k == 1 ? model(x1 * w1 + x2 * w2, 6, 0, max16)
                                           : model(x1 + x2, 1, 0, max16));
        }
    } else if (kind == 9) {
      ASSERT_EQ(0, kvniBiDirWeightBlockImplicit_H264_8u_P2P1R(a.p(), b.p(), d.p(), step, step, w1, w2, roi));
      check8(w, [&](int x, int y) { return model(__int128(a.at(x, y)) * w1 + __int128(b.at(x, y)) * w2, 6, 0, 255); });
    } else if (kind == 10) {  // any size, any steps
      const int ww = g.range(1, 40), hh = g.range(1, 17);
      P8 aa(ww, hh, ww + g.range(0, 2), g, 255), bb(ww, hh, -ww, g, 255), dd(ww, hh, ww, g, 255);
      ASSERT_EQ(0, kvniBiDirWeightBlockImplicit_H264_8u_P3P1R(aa.p(), bb.p(), dd.p(), aa.step, bb.step, dd.step, w1, w2,
                                                              {ww, hh}));
      for (int y = 0; y < hh; ++y)
        for (int x = 0; x < ww; ++x)
          ASSERT_EQ(dd.at(x, y), model(__int128(aa.at(x, y)) * w1 + __int128(bb.at(x, y)) * w2, 6, 0, 255));
    } else {  // the result replaces the second source; a and d share the step
      ASSERT_EQ(0, kvniWeightedAverage_H264_8u_C1IR(a.p(), d.p(), step, w1, w2, l, o1, roi));
      check8(w,
             [&](int x, int y) { return model(__int128(a.at(x, y)) * w1 + __int128(in8.at(x, y)) * w2, l, o1, 255); });
    }
    if (HasFatalFailure()) return;
  }
}

// ---- statuses and their order

enum Fault {
  kOk,
  kNullFirst,
  kNullLast,
  kStepShort,
  kStepNeg,
  kHalfRow,
  kHeight3,
  kWidth6,
  kHeight1,
  kZeroWidth,
  kFaults
};

struct Faulty {
  bool nullFirst = false, nullLast = false;
  int32_t step = 64;
  KvnSize roi{8, 4};
};

Faulty faulty(int f) {
  Faulty s;
  switch (f) {
    case kNullFirst: s.nullFirst = true, s.step = -1, s.roi = {3, 3}; break;  // null wins over step and size
    case kNullLast: s.nullLast = true, s.step = 7, s.roi = {8, 3}; break;
    case kStepShort: s.step = 7, s.roi = {8, 3}; break;  // step wins over size
    case kStepNeg: s.step = -64; break;
    case kHalfRow: s.step = 15; break;  // holds 8 samples, not 8 interleaved pairs
    case kHeight3: s.roi = {8, 3}; break;
    case kWidth6: s.roi = {6, 4}; break;
    case kHeight1: s.roi = {8, 1}; break;
    case kZeroWidth: s.roi = {0, 8}; break;
    default: break;
  }
  return s;
}

// Blocks 17 rows into buffers of 40 rows of 64 samples (room for negative
// steps); the first / last block pointer null as the fault says.
struct Ptrs {
  Kvn8u *a, *b, *d;
  Kvn16u *a16, *b16, *d16;
};
struct Buffers {
  Kvn8u a[64 * 40], b[64 * 40], d[64 * 40];
  Kvn16u a16[64 * 40], b16[64 * 40], d16[64 * 40];
  Ptrs ptrs(const Faulty& s) {
    const int o = 64 * 17;
    return {s.nullFirst ? nullptr : a + o,   b + o,   s.nullLast ? nullptr : d + o,
            s.nullFirst ? nullptr : a16 + o, b16 + o, s.nullLast ? nullptr : d16 + o};
  }
};

struct Member {
  const char* name;
  std::function<KvnResult(Ptrs, const Faulty&)> call;
  KvnResult want[kFaults];
};

constexpr KvnResult N = KVN_STS_NULL_PTR, S = KVN_STS_STEP_ERR, Z = KVN_STS_SIZE_ERR;
const KvnWeightParams8u kParams{5, 40, -3, 7, -2};

KvnBidirRecord16u rec16(Ptrs p, const Faulty& x) { return {p.a16, x.step, p.b16, x.step, p.d16, x.step, x.roi, 10}; }

const Member kMembers[] = {
    {"UniDir C1R",
     [](Ptrs p, const Faulty& x) {
       return kvniUniDirWeightBlock_H264_8u_C1R(x.nullFirst ? nullptr : p.d, x.step, 5, 40, 3, x.roi);
     },
     {0, N, N, S, S, 0, Z, Z, Z, Z}},
    {"UniDir C1IR",
     [](Ptrs p, const Faulty& x) {
       return kvniUniDirWeightBlock_H264_8u_C1IR(x.nullFirst ? nullptr : p.d, x.step, 5, 40, 3, x.roi);
     },
     {0, N, N, S, S, 0, Z, Z, Z, Z}},
    {"UniDir C2R",
     [](Ptrs p, const Faulty& x) {  // sources unused
       const KvnWeightBlockRecord8u r{nullptr, 0, nullptr, 0, p.d, x.step, x.roi};
       return kvniUniDirWeightBlock_H264_8u_C2R(x.nullFirst ? nullptr : &r, &kParams);
     },
     {0, N, N, S, S, S, Z, Z, Z, Z}},
    {"Unidir 16u",
     [](Ptrs p, const Faulty& x) {
       return kvniUnidirWeight_H264_16u_IP2P1R(x.nullFirst ? nullptr : p.d16, x.step, 5, 40, 3, x.roi, 10);
     },
     {0, N, N, S, S, 0, Z, Z, Z, Z}},
    {"BiDir P2P1R",
     [](Ptrs p, const Faulty& x) {
       return kvniBiDirWeightBlock_H264_8u_P2P1R(p.a, p.b, p.d, x.step, x.step, 5, 40, 3, 24, -5, x.roi);
     },
     {0, N, N, S, S, 0, Z, Z, Z, Z}},
    {"BiDir P3P1R",
     [](Ptrs p, const Faulty& x) {
       return kvniBiDirWeightBlock_H264_8u_P3P1R(p.a, p.b, p.d, x.step, x.step, x.step, 5, 40, 3, 24, -5, x.roi);
     },
     {0, N, N, S, S, 0, Z, Z, Z, Z}},
    {"BiDir C2R",
     [](Ptrs p, const Faulty& x) {
       const KvnWeightBlockRecord8u r{p.a, x.step, p.b, x.step, p.d, x.step, x.roi};
       return kvniBiDirWeightBlock_H264_8u_C2R(x.nullFirst ? nullptr : &r, &kParams, &kParams);
     },
     {0, N, N, S, S, S, Z, Z, Z, Z}},
    {"Bidir 16u",
     [](Ptrs p, const Faulty& x) {
       const KvnBidirRecord16u r = rec16(p, x);
       return kvniBidirWeight_H264_16u_P2P1R(x.nullFirst ? nullptr : &r, 5, 40, 3, 24, -5);
     },
     {0, N, N, S, S, 0, Z, Z, Z, Z}},
    {"Implicit P2P1R",
     [](Ptrs p, const Faulty& x) {
       return kvniBiDirWeightBlockImplicit_H264_8u_P2P1R(p.a, p.b, p.d, x.step, x.step, 40, 24, x.roi);
     },
     {0, N, N, S, S, 0, Z, Z, Z, Z}},
    {"Implicit P3P1R",
     [](Ptrs p, const Faulty& x) {  // no step or size checks
       return kvniBiDirWeightBlockImplicit_H264_8u_P3P1R(p.a, p.b, p.d, x.step, x.step, x.step, 40, 24, x.roi);
     },
     {0, N, N, 0, 0, 0, 0, 0, 0, 0}},
    {"Implicit 16u",
     [](Ptrs p, const Faulty& x) {
       const KvnBidirRecord16u r = rec16(p, x);
       return kvniBidirWeightImplicit_H264_16u_P2P1R(x.nullFirst ? nullptr : &r, 40, 24);
     },
     {0, N, N, S, S, 0, Z, Z, Z, Z}},
    {"Bidir average 16u",
     [](Ptrs p, const Faulty& x) {  // no step checks, sizes 2..16
       const KvnBidirRecord16u r = rec16(p, x);
       return kvniBidir_H264_16u_P2P1R(x.nullFirst ? nullptr : &r);
     },
     {0, N, N, 0, 0, 0, 0, 0, Z, Z}},
    {"WeightedAverage",
     [](Ptrs p, const Faulty& x) { return kvniWeightedAverage_H264_8u_C1IR(p.a, p.d, x.step, 40, 24, 6, -5, x.roi); },
     {0, N, N, S, S, 0, Z, Z, Z, Z}},
};

TEST(WeightApi, StatusesInTheirOrderAndNothingWrittenOnFailure) {
  static Buffers bufs;
  kvntest::TestRng g;
  for (const Member& m : kMembers)
    for (int f = 0; f < kFaults; ++f) {
      g.fill(bufs.d, 0, 255);
      g.fill(bufs.d16, 0, 1023);
      const std::vector<Kvn8u> d(std::begin(bufs.d), std::end(bufs.d));
      const std::vector<Kvn16u> d16(std::begin(bufs.d16), std::end(bufs.d16));
      const Faulty x = faulty(f);
      const KvnResult st = m.call(bufs.ptrs(x), x);
      EXPECT_EQ(st, m.want[f]) << m.name << " fault " << f;
      if (st != 0 || f == kZeroWidth) {
        EXPECT_TRUE(std::equal(d.begin(), d.end(), bufs.d) && std::equal(d16.begin(), d16.end(), bufs.d16))
            << m.name << " wrote, fault " << f;
      }
    }
}

// The parameter records and the record's pointers of the interleaved functions.
TEST(WeightApi, NullRecordPointers) {
  Kvn8u a[64], b[64], d[64] = {};
  const KvnWeightBlockRecord8u r{a, 8, b, 8, d, 8, {2, 2}}, r2{nullptr, 8, b, 8, d, 8, {2, 2}};
  EXPECT_EQ(N, kvniUniDirWeightBlock_H264_8u_C2R(&r, nullptr));
  EXPECT_EQ(N, kvniBiDirWeightBlock_H264_8u_C2R(&r, nullptr, &kParams));
  EXPECT_EQ(N, kvniBiDirWeightBlock_H264_8u_C2R(&r, &kParams, nullptr));
  EXPECT_EQ(N, kvniBiDirWeightBlock_H264_8u_C2R(&r2, &kParams, &kParams));
}

// ---- worked examples (2x2 blocks of one value)

int uni(int x, uint32_t l, int32_t w, int32_t o) {
  Kvn8u b[4] = {Kvn8u(x), Kvn8u(x), Kvn8u(x), Kvn8u(x)};
  return kvniUniDirWeightBlock_H264_8u_C1R(b, 2, l, w, o, {2, 2}) == 0 ? b[3] : -1;
}
int bi(int x1, int x2, uint32_t l, int32_t w1, int32_t o1, int32_t w2, int32_t o2) {
  const Kvn8u a[4] = {Kvn8u(x1), Kvn8u(x1), Kvn8u(x1), Kvn8u(x1)}, b[4] = {Kvn8u(x2), Kvn8u(x2), Kvn8u(x2), Kvn8u(x2)};
  Kvn8u d[4] = {};
  return kvniBiDirWeightBlock_H264_8u_P2P1R(a, b, d, 2, 2, l, w1, o1, w2, o2, {2, 2}) == 0 ? d[3] : -1;
}
int implicit(int x1, int x2, int32_t w1, int32_t w2) {
  const Kvn8u a[4] = {Kvn8u(x1), Kvn8u(x1), Kvn8u(x1), Kvn8u(x1)}, b[4] = {Kvn8u(x2), Kvn8u(x2), Kvn8u(x2), Kvn8u(x2)};
  Kvn8u d[4] = {};
  return kvniBiDirWeightBlockImplicit_H264_8u_P2P1R(a, b, d, 2, 2, w1, w2, {2, 2}) == 0 ? d[3] : -1;
}
int uni16(int x, int32_t w, int32_t depth) {
  Kvn16u b[4] = {Kvn16u(x), Kvn16u(x), Kvn16u(x), Kvn16u(x)};
  return kvniUnidirWeight_H264_16u_IP2P1R(b, 2, 0, w, 0, {2, 2}, depth) == 0 ? b[3] : -1;
}
int uni_c2(int x, uint32_t l, int8_t w, int8_t o) {  // channel 1 of the last pair
  Kvn8u b[8] = {0, 0, 0, 0, 0, 0, 0, Kvn8u(x)};
  const KvnWeightBlockRecord8u r{nullptr, 0, nullptr, 0, b, 4, {2, 2}};
  const KvnWeightParams8u p{l, 1, w, 0, o};
  return kvniUniDirWeightBlock_H264_8u_C2R(&r, &p) == 0 ? b[7] : -1;
}

TEST(WeightApi, WorkedExamples) {
  const struct {
    const char* what;
    int got, want;
  } examples[] = {
      {"L 0, w 1: unchanged", uni(37, 0, 1, 0), 37},
      {"L 6, w 64: unchanged", uni(37, 6, 64, 0), 37},
      {"offset 127 on 200 clamps", uni(200, 0, 1, 127), 255},
      {"negative weight clamps to 0", uni(200, 3, -5, 10), 0},
      {"rounding 2^(L-1)", uni(3, 1, 1, 0), 2},
      {"w1 = w2 = 1, L 0: rounded average", bi(10, 13, 0, 1, 0, 1, 0), 12},
      {"offsets -1, 0 combine to 0", bi(100, 100, 0, 1, -1, 1, 0), 100},
      {"offsets -2, -1 combine to -1", bi(100, 100, 0, 1, -2, 1, -1), 99},
      {"implicit 32 / 32: rounded average", implicit(10, 13, 32, 32), 12},
      {"implicit 128 / -64", implicit(200, 100, 128, -64), 255},
      {"implicit 96 / -32", implicit(100, 200, 96, -32), 50},
      {"bit depth 10 clamps to 1023", uni16(1000, 2, 10), 1023},
      {"bit depth 20 taken as 16", uni16(1000, 100, 20), 65535},
      {"bit depth 0 taken as 1", uni16(1000, 1, 0), 1},
      {"interleaved L 15, exact", uni_c2(255, 15, 127, 0), 1},
      {"weight 2^31 - 1, L 31", uni(255, 31, INT32_MAX, -200), 55},
      {"weight -2^31, L 32", uni(255, 32, INT32_MIN, 300), 173},
      {"L 2^32 - 1: offset only", uni(255, 0xffffffffu, 127, 77), 77},
      {"two lists, L + 1 beyond 32 bits", bi(255, 255, 0xffffffffu, 127, 50, 127, 50), 50},
      {"offsets beyond 16 bits", bi(9, 9, 0, 1, INT32_MAX, 1, INT32_MAX), 255},
      {"weights beyond 16 bits", bi(255, 254, 20, 1 << 28, 0, -(1 << 28), 0), 128},
  };
  for (const auto& e : examples) EXPECT_EQ(e.got, e.want) << e.what;
}

}  // namespace
