// SAD family behaviour through the exported names: the checks and their
// order, what is (not) written, worked examples of each rule, and every
// member against a small model written here from the rules.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "half_sample.h"
#include "kvnvc.h"
#include "rng.h"

namespace {

constexpr int kStep = 48;  // bytes per row of every 8-bit area
constexpr int kRows = 20;

struct Plane {
  std::vector<uint8_t> b = std::vector<uint8_t>(kStep * kRows);
  Plane(int v = 0) { std::memset(b.data(), v, b.size()); }
  uint8_t* p() { return b.data(); }
  uint8_t& at(int x, int y) { return b[y * kStep + x]; }
};

// 16-bit samples, 24 a row (kStep bytes).
struct Plane16 {
  std::vector<uint16_t> s = std::vector<uint16_t>(kStep / 2 * kRows);
  Plane16(int v = 0) { std::fill(s.begin(), s.end(), uint16_t(v)); }
  uint16_t* p() { return s.data(); }
  uint16_t& at(int x, int y) { return s[y * kStep / 2 + x]; }
};

using Sad8 = KvnResult (*)(const Kvn8u*, int32_t, const Kvn8u*, int32_t, Kvn32s*, int32_t);
using Sad8Full = KvnResult (*)(const Kvn8u*, int32_t, const Kvn8u*, int32_t, Kvn32s*);
using Sad16 = KvnResult (*)(const Kvn16u*, int32_t, const Kvn16u*, int32_t, Kvn32s*, int32_t);
using Xn = KvnResult (*)(const Kvn8u*, int32_t, const Kvn8u*, int32_t, Kvn16u*, int32_t);
using Xni = KvnResult (*)(const Kvn8u*, int32_t, const Kvn8u*, int32_t, Kvn16u*, int32_t, Kvn32u*);

const struct {
  const char* name;
  Sad8 fn;
  int w, h;
} kSad8[] = {
    {"16x16", kvniSAD16x16_8u32s, 16, 16}, {"16x8", kvniSAD16x8_8u32s_C1R, 16, 8}, {"8x8", kvniSAD8x8_8u32s_C1R, 8, 8}};
const struct {
  const char* name;
  Sad8Full fn;
  int w, h;
} kSad8Full[] = {{"4x4", kvniSAD4x4_8u32s, 4, 4},
                 {"8x4", kvniSAD8x4_8u32s_C1R, 8, 4},
                 {"4x8", kvniSAD4x8_8u32s_C1R, 4, 8},
                 {"8x16", kvniSAD8x16_8u32s_C1R, 8, 16}};
const struct {
  const char* name;
  Sad16 fn;
  int w;
} kSad16[] = {
    {"16x16", kvniSAD16x16_16u32s_C1R, 16}, {"8x8", kvniSAD8x8_16u32s_C1R, 8}, {"4x4", kvniSAD4x4_16u32s_C1R, 4}};
const struct {
  const char* name;
  Xn fn;
  int w;
} kXn[] = {{"16x16", kvniSAD16x16xN_8u16u_C1R, 16},
           {"8x8", kvniSAD8x8xN_8u16u_C1R, 8},
           {"4x4", kvniSAD4x4xN_8u16u_C1R, 4},
           {"2x2", kvniSAD2x2xN_8u16u_C1R, 2}};
const struct {
  const char* name;
  Xni fn;
  int w;
} kXni[] = {
    {"16x16", kvniSAD16x16xNI_8u16u_C1R, 16}, {"8x8", kvniSAD8x8xNI_8u16u_C1R, 8}, {"4x4", kvniSAD4x4xNI_8u16u_C1R, 4}};

// ---- the model -------------------------------------------------------------------

int mode_code(int mode) { return (mode >> 2) & 3; }  // 1 vertical, 2 horizontal, 3 both

// 8-bit reference sample at (x, y) for a mode; dx: distance to the right-hand neighbour.
int ref8(Plane& r, int x, int y, int mode, int dx = 1) {
  return kvntest::half_sample([&](int xx, int yy) { return int(r.at(xx, yy)); }, x, y, mode, 0, dx);
}

int64_t model_sad8(Plane& s, Plane& r, int x0, int w, int h, int mode, int dx = 1, int first = 0) {
  int64_t sum = 0;
  for (int y = 0; y < h; ++y)
    for (int x = first; x < w; x += dx) sum += std::abs(s.at(x, y) - ref8(r, x0 + x, y, mode, dx));
  return sum;
}

int sub_block_sad(Plane& s, Plane& r, int x0, int y0, int n) {
  int sum = 0;
  for (int y = y0; y < y0 + n; ++y)
    for (int x = x0; x < x0 + n; ++x) sum += std::abs(s.at(x, y) - r.at(x, y));
  return sum;
}

// 16-bit: saturating sums, and each difference added as a signed 16-bit value.
int sat(int v) { return v > 65535 ? 65535 : v; }
int ref16(Plane16& r, int x, int y, int mode) {
  switch (mode_code(mode)) {
    case 0: return r.at(x, y);
    case 1: return sat(sat(r.at(x, y) + r.at(x, y + 1)) + 1) >> 1;
    case 2: return sat(sat(r.at(x, y) + r.at(x + 1, y)) + 1) >> 1;
    default: return sat(sat(sat(r.at(x, y) + r.at(x + 1, y)) + sat(r.at(x, y + 1) + r.at(x + 1, y + 1))) + 2) >> 2;
  }
}
int32_t model_sad16(Plane16& s, Plane16& r, int x0, int y0, int w, int h, int mode) {
  int32_t sum = 0;
  for (int y = y0; y < y0 + h; ++y)
    for (int x = x0; x < x0 + w; ++x) sum += int16_t(uint16_t(std::abs(s.at(x, y) - ref16(r, x, y, mode))));
  return sum;
}

TEST(SadModel, EveryMemberOnRandomBlocks) {
  kvntest::TestRng g;
  for (int trial = 0; trial < 6; ++trial) {
    Plane s, r(0xff);  // the last trial: every SAD at its maximum
    if (trial < 5) g.fill(s.b, 0, 255), g.fill(r.b, 0, 255);
    Kvn32s out = -1, out2 = -1;
    for (const auto& k : kSad8)
      for (int mode = 0; mode < 16; ++mode) {
        ASSERT_EQ(k.fn(s.p(), kStep, r.p(), kStep, &out, mode), KVN_STS_OK);
        ASSERT_EQ(out, model_sad8(s, r, 0, k.w, k.h, mode)) << k.name << " mode " << mode;
      }
    for (const auto& k : kSad8Full) {
      ASSERT_EQ(k.fn(s.p(), kStep, r.p(), kStep, &out), KVN_STS_OK);
      ASSERT_EQ(out, model_sad8(s, r, 0, k.w, k.h, 0)) << k.name;
    }
    for (int mode = 0; mode < 16; mode += 4) {
      ASSERT_EQ(kvniSAD8x8_8u32s_C2R(s.p(), kStep, r.p(), kStep, &out, &out2, mode), KVN_STS_OK);
      EXPECT_EQ(out, model_sad8(s, r, 0, 16, 8, mode, 2, 0)) << "C2 even, mode " << mode;
      EXPECT_EQ(out2, model_sad8(s, r, 0, 16, 8, mode, 2, 1)) << "C2 odd, mode " << mode;
    }
    for (const auto& k : kXn) {
      std::vector<Kvn16u> sads(24, 0x5555);
      ASSERT_EQ(k.fn(s.p(), kStep, r.p(), kStep, sads.data(), 23), KVN_STS_OK);  // 16 scored
      for (int i = 0; i < 16; ++i) ASSERT_EQ(sads[i], model_sad8(s, r, i, k.w, k.w, 0)) << k.name << " " << i;
      for (int i = 16; i < 24; ++i) ASSERT_EQ(sads[i], 0x5555) << k.name << " wrote past the count";
    }
    Kvn16u b8[4], b4[16];
    ASSERT_EQ(kvniSAD16x16Blocks8x8_8u16u(s.p(), kStep, r.p(), kStep, b8), KVN_STS_OK);
    ASSERT_EQ(kvniSAD16x16Blocks4x4_8u16u(s.p(), kStep, r.p(), kStep, b4), KVN_STS_OK);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(b8[i], sub_block_sad(s, r, 8 * (i % 2), 8 * (i / 2), 8)) << i;
    for (int i = 0; i < 16; ++i) EXPECT_EQ(b4[i], sub_block_sad(s, r, 4 * (i % 4), 4 * (i / 4), 4)) << i;
  }
}

TEST(SadModel, SixteenBitMembers) {
  kvntest::TestRng g;
  for (int max : {0x3fff, 0xffff}) {  // 14-bit: exact; 16-bit: the saturating rules
    Plane16 s, r;
    g.fill(s.s, 0, max);
    g.fill(r.s, 0, max);
    Kvn32s out;
    for (const auto& k : kSad16)
      for (int mode = 0; mode < 16; ++mode) {
        ASSERT_EQ(k.fn(s.p(), kStep, r.p(), kStep, &out, mode), KVN_STS_OK);
        ASSERT_EQ(out, model_sad16(s, r, 0, 0, k.w, k.w, mode)) << k.name << " mode " << mode;
      }
    Kvn32u b8[4], b4[16];
    ASSERT_EQ(kvniSAD16x16Blocks8x8_16u32u_C1R(s.p(), kStep, r.p(), kStep, b8), KVN_STS_OK);
    ASSERT_EQ(kvniSAD16x16Blocks4x4_16u32u_C1R(s.p(), kStep + 1, r.p(), kStep, b4), KVN_STS_OK);  // step >> 1
    for (int i = 0; i < 4; ++i) EXPECT_EQ(b8[i], Kvn32u(model_sad16(s, r, 8 * (i % 2), 8 * (i / 2), 8, 8, 0)));
    for (int i = 0; i < 16; ++i) EXPECT_EQ(b4[i], Kvn32u(model_sad16(s, r, 4 * (i % 4), 4 * (i / 4), 4, 4, 0)));
  }
}

TEST(SadModel, ActivityAndSubtract) {
  kvntest::TestRng g;
  Plane a, b;
  g.fill(a.b, 0, 255);
  g.fill(b.b, 0, 255);
  Plane16 w;
  g.fill(w.s, 0, 0xffff);
  Kvn32u frame, field, fr16, fi16, sad;
  ASSERT_EQ(kvniFrameFieldSAD16x16_8u32s_C1R(a.p(), kStep, &frame, &field), KVN_STS_OK);
  ASSERT_EQ(kvniFrameFieldSAD16x16_16s32s_C1R(reinterpret_cast<Kvn16s*>(w.p()), kStep, &fr16, &fi16), KVN_STS_OK);
  uint32_t want[2] = {}, want16[2] = {};
  for (int y = 0; y < 15; ++y)
    for (int x = 0; x < 16; ++x)
      for (int d = 1; d <= 2; ++d) {
        if ((d == 1 && y == 7) || y + d > 15) continue;
        want[d - 1] += std::abs(a.at(x, y) - a.at(x, y + d));
        const int16_t diff = int16_t(w.at(x, y) - w.at(x, y + d));
        want16[d - 1] = uint16_t(want16[d - 1] + uint16_t(diff < 0 ? -diff : diff));
      }
  EXPECT_EQ(frame, want[0]);
  EXPECT_EQ(field, want[1]);
  EXPECT_EQ(fr16, want16[0]);
  EXPECT_EQ(fi16, want16[1]);
  std::vector<Kvn16s> diff(8 * 24, 0x5555);
  ASSERT_EQ(kvniSubSAD8x8_8u16s_C1R(a.p(), kStep, b.p(), kStep, diff.data(), kStep, &sad), KVN_STS_OK);
  uint32_t sum = 0;
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 24; ++x) {
      const int d = a.at(x, y) - b.at(x, y);
      if (x < 8) sum += std::abs(d);
      ASSERT_EQ(diff[y * 24 + x], x < 8 ? d : 0x5555) << x << ", " << y;
    }
  EXPECT_EQ(sad, sum);
}

