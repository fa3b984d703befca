// The VC-1 overlap smoothing and loop filter through the exported names:
// worked examples, the flag senses, the source row layouts of the luma
// vertical smoothing, null pointers.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

#include "kvnvc.h"
#include "rng.h"

namespace {

// ---- overlap smoothing ------------------------------------------------------

// A vertical luma edge: 16-bit left and right blocks (8 samples a row, the
// function gets columns 6 and 0) and an 8-bit destination of 8 columns, the
// edge between its columns 3 and 4.
struct VerEdge {
  std::array<int16_t, 16 * 8> left{}, right{};
  std::array<uint8_t, 16 * 8> dst{};
  VerEdge() { dst.fill(0xAB); }
  void fill_rows(const std::array<int16_t, 4>& x) {
    for (int i = 0; i < 16; ++i) {
      left[8 * i + 6] = x[0], left[8 * i + 7] = x[1];
      right[8 * i] = x[2], right[8 * i + 1] = x[3];
    }
  }
  KvnResult run(int32_t mode, uint32_t flags) {
    return kvniSmoothingLuma_VerEdge_VC1_16s8u_C1R(left.data() + 6, 16, right.data(), 16, dst.data() + 4, 8, mode,
                                                   flags);
  }
  std::array<int, 4> out(int row) const {
    return {dst[8 * row + 2], dst[8 * row + 3], dst[8 * row + 4], dst[8 * row + 5]};
  }
  std::array<int, 4> back(int row) const {
    return {left[8 * row + 6], left[8 * row + 7], right[8 * row], right[8 * row + 1]};
  }
};

TEST(Vc1FilterSmoothing, WorkedRowsAndWriteBack) {
  VerEdge e;
  e.fill_rows({0, 0, 80, 80});
  ASSERT_EQ(e.run(0, 15), KVN_STS_OK);
  for (int i = 0; i < 16; ++i) {
    // y = (0 + 80 + 4) >> 3, (160 + 3) >> 3, (560 - 80 + 4) >> 3, (560 + 3) >> 3; the same with r = 3.
    EXPECT_EQ(e.out(i), (std::array<int, 4>{10, 20, 60, 70})) << "row " << i;
    EXPECT_EQ(e.back(i), (std::array<int, 4>{10, 20, 60, 70})) << "row " << i;
  }
  // Results below 0 and above 255 are clamped in the destination only.
  VerEdge n;
  n.fill_rows({-100, -100, 400, 400});
  ASSERT_EQ(n.run(0, 15), KVN_STS_OK);
  EXPECT_EQ(n.out(0), (std::array<int, 4>{0, 25, 255, 255}));  // y1 = (100 - 700 + 800 + 3) >> 3
  EXPECT_EQ(n.back(0)[0], (-700 + 400 + 4) >> 3);
  EXPECT_EQ(n.back(0)[3], (-100 + 2800 + 3) >> 3);
}

TEST(Vc1FilterSmoothing, EqualInputsStayAndSumsSaturate) {
  for (int16_t v : {int16_t(0), int16_t(17), int16_t(255), int16_t(-40), int16_t(1000)}) {
    VerEdge e;
    e.fill_rows({v, v, v, v});
    ASSERT_EQ(e.run(0, 15), KVN_STS_OK);
    const int d = v < 0 ? 0 : v > 255 ? 255 : v;
    for (int i = 0; i < 16; ++i) {
      EXPECT_EQ(e.out(i), (std::array<int, 4>{d, d, d, d})) << v;
      EXPECT_EQ(e.back(i), (std::array<int, 4>{v, v, v, v})) << v;
    }
  }
  // 7 x 32767 saturates, and so does every sum after it: 32767 >> 3; y2
  // saturates before x3 is subtracted: (32767 - 32767 + 4) >> 3.
  VerEdge s;
  s.fill_rows({32767, 32767, 32767, 32767});
  ASSERT_EQ(s.run(0, 15), KVN_STS_OK);
  EXPECT_EQ(s.back(0), (std::array<int, 4>{4095, 4095, 0, 4095}));
  // -x0 of -32768 is 32767; left to right: y1 = (32767 + 0 + 0 + 0 + 3) >> 3.
  s.fill_rows({-32768, 0, 0, 0});
  ASSERT_EQ(s.run(0, 15), KVN_STS_OK);
  EXPECT_EQ(s.back(0), (std::array<int, 4>{-4096, 4095, -4096, -4096}));
}

TEST(Vc1FilterSmoothing, LumaVerticalFlagsSwitchRowsOn) {
  VerEdge base;
  base.fill_rows({0, 0, 80, 80});
  for (int32_t mode : {0, 1, 2, 3}) {
    VerEdge e = base;
    ASSERT_EQ(e.run(mode, 0), KVN_STS_OK);  // flags 0: nothing at all
    EXPECT_EQ(e.dst, base.dst);
    EXPECT_EQ(e.left, base.left);
    EXPECT_EQ(e.right, base.right);
  }
  struct Case {
    int32_t mode;
    uint32_t flags;
    bool upper, lower;
  } cases[] = {{0, 4, false, true}, {0, 8, false, true},   {0, 1, true, false}, {0, 2, true, false},
               {0, 5, true, true},  {0, 16, false, false}, {1, 16, true, true}, {3, 0x80000000u, true, true},
               {4, 4, false, true}, {-4, 1, true, false}};
  for (const Case& k : cases) {
    VerEdge e = base;
    ASSERT_EQ(e.run(k.mode, k.flags), KVN_STS_OK);
    for (int i = 0; i < 16; ++i) {
      const bool on = i < 8 ? k.upper : k.lower;
      EXPECT_EQ(e.out(i)[0], on ? 10 : 0xAB) << "mode " << k.mode << " flags " << k.flags << " row " << i;
      EXPECT_EQ(e.back(i)[0], on ? 10 : 0) << "mode " << k.mode << " flags " << k.flags << " row " << i;
    }
  }
}

// A source stored in field order (first field in rows 0..7, second in 8..15)
// gives what the same rows give in frame order with mode 0.
TEST(Vc1FilterSmoothing, FieldOrderedSourcesMatchFrameOrder) {
  kvntest::TestRng rng;
  const auto field = [](const std::array<int16_t, 128>& frame) {
    std::array<int16_t, 128> f{};
    for (int i = 0; i < 16; ++i)
      for (int x = 0; x < 8; ++x) f[8 * ((i & 1) * 8 + (i >> 1)) + x] = frame[8 * i + x];
    return f;
  };
  for (int t = 0; t < 20; ++t) {
    VerEdge frame;
    for (auto& v : frame.left) v = int16_t(rng.range(-200, 500));
    for (auto& v : frame.right) v = int16_t(rng.range(-200, 500));
    for (int32_t mode : {1, 2, 3}) {
      VerEdge want = frame, got = frame;
      ASSERT_EQ(want.run(0, 15), KVN_STS_OK);
      if (mode & 1) got.right = field(got.right);
      if (mode & 2) got.left = field(got.left);
      ASSERT_EQ(got.run(mode, 1), KVN_STS_OK);
      EXPECT_EQ(got.dst, want.dst) << "mode " << mode;
      EXPECT_EQ(got.right, mode & 1 ? field(want.right) : want.right) << "mode " << mode;
      EXPECT_EQ(got.left, mode & 2 ? field(want.left) : want.left) << "mode " << mode;
    }
  }
}

TEST(Vc1FilterSmoothing, HorizontalEdgesAndTwoPlanes) {
  // Rows 6, 7 of the upper block and 0, 1 of the lower one, 16 columns.
  std::array<int16_t, 2 * 16> up{}, lo{};
  for (int x = 0; x < 16; ++x) up[x] = up[16 + x] = 0, lo[x] = lo[16 + x] = 80;
  std::array<uint8_t, 4 * 16> d{};
  d.fill(0xAB);
  ASSERT_EQ(kvniSmoothingLuma_HorEdge_VC1_16s8u_C1R(up.data(), 32, lo.data(), 32, d.data() + 32, 16, 4), KVN_STS_OK);
  for (int x = 0; x < 16; ++x)
    for (int k = 0; k < 4; ++k) EXPECT_EQ(d[16 * k + x], x < 8 ? 0xAB : (std::array<int, 4>{10, 20, 60, 70})[k]);
  d.fill(0xAB);
  ASSERT_EQ(kvniSmoothingLuma_HorEdge_VC1_16s8u_C1R(up.data(), 32, lo.data(), 32, d.data() + 32, 16, 0xF0), KVN_STS_OK);
  EXPECT_EQ(d, (std::array<uint8_t, 64>{[] {
              std::array<uint8_t, 64> a{};
              a.fill(0xAB);
              return a;
            }()}));

  // Two planes: Cb flat 40, Cr the worked row; chroma always filters.
  std::array<int16_t, 16> cbU{}, cbL{}, crU{}, crL{};
  cbU.fill(40), cbL.fill(40), crL.fill(80);
  std::array<uint8_t, 4 * 16> c{};
  ASSERT_EQ(kvniSmoothingChroma_HorEdge_VC1_16s8u_P2C2R(cbU.data(), 16, cbL.data(), 16, crU.data(), 16, crL.data(), 16,
                                                        c.data() + 32, 16),
            KVN_STS_OK);
  for (int x = 0; x < 8; ++x)
    for (int k = 0; k < 4; ++k) {
      EXPECT_EQ(c[16 * k + 2 * x], 40);
      EXPECT_EQ(c[16 * k + 2 * x + 1], (std::array<int, 4>{10, 20, 60, 70})[k]);
    }
}

// Every smoothing name refuses a null pointer in each position and writes nothing.
TEST(Vc1FilterSmoothing, NullPointers) {
  std::array<int16_t, 256> a{}, b{}, e{}, f{};
  std::array<uint8_t, 256> d{};
  d.fill(7);
  const auto a0 = a, b0 = b, e0 = e, f0 = f;
  const auto d0 = d;
  int16_t *A = a.data() + 16, *B = b.data() + 16, *E = e.data() + 16, *F = f.data() + 16;
  uint8_t* D = d.data() + 64;
  for (int n = 0; n < 5; ++n) {
    int16_t* p[4] = {A, B, E, F};
    uint8_t* q = n == 4 ? nullptr : D;
    if (n < 4) p[n] = nullptr;
    int16_t* l = n == 0 ? nullptr : A;
    int16_t* r = n == 1 ? nullptr : B;
    uint8_t* dd = n == 2 ? nullptr : D;
    if (n < 3) {
      EXPECT_EQ(kvniSmoothingLuma_VerEdge_VC1_16s8u_C1R(l, 16, r, 16, dd, 16, 0, 15), KVN_STS_NULL_PTR);
      EXPECT_EQ(kvniSmoothingLuma_HorEdge_VC1_16s8u_C1R(l, 32, r, 32, dd, 16, 15), KVN_STS_NULL_PTR);
      EXPECT_EQ(kvniSmoothingChroma_VerEdge_VC1_16s8u_C1R(l, 16, r, 16, dd, 16), KVN_STS_NULL_PTR);
      EXPECT_EQ(kvniSmoothingChroma_HorEdge_VC1_16s8u_C1R(l, 16, r, 16, dd, 16), KVN_STS_NULL_PTR);
    }
    EXPECT_EQ(kvniSmoothingChroma_VerEdge_VC1_16s8u_P2C2R(p[0], 16, p[1], 16, p[2], 16, p[3], 16, q, 16),
              KVN_STS_NULL_PTR);
    EXPECT_EQ(kvniSmoothingChroma_HorEdge_VC1_16s8u_P2C2R(p[0], 16, p[1], 16, p[2], 16, p[3], 16, q, 16),
              KVN_STS_NULL_PTR);
  }
  EXPECT_EQ(a, a0);
  EXPECT_EQ(b, b0);
  EXPECT_EQ(e, e0);
  EXPECT_EQ(f, f0);
  EXPECT_EQ(d, d0);
}

// ---- loop filter ------------------------------------------------------------

// A horizontal edge of `cols` columns (`unit` bytes each): rows P1..P8.
struct HorEdge {
  int cols, unit;
  std::vector<uint8_t> pic;
  HorEdge(int c, int u) : cols(c), unit(u), pic(size_t(8 * c * u)) {}
  int step() const { return cols * unit; }
  uint8_t* p() { return pic.data() + 4 * step(); }
  uint8_t& at(int k, int col, int plane = 0) { return pic[size_t(k * step() + col * unit + plane)]; }  // k: 0..7
  void column(int col, std::array<int, 8> v, int plane = 0) {
    for (int k = 0; k < 8; ++k) at(k, col, plane) = uint8_t(v[size_t(k)]);
  }
};

constexpr std::array<int, 8> kStep{10, 10, 10, 10, 18, 18, 18, 18};
constexpr std::array<int, 8> kFlat{50, 50, 50, 50, 50, 50, 50, 50};

TEST(Vc1FilterLoop, StepEdgeWorkedExample) {
  for (uint32_t pq : {0u, 3u, 4u, 31u, 0xffffffffu}) {
    HorEdge e(16, 1);
    for (int x = 0; x < 16; ++x) e.column(x, kStep);
    const auto before = e.pic;
    ASSERT_EQ(kvniFilterDeblockingLuma_HorEdge_VC1_8u_C1IR(e.p(), pq, e.step(), 0), KVN_STS_OK);
    if (pq <= 3) {
      EXPECT_EQ(e.pic, before) << pq;  // |a0| = 3 is not below PQUANT
      continue;
    }
    for (int x = 0; x < 16; ++x) {
      EXPECT_EQ(e.at(3, x), 11) << pq;  // a0 = 3, d = -1, clip = -4
      EXPECT_EQ(e.at(4, x), 17) << pq;
    }
  }
  // The same across a vertical edge, one row per line.
  std::array<uint8_t, 16 * 8> v{};
  for (int r = 0; r < 16; ++r)
    for (int k = 0; k < 8; ++k) v[size_t(8 * r + k)] = uint8_t(kStep[size_t(k)]);
  ASSERT_EQ(kvniFilterDeblockingLuma_VerEdge_VC1_8u_C1IR(v.data() + 4, 4, 8, 0), KVN_STS_OK);
  for (int r = 0; r < 16; ++r)
    EXPECT_EQ((std::array<int, 2>{v[size_t(8 * r + 3)], v[size_t(8 * r + 4)]}), (std::array<int, 2>{11, 17}));
}

TEST(Vc1FilterLoop, FlatEdgesNeverChange) {
  HorEdge e(16, 1);
  for (int x = 0; x < 16; ++x) e.column(x, kFlat);
  const auto before = e.pic;
  for (uint32_t pq = 0; pq < 40; ++pq) ASSERT_EQ(kvniFilterDeblockingLuma_HorEdge_VC1_8u_C1IR(e.p(), pq, 16, 0), 0);
  EXPECT_EQ(e.pic, before);
}

// The third line of a segment decides for all four: a flat third line keeps
// its segment unchanged; a step edge there lets the others filter on their own.
TEST(Vc1FilterLoop, ThirdLineDecidesForItsSegment) {
  HorEdge e(16, 1);
  for (int x = 0; x < 16; ++x) e.column(x, kStep);
  e.column(2, kFlat);  // segment 0: no line changes
  e.column(5, kFlat);  // segment 1: line 1 is flat, the other three change
  ASSERT_EQ(kvniFilterDeblockingLuma_HorEdge_VC1_8u_C1IR(e.p(), 10, 16, 0), KVN_STS_OK);
  for (int x = 0; x < 16; ++x) {
    const bool changed = x >= 4 && x != 5;
    EXPECT_EQ(e.at(3, x), changed ? 11 : x == 5 || x == 2 ? 50 : 10) << x;
    EXPECT_EQ(e.at(4, x), changed ? 17 : x == 5 || x == 2 ? 50 : 18) << x;
  }
}

TEST(Vc1FilterLoop, FlagsSwitchSegmentsOff) {
  // Luma: bit s switches columns 4s..4s+3 off.
  for (uint32_t flags = 0; flags < 16; ++flags) {
    HorEdge e(16, 1);
    for (int x = 0; x < 16; ++x) e.column(x, kStep);
    ASSERT_EQ(kvniFilterDeblockingLuma_HorEdge_VC1_8u_C1IR(e.p(), 4, 16, flags | 0xfff0u), KVN_STS_OK);
    for (int x = 0; x < 16; ++x) EXPECT_EQ(e.at(3, x), flags >> (x / 4) & 1 ? 10 : 11) << flags << " " << x;
  }
  // Chroma: bits 1 and 2 only; 1 and 8 filter the whole edge.
  for (uint32_t flags : {0u, 1u, 2u, 4u, 6u, 8u, 9u, 0xfffffff9u}) {
    HorEdge e(8, 1);
    for (int x = 0; x < 8; ++x) e.column(x, kStep);
    ASSERT_EQ(kvniFilterDeblockingChroma_HorEdge_VC1_8u_C1IR(e.p(), 4, 8, flags), KVN_STS_OK);
    for (int x = 0; x < 8; ++x) EXPECT_EQ(e.at(4, x), flags >> (1 + x / 4) & 1 ? 18 : 17) << flags << " " << x;
  }
  // Interleaved chroma: each plane its own flag word; a plane switched off
  // keeps its bytes while the other's change.
  HorEdge c(8, 2);
  for (int x = 0; x < 8; ++x) c.column(x, kStep, 0), c.column(x, kStep, 1);
  ASSERT_EQ(kvniFilterDeblockingChroma_HorEdge_VC1_8u_C2IR(c.p(), 4, 16, 2, 4), KVN_STS_OK);
  for (int x = 0; x < 8; ++x) {
    EXPECT_EQ(c.at(3, x, 0), x < 4 ? 10 : 11) << x;
    EXPECT_EQ(c.at(3, x, 1), x < 4 ? 11 : 10) << x;
  }
  std::array<uint8_t, 8 * 16> v{};
  for (int r = 0; r < 8; ++r)
    for (int k = 0; k < 8; ++k) v[size_t(16 * r + 2 * k)] = v[size_t(16 * r + 2 * k + 1)] = uint8_t(kStep[size_t(k)]);
  ASSERT_EQ(kvniFilterDeblockingChroma_VerEdge_VC1_8u_C2IR(v.data() + 8, 4, 16, 4, 0), KVN_STS_OK);
  for (int r = 0; r < 8; ++r) {
    EXPECT_EQ(v[size_t(16 * r + 6)], r < 4 ? 11 : 10) << r;  // Cb P4
    EXPECT_EQ(v[size_t(16 * r + 7)], 11) << r;               // Cr P4
  }
}

TEST(Vc1FilterLoop, NullPointers) {
  EXPECT_EQ(kvniFilterDeblockingLuma_VerEdge_VC1_8u_C1IR(nullptr, 4, 16, 0), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniFilterDeblockingLuma_HorEdge_VC1_8u_C1IR(nullptr, 4, 16, 0), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniFilterDeblockingChroma_VerEdge_VC1_8u_C1IR(nullptr, 4, 16, 0), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniFilterDeblockingChroma_HorEdge_VC1_8u_C1IR(nullptr, 4, 16, 0), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniFilterDeblockingChroma_VerEdge_VC1_8u_C2IR(nullptr, 4, 16, 0, 0), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniFilterDeblockingChroma_HorEdge_VC1_8u_C2IR(nullptr, 4, 16, 0, 0), KVN_STS_NULL_PTR);
}

}  // namespace
