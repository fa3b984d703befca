// Residual reconstruction and intra prediction of one macroblock through the
// library: the 8-bit functions for 8-bit 4:2:0, the high-profile record
// functions for 4:2:2 chroma and bit depths above 8.
#include <kvnvc.h>

#include "slice.h"

namespace h264dec {

template <>
int SliceDecoder::reconstruct<uint8_t>() {
  const int qpY = qp + qpBdOffset;
  const int li = mb.intra ? 0 : 3;
  const int16_t* t4 = ls4[li][qpY % 6];
  const int16_t* t8 = ls8[mb.intra ? 0 : 1][qpY % 6];
  const Kvn8u bypass = sps.transformBypass ? 1 : 0;
  Kvn8u* Y = cur->plane8(0) + size_t(mb.y * 16) * cur->stride[0] + mb.x * 16;
  const int ys = cur->stride[0];
  Kvn16s* s = coefY16;
  KvnResult st = 0;
  if (mb.intra) {
    if (ctx.mbs[mb.addr].i16)
      st = kvniReconstructLumaIntra_16x16MB_H264_16s8u_C1R(&s, Y, ys, mb.i16Mode, maskY, qpY, mb.edge, t4, bypass);
    else if (mb.t8x8)
      st = kvniReconstructLumaIntra8x8MB_H264_16s8u_C1R(&s, Y, ys, mb.i8Modes, maskY, qpY, mb.edge, t8, bypass);
    else
      st = kvniReconstructLumaIntra4x4MB_H264_16s8u_C1R(&s, Y, ys, mb.i4Modes, maskY, qpY, mb.edge, t4, bypass);
  } else if (maskY) {
    if (mb.t8x8)
      st = kvniReconstructLumaInter8x8MB_H264_16s8u_C1R(&s, Y, ys, maskY, qpY, t8, bypass);
    else
      st = kvniReconstructLumaInter4x4MB_H264_16s8u_C1R(&s, Y, ys, maskY, qpY, t4, bypass);
  }
  if (st < 0) return st;

  const int ch = 8 * cf;
  Kvn8u* Cb = cur->plane8(1) + size_t(mb.y * ch) * cur->stride[1] + mb.x * 8;
  Kvn8u* Cr = cur->plane8(2) + size_t(mb.y * ch) * cur->stride[2] + mb.x * 8;
  const int cs = cur->stride[1];
  int qpc[2];
  for (int c = 0; c < 2; ++c) qpc[c] = chroma_qp(qp, pps.chromaQpOffset[c], qpBdOffset) + qpBdOffset;
  const int16_t* tc[2] = {ls4[li + 1][qpc[0] % 6], ls4[li + 2][qpc[1] % 6]};
  KvnResult sc;
  if (cf == 1) {
    Kvn32u mask = ((maskC[0] & 1) << 17) | ((maskC[1] & 1) << 18) | (((maskC[0] >> 1) & 15) << 19) |
                  (((maskC[1] >> 1) & 15) << 23);
    Kvn16s* p = coefC16[0];
    if (mb.intra)
      sc = kvniReconstructChromaIntra4x4MB_H264_16s8u_P2R(&p, Cb, Cr, cs, mb.chromaMode, mask, qpc[0], qpc[1], mb.edge,
                                                          tc[0], tc[1], bypass);
    else if (mask)
      sc = kvniReconstructChromaInter4x4MB_H264_16s8u_P2R(&p, Cb, Cr, cs, mask, qpc[0], qpc[1], tc[0], tc[1], bypass);
    else
      sc = 0;
  } else {
    Kvn16s* p[2] = {coefC16[0], coefC16[1]};
    KvnReconstructRecord16s8u rec[2] = {{&p[0], Cb, cs, maskC[0], qpc[0], tc[0], bypass},
                                        {&p[1], Cr, cs, maskC[1], qpc[1], tc[1], bypass}};
    const KvnReconstructRecord16s8u* recs[2] = {&rec[0], &rec[1]};
    int dc0 = ls4[li + 1][(qpc[0] + 3) % 6][0], dc1 = ls4[li + 2][(qpc[1] + 3) % 6][0];
    if (mb.intra)
      sc = kvniReconstructChroma422Intra4x4_H264High_16s8u_IP2R(recs, mb.chromaMode, mb.edge, dc0, dc1);
    else if (maskC[0] | maskC[1])
      sc = kvniReconstructChroma422Inter4x4_H264High_16s8u_IP2R(recs, dc0, dc1);
    else
      sc = 0;
  }
  return sc < 0 ? sc : st;
}

template <>
int SliceDecoder::reconstruct<uint16_t>() {
  const int qpY = qp + qpBdOffset;
  const int li = mb.intra ? 0 : 3;
  const Kvn32u bypass = sps.transformBypass ? 1 : 0;
  Kvn32s* s = coefY32;
  KvnReconstructRecord32s16u ry{
      &s,  cur->plane16(0) + size_t(mb.y * 16) * cur->stride[0] + mb.x * 16, cur->stride[0], maskY,
      qpY, mb.t8x8 ? ls8[mb.intra ? 0 : 1][qpY % 6] : ls4[li][qpY % 6],      bypass,         bd};
  KvnResult st = 0;
  if (mb.intra) {
    if (ctx.mbs[mb.addr].i16)
      st = kvniReconstructLumaIntra16x16_H264High_32s16u_IP1R(&ry, mb.i16Mode, mb.edge);
    else if (mb.t8x8)
      st = kvniReconstructLumaIntra8x8_H264High_32s16u_IP1R(&ry, mb.i8Modes, mb.edge);
    else
      st = kvniReconstructLumaIntra4x4_H264High_32s16u_IP1R(&ry, mb.i4Modes, mb.edge);
  } else if (maskY) {
    st = mb.t8x8 ? kvniReconstructLumaInter8x8_H264High_32s16u_IP1R(&ry)
                 : kvniReconstructLumaInter4x4_H264High_32s16u_IP1R(&ry);
  }
  if (st < 0) return st;

  const int ch = 8 * cf;
  int qpc[2];
  for (int c = 0; c < 2; ++c) qpc[c] = chroma_qp(qp, pps.chromaQpOffset[c], qpBdOffset) + qpBdOffset;
  Kvn32s* p[2] = {coefC32[0], coefC32[1]};
  KvnReconstructRecord32s16u rc[2];
  for (int c = 0; c < 2; ++c)
    rc[c] =
        KvnReconstructRecord32s16u{&p[c],          cur->plane16(1 + c) + size_t(mb.y * ch) * cur->stride[1] + mb.x * 8,
                                   cur->stride[1], maskC[c],
                                   qpc[c],         ls4[li + 1 + c][qpc[c] % 6],
                                   bypass,         bd};
  const KvnReconstructRecord32s16u* recs[2] = {&rc[0], &rc[1]};
  KvnResult sc = 0;
  const bool coded = (maskC[0] | maskC[1]) != 0;
  if (cf == 1) {
    if (mb.intra)
      sc = kvniReconstructChromaIntra4x4_H264High_32s16u_IP2R(recs, mb.chromaMode, mb.edge);
    else if (coded)
      sc = kvniReconstructChromaInter4x4_H264High_32s16u_IP2R(recs);
  } else {
    int dc0 = ls4[li + 1][(qpc[0] + 3) % 6][0], dc1 = ls4[li + 2][(qpc[1] + 3) % 6][0];
    if (mb.intra)
      sc = kvniReconstructChroma422Intra4x4_H264High_32s16u_IP2R(recs, mb.chromaMode, mb.edge, dc0, dc1);
    else if (coded)
      sc = kvniReconstructChroma422Inter4x4_H264High_32s16u_IP2R(recs, dc0, dc1);
  }
  return sc < 0 ? sc : st;
}

}  // namespace h264dec