// ---- worked examples ----------------------------------------------------------------

TEST(SadRules, HalfSamplePositionsAndModeBits) {
  Plane s(7), r(7);
  Kvn32s out;
  // Columns alternate v, v + 1: the horizontal half sample rounds up to v + 1.
  for (int y = 0; y < kRows; ++y)
    for (int x = 1; x < kStep; x += 2) r.at(x, y) = 8;
  ASSERT_EQ(kvniSAD8x8_8u32s_C1R(s.p(), kStep, r.p(), kStep, &out, 8), 0);
  EXPECT_EQ(out, 64);
  ASSERT_EQ(kvniSAD8x8_8u32s_C1R(s.p(), kStep, r.p(), kStep, &out, 4), 0);
  EXPECT_EQ(out, 32) << "vertical: the odd columns differ by 1";
  // Mode 13 is 12; any mode value picks one of the four positions.
  Kvn32s m12, m;
  kvniSAD16x8_8u32s_C1R(s.p(), kStep, r.p(), kStep, &m12, 12);
  for (int mode : {13, 15, -1, -4, 0x7ffffffc}) {
    ASSERT_EQ(kvniSAD16x8_8u32s_C1R(s.p(), kStep, r.p(), kStep, &m, mode), 0);
    EXPECT_EQ(m, m12) << mode;
  }
}

