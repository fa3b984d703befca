/*
 * kvnvc-demo: an encoder's inner loop over a synthetic moving picture.
 *
 * A textured 352x288 picture moves by a sub-sample vector each frame. Every
 * macroblock of each frame is coded from the previous frame with the library
 * alone: a full-sample motion search (eight-candidate SAD runs), a half-sample
 * refinement (SAD with the reference interpolation modes), the residual
 * against the chosen prediction, and the decoder's motion compensation that
 * rebuilds the block from prediction + residual. Without quantisation the
 * rebuilt picture must equal the source exactly. Prints the version record,
 * the search statistics, a checksum and the throughput.
 */
#include <kvnvc.h>

#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

enum { W = 352, H = 288, PAD = 32, STEP = W + 2 * PAD, FRAMES = 30, RANGE = 8 };

static double now_seconds(void) {
  struct timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return (double)ts.tv_sec + (double)ts.tv_nsec * 1e-9;
}

/* A picture with a texture that moves 3/2 samples right and 1/2 down per frame. */
static void draw(Kvn8u* pic, int frame) {
  int x, y;
  for (y = -PAD; y < H + PAD; ++y)
    for (x = -PAD; x < W + PAD; ++x) {
      const int u = 2 * x - frame * 3, v = 2 * y - frame;
      const double t = sin(u * 0.071) * cos(v * 0.053) + 0.5 * sin((u + v) * 0.023);
      pic[(y + PAD) * STEP + x + PAD] = (Kvn8u)(128.5 + 80.0 * t);
    }
}

static unsigned fnv1a(const Kvn8u* p, int step) {
  unsigned h = 2166136261u;
  int x, y;
  for (y = 0; y < H; ++y)
    for (x = 0; x < W; ++x) h = (h ^ p[y * step + x]) * 16777619u;
  return h;
}

static int check(KvnResult st, const char* what) {
  if (st != KVN_STS_OK) fprintf(stderr, "kvnvc-demo: %s failed with status %d\n", what, (int)st);
  return st == KVN_STS_OK;
}

int main(void) {
  static const int modes[4] = {0, 4, 8, 12}; /* full, vertical, horizontal, centre half sample */
  const KvnVersionRecord* v = kvnvcGetLibVersion();
  const int size = STEP * (H + 2 * PAD);
  Kvn8u* ref = (Kvn8u*)kvnMalloc(size);
  Kvn8u* cur = (Kvn8u*)kvnMalloc(size);
  Kvn8u* rec = (Kvn8u*)kvnMalloc(size);
  Kvn16s* residual = (Kvn16s*)kvnMalloc(16 * 16 * (int)sizeof(Kvn16s));
  long blocks = 0, half = 0, total_sad = 0, mismatches = 0;
  double elapsed = 0;
  int frame;
  if (!ref || !cur || !rec || !residual) {
    fprintf(stderr, "kvnvc-demo: out of memory\n");
    return 1;
  }
  printf("%s %s (built %s), target %s\n", v->libraryName, v->versionText, v->buildDate, v->targetCode);
  memset(rec, 0, size);

  for (frame = 1; frame <= FRAMES; ++frame) {
    int mbx, mby;
    double t0;
    draw(ref, frame - 1);
    draw(cur, frame);
    t0 = now_seconds();
    for (mby = 0; mby < H / 16; ++mby)
      for (mbx = 0; mbx < W / 16; ++mbx) {
        const Kvn8u* src = cur + (PAD + mby * 16) * STEP + PAD + mbx * 16;
        const Kvn8u* centre = ref + (PAD + mby * 16) * STEP + PAD + mbx * 16;
        Kvn8u* out = rec + (PAD + mby * 16) * STEP + PAD + mbx * 16;
        Kvn16u sads[2 * RANGE];
        Kvn32u index;
        Kvn32s sad, best_sad = 1 << 30;
        const Kvn8u* best = centre;
        const Kvn8u* full;
        int dy, ox, oy, m, best_mode = 0;
        /* Full-sample search: one call scores a row of 16 candidates. */
        for (dy = -RANGE; dy <= RANGE; ++dy) {
          const Kvn8u* row = centre + dy * STEP - RANGE;
          if (!check(kvniSAD16x16xNI_8u16u_C1R(src, STEP, row, STEP, sads, 2 * RANGE, &index), "SAD xNI")) return 1;
          if (sads[index] < best_sad) {
            best_sad = sads[index];
            best = row + index;
          }
        }
        /* Half-sample refinement: the eight half-sample positions around the
         * best full-sample one, each predicted from the full-sample position
         * above and/or left of it. */
        full = best;
        for (oy = -1; oy <= 0; ++oy)
          for (ox = -1; ox <= 0; ++ox)
            for (m = 1; m < 4; ++m) {
              const Kvn8u* base = full + oy * STEP + ox;
              if ((modes[m] == 8 && oy) || (modes[m] == 4 && ox)) continue;
              if (!check(kvniSAD16x16_8u32s(src, STEP, base, STEP, &sad, modes[m]), "SAD")) return 1;
              if (sad < best_sad) {
                best_sad = sad;
                best = base;
                best_mode = modes[m];
              }
            }
        /* Residual against the prediction, then the decoder's reconstruction. */
        if (!check(kvniGetDiff16x16_8u16s_C1(src, STEP, best, STEP, residual, 32, NULL, 0, best_mode, 0), "GetDiff") ||
            !check(kvniMC16x16_8u_C1(best, STEP, residual, 32, out, STEP, best_mode, 0), "MC"))
          return 1;
        total_sad += best_sad;
        half += best_mode != 0;
        ++blocks;
      }
    elapsed += now_seconds() - t0;
    {
      int y;
      for (y = 0; y < H; ++y) mismatches += memcmp(rec + (PAD + y) * STEP + PAD, cur + (PAD + y) * STEP + PAD, W) != 0;
    }
  }
  printf("frames %d, macroblocks %ld, half-sample vectors %.1f%%, mean SAD %.1f\n", FRAMES, blocks,
         100.0 * (double)half / (double)blocks, (double)total_sad / (double)blocks);
  printf("reconstruction %s, checksum %08x\n", mismatches ? "DIFFERS from the source" : "exact",
         fnv1a(rec + PAD * STEP + PAD, STEP));
  printf("search + residual + reconstruction: %.1f ns per macroblock, %.2f Mmacroblocks/s\n",
         elapsed * 1e9 / (double)blocks, (double)blocks / elapsed * 1e-6);
  kvnFree(ref);
  kvnFree(cur);
  kvnFree(rec);
  kvnFree(residual);
  return mismatches ? 1 : 0;
}
