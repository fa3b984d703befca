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
#include <memory>
#include <string>
#include <tuple>
#include <type_traits>
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
#include "rng.h"

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
// Steps below lo are refused, those below hi may be.
Expect at_least(int32_t lo, int32_t hi = INT32_MIN) {
  return [lo, hi](int32_t v) { return v < lo ? KVN_STS_STEP_ERR : v < hi ? int32_t(kEither) : int32_t(kSame); };
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
std::vector<Arg> steps(int n, const Expect& e = same(), int unit = 1) {
  return std::vector<Arg>(size_t(n), step(e, unit));
}
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
  // Pointers into fixed buffers passed by address (streams), one of each
  // element type, and where they started.
  std::tuple<Kvn16s*, Kvn32s*, Kvn32u*, Kvn8u*> cursor{}, start{};
  template <class T>
  T* f(int i) const {
    return reinterpret_cast<T*>(fixed[size_t(i)]);
  }
  // How far the streams moved; compared with the valid call.
  int64_t moved() const {
    return (std::get<0>(cursor) - std::get<0>(start)) + (std::get<1>(cursor) - std::get<1>(start)) +
           (std::get<2>(cursor) - std::get<2>(start)) + (std::get<3>(cursor) - std::get<3>(start));
  }
};

struct Case {
  std::string name;
  std::vector<Plane> planes;
  std::vector<Arg> args;
  std::vector<Fixed> fixed;
  std::function<KvnResult(Call&)> call;
};