TEST(SadRules, SixteenBitArithmetic) {
  Plane16 s(0), r(40000);
  Kvn32s out;
  // Differences above 32767 count negative: 64 * (40000 - 65536).
  ASSERT_EQ(kvniSAD8x8_16u32s_C1R(s.p(), kStep, r.p(), kStep, &out, 0), 0);
  EXPECT_EQ(out, 64 * (40000 - 65536));
  // Sums saturate: (65535 + 65535 + 1) >> 1 gives 32767, the centre 16383.
  Plane16 full(65535), half(32767), quarter(16383);
  ASSERT_EQ(kvniSAD4x4_16u32s_C1R(half.p(), kStep, full.p(), kStep, &out, 4), 0);
  EXPECT_EQ(out, 0);
  ASSERT_EQ(kvniSAD16x16_16u32s_C1R(quarter.p(), kStep, full.p(), kStep, &out, 12), 0);
  EXPECT_EQ(out, 0);
}

TEST(SadRules, ActivityExamples) {
  Plane alt(0), split(10);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      alt.at(x, y) = y & 1 ? 200 : 0;
      split.at(x, y) = y < 8 ? 10 : 250;
    }
  Kvn32u frame, field;
  ASSERT_EQ(kvniFrameFieldSAD16x16_8u32s_C1R(alt.p(), kStep, &frame, &field), 0);
  EXPECT_EQ(frame, 14u * 16 * 200);
  EXPECT_EQ(field, 0u);
  ASSERT_EQ(kvniFrameFieldSAD16x16_8u32s_C1R(split.p(), kStep, &frame, &field), 0);
  EXPECT_EQ(frame, 0u) << "rows 7 and 8 are not a frame pair";
  EXPECT_EQ(field, 2u * 16 * 240);
  // 16-bit: |0 - (-32768)| is 0x8000, and the sums wrap at 65536. Row 2 and
  // sample (0, 0) are -32768: 33 frame and 31 field differences of 0x8000;
  // sample (0, 9) = 3 adds 3 twice to each.
  std::vector<Kvn16s> w(16 * 16, 0);
  for (int x = 0; x < 16; ++x) w[2 * 16 + x] = -32768;
  w[0] = -32768;
  w[9 * 16] = 3;
  ASSERT_EQ(kvniFrameFieldSAD16x16_16s32s_C1R(w.data(), 32, &frame, &field), 0);
  EXPECT_EQ(frame, 0x8006u);
  EXPECT_EQ(field, 0x8006u);
}

