// SSE2 kernels of the block layer.
//
// Predictions are formed in bytes, exactly:
//  - two-sample averages: (a + b + 1) >> 1 is pavgb; (a + b) >> 1 is pavgb
//    less the low bit of a ^ b;
//  - four-sample averages (a + b + c + d + 2 - rc) >> 2 from the per-row
//    averages h of (a, b) and (c, d) and their low bits (Bytes::Quad of
//    hpel_simd.h);
// and residuals are added in 16-bit lanes: saturating for the MC members
// (clamp(p + e) is exact for any int16 e), wrapping for the Add members.
// Every row read is one load of exactly the bytes the prediction needs: 8-wide
// blocks use 8-byte loads, and the horizontal neighbour is a second load.
#include <emmintrin.h>

#include <cstddef>

#include "block.h"
#include "block_gen.h"
#include "block_pred.h"
#include "hpel_simd.h"
#include "simd/loads.h"
#include "simd/reduce.h"

namespace kvn {
namespace KVN_ISA {
namespace {

using namespace hpel;
using std::ptrdiff_t;

// Residual rows of W int16 samples, as two halves of 8 (the second unused
// when W is 8).
template <int W>
class Residual {
 public:
  Residual(const int16_t* r, ptrdiff_t step) : r_(r), s_(step) {}
  void next(__m128i& lo, __m128i& hi) {
    lo = load<16>(r_);
    if constexpr (W == 16) hi = load<16>(r_ + 8);
    r_ = next_row(r_, s_);
  }

 private:
  const int16_t* r_;
  ptrdiff_t s_;
};

// Residual rows for interleaved chroma: U for the even bytes, V for the odd.
class InterleavedResidual {
 public:
  InterleavedResidual(const int16_t* u, const int16_t* v, ptrdiff_t step) : u_(u), v_(v), s_(step) {}
  void next(__m128i& lo, __m128i& hi) {
    const __m128i u = load<16>(u_), v = load<16>(v_);
    lo = _mm_unpacklo_epi16(u, v);
    hi = _mm_unpackhi_epi16(u, v);
    u_ = next_row(u_, s_);
    v_ = next_row(v_, s_);
  }

