// Inter prediction (H.264 8.4.2): interpolation through the library's Block
// functions (which pad at picture edges) and weighted prediction (8.4.2.3).
#include <kvnvc.h>

#include <cstring>

#include "slice.h"

namespace h264dec {

namespace {

struct Weights {
  int mode = 0;  // 0 default, 1 explicit, 2 implicit
  int log2 = 0;
  int w[2] = {1, 1}, o[2] = {0, 0};
};

// 8-bit and 16-bit sample operations behind one interface.
template <typename Pel>
struct Ops;

template <>
struct Ops<uint8_t> {
  static void luma(const Frame& ref, uint8_t* dst, int dstStep, int x, int y, int w, int h, const int16_t mv[2], int) {
    KvnInterpolationBlockRecord8u r;
    std::memset(&r, 0, sizeof r);
    r.pSrc[0] = ref.planes[0].data();
    r.srcStep = ref.stride[0];
    r.pDst[0] = dst;
    r.dstStep = dstStep;
    r.sizeFrame = KvnSize{ref.width, ref.height};
    r.sizeBlock = KvnSize{w, h};
    r.pointBlockPos[0] = x;
    r.pointBlockPos[1] = y;
    r.pointVectorQuarterPix[0] = mv[0];
    r.pointVectorQuarterPix[1] = mv[1];
    kvniInterpolateLumaBlock_H264_8u_P1R(&r);
  }
  static void chroma(const Frame& ref, uint8_t* dcb, uint8_t* dcr, int dstStep, int x, int y, int w, int h, int mvx,
                     int mvy, int) {
    KvnInterpolationBlockRecord8u r;
    std::memset(&r, 0, sizeof r);
    r.pSrc[0] = ref.planes[1].data();
    r.pSrc[1] = ref.planes[2].data();
    r.srcStep = ref.stride[1];
    r.pDst[0] = dcb;
    r.pDst[1] = dcr;
    r.dstStep = dstStep;
    r.sizeFrame = KvnSize{ref.cwidth, ref.cheight};
    r.sizeBlock = KvnSize{w, h};
    r.pointBlockPos[0] = x;
    r.pointBlockPos[1] = y;
    r.pointVectorQuarterPix[0] = mvx;
    r.pointVectorQuarterPix[1] = mvy;
    kvniInterpolateChromaBlock_H264_8u_P2R(&r);
  }
  static void uni(uint8_t* blk, int step, int log2, int w, int o, int bw, int bh, int) {
    kvniUniDirWeightBlock_H264_8u_C1IR(blk, step, Kvn32u(log2), w, o, KvnSize{bw, bh});
  }
  static void bi(const uint8_t* a, int aStep, const uint8_t* b, int bStep, uint8_t* dst, int dstStep, const Weights& wt,
                 int bw, int bh, int) {
    if (wt.mode == 1)
      kvniBiDirWeightBlock_H264_8u_P3P1R(a, b, dst, aStep, bStep, dstStep, Kvn32u(wt.log2), wt.w[0], wt.o[0], wt.w[1],
                                         wt.o[1], KvnSize{bw, bh});
    else if (wt.mode == 2)
      kvniBiDirWeightBlockImplicit_H264_8u_P3P1R(a, b, dst, aStep, bStep, dstStep, wt.w[0], wt.w[1], KvnSize{bw, bh});
    else
      kvniInterpolateBlock_H264_8u_P3P1R(a, b, dst, uint32_t(bw), uint32_t(bh), aStep, bStep, dstStep);
  }
  static constexpr int kBytes = 1;
};

template <>
struct Ops<uint16_t> {
  static void luma(const Frame& ref, uint16_t* dst, int dstStep, int x, int y, int w, int h, const int16_t mv[2],
                   int bd) {
    KvnInterpolationBlockRecord16u r;
    std::memset(&r, 0, sizeof r);
    r.pSrc[0] = reinterpret_cast<const Kvn16u*>(ref.planes[0].data());
    r.srcStep = ref.stride[0];
    r.pDst[0] = dst;
    r.dstStep = dstStep;
    r.sizeFrame = KvnSize{ref.width, ref.height};
    r.sizeBlock = KvnSize{w, h};
    r.pointBlockPos[0] = x;
    r.pointBlockPos[1] = y;
    r.pointVectorQuarterPix[0] = mv[0];
    r.pointVectorQuarterPix[1] = mv[1];
    r.bitDepth = bd;
    kvniInterpolateLumaBlock_H264_16u_P1R(&r);
  }
  static void chroma(const Frame& ref, uint16_t* dcb, uint16_t* dcr, int dstStep, int x, int y, int w, int h, int mvx,
                     int mvy, int bd) {
    KvnInterpolationBlockRecord16u r;
    std::memset(&r, 0, sizeof r);
    r.pSrc[0] = reinterpret_cast<const Kvn16u*>(ref.planes[1].data());
    r.pSrc[1] = reinterpret_cast<const Kvn16u*>(ref.planes[2].data());
    r.srcStep = ref.stride[1];
    r.pDst[0] = dcb;
    r.pDst[1] = dcr;
    r.dstStep = dstStep;
    r.sizeFrame = KvnSize{ref.cwidth, ref.cheight};
    r.sizeBlock = KvnSize{w, h};
    r.pointBlockPos[0] = x;
    r.pointBlockPos[1] = y;
    r.pointVectorQuarterPix[0] = mvx;
    r.pointVectorQuarterPix[1] = mvy;
    r.bitDepth = bd;
    kvniInterpolateChromaBlock_H264_16u_P2R(&r);
  }
  static void uni(uint16_t* blk, int step, int log2, int w, int o, int bw, int bh, int bd) {
    kvniUnidirWeight_H264_16u_IP2P1R(blk, step, Kvn32u(log2), w, o, KvnSize{bw, bh}, bd);
  }
  static void bi(const uint16_t* a, int aStep, const uint16_t* b, int bStep, uint16_t* dst, int dstStep,
                 const Weights& wt, int bw, int bh, int bd) {
    KvnBidirRecord16u r{a, aStep, b, bStep, dst, dstStep, KvnSize{bw, bh}, bd};
    if (wt.mode == 1)
      kvniBidirWeight_H264_16u_P2P1R(&r, Kvn32u(wt.log2), wt.w[0], wt.o[0], wt.w[1], wt.o[1]);
    else if (wt.mode == 2)
      kvniBidirWeightImplicit_H264_16u_P2P1R(&r, wt.w[0], wt.w[1]);
    else
      kvniBidir_H264_16u_P2P1R(&r);
  }
  static constexpr int kBytes = 2;
};

// Whole-sample motion (still and panning areas) needs no interpolation when
// the block lies inside its reference picture: the reference block is then
// the prediction, copied or averaged straight from the picture. Returns that
// block of plane c for the block at (x, y) of size w x h moved by (mvx, mvy)
// in 1 / unit samples, or null where the vector has a fraction or the block
// reaches outside the picture (the library's Block functions pad there).
const uint8_t* whole_sample(const Frame& f, int c, int x, int y, int w, int h, int mvx, int mvy, int unit) {
  if ((mvx | mvy) & (unit - 1)) return nullptr;
  x += mvx / unit;
  y += mvy / unit;
  const int pw = c ? f.cwidth : f.width, ph = c ? f.cheight : f.height;
  if (x < 0 || y < 0 || x + w > pw || y + h > ph) return nullptr;
  return f.planes[c].data() + size_t(y) * f.stride[c] + x;
}

// A whole-sample block copied by the library's block copies: 16x16, or 8x8
// tiles of sizes in multiples of 8; false for other sizes.
bool copy_block(const uint8_t* src, int srcStep, uint8_t* dst, int dstStep, int w, int h) {
  if (w == 16 && h == 16) return kvniCopy16x16_8u_C1R(src, srcStep, dst, dstStep) >= 0;
  if ((w | h) & 7) return false;
  for (int y = 0; y < h; y += 8)
    for (int x = 0; x < w; x += 8)
      kvniCopy8x8_8u_C1R(src + size_t(y) * srcStep + x, srcStep, dst + size_t(y) * dstStep + x, dstStep);
  return true;
}

}  // namespace

template <typename Pel>
void SliceDecoder::predict_block(int x4, int y4, int w4, int h4) {
  using O = Ops<Pel>;
  const int W4 = W * 4;
  const BlockMotion& m = cur->motion[size_t(mb.y * 4 + y4) * W4 + mb.x * 4 + x4];
  const int bx = mb.x * 16 + x4 * 4, by = mb.y * 16 + y4 * 4, bw = w4 * 4, bh = h4 * 4;
  const int cx = bx / 2, cy = cf == 1 ? by / 2 : by, cw = bw / 2, ch = cf == 1 ? bh / 2 : bh;
  const Frame* ref[2] = {nullptr, nullptr};
  for (int l = 0; l < 2; ++l) {
    if (m.ref[l] < 0) continue;
    ref[l] = ctx.refList[l][m.ref[l]];
    if (!ref[l] || ref[l]->width != cur->width || ref[l]->height != cur->height ||
        ref[l]->bytesPerSample != cur->bytesPerSample)
      ref[l] = cur;  // missing reference: predict from the picture itself
  }
  const bool bi = ref[0] && ref[1];
  const int single = ref[0] ? 0 : 1;
  if (!ref[0] && !ref[1]) return;

  Pel* Y = reinterpret_cast<Pel*>(cur->planes[0].data()) + size_t(by) * cur->stride[0] + bx;
  Pel* Cb = reinterpret_cast<Pel*>(cur->planes[1].data()) + size_t(cy) * cur->stride[1] + cx;
  Pel* Cr = reinterpret_cast<Pel*>(cur->planes[2].data()) + size_t(cy) * cur->stride[2] + cx;
  const int ys = cur->stride[0] * O::kBytes, cs = cur->stride[1] * O::kBytes;  // bytes for 8-bit API
  const int ysS = cur->stride[0], csS = cur->stride[1];                        // samples
  const int yStep = sizeof(Pel) == 1 ? ys : ysS, cStep = sizeof(Pel) == 1 ? cs : csS;
  const int cmvScale = cf == 1 ? 1 : 2;
  const int shift = bd - 8;

  if (!bi) {
    // One reference: explicit weights, where the slice has them for it, are
    // applied in place after the prediction.
    const int l = single, r = m.ref[l];
    const Frame& f = *ref[l];
    bool lumaDone = false, chromaDone = false;
    if constexpr (sizeof(Pel) == 1) {
      const uint8_t* y = whole_sample(f, 0, bx, by, bw, bh, m.mv[l][0], m.mv[l][1], 4);
      lumaDone = y && copy_block(y, f.stride[0], Y, yStep, bw, bh);
      const uint8_t* u = whole_sample(f, 1, cx, cy, cw, ch, m.mv[l][0], m.mv[l][1] * cmvScale, 8);
      const uint8_t* v = whole_sample(f, 2, cx, cy, cw, ch, m.mv[l][0], m.mv[l][1] * cmvScale, 8);
      chromaDone =
          u && v && copy_block(u, f.stride[1], Cb, cStep, cw, ch) && copy_block(v, f.stride[2], Cr, cStep, cw, ch);
    }
    if (!lumaDone) O::luma(f, Y, yStep, bx, by, bw, bh, m.mv[l], bd);
    if (!chromaDone) O::chroma(f, Cb, Cr, cStep, cx, cy, cw, ch, m.mv[l][0], m.mv[l][1] * cmvScale, bd);
    if (!explicitWp) return;
    if (sh.lumaWFlag[l][r]) O::uni(Y, yStep, sh.lumaLog2Wd, sh.lumaW[l][r], sh.lumaO[l][r] * (1 << shift), bw, bh, bd);
    if (sh.chromaWFlag[l][r]) {
      O::uni(Cb, cStep, sh.chromaLog2Wd, sh.chromaW[l][r][0], sh.chromaO[l][r][0] * (1 << shift), cw, ch, bd);
      O::uni(Cr, cStep, sh.chromaLog2Wd, sh.chromaW[l][r][1], sh.chromaO[l][r][1] * (1 << shift), cw, ch, bd);
    }
    return;
  }

  // Weights per component: 0 luma, 1 Cb, 2 Cr.
  Weights wt[3];
  if (explicitWp) {
    for (int c = 0; c < 3; ++c) {
      wt[c].mode = 1;
      wt[c].log2 = c == 0 ? sh.lumaLog2Wd : sh.chromaLog2Wd;
      for (int l = 0; l < 2; ++l) {
        if (m.ref[l] < 0) continue;
        int r = m.ref[l];
        wt[c].w[l] = c == 0 ? sh.lumaW[l][r] : sh.chromaW[l][r][c - 1];
        wt[c].o[l] = (c == 0 ? sh.lumaO[l][r] : sh.chromaO[l][r][c - 1]) * (1 << shift);
      }
    }
  } else if (implicitWp && implicitW[m.ref[0] & 31][m.ref[1] & 31] != 32) {
    // Equal implicit weights (32, 32) are the default average:
    // (32 a + 32 b + 32) >> 6 == (a + b + 1) >> 1.
    int w1 = implicitW[m.ref[0] & 31][m.ref[1] & 31];
    for (int c = 0; c < 3; ++c) {
      wt[c].mode = 2;
      wt[c].w[0] = 64 - w1;
      wt[c].w[1] = w1;
    }
  }

  // Each list's block: read in place where whole-sample (8-bit), else
  // interpolated into a temporary block; then combined into the picture.
  alignas(16) Pel ty[2][16 * 16], tcb[2][8 * 16], tcr[2][8 * 16];
  const Pel *py[2], *pcb[2], *pcr[2];
  int yS[2], cS[2];  // their steps, bytes for 8-bit
  for (int l = 0; l < 2; ++l) {
    const Frame& f = *ref[l];
    const int cmvx = m.mv[l][0], cmvy = m.mv[l][1] * cmvScale;
    py[l] = nullptr;
    pcb[l] = pcr[l] = nullptr;
    if constexpr (sizeof(Pel) == 1) {
      py[l] = whole_sample(f, 0, bx, by, bw, bh, m.mv[l][0], m.mv[l][1], 4);
      yS[l] = f.stride[0];
      pcb[l] = whole_sample(f, 1, cx, cy, cw, ch, cmvx, cmvy, 8);
      pcr[l] = whole_sample(f, 2, cx, cy, cw, ch, cmvx, cmvy, 8);
      cS[l] = f.stride[1];
    }
    if (!py[l]) {
      O::luma(f, ty[l], 16, bx, by, bw, bh, m.mv[l], bd);  // step 16: bytes for 8-bit, samples for 16-bit
      py[l] = ty[l];
      yS[l] = 16;
    }
    if (!pcb[l] || !pcr[l]) {
      O::chroma(f, tcb[l], tcr[l], 8, cx, cy, cw, ch, cmvx, cmvy, bd);
      pcb[l] = tcb[l];
      pcr[l] = tcr[l];
      cS[l] = 8;
    }
  }
  O::bi(py[0], yS[0], py[1], yS[1], Y, yStep, wt[0], bw, bh, bd);
  O::bi(pcb[0], cS[0], pcb[1], cS[1], Cb, cStep, wt[1], cw, ch, bd);
  O::bi(pcr[0], cS[0], pcr[1], cS[1], Cr, cStep, wt[2], cw, ch, bd);
}

template <typename Pel>
void SliceDecoder::inter_pred() {
  const int W4 = W * 4;
  const BlockMotion* base = &cur->motion[size_t(mb.y * 4) * W4 + mb.x * 4];
  auto same = [&](int x4, int y4, int w4, int h4) {
    const BlockMotion& a = base[y4 * W4 + x4];
    for (int y = 0; y < h4; ++y)
      for (int x = 0; x < w4; ++x) {
        const BlockMotion& b = base[(y4 + y) * W4 + x4 + x];
        if (a.ref[0] != b.ref[0] || a.ref[1] != b.ref[1] || a.mv[0][0] != b.mv[0][0] || a.mv[0][1] != b.mv[0][1] ||
            a.mv[1][0] != b.mv[1][0] || a.mv[1][1] != b.mv[1][1])
          return false;
      }
    return true;
  };
  // Deblocking skips the motion comparisons inside the regions found to
  // share one motion here: the whole macroblock, or each 8x8 quadrant.
  MbState& st = ctx.mbs[mb.addr];
  st.part8 = true;
  switch (mb.partShape) {
    case 0:
      st.part16 = true;
      predict_block<Pel>(0, 0, 4, 4);
      return;
    case 1:
      predict_block<Pel>(0, 0, 4, 2);
      predict_block<Pel>(0, 2, 4, 2);
      return;
    case 2:
      predict_block<Pel>(0, 0, 2, 4);
      predict_block<Pel>(2, 0, 2, 4);
      return;
    default: break;
  }
  if (same(0, 0, 4, 4)) {
    st.part16 = true;
    predict_block<Pel>(0, 0, 4, 4);
    return;
  }
  for (int i = 0; i < 4; ++i) {
    int x4 = (i & 1) * 2, y4 = (i >> 1) * 2;
    if (same(x4, y4, 2, 2)) {
      predict_block<Pel>(x4, y4, 2, 2);
      continue;
    }
    st.part8 = false;
    if (same(x4, y4, 2, 1) && same(x4, y4 + 1, 2, 1)) {
      predict_block<Pel>(x4, y4, 2, 1);
      predict_block<Pel>(x4, y4 + 1, 2, 1);
    } else if (same(x4, y4, 1, 2) && same(x4 + 1, y4, 1, 2)) {
      predict_block<Pel>(x4, y4, 1, 2);
      predict_block<Pel>(x4 + 1, y4, 1, 2);
    } else {
      for (int s = 0; s < 4; ++s) predict_block<Pel>(x4 + (s & 1), y4 + (s >> 1), 1, 1);
    }
  }
}

template void SliceDecoder::inter_pred<uint8_t>();
template void SliceDecoder::inter_pred<uint16_t>();

}  // namespace h264dec