TEST(SadRules, CandidateSearch) {
  // Source 0; candidate i sees reference bytes i .. i + 15 of each row.
  Plane s(0), r(255);
  for (int y = 0; y < 16; ++y) r.at(20, y) = 0;
  std::vector<Kvn16u> sads(16);
  Kvn32u index = 99;
  // All candidates overlap the column of zeros or not: SADs above 32767; the
  // smallest (column 20 inside) must win over the rest read as unsigned.
  ASSERT_EQ(kvniSAD16x16xNI_8u16u_C1R(s.p(), kStep, r.p(), kStep, sads.data(), 8, &index), 0);
  EXPECT_EQ(sads[5], 255 * 15 * 16);
  EXPECT_EQ(sads[4], 255 * 16 * 16);
  EXPECT_EQ(index, 5u) << "lowest index among the equal smallest (5, 6, 7)";
  // A SAD below 32768 among ones above it (negative as signed 16-bit values).
  Plane low(255);
  for (int y = 0; y < 16; ++y) std::memset(&low.at(3, y), 127, 16);
  ASSERT_EQ(kvniSAD16x16xNI_8u16u_C1R(s.p(), kStep, low.p(), kStep, sads.data(), 8, &index), 0);
  EXPECT_EQ(sads[3], 127 * 256);
  EXPECT_GT(sads[2], 32767);
  EXPECT_EQ(index, 3u);
  sads.resize(24);
  for (const auto& k : kXni) {
    Plane flat(9);
    index = 99;
    ASSERT_EQ(k.fn(s.p(), kStep, flat.p(), kStep, sads.data(), 24, &index), 0);
    EXPECT_EQ(index, 0u) << k.name << ": all equal";
    flat.at(20, 0) = 0;
    ASSERT_EQ(k.fn(s.p(), kStep, flat.p(), kStep, sads.data(), 24, &index), 0);
    EXPECT_EQ(index, Kvn32u(21 - k.w)) << k.name << ": the first candidate covering the zero";
  }
}