 private:
  const int16_t* u_;
  const int16_t* v_;
  ptrdiff_t s_;
};

// clamp(p + e) per sample: saturation to int16, then to uint8, is exact.
template <int W>
inline __m128i add_clamped(__m128i p, __m128i lo, __m128i hi) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i a = _mm_adds_epi16(_mm_unpacklo_epi8(p, zero), lo);
  if constexpr (W == 8) return _mm_packus_epi16(a, a);
  return _mm_packus_epi16(a, _mm_adds_epi16(_mm_unpackhi_epi8(p, zero), hi));
}

// clamp(int16(p + e)) of 8 samples: the wrap-around sum of the Add members.
inline __m128i add_wrapped8(__m128i p, __m128i e) {
  const __m128i a = _mm_add_epi16(_mm_unpacklo_epi8(p, _mm_setzero_si128()), e);
  return _mm_packus_epi16(a, a);
}

template <int W, int H, class Pred, class Res>
inline void predict_add(Pred pred, Res res, uint8_t* dst, ptrdiff_t ds) {
  for (int y = 0; y < H; ++y, dst += ds) {
    __m128i lo, hi;
    res.next(lo, hi);
    store<W>(dst, add_clamped<W>(pred.next(), lo, hi));
  }
}

// ---- kernels -----------------------------------------------------------------

template <int W, int H>
void copy(const uint8_t* src, int32_t ss, uint8_t* dst, int32_t ds) {
  for (int y = 0; y < H; ++y, src += ss, dst += ds) store<W>(dst, load<W>(src));
}

template <int W, int H>
void avg(const uint8_t* s1, int32_t st1, const uint8_t* s2, int32_t st2, uint8_t* d, int32_t ds) {
  for (int y = 0; y < H; ++y, s1 += st1, s2 += st2, d += ds) store<W>(d, _mm_avg_epu8(load<W>(s1), load<W>(s2)));
}

template <int W, int H, int Code, int Round>
void copy_hp(const uint8_t* src, int32_t ss, uint8_t* dst, int32_t ds) {
  Predictor<Bytes<W>, Code, Round, 1> pred(src, ss);
  for (int y = 0; y < H; ++y, dst += ds) store<W>(dst, pred.next());
}

template <int W, int H, int Code, int Round>
void interp_avg(const uint8_t* src, int32_t ss, uint8_t* dst, int32_t ds) {
  Predictor<Bytes<W>, Code, Round, 1> pred(src, ss);
  for (int y = 0; y < H; ++y, dst += ds) store<W>(dst, _mm_avg_epu8(pred.next(), load<W>(dst)));
}

void add8x8(const int16_t* res, int32_t rs, uint8_t* sd, int32_t ds) {
  for (int y = 0; y < 8; ++y, res = next_row(res, rs), sd += ds) store<8>(sd, add_wrapped8(load<8>(sd), load<16>(res)));
}

template <int Code, int Round>
void add8x8_hp(const int16_t* res, int32_t rs, const uint8_t* ref, int32_t fs, uint8_t* dst, int32_t ds) {
  Predictor<Bytes<8>, Code, Round, 1> pred(ref, fs);
  for (int y = 0; y < 8; ++y, res = next_row(res, rs), dst += ds)
    store<8>(dst, add_wrapped8(pred.next(), load<16>(res)));
}

void addc8x8(int16_t value, uint8_t* sd, int32_t ds) {
  const __m128i e = _mm_set1_epi16(value);
  for (int y = 0; y < 8; ++y, sd += ds) store<8>(sd, add_wrapped8(load<8>(sd), e));
}

template <int W, int H, int Dx, int Code, int Round>
void mc(const uint8_t* ref, int32_t fs, const int16_t* res, int32_t rs, uint8_t* dst, int32_t ds, int32_t) {
  predict_add<W, H>(Predictor<Bytes<W>, Code, Round, Dx>(ref, fs), Residual<W>(res, rs), dst, ds);
}

template <int W, int H, int Dx, int CodeF, int CodeB, int Round>
void mc_b(const uint8_t* rf, int32_t fs, const uint8_t* rb, int32_t bs, const int16_t* res, int32_t rs, uint8_t* dst,
          int32_t ds, int32_t) {
  predict_add<W, H>(BiPredictor<Bytes<W>, CodeF, CodeB, Round, Dx>(rf, fs, rb, bs), Residual<W>(res, rs), dst, ds);
}

template <int H, int Code, int Round>
void mc_p2(const uint8_t* ref, int32_t fs, const int16_t* ru, const int16_t* rv, int32_t rs, uint8_t* dst, int32_t ds) {
  predict_add<16, H>(Predictor<Bytes<16>, Code, Round, 2>(ref, fs), InterleavedResidual(ru, rv, rs), dst, ds);
}

template <int H, int CodeF, int CodeB, int Round>
void mc_p2b(const uint8_t* rf, int32_t fs, const uint8_t* rb, int32_t bs, const int16_t* ru, const int16_t* rv,
            int32_t rs, uint8_t* dst, int32_t ds) {
  predict_add<16, H>(BiPredictor<Bytes<16>, CodeF, CodeB, Round, 2>(rf, fs, rb, bs), InterleavedResidual(ru, rv, rs),
                     dst, ds);
}

uint32_t count_zeros8x8(const int16_t* c) {
  const __m128i zero = _mm_setzero_si128();
  __m128i n = zero;  // minus the count of zeros, per 16-bit lane (at most 8)
  for (int i = 0; i < 64; i += 8) n = _mm_add_epi16(n, _mm_cmpeq_epi16(load<16>(c + i), zero));
  const __m128i sums = _mm_sad_epu8(_mm_sub_epi16(zero, n), zero);
  return hsum64(sums);
}

// The kernel templates, for the table generators (block_gen.h).
struct Kernels {
  template <int W, int H, int Code, int Round>
  static constexpr CopyFn copy_hp = KVN_ISA::copy_hp<W, H, Code, Round>;
  template <int W, int H, int Code, int Round>
  static constexpr CopyFn interp_avg = KVN_ISA::interp_avg<W, H, Code, Round>;
  template <int Code, int Round>
  static constexpr AddHpFn add8x8_hp = KVN_ISA::add8x8_hp<Code, Round>;
  template <int W, int H, int Dx, int Code, int Round>
  static constexpr McFn mc = KVN_ISA::mc<W, H, Dx, Code, Round>;
  template <int W, int H, int Dx, int CodeF, int CodeB, int Round>
  static constexpr McBFn mc_b = KVN_ISA::mc_b<W, H, Dx, CodeF, CodeB, Round>;
  template <int H, int Code, int Round>
  static constexpr McP2Fn mc_p2 = KVN_ISA::mc_p2<H, Code, Round>;
  template <int H, int CodeF, int CodeB, int Round>
  static constexpr McP2BFn mc_p2b = KVN_ISA::mc_p2b<H, CodeF, CodeB, Round>;
};

}  // namespace
}  // namespace KVN_ISA

constexpr void block_init_sse2(BlockKernels& k) {
  using namespace KVN_ISA;
  using K = KVN_ISA::Kernels;
  k.copy8x8 = copy<8, 8>;
  k.copy16x16 = copy<16, 16>;
  k.copy_hp[kHp8x4] = make_table<gen::CopyHp<K, 8, 4>, 8>();
  k.copy_hp[kHp8x8] = make_table<gen::CopyHp<K, 8, 8>, 8>();
  k.copy_hp[kHp16x8] = make_table<gen::CopyHp<K, 16, 8>, 8>();
  k.copy_hp[kHp16x16] = make_table<gen::CopyHp<K, 16, 16>, 8>();
  k.avg_ir8x8 = k.avg8x8 = avg<8, 8>;
  k.avg_ir16x16 = k.avg16x16 = avg<16, 16>;
  k.interp_avg[kHp8x4] = make_table<gen::InterpAvg<K, 8, 4>, 8>();
  k.interp_avg[kHp8x8] = make_table<gen::InterpAvg<K, 8, 8>, 8>();
  k.interp_avg[kHp16x8] = make_table<gen::InterpAvg<K, 16, 8>, 8>();
  k.interp_avg[kHp16x16] = make_table<gen::InterpAvg<K, 16, 16>, 8>();
  k.add8x8 = add8x8;
  k.add8x8_hp = make_table<gen::AddHp<K>, 8>();
  k.addc8x8 = addc8x8;
  gen::put_mc16<K>(k);
  gen::put_mc8<K>(k);
  k.count_zeros8x8 = count_zeros8x8;
}

KVN_LEVEL_KERNELS(block, BlockKernels);

}  // namespace kvn
