/*
 * H.264 deblocking of a decoded 4:2:0 picture with the library's edge filters.
 *
 * Pointer and step convention: one call filters all vertical (VerEdge) or all
 * horizontal (HorEdge) edges of one colour component of one macroblock, in
 * place. pSrcDst is the macroblock's top-left sample and srcDstStep the
 * plane's row step in bytes; edge 0 is the macroblock's own left (top) edge,
 * whose filter reads and writes the 4 luma (2 chroma) samples left of (above)
 * the macroblock, so the left and top neighbours must have been filtered
 * first: macroblocks go in raster order, vertical edges before horizontal
 * ones (H.264 8.7).
 *
 * Per call, with e the edge (0 .. 3 luma, 0 .. 1 chroma) and s the segment
 * along it (4 segments: 4 luma lines or 2 chroma lines each):
 *   alpha[2], beta[2]: [0] for edge 0, [1] for the internal edges;
 *   bS:  luma [4e + s]; chroma [8e + s], that is the luma array itself,
 *        chroma edges 0 and 1 lying on luma edges 0 and 2;
 *   tc0: [4e + s] in both (ignored where bS is 4).
 * An edge whose four bS are 0 is neither read nor written: the macroblocks on
 * the picture's left and top borders give edge 0 the bS 0.
 *
 * The picture here is "decoded" with visible 4x4 blocks (every block flat,
 * neighbours a few levels apart): all macroblocks intra, so bS is 4 on
 * macroblock edges and 3 inside. Checks that the steps across block edges
 * shrink, and that a flat picture stays as it is.
 */
#include <kvnvc.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

enum { MBW = 3, MBH = 3, W = 16 * MBW, H = 16 * MBH, CW = W / 2, CH = H / 2 };
enum { QP = 36, QPC = 34 }; /* QPc for QP 36 (H.264 Table 8-15) */

/* H.264 Tables 8-16 and 8-17 at the indexA / indexB of QP 36 and of QPc 34
 * (no slice offsets): alpha', beta', and tc0' for bS 1, 2, 3. */
static const Kvn8u kAlphaY = 50, kBetaY = 11, kTc0Y[3] = {2, 3, 4};
static const Kvn8u kAlphaC = 40, kBetaC = 10, kTc0C[3] = {2, 2, 4};

typedef struct {
  Kvn8u y[H * W], cb[CH * CW], cr[CH * CW];
} Picture;

/* Deblocks the whole picture. */
static int deblock_picture(Picture* pic) {
  const Kvn8u alphaY[2] = {kAlphaY, kAlphaY}, betaY[2] = {kBetaY, kBetaY};
  const Kvn8u alphaC[2] = {kAlphaC, kAlphaC}, betaC[2] = {kBetaC, kBetaC};
  int mbx, mby, dir, e, s;
  for (mby = 0; mby < MBH; ++mby)
    for (mbx = 0; mbx < MBW; ++mbx)
      for (dir = 0; dir < 2; ++dir) { /* 0: vertical edges, 1: horizontal */
        Kvn8u bs[16], tcY[16], tcC[8];
        Kvn8u* const y = pic->y + 16 * mby * W + 16 * mbx;
        const int offC = 8 * mby * CW + 8 * mbx;
        KvnResult st;
        const int border = dir == 0 ? mbx == 0 : mby == 0; /* edge 0 on the picture's edge */
        for (e = 0; e < 4; ++e)
          for (s = 0; s < 4; ++s) {
            /* Intra macroblocks: 4 on macroblock edges, 3 inside. */
            bs[4 * e + s] = e == 0 ? (border ? 0 : 4) : 3;
            tcY[4 * e + s] = bs[4 * e + s] >= 1 && bs[4 * e + s] <= 3 ? kTc0Y[bs[4 * e + s] - 1] : 0;
          }
        for (e = 0; e < 2; ++e)
          for (s = 0; s < 4; ++s) {
            const int b = bs[8 * e + s]; /* chroma edge e lies on luma edge 2e */
            tcC[4 * e + s] = b >= 1 && b <= 3 ? kTc0C[b - 1] : 0;
          }
        if (dir == 0) {
          st = kvniFilterDeblockingLuma_VerEdge_H264_8u_C1IR(y, W, alphaY, betaY, tcY, bs);
          st |= kvniFilterDeblockingChroma_VerEdge_H264_8u_C1IR(pic->cb + offC, CW, alphaC, betaC, tcC, bs);
          st |= kvniFilterDeblockingChroma_VerEdge_H264_8u_C1IR(pic->cr + offC, CW, alphaC, betaC, tcC, bs);
        } else {
          st = kvniFilterDeblockingLuma_HorEdge_H264_8u_C1IR(y, W, alphaY, betaY, tcY, bs);
          st |= kvniFilterDeblockingChroma_HorEdge_H264_8u_C1IR(pic->cb + offC, CW, alphaC, betaC, tcC, bs);
          st |= kvniFilterDeblockingChroma_HorEdge_H264_8u_C1IR(pic->cr + offC, CW, alphaC, betaC, tcC, bs);
        }
        if (st != KVN_STS_OK) return -1;
      }
  return 0;
}

/* Sum of the steps |p0 - q0| across every block edge (4 luma, 4 chroma
 * samples apart) of a plane. */
static long edge_steps(const Kvn8u* p, int w, int h) {
  long sum = 0;
  int x, y;
  for (y = 0; y < h; ++y)
    for (x = 4; x < w; x += 4) sum += abs(p[y * w + x] - p[y * w + x - 1]);
  for (y = 4; y < h; y += 4)
    for (x = 0; x < w; ++x) sum += abs(p[y * w + x] - p[(y - 1) * w + x]);
  return sum;
}

static long all_steps(const Picture* pic) {
  return edge_steps(pic->y, W, H) + edge_steps(pic->cb, CW, CH) + edge_steps(pic->cr, CW, CH);
}

/* Each 4x4 block flat: a gentle ramp quantised to steps of 6 levels. */
static void make_blocky(Picture* pic) {
  int x, y;
  for (y = 0; y < H; ++y)
    for (x = 0; x < W; ++x) pic->y[y * W + x] = (Kvn8u)(80 + 6 * ((x / 4 + y / 4) % 7));
  for (y = 0; y < CH; ++y)
    for (x = 0; x < CW; ++x) {
      pic->cb[y * CW + x] = (Kvn8u)(120 + 5 * ((x / 4 + 2 * (y / 4)) % 4));
      pic->cr[y * CW + x] = (Kvn8u)(136 - 5 * ((2 * (x / 4) + y / 4) % 4));
    }
}

int main(void) {
  static Picture pic, flat, flatCopy;
  long before, after;
  int ok;

  make_blocky(&pic);
  before = all_steps(&pic);
  if (deblock_picture(&pic) != 0) return 1;
  after = all_steps(&pic);

  memset(&flat, 100, sizeof flat);
  flatCopy = flat;
  if (deblock_picture(&flat) != 0) return 1;

  ok = after < before / 2 && memcmp(&flat, &flatCopy, sizeof flat) == 0;
  printf("deblock: block-edge steps %ld before, %ld after; flat picture %s: %s\n", before, after,
         memcmp(&flat, &flatCopy, sizeof flat) == 0 ? "unchanged" : "CHANGED", ok ? "ok" : "FAILED");
  return ok ? 0 : 1;
}
