// Hostile sizes and row steps through the exported names. Every function that
// takes a row step or a size is called with zero, negative and huge values of
// each such argument in turn, the other arguments valid. Every buffer holds
// exactly the rows the call designates: a row step of any value lays the rows
// out where that step puts them (huge steps in a sparse reservation with only
// the rows' pages mapped), and every byte between the rows is a guard filled
// with a pattern and poisoned for AddressSanitizer. A call must either fail
// with nothing written, or stay inside its rows; where the function accepts
// the value it must also give what the same rows give at a plain step.
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <memory>
#include <random>
#include <string>
#include <vector>

#if defined(__has_include)
#if __has_include(<sanitizer/asan_interface.h>)
#include <sanitizer/asan_interface.h>
#endif
#endif
#ifndef ASAN_POISON_MEMORY_REGION
#define ASAN_POISON_MEMORY_REGION(addr, size) ((void)(addr), (void)(size))
#define ASAN_UNPOISON_MEMORY_REGION(addr, size) ((void)(addr), (void)(size))
#endif

#include "kvnvc.h"

namespace {

// ---------------------------------------------------------------------------
// What a call with a hostile value must give: a negative status (that error,
// nothing written), or one of these.
enum : int32_t {
  kSame = 1000,  // accepted: the valid call's status, and its outputs where the rows do not overlap
  kAccepted,     // accepted with some status; the outputs differ from the valid call's
  kNoOutput,     // status 0 and nothing written
  kEither,       // an error with nothing written, or accepted
  kSkip,         // accepted, and designates memory beyond the valid call's: not called
};
using Expect = std::function<int32_t(int32_t)>;

Expect same() {
  return [](int32_t) { return int32_t(kSame); };
}
Expect error(int32_t status) {
  return [status](int32_t) { return status; };
}
// Steps below lo are refused.
Expect at_least(int32_t lo) {
  return [lo](int32_t v) { return v < lo ? int32_t(KVN_STS_STEP_ERR) : int32_t(kSame); };
}
// Steps below lo are refused, those below hi may be.
Expect at_least(int32_t lo, int32_t hi) {
  return [lo, hi](int32_t v) {
    return v < lo ? int32_t(KVN_STS_STEP_ERR) : v < hi ? int32_t(kEither) : int32_t(kSame);
  };
}
// A width beyond what the step holds fails the step check (which comes
// first), any other hostile width the size check.
Expect width_of(int64_t maxWidth) {
  return [maxWidth](int32_t v) { return v > maxWidth ? int32_t(KVN_STS_STEP_ERR) : int32_t(KVN_STS_SIZE_ERR); };
}

// Numbers outside lo .. hi are refused.
Expect index_range(int32_t lo, int32_t hi) {
  return [lo, hi](int32_t v) { return v >= lo && v <= hi ? int32_t(kAccepted) : int32_t(KVN_STS_OUT_OF_RANGE); };
}

constexpr int32_t kHugeSizes[] = {0, -1, -2, -16, 32, INT32_MIN, 1 << 30, 0x7FFFFFF0, INT32_MAX};

// ---------------------------------------------------------------------------
// Buffers of a call.

enum Role : uint8_t { kIn, kOut, kInOut };
enum Fill : uint8_t { kBytes, kSamples10, kSamples14, kSmall16, kSmall32 };

// A 2-D buffer: columns x0 .. x0 + w - 1 and rows y0 .. y0 + h - 1 around the
// pointer passed (samples of `elem` bytes); its row step is argument `arg`.
struct Plane {
  int elem, x0, w, y0, h, arg;
  Role role;
  Fill fill;
};
Plane p8(Role role, int arg, int w, int h, int x0 = 0, int y0 = 0) { return {1, x0, w, y0, h, arg, role, kBytes}; }
Plane p16(Role role, int arg, int w, int h, Fill fill, int x0 = 0, int y0 = 0) {
  return {2, x0, w, y0, h, arg, role, fill};
}

// A step (unit: bytes per step, valid: a larger step than the rows need) or
// a size (valid: its value in the valid call). Hostile values: the defaults of
// the kind unless given.
struct Arg {
  bool step;
  int32_t valid;
  int unit;
  Expect expect;
  std::vector<int32_t> values;
};
Arg step(Expect e = same(), int unit = 1, int32_t valid = 0) { return {true, valid, unit, std::move(e), {}}; }
Arg size(int32_t valid, Expect e) { return {false, valid, 0, std::move(e), {}}; }
Arg count(int32_t valid, Expect e, std::vector<int32_t> values) {
  return {false, valid, 0, std::move(e), std::move(values)};
}

// A dense buffer without a step (coefficients, tables, scalar outputs).
struct Fixed {
  size_t bytes;
  Role role;
  Fill fill;
  std::vector<uint8_t> content;  // inputs with a fixed content
};
Fixed out(size_t bytes) { return {bytes, kOut, kBytes, {}}; }
Fixed in(size_t bytes, Fill fill = kBytes) { return {bytes, kIn, fill, {}}; }
Fixed inout(size_t bytes, Fill fill) { return {bytes, kInOut, fill, {}}; }
template <class T>
Fixed table(std::vector<T> v) {
  std::vector<uint8_t> b(v.size() * sizeof(T));
  std::memcpy(b.data(), v.data(), b.size());
  return {b.size(), kIn, kBytes, std::move(b)};
}
template <class T>
Fixed fill_table(size_t n, T value) {
  return table(std::vector<T>(n, value));
}

// What the function under test sees.
struct Call {
  std::vector<uint8_t*> planes;  // pointers passed (column 0 of row 0)
  std::vector<uint8_t*> fixed;
  std::vector<int32_t> a;  // the steps and sizes, in the order of the case's Args
  int64_t note = 0;        // e.g. how far a stream pointer moved; compared with the valid call
  Kvn8u* u8(int i) const { return planes[size_t(i)]; }
  template <class T>
  T* p(int i) const {
    return reinterpret_cast<T*>(planes[size_t(i)]);
  }
  template <class T>
  T* f(int i) const {
    return reinterpret_cast<T*>(fixed[size_t(i)]);
  }
  KvnSize sz(int i) const { return {a[size_t(i)], a[size_t(i) + 1]}; }
};

struct Case {
  std::string name;
  std::vector<Plane> planes;
  std::vector<Arg> args;
  std::vector<Fixed> fixed;
  std::function<KvnResult(Call&)> call;
};

void fill_bytes(uint8_t* p, size_t n, Fill fill, std::mt19937& rng) {
  for (size_t i = 0; i < n;) {
    const uint32_t r = rng();
    if (fill == kBytes) {
      p[i++] = uint8_t(r);
    } else if (fill == kSmall32) {
      const int32_t v = int32_t(r % 129) - 64;
      std::memcpy(p + i, &v, std::min<size_t>(4, n - i));
      i += 4;
    } else {
      const int16_t v = fill == kSamples10   ? int16_t(r & 1023)
                        : fill == kSamples14 ? int16_t(r & 16383)
                                             : int16_t(int(r % 129) - 64);
      std::memcpy(p + i, &v, std::min<size_t>(2, n - i));
      i += 2;
    }
  }
}

constexpr uint8_t kGuard = 0xA5;
constexpr int64_t kPad = 32;              // guard bytes before and after a tight allocation
constexpr int64_t kDenseLimit = 1 << 20;  // larger spans are reserved, not allocated

// The rows of one buffer laid out with a byte step (a buffer without a step:
// one row): a tight allocation with guard bytes on both sides, or for huge
// spans an address-space reservation with only the rows' pages mapped. Every
// byte of the allocation that is in no row is a guard.
class Rows {
 public:
  Rows(const Plane& p, int64_t stepBytes) : plane_(p), step_(stepBytes), bytes_(int64_t(p.w) * p.elem) {
    const int64_t first = int64_t(p.y0) * step_, last = int64_t(p.y0 + p.h - 1) * step_;
    lo_ = std::min(first, last);
    const int64_t span = std::max(first, last) - lo_ + bytes_;
    if (span <= kDenseLimit) {
      alloc_ = static_cast<uint8_t*>(std::malloc(size_t(span + 2 * kPad)));
      mem_ = alloc_ + kPad;
      gaps_.push_back({alloc_, size_t(kPad)});
      gaps_.push_back({mem_ + span, size_t(kPad)});
      const int64_t gap = (step_ < 0 ? -step_ : step_) - bytes_;
      if (gap > 0)  // between consecutive rows, above the lowest
        for (int y = 0; y + 1 < p.h; ++y) gaps_.push_back({mem_ + int64_t(y + 1) * (gap + bytes_) - gap, size_t(gap)});
    } else {
      const int64_t page = sysconf(_SC_PAGESIZE);
      map_bytes_ = size_t((span + page - 1) / page * page + 2 * page);
      void* m = mmap(nullptr, map_bytes_, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
      if (m == MAP_FAILED) {
        ADD_FAILURE() << "cannot reserve " << map_bytes_ << " bytes";
        std::abort();
      }
      map_ = static_cast<uint8_t*>(m);
      mem_ = map_ + page;
      for (int y = p.y0; y < p.y0 + p.h; ++y) {
        uint8_t* r = row(y);
        uint8_t* b = map_ + (r - map_) / page * page;
        uint8_t* e = map_ + (r + bytes_ - map_ + page - 1) / page * page;
        mprotect(b, size_t(e - b), PROT_READ | PROT_WRITE);
        gaps_.push_back({b, size_t(r - b)});
        gaps_.push_back({r + bytes_, size_t(e - (r + bytes_))});
      }
    }
    for (const Gap& g : gaps_) std::memset(g.p, kGuard, g.n);
  }
  ~Rows() {
    unpoison();
    if (map_) munmap(map_, map_bytes_);
    std::free(alloc_);
  }
  Rows(const Rows&) = delete;
  Rows& operator=(const Rows&) = delete;

  uint8_t* row(int y) const { return mem_ + (int64_t(y) * step_ - lo_); }  // at column x0
  uint8_t* origin() const { return row(0) - int64_t(plane_.x0) * plane_.elem; }
  // Rows overlap (a written plane then has no defined content).
  bool overlapping() const { return plane_.h > 1 && (step_ < 0 ? -step_ : step_) < bytes_; }

  void fill(std::mt19937& rng) {
    for (int y = plane_.y0; y < plane_.y0 + plane_.h; ++y) fill_bytes(row(y), size_t(bytes_), plane_.fill, rng);
  }
  void copy_rows_from(const Rows& o) {
    for (int y = plane_.y0; y < plane_.y0 + plane_.h; ++y) std::memcpy(row(y), o.row(y), size_t(bytes_));
  }
  std::vector<uint8_t> snapshot() const {
    std::vector<uint8_t> s;
    for (int y = plane_.y0; y < plane_.y0 + plane_.h; ++y) s.insert(s.end(), row(y), row(y) + bytes_);
    return s;
  }
  void poison() {
    for (const Gap& g : gaps_) ASAN_POISON_MEMORY_REGION(g.p, g.n);
  }
  void unpoison() {
    for (const Gap& g : gaps_) ASAN_UNPOISON_MEMORY_REGION(g.p, g.n);
  }
  bool guards_intact() {
    unpoison();
    for (const Gap& g : gaps_)
      for (size_t i = 0; i < g.n; ++i)
        if (g.p[i] != kGuard) return false;
    return true;
  }

 private:
  struct Gap {
    uint8_t* p;
    size_t n;
  };
  Plane plane_;
  int64_t step_, bytes_, lo_ = 0;
  uint8_t* mem_ = nullptr;
  uint8_t* alloc_ = nullptr;
  uint8_t* map_ = nullptr;
  size_t map_bytes_ = 0;
  std::vector<Gap> gaps_;
};

// All buffers of one call with given argument values: the planes, then the
// buffers without a step (one row each).
class Buffers {
 public:
  Buffers(const Case& k, const std::vector<int32_t>& args) : args_(args), planes_(k.planes.size()) {
    for (const Plane& p : k.planes)
      rows_.push_back(std::make_unique<Rows>(p, int64_t(args[size_t(p.arg)]) * k.args[size_t(p.arg)].unit));
    for (const Fixed& f : k.fixed)
      rows_.push_back(std::make_unique<Rows>(Plane{1, 0, int(f.bytes), 0, 1, 0, f.role, f.fill}, 0));
  }
  void fill(const Case& k, std::mt19937& rng) {
    for (auto& r : rows_) r->fill(rng);
    for (size_t i = 0; i < k.fixed.size(); ++i)
      if (!k.fixed[i].content.empty())
        std::memcpy(rows_[planes_ + i]->row(0), k.fixed[i].content.data(), k.fixed[i].bytes);
  }
  void copy_from(const Buffers& o) {
    for (size_t i = 0; i < rows_.size(); ++i) rows_[i]->copy_rows_from(*o.rows_[i]);
  }
  Call call() {
    Call c;
    for (size_t i = 0; i < rows_.size(); ++i) (i < planes_ ? c.planes : c.fixed).push_back(rows_[i]->origin());
    c.a = args_;
    return c;
  }
  // Logical content of every buffer.
  std::vector<std::vector<uint8_t>> snapshot() const {
    std::vector<std::vector<uint8_t>> s;
    for (auto& r : rows_) s.push_back(r->snapshot());
    return s;
  }
  void poison() {
    for (auto& r : rows_) r->poison();
  }
  bool guards_intact() {
    bool ok = true;
    for (auto& r : rows_) ok = r->guards_intact() && ok;
    return ok;
  }
  bool written_plane_overlaps(const Case& k) const {
    for (size_t i = 0; i < planes_; ++i)
      if (k.planes[i].role != kIn && rows_[i]->overlapping()) return true;
    return false;
  }

