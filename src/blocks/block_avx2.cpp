// AVX2 kernels of the block layer: the 16-wide MC, MC B and planar-chroma
// members for every code, and the 16-wide half-sample copies and averages for
// code 3. Predictions are formed in 16-bit lanes, one row of 16 samples a
// register: the four-sample average is then a plain sum with one rounding
// step, and the residual is added without unpacking (saturating, as in the
// SSE2 kernels). Two rows are packed back to bytes together.
#include <immintrin.h>

#include <cstddef>

#include "block.h"
#include "block_gen.h"
#include "block_pred.h"

namespace kvn {
namespace avx2 {
namespace {

using std::ptrdiff_t;

// 16 bytes at p, zero-extended to 16-bit lanes.
inline __m256i widen(const uint8_t* p) {
  return _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
}

inline __m128i load128(const void* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }

inline const int16_t* next_row(const int16_t* p, ptrdiff_t step) {
  return reinterpret_cast<const int16_t*>(reinterpret_cast<const uint8_t*>(p) + step);
}

// Rows r0 and r1 of 16-bit samples, saturated to bytes: r0 in the low half.
inline __m256i pack_rows(__m256i r0, __m256i r1) {
  return _mm256_permute4x64_epi64(_mm256_packus_epi16(r0, r1), 0xd8);
}

inline __m256i load_rows(const uint8_t* d0, const uint8_t* d1) {
  return _mm256_inserti128_si256(_mm256_castsi128_si256(load128(d0)), load128(d1), 1);
}

inline void store_rows(uint8_t* d0, uint8_t* d1, __m256i v) {
  _mm_storeu_si128(reinterpret_cast<__m128i*>(d0), _mm256_castsi256_si128(v));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(d1), _mm256_extracti128_si256(v, 1));
}

// (a + b + 1 - Round) >> 1 per 16-bit lane.
template <int Round>
inline __m256i avg2(__m256i a, __m256i b) {
  if constexpr (Round == 0) return _mm256_avg_epu16(a, b);
  return _mm256_srli_epi16(_mm256_add_epi16(a, b), 1);
}

// Rows of a 16-sample half-sample prediction (block_pred.h) in 16-bit lanes.
// The vertical codes keep the row above (code 3: its horizontal pair sum).
// The four-sample sum s = s1 + s2 is rounded in two operations: (s + 2) >> 2
// is mulhrs(s, 2^13) (which computes ((s * 2^13 >> 14) + 1) >> 1), and
// (s + 1) >> 2 is pavgw(s1, s2) >> 1.
template <int Code, int Round, int Dx>
class Predictor {
 public:
  Predictor(const uint8_t* ref, ptrdiff_t step) : r_(ref), s_(step) {
    if constexpr (Code == 2) prev_ = widen(advance());
    if constexpr (Code == 3) prev_ = pair_sum(advance());
  }

  __m256i next() {
    const uint8_t* r = advance();
    if constexpr (Code == 0) return widen(r);
    if constexpr (Code == 1) return avg2<Round>(widen(r), widen(r + Dx));
    if constexpr (Code == 2) {
      const __m256i cur = widen(r);
      const __m256i out = avg2<Round>(prev_, cur);
      prev_ = cur;
      return out;
    }
    if constexpr (Code == 3) {
      const __m256i cur = pair_sum(r);
      const __m256i out = Round == 0 ? _mm256_mulhrs_epi16(_mm256_add_epi16(prev_, cur), _mm256_set1_epi16(1 << 13))
                                     : _mm256_srli_epi16(_mm256_avg_epu16(prev_, cur), 1);
      prev_ = cur;
      return out;
    }
  }

 private:
  const uint8_t* advance() {
    const uint8_t* r = r_;
    r_ += s_;
    return r;
  }
  static __m256i pair_sum(const uint8_t* r) { return _mm256_add_epi16(widen(r), widen(r + Dx)); }

  const uint8_t* r_;
  ptrdiff_t s_;
  __m256i prev_;
};

// The average (rounded up) of a forward and a backward prediction.
template <int CodeF, int CodeB, int Round, int Dx>
class BiPredictor {
 public:
  BiPredictor(const uint8_t* rf, ptrdiff_t fs, const uint8_t* rb, ptrdiff_t bs) : f_(rf, fs), b_(rb, bs) {}
  __m256i next() { return _mm256_avg_epu16(f_.next(), b_.next()); }

 private:
  Predictor<CodeF, Round, Dx> f_;
  Predictor<CodeB, Round, Dx> b_;
};

class Residual {
 public:
  Residual(const int16_t* r, ptrdiff_t step) : r_(r), s_(step) {}
  __m256i next() {
    const __m256i e = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(r_));
    r_ = next_row(r_, s_);
    return e;
  }

 private:
  const int16_t* r_;
  ptrdiff_t s_;
};

// Residual rows for interleaved chroma: U for the even bytes, V for the odd.
class InterleavedResidual {
 public:
  InterleavedResidual(const int16_t* u, const int16_t* v, ptrdiff_t step) : u_(u), v_(v), s_(step) {}
  __m256i next() {
    const __m128i u = load128(u_), v = load128(v_);
    u_ = next_row(u_, s_);
    v_ = next_row(v_, s_);
    return _mm256_inserti128_si256(_mm256_castsi128_si256(_mm_unpacklo_epi16(u, v)), _mm_unpackhi_epi16(u, v), 1);
  }