// ---- checks ----------------------------------------------------------------------------

TEST(SadChecks, NullPointersWinAndNothingIsWritten) {
  Plane s, r;
  Plane16 s16, r16;
  Kvn32s out = 77, out2 = 77;
  Kvn32u u = 77, u2 = 77;
  Kvn16u sads[16];
  std::fill(std::begin(sads), std::end(sads), 0x5555);
  for (const auto& k : kSad8) {
    EXPECT_EQ(k.fn(nullptr, kStep, r.p(), kStep, &out, 0), KVN_STS_NULL_PTR);
    EXPECT_EQ(k.fn(s.p(), kStep, nullptr, kStep, &out, 0), KVN_STS_NULL_PTR);
    EXPECT_EQ(k.fn(s.p(), kStep, r.p(), kStep, nullptr, 0), KVN_STS_NULL_PTR);
  }
  for (const auto& k : kSad8Full) EXPECT_EQ(k.fn(s.p(), kStep, nullptr, kStep, &out), KVN_STS_NULL_PTR);
  for (const auto& k : kSad16) EXPECT_EQ(k.fn(nullptr, kStep, r16.p(), kStep, &out, 0), KVN_STS_NULL_PTR);
  // Null before the step check of the two-channel member.
  EXPECT_EQ(kvniSAD8x8_8u32s_C2R(s.p(), 0, r.p(), 0, &out, nullptr, 0), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniSAD8x8_8u32s_C2R(s.p(), 0, r.p(), kStep, &out, &out2, 0), KVN_STS_STEP_ERR);
  EXPECT_EQ(kvniSAD8x8_8u32s_C2R(s.p(), kStep, r.p(), -kStep, &out, &out2, 4), KVN_STS_STEP_ERR);
  // Null before the candidate count; the index pointer of xNI too.
  for (const auto& k : kXn) {
    EXPECT_EQ(k.fn(s.p(), kStep, r.p(), kStep, nullptr, 3), KVN_STS_NULL_PTR) << k.name;
    for (int count : {7, 0, -1, -8, INT32_MIN})
      EXPECT_EQ(k.fn(s.p(), kStep, r.p(), kStep, sads, count), KVN_STS_SIZE_ERR) << count;
  }
  for (const auto& k : kXni) {
    EXPECT_EQ(k.fn(s.p(), kStep, r.p(), kStep, sads, 7, nullptr), KVN_STS_NULL_PTR) << k.name;
    EXPECT_EQ(k.fn(s.p(), kStep, r.p(), kStep, sads, 7, &u), KVN_STS_SIZE_ERR) << k.name;
  }
  EXPECT_EQ(kvniSAD16x16Blocks8x8_8u16u(s.p(), kStep, nullptr, kStep, sads), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniSAD16x16Blocks4x4_8u16u(s.p(), kStep, r.p(), kStep, nullptr), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniSAD16x16Blocks8x8_16u32u_C1R(nullptr, kStep, r16.p(), kStep, &u), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniSAD16x16Blocks4x4_16u32u_C1R(s16.p(), kStep, r16.p(), kStep, nullptr), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniFrameFieldSAD16x16_8u32s_C1R(s.p(), kStep, &u, nullptr), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniFrameFieldSAD16x16_16s32s_C1R(nullptr, kStep, &u, &u2), KVN_STS_NULL_PTR);
  std::vector<Kvn16s> diff(64, 0x5555);
  EXPECT_EQ(kvniSubSAD8x8_8u16s_C1R(s.p(), kStep, r.p(), kStep, nullptr, 16, &u), KVN_STS_NULL_PTR);
  EXPECT_EQ(kvniSubSAD8x8_8u16s_C1R(s.p(), kStep, r.p(), kStep, diff.data(), 16, nullptr), KVN_STS_NULL_PTR);
  EXPECT_EQ(out, 77);
  EXPECT_EQ(out2, 77);
  EXPECT_EQ(u, 77u);
  EXPECT_EQ(u2, 77u);
  for (Kvn16u v : sads) EXPECT_EQ(v, 0x5555);
  for (Kvn16s v : diff) EXPECT_EQ(v, 0x5555);
}

}  // namespace