 private:
  std::vector<int32_t> args_;
  size_t planes_;
  std::vector<std::unique_ptr<Rows>> rows_;
};

// The valid value of every argument: sizes as given, steps the larger of the
// given one and the one the widest of their rows needs.
std::vector<int32_t> valid_args(const Case& k) {
  std::vector<int32_t> v;
  for (const Arg& a : k.args) v.push_back(a.valid);
  for (const Plane& p : k.planes) {
    const Arg& a = k.args[size_t(p.arg)];
    const int32_t need = (p.w * p.elem + a.unit - 1) / a.unit;
    v[size_t(p.arg)] = std::max(v[size_t(p.arg)], need);
  }
  return v;
}

// Steps of 16-bit samples counted in bytes take even values only.
bool even_steps(const Case& k, int arg) {
  for (const Plane& p : k.planes)
    if (p.arg == arg && p.elem == 2 && k.args[size_t(arg)].unit == 1) return true;
  return false;
}

std::vector<int32_t> hostile_values(const Case& k, int i, int32_t valid) {
  const Arg& a = k.args[size_t(i)];
  std::vector<int32_t> v = a.values;
  if (v.empty() && a.step)
    v = {0, -1, -valid, valid - 1, INT32_MIN, -(1 << 30), 1 << 30, INT32_MAX};
  else if (v.empty())
    v.assign(std::begin(kHugeSizes), std::end(kHugeSizes));
  if (a.step && even_steps(k, i))
    for (int32_t& x : v) x &= ~1;
  std::sort(v.begin(), v.end());
  v.erase(std::unique(v.begin(), v.end()), v.end());
  v.erase(std::remove(v.begin(), v.end(), valid), v.end());
  return v;
}

const char* buffer_name(const Case& k, size_t i) { return i < k.planes.size() ? "plane" : "fixed buffer"; }

void sweep(const std::vector<Case>& cases) {
  uint32_t seed = 1;
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    const std::vector<int32_t> valid = valid_args(k);
    for (int i = 0; i < int(k.args.size()); ++i)
      for (const int32_t v : hostile_values(k, i, valid[size_t(i)])) {
        const int32_t want = k.args[size_t(i)].expect(v);
        if (want == kSkip) continue;
        SCOPED_TRACE(testing::Message() << (k.args[size_t(i)].step ? "step" : "size") << " argument " << i << " = "
                                        << v);
        std::vector<int32_t> args = valid;
        args[size_t(i)] = v;
        std::mt19937 rng(seed++);
        Buffers hostile(k, args), plain(k, valid);
        hostile.fill(k, rng);
        plain.copy_from(hostile);  // the same logical rows, at valid steps

        Call pc = plain.call();
        const KvnResult ps = k.call(pc);
        ASSERT_GE(ps, 0) << "the valid call fails";

        const auto before = hostile.snapshot();
        hostile.poison();
        Call hc = hostile.call();
        const KvnResult hs = k.call(hc);
        EXPECT_TRUE(hostile.guards_intact()) << "wrote outside the rows";
        const auto after = hostile.snapshot();

        if (want < 0 || want == kNoOutput || (want == kEither && hs < 0)) {
          if (want < 0) {
            EXPECT_EQ(hs, want);
          } else if (want == kNoOutput) {
            EXPECT_EQ(hs, KVN_STS_OK);
          }
          for (size_t b = 0; b < after.size(); ++b)
            EXPECT_TRUE(after[b] == before[b]) << buffer_name(k, b) << " " << b << " written by a refused call";
          continue;
        }
        EXPECT_GE(hs, 0);
        if (want != kSame) continue;
        EXPECT_EQ(hs, ps);
        EXPECT_EQ(hc.note, pc.note);
        if (k.args[size_t(i)].step && hostile.written_plane_overlaps(k)) continue;
        const auto expected = plain.snapshot();
        for (size_t b = 0; b < after.size(); ++b)
          EXPECT_TRUE(after[b] == expected[b]) << buffer_name(k, b) << " " << b << " differs from the valid call";
      }
  }
}

// ---------------------------------------------------------------------------
// Shapes shared by many functions.

constexpr int kMode = 12;  // half-sample modes read both an extra row and column

// pSrc, srcStep, pRef, refStep, then outputs.
template <class T, class O>
Case src_ref(std::string name, KvnResult (*f)(const T*, int32_t, const T*, int32_t, O*), int w, int h,
             size_t outBytes = 4) {
  const Fill fill = sizeof(T) == 2 ? kSamples14 : kBytes;
  return {std::move(name),
          {{int(sizeof(T)), 0, w, 0, h, 0, kIn, fill}, {int(sizeof(T)), 0, w, 0, h, 1, kIn, fill}},
          {step(), step()},
          {out(outBytes)},
          [f](Call& c) { return f(c.p<T>(0), c.a[0], c.p<T>(1), c.a[1], c.f<O>(0)); }};
}
// The same with a mode: the reference has one more row and column.
template <class T, class O>
Case src_ref_mode(std::string name, KvnResult (*f)(const T*, int32_t, const T*, int32_t, O*, int32_t), int w, int h) {
  const Fill fill = sizeof(T) == 2 ? kSamples14 : kBytes;
  return {std::move(name),
          {{int(sizeof(T)), 0, w, 0, h, 0, kIn, fill}, {int(sizeof(T)), 0, w + 1, 0, h + 1, 1, kIn, fill}},
          {step(), step()},
          {out(4)},
          [f](Call& c) { return f(c.p<T>(0), c.a[0], c.p<T>(1), c.a[1], c.f<O>(0), kMode); }};
}
// One block and two scalar outputs.
template <class T, class O1, class O2>
Case one_block(std::string name, KvnResult (*f)(const T*, int32_t, O1*, O2*), int w, int h) {
  return {std::move(name),
          {{int(sizeof(T)), 0, w, 0, h, 0, kIn, sizeof(T) == 2 ? kSmall16 : kBytes}},
          {step()},
          {out(4), out(4)},
          [f](Call& c) { return f(c.p<T>(0), c.a[0], c.f<O1>(0), c.f<O2>(1)); }};
}

#define FN(f) #f, f

// ---------------------------------------------------------------------------
// Block copy, averaging and motion compensation: steps are not checked, so
// every value is valid and must give the valid call's result.

using Copy = KvnResult (*)(const Kvn8u*, int32_t, Kvn8u*, int32_t);
using CopyHp = KvnResult (*)(const Kvn8u*, int32_t, Kvn8u*, int32_t, int32_t, int32_t);
using Avg3 = KvnResult (*)(const Kvn8u*, int32_t, const Kvn8u*, int32_t, Kvn8u*, int32_t);
using Mc = KvnResult (*)(const Kvn8u*, int32_t, const Kvn16s*, int32_t, Kvn8u*, int32_t, int32_t, int32_t);
using McB = KvnResult (*)(const Kvn8u*, int32_t, int32_t, const Kvn8u*, int32_t, int32_t, const Kvn16s*, int32_t,
                          Kvn8u*, int32_t, int32_t);
using McP2 = KvnResult (*)(const Kvn8u*, int32_t, const Kvn16s*, const Kvn16s*, int32_t, Kvn8u*, int32_t, int32_t,
                           int32_t);
using McP2B = KvnResult (*)(const Kvn8u*, int32_t, int32_t, const Kvn8u*, int32_t, int32_t, const Kvn16s*,
                            const Kvn16s*, int32_t, Kvn8u*, int32_t, int32_t);

Case copy(const char* name, Copy f, int n) {
  return {name, {p8(kIn, 0, n, n), p8(kOut, 1, n, n)}, {step(), step()}, {}, [f](Call& c) {
            return f(c.u8(0), c.a[0], c.u8(1), c.a[1]);
          }};
}
// Half-sample code 3 reads one more row and column.
Case copy_hp(const char* name, CopyHp f, int w, int h, Role dst) {
  return {name, {p8(kIn, 0, w + 1, h + 1), p8(dst, 1, w, h)}, {step(), step()}, {}, [f](Call& c) {
            return f(c.u8(0), c.a[0], c.u8(1), c.a[1], 3, 0);
          }};
}
// Widths are in bytes; `pair` is 2 for interleaved chroma (the neighbour two bytes on).
Case mc(const char* name, Mc f, int w, int h, int pair = 1) {
  return {name,
          {p8(kIn, 0, w + pair, h + 1), p16(kIn, 1, w, h, kSmall16), p8(kOut, 2, w, h)},
          {step(), step(), step()},
          {},
          [f](Call& c) { return f(c.u8(0), c.a[0], c.p<Kvn16s>(1), c.a[1], c.u8(2), c.a[2], kMode, 0); }};
}
Case mc_b(const char* name, McB f, int w, int h, int pair = 1) {
  return {name,
          {p8(kIn, 0, w + pair, h + 1), p8(kIn, 1, w + pair, h + 1), p16(kIn, 2, w, h, kSmall16), p8(kOut, 3, w, h)},
          {step(), step(), step(), step()},
          {},
          [f](Call& c) {
            return f(c.u8(0), c.a[0], kMode, c.u8(1), c.a[1], 8, c.p<Kvn16s>(2), c.a[2], c.u8(3), c.a[3], 0);
          }};
}
Case mc_p2(const char* name, McP2 f, int h) {
  return {
      name,
      {p8(kIn, 0, 18, h + 1), p16(kIn, 1, 8, h, kSmall16), p16(kIn, 1, 8, h, kSmall16), p8(kOut, 2, 16, h)},
      {step(), step(), step()},
      {},
      [f](Call& c) { return f(c.u8(0), c.a[0], c.p<Kvn16s>(1), c.p<Kvn16s>(2), c.a[1], c.u8(3), c.a[2], kMode, 0); }};
}
Case mc_p2b(const char* name, McP2B f, int h) {
  return {name,
          {p8(kIn, 0, 18, h + 1), p8(kIn, 1, 18, h + 1), p16(kIn, 2, 8, h, kSmall16), p16(kIn, 2, 8, h, kSmall16),
           p8(kOut, 3, 16, h)},
          {step(), step(), step(), step()},
          {},
          [f](Call& c) {
            return f(c.u8(0), c.a[0], kMode, c.u8(1), c.a[1], 4, c.p<Kvn16s>(2), c.p<Kvn16s>(3), c.a[2], c.u8(4),
                     c.a[3], 1);
          }};
}

TEST(HostileArgs, BlockLayer) {
  std::vector<Case> k = {
      copy(FN(kvniCopy8x8_8u_C1R), 8),
      copy(FN(kvniCopy16x16_8u_C1R), 16),
      copy_hp(FN(kvniCopy8x4HP_8u_C1R), 8, 4, kOut),
      copy_hp(FN(kvniCopy8x8HP_8u_C1R), 8, 8, kOut),
      copy_hp(FN(kvniCopy16x8HP_8u_C1R), 16, 8, kOut),
      copy_hp(FN(kvniCopy16x16HP_8u_C1R), 16, 16, kOut),
      copy_hp(FN(kvniInterpolateAverage8x4_8u_C1IR), 8, 4, kInOut),
      copy_hp(FN(kvniInterpolateAverage8x8_8u_C1IR), 8, 8, kInOut),
      copy_hp(FN(kvniInterpolateAverage16x8_8u_C1IR), 16, 8, kInOut),
      copy_hp(FN(kvniInterpolateAverage16x16_8u_C1IR), 16, 16, kInOut),
      mc(FN(kvniMC16x16_8u_C1), 16, 16),
      mc(FN(kvniMC16x8_8u_C1), 16, 8),
      mc(FN(kvniMC8x16_8u_C1), 8, 16),
      mc(FN(kvniMC8x8_8u_C1), 8, 8),
      mc(FN(kvniMC8x4_8u_C1), 8, 4),
      mc(FN(kvniMC4x8_8u_C1), 4, 8),
      mc(FN(kvniMC4x4_8u_C1), 4, 4),
      mc(FN(kvniMC4x2_8u_C1), 4, 2),
      mc(FN(kvniMC2x4_8u_C1), 2, 4),
      mc(FN(kvniMC2x2_8u_C1), 2, 2),
      mc(FN(kvniMC16x8UV_8u_C1), 16, 8, 2),
      mc(FN(kvniMC16x4_8u_C1), 16, 4, 2),
      mc_b(FN(kvniMC16x16B_8u_C1), 16, 16),
      mc_b(FN(kvniMC16x8B_8u_C1), 16, 8),
      mc_b(FN(kvniMC8x16B_8u_C1), 8, 16),
      mc_b(FN(kvniMC8x8B_8u_C1), 8, 8),
      mc_b(FN(kvniMC8x4B_8u_C1), 8, 4),
      mc_b(FN(kvniMC4x8B_8u_C1), 4, 8),
      mc_b(FN(kvniMC4x4B_8u_C1), 4, 4),
      mc_b(FN(kvniMC4x2B_8u_C1), 4, 2),
      mc_b(FN(kvniMC2x4B_8u_C1), 2, 4),
      mc_b(FN(kvniMC2x2B_8u_C1), 2, 2),
      mc_b(FN(kvniMC16x8BUV_8u_C1), 16, 8, 2),
      mc_b(FN(kvniMC16x4B_8u_C1), 16, 4, 2),
      mc_p2(FN(kvniMC8x8_16s8u_P2C2R), 8),
      mc_p2(FN(kvniMC8x4_16s8u_P2C2R), 4),
      mc_p2b(FN(kvniMC8x8B_16s8u_P2C2R), 8),
      mc_p2b(FN(kvniMC8x4B_16s8u_P2C2R), 4),
  };
  for (auto [name, n] : {std::pair{"kvniAverage8x8_8u_C1IR", 8}, std::pair{"kvniAverage16x16_8u_C1IR", 16}}) {
    const Copy f = n == 8 ? kvniAverage8x8_8u_C1IR : kvniAverage16x16_8u_C1IR;
    k.push_back({name, {p8(kIn, 0, n, n), p8(kInOut, 1, n, n)}, {step(), step()}, {}, [f](Call& c) {
                   return f(c.u8(0), c.a[0], c.u8(1), c.a[1]);
                 }});
  }
  for (auto [name, n] : {std::pair{"kvniAverage8x8_8u_C1R", 8}, std::pair{"kvniAverage16x16_8u_C1R", 16}}) {
    const Avg3 f = n == 8 ? kvniAverage8x8_8u_C1R : kvniAverage16x16_8u_C1R;
    k.push_back(
        {name, {p8(kIn, 0, n, n), p8(kIn, 1, n, n), p8(kOut, 2, n, n)}, {step(), step(), step()}, {}, [f](Call& c) {
           return f(c.u8(0), c.a[0], c.u8(1), c.a[1], c.u8(2), c.a[2]);
         }});
  }
  k.push_back(
      {"kvniAdd8x8_16s8u_C1IRS", {p16(kIn, 0, 8, 8, kSmall16), p8(kInOut, 1, 8, 8)}, {step(), step()}, {}, [](Call& c) {
         return kvniAdd8x8_16s8u_C1IRS(c.p<Kvn16s>(0), c.a[0], c.u8(1), c.a[1]);
       }});
  k.push_back({"kvniAdd8x8HP_16s8u_C1RS",
               {p16(kIn, 0, 8, 8, kSmall16), p8(kIn, 1, 9, 9), p8(kOut, 2, 8, 8)},
               {step(), step(), step()},
               {},
               [](Call& c) {
                 return kvniAdd8x8HP_16s8u_C1RS(c.p<Kvn16s>(0), c.a[0], c.u8(1), c.a[1], c.u8(2), c.a[2], 3, 1);
               }});
  k.push_back({"kvniAddC8x8_16s8u_C1IR", {p8(kInOut, 0, 8, 8)}, {step()}, {}, [](Call& c) {
                 return kvniAddC8x8_16s8u_C1IR(-7, c.u8(0), c.a[0]);
               }});
  // The scan counts are the family's only checked numbers.
  const std::vector<int32_t> counts = {-1, 0, 64, 65, 255, INT32_MIN, 1 << 30, INT32_MAX};
  k.push_back(
      {"kvniScanFwd_16s_C1", {}, {count(10, index_range(1, 64), counts)}, {in(128, kSmall16), out(128)}, [](Call& c) {
         return kvniScanFwd_16s_C1(c.f<Kvn16s>(0), c.f<Kvn16s>(1), c.a[0], 0);
       }});
  k.push_back(
      {"kvniScanInv_16s_C1", {}, {count(10, index_range(0, 63), counts)}, {in(128, kSmall16), out(128)}, [](Call& c) {
         return kvniScanInv_16s_C1(c.f<Kvn16s>(0), c.f<Kvn16s>(1), c.a[0], 1);
       }});
  sweep(k);
}

// ---------------------------------------------------------------------------
// Motion-estimation metrics. Steps are not checked (but for the two-channel
// SAD): a zero or negative step is valid and addresses the rows it names.

// Candidate counts: fewer than 8 (after rounding down to a multiple of 8)
// are refused; larger counts designate more candidates than the buffers hold.
const Expect kCandidates = [](int32_t v) {
  const int32_t n = v & ~7;
  return n < 1 ? int32_t(KVN_STS_SIZE_ERR) : n == 8 ? int32_t(kSame) : int32_t(kSkip);
};
const std::vector<int32_t> kCounts = {0, -1, 7, 15, -8, 16, INT32_MIN, 1 << 30, INT32_MAX};

using Xn = KvnResult (*)(const Kvn8u*, int32_t, const Kvn8u*, int32_t, Kvn16u*, int32_t);
using Xni = KvnResult (*)(const Kvn8u*, int32_t, const Kvn8u*, int32_t, Kvn16u*, int32_t, Kvn32u*);

Case xn(const char* name, Xn f, int n) {
  return {name,
          {p8(kIn, 0, n, n), p8(kIn, 1, n + 7, n)},
          {step(), step(), count(8, kCandidates, kCounts)},
          {out(16)},
          [f](Call& c) { return f(c.u8(0), c.a[0], c.u8(1), c.a[1], c.f<Kvn16u>(0), c.a[2]); }};
}
Case xni(const char* name, Xni f, int n) {
  return {name,
          {p8(kIn, 0, n, n), p8(kIn, 1, n + 7, n)},
          {step(), step(), count(8, kCandidates, kCounts)},
          {out(16), out(4)},
          [f](Call& c) { return f(c.u8(0), c.a[0], c.u8(1), c.a[1], c.f<Kvn16u>(0), c.a[2], c.f<Kvn32u>(1)); }};
}

TEST(HostileArgs, Sad) {
  std::vector<Case> k = {
      src_ref_mode(FN(kvniSAD16x16_8u32s), 16, 16),
      src_ref_mode(FN(kvniSAD16x8_8u32s_C1R), 16, 8),
      src_ref_mode(FN(kvniSAD8x8_8u32s_C1R), 8, 8),
      src_ref_mode(FN(kvniSAD16x16_16u32s_C1R), 16, 16),
      src_ref_mode(FN(kvniSAD8x8_16u32s_C1R), 8, 8),
      src_ref_mode(FN(kvniSAD4x4_16u32s_C1R), 4, 4),
      src_ref(FN(kvniSAD4x4_8u32s), 4, 4),
      src_ref(FN(kvniSAD8x4_8u32s_C1R), 8, 4),
      src_ref(FN(kvniSAD4x8_8u32s_C1R), 4, 8),
      src_ref(FN(kvniSAD8x16_8u32s_C1R), 8, 16),
      src_ref(FN(kvniSAD16x16Blocks8x8_8u16u), 16, 16, 8),
      src_ref(FN(kvniSAD16x16Blocks4x4_8u16u), 16, 16, 32),
      src_ref(FN(kvniSAD16x16Blocks8x8_16u32u_C1R), 16, 16, 16),
      src_ref(FN(kvniSAD16x16Blocks4x4_16u32u_C1R), 16, 16, 64),
      one_block(FN(kvniFrameFieldSAD16x16_8u32s_C1R), 16, 16),
      one_block(FN(kvniFrameFieldSAD16x16_16s32s_C1R), 16, 16),
      xn(FN(kvniSAD16x16xN_8u16u_C1R), 16),
      xn(FN(kvniSAD8x8xN_8u16u_C1R), 8),
      xn(FN(kvniSAD4x4xN_8u16u_C1R), 4),
      xn(FN(kvniSAD2x2xN_8u16u_C1R), 2),
      xni(FN(kvniSAD16x16xNI_8u16u_C1R), 16),
      xni(FN(kvniSAD8x8xNI_8u16u_C1R), 8),
      xni(FN(kvniSAD4x4xNI_8u16u_C1R), 4),
  };
  // Two channels: steps below 1 are refused.
  k.push_back({"kvniSAD8x8_8u32s_C2R",
               {p8(kIn, 0, 16, 8), p8(kIn, 1, 18, 9)},
               {step(at_least(1)), step(at_least(1))},
               {out(4), out(4)},
               [](Call& c) {
                 return kvniSAD8x8_8u32s_C2R(c.u8(0), c.a[0], c.u8(1), c.a[1], c.f<Kvn32s>(0), c.f<Kvn32s>(1), kMode);
               }});
  k.push_back({"kvniSubSAD8x8_8u16s_C1R",
               {p8(kIn, 0, 8, 8), p8(kIn, 1, 8, 8), p16(kOut, 2, 8, 8, kBytes)},
               {step(), step(), step()},
               {out(4)},
               [](Call& c) {
                 return kvniSubSAD8x8_8u16s_C1R(c.u8(0), c.a[0], c.u8(1), c.a[1], c.p<Kvn16s>(2), c.a[2],
                                                c.f<Kvn32u>(0));
               }});
  sweep(k);
}

using GetDiff = KvnResult (*)(const Kvn8u*, int32_t, const Kvn8u*, int32_t, Kvn16s*, int32_t, Kvn16s*, int32_t, int32_t,
                              int32_t);
using GetDiffB = KvnResult (*)(const Kvn8u*, int32_t, const Kvn8u*, int32_t, int32_t, const Kvn8u*, int32_t, int32_t,
                               Kvn16s*, int32_t, int32_t);
using GetDiffC2 = KvnResult (*)(const Kvn8u*, int32_t, const Kvn8u*, int32_t, Kvn16s*, int32_t, Kvn16s*, int32_t,
                                int32_t, int32_t);
using GetDiffBC2 = KvnResult (*)(const Kvn8u*, int32_t, const Kvn8u*, int32_t, int32_t, const Kvn8u*, int32_t, int32_t,
                                 Kvn16s*, int32_t, Kvn16s*, int32_t, int32_t);
template <class T>
using Sub = KvnResult (*)(const T*, int32_t, const T*, int32_t, Kvn16s*, int32_t);
template <class T, class S>
using SumsDiff = KvnResult (*)(const T*, int32_t, const T*, int32_t, S*, Kvn16s*);

Case get_diff(const char* name, GetDiff f, int w, int h) {
  return {name,
          {p8(kIn, 0, w, h), p8(kIn, 1, w + 1, h + 1), p16(kOut, 2, w, h, kBytes), p16(kOut, 3, w, h, kBytes)},
          {step(), step(), step(), step()},
          {},
          [f](Call& c) {
            return f(c.u8(0), c.a[0], c.u8(1), c.a[1], c.p<Kvn16s>(2), c.a[2], c.p<Kvn16s>(3), c.a[3], kMode, 1);
          }};
}
Case get_diff_b(const char* name, GetDiffB f, int w, int h) {
  return {name,
          {p8(kIn, 0, w, h), p8(kIn, 1, w + 1, h + 1), p8(kIn, 2, w + 1, h + 1), p16(kOut, 3, w, h, kBytes)},
          {step(), step(), step(), step()},
          {},
          [f](Call& c) {
            return f(c.u8(0), c.a[0], c.u8(1), c.a[1], kMode, c.u8(2), c.a[2], 4, c.p<Kvn16s>(3), c.a[3], 0);
          }};
}
// Interleaved (Cb, Cr): 16 bytes a row, the neighbour two bytes on.
Case get_diff_c2(const char* name, GetDiffC2 f, int h) {
  return {name,
          {p8(kIn, 0, 16, h), p8(kIn, 1, 18, h + 1), p16(kOut, 2, 8, h, kBytes), p16(kOut, 3, 8, h, kBytes)},
          {step(), step(), step(), step()},
          {},
          [f](Call& c) {
            return f(c.u8(0), c.a[0], c.u8(1), c.a[1], c.p<Kvn16s>(2), c.a[2], c.p<Kvn16s>(3), c.a[3], kMode, 0);
          }};
}
Case get_diff_bc2(const char* name, GetDiffBC2 f, int h) {
  return {name,
          {p8(kIn, 0, 16, h), p8(kIn, 1, 18, h + 1), p8(kIn, 2, 18, h + 1), p16(kOut, 3, 8, h, kBytes),
           p16(kOut, 4, 8, h, kBytes)},
          {step(), step(), step(), step(), step()},
          {},
          [f](Call& c) {
            return f(c.u8(0), c.a[0], c.u8(1), c.a[1], 8, c.u8(2), c.a[2], kMode, c.p<Kvn16s>(3), c.a[3],
                     c.p<Kvn16s>(4), c.a[4], 1);
          }};
}
template <class T>
Case sub(const char* name, Sub<T> f, int n) {
  const Fill fill = sizeof(T) == 2 ? kSamples14 : kBytes;
  return {name,
          {{int(sizeof(T)), 0, n, 0, n, 0, kIn, fill},
           {int(sizeof(T)), 0, n, 0, n, 1, kIn, fill},
           p16(kOut, 2, n, n, kBytes)},
          {step(), step(), step()},
          {},
          [f](Call& c) { return f(c.p<T>(0), c.a[0], c.p<T>(1), c.a[1], c.p<Kvn16s>(2), c.a[2]); }};
}
template <class T, class S>
Case sums_diff(const char* name, SumsDiff<T, S> f, int n) {
  const Fill fill = sizeof(T) == 2 ? kSamples14 : kBytes;
  const size_t blocks = size_t(n / 4) * size_t(n / 4);
  return {name,
          {{int(sizeof(T)), 0, n, 0, n, 0, kIn, fill}, {int(sizeof(T)), 0, n, 0, n, 1, kIn, fill}},
          {step(), step()},
          {out(blocks * sizeof(S)), out(size_t(n) * size_t(n) * 2)},
          [f](Call& c) { return f(c.p<T>(0), c.a[0], c.p<T>(1), c.a[1], c.f<S>(0), c.f<Kvn16s>(1)); }};
}

TEST(HostileArgs, Measures) {
  std::vector<Case> k = {
      src_ref(FN(kvniSATD4x4_8u32s_C1R), 4, 4),
      src_ref(FN(kvniSATD4x8_8u32s_C1R), 4, 8),
      src_ref(FN(kvniSATD8x4_8u32s_C1R), 8, 4),
      src_ref(FN(kvniSATD8x8_8u32s_C1R), 8, 8),
      src_ref(FN(kvniSATD8x16_8u32s_C1R), 8, 16),
      src_ref(FN(kvniSATD16x8_8u32s_C1R), 16, 8),
      src_ref(FN(kvniSATD16x16_8u32s_C1R), 16, 16),
      src_ref(FN(kvniSAT8x8D_8u32s_C1R), 8, 8),
      src_ref(FN(kvniSAT8x8D_16u32s_C1R), 8, 8),
      src_ref_mode(FN(kvniSSD4x4_8u32s_C1R), 4, 4),
      src_ref_mode(FN(kvniSSD8x8_8u32s_C1R), 8, 8),
      one_block(FN(kvniVarMean8x8_8u32s_C1R), 8, 8),
      one_block(FN(kvniVarSum8x8_8u32s_C1R), 8, 8),
      one_block(FN(kvniVarMean8x8_16s32s_C1R), 8, 8),
      one_block(FN(kvniVarSum8x8_16s32s_C1R), 8, 8),
      get_diff(FN(kvniGetDiff8x4_8u16s_C1), 8, 4),
      get_diff(FN(kvniGetDiff8x8_8u16s_C1), 8, 8),
      get_diff(FN(kvniGetDiff8x16_8u16s_C1), 8, 16),
      get_diff(FN(kvniGetDiff16x8_8u16s_C1), 16, 8),
      get_diff(FN(kvniGetDiff16x16_8u16s_C1), 16, 16),
      get_diff_b(FN(kvniGetDiff8x4B_8u16s_C1), 8, 4),
      get_diff_b(FN(kvniGetDiff8x8B_8u16s_C1), 8, 8),
      get_diff_b(FN(kvniGetDiff8x16B_8u16s_C1), 8, 16),
      get_diff_b(FN(kvniGetDiff16x8B_8u16s_C1), 16, 8),
      get_diff_b(FN(kvniGetDiff16x16B_8u16s_C1), 16, 16),
      get_diff_c2(FN(kvniGetDiff8x4_8u16s_C2P2), 4),
      get_diff_c2(FN(kvniGetDiff8x8_8u16s_C2P2), 8),
      get_diff_bc2(FN(kvniGetDiff8x4B_8u16s_C2P2), 4),
      get_diff_bc2(FN(kvniGetDiff8x8B_8u16s_C2P2), 8),
      sub<Kvn8u>(FN(kvniGetDiff4x4_8u16s_C1), 4),
      sub<Kvn8u>(FN(kvniSub4x4_8u16s_C1R), 4),
      sub<Kvn8u>(FN(kvniSub8x8_8u16s_C1R), 8),
      sub<Kvn8u>(FN(kvniSub16x16_8u16s_C1R), 16),
      sub<Kvn16u>(FN(kvniSub4x4_16u16s_C1R), 4),
      sub<Kvn16u>(FN(kvniSub8x8_16u16s_C1R), 8),
      sums_diff<Kvn8u, Kvn16s>(FN(kvniSumsDiff8x8Blocks4x4_8u16s_C1), 8),
      sums_diff<Kvn8u, Kvn16s>(FN(kvniSumsDiff16x16Blocks4x4_8u16s_C1), 16),
      sums_diff<Kvn16u, Kvn32s>(FN(kvniSumsDiff8x8Blocks4x4_16u32s_C1R), 8),
      sums_diff<Kvn16u, Kvn32s>(FN(kvniSumsDiff16x16Blocks4x4_16u32s_C1R), 16),
  };
  k.push_back(
      {"kvniSqrDiff16x16_8u32s", {p8(kIn, 0, 16, 16), p8(kIn, 1, 17, 17)}, {step(), step()}, {out(4)}, [](Call& c) {
         return kvniSqrDiff16x16_8u32s(c.u8(0), c.a[0], c.u8(1), c.a[1], kMode, c.f<Kvn32u>(0));
       }});
  k.push_back({"kvniSqrDiff16x16B_8u32s",
               {p8(kIn, 0, 16, 16), p8(kIn, 1, 17, 17), p8(kIn, 2, 17, 17)},
               {step(), step(), step()},
               {out(4)},
               [](Call& c) {
                 return kvniSqrDiff16x16B_8u32s(c.u8(0), c.a[0], c.u8(1), c.a[1], kMode, c.u8(2), c.a[2], 4,
                                                c.f<Kvn32u>(0));
               }});
  for (int half = 0; half < 2; ++half) {  // 16x16 (four 8x8 blocks) and 16x8 (two)
    const int h = half ? 8 : 16, blocks = h / 4;
    k.push_back({half ? "kvniVarMeanDiff16x8_8u32s_C1R" : "kvniVarMeanDiff16x16_8u32s_C1R",
                 {p8(kIn, 0, 16, h), p8(kIn, 1, 17, h + 1)},
                 {step(), step()},
                 {table(std::vector<Kvn32s>{8000, 8100, 8200, 8300}), out(size_t(blocks) * 4), out(size_t(blocks) * 4)},
                 [half](Call& c) {
                   return (half ? kvniVarMeanDiff16x8_8u32s_C1R : kvniVarMeanDiff16x16_8u32s_C1R)(
                       c.u8(0), c.a[0], c.u8(1), c.a[1], c.f<Kvn32s>(0), c.f<Kvn32s>(1), c.f<Kvn32s>(2), kMode);
                 }});
  }
  k.push_back({"kvniVariance16x16_8u32s", {p8(kIn, 0, 16, 16)}, {step()}, {out(4)}, [](Call& c) {
                 return kvniVariance16x16_8u32s(c.u8(0), c.a[0], c.f<Kvn32s>(0));
               }});
  k.push_back({"kvniMeanAbsDev16x16_8u32s_C1R", {p8(kIn, 0, 16, 16)}, {step()}, {out(4)}, [](Call& c) {
                 return kvniMeanAbsDev16x16_8u32s_C1R(c.u8(0), c.a[0], c.f<Kvn32s>(0));
               }});
  k.push_back({"kvniMeanAbsDev8x8_8u32s_C1R", {p8(kIn, 0, 8, 8)}, {step()}, {out(4)}, [](Call& c) {
                 return kvniMeanAbsDev8x8_8u32s_C1R(c.u8(0), c.a[0], c.f<Kvn32s>(0));
               }});
  k.push_back({"kvniEdgesDetect16x16_8u_C1R", {p8(kIn, 0, 16, 16)}, {step()}, {out(1)}, [](Call& c) {
                 return kvniEdgesDetect16x16_8u_C1R(c.u8(0), c.a[0], 60, 40, c.f<Kvn8u>(0));
               }});
  k.push_back({"kvniEdgesDetect16x16_16u_C1R", {p16(kIn, 0, 16, 16, kSamples14)}, {step()}, {out(4)}, [](Call& c) {
                 return kvniEdgesDetect16x16_16u_C1R(c.p<Kvn16u>(0), c.a[0], 4000, 40, c.f<Kvn32u>(0));
               }});
  k.push_back({"kvniSumsDiff8x8Blocks4x4_8u16s_C2P2",
               {p8(kIn, 0, 16, 8), p8(kIn, 1, 8, 8), p8(kIn, 2, 8, 8)},
               {step(), step(), step()},
               {out(8), out(128), out(8), out(128)},
               [](Call& c) {
                 return kvniSumsDiff8x8Blocks4x4_8u16s_C2P2(c.u8(0), c.a[0], c.u8(1), c.a[1], c.u8(2), c.a[2],
                                                            c.f<Kvn16s>(0), c.f<Kvn16s>(1), c.f<Kvn16s>(2),
                                                            c.f<Kvn16s>(3));
               }});
  sweep(k);
}

// ---------------------------------------------------------------------------
// H.264 transforms with a prediction or a strided block, intra prediction.

TEST(HostileArgs, H264Transforms) {
  std::vector<Case> k;
  k.push_back({"kvniTransformPrediction_H264_8u16s_C1", {p8(kIn, 0, 4, 4)}, {step()}, {out(32)}, [](Call& c) {
                 return kvniTransformPrediction_H264_8u16s_C1(c.u8(0), c.a[0], c.f<Kvn16s>(0));
               }});
  k.push_back({"kvniTransformQuantInvAddPred4x4_H264_16s_C1IR",
               {p8(kIn, 0, 4, 4), p8(kOut, 1, 4, 4)},
               {step(), step()},
               {inout(32, kSmall16), in(2, kSmall16)},
               [](Call& c) {
                 return kvniTransformQuantInvAddPred4x4_H264_16s_C1IR(c.u8(0), c.a[0], c.f<Kvn16s>(0), c.f<Kvn16s>(1),
                                                                      c.u8(1), c.a[1], 28, 1, nullptr);
               }});
  k.push_back({"kvniTransformQuantInvAddPred4x4_H264_32s_C1IR",
               {p16(kIn, 0, 4, 4, kSamples10), p16(kOut, 1, 4, 4, kBytes)},
               {step(), step()},
               {inout(64, kSmall32), in(4, kSmall32)},
               [](Call& c) {
                 return kvniTransformQuantInvAddPred4x4_H264_32s_C1IR(c.p<Kvn16u>(0), c.a[0], c.f<Kvn32s>(0),
                                                                      c.f<Kvn32s>(1), c.p<Kvn16u>(1), c.a[1], 40, 1, 10,
                                                                      nullptr);
               }});
  // The strided block must hold its rows of 4 coefficients.
  k.push_back({"kvniDequantTransformResidual_H264_16s_C1I",
               {p16(kInOut, 0, 4, 4, kSmall16)},
               {step(at_least(8))},
               {in(2, kSmall16)},
               [](Call& c) {
                 return kvniDequantTransformResidual_H264_16s_C1I(c.p<Kvn16s>(0), c.a[0], c.f<Kvn16s>(0), 1, 20);
               }});
  k.push_back({"kvniDequantTransformResidualAndAdd_H264_16s_C1I",
               {p8(kIn, 0, 4, 4), p8(kOut, 1, 4, 4)},
               {step(), step()},
               {inout(32, kSmall16), in(2, kSmall16)},
               [](Call& c) {
                 return kvniDequantTransformResidualAndAdd_H264_16s_C1I(c.u8(0), c.f<Kvn16s>(0), c.f<Kvn16s>(1),
                                                                        c.u8(1), c.a[0], c.a[1], 20, 1);
               }});
  k.push_back({"kvniTransformLuma8x8InvAddPred_H264_16s8u_C1R",
               {p8(kIn, 0, 8, 8), p8(kOut, 1, 8, 8)},
               {step(), step()},
               {in(128, kSmall16)},
               [](Call& c) {
                 return kvniTransformLuma8x8InvAddPred_H264_16s8u_C1R(c.u8(0), c.a[0], c.f<Kvn16s>(0), c.u8(1), c.a[1]);
               }});
  k.push_back({"kvniTransformInvAddPredLuma8x8_H264_32s16u_C1R",
               {p16(kIn, 0, 8, 8, kSamples10), p16(kOut, 1, 8, 8, kBytes)},
               {step(), step()},
               {in(256, kSmall32)},
               [](Call& c) {
                 return kvniTransformInvAddPredLuma8x8_H264_32s16u_C1R(c.p<Kvn16u>(0), c.a[0], c.f<Kvn32s>(0),
                                                                       c.p<Kvn16u>(1), c.a[1], 10);
               }});
  k.push_back({"kvniGenScaleLevel8x8_H264_8u16s_D2", {p8(kIn, 0, 8, 8)}, {step()}, {out(128), out(128)}, [](Call& c) {
                 return kvniGenScaleLevel8x8_H264_8u16s_D2(c.u8(0), c.a[0], c.f<Kvn16s>(0), c.f<Kvn16s>(1), 3);
               }});
  sweep(k);
}

// Intra prediction reads the row above and the column left of the block (4x4:
// also the four samples above right); the step must hold the block's row.
TEST(HostileArgs, H264Intra) {
  constexpr int32_t kAll = 1 | 2 | 32 | 64;
  std::vector<Case> k;
  for (int mode = 0; mode < 9; ++mode)
    k.push_back({"kvniPredictIntra_4x4_H264_8u_C1IR mode " + std::to_string(mode),
                 {p8(kInOut, 0, 9, 5, -1, -1)},
                 {step(at_least(4))},
                 {},
                 [mode](Call& c) { return kvniPredictIntra_4x4_H264_8u_C1IR(c.u8(0), c.a[0], mode, kAll); }});
  for (int mode = 0; mode < 4; ++mode) {
    k.push_back({"kvniPredictIntra_16x16_H264_8u_C1IR mode " + std::to_string(mode),
                 {p8(kInOut, 0, 17, 17, -1, -1)},
                 {step(at_least(16))},
                 {},
                 [mode](Call& c) { return kvniPredictIntra_16x16_H264_8u_C1IR(c.u8(0), c.a[0], mode, kAll); }});
    k.push_back({"kvniPredictIntraChroma8x8_H264_8u_C1IR mode " + std::to_string(mode),
                 {p8(kInOut, 0, 9, 9, -1, -1)},
                 {step(at_least(8))},
                 {},
                 [mode](Call& c) { return kvniPredictIntraChroma8x8_H264_8u_C1IR(c.u8(0), c.a[0], mode, kAll); }});
  }
  sweep(k);
}

// ---------------------------------------------------------------------------
// H.264 deblocking: steps are not checked; the filter reads and writes up to
// 4 (luma) or 2 (chroma) samples before the macroblock's first column or row.

template <class T>
struct DeblockArrays {
  T alpha[4], beta[4], tc0[16];
  Kvn8u bs[16];
  explicit DeblockArrays(T top) {
    for (T& v : alpha) v = top;
    for (T& v : beta) v = T(top / 4);
    for (int i = 0; i < 16; ++i) tc0[i] = T(i % 5), bs[i] = Kvn8u(i < 8 ? 4 - (i & 1) * 2 : 1 + i % 3);
  }
};

using Deblock8 = KvnResult (*)(Kvn8u*, int32_t, const Kvn8u*, const Kvn8u*, const Kvn8u*, const Kvn8u*);
using DeblockRec8 = KvnResult (*)(const KvnDeblockingRecord8u*);
using DeblockRec16 = KvnResult (*)(const KvnDeblockingRecord16u*);

// Vertical edges: `margin` columns left of the block; horizontal: rows above.
Plane edge_plane(int elem, bool vertical, int w, int h, int margin) {
  return vertical ? Plane{elem, -margin, w + margin, 0, h, 0, kInOut, elem == 2 ? kSamples10 : kBytes}
                  : Plane{elem, 0, w, -margin, h + margin, 0, kInOut, elem == 2 ? kSamples10 : kBytes};
}
Case deblock8(const char* name, Deblock8 f, bool vertical, int w, int h, int margin) {
  return {name, {edge_plane(1, vertical, w, h, margin)}, {step()}, {}, [f](Call& c) {
            const DeblockArrays<Kvn8u> a(200);
            return f(c.u8(0), c.a[0], a.alpha, a.beta, a.tc0, a.bs);
          }};
}
Case deblock_rec8(const char* name, DeblockRec8 f, bool vertical, int w, int h, int margin) {
  return {name, {edge_plane(1, vertical, w, h, margin)}, {step()}, {}, [f](Call& c) {
            const DeblockArrays<Kvn8u> a(200);
            const KvnDeblockingRecord8u r{c.u8(0), c.a[0], a.alpha, a.beta, a.tc0, a.bs};
            return f(&r);
          }};
}
Case deblock_rec16(const char* name, DeblockRec16 f, bool vertical, int w, int h, int margin) {
  return {name, {edge_plane(2, vertical, w, h, margin)}, {step(same(), 2)}, {}, [f](Call& c) {
            const DeblockArrays<Kvn16u> a(800);
            const KvnDeblockingRecord16u r{c.p<Kvn16u>(0), c.a[0], a.alpha, a.beta, a.tc0, a.bs, 10};
            return f(&r);
          }};
}

TEST(HostileArgs, H264Deblocking) {
  std::vector<Case> k = {
      deblock8(FN(kvniFilterDeblockingLuma_VerEdge_H264_8u_C1IR), true, 16, 16, 4),
      deblock8(FN(kvniFilterDeblockingLuma_HorEdge_H264_8u_C1IR), false, 16, 16, 4),
      deblock8(FN(kvniFilterDeblockingChroma_VerEdge_H264_8u_C1IR), true, 8, 8, 2),
      deblock8(FN(kvniFilterDeblockingChroma_HorEdge_H264_8u_C1IR), false, 8, 8, 2),
      deblock8(FN(kvniFilterDeblockingChroma_VerEdge_H264_8u_C2IR), true, 16, 8, 4),
      deblock8(FN(kvniFilterDeblockingChroma_HorEdge_H264_8u_C2IR), false, 16, 8, 2),
      deblock_rec8(FN(kvniFilterDeblockingChroma_VerEdge_H264_8u_C2I), true, 16, 8, 4),
      deblock_rec8(FN(kvniFilterDeblockingChroma_HorEdge_H264_8u_C2I), false, 16, 8, 2),
      deblock_rec8(FN(kvniFilterDeblockingChroma422VerEdge_H264_8u_C1IR), true, 8, 16, 2),
      deblock_rec8(FN(kvniFilterDeblockingChroma422HorEdge_H264_8u_C1IR), false, 8, 16, 2),
      deblock_rec16(FN(kvniFilterDeblockingLumaVerEdge_H264_16u_C1IR), true, 16, 16, 4),
      deblock_rec16(FN(kvniFilterDeblockingLumaHorEdge_H264_16u_C1IR), false, 16, 16, 4),
      deblock_rec16(FN(kvniFilterDeblockingLumaVerEdgeMBAFF_H264_16u_C1IR), true, 4, 8, 4),
      deblock_rec16(FN(kvniFilterDeblockingChromaVerEdge_H264_16u_C1IR), true, 8, 8, 2),
      deblock_rec16(FN(kvniFilterDeblockingChromaHorEdge_H264_16u_C1IR), false, 8, 8, 2),
      deblock_rec16(FN(kvniFilterDeblockingChromaVerEdgeMBAFF_H264_16u_C1IR), true, 2, 4, 2),
      deblock_rec16(FN(kvniFilterDeblockingChroma422VerEdge_H264_16u_C1IR), true, 8, 16, 2),
      deblock_rec16(FN(kvniFilterDeblockingChroma422HorEdge_H264_16u_C1IR), false, 8, 16, 2),
  };
  using Mbaff = KvnResult (*)(Kvn8u*, int32_t, Kvn32u, Kvn32u, const Kvn8u*, const Kvn8u*);
  for (auto [name, luma] : {std::pair{"kvniFilterDeblockingLuma_VerEdge_MBAFF_H264_8u_C1IR", true},
                            std::pair{"kvniFilterDeblockingChroma_VerEdge_MBAFF_H264_8u_C1IR", false}}) {
    const Mbaff f = luma ? kvniFilterDeblockingLuma_VerEdge_MBAFF_H264_8u_C1IR
                         : kvniFilterDeblockingChroma_VerEdge_MBAFF_H264_8u_C1IR;
    k.push_back({name, {edge_plane(1, true, luma ? 4 : 2, luma ? 8 : 4, luma ? 4 : 2)}, {step()}, {}, [f](Call& c) {
                   const DeblockArrays<Kvn8u> a(200);
                   return f(c.u8(0), c.a[0], 200, 50, a.tc0, a.bs);
                 }});
  }
  sweep(k);
}

// ---------------------------------------------------------------------------
// H.264 macroblock reconstruction. The 8-bit functions check no step (but the
// Half function without scale tables and the interleaved chroma ones: below
// 1); every block is coded, so the whole stream is consumed (the note: how
// far the stream pointer moved). Intra planes include the row above and the
// column left, luma also the 8 samples above right.

template <class T>
std::vector<T> modes(int n) {
  std::vector<T> m;
  for (int i = 0; i < n; ++i) m.push_back(T(i % 9));
  return m;
}

// Calls f(&stream) on the stream in fixed buffer 0 and notes its advance.
template <class T, class F>
KvnResult with_stream(Call& c, F f) {
  T* s = c.f<T>(0);
  const KvnResult st = f(&s);
  c.note = s - c.f<T>(0);
  return st;
}

constexpr Kvn32u kLuma4x4 = 0x1FFFE, kLuma16x16 = 0x1FFFF, kChroma = 0x7FE0000;

TEST(HostileArgs, H264Reconstruction8) {
  const Fixed lumaStream = inout(17 * 32, kSmall16), chromaStream = inout(136 * 2, kSmall16);
  const Fixed scale16 = fill_table<Kvn16s>(16, 20), scale64 = fill_table<Kvn16s>(64, 20);
  const Plane inter = p8(kInOut, 0, 16, 16), intra = p8(kInOut, 0, 25, 17, -1, -1), half = p8(kInOut, 0, 25, 9, -1, -1);
  std::vector<Case> k;
  k.push_back({"kvniReconstructLumaInterMB_H264_16s8u_C1R", {inter}, {step()}, {lumaStream}, [](Call& c) {
                 return with_stream<Kvn16s>(c, [&](Kvn16s** s) {
                   return kvniReconstructLumaInterMB_H264_16s8u_C1R(s, c.u8(0), c.a[0], kLuma4x4, 28);
                 });
               }});
  k.push_back({"kvniReconstructLumaInter4x4MB_H264_16s8u_C1R", {inter}, {step()}, {lumaStream, scale16}, [](Call& c) {
                 return with_stream<Kvn16s>(c, [&](Kvn16s** s) {
                   return kvniReconstructLumaInter4x4MB_H264_16s8u_C1R(s, c.u8(0), c.a[0], kLuma4x4, 28, c.f<Kvn16s>(1),
                                                                       0);
                 });
               }});
  k.push_back(
      {"kvniReconstructLumaInter4x4MB_H264_16s8u_C1R lossless", {inter}, {step()}, {lumaStream, scale16}, [](Call& c) {
         return with_stream<Kvn16s>(c, [&](Kvn16s** s) {
           return kvniReconstructLumaInter4x4MB_H264_16s8u_C1R(s, c.u8(0), c.a[0], kLuma4x4, 0, c.f<Kvn16s>(1), 1);
         });
       }});
  k.push_back({"kvniReconstructLumaInter8x8MB_H264_16s8u_C1R", {inter}, {step()}, {lumaStream, scale64}, [](Call& c) {
                 return with_stream<Kvn16s>(c, [&](Kvn16s** s) {
                   return kvniReconstructLumaInter8x8MB_H264_16s8u_C1R(s, c.u8(0), c.a[0], 0xF, 28, c.f<Kvn16s>(1), 0);
                 });
               }});
  k.push_back({"kvniReconstructLumaIntraMB_H264_16s8u_C1R",
               {intra},
               {step()},
               {lumaStream, table(modes<Kvn32s>(16))},
               [](Call& c) {
                 return with_stream<Kvn16s>(c, [&](Kvn16s** s) {
                   return kvniReconstructLumaIntraMB_H264_16s8u_C1R(s, c.u8(0), c.a[0], c.f<Kvn32s>(1), kLuma4x4, 28,
                                                                    0);
                 });
               }});
  k.push_back({"kvniReconstructLumaIntra4x4MB_H264_16s8u_C1R",
               {intra},
               {step()},
               {lumaStream, table(modes<Kvn32s>(16)), scale16},
               [](Call& c) {
                 return with_stream<Kvn16s>(c, [&](Kvn16s** s) {
                   return kvniReconstructLumaIntra4x4MB_H264_16s8u_C1R(s, c.u8(0), c.a[0], c.f<Kvn32s>(1), kLuma4x4, 28,
                                                                       0, c.f<Kvn16s>(2), 0);
                 });
               }});
  k.push_back({"kvniReconstructLumaIntra16x16MB_H264_16s8u_C1R", {intra}, {step()}, {lumaStream}, [](Call& c) {
                 return with_stream<Kvn16s>(c, [&](Kvn16s** s) {
                   return kvniReconstructLumaIntra16x16MB_H264_16s8u_C1R(s, c.u8(0), c.a[0], 3, kLuma16x16, 28, 0);
                 });
               }});
  k.push_back(
      {"kvniReconstructLumaIntra_16x16MB_H264_16s8u_C1R", {intra}, {step()}, {lumaStream, scale16}, [](Call& c) {
         return with_stream<Kvn16s>(c, [&](Kvn16s** s) {
           return kvniReconstructLumaIntra_16x16MB_H264_16s8u_C1R(s, c.u8(0), c.a[0], 3, kLuma16x16, 28, 0,
                                                                  c.f<Kvn16s>(1), 0);
         });
       }});
  k.push_back({"kvniReconstructLumaIntra8x8MB_H264_16s8u_C1R",
               {intra},
               {step()},
               {lumaStream, table(modes<Kvn32u>(4)), scale64},
               [](Call& c) {
                 return with_stream<Kvn16s>(c, [&](Kvn16s** s) {
                   return kvniReconstructLumaIntra8x8MB_H264_16s8u_C1R(s, c.u8(0), c.a[0], c.f<Kvn32u>(1), 0xF, 28, 0,
                                                                       c.f<Kvn16s>(2), 0);
                 });
               }});
  k.push_back({"kvniReconstructLumaIntraHalfMB_H264_16s8u_C1R",
               {half},
               {step(at_least(1))},
               {lumaStream, table(modes<Kvn32s>(8))},
               [](Call& c) {
                 return with_stream<Kvn16s>(c, [&](Kvn16s** s) {
                   return kvniReconstructLumaIntraHalfMB_H264_16s8u_C1R(s, c.u8(0), c.a[0], c.f<Kvn32s>(1), 0xFF, 28,
                                                                        0);
                 });
               }});
  k.push_back({"kvniReconstructLumaIntraHalf4x4MB_H264_16s8u_C1R",
               {half},
               {step()},
               {lumaStream, table(modes<Kvn32s>(8)), scale16},
               [](Call& c) {
                 return with_stream<Kvn16s>(c, [&](Kvn16s** s) {
                   return kvniReconstructLumaIntraHalf4x4MB_H264_16s8u_C1R(s, c.u8(0), c.a[0], c.f<Kvn32s>(1), 0xFF, 28,
                                                                           0, c.f<Kvn16s>(2), 0);
                 });
               }});
  k.push_back({"kvniReconstructLumaIntraHalf8x8MB_H264_16s8u_C1R",
               {half},
               {step()},
               {lumaStream, table(modes<Kvn32u>(2)), scale64},
               [](Call& c) {
                 return with_stream<Kvn16s>(c, [&](Kvn16s** s) {
                   return kvniReconstructLumaIntraHalf8x8MB_H264_16s8u_C1R(s, c.u8(0), c.a[0], c.f<Kvn32u>(1), 0x3, 28,
                                                                           0, c.f<Kvn16s>(2), 0);
                 });
               }});

  // Chroma: two planes sharing the step (P2R), or one interleaved plane (C2R).
  const std::vector<Plane> p2 = {p8(kInOut, 0, 8, 8), p8(kInOut, 0, 8, 8)},
                           p2i = {p8(kInOut, 0, 9, 9, -1, -1), p8(kInOut, 0, 9, 9, -1, -1)};
  const std::vector<Plane> c2 = {p8(kInOut, 0, 16, 8)}, c2i = {p8(kInOut, 0, 18, 9, -2, -1)};
  const Expect c2step = at_least(1);
  k.push_back({"kvniReconstructChromaInterMB_H264_16s8u_P2R", p2, {step()}, {chromaStream}, [](Call& c) {
                 return with_stream<Kvn16s>(c, [&](Kvn16s** s) {
                   return kvniReconstructChromaInterMB_H264_16s8u_P2R(s, c.u8(0), c.u8(1), c.a[0], kChroma, 30);
                 });
               }});
  k.push_back({"kvniReconstructChromaInterMB_H264_16s8u_C2R", c2, {step(c2step)}, {chromaStream}, [](Call& c) {
                 return with_stream<Kvn16s>(c, [&](Kvn16s** s) {
                   return kvniReconstructChromaInterMB_H264_16s8u_C2R(s, c.u8(0), c.a[0], kChroma, 30);
                 });
               }});
  k.push_back(
      {"kvniReconstructChromaInter4x4MB_H264_16s8u_P2R", p2, {step()}, {chromaStream, scale16, scale16}, [](Call& c) {
         return with_stream<Kvn16s>(c, [&](Kvn16s** s) {
           return kvniReconstructChromaInter4x4MB_H264_16s8u_P2R(s, c.u8(0), c.u8(1), c.a[0], kChroma, 30, 33,
                                                                 c.f<Kvn16s>(1), c.f<Kvn16s>(2), 0);
         });
       }});
  k.push_back({"kvniReconstructChromaInter4x4MB_H264_16s8u_C2R",
               c2,
               {step(at_least(1, 1))},
               {chromaStream, scale16, scale16},
               [](Call& c) {
                 return with_stream<Kvn16s>(c, [&](Kvn16s** s) {
                   return kvniReconstructChromaInter4x4MB_H264_16s8u_C2R(s, c.u8(0), c.a[0], kChroma, 30, 33,
                                                                         c.f<Kvn16s>(1), c.f<Kvn16s>(2), 0);
                 });
               }});
  k.push_back({"kvniReconstructChromaIntraMB_H264_16s8u_P2R", p2i, {step()}, {chromaStream}, [](Call& c) {
                 return with_stream<Kvn16s>(c, [&](Kvn16s** s) {
                   return kvniReconstructChromaIntraMB_H264_16s8u_P2R(s, c.u8(0), c.u8(1), c.a[0], 3, kChroma, 30, 0);
                 });
               }});
  k.push_back({"kvniReconstructChromaIntraMB_H264_16s8u_C2R", c2i, {step(c2step)}, {chromaStream}, [](Call& c) {
                 return with_stream<Kvn16s>(c, [&](Kvn16s** s) {
                   return kvniReconstructChromaIntraMB_H264_16s8u_C2R(s, c.u8(0), c.a[0], 3, kChroma, 30, 0);
                 });
               }});
  k.push_back(
      {"kvniReconstructChromaIntra4x4MB_H264_16s8u_P2R", p2i, {step()}, {chromaStream, scale16, scale16}, [](Call& c) {
         return with_stream<Kvn16s>(c, [&](Kvn16s** s) {
           return kvniReconstructChromaIntra4x4MB_H264_16s8u_P2R(s, c.u8(0), c.u8(1), c.a[0], 3, kChroma, 30, 33, 0,
                                                                 c.f<Kvn16s>(1), c.f<Kvn16s>(2), 0);
         });
       }});
  k.push_back({"kvniReconstructChromaIntra4x4MB_H264_16s8u_C2R",
               c2i,
               {step(at_least(1, 1))},
               {chromaStream, scale16, scale16},
               [](Call& c) {
                 return with_stream<Kvn16s>(c, [&](Kvn16s** s) {
                   return kvniReconstructChromaIntra4x4MB_H264_16s8u_C2R(s, c.u8(0), c.a[0], 3, kChroma, 30, 33, 0,
                                                                         c.f<Kvn16s>(1), c.f<Kvn16s>(2), 0);
                 });
               }});
  for (auto [name, halfs] : {std::pair{"kvniReconstructChromaIntraHalvesMB_H264_16s8u_P2R", false},
                             std::pair{"kvniReconstructChromaIntraHalfsMB_H264_16s8u_P2R", true}})
    k.push_back({name, p2i, {step()}, {chromaStream}, [halfs = halfs](Call& c) {
                   return with_stream<Kvn16s>(c, [&](Kvn16s** s) {
                     return (halfs ? kvniReconstructChromaIntraHalfsMB_H264_16s8u_P2R
                                   : kvniReconstructChromaIntraHalvesMB_H264_16s8u_P2R)(s, c.u8(0), c.u8(1), c.a[0], 0,
                                                                                        kChroma, 30, 0, 0);
                   });
                 }});
  k.push_back({"kvniReconstructChromaIntraHalvesMB_H264_16s8u_C2R", c2i, {step(c2step)}, {chromaStream}, [](Call& c) {
                 return with_stream<Kvn16s>(c, [&](Kvn16s** s) {
                   return kvniReconstructChromaIntraHalvesMB_H264_16s8u_C2R(s, c.u8(0), c.a[0], 2, kChroma, 30, 0, 0);
                 });
               }});
  for (auto [name, halfs] : {std::pair{"kvniReconstructChromaIntraHalves4x4MB_H264_16s8u_P2R", false},
                             std::pair{"kvniReconstructChromaIntraHalfs4x4MB_H264_16s8u_P2R", true}})
    k.push_back({name, p2i, {step()}, {chromaStream, scale16, scale16}, [halfs = halfs](Call& c) {
                   return with_stream<Kvn16s>(c, [&](Kvn16s** s) {
                     return (halfs ? kvniReconstructChromaIntraHalfs4x4MB_H264_16s8u_P2R
                                   : kvniReconstructChromaIntraHalves4x4MB_H264_16s8u_P2R)(
                         s, c.u8(0), c.u8(1), c.a[0], 2, kChroma, 30, 33, 0, 0, c.f<Kvn16s>(1), c.f<Kvn16s>(2), 0);
                   });
                 }});
  sweep(k);
}

// High-profile records: steps count samples and must hold the component's
// row (16 luma, 8 chroma: below 1 refused, below the width may be).
using Rec32 = KvnReconstructRecord32s16u;
using Rec8 = KvnReconstructRecord16s8u;

Rec32 rec32(Call& c, int plane, int32_t** stream, Kvn32u cbp, int table) {
  return {stream, c.p<Kvn16u>(plane), c.a[size_t(plane)], cbp, 40, c.f<Kvn16s>(table), 0, 10};
}

TEST(HostileArgs, H264ReconstructionHigh) {
  const Fixed lumaStream = inout(17 * 64, kSmall32), chromaStream = inout(272 * 4, kSmall32);
  const Fixed scale16 = fill_table<Kvn16s>(16, 20), scale64 = fill_table<Kvn16s>(64, 20);
  const Plane inter = p16(kInOut, 0, 16, 16, kSamples10), intra = p16(kInOut, 0, 25, 17, kSamples10, -1, -1),
              half = p16(kInOut, 0, 25, 9, kSamples10, -1, -1);
  const Expect luma = at_least(1, 16), chroma = at_least(1, 8);
  std::vector<Case> k;
  using Plain = KvnResult (*)(const Rec32*);
  for (auto [name, eight] : {std::pair{"kvniReconstructLumaInter4x4_H264High_32s16u_IP1R", false},
                             std::pair{"kvniReconstructLumaInter8x8_H264High_32s16u_IP1R", true}}) {
    const Plain f =
        eight ? kvniReconstructLumaInter8x8_H264High_32s16u_IP1R : kvniReconstructLumaInter4x4_H264High_32s16u_IP1R;
    k.push_back({name, {inter}, {step(luma, 2)}, {lumaStream, eight ? scale64 : scale16}, [f, eight = eight](Call& c) {
                   return with_stream<Kvn32s>(c, [&](Kvn32s** s) {
                     const Rec32 r = rec32(c, 0, s, eight ? 0xF : kLuma4x4, 1);
                     return f(&r);
                   });
                 }});
  }
  k.push_back({"kvniReconstructLumaInter4x4_H264High_32s16u_IP1R lossless",
               {inter},
               {step(luma, 2)},
               {lumaStream, scale16},
               [](Call& c) {
                 return with_stream<Kvn32s>(c, [&](Kvn32s** s) {
                   Rec32 r = rec32(c, 0, s, kLuma4x4, 1);
                   r.qp = 0, r.bypassFlag = 1;
                   return kvniReconstructLumaInter4x4_H264High_32s16u_IP1R(&r);
                 });
               }});
  k.push_back({"kvniReconstructLumaIntra16x16_H264High_32s16u_IP1R",
               {intra},
               {step(luma, 2)},
               {lumaStream, scale16},
               [](Call& c) {
                 return with_stream<Kvn32s>(c, [&](Kvn32s** s) {
                   const Rec32 r = rec32(c, 0, s, kLuma16x16, 1);
                   return kvniReconstructLumaIntra16x16_H264High_32s16u_IP1R(&r, 3, 0);
                 });
               }});
  k.push_back({"kvniReconstructLumaIntra4x4_H264High_32s16u_IP1R",
               {intra},
               {step(luma, 2)},
               {lumaStream, scale16, table(modes<int32_t>(16))},
               [](Call& c) {
                 return with_stream<Kvn32s>(c, [&](Kvn32s** s) {
                   const Rec32 r = rec32(c, 0, s, kLuma4x4, 1);
                   return kvniReconstructLumaIntra4x4_H264High_32s16u_IP1R(&r, c.f<int32_t>(2), 0);
                 });
               }});
  k.push_back({"kvniReconstructLumaIntra8x8_H264High_32s16u_IP1R",
               {intra},
               {step(luma, 2)},
               {lumaStream, scale64, table(modes<Kvn32u>(4))},
               [](Call& c) {
                 return with_stream<Kvn32s>(c, [&](Kvn32s** s) {
                   const Rec32 r = rec32(c, 0, s, 0xF, 1);
                   return kvniReconstructLumaIntra8x8_H264High_32s16u_IP1R(&r, c.f<Kvn32u>(2), 0);
                 });
               }});
  k.push_back({"kvniReconstructLumaIntraHalf4x4_H264High_32s16u_IP1R",
               {half},
               {step(luma, 2)},
               {lumaStream, scale16, table(modes<int32_t>(8))},
               [](Call& c) {
                 return with_stream<Kvn32s>(c, [&](Kvn32s** s) {
                   const Rec32 r = rec32(c, 0, s, 0x1FE, 1);
                   return kvniReconstructLumaIntraHalf4x4_H264High_32s16u_IP1R(&r, c.f<int32_t>(2), 0);
                 });
               }});
  k.push_back({"kvniReconstructLumaIntraHalf8x8_H264High_32s16u_IP1R",
               {half},
               {step(luma, 2)},
               {lumaStream, scale64, table(modes<Kvn32u>(2))},
               [](Call& c) {
                 return with_stream<Kvn32s>(c, [&](Kvn32s** s) {
                   const Rec32 r = rec32(c, 0, s, 0x3, 1);
                   return kvniReconstructLumaIntraHalf8x8_H264High_32s16u_IP1R(&r, c.f<Kvn32u>(2), 0);
                 });
               }});

  // Chroma: a Cb and a Cr record, each with its own plane and step, one shared
  // stream. 4:2:0 planes are 8x8, 4:2:2 planes 8x16.
  const auto planes = [](int elem, int h, bool intra) {
    const Fill fill = elem == 2 ? kSamples10 : kBytes;
    const int m = intra ? 1 : 0;
    return std::vector<Plane>{{elem, -m, 8 + m, -m, h + m, 0, kInOut, fill},
                              {elem, -m, 8 + m, -m, h + m, 1, kInOut, fill}};
  };
  const auto chroma32 = [](Call& c, int32_t** s, Kvn32u cbp, std::function<KvnResult(const Rec32* const*)> f) {
    const Rec32 cb = rec32(c, 0, s, cbp, 1), cr = rec32(c, 1, s, cbp, 1);
    const Rec32* const r[2] = {&cb, &cr};
    return f(r);
  };
  const auto chroma8 = [](Call& c, Kvn16s** s, std::function<KvnResult(const Rec8* const*)> f) {
    const Rec8 cb{s, c.u8(0), c.a[0], 0x1FF, 30, c.f<Kvn16s>(1), 0},
        cr{s, c.u8(1), c.a[1], 0x1FF, 30, c.f<Kvn16s>(1), 0};
    const Rec8* const r[2] = {&cb, &cr};
    return f(r);
  };
  const std::vector<Arg> steps16 = {step(chroma, 2), step(chroma, 2)}, steps8 = {step(chroma), step(chroma)};
  const Fixed stream8 = inout(272 * 2, kSmall16);
  k.push_back({"kvniReconstructChromaInter4x4_H264High_32s16u_IP2R",
               planes(2, 8, false),
               steps16,
               {chromaStream, scale16},
               [chroma32](Call& c) {
                 return with_stream<Kvn32s>(c, [&](Kvn32s** s) {
                   return chroma32(c, s, 0x1F, kvniReconstructChromaInter4x4_H264High_32s16u_IP2R);
                 });
               }});
  k.push_back({"kvniReconstructChromaIntra4x4_H264High_32s16u_IP2R",
               planes(2, 8, true),
               steps16,
               {chromaStream, scale16},
               [chroma32](Call& c) {
                 return with_stream<Kvn32s>(c, [&](Kvn32s** s) {
                   return chroma32(c, s, 0x1F, [](const Rec32* const* r) {
                     return kvniReconstructChromaIntra4x4_H264High_32s16u_IP2R(r, 3, 0);
                   });
                 });
               }});
  k.push_back({"kvniReconstructChromaIntraHalf4x4_H264High_32s16u_IP2R",
               planes(2, 8, true),
               steps16,
               {chromaStream, scale16},
               [chroma32](Call& c) {
                 return with_stream<Kvn32s>(c, [&](Kvn32s** s) {
                   return chroma32(c, s, 0x1F, [](const Rec32* const* r) {
                     return kvniReconstructChromaIntraHalf4x4_H264High_32s16u_IP2R(r, 2, 0, 0);
                   });
                 });
               }});
  k.push_back({"kvniReconstructChroma422Inter4x4_H264High_32s16u_IP2R",
               planes(2, 16, false),
               steps16,
               {chromaStream, scale16},
               [chroma32](Call& c) {
                 return with_stream<Kvn32s>(c, [&](Kvn32s** s) {
                   return chroma32(c, s, 0x1FF, [](const Rec32* const* r) {
                     return kvniReconstructChroma422Inter4x4_H264High_32s16u_IP2R(r, 20, 25);
                   });
                 });
               }});
  k.push_back({"kvniReconstructChroma422Intra4x4_H264High_32s16u_IP2R",
               planes(2, 16, true),
               steps16,
               {chromaStream, scale16},
               [chroma32](Call& c) {
                 return with_stream<Kvn32s>(c, [&](Kvn32s** s) {
                   return chroma32(c, s, 0x1FF, [](const Rec32* const* r) {
                     return kvniReconstructChroma422Intra4x4_H264High_32s16u_IP2R(r, 3, 0, 20, 25);
                   });
                 });
               }});
  k.push_back({"kvniReconstructChroma422IntraHalf4x4_H264High_32s16u_IP2R",
               planes(2, 16, true),
               steps16,
               {chromaStream, scale16},
               [chroma32](Call& c) {
                 return with_stream<Kvn32s>(c, [&](Kvn32s** s) {
                   return chroma32(c, s, 0x1FF, [](const Rec32* const* r) {
                     return kvniReconstructChroma422IntraHalf4x4_H264High_32s16u_IP2R(r, 0, 0, 0, 20, 25);
                   });
                 });
               }});
  k.push_back({"kvniReconstructChroma422Inter4x4_H264High_16s8u_IP2R",
               planes(1, 16, false),
               steps8,
               {stream8, scale16},
               [chroma8](Call& c) {
                 return with_stream<Kvn16s>(c, [&](Kvn16s** s) {
                   return chroma8(c, s, [](const Rec8* const* r) {
                     return kvniReconstructChroma422Inter4x4_H264High_16s8u_IP2R(r, 20, 25);
                   });
                 });
               }});
  k.push_back({"kvniReconstructChroma422Intra4x4_H264High_16s8u_IP2R",
               planes(1, 16, true),
               steps8,
               {stream8, scale16},
               [chroma8](Call& c) {
                 return with_stream<Kvn16s>(c, [&](Kvn16s** s) {
                   return chroma8(c, s, [](const Rec8* const* r) {
                     return kvniReconstructChroma422Intra4x4_H264High_16s8u_IP2R(r, 3, 0, 20, 25);
                   });
                 });
               }});
  k.push_back({"kvniReconstructChroma422IntraHalf4x4_H264High_16s8u_IP2R",
               planes(1, 16, true),
               steps8,
               {stream8, scale16},
               [chroma8](Call& c) {
                 return with_stream<Kvn16s>(c, [&](Kvn16s** s) {
                   return chroma8(c, s, [](const Rec8* const* r) {
                     return kvniReconstructChroma422IntraHalf4x4_H264High_16s8u_IP2R(r, 2, 0, 0, 20, 25);
                   });
                 });
               }});
  sweep(k);
}

// ---------------------------------------------------------------------------
// H.264 interpolation. Plain, Top and Bottom functions read 2 rows and
// columns before and 3 after a luma block (fractions dx = 2, dy = 1), one
// after a chroma block; 8-bit steps are not checked, 16-bit ones must hold
// the block. Sizes outside the partition sizes are refused.

// Rows outside the picture: 0 or fewer keep every row the filter reads inside
// the block's region; larger counts name an edge row beyond it.
const std::vector<int32_t> kOutsideRows = {0, -1, -2, -16, INT32_MIN, -(1 << 30), 1 << 30, INT32_MAX};
Expect outside_rows(bool negativeRefused) {
  return [negativeRefused](int32_t v) {
    return v > 0 ? int32_t(kSkip) : v < 0 && negativeRefused ? int32_t(KVN_STS_OUT_OF_RANGE) : int32_t(kAccepted);
  };
}

using Luma8 = KvnResult (*)(const Kvn8u*, int32_t, Kvn8u*, int32_t, int32_t, int32_t, KvnSize);
using Edge8 = KvnResult (*)(const Kvn8u*, int32_t, Kvn8u*, int32_t, int32_t, int32_t, int32_t, KvnSize);
using Interp16 = KvnResult (*)(const KvnInterpolationRecord16u*);
using Edge16 = KvnResult (*)(const KvnInterpolationRecord16u*, int32_t);

// Luma (margin 2 before, 3 after) or chroma (1 after) source and destination.
std::vector<Plane> interp_planes(int elem, bool luma, int w, int h) {
  const Fill fill = elem == 2 ? kSamples10 : kBytes;
  const int before = luma ? 2 : 0, extra = luma ? 5 : 1;
  return {{elem, -before, w + extra, -before, h + extra, 0, kIn, fill}, {elem, 0, w, 0, h, 1, kOut, fill}};
}
Case interp8(const char* name, Luma8 f, bool luma, int w, int h) {
  const int32_t dx = luma ? 2 : 3, dy = luma ? 1 : 5;
  return {name,
          interp_planes(1, luma, w, h),
          {step(), step(), size(w, error(KVN_STS_SIZE_ERR)), size(h, error(KVN_STS_SIZE_ERR))},
          {},
          [f, dx, dy](Call& c) { return f(c.u8(0), c.a[0], c.u8(1), c.a[1], dx, dy, c.sz(2)); }};
}
Case edge8(const char* name, Edge8 f, bool luma, bool top, int w, int h) {
  Case k = interp8(name, nullptr, luma, w, h);
  k.args.push_back(count(0, outside_rows(top && !luma), kOutsideRows));
  const int32_t dx = luma ? 1 : 2, dy = luma ? 3 : 7;
  k.call = [f, dx, dy](Call& c) { return f(c.u8(0), c.a[0], c.u8(1), c.a[1], dx, dy, c.a[4], c.sz(2)); };
  return k;
}
// 16-bit records: steps in samples, below the width (luma) or 8 (chroma)
// refused before the size; a width beyond the steps so fails the step check.
Case interp16(const char* name, Interp16 f, bool luma, int w, int h) {
  const int32_t lo = luma ? w : 8, dx = luma ? 3 : 1, dy = luma ? 2 : 4;
  const Expect width = luma ? width_of(w) : error(KVN_STS_SIZE_ERR);
  return {name,
          interp_planes(2, luma, w, h),
          {step(at_least(lo), 2, lo), step(at_least(lo), 2, lo), size(w, width), size(h, error(KVN_STS_SIZE_ERR))},
          {},
          [f, dx, dy](Call& c) {
            const KvnInterpolationRecord16u r{c.p<Kvn16u>(0), c.a[0], c.p<Kvn16u>(1), c.a[1], dx, dy, c.sz(2), 10};
            return f(&r);
          }};
}
Case edge16(const char* name, Edge16 f, bool luma, bool top, int w, int h) {
  Case k = interp16(name, nullptr, luma, w, h);
  k.args.push_back(count(0, outside_rows(top && !luma), kOutsideRows));
  const int32_t dx = luma ? 0 : 5, dy = luma ? 2 : 1;
  k.call = [f, dx, dy](Call& c) {
    const KvnInterpolationRecord16u r{c.p<Kvn16u>(0), c.a[0], c.p<Kvn16u>(1), c.a[1], dx, dy, c.sz(2), 10};
    return f(&r, c.a[4]);
  };
  return k;
}

// Block functions: a reference picture, a block and a vector. At the edge:
// a 4x4 block at (0, 0) moved up and left by a fraction, so the region is
// padded from the picture's first rows and columns; inside: a block whose
// region lies in the picture. A picture of no samples is refused when the
// block moved; a larger one changes nothing, the region staying where it is.
enum BlockKind { kLuma8, kLuma16, kChromaP2, kChromaC2P2, kChromaC2C2, kChroma16 };

Case block(const char* name, BlockKind kind, bool edge) {
  const bool luma = kind == kLuma8 || kind == kLuma16, wide = kind == kLuma16 || kind == kChroma16;
  const bool c2 = kind == kChromaC2P2 || kind == kChromaC2C2;
  const int elem = wide ? 2 : 1, frame = edge ? 8 : 16, pair = c2 ? 2 : 1;
  const Fill fill = wide ? kSamples10 : kBytes;
  std::vector<Plane> planes = {{elem, 0, frame * pair, 0, frame, 0, kIn, fill}};
  if (kind == kChromaP2 || kind == kChroma16) planes.push_back(planes[0]);
  const int dstPlanes = kind == kLuma8 || kind == kLuma16 || kind == kChromaC2C2 ? 1 : 2;
  for (int i = 0; i < dstPlanes; ++i)
    planes.push_back({elem, 0, 4 * (kind == kChromaC2C2 ? 2 : 1), 0, 4, 1, kOut, fill});
  const Expect picture = [](int32_t v) { return v < 1 ? int32_t(KVN_STS_SIZE_ERR) : int32_t(kSame); };
  const int32_t pos = edge ? 0 : 4, mvx = edge ? -1 : luma ? 5 : 9, mvy = edge ? -3 : luma ? 6 : 10;
  return {name,
          planes,
          {step(same(), elem), step(same(), elem), size(frame, picture), size(frame, picture),
           size(4, error(KVN_STS_SIZE_ERR)), size(4, error(KVN_STS_SIZE_ERR))},
          {},
          [kind, pos, mvx, mvy, dstPlanes](Call& c) {
            const size_t n = c.planes.size();
            const int src2 = int(n) - dstPlanes - 1;
            if (kind == kLuma16 || kind == kChroma16) {
              const KvnInterpolationBlockRecord16u r{{c.p<Kvn16u>(0), c.p<Kvn16u>(src2)},
                                                     c.a[0],
                                                     {c.p<Kvn16u>(int(n) - dstPlanes), c.p<Kvn16u>(int(n) - 1)},
                                                     c.a[1],
                                                     c.sz(2),
                                                     c.sz(4),
                                                     {pos, pos},
                                                     {mvx, mvy},
                                                     10};
              return kind == kLuma16 ? kvniInterpolateLumaBlock_H264_16u_P1R(&r)
                                     : kvniInterpolateChromaBlock_H264_16u_P2R(&r);
            }
            const KvnInterpolationBlockRecord8u r{{c.u8(0), c.u8(src2)},
                                                  c.a[0],
                                                  {c.u8(int(n) - dstPlanes), c.u8(int(n) - 1)},
                                                  c.a[1],
                                                  c.sz(2),
                                                  c.sz(4),
                                                  {pos, pos},
                                                  {mvx, mvy}};
            switch (kind) {
              case kLuma8: return kvniInterpolateLumaBlock_H264_8u_P1R(&r);
              case kChromaP2: return kvniInterpolateChromaBlock_H264_8u_P2R(&r);
              case kChromaC2P2: return kvniInterpolateChromaBlock_H264_8u_C2P2R(&r);
              default: return kvniInterpolateChromaBlock_H264_8u_C2C2R(&r);
            }
          }};
}

TEST(HostileArgs, H264Interpolation) {
  std::vector<Case> k = {
      interp8(FN(kvniInterpolateLuma_H264_8u_C1R), true, 8, 16),
      interp8(FN(kvniInterpolateChroma_H264_8u_C1R), false, 4, 8),
      edge8(FN(kvniInterpolateLumaTop_H264_8u_C1R), true, true, 16, 8),
      edge8(FN(kvniInterpolateLumaBottom_H264_8u_C1R), true, false, 16, 8),
      edge8(FN(kvniInterpolateChromaTop_H264_8u_C1R), false, true, 8, 4),
      edge8(FN(kvniInterpolateChromaBottom_H264_8u_C1R), false, false, 8, 4),
      interp16(FN(kvniInterpolateLuma_H264_16u_C1R), true, 8, 8),
      interp16(FN(kvniInterpolateChroma_H264_16u_C1R), false, 4, 8),
      edge16(FN(kvniInterpolateLumaTop_H264_16u_C1R), true, true, 16, 8),
      edge16(FN(kvniInterpolateLumaBottom_H264_16u_C1R), true, false, 16, 8),
      edge16(FN(kvniInterpolateChromaTop_H264_16u_C1R), false, true, 4, 4),
      edge16(FN(kvniInterpolateChromaBottom_H264_16u_C1R), false, false, 8, 2),
  };
  for (bool edge : {true, false}) {
    k.push_back(block("kvniInterpolateLumaBlock_H264_8u_P1R", kLuma8, edge));
    k.push_back(block("kvniInterpolateLumaBlock_H264_16u_P1R", kLuma16, edge));
    k.push_back(block("kvniInterpolateChromaBlock_H264_8u_P2R", kChromaP2, edge));
    k.push_back(block("kvniInterpolateChromaBlock_H264_8u_C2P2R", kChromaC2P2, edge));
    k.push_back(block("kvniInterpolateChromaBlock_H264_8u_C2C2R", kChromaC2C2, edge));
    k.push_back(block("kvniInterpolateChromaBlock_H264_16u_P2R", kChroma16, edge));
  }
  // Interleaved source, two planes out sharing a step.
  k.push_back({"kvniInterpolateChroma_H264_8u_C2P2R",
               {p8(kIn, 0, 10, 5), p8(kOut, 1, 4, 4), p8(kOut, 1, 4, 4)},
               {step(), step(), size(4, error(KVN_STS_SIZE_ERR)), size(4, error(KVN_STS_SIZE_ERR))},
               {},
               [](Call& c) {
                 return kvniInterpolateChroma_H264_8u_C2P2R(c.u8(0), c.a[0], c.u8(1), c.u8(2), c.a[1], 6, 2, c.sz(2));
               }});
  // Averages: width and height 2..16 as unsigned values; steps not checked.
  const Expect side = error(KVN_STS_SIZE_ERR);
  k.push_back({"kvniInterpolateBlock_H264_8u_P2P1R",
               {p8(kIn, 0, 6, 6), p8(kIn, 0, 6, 6), p8(kOut, 0, 6, 6)},
               {step(), size(6, side), size(6, side)},
               {},
               [](Call& c) {
                 return kvniInterpolateBlock_H264_8u_P2P1R(c.u8(0), c.u8(1), c.u8(2), uint32_t(c.a[1]),
                                                           uint32_t(c.a[2]), c.a[0]);
               }});
  k.push_back({"kvniInterpolateBlock_H264_8u_P3P1R",
               {p8(kIn, 0, 6, 6), p8(kIn, 1, 6, 6), p8(kOut, 2, 6, 6)},
               {step(), step(), step(), size(6, side), size(6, side)},
               {},
               [](Call& c) {
                 return kvniInterpolateBlock_H264_8u_P3P1R(c.u8(0), c.u8(1), c.u8(2), uint32_t(c.a[3]),
                                                           uint32_t(c.a[4]), c.a[0], c.a[1], c.a[2]);
               }});
  // Border expansion of a 16x8 plane by 4: |step| must hold a row with both
  // borders (a negative step expands a bottom-up plane); an even height
  // beyond the plane designates more rows than it has.
  for (int32_t field : {0, 1, 2})
    k.push_back(
        {"kvniExpandPlane_H264_8u_C1R field " + std::to_string(field),
         {p8(kInOut, 2, 24, 16, -4, -4)},
         {size(16, [](int32_t v) { return v < 1 ? int32_t(KVN_STS_SIZE_ERR) : int32_t(KVN_STS_STEP_ERR); }),
          size(8, [](int32_t v) { return v < 2 || (v & 1) ? int32_t(KVN_STS_SIZE_ERR) : int32_t(kSkip); }),
          step([](int32_t v) { return (v < 0 ? -int64_t(v) : v) < 24 ? int32_t(KVN_STS_STEP_ERR) : int32_t(kSame); }),
          size(4,
               [](int32_t v) {
                 return v == 0 ? int32_t(kNoOutput) : v < 0 ? int32_t(KVN_STS_SIZE_ERR) : int32_t(KVN_STS_STEP_ERR);
               })},
         {},
         [field](Call& c) { return kvniExpandPlane_H264_8u_C1R(c.u8(0), c.a[0], c.a[1], c.a[2], c.a[3], field); }});
  sweep(k);
}

// ---------------------------------------------------------------------------
// H.264 weighted prediction: steps below the block's row are refused (8-bit
// argument lists: negative steps too), then sizes other than 2, 4, 8, 16.
// Exceptions: the implicit P3P1R member checks neither and does nothing for
// an empty block; the 16-bit rounded average checks no step and takes any
// size from 2 to 16; the second source step of the interleaved two-list
// function is not checked.

constexpr int kW = 8, kH = 4;  // block of the valid calls (interleaved: pairs)

TEST(HostileArgs, H264Weighting) {
  const Expect row = at_least(kW), pairs = at_least(2 * kW), sz = error(KVN_STS_SIZE_ERR);
  const Arg width = size(kW, width_of(kW)), height = size(kH, sz);
  std::vector<Case> k;
  for (auto [name, alias] :
       {std::pair{"kvniUniDirWeightBlock_H264_8u_C1R", false}, std::pair{"kvniUniDirWeightBlock_H264_8u_C1IR", true}})
    k.push_back({name, {p8(kInOut, 0, kW, kH)}, {step(row), width, height}, {}, [alias = alias](Call& c) {
                   return (alias ? kvniUniDirWeightBlock_H264_8u_C1IR : kvniUniDirWeightBlock_H264_8u_C1R)(
                       c.u8(0), c.a[0], 5, 40, -3, c.sz(1));
                 }});
  k.push_back(
      {"kvniUnidirWeight_H264_16u_IP2P1R",
       {p16(kInOut, 0, kW, kH, kSamples10)},
       {step(row, 2), width, height},
       {},
       [](Call& c) { return kvniUnidirWeight_H264_16u_IP2P1R(c.p<Kvn16u>(0), c.a[0], 5, 40, -3, c.sz(1), 10); }});
  k.push_back({"kvniUniDirWeightBlock_H264_8u_C2R",
               {p8(kInOut, 0, 2 * kW, kH)},
               {step(pairs), size(kW, width_of(kW)), height},
               {},
               [](Call& c) {
                 const KvnWeightBlockRecord8u r{nullptr, 0, nullptr, 0, c.u8(0), c.a[0], c.sz(1)};
                 const KvnWeightParams8u q{5, 40, -20, 3, -3};
                 return kvniUniDirWeightBlock_H264_8u_C2R(&r, &q);
               }});
  const std::vector<Plane> two = {p8(kIn, 0, kW, kH), p8(kIn, 0, kW, kH), p8(kOut, 1, kW, kH)};
  const std::vector<Plane> three = {p8(kIn, 0, kW, kH), p8(kIn, 1, kW, kH), p8(kOut, 2, kW, kH)};
  k.push_back({"kvniBiDirWeightBlock_H264_8u_P2P1R", two, {step(row), step(row), width, height}, {}, [](Call& c) {
                 return kvniBiDirWeightBlock_H264_8u_P2P1R(c.u8(0), c.u8(1), c.u8(2), c.a[0], c.a[1], 5, 40, 3, 24, -2,
                                                           c.sz(2));
               }});
  k.push_back(
      {"kvniBiDirWeightBlock_H264_8u_P3P1R", three, {step(row), step(row), step(row), width, height}, {}, [](Call& c) {
         return kvniBiDirWeightBlock_H264_8u_P3P1R(c.u8(0), c.u8(1), c.u8(2), c.a[0], c.a[1], c.a[2], 5, 40, 3, 24, -2,
                                                   c.sz(3));
       }});
  k.push_back(
      {"kvniBiDirWeightBlockImplicit_H264_8u_P2P1R", two, {step(row), step(row), width, height}, {}, [](Call& c) {
         return kvniBiDirWeightBlockImplicit_H264_8u_P2P1R(c.u8(0), c.u8(1), c.u8(2), c.a[0], c.a[1], 40, 24, c.sz(2));
       }});
  const Expect any = [](int32_t v) { return v < 1 ? int32_t(kNoOutput) : int32_t(kSkip); };
  k.push_back({"kvniBiDirWeightBlockImplicit_H264_8u_P3P1R",
               three,
               {step(), step(), step(), size(kW, any), size(kH, any)},
               {},
               [](Call& c) {
                 return kvniBiDirWeightBlockImplicit_H264_8u_P3P1R(c.u8(0), c.u8(1), c.u8(2), c.a[0], c.a[1], c.a[2],
                                                                   40, 24, c.sz(3));
               }});
  k.push_back(
      {"kvniWeightedAverage_H264_8u_C1IR",
       {p8(kIn, 0, kW, kH), p8(kInOut, 0, kW, kH)},
       {step(row), width, height},
       {},
       [](Call& c) { return kvniWeightedAverage_H264_8u_C1IR(c.u8(0), c.u8(1), c.a[0], 40, 24, 6, -2, c.sz(1)); }});
  k.push_back({"kvniBiDirWeightBlock_H264_8u_C2R",
               {p8(kIn, 0, 2 * kW, kH), p8(kIn, 1, 2 * kW, kH), p8(kOut, 2, 2 * kW, kH)},
               {step(pairs), step(), step(pairs), size(kW, width_of(kW)), height},
               {},
               [](Call& c) {
                 const KvnWeightBlockRecord8u r{c.u8(0), c.a[0], c.u8(1), c.a[1], c.u8(2), c.a[2], c.sz(3)};
                 const KvnWeightParams8u p{5, 40, -20, 3, -3}, q{5, 24, 50, -1, 7};
                 return kvniBiDirWeightBlock_H264_8u_C2R(&r, &p, &q);
               }});
  // 16-bit two-list records (steps in samples).
  const std::vector<Plane> rec = {p16(kIn, 0, kW, kH, kSamples10), p16(kIn, 1, kW, kH, kSamples10),
                                  p16(kOut, 2, kW, kH, kSamples10)};
  const auto bidir = [](Call& c) {
    return KvnBidirRecord16u{c.p<Kvn16u>(0), c.a[0], c.p<Kvn16u>(1), c.a[1], c.p<Kvn16u>(2), c.a[2], c.sz(3), 10};
  };
  k.push_back({"kvniBidirWeight_H264_16u_P2P1R",
               rec,
               {step(row, 2), step(row, 2), step(row, 2), width, height},
               {},
               [bidir](Call& c) {
                 const KvnBidirRecord16u r = bidir(c);
                 return kvniBidirWeight_H264_16u_P2P1R(&r, 5, 40, 3, 24, -2);
               }});
  k.push_back({"kvniBidirWeightImplicit_H264_16u_P2P1R",
               rec,
               {step(row, 2), step(row, 2), step(row, 2), width, height},
               {},
               [bidir](Call& c) {
                 const KvnBidirRecord16u r = bidir(c);
                 return kvniBidirWeightImplicit_H264_16u_P2P1R(&r, 40, 24);
               }});
  k.push_back({"kvniBidir_H264_16u_P2P1R",
               rec,
               {step(same(), 2), step(same(), 2), step(same(), 2), size(kW, sz), size(kH, sz)},
               {},
               [bidir](Call& c) {
                 const KvnBidirRecord16u r = bidir(c);
                 return kvniBidir_H264_16u_P2P1R(&r);
               }});
  sweep(k);
}

// ---------------------------------------------------------------------------
// H.264 CAVLC: the coefficient counts and scan ranges, refused outside their
// ranges before anything is read or written. The decoders read a coeff_token
// of the 6-bit form (nC 8): 000011, no coefficients.

std::vector<int32_t> scan_order() {
  std::vector<int32_t> s(16);
  for (int i = 0; i < 16; ++i) s[size_t(i)] = (i * 7) & 15;
  return s;
}

TEST(HostileArgs, H264Cavlc) {
  const std::vector<int32_t> counts = {0, -1, 1, 14, 17, -32768, 32767};
  const std::vector<int32_t> indices = {-1, 16, 255, INT32_MIN, 1 << 30, INT32_MAX};
  const Fixed stream = table(std::vector<Kvn32u>{0x0C000000u, 0u}), offset = table(std::vector<Kvn32u>{31});
  const Fixed dummy = table(std::vector<Kvn32s>{1, 0xF0F100, 0xF0F100});
  // Calls f(&word, &bit, &numCoeff, &buffer, tables, scan) and notes how far
  // the position moved.
  const auto decode = [](Call& c, auto f) {
    Kvn32u* w = c.f<Kvn32u>(0);
    Kvn16s* buf = c.f<Kvn16s>(3);
    const Kvn32s* t = c.f<Kvn32s>(4);
    const Kvn32s* const tables[16] = {t, t, t, t, t, t, t, t, t, t, t, t, t, t, t, t};
    const KvnResult st = f(&w, c.f<Kvn32u>(1), c.f<Kvn16s>(2), &buf, tables, c.f<Kvn32s>(5));
    c.note = (w - c.f<Kvn32u>(0)) * 32 + *c.f<Kvn32u>(1) + (buf - c.f<Kvn16s>(3)) * 1000;
    return st;
  };
  const std::vector<Fixed> decodeBuffers = {stream, offset, out(2), out(32), dummy, table(scan_order())};
  std::vector<Case> k;
  for (bool wide : {false, true})
    k.push_back(
        {wide ? "kvniDecodeCAVLCCoeffs_H264_1u32s" : "kvniDecodeCAVLCCoeffs_H264_1u16s",
         {},
         {count(
             16, [](int32_t v) { return v == 15 ? int32_t(kAccepted) : int32_t(KVN_STS_OUT_OF_RANGE); }, counts)},
         decodeBuffers,
         [decode, wide](Call& c) {
           return decode(
               c, [&](Kvn32u** w, Kvn32u* b, Kvn16s* n, Kvn16s** buf, const Kvn32s* const* t, const Kvn32s* scan) {
                 return wide ? kvniDecodeCAVLCCoeffs_H264_1u32s(w, b, n, reinterpret_cast<Kvn32s**>(buf), 8,
                                                                Kvn16s(c.a[0]), t, t, t, scan)
                             : kvniDecodeCAVLCCoeffs_H264_1u16s(w, b, n, buf, 8, Kvn16s(c.a[0]), t, t, t, scan);
               });
         }});
  k.push_back({"kvniDecodeCAVLCCoeffsIdxs_H264_1u16s",
               {},
               {count(16, index_range(1, 16), counts), count(0, index_range(0, 15), indices),
                count(15, index_range(0, 15), indices)},
               decodeBuffers,
               [decode](Call& c) {
                 return decode(c, [&](Kvn32u** w, Kvn32u* b, Kvn16s* n, Kvn16s** buf, const Kvn32s* const* t,
                                      const Kvn32s* scan) {
                   return kvniDecodeCAVLCCoeffsIdxs_H264_1u16s(w, b, n, buf, 8, Kvn16s(c.a[0]), t, t, t, scan, c.a[1],
                                                               c.a[2]);
                 });
               }});
  // The analysis: end index at most 15 and not below the start index.
  const std::vector<Fixed> analysis16 = {in(32, kSmall16), table(scan_order()), out(1), out(1), out(1), out(1), out(32),
                                         out(16)};
  k.push_back(
      {"kvniEncodeCoeffsCAVLC_H264_16s",
       {},
       {count(0, error(KVN_STS_OUT_OF_RANGE), {16, 128, 255}), count(15, error(KVN_STS_OUT_OF_RANGE), {16, 128, 255})},
       analysis16,
       [](Call& c) {
         return kvniEncodeCoeffsCAVLC_H264_16s(c.f<Kvn16s>(0), Kvn8u(c.a[0]), c.f<Kvn32s>(1), Kvn8u(c.a[1]),
                                               c.f<Kvn8u>(2), c.f<Kvn8u>(3), c.f<Kvn8u>(4), c.f<Kvn8u>(5),
                                               c.f<Kvn16s>(6), c.f<Kvn8u>(7));
       }});
  const std::vector<Fixed> analysis32 = {in(64, kSmall32), table(scan_order()), out(1), out(1), out(1), out(1), out(64),
                                         out(16)};
  k.push_back({"kvniEncodeCoeffsCAVLC_H264_32s",
               {},
               {count(1, index_range(0, 15), indices), count(15, index_range(1, 15), indices)},
               analysis32,
               [](Call& c) {
                 return kvniEncodeCoeffsCAVLC_H264_32s(c.f<Kvn32s>(0), c.a[0], c.f<Kvn32s>(1), c.a[1], c.f<Kvn8u>(2),
                                                       c.f<Kvn8u>(3), c.f<Kvn8u>(4), c.f<Kvn8u>(5), c.f<Kvn32s>(6),
                                                       c.f<Kvn8u>(7));
               }});
  sweep(k);
}

}  // namespace
