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
#include "hpel_simd.h"
#include "simd/loads.h"
#include "simd/pack.h"

namespace kvn {
namespace KVN_ISA {
namespace {

using namespace hpel;
using std::ptrdiff_t;

class Residual {
 public:
  Residual(const int16_t* r, ptrdiff_t step) : r_(r), s_(step) {}
  __m256i next() {
    const __m256i e = load<32>(r_);
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
    const __m128i u = load<16>(u_), v = load<16>(v_);
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
    store16x2(dst, dst + ds, pack_u8(r0, r1));
  }
}

// ---- kernels -----------------------------------------------------------------

template <int H, int Code, int Round>
void copy_hp(const uint8_t* src, int32_t ss, uint8_t* dst, int32_t ds) {
  Predictor<Words, Code, Round, 1> pred(src, ss);
  for (int y = 0; y < H; y += 2, dst += 2 * ptrdiff_t(ds)) {
    const __m256i r0 = pred.next();
    store16x2(dst, dst + ds, pack_u8(r0, pred.next()));
  }
}

template <int H, int Code, int Round>
void interp_avg(const uint8_t* src, int32_t ss, uint8_t* dst, int32_t ds) {
  Predictor<Words, Code, Round, 1> pred(src, ss);
  for (int y = 0; y < H; y += 2, dst += 2 * ptrdiff_t(ds)) {
    const __m256i r0 = pred.next();
    store16x2(dst, dst + ds, _mm256_avg_epu8(pack_u8(r0, pred.next()), load16x2(dst, dst + ds)));
  }
}

template <int H, int Dx, int Code, int Round>
void mc(const uint8_t* ref, int32_t fs, const int16_t* res, int32_t rs, uint8_t* dst, int32_t ds, int32_t) {
  predict_add<H>(Predictor<Words, Code, Round, Dx>(ref, fs), Residual(res, rs), dst, ds);
}

template <int H, int Dx, int CodeF, int CodeB, int Round>
void mc_b(const uint8_t* rf, int32_t fs, const uint8_t* rb, int32_t bs, const int16_t* res, int32_t rs, uint8_t* dst,
          int32_t ds, int32_t) {
  predict_add<H>(BiPredictor<Words, CodeF, CodeB, Round, Dx>(rf, fs, rb, bs), Residual(res, rs), dst, ds);
}

template <int H, int Code, int Round>
void mc_p2(const uint8_t* ref, int32_t fs, const int16_t* ru, const int16_t* rv, int32_t rs, uint8_t* dst, int32_t ds) {
  predict_add<H>(Predictor<Words, Code, Round, 2>(ref, fs), InterleavedResidual(ru, rv, rs), dst, ds);
}

template <int H, int CodeF, int CodeB, int Round>
void mc_p2b(const uint8_t* rf, int32_t fs, const uint8_t* rb, int32_t bs, const int16_t* ru, const int16_t* rv,
            int32_t rs, uint8_t* dst, int32_t ds) {
  predict_add<H>(BiPredictor<Words, CodeF, CodeB, Round, 2>(rf, fs, rb, bs), InterleavedResidual(ru, rv, rs), dst, ds);
}

// Half-sample copies and averages: code 3 only (indices 6 and 7); for the
// other codes the byte arithmetic of the SSE2 kernels is as fast or faster.
template <int H>
constexpr void put_code3(std::array<CopyFn, 8>& copies, std::array<CopyFn, 8>& averages) {
  copies[6] = copy_hp<H, 3, 0>;
  copies[7] = copy_hp<H, 3, 1>;
  averages[6] = interp_avg<H, 3, 0>;
  averages[7] = interp_avg<H, 3, 1>;
}

// The kernel templates, for the table generators (block_gen.h); all 16 wide.
struct Kernels {
  template <int W, int H, int Dx, int Code, int Round>
  static constexpr McFn mc = KVN_ISA::mc<H, Dx, Code, Round>;
  template <int W, int H, int Dx, int CodeF, int CodeB, int Round>
  static constexpr McBFn mc_b = KVN_ISA::mc_b<H, Dx, CodeF, CodeB, Round>;
  template <int H, int Code, int Round>
  static constexpr McP2Fn mc_p2 = KVN_ISA::mc_p2<H, Code, Round>;
  template <int H, int CodeF, int CodeB, int Round>
  static constexpr McP2BFn mc_p2b = KVN_ISA::mc_p2b<H, CodeF, CodeB, Round>;
};

}  // namespace
}  // namespace KVN_ISA

constexpr void block_init_avx2(BlockKernels& k) {
  using namespace KVN_ISA;
  put_code3<8>(k.copy_hp[kHp16x8], k.interp_avg[kHp16x8]);
  put_code3<16>(k.copy_hp[kHp16x16], k.interp_avg[kHp16x16]);
  gen::put_mc16<KVN_ISA::Kernels>(k);
}

KVN_LEVEL_KERNELS(block, BlockKernels);

}  // namespace kvn
