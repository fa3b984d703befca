// Scalar reference kernels of the block differences, written straight from
// the formulas. The SIMD kernels are checked against these.
#include <array>
#include <cstddef>
#include <cstring>

#include "block_pred.h"
#include "diff.h"
#include "diff_gen.h"

namespace kvn {
namespace {

using std::ptrdiff_t;

// Sample x of a row of T at any byte address; stores keep v modulo 65536.
template <class T>
inline int sample(const uint8_t* row, int x) {
  T v;
  std::memcpy(&v, row + sizeof(T) * x, sizeof(T));
  return v;
}
inline void store16(uint8_t* row, int x, int v) {
  const uint16_t u = uint16_t(v);
  std::memcpy(row + 2 * x, &u, 2);
}

// Row-by-row predictions: one reference, or the average (rounded up) of two.
template <int Code, int Dx, int Round>
struct One {
  const uint8_t* r;
  ptrdiff_t s;
  int at(int x) const { return predict<Code, Dx>(r, s, x, Round); }
  void next() { r += s; }
};
template <int CodeF, int CodeB, int Dx, int Round>
struct Two {
  One<CodeF, Dx, Round> f;
  One<CodeB, Dx, Round> b;
  int at(int x) const { return (f.at(x) + b.at(x) + 1) >> 1; }
  void next() {
    f.next();
    b.next();
  }
};

template <int W, int H, bool WithPred, class P>
void diff_rows(const uint8_t* src, ptrdiff_t ss, P pred, int16_t* diff, ptrdiff_t ds, int16_t* out, ptrdiff_t os) {
  uint8_t* d = byte_ptr(diff);
  uint8_t* o = WithPred ? byte_ptr(out) : nullptr;
  for (int y = 0; y < H; ++y, src += ss, pred.next(), d += ds) {
    for (int x = 0; x < W; ++x) {
      const int p = pred.at(x);
      store16(d, x, src[x] - p);
      if constexpr (WithPred) store16(o, x, p);
    }
    if constexpr (WithPred) o += os;
  }
}

// Interleaved source and prediction: channel c of pair x is byte 2x + c.
template <int H, class P>
void diff_p2_rows(const uint8_t* src, ptrdiff_t ss, P pred, int16_t* diffU, ptrdiff_t dus, int16_t* diffV,
                  ptrdiff_t dvs) {
  uint8_t* du = byte_ptr(diffU);
  uint8_t* dv = byte_ptr(diffV);
  for (int y = 0; y < H; ++y, src += ss, pred.next(), du += dus, dv += dvs)
    for (int x = 0; x < 8; ++x) {
      store16(du, x, src[2 * x] - pred.at(2 * x));
      store16(dv, x, src[2 * x + 1] - pred.at(2 * x + 1));
    }
}

void diff4x4_c(const uint8_t* src, int32_t ss, const uint8_t* pred, int32_t ps, int16_t* diff, int32_t ds) {
  diff_rows<4, 4, false>(src, ss, One<0, 1, 0>{pred, ps}, diff, ds, nullptr, 0);
}

template <int W, int H, int Code, int Round, bool WithPred>
void get_diff_c(const uint8_t* src, int32_t ss, const uint8_t* ref, int32_t rs, int16_t* diff, int32_t ds, int16_t* out,
                int32_t os) {
  diff_rows<W, H, WithPred>(src, ss, One<Code, 1, Round>{ref, rs}, diff, ds, out, os);
}

template <int W, int H, int CodeF, int CodeB, int Round>
void get_diff_b_c(const uint8_t* src, int32_t ss, const uint8_t* rf, int32_t fs, const uint8_t* rb, int32_t bs,
                  int16_t* diff, int32_t ds) {
  diff_rows<W, H, false>(src, ss, Two<CodeF, CodeB, 1, Round>{{rf, fs}, {rb, bs}}, diff, ds, nullptr, 0);
}

template <int H, int Code, int Round>
void get_diff_p2_c(const uint8_t* src, int32_t ss, const uint8_t* ref, int32_t rs, int16_t* du, int32_t dus,
                   int16_t* dv, int32_t dvs) {
  diff_p2_rows<H>(src, ss, One<Code, 2, Round>{ref, rs}, du, dus, dv, dvs);
}

template <int H, int CodeF, int CodeB, int Round>
void get_diff_p2b_c(const uint8_t* src, int32_t ss, const uint8_t* rf, int32_t fs, const uint8_t* rb, int32_t bs,
                    int16_t* du, int32_t dus, int16_t* dv, int32_t dvs) {
  diff_p2_rows<H>(src, ss, Two<CodeF, CodeB, 2, Round>{{rf, fs}, {rb, bs}}, du, dus, dv, dvs);
}

template <int N>
void sub16u_c(const uint16_t* s1, int32_t st1, const uint16_t* s2, int32_t st2, int16_t* diff, int32_t ds) {
  const uint8_t* a = byte_ptr(s1);
  const uint8_t* b = byte_ptr(s2);
  uint8_t* d = byte_ptr(diff);
  for (int y = 0; y < N; ++y, a += st1, b += st2, d += ds)
    for (int x = 0; x < N; ++x) store16(d, x, sample<uint16_t>(a, x) - sample<uint16_t>(b, x));
}

// Sums of the 4x4 blocks of an N x N difference (exact), and with WithDiff
// the differences block by block. Source sample x of a row is element Sx * x
// (Sx = 2: one channel of interleaved pairs).
template <class T, int Sx, int N, bool WithDiff, class Sum>
void sums_blocks(const uint8_t* src, ptrdiff_t ss, const uint8_t* pred, ptrdiff_t ps, Sum* sums, int16_t* diff) {
  for (int b = 0; b < N * N / 16; ++b) {
    const int bx = 4 * (b % (N / 4)), by = 4 * (b / (N / 4));
    int32_t sum = 0;
    for (int y = 0; y < 4; ++y) {
      const uint8_t* s = src + (by + y) * ss;
      const uint8_t* p = pred + (by + y) * ps;
      for (int x = 0; x < 4; ++x) {
        const int d = sample<T>(s, Sx * (bx + x)) - sample<T>(p, bx + x);
        sum += d;
        if constexpr (WithDiff) store16(byte_ptr(diff + 16 * b + 4 * y), x, d);
      }
    }
    sums[b] = Sum(sum);
  }
}

template <int N, bool WithDiff>
void sums_diff_c(const uint8_t* src, int32_t ss, const uint8_t* pred, int32_t ps, int16_t* sums, int16_t* diff) {
  sums_blocks<uint8_t, 1, N, WithDiff>(src, ss, pred, ps, sums, diff);
}

template <int N, bool WithDiff>
void sums_diff16u_c(const uint16_t* src, int32_t ss, const uint16_t* pred, int32_t ps, int32_t* sums, int16_t* diff) {
  sums_blocks<uint16_t, 1, N, WithDiff>(byte_ptr(src), ss, byte_ptr(pred), ps, sums, diff);
}

template <bool WithDiffU, bool WithDiffV>
void sums_diff_p2_c(const uint8_t* src, int32_t ss, const uint8_t* pu, int32_t pus, const uint8_t* pv, int32_t pvs,
                    int16_t* sumsU, int16_t* diffU, int16_t* sumsV, int16_t* diffV) {
  sums_blocks<uint8_t, 2, 8, WithDiffU>(src, ss, pu, pus, sumsU, diffU);
  sums_blocks<uint8_t, 2, 8, WithDiffV>(src + 1, ss, pv, pvs, sumsV, diffV);
}

// The kernel templates, for the table generators (diff_gen.h).
struct Kernels {
  template <int W, int H, int Code, int Round, bool WithPred>
  static constexpr GetDiffFn get_diff = get_diff_c<W, H, Code, Round, WithPred>;
  template <int W, int H, int CodeF, int CodeB, int Round>
  static constexpr GetDiffBFn get_diff_b = get_diff_b_c<W, H, CodeF, CodeB, Round>;
  template <int H, int Code, int Round>
  static constexpr GetDiffP2Fn get_diff_p2 = get_diff_p2_c<H, Code, Round>;
  template <int H, int CodeF, int CodeB, int Round>
  static constexpr GetDiffP2BFn get_diff_p2b = get_diff_p2b_c<H, CodeF, CodeB, Round>;
  template <int N, bool WithDiff>
  static constexpr SumsDiff8uFn sums_diff = sums_diff_c<N, WithDiff>;
  template <int N, bool WithDiff>
  static constexpr SumsDiff16uFn sums_diff16u = sums_diff16u_c<N, WithDiff>;
  template <bool U, bool V>
  static constexpr SumsDiffP2Fn sums_diff_p2 = sums_diff_p2_c<U, V>;
};

constexpr DiffKernels make_c_table() {
  DiffKernels k{};
  k.diff4x4 = diff4x4_c;
  gen::put_get_diff16<Kernels>(k);
  gen::put_get_diff8<Kernels>(k);
  gen::put_get_diff_p2<Kernels>(k);
  k.sub16u4x4 = sub16u_c<4>;
  k.sub16u8x8 = sub16u_c<8>;
  gen::put_sums_diff<Kernels>(k);
  return k;
}

}  // namespace

constexpr DiffKernels kDiffKernelsC = make_c_table();

}  // namespace kvn
