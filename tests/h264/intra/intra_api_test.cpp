// H.264 intra prediction through the exported names: the statuses and their
// order, every mode against every combination of the availability flags
// compared with a model written from H.264 8.3, and neighbours whose flag is
// clear placed in inaccessible pages (a read of them crashes the test).
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "h264_model.h"
#include "kvnvc.h"
#include "rng.h"

namespace {

enum : int { kTop = 1, kLeft = 2, kTopLeft = 32, kTopRight = 64 };
constexpr int kFlagSets[] = {kTop, kLeft, kTopLeft, kTopRight};

// Every combination of the four flags, with unused bits set in half of them.
std::vector<int> all_flags() {
  std::vector<int> v;
  for (int m = 0; m < 16; ++m) {
    int f = 0;
    for (int b = 0; b < 4; ++b)
      if (m & (1 << b)) f |= kFlagSets[b];
    v.push_back(f);
    v.push_back(f | (0x7fffff90 & ~(kTop | kLeft | kTopLeft | kTopRight)));
  }
  return v;
}

// A picture in pages some of which are made inaccessible. Rows of the block
// are 2 pages apart, starting `offset` bytes into odd pages; the sample left
// of row y is then in page 2y (layout with offset 0), the top row in page -1
// and the top-left sample at the end of page -2.
class GuardedPlane {
 public:
  GuardedPlane(int n, int offset, kvntest::Rng& g) : n_(n) {
    page_ = int(sysconf(_SC_PAGESIZE));
    pages_ = 2 * n + 3;
    mem_ = static_cast<uint8_t*>(
        mmap(nullptr, size_t(pages_) * page_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
    for (size_t i = 0; i < size_t(pages_) * page_; ++i) mem_[i] = g.byte();
    block_ = page(1) + offset;
  }
  ~GuardedPlane() { munmap(mem_, size_t(pages_) * page_); }
  // Page index relative to the block's first row page minus one (-2 .. 2n).
  uint8_t* page(int i) { return mem_ + size_t(i + 2) * page_; }
  void protect(int i) { ASSERT_EQ(0, mprotect(page(i), page_, PROT_NONE)); }
  uint8_t* block() { return block_; }
  int step() const { return 2 * page_; }

 private:
  int n_, page_, pages_;
  uint8_t* mem_;
  uint8_t* block_;
};

// Neighbours as the model sees them: the flags decide what is read at all.
struct Neigh {
  int top[16], left[16], corner;
  bool t, l, c;
};

Neigh read_neigh(const uint8_t* b, int s, int n, int flags, int topCount) {
  Neigh q{};
  q.t = flags & kTop, q.l = flags & kLeft, q.c = flags & kTopLeft;
  for (int x = 0; x < topCount; ++x) {
    const bool avail = x < n ? q.t : (flags & kTopRight);
    q.top[x] = avail ? b[-s + x] : -1;
  }
  for (int y = 0; y < n; ++y) q.left[y] = q.l ? b[y * s - 1] : -1;
  q.corner = q.c ? b[-s - 1] : -1;
  return q;
}

// ---- model of H.264 8.3.1.2 (4x4 luma)
// -----------------------------------------

struct Model4x4 {
  uint8_t pred[4][4];
  int status;
};

Model4x4 model4x4(const Neigh& q, int mode, int flags) {
  const auto at = [&](int x, int y) { return int64_t(y >= 0 ? q.left[y] : x < 0 ? q.corner : q.top[x]); };
  const kvntest::IntraRefs r = kvntest::intra_refs4(at, q.t, q.l, q.c, flags & kTopRight, 128);
  Model4x4 m{};
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) m.pred[y][x] = uint8_t(kvntest::intra_nxn(r, 4, mode, 128, x, y));
  bool warn = false;
  switch (mode) {
    case 0:
    case 3:
    case 7: warn = !q.t; break;
    case 1:
    case 8: warn = !q.l; break;
    case 4:
    case 5:
    case 6: warn = !q.t || !q.l || !q.c; break;
    default: break;
  }
  m.status = warn ? 11 : 0;
  return m;
}

// ---- models of H.264 8.3.3 (16x16) and 8.3.4 (8x8 chroma, 4:2:0)
// ---------------

// An n x n block (16, or 8 for chroma) predicted from the neighbours in
// `mode` of the 16x16 numbering.
void predict(const Neigh& q, int n, int mode, uint8_t* out) {
  const auto at = [&](int x, int y) { return int64_t(y >= 0 ? q.left[y] : x < 0 ? q.corner : q.top[x]); };
  for (int y = 0; y < n; ++y)
    for (int x = 0; x < n; ++x)
      out[n * y + x] = uint8_t(kvntest::intra_mb(at, n, n, mode, q.t, q.l, q.l, 128, 255, x, y));
}

// Return the status; out receives the prediction when it is 0.
int model16(const Neigh& q, int mode, uint8_t* out) {
  if ((mode == 0 && !q.t) || (mode == 1 && !q.l) || (mode == 3 && !(q.t && q.l && q.c))) return -117;
  if (mode > 3) return -11;
  predict(q, 16, mode, out);
  return 0;
}
int model_chroma(const Neigh& q, int mode, uint8_t* out) {
  if ((mode == 2 && !q.t) || (mode == 1 && !q.l) || (mode == 3 && !(q.t && q.l && q.c))) return -117;
  if (mode > 3) return -11;
  static const int kTo16[4] = {2, 1, 0, 3};  // chroma modes in the 16x16 numbering
  predict(q, 8, kTo16[mode], out);
  return 0;
}

// ---- the sweep
// ----------------------------------------------------------------

using PredictFn = KvnResult (*)(Kvn8u*, int32_t, int32_t, int32_t);

// Protects the pages of every neighbour whose flag is clear (layout with
// offset 0): top row page -1 (unless the top-right must still be read), the
// top-left's page -2, the left column's even pages.
void guard_unavailable(GuardedPlane& g, int n, int flags, bool hasTopRight) {
  if (!(flags & kTop) && !(hasTopRight && (flags & kTopRight))) g.protect(-1);
  if (!(flags & kTopLeft)) g.protect(-2);
  if (!(flags & kLeft))
    for (int y = 0; y < n; ++y) g.protect(2 * y);
}

// Runs one mode with one set of flags on a guarded plane; compares with the
// model, and checks that a failing call writes nothing.
void sweep_one(PredictFn fn, int n, int mode, int flags, int offset, kvntest::Rng& rng) {
  GuardedPlane g(n, offset, rng);
  uint8_t* b = g.block();
  const int s = g.step();
  const Neigh q = read_neigh(b, s, n, flags, n == 4 ? 8 : n);
  uint8_t before[16 * 16], want[16 * 16];
  for (int y = 0; y < n; ++y) std::memcpy(before + n * y, b + y * s, n);
  int wantStatus;
  if (n == 4) {
    const Model4x4 m = model4x4(q, mode, flags);
    std::memcpy(want, m.pred, 16);
    wantStatus = m.status;
  } else {
    wantStatus = n == 16 ? model16(q, mode, want) : model_chroma(q, mode, want);
  }
  if (offset == 0)
    guard_unavailable(g, n, flags, n == 4);
  else if (!(flags & kTopRight))
    g.protect(0);               // the top-right samples lie in page 0
  const uint8_t after0 = b[n];  // the sample right of row 0 stays
  const KvnResult st = fn(b, s, mode, flags);
  ASSERT_EQ(wantStatus, st) << "n=" << n << " mode=" << mode << " flags=" << flags;
  const uint8_t* expect = st < 0 ? before : want;
  for (int y = 0; y < n; ++y)
    ASSERT_EQ(0, std::memcmp(expect + n * y, b + y * s, n))
        << "n=" << n << " mode=" << mode << " flags=" << flags << " row " << y;
  if (offset == 0) {
    EXPECT_EQ(after0, b[n]);
  }
}

TEST(IntraSweep, Luma4x4EveryModeAndFlagsNeverReadingUnavailable) {
  kvntest::TestRng rng;
  for (int mode = 0; mode < 9; ++mode)
    for (int flags : all_flags()) {
      sweep_one(kvniPredictIntra_4x4_H264_8u_C1IR, 4, mode, flags, 0, rng);
      sweep_one(kvniPredictIntra_4x4_H264_8u_C1IR, 4, mode, flags, 4092 % 4096, rng);
    }
}

TEST(IntraSweep, Luma16x16EveryModeAndFlagsNeverReadingUnavailable) {
  kvntest::TestRng rng;
  for (int mode = 0; mode < 5; ++mode)
    for (int flags : all_flags()) sweep_one(kvniPredictIntra_16x16_H264_8u_C1IR, 16, mode, flags, 0, rng);
}

TEST(IntraSweep, Chroma8x8EveryModeAndFlagsNeverReadingUnavailable) {
  kvntest::TestRng rng;
  for (int mode = 0; mode < 5; ++mode)
    for (int flags : all_flags()) sweep_one(kvniPredictIntraChroma8x8_H264_8u_C1IR, 8, mode, flags, 0, rng);
}

// Extreme neighbours (all 0 / all 255 / alternating) for the plane and DC sums.
TEST(IntraSweep, ExtremeNeighboursMatchTheModel) {
  for (int pattern = 0; pattern < 4; ++pattern)
    for (int n : {16, 8}) {
      const int s = 48;
      std::vector<uint8_t> pic(size_t(s) * (n + 1) + 1);
      uint8_t* b = pic.data() + s + 1;
      for (size_t i = 0; i < pic.size(); ++i)
        pic[i] = uint8_t(pattern == 0 ? 0 : pattern == 1 ? 255 : pattern == 2 ? ((i & 1) ? 255 : 0) : (i % 7) * 40);
      for (int mode = 0; mode < 4; ++mode) {
        const Neigh q = read_neigh(b, s, n, kTop | kLeft | kTopLeft, n);
        uint8_t want[256];
        const int ws = n == 16 ? model16(q, mode, want) : model_chroma(q, mode, want);
        std::vector<uint8_t> copy = pic;
        uint8_t* cb = copy.data() + s + 1;
        PredictFn fn = n == 16 ? kvniPredictIntra_16x16_H264_8u_C1IR : kvniPredictIntraChroma8x8_H264_8u_C1IR;
        ASSERT_EQ(ws, fn(cb, s, mode, kTop | kLeft | kTopLeft));
        for (int y = 0; y < n; ++y) ASSERT_EQ(0, std::memcmp(want + n * y, cb + y * s, n)) << pattern << mode;
      }
    }
}

// ---- statuses and worked examples
// -----------------------------------------------

TEST(IntraStatus, ChecksInOrder) {
  uint8_t pic[40 * 20] = {};
  uint8_t* b = pic + 40 + 1;
  // Null wins over a bad step and a bad mode.
  EXPECT_EQ(-8, kvniPredictIntra_4x4_H264_8u_C1IR(nullptr, 0, 99, 0));
  EXPECT_EQ(-8, kvniPredictIntra_16x16_H264_8u_C1IR(nullptr, 0, 99, 0));
  EXPECT_EQ(-8, kvniPredictIntraChroma8x8_H264_8u_C1IR(nullptr, 0, 99, 0));
  // Step before mode; minimum steps 4, 16, 8 (negative steps fail).
  EXPECT_EQ(-14, kvniPredictIntra_4x4_H264_8u_C1IR(b, 3, 99, 0));
  EXPECT_EQ(-14, kvniPredictIntra_4x4_H264_8u_C1IR(b, -40, 0, 0));
  EXPECT_EQ(-14, kvniPredictIntra_16x16_H264_8u_C1IR(b, 15, 99, 0));
  EXPECT_EQ(-14, kvniPredictIntraChroma8x8_H264_8u_C1IR(b, 7, 99, 0));
  // Modes out of range, negative ones included.
  EXPECT_EQ(-11, kvniPredictIntra_4x4_H264_8u_C1IR(b, 40, 9, 0));
  EXPECT_EQ(-11, kvniPredictIntra_4x4_H264_8u_C1IR(b, 40, -1, 0));
  EXPECT_EQ(-11, kvniPredictIntra_16x16_H264_8u_C1IR(b, 40, 4, 0));
  EXPECT_EQ(-11, kvniPredictIntraChroma8x8_H264_8u_C1IR(b, 40, 4, 0));
  EXPECT_EQ(-11, kvniPredictIntraChroma8x8_H264_8u_C1IR(b, 40, -5, 0));
  // Plane needs the top-left too.
  EXPECT_EQ(-117, kvniPredictIntra_16x16_H264_8u_C1IR(b, 40, 3, kTop | kLeft));
  EXPECT_EQ(-117, kvniPredictIntraChroma8x8_H264_8u_C1IR(b, 40, 3, kTop | kLeft | kTopRight));
  for (uint8_t v : pic) EXPECT_EQ(0, v);  // nothing written by any failure
}

TEST(IntraStatus, WorkedExamples) {
  uint8_t pic[32 * 10];
  std::memset(pic, 7, sizeof pic);
  uint8_t* b = pic + 32 + 1;
  EXPECT_EQ(0, kvniPredictIntra_4x4_H264_8u_C1IR(b, 32, 2, 0));  // DC without neighbours: 128, no warning
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(128, b[32 * y + x]);
  std::memset(pic, 7, sizeof pic);
  EXPECT_EQ(11, kvniPredictIntra_4x4_H264_8u_C1IR(b, 32, 0, kLeft));  // vertical without top: 128, warning
  EXPECT_EQ(128, b[3 * 32 + 3]);
  // Diagonal down-left with the top-right missing repeats p[3, -1] = 40.
  for (int x = 0; x < 8; ++x) b[-32 + x] = uint8_t(x < 4 ? 10 * (x + 1) : 200);
  EXPECT_EQ(0, kvniPredictIntra_4x4_H264_8u_C1IR(b, 32, 3, kTop));
  EXPECT_EQ(40, b[3 * 32 + 3]);
  EXPECT_EQ((30 + 80 + 40 + 2) >> 2, b[0 * 32 + 2]);
  // Chroma DC with only the left: the top-right quadrant is the mean of rows
  // 0..3.
  uint8_t c[16 * 10];
  std::memset(c, 0, sizeof c);
  uint8_t* cb = c + 16 + 1;
  for (int y = 0; y < 8; ++y) cb[16 * y - 1] = uint8_t(y < 4 ? 10 : 50);
  EXPECT_EQ(0, kvniPredictIntraChroma8x8_H264_8u_C1IR(cb, 16, 0, kLeft));
  EXPECT_EQ(10, cb[5]);
  EXPECT_EQ(50, cb[16 * 5 + 5]);
}

}  // namespace