 private:
  const int16_t* u_;
  const int16_t* v_;
  ptrdiff_t s_;
};

// clamp(p + e): saturation to int16, then to uint8, is exact.
template <int H, class Pred, class Res>
inline void predict_add(Pred pred, Res res, uint8_t* dst, ptrdiff_t ds) {
  for (int y = 0; y < H; y += 2, dst += 2 * ds) {
    const __m256i r0 = _mm256_adds_epi16(pred.next(), res.next());
    const __m256i r1 = _mm256_adds_epi16(pred.next(), res.next());
    store_rows(dst, dst + ds, pack_rows(r0, r1));
  }
}

// ---- kernels -----------------------------------------------------------------

template <int H, int Code, int Round>
void copy_hp(const uint8_t* src, int32_t ss, uint8_t* dst, int32_t ds) {
  Predictor<Code, Round, 1> pred(src, ss);
  for (int y = 0; y < H; y += 2, dst += 2 * ptrdiff_t(ds)) {
    const __m256i r0 = pred.next();
    store_rows(dst, dst + ds, pack_rows(r0, pred.next()));
  }
}

template <int H, int Code, int Round>
void interp_avg(const uint8_t* src, int32_t ss, uint8_t* dst, int32_t ds) {
  Predictor<Code, Round, 1> pred(src, ss);
  for (int y = 0; y < H; y += 2, dst += 2 * ptrdiff_t(ds)) {
    const __m256i r0 = pred.next();
    store_rows(dst, dst + ds, _mm256_avg_epu8(pack_rows(r0, pred.next()), load_rows(dst, dst + ds)));
  }
}

template <int H, int Dx, int Code, int Round>
void mc(const uint8_t* ref, int32_t fs, const int16_t* res, int32_t rs, uint8_t* dst, int32_t ds, int32_t) {
  predict_add<H>(Predictor<Code, Round, Dx>(ref, fs), Residual(res, rs), dst, ds);
}

template <int H, int Dx, int CodeF, int CodeB, int Round>
void mc_b(const uint8_t* rf, int32_t fs, const uint8_t* rb, int32_t bs, const int16_t* res, int32_t rs,
          uint8_t* dst, int32_t ds, int32_t) {
  predict_add<H>(BiPredictor<CodeF, CodeB, Round, Dx>(rf, fs, rb, bs), Residual(res, rs), dst, ds);
}

template <int H, int Code, int Round>
void mc_p2(const uint8_t* ref, int32_t fs, const int16_t* ru, const int16_t* rv, int32_t rs, uint8_t* dst,
           int32_t ds) {
  predict_add<H>(Predictor<Code, Round, 2>(ref, fs), InterleavedResidual(ru, rv, rs), dst, ds);
}

template <int H, int CodeF, int CodeB, int Round>
void mc_p2b(const uint8_t* rf, int32_t fs, const uint8_t* rb, int32_t bs, const int16_t* ru, const int16_t* rv,
            int32_t rs, uint8_t* dst, int32_t ds) {
  predict_add<H>(BiPredictor<CodeF, CodeB, Round, 2>(rf, fs, rb, bs), InterleavedResidual(ru, rv, rs), dst, ds);
}

// Half-sample copies and averages: code 3 only (indices 6 and 7); for the
// other codes the byte arithmetic of the SSE2 kernels is as fast or faster.
template <int H>
void put_code3(std::array<CopyFn, 8>& copies, std::array<CopyFn, 8>& averages) {
  copies[6] = copy_hp<H, 3, 0>;
  copies[7] = copy_hp<H, 3, 1>;
  averages[6] = interp_avg<H, 3, 0>;
  averages[7] = interp_avg<H, 3, 1>;
}

// The kernel templates, for the table generators (block_gen.h); all 16 wide.
struct Kernels {
  template <int W, int H, int Dx, int Code, int Round> static constexpr McFn mc = avx2::mc<H, Dx, Code, Round>;
  template <int W, int H, int Dx, int CodeF, int CodeB, int Round>
  static constexpr McBFn mc_b = avx2::mc_b<H, Dx, CodeF, CodeB, Round>;
  template <int H, int Code, int Round> static constexpr McP2Fn mc_p2 = avx2::mc_p2<H, Code, Round>;
  template <int H, int CodeF, int CodeB, int Round>
  static constexpr McP2BFn mc_p2b = avx2::mc_p2b<H, CodeF, CodeB, Round>;
};

}  // namespace
}  // namespace avx2

void block_init_avx2(BlockKernels& k) {
  using namespace avx2;
  put_code3<8>(k.copy_hp[kHp16x8], k.interp_avg[kHp16x8]);
  put_code3<16>(k.copy_hp[kHp16x16], k.interp_avg[kHp16x16]);
  gen::put_mc16<avx2::Kernels>(k);
}

}  // namespace kvn