void fill_bytes(uint8_t* p, size_t n, Fill fill, kvntest::Rng& rng) {
  for (size_t i = 0; i < n;) {
    const uint32_t r = rng.u32();
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
    poison(false);
    if (map_) munmap(map_, map_bytes_);
    std::free(alloc_);
  }
  Rows(const Rows&) = delete;
  Rows& operator=(const Rows&) = delete;

  uint8_t* row(int y) const { return mem_ + (int64_t(y) * step_ - lo_); }  // at column x0
  uint8_t* origin() const { return row(0) - int64_t(plane_.x0) * plane_.elem; }
  // Rows overlap (a written plane then has no defined content).
  bool overlapping() const { return plane_.h > 1 && (step_ < 0 ? -step_ : step_) < bytes_; }

  void fill(kvntest::Rng& rng) {
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
  void poison(bool on = true) {
    for (const Gap& g : gaps_) on ? ASAN_POISON_MEMORY_REGION(g.p, g.n) : ASAN_UNPOISON_MEMORY_REGION(g.p, g.n);
  }
  bool guards_intact() {
    poison(false);
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
  void fill(const Case& k, kvntest::Rng& rng) {
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
  if (v.empty() && a.step) v = {0, -1, -valid, valid - 1, INT32_MIN, -(1 << 30), 1 << 30, INT32_MAX};
  if (v.empty()) v = {0, -1, -2, -16, 32, INT32_MIN, 1 << 30, 0x7FFFFFF0, INT32_MAX};
  if (a.step && even_steps(k, i))
    for (int32_t& x : v) x &= ~1;
  std::sort(v.begin(), v.end());
  v.erase(std::unique(v.begin(), v.end()), v.end());
  v.erase(std::remove(v.begin(), v.end(), valid), v.end());
  return v;
}

const char* buffer_name(const Case& k, size_t i) { return i < k.planes.size() ? "plane" : "fixed buffer"; }

// Each case draws its buffers' contents from a generator of its own name.
void sweep(const std::vector<Case>& cases) {
  SCOPED_TRACE(kvntest::seed_note());
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    kvntest::Rng rng = kvntest::rng_for(k.name);
    const std::vector<int32_t> valid = valid_args(k);
    for (int i = 0; i < int(k.args.size()); ++i)
      for (const int32_t v : hostile_values(k, i, valid[size_t(i)])) {
        const int32_t want = k.args[size_t(i)].expect(v);
        if (want == kSkip) continue;
        SCOPED_TRACE(testing::Message() << (k.args[size_t(i)].step ? "step" : "size") << " argument " << i << " = "
                                        << v);
        std::vector<int32_t> args = valid;
        args[size_t(i)] = v;
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
          EXPECT_EQ(hs, want == kEither ? hs : want < 0 ? want : int32_t(KVN_STS_OK));  // kEither: any error
          for (size_t b = 0; b < after.size(); ++b)
            EXPECT_TRUE(after[b] == before[b]) << buffer_name(k, b) << " " << b << " written by a refused call";
          continue;
        }
        EXPECT_GE(hs, 0);
        if (want != kSame) continue;
        EXPECT_EQ(hs, ps);
        EXPECT_EQ(hc.moved(), pc.moved());
        if (k.args[size_t(i)].step && hostile.written_plane_overlaps(k)) continue;
        const auto expected = plain.snapshot();
        for (size_t b = 0; b < after.size(); ++b)
          EXPECT_TRUE(after[b] == expected[b]) << buffer_name(k, b) << " " << b << " differs from the valid call";
      }
  }
}

// ---------------------------------------------------------------------------
// Calls: a function's arguments bound to the buffers and arguments of its
// case. pN and fN: plane and fixed buffer N, as the pointer type of the
// parameter; aN: step or size argument N; zN: the size {aN, aN+1};
// S<T>{N} (s16, s32: N = 0): the address of a pointer into fixed buffer N (a
// stream); Tables{N}: 16 pointers to fixed buffer N; rec<R>(...): the address
// of an R made of such arguments; Two{rec, rec}: the addresses of two records
// in an array. Any other value is passed as it is.

template <char Kind>
struct Ix {
  int i;
};
using P = Ix<'p'>;
using F = Ix<'f'>;
using A = Ix<'a'>;
using Z = Ix<'z'>;
using Tables = Ix<'t'>;
template <class T>
struct S {
  int i;
};
template <class R, class... X>
struct Rec {
  std::tuple<X...> xs;
};
template <class X>
struct Two {
  X a, b;
};
constexpr P p0{0}, p1{1}, p2{2}, p3{3}, p4{4};
constexpr F f0{0}, f1{1}, f2{2}, f3{3}, f4{4}, f5{5}, f6{6}, f7{7};
constexpr A a0{0}, a1{1}, a2{2}, a3{3}, a4{4};
constexpr Z z1{1}, z2{2}, z3{3}, z4{4};
constexpr S<Kvn16s> s16{0};
constexpr S<Kvn32s> s32{0};
template <class R, class... X>
Rec<R, X...> rec(X... xs) {
  return {{xs...}};
}

struct Ptr {
  uint8_t* p;
  template <class T>
  operator T*() const {
    return reinterpret_cast<T*>(p);
  }
};
struct TablesArg {
  const Kvn32s* t[16];
  operator const Kvn32s* const*() const { return t; }
};
template <class R>
struct RecArg {
  R r;
  operator const R*() const { return &r; }
};
template <class R>
struct TwoArg {
  RecArg<R> a, b;
  const R* p[2];
  operator const R* const*() {
    p[0] = &a.r, p[1] = &b.r;
    return p;
  }
};

template <class V>
V get(Call&, const V& v) {
  return v;
}
Ptr get(Call& c, P x) { return {c.planes[size_t(x.i)]}; }
Ptr get(Call& c, F x) { return {c.fixed[size_t(x.i)]}; }
int32_t get(Call& c, A x) { return c.a[size_t(x.i)]; }
KvnSize get(Call& c, Z x) { return {c.a[size_t(x.i)], c.a[size_t(x.i) + 1]}; }
template <class T>
T** get(Call& c, S<T> x) {
  std::get<T*>(c.start) = std::get<T*>(c.cursor) = c.f<T>(x.i);
  return &std::get<T*>(c.cursor);
}
TablesArg get(Call& c, Tables x) {
  TablesArg a;
  std::fill(std::begin(a.t), std::end(a.t), c.f<Kvn32s>(x.i));
  return a;
}
template <class R, class... X>
RecArg<R> get(Call& c, const Rec<R, X...>& x) {
  return std::apply([&c](const auto&... v) { return RecArg<R>{R{get(c, v)...}}; }, x.xs);
}
template <class R, class... X>
TwoArg<R> get(Call& c, const Two<Rec<R, X...>>& x) {
  return {get(c, x.a), get(c, x.b), {}};
}

template <class Fn, class... X>
Case fn(std::string name, Fn f, std::vector<Plane> planes, std::vector<Arg> args, std::vector<Fixed> fixed, X... xs) {
  return {std::move(name), std::move(planes), std::move(args), std::move(fixed),
          [f, xs...](Call& c) { return KvnResult(f(get(c, xs)...)); }};
}

#define FN(f) #f, f

// ---------------------------------------------------------------------------
// Shapes shared by many functions.

constexpr int kMode = 12;  // half-sample modes read both an extra row and column

// A w x h plane of T (16-bit: 14-bit samples).
template <class T>
Plane pt(Role role, int arg, int w, int h) {
  return {int(sizeof(T)), 0, w, 0, h, arg, role, sizeof(T) == 2 ? kSamples14 : kBytes};
}
// pSrc, srcStep, pRef, refStep, then outputs; with a mode the reference has
// one more row and column.
template <class T, class O>
Case src_ref(std::string name, KvnResult (*f)(const T*, int32_t, const T*, int32_t, O*), int w, int h,
             size_t outBytes = 4) {
  return fn(name, f, {pt<T>(kIn, 0, w, h), pt<T>(kIn, 1, w, h)}, steps(2), {out(outBytes)}, p0, a0, p1, a1, f0);
}
template <class T, class O>
Case src_ref_mode(std::string name, KvnResult (*f)(const T*, int32_t, const T*, int32_t, O*, int32_t), int w, int h) {
  return fn(name, f, {pt<T>(kIn, 0, w, h), pt<T>(kIn, 1, w + 1, h + 1)}, steps(2), {out(4)}, p0, a0, p1, a1, f0, kMode);
}
// One block and two scalar outputs.
template <class T, class O1, class O2>
Case one_block(std::string name, KvnResult (*f)(const T*, int32_t, O1*, O2*), int w, int h) {
  const Plane p{int(sizeof(T)), 0, w, 0, h, 0, kIn, sizeof(T) == 2 ? kSmall16 : kBytes};
  return fn(name, f, {p}, steps(1), {out(4), out(4)}, p0, a0, f0, f1);
}

// ---------------------------------------------------------------------------
// Block copy, averaging and motion compensation: steps are not checked, so
// every value is valid and must give the valid call's result.

TEST(HostileArgs, BlockLayer) {
  const auto copy = [](const char* name, auto f, int n, Role dst = kOut) {
    return fn(name, f, {p8(kIn, 0, n, n), p8(dst, 1, n, n)}, steps(2), {}, p0, a0, p1, a1);
  };
  const auto average = [](const char* name, auto f, int n) {
    return fn(name, f, {p8(kIn, 0, n, n), p8(kIn, 1, n, n), p8(kOut, 2, n, n)}, steps(3), {}, p0, a0, p1, a1, p2, a2);
  };
  // Half-sample code 3 reads one more row and column.
  const auto copy_hp = [](const char* name, auto f, int w, int h, Role dst) {
    return fn(name, f, {p8(kIn, 0, w + 1, h + 1), p8(dst, 1, w, h)}, steps(2), {}, p0, a0, p1, a1, 3, 0);
  };
  // Widths are in bytes; `pair` is 2 for interleaved chroma (the neighbour two bytes on).
  const auto mc = [](const char* name, auto f, int w, int h, int pair = 1) {
    return fn(name, f, {p8(kIn, 0, w + pair, h + 1), p16(kIn, 1, w, h, kSmall16), p8(kOut, 2, w, h)}, steps(3), {}, p0,
              a0, p1, a1, p2, a2, kMode, 0);
  };
  const auto mc_b = [](const char* name, auto f, int w, int h, int pair = 1) {
    const Plane ref = p8(kIn, 0, w + pair, h + 1);
    return fn(name, f, {ref, p8(kIn, 1, w + pair, h + 1), p16(kIn, 2, w, h, kSmall16), p8(kOut, 3, w, h)}, steps(4), {},
              p0, a0, kMode, p1, a1, 8, p2, a2, p3, a3, 0);
  };
  const auto mc_p2 = [](const char* name, auto f, int h) {
    const Plane res = p16(kIn, 1, 8, h, kSmall16);
    return fn(name, f, {p8(kIn, 0, 18, h + 1), res, res, p8(kOut, 2, 16, h)}, steps(3), {}, p0, a0, p1, p2, a1, p3, a2,
              kMode, 0);
  };
  const auto mc_p2b = [](const char* name, auto f, int h) {
    const Plane res = p16(kIn, 2, 8, h, kSmall16);
    return fn(name, f, {p8(kIn, 0, 18, h + 1), p8(kIn, 1, 18, h + 1), res, res, p8(kOut, 3, 16, h)}, steps(4), {}, p0,
              a0, kMode, p1, a1, 4, p2, p3, a2, p4, a3, 1);
  };
  // The scan counts are the family's only checked numbers.
  const std::vector<int32_t> counts = {-1, 0, 64, 65, 255, INT32_MIN, 1 << 30, INT32_MAX};
  const std::vector<Fixed> scan = {in(128, kSmall16), out(128)};
  sweep({
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
      copy(FN(kvniAverage8x8_8u_C1IR), 8, kInOut),
      copy(FN(kvniAverage16x16_8u_C1IR), 16, kInOut),
      average(FN(kvniAverage8x8_8u_C1R), 8),
      average(FN(kvniAverage16x16_8u_C1R), 16),
      fn(FN(kvniAdd8x8_16s8u_C1IRS), {p16(kIn, 0, 8, 8, kSmall16), p8(kInOut, 1, 8, 8)}, steps(2), {}, p0, a0, p1, a1),
      fn(FN(kvniAdd8x8HP_16s8u_C1RS), {p16(kIn, 0, 8, 8, kSmall16), p8(kIn, 1, 9, 9), p8(kOut, 2, 8, 8)}, steps(3), {},
         p0, a0, p1, a1, p2, a2, 3, 1),
      fn(FN(kvniAddC8x8_16s8u_C1IR), {p8(kInOut, 0, 8, 8)}, steps(1), {}, -7, p0, a0),
      fn(FN(kvniScanFwd_16s_C1), {}, {count(10, index_range(1, 64), counts)}, scan, f0, f1, a0, 0),
      fn(FN(kvniScanInv_16s_C1), {}, {count(10, index_range(0, 63), counts)}, scan, f0, f1, a0, 1),
  });
}

// ---------------------------------------------------------------------------
// Motion-estimation metrics. Steps are not checked (but for the two-channel
// SAD): a zero or negative step is valid and addresses the rows it names.

TEST(HostileArgs, Sad) {
  // Candidate counts: fewer than 8 (after rounding down to a multiple of 8)
  // are refused; larger counts designate more candidates than the buffers
  // hold. The xNI members also give the best candidate's index.
  const Expect candidates = [](int32_t v) {
    return (v & ~7) < 1 ? int32_t(KVN_STS_SIZE_ERR) : (v & ~7) == 8 ? int32_t(kSame) : int32_t(kSkip);
  };
  const std::vector<Arg> args = {step(), step(),
                                 count(8, candidates, {0, -1, 7, 15, -8, 16, INT32_MIN, 1 << 30, INT32_MAX})};
  const auto xn = [&args](const char* name, auto f, int n, auto... index) {
    std::vector<Fixed> outs = {out(16)};
    if (sizeof...(index)) outs.push_back(out(4));
    return fn(name, f, {p8(kIn, 0, n, n), p8(kIn, 1, n + 7, n)}, args, outs, p0, a0, p1, a1, f0, a2, index...);
  };
  const std::vector<Plane> sub = {p8(kIn, 0, 8, 8), p8(kIn, 1, 8, 8), p16(kOut, 2, 8, 8, kBytes)};
  sweep({
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
      xn(FN(kvniSAD16x16xNI_8u16u_C1R), 16, f1),
      xn(FN(kvniSAD8x8xNI_8u16u_C1R), 8, f1),
      xn(FN(kvniSAD4x4xNI_8u16u_C1R), 4, f1),
      // Two channels: steps below 1 are refused.
      fn(FN(kvniSAD8x8_8u32s_C2R), {p8(kIn, 0, 16, 8), p8(kIn, 1, 18, 9)}, steps(2, at_least(1)), {out(4), out(4)}, p0,
         a0, p1, a1, f0, f1, kMode),
      fn(FN(kvniSubSAD8x8_8u16s_C1R), sub, steps(3), {out(4)}, p0, a0, p1, a1, p2, a2, f0),
  });
}

// Differences of two blocks of T into 16-bit samples; block sums and differences.
template <class T>
Case sub(std::string name, KvnResult (*f)(const T*, int32_t, const T*, int32_t, Kvn16s*, int32_t), int n) {
  return fn(name, f, {pt<T>(kIn, 0, n, n), pt<T>(kIn, 1, n, n), p16(kOut, 2, n, n, kBytes)}, steps(3), {}, p0, a0, p1,
            a1, p2, a2);
}
template <class T, class Sum>
Case sums_diff(std::string name, KvnResult (*f)(const T*, int32_t, const T*, int32_t, Sum*, Kvn16s*), int n) {
  const size_t blocks = size_t(n / 4) * size_t(n / 4);
  return fn(name, f, {pt<T>(kIn, 0, n, n), pt<T>(kIn, 1, n, n)}, steps(2),
            {out(blocks * sizeof(Sum)), out(size_t(n) * size_t(n) * 2)}, p0, a0, p1, a1, f0, f1);
}

TEST(HostileArgs, Measures) {
  // pSrc, srcStep, pRef (and a second reference), steps of 16-bit outputs.
  // Interleaved (Cb, Cr; pair 2): 2w bytes a row, the neighbour two bytes on.
  const auto get_diff = [](const char* name, auto f, int w, int h, int pair = 1) {
    const Plane d = p16(kOut, 2, w, h, kBytes), p = p16(kOut, 3, w, h, kBytes);
    return fn(name, f, {p8(kIn, 0, pair * w, h), p8(kIn, 1, pair * w + pair, h + 1), d, p}, steps(4), {}, p0, a0, p1,
              a1, p2, a2, p3, a3, kMode, pair == 1 ? 1 : 0);
  };
  const auto get_diff_b = [](const char* name, auto f, int w, int h) {
    const Plane ref = p8(kIn, 1, w + 1, h + 1);
    return fn(name, f, {p8(kIn, 0, w, h), ref, p8(kIn, 2, w + 1, h + 1), p16(kOut, 3, w, h, kBytes)}, steps(4), {}, p0,
              a0, p1, a1, kMode, p2, a2, 4, p3, a3, 0);
  };
  const auto get_diff_bc2 = [](const char* name, auto f, int h) {
    const Plane src = p8(kIn, 0, 16, h), ref = p8(kIn, 1, 18, h + 1), ref2 = p8(kIn, 2, 18, h + 1);
    return fn(name, f, {src, ref, ref2, p16(kOut, 3, 8, h, kBytes), p16(kOut, 4, 8, h, kBytes)}, steps(5), {}, p0, a0,
              p1, a1, 8, p2, a2, kMode, p3, a3, p4, a4, 1);
  };
  // 16x16 (four 8x8 blocks) and 16x8 (two).
  const auto var_mean_diff = [](const char* name, auto f, int h) {
    const Fixed sums = table(std::vector<Kvn32s>{8000, 8100, 8200, 8300});
    return fn(name, f, {p8(kIn, 0, 16, h), p8(kIn, 1, 17, h + 1)}, steps(2), {sums, out(size_t(h)), out(size_t(h))}, p0,
              a0, p1, a1, f0, f1, f2, kMode);
  };
  const std::vector<Plane> one8 = {p8(kIn, 0, 8, 8)}, one16 = {p8(kIn, 0, 16, 16)};
  sweep({
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
      get_diff(FN(kvniGetDiff8x4_8u16s_C2P2), 8, 4, 2),
      get_diff(FN(kvniGetDiff8x8_8u16s_C2P2), 8, 8, 2),
      get_diff_bc2(FN(kvniGetDiff8x4B_8u16s_C2P2), 4),
      get_diff_bc2(FN(kvniGetDiff8x8B_8u16s_C2P2), 8),
      sub(FN(kvniGetDiff4x4_8u16s_C1), 4),
      sub(FN(kvniSub4x4_8u16s_C1R), 4),
      sub(FN(kvniSub8x8_8u16s_C1R), 8),
      sub(FN(kvniSub16x16_8u16s_C1R), 16),
      sub(FN(kvniSub4x4_16u16s_C1R), 4),
      sub(FN(kvniSub8x8_16u16s_C1R), 8),
      sums_diff(FN(kvniSumsDiff8x8Blocks4x4_8u16s_C1), 8),
      sums_diff(FN(kvniSumsDiff16x16Blocks4x4_8u16s_C1), 16),
      sums_diff(FN(kvniSumsDiff8x8Blocks4x4_16u32s_C1R), 8),
      sums_diff(FN(kvniSumsDiff16x16Blocks4x4_16u32s_C1R), 16),
      fn(FN(kvniSqrDiff16x16_8u32s), {p8(kIn, 0, 16, 16), p8(kIn, 1, 17, 17)}, steps(2), {out(4)}, p0, a0, p1, a1,
         kMode, f0),
      fn(FN(kvniSqrDiff16x16B_8u32s), {p8(kIn, 0, 16, 16), p8(kIn, 1, 17, 17), p8(kIn, 2, 17, 17)}, steps(3), {out(4)},
         p0, a0, p1, a1, kMode, p2, a2, 4, f0),
      var_mean_diff(FN(kvniVarMeanDiff16x16_8u32s_C1R), 16),
      var_mean_diff(FN(kvniVarMeanDiff16x8_8u32s_C1R), 8),
      fn(FN(kvniVariance16x16_8u32s), one16, steps(1), {out(4)}, p0, a0, f0),
      fn(FN(kvniMeanAbsDev16x16_8u32s_C1R), one16, steps(1), {out(4)}, p0, a0, f0),
      fn(FN(kvniMeanAbsDev8x8_8u32s_C1R), one8, steps(1), {out(4)}, p0, a0, f0),
      fn(FN(kvniEdgesDetect16x16_8u_C1R), one16, steps(1), {out(1)}, p0, a0, 60, 40, f0),
      fn(FN(kvniEdgesDetect16x16_16u_C1R), {p16(kIn, 0, 16, 16, kSamples14)}, steps(1), {out(4)}, p0, a0, 4000, 40, f0),
      fn(FN(kvniSumsDiff8x8Blocks4x4_8u16s_C2P2), {p8(kIn, 0, 16, 8), p8(kIn, 1, 8, 8), p8(kIn, 2, 8, 8)}, steps(3),
         {out(8), out(128), out(8), out(128)}, p0, a0, p1, a1, p2, a2, f0, f1, f2, f3),
  });
}

// ---------------------------------------------------------------------------
// H.264 transforms with a prediction or a strided block, intra prediction.

TEST(HostileArgs, H264Transforms) {
  const Fixed coef16 = inout(32, kSmall16), dc16 = in(2, kSmall16);
  // A prediction and a destination: 8-bit, or 10-bit samples.
  const auto pd = [](int n) { return std::vector<Plane>{p8(kIn, 0, n, n), p8(kOut, 1, n, n)}; };
  const auto pd10 = [](int n) { return std::vector<Plane>{p16(kIn, 0, n, n, kSamples10), p16(kOut, 1, n, n, kBytes)}; };
  sweep({
      fn(FN(kvniTransformPrediction_H264_8u16s_C1), {p8(kIn, 0, 4, 4)}, steps(1), {out(32)}, p0, a0, f0),
      fn(FN(kvniTransformQuantInvAddPred4x4_H264_16s_C1IR), pd(4), steps(2), {coef16, dc16}, p0, a0, f0, f1, p1, a1, 28,
         1, nullptr),
      fn(FN(kvniTransformQuantInvAddPred4x4_H264_32s_C1IR), pd10(4), steps(2), {inout(64, kSmall32), in(4, kSmall32)},
         p0, a0, f0, f1, p1, a1, 40, 1, 10, nullptr),
      // The strided block must hold its rows of 4 coefficients.
      fn(FN(kvniDequantTransformResidual_H264_16s_C1I), {p16(kInOut, 0, 4, 4, kSmall16)}, {step(at_least(8))}, {dc16},
         p0, a0, f0, 1, 20),
      fn(FN(kvniDequantTransformResidualAndAdd_H264_16s_C1I), pd(4), steps(2), {coef16, dc16}, p0, f0, f1, p1, a0, a1,
         20, 1),
      fn(FN(kvniTransformLuma8x8InvAddPred_H264_16s8u_C1R), pd(8), steps(2), {in(128, kSmall16)}, p0, a0, f0, p1, a1),
      fn(FN(kvniTransformInvAddPredLuma8x8_H264_32s16u_C1R), pd10(8), steps(2), {in(256, kSmall32)}, p0, a0, f0, p1, a1,
         10),
      fn(FN(kvniGenScaleLevel8x8_H264_8u16s_D2), {p8(kIn, 0, 8, 8)}, steps(1), {out(128), out(128)}, p0, a0, f0, f1, 3),
  });
}

// Intra prediction reads the row above and the column left of the block (4x4:
// also the four samples above right); the step must hold the block's row.
TEST(HostileArgs, H264Intra) {
  constexpr int32_t kAll = 1 | 2 | 32 | 64;
  std::vector<Case> k;
  const auto intra = [&k](const char* name, auto f, int mode, int n) {
    k.push_back(fn(name + (" mode " + std::to_string(mode)), f, {p8(kInOut, 0, n == 4 ? 9 : n + 1, n + 1, -1, -1)},
                   {step(at_least(n))}, {}, p0, a0, mode, kAll));
  };
  for (int mode = 0; mode < 9; ++mode) intra(FN(kvniPredictIntra_4x4_H264_8u_C1IR), mode, 4);
  for (int mode = 0; mode < 4; ++mode) {
    intra(FN(kvniPredictIntra_16x16_H264_8u_C1IR), mode, 16);
    intra(FN(kvniPredictIntraChroma8x8_H264_8u_C1IR), mode, 8);
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

TEST(HostileArgs, H264Deblocking) {
  const DeblockArrays<Kvn8u> a(200);
  const DeblockArrays<Kvn16u> b(800);
  // Vertical edges: `m` columns left of the block; horizontal: rows above.
  const auto edge = [](int elem, bool v, int w, int h, int m) {
    const Fill fill = elem == 2 ? kSamples10 : kBytes;
    return std::vector<Plane>{{elem, v ? -m : 0, v ? w + m : w, v ? 0 : -m, v ? h : h + m, 0, kInOut, fill}};
  };
  const auto d8 = [&](const char* name, auto f, bool vertical, int w, int h, int m) {
    return fn(name, f, edge(1, vertical, w, h, m), steps(1), {}, p0, a0, a.alpha, a.beta, a.tc0, a.bs);
  };
  const auto r8 = [&](const char* name, auto f, bool vertical, int w, int h, int m) {
    return fn(name, f, edge(1, vertical, w, h, m), steps(1), {},
              rec<KvnDeblockingRecord8u>(p0, a0, a.alpha, a.beta, a.tc0, a.bs));
  };
  const auto r16 = [&](const char* name, auto f, bool vertical, int w, int h, int m) {
    return fn(name, f, edge(2, vertical, w, h, m), {step(same(), 2)}, {},
              rec<KvnDeblockingRecord16u>(p0, a0, b.alpha, b.beta, b.tc0, b.bs, 10));
  };
  const auto mbaff = [&](const char* name, auto f, int w, int h, int m) {
    return fn(name, f, edge(1, true, w, h, m), steps(1), {}, p0, a0, 200, 50, a.tc0, a.bs);
  };
  sweep({
      d8(FN(kvniFilterDeblockingLuma_VerEdge_H264_8u_C1IR), true, 16, 16, 4),
      d8(FN(kvniFilterDeblockingLuma_HorEdge_H264_8u_C1IR), false, 16, 16, 4),
      d8(FN(kvniFilterDeblockingChroma_VerEdge_H264_8u_C1IR), true, 8, 8, 2),
      d8(FN(kvniFilterDeblockingChroma_HorEdge_H264_8u_C1IR), false, 8, 8, 2),
      d8(FN(kvniFilterDeblockingChroma_VerEdge_H264_8u_C2IR), true, 16, 8, 4),
      d8(FN(kvniFilterDeblockingChroma_HorEdge_H264_8u_C2IR), false, 16, 8, 2),
      r8(FN(kvniFilterDeblockingChroma_VerEdge_H264_8u_C2I), true, 16, 8, 4),
      r8(FN(kvniFilterDeblockingChroma_HorEdge_H264_8u_C2I), false, 16, 8, 2),
      r8(FN(kvniFilterDeblockingChroma422VerEdge_H264_8u_C1IR), true, 8, 16, 2),
      r8(FN(kvniFilterDeblockingChroma422HorEdge_H264_8u_C1IR), false, 8, 16, 2),
      r16(FN(kvniFilterDeblockingLumaVerEdge_H264_16u_C1IR), true, 16, 16, 4),
      r16(FN(kvniFilterDeblockingLumaHorEdge_H264_16u_C1IR), false, 16, 16, 4),
      r16(FN(kvniFilterDeblockingLumaVerEdgeMBAFF_H264_16u_C1IR), true, 4, 8, 4),
      r16(FN(kvniFilterDeblockingChromaVerEdge_H264_16u_C1IR), true, 8, 8, 2),
      r16(FN(kvniFilterDeblockingChromaHorEdge_H264_16u_C1IR), false, 8, 8, 2),
      r16(FN(kvniFilterDeblockingChromaVerEdgeMBAFF_H264_16u_C1IR), true, 2, 4, 2),
      r16(FN(kvniFilterDeblockingChroma422VerEdge_H264_16u_C1IR), true, 8, 16, 2),
      r16(FN(kvniFilterDeblockingChroma422HorEdge_H264_16u_C1IR), false, 8, 16, 2),
      mbaff(FN(kvniFilterDeblockingLuma_VerEdge_MBAFF_H264_8u_C1IR), 4, 8, 4),
      mbaff(FN(kvniFilterDeblockingChroma_VerEdge_MBAFF_H264_8u_C1IR), 2, 4, 2),
  });
}

// ---------------------------------------------------------------------------
// H.264 macroblock reconstruction. The 8-bit functions check no step (but the
// Half function without scale tables and the interleaved chroma ones: below
// 1); every block is coded, so the whole stream is consumed (the stream
// pointer moves as far as in the valid call). Intra planes include the row
// above and the column left, luma also the 8 samples above right.

template <class T>
Fixed modes(int n) {
  std::vector<T> m;
  for (int i = 0; i < n; ++i) m.push_back(T(i % 9));
  return table(m);
}

constexpr Kvn32u kLuma4x4 = 0x1FFFE, kLuma16x16 = 0x1FFFF, kChroma = 0x7FE0000;

TEST(HostileArgs, H264Reconstruction8) {
  const Fixed scale16 = fill_table<Kvn16s>(16, 20), scale64 = fill_table<Kvn16s>(64, 20);
  const Fixed m4x4 = modes<Kvn32s>(16), m8x8 = modes<Kvn32u>(4), h4x4 = modes<Kvn32s>(8), h8x8 = modes<Kvn32u>(2);
  const std::vector<Plane> inter = {p8(kInOut, 0, 16, 16)}, intra = {p8(kInOut, 0, 25, 17, -1, -1)},
                           half = {p8(kInOut, 0, 25, 9, -1, -1)};
  // Chroma: two planes sharing the step (P2R), or one interleaved plane (C2R).
  const std::vector<Plane> p2 = {p8(kInOut, 0, 8, 8), p8(kInOut, 0, 8, 8)},
                           p2i = {p8(kInOut, 0, 9, 9, -1, -1), p8(kInOut, 0, 9, 9, -1, -1)};
  const std::vector<Plane> c2 = {p8(kInOut, 0, 16, 8)}, c2i = {p8(kInOut, 0, 18, 9, -2, -1)};
  const std::vector<Arg> any = steps(1), positive = steps(1, at_least(1)), maybe = steps(1, at_least(1, 1));
  const std::vector<Fixed> s2 = {scale16, scale16};
  // f(&stream, plane 0, xs...) with the stream in fixed buffer 0, then `fixed`.
  const auto on = [](const Fixed& stream) {
    return [stream](std::string name, auto f, const std::vector<Plane>& planes, const std::vector<Arg>& step,
                    std::vector<Fixed> fixed, auto... xs) {
      fixed.insert(fixed.begin(), stream);
      return fn(std::move(name), f, planes, step, fixed, s16, p0, xs...);
    };
  };
  const auto y = on(inout(17 * 32, kSmall16)), c = on(inout(136 * 2, kSmall16));
  const char* const lossless = "kvniReconstructLumaInter4x4MB_H264_16s8u_C1R lossless";
  sweep({
      y(FN(kvniReconstructLumaInterMB_H264_16s8u_C1R), inter, any, {}, a0, kLuma4x4, 28),
      y(FN(kvniReconstructLumaInter4x4MB_H264_16s8u_C1R), inter, any, {scale16}, a0, kLuma4x4, 28, f1, 0),
      y(lossless, kvniReconstructLumaInter4x4MB_H264_16s8u_C1R, inter, any, {scale16}, a0, kLuma4x4, 0, f1, 1),
      y(FN(kvniReconstructLumaInter8x8MB_H264_16s8u_C1R), inter, any, {scale64}, a0, 0xF, 28, f1, 0),
      y(FN(kvniReconstructLumaIntraMB_H264_16s8u_C1R), intra, any, {m4x4}, a0, f1, kLuma4x4, 28, 0),
      y(FN(kvniReconstructLumaIntra4x4MB_H264_16s8u_C1R), intra, any, {m4x4, scale16}, a0, f1, kLuma4x4, 28, 0, f2, 0),
      y(FN(kvniReconstructLumaIntra16x16MB_H264_16s8u_C1R), intra, any, {}, a0, 3, kLuma16x16, 28, 0),
      y(FN(kvniReconstructLumaIntra_16x16MB_H264_16s8u_C1R), intra, any, {scale16}, a0, 3, kLuma16x16, 28, 0, f1, 0),
      y(FN(kvniReconstructLumaIntra8x8MB_H264_16s8u_C1R), intra, any, {m8x8, scale64}, a0, f1, 0xF, 28, 0, f2, 0),
      y(FN(kvniReconstructLumaIntraHalfMB_H264_16s8u_C1R), half, positive, {h4x4}, a0, f1, 0xFF, 28, 0),
      y(FN(kvniReconstructLumaIntraHalf4x4MB_H264_16s8u_C1R), half, any, {h4x4, scale16}, a0, f1, 0xFF, 28, 0, f2, 0),
      y(FN(kvniReconstructLumaIntraHalf8x8MB_H264_16s8u_C1R), half, any, {h8x8, scale64}, a0, f1, 0x3, 28, 0, f2, 0),
      c(FN(kvniReconstructChromaInterMB_H264_16s8u_P2R), p2, any, {}, p1, a0, kChroma, 30),
      c(FN(kvniReconstructChromaInterMB_H264_16s8u_C2R), c2, positive, {}, a0, kChroma, 30),
      c(FN(kvniReconstructChromaInter4x4MB_H264_16s8u_P2R), p2, any, s2, p1, a0, kChroma, 30, 33, f1, f2, 0),
      c(FN(kvniReconstructChromaInter4x4MB_H264_16s8u_C2R), c2, maybe, s2, a0, kChroma, 30, 33, f1, f2, 0),
      c(FN(kvniReconstructChromaIntraMB_H264_16s8u_P2R), p2i, any, {}, p1, a0, 3, kChroma, 30, 0),
      c(FN(kvniReconstructChromaIntraMB_H264_16s8u_C2R), c2i, positive, {}, a0, 3, kChroma, 30, 0),
      c(FN(kvniReconstructChromaIntra4x4MB_H264_16s8u_P2R), p2i, any, s2, p1, a0, 3, kChroma, 30, 33, 0, f1, f2, 0),
      c(FN(kvniReconstructChromaIntra4x4MB_H264_16s8u_C2R), c2i, maybe, s2, a0, 3, kChroma, 30, 33, 0, f1, f2, 0),
      c(FN(kvniReconstructChromaIntraHalvesMB_H264_16s8u_P2R), p2i, any, {}, p1, a0, 0, kChroma, 30, 0, 0),
      c(FN(kvniReconstructChromaIntraHalfsMB_H264_16s8u_P2R), p2i, any, {}, p1, a0, 0, kChroma, 30, 0, 0),
      c(FN(kvniReconstructChromaIntraHalvesMB_H264_16s8u_C2R), c2i, positive, {}, a0, 2, kChroma, 30, 0, 0),
      c(FN(kvniReconstructChromaIntraHalves4x4MB_H264_16s8u_P2R), p2i, any, s2, p1, a0, 2, kChroma, 30, 33, 0, 0, f1,
        f2, 0),
      c(FN(kvniReconstructChromaIntraHalfs4x4MB_H264_16s8u_P2R), p2i, any, s2, p1, a0, 2, kChroma, 30, 33, 0, 0, f1, f2,
        0),
  });
}

// High-profile records: steps count samples and must hold the component's
// row (16 luma, 8 chroma: below 1 refused, below the width may be). The
// record of plane i (its step argument i) on the stream in fixed buffer 0,
// the scale table in fixed buffer 1; chroma: Cb and Cr records (planes 0 and
// 1) on the one stream.
using Rec32 = KvnReconstructRecord32s16u;
auto hi(Kvn32u cbp, int i = 0, int32_t qp = 40, Kvn32u bypass = 0) {
  return rec<Rec32>(s32, P{i}, A{i}, cbp, qp, f1, bypass, 10);
}
Two<decltype(hi(0))> hi2(Kvn32u cbp) { return {hi(cbp, 0), hi(cbp, 1)}; }
auto lo(int i) { return rec<KvnReconstructRecord16s8u>(s16, P{i}, A{i}, Kvn32u(0x1FF), 30, f1, Kvn32u(0)); }

TEST(HostileArgs, H264ReconstructionHigh) {
  const Fixed scale16 = fill_table<Kvn16s>(16, 20), scale64 = fill_table<Kvn16s>(64, 20);
  const std::vector<Plane> inter = {p16(kInOut, 0, 16, 16, kSamples10)},
                           intra = {p16(kInOut, 0, 25, 17, kSamples10, -1, -1)},
                           half = {p16(kInOut, 0, 25, 9, kSamples10, -1, -1)};
  // Chroma planes: 4:2:0 8x8, 4:2:2 8x16; intra ones with the row above and the column left.
  const auto planes = [](int elem, int h, bool intra) {
    const int m = intra ? 1 : 0;
    const Plane cb{elem, -m, 8 + m, -m, h + m, 0, kInOut, elem == 2 ? kSamples10 : kBytes};
    return std::vector<Plane>{cb, {elem, -m, 8 + m, -m, h + m, 1, kInOut, cb.fill}};
  };
  // Luma: the stream, then `fixed`; chroma: 4:2:0 or 4:2:2, 32-bit or (c8) 16-bit coefficients.
  const auto y = [](std::string name, auto f, const std::vector<Plane>& plane, std::vector<Fixed> fixed, auto... xs) {
    fixed.insert(fixed.begin(), inout(17 * 64, kSmall32));
    return fn(std::move(name), f, plane, {step(at_least(1, 16), 2)}, fixed, xs...);
  };
  const auto c = [&](const char* name, auto f, int h, bool intra, auto... xs) {
    return fn(name, f, planes(2, h, intra), steps(2, at_least(1, 8), 2), {inout(272 * 4, kSmall32), scale16}, xs...);
  };
  const auto c8 = [&](const char* name, auto f, bool intra, auto... xs) {
    return fn(name, f, planes(1, 16, intra), steps(2, at_least(1, 8)), {inout(272 * 2, kSmall16), scale16},
              Two<decltype(lo(0))>{lo(0), lo(1)}, xs...);
  };
  const char* const lossless = "kvniReconstructLumaInter4x4_H264High_32s16u_IP1R lossless";
  sweep({
      y(FN(kvniReconstructLumaInter4x4_H264High_32s16u_IP1R), inter, {scale16}, hi(kLuma4x4)),
      y(FN(kvniReconstructLumaInter8x8_H264High_32s16u_IP1R), inter, {scale64}, hi(0xF)),
      y(lossless, kvniReconstructLumaInter4x4_H264High_32s16u_IP1R, inter, {scale16}, hi(kLuma4x4, 0, 0, 1)),
      y(FN(kvniReconstructLumaIntra16x16_H264High_32s16u_IP1R), intra, {scale16}, hi(kLuma16x16), 3, 0),
      y(FN(kvniReconstructLumaIntra4x4_H264High_32s16u_IP1R), intra, {scale16, modes<int32_t>(16)}, hi(kLuma4x4), f2,
        0),
      y(FN(kvniReconstructLumaIntra8x8_H264High_32s16u_IP1R), intra, {scale64, modes<Kvn32u>(4)}, hi(0xF), f2, 0),
      y(FN(kvniReconstructLumaIntraHalf4x4_H264High_32s16u_IP1R), half, {scale16, modes<int32_t>(8)}, hi(0x1FE), f2, 0),
      y(FN(kvniReconstructLumaIntraHalf8x8_H264High_32s16u_IP1R), half, {scale64, modes<Kvn32u>(2)}, hi(0x3), f2, 0),
      c(FN(kvniReconstructChromaInter4x4_H264High_32s16u_IP2R), 8, false, hi2(0x1F)),
      c(FN(kvniReconstructChromaIntra4x4_H264High_32s16u_IP2R), 8, true, hi2(0x1F), 3, 0),
      c(FN(kvniReconstructChromaIntraHalf4x4_H264High_32s16u_IP2R), 8, true, hi2(0x1F), 2, 0, 0),
      c(FN(kvniReconstructChroma422Inter4x4_H264High_32s16u_IP2R), 16, false, hi2(0x1FF), 20, 25),
      c(FN(kvniReconstructChroma422Intra4x4_H264High_32s16u_IP2R), 16, true, hi2(0x1FF), 3, 0, 20, 25),
      c(FN(kvniReconstructChroma422IntraHalf4x4_H264High_32s16u_IP2R), 16, true, hi2(0x1FF), 0, 0, 0, 20, 25),
      c8(FN(kvniReconstructChroma422Inter4x4_H264High_16s8u_IP2R), false, 20, 25),
      c8(FN(kvniReconstructChroma422Intra4x4_H264High_16s8u_IP2R), true, 3, 0, 20, 25),
      c8(FN(kvniReconstructChroma422IntraHalf4x4_H264High_16s8u_IP2R), true, 2, 0, 0, 20, 25),
  });
}

// ---------------------------------------------------------------------------
// H.264 interpolation. Plain, Top and Bottom functions read 2 rows and
// columns before and 3 after a luma block (fractions dx = 2, dy = 1), one
// after a chroma block; 8-bit steps are not checked, 16-bit ones must hold
// the block. Sizes outside the partition sizes are refused.

// Luma (margin 2 before, 3 after) or chroma (1 after) source and destination
// of 1 or (records) 2 bytes a sample; 16-bit steps count samples and below the
// width (luma) or 8 (chroma) are refused before the size, so a width beyond
// the steps fails the step check. The Bottom (edge 0) and Top (edge 1)
// members take the rows outside the picture as argument 4: 0 or fewer keep
// every row the filter reads inside the block's region, larger counts name an
// edge row beyond it; Top chroma refuses negative counts.
template <class Fn, class... X>
Case interp(const char* name, Fn f, int elem, bool luma, int w, int h, int edge, X... xs) {
  const Fill fill = elem == 2 ? kSamples10 : kBytes;
  const int before = luma ? 2 : 0, extra = luma ? 5 : 1;
  const Plane src{elem, -before, w + extra, -before, h + extra, 0, kIn, fill}, dst{elem, 0, w, 0, h, 1, kOut, fill};
  const int32_t lo = luma ? w : 8;
  std::vector<Arg> args = steps(2);
  if (elem == 2) args = steps(2, at_least(lo), 2), args[0].valid = args[1].valid = lo;
  args.push_back(size(w, elem == 2 && luma ? width_of(w) : error(KVN_STS_SIZE_ERR)));
  args.push_back(size(h, error(KVN_STS_SIZE_ERR)));
  const bool refused = edge == 1 && !luma;
  const Expect outside = [refused](int32_t v) {
    return v > 0 ? int32_t(kSkip) : v < 0 && refused ? int32_t(KVN_STS_OUT_OF_RANGE) : int32_t(kAccepted);
  };
  if (edge >= 0) args.push_back(count(0, outside, {0, -1, -2, -16, INT32_MIN, -(1 << 30), 1 << 30, INT32_MAX}));
  return fn(name, f, {src, dst}, args, {}, xs...);
}
// The 16-bit record with fractions dx, dy.
auto rec16(int32_t dx, int32_t dy) { return rec<KvnInterpolationRecord16u>(p0, a0, p1, a1, dx, dy, z2, 10); }

// Block functions: a reference picture, a block and a vector. At the edge:
// a 4x4 block at (0, 0) moved up and left by a fraction, so the region is
// padded from the picture's first rows and columns; inside: a block whose
// region lies in the picture. A picture of no samples is refused when the
// block moved; a larger one changes nothing, the region staying where it is.
// Luma and planar chroma read one or two planes and write as many;
// interleaved chroma reads one and writes two planes (C2P2) or one (C2C2).
enum BlockKind { kLuma, kPlanar, kC2P2, kC2C2 };

template <class R>
Case block(const char* name, KvnResult (*f)(const R*), BlockKind kind, bool edge) {
  constexpr bool wide = std::is_same_v<R, KvnInterpolationBlockRecord16u>;
  constexpr int elem = wide ? 2 : 1;
  const Fill fill = wide ? kSamples10 : kBytes;
  const int frame = edge ? 8 : 16, srcs = kind == kPlanar ? 2 : 1, dsts = kind == kPlanar || kind == kC2P2 ? 2 : 1;
  std::vector<Plane> planes(size_t(srcs), Plane{elem, 0, frame * (kind >= kC2P2 ? 2 : 1), 0, frame, 0, kIn, fill});
  planes.resize(size_t(srcs + dsts), Plane{elem, 0, 4 * (kind == kC2C2 ? 2 : 1), 0, 4, 1, kOut, fill});
  const Expect picture = [](int32_t v) { return v < 1 ? int32_t(KVN_STS_SIZE_ERR) : int32_t(kSame); };
  const int32_t pos = edge ? 0 : 4, mvx = edge ? -1 : kind == kLuma ? 5 : 9, mvy = edge ? -3 : kind == kLuma ? 6 : 10;
  const Arg side = size(4, error(KVN_STS_SIZE_ERR));
  const std::vector<Arg> args = {
      step(same(), elem), step(same(), elem), size(frame, picture), size(frame, picture), side, side};
  const P src2{srcs - 1}, dst1{srcs}, dst2{srcs + dsts - 1};
  if constexpr (wide)
    return fn(name, f, planes, args, {}, rec<R>(p0, src2, a0, dst1, dst2, a1, z2, z4, pos, pos, mvx, mvy, 10));
  else
    return fn(name, f, planes, args, {}, rec<R>(p0, src2, a0, dst1, dst2, a1, z2, z4, pos, pos, mvx, mvy));
}

TEST(HostileArgs, H264Interpolation) {
  std::vector<Case> k = {
      interp(FN(kvniInterpolateLuma_H264_8u_C1R), 1, true, 8, 16, -1, p0, a0, p1, a1, 2, 1, z2),
      interp(FN(kvniInterpolateChroma_H264_8u_C1R), 1, false, 4, 8, -1, p0, a0, p1, a1, 3, 5, z2),
      interp(FN(kvniInterpolateLumaTop_H264_8u_C1R), 1, true, 16, 8, 1, p0, a0, p1, a1, 1, 3, a4, z2),
      interp(FN(kvniInterpolateLumaBottom_H264_8u_C1R), 1, true, 16, 8, 0, p0, a0, p1, a1, 1, 3, a4, z2),
      interp(FN(kvniInterpolateChromaTop_H264_8u_C1R), 1, false, 8, 4, 1, p0, a0, p1, a1, 2, 7, a4, z2),
      interp(FN(kvniInterpolateChromaBottom_H264_8u_C1R), 1, false, 8, 4, 0, p0, a0, p1, a1, 2, 7, a4, z2),
      interp(FN(kvniInterpolateLuma_H264_16u_C1R), 2, true, 8, 8, -1, rec16(3, 2)),
      interp(FN(kvniInterpolateChroma_H264_16u_C1R), 2, false, 4, 8, -1, rec16(1, 4)),
      interp(FN(kvniInterpolateLumaTop_H264_16u_C1R), 2, true, 16, 8, 1, rec16(0, 2), a4),
      interp(FN(kvniInterpolateLumaBottom_H264_16u_C1R), 2, true, 16, 8, 0, rec16(0, 2), a4),
      interp(FN(kvniInterpolateChromaTop_H264_16u_C1R), 2, false, 4, 4, 1, rec16(5, 1), a4),
      interp(FN(kvniInterpolateChromaBottom_H264_16u_C1R), 2, false, 8, 2, 0, rec16(5, 1), a4),
  };
  for (bool edge : {true, false}) {
    k.push_back(block(FN(kvniInterpolateLumaBlock_H264_8u_P1R), kLuma, edge));
    k.push_back(block(FN(kvniInterpolateLumaBlock_H264_16u_P1R), kLuma, edge));
    k.push_back(block(FN(kvniInterpolateChromaBlock_H264_8u_P2R), kPlanar, edge));
    k.push_back(block(FN(kvniInterpolateChromaBlock_H264_8u_C2P2R), kC2P2, edge));
    k.push_back(block(FN(kvniInterpolateChromaBlock_H264_8u_C2C2R), kC2C2, edge));
    k.push_back(block(FN(kvniInterpolateChromaBlock_H264_16u_P2R), kPlanar, edge));
  }
  const Expect side = error(KVN_STS_SIZE_ERR);
  // Interleaved source, two planes out sharing a step.
  k.push_back(fn(FN(kvniInterpolateChroma_H264_8u_C2P2R), {p8(kIn, 0, 10, 5), p8(kOut, 1, 4, 4), p8(kOut, 1, 4, 4)},
                 {step(), step(), size(4, side), size(4, side)}, {}, p0, a0, p1, p2, a1, 6, 2, z2));
  // Averages: width and height 2..16 as unsigned values; steps not checked.
  k.push_back(fn(FN(kvniInterpolateBlock_H264_8u_P2P1R), {p8(kIn, 0, 6, 6), p8(kIn, 0, 6, 6), p8(kOut, 0, 6, 6)},
                 {step(), size(6, side), size(6, side)}, {}, p0, p1, p2, a1, a2, a0));
  k.push_back(fn(FN(kvniInterpolateBlock_H264_8u_P3P1R), {p8(kIn, 0, 6, 6), p8(kIn, 1, 6, 6), p8(kOut, 2, 6, 6)},
                 {step(), step(), step(), size(6, side), size(6, side)}, {}, p0, p1, p2, a3, a4, a0, a1, a2));
  // Border expansion of a 16x8 plane by 4: |step| must hold a row with both
  // borders (a negative step expands a bottom-up plane); an even height
  // beyond the plane designates more rows than it has.
  const std::vector<Arg> expand = {
      size(16, [](int32_t v) { return v < 1 ? int32_t(KVN_STS_SIZE_ERR) : int32_t(KVN_STS_STEP_ERR); }),
      size(8, [](int32_t v) { return v < 2 || (v & 1) ? int32_t(KVN_STS_SIZE_ERR) : int32_t(kSkip); }),
      step([](int32_t v) { return (v < 0 ? -int64_t(v) : v) < 24 ? int32_t(KVN_STS_STEP_ERR) : int32_t(kSame); }),
      size(4, [](int32_t v) {
        return v == 0 ? int32_t(kNoOutput) : v < 0 ? int32_t(KVN_STS_SIZE_ERR) : int32_t(KVN_STS_STEP_ERR);
      })};
  for (int32_t field : {0, 1, 2})
    k.push_back(fn("kvniExpandPlane_H264_8u_C1R field " + std::to_string(field), kvniExpandPlane_H264_8u_C1R,
                   {p8(kInOut, 2, 24, 16, -4, -4)}, expand, {}, p0, a0, a1, a2, a3, field));
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
  const Expect any = [](int32_t v) { return v < 1 ? int32_t(kNoOutput) : int32_t(kSkip); };
  const Arg width = size(kW, width_of(kW)), height = size(kH, sz);
  const std::vector<Plane> one = {p8(kInOut, 0, kW, kH)}, one16 = {p16(kInOut, 0, kW, kH, kSamples10)};
  const std::vector<Plane> two = {p8(kIn, 0, kW, kH), p8(kIn, 0, kW, kH), p8(kOut, 1, kW, kH)};
  const std::vector<Plane> three = {p8(kIn, 0, kW, kH), p8(kIn, 1, kW, kH), p8(kOut, 2, kW, kH)};
  const std::vector<Plane> pairs3 = {p8(kIn, 0, 2 * kW, kH), p8(kIn, 1, 2 * kW, kH), p8(kOut, 2, 2 * kW, kH)};
  const std::vector<Plane> rec16 = {p16(kIn, 0, kW, kH, kSamples10), p16(kIn, 1, kW, kH, kSamples10),
                                    p16(kOut, 2, kW, kH, kSamples10)};
  const std::vector<Arg> args1 = {step(row), width, height}, args2 = {step(row), step(row), width, height},
                         args3 = {step(row), step(row), step(row), width, height},
                         args16 = {step(row, 2), step(row, 2), step(row, 2), width, height};
  const auto bidir = rec<KvnBidirRecord16u>(p0, a0, p1, a1, p2, a2, z3, 10);
  const KvnWeightParams8u w1{5, 40, -20, 3, -3}, w2{5, 24, 50, -1, 7};
  sweep({
      fn(FN(kvniUniDirWeightBlock_H264_8u_C1R), one, args1, {}, p0, a0, 5, 40, -3, z1),
      fn(FN(kvniUniDirWeightBlock_H264_8u_C1IR), one, args1, {}, p0, a0, 5, 40, -3, z1),
      fn(FN(kvniUnidirWeight_H264_16u_IP2P1R), one16, {step(row, 2), width, height}, {}, p0, a0, 5, 40, -3, z1, 10),
      fn(FN(kvniUniDirWeightBlock_H264_8u_C2R), {p8(kInOut, 0, 2 * kW, kH)}, {step(pairs), width, height}, {},
         rec<KvnWeightBlockRecord8u>(nullptr, 0, nullptr, 0, p0, a0, z1), &w1),
      fn(FN(kvniBiDirWeightBlock_H264_8u_P2P1R), two, args2, {}, p0, p1, p2, a0, a1, 5, 40, 3, 24, -2, z2),
      fn(FN(kvniBiDirWeightBlock_H264_8u_P3P1R), three, args3, {}, p0, p1, p2, a0, a1, a2, 5, 40, 3, 24, -2, z3),
      fn(FN(kvniBiDirWeightBlockImplicit_H264_8u_P2P1R), two, args2, {}, p0, p1, p2, a0, a1, 40, 24, z2),
      fn(FN(kvniBiDirWeightBlockImplicit_H264_8u_P3P1R), three, {step(), step(), step(), size(kW, any), size(kH, any)},
         {}, p0, p1, p2, a0, a1, a2, 40, 24, z3),
      fn(FN(kvniWeightedAverage_H264_8u_C1IR), {p8(kIn, 0, kW, kH), one[0]}, args1, {}, p0, p1, a0, 40, 24, 6, -2, z1),
      fn(FN(kvniBiDirWeightBlock_H264_8u_C2R), pairs3, {step(pairs), step(), step(pairs), width, height}, {},
         rec<KvnWeightBlockRecord8u>(p0, a0, p1, a1, p2, a2, z3), &w1, &w2),
      // 16-bit two-list records (steps in samples).
      fn(FN(kvniBidirWeight_H264_16u_P2P1R), rec16, args16, {}, bidir, 5, 40, 3, 24, -2),
      fn(FN(kvniBidirWeightImplicit_H264_16u_P2P1R), rec16, args16, {}, bidir, 40, 24),
      fn(FN(kvniBidir_H264_16u_P2P1R), rec16,
         {step(same(), 2), step(same(), 2), step(same(), 2), size(kW, sz), size(kH, sz)}, {}, bidir),
  });
}

// ---------------------------------------------------------------------------
// H.264 CAVLC: the coefficient counts and scan ranges, refused outside their
// ranges before anything is read or written. The decoders read a coeff_token
// of the 6-bit form (nC 8): 000011, no coefficients.

Fixed scan_order() {
  std::vector<int32_t> s(16);
  for (int i = 0; i < 16; ++i) s[size_t(i)] = (i * 7) & 15;
  return table(s);
}

TEST(HostileArgs, H264Cavlc) {
  const std::vector<int32_t> counts = {0, -1, 1, 14, 17, -32768, 32767};
  const std::vector<int32_t> indices = {-1, 16, 255, INT32_MIN, 1 << 30, INT32_MAX};
  const Expect only15 = [](int32_t v) { return v == 15 ? int32_t(kAccepted) : int32_t(KVN_STS_OUT_OF_RANGE); };
  // The decoders: the stream, the bit position, the count, the coefficients
  // (a pointer moved), the tables (all one) and the scan.
  const std::vector<Fixed> stream = {table(std::vector<Kvn32u>{0x0C000000u, 0u}),
                                     table(std::vector<Kvn32u>{31}),
                                     out(2),
                                     out(32),
                                     table(std::vector<Kvn32s>{1, 0xF0F100, 0xF0F100}),
                                     scan_order()};
  const S<Kvn32u> word{0};
  const Tables t{4};
  // The analysis: end index at most 15 and not below the start index.
  const std::vector<Fixed> analysis16 = {in(32, kSmall16), scan_order(), out(1),  out(1),
                                         out(1),           out(1),       out(32), out(16)};
  const std::vector<Fixed> analysis32 = {in(64, kSmall32), scan_order(), out(1),  out(1),
                                         out(1),           out(1),       out(64), out(16)};
  const std::vector<int32_t> ends = {16, 128, 255};
  sweep({
      fn(FN(kvniDecodeCAVLCCoeffs_H264_1u16s), {}, {count(16, only15, counts)}, stream, word, f1, f2, S<Kvn16s>{3}, 8,
         a0, t, t, t, f5),
      fn(FN(kvniDecodeCAVLCCoeffs_H264_1u32s), {}, {count(16, only15, counts)}, stream, word, f1, f2, S<Kvn32s>{3}, 8,
         a0, t, t, t, f5),
      fn(FN(kvniDecodeCAVLCCoeffsIdxs_H264_1u16s), {},
         {count(16, index_range(1, 16), counts), count(0, index_range(0, 15), indices),
          count(15, index_range(0, 15), indices)},
         stream, word, f1, f2, S<Kvn16s>{3}, 8, a0, t, t, t, f5, a1, a2),
      fn(FN(kvniEncodeCoeffsCAVLC_H264_16s), {},
         {count(0, error(KVN_STS_OUT_OF_RANGE), ends), count(15, error(KVN_STS_OUT_OF_RANGE), ends)}, analysis16, f0,
         a0, f1, a1, f2, f3, f4, f5, f6, f7),
      fn(FN(kvniEncodeCoeffsCAVLC_H264_32s), {},
         {count(1, index_range(0, 15), indices), count(15, index_range(1, 15), indices)}, analysis32, f0, a0, f1, a1,
         f2, f3, f4, f5, f6, f7),
  });
}

// ---------------------------------------------------------------------------
// MPEG-2 quantisation and DCT: steps below 1 are refused; steps below the row
// make the rows overlap (accepted, rows written in order).

TEST(HostileArgs, Mpeg2Dct) {
  const Fixed coef = in(128, kSmall16);
  for (int32_t count : {64, 5, 0, -1})
    sweep({
        fn(FN(kvniDCT8x8Inv_AANTransposed_16s8u_C1R), {p8(kOut, 0, 8, 8)}, {step(at_least(1, 8))}, {coef}, f0, p0, a0,
           count),
        fn(FN(kvniDCT8x8Inv_AANTransposed_16s_C1R), {p16(kOut, 0, 8, 8, kBytes)}, {step(at_least(1, 16))}, {coef}, f0,
           p0, a0, count),
        fn(FN(kvniDCT8x8Inv_AANTransposed_16s8u_P2C2R), {p8(kOut, 0, 16, 8)}, {step(at_least(1, 16))}, {coef, coef}, f0,
           f1, p0, a0, count, 64 - count),
        fn(FN(kvniDCT8x8Inv_AANTransposed_16s_P2C2R), {p16(kOut, 0, 16, 8, kBytes)}, {step(at_least(1, 32))},
           {coef, coef}, f0, f1, p0, a0, count, 64 - count),
        fn(FN(kvniDCT8x8InvOrSet_16s8u_P2C2), {p8(kOut, 0, 16, 8)}, {step(at_least(1, 16))}, {coef, coef}, f0, f1, p0,
           a0, count & 3),
    });
  sweep({fn(FN(kvniDCT8x8Fwd_8u16s_C2P2), {p8(kIn, 0, 16, 8)}, {step(at_least(1, 16))}, {out(128), out(128)}, p0, a0,
            f0, f1)});
}

// ---------------------------------------------------------------------------
// MPEG-4/H.263: the edge filters take any row step (the boundary filter's
// rows hold only the two samples it changes); the H.263 inverse quantisers
// refuse a negative last index and take one above 63 as 63.

TEST(HostileArgs, Mpeg4H263) {
  // m samples on each side of the edge, n positions along it.
  const auto edge = [](bool vertical, int n, int m) {
    return std::vector<Plane>{
        {1, vertical ? -m : 0, vertical ? 2 * m : n, vertical ? 0 : -m, vertical ? n : 2 * m, 0, kInOut, kBytes}};
  };
  const std::vector<int32_t> lasts = {-1, 64, 1000, INT32_MIN, INT32_MAX};
  const Expect last = [](int32_t v) { return v < 0 ? int32_t(KVN_STS_OUT_OF_RANGE) : int32_t(kSame); };
  sweep({
      fn(FN(kvniFilterDeblocking8x8HorEdge_H263_8u_C1IR), edge(false, 8, 2), steps(1), {}, p0, a0, 12),
      fn(FN(kvniFilterDeblocking8x8VerEdge_H263_8u_C1IR), edge(true, 8, 2), steps(1), {}, p0, a0, 31),
      fn(FN(kvniFilterDeblocking16x16HorEdge_H263_8u_C1IR), edge(false, 16, 2), steps(1), {}, p0, a0),
      fn(FN(kvniFilterDeblocking16x16VerEdge_H263_8u_C1IR), edge(true, 16, 2), steps(1), {}, p0, a0),
      fn(FN(kvniFilterBlockBoundaryHorEdge_H263_8u_C1IR), edge(false, 16, 1), steps(1), {}, p0, a0),
      fn(FN(kvniFilterBlockBoundaryVerEdge_H263_8u_C1IR), edge(true, 16, 1), steps(1), {}, p0, a0),
      fn(FN(kvniQuantInvInter_H263_16s_C1I), {}, {count(63, last, lasts)}, {inout(128, kSmall16)}, f0, a0, 5, 0),
      fn(FN(kvniQuantInvIntra_H263_16s_C1I), {}, {count(63, last, lasts)}, {inout(128, kSmall16)}, f0, a0, 5, 0, 0),
  });
}

// MPEG-4 / H.263 / H.261 coefficient writers: counts outside their range are
// refused before anything is written; any scan selector and flag is a valid
// choice. The stream holds 64 escapes of 33 bits.

TEST(HostileArgs, Mpeg4CoeffEncode) {
  const std::vector<int32_t> counts = {0, -1, 63, 64, 65, -64, INT32_MIN, 1 << 30, INT32_MAX};
  const std::vector<int32_t> choices = {-2, -1, 1, 2, 3, INT32_MIN, INT32_MAX};
  const Expect any = [](int32_t) { return int32_t(kAccepted); };
  const std::vector<Fixed> io = {in(128, kSmall16), out(64 * 5), table(std::vector<Kvn32s>{3})};
  const S<Kvn8u> stream{1};
  const auto args = [&](int32_t maxCount) {
    return std::vector<Arg>{count(5, index_range(1, maxCount), counts), count(0, any, choices), count(0, any, choices)};
  };
  sweep({
      fn(FN(kvniEncodeCoeffsIntra_MPEG4_16s1u), {}, args(64), io, f0, stream, f2, a0, a1, 0, a2),
      fn(FN(kvniEncodeCoeffsIntra_MPEG4_16s1u), {}, args(63), io, f0, stream, f2, a0, a1, 1, a2),
      fn(FN(kvniEncodeCoeffsInter_MPEG4_16s1u), {}, args(64), io, f0, stream, f2, a0, a1, a2),
      fn(FN(kvniEncodeCoeffsIntra_H263_16s1u), {}, args(64), io, f0, stream, f2, a0, a1, a1, a2),
      fn(FN(kvniEncodeCoeffsInter_H263_16s1u), {}, args(64), io, f0, stream, f2, a0, a1, a2),
      fn(FN(kvniEncodeCoeffsIntra_H261_16s1u), {}, args(64), io, f0, stream, f2, a0, a2),
      fn(FN(kvniEncodeCoeffsInter_H261_16s1u), {}, args(64), io, f0, stream, f2, a0, a2),
  });
  const std::vector<Fixed> dcio = {out(4), table(std::vector<Kvn32s>{5})};
  const Expect dc = [](int32_t v) {
    return v >= -4095 && v <= 4095 ? int32_t(kAccepted) : int32_t(KVN_STS_OUT_OF_RANGE);
  };
  sweep({
      fn(FN(kvniEncodeDCIntra_MPEG4_16s1u), {},
         {count(7, dc, {4095, -4095, 4096, -4096, -32768, 32767}), count(0, any, choices)}, dcio, a0, S<Kvn8u>{0}, f1,
         a1),
  });
}

// ---------------------------------------------------------------------------
// MPEG-4 / H.263 / H.261 coefficient decoding: quantisers outside 1..31 are
// refused before anything is read or written; scan selectors and flags of any
// value are accepted. Each stream holds one short valid block (0111 0: LAST,
// run 0, level +1 in Tables 16, I.2, B-16 and B-17; H.261: 1s, then 10).

TEST(HostileArgs, Mpeg4Vlc) {
  const Expect qp = [](int32_t v) { return v >= 1 && v <= 31 ? int32_t(kAccepted) : int32_t(KVN_STS_QP_ERR); };
  const Expect any = [](int32_t) { return int32_t(kAccepted); };
  const std::vector<int32_t> qps = {0, -1, 32, 255, INT32_MIN, 1 << 30, INT32_MAX};
  const std::vector<int32_t> scans = {-1, 3, 255, INT32_MIN, 1 << 30, INT32_MAX};
  const auto stream = [](std::vector<Kvn8u> bytes) {
    bytes.resize(16, 0);
    return std::vector<Fixed>{table(bytes), table(std::vector<Kvn32s>{0}), out(128), out(4)};
  };
  const auto tcoef = stream({0x70}), dcThenTcoef = stream({0x70, 0x70}), h261 = stream({0xA0}),
             h261Intra = stream({0x70, 0x80});
  const S<Kvn8u> bs{0};
  sweep({
      fn(FN(kvniDecodeCoeffsIntra_MPEG4_1u16s), {}, {count(0, any, scans)}, tcoef, bs, f1, f2, f3, 0, 0, a0),
      fn(FN(kvniDecodeCoeffsInter_MPEG4_1u16s), {}, {count(0, any, scans)}, tcoef, bs, f1, f2, f3, 0, a0),
      fn(FN(kvniDecodeCoeffsIntra_H263_1u16s), {}, {count(0, any, scans)}, tcoef, bs, f1, f2, f3, 1, 0, a0),
      fn(FN(kvniDecodeCoeffsInter_H263_1u16s), {}, {count(0, any, scans)}, tcoef, bs, f1, f2, f3, 0, a0),
      fn(FN(kvniDecodeCoeffsIntra_H261_1u16s), {}, {count(0, any, scans)}, h261Intra, bs, f1, f2, f3, a0),
      fn(FN(kvniDecodeCoeffsInter_H261_1u16s), {}, {count(0, any, scans)}, h261, bs, f1, f2, f3, a0),
      fn(FN(kvniDecodeDCIntra_MPEG4_1u16s), {}, {count(0, any, scans)}, tcoef, bs, f1, f2, a0),
      fn(FN(kvniReconstructCoeffsIntra_H261_1u16s), {}, {count(5, qp, qps)}, h261Intra, bs, f1, f2, f3, a0),
      fn(FN(kvniReconstructCoeffsInter_H261_1u16s), {}, {count(5, qp, qps)}, h261, bs, f1, f2, f3, a0),
      fn(FN(kvniReconstructCoeffsIntra_H263_1u16s), {}, {count(5, qp, qps), count(0, any, scans)}, dcThenTcoef, bs, f1,
         f2, f3, 1, a0, 1, a1, 0),
      fn(FN(kvniReconstructCoeffsInter_H263_1u16s), {}, {count(5, qp, qps)}, tcoef, bs, f1, f2, f3, a0, 0),
  });
}

// ---------------------------------------------------------------------------
// AVS inter reconstruction: any row step is taken (rows in order); a QP out
// of range is refused before anything is read or written.

TEST(HostileArgs, AvsReconstruction) {
  const Fixed coefs = inout(4 * 128, kSmall16), counts = table(std::vector<Kvn32u>{64, 1, 5, 0});
  const std::vector<int32_t> qps = {-1, 64, 1000, INT32_MIN, INT32_MAX};
  sweep({
      fn(FN(kvniReconstructLumaInter_AVS_16s8u_C1R), {p8(kInOut, 0, 16, 16)},
         {step(), count(30, index_range(0, 63), qps)}, {coefs, counts}, s16, p0, a0, f1, Kvn8u(0xF), a1),
      fn(FN(kvniReconstructChromaInter_AVS_16s8u_C1R), {p8(kInOut, 0, 8, 16), p8(kInOut, 0, 8, 16)},
         {step(), count(30, index_range(0, 51), qps)}, {coefs, counts}, s16, p0, p1, a0, f1, Kvn8u(0xF), a1),
  });
}

// ---------------------------------------------------------------------------
// VC-1 transforms and quantisation: any row step is accepted; an inverse
// transform's region is taken within 1 .. the block's sides (the full block
// from its size on); forward double quantisers outside 2..62 and quantiser
// regions other than 4 or 8 are refused; the inverse quantisers take any
// double quantiser.

TEST(HostileArgs, Vc1) {
  const auto region = [](int32_t full) -> Expect {
    return [full](int32_t v) { return v >= full ? int32_t(kSame) : int32_t(kAccepted); };
  };
  const Expect side = [](int32_t v) { return v == 4 || v == 8 ? int32_t(kAccepted) : int32_t(KVN_STS_SIZE_ERR); };
  const Expect any = [](int32_t) { return int32_t(kAccepted); };
  const std::vector<int32_t> qs = {0, 1, 2, 62, 63, -2, 65536 + 6, INT32_MIN, INT32_MAX};
  const auto in16 = [](int arg, int w, int h) { return p16(kIn, arg, w, h, kSmall16); };
  const auto out16 = [](int arg, int w, int h) { return p16(kOut, arg, w, h, kBytes); };
  const auto io16 = [](int w, int h) { return p16(kInOut, 0, w, h, kSmall16); };
  std::vector<Case> cases;
  const auto shapes = [&](auto fwd, auto fwdI, auto inv, auto invI, int w, int h) {
    cases.push_back(fn(fwd.first, fwd.second, {in16(0, w, h), out16(1, w, h)}, steps(2), {}, p0, a0, p1, a1));
    cases.push_back(fn(fwdI.first, fwdI.second, {io16(w, h)}, steps(1), {}, p0, a0));
    cases.push_back(fn(inv.first, inv.second, {in16(0, w, h), out16(1, w, h)},
                       {step(), step(), size(w, region(w)), size(h, region(h))}, {}, p0, a0, p1, a1, z2));
    cases.push_back(
        fn(invI.first, invI.second, {io16(w, h)}, {step(), size(w, region(w)), size(h, region(h))}, {}, p0, a0, z1));
  };
#define KVN_VC1_PAIR(f) std::make_pair(#f, f)
  shapes(KVN_VC1_PAIR(kvniTransform4x4Fwd_VC1_16s_C1R), KVN_VC1_PAIR(kvniTransform4x4Fwd_VC1_16s_C1IR),
         KVN_VC1_PAIR(kvniTransform4x4Inv_VC1_16s_C1R), KVN_VC1_PAIR(kvniTransform4x4Inv_VC1_16s_C1IR), 4, 4);
  shapes(KVN_VC1_PAIR(kvniTransform4x8Fwd_VC1_16s_C1R), KVN_VC1_PAIR(kvniTransform4x8Fwd_VC1_16s_C1IR),
         KVN_VC1_PAIR(kvniTransform4x8Inv_VC1_16s_C1R), KVN_VC1_PAIR(kvniTransform4x8Inv_VC1_16s_C1IR), 4, 8);
  shapes(KVN_VC1_PAIR(kvniTransform8x4Fwd_VC1_16s_C1R), KVN_VC1_PAIR(kvniTransform8x4Fwd_VC1_16s_C1IR),
         KVN_VC1_PAIR(kvniTransform8x4Inv_VC1_16s_C1R), KVN_VC1_PAIR(kvniTransform8x4Inv_VC1_16s_C1IR), 8, 4);
  shapes(KVN_VC1_PAIR(kvniTransform8x8Fwd_VC1_16s_C1R), KVN_VC1_PAIR(kvniTransform8x8Fwd_VC1_16s_C1IR),
         KVN_VC1_PAIR(kvniTransform8x8Inv_VC1_16s_C1R), KVN_VC1_PAIR(kvniTransform8x8Inv_VC1_16s_C1IR), 8, 8);
#undef KVN_VC1_PAIR
  const Arg q = count(6, index_range(2, 62), qs), anyQ = count(6, any, qs);
  for (auto f : {std::make_pair("kvniQuantIntraUniform_VC1_16s_C1IR", kvniQuantIntraUniform_VC1_16s_C1IR),
                 std::make_pair("kvniQuantIntraNonuniform_VC1_16s_C1IR", kvniQuantIntraNonuniform_VC1_16s_C1IR)})
    cases.push_back(fn(f.first, f.second, {io16(8, 8)}, {step(), q}, {}, p0, a0, a1));
  for (auto f : {std::make_pair("kvniQuantInterUniform_VC1_16s_C1IR", kvniQuantInterUniform_VC1_16s_C1IR),
                 std::make_pair("kvniQuantInterNonuniform_VC1_16s_C1IR", kvniQuantInterNonuniform_VC1_16s_C1IR)})
    cases.push_back(fn(f.first, f.second, {io16(8, 8)}, {step(), q, size(8, side), size(8, side)}, {}, p0, a0, a1, z2));
  cases.insert(
      cases.end(),
      {
          fn(FN(kvniQuantInvIntraUniform_VC1_16s_C1IR), {io16(8, 8)}, {step(), anyQ}, {out(8)}, p0, a0, a1, f0),
          fn(FN(kvniQuantInvIntraNonuniform_VC1_16s_C1IR), {io16(8, 8)}, {step(), anyQ}, {out(8)}, p0, a0, a1, f0),
          fn(FN(kvniQuantInvIntraUniform_VC1_16s_C1R), {in16(0, 8, 8), out16(1, 8, 8)}, {step(), step(), anyQ},
             {out(8)}, p0, a0, p1, a1, a2, f0),
          fn(FN(kvniQuantInvIntraNonuniform_VC1_16s_C1R), {in16(0, 8, 8), out16(1, 8, 8)}, {step(), step(), anyQ},
             {out(8)}, p0, a0, p1, a1, a2, f0),
          fn(FN(kvniQuantInvInterUniform_VC1_16s_C1IR), {io16(8, 8)}, {step(), anyQ, size(8, side), size(8, side)},
             {out(8)}, p0, a0, a1, z2, f0),
          fn(FN(kvniQuantInvInterNonuniform_VC1_16s_C1IR), {io16(8, 8)}, {step(), anyQ, size(8, side), size(8, side)},
             {out(8)}, p0, a0, a1, z2, f0),
          fn(FN(kvniQuantInvInterUniform_VC1_16s_C1R), {in16(0, 8, 8), out16(1, 8, 8)},
             {step(), step(), anyQ, size(8, side), size(8, side)}, {out(8)}, p0, a0, p1, a1, a2, z3, f0),
          fn(FN(kvniQuantInvInterNonuniform_VC1_16s_C1R), {in16(0, 8, 8), out16(1, 8, 8)},
             {step(), step(), anyQ, size(8, side), size(8, side)}, {out(8)}, p0, a0, p1, a1, a2, z3, f0),
      });
  sweep(cases);
}

// ---------------------------------------------------------------------------
// VC-1 interpolation and range mapping: steps are not checked (every value
// gives the valid call's result); a block size outside a function's set is
// refused with nothing written; a range-map region below 1 x 1 writes
// nothing and returns 0.

TEST(HostileArgs, Vc1Interp) {
  const Expect refused = error(KVN_STS_SIZE_ERR);
  // The source reaches `left`, `right` columns and `above`, `below` rows past
  // a w x h block (w in bytes).
  const auto interp = [&](const char* name, auto f, int w, int h, int bytes, int left, int right, int above, int below,
                          int dx, int dy) {
    const Plane src{1, -left, left + w * bytes + right, -above, above + h + below, 0, kIn, kBytes};
    return fn(name, f, {src, p8(kOut, 1, w * bytes, h)}, {step(), step(), size(w, refused), size(h, refused)}, {},
              rec<KvnInterpolationRecordVC1>(p0, a0, p1, a1, dx, dy, a2, a3, 1));
  };
  const Expect region = [](int32_t v) {
    return v < 1 ? int32_t(kNoOutput) : v > 13 ? int32_t(kSkip) : int32_t(kAccepted);
  };
  sweep({
      interp(FN(kvniInterpolateQPBicubic_VC1_8u_C1R), 16, 8, 1, 1, 2, 1, 2, 3, 1),
      interp(FN(kvniInterpolateQPBicubic_VC1_8u_C1R), 8, 8, 1, 1, 2, 0, 0, 2, 0),
      interp(FN(kvniInterpolateQPBicubic_VC1_8u_C1R), 16, 16, 1, 0, 0, 1, 2, 0, 3),
      interp(FN(kvniInterpolateQPBilinear_VC1_8u_C1R), 16, 16, 1, 0, 1, 0, 1, 1, 3),
      interp(FN(kvniInterpolateQPBilinear_VC1_8u_C1R), 8, 4, 1, 0, 1, 0, 0, 2, 0),
      interp(FN(kvniInterpolateQPBilinear_VC1_8u_C2R), 8, 8, 2, 0, 2, 0, 1, 3, 1),
      interp(FN(kvniInterpolateQPBilinear_VC1_8u_C2R), 4, 4, 2, 0, 0, 0, 1, 0, 2),
      fn(FN(kvniRangeMapping_VC1_8u_C1R), {p8(kIn, 0, 13, 5), p8(kOut, 1, 13, 5)},
         {step(), step(), size(13, region), size(5, region)}, {}, p0, a0, p1, a1, z2, 7u),
  });
}

// ---------------------------------------------------------------------------
// Deinterlacing and 4:2:2 to 4:2:0 with rotation: steps are not checked; a
// region below the minimum is refused with nothing written. The conversion's
// steps are unsigned (Kvn32u arrays): their hostile values are the
// non-negative ones.

// A Kvn32u step array made of three step arguments.
struct StepArray {
  A a, b, c;
};
struct StepArrayArg {
  Kvn32u s[3];
  operator const Kvn32u*() const { return s; }
};
StepArrayArg get(Call& c, StepArray x) { return {{Kvn32u(get(c, x.a)), Kvn32u(get(c, x.b)), Kvn32u(get(c, x.c))}}; }

TEST(HostileArgs, VppDeinterlace) {
  const Expect size_err = [](int32_t v) { return v < 1 ? int32_t(KVN_STS_SIZE_ERR) : int32_t(kSkip); };
  std::vector<Case> cases;
  for (int field = 0; field < 2; ++field)
    for (int border = 0; border < 2; ++border)
      for (int w : {2, 37}) {
        // Rows -1 .. h of the source: the caller provides the row beyond the region.
        const Plane src{1, 0, w, -1, 8, 0, kIn, kBytes};
        cases.push_back(fn(std::string("kvniDeinterlaceEdgeDetect_8u_C1R field ") + char('0' + field) + " border " +
                               char('0' + border) + " width " + std::to_string(w),
                           kvniDeinterlaceEdgeDetect_8u_C1R, {src, p8(kOut, 1, w, 6)},
                           {step(), step(), size(w, size_err), size(6, size_err)}, {}, p0, a0, p1, a1, z2, field,
                           border));
      }
  sweep(cases);
}

TEST(HostileArgs, VppCc422) {
  const std::vector<int32_t> unsignedSteps = {0, 1, 7, 1 << 30, INT32_MAX};
  const Arg dstStep{true, 0, 1, same(), unsignedSteps};
  const auto side = [](int32_t valid) {
    return size(valid, [valid](int32_t v) {
      return v < 2 ? int32_t(KVN_STS_SIZE_ERR) : v < valid ? int32_t(kAccepted) : int32_t(kSkip);
    });
  };
  std::vector<Case> cases;
  for (int rot = 0; rot < 4; ++rot) {
    const int w = 36, h = 18, dw = rot == 1 || rot == 2 ? h : w, dh = rot == 1 || rot == 2 ? w : h;
    const std::string r = " rotation " + std::to_string(rot);
    cases.push_back(
        fn(std::string("kvniCbYCr422ToYCbCr420_Rotate_8u_C2P3R") + r, kvniCbYCr422ToYCbCr420_Rotate_8u_C2P3R,
           {p8(kIn, 0, 2 * w, h), p8(kOut, 1, dw, dh), p8(kOut, 2, dw / 2, dh / 2), p8(kOut, 3, dw / 2, dh / 2)},
           {step(), dstStep, dstStep, dstStep, side(w), side(h)}, {}, p0, a0, z4, rec<KvnPlaneRecord8u>(p1, p2, p3),
           StepArray{a1, a2, a3}, rot));
    cases.push_back(fn(std::string("kvniCbYCr422ToYCbCr420_Rotate_8u_P3R") + r, kvniCbYCr422ToYCbCr420_Rotate_8u_P3R,
                       {p8(kIn, 0, w, h), p8(kIn, 1, w / 2, h), p8(kIn, 2, w / 2, h), p8(kOut, 3, dw, dh),
                        p8(kOut, 4, dw / 2, dh / 2), p8(kOut, 5, dw / 2, dh / 2)},
                       {dstStep, dstStep, dstStep, dstStep, dstStep, dstStep, side(w), side(h)}, {},
                       rec<KvnPlaneRecord8u>(p0, p1, p2), StepArray{a0, a1, a2}, Z{6},
                       rec<KvnPlaneRecord8u>(p3, p4, P{5}), StepArray{a3, a4, A{5}}, rot));
  }
  sweep(cases);
}

// ---------------------------------------------------------------------------
// DV: the one-pass segment decoder takes any limit (an 8-bit argument; 64 and
// above set none) and stays inside its blocks and parameter words.

TEST(HostileArgs, Dv) {
  const Expect any = [](int32_t) { return int32_t(kAccepted); };
  sweep({fn(FN(kvniHuffmanDecodeSegmentOnePass_DV_8u16s), {},
            {count(5, any, {0, 1, 63, 64, 65, 255, 256, -1, INT32_MIN, INT32_MAX})},
            {in(416), out(30 * 128), out(30 * 4)}, f0, nullptr, nullptr, f1, f2, a0)});
}

// ---------------------------------------------------------------------------
// VC-1 overlap smoothing and loop filter: steps are not checked, so every
// value is valid and addresses the rows it names. The smoothing sources are
// 16-bit planes whose step counts bytes; the destinations span the two
// samples before and after the edge.

TEST(HostileArgs, Vc1FilterSmoothing) {
  // 16-bit sources: w samples, h rows; destination: columns -2..1 (vertical)
  // or rows -2..1 (horizontal) of an edge of n samples (`unit` bytes each).
  const auto src = [](Role role, int arg, int w, int h) { return p16(role, arg, w, h, kSamples10); };
  const auto ver_dst = [](int arg, int n, int unit) { return p8(kOut, arg, 4 * unit, n, -2 * unit); };
  const auto hor_dst = [](int arg, int n, int unit) { return p8(kOut, arg, n * unit, 4, 0, -2); };
  sweep({
      fn(FN(kvniSmoothingLuma_VerEdge_VC1_16s8u_C1R), {src(kInOut, 0, 2, 16), src(kInOut, 1, 2, 16), ver_dst(2, 16, 1)},
         steps(3), {}, p0, a0, p1, a1, p2, a2, 0, 15),
      fn(FN(kvniSmoothingLuma_VerEdge_VC1_16s8u_C1R), {src(kInOut, 0, 2, 16), src(kInOut, 1, 2, 16), ver_dst(2, 16, 1)},
         steps(3), {}, p0, a0, p1, a1, p2, a2, 3, 1),
      fn(FN(kvniSmoothingLuma_HorEdge_VC1_16s8u_C1R), {src(kIn, 0, 16, 2), src(kIn, 1, 16, 2), hor_dst(2, 16, 1)},
         steps(3), {}, p0, a0, p1, a1, p2, a2, Kvn8u(15)),
      fn(FN(kvniSmoothingChroma_VerEdge_VC1_16s8u_C1R), {src(kInOut, 0, 2, 8), src(kInOut, 1, 2, 8), ver_dst(2, 8, 1)},
         steps(3), {}, p0, a0, p1, a1, p2, a2),
      fn(FN(kvniSmoothingChroma_HorEdge_VC1_16s8u_C1R), {src(kIn, 0, 8, 2), src(kIn, 1, 8, 2), hor_dst(2, 8, 1)},
         steps(3), {}, p0, a0, p1, a1, p2, a2),
      fn(FN(kvniSmoothingChroma_VerEdge_VC1_16s8u_P2C2R),
         {src(kInOut, 0, 2, 8), src(kInOut, 1, 2, 8), src(kInOut, 2, 2, 8), src(kInOut, 3, 2, 8), ver_dst(4, 8, 2)},
         steps(5), {}, p0, a0, p1, a1, p2, a2, p3, a3, p4, a4),
      fn(FN(kvniSmoothingChroma_HorEdge_VC1_16s8u_P2C2R),
         {src(kIn, 0, 8, 2), src(kIn, 1, 8, 2), src(kIn, 2, 8, 2), src(kIn, 3, 8, 2), hor_dst(4, 8, 2)}, steps(5), {},
         p0, a0, p1, a1, p2, a2, p3, a3, p4, a4),
  });
}

TEST(HostileArgs, Vc1FilterLoop) {
  // Four samples (`unit` bytes each) on each side of the edge, n along it.
  const auto edge = [](bool vertical, int n, int unit) {
    const int m = 4 * unit;
    return std::vector<Plane>{
        {1, vertical ? -m : 0, vertical ? 2 * m : n * unit, vertical ? 0 : -4, vertical ? n : 8, 0, kInOut, kBytes}};
  };
  const Kvn32u pq = 12, none = 0;
  sweep({
      fn(FN(kvniFilterDeblockingLuma_VerEdge_VC1_8u_C1IR), edge(true, 16, 1), steps(1), {}, p0, pq, a0, none),
      fn(FN(kvniFilterDeblockingLuma_HorEdge_VC1_8u_C1IR), edge(false, 16, 1), steps(1), {}, p0, pq, a0, none),
      fn(FN(kvniFilterDeblockingChroma_VerEdge_VC1_8u_C1IR), edge(true, 8, 1), steps(1), {}, p0, pq, a0, none),
      fn(FN(kvniFilterDeblockingChroma_HorEdge_VC1_8u_C1IR), edge(false, 8, 1), steps(1), {}, p0, pq, a0, none),
      fn(FN(kvniFilterDeblockingChroma_VerEdge_VC1_8u_C2IR), edge(true, 8, 2), steps(1), {}, p0, pq, a0, none, none),
      fn(FN(kvniFilterDeblockingChroma_HorEdge_VC1_8u_C2IR), edge(false, 8, 2), steps(1), {}, p0, pq, a0, none, none),
  });
}

}  // namespace
