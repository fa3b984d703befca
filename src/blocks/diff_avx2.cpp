// AVX2 kernels of the block differences: the 16-wide GetDiff members (one and
// two references, every mode) and the 16x16 SumsDiff members. A row of 16
// samples is one register of 16-bit lanes: the block layer's predictors
// (hpel_simd.h) deliver the prediction widened, so a difference row is one
// vpsubw and the prediction output is stored as it comes. The sums follow
// the SSE2 kernels (pmaddwd with ones to pair sums, biased 16-bit samples),
// except the 8-bit sums without differences, which need no widening.
#include <immintrin.h>

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

template <int H, bool WithPred, class Pred>
inline void diff_rows(const uint8_t* src, ptrdiff_t ss, Pred pred, int16_t* diff, ptrdiff_t ds, int16_t* out,
                      ptrdiff_t os) {
  uint8_t* d = byte_ptr(diff);
  uint8_t* o = WithPred ? byte_ptr(out) : nullptr;
  for (int y = 0; y < H; ++y, src += ss, d += ds) {
    const __m256i q = pred.next();
    store<32>(d, _mm256_sub_epi16(load_widen(src), q));
    if constexpr (WithPred) {
      store<32>(o, q);
      o += os;
    }
  }
}

template <int W, int H, int Code, int Round, bool WithPred>
void get_diff(const uint8_t* src, int32_t ss, const uint8_t* ref, int32_t rs, int16_t* diff, int32_t ds, int16_t* out,
              int32_t os) {
  diff_rows<H, WithPred>(src, ss, Predictor<Words, Code, Round, 1>(ref, rs), diff, ds, out, os);
}

template <int W, int H, int CodeF, int CodeB, int Round>
void get_diff_b(const uint8_t* src, int32_t ss, const uint8_t* rf, int32_t fs, const uint8_t* rb, int32_t bs,
                int16_t* diff, int32_t ds) {
  diff_rows<H, false>(src, ss, BiPredictor<Words, CodeF, CodeB, Round, 1>(rf, fs, rb, bs), diff, ds, nullptr, 0);
}

// ---- sums of 4x4 blocks, 16x16 -------------------------------------------------

// Row policies: row() returns the 16 differences of a row and adds to the
// accumulator; pairs() turns the accumulator into 32-bit sums of lane pairs.
struct Bytes {
  static __m256i row(const uint8_t* s, const uint8_t* p, __m256i& acc) {
    const __m256i d = _mm256_sub_epi16(load_widen(s), load_widen(p));
    acc = _mm256_add_epi16(acc, d);
    return d;
  }
  static __m256i pairs(__m256i acc) { return _mm256_madd_epi16(acc, _mm256_set1_epi16(1)); }
};

struct Words {
  static __m256i row(const uint8_t* s, const uint8_t* p, __m256i& acc) {
    const __m256i bias = _mm256_set1_epi16(-32768), one = _mm256_set1_epi16(1);
    const __m256i sv = load<32>(s), pv = load<32>(p);
    acc = _mm256_add_epi32(acc, _mm256_sub_epi32(_mm256_madd_epi16(_mm256_xor_si256(sv, bias), one),
                                                 _mm256_madd_epi16(_mm256_xor_si256(pv, bias), one)));
    return _mm256_sub_epi16(sv, pv);
  }
  static __m256i pairs(__m256i acc) { return acc; }
};

// The 64-bit lane k of row register r is row r of block k: a 4x4 transpose of
// 64-bit lanes puts each block's rows together.
inline void store_blocks(int16_t* diff, const __m256i (&d)[4]) {
  const __m256i t0 = _mm256_unpacklo_epi64(d[0], d[1]), t1 = _mm256_unpackhi_epi64(d[0], d[1]);
  const __m256i t2 = _mm256_unpacklo_epi64(d[2], d[3]), t3 = _mm256_unpackhi_epi64(d[2], d[3]);
  uint8_t* b = byte_ptr(diff);
  store<32>(b, _mm256_permute2x128_si256(t0, t2, 0x20));
  store<32>(b + 32, _mm256_permute2x128_si256(t1, t3, 0x20));
  store<32>(b + 64, _mm256_permute2x128_si256(t0, t2, 0x31));
  store<32>(b + 96, _mm256_permute2x128_si256(t1, t3, 0x31));
}

