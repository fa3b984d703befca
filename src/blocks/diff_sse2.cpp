// SSE2 kernels of the block differences.
//
// A row of 8 or 16 samples is one load; its prediction comes from the block
// layer's byte-exact predictors (hpel_simd.h). Source and prediction are
// widened to 16-bit lanes (punpck with zero) and subtracted (psubw).
// Interleaved chroma splits a 16-byte row into its channels in 16-bit lanes:
// Cb = row & 0x00ff, Cr = row >> 8.
// SumsDiff keeps the four rows of a row of 4x4 blocks in registers (8
// differences a register: row r of two blocks side by side); the 4-row sums
// are reduced to 32-bit pair sums by pmaddwd with ones, and pairs to block
// sums by adding even and odd lanes. 16-bit samples are biased to signed
// (x ^ 0x8000) for pmaddwd; the bias cancels in source minus prediction, so
// their 32-bit sums are exact while the stored differences wrap.
#include <emmintrin.h>

#include <cstddef>

#include "diff.h"
#include "diff_gen.h"
#include "hpel_simd.h"
#include "simd/loads.h"

namespace kvn {
namespace KVN_ISA {
namespace {

using namespace hpel;
using std::ptrdiff_t;

inline __m128i widen_lo(__m128i v) { return _mm_unpacklo_epi8(v, _mm_setzero_si128()); }
inline __m128i widen_hi(__m128i v) { return _mm_unpackhi_epi8(v, _mm_setzero_si128()); }

template <int W, int H, bool WithPred, class Pred>
inline void diff_rows(const uint8_t* src, ptrdiff_t ss, Pred pred, int16_t* diff, ptrdiff_t ds, int16_t* out,
                      ptrdiff_t os) {
  uint8_t* d = byte_ptr(diff);
  uint8_t* o = WithPred ? byte_ptr(out) : nullptr;
  for (int y = 0; y < H; ++y, src += ss, d += ds) {
    const __m128i s = load<W>(src), q = pred.next();
    const __m128i ql = widen_lo(q);
    store<16>(d, _mm_sub_epi16(widen_lo(s), ql));
    if constexpr (WithPred) store<16>(o, ql);
    if constexpr (W == 16) {
      const __m128i qh = widen_hi(q);
      store<16>(d + 16, _mm_sub_epi16(widen_hi(s), qh));
      if constexpr (WithPred) store<16>(o + 16, qh);
    }
    if constexpr (WithPred) o += os;
  }
}

template <int H, class Pred>
inline void diff_p2_rows(const uint8_t* src, ptrdiff_t ss, Pred pred, int16_t* diffU, ptrdiff_t dus, int16_t* diffV,
                         ptrdiff_t dvs) {
  const __m128i low = _mm_set1_epi16(0x00ff);
  uint8_t* du = byte_ptr(diffU);
  uint8_t* dv = byte_ptr(diffV);
  for (int y = 0; y < H; ++y, src += ss, du += dus, dv += dvs) {
    const __m128i s = load<16>(src), q = pred.next();
    store<16>(du, _mm_sub_epi16(_mm_and_si128(s, low), _mm_and_si128(q, low)));
    store<16>(dv, _mm_sub_epi16(_mm_srli_epi16(s, 8), _mm_srli_epi16(q, 8)));
  }
}

// Two rows a register.
void diff4x4(const uint8_t* src, int32_t srcStep, const uint8_t* pred, int32_t predStep, int16_t* diff,
             int32_t diffStep) {
  const ptrdiff_t ss = srcStep, ps = predStep, ds = diffStep;
  uint8_t* d = byte_ptr(diff);
  for (int y = 0; y < 4; y += 2, src += 2 * ss, pred += 2 * ps, d += 2 * ds) {
    const __m128i s = _mm_unpacklo_epi32(load<4>(src), load<4>(src + ss));
    const __m128i p = _mm_unpacklo_epi32(load<4>(pred), load<4>(pred + ps));
    const __m128i v = _mm_sub_epi16(widen_lo(s), widen_lo(p));
    store<8>(d, v);
    store<8>(d + ds, _mm_unpackhi_epi64(v, v));
  }
}

template <int W, int H, int Code, int Round, bool WithPred>
void get_diff(const uint8_t* src, int32_t ss, const uint8_t* ref, int32_t rs, int16_t* diff, int32_t ds, int16_t* out,
              int32_t os) {
  diff_rows<W, H, WithPred>(src, ss, Predictor<Bytes<W>, Code, Round, 1>(ref, rs), diff, ds, out, os);
}

template <int W, int H, int CodeF, int CodeB, int Round>
void get_diff_b(const uint8_t* src, int32_t ss, const uint8_t* rf, int32_t fs, const uint8_t* rb, int32_t bs,
                int16_t* diff, int32_t ds) {
  diff_rows<W, H, false>(src, ss, BiPredictor<Bytes<W>, CodeF, CodeB, Round, 1>(rf, fs, rb, bs), diff, ds, nullptr, 0);
}

template <int H, int Code, int Round>
void get_diff_p2(const uint8_t* src, int32_t ss, const uint8_t* ref, int32_t rs, int16_t* du, int32_t dus, int16_t* dv,
                 int32_t dvs) {
  diff_p2_rows<H>(src, ss, Predictor<Bytes<16>, Code, Round, 2>(ref, rs), du, dus, dv, dvs);
}

template <int H, int CodeF, int CodeB, int Round>
void get_diff_p2b(const uint8_t* src, int32_t ss, const uint8_t* rf, int32_t fs, const uint8_t* rb, int32_t bs,
                  int16_t* du, int32_t dus, int16_t* dv, int32_t dvs) {
  diff_p2_rows<H>(src, ss, BiPredictor<Bytes<16>, CodeF, CodeB, Round, 2>(rf, fs, rb, bs), du, dus, dv, dvs);
}

template <int N>
void sub16u(const uint16_t* s1, int32_t st1, const uint16_t* s2, int32_t st2, int16_t* diff, int32_t ds) {
  const uint8_t* a = byte_ptr(s1);
  const uint8_t* b = byte_ptr(s2);
  uint8_t* d = byte_ptr(diff);
  for (int y = 0; y < N; ++y, a += st1, b += st2, d += ds)
    store<2 * N>(d, _mm_sub_epi16(load<2 * N>(a), load<2 * N>(b)));
}

// ---- sums of 4x4 blocks --------------------------------------------------------

// Row policies of the SumsDiff kernels: row() loads one row of a block row as
// Regs registers of 8 differences and adds to the accumulators; pairs() turns
// an accumulator into the 32-bit sums of lane pairs.

// 8-bit samples: differences and their 4-row sums are exact in 16 bits.
struct Bytes {
  template <int Regs>
  static void row(const uint8_t* s, const uint8_t* p, __m128i (&d)[Regs], __m128i (&acc)[Regs]) {
    const __m128i sv = load<8 * Regs>(s), pv = load<8 * Regs>(p);
    d[0] = _mm_sub_epi16(widen_lo(sv), widen_lo(pv));
    if constexpr (Regs == 2) d[1] = _mm_sub_epi16(widen_hi(sv), widen_hi(pv));
    for (int h = 0; h < Regs; ++h) acc[h] = _mm_add_epi16(acc[h], d[h]);
  }
  static __m128i pairs(__m128i acc) { return _mm_madd_epi16(acc, _mm_set1_epi16(1)); }
};

// Channel C of an interleaved 8-bit source against a planar prediction.
template <int C>
struct Channel : Bytes {
  template <int Regs>
  static void row(const uint8_t* s, const uint8_t* p, __m128i (&d)[Regs], __m128i (&acc)[Regs]) {
    static_assert(Regs == 1, "8 samples a row");
    const __m128i sv = load<16>(s);
    const __m128i sc = C == 0 ? _mm_and_si128(sv, _mm_set1_epi16(0x00ff)) : _mm_srli_epi16(sv, 8);
    d[0] = _mm_sub_epi16(sc, widen_lo(load<8>(p)));
    acc[0] = _mm_add_epi16(acc[0], d[0]);
  }
};

// 16-bit samples: the pair sums are accumulated in 32 bits from the biased samples.
struct Words {
  template <int Regs>
  static void row(const uint8_t* s, const uint8_t* p, __m128i (&d)[Regs], __m128i (&acc)[Regs]) {
    const __m128i bias = _mm_set1_epi16(-32768), one = _mm_set1_epi16(1);
    for (int h = 0; h < Regs; ++h) {
      const __m128i sv = load<16>(s + 16 * h), pv = load<16>(p + 16 * h);
      d[h] = _mm_sub_epi16(sv, pv);
      const __m128i sum =
          _mm_sub_epi32(_mm_madd_epi16(_mm_xor_si128(sv, bias), one), _mm_madd_epi16(_mm_xor_si128(pv, bias), one));
      acc[h] = _mm_add_epi32(acc[h], sum);
    }
  }
  static __m128i pairs(__m128i acc) { return acc; }
};

// Sums of blocks b .. b + 3 from the pair sums of blocks (b, b + 1) and (b + 2, b + 3).
inline __m128i block_sums(__m128i a, __m128i b) {
  const __m128 fa = _mm_castsi128_ps(a), fb = _mm_castsi128_ps(b);
  return _mm_add_epi32(_mm_castps_si128(_mm_shuffle_ps(fa, fb, _MM_SHUFFLE(2, 0, 2, 0))),
                       _mm_castps_si128(_mm_shuffle_ps(fa, fb, _MM_SHUFFLE(3, 1, 3, 1))));
}

template <int Quads>
inline void store_sums(int16_t* out, const __m128i (&q)[Quads]) {
  if constexpr (Quads == 1) {
    store<8>(byte_ptr(out), _mm_packs_epi32(q[0], q[0]));
  } else {
    for (int i = 0; i < Quads; i += 2) store<16>(byte_ptr(out + 4 * i), _mm_packs_epi32(q[i], q[i + 1]));
  }
}
template <int Quads>
inline void store_sums(int32_t* out, const __m128i (&q)[Quads]) {
  for (int i = 0; i < Quads; ++i) store<16>(reinterpret_cast<uint8_t*>(out + 4 * i), q[i]);
}

// Register h of row r holds row r of blocks 2h and 2h + 1: each block's four
// rows are two 64-bit halves of two registers.
template <int Regs>
inline void store_blocks(int16_t* diff, const __m128i (&d)[4][Regs]) {
  for (int h = 0; h < Regs; ++h) {
    uint8_t* b = byte_ptr(diff) + 64 * h;
    store<16>(b, _mm_unpacklo_epi64(d[0][h], d[1][h]));
    store<16>(b + 16, _mm_unpacklo_epi64(d[2][h], d[3][h]));
    store<16>(b + 32, _mm_unpackhi_epi64(d[0][h], d[1][h]));
    store<16>(b + 48, _mm_unpackhi_epi64(d[2][h], d[3][h]));
  }
}

template <class Rows, int N, bool WithDiff, class Sum>
inline void sums_blocks(const uint8_t* src, ptrdiff_t ss, const uint8_t* pred, ptrdiff_t ps, Sum* sums, int16_t* diff) {
  constexpr int Regs = N / 8;
  __m128i pairs[N / 4 * Regs];  // two blocks each, in raster order
  for (int by = 0; by < N / 4; ++by) {
    __m128i d[4][Regs], acc[Regs];
    for (__m128i& a : acc) a = _mm_setzero_si128();
    for (int r = 0; r < 4; ++r, src += ss, pred += ps) Rows::template row<Regs>(src, pred, d[r], acc);
    for (int h = 0; h < Regs; ++h) pairs[by * Regs + h] = Rows::pairs(acc[h]);
    if constexpr (WithDiff) store_blocks(diff + 4 * N * by, d);
  }
  __m128i quads[N * N / 64];
  for (int i = 0; i < N * N / 64; ++i) quads[i] = block_sums(pairs[2 * i], pairs[2 * i + 1]);
  store_sums(sums, quads);
}

template <int N, bool WithDiff>
void sums_diff(const uint8_t* src, int32_t ss, const uint8_t* pred, int32_t ps, int16_t* sums, int16_t* diff) {
  sums_blocks<Bytes, N, WithDiff>(src, ss, pred, ps, sums, diff);
}

template <int N, bool WithDiff>
void sums_diff16u(const uint16_t* src, int32_t ss, const uint16_t* pred, int32_t ps, int32_t* sums, int16_t* diff) {
  sums_blocks<Words, N, WithDiff>(byte_ptr(src), ss, byte_ptr(pred), ps, sums, diff);
}

template <bool WithDiffU, bool WithDiffV>
void sums_diff_p2(const uint8_t* src, int32_t ss, const uint8_t* pu, int32_t pus, const uint8_t* pv, int32_t pvs,
                  int16_t* sumsU, int16_t* diffU, int16_t* sumsV, int16_t* diffV) {
  sums_blocks<Channel<0>, 8, WithDiffU>(src, ss, pu, pus, sumsU, diffU);
  sums_blocks<Channel<1>, 8, WithDiffV>(src, ss, pv, pvs, sumsV, diffV);
}

// The kernel templates, for the table generators (diff_gen.h).
struct Kernels {
  template <int W, int H, int Code, int Round, bool WithPred>
  static constexpr GetDiffFn get_diff = KVN_ISA::get_diff<W, H, Code, Round, WithPred>;
  template <int W, int H, int CodeF, int CodeB, int Round>
  static constexpr GetDiffBFn get_diff_b = KVN_ISA::get_diff_b<W, H, CodeF, CodeB, Round>;
  template <int H, int Code, int Round>
  static constexpr GetDiffP2Fn get_diff_p2 = KVN_ISA::get_diff_p2<H, Code, Round>;
  template <int H, int CodeF, int CodeB, int Round>
  static constexpr GetDiffP2BFn get_diff_p2b = KVN_ISA::get_diff_p2b<H, CodeF, CodeB, Round>;
  template <int N, bool WithDiff>
  static constexpr SumsDiff8uFn sums_diff = KVN_ISA::sums_diff<N, WithDiff>;
  template <int N, bool WithDiff>
  static constexpr SumsDiff16uFn sums_diff16u = KVN_ISA::sums_diff16u<N, WithDiff>;
  template <bool U, bool V>
  static constexpr SumsDiffP2Fn sums_diff_p2 = KVN_ISA::sums_diff_p2<U, V>;
};

}  // namespace
}  // namespace KVN_ISA

constexpr void diff_init_sse2(DiffKernels& k) {
  using K = KVN_ISA::Kernels;
  k.diff4x4 = KVN_ISA::diff4x4;
  gen::put_get_diff16<K>(k);
  gen::put_get_diff8<K>(k);
  gen::put_get_diff_p2<K>(k);
  k.sub16u4x4 = KVN_ISA::sub16u<4>;
  k.sub16u8x8 = KVN_ISA::sub16u<8>;
  gen::put_sums_diff<K>(k);
}

KVN_LEVEL_KERNELS(diff, DiffKernels);

}  // namespace kvn
