// Scalar reference kernels of the block layer, written straight from the
// prediction formulas. The SIMD kernels are checked against these.
#include <array>
#include <cstring>

#include "block.h"
#include "block_gen.h"
#include "block_pred.h"

namespace kvn {
namespace {

template <int W, int H>
void copy_c(const uint8_t* src, int32_t ss, uint8_t* dst, int32_t ds) {
  for (int y = 0; y < H; ++y, src += ss, dst += ds) std::memcpy(dst, src, W);
}

template <int W, int H>
void avg_c(const uint8_t* s1, int32_t st1, const uint8_t* s2, int32_t st2, uint8_t* d, int32_t ds) {
  for (int y = 0; y < H; ++y, s1 += st1, s2 += st2, d += ds)
    for (int x = 0; x < W; ++x) d[x] = uint8_t((s1[x] + s2[x] + 1) >> 1);
}

template <int W, int H, int Code, int Round>
void copy_hp_c(const uint8_t* src, int32_t ss, uint8_t* dst, int32_t ds) {
  for (int y = 0; y < H; ++y, src += ss, dst += ds)
    for (int x = 0; x < W; ++x) dst[x] = uint8_t(predict<Code, 1>(src, ss, x, Round));
}

template <int W, int H, int Code, int Round>
void interp_avg_c(const uint8_t* src, int32_t ss, uint8_t* dst, int32_t ds) {
  for (int y = 0; y < H; ++y, src += ss, dst += ds)
    for (int x = 0; x < W; ++x) dst[x] = uint8_t((predict<Code, 1>(src, ss, x, Round) + dst[x] + 1) >> 1);
}

void add8x8_c(const int16_t* res, int32_t rs, uint8_t* sd, int32_t ds) {
  for (int y = 0; y < 8; ++y, res = (const int16_t*)((const uint8_t*)res + rs), sd += ds)
    for (int x = 0; x < 8; ++x) sd[x] = add_wrap16_u8(sd[x], res[x]);
}

template <int Code, int Round>
void add8x8_hp_c(const int16_t* res, int32_t rs, const uint8_t* ref, int32_t fs, uint8_t* dst, int32_t ds) {
  for (int y = 0; y < 8; ++y, res = (const int16_t*)((const uint8_t*)res + rs), ref += fs, dst += ds)
    for (int x = 0; x < 8; ++x) dst[x] = add_wrap16_u8(predict<Code, 1>(ref, fs, x, Round), res[x]);
}

void addc8x8_c(int16_t value, uint8_t* sd, int32_t ds) {
  for (int y = 0; y < 8; ++y, sd += ds)
    for (int x = 0; x < 8; ++x) sd[x] = add_wrap16_u8(sd[x], value);
}

inline const int16_t* next_row(const int16_t* p, int32_t step) {
  return reinterpret_cast<const int16_t*>(reinterpret_cast<const uint8_t*>(p) + step);
}

// Prediction + residual with exact clamping. For widths >= 8 the rounding
// control is a template argument; widths 2 and 4 take it at run time and
// subtract it from the rounding constant as given.
template <int W, int H, int Dx, int Code, int Round>
void mc_c(const uint8_t* ref, int32_t fs, const int16_t* res, int32_t rs, uint8_t* dst, int32_t ds, int32_t) {
  for (int y = 0; y < H; ++y, ref += fs, res = next_row(res, rs), dst += ds)
    for (int x = 0; x < W; ++x) dst[x] = clamp_u8(predict<Code, Dx>(ref, fs, x, Round) + res[x]);
}

template <int W, int H, int Dx, int CodeF, int CodeB, int Round>
void mc_b_c(const uint8_t* rf, int32_t fs, const uint8_t* rb, int32_t bs, const int16_t* res, int32_t rs, uint8_t* dst,
            int32_t ds, int32_t) {
  for (int y = 0; y < H; ++y, rf += fs, rb += bs, res = next_row(res, rs), dst += ds)
    for (int x = 0; x < W; ++x) {
      const int p = (predict<CodeF, Dx>(rf, fs, x, Round) + predict<CodeB, Dx>(rb, bs, x, Round) + 1) >> 1;
      dst[x] = clamp_u8(p + res[x]);
    }
}

// Widths 2 and 4: the rounding control is not limited to its low bit, so the
// prediction is formed in 64 bits to stay defined for any value passed.
template <int Code>
inline int64_t predict_rt(const uint8_t* r, std::ptrdiff_t step, int x, int32_t round) {
  switch (Code) {
    case 0: return r[x];
    case 1: return (int64_t(r[x]) + r[x + 1] + 1 - round) >> 1;
    case 2: return (int64_t(r[x]) + r[x + step] + 1 - round) >> 1;
    default: return (int64_t(r[x]) + r[x + 1] + r[x + step] + r[x + step + 1] + 2 - round) >> 2;
  }
}

template <int W, int H, int Code>
void mc_small_c(const uint8_t* ref, int32_t fs, const int16_t* res, int32_t rs, uint8_t* dst, int32_t ds,
                int32_t round) {
  for (int y = 0; y < H; ++y, ref += fs, res = next_row(res, rs), dst += ds)
    for (int x = 0; x < W; ++x) dst[x] = clamp_u8(predict_rt<Code>(ref, fs, x, round) + res[x]);
}

template <int W, int H, int CodeF, int CodeB>
void mc_b_small_c(const uint8_t* rf, int32_t fs, const uint8_t* rb, int32_t bs, const int16_t* res, int32_t rs,
                  uint8_t* dst, int32_t ds, int32_t round) {
  for (int y = 0; y < H; ++y, rf += fs, rb += bs, res = next_row(res, rs), dst += ds)
    for (int x = 0; x < W; ++x) {
      const int64_t p = (predict_rt<CodeF>(rf, fs, x, round) + predict_rt<CodeB>(rb, bs, x, round) + 1) >> 1;
      dst[x] = clamp_u8(p + res[x]);
    }
}

// Interleaved chroma with planar residuals: even bytes take U, odd bytes V.
template <int H, int Code, int Round>
void mc_p2_c(const uint8_t* ref, int32_t fs, const int16_t* ru, const int16_t* rv, int32_t rs, uint8_t* dst,
             int32_t ds) {
  for (int y = 0; y < H; ++y, ref += fs, ru = next_row(ru, rs), rv = next_row(rv, rs), dst += ds)
    for (int x = 0; x < 16; ++x) {
      const int16_t* e = (x & 1) ? rv : ru;
      dst[x] = clamp_u8(predict<Code, 2>(ref, fs, x, Round) + e[x >> 1]);
    }
}

template <int H, int CodeF, int CodeB, int Round>
void mc_p2b_c(const uint8_t* rf, int32_t fs, const uint8_t* rb, int32_t bs, const int16_t* ru, const int16_t* rv,
              int32_t rs, uint8_t* dst, int32_t ds) {
  for (int y = 0; y < H; ++y, rf += fs, rb += bs, ru = next_row(ru, rs), rv = next_row(rv, rs), dst += ds)
    for (int x = 0; x < 16; ++x) {
      const int p = (predict<CodeF, 2>(rf, fs, x, Round) + predict<CodeB, 2>(rb, bs, x, Round) + 1) >> 1;
      const int16_t* e = (x & 1) ? rv : ru;
      dst[x] = clamp_u8(p + e[x >> 1]);
    }
}

uint32_t count_zeros8x8_c(const int16_t* c) {
  uint32_t n = 0;
  for (int i = 0; i < 64; ++i) n += c[i] == 0;
  return n;
}

// The scalar kernel templates, for the table generators (block_gen.h).
struct Kernels {
  template <int W, int H, int Code, int Round>
  static constexpr CopyFn copy_hp = copy_hp_c<W, H, Code, Round>;
  template <int W, int H, int Code, int Round>
  static constexpr CopyFn interp_avg = interp_avg_c<W, H, Code, Round>;
  template <int Code, int Round>
  static constexpr AddHpFn add8x8_hp = add8x8_hp_c<Code, Round>;
  template <int W, int H, int Dx, int Code, int Round>
  static constexpr McFn mc = mc_c<W, H, Dx, Code, Round>;
  template <int W, int H, int Dx, int CodeF, int CodeB, int Round>
  static constexpr McBFn mc_b = mc_b_c<W, H, Dx, CodeF, CodeB, Round>;
  template <int H, int Code, int Round>
  static constexpr McP2Fn mc_p2 = mc_p2_c<H, Code, Round>;
  template <int H, int CodeF, int CodeB, int Round>
  static constexpr McP2BFn mc_p2b = mc_p2b_c<H, CodeF, CodeB, Round>;
};

// Widths 2 and 4 are scalar at every level: indexed by mode only (block.h).
template <int W, int H>
struct McSmallGen {
  template <std::size_t I>
  static constexpr McFn get() {
    return I < 4 ? mc_small_c<W, H, kModeCode[I % 4]> : nullptr;
  }
};
template <int W, int H>
struct McBSmallGen {
  template <std::size_t I>
  static constexpr McBFn get() {
    return I < 16 ? mc_b_small_c<W, H, kModeCode[I % 4], kModeCode[(I / 4) % 4]> : nullptr;
  }
};

constexpr BlockKernels make_c_table() {
  using K = Kernels;
  BlockKernels k{};
  k.copy8x8 = copy_c<8, 8>;
  k.copy16x16 = copy_c<16, 16>;
  k.copy_hp[kHp8x4] = make_table<gen::CopyHp<K, 8, 4>, 8>();
  k.copy_hp[kHp8x8] = make_table<gen::CopyHp<K, 8, 8>, 8>();
  k.copy_hp[kHp16x8] = make_table<gen::CopyHp<K, 16, 8>, 8>();
  k.copy_hp[kHp16x16] = make_table<gen::CopyHp<K, 16, 16>, 8>();
  k.avg_ir8x8 = k.avg8x8 = avg_c<8, 8>;
  k.avg_ir16x16 = k.avg16x16 = avg_c<16, 16>;
  k.interp_avg[kHp8x4] = make_table<gen::InterpAvg<K, 8, 4>, 8>();
  k.interp_avg[kHp8x8] = make_table<gen::InterpAvg<K, 8, 8>, 8>();
  k.interp_avg[kHp16x8] = make_table<gen::InterpAvg<K, 16, 8>, 8>();
  k.interp_avg[kHp16x16] = make_table<gen::InterpAvg<K, 16, 16>, 8>();
  k.add8x8 = add8x8_c;
  k.add8x8_hp = make_table<gen::AddHp<K>, 8>();
  k.addc8x8 = addc8x8_c;
  gen::put_mc16<K>(k);
  gen::put_mc8<K>(k);
  k.mc[kMc4x8] = make_table<McSmallGen<4, 8>, 8>();
  k.mc[kMc4x4] = make_table<McSmallGen<4, 4>, 8>();
  k.mc[kMc4x2] = make_table<McSmallGen<4, 2>, 8>();
  k.mc[kMc2x4] = make_table<McSmallGen<2, 4>, 8>();
  k.mc[kMc2x2] = make_table<McSmallGen<2, 2>, 8>();
  k.mc_b[kMc4x8] = make_table<McBSmallGen<4, 8>, 32>();
  k.mc_b[kMc4x4] = make_table<McBSmallGen<4, 4>, 32>();
  k.mc_b[kMc4x2] = make_table<McBSmallGen<4, 2>, 32>();
  k.mc_b[kMc2x4] = make_table<McBSmallGen<2, 4>, 32>();
  k.mc_b[kMc2x2] = make_table<McBSmallGen<2, 2>, 32>();
  k.count_zeros8x8 = count_zeros8x8_c;
  return k;
}

}  // namespace

constexpr BlockKernels kBlockKernelsC = make_c_table();

}  // namespace kvn