// The eight block sums of two block rows from their pair sums, in raster order.
inline __m256i block_sums(__m256i a, __m256i b) { return _mm256_permute4x64_epi64(_mm256_hadd_epi32(a, b), 0xd8); }
inline void store_sums(int32_t* out, __m256i s01, __m256i s23) {
  store<32>(out, s01);
  store<32>(out + 8, s23);
}
inline void store_sums(int16_t* out, __m256i s01, __m256i s23) {
  store<32>(out, _mm256_permute4x64_epi64(_mm256_packs_epi32(s01, s23), 0xd8));
}

template <class Rows, bool WithDiff, class Sum>
inline void sums_blocks16(const uint8_t* src, ptrdiff_t ss, const uint8_t* pred, ptrdiff_t ps, Sum* sums,
                          int16_t* diff) {
  __m256i pairs[4];
  for (int by = 0; by < 4; ++by) {
    __m256i d[4], acc = _mm256_setzero_si256();
    for (int r = 0; r < 4; ++r, src += ss, pred += ps) d[r] = Rows::row(src, pred, acc);
    pairs[by] = Rows::pairs(acc);
    if constexpr (WithDiff) store_blocks(diff + 64 * by, d);
  }
  store_sums(sums, block_sums(pairs[0], pairs[1]), block_sums(pairs[2], pairs[3]));
}

void sums_diff16(const uint8_t* src, int32_t ss, const uint8_t* pred, int32_t ps, int16_t* sums, int16_t* diff) {
  sums_blocks16<Bytes, true>(src, ss, pred, ps, sums, diff);
}

// Without the differences nothing needs widening: pmaddubsw with ones sums
// the byte pairs of a row, the source's less the prediction's over four rows
// fits 16 bits, and pmaddwd with ones adds the pairs of each block.
void sums16_only(const uint8_t* src, int32_t srcStep, const uint8_t* pred, int32_t predStep, int16_t* sums, int16_t*) {
  const ptrdiff_t ss = srcStep, ps = predStep;
  const __m128i ones8 = _mm_set1_epi8(1), ones16 = _mm_set1_epi16(1);
  __m128i q[4];
  for (int by = 0; by < 4; ++by) {
    __m128i acc = _mm_setzero_si128();
    for (int r = 0; r < 4; ++r, src += ss, pred += ps)
      acc = _mm_add_epi16(
          acc, _mm_sub_epi16(_mm_maddubs_epi16(load<16>(src), ones8), _mm_maddubs_epi16(load<16>(pred), ones8)));
    q[by] = _mm_madd_epi16(acc, ones16);
  }
  store<16>(sums, _mm_packs_epi32(q[0], q[1]));
  store<16>(sums + 8, _mm_packs_epi32(q[2], q[3]));
}

template <bool WithDiff>
void sums_diff16u16(const uint16_t* src, int32_t ss, const uint16_t* pred, int32_t ps, int32_t* sums, int16_t* diff) {
  sums_blocks16<Words, WithDiff>(byte_ptr(src), ss, byte_ptr(pred), ps, sums, diff);
}

// The kernel templates, for the table generators (diff_gen.h); all 16 wide.
struct Kernels {
  template <int W, int H, int Code, int Round, bool WithPred>
  static constexpr GetDiffFn get_diff = KVN_ISA::get_diff<W, H, Code, Round, WithPred>;
  template <int W, int H, int CodeF, int CodeB, int Round>
  static constexpr GetDiffBFn get_diff_b = KVN_ISA::get_diff_b<W, H, CodeF, CodeB, Round>;
};

}  // namespace
}  // namespace KVN_ISA

constexpr void diff_init_avx2(DiffKernels& k) {
  using namespace KVN_ISA;
  gen::put_get_diff16<KVN_ISA::Kernels>(k);
  k.sums_diff[kSums16x16][0] = sums16_only;
  k.sums_diff[kSums16x16][1] = sums_diff16;
  k.sums_diff16u[kSums16x16][0] = sums_diff16u16<false>;
  k.sums_diff16u[kSums16x16][1] = sums_diff16u16<true>;
}

KVN_LEVEL_KERNELS(diff, DiffKernels);

}  // namespace kvn
